// The two channel grids of the component-data form and the plan combos of
// its channel rows: the eight-column grid shows and rebuilds a satellite
// module's channel list, the five-column grid holds an antenna's received
// channels (its cell fills and reads it); both are edited through lists laid
// over their cells.
#include <algorithm>

#include "core/band_systems.h"
#include "core/channel_plans.h"
#include "core/channels.h"
#include "core/globals.h"
#include "cells/combo_string_grid.h"
#include "cells/component_data.h"

namespace {

constexpr const char* NoPlan = "(Nessuna)";
constexpr const char* GridFormat = "##0.##";
constexpr const char* DefaultTerrestrialPlan = "Europa";

// Columns of the eight-column grid.
enum : int {
    G8Plan = 0,
    G8Channel = 1,
    G8Low = 2,
    G8High = 3,
    G8Signal = 4,
    G8Label = 5,
    G8Level = 6,
    G8CN = 7
};
constexpr int G8Columns = 8;
const char* const G8Headers[G8Columns] = {"Canalizzazione", "Canale",  "Freq. Min", "Freq. Max", "A/D",
                                          "Descrizione",    "Segnale", "C/N"};
constexpr int G8Widths[G8Columns] = {90, 50, 60, 60, 30, 135, 52, 52};
// Columns of the five-column grid.
enum : int { G5Plan = 0, G5Channel = 1, G5Signal = 2 };
constexpr int G5Columns = 5;
const char* const G5Headers[G5Columns] = {"Canalizzazione", "Canale", "A/D", "Descrizione", "Segnale"};
constexpr int G5Widths[G5Columns] = {80, 40, 30, 125, 50};
// Every channel of a plan lies in this range.
constexpr float AllFrequencies = 100000.0f;
constexpr int ChannelNameChars = ChannelNameSize - 1;
constexpr int ChannelLabelChars = ChannelLabelSize - 1;

AnsiString Cut(const AnsiString& text, int chars) {
    return static_cast<int>(text.size()) > chars ? text.substr(0, static_cast<size_t>(chars)) : text;
}

TCanalizzazione* PlanNamed(const AnsiString& name) {
    return Canalizzazioni && name != NoPlan ? Canalizzazioni->Find(name) : nullptr;
}

// The "A/D" letter of a channel's signal type.
const char* SignalLetter(int signalType) { return signalType == SignalDigital ? "D" : "A"; }

// The plan row of the channel just chosen in a grid's channel list: the plan
// is the one named in planCol of the row being edited; none when the text
// names no channel of it.
const TDatiCanalizzazione* ChosenChannel(TComboStringGrid* grid, int planCol, int row) {
    const TCanalizzazione* plan = PlanNamed(grid->Cell(planCol, row));
    const int k = plan ? plan->IndexOf(grid->Combo->Text) : -1;
    return k >= 0 ? &plan->Row(k) : nullptr;
}

// "D" or "A" for what is typed into an "A/D" cell; empty stays empty.
AnsiString SignalKind(const AnsiString& typed) {
    if (typed.empty()) return typed;
    return typed[0] == 'd' || typed[0] == 'D' ? "D" : "A";
}

AnsiString RowName(int row) { return "Riga " + IntToStr(row) + ": "; }

// Why a typed plan name is refused ("" when it names a plan of the kind).
AnsiString PlanRefusal(int row, const AnsiString& text, bool terrestrial) {
    // A satellite channel may stand on its own edges, under no plan; a
    // terrestrial one is read back from its plan only.
    if (text.empty() || (!terrestrial && text == NoPlan)) return "";
    // Exactly as the rows are read back: by the plan's own name.
    if (const TCanalizzazione* plan = PlanNamed(text); plan && (terrestrial ? plan->terrestrial : plan->satellite))
        return "";
    return RowName(row) + "la canalizzazione \"" + text + "\" non è tra le canalizzazioni " +
           (terrestrial ? "terrestri" : "satellitari") + ". Resta il valore precedente.";
}

// Why a typed channel is refused: a row with a plan takes only the plan's
// channels; a row of no plan names its own.
AnsiString ChannelRefusal(int row, const AnsiString& text, const AnsiString& planName) {
    const TCanalizzazione* plan = PlanNamed(planName);
    if (text.empty() || !plan || plan->IndexOf(text) >= 0) return "";
    return RowName(row) + "il canale \"" + text + "\" non è nella canalizzazione \"" + planName +
           "\". Resta il valore precedente.";
}

void SetUpGrid(TComboStringGrid* grid, int columns, const char* const* headers, const int* widths) {
    grid->ColCount = columns;
    grid->FixedCols = 0;
    grid->FixedRows = 1;
    grid->RowCount = 2;
    grid->Font->Name = "Arial";
    grid->Font->Height = -11;
    for (int c = 0; c < columns; ++c) {
        grid->ColWidths[c] = widths[c];
        grid->SetCell(c, 0, headers[c]);
    }
}

}  // namespace

