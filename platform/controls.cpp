#include "platform/controls.h"

#include <algorithm>
#include <cstdlib>

#include "platform/application.h"
#include "platform/engines.h"
#include "platform/forms.h"
#include "platform/menus.h"

namespace {
// The one drag in progress (there is one mouse).
struct DragInfo {
    TControl* source = nullptr;
    bool pending = false;  // waiting for the mouse to pass the threshold
    bool active = false;
    TPoint start;
    int threshold = 5;
    TControl* target = nullptr;
    bool accepted = false;
    TPoint last;
};
DragInfo drag;

bool FireDragOver(TControl* target, TDragState state, TPoint screen) {
    if (!target || !target->OnDragOver || target->Destroying()) return false;
    bool accept = true;
    TPoint p = target->ScreenToClient(screen);
    target->OnDragOver(target, drag.source, p.x, p.y, state, accept);
    return accept;
}

void DragOverAt(TPoint screen) {
    drag.last = screen;
    TControl* target = FindDragTarget(screen);
    TDragState state = dsDragMove;
    if (target != drag.target) {
        if (drag.target) FireDragOver(drag.target, dsDragLeave, screen);
        drag.target = target;
        state = dsDragEnter;
    }
    drag.accepted = FireDragOver(target, state, screen);
}

void FinishDrag(bool drop) {
    DragInfo d = drag;
    drag = DragInfo();
    TControl* target = (drop && d.accepted) ? d.target : nullptr;
    if (!drop && d.target) {
        DragInfo saved = drag;
        drag = d;
        FireDragOver(d.target, dsDragLeave, d.last);
        drag = saved;
    }
    if (target && target->OnDragDrop) {
        TPoint p = target->ScreenToClient(d.last);
        target->OnDragDrop(target, d.source, p.x, p.y);
    }
    if (d.source && !d.source->Destroying() && d.source->OnEndDrag) {
        TPoint p = target ? target->ScreenToClient(d.last) : TPoint();
        d.source->OnEndDrag(d.source, target, p.x, p.y);
    }
}

// Whether a person could click the control: it and its parents visible and
// enabled (the form itself may be hidden, so that tests need not show it).
bool ShownAndEnabled(const TControl* c) {
    for (; c; c = c->Parent) {
        if (!c->Parent && dynamic_cast<const TCustomForm*>(c)) return c->Enabled;
        if (!c->Visible || !c->Enabled) return false;
    }
    return true;
}
}  // namespace

// ---------------------------------------------------------------- TControlCanvas

TControlCanvas::TControlCanvas(TControl* control) : TCanvas(nullptr), control_(control) {
    SetEngine(&recording_);
    SyncSize();
}

void TControlCanvas::SyncSize() { recording_.SetDeviceRect(control_->ClientRect()); }

// ---------------------------------------------------------------- TControl

TControl::TControl(TComponent* owner) : TComponent(owner), Font(new TFont) {
    Font->OnChange = [this](TObject*) {
        if (!fontAssigning_) ParentFont = false;
        NotifyPeer(TPropId::Font);
        if (auto w = dynamic_cast<TWinControl*>(this)) w->FontChanged();
        Invalidate();
    };
}

TControl::~TControl() {
    destroying_ = true;
    if (drag.source == this) drag = DragInfo();
    if (drag.target == this) drag.target = nullptr;
    if (TCustomForm* form = GetParentForm(this)) form->ForgetControl(this);
    peer_.reset();
    if (linkedParent_) linkedParent_->RemoveControl(this);
    delete Font;
}

TPoint TControl::ClientOrigin() const {
    if (linkedParent_) {
        TPoint o = linkedParent_->ClientOrigin();
        return TPoint(o.x + Left, o.y + Top);
    }
    return TPoint(Left, Top);
}

TPoint TControl::ClientToScreen(TPoint p) const {
    TPoint o = ClientOrigin();
    return TPoint(p.x + o.x, p.y + o.y);
}

TPoint TControl::ScreenToClient(TPoint p) const {
    TPoint o = ClientOrigin();
    return TPoint(p.x - o.x, p.y - o.y);
}

bool TControl::Showing() const {
    if (!Visible) return false;
    if (linkedParent_) return linkedParent_->Showing();
    return dynamic_cast<const TCustomForm*>(this) != nullptr;
}

void TControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(0, width);
    height = std::max(0, height);
    bool sized = width != Width || height != Height;
    bool moved = left != Left || top != Top;
    if (!sized && !moved) return;
    Left.SetQuiet(left);
    Top.SetQuiet(top);
    Width.SetQuiet(width);
    Height.SetQuiet(height);
    // The peer lays out its inside by the client size: it must be the new one.
    SyncClientSize();
    NotifyPeer(TPropId::Bounds);
    if (sized) Resized();
    if (linkedParent_ && Align != alNone) linkedParent_->Realign();
    if (!anchoring_) UpdateAnchorRules();
}

void TControl::SyncClientSize() {
    TSize nc = NonClientSize();
    ClientWidth.SetQuiet(std::max(0, Width - nc.cx));
    ClientHeight.SetQuiet(std::max(0, Height - nc.cy));
}

void TControl::UpdateAnchorRules() {
    if (!linkedParent_) return;
    anchorRight_ = linkedParent_->ClientWidth - (Left + Width);
    anchorBottom_ = linkedParent_->ClientHeight - (Top + Height);
}

void TControl::BringToFront() {
    if (!linkedParent_) return;
    auto& list = linkedParent_->controls_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.push_back(this);
    NotifyPeer(TPropId::ZOrder);
}

void TControl::SendToBack() {
    if (!linkedParent_) return;
    auto& list = linkedParent_->controls_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.insert(list.begin(), this);
    NotifyPeer(TPropId::ZOrder);
}

void TControl::Invalidate() {
    if (peer_)
        peer_->Invalidate(ClientRect());
    else
        dirty_ = true;
}

void TControl::InvalidateRect(const TRect& r) {
    if (peer_)
        peer_->Invalidate(r);
    else
        dirty_ = true;
}

void TControl::Repaint() {
    if (peer_) {
        peer_->Invalidate(ClientRect());
        peer_->Update();
        return;
    }
    dirty_ = false;
    if (TControlCanvas* canvas = PaintCanvas()) {
        canvas->Recording().Clear();
        PaintTo(&canvas->Recording());
    }
}

void TControl::Update() {
    if (peer_)
        peer_->Update();
    else if (dirty_)
        Repaint();
}

void TControl::PaintTo(TPaintEngine* engine) {
    TControlCanvas* canvas = PaintCanvas();
    if (!canvas || !engine || destroying_) return;
    TPaintEngine* previous = canvas->Engine();
    struct Restore {
        TCanvas* c;
        TPaintEngine* e;
        ~Restore() {
            c->ReleaseClip();
            c->SetEngine(e);
        }
    } restore{canvas, previous};
    canvas->SetEngine(engine);
    canvas->ReleaseClip();
    Paint();
}

void TControl::FireMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown && !destroying_) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    lastMouse_ = TPoint(x, y);
    // A click gives the focus, unless it already is here or on a child (a grid's editor).
    if (auto w = dynamic_cast<TWinControl*>(this); w && w->TakesFocusOnClick() && w->CanFocus()) {
        TCustomForm* form = GetParentForm(this);
        TWinControl* focused = form ? form->FocusedControl() : nullptr;
        if (!focused || !w->ContainsControl(focused)) UserFocus();
    }
    if (DragMode == dmAutomatic && button == mbLeft) BeginDrag(false);
    FireMouseDown(button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    lastMouse_ = TPoint(x, y);
    if (drag.source == this && (drag.pending || drag.active)) {
        TPoint screen = ClientToScreen(TPoint(x, y));
        if (drag.pending && (std::abs(screen.x - drag.start.x) >= drag.threshold ||
                             std::abs(screen.y - drag.start.y) >= drag.threshold)) {
            drag.pending = false;
            drag.active = true;
            if (OnStartDrag) OnStartDrag(this);
        }
        if (drag.active) {
            DragOverAt(screen);
            return;
        }
    }
    if (OnMouseMove && !destroying_) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    lastMouse_ = TPoint(x, y);
    if (drag.source == this) {
        if (drag.active) {
            DragOverAt(ClientToScreen(TPoint(x, y)));
            FinishDrag(true);
            return;
        }
        drag = DragInfo();
    }
    if (OnMouseUp && !destroying_) OnMouseUp(this, button, shift, x, y);
}

void TControl::Click() {
    if (OnClick && !destroying_) OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick && !destroying_) OnDblClick(this);
}

bool TControl::DoMouseWheelDown(TShiftState shift, TPoint mousePos) {
    bool handled = false;
    if (OnMouseWheelDown) OnMouseWheelDown(this, shift, mousePos, handled);
    return handled;
}

