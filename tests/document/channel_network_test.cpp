// The channel pass over small networks of real cells, worked out by hand:
// what reaches each outlet (levels, sources, carrier-to-noise in the report's
// terms) and which clashes and unhandled channels are reported, word for word.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "cells/cables.h"
#include "cells/mixers.h"
#include "cells/outlets.h"
#include "cells/pass_links.h"
#include "cells/sources.h"
#include "cells/splitters.h"
#include "cells/taps.h"
#include "core/band_systems.h"
#include "core/channel_plans.h"
#include "core/levels.h"
#include "document/report_pages.h"
#include "platform/stdctrls.h"
#include "support/globals_fixture.h"
#include "support/pass_cells.h"

namespace {

using Texts = std::vector<AnsiString>;

void Fill(TCella& cell, int32_t column, float value) {
    for (int32_t b = 0; b < BandSlots; ++b) cell.Attenuation->Set3(0, column, b, value);
}

// A channel of a built-in plan at a level, as the antenna's dialog stores it.
void AddChannel(TAntenna& antenna, const TCanalizzazione& plan, const char* name, float level) {
    const int row = plan.IndexOf(name);
    ASSERT_GE(row, 0) << name;
    TCanale c;
    plan.SetChannel(c, row);
    c.band = SistemaBandeCorrente->BandOf(c.CentreFrequency());
    c.levelMin = level;
    antenna.SourceChannels->Insert(c);
}

std::unique_ptr<TAntenna> Antenna(int32_t number, float lowest, float highest) {
    auto antenna = std::make_unique<TAntenna>(nullptr, 0, 0, 0, 0);
    antenna->SequenceNumber = number;
    antenna->Attenuation->Set3(0, AntennaRangeColumn, AntennaLowestSlot, lowest);
    antenna->Attenuation->Set3(0, AntennaRangeColumn, AntennaHighestSlot, highest);
    return antenna;
}

std::unique_ptr<TPresaD> Outlet(int32_t number) {
    auto outlet = std::make_unique<TPresaD>(nullptr, 0, 0, 0, 0, CodeEndOutlet, 1);
    outlet->SequenceNumber = number;
    Fill(*outlet, OutletSocketLoss, 1.0f);
    return outlet;
}

const TCanale* Named(const TListaCanali& list, const char* name) {
    for (const TCanale* c = list.head; c; c = c->next)
        if (c->name == name) return c;
    return nullptr;
}

// 4 dB (20 m at 20 dB per 100 m) at the reference frequency of the band.
double CableLoss(double low, double high, double reference) {
    return 4.0 * std::sqrt((low + high) / 2.0 / reference);
}

class ChannelNetworkTest : public GlobalsTest {
protected:
    void SetUp() override { globals.Reporter().SetTarget(&messages); }
    Texts Messages() const { return MessagesOf(messages); }
    TListBox messages;
};

// Two antennas on a two-input mixer, a 20 m cable, a two-way splitter and an
// end outlet on each of its outputs.
//   An1 (174 to 862 MHz): "Europa" 6 at 62, 21 at 70, 22 at 72, 40 at 65 dBuV;
//   An2 (174 to 862 MHz): "Europa" FM at 50 (below its range), "Italia" E at
//     68 (182.5 to 189.5 MHz, over half of 6), "Europa" 22 at 60 (the same
//     channel as An1's) and 23 at 66 (next to 22, not on it);
//   Y1: input 1 loses 3 dB in every band; input 2 loses 4 dB in bands III to
//     V, does not take FM (no value) and shuts the other bands (blocked);
//   cable: 4 dB at each band's reference frequency (200 MHz for band III,
//     470 for IV, 862 for V), scaled by the square root of the channel's
//     centre over it; D1: 4 dB to each output; sockets: 1 dB.
class MixedAntennas : public ChannelNetworkTest {
protected:
    void SetUp() override {
        ChannelNetworkTest::SetUp();
        an1 = Antenna(1, 174.0f, 862.0f);
        AddChannel(*an1, *CanalizzazioneEuropa, "6", 62.0f);
        AddChannel(*an1, *CanalizzazioneEuropa, "21", 70.0f);
        AddChannel(*an1, *CanalizzazioneEuropa, "22", 72.0f);
        AddChannel(*an1, *CanalizzazioneEuropa, "40", 65.0f);
        an2 = Antenna(2, 174.0f, 862.0f);
        AddChannel(*an2, *CanalizzazioneEuropa, "FM", 50.0f);
        AddChannel(*an2, *CanalizzazioneItalia, "E", 68.0f);
        AddChannel(*an2, *CanalizzazioneEuropa, "22", 60.0f);
        AddChannel(*an2, *CanalizzazioneEuropa, "23", 66.0f);

        mixer.SequenceNumber = 1;
        Fill(mixer, 0, 3.0f);
        Fill(mixer, 1, LevelBlocked);
        mixer.Attenuation->Set3(0, 1, 2, LevelNone);
        for (int32_t b : {3, 4, 5}) mixer.Attenuation->Set3(0, 1, b, 4.0f);

        Fill(cable, 0, 20.0f);
        cable.SetLength(20.0f);

        splitter.SequenceNumber = 1;
        Fill(splitter, TapLossColumn, 4.0f);
        p1 = Outlet(1);
        p2 = Outlet(2);

        LinkCells(*an1, 0, mixer, 0);
        LinkCells(*an2, 0, mixer, 1);
        LinkCells(mixer, 0, cable, 0);
        LinkCells(cable, 0, splitter, 0);
        LinkCells(splitter, splitter.TapOutputPort(0, 0), *p1, 0);
        LinkCells(splitter, splitter.TapOutputPort(0, 1), *p2, 0);
    }

