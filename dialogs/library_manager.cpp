#include "dialogs/library_manager.h"

#include <memory>

#include "cells/auto_mix.h"
#include "cells/cables.h"
#include "cells/cell.h"
#include "cells/library_cells.h"
#include "core/globals.h"
#include "core/levels.h"
#include "core/options.h"
#include "core/reporter.h"
#include "core/scoped_flag.h"
#include "document/estimate_amounts.h"
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

struct Column {
    const char* header;
    int width;
    AnsiString TCella::*field;  // the text field the column shows, if any
    int maxLength;
};
const Column Columns[9] = {{"", 10, nullptr, 0},
                           {"Categoria", 80, &TCella::Category, 29},
                           {"Marca", 80, &TCella::Brand, 19},
                           {"Serie", 80, &TCella::Series, 19},
                           {"Codice", 80, &TCella::Code, 19},
                           {"Articolo", 80, &TCella::Article, 29},
                           {"Descrizione", 180, &TCella::Description, 29},
                           {"Valuta", 80, nullptr, 0},
                           {"Prezzo", 65, nullptr, 0}};
constexpr int ColCode = 4;
constexpr int ColCurrency = 7;
constexpr int ColPrice = 8;

// The fields a row edits, kept to put an entry back when its write fails.
struct RowFields {
    AnsiString texts[9];
    uint8_t currency;
    float price;
    explicit RowFields(const TCella& c) : currency(c.Currency), price(c.Price) {
        for (int i = 1; i <= 6; ++i) texts[i] = c.*Columns[i].field;
    }
    void Restore(TCella& c) const {
        for (int i = 1; i <= 6; ++i) c.*Columns[i].field = texts[i];
        c.Currency = currency;
        c.Price = price;
    }
};

// The kind bit a head-end module entry carries in the flag word of its first
// module, so that the designer tells the module families apart.
void MarkModuleKind(TCella& entry) {
    const uint32_t bit = ModuleKindOf(entry.TypeCode);
    auto* module = dynamic_cast<TCellaAutoMix*>(&entry);
    if (bit && module && module->Modules && module->Modules->head) module->Modules->head->flags |= bit;
}

AnsiString PriceText(int currency, float price) {
    return PadLeft(FormatFloat(TOpzioni::GetCurrencyFormat(currency), price), LibraryPriceWidth);
}

}  // namespace

TGestioneLibrerie::TGestioneLibrerie(TComponent* owner) : TForm(owner) {
    Caption = AnsiString(ApplicationTitle) + " - Gestione librerie";
    Position = poMainFormCenter;
    Width = 800;
    Height = 570;

    struct Filter {
        TLabel** label;
        TComboBox** combo;
        const char* caption;
        int left;
    };
    const Filter filters[] = {{&LabelLibreria, &Libreria, "Libreria:", 72},
                              {&LabelCategoria, &Categoria, "Categoria:", 320},
                              {&LabelSerie, &Serie, "Serie:", 544}};
    for (const Filter& f : filters) {
        *f.label = Make<TLabel>(this, this, f.left - 64, 32, 60, 16);
        (*f.label)->Caption = f.caption;
        *f.combo = Make<TComboBox>(this, this, f.left, 24, 145, 21);
    }
    Libreria->Style = csDropDownList;
    Libreria->OnEnter = Handler(this, &TGestioneLibrerie::LibreriaEnter);
    Libreria->OnChange = Handler(this, &TGestioneLibrerie::LibreriaChange);
    Categoria->OnEnter = Handler(this, &TGestioneLibrerie::CategoriaEnter);
    Categoria->OnChange = Handler(this, &TGestioneLibrerie::CategoriaChange);
    Serie->OnEnter = Handler(this, &TGestioneLibrerie::SerieEnter);
    Serie->OnChange = Handler(this, &TGestioneLibrerie::SerieChange);

    Grid = Make<TStringGrid>(this, this, 8, 64, 776, 421);
    Grid->Font->Name = "Arial";
    Grid->ColCount = 9;
    Grid->RowCount = 2;
    Grid->FixedCols = 0;
    Grid->FixedRows = 1;
    Grid->DefaultRowHeight = 18;
    TGridOptions options = Grid->Options;
    options << goEditing << goColSizing;
    Grid->Options = options;
    for (int c = 0; c < 9; ++c) {
        Grid->ColWidths[c] = Columns[c].width;
        Grid->Cells[c][0] = Columns[c].header;
    }
    // The price, to a cent, is the only figure; the currency is chosen in
    // its list, the rest are texts.
    for (int c = 0; c < 9; ++c) Grid->ColumnHolds(c, TNumberRule::Text());
    Grid->ColumnHolds(ColPrice, TNumberRule::Decimal(0, 9999999, 2).OrEmpty());
    Grid->OnMouseDown = Handler(this, &TGestioneLibrerie::GridMouseDown);
    Grid->OnSelectCell = Handler(this, &TGestioneLibrerie::GridSelectCell);
    Grid->OnGetEditText = Handler(this, &TGestioneLibrerie::GridGetEditText);
    Grid->OnSetEditText = Handler(this, &TGestioneLibrerie::GridSetEditText);
    Grid->OnKeyDown = Handler(this, &TGestioneLibrerie::GridKeyDown);
    Grid->OnDblClick = Handler(this, &TGestioneLibrerie::GridDblClick);

    Valuta = Make<TComboBox>(this, this, 0, 0, 80, 21);
    Valuta->Visible = false;
    Valuta->OnChange = Handler(this, &TGestioneLibrerie::ValutaChange);
    Valuta->OnExit = Handler(this, &TGestioneLibrerie::ValutaExit);
    Valuta->OnKeyDown = Handler(this, &TGestioneLibrerie::ValutaKeyDown);

    BVerifica = Make<TButton>(this, this, 8, 504, 80, 25);
    BVerifica->Caption = "Verifica";
    BVerifica->OnClick = Handler(this, &TGestioneLibrerie::BVerificaClick);
    BChiudi = Make<TButton>(this, this, 696, 504, 80, 25);
    BChiudi->Caption = "Chiudi";
    BChiudi->Cancel = true;
    BChiudi->OnClick = Handler(this, &TGestioneLibrerie::BChiudiClick);

    OnShow = Handler(this, &TGestioneLibrerie::FormShow);
    OnClose = Handler(this, &TGestioneLibrerie::FormClose);
}

