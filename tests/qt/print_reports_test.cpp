// The mast report and the lightning report of a building the wizard designs
// on the default library (two floors), its mast sized from the head end's antennas by the
// program's own sizing: printed from the print menu through Qt's print dialog
// and from the print options with their notes, to PDF files read back with
// poppler; the preview of their pages and the options' report tab stay in
// the build folder to be looked at.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/lightning_pages.h"
#include "app/main_form.h"
#include "app/mast_page.h"
#include "app/program.h"
#include "autodesign/wizard.h"
#include "dialogs/mast_sizing.h"
#include "document/design_settings.h"
#include "document/lightning.h"
#include "document/mast.h"
#include "document/mast_evaluation.h"
#include "document/mast_head_end.h"
#include "document/project.h"
#include "platform/qt/qt_backend_impl.h"
#include "platform/qt/qt_printer.h"
#include "printing/documents.h"
#include "printing/preview.h"
#include "printing/print_options.h"
#include "qt/designed_project.h"
#include "qt/pdf_files.h"
#include "qt/qt_test_support.h"
#include "support/default_library_folder.h"
#include "support/design_components.h"
#include "support/program_fixture.h"

namespace {

using namespace qttest;

QImage Grab(TControl* c) {
    QWidget* w = WindowOf(c);
    return w ? w->grab().toImage() : QImage();
}

class QtPrintReports : public ::testing::Test {
protected:
    void SetUp() override {
        form = StartDesigned(program, 2, 8);
        project = form->CurrentProject;
        ASSERT_NE(project, nullptr);
        project->Name = program.Dir().File("Condominio Aurora.ant");
        project->HeaderTexts[0] = "Rossi Mario";
        project->HeaderTexts[7] = "Corso Francia";
        project->HeaderTexts[8] = "120";
        project->HeaderTexts[12] = "10143";
        project->HeaderTexts[13] = "Torino";
        project->HeaderTexts[14] = "TO";
        project->HeaderTexts[HeaderDesigner] = "Ing. Paola Neri";

        // The mast: the head end's antennas at their least spacing, sized
        // with the default sections as "Determinazione automatica sostegno" does.
        TPalo& mast = *project->Mast;
        ASSERT_GE(MastItemsFromHeadEnd(*project->HeadEndGrid, mast.Antennas), 3);
        const TValutazionePalo layout = EvaluateMast(mast);
        for (const TRecordPalo& record : layout.Records)
            if (record.Item) record.Item->Spacing = record.MinSpacing;
        mast.FootPosition = EvaluateMast(mast).MinFootPosition;
        TDatiAutSost sizing(nullptr);
        sizing.LoadDefaultSections();
        std::vector<TTroncoPalo> candidates;
        for (int i = 0; i < sizing.ListTronchi->Items->Count(); ++i) {
            float d, s, l;
            ASSERT_TRUE(TDatiAutSost::ParseSection(sizing.ListTronchi->Items->Strings(i), d, s, l));
            candidates.push_back({d, s, l, LevelNone});
        }
        ASSERT_TRUE(SizeMastSections(mast, candidates, false));
        form->MastPage->SetProject(project);

        // The building for the lightning risk: 18 m high, with one aerial power line.
        TFulmini& f = *project->Lightning;
        f.L = 24, f.W = 12, f.H = 18;
        f.AerialLinesB = 1;
        f.Compute();
        form->Lightning8110Page->SetProject(project);
    }
    std::string PrintItem(TMenuItem* item, const char* name) { return PrintItemToPdf(form, item, name); }

