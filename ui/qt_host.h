#pragma once
// The desktop's side of PracticeHost: message boxes with the program's texts, Qt timers and
// the desktop's default applications. In quiet mode (the screenshot run without a display)
// messages go to standard error and every question is answered yes.

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "practice/practice_host.h"

namespace vantor {

class QtHost : public PracticeHost {
public:
    explicit QtHost(bool quiet = false) : quiet_(quiet) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    // Called after the controller's state changed.
    std::function<void()> onChanged;

    void Message(const std::string& text) override;
    bool Confirm(const std::string& text, const std::string& title) override;
    bool Ask(const std::string& text) override;
    void OpenPath(const std::string& path) override;
    std::unique_ptr<PracticeTimer> CreateTimer(std::function<void()> tick) override;
    void Changed() override {
        if (onChanged) onChanged();
    }

private:
    bool quiet_;
    QPointer<QWidget> parent_;
};

} // namespace vantor
