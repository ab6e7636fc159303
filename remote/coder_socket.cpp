#include "remote/coder_socket.h"

#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace vantor {

namespace {

std::string OsError(int err) {
    return std::strerror(err);
}

} // namespace

TTcpCoderSocket::TTcpCoderSocket(std::string host, int port)
    : FHost(std::move(host)), FPort(port) {}

TTcpCoderSocket::~TTcpCoderSocket() {
    CloseSocket();
}

void TTcpCoderSocket::CloseSocket() {
    if (FSocket >= 0) ::close(FSocket);
    FSocket = -1;
}

int TTcpCoderSocket::Fail(const std::string& message) {
    FLastError = message;
    CloseSocket();
    return -1;
}

TTcpCoderSocket::Wait TTcpCoderSocket::WaitFor(short events, int timeoutMs) {
    pollfd p{FSocket, events, 0};
    for (;;) {
        int rc = ::poll(&p, 1, timeoutMs);
        if (rc > 0) return Wait::Ready;
        if (rc == 0) return Wait::Timeout;
        // An interrupted wait is not restarted with the full timeout again and again: a
        // stream of signals then ends as a timeout after at most a few rounds.
        if (errno != EINTR) return Wait::Failed;
        timeoutMs = timeoutMs > 0 ? timeoutMs / 2 : 0;
    }
}

bool TTcpCoderSocket::Connect() {
    if (FSocket >= 0) return true;
    std::string where = "[" + FHost + ":" + std::to_string(FPort) + "]";
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    int rc = ::getaddrinfo(FHost.c_str(), std::to_string(FPort).c_str(), &hints, &found);
    if (rc != 0) {
        FLastError = "无法解析服务器地址" + where + ": " + ::gai_strerror(rc);
        return false;
    }
    std::string lastError = "连接服务器" + where + "失败!";
    for (addrinfo* a = found; a; a = a->ai_next) {
        int fd =
            ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
        if (fd < 0) {
            lastError = "连接服务器" + where + "失败: " + OsError(errno);
            continue;
        }
        FSocket = fd;
        int err = 0;
        if (::connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
            err = errno;
            if (err == EINPROGRESS) {
                Wait w = WaitFor(POLLOUT, connectTimeoutMs);
                socklen_t len = sizeof err;
                if (w == Wait::Timeout)
                    err = ETIMEDOUT;
                else if (w == Wait::Failed)
                    err = errno;
                else if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0)
                    err = errno;
            }
        }
        if (err == 0) {
            int one = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            ::freeaddrinfo(found);
            return true;
        }
        CloseSocket();
        lastError = err == ETIMEDOUT ? "连接服务器" + where + "超时!"
                                     : "连接服务器" + where + "失败: " + OsError(err);
    }
    ::freeaddrinfo(found);
    FLastError = lastError;
    return false;
}

int TTcpCoderSocket::SendBuf(const void* buf, int len) {
    if (!Connect()) return -1;
    if (len <= 0) return 0;
    for (;;) {
        ssize_t n = ::send(FSocket, buf, static_cast<std::size_t>(len), MSG_NOSIGNAL);
        if (n >= 0) return static_cast<int>(n);
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) return Fail(OsError(errno));
        Wait w = WaitFor(POLLOUT, ioTimeoutMs);
        if (w == Wait::Timeout) return Fail("向服务器发送数据超时!");
        if (w == Wait::Failed) return Fail(OsError(errno));
    }
}

int TTcpCoderSocket::RecvBuf(void* buf, int len) {
    if (!Connect()) return -1;
    if (len <= 0) return 0;
    for (;;) {
        ssize_t n = ::recv(FSocket, buf, static_cast<std::size_t>(len), 0);
        if (n > 0) return static_cast<int>(n);
        if (n == 0) {
            FLastError = "服务器已断开连接!";
            CloseSocket();
            return 0;
        }
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) return Fail(OsError(errno));
        Wait w = WaitFor(POLLIN, ioTimeoutMs);
        if (w == Wait::Timeout) return Fail("等待服务器应答超时!");
        if (w == Wait::Failed) return Fail(OsError(errno));
    }
}

} // namespace vantor
