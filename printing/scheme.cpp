// The scheme print: the network grid, the head-end grid, both on one sheet
// or the selected rectangle, scaled to fit one page, with the graphic
// signs, the cells' symbols and their labels.
#include <algorithm>

#include "cells/cables.h"
#include "cells/cell.h"
#include "cells/drawing.h"
#include "core/globals.h"
#include "core/options.h"
#include "document/grid.h"
#include "document/project.h"
#include "document/signs.h"
#include "platform/engines.h"
#include "printing/documents.h"

namespace {

// Rows and columns of a used rectangle; none when it holds no column.
void Extent(const TCellRect& r, int32_t& rows, int32_t& columns) {
    columns = r.Right - r.Left + 1;
    rows = columns < 1 ? 0 : r.Bottom - r.Top + 1;
    if (columns < 1) columns = 0;
}

// The square side scaled into an inch: cm x 0.4.
constexpr double InchPerCmOfSquare = 0.4;

// A label too wide for the room beside its symbol is set smaller, down to
// this share of the scheme's label size; what still does not fit is cut at
// the room's edge.
constexpr double SmallestLabelShare = 0.4;

// Draws the labels of one square: the cell writes them onto a recorder, and
// they go onto the page in the scheme's label font, or smaller when the
// widest line would run past the room the caller gives for the labels'
// bottom edge (the ink of the next symbol in the row).
class TLabelFitter {
public:
    TLabelFitter(TCanvas* canvas, int32_t nominalHeight, const TRect& pageBox)
        : canvas_(canvas), height_(nominalHeight), box_(pageBox), recorder_(canvas->Engine()->DeviceRect()) {}

    template <class Room>
    void Draw(TCella* cell, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom, int32_t flags,
              Room room) {
        TPaintEngine* engine = canvas_->Engine();
        recorder_.Clear();
        canvas_->SetEngine(&recorder_);
        cell->DrawAttenuationValues(canvas_, column, row, x, y, zoom, flags);
        canvas_->SetEngine(engine);
        if (recorder_.Calls.empty()) return;
        for (const TPaintCall& c : recorder_.Calls)
            if (c.Op != TPaintOp::Text || c.HasRect) {
                // Not a plain line of text: the cell draws it itself.
                cell->DrawAttenuationValues(canvas_, column, row, x, y, zoom, flags);
                return;
            }
        int32_t bottom = y;
        for (const TPaintCall& c : recorder_.Calls)
            bottom = std::max(bottom, c.Points[0].y + canvas_->TextHeight(c.Text));
        const int32_t right = std::min<int32_t>(room(bottom), box_.Right);
        double share = 1.0;
        for (const TPaintCall& c : recorder_.Calls) {
            const int32_t width = canvas_->TextWidth(c.Text);
            if (width > 0) share = std::min(share, double(right - c.Points[0].x) / width);
        }
        const bool cut = share < SmallestLabelShare;
        if (share < 1.0)
            canvas_->Font->Height = -std::max(1, int(height_ * std::max(share, SmallestLabelShare)));
        if (cut)
            canvas_->SetClipRect(
                TRect(box_.Left, box_.Top, std::max<int32_t>(box_.Left, right), box_.Bottom));
        for (const TPaintCall& c : recorder_.Calls) {
            canvas_->Font->Color = c.State.Font.Color;
            canvas_->TextOut(c.Points[0].x, c.Points[0].y, c.Text);
        }
        if (cut) canvas_->SetClipRect(box_);
        if (share < 1.0) canvas_->Font->Height = -height_;
    }

private:
    TCanvas* canvas_;
    int32_t height_;  // the label font's character height, pixels
    TRect box_;
    TRecordingEngine recorder_;
};

}  // namespace

