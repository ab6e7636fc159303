// The file service client against a test service on the loopback interface.

#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <netinet/in.h>
#include <random>
#include <sys/socket.h>
#include <unistd.h>

#include "remote/file_operator.h"
#include "remote/frame.h"
#include "test_server.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;
using test::Answer;
using test::FakeFileService;
using test::Frame;
using test::FrameOfBody;
using test::TestServer;

const std::string kRemote = "data/sxf.db";
const std::string kKey = "/data/sxf.db"; // catalog "" + "/" + name in the fake service

std::string RandomBytes(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(gen() & 0xFF);
    return s;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class FileOperatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "vantor_remote_XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir = tmpl;
        local = dir + "/sxf.db";
    }
    void TearDown() override { fs::remove_all(dir); }

    void Use(TestServer& server, int ioTimeoutMs = 5000) {
        socket = std::make_unique<TTcpCoderSocket>("127.0.0.1", server.port());
        socket->ioTimeoutMs = ioTimeoutMs;
        op.FCoderSocket = socket.get();
    }
    // Names of the files left in the test folder.
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string dir, local;
    std::unique_ptr<TTcpCoderSocket> socket;
    TDiocpFileOperator op;
};

// A channel that takes at most `piece` bytes per send and hands out one byte per receive.
class PieceSocket : public TCoderSocket {
public:
    std::string sent, incoming;
    std::vector<int> sendSizes;
    int piece = 5000;
    std::size_t pos = 0;

    int SendBuf(const void* buf, int len) override {
        sendSizes.push_back(len);
        int n = std::min(len, piece);
        sent.append(static_cast<const char*>(buf), static_cast<std::size_t>(n));
        return n;
    }
    int RecvBuf(void* buf, int len) override {
        if (pos == incoming.size() || len <= 0) return -1;
        *static_cast<char*>(buf) = incoming[pos++];
        return 1;
    }
    void CloseSocket() override {}
    std::string LastError() const override { return "no more data"; }
};

TEST(FileOperatorFrames, FramesAreWrittenAndReadInPieces) {
    PieceSocket socket;
    TDiocpFileOperator op;
    op.FCoderSocket = &socket;
    op.FCMDObj.SetBin("data", RandomBytes(30000, 8)); // about 30000 bytes of body
    ASSERT_TRUE(op.SendObject());
    for (int n : socket.sendSizes) EXPECT_LE(n, 8192);
    ASSERT_GT(socket.sent.size(), 30000u);
    FrameHeader h = DecodeFrameHeader(reinterpret_cast<const unsigned char*>(socket.sent.data()));
    EXPECT_EQ(h.magic, kFrameMagic);
    EXPECT_EQ(h.length, socket.sent.size() - kFrameHeaderSize);
    EXPECT_EQ(h.checksum, ByteSum(std::string_view(socket.sent).substr(kFrameHeaderSize)));

    // What was sent comes back one byte per read and decodes to the same message.
    socket.incoming = socket.sent;
    TMsgPack expected = op.FCMDObj;
    ASSERT_TRUE(op.RecvObject()) << op.ErrorString();
    EXPECT_TRUE(op.FCMDObj.S("data") == expected.S("data"));
    // A stream that ends inside a frame fails with the channel's message.
    socket.incoming = socket.sent.substr(0, 20);
    socket.pos = 0;
    EXPECT_FALSE(op.RecvObject());
    EXPECT_EQ(op.ErrorString(), "no more data");
}

TEST_F(FileOperatorTest, DownloadsAFileInSeveralChunks) {
    FakeFileService svc;
    svc.files[kKey] = RandomBytes(10000, 1);
    svc.chunk = 3000;
    TestServer server([&](const TMsgPack& r) { return svc(r); });
    Use(server);

    ASSERT_TRUE(op.DownFile(kRemote, local, "")) << op.ErrorString();
    EXPECT_TRUE(ReadFile(local) == svc.files[kKey]);        // large: no dump on failure
    EXPECT_EQ(Files(), std::vector<std::string>{"sxf.db"}); // no temporary file left

    auto req = server.requests();
    ASSERT_EQ(req.size(), 5u);
    EXPECT_EQ(req[0].S("cmd.namespace"), "fileaccess");
    EXPECT_EQ(req[0].I("cmd.index"), 203);
    EXPECT_TRUE(req[0].B("cmd.checksum"));
    EXPECT_EQ(req[0].S("fileName"), kRemote);
    ASSERT_NE(req[0].Find("catalog"), nullptr);
    EXPECT_EQ(req[0].S("catalog"), "");
    const std::int64_t starts[] = {0, 3000, 6000, 9000};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(req[i + 1].S("cmd.namespace"), "fileaccess");
        EXPECT_EQ(req[i + 1].I("cmd.index"), 201);
        EXPECT_EQ(req[i + 1].S("fileName"), kRemote);
        EXPECT_EQ(req[i + 1].I("start"), starts[i]);
    }
}

