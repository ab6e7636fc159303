#pragma once
// Answers every message box that opens while a widget test runs.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <string>
#include <vector>

namespace vantor::test {

// Answers every message box that opens: records its text and presses `answer` (or OK).
class BoxWatcher {
public:
    explicit BoxWatcher(QMessageBox::StandardButton answer = QMessageBox::Yes) : answer_(answer) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            texts.push_back(box->text().toStdString());
            QAbstractButton* b = box->button(answer_);
            if (!b) b = box->button(QMessageBox::Ok);
            if (b)
                b->click();
            else
                box->reject();
        });
        timer_.start(10);
    }
    std::vector<std::string> texts;

private:
    QMessageBox::StandardButton answer_;
    QTimer timer_;
};

} // namespace vantor::test
