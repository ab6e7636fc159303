#include "ui/journal_page.h"

#include <QAction>
#include <QBrush>
#include <QColor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <filesystem>
#include <system_error>

#include "journal/journal_stats.h"
#include "practice/practice.h"
#include "ui/screenshot_window.h"

namespace vantor {

namespace {

// Memo text with plain line ends, as a label shows it.
QString MemoText(const std::string& text) {
    return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// A framed block of text that grows with its lines; its text can be selected and copied.
QLabel* MemoBlock() {
    auto* m = new QLabel;
    m->setFrameShape(QFrame::StyledPanel);
    m->setAutoFillBackground(true);
    m->setBackgroundRole(QPalette::Base);
    m->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m->setTextFormat(Qt::PlainText);
    m->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m->setMargin(4);
    return m;
}

} // namespace

void JournalModel::SetRows(std::vector<JournalEntry> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

QVariant JournalModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const JournalEntry& e = rows_[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole) {
        if (index.column() == 0) return e.no;
        return QString::fromStdString(e.values[static_cast<std::size_t>(index.column() - 1)]);
    }
    if (role == Qt::ForegroundRole) {
        const unsigned c = JournalRowColour(e.direction()); // $00BBGGRR
        return QBrush(QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
    }
    return {};
}

QVariant JournalModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 12)
        return QString::fromUtf8(JournalHeaders()[static_cast<std::size_t>(section)]);
    return QAbstractTableModel::headerData(section, o, role);
}

JournalPage::JournalPage(TForm1& form, PracticeHost& host, QWidget* parent)
    : QWidget(parent), form_(form), host_(host) {
    auto* layout = new QVBoxLayout(this);
    model = new JournalModel(this);
    table = new QTableView;
    table->setModel(model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->hide();
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    memo = MemoBlock();
    stats = MemoBlock();
    refresh = new QPushButton(QStringLiteral("刷新"));
    layout->addWidget(table, 1);
    layout->addWidget(memo);
    layout->addWidget(stats);
    layout->addWidget(refresh, 0, Qt::AlignLeft);

    refreshAction = new QAction(QStringLiteral("刷新"), this);
    exportAction = new QAction(QStringLiteral("导出"), this);
    openFolderAction = new QAction(QStringLiteral("打开日志目录"), this);
    connect(refresh, &QPushButton::clicked, this, &JournalPage::Refresh);
    connect(refreshAction, &QAction::triggered, this, &JournalPage::Refresh);
    connect(exportAction, &QAction::triggered, this, &JournalPage::Export);
    connect(openFolderAction, &QAction::triggered, this, &JournalPage::OpenExportFolder);
    connect(table, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        menu.addAction(refreshAction);
        menu.addAction(exportAction);
        menu.addAction(openFolderAction);
        menu.exec(table->viewport()->mapToGlobal(at));
    });
    connect(table, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { ShowScreenshot(index.row()); });
    screenshot = new ScreenshotWindow(this);
}

bool JournalPage::Refresh() {
    TJournal journal(form_.ProgramDir());
    std::vector<JournalEntry> rows;
    std::string text;
    JournalStats figures;
    shownWrites_ = form_.JournalWrites();
    if (!journal.RefreshJournal(form_.AccountName(), rows, text) ||
        (!rows.empty() && !journal.ReadStats(form_.AccountName(), rows, figures))) {
        host_.Message(journal.sError);
        return false;
    }
    // Without trades the memo and the figures keep their text.
    if (!rows.empty()) {
        memo->setText(MemoText(text));
        stats->setText(MemoText(StatsText(figures)));
    }
    model->SetRows(std::move(rows));
    table->resizeColumnsToContents();
    return true;
}

void JournalPage::Follow() {
    if (isVisible() && form_.JournalWrites() != shownWrites_) Refresh();
}

void JournalPage::Export() {
    TJournal journal(form_.ProgramDir());
    journal.host.message = [this](const std::string& t) { host_.Message(t); };
    std::string written;
    if (!journal.ExportJournal(form_.AccountName(), model->Rows(), written))
        host_.Message(journal.sError);
}

void JournalPage::OpenExportFolder() {
    const std::string folder = TJournal(form_.ProgramDir()).ExportFolder();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    host_.OpenPath(folder);
}

void JournalPage::ShowScreenshot(int row) {
    if (row < 0 || row >= model->rowCount()) return;
    const std::string& pic = model->Rows()[static_cast<std::size_t>(row)].picPath();
    screenshot->ShowFile(QString::fromStdString(TJournal(form_.ProgramDir()).ScreenshotFile(pic)));
}

} // namespace vantor
