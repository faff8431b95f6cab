#pragma once
// The back-end interface: what a real user interface (the Qt back end)
// implements so that the control model shows up on screen.
//
// The model is complete without a back end: every control, form, menu,
// timer, dialog and the printer is plain working state, and whatever needs a
// person or the clock is answered by the application's scripted stand-in
// (TScript). A back end, chosen once by the program's entry point
// (Application->SetBackend), makes a peer for each object when it is first
// needed and answers the blocking calls.
//
// The conversation, both ways:
// - model to peer: a property set by the program calls the peer's
//   PropertyChanged with its id; the peer reads the new value from the model
//   object. Structure changes (list items, tree nodes, grid cells, menu items)
//   come the same way with their own ids.
// - peer to model: a person's action goes through the same entry points that
//   tests use: TControl::UserSet(property, value) for a value the person
//   changed (it fires exactly the events the person's change fires and is not
//   echoed back to the peer), TControl::MouseDown/MouseMove/MouseUp/Click/
//   DblClick/MouseWheel, TCustomForm::HandleKeyDown/HandleKeyPress/
//   HandleKeyUp, TControl::UserFocus, TControl::PaintTo for controls the model
//   paints, TMenuItem::Click, TTimer::Tick.
// Peers are owned by their model object and deleted before it goes, the
// children's peers before their parent's. A new peer reads the whole state of
// its control (it hears only later changes).
#include <functional>
#include <vector>

#include "platform/graphics.h"
#include "platform/properties.h"

class TControl;
class TMenu;
class TMenuItem;
class TTimer;
class TPrinter;
class TOpenDialog;
class TSaveDialog;
class TColorDialog;
class TPrintDialog;
class TPrinterSetupDialog;

// The widget of one control or form.
class TControlPeer {
public:
    virtual ~TControlPeer() = default;
    // A property changed in the model; index names the item of a list
    // property (-1: the whole property).
    virtual void PropertyChanged(TPropId id, int index = -1) = 0;
    // Controls the model paints (TControl::ModelPainted): this part of the
    // client area needs painting; the peer later calls TControl::PaintTo.
    virtual void Invalidate(const TRect& r) = 0;
    // Paint what is pending now.
    virtual void Update() {}
    // The program moved the focus here.
    virtual void SetFocus() {}
    // Forms: show modally and run events until EndModal. After every event
    // that set the form's ModalResult, the loop asks TCustomForm::CheckModalEnd
    // whether the form may close.
    virtual void RunModal() {}
    virtual void EndModal() {}
    // Drawing on the control outside a paint (the control's Canvas uses it);
    // nullptr to let the canvas record.
    virtual TPaintEngine* PaintEngine() { return nullptr; }
};

// The menu bar or popup menu of one TMenu.
class TMenuPeer {
public:
    virtual ~TMenuPeer() = default;
    // An item's property changed; TPropId::MenuItems: its sub-items changed.
    virtual void ItemChanged(TMenuItem* item, TPropId id) = 0;
    // Popup menus: show at a screen point; a chosen item gets TMenuItem::Click.
    virtual void Popup(int x, int y) = 0;
};

// A running clock for one TTimer: after every change of Enabled or Interval
// the peer reads them and calls TTimer::Tick every Interval ms while enabled.
class TTimerPeer {
public:
    virtual ~TTimerPeer() = default;
    virtual void Changed() = 0;
};

enum TPrinterOrientation { poPortrait, poLandscape };

// One printer as the platform sees it; sizes in device pixels, portrait.
struct TPrinterDevice {
    AnsiString Name;
    int DpiX = 600;
    int DpiY = 600;
    int PaperWidth = 4961;   // 210 mm
    int PaperHeight = 7016;  // 297 mm
    TRect Printable = TRect(100, 100, 4861, 6916);
};

struct TPrintJob {
    int Device = 0;
    TPrinterOrientation Orientation = poPortrait;
    AnsiString Title;
    int Copies = 1;
    AnsiString FileName;  // the name a file is offered under (TPrinter::FileName)
};

class TPrinterPeer {
public:
    virtual ~TPrinterPeer() = default;
    virtual std::vector<TPrinterDevice> Devices() = 0;
    virtual int DefaultDevice() { return 0; }
    // Each returns the engine of the page now being printed (owned by the peer).
    virtual TPaintEngine* BeginDoc(const TPrintJob& job) = 0;
    // The next page in this orientation (a job may turn between pages).
    virtual TPaintEngine* NewPage(TPrinterOrientation orientation) = 0;
    virtual void EndDoc() = 0;
    virtual void Abort() = 0;
    // An engine that measures text as the printed pages will, printing or
    // not (owned by the peer); nullptr: the pages measure as the headless metrics.
    virtual TPaintEngine* Measurer() { return nullptr; }
};

struct TScreenMetrics {
    int Width = 1280;
    int Height = 1024;
    int PixelsPerInch = 96;
    std::vector<AnsiString> Fonts{"Arial",           "Courier New",      "Liberation Mono",
                                  "Liberation Sans", "Liberation Serif", "Times New Roman"};
};

class TBackend {
public:
    virtual ~TBackend() = default;
    virtual int MessageBox(const AnsiString& text, const AnsiString& caption, int flags) = 0;

    // Peers; nullptr leaves the object without one.
    virtual TControlPeer* CreatePeer(TControl*) { return nullptr; }
    virtual TMenuPeer* CreateMenuPeer(TMenu*) { return nullptr; }
    virtual TTimerPeer* CreateTimerPeer(TTimer*) { return nullptr; }
    virtual TPrinterPeer* CreatePrinterPeer(TPrinter*) { return nullptr; }

    // Common dialogs: true when the person accepted; the dialog object holds the answer.
    virtual bool ExecuteOpenDialog(TOpenDialog&) { return false; }
    virtual bool ExecuteSaveDialog(TSaveDialog&) { return false; }
    virtual bool ExecuteColorDialog(TColorDialog&) { return false; }
    virtual bool ExecutePrintDialog(TPrintDialog&) { return false; }
    virtual bool ExecutePrinterSetupDialog(TPrinterSetupDialog&) { return false; }
    virtual bool SelectDirectory(const AnsiString& /*caption*/, const AnsiString& /*root*/,
                                 AnsiString& /*directory*/) {
        return false;
    }

    // The event loop.
    virtual void Run() {}
    virtual void Quit() {}
    virtual void ProcessMessages() {}
    // Runs fn later, from the event loop.
    virtual void Post(std::function<void()> fn) = 0;
    // Milliseconds of a steady clock.
    virtual unsigned TickCount() = 0;
    virtual TScreenMetrics ScreenMetrics() { return {}; }
    virtual TPoint CursorPos() { return {}; }
    virtual void SetCursor(int /*cursor*/) {}
};
