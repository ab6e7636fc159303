// The table of output kinds.

#include "chart/output_kinds.h"

#include "chart/output_painters.h"

namespace vantor {

namespace {

constexpr OutputKind kKinds[] = {
    {"syline", {1}, true, PaintSyline},   {"btx", {1}, true, PaintBtx},
    {"twr", {1}, true, PaintTwr},         {"drawkline", {1, 2, 3, 4}, false, PaintKLines},
    {"drawtext", {2}, false, nullptr},    {"drawtext_fix", {}, false, nullptr},
    {"drawnumber", {2}, false, nullptr},  {"drawnumber_fix", {}, false, nullptr},
    {"drawicon", {2}, false, nullptr},    {"drawbmp", {2}, false, nullptr},
    {"drawgbk", {}, false, nullptr},      {"drawrectrel", {}, false, nullptr},
    {"drawband", {1, 3}, false, nullptr}, {"stickline", {2, 3}, false, nullptr},
    {"stickbar", {1, 2}, true, nullptr},  {"partline", {}, true, nullptr},
    {"ployline", {2}, true, nullptr},
};

constexpr OutputKind kUnknown{};

} // namespace

const OutputKind& FindOutputKind(std::string_view kind) {
    for (const auto& k : kKinds)
        if (k.name == kind) return k;
    return kUnknown;
}

} // namespace vantor
