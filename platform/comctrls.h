#pragma once
// Tab controls and page controls, status bars, progress bars, up-down
// arrows, rich edits, page scrollers and tree views.
#include <algorithm>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "platform/controls.h"

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

// A row of tabs over a client area; the program shows what the chosen tab stands for.
class TTabControl : public TCustomControl {
public:
    explicit TTabControl(TComponent* owner = nullptr);
    ~TTabControl() override;
    TStringList* const Tabs;
    // The chosen tab, -1 for none. The program's choice fires nothing; the
    // person's asks OnChanging, then fires OnChange.
    TProperty<int> TabIndex{this, TPropId::TabIndex, -1};
    TProperty<int> TabHeight{this, TPropId::TabHeight, 0};
    TProperty<int> TabWidth{this, TPropId::TabWidth, 0};
    TProperty<bool> MultiLine{this, TPropId::MultiLine, false};
    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;
    bool IsTabStrip() const override { return true; }
    // The area below the tabs, inside the frame.
    TRect DisplayRect() const;
    TRect TabRect(int index) const;
    int IndexOfTabAt(int x, int y) const;
    // The person picks a tab.
    void SelectByUser(int index);
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    bool PropertyChanging(TPropId id) override;

protected:
    void DoPropertyChanged(TPropId id) override;
    TRect AlignRect() const override { return DisplayRect(); }
    void Paint() override;
    int RowHeight() const;

private:
    void TabsChanged();
};

class TPageControl;

class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* owner = nullptr);
    ~TTabSheet() override;
    // Setting it makes the sheet a page of that control.
    TProperty<TPageControl*> PageControl{this, TPropId::PageControl, nullptr};
    TProperty<bool> TabVisible{this, TPropId::TabVisible, true};
    int PageIndex() const;

protected:
    void DoPropertyChanged(TPropId id) override;
};

class TPageControl : public TTabControl {
public:
    explicit TPageControl(TComponent* owner = nullptr);
    ~TPageControl() override;
    // The page shown; the program's choice fires nothing.
    TProperty<TTabSheet*> ActivePage{this, TPropId::ActivePage, nullptr};
    int PageCount() const { return static_cast<int>(pages_.size()); }
    TTabSheet* Page(int index) const;
    const TIndexed<TPageControl, TTabSheet*, &TPageControl::Page> Pages{this};
    int ActivePageIndex() const;
    void SetActivePageIndex(int index);

protected:
    void DoPropertyChanged(TPropId id) override;
    bool PropertyChanging(TPropId id) override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void SyncTabs();
    std::vector<TTabSheet*> pages_;
    bool syncing_ = false;
};

class TStatusBar;

class TStatusPanel : public TPropertyHost {
public:
    explicit TStatusPanel(TStatusBar* bar) : bar_(bar) {}
    TProperty<AnsiString> Text{this, TPropId::Text};
    TProperty<int> Width{this, TPropId::Width, 50};
    TProperty<TAlignment> Alignment{this, TPropId::Alignment, taLeftJustify};
    int Index() const;
    void PropertyChanged(TPropId id) override;

private:
    TStatusBar* bar_;
};

class TStatusPanels {
public:
    explicit TStatusPanels(TStatusBar* bar) : bar_(bar) {}
    TStatusPanel* Add();
    int Count() const { return static_cast<int>(panels_.size()); }
    TStatusPanel* Item(int index) const;
    const TIndexed<TStatusPanels, TStatusPanel*, &TStatusPanels::Item> Items{this};
    void Delete(int index);
    void Clear();
    int IndexOf(const TStatusPanel* panel) const;

private:
    TStatusBar* bar_;
    std::vector<std::unique_ptr<TStatusPanel>> panels_;
};

class TStatusBar : public TCustomControl {
public:
    explicit TStatusBar(TComponent* owner = nullptr);
    ~TStatusBar() override;
    TStatusPanels* const Panels;
    // With SimplePanel the bar shows SimpleText alone.
    TProperty<bool> SimplePanel{this, TPropId::SimplePanel, false};
    TProperty<AnsiString> SimpleText{this, TPropId::SimpleText};
    TRect PanelRect(int index) const;

protected:
    void Paint() override;
    void DoPropertyChanged(TPropId id) override;

private:
    friend class TStatusPanel;
    friend class TStatusPanels;
    void PanelChanged(int index);
};

