#pragma once
// Compiling a formula text for display, and the editor's test run on six sample bars.

#include <string>
#include <vector>

namespace vantor {

struct FormulaCheck {
    bool ok = false;
    std::vector<std::string> compiled; // the compiled lines (as far as compiling went)
    std::string error;                 // the program's message on failure
    int errorLine = -1;                // 0-based line of the text the message names, or -1
};

// Compiles `text` without running it.
FormulaCheck CompileFormula(const std::string& text);

// Compiles `text`, then runs it on the six sample daily bars (20130326 .. 20130402) with
// sample quote, financial and index records (last price 20.44).
FormulaCheck TestFormula(const std::string& text);

// What the editor's lower pane shows for a test: the compiled lines, "===============", then
// "测试通过", or the message, "===============" and "测试错误".
std::vector<std::string> TestReport(const FormulaCheck& check);

// The line named in a message such as "第 3 行:括号不配匹" or "第3行错误!", 0-based; -1 when
// the message names none.
int ErrorLineOf(const std::string& message);

} // namespace vantor
