#pragma once
// The drawing tool panel: two tool bars at the chart's left with a button per drawing tool
// (images drawn by our own code from the tools' geometry), the "mouse" button that ends a
// tool, clear, hide and delete-last. Shown while the 划线工具 setting is on.

#include <QImage>
#include <QObject>

class QAction;
class QMainWindow;
class QToolBar;

namespace vantor {

class ChartWidget;
class TForm1;

class DrawToolsPanel : public QObject {
    Q_OBJECT
public:
    DrawToolsPanel(TForm1& form, ChartWidget& chart, QMainWindow& window);
    // Shows or hides the bars as the setting says.
    void Sync();
    QToolBar* Bar(int i) const { return bars_[i]; }
    // The button of a tool kind (0 the mouse, 25 clear, 26 hide); null for none.
    QAction* Tool(int kind) const;
    QAction* DeleteLast() const { return delLast_; }

private:
    QAction* AddTool(QToolBar* bar, int kind, const QString& hint);
    bool AskText(struct XXLine& tpl);

    TForm1& form_;
    ChartWidget& chart_;
    QToolBar* bars_[2] = {};
    QAction* delLast_ = nullptr;
};

// The image of a tool button (24 x 24): what the tool draws, drawn by its own geometry.
QImage ToolImage(int kind);

} // namespace vantor
