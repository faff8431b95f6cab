#pragma once
// The peers of controls and forms: each shows one model object as a Qt
// widget, pushes the model's changes to it and hands the person's actions
// back to the model.
//
// Kinds of peers:
// - native peers: edits, memos, buttons, check and radio buttons, combo
//   boxes, scroll bars over the matching Qt widgets;
// - surfaces: controls the model paints (panels, group boxes, list boxes,
//   grids, the form's client area). A surface keeps the pixels of its window
//   in a bitmap, as a screen keeps them: the model paints what was
//   invalidated, and drawing outside a paint (rubber bands in XOR mode)
//   lands in the same pixels and is shown at once;
// - graphic peers: controls without a window of their own (labels, bevels,
//   images, paint boxes, speed buttons), painted on their parent's surface
//   after the parent, and given the mouse events over their area.
#include <QCursor>
#include <QPointer>
#include <QRegion>
#include <QWidget>
#include <memory>
#include <type_traits>

#include "platform/application.h"
#include "platform/qt/qt_paint.h"

class QMenuBar;
class QEventLoop;
class QScrollBar;

namespace ovqt {

// Calls into the program from Qt's events: an exception a handler throws is
// shown to the person once the event is over, and the event loop goes on.
void ReportLater(const std::exception& e);
template <class F>
void Safely(F&& f) noexcept {
    try {
        f();
    } catch (const std::exception& e) {
        ReportLater(e);
    } catch (...) {
        ReportLater(Exception("Errore interno del programma"));
    }
}
// A slot that calls into the program safely (taking the signal's arguments when it wants them).
template <class F>
auto Guarded(F f) {
    return [f = std::move(f)](auto&&... args) {
        Safely([&] {
            if constexpr (std::is_invocable_v<const F&, decltype(args)...>)
                f(std::forward<decltype(args)>(args)...);
            else
                f();
        });
    };
}

class TQtControlPeer;
class TQtSurfacePeer;

// The peer that shows a widget (or the nearest of its ancestors that has one).
TQtControlPeer* PeerOfWidget(const QObject* object);
// Marks a widget that a peer adds over its control (a scroll bar, an arrow):
// the mouse over it is the widget's, not the control's.
void MarkDecoration(QWidget* widget);
bool IsDecoration(const QWidget* widget);
Qt::CursorShape CursorShape(int cursor);

// A widget whose pixels are a bitmap the model paints.
class TQtSurface : public QWidget {
public:
    TQtSurface(TQtSurfacePeer* peer, QWidget* parent);
    TBitmap& Buffer() { return buffer_; }
    // The engine over the whole buffer; drawing through it shows at once.
    TQtBitmapEngine& Engine() { return engine_; }
    // The model must paint r again before it is shown.
    void InvalidateModel(const QRect& r);
    // Paints what is pending now.
    void PaintPending();
    bool HasPending() const { return !pending_.isEmpty(); }
    // The peer is gone; the widget follows it soon.
    void Detach() { peer_ = nullptr; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void EnsureBuffer();
    TQtSurfacePeer* peer_;
    TBitmap buffer_;
    TQtBitmapEngine engine_;
    QRegion pending_;
    bool painting_ = false;
};

class TQtControlPeer : public TControlPeer {
public:
    explicit TQtControlPeer(TControl* control);
    ~TQtControlPeer() override;

    TControl* Control() const { return control_; }
    // The widget, nullptr for controls without a window.
    QWidget* Widget() const { return widget_; }
    // Where the widgets of windowed children go (nullptr: no children).
    virtual QWidget* Container() const { return nullptr; }
    // The widget whose mouse and keys are the control's (its client area).
    virtual QWidget* InputWidget() const { return widget_; }
    // Where graphic children are painted.
    virtual TQtSurfacePeer* SurfacePeer() { return nullptr; }

    void PropertyChanged(TPropId id, int index) override;
    void Invalidate(const TRect& r) override;
    void Update() override;
    void SetFocus() override;

    // Whether the widget takes keys itself (edits, buttons, lists); otherwise
    // the model is the control's whole behaviour and gets every key.
    virtual bool NativeKeys() const { return false; }
    // Keys whose effect the widget makes and the model's control would make too
    // (editing keys of edits): the model's handlers see them, not its editing.
    virtual bool WidgetEditsKey(WORD) const { return false; }
    // A key that a handler changed to another character goes in as this text.
    virtual void InsertText(const QString&) {}
    // Whether clicks come from the widget (buttons) rather than from the mouse.
    virtual bool NativeClick() const { return false; }
    // A key the model's handlers left alone that the control handles itself (lists).
    virtual bool DefaultKey(WORD, TShiftState) { return false; }
    // The wheel when the model's handlers left it.
    virtual bool WheelScroll(int) { return false; }
    // Shows what the model holds after the person's action went through it.
    virtual void Resync() {}
    // Places the widget in its parent's container, with the model's bounds.
    virtual void Place();

protected:
    // Before the widget hides with the focus in it: the focus to the
    // control the model gave it to.
    void FocusAwayBeforeHiding();
    // Gives the peer its widget and shows every property of the model on it.
    void Init(QWidget* widget);
    // One property, for the kind of control; the base handles what all share.
    virtual void Sync(TPropId id, int index);
    void SyncFont();
    void SyncColor();
    // True while the peer itself writes to the widget (its signals are not the person's).
    bool Quiet() const { return quiet_ > 0; }
    struct QuietScope {
        TQtControlPeer* p;
        explicit QuietScope(TQtControlPeer* peer) : p(peer) { ++p->quiet_; }
        ~QuietScope() { --p->quiet_; }
    };

