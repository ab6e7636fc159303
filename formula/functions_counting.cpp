// Counting and signal shaping: COUNT, EXIST, EVERY, LAST, BARSLASTCOUNT, UPNDAY, DOWNNDAY,
// NDAY, FILTER, FILTERX, BACKSET. Each is one pass over the bars.

#include <algorithm>
#include <limits>

#include "formula/front_end.h"
#include "formula/function_kernels.h"
#include "formula/function_table.h"
#include "formula/functions_common.h"

namespace vantor::kernels {

namespace {
int Len(std::span<double> out) {
    return static_cast<int>(out.size());
}
} // namespace

// count(i) = count(i-1) + [X[i] > 0] - [X[i-N] > 0], the last term once N > 0 and i >= N;
// a series N uses its own value on each bar.
void Count(std::span<const double> x, Operand n, std::span<double> out) {
    const int len = Len(out);
    std::int64_t count = 0;
    for (int i = 0; i < len; ++i) {
        const std::int64_t k = BarCount(n[i]);
        if (x[i] > 0) ++count;
        if (k > 0 && i >= k && x[i - k] > 0) --count;
        out[i] = static_cast<double>(count);
    }
}

// 1 where the sum of X over the last N bars is above 0. The sum is kept in single precision,
// as the values are conditions of 0 and 1 whose sums single precision holds exactly.
void Exist(std::span<const double> x, std::int64_t n, std::span<double> out) {
    const int len = Len(out);
    float sum = 0;
    for (int i = 0; i < len; ++i) {
        sum += static_cast<float>(x[i]);
        if (i >= n) sum -= static_cast<float>(x[i - n]);
        out[i] = sum > 0 ? 1 : 0;
    }
}

// 1 on the bar that completes a run of exactly N bars with X equal to 1.
void Every(std::span<const double> x, std::int64_t n, std::span<double> out) {
    const int len = Len(out);
    std::int64_t run = 0;
    for (int i = 0; i < len; ++i) {
        const bool valid = Valid(x[i]);
        if (valid) run = x[i] == 1 ? run + 1 : 0;
        if (i < n)
            out[i] = 0;
        else
            out[i] = !valid ? kInvalid : (run == n ? 1 : 0);
    }
}

bool Last(std::span<const double> x, std::int64_t a, std::int64_t b, std::span<double> out) {
    if (!(0 < b && b < a)) return false;
    const int len = Len(out);
    std::int64_t run = 0;
    for (int i = 0; i < len; ++i) {
        run = x[i] == 1 ? run + 1 : 0;
        out[i] = i < a ? 0 : (run == a - b ? 1 : 0);
    }
    return true;
}

void BarsLastCount(std::span<const double> x, std::span<double> out) {
    const int len = Len(out);
    std::int64_t run = 0;
    for (int i = 0; i < len; ++i) {
        run = x[i] != 0 ? run + 1 : 0;
        out[i] = static_cast<double>(run);
    }
}

void UpDownNDay(std::span<const double> x, std::int64_t n, bool up, std::span<double> out) {
    const int len = Len(out);
    std::int64_t run = 0;
    for (int i = 1; i < len; ++i) {
        const bool step = up ? x[i] > x[i - 1] : x[i] < x[i - 1];
        run = step ? run + 1 : 0;
        out[i] = run >= n ? 1 : 0;
    }
}

void NDay(std::span<const double> x1, std::span<const double> x2, std::int64_t n,
          std::span<double> out) {
    const int len = Len(out);
    std::int64_t count = 0;
    for (int i = 0; i < len; ++i) {
        if (x1[i] > x2[i]) ++count;
        if (n > 0 && i >= n && x1[i - n] > x2[i - n]) --count;
        out[i] = count == n ? 1 : 0;
    }
}

// A signal gives 1 and silences the next N bars; scanning resumes after them.
void Filter(std::span<const double> x, Operand n, std::span<double> out) {
    const int len = Len(out);
    int i = 0;
    while (i < len) {
        if (x[i] > 0) {
            out[i] = 1;
            const std::int64_t k = std::max<std::int64_t>(0, BarCount(n[i]));
            const int end = static_cast<int>(std::min<std::int64_t>(len - 1, i + k));
            for (int j = i + 1; j <= end; ++j) out[j] = 0;
            i = end + 1;
        } else {
            out[i] = 0;
            ++i;
        }
    }
}

// FILTER walked from the last bar backwards; an invalid X stays invalid.
void FilterX(std::span<const double> x, std::int64_t n, std::span<double> out) {
    const std::int64_t k = std::max<std::int64_t>(0, n);
    int i = Len(out) - 1;
    while (i >= 0) {
        if (!Valid(x[i])) {
            out[i] = kInvalid;
            --i;
        } else if (x[i] > 0) {
            out[i] = 1;
            const int end = static_cast<int>(std::max<std::int64_t>(0, i - k));
            for (int j = i - 1; j >= end; --j) out[j] = 0;
            i = end - 1;
        } else {
            out[i] = 0;
            --i;
        }
    }
}

// Every bar i with X exactly 1 sets bars i-N+1 .. i to 1; a bar whose series N is invalid is
// set to 0 unless a later signal covers it. Walked backwards with the lowest bar any later
// signal reaches, so each bar is written once.
void BackSet(std::span<const double> x, Operand n, std::span<double> out) {
    std::int64_t reach = std::numeric_limits<std::int64_t>::max();
    for (int i = Len(out) - 1; i >= 0; --i) {
        const bool nValid = Valid(n[i]);
        if (nValid && x[i] == 1) reach = std::min<std::int64_t>(reach, i - BarCount(n[i]) + 1);
        if (reach <= i)
            out[i] = 1;
        else if (!nValid)
            out[i] = 0;
    }
}

} // namespace vantor::kernels

