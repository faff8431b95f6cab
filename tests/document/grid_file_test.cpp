// The grid section of a project file: what a grid writes, what it reads back,
// and how it refuses a section that does not read.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "cells/factory.h"
#include "cells/filters.h"
#include "cells/head_end.h"
#include "cells/record.h"
#include "core/file.h"
#include "core/info.h"
#include "document/grid.h"
#include "document/signs.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"
#include "support/stand_in.h"

namespace {

// A straight cable piece: the cells that may cross another on one square.
class TPezzoCavo : public TCella {
public:
    // Answers the grid's questions as the class of its type code would.
    TCellDescription Describe() const override { return StandInDescription(*this); }
    TPezzoCavo(TCellGrid* owner, int32_t orientation, int32_t column, int32_t row)
        : TCella(owner, orientation, 0, column, row) {
        TypeCode = CodeCable;
        SetPortCounts();
        Attenuation->Alloc3(TableRows, TableColumns, BandSlots);
    }
    bool CanOverlapCell() const override { return true; }
};

// While it lives, the factory builds cable pieces for the codes 80 and 81.
class ScopedCablePieces {
public:
    ScopedCablePieces()
        : before_(SetCellClassMaker("TNCavo", [](const TCellArgs& a) -> std::unique_ptr<TCella> {
              return std::make_unique<TPezzoCavo>(a.Owner, a.Orientation, a.Column, a.Row);
          })) {}
    ~ScopedCablePieces() { SetCellClassMaker("TNCavo", before_); }

private:
    TCellMaker before_;
};

std::string Saved(TGridData& grid) {
    TMemoryStream s;
    grid.Save(s, 60000);
    return s.Bytes();
}

// Reads a section as the project loader does: it has read tag, kind, columns
// and rows, and sized the grid.
bool LoadSection(TGridData& grid, const std::string& section, int32_t version = 60000,
                 AnsiString* problem = nullptr) {
    TMemoryStream s(section);
    ReadI32(s);
    ReadI32(s);
    const int32_t columns = ReadI32(s), rows = ReadI32(s);
    grid.Resize(columns, rows);
    return grid.Load(s, version, problem);
}

// The cells on the grid, overlays included, each once.
int CellsOn(const TGridData& grid) {
    std::set<const TCella*> cells;
    for (int32_t c = 0; c < grid.Columns; ++c)
        for (int32_t r = 0; r < grid.Rows; ++r)
            if (TCella* cell = grid.CellAt(c, r)) {
                cells.insert(cell);
                if (cell->Overlay) cells.insert(cell->Overlay);
            }
    return static_cast<int>(cells.size());
}

std::unique_ptr<TSegnoGrafico> Sign(TGridData& grid, int32_t kind, int32_t x1, int32_t y1, int32_t x2,
                                    int32_t y2) {
    auto s = std::make_unique<TSegnoGrafico>(&grid);
    s->Kind = kind;
    s->X1 = x1;
    s->Y1 = y1;
    s->X2 = x2;
    s->Y2 = y2;
    return s;
}

class GridFileTest : public GlobalsTest {
protected:
    ScopedCablePieces cables;

