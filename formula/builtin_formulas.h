#pragma once
// The source texts of the built-in formulas, found by name without regard to letter case.

#include <string>

namespace vantor {

// Sets `text` to the source of the built-in formula `name`; false when there is none.
bool FindBuiltinFormula(const std::string& name, std::string& text);

} // namespace vantor
