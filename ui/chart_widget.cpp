#include "ui/chart_widget.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QWheelEvent>
#include <utility>

#include "chart/tgp.h"
#include "ui/hint_win.h"

namespace vantor {

namespace {
// The drawing cursor: a thin cross with a gap at its centre and a small pen nib above right,
// white with a dark rim so it shows on both chart themes.
const QCursor& DrawingCursor() {
    static const QCursor cursor = [] {
        QPixmap pm(32, 32);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        for (const auto& [colour, width] :
             {std::pair{QColor(0, 0, 0), 3}, {QColor(255, 255, 255), 1}}) {
            p.setPen(QPen(colour, width));
            p.drawLine(1, 15, 12, 15);
            p.drawLine(18, 15, 29, 15);
            p.drawLine(15, 1, 15, 12);
            p.drawLine(15, 18, 15, 29);
            p.drawLine(20, 10, 27, 3);
        }
        return QCursor(pm, 15, 15);
    }();
    return cursor;
}
} // namespace

ChartWidget::ChartWidget(TGP& chart, QWidget* parent) : QWidget(parent), chart_(chart) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 150);
    chart_.HasFocus = [this] { return hasFocus(); };
    hint_ = new THintWin(this);
    hint_->Attach(chart_, this);
}

void ChartWidget::focusOutEvent(QFocusEvent* e) {
    if (!released_) {
        chart_.FocusLost();
        update();
    }
    QWidget::focusOutEvent(e);
}

void ChartWidget::paintEvent(QPaintEvent*) {
    chart_.SetDevicePixelRatio(devicePixelRatioF());
    QPainter p(this);
    p.drawImage(QPoint(0, 0), chart_.Image());
}

void ChartWidget::resizeEvent(QResizeEvent*) {
    chart_.SetSize(width(), height());
}

void ChartWidget::mousePressEvent(QMouseEvent* e) {
    setFocus(Qt::MouseFocusReason);
    const QPoint p = e->position().toPoint();
    chart_.MouseDown(p.x(), p.y(), e->button() == Qt::RightButton);
    FollowTool();
    if (onPressed) onPressed();
    update();
}

void ChartWidget::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    chart_.MouseMove(p.x(), p.y(), e->buttons() != Qt::NoButton);
    update();
}

void ChartWidget::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    chart_.MouseUp(p.x(), p.y());
    FollowTool();
    update();
}

void ChartWidget::FollowTool() {
    // While a tool places points the pointer stays with the chart (the core keeps the
    // points inside the plot), so a drag never ends over another widget.
    if (chart_.Placing() && QWidget::mouseGrabber() != this)
        grabMouse();
    else if (!chart_.Placing() && QWidget::mouseGrabber() == this)
        releaseMouse();
    if (chart_.FCursorType() == ctDrawLine)
        setCursor(DrawingCursor());
    else
        unsetCursor();
}

void ChartWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    chart_.DblClick(p.x(), p.y());
    update();
}

void ChartWidget::wheelEvent(QWheelEvent* e) {
    const QPoint p = e->position().toPoint();
    chart_.MouseWheel(e->angleDelta().y(), p.x(), p.y());
    update();
}

void ChartWidget::keyPressEvent(QKeyEvent* e) {
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    bool used = chart_.KeyDown(e->key(), shift, ctrl);
    if (!used && onKey) used = onKey(e->key());
    FollowTool();
    update();
    if (!used) QWidget::keyPressEvent(e);
}

void ChartWidget::contextMenuEvent(QContextMenuEvent* e) {
    chart_.ContextMenu(e->pos().x(), e->pos().y());
    update();
    if (onContextMenu) onContextMenu(e->globalPos());
}

} // namespace vantor
