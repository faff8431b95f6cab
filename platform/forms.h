#pragma once
// Forms, scroll boxes and the screen.
//
// A form is shown with Show or ShowModal. ShowModal runs the form until its
// ModalResult is set and the form agrees to close (OnCloseQuery, OnClose):
// with a back end the peer runs the modal loop; without one the scripted
// stand-in plays the person (TScript::AnswerShowModal).
#include <functional>
#include <vector>

#include "platform/controls.h"
#include "platform/numeric_places.h"

class TMainMenu;

enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TScrollingWinControl;

// The scroll bar of a scrolling control: Range is the extent of the
// content, Position the first visible pixel.
class TControlScrollBar : public TPropertyHost {
public:
    explicit TControlScrollBar(TScrollingWinControl* control, bool horizontal)
        : control_(control), horizontal_(horizontal) {}
    TProperty<int> Position{this, TPropId::Position, 0};
    TProperty<int> Range{this, TPropId::Max, 0};
    TProperty<bool> Visible{this, TPropId::Visible, true};
    TProperty<int> Increment{this, TPropId::Increment, 8};
    bool IsHorizontal() const { return horizontal_; }
    bool PropertyChanging(TPropId id) override;
    void PropertyChanged(TPropId id) override;

private:
    TScrollingWinControl* control_;
    bool horizontal_;
    int applied_ = 0;  // the position the children are scrolled to
};

class TScrollingWinControl : public TWinControl {
public:
    explicit TScrollingWinControl(TComponent* owner = nullptr);
    ~TScrollingWinControl() override;
    TControlScrollBar* const HorzScrollBar;
    TControlScrollBar* const VertScrollBar;
    TProperty<bool> AutoScroll{this, TPropId::AutoScroll, true};
    // Scrolls so that the control is inside the visible part.
    void ScrollInView(TControl* control);
    // Moves every child by (dx, dy).
    void ScrollBy(int dx, int dy);
    // How far the children reach, measured from the unscrolled origin.
    int ContentExtent(bool horizontal) const;
};

class TScrollBox : public TScrollingWinControl {
public:
    explicit TScrollBox(TComponent* owner = nullptr);
    TProperty<TBorderStyle> BorderStyle{this, TPropId::BorderStyle, bsSingle};
};

class TCustomForm : public TScrollingWinControl {
public:
    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;

    TProperty<TWindowState> WindowState{this, TPropId::WindowState, wsNormal};
    TProperty<TFormBorderStyle> BorderStyle{this, TPropId::BorderStyle, bsSizeable};
    TProperty<TBorderIcons> BorderIcons{this, TPropId::BorderIcons,
                                        TBorderIcons{biSystemMenu, biMinimize, biMaximize}};
    TProperty<TMainMenu*> Menu{this, TPropId::Menu, nullptr};
    TProperty<bool> KeyPreview{this, TPropId::KeyPreview, false};
    TProperty<TModalResult> ModalResult{this, TPropId::ModalResult, mrNone};
    TProperty<TPosition> Position{this, TPropId::Position_, poDesigned};
    TProperty<TFormStyle> FormStyle{this, TPropId::FormStyle, fsNormal};
    // The control that has the focus, or gets it when the form is shown.
    TProperty<TWinControl*> ActiveControl{this, TPropId::ActiveControl, nullptr};
    TControlCanvas* const Canvas;

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnPaint;
    TCloseQueryEvent OnCloseQuery;
    TCloseEvent OnClose;

    void Show() override;
    void Hide() override;
    // Shows the form modally and returns its modal result.
    int ShowModal();
    // A modal form gets ModalResult mrCancel; another asks OnCloseQuery and
    // OnClose and hides (the main form's closing ends the program).
    void Close();
    bool CloseQuery();
    // Frees the form once the current event is over.
    void Release();
    bool Modal() const { return modal_; }
    bool Active() const;
    // The modal loop's check after an event set ModalResult: true when the
    // form closes now; false (and ModalResult back to mrNone) when it stays.
    bool CheckModalEnd();

    // Focus.
    void FocusControl(TWinControl* control);
    void SelectNext(TWinControl* current, bool forward, bool checkTabStop);
    void SelectFirst();
    TWinControl* FocusedControl() const { return entered_; }
    // The control a form starts on when the program chose none: the first
    // in tab order that is a field (a row of tabs is passed by).
    TWinControl* FirstField() const;

