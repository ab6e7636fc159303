#include "ui/hint_win.h"

#include <QCursor>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "chart/tgp.h"

namespace vantor {

THintWin::THintWin(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus) {
    setObjectName("hintWin");
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x87, 0x87, 0x87));
    pal.setColor(QPalette::Base, QColor(0x87, 0x87, 0x87));
    pal.setColor(QPalette::Text, Qt::black);
    setPalette(pal);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Memo1 = new QPlainTextEdit;
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setFocusPolicy(Qt::NoFocus);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setPalette(pal);
    layout->addWidget(Memo1);
    close_ = new QToolButton(this);
    close_->setObjectName("hintClose");
    close_->setText(QStringLiteral("×"));
    close_->setAutoRaise(true);
    close_->setFocusPolicy(Qt::NoFocus);
    hh = QFontMetrics(Memo1->font()).height();
    resize(175, 230);
    close_->move(width() - close_->sizeHint().width(), 0);
}

void THintWin::Attach(TGP& chart, QWidget* chartWidget) {
    TGP* c = &chart;
    chart.OnHintShow = [this, chartWidget](int x, int y, int height, bool place) {
        if (place) move(chartWidget->mapToGlobal(QPoint(x, y)));
        resize(width(), height);
        close_->move(width() - close_->sizeHint().width(), 0);
        show();
        BZ = true;
        First = false;
    };
    chart.OnHintHide = [this] {
        hide();
        BZ = false;
    };
    chart.OnHintText = [this](const std::string& title, const std::string& text) {
        SetText(title, text);
    };
    chart.HintIsForeground = [this] { return isActiveWindow(); };
    chart.OnMovePointerAway = [chartWidget] {
        QCursor::setPos(chartWidget->mapToGlobal(QPoint(-5, -5)));
    };
    connect(close_, &QToolButton::clicked, this, [c, chartWidget] {
        c->SetShowCursor(false);
        chartWidget->update();
    });
}

void THintWin::SetText(const std::string& title, const std::string& text) {
    (void)title;
    QString t = QString::fromStdString(text);
    t.replace("\r\n", "\n");
    if (t.endsWith('\n')) t.chop(1);
    Memo1->setPlainText(t);
    if (isVisible()) BZ = true;
}

QString THintWin::Text() const {
    return Memo1->toPlainText();
}

} // namespace vantor
