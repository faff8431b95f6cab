// Designs as the wizard leaves its settings (the defaults of a new design,
// the building's fields, the reception page's channels at the default level)
// over the default library, and the check that closes every run: a design
// stands only when the calculation pages would find it working.
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "cells/amplifiers.h"
#include "cells/auto_mix.h"
#include "cells/head_end.h"
#include "core/cell_codes.h"
#include "core/options.h"
#include "head_end_library_fixture.h"
#include "platform/application.h"

namespace {

struct TWizardCase {
    const char* name;
    bool ter, sat;
    int32_t cables;
    bool separate;
    int32_t staircases, floors, flats, outlets;
};

const char* const SkyTransponders[] = {"Tr 57 Sky", "Tr 59 Sky", "Tr 63 Sky", "Tr 67 Sky",
                                       "Tr 95 Sky", "Tr 101 Sky", "Tr 8 Sky",  "Tr 1 Sky"};
const char* const UhfChannels[] = {"21", "22", "23", "24", "25"};

bool Terrestrial(const TCanale& c) { return c.freqHigh < 900.0f; }

class WizardDesign : public HeadEndLibrary {
protected:
    WizardDesign() { engine.Window = &window; }

    // The settings the wizard's pages leave: the defaults of a new design,
    // the type page's choices, the building page's fields for the whole
    // building, GAN-UHF with channels 21 to 25 added on the reception page,
    // and "Sky" for a single satellite cable.
    bool Design(const TWizardCase& c) {
        // The wizard hands every run the library's articles afresh: the
        // input check's turn of the mixer does not carry over.
        if (engine.MixerSwapped) engine.MixerSwapped->SwapOutputColumns(0, 1);
        engine.MixerSwapped = nullptr;
        TOpzProgetto& o = *engine.Settings;
        o.SetDefaults();
        o.Terrestrial = c.ter;
        o.Satellite = c.sat;
        o.SatelliteCables = c.cables;
        o.SeparateDistributions = c.separate;
        o.DesignNetwork = o.DesignHeadEnd = true;
        for (bool& p : o.Packages) p = false;
        o.Packages[0] = c.sat && c.cables == 1;
        TPalazzo& b = *o.Building;
        b.AllSelected = true;
        for (int32_t s = b.StaircaseCount; s < c.staircases; ++s)
            TPalazzo::CopyStaircase(b.Staircases[s], b.Staircases[s - 1]);
        b.StaircaseCount = c.staircases;
        b.SetFloorCount(c.floors);
        b.SetApartmentCount(c.flats);
        b.SetTerrOutlets(c.ter ? c.outlets : 0);
        b.SetSatOutlets(c.sat ? c.outlets : 0);
        b.ComputeMaxima();
        for (TAntennaAutoProg& a : o.Antennas) a.ClearChannels();
        if (c.ter) {
            TAntennaAutoProg& a = o.Antennas[0];
            a.Library = DefaultLibraryName;
            a.Code = "GAN-UHF";
            for (const char* name : UhfChannels)
                EXPECT_TRUE(a.AddPlanChannel(a.Plan->IndexOf(name), AnsiString(), o.APDefaultSigCan, 'a'));
        }
        return RunEngine();
    }

    TProgetto& Project() { return window.project; }

