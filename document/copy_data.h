#pragma once
// TFCopiaDati: the form of "Copia dati", on which the person ticks the
// components that receive the data of another one of the same kind. The
// caller fills Names, Described and Ticked (one entry per candidate, in
// chain order), shows the form, and on modal result 1 reads Ticked back.
// With "Visualizza solo componenti non descritti" ticked, described
// candidates are not listed, and a store of the selection leaves them
// unticked.
#include <cstdint>
#include <vector>

#include "platform/forms.h"
#include "platform/stdctrls.h"

class TFCopiaDati : public TForm {
public:
    explicit TFCopiaDati(TComponent* owner = nullptr);
    ~TFCopiaDati() override;

    std::vector<AnsiString> Names;
    std::vector<uint8_t> Described;
    std::vector<uint8_t> Ticked;

    // Lists the candidates the filter shows, selecting the ticked ones.
    void FillList();
    // Ticks exactly the candidates whose rows are selected.
    void StoreSelection();

    // Handlers.
    void FormShow(TObject* Sender);
    void CNDescrittiClick(TObject* Sender);
    void BTuttiClick(TObject* Sender);
    void BOkClick(TObject* Sender);
    void BAnnullaClick(TObject* Sender);

    TLabel* LRichiesta;
    TListBox* ListaComponenti;
    TButton* BOk;
    TButton* BTutti;
    TButton* BAnnulla;
    TCheckBox* CNDescritti;

private:
    std::vector<size_t> rows_;  // the candidate each listed row shows
};

// The program's one copy-data form: made at the start with the other forms,
// or on first use where the program was not started (tests).
extern TFCopiaDati* FCopiaDati;
TFCopiaDati* CopyDataForm();
