// The peers every control shares: placing widgets, surfaces the model
// paints, controls without a window, and forms.
#include "platform/qt/qt_peers.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QMenuBar>
#include <QPaintEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QVariant>
#include <algorithm>
#include <qdrawutil.h>

#include "platform/forms.h"
#include "platform/menus.h"
#include "platform/qt/qt_input.h"
#include "platform/qt/qt_menus.h"

namespace ovqt {

namespace {
const char* const PeerProperty = "ovqtPeer";

QRect Intersected(const QRect& a, const QRect& b) { return a & b; }
}  // namespace

void ReportLater(const std::exception& e) {
    AnsiString message = e.what();
    QTimer::singleShot(0, qApp,
                       [message] { Safely([&] { Application->HandleException(Exception(message)); }); });
}

void MarkDecoration(QWidget* widget) { widget->setProperty("ovqtDecoration", true); }

bool IsDecoration(const QWidget* widget) { return widget->property("ovqtDecoration").toBool(); }

TQtControlPeer* PeerOfWidget(const QObject* object) {
    for (const QObject* o = object; o; o = o->parent()) {
        QVariant v = o->property(PeerProperty);
        if (v.isValid()) return static_cast<TQtControlPeer*>(v.value<void*>());
    }
    return nullptr;
}

Qt::CursorShape CursorShape(int cursor) {
    switch (cursor) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass: return Qt::WaitCursor;
    case crDrag:
    case crMultiDrag: return Qt::DragMoveCursor;
    case crNoDrop:
    case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}

// ---------------------------------------------------------------- surface widget

TQtSurface::TQtSurface(TQtSurfacePeer* peer, QWidget* parent)
    : QWidget(parent), peer_(peer), engine_(buffer_) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    // Drawing outside a paint shows as soon as the event loop runs.
    engine_.OnTouched = [this](const QRect& r) { update(r); };
}

void TQtSurface::EnsureBuffer() {
    if (buffer_.Width != width() || buffer_.Height != height()) {
        buffer_.SetSize(std::max(0, width()), std::max(0, height()));
        pending_ = QRegion(rect());
    }
}

void TQtSurface::InvalidateModel(const QRect& r) {
    QRect area = r & rect();
    if (area.isEmpty()) return;
    pending_ += area;
    update(area);
}

void TQtSurface::PaintPending() {
    EnsureBuffer();
    if (pending_.isEmpty() || painting_ || buffer_.Empty() || !peer_) return;
    painting_ = true;
    QRect limit = pending_.boundingRect() & rect();
    pending_ = QRegion();
    engine_.SetLimit(limit);
    {
        struct Reset {
            TQtBitmapEngine& e;
            bool& flag;
            ~Reset() {
                e.ClearLimit();
                flag = false;
            }
        } reset{engine_, painting_};
        peer_->PaintSurface(engine_, limit);
    }
}

void TQtSurface::paintEvent(QPaintEvent* event) {
    Safely([this] { PaintPending(); });
    QPainter p(this);
    QImage image = WrapBitmap(buffer_);
    if (image.isNull()) return;
    for (const QRect& r : event->region()) p.drawImage(r.topLeft(), image, r);
}

void TQtSurface::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    EnsureBuffer();
}

// ---------------------------------------------------------------- every peer

TQtControlPeer::TQtControlPeer(TControl* control) : control_(control) {}

TQtControlPeer::~TQtControlPeer() {
    if (!widget_) return;
    QWidget* w = widget_;
    w->setProperty(PeerProperty, QVariant());
    QObject::disconnect(w, nullptr, nullptr, nullptr);
    w->hide();
    // The widget may be in the middle of one of its own events (a button
    // whose click frees its form): it goes once that event is over.
    w->deleteLater();
}

void TQtControlPeer::Init(QWidget* widget) {
    widget_ = widget;
    hasOwnCursor_ = widget->testAttribute(Qt::WA_SetCursor);
    if (hasOwnCursor_) ownCursor_ = widget->cursor();
    widget->setProperty(PeerProperty, QVariant::fromValue<void*>(this));
    widget->setMouseTracking(true);
    QuietScope quiet(this);
    Place();
    SyncFont();
    SyncColor();
    for (TPropId id : {TPropId::Enabled, TPropId::Hint, TPropId::Cursor, TPropId::None}) Sync(id, -1);
}

