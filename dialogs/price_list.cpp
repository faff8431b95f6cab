#include "dialogs/price_list.h"

#include "cells/cell.h"
#include "cells/library_cells.h"
#include "core/control_builders.h"
#include "core/globals.h"
#include "core/libraries.h"
#include "core/options.h"
#include "core/reporter.h"
#include "document/estimate.h"
#include "platform/application.h"
#include "platform/sysutils.h"

namespace {

template <class T>
T* Make(TComponent* owner, TWinControl* parent, int left, int top, int width, int height) {
    T* control = new T(owner);
    control->Parent = parent;
    control->SetBounds(left, top, width, height);
    return control;
}

constexpr int32_t PriceListTreeFlags = LibTreeLibraries | LibTreeCategories;

}  // namespace

TDatiListino::TDatiListino(TComponent* owner) : TForm(owner) {
    Caption = AnsiString(ApplicationTitle) + " - Listino componenti";
    BorderStyle = bsDialog;
    Position = poMainFormCenter;
    Width = 560;
    Height = 372;

    // The labels end at one right edge, left of their edits.
    struct Field {
        TEdit** edit;
        const char* caption;
        int maxLength;
    };
    const Field fields[] = {{&Categoria, "Categoria:", EstimateArticleSize - 1},
                            {&Codice, "Codice:", EstimateCodeSize - 1},
                            {&Articolo, "Articolo:", EstimateCodeSize - 1},
                            {&Marca, "Marca:", EstimateBrandSize - 1},
                            {&Quantita, "Quantità:", EstimateArticleSize - 1},
                            {&Prezzo, "Prezzo:", 0},
                            {&Installazione, "Installazione (min):", 0},
                            {&Descrizione, "Descrizione:", EstimateDescriptionSize - 1}};
    int top = 12;
    for (const Field& f : fields) {
        TLabel* label = Make<TLabel>(this, this, 8, top + 3, 120, 16);
        label->AutoSize = false;
        label->Alignment = taRightJustify;
        label->Caption = f.caption;
        *f.edit = Make<TEdit>(this, this, 132, top, 145, 21);
        (*f.edit)->MaxLength = f.maxLength;
        top += 30;
    }
    // What the fields hold: texts, and the figures the estimate takes.
    for (TEdit* e : {Categoria, Codice, Articolo, Marca, Descrizione}) e->Holds(TNumberRule::Text(), "");
    DeclareFigures();
    // The currency stands beside the price.
    Prezzo->Width = 90;
    Valuta = Make<TComboBox>(this, this, 226, Prezzo->Top, 51, 21);
    Valuta->Sorted = true;
    Valuta->OnEnter = Handler(this, &TDatiListino::ValutaEnter);
    Valuta->OnChange = Handler(this, &TDatiListino::ValutaChange);
    Prezzo->OnExit = Handler(this, &TDatiListino::PrezzoExit);

    NomeLibreria = Make<TLabel>(this, this, 292, 8, 60, 16);
    NomeLibreria->Caption = "Libreria";
    LineaLibreria = Make<TBevel>(this, this, 292, 24, 252, 2);
    LineaLibreria->Shape = bsTopLine;
    TreeComponenti = Make<TTreeView>(this, this, 292, 30, 252, 222);
    TreeComponenti->ReadOnly = true;
    TreeComponenti->OnDblClick = Handler(this, &TDatiListino::TreeComponentiDblClick);

    BAggiungi = Make<TButton>(this, this, 292, 258, 80, 25);
    BAggiungi->Caption = "Aggiungi";
    BAggiorna = Make<TButton>(this, this, 378, 258, 80, 25);
    BAggiorna->Caption = "Aggiorna";
    BElimina = Make<TButton>(this, this, 464, 258, 80, 25);
    BElimina->Caption = "Elimina";

    BAListino = Make<TButton>(this, this, 132, 300, 90, 25);
    BAListino->Caption = "A listino";
    BAListino->OnClick = Handler(this, &TDatiListino::BAListinoClick);
    BOk = Make<TButton>(this, this, 372, 300, 80, 25);
    BOk->Caption = "Ok";
    BOk->Default = true;
    BOk->OnClick = Handler(this, &TDatiListino::BOkClick);
    BAnnulla = Make<TButton>(this, this, 464, 300, 80, 25);
    BAnnulla->Caption = "Annulla";
    BAnnulla->Cancel = true;
    BAnnulla->OnClick = Handler(this, &TDatiListino::BAnnullaClick);

    OnShow = Handler(this, &TDatiListino::FormShow);
}

TDatiListino::~TDatiListino() = default;

void TDatiListino::DeclareFigures() {
    const TItemFigureRules rules = ItemFigureRules(CurrentCurrency);
    Quantita->Holds(rules.Quantity, rules.QuantityName);
    Prezzo->Holds(rules.Price, rules.PriceName);
    Installazione->Holds(rules.Minutes, rules.MinutesName);
}

void TDatiListino::AttachTo(TEstimateView* page) {
    page_ = page;
    if (page)
        page->ShowPriceList = [this](TVoceListino& item, int currency) { return Execute(item, currency); };
}

TVoceListino TDatiListino::Item() const {
    TVoceListino v;
    v.Code = Codice->Text;
    v.Article = Articolo->Text;
    v.Brand = Marca->Text;
    v.Description = Descrizione->Text;
    v.Quantity = Quantita->Text;
    v.Price = Prezzo->Text;
    v.Installation = Installazione->Text;
    v.CurrencyName = Valuta->Text;
    return v;
}

