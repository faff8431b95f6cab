// The designer as a person reaches it: File > "Nuovo", the wizard's pages
// filled by clicks and typing (only the choices the wizard enables, its own
// defaults for everything else), "Fine", and then the main window's own
// calculation pages. Over the wizard's variants crossed with buildings of 1-4
// staircases, 2-12 floors, 1-6 flats and 1-3 outlets, sampled, each building
// is either designed or refused with a message that names what stopped it.
// A designed one works: every cell has its component (the calculation pages
// and the estimate are offered), "Calcoli rete" says "Ok" to both checks,
// "Calcoli canali" lists no message, and every outlet receives every channel
// of the bands it serves inside the window of the options.
//
// A refusal holds a figure: the level asked against the most there is, the
// outputs asked against the most there are, or where an outlet stands.
//
// Each case writes what it saw under the build folder
// (test-artefacts/design-sweep/<case>.txt, and <case>.refused for a refusal),
// so that the list of what the designer refuses can be read from a run.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "autodesign/channel_panel.h"
#include "autodesign/engine.h"
#include "autodesign/wizard.h"
#include "cells/cell.h"
#include "cells/outlets.h"
#include "cells/sources.h"
#include "core/channel_plans.h"
#include "core/channels.h"
#include "core/globals.h"
#include "core/options.h"
#include "document/design_settings.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/application.h"
#include "platform/comctrls.h"
#include "platform/stdctrls.h"
#include "support/default_library_folder.h"
#include "support/library_program.h"
#include "support/program_fixture.h"

#if defined(__SANITIZE_ADDRESS__)
#define OV_SWEEP_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OV_SWEEP_SANITIZED 1
#endif
#endif

