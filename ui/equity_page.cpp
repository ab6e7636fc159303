#include "ui/equity_page.h"

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "journal/journal.h"
#include "practice/practice.h"

namespace vantor {

AxisScale NiceScale(double lo, double hi, int ticks, bool whole) {
    if (hi < lo) std::swap(lo, hi);
    const double first = lo, last = hi;
    if (hi - lo < 1e-9) { // one value: a band around it
        const double half = whole ? 1 : std::max(1.0, std::abs(lo) * 0.01);
        lo -= half;
        hi += half;
    }
    const double rough = (hi - lo) / std::max(1, ticks);
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power * 10;
    for (double m : {1.0, 2.0, 5.0})
        if (power * m >= rough) {
            step = power * m;
            break;
        }
    if (whole) step = std::max(1.0, std::round(step));
    AxisScale s{std::floor(lo / step) * step, std::ceil(hi / step) * step, step};
    if (!whole) { // the highest and lowest equity never sit on the frame
        if (first - s.min < step * 0.05) s.min -= step;
        if (s.max - last < step * 0.05) s.max += step;
    }
    return s;
}

EquityPage::EquityPage(TForm1& form, PracticeHost& host, QWidget* parent)
    : QWidget(parent), form_(form), host_(host) {
    auto* layout = new QVBoxLayout(this);
    chart_ = new QChart;
    chart_->legend()->hide();
    series = new QLineSeries;
    series->setName(QStringLiteral("资金曲线"));
    series->setPointsVisible(true);
    chart_->addSeries(series);
    xAxis = new QValueAxis;
    yAxis = new QValueAxis;
    xAxis->setLabelFormat("%d");
    xAxis->setTitleText(QStringLiteral("记录序号"));
    yAxis->setTitleText(QStringLiteral("动态权益"));
    for (QValueAxis* a : {xAxis, yAxis}) a->setTickType(QValueAxis::TicksDynamic);
    chart_->addAxis(xAxis, Qt::AlignBottom);
    chart_->addAxis(yAxis, Qt::AlignLeft);
    series->attachAxis(xAxis);
    series->attachAxis(yAxis);
    chart_->setTitle(QStringLiteral("资金曲线"));
    auto* view = new QChartView(chart_);
    view->setRenderHint(QPainter::Antialiasing);
    layout->addWidget(view);
}

bool EquityPage::Refresh() {
    TJournal journal(form_.ProgramDir());
    std::vector<std::pair<double, double>> points;
    shownWrites_ = form_.JournalWrites();
    if (!journal.EquityPoints(form_.AccountName(), points)) {
        host_.Message(journal.sError);
        return false;
    }
    QList<QPointF> list;
    for (const auto& [x, y] : points) list.append(QPointF(x, y));
    series->replace(list);
    if (list.isEmpty()) return true;
    auto [y0, y1] = std::minmax_element(
        list.begin(), list.end(), [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
    const AxisScale x = NiceScale(list.front().x(), list.back().x(), 10, true);
    const AxisScale y = NiceScale(y0->y(), y1->y(), 8, false);
    xAxis->setRange(x.min, x.max);
    xAxis->setTickAnchor(x.min);
    xAxis->setTickInterval(x.step);
    yAxis->setRange(y.min, y.max);
    yAxis->setTickAnchor(y.min);
    yAxis->setTickInterval(y.step);
    yAxis->setLabelFormat(y.step >= 1 ? "%.0f" : "%.2f");
    return true;
}

void EquityPage::Follow() {
    if (isVisible() && form_.JournalWrites() != shownWrites_) Refresh();
}

} // namespace vantor
