// The printed documents through Qt's print dialog to PDF files: lists,
// estimate, tender specification and the four covers; the same list page in
// the preview bitmap. The PDFs and PNGs stay in the build folder to be looked at.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <string>

#include "app/estimate_page.h"
#include "cells/cables.h"
#include "core/options.h"
#include "document/estimate.h"
#include "group_layout.h"
#include "pdf_files.h"
#include "platform/dialogs.h"
#include "platform/qt/qt_backend_impl.h"
#include "platform/qt/qt_paint.h"
#include "platform/qt/qt_printer.h"
#include "printing/preview.h"
#include "printing/print_options.h"
#include "qt_test_support.h"
#include "support/print_fixture.h"

namespace {

using qttest::PdfPages;
using qttest::PdfText;
using qttest::Render;
using qttest::WordsAtTheEdge;

ovqt::TQtPrinterPeer* PrinterPeer() {
    auto* backend = dynamic_cast<ovqt::TQtBackend*>(Application->Backend());
    return backend ? backend->PrinterPeer() : nullptr;
}

class QtPrintDocumentsTest : public PrintProjectTest {
protected:
    QtPrintDocumentsTest() {
        stampa.EstimatePage = &estimatePage;
        estimatePage.SetProject(&project);
        stampa.Letterhead = [] {
            TLetterhead l;
            l.Firm = "Impianti Bianchi S.r.l.";
            l.Street = "Via Po 3";
            l.Town = "14100 Asti";
            l.Telephone = "0141 123456";
            l.Fax = "0141 654321";
            l.Postcode = "14100";
            l.Municipality = "Asti";
            l.Province = "AT";
            l.ChamberProvince = l.CraftProvince = "Asti";
            l.ChamberNumber = "12345";
            l.CraftNumber = "6789";
            l.VatNumber = "01234567890";
            return l;
        };
        project.HeaderTexts[7] = "Corso Francia";
        project.HeaderTexts[8] = "120";
        project.HeaderTexts[9] = "B";
        project.HeaderTexts[12] = "10143";
        project.HeaderTexts[13] = "Torino";
        project.HeaderTexts[14] = "TO";
        project.HeaderTexts[HeaderDesigner] = "Ing. Paola Neri";
        project.HeaderTexts[22] =
            "Rifacimento dell'impianto centralizzato di ricezione terrestre e satellitare "
            "con distribuzione su quattro piani e dodici appartamenti, prese a due uscite";
        project.HeaderTexts[HeaderNotes] =
            "Il collaudo sarà eseguito a fine lavori con misura dei livelli a tutte le prese.";
        int number = 1;
        auto add = [&](TGridData* grid, int32_t kind, const char* code, const char* article,
                       const char* description, float price, int count) {
            for (int i = 0; i < count; ++i) {
                TCella* c = AddCell(grid, kind, code, number++);
                c->Article = article;
                c->Brand = "Telvano";
                c->Description = description;
                c->Price = price;
                c->Currency = CurrencyEuro;
                if (i == 0) c->Notes = "Vano scala";
            }
        };
        add(project.NetworkGrid, 14, "PR-2U^1", "Presa 2 uscite", "Presa TV/SAT passante", 6.4f, 48);
        add(project.NetworkGrid, 6, "DR-410", "Derivatore 4 vie", "Derivatore 10 dB", 14.9f, 12);
        add(project.NetworkGrid, 3, "PD-2", "Partitore 2 vie", "Partitore induttivo", 9.2f, 2);
        add(project.HeadEndGrid, 21, "AMP-35", "Amplificatore", "Amplificatore da palo 35 dB", 88.0f, 1);
        add(project.HeadEndGrid, 38, "ANT-UHF", "Antenna UHF", "Antenna logaritmica 21-69", 42.5f, 2);
        for (int i = 0; i < 5; ++i) {
            auto cableOwned = std::make_unique<TNCavo>(project.NetworkGrid, 0, 0, 72, 2 + 2 * i, 0, 0);
            auto* cable = cableOwned.get();
            cable->SetLength(12.5f + i);
            cable->SetRunHead(true);
            cable->SequenceNumber = i + 1;
            cable->Code = "CX-17";
            cable->Article = "Cavo coassiale";
            cable->Description = "Cavo 5 mm classe A";
            cable->Price = 0.8f;
            cable->Currency = CurrencyEuro;
            EXPECT_TRUE(project.NetworkGrid->InsertCell(std::move(cableOwned), false, 0));
            Chain(project.NetworkGrid, cable);
        }
        project.EstimateOutOfDate = true;
        Printer()->SetPrinterIndex(Printer()->Printers->IndexOf(ovqt::PdfDeviceName));
        Printer()->Orientation = poPortrait;
    }
    ~QtPrintDocumentsTest() override { Printer()->SetPrinterIndex(-1); }

