#pragma once
// The two lightning-risk pages of the main window, each a panel that edits
// the project's data in place:
// - "Fulmini 81.1" edits the inputs kept in the mast data TPalo and shows the
//   evaluation of direct flashes below (frequency of direct flashes on the
//   structure without and with its antennas against the frequency the
//   structure tolerates);
// - "Fulmini 81.10-2" edits TFulmini and shows its risk components.
// Every change the person makes marks the project modified; filling a page
// does not.
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "document/mast.h"
#include "platform/extctrls.h"
#include "platform/grids.h"
#include "platform/stdctrls.h"

class TProgetto;
class TFulmini;

// ---- The evaluation of "Fulmini 81.1" ----
//
// The method: the collection area Ae of the structure is that of a
// parallelepiped widened by three times its height all round (or the area
// the user entered for a complex structure); the yearly number of direct
// flashes is Nd = Ng · Ae · C · 1e-6, with Ng the flash density of the place
// and C the factor of the surroundings. The structure protects itself when Nd
// does not exceed the tolerable frequency of its kind of building, which
// depends on the building's class (A to D) and on its fire risk; for several
// kinds the strictest one holds.

constexpr int FlashDensityChoices = 3;
constexpr int EnvironmentChoices = 4;
constexpr int BuildingClasses = 4;  // A, B, C, D
constexpr int FireRiskChoices = 3;  // "Ridotto", "Ordinario", "Elevato"

// The figures the evaluation reads; program start resets them.
struct TTabelleFulmini811 {
    std::array<float, FlashDensityChoices> FlashDensities{};  // flashes per km² and year
    std::array<float, EnvironmentChoices> EnvironmentFactors{};
    // Tolerable flashes per year, by building class and fire risk.
    std::array<std::array<float, FireRiskChoices>, BuildingClasses> TolerableFrequencies{};
    std::array<int32_t, StructureTypes> StructureClasses{};  // 0 A ... 3 D
    std::array<AnsiString, StructureTypes> BuildingTypes;
    // Municipalities with their flash-density text ("1,5", "2,5", "4"); no
    // checked table is supplied, so it stays empty.
    std::vector<std::pair<AnsiString, AnsiString>> Municipalities;

    void Reset();
};
TTabelleFulmini811& TabelleFulmini811();

// The list text of a structure type: its class ("B: ") and its name.
AnsiString StructureTypeCaption(int index);

struct TEsitoFulmini811 {
    bool Insufficient = true;               // a type, the density, a size or an area is missing
    int32_t AreaWithout = 0, AreaWith = 0;  // Ae [mq]
    double FrequencyWithout = 0, FrequencyWith = 0, TolerableFrequency = 0;
    bool SelfProtectedWithout = false, SelfProtectedWith = false;
};
TEsitoFulmini811 EvaluateLightning811(const TPalo& mast);

// The number of a lightning size or area edit: its integer part, towards
// zero; -500001 for an empty text, a text that is not a number and a number
// outside -100000..100000.
int32_t LightningSizeOf(const AnsiString& text);

// ---- The pages ----

class TPaginaFulmini811 : public TPanel {
public:
    explicit TPaginaFulmini811(TComponent* owner);

    // The project whose mast data the page edits (not owned); shows them.
    void SetProject(TProgetto* project);
    // Shows the mast data in the controls, then the evaluation.
    void Fill();
    void ShowEvaluation();

    TListBox* ListaStrutture;
    TStringGrid* GrigliaAree;
    TLabel* ValoreSenzaAntenne;
    TLabel* ValoreConAntenne;
    TLabel* ValoreTollerabile;
    TComboBox* ComboRischio;
    TComboBox* ComboComune;
    TComboBox* ComboDensita;
    TComboBox* ComboCoeffAmb;
    TComboBox* ComboCoeffAmbAnt;
    TLabel* LabelInsufficienti;
    TLabel* LabelEsitoSenza;
    TLabel* LabelEsitoCon;
    TRadioButton* RadioParallelepipeda;
    TRadioButton* RadioComplessa;
    TEdit* EditLunghezza;
    TEdit* EditLarghezza;
    TEdit* EditAltezzaSenza;
    TEdit* EditAltezzaCon;
    TEdit* EditAreaSenza;
    TEdit* EditAreaCon;

    void ListaStruttureClick(TObject* Sender);
    void GrigliaAreeSelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    void GrigliaAreeSetEditText(TObject* Sender, int ACol, int ARow, const AnsiString& Value);
    void ComboRischioChange(TObject* Sender);
    void ComboComuneChange(TObject* Sender);
    void ComboDensitaChange(TObject* Sender);
    void ComboCoeffAmbChange(TObject* Sender);
    void ComboCoeffAmbAntChange(TObject* Sender);
    void FormaClick(TObject* Sender);
    void DimensioneChange(TObject* Sender);

private:
    TPalo* Mast() const;
    void UpdateAreaEditing();
    void Changed();
    TProgetto* project_ = nullptr;
    bool updating_ = false;
};

// The check boxes of a bit set of TFulmini: each box and its bit.
struct TCaselleBit {
    std::vector<std::pair<TCheckBox*, int>> Boxes;
    int32_t Bits() const;
    void Show(int32_t bits) const;
};

class TPaginaFulmini8110 : public TPanel {
public:
    explicit TPaginaFulmini8110(TComponent* owner);

    void SetProject(TProgetto* project);
    // Shows the lightning data in the controls, then the results.
    void Fill();
    void ShowResults();

    TCaselleBit TipoStruttura;  // structure kinds
    TCheckBox* PersoneEsterno;
    TCaselleBit Pavimentazione;  // floor kinds
    TCaselleBit Prevenzione;     // fire provisions
    TCaselleBit SuoloLinee;      // line soil kinds
    TComboBox* ComboPericolo;
    TComboBox* ComboRischio;
    TComboBox* ComboComune;
    TComboBox* ComboCoeffAmb;
    TCheckBox* DanniImpianti;
    TRadioButton* RadioParallelepipeda;
    TRadioButton* RadioComplessa;
    TEdit* EditLunghezza;
    TEdit* EditLarghezza;
    TEdit* EditAltezza;
    TEdit* EditArea;
    // "Linee dati fuori terra", "Linee dati interrate", "Linee energia fuori
    // terra", "Linee energia interrate".
    std::array<TEdit*, 4> EditLinee{};

    // Shown values.
    TLabel *ValoreLt, *ValoreLf, *ValoreRaFattore, *ValoreRp, *ValoreHz, *ValoreRf, *ValoreNg, *ValoreCa;
    TLabel *ValoreRa, *ValoreRb, *ValoreRu, *ValoreRv, *ValoreR1, *ValoreTollerabile, *ValoreNd,
        *ValoreRuFattore;
    std::array<TLabel*, 4> ValoreAl{}, ValoreNl{}, ValoreRuLinea{}, ValoreRvLinea{};
    TLabel* LabelInsufficienti;
    TLabel* LabelEsitoRischio;
    TLabel* LabelEsitoVerdetto;

    // Every control's change: the page's values into TFulmini, Compute, the results.
    void ControlChange(TObject* Sender);

private:
    TFulmini* Lightning() const;
    void ReadControls();
    TProgetto* project_ = nullptr;
    bool updating_ = false;
};

// The tolerable risk of loss of human life.
constexpr double TolerableRiskR1 = 1e-5;
