#pragma once
// Widget-test helpers: a watcher that answers every message box that opens, and the menu
// action of a caption.

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace vantor::test {

// Answers every message box that opens: records its text and presses `answer` (or OK).
// `decide`, when set, chooses the button for a text instead.
class BoxWatcher {
public:
    // `everyMs`: how often it looks for an open box.
    explicit BoxWatcher(QMessageBox::StandardButton answer = QMessageBox::Yes, int everyMs = 10)
        : answer_(answer) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            const std::string text = box->text().toStdString();
            texts.push_back(text);
            QAbstractButton* b = box->button(decide ? decide(text) : answer_);
            if (!b) b = box->button(QMessageBox::Ok);
            if (b)
                b->click();
            else
                box->reject();
        });
        timer_.start(everyMs);
    }
    std::vector<std::string> texts;
    std::function<QMessageBox::StandardButton(const std::string&)> decide;

    bool Saw(const std::string& text) const {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
    // The last text that starts with `prefix` ("" when none).
    std::string Starting(const std::string& prefix) const {
        for (auto it = texts.rbegin(); it != texts.rend(); ++it)
            if (it->rfind(prefix, 0) == 0) return *it;
        return {};
    }

private:
    QMessageBox::StandardButton answer_;
    QTimer timer_;
};

// Saves a picture of `w` as NAME.png into $VANTOR_DOCS_DIR when that is set (the README's
// pictures are made this way: VANTOR_DOCS_DIR=docs build/tests/ui/ui_tests).
inline void PictureForDocs(QWidget* w, const char* name) {
    if (const char* dir = std::getenv("VANTOR_DOCS_DIR"))
        w->grab().save(QString::fromUtf8(dir) + "/" + QString::fromUtf8(name) + ".png");
}

inline QAction* MenuAction(QMenu* menu, const char* caption) {
    for (QAction* a : menu->actions())
        if (a->text() == QString::fromUtf8(caption)) return a;
    return nullptr;
}

} // namespace vantor::test
