#include "ui/download.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <filesystem>

#include "account/sxf.h"
#include "market/data_files.h"
#include "practice/practice.h"
#include "practice/settings.h"
#include "remote/coder_socket.h"
#include "remote/file_operator.h"

namespace vantor {

namespace {

const char kRemoteFile[] = "data/sxf.db";
const char kCancelled[] = "下载已取消。";

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

// What the worker and the dialog share: the cancel flag, the bytes received so far and, once
// the worker has ended, its outcome.
struct ConfigDownload::Job {
    std::string host, target;
    int port = kFileServicePort;
    int connectTimeoutMs = 0, ioTimeoutMs = 0;
    std::atomic<bool> cancel{false};
    std::atomic<long long> received{0};
    bool ok = false;
    std::string error;
};

namespace {

// The TCP channel with a cancel check before every send and receive, counting the bytes
// received. A cancel takes effect at the next exchange of bytes with the service.
class CancellableSocket : public TCoderSocket {
public:
    explicit CancellableSocket(ConfigDownload::Job& job) : job_(job), tcp_(job.host, job.port) {
        tcp_.connectTimeoutMs = job.connectTimeoutMs;
        tcp_.ioTimeoutMs = job.ioTimeoutMs;
    }
    int SendBuf(const void* buf, int len) override {
        if (job_.cancel) return Cancelled();
        return tcp_.SendBuf(buf, len);
    }
    int RecvBuf(void* buf, int len) override {
        if (job_.cancel) return Cancelled();
        int n = tcp_.RecvBuf(buf, len);
        if (n > 0) job_.received += n;
        return n;
    }
    void CloseSocket() override { tcp_.CloseSocket(); }
    std::string LastError() const override { return cancelled_ ? kCancelled : tcp_.LastError(); }

private:
    int Cancelled() {
        cancelled_ = true;
        tcp_.CloseSocket();
        return -1;
    }
    ConfigDownload::Job& job_;
    TTcpCoderSocket tcp_;
    bool cancelled_ = false;
};

void RunDownload(ConfigDownload::Job& job) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(job.target).parent_path(), ec);
    CancellableSocket socket(job);
    TDiocpFileOperator client;
    client.FCoderSocket = &socket;
    job.ok = client.DownFile(kRemoteFile, job.target, "");
    job.error = client.ErrorString();
}

} // namespace

ConfigDownload::ConfigDownload(TForm1& form, QWidget* window)
    : QObject(window), form_(form), window_(window) {}

ConfigDownload::~ConfigDownload() {
    StopAndWait();
}

QProgressDialog* ConfigDownload::Progress() const {
    return progress_;
}

void ConfigDownload::Say(const std::string& text, bool failure) {
    if (failure)
        QMessageBox::critical(window_, QStringLiteral("错误"), Q(text));
    else
        QMessageBox::information(window_, QStringLiteral("提示"), Q(text));
}

void ConfigDownload::Start() {
    if (Busy()) {
        if (progress_) progress_->raise();
        return;
    }
    const std::string configPath = form_.ConfigPath();
    ConfigFile config(configPath);
    auto job = std::make_shared<Job>();
    job->host = TrimBlanks(config.ReadKey(kFileServiceSection, kFileServiceHostKey));
    const std::string where = std::string("请在 ") + configPath + " 的 [" + kFileServiceSection +
                              "] 中设置 " + kFileServiceHostKey + "（服务器地址）和 " +
                              kFileServicePortKey + "（默认 " + std::to_string(kFileServicePort) +
                              "）。";
    if (job->host.empty()) {
        Say("没有设置文件服务的地址，" + where, true);
        return;
    }
    const std::string portText =
        TrimBlanks(config.ReadKey(kFileServiceSection, kFileServicePortKey));
    if (!portText.empty()) {
        bool ok = false;
        const int port = QString::fromStdString(portText).toInt(&ok);
        if (!ok || port <= 0 || port > 65535) {
            Say("文件服务的端口 " + portText + " 不正确，" + where, true);
            return;
        }
        job->port = port;
    }
    job->target = SxfDatabasePath(form_.ProgramDir());
    job->connectTimeoutMs = connectTimeoutMs;
    job->ioTimeoutMs = ioTimeoutMs;
    job_ = job;

    progress_ = new QProgressDialog(
        Q("正在从 " + job->host + ":" + std::to_string(job->port) + " 下载 " + kRemoteFile + " …"),
        QStringLiteral("取消"), 0, 0, window_);
    progress_->setWindowTitle(QStringLiteral("下载配置"));
    progress_->setAttribute(Qt::WA_DeleteOnClose);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setMinimumDuration(0);
    progress_->setMinimumWidth(360);
    connect(progress_, &QProgressDialog::canceled, this, [job] { job->cancel = true; });
    progress_->show();

    // The bytes received, shown a few times a second.
    ticker_ = new QTimer(this);
    connect(ticker_, &QTimer::timeout, this, [this, job] {
        if (progress_ && !job->cancel)
            progress_->setLabelText(Q("正在下载 " + std::string(kRemoteFile) + " … 已接收 " +
                                      std::to_string(job->received / 1024) + " KB"));
    });
    ticker_->start(200);

    worker_ = QThread::create([job] { RunDownload(*job); });
    connect(worker_, &QThread::finished, this, [this, job] {
        if (job_ == job && !stopping_) Complete(true);
    });
    worker_->start();
}

void ConfigDownload::Complete(bool report) {
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
    delete ticker_;
    ticker_ = nullptr;
    if (progress_) {
        progress_->disconnect(this); // closing it emits canceled
        progress_->close();
    }
    std::shared_ptr<Job> job = std::move(job_);
    if (!report) return;
    if (job->ok) {
        // The database may have changed: the instrument on the chart trades with its new row.
        form_.ReapplyContract();
        Say("下载文件成功!", false);
    } else {
        Say(job->cancel ? kCancelled : job->error, !job->cancel);
    }
    emit Finished();
}

void ConfigDownload::StopAndWait() {
    if (!worker_) return;
    job_->cancel = true;
    // The worker ends at its next exchange with the service (at most the answer timeout);
    // the windows keep painting meanwhile.
    stopping_ = true;
    while (!worker_->wait(50)) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    Complete(false);
    stopping_ = false;
}

} // namespace vantor
