#include "dialogs/custom_editor.h"

#include <algorithm>
#include <memory>

#include "cells/anchors.h"
#include "core/control_builders.h"
#include "core/globals.h"
#include "core/options.h"
#include "core/reporter.h"
#include "dialogs/codes_palette.h"
#include "cells/component_data.h"
#include "dialogs/component_palette.h"
#include "document/circuit_errors.h"
#include "document/copy_buffer.h"
#include "platform/application.h"
#include "platform/sysutils.h"
#include "view/draw_window.h"

namespace {

constexpr const char* ParameterError = "Errore nei parametri.";

TPanelLender PanelLender = nullptr;

// Borders of the symbol, as the port records name them.
enum : uint8_t { BorderTop = 0, BorderRight = 1, BorderBottom = 2, BorderLeft = 3 };

// The editor square of a port standing on a border, from its record's square
// in symbol coordinates.
void BorderSquare(const TPuntoPorta& p, uint8_t border, int32_t& column, int32_t& row) {
    switch (border) {
    case BorderTop:
        column = p.Column + 1;
        row = 0;
        break;
    case BorderRight:
        column = p.Column + 2;
        row = p.Row + 1;
        break;
    case BorderBottom:
        column = p.Column + 1;
        row = p.Row + 2;
        break;
    default:
        column = 0;
        row = p.Row + 1;
        break;
    }
}

// An entry stands on the border its side names; an exit's side is the
// border opposite the one it stands on.
uint8_t BorderOf(uint8_t side, bool exit) { return static_cast<uint8_t>(exit ? (side + 2) % 4 : side % 4); }

bool IsAnchorAt(const TCella* cell, int32_t column, int32_t row) {
    return cell && cell->Kind == KindAnchor && cell->Column == column && cell->Row == row;
}

// The border a square of an editor grid lies on, or -1 inside it and in the
// corners, which belong to no border.
int BorderAt(const TGridData& grid, int32_t column, int32_t row) {
    const int32_t lastColumn = grid.Columns - 1, lastRow = grid.Rows - 1;
    const bool innerRow = row >= 1 && row < lastRow;
    const bool innerColumn = column >= 1 && column < lastColumn;
    if (column == 0 && innerRow) return BorderLeft;
    if (column == lastColumn && innerRow) return BorderRight;
    if (row == 0 && innerColumn) return BorderTop;
    if (row == lastRow && innerColumn) return BorderBottom;
    return -1;
}

}  // namespace

// ---------------------------------------------------------------- TCambiaDimensioni

TCambiaDimensioni::TCambiaDimensioni(TComponent* owner) : TForm(owner) {
    Caption = ApplicationTitle;
    BorderStyle = bsDialog;
    Position = poMainFormCenter;
    SetBounds(0, 0, 200, 150);
    LabelColonne = MakeControl<TLabel>(this, this, 16, 20, 60, 16);
    LabelColonne->Caption = "Colonne";
    EColonne = MakeControl<TEdit>(this, this, 88, 16, 81, 21);
    LabelRighe = MakeControl<TLabel>(this, this, 16, 52, 60, 16);
    LabelRighe->Caption = "Righe";
    ERighe = MakeControl<TEdit>(this, this, 88, 48, 81, 21);
    BOk = MakeControl<TButton>(this, this, 16, 84, 75, 25);
    BOk->Caption = "Ok";
    BOk->Default = true;
    BOk->OnClick = Handler(this, &TCambiaDimensioni::BOkClick);
    BAnnulla = MakeControl<TButton>(this, this, 96, 84, 75, 25);
    BAnnulla->Caption = "Annulla";
    BAnnulla->Cancel = true;
    BAnnulla->OnClick = Handler(this, &TCambiaDimensioni::BAnnullaClick);
    // The sizes the caller allows, set before the form shows.
    OnShow = [this](TObject*) {
        EColonne->Holds(TNumberRule::Whole(std::max<int32_t>(1, MinColumns), MaxColumns), "Colonne");
        ERighe->Holds(TNumberRule::Whole(std::max<int32_t>(1, MinRows), MaxRows), "Righe");
    };
}

