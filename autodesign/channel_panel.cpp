#include "autodesign/channel_panel.h"

#include <memory>
#include <string>

#include "cells/cell.h"
#include "cells/library_cells.h"
#include "cells/sources.h"
#include "core/channel_plans.h"
#include "core/globals.h"
#include "core/levels.h"
#include "core/libraries.h"
#include "document/design_settings.h"

namespace {

// A channel a library antenna brings without a level is received at this level.
constexpr float LibraryChannelLevel = 70.0f;
constexpr int ListColumnWidths[4] = {40, 32, 135, 60};
const char* const ListHeadings[4] = {"Canale", "A/D", "Descrizione", "Segnale"};
enum : int { ListKindColumn = 1 };

// Whether a plan row reaches outside the antenna's frequency range.
bool OutOfRange(const TAntennaAutoProg& a, const TDatiCanalizzazione& row) {
    return (IsRealLevel(a.FMin) && row.lowEdge < a.FMin) || (IsRealLevel(a.FMax) && row.highEdge > a.FMax);
}

// The plan row a channel grid cell shows, or -1 for a cell beyond the plan.
int PlanRowOf(const TAntennaAutoProg& a, int col, int row) {
    if (col < 0 || row < 0 || col >= ChannelGridColumns || row >= ChannelGridRows) return -1;
    const int i = row * ChannelGridColumns + col;
    return a.Plan && i < a.Plan->Count() ? i : -1;
}

}  // namespace

TPannelloCanaliTer::TPannelloCanaliTer(TComponent* owner) : TGroupBox(owner) {
    Width = 777;
    Height = 154;
    Font->Height = -11;
    Font->Style = TFontStyles{fsBold};

    LabelPlan = MakeControl<TLabel>(this, this, 8, 20, 90, 13);
    LabelPlan->Caption = "Canalizzazione";
    Plan = MakeControl<TComboBox>(this, this, 104, 16, 145, 21);
    Plan->OnEnter = Handler(this, &TPannelloCanaliTer::PlanEnter);
    Plan->OnChange = Handler(this, &TPannelloCanaliTer::PlanChange);

    LabelAntenna = MakeControl<TLabel>(this, this, 264, 20, 50, 13);
    LabelAntenna->Caption = "Antenna";
    Library = MakeControl<TComboBox>(this, this, 320, 16, 145, 21);
    Library->Sorted = true;
    Library->OnEnter = Handler(this, &TPannelloCanaliTer::LibraryEnter);
    Library->OnChange = Handler(this, &TPannelloCanaliTer::LibraryChange);
    Code = MakeControl<TComboBox>(this, this, 472, 16, 145, 21);
    Code->Sorted = true;
    Code->OnEnter = Handler(this, &TPannelloCanaliTer::CodeEnter);
    Code->OnChange = Handler(this, &TPannelloCanaliTer::CodeChange);

    Delete = MakeControl<TButton>(this, this, 632, 18, 75, 17);
    Delete->Caption = "Cancella";
    Delete->OnClick = Handler(this, &TPannelloCanaliTer::DeleteClick);

    ChannelGrid = MakeControl<TDrawGrid>(this, this, 8, 48, 463, 98);
    ChannelGrid->ColCount = ChannelGridColumns;
    ChannelGrid->RowCount = ChannelGridRows;
    ChannelGrid->FixedCols = 0;
    ChannelGrid->FixedRows = 0;
    ChannelGrid->DefaultColWidth = 22;
    ChannelGrid->DefaultRowHeight = 18;
    ChannelGrid->ScrollBars = ssNone;
    ChannelGrid->OnDrawCell = Handler(this, &TPannelloCanaliTer::ChannelDrawCell);
    ChannelGrid->OnSelectCell = Handler(this, &TPannelloCanaliTer::ChannelSelectCell);
    ChannelGrid->OnMouseDown = Handler(this, &TPannelloCanaliTer::ChannelMouseDown);

    ListGrid = MakeControl<TStringGrid>(this, this, 481, 47, 290, 99);
    ListGrid->ColCount = 4;
    ListGrid->RowCount = 2;
    ListGrid->FixedCols = 0;
    ListGrid->FixedRows = 1;
    ListGrid->DefaultRowHeight = 18;
    for (int c = 0; c < 4; ++c) {
        ListGrid->ColWidths[c] = ListColumnWidths[c];
        ListGrid->Cells[c][0] = ListHeadings[c];
    }
    ListGrid->Options = ListGrid->Options.Get() + TGridOptions{goEditing};
    ListGrid->Col = 1;  // the first cell that can be edited
    // The level the antenna gives a channel, in dBµV to a tenth as the cell
    // shows it (empty: none); the other columns are texts.
    for (int c = 0; c < 4; ++c) ListGrid->ColumnHolds(c, TNumberRule::Text());
    ListGrid->ColumnHolds(3, TNumberRule::Decimal(0, 150, 1, "dBµV").OrEmpty());
    ListGrid->OnSelectCell = Handler(this, &TPannelloCanaliTer::ListSelectCell);
    ListGrid->OnSetEditText = Handler(this, &TPannelloCanaliTer::ListSetEditText);

    Caption = "Antenna 1 ";
}

