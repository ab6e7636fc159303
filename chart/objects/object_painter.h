#pragma once
// Painting of the user-drawn objects and of the object being placed, from the shapes of
// line_geometry.h.

#include <QImage>
#include <array>

#include "chart/canvas.h"
#include "chart/objects/line_geometry.h"
#include "chart/objects/object_state.h"

namespace vantor {

struct PaintContext;

// The canvas pen of an object's stored pen style.
PenStyle PenOf(TPenStyle s);

// The geometry's view of the window being painted.
ObjectView ViewOf(const PaintContext& p);

// One shape in the object's colour, pen and width (dotted lines dotted); its text box shows
// `text`.
void PaintShape(Canvas& c, const ObjectShape& s, const XXLine& o);

// A user-drawn object at the window pixels pt: its hit geometry, its selection marks when
// selected, then its shape.
void PaintUserObject(PaintContext& p, XXLine& o, const std::array<QPoint, 3>& pt);

// The object being placed: the plot's outline dotted, a square around each slot placed and
// the shape from the slots.
void PaintPreview(PaintContext& p, const LinePreview& preview);

// The pictures of the two marks (16 x 16, white ground left out): an upward arrow for
// kMarkUp, a downward one for kMarkDown.
const QImage& MarkPicture(int kind);

} // namespace vantor