void TCambiaDimensioni::BOkClick(TObject*) {
    int columns = 0, rows = 0;
    // A text that is no whole number is a wrong parameter like any other.
    const bool read = TryStrToInt(EColonne->Text, columns) && TryStrToInt(ERighe->Text, rows);
    if (read && columns > 0 && columns <= MaxColumns && rows > 0 && rows <= MaxRows &&
        columns >= MinColumns && rows >= MinRows) {
        Columns = columns;
        Rows = rows;
        ModalResult = 1;
        return;
    }
    Application->MessageBox(ParameterError, ApplicationTitle, MB_OK | MB_ICONINFORMATION);
}

void TCambiaDimensioni::BAnnullaClick(TObject*) { ModalResult = 2; }

// ---------------------------------------------------------------- TDatiCellaCustom

void SetPanelLender(TPanelLender lender) { PanelLender = lender; }

TDatiCellaCustom::TDatiCellaCustom(TComponent* owner) : TForm(owner) {
    Caption = AnsiString(ApplicationTitle) + " - Definizione componente personalizzato";
    HorzScrollBar->Visible = false;
    VertScrollBar->Visible = false;
    AutoScroll = false;
    SetBounds(0, 0, 1024, 740);
    WindowState = wsMaximized;

    StatusBar = MakeControl<TStatusBar>(this, this, 0, 0, 400, 21);
    for (int i = 0; i < 3; ++i) StatusBar->Panels->Add();
    StatusBar->Panels->Items[0]->Width = 80;
    BAvanti = MakeControl<TButton>(this, this, 0, 0, 100, 21);
    BAvanti->Caption = NextCaption;
    BAvanti->OnClick = Handler(this, &TDatiCellaCustom::BAvantiClick);
    BAnnulla = MakeControl<TButton>(this, this, 0, 0, 75, 21);
    BAnnulla->Caption = "Annulla";
    BAnnulla->OnClick = Handler(this, &TDatiCellaCustom::BAnnullaClick);
    BOk = MakeControl<TButton>(this, this, 0, 0, 75, 21);
    BOk->Caption = "Ok";
    BOk->OnClick = Handler(this, &TDatiCellaCustom::BOkClick);

    TabControl = MakeControl<TTabControl>(this, this, 0, 0, 400, 300);
    TabControl->OnChange = Handler(this, &TDatiCellaCustom::TabControlChange);
    AddTab(TabStruttura);
    AddTab(TabDisegno);
    TabControl->TabIndex = 0;

    DrawWindow = MakeControl<TDrawWindow>(this, TabControl, 0, 8, 300, 200);
    DrawWindow->GridLineWidth = 0;
    DrawWindow->StatusBar = StatusBar;
    if (Opzioni) {
        DrawWindow->DefaultColWidth = Opzioni->gridWidth;
        DrawWindow->DefaultRowHeight = Opzioni->gridWidth;
    }

    MainMenu = new TMainMenu(this);
    Visualizza1 = new TMenuItem(MainMenu->Items);
    Visualizza1->Caption = "&Visualizza";
    MainMenu->Items->Add(Visualizza1);
    CambiaDimensioni1 = new TMenuItem(Visualizza1);
    CambiaDimensioni1->Caption = "Cambia dimensioni";
    CambiaDimensioni1->OnClick = Handler(this, &TDatiCellaCustom::CambiaDimensioniClick);
    Visualizza1->Add(CambiaDimensioni1);
    Menu = MainMenu;

    SymbolGrid.Step = 1;
    StructureGrid.Step = 1;

    // The main window lends its palette and codes panel; they serve this
    // editor's drawing control until they are given back.
    const TLentPanels lent = PanelLender ? PanelLender() : TLentPanels{};
    if (lent.Palette && lent.CodesPanel) {
        Palette = lent.Palette;
        CodesPanel = lent.CodesPanel;
        codesParent_ = CodesPanel->Parent;
        paletteParent_ = Palette->Parent;
        paletteWindow_ = Palette->DrawWindow;
        codesVisible_ = CodesPanel->Visible;
        paletteVisible_ = Palette->Visible;
        lent_ = true;
        CodesPanel->Parent = TabControl;
        Palette->Parent = TabControl;
        Palette->DrawWindow = DrawWindow;
        DrawWindow->Palette = Palette;
        ShowPanelsByOptions();
    }

    OnShow = Handler(this, &TDatiCellaCustom::FormShow);
    OnResize = Handler(this, &TDatiCellaCustom::FormResize);
    OnClose = Handler(this, &TDatiCellaCustom::FormClose);
}

