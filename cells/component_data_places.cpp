// What every edit of the component-data form holds: free text, or a number
// with the range the quantity allows. The platform checks a typed number
// against it when the person leaves the edit, presses Invio or "Ok", so the
// form reads only numbers it can take.
#include <algorithm>

#include "cells/combo_string_grid.h"
#include "cells/component_data.h"

namespace {

// Frequencies reach the satellite bands' tens of GHz.
constexpr double MaxFrequency = 100000;
// Levels, gains and attenuations the level passes take, well clear of the
// level codes below -500000.
constexpr double MaxLevel = 200;

bool Contains(const AnsiString& text, const char* part) { return text.find(part) != AnsiString::npos; }

}  // namespace

TNumberRule FrequencyRule() { return TNumberRule::Decimal(0, MaxFrequency, 2, "MHz").OrEmpty(); }

TNumberRule SignalLevelRule() { return TNumberRule::Decimal(-MaxLevel, MaxLevel, 2, "dB").OrEmpty(); }

TNumberRule CarrierToNoiseRule() { return TNumberRule::Decimal(0, MaxLevel, 2, "dB").OrEmpty(); }

TNumberRule SignalTableRule(const AnsiString& rowCaption) {
    TNumberRule rule;
    if (Contains(rowCaption, "MHz"))
        rule = TNumberRule::Decimal(0, MaxFrequency, 2, "MHz");
    else if (rowCaption.rfind("Reg.", 0) == 0 || rowCaption.rfind("Cifra di rumore", 0) == 0)
        // Gain and tilt settings and noise figures are never negative.
        rule = TNumberRule::Decimal(0, MaxLevel, 2, "dB");
    else
        rule = TNumberRule::Decimal(-MaxLevel, MaxLevel, 2, "dB");
    return rule.OrEmpty().OrText("*").OrText("<");
}

float PriceOf(const AnsiString& text) {
    double value = 0;
    int decimals = 0;
    return ReadTypedNumber(text, value, decimals) ? static_cast<float>(value) : 0.0f;
}

void TDatiComponenti::DeclareValueRow(int r) {
    for (int c = 0; c < DialogBandColumns; ++c) {
        // A cell of the signal table: Invio takes the value and stays in
        // the table, it does not confirm the form.
        ValueEdit[r][c]->TableCell = true;
        ValueEdit[r][c]->Holds(SignalTableRule(Trim(RowCaption[r]->Text)), [this, r, c] {
            const AnsiString band = Trim(BandCell[0][c]->Text);
            return Trim(RowCaption[r]->Text) + ", " + (band.empty() ? "colonna " + IntToStr(c + 1) : band);
        });
    }
}

void TDatiComponenti::DeclarePlaces() {
    const TNumberRule text = TNumberRule::Text();
    for (TEdit* edit : {EditCategoria, EditDescrizioneModulo, EditNoteInt, EditNoteEst, EditNote, EditCodice,
                        EditArticolo, EditSerie, EditMarca, EditDescrizione})
        edit->Holds(text, "");
    for (int k = 0; k < 2; ++k) AuxDescrizione[k]->Holds(text, "");

    // The signal table: each row's values follow its caption, which the
    // component's class writes.
    for (int r = 0; r < DialogRows; ++r) {
        DeclareValueRow(r);
        RowCaption[r]->OnChange = [this, r](TObject*) { DeclareValueRow(r); };
    }
    for (int i = 0; i < DialogChannelRows; ++i) {
        ChannelMin[i]->Holds(FrequencyRule(), [this, i] { return Trim(ChannelCaption[i]->Text) + ", Min"; });
        ChannelMax[i]->Holds(FrequencyRule(), [this, i] { return Trim(ChannelCaption[i]->Text) + ", Max"; });
    }
    EditFreqMin->Holds(FrequencyRule(), "Freq. gestibili, Min");
    EditFreqMax->Holds(FrequencyRule(), "Freq. gestibili, Max");
    EditLarghezza->Holds(FrequencyRule(), "Larg. banda blocco");
    EditBlocchi->Holds(TNumberRule::Whole(0, 1000).OrEmpty(), "Max. numero blocchi");

    // "Dati elettrici": currents drawn, never negative.
    const TNumberRule current = TNumberRule::Decimal(0, 10000, 2, "mA").OrEmpty();
    EditCorrente->Holds(current, "Corrente assorbita");
    EditCorrenteInterno->Holds(current, "Alimentatore interno");

    // "Dati tecnici e commerciali".
    EditDiametro->Holds(TNumberRule::Decimal(0, 1000, 2, "cm").OrEmpty(), "Diametro");
    EditArea->Holds(TNumberRule::Decimal(0, 100, 2, "mq").OrEmpty(), "Area");
    EditSpinta->Holds(TNumberRule::Decimal(0, 100000, 2, "N").OrEmpty(), "Spinta vento");
    EditPrezzo->Holds(TNumberRule::Decimal(0, 999999999, 3).OrEmpty(), "Prezzo");
    EditInstallazione->Holds(TNumberRule::Whole(0, 100000, "min").OrEmpty(), "Installazione");

    // "Articoli ausiliari".
    for (int k = 0; k < 2; ++k)
        AuxQuantita[k]->Holds(TNumberRule::Decimal(0, 100000, 1).OrEmpty(), "Quantità, riga " + IntToStr(k + 1));
}
