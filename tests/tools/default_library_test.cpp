// The default library "Varne.alb" and "Default.sel": the files the build
// leaves in the program directory, how the program reads them, what their
// articles hold and which of the designer's roles they fill.
#include "tools/default_library/default_library.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "autodesign/engine.h"
#include "cells/amplifiers.h"
#include "cells/auto_mix.h"
#include "cells/cables.h"
#include "cells/cell.h"
#include "cells/factory.h"
#include "cells/library_cells.h"
#include "cells/mixers.h"
#include "cells/outlets.h"
#include "cells/sources.h"
#include "cells/taps.h"
#include "cells/terminations.h"
#include "core/channel_plans.h"
#include "core/control_builders.h"
#include "core/file.h"
#include "core/libraries.h"
#include "document/grid.h"
#include "platform/application.h"
#include "platform/comctrls.h"
#include "platform/forms.h"
#include "platform/safe_files.h"
#include "platform/stdctrls.h"
#include "support/design_components.h"
#include "support/file_bytes.h"
#include "support/globals_fixture.h"
#include "support/program_fixture.h"
#include "support/record_bytes.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Cells = std::vector<std::unique_ptr<TCella>>;

constexpr int Slots = 11;    // band slots with values
constexpr int SatSlot9 = 9;  // satellite band 4, where the designer reads satellite figures
constexpr int BandVSlot = 5;
constexpr uint32_t TerMask = 0x3a, SatMask = 0x3c0, BothMask = 0x3fa;

std::string BuildFile(const char* name) { return std::string(OV_PROGRAM_DIR) + "/" + name; }

std::string Bytes(const std::string& path) {
    std::string bytes;
    int error = 0;
    EXPECT_TRUE(ReadFileContent(path, bytes, error)) << path << " " << error;
    return bytes;
}

std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
    return names;
}

bool Real(float v) { return v > -500000.0f; }
float Value(TCella& c, int row, int column, int slot) { return c.Attenuation->Get3(row, column, slot); }

// "Passaggio DC" of an outlet, and the DC-passing taps: power received at the user outputs.
bool ReceivesAtOutputs(const TCella& c) { return (c.Power[PowerSupply][0] & 4) != 0; }
bool At(const TCella& c, uint32_t position) { return (c.Positions[0] & position) != 0; }

class DefaultLibrary : public GlobalsTest {
protected:
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    TListBox messages;

    void SetUp() override { globals.Reporter().SetTarget(&messages); }

    // The build's library, registered as the program registers it.
    TLibreria* Register() {
        auto* library = new TLibreria;
        library->fileName = BuildFile(DefaultLibraryFile);
        libraries.Get().Append(std::unique_ptr<TLibreria>(library));
        return library;
    }

    // The library's components, the cables of "Default.sel" and two antennas
    // with their channels of "Europa", as a design run gets them.
    void PrepareDesign(TCreaAuto& engine) {
        Register();
        for (auto& c : ReadAll()) engine.Components->Insert(std::move(c));
        TOpzProgetto& o = *engine.Settings;
        {
            // The cable pickers take strings 2 to 13 in the settings' order.
            TFile sel(BuildFile(DefaultSelectionFile), ModeReadDenyWrite);
            AnsiString text;
            sel.ReadChunkedAnsiString(text, -1);
            EXPECT_EQ(text, "Varne");
            for (AnsiString& cable : o.CableTexts) sel.ReadChunkedAnsiString(cable, -1);
        }
        // Two antennas of the library with their channels of "Europa".
        SetAntenna(o.Antennas[0], DefaultLibraryName, "GAN-B3", {"5", "7"});
        SetAntenna(o.Antennas[1], DefaultLibraryName, "GAN-UHF", {"26", "30", "35"});
    }

    // Every entry of the build's library, in file order.
    Cells ReadAll() {
        TLibreria* library = Register();
        Cells cells;
        EXPECT_TRUE(library->Open());
        for (std::unique_ptr<TCella> cell = FirstLibraryCell(*library); cell; cell = NextLibraryCell(*library))
            cells.push_back(std::move(cell));
        library->Close();
        return cells;
    }
};

// ---- The files ----

