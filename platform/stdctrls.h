#pragma once
// Labels, edits, memos, buttons, check and radio buttons, group boxes, combo
// boxes, list boxes and scroll bars.
//
// Events follow the class library: a change made by the program fires what
// it fires there (an edit's or memo's text fires OnChange, a check or radio
// button's state fires OnClick, a scroll bar's position fires OnChange), and
// a choice made by the person fires the rest (a combo box's or list box's
// selection fires OnClick and OnChange or OnSelect; a typed text OnChange).
#include "platform/controls.h"
#include "platform/numeric_places.h"

class TUpDown;

enum TOwnerDrawStateFlag {
    odSelected,
    odGrayed,
    odDisabled,
    odChecked,
    odFocused,
    odDefault,
    odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateFlag>;
using TDrawItemEvent =
    std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner = nullptr);
    // While set, the label's size follows its caption.
    TProperty<bool> AutoSize{this, TPropId::AutoSize, true};
    TProperty<bool> Transparent{this, TPropId::Transparent, false};
    TProperty<bool> WordWrap{this, TPropId::WordWrap, false};
    TProperty<TAlignment> Alignment{this, TPropId::Alignment, taLeftJustify};
    TProperty<TTextLayout> Layout{this, TPropId::Layout, tlTop};
    TProperty<bool> ShowAccelChar{this, TPropId::None, true};
    // The control that a click on the label, or its accelerator, focuses.
    TProperty<TWinControl*> FocusControl{this, TPropId::Control, nullptr};
    // The caption as shown ('&' marks removed).
    AnsiString DisplayText() const;
    void Notification(TComponent* component, TOperation operation) override;

protected:
    void DoPropertyChanged(TPropId id) override;
    void Paint() override;
    void AdjustBounds();
};

class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* owner = nullptr);
    ~TCustomEdit() override;
    TProperty<AnsiString> Text{this, TPropId::Text};
    // Characters the person may type (0: no limit); the program may set longer texts.
    TProperty<int> MaxLength{this, TPropId::MaxLength, 0};
    TProperty<bool> ReadOnly{this, TPropId::ReadOnly, false};
    TProperty<TBorderStyle> BorderStyle{this, TPropId::BorderStyle, bsSingle};
    TProperty<char> PasswordChar{this, TPropId::PasswordChar, 0};
    // The caret and the selection, in characters.
    TProperty<int> SelStart{this, TPropId::SelStart, 0};
    TProperty<int> SelLength{this, TPropId::SelLength, 0};
    // Focus taken from the keyboard or by a form shown selects the whole
    // text, so typing replaces it; a click places the caret instead.
    TProperty<bool> AutoSelect{this, TPropId::None, true};
    TProperty<bool> HideSelection{this, TPropId::None, true};
    TNotifyEvent OnChange;

    // Characters of Text.
    virtual int GetTextLen() const;
    AnsiString SelText() const;
    // Replaces the selection as the person's typing does.
    void SetSelText(const AnsiString& text);
    void SelectAll();
    void Clear() { Text = ""; }
    void ClearSelection() { SetSelText(""); }

    // What the edit holds, and its name in the messages (see
    // platform/numeric_places.h). An edit of an up-down that declares
    // nothing holds a whole number in the up-down's range.
    void Holds(const TNumberRule& rule, const AnsiString& placeName);
    // The same, for a place whose name follows what the form shows (a row's
    // caption): the name is asked when a message needs it.
    void Holds(const TNumberRule& rule, std::function<AnsiString()> placeName);
    TNumberRule HeldRule() const;
    AnsiString PlaceName() const { return placeName_ ? placeName_() : AnsiString(); }
    // The text the program last wrote or the person last had taken: a
    // refused text goes back to it.
    const AnsiString& TakenText() const { return taken_; }
    // Checks a text the person changed since it was last taken: true when
    // it is taken; a refused text goes back to the taken one, the person is
    // told why and the keyboard comes back to the edit.
    bool CommitTyped();
    bool CommitPlace() override { return CommitTyped(); }
    // A cell of a table made of edits: Invio takes its text and the
    // keyboard stays here (it is not the form's default button).
    bool TableCell = false;

    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void InsertTypedText(const AnsiString& text) override;
    bool PropertyChanging(TPropId id) override;
    bool TakesInput() const override { return !ReadOnly; }
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

