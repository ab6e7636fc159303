#include "ui/draw_tools_panel.h"

#include <QAction>
#include <QMainWindow>
#include <QPainter>
#include <QPolygon>
#include <QToolBar>

#include "chart/objects/line_geometry.h"
#include "chart/objects/object_painter.h"
#include "chart/tgp.h"
#include "practice/practice.h"
#include "ui/add_str_dialog.h"
#include "ui/chart_widget.h"

namespace vantor {

namespace {

constexpr int kDeleteLast = -1; // the delete-last button's image
constexpr int kMouse = 0, kClear = 25, kHide = 26;

struct ToolButton {
    int kind;
    const char* hint;
};

// The two bars, in order; the hint text becomes the object's name.
const ToolButton kFirstBar[] = {
    {kMouse, "鼠标"},
    {kSegment, "线段"},
    {kArrow, "箭头"},
    {kRay, "射线"},
    {kEquidistantChannel, "平行通道"},
    {kChannel, "通道线"},
    {kArc, "圆弧线"},
    {kPercentBands, "百分比线"},
    {kGoldenProjection, "黄金价位线"},
    {kGoldenLevels, "黄金分割"},
    {kQuarterLevels, "三等分与四等分线"},
    {kEighthLevels, "八等分线"},
    {kAngle, "角度"},
    {kSpanLines, "区间线"},
};
const ToolButton kSecondBar[] = {
    {kTimeIntervals, "等时间间隔"}, {kFibonacciZones, "斐波那契时间"}, {kCycleLines, "周期线"},
    {kSpeedLines, "速度阻力线"},    {kGannFan, "江恩角度线"},          {kRectangle, "矩形"},
    {kMarkUp, "上涨标记"},          {kMarkDown, "下跌标记"},           {kText, "文字"},
    {kHorizontalLine, "水平线"},    {kVerticalLine, "垂直线"},
};

std::array<QPoint, 3> IconPoints(int kind) {
    switch (kind) {
    case kEquidistantChannel:
    case kChannel:
        return {QPoint(4, 12), QPoint(12, 4), QPoint(12, 16)};
    case kGoldenProjection:
        return {QPoint(3, 20), QPoint(10, 5), QPoint(16, 15)};
    case kArc:
        return {QPoint(3, 20), QPoint(13, 12), QPoint()};
    case kGoldenLevels:
    case kQuarterLevels:
    case kEighthLevels:
        return {QPoint(4, 21), QPoint(4, 3), QPoint()};
    case kTimeIntervals:
        return {QPoint(2, 12), QPoint(8, 12), QPoint()};
    case kFibonacciZones:
    case kCycleLines:
        return {QPoint(2, 12), QPoint(2, 12), QPoint()};
    case kSpeedLines:
    case kGannFan:
        return {QPoint(3, 21), QPoint(16, 9), QPoint()};
    case kHorizontalLine:
    case kVerticalLine:
        return {QPoint(12, 12), QPoint(), QPoint()};
    default:
        return {QPoint(4, 19), QPoint(19, 5), QPoint(10, 21)};
    }
}

void Cross(QPainter& p, int x, int y, int r) {
    p.setPen(QPen(QColor(200, 30, 30), 2));
    p.drawLine(x - r, y - r, x + r, y + r);
    p.drawLine(x - r, y + r, x + r, y - r);
}

} // namespace

QImage ToolImage(int kind) {
    QImage img(24, 24, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    const QColor ink(20, 50, 140);
    p.setPen(QPen(ink, 1));
    switch (kind) {
    case kMouse: {
        const QPolygon arrow({QPoint(7, 3), QPoint(7, 19), QPoint(11, 15), QPoint(14, 21),
                              QPoint(16, 20), QPoint(13, 14), QPoint(18, 14)});
        p.setBrush(Qt::white);
        p.setPen(QPen(Qt::black, 1));
        p.drawPolygon(arrow);
        return img;
    }
    case kClear:
        p.drawLine(3, 20, 20, 4);
        Cross(p, 12, 12, 7);
        return img;
    case kHide:
        p.drawLine(3, 18, 20, 6);
        p.setPen(QPen(Qt::gray, 2));
        p.drawEllipse(QPoint(12, 12), 8, 5);
        p.drawLine(4, 4, 20, 20);
        return img;
    case kDeleteLast:
        p.drawLine(3, 20, 16, 5);
        Cross(p, 17, 17, 4);
        return img;
    case kAngle:
        p.drawLine(3, 20, 21, 20);
        p.drawLine(3, 20, 18, 5);
        p.drawArc(QRect(-5, 12, 16, 16), 0, 45 * 16);
        return img;
    case kText:
        p.setFont(QFont("DejaVu Sans", 14, QFont::Bold));
        p.drawText(img.rect(), Qt::AlignCenter, QStringLiteral("A"));
        return img;
    case kMarkUp:
    case kMarkDown: {
        // The mark without its white ground.
        QImage mark = MarkPicture(kind).convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < mark.height(); ++y)
            for (int x = 0; x < mark.width(); ++x)
                if (mark.pixel(x, y) == qRgb(255, 255, 255)) mark.setPixel(x, y, 0);
        p.drawImage(4, 4, mark);
    }
        return img;
    default:
        break;
    }
    ObjectView v;
    v.width = v.height = 24;
    v.L = v.T = 1;
    v.R = v.B = 23;
    v.scale = 2;
    v.maxValue = 1;
    v.minValue = 0;
    const ObjectShape s = ShapeOf(kind, IconPoints(kind), v);
    for (const ShapeLine& l : s.lines) {
        p.setPen(QPen(ink, 1, l.dotted ? Qt::DotLine : Qt::SolidLine));
        p.drawLine(l.a, l.b);
    }
    return img;
}

DrawToolsPanel::DrawToolsPanel(TForm1& form, ChartWidget& chart, QMainWindow& window)
    : QObject(&window), form_(form), chart_(chart) {
    for (int i = 0; i < 2; ++i) {
        bars_[i] =
            new QToolBar(i == 0 ? QStringLiteral("划线工具一") : QStringLiteral("划线工具二"));
        bars_[i]->setObjectName(i == 0 ? "drawTools1" : "drawTools2");
        bars_[i]->setMovable(false);
        bars_[i]->setIconSize(QSize(24, 24));
        if (i == 1) window.addToolBarBreak(Qt::LeftToolBarArea); // a column of its own
        window.addToolBar(Qt::LeftToolBarArea, bars_[i]);
    }
    for (const ToolButton& b : kFirstBar) AddTool(bars_[0], b.kind, QString::fromUtf8(b.hint));
    for (const ToolButton& b : kSecondBar) AddTool(bars_[1], b.kind, QString::fromUtf8(b.hint));
    bars_[1]->addSeparator();
    TGP& core = chart_.Chart();
    AddTool(bars_[1], kClear, QStringLiteral("清除所有画线"));
    QAction* hide = AddTool(bars_[1], kHide, QStringLiteral("隐藏画线"));
    hide->setCheckable(true);
    connect(hide, &QAction::toggled, this, [this, &core](bool down) {
        core.HideLine(!down);
        chart_.update();
    });
    delLast_ = AddTool(bars_[1], kDeleteLast, QStringLiteral("删除最后一条画线"));
    delLast_->setEnabled(false);
    // After every press on the chart: enabled while the current window holds an object.
    auto pressed = chart_.onPressed;
    chart_.onPressed = [this, pressed, &core] {
        if (pressed) pressed();
        delLast_->setEnabled(core.CurWindowObjectCount() > 0);
    };
    core.OnAddText = [this](XXLine& tpl) { return AskText(tpl); };
}

QAction* DrawToolsPanel::AddTool(QToolBar* bar, int kind, const QString& hint) {
    QAction* a = bar->addAction(QIcon(QPixmap::fromImage(ToolImage(kind))), hint);
    a->setToolTip(hint);
    a->setObjectName(QStringLiteral("tool%1").arg(kind));
    TGP& core = chart_.Chart();
    if (kind == kMouse)
        connect(a, &QAction::triggered, this, [&core] { core.EndTool(); });
    else if (kind == kClear)
        connect(a, &QAction::triggered, this, [&core] { core.ClearLine(); });
    else if (kind == kDeleteLast)
        connect(a, &QAction::triggered, this, [this, &core] {
            core.delLastline();
            delLast_->setEnabled(core.CurWindowObjectCount() > 0);
        });
    else if (kind != kHide)
        connect(a, &QAction::triggered, this,
                [&core, kind, hint] { core.StartTool(kind, hint.toStdString()); });
    connect(a, &QAction::triggered, this, [this] {
        chart_.FollowTool();
        chart_.update();
    });
    return a;
}

QAction* DrawToolsPanel::Tool(int kind) const {
    return bars_[0]->parentWidget()->findChild<QAction*>(QStringLiteral("tool%1").arg(kind));
}

bool DrawToolsPanel::AskText(XXLine& tpl) {
    chart_.FollowTool(); // the pointer is free while the dialog asks
    TAddStr d(&chart_);
    d.SetColor(tpl.FColor);
    if (d.exec() != QDialog::Accepted) return false;
    tpl.FColor = d.Color();
    tpl.FString = d.Text();
    tpl.FFontSize = d.FontSize();
    return true;
}

void DrawToolsPanel::Sync() {
    const bool on = form_.Controls().drawTools;
    for (QToolBar* b : bars_) b->setVisible(on);
}

} // namespace vantor
