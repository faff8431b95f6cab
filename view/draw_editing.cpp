// The drawing control's mouse editing: what a button press starts with each
// tool, cables laid by dragging, the eraser, graphic signs drawn, reshaped
// and moved with an inverted rubber band, the in-place text editor, the
// double click that opens a cell's data and the clear-descriptions commands.
#include <algorithm>
#include <cmath>

#include "cells/cables.h"
#include "cells/layout.h"
#include "document/grid.h"
#include "document/project.h"
#include "document/project_files.h"
#include "document/signs.h"
#include "document/undo.h"
#include "platform/forms.h"
#include "view/draw_window.h"

namespace {

bool IsCableTool(int32_t tool) { return tool == ToolStraightCable || tool == ToolBendCable; }
bool IsSignTool(int32_t tool) { return tool >= ToolLine && tool <= ToolText; }

TSide SideOf(int32_t dc, int32_t dr) {
    if (dc > 0) return TSide::Right;
    if (dc < 0) return TSide::Left;
    return dr < 0 ? TSide::Top : TSide::Bottom;
}

// The piece joining two sides of a square.
TCablePiece Join(TSide a, TSide b) {
    auto has = [&](TSide s) { return a == s || b == s; };
    if (has(TSide::Left) && has(TSide::Right)) return {0, 1};
    if (has(TSide::Top) && has(TSide::Bottom)) return {0, 0};
    if (has(TSide::Left) && has(TSide::Bottom)) return {1, 0};
    if (has(TSide::Left) && has(TSide::Top)) return {1, 1};
    if (has(TSide::Top) && has(TSide::Right)) return {1, 2};
    return {1, 3};
}

int32_t Sign(int32_t v) { return (v > 0) - (v < 0); }

bool IsCable(const TCella* cell) { return dynamic_cast<const TNCavo*>(cell) != nullptr; }

}  // namespace

// ---- Where the mouse is ----

TPoint TDrawWindow::GridPixel() const {
    const int32_t width = std::max(1, ColumnWidth()), height = std::max(1, RowHeight());
    return TPoint((MouseInfo.X + LeftCol * width) * SquarePixels / width,
                  (MouseInfo.Y + TopRow * height) * SquarePixels / height);
}

TSegnoGrafico* TDrawWindow::SignUnderMouse() const {
    if (!grid_) return nullptr;
    const TPoint at = GridPixel();
    const auto& there = grid_->SignsAt(at.x / SquarePixels, at.y / SquarePixels);
    if (there.empty()) return nullptr;
    // A selected sign wins over the others on the square; else the one drawn last.
    for (TSegnoGrafico* sign : there)
        if (SelectedSigns.Contains(sign)) return sign;
    return there.back();
}

// ---- Button press ----

void TDrawWindow::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TDrawGrid::MouseDown(button, shift, x, y);
    if (!Locate(x, y)) return;
    Shift = shift;
    HideHint();
    HideEditor();
    // The second press of a double click starts nothing: the double click
    // has opened the cell's data.
    if (button != mbLeft || shift.Contains(ssDouble)) return;
    PressLeft();
    RefreshMouseCell();
}

void TDrawWindow::RefreshMouseCell() {
    MouseInfo.Cell =
        grid_ ? grid_->CellAtLayer(MouseInfo.Column, MouseInfo.Row, MouseInfo.CentreDX, MouseInfo.CentreDY)
              : nullptr;
}

bool TDrawWindow::StandsAt(const TCella* cell, int32_t column, int32_t row) const {
    if (!cell || !grid_) return false;
    const TCella* there = grid_->CellAt(column, row);
    return there && (there == cell || there->Overlay == cell);
}