int TDatiListino::Execute(TVoceListino& item, int currency) {
    for (TEdit* e : {Codice, Categoria, Marca, Articolo, Prezzo, Installazione, Descrizione}) e->Text = "";
    Quantita->Text = "1";
    CurrentCurrency = static_cast<uint8_t>(currency);
    DeclareFigures();
    Valuta->Text = TOpzioni::GetCurrencyName(currency);
    const int result = ShowModal();
    item = Item();
    return result;
}

void TDatiListino::LibrariesChanged() {
    if (treeFilled_) FillLibraryTree(TreeComponenti, PriceListTreeFlags);
}

void TDatiListino::FormShow(TObject*) {
    if (!treeFilled_) {
        FillLibraryTree(TreeComponenti, PriceListTreeFlags);
        treeFilled_ = true;
    }
    Valuta->Enabled = false;
    for (TButton* b : {BAggiungi, BAggiorna, BElimina}) b->Visible = false;
    Categoria->ReadOnly = true;
    // The category only shows what the tree gave: typing starts on the code.
    ActiveControl = Codice;
}

void TDatiListino::TreeComponentiDblClick(TObject*) {
    TTreeNode* node = TreeComponenti->Selected;
    if (!node || node->Level() != 2 || !Librerie) return;
    TLibreria* library = Librerie->Find(node->Parent()->Parent()->Text);
    if (!library) return;
    std::unique_ptr<TCella> read;
    const bool wasOpen = library->IsOpen();
    if (wasOpen || library->Open()) {
        read = ReadLibraryCell(*library, node->Text);
        if (!wasOpen) library->Close();
    }
    if (!read) return;
    picked_ = std::move(read);
    const TCella* cell = picked_.get();
    Codice->Text = cell->Code;
    Articolo->Text = cell->Article;
    Marca->Text = cell->Brand;
    Descrizione->Text = cell->Description;
    CurrentCurrency = cell->Currency;
    DeclareFigures();
    Valuta->Text = TOpzioni::GetCurrencyName(cell->Currency);
    Prezzo->Text = FormatFloat(TOpzioni::GetCurrencyFormat(cell->Currency), cell->Price);
    Installazione->Text = cell->InstallMinutes < 0 ? AnsiString() : IntToStr(cell->InstallMinutes);
    Categoria->Text = cell->Category;
}

void TDatiListino::ValutaEnter(TObject*) {
    const AnsiString text = Valuta->Text;
    Valuta->Items->Clear();
    TOpzioni::FillMainCurrencies(*Valuta->Items);
    Valuta->Text = text;
}

void TDatiListino::ValutaChange(TObject*) {
    int next = TOpzioni::GetCurrencyIndex(Valuta->Text);
    if (next < 0) {
        next = CurrentCurrency;
        Valuta->Text = TOpzioni::GetCurrencyName(next);
    }
    // A price its field does not take is not converted; the currency stays.
    if (!Prezzo->HeldRule().Accepts(Prezzo->Text)) {
        Valuta->Text = TOpzioni::GetCurrencyName(CurrentCurrency);
        return;
    }
    const double price = ReadAmount(Prezzo->Text);
    if (next != CurrentCurrency) {
        const float converted =
            Opzioni ? Opzioni->ConvertPrice(static_cast<float>(price), CurrentCurrency, next) : LevelNone;
        if (converted >= 0.0f)
            Prezzo->Text = FormatFloat(TOpzioni::GetCurrencyFormat(next), converted);
        else
            Application->MessageBox("Manca il fattore di conversione tra la valuta " +
                                        TOpzioni::GetCurrencyName(CurrentCurrency) + " e la valuta " +
                                        TOpzioni::GetCurrencyName(next) +
                                        ". E' stato applicato il fattore 1.",
                                    ApplicationTitle, MB_OK | MB_ICONEXCLAMATION);
    }
    CurrentCurrency = static_cast<uint8_t>(next);
    DeclareFigures();
}

void TDatiListino::PrezzoExit(TObject*) {
    // A price its field does not take (only ever one the program wrote: a
    // typed one is refused before the field is left) stays for "Ok" to name.
    if (!Prezzo->HeldRule().Accepts(Prezzo->Text)) return;
    Prezzo->Text = FormatFloat(TOpzioni::GetCurrencyFormat(CurrentCurrency), ReadAmount(Prezzo->Text));
}

void TDatiListino::BAListinoClick(TObject*) {
    if (!page_ || !CheckItem() || !page_->AddEstimateItem(Item())) return;
    for (TEdit* e : {Codice, Articolo, Marca, Prezzo, Installazione, Descrizione}) e->Text = "";
    Quantita->Text = "1";
}

bool TDatiListino::CheckItem() {
    if (!page_) return true;
    TCampoVoce field = TCampoVoce::Codice;
    const AnsiString refusal = page_->ItemRefusal(Item(), &field);
    if (refusal.empty()) return true;
    Application->MessageBox(refusal, ApplicationTitle, MB_OK | MB_ICONEXCLAMATION);
    TEdit* at = field == TCampoVoce::Quantita        ? Quantita
                : field == TCampoVoce::Prezzo        ? Prezzo
                : field == TCampoVoce::Installazione ? Installazione
                                                     : Codice;
    if (at->CanFocus()) at->SetFocus();
    ActiveControl = at;
    return false;
}

void TDatiListino::BOkClick(TObject*) {
    // The article is checked before the form closes: a refusal keeps the
    // form open with every entry, the keyboard on the field at fault. With
    // no code "Ok" only closes.
    if (!Trim(Codice->Text).empty() && !CheckItem()) return;
    ModalResult = 1;
}
void TDatiListino::BAnnullaClick(TObject*) { ModalResult = 2; }
