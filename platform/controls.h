#pragma once
// The control model: TControl, TWinControl (children, focus, tab order,
// alignment), TGraphicControl and TCustomControl (controls with a canvas that
// the model paints). Each control is plain state; a back end may attach a
// peer that shows it (see platform/backend.h). The standard controls are
// declared in the headers included at the end of this one.
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "platform/backend.h"
#include "platform/classes.h"
#include "platform/engines.h"
#include "platform/graphics.h"
#include "platform/properties.h"

class TWinControl;
class TCustomForm;
class TForm;
class TPopupMenu;

using WORD = uint16_t;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateFlag>;
enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
// Edits and panels use the first two.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;

using TCursor = int;
enum : int {
    crDefault = 0,
    crNone = -1,
    crArrow = -2,
    crCross = -3,
    crIBeam = -4,
    crSizeNESW = -6,
    crSizeNS = -7,
    crSizeNWSE = -8,
    crSizeWE = -9,
    crUpArrow = -10,
    crHourGlass = -11,
    crDrag = -12,
    crNoDrop = -13,
    crHSplit = -14,
    crVSplit = -15,
    crMultiDrag = -16,
    crNo = -18,
    crAppStart = -19,
    crHelp = -20,
    crHandPoint = -21,
    crSizeAll = -22,
};

using TModalResult = int;
enum : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
};

// Virtual key codes; letters and digits are their capital ASCII codes.
enum : WORD {
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_F1 = 0x70,
    VK_F2,
    VK_F3,
    VK_F4,
    VK_F5,
    VK_F6,
    VK_F7,
    VK_F8,
    VK_F9,
    VK_F10,
    VK_F11,
    VK_F12,
};

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent =
    std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TContextPopupEvent = std::function<void(TObject* Sender, TPoint MousePos, bool& Handled)>;

// Binds a member function as an event handler:
// `BOk->OnClick = Handler(this, &TDatiComponenti::OkClick);`
template <class C, class R, class... A>
auto Handler(C* object, R (C::*method)(A...)) {
    return [object, method](A... args) { (object->*method)(std::forward<A>(args)...); };
}

// A control made in code: owned by owner, shown on parent at the given bounds.
template <class T>
T* MakeControl(TComponent* owner, TWinControl* parent, int left, int top, int width, int height) {
    T* control = new T(owner);
    control->Parent = parent;
    control->SetBounds(left, top, width, height);
    return control;
}

class EInvalidOperation : public Exception {
    using Exception::Exception;
};

// The canvas of a control: it records when nothing else draws it, and its
// device is the control's client area.
class TControlCanvas : public TCanvas {
public:
    explicit TControlCanvas(TControl* control);
    // What the canvas drew while it recorded (tests read it).
    TRecordingEngine& Recording() { return recording_; }
    void SyncSize();

private:
    TControl* control_;
    TRecordingEngine recording_;
};

class TControl : public TComponent, public TPropertyHost {
public:
    explicit TControl(TComponent* owner = nullptr);
    ~TControl() override;

    TProperty<TWinControl*> Parent{this, TPropId::Parent, nullptr};
    TProperty<int> Left{this, TPropId::Left, 0};
    TProperty<int> Top{this, TPropId::Top, 0};
    TProperty<int> Width{this, TPropId::Width, 0};
    TProperty<int> Height{this, TPropId::Height, 0};
    TProperty<int> ClientWidth{this, TPropId::ClientWidth, 0};
    TProperty<int> ClientHeight{this, TPropId::ClientHeight, 0};
    TProperty<TAlign> Align{this, TPropId::Align, alNone};
    TProperty<TAnchors> Anchors{this, TPropId::Anchors, TAnchors{akLeft, akTop}};
    TProperty<bool> Visible{this, TPropId::Visible, true};
    TProperty<bool> Enabled{this, TPropId::Enabled, true};
    TProperty<AnsiString> Caption{this, TPropId::Caption};
    // Assigning a font's properties makes ParentFont false; while ParentFont
    // is true the control takes its parent's font.
    TFont* const Font;
    TProperty<bool> ParentFont{this, TPropId::ParentFont, true};
    TProperty<TColor> Color{this, TPropId::Color, clBtnFace};
    TProperty<bool> ParentColor{this, TPropId::ParentColor, false};
    TProperty<AnsiString> Hint{this, TPropId::Hint};
    TProperty<bool> ShowHint{this, TPropId::ShowHint, false};
    TProperty<TCursor> Cursor{this, TPropId::Cursor, crDefault};
    TProperty<TPopupMenu*> PopupMenu{this, TPropId::PopupMenu, nullptr};
    TProperty<TDragMode> DragMode{this, TPropId::None, dmManual};

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TEndDragEvent OnEndDrag;
    TNotifyEvent OnStartDrag;
    TContextPopupEvent OnContextPopup;

