// Common dialogs answered by the stand-in, and the printer.
#include "platform/dialogs.h"

#include <gtest/gtest.h>

#include "platform/application.h"
#include "platform/printers.h"

namespace {
class Dialogs : public ::testing::Test {
protected:
    void SetUp() override { Application->Script().Reset(); }
    void TearDown() override { Application->Script().Reset(); }
};
}  // namespace

TEST_F(Dialogs, TheNextOpenDialogReturnsTheScriptedPath) {
    TOpenDialog open;
    open.Title = "Apri progetto";
    open.Filter = "Progetti (*.ant)|*.ant";
    open.InitialDir = "/progetti";
    open.DefaultExt = "ant";
    Application->Script().AnswerFileDialog("/progetti/villa");
    ASSERT_TRUE(open.Execute());
    EXPECT_EQ(open.FileName, "/progetti/villa.ant");  // the default extension is added
    EXPECT_EQ(open.Files->Count(), 1);
    Application->Script().CancelFileDialog();
    EXPECT_FALSE(open.Execute());
    EXPECT_EQ(open.FileName, "/progetti/villa.ant");  // a cancelled dialog changes nothing
    EXPECT_FALSE(open.Execute());                     // nobody answers: cancelled
    const auto& calls = Application->Script().Dialogs;
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].Kind, TDialogKind::Open);
    EXPECT_EQ(calls[0].Title, "Apri progetto");
    EXPECT_EQ(calls[0].Filter, "Progetti (*.ant)|*.ant");
    EXPECT_EQ(calls[0].InitialDir, "/progetti");
    EXPECT_TRUE(calls[0].Accepted);
    EXPECT_EQ(calls[1].FileName, "/progetti/villa.ant");  // what the dialog opened with
    EXPECT_FALSE(calls[1].Accepted);

    TSaveDialog save;
    Application->Script().AnswerFileDialog("/progetti/villa.bak");
    ASSERT_TRUE(save.Execute());
    EXPECT_EQ(save.FileName, "/progetti/villa.bak");
    EXPECT_EQ(calls.back().Kind, TDialogKind::Save);
}

TEST_F(Dialogs, DirectoryColourAndPrintDialogs) {
    AnsiString dir = "/vecchia";
    Application->Script().AnswerDirectory("/nuova");
    EXPECT_TRUE(SelectDirectory("Selezione directory progetti", "/", dir));
    EXPECT_EQ(dir, "/nuova");
    EXPECT_FALSE(SelectDirectory("Selezione directory progetti", "/", dir));
    EXPECT_EQ(dir, "/nuova");

    TColorDialog colour;
    colour.Color = clRed;
    Application->Script().AnswerColorDialog(RGB(1, 2, 3));
    EXPECT_TRUE(colour.Execute());
    EXPECT_EQ(colour.Color, RGB(1, 2, 3));
    Application->Script().CancelColorDialog();
    EXPECT_FALSE(colour.Execute());
    EXPECT_EQ(colour.Color, RGB(1, 2, 3));

    TPrinterSetupDialog setup;
    Application->Script().AnswerPrintDialog(true);
    EXPECT_TRUE(setup.Execute());
    EXPECT_FALSE(setup.Execute());
    EXPECT_EQ(Application->Script().Dialogs.back().Kind, TDialogKind::PrinterSetup);
}

