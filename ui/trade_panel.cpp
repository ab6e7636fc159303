#include "ui/trade_panel.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "practice/practice.h"

namespace vantor {

namespace {
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
} // namespace

TradePanel::TradePanel(TForm1& form, QWidget* parent) : QWidget(parent), form_(form) {
    auto* layout = new QVBoxLayout(this);
    position = new QPlainTextEdit;
    position->setReadOnly(true);
    position->setMinimumHeight(170);
    position->setObjectName("position");
    layout->addWidget(position, 1);

    auto* group = new QGroupBox(QStringLiteral("交易"));
    auto* form1 = new QFormLayout;
    lots = new QLineEdit;
    lots->setObjectName("lots");
    stopPrice = new QLineEdit;
    stopPrice->setObjectName("stopPrice");
    autoStop = new QCheckBox(QStringLiteral("自动盈损"));
    // Quick lots: each button puts its value into the lots box.
    auto* lotsRow = new QHBoxLayout;
    lotsRow->addWidget(lots, 1);
    for (int v : {1, 2, 5, 10}) {
        auto* b = new QPushButton(QString::number(v));
        b->setObjectName(QString("lots%1").arg(v));
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedWidth(28);
        connect(b, &QPushButton::clicked, this, [this, v] { form_.QuickLots(v); });
        lotsRow->addWidget(b);
    }
    skipBars = new QLineEdit;
    skipBars->setObjectName("skipBars");
    form1->addRow(QStringLiteral("买卖数量"), lotsRow);
    form1->addRow(QStringLiteral("止损价"), stopPrice);
    form1->addRow(QString(), autoStop);
    form1->addRow(QStringLiteral("前进根数"), skipBars);
    auto* grid = new QGridLayout;
    auto button = [&](const char* caption, const char* name, int row, int col) {
        auto* b = new QPushButton(QString::fromUtf8(caption));
        b->setObjectName(name);
        b->setFocusPolicy(Qt::NoFocus);
        grid->addWidget(b, row, col);
        return b;
    };
    buyOpen = button("多开&1", "buyOpen", 0, 0);
    buyClose = button("多平&2", "buyClose", 0, 1);
    reverse = button("反手&3", "reverse", 0, 2);
    sellOpen = button("空开&4", "sellOpen", 1, 0);
    sellClose = button("空平&5", "sellClose", 1, 1);
    closeAll = button("一键平仓&6", "closeAll", 1, 2);
    random = button("随机训练&R", "random", 2, 0);
    prev = button("上一K线", "prev", 2, 1);
    next = button("下一K线&N", "next", 2, 2);
    play = button("播放(&Play)", "play", 3, 0);
    skip = button("前进N根", "skip", 3, 1);
    nextDay = button("跳到下一交易日", "nextDay", 3, 2);
    buyOpen->setStyleSheet("color:#c00000");
    sellOpen->setStyleSheet("color:#008000");
    auto* box = new QVBoxLayout(group);
    box->addLayout(form1);
    box->addLayout(grid);
    layout->addWidget(group);

    connect(buyOpen, &QPushButton::clicked, this, [this] { form_.BuyOpenButton(); });
    connect(buyClose, &QPushButton::clicked, this, [this] { form_.BuyCloseButton(); });
    connect(reverse, &QPushButton::clicked, this, [this] { form_.ReverseButton(); });
    connect(sellOpen, &QPushButton::clicked, this, [this] { form_.SellOpenButton(); });
    connect(sellClose, &QPushButton::clicked, this, [this] { form_.SellCloseButton(); });
    connect(closeAll, &QPushButton::clicked, this, [this] { form_.CloseAllButton(); });
    connect(random, &QPushButton::clicked, this, [this] { form_.RandomTraining(); });
    connect(next, &QPushButton::clicked, this, [this] { form_.NextBar(); });
    connect(prev, &QPushButton::clicked, this, [this] { form_.PrevBar(); });
    connect(play, &QPushButton::clicked, this, [this] { form_.PlayPause(); });
    connect(skip, &QPushButton::clicked, this, [this] { form_.SkipBars(); });
    connect(nextDay, &QPushButton::clicked, this, [this] { form_.SkipToNextDay(); });
    connect(skipBars, &QLineEdit::textEdited, this,
            [this](const QString& t) { form_.Controls().skipBarsBox = t.toStdString(); });
    connect(lots, &QLineEdit::textEdited, this,
            [this](const QString& t) { form_.Controls().lotsBox = t.toStdString(); });
    connect(stopPrice, &QLineEdit::textEdited, this,
            [this](const QString& t) { form_.Controls().stopPriceBox = t.toStdString(); });
    connect(autoStop, &QCheckBox::toggled, this,
            [this](bool on) { form_.Controls().autoStop = on; });
    lots->installEventFilter(this);
    stopPrice->installEventFilter(this);
    skipBars->installEventFilter(this);
}

bool TradePanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick && watched == lots) {
        form_.LotsDoubleClick();
        return true;
    }
    if (event->type() == QEvent::KeyPress &&
        (watched == lots || watched == stopPrice || watched == skipBars)) {
        auto* k = static_cast<QKeyEvent*>(event);
        const QString text = k->text();
        // Editing and moving keys pass; a typed character must be a digit or '.'.
        if (!text.isEmpty() && text.at(0).isPrint() && !(k->modifiers() & Qt::ControlModifier)) {
            const char16_t u = text.at(0).unicode();
            if (!form_.NumberKeyAllowed(u < 128 ? static_cast<char>(u) : '?')) return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TradePanel::Sync() {
    const FormControls& c = form_.Controls();
    auto setText = [](QLineEdit* e, const std::string& s) {
        if (e->text().toStdString() != s) e->setText(Q(s));
    };
    setText(lots, c.lotsBox);
    setText(stopPrice, c.stopPriceBox);
    setText(skipBars, c.skipBarsBox);
    autoStop->blockSignals(true);
    autoStop->setChecked(c.autoStop);
    autoStop->blockSignals(false);
    if (position->toPlainText().toStdString() != c.positionText)
        position->setPlainText(Q(c.positionText));
    const TColor col = c.positionColour;
    position->setStyleSheet(QString("color: rgb(%1,%2,%3)")
                                .arg(col & 0xFF)
                                .arg((col >> 8) & 0xFF)
                                .arg((col >> 16) & 0xFF));
    play->setText(c.playCaption == "暂停" ? QStringLiteral("暂停(&Play)")
                                          : QStringLiteral("播放(&Play)"));
}

} // namespace vantor