void TQtControlPeer::Place() {
    if (!widget_) return;
    QWidget* container = nullptr;
    if (TWinControl* parent = control_->Parent)
        if (auto pp = dynamic_cast<TQtControlPeer*>(parent->Peer())) container = pp->Container();
    if (widget_->parentWidget() != container) {
        widget_->setParent(container);
        // Windowed controls stack above each other in the model's order.
        if (container) widget_->raise();
    }
    widget_->setGeometry(control_->Left, control_->Top, control_->Width, control_->Height);
    const bool shown = control_->Visible && container != nullptr;
    if (!shown && widget_->isVisible()) FocusAwayBeforeHiding();
    widget_->setVisible(shown);
    if (TWinControl* parent = control_->Parent)
        if (auto pp = dynamic_cast<TQtControlPeer*>(parent->Peer()))
            if (TQtSurfacePeer* sp = pp->SurfacePeer(); sp && sp != this) sp->ContentChanged();
}

// Qt hands the focus of a widget it hides to the next widget of its chain,
// whose control would then take the model's focus (FocusIn): a grid's cell
// editor closed by Enter would pass the keys that follow to a box of the
// form. The focus goes first to the control the model has given it to.
void TQtControlPeer::FocusAwayBeforeHiding() {
    QWidget* focus = QApplication::focusWidget();
    if (!focus || (focus != widget_ && !widget_->isAncestorOf(focus))) return;
    TCustomForm* form = GetParentForm(control_);
    TWinControl* focused = form ? form->FocusedControl() : nullptr;
    auto* peer = focused && focused != control_ ? dynamic_cast<TQtControlPeer*>(focused->Peer()) : nullptr;
    QWidget* to = peer ? peer->InputWidget() : nullptr;
    if (!to || !to->isVisible() || to == widget_ || widget_->isAncestorOf(to)) return;
    to->setFocus(Qt::OtherFocusReason);
}

void TQtControlPeer::PropertyChanged(TPropId id, int index) {
    if (!widget_ && !dynamic_cast<TQtGraphicPeer*>(this)) return;
    QuietScope quiet(this);
    Sync(id, index);
}

void TQtControlPeer::Sync(TPropId id, int) {
    if (!widget_) return;
    switch (id) {
    case TPropId::Left:
    case TPropId::Top:
    case TPropId::Width:
    case TPropId::Height:
    case TPropId::ClientWidth:
    case TPropId::ClientHeight:
    case TPropId::Bounds:
    case TPropId::Parent:
    case TPropId::Visible: Place(); break;
    case TPropId::ZOrder:
        if (TWinControl* parent = control_->Parent)
            for (int i = 0; i < parent->ControlCount(); ++i)
                if (auto p = dynamic_cast<TQtControlPeer*>(parent->Controls(i)->Peer()); p && p->Widget())
                    p->Widget()->raise();
        break;
    case TPropId::Enabled: widget_->setEnabled(control_->Enabled); break;
    case TPropId::Font:
    case TPropId::ParentFont: SyncFont(); break;
    case TPropId::Color:
    case TPropId::ParentColor: SyncColor(); break;
    case TPropId::Hint:
    case TPropId::ShowHint:
        widget_->setToolTip(control_->ShowHint ? ToQString(control_->Hint) : QString());
        break;
    case TPropId::Cursor:
        if (control_->Cursor != crDefault)
            widget_->setCursor(CursorShape(control_->Cursor));
        else if (hasOwnCursor_)
            widget_->setCursor(ownCursor_);
        else
            widget_->unsetCursor();
        break;
    default: break;
    }
}

namespace {
// The control's own colour while it is enabled; disabled, the style's greys
// show that it takes no input.
void SetEnabledColour(QPalette& pal, QPalette::ColorRole role, const QColor& colour) {
    pal.setColor(QPalette::Active, role, colour);
    pal.setColor(QPalette::Inactive, role, colour);
    pal.setColor(QPalette::Disabled, role, QApplication::palette().color(QPalette::Disabled, role));
}
}  // namespace

