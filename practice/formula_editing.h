#pragma once
// What the formula commands need from the desktop: the formula editor and two message boxes.
// The indicator tree and the chart's "修改指标公式" both open the editor through it; the
// desktop implements it with the editor dialog, tests with a recorder.

#include <string>

namespace vantor {

class TGP;

// The fields the editor is opened with and hands back on OK.
struct FormulaEdit {
    std::string name;    // 公式名称
    std::string title;   // 公式描述
    std::string text;    // the formula source
    std::string caption; // appended to the editor's caption ("" for none)
};

class FormulaHost {
public:
    virtual ~FormulaHost() = default;
    // Shows the editor modally on `edit`; true on OK, with `edit` holding what was edited.
    virtual bool EditFormula(FormulaEdit& edit) = 0;
    // A Yes/No warning with a stop icon and No as the default button; true for Yes.
    virtual bool AskWarning(const std::string& text, const std::string& title) = 0;
    virtual void Message(const std::string& text) = 0;
};

// The chart command "修改指标公式": opens the editor on the current window's program (text
// upper-cased, caption " - " + the window's file name); on OK the text is saved to the
// window's file in `programDir` ("temp.zb" when the window has none, which then becomes its
// file) and loaded from there. False when no window is current or the file cannot be written
// (with a message).
bool EditWindowFormula(TGP& chart, FormulaHost& host, const std::string& programDir);

} // namespace vantor
