// The schemes and the material list of buildings of other shapes than the
// staircase of the other print tests, designed by the wizard on the default
// library and printed to PDF as the print items print them: each scheme on
// one page inside the sheet with every cell's code on it. The PDFs and their
// pages stay in the build folder to be looked at.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "app/main_form.h"
#include "autodesign/wizard.h"
#include "cells/cell.h"
#include "document/design_settings.h"
#include "document/grid.h"
#include "document/project.h"
#include "qt/designed_project.h"

namespace {

using namespace qttest;

using QtPrintShapes = QtDesignedShape;

TEST_P(QtPrintShapes, SchemesAndListOfTheDesign) {
    ASSERT_EQ(messages, "");
    const std::string name = std::string("shape-") + GetParam().name;
    const std::pair<std::string, const TGridData*> schemes[] = {
        {PrintItemToPdf(form, form->SRete, (name + "-network.pdf").c_str()), project->NetworkGrid},
        {PrintItemToPdf(form, form->STesta, (name + "-head-end.pdf").c_str()), project->HeadEndGrid},
    };
    for (const auto& [file, grid] : schemes) {
        SCOPED_TRACE(file);
        EXPECT_EQ(PdfPages(file), 1);
        const std::string text = " " + PdfText(file) + " ";
        int cells = 0;
        for (TCella* c = grid->Anchor->NextCell; c; c = c->NextCell)
            if (c->GetShortCode() != "*") {
                ++cells;
                EXPECT_NE(text.find(" " + c->GetShortCode() + " "), std::string::npos) << c->GetShortCode();
            }
        EXPECT_GE(cells, 2);
    }
    const std::string list = PrintItemToPdf(form, form->SElencoRete, (name + "-list.pdf").c_str());
    EXPECT_NE(PdfText(list, 1).find("Tipologia del materiale della rete"), std::string::npos);
    // The default library's texts stand whole in their columns: nothing cut.
    const std::string estimate = PrintItemToPdf(form, form->SPreventivo, (name + "-estimate.pdf").c_str());
    for (const std::string& file : {list, estimate})
        EXPECT_EQ(PdfText(file).find("\u2026"), std::string::npos) << file;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Buildings, QtPrintShapes,
    ::testing::Values(
        TShape{"radial", 1, 4, 2, TAppartamento{2, 2, 2, 2, 5, 5},
               {ChoiceTerSat, ChoiceReteCentrale, ChoiceModulare, ChoiceMs4, ChoiceUnite, ChoiceRadiale},
               true},
        TShape{"terrestrial", 1, 6, 3, TAppartamento{2, 0, 0, 0, 5, 5},
               {ChoiceTerrestre, ChoiceReteCentrale, ChoiceLargaBanda}, true},
        TShape{"satellite", 2, 3, 2, TAppartamento{0, 2, 0, 0, 5, 5},
               {ChoiceSatellitare, ChoiceReteCentrale, ChoiceMs4, ChoiceLungoScala}, false},
        TShape{"in-apartment", 1, 4, 2, TAppartamento{1, 2, 0, 0, 5, 5},
               {ChoiceTerSat, ChoiceReteCentrale, ChoiceModulare, ChoiceMs4, ChoiceUnite, ChoiceInAppartamento},
               true}),
    ShapeName);
// clang-format on

}  // namespace
