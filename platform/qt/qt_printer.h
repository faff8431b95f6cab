#pragma once
// The printer over Qt's printer support: the system's printers and a PDF
// device that writes a file.
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "platform/backend.h"
#include "platform/qt/qt_paint.h"

namespace ovqt {

// The name of the device that prints to a PDF file, last in the list.
extern const char* const PdfDeviceName;

// The one question asked before a file is printed over, whichever way the
// file was chosen.
AnsiString ReplaceFileQuestion(const QString& file);

class TQtPrinterPeer : public TPrinterPeer {
public:
    TQtPrinterPeer();
    ~TQtPrinterPeer() override;

    std::vector<TPrinterDevice> Devices() override;
    int DefaultDevice() override;
    TPaintEngine* BeginDoc(const TPrintJob& job) override;
    TPaintEngine* NewPage(TPrinterOrientation orientation) override;
    void EndDoc() override;
    void Abort() override;
    TPaintEngine* Measurer() override { return &metrics_; }

    // The Qt printer that Qt's print dialogs configure.
    QPrinter& Printer() { return *printer_; }
    // Index of the device Qt's printer is set to now (after a dialog).
    int DeviceOfPrinter();
    // Sets Qt's printer to a device of the list.
    void SelectDevice(int device);
    // The file the next document on the PDF device goes to; empty: ask.
    // Confirmed: the person has already agreed to replace it (Qt's print
    // dialog asks so of an existing file); otherwise the job asks.
    void SetPdfFile(const QString& fileName, bool confirmed = false) {
        pdfFile_ = fileName;
        pdfConfirmed_ = confirmed;
    }
    const QString& PdfFile() const { return pdfFile_; }
    bool Printing() const { return painter_ != nullptr; }
    // Called when the peer goes.
    std::function<void()> OnGone;

    // The file a document named so is offered under: in the folder of the
    // last file written, else the home folder, with ".pdf".
    QString OfferedFile(const AnsiString& name) const;

    // Puts the PDF device's fixed settings on Qt's printer (600 dpi, a laser printer's unprintable edge).
    void PrepareForPdf();

private:
    // Measures text on Qt's printer whether a painter is active on it or not,
    // keeping the metrics of the last font (a layout measures row after row in one font).
    class TMetrics : public TQtPainterEngine {
    public:
        explicit TMetrics(TQtPrinterPeer& peer) : peer_(peer) {}
        TSize TextExtent(const TFontState& font, const AnsiString& text) override;
        // Qt's printer changed (another device, another resolution).
        void Forget() { metrics_.reset(); }

    protected:
        QPaintDevice* MetricsDevice() override { return peer_.printer_.get(); }

    private:
        TQtPrinterPeer& peer_;
        std::optional<QFontMetrics> metrics_;
        TFontState font_;
    };
    QStringList Names() const;
    TRect PageRect() const;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    TQtPainterEngine engine_;
    TMetrics metrics_{*this};
    QString pdfFile_;
    bool pdfConfirmed_ = false;
    QString lastFolder_;  // where the last file was written
    QString writing_;  // the PDF file of the document being printed
};

}  // namespace ovqt
