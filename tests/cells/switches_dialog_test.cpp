// Switches in the component-data form (the modal form answered by a scripted
// person), and their channel texts.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "cells/factory.h"
#include "cells/switches.h"
#include "core/file.h"
#include "document/grid.h"
#include "document/report_pages.h"
#include "platform/application.h"
#include "platform/comctrls.h"
#include "support/dialog_fixture.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

using Person = std::function<void(TDatiComponenti&)>;

void Answer(const Person& person) { Application->Script().AnswerShowModal<TDatiComponenti>(person); }

constexpr int Bands = 11;

std::string Saved(TCella& cell) {
    TMemoryStream s;
    cell.Save(s, 60000);
    return s.Bytes();
}

class SwitchDialog : public GlobalsTest {
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
    // Every line described in every band with the columns the switch needs.
    static void Describe(TCella& cell) {
        const bool matrix = dynamic_cast<TSwitch&>(cell).HasMatrixInputs();
        for (int32_t i = 0; i < cell.TableRows; ++i)
            for (int b = 0; b < Bands; ++b) {
                cell.Attenuation->Set3(i, TapLossColumn, b, 10.0f + i + b);
                if (cell.NumThroughOutputs > 0) {
                    cell.Attenuation->Set3(i, TapThroughColumn, b, 1.5f);
                    cell.Attenuation->Set3(i, TapReverseColumn, b, 30.0f);
                }
                if (cell.NumTapOutputs > 1) cell.Attenuation->Set3(i, TapDecouplingColumn, b, 25.0f);
                if (matrix) cell.Attenuation->Set3(i, SwitchHorizontalColumn, b, 3.0f + i);
            }
        cell.Described = 1;
    }
    static std::vector<bool> RowsShown(TDatiComponenti& f) {
        std::vector<bool> shown;
        for (int r = 0; r < 6; ++r) shown.push_back(f.RowCaption[r]->Visible);
        return shown;
    }
};

TEST_F(SwitchDialog, TheFormShowsTheRowsSectionsAndSelectorsOfEachKind) {
    struct Case {
        const char* what;
        int32_t code, inputs, outputs;
        std::vector<bool> rows;
        int32_t electrical, stages;
        bool throughPorts;
    };
    // clang-format off
    const Case cases[] = {
        {"switch 2 x 4", 10, 2, 4, {true, true, true, true, false, false}, 479, 7, true},
        {"switch 1 x 1", 10, 1, 1, {true, true, true, false, false, false}, 479, 7, true},
        {"TSwitchN 2 x 6", 47, 2, 6, {true, false, false, true, false, false}, 477, 5, false},
        {"matrix switch 2 x 3", 56, 2, 3, {true, true, true, true, true, false}, 479, 7, true},
        {"matrix TSwitchN 1 x 2", 57, 1, 2, {true, false, false, true, true, false}, 477, 5, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto cell = Make(c.code, c.inputs, c.outputs);
        bool asked = false;
        Answer([&](TDatiComponenti& f) {
            asked = true;
            EXPECT_EQ(f.LabelNome->Caption.Get(), "Switch S3") << c.what;
            EXPECT_EQ(RowsShown(f), c.rows) << c.what;
            EXPECT_EQ(f.RowCaption[0]->Text.Get(), "Atten. di deriv.  [dB]") << c.what;
            EXPECT_EQ(f.RowCaption[1]->Text.Get(), "Atten. di passaggio  [dB]") << c.what;
            EXPECT_EQ(f.RowCaption[2]->Text.Get(), "Atten. inversa  [dB]") << c.what;
            EXPECT_EQ(f.RowCaption[3]->Text.Get(), "Disaccoppiamento  [dB]") << c.what;
            EXPECT_EQ(f.RowCaption[4]->Text.Get(), "Atten. passaggio orizz. [dB]") << c.what;
            EXPECT_EQ(f.ElectricalWord, c.electrical) << c.what;
            EXPECT_EQ(f.PositionsWord, 28) << c.what;
            EXPECT_EQ(f.MainFunction, c.stages) << c.what;
            EXPECT_EQ(f.CheckPort[SupplyFeeds][PortGroupThrough]->Visible, c.throughPorts) << c.what;
            EXPECT_EQ(f.ModuleCount, c.inputs) << c.what;
            EXPECT_EQ(f.OutputCount, c.outputs) << c.what;
            EXPECT_EQ(f.CaptionModulo->Text.Get(), "Montante selezionato") << c.what;
            EXPECT_EQ(f.CaptionUscita->Text.Get(), "Uscita selezionata") << c.what;
            f.ButtonAnnulla->Click();
        });
        EXPECT_FALSE(cell->OpenDataDialog()) << c.what;
        EXPECT_TRUE(asked) << c.what;
    }
}

TEST_F(SwitchDialog, FilledAndReadBackEqual) {
    for (auto [code, inputs, outputs] : {std::tuple{10, 2, 4}, std::tuple{47, 2, 3}, std::tuple{56, 2, 3}}) {
        auto cell = Make(code, inputs, outputs);
        Describe(*cell);
        cell->Description = "Multiswitch";
        cell->Choice2 = 0;  // the form keeps no "none" for the second choice
        const std::string before = Saved(*cell);
        Answer([](TDatiComponenti& f) { f.ButtonOk->Click(); });
        EXPECT_TRUE(cell->OpenDataDialog()) << code;
        EXPECT_EQ(Saved(*cell), before) << code;
        // A change on line 2's page reaches line 2 only.
        Answer([](TDatiComponenti& f) {
            f.MainTable[1][TapLossColumn][5] = 17.0f;
            f.ButtonOk->Click();
        });
        EXPECT_TRUE(cell->OpenDataDialog()) << code;
        EXPECT_FLOAT_EQ(cell->Attenuation->Get3(1, TapLossColumn, 5), 17.0f) << code;
        EXPECT_FLOAT_EQ(cell->Attenuation->Get3(0, TapLossColumn, 5), 15.0f) << code;
    }
}

TEST_F(SwitchDialog, PartlyDescribedDataKeepTheFormOpen) {
    auto cell = Make(10, 1, 2);
    Describe(*cell);
    Answer([](TDatiComponenti& f) {
        f.ValueEdit[TapThroughColumn][5]->Text = "";
        f.ButtonOk->Click();
        EXPECT_NE(f.ModalResult.Get(), mrOk);
        ASSERT_EQ(Application->Script().MessageBoxes.size(), 1u);
        EXPECT_EQ(Application->Script().MessageBoxes[0].Text,
                  "Dati componente errati a causa del seguante problema: Banda b. V descritta parzialmente "
                  "sul montante 1.");
        f.ButtonAnnulla->Click();
    });
    EXPECT_FALSE(cell->OpenDataDialog());
}

// ---- Channel texts ----

TEST_F(SwitchDialog, EveryOutputHasItsHeadingInTheChannelText) {
    auto cell = Make(10, 2, 2);
    cell->SequenceNumber = 4;
    cell->ResetChannelLists();
    TRichEdit report(nullptr);
    cell->GetPortLevelText(&report);
    // The heading of each block, up to its colon.
    std::vector<AnsiString> headings;
    for (int i = 0; i < report.Lines->Count(); ++i) {
        const AnsiString line = report.Lines->Strings(i);
        if (!line.empty() && line[0] != '\t') headings.push_back(line.substr(0, line.find(':')));
    }
    const std::vector<AnsiString> expected = {"S4 passaggio 1", "S4 passaggio 2", "S4 uscita 1",
                                              "S4 uscita 2"};
    EXPECT_EQ(headings, expected);
}

}  // namespace