void TQtControlPeer::SyncFont() {
    if (!widget_) return;
    QFont f = ToQFont(*control_->Font);
    widget_->setFont(f);
    QPalette pal = widget_->palette();
    QColor ink = ToQColor(control_->Font->Color);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        SetEnabledColour(pal, role, ink);
    widget_->setPalette(pal);
}

void TQtControlPeer::SyncColor() {
    if (!widget_) return;
    QPalette pal = widget_->palette();
    QColor back = ToQColor(control_->Color);
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base}) SetEnabledColour(pal, role, back);
    widget_->setPalette(pal);
}

void TQtControlPeer::Invalidate(const TRect&) {
    if (widget_) widget_->update();
}

void TQtControlPeer::Update() {
    if (widget_) widget_->repaint();
}

void TQtControlPeer::SetFocus() {
    QWidget* w = InputWidget();
    if (!w || !w->isVisible()) return;
    // The model moves the focus (Tab, a form shown, a handler), so Qt never
    // sees the Tab key that would make its styles draw the focus mark, and a
    // click clears it: the control the model focuses is marked, always.
    w->window()->setAttribute(Qt::WA_KeyboardFocusChange);
    w->setFocus(Qt::OtherFocusReason);
}

// ---------------------------------------------------------------- surfaces

TQtSurfacePeer::TQtSurfacePeer(TControl* control, bool create) : TQtControlPeer(control) {
    if (!create) return;
    MakeSurface(nullptr);
    surface_->setFocusPolicy(dynamic_cast<TWinControl*>(control) ? Qt::ClickFocus : Qt::NoFocus);
    Init(surface_);
}

TQtSurfacePeer::~TQtSurfacePeer() {
    if (!surface_) return;
    surface_->Detach();
    surface_->setProperty(PeerProperty, QVariant());
}

void TQtSurfacePeer::MakeSurface(QWidget* parent) { surface_ = new TQtSurface(this, parent); }

TPaintEngine* TQtSurfacePeer::PaintEngine() { return surface_ ? &surface_->Engine() : nullptr; }

void TQtSurfacePeer::Invalidate(const TRect& r) {
    if (surface_) surface_->InvalidateModel(ToQRect(r));
}

void TQtSurfacePeer::Update() {
    if (!surface_) return;
    surface_->PaintPending();
    surface_->repaint();
}

void TQtSurfacePeer::SyncScrollBars() {
    auto scrolling = dynamic_cast<TScrollingWinControl*>(control_);
    if (!scrolling || !surface_) return;
    QuietScope quiet(this);
    for (bool horizontal : {true, false}) {
        TControlScrollBar* model = horizontal ? scrolling->HorzScrollBar : scrolling->VertScrollBar;
        int client = horizontal ? control_->ClientWidth : control_->ClientHeight;
        int range = model->Range;
        if (scrolling->AutoScroll) range = std::max(range, scrolling->ContentExtent(horizontal));
        bool show = model->Visible && range > client;
        QPointer<QScrollBar>& bar = horizontal ? hbar_ : vbar_;
        if (!show) {
            if (bar) bar->hide();
            continue;
        }
        if (!bar) {
            bar = new QScrollBar(horizontal ? Qt::Horizontal : Qt::Vertical, surface_);
            bar->setFocusPolicy(Qt::NoFocus);
            MarkDecoration(bar);
            QScrollBar* b = bar;
            QObject::connect(b, &QScrollBar::valueChanged, b, Guarded([this, horizontal](int v) {
                                 if (Quiet()) return;
                                 auto sc = static_cast<TScrollingWinControl*>(control_);
                                 (horizontal ? sc->HorzScrollBar : sc->VertScrollBar)->Position = v;
                             }));
        }
        int thickness = bar->sizeHint().width();
        if (horizontal) thickness = bar->sizeHint().height();
        bar->setRange(0, range - client);
        bar->setPageStep(std::max(1, client));
        bar->setSingleStep(std::max(1, model->Increment.Get()));
        bar->setValue(model->Position);
        if (horizontal)
            bar->setGeometry(0, control_->ClientHeight - thickness, control_->ClientWidth, thickness);
        else
            bar->setGeometry(control_->ClientWidth - thickness, 0, thickness, control_->ClientHeight);
        bar->raise();
        bar->show();
    }
}

