#pragma once
// 手续费设置 (工具 › 费率设置): the contract parameters of sxf.db over TSxfEditor. The code box
// with 查询, the five-column list (several rows selectable), the four edit boxes and the
// buttons 载入商品, 全部修改 and 修改选中. A new window each time, always on top, freed when
// closed.

#include <QDialog>
#include <array>
#include <memory>
#include <string>

#include "account/sxf_editor.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableView;

namespace vantor {

class SxfTableModel;

class SxfDialog : public QDialog {
    Q_OBJECT
public:
    explicit SxfDialog(std::string programDir, QWidget* parent = nullptr);
    ~SxfDialog() override;

    TSxfEditor& Editor() { return editor_; }

    QComboBox* code = nullptr; // typed text is upper-cased
    QPushButton* query = nullptr;
    QTableView* table = nullptr;
    std::array<QLineEdit*, 4> boxes{}; // 合约乘数, 保证金比率(%), 买入费率(%%), 卖出费率(%%)
    QPushButton* load = nullptr;           // 载入商品
    QPushButton* replaceAll = nullptr;     // 全部修改
    QPushButton* updateSelected = nullptr; // 修改选中

private:
    void LoadCodes();
    void Query();
    void ReplaceAll();
    void UpdateSelected();
    void RowClicked(int row);
    SxfBoxes Boxes() const;
    void Refresh();

    std::string programDir_;
    TSxfEditor editor_;
    SxfTableModel* model_ = nullptr;
};

} // namespace vantor
