// Amplifiers in the component-data form (a page per input, a value row per
// column of its table) and the checks of their data.
#include "cells/amplifiers.h"
#include "cells/checks.h"
#include "cells/pass_links.h"
#include "cells/component_data.h"

namespace {

// "Dati elettrici": the supply groups of every port; with one through output
// the lines' own group as well.
constexpr int32_t AmplifierElectrical = ElectricPortRows | ElectricReceives | ElectricFeeds;
constexpr int32_t SingleOutputElectrical = ElectricInputs | ElectricRefuses;
constexpr int32_t WideBandElectrical = ElectricInputs | ElectricRefuses;
// The value lines shown: the seven columns, or gain, noise figure and
// maximum output only (code 21).
constexpr int32_t AllStageLines = 7;
constexpr int32_t PlainAmplifierLines = PortFlagsMask | 0x70;

constexpr const char* LevellingCaptions[6] = {
    "Livello minimo ing.  [dB]", "Livello massimo ing.  [dB]", "Reg. guadagno  [-dB]",
    "Reg. max. guad. [-dB]",     "Livello uscita  [dB]",       "Cifra di rumore [dB]",
};
// The levelling amplifier shows its output level before its noise figure.
constexpr int32_t LevellingOrder[10] = {0, 1, 2, 3, 5, 4, -1, -1, -1, -1};
// The wide-band amplifier shows its columns in the amplifier's line order.
constexpr int32_t WideBandOrder[10] = {5, 6, 0, 4, 1, 2, 3, -1, -1, -1};
// Its band columns of the satellite bands are hidden.
constexpr int32_t FirstSatelliteBand = 6;
constexpr int32_t LastSatelliteBand = 10;

bool Given(const TCella& cell, int32_t row, int32_t column, int32_t band) {
    return cell.Attenuation->Get3(row, column, band) != LevelNone;
}

TBandVector ColumnOf(const TCella& cell, int32_t row, int32_t column) {
    return AttenuationVector(cell, row, column);
}

// Each listed column through CheckBands with its caption, in the given order.
struct TColumnCheck {
    int32_t Column;
    int Mode;
};
bool CheckColumns(const TCella& cell, int32_t row, std::initializer_list<TColumnCheck> checks,
                  const char* const* captions, const AnsiString& prefix) {
    for (const TColumnCheck& c : checks)
        if (!CheckBands(cell, ColumnOf(cell, row, c.Column).v, c.Mode, prefix + captions[c.Column] + ": "))
            return false;
    return true;
}

// Every row has a band whose columns in need are all given, and in every
// band the columns in together are all given or all missing.
bool RowsComplete(const TCella& cell, std::initializer_list<int32_t> need,
                  std::initializer_list<int32_t> together) {
    const int bands = CheckedBands(cell);
    for (int32_t r = 0; r < cell.TableRows; ++r) {
        bool any = false;
        for (int b = 0; b < bands; ++b) {
            bool all = true;
            for (int32_t c : need) all = all && Given(cell, r, c, b);
            any = any || all;
            const bool first = Given(cell, r, *together.begin(), b);
            for (int32_t c : together)
                if (Given(cell, r, c, b) != first) return false;
        }
        if (!any) return false;
    }
    return true;
}

constexpr const char* Incomplete = "I dati del componente sono incompleti.";

// Captions of the wide-band amplifier's columns.
constexpr const char* WideBandCaptions[AmpColumns] = {
    "Reg. guadagno  [-dB]",  "Guadagno  [dB]",   "Cifra di rumore [dB]",  "Livello max. out [dB]",
    "Reg. max. guad. [-dB]", "Reg. tilt  [-dB]", "Reg. max. tilt. [-dB]",
};

}  // namespace

TCellDescription TAmplificatore::Describe() const {
    TCellDescription d = NamedWithForm("Amplificatore ", "A", AmplifierCounter);
    TDataSheet& sheet = d.Sheet;
    for (int32_t j = 0; j < AmpColumns; ++j) sheet.RowCaptions[static_cast<size_t>(j)] = StageCaptions[j];
    sheet.PortRows = TypeCode == CodeAmplificatore ? PlainAmplifierLines : AllStageLines;
    sheet.ModuleCount = NumInputs;
    sheet.PortCaptions = {"Uscite", "Uscite", "Ingressi"};
    sheet.ElectricalWord = AmplifierElectrical | (NumThroughOutputs == 1 ? SingleOutputElectrical : 0);
    sheet.ModuleCaption = "Amplif. selezionato";
    return d;
}

TCellDescription TAmplificatoreA::Describe() const {
    TCellDescription d = TAmplificatore::Describe();
    d.Sheet.RowCaptions = {};
    for (int32_t j = 0; j < 6; ++j) d.Sheet.RowCaptions[static_cast<size_t>(j)] = LevellingCaptions[j];
    return d;
}

void TAmplificatoreA::FillDataDialogDefault(TDatiComponenti* dialog) {
    FillDataDialog(dialog, LevellingOrder);
}

void TAmplificatoreA::ReadDataDialogDefault(TDatiComponenti* dialog) {
    ReadDataDialog(dialog, LevellingOrder);
}

