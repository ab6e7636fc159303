#include "ui/sxf_dialog.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <QValidator>
#include <algorithm>

#include "market/data_files.h"

namespace vantor {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// Upper-cases the code as it is typed.
class UpperCase : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        input = input.toUpper();
        return Acceptable;
    }
};

} // namespace

// The five columns of the list, produced from the editor when a row is displayed.
class SxfTableModel : public QAbstractTableModel {
public:
    SxfTableModel(const TSxfEditor& editor, QObject* parent)
        : QAbstractTableModel(parent), editor_(editor) {}
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(editor_.codes.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : 5;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid()) return {};
        return Q(editor_.RowTexts(static_cast<std::size_t>(index.row()))[index.column()]);
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        static const char* const kColumns[] = {"代码", "合约乘数", "保证金比率", "开仓费率",
                                               "平仓费率"};
        if (role != Qt::DisplayRole) return {};
        if (o == Qt::Vertical) return section + 1;
        return QString::fromUtf8(kColumns[section]);
    }
    void Reset() {
        beginResetModel();
        endResetModel();
    }

private:
    const TSxfEditor& editor_;
};

SxfDialog::SxfDialog(std::string programDir, QWidget* parent)
    : QDialog(parent), programDir_(programDir), editor_(std::move(programDir)) {
    setWindowTitle(QStringLiteral("手续费设置"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_DeleteOnClose);
    editor_.host.message = [this](const std::string& text) {
        QMessageBox::information(this, QStringLiteral("提示"), Q(text));
    };
    editor_.host.confirm = [this](const std::string& text, const std::string& title) {
        return QMessageBox::question(this, Q(title), Q(text), QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };

    code = new QComboBox;
    code->setEditable(true);
    code->setInsertPolicy(QComboBox::NoInsert);
    code->setValidator(new UpperCase(code));
    code->setMinimumWidth(140);
    query = new QPushButton(QStringLiteral("查询"));
    model_ = new SxfTableModel(editor_, this);
    table = new QTableView;
    table->setModel(model_);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->verticalHeader()->setDefaultSectionSize(22);
    load = new QPushButton(QStringLiteral("载入商品"));
    replaceAll = new QPushButton(QStringLiteral("全部修改"));
    updateSelected = new QPushButton(QStringLiteral("修改选中"));

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("代码")));
    top->addWidget(code);
    top->addWidget(query);
    top->addStretch(1);
    auto* edits = new QGridLayout;
    static const char* const kLabels[] = {"合约乘数", "保证金比率(%)", "买入费率(%%)",
                                          "卖出费率(%%)"};
    for (int i = 0; i < 4; ++i) {
        boxes[i] = new QLineEdit;
        edits->addWidget(new QLabel(QString::fromUtf8(kLabels[i])), i / 2, (i % 2) * 2);
        edits->addWidget(boxes[i], i / 2, (i % 2) * 2 + 1);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(load);
    buttons->addStretch(1);
    buttons->addWidget(replaceAll);
    buttons->addWidget(updateSelected);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(table, 1);
    layout->addLayout(edits);
    layout->addLayout(buttons);
    resize(620, 460);

    connect(query, &QPushButton::clicked, this, &SxfDialog::Query);
    connect(load, &QPushButton::clicked, this, &SxfDialog::LoadCodes);
    connect(replaceAll, &QPushButton::clicked, this, &SxfDialog::ReplaceAll);
    connect(updateSelected, &QPushButton::clicked, this, &SxfDialog::UpdateSelected);
    connect(table, &QTableView::clicked, this,
            [this](const QModelIndex& index) { RowClicked(index.row()); });
    connect(boxes[1], &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString fixed = Q(TSxfEditor::MarginBoxText(text.toStdString()));
        if (fixed != text) boxes[1]->setText(fixed);
    });
    // Checked when the box is left, so that typing "0.5" is not interrupted at its "0".
    connect(boxes[0], &QLineEdit::editingFinished, this,
            [this] { editor_.CheckMultiplierBox(boxes[0]->text().toStdString()); });
}

SxfDialog::~SxfDialog() = default;

SxfBoxes SxfDialog::Boxes() const {
    SxfBoxes b;
    for (int i = 0; i < 4; ++i) b[i] = boxes[i]->text().trimmed().toStdString();
    return b;
}

void SxfDialog::Refresh() {
    model_->Reset();
}

void SxfDialog::LoadCodes() {
    const std::vector<std::string> dayCodes =
        ListInstruments(FindPathNoCase(programDir_, "daydata"));
    const std::vector<std::string> minCodes =
        ListInstruments(FindPathNoCase(programDir_, "mindata"));
    if (!editor_.LoadCodes(dayCodes, minCodes) && !editor_.sError.empty())
        editor_.host.Message(editor_.sError);
    code->clear();
    for (const auto& c : editor_.codes) code->addItem(Q(c));
    if (code->count() > 0) code->setCurrentIndex(0);
    Refresh();
}

void SxfDialog::Query() {
    SxfBoxes b = Boxes();
    if (!editor_.Query(code->currentText().trimmed().toStdString(), b)) return;
    for (int i = 0; i < 4; ++i) boxes[i]->setText(Q(b[i]));
}

void SxfDialog::ReplaceAll() {
    editor_.ReplaceAll(Boxes());
    Refresh();
}

void SxfDialog::UpdateSelected() {
    QModelIndexList rows = table->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<std::string> selected;
    for (const QModelIndex& r : rows)
        selected.push_back(editor_.codes[static_cast<std::size_t>(r.row())]);
    if (editor_.UpdateSelected(selected, Boxes())) table->clearSelection();
    Refresh();
}

void SxfDialog::RowClicked(int row) {
    const auto texts = editor_.RowTexts(static_cast<std::size_t>(row));
    for (int i = 0; i < 4; ++i) boxes[i]->setText(Q(texts[i + 1]));
}

} // namespace vantor
