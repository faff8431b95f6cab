// Printing through Qt to PDF files, checked with poppler's tools.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <string>

#include "platform/application.h"
#include "platform/graphics.h"
#include "platform/qt/qt_printer.h"
#include "qt/pdf_files.h"
#include "qt/qt_test_support.h"

namespace {

using qttest::Shell;

std::string PdfPath(const char* name) { return std::string(OV_BUILD_DIR) + "/test-artefacts/" + name; }

std::string Field(const std::string& info, const std::string& key) {
    size_t at = info.find(key + ":");
    if (at == std::string::npos) return {};
    size_t start = info.find_first_not_of(' ', at + key.size() + 1);
    size_t end = info.find('\n', start);
    return info.substr(start, end - start);
}

}  // namespace

TEST(QtPrinter, ListsThePdfDeviceAsA4At600Dpi) {
    ovqt::TQtPrinterPeer peer;
    std::vector<TPrinterDevice> devices = peer.Devices();
    ASSERT_FALSE(devices.empty());
    const TPrinterDevice& pdf = devices.back();
    EXPECT_EQ(pdf.Name, ovqt::PdfDeviceName);
    EXPECT_EQ(pdf.DpiX, 600);
    EXPECT_EQ(pdf.DpiY, 600);
    EXPECT_NEAR(pdf.PaperWidth, 4961, 4);   // 210 mm
    EXPECT_NEAR(pdf.PaperHeight, 7016, 4);  // 297 mm
    // A laser printer's unprintable edge of 12 pt all round, so that nothing
    // printed at the page's edge is lost when the file goes to paper.
    EXPECT_EQ(pdf.Printable, TRect(100, 100, pdf.PaperWidth - 100, pdf.PaperHeight - 100));
}

TEST(QtPrinter, PrintsPagesToAPdfFile) {
    ForceDirectories(PdfPath(""));
    std::string file = PdfPath("printer-two-pages.pdf");
    DeleteFile(file);
    ovqt::TQtPrinterPeer peer;
    int pdf = static_cast<int>(peer.Devices().size()) - 1;
    peer.SetPdfFile(QString::fromStdString(file));
    TPrintJob job;
    job.Device = pdf;
    job.Title = "Prova di stampa";
    TPaintEngine* engine = peer.BeginDoc(job);
    ASSERT_NE(engine, nullptr);
    TRect page = engine->DeviceRect();
    EXPECT_NEAR(page.Width(), 4961 - 200, 4);
    EXPECT_NEAR(page.Height(), 7016 - 200, 4);
    TCanvas canvas(engine);
    canvas.Font->PixelsPerInch = 600;
    canvas.Font->Name = "Arial";
    canvas.Font->Size = 12;
    canvas.Rectangle(500, 500, 4400, 6500);
    canvas.TextOut(600, 600, "Distribuzione del segnale");
    canvas.SetEngine(peer.NewPage(poPortrait));
    canvas.Font->Name = "Times New Roman";
    canvas.TextOut(600, 600, "Seconda pagina: perché");
    peer.EndDoc();

    std::string info = Shell("pdfinfo '" + file + "' 2>&1");
    EXPECT_EQ(Field(info, "Pages"), "2") << info;
    EXPECT_NE(Field(info, "Page size").find("(A4)"), std::string::npos) << info;
    EXPECT_EQ(Field(info, "Title"), "Prova di stampa") << info;
    std::string page1 = Shell("pdftotext -f 1 -l 1 '" + file + "' - 2>&1");
    std::string page2 = Shell("pdftotext -f 2 -l 2 '" + file + "' - 2>&1");
    EXPECT_NE(page1.find("Distribuzione del segnale"), std::string::npos) << page1;
    EXPECT_EQ(page1.find("Seconda pagina"), std::string::npos) << page1;
    EXPECT_NE(page2.find("Seconda pagina: perché"), std::string::npos) << page2;
    std::string fonts = Shell("pdffonts '" + file + "' 2>&1");
    EXPECT_NE(fonts.find("LiberationSans"), std::string::npos) << fonts;
    EXPECT_NE(fonts.find("LiberationSerif"), std::string::npos) << fonts;
    // The file name was for that document only.
    EXPECT_TRUE(peer.PdfFile().isEmpty());
}