bool TControl::DoMouseWheelUp(TShiftState shift, TPoint mousePos) {
    bool handled = false;
    if (OnMouseWheelUp) OnMouseWheelUp(this, shift, mousePos, handled);
    return handled;
}

bool TControl::MouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
    bool handled = false;
    if (OnMouseWheel) OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
    if (!handled)
        handled = wheelDelta < 0 ? DoMouseWheelDown(shift, mousePos) : DoMouseWheelUp(shift, mousePos);
    if (!handled && linkedParent_) handled = linkedParent_->MouseWheel(shift, wheelDelta, mousePos);
    return handled;
}

void TControl::ClickAt(int x, int y, TShiftState shift) {
    if (!ShownAndEnabled(this)) return;
    MouseDown(mbLeft, shift + TShiftState{ssLeft}, x, y);
    if (ClickEvents()) Click();
    MouseUp(mbLeft, shift, x, y);
}

void TControl::DoubleClickAt(int x, int y, TShiftState shift) {
    if (!ShownAndEnabled(this)) return;
    MouseDown(mbLeft, shift + TShiftState{ssLeft}, x, y);
    if (ClickEvents()) Click();
    MouseUp(mbLeft, shift, x, y);
    DblClick();
    MouseDown(mbLeft, shift + TShiftState{ssLeft, ssDouble}, x, y);
    MouseUp(mbLeft, shift, x, y);
}

void TControl::RightClickAt(int x, int y, TShiftState shift) {
    if (!ShownAndEnabled(this)) return;
    MouseDown(mbRight, shift + TShiftState{ssRight}, x, y);
    MouseUp(mbRight, shift, x, y);
    bool handled = false;
    if (OnContextPopup) OnContextPopup(this, TPoint(x, y), handled);
    if (handled) return;
    for (TControl* c = this; c; c = c->linkedParent_) {
        if (TPopupMenu* popup = c->PopupMenu) {
            if (!popup->AutoPopup) return;
            popup->PopupComponent = this;
            TPoint screen = ClientToScreen(TPoint(x, y));
            popup->Popup(screen.x, screen.y);
            return;
        }
    }
}

void TControl::UserFocus() {
    auto w = dynamic_cast<TWinControl*>(this);
    TCustomForm* form = GetParentForm(this);
    if (!w || !form || !w->CanFocus()) return;
    form->ActiveControl.SetQuiet(w);
    if (form->Visible) form->SetFocusedControl(w);
}

void TControl::BeginDrag(bool immediate, int threshold) {
    if (drag.active && drag.source) FinishDrag(false);
    drag = DragInfo();
    drag.source = this;
    drag.pending = !immediate;
    drag.active = immediate;
    drag.threshold = threshold < 0 ? 5 : threshold;
    drag.start = ClientToScreen(lastMouse_);
    drag.last = drag.start;
    if (immediate) {
        if (OnStartDrag) OnStartDrag(this);
        DragOverAt(drag.start);
    }
}

void TControl::EndDrag(bool drop) {
    if (drag.source != this) return;
    if (drag.active)
        FinishDrag(drop);
    else
        drag = DragInfo();
}

bool TControl::Dragging() const { return drag.source == this && drag.active; }

void TControl::CreatePeers() {
    TBackend* backend = Application->Backend();
    if (peer_ || !backend || destroying_) return;
    peer_.reset(backend->CreatePeer(this));
    if (peer_)
        if (TControlCanvas* canvas = PaintCanvas())
            canvas->SetEngine(peer_->PaintEngine() ? peer_->PaintEngine() : &canvas->Recording());
}

void TControl::DestroyPeers() {
    if (auto w = dynamic_cast<TWinControl*>(this))
        for (int i = 0; i < w->ControlCount(); ++i) w->Controls(i)->DestroyPeers();
    if (TControlCanvas* canvas = PaintCanvas()) canvas->SetEngine(&canvas->Recording());
    peer_.reset();
}

void TControl::NotifyPeer(TPropId id, int index) {
    if (peer_ && !destroying_) peer_->PropertyChanged(id, index);
}

bool TControl::PropertyChanging(TPropId id) {
    switch (id) {
    case TPropId::Width: Width.Pending() = std::max(0, Width.Pending()); break;
    case TPropId::Height: Height.Pending() = std::max(0, Height.Pending()); break;
    case TPropId::ClientWidth: ClientWidth.Pending() = std::max(0, ClientWidth.Pending()); break;
    case TPropId::ClientHeight: ClientHeight.Pending() = std::max(0, ClientHeight.Pending()); break;
    case TPropId::Parent:
        for (const TControl* c = Parent.Pending(); c; c = c->linkedParent_)
            if (c == this) throw EInvalidOperation("Un controllo non può contenere se stesso");
        if (Parent.Pending() && dynamic_cast<TCustomForm*>(this) == nullptr &&
            !dynamic_cast<TWinControl*>(Parent.Pending()))
            return false;
        break;
    default: break;
    }
    return true;
}

