#include "view/draw_window.h"

#include <algorithm>

#include "cells/cables.h"
#include "cells/cell.h"
#include "cells/drawing.h"
#include "document/project.h"

namespace {
// The largest square the control paints; above it the view is not a zoom
// the cells draw at.
constexpr int32_t LargestSquare = 42;

int32_t Clamp(int32_t value, int32_t count, int32_t visible) {
    return std::max(0, std::min(value, count - visible));
}
}  // namespace

TDrawWindow::TDrawWindow(TComponent* owner)
    : TDrawGrid(owner),
      LinesPopup(new TPopupMenu(this)),
      EditPopup(new TPopupMenu(this)),
      Editor(new TEdit(this)),
      HintWindow(new TRichEdit(this)),
      HintDelay(new TTimer(this)),
      HintWatch(new TTimer(this)) {
    FixedCols = 0;
    FixedRows = 0;
    DefaultColWidth = SquarePixels;
    DefaultRowHeight = SquarePixels;
    ColCount = 50;
    RowCount = 50;
    ScrollBars = ssBoth;
    DefaultDrawing = false;
    ShowHint = true;
    Options = TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine,
                           goHorzLine,      goRangeSelect,   goDrawFocusSelected};
    OnTopLeftChanged = [this](TObject*) { ScrolledTopLeft(); };

    Editor->Parent = this;
    Editor->BorderStyle = bsNone;
    Editor->Visible = false;

    HintWindow->Parent = this;
    HintWindow->BorderStyle = bsNone;
    HintWindow->Visible = false;
    HintWindow->Color = clInfoBk;
    HintWindow->Font->Name = "Arial";
    HintWindow->Font->Height = -11;
    // The wheel over a long hint moves its lines, three a notch, instead of
    // scrolling the drawing under it (which would hide it).
    HintWindow->OnMouseWheel = [this](TObject*, TShiftState, int delta, TPoint, bool& handled) {
        handled = true;
        HintWindow->TopLine = std::clamp(HintWindow->TopLine - delta / 40, 0, HintWindow->LastTopLine());
    };

    // Over the hint the pointer still points at the drawing beneath it: a
    // move there is a move over the drawing, so that another cell under the
    // hint shows its own hint; over the hinted cell or empty squares the
    // hint stays, for the wheel to scroll it.
    HintWindow->OnMouseMove = [this](TObject*, TShiftState shift, int x, int y) {
        if (shift.Contains(ssLeft) || shift.Contains(ssRight) || shift.Contains(ssMiddle)) return;
        MouseMove(shift, HintWindow->Left + x, HintWindow->Top + y);
    };

    HintDelay->Enabled = false;
    HintDelay->Interval = 500;
    HintWatch->Interval = 1000;
    HintDelay->OnTimer = [this](TObject*) { ShowHintWindow(); };
    HintWatch->OnTimer = [this](TObject*) { HintWatchTick(); };

    Editor->OnExit = [this](TObject*) { CommitText(); };
    Editor->OnChange = [this](TObject*) {
        if (editing_) Editor->Width = EditorWidth();
    };
    Editor->OnKeyPress = [this](TObject*, char& key) {
        if (key == '\r') {
            key = 0;
            HideEditor();
        }
    };
    OnContextPopup = [this](TObject*, TPoint at, bool& handled) { ContextPopup(at, handled); };
    EditPopup->OnPopup = [this](TObject*) { EditPopupOpening(); };
    BuildPopups();
}

TDrawWindow::~TDrawWindow() {
    // Nothing is painted any more: the band and the text editor are dropped.
    feedbackShown_ = false;
    MovingCopies.clear();
    CurrentSign.reset();
    editing_ = false;
    editedSign_ = nullptr;
    SelectedSigns.Clear();
    if (grid_) grid_->DetachView(this);
}

int32_t TDrawWindow::Step() const {
    if (!grid_) return 1;
    return grid_->Project ? grid_->Project->Step : grid_->Step;
}

// ---- The grid shown ----