namespace vantor {

namespace {

using fn::Operand;
using fn::Span;

// COUNT, FILTER, FILTERX, BACKSET: members of the moving-window family.
enum class Counting { Count, Filter, FilterX, BackSet };

template <Counting C>
bool CountingWindow(TGS& gs, const std::string& name, const std::string& func, const TXX& xx) {
    fn::Window w;
    if (!fn::WindowArgs(gs, func, xx, w)) return false;
    const int n = w.len;
    if (w.Unchanged()) {
        if (!fn::StoreCopy(gs, name, n, w.x)) return false;
        if constexpr (C == Counting::Filter) {
            double* out = gs.GetBian(name)->value.data();
            for (int i = 0; i < n; ++i)
                if (!IsValid(out[i])) out[i] = 0;
        }
        return true;
    }
    auto out = fn::Output(gs, name, n, {&w.x, &w.n});
    if (out.data() == nullptr) return false;
    const auto x = Span(w.x, n);
    if constexpr (C == Counting::Count)
        kernels::Count(x, w.n, out);
    else if constexpr (C == Counting::Filter)
        kernels::Filter(x, w.n, out);
    else if constexpr (C == Counting::FilterX)
        kernels::FilterX(x, fn::Bars(fn::ValueOf(w.n, n)), out);
    else
        kernels::BackSet(x, w.n, out);
    return true;
}

bool Exist(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    const int n = fn::DataLen(gs);
    Operand x;
    double k = 0;
    if (!fn::SeriesArg(gs, xx, 0, n, x, "EXIST(X,N)参数X:", " 未定义!") ||
        !fn::ConstArg(gs, xx, 1, k, "EXIST(X,N)参数N:", "未定义!"))
        return false;
    if (fn::Bars(k) < 1) return fn::Fail(gs, "EXIST(X,N)参数N不能小于1!");
    auto out = fn::Output(gs, name, n, {&x});
    if (out.data() == nullptr) return false;
    kernels::Exist(Span(x, n), fn::Bars(k), out);
    return true;
}

// EVERY(X,N), UPNDAY(X,N), DOWNNDAY(X,N): X a series, N a constant.
enum class Run { Every, UpNDay, DownNDay };

template <Run R>
bool Runs(TGS& gs, const std::string& name, const std::string& func, const TXX& xx) {
    const int n = fn::DataLen(gs);
    const std::string member = UpperName(func);
    Operand x;
    double k = 0;
    if (!fn::SeriesArg(gs, xx, 0, n, x, member + "(X,N)参数X:", "未定义!") ||
        !fn::ConstArg(gs, xx, 1, k, member + "(X,N)参数N:", "未定义!"))
        return false;
    auto out = fn::Output(gs, name, n, {&x});
    if (out.data() == nullptr) return false;
    if constexpr (R == Run::Every)
        kernels::Every(Span(x, n), fn::Bars(k), out);
    else
        kernels::UpDownNDay(Span(x, n), fn::Bars(k), R == Run::UpNDay, out);
    return true;
}

bool Last(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    const int n = fn::DataLen(gs);
    Operand x;
    double a = 0, b = 0;
    if (!fn::SeriesArg(gs, xx, 0, n, x, "LAST(X,A,B)参数X:", "未定义!") ||
        !fn::ConstArg(gs, xx, 1, a, "LAST(X,A,B)参数A:", "未定义!") ||
        !fn::ConstArg(gs, xx, 2, b, "LAST(X,A,B)参数B:", "未定义!"))
        return false;
    auto out = fn::Output(gs, name, n, {&x});
    if (out.data() == nullptr) return false;
    kernels::Last(Span(x, n), fn::Bars(a), fn::Bars(b), out);
    return true;
}

bool BarsLastCount(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    const int n = fn::DataLen(gs);
    Operand x;
    if (!fn::SeriesArg(gs, xx, 0, n, x, "BARSLASTCOUNT(X)参数X:", "未定义!")) return false;
    auto out = fn::Output(gs, name, n, {&x});
    if (out.data() == nullptr) return false;
    kernels::BarsLastCount(Span(x, n), out);
    return true;
}

bool NDay(TGS& gs, const std::string& name, const std::string&, const TXX& xx) {
    const int n = fn::DataLen(gs);
    Operand x1, x2;
    double k = 0;
    if (!fn::SeriesArg(gs, xx, 0, n, x1, "NDAY(X1,X2,N)参数X1:", "未定义!") ||
        !fn::SeriesArg(gs, xx, 1, n, x2, "NDAY(X1,X2,N)参数X2:", "未定义!") ||
        !fn::ConstArg(gs, xx, 2, k, "NDAY(X1,X2,N)参数N:", "未定义!"))
        return false;
    auto out = fn::Output(gs, name, n, {&x1, &x2});
    if (out.data() == nullptr) return false;
    kernels::NDay(Span(x1, n), Span(x2, n), fn::Bars(k), out);
    return true;
}

} // namespace

void RegisterCountingFunctions(HandlerRegistry& r) {
    r["count"] = CountingWindow<Counting::Count>;
    r["filter"] = CountingWindow<Counting::Filter>;
    r["filterx"] = CountingWindow<Counting::FilterX>;
    r["backset"] = CountingWindow<Counting::BackSet>;
    r["exist"] = Exist;
    r["every"] = Runs<Run::Every>;
    r["upnday"] = Runs<Run::UpNDay>;
    r["downnday"] = Runs<Run::DownNDay>;
    r["last"] = Last;
    r["barslastcount"] = BarsLastCount;
    r["nday"] = NDay;
}

} // namespace vantor
