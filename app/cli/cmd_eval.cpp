// vantor-cli eval FILE (--formula TEXT | --file PATH | --builtin NAME) [--period P]
//                 [--start ROW] [--last ROW] [--param NAME=VALUE]... [--home DIR]
// Hands the bars of period P to a formula window as the chart does, runs the formula and
// prints its output lines as CSV: date,time, then one column per output line. The index data
// files (999999.bin, 399001.bin) are read from DIR, by default the program folder the data
// file lies in (the folder above its daydata/ or mindata/).

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "formula/builtin_formulas.h"
#include "formula/gs.h"

namespace vantor::cli {

namespace {

// The name of an output record "syline=NAME::ATTRS"; empty for other records.
std::string LineOf(const std::string& record) {
    if (record.rfind("syline=", 0) != 0) return {};
    size_t end = record.find("::", 7);
    return record.substr(7, end == std::string::npos ? std::string::npos : end - 7);
}

void AppendNumber(std::string& out, double v) {
    if (v == kInvalidValue) return; // no value: an empty field
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.10g", v);
    out += buf;
}

} // namespace

int CmdEval(int argc, char** argv) {
    Args args =
        ParseArgs(argc, argv, 0,
                  {"period", "start", "last", "formula", "file", "builtin", "param", "home"}, {});
    if (!args.error.empty()) return UsageError(args.error);
    if (args.positional.size() > 1) return UsageError("eval takes one FILE");
    const int sources = args.has("formula") + args.has("file") + args.has("builtin");
    if (sources != 1)
        return UsageError("eval needs one of --formula TEXT, --file PATH, --builtin NAME");
    std::map<std::string, std::string> params;
    for (const std::string& p : args.all("param")) {
        size_t eq = p.find('=');
        if (eq == std::string::npos || eq == 0 || !ParseInt(p.substr(eq + 1)))
            return UsageError("--param needs NAME=VALUE with a whole number");
        std::string name = p.substr(0, eq);
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        params[name] = p.substr(eq + 1);
    }

    Tstock store;
    TWeekStyle period = wsmin1;
    if (int rc = LoadStore(args, store, period)) return rc;
    const std::vector<Price>& bars = store.Cache(period).value;
    const int n = static_cast<int>(bars.size());
    if (n >= kMaxBars) return Failure("数据长度大于50000溢出!");

    TGS gs;
    gs.ZhouQi = period;
    if (auto home = args.get("home")) {
        gs.SetProgramDir(*home);
    } else {
        const std::filesystem::path folder =
            std::filesystem::path(args.positional[0]).parent_path().parent_path();
        gs.SetProgramDir(folder.empty() ? "." : folder.string());
    }
    // Zeroed instrument, quote, financial and index blocks, as the chart hands in, so the
    // information functions have something to read.
    gs.FStockInfo = std::make_shared<TStockinfo>();
    gs.FDYNAINFO = std::make_shared<TDYNAINFO>();
    gs.FFINANCE = std::make_shared<TFINANCE>();
    gs.FIndex = std::make_shared<TIndex>();
    std::vector<double> column(static_cast<size_t>(n));
    auto hand = [&](const char* name, auto field) {
        for (int i = 0; i < n; ++i)
            column[static_cast<size_t>(i)] = field(bars[static_cast<size_t>(i)]);
        gs.AddAll(name, column.data(), n);
    };
    auto number = [](const ShortStr& s) { return s.empty() ? 0.0 : std::atof(s.str().c_str()); };
    hand("date", [&](const Price& p) { return number(p.Srq); });
    hand("time", [&](const Price& p) { return number(p.Ssj); });
    hand("open", [](const Price& p) { return p.Spk; });
    hand("high", [](const Price& p) { return p.Spg; });
    hand("low", [](const Price& p) { return p.Spd; });
    hand("close", [](const Price& p) { return p.Sps; });
    hand("amount", [](const Price& p) { return p.Scje; });
    hand("vol", [](const Price& p) { return p.Scjl; });

    bool ok;
    if (auto text = args.get("formula")) {
        ok = gs.SetProgText(*text, "");
    } else if (auto path = args.get("file")) {
        ok = gs.loadprogram(*path, "");
    } else {
        std::string text;
        if (!FindBuiltinFormula(*args.get("builtin"), text))
            return Failure("不存在函数:" + *args.get("builtin") + " !");
        ok = gs.SetProgText(text, "");
    }
    if (!ok) return Failure(gs.FErrorString);
    if (gs.pg1.empty()) return Failure("公式长度为零或原始数据为零!");

    if (!params.empty()) {
        // Parameters are given by name; the run takes them in the order of the INPUTs.
        std::string paramStr;
        size_t used = 0;
        for (const Param& p : gs.ParamStr) {
            if (p.Name.empty()) break;
            auto it = params.find(p.Name);
            paramStr += (it == params.end() ? "0" : it->second) + ",";
            used += it != params.end();
        }
        if (used != params.size())
            return UsageError("--param names a parameter the formula does not declare");
        if (!gs.Run(paramStr)) return Failure(gs.FErrorString);
    }

    std::vector<std::string> lines;
    for (const std::string& record : gs.LineName)
        if (std::string name = LineOf(record); !name.empty()) lines.push_back(name);
    std::vector<const Tbian*> series;
    std::vector<double> constants;
    for (const std::string& name : lines) {
        double v = kInvalidValue;
        const Tbian* b = gs.check(name);
        if (!b && !gs.teststr(name, v)) v = kInvalidValue;
        series.push_back(b);
        constants.push_back(v);
    }

    std::string out = "date,time";
    for (const std::string& name : lines) out += "," + name;
    out += '\n';
    for (int i = 0; i < n; ++i) {
        const Price& bar = bars[static_cast<size_t>(i)];
        out += bar.Srq.str() + "," + bar.Ssj.str();
        for (size_t k = 0; k < lines.size(); ++k) {
            out += ',';
            AppendNumber(out, series[k] ? series[k]->at(i) : constants[k]);
        }
        out += '\n';
        if (out.size() > (1 << 20)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

} // namespace vantor::cli
