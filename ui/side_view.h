#pragma once
// The multi-period side view (多周期同列) over the chart area: the nine charts of the
// controller's side view laid out 4, 6 or 9 at a time, each painted from its chart core, with
// the popup menu of layouts and periods on a right click.

#include <QWidget>

namespace vantor {

class TForm1;

class SideViewWidget : public QWidget {
    Q_OBJECT
public:
    SideViewWidget(TForm1& form, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void contextMenuEvent(QContextMenuEvent*) override;

private:
    // The chart under (x, y), -1 for none.
    int ChartAt(int x, int y) const;
    TForm1& form_;
};

} // namespace vantor
