// The head-end builder on the default library: whole head ends designed on
// "Testa" by a run without the network, and the split blocks of a kind.
#include <functional>
#include <map>

#include "cells/graphic_cells.h"
#include "cells/head_end.h"
#include "cells/splitters.h"
#include "document/estimate.h"
#include "head_end_library_fixture.h"
#include "platform/application.h"
#include "support/design_components.h"

namespace {

class HeadEndBuilder : public HeadEndLibrary {
protected:
    HeadEndBuilder() {
        engine.Window = &window;
        Antenna(0, "GAN-B3", {"5", "7"});
        Antenna(1, "GAN-UHF", {"26", "30", "35"});
    }
    // A run of the head end alone.
    bool RunHeadEnd(bool terrestrial, bool satellite, int32_t cables, bool wideband, bool separate) {
        Choose(terrestrial, satellite, cables, wideband, separate);
        Application->Script().Reset();
        const bool ok = engine.Run();
        globals.Reporter().enabled = true;
        globals.Reporter().SetTarget(&messages);
        return ok;
    }
    // The same stages without the run: the input check, the empty project and
    // the levels of the settings; the builder is left to the test.
    void PrepareHeadEnd(bool terrestrial, bool satellite, int32_t cables, bool wideband, bool separate) {
        Choose(terrestrial, satellite, cables, wideband, separate);
        engine.Reset();
        ASSERT_TRUE(engine.CheckInputs());
        window.project.Reset(true);
        engine.Project = &window.project;
        engine.RequiredLevelTer = engine.Settings->APSigReqCtTer;
        engine.RequiredLevelSat = engine.Settings->APSigReqCtSat;
    }
    void Choose(bool terrestrial, bool satellite, int32_t cables, bool wideband, bool separate) {
        // The input check turns a satellite-first mixer of the list to
        // terrestrial-first; the program's runs each take fresh list cells.
        if (engine.MixerSwapped) engine.MixerSwapped->SwapOutputColumns(0, 1);
        engine.MixerSwapped = nullptr;
        TOpzProgetto& o = *engine.Settings;
        o.Terrestrial = terrestrial;
        o.Satellite = satellite;
        o.SatelliteCables = cables;
        o.SeparateDistributions = separate;
        o.DesignNetwork = false;
        o.DesignHeadEnd = true;
        o.Wideband = wideband;
        // What the IF head end's finals, or a multiswitch's LNB, deliver.
        o.APSigReqCtSat = cables > 1 ? 78.0f : 100.0f;
    }
    // The components standing on "Testa" (cables and terminations aside).
    int32_t Components() {
        int32_t n = 0;
        TGridData& g = Testa();
        for (int32_t r = 0; r < g.Rows; ++r)
            for (int32_t c = 0; c < g.Columns; ++c)
                if (TCella* cell = g.CellAt(c, r); cell && cell->Column == c && cell->Row == r &&
                                                   cell->TypeCode != CodeCable &&
                                                   cell->TypeCode != CodeTermination)
                    ++n;
        return n;
    }
    std::string FirstMessage() {
        const std::vector<std::string> shown = Messages();
        return shown.empty() ? std::string() : shown[0];
    }
    std::string FirstBox() {
        const std::vector<std::string> shown = Boxes();
        return shown.empty() ? std::string() : shown[0];
    }
    std::vector<std::string> Boxes() {
        std::vector<std::string> texts;
        for (const auto& box : Application->Script().MessageBoxes) texts.push_back(box.Text);
        return texts;
    }
    TGridData& Testa() { return *window.project.HeadEndGrid; }
    TTesta& Terminal() { return *dynamic_cast<TTesta*>(Testa().Anchor); }
    // What stands on "Testa", for a failing case.
    std::string TestaDrawing() {
        std::string text;
        TGridData& g = Testa();
        for (int32_t r = 0; r < g.Rows; ++r)
            for (int32_t c = 0; c < g.Columns; ++c)
                if (TCella* cell = g.CellAt(c, r); cell && cell->Column == c && cell->Row == r)
                    text += std::to_string(c) + "," + std::to_string(r) + " " +
                            std::to_string(cell->TypeCode) + " o" + std::to_string(cell->Orientation) + " " +
                            std::string(cell->Code) + "\n";
        return text;
    }
    // Every line of the terminal is fed, and the grid analyses.
    void ExpectJoined() {
        TTesta& t = Terminal();
        for (int32_t i = 0; i < t.Lines(); ++i)
            EXPECT_NE(t.InputCell[i], nullptr) << "line " << i << "\n" << TestaDrawing();
        EXPECT_TRUE(Testa().Analyse(false)) << TestaDrawing();
    }

