// What the component-data form does while the user edits it: the channel
// rows of "Dati segnali", the swap buttons, an antenna's wind data, price and
// currency. Handlers that write into other controls raise the form's
// updating flag around their writes, so that those writes start no handler.
#include <algorithm>
#include <utility>

#include "cells/cell.h"
#include "core/channel_plans.h"
#include "core/globals.h"
#include "core/libraries.h"
#include "core/options.h"
#include "core/reporter.h"
#include "core/scoped_flag.h"
#include "cells/combo_string_grid.h"
#include "cells/component_data.h"
#include "platform/application.h"

namespace {

constexpr const char* NoPlan = "(Nessuna)";
constexpr const char* ChannelEdgeFormat = "##0.##";
// The columns a satellite module's band rows add to the band header.
constexpr int SatelliteBandFirst = 6;

TCanalizzazione* PlanNamed(const AnsiString& name) {
    return Canalizzazioni ? Canalizzazioni->Find(name) : nullptr;
}

}  // namespace

void TDatiComponenti::WireEditHandlers() {
    for (int i = 0; i < DialogChannelRows; ++i) {
        ChannelMin[i]->OnChange = [this, i](TObject*) { ChannelEdgeChange(i); };
        ChannelMax[i]->OnChange = [this, i](TObject*) { ChannelEdgeChange(i); };
        ChannelCombo[i]->OnEnter = [this, i](TObject*) { ChannelComboEnter(i); };
        ChannelCombo[i]->OnChange = [this, i](TObject*) { ChannelComboChange(i); };
        PlanCombo[i]->OnChange = [this, i](TObject*) { PlanComboChange(i); };
    }
    EditArea->OnChange = Handler(this, &TDatiComponenti::AreaChange);
    EditSpinta->OnChange = Handler(this, &TDatiComponenti::ThrustChange);
    ComboVelocita->OnChange = Handler(this, &TDatiComponenti::WindSpeedChange);
    EditPrezzo->OnExit = Handler(this, &TDatiComponenti::PriceExit);
    ComboValuta->OnEnter = Handler(this, &TDatiComponenti::CurrencyEnter);
    ComboValuta->OnChange = Handler(this, &TDatiComponenti::ConvertPrice);
    ButtonStruttura->OnClick = Handler(this, &TDatiComponenti::EditCustomCell);
    ButtonScambia1->OnClick = Handler(this, &TDatiComponenti::SwapMainTablesClick);
    ButtonScambia2->OnClick = Handler(this, &TDatiComponenti::SwapValueRowsClick);
    ButtonCambiaCanali->OnClick = Handler(this, &TDatiComponenti::ChangeChannelsClick);
    CheckLnbQuad->OnClick = Handler(this, &TDatiComponenti::LnbQuadClick);
    ComboConversione->OnChange = Handler(this, &TDatiComponenti::UpdateModuleTypeRows);
    WirePageHandlers();
    for (int r = 0; r < 2; ++r) {
        AuxLibreria[r]->OnEnter = Handler(this, &TDatiComponenti::LibraryNamesEnter);
        AuxLibreria[r]->OnChange = [this, r](TObject*) { AuxLibraryChange(r); };
    }
    ComboLibreria->OnEnter = Handler(this, &TDatiComponenti::LibraryNamesEnter);
    ComboLibreria->OnChange = Handler(this, &TDatiComponenti::LibraryChange);
    WireLibraryHandlers();
}

// ---------------------------------------------------------------- library combos

namespace {
TCustomCellEditor CustomCellEditor = nullptr;
}  // namespace

void SetCustomCellEditor(TCustomCellEditor editor) { CustomCellEditor = editor; }

void TDatiComponenti::EditCustomCell(TObject*) {
    if (EditedCell && CustomCellEditor) CustomCellEditor(*EditedCell);
}

void TDatiComponenti::LibraryNamesEnter(TObject* sender) {
    auto* combo = dynamic_cast<TComboBox*>(sender);
    if (!combo) return;
    TStringList names;
    if (Librerie) Librerie->ListNames(names);
    const AnsiString shown = combo->Text;
    TUpdating guard(Updating);
    combo->Items->Clear();
    combo->Items->AddStrings(names);
    combo->Text = shown;
}

void TDatiComponenti::AuxLibraryChange(int row) {
    TUpdating guard(Updating);
    for (TComboBox* combo : {AuxCategoria[row], AuxCodice[row]}) {
        combo->Items->Clear();
        combo->Text = "";
    }
    AuxQuantita[row]->Text = "";
    AuxDescrizione[row]->Text = "";
}

