#pragma once
// TDatiOpzioni: the options form. Four pages built in code: the norm limits
// per band ("Valori norma", coloured against the limits of fresh options),
// drawing and print settings ("Grafica"), the currency table with the
// reference currency and labour cost ("Valute"), and directories and
// document fonts ("Generale"). Nothing is stored before "Ok"; "Ok" reads
// every field first and keeps the form open on a text that is not a number.
#include <array>
#include <memory>

#include "core/levels.h"
#include "core/options.h"
#include "platform/comctrls.h"
#include "platform/dialogs.h"
#include "platform/forms.h"
#include "platform/grids.h"

constexpr int NormRows = 12;

class TDatiOpzioni : public TForm {
public:
    explicit TDatiOpzioni(TComponent* owner);
    ~TDatiOpzioni() override;

    // The controls show the options.
    void FillFrom(const TOpzioni& options);
    // Every field into the options. The figures are those their places took
    // (platform/numeric_places.h); a text a place would not take (only ever
    // one the program wrote) leaves its option as it was.
    void ReadInto(TOpzioni& options) const;

    // "" is no value, "*" the "not handled" sentinel, any other text its
    // number; false for a text that is not one.
    static bool ParseNormValue(const AnsiString& text, float& value);

    TPageControl* Pagine;
    TTabSheet *PaginaNorma, *PaginaGrafica, *PaginaValute, *PaginaGenerale;
    TButton *BDefault, *BOk, *BAnnulla;
    // "Valori norma": header labels (name, lower, centre, upper frequency) and the edits.
    std::array<std::array<TLabel*, BandSlots>, 4> BandHeaders{};
    std::array<TLabel*, NormRows> RowCaptions{};
    std::array<std::array<TEdit*, BandSlots>, NormRows> NormEdits{};
    // "Grafica"
    TGroupBox *GroupGrafica, *GroupSottofondo;
    TCheckBox *CheckAccavallamento, *CheckCanaliFiltri, *CheckCodiciFiltri, *CheckAmpliRitorno;
    TLabel* LabelMaxLarghezza;
    TEdit* EditMaxLarghezza;
    TComboBox* ComboBordo;
    TCheckBox* CheckSottofondo;
    TEdit* EditStringaObliqua;
    TComboBox* ComboFontObliqua;
    TPanel* PanelColore;
    TButton* BSeleziona;
    TComboBox* ComboLivello;
    std::array<TControl*, 9> SottofondoControls{};  // what "Visualizza sottofondo stampe" enables
    // "Valute"
    TStringGrid* GridValute;
    TComboBox* ComboValutaP;
    TEdit* EditCostoM;
    // "Generale"
    TEdit *EditDirProgetti, *EditDirLibrerie;
    TButton *BDirProgetti, *BDirLibrerie;
    std::array<TComboBox*, 5> FontCombos{};  // estimate, list, reports, declarations, covers
    TColorDialog* ColorDialog;

    // Made on the first show: the limits the typed values are coloured against.
    std::unique_ptr<TOpzioni> Working;
    // What "Ok" read, for the caller to take.
    std::unique_ptr<TOpzioni> Result;

    void FormShow(TObject* Sender);
    void CheckNormValue(TObject* Sender);
    void GridValuteSelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    void FontComboEnter(TObject* Sender);
    void CheckSottofondoClick(TObject* Sender);
    void BSelezionaClick(TObject* Sender);
    void BDirClick(TObject* Sender);
    void BDefaultClick(TObject* Sender);
    void BOkClick(TObject* Sender);
    void BAnnullaClick(TObject* Sender);

private:
    void MakeWorking();
    void BuildNormPage();
    void BuildGraphicsPage();
    void ArrangeGraphicsPage();
    void BuildCurrencyPage();
    void BuildGeneralPage();
    // The texts the edits were filled with and the values behind them, so
    // that an untouched edit gives its value back exactly.
    std::array<std::array<AnsiString, BandSlots>, NormRows> filledText_;
    std::array<std::array<float, BandSlots>, NormRows> filledValue_{};
};

// The program's options form, made on first use.
TDatiOpzioni& DatiOpzioni();
// "&Opzioni": fills the form from the program-wide options and shows it; on
// "Ok" the edited options become the program's and are saved. True then.
bool EditProgramOptions();
