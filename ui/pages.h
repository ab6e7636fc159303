#pragma once
// The smaller pages of the main window: 进度选择 (start row and start date), 说明 (the code
// reference list) and 系统设置 (the settings radio groups and boxes).

#include <QWidget>
#include <vector>

class QButtonGroup;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;

namespace vantor {

class TForm1;

class ProgressPage : public QWidget {
    Q_OBJECT
public:
    ProgressPage(TForm1& form, QWidget* parent = nullptr);
    void Sync();
    QLineEdit* startRow = nullptr;
    QLineEdit* dateFormat = nullptr;
    QDateEdit* date = nullptr;
    QPushButton* choose = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TForm1& form_;
};

// The 53 continuous-index codes with their names, headed "代码,名称".
QString CodeReferenceText();

class SettingsPage : public QWidget {
    Q_OBJECT
public:
    SettingsPage(TForm1& form, QWidget* parent = nullptr);
    void Sync();
    // The seven radio groups in the order 基础周期, 高低点, 步长, 日期代码, 确认提示, 训练模式,
    // 计费方式.
    std::vector<QButtonGroup*> groups;
    QComboBox* initialFunds = nullptr;
    QLineEdit* playInterval = nullptr;
    QLineEdit* slippage = nullptr;
    QPushButton* save = nullptr;

private:
    TForm1& form_;
};

} // namespace vantor
