#include "chart/canvas.h"

#include <QFontDatabase>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <mutex>
#include <tuple>
#include <unordered_map>

namespace vantor {

QColor ToQColor(TColor c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

TColor FromQRgb(QRgb rgb) {
    return RGBColor(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

namespace {

// Installed faces that stand in for the names the chart uses; Chinese captions fall back to
// the CJK face.
QStringList FamiliesFor(const std::string& name) {
    QStringList families;
    if (name == "宋体" || name == "SimSun" || name == "黑体")
        families << "Noto Sans CJK SC"
                 << "Noto Serif CJK SC"
                 << "DejaVu Sans";
    else
        families << QString::fromStdString(name) << "Liberation Sans"
                 << "DejaVu Sans"
                 << "Noto Sans CJK SC";
    return families;
}

// The largest pixel size whose line height fits `height`; the answer per face and height
// is kept because fonts are built on every paint.
int PixelSizeFor(const std::string& name, int height) {
    static std::mutex mu;
    static std::map<std::pair<std::string, int>, int> cache;
    std::lock_guard<std::mutex> lock(mu);
    auto key = std::make_pair(name, height);
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    int size = std::max(height, 1);
    while (size > 1) {
        QFont f;
        f.setFamilies(FamiliesFor(name));
        f.setPixelSize(size);
        if (QFontMetrics(f).height() <= height) break;
        --size;
    }
    cache.emplace(key, size);
    return size;
}

} // namespace

QFont MakeFont(const std::string& name, int height, bool underline) {
    QFont f;
    f.setFamilies(FamiliesFor(name));
    f.setPixelSize(PixelSizeFor(name, height < 1 ? 1 : height));
    f.setUnderline(underline);
    f.setStyleStrategy(QFont::NoAntialias);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

QImage MakeImage(int w, int h, TColor fill) {
    QImage img(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
    img.fill(ToQColor(fill));
    return img;
}

Canvas::Canvas(QImage& image) : image_(image) {
    bits_ = reinterpret_cast<std::uint32_t*>(image_.bits());
    stride_ = static_cast<int>(image_.bytesPerLine() / 4);
    dw_ = image_.width();
    dh_ = image_.height();
    ratio_ = image_.devicePixelRatio() > 0 ? image_.devicePixelRatio() : 1;
    scaled_ = ratio_ != 1;
    const QSize logical = LogicalSize(image_);
    w_ = logical.width();
    h_ = logical.height();
    clipR_ = w_;
    clipB_ = h_;
    // On an image with a device pixel ratio the painter works in logical pixels and draws
    // text, curves and images at the device's density.
    painter_.begin(&image_);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, false);
    ApplyQtFont();
}

Canvas::~Canvas() {
    painter_.end();
}

void Canvas::PlotBlock(int x, int y, TColor c) {
    const std::uint32_t v = 0xFF000000u | rgb(c);
    const int x1 = std::min(Dev(x + 1), dw_), y1 = std::min(Dev(y + 1), dh_);
    for (int yy = Dev(y); yy < y1; ++yy)
        std::fill(bits_ + yy * stride_ + Dev(x), bits_ + yy * stride_ + x1, v);
}

void Canvas::SetClip(int x1, int y1, int x2, int y2) {
    clipL_ = std::clamp(x1, 0, w_);
    clipT_ = std::clamp(y1, 0, h_);
    clipR_ = std::clamp(x2, clipL_, w_);
    clipB_ = std::clamp(y2, clipT_, h_);
    painter_.setClipRect(QRect(clipL_, clipT_, clipR_ - clipL_, clipB_ - clipT_));
}

void Canvas::ClearClip() {
    clipL_ = clipT_ = 0;
    clipR_ = w_;
    clipB_ = h_;
    painter_.setClipping(false);
}

void Canvas::SetPen(TColor color, int width, PenStyle style) {
    pen_ = color;
    penWidth_ = width < 1 ? 1 : width;
    penStyle_ = style;
}

void Canvas::SetFont(const FontSpec& font) {
    bool same =
        font.name == font_.name && font.height == font_.height && font.underline == font_.underline;
    font_ = font;
    if (!same) ApplyQtFont();
}

void Canvas::SetFontUnderline(bool on) {
    if (font_.underline == on) return;
    font_.underline = on;
    ApplyQtFont();
}

void Canvas::SetFontHeight(int height) {
    if (font_.height == height) return;
    font_.height = height;
    ApplyQtFont();
}

namespace {
// Fonts by face, height and underline: a repaint switches between a few of them for every
// number it writes (the decimals are underlined), and building a font and its metrics costs
// more than the text drawn with it. Painting happens on one thread; each keeps its own.
std::shared_ptr<const BuiltFont> FontFor(const FontSpec& wanted) {
    thread_local std::map<std::tuple<std::string, int, bool>, std::shared_ptr<const BuiltFont>>
        cache;
    auto key = std::make_tuple(wanted.name, wanted.height, wanted.underline);
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    if (cache.size() > 64) cache.clear(); // canvases keep the fonts they hold alive
    QFont f = MakeFont(wanted.name, wanted.height, wanted.underline);
    auto built = std::make_shared<const BuiltFont>(
        BuiltFont{f, QFontMetrics(f), f.key().toStdString() + '\x01'});
    cache.emplace(std::move(key), built);
    return built;
}
} // namespace

void Canvas::ApplyQtFont() {
    built_ = FontFor(font_);
    painter_.setFont(built_->font);
}

bool Canvas::PatternOn(int step) const {
    // Cosmetic pen patterns in pixels: on, off, on, off ...
    switch (penStyle_) {
    case PenStyle::Dash:
        return step % 24 < 18;
    case PenStyle::Dot:
        return step % 2 == 0;
    case PenStyle::DashDot: {
        int s = step % 24;
        return s < 12 || (s >= 16 && s < 20);
    }
    case PenStyle::DashDotDot: {
        int s = step % 24;
        return s < 12 || (s >= 15 && s < 18) || (s >= 21);
    }
    case PenStyle::Clear:
        return false;
    case PenStyle::Solid:
        break;
    }
    return true;
}

void Canvas::ThinLine(int x1, int y1, int x2, int y2) {
    int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int err = dx + dy, x = x1, y = y1, step = 0;
    // Both ends lie within the saturated pixel range, so the walk is bounded.
    while (!(x == x2 && y == y2)) {
        if (PatternOn(step)) Plot(x, y, pen_);
        ++step;
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void Canvas::WideLine(int x1, int y1, int x2, int y2) {
    QPen pen(ToQColor(pen_));
    pen.setWidth(penWidth_);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter_.setPen(pen);
    painter_.drawLine(x1, y1, x2, y2);
}

namespace {
// Pixel coordinates outside this range are brought back to its edge so a line walk stays
// short and no integer arithmetic overflows.
constexpr int kPixelLimit = 1 << 15;
int Sat(int v) {
    return std::clamp(v, -kPixelLimit, kPixelLimit);
}
} // namespace

void Canvas::LineTo(int x, int y) {
    int x1 = Sat(px_), y1 = Sat(py_), x2 = Sat(x), y2 = Sat(y);
    px_ = x;
    py_ = y;
    if (penStyle_ == PenStyle::Clear) return;
    if (penWidth_ > 1) {
        WideLine(x1, y1, x2, y2);
        return;
    }
    // Lines that run far outside the image are clipped to a margin around it first when
    // they are axis-parallel (grid lines, wicks); the pattern phase is kept.
    if (x1 == x2 || y1 == y2) {
        const bool vertical = x1 == x2;
        const int across = vertical ? x1 : y1, limit = vertical ? clipB_ : clipR_;
        const int first = vertical ? clipT_ : clipL_;
        if (across < (vertical ? clipL_ : clipT_) || across >= (vertical ? clipR_ : clipB_)) return;
        const int from = vertical ? y1 : x1, to = vertical ? y2 : x2, s = from < to ? 1 : -1;
        if (!scaled_ && (penStyle_ == PenStyle::Solid || penStyle_ == PenStyle::Dot)) {
            // The common pens plot without asking the pattern for every pixel.
            const int d = penStyle_ == PenStyle::Dot ? 2 : 1;
            const int lo = s > 0 ? std::max(from, first) : std::max(to + 1, first);
            const int hi = s > 0 ? std::min(to - 1, limit - 1) : std::min(from, limit - 1);
            const std::uint32_t c = 0xFF000000u | rgb(pen_);
            // Pattern steps count from `from`; only the pixels on an "on" step are plotted.
            for (int v = lo; v <= hi; ++v) {
                if (d == 2 && (std::abs(v - from) & 1)) continue;
                if (vertical)
                    bits_[v * stride_ + across] = c;
                else
                    bits_[across * stride_ + v] = c;
            }
            return;
        }
        for (int v = from, step = 0; v != to; v += s, ++step) {
            if ((s > 0 && v >= limit) || (s < 0 && v < first)) break;
            if (PatternOn(step)) vertical ? Plot(across, v, pen_) : Plot(v, across, pen_);
        }
        return;
    }
    ThinLine(x1, y1, x2, y2);
}

void Canvas::FillRect(int x1, int y1, int x2, int y2, TColor color) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    x1 = std::max(Sat(x1), clipL_);
    y1 = std::max(Sat(y1), clipT_);
    x2 = std::min(Sat(x2), clipR_);
    y2 = std::min(Sat(y2), clipB_);
    if (x2 <= x1 || y2 <= y1) return;
    std::uint32_t v = 0xFF000000u | rgb(color);
    if (scaled_) {
        x1 = Dev(x1);
        y1 = Dev(y1);
        x2 = x2 == w_ ? dw_ : std::min(Dev(x2), dw_);
        y2 = y2 == h_ ? dh_ : std::min(Dev(y2), dh_);
    }
    for (int y = y1; y < y2; ++y) std::fill(bits_ + y * stride_ + x1, bits_ + y * stride_ + x2, v);
}

void Canvas::FillRect(int x1, int y1, int x2, int y2) {
    if (!brushClear_) FillRect(x1, y1, x2, y2, brush_);
}

void Canvas::Rectangle(int x1, int y1, int x2, int y2) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    if (x2 - x1 < 1 || y2 - y1 < 1) return;
    if (!brushClear_) FillRect(x1, y1, x2, y2, brush_);
    if (penStyle_ == PenStyle::Clear) return;
    int sx = px_, sy = py_;
    MoveTo(x1, y1);
    LineTo(x2 - 1, y1);
    LineTo(x2 - 1, y2 - 1);
    LineTo(x1, y2 - 1);
    LineTo(x1, y1);
    if (x2 - x1 == 1 || y2 - y1 == 1) {
        // A one-pixel side: the closing walk leaves out nothing that matters except the
        // corner at the far end.
        Plot(x2 - 1, y2 - 1, pen_);
    }
    MoveTo(sx, sy);
}

void Canvas::Ellipse(int x1, int y1, int x2, int y2) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    x1 = Sat(x1);
    y1 = Sat(y1);
    x2 = Sat(x2);
    y2 = Sat(y2);
    if (x2 - x1 < 1 || y2 - y1 < 1) return;
    if (penStyle_ == PenStyle::Clear)
        painter_.setPen(Qt::NoPen);
    else
        painter_.setPen(QPen(ToQColor(pen_), penWidth_ > 1 ? penWidth_ : 0));
    painter_.setBrush(brushClear_ ? QBrush(Qt::NoBrush) : QBrush(ToQColor(brush_)));
    painter_.drawEllipse(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
    painter_.setBrush(Qt::NoBrush);
}

void Canvas::Polygon(const QPoint* points, int count) {
    if (count < 2) return;
    if (penStyle_ == PenStyle::Clear)
        painter_.setPen(Qt::NoPen);
    else
        painter_.setPen(QPen(ToQColor(pen_), penWidth_ > 1 ? penWidth_ : 0));
    painter_.setBrush(brushClear_ ? QBrush(Qt::NoBrush) : QBrush(ToQColor(brush_)));
    painter_.drawPolygon(points, count);
    painter_.setBrush(Qt::NoBrush);
}

namespace {
// Text widths by font and text: a repaint measures the same scale numbers, captions and
// readouts again and again, and shaping them is the dearest part of measuring. Painting
// happens on one thread; each thread keeps its own.
int CachedWidth(const std::string& fontKey, const QFontMetrics& metrics, const std::string& text) {
    thread_local std::unordered_map<std::string, int> cache;
    if (cache.size() > 8192) cache.clear();
    std::string key = fontKey;
    key += text;
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    int w = metrics.horizontalAdvance(QString::fromStdString(text));
    cache.emplace(std::move(key), w);
    return w;
}
} // namespace

QSize LogicalSize(const QImage& image) {
    const double r = image.devicePixelRatio() > 0 ? image.devicePixelRatio() : 1;
    if (r == 1) return image.size();
    return {static_cast<int>(std::lround(image.width() / r)),
            static_cast<int>(std::lround(image.height() / r))};
}

FontMeasure MeasureFont(const FontSpec& font) {
    // Building a font and its metrics costs more than a window's frame; keep them per face,
    // height and underline, per thread as the width cache.
    thread_local std::map<std::tuple<std::string, int, bool>, FontMeasure> cache;
    auto key = std::make_tuple(font.name, font.height, font.underline);
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    if (cache.size() > 64) cache.clear();
    QFont f = MakeFont(font.name, font.height, font.underline);
    QFontMetrics metrics(f);
    FontMeasure m{metrics.height(), CachedWidth(f.key().toStdString() + '\x01', metrics, "8")};
    cache.emplace(std::move(key), m);
    return m;
}

namespace {
// The glyphs of a text as drawn at the origin (0, 0) of a picture: fully opaque pixels of
// the text colour, everything else transparent, cropped to the glyphs; (dx, dy) is where
// the picture's corner lies from the text's top-left corner.
struct GlyphPicture {
    QImage image;
    int dx = 0, dy = 0;
    bool solid = true; // no pixel partly covered (a font that smooths anyway is drawn by Qt)
};

GlyphPicture RenderGlyphs(const BuiltFont& font, TColor color, const std::string& text) {
    // Room on every side for glyphs that reach beyond their advance or the line.
    const int h = std::max(font.metrics.height(), 1);
    const int pad = 2 * h;
    const int w = CachedWidth(font.key, font.metrics, text);
    QImage img(w + 2 * pad, h + 2 * pad, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter g(&img);
        g.setRenderHint(QPainter::Antialiasing, false);
        g.setRenderHint(QPainter::TextAntialiasing, false);
        g.setFont(font.font);
        g.setPen(ToQColor(color));
        g.drawText(pad, pad + font.metrics.ascent(), QString::fromStdString(text));
    }
    int x1 = img.width(), y1 = img.height(), x2 = -1, y2 = -1;
    bool solid = true;
    for (int y = 0; y < img.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(row[x]) != 0) {
                solid = solid && qAlpha(row[x]) == 255;
                x1 = std::min(x1, x);
                x2 = std::max(x2, x);
                y1 = std::min(y1, y);
                y2 = std::max(y2, y);
            }
    }
    if (x2 < 0) return {};
    return {img.copy(x1, y1, x2 - x1 + 1, y2 - y1 + 1), x1 - pad, y1 - pad, solid};
}

// Glyph pictures by font, colour and text: scale numbers, captions and dates come back on
// every repaint, and laying out and rasterizing them is the dearest part of painting text.
const GlyphPicture& CachedGlyphs(const BuiltFont& font, TColor color, const std::string& text) {
    thread_local std::unordered_map<std::string, GlyphPicture> cache;
    std::string key = font.key;
    key.append(reinterpret_cast<const char*>(&color), sizeof color);
    key += text;
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    if (cache.size() > 4096) cache.clear();
    return cache.emplace(std::move(key), RenderGlyphs(font, color, text)).first->second;
}
} // namespace

bool Canvas::StampText(int x, int y, const std::string& text) {
    const GlyphPicture& g = CachedGlyphs(*built_, font_.color, text);
    if (!g.solid) return false;
    if (g.image.isNull()) return true;
    const QImage& img = g.image;
    x += g.dx;
    y += g.dy;
    const int x1 = std::max(x, clipL_), x2 = std::min(x + img.width(), clipR_);
    const int y1 = std::max(y, clipT_), y2 = std::min(y + img.height(), clipB_);
    for (int yy = y1; yy < y2; ++yy) {
        const auto* src = reinterpret_cast<const QRgb*>(img.constScanLine(yy - y)) - x;
        std::uint32_t* dst = bits_ + yy * stride_;
        for (int xx = x1; xx < x2; ++xx)
            if (src[xx] != 0) dst[xx] = src[xx];
    }
    return true;
}

void Canvas::TextOut(int x, int y, const std::string& text) {
    if (text.empty()) return;
    x = Sat(x);
    y = Sat(y);
    const QFontMetrics& m = built_->metrics;
    if (textOpaque_)
        FillRect(x, y, x + CachedWidth(built_->key, m, text), y + m.height(), textGround_);
    if (!scaled_ && StampText(x, y, text)) return;
    painter_.setPen(ToQColor(font_.color));
    painter_.drawText(x, y + m.ascent(), QString::fromStdString(text));
}

int Canvas::TextWidth(const std::string& text) const {
    if (text.empty()) return 0;
    return CachedWidth(built_->key, built_->metrics, text);
}

int Canvas::TextHeight(const std::string&) const {
    return built_->metrics.height();
}

void Canvas::DrawTransparent(int x, int y, const QImage& bmp) {
    if (bmp.isNull()) return;
    QRgb key = bmp.pixel(0, bmp.height() - 1) & 0xFFFFFFu;
    for (int j = 0; j < bmp.height(); ++j)
        for (int i = 0; i < bmp.width(); ++i) {
            QRgb p = bmp.pixel(i, j);
            if ((p & 0xFFFFFFu) != key) Plot(x + i, y + j, FromQRgb(p));
        }
}

void Canvas::StretchDraw(int x1, int y1, int x2, int y2, const QImage& bmp) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    x1 = Sat(x1);
    y1 = Sat(y1);
    x2 = Sat(x2);
    y2 = Sat(y2);
    if (x2 <= x1 || y2 <= y1 || bmp.isNull()) return;
    painter_.drawImage(QRect(x1, y1, x2 - x1, y2 - y1), bmp);
}

void Canvas::DrawImage(int x, int y, const QImage& bmp) {
    if (!bmp.isNull()) painter_.drawImage(x, y, bmp);
}

void Canvas::Stamp(int x, int y, const QImage& argb) {
    if (argb.isNull()) return;
    if (scaled_ || argb.format() != QImage::Format_ARGB32_Premultiplied) {
        DrawImage(x, y, argb);
        return;
    }
    const int x1 = std::max(x, clipL_), x2 = std::min(x + argb.width(), clipR_);
    const int y1 = std::max(y, clipT_), y2 = std::min(y + argb.height(), clipB_);
    for (int yy = y1; yy < y2; ++yy) {
        const auto* src = reinterpret_cast<const QRgb*>(argb.constScanLine(yy - y));
        std::uint32_t* dst = bits_ + yy * stride_;
        for (int xx = x1; xx < x2; ++xx) {
            const QRgb s = src[xx - x];
            const int a = qAlpha(s);
            if (a == 0) continue;
            if (a == 255) {
                dst[xx] = s;
                continue;
            }
            const QRgb d = dst[xx];
            auto mix = [a](int sc, int dc) { return sc + dc * (255 - a) / 255; };
            dst[xx] =
                qRgb(mix(qRed(s), qRed(d)), mix(qGreen(s), qGreen(d)), mix(qBlue(s), qBlue(d)));
        }
    }
}

QImage Canvas::TextStamp(const std::string& text) const {
    const QFontMetrics& m = built_->metrics;
    QImage img(std::max(TextWidth(text), 1), std::max(m.height(), 1),
               QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter g(&img);
    g.setFont(built_->font);
    g.setPen(ToQColor(font_.color));
    g.drawText(0, m.ascent(), QString::fromStdString(text));
    return img;
}

TColor Canvas::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return kBlack;
    if (scaled_)
        return FromQRgb(bits_[std::min(Dev(y), dh_ - 1) * stride_ + std::min(Dev(x), dw_ - 1)]);
    return FromQRgb(bits_[y * stride_ + x]);
}

void Canvas::SetPixel(int x, int y, TColor color) {
    Plot(x, y, color);
}

} // namespace vantor
