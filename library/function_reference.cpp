#include "formula/func_str.h"
#include "library/formula_text.h"
#include "library/shipped_texts.h"

namespace vantor {

namespace {

std::string TrimLine(const std::string& s) {
    const char* blanks = " \t\r";
    std::size_t a = s.find_first_not_of(blanks);
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(blanks) - a + 1);
}

const std::vector<std::string>& ReferenceLines() {
    static const std::vector<std::string> lines = SplitTextLines(kFunctionReference);
    return lines;
}

} // namespace

std::vector<std::string> ReferenceEntry(const std::string& word) {
    const std::vector<std::string>& lines = ReferenceLines();
    const std::string start = UpperAscii(word) + " ";
    std::vector<std::string> out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!TrimLine(lines[i]).starts_with(start)) continue;
        for (std::size_t j = i; j < lines.size() && out.size() < 101; ++j) {
            std::string t = TrimLine(lines[j]);
            if (t.empty()) break;
            out.push_back(std::move(t));
        }
        break;
    }
    return out;
}

std::vector<std::string> ReferenceWords() {
    std::vector<std::string> words;
    bool atStart = true;
    for (const std::string& line : ReferenceLines()) {
        std::string t = TrimLine(line);
        if (t.empty()) {
            atStart = true;
            continue;
        }
        if (atStart) words.push_back(t.substr(0, t.find(' ')));
        atStart = false;
    }
    return words;
}

} // namespace vantor
