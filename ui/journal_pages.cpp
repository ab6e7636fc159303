#include "ui/journal_pages.h"

#include <QBrush>
#include <QChart>
#include <QChartView>
#include <QColor>
#include <QHeaderView>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

#include "practice/practice.h"

namespace vantor {

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
        const unsigned c = JournalRowColour(e.direction());
        return QBrush(QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
    }
    return {};
}

QVariant JournalModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 12)
        return QString::fromUtf8(JournalHeaders()[static_cast<std::size_t>(section)]);
    return QAbstractTableModel::headerData(section, o, role);
}

JournalPage::JournalPage(TForm1& form, QWidget* parent) : QWidget(parent), form_(form) {
    auto* layout = new QVBoxLayout(this);
    model = new JournalModel(this);
    table = new QTableView;
    table->setModel(model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->hide();
    memo = new QPlainTextEdit;
    memo->setReadOnly(true);
    memo->setMaximumHeight(110);
    refresh = new QPushButton(QStringLiteral("刷新"));
    layout->addWidget(table, 1);
    layout->addWidget(memo);
    layout->addWidget(refresh, 0, Qt::AlignLeft);
    connect(refresh, &QPushButton::clicked, this, &JournalPage::Refresh);
}

void JournalPage::Refresh() {
    TJournal journal(form_.ProgramDir());
    std::vector<JournalEntry> rows;
    std::string text = memo->toPlainText().toStdString();
    if (!journal.RefreshJournal(form_.AccountName(), rows, text)) {
        memo->setPlainText(QString::fromStdString(journal.sError));
        return;
    }
    model->SetRows(std::move(rows));
    memo->setPlainText(QString::fromStdString(text));
}

EquityPage::EquityPage(TForm1& form, QWidget* parent) : QWidget(parent), form_(form) {
    auto* layout = new QVBoxLayout(this);
    chart_ = new QChart;
    chart_->legend()->hide();
    series = new QLineSeries;
    series->setName(QStringLiteral("资金曲线"));
    chart_->addSeries(series);
    auto* x = new QValueAxis;
    auto* y = new QValueAxis;
    x->setLabelFormat("%d");
    y->setLabelFormat("%.0f");
    chart_->addAxis(x, Qt::AlignBottom);
    chart_->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    chart_->setTitle(QStringLiteral("资金曲线"));
    auto* view = new QChartView(chart_);
    view->setRenderHint(QPainter::Antialiasing);
    layout->addWidget(view);
}

void EquityPage::Refresh() {
    TJournal journal(form_.ProgramDir());
    std::vector<std::pair<double, double>> points;
    if (!journal.EquityPoints(form_.AccountName(), points)) return;
    QList<QPointF> list;
    for (const auto& [x, y] : points) list.append(QPointF(x, y));
    series->replace(list);
    if (list.isEmpty()) return;
    double x0 = list.front().x(), x1 = list.back().x(), y0 = list.front().y(), y1 = y0;
    for (const QPointF& p : list) {
        y0 = std::min(y0, p.y());
        y1 = std::max(y1, p.y());
    }
    const double pad = std::max(1.0, (y1 - y0) * 0.1);
    auto* ax = static_cast<QValueAxis*>(chart_->axes(Qt::Horizontal).front());
    auto* ay = static_cast<QValueAxis*>(chart_->axes(Qt::Vertical).front());
    ax->setRange(x0, std::max(x1, x0 + 1));
    ay->setRange(y0 - pad, y1 + pad);
    ax->applyNiceNumbers();
    ay->applyNiceNumbers();
}

} // namespace vantor
