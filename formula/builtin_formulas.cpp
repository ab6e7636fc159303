#include "formula/builtin_formulas.h"

#include "formula/func_str.h"

namespace vantor {

// Every resolution reads the one shared table, built on first use.
bool FindBuiltinFormula(const std::string& name, std::string& text) {
    text = TFuncStr::Builtins().GetStr(name);
    return !text.empty();
}

} // namespace vantor
