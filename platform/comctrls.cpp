#include "platform/comctrls.h"

#include <algorithm>
#include <array>
#include <deque>
#include <functional>

#include "platform/forms.h"
#include "platform/utf8.h"

// ---------------------------------------------------------------- tab controls

TTabControl::TTabControl(TComponent* owner) : TCustomControl(owner), Tabs(new TStringList) {
    TabStop.SetQuiet(true);
    SetBounds(0, 0, 289, 193);
    Tabs->OnChange = [this](TObject*) { TabsChanged(); };
}

TTabControl::~TTabControl() {
    Tabs->OnChange = nullptr;
    delete Tabs;
}

void TTabControl::TabsChanged() {
    if (destroying_) return;
    int count = Tabs->Count();
    int index = TabIndex;
    if (count == 0)
        index = -1;
    else if (index >= count)
        index = count - 1;
    else if (index < 0)
        index = 0;  // the first tab added is the chosen one
    if (index != TabIndex) {
        TabIndex.SetQuiet(index);
        NotifyPeer(TPropId::TabIndex);
    }
    NotifyPeer(TPropId::Tabs);
    Realign();
    Invalidate();
}

int TTabControl::RowHeight() const {
    if (TabHeight > 0) return TabHeight;
    return TTextMetrics::Extent(FontStateOf(*Font), "Ag").cy + 6;
}

TRect TTabControl::TabRect(int index) const {
    if (index < 0 || index >= Tabs->Count()) return TRect();
    TFontState f = FontStateOf(*Font);
    int x = 2;
    for (int i = 0; i <= index; ++i) {
        int w = TabWidth > 0 ? TabWidth.Get() : TTextMetrics::Extent(f, (*Tabs)[i]).cx + 12;
        if (i == index) return TRect(x, 2, x + w, 2 + RowHeight());
        x += w;
    }
    return TRect();
}

int TTabControl::IndexOfTabAt(int x, int y) const {
    for (int i = 0; i < Tabs->Count(); ++i)
        if (TabRect(i).Contains(TPoint(x, y))) return i;
    return -1;
}

TRect TTabControl::DisplayRect() const {
    int top = Tabs->Count() > 0 ? 2 + RowHeight() + 2 : 4;
    return TRect(4, top, std::max(4, ClientWidth - 4), std::max(top, ClientHeight - 4));
}

bool TTabControl::PropertyChanging(TPropId id) {
    if (id == TPropId::TabIndex) {
        int p = TabIndex.Pending();
        if (p < -1 || p >= Tabs->Count()) return false;
        if (UserChanging(TPropId::TabIndex) && OnChanging) {
            bool allow = true;
            OnChanging(this, allow);
            if (!allow) return false;
        }
    }
    return TCustomControl::PropertyChanging(id);
}

void TTabControl::DoPropertyChanged(TPropId id) {
    if (id == TPropId::TabIndex) {
        Invalidate();
        if (ChangedByUser() && OnChange && !destroying_) OnChange(this);
        return;
    }
    if (id == TPropId::TabHeight || id == TPropId::TabWidth) {
        Realign();
        Invalidate();
    }
    TCustomControl::DoPropertyChanged(id);
}

void TTabControl::SelectByUser(int index) { UserSet(TabIndex, index); }

void TTabControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) {
        int index = IndexOfTabAt(x, y);
        if (index >= 0 && index != TabIndex) SelectByUser(index);
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TTabControl::Paint() {
    Canvas->Brush->Style = bsSolid;
    Canvas->Brush->Color = Color;
    Canvas->FillRect(ClientRect());
    Canvas->Font->Assign(*Font);
    TRect frame(0, Tabs->Count() > 0 ? 2 + RowHeight() : 0, ClientWidth, ClientHeight);
    Frame3D(Canvas, frame, clBtnHighlight, clBtnShadow, 1);
    for (int i = 0; i < Tabs->Count(); ++i) {
        TRect r = TabRect(i);
        if (i == TabIndex) r = InflateRect(r, 2, 2);
        Canvas->Brush->Color = Color;
        Canvas->FillRect(r);
        Frame3D(Canvas, r, clBtnHighlight, clBtnShadow, 1);
        Canvas->Brush->Style = bsClear;
        Canvas->TextOut(r.Left + 6, r.Top + 3, (*Tabs)[i]);
        Canvas->Brush->Style = bsSolid;
    }
}

// ---------------------------------------------------------------- page controls

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
    Visible.SetQuiet(false);
    Align.SetQuiet(alClient);
}

