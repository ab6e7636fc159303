#pragma once
// The multi-period side window's logic: nine charts of the same instrument in a 3 x 3 grid,
// each showing another period, and which of them a layout of 4, 6 or 9 shows.

#include <QRect>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "chart/tgp.h"

namespace vantor {

// The period of chart k (0..8, row by row) for a one-minute or a daily base period;
// `created` is kept by the ninth chart of the daily base.
TWeekStyle MultiPeriodOf(int k, bool minuteBase, TWeekStyle created = wsDay);

// Where chart (column c, row r) goes in a client area of w x h with a layout count of
// 4, 6 or 9 (any other count is taken as 4).
QRect MultiPeriodCell(int layoutCount, int c, int r, int w, int h);

class TfrmDzq {
public:
    // Nine charts with the main chart's number of windows; windows 0..2 load the formula
    // files "0.zb" .. "2.zb" of `programDir` when it is given and they exist.
    explicit TfrmDzq(TGP::ProgramFactory factory = {}, int techWindows = 3,
                     const std::string& programDir = {});

    std::array<std::unique_ptr<TGP>, 9> charts;
    int layoutCount = 4;

    // Gives every chart its period for the base period.
    void AssignPeriods(bool minuteBase);
    // Sizes the charts for a client area of w x h.
    void RePosition(int w, int h);
    // Hands every chart the bars of its own period, column by column.
    void drawdzq(const Tstock& store, bool openOnly);

    // The captions of the popup menu of the chart that has the focus ("-" a separator).
    static std::vector<std::string> MenuCaptions();
    // A menu command on chart k: "四图", "六图", "九图" change the layout (re-laid out in
    // a client area of w x h); a period caption gives chart k that period and refills all
    // nine charts from `store`. False for any other caption: it belongs to the chart's own
    // command menu.
    bool MenuCommand(int k, const std::string& caption, const Tstock& store, bool openOnly, int w,
                     int h);
};

} // namespace vantor
