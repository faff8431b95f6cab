// The drawing control's popup menus (editing commands; the head-end
// terminal's line count) and its port hints.
#include <algorithm>

#include "cells/head_end.h"
#include "document/copy_buffer.h"
#include "document/project.h"
#include "document/undo.h"
#include "platform/forms.h"
#include "view/draw_window.h"

namespace {
constexpr int32_t LineCounts = 20;
// The hint window stays while the mouse is this close to it.
constexpr int HintReach = 10;
// Room the hint keeps around its text, and beside it for its scroll bar.
constexpr int HintTextMargin = 6;
constexpr int HintBarRoom = 16;
}  // namespace

// ---- Popups ----

void TDrawWindow::BuildPopups() {
    for (int32_t n = 1; n <= LineCounts; ++n) {
        auto* item = new TMenuItem(LinesPopup);
        item->Caption = IntToStr(n) + (n == 1 ? " linea" : " linee");
        item->Tag = n;
        item->OnClick = [this, n](TObject*) { SetLineCount(n); };
        LinesPopup->Items->Add(item);
    }
    auto add = [this](TMenuItem* parent, const char* caption, std::function<void()> fn) {
        auto* item = new TMenuItem(EditPopup);
        item->Caption = caption;
        if (fn) item->OnClick = [fn](TObject*) { fn(); };
        parent->Add(item);
        return item;
    };
    TMenuItem* root = EditPopup->Items;
    ItemCopyData = add(root, "Copia dati", [this] { CopyDataClick(); });
    ItemCopyTo = add(root, "Copia su ...", [this] { CopyToClick(0); });
    ItemCopyToAll = add(root, "Copia su tutti", [this] { CopyToClick(1); });
    ItemUndo = add(root, "&Annulla", [this] { UndoClick(); });
    ItemSeparator = add(root, "-", nullptr);
    ItemCut = add(root, "&Taglia", [this] { CutClick(); });
    ItemCopy = add(root, "&Copia", [this] { CopyClick(); });
    ItemPaste = add(root, "&Incolla", [this] { PasteClick(TPasteKind::Plain); });
    ItemPasteMirrored = add(root, "Incolla &speculare", [this] { PasteClick(TPasteKind::Mirrored); });
    ItemPasteRotated = add(root, "Incolla &ruotato", nullptr);
    add(ItemPasteRotated, "90°", [this] { PasteClick(TPasteKind::Rotated90); });
    add(ItemPasteRotated, "180°", [this] { PasteClick(TPasteKind::Rotated180); });
    add(ItemPasteRotated, "270°", [this] { PasteClick(TPasteKind::Rotated270); });
    ItemDelete = add(root, "&Elimina", [this] { DeleteClick(); });
}

void TDrawWindow::ContextPopup(TPoint at, bool& handled) {
    handled = true;
    if (!grid_ || !Locate(at.x, at.y)) return;
    PopupColumn = MouseInfo.Column;
    PopupRow = MouseInfo.Row;
    PopupCell = MouseInfo.Cell;
    const TPoint screen = ClientToScreen(at);
    auto* head = dynamic_cast<TTesta*>(grid_->CellAt(PopupColumn, PopupRow));
    if (Step() == 1 && head) {
        const int32_t count = head->NumThroughOutputs;
        for (int i = 0; i < LinesPopup->Items->Count(); ++i)
            LinesPopup->Items->Items[i]->Checked = LinesPopup->Items->Items[i]->Tag == count;
        LinesPopup->PopupComponent = this;
        LinesPopup->Popup(screen.x, screen.y);
    } else {
        EditPopup->PopupComponent = this;
        EditPopup->Popup(screen.x, screen.y);
    }
    // The chosen item has run: the same commands from the main menu work on
    // the focused square.
    PopupColumn = PopupRow = -1;
    PopupCell = nullptr;
}

