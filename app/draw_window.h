#pragma once
// TDrawWindow: the control on which a grid is shown and edited. Its squares
// are the grid's squares; each paints its background, its cell and its error
// mark under a clip of its own rectangle.
#include <cstdint>
#include <memory>

#include "app/grid.h"
#include "app/mouse_info.h"
#include "app/signs.h"
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
    // Paints one square into rect of canvas; focused is the focused square.
    void PaintSquareOn(TCanvas* canvas, int32_t column, int32_t row, const TRect& rect, bool focused);
    // The background a square gets (selection, highlights).
    TColor SquareColour(int32_t column, int32_t row, bool focused) const;

    // Scrolls (column, row) to the middle of the view and selects it.
    void CenterOn(int32_t column, int32_t row);
    void HideEditor();
    // Empties the sign selection and updates the palette's sign controls.
    void ClearSignSelection();
    void SelectSign(TSegnoGrafico* sign);
    void UnselectSign(TSegnoGrafico* sign);
    // The palette's sign controls show what the selected signs share.
    void UpdateSignToolbar();

    // What the grid asks of its window.
    void SignLeft(TSegnoGrafico* sign) override;
    int ColumnWidth() const override { return DefaultColWidth; }
    int RowHeight() const override { return DefaultRowHeight; }
    int32_t FirstVisibleColumn() const override { return LeftCol; }
    int32_t FirstVisibleRow() const override { return TopRow; }
    bool IsSignSelected(const TSegnoGrafico* sign) const override { return SelectedSigns.Contains(sign); }

    // The project's step, or the grid's own without a project.
    int32_t Step() const;
    // Looks up the square under (x, y); false outside the grid.
    bool Locate(int32_t x, int32_t y);

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void Click() override;

    TDrawPalette* Palette = nullptr;
    // Panel 0 shows the square under the mouse; handed over by the owner.
    TStatusBar* StatusBar = nullptr;
    // The highlights of the step-2 view, set from the main form's menu.
    bool HighlightCables = false;
    bool HighlightCells = false;
    bool HighlightCalculationCells = false;

    TListaSegniGrafici SelectedSigns;

    TInfoMousePos MouseInfo;
    TShiftState Shift;
    bool ClickConsumed = false;
    bool HintsSuspended = false;
    TRect HintArea{0, 0, -1, -1};  // squares covered by the hint window (columns, rows; Right, Bottom inside)

    TPopupMenu* const LinesPopup;
    TPopupMenu* const EditPopup;
    TEdit* const Editor;
    TRichEdit* const HintWindow;
    TTimer* const HintDelay;
    TTimer* const HintWatch;

protected:
    void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;
    bool DoMouseWheelDown(TShiftState shift, TPoint mousePos) override;
    bool DoMouseWheelUp(TShiftState shift, TPoint mousePos) override;

private:
    void HideHint();
    void ScrolledTopLeft();
    TGridData* grid_ = nullptr;
    int32_t updateCount_ = 0;
};
