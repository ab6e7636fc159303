#include "chart/color_words.h"

#include <cctype>

namespace vantor {

std::vector<std::string> SplitQuoted(std::string_view text, std::string_view sep) {
    std::vector<std::string> out;
    bool quoted = false;
    size_t start = 0;
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '\'') {
            quoted = !quoted;
            ++i;
            continue;
        }
        if (!quoted && out.size() < 39 && text.compare(i, sep.size(), sep) == 0) {
            out.emplace_back(text.substr(start, i - start));
            i += sep.size();
            start = i;
            continue;
        }
        ++i;
    }
    out.emplace_back(text.substr(start));
    return out;
}

const std::string& OutputRecord::arg(int i) const {
    static const std::string empty;
    return i >= 1 && i <= static_cast<int>(args.size()) ? args[static_cast<size_t>(i - 1)] : empty;
}

OutputRecord ParseRecord(std::string_view record) {
    OutputRecord r;
    auto parts = SplitQuoted(record, "::");
    std::string left = parts[0];
    if (parts.size() > 1) r.attrs = parts[1];
    auto eq = SplitQuoted(left, "=");
    r.kind = eq[0];
    if (eq.size() > 1) r.args = SplitQuoted(eq[1], ",");
    r.args.resize(40);
    if (!r.attrs.empty()) r.attrWords = SplitQuoted(r.attrs, ",");
    return r;
}

namespace {

std::string Upper(std::string_view s) {
    std::string u(s);
    for (char& ch : u) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return u;
}

std::string Lower(std::string_view s) {
    std::string u(s);
    for (char& ch : u) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return u;
}

struct NamedColor {
    const char* name;
    TColor color;
};
constexpr NamedColor kNamed[] = {
    {"COLORBLACK", 0x000000},  {"COLORBLUE", 0xFF0000},   {"COLORGREEN", 0x00FF00},
    {"COLORCYAN", 0xFFFF00},   {"COLORRED", 0x0000FF},    {"COLORMAGENTA", 0xFF00FF},
    {"COLORBROWN", 0x008080},  {"COLORYELLOW", 0x00FFFF}, {"COLORLIGRAY", 0xC0C0C0},
    {"COLORGRAY", 0x808080},   {"COLORLIBLUE", 0xC0C000}, {"COLORLIGREEN", 0x40C040},
    {"COLORLICYAN", 0x808000}, {"COLORLIRED", 0x8080FF},  {"COLORLIMAGENTA", 0xFF00FF},
    {"COLORWHITE", 0xFFFFFF},
};

} // namespace

TColor ColorOfWord(std::string_view word, const ConstTextFn& constText) {
    std::string w = Upper(word);
    if (w.find("COLOR") == std::string::npos) {
        w = constText ? Upper(constText(Lower(word))) : std::string();
        if (w.empty()) return kWhite;
    }
    for (const auto& n : kNamed)
        if (w == n.name) return n.color;
    if (w.size() == 11 && w.compare(0, 5, "COLOR") == 0) {
        TColor v = 0;
        for (size_t i = 5; i < 11; ++i) {
            char ch = w[i];
            int d;
            if (ch >= '0' && ch <= '9')
                d = ch - '0';
            else if (ch >= 'A' && ch <= 'F')
                d = ch - 'A' + 10;
            else
                return kWhite;
            v = (v << 4) | static_cast<TColor>(d);
        }
        return v;
    }
    return kWhite;
}

void ApplyLineAttrs(Canvas& c, const std::vector<std::string>& words,
                    const ConstTextFn& constText) {
    c.SetPen(kWhite, 1, PenStyle::Solid);
    c.SetBrushClear();
    auto starts = [](const std::string& w, std::string_view p) {
        return w.compare(0, p.size(), p) == 0;
    };
    for (const std::string& word : words) {
        const std::string w = Lower(word);
        if (starts(w, "linedashdotdot"))
            c.SetPenStyle(PenStyle::DashDotDot);
        else if (starts(w, "linedashdot"))
            c.SetPenStyle(PenStyle::DashDot);
        else if (starts(w, "linedash"))
            c.SetPenStyle(PenStyle::Dash);
        else if (starts(w, "dotline") || starts(w, "linedot"))
            c.SetPenStyle(PenStyle::Dot);
        else if (starts(w, "color")) {
            TColor col = ColorOfWord(w, constText);
            c.SetPenColor(col);
            c.SetFontColor(col);
        } else if (starts(w, "linethick") && w.size() >= 10 && w[9] >= '1' && w[9] <= '9')
            c.SetPenWidth(w[9] - '0');
    }
}

} // namespace vantor
