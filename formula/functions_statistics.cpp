// Moving statistics: VAR, VARP, STD, STDP, DEVSQ, AVEDEV. X is a series and N a constant;
// otherwise the function fails without a message.

#include <cmath>

#include "formula/front_end.h"
#include "formula/function_args.h"
#include "formula/function_table.h"

namespace vantor {

namespace {

bool Statistics(TGS& gs, const std::string& name, const std::string& func, const TXX& xx) {
    const std::string f = LowerAscii(func);
    const int n = fn::DataLen(gs);
    fn::Operand x;
    double nValue = 0;
    if (!fn::AsSeries(gs, xx[0], n, x)) return false;
    if (xx.count < 2 || !fn::AsConstant(gs, xx[1], nValue)) return false;
    const std::int64_t k = fn::Bars(nValue);
    if (k == 0 && (f == "var" || f == "std" || f == "devsq")) return fn::StoreCopy(gs, name, n, x);

    double* mean = gs.Scratch(4, n);
    fn::MovingMean(x.data, n, k, mean);
    double* out = fn::BeginSeries(gs, name, n, {&x});
    if (!out) return false;
    if (f == "avedev") {
        for (int i = 0; i < n; ++i) {
            if (k <= 0 || i < k - 1 || !IsValid(mean[i])) {
                out[i] = kInvalidValue;
                continue;
            }
            double s = 0;
            for (std::int64_t j = i - k + 1; j <= i; ++j) s += std::fabs(x.data[j] - mean[i]);
            out[i] = fn::Finite(s / static_cast<double>(k));
        }
        return true;
    }
    double* squares = gs.Scratch(5, n);
    for (int i = 0; i < n; ++i)
        squares[i] = IsValid(x.data[i]) ? x.data[i] * x.data[i] : kInvalidValue;
    double* meanSq = gs.Scratch(6, n);
    fn::MovingMean(squares, n, k, meanSq);
    const double kd = static_cast<double>(k);
    for (int i = 0; i < n; ++i) {
        if (!IsValid(mean[i]) || !IsValid(meanSq[i])) {
            out[i] = kInvalidValue;
            continue;
        }
        const double p = meanSq[i] - mean[i] * mean[i]; // population variance
        double r;
        if (f == "varp")
            r = p;
        else if (f == "stdp")
            r = std::sqrt(p > 0 ? p : 0); // rounding may leave p just below 0
        else if (f == "var")
            r = k == 1 ? p : p * kd / (kd - 1);
        else if (f == "std")
            r = k == 1 ? p : (p > 0 ? std::sqrt(p * kd / (kd - 1)) : 0);
        else
            r = p * kd; // devsq
        out[i] = fn::Finite(r);
    }
    return true;
}

} // namespace

void RegisterStatisticsFunctions(HandlerRegistry& r) {
    for (const char* f : {"var", "varp", "std", "stdp", "devsq", "avedev"}) r[f] = Statistics;
}

} // namespace vantor