void TDrawWindow::CommandSquare(int32_t& column, int32_t& row, TCella*& cell) const {
    if (grid_ && grid_->Inside(PopupColumn, PopupRow)) {
        column = PopupColumn;
        row = PopupRow;
        cell = StandsAt(PopupCell, column, row) ? PopupCell : nullptr;
        return;
    }
    column = Col;
    row = Row;
    cell = grid_ ? grid_->CellAt(column, row) : nullptr;
}

bool TDrawWindow::BlockUsable() const {
    if (!grid_) return false;
    const TGridRect b = Selection;
    if (b.Left < 0 || b.Top < 0 || b.Right < b.Left || b.Bottom < b.Top) return false;
    if (grid_->Kind == GridNetwork && b.Top == 0) return false;
    if (grid_->Kind == GridHeadEnd && b.Bottom == grid_->Rows - 1) return false;
    return true;
}

bool TDrawWindow::BlockCommandsOffered() const { return BlockUsable() || !SelectedSigns.Empty(); }

TCellRect TDrawWindow::SelectedBlock() const {
    const TGridRect b = Selection;
    return TCellRect{b.Top, b.Left, b.Bottom, b.Right};
}

void TDrawWindow::EditPopupOpening() {
    const bool drawing = Step() == 1;
    if (drawing) HideEditor();
    for (TMenuItem* item : {ItemCopyData, ItemCopyTo, ItemCopyToAll}) item->Visible = !drawing;
    for (TMenuItem* item : {ItemUndo, ItemSeparator, ItemCut, ItemCopy, ItemPaste, ItemPasteMirrored,
                            ItemPasteRotated, ItemDelete})
        item->Visible = drawing;
    ItemUndo->Caption = UndoCaption();
    ItemUndo->Enabled = !UndoEmpty();
    const bool usable = BlockUsable();
    const bool blockCommands = BlockCommandsOffered();
    const bool pastes = blockCommands && usable && !CopyBufferEmpty();
    for (TMenuItem* item : {ItemCut, ItemCopy, ItemDelete}) item->Enabled = blockCommands;
    for (TMenuItem* item : {ItemPaste, ItemPasteMirrored, ItemPasteRotated}) item->Enabled = pastes;
}

void TDrawWindow::SetLineCount(int32_t count) {
    if (!grid_) return;
    int32_t column, row;
    TCella* cell;
    CommandSquare(column, row, cell);
    auto* head = dynamic_cast<TTesta*>(grid_->CellAt(column, row));
    if (!head || head->NumThroughOutputs == count) return;
    head->SetLineCount(count);
    if (head->NumThroughOutputs == count) grid_->SetModified(ModAll);
}

void TDrawWindow::CopyDataClick() {
    int32_t column, row;
    TCella* cell;
    CommandSquare(column, row, cell);
    if (cell) cell->StoreAsLastUsed();
}

void TDrawWindow::CopyToClick(uint8_t flag) {
    int32_t column, row;
    TCella* cell;
    CommandSquare(column, row, cell);
    if (cell) cell->CopyDataToSameKind(flag);
}

// The signs lying in the block leave the selection before the block goes.
void TDrawWindow::UnselectSignsIn(const TCellRect& block) {
    std::vector<TSegnoGrafico*> inside;
    for (TSegnoGrafico* sign : SelectedSigns)
        if (sign->HitTest(block.Top, block.Left, block.Bottom, block.Right)) inside.push_back(sign);
    for (TSegnoGrafico* sign : inside) UnselectSign(sign);
}

// The selected signs go wherever they lie, with the cells and signs of the
// selected block: what the person sees marked is what goes.
void TDrawWindow::DeleteClick() {
    if (!grid_) return;
    const TCellRect block = SelectedBlock();
    const std::vector<TSegnoGrafico*> selected(SelectedSigns.begin(), SelectedSigns.end());
    ClearSignSelection();
    grid_->DeleteRect(block, true, CaptionDelete, selected);
}