TTabSheet::~TTabSheet() {
    if (TPageControl* pc = PageControl) pc->RemovePage(this);
}

int TTabSheet::PageIndex() const {
    TPageControl* pc = PageControl;
    if (!pc) return -1;
    for (int i = 0; i < pc->PageCount(); ++i)
        if (pc->Pages[i] == this) return i;
    return -1;
}

void TTabSheet::DoPropertyChanged(TPropId id) {
    switch (id) {
    case TPropId::PageControl: Parent = static_cast<TWinControl*>(PageControl.Get()); return;
    case TPropId::Parent: {
        TPageControl* now = dynamic_cast<TPageControl*>(Parent.Get());
        if (TPageControl* old = PageControl; old && old != now) old->RemovePage(this);
        PageControl.SetQuiet(now);
        TWinControl::DoPropertyChanged(id);
        if (now) now->InsertPage(this);
        return;
    }
    case TPropId::Caption:
    case TPropId::TabVisible:
        if (TPageControl* pc = PageControl) pc->SyncTabs();
        break;
    default: break;
    }
    TWinControl::DoPropertyChanged(id);
}

TPageControl::TPageControl(TComponent* owner) : TTabControl(owner) {}

TPageControl::~TPageControl() {
    // The sheets go with the control's children, after this list.
    for (TTabSheet* p : pages_) p->PageControl.SetQuiet(nullptr);
    pages_.clear();
}

TTabSheet* TPageControl::Page(int index) const {
    if (index < 0 || index >= PageCount()) return nullptr;
    return pages_[index];
}

int TPageControl::ActivePageIndex() const {
    auto it = std::find(pages_.begin(), pages_.end(), ActivePage.Get());
    return it == pages_.end() ? -1 : static_cast<int>(it - pages_.begin());
}

void TPageControl::SetActivePageIndex(int index) { ActivePage = Page(index); }

void TPageControl::InsertPage(TTabSheet* page) {
    if (std::find(pages_.begin(), pages_.end(), page) != pages_.end()) return;
    pages_.push_back(page);
    SyncTabs();
    if (!ActivePage) ActivePage = page;
}

void TPageControl::RemovePage(TTabSheet* page) {
    pages_.erase(std::remove(pages_.begin(), pages_.end(), page), pages_.end());
    if (ActivePage == page) {
        ActivePage.SetQuiet(nullptr);
        NotifyPeer(TPropId::ActivePage);
    }
    if (!destroying_) SyncTabs();
}

void TPageControl::SyncTabs() {
    if (destroying_) return;
    syncing_ = true;
    Tabs->Clear();
    for (TTabSheet* p : pages_)
        if (p->TabVisible) Tabs->Add(p->Caption);
    int tab = -1, n = 0;
    for (TTabSheet* p : pages_) {
        if (!p->TabVisible) continue;
        if (p == ActivePage.Get()) tab = n;
        ++n;
    }
    TabIndex.SetQuiet(tab);
    syncing_ = false;
    Invalidate();
}

bool TPageControl::PropertyChanging(TPropId id) {
    if (id == TPropId::ActivePage) {
        TTabSheet* p = ActivePage.Pending();
        if (p && p->PageControl != this) return false;
    }
    return TTabControl::PropertyChanging(id);
}

void TPageControl::DoPropertyChanged(TPropId id) {
    if (id == TPropId::ActivePage) {
        for (TTabSheet* p : pages_) p->Visible = p == ActivePage.Get();
        SyncTabs();
        return;
    }
    if (id == TPropId::TabIndex && !syncing_) {
        int n = 0;
        for (TTabSheet* p : pages_) {
            if (!p->TabVisible) continue;
            if (n++ == TabIndex) {
                ActivePage.SetQuiet(p);
                NotifyPeer(TPropId::ActivePage);
                for (TTabSheet* q : pages_) q->Visible = q == p;
                break;
            }
        }
    }
    TTabControl::DoPropertyChanged(id);
}

// ---------------------------------------------------------------- status bars

int TStatusPanel::Index() const { return bar_->Panels->IndexOf(this); }

void TStatusPanel::PropertyChanged(TPropId) { bar_->PanelChanged(Index()); }

TStatusPanel* TStatusPanels::Add() {
    panels_.push_back(std::make_unique<TStatusPanel>(bar_));
    bar_->PanelChanged(-1);
    return panels_.back().get();
}

