// The designer's model choice for taps and splitters, on hand-built lists of
// library cells linked through NextInList.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "cells/splitters.h"
#include "cells/taps.h"
#include "core/reporter.h"
#include "platform/application.h"
#include "support/globals_fixture.h"
#include "support/pass_cells.h"
#include "support/stand_in.h"

namespace {

constexpr int Band = 5;

// An end of a line with a fixed reach window, recording what the designer's
// passes hand it.
class TFineProva : public TCella {
public:
    // Answers the grid's questions as the class of its type code would.
    TCellDescription Describe() const override { return StandInDescription(*this); }
    explicit TFineProva(TFinestra reach) : TCella(nullptr, 0, 0, 0, 0, 1, 0, 0) {
        SetPortCounts();
        ResetAuxLevels();
        for (auto& w : ReachLevels[0]) w = reach;
    }
    bool ChooseModel(TCella*, int32_t mode, uint32_t stamp, TProgressBar*, int32_t, int32_t) override {
        if (stamp <= PassStamp) return true;
        PassStamp = stamp;
        chooseMode = mode;
        return chooses;
    }
    void EvaluateModel(TCella*, int32_t mode, float level, uint32_t stamp, int32_t) override {
        if (stamp <= PassStamp) return;
        PassStamp = stamp;
        evaluateMode = mode;
        evaluated = level;
    }
    bool chooses = true;
    int32_t chooseMode = -1;
    int32_t evaluateMode = -1;
    float evaluated = LevelNone;
};

// A list of library cells, linked through NextInList in the order given.
class Candidates {
public:
    TCella* Add(std::unique_ptr<TCella> made, const char* code) {
        TCella* cell = made.get();
        cell->Code = code;
        cell->Described = 1;
        if (!cells_.empty()) cells_.back()->NextInList = cell;
        cells_.push_back(std::move(made));
        return cell;
    }
    // A one-line tap model with its tap and through losses in every band.
    TCella* Tap(const char* code, float tapLoss, float throughLoss, int32_t outputs = 2) {
        auto c = std::make_unique<TDerivatore>(nullptr, 0, 0, 0, 0, 1, outputs);
        for (int b = 0; b < BandSlots; ++b) {
            c->Attenuation->Set3(0, TapLossColumn, b, tapLoss);
            c->Attenuation->Set3(0, TapThroughColumn, b, throughLoss);
        }
        return Add(std::move(c), code);
    }
    TCella* Splitter(const char* code, float loss, int32_t outputs = 2) {
        auto c = std::make_unique<TDivisore>(nullptr, 0, 0, 0, 0, 1, outputs);
        for (int b = 0; b < BandSlots; ++b) c->Attenuation->Set3(0, TapLossColumn, b, loss);
        return Add(std::move(c), code);
    }
    TCella* First() const { return cells_.empty() ? nullptr : cells_.front().get(); }

private:
    std::vector<std::unique_ptr<TCella>> cells_;
};

// A one-line tap with two user outputs: its through line reaches at most
// 20 dB (18 at least), its users 15 and 12.
struct TapNet {
    TDerivatore tap{nullptr, 0, 0, 0, 0, 1, 2};
    TFineProva through{{18, 20}}, user0{{10, 15}}, user1{{8, 12}};
    TapNet() {
        tap.SequenceNumber = 3;
        LinkCells(tap, 0, through, 0);
        LinkCells(tap, 1, user0, 0);
        LinkCells(tap, 2, user1, 0);
    }
};

class TapChoice : public GlobalsTest {
protected:
    void SetUp() override { globals.Reporter().SetTarget(nullptr); }
    AnsiString Shown() const {
        const auto& boxes = Application->Script().MessageBoxes;
        EXPECT_LE(boxes.size(), 1u);
        return boxes.empty() ? AnsiString() : boxes.front().Text;
    }
};

TEST_F(TapChoice, TheLeastNeedIsTakenAndCloseNeedsKeepTheLargerTapLoss) {
    // need = max(15 + tap loss, 20 + through loss)
    struct Case {
        const char* what;
        std::vector<std::tuple<const char*, float, float>> models;
        const char* expected;
    };
    // clang-format off
    const Case cases[] = {
        {"least need", {{"A", 10, 3}, {"B", 14, 2}, {"C", 8, 6}, {"D", 12, 1}}, "A"},   // 25, 29, 26, 27
        {"the through line decides", {{"A", 12, 1}, {"C", 8, 6}, {"E", 9, 5}}, "E"},     // 27, 26, 25
        {"within 0.1 dB the larger tap loss", {{"A", 10, 3}, {"F", 10.05f, 3}}, "F"},   // 25, 25.05
        {"a negative need is not taken", {{"N", -20, -25}, {"A", 10, 3}}, "A"},         // -5, 25
        {"a clearly smaller need wins", {{"F", 10.05f, 3}, {"G", 9.8f, 3}}, "G"},       // 25.05, 24.8
    };
    // clang-format on
    for (const Case& c : cases) {
        TapNet n;
        Candidates list;
        for (const auto& [code, a, p] : c.models) list.Tap(code, a, p);
        list.Tap("other kind", 0, 0, 3);  // not the same kind: never taken
        EXPECT_TRUE(n.tap.ChooseModel(list.First(), 0, NextPassNumber(), nullptr, Band, 0)) << c.what;
        EXPECT_EQ(n.tap.Code, c.expected) << c.what;
        EXPECT_EQ(n.tap.Described, 1) << c.what;
    }
    EXPECT_EQ(Shown(), "");
}

TEST_F(TapChoice, TheChoiceAsksDownstreamFirstAndOffersTheLevelToSpare) {
    TapNet n;
    Candidates list;
    list.Tap("F", 10.05f, 3);
    n.tap.Choice1 = 1;  // its connector replaces the low bits of the mode
    ASSERT_TRUE(n.tap.ChooseModel(list.First(), 0x3 | 0x400, NextPassNumber(), nullptr, Band, 0));
    EXPECT_EQ(n.through.chooseMode, 0x401);
    EXPECT_EQ(n.user0.chooseMode, 0x421);  // user lines are asked with 0x20
    EXPECT_EQ(n.user1.chooseMode, 0x421);
    // best = 25.05: the through line gets 25.05 - 3 = 22.05 (2.05 above its 20);
    // the users get 15.0, which is 3 above user 1's 12 but nothing above user 0's 15.
    EXPECT_NEAR(n.through.evaluated, 22.05, 1e-4);
    EXPECT_EQ(n.through.evaluateMode, 0x401);
    EXPECT_EQ(n.user0.evaluated, LevelNone);
    EXPECT_NEAR(n.user1.evaluated, 15.0, 1e-4);
    EXPECT_EQ(n.user1.evaluateMode, 0x421);
    // Users (8, 15) + 10.05, through (18, 20) + 3.
    EXPECT_NEAR(n.tap.ReachLevels[0][Band].Min, 18.05, 1e-4);
    EXPECT_NEAR(n.tap.ReachLevels[0][Band].Max, 25.05, 1e-4);
    // The same stamp again chooses nothing.
    n.tap.Code = "";
    EXPECT_TRUE(n.tap.ChooseModel(list.First(), 0, n.tap.PassStamp, nullptr, Band, 0));
    EXPECT_EQ(n.tap.Code, "");
}

TEST_F(TapChoice, ModelsTheModeRulesOut) {
    struct Case {
        const char* what;
        int32_t mode;
        bool supplied;  // the model passes power to its user outputs
        float band5Loss;
        bool taken;
    };
    // clang-format off
    const Case cases[] = {
        {"plain", 0, false, 10, true},
        {"power to the users needed", 0x8, false, 10, false},
        {"power to the users given", 0x8, true, 10, true},
        {"band 5 needed and missing", 0x400, false, LevelNone, false},
        {"band 5 needed and given", 0x400, false, 10, true},
    };
    // clang-format on
    for (const Case& c : cases) {
        TapNet n;
        Candidates list;
        TCella* model = list.Tap("M", 10, 3);
        model->Attenuation->Set3(0, TapLossColumn, 5, c.band5Loss);
        if (c.supplied) model->Power[PowerSupply][3] = AllBits;
        Application->Script().MessageBoxes.clear();
        globals.Reporter().SetTarget(nullptr);
        // Band 4 is the band of the choice; band 5 only qualifies the model.
        EXPECT_EQ(n.tap.ChooseModel(list.First(), c.mode, NextPassNumber(), nullptr, 4, 0), c.taken)
            << c.what;
        EXPECT_EQ(n.tap.Code, c.taken ? "M" : "") << c.what;
    }
}

TEST_F(TapChoice, NoCandidateIsReportedWithTheShortCode) {
    TapNet n;
    Candidates list;
    list.Tap("other kind", 10, 3, 4);
    EXPECT_FALSE(n.tap.ChooseModel(list.First(), 0, NextPassNumber(), nullptr, Band, 0));
    EXPECT_EQ(Shown(), "Non vi sono componenti selezionabili per il derivatore R3");
    EXPECT_EQ(n.tap.Described, 0);

    Application->Script().MessageBoxes.clear();
    globals.Reporter().SetTarget(nullptr);
    TDivisore splitter(nullptr, 0, 0, 0, 0, 1, 2);
    splitter.SequenceNumber = 2;
    EXPECT_FALSE(splitter.ChooseModel(list.First(), 0, NextPassNumber(), nullptr, Band, 0));
    EXPECT_EQ(Shown(), "Non vi sono componenti selezionabili per il divisore D2");
}

TEST_F(TapChoice, ALineThatFindsNoModelFailsTheChoiceWithoutAMessageOfTheTap) {
    Candidates list;
    list.Tap("A", 10, 3);
    {
        TapNet n;
        n.user1.chooses = false;
        EXPECT_FALSE(n.tap.ChooseModel(list.First(), 0, NextPassNumber(), nullptr, Band, 0));
        EXPECT_EQ(n.tap.Code, "");  // it stopped before choosing
    }
    {
        // The through line failing is a failure too, though the tap still takes its model.
        TapNet n;
        n.through.chooses = false;
        EXPECT_FALSE(n.tap.ChooseModel(list.First(), 0, NextPassNumber(), nullptr, Band, 0));
        EXPECT_EQ(n.tap.Code, "A");
    }
    {
        // A walk that chooses nothing asks downstream only.
        TapNet n;
        EXPECT_TRUE(n.tap.ChooseModel(list.First(), 0x40, NextPassNumber(), nullptr, Band, 0));
        EXPECT_EQ(n.tap.Code, "");
        EXPECT_EQ(n.user0.chooseMode & 0x60, 0x60);
    }
    EXPECT_EQ(Shown(), "");
}

TEST_F(TapChoice, ASplitterAsksItsOutputsWithTheModeAsReceived) {
    TDivisore splitter(nullptr, 0, 0, 0, 0, 1, 2);
    TFineProva a({5, 9}), b({4, 7});
    LinkCells(splitter, 0, a, 0);
    LinkCells(splitter, 1, b, 0);
    Candidates list;
    list.Splitter("S4", 4);
    list.Splitter("S3", 3.5f);
    list.Tap("T", 3, 1);  // a tap is not a splitter
    ASSERT_TRUE(splitter.ChooseModel(list.First(), 0x400, NextPassNumber(), nullptr, Band, 0));
    EXPECT_EQ(a.chooseMode, 0x403);  // no 0x20 on the way down
    EXPECT_EQ(splitter.Code, "S3");  // need 9 + 3.5 below 9 + 4
    // best 12.5 - 3.5 = 9: 2 above b's 7, nothing above a's 9; the offer carries 0x20.
    EXPECT_NEAR(b.evaluated, 9.0, 1e-4);
    EXPECT_EQ(b.evaluateMode, 0x423);
    EXPECT_EQ(a.evaluated, LevelNone);
}

TEST_F(TapChoice, MoreLevelThanNeededTakesALargerTapLossStepByStep) {
    TapNet n;
    for (int b = 0; b < BandSlots; ++b) {
        n.tap.Attenuation->Set3(0, TapLossColumn, b, 10);
        n.tap.Attenuation->Set3(0, TapThroughColumn, b, 3);
    }
    // 40 arrives; users need at most 15: 15 dB to spare over the loss of 10.
    Candidates list;
    list.Tap("K14", 14, 2);  // +4: taken, 11 to spare
    list.Tap("K12", 12, 2);  // smaller than the loss now held
    list.Tap("K20", 20, 1);  // +6: taken, 5 to spare
    list.Tap("K26", 26, 1);  // +6: more than is to spare
    n.tap.EvaluateModel(list.First(), 0, 40, NextPassNumber(), Band);
    EXPECT_EQ(n.tap.Code, "K20");
    EXPECT_NEAR(n.through.evaluated, 39.0, 1e-4);  // 40 less the new through loss
    EXPECT_NEAR(n.user0.evaluated, 20.0, 1e-4);    // 40 less the new tap loss
    EXPECT_EQ(n.user0.evaluateMode & 0x20, 0x20);
    EXPECT_EQ(n.through.evaluateMode & 0x20, 0);
}

TEST_F(TapChoice, TheModelForAnAttenuationHasTheLeastTapLoss) {
    TDerivatore tap(nullptr, 0, 0, 0, 0, 1, 2);
    Candidates list;
    list.Tap("A10", 10, 2);
    list.Tap("A8", 8, 3);
    list.Tap("A8b", 8.05f, 4);       // as good, and passes more on the through line
    list.Tap("none", LevelNone, 1);  // no tap loss: skipped
    list.Tap("blocked", LevelBlocked, 1);
    EXPECT_TRUE(tap.FindModelForAttenuation(list.First(), Band, false, false));
    EXPECT_EQ(tap.Code, "A8b");
    EXPECT_EQ(tap.Attenuation->Get3(0, TapLossColumn, Band), 8.05f);

    TDerivatore other(nullptr, 0, 0, 0, 0, 1, 5);
    EXPECT_FALSE(other.FindModelForAttenuation(list.First(), Band, false, false));

    // A two-line tap above band 5 looks at line 2.
    TDerivatore two(nullptr, 0, 0, 0, 0, 2, 2);
    Candidates pair;
    for (auto [code, line2] : {std::pair{"L1", 12.0f}, std::pair{"L2", 9.0f}}) {
        auto c = std::make_unique<TDerivatore>(nullptr, 0, 0, 0, 0, 2, 2);
        for (int b = 0; b < BandSlots; ++b) {
            c->Attenuation->Set3(0, TapLossColumn, b, 5);
            c->Attenuation->Set3(1, TapLossColumn, b, line2);
        }
        pair.Add(std::move(c), code);
    }
    EXPECT_TRUE(two.FindModelForAttenuation(pair.First(), 7, false, false));
    EXPECT_EQ(two.Code, "L2");
}

}  // namespace
