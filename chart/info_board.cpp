// The information board: quote rows, the 分笔 / 分价 / 跟踪 panel and its tab row, painted
// at the right edge of the control.

#include "chart/info_board.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "chart/tgp.h"
#include "chart/window_frame.h"

namespace vantor {

std::string FormatValue(const char* fmt, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, v);
    return buf;
}

namespace {
TColor AgainstClose(double v, double last) {
    return v > last ? kBoardUp : kBoardDown;
}

BoardRow Pair(const char* l1, std::string v1, TColor c1, const char* l2, std::string v2,
              TColor c2) {
    return {false, l1, std::move(v1), l2, std::move(v2), c1, c2};
}

BoardRow Rule() {
    BoardRow r;
    r.rule = true;
    return r;
}
} // namespace

std::vector<BoardRow> QuoteRows(const TTDX_PKBASE& q, int type, const std::string& fmt) {
    std::vector<BoardRow> rows;
    const char* f = fmt.c_str();
    const double last = q.last;
    if (type != 7) {
        double bids = 0, asks = 0;
        for (int k = 0; k < 5; ++k) {
            bids += q.buyQTY[static_cast<size_t>(k)];
            asks += q.sellQTY[static_cast<size_t>(k)];
        }
        const double diff = bids - asks, sum = bids + asks;
        rows.push_back(Pair("委比", sum > 0 ? FormatValue("%.2f%%", diff * 100 / sum) : "0%",
                            diff > 0 ? kBoardUp : kBoardDown, "委差", FormatValue("%6.0f", diff),
                            diff > 0 ? kBoardUp : kBoardDown));
        rows.push_back(Rule());
        static const char* const kSell[] = {"卖五", "卖四", "卖三", "卖二", "卖一"};
        static const char* const kBuy[] = {"买一", "买二", "买三", "买四", "买五"};
        for (int k = 4; k >= 0; --k) {
            const auto i = static_cast<size_t>(k);
            rows.push_back(Pair(kSell[4 - k], FormatValue(f, q.sell[i]),
                                AgainstClose(q.sell[i], last), "",
                                FormatValue("%.0f", q.sellQTY[i]), kBoardVolume));
        }
        rows.push_back(Rule());
        for (int k = 0; k < 5; ++k) {
            const auto i = static_cast<size_t>(k);
            rows.push_back(Pair(kBuy[k], FormatValue(f, q.buy[i]), AgainstClose(q.buy[i], last), "",
                                FormatValue("%.0f", q.buyQTY[i]), kBoardVolume));
        }
        rows.push_back(Rule());
    }
    double price = q.prize;
    if (price == 0) price = q.sell[0];
    if (price == 0) price = last;
    const double change = price - last;
    rows.push_back(Pair("现价", FormatValue(f, q.prize), AgainstClose(q.prize, last), "今开",
                        FormatValue(f, q.open), AgainstClose(q.open, last)));
    rows.push_back(Pair("涨跌", FormatValue(f, change), AgainstClose(change, 0), "最高",
                        FormatValue(f, q.highest), AgainstClose(q.highest, last)));
    rows.push_back(Pair("涨幅", FormatValue("%6.2f%%", last != 0 ? change * 100 / last : 0),
                        AgainstClose(change, 0), "最低", FormatValue(f, q.lowest),
                        AgainstClose(q.lowest, last)));
    rows.push_back(Pair("总量", FormatValue("%5.1f万", q.volume / 10000.0), kBoardVolume, "总额",
                        FormatValue("%.0f万", q.amount / 10000.0), kBoardVolume));
    rows.push_back(Pair("外盘", FormatValue("%7.0f", q.s), kBoardUp, "内盘",
                        FormatValue("%7.0f", q.b), kBoardDown));
    rows.push_back(Rule());
    return rows;
}

TickTexts TickRow(const TTDX_DEALInfo& t, const std::string& fmt) {
    TickTexts r;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.02d:%.02d", t.time / 100, t.time % 100);
    r.time = buf;
    r.price = FormatValue(fmt.c_str(), t.price);
    r.volume = FormatValue("%.0f", t.volume);
    r.mark = t.direction == 0 ? "B" : t.direction == 1 ? "S" : " ";
    std::snprintf(buf, sizeof buf, "%3d", static_cast<int>(t.trades));
    r.count = buf;
    return r;
}

