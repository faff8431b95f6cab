// What the component-data form does while the user edits it: the channel
// rows of "Dati segnali", the swap buttons, an antenna's wind data, price and
// currency. Handlers that write into other controls raise the form's
// updating flag around their writes, so that those writes start no handler.
#include <algorithm>
#include <utility>

#include "core/channel_plans.h"
#include "core/globals.h"
#include "core/options.h"
#include "core/reporter.h"
#include "dialogs/combo_string_grid.h"
#include "dialogs/component_data.h"
#include "platform/application.h"
#include "cells/cell.h"

namespace {

constexpr const char* NoPlan = "(Nessuna)";
constexpr const char* ChannelEdgeFormat = "##0.##";
// The columns a satellite module's band rows add to the band header.
constexpr int SatelliteBandFirst = 6;

// Raises the updating flag for a scope and puts back what it was, so that a
// handler running while the form fills does not end the fill's guard.
class TUpdating {
public:
    explicit TUpdating(bool& flag) : flag_(flag), saved_(flag) { flag_ = true; }
    ~TUpdating() { flag_ = saved_; }
    TUpdating(const TUpdating&) = delete;
    TUpdating& operator=(const TUpdating&) = delete;

private:
    bool& flag_;
    bool saved_;
};

// A price as typed: digits and the decimal separator count; what is still
// no number is 0, like an empty text.
float TypedPrice(const AnsiString& text) {
    try {
        return TextToFloatLenient(text);
    } catch (const EConvertError&) {
        return 0.0f;
    }
}

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
    ButtonScambia1->OnClick = Handler(this, &TDatiComponenti::SwapMainTablesClick);
    ButtonScambia2->OnClick = Handler(this, &TDatiComponenti::SwapValueRowsClick);
    ButtonCambiaCanali->OnClick = Handler(this, &TDatiComponenti::ChangeChannelsClick);
    CheckLnbQuad->OnClick = Handler(this, &TDatiComponenti::LnbQuadClick);
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
    TStringList* items = ChannelCombo[row]->Items;
    items->Clear();
    const TCanalizzazione* plan = PlanNamed(PlanCombo[row]->Text);
    if (!plan) return;
    for (int k = 0; k < plan->Count(); ++k) items->Add(plan->Row(k).channelName);
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
    EditPrezzo->Text = FormatFloat(TOpzioni::GetCurrencyFormat(CurrencyIndex), TypedPrice(EditPrezzo->Text));
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
    float price = TypedPrice(EditPrezzo->Text);
    if (chosen != CurrencyIndex) price = Opzioni ? Opzioni->ConvertPrice(price, CurrencyIndex, chosen) : LevelNone;
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
