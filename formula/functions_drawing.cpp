// The computed line DRAWLINE and the records of the drawing calls.

#include <algorithm>

#include "formula/front_end.h"
#include "formula/function_kernels.h"
#include "formula/function_table.h"
#include "formula/functions_common.h"

namespace vantor::kernels {

// Walking back from the last bar, each bar with X2 at least 1 ends a straight line that
// starts at the nearest earlier bar with X1 above 0; with EX exactly 1 the line runs on up
// to the bar before the next line (before the last bar for the latest line).
void DrawLine(Operand x1, Operand v1, Operand x2, Operand v2, double ex, std::span<double> out) {
    const int len = static_cast<int>(out.size());
    std::fill(out.begin(), out.end(), kInvalid);
    int end = len - 1;
    int p = len - 1;
    while (p >= 1) {
        if (!(Valid(x2[p]) && x2[p] >= 1)) {
            --p;
            continue;
        }
        int j = p - 1;
        while (j >= 0 && !(Valid(x1[j]) && x1[j] > 0)) --j;
        if (j < 0) break;
        const double from = v1[j], to = v2[p];
        auto line = [&](int i) { return Finite(from + (to - from) * (i - j) / (p - j)); };
        for (int i = j; i <= p; ++i) out[static_cast<size_t>(i)] = line(i);
        if (ex == 1)
            for (int i = p; i < end; ++i) out[static_cast<size_t>(i)] = line(i);
        end = j - 1;
        p = j;
    }
}

} // namespace vantor::kernels

namespace vantor {

namespace {

using fn::Operand;

bool DrawLine(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    const int n = fn::DataLen(gs);
    const std::string prefix = "DRAWLINE(X1,V1,X2,V2,EX)参数";
    static const char* const kNames[] = {"X1:", "V1:", "X2:", "V2:"};
    Operand a[4];
    for (int i = 0; i < 4; ++i)
        if (!fn::EitherArg(gs, xx, i, n, a[i], prefix + kNames[i], "没定义!")) return false;
    double ex = 0;
    if (!fn::ConstArg(gs, xx, 4, ex, prefix + "EX:", "没定义!")) return false;
    auto out = fn::Output(gs, name, n, {&a[0], &a[1], &a[2], &a[3]});
    if (out.data() == nullptr) return false;
    kernels::DrawLine(a[0], a[1], a[2], a[3], ex, out);
    return true;
}

// A drawing call computes nothing: it records itself for the renderer as
// kind=arg1,arg2,...,::attributes. A named STICKLINE also gives the series of its name,
// 1 where its condition is above 0 and 0 elsewhere.
bool DrawingCall(TGS& gs, const std::string& name, const std::string& func, const TXX& xx) {
    const std::string kind = LowerAscii(func);
    std::string record = kind + "=";
    for (int i = 0; i < xx.count; ++i) record += xx[i] + ",";
    record += xx[xx.count];
    if (kind == "stickline" && !name.empty()) {
        const int n = fn::DataLen(gs);
        Operand cond;
        if (!fn::AsEither(gs, fn::Arg(xx, 0), n, cond)) return fn::Fail(gs, func + "参数X 不存在!");
        auto out = fn::Output(gs, name, n, {&cond});
        if (out.data() == nullptr) return false;
        for (int i = 0; i < n; ++i) out[static_cast<size_t>(i)] = cond[i] > 0 ? 1 : 0;
    }
    gs.LineName.push_back(std::move(record));
    return true;
}

// POLYLINE is the other spelling of PLOYLINE and records itself as one.
bool Polyline(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    return DrawingCall(gs, name, "ployline", xx);
}

} // namespace

void RegisterDrawingFunctions(HandlerRegistry& r) {
    r["polyline"] = Polyline;
    r["drawline"] = DrawLine;
    for (const char* f : {"ployline", "stickline", "stickbar", "drawkline", "drawicon", "drawtext",
                          "partline", "drawtext_fix", "drawnumber_fix", "twr", "btx", "drawrectrel",
                          "drawgbk", "drawbmp", "drawnumber", "drawband"})
        r[f] = DrawingCall;
}

} // namespace vantor
