#pragma once
// A project, its printer set to a chosen device and the producers wired to
// the pages the test says exist; helpers that read what the headless
// printer recorded. Everything program-wide comes back when the test ends.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <vector>

#include "document/grid.h"
#include "document/project.h"
#include "platform/application.h"
#include "platform/engines.h"
#include "platform/printers.h"
#include "printing/documents.h"
#include "support/globals_fixture.h"

// An A4 device of the given resolution; printable the whole sheet unless given.
inline TPrinterDevice A4Device(int dpi, std::optional<TRect> printable = std::nullopt) {
    TPrinterDevice d;
    d.Name = "Prova";
    d.DpiX = d.DpiY = dpi;
    d.PaperWidth = dpi == 600 ? 4961 : 2480;
    d.PaperHeight = dpi == 600 ? 7016 : 3508;
    d.Printable = printable ? *printable : TRect(0, 0, d.PaperWidth, d.PaperHeight);
    return d;
}

// Records what the preview draws into its page bitmap, over the bitmap's size.
class BitmapRecorder : public TRecordingEngine {
public:
    explicit BitmapRecorder(const TBitmap& bitmap) : bitmap_(bitmap) {}
    TRect DeviceRect() const override { return TRect(0, 0, bitmap_.Width, bitmap_.Height); }

private:
    const TBitmap& bitmap_;
};

// A project with customer texts and the producers wired to it.
class PrintProjectTest : public GlobalsTest {
protected:
    PrintProjectTest() {
        Application->Script().Reset();
        PrintPage = TPrintPage{};
        project.Reset(true);
        project.Name = "/progetti/Condominio Aurora.ant";
        project.HeaderTexts[0] = "Rossi Mario";
        project.HeaderTexts[1] = "Via Roma 1";
        project.HeaderTexts[2] = "Torino";
        stampa.Project = &project;
        stampa.FindPage = [this](const AnsiString& caption) { return pages.count(caption) > 0; };
        stampa.InstallerHeader = [] { return AnsiString("Impianti Bianchi - Via Po 3 - Asti"); };
    }
    ~PrintProjectTest() override { PrintPage = TPrintPage{}; }

    // A component of a class kind on a grid, chained last.
    TCella* AddCell(TGridData* grid, int32_t kind, const AnsiString& code, int32_t number);
    void Chain(TGridData* grid, TCella* cell);

    TProgetto project{nullptr};
    TStampa stampa;
    std::set<AnsiString> pages{"Rete", "Testa"};

private:
    int32_t placed_ = 0;
};

// The same on the headless printer, an A4 device at 600 dpi.
class PrintTest : public PrintProjectTest {
protected:
    PrintTest() {
        Printer()->ClearDocuments();
        Printer()->SetDevices({A4Device(600)});
        Printer()->Orientation = poPortrait;
    }
    ~PrintTest() override {
        TPrinterDevice virtualPrinter;
        virtualPrinter.Name = "Stampante virtuale";
        Printer()->SetDevices({virtualPrinter});
        Printer()->Orientation = poPortrait;
        Printer()->ClearDocuments();
    }

    // One printer job around fn, as the print commands make it.
    template <class F>
    const TPrintedDocument& Job(F&& fn) {
        Printer()->Title = PrintJobTitle;
        Printer()->BeginDoc();
        PrintPage.NewJob = 1;
        fn();
        Printer()->EndDoc();
        return *Printer()->Documents().back();
    }
    const TPrintedDocument& LastDocument() const { return *Printer()->Documents().back(); }
};

// The text calls of a page, and the first call drawing exactly that text.
std::vector<TPaintCall> TextCalls(const TRecordingEngine& page);
const TPaintCall* FindText(const TRecordingEngine& page, const AnsiString& text);
// Where a text was drawn; (-1, -1) when it was not.
TPoint TextAt(const TRecordingEngine& page, const AnsiString& text);
// Every text of a page joined by newlines.
AnsiString PageText(const TRecordingEngine& page);
