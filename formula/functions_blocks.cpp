// Text functions (STRCAT, STRCMP, FINDSTR, CON2STR), values of the instrument's blocks
// (FINANCE, DYNAINFO, SETCODE, LFS) and colours (RGB).

#include <algorithm>
#include <array>
#include <cstdio>

#include "formula/front_end.h"
#include "formula/function_kernels.h"
#include "formula/function_table.h"
#include "formula/functions_common.h"

namespace vantor::kernels {

// Turnover-weighted smoothing of the volume against the tradable capital.
void Lfs(std::span<const double> vol, double capital, std::span<double> out) {
    double a = 0, b = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double turnover = vol[i] / (capital / 100);
        a = turnover + a * (1 - turnover) * 12 / 13;
        b = turnover + (1 - turnover) * 0.8 * b;
        out[i] = a != 0 ? Finite((1 - b / a) * 100) : kInvalid;
    }
}

std::int64_t Rgb(double r, double g, double b) {
    auto channel = [](double v) { return BarCount(v) & 0xFF; };
    return channel(r) + channel(g) * 256 + channel(b) * 65536;
}

} // namespace vantor::kernels

namespace vantor {

namespace {

using fn::Arg;
using fn::Operand;

std::string Printf(const char* format, int digits, double v) {
    char buf[512];
    if (digits < 0)
        std::snprintf(buf, sizeof buf, format, v);
    else
        std::snprintf(buf, sizeof buf, format, digits, v);
    return buf;
}

// A string literal without its quotes; any other text as it is.
std::string Unquoted(const std::string& s) {
    return s.size() >= 2 && s.front() == '\'' && s.back() == '\'' ? s.substr(1, s.size() - 2) : s;
}

// STRCAT joins the argument texts as written; STRCMP and FINDSTR compare and search the
// texts of string literals without their quotes.
bool StrCat(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    gs.AddConstText(name, Arg(xx, 0) + Arg(xx, 1));
    return true;
}
bool StrCmp(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    fn::StoreConst(gs, name, Unquoted(Arg(xx, 0)) == Unquoted(Arg(xx, 1)) ? 1 : 0);
    return true;
}
bool FindStr(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    fn::StoreConst(gs, name,
                   Unquoted(Arg(xx, 0)).find(Unquoted(Arg(xx, 1))) != std::string::npos ? 1 : 0);
    return true;
}

// The number X with N decimals; the count of decimals is held to 0 .. 20.
bool Con2Str(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    const int n = fn::DataLen(gs);
    Operand x, digits;
    if (!fn::EitherArg(gs, xx, 0, n, x, "CON2STR(X,N)参数X:[", "]未定义!") ||
        !fn::EitherArg(gs, xx, 1, n, digits, "CON2STR(X,N)参数N:[", "]未定义!"))
        return false;
    const auto d = std::clamp<std::int64_t>(fn::Bars(fn::ValueOf(digits, n)), 0, 20);
    gs.AddConstText(name, Printf("%.*f", static_cast<int>(d), Finite(fn::ValueOf(x, n))));
    return true;
}

// FINANCE(N) and DYNAINFO(N): entry N (1 .. 64) of the financial or the quote block.
template <bool quote>
bool BlockValue(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    const std::array<float, 101>* block = quote ? gs.FDYNAINFO.get() : gs.FFINANCE.get();
    double k = 0;
    if constexpr (quote) {
        if (!block) return fn::Fail(gs, "没有设置DYNAINFO原始数据!");
        if (!fn::ConstArg(gs, xx, 0, k, "DYNAINFO(N)参数N:", "未定义!")) return false;
    } else if (!block || !fn::AsConstant(gs, Arg(xx, 0), k)) {
        return false;
    }
    const std::int64_t entry = fn::Bars(k);
    if (entry < 1 || entry > 64) return false;
    gs.AddConstText(name, Printf("%7.3f", -1, (*block)[static_cast<size_t>(entry)]));
    return true;
}

bool SetCode(TGS& gs, const std::string& name, const std::string&, const TXX&) {
    if (!gs.FStockInfo) return fn::Fail(gs, "SETCODE 需要提供STOCKINFO数据!");
    fn::StoreConst(gs, name, gs.FStockInfo->FMARK);
    return true;
}

bool Lfs(TGS& gs, const std::string& name, const std::string&, const TXX&) {
    const int n = fn::DataLen(gs);
    if (!gs.FFINANCE) return fn::Fail(gs, "LFS需要提供FINANCE原始数据!");
    Tbian* vol = gs.GetBian("vol");
    if (!vol) return fn::Fail(gs, "LFS需要提供成交量VOL的原始数据!");
    vol->Reserve(n);
    auto out = fn::Output(gs, name, n, {});
    if (out.data() == nullptr) return false;
    kernels::Lfs({vol->value.data(), static_cast<size_t>(n)}, (*gs.FFINANCE)[7], out);
    return true;
}

bool Rgb(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    double c[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i)
        if (!fn::ConstArg(gs, xx, i, c[i], std::string("RGB(R,G,B)参数") + "RGB"[i] + ":",
                          "未定义!"))
            return false;
    gs.AddConstText(name, std::to_string(kernels::Rgb(c[0], c[1], c[2])));
    return true;
}

} // namespace

void RegisterBlockFunctions(HandlerRegistry& r) {
    r["strcat"] = StrCat;
    r["strcmp"] = StrCmp;
    r["findstr"] = FindStr;
    r["con2str"] = Con2Str;
    r["finance"] = BlockValue<false>;
    r["dynainfo"] = BlockValue<true>;
    r["setcode"] = SetCode;
    r["lfs"] = Lfs;
    r["rgb"] = Rgb;
}

} // namespace vantor
