#pragma once
// TDatiAutSost: the data of the automatic mast sizing. The list of tubes the
// sizing may choose from (kept in the settings with four named selections),
// which of them are allowed this time, whether the joints are telescopic and
// where the antennas come from. Modal result 1 runs the sizing.
#include <vector>

#include "document/mast.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/menus.h"
#include "platform/stdctrls.h"

// The named selections: 1 to 4, and 0 for the one of the last "Ok", with
// which the form opens.
constexpr int MastPresets = 4;
constexpr int LastUsedPreset = 0;
// The refusal of "Ok" with no tube selected.
constexpr const char* NoSectionSelected = "Selezionare almeno un tronco.";

class TDatiAutSost : public TForm {
public:
    explicit TDatiAutSost(TComponent* owner = nullptr);

    // "d=28mm - s=2mm - l=3m": each number with at most one decimal.
    static AnsiString FormatSection(float d, float s, float l);
    // The three numbers of an item text; false when the text is not one
    // (nothing is read past its end).
    static bool ParseSection(const AnsiString& item, float& d, float& s, float& l);

    // Inserts the section before the first larger item (d, then s, then l);
    // an equal item makes it do nothing.
    void AddSection(float d, float s, float l);
    void LoadDefaultSections();
    // The list from the settings (lines that are not tubes are left out)
    // with the selection of the last "Ok" (preset 0) applied, every tube
    // selected when that selects none; the default sections, all selected,
    // when the settings hold no tube.
    void LoadSections();
    void LoadPreset(int n);
    void SavePreset(int n);
    // The selected items, in list order.
    std::vector<TTroncoPalo> SelectedSections() const;

    // Handlers.
    void FormShow(TObject* Sender);
    void ListClick(TObject* Sender);
    void RimuoviClick(TObject* Sender);
    void DefaultClick(TObject* Sender);
    void EditChange(TObject* Sender);
    void AggiungiClick(TObject* Sender);
    void OkClick(TObject* Sender);  // SaveSections
    void AnnullaClick(TObject* Sender);

    TGroupBox* GroupTronchi;
    TListBox* ListTronchi;
    TButton* ButtonRimuovi;
    TButton* ButtonDefault;
    TGroupBox* GroupNuovo;
    TEdit* EditD;
    TEdit* EditS;
    TEdit* EditL;
    TButton* ButtonAggiungi;
    TCheckBox* CheckTelescopici;
    TGroupBox* GroupAntenne;
    TRadioButton* RadioDisegno;  // "Antenne dal disegno"
    TRadioButton* RadioTesta;    // "Antenne dalla testa"
    TButton* ButtonOk;
    TButton* ButtonAnnulla;
    TMainMenu* MainMenu;
    TMenuItem* Preselezione[MastPresets];       // "&Preselezionati"
    TMenuItem* SalvaPreselezione[MastPresets];  // "&Salva"

private:
    void SelectAll();
    void UpdateRimuovi();
};
