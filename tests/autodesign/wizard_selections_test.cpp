// The wizard's ties to the outside: "Default.sel" of the program directory,
// the four preselection slots of the settings store with their menus, and the
// ticked components collected into the engine's list, over the default
// library of the build's generator.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "autodesign/engine.h"
#include "autodesign/wizard.h"
#include "cells/cell.h"
#include "cells/library_cells.h"
#include "core/channel_plans.h"
#include "core/control_builders.h"
#include "core/file.h"
#include "core/libraries.h"
#include "platform/application.h"
#include "platform/stdctrls.h"
#include "support/default_library_folder.h"
#include "support/design_components.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

class WizardSelections : public GlobalsTest {
protected:
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    TListBox messages;
    TOpzProgetto opz;
    std::unique_ptr<TAutoProgetto> wizard;
    TSelectionTreeView* tree = nullptr;

    void SetUp() override {
        globals.Reporter().SetTarget(&messages);
        Application->Script().Reset();
        RegisterDefaultLibrary(libraries.Get());
        // "Default.sel" is read from the program directory.
        globals.Settings().WriteString("ProgramDir", DefaultLibraryFolder());
        wizard = std::make_unique<TAutoProgetto>();
        wizard->Settings = &opz;
        tree = wizard->ComponentTree;
        FillLibraryTree(tree, SelectionTreeFlags, OfferedOnPalettes);
        tree->AlphaSort();
    }
    void TearDown() override { EXPECT_TRUE(MessagesOf(messages).empty()); }

    std::vector<std::string> Pickers() const {
        std::vector<std::string> texts;
        for (TComboBox* c : wizard->CablePicker) texts.push_back(c->Text);
        return texts;
    }
    void SetPickers(const char* text) {
        for (TComboBox* c : wizard->CablePicker) c->Text = text;
    }
    // Every node's mark, depth first.
    std::string Marks() const {
        std::string s;
        for (TTreeNode* n = tree->Items->GetFirstNode(); n; n = n->GetNext())
            s += std::to_string(n->StateIndex.Get());
        return s;
    }
    std::vector<std::string> Checked() const {
        TStringList list;
        tree->GetCheckedPaths(list);
        std::vector<std::string> lines;
        for (int i = 0; i < list.Count(); ++i) lines.push_back(list[i]);
        return lines;
    }
    static std::string Sel(const std::vector<AnsiString>& texts) {
        TMemoryStream s;
        for (const AnsiString& t : texts) chunked::WriteString(s, t, -1);
        return s.Bytes();
    }
    void ReadSel(const std::string& bytes) {
        TMemoryStream s(bytes);
        wizard->ReadDefaultSel(s);
    }
    TTreeNode* FirstGroup() const { return tree->Items->GetFirstNode()->getFirstChild(); }
};

const std::vector<std::string> DefaultCables = {"Varne", "GCX-10", "Varne", "GCX-10", "Varne", "GCX-07",
                                                "Varne", "GCX-07", "Varne", "GCX-05", "Varne", "GCX-05"};

// ---- "Default.sel" ----

TEST_F(WizardSelections, DefaultSelOfTheBuildTicksTheLibraryAndSetsTheCables) {
    ASSERT_EQ(tree->Items->RootCount(), 1);
    EXPECT_EQ(Marks().find_first_not_of('1'), std::string::npos);
    wizard->ReadDefaultSel();
    EXPECT_EQ(Marks().find_first_not_of('3'), std::string::npos);
    EXPECT_EQ(Checked(), std::vector<std::string>{"Varne"});
    EXPECT_EQ(Pickers(), DefaultCables);
}

