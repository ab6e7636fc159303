#pragma once
// The left panel "技术指标": the formula library as a tree of categories and formulas, its
// context menu (新建指标 / 编辑指标, 加载公式, 删除公式), double click to load a formula into the
// chart's current window, and the header's hide button. The commands are TFormulaTree's; the
// panel shows its nodes through a QStandardItemModel.

#include <QWidget>
#include <functional>
#include <memory>

#include "practice/formula_tree.h"

class QMenu;
class QAction;
class QStandardItemModel;
class QTreeView;
class QModelIndex;

namespace vantor {

class PracticeHost;
class QtFormulaHost;
class TFormulaLibrary;

class IndicatorPanel : public QWidget {
    Q_OBJECT
public:
    // Opens (or on the first start creates) programDir/Stock.Bin and builds the panel; when the
    // library cannot be opened, shows the reason through `host` and returns nullptr: the program
    // then runs without the tree.
    static IndicatorPanel* Open(const std::string& programDir, TGP& chart, PracticeHost& host,
                                QWidget* parent = nullptr);
    ~IndicatorPanel() override;

    TFormulaTree& Tree() { return *tree_; }
    QTreeView* View() const { return view_; }
    QMenu* ContextMenu() const { return menu_; }
    // The editor and message boxes, for the chart's "修改指标公式" as well.
    FormulaHost& Host();
    // Rebuilds the view from the tree's nodes.
    void Reload();
    // Selects a node in the view.
    void Select(TFormulaTree::Node n);
    TFormulaTree::Node Selected() const;

    // Called after a formula was handed to the chart.
    std::function<void()> onLoaded;

private:
    IndicatorPanel(std::unique_ptr<TFormulaLibrary> library, TGP& chart, QWidget* parent);
    void EditClick();
    void LoadClick();
    void DelClick();
    void DoubleClick(const QModelIndex& index);

    std::unique_ptr<TFormulaLibrary> library_;
    std::unique_ptr<QtFormulaHost> host_;
    std::unique_ptr<TFormulaTree> tree_;
    QStandardItemModel* model_;
    QTreeView* view_;
    QMenu* menu_;
    QAction *edit_, *load_, *del_;
};

} // namespace vantor