    int32_t Count(const std::string& code) {
        int32_t n = 0;
        TGridData& g = Testa();
        for (int32_t r = 0; r < g.Rows; ++r)
            for (int32_t c = 0; c < g.Columns; ++c)
                if (TCella* cell = g.CellAt(c, r);
                    cell && cell->Column == c && cell->Row == r && cell->Code == code)
                    ++n;
        return n;
    }

    DesignWindowStandIn window;
};

// Every variant of a run without the network: the head end stands on
// "Testa" above the terminal, which takes one line per exit, each line fed
// from the next column after the terminal's own.
TEST_F(HeadEndBuilder, HeadEndsAloneOnTesta) {
    struct Case {
        const char* name;
        bool ter, sat;
        int32_t cables;
        bool wideband, separate;
        int32_t lines;
        std::vector<std::string> articles;  // some articles that stand on "Testa"
    };
    // clang-format off
    const Case cases[] = {
        {"terrestrial, wideband", true, false, 1, true, false, 1, {"GLB-4"}},
        {"terrestrial, modular", true, false, 1, false, false, 1, {"GFC-5", "GFC-35", "GFA-TM-11-118", "GAL-TM-1000"}},
        {"both on separate cables", true, true, 1, false, true, 2, {"GFC-26", "GFI-SI", "GLNB-4"}},
        {"both on one cable", true, true, 1, false, false, 1, {"GFC-30", "GFI-SI", "GMX-TS"}},
        {"satellite single cable", false, true, 1, false, false, 1, {"GFI-SI", "GLNB-4"}},
        {"satellite, 2 cables", false, true, 2, false, false, 2, {"GLNB-4"}},
        {"both, 2 cables", true, true, 2, false, false, 3, {"GFC-7", "GLNB-4"}},
        {"satellite, 4 cables", false, true, 4, false, false, 4, {"GLNB-4"}},
        {"satellite, 8 cables", false, true, 8, false, false, 8, {"GLNB-8"}},
        {"both, 4 cables", true, true, 4, false, false, 5, {"GFC-7", "GLNB-4"}},
        {"both, 4 cables, wideband", true, true, 4, true, false, 5, {"GLB-4", "GLNB-4"}},
        {"terrestrial own, satellite 4 cables", true, true, 4, false, true, 5, {"GFC-7", "GLNB-4"}},
    };
    // clang-format on
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        ASSERT_TRUE(RunHeadEnd(k.ter, k.sat, k.cables, k.wideband, k.separate)) << FirstBox();
        EXPECT_EQ(Boxes(), std::vector<std::string>{});
        EXPECT_EQ(Terminal().Lines(), k.lines);
        ExpectJoined();
        // The head end fits the default grid, which keeps its size.
        EXPECT_EQ(Testa().Columns, GridDefaultSize);
        EXPECT_EQ(Testa().Rows, GridDefaultSize);
        const TTesta& t = Terminal();
        for (int32_t i = 0; i < t.Lines(); ++i) {
            const TCella* up = Testa().CellAt(t.Column + 1 + i, t.Row - 1);
            ASSERT_NE(up, nullptr) << i;
            EXPECT_EQ(up->TypeCode, CodeCable) << i;
        }
        for (const std::string& code : k.articles) EXPECT_GE(Count(code), 1) << code;
        // The estimate prices every article placed.
        window.project.Estimate->BuildFromCells();
        EXPECT_GT(window.project.Estimate->Count(), 0);
        for (const TRigaPreventivo& row : window.project.Estimate->Rows())
            if (row.Code != LabourCode) {
                EXPECT_GT(row.UnitPrice, 0.0f) << row.Code;
            }
        // Terminations close every open port with a model of the list.
        for (TCella* c = Testa().Anchor; c; c = c->NextCell)
            if (c->TypeCode == CodeTermination) {
                EXPECT_FALSE(std::string(c->Code).empty()) << c->Column << "," << c->Row;
            }
    }
}