std::vector<PriceLevel> PriceTable(const std::vector<TTDX_DEALInfo>& ticks) {
    std::map<float, double> sums;
    for (const TTDX_DEALInfo& t : ticks) {
        auto it = sums.find(t.price);
        if (it == sums.end() && sums.size() >= 1001) continue;
        sums[t.price] += t.volume;
    }
    std::vector<PriceLevel> out;
    out.reserve(sums.size());
    for (auto it = sums.rbegin(); it != sums.rend(); ++it) out.push_back({it->first, it->second});
    return out;
}

// --- painting (TGP's board) ---

namespace {
void RightText(Canvas& c, int right, int y, const std::string& s) {
    c.TextOut(right - c.TextWidth(s), y, s);
}

std::string Trimmed(const std::string& s) {
    size_t b = s.find_first_not_of(' ');
    return b == std::string::npos ? std::string() : s.substr(b);
}
} // namespace

int TGP::BoardTabWidth() {
    Canvas c(FCache_);
    c.SetFont(FBoardFont_);
    return c.TextWidth("分笔") + 6;
}

void TGP::PaintBoard(int W) {
    const int bw = width_ - W, H = height_;
    if (bw <= 0 || H <= 0) return;
    QImage board = MakeImage(DevicePixelsOf(bw), DevicePixelsOf(H), FColor_);
    board.setDevicePixelRatio(ratio_);
    if (FFillStyle_ == wNone)
        board.fill(ToQColor(FColor_));
    else
        FillGradient(board, FFillColor_, FColor_, FFillStyle_);
    Canvas c(board);
    c.SetPen(FLineColor_);
    c.Line(0, 0, 0, H);

    // Header: code and name centred, yellow (cyan for an instrument of the own list).
    FontSpec head = FBoardFont_;
    head.height = 16; // size 12
    head.color = FZiXuan_ ? kCyan : kYellow;
    c.SetFont(head);
    const std::string title = FSTKLABEL_ + " " + FSTKNAME_;
    c.TextOut((bw - c.TextWidth(title)) / 2, 6, title);
    int y = 6 + c.TextHeight(title) + 3;
    c.SetPen(FLineColor_);
    c.Line(0, y, bw, y);
    y += 2;

    c.SetFont(FBoardFont_);
    const int rh = c.TextHeight("国") + 2, mid = bw / 2;
    for (const BoardRow& r : QuoteRows(StockInfo_.INFO, StockInfo_.FTYPE, FMT_)) {
        if (r.rule) {
            c.SetPen(FLineColor_);
            c.Line(0, y + 1, bw, y + 1);
            y += 3;
            continue;
        }
        c.SetFontColor(kBoardLabel);
        c.TextOut(1, y, r.label1);
        if (!r.label2.empty()) c.TextOut(mid, y, r.label2);
        c.SetFontColor(r.color1);
        RightText(c, mid - 3, y, Trimmed(r.value1));
        c.SetFontColor(r.color2);
        RightText(c, bw - 3, y, Trimmed(r.value2));
        y += rh;
    }
    FJHeight_ = y + 2;

    const int panelBottom = H - kBoardTabHeight;
    const double last = StockInfo_.INFO.last;
    if (FInfoType_ == 0) {
        // 分笔: the latest ticks that fit, oldest of them first.
        const int fit = std::max((panelBottom - FJHeight_) / rh, 0);
        const size_t n = Fenbi_.size(), from = n > static_cast<size_t>(fit) ? n - fit : 0;
        int ty = FJHeight_;
        for (size_t i = from; i < n; ++i, ty += rh) {
            const TTDX_DEALInfo& t = Fenbi_[i];
            const TickTexts r = TickRow(t, FMT_);
            c.SetFontColor(kBoardLabel);
            c.TextOut(1, ty, r.time);
            c.SetFontColor(AgainstClose(t.price, last));
            RightText(c, bw * 9 / 20, ty, Trimmed(r.price));
            c.SetFontColor(kBoardVolume);
            RightText(c, bw * 3 / 4, ty, r.volume);
            c.SetFontColor(t.direction == 0 ? kBoardUp : kBoardDown);
            c.TextOut(bw * 3 / 4 + 3, ty, r.mark);
            c.SetFontColor(kBoardLabel);
            RightText(c, bw - 3, ty, r.count);
        }
    } else if (FInfoType_ == 1) {
        // 分价: volume per price, high to low; the last rows that fit.
        const auto table = PriceTable(Fenbi_);
        double largest = 0;
        for (const PriceLevel& p : table) largest = std::max(largest, p.volume);
        const int fit = std::max((panelBottom - FJHeight_) / rh, 0);
        const size_t from = table.size() > static_cast<size_t>(fit) ? table.size() - fit : 0;
        const int volRight = bw * 2 / 3, barLeft = volRight + 7, room = bw - barLeft - 2;
        int ty = FJHeight_;
        for (size_t i = from; i < table.size(); ++i, ty += rh) {
            const PriceLevel& p = table[i];
            c.SetFontColor(AgainstClose(p.price, last));
            c.TextOut(1, ty, Trimmed(FormatValue(FMT_.c_str(), p.price)));
            c.SetFontColor(kBoardVolume);
            RightText(c, volRight, ty,
                      StockInfo_.FTYPE == 7 ? FormatValue("%.0f万", p.volume / 100)
                                            : FormatValue("%.0f", p.volume));
            const int len = largest > 0 ? static_cast<int>(p.volume / largest * room) : 0;
            if (len > 0) c.FillRect(barLeft, ty + 2, barLeft + len, ty + rh - 2, kBoardVolume);
        }
    } else {
        // 跟踪: the other view in small.
        const int top = FJHeight_, h = panelBottom - FJHeight_;
        if (h > 20 && bw > 20) {
            QPainter p(&board);
            if (FShowFs_) {
                QImage img = MakeImage(DevicePixelsOf(bw - 1), DevicePixelsOf(h), FColor_);
                img.setDevicePixelRatio(ratio_);
                const int fit = std::max((bw - 1) / 6, 1);
                PaintSmall(*K_Main_, img, std::max(BarCount() - fit, 0), 6);
                p.drawImage(1, top, img);
            } else {
                const int fh = h * 2 / 3;
                QImage price = MakeImage(DevicePixelsOf(bw - 1), DevicePixelsOf(fh), FColor_);
                QImage vol = MakeImage(DevicePixelsOf(bw - 1), DevicePixelsOf(h - fh), FColor_);
                price.setDevicePixelRatio(ratio_);
                vol.setDevicePixelRatio(ratio_);
                PaintSmall(*FS_Main_, price, 0, range_.scale);
                PaintSmall(*FS_VOL_, vol, 0, range_.scale);
                p.drawImage(1, top, price);
                p.drawImage(1, top + fh, vol);
            }
        }
    }

    // Tab row: 分笔, 分价, 跟踪; the selected one in grey, the others cyan.
    c.SetPen(FLineColor_);
    c.Line(0, panelBottom, bw, panelBottom);
    FInfoWidth_ = c.TextWidth("分笔") + 6;
    static const char* const kTabs[] = {"分笔", "分价", "跟踪"};
    for (int k = 0; k < 3; ++k) {
        const int x = 1 + k * FInfoWidth_;
        c.SetFontColor(k == FInfoType_ ? RGBColor(128, 128, 128) : kCyan);
        c.TextOut(x + 3, panelBottom + (kBoardTabHeight - c.TextHeight("分")) / 2, kTabs[k]);
        c.SetPen(FLineColor_);
        c.Line(x + FInfoWidth_, panelBottom, x + FInfoWidth_, H);
    }
    QPainter p(&FCache_);
    p.drawImage(W, 0, board);
}

void TGP::ClickBoardTab(int x) {
    if (FInfoWidth_ <= 0) FInfoWidth_ = BoardTabWidth();
    const int k = (x + FBoardWidth_ - width_) / FInfoWidth_;
    if (k < 0 || k >= 3 || k == FInfoType_) return;
    FInfoType_ = k;
    ReDraw();
}

} // namespace vantor
