#pragma once
// TGP: the chart control core. It owns the ten bar-view windows and the two tick-view
// windows, divides its area among them, paints them in order into an off-screen image,
// draws the tab strip, classifies points into regions and forwards data, formulas and
// settings to its windows. It renders into a QImage of any size; the widget that shows
// it and forwards mouse and keys lives in the desktop layer.

#include <QImage>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/chart_window.h"
#include "chart/command_menu.h"
#include "chart/layout.h"
#include "chart/quote_records.h"
#include "formula/func_str.h"
#include "market/price.h"

namespace vantor {

class Tstock;

class TGP {
public:
    // Makes the formula program of a window; `parent` is the program whose raw series the
    // new one reads (nullptr for the two data-owning windows).
    using ProgramFactory = std::function<std::unique_ptr<WindowProgram>(WindowProgram* parent)>;

    explicit TGP(ProgramFactory factory = {});
    ~TGP();
    TGP(const TGP&) = delete;
    TGP& operator=(const TGP&) = delete;

    // The settings the practice's main window gives its chart: no board, high/low marks
    // or shaded bars, left scale only, black fill, Arial 15 yellow, 100 tick slots, the
    // caption "训练" and the period caption "日线".
    void UseMainWindowSettings();

    // --- host ---
    // Where formula errors of chart operations and the programs' own messages go; the
    // host must outlive the chart (none: they are dropped).
    void SetHost(const Host* host);
    // The program folder: where the formulas look up the index data files and the
    // windows the pictures of their drawing calls.
    void SetProgramDir(const std::string& dir);
    const std::string& ProgramDir() const { return programDir_; }
    std::function<bool()> HasFocus; // keyboard focus of the control (none: no focus)

