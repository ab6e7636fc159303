#pragma once
// A program folder with small bar files and a config.ini, and a controller started on it.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "temp_dir.h"
#include "practice/practice.h"
#include "recording_host.h"

namespace vantor::test {

struct MinuteBar {
    int date, time;
    double open, high, low, close;
};

inline std::string MinuteLines(const std::vector<MinuteBar>& bars) {
    std::string text;
    char line[160];
    for (const MinuteBar& b : bars) {
        std::snprintf(line, sizeof line, "%d,%04d,%.4f,%.4f,%.4f,%.4f,100.0000,0.0000\n", b.date,
                      b.time, b.open, b.high, b.low, b.close);
        text += line;
    }
    return text;
}

// Minutes of one session: `count` bars from 09:31 on, opens rising by one from `first`,
// each bar two points above and below its open, closing one point up.
inline std::vector<MinuteBar> Session(int date, int count, double first) {
    std::vector<MinuteBar> bars;
    for (int i = 0; i < count; ++i) {
        int m = 31 + i;
        int t = (9 + m / 60) * 100 + m % 60;
        double o = first + i;
        bars.push_back({date, t, o, o + 2, o - 2, o + 1});
    }
    return bars;
}

// One program folder and a controller on it; a test (or a case of a table) makes its own.
struct PracticeEnv {
    TempDir dir;
    RecordingHost host;
    std::unique_ptr<TForm1> form;

    void Write(const std::string& rel, const std::string& text) {
        const std::string path = dir.path() + "/" + rel;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    std::string Read(const std::string& rel) const {
        std::ifstream in(dir.path() + "/" + rel, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // config.ini for account "trainee" with the instrument TST and the given extra keys.
    void Config(const std::string& keys, int basePeriod = 0) {
        Write("config.ini", "[系统设置]\n账户名称=trainee\n[trainee]\n股票代码=TST\n周期=" +
                                std::to_string(basePeriod) + "\n" + keys);
    }
    void Start(const std::string& account = "trainee") {
        form = std::make_unique<TForm1>(dir.path(), account, host);
        form->Startup();
    }
    // Shows bars 0 .. row-1 (the start-row box and Enter).
    void AtRow(int row) {
        form->Controls().startRowBox = std::to_string(row);
        form->StartRowEnter();
    }
    double Last(const char* name) { return form->Chart().GetLast(name); }
    int JpegCount() const {
        int n = 0;
        std::error_code ec;
        for (auto& e : std::filesystem::directory_iterator(dir.path() + "/log", ec))
            n += e.path().extension() == ".jpg";
        return n;
    }
    std::vector<JournalEntry> Journal() {
        TJournal j(dir.path());
        std::vector<JournalEntry> rows;
        EXPECT_TRUE(j.ReadJournal("trainee", rows)) << j.sError;
        return rows;
    }
    std::vector<std::pair<double, double>> Equity() {
        TJournal j(dir.path());
        std::vector<std::pair<double, double>> points;
        EXPECT_TRUE(j.EquityPoints("trainee", points)) << j.sError;
        return points;
    }
};

} // namespace vantor::test
