// The operator handler BIAO(A,op,B), into which the compiler turns every operator, and
// INPUT, the parameter declaration.

#include <cfloat>
#include <cmath>

#include "formula/front_end.h"
#include "formula/function_args.h"
#include "formula/function_table.h"

namespace vantor {

namespace {

enum class Op { Add, Sub, Mul, Div, Or, Xor, Lt, Gt, Le, Ge, And, Eq, Ne, None };

Op ParseOp(const std::string& s) {
    static const std::pair<const char*, Op> ops[] = {
        {"+", Op::Add}, {"-", Op::Sub}, {"*", Op::Mul}, {"/", Op::Div}, {"|", Op::Or},
        {"^", Op::Xor}, {"<", Op::Lt},  {">", Op::Gt},  {"<=", Op::Le}, {">=", Op::Ge},
        {"&", Op::And}, {"=", Op::Eq},  {"!=", Op::Ne}};
    for (auto [text, op] : ops)
        if (s == text) return op;
    return Op::None;
}

// Bitwise operators work on the truncated values; a value beyond 64 bits has no result.
double Bitwise(double a, double b, bool isOr) {
    std::int64_t x = 0, y = 0;
    if (!fn::ToInt64(a, x) || !fn::ToInt64(b, y)) return kInvalidValue;
    return static_cast<double>(isOr ? (x | y) : (x ^ y));
}

// One bar where both operands may be invalid.
template <Op op> inline double OnBar(double a, double b) {
    // Both tests are always made (no short circuit), so the loops stay branch-free.
    const bool valid = static_cast<int>(IsValid(a)) & static_cast<int>(IsValid(b));
    if constexpr (op == Op::Eq) return std::fabs(a - b) < 0.000001 ? 1 : 0;
    if constexpr (op == Op::Ne) return a != b ? 1 : 0;
    if constexpr (op == Op::Or) return valid ? Bitwise(a, b, true) : 0;
    // Sums, differences, products and quotients without a branch, so the loops over bars
    // vectorize: a result that is not finite, or of an invalid operand, is the invalid
    // value. A quotient by 0 is never finite, so it needs no test of its own.
    if constexpr (op == Op::Add || op == Op::Sub || op == Op::Mul || op == Op::Div) {
        const double r = op == Op::Add   ? a + b
                         : op == Op::Sub ? a - b
                         : op == Op::Mul ? a * b
                                         : a / b;
        return (static_cast<int>(valid) & static_cast<int>(std::fabs(r) <= DBL_MAX))
                   ? r
                   : kInvalidValue;
    }
    if (!valid) return kInvalidValue;
    if constexpr (op == Op::Xor) return Bitwise(a, b, false);
    if constexpr (op == Op::Lt) return a < b ? 1 : 0;
    if constexpr (op == Op::Gt) return a > b ? 1 : 0;
    if constexpr (op == Op::Le) return a <= b ? 1 : 0;
    if constexpr (op == Op::Ge) return a >= b ? 1 : 0;
    if constexpr (op == Op::And) return a >= 1 && b >= 1 ? 1 : 0;
    return kInvalidValue;
}

// Bars from..n-1.
template <Op op>
void OverBars(const fn::Operand& a, const fn::Operand& b, int from, int n, double* out) {
    const double *x = a.data, *y = b.data;
    if (a.IsSeries() && b.IsSeries()) {
        for (int i = from; i < n; ++i) out[i] = OnBar<op>(x[i], y[i]);
    } else if (a.IsSeries()) {
        const double v = b.value;
        for (int i = from; i < n; ++i) out[i] = OnBar<op>(x[i], v);
    } else {
        const double v = a.value;
        for (int i = from; i < n; ++i) out[i] = OnBar<op>(v, y[i]);
    }
}

void Series(Op op, const fn::Operand& a, const fn::Operand& b, int from, int n, double* out) {
    switch (op) {
    case Op::Add:
        return OverBars<Op::Add>(a, b, from, n, out);
    case Op::Sub:
        return OverBars<Op::Sub>(a, b, from, n, out);
    case Op::Mul:
        return OverBars<Op::Mul>(a, b, from, n, out);
    case Op::Div:
        return OverBars<Op::Div>(a, b, from, n, out);
    case Op::Or:
        return OverBars<Op::Or>(a, b, from, n, out);
    case Op::Xor:
        return OverBars<Op::Xor>(a, b, from, n, out);
    case Op::Lt:
        return OverBars<Op::Lt>(a, b, from, n, out);
    case Op::Gt:
        return OverBars<Op::Gt>(a, b, from, n, out);
    case Op::Le:
        return OverBars<Op::Le>(a, b, from, n, out);
    case Op::Ge:
        return OverBars<Op::Ge>(a, b, from, n, out);
    case Op::And:
        return OverBars<Op::And>(a, b, from, n, out);
    case Op::Eq:
        return OverBars<Op::Eq>(a, b, from, n, out);
    case Op::Ne:
        return OverBars<Op::Ne>(a, b, from, n, out);
    case Op::None:
        return;
    }
}

// Two constants: no invalid checks, exact equality, division by 0 gives the invalid value.
double Constant(Op op, double a, double b) {
    switch (op) {
    case Op::Add:
        return a + b;
    case Op::Sub:
        return a - b;
    case Op::Mul:
        return a * b;
    case Op::Div:
        return b == 0 ? kInvalidValue : a / b;
    case Op::Or:
        return Bitwise(a, b, true);
    case Op::Xor:
        return Bitwise(a, b, false);
    case Op::Lt:
        return a < b;
    case Op::Gt:
        return a > b;
    case Op::Le:
        return a <= b;
    case Op::Ge:
        return a >= b;
    case Op::And:
        return a >= 1 && b >= 1;
    case Op::Eq:
        return a == b;
    case Op::Ne:
        return a != b;
    case Op::None:
        break;
    }
    return kInvalidValue;
}

bool Biao(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    const std::string opText = xx.count > 1 ? xx[1] : std::string();
    if (opText.empty()) return fn::Fail(gs, "表达式计算没有运算符!");
    const Op op = ParseOp(opText);
    if (op == Op::None) return fn::Fail(gs, "暂时不支持运算符号[" + opText + "]错误!");
    const int n = fn::DataLen(gs);
    fn::Operand a, b;
    if (!xx[0].empty() && !fn::AsEither(gs, xx[0], n, a))
        return fn::Fail(gs, "表达式计算参数1:" + xx[0] + "错误!");
    const std::string right = xx.count > 2 ? xx[2] : std::string();
    if (!fn::AsEither(gs, right, n, b)) return fn::Fail(gs, "表达式计算参数2:" + right + "错误!");
    if (!a.IsSeries() && !b.IsSeries()) {
        fn::StoreConst(gs, name, Constant(op, a.value, b.value));
        return true;
    }
    double* out = fn::BeginSeries(gs, name, n, {&a, &b}, true);
    if (!out) return false;
    Series(op, a, b, fn::FirstBar(gs, n), n, out); // bar by bar
    return true;
}

int IntArg(const TXX& xx, int i) {
    if (i >= xx.count) return 0;
    const std::string& t = xx[i];
    double v = 0;
    if (t.find('.') != std::string::npos || !ReadsAsNumber(t, &v)) return 0;
    if (v > 2147483647.0 || v < -2147483648.0) return 0;
    return static_cast<int>(v);
}

bool Input(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    for (Param& p : gs.ParamStr) {
        if (!p.Name.empty()) continue;
        p.Name = name;
        p.min1 = IntArg(xx, 0);
        p.max1 = IntArg(xx, 1);
        p.def1 = IntArg(xx, 2);
        if (p.val1 == 0) p.val1 = IntArg(xx, 3);
        gs.AddConstText(name, std::to_string(p.val1));
        return true;
    }
    return true;
}

} // namespace

void RegisterOperatorFunctions(HandlerRegistry& r) {
    r["biao"] = Biao;
    r["input"] = Input;
}

} // namespace vantor
