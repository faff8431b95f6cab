// Taps and splitters in the component-data form, the names of their ports
// under the mouse and their channel texts.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "cells/factory.h"
#include "cells/mouse_info.h"
#include "cells/prototypes.h"
#include "cells/splitters.h"
#include "cells/taps.h"
#include "core/channel_list.h"
#include "document/grid.h"
#include "document/report_pages.h"
#include "platform/application.h"
#include "platform/comctrls.h"
#include "support/dialog_fixture.h"
#include "support/globals_fixture.h"
#include "support/pass_cells.h"
#include "support/record_bytes.h"

namespace {

using Person = std::function<void(TDatiComponenti&)>;

void Answer(const Person& person) { Application->Script().AnswerShowModal<TDatiComponenti>(person); }

constexpr int Bands = 11;

// Every line described in every band with the columns the cell needs.
void Describe(TCella& cell) {
    const auto& tap = dynamic_cast<TDerivatore&>(cell);
    for (int32_t i = 0; i < cell.TableRows; ++i)
        for (int b = 0; b < Bands; ++b) {
            cell.Attenuation->Set3(i, TapLossColumn, b, 10.0f + i);
            if (cell.NumThroughOutputs > 0) {
                cell.Attenuation->Set3(i, TapThroughColumn, b, 1.0f);
                cell.Attenuation->Set3(i, TapReverseColumn, b, 30.0f);
            }
            if (tap.OutputsPerLine() > 1) cell.Attenuation->Set3(i, TapDecouplingColumn, b, 25.0f);
        }
    cell.Described = 1;
}

class TapDialog : public GlobalsTest {
protected:
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    ScopedComponentDialog dialog;
    TGridData network{nullptr, 75, 75, GridNetwork};

