// Printing through QPrinter.
#include "platform/qt/qt_printer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinterInfo>

#include "platform/application.h"

namespace ovqt {

const char* const PdfDeviceName = "PDF";

namespace {

// Files have no resolution of their own: print them as a good laser printer
// would, at 600 dpi and keeping its unprintable edge of 12 pt (100 pixels)
// free, so that a page printed from the file loses nothing at the sheet's edges.
constexpr int PdfDpi = 600;
constexpr double PdfEdgePoints = 12.0;

void SetPdfPage(QPrinter& p) {
    p.setResolution(PdfDpi);
    p.setFullPage(false);
    p.setPageMargins(QMarginsF(PdfEdgePoints, PdfEdgePoints, PdfEdgePoints, PdfEdgePoints),
                     QPageLayout::Point);
}

TPrinterDevice Describe(QPrinter& p, const QString& name) {
    TPrinterDevice d;
    d.Name = FromQString(name);
    QPageLayout layout = p.pageLayout();
    layout.setOrientation(QPageLayout::Portrait);
    int dpi = p.resolution();
    d.DpiX = d.DpiY = dpi;
    QRect full = layout.fullRectPixels(dpi);
    d.PaperWidth = full.width();
    d.PaperHeight = full.height();
    d.Printable =
        p.fullPage() ? TRect(0, 0, full.width(), full.height()) : FromQRect(layout.paintRectPixels(dpi));
    return d;
}

}  // namespace

AnsiString ReplaceFileQuestion(const QString& file) {
    return "Il file \"" + FromQString(QDir::toNativeSeparators(file)) + "\" esiste già. Sostituirlo?";
}

TQtPrinterPeer::TQtPrinterPeer() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    QString def = QPrinterInfo::defaultPrinterName();
    if (def.isEmpty() && Names().isEmpty()) PrepareForPdf();
}

TQtPrinterPeer::~TQtPrinterPeer() {
    if (painter_) Abort();
    if (OnGone) OnGone();
}

QStringList TQtPrinterPeer::Names() const { return QPrinterInfo::availablePrinterNames(); }

void TQtPrinterPeer::PrepareForPdf() {
    metrics_.Forget();
    if (printer_->outputFormat() != QPrinter::PdfFormat) {
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setPageSize(QPageSize(QPageSize::A4));
    }
    SetPdfPage(*printer_);
}

std::vector<TPrinterDevice> TQtPrinterPeer::Devices() {
    std::vector<TPrinterDevice> list;
    for (const QString& name : Names()) {
        QPrinter p(QPrinterInfo::printerInfo(name), QPrinter::HighResolution);
        list.push_back(Describe(p, name));
    }
    // The PDF device keeps the paper a print dialog chose for it.
    if (printer_->outputFormat() == QPrinter::PdfFormat) {
        PrepareForPdf();
        list.push_back(Describe(*printer_, PdfDeviceName));
    } else {
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        SetPdfPage(pdf);
        list.push_back(Describe(pdf, PdfDeviceName));
    }
    return list;
}

int TQtPrinterPeer::DefaultDevice() {
    int i = static_cast<int>(Names().indexOf(QPrinterInfo::defaultPrinterName()));
    return i >= 0 ? i : 0;
}

int TQtPrinterPeer::DeviceOfPrinter() {
    QStringList names = Names();
    if (printer_->outputFormat() == QPrinter::PdfFormat) return static_cast<int>(names.size());
    int i = static_cast<int>(names.indexOf(printer_->printerName()));
    return i >= 0 ? i : DefaultDevice();
}

void TQtPrinterPeer::SelectDevice(int device) {
    QStringList names = Names();
    if (device >= 0 && device < names.size()) {
        if (printer_->outputFormat() == QPrinter::PdfFormat || printer_->printerName() != names[device]) {
            printer_ = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(names[device]),
                                                  QPrinter::HighResolution);
            metrics_.Forget();
        }
    } else {
        PrepareForPdf();
    }
}

QString TQtPrinterPeer::OfferedFile(const AnsiString& name) const {
    if (name.empty()) return QString();
    const QString folder = lastFolder_.isEmpty() ? QDir::homePath() : lastFolder_;
    return QDir(folder).filePath(ToQString(name) + ".pdf");
}

TSize TQtPrinterPeer::TMetrics::TextExtent(const TFontState& font, const AnsiString& text) {
    if (!metrics_ || !(font == font_)) {
        metrics_.emplace(ToQFont(font), MetricsDevice());
        font_ = font;
    }
    return TSize{metrics_->horizontalAdvance(ToQString(text)), metrics_->height()};
}

TRect TQtPrinterPeer::PageRect() const { return TRect(0, 0, printer_->width(), printer_->height()); }

TPaintEngine* TQtPrinterPeer::BeginDoc(const TPrintJob& job) {
    if (painter_) return &engine_;
    SelectDevice(job.Device);
    metrics_.Forget();  // a print dialog may have set Qt's printer up anew
    if (printer_->outputFormat() == QPrinter::PdfFormat) {
        // Printed on the PDF device without Qt's print dialog: Qt's file dialog names the file.
        QString file = pdfFile_;
        const bool confirmed = pdfConfirmed_;
        pdfFile_.clear();
        pdfConfirmed_ = false;
        if (file.isEmpty())
            file = QFileDialog::getSaveFileName(
                QApplication::activeWindow(), QString::fromUtf8("Stampa su file PDF"), OfferedFile(job.FileName),
                QString::fromUtf8("Documenti PDF (*.pdf)"), nullptr,
                QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
        if (file.isEmpty()) return nullptr;
        const QString chosen = file;
        if (QFileInfo(file).suffix().isEmpty()) file += ".pdf";
        // One question before a file is replaced, about the very file written.
        if (QFileInfo::exists(file) && !(confirmed && file == chosen) &&
            Application->MessageBox(ReplaceFileQuestion(file), Application->Title,
                                    MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
            return nullptr;
        printer_->setOutputFileName(file);
        writing_ = file;
        lastFolder_ = QFileInfo(file).absolutePath();
    } else {
        writing_.clear();
    }
    printer_->setPageOrientation(job.Orientation == poLandscape ? QPageLayout::Landscape
                                                                : QPageLayout::Portrait);
    printer_->setDocName(ToQString(job.Title));
    printer_->setCopyCount(std::max(1, job.Copies));
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(printer_.get())) {
        painter_.reset();
        QString where = writing_.isEmpty() ? printer_->printerName() : writing_;
        writing_.clear();
        Application->MessageBox("Impossibile stampare su \"" + FromQString(where) + "\".", Application->Title,
                                MB_OK | MB_ICONERROR);
        return nullptr;
    }
    engine_.Attach(painter_.get(), PageRect());
    return &engine_;
}

TPaintEngine* TQtPrinterPeer::NewPage(TPrinterOrientation orientation) {
    if (!painter_) return nullptr;
    // Set before the new page, the layout applies from that page on.
    printer_->setPageOrientation(orientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer_->newPage();
    engine_.Attach(painter_.get(), PageRect());
    return &engine_;
}

void TQtPrinterPeer::EndDoc() {
    if (!painter_) return;
    painter_->end();
    painter_.reset();
    engine_.Attach(nullptr, TRect());
    writing_.clear();
}

void TQtPrinterPeer::Abort() {
    if (!painter_) return;
    printer_->abort();
    painter_->end();
    painter_.reset();
    engine_.Attach(nullptr, TRect());
    if (!writing_.isEmpty()) QFile::remove(writing_);
    writing_.clear();
}

}  // namespace ovqt