TEST_F(DefaultLibrary, BuildWritesBothFilesAndTheGeneratorAlwaysWritesTheSameBytes) {
    TempDir first(TempDir::InMemory{}), second(TempDir::InMemory{});
    AnsiString failure;
    ASSERT_TRUE(WriteDefaultLibrary(first.Path(), failure)) << failure;
    ASSERT_TRUE(WriteDefaultLibrary(second.Path() + "/", failure)) << failure;
    EXPECT_EQ(FilesIn(first.Path()), (std::set<std::string>{"Varne.alb", "Default.sel"}));
    for (const char* name : {DefaultLibraryFile, DefaultSelectionFile}) {
        const std::string bytes = Bytes(first.File(name));
        EXPECT_EQ(bytes, Bytes(second.File(name))) << name;
        EXPECT_EQ(bytes, Bytes(BuildFile(name))) << name << " of the build differs from its generator";
    }
    // "Default.sel": the library name alone (the whole library ticked), then
    // six cable pairs, riser first, as chunked strings.
    std::string sel = "\x05Varne";
    for (const char* code :
         {"\x06GCX-10", "\x06GCX-10", "\x06GCX-07", "\x06GCX-07", "\x06GCX-05", "\x06GCX-05"})
        sel += std::string("\x05Varne") + code;
    EXPECT_EQ(sel.size(), 84u);
    EXPECT_EQ(Bytes(first.File(DefaultSelectionFile)), sel);
}

TEST_F(DefaultLibrary, FailedWriteLeavesNoFileOfEitherName) {
    file_faults::Reset();
    std::int64_t steps = 0;
    {
        TempDir dir(TempDir::InMemory{});
        AnsiString failure;
        ASSERT_TRUE(WriteDefaultLibrary(dir.Path(), failure)) << failure;
        steps = file_faults::Steps();
    }
    ASSERT_GT(steps, 2);
    // The library's first write, one in the middle, and its last rename.
    for (std::int64_t stop : {std::int64_t{0}, steps / 2, steps - 1}) {
        TempDir dir(TempDir::InMemory{});
        file_faults::StopAt(stop, file_faults::TStop::Error, ENOSPC);
        AnsiString failure;
        EXPECT_FALSE(WriteDefaultLibrary(dir.Path(), failure)) << stop;
        file_faults::Reset();
        EXPECT_FALSE(failure.empty());
        EXPECT_TRUE(FilesIn(dir.Path()).empty()) << "stop at " << stop;
    }
    // "Default.sel" cannot be made: the complete library is not put in place either.
    {
        TempDir dir(TempDir::InMemory{});
        fs::create_directory(dir.File(std::string(".new.") + DefaultSelectionFile));
        AnsiString failure;
        EXPECT_FALSE(WriteDefaultLibrary(dir.Path(), failure));
        EXPECT_EQ(FilesIn(dir.Path()), (std::set<std::string>{".new.Default.sel"}));
    }
    // A class the factory cannot make: nothing is written.
    {
        TempDir dir(TempDir::InMemory{});
        const TCellMaker saved = SetCellClassMaker("TSat", nullptr);
        AnsiString failure;
        EXPECT_FALSE(WriteDefaultLibrary(dir.Path(), failure));
        SetCellClassMaker("TSat", saved);
        EXPECT_NE(failure.find("39"), std::string::npos) << failure;
        EXPECT_TRUE(FilesIn(dir.Path()).empty());
    }
}

// ---- Reading ----

TEST_F(DefaultLibrary, OpensCountsAndReadsEveryEntryIntoItsClass) {
    EXPECT_EQ(Bytes(BuildFile(DefaultLibraryFile)).substr(0, 13), std::string("alb 6.0.0   \x09"));
    const Cells cells = ReadAll();
    ASSERT_EQ(cells.size(), 227u);
    // The entries are the generator's articles, whole and in its order.
    const Cells made = BuildDefaultArticles();
    ASSERT_EQ(made.size(), cells.size());
    std::set<AnsiString> codes;
    TLibreria* library = libraries.Get().Find("varne");
    ASSERT_NE(library, nullptr);
    ASSERT_TRUE(library->Open());
    for (size_t i = 0; i < cells.size(); ++i) {
        TCella& c = *cells[i];
        SCOPED_TRACE(c.Code);
        EXPECT_EQ(SavedRecord(c), SavedRecord(*made[i]));
        EXPECT_TRUE(codes.insert(c.Code).second) << "code twice";
        EXPECT_EQ(c.Brand, "Generico");
        EXPECT_EQ(c.Currency, 1);
        EXPECT_GT(c.Price, 0.0f);
        EXPECT_GE(c.InstallMinutes, 0);
        EXPECT_FALSE(c.Description.empty());
        EXPECT_FALSE(c.Category.empty());
        EXPECT_EQ(c.Described, 1);
        // Read by its code, as the designer and the forms read an article.
        std::unique_ptr<TCella> owned = ReadLibraryCell(*library, c.Code);
        ASSERT_NE(owned, nullptr);
        EXPECT_EQ(SavedRecord(*owned), SavedRecord(c));
        // The data check of its class; a cable is checked with the length the designer gives it.
        std::unique_ptr<TCella> checked(c.Clone());
        ASSERT_NE(checked, nullptr);
        if (checked->TypeCode == CodeCable) {
            EXPECT_FALSE(Real(static_cast<TNCavo&>(*checked).PassAttenuation()))
                << "a library cable has no length";
            static_cast<TNCavo&>(*checked).SetLength(25.0f);
        }
        EXPECT_TRUE(checked->CheckData("")) << (messages.Items->Count() ? messages.Items->Strings(0) : "");
    }
    library->Close();
    EXPECT_EQ(messages.Items->Count(), 0);
}

