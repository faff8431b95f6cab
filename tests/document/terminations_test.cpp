// The designer's choice of a grid's terminations by the component each faces.
#include "cells/terminations.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/reporter.h"
#include "document/grid.h"
#include "platform/controls.h"
#include "support/globals_fixture.h"
#include "support/test_cells.h"

namespace {

class ChooseTerminationsTest : public GlobalsTest {
protected:
    void SetUp() override { globals.Reporter().SetTarget(&messages); }

    // A library termination (not DC-isolated) with a connector.
    void Candidate(uint8_t connector) {
        auto made = std::make_unique<TChiusura>(nullptr, 0, 0, 0, 0, 1);
        auto* c = made.get();
        c->Choice1 = connector;
        c->Code = "R" + IntToStr(connector);
        c->Described = 1;
        if (!library.empty()) library.back()->NextInList = c;
        library.emplace_back(std::move(made));
    }
    TCella* List() { return library.empty() ? nullptr : library.front().get(); }

    TChiusura* Termination(int32_t column, int32_t row, int32_t orientation) {
        auto tOwned = std::make_unique<TChiusura>(&grid, orientation, 0, column, row, 1);
        auto* t = tOwned.get();
        EXPECT_TRUE(grid.InsertCell(std::move(tOwned), false, 0));
        return t;
    }
    void Neighbour(int32_t column, int32_t row, uint8_t connector) {
        auto cellOwned = std::make_unique<TCellaProva>(&grid, column, row);
        auto* cell = cellOwned.get();
        cell->Choice1 = connector;
        ASSERT_TRUE(grid.InsertCell(std::move(cellOwned), false, 0));
    }

    TListBox messages;
    TGridData grid{nullptr, 10, 10, GridNetwork};
    std::vector<std::unique_ptr<TCella>> library;
};

TEST_F(ChooseTerminationsTest, EachTakesTheConnectorOfTheCellItFaces) {
    Candidate(0);
    Candidate(1);
    Candidate(2);
    // Orientation 0 faces the square above, 1 the right, 2 below, 3 the left.
    TChiusura* up = Termination(2, 5, 0);
    Neighbour(2, 4, 1);
    TChiusura* right = Termination(4, 5, 1);
    Neighbour(5, 5, 2);
    TChiusura* down = Termination(6, 2, 2);
    Neighbour(6, 3, 0);
    TChiusura* left = Termination(8, 7, 3);
    Neighbour(7, 7, 0x21);                    // only the low two bits count
    TChiusura* alone = Termination(3, 8, 0);  // nothing above: any connector
    TChiusura* edge = Termination(0, 9, 3);   // faces outside the grid

    grid.ChooseTerminations(List());
    EXPECT_EQ(up->Code, "R1");
    EXPECT_EQ(right->Code, "R2");
    EXPECT_EQ(down->Code, "R0");
    EXPECT_EQ(left->Code, "R1");
    EXPECT_EQ(alone->Code, "R0");
    EXPECT_EQ(edge->Code, "R0");
    EXPECT_EQ(messages.Items->Count(), 0);
}

TEST_F(ChooseTerminationsTest, NoFittingEntryIsReported) {
    Candidate(0);
    TChiusura* t = Termination(4, 4, 0);
    Neighbour(4, 3, 2);
    t->Code = "MIA";
    grid.ChooseTerminations(List());
    EXPECT_EQ(t->Code, "MIA");
    EXPECT_EQ(t->Described, 0);
    ASSERT_EQ(messages.Items->Count(), 1);
    EXPECT_EQ(messages.Items->Strings(0), "Non sono disponibili chiusure adeguate all'impianto.");
}

}  // namespace
