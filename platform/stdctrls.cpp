#include "platform/stdctrls.h"

#include <algorithm>

#include "platform/comctrls.h"
#include "platform/forms.h"
#include "platform/utf8.h"

namespace {
AnsiString JoinLines(const TStringList& lines) {
    AnsiString s;
    for (int i = 0; i < lines.Count(); ++i) {
        if (i) s += "\r\n";
        s += lines[i];
    }
    return s;
}

// Binds a canvas to an engine for one drawing, and back.
struct EngineScope {
    TCanvas* canvas;
    TPaintEngine* previous;
    EngineScope(TCanvas* c, TPaintEngine* e) : canvas(c), previous(c->Engine()) { c->SetEngine(e); }
    ~EngineScope() { canvas->SetEngine(previous); }
};
}  // namespace

// ---------------------------------------------------------------- TLabel

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
    ParentColor.SetQuiet(true);
    SetBounds(0, 0, 65, 13);
}

AnsiString TLabel::DisplayText() const {
    const AnsiString& c = Caption;
    if (!ShowAccelChar) return c;
    AnsiString out;
    for (size_t i = 0; i < c.size(); ++i) {
        if (c[i] == '&') {
            if (i + 1 < c.size() && c[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += c[i];
    }
    return out;
}

void TLabel::AdjustBounds() {
    if (!AutoSize || destroying_) return;
    TFontState f = FontStateOf(*Font);
    AnsiString text = DisplayText();
    int w = Width, h;
    if (WordWrap) {
        h = static_cast<int>(TTextMetrics::Wrap(f, text, w).size()) * TTextMetrics::Extent(f, "0").cy;
    } else {
        w = TTextMetrics::Extent(f, text).cx;
        h = TTextMetrics::Extent(f, text.empty() ? AnsiString("0") : text).cy;
    }
    int left = Left;
    if (!WordWrap && Alignment == taRightJustify) left = Left + Width - w;
    SetBounds(left, Top, w, h);
}

void TLabel::DoPropertyChanged(TPropId id) {
    TGraphicControl::DoPropertyChanged(id);
    switch (id) {
    case TPropId::Caption:
    case TPropId::AutoSize:
    case TPropId::WordWrap:
    case TPropId::Font: AdjustBounds(); break;
    case TPropId::Control:
        if (FocusControl) FreeNotification(FocusControl);
        break;
    default: break;
    }
}

void TLabel::Notification(TComponent* component, TOperation operation) {
    if (operation == opRemove && component == FocusControl.Get()) FocusControl.SetQuiet(nullptr);
    TGraphicControl::Notification(component, operation);
}

void TLabel::Paint() {
    Canvas->Font->Assign(*Font);
    TRect r = ClientRect();
    if (!Transparent) {
        Canvas->Brush->Color = Color;
        Canvas->Brush->Style = bsSolid;
        Canvas->FillRect(r);
    }
    Canvas->Brush->Style = bsClear;
    if (!Enabled) Canvas->Font->Color = clGrayText;
    TFontState f = FontStateOf(*Canvas->Font);
    std::vector<AnsiString> lines =
        WordWrap ? TTextMetrics::Wrap(f, DisplayText(), r.Width()) : std::vector<AnsiString>{DisplayText()};
    int lineHeight = TTextMetrics::Extent(f, "0").cy;
    int total = lineHeight * static_cast<int>(lines.size());
    int y = Layout == tlTop ? 0 : Layout == tlCenter ? (r.Height() - total) / 2 : r.Height() - total;
    for (const AnsiString& line : lines) {
        int w = TTextMetrics::Extent(f, line).cx;
        int x = Alignment == taLeftJustify ? 0 : Alignment == taCenter ? (r.Width() - w) / 2 : r.Width() - w;
        Canvas->TextRect(r, x, y, line);
        y += lineHeight;
    }
}

// ---------------------------------------------------------------- edits

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
    TabStop.SetQuiet(true);
    Color.SetQuiet(clWindow);
    SetBounds(0, 0, 121, 21);
}

TCustomEdit::~TCustomEdit() {
    if (upDown_) upDown_->AssociateDestroyed();
}

TEdit::TEdit(TComponent* owner) : TCustomEdit(owner) {}

int TCustomEdit::GetTextLen() const { return utf8::Length(Text); }

AnsiString TCustomEdit::SelText() const { return utf8::Mid(Text, SelStart, SelLength); }

bool TCustomEdit::PropertyChanging(TPropId id) {
    if (id == TPropId::SelStart) SelStart.Pending() = std::clamp(SelStart.Pending(), 0, GetTextLen());
    if (id == TPropId::SelLength)
        SelLength.Pending() = std::clamp(SelLength.Pending(), 0, GetTextLen() - SelStart);
    return TWinControl::PropertyChanging(id);
}

void TCustomEdit::DoPropertyChanged(TPropId id) {
    if (id == TPropId::Text) {
        if (!ChangedByUser()) {
            SelStart.SetQuiet(0);
            SelLength.SetQuiet(0);
        } else {
            int len = GetTextLen();
            SelStart.SetQuiet(std::min(SelStart.Get(), len));
            SelLength.SetQuiet(std::min(SelLength.Get(), len - SelStart));
        }
        if (!ChangedByUser()) taken_ = Text;
        if (upDown_) upDown_->AssociateTextChanged();
        Change();
        return;
    }
    if (id == TPropId::SelStart) SelLength.SetQuiet(std::min(SelLength.Get(), GetTextLen() - SelStart));
    TWinControl::DoPropertyChanged(id);
}

void TCustomEdit::Change() {
    if (OnChange && !destroying_) OnChange(this);
}

void TCustomEdit::UserEdit(const AnsiString& text, int caret) {
    // A key that leaves the text as it was (a "3" typed over a selected "3")
    // still moves the caret past it: the window must drop its selection too,
    // or the next key would replace what was just typed.
    if (text == Text.Get()) {
        SelLength = 0;
        SelStart = caret;
        return;
    }
    SelStart.SetQuiet(caret);
    SelLength.SetQuiet(0);
    UserSet(Text, text);
}

void TCustomEdit::SetSelText(const AnsiString& text) {
    int start = SelStart;
    const AnsiString& t = Text;
    AnsiString updated =
        t.substr(0, utf8::Offset(t, start)) + text + t.substr(utf8::Offset(t, start + SelLength));
    Text = updated;
    SelStart = start + utf8::Length(text);
}

void TCustomEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    clicked_ = true;
    try {
        TWinControl::MouseDown(button, shift, x, y);
    } catch (...) {
        clicked_ = false;
        throw;
    }
    clicked_ = false;
}

void TCustomEdit::Holds(const TNumberRule& rule, const AnsiString& placeName) {
    Holds(rule, [placeName] { return placeName; });
}

void TCustomEdit::Holds(const TNumberRule& rule, std::function<AnsiString()> placeName) {
    rule_ = rule;
    placeName_ = std::move(placeName);
}

TNumberRule TCustomEdit::HeldRule() const {
    if (!rule_.Declared() && upDown_) return TNumberRule::Whole(upDown_->Min, upDown_->Max);
    return rule_;
}

bool TCustomEdit::CommitTyped() {
    if (committing_ || destroying_ || ReadOnly || !Showing()) return true;
    const AnsiString text = Text;
    if (text == taken_) return true;
    const AnsiString refusal = HeldRule().Refusal(PlaceName(), text);
    if (refusal.empty()) {
        taken_ = text;
        return true;
    }
    committing_ = true;
    struct Restore {
        bool& f;
        ~Restore() { f = false; }
    } restore{committing_};
    TCustomForm* form = GetParentForm(this);
    TWinControl* going = form ? form->FocusedControl() : nullptr;
    Text = taken_;
    ShowRefusal(refusal);
    if (CanFocus() && !Focused()) SetFocus();
    if (form && going != this) form->PlaceRefused(going);
    SelectAll();
    return false;
}

void TCustomEdit::DoExit() {
    TCustomForm* form = GetParentForm(this);
    if (!(form && form->LeavingToCancel()) && !CommitTyped()) return;
    TWinControl::DoExit();
}

void TCustomEdit::DoEnter() {
    if (AutoSelect && !clicked_ && !destroying_) SelectAll();
    TWinControl::DoEnter();
}

void TCustomEdit::SelectAll() {
    SelStart = 0;
    SelLength = GetTextLen();
}

void TCustomEdit::InsertTypedText(const AnsiString& text) {
    if (ReadOnly || text.empty()) return;
    int len = GetTextLen(), add = utf8::Length(text);
    if (MaxLength > 0 && len - SelLength + add > MaxLength) return;
    const AnsiString& t = Text;
    int start = SelStart;
    AnsiString updated =
        t.substr(0, utf8::Offset(t, start)) + text + t.substr(utf8::Offset(t, start + SelLength));
    UserEdit(updated, start + add);
}

void TCustomEdit::KeyPress(char& key) {
    TWinControl::KeyPress(key);
    if (key == 0 || ReadOnly) return;
    if (key == 8) {
        const AnsiString& t = Text;
        int start = SelStart, count = SelLength;
        if (count == 0) {
            if (start == 0) return;
            --start;
            count = 1;
        }
        UserEdit(t.substr(0, utf8::Offset(t, start)) + t.substr(utf8::Offset(t, start + count)), start);
        return;
    }
    if (static_cast<unsigned char>(key) >= 32 && key != 127) InsertTypedText(AnsiString(1, key));
}

void TCustomEdit::KeyDown(WORD& key, TShiftState shift) {
    TWinControl::KeyDown(key, shift);
    int len = GetTextLen();
    switch (key) {
    case VK_RETURN:
        // Invio takes the text first: refused, the key goes no further; in
        // a table of edits it stays in the cell.
        if (!CommitTyped() || TableCell) key = 0;
        break;
    case VK_DELETE: {
        if (ReadOnly) return;
        const AnsiString& t = Text;
        int start = SelStart, count = SelLength ? SelLength.Get() : (start < len ? 1 : 0);
        if (count)
            UserEdit(t.substr(0, utf8::Offset(t, start)) + t.substr(utf8::Offset(t, start + count)), start);
        break;
    }
    case VK_LEFT:
        SelStart = std::max(0, SelStart - 1);
        SelLength = 0;
        break;
    case VK_RIGHT:
        SelStart = std::min(len, SelStart + SelLength + 1);
        SelLength = 0;
        break;
    case VK_HOME:
        SelStart = 0;
        SelLength = 0;
        break;
    case VK_END:
        SelStart = len;
        SelLength = 0;
        break;
    default: break;
    }
}

TMemo::TMemo(TComponent* owner) : TCustomEdit(owner), Lines(new TStringList) {
    AutoSelect.SetQuiet(false);  // lines of text are added to, not retyped
    SetBounds(0, 0, 185, 89);
    Lines->OnChange = [this](TObject*) {
        if (syncing_) return;
        syncing_ = true;
        struct Restore {
            bool& f;
            ~Restore() { f = false; }
        } restore{syncing_};
        Text = JoinLines(*Lines);
    };
}

TMemo::~TMemo() {
    Lines->OnChange = nullptr;
    delete Lines;
}

void TMemo::DoPropertyChanged(TPropId id) {
    if (id == TPropId::Text && !syncing_) {
        syncing_ = true;
        struct Restore {
            bool& f;
            ~Restore() { f = false; }
        } restore{syncing_};
        Lines->SetText(Text);
    }
    TCustomEdit::DoPropertyChanged(id);
}

bool TMemo::WantsKey(WORD key) const {
    return (key == VK_RETURN && WantReturns) || (key == VK_TAB && WantTabs);
}

void TMemo::KeyPress(char& key) {
    if (key == '\r' && WantReturns) {
        TWinControl::KeyPress(key);
        if (key) InsertTypedText("\r\n");
        return;
    }
    if (key == '\t' && WantTabs) {
        TWinControl::KeyPress(key);
        if (key) InsertTypedText("\t");
        return;
    }
    TCustomEdit::KeyPress(key);
}

// ---------------------------------------------------------------- buttons

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    TabStop.SetQuiet(true);
    SetBounds(0, 0, 75, 25);
}

