#include "remote/file_operator.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unistd.h>

#include "remote/frame.h"

namespace vantor {

namespace {

constexpr int kCmdDownload = 201;
constexpr int kCmdUpload = 202;
constexpr int kCmdFileInfo = 203;
constexpr int kCmdDelete = 204;
constexpr int kCmdCopy = 205;

// Frames go out in pieces of at most this many bytes.
constexpr std::size_t kSendPiece = 8192;

std::string OsError() {
    return std::strerror(errno);
}

// Closes a std::FILE when it goes out of scope.
struct FileCloser {
    std::FILE* f;
    ~FileCloser() {
        if (f) std::fclose(f);
    }
};

std::string BaseName(const std::string& path) {
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

bool TDiocpFileOperator::Fail(std::string message) {
    FErrorString = std::move(message);
    return false;
}

bool TDiocpFileOperator::HasSocket() {
    if (FCoderSocket) return true;
    return Fail("缺少CoderSocket操作接口!");
}

bool TDiocpFileOperator::SendObject() {
    if (!HasSocket()) return false;
    FCMDStream.clear();
    FCMDObj.Encode(FCMDStream);
    std::string body;
    if (!Deflate(FCMDStream, body)) return Fail("压缩数据失败!");
    if (body.size() > kMaxFrameBody)
        return Fail("数据包太大,请在业务层分拆发送,最大数据包[" + std::to_string(kMaxFrameBody) +
                    "]!");
    std::string frame = EncodeFrameHeader(body);
    frame += body;
    std::size_t sent = 0;
    while (sent < frame.size()) {
        int piece = static_cast<int>(std::min(kSendPiece, frame.size() - sent));
        int n = FCoderSocket->SendBuf(frame.data() + sent, piece);
        if (n <= 0) return Fail(n < 0 ? FCoderSocket->LastError() : "向服务器发送数据失败!");
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

bool TDiocpFileOperator::ReadExact(void* buf, std::size_t n) {
    auto* p = static_cast<char*>(buf);
    std::size_t got = 0;
    while (got < n) {
        int r = FCoderSocket->RecvBuf(p + got, static_cast<int>(n - got));
        // 0 means the service closed the connection: nothing more will come.
        if (r <= 0) return Fail(FCoderSocket->LastError());
        got += static_cast<std::size_t>(r);
    }
    return true;
}

bool TDiocpFileOperator::RecvObject() {
    if (!HasSocket()) return false;
    FCMDObj.Clear();
    unsigned char head[kFrameHeaderSize];
    if (!ReadExact(head, 2)) return false;
    if (DecodeFrameHeader(head).magic != kFrameMagic) {
        FCoderSocket->CloseSocket();
        return Fail("错误的包头数据,断开与服务器的连接");
    }
    if (!ReadExact(head + 2, kFrameHeaderSize - 2)) return false;
    FrameHeader h = DecodeFrameHeader(head);
    if (h.length > kMaxFrameBody) {
        FCoderSocket->CloseSocket();
        return Fail("错误的数据,断开与服务器的连接");
    }
    std::string body(h.length, '\0');
    if (!ReadExact(body.data(), body.size())) return false;
    // The whole frame has been read, so the connection stays usable after a bad body.
    const char* badBody = "错误的数据包，校验失败!";
    if (ByteSum(body) != h.checksum) return Fail(badBody);
    if (Inflate(body, kMaxInflatedBody, FCMDStream) != InflateResult::Ok) return Fail(badBody);
    if (!FCMDObj.Decode(FCMDStream)) return Fail(badBody);
    return true;
}

bool TDiocpFileOperator::Exchange(bool anyFalseFails) {
    if (!SendObject() || !RecvObject()) return false;
    if (FCMDObj.B("__result.result")) return true;
    std::string msg = FCMDObj.S("__result.msg");
    if (anyFalseFails || !msg.empty()) return Fail(msg);
    return true;
}

void TDiocpFileOperator::NewRequest(int index, const std::string& fileName,
                                    const std::string& catalog) {
    FCMDObj.Clear();
    FCMDObj.SetS("cmd.namespace", "fileaccess");
    FCMDObj.SetI("cmd.index", index);
    FCMDObj.SetS("fileName", fileName);
    FCMDObj.SetS("catalog", catalog);
}

bool TDiocpFileOperator::readFileINfo(const std::string& fileName, const std::string& catalog,
                                      bool withChecksum) {
    if (!HasSocket()) return false;
    NewRequest(kCmdFileInfo, fileName, catalog);
    FCMDObj.SetB("cmd.checksum", withChecksum);
    if (!Exchange()) return false;
    FFileSize = FCMDObj.I("info.size");
    FFileCheckSum = static_cast<std::uint32_t>(FCMDObj.I("info.checksum"));
    return true;
}

bool TDiocpFileOperator::ReadFileSize(const std::string& remote, const std::string& catalog,
                                      std::int64_t& size) {
    if (!readFileINfo(remote, catalog, false)) return false;
    size = FFileSize;
    return true;
}

std::uint32_t TDiocpFileOperator::FileCheckSum(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return 0;
    FileCloser closer{f};
    std::uint32_t sum = 0;
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) sum = ByteSum({buf, n}, sum);
    return sum;
}

bool TDiocpFileOperator::ReceiveChunks(const std::string& remote, const std::string& catalog,
                                       std::FILE* out, std::uint32_t& sum) {
    const std::string failed = "下载文件[" + remote + "]失败: ";
    std::int64_t written = 0;
    // Every round either appends at least one byte, bounded by the announced size, or fails.
    while (written < FFileSize) {
        NewRequest(kCmdDownload, remote, catalog);
        FCMDObj.SetI("start", written);
        if (!Exchange(true))
            return Fail(FErrorString.empty() ? failed + "服务器拒绝了请求!" : FErrorString);
        const std::string* data = FCMDObj.Bytes("data");
        std::int64_t fileSize = FCMDObj.I("fileSize");
        if (fileSize != FFileSize)
            return Fail(failed + "文件大小[" + std::to_string(fileSize) + "]与[" +
                        std::to_string(FFileSize) + "]不一致!");
        if (!data || data->empty()) return Fail(failed + "服务器返回了空的数据块!");
        if (static_cast<std::int64_t>(data->size()) > fileSize - written)
            return Fail(failed + "收到的数据超出了文件大小[" + std::to_string(fileSize) + "]!");
        if (std::fwrite(data->data(), 1, data->size(), out) != data->size())
            return Fail(failed + OsError());
        sum = ByteSum(*data, sum);
        written += static_cast<std::int64_t>(data->size());
    }
    return true;
}

bool TDiocpFileOperator::DownFile(const std::string& remote, const std::string& local,
                                  const std::string& catalog) {
    if (!readFileINfo(remote, catalog, true)) return false;
    if (FFileSize <= 0) return Fail("远程文件[" + remote + "]不存在!");
    // The local copy is current when it has the remote byte sum. A byte sum alone does not
    // tell a file from the same file with zero bytes added, so it must have the remote size
    // as well.
    std::error_code ec;
    if (FFileCheckSum != 0 && std::filesystem::file_size(local, ec) == std::uintmax_t(FFileSize) &&
        !ec && FileCheckSum(local) == FFileCheckSum)
        return true;

    const std::string temp = local + ".download";
    std::FILE* out = std::fopen(temp.c_str(), "wb");
    if (!out) return Fail("创建文件[" + temp + "]失败: " + OsError());
    std::uint32_t sum = 0;
    bool ok = ReceiveChunks(remote, catalog, out, sum);
    if (ok && (std::fflush(out) != 0 || ::fsync(fileno(out)) != 0))
        ok = Fail("写入文件[" + temp + "]失败: " + OsError());
    if (std::fclose(out) != 0 && ok) ok = Fail("写入文件[" + temp + "]失败: " + OsError());
    if (ok && FFileCheckSum != 0 && sum != FFileCheckSum)
        ok = Fail("下载文件[" + remote + "]失败: 文件校验和与服务器不一致!");
    if (ok && std::rename(temp.c_str(), local.c_str()) != 0)
        ok = Fail("替换文件[" + local + "]失败: " + OsError());
    if (!ok) std::remove(temp.c_str());
    return ok;
}

bool TDiocpFileOperator::UploadFile(const std::string& remote, const std::string& local,
                                    const std::string& catalog, std::int64_t& size) {
    if (!HasSocket()) return false;
    std::FILE* in = std::fopen(local.c_str(), "rb");
    if (!in) return Fail("打开文件[" + local + "]失败: " + OsError());
    FileCloser closer{in};
    if (std::fseek(in, 0, SEEK_END) != 0) return Fail("读取文件[" + local + "]失败: " + OsError());
    const std::int64_t total = ftello(in);
    std::rewind(in);
    const std::string name = remote.empty() ? BaseName(local) : remote;
    std::string chunk;
    for (std::int64_t pos = 0; pos < total;) {
        std::size_t n = static_cast<std::size_t>(std::min(kUploadChunk, total - pos));
        chunk.resize(n);
        if (std::fread(chunk.data(), 1, n, in) != n)
            return Fail("读取文件[" + local + "]失败: " + OsError());
        NewRequest(kCmdUpload, name, catalog);
        FCMDObj.SetI("start", pos);
        FCMDObj.SetI("size", static_cast<std::int64_t>(n));
        pos += static_cast<std::int64_t>(n);
        if (pos == total) FCMDObj.SetB("eof", true);
        FCMDObj.SetBin("data", std::move(chunk));
        if (!Exchange()) return false;
        chunk = std::string();
    }
    size = total;
    return true;
}

bool TDiocpFileOperator::DeleteFile(const std::string& remote, const std::string& catalog) {
    if (!HasSocket()) return false;
    NewRequest(kCmdDelete, remote, catalog);
    return Exchange(true);
}

bool TDiocpFileOperator::CopyAFile(const std::string& remote, const std::string& newFile,
                                   const std::string& catalog) {
    if (!HasSocket()) return false;
    NewRequest(kCmdCopy, remote, catalog);
    FCMDObj.SetS("newFile", newFile);
    return Exchange(true);
}

} // namespace vantor
