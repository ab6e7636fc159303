#include "ui/qt_host.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>
#include <cstdio>

namespace vantor {

namespace {

class QtTimer : public PracticeTimer {
public:
    explicit QtTimer(std::function<void()> tick) {
        QObject::connect(&timer_, &QTimer::timeout, [tick = std::move(tick)] { tick(); });
    }
    void Start(int ms) override { timer_.start(ms); }
    void Stop() override { timer_.stop(); }
    bool Active() const override { return timer_.isActive(); }
    int Interval() const override { return timer_.interval(); }

private:
    QTimer timer_;
};

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

void QtHost::Message(const std::string& text) {
    if (text.empty()) return;
    if (quiet_) {
        std::fprintf(stderr, "%s\n", text.c_str());
        return;
    }
    QMessageBox::information(parent_, QStringLiteral("提示"), Q(text));
}

bool QtHost::Confirm(const std::string& text, const std::string& title) {
    if (quiet_) return true;
    return QMessageBox::warning(parent_, Q(title.empty() ? "提示" : title), Q(text),
                                QMessageBox::Ok | QMessageBox::Cancel,
                                QMessageBox::Cancel) == QMessageBox::Ok;
}

bool QtHost::Ask(const std::string& text) {
    if (quiet_) return true;
    return QMessageBox::question(parent_, QStringLiteral("提示"), Q(text),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void QtHost::OpenPath(const std::string& path) {
    if (quiet_) return;
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(Q(path)))) Message("无法打开：" + path);
}

std::unique_ptr<PracticeTimer> QtHost::CreateTimer(std::function<void()> tick) {
    return std::make_unique<QtTimer>(std::move(tick));
}

} // namespace vantor
