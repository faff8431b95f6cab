// Mouse, wheel, keys and focus from Qt to the model.
#include "platform/qt/qt_input.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QWheelEvent>
#include <QWidget>

#include "platform/forms.h"
#include "platform/menus.h"
#include "platform/qt/qt_peers.h"

namespace ovqt {

WORD VirtualKey(int key, Qt::KeyboardModifiers modifiers) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<WORD>('A' + (key - Qt::Key_A));
    bool keypad = modifiers & Qt::KeypadModifier;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<WORD>(keypad ? 0x60 + (key - Qt::Key_0) : '0' + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return static_cast<WORD>(VK_F1 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    // The keys of the numeric keypad and the punctuation keys of a Windows keyboard.
    case Qt::Key_Asterisk: return keypad ? 0x6A : 0xBB;
    case Qt::Key_Plus: return keypad ? 0x6B : 0xBB;
    case Qt::Key_Minus: return keypad ? 0x6D : 0xBD;
    case Qt::Key_Period: return keypad ? 0x6E : 0xBE;
    case Qt::Key_Slash: return keypad ? 0x6F : 0xBF;
    case Qt::Key_Comma: return 0xBC;
    case Qt::Key_Semicolon: return 0xBA;
    case Qt::Key_Apostrophe: return 0xDB;
    case Qt::Key_Backslash: return 0xDC;
    case Qt::Key_Less:
    case Qt::Key_Greater: return 0xE2;
    default: return 0;
    }
}

TShiftState ShiftState(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
    TShiftState s;
    if (modifiers & Qt::ShiftModifier) s << ssShift;
    if (modifiers & Qt::ControlModifier) s << ssCtrl;
    if (modifiers & Qt::AltModifier) s << ssAlt;
    if (buttons & Qt::LeftButton) s << ssLeft;
    if (buttons & Qt::RightButton) s << ssRight;
    if (buttons & Qt::MiddleButton) s << ssMiddle;
    return s;
}

namespace {

// The peer whose input widget holds the widget.
TQtControlPeer* InputPeer(QWidget* widget) {
    TQtControlPeer* peer = PeerOfWidget(widget);
    if (!peer) return nullptr;
    QWidget* input = peer->InputWidget();
    if (!input || (widget != input && !input->isAncestorOf(widget))) return nullptr;
    // A disabled control, or one inside a disabled parent, takes no input:
    // Qt keeps the event from the widget, and the model must not see it either.
    if (!input->isEnabled()) return nullptr;
    for (const QWidget* w = widget; w && w != input; w = w->parentWidget())
        if (IsDecoration(w)) return nullptr;
    return peer;
}

bool IsAlive(TControl* c) {
    // A control still shown by a peer, or a child without a window of one.
    for (QWidget* w : QApplication::allWidgets()) {
        TQtControlPeer* p = PeerOfWidget(w);
        if (!p) continue;
        if (p->Control() == c) return true;
        if (auto win = dynamic_cast<TWinControl*>(p->Control()))
            for (int i = 0; i < win->ControlCount(); ++i)
                if (win->Controls(i) == c) return true;
    }
    return false;
}

TMouseButton ButtonOf(Qt::MouseButton b) {
    switch (b) {
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return mbLeft;
    }
}

// The default (Enter) or cancel (Escape) button of a form.
TButton* FindButton(TWinControl* root, bool wantDefault) {
    for (int i = 0; i < root->ControlCount(); ++i) {
        TControl* c = root->Controls(i);
        if (!c->Visible || !c->Enabled) continue;
        if (auto b = dynamic_cast<TButton*>(c); b && (wantDefault ? b->Default.Get() : b->Cancel.Get()))
            return b;
        if (auto w = dynamic_cast<TWinControl*>(c))
            if (TButton* b = FindButton(w, wantDefault)) return b;
    }
    return nullptr;
}

}  // namespace

TControl* TQtInput::TargetAt(TControl* control, QPoint& point) const {
    auto parent = dynamic_cast<TWinControl*>(control);
    if (!parent) return control;
    for (int i = parent->ControlCount() - 1; i >= 0; --i) {
        TControl* c = parent->Controls(i);
        if (!dynamic_cast<TGraphicControl*>(c) || !c->Visible || !c->Enabled) continue;
        if (c->BoundsRect().Contains(TPoint(point.x(), point.y()))) {
            point -= QPoint(c->Left, c->Top);
            return c;
        }
    }
    return control;
}

bool TQtInput::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType()) return false;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::ToolTip:
    case QEvent::FocusIn: break;
    default: return false;
    }
    bool used = false;
    Safely([&] { used = Dispatch(static_cast<QWidget*>(watched), event); });
    return used;
}

bool TQtInput::Dispatch(QWidget* widget, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: return Key(widget, static_cast<QKeyEvent*>(event));
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: return Mouse(widget, static_cast<QMouseEvent*>(event));
    case QEvent::Wheel: return Wheel(widget, static_cast<QWheelEvent*>(event));
    case QEvent::ContextMenu: return ContextMenu(widget, static_cast<QContextMenuEvent*>(event));
    case QEvent::ToolTip: return ToolTip(widget, static_cast<QHelpEvent*>(event));
    case QEvent::FocusIn: FocusIn(widget); return false;
    default: return false;
    }
}