void TDrawWindow::KeyDown(WORD& key, TShiftState shift) {
    if (key == VK_DELETE && shift.Empty() && grid_ && Step() == 1 && SignMode == SignIdle) {
        if (BlockCommandsOffered()) DeleteClick();
        key = 0;
        return;
    }
    TDrawGrid::KeyDown(key, shift);
}

// ---- Hints ----

TCella* TDrawWindow::NamedCell(TCella* square, TInfoMousePos& position) {
    position.Input = position.TapOutput = position.ThroughOutput = -1;
    position.PortName = AnsiString();
    if (!square) return nullptr;
    position.Cell = square;
    square->GetPortName(position);
    return position.Cell ? position.Cell : square;
}

void TDrawWindow::UpdateHint() {
    if (HintsSuspended || !grid_) return;
    TCella* square = MouseInfo.Cell;
    TInfoMousePos named = MouseInfo;
    TCella* cell = NamedCell(square, named);
    MouseInfo.Input = named.Input;
    MouseInfo.TapOutput = named.TapOutput;
    MouseInfo.ThroughOutput = named.ThroughOutput;
    MouseInfo.PortName = named.PortName;
    const THintPort port{named.Input, named.TapOutput, named.ThroughOutput};
    if (!HintWindow->Visible) {
        HintDelay->Enabled = false;
        if (cell) {
            RememberHint(square, cell, port);
            HintDelay->Enabled = true;
        }
        return;
    }
    if (cell) {
        // The pieces of one cable name one run: along it the hint stays.
        if (cell == MouseInfo.HintCell && port == hintPort_) return;
        // Another cell or port: the hint of the one left goes, and the new
        // one's shows after the usual delay.
        HideHint();
        RememberHint(square, cell, port);
        HintDelay->Enabled = true;
        return;
    }
    const TRect near(HintWindow->Left - HintReach, HintWindow->Top - HintReach,
                     HintWindow->Left + HintWindow->Width + HintReach,
                     HintWindow->Top + HintWindow->Height + HintReach);
    if (!near.Contains(TPoint(MouseInfo.X, MouseInfo.Y))) HideHint();
}

void TDrawWindow::RememberHint(TCella* square, TCella* named, const THintPort& port) {
    MouseInfo.HintCell = named;
    hintSquareCell_ = square;
    hintPort_ = port;
    hintColumn_ = MouseInfo.Column;
    hintRow_ = MouseInfo.Row;
}

void TDrawWindow::ShowHintWindow() {
    HintDelay->Enabled = false;
    // The cell may have left the grid since the mouse was over it.
    if (!HintsActive || HintsSuspended || !StandsAt(hintSquareCell_, hintColumn_, hintRow_)) return;
    // The report's rows are written for the port the hint remembers, by the
    // cell the square's cell names now (a cable piece: its run's head).
    TInfoMousePos position = MouseInfo;
    TCella* cell = NamedCell(hintSquareCell_, position);
    if (!cell) return;
    position.Input = hintPort_.Input;
    position.TapOutput = hintPort_.TapOutput;
    position.ThroughOutput = hintPort_.ThroughOutput;
    position.Cell = hintSquareCell_;
    HintWindow->Lines->Clear();
    if (!position.PortName.empty()) HintWindow->Lines->Add(position.PortName);
    cell->WriteReport(HintWindow, position);

    // Sized to its text as the hint lays it out (its own line pitch and tab
    // stops), below and right of the pointer, inside the control. A report
    // taller than the control keeps to it and scrolls: the bar shows, and the
    // wheel over the hint moves its lines.
    const int clientW = ClientWidth, clientH = ClientHeight;
    const int lines = std::max(1, HintWindow->LineCount());
    int height = lines * HintWindow->LineHeight() + HintTextMargin;
    const bool scrolls = height > clientH;
    HintWindow->ScrollBars = scrolls ? ssVertical : ssNone;
    HintWindow->TopLine = 0;
    int width = HintWindow->ContentWidth() + HintTextMargin + (scrolls ? HintBarRoom : 0);
    width = std::min(width, std::max(1, clientW));
    height = std::min(height, std::max(1, clientH));
    int x = MouseInfo.X + 12, y = MouseInfo.Y + 16;
    if (x + width > clientW) x = std::max(0, clientW - width);
    if (y + height > clientH) y = std::max(0, clientH - height);
    HintWindow->SetBounds(x, y, width, height);
    int c0, r0, c1, r1;
    MouseToCell(HintWindow->Left, HintWindow->Top, c0, r0);
    MouseToCell(HintWindow->Left + HintWindow->Width - 1, HintWindow->Top + HintWindow->Height - 1, c1, r1);
    if (c0 < 0) c0 = LeftCol;
    if (r0 < 0) r0 = TopRow;
    if (c1 < 0) c1 = std::min(ColCount - 1, LeftCol + VisibleColCount());
    if (r1 < 0) r1 = std::min(RowCount - 1, TopRow + VisibleRowCount());
    HintArea = TRect(c0, r0, c1, r1);
    HintWindow->Visible = true;
    HintWindow->BringToFront();
}

