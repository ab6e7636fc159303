#pragma once
// Canvas: the drawing surface every chart painting goes through. It wraps a QPainter on a
// QImage and keeps the conventions the painting code is written for: rectangles and fills
// leave out their right and bottom edge, LineTo leaves out its last pixel, text is placed
// by its top-left corner, pens of width 1 are cosmetic with dot and dash patterns, and
// colours are TColor values ($00BBGGRR, red in the low byte) converted to QColor only here.

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <cstdint>
#include <memory>
#include <string>

namespace vantor {

// A colour laid out as $00BBGGRR.
using TColor = std::uint32_t;

constexpr TColor RGBColor(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(TColor c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(TColor c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(TColor c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

QColor ToQColor(TColor c);
TColor FromQRgb(QRgb rgb);

constexpr TColor kBlack = 0x000000;
constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kRed = 0x0000FF;
constexpr TColor kBlue = 0xFF0000;
constexpr TColor kCyan = 0xFFFF00;
constexpr TColor kYellow = 0x00FFFF;
constexpr TColor kGreen = 0x008000;
constexpr TColor kLime = 0x00FF00;
constexpr TColor kGray = 0x808080;
constexpr TColor kMaroon = 0x000080;

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Clear };

// A font as the painting code names it: a face name, a height in pixels (the cell height
// of a line of text), a colour and an underline switch.
struct FontSpec {
    std::string name = "Arial";
    int height = 15;
    TColor color = kWhite;
    bool underline = false;
};

// Builds a QFont for a face name the chart uses ("Arial", "Tahoma", "宋体" ...) with
// fall-backs to installed faces (DejaVu Sans, Noto Sans CJK) so Latin digits and Chinese
// captions both render; the pixel size is chosen so a text line is at most `height` high.
QFont MakeFont(const std::string& name, int height, bool underline = false);

// The line height and the width of a digit of a font, as a Canvas with it measures them.
struct FontMeasure {
    int lineHeight = 0, digitWidth = 0;
};
FontMeasure MeasureFont(const FontSpec& font);

// The size of an image in its logical pixels (device pixels over its pixel ratio), the
// size a Canvas on it paints in.
QSize LogicalSize(const QImage& image);

// A new 24-bit image of the given size (sides below 1 become 1) filled with `fill`.
QImage MakeImage(int w, int h, TColor fill);

// A built font with its metrics and the name it has in the text caches.
struct BuiltFont {
    QFont font;
    QFontMetrics metrics;
    std::string key;
};

class Canvas {
public:
    explicit Canvas(QImage& image);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // The size in the painting's own (logical) pixels: an image with a device pixel ratio
    // r holds r x r device pixels per logical pixel.
    int Width() const { return w_; }
    int Height() const { return h_; }
    QImage& Image() { return image_; }

    // --- pen, brush, font ---
    void SetPen(TColor color, int width = 1, PenStyle style = PenStyle::Solid);
    void SetPenColor(TColor color) { pen_ = color; }
    void SetPenWidth(int width) { penWidth_ = width < 1 ? 1 : width; }
    void SetPenStyle(PenStyle style) { penStyle_ = style; }
    TColor PenColor() const { return pen_; }
    int PenWidth() const { return penWidth_; }
    PenStyle GetPenStyle() const { return penStyle_; }

    void SetBrush(TColor color) {
        brush_ = color;
        brushClear_ = false;
    }
    void SetBrushClear() { brushClear_ = true; }
    bool BrushClear() const { return brushClear_; }
    TColor BrushColor() const { return brush_; }

    void SetFont(const FontSpec& font);
    const FontSpec& Font() const { return font_; }
    void SetFontColor(TColor color) { font_.color = color; }
    void SetFontUnderline(bool on);
    void SetFontHeight(int height);

    // Text drawn on an opaque ground of `color`, or transparently.
    void SetTextOpaque(bool opaque, TColor color = kBlack) {
        textOpaque_ = opaque;
        textGround_ = color;
    }

    // --- drawing ---
    void MoveTo(int x, int y) {
        px_ = x;
        py_ = y;
    }
    // A line from the pen position to (x, y) without its last pixel; the pen moves there.
    void LineTo(int x, int y);
    void Line(int x1, int y1, int x2, int y2) {
        MoveTo(x1, y1);
        LineTo(x2, y2);
    }
    // Outline in the pen and interior in the brush, covering x1..x2-1 and y1..y2-1.
    void Rectangle(int x1, int y1, int x2, int y2);
    // The brush over x1..x2-1, y1..y2-1 (nothing with a clear brush).
    void FillRect(int x1, int y1, int x2, int y2);
    void FillRect(int x1, int y1, int x2, int y2, TColor color);
    // An ellipse inside the box x1..x2-1, y1..y2-1.
    void Ellipse(int x1, int y1, int x2, int y2);
    void Polygon(const QPoint* points, int count);
    // Text with its top-left corner at (x, y).
    void TextOut(int x, int y, const std::string& text);
    int TextWidth(const std::string& text) const;
    int TextHeight(const std::string& text) const;

    // The bitmap with its top-left corner at (x, y), the colour of its bottom-left pixel
    // left out (transparent).
    void DrawTransparent(int x, int y, const QImage& bmp);
    // The bitmap stretched into the rectangle x1..x2-1, y1..y2-1 (corners in any order).
    void StretchDraw(int x1, int y1, int x2, int y2, const QImage& bmp);
    void DrawImage(int x, int y, const QImage& bmp);
    // A picture with an alpha channel (premultiplied ARGB) blended in with its top-left
    // corner at (x, y); the fast way to put one small picture many times.
    void Stamp(int x, int y, const QImage& argb);
    // The text as TextOut would draw it, on a transparent picture of its width and the
    // line height, for Stamp.
    QImage TextStamp(const std::string& text) const;

    // Drawing is kept inside x1..x2-1, y1..y2-1 (within the image) until ClearClip;
    // reading pixels is not.
    void SetClip(int x1, int y1, int x2, int y2);
    void ClearClip();

    // Pixel access; points outside the image (or the clip) are ignored and read as black.
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    // Anti-aliasing stays off; a painting step that draws smoothed lines itself turns it on.
    QPainter& Painter() { return painter_; }

private:
    void Plot(int x, int y, TColor c) {
        if (x < clipL_ || y < clipT_ || x >= clipR_ || y >= clipB_) return;
        if (scaled_)
            PlotBlock(x, y, c);
        else
            bits_[y * stride_ + x] = 0xFF000000u | rgb(c);
    }
    // The device pixels of logical pixel (x, y) on a high-density image.
    void PlotBlock(int x, int y, TColor c);
    // Device rows or columns where logical coordinate v begins.
    int Dev(int v) const { return static_cast<int>(v * ratio_); }
    static std::uint32_t rgb(TColor c) {
        return (static_cast<std::uint32_t>(RedOf(c)) << 16) |
               (static_cast<std::uint32_t>(GreenOf(c)) << 8) |
               static_cast<std::uint32_t>(BlueOf(c));
    }
    bool PatternOn(int step) const;
    void ThinLine(int x1, int y1, int x2, int y2);
    void WideLine(int x1, int y1, int x2, int y2);
    void ApplyQtFont();
    // The text's glyphs put from a cached picture; false when they are not all solid pixels
    // and Qt has to blend them in.
    bool StampText(int x, int y, const std::string& text);

    QImage& image_;
    QPainter painter_;
    std::uint32_t* bits_ = nullptr;
    int stride_ = 0, w_ = 0, h_ = 0;                    // w_, h_ logical
    int clipL_ = 0, clipT_ = 0, clipR_ = 0, clipB_ = 0; // drawn area, right and bottom excluded
    double ratio_ = 1;                                  // device pixels per logical pixel
    bool scaled_ = false;                               // ratio_ is not 1
    int dw_ = 0, dh_ = 0;                               // device size
    TColor pen_ = kBlack;
    int penWidth_ = 1;
    PenStyle penStyle_ = PenStyle::Solid;
    TColor brush_ = kWhite;
    bool brushClear_ = false;
    FontSpec font_;
    std::shared_ptr<const BuiltFont> built_; // the Qt font of font_
    bool textOpaque_ = false;
    TColor textGround_ = kBlack;
    int px_ = 0, py_ = 0;
};

} // namespace vantor