    ScopedProgram program;
    TAntenne* form = nullptr;
    TProgetto* project = nullptr;
};

TEST_F(QtPrintReports, ReportsFromTheMenuShowTheFiguresOfThePages) {
    const std::string mastFile = PrintItem(form->SRelazioneSostegno, "report-mast.pdf");
    const std::string m = PdfText(mastFile);
    const TPalo& mast = *project->Mast;
    const TValutazionePalo v = EvaluateMast(mast);
    std::vector<std::string> expected = {"Relazione sul sostegno delle antenne",
                                         "Committente: Rossi Mario",
                                         "Locazione edificio: Corso Francia, N. 120 - 10143 Torino (TO)",
                                         "Progettista: Ing. Paola Neri",
                                         "Norma di riferimento: CEI 12-43 (EN 50083-1)",
                                         "Vento: 130 Km/h",
                                         "Parabola",
                                         "Il sostegno è verificato"};
    for (int k = 0; k < mast.SectionCount; ++k) {
        ASSERT_TRUE(v.Sections[k].Drawn);
        expected.push_back(FormatFloat("0.0", v.Sections[k].Resistance));
        expected.push_back(FormatFloat("0.0", v.Sections[k].Load));
    }
    for (const auto& item : mast.Antennas.Items) {
        bool known = true;
        const double force =
            ItemWindForce(*item, MastWindPressure(mast.WindClass), MastWindSpeed(mast.WindClass), known);
        expected.push_back(known ? FormatFloat("0.0", force) : "non indicata");
    }
    for (const std::string& e : expected) EXPECT_NE(m.find(e), std::string::npos) << e << "\n" << m;
    EXPECT_EQ(m.find("Pagina"), std::string::npos);  // boxed, as the schemes

    const std::string lightningFile = PrintItem(form->SRelazioneScariche, "report-lightning.pdf");
    const std::string l = PdfText(lightningFile);
    const TPaginaFulmini8110& page = *form->Lightning8110Page;
    for (const std::string e :
         {std::string("Valutazione del rischio ai sensi della norma CEI EN 62305-2"),
          std::string("Norma di riferimento: CEI 81.10-2 (EN 62305-2)"),
          std::string("Tipo struttura: Abitazione civile"),
          "Nd = Ng * Aa * Ca * 0,000001 " + page.ValoreNd->Caption.Get(),
          "R1 = Ra + Rb + Ru + Rv " + page.ValoreR1->Caption.Get(), page.LabelEsitoRischio->Caption.Get(),
          page.LabelEsitoVerdetto->Caption.Get(), std::string("Pagina 1")})
        EXPECT_NE(l.find(e), std::string::npos) << e << "\n" << l;
}

TEST_F(QtPrintReports, CombinedPrintWithNotesAndPreview) {
    TDatiStampa options(nullptr);
    options.ShowReportData(project);
    EXPECT_TRUE(options.CRelSostegno->Visible && options.CRelSostegno->Enabled);
    EXPECT_TRUE(options.CRelScariche->Visible && options.CRelScariche->Enabled);
    options.RCopNessuna->Checked = true;
    options.CRelSostegno->Checked = options.CRelScariche->Checked = true;
    options.MNoteSostegno->Text =
        "Il palo è fissato alla muratura del vano scala con due staffe a distanza di 60 cm.\r\n"
        "Le staffe sono zincate a caldo.";
    options.MNoteFulmini->Text = "Valutazione eseguita con i dati forniti dal committente.";
    options.Show();
    options.Pagine->ActivePage = options.TSostegno;
    Settle();
    EXPECT_TRUE(Grab(&options).save(QString::fromStdString(Artefact("report-print-options.png"))));
    options.Hide();
    EXPECT_TRUE(options.StoreReportData(project));
    EXPECT_EQ(project->Lightning->Notes, "Valutazione eseguita con i dati forniti dal committente.");

    const std::string file = Artefact("report-combined.pdf");
    ASSERT_TRUE(PrintChosenToPdfFile(form->Printing(), options, file));
    EXPECT_EQ(WordsAtTheEdge(file), "");
    const int pages = PdfPages(file);
    ASSERT_GE(pages, 2);
    EXPECT_NE(PdfText(file, 1).find("Relazione sul sostegno delle antenne"), std::string::npos);
    const std::string all = PdfText(file);
    for (const char* e :
         {"Le staffe sono zincate a caldo.", "Valutazione eseguita con i dati forniti dal committente.",
          "Relazione sull'autoprotezione dalle scariche atmosferiche"})
        EXPECT_NE(all.find(e), std::string::npos) << e << "\n" << all;

    // The preview steps through the same pages.
    TFAnteprima preview(nullptr);
    preview.Stampa = &form->Printing();
    preview.Options = &options;
    preview.Show();
    Settle();
    int previewed = 1;
    for (;; ++previewed) {
        EXPECT_TRUE(Grab(&preview).save(
            QString::fromStdString(Artefact("report-preview-" + std::to_string(previewed) + ".png"))));
        if (!preview.BAvanti->Enabled || previewed >= 2 * pages) break;
        QTest::mouseClick(WindowOf(preview.BAvanti), Qt::LeftButton);
        Settle();
    }
    EXPECT_EQ(previewed, pages);
    preview.Hide();
}

}  // namespace
