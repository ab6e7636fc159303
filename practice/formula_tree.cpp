#include "practice/formula_tree.h"

#include <algorithm>

#include "chart/tgp.h"
#include "formula/front_end.h"
#include "formula/func_str.h"
#include "library/formula_library.h"

namespace vantor {

namespace {

std::string NodeText(const std::string& name, const std::string& title) {
    return name + " " + title;
}

} // namespace

TFormulaTree::TFormulaTree(TFormulaLibrary* library, FormulaHost& host, TGP& chart)
    : lib_(library), host_(host), chart_(chart) {}

void TFormulaTree::Fill() {
    cats_.clear();
    if (!lib_) return;
    for (const std::string& c : lib_->Categories()) {
        Category cat{c, {}};
        for (const LibraryFormula& f : lib_->FormulasOf(c))
            cat.formulas.push_back(NodeText(f.name, f.title));
        cats_.push_back(std::move(cat));
    }
}

bool TFormulaTree::IsCategory(Node n) const {
    return n.cat >= 0 && n.cat < static_cast<int>(cats_.size()) && n.item < 0;
}

bool TFormulaTree::IsFormula(Node n) const {
    return n.cat >= 0 && n.cat < static_cast<int>(cats_.size()) && n.item >= 0 &&
           n.item < static_cast<int>(cats_[n.cat].formulas.size());
}

std::string TFormulaTree::Text(Node n) const {
    if (IsFormula(n)) return cats_[n.cat].formulas[n.item];
    if (IsCategory(n)) return cats_[n.cat].name;
    return {};
}

std::string TFormulaTree::FormulaName(const std::string& nodeText) {
    return Trim(nodeText.substr(0, nodeText.find(' ')));
}

std::string TFormulaTree::EditCaption(Node n) const {
    return IsFormula(n) ? "编辑指标" : "新建指标";
}

bool TFormulaTree::Edit(Node& n) {
    if (!lib_ || (!IsFormula(n) && !IsCategory(n))) return false;
    FormulaEdit edit;
    if (IsFormula(n)) {
        edit.name = FormulaName(Text(n));
        LibraryFormula f;
        if (lib_->Find(edit.name, f)) edit.text = f.text;
    }
    if (!host_.EditFormula(edit)) return false;
    const std::string category = cats_[n.cat].name;
    if (!lib_->Save(category, edit.name, edit.title, edit.text)) {
        host_.Message(lib_->error());
        return false;
    }
    const std::string name = UpperAscii(Trim(edit.name));
    const std::string text = NodeText(name, edit.title);
    std::vector<std::string>& list = cats_[n.cat].formulas;
    if (IsFormula(n)) {
        list[n.item] = text;
        return true;
    }
    // From a category: a formula of that name already shown there is renewed, not doubled.
    auto same = std::find_if(list.begin(), list.end(),
                             [&](const std::string& t) { return FormulaName(t) == name; });
    if (same != list.end()) {
        *same = text;
        n.item = static_cast<int>(same - list.begin());
    } else {
        list.push_back(text);
        n.item = static_cast<int>(list.size()) - 1;
    }
    return true;
}

bool TFormulaTree::Load(Node n) {
    if (!lib_ || !IsFormula(n)) return false;
    LibraryFormula f;
    if (!lib_->Find(FormulaName(Text(n)), f) || f.text.empty()) return false;
    chart_.SetWFCCurString(f.text);
    return true;
}

bool TFormulaTree::Delete(Node n) {
    if (!lib_ || !IsFormula(n)) return false;
    const std::string name = FormulaName(Text(n));
    if (!host_.AskWarning("是否删除公式:" + name + "？", "警告")) return false;
    if (!lib_->Delete(name)) {
        host_.Message(lib_->error());
        return false;
    }
    // A formula saved from two categories shows under both; neither node may outlive the row.
    for (Category& c : cats_)
        std::erase_if(c.formulas, [&](const std::string& t) { return FormulaName(t) == name; });
    return true;
}

} // namespace vantor