void TDrawWindow::SetGrid(TGridData* grid) {
    if (grid_) {
        grid_->SavedLeft = LeftCol;
        grid_->SavedTop = TopRow;
        grid_->DetachView(this);
    }
    BeginUpdate();
    if (grid != grid_) ClearSignSelection();
    grid_ = grid;
    zoomGrid_ = nullptr;
    if (grid_) {
        grid_->AttachView(this);
        ColCount = grid_->Columns;
        RowCount = grid_->Rows;
        int32_t left, top;
        if (grid_->SavedLeft < 0 || grid_->SavedTop < 0) {
            // Shown for the first time: the head end from its bottom, where the
            // terminal stands, any other grid from its top; centred across.
            top = grid_->Kind == GridHeadEnd ? grid_->Rows - VisibleRowCount() : 0;
            left = grid_->Columns / 2 - VisibleColCount() / 2;
        } else {
            top = grid_->SavedTop;
            left = grid_->SavedLeft;
        }
        LeftCol = Clamp(left, ColCount, VisibleColCount());
        TopRow = Clamp(top, RowCount, VisibleRowCount());
    }
    EndUpdate();
}

void TDrawWindow::DetachGrid(TGridData* grid) {
    if (!grid || grid != grid_) return;
    // The grid's signs go with it: the selection keeps none of them.
    SelectedSigns.Clear();
    grid_ = nullptr;
    zoomGrid_ = nullptr;
}

void TDrawWindow::BeginUpdate() {
    HideHint();
    HintsSuspended = true;
    ++updateCount_;
}

void TDrawWindow::EndUpdate() {
    HideHint();
    HintsSuspended = false;
    if (updateCount_ > 0) --updateCount_;
    if (updateCount_ == 0 && zoomPending_) ShowZoomedSquares();
    Invalidate();
}

void TDrawWindow::SetSquareSize(int32_t size) {
    // The first zoom on this grid, or the first since the view was scrolled,
    // keeps the square now at the top left; the zooms after it keep that
    // same square, though a smaller square size may have had to show it
    // further right or lower (the grid's last squares reach the edge).
    if (grid_ != zoomGrid_ || LeftCol != zoomShownLeft_ || TopRow != zoomShownTop_) {
        zoomGrid_ = grid_;
        zoomLeft_ = LeftCol;
        zoomTop_ = TopRow;
    }
    BeginUpdate();
    DefaultColWidth = size;
    DefaultRowHeight = size;
    zoomPending_ = true;
    EndUpdate();
}

void TDrawWindow::ShowZoomedSquares() {
    // Applied when the last update ends: the owner may fit the control to
    // the new squares meanwhile, and the view must suit the final size.
    zoomPending_ = false;
    // The grid holds the view back where its last squares reach the edge.
    LeftCol = zoomLeft_;
    TopRow = zoomTop_;
    zoomShownLeft_ = LeftCol;
    zoomShownTop_ = TopRow;
}

void TDrawWindow::CenterOn(int32_t column, int32_t row) {
    LeftCol = Clamp(column - VisibleColCount() / 2, ColCount, VisibleColCount());
    TopRow = Clamp(row - VisibleRowCount() / 2, RowCount, VisibleRowCount());
    Selection = TGridRect{column, row, column, row};
}

// ---- Sign selection ----

void TDrawWindow::SelectSign(TSegnoGrafico* sign) {
    if (!sign || SelectedSigns.Contains(sign)) return;
    SelectedSigns.Add(sign);
    sign->InvalidateSquares();
    UpdateSignToolbar();
}

void TDrawWindow::UnselectSign(TSegnoGrafico* sign) {
    if (!sign || !SelectedSigns.Contains(sign)) return;
    SelectedSigns.Remove(sign);
    sign->InvalidateSquares();
    UpdateSignToolbar();
}

void TDrawWindow::ClearSignSelection() {
    while (TSegnoGrafico* sign = SelectedSigns.First()) {
        SelectedSigns.Remove(sign);
        sign->InvalidateSquares();
    }
    UpdateSignToolbar();
}