TEST(QtPrinter, LandscapeTurnsThePage) {
    std::string file = PdfPath("printer-landscape.pdf");
    ForceDirectories(PdfPath(""));
    DeleteFile(file);
    ovqt::TQtPrinterPeer peer;
    peer.SetPdfFile(QString::fromStdString(file));
    TPrintJob job;
    job.Device = static_cast<int>(peer.Devices().size()) - 1;
    job.Orientation = poLandscape;
    TPaintEngine* engine = peer.BeginDoc(job);
    ASSERT_NE(engine, nullptr);
    EXPECT_GT(engine->DeviceRect().Width(), engine->DeviceRect().Height());
    TCanvas canvas(engine);
    canvas.TextOut(100, 100, "Orizzontale");
    peer.EndDoc();
    std::string info = Shell("pdfinfo '" + file + "' 2>&1");
    EXPECT_NE(Field(info, "Page size").find("842 x 595"), std::string::npos) << info;
}

TEST(QtPrinter, AbortLeavesNoFile) {
    std::string file = PdfPath("printer-aborted.pdf");
    ForceDirectories(PdfPath(""));
    DeleteFile(file);
    ovqt::TQtPrinterPeer peer;
    peer.SetPdfFile(QString::fromStdString(file));
    TPrintJob job;
    job.Device = static_cast<int>(peer.Devices().size()) - 1;
    TPaintEngine* engine = peer.BeginDoc(job);
    ASSERT_NE(engine, nullptr);
    TCanvas canvas(engine);
    canvas.TextOut(100, 100, "Annullata");
    peer.Abort();
    EXPECT_FALSE(FileExists(file));
}

// ---------------------------------------------------------------- through the program's printer

#include <QComboBox>
#include <QLineEdit>
#include <QPrintDialog>

#include "platform/dialogs.h"
#include "platform/printers.h"
#include "platform/qt/qt_backend_impl.h"
#include "qt/pdf_files.h"
#include "qt/qt_test_support.h"

namespace {

ovqt::TQtPrinterPeer* PrinterPeer() {
    auto* backend = dynamic_cast<ovqt::TQtBackend*>(Application->Backend());
    return backend ? backend->PrinterPeer() : nullptr;
}

int PdfIndex() { return Printer()->Printers->IndexOf(ovqt::PdfDeviceName); }

}  // namespace

TEST(QtPrinter, TwoPagesThroughThePrinterMakeATwoPageA4Pdf) {
    std::string file = PdfPath("printer-document.pdf");
    ForceDirectories(PdfPath(""));
    DeleteFile(file);
    TPrinter* p = Printer();
    ASSERT_GE(PdfIndex(), 0);
    p->SetPrinterIndex(PdfIndex());
    p->Orientation = poPortrait;
    p->Title = "Impianto condominiale";
    EXPECT_EQ(p->PixelsPerInchX(), 600);
    EXPECT_NEAR(p->PageWidth(), 4961 - 200, 4);
    EXPECT_NEAR(p->PageHeight(), 7016 - 200, 4);
    ASSERT_NE(PrinterPeer(), nullptr);
    PrinterPeer()->SetPdfFile(QString::fromStdString(file));
    p->BeginDoc();
    TCanvas* c = p->Canvas;
    c->Font->Name = "Arial";
    c->Font->Size = 14;
    c->TextOut(600, 500, "Schema della distribuzione");
    c->Pen->Width = 6;
    c->Brush->Style = bsClear;
    c->Rectangle(500, 400, p->PageWidth() - 500, p->PageHeight() - 500);
    p->NewPage();
    c->Font->Name = "Times New Roman";
    c->Font->Size = 12;
    c->TextOut(600, 500, "Preventivo dei materiali");
    p->EndDoc();

    std::string info = Shell("pdfinfo '" + file + "' 2>&1");
    EXPECT_EQ(Field(info, "Pages"), "2") << info;
    EXPECT_NE(Field(info, "Page size").find("(A4)"), std::string::npos) << info;
    std::string text = Shell("pdftotext '" + file + "' - 2>&1");
    EXPECT_NE(text.find("Schema della distribuzione"), std::string::npos) << text;
    EXPECT_NE(text.find("Preventivo dei materiali"), std::string::npos) << text;
    // The second page holds only its own text.
    std::string page2 = Shell("pdftotext -f 2 -l 2 '" + file + "' - 2>&1");
    EXPECT_EQ(page2.find("Schema"), std::string::npos) << page2;
}