TOpzProgetto& TPannelloCanaliTer::Opz() const { return Settings ? *Settings : DesignSettings(); }

TAntennaAutoProg& TPannelloCanaliTer::Antenna() const {
    const int i = Index < 0 ? 0 : Index >= AntennaSlots ? AntennaSlots - 1 : Index;
    return Opz().Antennas[static_cast<size_t>(i)];
}

void TPannelloCanaliTer::Edited() { Opz().DesignRequested = true; }

void TPannelloCanaliTer::Refresh() {
    const TAntennaAutoProg& a = Antenna();
    Plan->Text = a.Plan ? a.Plan->name : AnsiString();
    Library->Text = a.Library.empty() && Library->Items->Count() == 1 ? (*Library->Items)[0] : a.Library;
    Code->Text = a.Code;
    ChannelGrid->Invalidate();
    a.FillChannelGrid(*ListGrid);
    Caption = "Antenna " + std::to_string(Index + 1) + " ";
    if (Next) Next->Refresh();
}

void TPannelloCanaliTer::PlanEnter(TObject*) { FillChannelPlanNames(*Plan->Items, true, false); }

void TPannelloCanaliTer::PlanChange(TObject*) {
    TAntennaAutoProg& a = Antenna();
    TCanalizzazione* plan = Canalizzazioni ? Canalizzazioni->Find(Plan->Text) : nullptr;
    if (!plan) {
        Plan->Text = a.Plan ? a.Plan->name : AnsiString();
        return;
    }
    // The plan shown again (a combo that takes back its text when it loses
    // the focus) keeps the channels.
    if (plan == a.Plan) return;
    Edited();
    a.Plan = plan;
    a.ClearChannels();
    ChannelGrid->Invalidate();
    a.FillChannelGrid(*ListGrid);
}

void TPannelloCanaliTer::LibraryEnter(TObject*) {
    Library->Items->Clear();
    if (Librerie) Librerie->ListNames(*Library->Items);
    if (Library->Text.Get().empty() && Library->Items->Count() == 1) Library->ItemIndex = 0;
}

void TPannelloCanaliTer::LibraryChange(TObject* Sender) {
    if (Library->Text.Get() == Antenna().Library) return;
    Code->Text = AnsiString();
    CodeChange(Sender);
}

void TPannelloCanaliTer::CodeEnter(TObject*) {
    TLibreria* library = Librerie ? Librerie->Find(Library->Text) : nullptr;
    if (!library || !library->Open(false)) return;
    library->Query(*Code->Items, "", CodeAntenna, 0, 0, 0, lqCodesOfType);
    library->Close();
}

void TPannelloCanaliTer::CodeChange(TObject*) {
    // The antenna's own article again: its channels, perhaps edited, stay.
    if (Library->Text.Get() == Antenna().Library && Code->Text.Get() == Antenna().Code) return;
    Edited();
    TLibreria* library = Librerie ? Librerie->Find(Library->Text) : nullptr;
    if (!library) return;
    TAntennaAutoProg& a = Antenna();
    const bool wasOpen = library->IsOpen();
    std::unique_ptr<TCella> cell = library->Open(false) ? ReadLibraryCell(*library, Code->Text) : nullptr;
    if (cell) {
        a.FMin = cell->Attenuation->Get3(0, AntennaRangeColumn, AntennaLowestSlot);
        a.FMax = cell->Attenuation->Get3(0, AntennaRangeColumn, AntennaHighestSlot);
        if (cell->SourceChannels && cell->SourceChannels->head) {
            TListaCanali::AddAll(*cell->SourceChannels, a.Channels);
            a.OtherChannels.clear();
            std::fill(std::begin(a.Received), std::end(a.Received), false);
            for (TCanale* c = a.Channels.head; c; c = c->next) {
                if (c->levelMin < 0.0f) c->levelMin = c->levelMax = LibraryChannelLevel;
                // A channel whose name the plan lacks stays in the list unmarked.
                if (a.Plan) a.SetReceived(a.Plan->IndexOf(c->name), true);
            }
            a.FillChannelGrid(*ListGrid);
        }
    } else {
        a.FMin = a.FMax = LevelNone;
    }
    if (!wasOpen) library->Close();
    ChannelGrid->Invalidate();
    a.Library = Library->Text;
    a.Code = Code->Text;
}

