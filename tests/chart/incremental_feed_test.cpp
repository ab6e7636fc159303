// Handing a store's bars to the chart step by step replaces only what changed; every
// window must then hold exactly what a fresh full reload gives.

#include <gtest/gtest.h>

#include <cstring>

#include "chart/tgp.h"
#include "chart/tgs_program.h"
#include "market/stock.h"

namespace vantor {
namespace {

TGS& Gs(ChartWindow* w) {
    return static_cast<TgsProgram&>(*w->prog).gs();
}

bool SameBits(const Tbian& a, const Tbian& b) {
    return a.name == b.name && a.len == b.len &&
           std::memcmp(a.value.data(), b.value.data(), sizeof(double) * a.len) == 0;
}

// Every series, constant and output record of the ten windows of `a` equals that of `b`.
void ExpectSameWindows(TGP& a, TGP& b, const std::string& where) {
    for (int i = 0; i < 10; ++i) {
        TGS &x = Gs(a.GS()[i]), &y = Gs(b.GS()[i]);
        ASSERT_EQ(x.mainbian->size(), y.mainbian->size()) << where;
        for (size_t k = 0; k < x.mainbian->size(); ++k)
            EXPECT_TRUE(SameBits((*x.mainbian)[k], *y.mainbian->find((*x.mainbian)[k].name)))
                << where << " raw " << (*x.mainbian)[k].name;
        ASSERT_EQ(x.namebian.size(), y.namebian.size()) << where << " window " << i;
        for (size_t k = 0; k < x.namebian.size(); ++k) {
            const Tbian* other = y.namebian.find(x.namebian[k].name);
            ASSERT_NE(other, nullptr) << where << " window " << i << " " << x.namebian[k].name;
            EXPECT_TRUE(SameBits(x.namebian[k], *other))
                << where << " window " << i << " " << x.namebian[k].name;
        }
        ASSERT_EQ(x.ls.size(), y.ls.size()) << where << " window " << i;
        for (size_t k = 0; k < x.ls.size(); ++k) EXPECT_EQ(x.ls.line(k), y.ls.line(k)) << where;
        EXPECT_EQ(x.LineName, y.LineName) << where << " window " << i;
    }
}

void Prepare(TGP& chart, TWeekStyle period) {
    TGP::UpdateGuard guard(chart);
    chart.SetSize(1000, 900);
    chart.UseMainWindowSettings();
    chart.SetTechWindows(10);
    chart.ClearData();
    chart.SetZhouQi(period);
}

TEST(IncrementalFeed, StepsForwardBackAndOpenOnlyMatchAFullReload) {
    for (TWeekStyle period : {wsmin1, wsMin5}) {
        Tstock store;
        store.fileName = VANTOR_SAMPLE_DIR "/mindata/IFL8.txt";
        store.startrow = 0;
        store.setLastrow(799);
        ASSERT_TRUE(store.loaddata());
        TGP stepped;
        Prepare(stepped, period);
        ShowPeriodBars(stepped, store, false);
        Price bar;
        for (int step = 1; step <= 300; ++step) {
            const std::string where = std::to_string(period) + " step " + std::to_string(step);
            if (step % 37 == 0) {
                ASSERT_TRUE(store.Pri(bar)); // a step back rebuilds the newest bar
            } else {
                ASSERT_TRUE(store.Next(bar));
                if (step % 3 == 0) {
                    // Two-step mode: the open first, then the whole bar.
                    ShowPeriodBars(stepped, store, true);
                    stepped.Image();
                }
            }
            const double close = ShowPeriodBars(stepped, store, false);
            EXPECT_EQ(close, store.Cache(period).value.back().Sps) << where;
            if (step % 50 != 0 && step % 37 != 0 && step % 3 != 1) continue;
            TGP fresh;
            Prepare(fresh, period);
            ShowPeriodBars(fresh, store, false);
            ExpectSameWindows(stepped, fresh, where);
            // Painted again over its previous picture, the chart looks as a fresh one does.
            fresh.SetLeftBar(stepped.FLeftBar());
            EXPECT_TRUE(stepped.Image() == fresh.Image()) << where;
            if (HasFatalFailure()) return;
        }
    }
}

TEST(IncrementalFeed, AnotherInstrumentOrAClearedChartReloadsInFull) {
    Tstock a, b;
    for (Tstock* s : {&a, &b}) {
        s->fileName =
            VANTOR_SAMPLE_DIR + std::string(s == &a ? "/mindata/IFL8.txt" : "/mindata/ICL8.txt");
        s->setLastrow(199);
        ASSERT_TRUE(s->loaddata());
    }
    TGP chart;
    Prepare(chart, wsmin1);
    ShowPeriodBars(chart, a, false);
    TGP::BarSource source{&a, a.fileName, wsmin1, 0, 0, 0};
    a.CacheDateTime(wsmin1, 0, 1, &source.firstDate, &source.firstTime);
    EXPECT_EQ(chart.FirstChangedBar(source, 201), 199);
    source.file = b.fileName;
    EXPECT_EQ(chart.FirstChangedBar(source, 201), 0);
    ShowPeriodBars(chart, b, false);
    EXPECT_EQ(chart.GetLast("close"), b.Cache(wsmin1).value.back().Sps);
    chart.ClearData();
    source = {&b, b.fileName, wsmin1, 0, 0, 0};
    b.CacheDateTime(wsmin1, 0, 1, &source.firstDate, &source.firstTime);
    EXPECT_EQ(chart.FirstChangedBar(source, 200), 0);
}

} // namespace
} // namespace vantor