    void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return Bounds(Left, Top, Width, Height); }
    void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
    TRect ClientRect() const { return TRect(0, 0, ClientWidth, ClientHeight); }
    // Screen position of the client area's top-left corner.
    virtual TPoint ClientOrigin() const;
    TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;
    // Visible, and every parent up to a shown form visible.
    bool Showing() const;
    bool Destroying() const { return destroying_; }

    virtual void Show() { Visible = true; }
    virtual void Hide() { Visible = false; }
    void BringToFront();
    void SendToBack();
    virtual bool CanFocus() const { return false; }
    virtual bool Focused() const { return false; }

    // Painting. Controls the model paints draw in Paint() on their Canvas.
    virtual bool ModelPainted() const { return false; }
    void Invalidate();
    void InvalidateRect(const TRect& r);
    void Repaint();
    void Refresh() { Repaint(); }
    void Update();
    // Paints the control through an engine (the peer's paint event; tests).
    void PaintTo(TPaintEngine* engine);

    // Input, from the peer or from a test standing in for the person. The
    // coordinates are the control's client coordinates.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Click();
    virtual void DblClick();
    // Wheel delta in the units of the desktop (120 a notch); true when handled.
    virtual bool MouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos);
    // Whether a left click ends in Click (lists and grids fire OnClick from their selection instead).
    virtual bool ClickEvents() const { return true; }
    // A whole left click: down, Click, up.
    void ClickAt(int x, int y, TShiftState shift = {});
    // A double click: down, up, Click, down with ssDouble, DblClick, up.
    void DoubleClickAt(int x, int y, TShiftState shift = {});
    // A right click: down, up, then the popup menu (or OnContextPopup).
    void RightClickAt(int x, int y, TShiftState shift = {});
    // Moves the focus here as the person did it (no peer echo).
    void UserFocus();

    // Drag and drop. With immediate false the drag starts once the mouse has
    // moved threshold pixels from where the button went down (-1: 5 pixels).
    void BeginDrag(bool immediate, int threshold = -1);
    void EndDrag(bool drop);
    bool Dragging() const;

    // A change the person made: fires what the person's change fires, and
    // the peer is not told of it again.
    template <class T, class U>
    void UserSet(TProperty<T>& p, U&& value) {
        T v(std::forward<U>(value));
        TPropId saved = userProp_;
        userProp_ = p.Id();
        struct Restore {
            TControl* c;
            TPropId saved;
            ~Restore() { c->userProp_ = saved; }
        } restore{this, saved};
        p = v;
        // Refused or changed on the way: show the peer what the model holds.
        if (userProp_ == p.Id() && !(p.Get() == v)) {
            userProp_ = TPropId::None;
            NotifyPeer(p.Id());
        }
    }
    // Inside DoPropertyChanged and the events it fires: the change came from the person.
    bool ChangedByUser() const { return byUser_; }
    bool UserChanging(TPropId id) const { return userProp_ == id; }

    TControlPeer* Peer() const { return peer_.get(); }
    // Makes the peer (and those of the children) when a back end runs.
    virtual void CreatePeers();
    void DestroyPeers();
    void NotifyPeer(TPropId id, int index = -1);

    bool PropertyChanging(TPropId id) override;
    void PropertyChanged(TPropId id) final;

    // Parents call this when their font changes.
    void ParentFontChanged();
    void Notification(TComponent* component, TOperation operation) override;

protected:
    // Side effects and events of a property change (after the peer heard of it).
    virtual void DoPropertyChanged(TPropId id);
    virtual void Paint() {}
    // Frame around the client area (forms: border, caption and menu).
    virtual TSize NonClientSize() const { return {0, 0}; }
    virtual void Resized();
    virtual void VisibleChanged();
    virtual void EnabledChanged() {}
    virtual TControlCanvas* PaintCanvas() { return nullptr; }
    void FireMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual bool DoMouseWheelDown(TShiftState shift, TPoint mousePos);
    virtual bool DoMouseWheelUp(TShiftState shift, TPoint mousePos);
    void SyncClientSize();
    // The last mouse position seen, in client coordinates.
    TPoint lastMouse_;

    std::unique_ptr<TControlPeer> peer_;
    bool destroying_ = false;
    bool fontAssigning_ = false;

