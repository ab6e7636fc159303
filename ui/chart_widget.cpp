#include "ui/chart_widget.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "chart/tgp.h"

namespace vantor {

ChartWidget::ChartWidget(TGP& chart, QWidget* parent) : QWidget(parent), chart_(chart) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 150);
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
    if (onPressed) onPressed();
    update();
}

void ChartWidget::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    chart_.MouseMove(p.x(), p.y(), e->buttons() != Qt::NoButton);
    update();
}

void ChartWidget::mouseReleaseEvent(QMouseEvent*) {
    chart_.MouseUp();
    update();
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
    update();
    if (!used) QWidget::keyPressEvent(e);
}

void ChartWidget::contextMenuEvent(QContextMenuEvent* e) {
    chart_.ContextMenu(e->pos().x(), e->pos().y());
    update();
    if (onContextMenu) onContextMenu(e->globalPos());
}

} // namespace vantor
