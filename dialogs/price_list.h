#pragma once
// TDatiListino: the price-list form in which the person describes an article
// to add to the estimate by hand, typed in or picked from a component library
// by a double click in the tree. "A listino" adds it and keeps the form open
// for the next one; "Ok" closes with 1, "Annulla" with 2.
#include <cstdint>
#include <memory>

#include "document/estimate_amounts.h"
#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"

class TCella;

class TDatiListino : public TForm {
public:
    explicit TDatiListino(TComponent* owner = nullptr);
    ~TDatiListino() override;

    // The page whose estimate receives the articles; the page's trailing row
    // opens this form from then on.
    void AttachTo(TEstimateView* page);
    // Empties the fields but the quantity ("1"), takes the currency, shows the
    // form modally and hands back what it holds.
    int Execute(TVoceListino& item, int currency);
    // The edits' texts as the estimate page reads them.
    TVoceListino Item() const;
    // Lists the libraries registered since the tree was filled.
    void LibrariesChanged();

    void FormShow(TObject* Sender);
    void TreeComponentiDblClick(TObject* Sender);
    void ValutaEnter(TObject* Sender);
    void ValutaChange(TObject* Sender);
    void PrezzoExit(TObject* Sender);
    void BAListinoClick(TObject* Sender);
    void BOkClick(TObject* Sender);
    void BAnnullaClick(TObject* Sender);

    TEdit* Categoria;
    TEdit* Codice;
    TEdit* Articolo;
    TEdit* Marca;
    TEdit* Quantita;
    TEdit* Prezzo;
    TComboBox* Valuta;
    TEdit* Installazione;
    TEdit* Descrizione;
    TLabel* NomeLibreria;
    TBevel* LineaLibreria;
    TTreeView* TreeComponenti;
    TButton* BAListino;
    TButton* BOk;
    TButton* BAnnulla;
    TButton* BAggiungi;
    TButton* BAggiorna;
    TButton* BElimina;

    uint8_t CurrentCurrency = 1;  // the currency the price text is in

private:
    // What the figures' fields hold, the price in the current currency.
    void DeclareFigures();
    // Whether the estimate takes the item the fields describe; if not, the
    // reason is shown and the keyboard goes to the field at fault.
    bool CheckItem();

    TEstimateView* page_ = nullptr;
    std::unique_ptr<TCella> picked_;  // the library element last picked
    bool treeFilled_ = false;
};
