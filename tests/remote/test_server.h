#pragma once
// A file service for the tests: listens on 127.0.0.1 on a free port, reads request frames on
// a thread and answers each with the bytes its handler returns. Every wait is bounded.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "remote/message.h"

namespace vantor::test {

// The frame of a message as the service sends it.
std::string Frame(const TMsgPack& msg);
// A frame around raw body bytes, with the body's own checksum.
std::string FrameOfBody(const std::string& body);
// zlib bytes of `n` zero bytes, made in pieces so that they are never all in memory.
std::string DeflatedZeros(std::size_t n);
// An answer map with "__result.result" set (and "__result.msg" when not empty).
TMsgPack Answer(bool result, const std::string& msg = "");

class TestServer {
public:
    // Returns the bytes to send back for a request, or nothing to stay silent.
    using Handler = std::function<std::optional<std::string>(const TMsgPack& request)>;

    explicit TestServer(Handler handler);
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    int port() const { return port_; }
    std::vector<TMsgPack> requests();
    int connections();
    // Waits (at most `ms`) until the client has closed `count` connections.
    bool WaitClosed(int count, int ms = 5000);

private:
    void Run();
    void Serve(int fd);
    // Reads exactly n bytes; false when the connection ends or the server stops.
    bool ReadAll(int fd, char* p, std::size_t n, bool& closed);

    Handler handler_;
    int listen_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::mutex mu_;
    std::condition_variable cv_;
    std::vector<TMsgPack> requests_;
    int connections_ = 0;
    int closed_ = 0;
    std::thread thread_;
};

// An in-memory file service answering the "fileaccess" commands; `chunk` bytes per
// download answer.
struct FakeFileService {
    std::map<std::string, std::string> files;
    std::size_t chunk = 4096;
    bool withChecksum = true; // false: "info.checksum" is always 0
    std::vector<TMsgPack> uploads;

    std::optional<std::string> operator()(const TMsgPack& request);
};

} // namespace vantor::test
