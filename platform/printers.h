#pragma once
// The printer: a list of devices, the job settings, and a canvas that draws
// on the page being printed. With a back end the pages go to a real printer
// (or a PDF file); headless every page is kept as a recording, so that tests
// read what a document printed.
#include <memory>
#include <vector>

#include "platform/backend.h"
#include "platform/engines.h"
#include "platform/graphics.h"

class EPrinter : public Exception {
    using Exception::Exception;
};

// A document printed headless: its settings and one recording per page.
struct TPrintedDocument {
    AnsiString Title;
    AnsiString PrinterName;
    int Copies = 1;
    TPrinterOrientation Orientation = poPortrait;
    bool Aborted = false;
    std::vector<std::unique_ptr<TRecordingEngine>> Pages;  // each of its page's size
};

class TPrinter : public TObject {
public:
    TPrinter();
    ~TPrinter() override;
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    // The names of the printers; PrinterIndex chooses one (-1: the default).
    TStringList* const Printers;
    int PrinterIndex() const { return index_; }
    // The printer a job goes to: the chosen one, else the default one.
    int CurrentPrinterIndex() const { return index_ < 0 ? default_ : index_; }
    void SetPrinterIndex(int index);
    // Settings of the next job.
    TPrinterOrientation Orientation = poPortrait;
    AnsiString Title;
    int Copies = 1;
    // The name a printout to a file is offered under (no folder, no
    // extension): the print dialog's file and the file asked for at the
    // start of a job. Empty: the device's own choice.
    AnsiString FileName;

    // Draws on the current page while printing; otherwise it measures (its
    // font has the printer's resolution).
    TCanvas* const Canvas;
    void BeginDoc();
    // The next page, in the orientation set now: a job may turn between
    // pages, and the page sizes follow.
    void NewPage();
    void EndDoc();
    void Abort();
    bool Printing() const { return printing_; }
    bool Aborted() const { return aborted_; }
    int PageNumber() const { return page_; }

    // Measures text as the pages of the chosen printer do, whether a job
    // runs or not: what is laid out elsewhere in the printer's pixels (the
    // print preview) measures with it, and so breaks where the pages break.
    TPaintEngine* Measurer() const;

    // The printable area in device pixels, for the chosen printer and orientation.
    int PageWidth() const;
    int PageHeight() const;
    int PixelsPerInchX() const;
    int PixelsPerInchY() const;
    // The sheet and where the printable area starts on it.
    int PhysicalWidth() const;
    int PhysicalHeight() const;
    int PhysicalOffsetX() const;
    int PhysicalOffsetY() const;

    // Headless: the devices offered (an A4 printer at 600 dpi by default) and
    // the documents printed so far.
    void SetDevices(const std::vector<TPrinterDevice>& devices);
    const std::vector<std::unique_ptr<TPrintedDocument>>& Documents() const { return documents_; }
    void ClearDocuments() { documents_.clear(); }

private:
    const TPrinterDevice& Device() const;
    void Refresh();
    TPaintEngine* StartPage();
    std::vector<TPrinterDevice> devices_;
    int index_ = -1;
    int default_ = 0;
    bool printing_ = false;
    bool aborted_ = false;
    int page_ = 0;
    std::unique_ptr<TPrinterPeer> peer_;
    std::unique_ptr<TRecordingEngine> idle_;
    std::vector<std::unique_ptr<TPrintedDocument>> documents_;
};

// The one printer object of the program, made at first use.
TPrinter* Printer();