bool TStampa::SchemeArea(int32_t flags, TSchemeArea& a) const {
    a = TSchemeArea{};
    if (!Project || !Project->NetworkGrid || !Project->HeadEndGrid) return false;
    const TGridData& n = *Project->NetworkGrid;
    const TGridData& t = *Project->HeadEndGrid;
    a.PrintNetwork = (flags & SchemeNetwork) && n.HasComponents();
    a.PrintHeadEnd = (flags & SchemeHeadEnd) && t.HasComponents();
    a.Network = n.GetUsedArea();
    a.HeadEnd = t.GetUsedArea();
    int32_t nRows, nColumns, tRows, tColumns;
    Extent(a.Network, nRows, nColumns);
    Extent(a.HeadEnd, tRows, tColumns);
    a.HeadEndRows = tRows;
    a.Earth = (a.PrintHeadEnd && t.HasEarthSymbol()) || (a.PrintNetwork && n.HasEarthSymbol());

    if (a.PrintNetwork && a.PrintHeadEnd) {
        // The narrower grid centred under the wider one; the rows of the
        // head-end terminal, whose anchors are not drawn, take no room.
        if (t.Columns < n.Columns) a.HeadEndShift = n.Columns / 2 - t.Columns / 2;
        if (n.Columns < t.Columns) a.NetworkShift = t.Columns / 2 - n.Columns / 2;
        a.FirstColumn = std::min(a.HeadEndShift + a.HeadEnd.Left, a.NetworkShift + a.Network.Left);
        const int32_t last = std::max(a.HeadEndShift + a.HeadEnd.Right, a.NetworkShift + a.Network.Right);
        a.Columns = last - a.FirstColumn + 1;
        a.Rows = tRows + nRows - 2;
        a.HeadEnd.Bottom -= 1;
        a.Network.Top += 1;
    } else if (a.PrintNetwork) {
        a.FirstColumn = a.Network.Left;
        a.Columns = nColumns;
        a.Rows = nRows;
    } else {
        a.FirstColumn = a.HeadEnd.Left;
        a.Columns = tColumns;
        a.Rows = tRows;
    }

    if (flags & SchemeSelection) {
        const AnsiString page = SelectedPage ? SelectedPage() : AnsiString();
        const TCellRect s = DrawSelection ? DrawSelection() : TCellRect{};
        a.Columns = s.Right - s.Left + 1;
        a.Rows = s.Bottom - s.Top + 1;
        a.FirstColumn = s.Left;
        if (page == "Rete") {
            a.PrintNetwork = true;
            a.Network = s;
        } else if (page == "Testa") {
            a.PrintHeadEnd = true;
            a.HeadEnd = s;
        } else {
            return false;
        }
    }
    // Nothing to draw, or an area of no square to scale.
    return (a.PrintNetwork || a.PrintHeadEnd) && a.Columns >= 1 && a.Rows >= 1;
}

TPrinterOrientation TStampa::SchemeOrientation(int32_t flags) const {
    const bool landscape = flags & SchemeLandscape, portrait = flags & SchemePortrait;
    if (!landscape && !portrait) return Printer()->Orientation;
    if (!portrait) return poLandscape;
    if (!landscape) return poPortrait;
    TSchemeArea a;
    SchemeArea(flags, a);
    return a.Columns > a.Rows ? poLandscape : poPortrait;
}

