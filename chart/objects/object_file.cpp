// Text of the user-drawn objects: a header line, then per object its window, kind, colour,
// point count, pen, width, font size, three bars, three values, name and text, separated
// by tabs; tabs, line breaks and backslashes inside the texts are escaped.

#include "chart/objects/object_file.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "chart/objects/line_geometry.h"
#include "chart/trade_markers.h"

namespace vantor {

namespace {

constexpr const char* kHeader = "vantor-lines 1";

std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

bool Unescape(const std::string& s, std::string& out) {
    out.clear();
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\') {
            out += s[i];
            continue;
        }
        if (++i == s.size()) return false;
        switch (s[i]) {
        case '\\':
            out += '\\';
            break;
        case 't':
            out += '\t';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            return false;
        }
    }
    return true;
}

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> f;
    size_t b = 0;
    for (size_t e; (e = line.find('\t', b)) != std::string::npos; b = e + 1)
        f.push_back(line.substr(b, e - b));
    f.push_back(line.substr(b));
    return f;
}

bool Int(const std::string& s, long long lo, long long hi, long long& v) {
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && p == s.data() + s.size() && v >= lo && v <= hi;
}

bool Float(const std::string& s, float& v) {
    if (s.empty()) return false;
    char* end = nullptr;
    const double d = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || !std::isfinite(d) || std::fabs(d) > 3e38) return false;
    v = static_cast<float>(d);
    return true;
}

bool ToolKind(long long k) {
    static constexpr int kKinds[] = {1,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                                     15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 29, 30};
    for (int kind : kKinds)
        if (k == kind) return true;
    return false;
}

bool ParseLine(const std::string& line, int& win, XXLine& o) {
    const std::vector<std::string> f = Split(line);
    if (f.size() != 15) return false;
    long long v[7];
    const long long lo[7] = {0, 0, 0, 1, 0, 1, 1};
    const long long hi[7] = {kMaxWindows - 1, 99, 0xFFFFFF, 3, psAlternate, 100, 200};
    for (int i = 0; i < 7; ++i)
        if (!Int(f[static_cast<size_t>(i)], lo[i], hi[i], v[i])) return false;
    if (!ToolKind(v[1]) || v[3] != PointCountOf(static_cast<int>(v[1]))) return false;
    win = static_cast<int>(v[0]);
    o = XXLine{};
    o.FType = static_cast<int>(v[1]);
    o.FColor = static_cast<std::uint32_t>(v[2]);
    o.FPointCount = static_cast<int>(v[3]);
    o.FLineType = static_cast<TPenStyle>(v[4]);
    o.FLineWidth = static_cast<int>(v[5]);
    o.FFontSize = static_cast<int>(v[6]);
    for (size_t k = 0; k < 3; ++k) {
        long long bar;
        if (!Int(f[7 + k], -(1LL << 30), 1LL << 30, bar) || !Float(f[10 + k], o.FYY[k]))
            return false;
        o.FXX[k] = static_cast<int>(bar);
    }
    o.oldfxx = o.FXX;
    o.oldfyy = o.FYY;
    return Unescape(f[13], o.FName) && Unescape(f[14], o.FString);
}

} // namespace

bool IsUserObject(const XXLine& o) {
    return o.FType != kPositionLine && o.FType != kTradeMarker;
}

std::string WriteObjects(const WindowObjects& windows) {
    std::string text = std::string(kHeader) + "\n";
    char buf[256];
    for (size_t w = 0; w < windows.size(); ++w)
        for (const XXLine& o : windows[w]) {
            if (!IsUserObject(o)) continue;
            std::snprintf(buf, sizeof buf,
                          "%zu\t%d\t%u\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%.9g\t%.9g\t%.9g\t", w, o.FType,
                          static_cast<unsigned>(o.FColor & 0xFFFFFF), o.FPointCount,
                          static_cast<int>(o.FLineType), o.FLineWidth, o.FFontSize, o.FXX[0],
                          o.FXX[1], o.FXX[2], static_cast<double>(o.FYY[0]),
                          static_cast<double>(o.FYY[1]), static_cast<double>(o.FYY[2]));
            text += buf + Escape(o.FName) + "\t" + Escape(o.FString) + "\n";
        }
    return text;
}

bool ReadObjects(const std::string& text, WindowObjects& out) {
    WindowObjects read;
    size_t b = 0;
    bool header = false;
    while (b < text.size()) {
        size_t e = text.find('\n', b);
        if (e == std::string::npos) e = text.size();
        std::string line = text.substr(b, e - b);
        b = e + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!header) {
            if (line != kHeader) return false;
            header = true;
            continue;
        }
        if (line.empty()) continue;
        int win = 0;
        XXLine o;
        if (!ParseLine(line, win, o)) return false;
        read[static_cast<size_t>(win)].push_back(o);
    }
    if (!header) return false;
    out = std::move(read);
    return true;
}

} // namespace vantor