    void Run() {
        const uint32_t stamp = NextPassNumber();
        p1->ComputeChannels(0, 0, stamp);
        p2->ComputeChannels(0, 0, stamp);
    }

    std::unique_ptr<TAntenna> an1, an2;
    TMiscelatore mixer{nullptr, 0, 0, 0, 0, 2};
    TNCavo cable{nullptr, 1, 0, 0, 0, 0, 0};
    TDivisore splitter{nullptr, 0, 0, 0, 0, 1, 2};
    std::unique_ptr<TPresaD> p1, p2;
};

TEST_F(MixedAntennas, EachOutletReceivesTheChannelsAsWorkedOutByHand) {
    Run();
    struct Case {
        const char* name;
        double low;   // levels at the socket, dBuV
        double high;  // (the lowest and highest of the antennas that bring it)
        const char* sources;
    };
    // source - mixer - cable - splitter - socket
    // clang-format off
    const Case cases[] = {
        {"6",  62 - 3 - CableLoss(181, 188, 200) - 4 - 1,     62 - 3 - CableLoss(181, 188, 200) - 4 - 1,     "An1"},
        {"E",  68 - 4 - CableLoss(182.5, 189.5, 200) - 4 - 1, 68 - 4 - CableLoss(182.5, 189.5, 200) - 4 - 1, "An2"},
        {"21", 70 - 3 - CableLoss(470, 478, 470) - 4 - 1,     70 - 3 - CableLoss(470, 478, 470) - 4 - 1,     "An1"},
        {"22", 60 - 4 - CableLoss(478, 486, 470) - 4 - 1,     72 - 3 - CableLoss(478, 486, 470) - 4 - 1,     "An1, An2"},
        {"23", 66 - 4 - CableLoss(486, 494, 470) - 4 - 1,     66 - 4 - CableLoss(486, 494, 470) - 4 - 1,     "An2"},
        {"40", 65 - 3 - CableLoss(622, 630, 862) - 4 - 1,     65 - 3 - CableLoss(622, 630, 862) - 4 - 1,     "An1"},
    };
    // clang-format on
    EXPECT_NEAR(cases[0].low, 50.1581, 1e-4);
    EXPECT_NEAR(cases[3].low, 46.9493, 1e-4);
    EXPECT_NEAR(cases[3].high, 59.9493, 1e-4);
    EXPECT_NEAR(cases[5].low, 53.5913, 1e-4);
    for (TPresaD* outlet : {p1.get(), p2.get()}) {
        SCOPED_TRACE(outlet->GetShortCode());
        const TListaCanali* socket = OutputList(*outlet, OutletSocket);
        ASSERT_NE(socket, nullptr);
        ASSERT_EQ(socket->Count(), 6);
        const TCanale* c = socket->head;
        for (const Case& expected : cases) {
            ASSERT_NE(c, nullptr);
            EXPECT_EQ(c->name, expected.name);
            EXPECT_NEAR(c->levelMin, expected.low, 1e-3) << expected.name;
            EXPECT_NEAR(c->levelMax, expected.high, 1e-3) << expected.name;
            EXPECT_EQ(c->sources, expected.sources) << expected.name;
            // Every stage here is a loss: the noise it adds takes as many dB
            // off the antenna's carrier-to-noise (2.5 dB below its level) as
            // it takes off the level, so the report shows 2.5 dB below it.
            EXPECT_NEAR(ChannelCNMin(c->sourceCNMin, c->noiseMax, c->floorMin), expected.low - 2.5, 1e-3)
                << expected.name;
            EXPECT_NEAR(ChannelCNMin(c->sourceCNMax, c->noiseMin, c->floorMax), expected.high - 2.5, 1e-3)
                << expected.name;
            c = c->next;
        }
    }
}

TEST_F(MixedAntennas, ClashesAndUnhandledChannelsAreReportedWhereTheyArise) {
    Run();
    // FM is below An2's range: reported there and carried on, then refused by
    // the mixer's second input. E lies over 6: the mixer reports it, and so
    // does each socket it reaches, the splitter keeping quiet. 22 from both
    // antennas is one clash at the mixer and one channel after it. 23 only
    // touches 22's upper edge: no clash.
    EXPECT_EQ(Messages(), (Texts{
                              "An2: Il canale FM non è gestito dall'antenna.",
                              "Y1: canale FM non gestito dall'ingresso 2.",
                              "Y1: canale E in conflitto.",
                              "Y1: canale 22 in conflitto.",
                              "P1: canale E in conflitto.",
                              "P2: canale E in conflitto.",
                          }));
}

TEST_F(MixedAntennas, AMixerInputThatTakesNoBandIsNamedByItsOwnNumber) {
    // Now the first input refuses band IV: its channels 21 and 22 are
    // reported as not handled by input 1, and An2's 22 passes alone.
    mixer.Attenuation->Set3(0, 0, 4, LevelNone);
    Run();
    const Texts all = Messages();
    ASSERT_GE(all.size(), 2u);
    EXPECT_EQ(all[0], "Y1: canale 21 non gestito dall'ingresso 1.");
    EXPECT_EQ(all[1], "Y1: canale 22 non gestito dall'ingresso 1.");
    const TListaCanali* socket = OutputList(*p1, OutletSocket);
    ASSERT_NE(socket, nullptr);
    const TCanale* c22 = Named(*socket, "22");
    ASSERT_NE(c22, nullptr);
    EXPECT_EQ(Named(*socket, "21"), nullptr);
    EXPECT_EQ(c22->sources, "An2");
    EXPECT_NEAR(c22->levelMax, 60 - 4 - CableLoss(478, 486, 470) - 4 - 1, 1e-3);
}

// One antenna with two overlapping channels on a demixer of three outputs,
// the third of which does not take band III: the clash is reported on each
// output that carries both, named by that output's number.
TEST_F(ChannelNetworkTest, ADemixerNamesTheOutputOfAClashByItsNumber) {
    auto an1 = Antenna(1, 174.0f, 862.0f);
    AddChannel(*an1, *CanalizzazioneEuropa, "6", 62.0f);
    AddChannel(*an1, *CanalizzazioneItalia, "E", 68.0f);
    TDemiscelatore demixer(nullptr, 0, 0, 0, 0, 3);
    demixer.SequenceNumber = 1;
    Fill(demixer, 0, 2.0f);
    Fill(demixer, 1, 2.0f);
    Fill(demixer, 2, LevelBlocked);
    LinkCells(*an1, 0, demixer, 0);
    demixer.ComputeChannels(0, 0, NextPassNumber());
    EXPECT_EQ(Messages(), (Texts{
                              "Y1: canale E in conflitto sull'uscita 1.",
                              "Y1: canale E in conflitto sull'uscita 2.",
                          }));
    for (int32_t q : {0, 1}) {
        const TListaCanali* out = OutputList(demixer, q);
        ASSERT_NE(out, nullptr);
        EXPECT_EQ(out->Count(), 2) << q;
    }
    EXPECT_EQ(OutputList(demixer, 2)->Count(), 0);
}

}  // namespace
