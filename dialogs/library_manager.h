#pragma once
// TGestioneLibrerie: the library manager. It loads every entry of one
// component library, lists them filtered by category and series and sorted by
// a chosen column, lets the person edit the commercial texts, currency and
// price of an entry in place, writes each edited entry back into the library
// file, and checks every entry ("Verifica").
#include <cstdint>
#include <memory>

#include "cells/library_cells.h"
#include "core/libraries.h"
#include "platform/forms.h"
#include "platform/grids.h"
#include "platform/stdctrls.h"

class TCella;

// Width to which the price column is padded on the left, so prices line up;
// wider padding would push the figures past the right edge of the column.
constexpr int LibraryPriceWidth = 9;

class TGestioneLibrerie : public TForm {
public:
    explicit TGestioneLibrerie(TComponent* owner = nullptr);
    ~TGestioneLibrerie() override;

    void LoadLibrary();
    void FilterEntries();
    void EntryToRow(TCella* entry, int row);
    void RowToEntry(TCella* entry, int row);
    bool ValidateRow();
    void SaveEntry();
    void CancelRowEdit();
    void CommitPendingRow();
    void VerifyLibrary();

    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void LibreriaEnter(TObject* Sender);
    void LibreriaChange(TObject* Sender);
    void CategoriaEnter(TObject* Sender);
    void CategoriaChange(TObject* Sender);
    void SerieEnter(TObject* Sender);
    void SerieChange(TObject* Sender);
    void GridMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void GridSelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    void GridGetEditText(TObject* Sender, int ACol, int ARow, AnsiString& Value);
    void GridSetEditText(TObject* Sender, int ACol, int ARow, const AnsiString& Value);
    void GridKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    // Opens the current entry in the component-data dialog.
    void GridDblClick(TObject* Sender);
    void ValutaChange(TObject* Sender);
    void ValutaExit(TObject* Sender);
    void ValutaKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void BVerificaClick(TObject* Sender);
    void BChiudiClick(TObject* Sender);

    TLabel* LabelLibreria;
    TComboBox* Libreria;
    TLabel* LabelCategoria;
    TComboBox* Categoria;
    TLabel* LabelSerie;
    TComboBox* Serie;
    TComboBox* Valuta;  // the in-grid currency editor, hidden when idle
    TStringGrid* Grid;
    TButton* BVerifica;
    TButton* BChiudi;

    TMemLib Entries;
    int SortKey = 0;  // 0 category, 1 brand, 2 series, 3 code, 4 article
    int CurrentRow = 1;
    TCella* CurrentEntry = nullptr;
    std::unique_ptr<TCella> EditClone;  // the entry as the component-data dialog left it
    uint8_t Updating = 0;
    uint8_t RowModified = 0;
    uint8_t CurrentCurrency = 1;
    AnsiString TextBeforeEdit;

private:
    // The first loaded entry with this code, or none.
    TCella* EntryWithCode(const AnsiString& code) const;
    // Lists the distinct non-empty texts of one field of the loaded entries.
    void FillFilter(TComboBox* combo, AnsiString TCella::*field);
    void RefilterAfter(bool reload);
    // The library combo's items: the names of the registered libraries.
    void ListLibraries();
};

// Makes a new, empty library file and registers it in the program-wide list.
// An existing file is replaced only when the person confirms; a name already
// registered from another file is refused. True when the library is made.
bool CreateNewLibrary(const AnsiString& fileName);