void TButton::Click() {
    if (TCustomForm* form = GetParentForm(this)) {
        // A press that moved the keyboard from a place that refused its
        // text is not obeyed; a button that acts on the form first has the
        // focused place's text checked (one that cancels the form needs none).
        if (form->TakeRefusedAction(this)) return;
        const bool cancels = Cancel || ModalResult == mrCancel;
        if (!cancels && !form->CommitFocusedPlace()) return;
        form->ModalResult = ModalResult.Get();
    }
    TWinControl::Click();
}

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
    TabStop.SetQuiet(true);
    SetBounds(0, 0, 97, 17);
}

void TCheckBox::Click() {
    TCheckBoxState next = State == cbUnchecked ? (AllowGrayed ? cbGrayed : cbChecked)
                          : State == cbChecked ? cbUnchecked
                                               : cbChecked;
    UserSet(State, next);
}

void TCheckBox::DoPropertyChanged(TPropId id) {
    if (id == TPropId::Checked || id == TPropId::State) {
        if (id == TPropId::Checked)
            State.SetQuiet(Checked ? cbChecked : cbUnchecked);
        else
            Checked.SetQuiet(State == cbChecked);
        NotifyPeer(id == TPropId::Checked ? TPropId::State : TPropId::Checked);
        TControl::Click();
        return;
    }
    TWinControl::DoPropertyChanged(id);
}

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner) {
    TabStop.SetQuiet(true);
    SetBounds(0, 0, 113, 17);
}

