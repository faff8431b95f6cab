// The lightning-risk pages driven as a person would: boxes ticked, items
// chosen and numbers typed, with what the pages show and what reaches the
// project's mast and lightning data.
#include "app/lightning_pages.h"

#include <gtest/gtest.h>

#include <memory>

#include "document/lightning.h"
#include "document/mast.h"
#include "document/project.h"
#include "support/globals_fixture.h"

namespace {

TCheckBox* BoxOf(const TCaselleBit& set, const AnsiString& caption) {
    for (const auto& [box, bit] : set.Boxes)
        if (box->Caption == caption) return box;
    ADD_FAILURE() << "no box " << caption;
    return nullptr;
}

int ItemOf(TComboBox* combo, const AnsiString& item) {
    const int index = combo->Items->IndexOf(item);
    EXPECT_GE(index, 0) << item;
    return index;
}

void Type(TEdit* edit, const AnsiString& text) { edit->UserSet(edit->Text, text); }

class LightningPagesTest : public ::testing::Test {
protected:
    LightningPagesTest() {
        FormatSettings().DecimalSeparator = ',';
        FormatSettings().ThousandSeparator = '.';
        project.Reset(false);
        page811 = std::make_unique<TPaginaFulmini811>(nullptr);
        page8110 = std::make_unique<TPaginaFulmini8110>(nullptr);
        page811->SetProject(&project);
        page8110->SetProject(&project);
        project.Modified = false;
    }
    TFulmini& Lightning() { return *project.Lightning; }
    TPalo& Mast() { return *project.Mast; }