TEST_F(DefaultLibrary, ListsInEveryWayTheProgramListsLibraries) {
    TLibreria* library = Register();
    EXPECT_EQ(libraries.Get().Find("VARNE"), library);
    ASSERT_TRUE(library->Open());
    TStringList list;
    library->ListCategories(list);
    std::set<AnsiString> categories;
    for (int i = 0; i < list.Count(); ++i) categories.insert(list[i]);
    EXPECT_EQ(categories, (std::set<AnsiString>{"Cavi", "Prese", "Divisori", "Derivatori", "Chiusure",
                                                "Switch", "Amplificatori", "Amplificatori LB", "Alimentatori",
                                                "Filtri attivi", "Amplificatori finali", "Convertitori",
                                                "Convertitori LNB", "Parabole", "Miscelatori", "Antenne"}));
    // The wizard's cable pickers: the cable codes.
    library->Query(list, "", CodeCable, 0, 0, 0, lqCodesOfType);
    EXPECT_EQ(list.Count(), 3);
    library->ListByTypeAndKeys(list, 6, 1, 1, 4);
    EXPECT_EQ(list.Count(), 5 + 2);
    library->Query(list, "", 43, 0, 0, 0, lqSeriesOfType);
    std::set<AnsiString> series;
    for (int i = 0; i < list.Count(); ++i) series.insert(list[i]);
    EXPECT_EQ(series, (std::set<AnsiString>{"GTM", "GSI"}));
    library->Close();

    std::unique_ptr<TCella> tap(GetLibraryCell(libraries.Get(), "Varne", "GD-04-14"));
    ASSERT_NE(tap, nullptr);
    EXPECT_EQ(tap->Description, "Derivatore 4 uscite 14 dB");

    TForm form(nullptr);
    TTreeView* tree = new TTreeView(&form);
    tree->Parent = &form;
    FillLibraryTree(tree, LibTreeLibraries | LibTreeCategories);
    TTreeNode* node = tree->Items->GetFirstNode();
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->Text.Get(), "Varne");
    int shown = 0;
    for (TTreeNode* category = node->getFirstChild(); category; category = category->getNextSibling())
        for (TTreeNode* entry = category->getFirstChild(); entry; entry = entry->getNextSibling()) ++shown;
    EXPECT_EQ(shown, 227);
}

// ---- Plausibility, over the whole library ----

