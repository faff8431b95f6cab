// Every printed document of a building the wizard designs on the default
// library, printed as the program prints it: the print items through Qt's
// print dialog and the combined print, to PDF files. Every page stays inside
// the sheet and carries what its document lists, the tables show the figures
// of "Calcoli rete" and of the estimate page, and no text of a table row runs
// over the next one. The PDFs and their rendered pages stay in the build
// folder to be looked at.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/estimate_page.h"
#include "app/main_form.h"
#include "app/program.h"
#include "autodesign/wizard.h"
#include "core/globals.h"
#include "dialogs/installer_data.h"
#include "document/design_settings.h"
#include "document/grid.h"
#include "document/project.h"
#include "document/report_pages.h"
#include "platform/comctrls.h"
#include "platform/qt/qt_backend_impl.h"
#include "platform/qt/qt_printer.h"
#include "printing/calc_print_options.h"
#include "printing/documents.h"
#include "printing/preview.h"
#include "printing/print_options.h"
#include "qt/designed_project.h"
#include "qt/pdf_files.h"
#include "qt/qt_test_support.h"
#include "support/default_library_folder.h"
#include "support/design_components.h"
#include "support/program_fixture.h"
#include "view/draw_window.h"

namespace {

using namespace qttest;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The rows of a list or estimate (lines that begin with one of the codes)
// whose brand does not stand as a word of its own.
std::string RowsWithoutBrand(const std::string& file, const std::vector<std::string>& codes) {
    std::string found;
    for (const std::string& line : Lines(Shell("pdftotext -layout '" + file + "' - 2>&1"))) {
        const std::string row = Collapsed(line);
        const size_t first = row.find_first_not_of(' ');
        if (first == std::string::npos) continue;
        for (const std::string& code : codes)
            if (row.compare(first, code.size() + 1, code + " ") == 0 &&
                (" " + row + " ").find(" Generico ") == std::string::npos)
                found += row + "\n";
    }
    return found;
}

class QtPrintDesign : public ::testing::Test {
protected:
    void SetUp() override {
        // Four floors, the head end 10 m above the first.
        form = StartDesigned(program, 4, 10);
        project = form->CurrentProject;
        project->Name = program.Dir().File("Condominio Aurora.ant");
        project->HeaderTexts[0] = "Rossi Mario";
        project->HeaderTexts[1] = "Via Roma 1";
        project->HeaderTexts[2] = "10100 Torino";
    }
    std::string PrintItem(TMenuItem* item, const char* name) { return PrintItemToPdf(form, item, name); }
    // The short codes of a grid's cells.
    static std::vector<std::string> ShortCodes(const TGridData* grid) {
        std::vector<std::string> codes;
        for (TCella* c = grid->Anchor->NextCell; c; c = c->NextCell)
            if (c->GetShortCode() != "*")
                codes.push_back(c->GetShortCode());  // not the cells without category
        return codes;
    }