void TDrawWindow::SignLeft(TSegnoGrafico* sign) {
    if (sign == PressedSign) {
        HideFeedback();
        PressedSign = nullptr;
        CurrentSign.reset();
        SignDrawing = false;
        SignMode = SignIdle;
    }
    if (sign == editedSign_) editedSign_ = nullptr;
    if (SelectedSigns.Contains(sign)) {
        SelectedSigns.Remove(sign);
        UpdateSignToolbar();
    }
}

void TDrawWindow::UpdateSignToolbar() {
    if (!Palette) return;
    TSignStyle style;
    if (Palette->CurrentTool() != 0 || SelectedSigns.Empty()) {
        Palette->ShowSignStyle(false, style);
        return;
    }
    // A text's colour is its font's, a line's or a rectangle's its pen's.
    auto colourOf = [](const TSegnoGrafico* sign) {
        return sign->Kind == SignText ? sign->Font->Color.Get() : sign->Pen->Color.Get();
    };
    const TSegnoGrafico* first = SelectedSigns.First();
    style.Colour = colourOf(first);
    style.ShowPen = style.ShowFont = true;
    style.PenStyle = first->Pen->Style.Get();
    style.PenWidth = first->Pen->Width.Get();
    style.FontName = first->Font->Name.Get();
    style.FontSize = first->Font->Size.Get();
    for (const TSegnoGrafico* sign : SelectedSigns) {
        if (colourOf(sign) != colourOf(first)) style.Colour = static_cast<TColor>(-1);
        if (sign->Kind == SignText)
            style.ShowPen = false;
        else
            style.ShowFont = false;
        if (sign->Pen->Style.Get() != first->Pen->Style.Get()) style.PenStyle = -1;
        if (sign->Pen->Width.Get() != first->Pen->Width.Get()) style.PenWidth = -1;
        if (sign->Font->Name.Get() != first->Font->Name.Get()) style.FontName = "";
        if (sign->Font->Size.Get() != first->Font->Size.Get()) style.FontSize = -1;
    }
    if (!style.ShowPen) style.PenStyle = style.PenWidth = -1;
    if (!style.ShowFont) {
        style.FontName = "";
        style.FontSize = -1;
    }
    Palette->ShowSignStyle(true, style);
}

// ---- Painting ----

namespace {

// The data of a cable or jumper run live in its head: the run's other
// segments are described when the head is.
bool IsDescribed(TCella& cell) {
    auto* segment = dynamic_cast<TNCavo*>(&cell);
    TNCavo* head = segment ? segment->GetRunHead() : nullptr;
    return head ? head->Described != 0 : cell.Described != 0;
}

}  // namespace

TColor TDrawWindow::SquareColour(int32_t column, int32_t row) const {
    // The focused square is drawn like the rest of the selected block: the
    // square a drag ends on, or the one "Trova" found, shows as selected.
    TGridRect sel = Selection;
    if (column >= sel.Left && column <= sel.Right && row >= sel.Top && row <= sel.Bottom)
        return SquareSelected;
    if (!grid_) return SquareWhite;
    if (grid_->Kind == GridSymbol &&
        (column == 0 || row == 0 || column == grid_->Columns - 1 || row == grid_->Rows - 1))
        return SquareSymbolBorder;
    if (Step() == 2) {
        if (TCella* cell = grid_->CellAt(column, row); cell && !IsDescribed(*cell)) {
            if (cell->TypeCode == CodeCable) {
                if (HighlightCables) return SquareUndescribedCable;
            } else if (cell->TypeCode != CodeHeadEnd &&
                       (HighlightCells || (HighlightCalculationCells && !cell->NeedsNoDescription()))) {
                return SquareUndescribedCell;
            }
        }
    }
    return SquareWhite;
}