TStatusPanel* TStatusPanels::Item(int index) const {
    if (index < 0 || index >= Count())
        throw Exception("Indice del pannello fuori dai limiti (" + std::to_string(index) + ")");
    return panels_[index].get();
}

void TStatusPanels::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    panels_.erase(panels_.begin() + index);
    bar_->PanelChanged(-1);
}

void TStatusPanels::Clear() {
    panels_.clear();
    bar_->PanelChanged(-1);
}

int TStatusPanels::IndexOf(const TStatusPanel* panel) const {
    for (int i = 0; i < Count(); ++i)
        if (panels_[i].get() == panel) return i;
    return -1;
}

TStatusBar::TStatusBar(TComponent* owner) : TCustomControl(owner), Panels(new TStatusPanels(this)) {
    SetBounds(0, 0, 200, 19);
    Align.SetQuiet(alBottom);
}

TStatusBar::~TStatusBar() {
    DestroyPeers();
    delete Panels;
}

void TStatusBar::PanelChanged(int index) {
    if (destroying_) return;
    NotifyPeer(TPropId::Panels, index);
    Invalidate();
}

void TStatusBar::DoPropertyChanged(TPropId id) {
    if (id == TPropId::SimplePanel || id == TPropId::SimpleText) Invalidate();
    TCustomControl::DoPropertyChanged(id);
}

TRect TStatusBar::PanelRect(int index) const {
    if (index < 0 || index >= Panels->Count()) return TRect();
    int x = 0;
    for (int i = 0; i < index; ++i) x += Panels->Items[i]->Width;
    // The last panel reaches the right edge.
    int right =
        index == Panels->Count() - 1 ? std::max(x, ClientWidth.Get()) : x + Panels->Items[index]->Width;
    return TRect(x, 0, right, ClientHeight);
}

void TStatusBar::Paint() {
    Canvas->Brush->Style = bsSolid;
    Canvas->Brush->Color = Color;
    Canvas->FillRect(ClientRect());
    Canvas->Font->Assign(*Font);
    Canvas->Brush->Style = bsClear;
    if (SimplePanel) {
        Canvas->TextOut(2, 2, SimpleText);
        return;
    }
    for (int i = 0; i < Panels->Count(); ++i) {
        TRect r = PanelRect(i);
        Frame3D(Canvas, InflateRect(r, -1, -1), clBtnShadow, clBtnHighlight, 1);
        TStatusPanel* p = Panels->Items[i];
        int w = Canvas->TextWidth(p->Text);
        int x = p->Alignment == taLeftJustify ? r.Left + 3
                : p->Alignment == taCenter    ? r.Left + (r.Width() - w) / 2
                                              : r.Right - 3 - w;
        Canvas->TextRect(InflateRect(r, -2, -2), x, 3, p->Text);
    }
}

// ---------------------------------------------------------------- progress bars

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 150, 16); }

bool TProgressBar::PropertyChanging(TPropId id) {
    if (id == TPropId::Position)
        Position.Pending() = std::clamp(Position.Pending(), Min.Get(), std::max(Min.Get(), Max.Get()));
    return TWinControl::PropertyChanging(id);
}

void TProgressBar::StepBy(int delta) {
    int p = Position + delta;
    if (p > Max) p = Min;  // a full bar starts over
    Position = p;
}

// ---------------------------------------------------------------- up-down arrows

TUpDown::TUpDown(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 15, 21); }

TUpDown::~TUpDown() {
    if (linked_) linked_->upDown_ = nullptr;
}

bool TUpDown::PropertyChanging(TPropId id) {
    if (id == TPropId::Position)
        Position.Pending() = std::clamp(Position.Pending(), Min.Get(), std::max(Min.Get(), Max.Get()));
    return TWinControl::PropertyChanging(id);
}

void TUpDown::DoPropertyChanged(TPropId id) {
    switch (id) {
    case TPropId::Associate: {
        if (linked_) linked_->upDown_ = nullptr;
        linked_ = dynamic_cast<TCustomEdit*>(Associate.Get());
        if (TWinControl* a = Associate) {
            FreeNotification(a);
            // The arrows take the right end of the edit.
            Parent = a->Parent.Get();
            int w = Width;
            a->Width = std::max(0, a->Width - w);
            SetBounds(a->Left + a->Width, a->Top, w, a->Height);
        }
        if (linked_) linked_->upDown_ = this;
        ShowInAssociate();
        return;
    }
    case TPropId::Position: ShowInAssociate(); return;
    case TPropId::Min:
    case TPropId::Max: {
        int p = std::clamp(Position.Get(), Min.Get(), std::max(Min.Get(), Max.Get()));
        if (p != Position) Position = p;
        return;
    }
    case TPropId::Thousands: ShowInAssociate(); return;
    default: TWinControl::DoPropertyChanged(id);
    }
}

