#pragma once
// TDiocpFileOperator: the client of the remote file service. Each command sends one request
// message and reads its answer through the coder socket (framed, zlib-compressed MessagePack
// maps; see frame.h). The desktop uses DownFile to fetch the contract-parameter database.
//
// Commands return false on failure and leave the message in ErrorString().

#include <cstdint>
#include <cstdio>
#include <string>

#include "remote/coder_socket.h"
#include "remote/message.h"

namespace vantor {

// Where the desktop program finds the service: config.ini, section [文件服务], keys 地址
// (host name or address) and 端口 (port, default kFileServicePort).
inline constexpr const char* kFileServiceSection = "文件服务";
inline constexpr const char* kFileServiceHostKey = "地址";
inline constexpr const char* kFileServicePortKey = "端口";

// Upload chunk size.
inline constexpr std::int64_t kUploadChunk = 1048576;

class TDiocpFileOperator {
public:
    // The channel to the service (not owned); commands fail while it is absent.
    TCoderSocket* FCoderSocket = nullptr;
    TMsgPack FCMDObj;                // the message being built or decoded
    std::string FCMDStream;          // the message's bytes
    std::int64_t FFileSize = 0;      // from the last file-information answer
    std::uint32_t FFileCheckSum = 0; // from the last file-information answer

    const std::string& ErrorString() const { return FErrorString; }

    // Reads the size and (when asked) the checksum of a remote file into FFileSize and
    // FFileCheckSum.
    bool readFileINfo(const std::string& fileName, const std::string& catalog, bool withChecksum);
    // Downloads `remote` to `local` unless the local copy already has the remote size and
    // byte sum. The data goes to a temporary file beside `local` that replaces it only once
    // it has the announced size and byte sum, so a failed download leaves `local` as it was.
    bool DownFile(const std::string& remote, const std::string& local, const std::string& catalog);
    bool ReadFileSize(const std::string& remote, const std::string& catalog, std::int64_t& size);
    // Uploads `local` in chunks of kUploadChunk bytes, the last one marked "eof"; the remote
    // name defaults to the local file's name without its folder. `size` gets the file size.
    bool UploadFile(const std::string& remote, const std::string& local, const std::string& catalog,
                    std::int64_t& size);
    bool DeleteFile(const std::string& remote, const std::string& catalog);
    bool CopyAFile(const std::string& remote, const std::string& newFile,
                   const std::string& catalog);

    // Sends FCMDObj as one frame.
    bool SendObject();
    // Reads one frame into FCMDObj.
    bool RecvObject();

    // The byte sum of a local file as an unsigned 32-bit value; 0 when it can't be read.
    static std::uint32_t FileCheckSum(const std::string& path);

private:
    bool Fail(std::string message);
    bool HasSocket();
    bool ReadExact(void* buf, std::size_t n);
    // Sends FCMDObj and reads the answer into it. A false "__result.result" fails with
    // "__result.msg" when that is not empty; with `anyFalseFails` it fails on every false
    // result.
    bool Exchange(bool anyFalseFails = false);
    void NewRequest(int index, const std::string& fileName, const std::string& catalog);
    bool ReceiveChunks(const std::string& remote, const std::string& catalog, std::FILE* out,
                       std::uint32_t& sum);

    std::string FErrorString;
};

} // namespace vantor