// What is laid out outside a job in the printer's pixels (the print
// preview) measures as the printed page does, not with the headless metrics.
TEST(QtPrinter, TheMeasurerMeasuresAsThePrintedPage) {
    std::string file = PdfPath("printer-measures.pdf");
    ForceDirectories(PdfPath(""));
    DeleteFile(file);
    TPrinter* p = Printer();
    ASSERT_GE(PdfIndex(), 0);
    p->SetPrinterIndex(PdfIndex());
    p->Orientation = poPortrait;
    struct Case {
        const char* face;
        int height;
        TFontStyles style;
        const char* text;
    };
    // clang-format off
    const Case cases[] = {
        {"Arial", -66, {}, "T1 T2 T3 T4 T5 T6 T7 T8 T9 T10 T11 T12"},
        {"Arial", -83, TFontStyles{fsBold}, "Tipologia del materiale della rete"},
        {"Times New Roman", -100, {}, "Dichiarazione di conformità"},
    };
    // clang-format on
    std::vector<TSize> before;
    for (const Case& c : cases) {
        TFontState font;
        font.Name = c.face;
        font.Height = c.height;
        font.Style = c.style;
        before.push_back(p->Measurer()->TextExtent(font, c.text));
    }
    ASSERT_NE(PrinterPeer(), nullptr);
    PrinterPeer()->SetPdfFile(QString::fromStdString(file));
    p->BeginDoc();
    ASSERT_TRUE(p->Printing());
    for (size_t i = 0; i < std::size(cases); ++i) {
        TCanvas* canvas = p->Canvas;
        canvas->Font->Name = cases[i].face;
        canvas->Font->Height = cases[i].height;
        canvas->Font->Style = cases[i].style;
        SCOPED_TRACE(cases[i].text);
        EXPECT_EQ(canvas->TextExtent(cases[i].text), before[i]);
        EXPECT_EQ(p->Measurer()->TextExtent(canvas->State().Font, cases[i].text), before[i]);
        EXPECT_NE(before[i], TTextMetrics::Extent(canvas->State().Font, cases[i].text));
    }
    p->EndDoc();
    p->SetPrinterIndex(-1);
}

TEST(QtPrinter, AJobTurnsBetweenPages) {
    std::string file = PdfPath("printer-turning.pdf");
    ForceDirectories(PdfPath(""));
    DeleteFile(file);
    TPrinter* p = Printer();
    ASSERT_GE(PdfIndex(), 0);
    p->SetPrinterIndex(PdfIndex());
    p->Orientation = poPortrait;
    ASSERT_NE(PrinterPeer(), nullptr);
    PrinterPeer()->SetPdfFile(QString::fromStdString(file));
    p->BeginDoc();
    p->Canvas->TextOut(600, 500, "Verticale");
    p->Orientation = poLandscape;
    p->NewPage();
    EXPECT_GT(p->PageWidth(), p->PageHeight());
    EXPECT_GT(p->Canvas->Engine()->DeviceRect().Width(), p->Canvas->Engine()->DeviceRect().Height());
    p->Canvas->TextOut(600, 500, "Orizzontale");
    p->Orientation = poPortrait;
    p->NewPage();
    p->Canvas->TextOut(600, 500, "Di nuovo verticale");
    p->EndDoc();
    std::string sizes = Shell("pdfinfo -f 1 -l 3 '" + file + "' 2>&1");
    EXPECT_NE(sizes.find("Page    1 size:  595 x 842"), std::string::npos) << sizes;
    EXPECT_NE(sizes.find("Page    2 size:  842 x 595"), std::string::npos) << sizes;
    EXPECT_NE(sizes.find("Page    3 size:  595 x 842"), std::string::npos) << sizes;
    std::string page2 = Shell("pdftotext -f 2 -l 2 '" + file + "' - 2>&1");
    EXPECT_NE(page2.find("Orizzontale"), std::string::npos) << page2;
}

TEST(QtPrinter, AFileThatCannotBeWrittenLeavesTheDocumentAborted) {
    TPrinter* p = Printer();
    ASSERT_GE(PdfIndex(), 0);
    p->SetPrinterIndex(PdfIndex());
    ASSERT_NE(PrinterPeer(), nullptr);
    PrinterPeer()->SetPdfFile("/nonexistent-folder/impianto.pdf");
    QString told;
    qttest::WhenBoxShown([&](QMessageBox* box) {  // the device says why, in a message box
        told = box->text();
        box->buttons().first()->click();
    });
    p->BeginDoc();
    EXPECT_TRUE(told.contains("impianto.pdf")) << told.toStdString();
    EXPECT_FALSE(p->Printing());
    EXPECT_TRUE(p->Aborted());
    p->Canvas->TextOut(10, 10, "perso");  // goes nowhere, harmlessly
    p->NewPage();
    p->EndDoc();
    EXPECT_FALSE(p->Printing());
    // The printer is free for the next document.
    std::string file = PdfPath("after-refusal.pdf");
    ForceDirectories(PdfPath(""));
    DeleteFile(file);
    PrinterPeer()->SetPdfFile(QString::fromStdString(file));
    p->BeginDoc();
    EXPECT_TRUE(p->Printing());
    p->Canvas->TextOut(600, 500, "Seconda prova");
    p->EndDoc();
    EXPECT_TRUE(FileExists(file));
}