void TUpDown::ShowInAssociate() {
    if (!linked_ || updating_) return;
    updating_ = true;
    struct Restore {
        bool& f;
        ~Restore() { f = false; }
    } restore{updating_};
    linked_->Text = Thousands ? FormatFloat("#,##0", Position) : std::to_string(Position.Get());
}

void TUpDown::AssociateTextChanged() {
    if (!linked_ || updating_) return;
    AnsiString digits;
    for (char c : linked_->Text.Get())
        if (c != FormatSettings().ThousandSeparator && c != ' ') digits += c;
    int v;
    if (TryStrToInt(digits, v) && v >= Min && v <= Max) Position.SetQuiet(v);
}

void TUpDown::ClickButton(TUDBtnType button) {
    if (!Enabled) return;
    AssociateTextChanged();
    int p = Position + (button == btNext ? Increment.Get() : -Increment.Get());
    if (p > Max) p = Wrap ? Min.Get() : Max.Get();
    if (p < Min) p = Wrap ? Max.Get() : Min.Get();
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    if (allow) UserSet(Position, p);
    if (OnClick) OnClick(this, button);
}

void TUpDown::Notification(TComponent* component, TOperation operation) {
    if (operation == opRemove && component == Associate.Get()) {
        linked_ = nullptr;
        Associate.SetQuiet(nullptr);
    }
    TWinControl::Notification(component, operation);
}

// ---------------------------------------------------------------- rich edits

namespace {
int PointsToPixels(int points) { return MulDiv(points, 96, 72); }

TFontState StateOf(const TCharFormat& f) {
    TFontState s;
    s.Name = f.Name;
    s.Height = f.Height;
    s.Color = ColorToRGB(f.Color);
    s.Style = f.Style;
    return s;
}
}  // namespace

TCharFormat TTextAttributes::Get() const {
    TRichEdit* e = edit_;
    if (!selection_) return e->default_;
    int start = e->SelStart;
    if (e->SelLength > 0) return e->FormatAt(start);
    if (e->insertion_ && e->insertionAt_ == start) return *e->insertion_;
    return start > 0 ? e->FormatAt(start - 1) : e->default_;
}

void TTextAttributes::Set(const TCharFormat& f) {
    TRichEdit* e = edit_;
    if (!selection_) {
        e->default_ = f;
        if (e->GetTextLen() == 0) e->insertion_.reset();
        e->Invalidate();
        return;
    }
    int start = e->SelStart, count = e->SelLength;
    if (count == 0) {
        e->insertion_ = f;
        e->insertionAt_ = start;
        return;
    }
    int index = e->FormatIndex(f);
    for (int i = start; i < start + count && i < static_cast<int>(e->formatOf_.size()); ++i)
        e->formatOf_[i] = index;
    e->NotifyPeer(TPropId::SelAttributes);
    e->Invalidate();
}

TColor TTextAttributes::Color() const { return Get().Color; }
void TTextAttributes::SetColor(TColor c) {
    TCharFormat f = Get();
    f.Color = c;
    Set(f);
}
AnsiString TTextAttributes::Name() const { return Get().Name; }
void TTextAttributes::SetName(const AnsiString& name) {
    TCharFormat f = Get();
    f.Name = name;
    Set(f);
}
int TTextAttributes::Height() const { return Get().Height; }
void TTextAttributes::SetHeight(int h) {
    TCharFormat f = Get();
    f.Height = h;
    Set(f);
}
int TTextAttributes::Size() const { return -MulDiv(Get().Height, 72, 96); }
void TTextAttributes::SetSize(int points) { SetHeight(-MulDiv(points, 96, 72)); }
TFontStyles TTextAttributes::Style() const { return Get().Style; }
void TTextAttributes::SetStyle(TFontStyles style) {
    TCharFormat f = Get();
    f.Style = style;
    Set(f);
}
void TTextAttributes::Assign(const TFont& font) {
    TCharFormat f;
    f.Color = font.Color;
    f.Name = font.Name;
    f.Height = -MulDiv(font.Size, 96, 72);
    f.Style = font.Style;
    Set(f);
}

