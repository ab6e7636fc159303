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

// The drawing calls (drawing_outputs.cpp).
bool PaintDrawText(PaintContext& p, const OutputRecord& r);
bool PaintDrawTextFix(PaintContext& p, const OutputRecord& r);
bool PaintDrawNumber(PaintContext& p, const OutputRecord& r);
bool PaintDrawNumberFix(PaintContext& p, const OutputRecord& r);
bool PaintDrawIcon(PaintContext& p, const OutputRecord& r);
bool PaintDrawBmp(PaintContext& p, const OutputRecord& r);
bool PaintDrawGbk(PaintContext& p, const OutputRecord& r);
bool PaintDrawRectRel(PaintContext& p, const OutputRecord& r);
bool PaintDrawBand(PaintContext& p, const OutputRecord& r);
bool PaintStickLine(PaintContext& p, const OutputRecord& r);
bool PaintStickBar(PaintContext& p, const OutputRecord& r);
bool PaintPartLine(PaintContext& p, const OutputRecord& r);
bool PaintPloyLine(PaintContext& p, const OutputRecord& r);

} // namespace vantor
