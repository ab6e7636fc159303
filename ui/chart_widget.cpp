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
    QPainter p(this);
    p.drawImage(QPoint(0, 0), chart_.Image());
}

void ChartWidget::resizeEvent(QResizeEvent*) {
    chart_.SetSize(width(), height());
}

void ChartWidget::mousePressEvent(QMouseEvent* e) {
    setFocus(Qt::MouseFocusReason);
    const QPoint p = e->position().toPoint();
    chart_.MouseDown(p.x(), p.y());
    if (onPressed) onPressed();
    update();
}

void ChartWidget::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    chart_.MouseMove(p.x(), p.y());
    update();
}

void ChartWidget::mouseReleaseEvent(QMouseEvent*) {
    chart_.MouseUp();
    update();
}

void ChartWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    QWidget::mouseDoubleClickEvent(e);
}

void ChartWidget::wheelEvent(QWheelEvent* e) {
    QWidget::wheelEvent(e);
}

void ChartWidget::keyPressEvent(QKeyEvent* e) {
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    (void)shift;
    (void)ctrl;
    bool used = onKey && onKey(e->key());
    update();
    if (!used) QWidget::keyPressEvent(e);
}

void ChartWidget::contextMenuEvent(QContextMenuEvent* e) {
    QWidget::contextMenuEvent(e);
}

} // namespace vantor