TEST_F(FileOperatorTest, DownloadsOnlyWhenTheLocalCopyDiffers) {
    const std::string remote = RandomBytes(5000, 2) + std::string(10, '\0');
    struct Case {
        const char* what;
        std::optional<std::string> localBytes; // nothing: no local file
        bool remoteChecksum;
        bool downloads;
    } cases[] = {
        {"identical", remote, true, false},
        {"identical, remote checksum 0", remote, false, true},
        {"same byte sum, trailing zeros cut", remote.substr(0, remote.size() - 10), true, true},
        {"different", RandomBytes(5010, 3), true, true},
        {"missing", std::nullopt, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(local);
        if (c.localBytes) WriteFile(local, *c.localBytes);
        FakeFileService svc;
        svc.files[kKey] = remote;
        svc.withChecksum = c.remoteChecksum;
        TestServer server([&](const TMsgPack& r) { return svc(r); });
        Use(server);
        ASSERT_TRUE(op.DownFile(kRemote, local, "")) << op.ErrorString();
        EXPECT_TRUE(ReadFile(local) == remote);
        EXPECT_EQ(server.requests().size(), c.downloads ? 3u : 1u);
    }
}

TEST_F(FileOperatorTest, ARemoteSizeOfZeroIsAMissingFile) {
    WriteFile(local, "old");
    FakeFileService svc; // has no files: every size is 0
    TestServer server([&](const TMsgPack& r) { return svc(r); });
    Use(server);
    EXPECT_FALSE(op.DownFile(kRemote, local, ""));
    EXPECT_EQ(op.ErrorString(), "远程文件[data/sxf.db]不存在!");
    EXPECT_EQ(ReadFile(local), "old");
    EXPECT_EQ(server.requests().size(), 1u);
}

// A download answer: result, "data" and "fileSize".
TMsgPack Chunk(bool result, std::string data, std::int64_t fileSize) {
    TMsgPack a = Answer(result);
    a.SetBin("data", std::move(data));
    a.SetI("fileSize", fileSize);
    return a;
}

// Chunk answers that would make the download loop run forever or write a wrong file.
TEST_F(FileOperatorTest, ABadChunkAnswerFailsAndKeepsTheLocalFile) {
    const std::string remote = RandomBytes(10000, 4);
    struct Case {
        const char* what;
        std::function<TMsgPack(std::int64_t start)> chunk;
        std::uint32_t announcedSum;
        std::string message;
    } cases[] = {
        {"empty chunk",
         [&](std::int64_t start) {
             return Chunk(true, start == 0 ? remote.substr(0, 4000) : "", 10000);
         },
         ByteSum(remote), "下载文件[data/sxf.db]失败: 服务器返回了空的数据块!"},
        {"chunk beyond the size",
         [&](std::int64_t start) { return Chunk(true, remote.substr(start / 2, 6000), 10000); },
         ByteSum(remote), "下载文件[data/sxf.db]失败: 收到的数据超出了文件大小[10000]!"},
        {"false result without message", [&](std::int64_t) { return Chunk(false, "", 10000); },
         ByteSum(remote), "下载文件[data/sxf.db]失败: 服务器拒绝了请求!"},
        {"false result with message", [&](std::int64_t) { return Answer(false, "文件被占用"); },
         ByteSum(remote), "文件被占用"},
        {"another size than announced",
         [&](std::int64_t start) { return Chunk(true, remote.substr(start, 5000), 20000); },
         ByteSum(remote), "下载文件[data/sxf.db]失败: 文件大小[20000]与[10000]不一致!"},
        {"another byte sum than announced",
         [&](std::int64_t start) { return Chunk(true, remote.substr(start, 5000), 10000); },
         ByteSum(remote) + 1, "下载文件[data/sxf.db]失败: 文件校验和与服务器不一致!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(local, "old contents");
        TestServer server([&](const TMsgPack& r) -> std::optional<std::string> {
            if (r.I("cmd.index") == 203) {
                TMsgPack a = Answer(true);
                a.SetI("info.size", 10000);
                a.SetI("info.checksum", c.announcedSum);
                return Frame(a);
            }
            return Frame(c.chunk(r.I("start")));
        });
        Use(server);
        EXPECT_FALSE(op.DownFile(kRemote, local, ""));
        EXPECT_EQ(op.ErrorString(), c.message);
        EXPECT_EQ(ReadFile(local), "old contents");
        EXPECT_EQ(Files(), std::vector<std::string>{"sxf.db"});
        EXPECT_LE(server.requests().size(), 3u);
    }
}

// The first answer is replaced by raw bytes; later requests get the service's answers.
TEST_F(FileOperatorTest, FrameFaultsFailAndCloseOnlyWhenTheStreamIsLost) {
    std::string good = Frame([] {
        TMsgPack a = Answer(true);
        a.SetI("info.size", 42);
        return a;
    }());
    std::string altered = good;
    altered.back() = static_cast<char>(altered.back() ^ 0x40);
    std::string wrongMagic = good;
    wrongMagic[0] = 0x11;
    std::string tooLong = good.substr(0, 6) + std::string("\x00\xA0\x00\x01", 4); // limit + 1
    std::string bomb = test::DeflatedZeros(std::size_t(100) << 20), notMsgPack;
    Deflate("\xC1 not a message", notMsgPack);
    std::string atLimit = std::string(kMaxFrameBody, 'x');

    const std::string badBody = "错误的数据包，校验失败!";
    struct Case {
        const char* what;
        std::string reply;
        std::string message;
        bool closes;
    } cases[] = {
        {"wrong magic", wrongMagic, "错误的包头数据,断开与服务器的连接", true},
        {"length one above the limit", tooLong, "错误的数据,断开与服务器的连接", true},
        {"altered body", altered, badBody, false},
        {"zlib bomb", FrameOfBody(bomb), badBody, false},
        {"body that is no message", FrameOfBody(notMsgPack), badBody, false},
        {"body of the largest length", FrameOfBody(atLimit), badBody, false},
    };
    ASSERT_LT(bomb.size(), 1u << 20);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int answered = 0;
        TestServer server([&](const TMsgPack&) -> std::optional<std::string> {
            return answered++ == 0 ? c.reply : good;
        });
        Use(server);
        std::int64_t size = 0;
        EXPECT_FALSE(op.ReadFileSize(kRemote, "", size));
        EXPECT_EQ(op.ErrorString(), c.message);
        EXPECT_EQ(socket->Connected(), !c.closes);
        if (c.closes) {
            EXPECT_TRUE(server.WaitClosed(1));
        }
        // The next command works, on the same connection unless it was closed.
        ASSERT_TRUE(op.ReadFileSize(kRemote, "", size)) << op.ErrorString();
        EXPECT_EQ(size, 42);
        EXPECT_EQ(server.connections(), c.closes ? 2 : 1);
    }
}

TEST_F(FileOperatorTest, AFalseResultFailsWhenItCarriesAMessage) {
    struct Case {
        const char* what;
        bool result;
        std::string msg;
        std::function<bool(TDiocpFileOperator&)> run;
        bool ok;
    } cases[] = {
        {"file info, no message", false, "",
         [](TDiocpFileOperator& op) { return op.readFileINfo(kRemote, "", true); }, true},
        {"file info, message", false, "没有权限",
         [](TDiocpFileOperator& op) { return op.readFileINfo(kRemote, "", true); }, false},
        {"delete, no message", false, "",
         [](TDiocpFileOperator& op) { return op.DeleteFile(kRemote, ""); }, false},
        {"copy, no message", false, "",
         [](TDiocpFileOperator& op) { return op.CopyAFile(kRemote, "b.db", ""); }, false},
        {"copy, message", false, "没有权限",
         [](TDiocpFileOperator& op) { return op.CopyAFile(kRemote, "b.db", ""); }, false},
        {"delete, true", true, "",
         [](TDiocpFileOperator& op) { return op.DeleteFile(kRemote, ""); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestServer server([&](const TMsgPack&) -> std::optional<std::string> {
            TMsgPack a = Answer(c.result, c.msg);
            a.SetI("info.size", 77);
            a.SetI("info.checksum", 12345);
            return Frame(a);
        });
        Use(server);
        EXPECT_EQ(c.run(op), c.ok);
        if (!c.ok) {
            EXPECT_EQ(op.ErrorString(), c.msg);
        }
        if (c.ok && std::string(c.what).rfind("file info", 0) == 0) {
            EXPECT_EQ(op.FFileSize, 77);
            EXPECT_EQ(op.FFileCheckSum, 12345u);
        }
    }
}

TEST_F(FileOperatorTest, ADownloadGoesOnAfterAFalseResultWithoutMessage) {
    FakeFileService svc;
    svc.files[kKey] = RandomBytes(3000, 5);
    TestServer server([&](const TMsgPack& r) -> std::optional<std::string> {
        if (r.I("cmd.index") != 203) return svc(r);
        TMsgPack a = Answer(false);
        a.SetI("info.size", 3000);
        a.SetI("info.checksum", ByteSum(svc.files[kKey]));
        return Frame(a);
    });
    Use(server);
    ASSERT_TRUE(op.DownFile(kRemote, local, "")) << op.ErrorString();
    EXPECT_TRUE(ReadFile(local) == svc.files[kKey]);
}

TEST_F(FileOperatorTest, UploadsInChunksOfOneMebibyte) {
    const std::string bytes = RandomBytes(5u << 19, 6); // 2.5 MiB
    const std::string path = dir + "/big.bin";
    WriteFile(path, bytes);
    FakeFileService svc;
    TestServer server([&](const TMsgPack& r) { return svc(r); });
    Use(server);

    std::int64_t size = 0;
    ASSERT_TRUE(op.UploadFile("", path, "cat", size)) << op.ErrorString();
    EXPECT_EQ(size, 5 << 19);
    ASSERT_EQ(svc.uploads.size(), 3u);
    const std::int64_t starts[] = {0, 1 << 20, 2 << 20};
    const std::int64_t sizes[] = {1 << 20, 1 << 20, 1 << 19};
    for (int i = 0; i < 3; ++i) {
        const TMsgPack& u = svc.uploads[i];
        EXPECT_EQ(u.S("cmd.namespace"), "fileaccess");
        EXPECT_EQ(u.I("cmd.index"), 202);
        EXPECT_EQ(u.S("fileName"), "big.bin");
        EXPECT_EQ(u.S("catalog"), "cat");
        EXPECT_EQ(u.I("start"), starts[i]);
        EXPECT_EQ(u.I("size"), sizes[i]);
        EXPECT_EQ(u.Find("data")->kind(), TMsgPack::Kind::Bin);
        EXPECT_EQ(u.S("data").size(), static_cast<std::size_t>(sizes[i]));
        EXPECT_EQ(u.Find("eof") != nullptr, i == 2);
    }
    EXPECT_TRUE(svc.uploads[2].B("eof"));
    EXPECT_TRUE(svc.files["cat/big.bin"] == bytes);

    // An empty file sends nothing; a remote name replaces the local one.
    WriteFile(path, "");
    ASSERT_TRUE(op.UploadFile("x.bin", path, "cat", size));
    EXPECT_EQ(size, 0);
    EXPECT_EQ(svc.uploads.size(), 3u);
    WriteFile(path, "abc");
    ASSERT_TRUE(op.UploadFile("x.bin", path, "cat", size));
    EXPECT_EQ(svc.files["cat/x.bin"], "abc");

    EXPECT_FALSE(op.UploadFile("", dir + "/missing.bin", "cat", size));
    EXPECT_EQ(op.ErrorString().rfind("打开文件[", 0), 0u);
}

TEST_F(FileOperatorTest, CopiesAndDeletesRemoteFiles) {
    FakeFileService svc;
    svc.files["c/a.db"] = "abc";
    TestServer server([&](const TMsgPack& r) { return svc(r); });
    Use(server);
    ASSERT_TRUE(op.CopyAFile("a.db", "b.db", "c")) << op.ErrorString();
    EXPECT_EQ(svc.files["c/b.db"], "abc");
    ASSERT_TRUE(op.DeleteFile("a.db", "c")) << op.ErrorString();
    EXPECT_EQ(svc.files.count("c/a.db"), 0u);
    EXPECT_FALSE(op.DeleteFile("a.db", "c"));
    EXPECT_EQ(op.ErrorString(), "文件不存在");
    auto req = server.requests();
    EXPECT_EQ(req[0].I("cmd.index"), 205);
    EXPECT_EQ(req[0].S("newFile"), "b.db");
    EXPECT_EQ(req[1].I("cmd.index"), 204);
}

TEST_F(FileOperatorTest, ASilentServiceTimesOut) {
    TestServer server([](const TMsgPack&) { return std::optional<std::string>(); });
    Use(server, 200);
    WriteFile(local, "old");
    EXPECT_FALSE(op.DownFile(kRemote, local, ""));
    EXPECT_EQ(op.ErrorString(), "等待服务器应答超时!");
    EXPECT_FALSE(socket->Connected());
    EXPECT_TRUE(server.WaitClosed(1));
    EXPECT_EQ(ReadFile(local), "old");
}

// A TCP socket bound to a free loopback port chosen by the system; -1 on failure.
int BoundLoopbackSocket(int& port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        if (fd >= 0) ::close(fd);
        return -1;
    }
    port = ntohs(addr.sin_port);
    return fd;
}

TEST_F(FileOperatorTest, AnUnreachableServiceFailsWithAMessage) {
    // A port held by a socket that is bound but does not listen: connections are refused,
    // and nothing else can take the port while the test runs.
    int port = 0;
    const int holder = BoundLoopbackSocket(port);
    ASSERT_GE(holder, 0);
    TTcpCoderSocket s("127.0.0.1", port);
    s.connectTimeoutMs = 1000;
    op.FCoderSocket = &s;
    std::int64_t size;
    EXPECT_FALSE(op.ReadFileSize(kRemote, "", size));
    EXPECT_EQ(op.ErrorString().rfind("连接服务器[127.0.0.1:" + std::to_string(port) + "]", 0), 0u)
        << op.ErrorString();
    ::close(holder);

    // A listener that never accepts, with its queue filled: the next connection attempt
    // gets no answer at all.
    int busyPort = 0;
    const int listener = BoundLoopbackSocket(busyPort);
    ASSERT_GE(listener, 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    TTcpCoderSocket first("127.0.0.1", busyPort);
    first.connectTimeoutMs = 200;
    ASSERT_TRUE(first.Connect()) << first.LastError();
    TTcpCoderSocket second("127.0.0.1", busyPort);
    second.connectTimeoutMs = 200;
    op.FCoderSocket = &second;
    EXPECT_FALSE(op.ReadFileSize(kRemote, "", size));
    EXPECT_EQ(op.ErrorString(), "连接服务器[127.0.0.1:" + std::to_string(busyPort) + "]超时!");
    ::close(listener);
}

TEST_F(FileOperatorTest, EveryCommandNeedsACoderSocket) {
    std::int64_t size;
    const std::function<bool()> commands[] = {
        [&] { return op.readFileINfo(kRemote, "", true); },
        [&] { return op.DownFile(kRemote, local, ""); },
        [&] { return op.ReadFileSize(kRemote, "", size); },
        [&] { return op.UploadFile("", local, "", size); },
        [&] { return op.DeleteFile(kRemote, ""); },
        [&] { return op.CopyAFile(kRemote, "b", ""); },
    };
    WriteFile(local, "abc");
    for (const auto& run : commands) {
        EXPECT_FALSE(run());
        EXPECT_EQ(op.ErrorString(), "缺少CoderSocket操作接口!");
    }
}

TEST_F(FileOperatorTest, AMessageLargerThanAFrameIsNotSent) {
    FakeFileService svc;
    TestServer server([&](const TMsgPack& r) { return svc(r); });
    Use(server);
    op.FCMDObj.SetBin("data", RandomBytes(kMaxFrameBody + 1000, 7)); // does not compress
    EXPECT_FALSE(op.SendObject());
    EXPECT_EQ(op.ErrorString(), "数据包太大,请在业务层分拆发送,最大数据包[10485760]!");
    std::int64_t size = -1;
    ASSERT_TRUE(op.ReadFileSize(kRemote, "", size)) << op.ErrorString();
    EXPECT_EQ(server.requests().size(), 1u);
}

} // namespace
} // namespace vantor