int32_t TStampa::PrintScheme(int32_t flags, float maxSide, int32_t page) {
    TSchemeArea a;
    if (!SchemeArea(flags, a)) return -1;
    // Inside a job the first page already has the job's orientation; a later
    // page (and the preview's page) takes the scheme's.
    if (page != 0 || !PrintPage.NewJob) Printer()->Orientation = SchemeOrientation(flags);
    GetPageLayout(DocScheme, page);
    TPrintPage& pp = PrintPage;
    const int32_t height = a.Earth ? pp.BodyBottom - pp.Points(12) : pp.BodyBottom;
    int32_t s = std::min((height - pp.BodyTop) / a.Rows, (pp.PageWidth - 2 * pp.Margin) / a.Columns);
    // The cap is compared before it becomes a count of dots: the largest the
    // options take is far beyond what a 32-bit count holds.
    if (maxSide > 0.0f)
        s = static_cast<int32_t>(std::min<double>(s, pp.Dpi * double(maxSide) * InchPerCmOfSquare));
    s = std::max(s, 1);
    const float labelScale = static_cast<float>(s * 16.0 / pp.Dpi / 7);
    const int32_t x0 = (pp.PageWidth - 2 * pp.Margin - s * a.Columns) / 2 + pp.Margin;
    const int32_t y0 = pp.BodyTop;
    const bool both = a.PrintNetwork && a.PrintHeadEnd;
    const int32_t yN = both ? pp.BodyTop + (a.HeadEndRows - 1) * s : pp.BodyTop;

    PrintTableHeader(DocScheme, 0);
    TCanvas* canvas = Canvas();
    if (a.Earth)
        TextAt(
            pp.Points(18), height + pp.Margin,
            "Nota: I componenti con il simbolo di terra a fianco si intendono collegati a equipotenziale o a "
            "presa di terra.");
    const int32_t d = pp.Points(5);
    canvas->SetClipRect(TRect(x0 - d, y0 - d, x0 + s * a.Columns + d, y0 + s * a.Rows + d));

    struct TDrawn {
        bool print;
        TGridData* grid;
        const TCellRect& used;
        int32_t shift, top;
    };
    // clang-format off
    const TDrawn drawn[2] = {
        {a.PrintHeadEnd, Project->HeadEndGrid, a.HeadEnd, a.HeadEndShift, y0},
        {a.PrintNetwork, Project->NetworkGrid, a.Network, a.NetworkShift, yN},
    };
    // clang-format on
    auto xOf = [&](const TDrawn& g, int32_t column) { return (column - a.FirstColumn + g.shift) * s + x0; };
    auto yOf = [&](const TDrawn& g, int32_t row) { return (row - g.used.Top) * s + g.top; };
    for (const TDrawn& g : drawn) {
        if (!g.print || !g.grid->Signs) continue;
        for (const TSegnoGrafico* sign = g.grid->Signs->head; sign; sign = sign->Next)
            sign->Paint(canvas, xOf(g, 0), yOf(g, 0), s / 42.0, labelScale);
    }
    const TJoinedSymbolLines joined;  // runs of squares print as one line
    for (const TDrawn& g : drawn) {
        if (!g.print) continue;
        for (int32_t row = 0; row < g.grid->Rows; ++row)
            for (int32_t column = 0; column < g.grid->Columns; ++column) {
                TCella* cell = g.grid->CellAt(column, row);
                if (!cell || (both && cell->TypeCode == CodeHeadEnd)) continue;
                cell->PaintIfAt(canvas, column, row, xOf(g, column), yOf(g, row), s);
            }
    }
    // A label stands beside its symbol and may reach past the drawing's last
    // column or first row: it keeps to the page's box, not to the drawing.
    const TRect box(0, pp.BodyTop - pp.Margin, pp.PageWidth - 2, pp.BodyBottom + pp.Margin);
    canvas->SetClipRect(box);
    canvas->Font->Name = "Arial";
    const int32_t size = static_cast<int>(8 * labelScale + 0.5f);
    if (size >= 1)
        canvas->Font->Size = size;
    else  // below half a point: the scheme's share of a point, not the font's default
        canvas->Font->Height = -std::max(1, int(8 * labelScale * canvas->Font->PixelsPerInch / 72));
    canvas->Font->Color = clBlack;
    canvas->Brush->Style = bsClear;
    TLabelFitter labels(canvas, -canvas->Font->Height, box);
    // The ink of a symbol in the next occupied square of the row begins two
    // units and a pen left of the square's middle (a port's stub or mark); a
    // label keeps a unit clear of it. A straight cable across has its ink on
    // the square's middle row only, under labels that end above it.
    const int32_t pen = std::max<int32_t>(1, s / SymbolSquareUnits);
    auto acrossOnly = [](const TCella* c) {
        const auto* cable = dynamic_cast<const TNCavo*>(c);
        return cable && !cable->Bend && cable->Orientation % 2 == 1 && !cable->Overlay;
    };
    for (const TDrawn& g : drawn) {
        if (!g.print) continue;
        const TCellRect& r = g.used;
        for (int32_t row = std::max(0, r.Top); row <= r.Bottom && row < g.grid->Rows; ++row)
            for (int32_t column = std::max(0, r.Left); column <= r.Right && column < g.grid->Columns;
                 ++column) {
                TCella* cell = g.grid->CellAt(column, row);
                if (!cell) continue;
                auto room = [&](int32_t bottom) {
                    const bool above = bottom <= yOf(g, row) + s * 9 / SymbolSquareUnits - pen;
                    for (int32_t next = column + 1; next < g.grid->Columns; ++next) {
                        const TCella* other = g.grid->CellAt(next, row);
                        if (other && other != cell && !(above && acrossOnly(other)))
                            return xOf(g, next) + s * 7 / SymbolSquareUnits - pen;
                    }
                    return box.Right;
                };
                labels.Draw(cell, column, row, xOf(g, column), yOf(g, row), s, flags, room);
            }
    }
    canvas->ReleaseClip();
    return 0;
}

namespace {
// The labels a scheme printed from the menu shows: losses and cable lengths
// when the options show losses, else the short codes; either orientation,
// by the area's shape.
int32_t MenuSchemeFlags() {
    const int32_t labels = Opzioni && Opzioni->showAttenuations ? SchemeAttenuations | SchemeLengths : SchemeNumbers;
    return labels | SchemeLandscape | SchemePortrait;
}
}  // namespace

int32_t TStampa::NetworkSchemeFlags() { return MenuSchemeFlags() | SchemeNetwork; }

int32_t TStampa::HeadEndSchemeFlags() { return MenuSchemeFlags() | SchemeHeadEnd; }

int32_t TStampa::PrintNetwork(int32_t page) {
    return PrintScheme(NetworkSchemeFlags(), Opzioni ? Opzioni->maxCellWidth : 0.0f, page);
}

int32_t TStampa::PrintHeadEnd(int32_t page) {
    return PrintScheme(HeadEndSchemeFlags(), Opzioni ? Opzioni->maxCellWidth : 0.0f, page);
}
