#include "ui/indicator_tree.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QStandardItemModel>
#include <QStyle>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "library/formula_library.h"
#include "practice/practice_host.h"
#include "ui/formula_editor.h"

namespace vantor {

namespace {

constexpr int kCatRole = Qt::UserRole + 1;
constexpr int kItemRole = Qt::UserRole + 2;

} // namespace

IndicatorPanel* IndicatorPanel::Open(const std::string& programDir, TGP& chart, PracticeHost& host,
                                     QWidget* parent) {
    auto library = std::make_unique<TFormulaLibrary>();
    const std::string path = programDir + "/" + kLibraryFile;
    if (library->Open(path) == TFormulaLibrary::OpenResult::Failed) {
        host.Message(library->error());
        return nullptr;
    }
    return new IndicatorPanel(std::move(library), chart, parent);
}

IndicatorPanel::IndicatorPanel(std::unique_ptr<TFormulaLibrary> library, TGP& chart,
                               QWidget* parent)
    : QWidget(parent), library_(std::move(library)) {
    setObjectName("LeftBar");
    host_ = std::make_unique<QtFormulaHost>(this);
    tree_ = std::make_unique<TFormulaTree>(library_.get(), *host_, chart);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    auto* header = new QWidget;
    header->setObjectName("header");
    header->setStyleSheet("#header { background:#3169c6; } QLabel { color:white; }");
    auto* headRow = new QHBoxLayout(header);
    headRow->setContentsMargins(6, 2, 2, 2);
    headRow->addWidget(new QLabel(QStringLiteral("技术指标")), 1);
    auto* hide = new QToolButton;
    hide->setObjectName("btnSPB21");
    hide->setText(QStringLiteral("×"));
    hide->setAutoRaise(true);
    hide->setStyleSheet("color:white;");
    connect(hide, &QToolButton::clicked, this, &QWidget::hide);
    headRow->addWidget(hide);
    root->addWidget(header);

    model_ = new QStandardItemModel(this);
    view_ = new QTreeView;
    view_->setObjectName("GSView");
    view_->setModel(model_);
    view_->setHeaderHidden(true);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setAllColumnsShowFocus(true);
    view_->setExpandsOnDoubleClick(true);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    view_->setFont(font);
    // The selection stays visible when the tree loses the focus.
    view_->setStyleSheet(
        "QTreeView { background:black; color:silver; }"
        "QTreeView::item:selected, QTreeView::item:selected:!active { background:#3169c6; "
        "color:white; }");
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    root->addWidget(view_, 1);

    menu_ = new QMenu(this);
    edit_ = menu_->addAction(QStringLiteral("新建指标"), this, &IndicatorPanel::EditClick);
    edit_->setObjectName("EditGS");
    load_ = menu_->addAction(QStringLiteral("加载公式"), this, &IndicatorPanel::LoadClick);
    load_->setObjectName("LoadGS");
    del_ = menu_->addAction(QStringLiteral("删除公式"), this, &IndicatorPanel::DelClick);
    del_->setObjectName("DelGS");
    connect(menu_, &QMenu::aboutToShow, this,
            [this] { edit_->setText(QString::fromStdString(tree_->EditCaption(Selected()))); });
    connect(view_, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        QModelIndex at = view_->indexAt(p);
        if (at.isValid()) view_->setCurrentIndex(at);
        menu_->popup(view_->viewport()->mapToGlobal(p));
    });
    connect(view_, &QTreeView::doubleClicked, this, &IndicatorPanel::DoubleClick);

    tree_->Fill();
    Reload();
    resize(167, height());
}

IndicatorPanel::~IndicatorPanel() = default;

FormulaHost& IndicatorPanel::Host() {
    return *host_;
}

void IndicatorPanel::Reload() {
    // Expanded categories stay expanded across a rebuild.
    std::vector<bool> open;
    for (int r = 0; r < model_->rowCount(); ++r)
        open.push_back(view_->isExpanded(model_->index(r, 0)));
    model_->clear();
    const QIcon catIcon = style()->standardIcon(QStyle::SP_DirIcon);
    const QIcon formulaIcon = style()->standardIcon(QStyle::SP_FileIcon);
    const auto& cats = tree_->Categories();
    for (int c = 0; c < static_cast<int>(cats.size()); ++c) {
        auto* cat = new QStandardItem(catIcon, QString::fromStdString(cats[c].name));
        cat->setData(c, kCatRole);
        cat->setData(-1, kItemRole);
        for (int i = 0; i < static_cast<int>(cats[c].formulas.size()); ++i) {
            auto* f = new QStandardItem(formulaIcon, QString::fromStdString(cats[c].formulas[i]));
            f->setData(c, kCatRole);
            f->setData(i, kItemRole);
            cat->appendRow(f);
        }
        model_->appendRow(cat);
        if (c < static_cast<int>(open.size()) && open[c]) view_->expand(cat->index());
    }
}

void IndicatorPanel::Select(TFormulaTree::Node n) {
    if (n.cat < 0 || n.cat >= model_->rowCount()) return;
    QModelIndex idx = model_->index(n.cat, 0);
    if (n.item >= 0) {
        view_->expand(idx);
        idx = model_->index(n.item, 0, idx);
    }
    view_->setCurrentIndex(idx);
}

TFormulaTree::Node IndicatorPanel::Selected() const {
    QModelIndex idx = view_->currentIndex();
    if (!idx.isValid()) return {};
    return {idx.data(kCatRole).toInt(), idx.data(kItemRole).toInt()};
}

void IndicatorPanel::EditClick() {
    TFormulaTree::Node n = Selected();
    if (!tree_->Edit(n)) return;
    Reload();
    Select(n);
}

void IndicatorPanel::LoadClick() {
    if (tree_->Load(Selected()) && onLoaded) onLoaded();
}

void IndicatorPanel::DelClick() {
    TFormulaTree::Node n = Selected();
    if (!tree_->Delete(n)) return;
    Reload();
    Select({n.cat, -1});
}

void IndicatorPanel::DoubleClick(const QModelIndex& index) {
    TFormulaTree::Node n{index.data(kCatRole).toInt(), index.data(kItemRole).toInt()};
    if (tree_->IsFormula(n) && tree_->Load(n) && onLoaded) onLoaded();
}

} // namespace vantor
