// Painting on demand: operations only mark the chart out of date, and the image is
// rendered once when it is asked for.

#include <gtest/gtest.h>

#include "chart/tgp.h"
#include "market/stock.h"

namespace vantor {
namespace {

// A store holding the first `shown` bars of the minute sample.
void LoadMinutes(Tstock& store, int shown) {
    store.fileName = VANTOR_SAMPLE_DIR "/mindata/IFL8.txt";
    store.startrow = 0;
    store.setLastrow(shown - 1);
    ASSERT_TRUE(store.loaddata());
}

class RepaintTest : public ::testing::Test {
protected:
    Tstock store;
    TGP chart;
    void SetUp() override {
        LoadMinutes(store, 300);
        TGP::UpdateGuard guard(chart);
        chart.SetSize(800, 500);
        chart.UseMainWindowSettings();
        chart.ClearData();
        chart.SetZhouQi(wsmin1);
        ShowPeriodBars(chart, store, false);
    }
    // The renders one action causes when the image is asked for twice afterwards.
    template <class Action> int RendersOf(Action&& action) {
        chart.Image();
        const int before = chart.RepaintCount();
        action();
        chart.Image();
        chart.Image();
        return chart.RepaintCount() - before;
    }
};

TEST_F(RepaintTest, EachOperationRendersOnceWhenTheImageIsAskedFor) {
    Price bar;
    EXPECT_EQ(RendersOf([&] {
                  store.Next(bar);
                  ShowPeriodBars(chart, store, false);
              }),
              1);
    EXPECT_EQ(RendersOf([&] { chart.SetTechWindows(5); }), 1);
    EXPECT_EQ(RendersOf([&] {
                  TGP::UpdateGuard guard(chart);
                  store.Next(bar);
                  ShowPeriodBars(chart, store, true);
                  chart.SetShowHighLow(true);
              }),
              1);
    EXPECT_EQ(RendersOf([] {}), 0);
}

TEST_F(RepaintTest, NothingRendersWhileLockedAndNestedLocksEndOnce) {
    chart.Image();
    const int before = chart.RepaintCount();
    chart.BeginUpdate();
    chart.BeginUpdate();
    chart.SetTechWindows(2);
    chart.EndUpdate();
    chart.Image();
    EXPECT_TRUE(chart.Locked());
    EXPECT_EQ(chart.RepaintCount(), before);
    chart.EndUpdate();
    chart.EndUpdate(); // one too many changes nothing
    EXPECT_FALSE(chart.Locked());
    chart.Image();
    EXPECT_EQ(chart.RepaintCount(), before + 1);
}

TEST_F(RepaintTest, EventsRenderOnlyWhenTheyChangeSomething) {
    ASSERT_EQ(chart.CURGS(), 1);
    const int window1 = chart.GSH()[0] + 10, window0 = 100;
    EXPECT_EQ(RendersOf([&] { chart.MouseMove(300, window0, false); }), 0);
    EXPECT_EQ(RendersOf([&] {
                  chart.MouseDown(300, window1);
                  chart.MouseUp();
              }),
              0); // already the current window
    EXPECT_EQ(RendersOf([&] {
                  chart.MouseDown(300, window0, true);
                  chart.MouseMove(250, window0, true); // no drag with the right button
                  chart.MouseUp();
              }),
              1);
    EXPECT_EQ(chart.CURGS(), 0);
    int up = 0, down = 0;
    chart.OnMouseWheelUp = [&] { ++up; };
    chart.OnMouseWheelDown = [&] { ++down; };
    EXPECT_EQ(RendersOf([&] {
                  chart.MouseWheel(120, 300, window0);
                  chart.MouseWheel(-120, 300, window0);
                  chart.MouseWheel(-120, 300, window0);
              }),
              0);
    EXPECT_EQ(up, 1);
    EXPECT_EQ(down, 2);
}

} // namespace
} // namespace vantor
