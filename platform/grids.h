#pragma once
// Draw grids and string grids.
//
// The model lays out and paints the grid itself (columns, rows, fixed cells,
// grid lines, selection) and edits cells in an in-place editor, a TEdit child
// of the grid, so a back end only supplies the paint engine and the input.
#include <vector>

#include "platform/controls.h"
#include "platform/numeric_places.h"

// A block of cells; Right and Bottom are the last column and row inside it.
struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TGridRect&) const = default;
};
struct TGridCoord {
    int X = 0;
    int Y = 0;
    bool operator==(const TGridCoord&) const = default;
};

enum TGridOption {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goRangeSelect,
    goDrawFocusSelected,
    goRowSizing,
    goColSizing,
    goRowMoving,
    goColMoving,
    goEditing,
    goTabs,
    goRowSelect,
    goAlwaysShowEditor,
    goThumbTracking
};
using TGridOptions = TSet<TGridOption>;
enum TGridDrawStateFlag { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStateFlag>;

using TDrawCellEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, AnsiString& Value)>;
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const AnsiString& Value)>;

class TCustomGrid;

// The editor a grid shows over the current cell.
class TInplaceEdit : public TCustomEdit {
public:
    explicit TInplaceEdit(TCustomGrid* grid);
    TCustomGrid* Grid() const { return grid_; }
    void KeyDown(WORD& key, TShiftState shift) override;
    bool WantsKey(WORD key) const override;

protected:
    void Change() override;

private:
    friend class TCustomGrid;
    TCustomGrid* grid_;
    bool loading_ = false;
};

class TCustomGrid : public TCustomControl {
public:
    explicit TCustomGrid(TComponent* owner = nullptr);
    ~TCustomGrid() override;

