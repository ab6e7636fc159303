#include "chart/command_menu.h"

#include <sstream>

namespace vantor {

namespace {
using C = ChartCommand;

struct Entry {
    const char* caption;
    C command;
    bool needsWindow;
};

std::string Trimmed(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n"), e = s.find_last_not_of(" \t\r\n");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

class Builder {
public:
    void Add(const Entry& e, int parent = -1) {
        MenuItem m;
        m.caption = e.caption;
        m.command = e.command;
        m.needsWindow = e.needsWindow;
        m.parent = parent;
        items.push_back(std::move(m));
    }
    void Separator() {
        MenuItem m;
        m.separator = true;
        items.push_back(std::move(m));
    }
    int Submenu(const char* caption) {
        MenuItem m;
        m.caption = caption;
        m.submenu = true;
        items.push_back(std::move(m));
        return static_cast<int>(items.size()) - 1;
    }
    void Checkable() { items.back().checkable = true; }
    std::vector<MenuItem> items;
};
} // namespace

std::vector<MenuItem> BuildCommandMenu(const std::vector<std::string>& formulas) {
    Builder b;
    for (const Entry& e :
         {Entry{"指标用法注释", C::UsageNotes, true}, Entry{"调整指标参数", C::AdjustParams, true},
          Entry{"修改指标公式", C::EditFormula, true},
          Entry{"恢复默认指标", C::RestoreDefault, true},
          Entry{"加载指标公式", C::LoadFormula, true}})
        b.Add(e);
    b.Separator();
    for (const Entry& e :
         {Entry{"保存原始数据", C::SaveRawData, true}, Entry{"加载原始数据", C::LoadRawData, true},
          Entry{"保存指标数据", C::SaveResults, true}, Entry{"保存EXCEL", C::SaveExcel, true},
          Entry{"保存全部EXCEL", C::SaveExcelAll, true}})
        b.Add(e);
    b.Separator();
    b.Add({"高清图像", C::HighQuality, true});
    b.Checkable();
    b.Add({"立体图", C::ToggleBar3d, false});
    b.Checkable();
    for (const Entry& e : {Entry{"保存指标图像", C::SaveWindowImage, true},
                           Entry{"保存整个图像", C::SaveWholeImage, true},
                           Entry{"保存到粘贴板", C::ToClipboard, true}})
        b.Add(e);
    b.Separator();
    int fill = b.Submenu("背景渐变");
    static const char* const kFills[] = {"取消渐变",   "左到右",     "右到左",     "上到下",
                                         "下到上",     "左上到右下", "左下到右上", "右上到左下",
                                         "右下到左上", "中间扩散"};
    for (int k = 0; k < 10; ++k) {
        b.Add({kFills[k], C::FillStyle, false}, fill);
        b.items.back().arg = k;
    }
    for (const Entry& e :
         {Entry{"前景色", C::ChartColor, false}, Entry{"背景色", C::FillColor, false},
          Entry{"取消背景", C::ClearFill, false}})
        b.Add(e);
    b.Separator();
    b.Add({"普通K线", C::KLineBar, false});
    b.Checkable();
    b.Add({"美国线", C::KLineAmerican, false});
    b.Checkable();
    b.Separator();
    int part = b.Submenu("部分设置");
    for (const Entry& e :
         {Entry{"显示光标", C::ToggleCursor, false}, Entry{"显示指标栏", C::ToggleTab, false},
          Entry{"显示信息板", C::ToggleBoard, false}, Entry{"切换分时图", C::ToggleTickView, false},
          Entry{"分时全高", C::ToggleFsAll, false}, Entry{"分时全宽", C::ToggleFsFull, false},
          Entry{"显示上边", C::ToggleTop, false}, Entry{"显示下边", C::ToggleBottom, false},
          Entry{"显示右边", C::ToggleRight, false}, Entry{"显示左边", C::ToggleLeft, false}})
        b.Add(e, part);
    int tech = b.Submenu("技术指标");
    for (const std::string& f : formulas) {
        b.Add({"", C::LoadIndicator, true}, tech);
        b.items.back().caption = f;
    }
    int count = b.Submenu("窗口个数");
    static const char* const kDigits[] = {"一", "二", "三", "四", "五",
                                          "六", "七", "八", "九", "十"};
    for (int n = 1; n <= 10; ++n) {
        b.Add({"", C::WindowCount, false}, count);
        b.items.back().caption = std::string(kDigits[n - 1]) + "个窗口";
        b.items.back().arg = n;
        b.items.back().shortcut = "Alt+" + std::to_string(n % 10);
    }
    b.Add({"删除窗口", C::DeleteWindow, true});
    b.Add({"联系方式", C::Contact, false});
    return std::move(b.items);
}

int FindMenuItem(const std::vector<MenuItem>& items, const std::string& caption) {
    for (size_t i = 0; i < items.size(); ++i)
        if (!items[i].separator && !items[i].submenu && items[i].caption == caption)
            return static_cast<int>(i);
    return -1;
}

namespace {
// The lines of a text, without their line ends.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(std::move(line));
    }
    return out;
}

bool IsNote(const std::string& line) {
    std::string t = Trimmed(line);
    return t.size() > 1 && t[0] == '*';
}
} // namespace

std::string NoteLines(const std::string& programText) {
    std::string out;
    for (const std::string& line : Lines(programText)) {
        if (!IsNote(line)) continue;
        if (!out.empty()) out += "\n";
        out += Trimmed(line).substr(1);
    }
    return out;
}

std::string WithNotes(const std::string& programText, const std::string& notes) {
    std::string out;
    for (const std::string& line : Lines(programText))
        if (!IsNote(line)) out += line + "\n";
    for (const std::string& line : Lines(notes))
        if (!line.empty()) out += "*" + line + "\n";
    return out;
}

const char* const kContactText =
    "Vantor操盘训练系统\n"
    "问题、建议与数据文件的来源说明，请写入项目的问题列表，由维护者答复。";

} // namespace vantor
