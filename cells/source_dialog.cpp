// Antennas and converters in the component-data form: the antenna's
// frequency range, its channel grid (plan, channel, "D"/"A", label, level)
// and its mast values; the converter's values per output with its channel
// list and band mode; and the antenna's data check.
#include <algorithm>

#include "cells/checks.h"
#include "cells/sources.h"
#include "core/band_systems.h"
#include "core/channel_plans.h"
#include "core/globals.h"
#include "cells/combo_string_grid.h"
#include "cells/component_data.h"

namespace {

constexpr const char* DefaultPlanName = "Europa";
enum : int { GridPlan = 0, GridChannel = 1, GridSignal = 2, GridLabel = 3, GridLevel = 4 };
constexpr int GridFirstRow = 1;  // row 0 holds the headings
constexpr int ChannelNameChars = 7;
constexpr int LabelChars = 20;

// The antenna shows its two frequency cells only.
constexpr int32_t FirstHiddenRangeCell = 2;
constexpr int32_t LastHiddenRangeCell = 10;
// Room of the "Min" and "Max" headings over the antenna's two cells.
constexpr int RangeHeadingHeight = 16;
// The converter shows the satellite bands beside its gain cell.
constexpr int32_t LastTerrestrialCell = 4;

AnsiString Left(const AnsiString& text, int chars) {
    return static_cast<int>(text.size()) > chars ? text.substr(0, static_cast<size_t>(chars)) : text;
}

}  // namespace

// ---- The antenna ----

TCellDescription TAntenna::Describe() const {
    TCellDescription d = NamedWithForm("Antenna ", "An", AntennaCounter);
    d.Sheet.RowCaptions[AntennaRangeColumn] = "Frequenza  [MHz]";
    d.Sheet.PortRows = 1;
    d.Sheet.ChannelGrids[0] = 1;
    d.Sheet.AntennaKind[1] = 1;
    return d;
}

void TAntenna::FinishDataForm(TDatiComponenti& form) {
    for (int32_t c = FirstHiddenRangeCell; c <= LastHiddenRangeCell && c < DialogBandColumns; ++c) {
        for (auto& header : form.BandCell) header[c]->Visible = false;
        form.ValueEdit[AntennaRangeColumn][c]->Visible = false;
    }
    // The two cells hold the antenna's lowest and highest frequency, no
    // band's values: they stand under "Min" and "Max", where the band
    // header would name two bands of the calculations.
    const int top = form.BandCell[0][0]->Top;
    form.HideBandHeader();
    for (int c = 0; c < FirstHiddenRangeCell; ++c) {
        TControl* heading = form.ChannelHeaders[0][c];
        heading->Left = form.ValueEdit[AntennaRangeColumn][c]->Left;
        heading->Top = top;
        heading->Visible = true;
    }
    const int rowTop = top + RangeHeadingHeight;
    form.RowCaption[AntennaRangeColumn]->Top = rowTop;
    for (TEdit* edit : form.ValueEdit[AntennaRangeColumn]) edit->Top = rowTop;
}

void TAntenna::FillDataDialogDefault(TDatiComponenti* dialog) {
    TCella::FillDataDialogDefault(dialog);
    TComboStringGrid* grid = dialog->GridCanali5;
    const int count = SourceChannels->Count();
    grid->RowCount = GridFirstRow + count + 1;
    int r = GridFirstRow;
    for (const TCanale* c = SourceChannels->head; c; c = c->next, ++r) {
        grid->SetCell(GridPlan, r, c->plan ? c->plan->name : AnsiString());
        grid->SetCell(GridChannel, r, c->name);
        grid->SetCell(GridSignal, r, c->signalType == SignalDigital ? "D" : "A");
        grid->SetCell(GridLabel, r, c->label);
        grid->SetCell(GridLevel, r, FormatNumber("#0.#", c->levelMin));
    }
    // The last row offers a new channel of the default plan.
    grid->ClearRow(r);
    grid->SetCell(GridPlan, r, DefaultPlanName);

    dialog->ComboForma->ItemIndex = Shape < dialog->ComboForma->Items->Count() ? Shape : -1;
    FillWindBoxes(dialog, TBoxes::AreaThrustSpeed);
}

