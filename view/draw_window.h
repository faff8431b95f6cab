#pragma once
// TDrawWindow: the control on which a grid is shown and edited. Its squares
// are the grid's squares; each paints its background, its cell and its error
// mark under a clip of its own rectangle.
#include <cstdint>
#include <memory>
#include <vector>

#include "cells/mouse_info.h"
#include "document/grid.h"
#include "document/signs.h"
#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/grids.h"
#include "platform/menus.h"

class TCella;

// The style the selected signs share, for the palette's sign controls: -1
// (an empty name) where the selected signs differ. The pen shows when every
// selected sign is a line or a rectangle, the font when every one is a text.
struct TSignStyle {
    TColor Colour = static_cast<TColor>(-1);
    bool ShowPen = false;
    int32_t PenStyle = -1;
    int32_t PenWidth = -1;
    bool ShowFont = false;
    AnsiString FontName;
    int32_t FontSize = -1;
};

// What the drawing control reads of the component palette: the tool chosen,
// its turn and mirror, the drawing style of new cables and signs, and the
// factory of the chosen component; and the sign controls it loads from the
// selection.
class TDrawPalette {
public:
    virtual ~TDrawPalette() = default;
    // 0 none, 17 straight cable, 18 bend, 33 eraser, 100-102 line,
    // rectangle, text; other codes are component tools.
    virtual int32_t CurrentTool() const = 0;
    virtual int32_t Rotation() const = 0;
    virtual bool Mirror() const = 0;
    virtual TColor CableColour() const = 0;
    virtual TColor GraphicColour() const = 0;
    virtual int32_t PenWidth() const = 0;
    virtual TPenStyle PenStyle() const = 0;
    virtual AnsiString FontName() const = 0;
    virtual int32_t FontSize() const = 0;
    // New cable pieces take the cable prototype's article data.
    virtual bool TakeArticleData() const = 0;
    // A new cell of the chosen tool on grid at (column, row); none when the
    // tool makes no cell.
    virtual std::unique_ptr<TCella> CreateCurrentToolCell(TGridData* grid, int32_t column, int32_t row) = 0;
    // Shows the sign controls with the selection's style, or hides them
    // (visible false: no sign selected, or a tool chosen). The palette's own
    // style handlers must not restyle the signs while it loads them.
    virtual void ShowSignStyle(bool visible, const TSignStyle& style) = 0;
};

// Tools of the palette the control itself acts on; the others are the type
// codes of the cells they place.
constexpr int32_t ToolArrow = 0;
constexpr int32_t ToolStraightCable = 17;
constexpr int32_t ToolBendCable = 18;
constexpr int32_t ToolEraser = 33;
constexpr int32_t ToolLine = 100;
constexpr int32_t ToolRectangle = 101;
constexpr int32_t ToolText = 102;

// Sign modes: idle, pressed on a selected sign, pressed on another sign,
// reshaping a selected sign, drawing a new one, moving the selection.
enum : int32_t {
    SignIdle = 0,
    SignPressedSelected = 1,
    SignPressedOther = 2,
    SignReshaping = 3,
    SignDrawingNew = 4,
    SignMoving = 5
};

// A cable piece: a bend (orientation 0 joins left and bottom, 1 left and
// top, 2 top and right, 3 right and bottom) or a straight piece
// (orientation 1 horizontal, 0 vertical).
struct TCablePiece {
    uint8_t Bend = 0;
    int32_t Orientation = 0;
    bool operator==(const TCablePiece&) const = default;
};

// Background colours of the squares.
constexpr TColor SquareWhite = RGB(255, 255, 255);
constexpr TColor SquareSelected = RGB(255, 255, 175);
constexpr TColor SquareUndescribedCable = RGB(221, 221, 255);
constexpr TColor SquareUndescribedCell = RGB(255, 221, 221);
constexpr TColor SquareSymbolBorder = RGB(175, 255, 175);

class TDrawWindow : public TDrawGrid, public TGridWindow {
public:
    explicit TDrawWindow(TComponent* owner = nullptr);
    ~TDrawWindow() override;