void TDatiComponenti::LibraryChange(TObject*) {
    TUpdating guard(Updating);
    ComboVoce->Items->Clear();
    ComboVoce->Text = "";
    ButtonElimina->Enabled = false;
}

// ---------------------------------------------------------------- channel rows

void TDatiComponenti::ChannelEdgeChange(int row) {
    if (Updating) return;
    TUpdating guard(Updating);
    ChannelCombo[row]->Items->Clear();
    ChannelCombo[row]->Text = "";
    PlanCombo[row]->Text = NoPlan;
}

void TDatiComponenti::FillChannelCombo(int row) {
    FillChannelCombo(ChannelCombo[row], PlanNamed(PlanCombo[row]->Text));
}

void TDatiComponenti::ChannelComboEnter(int row) { FillChannelCombo(row); }

void TDatiComponenti::ChannelComboChange(int row) {
    if (Updating) return;
    TUpdating guard(Updating);
    const TCanalizzazione* plan = PlanNamed(PlanCombo[row]->Text);
    if (!plan) return;
    const int k = plan->IndexOf(ChannelCombo[row]->Text);
    if (k < 0) return;
    ChannelMin[row]->Text = FormatFloat(ChannelEdgeFormat, plan->Row(k).lowEdge);
    ChannelMax[row]->Text = FormatFloat(ChannelEdgeFormat, plan->Row(k).highEdge);
}

void TDatiComponenti::PlanComboChange(int row) {
    if (Updating) return;
    TUpdating guard(Updating);
    ChannelMin[row]->Text = "";
    ChannelMax[row]->Text = "";
    ChannelCombo[row]->Text = "";
    FillChannelCombo(row);
}

// ---------------------------------------------------------------- wind data

void TDatiComponenti::AreaChange(TObject*) {
    if (Updating || EditArea->Text.Get().empty()) return;
    TUpdating guard(Updating);
    EditSpinta->Text = "";
    ComboVelocita->ItemIndex = -1;
    ComboVelocita->Text = "";
}

void TDatiComponenti::ThrustChange(TObject*) {
    if (Updating || EditSpinta->Text.Get().empty()) return;
    TUpdating guard(Updating);
    EditArea->Text = "";
}

// Not guarded: a speed always clears the area, also while the form fills.
void TDatiComponenti::WindSpeedChange(TObject*) {
    if (ComboVelocita->Text.Get().empty()) return;
    TUpdating guard(Updating);
    EditArea->Text = "";
}

// ---------------------------------------------------------------- price and currency

void TDatiComponenti::PriceExit(TObject*) {
    EditPrezzo->Text = FormatFloat(TOpzioni::GetCurrencyFormat(CurrencyIndex), PriceOf(EditPrezzo->Text));
}

void TDatiComponenti::CurrencyEnter(TObject*) {
    TStringList names;
    TOpzioni::FillMainCurrencies(names);
    const AnsiString shown = ComboValuta->Text;
    TUpdating guard(Updating);
    ComboValuta->Items->Clear();
    ComboValuta->Items->AddStrings(names);  // kept in the combo's order
    // The shown currency becomes the chosen item, so that the list opens on it.
    const int chosen = ComboValuta->Items->IndexOf(shown);
    if (chosen >= 0)
        ComboValuta->ItemIndex = chosen;
    else
        ComboValuta->Text = shown;
}

void TDatiComponenti::ConvertPrice(TObject*) {
    TUpdating guard(Updating);
    int chosen = TOpzioni::GetCurrencyIndex(ComboValuta->Text);
    if (chosen < 0) {
        chosen = CurrencyIndex;
        ComboValuta->Text = TOpzioni::GetCurrencyName(CurrencyIndex);
    }
    float price = PriceOf(EditPrezzo->Text);
    if (chosen != CurrencyIndex)
        price = Opzioni ? Opzioni->ConvertPrice(price, CurrencyIndex, chosen) : LevelNone;
    if (price >= 0.0f) {
        EditPrezzo->Text = FormatFloat(TOpzioni::GetCurrencyFormat(chosen), price);
    } else if (Application) {
        Application->MessageBox("Manca il fattore di conversione tra la valuta " +
                                    TOpzioni::GetCurrencyName(CurrencyIndex) + " e la valuta " +
                                    TOpzioni::GetCurrencyName(chosen) + ". E' stato applicato il fattore 1.",
                                ApplicationTitle, MB_OK | MB_ICONWARNING);
    }
    CurrencyIndex = chosen;
}

// ---------------------------------------------------------------- swap buttons

void TDatiComponenti::SwapMainTablesClick(TObject*) {
    StoreValueTable();
    std::swap_ranges(std::begin(MainTable[0]), std::end(MainTable[0]), std::begin(MainTable[1]));
    ShowValueTable();
}

