#pragma once
// The chart's small dialogs and its desktop host: "指标参数调整" (TTTiao), "指标用法" (TNotes),
// and QtChartHost, through which the chart's commands reach message boxes, the colour and
// file-open dialogs, the clipboard, the default application and the formula editor.

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "chart/command_menu.h"
#include "chart/param_adjust.h"

class QLabel;
class QPlainTextEdit;
class QSpinBox;

namespace vantor {

class FormulaHost;

// One row per parameter: name, value with its up-down spinner held inside the range, the
// range; every change is applied to the chart at once. 恢复缺省 sets the defaults, 关闭 closes.
class TTTiao : public QDialog {
    Q_OBJECT
public:
    TTTiao(TGP& chart, ChartWindow& window, QWidget* parent = nullptr);
    QSpinBox* Spinner(int row) const { return ed_.at(static_cast<size_t>(row)); }
    int Num() const { return static_cast<int>(ed_.size()); }

private:
    void EdChange(int row);
    void FlatGP2Click();

    ParamAdjust adjust_;
    std::vector<QSpinBox*> ed_;
    bool restoring_ = false;
};

// The usage notes of a formula, one a line: 清除 empties them, 保存 closes with yes, 关闭 closes.
class TNotes : public QDialog {
    Q_OBJECT
public:
    TNotes(const std::string& caption, const std::string& lines, QWidget* parent = nullptr);
    std::string Lines() const;
    QPlainTextEdit* Memo() const { return memo1_; }

private:
    QPlainTextEdit* memo1_;
};

class QtChartHost : public ChartCommandHost {
public:
    // `programDir` is where "修改指标公式" saves the window's formula.
    QtChartHost(QWidget* parent, std::string programDir);
    ~QtChartHost() override;
    void Message(const std::string& text) override;
    bool Confirm(const std::string& text, const std::string& title) override;
    bool ChooseColor(TColor initial, TColor& chosen) override;
    bool OpenFileName(const FileOpenRequest& request, std::string& path) override;
    void OpenPath(const std::string& path) override;
    void PutImageOnClipboard(const QImage& image) override;
    bool EditFormula(TGP& chart) override;
    void AdjustParams(TGP& chart, ChartWindow& window) override;
    bool EditNotes(const std::string& caption, std::string& lines) override;

private:
    QWidget* parent_;
    std::string programDir_;
    std::unique_ptr<FormulaHost> formulas_;
};

} // namespace vantor
