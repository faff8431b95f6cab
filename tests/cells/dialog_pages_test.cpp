// Paging through a component's data in the form: the main-function switch,
// the module and output selectors with their drag-and-drop copies, and what
// a page change keeps of what was typed.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cells/factory.h"
#include "cells/switches.h"
#include "core/channels.h"
#include "cells/component_data.h"
#include "document/grid.h"
#include "platform/application.h"
#include "support/dialog_fixture.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

using Person = std::function<void(TDatiComponenti&)>;

void Answer(const Person& person) { Application->Script().AnswerShowModal<TDatiComponenti>(person); }

// What the value rows show of themselves.
struct TRowsLook {
    std::vector<std::string> captions;
    std::vector<int> tops;
    std::vector<bool> shown;
    bool operator==(const TRowsLook&) const = default;
};

TRowsLook LookOf(const TDatiComponenti& f) {
    TRowsLook look;
    for (int r = 0; r < DialogRows; ++r) {
        look.captions.push_back(f.RowCaption[r]->Text);
        look.tops.push_back(f.RowCaption[r]->Top);
        look.shown.push_back(f.RowCaption[r]->Visible);
        for (int c = 0; c < DialogBandColumns; ++c) {
            look.tops.push_back(f.ValueEdit[r][c]->Top);
            look.shown.push_back(f.ValueEdit[r][c]->Visible);
        }
    }
    return look;
}

class DialogPages : public GlobalsTest {
protected:
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    ScopedComponentDialog dialog;
    TGridData network{nullptr, 75, 75, GridNetwork};

    std::unique_ptr<TCella> Make(int32_t code, int32_t inputs, int32_t outputs) {
        std::unique_ptr<TCella> cell(NewCella(&network, code, 4, 4, inputs, 0, outputs));
        cell->SequenceNumber = 3;
        for (int32_t i = 0; i < cell->TableRows; ++i)
            for (int b = 0; b < 11; ++b) {
                cell->Attenuation->Set3(i, TapLossColumn, b, 10.0f + i);
                if (cell->NumThroughOutputs > 0) {
                    cell->Attenuation->Set3(i, TapThroughColumn, b, 1.5f);
                    cell->Attenuation->Set3(i, TapReverseColumn, b, 30.0f);
                }
                if (cell->NumTapOutputs > 1) cell->Attenuation->Set3(i, TapDecouplingColumn, b, 25.0f);
                if (dynamic_cast<TSwitch&>(*cell).HasMatrixInputs())
                    cell->Attenuation->Set3(i, SwitchHorizontalColumn, b, 3.0f);
            }
        cell->Described = 1;
        return cell;
    }
};

TEST_F(DialogPages, TheMainFunctionSwitchComesBackToTheComponentsOwnRows) {
    auto cell = Make(10, 3, 4);
    bool asked = false;
    Answer([&](TDatiComponenti& f) {
        asked = true;
        ASSERT_TRUE(f.PanelFunzione->Visible);
        const TRowsLook own = LookOf(f);
        f.RadioFunzione[2]->Click();
        EXPECT_EQ(f.CurrentKind, TableThroughAmplification);
        EXPECT_TRUE(f.RadioFunzione[2]->Checked);
        EXPECT_EQ(f.RowCaption[0]->Text.Get(), "Reg. tilt  [-dB]");
        EXPECT_EQ(f.RowCaption[6]->Text.Get(), "Livello max. out [dB]");
        for (int r = 0; r < DialogStageRows; ++r) {
            EXPECT_TRUE(f.RowCaption[r]->Visible) << r;
            EXPECT_EQ(f.RowCaption[r]->Top, f.RowCaption[0]->Top + 20 * r) << r;
            EXPECT_EQ(f.ValueEdit[r][10]->Top, f.RowCaption[r]->Top) << r;
            EXPECT_TRUE(f.ValueEdit[r][10]->Visible) << r;
        }
        // A stage value typed, another kind, back: the value was kept.
        f.ValueEdit[4][3]->Text = "12";
        f.RadioFunzione[1]->Click();
        EXPECT_EQ(f.ValueEdit[4][3]->Text.Get(), "");
        f.RadioFunzione[2]->Click();
        EXPECT_EQ(f.ValueEdit[4][3]->Text.Get(), "12");
        EXPECT_FLOAT_EQ(f.ThroughAmpTable[0][4][3], 12.0f);
        f.RadioFunzione[0]->Click();
        EXPECT_TRUE(LookOf(f) == own);
        EXPECT_EQ(f.ValueEdit[TapLossColumn][0]->Text.Get(), "10");
        // Twice over: the memory of the own rows is made afresh each time.
        f.RadioFunzione[3]->Click();
        f.RadioFunzione[0]->Click();
        EXPECT_TRUE(LookOf(f) == own);
        f.ButtonAnnulla->Click();
    });
    EXPECT_FALSE(cell->OpenDataDialog());
    EXPECT_TRUE(asked);
}