void TParaAttributes::SetTabCount(int count) {
    count = std::clamp(count, 0, 32);
    int old = TabCount();
    tabs_.resize(count);
    // New stops every half inch after the last one.
    for (int i = old; i < count; ++i) tabs_[i] = (i == 0 ? 0 : tabs_[i - 1]) + 36;
    edit_->Invalidate();
}

int TParaAttributes::Tab(int index) const { return index >= 0 && index < TabCount() ? tabs_[index] : 0; }

void TParaAttributes::SetTab(int index, int points) {
    if (index < 0 || index >= TabCount()) return;
    tabs_[index] = points;
    edit_->Invalidate();
}

TRichEdit::TRichEdit(TComponent* owner)
    : TCustomEdit(owner),
      Lines(new TStringList),
      SelAttributes(new TTextAttributes(this, true)),
      DefAttributes(new TTextAttributes(this, false)),
      Paragraph(new TParaAttributes(this)),
      Canvas(new TControlCanvas(this)) {
    SetBounds(0, 0, 185, 89);
    AutoSelect.SetQuiet(false);  // lines of text are added to, not retyped
    Lines->OnChange = [this](TObject*) { LinesChanged(); };
}

TRichEdit::~TRichEdit() {
    DestroyPeers();
    Lines->OnChange = nullptr;
    delete Lines;
    delete SelAttributes;
    delete DefAttributes;
    delete Paragraph;
    delete Canvas;
}

namespace {
bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Bytes of the character at s[i], never past the end.
size_t CharBytes(const AnsiString& s, size_t i) {
    return std::min(utf8::SequenceLength(static_cast<unsigned char>(s[i])), s.size() - i);
}

// Characters in s[from, to), from a character's first byte.
int CountChars(const AnsiString& s, size_t from, size_t to) {
    int n = 0;
    for (size_t i = from; i < to; ++n) i += CharBytes(s, i);
    return n;
}

// The widths of the ASCII characters in a font, measured once for the run:
// the measures depend on nothing else.
const std::array<int, 128>& AsciiWidths(const TFontState& font) {
    struct Entry {
        TFontState font;
        std::array<int, 128> widths;
    };
    static std::deque<Entry> measured;
    for (const Entry& e : measured)
        if (e.font == font) return e.widths;
    Entry& e = measured.emplace_back();
    e.font = font;
    for (int c = 0; c < 128; ++c) e.widths[c] = TTextMetrics::Extent(font, AnsiString(1, static_cast<char>(c))).cx;
    return e.widths;
}
}  // namespace

void TRichEdit::LinesChanged() {
    if (syncing_) return;
    syncing_ = true;
    struct Restore {
        bool& f;
        ~Restore() { f = false; }
    } restore{syncing_};
    const TStringList::TEdit& edit = Lines->LastEdit();
    const int count = Lines->Count();
    if (textJoinsLines_ && edit.Removed == 0 && edit.Inserted > 0 && edit.Index + edit.Inserted == count) {
        // Lines added at the end: the text grows by them, in place.
        AnsiString tail;
        for (int i = edit.Index; i < count; ++i) {
            if (i) tail += "\r\n";
            tail += Lines->Strings(i);
        }
        if (tail.empty()) return;
        change_.KeptBefore = GetTextLen();
        change_.KeptAfter = 0;
        change_.KeptBeforeBytes = Text->size();
        change_.NewLength = change_.KeptBefore + utf8::Length(tail);
        Text.Edit([&](AnsiString& text) { text += tail; });
        return;
    }
    AnsiString joined;
    for (int i = 0; i < count; ++i) {
        if (i) joined += "\r\n";
        joined += (*Lines)[i];
    }
    // The lines around the edited ones keep their characters, and with
    // them their formats, even where the new text repeats the old.
    if (edit.Index > 0 || edit.Inserted < count) {
        keptBefore_ = keptAfter_ = 0;
        for (int i = 0; i < edit.Index; ++i) keptBefore_ += Lines->Strings(i).size() + 2;
        for (int i = edit.Index + edit.Inserted; i < count; ++i) keptAfter_ += Lines->Strings(i).size() + 2;
    }
    struct Unbound {
        size_t& before;
        size_t& after;
        ~Unbound() { before = after = std::numeric_limits<size_t>::max(); }
    } unbound{keptBefore_, keptAfter_};
    Text = joined;
    textJoinsLines_ = true;
}

