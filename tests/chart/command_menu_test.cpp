// The chart's command menu: its items in order, what each caption runs, running commands by
// caption, the formula dialogs through the host, and the exports read back from disk.

#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "chart/tgp.h"
#include "market/data_files.h"

namespace vantor {
namespace {

// Answers every dialog as a test sets it up and records what the chart asked.
class RecordingHost : public ChartCommandHost {
public:
    std::vector<std::string> messages, questions, opened;
    std::vector<FileOpenRequest> fileRequests;
    bool answer = true;
    std::string fileToOpen; // "" cancels the file dialog
    TColor colour = kBlue;
    bool colourChosen = true;
    QImage clipboard;
    std::string notesShown, notesCaption, notesEdited;
    bool saveNotes = true;
    int edits = 0, adjustments = 0;

    void Message(const std::string& t) override { messages.push_back(t); }
    bool Confirm(const std::string& t, const std::string& title) override {
        questions.push_back(title + ":" + t);
        return answer;
    }
    bool ChooseColor(TColor initial, TColor& chosen) override {
        initialColour = initial;
        chosen = colour;
        return colourChosen;
    }
    bool OpenFileName(const FileOpenRequest& r, std::string& path) override {
        fileRequests.push_back(r);
        path = fileToOpen;
        return !path.empty();
    }
    void OpenPath(const std::string& p) override { opened.push_back(p); }
    void PutImageOnClipboard(const QImage& img) override { clipboard = img; }
    bool EditFormula(TGP&) override { return ++edits > 0; }
    void AdjustParams(TGP&, ChartWindow&) override { ++adjustments; }
    bool EditNotes(const std::string& caption, std::string& lines) override {
        notesCaption = caption;
        notesShown = lines;
        lines = notesEdited;
        return saveNotes;
    }
    TColor initialColour = 0;
};

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// n bars handed over as a store hands them.
void Feed(TGP& chart, int n) {
    TGP::BarColumns b;
    b.count = n;
    for (int i = 0; i < n; ++i) {
        double base = 100 + (i % 9) * 2;
        b.date.push_back(20200101 + i);
        b.time.push_back(0);
        b.open.push_back(base);
        b.high.push_back(base + 3);
        b.low.push_back(base - 3);
        b.close.push_back(base + (i % 2 ? 1 : -1));
        b.amount.push_back(0);
        b.vol.push_back(500 + i);
    }
    chart.ShowBars({}, wsDay, b);
}

class CommandTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    RecordingHost host;
    TGP chart;
    void SetUp() override {
        chart.SetSize(600, 400);
        chart.UseMainWindowSettings();
        chart.ClearData();
        chart.SetStkLabel("IF/L9");
        chart.SetStkName("沪深");
        chart.SetWeek("日线");
        chart.SetProgramDir(dir.path().toStdString());
        chart.SetCommandHost(&host);
        Feed(chart, 80);
        chart.Image();
    }
    // A right press in the middle of bar-view window i (the menu's own press).
    void PressWindow(int i) {
        int y = 0;
        for (int k = 0; k < i; ++k) y += chart.GSH()[static_cast<size_t>(k)];
        chart.MouseDown(300, y + chart.GSH()[static_cast<size_t>(i)] / 2, true);
    }
    std::string File(const std::string& name) const {
        return dir.filePath(QString::fromStdString(name)).toStdString();
    }
};

TEST(CommandMenu, ItemsInMenuOrderWithSubmenusAndShortcuts) {
    auto items = BuildCommandMenu({"MACD", "KDJ"});
    std::vector<std::string> top;
    for (const MenuItem& m : items)
        if (m.parent < 0) top.push_back(m.separator ? "-" : m.caption + (m.submenu ? ">" : ""));
    const std::vector<std::string> kTop = {"指标用法注释",
                                           "调整指标参数",
                                           "修改指标公式",
                                           "恢复默认指标",
                                           "加载指标公式",
                                           "-",
                                           "保存原始数据",
                                           "加载原始数据",
                                           "保存指标数据",
                                           "保存EXCEL",
                                           "保存全部EXCEL",
                                           "-",
                                           "高清图像",
                                           "立体图",
                                           "保存指标图像",
                                           "保存整个图像",
                                           "保存到粘贴板",
                                           "-",
                                           "背景渐变>",
                                           "前景色",
                                           "背景色",
                                           "取消背景",
                                           "-",
                                           "普通K线",
                                           "美国线",
                                           "-",
                                           "部分设置>",
                                           "技术指标>",
                                           "窗口个数>",
                                           "删除窗口",
                                           "联系方式"};
    EXPECT_EQ(top, kTop);

    auto children = [&](const std::string& submenu) {
        std::vector<std::string> out;
        int parent = -1;
        for (size_t i = 0; i < items.size(); ++i) {
            if (items[i].submenu && items[i].caption == submenu) parent = static_cast<int>(i);
            // A submenu's items follow it directly.
            if (parent >= 0 && items[i].parent == parent) {
                EXPECT_EQ(items[i - 1].parent == parent || static_cast<int>(i) - 1 == parent, true);
                out.push_back(items[i].caption +
                              (items[i].shortcut.empty() ? "" : " " + items[i].shortcut));
            }
        }
        return out;
    };
    EXPECT_EQ(
        children("背景渐变"),
        (std::vector<std::string>{"取消渐变", "左到右", "右到左", "上到下", "下到上", "左上到右下",
                                  "左下到右上", "右上到左下", "右下到左上", "中间扩散"}));
    EXPECT_EQ(
        children("部分设置"),
        (std::vector<std::string>{"显示光标", "显示指标栏", "显示信息板", "切换分时图", "分时全高",
                                  "分时全宽", "显示上边", "显示下边", "显示右边", "显示左边"}));
    EXPECT_EQ(children("技术指标"), (std::vector<std::string>{"MACD", "KDJ"}));
    EXPECT_EQ(children("窗口个数"),
              (std::vector<std::string>{"一个窗口 Alt+1", "二个窗口 Alt+2", "三个窗口 Alt+3",
                                        "四个窗口 Alt+4", "五个窗口 Alt+5", "六个窗口 Alt+6",
                                        "七个窗口 Alt+7", "八个窗口 Alt+8", "九个窗口 Alt+9",
                                        "十个窗口 Alt+0"}));
}

TEST(CommandMenu, CaptionToCommandTable) {
    using C = ChartCommand;
    struct Case {
        const char* caption;
        C command;
        int arg;
        bool star, checkable;
    };
    const Case cases[] = {
        {"指标用法注释", C::UsageNotes, 0, true, false},
        {"调整指标参数", C::AdjustParams, 0, true, false},
        {"修改指标公式", C::EditFormula, 0, true, false},
        {"恢复默认指标", C::RestoreDefault, 0, true, false},
        {"加载指标公式", C::LoadFormula, 0, true, false},
        {"保存原始数据", C::SaveRawData, 0, true, false},
        {"加载原始数据", C::LoadRawData, 0, true, false},
        {"保存指标数据", C::SaveResults, 0, true, false},
        {"保存EXCEL", C::SaveExcel, 0, true, false},
        {"保存全部EXCEL", C::SaveExcelAll, 0, true, false},
        {"高清图像", C::HighQuality, 0, true, true},
        {"立体图", C::ToggleBar3d, 0, false, true},
        {"保存指标图像", C::SaveWindowImage, 0, true, false},
        {"保存整个图像", C::SaveWholeImage, 0, true, false},
        {"保存到粘贴板", C::ToClipboard, 0, true, false},
        {"取消渐变", C::FillStyle, wNone, false, false},
        {"右下到左上", C::FillStyle, wRightBottom, false, false},
        {"中间扩散", C::FillStyle, wCenter, false, false},
        {"前景色", C::ChartColor, 0, false, false},
        {"背景色", C::FillColor, 0, false, false},
        {"取消背景", C::ClearFill, 0, false, false},
        {"普通K线", C::KLineBar, 0, false, true},
        {"美国线", C::KLineAmerican, 0, false, true},
        {"显示光标", C::ToggleCursor, 0, false, false},
        {"显示指标栏", C::ToggleTab, 0, false, false},
        {"显示信息板", C::ToggleBoard, 0, false, false},
        {"切换分时图", C::ToggleTickView, 0, false, false},
        {"分时全高", C::ToggleFsAll, 0, false, false},
        {"分时全宽", C::ToggleFsFull, 0, false, false},
        {"显示上边", C::ToggleTop, 0, false, false},
        {"显示下边", C::ToggleBottom, 0, false, false},
        {"显示右边", C::ToggleRight, 0, false, false},
        {"显示左边", C::ToggleLeft, 0, false, false},
        {"KDJ", C::LoadIndicator, 0, true, false},
        {"一个窗口", C::WindowCount, 1, false, false},
        {"十个窗口", C::WindowCount, 10, false, false},
        {"删除窗口", C::DeleteWindow, 0, true, false},
        {"联系方式", C::Contact, 0, false, false},
    };
    auto items = BuildCommandMenu({"MACD", "KDJ"});
    for (const Case& c : cases) {
        int i = FindMenuItem(items, c.caption);
        ASSERT_GE(i, 0) << c.caption;
        const MenuItem& m = items[static_cast<size_t>(i)];
        EXPECT_EQ(m.command, c.command) << c.caption;
        EXPECT_EQ(m.arg, c.arg) << c.caption;
        EXPECT_EQ(m.needsWindow, c.star) << c.caption;
        EXPECT_EQ(m.checkable, c.checkable) << c.caption;
    }
    // Submenu items and separators are never commands.
    EXPECT_EQ(FindMenuItem(items, "背景渐变"), -1);
    EXPECT_EQ(FindMenuItem(items, ""), -1);
}

TEST_F(CommandTest, CallMenuTrimsTheCaptionAndIgnoresUnknownOnes) {
    EXPECT_TRUE(chart.CallMenu("  切换分时图 \t"));
    EXPECT_TRUE(chart.ShowFs());
    EXPECT_TRUE(chart.CallMenu("切换分时图"));
    EXPECT_FALSE(chart.ShowFs());

    chart.Image();
    int repaints = chart.RepaintCount();
    std::string text = chart.FormulaText(0);
    EXPECT_TRUE(chart.CallMenu("没有这一项"));
    EXPECT_TRUE(chart.CallMenu("背景渐变")); // a submenu is not a command
    chart.Image();
    EXPECT_EQ(chart.RepaintCount(), repaints);
    EXPECT_EQ(chart.FormulaText(0), text);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(CommandTest, SettingsCommandsChangeTheChart) {
    struct Case {
        const char* caption;
        std::function<bool()> before, after;
    };
    const Case cases[] = {
        {"左上到右下", [&] { return chart.FFillStyle() == wNone; },
         [&] { return chart.FFillStyle() == wLeftTop; }},
        {"取消背景", [&] { return chart.FFillStyle() == wLeftTop; },
         [&] { return chart.FFillStyle() == wNone; }},
        {"五个窗口", [&] { return chart.TechWindows() == 3; },
         [&] { return chart.TechWindows() == 5; }},
        {"显示光标", [&] { return !chart.ShowCursor(); }, [&] { return chart.ShowCursor(); }},
        {"显示指标栏", [&] { return chart.FShowTab(); }, [&] { return !chart.FShowTab(); }},
        {"显示信息板", [&] { return !chart.FShowBoard(); }, [&] { return chart.FShowBoard(); }},
        {"显示信息板", [&] { return chart.FShowBoard(); }, [&] { return !chart.FShowBoard(); }},
        {"分时全高", [&] { return chart.FS_Main()->FsAll; },
         [&] { return !chart.FS_Main()->FsAll; }},
        {"分时全宽", [&] { return !chart.FS_Main()->FsFull; },
         [&] { return chart.FS_Main()->FsFull; }},
        {"显示上边", [&] { return chart.K_Main()->ShowTop; },
         [&] { return !chart.K_Main()->ShowTop; }},
        {"显示下边", [&] { return chart.FShowBottom(); }, [&] { return !chart.FShowBottom(); }},
        {"显示右边", [&] { return !chart.GS()[1]->ShowRight; },
         [&] { return chart.GS()[1]->ShowRight; }},
        {"显示左边", [&] { return chart.GS()[1]->ShowLeft; },
         [&] { return !chart.GS()[1]->ShowLeft; }},
        {"立体图", [&] { return !chart.FShowBar3d(); }, [&] { return chart.FShowBar3d(); }},
        {"美国线", [&] { return chart.K_Main()->KStype == ksBar; },
         [&] { return chart.K_Main()->KStype == ksAmericia && chart.GS()[1]->KStype == ksBar; }},
        {"普通K线", [&] { return chart.K_Main()->KStype == ksAmericia; },
         [&] { return chart.K_Main()->KStype == ksBar; }},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(c.before()) << c.caption;
        chart.CallMenu(c.caption);
        EXPECT_TRUE(c.after()) << c.caption;
    }
    // The window count changes only in the bar view.
    chart.CallMenu("切换分时图");
    chart.CallMenu("二个窗口");
    EXPECT_EQ(chart.TechWindows(), 5);
}

TEST_F(CommandTest, CheckMarksFollowTheChartWhenTheMenuOpens) {
    auto checked = [&](const char* caption) {
        const auto& items = chart.FITEM();
        return items[static_cast<size_t>(FindMenuItem(items, caption))].checked;
    };
    PressWindow(1);
    EXPECT_FALSE(checked("高清图像"));
    EXPECT_FALSE(checked("立体图"));
    EXPECT_TRUE(checked("普通K线"));
    EXPECT_FALSE(checked("美国线"));
    chart.CallMenu("高清图像");
    chart.CallMenu("立体图");
    chart.CallMenu("美国线");
    EXPECT_TRUE(chart.GS()[1]->HighQuality);
    EXPECT_FALSE(chart.K_Main()->HighQuality);
    EXPECT_TRUE(checked("高清图像"));
    EXPECT_TRUE(checked("立体图"));
    EXPECT_FALSE(checked("普通K线"));
    EXPECT_TRUE(checked("美国线"));
}

TEST_F(CommandTest, ColourCommandsStartAtTheCurrentColourAndTakeTheChoice) {
    host.colour = RGBColor(10, 20, 30);
    chart.CallMenu("前景色");
    EXPECT_EQ(host.initialColour, kBlack);
    EXPECT_EQ(chart.FColor(), RGBColor(10, 20, 30));
    host.colour = RGBColor(1, 2, 3);
    chart.CallMenu("背景色");
    EXPECT_EQ(host.initialColour, kBlack); // the main window's fill colour
    EXPECT_EQ(chart.FFillColor(), RGBColor(1, 2, 3));
    host.colourChosen = false;
    host.colour = kRed;
    chart.CallMenu("背景色");
    EXPECT_EQ(chart.FFillColor(), RGBColor(1, 2, 3));
}

TEST_F(CommandTest, WindowCommandsNeedACurrentWindow) {
    chart.HitTest(599, 399); // the tab strip: no window
    ASSERT_EQ(chart.FCurWindow(), nullptr);
    for (const char* c : {"删除窗口", "保存指标数据", "保存原始数据", "调整指标参数", "KDJ"})
        chart.CallMenu(c);
    EXPECT_EQ(chart.TechWindows(), 3);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(host.questions.empty());
    EXPECT_EQ(host.adjustments, 0);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path().toStdString()));

