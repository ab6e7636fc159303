#pragma once
// Page 资金曲线: the account's equity points as one line "资金曲线" (no legend) in numeric
// order of their numbers, on axes with round tick steps. Read again whenever the page is
// shown and after every journal write while it is visible.

#include <QWidget>

class QChart;
class QChartView;
class QLineSeries;
class QValueAxis;

namespace vantor {

class PracticeHost;
class TForm1;

// An axis from `min` to `max` with ticks every `step`, all multiples of the step.
struct AxisScale {
    double min = 0, max = 1, step = 1;
};

// A scale that holds `lo` … `hi` with about `ticks` intervals of 1, 2 or 5 times a power of
// ten; `whole` keeps the step at 1 or more (point numbers), otherwise a value that would lie
// on the edge gets a step of room. An empty range is widened.
AxisScale NiceScale(double lo, double hi, int ticks, bool whole);

class EquityPage : public QWidget {
    Q_OBJECT
public:
    EquityPage(TForm1& form, PracticeHost& host, QWidget* parent = nullptr);
    // False (with a message) when the journal could not be read; the curve then stays.
    bool Refresh();
    // After a controller operation: reads again when visible and the journal was written.
    void Follow();

    QLineSeries* series = nullptr;
    QValueAxis* xAxis = nullptr;
    QValueAxis* yAxis = nullptr;

protected:
    void showEvent(QShowEvent*) override { Refresh(); }

private:
    TForm1& form_;
    PracticeHost& host_;
    QChart* chart_ = nullptr;
    long long shownWrites_ = -1;
};

} // namespace vantor
