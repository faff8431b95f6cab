#include "platform/forms.h"

#include <algorithm>

#include "platform/application.h"
#include "platform/grids.h"
#include "platform/menus.h"

// ---------------------------------------------------------------- scrolling

bool TControlScrollBar::PropertyChanging(TPropId id) {
    if (id == TPropId::Position) {
        int visible = horizontal_ ? control_->ClientWidth : control_->ClientHeight;
        int range = Range;
        if (control_->AutoScroll) range = std::max(range, control_->ContentExtent(horizontal_));
        int limit = std::max(0, range - visible);
        Position.Pending() = std::clamp(Position.Pending(), 0, limit);
    }
    return true;
}

void TControlScrollBar::PropertyChanged(TPropId id) {
    if (id == TPropId::Position) {
        int delta = applied_ - Position;
        applied_ = Position;
        if (horizontal_)
            control_->ScrollBy(delta, 0);
        else
            control_->ScrollBy(0, delta);
    }
    control_->NotifyPeer(horizontal_ ? TPropId::HorzScrollBar : TPropId::VertScrollBar);
}

TScrollingWinControl::TScrollingWinControl(TComponent* owner)
    : TWinControl(owner),
      HorzScrollBar(new TControlScrollBar(this, true)),
      VertScrollBar(new TControlScrollBar(this, false)) {}

TScrollingWinControl::~TScrollingWinControl() {
    delete HorzScrollBar;
    delete VertScrollBar;
}

void TScrollingWinControl::ScrollBy(int dx, int dy) {
    if (dx == 0 && dy == 0) return;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        c->SetBounds(c->Left + dx, c->Top + dy, c->Width, c->Height);
    }
}

int TScrollingWinControl::ContentExtent(bool horizontal) const {
    int extent = 0;
    int offset = horizontal ? HorzScrollBar->Position : VertScrollBar->Position;
    for (int i = 0; i < ControlCount(); ++i) {
        const TControl* c = Controls(i);
        if (!c->Visible) continue;
        extent = std::max(extent, horizontal ? c->Left + c->Width + offset : c->Top + c->Height + offset);
    }
    return extent;
}

void TScrollingWinControl::ScrollInView(TControl* control) {
    if (!control || !ContainsControl(control) || control == this) return;
    TPoint topLeft = ScreenToClient(control->ClientToScreen(TPoint(0, 0)));
    if (topLeft.x < 0)
        HorzScrollBar->Position = HorzScrollBar->Position + topLeft.x;
    else if (topLeft.x + control->Width > ClientWidth)
        HorzScrollBar->Position = HorzScrollBar->Position + (topLeft.x + control->Width - ClientWidth);
    if (topLeft.y < 0)
        VertScrollBar->Position = VertScrollBar->Position + topLeft.y;
    else if (topLeft.y + control->Height > ClientHeight)
        VertScrollBar->Position = VertScrollBar->Position + (topLeft.y + control->Height - ClientHeight);
}

TScrollBox::TScrollBox(TComponent* owner) : TScrollingWinControl(owner) {
    SetBounds(0, 0, 185, 41);
    Color.SetQuiet(clBtnFace);
}

// ---------------------------------------------------------------- forms

TCustomForm::TCustomForm(TComponent* owner) : TScrollingWinControl(owner), Canvas(new TControlCanvas(this)) {
    Visible.SetQuiet(false);
    ParentFont.SetQuiet(false);
    SetBounds(0, 0, 400, 300);
    Canvas->SyncSize();
    Screen->forms_.push_back(this);
}

TCustomForm::~TCustomForm() {
    destroying_ = true;
    auto& forms = Screen->forms_;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    if (Screen->activeForm_ == this) Screen->activeForm_ = nullptr;
    if (Application->mainForm_ == this) Application->mainForm_ = nullptr;
    entered_ = nullptr;
    DestroyPeers();
    delete Canvas;
}