TEST(Printers, PagesAreRecordedWithTheJobSettings) {
    TPrinter printer;
    TPrinterDevice a4;
    a4.Name = "Ufficio";
    a4.DpiX = a4.DpiY = 600;
    a4.PaperWidth = 4961;
    a4.PaperHeight = 7016;
    a4.Printable = TRect(100, 120, 4861, 6916);
    TPrinterDevice small;
    small.Name = "Piccola";
    small.DpiX = small.DpiY = 300;
    printer.SetDevices({a4, small});
    EXPECT_EQ(printer.Printers->Count(), 2);
    EXPECT_EQ(printer.PageWidth(), 4761);
    EXPECT_EQ(printer.PageHeight(), 6796);
    EXPECT_EQ(printer.PhysicalOffsetX(), 100);
    EXPECT_EQ(printer.Canvas->Font->PixelsPerInch, 600);
    printer.Orientation = poLandscape;
    EXPECT_EQ(printer.PageWidth(), 6796);
    EXPECT_EQ(printer.PageHeight(), 4761);
    EXPECT_EQ(printer.PhysicalWidth(), 7016);
    EXPECT_EQ(printer.PhysicalOffsetX(), 120);
    EXPECT_EQ(printer.PhysicalOffsetY(), 100);
    printer.Orientation = poPortrait;

    printer.Title = "Ordivex Varne - Schema";
    printer.Copies = 2;
    printer.BeginDoc();
    EXPECT_TRUE(printer.Printing());
    printer.Canvas->Font->Size = 10;  // points at the printer's resolution
    EXPECT_EQ(printer.Canvas->Font->Height, -83);
    printer.Canvas->TextOut(120, 120, "Committente: ");
    printer.NewPage();
    EXPECT_EQ(printer.PageNumber(), 2);
    printer.Canvas->MoveTo(0, 0);
    printer.Canvas->LineTo(100, 100);
    printer.EndDoc();
    EXPECT_FALSE(printer.Printing());
    EXPECT_THROW(printer.NewPage(), EPrinter);

    ASSERT_EQ(printer.Documents().size(), 1u);
    const TPrintedDocument& doc = *printer.Documents()[0];
    EXPECT_EQ(doc.Title, "Ordivex Varne - Schema");
    EXPECT_EQ(doc.PrinterName, "Ufficio");
    EXPECT_EQ(doc.Copies, 2);
    ASSERT_EQ(doc.Pages.size(), 2u);
    EXPECT_EQ(doc.Pages[0]->Texts(), std::vector<AnsiString>{"Committente: "});
    EXPECT_EQ(doc.Pages[0]->DeviceRect(), Rect(0, 0, 4761, 6796));
    EXPECT_EQ(doc.Pages[1]->CallsOf(TPaintOp::Line).size(), 1u);

    // Another printer, aborted half way.
    printer.SetPrinterIndex(1);
    EXPECT_EQ(printer.PixelsPerInchX(), 300);
    printer.BeginDoc();
    EXPECT_THROW(printer.BeginDoc(), EPrinter);
    EXPECT_THROW(printer.SetPrinterIndex(0), EPrinter);
    printer.Abort();
    EXPECT_TRUE(printer.Aborted());
    EXPECT_TRUE(printer.Documents().back()->Aborted);
    EXPECT_THROW(printer.SetPrinterIndex(5), EPrinter);
    // Between jobs the canvas still measures text.
    EXPECT_GT(printer.Canvas->TextWidth("Pagina 1"), 0);
}

TEST(Printers, ANewPageTakesTheOrientationSetBeforeIt) {
    TPrinter printer;
    TPrinterDevice a4;
    a4.Name = "A4";
    a4.Printable = TRect(0, 0, 4961, 7016);
    printer.SetDevices({a4});
    printer.BeginDoc();
    printer.Orientation = poLandscape;
    printer.NewPage();
    EXPECT_EQ(printer.PageWidth(), 7016);
    printer.Orientation = poPortrait;
    printer.NewPage();
    printer.EndDoc();
    const TPrintedDocument& doc = *printer.Documents()[0];
    ASSERT_EQ(doc.Pages.size(), 3u);
    EXPECT_EQ(doc.Pages[0]->DeviceRect(), TRect(0, 0, 4961, 7016));
    EXPECT_EQ(doc.Pages[1]->DeviceRect(), TRect(0, 0, 7016, 4961));
    EXPECT_EQ(doc.Pages[2]->DeviceRect(), TRect(0, 0, 4961, 7016));
}