void TDrawWindow::PressLeft() {
    // A drag whose release never came (the button let go outside) ends here.
    if (SignMode != SignIdle) CancelSignAction();
    LastColumn = -1;
    if (Step() != 1 || !Palette) return;
    const int32_t tool = Palette->CurrentTool();
    const int32_t col = MouseInfo.Column, row = MouseInfo.Row;
    const TPoint at = GridPixel();
    pressAt_ = at;
    if (tool == ToolArrow || IsSignTool(tool)) {
        if (PressOnSelectedSign(at)) return;
        TSegnoGrafico* sign = SignUnderMouse();
        if (sign && SelectedSigns.Contains(sign)) {
            SignMode = SignPressedSelected;
            PressedSign = sign;
            return;
        }
        if (tool == ToolArrow) {
            if (sign) {
                // Selected at once, so that a drag moves it.
                if (!Shift.Contains(ssShift)) ClearSignSelection();
                SelectSign(sign);
                SignMode = SignPressedOther;
                PressedSign = sign;
            } else {
                ClearSignSelection();
            }
            return;
        }
        // A new sign in the palette's style, both points at the press.
        CurrentSign = std::make_unique<TSegnoGrafico>(grid_);
        CurrentSign->Kind = tool == ToolLine ? SignLine : tool == ToolRectangle ? SignRectangle : SignText;
        CurrentSign->X1 = CurrentSign->X2 = at.x;
        CurrentSign->Y1 = CurrentSign->Y2 = at.y;
        CurrentSign->Pen->Color = Palette->GraphicColour();
        CurrentSign->Pen->Width = Palette->PenWidth();
        CurrentSign->Pen->Style = Palette->PenStyle();
        CurrentSign->Font->Color = Palette->GraphicColour();
        CurrentSign->Font->Name = Palette->FontName();
        CurrentSign->Font->Size = Palette->FontSize();
        SignMode = SignDrawingNew;
        if (CurrentSign->Kind != SignText) {
            SignDrawing = true;
            ShowFeedback();
        }
        return;
    }
    if (IsCableTool(tool)) {
        TCella* there = grid_->CellAt(col, row);
        if (there && !IsCable(there)) return;  // a drag never replaces the component it starts on
        LastColumn = PreviousColumn = col;
        LastRow = PreviousRow = row;
        if (there)
            StartOrientation = MouseInfo.Cell ? MouseInfo.Cell->Orientation : there->Orientation;
        else
            StartOrientation = tool == ToolStraightCable ? Palette->Rotation() % 2 : Palette->Rotation();
        cableOnEmpty_ = !there;
        cableMoved_ = false;
        return;
    }
    if (tool == ToolEraser) {
        TCella* cell = MouseInfo.Cell;
        if (cell && cell->TypeCode != CodeHeadEnd && grid_->RemoveCell(cell, true, CaptionRemoval))
            grid_->SetModified(ModAll);
        LastColumn = PreviousColumn = col;
        LastRow = PreviousRow = row;
        return;
    }
    PressComponent();
}

void TDrawWindow::PressComponent() {
    std::unique_ptr<TCella> cell = Palette->CreateCurrentToolCell(grid_, MouseInfo.Column, MouseInfo.Row);
    if (!cell) return;
    // A cell the grid refuses is deleted by it; nothing changed then.
    if (grid_->InsertCell(std::move(cell), true, CaptionInsertion)) grid_->SetModified(ModAll);
}

bool TDrawWindow::PressOnSelectedSign(TPoint at) {
    const double zoom = std::max(1, ColumnWidth()) / static_cast<double>(SquarePixels);
    for (TSegnoGrafico* sign : SelectedSigns) {
        // The handle's half size on the screen, as the sign paints it, and a
        // little more to catch it, back in grid pixels.
        const int half =
            sign->Kind == SignText
                ? 2
                : std::max(2, static_cast<int>(std::lround(2.0 / 3.0 * sign->Pen->Width.Get() * zoom)));
        const int reach = static_cast<int>(std::ceil((half + 2) / zoom));
        auto near = [&](int32_t x, int32_t y) {
            return std::abs(at.x - x) <= reach && std::abs(at.y - y) <= reach;
        };
        // Each handle and the point opposite it.
        struct Handle {
            int32_t x, y, ox, oy;
        };
        std::vector<Handle> handles;
        if (sign->Kind == SignLine) {
            handles = {{sign->X1, sign->Y1, sign->X2, sign->Y2}, {sign->X2, sign->Y2, sign->X1, sign->Y1}};
        } else {
            handles = {{sign->X1, sign->Y1, sign->X2, sign->Y2},
                       {sign->X1, sign->Y2, sign->X2, sign->Y1},
                       {sign->X2, sign->Y2, sign->X1, sign->Y1},
                       {sign->X2, sign->Y1, sign->X1, sign->Y2}};
        }
        for (const Handle& h : handles) {
            if (!near(h.x, h.y)) continue;
            CurrentSign = sign->Clone();
            PressedSign = sign;
            SignMode = SignReshaping;
            if (sign->Kind != SignText) {
                // The grabbed end or corner is the one that follows the mouse.
                CurrentSign->X1 = h.ox;
                CurrentSign->Y1 = h.oy;
                CurrentSign->X2 = h.x;
                CurrentSign->Y2 = h.y;
                SignDrawing = true;
                ShowFeedback();
            }
            return true;
        }
    }
    return false;
}

