#pragma once
// The user-drawn objects of a chart's bar-view windows as text, one object a line, so they
// can be kept with an instrument between runs. Position lines and trade marks are the
// practice's and are never written.

#include <array>
#include <string>
#include <vector>

#include "chart/layout.h"
#include "chart/xx_line.h"

namespace vantor {

using WindowObjects = std::array<std::vector<XXLine>, kMaxWindows>;

// Whether an object is one the trainee draws (not a position line or a trade mark).
bool IsUserObject(const XXLine& o);

// The text of the user-drawn objects of windows 0..9.
std::string WriteObjects(const WindowObjects& windows);

// The objects of a text written by WriteObjects. False for any fault (an unknown header,
// a short line, a number that does not parse, a kind or window that does not exist); `out`
// is then left as it was.
bool ReadObjects(const std::string& text, WindowObjects& out);

} // namespace vantor