TGestioneLibrerie::~TGestioneLibrerie() = default;

TCella* TGestioneLibrerie::EntryWithCode(const AnsiString& code) const {
    for (TCella* c = Entries.head; c; c = c->NextInList)
        if (c->Code == code) return c;
    return nullptr;
}

void TGestioneLibrerie::LoadLibrary() {
    TLibreria* library = Librerie ? Librerie->Find(Libreria->Text) : nullptr;
    if (!library) return;
    const bool wasOpen = library->IsOpen();
    if (!wasOpen && !library->Open(false)) return;
    CurrentEntry = nullptr;
    Entries.Clear();
    for (std::unique_ptr<TCella> cell = FirstLibraryCell(*library); cell; cell = NextLibraryCell(*library)) {
        cell->Owner = nullptr;
        Entries.InsertSorted(std::move(cell), SortKey);
    }
    if (!wasOpen) library->Close();
}

void TGestioneLibrerie::FilterEntries() {
    CurrentEntry = nullptr;
    CurrentRow = 1;
    RowModified = 0;
    int rows = 0;
    for (TCella* c = Entries.head; c; c = c->NextInList) {
        if (!Categoria->Text.Get().empty() && c->Category != Categoria->Text.Get()) continue;
        if (!Serie->Text.Get().empty() && c->Series != Serie->Text.Get()) continue;
        ++rows;
        Grid->RowCount = rows + 1;
        EntryToRow(c, rows);
    }
    if (rows == 0) {
        // Nothing matches: an empty listing, with no entry to edit.
        Grid->RowCount = 2;
        TUpdatingByte updating(Updating);
        Grid->ClearRow(1);
    }
    {
        TUpdatingByte updating(Updating);
        Grid->Selection = TGridRect{1, 1, 1, 1};
    }
    if (rows > 0) CurrentEntry = EntryWithCode(Grid->Cells[ColCode][1]);
}

void TGestioneLibrerie::EntryToRow(TCella* entry, int row) {
    TUpdatingByte updating(Updating);
    Grid->Cells[0][row] = "";
    for (int c = 1; c <= 6; ++c) Grid->Cells[c][row] = entry->*Columns[c].field;
    Grid->Cells[ColCurrency][row] = TOpzioni::GetCurrencyName(entry->Currency);
    Grid->Cells[ColPrice][row] = PriceText(entry->Currency, entry->Price);
}

