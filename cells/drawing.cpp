// Drawing of cells: the symbol primitives that place symbol units on the
// canvas for the cell's zoom, turn and mirror, the base painting operations,
// and the labels written beside a symbol.
#include "cells/drawing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

#include "cells/cell.h"
#include "core/globals.h"
#include "core/levels.h"
#include "core/options.h"
#include "cells/cell_grid.h"
#include "cells/cell_project.h"

TSymbolState SymbolState;

int32_t SymbolPixel(int32_t origin, float units, float scale) {
    // Half up on both sides of 0: a point just left of the window's edge is
    // left of it, not on it.
    return static_cast<int32_t>(
        std::floor(static_cast<double>(origin) + static_cast<double>(units) * static_cast<double>(scale) + 0.5));
}

namespace {
int32_t IntegerPart(float value) { return static_cast<int32_t>(value); }

// A symbol point turned into the frame as the canvas shows it, in units.
TPoint Turned(const TCella& cell, int32_t x, int32_t y, const TSymbolState& s) {
    cell.Transform().ApplyInBox(x, y, s.W, s.H);
    return TPoint(x, y);
}

TPoint Pixel(TPoint units, const TSymbolState& s) {
    return TPoint(SymbolPixel(s.OriginX, static_cast<float>(units.x), s.Scale),
                  SymbolPixel(s.OriginY, static_cast<float>(units.y), s.Scale));
}

// The end of a line that runs across the far edge of the frame, carried one
// unit on to the next square's first unit, and for clipped squares the end on
// the near edge one unit before it (TJoinedSymbolLines).
TPoint OverTheGap(TPoint end, TPoint other, const TSymbolState& s) {
    if (!s.JoinSquares) return end;
    if (end.y == other.y && end.x == s.W && other.x < end.x) ++end.x;
    if (end.x == other.x && end.y == s.H && other.y < end.y) ++end.y;
    if (s.ClippedSquares) {
        if (end.y == other.y && end.x == 0 && other.x > end.x) --end.x;
        if (end.x == other.x && end.y == 0 && other.y > end.y) --end.y;
    }
    return end;
}

// Points of a polyline turned into pixels: a few on the stack, more on the heap.
class TPixelPoints {
public:
    explicit TPixelPoints(size_t count) : count_(count) {
        if (count > local_.size()) heap_.resize(count);
    }
    TPoint* Data() { return heap_.empty() ? local_.data() : heap_.data(); }
    std::span<const TPoint> Span() { return {Data(), count_}; }

private:
    size_t count_;
    std::array<TPoint, 8> local_{};
    std::vector<TPoint> heap_;
};
}  // namespace

// ---- Half-scale signs ----

THalfScaleSign::THalfScaleSign(TBase base, int32_t dx, int32_t dy, const TSymbolState& symbol)
    : state_(symbol) {
    state_.Scale = symbol.Scale / 2.0f;
    state_.FontScale = symbol.FontScale / 2.0f;
    state_.PenWidth = std::max<int32_t>(1, IntegerPart(state_.Scale));
    state_.PenOffset = state_.PenWidth / 2;
    const int32_t back = base == FromFrame ? symbol.PenOffset : 0;
    state_.OriginX =
        symbol.OriginX - back + IntegerPart(static_cast<float>(dx) * symbol.Scale) + state_.PenWidth / 2;
    state_.OriginY =
        symbol.OriginY - back + IntegerPart(static_cast<float>(dy) * symbol.Scale) + state_.PenWidth / 2;
    state_.W = SymbolHalfFrameUnits;
    state_.H = SymbolHalfFrameUnits;
    if (state_.Canvas) {
        savedPenWidth_ = state_.Canvas->Pen->Width;
        state_.Canvas->Pen->Width = state_.PenWidth;
    }
}

THalfScaleSign::~THalfScaleSign() {
    if (state_.Canvas) state_.Canvas->Pen->Width = savedPenWidth_;
}

// ---- Setting up a symbol ----