    // Runs a print command, answering Qt's print dialog with the PDF device and file.
    void PrintThroughDialog(const std::string& file, void (TStampa::*command)(TPrintDialog*)) {
        DeleteFile(file);
        qttest::AnswerPrintDialogWithPdf(file);
        TPrintDialog d(nullptr);
        (stampa.*command)(&d);
        ASSERT_TRUE(FileExists(file)) << file;
        Render(file);
        EXPECT_EQ(WordsAtTheEdge(file), "") << file;
    }
    // The chosen documents printed in one job to a PDF file, rendered to be
    // looked at; the file's page count.
    int PrintChosenToPdf(const TDatiStampa& options, const std::string& file) {
        DeleteFile(file);
        EXPECT_NE(PrinterPeer(), nullptr);
        if (!PrinterPeer()) return -1;
        PrinterPeer()->SetPdfFile(QString::fromStdString(file));
        EXPECT_TRUE(PrintChosenDocuments(stampa, options));
        Render(file);
        return PdfPages(file);
    }
    TPaginaPreventivo estimatePage{nullptr};
};

TEST_F(QtPrintDocumentsTest, ListsEstimateAndSpecificationToPdf) {
    const std::string network = qttest::Artefact("print-list-network.pdf");
    PrintThroughDialog(network, &TStampa::PrintNetworkListCommand);
    EXPECT_EQ(PdfPages(network), 2);  // 48 outlets, 12 taps, 2 splitters, 5 cables
    const std::string page1 = PdfText(network, 1), page2 = PdfText(network, 2);
    EXPECT_NE(page1.find("Tipologia del materiale della rete"), std::string::npos) << page1;
    EXPECT_NE(page1.find("Committente: Rossi Mario - Via Roma 1 - Torino"), std::string::npos) << page1;
    EXPECT_NE(page1.find("Ordivex Varne - File Condominio Aurora"), std::string::npos) << page1;
    EXPECT_NE(page1.find("Pagina 1"), std::string::npos) << page1;
    EXPECT_NE(page2.find("Pagina 2"), std::string::npos) << page2;
    EXPECT_NE(page2.find("12,50"), std::string::npos) << page2;
    EXPECT_EQ(page2.find("Amplificatore"), std::string::npos) << page2;

    const std::string headEnd = qttest::Artefact("print-list-head-end.pdf");
    PrintThroughDialog(headEnd, &TStampa::PrintHeadEndListCommand);
    EXPECT_EQ(PdfPages(headEnd), 1);
    const std::string head = PdfText(headEnd);
    EXPECT_NE(head.find("Tipologia del materiale della testata"), std::string::npos) << head;
    EXPECT_NE(head.find("Amplificatore da palo 35 dB"), std::string::npos) << head;

    const std::string estimate = qttest::Artefact("print-estimate.pdf");
    PrintThroughDialog(estimate, &TStampa::PrintEstimateCommand);
    EXPECT_EQ(PdfPages(estimate), 1);
    const std::string e = PdfText(estimate);
    EXPECT_NE(e.find("Preventivo di spesa"), std::string::npos) << e;
    EXPECT_NE(e.find("Prezzo T."), std::string::npos) << e;
    EXPECT_NE(e.find("Totale:"), std::string::npos) << e;
    // The printed total is the page's.
    AnsiString total = estimatePage.Totale->Text;
    total.erase(0, total.find_first_not_of(' '));
    EXPECT_NE(e.find("Totale: " + total), std::string::npos) << e << "\n" << total;

    const std::string spec = qttest::Artefact("print-specification.pdf");
    PrintThroughDialog(spec, &TStampa::PrintSpecificationCommand);
    const std::string s = PdfText(spec);
    EXPECT_NE(s.find("Capitolato"), std::string::npos) << s;
    EXPECT_EQ(s.find("Totale:"), std::string::npos) << s;
    EXPECT_EQ(s.find("Prezzo"), std::string::npos) << s;
}

TEST_F(QtPrintDocumentsTest, FourCoversAndTheDeclarationInOneJob) {
    const std::string file = qttest::Artefact("print-covers.pdf");
    DeleteFile(file);
    ASSERT_NE(PrinterPeer(), nullptr);
    PrinterPeer()->SetPdfFile(QString::fromStdString(file));
    Printer()->Title = PrintJobTitle;
    Printer()->BeginDoc();
    PrintPage.NewJob = 1;
    for (int32_t kind = 0; kind < 4; ++kind) EXPECT_EQ(stampa.PrintCoverPage(kind, 0), 0);
    TDeclarationChoices choices;
    choices.Norms[dn12_43] = choices.Norms[dn81_1] = true;
    choices.Attachments[daProject] = choices.Attachments[daScheme] = true;
    EXPECT_EQ(stampa.PrintDeclaration(choices, 0), 0);
    Printer()->EndDoc();
    Render(file);
    ASSERT_EQ(PdfPages(file), 5);
    EXPECT_EQ(WordsAtTheEdge(file), "");
    const std::string declaration = PdfText(file, 5);
    for (const char* text : {"DICHIARAZIONE DI CONFORMITA' DELL'IMPIANTO ALLA REGOLA D'ARTE",
                             "Art.7 - DM 22/01/2008, n. 37 (GU n. 61 del 12/03/2008)", "DICHIARA", "DECLINA",
                             "Il dichiarante", "Il responsabile tecnico", "Allegati:",
                             "copia del certificato di riconoscimento dei requisiti tecnico-professionali."})
        EXPECT_NE(declaration.find(text), std::string::npos) << text << "\n" << declaration;
    const std::string titles[4] = {"PREVENTIVO DI SPESA", "DOCUMENTAZIONE DI ESECUZIONE PROGETTO",
                                   "DICHIARAZIONE DI CONFORMITA' DELL'IMPIANTO D'ANTENNA TV", ""};
    for (int kind = 0; kind < 4; ++kind) {
        const std::string page = PdfText(file, kind + 1);
        SCOPED_TRACE(kind);
        for (int other = 0; other < 3; ++other)
            EXPECT_EQ(page.find(titles[other]) != std::string::npos, other == kind) << page;
        EXPECT_EQ(page.find("ART. 7 DM N.37 DEL GENNAIO 2008") != std::string::npos, kind == 2) << page;
        EXPECT_NE(page.find("Impianti Bianchi S.r.l."), std::string::npos) << page;
        EXPECT_NE(page.find("Via Po 3 - 14100 Asti - Tel. 0141 123456 - Fax 0141 654321"), std::string::npos)
            << page;
        EXPECT_NE(page.find("Corso Francia, N. 120, scala B"), std::string::npos) << page;
        EXPECT_NE(page.find("10143 Torino (TO)"), std::string::npos) << page;
        EXPECT_EQ(page.find("Progettista:") != std::string::npos, kind == 1 || kind == 3) << page;
        EXPECT_EQ(page.find("NOTE:") != std::string::npos, kind == 1 || kind == 3) << page;
    }
}

TEST_F(QtPrintDocumentsTest, PreviewBitmapShowsTheListPage) {
    TBitmap bitmap;
    TPreviewTarget preview(900, 1180, &bitmap);
    stampa.Preview = &preview;
    EXPECT_EQ(stampa.PrintComponentList(ListNetwork | ListHeadEnd, 1), 1);
    EXPECT_EQ(bitmap.Height.Get(), 1100);
    ovqt::WrapBitmap(bitmap).save(QString::fromStdString(qttest::Artefact("print-preview-list-1.png")));
    EXPECT_GT(qttest::Colours(ovqt::WrapBitmap(bitmap)), 1);
    EXPECT_EQ(stampa.PrintEstimate(true, 1), 0);
    ovqt::WrapBitmap(bitmap).save(QString::fromStdString(qttest::Artefact("print-preview-estimate.png")));
}

// The words of a page, sorted: pdftotext orders them by their place on the
// page, the preview by the order they are drawn in.
std::multiset<std::string> WordsOf(const std::string& text) {
    std::multiset<std::string> words;
    const char* const blanks = " \f";  // pdftotext ends a page with a form feed
    size_t at = 0;
    while ((at = text.find_first_not_of(blanks, at)) != std::string::npos) {
        const size_t end = text.find_first_of(blanks, at);
        words.insert(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end;
    }
    return words;
}

// The preview's page: what was drawn after the last clearing of the whole bitmap.
std::multiset<std::string> PreviewWords(const TRecordingEngine& recorder) {
    size_t from = 0;
    for (size_t i = 0; i < recorder.Calls.size(); ++i)
        if (recorder.Calls[i].Op == TPaintOp::FillRect && recorder.Calls[i].Rect == recorder.DeviceRect())
            from = i;
    std::string all;
    for (size_t i = from; i < recorder.Calls.size(); ++i)
        if (recorder.Calls[i].Op == TPaintOp::Text) all += " " + recorder.Calls[i].Text;
    return WordsOf(all);
}

// The preview measures text as Qt's printer does: a list, a compressed list
// whose rows take as many lines as their components need, and an estimate,
// each of several pages, break at the same rows in the preview as in the
// PDF, page by page.
TEST_F(QtPrintDocumentsTest, PreviewBreaksListAndEstimatePagesWhereThePdfDoes) {
    int32_t number = 200;
    for (int n = 1; n <= 150; ++n) {
        TCella* c = AddCell(project.NetworkGrid, 14, "EX-" + IntToStr(n), number++);
        c->Article = "Presa";
        c->Brand = "Telvano";
        c->Description = n % 2 ? "Presa terminale" : "Presa passante";
        c->Price = 3.0f + n;
        c->Currency = CurrencyEuro;
    }
    // Rows of the compressed list of one to seven lines of components.
    for (int n = 0; n < 400; ++n) AddCell(project.NetworkGrid, 3, "MX-" + IntToStr(n % 9), number++);
    // pdftotext reads texts that touch as one word: no article runs into the brand.
    for (TCella* c = project.NetworkGrid->Anchor->NextCell; c; c = c->NextCell)
        if (c->Article == "Derivatore 4 vie") c->Article = "Derivatore";
    project.EstimateOutOfDate = true;
    TDatiStampa options(nullptr);
    TFAnteprima preview(nullptr);
    preview.Stampa = &stampa;
    preview.Options = &options;
    preview.ClientWidth = 900;
    preview.ClientHeight = 700;
    TBitmap* bitmap = preview.Immagine->Picture->Bitmap;
    BitmapRecorder recorder(*bitmap);
    bitmap->Canvas->SetEngine(&recorder);
    struct Case {
        const char* file;
        std::function<void()> set;
    };
    // clang-format off
    const Case cases[] = {
        {"print-pages-list.pdf", [&] { options.CMateriale->Checked = options.CMRete->Checked = true; }},
        {"print-pages-compressed.pdf",
         [&] { options.CMateriale->Checked = options.CMRete->Checked = options.CCompresso->Checked = true; }},
        {"print-pages-estimate.pdf", [&] { options.CPreventivo->Checked = true; }},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        options.SelectChannelCalculationsOnly();
        options.CCompresso->Checked = false;
        c.set();
        const std::string file = qttest::Artefact(c.file);
        const int pages = PrintChosenToPdf(options, file);
        EXPECT_GE(pages, 3);
        std::vector<std::multiset<std::string>> previewed;
        recorder.Clear();
        preview.StartPreview(&preview);
        previewed.push_back(PreviewWords(recorder));
        while (preview.BAvanti->Enabled) {
            recorder.Clear();
            preview.NextClick(nullptr);
            previewed.push_back(PreviewWords(recorder));
        }
        ASSERT_EQ(static_cast<int>(previewed.size()), pages);
        for (int page = 0; page < pages; ++page) {
            const std::multiset<std::string> printed = WordsOf(PdfText(file, page + 1));
            std::vector<std::string> onlyPreviewed, onlyPrinted;
            std::set_difference(previewed[page].begin(), previewed[page].end(), printed.begin(),
                                printed.end(), std::back_inserter(onlyPreviewed));
            std::set_difference(printed.begin(), printed.end(), previewed[page].begin(),
                                previewed[page].end(), std::back_inserter(onlyPrinted));
            EXPECT_EQ(onlyPreviewed, std::vector<std::string>{}) << "page " << page + 1;
            EXPECT_EQ(onlyPrinted, std::vector<std::string>{}) << "page " << page + 1;
        }
    }
    bitmap->Canvas->SetEngine(nullptr);
}

QImage Grab(TControl* c) {
    QWidget* w = qttest::WindowOf(c);
    return w ? w->grab().toImage() : QImage();
}

TEST_F(QtPrintDocumentsTest, OptionsFormTabsPreviewAndCombinedPrint) {
    TDatiStampa options(nullptr);
    TFAnteprima preview(nullptr);
    options.Show();
    const char* names[] = {"schemi", "calcoli", "dichiarazione", "materiale", "sostegno"};
    for (int i = 0; i < options.Pagine->PageCount(); ++i) {
        options.Pagine->ActivePage = options.Pagine->Page(i);
        qttest::Settle();
        const QImage shot = Grab(&options);
        ASSERT_FALSE(shot.isNull());
        EXPECT_TRUE(shot.save(
            QString::fromStdString(qttest::Artefact(std::string("print-options-") + names[i] + ".png"))));
        qttest::ExpectGroupContentsBelowCaptions(&options);
    }
    options.Hide();

    // The preview, maximised, on a list of three pages.
    for (int n = 0; n < 120; ++n) AddCell(project.NetworkGrid, 14, "PR-EXTRA", 500 + n);
    options.SelectChannelCalculationsOnly();
    options.RCopEsecuzione->Checked = true;
    options.CMateriale->Checked = options.CMRete->Checked = true;
    options.CPreventivo->Checked = true;
    options.CDichiarazione->Checked = true;
    preview.Stampa = &stampa;
    preview.Options = &options;
    preview.Show();
    qttest::Settle();
    EXPECT_EQ(preview.Document, pdCover);
    QTest::mouseClick(qttest::WindowOf(preview.BAvanti), Qt::LeftButton);
    QTest::mouseClick(qttest::WindowOf(preview.BAvanti), Qt::LeftButton);
    qttest::Settle();
    EXPECT_EQ(preview.Document, pdNetworkList);
    EXPECT_EQ(preview.Page, 1);
    EXPECT_EQ(preview.Counts[pdNetworkList], 2);
    const QImage page = Grab(&preview);
    EXPECT_TRUE(page.save(QString::fromStdString(qttest::Artefact("print-preview-window.png"))));
    preview.Hide();

    // The same documents in one job to one PDF.
    const std::string file = qttest::Artefact("print-combined.pdf");
    const int pages = PrintChosenToPdf(options, file);
    EXPECT_GE(pages, 6);
    EXPECT_NE(PdfText(file, 1).find("DOCUMENTAZIONE DI ESECUZIONE PROGETTO"), std::string::npos);
    EXPECT_NE(PdfText(file, 2).find("DICHIARAZIONE DI CONFORMITA' DELL'IMPIANTO ALLA REGOLA D'ARTE"),
              std::string::npos);
    EXPECT_NE(PdfText(file, 3).find("Tipologia del materiale della rete"), std::string::npos);
    EXPECT_NE(PdfText(file, pages).find("Preventivo di spesa"), std::string::npos) << PdfText(file, pages);
}

}  // namespace