TSize TCustomForm::NonClientSize() const {
    int border = 0, caption = 0;
    switch (BorderStyle) {
    case bsNone: break;
    case bsToolWindow:
    case bsSizeToolWin:
        border = 3;
        caption = 16;
        break;
    case bsSingle:
    case bsDialog:
        border = 3;
        caption = 19;
        break;
    case bsSizeable:
        border = 4;
        caption = 19;
        break;
    }
    int menu = Menu ? 19 : 0;
    return TSize{2 * border, 2 * border + caption + menu};
}

TPoint TCustomForm::ClientOrigin() const {
    TSize nc = NonClientSize();
    int border = nc.cx / 2;
    return TPoint(Left + border, Top + nc.cy - border);
}

bool TCustomForm::PropertyChanging(TPropId id) {
    if (id == TPropId::ActiveControl) {
        TWinControl* c = ActiveControl.Pending();
        if (c && (c == this || GetParentForm(c) != this || !c->CanFocus()))
            throw EInvalidOperation("Impossibile spostare il fuoco su una finestra disattivata o invisibile");
    }
    return TScrollingWinControl::PropertyChanging(id);
}

void TCustomForm::DoPropertyChanged(TPropId id) {
    switch (id) {
    case TPropId::ActiveControl:
        if (!Visible) startControl_ = ActiveControl;
        if (Visible) {
            SetFocusedControl(ActiveControl);
            if (TWinControl* c = ActiveControl; c && c->Peer()) c->Peer()->SetFocus();
        }
        return;
    case TPropId::BorderStyle:
    case TPropId::Menu:
        SyncClientSize();
        Canvas->SyncSize();
        Realign();
        if (id == TPropId::Menu && Menu && Peer()) Menu.Get()->CreatePeer();
        return;
    case TPropId::WindowState:
        if (WindowState == wsMaximized && !Peer()) SetBounds(0, 0, Screen->Width(), Screen->Height());
        return;
    default: break;
    }
    TScrollingWinControl::DoPropertyChanged(id);
}

void TCustomForm::Resized() {
    Canvas->SyncSize();
    TScrollingWinControl::Resized();
}

void TCustomForm::Paint() {
    if (OnPaint) OnPaint(this);
}

void TCustomForm::Show() {
    if (Visible)
        Activate();  // already shown: brought to the front
    else
        Visible = true;
}

void TCustomForm::Hide() { Visible = false; }

void TCustomForm::VisibleChanged() {
    if (destroying_) return;
    if (Visible) {
        if (Application->Backend()) {
            CreatePeers();
            if (Menu) Menu.Get()->CreatePeer();
        }
        if (Position == poScreenCenter || Position == poDesktopCenter)
            SetBounds((Screen->Width() - Width) / 2, (Screen->Height() - Height) / 2, Width, Height);
        else if (Position == poMainFormCenter || Position == poOwnerFormCenter) {
            TCustomForm* center =
                Position == poOwnerFormCenter ? dynamic_cast<TCustomForm*>(Owner()) : nullptr;
            if (!center) center = Application->MainForm();
            if (center && center != this)
                SetBounds(center->Left + (center->Width - Width) / 2,
                          center->Top + (center->Height - Height) / 2, Width, Height);
        }
        if (OnShow) OnShow(this);
        Activate();
    } else {
        if (OnHide) OnHide(this);
        TellHidden(this);
        Deactivate();
        // Shown again, the form starts on its first field, not on the button
        // that closed it: a person typing on would otherwise press it.
        entered_ = nullptr;
        ActiveControl.SetQuiet(startControl_);
    }
}

void TCustomForm::TellHidden(TWinControl* parent) {
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (auto w = dynamic_cast<TWinControl*>(parent->Controls(i))) {
            w->FormHidden();
            TellHidden(w);
        }
}

