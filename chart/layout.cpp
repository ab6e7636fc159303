#include "chart/layout.h"

#include <algorithm>
#include <cmath>

namespace vantor {

void DefaultDivision(WindowHeights& gsh, int n, int avail) {
    n = std::clamp(n, 1, kMaxWindows);
    avail = std::max(avail, 0);
    int u = avail / (n + 1);
    gsh[0] = 2 * u;
    int sum = gsh[0];
    for (int i = 1; i < n; ++i) {
        gsh[static_cast<size_t>(i)] = u;
        sum += u;
    }
    if (sum < avail) gsh[static_cast<size_t>(n - 1)] += avail - sum;
}

void ProportionalRedivision(WindowHeights& gsh, int n, int oldAvail, int newAvail) {
    n = std::clamp(n, 1, kMaxWindows);
    newAvail = std::max(newAvail, 0);
    if (oldAvail <= 0) {
        DefaultDivision(gsh, n, newAvail);
        return;
    }
    double f = static_cast<double>(newAvail) / oldAvail;
    int sum = 0;
    for (int i = 0; i < n; ++i) {
        auto& h = gsh[static_cast<size_t>(i)];
        h = std::max(0, static_cast<int>(std::trunc(h * f)));
        sum += h;
    }
    if (sum < newAvail) {
        if (newAvail - sum < newAvail / (n + 1))
            gsh[static_cast<size_t>(n - 1)] += newAvail - sum;
        else
            DefaultDivision(gsh, n, newAvail);
    } else if (sum > newAvail) {
        // Heights that were stored for a taller control never add up to more than there is.
        DefaultDivision(gsh, n, newAvail);
    }
}

TabStrip LayoutTabs(const std::vector<int>& textWidths, int controlWidth) {
    TabStrip s;
    int x = 0;
    for (int tw : textWidths) {
        if (controlWidth < x + tw + 29) {
            s.fillFrom = x;
            break;
        }
        s.x.push_back(x);
        s.width.push_back(tw + 9);
        x += tw + 9;
    }
    return s;
}

int TabAt(const TabStrip& strip, int x) {
    for (size_t i = 0; i < strip.x.size(); ++i)
        if (x >= strip.x[i] && x < strip.x[i] + strip.width[i]) return static_cast<int>(i);
    return -1;
}

namespace {
bool In(int x, int y, int l, int t, int r, int b) {
    return x >= l && x < r && y >= t && y < b;
}
} // namespace

HitResult HitTest(const HitLayout& lay, int x, int y) {
    HitResult res;
    int W = lay.width, H = lay.height;
    if (lay.showBoard) {
        int bx = W - lay.boardWidth;
        bool found = false;
        if (In(x, y, bx, 0, W, H)) {
            res.region = TWeiStyle::wsInfo;
            res.clearCursor = true;
            found = true;
        }
        if (In(x, y, bx, lay.jHeight, W, H - kTabHeight)) {
            res.region = TWeiStyle::wsFenJia;
            res.clearCursor = true;
            found = true;
        }
        if (In(x, y, bx, H - kTabHeight, W, H)) {
            res.region = TWeiStyle::wsBTab;
            found = true;
        }
        if (In(x, y, bx - 1, 0, bx + 1, H)) {
            res.region = TWeiStyle::wsBSize;
            found = true;
        }
        if (found) return res;
        W = W - lay.boardWidth - 2;
    }
    if (lay.tickView) {
        int r = ScaleWidth(lay.fsRightScale);
        if (In(x, y, 0, 0, W - r, lay.fsh)) res.region = TWeiStyle::wsFS;
        if (In(x, y, 0, lay.fsh, W - r, H)) res.region = TWeiStyle::wsVol;
        if (In(x, y, 0, lay.fsh - 1, W, lay.fsh + 1)) res.region = TWeiStyle::wsFSize;
        return res;
    }
    bool tabBand = In(x, y, 0, H - kTabHeight, W, H);
    if (lay.windows <= 1) {
        res.region = tabBand ? TWeiStyle::wsTab : TWeiStyle::wsGS1;
        if (!tabBand) res.window = 0;
        return res;
    }
    if (tabBand) {
        res.region = TWeiStyle::wsTab;
        return res;
    }
    int t = 0;
    for (int i = 0; i < lay.windows; ++i) {
        int r = ScaleWidth(lay.rightScale[static_cast<size_t>(i)]);
        int h = lay.gsh[static_cast<size_t>(i)];
        if (In(x, y, 0, t + 1, W - r, t + h - 1)) {
            res.region = static_cast<TWeiStyle>(static_cast<int>(TWeiStyle::wsGS1) + i);
            res.window = i;
            return res;
        }
        t += h;
    }
    t = lay.gsh[0];
    for (int i = 1; i < lay.windows; ++i) {
        int r = ScaleWidth(lay.rightScale[static_cast<size_t>(i)]);
        if (In(x, y, 0, t - 1, W - r, t + 1)) {
            res.region = TWeiStyle::wsKSize;
            res.boundary = i - 1;
            return res;
        }
        t += lay.gsh[static_cast<size_t>(i)];
    }
    return res;
}

int SettleVisibleRange(VisibleRange& r, int width, int margins, int len) {
    int P = std::max(width - margins, 0);
    if (r.scale < 1) r.scale = 1;
    int n = P / r.scale;
    if (n < 4) {
        r.scale = std::max(r.scale / 2, 1);
        n = P / r.scale;
    }
    if (r.oldWidth != width) {
        // A chart never painted before has no right edge to keep.
        if (r.oldWidth > 0 && r.oldScale >= 1)
            r.leftBar = std::max(r.oldWidth - margins, 0) / r.oldScale + r.oldLeftBar - n;
        r.oldWidth = width;
    }
    if (r.oldScale != r.scale) {
        if (r.oldScale >= 1) r.leftBar = P / r.oldScale + r.oldLeftBar - n;
        r.oldScale = r.scale;
    }
    if (len < n + r.leftBar) r.leftBar = std::max(len - n, 0);
    if (r.leftBar < 0) r.leftBar = 0;
    return n;
}

} // namespace vantor
