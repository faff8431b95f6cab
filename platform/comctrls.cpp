#include "platform/comctrls.h"

#include <algorithm>
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
    Lines->OnChange = [this](TObject*) {
        if (syncing_) return;
        syncing_ = true;
        struct Restore {
            bool& f;
            ~Restore() { f = false; }
        } restore{syncing_};
        AnsiString joined;
        for (int i = 0; i < Lines->Count(); ++i) {
            if (i) joined += "\r\n";
            joined += (*Lines)[i];
        }
        // The lines around the edited ones keep their characters, and with
        // them their formats, even where the new text repeats the old.
        const TStringList::TEdit& edit = Lines->LastEdit();
        if (edit.Index > 0 || edit.Inserted < Lines->Count()) {
            keptBefore_ = keptAfter_ = 0;
            for (int i = 0; i < edit.Index; ++i) keptBefore_ += utf8::Length(Lines->Strings(i)) + 2;
            for (int i = edit.Index + edit.Inserted; i < Lines->Count(); ++i)
                keptAfter_ += utf8::Length(Lines->Strings(i)) + 2;
        }
        struct Unbound {
            int& before;
            int& after;
            ~Unbound() { before = after = std::numeric_limits<int>::max(); }
        } unbound{keptBefore_, keptAfter_};
        Text = joined;
    };
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

TCharFormat TRichEdit::FormatAt(int index) const {
    if (index < 0 || index >= static_cast<int>(formatOf_.size())) return default_;
    return formats_[formatOf_[index]];
}

void TRichEdit::TextReplaced(const AnsiString& before, const AnsiString& after) {
    std::vector<uint32_t> a = TTextMetrics::CodePoints(before), b = TTextMetrics::CodePoints(after);
    const size_t prefixMax = static_cast<size_t>(keptBefore_), suffixMax = static_cast<size_t>(keptAfter_);
    size_t prefix = 0;
    while (prefix < prefixMax && prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix]) ++prefix;
    size_t suffix = 0;
    while (suffix < suffixMax && suffix < a.size() - prefix && suffix < b.size() - prefix &&
           a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix])
        ++suffix;
    // New characters take the pending insertion format, else that of the character before them.
    TCharFormat f = (insertion_ && insertionAt_ == static_cast<int>(prefix)) ? *insertion_
                    : prefix > 0 ? FormatAt(static_cast<int>(prefix) - 1)
                                 : default_;
    int index = FormatIndex(f);
    std::vector<int> fresh;
    fresh.reserve(b.size());
    fresh.insert(fresh.end(), formatOf_.begin(), formatOf_.begin() + std::min(prefix, formatOf_.size()));
    fresh.resize(prefix, FormatIndex(default_));
    fresh.insert(fresh.end(), b.size() - prefix - suffix, index);
    for (size_t i = a.size() - suffix; i < a.size(); ++i)
        fresh.push_back(i < formatOf_.size() ? formatOf_[i] : index);
    formatOf_.swap(fresh);
    if (b.empty()) {
        insertion_.reset();
        formats_.clear();
        formatOf_.clear();
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
        }
        AnsiString before = lastText_;
        lastText_ = Text;
        TextReplaced(before, lastText_);
        // A new text starts at its top; a shorter one keeps its last line in view.
        if (lastText_.empty())
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

namespace {
// Walks the characters of a rich edit: index, line, left and right pixel of each.
template <class F>
void Layout(const TRichEdit& e, const AnsiString& text, F visit) {
    std::vector<uint32_t> cps = TTextMetrics::CodePoints(text);
    int line = 0, x = 2;
    for (size_t i = 0; i < cps.size(); ++i) {
        uint32_t c = cps[i];
        int w = 0;
        if (c == '\r' || c == '\n') {
            visit(static_cast<int>(i), line, x, x);
            if (c == '\n' || !(i + 1 < cps.size() && cps[i + 1] == '\n')) {
                ++line;
                x = 2;
            }
            continue;
        }
        if (c == '\t') {
            w = e.TabStopAfter(x - 2) + 2 - x;
        } else {
            std::string one;
            size_t off = utf8::Offset(text, static_cast<int>(i)),
                   next = utf8::Offset(text, static_cast<int>(i) + 1);
            one = text.substr(off, next - off);
            TCharFormat f = e.FormatAt(static_cast<int>(i));
            TFontState s;
            s.Name = f.Name;
            s.Height = f.Height;
            s.Style = f.Style;
            w = TTextMetrics::Extent(s, one).cx;
        }
        visit(static_cast<int>(i), line, x, x + w);
        x += w;
    }
}
}  // namespace

int TRichEdit::ContentWidth() const {
    int right = 0;
    Layout(*this, Text, [&](int, int, int, int r) { right = std::max(right, r); });
    return right;
}

int TRichEdit::CharFromPos(TPoint p) const {
    int lh = std::max(1, LineHeight());
    int wantLine = std::max(0, TopLine + (p.y - 1) / lh);
    int best = -1, lastOnLine = -1, lineEnd = -1, lastLine = 0;
    Layout(*this, Text, [&](int i, int line, int left, int right) {
        lastLine = line;
        if (line != wantLine || best >= 0) return;
        if (left == right) {  // the line break ends the line
            if (lineEnd < 0) lineEnd = i;
            return;
        }
        lastOnLine = i;
        if (p.x < right) best = p.x < (left + right) / 2 ? i : i + 1;
    });
    if (best >= 0) return best;
    if (lineEnd >= 0) return lineEnd;
    if (lastOnLine >= 0) return lastOnLine + 1;
    return wantLine > lastLine ? GetTextLen() : std::min(GetTextLen(), std::max(0, lineEnd));
}

TPoint TRichEdit::PosFromChar(int index) const {
    TPoint result(2, 1);
    int lh = std::max(1, LineHeight());
    bool found = false;
    Layout(*this, Text, [&](int i, int line, int left, int) {
        if (i == index && !found) {
            result = TPoint(left, 1 + (line - TopLine) * lh);
            found = true;
        }
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
    const AnsiString& text = Text;
    int lh = std::max(1, LineHeight());
    // One TextOut per run of equally formatted characters on a line.
    int runStart = -1, runLine = 0, runX = 0;
    AnsiString run;
    TCharFormat runFormat;
    auto flush = [&]() {
        if (run.empty()) return;
        Canvas->Font->Name = runFormat.Name;
        Canvas->Font->Height = runFormat.Height;
        Canvas->Font->Style = runFormat.Style;
        Canvas->Font->Color = runFormat.Color;
        const int y = 1 + (runLine - TopLine) * lh;
        if (y + lh > 0 && y < ClientHeight) Canvas->TextOut(runX, y, run);
        run.clear();
        runStart = -1;
    };
    Layout(*this, text, [&](int i, int line, int left, int right) {
        size_t off = utf8::Offset(text, i), next = utf8::Offset(text, i + 1);
        AnsiString ch = text.substr(off, next - off);
        TCharFormat f = FormatAt(i);
        if (left == right || ch == "\t") {
            flush();
            return;
        }
        if (runStart >= 0 && (line != runLine || !(f == runFormat))) flush();
        if (runStart < 0) {
            runStart = i;
            runLine = line;
            runX = left;
            runFormat = f;
        }
        run += ch;
    });
    flush();
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
