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

void Canvas::ApplyQtFont() {
    qfont_ = MakeFont(font_.name, font_.height, font_.underline);
    metrics_ = std::make_unique<QFontMetrics>(qfont_);
    fontKey_ = qfont_.key().toStdString() + '\x01';
    painter_.setFont(qfont_);
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

void Canvas::TextOut(int x, int y, const std::string& text) {
    if (text.empty()) return;
    QString s = QString::fromStdString(text);
    x = Sat(x);
    y = Sat(y);
    if (textOpaque_)
        FillRect(x, y, x + CachedWidth(fontKey_, *metrics_, text), y + metrics_->height(),
                 textGround_);
    painter_.setPen(ToQColor(font_.color));
    painter_.drawText(x, y + metrics_->ascent(), s);
}

int Canvas::TextWidth(const std::string& text) const {
    if (text.empty()) return 0;
    return CachedWidth(fontKey_, *metrics_, text);
}

int Canvas::TextHeight(const std::string&) const {
    return metrics_->height();
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
    QImage img(std::max(TextWidth(text), 1), std::max(metrics_->height(), 1),
               QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter g(&img);
    g.setFont(qfont_);
    g.setPen(ToQColor(font_.color));
    g.drawText(0, metrics_->ascent(), QString::fromStdString(text));
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
