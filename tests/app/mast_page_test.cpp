// The page "Sostegno": environment, antenna data, sections, the mouse on the
// mast view and the automatic sizing, driven through the page's controls.
#include "app/mast_page.h"

#include <gtest/gtest.h>

#include <limits>

#include "cells/graphic_cells.h"
#include "cells/sources.h"
#include "dialogs/mast_sizing.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/application.h"
#include "platform/sysutils.h"
#include "support/globals_fixture.h"

namespace {

std::unique_ptr<TDatiAntenna> Antenna(int32_t kind, int32_t spacing) {
    auto a = std::make_unique<TDatiAntenna>();
    a->Kind = kind;
    a->Spacing = spacing;
    return a;
}

struct MastPageTest : ::testing::Test {
    ScopedGlobals globals;
    TProgetto project{nullptr};
    TPaginaSostegno page;
    TScript& script = Application->Script();

    void SetUp() override {
        script.Reset();
        page.SetProject(&project);
        project.Modified = false;
    }
    TPalo& palo() { return *project.Mast; }
    TDatiAntenna* Add(std::unique_ptr<TDatiAntenna> a) {
        palo().Antennas.Items.push_back(std::move(a));
        return palo().Antennas.Items.back().get();
    }
    // Shows the mast again (as when the project becomes current).
    void Show() {
        const bool modified = project.Modified;
        page.ShowMast();
        EXPECT_EQ(project.Modified, modified);
    }
    void Press(int x, int y, TMouseButton button = mbLeft) {
        page.ImageMouseDown(page.ImageSostegno, button, {}, x, y);
    }
    void Drag(int x, int y) { page.ImageMouseMove(page.ImageSostegno, TShiftState{ssLeft}, x, y); }
    void ClickWith(TSpeedButton* tool, int x, int y) {
        tool->Down = true;
        page.ToolClick(tool);
        page.ImageMouseMove(page.ImageSostegno, {}, x, y);
        page.ImageClick(page.ImageSostegno);
    }
};

TEST_F(MastPageTest, PopupCaptionsInMenuOrder) {
    std::vector<AnsiString> captions;
    for (int i = 0; i < page.PopAntenne->Items->Count(); ++i)
        captions.push_back(page.PopAntenne->Items->Items[i]->Caption);
    EXPECT_EQ(captions, (std::vector<AnsiString>{
                            "Porta a distanza minima", "Porta tutto a distanza minima", "Elimina", "Modifica",
                            "Aggiunta antenna", "Aggiunta braccio singolo", "Aggiunta braccio doppio",
                            "Suolo ad ancoraggio basso", "Suolo ad ancoraggio alto", "Suolo libero"}));
}

TEST_F(MastPageTest, EnvironmentDecidesTheWind) {
    page.ComboAmbiente->SelectByUser(1);
    EXPECT_TRUE(page.ComboVento->Enabled);
    page.ComboVento->SelectByUser(3);
    EXPECT_EQ(palo().WindClass, 3);
    page.ComboSistema->SelectByUser(1);
    EXPECT_EQ(palo().WindClass, 3);
    page.ComboAmbiente->SelectByUser(0);
    EXPECT_EQ(page.ComboVento->Text.Get(), "150 Km/h");
    EXPECT_FALSE(page.ComboVento->Enabled);
    EXPECT_FALSE(page.LabelVento->Enabled);
    EXPECT_EQ(palo().WindClass, 1);
    page.ComboSistema->SelectByUser(0);
    EXPECT_EQ(page.ComboVento->Text.Get(), "130 Km/h");
    EXPECT_TRUE(project.Modified);
}

TEST_F(MastPageTest, AntennaDataShowsTheWayTheWindLoadIsGiven) {
    TDatiAntenna* lowest = Add(Antenna(MastYagi, 100));
    lowest->Area = 0.25f;
    TDatiAntenna* force = Add(Antenna(MastLogPeriodic, 100));
    force->Force = 120;
    force->WindOfForce = 150;
    force->Divergence = 2;
    TDatiAntenna* dish = Add(Antenna(MastDish, 100));
    dish->Polarisation = -1;
    dish->Diameter = 85;
    Show();

    struct Case {
        TDatiAntenna* item;
        const char *mode, *caption, *value, *wind;
        bool valueShown, windShown, diameterShown, divergence;
    };
    for (Case c : {Case{lowest, "Area", "Area[mq]", "0,25", "", true, false, false, false},
                   Case{force, "Forza", "Forza[N]", "120", "150", true, true, false, true},
                   Case{dish, "Diametro", nullptr, nullptr, nullptr, false, false, true, true}}) {
        SCOPED_TRACE(c.mode);
        page.ShowAntennaData(c.item, "");
        EXPECT_EQ(page.ComboResistenza->Text.Get(), c.mode);
        if (c.caption) EXPECT_EQ(page.LabelValore->Caption.Get(), c.caption);
        if (c.value) EXPECT_EQ(page.EditValore->Text.Get(), c.value);
        if (c.wind) EXPECT_EQ(page.ComboVentoForza->Text.Get(), c.wind);
        EXPECT_EQ(page.EditValore->Visible.Get(), c.valueShown);
        EXPECT_EQ(page.ComboVentoForza->Visible.Get(), c.windShown);
        EXPECT_EQ(page.EditDiametro->Visible.Get(), c.diameterShown);
        EXPECT_EQ(page.ComboDivergenza->Enabled.Get(), c.divergence);
    }
    EXPECT_EQ(page.EditDiametro->Text.Get(), "85");
    EXPECT_EQ(page.ComboResistenza->Items->Count(), 3);
    page.ShowAntennaData(force, "");
    EXPECT_EQ(page.ComboResistenza->Items->Count(), 2);  // "Diametro" for dishes only
    EXPECT_TRUE(page.SBLogaritmica->Down);
    EXPECT_EQ(page.ComboDivergenza->ItemIndex, 2);
    EXPECT_FALSE(project.Modified);
}

TEST_F(MastPageTest, EditingTheSelectedAntennaStoresIt) {
    Add(Antenna(MastYagi, 100));
    Show();
    Press(110, 1750);  // the Yagi, 100 above the foot at y 1850
    ASSERT_EQ(palo().SelectedItem, palo().Antennas.Items[0].get());
    EXPECT_TRUE(page.ComboBanda->Enabled);
    page.ComboResistenza->SelectByUser(page.ComboResistenza->Items->IndexOf("Area"));
    page.EditValore->Text = "0,2";
    EXPECT_FLOAT_EQ(palo().Antennas.Items[0]->Area, 0.2f);
    EXPECT_EQ(palo().Antennas.Items[0]->Force, LevelNone);
    page.ComboBanda->SelectByUser(2);
    EXPECT_EQ(palo().Antennas.Items[0]->Band, 2);
    EXPECT_TRUE(project.Modified);

    // A force with decimals survives the item being shown again after a change.
    page.ComboResistenza->SelectByUser(page.ComboResistenza->Items->IndexOf("Forza"));
    page.EditValore->Text = "62,5";
    page.ComboVentoForza->Text = "125,5";
    page.ComboBanda->SelectByUser(3);
    EXPECT_EQ(page.EditValore->Text.Get(), "62,5");
    EXPECT_FLOAT_EQ(palo().Antennas.Items[0]->Force, 62.5f);
    EXPECT_FLOAT_EQ(palo().Antennas.Items[0]->WindOfForce, 125.5f);
}

TEST_F(MastPageTest, KindChangesAndDeletionsThatLoseAntennasAsk) {
    auto arm = Antenna(MastDoubleArm, 100);
    arm->FirstChild = Antenna(MastYagi, 0);
    arm->SecondChild = Antenna(MastGrid, 0);
    TDatiAntenna* first = arm->FirstChild.get();
    TDatiAntenna* a = Add(std::move(arm));
    Show();
    palo().SelectedItem = a;

    const AnsiString kindQuestion =
        "Attenzione: la modifica richiesta comporta l'eliminazione di una o più antenne. Procedo?";
    script.AnswerMessageBox(IDCANCEL);
    page.SetSelectedItemKind(MastSingleArm);
    EXPECT_EQ(a->Kind, MastDoubleArm);
    EXPECT_NE(a->SecondChild, nullptr);
    EXPECT_FALSE(project.Modified);

    script.AnswerMessageBox(IDOK);
    page.SetSelectedItemKind(MastSingleArm);
    EXPECT_EQ(a->Kind, MastSingleArm);
    EXPECT_EQ(a->FirstChild.get(), first);
    EXPECT_EQ(a->SecondChild, nullptr);
    ASSERT_EQ(script.MessageBoxes.size(), 2u);
    EXPECT_EQ(script.MessageBoxes[1].Text, kindQuestion);
    EXPECT_EQ(script.MessageBoxes[1].Caption, "Ordivex Varne");

    const AnsiString deleteQuestion =
        "Attenzione: l'eliminazione del braccio selezionato comporta l'eliminazione "
        "delle antenne connesse. Procedo?";
    script.AnswerMessageBox(IDCANCEL);
    page.DeleteSelectedItem();
    EXPECT_EQ(palo().Antennas.Count(), 1);
    script.AnswerMessageBox(IDOK);
    page.DeleteSelectedItem();
    EXPECT_EQ(script.MessageBoxes.back().Text, deleteQuestion);
    EXPECT_EQ(palo().Antennas.Count(), 0);
    EXPECT_EQ(palo().SelectedItem, nullptr);

    // An antenna on an arm is deleted from its place without a question.
    auto single = Antenna(MastSingleArm, 100);
    single->FirstChild = Antenna(MastYagi, 0);
    TDatiAntenna* s = Add(std::move(single));
    palo().SelectedItem = s->FirstChild.get();
    const size_t asked = script.MessageBoxes.size();
    page.DeleteSelectedItem();
    EXPECT_EQ(s->FirstChild, nullptr);
    EXPECT_EQ(script.MessageBoxes.size(), asked);
}

TEST_F(MastPageTest, SectionsGrid) {
    bool can = true;
    page.GridSelectCell(page.GridTronchi, 1, 2, can);
    EXPECT_FALSE(can);  // row 2 above a count of 1
    struct Hint {
        int col;
        const char* text;
    };
    for (Hint h : {Hint{1, "Diametro tra 25 e 102 mm"}, Hint{2, "Sezione tra 2 e 6 mm"},
                   Hint{3, "Lunghezza tra .5 e 6 m"}}) {
        can = false;
        page.GridSelectCell(page.GridTronchi, h.col, 1, can);
        EXPECT_TRUE(can);
        EXPECT_EQ(page.PanelSuggerimento->Caption.Get(), h.text);
    }

    page.ComboTronchi->SelectByUser(3);
    EXPECT_EQ(palo().SectionCount, 4);
    EXPECT_EQ(page.GridTronchi->Height, 4 * 19 + 20);
    for (int r = 1; r <= 4; ++r) page.GridSetEditText(page.GridTronchi, 1, r, std::to_string(70 - 10 * r));
    page.ComboTronchi->SelectByUser(1);
    EXPECT_EQ(page.GridTronchi->Cells[1][3], "");
    EXPECT_FLOAT_EQ(palo().Sections[2].Diameter, 40);
    page.ComboTronchi->SelectByUser(3);
    EXPECT_EQ(page.GridTronchi->Cells[1][3], "40");
    EXPECT_EQ(page.GridTronchi->Cells[1][4], "30");

    // A length too short for the insertion takes the insertion down with it.
    page.CheckTelescopici->Checked = true;
    palo().Sections[1].Insertion = 45;
    page.GridSetEditText(page.GridTronchi, 3, 2, "0,5");
    EXPECT_FLOAT_EQ(palo().Sections[1].Length, 0.5f);
    EXPECT_FLOAT_EQ(palo().Sections[1].Insertion, 40);
    // What a column does not take (no number, outside the hint line's range,
    // more decimals than the cell shows) stores nothing: leaving the cell
    // refuses it and shows the measure before.
    palo().Sections[1].Diameter = 50;
    palo().Sections[1].Thickness = 3;
    const struct {
        int col;
        std::string text;
    } refused[] = {
        {1, "-50"}, {1, "500"}, {1, "24"},   {1, "abc"},   {1, "1e30"}, {2, "0"},
        {2, "40"},  {2, "7"},   {3, "-0,5"}, {3, "150"},   {3, "0,4"},  {3, "abc"},
        {3, "2,555"}, {3, std::string(46, '9')}, {3, "1e999"},
    };
    for (const auto& r : refused) {
        EXPECT_FALSE(page.GridTronchi->CellRule(r.col, 2).Accepts(r.text)) << r.text;
        EXPECT_NO_THROW(page.GridSetEditText(page.GridTronchi, r.col, 2, r.text)) << r.text;
    }
    EXPECT_FLOAT_EQ(palo().Sections[1].Diameter, 50);
    EXPECT_FLOAT_EQ(palo().Sections[1].Thickness, 3);
    EXPECT_FLOAT_EQ(palo().Sections[1].Length, 0.5f);
    // The hint line's ends are taken.
    for (const auto& [col, text] : {std::pair{1, "25"}, std::pair{1, "102"}, std::pair{2, "2"},
                                    std::pair{2, "6"}, std::pair{3, "6"}})
        EXPECT_TRUE(page.GridTronchi->CellRule(col, 2).Accepts(text)) << text;

    page.GridSetEditText(page.GridTronchi, 3, 2, "");
    EXPECT_EQ(palo().Sections[1].Length, LevelNone);

    palo().Sections[2].Insertion = 30;
    page.CheckTelescopici->Checked = false;
    EXPECT_EQ(palo().Telescopic, 0);
    for (const TTroncoPalo& t : palo().Sections) EXPECT_EQ(t.Insertion, LevelNone);
    EXPECT_TRUE(project.Modified);

    // Showing the project clears what lies above the count.
    page.ComboTronchi->SelectByUser(1);
    Show();
    EXPECT_EQ(palo().Sections[2].Diameter, LevelNone);
}

// A mast read from a file may hold a wall of half its diameter or more,
// which no typed measure can make: the red panel says so.
TEST_F(MastPageTest, AWallOfHalfTheDiameterIsNoTube) {
    palo().Sections[0] = TTroncoPalo{4, 3, 4, LevelNone};
    Show();
    EXPECT_TRUE(page.PanelAttenzione->Visible);
    EXPECT_NE(page.MemoAttenzione->Text.Get().find(
                  "Il tronco 1 ha la sezione non minore della metà del diametro."),
              std::string::npos);
}

TEST_F(MastPageTest, PlacingItemsWithTheMouse) {
    ClickWith(page.BAggiungi, 110, 1700);  // 150 above the foot at 1850
    ASSERT_EQ(palo().Antennas.Count(), 1);
    EXPECT_EQ(palo().Antennas.Items[0]->Spacing, 150);
    EXPECT_EQ(palo().Antennas.Items[0]->Kind, MastYagi);
    EXPECT_TRUE(project.Modified);

    ClickWith(page.BAggiungiBraccioD, 110, 1698);  // 2 above: spacing 5 at least
    ASSERT_EQ(palo().Antennas.Count(), 2);
    TDatiAntenna* arm = palo().Antennas.Items[1].get();
    EXPECT_EQ(arm->Kind, MastDoubleArm);
    EXPECT_EQ(arm->Spacing, 5);

    // Near the arm: x >= 110 fills the second place, then the first.
    const int armY = page.Layout().Records[2].Y;
    ClickWith(page.BAggiungiBraccioS, 130, armY - 3);
    ASSERT_NE(arm->SecondChild, nullptr);
    EXPECT_EQ(arm->SecondChild->Kind, MastYagi);  // an arm on an arm becomes an antenna
    EXPECT_EQ(arm->FirstChild, nullptr);
    ClickWith(page.BAggiungi, 80, armY - 2);
    EXPECT_NE(arm->FirstChild, nullptr);
    EXPECT_EQ(palo().Antennas.Count(), 2);

    // At or below the foot: first, spacing 0.
    ClickWith(page.BAggiungi, 110, 1860);
    EXPECT_EQ(palo().Antennas.Count(), 3);
    EXPECT_EQ(palo().Antennas.Items[0]->Spacing, 0);

    while (palo().Antennas.Count() < MastMaxItems) ClickWith(page.BAggiungi, 110, 200);
    ClickWith(page.BAggiungi, 110, 100);  // the twentieth is refused
    EXPECT_EQ(palo().Antennas.Count(), MastMaxItems);
}

TEST_F(MastPageTest, SelectingAndDraggingWithTheMouse) {
    auto arm = Antenna(MastDoubleArm, 200);
    arm->FirstChild = Antenna(MastYagi, 0);
    arm->SecondChild = Antenna(MastDish, 0);
    TDatiAntenna* a = Add(std::move(arm));
    Show();
    page.BArrowS->Down = true;
    struct Pick {
        int x;
        TDatiAntenna* expected;
        bool controls;
    };
    for (Pick p : {Pick{80, a->FirstChild.get(), true}, Pick{140, a->SecondChild.get(), true},
                   Pick{110, a, false}, Pick{300, nullptr, false}}) {
        SCOPED_TRACE(p.x);
        Press(p.x, 1650);
        EXPECT_EQ(palo().SelectedItem, p.expected);
        EXPECT_EQ(page.ComboResistenza->Enabled.Get(), p.controls);
    }

    Press(110, 1650);
    Drag(110, 1600);
    EXPECT_EQ(a->Spacing, 250);

    // The foot: grabbed near its handle, it follows the pointer.
    Press(110, 1852);
    EXPECT_EQ(palo().SelectedItem, nullptr);
    Drag(110, 1800);
    EXPECT_EQ(palo().FootPosition, 90);

    // The right button offers what fits the selection.
    script.AnswerPopup("Porta a distanza minima");
    Press(110, page.Layout().FootY, mbRight);
    EXPECT_TRUE(page.paDistMin->Visible);
    EXPECT_FALSE(page.paElimina->Visible);
    EXPECT_EQ(palo().FootPosition, 40);
}

TEST_F(MastPageTest, GroundChoicesAndAllToMinimum) {
    auto yagi = Antenna(MastYagi, 400);
    yagi->Band = 2;  // III°: 87
    Add(std::move(yagi));
    auto low = Antenna(MastYagi, 300);
    low->Band = 0;
    palo().Antennas.InsertAt(0, std::move(low));
    palo().FootPosition = 300;
    Show();

    page.paSuoloLibero->Click();
    EXPECT_EQ(palo().Ground, 150);
    EXPECT_TRUE(page.paSuoloLibero->Checked);
    EXPECT_FALSE(page.paSuoloAlto->Checked);
    EXPECT_TRUE(project.Modified);
    project.Modified = false;
    page.paSuoloBasso->Click();
    EXPECT_EQ(palo().Ground, -2);
    EXPECT_TRUE(project.Modified);
    page.paSuoloAlto->Click();
    EXPECT_EQ(palo().Ground, -1);

    page.paTDistMin->Click();
    EXPECT_EQ(palo().Antennas.Items[0]->Spacing, 30);
    EXPECT_EQ(palo().Antennas.Items[1]->Spacing, 87);
    EXPECT_EQ(palo().FootPosition, 40);
}

TEST_F(MastPageTest, WarningsShowInTheRedPanel) {
    EXPECT_FALSE(page.PanelAttenzione->Visible);
    auto yagi = Antenna(MastYagi, 250);
    yagi->Area = 0.1f;
    Add(std::move(yagi));
    palo().Sections[0] = TTroncoPalo{42, 2, 3, LevelNone};
    Show();
    EXPECT_TRUE(page.PanelAttenzione->Visible);
    EXPECT_EQ(page.MemoAttenzione->Text.Get(), "Il tronco 1 non resiste al vento.\r\n");
}

TEST_F(MastPageTest, SizingFromTheChosenTubes) {
    auto yagi = Antenna(MastYagi, 250);
    yagi->Area = 0.1f;
    Add(std::move(yagi));
    Show();
    globals.Settings().WriteString("TronchiSel",
                                   "d=42mm - s=2mm - l=3m\r\nd=50mm - s=2mm - l=3m\r\nd=60mm - s=2mm - l=3m");
    globals.Settings().WriteString("PreselTronchi0", "d=42mm - s=2mm - l=3m\r\nd=50mm - s=2mm - l=3m");
    script.AnswerShowModal<TDatiAutSost>([](TDatiAutSost& f) { f.ButtonOk->Click(); });
    page.DetAutSostClick(nullptr);
    EXPECT_EQ(palo().SectionCount, 1);
    EXPECT_EQ(page.ComboTronchi->ItemIndex, 0);
    EXPECT_EQ(page.GridTronchi->Cells[1][1], "50");
    EXPECT_EQ(page.GridTronchi->Cells[2][1], "2");
    EXPECT_EQ(page.GridTronchi->Cells[3][1], "3");
    EXPECT_TRUE(script.MessageBoxes.empty());
    EXPECT_TRUE(project.Modified);

    // The form opens with the tubes of that sizing: the same mast again.
    palo().Sections[0] = TTroncoPalo{};
    script.AnswerShowModal<TDatiAutSost>([](TDatiAutSost& f) {
        EXPECT_EQ(f.SelectedSections().size(), 2u);
        f.ButtonOk->Click();
    });
    page.DetAutSostClick(nullptr);
    EXPECT_EQ(palo().SectionCount, 1);
    EXPECT_FLOAT_EQ(palo().Sections[0].Diameter, 50);
    EXPECT_TRUE(script.MessageBoxes.empty());

    // Tubes too weak for the antenna: the message, and the mast keeps what
    // it had, sections past the count too; the project is not marked changed.
    palo().SectionCount = 2;
    palo().Sections[1] = TTroncoPalo{42, 2, 2, LevelNone};
    palo().FootPosition = 55;
    Show();
    palo().Sections[2] = TTroncoPalo{35, 2, 2, LevelNone};  // kept above a lowered count
    project.Modified = false;
    const std::vector<int> kept = {palo().SectionCount, palo().FootPosition, palo().Antennas.Count()};
    script.AnswerShowModal<TDatiAutSost>([](TDatiAutSost& f) {
        for (int i = 0; i < f.ListTronchi->Items->Count(); ++i)
            f.ListTronchi->Selected[i] = (*f.ListTronchi->Items)[i] == "d=42mm - s=2mm - l=3m";
        f.ButtonOk->Click();
    });
    page.DetAutSostClick(nullptr);
    ASSERT_EQ(script.MessageBoxes.size(), 1u);
    EXPECT_EQ(script.MessageBoxes[0].Text, "Non è possibile dimensionare il sostegno con i tronchi forniti.");
    EXPECT_EQ(script.MessageBoxes[0].Caption, "Ordivex Varne");
    EXPECT_EQ((std::vector<int>{palo().SectionCount, palo().FootPosition, palo().Antennas.Count()}), kept);
    EXPECT_FLOAT_EQ(palo().Sections[0].Diameter, 50);
    EXPECT_FLOAT_EQ(palo().Sections[1].Diameter, 42);
    EXPECT_FLOAT_EQ(palo().Sections[2].Diameter, 35);
    EXPECT_FLOAT_EQ(palo().Antennas.Items[0]->Area, 0.1f);
    EXPECT_EQ(page.GridTronchi->Cells[1][1], "50");
    EXPECT_EQ(page.GridTronchi->Cells[1][2], "42");
    EXPECT_FALSE(project.Modified);

    // Cancel changes nothing.
    palo().Sections[0] = TTroncoPalo{60, 2, 3, LevelNone};
    script.AnswerShowModal<TDatiAutSost>([](TDatiAutSost& f) { f.ButtonAnnulla->Click(); });
    page.DetAutSostClick(nullptr);
    EXPECT_FLOAT_EQ(palo().Sections[0].Diameter, 60);
}

TEST_F(MastPageTest, AntennasFromTheHeadEnd) {
    project.Reset(true);
    project.Modified = false;
    TGridData& headEnd = *project.HeadEndGrid;
    ASSERT_NE(headEnd.Anchor, nullptr);
    // Three dishes and eighteen antennas: six of band I, six of band III,
    // six of bands IV and V, put down in a mixed order.
    int placed = 0;
    std::vector<TCella*> cells;
    auto put = [&](std::unique_ptr<TCella> owned) {
        TCella* cell = owned.get();
        ASSERT_TRUE(headEnd.InsertCell(std::move(owned), false, 0));
        cells.push_back(cell);
        ++placed;
    };
    for (float diameter : {60.0f, 100.0f, 80.0f}) {
        auto dish = std::make_unique<TParabola>(&headEnd, 0, 0, 5 + 8 * placed % 64, 40);
        dish->Diameter = diameter;
        dish->WindThrust = 50.0f;
        // Damaged cell data: an infinite wind is no wind.
        dish->WindSpeed = diameter == 60.0f ? std::numeric_limits<float>::infinity() : 130.0f;
        put(std::move(dish));
    }
    const float ranges[3][2] = {{470, 862}, {47, 68}, {174, 230}};
    for (int k = 0; k < 18; ++k) {
        auto antenna = std::make_unique<TAntenna>(&headEnd, 0, 0, 3 + 3 * (k % 18), 10 + 5 * (k / 18));
        antenna->Attenuation->Set3(0, AntennaRangeColumn, AntennaLowestSlot, ranges[k % 3][0]);
        antenna->Attenuation->Set3(0, AntennaRangeColumn, AntennaHighestSlot, ranges[k % 3][1]);
        antenna->WindArea = 0.1f;
        antenna->Shape = k == 1 ? 3 : 1;
        put(std::move(antenna));
    }
    ASSERT_EQ(placed, 21);
    project.Step = 2;
    EXPECT_FALSE(page.HeadEndAntennasUsable());  // nothing described yet
    for (TCella* cell : cells) cell->Described = 1;
    project.Step = 1;
    EXPECT_FALSE(page.HeadEndAntennasUsable());
    project.Step = 2;
    ASSERT_TRUE(page.HeadEndAntennasUsable());

    // Nineteen antennas stand some 27 m high: only a tube far beyond the
    // default ones carries them.
    globals.Settings().WriteString("TronchiSel", "d=900mm - s=50mm - l=6m");
    script.AnswerShowModal<TDatiAutSost>([](TDatiAutSost& f) {
        EXPECT_TRUE(f.RadioTesta->Enabled);
        f.RadioTesta->Checked = true;
        f.ButtonOk->Click();
    });
    page.DetAutSostClick(nullptr);
    EXPECT_TRUE(project.Modified);
    const auto& items = palo().Antennas.Items;
    ASSERT_EQ(items.size(), 19u);
    std::vector<float> dishes;
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(items[k]->Kind, MastDish);
        dishes.push_back(items[k]->Diameter);
        EXPECT_FLOAT_EQ(items[k]->Force, 50.0f);
    }
    EXPECT_EQ(dishes, (std::vector<float>{100.0f, 80.0f, 60.0f}));
    EXPECT_FLOAT_EQ(items[0]->WindOfForce, 130.0f);
    EXPECT_EQ(items[2]->WindOfForce, LevelNone);
    // Band I ("I°"), then III ("III°"), then the first four of IV and V ("IV°+V°").
    for (int k = 3; k < 19; ++k) {
        const int32_t band = k < 9 ? 4 : k < 15 ? 2 : 9;
        EXPECT_EQ(items[k]->Band, band) << k;
        EXPECT_EQ(items[k]->Diameter, LevelNone) << k;
        EXPECT_FLOAT_EQ(items[k]->Area, 0.1f) << k;
    }
    // A new antenna goes before those of its band already placed: the first
    // band I antenna of the head end ends its group.
    EXPECT_EQ(items[8]->Kind, MastDihedral);
    EXPECT_EQ(items[3]->Kind, MastYagi);
    for (const auto& item : items) EXPECT_GE(item->Spacing, 30) << item->Kind;
    EXPECT_EQ(palo().Ground, -1);
    EXPECT_TRUE(page.paSuoloAlto->Checked);
    EXPECT_NE(page.MemoAttenzione->Text.Get().find("Sono state considerate solo le prime 19 antenne."),
              std::string::npos);
    EXPECT_TRUE(page.PanelAttenzione->Visible);
    EXPECT_TRUE(script.MessageBoxes.empty());

