#include "account/row_id.h"

#include <cstdint>
#include <mutex>
#include <random>

namespace vantor {

namespace {

// One generator for the process, seeded from the system's entropy source; guarded because
// screenshots and journal rows may be named from more than one thread.
std::uint64_t RandomWord() {
    static std::mutex mutex;
    static std::mt19937_64 engine = [] {
        std::random_device rd;
        std::seed_seq seq{rd(), rd(), rd(), rd(), rd(), rd(), rd(), rd()};
        return std::mt19937_64(seq);
    }();
    std::lock_guard<std::mutex> lock(mutex);
    return engine();
}

} // namespace

std::string NewRowId() {
    // A version-4 GUID: 16 random bytes with the version and variant bits set.
    unsigned char bytes[16];
    std::uint64_t hi = RandomWord(), lo = RandomWord();
    for (int i = 0; i < 8; ++i) {
        bytes[i] = static_cast<unsigned char>(hi >> (56 - 8 * i));
        bytes[8 + i] = static_cast<unsigned char>(lo >> (56 - 8 * i));
    }
    bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);
    static const char kHex[] = "0123456789ABCDEF";
    std::string text; // XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
        text += kHex[bytes[i] >> 4];
        text += kHex[bytes[i] & 0x0F];
    }
    text.resize(31);
    std::string id;
    for (char c : text)
        if (c != '-') id += c;
    return id;
}

} // namespace vantor
