#pragma once
// TFInput "可调变量辅助输入": collects one parameter declaration for the formula editor — the
// name, the minimum, the maximum and the value. Frameless; its full-width bar moves it.

#include <QDialog>
#include <QPoint>

class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace vantor {

class TFInput : public QDialog {
    Q_OBJECT
public:
    explicit TFInput(QWidget* parent = nullptr);

    QLineEdit* Name() const { return name_; }
    QSpinBox* Fmin() const { return min_; }
    QSpinBox* Fmax() const { return max_; }
    QSpinBox* FValue() const { return value_; }
    QSpinBox* Fcur() const { return cur_; }
    QPushButton* OkButton() const { return ok_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OkClick();

    QLineEdit* name_;
    QSpinBox *min_, *max_, *value_, *cur_;
    QPushButton* ok_;
    QPushButton* bar_;
    QPoint drag_{-1, -1};
};

} // namespace vantor