void TCella::BeginSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    TSymbolState& s = SymbolState;
    s.Canvas = canvas;
    s.Scale = static_cast<float>(zoom) / static_cast<float>(SymbolSquareUnits);
    const int32_t ppi = canvas ? std::max(1, static_cast<int>(canvas->Font->PixelsPerInch)) : 96;
    s.FontScale = s.Scale * 72.0f / static_cast<float>(ppi);
    s.PenWidth = std::max<int32_t>(1, IntegerPart(s.Scale));
    s.PenOffset = IntegerPart(s.Scale) / 2;
    s.OriginX = x + s.PenOffset;
    s.OriginY = y + s.PenOffset;

    if (canvas) {
        canvas->Pen->Width = s.PenWidth;
        canvas->Pen->Style = psSolid;
        canvas->Pen->Color = clBlack;
        canvas->Brush->Style = bsClear;
        canvas->Font->Name = "Times New Roman";
        canvas->Font->Size = IntegerPart(8.0f * s.FontScale);
        canvas->Font->Color = clBlack;
    }

    const TCellRect r = GetGridRect();
    const int32_t columns = r.Right - r.Left + 1;
    const int32_t rows = r.Bottom - r.Top + 1;
    s.W = (columns - 1) * SymbolSquareUnits + SymbolFrameUnits;
    s.H = (rows - 1) * SymbolSquareUnits + SymbolFrameUnits;
    if (Orientation & 1) std::swap(s.W, s.H);

    // A cell over several squares draws its whole symbol from its first
    // square, whichever of its squares is being painted.
    s.OriginX -= IntegerPart(static_cast<float>((column - r.Left) * SymbolSquareUnits) * s.Scale);
    s.OriginY -= IntegerPart(static_cast<float>((row - r.Top) * SymbolSquareUnits) * s.Scale);
}

// ---- Transform ----

TPoint TCella::SymPoint(int32_t x, int32_t y, const TSymbolState& s) const {
    return Pixel(Turned(*this, x, y, s), s);
}

TRect TCella::SymRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const TSymbolState& s) const {
    const TPoint a = SymPoint(x1, y1, s);
    const TPoint b = SymPoint(x2, y2, s);
    // Ordered, and widened so that the outline lies wholly inside the squares
    // (the right and bottom edges of a figure are not drawn).
    const int32_t grow = (s.PenWidth + 1) / 2;
    return TRect(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + grow,
                 std::max(a.y, b.y) + grow);
}

// ---- Primitives ----

void TCella::SymMoveTo(int32_t x, int32_t y, const TSymbolState& s) const {
    if (!s.Canvas) return;
    const TPoint u = Turned(*this, x, y, s);
    s.PenUnitX = u.x;
    s.PenUnitY = u.y;
    const TPoint p = Pixel(u, s);
    s.Canvas->MoveTo(p.x, p.y);
}

void TCella::SymLineTo(int32_t x, int32_t y, const TSymbolState& s) const {
    if (!s.Canvas) return;
    const TPoint from(s.PenUnitX, s.PenUnitY), to = Turned(*this, x, y, s);
    s.PenUnitX = to.x;
    s.PenUnitY = to.y;
    if (s.JoinSquares) {
        // Both ends may move: the line starts again from its own start.
        const TPoint a = Pixel(OverTheGap(from, to, s), s);
        s.Canvas->MoveTo(a.x, a.y);
    }
    const TPoint p = Pixel(OverTheGap(to, from, s), s);
    s.Canvas->LineTo(p.x, p.y);
}

void TCella::SymRectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const TSymbolState& s) const {
    if (!s.Canvas) return;
    s.Canvas->Rectangle(SymRect(x1, y1, x2, y2, s));
}

void TCella::SymFilledRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) const {
    TCanvas* canvas = SymbolState.Canvas;
    if (!canvas) return;
    const TColor colour = canvas->Brush->Color;
    canvas->Brush->Color = clBlack;
    canvas->Brush->Style = bsSolid;
    SymRectangle(x1, y1, x2, y2);
    canvas->Brush->Color = colour;
    canvas->Brush->Style = bsClear;
}

void TCella::SymEllipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const TSymbolState& s) const {
    if (!s.Canvas) return;
    s.Canvas->Ellipse(SymRect(x1, y1, x2, y2, s));
}

