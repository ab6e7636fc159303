#pragma once
// The price window of the pixel tests (see TestWindow), painted from bar 0 at a given bar
// width, with bars made from their highs.

#include <memory>
#include <string>
#include <vector>

#include "test_window.h"

namespace vantor {

struct PixelWindow : TestWindow {
    PixelWindow() { w.Main = true; }
    // Bars with these highs, lows one below, opens and closes between.
    void Highs(const std::vector<double>& h) {
        std::vector<double> l, o, c;
        for (double v : h) {
            l.push_back(v - 1);
            o.push_back(v - 0.8);
            c.push_back(v - 0.2);
        }
        Series("high", h);
        Series("low", l);
        Series("open", o);
        Series("close", c);
    }
    QImage Paint(double scale, int curX = -1, int curY = -1) {
        return TestWindow::Paint(0, scale, curX, curY);
    }
};

} // namespace vantor