    PressWindow(2);
    chart.CallMenu("KDJ");
    EXPECT_EQ(UpperAscii(chart.GS()[2]->TechName()), "KDJ");
    chart.CallMenu("调整指标参数");
    chart.CallMenu("修改指标公式");
    EXPECT_EQ(host.adjustments, 1);
    EXPECT_EQ(host.edits, 1);
    chart.CallMenu("删除窗口");
    EXPECT_EQ(chart.TechWindows(), 2);
}

TEST_F(CommandTest, RestoreDefaultFollowsTheRegionOfTheLastPress) {
    chart.CallMenu("切换分时图");
    chart.LoadWfc(chart.FS_VOL(), "MA");
    chart.Image();
    chart.MouseDown(300, chart.FSH() + chart.VOLH() / 2, true);
    ASSERT_EQ(chart.FCurWindow(), chart.FS_VOL());
    chart.CallMenu("恢复默认指标");
    EXPECT_EQ(chart.FS_VOL()->FFileName, "FSVOL.Wfc");

    chart.CallMenu("切换分时图");
    chart.Image();
    chart.LoadWfc(chart.GS()[1], "KDJ");
    PressWindow(1);
    chart.CallMenu("恢复默认指标");
    EXPECT_EQ(UpperAscii(chart.GS()[1]->TechName()), "VOL");
}

