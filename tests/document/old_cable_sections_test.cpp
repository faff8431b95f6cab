// Grid sections of older files that hold old cable cells: each becomes its
// cable segments on the grid, and the grid writes segments from then on.
#include <gtest/gtest.h>

#include <memory>

#include "cells/cables.h"
#include "core/file.h"
#include "document/grid.h"
#include "document/signs.h"
#include "support/globals_fixture.h"
#include "support/old_cable_records.h"
#include "support/record_bytes.h"

namespace {

constexpr int32_t GridSection = 205;

class OldCableSectionsTest : public GlobalsTest {};

TEST_F(OldCableSectionsTest, OldCablesBecomeSegments) {
    const int32_t version = 40000;
    RecordBytes section;
    section.I32(GridSection).I32(GridNetwork).I32(12).I32(12);
    section.I32(SignBlockTag).I32(SignBlockTag);
    OldCableRecord twoCables;  // a straight piece carrying both cables
    twoCables.Column = 5;
    twoCables.Row = 5;
    section.Raw(twoCables.Whole(CodeOldCableStraight, version).Bytes());
    OldCableRecord bend;  // a bend: its first cable only
    bend.Column = 6;
    bend.Row = 5;
    bend.Bend = 1;
    bend.Orientation = 2;
    section.Raw(bend.Whole(CodeOldCableBend, version).Bytes());
    OldCableRecord secondOnly;  // a straight piece carrying only the vertical cable
    secondOnly.Column = 5;
    secondOnly.Row = 6;
    secondOnly.HasFirst = 0;
    section.Raw(secondOnly.Whole(CodeOldCableStraight, version).Bytes());
    section.I32(GridSection);

    TGridData grid(nullptr, 12, 12, GridNetwork);
    TMemoryStream s(section.Bytes());
    s.SetPosition(16);
    AnsiString problem;
    ASSERT_TRUE(grid.Load(s, version, &problem)) << problem;

    auto* across = dynamic_cast<TNCavo*>(grid.CellAt(5, 5));
    ASSERT_NE(across, nullptr);
    EXPECT_EQ(across->Orientation, 1);
    EXPECT_EQ(across->Description, "Primo");
    auto* crossing = dynamic_cast<TNCavo*>(across->Overlay);
    ASSERT_NE(crossing, nullptr);
    EXPECT_EQ(crossing->Orientation, 0);
    EXPECT_EQ(crossing->Description, "Secondo");
    EXPECT_FLOAT_EQ(crossing->PassAttenuation(), 7.0f);
    // Below version 50000 the first cable's "no value" codes became sentinels.
    EXPECT_EQ(across->Price, LevelNone);
    auto* turn = dynamic_cast<TNCavo*>(grid.CellAt(6, 5));
    ASSERT_NE(turn, nullptr);
    EXPECT_EQ(turn->Bend, 1);
    EXPECT_EQ(turn->Orientation, 2);
    EXPECT_EQ(turn->Overlay, nullptr);
    auto* down = dynamic_cast<TNCavo*>(grid.CellAt(5, 6));
    ASSERT_NE(down, nullptr);
    EXPECT_EQ(down->Orientation, 0);
    EXPECT_EQ(down->Overlay, nullptr);

    // Written again, the grid holds segments only.
    TMemoryStream out;
    grid.Save(out, 60000);
    TGridData again(nullptr, 12, 12, GridNetwork);
    TMemoryStream in(out.Bytes());
    in.SetPosition(16);
    ASSERT_TRUE(again.Load(in, 60000, &problem)) << problem;
    int segments = 0;
    for (int32_t c = 0; c < 12; ++c)
        for (int32_t r = 0; r < 12; ++r)
            for (TCella* cell = again.CellAt(c, r); cell; cell = cell->Overlay) {
                EXPECT_NE(dynamic_cast<TNCavo*>(cell), nullptr);
                ++segments;
            }
    EXPECT_EQ(segments, 4);
}

}  // namespace