void TPannelloCanaliTer::DeleteClick(TObject*) {
    TOpzProgetto& opz = Opz();
    for (int i = Index; i >= 0 && i < AntennaSlots - 1; ++i)
        opz.Antennas[static_cast<size_t>(i + 1)].Assign(opz.Antennas[static_cast<size_t>(i)]);
    opz.Antennas[AntennaSlots - 1].Reset();
    Refresh();
    Edited();
}

void TPannelloCanaliTer::ChannelDrawCell(TObject*, int ACol, int ARow, TRect Rect, TGridDrawState) {
    const TAntennaAutoProg& a = Antenna();
    TCanvas& c = *ChannelGrid->Canvas;
    const int i = PlanRowOf(a, ACol, ARow);
    TColor colour = ChannelCellNoRow;
    if (i >= 0) {
        const bool out = OutOfRange(a, a.Plan->Row(i));
        colour = a.Received[i] ? (out ? ChannelCellReceivedOutOfRange : ChannelCellReceived)
                               : (out ? ChannelCellFreeOutOfRange : ChannelCellFree);
    }
    c.Brush->Color = colour;
    c.Brush->Style = bsSolid;
    c.FillRect(Rect);
    c.Pen->Color = clBlack;
    c.Pen->Width = 1;
    c.Pen->Style = psSolid;
    c.Pen->Mode = pmCopy;
    c.MoveTo(Rect.Right - 1, Rect.Top);
    c.LineTo(Rect.Right - 1, Rect.Bottom - 1);
    c.LineTo(Rect.Left - 1, Rect.Bottom - 1);
    if (i < 0) return;
    c.Font->Name = "Arial";
    c.Font->Height = -11;
    c.Font->Style = TFontStyles{};
    c.Font->Color = clBlack;
    c.Brush->Style = bsClear;
    const AnsiString& name = a.Plan->Row(i).channelName;
    c.TextOut(Rect.Left + (Rect.Width() - c.TextWidth(name) - 1) / 2, Rect.Top + 1, name);
}

void TPannelloCanaliTer::ChannelSelectCell(TObject*, int, int, bool& CanSelect) { CanSelect = false; }

void TPannelloCanaliTer::ChannelMouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
    TAntennaAutoProg& a = Antenna();
    int col = -1, row = -1;
    ChannelGrid->MouseToCell(X, Y, col, row);
    const int i = PlanRowOf(a, col, row);
    if (i < 0) return;
    Edited();
    if (!a.Received[i]) {
        a.AddPlanChannel(i, AnsiString(), Opz().APDefaultSigCan, a.Plan->Row(i).signalType);
    } else {
        a.Channels.RemoveByName(a.Plan->Row(i).channelName);
        a.SetReceived(i, false);
    }
    a.FillChannelGrid(*ListGrid);
    ChannelGrid->Invalidate();
}

void TPannelloCanaliTer::ListSelectCell(TObject*, int ACol, int ARow, bool& CanSelect) {
    CanSelect = ACol >= 1 && ARow >= 1;
}

void TPannelloCanaliTer::ListSetEditText(TObject*, int ACol, int ARow, const AnsiString& Value) {
    // A level the column does not take is refused on leaving the cell.
    if (!ListGrid->CellRule(ACol, ARow).Accepts(Value)) return;
    if (ACol == ListKindColumn && !Value.empty())
        ListGrid->Cells[ACol][ARow] = Value[0] == 'd' || Value[0] == 'D' ? "D" : "A";
    Edited();
    Antenna().ReadChannelGrid(*ListGrid);
}