// "Testa" grows to what the head end needs and keeps a larger size; the
// LNB and the multiswitch lines keep to the rows above the terminal, so on a
// taller grid nothing of the stacked blocks is drawn over.
TEST_F(HeadEndBuilder, SizeOfTesta) {
    PrepareHeadEnd(true, true, 4, false, false);
    ASSERT_TRUE(engine.DesignHeadEnd());
    const int32_t fits = Components();
    const int32_t M = engine.LineCount[1];
    ASSERT_EQ(M, 5);
    struct Case {
        int32_t columns, rows;
        bool grows;
    };
    for (const Case& k : {Case{40, 20, true}, Case{120, 100, false}, Case{75, 160, false}}) {
        SCOPED_TRACE(k.rows);
        PrepareHeadEnd(true, true, 4, false, false);
        ASSERT_TRUE(Testa().Resize(k.columns, k.rows));
        ASSERT_TRUE(engine.DesignHeadEnd()) << FirstMessage();
        EXPECT_EQ(Messages(), std::vector<std::string>{});
        if (k.grows) {
            EXPECT_GT(Testa().Columns, k.columns);
            EXPECT_GT(Testa().Rows, k.rows);
        } else {
            EXPECT_EQ(Testa().Columns, k.columns);
            EXPECT_EQ(Testa().Rows, k.rows);
        }
        ExpectJoined();
        EXPECT_EQ(Components(), fits) << TestaDrawing();
        // The LNB of the four satellite lines stands 4 + M rows above the terminal.
        int32_t lnbRow = -1;
        for (int32_t c = 0; c < Testa().Columns; ++c)
            for (int32_t r = 0; r < Testa().Rows; ++r)
                if (TCella* cell = Testa().CellAt(c, r); cell && cell->Code == "GLNB-4") lnbRow = cell->Row;
        EXPECT_EQ(lnbRow, Terminal().Row - 4 - M);
    }
}

// Ten multiswitch lines: the terrestrial line feeds the first two through a
// splitter, the LNB the other eight.
TEST_F(HeadEndBuilder, TenMultiswitchLines) {
    PrepareHeadEnd(true, true, 8, false, false);
    engine.LineCount[1] = 10;
    ASSERT_TRUE(engine.DesignHeadEnd()) << FirstMessage();
    EXPECT_EQ(Messages(), std::vector<std::string>{});
    ASSERT_EQ(Terminal().Lines(), 10);
    ExpectJoined();
    const int32_t o = Terminal().Column + 1, outRow = Terminal().Row - 1;
    TCella* splitter = Testa().CellAt(o, outRow - 2);
    ASSERT_NE(splitter, nullptr);
    EXPECT_EQ(splitter->TypeCode, CodeDivisore);
    EXPECT_EQ(splitter->NumTapOutputs, 2);
    EXPECT_FALSE(std::string(splitter->Code).empty());
    EXPECT_EQ(Count("GLNB-8"), 1);
    // The run above the splitter counts as a short joint.
    auto* above = dynamic_cast<TNCavo*>(Testa().CellAt(o, outRow - 3));
    ASSERT_NE(above, nullptr);
    ASSERT_NE(above->GetRunHead(), nullptr);
    EXPECT_FLOAT_EQ(above->GetRunHead()->PassAttenuation(), engine.Settings->APLungCavoComp);
}

