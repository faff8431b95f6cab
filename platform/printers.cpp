#include "platform/printers.h"

#include <algorithm>

#include "platform/application.h"

TPrinter::TPrinter()
    : Printers(new TStringList), Canvas(new TCanvas(nullptr)), idle_(std::make_unique<TRecordingEngine>()) {
    if (TBackend* b = Application->Backend()) peer_.reset(b->CreatePrinterPeer(this));
    if (peer_) {
        devices_ = peer_->Devices();
        default_ = peer_->DefaultDevice();
    }
    if (devices_.empty()) {
        TPrinterDevice d;
        d.Name = "Stampante virtuale";
        devices_.push_back(d);
        default_ = 0;
    }
    for (const TPrinterDevice& d : devices_) Printers->Add(d.Name);
    Canvas->SetEngine(idle_.get());
    Refresh();
}

TPrinter::~TPrinter() {
    if (printing_ && peer_) peer_->Abort();
    delete Canvas;
    delete Printers;
}

void TPrinter::SetDevices(const std::vector<TPrinterDevice>& devices) {
    if (printing_) throw EPrinter("Impossibile cambiare stampante durante la stampa");
    devices_ = devices;
    if (devices_.empty()) devices_.push_back(TPrinterDevice{});
    default_ = 0;
    index_ = -1;
    Printers->Clear();
    for (const TPrinterDevice& d : devices_) Printers->Add(d.Name);
    Refresh();
}

void TPrinter::SetPrinterIndex(int index) {
    if (printing_) throw EPrinter("Impossibile cambiare stampante durante la stampa");
    if (index < -1 || index >= static_cast<int>(devices_.size())) throw EPrinter("Stampante non valida");
    index_ = index;
    Refresh();
}

const TPrinterDevice& TPrinter::Device() const {
    const int i = CurrentPrinterIndex();
    return devices_[std::clamp(i, 0, static_cast<int>(devices_.size()) - 1)];
}

int TPrinter::PixelsPerInchX() const { return Orientation == poPortrait ? Device().DpiX : Device().DpiY; }
int TPrinter::PixelsPerInchY() const { return Orientation == poPortrait ? Device().DpiY : Device().DpiX; }
int TPrinter::PhysicalWidth() const {
    return Orientation == poPortrait ? Device().PaperWidth : Device().PaperHeight;
}
int TPrinter::PhysicalHeight() const {
    return Orientation == poPortrait ? Device().PaperHeight : Device().PaperWidth;
}
int TPrinter::PageWidth() const {
    return Orientation == poPortrait ? Device().Printable.Width() : Device().Printable.Height();
}
int TPrinter::PageHeight() const {
    return Orientation == poPortrait ? Device().Printable.Height() : Device().Printable.Width();
}
// Turned a quarter counterclockwise, the sheet's top margin becomes the left one.
int TPrinter::PhysicalOffsetX() const {
    return Orientation == poPortrait ? Device().Printable.Left : Device().Printable.Top;
}
int TPrinter::PhysicalOffsetY() const {
    return Orientation == poPortrait ? Device().Printable.Top
                                     : Device().PaperWidth - Device().Printable.Right;
}

TPaintEngine* TPrinter::Measurer() const {
    TPaintEngine* measurer = peer_ ? peer_->Measurer() : nullptr;
    return measurer ? measurer : idle_.get();
}

void TPrinter::Refresh() {
    idle_->SetDeviceRect(TRect(0, 0, PageWidth(), PageHeight()));
    Canvas->Font->PixelsPerInch = PixelsPerInchY();
}

TPaintEngine* TPrinter::StartPage() {
    Canvas->ReleaseClip();
    Canvas->PenPos = TPoint(0, 0);
    if (peer_) return peer_->NewPage(Orientation);
    TPrintedDocument& doc = *documents_.back();
    doc.Pages.push_back(std::make_unique<TRecordingEngine>(TRect(0, 0, PageWidth(), PageHeight())));
    return doc.Pages.back().get();
}

void TPrinter::BeginDoc() {
    if (printing_) throw EPrinter("La stampa è già in corso");
    Refresh();
    aborted_ = false;
    page_ = 1;
    TPaintEngine* engine;
    if (peer_) {
        TPrintJob job{CurrentPrinterIndex(), Orientation, Title, Copies, FileName};
        engine = peer_->BeginDoc(job);
        Canvas->ReleaseClip();
        Canvas->PenPos = TPoint(0, 0);
        if (!engine) {
            // The device refused the document (it has told the user why):
            // nothing is printing, and the document counts as aborted, so a
            // print routine that checks Aborted() stops and none thinks it printed.
            aborted_ = true;
            Canvas->SetEngine(idle_.get());
            return;
        }
    } else {
        auto doc = std::make_unique<TPrintedDocument>();
        doc->Title = Title;
        doc->PrinterName = Device().Name;
        doc->Copies = Copies;
        doc->Orientation = Orientation;
        documents_.push_back(std::move(doc));
        engine = StartPage();
    }
    printing_ = true;
    Canvas->SetEngine(engine ? engine : idle_.get());
}

void TPrinter::NewPage() {
    if (!printing_ && aborted_) return;  // the rest of an aborted document goes nowhere
    if (!printing_) throw EPrinter("La stampante non sta stampando");
    ++page_;
    Refresh();
    TPaintEngine* engine = StartPage();
    Canvas->SetEngine(engine ? engine : idle_.get());
}

void TPrinter::EndDoc() {
    if (!printing_ && aborted_) return;
    if (!printing_) throw EPrinter("La stampante non sta stampando");
    if (peer_) peer_->EndDoc();
    printing_ = false;
    Canvas->SetEngine(idle_.get());
}

void TPrinter::Abort() {
    if (!printing_) return;
    if (peer_) peer_->Abort();
    if (!peer_ && !documents_.empty()) documents_.back()->Aborted = true;
    printing_ = false;
    aborted_ = true;
    Canvas->SetEngine(idle_.get());
}

TPrinter* Printer() {
    // Never freed: printing may run until the very end of the program.
    static TPrinter* printer = new TPrinter;
    return printer;
}
