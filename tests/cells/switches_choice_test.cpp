// The designer's model choice for switches, on hand-built lists of library
// switches linked through NextInList: the scored choice, the cascade choice of
// a riser and the choice of a TSwitchN.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "cells/switches.h"
#include "core/reporter.h"
#include "platform/application.h"
#include "support/globals_fixture.h"
#include "support/line_ends.h"
#include "support/pass_cells.h"

namespace {

constexpr int Band = 9;

constexpr uint32_t SecondPass = 0x8;
constexpr uint32_t Cascade = 1u << 24;

// A model: tap loss (line, user output 0) and through loss in every line.
struct Model {
    const char* code;
    float tap, through;
    uint32_t positions = 255;
};

// A list of library switches of one kind, linked in the order given.
class Candidates {
public:
    Candidates(int32_t code, int32_t lines, int32_t outputs, const std::vector<Model>& models) {
        for (const Model& m : models) {
            std::unique_ptr<TSwitch> s;
            if (code == CodeSwitchN || code == CodeSwitchNMatrix)
                s = std::make_unique<TSwitchN>(nullptr, 0, 0, 0, 0, code, lines, outputs);
            else
                s = std::make_unique<TSwitch>(nullptr, 0, 0, 0, 0, code, lines, outputs);
            for (int32_t i = 0; i < lines; ++i)
                for (int b = 0; b < BandSlots; ++b) {
                    s->Attenuation->Set3(i, TapLossColumn, b, m.tap);
                    s->Attenuation->Set3(i, TapThroughColumn, b, m.through);
                }
            s->Code = m.code;
            s->Described = 1;
            s->Positions[0] = m.positions;
            if (!cells_.empty()) cells_.back()->NextInList = s.get();
            cells_.push_back(std::move(s));
        }
    }
    TCella* First() const { return cells_.empty() ? nullptr : cells_.front().get(); }
    TSwitch& operator[](size_t i) { return *cells_[i]; }

private:
    std::vector<std::unique_ptr<TSwitch>> cells_;
};

// A three-line switch with two user outputs: its users reach at most 15 and
// 12 dB, its through lines 18, 19 and 20 dB.
struct SwitchNet {
    TSwitch s{nullptr, 0, 0, 0, 0, CodeSwitch, 3, 2};
    TFineLinea through0{{}, {10, 18}}, through1{{}, {10, 19}}, through2{{}, {10, 20}};
    TFineLinea user0{{}, {10, 15}}, user1{{}, {8, 12}};
    SwitchNet() {
        s.SequenceNumber = 1;
        s.Positions[1] = 0;
        LinkCells(s, 0, through0, 0);
        LinkCells(s, 1, through1, 0);
        LinkCells(s, 2, through2, 0);
        LinkCells(s, 3, user0, 0);
        LinkCells(s, 4, user1, 0);
        TFineLinea::calls = 0;
    }
    bool Choose(Candidates& list, int32_t mode = 0, int32_t level = 0) {
        return s.ChooseModel(list.First(), mode, NextPassNumber(), nullptr, Band, level);
    }
};

class SwitchChoice : public GlobalsTest {
protected:
    void SetUp() override { globals.Reporter().SetTarget(nullptr); }
};

TEST_F(SwitchChoice, TheLeastScoreIsTaken) {
    // score = max(15 + tap loss, 20 + through loss), line 2 and through output 2.
    struct Case {
        const char* what;
        std::vector<Model> models;
        uint32_t secondWord;  // the cell's second Positions word
        int32_t mode;
        const char* expected;
    };
    // clang-format off
    const Case cases[] = {
        {"least score", {{"A", 10, 3}, {"B", 14, 2}, {"C", 8, 6}}, 0, 0, "A"},           // 25, 29, 26
        {"the through line decides", {{"A", 12, 1}, {"C", 8, 6}, {"E", 9, 4}}, 0, 0, "E"},  // 27, 26, 24
        {"within 0.1 dB the larger tap loss", {{"A", 10, 3}, {"F", 10.05f, 3}}, 0, 0, "F"},
        {"a clearly smaller score wins", {{"F", 10.05f, 3}, {"G", 9.8f, 3}}, 0, 0, "G"},
        {"below -20 dB a later model is not taken", {{"A", 10, 3}, {"N", -40, -45}}, 0, 0, "A"},   // -25
        {"down to -20 dB it is", {{"A", 10, 3}, {"M", -30, -35}}, 0, 0, "M"},                       // -15
        {"not for the line: skipped", {{"A", 10, 3, 255u & ~PositionLine}, {"B", 14, 2}}, 0, 0, "B"},
        {"second pass without the position test", {{"A", 10, 3, 255u & ~PositionLine}, {"B", 14, 2}},
         SecondPass, 0, "A"},
        {"no second pass for a given target", {{"A", 10, 3, 255u & ~PositionLine}, {"B", 14, 2}},
         SecondPass, 0x10, "B"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SwitchNet n;
        n.s.Positions[1] = c.secondWord;
        Candidates list(CodeSwitch, 3, 2, c.models);
        EXPECT_TRUE(n.Choose(list, c.mode)) << c.what;
        EXPECT_EQ(n.s.Code, c.expected) << c.what;
        EXPECT_EQ(n.s.Described, 1) << c.what;
    }
}

TEST_F(SwitchChoice, NeighboursChooseFirstAndTakeLargerLossesWhereLevelIsToSpare) {
    SwitchNet n;
    Candidates list(CodeSwitch, 3, 2, {{"A", 10, 3}});
    ASSERT_TRUE(n.Choose(list));
    // Users without the low bits, the cell's connector bits and 0x8; through
    // lines with 0x14, the first in band 5 and the others in band 9.
    EXPECT_EQ(n.user0.chooseMode, 0x3 | 0x8);
    EXPECT_EQ(n.through0.chooseMode, 0x3 | 0x14);
    EXPECT_EQ(n.through0.chooseBand, 5);
    EXPECT_EQ(n.through1.chooseBand, 9);
    EXPECT_EQ(n.through2.chooseBand, 9);
    // Score 25: 25 - 3 = 22 at through output 2 (reach 20): 2 dB to spare;
    // 25 - 10 = 15 at the users: user 1 (12) is offered it, user 0 (15) not.
    EXPECT_FLOAT_EQ(n.through2.evaluated, 22.0f);
    EXPECT_EQ(n.through2.evaluateMode, 0x3 | 0x10);
    EXPECT_EQ(n.through1.evaluated, LevelNone);
    EXPECT_FLOAT_EQ(n.user1.evaluated, 15.0f);
    EXPECT_EQ(n.user1.evaluateMode, 0x3 | 0x8);
    EXPECT_EQ(n.user0.evaluated, LevelNone);
    // The reach windows follow the model: users (8, 15) + 10, through 2 (10, 20) + 3.
    EXPECT_FLOAT_EQ(n.s.ReachLevels[2][Band].Min, 13.0f);
    EXPECT_FLOAT_EQ(n.s.ReachLevels[2][Band].Max, 25.0f);
    // A band below the satellite bands is chosen in band 9; a termination on
    // an input chooses first, from the output side.
    SwitchNet m;
    TFineLinea closing;
    closing.TypeCode = CodeTermination;
    closing.NumOutputs = 1;  // an end that closes the line above input 2
    LinkCells(closing, 0, m.s, 1);
    ASSERT_TRUE(m.s.ChooseModel(list.First(), 0, NextPassNumber(), nullptr, 2, 0));
    EXPECT_EQ(m.user0.chooseBand, 9);
    EXPECT_EQ(closing.chooseMode, 0x3 | 0x4);
    EXPECT_LT(closing.chosenAs, m.user0.chosenAs);
}

TEST_F(SwitchChoice, FailuresAndTheMessage) {
    {
        SwitchNet n;
        Candidates none(CodeSwitch, 3, 2, {{"A", 10, 3, 0}});
        EXPECT_FALSE(n.Choose(none));
        EXPECT_EQ(ShownMessage(), "Non vi sono componenti selezionabili per lo switch S1");
        EXPECT_EQ(n.s.Described, 0);
    }
    Application->Script().MessageBoxes.clear();
    {
        // A user output that fails ends the choice, without a message of the switch's own.
        SwitchNet n;
        n.user1.chooses = false;
        Candidates list(CodeSwitch, 3, 2, {{"A", 10, 3}});
        EXPECT_FALSE(n.Choose(list));
        EXPECT_EQ(n.s.Code, "");
        EXPECT_EQ(ShownMessage(), "");
    }
    {
        // Without power feeding (0x20) a model that feeds its lines is skipped.
        SwitchNet n;
        Candidates list(CodeSwitch, 3, 2, {{"P", 8, 1}, {"A", 10, 3}});
        list[0].Power[PowerSupply][0] = 0x4;
        list[0].Power[PowerFeeds][0] = 0x1;
        EXPECT_TRUE(n.Choose(list, 0x20));
        EXPECT_EQ(n.s.Code, "A");
    }
    {
        // Propagating only (0x40): the neighbours choose, the switch does not.
        SwitchNet n;
        Candidates list(CodeSwitch, 3, 2, {{"A", 10, 3}});
        EXPECT_TRUE(n.Choose(list, 0x40));
        EXPECT_EQ(n.s.Code, "");
        EXPECT_NE(n.through2.chooseMode, -1);
        // Only the last through line's answer counts.
        SwitchNet m;
        m.through2.chooses = false;
        EXPECT_FALSE(m.Choose(list, 0x40));
    }
}

TEST_F(SwitchChoice, CascadeModeFitsTheTapLossToTheLevelThatArrives) {
    // m = 15; with a given level of 40 the tap loss may be up to 25.
    struct Case {
        const char* what;
        std::vector<Model> models;
        int32_t mode, level;
        bool byPositions;  // cascade set by the cell's second Positions word
        const char* expected;
        int32_t passedOn;  // level asked of the switches below
    };
    // clang-format off
    const Case cases[] = {
        {"the largest loss within the target", {{"A", 20, 2}, {"B", 24, 2}, {"C", 26, 2}, {"D", 22, 2}}, 0x810, 40,
         false, "B", 38},   // max(40, 24 + 15) - 2
        {"all above: the smallest", {{"A", 30, 2}, {"B", 27, 1}, {"C", 28, 2}}, 0x810, 40, false, "B", 41},
        {"a later one within replaces one above", {{"A", 30, 2}, {"B", 21, 2}}, 0x810, 40, false, "B", 38},
        {"no target: the largest loss", {{"A", 20, 2}, {"B", 24, 3}}, 0x800, 0, false, "B", 36},   // 24 + 15 - 3
        {"set by the riser's position word", {{"A", 20, 2}, {"B", 24, 3}}, 0, 0, true, "B", 36},
    };
    // clang-format on
    for (const Case& c : cases) {
        SwitchNet n;
        if (c.byPositions) n.s.Positions[1] = Cascade;
        Candidates list(CodeSwitch, 3, 2, c.models);
        EXPECT_TRUE(n.Choose(list, c.mode, c.level)) << c.what;
        EXPECT_EQ(n.s.Code, c.expected) << c.what;
        for (TFineLinea* t : {&n.through0, &n.through1, &n.through2}) {
            EXPECT_EQ(t->chooseLevel, c.passedOn) << c.what;
            EXPECT_EQ(t->chooseMode & 0x14, 0x14) << c.what;
        }
        // Users first, then the through outputs from the last to the first.
        EXPECT_LT(n.user1.chosenAs, n.through2.chosenAs) << c.what;
        EXPECT_LT(n.through2.chosenAs, n.through1.chosenAs) << c.what;
        EXPECT_LT(n.through1.chosenAs, n.through0.chosenAs) << c.what;
        EXPECT_EQ(n.through0.chooseBand, 5) << c.what;
        EXPECT_EQ(n.through2.chooseBand, 9) << c.what;
    }
    // The last through line failing fails the choice, with the message.
    SwitchNet n;
    n.through0.chooses = false;
    Candidates list(CodeSwitch, 3, 2, {{"A", 20, 2}});
    EXPECT_FALSE(n.Choose(list, 0x800));
    EXPECT_EQ(ShownMessage(), "Non vi sono componenti selezionabili per lo switch S1");
}

TEST_F(SwitchChoice, SmallSwitchesReadTheirLastLine) {
    // One line reads line 1, two lines line 2; the other lines' data do not count.
    for (int32_t lines : {1, 2}) {
        TSwitch s(nullptr, 0, 0, 0, 0, CodeSwitch, lines, 2);
        s.Positions[1] = 0;
        std::vector<std::unique_ptr<TFineLinea>> ends;
        for (int32_t out = 0; out < s.NumOutputs; ++out) {
            ends.push_back(std::make_unique<TFineLinea>(TFinestra{}, TFinestra{10, 15}));
            LinkCells(s, out, *ends.back(), 0);
        }
        Candidates list(CodeSwitch, lines, 2, {{"A", 10, 1}, {"B", 12, 1}});
        // On the last line A is the worse model; on line 1 (of two) it would be the better.
        list[0].Attenuation->Set3(lines - 1, TapLossColumn, Band, 20.0f);
        EXPECT_TRUE(s.ChooseModel(list.First(), 0, NextPassNumber(), nullptr, Band, 0)) << lines;
        EXPECT_EQ(s.Code, "B") << lines;
    }
}

// A TSwitchN with two lines and three user outputs reaching 15, 12 and 14.
struct SwitchNNet {
    TSwitchN s{nullptr, 0, 0, 0, 0, CodeSwitchN, 2, 3};
    TFineLinea user0{{}, {10, 15}}, user1{{}, {8, 12}}, user2{{}, {8, 14.5f}};
    SwitchNNet() {
        s.SequenceNumber = 2;
        LinkCells(s, 0, user0, 0);
        LinkCells(s, 1, user1, 0);
        LinkCells(s, 2, user2, 0);
    }
};

TEST_F(SwitchChoice, ASwitchNTakesTheSmallestTapLossForItsPosition) {
    struct Case {
        const char* what;
        std::vector<Model> models;
        int32_t mode;
        const char* expected;
    };
    constexpr uint32_t First = 0x8, Last = 0x10;
    // clang-format off
    const Case cases[] = {
        {"the smallest loss", {{"A", 12, 0, First}, {"B", 10, 0, First}, {"C", 11, 0, First}}, 0, "B"},
        {"a negative loss does not replace", {{"A", 12, 0, First}, {"N", -2, 0, First}}, 0, "A"},
        {"first of line without a target", {{"L", 8, 0, Last}, {"A", 12, 0, First}}, 0, "A"},
        {"last of line with a target", {{"L", 8, 0, Last}, {"A", 12, 0, First}}, 0x10, "L"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SwitchNNet n;
        Candidates list(CodeSwitchN, 2, 3, c.models);
        EXPECT_TRUE(n.s.ChooseModel(list.First(), c.mode, NextPassNumber(), nullptr, Band, 0)) << c.what;
        EXPECT_EQ(n.s.Code, c.expected) << c.what;
    }
    // The users reaching 1 dB or more below the highest (15) are offered 15.
    SwitchNNet n;
    Candidates list(CodeSwitchN, 2, 3, {{"A", 12, 0, First}});
    ASSERT_TRUE(n.s.ChooseModel(list.First(), 0, NextPassNumber(), nullptr, Band, 0));
    EXPECT_FLOAT_EQ(n.user1.evaluated, 15.0f);
    EXPECT_EQ(n.user1.evaluateMode, 0x3 | 0x8);
    EXPECT_EQ(n.user2.evaluated, LevelNone);
    EXPECT_EQ(n.user0.evaluated, LevelNone);
}

TEST_F(SwitchChoice, ASwitchNGoesOnPastAFailingUserOutputAndTheLastOneDecides) {
    SwitchNNet n;
    n.user0.chooses = false;
    Candidates list(CodeSwitchN, 2, 3, {{"A", 12, 0, 0x8}});
    EXPECT_TRUE(n.s.ChooseModel(list.First(), 0, NextPassNumber(), nullptr, Band, 0));
    EXPECT_NE(n.user2.chooseMode, -1);
    EXPECT_EQ(n.s.Code, "A");
    EXPECT_EQ(ShownMessage(), "");

    SwitchNNet m;
    m.user2.chooses = false;
    EXPECT_FALSE(m.s.ChooseModel(list.First(), 0, NextPassNumber(), nullptr, Band, 0));
    EXPECT_EQ(ShownMessage(), "Non vi sono componenti selezionabili per lo switch S2");
}

}  // namespace