// The split blocks of a network leaving the head end on several riser lines:
// each block stands below the head ends, fed from the chain and led to its
// own line of the terminal; "Testa" analyses.
TEST_F(HeadEndBuilder, SplitBlocksOnTesta) {
    auto noSatFinal = [&] {
        for (auto& row : engine.FamilySat[engine.ChosenFamily[1]].S)
            for (float& v : row) v = LevelNone;
        engine.FamilyTer[engine.ChosenFamily[0]].Smax = 100.0f;  // no terrestrial final either
        engine.BackOffTer = engine.BackOffSat = 0.0f;
    };
    struct Case {
        const char* name;
        bool ter, sat, separate;
        int32_t splits;
        std::function<void()> change;
        int32_t lines, linesPerSplit;
        std::map<std::string, int32_t> articles;  // counted on "Testa", head ends included; -1 some
    };
    // clang-format off
    const Case cases[] = {
        {"terrestrial, 3 splits", true, false, false, 3, [] {}, 3, 1,
         {{"GS-4", 1}, {"GFA-TM-11-118", 3}, {"GAL-TM-1000", 4}}},
        {"terrestrial, 7 splits", true, false, false, 7, [] {}, 7, 1,
         {{"GD-08-14", 1}, {"GFA-TM-11-118", 7}, {"GAL-TM-1000", 8}}},
        {"terrestrial above Csub(1, 1)", true, false, false, 3,
         [&] {
             engine.FamilyTer[engine.ChosenFamily[0]].S[0][0] = 100.0f;
             engine.BackOffTer = 0.0f;
         },
         3, 1, {{"GFA-TM-11V-114", 3}, {"GFA-TM-34U-118", 3}, {"GPT-TM", -1}}},
        {"satellite, 1 x 1 finals", false, true, false, 3, [] {}, 3, 1, {{"GFA-SI-11-118", 3}, {"GAL-SI-1000", 4}}},
        {"satellite met by Csub(3, 4)", false, true, false, 3,
         [&] {
             TFamiglia& f = engine.FamilySat[engine.ChosenFamily[1]];
             f.S[0][0] = f.S[0][3] = f.S[2][0] = LevelNone;
             f.S[2][3] = 116.0f;
         },
         3, 1, {{"GFA-SI-34-115", 3}}},
        {"both, joint line amplifier", true, true, false, 3, noSatFinal, 3, 1, {{"GAL-TS-112", 3}, {"GMX-TS", 1}}},
        {"both, a line amplifier of each kind", true, true, false, 3,
         [&] {
             noSatFinal();
             for (const char* joint : {"GAL-TS-120", "GAL-TS-112"}) Article(joint)->Positions[0] = 0;
         },
         3, 2, {{"GAL-T-112", 3}, {"GAL-S-112", 3}, {"GMX-TS", 3}, {"GS-4", 2}}},
        {"both, separate networks", true, true, true, 3, [] {}, 6, 1,
         {{"GFA-TM-11-118", 3}, {"GFA-SI-11-118", 3}, {"GS-4", 2}}},
    };
    // clang-format on
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        PrepareHeadEnd(k.ter, k.sat, 1, false, k.separate);
        const int kind = k.ter ? 0 : 1;
        engine.EntryInputsTer = k.ter ? k.splits : 0;
        engine.EntryInputsSat = !k.ter || k.separate ? k.splits : 0;
        engine.RiserBreakCount[0][kind] = k.splits - 1;
        if (k.separate) engine.RiserBreakCount[0][1] = k.splits - 1;
        engine.ChooseHeadEndFamilies();
        k.change();
        ASSERT_TRUE(engine.DesignHeadEnd()) << FirstMessage();
        EXPECT_EQ(Messages(), std::vector<std::string>{});
        EXPECT_EQ(engine.SplitLines, k.linesPerSplit);
        EXPECT_EQ(Terminal().Lines(), k.lines);
        ExpectJoined();
        for (const auto& [code, n] : k.articles) {
            if (n < 0)
                EXPECT_GT(Count(code), 0) << code;
            else
                EXPECT_EQ(Count(code), n) << code;
        }
        engine.RiserBreakCount[0][0] = engine.RiserBreakCount[0][1] = 0;
        for (const char* joint : {"GAL-TS-120", "GAL-TS-112"})
            Article(joint)->Positions[0] = Article("GAL-T-120")->Positions[0];
    }
}

// The split blocks of the terrestrial network in their own grid: the chain's
// part (a splitter of the next even size below five splits, the smallest tap
// not below them from five on), its outputs beyond the splits closed, and a
// block with its supply per split.
TEST_F(HeadEndBuilder, SplitChainOnItsGrid) {
    struct Case {
        int32_t splits;
        int32_t part, outputs;
        bool closed;  // a termination ends the chain below its tap
    };
    for (const Case& k : {Case{1, 0, 0, false}, Case{3, CodeDivisore, 4, false},
                          Case{6, CodeDerivatore, 6, true}, Case{7, CodeDerivatore, 8, true}}) {
        SCOPED_TRACE(k.splits);
        PrepareHeadEnd(true, false, 1, false, false);
        engine.EntryInputsTer = k.splits;
        engine.ChooseHeadEndFamilies();
        TGridData split(nullptr, 200, 50, GridWork);
        ASSERT_TRUE(engine.SelectSplitAmplifiers(&split, 0)) << FirstMessage();
        // A satellite kind without a network of its own draws nothing.
        ASSERT_TRUE(engine.SelectSplitAmplifiers(&split, 1));
        EXPECT_EQ(Messages(), std::vector<std::string>{});
        const TCellRect used = split.GetUsedArea();
        if (k.splits < 2) {
            EXPECT_GT(used.Top, used.Bottom);
            continue;
        }
        std::map<int32_t, int32_t> types;
        TCella* part = nullptr;
        for (int32_t r = 0; r < split.Rows; ++r)
            for (int32_t c = 0; c < split.Columns; ++c)
                if (TCella* cell = split.CellAt(c, r); cell && cell->Column == c && cell->Row == r) {
                    ++types[cell->TypeCode];
                    if (cell->TypeCode == k.part) part = cell;
                }
        ASSERT_NE(part, nullptr);
        EXPECT_EQ(types[k.part], 1);
        EXPECT_EQ(part->NumTapOutputs, k.outputs);
        const int32_t e = engine.SplitEntryColumn[0], d = engine.SplitSpacing[0];
        EXPECT_EQ(part->Column, e);
        EXPECT_EQ(e % d, 1);
        EXPECT_EQ(types[CodeAmplificatoreAt], k.splits);
        EXPECT_EQ(types[CodeAlimentatoreSF], k.splits);
        // The outputs beyond the splits, and the chain's end, are closed.
        int32_t closedBeside = 0;
        for (int32_t r = part->Row; r < part->Row + (k.outputs + 1) / 2; ++r)
            for (int32_t c : {e - 1, e + 1})
                if (TCella* cell = split.CellAt(c, r); cell && cell->TypeCode == CodeTermination)
                    ++closedBeside;
        EXPECT_EQ(closedBeside, k.outputs - k.splits);
        TCella* end = split.CellAt(e, part->Row + (k.outputs + 1) / 2);
        EXPECT_EQ(end && end->TypeCode == CodeTermination, k.closed);
        // Each block's output leaves below the blocks.
        ASSERT_EQ(engine.SplitOutputColumn[0].size(), static_cast<size_t>(k.splits));
        for (int32_t column : engine.SplitOutputColumn[0]) {
            TCella* below = split.CellAt(column, used.Bottom);
            EXPECT_TRUE(below && below->TypeCode == CodeCable) << column;
        }
    }
}

