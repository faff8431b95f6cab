// The library side of the component-data form: the category and code combos
// of the "Articoli ausiliari" rows, and the "Libreria" group, which loads a
// library entry of the edited component's kind into the form and adds,
// rewrites or removes entries through the library's safe writers.
#include <algorithm>
#include <memory>

#include "cells/cell.h"
#include "cells/library_cells.h"
#include "core/globals.h"
#include "core/libraries.h"
#include "core/reporter.h"
#include "cells/component_data.h"
#include "platform/application.h"

namespace {

constexpr const char* CodeMissing = "E' necessario specificare il codice.";
constexpr const char* CodeExists = "Il codice digitato è già esistente.";
constexpr const char* LibraryMissing = "E' necessario specificare la libreria.";

// Fills a combo's items and keeps what it shows.
void SetItems(TComboBox* combo, const TStringList& items) {
    const AnsiString shown = combo->Text;
    combo->Items->Clear();
    combo->Items->AddStrings(items);
    combo->Text = shown;
}

void Tell(const AnsiString& text) {
    if (Application) Application->MessageBox(text, ApplicationTitle, MB_OK | MB_ICONWARNING);
}

void Inform(const AnsiString& text) {
    if (Application) Application->MessageBox(text, ApplicationTitle, MB_OK | MB_ICONINFORMATION);
}

// Opens a library for one piece of work and puts it back as it was: a
// library open for reading is reopened for writing when asked.
class TLibraryUse {
public:
    TLibraryUse(TLibreria* library, bool forWriting) : library_(library) {
        if (!library_) return;
        wasOpen_ = library_->IsOpen();
        if (forWriting && wasOpen_) library_->Close();
        open_ = library_->Open(forWriting);
        reopen_ = forWriting && wasOpen_;
    }
    ~TLibraryUse() {
        if (!library_) return;
        if (!wasOpen_ || reopen_) library_->Close();
        if (reopen_) library_->Open(false);
    }
    TLibraryUse(const TLibraryUse&) = delete;
    TLibraryUse& operator=(const TLibraryUse&) = delete;
    bool Open() const { return library_ && open_; }

private:
    TLibreria* library_;
    bool wasOpen_ = false;
    bool open_ = false;
    bool reopen_ = false;
};

}  // namespace

void TDatiComponenti::WireLibraryHandlers() {
    for (int r = 0; r < 2; ++r) {
        AuxCategoria[r]->OnEnter = [this, r](TObject*) { AuxCategoryEnter(r); };
        AuxCategoria[r]->OnChange = [this, r](TObject*) { AuxCategoryChange(r); };
        AuxCodice[r]->OnEnter = [this, r](TObject*) { AuxCodeEnter(r); };
        // A choice from the list clicks before it changes; typing only changes.
        AuxCodice[r]->OnClick = [this, r](TObject*) { auxCodeChosen_[r] = true; };
        AuxCodice[r]->OnChange = [this, r](TObject*) { AuxCodeChange(r); };
    }
    ComboVoce->OnEnter = Handler(this, &TDatiComponenti::LibraryCodeEnter);
    ComboVoce->OnChange = Handler(this, &TDatiComponenti::LibraryCodeChange);
    ButtonAggiungi->OnClick = Handler(this, &TDatiComponenti::AddEntryClick);
    ButtonAggiorna->OnClick = Handler(this, &TDatiComponenti::UpdateEntryClick);
    ButtonElimina->OnClick = Handler(this, &TDatiComponenti::DeleteEntryClick);
}

// ---------------------------------------------------------------- "Articoli ausiliari"

void TDatiComponenti::AuxCategoryEnter(int row) {
    TStringList categories;
    if (Librerie) Librerie->ListByName(AuxLibreria[row]->Text, categories);
    const bool updating = Updating;
    Updating = true;
    SetItems(AuxCategoria[row], categories);
    Updating = updating;
}

void TDatiComponenti::AuxCategoryChange(int row) {
    if (Updating) return;
    Updating = true;
    AuxCodice[row]->Items->Clear();
    AuxCodice[row]->Text = "";
    AuxQuantita[row]->Text = "";
    AuxDescrizione[row]->Text = "";
    Updating = false;
}

void TDatiComponenti::AuxCodeEnter(int row) {
    TStringList codes;
    if (Librerie) Librerie->QueryByName(AuxLibreria[row]->Text, codes, AuxCategoria[row]->Text);
    const bool updating = Updating;
    Updating = true;
    SetItems(AuxCodice[row], codes);
    Updating = updating;
}

void TDatiComponenti::AuxCodeChange(int row) {
    const bool chosen = auxCodeChosen_[row];
    auxCodeChosen_[row] = false;
    if (Updating) return;
    Updating = true;
    // A code chosen from the list is one article; a typed code leaves the count open.
    AuxQuantita[row]->Text = chosen ? "1" : "";
    std::unique_ptr<TCella> entry(Librerie ? GetLibraryCell(*Librerie, AuxLibreria[row]->Text, AuxCodice[row]->Text)
                                           : nullptr);
    if (entry) {
        AuxCategoria[row]->Text = entry->Category;
        AuxDescrizione[row]->Text = entry->Description;
    }
    Updating = false;
}