TEST_F(DefaultLibrary, EveryArticleIsPlausible) {
    const Cells cells = ReadAll();
    std::map<AnsiString, TCella*> byCode;
    for (const auto& c : cells) byCode[c->Code] = c.get();
    auto loss = [](TCella* c, int slot) { return Value(*c, 0, 0, slot); };

    struct Invariant {
        const char* what;
        std::function<bool(TCella&)> holds;  // for every cell
    };
    // clang-format off
    const Invariant invariants[] = {
        {"the article names the kind of part in a few letters, the description which one",
         [&](TCella& c) { return !c.Article.empty() && c.Article.size() <= 14 && c.Article != c.Description; }},
        {"cable loss rises strictly with the slot",
         [&](TCella& c) {
             if (c.TypeCode != CodeCable) return true;
             for (int b = 1; b < Slots; ++b)
                 if (!(loss(&c, b) > loss(&c, b - 1))) return false;
             return Real(loss(&c, 0));
         }},
        {"a thinner cable is always lossier",
         [&](TCella& c) {
             if (c.Code != "GCX-07") return true;
             for (int b = 0; b < Slots; ++b)
                 if (!(loss(byCode["GCX-05"], b) > loss(&c, b) && loss(&c, b) > loss(byCode["GCX-10"], b)))
                     return false;
             return true;
         }},
        {"a tap's through loss is below its tap loss and above the power balance",
         [&](TCella& c) {
             if (c.TypeCode != 6) return true;
             for (int b = 0; b < Slots; ++b) {
                 const double t = Value(c, 0, TapLossColumn, b), th = Value(c, 0, TapThroughColumn, b);
                 const double balance = -10.0 * std::log10(1.0 - c.TapOutputs * std::pow(10.0, -t / 10.0));
                 if (!(th < t && th >= balance)) return false;
             }
             return true;
         }},
        {"a larger tap loss of the same size gives a smaller through loss",
         [&](TCella& c) {
             if (c.TypeCode != 6) return true;
             for (const auto& other : cells)
                 if (other->TypeCode == 6 && other->TapOutputs == c.TapOutputs &&
                     ReceivesAtOutputs(*other) == ReceivesAtOutputs(c) &&
                     Value(*other, 0, TapLossColumn, 0) > Value(c, 0, TapLossColumn, 0))
                     for (int b = 0; b < Slots; ++b)
                         if (!(Value(*other, 0, TapThroughColumn, b) < Value(c, 0, TapThroughColumn, b)))
                             return false;
             return true;
         }},
        {"a splitter loses at least its power split at every slot",
         [&](TCella& c) {
             if (c.TypeCode != 3 && c.TypeCode != 49) return true;
             for (int b = 0; b < Slots; ++b)
                 if (!(Value(c, 0, TapLossColumn, b) >= 10.0 * std::log10(c.TapOutputs))) return false;
             return true;
         }},
        {"an amplifier's maximum output lies in 100-126 dB and its gain is positive",
         [&](TCella& c) {
             int column = -1, gain = -1;
             if (c.TypeCode == 21 || c.TypeCode == 22) column = AmpMaxOutput, gain = AmpGain;
             if (c.TypeCode == 40 || c.TypeCode == 43) column = WideMaxOutput, gain = WideGain;
             if (column < 0) return true;
             int values = 0;
             for (int r = 0; r < c.TableRows; ++r)
                 for (int b = 0; b < Slots; ++b) {
                     const float out = Value(c, r, column, b);
                     if (!Real(out)) continue;
                     ++values;
                     if (out < 100.0f || out > 126.0f || !(Value(c, r, gain, b) > 0.0f)) return false;
                 }
             return values > 0;
         }},
        {"every LNB level lies in 74-86 dB, no LNB is \"LNB Quad\"",
         [&](TCella& c) {
             if (c.TypeCode != CodeSat) return true;
             if (c.Characteristics[0] & 4) return false;
             for (int o = 0; o < c.TableRows; ++o)
                 for (int b = 6; b < Slots; ++b) {
                     const float v = Value(c, o, SatLevelColumn, b);
                     if (v < 74.0f || v > 86.0f) return false;
                 }
             return true;
         }},
        {"no type 50, 55 or 42, no brand \"Varne\" or of the brand rules",
         [&](TCella& c) {
             return c.TypeCode != 50 && c.TypeCode != 55 && c.TypeCode != 42 && c.Brand != "Varne" &&
                    c.Brand != "Marca A" && c.Brand != "Marca B" && c.Brand != "Marca C";
         }},
    };
    // clang-format on
    for (const Invariant& inv : invariants)
        for (const auto& c : cells) EXPECT_TRUE(inv.holds(*c)) << inv.what << ": " << c->Code;
}

// ---- The designer's roles ----

TEST_F(DefaultLibrary, TheDesignersClassificationFillsEveryTable) {
    // The whole library ticked, as the wizard collects it.
    TCreaAuto engine(&globals.Reporter());
    for (auto& c : ReadAll()) engine.Components->Insert(std::move(c));
    engine.ClassifyComponents();

    for (int n : {2, 3, 4, 6}) {
        EXPECT_TRUE(engine.SplitterAvail[1][n]) << n;
        EXPECT_TRUE(engine.SplitterDcAvail[1][n]) << n;
    }
    EXPECT_LT(engine.SplitterLossTer[1][2], LossUnavailable);
    EXPECT_LT(engine.SplitterLossSat[1][2], LossUnavailable);
    for (int n : {1, 2, 4, 6, 8}) EXPECT_TRUE(engine.TapAvail[1][n]) << n;
    for (int n : {2, 4}) EXPECT_TRUE(engine.TapDcAvail[1][n]) << n;
    for (int n : {2, 4, 6}) EXPECT_TRUE(engine.TapNAvail[1][n]) << n;
    for (const auto& row : engine.TapSAvail)
        for (uint8_t mark : row) EXPECT_EQ(mark, 0);
    for (int i : {3, 5, 9}) {
        for (int o : {0, 2, 4, 6, 8, 16}) {
            EXPECT_TRUE(engine.SwitchAvail[i][o] && engine.SwitchLineAvail[i][o] &&
                        engine.SwitchUnpoweredAvail[i][o])
                << i << "x" << o;
        }
        for (int o : {8, 16, 32}) EXPECT_TRUE(engine.RadialSwitchAvail[i][o]) << i << "x" << o;
        EXPECT_TRUE(engine.RadialSwitchPoweredAvail[i][8]) << i;
        for (int o : {4, 8})
            EXPECT_TRUE(engine.RadialSwitchLastAvail[i][o] && engine.RadialSwitchUnpoweredAvail[i][o])
                << i << "x" << o;
    }
    EXPECT_EQ(engine.RadialSwitchLossSat[5][16], 0.0f);
    for (int n : {3, 4, 5, 8, 9})
        EXPECT_TRUE(engine.LineAmpAvail[n] && engine.AmpAvail21[n] && engine.AmpAvail22[n]) << n;
    EXPECT_GT(engine.SubstationLevelTer[1], 0.0f);
    for (int n : {1, 3, 4, 5, 8, 9}) EXPECT_GT(engine.SubstationLevelSat[n], 0.0f) << n;
    ASSERT_NE(engine.MixerCell, nullptr);
    EXPECT_EQ(engine.MixerCell->Code, "GMX-TS");
    EXPECT_EQ(engine.MixerSwapped, engine.MixerCell);
    EXPECT_EQ(engine.OwnBrandSwitch, 0);
}

