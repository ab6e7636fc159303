#pragma once
// The chart on screen: shows the chart core's off-screen image, rendered at the screen's
// device pixel ratio, keeps the core's size equal to its own and forwards every mouse, wheel,
// key and context-menu event to an operation of the core. Keys the core does not use go to
// `onKey` (the main window's chart keys: Tab, Space, F5).

#include <QWidget>
#include <functional>

namespace vantor {

class TGP;
class THintWin;

class ChartWidget : public QWidget {
    Q_OBJECT
public:
    explicit ChartWidget(TGP& chart, QWidget* parent = nullptr);
    TGP& Chart() { return chart_; }
    // The chart goes before the widget (the window is closing): no event reaches it after.
    void Release() { released_ = true; }
    // The chart's cursor-information window.
    THintWin* Hint() const { return hint_; }
    // A key the core left alone; returns true when it was used.
    std::function<bool(int key)> onKey;
    // After every mouse press (the main window enables the delete-last drawing button).
    std::function<void()> onPressed;
    // The pointer grabbed while a drawing tool places points, released when it ends; the
    // drawing cursor while a tool is chosen. Called after every event that may change it.
    void FollowTool();
    // After the right button's press has chosen the window: shows a menu at `global`.
    std::function<void(const QPoint& global)> onContextMenu;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void wheelEvent(QWheelEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void contextMenuEvent(QContextMenuEvent*) override;
    void focusOutEvent(QFocusEvent*) override;
    bool focusNextPrevChild(bool) override { return false; } // Tab belongs to the chart

private:
    TGP& chart_;
    THintWin* hint_ = nullptr;
    bool released_ = false;
};

} // namespace vantor
