#include "test_server.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "remote/frame.h"

#include <zlib.h>

namespace vantor::test {

std::string FrameOfBody(const std::string& body) {
    return EncodeFrameHeader(body) + body;
}

std::string Frame(const TMsgPack& msg) {
    std::string raw, body;
    msg.Encode(raw);
    Deflate(raw, body);
    return FrameOfBody(body);
}

// zlib bytes of `n` zero bytes, made in pieces so the test never holds them all.
std::string DeflatedZeros(std::size_t n) {
    z_stream zs{};
    deflateInit(&zs, Z_DEFAULT_COMPRESSION);
    std::string zeros(1 << 20, '\0'), out;
    char buf[65536];
    while (n > 0 || zs.avail_in > 0) {
        std::size_t take = std::min(n, zeros.size());
        zs.next_in = reinterpret_cast<Bytef*>(zeros.data());
        zs.avail_in = static_cast<uInt>(take);
        n -= take;
        int flush = n == 0 ? Z_FINISH : Z_NO_FLUSH;
        int rc;
        do {
            zs.next_out = reinterpret_cast<Bytef*>(buf);
            zs.avail_out = sizeof buf;
            rc = deflate(&zs, flush);
            out.append(buf, sizeof buf - zs.avail_out);
        } while (zs.avail_out == 0 || (flush == Z_FINISH && rc != Z_STREAM_END));
        if (flush == Z_FINISH) break;
    }
    deflateEnd(&zs);
    return out;
}

TMsgPack Answer(bool result, const std::string& msg) {
    TMsgPack a;
    a.SetB("__result.result", result);
    if (!msg.empty()) a.SetS("__result.msg", msg);
    return a;
}

TestServer::TestServer(Handler handler) : handler_(std::move(handler)) {
    listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0; // a free port chosen by the system
    socklen_t len = sizeof addr;
    if (listen_ < 0 || ::bind(listen_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listen_, 4) != 0 ||
        ::getsockname(listen_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        return; // port_ stays 0 and the tests fail to connect
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { Run(); });
}

TestServer::~TestServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listen_ >= 0) ::close(listen_);
}

std::vector<TMsgPack> TestServer::requests() {
    std::lock_guard<std::mutex> lock(mu_);
    return requests_;
}

int TestServer::connections() {
    std::lock_guard<std::mutex> lock(mu_);
    return connections_;
}

bool TestServer::WaitClosed(int count, int ms) {
    std::unique_lock<std::mutex> lock(mu_);
    return cv_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return closed_ >= count; });
}

void TestServer::Run() {
    while (!stop_) {
        pollfd p{listen_, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0) continue;
        int fd = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        {
            std::lock_guard<std::mutex> lock(mu_);
            ++connections_;
        }
        Serve(fd);
        ::close(fd);
    }
}

bool TestServer::ReadAll(int fd, char* p, std::size_t n, bool& closed) {
    std::size_t got = 0;
    while (got < n) {
        if (stop_) return false;
        pollfd pf{fd, POLLIN, 0};
        if (::poll(&pf, 1, 20) <= 0) continue;
        ssize_t r = ::recv(fd, p + got, n - got, 0);
        if (r <= 0) {
            closed = true;
            return false;
        }
        got += static_cast<std::size_t>(r);
    }
    return true;
}

void TestServer::Serve(int fd) {
    bool closed = false;
    for (;;) {
        char head[kFrameHeaderSize];
        if (!ReadAll(fd, head, sizeof head, closed)) break;
        FrameHeader h = DecodeFrameHeader(reinterpret_cast<unsigned char*>(head));
        if (h.magic != kFrameMagic || h.length > kMaxFrameBody) break;
        std::string body(h.length, '\0'), raw;
        if (!ReadAll(fd, body.data(), body.size(), closed)) break;
        TMsgPack request;
        if (ByteSum(body) != h.checksum ||
            Inflate(body, kMaxInflatedBody, raw) != InflateResult::Ok || !request.Decode(raw))
            break;
        {
            std::lock_guard<std::mutex> lock(mu_);
            requests_.push_back(request);
        }
        std::optional<std::string> reply = handler_(request);
        if (!reply) continue;
        std::size_t sent = 0;
        while (sent < reply->size() && !stop_) {
            ssize_t n = ::send(fd, reply->data() + sent, reply->size() - sent, MSG_NOSIGNAL);
            if (n <= 0) break;
            sent += static_cast<std::size_t>(n);
        }
    }
    if (closed) {
        std::lock_guard<std::mutex> lock(mu_);
        ++closed_;
        cv_.notify_all();
    }
}

std::optional<std::string> FakeFileService::operator()(const TMsgPack& request) {
    std::string name = request.S("catalog") + "/" + request.S("fileName");
    auto it = files.find(name);
    switch (request.I("cmd.index")) {
    case 203: { // file information
        TMsgPack a = Answer(true);
        std::int64_t size = it == files.end() ? 0 : static_cast<std::int64_t>(it->second.size());
        a.SetI("info.size", size);
        if (it != files.end() && request.B("cmd.checksum") && withChecksum)
            a.SetI("info.checksum", ByteSum(it->second));
        return Frame(a);
    }
    case 201: { // one chunk from "start"
        if (it == files.end()) return Frame(Answer(false, "文件不存在"));
        std::size_t start = static_cast<std::size_t>(request.I("start"));
        TMsgPack a = Answer(true);
        a.SetBin("data", start < it->second.size() ? it->second.substr(start, chunk) : "");
        a.SetI("fileSize", static_cast<std::int64_t>(it->second.size()));
        return Frame(a);
    }
    case 202: { // one uploaded chunk
        uploads.push_back(request);
        std::string& f = files[name];
        f.resize(static_cast<std::size_t>(request.I("start")));
        f += request.S("data");
        return Frame(Answer(true));
    }
    case 204:
        if (it == files.end()) return Frame(Answer(false, "文件不存在"));
        files.erase(it);
        return Frame(Answer(true));
    case 205:
        if (it == files.end()) return Frame(Answer(false, "文件不存在"));
        files[request.S("catalog") + "/" + request.S("newFile")] = it->second;
        return Frame(Answer(true));
    }
    return Frame(Answer(false, "未知的命令"));
}

} // namespace vantor::test