TDatiCellaCustom::~TDatiCellaCustom() {
    GiveBackPanels();
    DrawWindow->DetachGrid(&SymbolGrid);
    DrawWindow->DetachGrid(&StructureGrid);
}

void TDatiCellaCustom::GiveBackPanels() {
    if (!lent_) return;
    lent_ = false;
    DrawWindow->Palette = nullptr;
    Palette->DrawWindow = paletteWindow_;
    Palette->Parent = paletteParent_;
    CodesPanel->Parent = codesParent_;
    Palette->Visible = paletteVisible_;
    CodesPanel->Visible = codesVisible_;
    // The palette offers again the tools of the page the main window shows.
    if (paletteWindow_ && paletteWindow_->Grid())
        Palette->ShowMode(paletteWindow_->Grid()->Kind == GridNetwork ? 1 : 0);
}

void TDatiCellaCustom::ShowPanelsByOptions() {
    if (!lent_) return;
    Palette->Visible = Opzioni && Opzioni->showToolbar;
    CodesPanel->Visible = Opzioni && Opzioni->showCodesPanel;
}

// ---------------------------------------------------------------- grids in and out

void TDatiCellaCustom::LoadDrawing(TGridData& symbol, const std::vector<TPuntoPorta>& entries,
                                   const std::vector<TPuntoPorta>& exits, int32_t inputs, int32_t outputs) {
    DrawWindow->ClearSignSelection();
    SymbolGrid.Clear();
    SymbolGrid.Resize(symbol.Columns + 2, symbol.Rows + 2);
    TBufferCopia buffer;
    buffer.Copy(&symbol, symbol.GetFullArea());
    buffer.Paste(&SymbolGrid, 1, 1, false);
    auto place = [this](const std::vector<TPuntoPorta>& table, int32_t count, bool exit) {
        for (int32_t i = 0; i < count && i < static_cast<int32_t>(table.size()); ++i) {
            const TPuntoPorta& p = table[static_cast<size_t>(i)];
            int32_t column = 0, row = 0;
            BorderSquare(p, BorderOf(p.Side, exit), column, row);
            std::unique_ptr<TCella> anchor;
            if (exit)
                anchor = std::make_unique<TAncoraO>(&SymbolGrid, p.Side, 0, column, row);
            else
                anchor = std::make_unique<TAncoraI>(&SymbolGrid, p.Side, 0, column, row);
            anchor->Code = IntToStr(i + 1);
            SymbolGrid.InsertCell(std::move(anchor), false, 0);
        }
    };
    place(entries, inputs, false);
    place(exits, outputs, true);
    if (DrawWindow->Grid() == &SymbolGrid) DrawWindow->SetGrid(&SymbolGrid);
}

void TDatiCellaCustom::LoadStructure(TGridData& structure) {
    DrawWindow->ClearSignSelection();
    const int32_t step = StructureGrid.Step;
    structure.CopyTo(StructureGrid);
    StructureGrid.Step = step;
    if (DrawWindow->Grid() == &StructureGrid) DrawWindow->SetGrid(&StructureGrid);
}

void TDatiCellaCustom::StoreDrawing(TGridData& symbol, std::vector<TPuntoPorta>& entries,
                                    std::vector<TPuntoPorta>& exits) {
    const int32_t columns = SymbolColumns(), rows = SymbolRows();
    symbol.Clear();
    symbol.Resize(columns, rows);
    TBufferCopia buffer;
    buffer.Copy(&SymbolGrid, TCellRect{1, 1, rows, columns});
    buffer.Paste(&symbol, 0, 0, false);
    for (int32_t c = 0; c < SymbolGrid.Columns; ++c)
        for (int32_t r = 0; r < SymbolGrid.Rows; ++r) {
            TCella* cell = SymbolGrid.CellAt(c, r);
            if (!IsAnchorAt(cell, c, r)) continue;
            const int border = BorderAt(SymbolGrid, c, r);
            const bool exit = cell->TypeCode == CodeExitAnchor;
            std::vector<TPuntoPorta>& table = exit ? exits : entries;
            const int32_t n = AnchorNumber(*cell);
            if (border < 0 || n < 1 || n > static_cast<int32_t>(table.size())) continue;
            TPuntoPorta p;
            switch (border) {
            case BorderLeft: p = {0, r - 1, BorderLeft}; break;
            case BorderRight: p = {c - 2, r - 1, BorderRight}; break;
            case BorderTop: p = {c - 1, 0, BorderTop}; break;
            default: p = {c - 1, r - 2, BorderBottom}; break;
            }
            p.Side = BorderOf(static_cast<uint8_t>(border), exit);
            table[static_cast<size_t>(n - 1)] = p;
        }
}