void TAntenna::ReadDataDialogDefault(TDatiComponenti* dialog) {
    TCella::ReadDataDialogDefault(dialog);
    const TComboStringGrid* grid = dialog->GridCanali5;
    SourceChannels->Clear();
    for (int r = GridFirstRow; r < grid->RowCount - 1; ++r) {
        const AnsiString planName = grid->Cell(GridPlan, r);
        const AnsiString name = Left(grid->Cell(GridChannel, r), ChannelNameChars);
        if (planName.empty() || name.empty()) continue;
        const TCanalizzazione* plan = Canalizzazioni ? Canalizzazioni->Find(planName) : nullptr;
        const int row = plan ? plan->IndexOf(name) : -1;
        if (row < 0) continue;
        TCanale c;
        plan->SetChannel(c, row);
        c.band = SistemaBandeCorrente ? SistemaBandeCorrente->BandOf(c.CentreFrequency()) : -1;
        c.label = Left(grid->Cell(GridLabel, r), LabelChars);
        const AnsiString level = grid->Cell(GridLevel, r);
        c.levelMin = level.empty() ? LevelNone : TextToFloat(level, LevelNone);
        c.signalType = grid->Cell(GridSignal, r) == "D" ? SignalDigital : SignalAnalog;
        SourceChannels->Insert(c);
    }
    const int shape = dialog->ComboForma->ItemIndex;
    Shape = shape < 0 ? AntennaShapeNone : static_cast<uint8_t>(shape);
    ReadWindBoxes(dialog, TBoxes::AreaThrustSpeed);
}

bool TAntenna::CheckData(const AnsiString& prefix) {
    if (IsRealLevel(Attenuation->Get3(0, AntennaRangeColumn, AntennaLowestSlot)) &&
        IsRealLevel(Attenuation->Get3(0, AntennaRangeColumn, AntennaHighestSlot)))
        return true;
    ReportProblem(prefix + "I dati del componente sono incompleti.");
    return false;
}

// ---- The converter ----

TCellDescription TSat::Describe() const {
    TCellDescription d = NamedWithForm("Convertitore Sat. ", "Sa", SatCounter);
    TDataSheet& sheet = d.Sheet;
    sheet.RowCaptions[SatLevelColumn] = "Segnale misurato [dB]";
    sheet.RowCaptions[SatCarrierNoiseColumn] = "C/N misurato [dB]";
    sheet.RowCaptions[SatGainColumn] = "Guadagno LNB [dB]";
    sheet.PortRows = 3;
    sheet.ModuleCount = NumThroughOutputs;
    sheet.ModuleCaption = "Uscita selezionata";
    sheet.AntennaKind[0] = 1;
    // Each output's own channels in the eight-column grid, "Cambia canali"
    // between them and the satellite bands, and "LNB Quad".
    sheet.ChannelGrids[1] = 1;
    sheet.ShowSwapButtons[2] = 1;
    sheet.OtherFeatures = FeatureQuadLnb;
    return d;
}

void TSat::FinishDataForm(TDatiComponenti& form) {
    for (int32_t j = SatLevelColumn; j <= SatGainColumn; ++j)
        for (int32_t c = 0; c <= SatGainSlot && c < DialogBandColumns; ++c)
            if (c <= LastTerrestrialCell || j != SatGainColumn) form.ValueEdit[j][c]->Visible = false;
}

void TSat::FillDataDialogDefault(TDatiComponenti* dialog) {
    TCella::FillDataDialogDefault(dialog);
    FillWindBoxes(dialog, TBoxes::AreaThrust);
    for (int32_t o = 0; o < std::min<int32_t>(NumThroughOutputs, DialogModules); ++o) {
        TListaCanali::AddAll(*OutputChannels[o], dialog->ChannelLists[o]);
        dialog->BandRowByte[o] = UseSatBands[o];
    }
}

void TSat::ReadDataDialogDefault(TDatiComponenti* dialog) {
    TCella::ReadDataDialogDefault(dialog);
    ReadWindBoxes(dialog, TBoxes::AreaThrust);
    for (int32_t o = 0; o < std::min<int32_t>(NumThroughOutputs, DialogModules); ++o) {
        TListaCanali::AddAll(dialog->ChannelLists[o], *OutputChannels[o]);
        UseSatBands[o] = dialog->BandRowByte[o] ? 1 : 0;
    }
}
