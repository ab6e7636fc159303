#pragma once
// 下载配置 (工具 menu): fetches data/sxf.db from the file service named in config.ini
// ([文件服务] 地址 and 端口) into the program folder. The download runs on a worker thread behind
// a progress dialog that can be cancelled; the database is replaced only by a complete
// download, and afterwards the contract of the instrument on the chart is applied again.

#include <QObject>
#include <QPointer>
#include <memory>
#include <string>

class QProgressDialog;
class QThread;
class QTimer;
class QWidget;

namespace vantor {

class TForm1;

class ConfigDownload : public QObject {
    Q_OBJECT
public:
    ConfigDownload(TForm1& form, QWidget* window);
    ~ConfigDownload() override; // stops a running download and waits for it

    // Starts the download (or says where the service's address is set).
    void Start();
    bool Busy() const { return worker_ != nullptr; }
    // Cancels a running download and waits until its worker has stopped, without messages.
    void StopAndWait();
    // The progress dialog while a download runs (else null).
    QProgressDialog* Progress() const;

    int connectTimeoutMs = 5000;
    int ioTimeoutMs = 30000;

    struct Job;

signals:
    // A download has ended (whatever its outcome) and its message was shown.
    void Finished();

private:
    void Complete(bool report);
    void Say(const std::string& text, bool failure);

    TForm1& form_;
    QPointer<QWidget> window_;
    QThread* worker_ = nullptr;
    QPointer<QProgressDialog> progress_;
    QTimer* ticker_ = nullptr;
    std::shared_ptr<Job> job_;
    bool stopping_ = false; // StopAndWait is waiting: the worker's end is handled there
};

} // namespace vantor
