// The print items of lists, estimate and specification: when they are
// enabled, and what each prints after the print dialog.
#include <gtest/gtest.h>

#include "app/estimate.h"
#include "app/estimate_page.h"
#include "platform/dialogs.h"
#include "support/print_fixture.h"

namespace {

TEST(PrintItems, EnabledByPagesAndStep) {
    struct Case {
        bool network, headEnd, estimate;
        int32_t step;
        bool networkList, headEndList, estimateItem;
    };
    const Case cases[] = {
        {true, true, false, 1, false, false, false},
        {true, true, false, 2, true, true, false},
        {true, false, false, 2, true, false, false},
        {false, true, false, 3, false, true, false},
        {true, true, true, 2, true, true, true},
        {false, false, true, 1, false, false, true},
    };
    for (const Case& c : cases) {
        const TPrintItemsState s = PrintItemsState(c.network, c.headEnd, c.estimate, c.step);
        EXPECT_EQ(s.NetworkList, c.networkList);
        EXPECT_EQ(s.HeadEndList, c.headEndList);
        EXPECT_EQ(s.Estimate, c.estimateItem);
        EXPECT_EQ(s.Specification, c.estimateItem);
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
    struct Case {
        void (TStampa::*command)(TPrintDialog*);
        const char* title;
        const char* row;
    };
    const Case cases[] = {
        {&TStampa::PrintNetworkListCommand, "Tipologia del materiale della rete", "PRESA"},
        {&TStampa::PrintHeadEndListCommand, "Tipologia del materiale della testata", "DERIV"},
        {&TStampa::PrintEstimateCommand, "Preventivo di spesa", "Totale:"},
        {&TStampa::PrintSpecificationCommand, "Capitolato", "DERIV"},
    };
    for (const Case& c : cases) {
        Printer()->ClearDocuments();
        Application->Script().AnswerPrintDialog(true);
        (stampa.*c.command)(&dialog);
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