    TProperty<int> ColCount{this, TPropId::ColCount, 5};
    TProperty<int> RowCount{this, TPropId::RowCount, 5};
    TProperty<int> FixedCols{this, TPropId::FixedCols, 1};
    TProperty<int> FixedRows{this, TPropId::FixedRows, 1};
    TProperty<TColor> FixedColor{this, TPropId::FixedColor, clBtnFace};
    // Setting a default resets every column's width (every row's height).
    TProperty<int> DefaultColWidth{this, TPropId::DefaultColWidth, 64};
    TProperty<int> DefaultRowHeight{this, TPropId::DefaultRowHeight, 24};
    TProperty<int> GridLineWidth{this, TPropId::GridLineWidth, 1};
    TProperty<TGridOptions> Options{
        this, TPropId::Options,
        TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect}};
    // The current cell; moving it asks OnSelectCell, collapses the selection
    // to it and scrolls it into view.
    TProperty<int> Row{this, TPropId::Row, 1};
    TProperty<int> Col{this, TPropId::Col, 1};
    // The first scrolled (non-fixed) row and column shown.
    TProperty<int> TopRow{this, TPropId::TopRow, 1};
    TProperty<int> LeftCol{this, TPropId::LeftCol, 1};
    // Setting it makes its bottom-right cell the current one (no OnSelectCell).
    TProperty<TGridRect> Selection{this, TPropId::Selection, TGridRect{1, 1, 1, 1}};
    // Whether the in-place editor is shown (needs goEditing).
    TProperty<bool> EditorMode{this, TPropId::EditorMode, false};
    TProperty<bool> DefaultDrawing{this, TPropId::DefaultDrawing, true};
    TProperty<TScrollStyle> ScrollBars{this, TPropId::ScrollBars, ssBoth};
    TProperty<TBorderStyle> BorderStyle{this, TPropId::BorderStyle, bsSingle};

    // Grid->ColWidths[i] = 50; Grid->RowHeights[r]
    class TSizeRef {
    public:
        operator int() const { return g_->SizeAt(col_, i_); }
        TSizeRef& operator=(int v) {
            g_->SetSizeAt(col_, i_, v);
            return *this;
        }

    private:
        friend class TCustomGrid;
        TSizeRef(TCustomGrid* g, bool col, int i) : g_(g), col_(col), i_(i) {}
        TCustomGrid* g_;
        bool col_;
        int i_;
    };
    class TSizes {
    public:
        TSizeRef operator[](int i) const { return TSizeRef(g_, col_, i); }

    private:
        friend class TCustomGrid;
        TSizes(TCustomGrid* g, bool col) : g_(g), col_(col) {}
        TCustomGrid* g_;
        bool col_;
    };
    const TSizes ColWidths{this, true};
    const TSizes RowHeights{this, false};

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;
    TNotifyEvent OnTopLeftChanged;
    TGetEditEvent OnGetEditText;
    TSetEditEvent OnSetEditText;

    // The cell's rectangle in client coordinates (without its grid lines);
    // empty when the cell is not in view.
    TRect CellRect(int col, int row) const;
    // The cell under a client point; -1, -1 outside the cells.
    void MouseToCell(int x, int y, int& col, int& row) const;
    TGridCoord MouseCoord(int x, int y) const;
    // Scrolled columns (rows) wholly in view.
    int VisibleColCount() const;
    int VisibleRowCount() const;
    void InvalidateCell(int col, int row);
    void InvalidateRow(int row);
    void InvalidateCol(int col);
    TInplaceEdit* InplaceEditor() const { return editor_; }
    // Shows or hides the editor as the person's F2, Enter and Escape do.
    void ShowEditor();
    void HideEditor();
    // Puts back the text the open editor started from; false when there was
    // no editor open or nothing typed in it.
    bool CancelEdit();
    // Whether the open editor's text differs from the text it opened with.
    bool EditChanged() const;

    // ---- What the cells hold (platform/numeric_places.h) ----
    struct TCellRule {
        TGridRect Cells;
        TNumberRule Rule;
    };
    // Every row of a column, or a block of cells, holds what the rule says;
    // where declarations overlap the later one counts, and declaring the
    // same block again replaces what it held (a price's decimals follow
    // the currency).
    void ColumnHolds(int col, const TNumberRule& rule);
    void CellsHold(const TGridRect& cells, const TNumberRule& rule);
    TNumberRule CellRule(int col, int row) const;
    const std::vector<TCellRule>& CellRules() const { return cellRules_; }
    // How the messages name a cell: the caption of its column in the first
    // fixed row (else "colonna n"), then that of its row in the first fixed
    // column (else "riga n").
    AnsiString PlaceName(int col, int row) const;
    // Empty when the text may become the cell's; else the message that
    // refuses it (the cell's rule).
    virtual AnsiString CellRefusal(int col, int row, const AnsiString& text);
    // Checks the text typed in the open editor: true when taken, or when
    // nothing was typed; a refused text gives the cell back the text it had
    // when the editor opened on it, the person is told why and the keyboard
    // comes back to the cell. Leaving the cell or the grid, Invio and the
    // form's OK call it.
    bool CommitEditedCell();
    bool CommitPlace() override { return CommitEditedCell(); }

    // The text the editor starts from and the text it commits.
    virtual AnsiString GetEditText(int col, int row);
    virtual void SetEditText(int col, int row, const AnsiString& value);

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DblClick() override;
    // The focused cell is drawn anew: its focus mark comes and goes.
    void DoEnter() override;
    void DoExit() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    bool WantsKey(WORD key) const override;
    bool ClickEvents() const override { return false; }
    bool PropertyChanging(TPropId id) override;
    // The committed text stays; the editor is not left over for the next showing.
    void FormHidden() override { HideEditor(); }

protected:
    void DoPropertyChanged(TPropId id) override;
    void Paint() override;
    // The border and the scroll bars that ScrollBars allows and the cells
    // need: a bar shows only when the cells do not all fit along it.
    TSize NonClientSize() const override;
    void Resized() override;
    bool DoMouseWheelDown(TShiftState shift, TPoint mousePos) override;
    bool DoMouseWheelUp(TShiftState shift, TPoint mousePos) override;
    // Draws one cell: OnDrawCell (string grids first draw the text).
    virtual void DrawCell(int col, int row, const TRect& rect, TGridDrawState state);
    virtual bool SelectCell(int col, int row);
    virtual void SizeChanged(int /*oldColCount*/, int /*oldRowCount*/) {}
    virtual bool CanEditShow() const;
    // A cell's text as a caption for the messages (string grids).
    virtual AnsiString CellCaption(int /*col*/, int /*row*/) const { return AnsiString(); }
    void TopLeftChanged();
    // Shows a new text in the open editor without committing it.
    void RefreshEditorText(const AnsiString& value);

