#include "library/formula_text.h"

#include "formula/front_end.h"
#include "formula/func_str.h"

namespace vantor {

namespace {

std::string ReplaceAll(std::string s, const std::string& from, const std::string& to) {
    for (std::size_t p = 0; (p = s.find(from, p)) != std::string::npos; p += to.size())
        s.replace(p, from.size(), to);
    return s;
}

// The index of the line whose name part is `key`, or -1.
int HeaderLine(const std::vector<std::string>& lines, const std::string& key) {
    const std::string k = UpperAscii(key);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::size_t eq = lines[i].find('=');
        if (eq != std::string::npos && UpperAscii(lines[i].substr(0, eq)) == k)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

std::vector<std::string> SplitTextLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        pos = end + 1;
    }
    return lines;
}

std::string JoinTextLines(const std::vector<std::string>& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) out += '\n';
        out += lines[i];
    }
    return out;
}

std::string HeaderValue(const std::string& text, const std::string& key) {
    std::vector<std::string> lines = SplitTextLines(text);
    int i = HeaderLine(lines, key);
    return i < 0 ? std::string() : lines[i].substr(lines[i].find('=') + 1);
}

std::string SetHeaderValue(const std::string& text, const std::string& key,
                           const std::string& value) {
    std::vector<std::string> lines = SplitTextLines(text);
    int i = HeaderLine(lines, key);
    if (i >= 0) {
        lines[i] = lines[i].substr(0, lines[i].find('=')) + "=" + value;
        return JoinTextLines(lines);
    }
    if (text.empty()) return key + "=" + value;
    // A text ending in a line break gets the line after it, not after an empty line.
    return text + (text.back() == '\n' ? "" : "\n") + key + "=" + value;
}

std::string HeaderField(const std::string& value) {
    std::string v = UpperAscii(Trim(value));
    if (!v.empty() && v.back() == ';') v.pop_back();
    return v;
}

bool DrawKOf(const std::string& text) {
    return UpperAscii(HeaderValue(text, kDrawKKey)).find("TRUE") != std::string::npos;
}

std::string WithName(const std::string& text, const std::string& name) {
    if (UpperAscii(HeaderValue(text, kNameKey)) == UpperAscii(name)) return text;
    return SetHeaderValue(text, kNameKey, UpperAscii(name) + ";");
}

std::string WithTitle(const std::string& text, const std::string& title) {
    if (UpperAscii(HeaderValue(text, kTitleKey)) == UpperAscii(title)) return text;
    return SetHeaderValue(text, kTitleKey, UpperAscii(title) + ";");
}

std::string WithDrawK(const std::string& text, bool on) {
    if (DrawKOf(text) == on && !HeaderValue(text, kDrawKKey).empty()) return text;
    return SetHeaderValue(text, kDrawKKey, on ? "TRUE;" : "FALSE;");
}

std::vector<std::string> ConvertCompiled(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (std::string line : lines) {
        if (line.find("BIAO(") != std::string::npos) {
            std::size_t close = line.find(')');
            std::string head = line.substr(0, close);
            std::string tail = close == std::string::npos ? "" : line.substr(close + 1);
            head = ReplaceAll(head, "BIAO(", "");
            head = ReplaceAll(head, ",", "");
            head = ReplaceAll(head, "|", " or ");
            head = ReplaceAll(head, "&", " and ");
            line = head + tail;
        }
        if (!line.empty() && line.back() != ';') line += ';';
        out.push_back(std::move(line));
    }
    return out;
}

std::string InputDeclaration(const std::string& name, const std::string& min,
                             const std::string& max, const std::string& value) {
    return UpperAscii(name + ":=INPUT(" + min + "," + max + "," + value + "," + value + ");");
}

std::string ColorWordText(int red, int green, int blue) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%.02X%.02X%.02X", blue & 0xFF, green & 0xFF, red & 0xFF);
    return std::string(",COLOR") + digits;
}

std::string WithoutBlankLines(const std::string& text) {
    std::vector<std::string> lines = SplitTextLines(text);
    std::vector<std::string> kept;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (i + 1 == lines.size() || !Trim(lines[i]).empty()) kept.push_back(lines[i]);
    return JoinTextLines(kept);
}

} // namespace vantor
