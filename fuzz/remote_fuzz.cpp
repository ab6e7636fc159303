// libFuzzer target: arbitrary bytes given to the file service client's decoding, as
//   1. a MessagePack message on its own (a decoded message must encode and decode again to
//      the same bytes),
//   2. a compressed body (capped inflating, then decoding),
//   3. the byte stream the service sends back, read frame after frame by the client,
//   4. the body of one frame with a correct header, so that the input reaches the inflating
//      and decoding behind the checksum.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "remote/file_operator.h"
#include "remote/frame.h"
#include "remote/message.h"

namespace {

using namespace vantor;

// Hands out the given bytes in small pieces, like a slow connection; sending always works.
class ReplaySocket : public TCoderSocket {
public:
    explicit ReplaySocket(std::string_view bytes) : bytes_(bytes) {}
    int SendBuf(const void*, int len) override { return len; }
    int RecvBuf(void* buf, int len) override {
        if (closed_) return -1;
        std::size_t n = std::min(
            {static_cast<std::size_t>(len), bytes_.size() - pos_, std::size_t(1) + pos_ % 4096});
        std::memcpy(buf, bytes_.data() + pos_, n);
        pos_ += n;
        return static_cast<int>(n);
    }
    void CloseSocket() override { closed_ = true; }
    std::string LastError() const override { return closed_ ? "closed" : "no more data"; }
    bool Done() const { return closed_ || pos_ == bytes_.size(); }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
    bool closed_ = false;
};

void ReadAnswers(std::string_view stream) {
    ReplaySocket socket(stream);
    TDiocpFileOperator client;
    client.FCoderSocket = &socket;
    // Every round consumes at least one byte or closes the socket.
    while (!socket.Done()) client.RecvObject();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);

    TMsgPack message;
    if (message.Decode(bytes)) {
        std::string once, twice;
        message.Encode(once);
        TMsgPack again;
        if (!again.Decode(once)) __builtin_trap();
        again.Encode(twice);
        if (once != twice) __builtin_trap();
    }

    std::string inflated;
    if (Inflate(bytes, kMaxInflatedBody, inflated) == InflateResult::Ok) message.Decode(inflated);

    ReadAnswers(bytes);
    if (size <= kMaxFrameBody) ReadAnswers(EncodeFrameHeader(bytes) + std::string(bytes));
    return 0;
}
