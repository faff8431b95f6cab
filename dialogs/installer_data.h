#pragma once
// TDatiIntestazione: the installer firm's data, kept in the settings, that
// the program prints in the header of every page and shows in the main
// window's status bar, and the firm's registration data that the declaration
// of conformity prints, in a group of their own below.
#include <functional>

#include "platform/forms.h"
#include "platform/stdctrls.h"

constexpr int InstallerFieldCount = 16;

class TDatiIntestazione : public TForm {
public:
    explicit TDatiIntestazione(TComponent* owner = nullptr);

    void FormShow(TObject* Sender);
    void BOkClick(TObject* Sender);
    void BAnnullaClick(TObject* Sender);

    // The one line of the firm's data: firm, address, town, country,
    // telephone, fax and note, those given, each after its separator.
    AnsiString BuildHeaderLine() const;
    AnsiString BuildHeaderText() const { return BuildHeaderLine(); }
    // Puts the stored values (empty where nothing is stored) into all sixteen edits.
    void LoadStoredValues();
    // The edit of a settings name ("IDitta1" ... "IPAPIA1"), or none.
    TEdit* EditOf(const AnsiString& name) const;

    // Run by "Annulla" once the edits hold the stored values again (the main
    // form reloads its header line).
    std::function<void()> OnReload;

    TGroupBox* GroupDati;
    TGroupBox* GroupConformita;
    TEdit* EDitta;
    TEdit* EVia;
    TEdit* ECitta;
    TEdit* EStato;
    TEdit* ETelefono;
    TEdit* EFax;
    TEdit* ENote;
    TEdit* ENCCIAA;
    TEdit* EPCCIAA;
    TEdit* ENAPIA;
    TEdit* EPAPIA;
    TEdit* EPIva;
    TEdit* ECap;
    TEdit* ELocalita;
    TEdit* EComune;
    TEdit* EProvincia;
    TButton* BOk;
    TButton* BAnnulla;

    // The settings name of each edit, the seven visible ones first.
    struct TField {
        const char* Name;
        TEdit* TDatiIntestazione::*Edit;
    };
    static const TField Fields[InstallerFieldCount];
};
