// Controls built at run time, and the library tree with its refresh.
#include "core/control_builders.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cells/filters.h"
#include "core/libraries.h"
#include "platform/application.h"
#include "platform/comctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

// ---- Builders ----

class ControlBuilders : public ::testing::Test {
protected:
    TForm form{nullptr};

    // Owned and shown by the container, in the small Arial.
    void ExpectBuilderLook(TControl* control) {
        EXPECT_EQ(control->Owner(), &form);
        EXPECT_EQ(control->Parent.Get(), &form);
        EXPECT_EQ(control->Font->Name.Get(), "Arial");
        EXPECT_EQ(control->Font->Height, -11);
    }
};

TEST_F(ControlBuilders, EditsTakeWidthColourAndMaximumLength) {
    struct Case {
        const char* what;
        std::function<TEdit*()> make;
        int left, top, width, maxLength;
    };
    // clang-format off
    const Case cases[] = {
        {"MakeEdit", [&] { return MakeEdit(&form, 120, clBlue, 30); }, 0, 0, 120, 30},
        {"MakeEditNoMax", [&] { return MakeEditNoMax(&form, 90, clBlue); }, 0, 0, 90, 0},
        {"MakeEditAtMax", [&] { return MakeEditAtMax(&form, 7, 9, 60, clBlue, 5); }, 7, 9, 60, 5},
        {"MakeEditAt", [&] { return MakeEditAt(&form, 11, 13, 45, clBlue); }, 11, 13, 45, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TEdit* edit = c.make();
        ExpectBuilderLook(edit);
        EXPECT_EQ(edit->Left, c.left);
        EXPECT_EQ(edit->Top, c.top);
        EXPECT_EQ(edit->Width, c.width);
        EXPECT_EQ(edit->MaxLength, c.maxLength);
        EXPECT_EQ(edit->Font->Color, clBlue);
        EXPECT_FALSE(edit->ReadOnly);
    }
}

TEST_F(ControlBuilders, ReadOnlyEditsShowTheirTextOutsideTheTabOrder) {
    TEdit* shown = MakeReadOnlyEdit(&form, 80, clRed, "-3,5");
    TEdit* empty = MakeReadOnlyEditEmpty(&form, 40, clGreen);
    for (TEdit* edit : {shown, empty}) {
        ExpectBuilderLook(edit);
        EXPECT_TRUE(edit->ReadOnly);
        EXPECT_FALSE(edit->TabStop);
    }
    EXPECT_EQ(shown->Text.Get(), "-3,5");
    EXPECT_EQ(shown->Width, 80);
    EXPECT_EQ(shown->Font->Color, clRed);
    EXPECT_EQ(empty->Text.Get(), "");
    EXPECT_EQ(empty->Font->Color, clGreen);
}

TEST_F(ControlBuilders, ButtonsAreSeventyFiveByTwentyFiveWhateverTheirCaption) {
    TButton* shortOne = MakeButton(&form, "OK");
    TButton* longOne = MakeButtonAt(&form, 30, 40, "Un testo molto più lungo di un bottone");
    for (TButton* b : {shortOne, longOne}) {
        ExpectBuilderLook(b);
        EXPECT_EQ(b->Width, 75);
        EXPECT_EQ(b->Height, 25);
    }
    EXPECT_EQ(longOne->Left, 30);
    EXPECT_EQ(longOne->Top, 40);
    EXPECT_EQ(shortOne->Caption.Get(), "OK");
}

TEST_F(ControlBuilders, CombosGroupsChecksRadiosAndLabels) {
    TComboBox* combo = MakeComboBoxAt(&form, 1, 2, 100, clNavy);
    ExpectBuilderLook(combo);
    EXPECT_EQ(combo->Left, 1);
    EXPECT_EQ(combo->Top, 2);
    EXPECT_EQ(combo->Width, 100);
    EXPECT_EQ(combo->Font->Color, clNavy);

    TGroupBox* group = MakeGroupBoxAt(&form, 3, 4, 200, 90, "Ingressi");
    ExpectBuilderLook(group);
    EXPECT_EQ(group->BoundsRect(), Bounds(3, 4, 200, 90));
    EXPECT_EQ(group->Caption.Get(), "Ingressi");

    TCheckBox* check = MakeCheckBoxAt(&form, 5, 6, 150, "Chiusura isolata DC");
    TRadioButton* radio = MakeRadioButtonAt(&form, 7, 8, 110, "Passanti");
    TLabel* label = MakeLabelAt(&form, 9, 10, 70, "Uscite");
    for (TControl* c : std::initializer_list<TControl*>{check, radio, label}) ExpectBuilderLook(c);
    EXPECT_EQ(check->BoundsRect().TopLeft(), TPoint(5, 6));
    EXPECT_EQ(check->Width, 150);
    EXPECT_EQ(check->Caption.Get(), "Chiusura isolata DC");
    EXPECT_EQ(radio->BoundsRect().TopLeft(), TPoint(7, 8));
    EXPECT_EQ(radio->Width, 110);
    EXPECT_EQ(label->BoundsRect().TopLeft(), TPoint(9, 10));
    EXPECT_EQ(label->Caption.Get(), "Uscite");
}

TEST_F(ControlBuilders, BuiltControlsGoWithTheirContainer) {
    auto panel = std::make_unique<TForm>(nullptr);
    MakeEdit(panel.get(), 10, clBlack, 0);
    MakeLabel(panel.get(), 10, "x");
    EXPECT_EQ(panel->ControlCount(), 2);
    EXPECT_EQ(panel->ComponentCount(), 2);
    panel.reset();  // the sanitizer build sees a leak otherwise
}

// ---- Library tree ----

// One entry of a test library.
struct Entry {
    const char* category;
    const char* series;
    const char* code;
};

class LibraryTree : public GlobalsTest {
protected:
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    TForm form{nullptr};
    TTreeView* tree = new TTreeView(&form);

    void SetUp() override { tree->Parent = &form; }

    // Registers a library file of filters holding these entries.
    void AddLibrary(const std::string& name, const std::vector<Entry>& entries) {
        const std::string path = globals.Dir().File(name + ".alb");
        ASSERT_TRUE(TLibreria::CreateFile(path));
        auto* library = new TLibreria;
        library->fileName = path;
        libraries.Get().Append(std::unique_ptr<TLibreria>(library));
        ASSERT_TRUE(library->Open(true));
        for (const Entry& e : entries) {
            TFiltroS cell(nullptr, 0, 0, 0, 0);
            cell.Category = e.category;
            cell.Series = e.series;
            cell.Code = e.code;
            // Appended as they come: a library made elsewhere may hold a code twice.
            TMemoryStream record;
            cell.Save(record, LibraryVersion);
            ASSERT_TRUE(library->AppendEntry(record.Bytes()));
        }
        library->Close();
    }
    void RemoveLibrary(const std::string& name) {
        ASSERT_NE(libraries.Get().Remove(libraries.Get().Find(name)), nullptr);
    }

    // The tree as indented lines: two blanks per level.
    static void Dump(TTreeNode* node, std::vector<std::string>& out) {
        for (; node; node = node->getNextSibling()) {
            out.push_back(std::string(2 * node->Level(), ' ') + node->Text.Get());
            Dump(node->getFirstChild(), out);
        }
    }
    std::vector<std::string> TreeLines() {
        std::vector<std::string> out;
        Dump(tree->Items->GetFirstNode(), out);
        return out;
    }
};

using Lines = std::vector<std::string>;

const std::vector<Entry> varne = {
    {"Filtri", "Alfa", "F2"}, {"Filtri", "Alfa", "F1"},     {"Filtri", "Beta", "F1"},
    {"Filtri", "", "F9"},     {"Derivatori", "Alfa", "D1"},
};

TEST_F(LibraryTree, FlagsChooseTheLevelsShown) {
    AddLibrary("Varne", varne);
    struct Case {
        const char* what;
        int32_t flags;
        Lines lines;
    };
    // clang-format off
    const Case cases[] = {
        {"libraries, categories and series", LibTreeLibraries | LibTreeCategories | LibTreeSeries,
         {"Varne", "  Derivatori", "    Alfa", "      D1", "  Filtri", "    Alfa", "      F1", "      F2",
          "    Beta", "      F1", "    F9"}},
        {"codes merged under the category", LibTreeLibraries | LibTreeCategories,
         {"Varne", "  Derivatori", "    D1", "  Filtri", "    F1", "    F2", "    F9"}},
        {"distinct series only", LibTreeLibraries, {"Varne", "  ", "  Alfa", "  Beta"}},
        {"series flag alone keeps no category", LibTreeLibraries | LibTreeSeries, {"Varne", "  ", "  Alfa", "  Beta"}},
        {"nothing without the library level", LibTreeCategories | LibTreeSeries, {}},
    };
    // clang-format on
    for (const Case& c : cases) {
        tree->Items->Clear();
        FillLibraryTree(tree, c.flags);
        EXPECT_EQ(TreeLines(), c.lines) << c.what;
    }
}

TEST_F(LibraryTree, AFilterGivenWinsOverTheFlags) {
    // A filter that takes none of the library's kinds: the library shows nothing below it.
    AddLibrary("Varne", varne);
    FillLibraryTree(tree, LibTreeLibraries | LibTreeCategories | LibTreeNoPriceItems, [](int32_t) { return false; });
    EXPECT_EQ(TreeLines(), (Lines{"Varne"}));
    tree->Items->Clear();
    FillLibraryTree(tree, LibTreeLibraries | LibTreeCategories | LibTreeNoPriceItems);
    EXPECT_EQ(TreeLines().size(), 7u);
}

TEST_F(LibraryTree, RefreshKeepsSurvivingNodesAndAddsNewLibraries) {
    AddLibrary("Varne", varne);
    AddLibrary("Altra", {{"Prese", "", "P1"}});
    const int32_t flags = LibTreeLibraries | LibTreeCategories;
    FillLibraryTree(tree, flags);
    EXPECT_EQ(TreeLines(), (Lines{"Varne", "  Derivatori", "    D1", "  Filtri", "    F1", "    F2", "    F9",
                                  "Altra", "  Prese", "    P1"}));
    TTreeNode* varneNode = tree->Items->GetFirstNode();
    TTreeNode* filters = varneNode->ItemAt(1);
    filters->Expand(false);

    RemoveLibrary("Altra");
    AddLibrary("Terza", {{"Cavi", "", "C1"}});
    FillLibraryTree(tree, flags);
    EXPECT_EQ(TreeLines(), (Lines{"Varne", "  Derivatori", "    D1", "  Filtri", "    F1", "    F2", "    F9",
                                  "Terza", "  Cavi", "    C1"}));
    // The kept nodes are the same objects, still expanded.
    EXPECT_EQ(tree->Items->GetFirstNode(), varneNode);
    EXPECT_EQ(varneNode->ItemAt(1), filters);
    EXPECT_TRUE(filters->Expanded());
}

TEST_F(LibraryTree, LibraryNodeWithChildrenIsNotFilledAgain) {
    AddLibrary("Varne", varne);
    TTreeNode* node = tree->Items->Add(nullptr, "Varne");
    tree->Items->AddChild(node, "già qui");
    AddLibraryNode(node, LibTreeLibraries | LibTreeCategories);
    EXPECT_EQ(TreeLines(), (Lines{"Varne", "  già qui"}));
    FillLibraryTree(tree, LibTreeLibraries | LibTreeCategories);
    EXPECT_EQ(TreeLines(), (Lines{"Varne", "  già qui"}));
}

TEST_F(LibraryTree, LevelRefreshRemovesWhatIsGoneAndKeepsWhatStays) {
    TTreeNode* root = tree->Items->Add(nullptr, "Varne");
    TTreeNode* keep = tree->Items->AddChild(root, "Filtri");
    TTreeNode* kept = tree->Items->AddChild(keep, "F1");
    tree->Items->AddChild(keep, "F7");
    tree->Items->AddChild(root, "Vecchia");

    TNestedStringList categories;
    categories.CaseSensitive = true;
    categories.SetSorted(true);
    TNestedStringList* series = categories.AddNested("Filtri");
    TNestedStringList* codes = series->AddNested("Alfa");
    codes->Add("F1");
    codes->Add("F3");
    categories.AddObject("Nuova", nullptr);

    FillLibraryTreeLevel(root, 1, &categories, LibTreeLibraries | LibTreeCategories);
    EXPECT_EQ(TreeLines(), (Lines{"Varne", "  Filtri", "    F1", "    F3", "  Nuova"}));
    EXPECT_EQ(root->getFirstChild(), keep);
    EXPECT_EQ(keep->getFirstChild(), kept);

    FillLibraryTreeLevel(root, 1, nullptr, LibTreeLibraries | LibTreeCategories);
    EXPECT_EQ(TreeLines(), (Lines{"Varne"}));
}

TEST_F(LibraryTree, NewNodesTakeStateImagesFromTheirParent) {
    AddLibrary("Varne", {{"Filtri", "", "F1"}, {"Prese", "", "P1"}});
    const int32_t flags = LibTreeLibraries | LibTreeCategories | LibTreeStateImages;
    FillLibraryTree(tree, flags);
    TTreeNode* library = tree->Items->GetFirstNode();
    EXPECT_EQ(library->StateIndex, 1);
    EXPECT_EQ(library->ItemAt(0)->StateIndex, 1);
    EXPECT_EQ(library->ItemAt(0)->ItemAt(0)->StateIndex, 1);

    // Under a node whose state is 3, new nodes take 3.
    TTreeNode* prese = library->ItemAt(1);
    prese->StateIndex = 3;
    prese->DeleteChildren();
    TNestedStringList list;
    list.Add("P1");
    FillLibraryTreeLevel(prese, 3, &list, flags);
    EXPECT_EQ(prese->ItemAt(0)->StateIndex, 3);

    tree->Items->Clear();
    FillLibraryTree(tree, LibTreeLibraries | LibTreeCategories);
    EXPECT_NE(tree->Items->GetFirstNode()->StateIndex, 1);
}

TEST_F(LibraryTree, UnreadableLibraryListsNothingAndSaysWhy) {
    const std::string path = globals.Dir().File("Rotta.alb");
    {
        // A header with the mark but a tag of no known version.
        std::ofstream out(path, std::ios::binary);
        out << std::string("xyz 9.9.9   ") << '\x09' << std::string(8, '\0');
    }
    auto* library = new TLibreria;
    library->fileName = path;
    libraries.Get().Append(std::unique_ptr<TLibreria>(library));
    Application->Script().Reset();
    FillLibraryTree(tree, LibTreeLibraries | LibTreeCategories);
    EXPECT_EQ(TreeLines(), (Lines{"Rotta"}));
    EXPECT_EQ(Application->Script().MessageBoxes.size(), 1u);
}

}  // namespace