    // What a person finds wrong on the calculation pages, one line each: a
    // cell without its component, a message of "Calcoli canali", an outlet
    // without a channel it should have or with one outside the options'
    // window. Terrestrial outlets should have 21 to 25, satellite ones the
    // eight Sky transponders.
    std::vector<std::string> PageFaults(const TWizardCase& c) {
        std::vector<std::string> faults;
        auto fault = [&](std::string text) {
            if (faults.size() < 6) faults.push_back(std::move(text));
        };
        for (TGridData* grid : {Project().NetworkGrid, Project().HeadEndGrid})
            for (TCella* cell = grid->Anchor; cell; cell = cell->NextCell)
                if (!cell->Described && !cell->NeedsNoDescription())
                    fault("no component: " + std::string(cell->GetShortCode()));
        Project().RunChannelPass(0);
        for (const std::string& m : Messages()) fault("channel pass: " + m);
        int32_t terOutlets = 0, satOutlets = 0;
        for (TCella* outlet = Project().NetworkGrid->FirstOutlet; outlet; outlet = outlet->NextOutlet) {
            const std::string at = " at " + std::string(outlet->GetShortCode());
            std::set<std::string> ter, sat;
            const TListaCanali* list = outlet->ChannelLists.empty() ? nullptr : outlet->ChannelLists.back().get();
            for (const TCanale* ch = list ? list->head : nullptr; ch; ch = ch->next) {
                if (ch->band < 1 || ch->band > 9) continue;
                (Terrestrial(*ch) ? ter : sat).insert(Terrestrial(*ch) ? ch->name : ch->label);
                const auto& limits = globals.Options().limits[ch->band];
                const bool digital = ch->signalType == 'd';
                if (ch->levelMin < limits[digital ? LimitSigMinDig : LimitSigMin] - 0.001f)
                    fault(std::string(ch->name) + at + " below: " + std::to_string(ch->levelMin));
                if (ch->levelMax > limits[digital ? LimitSigMaxDig : LimitSigMax] + 0.001f)
                    fault(std::string(ch->name) + at + " above: " + std::to_string(ch->levelMax));
            }
            // An outlet of a separate network carries its own kind only.
            const bool terOutlet = c.ter && (!c.separate || sat.empty());
            const bool satOutlet = c.sat && (!c.separate || ter.empty());
            terOutlets += terOutlet;
            satOutlets += satOutlet;
            if (terOutlet)
                for (const char* name : UhfChannels)
                    if (!ter.count(name)) fault(std::string(name) + " missing" + at);
            if (satOutlet)
                for (const char* name : SkyTransponders)
                    if (!sat.count(name)) fault(std::string(name) + " missing" + at);
        }
        const int32_t outlets = c.staircases * c.floors * c.flats * c.outlets;
        if (terOutlets != (c.ter ? outlets : 0)) fault("terrestrial outlets: " + std::to_string(terOutlets));
        if (satOutlets != (c.sat ? outlets : 0)) fault("satellite outlets: " + std::to_string(satOutlets));
        return faults;
    }

    std::vector<TCella*> OnGrid(TGridData* grid, int32_t type) {
        std::vector<TCella*> cells;
        for (TCella* cell = grid->Anchor; cell; cell = cell->NextCell)
            if (cell->TypeCode == type) cells.push_back(cell);
        return cells;
    }

    DesignWindowStandIn window;
};

// The designs the wizard's defaults gave broken, or refused with a message
// that names nothing (staircases x floors x flats x outlets): each is now
// designed and works on the calculation pages.
TEST_F(WizardDesign, TheWizardsDesignsWorkOnTheCalculationPages) {
    const TWizardCase cases[] = {
        // The line of one satellite cable shared by the staircases rode the
        // terrestrial riser cable, which a satellite design leaves undefined.
        {"Satellitare, Monocavo, 2x3x3x2", false, true, 1, false, 2, 3, 3, 2},
        {"Satellitare, Monocavo, 2x6x2x2", false, true, 1, false, 2, 6, 2, 2},
        {"Satellitare, Monocavo, 4x2x2x2", false, true, 1, false, 4, 2, 2, 2},
        // The satellite finals of the IF head end and of the split blocks
        // overdrove themselves: nothing regulated a satellite final.
        {"Satellitare, Monocavo, 4x12x6x3", false, true, 1, false, 4, 12, 6, 3},
        // Behind the split amplifiers the mixers took the IF on their
        // terrestrial input.
        {"Terrestre e satellitare, Unite, 3x12x6x3", true, true, 1, false, 3, 12, 6, 3},
        // The terrestrial run and the satellite fan-out turned into each
        // other on the row above the terminal: "Errore di creazione disegno".
        {"Terrestre e satellitare, Separate, 4x12x6x3", true, true, 1, true, 4, 12, 6, 3},
    };
    for (const TWizardCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Design(c)) << Shown();
        EXPECT_EQ(Shown(), "");
        EXPECT_EQ(PageFaults(c), std::vector<std::string>{});
    }
}

// A satellite design of two staircases: the single cable leaves the terminal
// on the satellite riser cable, whose data it takes.
TEST_F(WizardDesign, TheSharedSatelliteLineRidesTheSatelliteCable) {
    ASSERT_TRUE(Design({"", false, true, 1, false, 2, 1, 1, 1})) << Shown();
    const TCella* terminal = Project().NetworkGrid->Anchor;
    ASSERT_FALSE(terminal->OutputCell.empty());
    auto* cable = dynamic_cast<TNCavo*>(terminal->OutputCell[0]);
    ASSERT_NE(cable, nullptr);
    EXPECT_TRUE(cable->Described);
    EXPECT_EQ(cable->Code, engine.Cables[CableRiserSat]->Code);
    EXPECT_GT(cable->LossPer100(BandSlotSat), 0.0f);
}

