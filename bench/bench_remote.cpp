// One 1 MiB file chunk through the remote client's message layer: building and framing an
// upload request, and checking, inflating and decoding a download answer. The chunk is the
// start of the minute sample, data that compresses like the service's files do.

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>

#include "remote/frame.h"
#include "remote/message.h"

namespace {

std::string SampleChunk() {
    std::ifstream in(VANTOR_SAMPLE_DIR "/mindata/IFL8.txt", std::ios::binary);
    std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    s.resize(1 << 20, ' ');
    return s;
}

void BM_FrameUploadChunk(benchmark::State& state) {
    const std::string chunk = SampleChunk();
    for (auto _ : state) {
        vantor::TMsgPack m;
        m.SetS("cmd.namespace", "fileaccess");
        m.SetI("cmd.index", 202);
        m.SetS("fileName", "sxf.db");
        m.SetI("start", 0);
        m.SetI("size", static_cast<std::int64_t>(chunk.size()));
        m.SetBin("data", chunk);
        std::string raw, body;
        m.Encode(raw);
        vantor::Deflate(raw, body);
        std::string frame = vantor::EncodeFrameHeader(body) + body;
        benchmark::DoNotOptimize(frame.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(chunk.size()));
}
BENCHMARK(BM_FrameUploadChunk)->Unit(benchmark::kMillisecond);

void BM_DecodeDownloadAnswer(benchmark::State& state) {
    const std::string chunk = SampleChunk();
    vantor::TMsgPack answer;
    answer.SetB("__result.result", true);
    answer.SetBin("data", chunk);
    answer.SetI("fileSize", 1 << 20);
    std::string raw, body;
    answer.Encode(raw);
    vantor::Deflate(raw, body);
    const std::uint32_t sum = vantor::ByteSum(body);
    for (auto _ : state) {
        std::string inflated;
        vantor::TMsgPack m;
        bool ok = vantor::ByteSum(body) == sum &&
                  vantor::Inflate(body, vantor::kMaxInflatedBody, inflated) ==
                      vantor::InflateResult::Ok &&
                  m.Decode(inflated);
        benchmark::DoNotOptimize(ok);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(chunk.size()));
}
BENCHMARK(BM_DecodeDownloadAnswer)->Unit(benchmark::kMillisecond);

} // namespace
