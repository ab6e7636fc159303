#include "account/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vantor {

bool ParseNumber(std::string_view s, double& value) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    if (s.empty() || s.size() > 63) return false;
    for (char ch : s)
        if (!((ch >= '0' && ch <= '9') || ch == '.' || ch == '-' || ch == '+' || ch == 'e' ||
              ch == 'E'))
            return false;
    char buf[64];
    std::memcpy(buf, s.data(), s.size());
    buf[s.size()] = 0;
    char* end = nullptr;
    double v = std::strtod(buf, &end);
    if (end != buf + s.size() || !std::isfinite(v)) return false;
    value = v;
    return true;
}

double NumberOr(std::string_view text, double fallback) {
    double v = fallback;
    return ParseNumber(text, v) ? v : fallback;
}

std::string Fixed2(double v) {
    char buf[400]; // room for the largest double written out in full
    int n = std::snprintf(buf, sizeof buf, "%.2f", v);
    if (n < 0 || n >= static_cast<int>(sizeof buf)) return "0.00";
    std::string text(buf, static_cast<std::size_t>(n));
    if (text == "-0.00") return "0.00"; // a result that rounds to nothing has no sign
    return text;
}

std::string ShortestDecimal(double v) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    if (res.ec != std::errc()) return Fixed2(v);
    return std::string(buf, res.ptr);
}

} // namespace vantor
