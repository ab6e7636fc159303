#pragma once
// Argument rules shared by the handlers of the condition, counting, reference, pattern and
// regression families: each resolves its argument texts, reports the family's message when
// one does not resolve, and hands plain series to its kernel (function_kernels.h).

#include <span>
#include <string>

#include "formula/function_args.h"
#include "formula/function_kernels.h"

namespace vantor::fn {

// The argument text i, empty when the call has fewer arguments.
inline std::string Arg(const TXX& xx, int i) {
    return i < xx.count ? xx[i] : std::string();
}

inline std::span<const double> Span(const Operand& o, int n) {
    return {o.data, static_cast<size_t>(n)};
}

// Resolution with the message prefix + argument text + suffix on failure.
inline bool SeriesArg(TGS& gs, const TXX& xx, int i, int n, Operand& out, const std::string& prefix,
                      const std::string& suffix) {
    return AsSeries(gs, Arg(xx, i), n, out) || Fail(gs, prefix + Arg(xx, i) + suffix);
}
inline bool EitherArg(TGS& gs, const TXX& xx, int i, int n, Operand& out, const std::string& prefix,
                      const std::string& suffix) {
    return AsEither(gs, Arg(xx, i), n, out) || Fail(gs, prefix + Arg(xx, i) + suffix);
}
inline bool ConstArg(TGS& gs, const TXX& xx, int i, double& out, const std::string& prefix,
                     const std::string& suffix) {
    return AsConstant(gs, Arg(xx, i), out) || Fail(gs, prefix + Arg(xx, i) + suffix);
}

// A constant, or the last value of a series (the invalid value for an empty one).
inline double ValueOf(const Operand& o, int n) {
    if (!o.IsSeries()) return o.value;
    return n > 0 ? o.data[n - 1] : kInvalidValue;
}

// The arguments of a member of the moving-window family: X a series, N a series or a
// constant, reported with the family's messages.
struct Window {
    Operand x, n;
    int len = 0;
    // N is the constant 0: the member returns X unchanged.
    bool Unchanged() const { return !n.IsSeries() && Bars(n.value) == 0; }
};
inline bool WindowArgs(TGS& gs, const std::string& func, const TXX& xx, Window& w) {
    w.len = DataLen(gs);
    const std::string member = UpperName(func);
    return SeriesArg(gs, xx, 0, w.len, w.x, member + "(X,N)参数X:", "不存在!") &&
           EitherArg(gs, xx, 1, w.len, w.n, member + "(X,N)参数N:", "不存在!");
}

// The output series of a call, with every series input that is the output itself copied
// aside first; an empty span (with FErrorString set) when the name is refused.
inline std::span<double> Output(TGS& gs, const std::string& name, int n,
                                std::initializer_list<Operand*> inputs) {
    double* out = BeginSeries(gs, name, n, inputs);
    return out ? std::span<double>(out, static_cast<size_t>(n)) : std::span<double>();
}

} // namespace vantor::fn
