#pragma once
// Pages 交易日志 and 资金曲线: the account's trades with the statistics memo, and the equity
// points as a line. Both read the journal again whenever they are shown or refreshed.

#include <QAbstractTableModel>
#include <QWidget>
#include <vector>

#include "journal/journal.h"

class QPlainTextEdit;
class QTableView;
class QPushButton;
class QLineSeries;
class QChart;

namespace vantor {

class TForm1;

class JournalModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    void SetRows(std::vector<JournalEntry> rows);
    int rowCount(const QModelIndex& = {}) const override { return static_cast<int>(rows_.size()); }
    int columnCount(const QModelIndex& = {}) const override { return 12; }
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

private:
    std::vector<JournalEntry> rows_;
};

class JournalPage : public QWidget {
    Q_OBJECT
public:
    JournalPage(TForm1& form, QWidget* parent = nullptr);
    void Refresh();
    QTableView* table = nullptr;
    QPlainTextEdit* memo = nullptr;
    QPushButton* refresh = nullptr;
    JournalModel* model = nullptr;

protected:
    void showEvent(QShowEvent*) override { Refresh(); }

private:
    TForm1& form_;
};

class EquityPage : public QWidget {
    Q_OBJECT
public:
    EquityPage(TForm1& form, QWidget* parent = nullptr);
    void Refresh();
    QLineSeries* series = nullptr;

protected:
    void showEvent(QShowEvent*) override { Refresh(); }

private:
    TForm1& form_;
    QChart* chart_ = nullptr;
};

} // namespace vantor