// Behind the split amplifiers the mixer over each block's output, turned,
// takes the satellite final on its satellite input: what leaves it carries
// both kinds. The head end's own mixer, unturned, is not one of them.
TEST_F(WizardDesign, TheSplitBlocksMixersTakeEachKindOnItsInput) {
    ASSERT_TRUE(Design({"", true, true, 1, false, 3, 12, 6, 3})) << Shown();
    Project().RunChannelPass(0);
    EXPECT_EQ(Messages(), std::vector<std::string>{});
    int32_t turned = 0;
    for (TCella* mixer : OnGrid(Project().HeadEndGrid, CodeMiscelatore)) {
        SCOPED_TRACE(std::string(mixer->GetShortCode()));
        turned += mixer->Orientation == 2;
        const TListaCanali* out = mixer->ChannelLists.empty() ? nullptr : mixer->ChannelLists.back().get();
        ASSERT_NE(out, nullptr);
        int32_t ter = 0, sat = 0;
        for (const TCanale* c = out->head; c; c = c->next) (Terrestrial(*c) ? ter : sat) += 1;
        EXPECT_EQ(ter, 5);
        EXPECT_GE(sat, 8);
    }
    EXPECT_GT(turned, 1);
}

// Every satellite final of the head end, the IF head end's and those of the
// split blocks it feeds, leaves its channels within its rating less the
// derating for their number.
TEST_F(WizardDesign, SatelliteFinalsKeepToTheirRating) {
    ASSERT_TRUE(Design({"", false, true, 1, false, 4, 12, 6, 3})) << Shown();
    Project().RunChannelPass(0);
    EXPECT_EQ(Messages(), std::vector<std::string>{});
    const std::vector<TCella*> finals = OnGrid(Project().HeadEndGrid, CodeAmplificatoreAt);
    ASSERT_GT(finals.size(), 1u);
    for (TCella* final : finals) {
        SCOPED_TRACE(std::string(final->GetShortCode()));
        const TListaCanali* leaving = final->ChannelLists[AutoMixOwnOutput].get();
        ASSERT_NE(leaving, nullptr);
        const double derating = TListaCanali::OverloadDerating(leaving->Count());
        bool regulated = false;
        for (int32_t r = 0; r < final->Attenuation->Size2(); ++r)
            for (int32_t b = 6; b <= 9; ++b) regulated |= final->Attenuation->Get3(r, WideRegulation, b) > 0.0f;
        EXPECT_TRUE(regulated);
        for (const TCanale* c = leaving->head; c; c = c->next) {
            if (c->band < 6 || c->band > 9) continue;
            float rated = 1000.0f;
            for (int32_t r = 0; r < final->Attenuation->Size2(); ++r)
                if (const float v = final->Attenuation->Get3(r, WideMaxOutput, c->band); v > LevelNone)
                    rated = std::min(rated, v);
            EXPECT_LE(c->levelMax, rated - derating + 0.01) << c->name;
        }
    }
}

// The check that closes a run, on a design that stood, after a change the
// pages would find: it refuses with the cell or outlet and the limit.
class DesignCheck : public WizardDesign {
protected:
    void SetUp() override {
        WizardDesign::SetUp();
        ASSERT_TRUE(Design({"", true, true, 1, false, 1, 2, 2, 1})) << Shown();
        ASSERT_TRUE(engine.CheckDesign()) << Shown();
        Project().RunChannelPass(0);
        Messages();
        // The first outlet the pages list and its first channel, 21 (band IV, analogue).
        outlet = Project().NetworkGrid->FirstOutlet;
        ASSERT_NE(outlet, nullptr);
        channel = outlet->ChannelLists.back()->head;
        ASSERT_NE(channel, nullptr);
        ASSERT_EQ(std::string(channel->name), "21");
        ASSERT_EQ(channel->band, Band);
    }
    void TearDown() override {
        auto& limits = globals.Options().limits[Band];
        limits[LimitSigMin] = savedMin;
        limits[LimitSigMax] = savedMax;
        WizardDesign::TearDown();
    }
    static constexpr int32_t Band = 4;
    static std::string Format(double v) {
        return std::string(FormatFloat("0.##", v));
    }
    std::string Refusal(const std::string& finding) {
        return "Il progetto ottenuto non funzionerebbe e viene scartato. " + finding + "\n";
    }
    TCella* outlet = nullptr;
    const TCanale* channel = nullptr;
    const float savedMin = globals.Options().limits[Band][LimitSigMin];
    const float savedMax = globals.Options().limits[Band][LimitSigMax];
};

