#include "document/copy_data.h"

#include "core/reporter.h"
#include "platform/application.h"

TFCopiaDati* FCopiaDati = nullptr;

TFCopiaDati* CopyDataForm() {
    if (!FCopiaDati) FCopiaDati = new TFCopiaDati(Application);
    return FCopiaDati;
}

TFCopiaDati::TFCopiaDati(TComponent* owner) : TForm(owner) {
    Caption = AnsiString(ApplicationTitle) + " - Copia dati da ...";
    BorderStyle = bsDialog;
    Position = poMainFormCenter;
    Width = 329;
    Height = 333;

    LRichiesta = MakeControl<TLabel>(this, this, 8, 10, 305, 13);
    LRichiesta->AutoSize = false;
    LRichiesta->Alignment = taCenter;
    LRichiesta->Caption = "Seleziona i componenti su cui copiare i dati";
    ListaComponenti = MakeControl<TListBox>(this, this, 8, 32, 209, 217);
    ListaComponenti->MultiSelect = true;
    BOk = MakeControl<TButton>(this, this, 232, 32, 81, 25);
    BOk->Caption = "Ok";
    BOk->Default = true;
    BOk->OnClick = Handler(this, &TFCopiaDati::BOkClick);
    BTutti = MakeControl<TButton>(this, this, 232, 64, 81, 25);
    BTutti->Caption = "Tutti";
    BTutti->OnClick = Handler(this, &TFCopiaDati::BTuttiClick);
    BAnnulla = MakeControl<TButton>(this, this, 232, 96, 81, 25);
    BAnnulla->Caption = "Annulla";
    BAnnulla->Cancel = true;
    BAnnulla->OnClick = Handler(this, &TFCopiaDati::BAnnullaClick);
    CNDescritti = MakeControl<TCheckBox>(this, this, 8, 260, 305, 17);
    CNDescritti->Caption = "Visualizza solo componenti non descritti";
    CNDescritti->Checked = true;
    CNDescritti->OnClick = Handler(this, &TFCopiaDati::CNDescrittiClick);
    OnShow = Handler(this, &TFCopiaDati::FormShow);
}

TFCopiaDati::~TFCopiaDati() {
    if (FCopiaDati == this) FCopiaDati = nullptr;
}

void TFCopiaDati::FillList() {
    ListaComponenti->Items->Clear();
    rows_.clear();
    const bool onlyUndescribed = CNDescritti->Checked;
    for (size_t i = 0; i < Names.size(); ++i) {
        const bool described = i < Described.size() && Described[i];
        if (onlyUndescribed && described) continue;
        ListaComponenti->Items->Add(Names[i]);
        rows_.push_back(i);
        if (i < Ticked.size() && Ticked[i])
            ListaComponenti->Selected[static_cast<int>(rows_.size()) - 1] = true;
    }
}

void TFCopiaDati::StoreSelection() {
    Ticked.assign(Names.size(), 0);
    // Rows know their candidate: two components with one name stay apart.
    for (size_t row = 0; row < rows_.size(); ++row)
        if (rows_[row] < Ticked.size() && ListaComponenti->Selected[static_cast<int>(row)])
            Ticked[rows_[row]] = 1;
}

void TFCopiaDati::FormShow(TObject*) { FillList(); }

void TFCopiaDati::CNDescrittiClick(TObject*) {
    StoreSelection();
    FillList();
}

void TFCopiaDati::BTuttiClick(TObject*) {
    for (int row = 0; row < ListaComponenti->Items->Count(); ++row) ListaComponenti->Selected[row] = true;
}

void TFCopiaDati::BOkClick(TObject*) {
    StoreSelection();
    ModalResult = mrOk;
}

void TFCopiaDati::BAnnullaClick(TObject*) { ModalResult = mrCancel; }
