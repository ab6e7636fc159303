#pragma once
// TFormulaTree: the indicator tree of the main window's "技术指标" panel and its commands. It
// holds what the tree shows (categories with their formulas, built once at start-up and then
// changed only by the commands) and carries out 新建指标 / 编辑指标, 加载公式 and 删除公式 on the
// library, the editor and the chart. The desktop's tree view shows Categories() and forwards
// the selected node.

#include <string>
#include <vector>

#include "practice/formula_editing.h"

namespace vantor {

class TFormulaLibrary;
class TGP;

class TFormulaTree {
public:
    struct Category {
        std::string name;
        std::vector<std::string> formulas; // node texts: 名称 + " " + 描述
    };
    // A node: a category (item -1) or a formula of it; cat -1 when nothing is selected.
    struct Node {
        int cat = -1;
        int item = -1;
    };

    // `library` may be null (no library could be opened): the tree stays empty.
    TFormulaTree(TFormulaLibrary* library, FormulaHost& host, TGP& chart);

    // Rebuilds the tree from the library.
    void Fill();
    const std::vector<Category>& Categories() const { return cats_; }
    bool HasLibrary() const { return lib_ != nullptr; }

    bool IsFormula(Node n) const;
    bool IsCategory(Node n) const;
    std::string Text(Node n) const;
    // The formula name of a node text: up to the first blank, trimmed.
    static std::string FormulaName(const std::string& nodeText);
    // The caption of the edit command: "编辑指标" on a formula node, else "新建指标".
    std::string EditCaption(Node n) const;

    // 新建指标 / 编辑指标 on node `n`: true when a formula was saved. `n` then names the node
    // that shows it.
    bool Edit(Node& n);
    // 加载公式 and a double click: hands the formula's text to the chart's current window.
    bool Load(Node n);
    // 删除公式 after the question; every node of that name leaves the tree.
    bool Delete(Node n);

private:
    TFormulaLibrary* lib_;
    FormulaHost& host_;
    TGP& chart_;
    std::vector<Category> cats_;
};

} // namespace vantor