private:
    friend class TInplaceEdit;
    int SizeAt(bool col, int index) const;
    void SetSizeAt(bool col, int index, int value);
    // Whether every column (row) shows whole in room pixels.
    bool AllFit(bool col, int room) const;
    // The cells grew or shrank: the scroll bars come or go as they are
    // needed, and the client area with them.
    void ContentResized();
    int MaxTopRow() const;
    int MaxLeftCol() const;
    void MoveCurrent(int col, int row, bool moveAnchor, bool show);
    void ClampInView();
    void PlaceEditor();
    void UpdateSelection(bool moveAnchor);
    int ColLeft(int col) const;
    int RowTop(int row) const;
    std::vector<int> colWidths_, rowHeights_;
    TGridCoord anchor_{1, 1};
    TInplaceEdit* editor_ = nullptr;
    int editCol_ = -1, editRow_ = -1;
    AnsiString editStart_;  // the cell's text when the editor opened on it
    bool selecting_ = false;
    bool moving_ = false;
    bool committing_ = false;
    std::vector<TCellRule> cellRules_;
};

class TDrawGrid : public TCustomGrid {
public:
    explicit TDrawGrid(TComponent* owner = nullptr) : TCustomGrid(owner) {}
};

class TStringGrid : public TDrawGrid {
public:
    explicit TStringGrid(TComponent* owner = nullptr);

    // Grid->Cells[col][row] reads and writes a cell's text.
    class TCellRef {
    public:
        operator AnsiString() const { return g_->Cell(c_, r_); }
        TCellRef& operator=(const AnsiString& v) {
            g_->SetCell(c_, r_, v);
            return *this;
        }
        TCellRef& operator=(const TCellRef& o) { return *this = static_cast<AnsiString>(o); }
        bool operator==(const AnsiString& v) const { return g_->Cell(c_, r_) == v; }
        AnsiString operator+(const AnsiString& v) const { return g_->Cell(c_, r_) + v; }

    private:
        friend class TStringGrid;
        TCellRef(TStringGrid* g, int c, int r) : g_(g), c_(c), r_(r) {}
        TStringGrid* g_;
        int c_, r_;
    };
    class TCellColumn {
    public:
        TCellRef operator[](int row) const { return TCellRef(g_, c_, row); }

    private:
        friend class TStringGrid;
        TCellColumn(TStringGrid* g, int c) : g_(g), c_(c) {}
        TStringGrid* g_;
        int c_;
    };
    class TCells {
    public:
        TCellColumn operator[](int col) const { return TCellColumn(g_, col); }

    private:
        friend class TStringGrid;
        explicit TCells(TStringGrid* g) : g_(g) {}
        TStringGrid* g_;
    };
    const TCells Cells{this};

    // Grid->Objects[col][row]: a pointer kept with the cell (never owned).
    class TObjectRef {
    public:
        operator TObject*() const { return g_->CellObject(c_, r_); }
        TObjectRef& operator=(TObject* v) {
            g_->SetCellObject(c_, r_, v);
            return *this;
        }

    private:
        friend class TStringGrid;
        TObjectRef(TStringGrid* g, int c, int r) : g_(g), c_(c), r_(r) {}
        TStringGrid* g_;
        int c_, r_;
    };
    class TObjectColumn {
    public:
        TObjectRef operator[](int row) const { return TObjectRef(g_, c_, row); }

    private:
        friend class TStringGrid;
        TObjectColumn(TStringGrid* g, int c) : g_(g), c_(c) {}
        TStringGrid* g_;
        int c_;
    };
    class TObjects {
    public:
        TObjectColumn operator[](int col) const { return TObjectColumn(g_, col); }

    private:
        friend class TStringGrid;
        explicit TObjects(TStringGrid* g) : g_(g) {}
        TStringGrid* g_;
    };
    const TObjects Objects{this};

    // Texts outside the grid read as empty; writing them raises.
    const AnsiString& Cell(int col, int row) const;
    void SetCell(int col, int row, const AnsiString& value);
    TObject* CellObject(int col, int row) const;
    void SetCellObject(int col, int row, TObject* object);
    // A whole row or column as a list, and back.
    void GetRow(int row, TStringList& list) const;
    void SetRow(int row, const TStringList& list);
    void GetCol(int col, TStringList& list) const;
    void SetCol(int col, const TStringList& list);
    void ClearRow(int row);

    AnsiString GetEditText(int col, int row) override;
    void SetEditText(int col, int row, const AnsiString& value) override;

protected:
    void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;
    void SizeChanged(int oldColCount, int oldRowCount) override;
    AnsiString CellCaption(int col, int row) const override { return Cell(col, row); }

private:
    struct Entry {
        AnsiString text;
        TObject* object = nullptr;
    };
    Entry* At(int col, int row);
    const Entry* At(int col, int row) const;
    std::vector<Entry> cells_;  // row by row
    int cols_ = 0, rows_ = 0;
};
