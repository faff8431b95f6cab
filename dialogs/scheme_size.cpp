#include "dialogs/scheme_size.h"

#include <algorithm>

#include "core/reporter.h"
#include "document/project_files.h"

TDimensioneSchemi::TDimensioneSchemi(TComponent* owner) : TForm(owner) {
    Caption = AnsiString(ApplicationTitle) + " - Dimensioni schemi";
    BorderStyle = bsDialog;
    Position = poMainFormCenter;
    ClientWidth = 233;
    ClientHeight = 145;
    OnShow = Handler(this, &TDimensioneSchemi::FormShow);

    auto group = [this](int left, const char* caption) {
        TGroupBox* g = MakeControl<TGroupBox>(this, this, left, 8, 105, 89);
        g->Caption = caption;
        return g;
    };
    auto size = [this](TGroupBox* g, int top, const char* caption, TLabel*& label, TEdit*& edit) {
        label = MakeControl<TLabel>(this, g, 8, top + 3, 50, 17);
        label->Caption = caption;
        edit = MakeControl<TEdit>(this, g, 58, top, 38, 21);
        edit->OnChange = Handler(this, &TDimensioneSchemi::ERRigheChange);
    };
    GRete = group(8, "Rete ");
    size(GRete, 24, "Righe:", LRRighe, ERRighe);
    size(GRete, 56, "Colonne: ", LRColonne, ERColonne);
    GTesta = group(120, "Testa ");
    size(GTesta, 24, "Righe:", LTRighe, ETRighe);
    size(GTesta, 56, "Colonne: ", LTColonne, ETColonne);

    BOk = MakeControl<TButton>(this, this, 32, 108, 75, 25);
    BOk->Caption = "Ok";
    BOk->Default = true;
    BOk->OnClick = Handler(this, &TDimensioneSchemi::BOkClick);
    BAnnulla = MakeControl<TButton>(this, this, 126, 108, 75, 25);
    BAnnulla->Caption = "Annulla";
    BAnnulla->Cancel = true;
    BAnnulla->OnClick = Handler(this, &TDimensioneSchemi::BAnnullaClick);
}

void TDimensioneSchemi::FormShow(TObject*) {
    // A size from the least that keeps every cell drawn up to the largest
    // grid a project file holds.
    auto holds = [](TEdit* edit, int32_t least, const char* name) {
        edit->Holds(TNumberRule::Whole(std::max<int32_t>(1, least), MaxProjectGridSize), name);
    };
    holds(ERRighe, NetworkMinRows, "Rete, righe");
    holds(ERColonne, NetworkMinColumns, "Rete, colonne");
    holds(ETRighe, HeadEndMinRows, "Testa, righe");
    holds(ETColonne, HeadEndMinColumns, "Testa, colonne");
    BOk->Enabled = true;
}

int32_t TDimensioneSchemi::SizeOf(const TEdit* edit) {
    const AnsiString& text = edit->Text;
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != AnsiString::npos) return 0;
    return static_cast<int32_t>(std::stol(text));
}

void TDimensioneSchemi::ERRigheChange(TObject*) {
    // Above the largest grid a project file holds, a resize would ask for
    // more squares than the program can keep.
    auto fits = [](const TEdit* edit, int32_t least) {
        const int32_t n = SizeOf(edit);
        return n >= least && n <= MaxProjectGridSize;
    };
    BOk->Enabled = fits(ERRighe, NetworkMinRows) && fits(ERColonne, NetworkMinColumns) &&
                   fits(ETRighe, HeadEndMinRows) && fits(ETColonne, HeadEndMinColumns);
}

void TDimensioneSchemi::BOkClick(TObject*) { ModalResult = mrOk; }

void TDimensioneSchemi::BAnnullaClick(TObject*) { ModalResult = mrCancel; }
