#pragma once
// The main window "Vantor操盘训练系统": menus, the period tool bar, the left pages (期货交易,
// 进度选择, 说明), the right pages (盘感训练 with the chart and the code box, 资金曲线, 交易日志,
// 系统设置). It wires each control to one operation of the practice controller and shows what
// the controller holds after every operation. Later features add menus, pages and panels
// through the accessors below.

#include <QMainWindow>
#include <QPointer>
#include <memory>

#include "practice/practice.h"
#include "ui/qt_host.h"

class QAction;
class QCompleter;
class QLineEdit;
class QMenu;
class QTabWidget;
class QStackedLayout;
class QToolBar;

namespace vantor {

class ChartWidget;
class QtChartHost;
class ConfigDownload;
class DrawToolsPanel;
class EquityPage;
class IndicatorPanel;
class ImportDialog;
class JournalPage;
class ProgressPage;
class SettingsPage;
class SideViewWidget;
class TradePanel;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // `quiet`: messages to standard error and every question answered yes (a run without a
    // display).
    MainWindow(const std::string& programDir, const std::string& accountName, bool quiet = false,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Creates the controller's objects and loads the first bars (the window's first show).
    void Start();
    // Shows the controller's state in every control.
    void Sync();

    TForm1& Form() { return *form_; }
    ChartWidget* Chart() const { return chart_; }
    TradePanel* Trades() const { return trades_; }
    ProgressPage* Progress() const { return progress_; }
    SettingsPage* Settings() const { return settings_; }
    JournalPage* Journal() const { return journal_; }
    EquityPage* Equity() const { return equity_; }
    QTabWidget* LeftPages() const { return left_; }
    QTabWidget* RightPages() const { return right_; }
    QLineEdit* CodeBox() const { return code_; }
    QMenu* ToolsMenu() const { return tools_; }
    QToolBar* PeriodBar() const { return periods_; }
    // The "技术指标" panel; null when the formula library could not be opened.
    IndicatorPanel* Indicators() const { return indicators_; }
    // The import dialog (工具 › 数据导入) while it exists, and the 下载配置 command.
    ImportDialog* Import() const;
    ConfigDownload* Download() const { return download_; }
    DrawToolsPanel* DrawTools() const { return drawPanel_; }
    // The code box's list of instruments (its completer).
    QStringList CodeList() const;

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void BuildPeriodBar();
    void BuildToolDialogs();
    bool TextBoxHasFocus() const;
    // An import or a download runs on a worker thread.
    bool WorkRunning() const;

    QtHost host_;
    // The chart's dialogs; declared before the controller so the chart never outlives it.
    std::unique_ptr<QtChartHost> chartHost_;
    std::unique_ptr<TForm1> form_;
    ChartWidget* chart_ = nullptr;
    TradePanel* trades_ = nullptr;
    ProgressPage* progress_ = nullptr;
    SettingsPage* settings_ = nullptr;
    JournalPage* journal_ = nullptr;
    EquityPage* equity_ = nullptr;
    QTabWidget* left_ = nullptr;
    QTabWidget* right_ = nullptr;
    QLineEdit* code_ = nullptr;
    QMenu* tools_ = nullptr;
    QToolBar* periods_ = nullptr;
    SideViewWidget* side_ = nullptr;
    IndicatorPanel* indicators_ = nullptr;
    QStackedLayout* chartStack_ = nullptr;
    QAction* sideAction_ = nullptr;
    QAction* drawTools_ = nullptr;
    QAction* markers_ = nullptr;
    std::vector<QAction*> minuteActions_;
    QPointer<ImportDialog> import_;
    ConfigDownload* download_ = nullptr;
    DrawToolsPanel* drawPanel_ = nullptr;
    QCompleter* codes_ = nullptr;
    std::vector<std::string> shownCodes_;
    bool closing_ = false;
};

} // namespace vantor