TEST_F(CommandTest, ResultExportsAreNamedByCodePeriodAndFormulaAndReadBack) {
    PressWindow(0);
    chart.CallMenu("保存指标数据");
    // The "/" of the code cannot stand in a file name.
    const std::string txt = File("IF_L9_日线_MA.txt");
    EXPECT_EQ(host.questions, std::vector<std::string>{"提示:导出成功,是否打开此文件?"});
    EXPECT_EQ(host.opened, std::vector<std::string>{txt});
    std::string report = ReadFile(txt);
    EXPECT_NE(report.find("序号"), std::string::npos);
    EXPECT_NE(report.find("ma1"), std::string::npos);
    EXPECT_NE(report.find("80    |"), std::string::npos); // the last of the 80 bars

    host.answer = false;
    chart.CallMenu("保存EXCEL");
    const std::string csv = File("IF_L9_日线_MA.csv");
    std::istringstream rows(ReadFile(csv));
    std::string header, first;
    std::getline(rows, header);
    std::getline(rows, first);
    EXPECT_NE(header.find("close,"), std::string::npos);
    EXPECT_NE(first.find("1,20200101.000,"), std::string::npos) << first;
    EXPECT_EQ(host.opened.size(), 1u); // Cancel opens nothing

    chart.CallMenu("保存原始数据");
    const std::string bin = File("IF_L9_日线.bin");
    EXPECT_EQ(host.messages.back(), bin + " 保存完成!");
    TGP other;
    ASSERT_TRUE(other.DataFromFile(bin));
    EXPECT_EQ(other.BarCount(), 80);
    EXPECT_EQ(other.GetLast("close"), chart.GetLast("close"));
}

