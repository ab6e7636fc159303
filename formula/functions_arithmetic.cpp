// One-operand functions (SIN ... NOT, integer parts) and two-operand functions
// (MAX, MIN, MOD, POW).

#include <cfloat>
#include <cmath>
#include <cstdint>

#include "formula/front_end.h"
#include "formula/function_args.h"
#include "formula/function_table.h"

namespace vantor {

namespace {

constexpr double kDegree = 3.1415926535897932385 / 180;

// A 32-bit integer result; values beyond 32 bits have none.
double Int32Part(double v) {
    if (!(v >= -2147483648.0 && v <= 2147483647.0)) return kInvalidValue;
    return v;
}

double Sgn(double x) {
    return x < 0 ? -1 : (x == 0 ? 0 : 1);
}

double Sin(double x) {
    return std::sin(x * kDegree);
}
double Cos(double x) {
    return std::cos(x * kDegree);
}
double Tan(double x) {
    return std::tan(x * kDegree);
}
double Asin(double x) {
    return std::asin(x);
}
double Acos(double x) {
    return std::acos(x);
}
double Atan(double x) {
    return std::atan(x);
}
double Sqrt(double x) {
    return std::sqrt(x);
}
double Log10(double x) {
    return std::log10(x);
} // LN is base 10 too, as LOG
double Exp(double x) {
    return std::exp(x);
}
double Abs(double x) {
    return std::fabs(x);
}
double Reverse(double x) {
    return -x;
}
double Ceiling(double x) {
    return Int32Part(std::ceil(x));
}
double Floor(double x) {
    return Int32Part(std::floor(x));
}
double IntPart(double x) {
    std::int64_t v = 0;
    return fn::ToInt64(x, v) ? static_cast<double>(v) : kInvalidValue;
}
double Not(double x) {
    return x == 0 ? 1.0 : 0.0;
}

// One function of one operand; each has its own handler, so the loop calls it inline.
template <double (*f)(double)>
bool OneOperand(TGS& gs, const std::string& name, const std::string& func, const TXX& xx) {
    const int n = fn::DataLen(gs);
    fn::Operand x;
    if (!fn::AsEither(gs, xx[0], n, x))
        return fn::Fail(gs, UpperName(func) + "(X)参数X:" + xx[0] + "不存在!");
    if (!x.IsSeries()) {
        fn::StoreConst(gs, name, f(x.value));
        return true;
    }
    double* out = fn::BeginSeries(gs, name, n, {&x}, true);
    if (!out) return false;
    const double* in = x.data;
    for (int i = fn::FirstBar(gs, n); i < n; ++i) { // bar by bar
        const double v = in[i];
        out[i] = IsValid(v) ? Finite(f(v)) : kInvalidValue;
    }
    return true;
}

double Mod(double a, double b) {
    std::int64_t x = 0, y = 0;
    if (!fn::ToInt64(a, x) || !fn::ToInt64(b, y) || y == 0) return kInvalidValue;
    if (y == -1) return 0; // avoids the one overflowing quotient
    return static_cast<double>(x % y);
}

double Max(double a, double b) {
    return a > b ? a : b;
}
double Min(double a, double b) {
    return a > b ? b : a;
}
double Pow(double a, double b) {
    return Finite(std::pow(a, b));
}

// MAX, MIN, MOD, POW: always a series, invalid values taking part as numbers.
template <double (*op)(double, double)>
bool TwoOperand(TGS& gs, const std::string& name, const std::string& func, const TXX& xx) {
    const int n = fn::DataLen(gs);
    fn::Operand a, b;
    if (!fn::AsEither(gs, xx[0], n, a))
        return fn::Fail(gs, func + "(A,B)参数A:" + xx[0] + "不存在!");
    const std::string right = xx.count > 1 ? xx[1] : std::string();
    if (!fn::AsEither(gs, right, n, b))
        return fn::Fail(gs, func + "(A,B)参数B:" + right + "不存在!");
    double* out = fn::BeginSeries(gs, name, n, {&a, &b}, true);
    if (!out) return false;
    const int from = fn::FirstBar(gs, n); // bar by bar
    for (int i = from; i < n; ++i) out[i] = op(a[i], b[i]);
    return true;
}

} // namespace

void RegisterArithmeticFunctions(HandlerRegistry& r) {
    r["sin"] = OneOperand<Sin>;
    r["cos"] = OneOperand<Cos>;
    r["tan"] = OneOperand<Tan>;
    r["asin"] = OneOperand<Asin>;
    r["acos"] = OneOperand<Acos>;
    r["atan"] = OneOperand<Atan>;
    r["sqrt"] = OneOperand<Sqrt>;
    r["log"] = OneOperand<Log10>;
    r["ln"] = OneOperand<Log10>;
    r["exp"] = OneOperand<Exp>;
    r["abs"] = OneOperand<Abs>;
    r["reverse"] = OneOperand<Reverse>;
    r["sgn"] = OneOperand<Sgn>;
    r["ceiling"] = OneOperand<Ceiling>;
    r["floor"] = OneOperand<Floor>;
    r["intpart"] = OneOperand<IntPart>;
    r["not"] = OneOperand<Not>;
    r["max"] = TwoOperand<Max>;
    r["min"] = TwoOperand<Min>;
    r["mod"] = TwoOperand<Mod>;
    r["pow"] = TwoOperand<Pow>;
}

} // namespace vantor
