#pragma once
// XXLine: one drawing object of a chart window — an analysis object drawn by the trainee
// or a position line put there by the practice. Anchors are bar indices (tick slots in
// the tick view) and values, so an object follows scrolling, zooming and rescaling.

#include <array>
#include <cstdint>
#include <string>

namespace vantor {

struct TRectI {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// Pen styles of an object, in their stored order.
enum TPenStyle : std::uint8_t {
    psSolid,
    psDash,
    psDot,
    psDashDot,
    psDashDotDot,
    psClear,
    psInsideFrame,
    psUserStyle,
    psAlternate
};

// The kind of a position line: the average price of an open position, or a closing trade.
constexpr int kPositionLine = 50;

struct XXLine {
    int FType = 0;            // kind
    std::string FName;        // the drawing tool's hint text; not drawn
    std::uint32_t FColor = 0; // pen and text colour ($00BBGGRR)
    int FPointCount = 1;      // anchors in use, 1 to 3
    TPenStyle FLineType = psSolid;
    int FLineWidth = 1;
    int FFontSize = 8;   // chosen size of a text object (text is drawn in the window's font)
    std::string FString; // text of a text object, label of a position line
    std::array<int, 3> oldfxx{};   // anchor bars when the running move started
    std::array<int, 3> FXX{};      // anchor bars
    std::array<float, 3> oldfyy{}; // anchor values when the running move started
    std::array<float, 3> FYY{};    // anchor values
    bool Bedit = false;            // selected
    bool Bvisual = false;
    std::array<TRectI, 8> Frec{}; // control squares (control pixels), set at every paint
    int nCtrPt = -1;              // grabbed square 0..7, 8 the body, -1 none
    TRectI FBody;                 // body for moving (control pixels), set at every paint
};

} // namespace vantor