    // Shows grid, remembering where the old one was scrolled to.
    void SetGrid(TGridData* grid);
    // Forgets grid when it is the one shown.
    void DetachGrid(TGridData* grid) override;
    TGridData* Grid() const { return grid_; }

    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return updateCount_ > 0; }

    void RepaintCell(int32_t column, int32_t row) override;
    // Paints one square where it shows on the control's canvas.
    void PaintSquare(int32_t column, int32_t row);
    // Paints one square into rect of canvas.
    void PaintSquareOn(TCanvas* canvas, int32_t column, int32_t row, const TRect& rect);
    // The background a square gets (selection, highlights).
    TColor SquareColour(int32_t column, int32_t row) const;

    // Scrolls (column, row) to the middle of the view and selects it.
    void CenterOn(int32_t column, int32_t row);
    // Squares of size pixels: the square at the top left stays there (as far
    // as the grid's last squares let it), so that zooming out and back in
    // shows the drawing that was shown before.
    void SetSquareSize(int32_t size);
    void HideEditor();
    // Empties the sign selection and updates the palette's sign controls.
    void ClearSignSelection();
    void SelectSign(TSegnoGrafico* sign);
    void UnselectSign(TSegnoGrafico* sign);
    // The palette's sign controls show what the selected signs share.
    void UpdateSignToolbar();

    // What the grid asks of its window.
    void SignLeft(TSegnoGrafico* sign) override;
    // Signs are laid out on the squares' pitch, grid line included, so that
    // a sign runs on unbroken across the squares and its rubber band, drawn
    // over the whole control, meets it where it is painted square by square.
    int ColumnWidth() const override { return DefaultColWidth + GridLineWidth; }
    int RowHeight() const override { return DefaultRowHeight + GridLineWidth; }
    int32_t FirstVisibleColumn() const override { return LeftCol; }
    int32_t FirstVisibleRow() const override { return TopRow; }
    bool IsSignSelected(const TSegnoGrafico* sign) const override { return SelectedSigns.Contains(sign); }

    // The project's step, or the grid's own without a project.
    int32_t Step() const;
    // Looks up the square under (x, y); false outside the grid.
    bool Locate(int32_t x, int32_t y);

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Click() override;
    void DblClick() override;

    // The piece a cable being drawn gets on the last square when the mouse
    // moves one square on by (dc, dr).
    TCablePiece PieceForMove(int32_t dc, int32_t dr) const;
    // Clear the described byte of every cable, every outlet, or every cell
    // but the terminal; the grid is marked when something was cleared.
    void ClearCableDescriptions();
    void ClearOutletDescriptions();
    void ClearAllDescriptions();
    // Where the mouse is, in the grid pixels signs are stored in.
    TPoint GridPixel() const;

    TDrawPalette* Palette = nullptr;
    // Panel 0 shows the square under the mouse; handed over by the owner.
    TStatusBar* StatusBar = nullptr;
    // The highlights of the step-2 view, set from the main form's menu.
    bool HighlightCables = false;
    bool HighlightCells = false;
    bool HighlightCalculationCells = false;

    TListaSegniGrafici SelectedSigns;
    // Cable drawing: the square the cable stands on now (column -1 when no
    // cable is drawn), the square before it, the orientation where it began.
    int32_t LastColumn = -1, LastRow = -1;
    int32_t PreviousColumn = -1, PreviousRow = -1;
    int32_t StartOrientation = 0;
    // Sign editing: the mode, the sign under the press, the sign being drawn
    // or reshaped (shown as a rubber band while SignDrawing), the copies of
    // the selection being moved.
    int32_t SignMode = SignIdle;
    bool SignDrawing = false;
    TSegnoGrafico* PressedSign = nullptr;
    std::unique_ptr<TSegnoGrafico> CurrentSign;
    std::vector<std::unique_ptr<TSegnoGrafico>> MovingCopies;

    TInfoMousePos MouseInfo;
    TShiftState Shift;
    bool ClickConsumed = false;
    bool HintsSuspended = false;
    TRect HintArea{0, 0, -1, -1};  // squares covered by the hint window (columns, rows; Right, Bottom inside)

    // "Attiva": the hint window shows at the delay's tick only while it is on.
    bool HintsActive = false;
    // The square and cell the open popup was opened on (-1 and none otherwise).
    int32_t PopupColumn = -1, PopupRow = -1;
    TCella* PopupCell = nullptr;

    // The edit popup's block commands; the block is the control's selection.
    bool BlockUsable() const;
    // Cut, copy and delete: a usable block or some selected sign.
    bool BlockCommandsOffered() const;
    TCellRect SelectedBlock() const;
    enum class TPasteKind { Plain, Mirrored, Rotated90, Rotated180, Rotated270 };
    void SetLineCount(int32_t count);
    void CopyDataClick();
    void CopyToClick(uint8_t flag);
    void UndoClick();
    void CutClick();
    void CopyClick();
    void PasteClick(TPasteKind kind);
    // Pastes the copy buffer with its first square at (column, row), one undo step.
    void PasteAt(TPasteKind kind, int32_t column, int32_t row);
    void DeleteClick();

    TPopupMenu* const LinesPopup;
    TPopupMenu* const EditPopup;
    TEdit* const Editor;
    TRichEdit* const HintWindow;
    TTimer* const HintDelay;
    TTimer* const HintWatch;
    TMenuItem* ItemCopyData = nullptr;
    TMenuItem* ItemCopyTo = nullptr;
    TMenuItem* ItemCopyToAll = nullptr;
    TMenuItem* ItemUndo = nullptr;
    TMenuItem* ItemSeparator = nullptr;
    TMenuItem* ItemCut = nullptr;
    TMenuItem* ItemCopy = nullptr;
    TMenuItem* ItemPaste = nullptr;
    TMenuItem* ItemPasteMirrored = nullptr;
    TMenuItem* ItemPasteRotated = nullptr;
    TMenuItem* ItemDelete = nullptr;