void TCustomForm::Activate() {
    if (!Visible || destroying_) return;
    if (Screen->activeForm_ != this) {
        if (TCustomForm* previous = Screen->activeForm_; previous && previous->OnDeactivate)
            previous->OnDeactivate(previous);
        Screen->activeForm_ = this;
        if (OnActivate) OnActivate(this);
    }
    if (!Visible || Screen->activeForm_ != this) return;
    TWinControl* target = entered_;
    if (!target) {
        target = ActiveControl;
        // A form starts where the person can type: never on a read-only field.
        if (target && (!target->CanFocus() || !target->TakesInput())) target = nullptr;
        if (!target) target = FirstField();
    }
    if (target) {
        SetFocusedControl(target);
        if (target->Peer()) target->Peer()->SetFocus();
    }
}

TWinControl* TCustomForm::FirstField() const {
    TWinControl* first = FindNextControl(nullptr, true, true);
    // Past the fields that take no input (read-only ones), when another does.
    for (TWinControl* c = first; c && !c->TakesInput();) {
        c = FindNextControl(c, true, true);
        if (!c || c == first) break;
        if (c->TakesInput()) {
            first = c;
            break;
        }
    }
    // A row of tabs is no field: the first control after it in tab order
    // (the first field of its page) is, when there is one.
    for (TWinControl* c = first; c && c->IsTabStrip();) {
        c = FindNextControl(c, true, true);
        if (!c || c == first) return first;
        if (!c->IsTabStrip()) return c;
    }
    return first;
}

void TCustomForm::Deactivate() {
    if (Screen->activeForm_ != this) return;
    Screen->activeForm_ = nullptr;
    if (OnDeactivate) OnDeactivate(this);
    // The focus goes back to another shown form, the main form first.
    TCustomForm* next = nullptr;
    if (TCustomForm* main = Application->MainForm(); main && main != this && main->Visible) next = main;
    for (int i = Screen->FormCount() - 1; i >= 0 && !next; --i)
        if (Screen->Forms(i) != this && Screen->Forms(i)->Visible) next = Screen->Forms(i);
    if (next) next->Activate();
}

bool TCustomForm::Active() const { return Screen->activeForm_ == this; }

int TCustomForm::ShowModal() {
    if (Visible || modal_) throw EInvalidOperation("Impossibile rendere modale una finestra già visibile");
    ModalResult.SetQuiet(mrNone);
    modal_ = true;
    modalEnded_ = false;
    struct Restore {
        TCustomForm* f;
        ~Restore() { f->modal_ = false; }
    } restore{this};
    Show();
    if (Application->Backend() && Peer()) {
        Peer()->RunModal();
        if (!modalEnded_) {
            // The peer's loop ended without the model agreeing: close as by the close box.
            if (ModalResult == mrNone) ModalResult.SetQuiet(mrCancel);
        }
    } else {
        TScript& script = Application->Script();
        bool scripted = script.RunShowModal(*this);
        if (!modalEnded_ && !CheckModalEnd()) {
            // Nobody closed the form: the person closes it with its close box.
            ModalResult = mrCancel;
            if (!CheckModalEnd())
                throw EScriptError(
                    "La finestra \"" + Caption.Get() + "\" non si è chiusa: " +
                    (scripted ? "la risposta del test la lascia aperta" : "nessuna risposta del test"));
        }
        if (!script.ModalForms.empty()) script.ModalForms.back().Result = ModalResult;
    }
    Hide();
    return ModalResult;
}

