// The scheme print: the network grid, the head-end grid, both on one sheet
// or the selected rectangle, scaled to fit one page, with the graphic
// signs, the cells' symbols and their labels.
#include <algorithm>

#include "app/grid.h"
#include "app/project.h"
#include "app/signs.h"
#include "cells/cell.h"
#include "cells/drawing.h"
#include "core/globals.h"
#include "core/options.h"
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
    canvas->SetClipRect(TRect(0, pp.BodyTop - pp.Margin, pp.PageWidth - 2, pp.BodyBottom + pp.Margin));
    canvas->Font->Size = static_cast<int>(8 * labelScale + 0.5f);
    canvas->Font->Name = "Arial";
    canvas->Font->Color = clBlack;
    canvas->Brush->Style = bsClear;
    for (const TDrawn& g : drawn) {
        if (!g.print) continue;
        const TCellRect& r = g.used;
        for (int32_t row = std::max(0, r.Top); row <= r.Bottom && row < g.grid->Rows; ++row)
            for (int32_t column = std::max(0, r.Left); column <= r.Right && column < g.grid->Columns;
                 ++column)
                if (TCella* cell = g.grid->CellAt(column, row))
                    cell->DrawAttenuationValues(canvas, column, row, xOf(g, column), yOf(g, row), s, flags);
    }
    canvas->ReleaseClip();
    return 0;
}

int32_t TStampa::NetworkSchemeFlags() { return Opzioni && Opzioni->showAttenuations ? 0x0CD : 0x01D; }

int32_t TStampa::HeadEndSchemeFlags() { return Opzioni && Opzioni->showAttenuations ? 0x0CE : 0x01E; }

int32_t TStampa::PrintNetwork(int32_t page) {
    return PrintScheme(NetworkSchemeFlags(), Opzioni ? Opzioni->maxCellWidth : 0.0f, page);
}

int32_t TStampa::PrintHeadEnd(int32_t page) {
    return PrintScheme(HeadEndSchemeFlags(), Opzioni ? Opzioni->maxCellWidth : 0.0f, page);
}
