#pragma once
// Page 期货交易: the position memo, the lots and stop-price boxes, 自动盈损 and the trade and
// replay buttons. Each button calls one controller operation.

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace vantor {

class TForm1;

class TradePanel : public QWidget {
    Q_OBJECT
public:
    TradePanel(TForm1& form, QWidget* parent = nullptr);
    // Shows the controller's state.
    void Sync();

    QPlainTextEdit* position = nullptr;
    QLineEdit* lots = nullptr;
    QLineEdit* stopPrice = nullptr;
    QLineEdit* skipBars = nullptr; // 前进根数
    QCheckBox* autoStop = nullptr;
    QPushButton *buyOpen = nullptr, *buyClose = nullptr, *reverse = nullptr, *sellOpen = nullptr,
                *sellClose = nullptr, *closeAll = nullptr, *random = nullptr, *next = nullptr,
                *prev = nullptr, *play = nullptr, *skip = nullptr, *nextDay = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TForm1& form_;
};

} // namespace vantor
