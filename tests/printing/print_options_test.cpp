// The combined print headless: the options form's captions, defaults and
// rules, its mapping to the preview's documents, the preview's stepping and
// the chosen documents printed in one job.
#include "printing/print_options.h"

#include <gtest/gtest.h>

#include "app/estimate_page.h"
#include "cells/drawing.h"
#include "core/globals.h"
#include "core/options.h"
#include "document/estimate.h"
#include "document/mast.h"
#include "platform/dialogs.h"
#include "printing/preview.h"
#include "support/print_fixture.h"
#include "support/two_tap_line.h"

namespace {

class PrintOptionsTest : public PrintTest {
protected:
    PrintOptionsTest() {
        stampa.EstimatePage = &estimatePage;
        estimatePage.SetProject(&project);
    }
    TDatiStampa options{nullptr};
    TFAnteprima preview{nullptr};
    TPaginaPreventivo estimatePage{nullptr};
};

TEST_F(PrintOptionsTest, CaptionsAndDefaults) {
    EXPECT_EQ(options.Caption.Get(), "Ordivex Varne - Dati stampa");
    EXPECT_EQ(options.Width.Get(), 779);
    EXPECT_EQ(options.Height.Get(), 443);
    ASSERT_EQ(options.Pagine->PageCount(), 5);
    const char* tabs[] = {"Schemi", "Calcoli", "Dichiarazione", "Materiale e preventivi",
                          "Sostegno e fulmini"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(options.Pagine->Page(i)->Caption.Get(), tabs[i]);
    EXPECT_EQ(options.Pagine->ActivePage.Get(), options.TSchemi);
    EXPECT_EQ(options.GDocumenti->Caption.Get(), "Documenti da stampare ");
    EXPECT_EQ(options.GCopertine->Caption.Get(), "Copertine ");
    EXPECT_EQ(options.RCopNessuna->Caption.Get(), "Nessuna copertina");
    EXPECT_EQ(options.CSStessoFoglio->Caption.Get(), "Rete e testa sullo stesso foglio");
    EXPECT_EQ(options.CAttenuazioni->Caption.Get(), "Stampa attenuazioni componenti");
    EXPECT_EQ(options.CAllegati[daReferences]->Caption.Get(), "Riferimenti altre dichiarazioni");
    EXPECT_EQ(options.CNorme[dn81_10_2]->Caption.Get(), "81.10-2");
    EXPECT_EQ(options.CMUnite->Caption.Get(), "Rete e testa unite");
    EXPECT_EQ(options.CErrori->Caption.Get(), "Segnala eventuali errori su stampa");
    EXPECT_TRUE(options.ROttimale->Checked && options.CNumeri->Checked && options.CErrori->Checked);
    EXPECT_TRUE(options.CMTesta->Checked && options.CMRete->Checked && options.CMUnite->Checked);
    EXPECT_EQ(options.ECopie->Text.Get(), "1");
    EXPECT_FALSE(options.LFrequenza->Enabled || options.CBFrequenza->Enabled);
    for (int32_t d = 1; d <= PrintDocumentLast; ++d) EXPECT_FALSE(options.Chosen(d)) << d;
    // The two reports are offered.
    EXPECT_TRUE(options.CRelSostegno->Visible && options.CRelScariche->Visible);
}

TEST_F(PrintOptionsTest, RulesKeepTheChoicesConsistent) {
    TDatiStampa& o = options;
    o.CSArea->Checked = true;
    o.CSStessoFoglio->Click();  // rule 2
    EXPECT_TRUE(o.CSRete->Checked && o.CSTesta->Checked);
    EXPECT_FALSE(o.CSArea->Checked);
    o.CSTesta->Click();  // rule 1, unticked
    EXPECT_FALSE(o.CSStessoFoglio->Checked);
    o.CSArea->Click();  // rule 3
    EXPECT_FALSE(o.CSRete->Checked || o.CSTesta->Checked || o.CSStessoFoglio->Checked);
    o.CSRete->Click();  // rule 1, ticked
    EXPECT_FALSE(o.CSArea->Checked);
    o.CMRete->Click();  // rule 4
    EXPECT_FALSE(o.CMUnite->Checked);
    o.CMUnite->Click();  // rule 5
    EXPECT_TRUE(o.CMRete->Checked && o.CMTesta->Checked);
    o.CAttenuazioni->Click();  // rule 6
    EXPECT_TRUE(o.LFrequenza->Enabled && o.CBFrequenza->Enabled);
    o.CAttenuazioni->Click();
    EXPECT_FALSE(o.LFrequenza->Enabled || o.CBFrequenza->Enabled);
    o.FillFrequencies(o.CBFrequenza);  // rule 8
    ASSERT_EQ(o.CBFrequenza->Items->Count(), 11);
    EXPECT_EQ(o.CBFrequenza->Items->Strings(0), "10");
    EXPECT_EQ(o.CBFrequenza->Items->Strings(10), "2400");
    // The frequency chosen reaches the scheme's labels only while the
    // losses are printed; with none chosen the labels keep their own band.
    o.CBFrequenza->ItemIndex = 2;
    EXPECT_EQ(o.SchemeFlags() & (SchemeAttenuations | PrintLabelBandBits), 0);
    o.CAttenuazioni->Click();
    EXPECT_EQ(PrintLabelBandOf(o.SchemeFlags()), 2);
    EXPECT_TRUE(o.SchemeFlags() & SchemeAttenuations);
    o.CBFrequenza->ItemIndex = -1;
    EXPECT_EQ(PrintLabelBandOf(o.SchemeFlags()), LabelLossBand);
    o.CAttenuazioni->Click();
    // Rule 7: a block selected on a drawing page keeps "Area selezionata".
    struct Case {
        const char* page;
        TCellRect selection;
        bool enabled;
    };
    // clang-format off
    const Case cases[] = {
        {"Rete", {3, 4, 6, 9}, true}, {"Testa", {3, 4, 6, 9}, true}, {"Rete", {3, 4, 3, 9}, false},
        {"Rete", {3, 4, 6, 4}, false}, {"Preventivo", {3, 4, 6, 9}, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        o.CSArea->Enabled = true;
        o.CSArea->Checked = true;
        o.SelectedPage = c.page;
        o.Selection = c.selection;
        o.PrepareShow(&o);
        EXPECT_EQ(o.CSArea->Enabled.Get(), c.enabled) << c.page;
        EXPECT_EQ(o.CSArea->Checked.Get(), c.enabled) << c.page;
    }
    o.RAlcune->Click();
    EXPECT_TRUE(o.LPrese->Enabled);
    o.RTutte->Click();
    EXPECT_FALSE(o.LPrese->Enabled);
}

TEST_F(PrintOptionsTest, MappingToThePreviewDocuments) {
    TDatiStampa& o = options;
    struct Case {
        const char* what;
        std::function<void()> set;
        std::vector<int32_t> chosen;
    };
    auto clear = [&] {
        o.SelectChannelCalculationsOnly();
        for (TCheckBox* c :
             {o.CSArea, o.CMinMaxTesta, o.CMinMaxPrese, o.CSepPrese, o.CCanaliTesta, o.CCanaliPrese})
            c->Checked = false;
    };
    // clang-format off
    const Case cases[] = {
        {"cover", [&] { o.RCopSemplice->Checked = true; }, {pdCover}},
        {"declaration", [&] { o.CDichiarazione->Checked = true; }, {pdDeclaration}},
        {"schemes without a scheme box", [&] { o.CSchemi->Checked = true; }, {}},
        {"both schemes apart", [&] { o.CSchemi->Checked = o.CSRete->Checked = o.CSTesta->Checked = true; },
         {pdNetworkScheme, pdHeadEndScheme}},
        {"both schemes on one sheet",
         [&] { o.CSchemi->Checked = o.CSRete->Checked = o.CSTesta->Checked = o.CSStessoFoglio->Checked = true; },
         {pdNetworkScheme}},
        {"selected area", [&] { o.CSchemi->Checked = o.CSArea->Checked = true; }, {pdNetworkScheme}},
        {"lists joined", [&] { o.CMateriale->Checked = o.CMRete->Checked = o.CMTesta->Checked = o.CMUnite->Checked = true; },
         {pdNetworkList}},
        {"lists apart", [&] { o.CMateriale->Checked = o.CMRete->Checked = o.CMTesta->Checked = true; },
         {pdNetworkList, pdHeadEndList}},
        {"estimate and specification", [&] { o.CPreventivo->Checked = o.CCapitolato->Checked = true; },
         {pdEstimate, pdSpecification}},
        {"calculations without a table", [&] { o.CCalcoli->Checked = true; }, {}},
        {"calculations",
         [&] { o.CCalcoli->Checked = o.CMinMaxPrese->Checked = o.CSepPrese->Checked = o.CCanaliTesta->Checked = true; },
         {pdSignalLimits, pdSeparations, pdChannels}},
    };
    // clang-format on
    for (const Case& c : cases) {
        clear();
        o.RCopNessuna->Checked = true;
        c.set();
        std::vector<int32_t> chosen;
        for (int32_t d = 1; d <= PrintDocumentLast; ++d)
            if (o.Chosen(d)) chosen.push_back(d);
        EXPECT_EQ(chosen, c.chosen) << c.what;
    }
}

TEST_F(PrintOptionsTest, CopiesAndCalculationsOnly) {
    struct Case {
        const char* text;
        int32_t copies;
    };
    for (const Case c : {Case{"1", 1}, Case{"2", 2}, Case{"99", 99}, Case{"0", 1}, Case{"100", 1},
                         Case{"due", 1}, Case{"", 1}, Case{"-3", 1}}) {
        options.ECopie->Text = c.text;
        EXPECT_EQ(options.Copies(), c.copies) << c.text;
    }
    options.CPreventivo->Checked = options.CSRete->Checked = true;
    options.RCopSemplice->Checked = true;
    options.SelectChannelCalculationsOnly();
    EXPECT_FALSE(options.CPreventivo->Checked || options.CSRete->Checked || options.CMUnite->Checked);
    EXPECT_TRUE(options.RCopNessuna->Checked);
}

TEST_F(PrintOptionsTest, PreviewStepsThroughTheChainLearningPageCounts) {
    for (int n = 1; n <= 150; ++n) AddCell(project.NetworkGrid, 14, "P", n);
    options.SelectChannelCalculationsOnly();
    options.RCopSemplice->Checked = true;
    options.CMateriale->Checked = options.CMRete->Checked = true;
    options.CCapitolato->Checked = true;
    preview.Stampa = &stampa;
    preview.Options = &options;
    preview.StartPreview(&preview);
    EXPECT_EQ(preview.Caption.Get(), "Ordivex Varne - Anteprima");
    EXPECT_EQ(preview.WindowState.Get(), wsMaximized);
    EXPECT_EQ(preview.Next[0], pdCover);
    EXPECT_EQ(preview.Next[pdCover], pdNetworkList);
    EXPECT_EQ(preview.Next[pdNetworkList], pdSpecification);
    EXPECT_EQ(preview.Prev[pdSpecification], pdNetworkList);
    // The buttons where they belong.
    EXPECT_EQ(preview.BIndietro->Left.Get(), 8);
    EXPECT_EQ(preview.BAvanti->Left.Get(), 8 + 75 + 8);
    EXPECT_EQ(preview.BEsci->Left.Get(), preview.ClientWidth - 75 - 8);
    EXPECT_EQ(preview.BStampa->Left.Get(), preview.BEsci->Left - 8 - 75);
    // The cover, then the list: its count grows while stepping.
    EXPECT_EQ(preview.Document, pdCover);
    EXPECT_FALSE(preview.BIndietro->Enabled);
    EXPECT_TRUE(preview.BAvanti->Enabled);
    preview.NextClick(nullptr);
    EXPECT_EQ(preview.Document, pdNetworkList);
    EXPECT_EQ(preview.Counts[pdNetworkList], 2);
    preview.NextClick(nullptr);
    EXPECT_EQ(preview.Page, 2);
    EXPECT_EQ(preview.Counts[pdNetworkList], 3);
    preview.NextClick(nullptr);
    EXPECT_EQ(preview.Page, 3);
    EXPECT_EQ(preview.Counts[pdNetworkList], 3);
    preview.NextClick(nullptr);
    EXPECT_EQ(preview.Document, pdSpecification);
    EXPECT_FALSE(preview.BAvanti->Enabled);
    // Back from page 1 lands on the list's last counted page.
    preview.PreviousClick(nullptr);
    EXPECT_EQ(preview.Document, pdNetworkList);
    EXPECT_EQ(preview.Page, 3);
    EXPECT_TRUE(preview.BIndietro->Enabled && preview.BAvanti->Enabled);
    // The page shows in the image, centred across the window.
    EXPECT_GT(preview.Immagine->Width.Get(), 0);
    EXPECT_NEAR(preview.Immagine->Left.Get() * 2 + preview.Immagine->Width.Get(), preview.ClientWidth.Get(),
                2);
    EXPECT_EQ(preview.Immagine->Picture->Bitmap->Width.Get(), preview.Immagine->Width.Get());
}

TEST_F(PrintOptionsTest, PreviewOfOneOnePageDocumentOrNothing) {
    preview.Stampa = &stampa;
    preview.Options = &options;
    options.CCalcoli->Checked = options.CCanaliPrese->Checked = true;
    preview.StartPreview(&preview);
    EXPECT_EQ(preview.Next[0], pdChannels);
    EXPECT_EQ(preview.Prev[pdChannels], -1);
    EXPECT_FALSE(preview.BIndietro->Enabled || preview.BAvanti->Enabled);
    options.CCalcoli->Checked = false;
    preview.ModalResult = 0;
    preview.StartPreview(&preview);
    EXPECT_EQ(preview.ModalResult.Get(), mrOk);
}

TEST_F(PrintOptionsTest, CombinedPrintInOneJob) {
    pages = {"Rete", "Testa", "Preventivo"};
    for (int n = 1; n <= 3; ++n) AddCell(project.NetworkGrid, 14, "PRESA", n);
    project.EstimateOutOfDate = true;
    Application->Script().AnswerShowModal<TDatiStampa>([](TDatiStampa& o) {
        o.RCopPreventivo->Checked = true;
        o.CDichiarazione->Checked = true;
        o.CSchemi->Checked = o.CSRete->Checked = true;
        o.CMateriale->Checked = true;
        o.CPreventivo->Checked = true;
        o.ECopie->Text = "2";
        o.BStampa->Click();
    });
    Printer()->FileName = "Condominio Aurora - Preventivo";  // a single document printed before
    RunCombinedPrint(stampa, options, preview);
    ASSERT_EQ(Printer()->Documents().size(), 1u);
    const TPrintedDocument& doc = LastDocument();
    EXPECT_EQ(doc.Copies, 2);
    // Several documents go to a file under the project's own name.
    EXPECT_EQ(Printer()->FileName, "Condominio Aurora");
    ASSERT_EQ(doc.Pages.size(), 5u);
    EXPECT_NE(FindText(*doc.Pages[0], "PREVENTIVO DI SPESA"), nullptr);
    EXPECT_NE(FindText(*doc.Pages[1], "DICHIARAZIONE DI CONFORMITA' DELL'IMPIANTO ALLA REGOLA D'ARTE"),
              nullptr);
    EXPECT_NE(FindText(*doc.Pages[2], "Ordivex Varne - File Condominio Aurora"),
              nullptr);  // the scheme's frame
    EXPECT_NE(FindText(*doc.Pages[3], "Tipologia del materiale della rete e della testata"), nullptr);
    EXPECT_NE(FindText(*doc.Pages[4], "Preventivo di spesa"), nullptr);
}

TEST_F(PrintOptionsTest, NothingChosenSaysSoAndComesBack) {
    int shown = 0;
    Application->Script().AnswerShowModal<TDatiStampa>([&](TDatiStampa& o) {
        ++shown;
        o.BAnteprima->Click();
    });
    Application->Script().AnswerShowModal<TDatiStampa>([&](TDatiStampa& o) {
        ++shown;
        o.BAnnulla->Click();
    });
    RunCombinedPrint(stampa, options, preview);
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(ShownMessage(), "Nessun documento selezionato per la stampa.");
    EXPECT_TRUE(Printer()->Documents().empty());
}

// Whether a chosen document draws anything agrees with what printing it alone adds.
TEST_F(PrintOptionsTest, ADocumentDrawsWhatPrintingItAloneAdds) {
    TDatiStampa& o = options;
    struct Case {
        const char* what;
        std::function<void()> set;
        int32_t document;
        bool draws;
    };
    auto schemes = [&](TCheckBox* box) { o.CSchemi->Checked = box->Checked = true; };
    auto netCell = [&] { AddCell(project.NetworkGrid, 14, "P", 1); };
    auto headCell = [&] { AddCell(project.HeadEndGrid, 21, "A", 2); };
    auto area = [&](const char* page) {
        stampa.SelectedPage = [page] { return AnsiString(page); };
        stampa.DrawSelection = [] { return TCellRect{1, 1, 4, 4}; };
        o.CSchemi->Checked = o.CSArea->Checked = true;
    };
    // clang-format off
    const Case cases[] = {
        {"cover", [&] { o.RCopSemplice->Checked = true; }, pdCover, true},
        {"declaration", [&] { o.CDichiarazione->Checked = true; }, pdDeclaration, true},
        {"network scheme of an empty grid", [&] { schemes(o.CSRete); }, pdNetworkScheme, false},
        {"network scheme", [&] { netCell(); schemes(o.CSRete); }, pdNetworkScheme, true},
        {"head-end scheme of an empty grid", [&] { netCell(); schemes(o.CSTesta); }, pdHeadEndScheme, false},
        {"head-end scheme", [&] { headCell(); schemes(o.CSTesta); }, pdHeadEndScheme, true},
        {"selected area off the drawing pages", [&] { area("Preventivo"); }, pdNetworkScheme, false},
        {"selected area", [&] { area("Rete"); }, pdNetworkScheme, true},
        {"network list without its page", [&] { pages = {"Testa"}; o.CMateriale->Checked = o.CMRete->Checked = true; },
         pdNetworkList, false},
        {"network list", [&] { o.CMateriale->Checked = o.CMRete->Checked = true; }, pdNetworkList, true},
        {"estimate", [&] { o.CPreventivo->Checked = true; }, pdEstimate, true},
        {"separations", [&] { o.CCalcoli->Checked = o.CSepPrese->Checked = true; }, pdSeparations, true},
        {"mast report without data", [&] { o.CRelSostegno->Checked = true; }, pdMastReport, true},
        {"mast report", [&] { project.Mast->Sections[0].Diameter = 48; o.CRelSostegno->Checked = true; },
         pdMastReport, true},
        {"lightning report", [&] { o.CRelScariche->Checked = true; }, pdLightningReport, true},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        project.Reset(true);
        pages = {"Rete", "Testa", "Preventivo"};
        o.SelectChannelCalculationsOnly();
        o.CSArea->Checked = false;
        c.set();
        ASSERT_TRUE(o.Chosen(c.document));
        EXPECT_EQ(DocumentDraws(stampa, o, c.document), c.draws);
        const TPrintedDocument& doc = Job([&] { PrintOptionsDocument(stampa, o, c.document, 0); });
        bool drawn = false;
        for (const auto& page : doc.Pages) drawn = drawn || !page->Calls.empty();
        EXPECT_EQ(drawn, c.draws);
        EXPECT_EQ(PrintChosenDocuments(stampa, o), c.draws);
    }
}

// Chosen documents that all draw nothing are as good as none: the message,
// no job, and the options again.
TEST_F(PrintOptionsTest, ChosenDocumentsThatDrawNothingSaySo) {
    int shown = 0;
    for (TButton* TDatiStampa::*button : {&TDatiStampa::BStampa, &TDatiStampa::BAnteprima})
        Application->Script().AnswerShowModal<TDatiStampa>([&, button](TDatiStampa& o) {
            ++shown;
            o.CSchemi->Checked = o.CSRete->Checked = o.CSTesta->Checked = true;  // both grids empty
            o.CMateriale->Checked = false;
            (o.*button)->Click();
        });
    Application->Script().AnswerShowModal<TDatiStampa>([&](TDatiStampa& o) {
        ++shown;
        o.BAnnulla->Click();
    });
    RunCombinedPrint(stampa, options, preview);
    EXPECT_EQ(shown, 3);
    const auto& boxes = Application->Script().MessageBoxes;
    ASSERT_EQ(boxes.size(), 2u);
    for (const auto& box : boxes) EXPECT_EQ(box.Text, "Nessun documento selezionato per la stampa.");
    EXPECT_TRUE(Printer()->Documents().empty());
}

// A page's texts in their order, each with where it starts.
using PlacedTexts = std::vector<std::pair<AnsiString, TPoint>>;
PlacedTexts Texts(const std::vector<TPaintCall>& calls, size_t from = 0) {
    PlacedTexts texts;
    for (size_t i = from; i < calls.size(); ++i)
        if (calls[i].Op == TPaintOp::Text) texts.push_back({calls[i].Text, calls[i].Points[0]});
    return texts;
}

// The preview's page: what was drawn after the last clearing of the whole
// bitmap (a producer lays out the pages before the one shown, each cleared).
PlacedTexts PreviewTexts(const TRecordingEngine& recorder) {
    size_t from = 0;
    const TRect whole = recorder.DeviceRect();
    for (size_t i = 0; i < recorder.Calls.size(); ++i)
        if (recorder.Calls[i].Op == TPaintOp::FillRect && recorder.Calls[i].Rect == whole) from = i;
    return Texts(recorder.Calls, from);
}

// The printed page's texts where the preview shows them: the page scaled onto the bitmap.
PlacedTexts ScaledTexts(const TRecordingEngine& page, const TBitmap& bitmap) {
    TScalingEngine scale;
    scale.Attach(nullptr, TSize{bitmap.Width, bitmap.Height}, page.DeviceRect(), nullptr);
    PlacedTexts texts = Texts(page.Calls);
    for (auto& [text, at] : texts) at = scale.Map(at);
    return texts;
}

// Each preview page holds the texts of the printed page, in their order, each
// where the printed page has it scaled into the bitmap, and a document has as
// many pages in the preview as on paper, whatever the window's size: the
// preview lays out and breaks its pages as the printer does.
TEST_F(PrintOptionsTest, PreviewPagesHoldThePrintedPagesTexts) {
    // Rows of one, two and three lines, so that a page holds a number of
    // rows that depends on every line measured.
    for (int n = 1; n <= 150; ++n) {
        TCella* c = AddCell(project.NetworkGrid, 14, "P" + IntToStr(n), n);
        c->Article = "Presa " + IntToStr(n);
        c->Brand = "Telvano";
        c->Description =
            n % 3 == 0 ? AnsiString("Presa TV/SAT passante")
            : n % 3 == 1
                ? AnsiString(
                      "Presa terminale TV/SAT a due uscite con attenuazione di derivazione "
                      "di quattordici decibel, per montaggio in scatola da incasso")
                : AnsiString("Presa terminale per scatola tonda con coperchio e schermatura in classe A");
        c->Price = 4.5f + n;
        c->Currency = CurrencyEuro;
        if (n % 4 == 0) c->Notes = "Vano scala, piano " + IntToStr(n / 4);
    }
    AddCell(project.HeadEndGrid, 21, "AMP", 151);
    project.EstimateOutOfDate = true;
    pages = {"Rete", "Testa", "Preventivo"};
    TwoTapLine line;
    ASSERT_TRUE(line.Analyse());
    TDatiStampa& o = options;
    struct Case {
        const char* what;
        std::function<void()> set;
        int32_t document;
        size_t pages;  // at least
    };
    // clang-format off
    const Case cases[] = {
        {"declaration",
         [&] {
             o.CDichiarazione->Checked = true;
             o.CNorme[dn12_43]->Checked = o.CAllegati[daProject]->Checked = true;
             o.EAltre->Text = "EN 50083";
         },
         pdDeclaration, 1},
        {"network and head-end scheme on one sheet",
         [&] { o.CSchemi->Checked = o.CSRete->Checked = o.CSTesta->Checked = o.CSStessoFoglio->Checked = true; },
         pdNetworkScheme, 1},
        {"signal limits",
         [&] {
             stampa.Project = &line.project;
             o.CCalcoli->Checked = o.CMinMaxTesta->Checked = o.CMinMaxPrese->Checked = true;
             o.RTutte->Checked = true;
         },
         pdSignalLimits, 1},
        {"network and head-end material list",
         [&] { o.CMateriale->Checked = o.CMRete->Checked = o.CMTesta->Checked = o.CMUnite->Checked = true; },
         pdNetworkList, 3},
        {"compressed network list",
         [&] { o.CMateriale->Checked = o.CMRete->Checked = o.CCompresso->Checked = true; }, pdNetworkList, 3},
        {"estimate", [&] { o.CPreventivo->Checked = true; }, pdEstimate, 3},
        {"tender specification", [&] { o.CCapitolato->Checked = true; }, pdSpecification, 3},
    };
    // clang-format on
    BitmapRecorder recorder(*preview.Immagine->Picture->Bitmap);
    preview.Immagine->Picture->Bitmap->Canvas->SetEngine(&recorder);
    preview.Stampa = &stampa;
    preview.Options = &o;
    const TSize windows[] = {{800, 600}, {1024, 740}, {1280, 1000}, {1920, 1040}};
    for (const auto& [window, c] : [&] {
             std::vector<std::pair<TSize, const Case*>> runs;
             for (const TSize w : windows)
                 for (const Case& k : cases) runs.push_back({w, &k});
             return runs;
         }()) {
        SCOPED_TRACE(c->what);
        SCOPED_TRACE(window.cx);
        preview.ClientWidth = window.cx;
        preview.ClientHeight = window.cy;
        stampa.Project = &project;
        o.SelectChannelCalculationsOnly();
        o.CCompresso->Checked = false;
        c->set();
        Printer()->ClearDocuments();
        ASSERT_TRUE(PrintChosenDocuments(stampa, o));
        const TPrintedDocument& printed = LastDocument();
        EXPECT_GE(printed.Pages.size(), c->pages);
        std::vector<PlacedTexts> previewed;
        recorder.Clear();
        preview.StartPreview(&preview);
        ASSERT_EQ(preview.Document, c->document);
        previewed.push_back(PreviewTexts(recorder));
        while (preview.BAvanti->Enabled) {
            recorder.Clear();
            preview.NextClick(nullptr);
            previewed.push_back(PreviewTexts(recorder));
        }
        ASSERT_EQ(previewed.size(), printed.Pages.size());
        for (size_t page = 0; page < previewed.size(); ++page) {
            EXPECT_FALSE(previewed[page].empty()) << page;
            EXPECT_EQ(previewed[page], ScaledTexts(*printed.Pages[page], *preview.Immagine->Picture->Bitmap))
                << "page " << page + 1;
        }
    }
    preview.Immagine->Picture->Bitmap->Canvas->SetEngine(nullptr);
}

TEST_F(PrintOptionsTest, WithNoPrinterChosenTheComboNamesTheDefaultOne) {
    TPrinterDevice office = A4Device(600);
    office.Name = "Ufficio";
    Printer()->SetDevices({office, A4Device(600)});
    ASSERT_EQ(Printer()->PrinterIndex(), -1);
    options.PrepareShow(nullptr);
    EXPECT_EQ(options.CBStampante->ItemIndex.Get(), 0);
    EXPECT_EQ(options.CBStampante->Text.Get(), "Ufficio");
}

TEST_F(PrintOptionsTest, PrinterSetupRefillsThePrinterListAndChoosesThePrinter) {
    TPrinterDevice office = A4Device(600);
    office.Name = "Ufficio";
    Printer()->SetDevices({A4Device(600), office});
    Printer()->SetPrinterIndex(1);
    Application->Script().AnswerPrintDialog(true);
    options.BImposta->Click();
    ASSERT_EQ(options.CBStampante->Items->Count(), 2);
    EXPECT_EQ(options.CBStampante->Items->Strings(1), "Ufficio");
    EXPECT_EQ(options.CBStampante->ItemIndex.Get(), 1);
    options.CBStampante->ItemIndex = 0;
    options.PrinterChange(options.CBStampante);
    EXPECT_EQ(Printer()->PrinterIndex(), 0);
}

}  // namespace
