// Skipping ahead: 跳到下一交易日 and 前进N根 run the replay step bar after bar inside one chart
// update, so a skip of a hundred bars costs one repaint and one save of the account.

#include <climits>

#include "account/numbers.h"
#include "market/data_files.h"
#include "practice/practice.h"

namespace vantor {

bool TForm1::SkipOneBar() {
    const int trades = tradeCount_;
    overnightWarned_ = false;
    auto fired = [&] { return tradeCount_ != trades || overnightWarned_; };
    if (TwoStepMode() && !fullBarShown_) {
        // The newest bar, so far shown by its open, is revealed whole first.
        StepForward();
        StopAtPrice();
        if (fired()) return false;
    }
    if (store_.Blast()) {
        StepForward(); // reports the end of the data
        return false;
    }
    StepForward();
    StopAtPrice();
    return !fired();
}

void TForm1::RunSkip(int step, int bars, const std::function<bool()>& done) {
    if (chart_.ShowFs()) {
        Fail("分时图暂不支持下一K线");
        return;
    }
    {
        TGP::UpdateGuard guard(chart_);
        stepOverride_ = step;
        for (int i = 0; i < bars && SkipOneBar() && !done(); ++i) {
        }
        stepOverride_ = -1;
    }
    RedrawSideView();
    SaveAccount();
    Notify();
}

void TForm1::SkipToNextDay() {
    Price bar;
    const std::string day = store_.CurValue(bar) ? bar.Srq.str() : std::string();
    RunSkip(0, INT_MAX, [&] { return store_.CurValue(bar) && bar.Srq.str() != day; });
}

void TForm1::SkipBars() {
    double n = 0;
    if (!ParseNumber(TrimBlanks(c_.skipBarsBox), n) || !(n >= 1)) {
        Fail("前进根数不对！");
        return;
    }
    const int bars = n > 1e6 ? 1000000 : static_cast<int>(n);
    RunSkip(1, bars, [] { return false; });
}

} // namespace vantor