void TQtSurfacePeer::Sync(TPropId id, int index) {
    TQtControlPeer::Sync(id, index);
    switch (id) {
    case TPropId::None:
    case TPropId::HorzScrollBar:
    case TPropId::VertScrollBar:
    case TPropId::AutoScroll:
    case TPropId::Bounds:
    case TPropId::Width:
    case TPropId::Height: SyncScrollBars(); break;
    default: break;
    }
    switch (id) {
    case TPropId::Color:
    case TPropId::ParentColor:
    case TPropId::Caption:
    case TPropId::Enabled:
    case TPropId::Font:
        if (surface_) surface_->InvalidateModel(surface_->rect());
        break;
    default: break;
    }
}

void TQtSurfacePeer::PaintBackground(QPainter& painter, const QRect& rect) {
    painter.fillRect(rect, ToQColor(control_->Color));
    if (auto box = dynamic_cast<TScrollBox*>(control_); box && box->BorderStyle == bsSingle)
        qDrawWinPanel(&painter, surface_->rect(), surface_->palette(), true);
}

void TQtSurfacePeer::PaintSurface(TQtBitmapEngine& engine, const QRect& limit) {
    QImage image = WrapBitmap(surface_->Buffer());
    {
        QPainter p(&image);
        p.setClipRect(limit);
        PaintBackground(p, limit);
    }
    if (control_->ModelPainted()) control_->PaintTo(&engine);
    // Controls without a window of their own, in the model's order.
    auto parent = dynamic_cast<TWinControl*>(control_);
    if (!parent) return;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* child = parent->Controls(i);
        if (!child->Visible || !dynamic_cast<TGraphicControl*>(child)) continue;
        QRect bounds(child->Left, child->Top, child->Width, child->Height);
        if (!bounds.intersects(limit)) continue;
        TQtBitmapEngine view(surface_->Buffer());
        view.SetView(bounds.topLeft(), bounds.size());
        view.SetLimit(Intersected(limit, bounds));
        child->PaintTo(&view);
    }
}

// ---------------------------------------------------------------- controls without a window

TPaintEngine& TQtGraphicEngine::Current() {
    TQtSurface* surface = nullptr;
    if (TWinControl* parent = control_->Parent)
        if (auto pp = dynamic_cast<TQtControlPeer*>(parent->Peer()))
            if (TQtSurfacePeer* sp = pp->SurfacePeer()) surface = sp->Surface();
    if (!surface) {
        nowhere_.Clear();
        nowhere_.SetDeviceRect(DeviceRect());
        return nowhere_;
    }
    if (!engine_ || surface_ != surface) {
        engine_ = std::make_unique<TQtBitmapEngine>(surface->Buffer());
        surface_ = surface;
        QPointer<TQtSurface> target(surface);
        engine_->OnTouched = [target](const QRect& r) {
            if (target) target->update(r);
        };
    }
    engine_->SetView(QPoint(control_->Left, control_->Top), QSize(control_->Width, control_->Height));
    return *engine_;
}

TQtGraphicPeer::TQtGraphicPeer(TControl* control) : TQtControlPeer(control), engine_(control) { Place(); }

TQtGraphicPeer::~TQtGraphicPeer() {
    if (TQtSurfacePeer* s = ParentSurface(); s && s->Surface())
        s->Surface()->InvalidateModel(ToQRect(shown_));
}

TQtSurfacePeer* TQtGraphicPeer::ParentSurface() const {
    if (TWinControl* parent = control_->Parent)
        if (auto pp = dynamic_cast<TQtControlPeer*>(parent->Peer())) return pp->SurfacePeer();
    return nullptr;
}