TEST_F(WizardSelections, DefaultSelCases) {
    std::vector<AnsiString> cables(DefaultCables.begin(), DefaultCables.end());
    std::vector<AnsiString> all = {"Varne"};
    all.insert(all.end(), cables.begin(), cables.end());
    std::vector<AnsiString> noSelection = all;
    noSelection[0] = "";
    const std::string group = TSelectionTreeView::NodePath(FirstGroup());
    // 300 characters: a path no node has, then the group's path.
    const AnsiString longSelection = std::string(300 - group.size() - 2, 'x') + "\r\n" + group;
    const std::string whole = Sel(all);
    // Strings 1 to 4 ("Varne", "Varne", "GCX-10", "Varne") take 25 bytes.
    const size_t fifth = 6 + 6 + 7 + 6;
    ASSERT_EQ(whole.substr(fifth, 7), "\x06GCX-10");

    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::string> checked;
        std::vector<std::string> pickers;
    };
    std::vector<std::string> firstThree = {"Varne", "GCX-10", "Varne"};
    for (int i = 3; i < 12; ++i) firstThree.push_back("prima");
    const std::vector<Case> cases = {
        {"empty selection: no mark, every picker", Sel(noSelection), {}, DefaultCables},
        {"the selection alone changes no picker",
         Sel({"Varne"}),
         {"Varne"},
         std::vector<std::string>(12, "prima")},
        {"twelve empty strings change no picker",
         Sel({"Varne", "", "", "", "", "", "", "", "", "", "", "", ""}),
         {"Varne"},
         std::vector<std::string>(12, "prima")},
        {"a selection of two chunks is read whole",
         Sel({longSelection}),
         {group},
         std::vector<std::string>(12, "prima")},
        {"a file cut inside string 5 sets strings 2 to 4", whole.substr(0, fifth + 3), {"Varne"}, firstThree},
        {"a length byte beyond the file's end",
         whole.substr(0, fifth) + "\x30"
                                  "ab",
         {"Varne"},
         firstThree},
        {"a file cut after a full piece of 255",
         std::string("\xff") + std::string(255, 'y'),
         {},
         std::vector<std::string>(12, "prima")},
        {"an empty file empties the marks", "", {}, std::vector<std::string>(12, "prima")},
    };
    for (const Case& c : cases) {
        tree->SetNodeState(tree->Items->GetFirstNode(), NodeFull);
        SetPickers("prima");
        ReadSel(c.bytes);
        EXPECT_EQ(Checked(), c.checked) << c.what;
        EXPECT_EQ(Pickers(), c.pickers) << c.what;
    }
}

TEST_F(WizardSelections, MissingDefaultSelChangesNothing) {
    globals.Settings().WriteString("ProgramDir", globals.Dir().Path());
    tree->SetNodeState(FirstGroup(), NodeFull);
    const std::string marks = Marks();
    SetPickers("prima");
    wizard->ReadDefaultSel();
    EXPECT_EQ(Marks(), marks);
    EXPECT_EQ(Pickers(), std::vector<std::string>(12, "prima"));
    EXPECT_TRUE(Application->Script().MessageBoxes.empty());
}

// ---- Preselections ----

class Preselections : public WizardSelections {
protected:
    // Antenna 3: plan "Europa", range 470-862, channels 21 (digital, "Rai", 72,5) and 5 (no level).
    void FillAntenna() {
        TAntennaAutoProg& a = opz.Antennas[3];
        a.FMin = 470;
        a.FMax = 862;
        a.Library = "Varne";
        a.Code = "GAN-UHF";
        ASSERT_TRUE(a.AddPlanChannel(a.Plan->IndexOf("21"), "Rai", 72.5f, SignalDigital));
        ASSERT_TRUE(a.AddPlanChannel(a.Plan->IndexOf("5"), "", LevelNone, 0));
    }
    AnsiString Value(const AnsiString& name) { return globals.Settings().String(name); }
};

TEST_F(Preselections, AntennasSavedAndLoaded) {
    FillAntenna();
    wizard->CurrentPage = WizardChannelsPage;
    wizard->SavePreselection(2);
    EXPECT_EQ(Value("PreselT2"), "W");
    EXPECT_EQ(Value("PreselT23Can0Nome"), "5");
    EXPECT_EQ(Value("PreselT23Can1Nome"), "21");
    EXPECT_EQ(Value("PreselT23Can1Desc"), "Rai");
    EXPECT_EQ(Value("PreselT23Can1Sig"), "72,5");
    EXPECT_EQ(Value("PreselT23Can1Tipo"), "d");
    EXPECT_EQ(Value("PreselT23CanId"), "51");
    EXPECT_EQ(Value("PreselT23CanNome"), "Europa");
    EXPECT_EQ(Value("PreselT23CanNum"), "2");
    EXPECT_EQ(Value("PreselT29CanNum"), "0");

    for (TAntennaAutoProg& a : opz.Antennas) a.Reset();
    opz.Antennas[0].Code = "altro";
    wizard->LoadPreselection(2);
    const TAntennaAutoProg& a = opz.Antennas[3];
    EXPECT_EQ(a.FMin, 470.0f);
    EXPECT_EQ(a.FMax, 862.0f);
    EXPECT_EQ(a.Code, "GAN-UHF");
    EXPECT_EQ(a.Plan, CanalizzazioneEuropa);
    ASSERT_EQ(a.Channels.Count(), 2);
    EXPECT_EQ(a.Channels.head->name, "5");
    EXPECT_EQ(a.Channels.head->levelMin, LevelNone);
    EXPECT_EQ(a.Channels.head->next->levelMin, 72.5f);
    EXPECT_EQ(a.Channels.head->next->signalType, SignalDigital);
    EXPECT_TRUE(a.Received[a.Plan->IndexOf("21")]);
    EXPECT_EQ(opz.Antennas[0].Code, "");
    EXPECT_EQ(opz.Antennas[0].FMin, LevelNone);
    // The panels show the loaded antennas.
    EXPECT_EQ(wizard->ChannelPanels[0]->Plan->Text.Get(), "Europa");
    EXPECT_EQ(wizard->ChannelPanels[2]->Caption.Get(), "Antenna 3 ");
}

