#pragma once
// A bar-view window over a raw program for pixel tests: series and records are handed in
// directly, and the frame of the last painting tells where bars and values went.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "chart/chart_window.h"
#include "chart/raw_program.h"
#include "chart/window_frame.h"

namespace vantor {

struct TestWindow {
    ChartWindow w;
    RawProgram* raw;
    int H = 200, W = 300;

    TestWindow() {
        auto p = std::make_unique<RawProgram>();
        raw = p.get();
        w.prog = std::move(p);
        w.ShowTop = true;
        w.ShowLeft = true;
        w.ShowRight = false;
        w.ShowBottom = false;
        w.ShowFs = false;
        w.KBar3d = false;
    }
    void Series(const std::string& name, const std::vector<double>& v) {
        raw->AddAll(name, v.data(), static_cast<int>(v.size()));
    }
    void Bars(const std::vector<double>& o, const std::vector<double>& h,
              const std::vector<double>& l, const std::vector<double>& c) {
        Series("open", o);
        Series("high", h);
        Series("low", l);
        Series("close", c);
    }
    QImage Paint(int left = 0, double scale = 10, int curX = -1, int curY = -1) {
        QImage img = MakeImage(W, H, kBlack);
        frame = ComputeFrame(w, *raw, RequestFor(w, W, H, left, scale, curX, curY));
        DrawLine(w, frame, img, kBlack);
        return img;
    }
    // Where the painting must have put bars and values, worked out by hand: with the left
    // scale the plot starts at x = 50 and its first bar two pixels right of the frame line,
    // bars are 10 pixels apart and 8 wide, and the value
    // range the painting chose spans the plot's rows from the top margin down to the bottom
    // one.
    struct Plot {
        int top = 0, bottom = 0; // rows of the range's top and of its bottom
        double minValue = 0, maxValue = 0;
        int bw = 8;
        int X(int bar) const { return 52 + 10 * bar; }
        int CX(int bar) const { return X(bar) + 4; }
        int Y(double v) const {
            const double perUnit = (bottom - top) / (maxValue - minValue);
            return bottom - static_cast<int>(std::trunc((v - minValue) * perUnit));
        }
    };
    Plot Map() const {
        EXPECT_TRUE(w.ShowLeft);
        return {frame.plot.Top, frame.plot.Bottom - 1, frame.m.minValue, frame.m.maxValue};
    }
    int Top() const { return frame.plot.Top; }
    WindowFrame frame; // of the last painting
};

} // namespace vantor
