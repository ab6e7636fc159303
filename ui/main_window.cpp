#include "ui/main_window.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QCoreApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStackedLayout>
#include <QStatusBar>
#include <QStringListModel>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

#include "chart/navigation.h"
#include "ui/chart_dialogs.h"
#include "ui/chart_menu.h"
#include "ui/chart_widget.h"
#include "ui/download.h"
#include "ui/draw_tools_panel.h"
#include "ui/equity_page.h"
#include "ui/import_dialog.h"
#include "ui/indicator_tree.h"
#include "ui/journal_page.h"
#include "ui/pages.h"
#include "ui/side_view.h"
#include "ui/sxf_dialog.h"
#include "ui/trade_panel.h"

#ifndef VANTOR_VERSION
#define VANTOR_VERSION "0.0.0"
#endif

namespace vantor {

namespace {
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
} // namespace

MainWindow::MainWindow(const std::string& programDir, const std::string& accountName, bool quiet,
                       QWidget* parent)
    : QMainWindow(parent), host_(quiet) {
    host_.SetParent(this);
    form_ = std::make_unique<TForm1>(programDir, accountName, host_);
    setWindowTitle(kMainTitle);
    resize(1280, 800);
    setMinimumSize(800, 600);

    chart_ = new ChartWidget(form_->Chart());
    chart_->onKey = [this](int key) {
        return form_->Chart().HostNavigationKey(key) || form_->ChartKey(key);
    };
    // The chart's hint display; the wheel zooms as the up and down arrows do.
    TGP& chart = form_->Chart();
    chart.SetShowHint(true);
    chart.SetHint(kChartHint);
    chart_->setToolTip(QString::fromStdString(chart.Hint()));
    chart.OnMouseWheelUp = [&chart] { chart.KeyDown(Qt::Key_Up, false, false); };
    chart.OnMouseWheelDown = [&chart] { chart.KeyDown(Qt::Key_Down, false, false); };
    // The chart's command menu on a right click; its dialogs through the desktop.
    chartHost_ = std::make_unique<QtChartHost>(this, programDir);
    form_->Chart().SetCommandHost(chartHost_.get());
    chart_->onContextMenu = [this](const QPoint& at) {
        QMenu* menu = BuildChartMenu(form_->Chart(), this, [this] { Sync(); });
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(at);
    };

    left_ = new QTabWidget;
    trades_ = new TradePanel(*form_);
    progress_ = new ProgressPage(*form_);
    auto* info = new QPlainTextEdit(QStringLiteral("快捷键（文字框有焦点时不起作用）\n") +
                                    Q(ShortcutHelpText()) + "\n" + CodeReferenceText());
    info->setObjectName("info");
    info->setReadOnly(true);
    left_->addTab(trades_, QStringLiteral("期货交易"));
    left_->addTab(progress_, QStringLiteral("进度选择"));
    left_->addTab(info, QStringLiteral("说明"));
    left_->setMinimumWidth(240);
    left_->setMaximumWidth(360);

    // 盘感训练: the chart with its status line and the code box at its right end.
    auto* chartPage = new QWidget;
    auto* chartLayout = new QVBoxLayout(chartPage);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->setSpacing(0);
    chartStack_ = new QStackedLayout;
    side_ = new SideViewWidget(*form_);
    chartStack_->addWidget(chart_);
    chartStack_->addWidget(side_);
    chartLayout->addLayout(chartStack_, 1);
    auto* status = new QStatusBar;
    status->setSizeGripEnabled(false);
    status->addWidget(new QLabel(QStringLiteral("商品代码")));
    code_ = new QLineEdit;
    code_->setObjectName("code");
    code_->setMaximumWidth(140);
    codes_ = new QCompleter(new QStringListModel(this), this);
    codes_->setCaseSensitivity(Qt::CaseInsensitive);
    code_->setCompleter(codes_);
    status->addPermanentWidget(code_);
    chartLayout->addWidget(status);

    right_ = new QTabWidget;
    journal_ = new JournalPage(*form_, host_);
    equity_ = new EquityPage(*form_, host_);
    settings_ = new SettingsPage(*form_);
    right_->addTab(chartPage, QStringLiteral("盘感训练"));
    right_->addTab(equity_, QStringLiteral("资金曲线"));
    right_->addTab(journal_, QStringLiteral("交易日志"));
    right_->addTab(settings_, QStringLiteral("系统设置"));

    auto* split = new QSplitter;
    // The formula library's tree, left of the pages; it starts hidden.
    indicators_ = IndicatorPanel::Open(programDir, form_->Chart(), host_);
    if (indicators_) {
        split->addWidget(indicators_);
        indicators_->hide();
        indicators_->onLoaded = [this] { Sync(); };
    }
    split->addWidget(left_);
    split->addWidget(right_);
    split->setStretchFactor(split->indexOf(right_), 1);
    setCentralWidget(split);

    BuildMenus();
    BuildPeriodBar();
    drawPanel_ = new DrawToolsPanel(*form_, *chart_, *this);

    connect(code_, &QLineEdit::textEdited, this, [this](const QString& t) {
        form_->SetCodeText(t.toStdString());
        Sync();
    });
    connect(code_, &QLineEdit::returnPressed, this, [this] { form_->CodeEnter(); });
    host_.onChanged = [this] { Sync(); };
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    chart_->Release(); // the controller and its chart go before the child widgets
    if (import_) import_->StopAndWait(false);
    download_->StopAndWait();
}

void MainWindow::BuildToolDialogs() {
    tools_->addAction(QStringLiteral("费率设置"), this, [this] {
        auto* d = new SxfDialog(form_->ProgramDir(), this);
        d->show();
    });
    tools_->addAction(QStringLiteral("数据导入"), this, [this] {
        if (!import_) {
            import_ = new ImportDialog(form_->ProgramDir(), this);
            connect(import_, &ImportDialog::Imported, this, [this] {
                form_->ListInstruments(); // the code box lists the new files
                Sync();
            });
        }
        import_->show();
        import_->raise();
    });
    download_ = new ConfigDownload(*form_, this);
    tools_->addAction(QStringLiteral("下载配置"), download_, &ConfigDownload::Start);
}

ImportDialog* MainWindow::Import() const {
    return import_;
}

bool MainWindow::WorkRunning() const {
    return (import_ && import_->Busy()) || download_->Busy();
}

QStringList MainWindow::CodeList() const {
    return static_cast<QStringListModel*>(codes_->model())->stringList();
}

void MainWindow::BuildMenus() {
    QMenu* sys = menuBar()->addMenu(QStringLiteral("系统"));
    sys->addAction(QStringLiteral("账户初始化"), this, [this] { form_->InitAccountMenu(); });
    sys->addAction(QStringLiteral("系统目录"), this,
                   [this] { host_.OpenPath(form_->ProgramDir()); });
    sys->addSeparator();
    sys->addAction(QStringLiteral("退出"), this, &QWidget::close);

    QMenu* look = menuBar()->addMenu(QStringLiteral("外观"));
    look->addAction(QStringLiteral("白色主题"), this, [this] { form_->SetTheme(true); });
    look->addAction(QStringLiteral("黑色主题"), this, [this] { form_->SetTheme(false); });

    tools_ = menuBar()->addMenu(QStringLiteral("工具"));
    drawTools_ = tools_->addAction(QStringLiteral("划线"));
    drawTools_->setCheckable(true);
    connect(drawTools_, &QAction::toggled, this, [this](bool on) {
        form_->Controls().drawTools = on;
        Sync();
    });
    BuildToolDialogs();
    markers_ = tools_->addAction(QStringLiteral("成交标记"));
    markers_->setCheckable(true);
    connect(markers_, &QAction::toggled, this,
            [this](bool on) { form_->SetTradeMarkersShown(on); });

    QMenu* periods = menuBar()->addMenu(QStringLiteral("周期切换"));
    struct Cmd {
        const char* caption;
        TWeekStyle zq;
        int value;
    };
    const Cmd kMenu[] = {{"1分钟", wsmin1, 1},    {"3分钟", wsMin3, 3},    {"5分钟", wsMin5, 5},
                         {"15分钟", wsMin15, 15}, {"30分钟", wsMin30, 30}, {"60分钟", wsMin60, 60},
                         {"日线", wsDay, 240},    {"周线", wsWeek, 1680},  {"月线", wsMonth, 5280},
                         {"季度线", wsJi, 15840}, {"年线", wsYear, 60000}};
    for (const Cmd& c : kMenu) {
        QAction* a = periods->addAction(QString::fromUtf8(c.caption), this,
                                        [this, c] { form_->PeriodCommand(c.zq, c.value); });
        if (static_cast<int>(c.zq) < static_cast<int>(wsDay)) minuteActions_.push_back(a);
    }

    QMenu* windows = menuBar()->addMenu(QStringLiteral("窗口个数"));
    static const char* const kCounts[] = {"一个窗口", "二个窗口", "三个窗口", "四个窗口",
                                          "五个窗口", "六个窗口", "七个窗口", "八个窗口",
                                          "九个窗口", "十个窗口"};
    for (int n = 1; n <= 10; ++n) {
        QAction* a = windows->addAction(QString::fromUtf8(kCounts[n - 1]), this,
                                        [this, n] { form_->SetWindowCount(n); });
        a->setShortcut(QKeySequence(Qt::ALT | (n == 10 ? Qt::Key_0 : Qt::Key_0 + n)));
    }
    windows->addSeparator();
    windows->addAction(QStringLiteral("删除窗口"), this, [this] { form_->DeleteCurrentWindow(); });

    // 当前指标: the chart's commands on its current window, run by their captions.
    QMenu* current = menuBar()->addMenu(QStringLiteral("当前指标"));
    current->addAction(QStringLiteral("恢复所有默认指标"), this, [this] {
        form_->Chart().ReStoreWfc();
        Sync();
    });
    for (const char* c : {"修改指标公式", "指标用法注释", "调整指标参数", "恢复默认指标"})
        current->addAction(QString::fromUtf8(c), this, [this, c] {
            form_->Chart().CallMenu(c);
            Sync();
        });

    sideAction_ = menuBar()->addAction(QStringLiteral("多周期同列"));
    sideAction_->setCheckable(true);
    connect(sideAction_, &QAction::toggled, this, [this](bool on) { form_->ShowSideView(on); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("帮助"));
    help->addAction(QStringLiteral("使用说明"), this, [this] { form_->OpenHelp(); });
    help->addAction(QStringLiteral("关于"), this, [this] {
        host_.Message(std::string("Vantor操盘训练系统\n当前版本：") + VANTOR_VERSION);
    });
}

void MainWindow::BuildPeriodBar() {
    periods_ = addToolBar(QStringLiteral("周期"));
    periods_->setObjectName("periods");
    periods_->setMovable(false);
    struct Cmd {
        const char* caption;
        TWeekStyle zq;
        int value;
    };
    const Cmd kBar[] = {{"1分钟", wsmin1, 1},    {"5分钟", wsMin5, 5},    {"15分钟", wsMin15, 15},
                        {"30分钟", wsMin30, 30}, {"60分钟", wsMin60, 60}, {"日线", wsDay, 1},
                        {"周线", wsWeek, 5},     {"月线", wsMonth, 22},   {"季线", wsJi, 66},
                        {"年线", wsYear, 250}};
    for (const Cmd& c : kBar) {
        QAction* a = periods_->addAction(QString::fromUtf8(c.caption), this,
                                         [this, c] { form_->PeriodCommand(c.zq, c.value); });
        if (static_cast<int>(c.zq) < static_cast<int>(wsDay)) minuteActions_.push_back(a);
    }
    periods_->addSeparator();
    periods_->addAction(QStringLiteral("分时图"), this, [this] { form_->ToggleTickView(); });
    QAction* tree = periods_->addAction(QStringLiteral("技术指标"), this, [this] {
        if (indicators_) indicators_->setVisible(!indicators_->isVisible());
    });
    tree->setObjectName("ToolButton54");
    tree->setEnabled(indicators_ != nullptr);
}

void MainWindow::Start() {
    form_->Startup();
    Sync();
}

void MainWindow::Sync() {
    const FormControls& c = form_->Controls();
    setWindowTitle(Q(c.windowTitle));
    if (code_->text().toStdString() != c.codeBox) code_->setText(Q(c.codeBox));
    code_->setToolTip(c.codeHint ? QStringLiteral("更换品种后，请在代码框点击回车载入数据")
                                 : QString());
    if (c.codeList != shownCodes_) {
        shownCodes_ = c.codeList;
        QStringList list;
        for (const auto& code : shownCodes_) list << Q(code);
        static_cast<QStringListModel*>(codes_->model())->setStringList(list);
    }
    for (QAction* a : minuteActions_) a->setEnabled(c.minutePeriods);
    {
        const QSignalBlocker block(drawTools_);
        drawTools_->setChecked(c.drawTools);
    }
    {
        const QSignalBlocker block(markers_);
        markers_->setChecked(form_->TradeMarkersShown());
    }
    {
        const QSignalBlocker block(sideAction_);
        sideAction_->setChecked(form_->SideViewShown());
    }
    drawPanel_->Sync();
    chartStack_->setCurrentWidget(form_->SideViewShown() ? static_cast<QWidget*>(side_) : chart_);
    side_->update();
    trades_->Sync();
    progress_->Sync();
    settings_->Sync();
    journal_->Follow();
    equity_->Follow();
    chart_->update();
}

bool MainWindow::TextBoxHasFocus() const {
    QWidget* w = QApplication::focusWidget();
    if (!w) return false;
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w)) return true;
    if (auto* t = qobject_cast<QPlainTextEdit*>(w)) return !t->isReadOnly();
    if (auto* t = qobject_cast<QTextEdit*>(w)) return !t->isReadOnly();
    if (auto* cb = qobject_cast<QComboBox*>(w)) return cb->isEditable();
    return false;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // The practice keys act once, from wherever they are pressed in this window, but never
    // while a text box takes the typing (a code such as "SA" must not open positions); Esc
    // leaves the text box for the chart, L enters the lots box.
    auto* w = qobject_cast<QWidget*>(watched);
    if (event->type() != QEvent::KeyPress || !w || w->window() != this)
        return QMainWindow::eventFilter(watched, event);
    auto* k = static_cast<QKeyEvent*>(event);
    const int key = k->key();
    if (k->modifiers() & (Qt::AltModifier | Qt::MetaModifier))
        return QMainWindow::eventFilter(watched, event);
    const bool ctrl = k->modifiers() & Qt::ControlModifier;
    if (TextBoxHasFocus()) {
        if (key != Qt::Key_Escape) return QMainWindow::eventFilter(watched, event);
        chart_->setFocus();
        return true;
    }
    // Space on a focused check box or radio button keeps toggling it.
    if (key == Qt::Key_Space && qobject_cast<QAbstractButton*>(QApplication::focusWidget()))
        return QMainWindow::eventFilter(watched, event);
    if (key == Qt::Key_L && !ctrl) {
        left_->setCurrentWidget(trades_);
        trades_->lots->setFocus();
        trades_->lots->selectAll();
        return true;
    }
    if (form_->PracticeKey(key, ctrl, k->isAutoRepeat())) return true;
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (!closing_ && WorkRunning()) {
        if (!host_.Ask("数据导入或下载正在进行，退出将停止它。确定要退出吗？")) {
            e->ignore();
            return;
        }
        // Files not started are left out; the one being written is finished.
        if (import_) import_->StopAndWait(false);
        download_->StopAndWait();
    }
    if (closing_ || form_->ConfirmClose()) {
        closing_ = true;
        if (import_ && import_->isVisible()) import_->close(); // keeps its [set] boxes
        e->accept();
    } else {
        e->ignore();
    }
}

} // namespace vantor