void TGestioneLibrerie::RowToEntry(TCella* entry, int row) {
    for (int c = 1; c <= 6; ++c)
        entry->*Columns[c].field = AnsiString(Grid->Cells[c][row]).substr(0, Columns[c].maxLength);
    const int currency = TOpzioni::GetCurrencyIndex(Grid->Cells[ColCurrency][row]);
    if (currency >= 0) entry->Currency = static_cast<uint8_t>(currency);
    entry->Price = static_cast<float>(ReadAmount(Grid->Cells[ColPrice][row]));
}

bool TGestioneLibrerie::ValidateRow() {
    if (AnsiString(Grid->Cells[0][CurrentRow]).empty()) return true;
    if (!CurrentEntry) return false;
    const AnsiString code = Grid->Cells[ColCode][CurrentRow];
    if (code.empty()) return false;
    // Every loaded entry counts, the ones the filters hide too: two entries
    // with one code would overwrite each other in the file.
    for (TCella* c = Entries.head; c; c = c->NextInList)
        if (c != CurrentEntry && c->Code == code) return false;
    return true;
}

void TGestioneLibrerie::SaveEntry() {
    if (!CurrentEntry || AnsiString(Grid->Cells[0][CurrentRow]).empty()) return;
    const RowFields before(*CurrentEntry);
    std::unique_ptr<TCella> backup;
    if (EditClone) {
        backup = CurrentEntry->Clone();
        EditClone->Assign(CurrentEntry);
        EditClone.reset();
    }
    const AnsiString oldCode = CurrentEntry->Code;
    RowToEntry(CurrentEntry, CurrentRow);
    TLibreria* library = Librerie ? Librerie->Find(Libreria->Text) : nullptr;
    const bool wasOpen = library && library->IsOpen();
    bool written = false;
    if (library && (wasOpen || library->Open(true))) {
        MarkModuleKind(*CurrentEntry);
        // The entry goes in under its new code first; the old code goes only
        // once that write has succeeded, so a failure loses nothing.
        written = WriteLibraryCell(*library, *CurrentEntry);
        if (written && CurrentEntry->Code != oldCode) library->DeleteEntry(oldCode);
        if (!wasOpen) library->Close();
    }
    if (!written) {
        // The file is as it was: so is the entry and its row.
        if (backup) backup->Assign(CurrentEntry);
        before.Restore(*CurrentEntry);
        EntryToRow(CurrentEntry, CurrentRow);
        return;
    }
    // The row shows the entry as written: the marker goes, the price is formatted.
    EntryToRow(CurrentEntry, CurrentRow);
}

void TGestioneLibrerie::CancelRowEdit() {
    if (CurrentEntry) EntryToRow(CurrentEntry, CurrentRow);
    if (Valuta->Visible) {
        {
            TUpdatingByte updating(Updating);
            Valuta->Text = Grid->Cells[ColCurrency][CurrentRow];
        }
        const int index = TOpzioni::GetCurrencyIndex(Valuta->Text);
        if (index >= 0) CurrentCurrency = static_cast<uint8_t>(index);
    }
    RowModified = 0;
    EditClone.reset();
}

void TGestioneLibrerie::CommitPendingRow() {
    if (!RowModified) {
        EditClone.reset();
        return;
    }
    if (!ValidateRow())
        CancelRowEdit();
    else
        SaveEntry();
    RowModified = 0;
}

namespace {

// An entry's own check. A cable article has no length of its own (the length
// belongs to a run on a drawing): it is judged by its loss per 100 m, on a
// copy that stands for a run of no length.
bool EntryIsSound(TCella& entry) {
    auto* cable = dynamic_cast<TNCavo*>(&entry);
    if (!cable || cable->PassAttenuation() != CableLengthNone) return entry.CheckData("");
    std::unique_ptr<TCella> probe = cable->Clone();
    auto* run = dynamic_cast<TNCavo*>(probe.get());
    if (!run) return entry.CheckData("");
    run->SetLength(0.0f);
    return run->CheckData("");
}

}  // namespace