    ScopedProgram program;
    TAntenne* form = nullptr;
    TProgetto* project = nullptr;
};

TEST_F(QtPrintDesign, PrintItemsOfTheDesignedBuilding) {
    ASSERT_EQ(Application->Script().MessageBoxes.size(), 0u);
    int outlets = 0;
    for (TCella* o = project->NetworkGrid->FirstOutlet; o; o = o->NextOutlet) ++outlets;
    ASSERT_EQ(outlets, 16);

    // Schemes: one page each, boxed, without page number, every cell labelled.
    const std::string network = PrintItem(form->SRete, "design-network-scheme.pdf");
    EXPECT_EQ(PdfPages(network), 1);
    const std::string n = PdfText(network);
    for (const char* text : {"Committente: Rossi Mario - Via Roma 1 - 10100 Torino",
                             "Ordivex Varne - File Condominio Aurora", " P1 ", " P16 ", " S4 "})
        EXPECT_NE(n.find(text), std::string::npos) << text << "\n" << n;
    EXPECT_EQ(n.find("Pagina"), std::string::npos);
    const std::string headEnd = PrintItem(form->STesta, "design-head-end-scheme.pdf");
    EXPECT_EQ(PdfPages(headEnd), 1);
    for (const char* text : {" An1 ", " An2 ", " Pa1 ", " Sa1 "})
        EXPECT_NE(PdfText(headEnd).find(text), std::string::npos) << text;

    // The first floor selected on "Rete": only its cells, on a page of its own.
    TGridRect floor{1 << 20, 1 << 20, -1, -1};
    for (TCella* c = project->NetworkGrid->Anchor->NextCell; c; c = c->NextCell)
        if (c->GetShortCode() == "S1" || c->GetShortCode() == "P1" || c->GetShortCode() == "P4") {
            floor.Left = std::min(floor.Left, c->Column);
            floor.Top = std::min(floor.Top, c->Row);
            floor.Right = std::max(floor.Right, c->Column);
            floor.Bottom = std::max(floor.Bottom, c->Row);
        }
    ASSERT_LT(floor.Left, floor.Right);
    ASSERT_LT(floor.Top, floor.Bottom);
    ASSERT_EQ(form->SelectedPage(), "Rete");
    form->DrawWindow->Selection = floor;
    const std::string area = PrintItem(form->SArea, "design-selected-area.pdf");
    EXPECT_EQ(PdfPages(area), 1);
    const std::string a = PdfText(area);
    for (const char* text : {" P1 ", " P4 ", " S1 "})
        EXPECT_NE(a.find(text), std::string::npos) << text << "\n" << a;
    for (const char* text : {" P16 ", " S4 ", " A1 "})
        EXPECT_EQ(a.find(text), std::string::npos) << text << "\n" << a;

    // Lists: each cell once, each row with its brand standing apart.
    const struct {
        TMenuItem* item;
        const char* file;
        const TGridData* grid;
        const char* title;
    } lists[] = {
        {form->SElencoRete, "design-network-list.pdf", project->NetworkGrid,
         "Tipologia del materiale della rete"},
        {form->SElenco, "design-head-end-list.pdf", project->HeadEndGrid,
         "Tipologia del materiale della testata"},
    };
    for (const auto& l : lists) {
        SCOPED_TRACE(l.file);
        const std::string file = PrintItem(l.item, l.file);
        const std::string text = PdfText(file);
        EXPECT_NE(PdfText(file, 1).find(l.title), std::string::npos);
        EXPECT_NE(PdfText(file, PdfPages(file)).find("Pagina " + std::to_string(PdfPages(file))),
                  std::string::npos);
        for (const std::string& code : ShortCodes(l.grid))
            if (code[0] != 'C' && code[0] != 'K')  // cables and bridges: their own rows below
                EXPECT_NE(text.find(" " + code + " "), std::string::npos) << code;
        EXPECT_EQ(RowsWithoutBrand(file, ShortCodes(l.grid)), "");
    }

    // Estimate and tender specification: the page's rows and total.
    const std::string estimate = PrintItem(form->SPreventivo, "design-estimate.pdf");
    std::vector<std::string> codes;  // the command rebuilt the page's rows
    TStringGrid* grid = form->EstimatePage->GridPreventivo;
    for (int r = 1; r + 1 < grid->RowCount.Get(); ++r) codes.push_back(grid->Cells[0][r]);
    ASSERT_GT(codes.size(), 10u);
    const std::string e = PdfText(estimate);
    AnsiString total = form->EstimatePage->Totale->Text;
    total.erase(0, total.find_first_not_of(' '));
    EXPECT_NE(e.find("Totale: " + total), std::string::npos) << e << "\n" << total;
    codes.erase(std::remove(codes.begin(), codes.end(), "MANOP"), codes.end());  // labour has no brand
    EXPECT_EQ(RowsWithoutBrand(estimate, codes), "");
    const std::string specification = PrintItem(form->SCapitolato, "design-specification.pdf");
    EXPECT_NE(PdfText(specification).find("Capitolato"), std::string::npos);
    EXPECT_EQ(PdfText(specification).find("Prezzo"), std::string::npos);
    EXPECT_EQ(RowsWithoutBrand(specification, codes), "");

    // Calculations: the head-end windows and the outlets' levels as
    // "Calcoli rete" shows them, the separations of every two outlets, the
    // channels of every outlet.
    const std::string tables = Artefact("design-calculations.pdf");
    DeleteFile(tables);
    TInfoStampaCalcoli* calc = form->Printing().CalculationsForm;
    qttest::WhenInFront(calc, [&] {
        for (TCheckBox* box : {calc->CMinMaxTesta, calc->CMinMaxPrese, calc->CSepPrese, calc->CCanaliTesta,
                               calc->CCanaliPrese})
            box->Checked = box->Enabled.Get();
        AnswerPrintDialogWithPdf(tables);
        QTest::mouseClick(WindowOf(calc->BOk), Qt::LeftButton);
    });
    form->Stampa2->Click();
    form->SCalcoli->Click();
    ASSERT_TRUE(FileExists(tables));
    Render(tables);
    EXPECT_EQ(WordsAtTheEdge(tables), "");
    const std::string t = PdfText(tables);
    TCalculationRun run;
    run.Project = project;
    TRichEdit report(nullptr);
    ASSERT_TRUE(ReportNetwork(run, &report));
    std::string label;
    int compared = 0;
    for (int i = 0; i < report.Lines->Count(); ++i) {
        const std::string line = report.Lines->Strings(i);
        // "Uscita k" names the terminal's rows "Minimo" and "Massimo"; "Presa Pn" and the row under it.
        std::string fields = Collapsed(line);
        if (line.rfind("Uscita ", 0) == 0) {
            label = Collapsed(line);
            label.erase(label.find_last_not_of(' ') + 1);
            continue;
        }
        if (line.rfind("Minimo", 0) == 0 && !label.empty()) {
            EXPECT_NE(t.find(label + " " + fields.substr(fields.find(' ') + 1)), std::string::npos) << line;
            ++compared;
        } else if (line.rfind("Presa P", 0) == 0) {
            EXPECT_NE(t.find(" " + fields.substr(6)), std::string::npos) << line;
            ++compared;
        }
    }
    EXPECT_EQ(compared, 5 + outlets);
    EXPECT_NE(t.find("P16 - P15 "), std::string::npos);
    for (const char* title :
         {"Separazioni tra le prese [dB]",
          "Canali in uscita dal terminale di testa e dalle prese con relativi segnali e rumori"})
        EXPECT_NE(t.find(title), std::string::npos) << title;
}

TEST_F(QtPrintDesign, CombinedPrintAndPreviewOfEveryDocument) {
    DatiIntestazione->EDitta->Text = "Impianti Bianchi S.r.l.";
    DatiIntestazione->EVia->Text = "Via Po 3";
    DatiIntestazione->ECitta->Text = "14100 Asti";
    DatiIntestazione->ETelefono->Text = "0141 123456";
    DatiIntestazione->ECap->Text = "14100";
    DatiIntestazione->EComune->Text = "Asti";
    DatiIntestazione->EProvincia->Text = "AT";
    DatiIntestazione->EPIva->Text = "01234567890";
    project->HeaderTexts[7] = "Corso Francia";
    project->HeaderTexts[8] = "120";
    project->HeaderTexts[12] = "10143";
    project->HeaderTexts[13] = "Torino";
    project->HeaderTexts[14] = "TO";
    project->HeaderTexts[15] = "Condominio Aurora";
    project->HeaderTexts[HeaderDesigner - 1] = "Luca Bianchi";
    project->HeaderTexts[HeaderDesigner] = "Ing. Paola Neri";
    // A description as long as an installer writes it: more lines than the
    // cover's box holds at 12 points.
    project->HeaderTexts[22] =
        "Impianto centralizzato di ricezione terrestre e satellitare su quattro piani, con antenne "
        "banda III e UHF su palo di 3 metri, parabola da 80 cm con LNB a quattro uscite, centralino "
        "modulare a filtri di canale nel sottotetto, distribuzione in cavo a basse perdite lungo il vano "
        "scala con multiswitch passanti ai piani, partitori negli appartamenti e due prese TV-SAT per "
        "appartamento; collaudo con misura dei livelli e del rapporto C/N a tutte le prese.";
    form->EstimatePage->Note[1]->Text = "Prezzi IVA esclusa";

    TDatiStampa options(nullptr);
    for (TCella* o = project->NetworkGrid->FirstOutlet; o; o = o->NextOutlet)
        options.LPrese->Items->Add(o->GetShortCode());
    options.RCopEsecuzione->Checked = true;
    options.RTutte->Checked = true;
    for (TCheckBox* c : {options.CDichiarazione, options.CSchemi, options.CMateriale, options.CPreventivo,
                         options.CCapitolato, options.CCalcoli, options.CSRete, options.CSTesta,
                         options.CSStessoFoglio, options.CMRete, options.CMTesta, options.CMUnite,
                         options.CCompresso, options.CMinMaxTesta, options.CMinMaxPrese, options.CSepPrese,
                         options.CCanaliPrese, options.CAttenuazioni, options.CLunghezze})
        c->Checked = true;
    const std::string file = Artefact("design-combined.pdf");
    ASSERT_TRUE(PrintChosenToPdfFile(form->Printing(), options, file));
    EXPECT_EQ(WordsAtTheEdge(file), "");

    // The documents in their order, each from a page of its own; no page
    // without rows.
    const char* const firsts[] = {
        "DOCUMENTAZIONE DI ESECUZIONE PROGETTO",
        "DICHIARAZIONE DI CONFORMITA' DELL'IMPIANTO ALLA REGOLA D'ARTE",
        " Sa1 ",
        "Tipologia del materiale della rete e della testata",
        "Preventivo di spesa",
        "Capitolato",
        "Segnali minimi e massimi ammessi all'uscita del terminale di testa e ottenibili alle prese [dB]",
        "Separazioni tra le prese [dB]",
        "Canali in uscita dalle prese con relativi segnali e rumori"};
    const int pages = PdfPages(file);
    int page = 1, estimatePage = 0;
    for (const char* first : firsts) {
        while (page <= pages && PdfText(file, page).find(first) == std::string::npos) ++page;
        EXPECT_LE(page, pages) << first;
        if (std::string(first) == "Preventivo di spesa") estimatePage = page;
    }
    for (int p = 1; p <= pages; ++p)
        EXPECT_GT(Lines(Shell("pdftotext -f " + std::to_string(p) + " -l " + std::to_string(p) + " '" + file +
                              "' - 2>&1"))
                      .size(),
                  12u)
            << "page " << p;
    const std::string estimate = PdfText(file, estimatePage);
    EXPECT_NE(estimate.find("Prezzi IVA esclusa"), std::string::npos) << estimate;
    EXPECT_NE(PdfText(file, 1).find("Progettista: Ing. Paola Neri"), std::string::npos);
    EXPECT_NE(PdfText(file, 1).find("rapporto C/N a tutte le prese. LOCAZIONE EDIFICIO:"), std::string::npos)
        << PdfText(file, 1);
    EXPECT_NE(
        PdfText(file, 2).find("Il sottoscritto Luca Bianchi, titolare e responsabile tecnico dell'impresa "
                              "Impianti Bianchi S.r.l."),
        std::string::npos)
        << PdfText(file, 2);

    // The preview steps through the same pages.
    TFAnteprima preview(nullptr);
    preview.Stampa = &form->Printing();
    preview.Options = &options;
    preview.Show();
    Settle();
    int previewed = 1;
    for (; preview.BAvanti->Enabled && previewed < 2 * pages; ++previewed) {
        if (previewed <= 5)
            WindowOf(&preview)->grab().toImage().save(
                QString::fromStdString(Artefact("design-preview-" + std::to_string(previewed) + ".png")));
        QTest::mouseClick(WindowOf(preview.BAvanti), Qt::LeftButton);
        Settle();
    }
    EXPECT_EQ(previewed, pages);
    preview.Hide();
}

}  // namespace