void TControl::PropertyChanged(TPropId id) {
    bool byUser = userProp_ == id;
    if (byUser) {
        userProp_ = TPropId::None;
    } else {
        // The peer lays out its inside by the client size: it must be the new one.
        if (id == TPropId::Width || id == TPropId::Height) SyncClientSize();
        NotifyPeer(id);
    }
    bool saved = byUser_;
    byUser_ = byUser;
    struct Restore {
        bool& flag;
        bool saved;
        ~Restore() { flag = saved; }
    } restore{byUser_, saved};
    DoPropertyChanged(id);
}

void TControl::DoPropertyChanged(TPropId id) {
    switch (id) {
    case TPropId::Left:
    case TPropId::Top:
        if (linkedParent_ && Align != alNone) linkedParent_->Realign();
        if (!anchoring_) UpdateAnchorRules();
        break;
    case TPropId::Width:
    case TPropId::Height:
        SyncClientSize();
        Resized();
        if (linkedParent_ && Align != alNone) linkedParent_->Realign();
        if (!anchoring_) UpdateAnchorRules();
        break;
    case TPropId::ClientWidth: {
        int w = ClientWidth + NonClientSize().cx;
        if (w != Width) Width = w;
        SyncClientSize();
        break;
    }
    case TPropId::ClientHeight: {
        int h = ClientHeight + NonClientSize().cy;
        if (h != Height) Height = h;
        SyncClientSize();
        break;
    }
    case TPropId::Align:
    case TPropId::Anchors:
        if (linkedParent_) linkedParent_->Realign();
        UpdateAnchorRules();
        break;
    case TPropId::Visible: VisibleChanged(); break;
    case TPropId::Enabled:
        if (!Enabled)
            if (TCustomForm* form = GetParentForm(this); form && form != this)
                if (TWinControl* f = form->FocusedControl();
                    f && (f == this || (dynamic_cast<TWinControl*>(this) &&
                                        static_cast<TWinControl*>(this)->ContainsControl(f))))
                    form->ForgetControl(f);
        EnabledChanged();
        Invalidate();
        break;
    case TPropId::Parent: SetParentLink(Parent); break;
    case TPropId::ParentFont:
        if (ParentFont) ParentFontChanged();
        break;
    case TPropId::ParentColor:
        if (ParentColor && linkedParent_) {
            Color.SetQuiet(linkedParent_->Color);
            NotifyPeer(TPropId::Color);
        }
        break;
    case TPropId::Color:
        if (!ChangedByUser()) ParentColor.SetQuiet(false);
        Invalidate();
        break;
    case TPropId::PopupMenu:
        if (PopupMenu) FreeNotification(PopupMenu);
        break;
    case TPropId::Caption: Invalidate(); break;
    default: break;
    }
}

void TControl::Resized() {
    if (destroying_) return;
    if (OnResize) OnResize(this);
}

void TControl::VisibleChanged() {
    if (linkedParent_) linkedParent_->Realign();
    if (!Visible)
        if (TCustomForm* form = GetParentForm(this); form && form != this)
            if (TWinControl* f = form->FocusedControl())
                if (f == this ||
                    (dynamic_cast<TWinControl*>(this) && static_cast<TWinControl*>(this)->ContainsControl(f)))
                    form->ForgetControl(f);
    Invalidate();
}

void TControl::SetParentLink(TWinControl* parent) {
    if (linkedParent_ == parent) return;
    if (linkedParent_) {
        if (TCustomForm* form = GetParentForm(this)) form->ForgetControl(this);
        linkedParent_->RemoveControl(this);
    }
    linkedParent_ = parent;
    if (parent) {
        parent->InsertControl(this);
        if (ParentFont) ParentFontChanged();
        if (ParentColor) Color.SetQuiet(parent->Color);
        UpdateAnchorRules();
        if (parent->Peer()) CreatePeers();
    }
}

void TControl::ParentFontChanged() {
    if (!ParentFont || !linkedParent_) return;
    fontAssigning_ = true;
    struct Restore {
        bool& f;
        ~Restore() { f = false; }
    } restore{fontAssigning_};
    Font->Assign(*linkedParent_->Font);
}

