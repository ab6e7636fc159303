// The table of output kinds.

#include "chart/output_kinds.h"

#include "chart/output_painters.h"

namespace vantor {

namespace {

// clang-format off
constexpr OutputKind kKinds[] = {
    {"syline", {1}, true, false, PaintSyline},
    {"btx", {1}, true, false, PaintBtx},
    {"twr", {1}, true, false, PaintTwr},
    {"drawkline", {1, 2, 3, 4}, false, false, PaintKLines},
    {"drawtext", {2}, false, true, PaintDrawText},
    {"drawtext_fix", {}, false, true, PaintDrawTextFix},
    {"drawnumber", {2}, false, true, PaintDrawNumber},
    {"drawnumber_fix", {}, false, true, PaintDrawNumberFix},
    {"drawicon", {2}, false, true, PaintDrawIcon},
    {"drawbmp", {2}, false, true, PaintDrawBmp},
    {"drawgbk", {}, false, true, PaintDrawGbk},
    {"drawrectrel", {}, false, true, PaintDrawRectRel},
    {"drawband", {1, 3}, false, true, PaintDrawBand},
    {"stickline", {2, 3}, false, true, PaintStickLine},
    {"stickbar", {1, 2}, true, true, PaintStickBar},
    {"partline", {}, false, true, PaintPartLine},
    {"ployline", {2}, false, true, PaintPloyLine},
};

// clang-format on

constexpr OutputKind kUnknown{};

} // namespace

const OutputKind& FindOutputKind(std::string_view kind) {
    for (const auto& k : kKinds)
        if (k.name == kind) return k;
    return kUnknown;
}

} // namespace vantor