void TDatiComponenti::BuildChannelGrids() {
    SetUpGrid(GridCanali8, G8Columns, G8Headers, G8Widths);
    SetUpGrid(GridCanali5, G5Columns, G5Headers, G5Widths);
    // What the cells hold: plan, channel, kind and description are texts
    // (plan and channel are checked against the plans); frequencies, signal
    // and C/N are numbers, and an empty one is no value.
    for (int c : {G8Plan, G8Channel, G8Signal, G8Label}) GridCanali8->ColumnHolds(c, TNumberRule::Text());
    GridCanali8->ColumnHolds(G8Low, FrequencyRule());
    GridCanali8->ColumnHolds(G8High, FrequencyRule());
    GridCanali8->ColumnHolds(G8Level, SignalLevelRule());
    GridCanali8->ColumnHolds(G8CN, CarrierToNoiseRule());
    for (int c = 0; c < G5Columns - 1; ++c) GridCanali5->ColumnHolds(c, TNumberRule::Text());
    GridCanali5->ColumnHolds(G5Columns - 1, SignalLevelRule());
    GridCanali8->OnSelectCell = [this](TObject*, int col, int row, bool& can) {
        Grid8SelectCell(col, row, can);
    };
    GridCanali8->OnSetEditText = [this](TObject*, int col, int row, const AnsiString& value) {
        Grid8SetEditText(col, row, value);
    };
    GridCanali8->Combo->OnChange = [this](TObject*) { Grid8ComboChange(); };
    GridCanali8->OnCheckText = [this](int col, int row, const AnsiString& text) -> AnsiString {
        if (col == G8Plan) return PlanRefusal(row, text, false);
        if (col == G8Channel) return ChannelRefusal(row, text, GridCanali8->Cell(G8Plan, row));
        return "";
    };
    GridCanali5->OnSelectCell = [this](TObject*, int col, int row, bool& can) {
        Grid5SelectCell(col, row, can);
    };
    GridCanali5->OnSetEditText = [this](TObject*, int col, int row, const AnsiString& value) {
        Grid5SetEditText(col, row, value);
    };
    GridCanali5->Combo->OnChange = [this](TObject*) { Grid5ComboChange(); };
    GridCanali5->OnCheckText = [this](int col, int row, const AnsiString& text) -> AnsiString {
        if (col == G5Plan) return PlanRefusal(row, text, true);
        if (col == G5Channel) return ChannelRefusal(row, text, GridCanali5->Cell(G5Plan, row));
        return "";
    };
}

// ---------------------------------------------------------------- plans and channels

void TDatiComponenti::FillChannelCombo(TComboBox* combo, const TCanalizzazione* plan) {
    combo->Items->Clear();
    if (!plan) return;
    for (int k = 0; k < plan->Count(); ++k) combo->Items->Add(plan->Row(k).channelName);
}