TEST_F(CommandTest, AFailedExportLeavesTheOldFileWholeAndAsksNothing) {
    const std::string txt = File("IF_L9_日线_MA.txt");
    { std::ofstream(txt) << "old report"; }
    // The file is written beside its place first; a folder standing there makes that fail.
    const std::string part = File(".IF_L9_日线_MA.txt.part");
    std::filesystem::create_directory(part);
    PressWindow(0);
    chart.CallMenu("保存指标数据");
    EXPECT_EQ(ReadFile(txt), "old report");
    EXPECT_TRUE(host.questions.empty());
    std::filesystem::remove(part);
    chart.CallMenu("保存指标数据");
    EXPECT_NE(ReadFile(txt), "old report");
}

TEST_F(CommandTest, ImageExportsAndClipboard) {
    PressWindow(1);
    chart.CallMenu("保存指标图像");
    const std::string bmp = File("沪深_IF_L9.BMP");
    EXPECT_EQ(host.messages.back(), "保存到:" + bmp);
    QImage window(QString::fromStdString(bmp));
    EXPECT_EQ(window.size(), QSize(600, chart.GSH()[1]));

    chart.CallMenu("保存整个图像");
    const std::string all = File("沪深_IF_L9_ALL.BMP");
    EXPECT_EQ(host.messages.back(), "保存到:" + all);
    QImage whole(QString::fromStdString(all), "JPG");
    EXPECT_EQ(whole.size(), QSize(600, 400));

    chart.CallMenu("保存到粘贴板");
    EXPECT_EQ(host.clipboard.size(), QSize(600, 400));
}