bool TQtInput::Mouse(QWidget* widget, QMouseEvent* event) {
    TQtControlPeer* peer = InputPeer(widget);
    if (!peer) return false;
    QPoint global = event->globalPosition().toPoint();
    if (event->type() == lastType_ && event->timestamp() == lastTime_ && global == lastGlobal_) return false;
    lastType_ = event->type();
    lastTime_ = event->timestamp();
    lastGlobal_ = global;

    QPointer<QWidget> guard(widget);
    QPoint local = peer->InputWidget()->mapFromGlobal(global);
    TShiftState shift = ShiftState(event->modifiers(), event->buttons());
    TControl* target;
    if (captured_ && event->type() != QEvent::MouseButtonPress && IsAlive(captured_)) {
        target = captured_;
        local -= captureOffset_;
    } else {
        captured_ = nullptr;
        QPoint p = local;
        target = TargetAt(peer->Control(), p);
        captureOffset_ = local - p;
        local = p;
    }
    bool native = peer->NativeClick();
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        TMouseButton b = ButtonOf(event->button());
        captured_ = target;
        pressed_ = b == mbLeft ? target : nullptr;
        target->MouseDown(b, shift, local.x(), local.y());
        break;
    }
    case QEvent::MouseButtonDblClick: {
        TMouseButton b = ButtonOf(event->button());
        captured_ = target;
        pressed_ = nullptr;
        if (b == mbLeft) target->DblClick();
        if (guard && IsAlive(target))
            target->MouseDown(b, shift + TShiftState{ssDouble}, local.x(), local.y());
        break;
    }
    case QEvent::MouseButtonRelease: {
        TMouseButton b = ButtonOf(event->button());
        bool click = b == mbLeft && pressed_ == target && !native && target->ClickEvents() &&
                     target->ClientRect().Contains(TPoint(local.x(), local.y()));
        if (!event->buttons()) captured_ = nullptr;
        pressed_ = nullptr;
        if (click) target->Click();
        if (guard && IsAlive(target)) target->MouseUp(b, shift, local.x(), local.y());
        break;
    }
    default:
        // Over a control without a window, the pointer takes its shape.
        if (!captured_ && peer->InputWidget() && target != peer->Control()) {
            int cursor = target->Cursor != crDefault ? target->Cursor.Get() : peer->Control()->Cursor.Get();
            if (cursor == crDefault)
                peer->InputWidget()->unsetCursor();
            else
                peer->InputWidget()->setCursor(CursorShape(cursor));
        } else if (!captured_ && peer->SurfacePeer() && peer->InputWidget() &&
                   peer->Control()->Cursor == crDefault) {
            peer->InputWidget()->unsetCursor();
        }
        target->MouseMove(shift, local.x(), local.y());
        break;
    }
    if (guard)
        if (TQtControlPeer* p = InputPeer(widget)) p->Resync();
    // Native widgets keep their own handling of the mouse as well.
    return false;
}

bool TQtInput::Wheel(QWidget* widget, QWheelEvent* event) {
    TQtControlPeer* peer = InputPeer(widget);
    if (!peer) return false;
    QPoint local = peer->InputWidget()->mapFromGlobal(event->globalPosition().toPoint());
    TControl* target = TargetAt(peer->Control(), local);
    int delta = event->angleDelta().y();
    if (delta == 0) return false;
    TPoint screen = target->ClientToScreen(TPoint(local.x(), local.y()));
    QPointer<QWidget> guard(widget);
    bool handled = target->MouseWheel(ShiftState(event->modifiers(), event->buttons()), delta, screen);
    if (guard)
        if (TQtControlPeer* p = InputPeer(widget)) {
            if (!handled) handled = p->WheelScroll(delta);
            p->Resync();
        }
    return handled;
}

// A windowed control's hint is its widget's tool tip. A control without a
// window (a speed button, a label) has no widget to carry one: its hint is
// shown here, for as long as the pointer stays over its bounds.
bool TQtInput::ToolTip(QWidget* widget, QHelpEvent* event) {
    TQtControlPeer* peer = InputPeer(widget);
    if (!peer) return false;
    auto parent = dynamic_cast<TWinControl*>(peer->Control());
    if (!parent) return false;
    const QPoint at = peer->InputWidget()->mapFromGlobal(event->globalPos());
    // As the system does, a disabled button tells what it is too.
    for (int i = parent->ControlCount() - 1; i >= 0; --i) {
        TControl* c = parent->Controls(i);
        if (!dynamic_cast<TGraphicControl*>(c) || !c->Visible ||
            !c->BoundsRect().Contains(TPoint(at.x(), at.y())))
            continue;
        if (!c->ShowHint || c->Hint.Get().empty()) return false;
        QToolTip::showText(event->globalPos(), ToQString(c->Hint), peer->InputWidget(),
                           QRect(c->Left, c->Top, c->Width, c->Height));
        return true;
    }
    return false;
}