// ---------------------------------------------------------------- "Libreria"

TLibreria* TDatiComponenti::ChosenLibrary() const {
    return Librerie ? Librerie->Find(ComboLibreria->Text) : nullptr;
}

void TDatiComponenti::ResetLibraryCodes() {
    // The form serves one component after another: the codes and the chosen
    // article of the component before must not stay on offer (one of them
    // picked here would load nothing, and "Elimina" would remove it).
    LibraryCodeEnter(nullptr);
    const bool updating = Updating;
    Updating = true;
    ComboVoce->Text = "";
    Updating = updating;
    ButtonElimina->Enabled = false;
}

void TDatiComponenti::LibraryCodeEnter(TObject*) {
    TStringList codes;
    TLibreria* library = ChosenLibrary();
    if (EditedCell && library) {
        TLibraryUse use(library, false);
        if (use.Open())
            library->ListByTypeAndKeys(codes, EditedCell->TypeCode, EditedCell->Inputs,
                                       EditedCell->ThroughOutputs, EditedCell->TapOutputs);
    }
    const bool updating = Updating;
    Updating = true;
    SetItems(ComboVoce, codes);
    Updating = updating;
}

void TDatiComponenti::LibraryCodeChange(TObject*) {
    TLibreria* library = ChosenLibrary();
    if (!EditedCell || !library) return;
    bool loaded = false;
    {
        TLibraryUse use(library, false);
        // The reader takes only an entry of the cell's own type and port counts.
        loaded = use.Open() && ReadLibraryCell(*library, *EditedCell, ComboVoce->Text);
    }
    // "Elimina" stands only for an article of this component's kind that was loaded.
    ButtonElimina->Enabled = loaded;
    if (!loaded) return;
    const bool updating = Updating;
    Updating = true;
    EditedCell->FillDataDialogDefault(this);
    DistinctOutputs = ModuleData;
    CopyDistinctRows();
    if (ShowModuleTabs) {
        const int tab = TabModuli->TabIndex;
        RebuildModuleTabs();
        TabModuli->TabIndex = std::min(tab, TabModuli->Tabs->Count() - 1);
        ShownModuleTab = ShownAmplifierTab = -1;
        ShowSelectedTab();
    } else {
        SelectModulePage(CurrentModule);
    }
    Updating = updating;
    ButtonElimina->Enabled = true;
}

bool TDatiComponenti::WriteEntry(bool adding) {
    TLibreria* library = ChosenLibrary();
    if (!library) {
        Tell(LibraryMissing);
        return false;
    }
    const AnsiString code = EditCodice->Text;
    if (code.empty()) {
        Tell(CodeMissing);
        return false;
    }
    if (!EditedCell) return false;
    TLibraryUse use(library, true);
    if (!use.Open()) return false;
    if (adding && library->FindEntry(code)) {
        Tell(CodeExists);
        return false;
    }
    // The clone takes what the form shows, and goes on file under its code.
    ReadFormInto(*EditedCell);
    EditedCell->Code = code;
    if (!WriteLibraryCell(*library, *EditedCell)) return false;
    const bool updating = Updating;
    Updating = true;
    if (ComboVoce->Items->IndexOf(code) < 0) ComboVoce->Items->Add(code);
    ComboVoce->Text = code;
    Updating = updating;
    ButtonElimina->Enabled = true;
    return true;
}

void TDatiComponenti::AddEntryClick(TObject*) {
    if (WriteEntry(true))
        Inform("L'articolo " + EditCodice->Text.Get() + " è stato aggiunto alla libreria " +
               ComboLibreria->Text.Get() + ".");
}

void TDatiComponenti::UpdateEntryClick(TObject*) {
    if (WriteEntry(false))
        Inform("L'articolo " + EditCodice->Text.Get() + " è stato aggiornato nella libreria " +
               ComboLibreria->Text.Get() + ".");
}

void TDatiComponenti::DeleteEntryClick(TObject*) {
    TLibreria* library = ChosenLibrary();
    const AnsiString code = ComboVoce->Text;
    const AnsiString name = ComboLibreria->Text;
    if (!library || code.empty()) return;
    // The library is shared by every project: a misclick must not cost an article.
    if (Application->MessageBox("Eliminare l'articolo " + code + " dalla libreria " + name + "?",
                                ApplicationTitle, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    bool deleted = false, present = true;
    {
        TLibraryUse use(library, true);
        if (!use.Open()) return;  // the library said why
        present = library->FindEntry(code);
        // A failed rewrite is told by the library's writer.
        deleted = present && library->DeleteEntry(code);
    }
    if (!present) Tell("L'articolo " + code + " non è presente nella libreria " + name + ".");
    if (!deleted) return;
    Inform("L'articolo " + code + " è stato eliminato dalla libreria " + name + ".");
    const bool updating = Updating;
    Updating = true;
    const int item = ComboVoce->Items->IndexOf(code);
    if (item >= 0) ComboVoce->Items->Delete(item);
    ComboVoce->Text = "";
    Updating = updating;
    ButtonElimina->Enabled = false;
}
