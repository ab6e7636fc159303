#pragma once
// The chart's command menu: every item of the popup menu and its submenus in menu order,
// with the command it runs. The captions double as the names under which a host window runs
// chart commands (TGP::CallMenu); the desktop builds its popup menu from this list.

#include <QImage>
#include <string>
#include <vector>

#include "chart/canvas.h"

namespace vantor {

class TGP;
struct ChartWindow;

enum class ChartCommand {
    None,        // a separator or a submenu's own item
    FillStyle,   // arg: the gradient kind
    WindowCount, // arg: 1..10
    ToggleCursor,
    ToggleTab,
    ToggleBoard,
    ToggleTickView,
    ToggleFsAll,
    ToggleFsFull,
    ToggleTop,
    ToggleBottom,
    ToggleLeft,
    ToggleRight,
    ToggleBar3d,
    KLineBar,
    KLineAmerican,
    ClearFill,
    ChartColor,
    FillColor,
    LoadIndicator, // the caption names the formula
    RestoreDefault,
    AdjustParams,
    UsageNotes,
    EditFormula,
    HighQuality,
    SaveResults,
    SaveExcel,
    SaveExcelAll,
    SaveRawData,
    LoadRawData,
    LoadFormula,
    ToClipboard,
    SaveWindowImage,
    SaveWholeImage,
    DeleteWindow,
    Contact,
};

struct MenuItem {
    std::string caption;
    int parent = -1; // index of the submenu item it belongs to; -1 on the top level
    ChartCommand command = ChartCommand::None;
    int arg = 0;
    bool separator = false;
    bool submenu = false;
    bool checkable = false;
    bool checked = false;
    bool needsWindow = false; // acts only when the last hit test found a window
    std::string shortcut;     // "Alt+1" ..., "" for none
};

// The menu's items: each submenu item is followed by its own items. `formulas` are the
// names listed under "技术指标".
std::vector<MenuItem> BuildCommandMenu(const std::vector<std::string>& formulas);

// The index of the first item whose caption equals `caption` exactly (-1 when none);
// separators and submenu items never match.
int FindMenuItem(const std::vector<MenuItem>& items, const std::string& caption);

// What the chart's commands need from the desktop: messages, questions, the colour and
// file-open dialogs, the clipboard, opening a file with its default application and the
// three formula dialogs.
struct FileOpenRequest {
    std::string title, filterName, pattern, defaultExt, folder;
};

class ChartCommandHost {
public:
    virtual ~ChartCommandHost() = default;
    virtual void Message(const std::string& text) = 0;
    // An OK/Cancel question; true for OK.
    virtual bool Confirm(const std::string& text, const std::string& title) = 0;
    // The colour dialog starting at `initial`; false when cancelled.
    virtual bool ChooseColor(TColor initial, TColor& chosen) = 0;
    // The file-open dialog; false when cancelled.
    virtual bool OpenFileName(const FileOpenRequest& request, std::string& path) = 0;
    virtual void OpenPath(const std::string& path) = 0;
    virtual void PutImageOnClipboard(const QImage& image) = 0;
    // "修改指标公式" on the chart's current window; false when nothing was edited.
    virtual bool EditFormula(TGP& chart) = 0;
    // "指标参数调整" on the window, modal; it applies every change itself.
    virtual void AdjustParams(TGP& chart, ChartWindow& window) = 0;
    // "指标用法": shows `lines` (one note a line) under `caption`; true when saved, with
    // `lines` holding what was edited.
    virtual bool EditNotes(const std::string& caption, std::string& lines) = 0;
};

// --- usage notes kept in a formula's text ---
// The note lines of a program text: lines that start with "*" after trimming and hold more
// than that character, without the "*", joined by "\n".
std::string NoteLines(const std::string& programText);
// The text without its note lines and with every non-empty line of `notes` appended as
// "*" + line.
std::string WithNotes(const std::string& programText, const std::string& notes);

// The text "联系方式" shows.
extern const char* const kContactText;

} // namespace vantor
