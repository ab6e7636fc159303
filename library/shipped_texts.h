#pragma once
// Texts built into the program from the repository's text files (see CMakeLists.txt).

namespace vantor {

struct ShippedText {
    const char* name; // file name without extension
    const char* text;
};

extern const ShippedText kCorpusFormulas[];
extern const int kCorpusFormulaCount;
// The formula editor's reference: entries separated by empty lines.
extern const char* const kFunctionReference;

} // namespace vantor