TEST_F(DesignCheck, AnOutletOutsideItsWindowIsNamedWithItsLevelAndTheLimit) {
    auto& limits = globals.Options().limits[Band];
    // The first outlet the pages list: the top floor's, left of the riser.
    const std::string name = "La presa " + std::string(outlet->GetShortCode()) +
                             " (scala 1, piano 2, appartamento 2): il livello del canale " +
                             std::string(channel->name);
    const double level = channel->levelMin;
    // Below: the least signal of band IV one dB over the outlet's channel.
    limits[LimitSigMin] = static_cast<float>(std::floor(level) + 1.0);
    EXPECT_FALSE(engine.CheckDesign());
    EXPECT_EQ(Shown(), Refusal(name + " è troppo basso (" + Format(level) + "dB, minimo consentito " +
                               Format(limits[LimitSigMin]) + "dB)."));
    // Above: the greatest one dB under it.
    limits[LimitSigMin] = savedMin;
    limits[LimitSigMax] = static_cast<float>(std::ceil(channel->levelMax) - 1.0);
    EXPECT_FALSE(engine.CheckDesign());
    EXPECT_EQ(Shown(), Refusal(name + " è troppo alto (" + Format(channel->levelMax) +
                               "dB, massimo consentito " + Format(limits[LimitSigMax]) + "dB)."));
    limits[LimitSigMax] = savedMax;
    EXPECT_TRUE(engine.CheckDesign());
    EXPECT_EQ(Shown(), "");
}

TEST_F(DesignCheck, ACellWithoutItsComponentIsNamed) {
    TCella* cable = nullptr;
    for (TCella* cell = Project().NetworkGrid->Anchor->NextCell; cell && !cable; cell = cell->NextCell)
        if (cell->TypeCode == CodeCable && cell->Described) cable = cell;
    ASSERT_NE(cable, nullptr);
    cable->Described = 0;
    EXPECT_FALSE(engine.CheckDesign());
    EXPECT_EQ(Shown(),
              Refusal("Il componente " + std::string(cable->GetShortCode()) + " della rete è rimasto senza articolo."));
}

TEST_F(DesignCheck, AMessageOfTheChannelPassIsTheRefusal) {
    // The satellite final rated far under what it gives.
    std::vector<TCella*> finals = OnGrid(Project().HeadEndGrid, CodeAmplificatoreAt);
    ASSERT_FALSE(finals.empty());
    TCella* final = finals.back();
    for (int32_t r = 0; r < final->Attenuation->Size2(); ++r)
        for (int32_t b = 6; b <= 9; ++b)
            if (final->Attenuation->Get3(r, WideMaxOutput, b) > LevelNone)
                final->Attenuation->Set3(r, WideMaxOutput, b, 60.0f);
    EXPECT_FALSE(engine.CheckDesign());
    const std::string shown = Shown();
    const std::string start = Refusal("Calcoli canali: " + std::string(final->GetShortCode()) +
                                      ": il livello del canale ");
    EXPECT_EQ(shown.substr(0, start.size() - 1), start.substr(0, start.size() - 1)) << shown;
    EXPECT_NE(shown.find("è troppo alto"), std::string::npos) << shown;
}

// A run whose design fails the check leaves the project as every refused
// design does: emptied and shown, the reason in the one message box.
TEST_F(WizardDesign, ARefusedDesignLeavesTheProjectEmpty) {
    auto& limits = globals.Options().limits[BandSlotSat];
    const float saved = limits[LimitSigMinDig];
    // The transponders are digital, and the least digital signal of the last
    // satellite band is over what the design gives them.
    limits[LimitSigMinDig] = 150.0f;
    window.calls.clear();
    const bool ok = Design({"", false, true, 1, false, 1, 1, 1, 1});
    limits[LimitSigMinDig] = saved;
    EXPECT_FALSE(ok);
    const std::string shown = Shown();
    EXPECT_EQ(shown.rfind("Il progetto ottenuto non funzionerebbe e viene scartato. La presa P", 0), 0u) << shown;
    EXPECT_NE(shown.find("minimo consentito 150dB)."), std::string::npos) << shown;
    EXPECT_EQ(window.calls, (std::vector<std::string>{"reset", "reset", "show"}));
    EXPECT_EQ(Project().NetworkGrid->FirstOutlet, nullptr);
}

}  // namespace