    // --- size and painting ---
    // Resizes the control; window heights follow proportionally.
    void SetSize(int width, int height);
    // Device pixels per pixel of the control: the image is rendered that much denser (and
    // carries the ratio), so a high-density screen shows crisp lines and text.
    void SetDevicePixelRatio(double r);
    double DevicePixelRatio() const { return ratio_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Update lock: between BeginUpdate and EndUpdate (they nest) nothing is rendered;
    // leaving the outermost one marks the chart for one repaint.
    void BeginUpdate() { ++updateLock_; }
    void EndUpdate();
    bool Locked() const { return updateLock_ > 0; }
    class UpdateGuard {
    public:
        explicit UpdateGuard(TGP& chart) : chart_(chart) { chart_.BeginUpdate(); }
        ~UpdateGuard() { chart_.EndUpdate(); }
        UpdateGuard(const UpdateGuard&) = delete;
        UpdateGuard& operator=(const UpdateGuard&) = delete;

    private:
        TGP& chart_;
    };
    // Marks the chart for a repaint; operations call it instead of painting. The layout
    // (window heights, visible range, cursor) is settled here, the pixels on demand.
    void ReDraw();
    // The whole control, rendered now when anything changed since the last render.
    const QImage& Image();
    // The number of renders so far.
    int RepaintCount() const { return repaintCount_; }

    // --- windows ---
    // The windows stay the chart's; a caller may run or read a window's program through
    // them, while their order, heights and the current one change only by the operations.
    // The K-line window (the first bar-view window, holding the base series) and the tick
    // view's price and volume windows.
    ChartWindow* K_Main() const { return K_Main_; }
    ChartWindow* FS_Main() const { return FS_Main_; }
    ChartWindow* FS_VOL() const { return FS_VOL_; }
    // The bar-view windows in display order (the first TechWindows() shown) and their
    // heights; the tick view's heights.
    const std::array<ChartWindow*, kMaxWindows>& GS() const { return GS_; }
    const WindowHeights& GSH() const { return GSH_; }
    int FSH() const { return FSH_; }
    int VOLH() const { return VOLH_; }
    // The index of the current bar-view window in GS().
    int CURGS() const { return CURGS_; }
    // The window under the last press or move (none over the tab strip or the board).
    ChartWindow* FCurWindow() const { return FCurWindow_; }
    // The window a number names: 0..9 bar-view windows, -1 FS_Main, -2 FS_VOL.
    ChartWindow* WindowOf(int win) const;
    // The current window: in the tick view the flagged tick window, else GS[CURGS].
    ChartWindow* CurrentWindow() const;
    int TechWindows() const { return FTechWindows_; }
    void SetTechWindows(int value);
    bool SetCurWin(int win);
    void DelCurWin();

    // --- drawing objects (win as WindowOf: 0 K_Main, 0..9 bar-view windows) ---
    // They stay through reloads and period switches, anchored to their bars and values.
    void AddObject(int win, const XXLine& line);
    // Removes every object of the kind `kind`.
    void RemoveObjects(int win, int kind);
    // The window's objects in painting order (none for a number that names no window).
    const std::vector<XXLine>& Objects(int win) const;
    void ClearLine(int win);
    void SetShowLine(int win, bool on);

    // --- drawing tools (objects/line_tools.cpp) ---
    // Starts placing an object of `kind` with the tool's hint text as its name: yellow,
    // width 1, solid, font size 8; the tool ends after one object.
    void StartTool(int kind, const std::string& hint);
    // Ends any tool (the "mouse" button); an object half placed is dropped.
    void EndTool();
    // Frees every object of every window, position lines included.
    void ClearLine();
    // Frees the last object of the window of the last press.
    void delLastline();
    // Objects of every window drawn (true) or hidden.
    void HideLine(bool value);
    TCursorType FCursorType() const { return tool_.mode; }
    // A tool has its first point down: the pointer belongs to the chart until it ends.
    bool Placing() const { return tool_.mode == ctDrawLine && tool_.line.placed > 0; }
    // The objects of the window under the last press or move (0 without one).
    int CurWindowObjectCount() const;
    // The user-drawn objects of the bar-view windows (position lines and trade marks left
    // out), and replacing them by others (those kept in place).
    std::array<std::vector<XXLine>, kMaxWindows> UserObjects() const;
    void SetUserObjects(const std::array<std::vector<XXLine>, kMaxWindows>& objects);
    // Asked for the text, colour and size when a text object is placed; false (cancelled)
    // keeps the template's. None: the template's.
    std::function<bool(XXLine& tpl)> OnAddText;

    // --- formulas ---
    bool LoadWfc(ChartWindow* gs, const std::string& wfc);
    bool SetWFCZY(int win, const std::string& wfc);
    bool SetWFCString(int win, const std::string& text);
    bool SetWFCFile(int win, const std::string& fileName);
    bool SetWFCCurZY(const std::string& wfc);
    bool SetWFCCurString(const std::string& text);
    bool SetWFCCurFile(const std::string& fileName);
    bool SaveWfcFile(int win, const std::string& fileName);
    void ReStoreWfc();

    // --- images ---
    // The current window alone, as wide as the control (BMP file).
    bool SaveToBmp(const std::string& name);
    // The whole control without tab strip and cursor, JPEG at quality 100 whatever the
    // extension.
    bool SaveToBmpAll(const std::string& name);
    // The control's current image as a BMP file.
    bool BmpSaveToFile(const std::string& name);
    // The control's current image on the clipboard.
    bool BmpSaveToclipboard();
    // The current window's image (what SaveToBmp writes).
    QImage CurrentWindowImage();

    // --- command menu, formula dialogs and exports (chart_commands.cpp) ---
    // Where the commands' dialogs, questions and messages go; the host must outlive the
    // chart (none: commands that need the desktop do nothing).
    void SetCommandHost(ChartCommandHost* host) { commandHost_ = host; }
    // The command menu, its check marks set for the moment (call it before showing it).
    const std::vector<MenuItem>& FITEM();
    // Runs the first item whose caption equals the trimmed `Str`, as if clicked; true
    // whether or not one was found.
    bool CallMenu(const std::string& Str);
    // Runs item `index` of FITEM as if clicked.
    void RunMenuItem(int index);
    // The formula editor, the usage notes and the parameter dialog on the current window;
    // false when there is none.
    bool EditFunc();
    bool ShowNote();
    bool Tiao();
    // The current window's results as a text report; FCurWindow's as a table, with the
    // message name + " 保存完成!"; K_Main's base series to / from a data file.
    bool SaveToFile(const std::string& name);
    bool SaveToExcel(const std::string& name);
    bool DataToFile(const std::string& name);
    bool DataFromFile(const std::string& name);
    // Compiles and runs `text` as the window's program and repaints; false when it did not
    // compile.
    bool SetWindowProgram(ChartWindow* w, const std::string& text);
    // An export's file in the program folder: code + "_" + period caption (+ "_" + formula
    // name when `formula`) + extension, with refused characters replaced.
    std::string ExportFile(const ChartWindow& w, bool formula, const std::string& ext) const;

    // --- queries ---
    double GetLast(const std::string& name) const;
    double FS_GetLast(const std::string& name) const;
    std::string GetLastDate() const;
    // The formula text of a window ("" for a number that names none).
    std::string FormulaText(int win) const;
    // Empties the tick view's series (FS_Main and the windows reading it).
    void ClearTicks();
    TWeekStyle ZhouQi() const { return K_Main_->ZhouQi; }
    int BarCount() const;

    // --- regions and mouse ---
    HitResult HitTest(int x, int y);
    // The region of the last press or move.
    TWeiStyle FWeiStyle() const { return FWeiStyle_; }
    // --- events the desktop's chart widget forwards ---
    // A button press at (x, y): hit test, selection of the current window, and with the
    // left button tab clicks and the start of a drag.
    void MouseDown(int x, int y, bool right = false);
    // A move with the button held drags a splitter or pans; without it only hit-tests.
    void MouseMove(int x, int y, bool buttonDown);
    // A button release at (x, y) (no position: where the last move was).
    void MouseUp(int x = -1, int y = -1);
    void DblClick(int x, int y);
    // A wheel step (+120 up, -120 down) raises OnMouseWheelUp / OnMouseWheelDown.
    void MouseWheel(int delta, int x, int y);
    // A key (Qt::Key); true when the chart used it.
    bool KeyDown(int qtKey, bool shift, bool ctrl);
    void ContextMenu(int x, int y);
    std::function<void()> OnMouseWheelUp, OnMouseWheelDown;
    // The tab strip as the control shows it (rendered first when out of date), and a
    // click on it.
    const TabStrip& Tabs() {
        Render();
        return tabs_;
    }
    void ClickTab(int x);
    // A click on the board's tab row (分笔, 分价, 跟踪) selects the tab under x.
    void ClickBoardTab(int x);

    // --- cursor, readout and navigation (tgp_cursor.cpp) ---
    // The control's hint display (the arrow keys and the cursor double click act only
    // with it) and the hint text; the main window sets both. Neither changes the image.
    bool ShowHint() const { return ShowHint_; }
    void SetShowHint(bool v) { ShowHint_ = v; }
    const std::string& Hint() const { return Hint_; }
    void SetHint(const std::string& v) { Hint_ = v; }
    // The cursor-information window: shown (BZ) and not yet placed (First).
    struct HintState {
        bool BZ = false, First = true;
    };
    const HintState& FHint() const { return FHint_; }
    // Where the cursor lines are, in pixels of the control: -1 none; cury -2 when the
    // keyboard put the cursor on a bar.
    int curx() const { return curx_; }
    int cury() const { return cury_; }
    // What the chart asks of the window that shows its hint: show it with its top-left
    // corner at (x, y) of the control and `height` high (`place`: the first showing, move
    // it there), hide it, and set its title and text.
    std::function<void(int x, int y, int height, bool place)> OnHintShow;
    std::function<void()> OnHintHide;
    std::function<void(const std::string& title, const std::string& text)> OnHintText;
    // Whether the hint window is the foreground window; moving the mouse pointer out of the
    // chart (5 pixels left of and above its corner) when the keyboard opens the cursor.
    std::function<bool()> HintIsForeground;
    std::function<void()> OnMovePointerAway;
    // Enter on the keyboard cursor: the bar's yyyymmdd date and close.
    std::function<void(int date, float price)> OnGPDate;
    // A double click the chart does not use, with its region.
    std::function<void(TWeiStyle)> OnGPDBClick;
    void HintHide();
    // Shows the keyboard cursor on bar `bar` (held within the visible bars when painted).
    void SetKeyboardCursor(int bar);
    // The main window's navigation beyond the chart's own keys: Home and End put the
    // keyboard cursor on the first and the last bar (the view follows), Page Up and Page
    // Down show the previous and the next screen of bars. True when the key was one of them.
    bool HostNavigationKey(int qtKey);
    // The control lost the keyboard focus.
    void FocusLost();
    // The readout of the bar under the cursor, as the hint window shows it.
    std::string CursorHintText();

    // --- properties ---
    void SetQuanStyle(TQuanStyle v);
    TQuanStyle QuanStyle() const { return quanStyle_; }
    void SetLeftBar(int v);
    void SetScale(int v);
    void SetPrevClose(double v);
    void SetHigh(bool v);
    void SetStkName(const std::string& v) { FSTKNAME_ = v; }
    void SetStkLabel(const std::string& v) {
        FSTKLABEL_ = v;
        ReDraw();
    }
    void SetWeek(const std::string& v) { FWEEK_ = v; }
    void SetShowFs(bool v);
    bool ShowFs() const { return FShowFs_; }
    void SetShowCursor(bool v);
    bool ShowCursor() const { return FS_Main_->Cursor; }
    void SetShowTab(bool v);
    void SetShowBottom(bool v);
    void SetShowTop(bool v);
    void SetShowLeft(bool v);
    void SetShowRight(bool v);
    void SetShowBoard(bool v);
    void SetShowHighLow(bool v);
    void SetShowBar3d(bool v);
    void SetShowCurWindow(bool v);
    void SetLineColor(TColor v);
    void SetFillColor(TColor v);
    void SetFillStyle(BackStyle v);
    void SetKStyle(TKStyple v);
    void SetBoardWidth(int v);
    void SetFsAll(bool v);
    void SetPR10(bool v);
    void SetFsRow(int v);
    void SetFsCol(int v);
    void SetColor(TColor v);
    void SetFont(const FontSpec& f);

    // --- bars of a period handed over from a store (feeding.cpp) ---
    // Where handed-over bars come from: the store, its data file, the period and the first
    // bar taken (its index in the store's cache and its label). Bars handed over again from
    // the same place differ from the ones the chart holds at most from its last bar on:
    // a replay step changes the newest bar or appends one, a step back rebuilds it.
    struct BarSource {
        const void* store = nullptr;
        std::string file;
        TWeekStyle period = wsNone;
        int first = -1;
        double firstDate = 0, firstTime = 0;
        bool operator==(const BarSource&) const = default;
    };
    // The eight base series of `count` bars, from bar `from` on (count - from values each).
    struct BarColumns {
        int count = 0, from = 0;
        std::vector<double> date, time, open, high, low, close, amount, vol;
    };
    // The first bar that may differ when `count` bars from `source` are handed over: the
    // last bar the chart holds when they come from where its bars came from, else 0.
    int FirstChangedBar(const BarSource& source, int count) const;
    // Hands the bars to the K-line window under the period `period` (shading off): from
    // bar 0 the window's series are emptied and filled, else they are replaced from
    // `bars.from` on. Then the visible windows rerun once and the chart is marked.
    void ShowBars(const BarSource& source, TWeekStyle period, const BarColumns& bars);

    // --- feeding (feeding.cpp) ---
    void ClearData();
    void AddALL(const std::string& name, const double* f1, int len, bool repaint);
    void AddONE(const std::string& name, double f1, bool append, bool repaint);
    void Fs_AddALL(const std::string& name, const double* f1, int len, bool repaint);
    void Fs_AddONE(const std::string& name, double f1, bool append, bool repaint);
    void AddCandle(double ndate, double nTime, double open, double high, double low, double close,
                   double amount, double vol, double adv, double dec);
    void SMartAddCandle(double ndate, double nTime, double open, double high, double low,
                        double close, double amount, double vol, double adv, double dec);
    void ReaddCandle(double ndate, double nTime, double open, double high, double low, double close,
                     double amount, double vol, double adv, double dec);
    void AddTick(double nTime, double vol, double amount, double close);
    void SetZhouQi(TWeekStyle v);
    void SetFsCount(int v);
    int fsCount() const { return FfsCount_; }
    void SetFenBi(const TTDX_DEALInfo* dest, int count);
    void SetStockInfo(const TStockinfoRecord& v);
    void SetDynainfo(const TTDX_PKBASE& v);
    void SetIndex(const TTDX_PKBASE& v);
    void SetFinance(const TStockZu& v);
    void SetQuan(const std::vector<TStockQuan>& v);

    // --- state (read as the rest of the program knows it; written by the operations) ---
    // The visible bars: FLeftBar, FScale and their values at the last paint.
    const VisibleRange& range() const { return range_; }
    int FLeftBar() const { return range_.leftBar; }
    int FScale() const { return range_.scale; }
    // The tab strip's formula names, the group it lists, its height, and the formula
    // collection the names come from.
    const std::vector<std::string>& FTabList() const { return FTabList_; }
    int FTabType() const { return FTabType_; }
    int FTABH() const { return FTABH_; }
    const TFuncStr& FGsList() const { return FGsList_; }
    bool FShowBoard() const { return FShowBoard_; }
    bool FShowTab() const { return FShowTab_; }
    bool FShowTop() const { return FShowTop_; }
    bool FShowBottom() const { return FShowBottom_; }
    bool FShowLeft() const { return FShowLeft_; }
    bool FShowRight() const { return FShowRight_; }
    bool FShowCurWindow() const { return FShowCurWindow_; }
    bool FShowHighLow() const { return FShowHighLow_; }
    bool FShowBar3d() const { return FShowBar3d_; }
    bool FShowMenu() const { return FShowMenu_; }
    // The board's width, the height of its quote part, its panel (0 分笔, 1 分价, 2 跟踪)
    // and the width of its tab row, and its font.
    int FBoardWidth() const { return FBoardWidth_; }
    int FJHeight() const { return FJHeight_; }
    int FInfoType() const { return FInfoType_; }
    int FInfoWidth() const { return FInfoWidth_; }
    const FontSpec& FBoardFont() const { return FBoardFont_; }
    TColor FLineColor() const { return FLineColor_; }
    TColor FFillColor() const { return FFillColor_; }
    TColor FColor() const { return FColor_; }
    BackStyle FFillStyle() const { return FFillStyle_; }
    TKStyple FKstyle() const { return FKstyle_; }
    const FontSpec& FFont() const { return FFont_; }
    const std::string& FSTKNAME() const { return FSTKNAME_; }
    const std::string& FSTKLABEL() const { return FSTKLABEL_; }
    const std::string& FWEEK() const { return FWEEK_; }
    const std::string& FMT() const { return FMT_; }
    bool FZiXuan() const { return FZiXuan_; }
    // The instrument records handed over by the feeding operations.
    const std::vector<TTDX_DEALInfo>& Fenbi() const { return Fenbi_; }
    const TStockinfoRecord& StockInfo() const { return StockInfo_; }
    const TDYNAINFO& DYNAINFO() const { return DYNAINFO_; }
    const TFINANCE& FINANCE() const { return FINANCE_; }
    const TIndex& Index() const { return Index_; }
    const std::vector<TStockQuan>& Quan() const { return Quan_; }

private:
    // The state behind the getters above, named as the rest of the program knows it.
    ChartWindow* K_Main_ = nullptr;
    ChartWindow* FS_Main_ = nullptr;
    ChartWindow* FS_VOL_ = nullptr;
    std::array<ChartWindow*, kMaxWindows> GS_{};
    WindowHeights GSH_{};
    int FTechWindows_ = 3;
    int CURGS_ = 0;
    int FSH_ = 0, VOLH_ = 0;
    ChartWindow* FCurWindow_ = nullptr;
    ChartWindow* FlastWindow_ = nullptr; // the window of the last press
    TWeiStyle FWeiStyle_ = TWeiStyle::wsNone;
    QPoint MPress_{-1, -1}; // the last left press
    bool ShowHint_ = false;
    std::string Hint_;
    HintState FHint_;
    bool FShowFs_ = false;
    QImage FCache_;
    int OLDWD_ = 0, OLDHD_ = 0;
    VisibleRange range_; // FLeftBar, FScale and their values at the last paint
    int curx_ = -1, cury_ = -1;
    std::vector<std::string> FTabList_;
    int FTabType_ = 0;
    int FTABH_ = kTabHeight;
    TFuncStr FGsList_;
    bool FShowBoard_ = true, FShowTab_ = true, FShowTop_ = true, FShowBottom_ = true,
         FShowLeft_ = true, FShowRight_ = true, FShowCurWindow_ = true, FShowHighLow_ = true,
         FShowBar3d_ = true, FShowMenu_ = true;
    int FBoardWidth_ = 200, FJHeight_ = 0;
    int FInfoType_ = 0, FInfoWidth_ = 0; // the board's panel (0 分笔, 1 分价, 2 跟踪), tab width
    FontSpec FBoardFont_{"宋体", 14, kWhite, false};
    TColor FLineColor_ = kMaroon, FFillColor_ = kBlue, FColor_ = kBlack;
    BackStyle FFillStyle_ = wNone;
    TKStyple FKstyle_ = ksBar;
    FontSpec FFont_{"Arial", 15, kYellow, false};
    std::string FSTKNAME_, FSTKLABEL_ = "000001", FWEEK_, FMT_ = "%7.2f";
    bool FZiXuan_ = false;
    int FfsCount_ = 0;
    std::vector<TTDX_DEALInfo> Fenbi_;
    bool FenBZ_ = false;
    TStockinfoRecord StockInfo_;
    TDYNAINFO DYNAINFO_{};
    TFINANCE FINANCE_{};
    TIndex Index_;
    std::vector<TStockQuan> Quan_;

    std::unique_ptr<WindowProgram> NewProgram(WindowProgram* parent);
    std::unique_ptr<ChartWindow> MakeWindow(WindowProgram* parent);
    void RunWindow(ChartWindow* w);
    // After new bars: the visible bar-view windows rerun and the chart is marked; the view
    // jumps to the last bars when `toEnd` is set or nothing was shown yet.
    void RerunBarView(bool toEnd);
    void Error(ChartWindow* w);
    void ApplyDefaultDivision();
    int AvailHeight() const;
    // The layout part of a repaint: cursor, default division, visible range.
    void SettleFrame();
    // Renders the cache when it is out of date and the chart is not locked.
    void Render();
    void PaintBarView(int W);
    void PaintTickView(int W);
    void PaintTabStrip(int W);
    // The information board right of x = W (info_board.cpp); a window painted small into
    // `img` for its 跟踪 panel.
    void PaintBoard(int W);
    int BoardTabWidth();
    void PaintSmall(ChartWindow& w, QImage& img, int leftBar, double scale);
    int DevicePixelsOf(int v) const;
    void RebuildTabList();
    void ClampCurrent();
    void ForAll(const std::function<void(ChartWindow&)>& f);
    // The drawing tools' share of the mouse and keys; true when they used the event.
    bool ToolPress(int x, int y);
    bool ToolMove(int x, int y, bool buttonDown);
    bool ToolRelease(int x, int y);
    bool ToolKey(int qtKey, bool ctrl);
    // The height of a window as the chart divides its area (0 for one not shown).
    int WindowHeight(const ChartWindow* w) const;
    // Hands the window's period, tick slots, names and adjustment events to its program.
    void PushContext(ChartWindow& w);
    // Shows the hint window where the chart places it (tgp_cursor.cpp).
    void ShowCursorHint(bool moveMouse);
    void ArrowKey(bool left);
    // The cursor layer (cursor_layer.cpp). In the bar view the windows are painted without
    // their cursor lines and kept in FBase; a cursor move then restores what the last
    // cursor covered, repaints only the title rows whose readouts changed and draws the new
    // cursor lines, instead of repainting every window.
    bool CursorLayered() const;
    void CursorMoved();
    bool RenderCursorLayer();
    void KeepBaseAndDrawCursor(int W);
    void DrawCursorLayer(int W, bool repaintTitles);
    // Copies the painting into FBase when it still stands for the base.
    void TakeBase();
    QImage FBase;
    bool baseInCache_ = false; // FCache_ holds the base, FBase is out of date
    std::vector<QRect> cursorDamage_;
    std::array<int, kMaxWindows> readoutKey_{};
    bool cursorDirty_ = false;

    // The command menu's actions (chart_commands.cpp).
    void RestoreDefault();
    void LoadRawData();
    void LoadFormulaFile();
    void ExportResults(ChartCommand kind);
    void SaveImage(bool whole);

    ProgramFactory factory_;
    std::vector<MenuItem> items_; // FITEM: built at construction
    ChartCommandHost* commandHost_ = nullptr;
    std::vector<std::unique_ptr<ChartWindow>> owned_; // all twelve windows
    int width_ = 0, height_ = 10;
    TQuanStyle quanStyle_ = qsNone;
    TabStrip tabs_;
    const Host* host_ = nullptr;
    std::string programDir_ = ".";
    double ratio_ = 1;
    BarSource fed_; // where the bars held came from (no store: fed by other means)
    int fedCount_ = 0;
    int updateLock_ = 0;
    struct ToolState {
        TCursorType mode = ctNone;
        LinePreview line;              // the template and its pixel slots
        ChartWindow* window = nullptr; // where the object is placed or the objects moved
        int oldx = 0, oldy = 0;        // the last press
        int lastx = -1, lasty = -1;    // the last move
    } tool_;
    bool dirty_ = true;
    int repaintCount_ = 0;
};

// Hands the store's cache of the chart's period to the chart: the newest bars (at most
// 49000) as eight series, the last bar shown by its open alone when `openOnly` is set.
// Returns the true close of the last bar handed over (the invalid value when none).
double ShowPeriodBars(TGP& chart, const Tstock& store, bool openOnly);

} // namespace vantor
