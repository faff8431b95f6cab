// What the main window shows of a building designed through "Autoprogetto":
// the hint of every square of every cable names the cable's run and its
// article; an outlet's hint writes the rows the information menu asks for;
// the channel pages never stand blank; a design the designer refuses brings
// the wizard back with its entries.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/estimate_page.h"
#include "app/main_form.h"
#include "dialogs/options_form.h"
#include "document/estimate.h"
#include "document/estimate_amounts.h"
#include "platform/printers.h"
#include "autodesign/wizard.h"
#include "cells/cables.h"
#include "cells/cell.h"
#include "core/globals.h"
#include "core/options.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/application.h"
#include "platform/comctrls.h"
#include "platform/forms.h"
#include "support/default_library_folder.h"
#include "support/design_components.h"
#include "support/library_program.h"
#include "support/price_list_item.h"
#include "support/program_fixture.h"
#include "view/draw_window.h"

namespace {

TScript& Script() { return Application->Script(); }

struct TBuilding {
    const char* name;
    int floors, apartments;
    TAppartamento apartment;
    std::vector<int> choices;
    bool terrestrial;
};

void PrintTo(const TBuilding& b, std::ostream* out) { *out << b.name; }

// The person's wizard: one staircase of the building, its choices, the
// band III and UHF antennas on request, through to "Fine".
void Choose(TAutoProgetto& w, const TBuilding& b) {
    // The head end stays at the wizard's own distance.
    SetBuilding(w, 1, b.floors, b.apartments, b.apartment, w.Opz().Building->Staircases[0].HeadEndDistance);
    if (b.terrestrial) SetBandAntennas(w, DefaultLibraryName);
    ChooseAndFinish(w, b.choices);
}

// The hint the drawing shows once the pointer has rested on a point of a
// square for the hint's delay; its lines joined, "" when none shows.
std::string HintAt(TDrawWindow& window, int32_t column, int32_t row, int dx = 21, int dy = 21) {
    window.CenterOn(column, row);
    const TRect square = window.CellRect(column, row);
    const TPoint at(square.Left + dx, square.Top + dy);
    // The pointer itself is there: the hint's watch finds it over the drawing.
    Screen->SetCursorPos(window.ClientToScreen(at));
    window.MouseMove(TShiftState{}, at.x, at.y);
    Script().AdvanceClock(500);
    if (!window.HintWindow->Visible) return "";
    std::string text;
    for (int i = 0; i < window.HintWindow->Lines->Count(); ++i) text += window.HintWindow->Lines->Strings(i) + "\n";
    return text;
}

// The building designed by "Autoprogetto"; false when the design was refused.
bool Design(TAntenne& form, const TBuilding& b) {
    Script().AnswerShowModal<TAutoProgetto>([b](TAutoProgetto& w) { Choose(w, b); });
    form.Speciali1->Click();
    form.Autoprogetto1->Click();
    return form.CurrentProject->Step == 2;
}

const TBuilding SingleCable{"single_cable", 3, 2, TAppartamento{1, 1, 0, 0, 5, 5},
                            {ChoiceTerSat, ChoiceReteCentrale, ChoiceModulare, ChoiceMonocavo, ChoiceUnite}, true};
const TBuilding Multiswitch{"multiswitch", 3, 2, TAppartamento{0, 2, 0, 0, 5, 5},
                            {ChoiceSatellitare, ChoiceReteCentrale, ChoiceMs4, ChoiceLungoScala}, false};

class DesignedWindow : public ::testing::TestWithParam<TBuilding> {
protected:
    void SetUp() override {
        form = &StartWithDefaultLibrary(program);
        ASSERT_TRUE(Design(*form, GetParam())) << Script().MessageBoxes.size();
        form->DrawWindow->HintsActive = true;
    }
    ScopedProgram program;
    TAntenne* form = nullptr;
};

TEST_P(DesignedWindow, EveryCableSquareHintsItsRunAndArticle) {
    TDrawWindow& window = *form->DrawWindow;
    TProgetto& project = *form->CurrentProject;
    int squares = 0;
    for (TGridData* grid : {project.NetworkGrid, project.HeadEndGrid}) {
        window.SetGrid(grid);
        for (int32_t r = 0; r < grid->Rows; ++r)
            for (int32_t c = 0; c < grid->Columns; ++c) {
                if (!dynamic_cast<TNCavo*>(grid->CellAt(c, r))) continue;
                const std::string hint = HintAt(window, c, r);
                auto* piece = dynamic_cast<TNCavo*>(window.MouseInfo.Cell);
                ASSERT_NE(piece, nullptr) << c << "," << r;
                TNCavo* head = piece->GetRunHead();
                ASSERT_NE(head, nullptr) << c << "," << r;
                ++squares;
                const std::string name = (head->IsBridge() ? "Ponte " : "Cavo ") + head->GetShortCode() + "- ";
                EXPECT_NE(hint.find(name), std::string::npos) << c << "," << r << ": " << hint;
                if (!head->IsBridge()) {
                    EXPECT_FALSE(head->Article.empty()) << name;
                    EXPECT_NE(hint.find(head->Article), std::string::npos) << c << "," << r << ": " << hint;
                    EXPECT_EQ(hint.find("componente non definito"), std::string::npos) << c << "," << r;
                }
            }
    }
    EXPECT_GT(squares, 20);
}

TEST_P(DesignedWindow, AnOutletHintWritesTheTickedInformation) {
    TDrawWindow& window = *form->DrawWindow;
    TProgetto& project = *form->CurrentProject;
    // The channel rows need the channel page, which the calculations add.
    form->SelectPage(PageCalcoliCanali);
    form->SelectPage(PageRete);
    TCella* outlet = project.NetworkGrid->Anchor;
    while (outlet && !outlet->HasRole(RoleOutlet)) outlet = outlet->NextCell;
    ASSERT_NE(outlet, nullptr);
    window.SetGrid(project.NetworkGrid);
    struct TCase {
        bool attenuations, required, distributed;
    };
    for (const TCase& c : {TCase{true, true, true}, TCase{false, true, false}, TCase{true, false, true}}) {
        Opzioni->hbAttenuations = c.attenuations;
        Opzioni->hbSignalLimits = c.required;
        Opzioni->hbDistributedChannels = c.distributed;
        Opzioni->hbGeneratedChannels = false;
        window.HintWindow->Visible = false;
        // The socket: the middle of the outlet's line.
        const std::string hint = HintAt(window, outlet->Column, outlet->Row, 21, 21);
        ASSERT_NE(hint, "");
        EXPECT_EQ(hint.find("Attenuazioni [dB]") != std::string::npos, c.attenuations) << hint;
        EXPECT_EQ(hint.find("Segnali richiesti") != std::string::npos, c.required) << hint;
        EXPECT_EQ(hint.find("S Min.") != std::string::npos, c.distributed) << hint;
        // No row of bare marks: every row that has values has a number.
        size_t start = 0;
        while (start < hint.size()) {
            const size_t end = hint.find('\n', start);
            const std::string line = hint.substr(start, end - start);
            start = end + 1;
            if (line.empty() || line[0] != '\t') continue;
            EXPECT_NE(line.find_first_of("0123456789"), std::string::npos) << "\"" << line << "\" in\n" << hint;
        }
    }
}

TEST_P(DesignedWindow, TheRequiredChannelsPageSaysWhenNothingWasFound) {
    ASSERT_TRUE(form->FindPage(PageCalcoliCanaliRichiesti));
    form->SelectPage(PageCalcoliCanaliRichiesti);
    const TReportPage& shown = form->CanaliRichiestiReport;
    const std::string table = shown.Report->Text.Get();
    const bool said = table.rfind("Nessun problema rilevato sui canali.", 0) == 0 &&
                      shown.Report->Lines->Count() == 1;
    // The pass found something, listed, or the page says in one line that
    // it found nothing.
    EXPECT_NE(shown.Messages->Items->Count() > 0, said) << table;
    EXPECT_TRUE(shown.Messages->Items->Count() > 0 || !table.empty());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Buildings, DesignedWindow,
    ::testing::Values(SingleCable, Multiswitch),
    [](const ::testing::TestParamInfo<TBuilding>& info) { return std::string(info.param.name); });
// clang-format on

// A labour cost confirmed in "Opzioni" prices the estimate already built:
// "MANOP" and the total change at the page's next showing, in the printout
// as on the page, and the row added by hand stays.
TEST(DesignedEstimate, TheLabourCostOfTheOptionsReachesTheEstimate) {
    ScopedProgram program;
    TAntenne& f = StartWithDefaultLibrary(program);
    ASSERT_TRUE(Design(f, SingleCable));
    Opzioni->costM = 0.0f;
    f.CurrentProject->EstimateOutOfDate = true;
    ASSERT_TRUE(f.FindPage(PagePreventivo));
    f.SelectPage(PagePreventivo);
    TPaginaPreventivo& page = *f.EstimatePage;
    TDatiPreventivo& estimate = *f.CurrentProject->Estimate;
    ASSERT_TRUE(page.AddEstimateItem(PriceListItem("ANT-X", "Antenna", "1", "10,00", "0")));
    auto labour = [&] {
        for (const TRigaPreventivo& r : estimate.Rows())
            if (r.Code == LabourCode) return r;
        return TRigaPreventivo{};
    };
    ASSERT_GT(labour().Quantity, 0.0f);
    EXPECT_EQ(labour().UnitPrice, 0.0f);
    const AnsiString totalBefore = page.Totale->Text;
    const int row = estimate.LabourPosition + 1;
    ASSERT_EQ(page.GridPreventivo->Cells[0][row], LabourCode);

    // Changed with the page on screen, and again from the drawing.
    struct TCase {
        const char* cost;
        const char* page;
    };
    for (const TCase& c : {TCase{"30", PagePreventivo}, TCase{"45", PageRete}}) {
        f.SelectPage(c.page);
        Script().AnswerShowModal<TDatiOpzioni>([&](TDatiOpzioni& d) {
            d.EditCostoM->UserSet(d.EditCostoM->Text, AnsiString(c.cost));
            d.BOk->Click();
        });
        f.MOpzioni->Click();
        const std::string price = std::string(c.cost) + ",00";
        if (c.page != PagePreventivo) {
            // Printed before the page shows again: the printout is priced anew.
            TPrinter* printer = Printer();
            printer->ClearDocuments();
            Script().AnswerPrintDialog(true);
            f.Stampa2->Click();
            f.SPreventivo->Click();
            ASSERT_EQ(printer->Documents().size(), 1u);
            bool printed = false;
            for (const auto& sheet : printer->Documents()[0]->Pages)
                for (const AnsiString& t : sheet->Texts()) printed = printed || t.find(price) != std::string::npos;
            EXPECT_TRUE(printed) << price;
            printer->ClearDocuments();
        }
        f.SelectPage(PagePreventivo);
        EXPECT_EQ(labour().UnitPrice, std::stof(c.cost)) << c.cost;
        const AnsiString shown = page.GridPreventivo->Cells[7][row];
        EXPECT_NE(shown.find(price), std::string::npos) << shown;
        EXPECT_NE(page.Totale->Text.Get(), totalBefore) << c.cost;
        EXPECT_TRUE(estimate.HasRow("ANT-X")) << c.cost;
        EXPECT_EQ(page.GridPreventivo->Cells[0][estimate.Count()], "ANT-X") << c.cost;
    }
}

// A design the designer refuses, by "Autoprogetto" as after "Nuovo": the
// wizard comes back with the person's entries, over an empty project.
TEST(DesignedWindowRefusal, ARefusedDesignBringsTheWizardBackWithItsEntries) {
    ScopedProgram program;
    TAntenne& f = StartWithDefaultLibrary(program);
    for (const bool fromNew : {false, true}) {
        int shown = 0;
        int floorsShown = 0;
        bool terrestrialShown = false;
        // Nothing ticked among the components: the designer has no outlet to place.
        auto refused = [&](TAutoProgetto& w) {
            ++shown;
            w.Opz().Building->Staircases[0].FloorCount = 3;
            w.Opz().Building->ComputeMaxima();
            w.ChoiceClick(w.Choice[ChoiceTerrestre]);
            w.ChoiceClick(w.Choice[ChoiceRete]);
            for (int i = 0; i < w.ComponentTree->Items->RootCount(); ++i)
                w.ComponentTree->SetNodeState(w.ComponentTree->Items->Root(i), NodeEmpty);
            while (w.ModalResult.Get() == mrNone) w.PageForward(nullptr);
        };
        auto back = [&](TAutoProgetto& w) {
            ++shown;
            floorsShown = w.Opz().Building->Staircases[0].FloorCount;
            terrestrialShown = w.Choice[ChoiceTerrestre]->Checked;
            w.ModalResult = WizardClosed;
        };
        Script().AnswerShowModal<TAutoProgetto>(refused);
        Script().AnswerShowModal<TAutoProgetto>(back);
        const size_t messages = Script().MessageBoxes.size();
        if (fromNew) {
            f.CurrentProject->Modified = false;
            f.New1->Click();
        } else {
            f.Speciali1->Click();
            f.Autoprogetto1->Click();
        }
        EXPECT_EQ(shown, 2) << fromNew;
        EXPECT_GT(Script().MessageBoxes.size(), messages) << fromNew;
        EXPECT_EQ(floorsShown, 3) << fromNew;
        EXPECT_TRUE(terrestrialShown) << fromNew;
        EXPECT_TRUE(f.DrawWindow->Visible.Get()) << fromNew;
        // The drawing is the empty project's: its terminal alone.
        EXPECT_EQ(f.CurrentProject->NetworkGrid->Anchor->NextCell, nullptr) << fromNew;
    }

    // A file chosen in the wizard that does not open brings it back too.
    const std::string bad = program.Dir().File("prova.ant");
    {
        std::FILE* out = std::fopen(bad.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        std::fputs("not a project", out);
        std::fclose(out);
    }
    int shown = 0;
    Script().AnswerShowModal<TAutoProgetto>([&](TAutoProgetto& w) {
        ++shown;
        Script().AnswerFileDialog(bad);
        w.Apri1Click(nullptr);
    });
    Script().AnswerShowModal<TAutoProgetto>([&](TAutoProgetto& w) {
        ++shown;
        w.ModalResult = WizardClosed;
    });
    const size_t messages = Script().MessageBoxes.size();
    f.Speciali1->Click();
    f.Autoprogetto1->Click();
    EXPECT_EQ(shown, 2);
    ASSERT_EQ(Script().MessageBoxes.size(), messages + 1);
    EXPECT_NE(Script().MessageBoxes.back().Text.find("non è un progetto di Ordivex Varne."), std::string::npos);
}

}  // namespace
