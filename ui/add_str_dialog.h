#pragma once
// TAddStr "添加文字": the text, colour and size of a text object placed on the chart. The
// caller reads Text(), Color() and FontSize() after an OK.

#include <QDialog>

#include "chart/canvas.h"

class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace vantor {

class TAddStr : public QDialog {
    Q_OBJECT
public:
    explicit TAddStr(QWidget* parent = nullptr);
    void SetColor(TColor c);
    TColor Color() const { return color_; }
    std::string Text() const;
    int FontSize() const;

    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* FColor = nullptr; // the swatch: a click chooses the colour
    QSpinBox* Edit1 = nullptr;
    QPushButton* FlatGP1 = nullptr; // 确定

private:
    void FColorClick();
    TColor color_ = RGBColor(255, 255, 0);
};

} // namespace vantor