TEST(QtPrinter, QtsPrintDialogChoosesAPdfFile) {
    std::string file = PdfPath("printer-from-dialog.pdf");
    ForceDirectories(PdfPath(""));
    DeleteFile(file);
    Printer()->SetPrinterIndex(-1);
    // Qt's own dialog offers printing to a PDF file as its last printer.
    qttest::AnswerPrintDialogWithPdf(file);
    TPrintDialog d(nullptr);
    d.Copies = 1;
    ASSERT_TRUE(d.Execute());
    TPrinter* p = Printer();
    EXPECT_EQ(p->PrinterIndex(), PdfIndex());
    EXPECT_EQ(p->PixelsPerInchY(), 600);
    p->Title = "Dal dialogo";
    p->BeginDoc();
    p->Canvas->TextOut(400, 400, "Stampato su file");
    p->EndDoc();
    std::string text = Shell("pdftotext '" + file + "' - 2>&1");
    EXPECT_NE(text.find("Stampato su file"), std::string::npos) << text;
}

// A file that exists is replaced only when the person agrees, asked by its
// name; one that Qt's print dialog already asked about is not asked again.
TEST(QtPrinter, AnExistingFileIsReplacedOnlyAfterTheQuestion) {
    const std::string file = PdfPath("printer-existing.pdf");
    ForceDirectories(PdfPath(""));
    if (FILE* out = std::fopen(file.c_str(), "w")) {
        std::fputs("vecchio", out);
        std::fclose(out);
    }
    TPrinter* p = Printer();
    ASSERT_GE(PdfIndex(), 0);
    p->SetPrinterIndex(PdfIndex());
    ASSERT_NE(PrinterPeer(), nullptr);
    struct Case {
        const char* button;
        const char* text;  // what the file holds afterwards
    };
    const Case cases[] = {{"No", "vecchio"}, {"Sì", "Nuovo contenuto"}};
    for (const Case& c : cases) {
        QString asked;
        qttest::WhenBoxShown([&](QMessageBox* box) {
            asked = box->text();
            for (QAbstractButton* b : box->buttons())
                if (b->text() == QString::fromUtf8(c.button)) b->click();
        });
        PrinterPeer()->SetPdfFile(QString::fromStdString(file));
        p->BeginDoc();
        if (p->Printing()) {
            p->Canvas->TextOut(600, 500, "Nuovo contenuto");
            p->EndDoc();
        }
        EXPECT_EQ(asked.toStdString(), "Il file \"" + file + "\" esiste già. Sostituirlo?") << c.button;
        const std::string now = Shell("pdftotext '" + file + "' - 2>/dev/null || cat '" + file + "'");
        EXPECT_NE(now.find(c.text), std::string::npos) << c.button << ": " << now;
    }
    bool asked = false;
    qttest::Later([&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            asked = true;
            box->buttons().front()->click();
        }
    });
    PrinterPeer()->SetPdfFile(QString::fromStdString(file), true);
    p->BeginDoc();
    EXPECT_TRUE(p->Printing());
    if (p->Printing()) p->EndDoc();
    qttest::Settle();
    EXPECT_FALSE(asked);
    p->SetPrinterIndex(-1);
}

namespace {

// The message boxes that show, in order: title, text and buttons.
class TShownBoxes : public QObject {
public:
    TShownBoxes() { qApp->installEventFilter(this); }
    ~TShownBoxes() override { qApp->removeEventFilter(this); }
    std::vector<std::string> shown;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Seen after the box has taken its own show event: as the person sees it.
        if (event->type() == QEvent::Show)
            if (auto* box = qobject_cast<QMessageBox*>(watched)) {
                QPointer<QMessageBox> shownBox(box);
                qttest::Later([this, shownBox] {
                    if (!shownBox) return;
                    std::string buttons;
                    for (QAbstractButton* b : shownBox->buttons()) buttons += " [" + b->text().toStdString() + "]";
                    shown.push_back(shownBox->windowTitle().toStdString() + ": " +
                                    shownBox->text().toStdString() + buttons);
                });
            }
        return false;
    }
};