// ---- Moves ----

void TDrawWindow::MouseMove(TShiftState shift, int x, int y) {
    // The block selection follows a drag only when the drag does nothing else.
    const bool acting = SignMode != SignIdle || LastColumn >= 0;
    TDrawGrid::MouseMove(acting ? shift - TShiftState{ssLeft} : shift, x, y);
    if (!Locate(x, y)) return;
    if (StatusBar && StatusBar->Panels->Count() > 0)
        StatusBar->Panels->Items[0]->Text =
            " X=" + IntToStr(MouseInfo.Column) + ", Y=" + IntToStr(MouseInfo.Row);
    if (shift.Contains(ssLeft) && Step() == 1 && Palette && LastColumn >= 0 &&
        (MouseInfo.Column != LastColumn || MouseInfo.Row != LastRow)) {
        const int32_t tool = Palette->CurrentTool();
        if (IsCableTool(tool))
            DrawCable();
        else if (tool == ToolEraser)
            Erase();
        RefreshMouseCell();
    }
    if (shift.Contains(ssLeft) && SignMode != SignIdle) DragSign(GridPixel());
    UpdateHint();
}

TCablePiece TDrawWindow::PieceForMove(int32_t dc, int32_t dr) const {
    dc = Sign(dc);
    dr = Sign(dr);
    const TSide out = SideOf(dc, dr);
    if (PreviousColumn != LastColumn || PreviousRow != LastRow)
        return Join(SideOf(PreviousColumn - LastColumn, PreviousRow - LastRow), out);

    // The first move after the press: the tool and the orientation the
    // drawing started with choose the piece.
    const int32_t o = StartOrientation;
    const bool horizontal = dc != 0;
    if (Palette && Palette->CurrentTool() == ToolBendCable) {
        switch (out) {
        case TSide::Right: return {1, o == 1 || o == 2 ? 2 : 3};
        case TSide::Left: return {1, o == 1 || o == 2 ? 1 : 0};
        case TSide::Top: return {1, o == 0 || o == 1 ? 1 : 2};
        default: return {1, o == 0 || o == 1 ? 0 : 3};
        }
    }
    const bool odd = (o % 2) != 0;
    if (horizontal == odd) return {0, horizontal ? 1 : 0};
    auto holds = [this](int32_t c, int32_t r) { return grid_ && grid_->CellAt(c, r) != nullptr; };
    const int32_t c = LastColumn, r = LastRow;
    const int32_t rows = grid_ ? grid_->Rows : 0, columns = grid_ ? grid_->Columns : 0;
    if (horizontal) {
        // A vertical run turning: towards the bottom when it is fed from below.
        const bool fromBelow = r == 0 || (!holds(c, r - 1) && r != rows - 1 && holds(c, r + 1));
        if (out == TSide::Right) return {1, fromBelow ? 3 : 2};
        return {1, fromBelow ? 0 : 1};
    }
    // A horizontal run turning: towards the right when it is fed from there.
    const bool fromRight = c == 0 || (!holds(c - 1, r) && c != columns - 1 && holds(c + 1, r));
    if (out == TSide::Top) return {1, fromRight ? 2 : 1};
    return {1, fromRight ? 3 : 0};
}

void TDrawWindow::DrawCable() {
    const int32_t col = MouseInfo.Column, row = MouseInfo.Row;
    if ((col != LastColumn && row != LastRow) || (col == PreviousColumn && row == PreviousRow)) {
        LastColumn = -1;
        return;
    }
    const int32_t dc = Sign(col - LastColumn), dr = Sign(row - LastRow);
    const TCablePiece first = PieceForMove(dc, dr);
    for (int32_t c = LastColumn, r = LastRow; c != col || r != row; c += dc, r += dr) {
        const TCablePiece piece = c == LastColumn && r == LastRow ? first : TCablePiece{0, dc != 0 ? 1 : 0};
        auto cable =
            std::make_unique<TNCavo>(grid_, piece.Orientation, 0, c, r, piece.Bend, Palette->CableColour());
        // With an article picked, each piece carries its data; the colour
        // stays the one chosen in the palette.
        if (Palette->TakeArticleData())
            if (TCella* prototype = cable->GetPrototype()) prototype->Assign(cable.get());
        cable->Colour = Palette->CableColour();
        if (grid_->InsertCell(std::move(cable), true, CaptionInsertion)) grid_->SetModified(ModAll);
    }
    cableMoved_ = true;
    LastColumn = col;
    LastRow = row;
    PreviousColumn = col - dc;
    PreviousRow = row - dr;
}