void TGestioneLibrerie::VerifyLibrary() {
    CommitPendingRow();
    CurrentEntry = nullptr;
    CurrentRow = 1;
    int failed = 0;
    {
        // The checks run silently: one box at the end says how it went.
        const TReporterOff quiet(GestoreErrori);
        for (TCella* c = Entries.head; c; c = c->NextInList) {
            if (EntryIsSound(*c)) continue;
            ++failed;
            Grid->RowCount = failed + 1;
            EntryToRow(c, failed);
        }
    }
    if (failed > 0) {
        {
            TUpdatingByte updating(Updating);
            Grid->Selection = TGridRect{1, 1, 1, 1};
        }
        CurrentEntry = EntryWithCode(Grid->Cells[ColCode][1]);
        Application->MessageBox("I componenti elencati in tabella contengono errori.", ApplicationTitle,
                                MB_OK | MB_ICONWARNING);
    } else {
        if (!AnsiString(Grid->Cells[ColCode][1]).empty())
            CurrentEntry = EntryWithCode(Grid->Cells[ColCode][Grid->Row]);
        CurrentRow = Grid->Row;
        Application->MessageBox("I componenti della libreria selezionata sono corretti.", ApplicationTitle,
                                MB_OK | MB_ICONINFORMATION);
    }
}

void TGestioneLibrerie::FillFilter(TComboBox* combo, AnsiString TCella::*field) {
    CommitPendingRow();
    const AnsiString text = combo->Text;
    TStringList& items = *combo->Items;
    items.Clear();
    items.Add("");
    for (TCella* c = Entries.head; c; c = c->NextInList)
        if (!(c->*field).empty() && items.IndexOf(c->*field) < 0) items.Add(c->*field);
    combo->Text = text;
}

void TGestioneLibrerie::RefilterAfter(bool reload) {
    CommitPendingRow();
    CurrentEntry = nullptr;
    if (reload) LoadLibrary();
    FilterEntries();
}

void TGestioneLibrerie::ListLibraries() {
    const AnsiString text = Libreria->Text;
    Libreria->Items->Clear();
    if (Librerie) Librerie->ListNames(*Libreria->Items);
    Libreria->ItemIndex = Libreria->Items->IndexOf(text);
}

// The combo lists the libraries registered now: one may have been made since
// the form was last shown.
void TGestioneLibrerie::FormShow(TObject*) { ListLibraries(); }

void TGestioneLibrerie::FormClose(TObject*, TCloseAction&) { CommitPendingRow(); }

void TGestioneLibrerie::LibreriaEnter(TObject*) {
    CommitPendingRow();
    ListLibraries();
}

void TGestioneLibrerie::LibreriaChange(TObject*) { RefilterAfter(true); }
void TGestioneLibrerie::CategoriaEnter(TObject*) { FillFilter(Categoria, &TCella::Category); }
void TGestioneLibrerie::CategoriaChange(TObject*) { RefilterAfter(false); }
void TGestioneLibrerie::SerieEnter(TObject*) { FillFilter(Serie, &TCella::Series); }
void TGestioneLibrerie::SerieChange(TObject*) { RefilterAfter(false); }

void TGestioneLibrerie::GridMouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
    int col = -1, row = -1;
    Grid->MouseToCell(X, Y, col, row);
    if (row != 0 || col < 1 || col > 5 || col - 1 == SortKey) return;
    SortKey = col - 1;
    RefilterAfter(true);
}

void TGestioneLibrerie::GridSelectCell(TObject*, int ACol, int ARow, bool& CanSelect) {
    if (Updating) return;
    CanSelect = false;
    if (ARow < 1 || !CurrentEntry) return;
    if (ARow != CurrentRow) {
        if (!ValidateRow()) return;
        SaveEntry();
        RowModified = 0;
    }
    if (AnsiString(Grid->Cells[ColCode][CurrentRow]).empty()) return;
    if (ARow != CurrentRow) {
        CurrentRow = ARow;
        CurrentEntry = EntryWithCode(Grid->Cells[ColCode][ARow]);
    }
    if (ACol == 0) return;
    if (ACol == ColCurrency) {
        const TRect r = Grid->CellRect(ACol, ARow);
        {
            TUpdatingByte updating(Updating);
            Valuta->SetBounds(Grid->Left + r.Left + 1, Grid->Top + r.Top + 1, r.Right - r.Left, Valuta->Height);
            Valuta->Items->Clear();
            TOpzioni::FillMainCurrencies(*Valuta->Items);
            Valuta->Text = Grid->Cells[ColCurrency][ARow];
        }
        const int index = TOpzioni::GetCurrencyIndex(Valuta->Text);
        CurrentCurrency = static_cast<uint8_t>(index >= 0 ? index : 1);
        Valuta->Visible = true;
        ActiveControl = Valuta;
        return;
    }
    CanSelect = true;
}

void TGestioneLibrerie::GridGetEditText(TObject*, int ACol, int ARow, AnsiString& Value) {
    TextBeforeEdit = Grid->Cells[ACol][ARow];
    Value = TextBeforeEdit;
}