void WriteOldFile(const std::string& file) {
    ForceDirectories(PdfPath(""));
    if (FILE* out = std::fopen(file.c_str(), "w")) {
        std::fputs("vecchio", out);
        std::fclose(out);
    }
}

}  // namespace

// A file printed over is asked about once, in the program's words, whether
// it was named in Qt's print dialog or in the file dialog of a print on the
// PDF device ("Stampa" > "Selezione"); "No" in the print dialog keeps it
// open for another name, "Sì" prints without asking again.
TEST(QtPrinter, TheReplaceQuestionIsOneAndTheSameThroughBothRoutes) {
    const std::string file = PdfPath("printer-replaced.pdf");
    const AnsiString title = Application->Title;
    Application->Title = "Ordivex Varne";
    const std::string expected =
        Application->Title + ": Il file \"" + file + "\" esiste già. Sostituirlo? [Sì] [No]";
    TPrinter* p = Printer();
    ASSERT_GE(PdfIndex(), 0);

    // Qt's print dialog: the file typed, "OK" pressed, "No", then again "Sì".
    WriteOldFile(file);
    p->SetPrinterIndex(-1);
    std::vector<std::string> dialogRoute;
    bool stayedOpen = false;
    {
        TShownBoxes boxes;
        auto answer = [](const char* button) {
            qttest::WhenBoxShown([button](QMessageBox* box) {
                for (QAbstractButton* b : box->buttons())
                    if (b->text() == QString::fromUtf8(button)) QTest::mouseClick(b, Qt::LeftButton);
            });
        };
        qttest::WhenShown(
            "the print dialog",
            [] { return qobject_cast<QPrintDialog*>(QApplication::activeModalWidget()) != nullptr; },
            [&] {
                auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
                auto* printers = dialog->findChild<QComboBox*>("printers");
                auto* name = dialog->findChild<QLineEdit*>("filename");
                auto* buttons = dialog->findChild<QDialogButtonBox*>();
                ASSERT_TRUE(printers && name && buttons);
                printers->setCurrentIndex(printers->count() - 1);
                name->setText(QString::fromStdString(file));
                QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
                ASSERT_NE(ok, nullptr);
                answer("No");
                QTest::mouseClick(ok, Qt::LeftButton);
                qttest::Settle();
                stayedOpen = dialog->isVisible();
                answer("Sì");
                QTest::mouseClick(ok, Qt::LeftButton);
            });
        TPrintDialog d(nullptr);
        ASSERT_TRUE(d.Execute());
        p->BeginDoc();
        ASSERT_TRUE(p->Printing());
        p->Canvas->TextOut(600, 500, "Dal dialogo di stampa");
        p->EndDoc();
        qttest::Settle();
        dialogRoute = boxes.shown;
    }
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(dialogRoute, (std::vector<std::string>{expected, expected}));
    EXPECT_NE(Shell("pdftotext '" + file + "' -").find("Dal dialogo di stampa"), std::string::npos);

    // The PDF device chosen elsewhere: the job's file dialog names the file.
    WriteOldFile(file);
    p->SetPrinterIndex(PdfIndex());
    PrinterPeer()->SetPdfFile(QString());
    std::vector<std::string> fileRoute;
    {
        TShownBoxes boxes;
        qttest::WhenShown(
            "the file dialog",
            [] { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()) != nullptr; },
            [&] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
                ASSERT_NE(edit, nullptr);
                edit->setText(QString::fromStdString(file));
                qttest::WhenBoxShown([](QMessageBox* box) {
                    for (QAbstractButton* b : box->buttons())
                        if (b->text() == QString::fromUtf8("Sì")) QTest::mouseClick(b, Qt::LeftButton);
                });
                QTest::keyClick(edit, Qt::Key_Return);
            });
        p->BeginDoc();
        ASSERT_TRUE(p->Printing());
        p->Canvas->TextOut(600, 500, "Dalla selezione");
        p->EndDoc();
        qttest::Settle();
        fileRoute = boxes.shown;
    }
    EXPECT_EQ(fileRoute, std::vector<std::string>{expected});
    EXPECT_NE(Shell("pdftotext '" + file + "' -").find("Dalla selezione"), std::string::npos);
    p->SetPrinterIndex(-1);
    Application->Title = title;
}
