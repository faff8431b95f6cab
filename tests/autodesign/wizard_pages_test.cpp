// The design wizard's pages: the page flow, the choices of page 0, the rows of
// the components page, the pickers and their memory in the settings store, and
// the building page with its sketch, over the default library of the build.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "autodesign/wizard.h"
#include "core/libraries.h"
#include "platform/application.h"
#include "platform/stdctrls.h"
#include "support/default_library_folder.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

class WizardPages : public GlobalsTest {
protected:
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    TOpzProgetto opz;
    std::unique_ptr<TAutoProgetto> wizard;

    void SetUp() override {
        Application->Script().Reset();
        RegisterDefaultLibrary(libraries.Get());
        globals.Settings().WriteString("ProgramDir", DefaultLibraryFolder());
        wizard = std::make_unique<TAutoProgetto>();
        wizard->Settings = &opz;
    }
    void Set(bool t, bool s, bool network, bool headEnd, int cables) {
        opz.Terrestrial = t, opz.Satellite = s, opz.DesignNetwork = network, opz.DesignHeadEnd = headEnd;
        opz.SatelliteCables = cables;
    }
    // The pages "Avanti >>" walks through from page 0 to the last page.
    std::vector<int> ForwardPath() {
        wizard->ShowPage(0, false);
        std::vector<int> path{wizard->VisiblePage()};
        while (wizard->VisiblePage() != WizardComponentsPage) {
            wizard->PageForward(nullptr);
            path.push_back(wizard->VisiblePage());
        }
        return path;
    }
    std::vector<int> BackPath() {
        std::vector<int> path{wizard->VisiblePage()};
        while (wizard->VisiblePage() != WizardTypePage) {
            wizard->PageBack(nullptr);
            path.push_back(wizard->VisiblePage());
        }
        return path;
    }
    // The person types text into a picker.
    static void Type(TComboBox* picker, const AnsiString& text) {
        picker->Text = AnsiString();
        picker->InsertTypedText(text);
    }
    TEdit* Field(int row) { return wizard->BuildingEdit[row]; }
    // The person's typing: the whole text replaced, OnChange fired.
    static void Type(TEdit* edit, const AnsiString& text) { edit->UserSet(edit->Text, text); }
    void Click(int column, int row) {
        bool select = true;
        wizard->BuildingGridSelectCell(wizard->BuildingGrid, column, row, select);
        EXPECT_FALSE(select);
    }
};

