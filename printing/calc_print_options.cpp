#include "printing/calc_print_options.h"

#include "core/reporter.h"

TInfoStampaCalcoli::TInfoStampaCalcoli(TComponent* owner) : TForm(owner) {
    Caption = AnsiString(ApplicationTitle) + " - Immissione dati per stampa calcoli";
    BorderStyle = bsDialog;
    BorderIcons = TBorderIcons{};
    Position = poMainFormCenter;
    ClientWidth = 529;
    ClientHeight = 265;

    auto group = [this](int left, int top, int width, int height, const char* caption) {
        TGroupBox* g = MakeControl<TGroupBox>(this, this, left, top, width, height);
        g->Caption = caption;
        return g;
    };
    // The boxes stand inside their groups, below the captions, wide enough for them.
    auto box = [this](TGroupBox* g, int top, const char* caption) {
        TCheckBox* c = MakeControl<TCheckBox>(this, g, 8, top, 330, 17);
        c->Caption = caption;
        return c;
    };
    GRete = group(16, 16, 345, 97, "Calcoli di rete ");
    CMinMaxTesta = box(GRete, 24, "Segnali minimi e massimi ammessi al terminale di testa");
    CMinMaxPrese = box(GRete, 48, "Segnali minimi e massimi ottenibili alle prese");
    CSepPrese = box(GRete, 72, "Separazione tra le prese");
    GCanali = group(16, 128, 345, 73, "Calcoli dei canali ");
    CCanaliTesta = box(GCanali, 24, "Segnali dei canali in uscita al terminale di testa");
    CCanaliPrese = box(GCanali, 48, "Segnali dei canali alle prese");
    GSelect = group(384, 16, 129, 233, "Selezione prese ");
    CTutte = MakeControl<TRadioButton>(this, GSelect, 16, 24, 57, 17);
    CTutte->Caption = "Tutte";
    CTutte->OnClick = Handler(this, &TInfoStampaCalcoli::CTutteClick);
    CAlcune = MakeControl<TRadioButton>(this, GSelect, 16, 48, 65, 17);
    CAlcune->Caption = "Alcune";
    CAlcune->OnClick = Handler(this, &TInfoStampaCalcoli::CAlcuneClick);
    LPrese = MakeControl<TListBox>(this, GSelect, 16, 72, 97, 153);
    LPrese->MultiSelect = true;
    BOk = MakeControl<TButton>(this, this, 104, 224, 75, 25);
    BOk->Caption = "Ok";
    BOk->Default = true;
    BOk->OnClick = Handler(this, &TInfoStampaCalcoli::BOkClick);
    BAnnulla = MakeControl<TButton>(this, this, 208, 224, 75, 25);
    BAnnulla->Caption = "Annulla";
    BAnnulla->Cancel = true;
    BAnnulla->OnClick = Handler(this, &TInfoStampaCalcoli::BAnnullaClick);
}

void TInfoStampaCalcoli::CTutteClick(TObject*) { LPrese->Enabled = false; }

void TInfoStampaCalcoli::CAlcuneClick(TObject*) { LPrese->Enabled = true; }

void TInfoStampaCalcoli::BOkClick(TObject*) { ModalResult = mrOk; }

void TInfoStampaCalcoli::BAnnullaClick(TObject*) { ModalResult = mrCancel; }

bool TInfoStampaCalcoli::AnyTable() const {
    for (const TCheckBox* c : {CMinMaxTesta, CMinMaxPrese, CSepPrese, CCanaliTesta, CCanaliPrese})
        if (c->Checked) return true;
    return false;
}
