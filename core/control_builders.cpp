#include "core/control_builders.h"

#include <memory>

#include "core/globals.h"
#include "core/libraries.h"
#include "platform/comctrls.h"
#include "platform/stdctrls.h"

// ---- Control builders ----

namespace {
constexpr const char* BuilderFontName = "Arial";
constexpr int BuilderFontHeight = -11;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;

template <class C>
C* NewChild(TWinControl* container) {
    auto* control = new C(container);
    control->Parent = container;
    return control;
}

void SetBuilderFont(TControl* control) {
    control->Font->Name = BuilderFontName;
    control->Font->Height = BuilderFontHeight;
}

// A control with a caption, in the builders' font.
template <class C>
C* NewCaptioned(TWinControl* container, int width, const AnsiString& caption) {
    auto* control = NewChild<C>(container);
    control->Caption = caption;
    control->Width = width;
    SetBuilderFont(control);
    return control;
}

template <class C>
C* Place(C* control, int left, int top) {
    control->Top = top;
    control->Left = left;
    return control;
}
}  // namespace

TEdit* MakeEdit(TWinControl* container, int width, TColor fontColour, int maxLength) {
    auto* edit = NewChild<TEdit>(container);
    edit->Width = width;
    edit->Font->Color = fontColour;
    edit->MaxLength = maxLength;
    SetBuilderFont(edit);
    return edit;
}

TEdit* MakeEditNoMax(TWinControl* container, int width, TColor fontColour) {
    return MakeEdit(container, width, fontColour, 0);
}

TEdit* MakeEditAtMax(TWinControl* container, int left, int top, int width, TColor fontColour, int maxLength) {
    return Place(MakeEdit(container, width, fontColour, maxLength), left, top);
}

TEdit* MakeEditAt(TWinControl* container, int left, int top, int width, TColor fontColour) {
    return MakeEditAtMax(container, left, top, width, fontColour, 0);
}

TEdit* MakeReadOnlyEdit(TWinControl* container, int width, TColor fontColour, const AnsiString& text) {
    auto* edit = NewChild<TEdit>(container);
    edit->Width = width;
    edit->ReadOnly = true;
    edit->Font->Color = fontColour;
    edit->TabStop = false;
    edit->Text = text;
    SetBuilderFont(edit);
    return edit;
}

TEdit* MakeReadOnlyEditEmpty(TWinControl* container, int width, TColor fontColour) {
    return MakeReadOnlyEdit(container, width, fontColour, "");
}

TComboBox* MakeComboBox(TWinControl* container, int width, TColor fontColour) {
    auto* combo = NewChild<TComboBox>(container);
    combo->Width = width;
    combo->Font->Color = fontColour;
    SetBuilderFont(combo);
    return combo;
}

TComboBox* MakeComboBoxAt(TWinControl* container, int left, int top, int width, TColor fontColour) {
    return Place(MakeComboBox(container, width, fontColour), left, top);
}

TButton* MakeButton(TWinControl* container, const AnsiString& caption) {
    auto* button = NewChild<TButton>(container);
    button->Caption = caption;
    SetBuilderFont(button);
    button->Width = ButtonWidth;
    button->Height = ButtonHeight;
    return button;
}

TButton* MakeButtonAt(TWinControl* container, int left, int top, const AnsiString& caption) {
    return Place(MakeButton(container, caption), left, top);
}

TGroupBox* MakeGroupBox(TWinControl* container, int width, int height, const AnsiString& caption) {
    auto* box = NewChild<TGroupBox>(container);
    box->Caption = caption;
    box->Width = width;
    box->Height = height;
    SetBuilderFont(box);
    return box;
}

TGroupBox* MakeGroupBoxAt(TWinControl* container, int left, int top, int width, int height,
                          const AnsiString& caption) {
    return Place(MakeGroupBox(container, width, height, caption), left, top);
}

TCheckBox* MakeCheckBox(TWinControl* container, int width, const AnsiString& caption) {
    return NewCaptioned<TCheckBox>(container, width, caption);
}

TCheckBox* MakeCheckBoxAt(TWinControl* container, int left, int top, int width, const AnsiString& caption) {
    return Place(MakeCheckBox(container, width, caption), left, top);
}

TRadioButton* MakeRadioButton(TWinControl* container, int width, const AnsiString& caption) {
    return NewCaptioned<TRadioButton>(container, width, caption);
}

TRadioButton* MakeRadioButtonAt(TWinControl* container, int left, int top, int width,
                                const AnsiString& caption) {
    return Place(MakeRadioButton(container, width, caption), left, top);
}

TLabel* MakeLabel(TWinControl* container, int width, const AnsiString& caption) {
    return NewCaptioned<TLabel>(container, width, caption);
}

TLabel* MakeLabelAt(TWinControl* container, int left, int top, int width, const AnsiString& caption) {
    return Place(MakeLabel(container, width, caption), left, top);
}

// ---- Library tree ----