void TDrawWindow::Erase() {
    const int32_t col = MouseInfo.Column, row = MouseInfo.Row;
    if (TCella* cell = grid_->CellAt(col, row)) {
        // Of two crossing cables, the one along the move goes: the
        // horizontal one stands on the square, the vertical one over it.
        if (IsCable(cell) && cell->Overlay) {
            const bool horizontal = std::abs(col - LastColumn) >= std::abs(row - LastRow);
            if (!horizontal) cell = cell->Overlay;
        }
        if (cell->TypeCode != CodeHeadEnd && grid_->RemoveCell(cell, true, CaptionRemoval))
            grid_->SetModified(ModAll);
    }
    PreviousColumn = LastColumn;
    PreviousRow = LastRow;
    LastColumn = col;
    LastRow = row;
}

void TDrawWindow::DragSign(TPoint at) {
    if ((SignMode == SignReshaping || SignMode == SignDrawingNew) && CurrentSign &&
        CurrentSign->Kind != SignText) {
        HideFeedback();
        CurrentSign->X2 = at.x;
        CurrentSign->Y2 = at.y;
        ShowFeedback();
        return;
    }
    if (at == pressAt_ && SignMode != SignMoving) return;
    if (SignMode == SignReshaping) {
        // A text grabbed by a corner and dragged is moved instead.
        CurrentSign.reset();
        SignMode = SignPressedSelected;
    }
    if (SignMode == SignPressedSelected || SignMode == SignPressedOther) {
        for (TSegnoGrafico* sign : SelectedSigns) {
            MovingCopies.emplace_back(sign->Clone());
            grid_->UnindexSign(sign, true);
        }
        dragFrom_ = pressAt_;
        SignMode = SignMoving;
        ShowFeedback();
    }
    if (SignMode == SignMoving) {
        HideFeedback();
        const int32_t dx = at.x - dragFrom_.x, dy = at.y - dragFrom_.y;
        for (auto& copy : MovingCopies) {
            copy->X1 += dx;
            copy->X2 += dx;
            copy->Y1 += dy;
            copy->Y2 += dy;
        }
        dragFrom_ = at;
        ShowFeedback();
    }
}

// ---- Release ----

void TDrawWindow::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TDrawGrid::MouseUp(button, shift, x, y);
    if (button != mbLeft || !grid_) return;
    if (LastColumn >= 0 && Palette && IsCableTool(Palette->CurrentTool()) && cableOnEmpty_ && !cableMoved_ &&
        Step() == 1) {
        // A press and release on one empty square lays one piece of the tool.
        PressComponent();
    }
    LastColumn = -1;
    cableOnEmpty_ = false;
    if (Locate(x, y))
        ReleaseSign();
    else if (SignMode != SignIdle && !editing_ && !(CurrentSign && CurrentSign->Kind == SignText))
        CancelSignAction();
}

void TDrawWindow::ReleaseSign() {
    const bool placingText = (SignMode == SignReshaping || SignMode == SignDrawingNew) && CurrentSign &&
                             CurrentSign->Kind == SignText;
    if ((SignMode == SignReshaping || SignMode == SignDrawingNew) && CurrentSign && !placingText) {
        HideFeedback();
        std::unique_ptr<TSegnoGrafico> sign = CurrentSign->Clone();
        if (sign->Kind == SignLine) {
            if (sign->X1 > sign->X2) {
                std::swap(sign->X1, sign->X2);
                std::swap(sign->Y1, sign->Y2);
            }
        } else {
            if (sign->X1 > sign->X2) std::swap(sign->X1, sign->X2);
            if (sign->Y1 > sign->Y2) std::swap(sign->Y1, sign->Y2);
        }
        if (SignMode == SignDrawingNew) {
            // A click without a drag draws nothing.
            if (sign->X1 != sign->X2 || sign->Y1 != sign->Y2) {
                if (grid_->AddSign(std::move(sign), true, CaptionInsertion)) grid_->SetModified(ModDrawing);
            }
        } else if (PressedSign) {
            TSegnoGrafico* old = PressedSign;
            PressedSign = nullptr;
            UnselectSign(old);
            {
                // One undo gives the old size back: the resized sign heads its removal.
                const TUndoStep step(grid_->UndoList.get(), TUndoStep::TEnd::UnderTop);
                grid_->RemoveSign(old, true, CaptionRemoval);
                TSegnoGrafico* added = sign.get();
                if (grid_->AddSign(std::move(sign), true, CaptionResize)) SelectSign(added);
            }
            grid_->SetModified(ModDrawing);
        }
        CurrentSign.reset();
    } else if (SignMode == SignPressedOther && PressedSign) {
        if (!Shift.Contains(ssShift)) {
            ClearSignSelection();
            SelectSign(PressedSign);
        }
    } else if (SignMode == SignMoving) {
        FinishMove();
    }
    SignDrawing = false;
    if (!placingText) {
        SignMode = SignIdle;
        PressedSign = nullptr;
    }
}

