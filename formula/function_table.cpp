#include "formula/function_table.h"

#include <unordered_set>

#include "formula/function_args.h"

namespace vantor {

namespace {

const char* const kDataWords[] = {
    "drawk",   "techname", "techtitle", "IndexA",  "IndexADV",     "IndexDEC", "IndexC",  "IndexH",
    "IndexL",  "IndexO",   "IndexV",    "capital", "totalcapital", "advance",  "decline", "h",
    "l",       "o",        "c",         "v",       "high",         "low",      "open",    "close",
    "vol",     "amount",   "year",      "month",   "day",          "week",     "hour",    "minute",
    "fromopen"};

const char* const kFunctions[] = {"barslastcount",
                                  "rgb",
                                  "exist",
                                  "downnday",
                                  "upnday",
                                  "nday",
                                  "every",
                                  "const",
                                  "refdate",
                                  "finance",
                                  "dynainfo",
                                  "ema",
                                  "wma",
                                  "xma",
                                  "expma",
                                  "hhv",
                                  "llv",
                                  "ma",
                                  "sma",
                                  "dma",
                                  "ref",
                                  "if",
                                  "var",
                                  "varp",
                                  "std",
                                  "stdp",
                                  "devsq",
                                  "avedev",
                                  "max",
                                  "min",
                                  "sum",
                                  "pow",
                                  "mod",
                                  "cross",
                                  "sin",
                                  "abs",
                                  "cos",
                                  "sqrt",
                                  "log",
                                  "tan",
                                  "exp",
                                  "reverse",
                                  "acos",
                                  "sgn",
                                  "ln",
                                  "not",
                                  "atan",
                                  "asin",
                                  "ployline",
                                  "stickline",
                                  "stickbar",
                                  "drawkline",
                                  "drawicon",
                                  "drawtext",
                                  "partline",
                                  "drawtext_fix",
                                  "drawnumber_fix",
                                  "twr",
                                  "btx",
                                  "backset",
                                  "barscount",
                                  "barslast",
                                  "barssince",
                                  "count",
                                  "hhvbars",
                                  "llvbars",
                                  "filter",
                                  "sumbars",
                                  "range",
                                  "ceiling",
                                  "floor",
                                  "intpart",
                                  "between",
                                  "last",
                                  "input",
                                  "forecast",
                                  "slope",
                                  "drawline",
                                  "drawrectrel",
                                  "drawgbk",
                                  "drawbmp",
                                  "drawnumber",
                                  "drawband",
                                  "barstatus",
                                  "barsnext",
                                  "toprange",
                                  "lowrange",
                                  "barssincen",
                                  "hod",
                                  "lod",
                                  "tfilt",
                                  "findhigh",
                                  "findhighbars",
                                  "findlow",
                                  "findlowbars",
                                  "filterx",
                                  "mema",
                                  "expmema",
                                  "islastbar",
                                  "currbarscount",
                                  "totalbarscount",
                                  "longcross",
                                  "biao",
                                  "forcast",
                                  "sar",
                                  "sarturn",
                                  "cost",
                                  "winner",
                                  "zig",
                                  "peak",
                                  "peakbars",
                                  "trough",
                                  "troughbars",
                                  "strcat",
                                  "strcmp",
                                  "findstr",
                                  "con2str",
                                  "lfs",
                                  "setcode",
                                  // spellings and functions of formulas written elsewhere
                                  "iff",
                                  "polyline",
                                  "refx",
                                  "refxv",
                                  "mular",
                                  "totalfznum"};

// Stands in for a function whose family is not part of the engine yet.
bool NotYetBuilt(TGS& gs, const std::string&, const std::string& func, const TXX&) {
    return fn::Fail(gs, "函数:" + UpperName(func) + " 尚不支持!");
}

const HandlerRegistry& Registry() {
    static const HandlerRegistry registry = [] {
        HandlerRegistry r;
        RegisterOperatorFunctions(r);
        RegisterArithmeticFunctions(r);
        RegisterAverageFunctions(r);
        RegisterStatisticsFunctions(r);
        RegisterConditionFunctions(r);
        RegisterCountingFunctions(r);
        RegisterBarDistanceFunctions(r);
        RegisterReferenceFunctions(r);
        RegisterPatternFunctions(r);
        RegisterRegressionFunctions(r);
        RegisterBlockFunctions(r);
        RegisterDrawingFunctions(r);
        return r;
    }();
    return registry;
}

} // namespace

void FillFunctionTable(TFunclist& list) {
    for (const char* w : kDataWords) list.Add(w, nullptr, "");
    const HandlerRegistry& r = Registry();
    for (const char* f : kFunctions) {
        auto it = r.find(f);
        list.Add(f, it == r.end() ? NotYetBuilt : it->second, "");
    }
}

bool IsDrawingCall(const std::string& lowerName) {
    static const std::unordered_set<std::string> names = {
        "ployline", "stickline",    "stickbar",       "drawkline", "drawicon", "drawtext",
        "partline", "drawtext_fix", "drawnumber_fix", "twr",       "btx",      "drawrectrel",
        "drawgbk",  "drawbmp",      "drawnumber",     "drawband", "polyline"};
    return names.count(lowerName) > 0;
}

} // namespace vantor
