#include "ui/side_view.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>

#include "practice/practice.h"

namespace vantor {

SideViewWidget::SideViewWidget(TForm1& form, QWidget* parent) : QWidget(parent), form_(form) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SideViewWidget::resizeEvent(QResizeEvent*) {
    if (TfrmDzq* v = form_.SideView()) v->RePosition(width(), height());
}

int SideViewWidget::ChartAt(int x, int y) const {
    TfrmDzq* v = const_cast<TForm1&>(form_).SideView();
    if (!v) return -1;
    for (int k = 0; k < 9; ++k) {
        QRect r = MultiPeriodCell(v->layoutCount, k % 3, k / 3, width(), height());
        if (!r.isEmpty() && r.contains(x, y)) return k;
    }
    return -1;
}

void SideViewWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    TfrmDzq* v = form_.SideView();
    if (!v) return;
    v->RePosition(width(), height());
    for (int k = 0; k < 9; ++k) {
        QRect r = MultiPeriodCell(v->layoutCount, k % 3, k / 3, width(), height());
        if (r.isEmpty()) continue;
        p.drawImage(r.topLeft(), v->charts[static_cast<std::size_t>(k)]->Image());
    }
}

void SideViewWidget::contextMenuEvent(QContextMenuEvent* e) {
    TfrmDzq* v = form_.SideView();
    const int k = ChartAt(e->pos().x(), e->pos().y());
    if (!v || k < 0) return;
    QMenu menu(this);
    for (const std::string& caption : TfrmDzq::MenuCaptions()) {
        if (caption == "-")
            menu.addSeparator();
        else
            menu.addAction(QString::fromStdString(caption));
    }
    menu.addSeparator();
    QAction* close = menu.addAction(QStringLiteral("关闭多周期同列"));
    QAction* chosen = menu.exec(e->globalPos());
    if (!chosen) return;
    if (chosen == close) {
        form_.ShowSideView(false);
        return;
    }
    form_.SideViewCommand(k, chosen->text().toStdString(), width(), height());
    update();
}

} // namespace vantor