// A block whose supply cannot be found stops the stage with the supply message.
TEST_F(HeadEndBuilder, SplitBlockWithoutSupply) {
    PrepareHeadEnd(true, false, 1, false, false);
    engine.EntryInputsTer = 3;
    engine.ChooseHeadEndFamilies();
    for (TCella* c = engine.Components->head; c; c = c->NextInList)
        if (c->TypeCode == CodeAlimentatoreSF) c->Series = "Altra";
    TGridData split(nullptr, 200, 50, GridWork);
    EXPECT_FALSE(engine.SelectSplitAmplifiers(&split, 0));
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Non sono stati selezionati alimentatori adeguati alla centrale IF."});
}

// A terminal line the head end leaves unfed (the network asked for more
// lines than its exits): the drawing does not analyse and the design stops
// with the drawing message, which says what the check of the links found.
TEST_F(HeadEndBuilder, UnfedLineStopsTheDesign) {
    PrepareHeadEnd(true, false, 1, false, false);
    engine.Settings->DesignNetwork = true;
    Terminal().SetLineCount(2);
    ASSERT_EQ(Terminal().Lines(), 2);
    EXPECT_FALSE(engine.DesignHeadEnd());
    EXPECT_EQ(Messages(), std::vector<std::string>{
                              "Errore di creazione disegno. Non riesco a progettare l'impianto: la centrale di "
                              "testa disegnata non supera il controllo dei collegamenti (un ingresso del "
                              "componente marcato con 'Err' non è raggiungibile dalle antenne)."});
}

// The multiswitch lines under the terminal of a network: each line's first
// cable on the network grid takes the length from the LNB to the top floor,
// or from the LNB alone when the network starts with a short joint there.
TEST_F(HeadEndBuilder, MultiswitchLineLengthsOnTheNetwork) {
    for (bool joint : {false, true}) {
        SCOPED_TRACE(joint);
        PrepareHeadEnd(false, true, 4, false, false);
        engine.Settings->DesignNetwork = true;
        engine.Settings->LnbHeadEndDistance = 6;
        engine.Settings->Building->Staircases[0].HeadEndDistance = 10;
        engine.Settings->Building->Staircases[0].TopFloorDistance = 3;
        Terminal().SetLineCount(4);
        TGridData& net = *window.project.NetworkGrid;
        const int32_t first = net.Anchor->Column + 1;
        std::vector<TNCavo*> cables;
        for (int32_t k = 0; k < 4; ++k) {
            std::unique_ptr<TCella> cable(engine.Cables[CableRiserSat]->Clone());
            cable->Column = first + k;
            cable->Row = 1;
            cable->Orientation = 0;
            static_cast<TNCavo&>(*cable).SetLength(joint && k == 1 ? engine.Settings->APLungCavoComp : 40.0f);
            cables.push_back(static_cast<TNCavo*>(cable.get()));
            ASSERT_TRUE(net.InsertCell(std::move(cable), false, 0));
        }
        ASSERT_TRUE(engine.DesignHeadEnd()) << FirstMessage();
        ExpectJoined();
        for (TNCavo* cable : cables) EXPECT_FLOAT_EQ(cable->PassAttenuation(), joint ? 6.0f : 19.0f);
    }
}

}  // namespace