    std::unique_ptr<TCella> Make(int32_t code, int32_t inputs, int32_t outputs) {
        std::unique_ptr<TCella> cell(NewCella(&network, code, 4, 4, inputs, 0, outputs));
        cell->SequenceNumber = 3;
        return cell;
    }
    static std::vector<bool> RowsShown(TDatiComponenti& f) {
        std::vector<bool> shown;
        for (int r = 0; r < 5; ++r) shown.push_back(f.RowCaption[r]->Visible);
        return shown;
    }
};

TEST_F(TapDialog, TheFormShowsTheRowsAndPortsOfEachShape) {
    struct Case {
        const char* what;
        int32_t code, inputs, outputs;
        const char* name;
        std::vector<bool> rows;
        const char* row0;
        const char* row3;
        bool throughPorts;
        bool lineSelector;
    };
    // clang-format off
    const Case cases[] = {
        {"tap 1 x 4", 6, 1, 4, "Derivatore R3", {true, true, true, true, false},
         "Atten. di deriv.  [dB]", "Disaccoppiamento  [dB]", true, false},
        {"tap 1 x 1", 50, 1, 1, "Derivatore R3", {true, true, true, false, false},
         "Atten. di deriv.  [dB]", "Disaccoppiamento  [dB]", true, false},
        {"end tap 1 x 2", 49, 1, 2, "Derivatore R3", {true, false, false, true, false},
         "Atten. ingresso - uscita  [dB]", "Atten. fra due uscite  [dB]", false, false},
        {"end tap 1 x 1", 49, 1, 1, "Derivatore R3", {true, false, false, false, false},
         "Atten. ingresso - uscita  [dB]", "Atten. fra due uscite  [dB]", false, false},
        {"splitter 2 x 3", 3, 2, 3, "Divisore D3", {true, false, false, true, false},
         "Atten. ingresso - uscita  [dB]", "Atten. fra due uscite  [dB]", false, true},
        {"tap 3 x 2", 6, 3, 2, "Derivatore R3", {true, true, true, true, false},
         "Atten. di deriv.  [dB]", "Disaccoppiamento  [dB]", true, true},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto cell = Make(c.code, c.inputs, c.outputs);
        bool asked = false;
        Answer([&](TDatiComponenti& f) {
            asked = true;
            EXPECT_EQ(f.LabelNome->Caption.Get(), c.name) << c.what;
            EXPECT_EQ(f.Caption.Get(), AnsiString("Ordivex Varne - Dati componenti: ") + c.name) << c.what;
            EXPECT_EQ(RowsShown(f), c.rows) << c.what;
            EXPECT_EQ(f.RowCaption[0]->Text.Get(), c.row0) << c.what;
            EXPECT_EQ(f.RowCaption[3]->Text.Get(), c.row3) << c.what;
            EXPECT_TRUE(f.GroupElettrici->Visible) << c.what;
            EXPECT_TRUE(f.CheckPort[SupplyReceives][PortGroupInputs]->Visible) << c.what;
            EXPECT_TRUE(f.CheckPort[SupplyRefuses][PortGroupTaps]->Visible) << c.what;
            EXPECT_EQ(f.CheckPort[SupplyFeeds][PortGroupThrough]->Visible, c.throughPorts) << c.what;
            EXPECT_EQ(f.ModuleCount, c.inputs) << c.what;
            EXPECT_EQ(f.OutputCount, c.outputs) << c.what;
            EXPECT_EQ(f.CaptionModulo->Visible, c.lineSelector) << c.what;
            EXPECT_EQ(f.CaptionModulo->Text.Get(), "Montante selezionato") << c.what;
            EXPECT_EQ(f.CaptionUscita->Text.Get(), "Uscita selezionata") << c.what;
            // Lines of several inputs choose among their amplification stages.
            EXPECT_EQ(f.PanelFunzione->Visible, c.inputs > 1) << c.what;
            if (c.inputs > 1) {
                EXPECT_EQ(f.RadioFunzione[TableThroughAmplification]->Visible, c.throughPorts) << c.what;
            }
            f.ButtonAnnulla->Click();
        });
        EXPECT_FALSE(cell->OpenDataDialog()) << c.what;
        EXPECT_TRUE(asked) << c.what;
    }
}

TEST_F(TapDialog, EachLineIsAPageAndOkReadsItBack) {
    for (int32_t code : {6, 49, 50, 3}) {
        auto cell = Make(code, 2, 2);
        Describe(*cell);
        Answer([](TDatiComponenti& f) {
            EXPECT_FLOAT_EQ(f.MainTable[0][TapLossColumn][5], 10.0f);
            EXPECT_FLOAT_EQ(f.MainTable[1][TapLossColumn][5], 11.0f);
            EXPECT_FLOAT_EQ(f.MainTable[1][TapDecouplingColumn][5], 25.0f);
            f.MainTable[1][TapLossColumn][5] = 17.0f;  // line 2, not the page shown
            f.EditDescrizione->Text = "Nuovo modello";
            f.ButtonOk->Click();
        });
        EXPECT_TRUE(cell->OpenDataDialog()) << code;
        EXPECT_FLOAT_EQ(cell->Attenuation->Get3(1, TapLossColumn, 5), 17.0f) << code;
        EXPECT_FLOAT_EQ(cell->Attenuation->Get3(0, TapLossColumn, 5), 10.0f) << code;
        EXPECT_EQ(cell->Description, "Nuovo modello") << code;
        // The prototype of its kind took the data too.
        TCella* prototype = FindPrototype({code, 2, 2});
        ASSERT_NE(prototype, nullptr) << code;
        EXPECT_FLOAT_EQ(prototype->Attenuation->Get3(1, TapLossColumn, 5), 17.0f) << code;
    }
}

TEST_F(TapDialog, PartlyDescribedDataKeepTheFormOpen) {
    auto cell = Make(6, 1, 2);
    Describe(*cell);
    Answer([](TDatiComponenti& f) {
        f.ValueEdit[TapThroughColumn][5]->Text = "";  // tap loss without through loss
        f.ButtonOk->Click();
        EXPECT_NE(f.ModalResult.Get(), mrOk);
        ASSERT_EQ(Application->Script().MessageBoxes.size(), 1u);
        EXPECT_EQ(Application->Script().MessageBoxes[0].Text,
                  "Dati componente errati a causa del seguante problema: Banda b. V descritta parzialmente "
                  "sul montante 1.");
        f.ButtonAnnulla->Click();
    });
    EXPECT_FALSE(cell->OpenDataDialog());
    EXPECT_FLOAT_EQ(cell->Attenuation->Get3(0, TapThroughColumn, 5), 1.0f);
}

// ---- Port names ----

TInfoMousePos Pointer(int32_t column, int32_t row, int32_t x, int32_t y) {
    TInfoMousePos p;
    p.Column = column;
    p.Row = row;
    p.OffsetX = x;
    p.OffsetY = y;
    p.SquareSize = 42;
    p.Input = p.TapOutput = p.ThroughOutput = 7;
    return p;
}

TEST(TapPortNames, ThePointNamesThePortOfTheNearestEdge) {
    TDerivatore one(nullptr, 0, 0, 10, 5, 1, 2);
    TDerivatore upsideDown(nullptr, 2, 0, 10, 5, 1, 2);
    TDerivatore mirrored(nullptr, 0, 1, 10, 5, 1, 2);
    TDerivatore two(nullptr, 0, 0, 10, 5, 2, 4);  // 2 x 5 squares
    TDivisore splitter(nullptr, 0, 0, 10, 5, 1, 3);
    TDivisore splitters(nullptr, 1, 0, 10, 5, 2, 3);  // turned: its lines run from the right
    struct Case {
        TCella* cell;
        int32_t column, row, x, y;
        const char* name;
        int32_t input, tap, through;
    };
    // clang-format off
    const Case cases[] = {
        {&one, 10, 5, 21, 3, "ingresso", 0, -1, -1},
        {&one, 10, 5, 39, 20, "derivata 1", -1, 0, -1},
        {&one, 10, 5, 3, 22, "derivata 2", -1, 1, -1},
        {&one, 10, 5, 20, 40, "passante", -1, -1, 0},
        // Upside down: the top of the square is the symbol's bottom, its right the symbol's left.
        {&upsideDown, 10, 5, 21, 3, "passante", -1, -1, 0},
        {&upsideDown, 10, 5, 39, 20, "derivata 2", -1, 1, -1},
        {&mirrored, 10, 5, 39, 20, "derivata 2", -1, 1, -1},
        {&mirrored, 10, 5, 21, 3, "ingresso", 0, -1, -1},
        {&two, 11, 5, 21, 3, "ingresso 2", 1, -1, -1},
        {&two, 11, 8, 40, 21, "derivata 3", -1, 2, -1},     // line 0's third output, row 3
        {&two, 10, 6, 2, 21, "derivata 6", -1, 5, -1},      // line 1's second output, row 1
        {&two, 11, 9, 21, 40, "passante 2", -1, -1, 1},
        {&two, 10, 7, 21, 21, "", -1, -1, -1},              // the empty row between the groups
        {&splitter, 10, 5, 21, 40, "uscita 3", -1, 2, -1},
        {&splitter, 10, 5, 2, 21, "uscita 2", -1, 1, -1},
        // Turned once: the lines come in from the right, line 0 at (10, 5), line 1 below it.
        {&splitters, 10, 5, 40, 21, "ingresso 1", 0, -1, -1},
        {&splitters, 10, 6, 40, 21, "ingresso 2", 1, -1, -1},
        {&splitters, 10, 5, 21, 2, "uscita 2", -1, 1, -1},
    };
    // clang-format on
    for (const Case& c : cases) {
        TInfoMousePos p = Pointer(c.column, c.row, c.x, c.y);
        c.cell->GetPortName(p);
        EXPECT_EQ(p.PortName, c.name) << c.column << "," << c.row << " (" << c.x << ", " << c.y << ")";
        EXPECT_EQ(p.Input, c.input) << c.name;
        EXPECT_EQ(p.TapOutput, c.tap) << c.name;
        EXPECT_EQ(p.ThroughOutput, c.through) << c.name;
    }
}

// ---- Channel texts ----

class TapChannelTexts : public GlobalsTest {
protected:
    std::vector<AnsiString> Lines() {
        std::vector<AnsiString> lines;
        for (int i = 0; i < report->Lines->Count(); ++i) lines.push_back(report->Lines->Strings(i));
        return lines;
    }
    // The heading of each block, up to its colon.
    std::vector<AnsiString> Headings() {
        std::vector<AnsiString> out;
        for (const AnsiString& line : Lines())
            if (!line.empty() && line[0] != '\t') out.push_back(line.substr(0, line.find(':')));
        return out;
    }
    std::unique_ptr<TRichEdit> report = std::make_unique<TRichEdit>(nullptr);
};

TEST_F(TapChannelTexts, EveryOutputUnderItsHeading) {
    struct Case {
        int32_t code, inputs, outputs;
        std::vector<AnsiString> headings;
    };
    // clang-format off
    const Case cases[] = {
        {6, 1, 2, {"R1 passaggio", "R1 uscita 1", "R1 uscita 2"}},
        {50, 2, 1, {"R1 passaggio 1", "R1 passaggio 2", "R1 uscita 1", "R1 uscita 2"}},
        {3, 1, 3, {"D1 uscita 1", "D1 uscita 2", "D1 uscita 3"}},
    };
    // clang-format on
    for (const Case& c : cases) {
        std::unique_ptr<TCella> cell(NewCella(nullptr, c.code, 0, 0, c.inputs, 0, c.outputs));
        cell->SequenceNumber = 1;
        report->Lines->Clear();
        cell->GetPortLevelText(report.get());
        EXPECT_EQ(Headings(), c.headings) << c.code;
    }
}

TEST_F(TapChannelTexts, TheChannelsOfEachOutputFollowItsHeading) {
    TSorgenteProva source(nullptr, 0, 0);
    TDerivatore tap(nullptr, 0, 0, 0, 0, 1, 2);
    tap.SequenceNumber = 4;
    for (int b = 0; b < BandSlots; ++b) {
        tap.Attenuation->Set3(0, TapLossColumn, b, 10.0f);
        tap.Attenuation->Set3(0, TapThroughColumn, b, 2.0f);
    }
    for (const char* name : {"E21", "E22"}) {
        TCanale c;
        c.name = name;
        c.freqLow = name[2] == '1' ? 470.0f : 478.0f;
        c.freqHigh = c.freqLow + 8.0f;
        c.band = 4;
        c.levelMin = c.levelMax = 80.0f;
        source.SourceChannels->Insert(c);
    }
    LinkCells(source, 0, tap, 0);
    tap.ComputeChannels(0, 0, NextPassNumber());
    tap.GetPortLevelText(report.get());
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0].substr(0, 13), "R4 passaggio:");
    EXPECT_NE(lines[0].find("E21"), AnsiString::npos);
    EXPECT_NE(lines[0].find("78,00"), AnsiString::npos);
    EXPECT_NE(lines[1].find("E22"), AnsiString::npos);
    EXPECT_EQ(lines[2].substr(0, 12), "R4 uscita 1:");
    EXPECT_NE(lines[2].find("70,00"), AnsiString::npos);
    EXPECT_EQ(lines[4].substr(0, 12), "R4 uscita 2:");
    EXPECT_NE(lines[5].find("E22"), AnsiString::npos);
}

}  // namespace