void TDatiComponenti::SwapValueRowsClick(TObject*) {
    TUpdating guard(Updating);
    for (int c = 0; c < DialogBandColumns; ++c) {
        const AnsiString first = ValueEdit[0][c]->Text;
        ValueEdit[0][c]->Text = ValueEdit[1][c]->Text.Get();
        ValueEdit[1][c]->Text = first;
    }
}

void TDatiComponenti::ShowSatelliteBandRows(bool visible) {
    for (int r = 0; r < 2; ++r) {
        RowCaption[r]->Visible = visible;
        for (int c = SatelliteBandFirst; c < DialogBandColumns; ++c) ValueEdit[r][c]->Visible = visible;
    }
}

void TDatiComponenti::ChangeChannelsClick(TObject*) {
    const int m = std::clamp(CurrentModule, 0, DialogModules - 1);
    const bool grid = !GridCanali8->Visible;
    GridCanali8->Visible = grid;
    BandRowByte[m] = grid ? 0 : 1;
    if (grid)
        HideBandHeader();
    else
        ShowBandHeader();
    ShowSatelliteBandRows(!grid);
}

void TDatiComponenti::LnbQuadClick(TObject*) {
    const bool quad = CheckLnbQuad->Checked;
    ButtonCambiaCanali->Visible = !quad && ShowSwapButtons[2] != 0;
    if (!quad) return;
    const int through = EditedCell ? std::clamp(EditedCell->NumThroughOutputs, 0, DialogModules) : 0;
    for (int m = 0; m < through; ++m) BandRowByte[m] = 1;
    GridCanali8->Visible = false;
    ShowBandHeader();
    ShowSatelliteBandRows(true);
}

// ---------------------------------------------------------------- pages

namespace {

const char* const RegulationCaptions[DialogStageRows] = {
    "Reg. tilt  [-dB]", "Reg. max. tilt. [-dB]", "Reg. guadagno  [-dB]", "Reg. max. guad. [-dB]",
    "Guadagno  [dB]",   "Cifra di rumore [dB]",  "Livello max. out [dB]"};
constexpr int StageRowStep = 20;
constexpr int DragThreshold = 10;

// The index of a selector button in its row; -1 for another control.
template <size_t N>
int IndexIn(TRadioButton* const (&row)[N], const TObject* control) {
    for (size_t k = 0; k < N; ++k)
        if (row[k] == control) return static_cast<int>(k);
    return -1;
}

}  // namespace

// A click selects the button's page; a drag of one button onto another of
// the same row copies the dragged page onto the other.
template <size_t N>
void TDatiComponenti::WireSelectorRow(TRadioButton* (&row)[N], std::function<void(int)> change,
                                      std::function<void(int, int)> dropped) {
    for (size_t k = 0; k < N; ++k) {
        TRadioButton* button = row[k];
        const int index = static_cast<int>(k);
        button->OnClick = [this, change, index](TObject*) {
            if (!Updating) change(index);
        };
        button->OnMouseDown = [](TObject* sender, TMouseButton pressed, TShiftState, int, int) {
            if (pressed == mbLeft) static_cast<TControl*>(sender)->BeginDrag(false, DragThreshold);
        };
        button->OnDragOver = [&row, button](TObject*, TObject* source, int, int, TDragState, bool& accept) {
            accept = source != button && IndexIn(row, source) >= 0;
        };
        button->OnDragDrop = [&row, dropped, index](TObject*, TObject* source, int, int) {
            dropped(index, IndexIn(row, source));
        };
    }
}

void TDatiComponenti::WirePageHandlers() {
    for (int k = 0; k < 4; ++k)
        RadioFunzione[k]->OnClick = [this, k](TObject*) {
            if (!Updating) ChangeTableKind(k);
        };
    WireSelectorRow(
        RadioModulo, [this](int m) { ChangeModule(m); },
        [this](int target, int source) { ModuleDropped(target, source); });
    WireSelectorRow(
        RadioUscita, [this](int o) { ChangeOutput(o); },
        [this](int target, int source) { OutputDropped(target, source); });
    ButtonUsciteDistinte->OnClick = Handler(this, &TDatiComponenti::UpdateEqualOutputs);
}

