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

using Unary = double (*)(double);

Unary UnaryOf(const std::string& f) {
    static const std::pair<const char*, Unary> table[] = {
        {"sin", [](double x) { return std::sin(x * kDegree); }},
        {"cos", [](double x) { return std::cos(x * kDegree); }},
        {"tan", [](double x) { return std::tan(x * kDegree); }},
        {"asin", [](double x) { return std::asin(x); }},
        {"acos", [](double x) { return std::acos(x); }},
        {"atan", [](double x) { return std::atan(x); }},
        {"sqrt", [](double x) { return std::sqrt(x); }},
        {"log", [](double x) { return std::log10(x); }},
        {"ln", [](double x) { return std::log10(x); }}, // base 10, as LOG
        {"exp", [](double x) { return std::exp(x); }},
        {"abs", [](double x) { return std::fabs(x); }},
        {"reverse", [](double x) { return -x; }},
        {"sgn", Sgn},
        {"ceiling", [](double x) { return Int32Part(std::ceil(x)); }},
        {"floor", [](double x) { return Int32Part(std::floor(x)); }},
        {"intpart",
         [](double x) {
             std::int64_t v = 0;
             return fn::ToInt64(x, v) ? static_cast<double>(v) : kInvalidValue;
         }},
        {"not", [](double x) { return x == 0 ? 1.0 : 0.0; }},
    };
    for (auto [name, fun] : table)
        if (f == name) return fun;
    return nullptr;
}

bool OneOperand(TGS& gs, const std::string& name, const std::string& func, const TXX& xx) {
    const int n = fn::DataLen(gs);
    fn::Operand x;
    if (!fn::AsEither(gs, xx[0], n, x))
        return fn::Fail(gs, UpperName(func) + "(X)参数X:" + xx[0] + "不存在!");
    const Unary f = UnaryOf(LowerAscii(func));
    if (!f) return fn::Fail(gs, "不存在函数:" + func + " !");
    if (!x.IsSeries()) {
        fn::StoreConst(gs, name, f(x.value));
        return true;
    }
    double* out = fn::BeginSeries(gs, name, n, {&x});
    if (!out) return false;
    for (int i = fn::FirstBar(gs, n); i < n; ++i) // bar by bar
        out[i] = IsValid(x.data[i]) ? Finite(f(x.data[i])) : kInvalidValue;
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
    double* out = fn::BeginSeries(gs, name, n, {&a, &b});
    if (!out) return false;
    const int from = fn::FirstBar(gs, n); // bar by bar
    for (int i = from; i < n; ++i) out[i] = op(a[i], b[i]);
    return true;
}

} // namespace

void RegisterArithmeticFunctions(HandlerRegistry& r) {
    for (const char* f : {"sin", "cos", "tan", "asin", "acos", "atan", "sqrt", "log", "ln", "exp",
                          "abs", "reverse", "sgn", "ceiling", "floor", "intpart", "not"})
        r[f] = OneOperand;
    r["max"] = TwoOperand<Max>;
    r["min"] = TwoOperand<Min>;
    r["mod"] = TwoOperand<Mod>;
    r["pow"] = TwoOperand<Pow>;
}

} // namespace vantor