// The whole library ticked and the cables of "Default.sel": the designer's
// input check passes every wizard variant, with and without a head end, and
// chooses what the later stages build with.
TEST_F(DefaultLibrary, TheInputCheckPassesEveryWizardVariant) {
    TCreaAuto engine(&globals.Reporter());
    PrepareDesign(engine);
    TOpzProgetto& o = *engine.Settings;
    enum HeadEnd { None, Modular, Wideband };
    struct Variant {
        const char* name;
        bool ter, sat;
        int32_t cables;
        bool separate, alongStaircase, radial;
        const char* terOutlet;    // the codes' shape of the terrestrial role, "" none
        const char* satOutlet;    // of the satellite role
        const char* satDcOutlet;  // of the satellite role passing DC
    };
    // clang-format off
    const Variant variants[] = {
        {"T only", true, false, 1, false, true, false, "T1", "", ""},
        {"T+S Monocavo Unite", true, true, 1, false, true, false, "TS2", "", ""},
        {"T+S Monocavo Separate", true, true, 1, true, true, false, "T1", "S1", "CS1"},
        {"T+S 4 cables Unite in the apartment", true, true, 4, false, false, false, "", "TS2", "CTS2"},
        {"T+S 4 cables Unite along the staircase", true, true, 4, false, true, false, "", "TS2", "CTS2"},
        {"S only 8 cables radial", false, true, 8, false, false, true, "", "S1", "CS1"},
        {"S only Monocavo", false, true, 1, false, true, false, "", "S1", "CS1"},
    };
    // clang-format on
    const char* suffix[OutletTypes] = {"-D", "-P18", "-T"};
    for (const Variant& v : variants)
        for (HeadEnd h : {None, Modular, Wideband}) {
            if (h == Wideband && !v.ter) continue;
            SCOPED_TRACE(std::string(v.name) + (h == None      ? ""
                                                : h == Modular ? ", modular head end"
                                                               : ", wideband"));
            o.Terrestrial = v.ter;
            o.Satellite = v.sat;
            o.SatelliteCables = v.cables;
            o.SeparateDistributions = v.separate;
            o.MultiswitchAlongStaircase = v.alongStaircase;
            o.Radial = v.radial;
            o.DesignHeadEnd = h != None;
            o.Wideband = h == Wideband;
            EXPECT_EQ(RunInputCheck(engine, true), "");
            for (int t = 0; t < OutletTypes; ++t) {
                const char* wanted[OutletRoles] = {v.terOutlet, v.satOutlet, v.satDcOutlet};
                for (int role = 0; role < OutletRoles; ++role) {
                    if (!*wanted[role]) continue;
                    TCella* chosen = engine.OutletChoice[t][role];
                    ASSERT_NE(chosen, nullptr) << "type " << t << " role " << role;
                    EXPECT_EQ(chosen->Code, std::string("GP-") + wanted[role] + suffix[t]) << "role " << role;
                }
            }
            if (h == None) continue;
            if (v.ter) EXPECT_EQ(engine.AntennaCount, 2);
            if (v.ter && h == Wideband) {
                EXPECT_GT(engine.HeadEndLevelTer, 0.0f);
            }
            if (v.ter && h == Modular) {
                // The one terrestrial family is that of the channel filters: the
                // satellite IF filter, of the same type, forms none.
                ASSERT_EQ(engine.FamilyCount[0], 1);
                const TFamiglia& gtm = engine.FamilyTer[0];
                EXPECT_EQ(gtm.Series, "GTM");
                EXPECT_GT(gtm.Hmax, 0.0f);
                EXPECT_GT(gtm.Smax, 0.0f);
            }
            if (v.sat && !engine.MultiswitchSat) {
                ASSERT_EQ(engine.FamilyCount[1], 1);
                EXPECT_EQ(engine.FamilySat[0].Series, "GSI");
                EXPECT_GT(engine.FamilySat[0].Hmax, 0.0f);
            }
            // The LNBs of four outputs: the common one and the high-output one.
            if (engine.MultiswitchSat && v.cables == 4) {
                EXPECT_EQ(engine.LnbLevelMax, 85.0f);
                EXPECT_EQ(engine.LnbLevelMin, 80.0f);
            }
        }
}