void TControl::Notification(TComponent* component, TOperation operation) {
    if (operation == opRemove && component == PopupMenu.Get()) {
        PopupMenu.SetQuiet(nullptr);
        NotifyPeer(TPropId::PopupMenu);
    }
}

// ---------------------------------------------------------------- TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    destroying_ = true;
    MarkDestroying(this);
    while (!controls_.empty()) delete controls_.back();
}

// Children being destroyed with their parent fire no events.
void TWinControl::MarkDestroying(TWinControl* w) {
    for (TControl* c : w->controls_) {
        c->destroying_ = true;
        if (auto cw = dynamic_cast<TWinControl*>(c)) MarkDestroying(cw);
    }
}

void TWinControl::InsertControl(TControl* control) {
    controls_.push_back(control);
    if (auto w = dynamic_cast<TWinControl*>(control)) {
        tabList_.push_back(w);
        w->TabOrder.SetQuiet(static_cast<int>(tabList_.size()) - 1);
    }
    if (control->Align != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    if (auto w = dynamic_cast<TWinControl*>(control)) {
        tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), w), tabList_.end());
        RenumberTabs();
    }
    if (!destroying_ && control->Align != alNone) Realign();
}

void TWinControl::RenumberTabs() {
    for (size_t i = 0; i < tabList_.size(); ++i) tabList_[i]->TabOrder.SetQuiet(static_cast<int>(i));
}

bool TWinControl::Focused() const {
    TCustomForm* form = GetParentForm(this);
    return form && form->FocusedControl() == this;
}

bool TWinControl::CanFocus() const {
    TCustomForm* form = GetParentForm(this);
    if (!form) return false;
    for (const TControl* c = this; c && c != form; c = c->Parent)
        if (!c->Visible || !c->Enabled) return false;
    return true;
}

void TWinControl::SetFocus() {
    TCustomForm* form = GetParentForm(this);
    if (!form) return;
    form->FocusControl(this);
}

bool TWinControl::WantsKey(WORD) const { return false; }

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
    if (OnKeyDown && !destroying_) OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
    if (OnKeyUp && !destroying_) OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
    if (OnKeyPress && !destroying_) OnKeyPress(this, key);
}

void TWinControl::DoEnter() {
    if (OnEnter && !destroying_) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit && !destroying_) OnExit(this);
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        if (!c->Visible || (!allowDisabled && !c->Enabled)) continue;
        if (!c->BoundsRect().Contains(p)) continue;
        if (auto w = dynamic_cast<TWinControl*>(c)) {
            TPoint inner = w->ScreenToClient(ClientToScreen(p));
            if (TControl* deeper = w->ControlAtPos(inner, allowDisabled)) return deeper;
        }
        return c;
    }
    return nullptr;
}

bool TWinControl::ContainsControl(const TControl* control) const {
    for (const TControl* c = control; c; c = c->Parent)
        if (c == this) return true;
    return false;
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
    for (TWinControl* w : tabList_) {
        list.push_back(w);
        w->GetTabOrderList(list);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool forward, bool checkTabStop) const {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    int n = static_cast<int>(list.size());
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (list[i] == current) start = i;
    if (start < 0) start = forward ? n - 1 : 0;
    int i = start;
    for (int k = 0; k < n; ++k) {
        i = forward ? (i + 1) % n : (i - 1 + n) % n;
        TWinControl* c = list[i];
        if ((!checkTabStop || c->TabStop) && c->CanFocus() && c->AcceptsFocus()) return c;
    }
    return nullptr;
}

void TWinControl::EnableAlign() {
    if (alignLock_ > 0 && --alignLock_ == 0) Realign();
}

void TWinControl::Realign() {
    if (alignLock_ > 0 || aligning_ || destroying_) return;
    aligning_ = true;
    struct Restore {
        bool& f;
        ~Restore() { f = false; }
    } restore{aligning_};
    TRect r = AlignRect();
    AlignControls(r);
}

void TWinControl::AlignControls(TRect& rect) {
    auto placeAll = [&](TAlign align) {
        std::vector<TControl*> list;
        for (TControl* c : controls_)
            if (c->Visible && c->Align == align) list.push_back(c);
        std::stable_sort(list.begin(), list.end(), [align](TControl* a, TControl* b) {
            switch (align) {
            case alTop: return a->Top < b->Top;
            case alBottom: return a->Top + a->Height > b->Top + b->Height;
            case alLeft: return a->Left < b->Left;
            case alRight: return a->Left + a->Width > b->Left + b->Width;
            default: return false;
            }
        });
        for (TControl* c : list) {
            int w = c->Width, h = c->Height;
            switch (align) {
            case alTop:
                c->SetBounds(rect.Left, rect.Top, rect.Width(), h);
                rect.Top += h;
                break;
            case alBottom:
                c->SetBounds(rect.Left, rect.Bottom - h, rect.Width(), h);
                rect.Bottom -= h;
                break;
            case alLeft:
                c->SetBounds(rect.Left, rect.Top, w, rect.Height());
                rect.Left += w;
                break;
            case alRight:
                c->SetBounds(rect.Right - w, rect.Top, w, rect.Height());
                rect.Right -= w;
                break;
            case alClient: c->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height()); break;
            default: break;
            }
        }
    };
    for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) placeAll(a);
}

