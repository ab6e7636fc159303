// The table of output kinds.

#include "chart/output_kinds.h"

#include "chart/output_painters.h"

namespace vantor {

namespace {

// clang-format off
constexpr OutputKind kKinds[] = {
    {"syline", {1}, true, PaintSyline},
    {"btx", {1}, true, PaintBtx},
    {"twr", {1}, true, PaintTwr},
    {"drawkline", {1, 2, 3, 4}, false, PaintKLines},
    {"drawtext", {2}, false, PaintDrawText},
    {"drawtext_fix", {}, false, PaintDrawTextFix},
    {"drawnumber", {2}, false, PaintDrawNumber},
    {"drawnumber_fix", {}, false, PaintDrawNumberFix},
    {"drawicon", {2}, false, PaintDrawIcon},
    {"drawbmp", {2}, false, PaintDrawBmp},
    {"drawgbk", {}, false, PaintDrawGbk},
    {"drawrectrel", {}, false, PaintDrawRectRel},
    {"drawband", {1, 3}, false, PaintDrawBand},
    {"stickline", {2, 3}, false, PaintStickLine},
    {"stickbar", {1, 2}, true, PaintStickBar},
    {"partline", {}, false, PaintPartLine},
    {"ployline", {2}, false, PaintPloyLine},
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