void TRichEdit::Resized() {
    Canvas->SyncSize();
    TCustomEdit::Resized();
}

int TRichEdit::FormatIndex(const TCharFormat& f) {
    for (size_t i = 0; i < formats_.size(); ++i)
        if (formats_[i] == f) return static_cast<int>(i);
    formats_.push_back(f);
    return static_cast<int>(formats_.size()) - 1;
}

const TCharFormat& TRichEdit::FormatRef(int index) const {
    if (index < 0 || index >= static_cast<int>(formatOf_.size())) return default_;
    return formats_[formatOf_[index]];
}

TCharFormat TRichEdit::FormatAt(int index) const { return FormatRef(index); }

bool TRichEdit::PropertyChanging(TPropId id) {
    if (!TCustomEdit::PropertyChanging(id)) return false;
    if (id == TPropId::Text) {
        // The characters the old and new text share at each end, within
        // what an edit of Lines left as it was.
        const AnsiString& a = Text.Get();
        const AnsiString& b = Text.Pending();
        size_t prefix = 0;
        const size_t prefixMax = std::min({keptBefore_, a.size(), b.size()});
        while (prefix < prefixMax && a[prefix] == b[prefix]) ++prefix;
        while (prefix > 0 && ((prefix < a.size() && IsContinuation(a[prefix])) ||
                              (prefix < b.size() && IsContinuation(b[prefix]))))
            --prefix;
        size_t suffix = 0;
        const size_t suffixMax = std::min({keptAfter_, a.size() - prefix, b.size() - prefix});
        while (suffix < suffixMax && a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix]) ++suffix;
        while (suffix > 0 && IsContinuation(a[a.size() - suffix])) --suffix;
        change_.KeptBeforeBytes = prefix;
        change_.KeptBefore = CountChars(a, 0, prefix);
        change_.KeptAfter = CountChars(a, a.size() - suffix, a.size());
        change_.NewLength = utf8::Length(b);
    }
    return true;
}

void TRichEdit::TextReplaced(const TTextChange& change) {
    if (change.NewLength == 0) {
        insertion_.reset();
        formats_.clear();
        formatOf_.clear();
        lineStarts_.assign(1, TLineStart{});
        return;
    }
    const int before = std::min(change.KeptBefore, static_cast<int>(formatOf_.size()));
    const int after = std::min(change.KeptAfter, static_cast<int>(formatOf_.size()) - before);
    // New characters take the pending insertion format, else that of the character before them.
    const TCharFormat f = (insertion_ && insertionAt_ == before) ? *insertion_
                          : before > 0                          ? FormatRef(before - 1)
                                                                : default_;
    const int index = FormatIndex(f);
    const auto from = formatOf_.begin() + before;
    const int inserted = std::max(0, change.NewLength - before - after);
    formatOf_.erase(from, formatOf_.end() - after);
    formatOf_.insert(formatOf_.begin() + before, static_cast<size_t>(inserted), index);
    Reindex(change.KeptBeforeBytes);
}

void TRichEdit::Reindex(size_t fromByte) {
    const AnsiString& text = Text.Get();
    // The line that holds the last byte kept may now end elsewhere (a CR
    // kept, an LF added after it): it is laid out again with all after it.
    const size_t kept = fromByte > 0 ? fromByte - 1 : 0;
    auto after = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), kept,
                                  [](size_t byte, const TLineStart& line) { return byte < line.Byte; });
    lineStarts_.erase(after, lineStarts_.end());
    if (lineStarts_.empty()) lineStarts_.push_back(TLineStart{});
    size_t i = lineStarts_.back().Byte;
    int c = lineStarts_.back().Char;
    while (i < text.size()) {
        const char ch = text[i];
        i += CharBytes(text, i);
        ++c;
        if (ch == '\n' || (ch == '\r' && !(i < text.size() && text[i] == '\n')))
            lineStarts_.push_back(TLineStart{c, i});
    }
}

