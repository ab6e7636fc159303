#pragma once
// The frame of the file service's messages and the compression of their bodies.
//
//   offset 0, 2 bytes: magic 0x0D10, little-endian
//   offset 2, 4 bytes: checksum, the sum of all body bytes as an unsigned 32-bit value,
//   little-endian offset 6, 4 bytes: body length n, big-endian, at most kMaxFrameBody offset 10, n
//   bytes: body, the message's MessagePack bytes compressed in the zlib format

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantor {

inline constexpr std::uint16_t kFrameMagic = 0x0D10;
inline constexpr std::size_t kFrameHeaderSize = 10;
inline constexpr std::uint32_t kMaxFrameBody = 10485760;
// A body never inflates beyond this: a few kilobytes of zlib data can otherwise stand for
// gigabytes. Large enough for any message of a chunk that fits a frame.
inline constexpr std::size_t kMaxInflatedBody = 64u * 1024 * 1024;

// The sum of the bytes as an unsigned 32-bit value (wrapping), continued from `sum`.
std::uint32_t ByteSum(std::string_view bytes, std::uint32_t sum = 0);

struct FrameHeader {
    std::uint16_t magic = 0;
    std::uint32_t checksum = 0;
    std::uint32_t length = 0;
};

// The 10 header bytes of a frame carrying `body`.
std::string EncodeFrameHeader(std::string_view body);
// Reads the fields of the 10 header bytes at `p`.
FrameHeader DecodeFrameHeader(const unsigned char* p);

// Compresses `in` in the zlib format at the default level.
bool Deflate(std::string_view in, std::string& out);

enum class InflateResult { Ok, Malformed, TooLarge };
// Inflates one complete zlib stream that makes up the whole of `in`, into at most `cap` bytes.
InflateResult Inflate(std::string_view in, std::size_t cap, std::string& out);

} // namespace vantor
