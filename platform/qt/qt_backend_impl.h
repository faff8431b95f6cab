#pragma once
// The back end object behind AttachQtBackend.
#include <QElapsedTimer>
#include <QObject>
#include <memory>

#include "platform/application.h"
#include "platform/backend.h"

namespace ovqt {

class TQtPrinterPeer;

class TQtBackend : public TBackend {
public:
    TQtBackend();
    ~TQtBackend() override;

    int MessageBox(const AnsiString& text, const AnsiString& caption, int flags) override;

    TControlPeer* CreatePeer(TControl* control) override;
    TMenuPeer* CreateMenuPeer(TMenu* menu) override;
    TTimerPeer* CreateTimerPeer(TTimer* timer) override;
    TPrinterPeer* CreatePrinterPeer(TPrinter* printer) override;

    bool ExecuteOpenDialog(TOpenDialog& dialog) override;
    bool ExecuteSaveDialog(TSaveDialog& dialog) override;
    bool ExecuteColorDialog(TColorDialog& dialog) override;
    bool ExecutePrintDialog(TPrintDialog& dialog) override;
    bool ExecutePrinterSetupDialog(TPrinterSetupDialog& dialog) override;
    bool SelectDirectory(const AnsiString& caption, const AnsiString& root, AnsiString& directory) override;

    // The peer of the program's printer (made with the printer at first use).
    TQtPrinterPeer* PrinterPeer();

    void Run() override;
    void Quit() override;
    void ProcessMessages() override;
    void Post(std::function<void()> fn) override;
    unsigned TickCount() override;
    TScreenMetrics ScreenMetrics() override;
    TPoint CursorPos() override;
    void SetCursor(int cursor) override;

private:
    QElapsedTimer clock_;
    std::unique_ptr<QObject> input_;
    TQtPrinterPeer* printer_ = nullptr;
    bool overrideCursor_ = false;
};

}  // namespace ovqt
