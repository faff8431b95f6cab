// Every document of the combined print for buildings of several sizes that
// the wizard designs on the default library, printed in one job to PDF with
// every choice of the print options ticked: no page without its heading, no
// word over another, none at the sheet's edge. The PDFs and their pages stay
// in the build folder to be looked at.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_form.h"
#include "autodesign/wizard.h"
#include "cells/cell.h"
#include "core/globals.h"
#include "core/ini.h"
#include "document/design_settings.h"
#include "document/grid.h"
#include "document/project.h"
#include "printing/print_options.h"
#include "qt/designed_project.h"

namespace {

using namespace qttest;

using QtPrintSweep = QtDesignedShape;

TEST_P(QtPrintSweep, EveryDocumentOfTheCombinedPrint) {
    ASSERT_EQ(messages, "");
    // An installer who gave the firm's name alone.
    Ini->WriteString("IDitta1", "Antenne Bianchi");
    ASSERT_EQ(form->LoadFirmData(), 1);
    TDatiStampa options(nullptr);
    for (TCella* o = project->NetworkGrid->FirstOutlet; o; o = o->NextOutlet)
        options.LPrese->Items->Add(o->GetShortCode());
    options.RCopEsecuzione->Checked = true;
    options.RTutte->Checked = true;
    for (TCheckBox* c :
         {options.CDichiarazione, options.CSchemi,       options.CMateriale,   options.CPreventivo,
          options.CCapitolato,    options.CCalcoli,      options.CRelSostegno, options.CRelScariche,
          options.CSRete,         options.CSTesta,       options.CMRete,       options.CMTesta,
          options.CMinMaxTesta,   options.CMinMaxPrese,  options.CSepPrese,    options.CCanaliTesta,
          options.CCanaliPrese,   options.CAttenuazioni, options.CLunghezze,   options.CCodici})
        c->Checked = true;
    const std::string file = Artefact(std::string("sweep-") + GetParam().name + ".pdf");
    ASSERT_TRUE(PrintChosenToPdfFile(form->Printing(), options, file));
    EXPECT_EQ(WordsAtTheEdge(file), "");
    EXPECT_EQ(WordsOverWords(file), "");
    // After the cover and the declaration every page is headed by the
    // customer and footed by the installer, each keeping the separators of
    // the street and town left empty (the text's blanks come collapsed), and
    // carries more than its frame.
    const std::vector<std::string> texts = PdfPageTexts(file);
    const int pages = static_cast<int>(texts.size());
    ASSERT_EQ(pages, PdfPages(file));
    ASSERT_GT(pages, 10);
    for (int page = 3; page <= pages; ++page) {
        const std::string& text = texts[static_cast<size_t>(page - 1)];
        EXPECT_LT(text.find("Committente: Rossi Mario - - "), 2u)
            << "page " << page << ": " << text.substr(0, 80);
        EXPECT_NE(text.find(" Antenne Bianchi - - "), std::string::npos) << "page " << page;
        std::string body = text;
        for (const std::string& frame :
             {std::string("Committente: Rossi Mario - -"), std::string("Antenne Bianchi - -"),
              std::string("Ordivex Varne - File Edificio ") + GetParam().name, std::string("Pagina ")})
            if (const size_t at = body.find(frame); at != std::string::npos) body.erase(at, frame.size());
        EXPECT_GT(Collapsed(body).size(), 20u) << "page " << page << ": " << text;
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Buildings, QtPrintSweep,
    ::testing::Values(
        TShape{"two-staircases", 2, 4, 2, TAppartamento{2, 2, 2, 2, 5, 5},
                       {ChoiceTerSat, ChoiceReteCentrale, ChoiceModulare, ChoiceMs4, ChoiceUnite,
                        ChoiceLungoScala}, true},
        TShape{"small-terrestrial", 1, 2, 1, TAppartamento{1, 0, 0, 0, 5, 5},
                       {ChoiceTerrestre, ChoiceReteCentrale, ChoiceLargaBanda}, true},
        // 96 outlets: some 160 pages of separation tables.
        TShape{"twelve-floors", 1, 12, 4, TAppartamento{2, 2, 2, 2, 5, 5},
                       {ChoiceTerSat, ChoiceReteCentrale, ChoiceModulare, ChoiceMs4, ChoiceUnite,
                        ChoiceLungoScala}, true}),
    ShapeName);
// clang-format on

}  // namespace