void TDatiCellaCustom::StoreStructure(TGridData& structure) { StructureGrid.CopyTo(structure); }

// ---------------------------------------------------------------- symbol size

void TDatiCellaCustom::MinimumSymbolSize(int32_t& columns, int32_t& rows) const {
    columns = 1;
    rows = 1;
    for (int32_t c = 0; c < SymbolGrid.Columns; ++c)
        for (int32_t r = 0; r < SymbolGrid.Rows; ++r) {
            const TCella* cell = SymbolGrid.CellAt(c, r);
            const bool drawn = (cell && cell->Kind != KindAnchor) || !SymbolGrid.SignsAt(c, r).empty();
            const int border = BorderAt(SymbolGrid, c, r);
            const bool inside = c > 0 && r > 0 && c < SymbolGrid.Columns - 1 && r < SymbolGrid.Rows - 1;
            if (drawn && inside) {
                columns = std::max(columns, c);
                rows = std::max(rows, r);
            }
            if (!cell || cell->Kind != KindAnchor || border < 0) continue;
            if (border == BorderTop || border == BorderBottom)
                columns = std::max(columns, c);
            else
                rows = std::max(rows, r);
        }
}

bool TDatiCellaCustom::ResizeSymbol(int32_t columns, int32_t rows) {
    int32_t minColumns = 1, minRows = 1;
    MinimumSymbolSize(minColumns, minRows);
    if (columns < minColumns || rows < minRows || columns > CustomEditorGridSize ||
        rows > CustomEditorGridSize)
        return false;
    if (columns == SymbolColumns() && rows == SymbolRows()) return true;
    // The anchors of the right and bottom borders leave the grid while it
    // changes size and come back on the new border.
    struct TMoved {
        std::unique_ptr<TCella> anchor;
        int border;
    };
    std::vector<TMoved> moved;
    for (int32_t c = 0; c < SymbolGrid.Columns; ++c)
        for (int32_t r = 0; r < SymbolGrid.Rows; ++r) {
            TCella* cell = SymbolGrid.CellAt(c, r);
            const int border = BorderAt(SymbolGrid, c, r);
            if (!IsAnchorAt(cell, c, r) || (border != BorderRight && border != BorderBottom)) continue;
            moved.push_back({SymbolGrid.TakeOutCell(cell), border});
        }
    DrawWindow->ClearSignSelection();
    const bool resized = SymbolGrid.Resize(columns + 2, rows + 2);
    for (TMoved& m : moved) {
        if (!m.anchor) continue;
        if (resized) {
            if (m.border == BorderRight)
                m.anchor->Column = SymbolGrid.Columns - 1;
            else
                m.anchor->Row = SymbolGrid.Rows - 1;
        }
        SymbolGrid.InsertCell(std::move(m.anchor), false, 0);
    }
    if (DrawWindow->Grid() == &SymbolGrid) DrawWindow->SetGrid(&SymbolGrid);
    return resized;
}

// ---------------------------------------------------------------- tabs and layout

void TDatiCellaCustom::AddTab(const AnsiString& name) {
    TStringList& tabs = *TabControl->Tabs;
    if (tabs.IndexOf(name) >= 0) return;
    // "Struttura" stands before "Disegno".
    if (name == TabStruttura)
        tabs.Insert(0, name);
    else
        tabs.Add(name);
}

void TDatiCellaCustom::SelectTab(const AnsiString& name) {
    const int index = TabControl->Tabs->IndexOf(name);
    if (index < 0) return;
    TabControl->TabIndex = index;
    ShowCurrentTab();
}

