#include "remote/frame.h"

#include <algorithm>

#include <zlib.h>

namespace vantor {

std::uint32_t ByteSum(std::string_view bytes, std::uint32_t sum) {
    for (unsigned char c : bytes) sum += c;
    return sum;
}

std::string EncodeFrameHeader(std::string_view body) {
    std::uint32_t sum = ByteSum(body);
    auto n = static_cast<std::uint32_t>(body.size());
    std::string h(kFrameHeaderSize, '\0');
    h[0] = static_cast<char>(kFrameMagic & 0xFF);
    h[1] = static_cast<char>(kFrameMagic >> 8);
    for (int i = 0; i < 4; ++i) h[2 + i] = static_cast<char>((sum >> (8 * i)) & 0xFF);
    for (int i = 0; i < 4; ++i) h[6 + i] = static_cast<char>((n >> (8 * (3 - i))) & 0xFF);
    return h;
}

FrameHeader DecodeFrameHeader(const unsigned char* p) {
    FrameHeader h;
    h.magic = static_cast<std::uint16_t>(p[0] | (p[1] << 8));
    for (int i = 0; i < 4; ++i) h.checksum |= static_cast<std::uint32_t>(p[2 + i]) << (8 * i);
    for (int i = 0; i < 4; ++i) h.length = (h.length << 8) | p[6 + i];
    return h;
}

bool Deflate(std::string_view in, std::string& out) {
    uLongf bound = compressBound(static_cast<uLong>(in.size()));
    out.resize(bound);
    int rc = compress2(reinterpret_cast<Bytef*>(out.data()), &bound,
                       reinterpret_cast<const Bytef*>(in.data()), static_cast<uLong>(in.size()),
                       Z_DEFAULT_COMPRESSION);
    if (rc != Z_OK) {
        out.clear();
        return false;
    }
    out.resize(bound);
    return true;
}

InflateResult Inflate(std::string_view in, std::size_t cap, std::string& out) {
    out.clear();
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) return InflateResult::Malformed;
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    zs.avail_in = static_cast<uInt>(in.size());
    // Grow the output as the data arrives, never past the cap (plus one byte, so that a
    // stream of exactly `cap` bytes is told apart from a longer one).
    std::size_t chunk = std::min<std::size_t>(in.size() * 2 + 1024, 16u * 1024 * 1024);
    InflateResult result = InflateResult::Malformed;
    for (;;) {
        std::size_t have = out.size();
        if (have > cap) {
            result = InflateResult::TooLarge;
            break;
        }
        std::size_t grow = std::min(chunk, cap + 1 - have);
        out.resize(have + grow);
        zs.next_out = reinterpret_cast<Bytef*>(out.data() + have);
        zs.avail_out = static_cast<uInt>(grow);
        int rc = inflate(&zs, Z_NO_FLUSH);
        out.resize(have + grow - zs.avail_out);
        if (rc == Z_STREAM_END) {
            // Bytes after the end of the stream are not part of a well-formed body.
            result = zs.avail_in == 0 && out.size() <= cap ? InflateResult::Ok
                     : zs.avail_in != 0                    ? InflateResult::Malformed
                                                           : InflateResult::TooLarge;
            break;
        }
        if (rc != Z_OK && rc != Z_BUF_ERROR) break;
        // No progress with output room left means the input ended inside the stream.
        if (rc == Z_BUF_ERROR && zs.avail_out != 0) break;
        if (zs.avail_in == 0 && zs.avail_out != 0) break;
        chunk = std::min<std::size_t>(chunk * 2, 16u * 1024 * 1024);
    }
    inflateEnd(&zs);
    if (result != InflateResult::Ok) out.clear();
    return result;
}

} // namespace vantor