    // A network grid with its terminal, two filters, a crossing and signs.
    void Draw(TGridData& grid) {
        auto anchorOwned = std::make_unique<TTesta>(&grid, 0, 0, grid.Columns / 2 - 1, 0, 2);
        auto* anchor = anchorOwned.get();
        ASSERT_TRUE(grid.InsertCell(std::move(anchorOwned), false, 0));
        grid.Anchor = anchor;
        auto fOwned = std::make_unique<TFiltroS>(&grid, 1, 0, 3, 4);
        auto* f = fOwned.get();
        f->Code = "FS";
        f->Attenuation->Set3(0, 1, 2, 1.5f);
        ASSERT_TRUE(grid.InsertCell(std::move(fOwned), false, 0));
        ASSERT_TRUE(grid.InsertCell(std::make_unique<TFiltroPB>(&grid, 0, 1, 3, 5), false, 0));
        ASSERT_TRUE(grid.InsertCell(std::make_unique<TPezzoCavo>(&grid, 0, 7, 7), false, 0));
        ASSERT_TRUE(grid.InsertCell(std::make_unique<TPezzoCavo>(&grid, 1, 7, 7), false, 0));
        ASSERT_TRUE(grid.InsertCell(std::make_unique<TPezzoCavo>(&grid, 1, 8, 7), false, 0));
        grid.Signs->Add(Sign(grid, SignLine, 0, 0, 84, 84), false);
        grid.Signs->Add(Sign(grid, SignRectangle, 10, 10, 420, 300), false);
        auto textOwned = Sign(grid, SignText, 50, 60, 150, 80);
        TSegnoGrafico* text = textOwned.get();
        text->Text = "Scala A – piano terra";
        text->Font->Name = "Times New Roman";
        text->Font->Size = 12;
        text->Font->Color = clRed;
        text->Font->Style = TFontStyles() << fsBold << fsItalic;
        text->Pen->Style = psDash;
        text->Pen->Width = 3;
        grid.Signs->Add(std::move(textOwned), false);
    }
};

TEST_F(GridFileTest, EmptySection) {
    TGridData grid(nullptr, 12, 10, GridHeadEnd);
    const std::string expected =
        RecordBytes().I32(205).I32(0).I32(12).I32(10).I32(206).I32(206).I32(205).Bytes();
    EXPECT_EQ(Saved(grid), expected);
    TGridData back(nullptr, 75, 75, GridHeadEnd);
    EXPECT_TRUE(LoadSection(back, expected));
    EXPECT_EQ(back.Columns, 12);
    EXPECT_EQ(CellsOn(back), 0);
    EXPECT_EQ(back.Signs->Count(), 0);
}

TEST_F(GridFileTest, SaveLoadSaveGivesTheSameBytes) {
    TGridData grid(nullptr, 20, 16, GridNetwork);
    Draw(grid);
    const std::string once = Saved(grid);

    TGridData back(nullptr, 75, 75, GridNetwork);
    ASSERT_TRUE(LoadSection(back, once));
    EXPECT_EQ(Saved(back), once);

    ASSERT_NE(back.Anchor, nullptr);
    EXPECT_EQ(back.Anchor->TypeCode, CodeHeadEnd);
    EXPECT_EQ(back.Anchor->Column, 9);
    EXPECT_EQ(back.Anchor->NumThroughOutputs, 2);
    TCella* f = back.CellAt(3, 4);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->TypeCode, CodeFiltroS);
    EXPECT_EQ(f->Orientation, 1);
    EXPECT_EQ(f->Owner, &back);
    EXPECT_EQ(f->Attenuation->Get3(0, 1, 2), 1.5f);
    ASSERT_NE(back.CellAt(3, 5), nullptr);
    EXPECT_EQ(back.CellAt(3, 5)->Mirrored, 1);
    TCella* crossing = back.CellAt(7, 7);
    ASSERT_NE(crossing, nullptr);
    EXPECT_EQ(crossing->Orientation, 1);
    ASSERT_NE(crossing->Overlay, nullptr);
    EXPECT_EQ(crossing->Overlay->Orientation, 0);
    EXPECT_EQ(CellsOn(back), 6);
    EXPECT_EQ(back.Signs->Count(), 3);
}

TEST_F(GridFileTest, ResizingMovesTheSignsWithTheCells) {
    TGridData grid(nullptr, 75, 75, GridNetwork);
    auto anchorOwned = std::make_unique<TTesta>(&grid, 0, 0, 36, 0, 1);
    auto* anchor = anchorOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(anchorOwned), false, 0));
    grid.Signs->Add(Sign(grid, SignLine, 600, 100, 700, 200), false);
    ASSERT_TRUE(grid.Resize(51, 75));
    EXPECT_EQ(anchor->Column, 24);
    EXPECT_EQ(grid.Signs->head->X1, 600 - 504);
    EXPECT_EQ(grid.Signs->head->X2, 700 - 504);
    EXPECT_EQ(grid.Signs->head->Y1, 100);
}

