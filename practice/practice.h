#pragma once
// TForm1: the practice controller, the logic of the main window. It owns for the whole run
// the bar store, the contract-parameter source, the futures account and the chart core, and
// holds what the window's boxes, radio groups and captions show. The desktop forwards each
// click, key and edit to one operation here and shows the result; everything the controller
// needs from the desktop (messages, questions, timers, opening folders) goes through
// PracticeHost, so the whole practice also runs headless.

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "account/host.h"
#include "account/qh_account.h"
#include "account/sqlite_db.h"
#include "account/sxf.h"
#include "chart/multi_period.h"
#include "chart/tgp.h"
#include "journal/journal.h"
#include "market/stock.h"
#include "practice/practice_host.h"
#include "practice/settings.h"
#include "practice/trade_marks.h"

namespace vantor {

// What the window's controls hold. Boxes keep their text as typed; radio groups their item.
struct FormControls {
    std::string codeBox;
    std::vector<std::string> codeList;
    bool codeHint = false; // "更换品种后，请在代码框点击回车载入数据"
    std::string startRowBox = "1";
    std::string dateFormatBox = "yyyymmdd";
    std::string lotsBox = "0";
    std::string stopPriceBox = "0";
    bool autoStop = true; // 自动盈损
    std::string playIntervalBox = "10";
    std::string slippageBox = "0";
    std::string initialFundsBox = "10000";
    std::string skipBarsBox = "10"; // 前进N根: the bars to reveal
    // Radio groups; their own defaults are item 1 for all seven.
    int basePeriod = 1; // 基础周期: 0 一分钟, 1 日线
    int highLow = 1;    // 高低点: 0 显示, 1 隐藏
    int step = 1;       // 步长: 0 基础周期, 1 当前周期
    int dateAxis = 1;   // 日期代码: 0 显示, 1 隐藏
    int tips = 1;       // 确认提示: 0 显示, 1 隐藏
    int mode = 1;       // 训练模式: 0 二踢脚, 1 收盘价
    int feeModel = 1;   // 计费方式: 0 按手收费, 1 按成交额(1：1w)
    bool drawTools = true;
    // Shown by the controller.
    std::string playCaption = "播放";
    std::string positionText;
    TColor positionColour = 0;
    std::string windowTitle;
    bool minutePeriods = true; // the minute period commands are enabled
};

// Trade directions as the journal stores them.
inline constexpr const char* kOpenLong = "多开";
inline constexpr const char* kCloseLong = "多平";
inline constexpr const char* kOpenShort = "空开";
inline constexpr const char* kCloseShort = "空平";
inline constexpr const char* kMainTitle = "Vantor操盘训练系统";
inline constexpr const char* kThemeKey = "主题";
inline constexpr const char* kLinesFolder = "lines"; // drawn objects, one file per instrument

class TForm1 {
public:
    TForm1(std::string programDir, std::string accountName, PracticeHost& host);
    ~TForm1();
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    // --- start-up and settings ---
    // Creates the journal and the parameter database when missing and ensures the account's
    // rows; then shows the window: store, source and account, saved formulas, folders,
    // config.ini, the saved account and position, the contract, the first bars.
    void Startup();
    void ReadSettings();
    // Writes config.ini and saves the account. False (with a message) when config.ini could
    // not be written.
    bool WriteSettings();
    // Fills the code list from the base folder and returns one code at random ("" when none).
    std::string ListInstruments();
    std::string DataFilePath();
    void ApplyContract(const std::string& code);
    // The contract parameters of the instrument on the chart looked up and applied again
    // (after sxf.db was replaced), and the account view refreshed.
    void ReapplyContract();
    void LoadRandom();
    void ShowChart();
    void SwitchPeriod(int value);
    // A period command: the chart's period, then SwitchPeriod(value).
    void PeriodCommand(TWeekStyle zhouQi, int value);

    // --- settings page ---
    void SetFeeModel(int item);
    void SetHighLow(int item);
    void SetDateAxis(int item);
    void SetTips(int item);
    void SetMode(int item);
    void SetBasePeriod(int item);
    void SetStep(int item);
    void SetInitialFunds(const std::string& text);
    void SetPlayInterval(const std::string& text);
    void SetSlippage(const std::string& text);
    void SaveSettingsButton();

