#include "dialogs/installer_data.h"

#include "core/globals.h"
#include "core/ini.h"
#include "core/reporter.h"
#include "platform/application.h"

namespace {

constexpr int EditLimit = 100;
// The visible group, then the conformity group below it, then the buttons.
constexpr int DatiHeight = 312;
constexpr int ConformityTop = 8 + DatiHeight + 8;
constexpr int ConformityStep = 27;
constexpr int ConformityHeight = 24 + 9 * ConformityStep;
constexpr int ButtonsTop = ConformityTop + ConformityHeight + 8;
// Window height over the buttons' bottom: the margin under them and the caption bar.
constexpr int FormHeight = ButtonsTop + 68;

struct TLabelled {
    TEdit* TDatiIntestazione::*Edit;
    const char* Label;
};

// clang-format off
constexpr TLabelled VisibleEdits[] = {
    {&TDatiIntestazione::EDitta, "Ragione sociale:"},
    {&TDatiIntestazione::EVia, "Indirizzo:"},
    {&TDatiIntestazione::ECitta, "Città e codice postale:"},
    {&TDatiIntestazione::EStato, "Stato:"},
    {&TDatiIntestazione::ETelefono, "Telefono:"},
    {&TDatiIntestazione::EFax, "Fax:"},
    {&TDatiIntestazione::ENote, "Note aggiuntive:"},
};
// clang-format on

// clang-format off
constexpr TLabelled ConformityEdits[] = {
    {&TDatiIntestazione::ENCCIAA, "Iscrizione Registro delle Ditte C.C.I.A.A. n."},
    {&TDatiIntestazione::EPCCIAA, "Provincia di"},
    {&TDatiIntestazione::ENAPIA, "Iscrizione Albo Provinciale delle Imprese Artigiane n."},
    {&TDatiIntestazione::EPAPIA, "Provincia di"},
    {&TDatiIntestazione::EPIva, "Partita IVA:"},
    {&TDatiIntestazione::ECap, "C.A.P.:"},
    {&TDatiIntestazione::ELocalita, "Località:"},
    {&TDatiIntestazione::EComune, "Comune:"},
    {&TDatiIntestazione::EProvincia, "Provincia:"},
};
// clang-format on

}  // namespace

const TDatiIntestazione::TField TDatiIntestazione::Fields[InstallerFieldCount] = {
    {"IDitta1", &TDatiIntestazione::EDitta},         {"IVia1", &TDatiIntestazione::EVia},
    {"ICitta1", &TDatiIntestazione::ECitta},         {"IStato1", &TDatiIntestazione::EStato},
    {"ITel1", &TDatiIntestazione::ETelefono},        {"IFax1", &TDatiIntestazione::EFax},
    {"INote1", &TDatiIntestazione::ENote},           {"ICap1", &TDatiIntestazione::ECap},
    {"ILocalita1", &TDatiIntestazione::ELocalita},   {"IComune1", &TDatiIntestazione::EComune},
    {"IProvincia1", &TDatiIntestazione::EProvincia}, {"IPIva1", &TDatiIntestazione::EPIva},
    {"INCCIAA1", &TDatiIntestazione::ENCCIAA},       {"IPCCIAA1", &TDatiIntestazione::EPCCIAA},
    {"INAPIA1", &TDatiIntestazione::ENAPIA},         {"IPAPIA1", &TDatiIntestazione::EPAPIA},
};

TDatiIntestazione::TDatiIntestazione(TComponent* owner) : TForm(owner) {
    Caption = AnsiString(ApplicationTitle) + " - Dati di personalizzazione programma";
    BorderStyle = bsDialog;
    Position = poMainFormCenter;
    Width = 480;
    Height = FormHeight;
    OnShow = Handler(this, &TDatiIntestazione::FormShow);

    GroupDati = MakeControl<TGroupBox>(this, this, 8, 8, 456, DatiHeight);
    GroupDati->Caption = "Dati personalizzazione ";
    int top = 24;
    for (const TLabelled& f : VisibleEdits) {
        TLabel* label = MakeControl<TLabel>(this, GroupDati, 12, top + 3, 140, 17);
        label->Caption = f.Label;
        TEdit* edit = MakeControl<TEdit>(this, GroupDati, 156, top, 288, 21);
        edit->MaxLength = EditLimit;
        edit->Holds(TNumberRule::Text(), f.Label);
        this->*f.Edit = edit;
        top += 40;
    }

    // The firm's registration data that the declaration of conformity prints.
    GroupConformita = MakeControl<TGroupBox>(this, this, 8, ConformityTop, 456, ConformityHeight);
    GroupConformita->Caption = "Dati integrativi per la dichiarazione di conformità ";
    top = 24;
    for (const TLabelled& f : ConformityEdits) {
        TLabel* label = MakeControl<TLabel>(this, GroupConformita, 12, top + 3, 300, 17);
        label->Caption = f.Label;
        // Registration numbers are codes: text.
        TEdit* edit = MakeControl<TEdit>(this, GroupConformita, 316, top, 128, 21);
        edit->MaxLength = EditLimit;
        edit->Holds(TNumberRule::Text(), f.Label);
        this->*f.Edit = edit;
        top += ConformityStep;
    }

    BOk = MakeControl<TButton>(this, this, 148, ButtonsTop, 75, 25);
    BOk->Caption = "Ok";
    BOk->Default = true;
    BOk->OnClick = Handler(this, &TDatiIntestazione::BOkClick);
    BAnnulla = MakeControl<TButton>(this, this, 256, ButtonsTop, 75, 25);
    BAnnulla->Caption = "Annulla";
    BAnnulla->Cancel = true;
    BAnnulla->OnClick = Handler(this, &TDatiIntestazione::BAnnullaClick);
}

void TDatiIntestazione::FormShow(TObject*) {
    GroupConformita->Visible = true;
    Height = FormHeight;
    BOk->Top = ButtonsTop;
    BAnnulla->Top = ButtonsTop;
}

void TDatiIntestazione::BOkClick(TObject*) {
    if (Ini) {
        TIniUpdate update(*Ini);
        for (const TField& f : Fields) Ini->WriteString(f.Name, (this->*f.Edit)->Text);
    }
    ModalResult = mrOk;
}

void TDatiIntestazione::BAnnullaClick(TObject*) {
    // What was typed is dropped in every case: printing reads these edits.
    LoadStoredValues();
    if (OnReload) OnReload();
    ModalResult = mrCancel;
}

void TDatiIntestazione::LoadStoredValues() {
    for (const TField& f : Fields) (this->*f.Edit)->Text = Ini ? Ini->String(f.Name) : AnsiString();
}

TEdit* TDatiIntestazione::EditOf(const AnsiString& name) const {
    for (const TField& f : Fields)
        if (name == f.Name) return this->*f.Edit;
    return nullptr;
}

AnsiString TDatiIntestazione::BuildHeaderLine() const {
    // Firm, address and town always stand with their separators, so that the
    // line keeps its shape when a part is not given; the further parts come
    // only when given.
    AnsiString line = EDitta->Text.Get() + " - " + EVia->Text.Get() + " - " + ECitta->Text.Get();
    if (!EStato->Text.Get().empty()) line += ", " + EStato->Text.Get();
    const bool telephone = !ETelefono->Text.Get().empty();
    if (telephone) line += " - Tel. " + ETelefono->Text.Get();
    if (!EFax->Text.Get().empty()) line += (telephone ? " Fax " : " - Fax ") + EFax->Text.Get();
    if (!ENote->Text.Get().empty()) line += " - " + ENote->Text.Get();
    return line;
}
