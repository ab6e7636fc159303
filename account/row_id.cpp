#include "account/row_id.h"

#include <cstdint>
#include <random>

namespace vantor {

namespace {

// Every identifier is drawn from the system's entropy source, so that identifiers stay unique
// across threads and across processes started from one another.
std::uint64_t RandomWord() {
    thread_local std::random_device rd;
    return (static_cast<std::uint64_t>(rd()) << 32) ^ rd();
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
