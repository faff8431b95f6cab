// The print items of the main window in real windows: the network scheme,
// the calculation tables, the material list, the estimate and the tender
// specification through Qt's print dialog to PDF files, and the calculation
// form on screen.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/main_form.h"
#include "autodesign/wizard.h"
#include "document/project.h"
#include "platform/qt/qt_paint.h"
#include "printing/calc_print_options.h"
#include "printing/documents.h"
#include "qt/group_layout.h"
#include "qt/pdf_files.h"
#include "qt/qt_test_support.h"
#include "support/program_fixture.h"

namespace {

using qttest::AnswerPrintDialogWithPdf;
using qttest::Shell;

// "Avanti >>" clicked on the window and on the wizard it opens, up to
// "Fine": nothing to design, the drawing goes on to its calculations.
void NextThroughTheWizard(TAntenne& form) {
    TAutoProgetto* wizard = form.Wizard;
    qttest::WhenInFront(wizard, [wizard] {
        ASSERT_TRUE(wizard->Visible);
        for (int page = 0; page < WizardPages && wizard->ModalResult.Get() == mrNone; ++page)
            QTest::mouseClick(qttest::WidgetOf(wizard->BAvanti), Qt::LeftButton);
        EXPECT_EQ(wizard->ModalResult.Get(), WizardDone);
    });
    QTest::mouseClick(qttest::WidgetOf(form.NextButton), Qt::LeftButton);
    qttest::Settle();
}

TEST(QtPrintMenu, SchemeCalculationsListEstimateAndSpecificationToPdf) {
    ScopedProgram program;
    TAntenne& form = program.Start();
    for (int i = 0; i < 3; ++i) form.TimerTimer(nullptr);  // past the splash
    qttest::Settle();
    DrawTwoTaps(*form.CurrentProject);
    NextThroughTheWizard(form);
    ASSERT_EQ(form.CurrentProject->Step, 2);
    form.Stampa2->Click();
    ASSERT_TRUE(form.SRete->Enabled);
    ASSERT_TRUE(form.SCalcoli->Enabled);

    const std::string scheme = qttest::Artefact("print-menu-network-scheme.pdf");
    DeleteFile(scheme);
    AnswerPrintDialogWithPdf(scheme);
    form.SRete->Click();
    ASSERT_TRUE(FileExists(scheme));
    Shell("pdftoppm -r 60 -png '" + scheme + "' '" + qttest::Artefact("print-menu-network-scheme") + "'");
    const std::string text = Shell("pdftotext '" + scheme + "' - 2>&1");
    EXPECT_NE(text.find("Ordivex Varne - File senza nome"), std::string::npos) << text;
    EXPECT_NE(text.find("P1"), std::string::npos) << text;  // the outlets' numbers label the scheme
    EXPECT_EQ(text.find("Pagina"), std::string::npos) << text;
    // The same page in the preview's bitmap, laid out on the printer's page and drawn scaled.
    TBitmap bitmap;
    TPreviewTarget preview(900, 1180, &bitmap);
    form.Printing().Preview = &preview;
    EXPECT_EQ(form.Printing().PrintNetwork(1), 0);
    form.Printing().Preview = nullptr;
    const QImage image = ovqt::WrapBitmap(bitmap);
    EXPECT_TRUE(image.save(QString::fromStdString(qttest::Artefact("print-preview-scheme.png"))));
    EXPECT_GT(qttest::Colours(image), 1);
    // The frame's right side, on the page's last pixels, is in sight.
    EXPECT_LT(qGray(image.pixel(image.width() - 1, image.height() / 2)), 128);

    const std::string tables = qttest::Artefact("print-menu-calculations.pdf");
    DeleteFile(tables);
    TInfoStampaCalcoli* calc = form.Printing().CalculationsForm;
    ASSERT_NE(calc, nullptr);
    bool shown = false;
    qttest::WhenInFront(calc, [&] {
        QWidget* window = qttest::WindowOf(calc);
        ASSERT_NE(window, nullptr);
        shown = true;
        calc->CMinMaxTesta->Checked = true;
        calc->CMinMaxPrese->Checked = true;
        calc->CSepPrese->Checked = true;
        qttest::Settle();
        EXPECT_TRUE(window->grab().toImage().save(
            QString::fromStdString(qttest::Artefact("calculation-print-form.png"))));
        qttest::ExpectGroupContentsBelowCaptions(calc);
        AnswerPrintDialogWithPdf(tables);
        QTest::mouseClick(qttest::WindowOf(calc->BOk), Qt::LeftButton);
    });
    form.SCalcoli->Click();
    EXPECT_TRUE(shown);
    ASSERT_TRUE(FileExists(tables));
    Shell("pdftoppm -r 60 -png '" + tables + "' '" + qttest::Artefact("print-menu-calculations") + "'");
    const std::string pages = Shell("pdfinfo '" + tables + "' 2>&1");
    const size_t count = pages.find("Pages:");
    ASSERT_NE(count, std::string::npos) << pages;
    EXPECT_EQ(std::stoi(pages.substr(count + 6)), 2) << pages;
    const std::string all = Shell("pdftotext '" + tables + "' - 2>&1");
    EXPECT_NE(all.find("Segnali minimi e massimi ammessi all'uscita del terminale di testa e ottenibili alle "
                       "prese [dB]"),
              std::string::npos)
        << all;
    EXPECT_NE(all.find("Separazioni tra le prese [dB]"), std::string::npos) << all;
    EXPECT_NE(all.find("Uscita 1"), std::string::npos) << all;

    // The list, the estimate and the tender specification, each to its PDF.
    const struct {
        TMenuItem* item;
        const char* file;
        const char* title;
    } documents[] = {
        {form.SElencoRete, "print-menu-list.pdf", "Tipologia del materiale della rete"},
        {form.SPreventivo, "print-menu-estimate.pdf", "Preventivo di spesa"},
        {form.SCapitolato, "print-menu-specification.pdf", "Capitolato"},
    };
    form.Stampa2->Click();
    for (const auto& d : documents) {
        ASSERT_TRUE(d.item->Enabled) << d.title;
        const std::string file = qttest::Artefact(d.file);
        DeleteFile(file);
        AnswerPrintDialogWithPdf(file);
        d.item->Click();
        ASSERT_TRUE(FileExists(file)) << d.file;
        const std::string printed = Shell("pdftotext '" + file + "' - 2>&1");
        EXPECT_NE(printed.find(d.title), std::string::npos) << printed;
        EXPECT_NE(printed.find("Pagina 1"), std::string::npos) << printed;
    }
}

}  // namespace