void TGestioneLibrerie::GridSetEditText(TObject*, int, int, const AnsiString& Value) {
    if (Updating || !CurrentEntry || Value == TextBeforeEdit) return;
    {
        TUpdatingByte updating(Updating);
        Grid->Cells[0][CurrentRow] = "*";
    }
    RowModified = 1;
}

void TGestioneLibrerie::GridKeyDown(TObject*, WORD& Key, TShiftState) {
    if (Key == VK_ESCAPE) CancelRowEdit();
}

void TGestioneLibrerie::GridDblClick(TObject*) {
    if (!CurrentEntry) return;
    const bool existed = EditClone != nullptr;
    if (!existed) EditClone = CurrentEntry->Clone();
    if (!EditClone) return;
    RowToEntry(EditClone.get(), CurrentRow);
    // An old-style cable entry is edited as the first cable of its square.
    if (auto* cable = dynamic_cast<TCavo*>(EditClone.get())) {
        cable->HasFirst = 1;
        if (cable->TypeCode == CodeBridge) cable->HasSecond = 1;
    }
    // The entry belongs to no network: the dialog skips the network checks.
    EditClone->Described = 1;
    EditClone->Owner = nullptr;
    if (EditClone->OpenDataDialog() || existed) {
        EntryToRow(EditClone.get(), CurrentRow);
        {
            TUpdatingByte updating(Updating);
            Grid->Cells[0][CurrentRow] = "*";
        }
        RowModified = 1;
    } else {
        EditClone.reset();
    }
}

void TGestioneLibrerie::ValutaChange(TObject*) {
    if (Updating || !CurrentEntry) return;
    TUpdatingByte updating(Updating);
    int next = TOpzioni::GetCurrencyIndex(Valuta->Text);
    if (next < 0) {
        next = CurrentCurrency;
        Valuta->Text = TOpzioni::GetCurrencyName(next);
    }
    const double price = ReadAmount(Grid->Cells[ColPrice][CurrentRow]);
    if (next != CurrentCurrency) {
        const float converted =
            Opzioni ? Opzioni->ConvertPrice(static_cast<float>(price), CurrentCurrency, next) : -1.0f;
        if (converted >= 0.0f)
            Grid->Cells[ColPrice][CurrentRow] = PriceText(next, converted);
        else
            Application->MessageBox("Manca il fattore di conversione tra la valuta " +
                                        TOpzioni::GetCurrencyName(CurrentCurrency) + " e la valuta " +
                                        TOpzioni::GetCurrencyName(next) +
                                        ". E' stato applicato il fattore 1.",
                                    ApplicationTitle, MB_OK | MB_ICONWARNING);
    }
    CurrentCurrency = static_cast<uint8_t>(next);
    Grid->Cells[0][CurrentRow] = "*";
    RowModified = 1;
}

void TGestioneLibrerie::ValutaExit(TObject*) {
    if (CurrentEntry) {
        TUpdatingByte updating(Updating);
        Grid->Cells[ColCurrency][CurrentRow] = Valuta->Text;
    }
    Valuta->Visible = false;
}

void TGestioneLibrerie::ValutaKeyDown(TObject*, WORD& Key, TShiftState) {
    if (Key == VK_ESCAPE) CancelRowEdit();
}

void TGestioneLibrerie::BVerificaClick(TObject*) { VerifyLibrary(); }

void TGestioneLibrerie::BChiudiClick(TObject*) {
    CommitPendingRow();
    ModalResult = 1;
}

bool CreateNewLibrary(const AnsiString& fileName) {
    if (!Librerie) return false;
    const AnsiString name = FileBaseName(fileName);
    TLibreria* known = Librerie->Find(name);
    // Libraries are found by name: a second file of one name would never be read.
    if (known && known->fileName != fileName) {
        Application->MessageBox("Esiste già una libreria di nome " + name + ".", ApplicationTitle,
                                MB_OK | MB_ICONWARNING);
        return false;
    }
    const bool exists = FileExists(fileName);
    if (exists && Application->MessageBox("Il file " + fileName + " è già esistente. Sovrascrivere?",
                                          ApplicationTitle, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return false;
    if (known) known->Close();
    if (!TLibreria::CreateFile(fileName, exists)) return false;
    if (!known) {
        auto library = std::make_unique<TLibreria>();
        library->fileName = fileName;
        Librerie->Append(std::move(library));
    }
    return true;
}
