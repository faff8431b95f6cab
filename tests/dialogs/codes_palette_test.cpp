// The codes palette over two small libraries written by the test: the codes
// that fit the tool, picking an article from the code list or the tree, and
// the tree following the registered libraries.
#include "dialogs/codes_palette.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "cells/filters.h"
#include "cells/library_cells.h"
#include "cells/splitters.h"
#include "cells/taps.h"
#include "core/libraries.h"
#include "dialogs/component_palette.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

class CodesPaletteTest : public GlobalsTest {
protected:
    void SetUp() override {
        first = Library("prima.alb", [](TLibreria& lib) {
            Write(lib, std::make_unique<TDivisore>(nullptr, 0, 0, 0, 0, 1, 2), "DIV-12", "Divisori");
            Write(lib, std::make_unique<TDivisore>(nullptr, 0, 0, 0, 0, 3, 4), "DIV-34", "Divisori");
            Write(lib, std::make_unique<TDerivatore>(nullptr, 0, 0, 0, 0, 2, 4), "DER-24", "Derivatori");
            Write(lib, std::make_unique<TFiltroP>(nullptr, 0, 0, 0, 0), "FP-1", "Filtri");
        });
        spare.reset(Library("seconda.alb", [](TLibreria& lib) {
            Write(lib, std::make_unique<TDivisore>(nullptr, 0, 0, 0, 0, 1, 2), "DIV-12", "Divisori");
        }));
        second = spare.get();
        libraries.Get().Append(std::unique_ptr<TLibreria>(first));
        codes.Components = &palette;
        palette.CodesPanel = &codes;
        codes.LibrariesChanged();
    }
    static void Write(TLibreria& lib, std::unique_ptr<TCella> cell, const char* code, const char* category) {
        cell->Code = code;
        cell->Category = category;
        cell->Brand = "Marca";
        cell->Series = "S1";
        cell->Article = std::string("Articolo ") + code;
        cell->Price = 7.25f;
        ASSERT_TRUE(WriteLibraryCell(lib, *cell));
    }
    template <class Fill>
    TLibreria* Library(const char* name, Fill fill) {
        const std::string path = globals.Dir().File(name);
        EXPECT_TRUE(TLibreria::CreateFile(path));
        auto* library = new TLibreria;
        library->fileName = path;
        EXPECT_TRUE(library->Open(true));
        fill(*library);
        library->Close();
        return library;
    }
    void RegisterSecond() {
        libraries.Get().Append(std::move(spare));
        codes.LibrariesChanged();
    }
    void Press(const char* name) { palette.PressButton(ToolButtonIndex(name)); }
    void ChooseLibrary(TLibreria* library) {
        codes.LibraryListEnter(nullptr);
        codes.LibraryList->UserSet(codes.LibraryList->Text, library->Name());
    }
    std::vector<AnsiString> Codes() const {
        std::vector<AnsiString> list;
        for (int i = 0; i < codes.CodeList->Items->Count(); ++i) list.push_back((*codes.CodeList->Items)[i]);
        return list;
    }
    TTreeNode* Node(const AnsiString& text) const {
        for (int i = 0; i < codes.Tree->Items->Count(); ++i)
            if (codes.Tree->Items->ItemAt(i)->Text == text) return codes.Tree->Items->ItemAt(i);
        return nullptr;
    }
    std::vector<AnsiString> Roots() const {
        std::vector<AnsiString> roots;
        for (int i = 0; i < codes.Tree->Items->RootCount(); ++i)
            roots.push_back(codes.Tree->Items->Root(i)->Text);
        return roots;
    }

    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    TLibreria* first = nullptr;
    TLibreria* second = nullptr;
    std::unique_ptr<TLibreria> spare;  // the second library until it is registered
    TPannelloComponenti palette;
    TPannelloCodici codes;
};

}  // namespace

TEST_F(CodesPaletteTest, TheCodeListHoldsTheArticlesThatFitTheTool) {
    ChooseLibrary(first);
    Press("BArrow");
    codes.FillCodes();
    EXPECT_TRUE(Codes().empty());

    Press("BDivisore3");
    palette.FirstList->SelectByUser(2);   // 3 linee
    palette.SecondList->SelectByUser(2);  // 4 uscite
    EXPECT_EQ(Codes(), std::vector<AnsiString>{"DIV-34"});

    // A typed code that is not among them goes at the next refill.
    codes.CodeList->UserSet(codes.CodeList->Text, AnsiString("FP-1"));
    codes.FillCodes();
    EXPECT_EQ(codes.CodeList->Text, "");
    codes.CodeList->UserSet(codes.CodeList->Text, AnsiString("DIV-34"));
    codes.FillCodes();
    EXPECT_EQ(codes.CodeList->Text, "DIV-34");

    Press("BArrow");
    EXPECT_TRUE(Codes().empty());
    EXPECT_EQ(codes.CodeList->Text, "");
}

