// The account's revaluation and trades, and the journal operations of one replay step and of
// the journal page: saving the account (after every step), writing a trade, reading the list
// with its statistics.

#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "account/numbers.h"
#include "account/qh_account.h"
#include "account/row_id.h"
#include "account/sqlite_db.h"
#include "journal/journal.h"

namespace {

using namespace vantor;

// A journal in a fresh folder under the system's temporary folder, removed afterwards.
struct BenchJournal {
    std::string dir;
    TJournal journal{""};
    BenchJournal() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vantor_bench_XXXXXX").string();
        if (mkdtemp(pattern.data())) dir = pattern;
        journal = TJournal(dir);
        journal.EnsureDatabase();
        journal.EnsureAccount("demo");
    }
    ~BenchJournal() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

TradeLogRow DemoTrade(int i) {
    TradeLogRow t;
    t.SNo = std::to_string(i);
    t.sStockName = t.sStockCode = "IFL8";
    t.sUserName = "demo";
    t.sTradeDirect = i % 2 ? "多平" : "多开";
    t.sDate = "20260310";
    t.sQuantity = "1";
    t.sPrice = "3500.00";
    t.sCommission = "5.00";
    t.sTradeTurnover = "1050.00";
    t.sRemain = "8950.00";
    t.sProfit = i % 2 ? Fixed2(i % 7 * 10 - 30) : "0";
    t.sTime = "20260310 143501";
    t.sGuid = NewRowId();
    t.sPicPath = "log\\" + t.sGuid + ".jpg";
    return t;
}

void BM_Revalue(benchmark::State& state) {
    TqhAcount acc(1e9);
    acc.buyopen(3500, 3);
    acc.sellopen(3500, 1);
    double price = 3500;
    for (auto _ : state) {
        price = price > 3600 ? 3400 : price + 0.2;
        acc.setJsj(price);
        benchmark::DoNotOptimize(acc.dtqy());
    }
}
BENCHMARK(BM_Revalue);

void BM_OpenAndClose(benchmark::State& state) {
    TqhAcount acc(1e9);
    for (auto _ : state) {
        acc.buyopen(3500, 1);
        acc.buyClose(3501, 1);
        benchmark::DoNotOptimize(acc.kyzj());
    }
}
BENCHMARK(BM_OpenAndClose);

void BM_SaveAccount(benchmark::State& state) {
    BenchJournal b;
    TqhAcount acc(10000, 1, 0, 3500, 0);
    int row = 0;
    for (auto _ : state) b.journal.SaveAccount("demo", acc, ++row, 0, "mindata/IFL8.txt");
}
BENCHMARK(BM_SaveAccount)->Unit(benchmark::kMicrosecond);

void BM_InsertTrade(benchmark::State& state) {
    BenchJournal b;
    int i = 0;
    for (auto _ : state) b.journal.InsertTrade(DemoTrade(i++));
}
BENCHMARK(BM_InsertTrade)->Unit(benchmark::kMicrosecond);

void BM_RefreshJournal1000(benchmark::State& state) {
    BenchJournal b;
    {
        SqlDatabase db; // one transaction for the setup instead of 1000 synced writes
        db.Open(b.journal.path(), SqlDatabase::Mode::Existing);
        db.Begin();
        for (int i = 0; i < 1000; ++i)
            db.Run("INSERT INTO \"Tradelog\" VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                   DemoTrade(i).Values());
        db.Commit();
    }
    std::vector<JournalEntry> rows;
    std::string memo;
    for (auto _ : state) {
        b.journal.RefreshJournal("demo", rows, memo);
        benchmark::DoNotOptimize(rows.size());
    }
}
BENCHMARK(BM_RefreshJournal1000)->Unit(benchmark::kMicrosecond);

} // namespace