protected:
    void DoPropertyChanged(TPropId id) override;
    void DoEnter() override;
    // Leaving the edit commits its text (CommitTyped); a refused text keeps
    // the keyboard here and OnExit does not fire.
    void DoExit() override;
    virtual void Change();
    // The person's edit: new text and caret, OnChange once.
    void UserEdit(const AnsiString& text, int caret);

private:
    friend class TUpDown;
    TUpDown* upDown_ = nullptr;  // the arrows attached to this edit
    bool clicked_ = false;       // the focus comes with a click
    TNumberRule rule_;
    std::function<AnsiString()> placeName_;
    AnsiString taken_;
    bool committing_ = false;
};

class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* owner = nullptr);
};

class TMemo : public TCustomEdit {
public:
    explicit TMemo(TComponent* owner = nullptr);
    ~TMemo() override;
    // The lines of Text (joined with CR LF); either may be changed.
    TStringList* const Lines;
    TProperty<TScrollStyle> ScrollBars{this, TPropId::ScrollBars, ssNone};
    TProperty<bool> WordWrap{this, TPropId::WordWrap, true};
    TProperty<bool> WantReturns{this, TPropId::None, true};
    TProperty<bool> WantTabs{this, TPropId::None, false};
    TProperty<TAlignment> Alignment{this, TPropId::Alignment, taLeftJustify};
    bool WantsKey(WORD key) const override;
    void KeyPress(char& key) override;

protected:
    void DoPropertyChanged(TPropId id) override;

private:
    bool syncing_ = false;
};

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner = nullptr);
    // Enter anywhere on the form clicks the default button, Escape the cancel button.
    TProperty<bool> Default{this, TPropId::Default, false};
    TProperty<bool> Cancel{this, TPropId::Cancel, false};
    // Given to the form before OnClick runs, so that OnClick may take it back.
    TProperty<TModalResult> ModalResult{this, TPropId::ModalResult, mrNone};
    void Click() override;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* owner = nullptr);
    TProperty<bool> Checked{this, TPropId::Checked, false};
    TProperty<TCheckBoxState> State{this, TPropId::State, cbUnchecked};
    TProperty<bool> AllowGrayed{this, TPropId::AllowGrayed, false};
    TProperty<TAlignment> Alignment{this, TPropId::Alignment, taRightJustify};
    // The person's click: the next state (grey between checked and
    // unchecked when AllowGrayed), which fires OnClick.
    void Click() override;

protected:
    void DoPropertyChanged(TPropId id) override;
};

class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TComponent* owner = nullptr);
    // Checking one unchecks the radio buttons beside it (same parent).
    TProperty<bool> Checked{this, TPropId::Checked, false};
    TProperty<TAlignment> Alignment{this, TPropId::Alignment, taRightJustify};
    void Click() override;

protected:
    void DoPropertyChanged(TPropId id) override;
};

class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TComponent* owner = nullptr);

protected:
    TRect AlignRect() const override;
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* owner = nullptr);
    ~TComboBox() override;
    TProperty<TComboBoxStyle> Style{this, TPropId::Style, csDropDown};
    TStringList* const Items;
    // The chosen item, -1 for none; setting it shows the item's text.
    TProperty<int> ItemIndex{this, TPropId::ItemIndex, -1};
    // The edit's text (drop-down styles) or the chosen item's text.
    TProperty<AnsiString> Text{this, TPropId::Text};
    TProperty<bool> Sorted{this, TPropId::Sorted, false};
    TProperty<int> DropDownCount{this, TPropId::DropDownCount, 8};
    TProperty<int> ItemHeight{this, TPropId::ItemHeight, 16};
    TProperty<int> MaxLength{this, TPropId::MaxLength, 0};
    // Its changes reach the peer as TPropId::Position.
    TProperty<bool> DroppedDown{this, TPropId::Position, false};
    TControlCanvas* const Canvas;

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;

    // The drop-down list shows only the item part; Style decides whether the text is free.
    bool OwnerDrawn() const { return Style == csOwnerDrawFixed || Style == csOwnerDrawVariable; }
    bool TextIsFree() const { return Style == csDropDown || Style == csSimple; }
    void Clear();
    // Draws an item on Canvas: OnDrawItem for owner-drawn styles, else the text.
    void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
    // The same through an engine (the peer's list; tests).
    void PaintItemTo(TPaintEngine* engine, int index, const TRect& rect, TOwnerDrawState state);
    // The person picks an item from the list.
    void SelectByUser(int index);
    bool ClickEvents() const override { return false; }
    void FormHidden() override {
        if (DroppedDown) DroppedDown = false;
    }

    void KeyPress(char& key) override;
    void InsertTypedText(const AnsiString& text) override;
    bool PropertyChanging(TPropId id) override;

