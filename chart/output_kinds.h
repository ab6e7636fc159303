#pragma once
// The kinds of output record a window paints, in one table: for each kind the arguments
// whose values set the window's value range, whether the title line shows its readout,
// and the painter that draws it. A new kind is added by one entry.

#include <array>
#include <string_view>

#include "chart/color_words.h"

namespace vantor {

struct PaintContext;

struct OutputKind {
    std::string_view name;
    // 1-based arguments whose series or constants widen the value range (0: unused slot).
    std::array<int, 4> valueArgs{};
    // The readout of argument 1 follows the drawing, unless the painter ended the record.
    bool readout = true;
    // The drawing stays inside the plot area (the drawing calls, whose coordinates come
    // from the formula).
    bool clip = false;
    // Draws the record; false when it ended early (a missing series, an error, a constant
    // plain output), which leaves out the readout. Null for a kind that draws nothing.
    bool (*paint)(PaintContext& p, const OutputRecord& r) = nullptr;
};

// The entry of `kind`; a kind the table does not know gets an entry that draws nothing,
// takes no values and keeps its readout.
const OutputKind& FindOutputKind(std::string_view kind);

} // namespace vantor
