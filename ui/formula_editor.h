#pragma once
// TEditFunc1 "公式编辑器": the modal formula editor. The formula text on the left over the
// output pane, the sorted function list with its reference on the right, the header fields
// bound to the TECHNAME:/TECHTITLE:/DRAWK: lines, and the commands 插入参数, 插入颜色, 大写,
// 清除, 转换 and 测试公式. QtFormulaHost opens it for the indicator tree and the chart.

#include <QColor>
#include <QDialog>
#include <functional>

#include "practice/formula_editing.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace vantor {

class TEditFunc1 : public QDialog {
    Q_OBJECT
public:
    explicit TEditFunc1(QWidget* parent = nullptr);

    QLineEdit* Name() const { return name_; }
    QLineEdit* Title() const { return title_; }
    QCheckBox* drawk() const { return drawk_; }
    QPlainTextEdit* Memo1() const { return memo1_; }
    QPlainTextEdit* Memo2() const { return memo2_; }
    QListWidget* Funclist() const { return funclist_; }
    // Status panel i (0 .. 4).
    QLabel* Panel(int i) const { return panels_[i]; }
    // The button with this caption (确定, 取消, 大写, 清除, 转换, 插入参数, 插入颜色, 测试公式).
    QPushButton* Button(const QString& caption) const;

    // The colour dialog of 插入颜色; an invalid colour means cancelled. Replaceable in tests.
    std::function<QColor()> chooseColour;

    // Fills the header fields from the text's header lines (what showing the editor does).
    void ReadHeaderLines();

protected:
    void showEvent(QShowEvent* e) override;

private:
    void NameChange();
    void TitleChange();
    void DrawKClick();
    void UpperCase();
    void ClearAll();
    void Convert();
    void InsertParameter();
    void InsertColour();
    void TestClick();
    void FuncListClick();
    void OkClick();
    void ShowMemo1Caret();
    void ShowMemo2Caret();
    std::string Text() const;
    void SetText(const std::string& text);

    QLineEdit *name_, *title_;
    QCheckBox* drawk_;
    QPlainTextEdit *memo1_, *memo2_;
    QListWidget* funclist_;
    QLabel* panels_[5];
};

// The desktop's FormulaHost: the editor and the two message boxes.
class QtFormulaHost : public FormulaHost {
public:
    explicit QtFormulaHost(QWidget* parent) : parent_(parent) {}
    bool EditFormula(FormulaEdit& edit) override;
    bool AskWarning(const std::string& text, const std::string& title) override;
    void Message(const std::string& text) override;

private:
    QWidget* parent_;
};

} // namespace vantor