class TProgressBar : public TWinControl {
public:
    explicit TProgressBar(TComponent* owner = nullptr);
    TProperty<int> Min{this, TPropId::Min, 0};
    TProperty<int> Max{this, TPropId::Max, 100};
    TProperty<int> Position{this, TPropId::Position, 0};
    TProperty<int> Step{this, TPropId::Step, 10};
    void StepIt() { StepBy(Step); }
    void StepBy(int delta);
    bool PropertyChanging(TPropId id) override;
};

enum TUDBtnType { btNext, btPrev };
enum TUDOrientation { udHorizontal, udVertical };
using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TCustomEdit;

// Arrows that step a number, shown in the edit they are attached to (which
// they sit beside, on its right, taking part of its width).
class TUpDown : public TWinControl {
public:
    explicit TUpDown(TComponent* owner = nullptr);
    ~TUpDown() override;
    TProperty<TWinControl*> Associate{this, TPropId::Associate, nullptr};
    TProperty<int> Min{this, TPropId::Min, 0};
    TProperty<int> Max{this, TPropId::Max, 100};
    // Kept in range; writing it shows it in the attached edit.
    TProperty<int> Position{this, TPropId::Position, 0};
    TProperty<int> Increment{this, TPropId::Increment, 1};
    TProperty<TUDOrientation> Orientation{this, TPropId::Orientation, udVertical};
    TProperty<bool> Wrap{this, TPropId::Wrap, false};
    // Groups thousands with the program's separator in the edit.
    TProperty<bool> Thousands{this, TPropId::Thousands, true};
    TUDClickEvent OnClick;
    TUDChangingEvent OnChanging;
    // The person presses an arrow: the edit's number (when it reads as one)
    // steps by Increment, OnChanging may refuse, then OnClick.
    void ClickButton(TUDBtnType button);
    bool PropertyChanging(TPropId id) override;
    void Notification(TComponent* component, TOperation operation) override;
    // The attached edit's text changed: a number in range becomes the position.
    void AssociateTextChanged();
    // The attached edit is being freed.
    void AssociateDestroyed() { linked_ = nullptr; }

protected:
    void DoPropertyChanged(TPropId id) override;

private:
    void ShowInAssociate();
    TCustomEdit* linked_ = nullptr;
    bool updating_ = false;
};

// Character formats of a rich edit: of the selection (SelAttributes) or of
// new text in an empty control (DefAttributes).
struct TCharFormat {
    TColor Color = clBlack;
    AnsiString Name = "Arial";
    int Height = -11;
    TFontStyles Style;
    bool operator==(const TCharFormat&) const = default;
};

class TRichEdit;

class TTextAttributes {
public:
    TTextAttributes(TRichEdit* edit, bool selection) : edit_(edit), selection_(selection) {}
    TColor Color() const;
    void SetColor(TColor c);
    AnsiString Name() const;
    void SetName(const AnsiString& name);
    int Height() const;
    void SetHeight(int h);
    int Size() const;
    void SetSize(int points);
    TFontStyles Style() const;
    void SetStyle(TFontStyles style);
    void Assign(const TFont& font);

private:
    TCharFormat Get() const;
    void Set(const TCharFormat& f);
    TRichEdit* edit_;
    bool selection_;
};

class TParaAttributes {
public:
    explicit TParaAttributes(TRichEdit* edit) : edit_(edit) {}
    // Tab stops in points.
    int TabCount() const { return static_cast<int>(tabs_.size()); }
    void SetTabCount(int count);
    int Tab(int index) const;
    void SetTab(int index, int points);
    TAlignment Alignment = taLeftJustify;
    int FirstIndent = 0;
    int LeftIndent = 0;
    int RightIndent = 0;

private:
    TRichEdit* edit_;
    std::vector<int> tabs_;
};