TEST_F(CommandTest, LoadRawDataRefusesAForeignFileAndStillRerunsAndRepaints) {
    const std::string junk = File("junk.bin");
    { std::ofstream(junk) << "not a data file"; }
    host.fileToOpen = junk;
    PressWindow(0);
    chart.Image();
    int repaints = chart.RepaintCount();
    chart.CallMenu("加载原始数据");
    ASSERT_EQ(host.fileRequests.size(), 1u);
    EXPECT_EQ(host.fileRequests[0].title, "加载原始数据");
    EXPECT_EQ(host.fileRequests[0].pattern, "*.BIN");
    EXPECT_EQ(host.fileRequests[0].defaultExt, "bin");
    EXPECT_EQ(host.fileRequests[0].folder, dir.path().toStdString());
    EXPECT_EQ(host.messages, std::vector<std::string>{"加载:" + junk + " 失败!"});
    EXPECT_EQ(chart.BarCount(), 80);
    EXPECT_EQ(UpperAscii(chart.K_Main()->TechName()), "MA");
    chart.Image();
    EXPECT_EQ(chart.RepaintCount(), repaints + 1);

    // A data file of its own loads: fewer bars, same formula.
    const std::string bin = File("IF_L9_日线.bin");
    TGP small;
    small.SetSize(300, 200);
    Feed(small, 30);
    ASSERT_TRUE(small.DataToFile(bin));
    host.fileToOpen = bin;
    chart.CallMenu("加载原始数据");
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(chart.BarCount(), 30);
}

