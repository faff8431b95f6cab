// Outlets: port model, passes, separation, data check and the designer's
// model choice.
#include "cells/outlets.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "cells/factory.h"
#include "core/band_systems.h"
#include "core/channel_list.h"
#include "core/globals.h"
#include "core/options.h"
#include "core/reporter.h"
#include "platform/controls.h"
#include "support/globals_fixture.h"
#include "support/line_cells.h"

namespace {

const AnsiString Prefix = "Dati componente errati a causa del seguante problema: ";

void SetColumn(TCella& cell, int32_t column, float value) {
    for (int32_t b = 0; b < BandSlots; ++b) cell.Attenuation->Set3(0, column, b, value);
}

class OutletsTest : public GlobalsTest {
protected:
    void SetUp() override { globals.Reporter().SetTarget(&messages); }
    int MessageCount() const { return messages.Items->Count(); }
    AnsiString Message(int i) const { return messages.Items->Strings(i); }
    float Limit(int32_t band, int kind) const { return Opzioni->limits[band][kind]; }

    TListBox messages;
};

TEST_F(OutletsTest, FactoryAndPortModel) {
    struct Case {
        int32_t asked, code, sockets;
        uint8_t passThrough, terminated;
    };
    const Case cases[] = {
        {14, 14, 2, 0, 0}, {15, 15, 2, 1, 0}, {54, 54, 2, 0, 1}, {41, 14, 3, 0, 0}, {46, 15, 3, 1, 0},
    };
    for (const Case& c : cases) {
        std::unique_ptr<TCella> cell(NewCella(nullptr, c.asked, 1, 2, 5, 5, 2));
        auto* outlet = dynamic_cast<TPresaD*>(cell.get());
        ASSERT_NE(outlet, nullptr) << c.asked;
        EXPECT_EQ(outlet->TypeCode, c.code);
        EXPECT_EQ(outlet->Kind, KindOutlet);
        EXPECT_EQ(outlet->TapOutputs, c.sockets);
        EXPECT_EQ(outlet->PassThrough, c.passThrough);
        EXPECT_EQ(outlet->Terminated, c.terminated);
        // Whatever the sockets: one input, the through output and the socket.
        EXPECT_EQ(outlet->NumInputs, 1);
        EXPECT_EQ(outlet->NumThroughOutputs, 1);
        EXPECT_EQ(outlet->NumTapOutputs, 1);
        EXPECT_EQ(outlet->NumOutputs, 2);
        EXPECT_EQ(outlet->Attenuation->Size3(), 4);
        EXPECT_EQ(outlet->Category, "Prese");
        EXPECT_EQ(outlet->GetTypeName(), "Presa ");
        EXPECT_EQ(outlet->Power[PowerSupply][0], 3u);
        EXPECT_EQ(outlet->Power[PowerSupply][3], 0u);
        EXPECT_EQ(outlet->Power[PowerFeeds][1], AllBits);
        EXPECT_EQ(outlet->Power[PowerRefuses][0], 0u);
    }
}

TEST_F(OutletsTest, RequiredLevelsFromTheSocketLimits) {
    // End outlet without vectors: the options' limits raised by the socket loss.
    TPresaD end(nullptr, 0, 0, 0, 0, CodeEndOutlet, 1);
    SetColumn(end, OutletSocketLoss, 2.0f);
    end.ComputeRequiredLevels({}, {}, NextPassNumber());
    for (int32_t b = 0; b < TCella::CalculationBandCount(); ++b) {
        EXPECT_FLOAT_EQ(end.InputLevels[0][static_cast<size_t>(b)].Min, Limit(b, LimitSigMin) + 2.0f) << b;
        EXPECT_FLOAT_EQ(end.InputLevels[0][static_cast<size_t>(b)].Max, Limit(b, LimitSigMax) + 2.0f) << b;
    }
    // Given vectors replace the options.
    float low[BandSlots], high[BandSlots];
    std::fill(std::begin(low), std::end(low), 40.0f);
    std::fill(std::begin(high), std::end(high), 45.0f);
    end.ComputeRequiredLevels(low, high, NextPassNumber());
    EXPECT_FLOAT_EQ(end.InputLevels[0][3].Min, 42.0f);
    EXPECT_FLOAT_EQ(end.InputLevels[0][3].Max, 47.0f);

    // A pass-through outlet also satisfies the rest of its line: band I asks
    // (60, 80) + 1 at the socket and (60, 80) + 3 through: (63, 81).
    TPresaD through(nullptr, 0, 0, 0, 0, CodePassThroughOutlet, 1);
    SetColumn(through, OutletSocketLoss, 1.0f);
    SetColumn(through, OutletThroughLoss, 3.0f);
    TPozzoProva rest;
    JoinCells(through, OutletThroughOutput, rest, 0);
    through.ComputeRequiredLevels({}, {}, NextPassNumber());
    EXPECT_FLOAT_EQ(through.InputLevels[0][1].Min, 63.0f);
    EXPECT_FLOAT_EQ(through.InputLevels[0][1].Max, 81.0f);
}

TEST_F(OutletsTest, SignalAndChannelsAtTheSocket) {
    for (int32_t code : {CodeEndOutlet, CodePassThroughOutlet}) {
        TSorgenteLinea source;
        TCanale channel;
        channel.name = "21";
        channel.band = 5;
        channel.freqLow = 470.0f;
        channel.freqHigh = 478.0f;
        channel.levelMin = 80.0f;
        channel.levelMax = 90.0f;
        source.SourceChannels->Insert(channel);
        TPresaD outlet(nullptr, 0, 0, 0, 0, code, 1);
        SetColumn(outlet, OutletSocketLoss, 1.0f);
        SetColumn(outlet, OutletThroughLoss, 0.5f);
        JoinCells(source, 0, outlet, 0);
        outlet.ComputeSignalLevels(NextPassNumber());
        EXPECT_FLOAT_EQ(outlet.OutputLevels[OutletSocket][5].Min, 79.0f);
        EXPECT_FLOAT_EQ(outlet.OutputLevels[OutletSocket][5].Max, 89.0f);
        const float throughMin = outlet.OutputLevels[OutletThroughOutput][5].Min;
        if (code == CodePassThroughOutlet)
            EXPECT_FLOAT_EQ(throughMin, 79.5f);
        else
            EXPECT_EQ(throughMin, LevelNone);

        outlet.ComputeChannels(0, 0, NextPassNumber());
        ASSERT_EQ(outlet.ChannelLists[OutletSocket]->Count(), 1);
        EXPECT_FLOAT_EQ(outlet.ChannelLists[OutletSocket]->head->levelMin, 79.0f);
        EXPECT_EQ(outlet.ChannelLists[OutletThroughOutput]->Count(), code == CodePassThroughOutlet ? 1 : 0);
    }
}

TEST_F(OutletsTest, DataCheck) {
    const AnsiString band0 = SistemaBande3->bands[0].bandName;
    struct Case {
        int32_t code;
        float socket, through, reverse;
        bool accepted;
        AnsiString message;
    };
    const std::vector<Case> cases = {
        {CodeEndOutlet, 1.0f, LevelNone, LevelNone, true, ""},
        {CodeTerminatedOutlet, LevelBlocked, LevelNone, LevelNone, true, ""},
        {CodeEndOutlet, LevelNone, LevelNone, LevelNone, false, "Il componente non gestisce alcun segnale."},
        {CodeEndOutlet, LevelRepeat, LevelNone, LevelNone, false, "Atten. di deriv.  [dB]: < non ammesso."},
        {CodePassThroughOutlet, 1.0f, 0.5f, 20.0f, true, ""},
        {CodePassThroughOutlet, 1.0f, LevelNone, 20.0f, false, "Banda " + band0 + " descritta parzialmente."},
        {CodePassThroughOutlet, 1.0f, LevelRepeat, 20.0f, false, "Atten. di passaggio  [dB]: < non ammesso."},
        {CodePassThroughOutlet, 1.0f, 0.5f, LevelRepeat, false, "Atten. inversa  [dB]: < non ammesso."},
    };
    for (const Case& c : cases) {
        messages.Items->Clear();
        TPresaD outlet(nullptr, 0, 0, 0, 0, c.code, 1);
        SetColumn(outlet, OutletSocketLoss, c.socket);
        SetColumn(outlet, OutletThroughLoss, c.through);
        SetColumn(outlet, OutletReverseLoss, c.reverse);
        EXPECT_EQ(outlet.CheckData(Prefix), c.accepted) << c.message;
        if (c.accepted) {
            EXPECT_EQ(MessageCount(), 0);
        } else {
            ASSERT_EQ(MessageCount(), 1) << c.message;
            EXPECT_EQ(Message(0), Prefix + c.message);
        }
    }
}

TEST_F(OutletsTest, SeparationFromTheStartingSocket) {
    // up -> outlet A (pass-through) -> outlet B (end)
    TPozzoProva up;  // stands for what feeds A
    TPresaD a(nullptr, 0, 0, 0, 0, CodePassThroughOutlet, 1);
    TPresaD b(nullptr, 0, 0, 0, 0, CodeEndOutlet, 1);
    SetColumn(a, OutletSocketLoss, 12.0f);
    SetColumn(a, OutletThroughLoss, 1.5f);
    SetColumn(a, OutletReverseLoss, 25.0f);
    SetColumn(b, OutletSocketLoss, 14.0f);
    JoinCells(a, OutletThroughOutput, b, 0);
    a.InputCell[0] = &up;
    a.InputPort[0] = 0;
    for (TCella* cell : {&a, &b}) cell->ClearBandAccumulators(5);

    // From A's socket: the reverse loss reaches B's input, which keeps its
    // socket's result; the socket loss goes upstream.
    a.SeparationOutlet[5] = 0.0f;
    a.PushSeparation(OutletSocket, 5, 10000.0f);
    EXPECT_FLOAT_EQ(up.LastValue, 12.0f);
    EXPECT_FLOAT_EQ(b.SeparationBest[5], 25.0f);
    EXPECT_FLOAT_EQ(b.SeparationOutlet[5], 39.0f);

    // From B's socket up to A's through output: A's socket gets the reverse loss.
    for (TCella* cell : {&a, &b}) cell->ClearBandAccumulators(5);
    b.SeparationOutlet[5] = 0.0f;
    b.PushSeparation(OutletSocket, 5, 10000.0f);
    EXPECT_FLOAT_EQ(a.SeparationBest[5], 14.0f);
    EXPECT_FLOAT_EQ(a.SeparationOutlet[5], 39.0f);
    EXPECT_FLOAT_EQ(up.LastValue, 15.5f);
}

TEST_F(OutletsTest, ReachWindowsAndMinDownstreamValue) {
    TPresaD end(nullptr, 0, 0, 0, 0, CodeEndOutlet, 1);
    SetColumn(end, OutletSocketLoss, 4.0f);
    end.ComputeReachWindows();
    EXPECT_FLOAT_EQ(end.ReachLevels[0][7].Min, 4.0f);
    EXPECT_FLOAT_EQ(end.ReachLevels[0][7].Max, 4.0f);
    EXPECT_EQ(end.MinDownstreamValue(50.0f, 5, true, nullptr, 0, 0), 0.0f);

    TPresaD through(nullptr, 0, 0, 0, 0, CodePassThroughOutlet, 1);
    SetColumn(through, OutletSocketLoss, 4.0f);
    SetColumn(through, OutletThroughLoss, 1.0f);
    TPozzoProva rest;  // reach (3, 5)
    JoinCells(through, OutletThroughOutput, rest, 0);
    rest.ReachLevels[0].fill(TFinestra{3.0f, 5.0f});
    through.ComputeReachWindows();
    EXPECT_FLOAT_EQ(through.ReachLevels[0][7].Min, 4.0f);
    EXPECT_FLOAT_EQ(through.ReachLevels[0][7].Max, 6.0f);
}

// ---- The designer's model choice ----

class OutletChoiceTest : public OutletsTest {
protected:
    // A library outlet of the given kind, linked into the candidate list.
    TPresaD* Candidate(int32_t code, float socket, float through = 0.5f, uint8_t connector = 0,
                       bool passesDc = false) {
        auto made = std::make_unique<TPresaD>(nullptr, 0, 0, 0, 0, code, 1);
        auto* c = made.get();
        SetColumn(*c, OutletSocketLoss, socket);
        SetColumn(*c, OutletThroughLoss, through);
        c->Choice3 = connector;
        if (passesDc) c->Power[PowerSupply][0] |= 4;
        c->Described = 1;
        if (!owned.empty()) owned.back()->NextInList = c;
        owned.emplace_back(std::move(made));
        return c;
    }
    TCella* List() { return owned.empty() ? nullptr : owned.front().get(); }