    ScopedGlobals globals;
    TProgetto project{nullptr};
    std::unique_ptr<TPaginaFulmini811> page811;
    std::unique_ptr<TPaginaFulmini8110> page8110;
};

// ---------------------------------------------------------------- "Fulmini 81.10-2"

TEST_F(LightningPagesTest, EachBoxOrItemGivesItsTableFactor) {
    struct Case {
        const char* what;
        std::function<void(TPaginaFulmini8110&)> act;
        float TFulmini::*factor;
        float expected;
    };
    auto only = [](TCaselleBit TPaginaFulmini8110::*set, const char* caption) {
        return [set, caption](TPaginaFulmini8110& p) {
            for (const auto& [box, bit] : (p.*set).Boxes)
                if (box->Checked) box->Click();
            BoxOf(p.*set, caption)->Click();
        };
    };
    auto also = [](TCaselleBit TPaginaFulmini8110::*set, const char* caption) {
        return [set, caption](TPaginaFulmini8110& p) { BoxOf(p.*set, caption)->Click(); };
    };
    auto choose = [](TComboBox* TPaginaFulmini8110::*combo, const char* item) {
        return [combo, item](TPaginaFulmini8110& p) { (p.*combo)->SelectByUser(ItemOf(p.*combo, item)); };
    };
    using P = TPaginaFulmini8110;
    // clang-format off
    const Case cases[] = {
        {"Alberghi", only(&P::TipoStruttura, "Alberghi"), &TFulmini::Lf, 0.1f},
        {"Industriale", only(&P::TipoStruttura, "Industriale"), &TFulmini::Lf, 0.05f},
        {"Chiese", only(&P::TipoStruttura, "Chiese"), &TFulmini::Lf, 0.02f},
        {"Altri", only(&P::TipoStruttura, "Altri"), &TFulmini::Lf, 0.01f},
        {"Industriale as well", also(&P::TipoStruttura, "Industriale"), &TFulmini::Lf, 0.1f},
        {"Marmo", only(&P::Pavimentazione, "Marmo"), &TFulmini::ra, 0.001f},
        {"Asfalto", only(&P::Pavimentazione, "Asfalto"), &TFulmini::ra, 1e-5f},
        {"Cemento with Legno",
         [&](P& p) {
             only(&P::Pavimentazione, "Cemento")(p);
             BoxOf(p.Pavimentazione, "Legno")->Click();
         },
         &TFulmini::ra, 0.01f},
        {"Asfalto as well", also(&P::Pavimentazione, "Asfalto"), &TFulmini::ra, 0.001f},
        {"Estintori", also(&P::Prevenzione, "Estintori"), &TFulmini::rp, 0.5f},
        {"Impianto allarme automatico", also(&P::Prevenzione, "Impianto allarme automatico"), &TFulmini::rp, 0.2f},
        {"Elevato", choose(&P::ComboPericolo, "Elevato"), &TFulmini::hz, 10.0f},
        {"Difficoltà evacuazione", choose(&P::ComboPericolo, "Difficoltà evacuazione"), &TFulmini::hz, 5.0f},
        {"Esplosione", choose(&P::ComboRischio, "Esplosione"), &TFulmini::rf, 1.0f},
        {"Nessuno", choose(&P::ComboRischio, "Nessuno"), &TFulmini::rf, 0.0f},
        {"Coeff. amb. 0", [](P& p) { p.ComboCoeffAmb->SelectByUser(0); }, &TFulmini::Ca, 0.25f},
        {"Coeff. amb. 1", [](P& p) { p.ComboCoeffAmb->SelectByUser(1); }, &TFulmini::Ca, 0.5f},
        {"Coeff. amb. 2",
         [](P& p) {
             p.ComboCoeffAmb->SelectByUser(3);   // 2 is the default
             p.ComboCoeffAmb->SelectByUser(2);
         },
         &TFulmini::Ca, 1.0f},
        {"Coeff. amb. 3", [](P& p) { p.ComboCoeffAmb->SelectByUser(3); }, &TFulmini::Ca, 2.0f},
    };
    // clang-format on
    for (const Case& c : cases) {
        Lightning().SetDefaults();
        page8110->Fill();
        project.Modified = false;
        c.act(*page8110);
        EXPECT_FLOAT_EQ(Lightning().*c.factor, c.expected) << c.what;
        EXPECT_TRUE(project.Modified) << c.what;
    }
}

TEST_F(LightningPagesTest, DefaultsAndOneAerialDataLine) {
    EXPECT_EQ(page8110->ValoreR1->Caption.Get(), "1,65E-06");
    EXPECT_EQ(page8110->ValoreTollerabile->Caption.Get(), "1,00E-05");
    EXPECT_EQ(page8110->ValoreLt->Caption.Get(), "0,0001");
    EXPECT_EQ(page8110->ValoreNg->Caption.Get(), "4");
    EXPECT_EQ(page8110->EditArea->Text.Get(), "4128");
    EXPECT_EQ(page8110->LabelEsitoRischio->Caption.Get(), "Rischio R1 = 1,65E-06");
    EXPECT_EQ(page8110->LabelEsitoVerdetto->Caption.Get(),
              "Protezione non necessaria: R1 non supera il rischio tollerabile.");
    EXPECT_FALSE(page8110->LabelInsufficienti->Visible);
    EXPECT_FALSE(project.Modified);  // filling is no change

    Type(page8110->EditLinee[0], "1");
    EXPECT_EQ(Lightning().AerialLinesA, 1);
    EXPECT_NEAR(Lightning().R1, 1.60514112e-5, 1e-11);
    EXPECT_EQ(page8110->ValoreR1->Caption.Get(), "1,61E-05");
    EXPECT_EQ(page8110->LabelEsitoVerdetto->Caption.Get(),
              "Protezione necessaria: R1 supera il rischio tollerabile.");
    EXPECT_TRUE(project.Modified);

    // Counts: energy lines go to the second count; a bad count reads 0.
    Type(page8110->EditLinee[3], "2");
    EXPECT_EQ(Lightning().BuriedLinesB, 2);
    for (const char* bad : {"", "due", "-3"}) {
        Type(page8110->EditLinee[3], bad);
        EXPECT_EQ(Lightning().BuriedLinesB, 0) << bad;
    }
}

TEST_F(LightningPagesTest, SizesGiveTheAreaAndMissingOnesAreInsufficient) {
    Type(page8110->EditLunghezza, "20");
    Type(page8110->EditLarghezza, "15");
    Type(page8110->EditAltezza, "12");
    EXPECT_EQ(Lightning().Ad, 6892);
    EXPECT_EQ(page8110->EditArea->Text.Get(), "6892");
    EXPECT_TRUE(page8110->EditArea->ReadOnly);

    // What the field does not take (no number, a negative length, one beyond
    // 10 km, a decimal) never reaches the structure: its area stays, and
    // leaving the field refuses the text. An emptied length is no value.
    for (const char* bad : {"1e12", "-20", "abc", "10001", "20,5"}) {
        Type(page8110->EditLunghezza, bad);
        EXPECT_EQ(Lightning().L, 20) << bad;
        EXPECT_EQ(Lightning().Ad, 6892) << bad;
        EXPECT_FALSE(page8110->LabelInsufficienti->Visible) << bad;
    }
    Type(page8110->EditLunghezza, "");
    EXPECT_EQ(Lightning().Ad, static_cast<int32_t>(LevelNone));
    EXPECT_TRUE(page8110->LabelInsufficienti->Visible);
    EXPECT_FALSE(page8110->LabelEsitoVerdetto->Visible);
    EXPECT_EQ(page8110->ValoreR1->Caption.Get(), "---");
    Type(page8110->EditLunghezza, "20");
    EXPECT_FALSE(page8110->LabelInsufficienti->Visible);

    page8110->RadioComplessa->Click();
    EXPECT_EQ(Lightning().Parallelepiped, 0);
    EXPECT_FALSE(page8110->EditArea->ReadOnly);
    EXPECT_FALSE(page8110->EditLunghezza->Enabled);
    Type(page8110->EditArea, "");
    EXPECT_TRUE(page8110->LabelInsufficienti->Visible);
    Type(page8110->EditArea, "5000");
    EXPECT_EQ(Lightning().Ad, 5000);
    EXPECT_FALSE(page8110->LabelInsufficienti->Visible);
    EXPECT_FLOAT_EQ(Lightning().LineTerm, 1000.0f);  // no height for a complex structure

    page8110->RadioParallelepipeda->Click();
    EXPECT_EQ(Lightning().Ad, 6892);
}

TEST_F(LightningPagesTest, TheFlagPersonsOutsideAndLineSoilReachTheData) {
    page8110->DanniImpianti->Click();
    EXPECT_EQ(Lightning().Flag, 0);
    page8110->PersoneEsterno->Click();
    EXPECT_FLOAT_EQ(Lightning().Lt, 0.01f);
    BoxOf(page8110->SuoloLinee, "Agricolo")->Click();
    BoxOf(page8110->SuoloLinee, "Asfalto")->Click();
    EXPECT_EQ(Lightning().LineSoilKinds, 1 << 7);
    EXPECT_FLOAT_EQ(Lightning().ru, 1e-5f);
}

TEST(LightningSizes, TypedNumbers) {
    FormatSettings().DecimalSeparator = ',';
    constexpr int32_t none = static_cast<int32_t>(LevelNone);
    const struct {
        const char* text;
        int32_t expected;
    } cases[] = {
        {"12,7", 12},   {"-12,7", -12}, {"100000", 100000}, {"-100000", -100000}, {"100000,5", none},
        {"1e12", none}, {"", none},     {"  ", none},       {"abc", none},        {"12.5", none},
    };
    for (const auto& c : cases) EXPECT_EQ(LightningSizeOf(c.text), c.expected) << c.text;
}

// ---------------------------------------------------------------- "Fulmini 81.1"

// The worked case: "Edificio uso civile" (class B), fire risk "Ordinario",
// 4 flashes, isolated both times, 20 x 15 with heights 12 and 15.
class Lightning811Test : public LightningPagesTest {
protected:
    void WorkedCase() {
        TPaginaFulmini811& p = *page811;
        p.ListaStrutture->ClickAt(20, 4 * 16 + 8);
        p.ComboRischio->SelectByUser(ItemOf(p.ComboRischio, "Ordinario"));
        p.ComboDensita->SelectByUser(ItemOf(p.ComboDensita, "4 fulmini/anno Kmq"));
        const char* isolated = "Struttura isolata: nessun altro oggetto o struttura entro distanza 3H";
        p.ComboCoeffAmb->SelectByUser(ItemOf(p.ComboCoeffAmb, isolated));
        p.ComboCoeffAmbAnt->SelectByUser(ItemOf(p.ComboCoeffAmbAnt, isolated));
        Type(p.EditLunghezza, "20");
        Type(p.EditLarghezza, "15");
        Type(p.EditAltezzaSenza, "12");
        Type(p.EditAltezzaCon, "15");
    }
};

TEST_F(Lightning811Test, TheWorkedCaseIsSelfProtectedUntilTheFireRiskIsHigh) {
    EXPECT_EQ(page811->ListaStrutture->Items->Strings(4), "B: Edificio uso civile");
    EXPECT_TRUE(page811->LabelInsufficienti->Visible);  // no type chosen
    EXPECT_EQ(page811->ValoreSenzaAntenne->Caption.Get(), "---");
    WorkedCase();
    EXPECT_TRUE(project.Modified);
    EXPECT_EQ(Mast().StructureSelected[4], 1);
    EXPECT_EQ(Mast().FireRisk, 1);
    EXPECT_EQ(Mast().Length, 20);
    EXPECT_EQ(Mast().HeightWith, 15);

    const TEsitoFulmini811 e = EvaluateLightning811(Mast());
    EXPECT_FALSE(e.Insufficient);
    EXPECT_EQ(e.AreaWithout, 6892);
    EXPECT_EQ(e.AreaWith, 9812);
    EXPECT_NEAR(e.FrequencyWithout, 0.027568, 1e-9);
    EXPECT_NEAR(e.FrequencyWith, 0.039248, 1e-9);
    EXPECT_EQ(page811->ValoreSenzaAntenne->Caption.Get(), "0,02757");
    EXPECT_EQ(page811->ValoreConAntenne->Caption.Get(), "0,03925");
    EXPECT_EQ(page811->ValoreTollerabile->Caption.Get(), "0,05000");
    EXPECT_FALSE(page811->LabelInsufficienti->Visible);
    EXPECT_EQ(page811->LabelEsitoSenza->Caption.Get(), "La struttura senza antenne è autoprotetta.");
    EXPECT_EQ(page811->LabelEsitoCon->Caption.Get(), "La struttura con antenne è autoprotetta.");

    page811->ComboRischio->SelectByUser(ItemOf(page811->ComboRischio, "Elevato"));
    EXPECT_EQ(page811->ValoreTollerabile->Caption.Get(), "0,00500");
    EXPECT_EQ(page811->LabelEsitoSenza->Caption.Get(), "La struttura senza antenne non è autoprotetta.");
    EXPECT_EQ(page811->LabelEsitoCon->Caption.Get(), "La struttura con antenne non è autoprotetta.");

    // A second type: the strictest frequency holds (class A, "Elevato").
    page811->ListaStrutture->ClickAt(20, 1 * 16 + 8);
    EXPECT_EQ(page811->ValoreTollerabile->Caption.Get(), "0,00050");
    // Unselecting the last type leaves nothing to judge.
    page811->ListaStrutture->ClickAt(20, 1 * 16 + 8);
    page811->ListaStrutture->ClickAt(20, 4 * 16 + 8);
    EXPECT_EQ(Mast().StructureSelected[4], 0);
    EXPECT_TRUE(page811->LabelInsufficienti->Visible);
}

TEST_F(Lightning811Test, MissingInputsAreInsufficient) {
    WorkedCase();
    const struct {
        const char* what;
        std::function<void(TPalo&)> spoil;
    } cases[] = {
        {"no density", [](TPalo& m) { m.FlashDensity = -1; }},
        {"density outside its table", [](TPalo& m) { m.FlashDensity = 3; }},
        {"fire risk outside its table", [](TPalo& m) { m.FireRisk = 7; }},
        {"environment outside its table", [](TPalo& m) { m.EnvironmentFactorWithAntennas = 4; }},
        {"no width", [](TPalo& m) { m.Width = static_cast<int32_t>(LevelNone); }},
        {"negative height", [](TPalo& m) { m.HeightWith = -15; }},
        {"complex with a negative area",
         [](TPalo& m) {
             m.Parallelepiped = 0;
             m.CollectionAreaWithout = 5000;
             m.CollectionAreaWith = -5000;
         }},
        {"complex without area",
         [](TPalo& m) {
             m.Parallelepiped = 0;
             m.CollectionAreaWithout = 5000;
         }},
    };
    for (const auto& c : cases) {
        ASSERT_FALSE(EvaluateLightning811(Mast()).Insufficient);
        TPalo copy;
        copy.Parallelepiped = Mast().Parallelepiped;
        std::copy(std::begin(Mast().StructureSelected), std::end(Mast().StructureSelected),
                  copy.StructureSelected);
        copy.FlashDensity = Mast().FlashDensity;
        copy.FireRisk = Mast().FireRisk;
        copy.EnvironmentFactor = Mast().EnvironmentFactor;
        copy.EnvironmentFactorWithAntennas = Mast().EnvironmentFactorWithAntennas;
        copy.Length = Mast().Length;
        copy.Width = Mast().Width;
        copy.HeightWithout = Mast().HeightWithout;
        copy.HeightWith = Mast().HeightWith;
        c.spoil(copy);
        EXPECT_TRUE(EvaluateLightning811(copy).Insufficient) << c.what;
    }
    // Typed as a length, "1e12", "abc" and "-10" are not taken (leaving the
    // field refuses them); an emptied length is no value.
    for (const char* bad : {"1e12", "abc", "-10"}) {
        Type(page811->EditLunghezza, bad);
        EXPECT_EQ(Mast().Length, 20) << bad;
        EXPECT_FALSE(page811->LabelInsufficienti->Visible) << bad;
    }
    Type(page811->EditLunghezza, "");
    EXPECT_EQ(Mast().Length, static_cast<int32_t>(LevelNone));
    EXPECT_TRUE(page811->LabelInsufficienti->Visible);
    // A complex structure takes the typed collection areas.
    Type(page811->EditLunghezza, "20");
    page811->RadioComplessa->Click();
    EXPECT_EQ(Mast().Parallelepiped, 0);
    Type(page811->EditAreaSenza, "10000");
    Type(page811->EditAreaCon, "12500");
    EXPECT_EQ(page811->ValoreSenzaAntenne->Caption.Get(), "0,04000");
    EXPECT_EQ(page811->ValoreConAntenne->Caption.Get(), "0,05000");
    EXPECT_EQ(page811->LabelEsitoCon->Caption.Get(), "La struttura con antenne è autoprotetta.");
}

TEST_F(Lightning811Test, AreaCellsOfUnselectedTypesAreRefused) {
    TStringGrid* grid = page811->GrigliaAree;
    grid->Row = 4;
    EXPECT_NE(grid->Row.Get(), 4);
    EXPECT_FALSE(grid->Options.Get().Contains(goEditing));  // no type, no area to edit
    page811->ListaStrutture->ClickAt(20, 4 * 16 + 8);
    EXPECT_EQ(grid->Row.Get(), 4);  // the current cell moves to the selected type
    EXPECT_TRUE(grid->Options.Get().Contains(goEditing));
    project.Modified = false;
    grid->SetEditText(0, 4, "12,7");  // whole square metres only
    EXPECT_EQ(Mast().StructureArea[4], static_cast<int32_t>(LevelNone));
    grid->SetEditText(0, 4, "12");
    EXPECT_EQ(Mast().StructureArea[4], 12);
    EXPECT_TRUE(project.Modified);
    grid->SetEditText(0, 4, "");
    EXPECT_EQ(Mast().StructureArea[4], static_cast<int32_t>(LevelNone));
    grid->SetEditText(0, 5, "300");  // type 5 is not selected
    EXPECT_EQ(Mast().StructureArea[5], static_cast<int32_t>(LevelNone));
}

TEST_F(Lightning811Test, DensityAndMunicipalityAndFill) {
    Mast().Municipality = "Nessuno";
    page811->ComboDensita->SelectByUser(0);
    EXPECT_EQ(Mast().FlashDensity, 0);
    EXPECT_EQ(Mast().Municipality, "");
    EXPECT_EQ(page811->ComboComune->Items->Count(), 0);

    // Filling shows the data and changes nothing.
    Mast().Parallelepiped = 0;
    Mast().CollectionAreaWith = 777;
    Mast().StructureSelected[2] = 1;
    Mast().StructureArea[2] = 450;
    project.Modified = false;
    page811->Fill();
    EXPECT_FALSE(project.Modified);
    EXPECT_TRUE(page811->RadioComplessa->Checked);
    EXPECT_EQ(page811->EditAreaCon->Text.Get(), "777");
    EXPECT_EQ(page811->EditAreaSenza->Text.Get(), "");
    EXPECT_TRUE(page811->ListaStrutture->IsSelected(2));
    EXPECT_EQ(page811->GrigliaAree->Cells[0][2], "450");
    EXPECT_EQ(page811->ComboDensita->ItemIndex.Get(), 0);
}

}  // namespace
