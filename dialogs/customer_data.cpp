#include "dialogs/customer_data.h"

#include "core/reporter.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/application.h"

namespace {

constexpr int FormWidth = 616;
constexpr int FormHeight = 473;
constexpr int ButtonsTop = 416;
constexpr int RowStep = 21;
constexpr int GroupPadding = 16 + 4;
constexpr int WorkGroupHeight = 97;
constexpr int GroupWidth = FormWidth - 24;

// Header texts whose controls the form never shows.
constexpr int HiddenTexts[] = {20, 21, 23, 24, 25};

}  // namespace

TDatiCommittente::TDatiCommittente(TComponent* owner) : TForm(owner) {
    Caption = AnsiString(ApplicationTitle) + " - Dati progettuali";
    BorderStyle = bsDialog;
    Position = poMainFormCenter;
    Width = FormWidth;
    Height = FormHeight;
    OnShow = Handler(this, &TDatiCommittente::FormShow);

    // One labelled control: the label at left, the control after it.
    auto put = [this](TGroupBox* group, int index, TWinControl* control, const char* label, int left,
                      int labelWidth, int row, int width, int limit) {
        labels_[index] = MakeControl<TLabel>(this, group, left, 18 + row * RowStep, labelWidth, 17);
        labels_[index]->Caption = label;
        control->Parent = group;
        control->SetBounds(left + labelWidth, 16 + row * RowStep, width, 20);
        // Every field is text: telephone numbers, postcodes and tax codes
        // are codes, not figures.
        if (auto* edit = dynamic_cast<TCustomEdit*>(control)) {
            edit->MaxLength = limit;
            edit->Holds(TNumberRule::Text(), label);
        }
        if (auto* combo = dynamic_cast<TComboBox*>(control)) combo->MaxLength = limit;
        controls_[index] = control;
    };
    auto edit = [this](TEdit*& field) { return field = new TEdit(this); };

    GCommittente = MakeControl<TGroupBox>(this, this, 8, 4, GroupWidth, GroupPadding + 5 * RowStep);
    GCommittente->Caption = "Dati sul committente ";
    put(GCommittente, 0, edit(Nome), "Nome:", 8, 96, 0, 480, 50);
    put(GCommittente, 1, edit(Via), "Indirizzo:", 8, 96, 1, 480, 50);
    put(GCommittente, 2, edit(Citta), "Città:", 8, 96, 2, 480, 50);
    put(GCommittente, 3, edit(Tel), "Telefono:", 8, 96, 3, 180, 20);
    put(GCommittente, 4, edit(Fax), "Fax:", 304, 84, 3, 196, 20);
    put(GCommittente, 5, edit(CFisc), "Codice Fiscale:", 8, 96, 4, 180, 20);
    put(GCommittente, 6, edit(PIva), "Partita Iva:", 304, 84, 4, 196, 11);

    GLocazione = MakeControl<TGroupBox>(this, this, 8, 133, GroupWidth, GroupPadding + 3 * RowStep);
    GLocazione->Caption = "Locazione dell'edificio ";
    put(GLocazione, 7, edit(ELIndirizzo), "Indirizzo:", 8, 96, 0, 300, 50);
    put(GLocazione, 8, edit(ELNumero), "n.", 410, 18, 0, 44, 5);
    put(GLocazione, 9, edit(ELScala), "Scala:", 478, 42, 0, 60, 5);
    put(GLocazione, 10, edit(ELPiano), "Piano:", 8, 96, 1, 60, 10);
    put(GLocazione, 11, edit(ELInterno), "Interno:", 170, 52, 1, 44, 5);
    put(GLocazione, 12, edit(ELCap), "C.A.P.", 272, 44, 1, 60, 11);
    put(GLocazione, 13, edit(ELComune), "Comune:", 380, 56, 1, 144, 30);
    put(GLocazione, 14, edit(ELProvincia), "Provincia:", 8, 96, 2, 180, 20);

    GProprietario = MakeControl<TGroupBox>(this, this, 8, 220, GroupWidth, GroupPadding + 3 * RowStep);
    GProprietario->Caption = "Dati sul proprietario dell'edificio ";
    put(GProprietario, 15, edit(EPNome), "Nome:", 8, 96, 0, 480, 50);
    put(GProprietario, 16, edit(EPIndirizzo), "Indirizzo:", 8, 96, 1, 480, 50);
    put(GProprietario, 17, edit(EPCitta), "Città:", 8, 96, 2, 140, 30);
    put(GProprietario, 18, edit(EPTel), "Telefono:", 248, 60, 2, 110, 20);
    put(GProprietario, 19, edit(EPFax), "Fax:", 422, 30, 2, 124, 20);

    // The hidden controls sit below the memo; the form hides them when shown.
    GLavoro = MakeControl<TGroupBox>(this, this, 8, 310, GroupWidth, WorkGroupHeight + 120);
    GLavoro->Caption = "Descrizione del lavoro ";
    ELDescrizione = new TMemo(this);
    ELDescrizione->ScrollBars = ssVertical;
    put(GLavoro, 22, ELDescrizione, "Descrizione schematica:", 8, 136, 5, 440, 512);
    ELDescrizione->Height = 64;
    LDescrizione = labels_[22];
    put(GLavoro, 20, edit(ELEsecutore), "Dichiarante:", 8, 96, 0, 200, 30);
    put(GLavoro, 21, edit(ELProgettista), "Progettista:", 304, 84, 0, 196, 30);
    ELInteso = new TComboBox(this);
    for (const char* item : {"nuovo impianto", "trasformazione", "ampliamento", "manutenzione straordinaria"})
        ELInteso->Items->Add(item);
    put(GLavoro, 23, ELInteso, "Lavoro inteso come:", 8, 120, 1, 176, 30);
    ELUso = new TComboBox(this);
    for (const char* item : {"industriale", "civile", "commercio"}) ELUso->Items->Add(item);
    put(GLavoro, 24, ELUso, "Uso edificio:", 304, 84, 1, 196, 30);
    ELNote = new TMemo(this);
    put(GLavoro, 25, ELNote, "Note:", 8, 96, 2, 480, 512);
    ELNote->Height = 42;

    BOk = MakeControl<TButton>(this, this, FormWidth / 2 - 88, ButtonsTop, 75, 25);
    BOk->Caption = "Ok";
    BOk->Default = true;
    BOk->OnClick = Handler(this, &TDatiCommittente::BOkClick);
    BAnnulla = MakeControl<TButton>(this, this, FormWidth / 2 + 8, ButtonsTop, 75, 25);
    BAnnulla->Caption = "Annulla";
    BAnnulla->Cancel = true;
    BAnnulla->OnClick = Handler(this, &TDatiCommittente::BAnnullaClick);
}