void TRadioButton::Click() { UserSet(Checked, true); }

void TRadioButton::DoPropertyChanged(TPropId id) {
    if (id == TPropId::Checked) {
        if (Checked) {
            if (TWinControl* p = Parent)
                for (int i = 0; i < p->ControlCount(); ++i)
                    if (auto r = dynamic_cast<TRadioButton*>(p->Controls(i)); r && r != this && r->Checked) {
                        r->Checked.SetQuiet(false);
                        r->NotifyPeer(TPropId::Checked);
                    }
            TControl::Click();
        }
        return;
    }
    TWinControl::DoPropertyChanged(id);
}

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 185, 105); }

TRect TGroupBox::AlignRect() const {
    int caption = TTextMetrics::Extent(FontStateOf(*Font), "0").cy;
    return TRect(2, caption + 2, std::max(2, ClientWidth - 2), std::max(caption + 2, ClientHeight - 2));
}

// ---------------------------------------------------------------- combo boxes

TComboBox::TComboBox(TComponent* owner)
    : TWinControl(owner), Items(new TStringList), Canvas(new TControlCanvas(this)) {
    TabStop.SetQuiet(true);
    Color.SetQuiet(clWindow);
    SetBounds(0, 0, 145, 21);
    Items->OnChange = [this](TObject*) { ItemsChanged(); };
}

