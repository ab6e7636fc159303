#include "library/library_seed.h"

#include <map>
#include <string_view>

#include "formula/func_str.h"
#include "library/formula_check.h"
#include "library/shipped_texts.h"

namespace vantor {

namespace {

constexpr const char* kTrend = "趋势";
constexpr const char* kAverages = "均线";
constexpr const char* kOscillators = "摆动";
constexpr const char* kVolume = "量能";
constexpr const char* kChannels = "通道";
constexpr const char* kPatterns = "形态";
constexpr const char* kSystems = "交易系统";
constexpr const char* kIntraday = "分时";
constexpr const char* kOther = "其他";

struct Placement {
    const char* category;
    const char* title;
};

// Where each shipped formula goes and how the tree describes it. Names are upper case; a
// name missing here goes by its prefix, then to 其他.
const std::map<std::string_view, Placement>& Placements() {
    static const std::map<std::string_view, Placement> table = {
        // the built-in indicators
        {"MA", {kAverages, nullptr}},
        {"EXPMA", {kAverages, nullptr}},
        {"PBX", {kAverages, nullptr}},
        {"MCST", {kAverages, nullptr}},
        {"VOL", {kVolume, nullptr}},
        {"OBV", {kVolume, nullptr}},
        {"VR", {kVolume, nullptr}},
        {"WVAD", {kVolume, nullptr}},
        {"EMV", {kVolume, nullptr}},
        {"MACD", {kTrend, nullptr}},
        {"DMA", {kTrend, nullptr}},
        {"DMI", {kTrend, nullptr}},
        {"TRIX", {kTrend, nullptr}},
        {"SAR", {kTrend, nullptr}},
        {"FSL", {kTrend, nullptr}},
        {"ASI", {kTrend, nullptr}},
        {"BDT", {kTrend, nullptr}},
        {"DB6", {kTrend, nullptr}},
        {"BTX", {kTrend, nullptr}},
        {"TWR", {kTrend, nullptr}},
        {"RSI", {kOscillators, nullptr}},
        {"KDJ", {kOscillators, nullptr}},
        {"CCI", {kOscillators, nullptr}},
        {"WR", {kOscillators, nullptr}},
        {"ROC", {kOscillators, nullptr}},
        {"MTM", {kOscillators, nullptr}},
        {"PSY", {kOscillators, nullptr}},
        {"BIAS", {kOscillators, nullptr}},
        {"BRAR", {kOscillators, nullptr}},
        {"CR", {kOscillators, nullptr}},
        {"ATR", {kOscillators, nullptr}},
        {"BOLL", {kChannels, nullptr}},
        {"MIKE", {kChannels, nullptr}},
        {"FS", {kIntraday, nullptr}},
        {"FSVOL", {kIntraday, nullptr}},
        {"LB", {kIntraday, nullptr}},
        {"TEST", {kOther, nullptr}},
        {"TEST1", {kOther, nullptr}},
        // the real-world formulas
        {"ALLIGAT", {kAverages, "鳄鱼线"}},
        {"AMV", {kAverages, "成本价均线"}},
        {"BBI", {kAverages, "多空均线"}},
        {"CYC", {kAverages, "成本均线"}},
        {"DEMA", {kAverages, "双重指数平均"}},
        {"EMA3", {kAverages, "三条指数均线"}},
        {"EMA4", {kAverages, "四条指数均线"}},
        {"EMA5", {kAverages, "五条指数均线"}},
        {"EMA6", {kAverages, "六条指数均线"}},
        {"EXPMA_S", {kAverages, "指数平均线(简)"}},
        {"GMMA", {kAverages, "顾比复合均线"}},
        {"HMA", {kAverages, "高价平均线"}},
        {"LMA", {kAverages, "低价平均线"}},
        {"MA4", {kAverages, "四条均线"}},
        {"MA5", {kAverages, "五条均线"}},
        {"MA6", {kAverages, "六条均线"}},
        {"MA7", {kAverages, "七条均线"}},
        {"MA8", {kAverages, "八条均线"}},
        {"VMA", {kAverages, "变异平均线"}},
        {"ADX", {kTrend, "平均趋向指数"}},
        {"ADTM", {kTrend, "动态买卖气"}},
        {"BBIBOLL", {kChannels, "多空布林线"}},
        {"CHO", {kTrend, "佳庆指标"}},
        {"DKX", {kTrend, "多空线"}},
        {"DPO", {kTrend, "区间震荡线"}},
        {"ICHIMOKU", {kTrend, "一目均衡表"}},
        {"JS", {kTrend, "加速线"}},
        {"LON", {kTrend, "长线指标"}},
        {"MACD2", {kTrend, "平滑异同平均(二)"}},
        {"QACD", {kTrend, "快速异同平均"}},
        {"SMACD", {kTrend, "单线平滑异同平均"}},
        {"UDL", {kTrend, "引力线"}},
        {"ZX", {kTrend, "重心线"}},
        {"HEIKINASHI", {kTrend, "平均K线"}},
        {"ACCER", {kOscillators, "幅度涨速"}},
        {"BIAS36", {kOscillators, "三六乖离"}},
        {"BIAS_QL", {kOscillators, "乖离率(传统)"}},
        {"CYE", {kOscillators, "市场趋势"}},
        {"CYF", {kOscillators, "市场能量"}},
        {"CYR", {kOscillators, "市场强弱"}},
        {"CYS", {kOscillators, "市场盈亏"}},
        {"DBQR", {kOscillators, "对比强弱"}},
        {"KD", {kOscillators, "随机指标KD"}},
        {"LWR", {kOscillators, "威廉指标LWR"}},
        {"MARSI", {kOscillators, "相对强弱平均"}},
        {"MFI", {kOscillators, "资金流量指标"}},
        {"OSC", {kOscillators, "变动速率线"}},
        {"QR", {kOscillators, "强弱指标"}},
        {"RAD", {kOscillators, "威力雷达"}},
        {"SKDJ", {kOscillators, "慢速随机指标"}},
        {"UOS", {kOscillators, "终极指标"}},
        {"MASS", {kOscillators, "梅斯线"}},
        {"ABI", {kVolume, "绝对广量"}},
        {"ADL", {kVolume, "腾落指标"}},
        {"ADVOL", {kVolume, "离散量"}},
        {"AMO", {kVolume, "成交金额"}},
        {"AMO_TDX", {kVolume, "成交金额(二)"}},
        {"ASR", {kVolume, "浮筹比例"}},
        {"CCL", {kVolume, "持仓量"}},
        {"CJL", {kVolume, "成交量与持仓"}},
        {"CYW", {kVolume, "主力控盘"}},
        {"DBLB", {kVolume, "对比量比"}},
        {"DBQRV", {kVolume, "对比强弱量"}},
        {"HSCOL", {kVolume, "换手柱"}},
        {"HSL", {kVolume, "换手线"}},
        {"NVI", {kVolume, "负量指标"}},
        {"PVI", {kVolume, "正量指标"}},
        {"SCR", {kVolume, "筹码集中度"}},
        {"TAPI", {kVolume, "加权成交值"}},
        {"TJCJL", {kVolume, "成交量(二)"}},
        {"VMACD", {kVolume, "量平滑异同平均"}},
        {"VOL2", {kVolume, "成交量(三)"}},
        {"VOLRATE", {kVolume, "量比"}},
        {"VOL_OVERLAY", {kVolume, "成交量叠加"}},
        {"VOL_POSITION", {kVolume, "成交量与持仓(二)"}},
        {"VOL_TDX", {kVolume, "成交量(四)"}},
        {"VPT", {kVolume, "量价曲线"}},
        {"VRSI", {kVolume, "量相对强弱"}},
        {"WAD", {kVolume, "威廉多空力度"}},
        {"ZLJC", {kVolume, "主力进出"}},
        {"ZLMM", {kVolume, "主力买卖"}},
        {"CDP_STD", {kChannels, "逆势操作"}},
        {"ENE", {kChannels, "轨道线"}},
        {"GDX", {kChannels, "轨道线(二)"}},
        {"XS", {kChannels, "薛斯通道"}},
        {"XS2", {kChannels, "薛斯通道(二)"}},
        {"BOLL2", {kChannels, "布林线(二)"}},
        {"ZNZ_CBAND", {kChannels, "价格通道"}},
        {"NINETURNS", {kPatterns, "九转序列"}},
    };
    return table;
}

Placement PlaceOf(const std::string& upperName) {
    const auto& table = Placements();
    if (auto it = table.find(upperName); it != table.end()) return it->second;
    if (upperName.starts_with("COLOR_")) return {kPatterns, "K线形态"};
    if (upperName.starts_with("TRADE_")) return {kSystems, "交易系统"};
    return {kOther, nullptr};
}

// A shipped formula's text with the header lines the editor shows in its fields.
std::string WithHeader(const std::string& name, const std::string& title, const std::string& text) {
    std::string out = "TECHNAME:=" + name + ";\n";
    if (!title.empty()) out += "TECHTITLE:=" + title + ";\n";
    return out + text;
}

} // namespace

const std::vector<std::string>& SeedCategories() {
    static const std::vector<std::string> list = {kTrend,   kAverages, kOscillators,
                                                  kVolume,  kChannels, kPatterns,
                                                  kSystems, kIntraday, kOther};
    return list;
}

std::vector<LibraryFormula> SeedFormulas() {
    std::vector<LibraryFormula> out;
    std::map<std::string, bool> taken;
    const TFuncStr& builtins = TFuncStr::Builtins();
    for (int i = 0; i < builtins.Count(); ++i) {
        const std::string& name = builtins.FNameList[i];
        Placement p = PlaceOf(name);
        out.push_back({name, p.category, builtins.FTitleList[i], builtins.FFuncStr[i], 1});
        taken[name] = true;
    }
    // A real-world formula under a built-in's name is left out: the built-in keeps the name.
    for (int i = 0; i < kCorpusFormulaCount; ++i) {
        const std::string name = UpperAscii(kCorpusFormulas[i].name);
        const std::string body = kCorpusFormulas[i].text;
        if (taken.count(name) || body.find_first_not_of(" \t\r\n") == std::string::npos) continue;
        Placement p = PlaceOf(name);
        const std::string title = p.title ? p.title : "";
        std::string text = WithHeader(name, title, body);
        if (!CompileFormula(text).ok) continue;
        out.push_back({name, p.category, title, std::move(text), 1});
        taken[name] = true;
    }
    return out;
}

bool SeedLibrary(TFormulaLibrary& lib) {
    SqlDatabase& db = lib.Db();
    if (!db.Begin()) return false;
    for (const std::string& c : SeedCategories())
        if (!lib.AddCategory(c)) {
            db.Rollback();
            return false;
        }
    for (const LibraryFormula& f : SeedFormulas())
        if (!lib.Save(f.category, f.name, f.title, f.text)) {
            db.Rollback();
            return false;
        }
    return db.Commit();
}

} // namespace vantor
