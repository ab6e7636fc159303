#include "library/formula_check.h"

#include <cstdlib>
#include <memory>

#include "formula/gs.h"

namespace vantor {

namespace {

struct SampleBar {
    double date, open, high, low, close, vol, amount;
};

const SampleBar kSampleBars[] = {
    {20130326, 22.59, 22.59, 22.08, 22.14, 55977300, 1248606080},
    {20130327, 22.17, 22.67, 21.92, 22.15, 38599693, 859815744},
    {20130328, 21.00, 21.00, 19.94, 20.02, 117504326, 2385878272},
    {20130329, 20.02, 20.37, 19.64, 20.12, 56984842, 1139477760},
    {20130401, 20.20, 20.60, 20.10, 20.39, 38554183, 786200256},
    {20130402, 20.38, 20.90, 20.19, 20.44, 46305400, 952838144},
};

void AddSampleSeries(TGS& gs) {
    constexpr int n = static_cast<int>(std::size(kSampleBars));
    auto add = [&](const char* name, double SampleBar::*field) {
        double v[n];
        for (int i = 0; i < n; ++i) v[i] = kSampleBars[i].*field;
        gs.AddAll(name, v, n);
    };
    add("Close", &SampleBar::close);
    add("HIGH", &SampleBar::high);
    add("LOW", &SampleBar::low);
    add("OPEN", &SampleBar::open);
    add("VOL", &SampleBar::vol);
    add("AMOUNT", &SampleBar::amount);
    add("Date", &SampleBar::date);
    double times[n];
    for (double& t : times) t = 930;
    gs.AddAll("Time", times, n);
}

// Quote, financial and index records of the same instrument on the last sample day.
void AddSampleRecords(TGS& gs) {
    auto quote = std::make_shared<TDYNAINFO>();
    quote->fill(0);
    (*quote)[3] = 20.39f; // previous close
    (*quote)[4] = 20.38f; // open
    (*quote)[5] = 20.90f; // high
    (*quote)[6] = 20.19f; // low
    (*quote)[7] = 20.44f; // last price
    (*quote)[8] = 463054.0f;
    (*quote)[10] = 952838144.0f;
    gs.FDYNAINFO = quote;
    auto finance = std::make_shared<TFINANCE>();
    finance->fill(0);
    (*finance)[1] = 1.1e9f; // total shares
    (*finance)[7] = 9.5e8f; // circulating shares
    gs.FFINANCE = finance;
    auto index = std::make_shared<TIndex>();
    index->INDEXO = 2245.0f;
    index->INDEXH = 2262.0f;
    index->INDEXL = 2231.0f;
    index->INDEXC = 2250.0f;
    index->INDEXV = 1.1e8f;
    index->INDEXA = 9.4e10f;
    index->INDEXADV = 520;
    index->INDEXDEC = 410;
    gs.FIndex = index;
}

FormulaCheck Result(TGS& gs, bool ok, std::vector<std::string> compiled) {
    FormulaCheck c;
    c.ok = ok;
    c.compiled = std::move(compiled);
    if (!ok) {
        c.error = gs.FErrorString;
        c.errorLine = ErrorLineOf(c.error);
    }
    return c;
}

} // namespace

int ErrorLineOf(const std::string& message) {
    const std::string mark = "第";
    std::size_t p = message.find(mark);
    if (p == std::string::npos) return -1;
    p += mark.size();
    while (p < message.size() && message[p] == ' ') ++p;
    std::size_t q = p;
    while (q < message.size() && message[q] >= '0' && message[q] <= '9') ++q;
    if (q == p || q - p > 6) return -1;
    std::size_t r = q;
    while (r < message.size() && message[r] == ' ') ++r;
    if (message.compare(r, std::string("行").size(), "行") != 0) return -1;
    return std::atoi(message.substr(p, q - p).c_str()) - 1;
}

FormulaCheck CompileFormula(const std::string& text) {
    TGS gs;
    std::vector<std::string> source, compiled;
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
        gs.FErrorString = "程序长度不能为空!";
        return Result(gs, false, {});
    }
    bool ok = gs.CompileText(text, source, compiled);
    return Result(gs, ok, std::move(compiled));
}

FormulaCheck TestFormula(const std::string& text) {
    FormulaCheck c = CompileFormula(text);
    if (!c.ok) return c;
    TGS test;
    AddSampleSeries(test);
    AddSampleRecords(test);
    bool ok = test.SetProgText(text, "");
    FormulaCheck run = Result(test, ok, std::move(c.compiled));
    return run;
}

std::vector<std::string> TestReport(const FormulaCheck& check) {
    std::vector<std::string> lines = check.compiled;
    lines.push_back("===============");
    if (check.ok) {
        lines.push_back("测试通过");
    } else {
        lines.push_back(check.error);
        lines.push_back("===============");
        lines.push_back("测试错误");
    }
    return lines;
}

} // namespace vantor
