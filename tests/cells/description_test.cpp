// What each class says of itself through its description: the short code
// it numbers under, from which category counter, and whether it meets the
// component-data form at all.
#include "cells/description.h"

#include <gtest/gtest.h>

#include <memory>

#include "cells/cables.h"
#include "cells/cell.h"
#include "cells/factory.h"
#include "support/globals_fixture.h"

namespace {

class CellDescriptions : public GlobalsTest {};

struct TNumbering {
    int32_t Code;
    const char* ShortCode;  // after numbering from counters all at 7
    int Counter;            // the counter that advanced; -1 none
};

// The short code and counter of every numbered class, as drawings have
// always shown them. A class whose description lost its letters or its
// counter shows a wrong code here and renumbers every drawing.
// clang-format off
const TNumbering Numbering[] = {
    {1, "F7", 8}, {3, "D7", 5}, {6, "R7", 4}, {10, "S7", 1}, {14, "P7", 3}, {16, "X7", 14},
    {19, "Sp7", 9}, {20, "I7", 10}, {21, "A7", 15}, {23, "A7", 15}, {24, "Al7", 20}, {25, "", -1},
    {26, "Q7", 11}, {28, "E7", 12}, {29, "Y7", 13}, {30, "Y7", 13}, {34, "", -1}, {35, "Fa7", 22},
    {36, "Mo7", 27}, {37, "Cv7", 7}, {38, "An7", 16}, {39, "Sa7", 17}, {40, "Tr7", 18}, {42, "Fa7", 22},
    {43, "Af7", 21}, {44, "Al7", 20}, {45, "Pa7", 23}, {48, "I7", 10}, {51, "Rs7", 25}, {52, "", -1},
    {55, "N7", 26}, {58, "Ci7", 19}, {80, "K7", 24},
};
// clang-format on

TEST_F(CellDescriptions, EachClassNumbersUnderItsLettersAndCounter) {
    for (const TNumbering& n : Numbering) {
        SCOPED_TRACE(n.Code);
        std::unique_ptr<TCella> cell(NewCella(nullptr, n.Code, 0, 0, 1, 1, 1));
        ASSERT_NE(cell, nullptr);
        TContatoriCategoria counters;
        counters.fill(7);
        cell->TakeSequenceNumber(counters);
        EXPECT_EQ(cell->GetShortCode(), n.ShortCode);
        for (int c = 0; c < CategoryCounterCount; ++c) EXPECT_EQ(counters[c], c == n.Counter ? 8 : 7) << c;
    }
}

// A cable whose length does not count shows "*" and takes no number.
TEST_F(CellDescriptions, AnUncountedCableTakesNoNumber) {
    std::unique_ptr<TCella> cell(NewCella(nullptr, CodeCable, 0, 0, 1, 1, 0));
    auto* cable = dynamic_cast<TNCavo*>(cell.get());
    ASSERT_NE(cable, nullptr);
    cable->SetLength(CableLengthUncounted);
    TContatoriCategoria counters;
    counters.fill(7);
    cable->TakeSequenceNumber(counters);
    EXPECT_EQ(cable->GetShortCode(), "*");
    for (int c = 0; c < CategoryCounterCount; ++c) EXPECT_EQ(counters[c], 7) << c;

    // The same segment with a length in metres numbers again as a cable.
    cable->SetLength(12.0f);
    cable->TakeSequenceNumber(counters);
    EXPECT_EQ(cable->GetShortCode(), "C7");
    EXPECT_EQ(counters[CableCounter], 8);
}

// Cells with nothing to enter open no form and change nothing; a cell with
// no form of its own is marked described.
TEST_F(CellDescriptions, CellsWithoutAFormOpenNone) {
    std::unique_ptr<TCella> terminal(NewCella(nullptr, CodeHeadEnd, 0, 0, 1, 2, 0));
    std::unique_ptr<TCella> coil(NewCella(nullptr, CodeInduttanza, 0, 0, 1, 1, 0));
    std::unique_ptr<TCella> earth(NewCella(nullptr, CodeEarth, 0, 0, 1, 1, 0));
    ASSERT_TRUE(terminal && coil && earth);
    coil->Described = 0;
    earth->Described = 0;
    EXPECT_FALSE(coil->OpenDataDialog());
    EXPECT_EQ(coil->Described, 0);
    EXPECT_FALSE(earth->OpenDataDialog());
    EXPECT_EQ(earth->Described, 1);
    EXPECT_EQ(terminal->Describe().Sheet.Use, TSheetUse::Nothing);
}

}  // namespace