void TCella::SymArc(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3, int32_t x4,
                    int32_t y4, const TSymbolState& s) const {
    if (!s.Canvas) return;
    const TRect r = SymRect(x1, y1, x2, y2, s);
    TPoint start = SymPoint(x3, y3, s);
    TPoint end = SymPoint(x4, y4, s);
    // An arc runs counterclockwise from start to end; a mirror image runs the
    // other way, so the mirrored arc starts at the mirrored end.
    if (Mirrored) std::swap(start, end);
    s.Canvas->Arc(r.Left, r.Top, r.Right, r.Bottom, start.x, start.y, end.x, end.y);
}

void TCella::SymPolyline(std::span<const TPoint> points, const TSymbolState& s) const {
    if (!s.Canvas || points.empty()) return;
    // The caller's points stay as they are: one list may be shifted and reused.
    TPixelPoints pixels(points.size());
    TPoint* out = pixels.Data();
    for (size_t i = 0; i < points.size(); ++i) out[i] = Turned(*this, points[i].x, points[i].y, s);
    const size_t last = points.size() - 1;
    if (last > 0) {
        const TPoint first = OverTheGap(out[0], out[1], s);
        out[last] = OverTheGap(out[last], out[last - 1], s);
        out[0] = first;
    }
    for (size_t i = 0; i < points.size(); ++i) out[i] = Pixel(out[i], s);
    s.Canvas->Polyline(pixels.Span());
}

void TCella::SymPolyline(std::initializer_list<TPoint> points, const TSymbolState& s) const {
    SymPolyline(std::span<const TPoint>(points.begin(), points.size()), s);
}

void TCella::SymArrow(int32_t x, int32_t y, int32_t dx, int32_t dy) const {
    if (dx != 0)
        SymPolyline({{x, y - 2}, {x + dx, y - 2}, {x + dx, y + 2}, {x, y + 2}});
    else
        SymPolyline({{x - 2, y}, {x - 2, y + dy}, {x + 2, y + dy}, {x + 2, y}});
}

void TCella::SymFrame(int32_t x, int32_t y, const TSymbolState& s) const {
    SymRectangle(x, y, x + 20, y + 20, s);
    SymMoveTo(x + 20, y, s);
    SymLineTo(x, y + 20, s);
    SymMoveTo(x + 12, y + 13, s);
    SymLineTo(x + 16, y + 13, s);
    SymMoveTo(x + 12, y + 15, s);
    SymLineTo(x + 16, y + 15, s);
    SymPolyline({{x + 5, y + 6}, {x + 6, y + 4}, {x + 8, y + 8}, {x + 9, y + 6}}, s);
}

void TCella::SymMarker(int32_t x, int32_t y) const {
    SymMoveTo(x + 14, y + 6);
    SymLineTo(x + 6, y + 14);
    SymMoveTo(x + 11, y + 12);
    SymLineTo(x + 14, y + 12);
    SymMoveTo(x + 11, y + 14);
    SymLineTo(x + 14, y + 14);
    SymPolyline({{x + 6, y + 7}, {x + 7, y + 5}, {x + 9, y + 9}, {x + 10, y + 7}});
}

void TCella::DrawModuleSymbol(int32_t dx, int32_t dy, int32_t variant) const {
    const THalfScaleSign sign(THalfScaleSign::FromFrame, dx, dy);
    const TSymbolState& s = sign.State();
    // Three waves, each 5 units below the one before.
    std::array<TPoint, 4> wave = {TPoint(12, 16), TPoint(16, 11), TPoint(25, 22), TPoint(29, 16)};
    for (int i = 0; i < 3; ++i) {
        SymPolyline(wave, s);
        for (TPoint& p : wave) p.y += 5;
    }
    if (variant == 0) {
        SymMoveTo(18, 23, s);
        SymLineTo(22, 19, s);
    } else {
        SymMoveTo(18, 18, s);
        SymLineTo(22, 14, s);
        SymMoveTo(18, 28, s);
        SymLineTo(22, 24, s);
    }
}

// ---- Labels ----