    std::vector<std::unique_ptr<TCella>> owned;
};

TEST_F(OutletChoiceTest, EndOutletTakesTheLeastSocketLoss) {
    struct Case {
        int32_t mode;
        uint8_t ownConnector;
        float taken;  // socket loss of the candidate taken, LevelNone for none
    };
    Candidate(CodeEndOutlet, 3.0f, 0.5f, 0);
    Candidate(CodeEndOutlet, 1.5f, 0.5f, 2);
    Candidate(CodeEndOutlet, 2.0f, 0.5f, 1);
    Candidate(CodeEndOutlet, 0.5f, 0.5f, 1, true);
    Candidate(CodePassThroughOutlet, 0.1f);
    // clang-format off
    const Case cases[] = {
        {0x80, 255, 1.5f},
        {0, 255, 1.5f},
        {0, 0, 3.0f},
        {0x100, 255, 2.0f},
        {0x80 | 0x8, 255, 0.5f},
        {0x100 | 0x8, 255, 0.5f},
        {0, 7, LevelNone},
    };
    // clang-format on
    for (const Case& c : cases) {
        messages.Items->Clear();
        TPresaD outlet(nullptr, 0, 0, 0, 0, CodeEndOutlet, 1);
        outlet.SequenceNumber = 3;
        outlet.Choice3 = c.ownConnector;
        const bool ok = outlet.ChooseModel(List(), c.mode, NextPassNumber(), nullptr, 5, 0);
        EXPECT_EQ(ok, c.taken != LevelNone) << c.mode;
        if (ok) {
            EXPECT_FLOAT_EQ(outlet.SocketLoss(5), c.taken) << c.mode;
            EXPECT_EQ(outlet.Described, 1);
            EXPECT_EQ(MessageCount(), 0);
        } else {
            EXPECT_EQ(outlet.Described, 0);
            ASSERT_EQ(MessageCount(), 1);
            EXPECT_EQ(Message(0), "Non vi sono componenti selezionabili per la presa P3");
        }
        // The reach window is the socket loss it now has.
        EXPECT_EQ(outlet.ReachLevels[0][5].Min, outlet.SocketLoss(5));
    }
    // A walk without choice changes nothing.
    TPresaD walked(nullptr, 0, 0, 0, 0, CodeEndOutlet, 1);
    EXPECT_TRUE(walked.ChooseModel(List(), 0x40, NextPassNumber(), nullptr, 5, 0));
    EXPECT_EQ(walked.Described, 0);
}

TEST_F(OutletChoiceTest, PassThroughOutletWeighsTheRestOfItsLine) {
    // The rest of the line reaches 5 dB at most: need = max(socket, 5 + through).
    Candidate(CodePassThroughOutlet, 7.0f, 3.0f);   // need 8: the first is taken
    Candidate(CodePassThroughOutlet, 8.05f, 0.5f);  // need 8.05: within 0.1, larger socket loss: taken
    Candidate(CodePassThroughOutlet, 7.5f, 3.1f);   // need 8.1: within 0.1, smaller socket loss
    Candidate(CodePassThroughOutlet, 10.0f, 0.5f);  // need 10
    TPresaD outlet(nullptr, 0, 0, 0, 0, CodePassThroughOutlet, 1);
    TPozzoProva rest;
    JoinCells(outlet, OutletThroughOutput, rest, 0);
    EXPECT_TRUE(outlet.ChooseModel(List(), 0x80, NextPassNumber(), nullptr, 5, 0));
    EXPECT_EQ(rest.Calls, 1);
    EXPECT_FLOAT_EQ(outlet.SocketLoss(5), 8.05f);
    EXPECT_FLOAT_EQ(outlet.ThroughLoss(5), 0.5f);
    // A smaller need wins outright, even by less than 0.1.
    Candidate(CodePassThroughOutlet, 7.99f, 0.5f);  // need 7.99 < 8.05
    TPresaD again(nullptr, 0, 0, 0, 0, CodePassThroughOutlet, 1);
    TPozzoProva rest2;
    JoinCells(again, OutletThroughOutput, rest2, 0);
    EXPECT_TRUE(again.ChooseModel(List(), 0x80, NextPassNumber(), nullptr, 5, 0));
    EXPECT_FLOAT_EQ(again.SocketLoss(5), 7.99f);

    // The rest of the line failing ends the choice.
    TPresaD second(nullptr, 0, 0, 0, 0, CodePassThroughOutlet, 1);
    TPozzoProva failing;
    failing.Answer = false;
    JoinCells(second, OutletThroughOutput, failing, 0);
    EXPECT_FALSE(second.ChooseModel(List(), 0x80, NextPassNumber(), nullptr, 5, 0));
    EXPECT_EQ(second.Described, 0);
}

TEST_F(OutletChoiceTest, EvaluationUsesSpareLevel) {
    Candidate(CodeEndOutlet, 2.0f);
    Candidate(CodeEndOutlet, 4.0f);
    Candidate(CodeEndOutlet, 9.0f);
    TPresaD outlet(nullptr, 0, 0, 0, 0, CodeEndOutlet, 1);
    SetColumn(outlet, OutletSocketLoss, 1.0f);
    // 5 dB to spare: 2 (d = 1), then 4 (d = 2), not 9 (d = 5 > 2).
    outlet.EvaluateModel(List(), 0x80, 6.0f, NextPassNumber(), 5);
    EXPECT_FLOAT_EQ(outlet.SocketLoss(5), 4.0f);
    EXPECT_FLOAT_EQ(outlet.ReachLevels[0][5].Max, 4.0f);
}

}  // namespace