    TControl* control_;
    QPointer<QWidget> widget_;
    int quiet_ = 0;
    // The pointer the widget shows of its own (an edit's text cursor).
    QCursor ownCursor_;
    bool hasOwnCursor_ = false;
};

// Controls the model paints, containers and the form's client area.
class TQtSurfacePeer : public TQtControlPeer {
public:
    explicit TQtSurfacePeer(TControl* control, bool create = true);
    ~TQtSurfacePeer() override;
    QWidget* Container() const override { return surface_; }
    QWidget* InputWidget() const override { return surface_; }
    TQtSurfacePeer* SurfacePeer() override { return this; }
    TQtSurface* Surface() const { return surface_; }
    void Invalidate(const TRect& r) override;
    void Update() override;
    TPaintEngine* PaintEngine() override;
    // Paints the control and its graphic children into the buffer (limit: pixels to renew).
    virtual void PaintSurface(TQtBitmapEngine& engine, const QRect& limit);
    // Paints what the control itself shows before the model's Paint.
    virtual void PaintBackground(QPainter& painter, const QRect& rect);

    // The children moved or changed size: scrolling controls show where they reach.
    virtual void ContentChanged() { SyncScrollBars(); }
    void Resync() override { SyncScrollBars(); }

protected:
    void MakeSurface(QWidget* parent);
    void Sync(TPropId id, int index) override;
    // Scroll bars of scroll boxes and forms whose children reach past the client area.
    void SyncScrollBars();
    QPointer<TQtSurface> surface_;
    QPointer<QScrollBar> hbar_, vbar_;
};

// Draws for a control without a window on its parent's pixels, inside the
// control's bounds as they are at each call; it stays the same object while
// the control moves, so that the control's canvas may keep it.
class TQtGraphicEngine : public TPaintEngine {
public:
    explicit TQtGraphicEngine(TControl* control) : control_(control) {}
    TRect DeviceRect() const override { return TRect(0, 0, control_->Width, control_->Height); }
    void Line(const TPaintState& s, TPoint from, TPoint to) override { Current().Line(s, from, to); }
    void Polyline(const TPaintState& s, std::span<const TPoint> p) override { Current().Polyline(s, p); }
    void Polygon(const TPaintState& s, std::span<const TPoint> p) override { Current().Polygon(s, p); }
    void Rectangle(const TPaintState& s, const TRect& r) override { Current().Rectangle(s, r); }
    void FillRect(const TPaintState& s, const TRect& r) override { Current().FillRect(s, r); }
    void FrameRect(const TPaintState& s, const TRect& r) override { Current().FrameRect(s, r); }
    void Ellipse(const TPaintState& s, const TRect& r) override { Current().Ellipse(s, r); }
    void Arc(const TPaintState& s, const TRect& r, TPoint a, TPoint b) override { Current().Arc(s, r, a, b); }
    void Text(const TPaintState& s, int x, int y, const AnsiString& t, const TRect* r) override {
        Current().Text(s, x, y, t, r);
    }
    TSize TextExtent(const TFontState& f, const AnsiString& t) override { return Current().TextExtent(f, t); }
    void DrawBitmap(const TPaintState& s, const TRect& d, const TBitmap& b, const TRect& src,
                    bool t) override {
        Current().DrawBitmap(s, d, b, src, t);
    }
    TColor GetPixel(int x, int y) override { return Current().GetPixel(x, y); }
    void SetPixel(const TPaintState& s, int x, int y, TColor c) override { Current().SetPixel(s, x, y, c); }
    void FloodFill(const TPaintState& s, int x, int y, TColor c, TFillStyle f) override {
        Current().FloodFill(s, x, y, c, f);
    }

private:
    TPaintEngine& Current();
    TControl* control_;
    std::unique_ptr<TQtBitmapEngine> engine_;
    QPointer<TQtSurface> surface_;
    TRecordingEngine nowhere_;  // while the parent shows nothing
};

// Controls without a window: painted on the parent's surface.
class TQtGraphicPeer : public TQtControlPeer {
public:
    explicit TQtGraphicPeer(TControl* control);
    ~TQtGraphicPeer() override;
    void Invalidate(const TRect& r) override;
    void Update() override;
    TPaintEngine* PaintEngine() override;
    void Place() override;

protected:
    void Sync(TPropId id, int index) override;

private:
    TQtSurfacePeer* ParentSurface() const;
    void InvalidateArea(const TRect& bounds);
    TQtGraphicEngine engine_;
    TRect shown_;  // where the control was last shown on its parent
};

// A form: a top-level window holding the menu bar and the client surface.
class TQtFormPeer : public TQtSurfacePeer {
public:
    explicit TQtFormPeer(TCustomForm* form);
    ~TQtFormPeer() override;
    void RunModal() override;
    void EndModal() override;
    void Place() override;
    void PaintBackground(QPainter& painter, const QRect& rect) override;
    // Puts the menu bar of the form's main menu in the window (or takes it out).
    void AttachMenu();
    TCustomForm* Form() const { return form_; }
    // From the window: the person moved, resized, closed or activated it.
    void WindowMoved();
    void WindowResized();
    bool CloseRequested();
    void WindowActivated();
    void WindowStateChanged();

protected:
    void Sync(TPropId id, int index) override;

private:
    void LayoutClient();
    void ApplyFlags();
    TCustomForm* form_;
    QPointer<QMenuBar> menuBar_;
    QEventLoop* loop_ = nullptr;
    bool checkPosted_ = false;
    bool fromWindow_ = false;
};

}  // namespace ovqt