TEST_F(Preselections, MissingValuesLoadAsNoValue) {
    TIni& ini = globals.Settings();
    ini.WriteString("PreselT1", "W");
    ini.WriteString("PreselT10CanNome", "Europa");
    ini.WriteInteger("PreselT10CanNum", 3);
    ini.WriteString("PreselT10Can0Nome", "21");
    ini.WriteString("PreselT10Can1Nome", "22");
    ini.WriteString("PreselT10Can1Sig", "1,2,3");
    ini.WriteString("PreselT10Can2Nome", "nessuno");
    wizard->CurrentPage = WizardChannelsPage;
    wizard->LoadPreselection(1);
    const TAntennaAutoProg& a = opz.Antennas[0];
    EXPECT_EQ(a.FMin, LevelNone);
    EXPECT_EQ(a.FMax, LevelNone);
    ASSERT_EQ(a.Channels.Count(), 2);
    EXPECT_EQ(a.Channels.head->levelMin, LevelNone);
    EXPECT_EQ(a.Channels.head->next->levelMin, LevelNone);
    EXPECT_EQ(a.Channels.head->signalType, SignalAnalog);
    ASSERT_EQ(a.OtherChannels.size(), 1u);
    EXPECT_EQ(a.OtherChannels[0].Name, "nessuno");
}

TEST_F(Preselections, SavingTwiceAsksAndNoKeepsTheFirstSave) {
    FillAntenna();
    wizard->CurrentPage = WizardChannelsPage;
    wizard->Preselezione3SClick(nullptr);
    EXPECT_TRUE(Application->Script().MessageBoxes.empty());
    opz.Antennas[3].Code = "cambiato";
    Application->Script().AnswerMessageBox(IDNO);
    wizard->Preselezione3SClick(nullptr);
    ASSERT_EQ(Application->Script().MessageBoxes.size(), 1u);
    const TMessageBoxCall& asked = Application->Script().MessageBoxes[0];
    EXPECT_EQ(asked.Text,
              "Questa operazione comporta la perdita della precedente preselezione 3. Procedere?");
    EXPECT_EQ(asked.Caption, Application->Title);
    EXPECT_EQ(asked.Flags, MB_YESNO | MB_ICONEXCLAMATION);
    EXPECT_EQ(Value("PreselT33Cod"), "GAN-UHF");
    Application->Script().AnswerMessageBox(IDYES);
    wizard->Preselezione3SClick(nullptr);
    EXPECT_EQ(Value("PreselT33Cod"), "cambiato");

    // From the components page only the component values are written.
    wizard->CurrentPage = WizardComponentsPage;
    wizard->Preselezione3SClick(nullptr);
    EXPECT_EQ(Application->Script().MessageBoxes.size(), 2u);
    EXPECT_EQ(Value("PreselC3"), "W");
    EXPECT_EQ(Value("PreselT33Cod"), "cambiato");
    EXPECT_EQ(Value("PreselT33Can1Nome"), "21");
}

TEST_F(Preselections, ComponentsSavedAndLoaded) {
    wizard->ReadDefaultSel();
    tree->SetNodeState(FirstGroup(), NodeEmpty);
    const std::vector<std::string> checked = Checked();
    ASSERT_GT(checked.size(), 1u);
    wizard->CablePicker[1]->Text = "";
    wizard->ConnectorPicker[1]->ItemIndex = 2;
    wizard->CurrentPage = WizardComponentsPage;
    wizard->SavePreselection(4);
    EXPECT_EQ(Value("PreselC4MTCod"), "");
    EXPECT_EQ(Value("PreselC4MSCod"), "GCX-10");
    EXPECT_EQ(Value("PreselC4PresaSat"), "2");
    EXPECT_EQ(Value("PreselT4"), "");

    tree->SetNodeState(tree->Items->GetFirstNode(), NodeFull);
    SetPickers("prima");
    wizard->ConnectorPicker[1]->ItemIndex = 0;
    wizard->LoadPreselection(4);
    EXPECT_EQ(Checked(), checked);
    std::vector<std::string> expected = DefaultCables;
    expected[1] = "prima";  // an empty stored text keeps the picker's
    EXPECT_EQ(Pickers(), expected);
    EXPECT_EQ(wizard->ConnectorPicker[1]->ItemIndex.Get(), 2);

    // A slot never saved changes nothing.
    wizard->LoadPreselection(1);
    EXPECT_EQ(Checked(), checked);
}