// A text with coloured runs. Positions count characters of Text, where a
// line break is CR LF (two characters). Where each line starts is kept as the
// text changes, so that a paint lays out the lines shown and no more, and a
// line added at the end costs the length of that line.
class TRichEdit : public TCustomEdit {
public:
    explicit TRichEdit(TComponent* owner = nullptr);
    ~TRichEdit() override;
    TStringList* const Lines;
    TTextAttributes* const SelAttributes;
    TTextAttributes* const DefAttributes;
    TParaAttributes* const Paragraph;
    TProperty<TScrollStyle> ScrollBars{this, TPropId::ScrollBars, ssNone};
    TProperty<bool> WordWrap{this, TPropId::WordWrap, true};
    TProperty<bool> PlainText{this, TPropId::None, false};
    // The first line shown at the top: a text longer than the control scrolls.
    TProperty<int> TopLine{this, TPropId::TopIndex, 0};
    TControlCanvas* const Canvas;
    TNotifyEvent OnSelectionChange;

    // The lines of the text, and how many whole lines the control shows.
    int LineCount() const;
    int VisibleLineCount() const;
    // The largest first line: the last line then stands at the bottom.
    int LastTopLine() const { return std::max(0, LineCount() - VisibleLineCount()); }
    // The pitch of the lines, and the right edge of the longest one as the
    // control lays its text out (tab stops included), in pixels.
    int LineHeight() const;
    int ContentWidth() const;

    // The character under a client point (the caret a click leaves).
    int CharFromPos(TPoint p) const;
    TPoint PosFromChar(int index) const;
    // The format of one character.
    TCharFormat FormatAt(int index) const;
    bool ModelPainted() const override { return true; }
    // A click puts the caret under the mouse before OnMouseDown runs.
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    // The next tab stop right of x (pixels from the text's left edge).
    int TabStopAfter(int x) const;
    // Kept with the formats, one per character, so that selecting costs no
    // walk over a long text.
    int GetTextLen() const override { return static_cast<int>(formatOf_.size()); }
    bool PropertyChanging(TPropId id) override;

    // Where a line of the text as laid out starts (lines end at CR LF, at a
    // CR alone and at an LF alone).
    struct TLineStart {
        int Char = 0;
        size_t Byte = 0;
    };
    int LaidOutLineCount() const { return static_cast<int>(lineStarts_.size()); }
    TLineStart LaidOutLine(int line) const { return lineStarts_[static_cast<size_t>(line)]; }

protected:
    void DoPropertyChanged(TPropId id) override;
    void Paint() override;
    TControlCanvas* PaintCanvas() override { return Canvas; }
    void Resized() override;

private:
    friend class TTextAttributes;
    friend class TParaAttributes;
    // One character as laid out: its index, bytes and pixels.
    struct TPlaced {
        int Index;
        size_t Byte, Bytes;
        int Left, Right;
    };
    template <class F>
    void LayoutLine(int line, F visit) const;
    const TCharFormat& FormatRef(int index) const;
    int LineOfChar(int index) const;
    void LinesChanged();
    // What a change of Text keeps: the characters before and after the
    // replaced ones, found before the change is stored.
    struct TTextChange {
        int KeptBefore = 0, KeptAfter = 0;
        size_t KeptBeforeBytes = 0;
        int NewLength = 0;
    };
    void TextReplaced(const TTextChange& change);
    void Reindex(size_t fromByte);
    std::vector<TLineStart> lineStarts_{TLineStart{}};
    std::vector<int> formatOf_;  // per character, index into formats_
    std::vector<TCharFormat> formats_;
    TCharFormat default_;
    std::optional<TCharFormat> insertion_;  // set on an empty selection, used by the next insertion there
    int insertionAt_ = -1;
    bool syncing_ = false;
    // Text is Lines joined with CR LF: a line added to Lines is added to the text.
    bool textJoinsLines_ = true;
    TTextChange change_;
    // Bytes before and after an edit of Lines that stay as they were.
    size_t keptBefore_ = std::numeric_limits<size_t>::max();
    size_t keptAfter_ = std::numeric_limits<size_t>::max();
    int FormatIndex(const TCharFormat& f);
};

enum TPageScrollerOrientation { soHorizontal, soVertical };

// Scrolls one wide (or tall) control inside a narrower strip.
class TPageScroller : public TWinControl {
public:
    explicit TPageScroller(TComponent* owner = nullptr);
    TProperty<TWinControl*> Control{this, TPropId::Control, nullptr};
    TProperty<TPageScrollerOrientation> Orientation{this, TPropId::Orientation, soHorizontal};
    // Pixels scrolled, kept between 0 and how far the control reaches past the strip.
    TProperty<int> Position{this, TPropId::Position, 0};
    TProperty<int> ButtonSize{this, TPropId::ButtonSize, 12};
    TProperty<int> Margin{this, TPropId::Margin, 0};
    int MaxPosition() const;
    bool PropertyChanging(TPropId id) override;
    void Notification(TComponent* component, TOperation operation) override;

protected:
    void DoPropertyChanged(TPropId id) override;

private:
    void PlaceControl();
};