bool TCustomForm::CheckModalEnd() {
    if (ModalResult == mrNone) return false;
    // The form's OK takes the text of the place being edited, or stays.
    if (ModalResult == mrOk && !CommitFocusedPlace()) {
        ModalResult.SetQuiet(mrNone);
        NotifyPeer(TPropId::ModalResult);
        return false;
    }
    if (!CloseQuery()) {
        ModalResult.SetQuiet(mrNone);
        NotifyPeer(TPropId::ModalResult);
        return false;
    }
    TCloseAction action = caHide;
    if (OnClose) OnClose(this, action);
    if (action == caNone) {
        ModalResult.SetQuiet(mrNone);
        NotifyPeer(TPropId::ModalResult);
        return false;
    }
    if (action == caFree) Release();
    modalEnded_ = true;
    if (Peer()) Peer()->EndModal();
    return true;
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close() {
    if (modal_) {
        ModalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    if (OnClose) OnClose(this, action);
    if (action == caNone) return;
    if (Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: WindowState = wsMinimized; break;
    case caFree: Release(); break;
    default: break;
    }
}

void TCustomForm::Release() {
    TCustomForm* self = this;
    Application->Post([self] {
        auto& forms = Screen->forms_;
        if (std::find(forms.begin(), forms.end(), self) == forms.end()) return;  // already gone
        self->BeforeDestruction();
        delete self;
    });
}

void TCustomForm::AfterConstruction() {
    if (OnCreate) OnCreate(this);
}

void TCustomForm::BeforeDestruction() {
    if (destroyFired_) return;
    destroyFired_ = true;
    if (OnDestroy) OnDestroy(this);
}

// ---------------------------------------------------------------- focus

void TCustomForm::FocusControl(TWinControl* control) {
    if (ActiveControl == control) {
        if (control && !control->CanFocus())
            throw EInvalidOperation("Impossibile spostare il fuoco su una finestra disattivata o invisibile");
        if (Visible && entered_ != control) {
            SetFocusedControl(control);
            if (control && control->Peer()) control->Peer()->SetFocus();
        }
        return;
    }
    ActiveControl = control;
}

void TCustomForm::SetFocusedControl(TWinControl* control) {
    if (entered_ == control) return;
    refusedTo_ = nullptr;
    std::vector<TWinControl*> oldChain, newChain;
    for (TControl* c = entered_; c && c != this; c = c->Parent)
        oldChain.push_back(static_cast<TWinControl*>(c));
    for (TControl* c = control; c && c != this; c = c->Parent)
        newChain.push_back(static_cast<TWinControl*>(c));
    // Controls holding both the old and the new focus neither exit nor enter.
    while (!oldChain.empty() && !newChain.empty() && oldChain.back() == newChain.back()) {
        oldChain.pop_back();
        newChain.pop_back();
    }
    entered_ = control;
    ActiveControl.SetQuiet(control);
    for (TWinControl* c : oldChain) {
        c->DoExit();
        if (entered_ != control) return;  // the handler moved the focus elsewhere
    }
    for (auto it = newChain.rbegin(); it != newChain.rend(); ++it) {
        (*it)->DoEnter();
        if (entered_ != control) return;
    }
}

void TCustomForm::ForgetControl(TControl* control) {
    auto holds = [control](TControl* c) {
        for (; c; c = c->Parent)
            if (c == control) return true;
        return false;
    };
    if (entered_ && holds(entered_)) entered_ = nullptr;
    if (refusedTo_ && holds(refusedTo_)) refusedTo_ = nullptr;
    if (ActiveControl && holds(ActiveControl)) ActiveControl.SetQuiet(nullptr);
    if (startControl_ && holds(startControl_)) startControl_ = nullptr;
}

void TCustomForm::SelectNext(TWinControl* current, bool forward, bool checkTabStop) {
    TWinControl* next = FindNextControl(current, forward, checkTabStop);
    if (next) FocusControl(next);
}

void TCustomForm::SelectFirst() {
    TWinControl* first = FindNextControl(nullptr, true, true);
    if (first) FocusControl(first);
}

// ---------------------------------------------------------------- keyboard

bool TCustomForm::IsShortCut(WORD key, TShiftState shift) {
    if (!Menu) return false;
    return Menu.Get()->IsShortCut(key, shift);
}

namespace {
// The button among the form's controls with the flag, visible and enabled.
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

bool TCustomForm::HandleDialogKey(WORD key, TShiftState shift) {
    switch (key) {
    case VK_TAB:
        if (shift.Contains(ssCtrl) || shift.Contains(ssAlt)) return false;
        SelectNext(entered_, !shift.Contains(ssShift), true);
        return true;
    case VK_RETURN: {
        TButton* b = dynamic_cast<TButton*>(entered_);
        if (!b) b = FindButton(this, true);
        if (!b) return false;
        b->Click();
        return true;
    }
    case VK_ESCAPE: {
        TButton* b = FindButton(this, false);
        if (!b) return false;
        b->Click();
        return true;
    }
    default: return false;
    }
}

bool TCustomForm::HandleKeyDown(WORD key, TShiftState shift) {
    if (IsShortCut(key, shift)) return true;
    if (KeyPreview) {
        TWinControl::KeyDown(key, shift);
        if (key == 0) return false;
    }
    TWinControl* target = entered_;
    if (target) {
        target->KeyDown(key, shift);
        if (key == 0) return false;
        if (target->WantsKey(key)) return false;
    } else if (!KeyPreview) {
        // Nothing has the focus: the form takes the key itself.
        TWinControl::KeyDown(key, shift);
        if (key == 0) return false;
    }
    return HandleDialogKey(key, shift);
}

void TCustomForm::HandleKeyUp(WORD key, TShiftState shift) {
    if (KeyPreview) {
        TWinControl::KeyUp(key, shift);
        if (key == 0) return;
    }
    if (entered_)
        entered_->KeyUp(key, shift);
    else if (!KeyPreview)
        TWinControl::KeyUp(key, shift);
}

void TCustomForm::HandleKeyPress(char key) {
    if (KeyPreview) {
        TWinControl::KeyPress(key);
        if (key == 0) return;
    }
    if (entered_)
        entered_->KeyPress(key);
    else if (!KeyPreview)
        TWinControl::KeyPress(key);
}

void TCustomForm::SendKey(WORD key, TShiftState shift) {
    bool used = HandleKeyDown(key, shift);
    char ch = 0;
    if (!used && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt)) {
        if (key >= 'A' && key <= 'Z')
            ch = static_cast<char>(shift.Contains(ssShift) ? key : key - 'A' + 'a');
        else if (key >= '0' && key <= '9')
            ch = static_cast<char>(key);
        else if (key == VK_SPACE)
            ch = ' ';
        else if (key == VK_BACK)
            ch = 8;
        else if (key == VK_RETURN)
            ch = '\r';
        else if (key == VK_TAB)
            ch = '\t';
        else if (key == VK_ESCAPE)
            ch = 27;
    }
    if (ch) HandleKeyPress(ch);
    HandleKeyUp(key, shift);
}

void TCustomForm::TypeText(const AnsiString& text) {
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            HandleKeyPress(static_cast<char>(c));
            ++i;
            continue;
        }
        size_t len = (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        len = std::min(len, text.size() - i);
        if (entered_) entered_->InsertTypedText(text.substr(i, len));
        i += len;
    }
}

// ---------------------------------------------------------------- screen

namespace {
TScreen* TheScreen() {
    // Never freed: forms may outlive every other static object.
    static TScreen* screen = new TScreen;
    return screen;
}
}  // namespace

TScreen* Screen = TheScreen();

TScreen::TScreen() : TComponent(nullptr), Fonts(new TStringList) { SetMetrics(metrics_); }

TScreen::~TScreen() { delete Fonts; }

void TScreen::SetMetrics(const TScreenMetrics& metrics) {
    metrics_ = metrics;
    Fonts->Clear();
    Fonts->SetSorted(true);
    for (const AnsiString& f : metrics_.Fonts) Fonts->Add(f);
}

TPoint TScreen::CursorPos() const {
    if (TBackend* b = Application->Backend()) return b->CursorPos();
    return cursorPos_;
}

TWinControl* TScreen::ActiveControl() const { return activeForm_ ? activeForm_->FocusedControl() : nullptr; }

void TScreen::PropertyChanged(TPropId id) {
    if (id == TPropId::Cursor)
        if (TBackend* b = Application->Backend()) b->SetCursor(Cursor);
}

// ---------------------------------------------------------------- places that take typed text

bool TCustomForm::CommitFocusedPlace() {
    for (TControl* c = entered_; c && c != this; c = c->Parent)
        if (auto w = dynamic_cast<TWinControl*>(c); w && !w->CommitPlace()) return false;
    return true;
}

void TCustomForm::PlaceRefused(TWinControl* to) { refusedTo_ = to; }

bool TCustomForm::TakeRefusedAction(TWinControl* control) {
    if (!refusedTo_ || refusedTo_ != control) return false;
    refusedTo_ = nullptr;
    return true;
}

bool TCustomForm::LeavingToCancel() const { return ModalResult == mrCancel; }

namespace {
bool Reachable(const TWinControl* c) {
    for (const TControl* p = c; p; p = p->Parent)
        if (!p->Visible || !p->Enabled) return false;
    return true;
}

template <class F>
void WalkControls(const TWinControl* parent, F&& visit) {
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (auto w = dynamic_cast<TWinControl*>(parent->Controls(i))) {
            visit(w);
            WalkControls(w, visit);
        }
}

// The edits a person types in as places of their own: a grid's editor
// belongs to its grid's cells, a memo holds free text.
TCustomEdit* OwnEdit(TWinControl* w) {
    auto e = dynamic_cast<TCustomEdit*>(w);
    if (!e || dynamic_cast<TInplaceEdit*>(e) || dynamic_cast<TMemo*>(e)) return nullptr;
    return e;
}
}  // namespace

std::vector<TNumericPlace> TCustomForm::NumericPlaces(bool all) const {
    std::vector<TNumericPlace> places;
    WalkControls(this, [&](TWinControl* w) {
        if (!all && !Reachable(w)) return;
        if (TCustomEdit* e = OwnEdit(w)) {
            if (e->HeldRule().IsNumber() && (all || !e->ReadOnly))
                places.push_back(TNumericPlace{e, nullptr, -1, -1, e->HeldRule(), e->PlaceName()});
        } else if (auto g = dynamic_cast<TCustomGrid*>(w); g && (all || g->Options->Contains(goEditing))) {
            for (const TCustomGrid::TCellRule& block : g->CellRules()) {
                if (!block.Rule.IsNumber()) continue;
                const int col = std::max(block.Cells.Left, g->FixedCols.Get());
                const int row = std::max(block.Cells.Top, g->FixedRows.Get());
                if (col > block.Cells.Right || row > block.Cells.Bottom || col >= g->ColCount || row >= g->RowCount)
                    continue;
                places.push_back(TNumericPlace{nullptr, g, col, row, block.Rule, g->PlaceName(col, row)});
            }
        }
    });
    return places;
}

std::vector<TUndeclaredPlace> TCustomForm::UndeclaredPlaces() const {
    std::vector<TUndeclaredPlace> places;
    WalkControls(this, [&](TWinControl* w) {
        if (!Reachable(w)) return;
        if (TCustomEdit* e = OwnEdit(w)) {
            if (!e->ReadOnly && !e->HeldRule().Declared())
                places.push_back(TUndeclaredPlace{e, -1, e->Name.empty() ? e->PlaceName() : e->Name});
        } else if (auto g = dynamic_cast<TCustomGrid*>(w); g && g->Options->Contains(goEditing)) {
            for (int col = g->FixedCols; col < g->ColCount; ++col)
                if (!g->CellRule(col, g->FixedRows).Declared())
                    places.push_back(TUndeclaredPlace{g, col, g->PlaceName(col, g->FixedRows)});
        }
    });
    return places;
}