TComboBox::~TComboBox() {
    DestroyPeers();
    Items->OnChange = nullptr;
    delete Items;
    delete Canvas;
}

void TComboBox::Resized() {
    Canvas->SyncSize();
    TWinControl::Resized();
}

void TComboBox::Clear() {
    Items->Clear();
    Text = "";
}

void TComboBox::ItemsChanged() {
    if (destroying_) return;
    if (ItemIndex >= Items->Count()) {
        ItemIndex.SetQuiet(-1);
        NotifyPeer(TPropId::ItemIndex);
        if (!TextIsFree()) Text.SetQuiet("");
    } else if (ItemIndex >= 0 && !TextIsFree()) {
        Text.SetQuiet((*Items)[ItemIndex]);
    }
    NotifyPeer(TPropId::Items);
}

bool TComboBox::PropertyChanging(TPropId id) {
    if (id == TPropId::ItemIndex) {
        int& p = ItemIndex.Pending();
        if (p < -1 || p >= Items->Count()) p = -1;
    }
    return TWinControl::PropertyChanging(id);
}

void TComboBox::DoPropertyChanged(TPropId id) {
    switch (id) {
    case TPropId::ItemIndex: {
        syncing_ = true;
        Text.SetQuiet(ItemIndex >= 0 ? (*Items)[ItemIndex] : AnsiString());
        syncing_ = false;
        NotifyPeer(TPropId::Text);
        if (ChangedByUser()) {
            TControl::Click();
            if (OnSelect)
                OnSelect(this);
            else if (OnChange)
                OnChange(this);
        }
        return;
    }
    case TPropId::Text: {
        if (syncing_) return;
        int found = Items->IndexOf(Text);
        if (TextIsFree()) {
            ItemIndex.SetQuiet(found);
        } else if (found >= 0) {
            ItemIndex.SetQuiet(found);
            Text.SetQuiet((*Items)[found]);
        } else {
            // A drop-down list shows only its items.
            Text.SetQuiet(ItemIndex >= 0 ? (*Items)[ItemIndex] : AnsiString());
            NotifyPeer(TPropId::Text);
        }
        NotifyPeer(TPropId::ItemIndex);
        if (ChangedByUser() && OnChange) OnChange(this);
        return;
    }
    case TPropId::Sorted: Items->SetSorted(Sorted); return;
    case TPropId::Style:
        if (!TextIsFree()) Text.SetQuiet(ItemIndex >= 0 ? (*Items)[ItemIndex] : AnsiString());
        return;
    case TPropId::Position:
        if (DroppedDown) {
            if (OnDropDown) OnDropDown(this);
        } else if (OnCloseUp) {
            OnCloseUp(this);
        }
        return;
    default: TWinControl::DoPropertyChanged(id);
    }
}

