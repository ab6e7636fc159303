#include "ui/import_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStringListModel>
#include <QTabWidget>
#include <QThread>
#include <QToolButton>
#include <QVBoxLayout>
#include <memory>

#include "market/csv_import.h"
#include "market/data_files.h"
#include "market/tdx_import.h"
#include "practice/settings.h"

namespace vantor {

namespace {

const char kSetSection[] = "set";
const char kHelp[] =
    "说明：\n包含代码   为要导出的品种，留空为全部导出，支持多品种同时导出，逗号分隔"
    "（IF,RB,RU）等\n选择路径   为通达信主程序安装路径";
const char kStopQuestion[] = "数据导出正在进行，确定要停止吗？未开始的文件将不再导出。";

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

std::string Trimmed(const QLineEdit* box) {
    return box->text().trimmed().toStdString();
}

// What the CSV page reports at the end: a headline, then one line per code.
std::string CsvReport(bool started, const std::string& error,
                      const std::vector<CsvImportResult>& results, bool cancelled) {
    if (!started) return error;
    bool allOk = true;
    for (const auto& r : results) allOk = allOk && r.bOk;
    std::string text = cancelled ? "数据导入已取消！"
                       : allOk   ? "数据导入完毕！"
                                 : "数据导入未全部完成！";
    for (const auto& r : results) text += "\n" + CsvResultText(r);
    return text;
}

} // namespace

ImportDialog::ImportDialog(std::string programDir, QWidget* parent)
    : QDialog(parent), programDir_(std::move(programDir)) {
    setWindowTitle(QStringLiteral("数据更新插件"));
    pages = new QTabWidget;
    pages->addTab(BuildTdxPage(), QStringLiteral("通达信数据"));
    pages->addTab(BuildCsvPage(), QStringLiteral("CSV文件"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    resize(560, 360);

    ConfigFile config(FindPathNoCase(programDir_, kConfigFileName));
    path->setText(Q(config.ReadKey(kSetSection, "path")));
    filter->setText(Q(config.ReadKey(kSetSection, "Name")));
}

ImportDialog::~ImportDialog() {
    StopAndWait(false);
}

QWidget* ImportDialog::BuildTdxPage() {
    auto* page = new QWidget;
    filter = new QLineEdit;
    filter->setObjectName("filter");
    path = new QLineEdit;
    path->setObjectName("path");
    browse = new QToolButton;
    browse->setText(QStringLiteral("..."));
    day = new QPushButton(QStringLiteral("日线"));
    minute = new QPushButton(QStringLiteral("1分钟"));
    progress = new QProgressBar;
    progress->setRange(0, 1);
    progress->setValue(0);
    progressLabel = new QLabel;
    progressLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    progressLabel->setMinimumWidth(100);
    auto* help = new QLabel(QString::fromUtf8(kHelp));
    help->setWordWrap(true);

    auto* grid = new QGridLayout(page);
    grid->addWidget(new QLabel(QStringLiteral("包含代码")), 0, 0);
    grid->addWidget(filter, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("选择路径")), 1, 0);
    grid->addWidget(path, 1, 1);
    grid->addWidget(browse, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(day);
    buttons->addWidget(minute);
    grid->addLayout(buttons, 2, 0, 1, 3);
    grid->addWidget(progress, 3, 0, 1, 3);
    grid->addWidget(progressLabel, 4, 0, 1, 3);
    grid->addWidget(help, 5, 0, 1, 3);
    grid->setRowStretch(6, 1);
    grid->setColumnStretch(1, 1);

    connect(browse, &QToolButton::clicked, this, [this] {
        QString dir = QFileDialog::getExistingDirectory(this, QStringLiteral("选择通达信安装路径"),
                                                        path->text());
        if (!dir.isEmpty()) path->setText(dir);
    });
    connect(day, &QPushButton::clicked, this, [this] { StartTdx(TdxImportKind::Day); });
    connect(minute, &QPushButton::clicked, this, [this] { StartTdx(TdxImportKind::Minute); });
    return page;
}

QWidget* ImportDialog::BuildCsvPage() {
    auto* page = new QWidget;
    csvModel_ = new QStringListModel(this);
    csvFiles = new QListView;
    csvFiles->setModel(csvModel_);
    csvFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    csvAdd = new QPushButton(QStringLiteral("添加文件..."));
    csvClear = new QPushButton(QStringLiteral("清空"));
    csvCode = new QLineEdit;
    csvCode->setObjectName("csvCode");
    csvCode->setPlaceholderText(QStringLiteral("留空为文件名"));
    csvSkipBad = new QCheckBox(QStringLiteral("跳过错误行，只导入正确的数据"));
    csvImport = new QPushButton(QStringLiteral("导入"));
    csvProgress = new QProgressBar;
    csvProgress->setRange(0, 1000);
    csvProgress->setValue(0);
    csvLabel = new QLabel;
    csvLabel->setWordWrap(true);
    auto* help =
        new QLabel(QStringLiteral("说明：\nCSV文件第一行为表头（日期、时间、开盘、最高、最低、收盘"
                                  "、成交量、成交额，中英文均可），"
                                  "日线导入 daydata，1分钟线导入 mindata。\n品种代码   "
                                  "留空时每个文件以文件名为代码，填写时所有文件合并为该代码"));
    help->setWordWrap(true);

    auto* grid = new QGridLayout(page);
    grid->addWidget(csvFiles, 0, 0, 3, 2);
    grid->addWidget(csvAdd, 0, 2);
    grid->addWidget(csvClear, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("品种代码")), 3, 0);
    grid->addWidget(csvCode, 3, 1);
    grid->addWidget(csvImport, 3, 2);
    grid->addWidget(csvSkipBad, 4, 0, 1, 3);
    grid->addWidget(csvProgress, 5, 0, 1, 3);
    grid->addWidget(csvLabel, 6, 0, 1, 3);
    grid->addWidget(help, 7, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);

    connect(csvAdd, &QPushButton::clicked, this, [this] {
        AddCsvFiles(
            QFileDialog::getOpenFileNames(this, QStringLiteral("选择CSV文件"), QString(),
                                          QStringLiteral("CSV文件 (*.csv *.txt);;所有文件 (*)")));
    });
    connect(csvClear, &QPushButton::clicked, this, [this] { csvModel_->setStringList({}); });
    connect(csvImport, &QPushButton::clicked, this, &ImportDialog::StartCsv);
    return page;
}

void ImportDialog::AddCsvFiles(const QStringList& files) {
    QStringList list = csvModel_->stringList();
    for (const QString& f : files)
        if (!list.contains(f)) list << f;
    csvModel_->setStringList(list);
}

void ImportDialog::Say(const std::string& text) {
    QMessageBox::information(this, QStringLiteral("提示"), Q(text));
}

void ImportDialog::SetRunning(bool running) {
    for (QWidget* w : {static_cast<QWidget*>(day), static_cast<QWidget*>(minute),
                       static_cast<QWidget*>(csvImport), static_cast<QWidget*>(csvAdd),
                       static_cast<QWidget*>(csvClear)})
        w->setEnabled(!running);
}

void ImportDialog::Run(std::function<void()> work, std::function<void(bool)> finished) {
    cancel_ = false;
    finished_ = std::move(finished);
    SetRunning(true);
    const int run = ++run_;
    worker_ = QThread::create(std::move(work));
    // Emitted on the worker thread: delivered here through the event queue.
    connect(worker_, &QThread::finished, this, [this, run] {
        if (run == run_ && worker_) Complete(true);
    });
    worker_->start();
}

void ImportDialog::Complete(bool report) {
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
    SetRunning(false);
    auto finished = std::move(finished_);
    finished_ = nullptr;
    if (finished) finished(report);
}

void ImportDialog::StopAndWait(bool report) {
    if (!worker_) return;
    cancel_ = true;
    Complete(report);
}

void ImportDialog::StartTdx(TdxImportKind kind) {
    if (Busy()) return;
    TdxImportOptions options;
    options.sTdxRoot = Trimmed(path);
    options.sProgramDir = programDir_;
    options.kind = kind;
    options.sFilter = filter->text().toStdString();
    options.nThreads = threads;
    options.pCancel = &cancel_;
    progress->setRange(0, 1);
    progress->setValue(0);
    progressLabel->clear();

    struct Outcome {
        bool started = false;
        std::string error;
        std::vector<TdxFileResult> results;
    };
    auto outcome = std::make_shared<Outcome>();
    auto onProgress = [this](const TdxProgress& p) {
        const int done = static_cast<int>(p.nDone), total = static_cast<int>(p.nTotal);
        const QString file = Q(p.result->sSource);
        QMetaObject::invokeMethod(
            this,
            [this, done, total, file] {
                progress->setRange(0, total);
                progress->setValue(done);
                progressLabel->setText(file);
            },
            Qt::QueuedConnection);
    };
    Run(
        [options, onProgress, outcome] {
            outcome->started = RunTdxImport(options, onProgress, outcome->results, outcome->error);
        },
        [this, outcome](bool report) {
            if (!report) return; // stopped because the program closes
            if (!outcome->started) {
                Say(outcome->error); // no folder, or one without files
                return;
            }
            if (SummarizeTdxImport(outcome->results).nConverted > 0) emit Imported();
            Say(TdxReportText(outcome->results));
        });
}

void ImportDialog::StartCsv() {
    if (Busy()) return;
    CsvImportOptions options;
    for (const QString& f : csvModel_->stringList()) options.files.push_back(f.toStdString());
    options.sCode = Trimmed(csvCode);
    options.sProgramDir = programDir_;
    options.bSkipBad = csvSkipBad->isChecked();
    options.nThreads = threads;
    csvProgress->setValue(0);
    csvLabel->clear();

    struct Outcome {
        bool started = false;
        std::string error;
        std::vector<CsvImportResult> results;
    };
    auto outcome = std::make_shared<Outcome>();
    auto onProgress = [this](const CsvImportProgress& p) {
        const int permille =
            p.nBytesTotal == 0
                ? 1000
                : static_cast<int>(1000.0 * p.nBytesDone / static_cast<double>(p.nBytesTotal));
        const QString text =
            QStringLiteral("已读取 %1 / %2 KB").arg(p.nBytesDone / 1024).arg(p.nBytesTotal / 1024);
        QMetaObject::invokeMethod(
            this,
            [this, permille, text] {
                csvProgress->setValue(permille);
                csvLabel->setText(text);
            },
            Qt::QueuedConnection);
    };
    std::atomic<bool>* cancel = &cancel_;
    Run(
        [options, onProgress, outcome, cancel] {
            outcome->started =
                RunCsvImport(options, onProgress, cancel, outcome->results, outcome->error);
        },
        [this, outcome](bool report) {
            if (!report) return; // stopped because the program closes
            bool any = false;
            for (const auto& r : outcome->results) any = any || r.bOk;
            if (any) emit Imported();
            if (outcome->started) csvProgress->setValue(1000);
            const std::string text =
                CsvReport(outcome->started, outcome->error, outcome->results, cancel_.load());
            csvLabel->setText(Q(text));
            Say(text);
        });
}

void ImportDialog::SaveSettings() {
    ConfigFile config(FindPathNoCase(programDir_, kConfigFileName));
    std::string error;
    if (!config.WriteKey(kSetSection, "path", Trimmed(path), error) ||
        !config.WriteKey(kSetSection, "Name", filter->text().toStdString(), error))
        Say(error);
}

void ImportDialog::reject() {
    if (Busy()) {
        if (QMessageBox::question(this, QStringLiteral("提示"), QString::fromUtf8(kStopQuestion),
                                  QMessageBox::Yes | QMessageBox::No,
                                  QMessageBox::No) != QMessageBox::Yes)
            return;
        StopAndWait(true);
    }
    SaveSettings();
    QDialog::reject();
}

} // namespace vantor