void TRichEdit::DoPropertyChanged(TPropId id) {
    if (id == TPropId::Text) {
        bool fromLines = syncing_;
        if (!syncing_) {
            syncing_ = true;
            struct Restore {
                bool& f;
                ~Restore() { f = false; }
            } restore{syncing_};
            Lines->SetText(Text);
            // Lines read from a text joins back into it only when empty.
            textJoinsLines_ = Text->empty();
        }
        TextReplaced(change_);
        // A new text starts at its top; a shorter one keeps its last line in view.
        if (Text->empty())
            TopLine.SetQuiet(0);
        else if (TopLine > LastTopLine())
            TopLine.SetQuiet(LastTopLine());
        TCustomEdit::DoPropertyChanged(id);
        if (fromLines) {
            // Lines added at the end leave the caret after them.
            SelStart.SetQuiet(GetTextLen());
        }
        Invalidate();
        return;
    }
    if (id == TPropId::TopIndex) {
        const int top = std::clamp(TopLine.Get(), 0, LastTopLine());
        if (top != TopLine) TopLine.SetQuiet(top);
        Invalidate();
    }
    if (id == TPropId::SelStart || id == TPropId::SelLength) {
        if (insertion_ && (SelStart != insertionAt_ || SelLength > 0)) insertion_.reset();
        if (OnSelectionChange) OnSelectionChange(this);
    }
    TCustomEdit::DoPropertyChanged(id);
}

int TRichEdit::LineHeight() const { return TTextMetrics::Extent(StateOf(default_), "Ag").cy; }

int TRichEdit::LineCount() const { return std::max(1, Lines->Count()); }

int TRichEdit::VisibleLineCount() const {
    return std::max(1, (ClientHeight - 2) / std::max(1, LineHeight()));
}

int TRichEdit::TabStopAfter(int x) const {
    for (int i = 0; i < Paragraph->TabCount(); ++i) {
        int stop = PointsToPixels(Paragraph->Tab(i));
        if (stop > x) return stop;
    }
    int step = PointsToPixels(36);
    return (x / step + 1) * step;
}

// Walks the characters of one line as laid out, its line break included:
// index, bytes, left and right pixel of each.
template <class F>
void TRichEdit::LayoutLine(int line, F visit) const {
    const AnsiString& text = Text.Get();
    const TLineStart start = lineStarts_[static_cast<size_t>(line)];
    const size_t end =
        line + 1 < LaidOutLineCount() ? lineStarts_[static_cast<size_t>(line) + 1].Byte : text.size();
    int index = start.Char, x = 2;
    // The font of the characters last measured, looked up again only where
    // the format changes.
    int format = -2;
    TFontState font;
    const std::array<int, 128>* ascii = nullptr;
    for (size_t i = start.Byte; i < end; ++index) {
        const char c = text[i];
        const size_t bytes = CharBytes(text, i);
        int w = 0;
        if (c == '\t') {
            w = TabStopAfter(x - 2) + 2 - x;
        } else if (c != '\r' && c != '\n') {
            const int f = index < static_cast<int>(formatOf_.size()) ? formatOf_[index] : -1;
            if (f != format) {
                const TCharFormat& cf = FormatRef(index);
                font = TFontState();
                font.Name = cf.Name;
                font.Height = cf.Height;
                font.Style = cf.Style;
                ascii = &AsciiWidths(font);
                format = f;
            }
            const auto u = static_cast<unsigned char>(c);
            w = u < 128 ? (*ascii)[u] : TTextMetrics::Extent(font, text.substr(i, bytes)).cx;
        }
        visit(TPlaced{index, i, bytes, x, x + w});
        x += w;
        i += bytes;
    }
}

int TRichEdit::LineOfChar(int index) const {
    auto after = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), index,
                                  [](int i, const TLineStart& line) { return i < line.Char; });
    return std::max(0, static_cast<int>(after - lineStarts_.begin()) - 1);
}

int TRichEdit::ContentWidth() const {
    int right = 0;
    for (int line = 0; line < LaidOutLineCount(); ++line)
        LayoutLine(line, [&](const TPlaced& p) { right = std::max(right, p.Right); });
    return right;
}

int TRichEdit::CharFromPos(TPoint p) const {
    int lh = std::max(1, LineHeight());
    int wantLine = std::max(0, TopLine + (p.y - 1) / lh);
    const int length = GetTextLen();
    // The line of the last character: below it there is only the end of the text.
    const int lastLine = length > 0 ? LineOfChar(length - 1) : 0;
    int best = -1, lastOnLine = -1, lineEnd = -1;
    if (wantLine < LaidOutLineCount())
        LayoutLine(wantLine, [&](const TPlaced& c) {
            if (best >= 0) return;
            if (c.Left == c.Right) {  // the line break ends the line
                if (lineEnd < 0) lineEnd = c.Index;
                return;
            }
            lastOnLine = c.Index;
            if (p.x < c.Right) best = p.x < (c.Left + c.Right) / 2 ? c.Index : c.Index + 1;
        });
    if (best >= 0) return best;
    if (lineEnd >= 0) return lineEnd;
    if (lastOnLine >= 0) return lastOnLine + 1;
    return wantLine > lastLine ? length : std::min(length, std::max(0, lineEnd));
}

