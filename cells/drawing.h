#pragma once
// Cell symbols: the small integer coordinate system every symbol is written
// in, and the drawing state through which the symbol primitives of TCella
// (cells/drawing.cpp) turn, mirror and scale those coordinates into pixels.
//
// A grid square is 21 units wide and high; the symbol of a one-square cell
// lies in a 20 x 20 frame, (0, 0) top left, x to the right, y downwards. A
// symbol is drawn at zoom / 21 pixels per unit, zoom being the square size in
// pixels (15, 21 or 42 on screen, anything on a printed page).
#include <cstdint>

#include "platform/graphics.h"

// Units of one grid square, and the frame of a one-square symbol.
constexpr int32_t SymbolSquareUnits = 21;
constexpr int32_t SymbolFrameUnits = 20;
// The frame of the half-scale signs (module sign, some filters): W = H = 41.
constexpr int32_t SymbolHalfFrameUnits = 41;

// Label colours: a cell's short code is green once its data are entered and
// red until then; level values beside a label are purple.
constexpr TColor CellCodeColour = clGreen;
constexpr TColor CellUndescribedColour = clRed;
constexpr TColor LevelLabelColour = clPurple;

// Square size at and above which a level label has room beside the code.
constexpr int32_t LevelLabelWideZoom = 42;

// Label flags of the printed scheme (TCella::DrawAttenuationValues).
enum : int32_t {
    PrintLabelShortCode = 16,
    PrintLabelCode = 32,
    PrintLabelAttenuation = 64,
    PrintLabelCableLength = 128,
};

// The band slot of the loss a label shows, unless the printed scheme asks
// for another: the scheme's flag word then carries slot + 1 in these bits.
constexpr int32_t LabelLossBand = 5;
constexpr int32_t PrintLabelBandShift = 16;
constexpr int32_t PrintLabelBandBits = 0xFF << PrintLabelBandShift;
constexpr int32_t PrintLabelBandFlag(int32_t band) {
    return band < 0 || band >= 0xFF ? 0 : (band + 1) << PrintLabelBandShift;
}
// Where a label of the printed scheme begins across its square: a unit and
// a pen width right of where a port's stub, mark or arrow at the square's
// middle ends (two units either side of it), so that a label's first
// character ("-" of a loss) never touches them, whatever the square size.
int32_t PrintLabelLeft(int32_t x, int32_t zoom);
// Its top: above the square, so that a one-line label sits beside a port's
// stub at the top edge.
constexpr int32_t PrintLabelTop(int32_t y, int32_t zoom) { return y - zoom * 6 / 42; }

constexpr int32_t PrintLabelBandOf(int32_t flags) {
    const int32_t slot = (flags & PrintLabelBandBits) >> PrintLabelBandShift;
    return slot == 0 ? LabelLossBand : slot - 1;
}

// What the primitives need to place a symbol point: set by
// TCella::BeginSymbol for one symbol and read until the next one.
struct TSymbolState {
    TCanvas* Canvas = nullptr;
    float Scale = 1.0f;      // pixels per unit
    float FontScale = 1.0f;  // Scale x 72 / the canvas font's pixels per inch
    int32_t PenWidth = 1;    // integer part of Scale, at least 1
    int32_t PenOffset = 0;   // half the integer part of Scale
    int32_t OriginX = 0;     // pixel of unit (0, 0)
    int32_t OriginY = 0;
    int32_t W = SymbolFrameUnits;  // the symbol's size in units, in its own
    int32_t H = SymbolFrameUnits;  // (unturned) directions
    // Lines that run up to the far edge of the frame carry on over the unit
    // between two squares (set while a scheme is printed, TJoinedSymbolLines).
    bool JoinSquares = false;
    // Each square is painted under its own clip (the drawing window): a line
    // that reaches the near edge of the frame also runs one unit past it, so
    // that a thin line, which stops before its last point, covers the
    // square's first pixel too.
    bool ClippedSquares = false;
    // The pen's position in turned units, where the next line starts.
    mutable int32_t PenUnitX = 0;
    mutable int32_t PenUnitY = 0;
};

// The one drawing state of the program: painting happens on the user-interface
// thread only, one symbol after the other.
extern TSymbolState SymbolState;

// A symbol's lines stop one unit short of the next square, and on a grid on
// screen each square is painted inside its own rectangle. A printed sheet
// paints every symbol unclipped with a wide pen whose round caps would only
// touch across that unit: a run of cable squares would print as a chain of
// beads with a hairline between them. While an object of this class lives,
// a line that reaches the far edge of its symbol's frame (running across
// that edge) goes on to where the next square's lines start, so that the
// lines of neighbouring squares overlap.
//
// With clippedSquares (the squares of the drawing window, each painted under
// its own clip) the lines also run one unit past the near edge: whatever the
// zoom and the direction a line is drawn in, a run of cable squares shows no
// gap pixel at the squares' edges.
class TJoinedSymbolLines {
public:
    explicit TJoinedSymbolLines(bool clippedSquares = false)
        : saved_(SymbolState.JoinSquares), savedClipped_(SymbolState.ClippedSquares) {
        SymbolState.JoinSquares = true;
        SymbolState.ClippedSquares = clippedSquares;
    }
    ~TJoinedSymbolLines() {
        SymbolState.JoinSquares = saved_;
        SymbolState.ClippedSquares = savedClipped_;
    }
    TJoinedSymbolLines(const TJoinedSymbolLines&) = delete;
    TJoinedSymbolLines& operator=(const TJoinedSymbolLines&) = delete;

private:
    bool saved_;
    bool savedClipped_;
};

// Whole pixels of a unit position: origin + units x scale, rounded half up.
int32_t SymbolPixel(int32_t origin, float units, float scale);

// A sign drawn at half scale in a 41 x 41 frame (the module sign of head-end
// modules, the waves of some filters): its state has half the symbol's scale
// and a pen of the integer part of that scale (at least 1); its origin is
// moved by half the new pen width from the symbol's origin, taken with its
// pen offset (FromOrigin) or without it (FromFrame, the module sign), and by
// (dx, dy) units. The canvas pen takes the narrower width for as long as the
// object lives.
class THalfScaleSign {
public:
    enum TBase { FromOrigin, FromFrame };
    explicit THalfScaleSign(TBase base, int32_t dx = 0, int32_t dy = 0,
                            const TSymbolState& symbol = SymbolState);
    ~THalfScaleSign();
    THalfScaleSign(const THalfScaleSign&) = delete;
    THalfScaleSign& operator=(const THalfScaleSign&) = delete;

    const TSymbolState& State() const { return state_; }

private:
    TSymbolState state_;
    int32_t savedPenWidth_ = 1;
};