// ---------------------------------------------------------------- tree view

class TTreeView;
class TTreeNodes;

enum THitTest {
    htAbove,
    htBelow,
    htNowhere,
    htOnItem,
    htOnButton,
    htOnIcon,
    htOnIndent,
    htOnLabel,
    htOnRight,
    htOnStateIcon,
    htToLeft,
    htToRight
};
using THitTests = TSet<THitTest>;
enum TSortType { stNone, stData, stText, stBoth };

class TTreeNode : public TObject, public TPropertyHost {
public:
    TProperty<AnsiString> Text{this, TPropId::NodeText};
    void* Data = nullptr;
    TProperty<int> ImageIndex{this, TPropId::ImageIndex, -1};
    TProperty<int> SelectedIndex{this, TPropId::ImageIndex, -1};
    // The state image (from the tree's StateImages); -1 or 0 show none.
    TProperty<int> StateIndex{this, TPropId::NodeState, -1};
    // Shows an expand button even without children.
    TProperty<bool> HasChildren{this, TPropId::Nodes, false};

    TTreeNode* Parent() const { return parent_; }
    int Level() const;
    int Count() const { return static_cast<int>(children_.size()); }
    TTreeNode* ItemAt(int index) const;
    const TIndexed<TTreeNode, TTreeNode*, &TTreeNode::ItemAt> Item{this};
    TTreeNode* getFirstChild() const { return children_.empty() ? nullptr : children_.front(); }
    TTreeNode* GetLastChild() const { return children_.empty() ? nullptr : children_.back(); }
    TTreeNode* getNextSibling() const;
    TTreeNode* getPrevSibling() const;
    // The next node depth first, or nullptr after the last.
    TTreeNode* GetNext() const;
    TTreeNode* GetPrev() const;
    int Index() const;
    int AbsoluteIndex() const;
    bool Expanded() const { return expanded_; }
    void Expand(bool recurse);
    void Collapse(bool recurse);
    void SetExpanded(bool expanded);
    bool Selected() const;
    void SetSelected(bool selected);
    bool Focused() const { return Selected(); }
    // Whether every parent is expanded.
    bool IsVisible() const;
    void MakeVisible();
    TTreeNodes* Owner() const { return owner_; }
    TTreeView* TreeView() const;
    // The node's row, or its label when textOnly; empty when not in view.
    TRect DisplayRect(bool textOnly) const;
    void Delete();
    void DeleteChildren();
    void AlphaSort(bool recurse = false);

    void PropertyChanged(TPropId id) override;

private:
    friend class TTreeNodes;
    friend class TTreeView;
    TTreeNode(TTreeNodes* owner, TTreeNode* parent) : owner_(owner), parent_(parent) {}
    ~TTreeNode() override;
    TTreeNodes* owner_;
    TTreeNode* parent_;
    std::vector<TTreeNode*> children_;
    bool expanded_ = false;
};

class TTreeNodes {
public:
    explicit TTreeNodes(TTreeView* tree) : tree_(tree) {}
    ~TTreeNodes();
    TTreeNodes(const TTreeNodes&) = delete;
    TTreeNodes& operator=(const TTreeNodes&) = delete;

