#include "dialogs/codes_palette.h"

#include <algorithm>
#include <memory>

#include "cells/cell.h"
#include "cells/library_cells.h"
#include "core/control_builders.h"
#include "core/globals.h"
#include "core/libraries.h"
#include "dialogs/component_palette.h"

namespace {

constexpr int ListLeft = 8;
constexpr int ListWidth = 145;
constexpr int TreeTop = 72;

// Whether list holds text exactly (library codes are compared exactly).
bool Holds(const TStringList& list, const AnsiString& text) {
    for (int i = 0; i < list.Count(); ++i)
        if (list[i] == text) return true;
    return false;
}

// The open library of that name, or none.
TLibreria* LibraryNamed(const AnsiString& name) { return Librerie ? Librerie->Find(name) : nullptr; }

// The cell of the entry with code in library, owned by the caller; none
// when the library does not open or holds no such entry.
std::unique_ptr<TCella> ReadArticle(TLibreria* library, const AnsiString& code) {
    if (!library || !library->Open(false)) return nullptr;
    std::unique_ptr<TCella> cell = ReadLibraryCell(*library, code);
    library->Close();
    return cell;
}

// The article's data become the last-used data of its kind.
void StoreInPrototype(TCella& article) {
    if (TCella* prototype = article.GetPrototype()) article.Assign(prototype);
}

}  // namespace

TPannelloCodici::TPannelloCodici(TComponent* owner)
    : TPanel(owner),
      LibraryList(MakeControl<TComboBox>(this, this, ListLeft, 8, ListWidth, 21)),
      CodeList(MakeControl<TComboBox>(this, this, ListLeft, 40, ListWidth, 21)),
      Tree(MakeControl<TTreeView>(this, this, ListLeft, TreeTop, ListWidth, 200)) {
    Caption = "";
    Width = 161;
    CodeList->Text = "";
    Tree->HideSelection = true;
    Tree->ReadOnly = true;
    Tree->SortType = stText;

    LibraryList->OnEnter = Handler(this, &TPannelloCodici::LibraryListEnter);
    LibraryList->OnChange = Handler(this, &TPannelloCodici::LibraryListChange);
    CodeList->OnEnter = Handler(this, &TPannelloCodici::CodeListEnter);
    CodeList->OnChange = Handler(this, &TPannelloCodici::CodeChange);
    Tree->OnChange = Handler(this, &TPannelloCodici::TreeChange);
    Tree->OnEnter = Handler(this, &TPannelloCodici::TreeEnter);

    LibrariesChanged();
}

TPannelloCodici::~TPannelloCodici() = default;

void TPannelloCodici::Resized() {
    TPanel::Resized();
    Tree->Height = std::max(0, Height - TreeTop - 8);
}

void TPannelloCodici::LibrariesChanged() {
    FillLibraryTree(Tree, CodesTreeFlags);
    Tree->AlphaSort(true);
}

void TPannelloCodici::LibraryListEnter(TObject*) {
    const AnsiString text = LibraryList->Text;
    TStringList names;
    if (Librerie) Librerie->ListNames(names);
    LibraryList->Items->Assign(names);
    LibraryList->Text = text;
}

void TPannelloCodici::LibraryListChange(TObject*) {
    CodeList->Text = "";
    CodeList->Items->Clear();
}

void TPannelloCodici::CodeListEnter(TObject*) { FillCodes(); }

void TPannelloCodici::ToolChanged() {
    Tree->HideSelection = true;
    CodeList->Text = "";
    FillCodes();
}

void TPannelloCodici::FillCodes() {
    TLibreria* library = LibraryNamed(LibraryList->Text);
    std::unique_ptr<TCella> probe = Components ? Components->CreateCurrentToolCell(nullptr, 0, 0) : nullptr;
    if (!probe) {
        CodeList->Items->Clear();
        CodeList->Text = "";
        return;
    }
    if (!library) {
        CodeList->Text = "";
        return;
    }
    const AnsiString text = CodeList->Text;
    TStringList codes;
    if (library->Open(false)) {
        library->ListByTypeAndKeys(codes, probe->TypeCode, probe->Inputs, probe->ThroughOutputs,
                                   probe->TapOutputs);
        library->Close();
    }
    CodeList->Items->Assign(codes);
    CodeList->Text = Holds(codes, text) ? text : AnsiString();
}

void TPannelloCodici::CodeChange(TObject*) {
    // The list is edited key by key: only a whole code of the list names an
    // article of the tool's kind.
    const AnsiString code = CodeList->Text;
    if (code.empty() || !Holds(*CodeList->Items, code)) return;
    TLibreria* library = LibraryNamed(LibraryList->Text);
    if (!library) return;
    std::unique_ptr<TCella> article = ReadArticle(library, code);
    if (!article) return;
    StoreInPrototype(*article);
    if (Components) Components->TakeArticle = 1;
    Tree->HideSelection = true;
}

void TPannelloCodici::TreeChange(TObject*, TTreeNode* node) {
    if (!node || node->Level() < 2 || node->Count() > 0) return;
    TTreeNode* top = node;
    while (top->Parent()) top = top->Parent();
    TLibreria* library = LibraryNamed(top->Text);
    if (!library) return;
    std::unique_ptr<TCella> article = ReadArticle(library, node->Text);
    if (!article) return;
    if (Components) Components->SelectToolForCell(article.get());
    StoreInPrototype(*article);
}

void TPannelloCodici::TreeEnter(TObject*) {
    if (TTreeNode* node = Tree->Selected) TreeChange(Tree, node);
}
