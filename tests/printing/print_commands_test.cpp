// The print items of lists, estimate and specification: when they are
// enabled, and what each prints after the print dialog.
#include <gtest/gtest.h>

#include "app/estimate_page.h"
#include "document/estimate.h"
#include "platform/dialogs.h"
#include "support/print_fixture.h"

namespace {

TEST(PrintItems, EnabledByPagesStepAndSelection) {
    const TCellRect block{3, 4, 6, 9}, square{3, 4, 3, 4}, row{3, 4, 3, 9};
    struct Case {
        bool network, headEnd, estimate;
        int32_t step;
        const char* selected;
        TCellRect selection;
        // "&Rete (disegno)", "&Testa (disegno)", the two lists, "&Schemi ed elenco",
        // "&Calcoli", "Area sele&zionata", "&Preventivo" and "Capito&lato"
        bool networkScheme, headEndScheme, networkList, headEndList, both, calculations, area, estimateItem;
    };
    // clang-format off
    const Case cases[] = {
        {true, true, false, 1, "Rete", block, true, true, false, false, false, false, true, false},
        {true, true, false, 2, "Testa", block, true, true, true, true, true, true, true, false},
        {true, false, false, 2, "Rete", square, true, false, true, false, true, true, false, false},
        {true, false, false, 2, "Rete", row, true, false, true, false, true, true, false, false},
        {false, true, false, 3, "Calcoli rete", block, false, true, false, true, true, true, false, false},
        {true, true, true, 2, "Preventivo", block, true, true, true, true, true, true, false, true},
        {false, false, true, 1, "Preventivo", square, false, false, false, false, false, false, false, true},
    };
    // clang-format on
    for (const Case& c : cases) {
        TPrintMenuContext menu;
        menu.NetworkPage = c.network;
        menu.HeadEndPage = c.headEnd;
        menu.EstimatePage = c.estimate;
        menu.Step = c.step;
        menu.SelectedPage = c.selected;
        menu.Selection = c.selection;
        const TPrintItemsState s = PrintItemsState(menu);
        SCOPED_TRACE(std::string(c.selected) + " step " + std::to_string(c.step));
        EXPECT_EQ(s.NetworkScheme, c.networkScheme);
        EXPECT_EQ(s.HeadEndScheme, c.headEndScheme);
        EXPECT_EQ(s.NetworkList, c.networkList);
        EXPECT_EQ(s.HeadEndList, c.headEndList);
        EXPECT_EQ(s.SchemesAndLists, c.both);
        EXPECT_EQ(s.Calculations, c.calculations);
        EXPECT_EQ(s.SelectedArea, c.area);
        EXPECT_EQ(s.Estimate, c.estimateItem);
        EXPECT_EQ(s.Specification, c.estimateItem);
    }
    // The mast report only with a mast to report; the lightning report always.
    for (bool mast : {false, true}) {
        TPrintMenuContext menu;
        menu.MastData = mast;
        const TPrintItemsState s = PrintItemsState(menu);
        EXPECT_EQ(s.MastReport, mast);
        EXPECT_TRUE(s.LightningReport);
    }
}

class PrintCommandsTest : public PrintTest {
protected:
    PrintCommandsTest() {
        stampa.EstimatePage = &estimatePage;
        estimatePage.SetProject(&project);
        AddCell(project.NetworkGrid, 14, "PRESA", 1)->Price = 4.0f;
        AddCell(project.HeadEndGrid, 6, "DERIV", 2)->Price = 9.0f;
        project.EstimateOutOfDate = true;
    }
    TPaginaPreventivo estimatePage{nullptr};
    TPrintDialog dialog;
};

TEST_F(PrintCommandsTest, EachCommandPrintsItsDocumentInOneJob) {
    project.Name = "/tmp/progetti/Condominio Rossi.ant";
    struct Case {
        void (TStampa::*command)(TPrintDialog*);
        const char* title;
        const char* row;
        const char* file;  // the name a printout to a file is offered under
    };
    // clang-format off
    const Case cases[] = {
        {&TStampa::PrintNetworkListCommand, "Tipologia del materiale della rete", "PRESA", "Condominio Rossi - Elenco componenti di rete"},
        {&TStampa::PrintHeadEndListCommand, "Tipologia del materiale della testata", "DERIV", "Condominio Rossi - Elenco componenti di testa"},
        {&TStampa::PrintEstimateCommand, "Preventivo di spesa", "Totale:", "Condominio Rossi - Preventivo"},
        {&TStampa::PrintSpecificationCommand, "Capitolato", "DERIV", "Condominio Rossi - Capitolato"},
    };
    // clang-format on
    for (const Case& c : cases) {
        Printer()->ClearDocuments();
        Application->Script().AnswerPrintDialog(true);
        (stampa.*c.command)(&dialog);
        EXPECT_EQ(Application->Script().Dialogs.back().FileName, c.file);
        ASSERT_EQ(Printer()->Documents().size(), 1u) << c.title;
        const TPrintedDocument& doc = LastDocument();
        EXPECT_EQ(doc.Title, PrintJobTitle);
        EXPECT_EQ(doc.Orientation, poPortrait);
        ASSERT_EQ(doc.Pages.size(), 1u);
        EXPECT_NE(FindText(*doc.Pages[0], c.title), nullptr) << c.title;
        EXPECT_NE(FindText(*doc.Pages[0], c.row), nullptr) << c.title << "\n" << PageText(*doc.Pages[0]);
        EXPECT_EQ(PrintPage.NewJob, 0);
    }
}

TEST_F(PrintCommandsTest, CancelledDialogPrintsNothingButTheEstimateIsRebuilt) {
    for (auto command : {&TStampa::PrintNetworkListCommand, &TStampa::PrintHeadEndListCommand,
                         &TStampa::PrintEstimateCommand, &TStampa::PrintSpecificationCommand}) {
        Application->Script().AnswerPrintDialog(false);
        (stampa.*command)(&dialog);
    }
    EXPECT_TRUE(Printer()->Documents().empty());
    // The estimate commands rebuilt the estimate before the dialog.
    EXPECT_FALSE(project.EstimateOutOfDate);
    EXPECT_TRUE(project.Estimate->HasRow("PRESA"));
    EXPECT_EQ(estimatePage.GridPreventivo->Cells[0][1], "PRESA");
}

TEST_F(PrintCommandsTest, ListJobPrintsOnlyGridsWhosePageExists) {
    pages = {"Testa"};
    stampa.PrintComponentListJob(ListNetwork);
    ASSERT_EQ(Printer()->Documents().size(), 1u);
    EXPECT_TRUE(LastDocument().Pages[0]->Calls.empty());
    stampa.PrintComponentListJob(ListNetwork | ListHeadEnd);
    const TPrintedDocument& doc = LastDocument();
    ASSERT_EQ(doc.Pages.size(), 1u);
    EXPECT_NE(FindText(*doc.Pages[0], "DERIV"), nullptr);
    EXPECT_EQ(FindText(*doc.Pages[0], "PRESA"), nullptr);
}

}  // namespace