namespace {
constexpr const char* LabelFontName = "Arial";
constexpr int LabelFontHeight = -8;

// Below the medium zoom (a unit a pixel) the label's font shrinks with the
// square: at the label's own size a code would be wider than its square.
int32_t LabelFontHeightFor(int32_t width) {
    if (width >= SymbolSquareUnits) return LabelFontHeight;
    return std::min(-5, (LabelFontHeight * width - SymbolSquareUnits / 2) / SymbolSquareUnits);
}

void SetLabelFont(TCanvas* canvas, TColor colour, int32_t width = SymbolSquareUnits) {
    canvas->Font->Name = LabelFontName;
    canvas->Font->Height = LabelFontHeightFor(width);
    canvas->Font->Color = colour;
}

// Where a label ends at the symbol's right edge: short codes a little further
// right. In a square smaller than that room the label ends a pixel inside the
// square's right edge and never starts left of its left edge (the square's
// clip would cut its first character).
int32_t LabelLeft(TCanvas* canvas, int32_t x, int32_t width, const AnsiString& text) {
    if (width >= SymbolSquareUnits) return x + width - (text.size() < 4 ? 17 : 21);
    return x + std::max(0, width - 1 - canvas->TextWidth(text));
}

// Label fonts made smaller to fit: down to the first height while a label
// may still move left, down to the second where the whole square is too
// narrow; a code still reads in either.
constexpr int LabelFontHeightNarrowed = -6;
constexpr int LabelFontHeightLeast = -4;

// The square's clip cuts whatever of a label runs past its edges, and a code
// cut short reads as another one ("C1214" as "C121"). A label that fits
// stays where LabelLeft puts it; one too wide for that place is first set
// a little smaller (moving left, it would cover the symbol's middle, where a
// cable enters the square), then moved left, down to a pixel inside the
// square's left edge, and, where the whole square is too narrow for it, set
// smaller still. textWidth measures the label in the canvas's current font;
// the font is left at the height chosen and the label's left edge returned.
template <typename Measure>
int32_t FitLabel(TCanvas* canvas, int32_t x, int32_t width, int32_t preferredLeft, Measure textWidth) {
    const int32_t right = x + width - 1;  // the label ends before the square's last pixel
    const int32_t room = width - 2;       // from a pixel inside the left edge to there
    auto narrower = [&](int32_t space, int least) {
        while (textWidth() > space && canvas->Font->Height < least)
            canvas->Font->Height = canvas->Font->Height + 1;
    };
    narrower(right - preferredLeft, LabelFontHeightNarrowed);
    narrower(room, LabelFontHeightLeast);
    return std::max(x + 1, std::min(preferredLeft, right - textWidth()));
}

AnsiString LevelText(float level) { return "-" + FormatFloat("#0", level); }

// The distance between the two lines of a label: its font's height and a pixel.
int32_t LabelLineHeight(TCanvas* canvas) { return std::abs(canvas->Font->Height.Get()) + 1; }
}  // namespace

// Where a code's number begins ("C1302": 1); 0 when it has no letters before
// a number or no number after them.
static size_t NumberStart(const AnsiString& text) {
    size_t i = 0;
    while (i < text.size() && !(text[i] >= '0' && text[i] <= '9')) ++i;
    return i < text.size() ? i : 0;
}

// Every grid draws its labels in their plain colours: red stays red.
void TCella::DrawLabel(TCanvas* canvas, int32_t x, int32_t y, int32_t width, const AnsiString& text,
                       TColor colour) const {
    if (!canvas) return;
    SetLabelFont(canvas, colour, width);
    const int32_t preferred = LabelLeft(canvas, x, width, text);
    const int32_t right = x + width - 1;
    // A code too wide for its place at the label's size (the cables of a
    // large installation, "C1302") keeps the size, on two lines: its letters
    // above its number, both starting where the wider of them fits. Set
    // smaller its digits would blur. Only a number too wide for the whole
    // square is set smaller, as any other label.
    if (const size_t split = NumberStart(text); split > 0 && canvas->TextWidth(text) > right - preferred) {
        const AnsiString letters = text.substr(0, split), number = text.substr(split);
        const int32_t wider = std::max(canvas->TextWidth(letters), canvas->TextWidth(number));
        if (wider <= right - (x + 1)) {
            const int32_t left = std::max(x + 1, std::min(preferred, right - wider));
            canvas->TextOut(left, y, letters);
            canvas->TextOut(left, y + LabelLineHeight(canvas), number);
            return;
        }
    }
    const int32_t left = FitLabel(canvas, x, width, preferred, [&] { return canvas->TextWidth(text); });
    canvas->TextOut(left, y, text);
}

