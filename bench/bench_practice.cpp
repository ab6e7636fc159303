// One replay step through the practice controller, as the button 下一K线 runs it: reveal a
// bar, hand the chart its series (incremental rerun of every window), repaint at 1920×1080,
// revalue the account and save it to the journal.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "bench/gui_app.h"
#include "journal/journal.h"
#include "practice/practice.h"

namespace vantor::bench {
namespace {

class QuietHost : public PracticeHost {
public:
    void Message(const std::string&) override {}
    bool Confirm(const std::string&, const std::string&) override { return true; }
    bool Ask(const std::string&) override { return true; }
    void OpenPath(const std::string&) override {}
    std::unique_ptr<PracticeTimer> CreateTimer(std::function<void()>) override {
        struct Idle : PracticeTimer {
            void Start(int) override {}
            void Stop() override {}
            bool Active() const override { return false; }
            int Interval() const override { return 0; }
        };
        return std::make_unique<Idle>();
    }
};

// A program folder holding the minute sample, for one account with `windows` indicator
// windows.
std::string Folder(int windows) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("vantor_bench_" + std::to_string(getpid()) +
                                                      "_" + std::to_string(windows));
    fs::remove_all(dir);
    fs::create_directories(dir / "mindata");
    fs::copy_file(VANTOR_SAMPLE_DIR "/mindata/IFL8.txt", dir / "mindata/IFL8.txt");
    std::ofstream(dir / "config.ini")
        << "[系统设置]\n账户名称=bench\n[bench]\n股票代码=IFL8\n周期=0\n"
           "etj=1\n步长=0\nntec="
        << windows << "\n";
    return dir.string();
}

// args: indicator windows, bars shown before the first step.
void BM_NextBar(benchmark::State& state) {
    EnsureGuiApp();
    const int windows = static_cast<int>(state.range(0));
    const int shown = static_cast<int>(state.range(1));
    const std::string dir = Folder(windows);
    QuietHost host;
    TForm1 form(dir, "bench", host);
    form.Startup();
    form.Chart().SetSize(1920, 1080);
    auto place = [&] {
        form.Controls().startRowBox = std::to_string(shown);
        form.StartRowEnter();
        form.Chart().Image();
    };
    place();
    int steps = 0;
    for (auto _ : state) {
        if (++steps % 400 == 0) {
            state.PauseTiming();
            place();
            state.ResumeTiming();
        }
        form.NextBar();
        benchmark::DoNotOptimize(form.Chart().Image().constBits());
    }
    state.SetItemsProcessed(state.iterations());
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_NextBar)
    ->ArgsProduct({{3, 10}, {10000, 47000}})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// 240 minute bars from the same position: one 前进N根 of 240 (one repaint and one save of the
// account at the end) against 240 single steps (each repainted and saved). arg: 1 skip.
void BM_Advance240(benchmark::State& state) {
    EnsureGuiApp();
    const bool skip = state.range(0) == 1;
    const std::string dir = Folder(3);
    QuietHost host;
    TForm1 form(dir, "bench", host);
    form.Startup();
    form.Chart().SetSize(1920, 1080);
    form.Controls().skipBarsBox = "240";
    for (auto _ : state) {
        state.PauseTiming();
        form.Controls().startRowBox = "10000";
        form.StartRowEnter();
        form.Chart().Image();
        state.ResumeTiming();
        if (skip) {
            form.SkipBars();
        } else {
            for (int i = 0; i < 240; ++i) {
                form.NextBar();
                benchmark::DoNotOptimize(form.Chart().Image().constBits());
            }
        }
        benchmark::DoNotOptimize(form.Chart().Image().constBits());
        if (form.Store().nIndex != 10239) state.SkipWithError("not 240 bars on");
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_Advance240)->ArgName("skip")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The journal write of a step alone.
void BM_StepSaveAccount(benchmark::State& state) {
    const std::string dir = Folder(3);
    TJournal journal(dir);
    journal.EnsureDatabase();
    journal.EnsureAccount("bench");
    // As in the program: an idle connection for the whole run keeps the log's index alive.
    SqlDatabase anchor;
    anchor.Open(journal.path(), SqlDatabase::Mode::Existing);
    anchor.UseWriteAheadLog();
    TqhAcount acc(10000);
    int row = 0;
    for (auto _ : state) {
        acc.Fkyzj += 1;
        benchmark::DoNotOptimize(journal.SaveAccount("bench", acc, ++row, 0, "mindata/IFL8.TXT"));
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_StepSaveAccount)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace vantor::bench
