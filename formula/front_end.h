#pragma once
// The language front end: comment stripping, the character classes of the language and
// the reading of one compiled statement into its parts.

#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// One delimited region of the source text. Kinds 1 and 2 are copied, 3 to 5 removed.
struct TModalStr {
    std::string rBegin;
    std::string rEnd;
    std::string rAppend; // emitted in place of rEnd when the region is removed
    int rSingle = 0;
};

// The regions of formula text: string literals, directives, two comment forms and line
// comments, in the order they are tried.
const std::vector<TModalStr>& FormulaModalTable();

// Removes the regions whose kind is not in `keptKinds` (kind 0 is ordinary text).
std::string GetModalStr(std::string_view text, const std::vector<TModalStr>& table,
                        std::initializer_list<int> keptKinds);

std::string Trim(std::string_view s);
std::string LowerAscii(std::string_view s);
std::string UpperAscii(std::string_view s);
// Splits text into lines at CR LF, LF or CR.
std::vector<std::string> SplitLines(std::string_view text);

bool IsOperatorChar(char c);
// A character of a function name: A..Z, a..z, 0..9, '_', '.', '"'.
bool IsFuncNameChar(char c);
// True when the whole text reads as a decimal number (optional sign, digits, one point).
bool ReadsAsNumber(std::string_view s, double* value = nullptr);
// Operator count: 0 for empty text or a number; else the operator characters outside
// quotes, a two-character operator counting once and a '-' right after '(' or ',' not at all.
int OperatorCount(std::string_view s);

// Rewrites the word operators AND and OR (any case) to & and | wherever one stands between
// two operands, outside quoted texts; a name holding the letters is left alone.
std::string RewriteWordOperators(std::string_view line);
// The other spellings of operators in blank-free text, outside quoted texts: == as =, <> as
// !=, || as | and && as &.
std::string RewriteOperatorSpellings(std::string_view packed);
// A double-quoted text that holds more than the characters of a name (a formula reference
// such as "MACD.DIF" holds only those) is a text like a single-quoted one: it is written
// with single quotes.
std::string SingleQuoteTexts(std::string_view line);
// True when a statement whose text so far is `text` goes on on the next line: a parenthesis
// is still open and the text does not end with ';', or it ends with an operator, a comma or
// a word operator.
bool StatementContinues(std::string_view text);
// True when the (trimmed) line starts a statement of its own: a name followed by ':'.
bool StartsNamedStatement(std::string_view line);

// Splits at commas that are not inside a quoted string.
std::vector<std::string> SplitArgs(std::string_view s);

// The parts of one compiled statement as the evaluator reads it.
struct StatementParts {
    bool skip = false;   // empty or a comment line
    std::string name;    // empty when the statement has no name
    bool output = false; // NAME:EXPR
    std::string expr;
    std::string attrs; // the attribute list without its leading comma
    bool hasAttrs = false;
};

// Reads one compiled statement: trims and lower-cases it, finds the name, the expression
// (at most 1000 characters) and the attribute list.
StatementParts ReadCompiledStatement(std::string_view statement);

// Finds the attribute comma: scanning from the end and stopping at the first ')', the
// leftmost comma seen. Returns npos when there is none.
size_t AttributeComma(std::string_view expr);

} // namespace vantor