    // As the last sibling of sibling (at the top level when sibling is nullptr).
    TTreeNode* Add(TTreeNode* sibling, const AnsiString& text);
    TTreeNode* AddObject(TTreeNode* sibling, const AnsiString& text, void* data);
    TTreeNode* AddFirst(TTreeNode* sibling, const AnsiString& text);
    // As the last (first) child of parent (at the top level when parent is nullptr).
    TTreeNode* AddChild(TTreeNode* parent, const AnsiString& text);
    TTreeNode* AddChildObject(TTreeNode* parent, const AnsiString& text, void* data);
    TTreeNode* AddChildFirst(TTreeNode* parent, const AnsiString& text);
    // Before sibling.
    TTreeNode* Insert(TTreeNode* sibling, const AnsiString& text);
    void Delete(TTreeNode* node);
    void Clear();
    // Every node, depth first.
    int Count() const;
    TTreeNode* ItemAt(int index) const;
    const TIndexed<TTreeNodes, TTreeNode*, &TTreeNodes::ItemAt> Item{this};
    TTreeNode* GetFirstNode() const { return roots_.empty() ? nullptr : roots_.front(); }
    int RootCount() const { return static_cast<int>(roots_.size()); }
    TTreeNode* Root(int index) const { return roots_[index]; }
    void BeginUpdate() { ++updating_; }
    void EndUpdate();
    TTreeView* Owner() const { return tree_; }
    void AlphaSort(bool recurse = true);

private:
    friend class TTreeNode;
    friend class TTreeView;
    TTreeNode* InsertAt(TTreeNode* parent, int index, const AnsiString& text, void* data);
    std::vector<TTreeNode*>& SiblingsOf(TTreeNode* parent);
    void Changed();
    TTreeView* tree_;
    std::vector<TTreeNode*> roots_;
    int updating_ = 0;
};

using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVChangingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVExpandingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVExpandedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVCompareEvent =
    std::function<void(TObject* Sender, TTreeNode* Node1, TTreeNode* Node2, int Data, int& Compare)>;

// A tree of nodes drawn by the model: each row holds the expand button, the
// state image, the image and the label, Indent pixels further right per level.
class TTreeView : public TCustomControl {
public:
    explicit TTreeView(TComponent* owner = nullptr);
    ~TTreeView() override;
    TTreeNodes* const Items;
    // The program's choice also fires OnChanging and OnChange, as the person's does.
    TProperty<TTreeNode*> Selected{this, TPropId::Selected, nullptr};
    TProperty<TImageList*> Images{this, TPropId::Images, nullptr};
    TProperty<TImageList*> StateImages{this, TPropId::StateImages, nullptr};
    TProperty<int> Indent{this, TPropId::Indent, 19};
    // 0 follows the font and the images.
    TProperty<int> ItemHeight{this, TPropId::ItemHeight, 0};
    TProperty<bool> ShowButtons{this, TPropId::ShowButtons, true};
    TProperty<bool> ShowLines{this, TPropId::ShowLines, true};
    TProperty<bool> ShowRoot{this, TPropId::ShowRoot, true};
    TProperty<bool> HideSelection{this, TPropId::HideSelection, true};
    TProperty<bool> ReadOnly{this, TPropId::ReadOnly, false};
    TProperty<bool> RowSelect{this, TPropId::RowSelect, false};
    TProperty<TSortType> SortType{this, TPropId::SortType, stNone};
    // The first row shown.
    TProperty<int> TopIndex{this, TPropId::TopIndex, 0};

    TTVChangedEvent OnChange;
    TTVChangingEvent OnChanging;
    TTVExpandingEvent OnExpanding;
    TTVExpandingEvent OnCollapsing;
    TTVExpandedEvent OnExpanded;
    TTVExpandedEvent OnCollapsed;
    TTVCompareEvent OnCompare;

    // Which part of a row a client point is on.
    THitTests GetHitTestInfoAt(int x, int y) const;
    // The node whose row holds the point, or nullptr.
    TTreeNode* GetNodeAt(int x, int y) const;
    TTreeNode* TopItem() const;
    int RowHeight() const;
    // The nodes with every parent expanded, in order: the rows.
    std::vector<TTreeNode*> VisibleNodes() const;
    void FullExpand();
    void FullCollapse();
    void AlphaSort(bool recurse = true) { Items->AlphaSort(recurse); }

    // A click on a row's label, image or state image selects its node; on its button toggles it.
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void DblClick() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    bool PropertyChanging(TPropId id) override;
    void Notification(TComponent* component, TOperation operation) override;

    // Parts of a row, in client coordinates.
    struct TRowLayout {
        TRect Row, Button, StateIcon, Icon, Label;
    };
    TRowLayout LayoutOf(const TTreeNode* node) const;

protected:
    void DoPropertyChanged(TPropId id) override;
    void Paint() override;

private:
    friend class TTreeNode;
    friend class TTreeNodes;
    bool Expanding(TTreeNode* node, bool expand);
    void NodesChanged();
    void NodeDeleting(TTreeNode* node);
    bool sorting_ = false;
};
