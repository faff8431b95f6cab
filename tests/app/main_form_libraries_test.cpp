// The main window's library commands: "Nuova &libreria" makes an empty
// library that the program lists at once, "Gestione librerie" opens the
// library manager on the registered libraries.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "cells/cell.h"
#include "cells/filters.h"
#include "cells/library_cells.h"
#include "core/globals.h"
#include "core/ini.h"
#include "core/libraries.h"
#include "dialogs/codes_palette.h"
#include "dialogs/library_manager.h"
#include "platform/application.h"
#include "support/file_bytes.h"
#include "support/program_fixture.h"
#include "support/temp_dir.h"

namespace {

TScript& Script() { return Application->Script(); }

bool TreeLists(const TTreeView& tree, const std::string& name) {
    for (TTreeNode* node = tree.Items->GetFirstNode(); node; node = node->getNextSibling())
        if (node->Text.Get() == name) return true;
    return false;
}

TEST(MainFormLibraries, NewLibraryIsMadeListedAndReplacedOnlyAfterOk) {
    TempDir folder;
    ScopedProgram program;
    program.Store("DirLibrerie", folder.Path());
    TAntenne& f = program.Start();
    Script().Reset();
    const std::string path = folder.File("mia.alb");

    // Cancelled: nothing is made.
    Script().CancelFileDialog();
    f.Nuovalibreria->Click();
    ASSERT_EQ(Script().Dialogs.size(), 1u);
    const TDialogCall& asked = Script().Dialogs[0];
    EXPECT_EQ(asked.Kind, TDialogKind::Save);
    EXPECT_EQ(asked.Title, "Apertura di una nuova libreria");
    EXPECT_EQ(asked.Filter, "Libreria (*.alb)|*.alb");
    EXPECT_EQ(asked.InitialDir, folder.Path());
    EXPECT_EQ(Librerie->Find("mia"), nullptr);

    Script().AnswerFileDialog(path);
    f.Nuovalibreria->Click();
    EXPECT_EQ(ReadFileBytes(path), std::string("alb 6.0.0   \x09\0\0\0\0\x15\0\0\0", 21));
    TLibreria* library = Librerie->Find("mia");
    ASSERT_NE(library, nullptr);
    ASSERT_TRUE(library->Open(false));
    EXPECT_EQ(FirstLibraryCell(*library), nullptr);
    library->Close();
    EXPECT_TRUE(TreeLists(*f.CodesPanel->Tree, "mia"));

    // An existing file: replaced only after OK.
    Script().Reset();
    {
        TLibreria* l = Librerie->Find("mia");
        ASSERT_TRUE(l->Open(true));
        TFiltroS entry(nullptr, 0, 0, 0, 0);
        entry.Code = "F1";
        ASSERT_TRUE(WriteLibraryCell(*l, entry));
        l->Close();
    }
    const std::string grown = ReadFileBytes(path);
    Script().AnswerFileDialog(path);
    Script().AnswerMessageBox(IDCANCEL);
    f.Nuovalibreria->Click();
    ASSERT_EQ(Script().MessageBoxes.size(), 1u);
    EXPECT_EQ(Script().MessageBoxes[0].Text, "Il file " + path + " è già esistente. Sovrascrivere?");
    EXPECT_EQ(ReadFileBytes(path), grown);
    Script().AnswerFileDialog(path);
    Script().AnswerMessageBox(IDOK);
    f.Nuovalibreria->Click();
    EXPECT_EQ(ReadFileBytes(path).size(), 21u);
}

// A library made with "Nuova libreria" in the libraries folder and filled
// is there again, with its articles, when the program starts next; other
// files of the folder are not libraries, and a second "Varne" does not
// take the default library's place.
TEST(MainFormLibraries, ALibraryOfTheLibrariesFolderIsRegisteredAtStart) {
    TempDir folder;
    const std::string path = folder.File("mia.alb");
    {
        ScopedProgram program;
        program.Store("DirLibrerie", folder.Path());
        TAntenne& f = program.Start();
        Script().Reset();
        Script().AnswerFileDialog(path);
        f.Nuovalibreria->Click();
        ASSERT_EQ(Script().Dialogs.size(), 1u);
        EXPECT_EQ(Script().Dialogs[0].InitialDir, folder.Path());
        TLibreria* library = Librerie->Find("mia");
        ASSERT_NE(library, nullptr);
        ASSERT_TRUE(library->Open(true));
        TFiltroS entry(nullptr, 0, 0, 0, 0);
        entry.Code = "F1";
        entry.Category = "Filtri";
        ASSERT_TRUE(WriteLibraryCell(*library, entry));
        library->Close();
    }
    WriteFileBytes(folder.File("note.txt"), "non una libreria");
    ASSERT_TRUE(TLibreria::CreateFile(folder.File("Varne.alb"), true));

    ScopedProgram program;
    program.Store("DirLibrerie", folder.Path());
    TAntenne& f = program.Start();
    EXPECT_TRUE(Script().MessageBoxes.empty());
    TLibreria* library = Librerie->Find("mia");
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(library->fileName, path);
    std::unique_ptr<TCella> article(GetLibraryCell(*Librerie, "mia", "F1"));
    ASSERT_NE(article, nullptr);
    EXPECT_EQ(article->Category, "Filtri");
    Script().AdvanceClock(3000);  // the article trees are filled when the splash goes
    EXPECT_TRUE(TreeLists(*f.CodesPanel->Tree, "mia"));
    EXPECT_EQ(Librerie->Find("note"), nullptr);
    ASSERT_NE(Librerie->Find("Varne"), nullptr);
    EXPECT_EQ(ExtractFilePath(Librerie->Find("Varne")->fileName), program.Dir().Path() + "/");
}

TEST(MainFormLibraries, LibraryManagerOpensOnTheRegisteredLibraries) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    Script().Reset();
    Script().AnswerFileDialog(program.Dir().File("seconda.alb"));
    f.Nuovalibreria->Click();
    std::vector<std::string> listed;
    Script().AnswerShowModal<TGestioneLibrerie>([&](TGestioneLibrerie& form) {
        for (int i = 0; i < form.Libreria->Items->Count(); ++i)
            listed.push_back(form.Libreria->Items->Strings(i));
        form.BChiudi->Click();
    });
    f.GestioneLibrerie1->Click();
    ASSERT_EQ(Script().ModalForms.size(), 1u);
    EXPECT_NE(std::find(listed.begin(), listed.end(), "Varne"), listed.end());
    EXPECT_NE(std::find(listed.begin(), listed.end(), "seconda"), listed.end());
}

}  // namespace