    // With the usual tubes no mast holds them: the mast keeps its items,
    // sections and foot, and the project is not marked changed.
    const std::vector<float> sized = {static_cast<float>(palo().SectionCount), palo().Sections[0].Diameter,
                                      static_cast<float>(palo().FootPosition)};
    items[0]->Spacing += 7;  // as moved by hand after the sizing
    const int32_t moved = items[0]->Spacing;
    project.Modified = false;
    globals.Settings().WriteString("TronchiSel", "d=102mm - s=6mm - l=6m\r\nd=88mm - s=5mm - l=6m");
    script.AnswerShowModal<TDatiAutSost>([](TDatiAutSost& f) {
        f.RadioTesta->Checked = true;
        f.ButtonOk->Click();
    });
    page.DetAutSostClick(nullptr);
    ASSERT_EQ(script.MessageBoxes.size(), 1u);
    EXPECT_EQ(script.MessageBoxes[0].Text, "Non è possibile dimensionare il sostegno con i tronchi forniti.");
    EXPECT_EQ((std::vector<float>{static_cast<float>(palo().SectionCount), palo().Sections[0].Diameter,
                                  static_cast<float>(palo().FootPosition)}),
              sized);
    ASSERT_EQ(palo().Antennas.Items.size(), 19u);
    EXPECT_EQ(palo().Antennas.Items[0]->Spacing, moved);
    EXPECT_FALSE(project.Modified);
}

TEST(MastPageDrawing, SectionSketch) {
    TRecordingEngine engine;
    TCanvas canvas(&engine);
    TPaginaSostegno::DrawSectionSketch(&canvas);
    const auto ellipses = engine.CallsOf(TPaintOp::Ellipse);
    ASSERT_EQ(ellipses.size(), 2u);
    EXPECT_EQ(ellipses[0].Rect.Width(), 80);
    EXPECT_EQ(ellipses[1].Rect.Width(), 64);
    EXPECT_EQ(ellipses[0].State.Pen.Width, 2);
    EXPECT_NE(ellipses[0].State.Brush.Color, ellipses[1].State.Brush.Color);  // the ring filled
    const auto heads = engine.CallsOf(TPaintOp::Polygon);
    ASSERT_EQ(heads.size(), 4u);
    for (const auto& h : heads) EXPECT_EQ(h.State.Brush.Color, clGreen);
    EXPECT_EQ(engine.Texts(), (std::vector<AnsiString>{"d", "s"}));
}

}  // namespace