void TComboBox::SelectByUser(int index) { UserSet(ItemIndex, index); }

void TComboBox::KeyPress(char& key) {
    TWinControl::KeyPress(key);
    if (key == 0 || !TextIsFree()) return;
    if (key == 8) {
        const AnsiString& t = Text;
        if (!t.empty()) UserSet(Text, t.substr(0, utf8::Offset(t, utf8::Length(t) - 1)));
        return;
    }
    if (static_cast<unsigned char>(key) >= 32 && key != 127) InsertTypedText(AnsiString(1, key));
}

void TComboBox::InsertTypedText(const AnsiString& text) {
    if (!TextIsFree()) return;
    if (MaxLength > 0 && utf8::Length(Text) + utf8::Length(text) > MaxLength) return;
    UserSet(Text, Text + text);
}

void TComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
    Canvas->Font->Assign(*Font);
    Canvas->Brush->Style = bsSolid;
    Canvas->Brush->Color = Color;
    if (state.Contains(odSelected)) {
        Canvas->Brush->Color = clHighlight;
        Canvas->Font->Color = clHighlightText;
    }
    if (OwnerDrawn() && OnDrawItem) {
        OnDrawItem(this, index, rect, state);
        return;
    }
    Canvas->FillRect(rect);
    if (index >= 0 && index < Items->Count()) Canvas->TextOut(rect.Left + 2, rect.Top, (*Items)[index]);
    // The item with the focus shows the system's dotted focus mark, so that
    // a person sees where the arrows and the space bar act.
    if (state.Contains(odFocused)) Canvas->DrawFocusRect(rect, state.Contains(odSelected) ? clHighlightText : clBlack);
}

void TComboBox::PaintItemTo(TPaintEngine* engine, int index, const TRect& rect, TOwnerDrawState state) {
    if (!engine) return;
    EngineScope scope(Canvas, engine);
    DrawItem(index, rect, state);
}

// ---------------------------------------------------------------- list boxes

TListBox::TListBox(TComponent* owner)
    : TWinControl(owner), Items(new TStringList), Canvas(new TControlCanvas(this)) {
    TabStop.SetQuiet(true);
    Color.SetQuiet(clWindow);
    SetBounds(0, 0, 121, 97);
    Items->OnChange = [this](TObject*) { ItemsChanged(); };
}

TListBox::~TListBox() {
    DestroyPeers();
    Items->OnChange = nullptr;
    delete Items;
    delete Canvas;
}