// The staircases of the reference shapes: every apartment and floor block of
// one staircase drawn on the default library, each passing its analysis,
// and every floor laid out, without a message.
TEST_F(DefaultLibrary, TheStaircaseBlocksOfTheReferenceShapes) {
    TCreaAuto engine(&globals.Reporter());
    PrepareDesign(engine);
    TOpzProgetto& o = *engine.Settings;
    struct Shape {
        const char* name;
        bool ter, sat;
        int32_t cables;
        bool alongStaircase, radial;
        int32_t floors, apartments, terOutlets, satOutlets, layout;
    };
    // clang-format off
    const Shape shapes[] = {
        {"T only", true, false, 1, true, false, 12, 6, 2, 0, 2},
        {"T+S Monocavo Unite", true, true, 1, true, false, 5, 3, 2, 2, 2},
        {"4 cables Unite along the staircase", true, true, 4, true, false, 6, 4, 0, 2, 2},
        {"4 cables in the apartment", true, true, 4, false, false, 4, 2, 0, 2, 0},
        {"S only 8 cables radial", false, true, 8, false, true, 3, 2, 0, 2, 2},
    };
    // clang-format on
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(shape.name);
        o.Terrestrial = shape.ter;
        o.Satellite = shape.sat;
        o.SatelliteCables = shape.cables;
        o.SeparateDistributions = false;
        o.MultiswitchAlongStaircase = shape.alongStaircase;
        o.Radial = shape.radial;
        o.DesignHeadEnd = false;
        TPalazzo& b = *o.Building;
        b.StaircaseCount = 1;
        TScala& s = b.Staircases[0];
        s.FloorCount = shape.floors;
        for (int32_t f = 0; f < shape.floors; ++f) {
            s.Floors[f].ApartmentCount = shape.apartments;
            for (int32_t a = 0; a < shape.apartments; ++a)
                s.Floors[f].Apartments[a] =
                    TAppartamento{shape.terOutlets, shape.satOutlets, shape.layout, shape.layout, 5, 5};
        }
        b.ComputeMaxima();
        ASSERT_EQ(RunInputCheck(engine, true), "");
        for (int32_t f = 0; f < shape.floors; ++f) {
            for (int32_t a = 0; a < shape.apartments; ++a) {
                ASSERT_TRUE(engine.PlaceApartments(0, f, a))
                    << ShownMessage() << " floor " << f << " apartment " << a;
                EXPECT_TRUE(engine.ApartmentBlock[0][f][a]->Analyse(false));
            }
            ASSERT_TRUE(engine.PlaceFloorBothKinds(0, f)) << ShownMessage() << " floor " << f;
        }
        for (int32_t f = 0; f < shape.floors; ++f) {
            for (int kind = 0; kind < SignalKinds; ++kind)
                if (TGridData* block = engine.FloorGrid[0][f][kind].get())
                    EXPECT_TRUE(block->Analyse(false)) << "floor " << f << " kind " << kind;
            EXPECT_TRUE(engine.LayoutFloorApartments(0, f));
            EXPECT_GT(engine.FloorHeight[0][f], 0) << f;
        }
        // Equal apartments are drawn once and copied.
        EXPECT_NE(engine.ApartmentCopy[0][0][0], nullptr);
        EXPECT_EQ(ShownMessage(), "");
    }
}