bool TAmplificatore::CheckData(const AnsiString& prefix) {
    const int bands = CheckedBands(*this);
    for (int32_t r = 0; r < TableRows; ++r) {
        bool handles = false;
        for (int b = 0; b < bands; ++b) {
            const bool tilt = Given(*this, r, AmpTilt, b), maxTilt = Given(*this, r, AmpMaxTilt, b);
            const bool reg = Given(*this, r, AmpRegulation, b), maxReg = Given(*this, r, AmpMaxRegulation, b);
            const bool gain = Given(*this, r, AmpGain, b), noise = Given(*this, r, AmpNoiseFigure, b),
                       maxOut = Given(*this, r, AmpMaxOutput, b);
            const bool stage = gain && noise && maxOut;
            if (tilt != maxTilt || reg != maxReg || gain != noise || gain != maxOut ||
                ((tilt || reg) && !stage)) {
                ReportProblem(prefix + "Banda " + CheckedBandName(*this, b) + " descritta parzialmente.");
                return false;
            }
            handles = handles || stage;
        }
        if (!handles) {
            ReportProblem(prefix + "Il montante " + IntToStr(r + 1) + " non gestisce alcun segnale.");
            return false;
        }
    }
    for (int32_t r = 0; r < TableRows; ++r) {
        if (!CheckColumns(*this, r,
                          {{AmpTilt, BandsRefuseBlocked},
                           {AmpMaxTilt, BandsRefuseBlocked},
                           {AmpRegulation, BandsRefuseBlocked},
                           {AmpMaxRegulation, BandsRefuseBlocked},
                           {AmpGain, BandsRefuseBlocked | BandsRefuseRepeat},
                           {AmpNoiseFigure, BandsRefuseBlocked | BandsRefuseRepeat},
                           {AmpMaxOutput, BandsRefuseRepeat}},
                          StageCaptions, prefix))
            return false;
        if (!CheckTiltData(*this, ColumnOf(*this, r, AmpMaxTilt).v, ColumnOf(*this, r, AmpTilt).v, prefix))
            return false;
        if (!CheckRegulationData(*this, ColumnOf(*this, r, AmpMaxRegulation).v,
                                 ColumnOf(*this, r, AmpRegulation).v, prefix))
            return false;
    }
    return true;
}

bool TAmplificatoreA::CheckData(const AnsiString& prefix) {
    if (RowsComplete(*this, {0, 1, 2, 3, 4}, {0, 1, 2, 3, 4, 5})) return true;
    ReportProblem(prefix + Incomplete);
    return false;
}

// ---- The wide-band amplifier ----

TCellDescription TTerrestre::Describe() const {
    TCellDescription d = NamedWithForm("Ampli/Mix larga banda ", "Tr", WideBandCounter);
    TDataSheet& sheet = d.Sheet;
    for (int32_t j = 0; j < AmpColumns; ++j)
        sheet.RowCaptions[static_cast<size_t>(j)] = WideBandCaptions[WideBandOrder[j]];
    sheet.PortRows = AllStageLines;
    sheet.ModuleCount = NumInputs;
    sheet.PortCaptions = {"Uscite", "Uscite", "Ingressi"};
    sheet.ElectricalWord = WideBandElectrical;
    sheet.ModuleCaption = "Ingresso selezionato";
    return d;
}

void TTerrestre::FinishDataForm(TDatiComponenti& form) {
    for (int32_t j = 0; j < AmpColumns; ++j)
        for (int32_t b = FirstSatelliteBand; b <= LastSatelliteBand && b < DialogBandColumns; ++b)
            form.ValueEdit[j][b]->Visible = false;
}

void TTerrestre::FillDataDialogDefault(TDatiComponenti* dialog) { FillDataDialog(dialog, WideBandOrder); }

void TTerrestre::ReadDataDialogDefault(TDatiComponenti* dialog) { ReadDataDialog(dialog, WideBandOrder); }

bool TTerrestre::CheckData(const AnsiString& prefix) {
    if (!RowsComplete(*this, {WideRegulation, WideNoiseFigure, WideMaxOutput},
                      {WideRegulation, WideNoiseFigure, WideMaxOutput, WideMaxRegulation})) {
        ReportProblem(prefix + Incomplete);
        return false;
    }
    for (int32_t r = 0; r < TableRows; ++r) {
        if (!CheckColumns(*this, r,
                          {{WideTilt, BandsRefuseBlocked},
                           {WideMaxTilt, BandsRefuseBlocked},
                           {WideRegulation, BandsRefuseBlocked},
                           {WideMaxRegulation, BandsRefuseBlocked},
                           {WideGain, BandsRefuseBlocked | BandsRefuseRepeat},
                           {WideNoiseFigure, BandsRefuseBlocked | BandsRefuseRepeat},
                           {WideMaxOutput, BandsRefuseRepeat}},
                          WideBandCaptions, prefix))
            return false;
        if (!CheckTiltData(*this, ColumnOf(*this, r, WideMaxTilt).v, ColumnOf(*this, r, WideTilt).v, prefix))
            return false;
        if (!CheckRegulationData(*this, ColumnOf(*this, r, WideMaxRegulation).v,
                                 ColumnOf(*this, r, WideRegulation).v, prefix))
            return false;
    }
    return true;
}