    // Keyboard input of the person: menu shortcuts first, then the form's
    // own handlers when KeyPreview is set, then the focused control, then
    // Tab (next control), Enter (the default button) and Escape (the cancel
    // button). True when the key was used up (no character follows it).
    bool HandleKeyDown(WORD key, TShiftState shift = {});
    void HandleKeyUp(WORD key, TShiftState shift = {});
    void HandleKeyPress(char key);
    // Down, press (when the key has a character) and up.
    void SendKey(WORD key, TShiftState shift = {});
    // A press for each character, to the focused control.
    void TypeText(const AnsiString& text);
    bool IsShortCut(WORD key, TShiftState shift);

    // ---- Places that take typed text (platform/numeric_places.h) ----
    // The form's edits and grid cell blocks that hold a number, in the
    // order of the controls; those a person cannot reach (hidden,
    // disabled, read-only) are left out unless `all`.
    std::vector<TNumericPlace> NumericPlaces(bool all = false) const;
    // Edits and editable grid columns a person can reach that declare
    // neither text nor number.
    std::vector<TUndeclaredPlace> UndeclaredPlaces() const;
    // Checks the focused place as leaving it does: false when it refused.
    bool CommitFocusedPlace();
    // A place refused its text while the keyboard went to `to`: the press
    // or key that sent it there is not obeyed (TakeRefusedAction).
    void PlaceRefused(TWinControl* to);
    bool TakeRefusedAction(TWinControl* control);
    // The form is closing as cancelled: the place left is not checked.
    // (Tab or a press onto "Annulla" is a leave like any other; Esc and a
    // second press cancel.)
    bool LeavingToCancel() const;

    // OnCreate after the constructors (TApplication::CreateForm calls it);
    // OnDestroy before the destructors (TApplication::DestroyForms, Release).
    void AfterConstruction();
    void BeforeDestruction();

    TPoint ClientOrigin() const override;
    bool ModelPainted() const override { return static_cast<bool>(OnPaint); }
    bool PropertyChanging(TPropId id) override;

    // Moves the focus, firing OnExit up from the old control and OnEnter down to the new one.
    void SetFocusedControl(TWinControl* control);
    // Drops every reference to a control that goes away or is hidden (no events).
    void ForgetControl(TControl* control);

protected:
    void DoPropertyChanged(TPropId id) override;
    TSize NonClientSize() const override;
    void Paint() override;
    TControlCanvas* PaintCanvas() override { return Canvas; }
    void VisibleChanged() override;
    void Resized() override;

private:
    void Activate();
    void Deactivate();
    static void TellHidden(TWinControl* parent);
    bool HandleDialogKey(WORD key, TShiftState shift);
    TWinControl* entered_ = nullptr;
    TWinControl* refusedTo_ = nullptr;  // see PlaceRefused
    // The control the program chose to start on while the form was hidden
    // (none: the first in tab order); a form shown again starts there.
    TWinControl* startControl_ = nullptr;
    bool modal_ = false;
    bool modalEnded_ = false;
    bool destroyFired_ = false;
};

class TForm : public TCustomForm {
public:
    explicit TForm(TComponent* owner) : TCustomForm(owner) {}
};

// The desktop: its size and resolution, the installed fonts, the mouse
// pointer and the forms.
class TScreen : public TComponent, public TPropertyHost {
public:
    TScreen();
    ~TScreen() override;
    int Width() const { return metrics_.Width; }
    int Height() const { return metrics_.Height; }
    int PixelsPerInch() const { return metrics_.PixelsPerInch; }
    TStringList* const Fonts;
    TProperty<TCursor> Cursor{this, TPropId::Cursor, crDefault};
    TPoint CursorPos() const;
    void SetCursorPos(TPoint p) { cursorPos_ = p; }
    TCustomForm* ActiveForm() const { return activeForm_; }
    TWinControl* ActiveControl() const;
    int FormCount() const { return static_cast<int>(forms_.size()); }
    TCustomForm* Forms(int index) const { return forms_[index]; }
    // Headless values (tests); a back end reports its own.
    void SetMetrics(const TScreenMetrics& metrics);
    void PropertyChanged(TPropId id) override;

private:
    friend class TCustomForm;
    friend class TApplication;
    TScreenMetrics metrics_;
    TPoint cursorPos_;
    TCustomForm* activeForm_ = nullptr;
    std::vector<TCustomForm*> forms_;
};

extern TScreen* Screen;