void TDrawWindow::PaintSquareOn(TCanvas* canvas, int32_t column, int32_t row, const TRect& rect) {
    if (updateCount_ > 0 || !grid_ || !grid_->Inside(column, row)) return;
    if (rect.Width() > LargestSquare || rect.Height() > LargestSquare) return;
    canvas->SetClipRect(rect);
    canvas->Brush->Style = bsSolid;
    canvas->Brush->Color = SquareColour(column, row);
    canvas->FillRect(rect);
    if (TCella* cell = grid_->CellAt(column, row)) {
        // A line to either edge of the square covers the edge's pixel,
        // whatever the zoom: a cable run has no gap between squares. The
        // square's clip keeps it from going further.
        const TJoinedSymbolLines joined(true);
        cell->Paint(canvas, column, row, rect.Left, rect.Top, rect.Width());
        // A cable crossing the square's cable stands over it.
        if (cell->Overlay) cell->Overlay->Paint(canvas, column, row, rect.Left, rect.Top, rect.Width());
    }
    // The graphic signs crossing the square, over the cells.
    for (const TSegnoGrafico* sign : grid_->SignsAt(column, row))
        sign->PaintScaled(canvas, column, row, rect.Left, rect.Top);
    if (grid_->ErrorMark(column, row)) {
        canvas->Font->Name = "Arial";
        canvas->Font->Height = -8;
        canvas->Font->Style = TFontStyles{};
        canvas->Font->Color = clRed;
        canvas->Brush->Style = bsClear;
        canvas->TextOut(std::max(0, rect.Right - 17), rect.Top, "Err");
        canvas->Brush->Style = bsSolid;
    }
    canvas->ReleaseClip();
}

void TDrawWindow::PaintSquare(int32_t column, int32_t row) {
    TRect rect = CellRect(column, row);
    if (rect.IsEmpty()) return;
    PaintSquareWithFeedback(column, row, rect);
}

void TDrawWindow::PaintSquareWithFeedback(int32_t column, int32_t row, const TRect& rect) {
    // A rubber band on the screen is taken off and put back around the
    // square, so that it survives the square's repaint.
    if (feedbackShown_) PaintFeedback();
    PaintSquareOn(Canvas, column, row, rect);
    if (feedbackShown_) PaintFeedback();
}

void TDrawWindow::RepaintCell(int32_t column, int32_t row) {
    if (Peer())
        InvalidateCell(column, row);
    else
        PaintSquare(column, row);
}

void TDrawWindow::DrawCell(int col, int row, const TRect& rect, TGridDrawState) {
    PaintSquareWithFeedback(col, row, rect);
}

// ---- Mouse ----

bool TDrawWindow::Locate(int32_t x, int32_t y) {
    if (!grid_) return false;
    int col = -1, row = -1;
    MouseToCell(x, y, col, row);
    if (!grid_->Inside(col, row)) return false;
    TRect rect = CellRect(col, row);
    int32_t size = DefaultColWidth;
    MouseInfo.X = x;
    MouseInfo.Y = y;
    MouseInfo.Column = col;
    MouseInfo.Row = row;
    MouseInfo.OffsetX = x - rect.Left;
    MouseInfo.OffsetY = y - rect.Top;
    MouseInfo.SquareSize = size;
    MouseInfo.CentreDX = std::abs(MouseInfo.OffsetX - size / 2);
    MouseInfo.CentreDY = std::abs(MouseInfo.OffsetY - size / 2);
    MouseInfo.Cell = grid_->CellAtLayer(col, row, MouseInfo.CentreDX, MouseInfo.CentreDY);
    return true;
}

bool TDrawWindow::MouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
    constexpr int Notch = 120;
    wheelRest_ += wheelDelta;
    const int notches = wheelRest_ / Notch;
    wheelRest_ -= notches * Notch;
    bool handled = true;  // a part of a notch is the drawing's too
    for (int i = 0; i < std::abs(notches); ++i)
        handled = TDrawGrid::MouseWheel(shift, notches < 0 ? -Notch : Notch, mousePos);
    return handled;
}

bool TDrawWindow::DoMouseWheelDown(TShiftState, TPoint) {
    if (TopRow + VisibleRowCount() < RowCount) TopRow = TopRow + 1;
    ClickConsumed = true;
    return true;
}

bool TDrawWindow::DoMouseWheelUp(TShiftState, TPoint) {
    if (TopRow > 0) TopRow = TopRow - 1;
    ClickConsumed = true;
    return true;
}
