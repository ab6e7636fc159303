#pragma once
// The chart's icon set: "IC1" ... "IC41" for the formula's DRAWICON and "IC100", the
// ex-rights marker. Each is a 16 x 16 picture on a transparent ground, drawn by our own
// code the first time it is asked for and kept for the rest of the run.

#include <QImage>
#include <string>
#include <vector>

namespace vantor {

inline constexpr int kIconSize = 16;

// The icon of that name (upper-case "IC" and the number); a null image for any other name.
const QImage& Icon(const std::string& name);

// The names of the whole set in order, IC1 ... IC41 and IC100.
std::vector<std::string> IconNames();

} // namespace vantor