void TDrawWindow::HintWatchTick() {
    if (!HintWindow->Visible) return;
    const TPoint at = ScreenToClient(Screen->CursorPos());
    const bool overHint = HintWindow->BoundsRect().Contains(at);
    const bool overControl = ClientRect().Contains(at);
    if (!overHint && !overControl) HideHint();
}

void TDrawWindow::HideHint() {
    HintDelay->Enabled = false;
    if (!HintWindow->Visible) return;
    HintWindow->Visible = false;
    for (int32_t c = HintArea.Left; c <= HintArea.Right; ++c)
        for (int32_t r = HintArea.Top; r <= HintArea.Bottom; ++r) RepaintCell(c, r);
    HintArea = TRect(0, 0, -1, -1);
}

void TDrawWindow::ScrolledTopLeft() { HideHint(); }

// ---- The grid's undo list and copy buffer ----

AnsiString TDrawWindow::UndoCaption() const { return grid_ ? grid_->UndoList->GetMenuCaption() : "&Annulla"; }
bool TDrawWindow::UndoEmpty() const { return !grid_ || grid_->UndoList->Empty(); }
bool TDrawWindow::CopyBufferEmpty() const {
    return !grid_ || !grid_->CopyBuffer || grid_->CopyBuffer->Empty();
}
void TDrawWindow::UndoClick() {
    if (grid_) grid_->UndoList->Undo();
}
void TDrawWindow::CopyClick() {
    if (grid_) grid_->CopyBuffer->Copy(grid_, SelectedBlock());
}
void TDrawWindow::CutClick() {
    if (!grid_) return;
    CopyClick();
    const TCellRect block = SelectedBlock();
    UnselectSignsIn(block);
    grid_->DeleteRect(block, true, CaptionCut);
}
void TDrawWindow::PasteClick(TPasteKind kind) {
    int32_t column, row;
    TCella* cell;
    CommandSquare(column, row, cell);
    if (!grid_ || !grid_->Inside(column, row)) return;
    Selection = TGridRect{column, row, column, row};
    PasteAt(kind, column, row);
}
void TDrawWindow::PasteAt(TPasteKind kind, int32_t column, int32_t row) {
    if (!grid_ || !grid_->Inside(column, row)) return;
    TBufferCopia& buffer = *grid_->CopyBuffer;
    switch (kind) {
    case TPasteKind::Plain: buffer.Paste(grid_, column, row, true); break;
    case TPasteKind::Mirrored: buffer.PasteMirrored(grid_, column, row, true); break;
    case TPasteKind::Rotated90: buffer.PasteRotated90(grid_, column, row, true); break;
    case TPasteKind::Rotated180: buffer.PasteRotated180(grid_, column, row, true); break;
    case TPasteKind::Rotated270: buffer.PasteRotated270(grid_, column, row, true); break;
    }
}