void TDrawWindow::FinishMove() {
    HideFeedback();
    const std::vector<TSegnoGrafico*> originals(SelectedSigns.begin(), SelectedSigns.end());
    const bool moved = !MovingCopies.empty() && dragFrom_ != pressAt_;
    if (!moved) {
        // Back where it started: the signs return to their squares unchanged.
        for (TSegnoGrafico* sign : originals) grid_->IndexSign(sign, true);
        MovingCopies.clear();
        return;
    }
    bool recorded = false;
    {
        // One undo moves them all back.
        const TUndoStep step(grid_->UndoList.get(), TUndoStep::TEnd::MarkerIfAny, CaptionMove);
        for (TSegnoGrafico* sign : originals) {
            UnselectSign(sign);
            grid_->RemoveSign(sign, true, CaptionRemoval);
        }
        for (auto& copy : MovingCopies) {
            TSegnoGrafico* sign = copy.get();
            if (grid_->AddSign(std::move(copy), true, CaptionInsertion)) SelectSign(sign);
        }
        recorded = step.Count() > 0;
    }
    MovingCopies.clear();
    if (recorded) grid_->SetModified(ModDrawing);
}

void TDrawWindow::CancelSignAction() {
    HideFeedback();
    if (SignMode == SignMoving)
        for (TSegnoGrafico* sign : SelectedSigns) grid_->IndexSign(sign, true);
    MovingCopies.clear();
    CurrentSign.reset();
    SignDrawing = false;
    SignMode = SignIdle;
    PressedSign = nullptr;
}

// ---- Rubber band ----

void TDrawWindow::PaintFeedback() {
    if (SignDrawing && CurrentSign) CurrentSign->DrawOutline(Canvas);
    for (auto& copy : MovingCopies) copy->DrawOutline(Canvas);
}

void TDrawWindow::ShowFeedback() {
    if (feedbackShown_) return;
    PaintFeedback();
    feedbackShown_ = true;
}

void TDrawWindow::HideFeedback() {
    if (!feedbackShown_) return;
    PaintFeedback();
    feedbackShown_ = false;
}

// ---- Clicks ----

void TDrawWindow::Click() {
    if (ClickConsumed) {
        ClickConsumed = false;
        return;
    }
    TDrawGrid::Click();
    if (!grid_) return;
    if ((SignMode == SignReshaping || SignMode == SignDrawingNew) && CurrentSign &&
        CurrentSign->Kind == SignText && !editing_) {
        OpenTextEditor();
        return;
    }
    if (Step() == 1 && Palette && IsCableTool(Palette->CurrentTool()) && Shift.Contains(ssAlt)) {
        if (auto* cable = dynamic_cast<TNCavo*>(MouseInfo.Cell); cable && cable->Owner == grid_) {
            cable->MarkCableRun(Palette->CableColour());
            grid_->SetModified(ModDrawing);
        }
    }
}

void TDrawWindow::DblClick() {
    TDrawGrid::DblClick();
    if (!grid_) return;
    const int32_t step = Step();
    if (step != 2 && !(step == 1 && Palette && Palette->CurrentTool() == ToolArrow)) return;
    TCella* cell =
        grid_->CellAtLayer(MouseInfo.Column, MouseInfo.Row, MouseInfo.CentreDX, MouseInfo.CentreDY);
    if (!cell || !cell->OpenDataDialog()) return;
    grid_->SetModified(ModAll);
    // The description may complete the grids: the calculation and estimate
    // pages come in as they would on the next step.
    if (grid_->Form) {
        grid_->Form->UpdateCalculationPages();
        grid_->Form->UpdateEstimatePage();
    }
}

// ---- In-place text editor ----