TEST_F(DialogPages, ModulesKeepWhatIsTypedOnThemAndABadButtonShowsModuleZero) {
    auto cell = Make(10, 3, 4);
    Answer([](TDatiComponenti& f) {
        ASSERT_EQ(f.ModuleCount, 3);
        f.RadioModulo[1]->Click();
        EXPECT_EQ(f.CurrentModule, 1);
        EXPECT_EQ(f.ValueEdit[TapLossColumn][5]->Text.Get(), "11");
        f.ValueEdit[TapLossColumn][5]->Text = "21";
        f.RadioModulo[2]->Click();
        EXPECT_EQ(f.ValueEdit[TapLossColumn][5]->Text.Get(), "12");
        f.RadioModulo[4]->Click();  // module 5 of three
        EXPECT_EQ(f.CurrentModule, 0);
        EXPECT_TRUE(f.RadioModulo[0]->Checked);
        EXPECT_EQ(f.ValueEdit[TapLossColumn][5]->Text.Get(), "10");
        f.RadioModulo[2]->Click();
        f.ButtonOk->Click();
    });
    EXPECT_TRUE(cell->OpenDataDialog());
    EXPECT_FLOAT_EQ(cell->Attenuation->Get3(1, TapLossColumn, 5), 21.0f);
    EXPECT_FLOAT_EQ(cell->Attenuation->Get3(2, TapLossColumn, 5), 12.0f);

    // Cancel leaves the cell as it was.
    Answer([](TDatiComponenti& f) {
        f.RadioModulo[1]->Click();
        f.ValueEdit[TapLossColumn][5]->Text = "30";
        f.RadioModulo[0]->Click();
        f.ButtonAnnulla->Click();
    });
    EXPECT_FALSE(cell->OpenDataDialog());
    EXPECT_FLOAT_EQ(cell->Attenuation->Get3(1, TapLossColumn, 5), 21.0f);
}

TEST_F(DialogPages, DroppingAModuleButtonCopiesThatModule) {
    auto cell = Make(10, 4, 4);
    Answer([](TDatiComponenti& f) {
        ASSERT_EQ(f.ModuleCount, 4);
        f.RadioModulo[3]->Click();
        f.ValueEdit[TapLossColumn][2]->Text = "33";  // typed, not yet stored
        f.BandRowByte[3] = 1;
        TCanale channel;
        channel.name = "E21";
        f.ChannelLists[3].Insert(channel);
        f.InputAmpTable[3][5][1] = 7.0f;
        f.InputAmpTable[1][5][1] = 5.0f;

        TRadioButton* target = f.RadioModulo[1];
        bool accept = true;
        target->OnDragOver(target, target, 0, 0, dsDragMove, accept);
        EXPECT_FALSE(accept);
        target->OnDragOver(target, f.RadioUscita[3], 0, 0, dsDragMove, accept);
        EXPECT_FALSE(accept);
        target->OnDragOver(target, f.RadioModulo[3], 0, 0, dsDragMove, accept);
        EXPECT_TRUE(accept);
        target->OnDragDrop(target, f.RadioModulo[3], 0, 0);
        EXPECT_EQ(f.CurrentModule, 1);
        EXPECT_TRUE(f.RadioModulo[1]->Checked);
        EXPECT_FLOAT_EQ(f.MainTable[1][TapLossColumn][2], 33.0f);
        for (int r = 0; r < DialogRows; ++r) {
            EXPECT_EQ(f.MainTable[1][r], f.MainTable[3][r]) << r;
            EXPECT_EQ(f.InputAmpTable[1][r], f.InputAmpTable[3][r]) << r;
        }
        EXPECT_EQ(f.BandRowByte[1], 1);
        EXPECT_EQ(f.ChannelLists[1].Count(), 1);
        EXPECT_EQ(f.ChannelLists[3].Count(), 1);  // the source stays
        EXPECT_FLOAT_EQ(f.InputAmpTable[1][5][1], 7.0f);
        // Stage values of one row only would not pass the data check.
        f.InputAmpTable[1][5][1] = f.InputAmpTable[3][5][1] = LevelNone;
        // Dropped on itself: nothing.
        f.ValueEdit[TapLossColumn][2]->Text = "44";
        target->OnDragDrop(target, target, 0, 0);
        EXPECT_FLOAT_EQ(f.MainTable[1][TapLossColumn][2], 33.0f);
        f.ButtonOk->Click();
    });
    EXPECT_TRUE(cell->OpenDataDialog());
    EXPECT_FLOAT_EQ(cell->Attenuation->Get3(1, TapLossColumn, 2), 44.0f);  // still typed on module 1
    EXPECT_FLOAT_EQ(cell->Attenuation->Get3(3, TapLossColumn, 2), 33.0f);
    EXPECT_FLOAT_EQ(cell->Attenuation->Get3(2, TapLossColumn, 2), 12.0f);
}