bool TQtInput::ContextMenu(QWidget* widget, QContextMenuEvent* event) {
    TQtControlPeer* peer = InputPeer(widget);
    if (!peer) return false;
    QPoint local = peer->InputWidget()->mapFromGlobal(event->globalPos());
    TControl* target = TargetAt(peer->Control(), local);
    bool handled = false;
    if (target->OnContextPopup) target->OnContextPopup(target, TPoint(local.x(), local.y()), handled);
    if (handled) return true;
    for (TControl* c = target; c; c = c->Parent) {
        if (TPopupMenu* popup = c->PopupMenu) {
            if (!popup->AutoPopup) return true;
            popup->PopupComponent = target;
            TPoint screen = target->ClientToScreen(TPoint(local.x(), local.y()));
            popup->Popup(screen.x, screen.y);
            return true;
        }
    }
    return false;
}

void TQtInput::FocusIn(QWidget* widget) {
    TQtControlPeer* peer = InputPeer(widget);
    if (!peer) return;
    auto w = dynamic_cast<TWinControl*>(peer->Control());
    if (!w || dynamic_cast<TCustomForm*>(w) || w->Focused() || !w->CanFocus()) return;
    w->UserFocus();
}

bool TQtInput::Key(QWidget* widget, QKeyEvent* event) {
    if (widget != QApplication::focusWidget() && QApplication::focusWidget()) return false;
    TQtControlPeer* peer = InputPeer(widget);
    if (!peer) return false;
    TControl* control = peer->Control();
    TCustomForm* form = GetParentForm(control);
    if (!form) return false;
    auto target = dynamic_cast<TWinControl*>(control);
    if (auto f = dynamic_cast<TCustomForm*>(control))
        target = f->FocusedControl() ? f->FocusedControl() : nullptr;
    if (target && target != form && !target->Focused() && target->CanFocus()) target->UserFocus();
    WORD key = VirtualKey(event->key(), event->modifiers());
    TShiftState shift = ShiftState(event->modifiers());
    if (event->key() == Qt::Key_Backtab) shift << ssShift;
    QPointer<QWidget> guard(widget);
    // A handler may free the control (and its peer) on the way.
    auto alive = [&] { return guard && InputPeer(widget) == peer; };
    auto done = [&](bool used) {
        if (guard)
            if (TQtControlPeer* p = InputPeer(widget)) p->Resync();
        // The model may have changed the focused control without telling its peer.
        if (TWinControl* f = Screen->ActiveControl())
            if (auto p = dynamic_cast<TQtControlPeer*>(f->Peer())) p->Resync();
        return used;
    };

    if (event->type() == QEvent::KeyRelease) {
        if (key) form->HandleKeyUp(key, shift);
        return done(!peer->NativeKeys());
    }

    // The character the key types, as the model's key presses take it.
    QString text = event->text();
    char ch = 0;
    if (text.size() == 1 && text[0].unicode() < 0x80) ch = static_cast<char>(text[0].unicode());
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) ch = (ch >= 1 && ch < 32) ? ch : 0;

    if (!peer->NativeKeys() || !target || target == form) {
        // The model is the control's whole behaviour: it gets every key.
        bool used = key ? form->HandleKeyDown(key, shift) : false;
        if (!used && alive()) {
            if (ch)
                form->HandleKeyPress(ch);
            else if (!text.isEmpty() && text[0].unicode() >= 0x80 && form->FocusedControl())
                form->FocusedControl()->InsertTypedText(FromQString(text));
        }
        return done(true);
    }

    // A widget that edits by itself: the model's handlers and shortcuts see
    // the key first and may use it up or change it; then the widget edits.
    if (key) {
        if (form->IsShortCut(key, shift)) return done(true);
        if (form->KeyPreview) {
            form->TWinControl::KeyDown(key, shift);
            if (key == 0) return done(true);
        }
        if (!alive()) return true;
        if (peer->WidgetEditsKey(key))
            target->TWinControl::KeyDown(key, shift);
        else
            target->KeyDown(key, shift);
        if (key == 0) return done(true);
        if (!target->WantsKey(key)) {
            if (key == VK_TAB && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt)) {
                form->SelectNext(target, !shift.Contains(ssShift), true);
                return done(true);
            }
            if (key == VK_RETURN || key == VK_ESCAPE) {
                TButton* b = key == VK_RETURN ? dynamic_cast<TButton*>(target) : nullptr;
                if (!b) b = FindButton(form, key == VK_RETURN);
                if (b) {
                    b->Click();
                    return done(true);
                }
            }
        }
    }
    if (ch && alive()) {
        char original = ch;
        if (form->KeyPreview) form->TWinControl::KeyPress(ch);
        if (ch && alive()) target->TWinControl::KeyPress(ch);
        if (ch == 0) return done(true);
        if (ch != original) {
            if (alive()) peer->InsertText(QString(QChar(ch)));
            return done(true);
        }
    }
    if (key && alive() && peer->DefaultKey(key, shift)) return done(true);
    return done(false);
}

}  // namespace ovqt
