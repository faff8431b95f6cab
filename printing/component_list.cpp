// The component and material list: the cells of the network grid, of the
// head-end grid or of both, family by family, one row per cell (full list)
// or one row per article with the short codes of its cells (compressed list).
#include <algorithm>
#include <vector>

#include "cells/cables.h"
#include "cells/cell.h"
#include "cells/class_table.h"
#include "core/levels.h"
#include "document/grid.h"
#include "document/project.h"
#include "printing/documents.h"
#include "printing/paragraph.h"

namespace {

// A cable segment that stands in lists: the head of its run.
TNCavo* ListedCable(TCella* c, int32_t typeCode) {
    if (c->Kind != KindCableSegment || c->TypeCode != typeCode) return nullptr;
    auto* cable = static_cast<TNCavo*>(c);
    return cable->IsRunHead() ? cable : nullptr;
}

// The cells of one family on a grid, in the grid's cell order; the family
// of each is its class's, from the class table.
void TakeFamily(TGridData* grid, TListFamily family, std::vector<TCella*>& cells) {
    if (!grid->Anchor) return;
    if (family != TListFamily::Cables) {
        for (TCella* c = grid->Anchor->NextCell; c; c = c->NextCell)
            if (ListFamilyOfCode(c->TypeCode) == family) cells.push_back(c);
        return;
    }
    for (TCella* c = grid->Anchor->NextCell; c; c = c->NextCell)
        if (TNCavo* cable = ListedCable(c, CodeCable);
            cable && cable->PassAttenuation() != CableLengthUncounted)
            cells.push_back(c);
    for (TCella* c = grid->Anchor->NextCell; c; c = c->NextCell)
        if (ListedCable(c, CodeBridge)) cells.push_back(c);
}

// A counted cable's length, or none for any other cell.
const TNCavo* CountedCable(TCella* c) { return ListedCable(c, CodeCable); }

}  // namespace

int TStampa::ListGrids(int32_t flags, TGridData* grids[2]) const {
    int n = 0;
    auto has = [&](const char* caption) { return FindPage && FindPage(caption); };
    if (!Project) return 0;
    if ((flags & ListNetwork) && has("Rete") && Project->NetworkGrid) grids[n++] = Project->NetworkGrid;
    if ((flags & ListHeadEnd) && has("Testa") && Project->HeadEndGrid) grids[n++] = Project->HeadEndGrid;
    return n;
}

int32_t TStampa::PrintComponentList(int32_t flags, int32_t page) {
    PortraitPages(page);
    GetPageLayout(DocMaterialList, page);
    TPrintPage& pp = PrintPage;
    std::fill(std::begin(pp.Columns), std::end(pp.Columns), uint8_t{0});
    const bool compressed = (flags & ListCompressed) != 0;
    for (TPrintColumn c : {pcCode, pcArticle, pcBrand, pcDescription, pcNotes}) pp.Columns[c] = 1;
    if (compressed) {
        pp.CodeLeft = pp.Points(18);
        pp.ArticleLeft = pp.Points(72);
        pp.BrandLeft = pp.Points(126);
        pp.DescriptionLeft = pp.Points(193);
        pp.NotesLeft = pp.Points(307);
        // The paragraph keeps within the right margin of a page narrower
        // than the sheet the list is laid out for.
        pp.ComponentsRight = std::min(pp.Points(560), pp.TextRight());
    } else {
        pp.Columns[pcNumber] = 1;
        pp.Columns[pcMetres] = 1;
        pp.NumberLeft = pp.Points(18);
        pp.CodeLeft = pp.Points(54);
        pp.ArticleLeft = pp.Points(108);
        pp.BrandLeft = pp.Points(162);
        pp.MinNoiseRight = pp.Points(249);
        pp.DescriptionLeft = pp.Points(264);
        pp.NotesLeft = pp.Points(378);
    }
    TGridData* grids[2];
    const int count = ListGrids(flags, grids);
    if (count == 0) return -1;

    pp.PageNumber = 1;
    PrintTableHeader(DocMaterialList, flags);
    // The families in the order of their enumeration, each of its classes'
    // cells in grid order.
    for (auto f = static_cast<uint8_t>(TListFamily::NotListed) + 1;
         f <= static_cast<uint8_t>(TListFamily::Custom); ++f) {
        const auto family = static_cast<TListFamily>(f);
        std::vector<TCella*> cells;
        for (int g = 0; g < count; ++g) TakeFamily(grids[g], family, cells);
        if (compressed) {
            if (!PrintCompressedFamily(cells, flags)) return 1;
        } else {
            for (TCella* c : cells)
                if (!PrintComponentListRow(c)) return 1;
        }
    }
    return 0;
}

