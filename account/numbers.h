#pragma once
// Numbers as the account and journal read and write them as text.

#include <string>
#include <string_view>

namespace vantor {

// Reads plain decimal text ('.' as the decimal point, blanks around it allowed) into `value`.
// Returns false, leaving `value` alone, for anything else: empty text, words, hex, inf, nan.
bool ParseNumber(std::string_view text, double& value);

// The number of `text`, or `fallback` when the text is not a number.
double NumberOr(std::string_view text, double fallback);

// "%.2f": the two-decimal form used for every number shown or stored as text ("0.00" for
// small negative numbers, never "-0.00").
std::string Fixed2(double v);

// The shortest decimal text that reads back as the same double ("300", "0.5", "12.25").
std::string ShortestDecimal(double v);

} // namespace vantor