TEST_F(DialogPages, DistinctOutputsStartAsCopiesOfOutputZeroAndCopyByDrop) {
    auto cell = Make(10, 2, 4);
    Answer([](TDatiComponenti& f) {
        ASSERT_EQ(f.OutputCount, 4);
        EXPECT_FALSE(f.StripUscita->Visible);
        EXPECT_EQ(f.ButtonUsciteDistinte->Caption.Get(), "Uscite distinte");
        f.OutputAmpTable[0][0][2][4] = 6.0f;
        f.OutputAmpTable[1][0][3][1] = 8.0f;
        f.ButtonUsciteDistinte->Click();
        EXPECT_EQ(f.DistinctOutputs, 1);
        EXPECT_TRUE(f.StripUscita->Visible);
        EXPECT_TRUE(f.CaptionUscita->Visible);
        EXPECT_EQ(f.ButtonUsciteDistinte->Caption.Get(), "Uscite uguali");
        EXPECT_EQ(f.CurrentOutput, 0);
        for (int m = 0; m < 2; ++m)
            for (int o = 1; o < DialogOutputs; ++o) {
                for (int k = 0; k < DialogDistinctRows; ++k)
                    EXPECT_EQ(f.DistinctOutputRows[m][o][k], f.DistinctOutputRows[m][0][k]) << m << o;
                for (int r = 0; r < DialogRows; ++r)
                    EXPECT_EQ(f.OutputAmpTable[m][o][r], f.OutputAmpTable[m][0][r]);
            }
        EXPECT_FLOAT_EQ(f.OutputAmpTable[1][19][3][1], 8.0f);

        // Output pages within module 0: a drop copies one output onto another.
        f.RadioUscita[2]->Click();
        EXPECT_EQ(f.CurrentOutput, 2);
        f.OutputAmpTable[0][2][2][4] = 9.0f;
        TRadioButton* target = f.RadioUscita[1];
        bool accept = false;
        target->OnDragOver(target, f.RadioUscita[2], 0, 0, dsDragMove, accept);
        EXPECT_TRUE(accept);
        target->OnDragDrop(target, f.RadioUscita[2], 0, 0);
        EXPECT_EQ(f.CurrentOutput, 1);
        EXPECT_FLOAT_EQ(f.OutputAmpTable[0][1][2][4], 9.0f);
        EXPECT_FLOAT_EQ(f.OutputAmpTable[1][1][2][4], f.OutputAmpTable[1][0][2][4]);  // module 1 untouched
        target->OnDragDrop(target, target, 0, 0);
        EXPECT_EQ(f.CurrentOutput, 1);

        f.ButtonUsciteDistinte->Click();
        EXPECT_EQ(f.DistinctOutputs, 0);
        EXPECT_FALSE(f.StripUscita->Visible);
        EXPECT_EQ(f.ButtonUsciteDistinte->Caption.Get(), "Uscite distinte");
        EXPECT_EQ(f.CurrentOutput, 0);
        f.ButtonAnnulla->Click();
    });
    EXPECT_FALSE(cell->OpenDataDialog());
}

TEST_F(DialogPages, DistinctOutputsGiveTheSwitchItsPerOutputTapLossesAndEqualOnesDropThem) {
    auto cell = Make(10, 2, 4);
    ASSERT_FALSE(cell->MatrixTableA->HasBlocks4());
    Answer([](TDatiComponenti& f) {
        EXPECT_EQ(f.DistinctOutputs, 0);
        f.ButtonUsciteDistinte->Click();
        f.RadioUscita[2]->Click();
        EXPECT_EQ(f.ValueEdit[TapLossColumn][1]->Text.Get(), "10");  // a copy of output 0
        f.ValueEdit[TapLossColumn][1]->Text = "17";
        f.RadioModulo[1]->Click();
        f.ButtonOk->Click();
    });
    EXPECT_TRUE(cell->OpenDataDialog());
    ASSERT_TRUE(cell->MatrixTableA->HasBlocks4());
    EXPECT_FLOAT_EQ(cell->MatrixTableA->Get4(0, 2, 0, 1), 17.0f);
    EXPECT_FLOAT_EQ(cell->MatrixTableA->Get4(0, 3, 0, 1), 10.0f);
    EXPECT_FLOAT_EQ(cell->MatrixTableA->Get4(1, 2, 0, 1), 11.0f);

    Answer([](TDatiComponenti& f) {
        // The outputs come back distinct, output 2 with its own loss.
        EXPECT_EQ(f.DistinctOutputs, 1);
        EXPECT_EQ(f.ButtonUsciteDistinte->Caption.Get(), "Uscite uguali");
        f.RadioUscita[2]->Click();
        EXPECT_EQ(f.ValueEdit[TapLossColumn][1]->Text.Get(), "17");
        f.ButtonUsciteDistinte->Click();
        f.ButtonOk->Click();
    });
    EXPECT_TRUE(cell->OpenDataDialog());
    EXPECT_FALSE(cell->MatrixTableA->HasBlocks4());
    EXPECT_FLOAT_EQ(cell->Attenuation->Get3(0, TapLossColumn, 1), 10.0f);
}

}  // namespace
