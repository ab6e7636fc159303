#pragma once
// WindowProgram: what a chart window needs from the formula program behind it. The chart
// feeds raw series in, runs the program, and reads series, constants and output records
// back for painting.

#include <string>
#include <vector>

#include "chart/formula_types.h"
#include "chart/scale.h"
#include "formula/stock_info.h"
#include "market/host.h"
#include "market/price.h"

namespace vantor {

// A read-only view of one series. Every read goes through `at`, which gives the invalid
// value outside 0..len-1, so no painting step can read past a series.
struct SeriesView {
    const double* data = nullptr;
    int len = 0;
    double at(int i) const { return data && i >= 0 && i < len ? data[i] : kInvalidValue; }
    double last() const { return at(len - 1); }
};

// What the formula functions may read of the chart's setting.
struct ProgramContext {
    TWeekStyle period = wsDay;
    int fsCount = 10;
    std::string stkName, stkLabel, week;
    std::vector<TStockQuan> quan;
    bool tickView = false;        // the window belongs to the tick view (no adjustment there)
    std::string programDir = "."; // where the index data files are looked up
};

class WindowProgram {
public:
    virtual ~WindowProgram() = default;

    // --- raw series (shared with the windows that borrow them) ---
    virtual void AddAll(const std::string& name, const double* values, int len) = 0;
    virtual void AddOne(const std::string& name, double value, bool append) = 0;
    // Series `name` keeps its first `from` values, takes the `len - from` values after them
    // (values[0] is bar `from`) and holds `len` in all; the bars before `from` count as
    // unchanged for the next run. Nothing happens when it holds fewer than `from` values.
    virtual void ReplaceFrom(const std::string& name, int from, const double* values, int len) = 0;
    // Forgets the raw series (own ones) and every computed series and result.
    virtual void ClearData() = 0;
    virtual int DataLen() = 0;
    virtual double GetLast(const std::string& name) = 0;
    virtual std::string LastDate() = 0;

    // --- reading for painting ---
    // Full name resolution of the formula language; false when no series has that name.
    virtual bool Series(const std::string& name, SeriesView& out) = 0;
    // Reads a text as a constant (a number or a constant of the program).
    virtual bool Constant(const std::string& text, double& value) = 0;
    // The text of the program's constant `name`, empty when there is none.
    virtual std::string ConstText(const std::string& name) = 0;
    // The output records of the last run, one per output, in output order.
    virtual std::vector<std::string>& Records() = 0;

    // --- the program ---
    virtual bool SetProgText(const std::string& text) = 0; // compile and run
    virtual bool LoadProgram(const std::string& fileName) = 0;
    virtual std::string ProgText() = 0;
    virtual bool Run() = 0;
    virtual std::string& ErrorString() = 0;
    virtual std::string TechName() = 0;
    // val1 of the parameter slots from slot 0 while their name is set.
    virtual std::vector<int> ParamValues() = 0;
    // The K-line request of the program: -1 not stated, 0 off, 1 on.
    virtual int ShowK() = 0;
    virtual void SetFileName(const std::string& name) = 0;
    virtual void SetContext(const ProgramContext& ctx) = 0;
    virtual bool SetQuanStyle(TQuanStyle style) = 0;
    // Where the program's own messages go (none: they are dropped).
    virtual void SetHost(const Host* host) { (void)host; }

    // --- parameters and result files (false / none when the program has no such thing) ---
    // The declared parameters from slot 0 while their name is set.
    virtual std::vector<Param> Params() { return {}; }
    virtual bool SaveToFile(const std::string& name) {
        (void)name;
        return false;
    }
    virtual bool SaveToExcel(const std::string& name, bool all) {
        (void)name;
        (void)all;
        return false;
    }
    virtual bool DataToFile(const std::string& name) {
        (void)name;
        return false;
    }
    virtual bool DataFromFile(const std::string& name) {
        (void)name;
        return false;
    }
};

} // namespace vantor