// What the later stages look for beyond the tables.
TEST_F(DefaultLibrary, EveryOtherRoleOfTheDesignerHasACandidate) {
    const Cells cells = ReadAll();
    auto any = [&](const std::function<bool(TCella&)>& fits) {
        for (const auto& c : cells) {
            c->ComputeBandMask();
            if (fits(*c)) return true;
        }
        return false;
    };
    struct Role {
        std::string what;
        std::function<bool(TCella&)> fits;
    };
    std::vector<Role> roles;
    for (uint32_t mask : {TerMask, SatMask, BothMask})
        roles.push_back({"one-input substation amplifier of mask " + std::to_string(mask), [=](TCella& c) {
                             return c.TypeCode == 21 && c.Inputs == 1 && At(c, 2) &&
                                    c.BandMaskMatches(BothMask, mask);
                         }});
    for (const char* code : {"GCX-05", "GCX-07", "GCX-10"})
        roles.push_back({std::string("cable of \"Default.sel\" ") + code + " for both kinds", [=](TCella& c) {
                             return c.Code == code && c.TypeCode == CodeCable && c.HasBands(BothMask);
                         }});
    roles.push_back({"wideband head-end amplifier", [&](TCella& c) {
                         return c.TypeCode == 40 && At(c, 1) &&
                                Value(c, c.TableRows - 1, WideMaxOutput, BandVSlot) > 0.0f;
                     }});
    for (const char* family : {"GTM", "GSI"}) {
        const std::string f = family;
        roles.push_back({f + " head-end final", [=](TCella& c) {
                             return c.TypeCode == 43 && c.Series == f && At(c, 1) && c.Brand == "Generico";
                         }});
        roles.push_back({f + " substation final of 1 or 3 inputs", [=](TCella& c) {
                             return c.TypeCode == 43 && c.Series == f && At(c, 2) &&
                                    (c.Inputs == 1 || c.Inputs == 3);
                         }});
    }
    roles.push_back({"GTM channel filter", [&](TCella& c) { return c.TypeCode == 35 && c.Series == "GTM"; }});
    roles.push_back({"GSI IF/IF converter", [&](TCella& c) {
                         return c.TypeCode == 37 && c.Series == "GSI" &&
                                (static_cast<TCellaAutoMix&>(c).Modules->head->flags & 7) == 1;
                     }});
    roles.push_back({"LNB of 4 outputs at 80 dB with a dish of its series", [&](TCella& c) {
                         if (c.TypeCode != CodeSat || c.ThroughOutputs != 4 ||
                             Value(c, 0, 0, SatSlot9) != 80.0f)
                             return false;
                         for (const auto& d : cells)
                             if (d->TypeCode == 45 && d->Series == c.Series) return true;
                         return false;
                     }});
    for (const Role& r : roles) EXPECT_TRUE(any(r.fits)) << r.what;
}

TEST_F(DefaultLibrary, TheClassesChoosersTakeThePreferredArticles) {
    Cells cells = ReadAll();
    TMemLib list;  // as the wizard collects a fully ticked library
    for (auto& c : cells) list.Insert(std::move(c));
    auto first = [&](const std::function<bool(TCella&)>& fits) -> TCella* {
        for (TCella* c = list.head; c; c = c->NextInList)
            if (fits(*c)) return c;
        return nullptr;
    };
    auto last = [&](const std::function<bool(TCella&)>& fits) -> TCella* {
        TCella* found = nullptr;
        for (TCella* c = list.head; c; c = c->NextInList)
            if (fits(*c)) found = c;
        return found;
    };

    // Terminations: each connector takes its own; "any connector" the first.
    for (int k = 0; k <= 3; ++k) {
        TCella* t =
            first([&](TCella& c) { return c.TypeCode == 16 && TChiusura::MatchesRequest(c, 0x40 + k); });
        ASSERT_NE(t, nullptr) << k;
        EXPECT_EQ(t->Code, k == 3 ? "GTR-0" : "GTR-" + std::to_string(k));
    }

    // Outlets: the outlet pass keeps the last match of a shape. With the
    // mixed single cable the terrestrial role takes either power kind, and
    // the DC-blocking outlet must come last; the satellite roles ask for one.
    enum { Blocking, Passing, Either };
    struct OutletCase {
        int type, sockets, connector, dc;
        const char* code;
    };
    // clang-format off
    const OutletCase outlets[] = {
        {14, 2, 0, Either, "GP-TS2-D"},     {15, 2, 0, Either, "GP-TS2-P18"},
        {54, 2, 0, Either, "GP-TS2-T"},     {14, 1, 0, Blocking, "GP-T1-D"},
        {14, 1, 1, Blocking, "GP-S1-D"},    {14, 1, 1, Passing, "GP-CS1-D"},
        {15, 2, 0, Blocking, "GP-TS2-P18"}, {15, 2, 0, Passing, "GP-CTS2-P18"},
        {54, 1, 1, Passing, "GP-CS1-T"},
    };
    // clang-format on
    for (const OutletCase& o : outlets) {
        TCella* chosen = last([&](TCella& c) {
            c.ComputeBandMask();
            const bool dc = ReceivesAtOutputs(c);
            return c.TypeCode == o.type && c.TapOutputs == o.sockets && c.Choice3 == o.connector &&
                   c.HasBands(BothMask) && (o.dc == Either || dc == (o.dc == Passing));
        });
        ASSERT_NE(chosen, nullptr) << o.code;
        EXPECT_EQ(chosen->Code, o.code);
    }

    // Mixers: terrestrial and satellite, VHF and UHF, and two VHF antennas in either order.
    uint8_t ter[15] = {}, sat[15] = {}, vhf[15] = {}, uhf[15] = {}, bandIII[15] = {};
    for (int b = 1; b <= 5; ++b) ter[b] = 1;
    for (int b = 6; b <= 9; ++b) sat[b] = 1;
    for (int b : {1, 3}) vhf[b] = 1;
    for (int b : {4, 5}) uhf[b] = 1;
    bandIII[3] = 1;
    struct MixerCase {
        std::span<const uint8_t, BandSlots> input0, input1;
        const char* code;
    };
    // clang-format off
    const MixerCase mixers[] = {
        {sat, ter, "GMX-TS"}, {vhf, uhf, "GMX-VU"}, {vhf, vhf, "GMX-VV"}, {bandIII, bandIII, "GMX-VV"}};
    for (const MixerCase& m : mixers) {
        TMiscelatore mixer(nullptr, 0, 0, 0, 0, 2);
        EXPECT_TRUE(mixer.SelectFromLibrary(list.head, m.input0, m.input1)) << m.code;
        EXPECT_EQ(mixer.Code, m.code);
    }

    // Finals: the lowest level that reaches the need, of the family and the bands asked.
    TCella* final11 = first([](TCella& c) { return c.Code == "GFA-TM-11-114"; });
    ASSERT_NE(final11, nullptr);
    auto& prototype = static_cast<TAmplificatoreAt&>(*final11);
    TCella* found = prototype.FindByOutputLevel(list.head, BandVSlot, 116.0f, "Generico", "GTM");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->Code, "GFA-TM-11-118");
    found = prototype.FindForChannel(list.head, 3, 100.0f, "Generico", "GTM", 0x3a, 0x0a);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->Code, "GFA-TM-11V-114");
}

