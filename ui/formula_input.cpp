#include "ui/formula_input.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace vantor {

namespace {

QSpinBox* NumberBox(int value) {
    auto* s = new QSpinBox;
    s->setRange(-1000000, 1000000);
    s->setValue(value);
    return s;
}

} // namespace

TFInput::TFInput(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName("TFInput");
    setWindowTitle(QStringLiteral("可调变量辅助输入"));
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(1, 1, 1, 6);
    root->setSpacing(6);

    auto* barRow = new QHBoxLayout;
    barRow->setSpacing(0);
    bar_ = new QPushButton(QStringLiteral("可调变量辅助输入"));
    bar_->setFlat(true);
    bar_->setStyleSheet("background:#3169c6; color:white; text-align:left; padding:2px 6px;");
    bar_->installEventFilter(this);
    auto* close = new QToolButton;
    close->setObjectName("spb1");
    close->setText(QStringLiteral("×"));
    close->setAutoRaise(true);
    connect(close, &QToolButton::clicked, this, &QDialog::reject);
    barRow->addWidget(bar_, 1);
    barRow->addWidget(close);
    root->addLayout(barRow);

    auto* grid = new QGridLayout;
    grid->setContentsMargins(8, 0, 8, 0);
    name_ = new QLineEdit;
    name_->setObjectName("Name");
    min_ = NumberBox(1);
    min_->setObjectName("Fmin");
    max_ = NumberBox(100);
    max_->setObjectName("Fmax");
    value_ = NumberBox(1);
    value_->setObjectName("FValue");
    value_->setMaximum(100);
    cur_ = NumberBox(1);
    cur_->setObjectName("Fcur");
    cur_->setEnabled(false);
    grid->addWidget(new QLabel(QStringLiteral("参数名：")), 0, 0);
    grid->addWidget(name_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("最小值：")), 0, 2);
    grid->addWidget(min_, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("最大值：")), 0, 4);
    grid->addWidget(max_, 0, 5);
    grid->addWidget(new QLabel(QStringLiteral("缺省值：")), 1, 0);
    grid->addWidget(value_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("当前值：")), 1, 2);
    grid->addWidget(cur_, 1, 3);
    ok_ = new QPushButton(QStringLiteral("确定"));
    ok_->setObjectName("FlatGP7");
    auto* cancel = new QPushButton(QStringLiteral("取消"));
    cancel->setObjectName("FlatGP1");
    grid->addWidget(ok_, 1, 4);
    grid->addWidget(cancel, 1, 5);
    root->addLayout(grid);

    connect(ok_, &QPushButton::clicked, this, &TFInput::OkClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(max_, &QSpinBox::valueChanged, this, [this](int v) { value_->setMaximum(v); });
    connect(value_, &QSpinBox::valueChanged, this, [this](int v) { cur_->setValue(v); });
    setFixedSize(383, 120);
}

void TFInput::OkClick() {
    if (name_->text().trimmed().isEmpty()) {
        QMessageBox::information(this, QStringLiteral("提示"), QStringLiteral("请输入参数名！"));
        name_->setFocus();
        return;
    }
    if (max_->value() < min_->value()) {
        QMessageBox::information(this, QStringLiteral("提示"),
                                 QStringLiteral("最大值不能大于最小值!"));
        max_->setFocus();
        return;
    }
    accept();
}

bool TFInput::eventFilter(QObject* watched, QEvent* event) {
    if (watched == bar_) {
        // Only the mouse events are read as such; every other event passes untouched.
        auto* m = dynamic_cast<QMouseEvent*>(event);
        switch (m ? event->type() : QEvent::None) {
        case QEvent::MouseButtonPress:
            drag_ = m->globalPosition().toPoint() - frameGeometry().topLeft();
            return true;
        case QEvent::MouseMove:
            if (drag_.x() >= 0) move(m->globalPosition().toPoint() - drag_);
            return true;
        case QEvent::MouseButtonRelease:
            drag_ = {-1, -1};
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vantor
