// Keyboard-only practice: one key for every action of the trade panel, the replay and the
// trade marks. The desktop hands a key here only while no text box has the focus.

#include <Qt>

#include "practice/practice.h"

namespace vantor {

namespace {

struct Shortcut {
    int key;
    bool ctrl;
    bool repeats;     // held down, the key acts again and again
    const char* keys; // as the help lists it; nullptr for a second key of an action
    const char* action;
    void (*run)(TForm1&);
};

const Shortcut kShortcuts[] = {
    {Qt::Key_Space, false, false, "空格", "播放 / 暂停（分时图中：分时回放开始 / 暂停）",
     [](TForm1& f) {
         if (!f.ChartKey(Qt::Key_Space)) f.PlayPause();
     }},
    {Qt::Key_N, false, true, "N 或 Ctrl+→", "下一K线", [](TForm1& f) { f.NextBar(); }},
    {Qt::Key_Right, true, true, nullptr, nullptr, [](TForm1& f) { f.NextBar(); }},
    {Qt::Key_B, false, true, "B 或 Ctrl+←", "上一K线", [](TForm1& f) { f.PrevBar(); }},
    {Qt::Key_Left, true, true, nullptr, nullptr, [](TForm1& f) { f.PrevBar(); }},
    {Qt::Key_M, false, false, "M", "前进N根（根数取自前进根数框）",
     [](TForm1& f) { f.SkipBars(); }},
    {Qt::Key_J, false, false, "J", "跳到下一交易日", [](TForm1& f) { f.SkipToNextDay(); }},
    {Qt::Key_A, false, false, "A", "按买卖数量开多仓", [](TForm1& f) { f.TradeKey('A'); }},
    {Qt::Key_S, false, false, "S", "按买卖数量开空仓", [](TForm1& f) { f.TradeKey('S'); }},
    {Qt::Key_D, false, false, "D", "平掉全部多仓，没有多仓时平掉全部空仓",
     [](TForm1& f) { f.TradeKey('D'); }},
    {Qt::Key_Z, false, false, "Z", "多平（按买卖数量）", [](TForm1& f) { f.BuyCloseButton(); }},
    {Qt::Key_X, false, false, "X", "空平（按买卖数量）", [](TForm1& f) { f.SellCloseButton(); }},
    {Qt::Key_F, false, false, "F", "反手", [](TForm1& f) { f.ReverseButton(); }},
    {Qt::Key_C, false, false, "C", "一键平仓", [](TForm1& f) { f.CloseAllButton(); }},
    {Qt::Key_R, false, false, "R", "随机训练", [](TForm1& f) { f.RandomTraining(); }},
    {Qt::Key_1, false, false, "1 / 2 / 5 / 0", "买卖数量取 1 / 2 / 5 / 10 手",
     [](TForm1& f) { f.QuickLots(1); }},
    {Qt::Key_2, false, false, nullptr, nullptr, [](TForm1& f) { f.QuickLots(2); }},
    {Qt::Key_5, false, false, nullptr, nullptr, [](TForm1& f) { f.QuickLots(5); }},
    {Qt::Key_0, false, false, nullptr, nullptr, [](TForm1& f) { f.QuickLots(10); }},
    {Qt::Key_T, false, false, "T", "显示 / 隐藏成交标记",
     [](TForm1& f) { f.SetTradeMarkersShown(!f.TradeMarkersShown()); }},
};

} // namespace

bool TForm1::PracticeKey(int qtKey, bool ctrl, bool repeat) {
    for (const Shortcut& s : kShortcuts) {
        if (s.key != qtKey || s.ctrl != ctrl) continue;
        if (!repeat || s.repeats) s.run(*this);
        return true;
    }
    return false;
}

void TForm1::QuickLots(int lots) {
    c_.lotsBox = std::to_string(lots);
    Notify();
}

std::string ShortcutHelpText() {
    std::string text;
    for (const Shortcut& s : kShortcuts)
        if (s.keys) text += std::string(s.keys) + "\t" + s.action + "\n";
    text += "L\t光标到买卖数量框\n";
    text += "Esc\t光标离开文字框，回到K线图\n";
    text += "F5 / Tab\t分时图开关 / 主图公式切换（K线图有焦点时）\n";
    return text;
}

} // namespace vantor
