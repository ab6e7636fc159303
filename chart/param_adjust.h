#pragma once
// The rows of the parameter-adjustment window ("指标参数调整") and what a change does: the
// parameter's INPUT line of the formula text is rewritten with the new value and the text
// is set as the window's program at once. Values are kept inside their ranges.

#include <string>
#include <vector>

#include "formula/stock_info.h"

namespace vantor {

class TGP;
struct ChartWindow;

// The text with the first line that starts with `label` + "=" replaced by
// label + "=INPUT(min,max,def,val)" (upper case); unchanged when no line starts so.
std::string RewriteInputLine(const std::string& text, const std::string& label, const Param& p);

class ParamAdjust {
public:
    struct Row {
        std::string label; // the name in upper case followed by ":"
        Param param;       // val1: the value in use
    };
    // At most 51 rows, from the window's declared parameters.
    ParamAdjust(TGP& chart, ChartWindow& window);

    const std::vector<Row>& Rows() const { return rows_; }
    // The formula text with every change made so far.
    const std::string& Text() const { return text_; }
    // The value clamped to the row's range becomes the row's value, is written into the
    // text, and the text is run in the window; returns the value used.
    int SetValue(size_t row, int value);
    // A typed value: a number is set as SetValue does; anything else leaves the row's value.
    int SetTyped(size_t row, const std::string& typed);
    // Every row back to its default.
    void RestoreDefaults();

private:
    TGP& chart_;
    ChartWindow& window_;
    std::vector<Row> rows_;
    std::string text_;
};

} // namespace vantor