    // --- loading ---
    // Text typed into the code box (upper-cased; the hint turns on).
    void SetCodeText(const std::string& text);
    void CodeEnter();
    void RandomTraining();
    void StartRowEnter();
    void StartRowDoubleClick();
    // The date picker's date as yyyymmdd digits (formatted by the date format box's text).
    void ChooseStartDate(int year, int month, int day);
    void InitAccountMenu();

    // --- replay ---
    void NextBar();
    void StepForward();
    void PrevBar();
    void PlayPause();
    void ToggleTickView();
    // The chart's own keys: Tab swaps the main window's formula, Space toggles the tick
    // timer in the tick view, F5 toggles the tick view. True when the key was one of them.
    bool ChartKey(int qtKey);

    // --- skipping ahead (skip_ahead.cpp) ---
    // 跳到下一交易日: reveals base bars until the first bar of the next trading day.
    // 前进N根: reveals the skip box's number of bars of the displayed period. Both run the
    // normal step for every bar (in 二踢脚 mode both halves of it) and stop early where a
    // stop close, a forced close, the overnight warning or the end of the data comes; the
    // chart repaints and the account is saved once, at the end.
    void SkipToNextDay();
    void SkipBars();

    // --- keyboard-only practice (keys.cpp) ---
    // A key pressed while no text box has the focus (Qt::Key; `ctrl` with Control held,
    // `repeat` for an auto-repeated press). True when it is one of the practice keys.
    bool PracticeKey(int qtKey, bool ctrl, bool repeat);
    // A quick value for the lots box.
    void QuickLots(int lots);

    // --- trade marks on the K-line window (trade_marks.cpp) ---
    void SetTradeMarkersShown(bool on);
    bool TradeMarkersShown() const { return marksShown_; }

    // --- trades ---
    bool OpenLong(double lots);
    bool OpenShort(double lots);
    bool CloseLong(double lots);
    bool CloseShort(double lots);
    void WriteTradeRow(const std::string& direction, const std::string& picture,
                       const std::string& quantity);
    void MarkTrade(int kind, double lots);
    void RefreshAccountView();
    void BuyOpenButton();
    void BuyCloseButton();
    void SellOpenButton();
    void SellCloseButton();
    void ReverseButton();
    void CloseAllButton();
    // The trade keys A, D and S (upper or lower case); the desktop calls it only while no
    // text box has the focus. False for any other key.
    bool TradeKey(char key);
    // Double click on the lots box: the larger of the long and short lots.
    void LotsDoubleClick();
    // A key typed into the lots or stop-price box: digits, '.' and backspace are taken;
    // anything else is dropped with "只能输入数字!".
    bool NumberKeyAllowed(char key);

    // --- window menus ---
    // 白色主题 (grey chart background) or 黑色主题 (black), remembered in the account's
    // section of config.ini (key kThemeKey: 0 white, 1 black) and applied at the next start.
    void SetTheme(bool white);
    void SetWindowCount(int n);
    void DeleteCurrentWindow();
    // The help page, opened with the desktop's default handler.
    void SetHelpFile(const std::string& path) { helpFile_ = path; }
    void OpenHelp();

    // --- multi-period side view (多周期同列) ---
    // Saves the window formulas, then shows nine charts of the instrument's periods for the
    // base period; off hides them again.
    void ShowSideView(bool on);
    bool SideViewShown() const { return sideView_ != nullptr; }
    TfrmDzq* SideView() { return sideView_.get(); }
    // Refills the side view from the store when it is shown.
    void RedrawSideView();
    // A popup-menu command on side chart k (layouts and periods) in a view of w x h.
    void SideViewCommand(int k, const std::string& caption, int w, int h);

    // --- closing ---
    // Asks before closing; on Yes writes the settings. False: stay open.
    bool ConfirmClose();
    // Saves each chart window's formula to its index file.
    void SaveWindowFormulas();

    // --- drawn objects kept with the instrument (drawn_objects.cpp) ---
    // The file of an instrument's drawn objects ("" for a code that cannot name a file).
    std::string DrawnObjectsFile(const std::string& code) const;
    // Writes the loaded instrument's drawn objects (removes its file when there are none);
    // a failure is shown.
    void SaveDrawnObjects();
    // Puts the loaded instrument's saved objects on the chart in place of the drawn ones;
    // a malformed file is ignored with a message and nothing of it is applied.
    void RestoreDrawnObjects();

