// Message trees, their MessagePack bytes, the frame header and the capped inflating.

#include <gtest/gtest.h>

#include "remote/frame.h"
#include "remote/message.h"
#include "test_server.h"

namespace vantor {
namespace {

std::string Bytes(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s += static_cast<char>(b);
    return s;
}

TEST(TMsgPack, KeyPathsReachNestedMapsWithEverySeparator) {
    TMsgPack m;
    m.SetS("cmd.namespace", "fileaccess");
    m.SetI("cmd/index", 203);
    m.SetB("cmd\\checksum", true);
    m.SetI("start", 5000000000LL);
    m.SetI("neg", -7);
    m.SetBin("data", std::string("\0\1\2", 3));
    std::string bytes;
    m.Encode(bytes);

    TMsgPack d;
    ASSERT_TRUE(d.Decode(bytes));
    EXPECT_EQ(d.S("cmd.namespace"), "fileaccess");
    EXPECT_EQ(d.I("cmd.index"), 203);
    EXPECT_TRUE(d.B("cmd.checksum"));
    EXPECT_EQ(d.I("start"), 5000000000LL);
    EXPECT_EQ(d.I("neg"), -7);
    ASSERT_NE(d.Bytes("data"), nullptr);
    EXPECT_EQ(*d.Bytes("data"), std::string("\0\1\2", 3));
    EXPECT_EQ(d.Find("data")->kind(), TMsgPack::Kind::Bin);
    ASSERT_EQ(d.Find("cmd")->Entries().size(), 3u);
    // Missing paths and paths through a non-map read as defaults.
    EXPECT_EQ(d.I("info.size"), 0);
    EXPECT_FALSE(d.B("__result.result"));
    EXPECT_EQ(d.S("start.x"), "");
    EXPECT_EQ(d.Bytes("nothing"), nullptr);
}

TEST(TMsgPack, EncodesAndDecodesThePublishedFormat) {
    // {"a": {"b": 1}} and {"data": bin8 "xy", "ok": true, "n": -1, "u": uint64 max}
    TMsgPack m;
    m.SetI("a.b", 1);
    std::string bytes;
    m.Encode(bytes);
    EXPECT_EQ(bytes, Bytes({0x81, 0xA1, 'a', 0x81, 0xA1, 'b', 0x01}));

    std::string in =
        Bytes({0x84, 0xA4, 'd',  'a',  't', 'a',  0xC4, 0x02, 'x',  'y',  0xA2, 'o',  'k',  0xC3,
               0xA1, 'n',  0xFF, 0xA1, 'u', 0xCF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    TMsgPack d;
    ASSERT_TRUE(d.Decode(in));
    EXPECT_EQ(d.S("data"), "xy");
    EXPECT_TRUE(d.B("ok"));
    EXPECT_EQ(d.I("n"), -1);
    EXPECT_EQ(static_cast<std::uint64_t>(d.I("u")), UINT64_MAX);
    std::string again;
    d.Encode(again);
    EXPECT_EQ(again.substr(0, 10), in.substr(0, 10)); // map header, "data" and its bin8
}

TEST(TMsgPack, RejectsMalformedInput) {
    std::string deep;
    for (int i = 0; i < 40; ++i) deep += Bytes({0x81, 0xA1, 'k'});
    deep += Bytes({0x01});
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"truncated map", Bytes({0x82, 0xA1, 'a', 0x01})},
        {"bytes after the message", Bytes({0x80, 0x00})},
        {"not a map", Bytes({0x93, 0x01, 0x02, 0x03})},
        {"integer key", Bytes({0x81, 0x01, 0x02})},
        {"map key", Bytes({0x81, 0x80, 0x02})},
        {"reserved byte", Bytes({0x81, 0xA1, 'a', 0xC1})},
        {"nesting too deep", deep},
        // Counts and lengths far beyond the data must fail without allocating for them.
        {"forged array count", Bytes({0x81, 0xA1, 'a', 0xDD, 0xFF, 0xFF, 0xFF, 0xFF})},
        {"forged map count", Bytes({0xDF, 0xFF, 0xFF, 0xFF, 0xFF, 0xA1, 'a'})},
        {"forged bin length", Bytes({0x81, 0xA1, 'a', 0xC6, 0xFF, 0xFF, 0xFF, 0xFF, 0x00})},
        {"forged ext length", Bytes({0x81, 0xA1, 'a', 0xC9, 0xFF, 0xFF, 0xFF, 0xFF, 0x01})},
    };
    for (const Case& c : cases) {
        TMsgPack d;
        d.SetI("left.over", 1);
        EXPECT_FALSE(d.Decode(c.bytes)) << c.what;
        EXPECT_TRUE(d.IsNil()) << c.what;
    }
}

TEST(Frame, HeaderHoldsMagicChecksumAndBigEndianLength) {
    std::string body = Bytes({0xFF, 0xFF, 0x01, 0x02});
    std::string h = EncodeFrameHeader(body);
    // magic 0x0D10 LE, checksum 0x00000201 LE, length 4 BE
    EXPECT_EQ(h, Bytes({0x10, 0x0D, 0x01, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04}));
    FrameHeader d = DecodeFrameHeader(reinterpret_cast<const unsigned char*>(h.data()));
    EXPECT_EQ(d.magic, kFrameMagic);
    EXPECT_EQ(d.checksum, 0x201u);
    EXPECT_EQ(d.length, 4u);
    // The sum wraps as an unsigned 32-bit value.
    EXPECT_EQ(ByteSum(Bytes({0x02}), 0xFFFFFFFFu), 1u);
}

TEST(Frame, InflatingIsCappedAndStrict) {
    std::string out;
    std::string exact = test::DeflatedZeros(1000);
    EXPECT_EQ(Inflate(exact, 1000, out), InflateResult::Ok);
    EXPECT_EQ(out.size(), 1000u);
    EXPECT_EQ(Inflate(exact, 999, out), InflateResult::TooLarge);

    std::string bomb = test::DeflatedZeros(std::size_t(256) << 20); // 256 MiB in about 256 KiB
    EXPECT_LT(bomb.size(), kMaxFrameBody);
    EXPECT_EQ(Inflate(bomb, kMaxInflatedBody, out), InflateResult::TooLarge);
    EXPECT_TRUE(out.empty());

    EXPECT_EQ(Inflate(exact.substr(0, exact.size() - 3), 1000, out), InflateResult::Malformed);
    EXPECT_EQ(Inflate(exact + "x", 1000, out), InflateResult::Malformed);
    EXPECT_EQ(Inflate("not zlib at all", 1000, out), InflateResult::Malformed);
    EXPECT_EQ(Inflate("", 1000, out), InflateResult::Malformed);

    std::string packed;
    ASSERT_TRUE(Deflate("hello hello hello", packed));
    EXPECT_EQ(static_cast<unsigned char>(packed[0]), 0x78); // zlib header, default level
    EXPECT_EQ(Inflate(packed, 100, out), InflateResult::Ok);
    EXPECT_EQ(out, "hello hello hello");
}

} // namespace
} // namespace vantor