void TDatiComponenti::SetRegulationRowsMode(int kind) {
    kind = std::clamp(kind, 0, 3);
    TUpdating guard(Updating);
    if (kind != CurrentKind) {
        if (CurrentKind == TableMainFunction) {
            // The component's own rows, to come back to.
            OwnRows.StageTop = 1000;
            for (int r = 0; r < DialogRows; ++r) {
                OwnRows.CaptionShown[r] = RowCaption[r]->Visible;
                for (int c = 0; c < DialogBandColumns; ++c)
                    OwnRows.EditShown[r][c] = ValueEdit[r][c]->Visible;
                if (r >= DialogStageRows) continue;
                OwnRows.Caption[r] = RowCaption[r]->Text;
                OwnRows.Top[r] = RowCaption[r]->Top;
                if (RowFlags[r]) OwnRows.StageTop = std::min(OwnRows.StageTop, OwnRows.Top[r]);
            }
            // No row of its own among the first seven: the room the layout
            // keeps for the stages above the main-function switch.
            if (OwnRows.StageTop == 1000)
                OwnRows.StageTop = PanelFunzione->Top - 4 - StageRowStep * DialogStageRows;
        }
        CurrentKind = kind;
        for (int r = 0; r < DialogStageRows; ++r) {
            const bool stage = kind != TableMainFunction;
            const int top = stage ? OwnRows.StageTop + StageRowStep * r : OwnRows.Top[r];
            RowCaption[r]->Top = top;
            RowCaption[r]->Text = stage ? AnsiString(RegulationCaptions[r]) : OwnRows.Caption[r];
            for (TEdit* edit : ValueEdit[r]) edit->Top = top;
        }
        for (int r = 0; r < DialogRows; ++r) {
            if (kind != TableMainFunction && r >= DialogStageRows) continue;
            const bool stage = kind != TableMainFunction;
            RowCaption[r]->Visible = stage || OwnRows.CaptionShown[r];
            for (int c = 0; c < DialogBandColumns; ++c)
                ValueEdit[r][c]->Visible = stage || OwnRows.EditShown[r][c];
        }
    }
    RadioFunzione[kind]->Checked = true;
    SelectModulePage(CurrentModule);
}

void TDatiComponenti::SelectModulePage(int module) {
    if (module < 0 || module >= ModuleCount || module >= DialogModules) module = 0;
    TUpdating guard(Updating);
    CurrentModule = module;
    ShowValueTable();
    if (ChannelGrids[1] && CurrentKind == TableMainFunction) {
        GridCanali8->Selection = TGridRect{0, 1, 0, 1};
        ShowChannelGrid(ChannelLists[module]);
        const bool bands = BandRowByte[module] != 0;
        GridCanali8->Visible = !bands;
        if (bands)
            ShowBandHeader();
        else
            HideBandHeader();
        ShowSatelliteBandRows(bands);
    }
    RadioModulo[module]->Checked = true;
    ButtonUsciteDistinte->Caption = DistinctOutputs ? "Uscite uguali" : "Uscite distinte";
    const bool outputs = OutputCount > 1 && DistinctOutputs;
    CaptionUscita->Visible = outputs;
    StripUscita->Visible = outputs;
}

void TDatiComponenti::SelectOutput(int output) {
    if (output < 0 || output >= OutputCount || output >= DialogOutputs) output = 0;
    {
        TUpdating guard(Updating);
        CurrentOutput = output;
        RadioUscita[output]->Checked = true;
    }
    SelectModulePage(CurrentModule);
}

void TDatiComponenti::ChangeTableKind(int kind) {
    StoreShownPage();
    SetRegulationRowsMode(kind);
}

void TDatiComponenti::ChangeModule(int module) {
    StoreShownPage();
    SelectModulePage(module);
}

void TDatiComponenti::ChangeOutput(int output) {
    StoreShownPage();
    SelectOutput(output);
}

void TDatiComponenti::UpdateEqualOutputs(TObject*) {
    StoreShownPage();
    if (!DistinctOutputs) {
        DistinctOutputs = 1;
        for (int m = 0; m < DialogModules; ++m)
            for (int o = 1; o < DialogOutputs; ++o) {
                std::copy(std::begin(DistinctOutputRows[m][0]), std::end(DistinctOutputRows[m][0]),
                          DistinctOutputRows[m][o]);
                std::copy(std::begin(OutputAmpTable[m][0]), std::end(OutputAmpTable[m][0]),
                          OutputAmpTable[m][o]);
            }
    } else {
        DistinctOutputs = 0;
    }
    // The component keeps per-output tables only while its outputs differ.
    ModuleData = DistinctOutputs;
    SelectOutput(0);
}

void TDatiComponenti::ModuleDropped(int target, int source) {
    if (source < 0 || source == target) return;
    StoreShownPage();
    CopyModuleData(target, source);
    SelectModulePage(target);
}

void TDatiComponenti::OutputDropped(int target, int source) {
    if (source < 0 || source == target) return;
    StoreShownPage();
    CopyOutputData(target, source);
    SelectOutput(target);
}
