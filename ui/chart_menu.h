#pragma once
// The chart's command menu on screen: a QMenu built from the chart's command table, drawn
// with a grey strip at the left, white items, a blue-framed selection and red three-stroke
// check marks in a sunken box; choosing an item runs it on the chart.

#include <QMenu>
#include <functional>

namespace vantor {

class TGP;

// A menu of the chart's commands with the check marks of the moment; `onRun` is called
// after a command ran (the owner repaints).
QMenu* BuildChartMenu(TGP& chart, QWidget* parent, std::function<void()> onRun = {});

} // namespace vantor
