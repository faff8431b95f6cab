// Block moves between grids (plain and mirrored), the copy of a cell's data
// into the cells of its kind with the copy-data form, and the window a grid
// is attached to.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "document/copy_data.h"
#include "document/grid.h"
#include "document/project.h"
#include "document/undo.h"
#include "platform/application.h"
#include "support/test_cells.h"

namespace {

class GridBlocksTest : public ::testing::Test {
protected:
    void SetUp() override {
        alive = TCellaProva::Alive;
        project.Reset(true);
    }
    void TearDown() override {
        project.NetworkGrid->Clear();
        project.HeadEndGrid->Clear();
        EXPECT_EQ(TCellaProva::Alive, alive) << "cells leaked or lost";
    }
    TCellaProva* Put(TGridData& grid, int32_t column, int32_t row, int32_t through = 1) {
        auto cellOwned = std::make_unique<TCellaProva>(nullptr, column, row, 1, through, 0);
        auto* cell = cellOwned.get();
        EXPECT_TRUE(grid.InsertCell(std::move(cellOwned), false, 0));
        return cell;
    }

    int alive = 0;
    TProgetto project{nullptr};
};

TEST_F(GridBlocksTest, MovesFollowTheRowRulesAndCutTheSource) {
    struct Case {
        const char* what;
        int32_t kind;
        TCellRect source;
        int32_t column, row;
        bool mirrored;
        std::set<Square> squares;
    };
    // The source holds cells at (3, 4), (4, 4) and (4, 5); a 10 x 10 grid.
    // clang-format off
    const Case cases[] = {
        {"plain", GridCustom, {4, 3, 5, 4}, 6, 1, false, {{6, 1}, {7, 1}, {7, 2}}},
        {"target row 0 of a network", GridNetwork, {4, 3, 5, 4}, 6, 0, false, {{6, 1}, {7, 1}, {7, 2}}},
        {"last row of a head end stays free", GridHeadEnd, {4, 3, 5, 4}, 6, 8, false, {{6, 8}, {7, 8}}},
        {"source cut at the grid's edge", GridCustom, {4, 3, 40, 40}, 0, 0, false, {{0, 0}, {1, 0}, {1, 1}}},
        {"mirrored", GridCustom, {4, 3, 5, 4}, 6, 1, true, {{7, 1}, {6, 1}, {6, 2}}},
        {"mirrored one column keeps it", GridCustom, {4, 4, 5, 4}, 4, 1, true, {{4, 1}, {4, 2}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        TGridData source(nullptr, 10, 10, GridCustom);
        Put(source, 3, 4);
        Put(source, 4, 4);
        Put(source, 4, 5);
        TGridData target(nullptr, 10, 10, c.kind);
        if (c.mirrored)
            TGridData::MoveBlockMirrored(&source, c.source, &target, c.column, c.row, false);
        else
            TGridData::MoveBlock(&source, c.source, &target, c.column, c.row, false);
        EXPECT_EQ(Occupied(target), c.squares) << c.what;
        for (const Square& s : Occupied(target))
            EXPECT_EQ(target.CellAt(s.first, s.second)->Owner, &target) << c.what;
        EXPECT_EQ(Occupied(source).count({3, 4}), c.source.Left > 3 ? 1u : 0u) << c.what;
        EXPECT_EQ(TCellaProva::Alive - alive, static_cast<int>(Occupied(source).size() + c.squares.size()))
            << c.what << ": a refused cell is dropped";
    }
}

// A cell whose first square is inside the rectangle goes whole, and nothing
// of the source still points at it; one that starts outside keeps all its
// squares.
TEST_F(GridBlocksTest, ACellLeavesItsSourceWhole) {
    TGridData& source = *project.NetworkGrid;
    TCellaProva* before = Put(source, 10, 5);
    TCellaProva* wide = Put(source, 12, 5, 2);     // squares 12-13, first square on the right edge
    TCellaProva* reaching = Put(source, 9, 7, 3);  // squares 9-11, starts left of the rectangle
    TCellaProva* after = Put(source, 20, 5);
    // Links and chains as an analysis leaves them.
    before->AllocLinks();
    after->AllocLinks();
    wide->AllocLinks();
    before->OutputCell[0] = wide;
    before->OutputPort[0] = 0;
    after->InputCell[0] = wide;
    wide->InputCell[0] = before;
    wide->OutputCell[0] = after;
    source.Anchor->NextCell = before;
    before->NextCell = wide;
    wide->NextCell = after;

    source.NetworkOutOfDate = false;

    TGridData target(nullptr, 30, 30, GridCustom);
    TGridData::MoveBlock(&source, TCellRect{5, 10, 7, 12}, &target, 0, 0, false);
    EXPECT_EQ(target.CellAt(2, 0), wide);
    EXPECT_EQ(target.CellAt(3, 0), wide);
    EXPECT_EQ(target.CellAt(0, 0), before);
    EXPECT_EQ(source.CellAt(12, 5), nullptr);
    EXPECT_EQ(source.CellAt(13, 5), nullptr);
    for (int32_t c = 9; c <= 11; ++c) EXPECT_EQ(source.CellAt(c, 7), reaching);
    EXPECT_EQ(after->InputCell[0], nullptr);
    EXPECT_EQ(source.Anchor->NextCell, after) << "the chain steps over both moved cells";
    EXPECT_EQ(wide->InputCell[0], nullptr);
    EXPECT_EQ(wide->OutputCell[0], nullptr);
    EXPECT_EQ(wide->NextCell, nullptr);
    EXPECT_TRUE(source.NetworkOutOfDate);
}

TEST_F(GridBlocksTest, ACrossingMovesAsItWasAndTheTerminalStays) {
    TGridData& source = *project.NetworkGrid;
    auto downOwned = std::make_unique<TCellaProva>(nullptr, 30, 3, 1, 1, 0, true, 0);
    auto* down = downOwned.get();
    auto acrossOwned = std::make_unique<TCellaProva>(nullptr, 30, 3, 1, 1, 0, true, 1);
    auto* across = acrossOwned.get();
    ASSERT_TRUE(source.InsertCell(std::move(downOwned), false, 0));
    ASSERT_TRUE(source.InsertCell(std::move(acrossOwned), false, 0));
    TCella* terminal = source.Anchor;
    TGridData::MoveBlock(&source, TCellRect{0, 0, 74, 74}, &source, 0, 0, false);
    EXPECT_EQ(source.Anchor, terminal);
    EXPECT_EQ(source.CellAt(terminal->Column, 0), terminal);
    EXPECT_EQ(source.CellAt(30, 4), across) << "row 0 of a network stays free: one row down";
    EXPECT_EQ(across->Overlay, down);
}

TEST_F(GridBlocksTest, ARecordedMoveIsOnePasteStep) {
    TGridData& target = *project.NetworkGrid;
    TCellaProva* old = Put(target, 5, 5);
    TGridData source(nullptr, 10, 10, GridCustom);
    Put(source, 1, 1);
    Put(source, 2, 1);
    TGridData::MoveBlock(&source, TCellRect{1, 1, 1, 2}, &target, 5, 5, true);
    EXPECT_EQ(target.UndoList->GetMenuCaption(), "&Annulla incolla");
    EXPECT_EQ(target.UndoList->Record(0).GroupCount, 3);
    target.UndoList->Undo();
    EXPECT_EQ(target.CellAt(5, 5), old);
    EXPECT_EQ(target.CellAt(6, 5), nullptr);
}

TEST_F(GridBlocksTest, AttachingAWindowLetsThePreviousOneGo) {
    struct Window : RecordingGridWindow {
        void DetachGrid(TGridData* grid) override { detached.push_back(grid); }
        std::vector<TGridData*> detached;
    } first, second;
    TGridData grid(nullptr, 10, 10, GridCustom);
    grid.AttachView(&first);
    grid.AttachView(&first);
    EXPECT_TRUE(first.detached.empty());
    grid.AttachView(&second);
    EXPECT_EQ(first.detached, std::vector<TGridData*>{&grid});
    EXPECT_EQ(grid.Window, &second);
    grid.DetachView(&first);
    EXPECT_EQ(grid.Window, &second);
    grid.DetachView(&second);
    EXPECT_EQ(grid.Window, nullptr);
}

// ---- Copia dati ----

class CopyDataTest : public GridBlocksTest {
protected:
    void SetUp() override {
        GridBlocksTest::SetUp();
        Application->Script().Reset();
        TGridData& grid = *project.NetworkGrid;
        source = Put(grid, 10, 5);
        source->Description = "Filtro";
        source->Described = 1;
        TCella* last = grid.Anchor;
        last->NextCell = source;
        last = source;
        for (int i = 0; i < 3; ++i) {
            r[i] = Put(grid, 12 + i, 5);
            r[i]->SequenceNumber = i + 1;
            last->NextCell = r[i];
            last = r[i];
        }
        TCellaProva* other = Put(grid, 20, 5, 2);  // another kind
        last->NextCell = other;
        r[0]->Described = 1;  // R1
        project.Modified = false;
    }
    void TearDown() override {
        Application->Script().Reset();
        GridBlocksTest::TearDown();
    }
    std::vector<uint8_t> Copied() const {
        std::vector<uint8_t> copied;
        for (TCellaProva* cell : r) copied.push_back(cell->Description == "Filtro" ? 1 : 0);
        return copied;
    }
    TCellaProva* source = nullptr;
    TCellaProva* r[3] = {};
};

TEST_F(CopyDataTest, TheFormListsTheUndescribedAndTicksWhatIsSelected) {
    std::vector<AnsiString> listed, listedAll;
    std::vector<uint8_t> ticked;
    int selectedAfterUntick = 0;
    Application->Script().AnswerShowModal<TFCopiaDati>([&](TFCopiaDati& form) {
        EXPECT_EQ(form.Caption.Get(), "Ordivex Varne - Copia dati da ...");
        for (int i = 0; i < form.ListaComponenti->Items->Count(); ++i)
            listed.push_back((*form.ListaComponenti->Items)[i]);
        form.BTutti->Click();
        form.CNDescritti->Checked = false;  // lists R1 too, keeping R2 and R3 selected
        for (int i = 0; i < form.ListaComponenti->Items->Count(); ++i) {
            listedAll.push_back((*form.ListaComponenti->Items)[i]);
            selectedAfterUntick += form.ListaComponenti->Selected[i] ? 1 : 0;
        }
        EXPECT_FALSE(form.ListaComponenti->Selected[0]);
        form.CNDescritti->Checked = true;
        form.BOk->Click();
        ticked = form.Ticked;
    });
    project.NetworkGrid->CopyDataToSameKind(false, source);
    EXPECT_EQ(listed, (std::vector<AnsiString>{"T2", "T3"}));
    EXPECT_EQ(listedAll, (std::vector<AnsiString>{"T1", "T2", "T3"}));
    EXPECT_EQ(selectedAfterUntick, 2);
    EXPECT_EQ(ticked, (std::vector<uint8_t>{0, 1, 1}));
    EXPECT_TRUE(Application->Script().MessageBoxes.empty()) << "no ticked candidate is described";
    EXPECT_EQ(Copied(), (std::vector<uint8_t>{0, 1, 1}));
    EXPECT_TRUE(project.Modified);
}

TEST_F(CopyDataTest, CancelInTheFormChangesNothing) {
    Application->Script().AnswerShowModal<TFCopiaDati>([](TFCopiaDati& form) {
        form.BTutti->Click();
        form.BAnnulla->Click();
    });
    project.NetworkGrid->CopyDataToSameKind(false, source);
    EXPECT_EQ(Copied(), (std::vector<uint8_t>{0, 0, 0}));
    EXPECT_FALSE(project.Modified);
}

TEST_F(CopyDataTest, CopyToAllAsksWhenSomeAreDescribed) {
    Application->Script().AnswerMessageBox(IDNO);
    project.NetworkGrid->CopyDataToSameKind(true, source);
    ASSERT_EQ(Application->Script().MessageBoxes.size(), 1u);
    const TMessageBoxCall& asked = Application->Script().MessageBoxes[0];
    EXPECT_EQ(asked.Text, "Alcuni componenti selezionati sono già descritti. Procedere con la copiatura?");
    EXPECT_EQ(asked.Caption, "Ordivex Varne");
    EXPECT_EQ(asked.Flags, MB_YESNO | MB_ICONEXCLAMATION);
    EXPECT_TRUE(Application->Script().ModalForms.empty());
    EXPECT_EQ(Copied(), (std::vector<uint8_t>{0, 0, 0}));
    EXPECT_FALSE(project.Modified);

    Application->Script().AnswerMessageBox(IDYES);
    source->CopyDataToSameKind(1);  // "Copia su tutti" of the cell
    EXPECT_EQ(Copied(), (std::vector<uint8_t>{1, 1, 1}));
    EXPECT_TRUE(project.Modified);

    // All undescribed: nothing is asked.
    Application->Script().Reset();
    for (TCellaProva* cell : r) cell->Described = 0;
    project.NetworkGrid->CopyDataToSameKind(true, source);
    EXPECT_TRUE(Application->Script().MessageBoxes.empty());
}

}  // namespace