void TDatiCellaCustom::ShowCurrentTab() {
    DrawWindow->HideEditor();
    DrawWindow->ClearSignSelection();
    const int index = TabControl->TabIndex;
    const bool structure = index >= 0 && TabControl->Tabs->Strings(index) == TabStruttura;
    DrawWindow->SetGrid(structure ? &StructureGrid : &SymbolGrid);
    if (Palette) Palette->ShowMode(structure ? 3 : 2);
    ArrangeLayout();
}

void TDatiCellaCustom::ArrangeLayout() {
    const int width = ClientWidth;
    const int height = ClientHeight;
    const int barHeight = StatusBar->Height;
    const int barTop = height - barHeight;
    StatusBar->SetBounds(0, barTop, width, barHeight);
    const int buttons = BAvanti->Width + BAnnulla->Width + BOk->Width + 4;
    StatusBar->Panels->Items[0]->Width = 80;
    StatusBar->Panels->Items[1]->Width = std::max(0, width - buttons - 82);
    TabControl->SetBounds(0, 0, width, barTop + 2);
    BAvanti->SetBounds(width - BAvanti->Width, barTop + 2, BAvanti->Width, barHeight);
    BAnnulla->SetBounds(BAvanti->Left - 2 - BAnnulla->Width, barTop + 2, BAnnulla->Width, barHeight);
    BOk->SetBounds(BAnnulla->Left - 2 - BOk->Width, barTop + 2, BOk->Width, barHeight);

    const TRect display = TabControl->DisplayRect();
    const bool paletteShown = Palette && Palette->Visible;
    const bool codesShown = CodesPanel && CodesPanel->Visible;
    const int paletteRoom = paletteShown ? Palette->Height + 8 : 0;
    const int codesRoom = codesShown ? CodesPanel->Width : 0;
    const int square = std::max(1, DrawWindow->DefaultColWidth + DrawWindow->GridLineWidth);
    const int frameX = DrawWindow->Width - DrawWindow->ClientWidth;
    const int frameY = DrawWindow->Height - DrawWindow->ClientHeight;
    const int roomWidth = std::max(0, display.Width() - codesRoom);
    const int roomHeight = std::max(0, display.Height() - paletteRoom);
    int clientWidth = std::max(0, roomWidth - frameX);
    int clientHeight = std::max(0, roomHeight - frameY);
    clientWidth -= clientWidth % square;
    clientHeight -= clientHeight % square;
    clientWidth = std::min(clientWidth, DrawWindow->ColCount * square);
    const bool allRows = clientHeight >= DrawWindow->RowCount * square;
    if (allRows) clientHeight = DrawWindow->RowCount * square;
    const int windowWidth = clientWidth + frameX, windowHeight = clientHeight + frameY;
    const int left = display.Left + codesRoom + (roomWidth - windowWidth) / 2;
    const int top = display.Top + paletteRoom + (roomHeight - windowHeight) / 2;
    DrawWindow->SetBounds(left, top, windowWidth, windowHeight);
    if (Palette) Palette->SetBounds(display.Left, display.Top, display.Width(), Palette->Height);
    // Beside a control that shows every row the codes panel takes the whole
    // height below the palette; otherwise the control's.
    if (CodesPanel) {
        if (allRows)
            CodesPanel->SetBounds(display.Left, display.Top + paletteRoom, CodesPanel->Width, roomHeight);
        else
            CodesPanel->SetBounds(display.Left, top, CodesPanel->Width, windowHeight);
    }
}

// ---------------------------------------------------------------- analysis errors

void TDatiCellaCustom::CheckStructure(int32_t column, int32_t row, TGridData* grid, int32_t code) {
    if (grid != &StructureGrid) return;
    SelectTab(TabStruttura);
    if (grid->Inside(column, row)) {
        grid->SetErrorMark(column, row, 1);
        const int visibleColumns = DrawWindow->VisibleColCount();
        const int visibleRows = DrawWindow->VisibleRowCount();
        if (column < DrawWindow->LeftCol || column >= DrawWindow->LeftCol + visibleColumns)
            DrawWindow->LeftCol =
                std::max(0, std::min(column - visibleColumns / 2, grid->Columns - visibleColumns));
        if (row < DrawWindow->TopRow || row >= DrawWindow->TopRow + visibleRows)
            DrawWindow->TopRow = std::max(0, std::min(row - visibleRows / 2, grid->Rows - visibleRows));
        DrawWindow->RepaintCell(column, row);
    }
    const AnsiString message = CircuitErrorMessage(code);
    if (!message.empty()) Application->MessageBox(message, ApplicationTitle, MB_OK | MB_ICONEXCLAMATION);
}