void TCella::DrawTextAt(TCanvas* canvas, int32_t x, int32_t y, const AnsiString& text, TColor colour,
                        int32_t dx, int32_t dy) const {
    if (!canvas) return;
    SetLabelFont(canvas, colour);
    canvas->TextOut(x + dx, y + dy, text);
}

void TCella::DrawLevelLabel(TCanvas* canvas, int32_t x, int32_t y, int32_t width, const AnsiString& text,
                            float level, TColor colour) const {
    if (!canvas) return;
    const bool showValue = IsRealLevel(level) && Opzioni && Opzioni->showAttenuations;
    if (!showValue) {
        DrawLabel(canvas, x, y, width, text, colour);
        return;
    }
    const AnsiString value = LevelText(level);
    if (width >= LevelLabelWideZoom && Opzioni->doubleDataWithoutZoom) {
        // The code and the value beside it fit the square together.
        SetLabelFont(canvas, colour, width);
        const int32_t left = FitLabel(canvas, x, width, LabelLeft(canvas, x, width, text),
                                      [&] { return canvas->TextWidth(text) + 1 + canvas->TextWidth(value); });
        canvas->TextOut(left, y, text);
        const int32_t after = left + canvas->TextWidth(text) + 1;
        canvas->Font->Color = LevelLabelColour;
        canvas->TextOut(after, y, value);
        return;
    }
    // No room for both: the value stands in the label's place.
    DrawLabel(canvas, x, y, width, value, LevelLabelColour);
}

// ---- Base painting operations ----

int32_t TCella::DetailLevel() const {
    if (!Owner) return 1;
    return Owner->DetailLevel();
}

void TCella::Paint(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    DrawSymbol(canvas, column, row, x, y, zoom);
    if (!canvas || DetailLevel() <= 1) return;
    const TCellRect r = GetGridRect();
    if (column != r.Left || row != r.Top) return;
    canvas->Brush->Style = bsSolid;
    DrawLabel(canvas, x, y, zoom, GetShortCode(), Described ? CellCodeColour : CellUndescribedColour);
}

void TCella::PaintWithLossLabel(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                                int32_t zoom, float loss) {
    DrawSymbol(canvas, column, row, x, y, zoom);
    if (!canvas || DetailLevel() <= 1) return;
    const TCellRect r = GetGridRect();
    if (column != r.Right || row != r.Top) return;
    canvas->Brush->Style = bsSolid;
    if (Described)
        DrawLevelLabel(canvas, x, y, zoom, GetShortCode(), loss, CellCodeColour);
    else
        DrawLevelLabel(canvas, x, y, zoom, GetShortCode(), LevelNone, CellUndescribedColour);
}

bool TCella::LabelsLoss() const { return HasRole(RoleLabelsLoss); }

void TCella::DrawAttenuationValues(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                                   int32_t zoom, int32_t flags) {
    if (!canvas || DetailLevel() <= 1) return;
    const TCellRect r = GetGridRect();
    if (column != r.Right || row != r.Top) return;

    AnsiString text;
    const float loss = Attenuation ? Attenuation->Get3(0, 0, PrintLabelBandOf(flags)) : LevelNone;
    if ((flags & PrintLabelAttenuation) && LabelsLoss() && IsRealLevel(loss))
        text = LevelText(loss);
    else if ((flags & PrintLabelCode) && !Code.empty())
        text = TextBeforeCaret(Code);
    else if (flags & PrintLabelShortCode)
        text = GetShortCode();
    if (text.empty()) return;
    canvas->Font->Color = clBlack;
    canvas->TextOut(PrintLabelLeft(x, zoom), PrintLabelTop(y, zoom), text);
}

int32_t PrintLabelLeft(int32_t x, int32_t zoom) {
    // The symbols' pen: the integer part of a unit's pixels, at least one.
    const int32_t pen = std::max<int32_t>(1, zoom / SymbolSquareUnits);
    return x + zoom * 26 / 42 + pen;
}

void TCella::PaintIfAt(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    // Drawn once, from the anchor square: the symbol primitives reach the
    // cell's other squares from there.
    if (!canvas || column != Column || row != Row) return;
    DrawSymbol(canvas, column, row, x, y, zoom);
}