TPoint TRichEdit::PosFromChar(int index) const {
    if (index < 0 || index >= GetTextLen()) return TPoint(2, 1);
    const int lh = std::max(1, LineHeight());
    const int line = LineOfChar(index);
    TPoint result(2, 1);
    LayoutLine(line, [&](const TPlaced& c) {
        if (c.Index == index) result = TPoint(c.Left, 1 + (line - TopLine) * lh);
    });
    return result;
}

void TRichEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) {
        SelStart = CharFromPos(TPoint(x, y));
        SelLength = 0;
    }
    TCustomEdit::MouseDown(button, shift, x, y);
}

void TRichEdit::Paint() {
    Canvas->Brush->Style = bsSolid;
    Canvas->Brush->Color = Color;
    Canvas->FillRect(ClientRect());
    Canvas->Brush->Style = bsClear;
    const AnsiString& text = Text.Get();
    const int lh = std::max(1, LineHeight());
    // One TextOut per run of equally formatted characters on a line.
    int runStart = -1, runLine = 0, runX = 0, runFormat = -1;
    AnsiString run;
    auto flush = [&]() {
        if (run.empty()) return;
        const TCharFormat& f = FormatRef(runStart);
        Canvas->Font->Name = f.Name;
        Canvas->Font->Height = f.Height;
        Canvas->Font->Style = f.Style;
        Canvas->Font->Color = f.Color;
        Canvas->TextOut(runX, 1 + (runLine - TopLine) * lh, run);
        run.clear();
        runStart = -1;
    };
    // The lines that reach into the client area: from the one above the top
    // line (its last pixel row shows) down to the bottom edge.
    for (int line = std::max(0, TopLine - 1);
         line < LaidOutLineCount() && 1 + (line - TopLine) * lh < ClientHeight; ++line) {
        LayoutLine(line, [&](const TPlaced& c) {
            if (c.Left == c.Right || text[c.Byte] == '\t') {
                flush();
                return;
            }
            const int format = c.Index < static_cast<int>(formatOf_.size()) ? formatOf_[c.Index] : -1;
            if (runStart >= 0 && format != runFormat) flush();
            if (runStart < 0) {
                runStart = c.Index;
                runLine = line;
                runX = c.Left;
                runFormat = format;
            }
            run.append(text, c.Byte, c.Bytes);
        });
        flush();
    }
}

// ---------------------------------------------------------------- page scrollers

TPageScroller::TPageScroller(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 150, 45); }

int TPageScroller::MaxPosition() const {
    TWinControl* c = Control;
    if (!c) return 0;
    return Orientation == soHorizontal ? std::max(0, c->Width - ClientWidth)
                                       : std::max(0, c->Height - ClientHeight);
}

bool TPageScroller::PropertyChanging(TPropId id) {
    if (id == TPropId::Position) Position.Pending() = std::clamp(Position.Pending(), 0, MaxPosition());
    return TWinControl::PropertyChanging(id);
}

void TPageScroller::DoPropertyChanged(TPropId id) {
    switch (id) {
    case TPropId::Control:
        if (TWinControl* c = Control) {
            FreeNotification(c);
            c->Parent = this;
        }
        Position.SetQuiet(std::clamp(Position.Get(), 0, MaxPosition()));
        PlaceControl();
        return;
    case TPropId::Position:
    case TPropId::Orientation: PlaceControl(); return;
    default: TWinControl::DoPropertyChanged(id);
    }
}

void TPageScroller::PlaceControl() {
    TWinControl* c = Control;
    if (!c) return;
    if (Orientation == soHorizontal)
        c->SetBounds(-Position, 0, c->Width, ClientHeight);
    else
        c->SetBounds(0, -Position, ClientWidth, c->Height);
}

void TPageScroller::Notification(TComponent* component, TOperation operation) {
    if (operation == opRemove && component == Control.Get()) Control.SetQuiet(nullptr);
    TWinControl::Notification(component, operation);
}
