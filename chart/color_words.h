#pragma once
// Output records of a formula window and the words they carry: splitting a record into
// kind, arguments and attributes, colour words, and the pen settings of the attribute part.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "chart/canvas.h"

namespace vantor {

// Splits at `sep`, leaving separators inside single-quoted text alone; at most 40 pieces
// (the last piece keeps the rest of the text).
std::vector<std::string> SplitQuoted(std::string_view text, std::string_view sep);

// One record KIND=ARG1,ARG2,...::ATTR1,ATTR2,...
struct OutputRecord {
    std::string kind;
    std::vector<std::string> args; // never fewer than 40 entries; missing ones are empty
    std::string attrs;             // the attribute part, as written
    std::vector<std::string> attrWords;

    const std::string& arg(int i) const; // 1-based; empty beyond the record
    bool HasWord(std::string_view word) const { return attrs.find(word) != std::string::npos; }
};
OutputRecord ParseRecord(std::string_view record);

// Reads the text of a formula constant (empty when the program has none of that name).
using ConstTextFn = std::function<std::string(const std::string& lowerName)>;

// The colour of a colour word: the sixteen named colours, COLORbbggrr, or a formula
// constant holding such a word; anything else is white.
TColor ColorOfWord(std::string_view word, const ConstTextFn& constText = {});

// Pen and font from the attribute words: solid white width 1 and a clear brush, then
// dash/dot styles, colour words and linethick1..9, a later word overriding an earlier one.
void ApplyLineAttrs(Canvas& c, const std::vector<std::string>& words,
                    const ConstTextFn& constText = {});

} // namespace vantor