namespace {

TScript& Script() { return Application->Script(); }

enum TKind { Ter, Sat, TerSat };
// The multiswitch option the person clicks; Default leaves the wizard's own.
// "In appartamento" stands hidden on the page: a preselection or a loaded
// project brings it, which the sweep does through the button's handler.
enum TSwitchOption { Default, AlongStaircase, Radial, InApartment };

struct TSweepCase {
    TKind kind;
    bool wideband;  // "Larga banda", else "Modulare" (terrestrial head ends)
    int cables;     // 1 "Monocavo", 2/4/8 "Multiswitch n cavi"
    bool separate;  // "Separate", else "Unite" (terrestrial and satellite)
    TSwitchOption option;
    int staircases, floors, flats, outlets;
};

std::string Name(const TSweepCase& c) {
    std::ostringstream s;
    s << (c.kind == Ter ? "T" : c.kind == Sat ? "S" : "TS");
    if (c.kind != Sat) s << (c.wideband ? "_LargaBanda" : "_Modulare");
    if (c.kind == TerSat) s << (c.separate ? "_Separate" : "_Unite");
    if (c.kind != Ter) {
        if (c.cables == 1)
            s << "_Monocavo";
        else
            s << "_Ms" << c.cables
              << (c.option == Radial        ? "_Radiale"
                  : c.option == InApartment ? "_InAppartamento"
                                            : "_LungoScala");
    }
    s << "_" << c.staircases << "x" << c.floors << "x" << c.flats << "x" << c.outlets;
    return s.str();
}

// The cases the issue names: they are always in the sweep.
std::vector<TSweepCase> NamedCases() {
    std::vector<TSweepCase> cases;
    for (const auto& b : std::vector<std::array<int, 4>>{{2, 3, 3, 2},
                                                         {2, 6, 2, 2},
                                                         {2, 12, 6, 3},
                                                         {4, 2, 2, 2},
                                                         {1, 4, 2, 1},
                                                         {1, 12, 6, 3},
                                                         {4, 12, 6, 3}})
        cases.push_back({Sat, false, 1, false, Default, b[0], b[1], b[2], b[3]});
    for (const int staircases : {3, 4})
        cases.push_back({TerSat, false, 1, false, Default, staircases, 12, 6, 3});
    cases.push_back({TerSat, false, 1, true, Default, 4, 12, 6, 3});
    return cases;
}

// Every variant the wizard lets a person choose.
std::vector<TSweepCase> Variants() {
    std::vector<TSweepCase> variants;
    auto satellite = [&](TKind kind, bool wideband, bool separate) {
        variants.push_back({kind, wideband, 1, separate, Default, 1, 2, 1, 1});
        for (const int cables : {2, 4, 8})
            for (const TSwitchOption option : {AlongStaircase, Radial, InApartment})
                variants.push_back({kind, wideband, cables, separate, option, 1, 2, 1, 1});
    };
    for (const bool wideband : {true, false})
        variants.push_back({Ter, wideband, 1, false, Default, 1, 2, 1, 1});
    satellite(Sat, false, false);
    for (const bool wideband : {true, false})
        for (const bool separate : {true, false}) satellite(TerSat, wideband, separate);
    return variants;
}

// Each variant on a few buildings drawn from the whole range by a fixed
// generator, so that every run tries the same ones; fewer under the
// sanitizers, whose designs are several times slower.
std::vector<TSweepCase> SweepCases() {
#ifdef OV_SWEEP_SANITIZED
    constexpr int BuildingsPerVariant = 2;
#else
    constexpr int BuildingsPerVariant = 8;
#endif
    std::vector<TSweepCase> cases = NamedCases();
    uint32_t seed = 20261211u;
    auto next = [&seed](int low, int high) {
        seed = seed * 1664525u + 1013904223u;
        return low + static_cast<int>((seed >> 8) % static_cast<uint32_t>(high - low + 1));
    };
    for (TSweepCase v : Variants())
        for (int k = 0; k < BuildingsPerVariant; ++k) {
            v.staircases = next(1, 4);
            v.floors = next(2, 12);
            v.flats = next(1, 6);
            v.outlets = next(1, 3);
            cases.push_back(v);
        }
    // One name a case: a repeated draw is tried once.
    std::vector<TSweepCase> unique;
    std::set<std::string> names;
    for (const TSweepCase& c : cases)
        if (names.insert(Name(c)).second) unique.push_back(c);
    return unique;
}

// ---- The person at the wizard ----

// Clicks a choice of page 0, as the person can only when it is offered.
void Choose(TAutoProgetto& w, int choice) {
    TRadioButton* button = w.Choice[choice];
    ASSERT_TRUE(button->Visible && button->Enabled) << "choice " << choice << " not offered";
    button->Click();
    EXPECT_TRUE(button->Checked) << "choice " << choice;
}

// Types a whole number over a field's text.
void Type(TEdit* field, int value) {
    ASSERT_TRUE(field->Enabled) << "field not enabled";
    field->UserFocus();
    field->SelectAll();
    field->InsertTypedText(std::to_string(value));
    EXPECT_EQ(field->Text.Get(), std::to_string(value));
}

// The channels the person gives the first antenna (plan "Europa").
const char* const AntennaChannels[] = {"21", "22", "23", "24", "25"};
constexpr const char* AntennaCode = "GAN-UHF";

void FillFirstAntenna(TAutoProgetto& w) {
    TPannelloCanaliTer& panel = *w.ChannelPanels[0];
    ASSERT_EQ(panel.Library->Text.Get(), "Varne");
    panel.Code->UserFocus();  // entering lists the library's antennas
    const int item = panel.Code->Items->IndexOf(AntennaCode);
    ASSERT_GE(item, 0) << "the panel offers no " << AntennaCode;
    panel.Code->SelectByUser(item);
    ASSERT_EQ(panel.Antenna().Code, AntennaCode);
    for (const char* name : AntennaChannels) {
        const int row = panel.Antenna().Plan->IndexOf(name);
        ASSERT_GE(row, 0) << name;
        const TRect r = panel.ChannelGrid->CellRect(row % ChannelGridColumns, row / ChannelGridColumns);
        panel.ChannelGrid->ClickAt((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    ASSERT_EQ(panel.Antenna().Channels.Count(), static_cast<int>(std::size(AntennaChannels)));
}

// Package "Sky" alone, as the boxes are clicked.
void ChooseSky(TAutoProgetto& w) {
    for (int k = 0; k < PackageCount; ++k) {
        TCheckBox* box = w.PackageBox[k];
        if (!box->Visible) continue;
        if (box->Checked != (k == 0)) box->Click();
        EXPECT_EQ(box->Checked.Get(), k == 0) << k;
    }
}

void DriveWizard(TAutoProgetto& w, const TSweepCase& c) {
    ASSERT_EQ(w.VisiblePage(), WizardTypePage);
    Choose(w, c.kind == Ter ? ChoiceTerrestre : c.kind == Sat ? ChoiceSatellitare : ChoiceTerSat);
    Choose(w, ChoiceReteCentrale);
    if (c.kind != Sat) Choose(w, c.wideband ? ChoiceLargaBanda : ChoiceModulare);
    if (c.kind != Ter)
        Choose(w, c.cables == 1   ? ChoiceMonocavo
                  : c.cables == 2 ? ChoiceMs2
                  : c.cables == 4 ? ChoiceMs4
                                  : ChoiceMs8);
    if (c.kind == TerSat) Choose(w, c.separate ? ChoiceSeparate : ChoiceUnite);
    if (c.option == InApartment) {
        w.ChoiceClick(w.Choice[ChoiceInAppartamento]);
        EXPECT_TRUE(w.Choice[ChoiceInAppartamento]->Checked);
    } else if (c.option != Default) {
        Choose(w, c.option == Radial ? ChoiceRadiale : ChoiceLungoScala);
    }
    w.BAvanti->Click();

    ASSERT_EQ(w.VisiblePage(), WizardBuildingPage);
    Type(w.BuildingEdit[RowStaircases], c.staircases);
    Type(w.BuildingEdit[RowFloors], c.floors);
    Type(w.BuildingEdit[RowApartments], c.flats);
    bool outletRow = false;
    for (const int row : {RowTerrOutlets, RowSatOutlets})
        if (w.BuildingEdit[row]->Enabled) {
            Type(w.BuildingEdit[row], c.outlets);
            outletRow = true;
        }
    EXPECT_TRUE(outletRow) << "no outlet count offered";
    w.BAvanti->Click();

    while (w.VisiblePage() != WizardComponentsPage) {
        const int page = w.VisiblePage();
        if (page == WizardChannelsPage) FillFirstAntenna(w);
        if (page == WizardPackagesPage) ChooseSky(w);
        w.BAvanti->Click();
        ASSERT_NE(w.VisiblePage(), page) << "\"Avanti >>\" stays on page " << page;
    }
    EXPECT_EQ(w.BAvanti->Caption.Get(), "Fine");
    w.BAvanti->Click();
    EXPECT_EQ(w.ModalResult.Get(), WizardDone);
}

// ---- What the program shows afterwards ----

int TabIndex(const TAntenne& f, const char* caption) {
    for (int i = 0; i < f.TabControl->Tabs->Count(); ++i)
        if (f.TabControl->Tabs->Strings(i) == caption) return i;
    return -1;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A refusal names what stopped the design when it says more than that it
// could not design, with a figure: the level asked against the most there is,
// the outputs asked against the most there are, the outlet and where it stands.
bool NamesALimit(std::string message) {
    for (size_t at; (at = message.find("Errore interno di calcolo")) != std::string::npos;)
        message.erase(at, message.find('.', at) - at);
    for (const char* generic : {"Errore di creazione disegno.", "Non riesco a progettare l'impianto.",
                                "Non riesco a dimensionare l'impianto.", "Errore interno di calcolo"}) {
        for (size_t at; (at = message.find(generic)) != std::string::npos;)
            message.erase(at, strlen(generic));
    }
    const bool figure =
        std::any_of(message.begin(), message.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
    message.erase(std::remove_if(message.begin(), message.end(),
                                 [](char ch) { return ch == ' ' || ch == '.' || (ch >= '0' && ch <= '9'); }),
                  message.end());
    return figure && !message.empty();
}

std::string Db(float level) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", level);
    return text;
}

std::string Where(const TCella& cell) {
    return cell.GetShortCode() + " (" + std::to_string(cell.Column) + "," + std::to_string(cell.Row) + ")";
}

struct TOutcome {
    bool designed = false;
    std::string refusal;
    std::string served;  // what the outlets received, for the record of the run
    std::vector<std::string> faults;
    void Fault(const std::string& what) {
        if (faults.size() < 40) faults.push_back(what);
    }
};

// The outlets and what they receive, read from their channel lists after
// "Calcoli canali" ran.
void CheckOutlets(const TProgetto& project, const TSweepCase& c, TOutcome& out) {
    std::vector<const TCella*> outlets;
    for (const TCella* cell = project.NetworkGrid->Anchor; cell; cell = cell->NextCell)
        if (dynamic_cast<const TPresaD*>(cell)) outlets.push_back(cell);
    // The outlets the building asks for: one network for both signals, or
    // two beside each other.
    const int flats = c.staircases * c.floors * c.flats;
    const bool ter = c.kind != Sat, sat = c.kind != Ter;
    const int expected = (c.kind == TerSat && c.separate) ? 2 * flats * c.outlets : flats * c.outlets;
    if (static_cast<int>(outlets.size()) != expected)
        out.Fault("outlets drawn " + std::to_string(outlets.size()) + ", the building has " +
                  std::to_string(expected));

    auto isTer = [](const TCanale& ch) { return ch.band >= 3 && ch.band <= 5; };
    auto isSat = [](const TCanale& ch) { return ch.band >= FirstSatSlot && ch.band <= BandSlotSat; };
    // The satellite channels distributed: whatever reaches any outlet; an
    // outlet that misses one of them is not served.
    std::set<std::string> satChannels;
    std::vector<const TListaCanali*> lists;
    for (const TCella* o : outlets) {
        const TListaCanali* list = o->ChannelLists.empty() ? nullptr : o->ChannelLists.back().get();
        lists.push_back(list);
        if (list)
            for (const TCanale* ch = list->head; ch; ch = ch->next)
                if (isSat(*ch)) satChannels.insert(ch->name + " " + ch->label);
    }
    if (sat && satChannels.empty()) out.Fault("no outlet receives any satellite channel");

    int terServed = 0, satServed = 0, outOfWindow = 0, unserved = 0;
    for (size_t i = 0; i < outlets.size(); ++i) {
        const TCella& o = *outlets[i];
        std::set<std::string> terHere, satHere;
        bool anySat = false, anyTer = false, inWindow = true;
        if (lists[i])
            for (const TCanale* ch = lists[i]->head; ch; ch = ch->next) {
                const bool t = isTer(*ch), s = isSat(*ch);
                if (!t && !s) continue;
                anyTer |= t;
                anySat |= s;
                (t ? terHere : satHere).insert(t ? ch->name : ch->name + " " + ch->label);
                const bool digital = ch->signalType == 'd';
                const auto& limits = Opzioni->limits[ch->band];
                const float least = limits[digital ? LimitSigMinDig : LimitSigMin];
                const float most = limits[digital ? LimitSigMaxDig : LimitSigMax];
                if (ch->levelMin < least - 0.001f || ch->levelMax > most + 0.001f) {
                    inWindow = false;
                    out.Fault(Where(o) + ": channel " + ch->name + " " + ch->label + " at " +
                              Db(ch->levelMin) + "-" + Db(ch->levelMax) + " dBuV, window " + Db(least) + "-" +
                              Db(most));
                }
            }
        outOfWindow += !inWindow;
        // Which signals the outlet serves: on joint networks both, on
        // separate ones the network it stands on (the one whose channels
        // reach it; one that receives nothing counts for the terrestrial).
        const bool servesSat = sat && (!ter || !c.separate || anySat);
        const bool servesTer = ter && (!sat || !c.separate || !anySat);
        terServed += servesTer;
        satServed += servesSat;
        std::string missing;
        if (c.separate && anySat && anyTer)
            out.Fault(Where(o) + ": terrestrial and satellite on separate networks");
        if (servesTer)
            for (const char* name : AntennaChannels)
                if (!terHere.count(name)) missing += std::string(" ") + name;
        if (servesSat)
            for (const std::string& name : satChannels)
                if (!satHere.count(name)) missing += " " + name;
        if (!missing.empty()) {
            ++unserved;
            out.Fault(Where(o) + ": missing" + missing);
        }
    }
    const int each = c.kind == TerSat && c.separate ? flats * c.outlets : expected;
    if (ter && terServed != each)
        out.Fault("terrestrial outlets " + std::to_string(terServed) + " of " + std::to_string(each));
    if (sat && satServed != each)
        out.Fault("satellite outlets " + std::to_string(satServed) + " of " + std::to_string(each));
    out.served = std::to_string(outlets.size()) + " outlets, " + std::to_string(unserved) +
                 " missing a channel, " + std::to_string(outOfWindow) +
                 " with a channel out of its window; " + std::to_string(satChannels.size()) +
                 " satellite channels distributed";
}

TOutcome DesignAsAPerson(TAntenne& f, const TSweepCase& c) {
    TOutcome out;
    Script().Reset();
    bool driven = false;
    Script().AnswerShowModal<TAutoProgetto>([&](TAutoProgetto& w) {
        DriveWizard(w, c);
        driven = true;
    });
    // A refused design brings the wizard back: the person closes it.
    Script().AnswerShowModal<TAutoProgetto>(WizardClosed);
    f.New1->Click();
    if (!driven) {
        out.Fault("the wizard was not filled in");
        return out;
    }
    std::vector<std::string> messages;
    for (const TMessageBoxCall& m : Script().MessageBoxes) messages.push_back(m.Text);
    if (Script().ModalForms.size() > 1) {
        // Refused.
        if (messages.empty()) out.Fault("refused without a message");
        for (const std::string& m : messages) out.refusal += (out.refusal.empty() ? "" : " / ") + m;
        if (!out.refusal.empty() && !NamesALimit(out.refusal))
            out.Fault("refused with a message that names no limit: " + out.refusal);
        return out;
    }
    out.designed = true;
    for (const std::string& m : messages) out.Fault("message at the design: " + m);
    TProgetto& project = *f.CurrentProject;
    if (project.Step != 2) out.Fault("the project is not shown calculated");
    // Every cell has its component: the pages come.
    for (const char* page : {PageCalcoliRete, PageCalcoliCanali, PagePreventivo})
        if (TabIndex(f, page) < 0) out.Fault(std::string("no page \"") + page + "\"");
    for (const TGridData* grid : {project.NetworkGrid, project.HeadEndGrid})
        for (const TCella* cell = grid->Anchor; cell; cell = cell->NextCell)
            if (!cell->Described) out.Fault(Where(*cell) + " has no component");
    if (const int rete = TabIndex(f, PageCalcoliRete); rete >= 0) {
        f.TabControl->SelectByUser(rete);
        const std::string report = f.ReteReport.Report->Text.Get();
        for (const char* check :
             {"Controllo separazione prese: Ok", "Controllo differenza segnale alle prese: Ok"})
            if (!Contains(report, check)) {
                std::string line = check;
                line = line.substr(0, line.size() - 2);
                const size_t at = report.find(line);
                out.Fault("Calcoli rete: " + (at == std::string::npos
                                                  ? line + "?"
                                                  : report.substr(at, report.find('\n', at) - at)));
            }
        if (const size_t at = report.find("Esempi di violazioni"); at != std::string::npos)
            out.Fault("Calcoli rete: " + report.substr(at, report.find("\n-", at) - at));
    }
    if (const int canali = TabIndex(f, PageCalcoliCanali); canali >= 0) {
        f.TabControl->SelectByUser(canali);
        TStringList& items = *f.CanaliReport.Messages->Items;
        if (items.Count() > 0) {
            out.Fault("Calcoli canali: " + std::to_string(items.Count()) + " messages");
            // One line a kind of message: cell names and figures left out,
            // with how often it came and its first text.
            std::map<std::string, std::pair<int, std::string>> kinds;
            for (int i = 0; i < items.Count(); ++i) {
                const std::string text = items.Strings(i);
                const size_t colon = text.find(':');
                std::string kind = colon == std::string::npos ? text : text.substr(colon + 1);
                for (char& ch : kind)
                    if (ch >= '0' && ch <= '9') ch = '#';
                auto& [count, first] = kinds[kind];
                if (count++ == 0) first = text;
            }
            for (const auto& [kind, seen] : kinds)
                out.Fault("  " + std::to_string(seen.first) + " x " + seen.second);
        }
        CheckOutlets(project, c, out);
    }
    return out;
}

void WriteOutcome(const std::string& name, const TOutcome& out) {
    const std::filesystem::path folder =
        std::filesystem::path(OV_BUILD_DIR) / "test-artefacts" / "design-sweep";
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    std::filesystem::remove(folder / (name + ".refused"), ignored);
    std::ofstream all(folder / (name + ".txt"));
    all << name << ": "
        << (out.designed          ? "designed"
            : out.refusal.empty() ? "not designed"
                                  : "refused")
        << "\n";
    if (!out.refusal.empty()) {
        all << "  refusal: " << out.refusal << "\n";
        std::ofstream(folder / (name + ".refused")) << name << "\t" << out.refusal << "\n";
    }
    if (!out.served.empty()) all << "  " << out.served << "\n";
    for (const std::string& fault : out.faults) all << "  " << fault << "\n";
}

// gtest names a case by its building and variant.
void PrintTo(const TSweepCase& c, std::ostream* os) { *os << Name(c); }

class WizardDesignSweep : public ::testing::TestWithParam<TSweepCase> {};

// One building designed in a program of its own, and its record written.
TOutcome Design(const TSweepCase& c) {
    ScopedProgram program;
    TAntenne& f = StartWithDefaultLibrary(program);
    TOutcome out = DesignAsAPerson(f, c);
    WriteOutcome(Name(c), out);
    return out;
}

TEST_P(WizardDesignSweep, DesignedAndServedOrRefusedWithTheLimitNamed) {
    const TSweepCase& c = GetParam();
    const TOutcome out = Design(c);
    std::string all;
    for (const std::string& fault : out.faults) all += "\n  " + fault;
    EXPECT_TRUE(out.faults.empty()) << Name(c)
                                    << (out.designed ? " designed; " + out.served
                                                     : " refused: " + out.refusal)
                                    << all;
}

INSTANTIATE_TEST_SUITE_P(Buildings, WizardDesignSweep, ::testing::ValuesIn(SweepCases()),
                         [](const ::testing::TestParamInfo<TSweepCase>& info) { return Name(info.param); });

// ---- The grid ----
//
// Each head end and each kind of distribution on every building of 1-4
// staircases x 4, 8, 10 or 12 floors x 2, 4 or 6 flats x 1 or 3 outlets: the
// closing check refuses none of them (what the designer chose, it draws so
// that it works), and no building is refused while one larger in staircases,
// floors, flats and outlets alike is designed with the same choices. One
// variant a test, so that ctest runs them side by side; under the sanitizers
// the corners of the grid only.

std::vector<TSweepCase> GridVariants() {
    std::vector<TSweepCase> variants;
    auto add = [&](TKind kind, bool wideband, int cables, bool separate, TSwitchOption option) {
        variants.push_back({kind, wideband, cables, separate, option, 1, 4, 2, 1});
    };
    for (const bool wideband : {true, false}) {
        add(Ter, wideband, 1, false, Default);
        for (const bool separate : {false, true}) add(TerSat, wideband, 1, separate, Default);
        add(TerSat, wideband, 4, false, AlongStaircase);
    }
    add(Sat, false, 1, false, Default);
    add(Sat, false, 4, false, AlongStaircase);
    add(Sat, false, 8, false, Radial);
    add(Sat, false, 8, false, InApartment);
    add(TerSat, false, 2, false, AlongStaircase);
    add(TerSat, false, 2, true, AlongStaircase);
    add(TerSat, true, 4, true, Radial);
    add(TerSat, false, 4, false, InApartment);
    add(TerSat, true, 2, true, InApartment);
    return variants;
}

std::vector<std::array<int, 4>> GridBuildings() {
    std::vector<std::array<int, 4>> buildings;
#ifdef OV_SWEEP_SANITIZED
    for (const std::array<int, 4>& b : std::vector<std::array<int, 4>>{{1, 4, 2, 1}, {4, 12, 6, 3}})
        buildings.push_back(b);
#else
    for (const int staircases : {1, 2, 3, 4})
        for (const int floors : {4, 8, 10, 12})
            for (const int flats : {2, 4, 6})
                for (const int outlets : {1, 3}) buildings.push_back({staircases, floors, flats, outlets});
#endif
    return buildings;
}

std::string VariantName(TSweepCase c) {
    const std::string name = Name(c);
    return name.substr(0, name.rfind('_'));
}

// Two lines along the staircase take no amplifier group between the floors:
// the switches' losses alone set the levels, and a floor of two apartments
// loses less than one of four, so that its nearest outlets get too much where
// a building of four apartments a floor is served. That refusal names four
// cables, which the grid designs on every building.
bool PartOfTheTwoCableStaircase(const TSweepCase& c, const std::string& refusal) {
    return c.cables == 2 && c.option == AlongStaircase &&
           Contains(refusal, "le prese richiedono livelli troppo diversi tra loro") &&
           Contains(refusal, "Scegliere \"Multiswitch 4 cavi\".");
}

class WizardDesignGrid : public ::testing::TestWithParam<TSweepCase> {};

TEST_P(WizardDesignGrid, NoClosingCheckRefusalAndNoSmallerBuildingRefused) {
    struct TSeen {
        std::array<int, 4> building;
        bool designed;
        std::string refusal;
    };
    std::vector<TSeen> seen;
    for (const std::array<int, 4>& b : GridBuildings()) {
        TSweepCase c = GetParam();
        c.staircases = b[0], c.floors = b[1], c.flats = b[2], c.outlets = b[3];
        const TOutcome out = Design(c);
        std::string all;
        for (const std::string& fault : out.faults) all += "\n  " + fault;
        EXPECT_TRUE(out.faults.empty())
            << Name(c) << (out.designed ? " designed; " + out.served : " refused: " + out.refusal) << all;
        EXPECT_FALSE(Contains(out.refusal, "non funzionerebbe")) << Name(c) << ": " << out.refusal;
        seen.push_back({b, out.designed, out.refusal});
    }
    for (const TSeen& refused : seen) {
        if (refused.designed || PartOfTheTwoCableStaircase(GetParam(), refused.refusal)) continue;
        for (const TSeen& larger : seen) {
            if (!larger.designed) continue;
            bool covers = true;
            for (size_t k = 0; k < 4; ++k) covers = covers && larger.building[k] >= refused.building[k];
            if (!covers) continue;
            TSweepCase a = GetParam(), b = GetParam();
            a.staircases = refused.building[0], a.floors = refused.building[1], a.flats = refused.building[2],
            a.outlets = refused.building[3];
            b.staircases = larger.building[0], b.floors = larger.building[1], b.flats = larger.building[2],
            b.outlets = larger.building[3];
            ADD_FAILURE() << Name(a) << " refused (" << refused.refusal << ") while " << Name(b)
                          << " is designed";
            break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, WizardDesignGrid, ::testing::ValuesIn(GridVariants()),
                         [](const ::testing::TestParamInfo<TSweepCase>& info) {
                             return VariantName(info.param);
                         });

// Each refusal on a building that meets it: the step in the words the
// person knows, its figures, and the choice named, which then designs the
// same building.
TEST(WizardDesignRefusals, EachGivesItsFiguresAndAChoiceThatServes) {
    struct TRefusal {
        TSweepCase refused, served;
        std::vector<const char*> parts;  // in this order
    };
    // clang-format off
    const TRefusal cases[] = {
        {{Ter, true, 1, false, Default, 3, 10, 4, 3}, {Ter, false, 1, false, Default, 3, 10, 4, 3},
         {"Nessun amplificatore a larga banda selezionabile. La rete richiede in testa ", " dBµV, le antenne con il "
          "guadagno degli amplificatori e le perdite della centrale ne danno al più ", ". Scegliere \"Modulare\"."}},
        {{Ter, true, 1, false, Default, 4, 12, 6, 3}, {Ter, false, 1, false, Default, 4, 12, 6, 3},
         {"Nessun amplificatore a larga banda selezionabile. La rete richiede in testa ", " dBµV, le antenne con il "
          "guadagno degli amplificatori ne danno al più ", ". Scegliere \"Modulare\"."}},
        {{TerSat, true, 1, false, Default, 4, 12, 6, 3}, {TerSat, false, 1, false, Default, 4, 12, 6, 3},
         {"Nessun amplificatore a larga banda selezionabile. L'amplificatore ", " della centrale di testa dovrebbe "
          "dare il canale ", " dBµV, più dei ", " dBµV che regge con i ", " canali che riceve. Scegliere "
          "\"Modulare\"."}},
        {{TerSat, false, 2, true, AlongStaircase, 3, 12, 5, 2}, {TerSat, false, 4, true, AlongStaircase, 3, 12, 5, 2},
         {"Non è possibile dimensionare le scale in quanto le prese richiedono livelli troppo diversi tra loro: "
          "nessun segnale in testa alla scala le porta tutte entro i livelli ammessi. In testa alla scala ",
          " la presa più lontana chiede almeno ", " dBµV, la più vicina ne sopporta al più ", " dBµV (satellite). "
          "Scegliere \"Multiswitch 4 cavi\"."}},
        {{TerSat, false, 2, true, AlongStaircase, 3, 12, 4, 3}, {TerSat, false, 4, true, AlongStaircase, 3, 12, 4, 3},
         {"Non è possibile dimensionare le scale in quanto è richiesto un segnale troppo elevato dalla centrale di "
          "testa. L'amplificatore ", " della rete dovrebbe dare il canale ", " dBµV, più dei ", " dBµV che regge. "
          "Scegliere \"Multiswitch 4 cavi\"."}},
        {{TerSat, false, 2, true, AlongStaircase, 2, 11, 1, 1}, {TerSat, false, 4, true, AlongStaircase, 2, 11, 1, 1},
         {"Non è possibile dimensionare le scale in quanto le prese richiedono livelli troppo diversi tra loro: "
          "nessun segnale in testa alla scala le porta tutte entro i livelli ammessi. La presa P", " (scala ",
          ", piano ", ", appartamento ", ") riceve ", " dBµV, la presa P", " dBµV: ", " dB di differenza in banda ",
          ", più dei ", " dB consentiti. Scegliere \"Multiswitch 4 cavi\"."}},
        {{Sat, false, 8, false, Radial, 2, 4, 6, 1}, {Sat, false, 8, false, AlongStaircase, 2, 4, 6, 1},
         {"Non vi sono switch radiali con un numero sufficiente di uscite. L'impianto ne richiede 48, il più grande "
          "disponibile ne ha 32. Scegliere \"Multiswitch lungo scala\"."}},
    };
    // clang-format on
    for (const TRefusal& c : cases) {
        SCOPED_TRACE(Name(c.refused));
        const TOutcome refused = Design(c.refused);
        ASSERT_FALSE(refused.designed);
        size_t at = 0;
        for (const char* part : c.parts) {
            const size_t found = refused.refusal.find(part, at);
            EXPECT_NE(found, std::string::npos) << "\"" << part << "\" in: " << refused.refusal;
            if (found == std::string::npos) break;
            // Between two parts stands a figure.
            if (at > 0) {
                const std::string between = refused.refusal.substr(at, found - at);
                EXPECT_TRUE(std::any_of(between.begin(), between.end(),
                                        [](unsigned char ch) { return std::isdigit(ch); }))
                    << "\"" << between << "\" in: " << refused.refusal;
            }
            at = found + strlen(part);
        }
        EXPECT_EQ(refused.refusal.rfind(c.parts[0], 0), 0u) << refused.refusal;
        EXPECT_TRUE(refused.refusal.ends_with(c.parts.back())) << refused.refusal;
        const TOutcome served = Design(c.served);
        EXPECT_TRUE(served.designed) << Name(c.served) << ": " << served.refusal;
    }
}

}  // namespace