void TDatiComponenti::AddChannelsInRange(TComboBox* combo, const TCanalizzazione* plan, float from,
                                         float to) {
    if (!plan) return;
    for (int k = plan->IndexOfRange(from, to); k >= 0; k = plan->IndexOfRangeFrom(from, to, k))
        combo->Items->Add(plan->Row(k).channelName);
}

void TDatiComponenti::FillPlanCombos(bool terrestrial, bool satellite) {
    for (TComboBox* combo : PlanCombo) {
        combo->Items->Clear();
        combo->Items->Add(NoPlan);
        if (!Canalizzazioni) continue;
        for (const TCanalizzazione* plan = Canalizzazioni->head; plan; plan = plan->next)
            if ((terrestrial && plan->terrestrial) || (satellite && plan->satellite))
                combo->Items->Add(plan->name);
    }
}

// ---------------------------------------------------------------- eight-column grid

void TDatiComponenti::ShowChannelGrid(const TListaCanali& list) {
    TComboStringGrid* grid = GridCanali8;
    grid->RowCount = list.Count() + 2;
    int r = 1;
    for (const TCanale* c = list.head; c; c = c->next, ++r) {
        grid->SetCell(G8Plan, r, c->plan ? c->plan->name : AnsiString(NoPlan));
        // A channel of no plan keeps its name too: the store would otherwise
        // rename it after its edges.
        grid->SetCell(G8Channel, r, c->name);
        grid->SetCell(G8Low, r, FormatLevel(c->freqLow, GridFormat));
        grid->SetCell(G8High, r, FormatLevel(c->freqHigh, GridFormat));
        grid->SetCell(G8Signal, r, SignalLetter(c->signalType));
        grid->SetCell(G8Label, r, c->label);
        grid->SetCell(G8Level, r, FormatLevel(c->levelMin, GridFormat));
        grid->SetCell(G8CN, r, FormatLevel(c->floorMin, GridFormat));
    }
    grid->ClearRow(r);
}

void TDatiComponenti::StoreChannelGrid(TListaCanali& list) {
    const TComboStringGrid* grid = GridCanali8;
    list.Clear();
    for (int r = 1; r < grid->RowCount - 1; ++r) {
        const float low = TextToFloat(grid->Cell(G8Low, r), LevelNone);
        const float high = TextToFloat(grid->Cell(G8High, r), LevelNone);
        if (!IsRealLevel(low) || !IsRealLevel(high)) continue;
        TCanale c;
        c.freqLow = low;
        c.freqHigh = high;
        const AnsiString name = grid->Cell(G8Channel, r);
        c.name = name.empty() ? FormatFloat("#0.##", low) + "/" + FormatFloat("#0.##", high)
                              : Cut(name, ChannelNameChars);
        c.signalType = grid->Cell(G8Signal, r) == "D" ? SignalDigital : SignalAnalog;
        c.label = Cut(grid->Cell(G8Label, r), ChannelLabelChars);
        c.levelMin = TextToFloat(grid->Cell(G8Level, r), LevelNone);
        c.floorMin = TextToFloat(grid->Cell(G8CN, r), LevelNone);
        c.plan = PlanNamed(grid->Cell(G8Plan, r));
        c.band = BandSystem ? BandSystem->BandOf(c.CentreFrequency()) : -1;
        list.Insert(c);
    }
}

void TDatiComponenti::Grid8SelectCell(int col, int row, bool& canSelect) {
    TComboStringGrid* grid = GridCanali8;
    if (row < 1) {
        canSelect = false;
        return;
    }
    if (row >= grid->RowCount - 1) {
        const int rows = grid->RowCount;
        grid->RowCount = rows + 1;
        grid->ClearRow(rows);
    }
    if (col == G8Plan) {
        TStringList names;
        FillChannelPlanNames(names, false, true);
        grid->Combo->Items->Clear();
        grid->Combo->Items->AddStrings(names);
        grid->ShowComboAt(col, row);
    } else if (col == G8Channel) {
        grid->Combo->Items->Clear();
        AddChannelsInRange(grid->Combo, PlanNamed(grid->Cell(G8Plan, row)), 0.0f, AllFrequencies);
        grid->ShowComboAt(col, row);
    }
    grid->TextBeforeEdit = grid->Cell(col, row);
}