private:
    friend class TWinControl;
    friend class TCustomForm;
    void SetParentLink(TWinControl* parent);
    void UpdateAnchorRules();
    TWinControl* linkedParent_ = nullptr;
    TPropId userProp_ = TPropId::None;
    bool byUser_ = false;
    bool dirty_ = false;
    bool anchoring_ = false;
    int anchorRight_ = 0, anchorBottom_ = 0;  // distances kept by right and bottom anchors
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner = nullptr);
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const { return controls_[index]; }
    // The position among the parent's focusable children; setting it reorders them.
    TProperty<int> TabOrder{this, TPropId::TabOrder, -1};
    TProperty<bool> TabStop{this, TPropId::TabStop, false};

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    void SetFocus();
    bool Focused() const override;
    bool CanFocus() const override;
    // Whether the control takes Tab and Enter itself instead of the form.
    virtual bool WantsKey(WORD key) const;
    // Whether a click gives the control the focus, and whether Tab may stop here.
    virtual bool TakesFocusOnClick() const { return TabStop; }
    virtual bool AcceptsFocus() const { return true; }
    // Whether the control only chooses among the pages of other controls (a
    // row of tabs): a form shown starts on its first field, past it.
    virtual bool IsTabStrip() const { return false; }
    // Whether typing changes the control (a read-only edit takes no input):
    // a form shown starts on a control that does.
    virtual bool TakesInput() const { return true; }
    // The form holding the control was hidden: an editor or a list the
    // control opened for the person goes with it.
    virtual void FormHidden() {}
    // A place that takes typed text checks what the person typed as leaving
    // it does (platform/numeric_places.h): false when it refused the text.
    virtual bool CommitPlace() { return true; }

    virtual void KeyDown(WORD& key, TShiftState shift);
    virtual void KeyUp(WORD& key, TShiftState shift);
    virtual void KeyPress(char& key);
    // Typed text that has no single-byte key (accented letters): edits insert it.
    virtual void InsertTypedText(const AnsiString& /*text*/) {}

    // The deepest visible child (or grandchild) at a client point.
    TControl* ControlAtPos(TPoint p, bool allowDisabled = false) const;
    bool ContainsControl(const TControl* control) const;
    // Focusable descendants in tab order.
    void GetTabOrderList(std::vector<TWinControl*>& list) const;
    TWinControl* FindNextControl(TWinControl* current, bool forward, bool checkTabStop) const;
    void Realign();
    void DisableAlign() { ++alignLock_; }
    void EnableAlign();

    // Enter and exit, fired by the form when the focus moves.
    virtual void DoEnter();
    virtual void DoExit();

    void CreatePeers() override;

protected:
    void DoPropertyChanged(TPropId id) override;
    void Resized() override;
    virtual void AlignControls(TRect& rect);
    // The part of the client area that aligned children share (group boxes leave room for the caption).
    virtual TRect AlignRect() const { return ClientRect(); }
    void FontChanged();

private:
    friend class TControl;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void RenumberTabs();
    static void MarkDestroying(TWinControl* w);
    std::vector<TControl*> controls_;
    std::vector<TWinControl*> tabList_;
    int alignLock_ = 0;
    bool aligning_ = false;
    int lastWidth_ = 0, lastHeight_ = 0;
};

// A control without a window of its own, drawn by the model on its parent.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner = nullptr);
    ~TGraphicControl() override;
    TControlCanvas* const Canvas;
    bool ModelPainted() const override { return true; }

protected:
    TControlCanvas* PaintCanvas() override { return Canvas; }
    void Resized() override;
};

// A windowed control that the model paints (grids, tree views, the program's own controls).
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner = nullptr);
    ~TCustomControl() override;
    TControlCanvas* const Canvas;
    bool ModelPainted() const override { return true; }

protected:
    TControlCanvas* PaintCanvas() override { return Canvas; }
    void Resized() override;
};

// The form a control stands on, or nullptr.
TCustomForm* GetParentForm(const TControl* control);
// The visible, enabled control under a screen point, on the shown forms.
TControl* FindDragTarget(TPoint screenPos, bool allowDisabled = false);

#include "platform/stdctrls.h"