protected:
    void DoPropertyChanged(TPropId id) override;
    TControlCanvas* PaintCanvas() override { return Canvas; }
    void Resized() override;

private:
    void ItemsChanged();
    bool syncing_ = false;
};

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };

// A list of text lines the user can pick from; the message reporter appends to its Items.
class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* owner = nullptr);
    ~TListBox() override;
    TStringList* const Items;
    TProperty<int> ItemIndex{this, TPropId::ItemIndex, -1};
    TProperty<bool> MultiSelect{this, TPropId::MultiSelect, false};
    TProperty<bool> ExtendedSelect{this, TPropId::None, true};
    TProperty<int> ItemHeight{this, TPropId::ItemHeight, 16};
    TProperty<int> TopIndex{this, TPropId::TopIndex, 0};
    TProperty<bool> Sorted{this, TPropId::Sorted, false};
    TProperty<TListBoxStyle> Style{this, TPropId::Style, lbStandard};
    TControlCanvas* const Canvas;
    TDrawItemEvent OnDrawItem;

    // ListBox->Selected[i] reads and sets the selection of item i.
    class TSelectedRef {
    public:
        operator bool() const { return lb_->IsSelected(i_); }
        TSelectedRef& operator=(bool value) {
            lb_->SetSelected(i_, value);
            return *this;
        }

    private:
        friend class TListBox;
        TSelectedRef(TListBox* lb, int i) : lb_(lb), i_(i) {}
        TListBox* lb_;
        int i_;
    };
    class TSelectedArray {
    public:
        TSelectedRef operator[](int i) const { return TSelectedRef(lb_, i); }

    private:
        friend class TListBox;
        explicit TSelectedArray(TListBox* lb) : lb_(lb) {}
        TListBox* lb_;
    };
    const TSelectedArray Selected{this};
    bool IsSelected(int index) const;
    void SetSelected(int index, bool value);
    int SelCount() const;
    void Clear() { Items->Clear(); }
    // The item under a client point; -1 when none (or, with existing false, the count).
    int ItemAtPos(TPoint p, bool existing) const;
    TRect ItemRect(int index) const;
    void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
    void PaintItemTo(TPaintEngine* engine, int index, const TRect& rect, TOwnerDrawState state);
    // A click on an item chooses it (with Ctrl in a multiple selection: toggles it).
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    // The focus mark comes and goes with the focus.
    void DoEnter() override;
    void DoExit() override;
    // The item that shows the focus mark while the list has the focus: the
    // current one, or the first shown when there is none.
    int FocusMarkIndex() const;
    bool ClickEvents() const override { return false; }
    bool PropertyChanging(TPropId id) override;

protected:
    void DoPropertyChanged(TPropId id) override;
    TControlCanvas* PaintCanvas() override { return Canvas; }
    void Resized() override;

private:
    void ItemsChanged();
    std::vector<bool> selected_;
};

enum TScrollBarKind { sbHorizontal, sbVertical };
enum TScrollCode {
    scLineUp,
    scLineDown,
    scPageUp,
    scPageDown,
    scPosition,
    scTrack,
    scTop,
    scBottom,
    scEndScroll
};
using TScrollEvent = std::function<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

class TScrollBar : public TWinControl {
public:
    explicit TScrollBar(TComponent* owner = nullptr);
    TProperty<TScrollBarKind> Kind{this, TPropId::Kind, sbHorizontal};
    TProperty<int> Min{this, TPropId::Min, 0};
    TProperty<int> Max{this, TPropId::Max, 100};
    // Kept between Min and Max - PageSize + 1.
    TProperty<int> Position{this, TPropId::Position, 0};
    TProperty<int> SmallChange{this, TPropId::SmallChange, 1};
    TProperty<int> LargeChange{this, TPropId::LargeChange, 1};
    TProperty<int> PageSize{this, TPropId::PageSize, 0};
    TNotifyEvent OnChange;
    TScrollEvent OnScroll;
    // The person scrolls: OnScroll may adjust the new position, then OnChange.
    void Scroll(TScrollCode code, int position = 0);
    bool PropertyChanging(TPropId id) override;

protected:
    void DoPropertyChanged(TPropId id) override;
};

#include "platform/extctrls.h"
