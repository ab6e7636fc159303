#pragma once
// One chart window over a program that computes nothing, for pixel tests: 300 x 200 with
// the title row and the left scale, painted from bar 0 at a given bar width.

#include <memory>
#include <string>
#include <vector>

#include "chart/chart_window.h"
#include "chart/raw_program.h"
#include "chart/window_frame.h"

namespace vantor {

struct PixelWindow {
    ChartWindow w;
    RawProgram* raw;
    int W = 300, H = 200;
    WindowFrame frame;

    PixelWindow() {
        auto p = std::make_unique<RawProgram>();
        raw = p.get();
        w.prog = std::move(p);
        w.ShowTop = true;
        w.ShowLeft = true;
        w.ShowRight = false;
        w.ShowBottom = false;
        w.Main = true;
        w.KBar3d = false;
        w.LineColor = kMaroon;
    }
    void Series(const std::string& name, const std::vector<double>& v) {
        raw->AddAll(name, v.data(), static_cast<int>(v.size()));
    }
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
        QImage img = MakeImage(W, H, kBlack);
        frame = ComputeFrame(w, *raw, RequestFor(w, W, H, 0, scale, curX, curY));
        DrawLine(w, frame, img, kBlack);
        return img;
    }
};

} // namespace vantor