namespace {
// Node texts are compared exactly, as the library compares its texts; the
// lists of the tree query are sorted that way and searched by halves.
int IndexOfExact(const TStringList& list, const AnsiString& text) {
    if (list.Sorted() && list.CaseSensitive) {
        int index = 0;
        return list.Find(text, index) ? index : -1;
    }
    for (int i = 0; i < list.Count(); ++i)
        if (list[i] == text) return i;
    return -1;
}

// A sorted list of distinct texts, compared exactly.
std::unique_ptr<TNestedStringList> NewMergedList() {
    auto list = std::make_unique<TNestedStringList>();
    list->CaseSensitive = true;
    list->Duplicates = dupIgnore;
    list->SetSorted(true);
    return list;
}

TNestedStringList* NestedAt(const TStringList& list, int index) {
    return static_cast<TNestedStringList*>(list.Objects(index));
}

// The texts of every nested list of the list, each once, sorted; what lies
// below them is not carried over.
std::unique_ptr<TNestedStringList> MergeNestedTexts(const TStringList& list) {
    auto merged = NewMergedList();
    for (int i = 0; i < list.Count(); ++i)
        if (const TNestedStringList* nested = NestedAt(list, i))
            for (int j = 0; j < nested->Count(); ++j) merged->Add((*nested)[j]);
    return merged;
}

void SetNewNodeState(TTreeNode* node, TTreeNode* parent, int32_t flags) {
    if (!(flags & LibTreeStateImages)) return;
    node->StateIndex = (parent && parent->StateIndex == 3) ? 3 : 1;
}

TTreeNode* AddChildNode(TTreeNode* parent, const AnsiString& text, int32_t flags) {
    TTreeNode* node = parent->Owner()->AddChild(parent, text);
    SetNewNodeState(node, parent, flags);
    return node;
}
}  // namespace

void FillLibraryTreeLevel(TTreeNode* parent, int32_t level, TNestedStringList* list, int32_t flags) {
    if (!parent) return;
    TNestedStringList empty;
    if (!list) list = &empty;

    // Levels the flags leave out: their children's texts take their place.
    std::unique_ptr<TNestedStringList> merged;
    if (level == 1 && !(flags & LibTreeCategories)) {
        merged = MergeNestedTexts(*list);
        list = merged.get();
        level = 2;
    } else if (level == 2 && !(flags & LibTreeSeries)) {
        merged = MergeNestedTexts(*list);
        list = merged.get();
        level = 3;
    } else if (level == 2) {
        // Codes without a series stand beside the series.
        const int none = IndexOfExact(*list, "");
        if (none >= 0) {
            std::unique_ptr<TNestedStringList> codes = list->TakeNested(none);
            if (codes)
                for (int j = 0; j < codes->Count(); ++j) list->Add((*codes)[j]);
        }
    }

    // Keep the children still listed, bringing them in line one level down.
    for (TTreeNode* child = parent->getFirstChild(); child;) {
        TTreeNode* next = child->getNextSibling();
        const int index = IndexOfExact(*list, child->Text);
        if (index < 0) {
            child->Delete();
        } else {
            std::unique_ptr<TNestedStringList> nested = list->TakeNested(index);
            if (nested) FillLibraryTreeLevel(child, level + 1, nested.get(), flags);
        }
        child = next;
    }
    // What is left is new.
    for (int i = 0; i < list->Count(); ++i) {
        TTreeNode* child = AddChildNode(parent, (*list)[i], flags);
        if (TNestedStringList* nested = NestedAt(*list, i))
            FillLibraryTreeLevel(child, level + 1, nested, flags);
    }
}

void AddLibraryNode(TTreeNode* libraryNode, int32_t flags, TEntryKindFilter admits) {
    if (!libraryNode || libraryNode->Count() > 0 || !Librerie) return;
    TLibreria* library = Librerie->Find(libraryNode->Text);
    if (!library) return;
    TNestedStringList tree;
    tree.CaseSensitive = true;
    tree.SetSorted(true);
    // A library that does not open has said why; it lists nothing.
    if (library->Open(false)) {
        if (!admits && (flags & LibTreeNoPriceItems)) admits = NotPriceItem;
        library->ListTree(tree, admits);
        library->Close();
    }
    FillLibraryTreeLevel(libraryNode, 1, &tree, flags);
}

void FillLibraryTree(TTreeView* tree, int32_t flags, TEntryKindFilter admits) {
    if (!tree || !(flags & LibTreeLibraries)) return;
    TStringList names;
    if (Librerie) Librerie->ListNames(names);

    TTreeNodes* nodes = tree->Items;
    for (TTreeNode* node = nodes->GetFirstNode(); node;) {
        TTreeNode* next = node->getNextSibling();
        const int index = names.IndexOf(node->Text);
        if (index < 0) {
            node->Delete();
        } else {
            names.Delete(index);
            AddLibraryNode(node, flags, admits);
        }
        node = next;
    }
    for (int i = 0; i < names.Count(); ++i) {
        TTreeNode* node = nodes->Add(nullptr, names[i]);
        AddLibraryNode(node, flags, admits);
        if (flags & LibTreeStateImages) node->StateIndex = 1;
    }
}