void TListBox::Resized() {
    Canvas->SyncSize();
    TWinControl::Resized();
}

void TListBox::ItemsChanged() {
    if (destroying_) return;
    // The selection stays with its lines: removed lines take their flags
    // with them, inserted ones come unselected.
    const TStringList::TEdit& edit = Items->LastEdit();
    const int index = std::clamp(edit.Index, 0, static_cast<int>(selected_.size()));
    const int removed = std::clamp(edit.Removed, 0, static_cast<int>(selected_.size()) - index);
    selected_.erase(selected_.begin() + index, selected_.begin() + index + removed);
    selected_.insert(selected_.begin() + index, static_cast<size_t>(std::max(0, edit.Inserted)), false);
    selected_.resize(static_cast<size_t>(Items->Count()), false);
    if (ItemIndex >= Items->Count()) {
        ItemIndex.SetQuiet(-1);
        NotifyPeer(TPropId::ItemIndex);
    }
    if (TopIndex >= std::max(1, Items->Count())) TopIndex.SetQuiet(std::max(0, Items->Count() - 1));
    NotifyPeer(TPropId::Items);
    Invalidate();
}

bool TListBox::PropertyChanging(TPropId id) {
    if (id == TPropId::ItemIndex) {
        int& p = ItemIndex.Pending();
        if (p < -1 || p >= Items->Count()) p = -1;
    }
    if (id == TPropId::TopIndex)
        TopIndex.Pending() = std::clamp(TopIndex.Pending(), 0, std::max(0, Items->Count() - 1));
    return TWinControl::PropertyChanging(id);
}

void TListBox::DoPropertyChanged(TPropId id) {
    switch (id) {
    case TPropId::ItemIndex:
        if (!MultiSelect) std::fill(selected_.begin(), selected_.end(), false);
        if (ItemIndex >= 0 && ItemIndex < static_cast<int>(selected_.size())) selected_[ItemIndex] = true;
        if (ChangedByUser()) TControl::Click();
        Invalidate();
        return;
    case TPropId::Sorted: Items->SetSorted(Sorted); return;
    case TPropId::MultiSelect:
        std::fill(selected_.begin(), selected_.end(), false);
        if (ItemIndex >= 0) selected_[ItemIndex] = true;
        return;
    default: TWinControl::DoPropertyChanged(id);
    }
}

bool TListBox::IsSelected(int index) const {
    return index >= 0 && index < static_cast<int>(selected_.size()) && selected_[index];
}

void TListBox::SetSelected(int index, bool value) {
    if (index < 0 || index >= Items->Count())
        throw Exception("Indice dell'elenco fuori dai limiti (" + std::to_string(index) + ")");
    if (!MultiSelect) {
        if (value)
            ItemIndex = index;
        else if (ItemIndex == index)
            ItemIndex = -1;
        return;
    }
    if (selected_[index] == value) return;
    selected_[index] = value;
    NotifyPeer(TPropId::Selected, index);
    Invalidate();
}

int TListBox::SelCount() const {
    if (!MultiSelect) return -1;
    return static_cast<int>(std::count(selected_.begin(), selected_.end(), true));
}

int TListBox::ItemAtPos(TPoint p, bool existing) const {
    if (p.x < 0 || p.y < 0 || p.x >= ClientWidth || ItemHeight <= 0) return -1;
    int index = TopIndex + p.y / ItemHeight;
    if (index >= Items->Count()) return existing ? -1 : Items->Count();
    return index;
}

TRect TListBox::ItemRect(int index) const {
    return Bounds(0, (index - TopIndex) * ItemHeight, ClientWidth, ItemHeight);
}

void TListBox::DoEnter() {
    Invalidate();
    TWinControl::DoEnter();
}

void TListBox::DoExit() {
    Invalidate();
    TWinControl::DoExit();
}

int TListBox::FocusMarkIndex() const {
    if (ItemIndex >= 0 && ItemIndex < Items->Count()) return ItemIndex;
    return Items->Count() > 0 ? std::clamp(TopIndex.Get(), 0, Items->Count() - 1) : -1;
}

void TListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (CanFocus() && !Focused()) UserFocus();
    int index = ItemAtPos(TPoint(x, y), true);
    if (button == mbLeft && index >= 0) {
        // Without extended selection every click toggles its item.
        if (MultiSelect && (shift.Contains(ssCtrl) || !ExtendedSelect)) {
            selected_[index] = !selected_[index];
            ItemIndex.SetQuiet(index);
            NotifyPeer(TPropId::Selected, index);
            TControl::Click();
        } else {
            if (MultiSelect) std::fill(selected_.begin(), selected_.end(), false);
            if (ItemIndex == index) {
                if (MultiSelect) selected_[index] = true;
            } else {
                UserSet(ItemIndex, index);
            }
        }
    }
    TControl::MouseDown(button, shift, x, y);
}

void TListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
    Canvas->Font->Assign(*Font);
    Canvas->Brush->Style = bsSolid;
    Canvas->Brush->Color = Color;
    if (state.Contains(odSelected)) {
        Canvas->Brush->Color = clHighlight;
        Canvas->Font->Color = clHighlightText;
    } else if (state.Contains(odDisabled)) {
        Canvas->Font->Color = clGrayText;  // a disabled list shows that it takes no choice
    }
    if (Style != lbStandard && OnDrawItem) {
        OnDrawItem(this, index, rect, state);
        return;
    }
    Canvas->FillRect(rect);
    if (index >= 0 && index < Items->Count()) Canvas->TextOut(rect.Left + 2, rect.Top, (*Items)[index]);
    // The item with the focus shows the system's dotted focus mark, so that
    // a person sees where the arrows and the space bar act.
    if (state.Contains(odFocused)) Canvas->DrawFocusRect(rect, state.Contains(odSelected) ? clHighlightText : clBlack);
}

void TListBox::PaintItemTo(TPaintEngine* engine, int index, const TRect& rect, TOwnerDrawState state) {
    if (!engine) return;
    EngineScope scope(Canvas, engine);
    DrawItem(index, rect, state);
}

// ---------------------------------------------------------------- scroll bars

TScrollBar::TScrollBar(TComponent* owner) : TWinControl(owner) {
    TabStop.SetQuiet(true);
    SetBounds(0, 0, 121, 17);
}

bool TScrollBar::PropertyChanging(TPropId id) {
    if (id == TPropId::Position) {
        int high = std::max(Min.Get(), Max - std::max(PageSize - 1, 0));
        Position.Pending() = std::clamp(Position.Pending(), Min.Get(), high);
    }
    if (id == TPropId::Max && Max.Pending() < Min)
        throw EInvalidOperation("Valori della barra di scorrimento non validi");
    if (id == TPropId::Min && Min.Pending() > Max)
        throw EInvalidOperation("Valori della barra di scorrimento non validi");
    return TWinControl::PropertyChanging(id);
}

void TScrollBar::DoPropertyChanged(TPropId id) {
    switch (id) {
    case TPropId::Position:
        if (OnChange && !destroying_) OnChange(this);
        return;
    case TPropId::Min:
    case TPropId::Max:
    case TPropId::PageSize: {
        int high = std::max(Min.Get(), Max - std::max(PageSize - 1, 0));
        int clamped = std::clamp(Position.Get(), Min.Get(), high);
        if (clamped != Position) Position = clamped;
        return;
    }
    case TPropId::Kind:
        if (Kind == sbVertical && Width > Height) SetBounds(Left, Top, Height, Width);
        return;
    default: TWinControl::DoPropertyChanged(id);
    }
}

void TScrollBar::Scroll(TScrollCode code, int position) {
    int p = Position;
    switch (code) {
    case scLineUp: p -= SmallChange; break;
    case scLineDown: p += SmallChange; break;
    case scPageUp: p -= LargeChange; break;
    case scPageDown: p += LargeChange; break;
    case scPosition:
    case scTrack: p = position; break;
    case scTop: p = Min; break;
    case scBottom: p = Max; break;
    case scEndScroll: break;
    }
    if (OnScroll) OnScroll(this, code, p);
    UserSet(Position, p);
}
