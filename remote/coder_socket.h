#pragma once
// The byte channel under the file service client: send bytes, receive up to n bytes, close.
// TTcpCoderSocket is the one over a TCP connection to the service.

#include <cstdint>
#include <string>

namespace vantor {

inline constexpr int kFileServicePort = 19995;

class TCoderSocket {
public:
    virtual ~TCoderSocket() = default;
    // Sends up to `len` bytes; returns the count sent, or -1 on failure (see LastError()).
    virtual int SendBuf(const void* buf, int len) = 0;
    // Receives up to `len` bytes; returns the count received, 0 when the other side has
    // closed the connection, or -1 on failure (see LastError()).
    virtual int RecvBuf(void* buf, int len) = 0;
    virtual void CloseSocket() = 0;
    // The message of the last failure.
    virtual std::string LastError() const = 0;
};

// A TCP client. It connects on first use (and again on the first use after a close), waits
// at most `connectTimeoutMs` for the connection and at most `ioTimeoutMs` for each send or
// receive. A failure or a timeout closes the connection: the position in the byte stream
// is lost, and the next command starts on a fresh connection.
class TTcpCoderSocket : public TCoderSocket {
public:
    TTcpCoderSocket(std::string host, int port = kFileServicePort);
    ~TTcpCoderSocket() override;
    TTcpCoderSocket(const TTcpCoderSocket&) = delete;
    TTcpCoderSocket& operator=(const TTcpCoderSocket&) = delete;

    int connectTimeoutMs = 5000;
    int ioTimeoutMs = 30000;

    int SendBuf(const void* buf, int len) override;
    int RecvBuf(void* buf, int len) override;
    void CloseSocket() override;
    std::string LastError() const override { return FLastError; }

    bool Connected() const { return FSocket >= 0; }
    // Connects now when not connected; false (with LastError()) when that fails.
    bool Connect();

private:
    enum class Wait { Ready, Timeout, Failed };
    Wait WaitFor(short events, int timeoutMs);
    int Fail(const std::string& message);

    std::string FHost;
    int FPort;
    int FSocket = -1;
    std::string FLastError;
};

} // namespace vantor
