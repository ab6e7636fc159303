#pragma once
// ChartWindow: one window of the chart control — the formula program behind it and the
// display settings and painting results the renderer reads and writes.

#include <QImage>
#include <memory>
#include <string>
#include <vector>

#include "chart/canvas.h"
#include "chart/formula_types.h"
#include "chart/objects/object_state.h"
#include "chart/window_program.h"
#include "chart/xx_line.h"
#include "market/price.h"

namespace vantor {

struct ChartWindow {
    std::unique_ptr<WindowProgram> prog;

    // --- set by the chart ---
    bool ShowTop = true, ShowBottom = false, ShowLeft = true, ShowRight = false;
    bool ShowFs = false; // belongs to the tick view
    bool Main = false;   // price window of its view
    bool Focus = false;  // the chart has the keyboard focus
    bool CurGS = false;  // current window
    bool ShowCurWindow = true;
    TKStyple KStype = ksBar;
    bool KBar3d = true;
    TQuanStyle QuanStyle = qsNone;
    TColor LineColor = kMaroon;
    bool FHighLow = true, FPercent10 = false, FsAll = true, FsFull = false;
    double Prevclose = kInvalidValue;
    int FfsCount = 10, FsCol = 14, FsRow = 8;
    TWeekStyle ZhouQi = wsNone;
    bool Cursor = false, High = false;
    bool HighQuality = false; // "高清图像" of the command menu
    std::string StkName, StkLabel, Week, FFileName;
    std::string ProgramDir = "."; // the program folder: pictures of the drawing calls
    std::vector<TStockQuan> FQuan;
    FontSpec font{"Arial", 15, kYellow, false};

    // --- written by the painting: the bar under the cursor and the value at its height
    // (the invalid value when no value box was drawn), read by the cursor readout ---
    int FCurLeft = 0;
    double FCurValue = kInvalidValue;

    // --- drawing objects, painted after the formula outputs in list order ---
    std::vector<XXLine> FLine;
    bool FShowLine = true;
    ObjectPlot objectPlot;                // the plot of the last paint, for placing and moving
    const LinePreview* preview = nullptr; // the object being placed in this window

    // The formula name shown in the title (upper-cased there).
    std::string TechName() const { return prog ? prog->TechName() : std::string(); }
};

struct WindowFrame;
// Paints the window into `bmp` (the frame's size) as its frame settled: title,
// current-window marker, frame and grid, and with data the value scale, K-lines, the
// formula outputs and the objects. `bg` is the background the chart filled in.
void DrawLine(ChartWindow& win, const WindowFrame& frame, QImage& bmp, TColor bg);

// Whether the window draws K-lines: stated by its formula (SHOWK), or by default in the
// main window of the bar view.
bool WantsKLines(const ChartWindow& win);
// Puts the K-line record in front of the window's output records when its series hold the
// four prices; false when they do not (the window then draws close dots).
bool AddKLineRecord(ChartWindow& win);

// The title line: name (or code), the period caption with the adjustment, the formula
// name in indicator windows, and the parameter values "(12_26_9)" outside the main window.
std::string WindowTitle(ChartWindow& win);

// Fills the whole image with a gradient from c1 to c2 of the given kind (0 plain c1,
// 1 left ... 9 centre).
enum BackStyle {
    wNone,
    wLeft,
    wRight,
    wTop,
    wBottom,
    wLeftTop,
    wLeftBottom,
    wRightTop,
    wRightBottom,
    wCenter
};
void FillGradient(QImage& bmp, TColor c1, TColor c2, BackStyle kind);

// A scale number with its decimals underlined, starting one point-width right of x.
void TextOutNumber(Canvas& c, int x, int y, const std::string& text);
// The width TextOutNumber covers from x: the point-width lead, the integer part and the
// decimals in their larger font.
int NumberWidth(Canvas& c, const std::string& text);

} // namespace vantor
