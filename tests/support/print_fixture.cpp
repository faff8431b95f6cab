#include "support/print_fixture.h"

#include "support/test_cells.h"

void PrintProjectTest::Chain(TGridData* grid, TCella* cell) {
    TCella* last = grid->Anchor;
    while (last->NextCell) last = last->NextCell;
    last->NextCell = cell;
}

TCella* PrintProjectTest::AddCell(TGridData* grid, int32_t kind, const AnsiString& code, int32_t number) {
    // Each cell on a square of its own, two apart; the list reads the chain only.
    const int32_t n = placed_++;
    auto cOwned = std::make_unique<TCellaProva>(grid, 1 + (n % 35) * 2, 2 + (n / 35) * 2);
    auto* c = cOwned.get();
    // It stands for the class of that code (kind and first type code are one
    // number for every listed family); 99 is no class.
    c->Kind = kind;
    c->TypeCode = kind;
    c->Code = code;
    c->SequenceNumber = number;
    EXPECT_TRUE(grid->InsertCell(std::move(cOwned), false, 0));
    Chain(grid, c);
    return c;
}

std::vector<TPaintCall> TextCalls(const TRecordingEngine& page) { return page.CallsOf(TPaintOp::Text); }

const TPaintCall* FindText(const TRecordingEngine& page, const AnsiString& text) {
    for (const TPaintCall& c : page.Calls)
        if (c.Op == TPaintOp::Text && c.Text == text) return &c;
    return nullptr;
}

TPoint TextAt(const TRecordingEngine& page, const AnsiString& text) {
    const TPaintCall* c = FindText(page, text);
    return c ? c->Points[0] : TPoint(-1, -1);
}

AnsiString PageText(const TRecordingEngine& page) {
    AnsiString all;
    for (const AnsiString& t : page.Texts()) all += t + "\n";
    return all;
}
