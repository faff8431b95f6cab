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

#include "document/lightning_evaluation.h"
#include "document/mast.h"
#include "platform/extctrls.h"
#include "platform/grids.h"
#include "platform/stdctrls.h"

class TProgetto;
class TFulmini;

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