TEST_F(WizardPages, PageFlowFollowsTheInstallation) {
    struct Case {
        const char* what;
        bool t, s, network, headEnd;
        int cables;
        std::vector<int> forward;
    };
    // clang-format off
    const Case cases[] = {
        {"terrestrial network", true, false, true, false, 1, {0, 1, 4}},
        {"terrestrial with head end", true, false, true, true, 1, {0, 1, 2, 4}},
        {"single-cable satellite head end", false, true, false, true, 1, {0, 1, 3, 4}},
        {"both, single cable, head end", true, true, true, true, 1, {0, 1, 2, 3, 4}},
        {"satellite multiswitch 2 cables", false, true, true, true, 2, {0, 1, 4}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Set(c.t, c.s, c.network, c.headEnd, c.cables);
        EXPECT_EQ(ForwardPath(), c.forward);
        EXPECT_EQ(wizard->BAvanti->Caption.Get(), "Fine");
        EXPECT_TRUE(wizard->Preselezionati->Visible);
        std::vector<int> back(c.forward.rbegin(), c.forward.rend());
        EXPECT_EQ(BackPath(), back);
        EXPECT_FALSE(wizard->BIndietro->Enabled);
        EXPECT_FALSE(wizard->Preselezionati->Visible);
    }
}

TEST_F(WizardPages, FineStoresThePageAndClosesWithOne) {
    wizard->ShowPage(WizardComponentsPage, false);
    wizard->CablePicker[1]->Text = "GCX-10";
    wizard->ConnectorPicker[1]->ItemIndex = 2;
    wizard->PackageBox[4]->Checked = true;
    wizard->PageForward(nullptr);
    EXPECT_EQ(wizard->ModalResult.Get(), WizardDone);
    EXPECT_EQ(opz.CableTexts[1], "GCX-10");
    EXPECT_EQ(opz.SatConnector, 2);
    EXPECT_TRUE(opz.Packages[4]);
}

TEST_F(WizardPages, ComponentSelectionModeOffersPageFourAlone) {
    wizard->FillComponentPickers();
    wizard->ShowPage(WizardBuildingPage, false);
    wizard->PrepareComponentSelection();
    EXPECT_EQ(wizard->VisiblePage(), WizardComponentsPage);
    EXPECT_EQ(wizard->BAvanti->Caption.Get(), "Ok");
    EXPECT_FALSE(wizard->BIndietro->Visible);
    EXPECT_FALSE(wizard->Progetto->Visible);
    EXPECT_TRUE(wizard->FrequencyPicker->Visible);
    EXPECT_FALSE(wizard->CablePicker[0]->Visible);
    EXPECT_EQ(wizard->Caption.Get(), Application->Title + " - Selezione automatica dei componenti");
    // Ten bands, band 5 chosen.
    EXPECT_EQ(wizard->FrequencyPicker->Items->Count(), FrequencyBands);
    EXPECT_EQ(wizard->CalculationBand(), 5);
    wizard->FrequencyPicker->ItemIndex = -1;
    EXPECT_EQ(wizard->CalculationBand(), 5);
    wizard->FrequencyPicker->ItemIndex = 8;
    EXPECT_EQ(wizard->CalculationBand(), 9);
    // Leaving the mode: back to the page of before.
    wizard->PrepareAutoDesign();
    EXPECT_EQ(wizard->VisiblePage(), WizardBuildingPage);
    EXPECT_TRUE(wizard->BIndietro->Visible);
    EXPECT_TRUE(wizard->Progetto->Visible);
    EXPECT_FALSE(wizard->FrequencyPicker->Visible);
}

TEST_F(WizardPages, ChoicesWriteTheSettingsAndRefreshTheButtons) {
    wizard->ResetWizard();
    struct Step {
        int choice;
        bool ter, sat;
        int cables;
        std::vector<int> red;       // buttons shown chosen
        std::vector<int> disabled;  // a button of each disabled group
        bool forward;
    };
    // clang-format off
    const Step steps[] = {
        {ChoiceTerrestre, true, false, 1, {ChoiceTerrestre, ChoiceRete}, {ChoiceLargaBanda, ChoiceMonocavo, ChoiceSeparate, ChoiceRadiale}, true},
        {ChoiceReteCentrale, true, false, 1, {ChoiceTerrestre, ChoiceReteCentrale, ChoiceModulare}, {ChoiceMonocavo, ChoiceSeparate}, true},
        {ChoiceTerSat, true, true, 1, {ChoiceTerSat, ChoiceMonocavo, ChoiceUnite}, {ChoiceLungoScala}, true},
        {ChoiceMs4, true, true, 4, {ChoiceMs4, ChoiceLungoScala}, {}, true},
        {ChoiceRadiale, true, true, 4, {ChoiceRadiale}, {}, true},
        {ChoiceInAppartamento, true, true, 4, {ChoiceInAppartamento}, {}, true},
        {ChoiceMonocavo, true, true, 1, {ChoiceMonocavo}, {ChoiceLungoScala}, true},
    };
    // clang-format on
    for (const Step& s : steps) {
        SCOPED_TRACE(s.choice);
        opz.DesignRequested = false;
        wizard->ChoiceClick(wizard->Choice[s.choice]);
        EXPECT_TRUE(opz.DesignRequested);
        EXPECT_EQ(opz.Terrestrial, s.ter);
        EXPECT_EQ(opz.Satellite, s.sat);
        EXPECT_EQ(opz.SatelliteCables, s.cables);
        for (int k : s.red) {
            EXPECT_TRUE(wizard->Choice[k]->Checked) << k;
            EXPECT_EQ(wizard->Choice[k]->Font->Color.Get(), clRed) << k;
        }
        for (int k : s.disabled) EXPECT_FALSE(wizard->Choice[k]->Enabled) << k;
        EXPECT_EQ(wizard->BAvanti->Enabled.Get(), s.forward);
    }
    EXPECT_FALSE(opz.Radial);
    EXPECT_EQ(wizard->Choice[ChoiceTerrestre]->Font->Color.Get(), clBlack);
    // Nothing to install, or nothing to design: no way forward.
    opz.Terrestrial = opz.Satellite = false;
    wizard->RefreshChoices();
    EXPECT_FALSE(wizard->BAvanti->Enabled);
    opz.Terrestrial = true;
    opz.DesignNetwork = opz.DesignHeadEnd = false;
    wizard->RefreshChoices();
    EXPECT_FALSE(wizard->BAvanti->Enabled);
    // While the wizard fills its controls a click changes nothing.
    wizard->Busy = true;
    wizard->ChoiceClick(wizard->Choice[ChoiceSatellitare]);
    EXPECT_TRUE(opz.Terrestrial);
}

// "Multiswitch in appartamento" is not offered and "Centrale di testa"
// cannot be chosen, though a record that holds either shows it.
TEST_F(WizardPages, TypePageHidesTheApartmentSwitchesAndKeepsTheHeadEndAloneDisabled) {
    wizard->ResetWizard();
    EXPECT_FALSE(wizard->Choice[ChoiceInAppartamento]->Visible);
    EXPECT_EQ(wizard->Choice[ChoiceRadiale]->Top.Get(), 68);
    EXPECT_EQ(wizard->ChoiceGroup[ChoiceGroups - 1]->Height.Get(), 93);
    opz.Terrestrial = opz.Satellite = true;
    opz.SatelliteCables = 4;
    opz.DesignNetwork = false;
    opz.DesignHeadEnd = true;
    wizard->RefreshChoices();
    EXPECT_TRUE(wizard->Choice[ChoiceCentrale]->Checked);
    EXPECT_EQ(wizard->Choice[ChoiceCentrale]->Font->Color.Get(), clRed);
    for (int k : {ChoiceRete, ChoiceReteCentrale, ChoiceLungoScala, ChoiceRadiale})
        EXPECT_TRUE(wizard->Choice[k]->Enabled) << k;
    EXPECT_FALSE(wizard->Choice[ChoiceCentrale]->Enabled);
    wizard->ChoiceClick(wizard->Choice[ChoiceReteCentrale]);
    EXPECT_FALSE(wizard->Choice[ChoiceCentrale]->Enabled);
    EXPECT_TRUE(opz.DesignNetwork && opz.DesignHeadEnd);
}

TEST_F(WizardPages, ComponentRowsFollowTheInstallation) {
    struct Case {
        const char* what;
        bool t, s, separate;
        int cables;
        bool along;
        std::vector<bool> enabled;          // six cable rows, then two connector rows
        std::vector<std::string> captions;  // rows 1, 3, 5, connector 1
    };
    // clang-format off
    const Case cases[] = {
        {"terrestrial only", true, false, false, 1, true, {1, 0, 1, 0, 1, 0, 1, 0},
         {"Cavo montante satellite", "Cavo scala-appartamento satellite", "Cavo appartamento satellite", "Connettori prese satellitari"}},
        {"single cable, joint", true, true, false, 1, true, {0, 1, 0, 1, 0, 1, 0, 1},
         {"Cavo montante", "Cavo scala-appartamento", "Cavo appartamento", "Connettori prese"}},
        {"multiswitch 4, joint, along the staircase", true, true, false, 4, true, {1, 1, 0, 1, 0, 1, 0, 1},
         {"Cavo montante satellite", "Cavo scala-appartamento satellite", "Cavo appartamento satellite", "Connettori prese"}},
        {"separate", true, true, true, 1, true, {1, 1, 1, 1, 1, 1, 1, 1},
         {"Cavo montante satellite", "Cavo scala-appartamento satellite", "Cavo appartamento", "Connettori prese satellitari"}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        opz.Terrestrial = c.t, opz.Satellite = c.s, opz.SeparateDistributions = c.separate;
        opz.SatelliteCables = c.cables, opz.MultiswitchAlongStaircase = c.along;
        wizard->ShowPage(WizardComponentsPage, false);
        for (int r = 0; r < CableRows; ++r) {
            EXPECT_EQ(wizard->CableLabel[r]->Enabled.Get(), c.enabled[r]) << r;
            EXPECT_EQ(wizard->CablePicker[2 * r + 1]->Enabled.Get(), c.enabled[r]) << r;
        }
        for (int k = 0; k < ConnectorPickers; ++k)
            EXPECT_EQ(wizard->ConnectorPicker[k]->Enabled.Get(), c.enabled[CableRows + k]) << k;
        EXPECT_EQ(wizard->CableLabel[1]->Caption.Get(), c.captions[0]);
        EXPECT_EQ(wizard->CableLabel[3]->Caption.Get(), c.captions[1]);
        EXPECT_EQ(wizard->CableLabel[5]->Caption.Get(), c.captions[2]);
        EXPECT_EQ(wizard->ConnectorLabel[1]->Caption.Get(), c.captions[3]);
    }
}

TEST_F(WizardPages, PickersListCablesAndRememberTheChoice) {
    wizard->FillComponentPickers();
    // One library with components: the tree holds it fully marked and expanded; the empty pickers take it.
    ASSERT_EQ(wizard->ComponentTree->Items->RootCount(), 1);
    TTreeNode* root = wizard->ComponentTree->Items->GetFirstNode();
    EXPECT_EQ(root->StateIndex.Get(), NodeFull);
    EXPECT_TRUE(root->Expanded());
    EXPECT_EQ(wizard->ChannelPanels[0]->Library->Text.Get(), "Varne");
    TComboBox* library = wizard->CablePicker[0];
    TComboBox* code = wizard->CablePicker[1];
    EXPECT_EQ(library->Text.Get(), "Varne");
    wizard->CodePickerEnter(code);
    ASSERT_GT(code->Items->Count(), 1);
    for (int i = 1; i < code->Items->Count(); ++i) EXPECT_LT((*code->Items)[i - 1], (*code->Items)[i]);
    EXPECT_GE(code->Items->IndexOf("GCX-10"), 0);
    // A code goes to the settings store with its library; a library change empties the code.
    Type(code, "GCX-05");
    EXPECT_EQ(globals.Settings().String("CMTCod"), "GCX-05");
    EXPECT_EQ(globals.Settings().String("CMTLib"), "Varne");
    Type(library, "Altra");
    EXPECT_EQ(code->Text.Get(), "");
    wizard->ConnectorPicker[0]->SelectByUser(3);
    EXPECT_EQ(globals.Settings().String("CPresaTer"), "3");
    wizard->PackageBox[2]->Click();
    bool on = false;
    globals.Settings().ReadBool("CRai", on);
    EXPECT_TRUE(on);
}

TEST_F(WizardPages, PickersTakeDefaultSelThenTheRecordThenTheSettingsStore) {
    // "Default.sel" gives GCX-10 to row 0 and GCX-07 to row 1; the record
    // replaces row 1's code, the settings store row 2's.
    opz.CableTexts[3] = "RECORD";
    opz.CableTexts[5] = "RECORD";
    globals.Settings().WriteString("CSTCod", "STORE");
    globals.Settings().WriteInteger("CPresaSat", 4);
    wizard->FillComponentPickers();
    EXPECT_EQ(wizard->CablePicker[1]->Text.Get(), "GCX-10");
    EXPECT_EQ(wizard->CablePicker[3]->Text.Get(), "RECORD");
    EXPECT_EQ(wizard->CablePicker[5]->Text.Get(), "STORE");
    EXPECT_EQ(wizard->ConnectorPicker[1]->ItemIndex.Get(), 4);
    // The pickers go into the record at the end.
    EXPECT_EQ(opz.CableTexts[5], "STORE");
    EXPECT_EQ(opz.SatConnector, 4);
    EXPECT_FALSE(wizard->FirstShow);
}

// ---- The building page ----

TEST_F(WizardPages, NewBuildingSketchAndStaircaseCount) {
    wizard->ResetWizard();
    wizard->ShowPage(WizardBuildingPage, false);
    EXPECT_EQ(wizard->BuildingGrid->RowCount.Get(), 4);
    EXPECT_EQ(wizard->BuildingGrid->ColCount.Get(), 2);
    EXPECT_TRUE(opz.Building->AllSelected);
    EXPECT_EQ(Field(RowStaircases)->Text.Get(), "1");
    // Typed by the person: a count beyond the row's range changes nothing
    // (leaving the field refuses it and puts back the count before).
    Type(Field(RowStaircases), "7");
    EXPECT_EQ(opz.Building->StaircaseCount, 1);
    EXPECT_FALSE(opz.DesignRequested);
    Type(Field(RowStaircases), "4");
    EXPECT_EQ(opz.Building->StaircaseCount, 4);
    EXPECT_TRUE(opz.DesignRequested);
    EXPECT_EQ(wizard->BuildingGrid->ColCount.Get(), 8);
    Type(Field(RowStaircases), "0");
    EXPECT_EQ(opz.Building->StaircaseCount, 4);
    Type(Field(RowStaircases), "1");
    EXPECT_EQ(opz.Building->StaircaseCount, 1);
    // Two floors: 4 + 1 rows; 0 apartments allowed.
    Type(Field(RowFloors), "2");
    EXPECT_EQ(wizard->BuildingGrid->RowCount.Get(), 5);
    Type(Field(RowApartments), "0");
    EXPECT_EQ(opz.Building->Staircases[0].Floors[0].ApartmentCount, 0);
    // A negative feeder distance is not taken; 12 is.
    const int32_t distance = opz.AntennaHeadEndDistance;
    Type(wizard->FeederEdit[0], "-4");
    EXPECT_EQ(opz.AntennaHeadEndDistance, distance);
    Type(wizard->FeederEdit[0], "12");
    EXPECT_EQ(opz.AntennaHeadEndDistance, 12);
    // The arrows step within the row's range.
    EXPECT_EQ(wizard->BuildingUpDown[RowStaircases]->Max.Get(), 4);
    EXPECT_EQ(wizard->BuildingUpDown[RowTerrOutlets]->Min.Get(), 1);
}

TEST_F(WizardPages, DifferingFloorsLeaveTheApartmentCountEmpty) {
    TPalazzo& b = *opz.Building;
    b.Staircases[0].FloorCount = 2;
    b.Staircases[0].Floors[0].ApartmentCount = 2;
    b.Staircases[0].Floors[1].ApartmentCount = 3;
    wizard->ResetWizard();
    wizard->ShowPage(WizardBuildingPage, false);
    EXPECT_EQ(Field(RowApartments)->Text.Get(), "");
    Type(Field(RowApartments), "x");
    EXPECT_EQ(b.Staircases[0].Floors[0].ApartmentCount, 2);
    EXPECT_EQ(b.Staircases[0].Floors[1].ApartmentCount, 3);
}

TEST_F(WizardPages, SketchClicksSelectAndEnableTheRows) {
    TPalazzo& b = *opz.Building;
    b.StaircaseCount = 2;
    TPalazzo::CopyStaircase(b.Staircases[1], b.Staircases[0]);
    wizard->ResetWizard();
    wizard->ShowPage(WizardBuildingPage, false);
    // Staircase 2 starts at column 2.
    const TSketchCell cell = wizard->SketchCellToBuilding(2, 1);
    EXPECT_EQ(cell.Staircase, 1);
    EXPECT_EQ(cell.Floor, -2);
    EXPECT_EQ(cell.Apartment, -1);
    EXPECT_EQ(wizard->SketchCellToBuilding(9, 1).Staircase, -1);
    Click(2, 1);
    EXPECT_FALSE(b.AllSelected);
    EXPECT_EQ(b.SelectedStaircase, 1);
    const bool rowOne[BuildingRows] = {false, true, true, true, true,  false,
                                       true,  true, true, true, false, false};
    for (int r = 0; r < BuildingRows; ++r) EXPECT_EQ(wizard->BuildingLabel[r]->Enabled.Get(), rowOne[r]) << r;
    // The floor number of staircase 2.
    Click(2, 3);
    EXPECT_EQ(b.SelectedFloor, 0);
    EXPECT_TRUE(wizard->BuildingLabel[RowApartments]->Enabled);
    EXPECT_FALSE(wizard->BuildingLabel[RowFloors]->Enabled);
}

TEST_F(WizardPages, LayoutPickersAcceptOnlyTheirItems) {
    wizard->ResetWizard();
    wizard->ShowPage(WizardBuildingPage, false);
    TComboBox* ter = wizard->LayoutPicker[0];
    ter->SelectByUser(2);
    EXPECT_EQ(opz.Building->Staircases[0].Floors[0].Apartments[0].TerrLayout, 2);
    Type(ter, "8 linee");
    EXPECT_EQ(opz.Building->Staircases[0].Floors[0].Apartments[0].TerrLayout, 2);
    ter->OnExit(ter);
    EXPECT_EQ(ter->Text.Get(), "2 linee");
    EXPECT_EQ(opz.Building->Staircases[0].Floors[0].Apartments[0].TerrLayout, 2);
    // "Prese singole" only with a radial satellite distribution.
    EXPECT_EQ(wizard->LayoutPicker[1]->Items->IndexOf("Prese singole"), -1);
    opz.Satellite = true, opz.SatelliteCables = 4, opz.Radial = true;
    wizard->ShowPage(WizardBuildingPage, false);
    EXPECT_EQ(wizard->LayoutPicker[1]->Items->IndexOf("Prese singole"), 7);
    wizard->LayoutPicker[1]->SelectByUser(7);
    EXPECT_EQ(opz.Building->Staircases[0].Floors[0].Apartments[0].SatLayout, 7);
}

TEST_F(WizardPages, NuovoStartsADesignFromTheDefaults) {
    opz.Terrestrial = false;
    opz.Building->StaircaseCount = 3;
    wizard->ShowPage(WizardComponentsPage, false);
    wizard->Nuovo1Click(nullptr);
    EXPECT_TRUE(opz.Terrestrial);
    EXPECT_EQ(opz.Building->StaircaseCount, 1);
    EXPECT_EQ(wizard->VisiblePage(), WizardTypePage);
    EXPECT_TRUE(opz.WizardSynced);
}

}  // namespace
