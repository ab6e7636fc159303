#pragma once
// Page 交易日志: the account's trades over a table model fed from the journal, the statistics
// memo and the extended figures under it, the button 刷新 and the list's context menu
// (刷新, 导出, 打开日志目录). A double click on a trade shows its chart picture. The page reads
// the journal again whenever it is shown, refreshed, or the controller wrote to the journal
// while it is visible; a journal that cannot be read leaves the page as it was and says why.

#include <QAbstractTableModel>
#include <QWidget>
#include <vector>

#include "journal/journal.h"

class QAction;
class QLabel;
class QPushButton;
class QTableView;

namespace vantor {

class PracticeHost;
class ScreenshotWindow;
class TForm1;

class JournalModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    void SetRows(std::vector<JournalEntry> rows);
    const std::vector<JournalEntry>& Rows() const { return rows_; }
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
    JournalPage(TForm1& form, PracticeHost& host, QWidget* parent = nullptr);
    // Reads the list, the memo and the figures again. False (with a message) when the
    // journal could not be read; the page then keeps what it showed.
    bool Refresh();
    // After a controller operation: reads again when visible and the journal was written.
    void Follow();
    void Export();
    void OpenExportFolder();
    // The picture of list row `row`.
    void ShowScreenshot(int row);

    QTableView* table = nullptr;
    QLabel* memo = nullptr;  // the statistics memo
    QLabel* stats = nullptr; // the extended figures
    QPushButton* refresh = nullptr;
    JournalModel* model = nullptr;
    QAction *refreshAction = nullptr, *exportAction = nullptr, *openFolderAction = nullptr;
    ScreenshotWindow* screenshot = nullptr;

protected:
    void showEvent(QShowEvent*) override { Refresh(); }

private:
    TForm1& form_;
    PracticeHost& host_;
    long long shownWrites_ = -1;
};

} // namespace vantor