void TDatiComponenti::Grid8SetEditText(int col, int row, const AnsiString& value) {
    TComboStringGrid* grid = GridCanali8;
    if (row < 1 || row >= grid->RowCount) return;
    if ((col == G8Low || col == G8High) && value != grid->TextBeforeEdit) {
        grid->SetCell(G8Plan, row, NoPlan);
    } else if (col == G8Signal) {
        const AnsiString kind = SignalKind(value);
        if (kind != value) grid->SetCell(G8Signal, row, kind);
    }
}

void TDatiComponenti::Grid8ComboChange() {
    TComboStringGrid* grid = GridCanali8;
    const int row = grid->EditRow;
    if (row < 1 || row >= grid->RowCount) return;
    if (grid->EditCol == G8Plan) {
        // The channel and its description belonged to the plan before.
        grid->SetCell(G8Channel, row, "");
        grid->SetCell(G8Label, row, "");
        return;
    }
    if (grid->EditCol != G8Channel) return;
    const TDatiCanalizzazione* data = ChosenChannel(grid, G8Plan, row);
    if (!data) return;
    grid->SetCell(G8Low, row, FloatToStr(data->lowEdge));
    grid->SetCell(G8High, row, FloatToStr(data->highEdge));
    grid->SetCell(G8Signal, row, SignalLetter(data->signalType));
    // The plan names the satellite that carries its channel.
    grid->SetCell(G8Label, row, data->satelliteName);
}

// ---------------------------------------------------------------- five-column grid

void TDatiComponenti::Grid5SelectCell(int col, int row, bool& canSelect) {
    TComboStringGrid* grid = GridCanali5;
    if (row < 1) {
        canSelect = false;
        return;
    }
    if (row >= grid->RowCount - 1) {
        const int rows = grid->RowCount;
        grid->RowCount = rows + 1;
        grid->ClearRow(rows);
        grid->SetCell(G5Plan, rows, DefaultTerrestrialPlan);
    }
    if (col == G5Plan) {
        TStringList names;
        FillChannelPlanNames(names, true, false);
        grid->Combo->Items->Clear();
        grid->Combo->Items->AddStrings(names);
        grid->ShowComboAt(col, row);
    } else if (col == G5Channel) {
        grid->Combo->Items->Clear();
        AddChannelsInRange(grid->Combo, PlanNamed(grid->Cell(G5Plan, row)), ParseLevel(ValueEdit[0][0]->Text),
                           ParseLevel(ValueEdit[0][1]->Text));
        grid->ShowComboAt(col, row);
    }
    grid->TextBeforeEdit = grid->Cell(col, row);
}

void TDatiComponenti::Grid5SetEditText(int col, int row, const AnsiString& value) {
    if (col != G5Signal || row < 1 || row >= GridCanali5->RowCount) return;
    const AnsiString kind = SignalKind(value);
    if (kind != value) GridCanali5->SetCell(G5Signal, row, kind);
}

void TDatiComponenti::Grid5ComboChange() {
    TComboStringGrid* grid = GridCanali5;
    const int row = grid->EditRow;
    if (row < 1 || row >= grid->RowCount) return;
    if (grid->EditCol == G5Plan) {
        grid->SetCell(G5Channel, row, "");
        return;
    }
    if (grid->EditCol != G5Channel) return;
    if (const TDatiCanalizzazione* data = ChosenChannel(grid, G5Plan, row))
        grid->SetCell(G5Signal, row, SignalLetter(data->signalType));
}