// The program started with the build's files in its program directory
// registers the library and shows no warning.
TEST(DefaultLibraryInTheProgram, IsRegisteredWithoutWarning) {
    ScopedProgram program(false);
    for (const char* name : {DefaultLibraryFile, DefaultSelectionFile})
        fs::copy_file(BuildFile(name), program.Dir().File(name));
    program.Start();
    EXPECT_TRUE(Application->Script().MessageBoxes.empty());
    ASSERT_NE(Librerie->Find(DefaultLibraryName), nullptr);
    std::unique_ptr<TCella> cable(GetLibraryCell(*Librerie, DefaultLibraryName, "GCX-10"));
    ASSERT_NE(cable, nullptr);
    EXPECT_EQ(cable->TypeCode, CodeCable);
}

// The first stages of the network on the default library: every apartment,
// floor and riser of the staircases, one progress step each, the floors laid
// out and their rows stacked; aligned between staircases only when asked.
TEST_F(DefaultLibrary, TheStaircaseStagesOfTheNetwork) {
    struct Window : DesignWindowStandIn {
        TProgressBar bar;
        TProgressBar* ProgressBar() override { return &bar; }
    };
    // clang-format on
    for (bool aligned : {false, true}) {
        SCOPED_TRACE(aligned ? "aligned" : "not aligned");
        Window window;
        TCreaAuto engine(&globals.Reporter(), &window);
        PrepareDesign(engine);
        TOpzProgetto& o = *engine.Settings;
        o.Terrestrial = true;
        o.Satellite = false;
        o.DesignHeadEnd = false;
        o.APPianiAllineatiTraScale = aligned;
        TPalazzo& b = *o.Building;
        b.StaircaseCount = 2;
        const int32_t floors[2] = {3, 5};
        for (int32_t s = 0; s < 2; ++s) {
            b.Staircases[s].FloorCount = floors[s];
            for (int32_t f = 0; f < floors[s]; ++f) {
                b.Staircases[s].Floors[f].ApartmentCount = 2;
                for (int32_t a = 0; a < 2; ++a)
                    b.Staircases[s].Floors[f].Apartments[a] = TAppartamento{2, 0, 2, 2, 5, 5};
            }
        }
        // Different outlets on one floor of the tall staircase give it a floor of another height.
        b.Staircases[1].Floors[3].Apartments[0] = TAppartamento{6, 0, 6, 6, 5, 5};
        b.ComputeMaxima();
        ASSERT_EQ(RunInputCheck(engine, true), "");
        ASSERT_TRUE(engine.DesignStaircases()) << ShownMessage();
        EXPECT_EQ(ShownMessage(), "");
        // 2 staircases, 8 floors, 16 apartments.
        EXPECT_EQ(engine.ProgressMaximum(), 26);
        EXPECT_EQ(window.bar.Position, 26);
        EXPECT_EQ(engine.HighestFloorCount, 5);
        for (int32_t s = 0; s < 2; ++s) {
            EXPECT_EQ(engine.LargestFloorHeight[s],
                      *std::max_element(engine.FloorHeight[s], engine.FloorHeight[s] + floors[s]));
            EXPECT_GT(engine.LargestFloorWidth[s], 0);
        }
        EXPECT_EQ(engine.TallestFloorHeight,
                  std::max(engine.LargestFloorHeight[0], engine.LargestFloorHeight[1]));
        bool shared = true;
        for (int32_t f = 0; f < 3; ++f) shared = shared && engine.FloorRow[0][f] == engine.FloorRow[1][f];
        EXPECT_EQ(shared, aligned);
    }
}

}  // namespace