    // --- state ---
    FormControls& Controls() { return c_; }
    const FormControls& Controls() const { return c_; }
    TGP& Chart() { return chart_; }
    const Tstock& Store() const { return store_; }
    const TqhAcount& Account() const { return account_; }
    TqhAcount& AccountForTest() { return account_; }
    const std::string& ProgramDir() const { return programDir_; }
    const std::string& AccountName() const { return accountName_; }
    bool ConfirmTips() const { return c_.tips == 0; }
    // Rows the controller has written to the journal (trades, equity points, initialisation).
    long long JournalWrites() const { return journal_.Writes(); }
    bool TwoStepMode() const { return c_.mode == 0; }
    bool FullBarShown() const { return fullBarShown_; }
    bool Playing() const { return playTimer_ && playTimer_->Active(); }
    bool TickTimerRunning() const { return tickTimer_ && tickTimer_->Active(); }
    // The timers' interval: the play interval box × 100 ms, at least 100 ms.
    int PlayIntervalMs() const;
    std::string ConfigPath() const;

private:
    // Shows the store's bars of the chart's period (open-only while the newest bar is not
    // shown in full) and values the account at the chart's last close.
    void ShowBars();
    void Advance();
    void StopPlay();
    void StopTickTimer();
    void TickTimerTick();
    void StopAtPrice();
    void ForcedClose();
    void SaveAccount();
    bool Trade(const char* direction, double lots, const std::string& quantity);
    // A trade button: the trade with the lots box, its mark and confirmation, or the
    // account's message; then the account view.
    void TradeButton(bool (TForm1::*trade)(double), int markKind, const char* success);
    // Closes every long (short) lot; the journal row carries the lots traded.
    bool CloseAllLong();
    bool CloseAllShort();
    void Notify() { host_.Changed(); }
    void Tip(const std::string& text) {
        if (ConfirmTips()) host_.Message(text);
    }
    void ApplyControlsToChart();
    void SetPeriodCommandsForBase();
    AccountSettings CurrentSettings() const;
    void Fail(const std::string& text) { host_.Message(text); }
    // One bar of a skip; false when the skip stops at this bar.
    bool SkipOneBar();
    // Runs `bars` skip steps with the advance of `step` (0 base bars, 1 displayed bars), or
    // until `done` says the target is reached.
    void RunSkip(int step, int bars, const std::function<bool()>& done);
    void LoadTradeMarks();
    // Replaces the trade marks on the K-line window by those of the shown bars.
    void PlaceTradeMarkers();
    // A trade was made at the revealed bar: its mark joins the chart.
    void NoteTradeMark(const std::string& direction);

    std::string programDir_;
    std::string accountName_;
    PracticeHost& host_;
    Host messages_; // the engine's messages, shown by the host
    FormControls c_;
    Tstock store_;
    TSxf sxf_;
    TqhAcount account_;
    TGP chart_;
    TJournal journal_;
    // An idle connection to the journal for the whole run: it keeps the write-ahead log's
    // index alive, so the connection each journal operation opens and closes neither rebuilds
    // it nor checkpoints (a replay step's save never waits for the disk).
    SqlDatabase journalAnchor_;
    bool fullBarShown_ = false;
    std::string helpFile_;
    std::string newAccountFunds_; // the funds of an account created at this start
    std::string loadedCode_;      // the code of the instrument on the chart
    std::string lastSaveError_;   // the last journal failure shown
    std::mt19937 random_{std::random_device{}()};
    std::unique_ptr<TfrmDzq> sideView_;
    std::unique_ptr<PracticeTimer> playTimer_;
    std::unique_ptr<PracticeTimer> tickTimer_;
    // The tick view's day: times, prices, volumes and the counter.
    std::vector<double> tickTime_, tickPrice_, tickVol_;
    int tickCounter_ = 0;
    // Skipping: the advance a skip forces (-1: the 步长 group's), trades made so far and
    // whether the last step warned about holding overnight.
    int stepOverride_ = -1;
    int tradeCount_ = 0;
    bool overnightWarned_ = false;
    // Trade marks: the loaded instrument's trades, read from the journal once per code.
    std::vector<TradeMark> tradeMarks_;
    std::string marksCode_;
    bool marksLoaded_ = false;
    bool marksShown_ = true;
};

// The practice keys and what each does, one "key<TAB>action" line per key, for the help.
std::string ShortcutHelpText();

} // namespace vantor
