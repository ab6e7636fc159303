#pragma once
// The formula editor's text operations: the header lines TECHNAME:, TECHTITLE: and DRAWK: read
// and written as name=value lines, the conversion of compiled lines into readable text, the
// inserted parameter and colour texts and the clean-up on OK. Texts use '\n' between lines.

#include <string>
#include <vector>

namespace vantor {

inline constexpr const char* kNameKey = "TECHNAME:";
inline constexpr const char* kTitleKey = "TECHTITLE:";
inline constexpr const char* kDrawKKey = "DRAWK:";

std::vector<std::string> SplitTextLines(const std::string& text);
std::string JoinTextLines(const std::vector<std::string>& lines);

// The value of the first line whose part before '=' is `key` (letter case aside); "" when
// there is none.
std::string HeaderValue(const std::string& text, const std::string& key);
// Sets that line's value, or appends the line key=value at the end when there is none.
std::string SetHeaderValue(const std::string& text, const std::string& key,
                           const std::string& value);
// A header value as the editor's field shows it: upper case without its final ';'.
std::string HeaderField(const std::string& value);
// Whether DRAWK: says TRUE.
bool DrawKOf(const std::string& text);

// The field edits written back into the text; each changes the text only when the line does
// not already say the same.
std::string WithName(const std::string& text, const std::string& name);
std::string WithTitle(const std::string& text, const std::string& title);
std::string WithDrawK(const std::string& text, bool on);

// Compiled lines in infix form: X:BIAO(CLOSE,>,OPEN) becomes X:CLOSE>OPEN; an empty line
// stays empty.
std::vector<std::string> ConvertCompiled(const std::vector<std::string>& lines);

// The parameter declaration the editor inserts as the first line, upper case:
// NAME:=INPUT(min,max,value,value);
std::string InputDeclaration(const std::string& name, const std::string& min,
                             const std::string& max, const std::string& value);
// ",COLOR" + six hexadecimal digits of a chosen colour, blue first, then green and red: the
// order the renderer reads, so the line shows in the colour picked.
std::string ColorWordText(int red, int green, int blue);
// The text OK keeps: every line that is blank after trimming is removed, except the last.
std::string WithoutBlankLines(const std::string& text);

// The reference entry of a function or word: from the line that starts with the word and a
// blank to the next empty line, trimmed, at most 101 lines; empty when there is none.
std::vector<std::string> ReferenceEntry(const std::string& word);
// The words the reference text has an entry for, upper case, in its order.
std::vector<std::string> ReferenceWords();

} // namespace vantor
