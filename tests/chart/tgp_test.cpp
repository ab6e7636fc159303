// The chart control: window heights and frames, tab strip, title focus, current window,
// window count and deletion, regions, images, and controls too small to draw in.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "chart/raw_program.h"
#include "chart/tgp.h"
#include "pixels.h"

namespace vantor {
namespace {

void FeedBars(TGP& chart, int n) {
    std::vector<double> o, h, l, c, d, v;
    for (int i = 0; i < n; ++i) {
        double base = 100 + (i % 7) * 3;
        o.push_back(base);
        c.push_back(i % 2 ? base + 2 : base - 2);
        h.push_back(base + 4);
        l.push_back(base - 4);
        d.push_back(20200101 + i);
        v.push_back(1000 + i);
    }
    chart.AddALL("date", d.data(), n, false);
    chart.AddALL("open", o.data(), n, false);
    chart.AddALL("high", h.data(), n, false);
    chart.AddALL("low", l.data(), n, false);
    chart.AddALL("close", c.data(), n, false);
    chart.AddALL("vol", v.data(), n, true);
}

// Windows whose programs compute nothing: the control's own behaviour, and a count of
// the runs each window got.
TGP::ProgramFactory RawPrograms() {
    return [](WindowProgram* parent) {
        return std::make_unique<RawProgram>(static_cast<RawProgram*>(parent));
    };
}

class ChartTest : public ::testing::Test {
protected:
    TGP chart{RawPrograms()};
    void SetUp() override {
        chart.SetSize(600, 400);
        chart.UseMainWindowSettings();
        chart.ClearData();
        FeedBars(chart, 40);
    }
    RawProgram& Raw(ChartWindow* w) { return static_cast<RawProgram&>(*w->prog); }
};

TEST_F(ChartTest, ThreeWindowsFramedInMaroonAtTheirHeights) {
    EXPECT_EQ(chart.GSH()[0], 190);
    EXPECT_EQ(chart.GSH()[1], 95);
    EXPECT_EQ(chart.GSH()[2], 97);
    const QImage& img = chart.Image();
    for (int y : {0, 190, 285}) EXPECT_EQ(At(img, 300, y), kMaroon) << y;
    // Left frame line of each window at the left scale's edge, right frame at the edge.
    EXPECT_EQ(At(img, 50, 300), kMaroon);
    EXPECT_EQ(At(img, 599, 100), kMaroon);
    // The bottom window's axis line 18 pixels above its bottom.
    EXPECT_EQ(At(img, 300, 190 + 95 + 97 - 18), kMaroon);
}

TEST_F(ChartTest, TabStripWithSelectedCategoryCurrentFormulaAndFiller) {
    const QImage& img = chart.Image();
    const TabStrip& tabs = chart.Tabs();
    ASSERT_GT(tabs.x.size(), 4u);
    int y = 400 - 18 + 1;
    EXPECT_EQ(At(img, tabs.x[0] + 1, y), RGBColor(80, 80, 80)); // "指标", the selected category
    EXPECT_EQ(At(img, tabs.x[1] + 1, y), RGBColor(28, 28, 28)); // chart colour + 28
    EXPECT_EQ(At(img, tabs.x[0] + tabs.width[0], y), kMaroon);  // separator
    EXPECT_GE(tabs.fillFrom, 0);                                // 600 pixels do not hold every tab
    EXPECT_EQ(At(img, 599, y), RGBColor(0, 128, 0));
    // The current window's formula (VOL after ClearData) is written in cyan.
    size_t vol = 4;
    ASSERT_EQ(chart.FTabList()[vol], "VOL");
    EXPECT_GT(
        Count(img, tabs.x[vol], 382, tabs.x[vol] + tabs.width[vol], 400, RGBColor(0, 255, 255)), 0);
    EXPECT_EQ(Count(img, tabs.x[3], 382, tabs.x[3] + tabs.width[3], 400, RGBColor(0, 255, 255)), 0);
}

TEST_F(ChartTest, TabClicksChangeCategoryOrLoadIntoCurrentWindowOnly) {
    auto list = chart.FTabList();
    chart.ClickTab(chart.Tabs().x[0] + 1); // already selected: nothing
    EXPECT_EQ(chart.FTabList(), list);
    chart.ClickTab(chart.Tabs().x[1] + 1);
    EXPECT_EQ(chart.FTabType(), 1);
    EXPECT_GT(chart.FTabList().size(), list.size());
    chart.ClickTab(chart.Tabs().x[0] + 1);
    EXPECT_EQ(chart.FTabType(), 0);
    size_t macd = 5;
    ASSERT_EQ(chart.FTabList()[macd], "MACD");
    chart.ClickTab(chart.Tabs().x[macd] + 1);
    EXPECT_EQ(chart.GS()[1]->FFileName, "MACD.Wfc");
    EXPECT_EQ(chart.GS()[0]->FFileName, "MA.Wfc");
    chart.ClickTab(599); // the green filler holds no tab
    EXPECT_EQ(chart.FTabType(), 0);
}

TEST_F(ChartTest, FocusedTitleOnColouredGround) {
    const TColor ground = 0x800040;
    chart.SetStkName("训练");
    chart.ReDraw();
    EXPECT_EQ(Count(chart.Image(), 50, 0, 600, 15, ground), 0);
    chart.HasFocus = [] { return true; };
    chart.ReDraw();
    EXPECT_GT(Count(chart.Image(), 50, 0, 600, 15, ground), 0);
    EXPECT_EQ(Count(chart.Image(), 50, 190, 600, 205, ground), 0); // only the main window
}

TEST_F(ChartTest, CurrentWindowIsAlwaysAVisibleOne) {
    chart.SetTechWindows(5);
    EXPECT_TRUE(chart.SetCurWin(5));
    EXPECT_EQ(chart.CURGS(), 4);
    EXPECT_FALSE(chart.SetCurWin(6));
    chart.SetTechWindows(3);
    EXPECT_EQ(chart.CURGS(), 2);
    EXPECT_TRUE(chart.GS()[2]->CurGS);
    // Deleting the bottom window: the axis and the current window move up.
    ChartWindow* bottom = chart.GS()[2];
    chart.DelCurWin();
    EXPECT_EQ(chart.TechWindows(), 2);
    EXPECT_EQ(chart.CURGS(), 1);
    EXPECT_TRUE(chart.GS()[1]->CurGS);
    EXPECT_TRUE(chart.GS()[1]->ShowBottom);
    EXPECT_EQ(chart.GS()[2], bottom);
    EXPECT_FALSE(bottom->ShowBottom);
    // One window: ClearData cannot make a hidden window current.
    chart.SetTechWindows(1);
    chart.ClearData();
    EXPECT_EQ(chart.CURGS(), 0);
    EXPECT_TRUE(chart.K_Main()->CurGS);
    chart.DelCurWin(); // the main window is never deleted
    EXPECT_EQ(chart.TechWindows(), 1);
}

TEST_F(ChartTest, DeletingAMiddleWindowKeepsItsObjectAndFormula) {
    ChartWindow* w1 = chart.GS()[1];
    ChartWindow* w2 = chart.GS()[2];
    ASSERT_TRUE(chart.SetCurWin(2));
    chart.DelCurWin();
    EXPECT_EQ(chart.GS()[1], w2);
    EXPECT_EQ(chart.GS()[2], w1);
    EXPECT_EQ(w1->FFileName, "vol.Wfc");
    EXPECT_EQ(chart.CURGS(), 1);
    EXPECT_EQ(chart.GSH()[0], 2 * (382 / 3)); // the default division came back at the repaint
}

TEST_F(ChartTest, ShowingMoreWindowsRunsOnlyTheNewOnes) {
    int hidden = Raw(chart.GS()[3]).runs, shown = Raw(chart.GS()[1]).runs;
    chart.SetTechWindows(5);
    EXPECT_EQ(Raw(chart.GS()[3]).runs, hidden + 1);
    EXPECT_EQ(Raw(chart.GS()[1]).runs, shown);
    int five = Raw(chart.GS()[5]).runs;
    FeedBars(chart, 3);
    EXPECT_EQ(Raw(chart.GS()[5]).runs, five); // hidden windows are not run by feeding
    EXPECT_EQ(Raw(chart.GS()[4]).runs, hidden + 2);
}

TEST_F(ChartTest, BoardPressSelectsNoWindowAndSplitterDragStopsAt20) {
    chart.SetShowBoard(true);
    chart.SetTechWindows(1);
    chart.MouseDown(500, 100);
    EXPECT_EQ(chart.FWeiStyle(), TWeiStyle::wsFenJia); // the lower panel reaches the top
    EXPECT_EQ(chart.FCurWindow(), nullptr);
    chart.MouseUp();
    chart.SetShowBoard(false);
    chart.SetTechWindows(3);
    chart.MouseDown(100, 190);
    EXPECT_EQ(chart.FWeiStyle(), TWeiStyle::wsKSize);
    chart.MouseMove(100, 200, true);
    EXPECT_EQ(chart.GSH()[0], 200);
    EXPECT_EQ(chart.GSH()[1], 85);
    chart.MouseMove(100, 270, true); // window 1 would be 15 high
    EXPECT_EQ(chart.GSH()[1], 85);
    chart.MouseUp();
    chart.MouseDown(100, 250);
    EXPECT_EQ(chart.CURGS(), 1);
    chart.MouseUp();
}

TEST_F(ChartTest, ImagesOfWindowAndWholeControl) {
    QTemporaryDir dir;
    std::string bmp = dir.filePath("w.bmp").toStdString(),
                all = dir.filePath("all.BMP").toStdString();
    ASSERT_TRUE(chart.SaveToBmp(bmp));
    ASSERT_TRUE(chart.SaveToBmpAll(all));
    auto head = [](const std::string& f) {
        QFile file(QString::fromStdString(f));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.read(2);
    };
    EXPECT_EQ(head(bmp), QByteArray("BM"));
    EXPECT_EQ(head(all), QByteArray("\xFF\xD8")); // JPEG whatever the extension
    EXPECT_TRUE(chart.FShowTab());
    QImage w = chart.CurrentWindowImage();
    EXPECT_EQ(w.width(), 600);
    EXPECT_EQ(w.height(), chart.GSH()[chart.CURGS()]);
}

TEST_F(ChartTest, HighDensityImageDoublesLinesAndRendersTextAtFullDensity) {
    const QImage one = chart.Image().copy();
    chart.SetDevicePixelRatio(2);
    const QImage& two = chart.Image();
    ASSERT_EQ(two.size(), QSize(1200, 800));
    EXPECT_EQ(two.devicePixelRatio(), 2.0);
    // The frames: each pixel of a line becomes a block of 2 x 2.
    for (auto [x, y] : {std::pair{300, 0}, {300, 190}, {450, 285}, {120, 190}}) {
        ASSERT_EQ(At(one, x, y), kMaroon);
        for (int dx : {0, 1})
            for (int dy : {0, 1})
                EXPECT_EQ(At(two, 2 * x + dx, 2 * y + dy), kMaroon) << x << "," << y;
    }
    // The scale's numbers are drawn at the device's density, not blown up from the plain
    // image.
    bool blownUp = true;
    for (int y = 0; y < 190 && blownUp; ++y)
        for (int x = 0; x < 49 && blownUp; ++x)
            for (int d = 0; d < 4; ++d)
                if (At(two, 2 * x + d % 2, 2 * y + d / 2) != At(one, x, y)) blownUp = false;
    EXPECT_FALSE(blownUp);
    QTemporaryDir dir;
    const QString jpg = dir.filePath("all.jpg");
    ASSERT_TRUE(chart.SaveToBmpAll(jpg.toStdString()));
    EXPECT_EQ(QImage(jpg).size(), QSize(600, 400)); // screenshots keep the control's size
}

TEST_F(ChartTest, ControlsTooSmallToDrawInNeverBreak) {
    for (auto [w, h] : {std::pair{0, 0}, {5, 5}, {600, 12}, {600, 20}, {11, 11}, {30, 400}}) {
        chart.SetSize(w, h);
        chart.ReDraw();
        for (int i = 0; i < chart.TechWindows(); ++i) EXPECT_GE(chart.GSH()[i], 0) << w << "x" << h;
        EXPECT_GE(chart.FSH(), 0);
        EXPECT_GE(chart.VOLH(), 0);
        QImage img = chart.CurrentWindowImage();
        EXPECT_GE(img.width(), 1);
        EXPECT_GE(img.height(), 1);
    }
    chart.SetShowFs(true);
    chart.SetSize(5, 5);
    chart.ReDraw();
    chart.SetSize(300, 200);
    chart.ReDraw();
    EXPECT_GT(chart.FSH(), 0);
}

TEST(ChartFormulas, DefaultWindowsRunTheirFormulasOnTheFedBars) {
    TGP chart;
    std::string error;
    Host host{[&error](const std::string& e) { error = e; }, {}};
    chart.SetHost(&host);
    chart.SetSize(600, 400);
    chart.UseMainWindowSettings();
    chart.ClearData();
    chart.SetStkName("训练");
    FeedBars(chart, 120);
    EXPECT_EQ(error, "");
    auto& main = chart.K_Main()->prog->Records();
    ASSERT_GE(main.size(), 2u);
    EXPECT_EQ(main[0], "drawkline=high,open,low,close");
    EXPECT_EQ(main[1].rfind("syline=ma1::", 0), 0u) << main[1];
    EXPECT_EQ(UpperAscii(chart.GS()[1]->TechName()), "VOL");
    // The readouts follow the title in the main window: the first MA's colour is there.
    SeriesView ma1;
    ASSERT_TRUE(chart.K_Main()->prog->Series("ma1", ma1));
    EXPECT_EQ(ma1.at(0), kInvalidValue);
    EXPECT_NE(ma1.last(), kInvalidValue);
}

TEST(ChartFormulas, TickViewDrawsPriceAndVolumeWindows) {
    TGP chart;
    chart.SetSize(600, 400);
    chart.UseMainWindowSettings();
    chart.ClearData();
    chart.SetPrevClose(3500);
    chart.SetFsCount(240);
    for (int i = 0; i < 120; ++i)
        chart.AddTick(930 + i % 30 + 100 * (i / 30), 100 + i % 7, 0, 3500 + (i % 20) - 8);
    ASSERT_TRUE(
        chart.SetWFCString(-1, "PRICE:CLOSE,COLORWHITE;\nAVERAGE:MA(CLOSE,5),COLORYELLOW;"));
    chart.SetShowFs(true);
    EXPECT_EQ(chart.FSH(), 266);
    EXPECT_EQ(chart.VOLH(), 134);
    EXPECT_EQ(chart.FS_GetLast("close"), 3500 + 119 % 20 - 8);
    const QImage& img = chart.Image();
    EXPECT_GT(Count(img, 56, 30, 540, 250, kWhite), 50);  // the price line
    EXPECT_GT(Count(img, 56, 30, 540, 250, kYellow), 20); // the average line
    EXPECT_GT(Count(img, 50, 266, 550, 400, kRed) + Count(img, 50, 266, 550, 400, kCyan), 20);
    EXPECT_EQ(chart.HitTest(100, 300).region, TWeiStyle::wsVol);
    EXPECT_EQ(chart.FCurWindow(), chart.FS_VOL());
}

} // namespace
} // namespace vantor
