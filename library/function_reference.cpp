#include "formula/front_end.h"
#include "formula/func_str.h"
#include "library/formula_text.h"
#include "library/shipped_texts.h"

namespace vantor {

namespace {

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
        if (!Trim(lines[i]).starts_with(start)) continue;
        for (std::size_t j = i; j < lines.size() && out.size() < 101; ++j) {
            std::string t = Trim(lines[j]);
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
        std::string t = Trim(line);
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