TEST_F(CommandTest, LoadFormulaFileIntoTheCurrentWindow) {
    const std::string wfc = File("mine.wfc");
    { std::ofstream(wfc) << "TECHNAME:=MINE;\nX:CLOSE*2;\n"; }
    host.fileToOpen = wfc;
    PressWindow(1);
    chart.CallMenu("加载指标公式");
    EXPECT_EQ(host.fileRequests.at(0).title, "加载指标公式");
    EXPECT_EQ(host.fileRequests.at(0).pattern, "*.WFC");
    EXPECT_EQ(UpperAscii(chart.GS()[1]->TechName()), "MINE");
    EXPECT_EQ(chart.GS()[1]->prog->GetLast("x"), 2 * chart.GetLast("close"));
}

TEST(Notes, NoteLinesAreStarLinesAndEditedOnesReplaceThem) {
    const std::string text = "TECHNAME:=A;\n  *first note\r\n*\nX:CLOSE;\n*second\n";
    EXPECT_EQ(NoteLines(text), "first note\nsecond");
    EXPECT_EQ(WithNotes(text, "one\n\ntwo"), "TECHNAME:=A;\n*\nX:CLOSE;\n*one\n*two\n");
    EXPECT_EQ(NoteLines("X:CLOSE;"), "");
}

TEST_F(CommandTest, UsageNoteIsSavedInTheWindowsFormulaFile) {
    PressWindow(1);
    host.notesEdited = "量能放大时关注";
    chart.CallMenu("指标用法注释");
    EXPECT_EQ(host.notesCaption, "vol.Wfc指标用法");
    std::string saved = ReadFile(File("vol.Wfc"));
    EXPECT_NE(saved.find("*量能放大时关注"), std::string::npos) << saved;
    EXPECT_EQ(NoteLines(chart.FormulaText(1)), "量能放大时关注");
    EXPECT_EQ(UpperAscii(chart.GS()[1]->TechName()), "VOL"); // still the same formula

    host.saveNotes = false;
    host.notesEdited = "";
    chart.CallMenu("指标用法注释");
    EXPECT_EQ(host.notesShown, "量能放大时关注");
    EXPECT_EQ(NoteLines(chart.FormulaText(1)), "量能放大时关注");
}

TEST(ExportNames, RefusedCharactersAreReplaced) {
    EXPECT_EQ(SafeFileName("a\\b/c:d*e?f\"g<h>i|j\tk"), "a_b_c_d_e_f_g_h_i_j_k");
    EXPECT_EQ(SafeFileName("螺纹_日线_MA"), "螺纹_日线_MA");
}

} // namespace
} // namespace vantor