void TQtGraphicPeer::InvalidateArea(const TRect& bounds) {
    TQtSurfacePeer* s = ParentSurface();
    if (s && s->Surface()) s->Surface()->InvalidateModel(ToQRect(bounds));
}

void TQtGraphicPeer::Place() {
    TRect now = control_->Visible ? control_->BoundsRect() : TRect();
    InvalidateArea(shown_);
    InvalidateArea(now);
    shown_ = now;
}

void TQtGraphicPeer::Sync(TPropId id, int) {
    switch (id) {
    case TPropId::Left:
    case TPropId::Top:
    case TPropId::Width:
    case TPropId::Height:
    case TPropId::Bounds:
    case TPropId::Parent:
    case TPropId::Visible:
    case TPropId::ZOrder: Place(); break;
    default: InvalidateArea(control_->BoundsRect()); break;
    }
}

void TQtGraphicPeer::Invalidate(const TRect& r) {
    InvalidateArea(OffsetRect(IntersectRect(r, control_->ClientRect()), control_->Left, control_->Top));
}

void TQtGraphicPeer::Update() {
    if (TQtSurfacePeer* s = ParentSurface()) s->Update();
}

TPaintEngine* TQtGraphicPeer::PaintEngine() { return &engine_; }

// ---------------------------------------------------------------- forms

namespace {

// The top-level window of a form: it tells the peer what the person and the
// window system did to it.
class FormWindow : public QWidget {
public:
    explicit FormWindow(TQtFormPeer* peer) : QWidget(nullptr, Qt::Window), peer_(peer) {}

protected:
    void moveEvent(QMoveEvent* e) override {
        QWidget::moveEvent(e);
        if (peer_) Safely([this] { peer_->WindowMoved(); });
    }
    void resizeEvent(QResizeEvent* e) override {
        QWidget::resizeEvent(e);
        if (peer_) Safely([this] { peer_->WindowResized(); });
    }
    void closeEvent(QCloseEvent* e) override {
        // The model decides: OnCloseQuery, OnClose, the modal result.
        bool close = true;
        if (peer_) Safely([&] { close = peer_->CloseRequested(); });
        if (!close) e->ignore();
    }
    void changeEvent(QEvent* e) override {
        QWidget::changeEvent(e);
        if (!peer_) return;
        if (e->type() == QEvent::ActivationChange && isActiveWindow())
            Safely([this] { peer_->WindowActivated(); });
        if (e->type() == QEvent::WindowStateChange) Safely([this] { peer_->WindowStateChanged(); });
    }

public:
    TQtFormPeer* peer_;
};

}  // namespace

TQtFormPeer::TQtFormPeer(TCustomForm* form) : TQtSurfacePeer(form, false), form_(form) {
    auto* window = new FormWindow(this);
    window->setAttribute(Qt::WA_QuitOnClose, false);
    // The focused control is marked from the start (TQtControlPeer::SetFocus).
    window->setAttribute(Qt::WA_KeyboardFocusChange);
    MakeSurface(window);
    window->setFocusProxy(surface_);
    surface_->setFocusPolicy(Qt::ClickFocus);
    surface_->setProperty("ovqtPeer", QVariant::fromValue<void*>(static_cast<TQtControlPeer*>(this)));
    Init(window);
}

TQtFormPeer::~TQtFormPeer() {
    if (loop_) loop_->quit();
    if (widget_) static_cast<FormWindow*>(widget_.data())->peer_ = nullptr;
    if (menuBar_) menuBar_->setParent(nullptr);
}

void TQtFormPeer::ApplyFlags() {
    Qt::WindowFlags flags = Qt::Window;
    switch (form_->BorderStyle) {
    case bsNone: flags |= Qt::FramelessWindowHint; break;
    case bsToolWindow:
    case bsSizeToolWin: flags = Qt::Tool; break;
    case bsDialog: flags = Qt::Dialog; break;
    default: break;
    }
    if (form_->FormStyle == fsStayOnTop) flags |= Qt::WindowStaysOnTopHint;
    TBorderIcons icons = form_->BorderIcons;
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (icons.Contains(biSystemMenu)) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (icons.Contains(biMinimize) && form_->BorderStyle != bsDialog) flags |= Qt::WindowMinimizeButtonHint;
    if (icons.Contains(biMaximize) && form_->BorderStyle != bsDialog) flags |= Qt::WindowMaximizeButtonHint;
    bool visible = widget_->isVisible();
    if (widget_->windowFlags() != flags) {
        widget_->setWindowFlags(flags);
        if (visible) widget_->show();
    }
}

