#include <gtest/gtest.h>

#include <QImage>

#include "chart/canvas.h"
#include "chart/color_words.h"

namespace vantor {
namespace {

TEST(ColorOfWord, NamedHexAndConstantWords) {
    auto consts = [](const std::string& n) {
        return n == "mc" ? std::string("colorred") : std::string();
    };
    struct Case {
        const char* word;
        TColor want;
    } cases[] = {
        {"COLOR0000FF", 0x0000FF}, {"colorff0000", 0xFF0000},  {"COLORFF", 0xFFFFFF},
        {"colorred", 0x0000FF},    {"COLORLIGREEN", 0x40C040}, {"COLORXYZ123", 0xFFFFFF},
        {"mc", 0x0000FF},          {"nocolorword", 0xFFFFFF},  {"unknown", 0xFFFFFF},
    };
    for (const auto& c : cases) EXPECT_EQ(ColorOfWord(c.word, consts), c.want) << c.word;
}

TEST(OutputRecord, SplitsKeepQuotedText) {
    OutputRecord r = ParseRecord("drawtext=c>o,low,'a,b::c',::colorred,linethick2");
    EXPECT_EQ(r.kind, "drawtext");
    EXPECT_EQ(r.arg(1), "c>o");
    EXPECT_EQ(r.arg(3), "'a,b::c'");
    EXPECT_EQ(r.arg(4), "");
    EXPECT_EQ(r.arg(41), "");
    ASSERT_EQ(r.attrWords.size(), 2u);
    EXPECT_TRUE(r.HasWord("linethick2"));
    OutputRecord k = ParseRecord("drawkline=high,open,low,close");
    EXPECT_EQ(k.arg(4), "close");
    EXPECT_TRUE(k.attrs.empty());
}

TEST(ApplyLineAttrs, PenFromWordsLaterWordsWin) {
    QImage img(4, 4, QImage::Format_RGB32);
    Canvas c(img);
    struct Case {
        std::vector<std::string> words;
        TColor color;
        int width;
        PenStyle style;
    } cases[] = {
        {{"linethick3"}, kWhite, 3, PenStyle::Solid},
        {{"linethick0"}, kWhite, 1, PenStyle::Solid},
        {{"linethick"}, kWhite, 1, PenStyle::Solid},
        {{"color0000ff", "linedash"}, kRed, 1, PenStyle::Dash},
        {{"dotline", "linedashdotdot"}, kWhite, 1, PenStyle::DashDotDot},
        {{"colorred", "colorblue", "linethick9"}, kBlue, 9, PenStyle::Solid},
    };
    for (const auto& k : cases) {
        ApplyLineAttrs(c, k.words);
        EXPECT_EQ(c.PenColor(), k.color);
        EXPECT_EQ(c.PenWidth(), k.width);
        EXPECT_EQ(c.GetPenStyle(), k.style);
        EXPECT_TRUE(c.BrushClear());
    }
}

TEST(Canvas, RectanglesAndLinesLeaveOutTheirEnds) {
    QImage img(20, 20, QImage::Format_RGB32);
    img.fill(Qt::black);
    Canvas c(img);
    c.SetPen(kRed);
    c.SetBrush(kCyan);
    c.Rectangle(2, 2, 6, 6);
    EXPECT_EQ(c.Pixel(2, 2), kRed);
    EXPECT_EQ(c.Pixel(5, 5), kRed);
    EXPECT_EQ(c.Pixel(6, 6), kBlack);
    EXPECT_EQ(c.Pixel(3, 3), kCyan);
    c.FillRect(10, 10, 12, 12, kYellow);
    EXPECT_EQ(c.Pixel(11, 11), kYellow);
    EXPECT_EQ(c.Pixel(12, 11), kBlack);
    c.SetPen(kWhite);
    c.Line(0, 15, 10, 15);
    EXPECT_EQ(c.Pixel(9, 15), kWhite);
    EXPECT_EQ(c.Pixel(10, 15), kBlack);
    c.Line(-100000000, 19, 100000000, 19); // far outside: clipped, bounded
    EXPECT_EQ(c.Pixel(0, 19), kWhite);
    EXPECT_EQ(c.Pixel(19, 19), kWhite);
    c.SetPixel(-1, 50, kWhite); // ignored
    EXPECT_EQ(c.Pixel(-1, 50), kBlack);
    // Transparent drawing leaves out the bottom-left pixel's colour.
    QImage icon(2, 2, QImage::Format_RGB32);
    icon.fill(Qt::white);
    icon.setPixel(1, 0, qRgb(0, 0, 255));
    c.DrawTransparent(16, 0, icon);
    EXPECT_EQ(c.Pixel(16, 0), kBlack);
    EXPECT_EQ(c.Pixel(17, 0), kBlue);
}

// Text is put from cached glyph pictures; it must land exactly where Qt draws it, also
// when it reaches past the image or a clip, in every font and colour the chart uses.
TEST(Canvas, TextMatchesQtsOwnDrawingPixelForPixel) {
    const struct Case {
        FontSpec font;
        int x, y;
        std::string text;
        QRect clip; // empty: none
    } cases[] = {
        {{"Arial", 15, kYellow, false}, 5, 5, "3012.60", {}},
        {{"Arial", 16, kRed, true}, 20, 30, "60", {}},
        {{"Arial", 12, 0x0080FF, false}, -6, -4, "4711.25", {}},
        {{"Tahoma", 15, kWhite, false}, 70, 62, "Wg(jy)", {}},
        {{"宋体", 15, kCyan, false}, 10, 40, "训练(日线)MACD", {}},
        {{"Arial", 15, kWhite, false}, 3, 20, "2150 1234.5", QRect(10, 22, 30, 8)},
    };
    QImage ground(96, 72, QImage::Format_RGB32);
    ground.fill(qRgb(0, 0, 128));
    for (const auto& k : cases) {
        QImage got = ground.copy(), want = ground.copy();
        {
            Canvas c(got);
            c.SetFont(k.font);
            if (!k.clip.isEmpty())
                c.SetClip(k.clip.left(), k.clip.top(), k.clip.right() + 1, k.clip.bottom() + 1);
            c.TextOut(k.x, k.y, k.text);
            c.TextOut(k.x, k.y, k.text); // the second time from the cache
        }
        QPainter p(&want);
        const QFont f = MakeFont(k.font.name, k.font.height, k.font.underline);
        p.setFont(f);
        p.setPen(ToQColor(k.font.color));
        if (!k.clip.isEmpty()) p.setClipRect(k.clip);
        p.drawText(k.x, k.y + QFontMetrics(f).ascent(), QString::fromStdString(k.text));
        p.end();
        EXPECT_EQ(got, want) << k.text;
        EXPECT_NE(want, ground) << k.text << ": nothing drawn";
    }
}

} // namespace
} // namespace vantor