TEST_F(CodesPaletteTest, AnotherLibraryEmptiesTheCodeList) {
    RegisterSecond();
    ChooseLibrary(first);
    Press("BDivisore3");
    ASSERT_EQ(Codes(), std::vector<AnsiString>{"DIV-12"});
    codes.CodeList->UserSet(codes.CodeList->Text, AnsiString("DIV-12"));
    ChooseLibrary(second);
    EXPECT_EQ(codes.CodeList->Text, "");
    EXPECT_TRUE(Codes().empty());
}

TEST_F(CodesPaletteTest, APickedCodeGivesItsDataToTheNextCells) {
    ChooseLibrary(first);
    Press("BDivisore3");
    palette.FirstList->SelectByUser(2);
    palette.SecondList->SelectByUser(2);
    codes.CodeListEnter(nullptr);
    // Keys typed one by one name no article until the code is whole.
    codes.CodeList->UserSet(codes.CodeList->Text, AnsiString("DIV"));
    EXPECT_EQ(palette.TakeArticle, 0);
    codes.CodeList->UserSet(codes.CodeList->Text, AnsiString("DIV-34"));
    EXPECT_EQ(palette.TakeArticle, 1);
    std::unique_ptr<TCella> cell = palette.CreateCurrentToolCell(nullptr, 2, 2);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->Code, "DIV-34");
    EXPECT_EQ(cell->Article, "Articolo DIV-34");
    EXPECT_EQ(cell->Price, 7.25f);
    // Another variant forgets the article.
    palette.SecondList->SelectByUser(0);
    EXPECT_EQ(palette.TakeArticle, 0);
    EXPECT_EQ(palette.CreateCurrentToolCell(nullptr, 0, 0)->Code, "");
}

TEST_F(CodesPaletteTest, AnArticlePickedInTheTreeChoosesItsTool) {
    TTreeNode* tap = Node("DER-24");
    ASSERT_NE(tap, nullptr);
    EXPECT_GE(tap->Level(), 2);
    codes.Tree->Selected = tap;
    EXPECT_EQ(palette.PressedButton(), palette.ButtonNamed("BDerivatore3"));
    EXPECT_EQ(palette.FirstList->ItemIndex, 1);
    EXPECT_EQ(palette.SecondList->ItemIndex, 3);
    EXPECT_EQ(palette.TakeArticle, 1);
    EXPECT_FALSE(codes.Tree->HideSelection);
    std::unique_ptr<TCella> cell = palette.CreateCurrentToolCell(nullptr, 0, 0);
    EXPECT_EQ(cell->Code, "DER-24");
    EXPECT_EQ(cell->Inputs, 2);
    EXPECT_EQ(cell->TapOutputs, 4);

    // The band-pass filter is a head-end tool: on the network page it is off.
    palette.ShowMode(1);
    codes.Tree->Selected = Node("FP-1");
    EXPECT_EQ(palette.PressedButton(), palette.ButtonNamed("BArrow"));
    EXPECT_EQ(palette.TakeArticle, 0);
    EXPECT_TRUE(codes.Tree->HideSelection);
    palette.ShowMode(0);
    codes.Tree->Selected = nullptr;
    codes.Tree->Selected = Node("FP-1");
    EXPECT_EQ(palette.CurrentTool(), 2);
    EXPECT_EQ(palette.TakeArticle, 1);

    // Nodes above the articles do nothing.
    Press("BArrow");
    codes.Tree->Selected = Node("Divisori");
    EXPECT_EQ(palette.CurrentTool(), ToolArrow);
}

TEST_F(CodesPaletteTest, TheTreeListsEveryRegisteredLibrary) {
    EXPECT_EQ(Roots(), std::vector<AnsiString>{first->Name()});
    TTreeNode* root = codes.Tree->Items->Root(0);
    root->Expand(false);
    RegisterSecond();
    EXPECT_EQ(Roots(), (std::vector<AnsiString>{first->Name(), second->Name()}));
    EXPECT_TRUE(codes.Tree->Items->Root(0)->Expanded());
}