TEST_F(GridFileTest, SectionsThatDoNotReadLeaveAnEmptyGrid) {
    TGridData source(nullptr, 20, 16, GridNetwork);
    Draw(source);
    const std::string good = Saved(source);
    // The first cell record follows the sign block.
    TMemoryStream probe(good);
    probe.SetPosition(16);
    TSegniGrafici skip(nullptr);
    ASSERT_TRUE(skip.Load(probe, 60000));
    const size_t firstCell = static_cast<size_t>(probe.Position());

    auto withCode = [&](int32_t code, int32_t inputs = 1) {
        std::string bytes = good;
        const std::string head = RecordBytes().I32(code).I32(inputs).Bytes();
        bytes.replace(firstCell, 8, head);
        return bytes;
    };
    std::string secondAnchor = good;
    {
        TMemoryStream s;
        TTesta extra(nullptr, 0, 0, 1, 0, 1);
        extra.Save(s, 60000);
        secondAnchor.insert(good.size() - 4, s.Bytes());
    }
    std::string badSign = good;
    badSign[20] = 7;  // the kind of the first sign
    std::string badOrientation = good;
    {
        // The cells are written column by column: the first after the anchor's
        // column order is the filter at column 3; its orientation is 1.
        TMemoryStream s;
        source.CellAt(3, 4)->Save(s, 60000);
        const size_t at = good.find(s.Bytes());
        ASSERT_NE(at, std::string::npos);
        const size_t orientation = at + 16 + 3 + 1 + 7 + 1 + 1 + 1;
        ASSERT_EQ(badOrientation[orientation], 1);
        badOrientation[orientation] = 9;
    }
    struct Case {
        const char* what;
        std::string bytes;
        AnsiString problem;
    };
    // clang-format off
    const Case cases[] = {
        {"unknown type code", withCode(33), "Lo schema contiene un componente di tipo sconosciuto (33) o con un numero di porte non valido."},
        {"negative port count", withCode(1, -1), "Lo schema contiene un componente di tipo sconosciuto (1) o con un numero di porte non valido."},
        {"second terminal", secondAnchor, "Lo schema contiene più di una centrale di testa."},
        {"sign of no kind", badSign, "I segni grafici dello schema sono danneggiati."},
        {"damaged record", badOrientation, "I dati di un componente dello schema sono danneggiati."},
    };
    // clang-format on
    for (const Case& c : cases) {
        TGridData grid(nullptr, 75, 75, GridNetwork);
        AnsiString problem;
        EXPECT_FALSE(LoadSection(grid, c.bytes, 60000, &problem)) << c.what;
        EXPECT_EQ(problem, c.problem) << c.what;
        EXPECT_EQ(CellsOn(grid), 0) << c.what;
        EXPECT_EQ(grid.Anchor, nullptr) << c.what;
        EXPECT_EQ(grid.Signs->Count(), 0) << c.what;
        // The grid stays usable: a good section loads into it afterwards.
        EXPECT_TRUE(LoadSection(grid, good)) << c.what;
        EXPECT_EQ(Saved(grid), good) << c.what;
    }
}

// A section is read whole or not at all: one that ends inside a record, or
// before its end mark, leaves the grid empty.
TEST_F(GridFileTest, FileEndingBeforeTheEndMarkLeavesTheGridEmpty) {
    TGridData source(nullptr, 20, 16, GridNetwork);
    Draw(source);
    const std::string good = Saved(source);
    struct Case {
        const char* what;
        size_t cut;  // bytes left out at the end
        const char* problem;
    };
    const Case cases[] = {
        {"inside the last record", 30, "Il file si interrompe nel mezzo di un componente."},
        {"without its end mark", 4, "Il file si interrompe prima della fine di uno schema."},
        {"inside its end mark", 2, "Il file si interrompe prima della fine di uno schema."},
    };
    for (const Case& c : cases) {
        TGridData grid(nullptr, 75, 75, GridNetwork);
        AnsiString problem;
        EXPECT_FALSE(LoadSection(grid, good.substr(0, good.size() - c.cut), 60000, &problem)) << c.what;
        EXPECT_EQ(problem, c.problem) << c.what;
        EXPECT_EQ(CellsOn(grid), 0) << c.what;
        EXPECT_EQ(grid.Anchor, nullptr) << c.what;
    }
}

TEST_F(GridFileTest, MultiswitchOutputsMoveBelowVersion50000) {
    static int32_t asked[3];
    const TCellMaker before =
        SetCellClassMaker("TSwitchN", [](const TCellArgs& a) -> std::unique_ptr<TCella> {
            std::copy(a.Arg, a.Arg + 3, asked);
            return std::make_unique<TFiltroS>(a.Owner, 0, 0, a.Column, a.Row);
        });
    for (int32_t version : {40000, 50000}) {
        TGridData grid(nullptr, 75, 75, GridNetwork);
        const std::string section = RecordBytes()
                                        .I32(205)
                                        .I32(1)
                                        .I32(75)
                                        .I32(75)
                                        .I32(206)
                                        .I32(206)
                                        .I32(47)
                                        .I32(2)
                                        .I32(8)
                                        .I32(0)
                                        .Bytes();
        std::fill(asked, asked + 3, -1);
        EXPECT_FALSE(LoadSection(grid, section, version));  // the record itself is missing
        EXPECT_EQ(asked[0], 47);
        EXPECT_EQ(asked[1], 2);
        EXPECT_EQ(asked[2], version < 50000 ? 8 : 0) << version;
    }
    SetCellClassMaker("TSwitchN", before);
}

}  // namespace
