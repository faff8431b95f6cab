// The classification pass: what each chosen component marks in the tables
// the design stages read.
#include <gtest/gtest.h>

#include <vector>

#include "autodesign/engine.h"
#include "cells/cell.h"
#include "core/libraries.h"
#include "support/design_components.h"
#include "support/globals_fixture.h"

namespace {

constexpr uint32_t Substation = 0x2, Line = 0x4, LastOfLine = 0x10;

class AvailabilityTest : public GlobalsTest {
protected:
    AvailabilityTest() : engine(&globals.Reporter()), add(*engine.Components) {}
    // The marked entries of a table, as (inputs, outputs) pairs.
    template <class Table>
    static std::vector<std::pair<int, int>> Marked(const Table& t) {
        std::vector<std::pair<int, int>> found;
        for (size_t i = 0; i < t.size(); ++i)
            for (size_t o = 0; o < t[i].size(); ++o)
                if (t[i][o]) found.emplace_back(static_cast<int>(i), static_cast<int>(o));
        return found;
    }
    using Marks = std::vector<std::pair<int, int>>;
    TCreaAuto engine;
    DesignComponents add;
};

TEST_F(AvailabilityTest, OneListFiledIntoItsTables) {
    add.Splitter(2, 4, 4.2f, 6.0f);
    add.Splitter(2, 4, 3.8f, LevelNone);
    add.Splitter(1, 3, LevelNone, 5.0f, TPowerKind::PassesDc);
    add.Tap(6, 1, 2, TPowerKind::PassesDc);
    add.Tap(6, 1, 4);
    add.Tap(49, 1, 6);
    add.Tap(50, 2, 8);
    add.Switch(10, 5, 12, Line, "Altro", TPowerKind::FeedsInputs);
    add.Switch(10, 9, 0, 0, "Varne");
    add.Switch(47, 4, 16, LastOfLine, "", TPowerKind::None, -2.0f);
    add.Switch(47, 4, 8, 0, "", TPowerKind::None, 3.5f);
    add.Amplifier(21, 1, Line, 100.0f, 90.0f);
    add.Amplifier(22, 4, Substation, 110.0f, 115.0f);
    add.Amplifier(21, 0, Substation, 120.0f, 120.0f);  // no input to read a level from
    add.Amplifier(21, 20, Line, 120.0f, 120.0f);       // outside the tables
    add.Splitter(1, 11, 1.0f, 1.0f);                   // outside the tables
    add.Switch(10, 2, 41);                             // outside the tables
    engine.ClassifyComponents();

    EXPECT_EQ(Marked(engine.SplitterAvail), (Marks{{1, 0}, {1, 3}, {2, 0}, {2, 4}}));
    EXPECT_EQ(Marked(engine.SplitterDcAvail), (Marks{{1, 0}, {1, 3}}));
    EXPECT_FLOAT_EQ(engine.SplitterLossTer[2][4], 3.8f);
    EXPECT_FLOAT_EQ(engine.SplitterLossSat[2][4], 6.0f);
    EXPECT_FLOAT_EQ(engine.SplitterLossTer[1][3], 1000.0f);  // a "no value" loss
    EXPECT_FLOAT_EQ(engine.SplitterLossSat[1][3], 5.0f);
    EXPECT_EQ(Marked(engine.TapAvail), (Marks{{1, 0}, {1, 2}, {1, 4}}));
    EXPECT_EQ(Marked(engine.TapDcAvail), (Marks{{1, 0}, {1, 2}}));
    EXPECT_EQ(Marked(engine.TapNAvail), (Marks{{1, 0}, {1, 6}}));
    EXPECT_EQ(Marked(engine.TapSAvail), (Marks{{2, 0}, {2, 8}}));

    EXPECT_EQ(Marked(engine.SwitchAvail), (Marks{{0, 0}, {0, 12}, {5, 0}, {5, 12}, {9, 0}}));
    EXPECT_EQ(Marked(engine.SwitchPoweredAvail), (Marks{{0, 12}, {5, 0}, {5, 12}}));
    EXPECT_EQ(Marked(engine.SwitchUnpoweredAvail), (Marks{{0, 0}, {9, 0}}));
    EXPECT_EQ(Marked(engine.SwitchLineAvail), (Marks{{0, 12}, {5, 0}, {5, 12}}));
    EXPECT_EQ(engine.OwnBrandSwitch, 1);
    EXPECT_EQ(Marked(engine.RadialSwitchAvail), (Marks{{0, 8}, {0, 16}, {4, 0}, {4, 8}, {4, 16}}));
    EXPECT_EQ(Marked(engine.RadialSwitchUnpoweredAvail), Marked(engine.RadialSwitchAvail));
    EXPECT_TRUE(Marked(engine.RadialSwitchPoweredAvail).empty());
    EXPECT_EQ(Marked(engine.RadialSwitchLastAvail), (Marks{{0, 16}, {4, 0}, {4, 16}}));
    EXPECT_TRUE(Marked(engine.RadialSwitchLineAvail).empty());
    EXPECT_FLOAT_EQ(engine.RadialSwitchLossSat[4][16], 1000.0f);  // a negative loss
    EXPECT_FLOAT_EQ(engine.RadialSwitchLossSat[4][8], 3.5f);

    EXPECT_EQ(engine.AmpAvail21[1], 1);
    EXPECT_EQ(engine.AmpAvail21[0], 1);
    EXPECT_EQ(engine.AmpAvail22[4], 1);
    EXPECT_EQ(engine.LineAmpAvail[1], 1);
    EXPECT_EQ(engine.LineAmpAvail[4], 0);
    EXPECT_FLOAT_EQ(engine.SubstationLevelTer[4], 110.0f);
    EXPECT_FLOAT_EQ(engine.SubstationLevelSat[4], 115.0f);
    EXPECT_FLOAT_EQ(engine.SubstationLevelTer[1], 0.0f);
    EXPECT_FLOAT_EQ(engine.SubstationLevelTer[0], 0.0f);
    EXPECT_FLOAT_EQ(engine.SubstationLevelSat[0], 0.0f);

    for (TCella* c = engine.Components->head; c; c = c->NextInList) EXPECT_EQ(c->Described, 1) << c->Code;
}

TEST_F(AvailabilityTest, SubstationLevelsReadInputZeroAndTheLastInput) {
    TCella* amp = add.Amplifier(21, 3, Substation | Line, 100.0f, 100.0f);
    amp->Attenuation->Set3(0, 6, 5, 104.0f);
    amp->Attenuation->Set3(2, 6, 9, 117.0f);
    amp->Attenuation->Set3(0, 6, 9, 130.0f);  // another input's satellite level
    engine.ClassifyComponents();
    EXPECT_FLOAT_EQ(engine.SubstationLevelTer[3], 104.0f);
    EXPECT_FLOAT_EQ(engine.SubstationLevelSat[3], 117.0f);
    EXPECT_EQ(engine.LineAmpAvail[3], 1);
}

TEST_F(AvailabilityTest, MixersSplittingTheBands) {
    const auto ter = DesignComponents::TerSlots();
    const std::vector<int32_t> terAll = {1, 2, 3, 4, 5};
    const std::vector<int32_t> sat = {6, 7, 8, 9};
    {
        SCOPED_TRACE("three inputs, then terrestrial on input 1, then a plain one");
        engine.Components->Clear();
        add.Mixer(3, terAll, sat);
        TCella* swapped = add.Mixer(2, sat, terAll);
        add.Mixer(2, terAll, sat);
        engine.ClassifyComponents();
        EXPECT_EQ(engine.MixerCell, swapped);
        EXPECT_EQ(engine.MixerSwapped, swapped);
        // Terrestrial is now on input 0.
        for (int32_t b : terAll) EXPECT_GE(swapped->Attenuation->Get3(0, 0, b), 0.0f) << b;
        for (int32_t b : sat) EXPECT_GE(swapped->Attenuation->Get3(0, 1, b), 0.0f) << b;
        EXPECT_LT(swapped->Attenuation->Get3(0, 1, 3), 0.0f);
    }
    {
        SCOPED_TRACE("of two fitting mixers the first counts; a mixer missing FM fits neither way");
        engine.Components->Clear();
        add.Mixer(2, ter, sat);
        TCella* first = add.Mixer(2, terAll, sat);
        add.Mixer(2, terAll, sat);
        engine.ClassifyComponents();
        EXPECT_EQ(engine.MixerCell, first);
        EXPECT_EQ(engine.MixerSwapped, nullptr);
    }
}

TEST_F(AvailabilityTest, CustomModelCellMatchesOnlyASetCode) {
    add.Custom("CT-100");
    TCella* second = add.Custom("CT-100");
    engine.ClassifyComponents();
    EXPECT_EQ(engine.CustomModelCell, nullptr);  // no code set: nothing matches
    engine.CustomModelCode = "CT-100";
    engine.ClassifyComponents();
    EXPECT_EQ(engine.CustomModelCell, second);
}

}  // namespace