bool TStampa::PrintComponentListRow(TCella* cell) {
    TPrintPage& pp = PrintPage;
    const bool network = Project && cell->Owner == Project->NetworkGrid;
    if (!PageBreak(pp.LineHeight, DocMaterialList, network ? ListNetwork : ListHeadEnd)) return false;
    const uint8_t* on = pp.Columns;
    std::vector<TRowText> row;
    if (on[pcNumber]) row.push_back({pp.NumberLeft, cell->GetShortCode()});
    if (on[pcCode]) row.push_back({pp.CodeLeft, TextBeforeCaret(cell->Code)});
    if (on[pcArticle]) row.push_back({pp.ArticleLeft, cell->Article});
    if (on[pcBrand]) row.push_back({pp.BrandLeft, cell->Brand});
    if (on[pcMetres])
        if (const TNCavo* cable = CountedCable(cell))
            row.push_back({pp.MinNoiseRight, FormatFloat("#0.00", cable->PassAttenuation()), true});
    if (on[pcDescription]) row.push_back({pp.DescriptionLeft, cell->Description});
    if (on[pcNotes]) row.push_back({pp.NotesLeft, cell->Notes});
    PrintRowTexts(pp.Y, row);
    pp.Y += pp.LineHeight;
    return true;
}

bool TStampa::PrintCompressedFamily(const std::vector<TCella*>& cells, int32_t flags) {
    struct TRow {
        AnsiString Key, Article, Brand, Description, Components;
    };
    std::vector<TRow> rows;
    for (TCella* c : cells) {
        AnsiString key = TextBeforeCaret(c->Code);
        if (key.empty()) key = c->GetShortCode();
        auto row = std::find_if(rows.begin(), rows.end(), [&](const TRow& r) { return r.Key == key; });
        if (row == rows.end()) {
            rows.push_back(TRow{key, c->Article, c->Brand, c->Description, ""});
            row = rows.end() - 1;
        }
        if (!row->Components.empty()) row->Components += " ";
        row->Components += c->GetShortCode();
        if (const TNCavo* cable = CountedCable(c))
            row->Components += "/" + FormatFloat("#0.#", cable->PassAttenuation()) + "m";
    }

    TPrintPage& pp = PrintPage;
    for (const TRow& r : rows) {
        // The row keeps together: its lines are counted by the very layout
        // that sets them.
        int32_t x = pp.NotesLeft, y = pp.Y;
        const TRect measure(pp.NotesLeft, pp.Y, pp.ComponentsRight, pp.Y + pp.LineHeight);
        const int32_t lines =
            std::max(1, LayoutParagraph(Canvas(), r.Components, measure, x, y, pp.LineHeight, false));
        const int32_t height = lines * pp.LineHeight;
        if (!PageBreak(height, DocMaterialList, flags)) return false;
        // The components' paragraph ends the description's room.
        PrintRowTexts(pp.Y, {{pp.CodeLeft, r.Key},
                             {pp.ArticleLeft, r.Article},
                             {pp.BrandLeft, r.Brand},
                             {pp.DescriptionLeft, r.Description},
                             {pp.NotesLeft, r.Components, false, false}});
        x = pp.NotesLeft;
        y = pp.Y;
        PrintParagraph(Canvas(), r.Components, TRect(pp.NotesLeft, pp.Y, pp.ComponentsRight, pp.Y + height),
                       x, y, pp.LineHeight);
        pp.Y += height;
    }
    return true;
}

void TStampa::PrintComponentListJob(int32_t which) {
    auto has = [&](const char* caption) { return FindPage && FindPage(caption); };
    PrintJob([&] {
        if (has("Rete") && (which & ListNetwork)) PrintComponentList(ListNetwork, 0);
        if (has("Testa") && (which & ListHeadEnd)) PrintComponentList(ListHeadEnd, 0);
    });
}