void TDatiCommittente::FormShow(TObject*) {
    for (int index : HiddenTexts) {
        controls_[index]->Visible = false;
        labels_[index]->Visible = false;
    }
    LDescrizione->Top = 24 + 2;
    ELDescrizione->Top = 24;
    GLavoro->Height = WorkGroupHeight;
    BOk->Top = ButtonsTop;
    BAnnulla->Top = ButtonsTop;
    Height = FormHeight;
}

void TDatiCommittente::BOkClick(TObject*) { ModalResult = mrOk; }

void TDatiCommittente::BAnnullaClick(TObject*) { ModalResult = mrCancel; }

AnsiString TDatiCommittente::ControlText(int index) const {
    if (auto* edit = dynamic_cast<TCustomEdit*>(controls_[index])) return edit->Text;
    if (auto* combo = dynamic_cast<TComboBox*>(controls_[index])) return combo->Text;
    return "";
}

void TDatiCommittente::SetControlText(int index, const AnsiString& text) {
    if (auto* edit = dynamic_cast<TCustomEdit*>(controls_[index])) edit->Text = text;
    if (auto* combo = dynamic_cast<TComboBox*>(controls_[index])) combo->Text = text;
}

bool TDatiCommittente::Edit(TDatiCommittente& form, TProgetto& project) {
    AnsiString filled[CustomerTextCount];
    for (int i = 0; i < CustomerTextCount; ++i) {
        form.SetControlText(i, project.HeaderTexts[i]);
        filled[i] = form.ControlText(i);
    }
    if (form.ShowModal() != mrOk) return false;
    project.SetModified(ModDrawing);
    for (int i = 0; i < CustomerTextCount; ++i) {
        const AnsiString text = form.ControlText(i);
        if (text != filled[i]) project.HeaderTexts[i] = text;
    }
    return true;
}
