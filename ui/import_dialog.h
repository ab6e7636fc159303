#pragma once
// "数据更新插件" (工具 › 数据导入): the import of a TDX installation's day or minute files, and
// on its second page the import of CSV bar files. Each import runs on a worker thread and
// reports its progress through queued calls, so the dialog stays responsive; closing the
// dialog during an import asks, cancels the files not started yet and waits for the worker.
// The TDX page's two boxes are kept in config.ini, section [set], keys path and Name.

#include <QDialog>
#include <QStringList>
#include <atomic>
#include <functional>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;
class QProgressBar;
class QPushButton;
class QStringListModel;
class QTabWidget;
class QThread;
class QToolButton;

namespace vantor {

enum class TdxImportKind;

class ImportDialog : public QDialog {
    Q_OBJECT
public:
    explicit ImportDialog(std::string programDir, QWidget* parent = nullptr);
    ~ImportDialog() override; // stops a running import and waits for it

    // An import is running.
    bool Busy() const { return worker_ != nullptr; }
    // Cancels a running import and waits until its worker has stopped; `report` shows what
    // was done (the summary with the files left out).
    void StopAndWait(bool report);
    // Adds files to the CSV page's list (its "添加文件..." button asks for them).
    void AddCsvFiles(const QStringList& files);
    // Worker threads of an import (0: one per hardware thread).
    unsigned threads = 0;

    // The TDX page.
    QTabWidget* pages = nullptr;
    QLineEdit* filter = nullptr; // 包含代码
    QLineEdit* path = nullptr;   // 选择路径
    QToolButton* browse = nullptr;
    QPushButton* day = nullptr;    // 日线
    QPushButton* minute = nullptr; // 1分钟
    QProgressBar* progress = nullptr;
    QLabel* progressLabel = nullptr;
    // The CSV page.
    QListView* csvFiles = nullptr;
    QPushButton* csvAdd = nullptr;
    QPushButton* csvClear = nullptr;
    QLineEdit* csvCode = nullptr;
    QCheckBox* csvSkipBad = nullptr;
    QPushButton* csvImport = nullptr;
    QProgressBar* csvProgress = nullptr;
    QLabel* csvLabel = nullptr;

signals:
    // An import has finished and written data files: instrument lists should be read again.
    void Imported();

public slots:
    void reject() override;

private:
    QWidget* BuildTdxPage();
    QWidget* BuildCsvPage();
    void StartTdx(TdxImportKind kind);
    void StartCsv();
    // Runs `work` on a worker thread; `finished(report)` runs on this thread afterwards.
    void Run(std::function<void()> work, std::function<void(bool report)> finished);
    void Complete(bool report);
    void SetRunning(bool running);
    void Say(const std::string& text);
    void SaveSettings();

    std::string programDir_;
    QStringListModel* csvModel_ = nullptr;
    QThread* worker_ = nullptr;
    int run_ = 0; // counts the runs, so a late signal of an earlier run is ignored
    std::atomic<bool> cancel_{false};
    std::function<void(bool)> finished_;
};

} // namespace vantor