TEST_F(Preselections, LoadItemsFollowTheSlotsOfThePage) {
    TIni& ini = globals.Settings();
    ini.WriteString("PreselT2", "W");
    ini.WriteString("PreselC1", "W");
    ini.WriteString("PreselC4", "W");
    struct Case {
        int page;
        std::vector<bool> enabled;
    };
    for (const Case& c : std::vector<Case>{{WizardChannelsPage, {false, true, false, false}},
                                           {WizardComponentsPage, {true, false, false, true}}}) {
        wizard->CurrentPage = c.page;
        wizard->PreselezionatiClick(nullptr);
        for (int n = 0; n < PreselectionSlots; ++n)
            EXPECT_EQ(wizard->PreselezioneL[n]->Enabled.Get(), c.enabled[n])
                << "page " << c.page << " slot " << n + 1;
    }
    // A save enables its load item.
    wizard->Preselezione3SClick(nullptr);
    EXPECT_TRUE(wizard->PreselezioneL[2]->Enabled.Get());
    EXPECT_EQ(wizard->Preselezionati->Caption.Get(), "&Preselezionati");
    EXPECT_EQ(wizard->PreselezioneS[2]->Caption.Get(), "Preselezione &3");
}

// ---- The components of a run ----

class CollectedComponents : public WizardSelections {
protected:
    TCreaAuto engine{&globals.Reporter()};
    std::vector<std::string> Codes() const {
        std::vector<std::string> codes;
        for (TCella* c = engine.Components->head; c; c = c->NextInList) codes.push_back(c->Code);
        return codes;
    }
    // The library's articles as a component list orders them.
    std::vector<std::string> LibraryOrder(const std::function<bool(TCella&)>& keep) {
        TMemLib all;
        TLibreria* library = libraries.Get().head;
        EXPECT_TRUE(library->Open());
        for (std::unique_ptr<TCella> cell = FirstLibraryCell(*library); cell; cell = NextLibraryCell(*library))
            if (keep(*cell)) all.Insert(std::move(cell));
        library->Close();
        std::vector<std::string> codes;
        for (TCella* c = all.head; c; c = c->NextInList) codes.push_back(c->Code);
        return codes;
    }
};

TEST_F(CollectedComponents, TickedArticlesComeFromTheirLibrary) {
    engine.Components->Append(TestCable("vecchio", {5}));
    wizard->ReadDefaultSel();
    EXPECT_TRUE(wizard->CollectSelectedComponents(*engine.Components));
    // The tree lists the component kinds of the palettes: every article but
    // the four antennas and three cables, which the channel panels and the
    // cable pickers choose.
    const std::vector<std::string> all =
        LibraryOrder([](TCella& c) { return c.TypeCode != 38 && c.TypeCode != 81; });
    EXPECT_EQ(all.size(), 227u - 7u);
    const std::vector<std::string> collected = Codes();
    for (const std::string& code : all)
        if (std::find(collected.begin(), collected.end(), code) == collected.end()) ADD_FAILURE() << code;
    EXPECT_EQ(collected, all);

    // One group: its articles only.
    TTreeNode* group = FirstGroup()->getNextSibling();
    tree->CheckPaths(TStringList());
    tree->SetNodeState(group, NodeFull);
    wizard->CollectSelectedComponents(*engine.Components);
    const AnsiString category = group->Text;
    const std::vector<std::string> ofGroup = LibraryOrder([&](TCella& c) { return c.Category == category; });
    ASSERT_FALSE(ofGroup.empty());
    EXPECT_EQ(Codes(), ofGroup);

    // Nothing ticked: nothing collected.
    tree->CheckPaths(TStringList());
    wizard->CollectSelectedComponents(*engine.Components);
    EXPECT_TRUE(Codes().empty());
}

TEST_F(CollectedComponents, ALibraryNotRegisteredIsSkipped) {
    TTreeNode* other = tree->Items->Add(nullptr, "Sconosciuta");
    tree->Items->AddChild(tree->Items->AddChild(other, "Cavi"), "X1");
    tree->SetNodeState(other, NodeFull);
    tree->SetNodeState(tree->Items->GetFirstNode(), NodeFull);
    EXPECT_TRUE(wizard->CollectSelectedComponents(*engine.Components));
    EXPECT_EQ(Codes().size(), 220u);
}

}  // namespace