void TQtFormPeer::LayoutClient() {
    int top = 0;
    if (menuBar_ && menuBar_->parentWidget() == widget_) {
        int h = menuBar_->sizeHint().height();
        menuBar_->setGeometry(0, 0, form_->ClientWidth, h);
        top = h;
    }
    surface_->setGeometry(0, top, form_->ClientWidth, form_->ClientHeight);
}

void TQtFormPeer::Place() {
    if (!widget_ || !surface_) return;
    fromWindow_ = true;
    struct Reset {
        bool& f;
        ~Reset() { f = false; }
    } reset{fromWindow_};
    int menu = menuBar_ && menuBar_->parentWidget() == widget_ ? menuBar_->sizeHint().height() : 0;
    QSize size(form_->ClientWidth, form_->ClientHeight + menu);
    bool sizable = form_->BorderStyle == bsSizeable || form_->BorderStyle == bsSizeToolWin;
    if (sizable) {
        widget_->setMinimumSize(0, 0);
        widget_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        widget_->resize(size);
    } else {
        widget_->setFixedSize(size);
    }
    widget_->move(form_->Left, form_->Top);
    LayoutClient();
    SyncScrollBars();
}

void TQtFormPeer::Sync(TPropId id, int index) {
    switch (id) {
    case TPropId::None:
        ApplyFlags();
        widget_->setWindowTitle(ToQString(form_->Caption));
        AttachMenu();
        Sync(TPropId::Visible, -1);
        return;
    case TPropId::Caption: widget_->setWindowTitle(ToQString(form_->Caption)); return;
    case TPropId::Visible:
        if (form_->Visible) {
            Place();
            if (surface_) surface_->InvalidateModel(surface_->rect());
            // Qt takes a window's modality only when it is shown: a modal
            // form gets it now, before ShowModal's own loop starts.
            if (!widget_->isVisible())
                widget_->setWindowModality(form_->Modal() ? Qt::ApplicationModal : Qt::NonModal);
            switch (form_->WindowState) {
            case wsMaximized: widget_->showMaximized(); break;
            case wsMinimized: widget_->showMinimized(); break;
            default: widget_->show(); break;
            }
            widget_->raise();
            widget_->activateWindow();
        } else {
            // Hidden while still modal, so that Qt stops blocking the other windows.
            widget_->hide();
            widget_->setWindowModality(Qt::NonModal);
        }
        return;
    case TPropId::BorderStyle:
    case TPropId::BorderIcons:
    case TPropId::FormStyle:
        ApplyFlags();
        Place();
        return;
    case TPropId::Menu: AttachMenu(); return;
    case TPropId::WindowState:
        if (!form_->Visible) return;
        switch (form_->WindowState) {
        case wsMaximized: widget_->showMaximized(); break;
        case wsMinimized: widget_->showMinimized(); break;
        default: widget_->showNormal(); break;
        }
        return;
    case TPropId::ModalResult:
        // After the event that set it, the model says whether the form closes.
        if (form_->Modal() && form_->ModalResult != mrNone && !checkPosted_) {
            checkPosted_ = true;
            QPointer<QWidget> alive(widget_);
            TCustomForm* form = form_;
            QTimer::singleShot(0, widget_, Guarded([this, alive, form] {
                                   if (!alive) return;
                                   checkPosted_ = false;
                                   if (form->Modal() && form->ModalResult != mrNone) form->CheckModalEnd();
                               }));
        }
        return;
    case TPropId::Color:
    case TPropId::ParentColor:
        if (surface_) surface_->InvalidateModel(surface_->rect());
        return;
    case TPropId::Enabled: widget_->setEnabled(form_->Enabled); return;
    case TPropId::HorzScrollBar:
    case TPropId::VertScrollBar:
    case TPropId::AutoScroll: SyncScrollBars(); return;
    case TPropId::Hint:
    case TPropId::ShowHint:
    case TPropId::Cursor:
    case TPropId::Font:
    case TPropId::ParentFont:
        TQtControlPeer::Sync(id, index);
        if (id == TPropId::Cursor && surface_) surface_->setCursor(widget_->cursor());
        return;
    case TPropId::Left:
    case TPropId::Top:
    case TPropId::Width:
    case TPropId::Height:
    case TPropId::ClientWidth:
    case TPropId::ClientHeight:
    case TPropId::Bounds: Place(); return;
    default: return;
    }
}

