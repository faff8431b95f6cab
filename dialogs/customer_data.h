#pragma once
// TDatiCommittente: the project's texts about the customer, the building's
// location, its owner and the work. The menu command fills the form from the
// project's header texts and reads them back on "Ok"; the texts of the
// controls the form keeps hidden pass through unchanged.
#include "platform/forms.h"
#include "platform/stdctrls.h"

class TProgetto;

constexpr int CustomerTextCount = 26;

class TDatiCommittente : public TForm {
public:
    explicit TDatiCommittente(TComponent* owner = nullptr);

    void FormShow(TObject* Sender);
    void BOkClick(TObject* Sender);
    void BAnnullaClick(TObject* Sender);

    // The control of header text index (0-25): an edit, a memo or a combo box.
    TWinControl* Control(int index) const { return controls_[index]; }
    AnsiString ControlText(int index) const;
    void SetControlText(int index, const AnsiString& text);

    // "Dati &progettuali": the project's 26 texts into the controls, the form
    // shown; on "Ok" the project is marked modified and takes the texts back.
    // A text whose control was not changed keeps its value, even where it is
    // longer than what may be typed. True on "Ok".
    static bool Edit(TDatiCommittente& form, TProgetto& project);

    TGroupBox* GCommittente;
    TGroupBox* GLocazione;
    TGroupBox* GProprietario;
    TGroupBox* GLavoro;
    TEdit *Nome, *Via, *Citta, *Tel, *Fax, *CFisc, *PIva;
    TEdit *ELIndirizzo, *ELNumero, *ELScala, *ELPiano, *ELInterno, *ELCap, *ELComune, *ELProvincia;
    TEdit *EPNome, *EPIndirizzo, *EPCitta, *EPTel, *EPFax;
    TEdit *ELEsecutore, *ELProgettista;
    TMemo* ELDescrizione;
    TComboBox *ELInteso, *ELUso;
    TMemo* ELNote;
    TLabel* LDescrizione;
    TButton* BOk;
    TButton* BAnnulla;

private:
    TWinControl* controls_[CustomerTextCount] = {};
    TLabel* labels_[CustomerTextCount] = {};
};