void TDrawWindow::OpenTextEditor() {
    if (!CurrentSign || !grid_) return;
    if (SignMode == SignReshaping && PressedSign) {
        // The old text stays on the grid, unseen, until the new one replaces it.
        editedSign_ = PressedSign;
        grid_->UnindexSign(editedSign_, true);
    }
    PressedSign = nullptr;
    const double zoom = ColumnWidth() / static_cast<double>(SquarePixels);
    Editor->Font->Name = CurrentSign->Font->Name.Get();
    Editor->Font->Color = CurrentSign->Font->Color.Get();
    Editor->Font->Size = std::max(1, static_cast<int>(std::lround(CurrentSign->Font->Size.Get() * zoom)));
    Editor->Font->Style = CurrentSign->Font->Style.Get();
    Editor->Text = CurrentSign->Text;
    const int x = static_cast<int>(std::lround(CurrentSign->X1 * zoom - LeftCol * ColumnWidth()));
    const int y = static_cast<int>(std::lround(CurrentSign->Y1 * zoom - TopRow * RowHeight()));
    Canvas->Font->Assign(*Editor->Font);
    Editor->SetBounds(x, y, EditorWidth(), Canvas->TextHeight("Mg") + 4);
    editing_ = true;
    Editor->Visible = true;
    if (Editor->CanFocus()) Editor->SetFocus();
}

int TDrawWindow::EditorWidth() {
    Canvas->Font->Assign(*Editor->Font);
    return Canvas->TextWidth(Editor->Text.Get() + "MM");
}

void TDrawWindow::CommitText() {
    if (!editing_) return;
    editing_ = false;
    Editor->Visible = false;
    if (!grid_ || !CurrentSign) {
        CancelText();
        return;
    }
    bool changed = false;
    TSegnoGrafico* old = editedSign_;
    editedSign_ = nullptr;
    {
        // One undo gives the old text back: the new text heads its removal.
        const TUndoStep step(grid_->UndoList.get(), TUndoStep::TEnd::UnderTop);
        if (old) {
            UnselectSign(old);
            changed = grid_->RemoveSign(old, true, CaptionRemoval);
        }
        const AnsiString text = Editor->Text;
        if (!text.empty()) {
            std::unique_ptr<TSegnoGrafico> sign = CurrentSign->Clone();
            sign->Text = text;
            // The box of the text at zoom 1, for the hit test and the handles.
            TFont font;
            font.Assign(*sign->Font);
            Canvas->Font->Assign(font);
            sign->X2 = sign->X1 + Canvas->TextWidth(text);
            sign->Y2 = sign->Y1 + Canvas->TextHeight(text);
            TSegnoGrafico* added = sign.get();
            if (grid_->AddSign(std::move(sign), true, old ? CaptionTextEdit : CaptionInsertion)) {
                changed = true;
                if (old) SelectSign(added);
            }
        }
    }
    if (changed) grid_->SetModified(ModDrawing);
    CancelText();
}

void TDrawWindow::CancelText() {
    if (editedSign_ && grid_) grid_->IndexSign(editedSign_, true);
    editedSign_ = nullptr;
    editing_ = false;
    CurrentSign.reset();
    SignMode = SignIdle;
    PressedSign = nullptr;
}

void TDrawWindow::HideEditor() {
    if (editing_) CommitText();
    if (Editor->Visible) Editor->Visible = false;
}

// ---- Clearing descriptions ----

namespace {
// Clears the described byte of the cells chosen; true when one was described.
template <class Next, class Chosen>
bool ClearDescribed(TCella* first, Next next, Chosen chosen) {
    bool cleared = false;
    for (TCella* cell = first; cell; cell = next(cell)) {
        if (!chosen(cell)) continue;
        if (cell->Described) cleared = true;
        cell->Described = 0;
        cell->Invalidate();
    }
    return cleared;
}
}  // namespace

void TDrawWindow::ClearCableDescriptions() {
    if (!grid_) return;
    if (ClearDescribed(
            grid_->Anchor, [](TCella* c) { return c->NextCell; },
            [](TCella* c) { return c->TypeCode == CodeCable; }))
        grid_->SetModified(ModAll);
}

void TDrawWindow::ClearOutletDescriptions() {
    if (!grid_) return;
    if (ClearDescribed(
            grid_->FirstOutlet, [](TCella* c) { return c->NextOutlet; }, [](TCella*) { return true; }))
        grid_->SetModified(ModAll);
}

void TDrawWindow::ClearAllDescriptions() {
    if (!grid_) return;
    if (ClearDescribed(
            grid_->Anchor, [](TCella* c) { return c->NextCell; },
            [](TCella* c) { return c->TypeCode != CodeHeadEnd; }))
        grid_->SetModified(ModAll);
}
