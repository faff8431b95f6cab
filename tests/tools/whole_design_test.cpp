// Whole installations on the default library: runs that design the network
// on "Rete" and the head end on "Testa" for the wizard's variants.
#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <set>
#include <span>

#include "cells/amplifiers.h"
#include "cells/head_end.h"
#include "core/channels.h"
#include "core/options.h"
#include "document/estimate.h"
#include "document/report_pages.h"
#include "head_end_library_fixture.h"
#include "platform/application.h"
#include "platform/comctrls.h"
#include "support/design_components.h"

namespace {

struct TWhole {
    const char* name;
    bool ter, sat;
    int32_t cables;
    bool separate, alongStaircase, radial, wideband;
    int32_t staircases, floors, apartments, terOutlets, satOutlets, terLayout, satLayout;
    bool netSystem;  // the "Net System" package besides package 1 (single cable)
    // Terrestrial outlets per apartment of each floor from floor 0 up, in
    // place of the uniform floors; each listed floor has that many flats.
    std::vector<std::vector<int32_t>> terOutletsByFloor = {};
};

class WholeDesign : public HeadEndLibrary {
protected:
    WholeDesign() {
        engine.Window = &window;
        Antenna(0, "GAN-B3", {"5", "7"});
        Antenna(1, "GAN-UHF", {"26", "30", "35"});
    }
    bool Run(const TWhole& v) {
        if (engine.MixerSwapped) engine.MixerSwapped->SwapOutputColumns(0, 1);
        engine.MixerSwapped = nullptr;
        TOpzProgetto& o = *engine.Settings;
        o.Terrestrial = v.ter;
        o.Satellite = v.sat;
        o.SatelliteCables = v.cables;
        o.SeparateDistributions = v.separate;
        o.MultiswitchAlongStaircase = v.alongStaircase;
        o.Radial = v.radial;
        o.Wideband = v.wideband;
        o.DesignNetwork = true;
        o.DesignHeadEnd = true;
        o.Packages[0] = v.sat && v.cables == 1;
        o.Packages[4] = v.netSystem;
        const TAppartamento flat{v.terOutlets, v.satOutlets, v.terLayout, v.satLayout, 5, 5};
        UniformBuilding(v.staircases, v.floors, v.apartments, flat);
        TPalazzo& building = *engine.Settings->Building;
        for (int32_t s = 0; s < v.staircases; ++s)
            for (size_t f = 0; f < v.terOutletsByFloor.size(); ++f) {
                TPiano& floor = building.Staircases[s].Floors[f];
                floor.ApartmentCount = static_cast<int32_t>(v.terOutletsByFloor[f].size());
                for (int32_t a = 0; a < floor.ApartmentCount; ++a) {
                    floor.Apartments[a] = flat;
                    floor.Apartments[a].TerrOutlets = v.terOutletsByFloor[f][size_t(a)];
                }
            }
        building.ComputeMaxima();
        return RunEngine();
    }
    std::vector<std::string> Faults(const TWhole& v);
    DesignWindowStandIn window;
};

// The variants of the wizard.
// clang-format off
const TWhole Variants[] = {
    {"T only, wideband", true, false, 1, false, true, false, true, 1, 4, 2, 2, 0, 0, 0, false},
    {"T only, modular", true, false, 1, false, true, false, false, 2, 6, 4, 2, 0, 1, 1, false},
    // The head end's final is chosen for the network's lowest need: the level
    // adjustment keeps it at its rating (no "troppo alto" of the channel pass).
    {"T only, modular, splits", true, false, 1, false, true, false, false, 4, 12, 6, 2, 0, 2, 2, false},
    {"T+S Monocavo Unite, package 1", true, true, 1, false, true, false, false, 1, 5, 3, 2, 2, 2, 2, false},
    {"T+S 4 cables Unite, along the staircase", true, true, 4, false, true, false, false, 1, 6, 4, 0, 2, 2, 2, false},
    {"T+S 4 cables Unite, in the apartment", true, true, 4, false, false, false, false, 1, 4, 2, 0, 2, 0, 0, false},
    {"T only, wideband, one outlet per apartment", true, false, 1, false, true, false, true, 1, 4, 2, 1, 0, 0, 0, false},
    {"T only, modular, four outlets on two lines", true, false, 1, false, true, false, false, 1, 4, 4, 4, 0, 2, 2, false},
    {"T only, modular, eight single outlets (tap trunk)", true, false, 1, false, true, false, false, 1, 3, 2, 8, 0, 7, 7, false},
    {"T+S 4 cables Unite, in the apartment, one outlet", true, true, 4, false, false, false, false, 1, 4, 2, 0, 1, 0, 0, false},
    {"T+S Monocavo Unite, package 1, three outlets in a star", true, true, 1, false, true, false, false, 1, 3, 2, 3, 3, 0, 0, false},
    {"S only, 8 cables, radial", false, true, 8, false, false, true, false, 1, 3, 2, 0, 2, 2, 2, false},
    {"T+S Monocavo separate, package 1", true, true, 1, true, true, false, false, 1, 5, 3, 2, 2, 2, 2, false},
    {"S only Monocavo, packages 1 and Net System", false, true, 1, false, true, false, false, 1, 5, 3, 0, 2, 2, 2, true},
    {"T+S Monocavo Unite, package 1, 2 staircases", true, true, 1, false, true, false, false, 2, 6, 4, 2, 2, 2, 2, false},
    // Along the staircase: twelve floors take an amplifier group, which
    // carries the terrestrial line in the multiswitch too (its 12 dB there
    // keep the floors around it within one outlet window).
    {"S only, 4 cables along the staircase, 12 floors", false, true, 4, false, true, false, false, 1, 12, 4, 0, 1, 0, 0, false},
    {"S only, 8 cables along the staircase, 12 floors", false, true, 8, false, true, false, false, 1, 12, 4, 0, 1, 0, 0, false},
    {"T+S 4 cables Unite along the staircase, 8 floors x 6", true, true, 4, false, true, false, false, 1, 8, 6, 0, 1, 0, 0, false},
    {"T+S 4 cables Unite along the staircase, 12 floors x 6", true, true, 4, false, true, false, false, 1, 12, 6, 0, 1, 0, 0, false},
    // The LNB drives its lines from the dish, 5 m before the head end: on
    // twelve floors that tips the top floors' need over what it delivers, so
    // a line amplifier bank goes at the top of the network.
    {"T separate, 4 cables along the staircase, 12 floors x 6", true, true, 4, true, true, false, false, 1, 12, 6, 1, 1, 0, 0, false},
    // Two satellite cables: the smallest LNB has four outputs, the two (or,
    // with the terrestrial line in the multiswitch, three) lines take the
    // first ones and the others are closed.
    {"S only, 2 cables along the staircase, 6 floors x 4", false, true, 2, false, true, false, false, 1, 6, 4, 0, 1, 0, 0, false},
    {"T+S 2 cables Unite along the staircase", true, true, 2, false, true, false, false, 1, 3, 2, 0, 1, 0, 0, false},
    {"T separate, 2 cables along the staircase, 8 floors x 6", true, true, 2, true, true, false, false, 1, 8, 6, 1, 1, 0, 0, false},
    {"T+S 2 cables Unite, in the apartment", true, true, 2, false, false, false, false, 1, 4, 2, 0, 2, 0, 0, false},
    {"S only, 2 cables, radial", false, true, 2, false, false, true, false, 1, 4, 2, 0, 2, 2, 2, false},
    // Short multiswitch networks that take less than the modular head end
    // gives with its final at full regulation and the filters at their lowest
    // (89.75 dBuV from the 75 dBuV antennas): the radial switch straight
    // under the head end, and six floors whose line amplifier bank turns its
    // terrestrial gain down too. Their head ends are the channel filters alone.
    // Beside a terrestrial riser of its own the radial switch starts at the
    // first radial line instead of centring over them, and a switch of more
    // inputs than outputs (nine lines onto four outputs) leaves room on its
    // left: neither stands over the terrestrial entry, whose run comes down
    // from the terminal past it (both were "Errore di creazione disegno").
    {"T separate radial, 2 cables, 5 floors x 2", true, true, 2, true, false, true, false, 1, 5, 2, 1, 1, 0, 0, false},
    {"T separate radial, 8 cables, 1 floor x 2", true, true, 8, true, false, true, false, 1, 1, 2, 1, 1, 0, 0, false},
    // Several staircases beside the terrestrial lines keep their entries
    // clear of the radial switch as of the terminal's outputs, the left half
    // on the left: the terrestrial runs come down past it.
    {"T separate radial, 2 cables, 2 staircases, 3 floors x 2", true, true, 2, true, false, true, false, 2, 3, 2, 2, 2, 0, 0, false},
    {"T separate radial, 2 cables, 4 staircases, 5 floors x 1", true, true, 2, true, false, true, false, 4, 5, 1, 1, 1, 0, 0, false},
    {"T+S 2 cables Unite radial", true, true, 2, false, false, true, false, 1, 4, 2, 0, 2, 2, 2, false},
    {"T+S 4 cables Unite radial", true, true, 4, false, false, true, false, 1, 3, 2, 0, 2, 2, 2, false},
    {"T+S 8 cables Unite radial", true, true, 8, false, false, true, false, 1, 3, 2, 0, 2, 2, 2, false},
    {"T+S 2 cables Unite along the staircase, 6 floors x 4", true, true, 2, false, true, false, false, 1, 6, 4, 0, 1, 0, 0, false},
    // The line amplifier bank at the top carries the terrestrial line too:
    // eight floors of four flats ask it for 105.4 dBuV in band IV, within its
    // rating less the five channels' derating.
    {"T+S 2 cables Unite, in the apartment, 3 floors x 4", true, true, 2, false, false, false, false, 1, 3, 4, 0, 2, 0, 0, false},
    {"T+S 2 cables Unite, in the apartment, 8 floors x 4", true, true, 2, false, false, false, false, 1, 8, 4, 0, 2, 0, 0, false},
    {"T+S 4 cables Unite, in the apartment, 8 floors x 4", true, true, 4, false, false, false, false, 1, 8, 4, 0, 2, 0, 0, false},
    // Taller risers to the apartments' multiswitches: the substation bank at
    // the top gains 30 dB on the satellite lines (ten floors of six flats
    // ask the LNB for 76 dBuV, twelve of six for 80.2: the high-output LNB of
    // 85); with eight cables the LNB of eight outputs.
    {"T+S 4 cables Unite, in the apartment, 10 floors x 6", true, true, 4, false, false, false, false, 1, 10, 6, 0, 2, 0, 0, false},
    {"T+S 2 cables Unite, in the apartment, 10 floors x 6", true, true, 2, false, false, false, false, 1, 10, 6, 0, 2, 0, 0, false},
    {"T+S 4 cables Unite, in the apartment, 12 floors x 2", true, true, 4, false, false, false, false, 1, 12, 2, 0, 2, 0, 0, false},
    {"T+S 4 cables Unite, in the apartment, 12 floors x 4", true, true, 4, false, false, false, false, 1, 12, 4, 0, 2, 0, 0, false},
    {"T+S 4 cables Unite, in the apartment, 12 floors x 6", true, true, 4, false, false, false, false, 1, 12, 6, 0, 2, 0, 0, false},
    {"S only, 8 cables in the apartment, 12 floors x 4", false, true, 8, false, false, false, false, 1, 12, 4, 0, 2, 0, 0, false},
    // Eight cables along the staircase without a bank: ten floors of two
    // flats ask the LNB of eight outputs for 76.9 dBuV, within its 78 now
    // that the runs to the staircase are riser cable where apartment feeds
    // cross under the entries; twelve floors ask 82.0, the high-output one.
    {"T separate, 8 cables along the staircase, 10 floors x 2", true, true, 8, true, true, false, false, 1, 10, 2, 1, 2, 0, 0, false},
    {"T separate, 8 cables along the staircase, 12 floors x 2", true, true, 8, true, true, false, false, 1, 12, 2, 1, 2, 0, 0, false},
    // Several staircases whose bank at the top would have to give more than
    // its rating less the five satellite bands' derating take a bank each at
    // their heads; beside a terrestrial riser the middle one's bank of three
    // inputs for two lines stands one column left, across the terrestrial
    // run straight down from the splitter, which turns below the splitter
    // instead (the bank at the top was overdriven, the run into the bank's
    // spare input "Errore di creazione disegno").
    {"S only, 2 cables in the apartment, 3 staircases, 10 floors x 6", false, true, 2, false, false, false, false, 3, 10, 6, 0, 1, 0, 0, false},
    {"T separate, 2 cables in the apartment, 3 staircases, 10 floors x 4", true, true, 2, true, false, false, false, 3, 10, 4, 1, 1, 0, 0, false},
    // Twelve floors on one cable ask the IF head end for 104 dBuV in the
    // last satellite band: its final gains 30 dB over the LNB's 80 (with
    // 25 dB the farthest outlets got less than 50 dBuV there).
    {"T+S Monocavo Unite, package 1, 12 floors x 1, four outlets", true, true, 1, false, true, false, false, 1, 12, 1, 4, 4, 0, 0, false},
    {"T+S Monocavo Unite, package 1, 12 floors x 2, four outlets", true, true, 1, false, true, false, false, 1, 12, 2, 4, 4, 0, 0, false},
    // Floors of five flats of one to three outlets on one tap each, over a
    // ground floor of two flats on the riser's end tap: the end tap of 14 dB
    // brings the ground floor's window up to the floor above (the one of
    // 4.3 dB leaves them a fraction of a dB apart).
    {"T only, modular, 6 floors of mixed flats over two", true, false, 1, false, true, false, false, 1, 6, 5, 1, 0, 0, 0, false,
     {{1, 2}, {2, 3, 1, 2, 3}, {2, 3, 1, 2, 3}, {2, 3, 1, 2, 3}, {2, 3, 1, 2, 3}, {2, 3, 1, 2, 3}}},
    {"T only, modular, 7 floors of mixed flats over two", true, false, 1, false, true, false, false, 1, 7, 5, 1, 0, 0, 0, false,
     {{1, 2}, {2, 3, 1, 2, 3}, {2, 3, 1, 2, 3}, {2, 3, 1, 2, 3}, {2, 3, 1, 2, 3}, {2, 3, 1, 2, 3}, {2, 3, 1, 2, 3}}},
};
// clang-format on

// What a design fails of a professional's checks, one line per fault: the
// run draws network and head end with no message; "Testa" analyses with
// every terminal line fed, the channels of bands III to V and of the four
// satellite bands reach the outlets within "SigMin"-"SigMax" of their band
// (the satellite final behind the mixer regulates its lower bands down),
// "Calcoli rete" finds every two outlets separated by the norm's minimum in
// every band, and the estimate prices every article.
std::vector<std::string> WholeDesign::Faults(const TWhole& v) {
    std::vector<std::string> faults;
    auto fault = [&](std::string text) {
        if (faults.size() < 8) faults.push_back(std::move(text));
    };
    if (!Run(v)) {
        fault("not designed: " + Shown());
        return faults;
    }
    if (const std::string shown = Shown(); !shown.empty()) fault("message: " + shown);
    TGridData& testa = *window.project.HeadEndGrid;
    auto& terminal = static_cast<TTesta&>(*testa.Anchor);
    if (!testa.Analyse(false)) {
        fault("\"Testa\" does not analyse");
        return faults;
    }
    for (int32_t i = 0; i < terminal.Lines(); ++i)
        if (!terminal.InputCell[i]) fault("terminal line " + std::to_string(i) + " not fed");

    window.project.RunChannelPass(0);
    int32_t terChannels = 0, satChannels = 0;
    for (TCella* outlet = window.project.NetworkGrid->FirstOutlet; outlet; outlet = outlet->NextOutlet) {
        if (outlet->ChannelLists.empty() || !outlet->ChannelLists.back()) continue;
        const std::string at = " at " + std::to_string(outlet->Column) + "," + std::to_string(outlet->Row);
        for (const TCanale* c = outlet->ChannelLists.back()->head; c; c = c->next) {
            const bool ter = c->band >= 3 && c->band <= 5,
                       sat = c->band >= FirstSatSlot && c->band <= BandSlotSat;
            terChannels += ter;
            satChannels += sat;
            if (!(ter || sat)) continue;
            const bool digital = c->signalType == 'd';
            const auto& limits = globals.Options().limits[c->band];
            const float least = limits[digital ? LimitSigMinDig : LimitSigMin],
                        most = limits[digital ? LimitSigMaxDig : LimitSigMax];
            if (c->levelMin < least - 0.001f)
                fault(std::string(c->name) + at + " " + std::to_string(c->levelMin) + " below " +
                      std::to_string(least));
            if (c->levelMax > most + 0.001f)
                fault(std::string(c->name) + at + " " + std::to_string(c->levelMax) + " above " +
                      std::to_string(most));
        }
    }
    // Single-cable satellite with package 1: its eight transponders (and
    // "Net System" with that package), converted into free IF slots, reach
    // every satellite outlet.
    if (v.sat && v.cables == 1)
        for (TCella* outlet = window.project.NetworkGrid->FirstOutlet; outlet; outlet = outlet->NextOutlet) {
            std::set<std::string> labels;
            if (!outlet->ChannelLists.empty() && outlet->ChannelLists.back())
                for (const TCanale* c = outlet->ChannelLists.back()->head; c; c = c->next)
                    if (c->freqLow >= 950.0f) labels.insert(c->label);
            if (labels.empty() && v.separate) continue;  // an outlet of the terrestrial network
            const std::string at =
                " at " + std::to_string(outlet->Column) + "," + std::to_string(outlet->Row);
            for (const char* tr : {"Tr 57 Sky", "Tr 59 Sky", "Tr 63 Sky", "Tr 67 Sky", "Tr 95 Sky",
                                   "Tr 101 Sky", "Tr 8 Sky", "Tr 1 Sky"})
                if (labels.count(tr) != 1) fault(std::string(tr) + " missing" + at);
            if (labels.count("Net System") != (v.netSystem ? 1u : 0u)) fault("Net System" + at);
        }
    if ((terChannels > 0) != v.ter) fault("terrestrial channels: " + std::to_string(terChannels));
    if ((satChannels > 0) != v.sat) fault("satellite channels: " + std::to_string(satChannels));
    for (const std::string& m : Messages()) fault("channel pass: " + m);

    TCalculationRun run;
    run.Project = &window.project;
    TRichEdit report(nullptr);
    if (!ReportNetwork(run, &report) || report.Lines->Count() <= 3) {
        fault("no \"Calcoli rete\" report");
        return faults;
    }
    if (report.Lines->Strings(3) != "Controllo separazione prese: Ok")
        fault(std::string(report.Lines->Strings(3)) + " " +
              (report.Lines->Count() > 7 ? std::string(report.Lines->Strings(7)) : std::string()));

    window.project.Estimate->BuildFromCells();
    for (const TRigaPreventivo& row : window.project.Estimate->Rows())
        if (row.Code != LabourCode && !(row.UnitPrice > 0.0f)) fault("no price for " + std::string(row.Code));
    return faults;
}

TEST_F(WholeDesign, EveryVariantOnTheDefaultLibrary) {
    for (const TWhole& v : Variants) {
        SCOPED_TRACE(v.name);
        EXPECT_EQ(Faults(v), std::vector<std::string>{});
    }
}

// The codes of the articles of a type on the network and head-end grids.
std::set<std::string> CodesOfType(TProgetto& project, std::initializer_list<int32_t> types) {
    std::set<std::string> codes;
    for (TGridData* grid : {project.NetworkGrid, project.HeadEndGrid})
        for (TCella* c = grid->Anchor; c; c = c->NextCell)
            if (std::find(types.begin(), types.end(), c->TypeCode) != types.end()) codes.insert(c->Code);
    return codes;
}

// Where the common articles fall short the designer takes the library's
// stronger ones by its own choices: the first LNB of the output count that
// delivers the lines' need, the first substation amplifier of the lines for
// the bank at the top (the regulated riser groups serve only risers), the
// end tap that the spare level of the floor above leaves room for.
TEST_F(WholeDesign, TheStrongerArticlesGoWhereTheCommonOnesFallShort) {
    const struct {
        const char* variant;
        std::set<std::string> lnbs, amplifiers, endTaps;
    } cases[] = {
        {"T+S 4 cables Unite, in the apartment, 10 floors x 6", {"GLNB-4"}, {"GAH-5"}, {"GDN-6"}},
        {"T+S 4 cables Unite, in the apartment, 12 floors x 6", {"GLNB-4H"}, {"GAH-5"}, {"GDN-6"}},
        {"S only, 8 cables in the apartment, 12 floors x 4", {"GLNB-8H"}, {"GAH-8"}, {"GDN-4"}},
        {"T separate, 8 cables along the staircase, 10 floors x 2", {"GLNB-8"}, {"GAB-8"}, {"GDN-2"}},
        {"T separate, 8 cables along the staircase, 12 floors x 2", {"GLNB-8H"}, {"GAB-8"}, {"GDN-2"}},
        {"S only, 4 cables along the staircase, 12 floors", {"GLNB-4"}, {"GAB-4"}, {}},
        {"T only, modular, 6 floors of mixed flats over two", {}, {}, {"GDN-2-14"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.variant);
        const TWhole* v = std::find_if(std::begin(Variants), std::end(Variants),
                                       [&](const TWhole& w) { return std::string(w.name) == c.variant; });
        ASSERT_NE(v, std::end(Variants));
        ASSERT_TRUE(Run(*v)) << Shown();
        EXPECT_EQ(CodesOfType(window.project, {CodeSat}), c.lnbs);
        EXPECT_EQ(CodesOfType(window.project, {CodeAmplificatore, CodeAmplificatoreRegolato}), c.amplifiers);
        EXPECT_EQ(CodesOfType(window.project, {CodeDerivatoreN}), c.endTaps);
    }
}

}  // namespace

// LNBs of four outputs, those first in the list strong enough for what the
// lines need from the head end on but not over the run from the dish, which
// the head end adds to every line: the design takes the stronger one, and
// the top floors get their minimum.
TEST_F(WholeDesign, TheLnbServesItsLinesFromTheDish) {
    auto level = [](TCella& lnb, float value) {
        for (int32_t o = 0; o < lnb.ThroughOutputs; ++o)
            lnb.Attenuation->Set3(o, SatLevelColumn, BandSlotSat, value);
    };
    TCella* weak = Article("GLNB-4");
    TCella* highOutput = Article("GLNB-4H");
    ASSERT_NE(weak, nullptr);
    ASSERT_NE(highOutput, nullptr);
    std::unique_ptr<TCella> strong = weak->Clone();
    strong->Code = "GLNB-4S";
    level(*strong, 81.0f);
    engine.Components->Insert(std::move(strong));
    // The network needs 79.4 dBuV from the head end on, 80.3 from the dish.
    level(*weak, 79.5f);
    level(*highOutput, 79.5f);
    const TWhole v = {"", true, true, 4, true, true, false, false, 1, 12, 6, 1, 1, 0, 0, false};
    ASSERT_TRUE(Run(v)) << Shown();
    EXPECT_EQ(Shown(), "");
    TGridData& testa = *window.project.HeadEndGrid;
    std::vector<std::string> lnbs;
    for (TCella* c = testa.Anchor; c; c = c->NextCell)
        if (c->TypeCode == CodeSat) lnbs.push_back(std::string(c->Code));
    EXPECT_EQ(lnbs, std::vector<std::string>{"GLNB-4S"});
    window.project.RunChannelPass(0);
    for (TCella* outlet = window.project.NetworkGrid->FirstOutlet; outlet; outlet = outlet->NextOutlet)
        if (!outlet->ChannelLists.empty() && outlet->ChannelLists.back())
            for (const TCanale* c = outlet->ChannelLists.back()->head; c; c = c->next)
                if (c->band == BandSlotSat) {
                    EXPECT_GE(c->levelMin, globals.Options().limits[c->band][LimitSigMinDig] - 0.001f)
                        << outlet->Column << "," << outlet->Row;
                }
}

// The modular head end keeps its final amplifier where the network takes
// what the final gives at its full regulation; where the network takes less,
// the head end is its channel filters alone, and they set the level.
TEST_F(WholeDesign, TheTerrestrialFinalStaysWhereTheNetworkTakesItsLevel) {
    const struct {
        TWhole v;
        bool final;
    } cases[] = {
        {{"T only, modular", true, false, 1, false, true, false, false, 2, 6, 4, 2, 0, 1, 1, false}, true},
        {{"T+S 4 cables Unite, along the staircase", true, true, 4, false, true, false, false, 1, 6, 4, 0, 2,
          2, 2, false},
         true},
        {{"T+S 4 cables Unite, radial", true, true, 4, false, false, true, false, 1, 3, 2, 0, 2, 2, 2, false},
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.v.name);
        ASSERT_TRUE(Run(c.v)) << Shown();
        EXPECT_EQ(Shown(), "");
        int32_t finals = 0, filters = 0;
        for (TCella* cell = window.project.HeadEndGrid->Anchor; cell; cell = cell->NextCell) {
            finals += cell->TypeCode == CodeAmplificatoreAt && cell->Series == "GTM";
            filters += cell->TypeCode == CodeFiltroAT;
        }
        EXPECT_EQ(finals > 0, c.final) << finals;
        EXPECT_EQ(filters, 5);  // one per antenna channel
    }
}

// The wideband amplifier comes down to the outlets' maximum by its own
// regulation. One floor of two flats takes 23.2 dB of it from 75 dBuV
// antennas: the library's 40 dB serve it, as 30 would; where the chosen
// amplifiers go down 20 dB only, none of them serves the network, and the
// design is refused instead of drawn with its nearest outlets 3.2 dB over,
// with the limit that stops it.
TEST_F(WholeDesign, AWidebandAmplifierThatCannotComeDownToTheNetworkIsNotTaken) {
    const TWhole v = {"", true, false, 1, false, true, false, true, 1, 1, 2, 1, 0, 0, 0, false};
    const struct {
        float regulation;
        const char* shown;
    } cases[] = {
        {40.0f, ""},
        {30.0f, ""},
        {20.0f,
         "Nessun amplificatore a larga banda selezionabile. Anche con tutta la regolazione (20 dB) "
         "l'ingresso 1 di GLB-3 porta le prese 3,2 dB sopra il segnale massimo. Scegliere \"Modulare\".\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.regulation);
        for (const char* code : {"GLB-3", "GLB-4"}) {
            TCella* amplifier = Article(code);
            ASSERT_NE(amplifier, nullptr);
            for (int32_t r = 0; r < amplifier->TableRows; ++r)
                for (int32_t b = 0; b < BandSlots; ++b)
                    if (amplifier->Attenuation->Get3(r, WideMaxRegulation, b) > 0.0f)
                        amplifier->Attenuation->Set3(r, WideMaxRegulation, b, c.regulation);
        }
        EXPECT_EQ(Run(v), *c.shown == '\0');
        EXPECT_EQ(Shown(), c.shown);
    }
}

namespace {

// The installations a professional describes in the wizard: the network
// kinds, each with its head end (the building's fields are filled by the
// sizes below), over buildings of the usual sizes.
struct TSweepBuilding {
    const char* name;
    int32_t staircases, floors, flats, outlets;
};

std::vector<TWhole> SweepNetworks() {
    std::vector<TWhole> networks = {
        {"T taps, wideband", true, false, 1, false, true, false, true, 0, 0, 0, 0, 0, 0, 0, false},
        {"T taps, modular", true, false, 1, false, true, false, false, 0, 0, 0, 0, 0, 0, 0, false},
        {"S taps, single cable", false, true, 1, false, true, false, false, 0, 0, 0, 0, 0, 0, 0, false},
        {"T+S taps, single cable", true, true, 1, false, true, false, false, 0, 0, 0, 0, 0, 0, 0, false},
        {"T+S taps, single cable, wideband", true, true, 1, false, true, false, true, 0, 0, 0, 0, 0, 0, 0,
         false},
        {"T+S taps, separate cables", true, true, 1, true, true, false, false, 0, 0, 0, 0, 0, 0, 0, false},
    };
    // clang-format off
    static const char* const multiswitch[3][3][3] = {
        {{"S radial, 2 cables", "T+S radial, 2 cables", "T separate, S radial, 2 cables"},
         {"S along the staircase, 2 cables", "T+S along the staircase, 2 cables", "T separate, S along the staircase, 2 cables"},
         {"S in the apartment, 2 cables", "T+S in the apartment, 2 cables", "T separate, S in the apartment, 2 cables"}},
        {{"S radial, 4 cables", "T+S radial, 4 cables", "T separate, S radial, 4 cables"},
         {"S along the staircase, 4 cables", "T+S along the staircase, 4 cables", "T separate, S along the staircase, 4 cables"},
         {"S in the apartment, 4 cables", "T+S in the apartment, 4 cables", "T separate, S in the apartment, 4 cables"}},
        {{"S radial, 8 cables", "T+S radial, 8 cables", "T separate, S radial, 8 cables"},
         {"S along the staircase, 8 cables", "T+S along the staircase, 8 cables", "T separate, S along the staircase, 8 cables"},
         {"S in the apartment, 8 cables", "T+S in the apartment, 8 cables", "T separate, S in the apartment, 8 cables"}},
    };
    // clang-format on
    const int32_t cables[3] = {2, 4, 8};
    for (int c = 0; c < 3; ++c)
        for (int where = 0; where < 3; ++where)
            for (int signals = 0; signals < 3; ++signals)
                networks.push_back({multiswitch[c][where][signals], signals > 0, true, cables[c],
                                    signals == 2, where == 1, where == 0, false, 0, 0, 0, 0, 0, 0, 0, false});
    return networks;
}

// clang-format off
const TSweepBuilding SweepBuildings[] = {
    {"1 staircase, 1 floor x 1, 1 outlet", 1, 1, 1, 1},
    {"1 staircase, 1 floor x 2, 1 outlet", 1, 1, 2, 1},
    {"1 staircase, 2 floors x 2, 1 outlet", 1, 2, 2, 1},
    {"1 staircase, 5 floors x 2, 1 outlet", 1, 5, 2, 1},
    {"3 staircases, 4 floors x 2, 1 outlet", 3, 4, 2, 1},
    {"2 staircases, 3 floors x 3, 2 outlets", 2, 3, 3, 2},
    {"1 staircase, 8 floors x 4, 3 outlets", 1, 8, 4, 3},
    {"4 staircases, 2 floors x 2, 2 outlets", 4, 2, 2, 2},
    {"1 staircase, 12 floors x 6, 1 outlet", 1, 12, 6, 1},
    {"2 staircases, 12 floors x 6, 1 outlet", 2, 12, 6, 1},
};
// clang-format on

const char* const NoRadialSwitch = "Non vi sono switch radiali con un numero sufficiente di uscite.";
const char* const NoLnb = "Non sono stati selezionati LNB adeguati alla centrale satellitare.";
const char* const LevelsTooFarApart =
    "Non è possibile dimensionare le scale in quanto le prese richiedono livelli troppo diversi tra loro: "
    "nessun "
    "segnale in testa alla scala le porta tutte entro i livelli ammessi.";

// The refusals the designer gives by its rules, with their message.
struct TSweepRefusal {
    const char* network;  // a prefix of the network's name
    const char* building;
    const char* message;
};
// clang-format off
const TSweepRefusal SweepRefusals[] = {
    // A radial switch of the default library has at most 32 outputs.
    {"S radial", "1 staircase, 12 floors x 6, 1 outlet", NoRadialSwitch},
    {"T+S radial", "1 staircase, 12 floors x 6, 1 outlet", NoRadialSwitch},
    {"T separate, S radial", "1 staircase, 12 floors x 6, 1 outlet", NoRadialSwitch},
    // Two satellite cables (three lines with the terrestrial one) along a
    // staircase tall enough for an amplifier floor: amplifier groups are
    // drawn for 4, 5, 8, 9 or 10 lines only.
    {"S along the staircase, 2 cables", "1 staircase, 12 floors x 6, 1 outlet", LevelsTooFarApart},
    {"T+S along the staircase, 2 cables", "1 staircase, 12 floors x 6, 1 outlet", LevelsTooFarApart},
    {"T separate, S along the staircase, 2 cables", "1 staircase, 12 floors x 6, 1 outlet", LevelsTooFarApart},
    {"S radial", "2 staircases, 12 floors x 6, 1 outlet", NoRadialSwitch},
    {"T+S radial", "2 staircases, 12 floors x 6, 1 outlet", NoRadialSwitch},
    {"T separate, S radial", "2 staircases, 12 floors x 6, 1 outlet", NoRadialSwitch},
    {"S along the staircase, 2 cables", "2 staircases, 12 floors x 6, 1 outlet", LevelsTooFarApart},
    {"T+S along the staircase, 2 cables", "2 staircases, 12 floors x 6, 1 outlet", LevelsTooFarApart},
    {"T separate, S along the staircase, 2 cables", "2 staircases, 12 floors x 6, 1 outlet", LevelsTooFarApart},
    // Eight lines to the apartments of two staircases of twelve floors of
    // six flats ask the head end for more than any LNB of eight outputs gives.
    {"S in the apartment, 8 cables", "2 staircases, 12 floors x 6, 1 outlet", NoLnb},
    {"T+S in the apartment, 8 cables", "2 staircases, 12 floors x 6, 1 outlet", NoLnb},
    {"T separate, S in the apartment, 8 cables", "2 staircases, 12 floors x 6, 1 outlet", NoLnb},
};
// clang-format on

const TSweepRefusal* Listed(std::span<const TSweepRefusal> list, const TWhole& n, const TSweepBuilding& b) {
    for (const TSweepRefusal& r : list)
        if (std::string(n.name).starts_with(r.network) && std::string(b.name) == r.building) return &r;
    return nullptr;
}

}  // namespace

// Every usual installation is designed and passes the checks of a whole
// design, or is refused with the message its rule gives.
TEST_F(WholeDesign, UsualInstallationsAreDesignedOrRefusedWithTheirReason) {
    for (const TWhole& n : SweepNetworks())
        for (const TSweepBuilding& b : SweepBuildings) {
            SCOPED_TRACE(std::string(n.name) + ", " + b.name);
            TWhole v = n;
            v.staircases = b.staircases;
            v.floors = b.floors;
            v.apartments = b.flats;
            v.terOutlets = n.ter ? b.outlets : 0;
            v.satOutlets = n.sat ? b.outlets : 0;
            if (const TSweepRefusal* refusal = Listed(SweepRefusals, n, b)) {
                EXPECT_FALSE(Run(v));
                // The rule's message, then the figures of this building.
                const std::string shown = Shown();
                EXPECT_EQ(shown.substr(0, std::strlen(refusal->message)), refusal->message) << shown;
                EXPECT_EQ(shown.find('\n'), shown.size() - 1) << shown;
            } else {
                EXPECT_EQ(Faults(v), std::vector<std::string>{});
            }
        }
}

namespace {

// The channels of the wizard's reception page as it adds them: a click on a
// row of the channel grid adds the row's channel at the default channel
// level, "A" (the plans' rows are analogue); the person may mark a channel "D".
enum class TKinds { Analogue, Digital, AnalogueVhfDigitalUhf, BothOnEachAntenna };

struct TWizardChannels {
    const char* name;
    TKinds kinds;
};
const TWizardChannels WizardChannelKinds[] = {
    {"as the wizard adds them", TKinds::Analogue},
    {"all digital", TKinds::Digital},
    {"band III analogue, UHF digital", TKinds::AnalogueVhfDigitalUhf},
    {"analogue and digital on each antenna", TKinds::BothOnEachAntenna},
};

void WizardAntenna(TAntennaAutoProg& a, const char* code, std::vector<const char*> channels, float level,
                   bool uhf, TKinds kinds) {
    a.ClearChannels();
    a.Library = DefaultLibraryName;
    a.Code = code;
    int k = 0;
    for (const char* name : channels) {
        const int row = a.Plan->IndexOf(name);
        char kind = 'a';
        switch (kinds) {
        case TKinds::Analogue: break;
        case TKinds::Digital: kind = 'd'; break;
        case TKinds::AnalogueVhfDigitalUhf: kind = uhf ? 'd' : 'a'; break;
        case TKinds::BothOnEachAntenna: kind = k % 2 ? 'd' : 'a'; break;
        }
        ASSERT_TRUE(a.AddPlanChannel(row, AnsiString(), level, kind)) << name;
        ++k;
    }
}

// Where one input of the wideband amplifier carries analogue and digital
// channels at one level, the digital ones count 13 dB stronger: the two
// kinds take 13 dB of the outlets' 15 dB window at every outlet, and a
// network whose outlets lie further apart than the 2 dB left (any of two
// floors or more) cannot have them all inside; the amplifier cannot set the
// kinds apart.
const char* const ChannelsTooFarApart =
    "Nessun amplificatore a larga banda selezionabile. I canali dell'ingresso ";
const char* const ChannelsTooFarApartEnd =
    " dB tra segnale minimo e massimo delle prese (i canali digitali contano 13 dB in più). Scegliere "
    "\"Modulare\".\n";

}  // namespace

// The wideband head end on the default library with the channels as the
// wizard takes them (the default channel level, analogue, digital or both)
// over the usual buildings: each is designed with every outlet within its
// window, or refused with the limit that stops it.
TEST_F(WholeDesign, TheWidebandHeadEndOnTheWizardsChannels) {
    const float level = engine.Settings->APDefaultSigCan;
    ASSERT_EQ(level, 70.0f);
    for (const TWizardChannels& channels : WizardChannelKinds)
        for (const TWhole& n : SweepNetworks()) {
            if (!n.wideband) continue;
            for (const TSweepBuilding& b : SweepBuildings) {
                SCOPED_TRACE(std::string(channels.name) + ", " + n.name + ", " + b.name);
                WizardAntenna(engine.Settings->Antennas[0], "GAN-B3", {"5", "7"}, level, false,
                              channels.kinds);
                WizardAntenna(engine.Settings->Antennas[1], "GAN-UHF", {"26", "30", "35"}, level, true,
                              channels.kinds);
                TWhole v = n;
                v.staircases = b.staircases;
                v.floors = b.floors;
                v.apartments = b.flats;
                v.terOutlets = b.outlets;
                v.satOutlets = n.sat ? b.outlets : 0;
                // Only the outlets of a single floor lie close enough together.
                const bool refused = channels.kinds == TKinds::BothOnEachAntenna && b.floors > 1;
                if (refused) {
                    EXPECT_FALSE(Run(v));
                    const std::string shown = Shown();
                    EXPECT_TRUE(shown.starts_with(ChannelsTooFarApart) &&
                                shown.ends_with(ChannelsTooFarApartEnd))
                        << shown;
                } else {
                    EXPECT_EQ(Faults(v), std::vector<std::string>{});
                }
            }
        }
}
