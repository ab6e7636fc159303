#pragma once
// THintWin: the chart's floating cursor-information window. A small frameless tool window
// that stays on top without taking the focus, grey ($878787) behind a read-only text that
// fills it; the chart places, shows, hides and fills it through the operations it asks of
// its hint window (TGP::OnHintShow ...), wired by Attach. Its close box only hides it and
// turns the chart's cursor off.

#include <QWidget>

class QPlainTextEdit;
class QToolButton;

namespace vantor {

class TGP;

class THintWin : public QWidget {
    Q_OBJECT
public:
    explicit THintWin(QWidget* parent = nullptr);
    // Makes this the hint window of `chart`, shown by `chartWidget` (the widget its
    // coordinates are relative to).
    void Attach(TGP& chart, QWidget* chartWidget);
    // Shows `text` ("\r\n" ends each line); `title` is not shown.
    void SetText(const std::string& title, const std::string& text);
    QString Text() const;
    bool BZ = false;   // the window counts as shown
    bool First = true; // not yet placed
    int hh = 0;        // text height of "国" in the window's font

private:
    QPlainTextEdit* Memo1 = nullptr;
    QToolButton* close_ = nullptr;
};

} // namespace vantor
