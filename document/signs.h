#pragma once
// Graphic signs: free drawings laid over a grid (straight lines, rectangles
// and lines of text) in grid pixels at zoom 1, 42 to a square, independent of
// the cells. A grid owns the list of its signs (TSegniGrafici) and saves it
// inside its grid section; a drawing control keeps the signs the user has
// selected (TListaSegniGrafici).
//
// Sign block of a grid section (little-endian):
//   int32 206, then per sign: int32 kind, int32 y1, y2, x1, x2, text (chunked,
//   at most 500 characters), font name (chunked, at most 99), int32 font size,
//   int32 font colour, byte bold, byte italic, int32 pen width, int32 pen
//   colour, byte pen style; then int32 206 in place of a kind.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/graphics.h"

class TGridData;
class TProgetto;

// Kinds of sign.
enum : int32_t { SignLine = 0, SignRectangle = 1, SignText = 2 };
// The tag that opens and ends the sign block.
constexpr int32_t SignBlockTag = 206;
constexpr int SignTextMax = 500;
constexpr int SignFontNameSize = 100;  // field size, terminator included

class TSegnoGrafico {
public:
    explicit TSegnoGrafico(TGridData* grid);
    ~TSegnoGrafico();
    TSegnoGrafico(const TSegnoGrafico&) = delete;
    TSegnoGrafico& operator=(const TSegnoGrafico&) = delete;

    // A new sign of the same grid with everything copied.
    std::unique_ptr<TSegnoGrafico> Clone() const;
    // Copies grid, kind, points, text, font (colour, name, size, bold,
    // italic) and pen (colour, width, style) into the target.
    void Assign(TSegnoGrafico* target) const;
    // Fields after the kind (the block reader has read the kind). Raises
    // EReadError when the stream ends inside them.
    void Load(TStream& stream, int32_t version);
    // The kind and the fields.
    void Save(TStream& stream, int32_t version) const;
    // True when the sign passes through the rectangle of squares (a line
    // expects X1 <= X2; a rectangle's and a text's box are taken ordered).
    bool HitTest(int32_t top, int32_t left, int32_t bottom, int32_t right) const;
    // Repaints, in the grid's window, every square whose index holds the sign.
    void InvalidateSquares() const;
    // Paints the sign with its points at origin + point x scale, a text's
    // font size times fontScale; a sign selected in the grid's window gets
    // its handles, except on the printer page.
    void Paint(TCanvas* canvas, double originX, double originY, double scale, double fontScale) const;
    // Paints the sign at the window's zoom, for a canvas whose origin is the
    // top left corner of square (column, row) at (originX, originY).
    void PaintScaled(TCanvas* canvas, int32_t column, int32_t row, double originX, double originY) const;
    // Drag feedback on the window's canvas: paints inverted, so that a second
    // call restores the screen; a text shows as the outline of its box.
    void DrawOutline(TCanvas* canvas) const;

    TGridData* Grid = nullptr;  // not owned
    int32_t Kind = SignLine;
    int32_t X1 = 0, Y1 = 0;  // line start, rectangle corner, top left of a text
    int32_t X2 = 0, Y2 = 0;  // line end, opposite corner, bottom right of a text's box
    AnsiString Text;
    std::unique_ptr<TFont> Font;
    std::unique_ptr<TPen> Pen;
    TSegnoGrafico* Next = nullptr;  // next sign of the grid's list (which owns the signs)
};

// The signs of one grid, in a list that owns them.
class TSegniGrafici {
public:
    explicit TSegniGrafici(TGridData* grid);
    ~TSegniGrafici();
    TSegniGrafici(const TSegniGrafici&) = delete;
    TSegniGrafici& operator=(const TSegniGrafici&) = delete;

    // Deletes every sign.
    void Clear();
    // Takes the sign at the tail of the list and enters it in the grid's
    // square index, repainting those squares when asked; answers it.
    TSegnoGrafico* Add(std::unique_ptr<TSegnoGrafico> sign, bool repaint);
    // Takes the sign out of the square index and the list and hands it to
    // the caller; none for a sign not in the list.
    std::unique_ptr<TSegnoGrafico> Remove(TSegnoGrafico* sign, bool repaint);
    int Count() const;
    bool Contains(const TSegnoGrafico* sign) const;

    // The sign block. Load returns false, with the list empty, when the
    // block does not read (the stream ends inside it, or a kind is not one
    // of the three).
    bool Load(TStream& stream, int32_t version);
    void Save(TStream& stream, int32_t version) const;

    TGridData* Grid = nullptr;
    TProgetto* Project = nullptr;
    TSegnoGrafico* head = nullptr;

private:
    // Takes the sign out of the list's order and store; none for a sign not
    // in the list.
    std::unique_ptr<TSegnoGrafico> Unlink(TSegnoGrafico* sign);

    TSegnoGrafico* tail_ = nullptr;  // the last sign, or none (Add keeps it)
    // The signs, in no particular order: the list's order is the Next links.
    std::vector<std::unique_ptr<TSegnoGrafico>> owned_;
};

// A drawing control's selection of signs; it does not own them.
class TListaSegniGrafici {
public:
    void Clear() { signs_.clear(); }
    // At the head: the last one added comes first.
    void Add(TSegnoGrafico* sign);
    void Remove(TSegnoGrafico* sign);
    bool Contains(const TSegnoGrafico* sign) const;
    int Count() const { return static_cast<int>(signs_.size()); }
    bool Empty() const { return signs_.empty(); }
    // The first sign, none when the selection is empty.
    TSegnoGrafico* First() const { return signs_.empty() ? nullptr : signs_.front(); }
    // The signs from the head on.
    std::vector<TSegnoGrafico*>::const_iterator begin() const { return signs_.begin(); }
    std::vector<TSegnoGrafico*>::const_iterator end() const { return signs_.end(); }

private:
    std::vector<TSegnoGrafico*> signs_;
};
