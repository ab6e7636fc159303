#include "ui/add_str_dialog.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

namespace vantor {

TAddStr::TAddStr(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("添加文字"));
    setObjectName("TAddStr");
    auto* grid = new QGridLayout(this);
    Memo1 = new QPlainTextEdit;
    Memo1->setObjectName("Memo1");
    grid->addWidget(Memo1, 0, 0, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("颜色")), 0, 1);
    FColor = new QPushButton;
    FColor->setObjectName("FColor");
    FColor->setFixedSize(40, 20);
    grid->addWidget(FColor, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("大小")), 1, 1);
    Edit1 = new QSpinBox;
    Edit1->setObjectName("Edit1");
    Edit1->setRange(1, 72);
    Edit1->setValue(8);
    grid->addWidget(Edit1, 1, 2);
    FlatGP1 = new QPushButton(QStringLiteral("确定"));
    FlatGP1->setObjectName("FlatGP1");
    grid->addWidget(FlatGP1, 0, 3, 2, 1);
    grid->setColumnStretch(0, 1);
    resize(376, 90);
    SetColor(color_);
    connect(FColor, &QPushButton::clicked, this, &TAddStr::FColorClick);
    connect(FlatGP1, &QPushButton::clicked, this, &QDialog::accept);
}

void TAddStr::SetColor(TColor c) {
    color_ = c;
    FColor->setStyleSheet(
        QStringLiteral("background-color: %1; border: 1px solid gray;").arg(ToQColor(c).name()));
}

void TAddStr::FColorClick() {
    const QColor c = QColorDialog::getColor(ToQColor(color_), this);
    if (c.isValid()) SetColor(FromQRgb(c.rgb()));
}

std::string TAddStr::Text() const {
    return Memo1->toPlainText().toStdString();
}

int TAddStr::FontSize() const {
    return Edit1->value();
}

} // namespace vantor
