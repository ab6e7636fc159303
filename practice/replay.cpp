// The replay loop of the practice controller: steps forward and back, auto-play, the stop
// close, the forced close and the tick view.

#include <Qt>
#include <cstdio>

#include "account/numbers.h"
#include "market/data_files.h"
#include "practice/practice.h"

namespace vantor {

void TForm1::NextBar() {
    if (chart_.ShowFs()) {
        Fail("分时图暂不支持下一K线");
        return;
    }
    {
        TGP::UpdateGuard guard(chart_); // the whole step paints once
        StepForward();
        StopAtPrice();
    }
    RedrawSideView();
    SaveAccount();
    Notify();
}

void TForm1::Advance() {
    Price bar;
    const TWeekStyle shown = chart_.ZhouQi();
    if ((stepOverride_ >= 0 ? stepOverride_ : c_.step) == 0) {
        store_.Next(bar);
    } else if (c_.basePeriod == 0) {
        if (shown == wsmin1)
            store_.Next(bar);
        else
            store_.NextStep(shown);
    } else {
        if (shown == wsDay)
            store_.Next(bar);
        else
            store_.NextStep(shown);
    }
}

void TForm1::StepForward() {
    store_.speriod = chart_.ZhouQi();
    chart_.SetShowFs(false);
    if (TwoStepMode() && !fullBarShown_) {
        // The newest bar, shown by its open, is revealed whole; even the last bar of the data
        // is shown whole before the end is reported.
        fullBarShown_ = true;
        ShowBars();
    } else {
        if (store_.Blast()) {
            StopPlay();
            Fail("已到数据最新时间，请补充数据包！");
            return;
        }
        Advance();
        fullBarShown_ = !TwoStepMode();
        ShowBars();
    }

    Price next, current;
    if (store_.PNext(next) && store_.CurValue(current) && next.Srq.view() != current.Srq.view() &&
        static_cast<int>(chart_.ZhouQi()) < static_cast<int>(wsDay) && account_.zcc() != 0 &&
        c_.basePeriod == 0) {
        StopPlay();
        overnightWarned_ = true;
        Tip("今天已经收盘，请注意是否要隔夜！");
    }
    account_.setJsj(chart_.GetLast("close"));
    ForcedClose();
    RefreshAccountView();
}

void TForm1::ForcedClose() {
    if (!(account_.kyzj() < 0) || account_.zcc() <= 0) return;
    if (account_.ddcc > 0) CloseAllLong();
    if (account_.kdcc > 0) CloseAllShort();
    Tip("保证金不足，强制平仓！");
}

void TForm1::StopAtPrice() {
    if (!c_.autoStop) return;
    const double p = NumberOr(c_.stopPriceBox, 0);
    const double low = chart_.GetLast("low"), high = chart_.GetLast("high");
    if (!(low < p && p < high)) return;
    if (account_.ddcc > 0) {
        account_.setJsj(p);
        CloseAllLong();
    }
    if (account_.kdcc > 0) {
        account_.setJsj(p);
        CloseAllShort();
    }
    account_.setJsj(chart_.GetLast("close"));
    RefreshAccountView();
}

void TForm1::PrevBar() {
    if (store_.startrow >= store_.lastrow()) {
        Fail("当前已到数据最前方！");
        return;
    }
    if (store_.period != 1) {
        Fail("请切换到基础周期再回退！");
        return;
    }
    TGP::UpdateGuard guard(chart_);
    Price bar;
    store_.Pri(bar);
    ShowBars();
    RefreshAccountView();
    Notify();
}

void TForm1::StopPlay() {
    if (playTimer_) playTimer_->Stop();
    c_.playCaption = "播放";
}

void TForm1::StopTickTimer() {
    if (tickTimer_) tickTimer_->Stop();
}

void TForm1::PlayPause() {
    if (Playing()) {
        StopPlay();
    } else {
        playTimer_->Start(PlayIntervalMs());
        c_.playCaption = "暂停";
    }
    Notify();
}

void TForm1::ToggleTickView() {
    TGP::UpdateGuard guard(chart_);
    chart_.SetFsCount(10);
    chart_.SetShowBottom(true);
    const bool on = !chart_.ShowFs();
    chart_.SetShowFs(on);
    if (!on) {
        StopTickTimer();
        c_.windowTitle = kMainTitle;
        chart_.SetShowBottom(c_.dateAxis == 0);
        ShowChart();
        return;
    }
    Price current;
    double d = 0;
    int date = 20151010;
    if (store_.CurValue(current) && ParseNumber(current.Srq.view(), d)) date = static_cast<int>(d);

    tickTime_.clear();
    tickPrice_.clear();
    tickVol_.clear();
    std::vector<std::string> lines;
    const std::string code = TrimBlanks(c_.codeBox);
    const std::string digits = std::to_string(date);
    if (ReadLines(FindPathNoCase(programDir_, "mindata/" + code + ".txt"), lines)) {
        for (const std::string& line : lines) {
            if (line.substr(0, 9).find(digits) == std::string::npos) continue;
            std::vector<std::string> fields;
            std::size_t from = 0;
            while (true) {
                std::size_t comma = line.find(',', from);
                std::string f =
                    line.substr(from, comma == std::string::npos ? comma : comma - from);
                f.erase(0, f.find_first_not_of('#'));
                fields.push_back(TrimBlanks(f));
                if (comma == std::string::npos) break;
                from = comma + 1;
            }
            auto field = [&](std::size_t i) {
                return NumberOr(i < fields.size() ? fields[i] : std::string("0"), 0);
            };
            tickTime_.push_back(field(1));
            tickPrice_.push_back(field(5));
            tickVol_.push_back(field(6));
        }
    }
    if (tickTime_.empty()) {
        StopTickTimer();
        chart_.SetShowFs(false);
        chart_.SetShowBottom(c_.dateAxis == 0);
        Fail("当前日期没有分时数据！请先补充数据！");
        return;
    }
    chart_.ClearTicks();
    chart_.SetFsCount(static_cast<int>(tickTime_.size()));
    static const char* const kWeekdays[] = {"日", "一", "二", "三", "四", "五", "六"};
    const int y = date / 10000, m = date / 100 % 100, dd = date % 100;
    // Zeller-style weekday of the Gregorian date (0 = Sunday).
    const int a = (14 - m) / 12, yy = y - a, mm = m + 12 * a - 2;
    const int weekday = ((dd + yy + yy / 4 - yy / 100 + yy / 400 + 31 * mm / 12) % 7 + 7) % 7;
    char when[64];
    std::snprintf(when, sizeof when, "     %04d年%d月%02d日", y, m, dd);
    c_.windowTitle = code + when + " 星期" + kWeekdays[weekday];
    tickCounter_ = 0;
    tickTimer_->Start(PlayIntervalMs());
    Notify();
}

void TForm1::TickTimerTick() {
    if (tickCounter_ < static_cast<int>(tickTime_.size())) {
        const auto i = static_cast<std::size_t>(tickCounter_);
        chart_.AddTick(tickTime_[i], tickVol_[i], tickVol_[i], tickPrice_[i]);
        account_.setJsj(tickPrice_[i]);
        RefreshAccountView();
    } else {
        StopTickTimer();
    }
    ++tickCounter_;
    Notify();
}

bool TForm1::ChartKey(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Tab: {
        const std::string file = FindPathNoCase(programDir_, "K_Main.zb");
        const std::string text = chart_.FormulaText(0);
        if (text.rfind("test", 0) != 0) {
            chart_.SaveWfcFile(0, file);
            chart_.SetWFCString(0, "test");
        } else {
            std::vector<std::string> lines;
            std::string back;
            if (ReadLines(file, lines))
                for (const std::string& l : lines) back += l + "\r\n";
            chart_.SetWFCString(0, back);
        }
        Notify();
        return true;
    }
    case Qt::Key_Space:
        if (!chart_.ShowFs()) return false;
        if (TickTimerRunning())
            StopTickTimer();
        else
            tickTimer_->Start(PlayIntervalMs());
        Notify();
        return true;
    case Qt::Key_F5:
        ToggleTickView();
        return true;
    default:
        return false;
    }
}

} // namespace vantor