void TWinControl::Resized() {
    if (destroying_) return;
    // Children anchored to the right or bottom keep their distance from that edge.
    for (TControl* c : controls_) {
        if (c->Align != alNone) continue;
        TAnchors a = c->Anchors;
        if (!a.Contains(akRight) && !a.Contains(akBottom)) continue;
        int l = c->Left, t = c->Top, w = c->Width, h = c->Height;
        if (a.Contains(akRight)) {
            int right = ClientWidth - c->anchorRight_;
            if (a.Contains(akLeft))
                w = right - l;
            else
                l = right - w;
        }
        if (a.Contains(akBottom)) {
            int bottom = ClientHeight - c->anchorBottom_;
            if (a.Contains(akTop))
                h = bottom - t;
            else
                t = bottom - h;
        }
        c->anchoring_ = true;
        c->SetBounds(l, t, w, h);
        c->anchoring_ = false;
    }
    Realign();
    TControl::Resized();
}

void TWinControl::DoPropertyChanged(TPropId id) {
    if (id == TPropId::TabOrder) {
        if (TWinControl* p = Parent) {
            auto& list = p->tabList_;
            list.erase(std::remove(list.begin(), list.end(), this), list.end());
            int index = std::clamp(TabOrder.Get(), 0, static_cast<int>(list.size()));
            list.insert(list.begin() + index, this);
            p->RenumberTabs();
        }
        return;
    }
    if (id == TPropId::Color)
        for (TControl* c : controls_)
            if (c->ParentColor) {
                c->Color.SetQuiet(Color);
                c->NotifyPeer(TPropId::Color);
                c->Invalidate();
            }
    TControl::DoPropertyChanged(id);
}

void TWinControl::FontChanged() {
    for (TControl* c : controls_)
        if (c->ParentFont) c->ParentFontChanged();
}

void TWinControl::CreatePeers() {
    TControl::CreatePeers();
    if (!peer_) return;
    for (TControl* c : std::vector<TControl*>(controls_)) c->CreatePeers();
}

// ---------------------------------------------------------------- graphic and custom controls

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), Canvas(new TControlCanvas(this)) {}
TGraphicControl::~TGraphicControl() {
    peer_.reset();
    delete Canvas;
}
void TGraphicControl::Resized() {
    Canvas->SyncSize();
    TControl::Resized();
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), Canvas(new TControlCanvas(this)) {}
TCustomControl::~TCustomControl() {
    peer_.reset();
    delete Canvas;
}
void TCustomControl::Resized() {
    Canvas->SyncSize();
    TWinControl::Resized();
}

// ---------------------------------------------------------------- helpers

TCustomForm* GetParentForm(const TControl* control) {
    if (!control) return nullptr;
    const TControl* c = control;
    while (c->Parent) c = c->Parent;
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

TControl* FindDragTarget(TPoint screenPos, bool allowDisabled) {
    std::vector<TCustomForm*> forms;
    if (Screen->ActiveForm()) forms.push_back(Screen->ActiveForm());
    for (int i = Screen->FormCount() - 1; i >= 0; --i)
        if (Screen->Forms(i) != Screen->ActiveForm()) forms.push_back(Screen->Forms(i));
    for (TCustomForm* f : forms) {
        if (!f->Visible || f->Destroying()) continue;
        TPoint p = f->ScreenToClient(screenPos);
        if (!f->ClientRect().Contains(p)) continue;
        if (TControl* c = f->ControlAtPos(p, allowDisabled)) return c;
        return f;
    }
    return nullptr;
}