// ---------------------------------------------------------------- events

void TDatiCellaCustom::FormShow(TObject*) { SelectTab(TabStruttura); }

void TDatiCellaCustom::FormResize(TObject*) {
    DrawWindow->BeginUpdate();
    ArrangeLayout();
    DrawWindow->EndUpdate();
}

void TDatiCellaCustom::FormClose(TObject*, TCloseAction&) { GiveBackPanels(); }

void TDatiCellaCustom::TabControlChange(TObject*) { ShowCurrentTab(); }

void TDatiCellaCustom::SetStep(int32_t step) {
    StructureGrid.Step = step;
    SymbolGrid.Step = step;
}

void TDatiCellaCustom::BAvantiClick(TObject*) {
    TGridOptions options = DrawWindow->Options;
    if (Step() == 1) {
        if (!StructureGrid.Analyse(true)) {
            if (GestoreErrori && GestoreErrori->PendingError()) {
                const TErroreCircuito e = *GestoreErrori->PendingError();
                CheckStructure(e.Column, e.Row, GridOf(e.Grid), e.Kind);
            }
            return;
        }
        TContatoriCategoria counters{};
        StructureGrid.NumberCells(counters, true);
        BAvanti->Caption = BackCaption;
        SetStep(2);
        const TGridRect sel = DrawWindow->Selection;
        DrawWindow->Selection = TGridRect{sel.Left, sel.Top, sel.Left, sel.Top};
        if (Palette) Palette->Visible = false;
        if (CodesPanel) CodesPanel->Visible = false;
        options << goRangeSelect;
    } else {
        BAvanti->Caption = NextCaption;
        SetStep(1);
        // Range selection stays off while a tool is chosen: a press places.
        if (Palette && Palette->CurrentTool() != ToolArrow)
            options >> goRangeSelect;
        else
            options << goRangeSelect;
        ShowPanelsByOptions();
    }
    DrawWindow->Options = options;
    ArrangeLayout();
    DrawWindow->Invalidate();
}

void TDatiCellaCustom::BOkClick(TObject*) { ModalResult = 1; }

void TDatiCellaCustom::BAnnullaClick(TObject*) { ModalResult = 2; }

void TDatiCellaCustom::CambiaDimensioniClick(TObject*) {
    TCambiaDimensioni dialog(this);
    dialog.MaxColumns = CustomEditorGridSize;
    dialog.MaxRows = CustomEditorGridSize;
    dialog.Columns = SymbolColumns();
    dialog.Rows = SymbolRows();
    MinimumSymbolSize(dialog.MinColumns, dialog.MinRows);
    if (dialog.ShowModal() != 1) return;
    if (dialog.Columns == SymbolColumns() && dialog.Rows == SymbolRows()) return;
    ResizeSymbol(dialog.Columns, dialog.Rows);
    SelectTab(TabDisegno);
}

// ---------------------------------------------------------------- the data dialog's "Struttura"

void EditCustomCellStructure(TCella& edited) {
    auto* cell = dynamic_cast<TCellaCustom*>(&edited);
    if (!cell) return;
    // The cells edited inside the editor open a data dialog of their own:
    // this one stays as it is under the editor.
    struct TKeep {
        TDatiComponenti* kept = DatiComponenti;
        ~TKeep() { DatiComponenti = kept; }
    } keep;
    auto fresh = std::make_unique<TDatiComponenti>(nullptr);
    DatiComponenti = fresh.get();
    TDatiCellaCustom editor(nullptr);
    editor.LoadDrawing(GridOf(cell->Drawing), cell->InputPoints, cell->OutputPoints, cell->NumInputs,
                       cell->NumOutputs);
    editor.LoadStructure(GridOf(cell->Structure));
    if (editor.ShowModal() != 1) return;
    editor.StoreDrawing(GridOf(cell->Drawing), cell->InputPoints, cell->OutputPoints);
    editor.StoreStructure(GridOf(cell->Structure));
    // The footprint is the symbol's size.
    cell->FootprintColumns = cell->Drawing->Columns;
    cell->FootprintRows = cell->Drawing->Rows;
    cell->MapAnchors();
}