void TQtFormPeer::AttachMenu() {
    QMenuBar* bar = nullptr;
    if (TMainMenu* menu = form_->Menu) {
        menu->CreatePeer();
        if (auto mp = dynamic_cast<TQtMenuPeer*>(menu->Peer())) bar = mp->MenuBar();
    }
    if (menuBar_ && menuBar_ != bar && menuBar_->parentWidget() == widget_) {
        menuBar_->hide();
        menuBar_->setParent(nullptr);
    }
    menuBar_ = bar;
    if (bar) {
        bar->setParent(widget_);
        bar->show();
    }
    Place();
}

void TQtFormPeer::PaintBackground(QPainter& painter, const QRect& rect) {
    painter.fillRect(rect, ToQColor(form_->Color));
}

void TQtFormPeer::WindowMoved() {
    if (fromWindow_ || !widget_) return;
    QPoint p = widget_->pos();
    if (p.x() == form_->Left && p.y() == form_->Top) return;
    fromWindow_ = true;
    form_->SetBounds(p.x(), p.y(), form_->Width, form_->Height);
    fromWindow_ = false;
}

void TQtFormPeer::WindowResized() {
    if (!widget_ || !surface_) return;
    int menu = menuBar_ && menuBar_->parentWidget() == widget_ ? menuBar_->sizeHint().height() : 0;
    int cw = widget_->width(), ch = std::max(0, widget_->height() - menu);
    if (fromWindow_ || (cw == form_->ClientWidth && ch == form_->ClientHeight)) {
        LayoutClient();
        return;
    }
    fromWindow_ = true;
    int ncw = form_->Width - form_->ClientWidth, nch = form_->Height - form_->ClientHeight;
    form_->SetBounds(form_->Left, form_->Top, cw + ncw, ch + nch);
    fromWindow_ = false;
    LayoutClient();
}

bool TQtFormPeer::CloseRequested() {
    if (!form_->Visible) return true;
    form_->Close();
    // The model hides the form when it may close; the window follows it.
    return false;
}

void TQtFormPeer::WindowActivated() {
    if (form_->Visible && !form_->Active()) form_->Show();
}

void TQtFormPeer::WindowStateChanged() {
    if (!widget_ || fromWindow_) return;
    Qt::WindowStates s = widget_->windowState();
    TWindowState state = (s & Qt::WindowMinimized)   ? wsMinimized
                         : (s & Qt::WindowMaximized) ? wsMaximized
                                                     : wsNormal;
    if (state != form_->WindowState) form_->UserSet(form_->WindowState, state);
}

void TQtFormPeer::RunModal() {
    if (!widget_) return;
    if (widget_->windowModality() != Qt::ApplicationModal) {
        // A window already shown takes a new modality only when shown again.
        widget_->hide();
        widget_->setWindowModality(Qt::ApplicationModal);
    }
    if (!widget_->isVisible()) widget_->show();
    widget_->activateWindow();
    QEventLoop loop;
    loop_ = &loop;
    loop.exec(QEventLoop::DialogExec);
    loop_ = nullptr;
    // The modality goes when the form hides (ShowModal hides it next): reset
    // on a window still shown, it would leave Qt blocking the other windows.
}

void TQtFormPeer::EndModal() {
    if (loop_) loop_->quit();
}

}  // namespace ovqt
