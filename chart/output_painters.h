#pragma once
// The painters of the output kinds, one per kind, as the kind table calls them. Each
// returns false when its record ended early, which leaves out the readout.

#include "chart/color_words.h"

namespace vantor {

struct PaintContext;

// Plain outputs, the special bar styles and the K-lines (output_renderer.cpp).
bool PaintSyline(PaintContext& p, const OutputRecord& r);
bool PaintBtx(PaintContext& p, const OutputRecord& r);
bool PaintTwr(PaintContext& p, const OutputRecord& r);
bool PaintKLines(PaintContext& p, const OutputRecord& r);

} // namespace vantor