protected:
    void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;
    // Canc while drawing deletes as "&Elimina" does, when it is offered.
    void KeyDown(WORD& key, TShiftState shift) override;
    bool DoMouseWheelDown(TShiftState shift, TPoint mousePos) override;
    bool DoMouseWheelUp(TShiftState shift, TPoint mousePos) override;

public:
    // One row a notch of the wheel (a delta of 120): a wheel that reports a
    // notch in finer steps scrolls once the steps make a notch.
    bool MouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;

private:
    int wheelRest_ = 0;  // the part of a notch the wheel has turned
    struct THintPort {
        int32_t Input = -1, TapOutput = -1, ThroughOutput = -1;
        bool operator==(const THintPort&) const = default;
    };
    void PressLeft();
    bool PressOnSelectedSign(TPoint at);
    void PressComponent();
    void DrawCable();
    void Erase();
    void DragSign(TPoint at);
    void ReleaseSign();
    void FinishMove();
    void CancelSignAction();
    void OpenTextEditor();
    int EditorWidth();
    void CommitText();
    void CancelText();
    // The rubber band and the moving copies, inverted: painting them twice
    // restores the screen. Squares repainted under a shown band erase it
    // first and draw it again after.
    void PaintFeedback();
    void ShowFeedback();
    void HideFeedback();
    void PaintSquareWithFeedback(int32_t column, int32_t row, const TRect& rect);
    TSegnoGrafico* SignUnderMouse() const;
    // The cell under the mouse looked up again after an edit.
    void RefreshMouseCell();
    // True when cell still stands on (column, row), as itself or as the overlay.
    bool StandsAt(const TCella* cell, int32_t column, int32_t row) const;
    void BuildPopups();
    void ContextPopup(TPoint at, bool& handled);
    void UnselectSignsIn(const TCellRect& block);
    // The square and cell a popup command works on: where the popup was
    // opened, or the focused square when the command comes from elsewhere.
    void CommandSquare(int32_t& column, int32_t& row, TCella*& cell) const;
    AnsiString UndoCaption() const;
    bool UndoEmpty() const;
    bool CopyBufferEmpty() const;
    void EditPopupOpening();
    void UpdateHint();
    void ShowHintWindow();
    // The cell a square's cell names for the port under the mouse (a cable
    // piece names its run's head), the port filled into position.
    static TCella* NamedCell(TCella* square, TInfoMousePos& position);
    void RememberHint(TCella* square, TCella* named, const THintPort& port);
    void HintWatchTick();
    void HideHint();
    void ScrolledTopLeft();
    TGridData* grid_ = nullptr;
    // The top-left square the zooms keep, and where the last zoom left the
    // view: a view scrolled since is the one the next zoom keeps.
    const TGridData* zoomGrid_ = nullptr;
    int32_t zoomLeft_ = -1, zoomTop_ = -1;
    int32_t zoomShownLeft_ = -1, zoomShownTop_ = -1;
    bool zoomPending_ = false;
    void ShowZoomedSquares();
    int32_t updateCount_ = 0;
    TPoint pressAt_;                          // grid pixel of the last left press
    TPoint dragFrom_;                         // grid pixel of the last move while moving signs
    bool cableOnEmpty_ = false;               // the cable drawing began on an empty square
    bool cableMoved_ = false;                 // and has laid pieces since
    TSegnoGrafico* editedSign_ = nullptr;     // the old text the editor replaces
    bool editing_ = false;                    // the editor holds a text sign
    bool feedbackShown_ = false;              // the rubber band is on the screen
    THintPort hintPort_;                      // the port the hint remembers
    TCella* hintSquareCell_ = nullptr;        // the cell on the square it was asked on
    int32_t hintColumn_ = -1, hintRow_ = -1;  // and that square
};
