// The mast-sizing data form: item texts, the ordered list, the buttons and
// what it keeps in the settings.
#include "dialogs/mast_sizing.h"

#include <gtest/gtest.h>

#include "platform/application.h"
#include "support/globals_fixture.h"

namespace {

std::vector<AnsiString> Items(const TDatiAutSost& f) {
    std::vector<AnsiString> items;
    for (int i = 0; i < f.ListTronchi->Items->Count(); ++i) items.push_back((*f.ListTronchi->Items)[i]);
    return items;
}

std::vector<AnsiString> Selected(const TDatiAutSost& f) {
    std::vector<AnsiString> items;
    for (int i = 0; i < f.ListTronchi->Items->Count(); ++i)
        if (f.ListTronchi->Selected[i]) items.push_back((*f.ListTronchi->Items)[i]);
    return items;
}

struct MastSizingFormTest : ::testing::Test {
    ScopedGlobals globals;
    TDatiAutSost form;
};

TEST(MastSizingForm, ItemTexts) {
    EXPECT_EQ(TDatiAutSost::FormatSection(28, 2, 3), "d=28mm - s=2mm - l=3m");
    EXPECT_EQ(TDatiAutSost::FormatSection(28, 2, 2.5f), "d=28mm - s=2mm - l=2,5m");
    EXPECT_EQ(TDatiAutSost::FormatSection(101.5f, 2.75f, 0.5f), "d=101,5mm - s=2,8mm - l=0,5m");

    struct Case {
        const char* text;
        bool ok;
        float d = 0, s = 0, l = 0;
    };
    for (Case c :
         {Case{"d=28mm - s=2mm - l=3m", true, 28, 2, 3},
          Case{"d=101,5mm - s=2,8mm - l=0,5m", true, 101.5f, 2.8f, 0.5f}, Case{"d=abc", false},
          Case{"", false}, Case{"d=", false}, Case{"d=28mm", false}, Case{"d=28mm - s=2mm - l=", false},
          Case{"d=28mm - s=xmm - l=3m", false}, Case{"d=28mm - s=2mm - l=3", false}}) {
        SCOPED_TRACE(c.text);
        float d = -1, s = -1, l = -1;
        EXPECT_EQ(TDatiAutSost::ParseSection(c.text, d, s, l), c.ok);
        if (c.ok) {
            EXPECT_FLOAT_EQ(d, c.d);
            EXPECT_FLOAT_EQ(s, c.s);
            EXPECT_FLOAT_EQ(l, c.l);
        }
    }
}

TEST_F(MastSizingFormTest, FirstUseShowsTheDefaultsAllSelected) {
    form.FormShow(&form);
    const std::vector<AnsiString> items = Items(form);
    ASSERT_EQ(items.size(), 15u);
    EXPECT_EQ(items.front(), "d=28mm - s=2mm - l=2m");
    EXPECT_EQ(items[1], "d=28mm - s=2mm - l=3m");
    EXPECT_EQ(items.back(), "d=100mm - s=3mm - l=3m");
    EXPECT_EQ(Selected(form), items);
    EXPECT_FALSE(form.ButtonAggiungi->Enabled);
    EXPECT_FALSE(form.ButtonRimuovi->Enabled);
    EXPECT_EQ(form.SelectedSections().size(), 15u);
}

TEST_F(MastSizingFormTest, AddingKeepsTheListOrdered) {
    form.LoadDefaultSections();
    form.AddSection(28, 2, 2.5f);
    std::vector<AnsiString> items = Items(form);
    ASSERT_EQ(items.size(), 16u);
    EXPECT_EQ(items[0], "d=28mm - s=2mm - l=2m");
    EXPECT_EQ(items[1], "d=28mm - s=2mm - l=2,5m");
    EXPECT_EQ(items[2], "d=28mm - s=2mm - l=3m");

    form.AddSection(28, 2, 2.5f);  // equal: nothing
    form.AddSection(50, 2, 3);
    EXPECT_EQ(Items(form), items);

    form.AddSection(120, 4, 3);  // larger than all: last
    form.AddSection(60, 2, 6);   // d first, then s: before 60 x 3
    items = Items(form);
    EXPECT_EQ(items.back(), "d=120mm - s=4mm - l=3m");
    EXPECT_EQ(items[9], "d=60mm - s=2mm - l=6m");
    EXPECT_EQ(items[10], "d=60mm - s=3mm - l=2m");
}

// "Aggiungi" needs three measures each edit takes: the ranges the mast page
// names (d 25-102 mm, s 2-6 mm, l 0,5-6 m), to the one decimal the list shows.
TEST_F(MastSizingFormTest, AggiungiNeedsThreeMeasuresWithinTheirRanges) {
    form.FormShow(&form);
    struct Case {
        const char *d, *s, *l;
        bool enabled;
    };
    for (Case c : {Case{"28", "2", "2,5", true}, Case{"", "2", "3", false}, Case{"28", "0", "3", false},
                   Case{"28", "2", "-1", false}, Case{"28", "x", "3", false}, Case{"25", "2", "0,5", true},
                   Case{"102", "6", "6", true}, Case{"24", "2", "3", false}, Case{"500", "2", "3", false},
                   Case{"28", "40", "3", false}, Case{"28", "2,25", "3", false},
                   Case{"99999999999999999999999999999999999999999999", "2", "3", false}}) {
        SCOPED_TRACE(std::string(c.d) + "/" + c.s + "/" + c.l);
        form.EditD->Text = c.d;
        form.EditS->Text = c.s;
        form.EditL->Text = c.l;
        form.EditChange(form.EditL);
        EXPECT_EQ(form.ButtonAggiungi->Enabled, c.enabled);
    }
    form.EditD->Text = "28";
    form.EditS->Text = "2";
    form.EditL->Text = "2,5";
    form.EditChange(form.EditL);
    form.AggiungiClick(form.ButtonAggiungi);
    EXPECT_EQ(Items(form)[1], "d=28mm - s=2mm - l=2,5m");
    EXPECT_EQ(form.EditD->Text.Get(), "");
    EXPECT_FALSE(form.ButtonAggiungi->Enabled);
}

TEST_F(MastSizingFormTest, RimuoviTakesTheOneSelectedItem) {
    form.FormShow(&form);
    for (int i = 0; i < form.ListTronchi->Items->Count(); ++i) form.ListTronchi->Selected[i] = i == 2;
    form.ListClick(form.ListTronchi);
    EXPECT_TRUE(form.ButtonRimuovi->Enabled);
    form.RimuoviClick(form.ButtonRimuovi);
    EXPECT_EQ(Items(form).size(), 14u);
    EXPECT_EQ(Items(form)[2], "d=35mm - s=2mm - l=3m");
    EXPECT_FALSE(form.ButtonRimuovi->Enabled);

    form.ListTronchi->Selected[0] = true;
    form.ListTronchi->Selected[1] = true;
    form.ListClick(form.ListTronchi);
    EXPECT_FALSE(form.ButtonRimuovi->Enabled);
    form.DefaultClick(form.ButtonDefault);
    EXPECT_EQ(Items(form).size(), 15u);
}

TEST_F(MastSizingFormTest, PresetsRoundTripThroughTheSettings) {
    form.FormShow(&form);
    for (int n = 1; n <= MastPresets; ++n) {
        SCOPED_TRACE(n);
        for (int i = 0; i < form.ListTronchi->Items->Count(); ++i)
            form.ListTronchi->Selected[i] = i == n || i == 10;
        form.CheckTelescopici->Checked = n % 2 == 0;
        form.SalvaPreselezione[n - 1]->Click();
        EXPECT_EQ(globals.Settings().String("PreselTele" + std::to_string(n)), n % 2 == 0 ? "t" : "f");
    }
    for (int n = 1; n <= MastPresets; ++n) {
        SCOPED_TRACE(n);
        form.Preselezione[n - 1]->Click();
        EXPECT_EQ(Selected(form), (std::vector<AnsiString>{Items(form)[n], Items(form)[10]}));
        EXPECT_EQ(form.CheckTelescopici->Checked.Get(), n % 2 == 0);
    }

    // A preset naming a removed section selects the others.
    form.ListTronchi->Items->Delete(1);
    form.LoadPreset(1);
    EXPECT_EQ(Selected(form), std::vector<AnsiString>{"d=70mm - s=3mm - l=2m"});
}

// "Ok" keeps the whole list and its selection: the next opening shows the
// tubes of the last sizing, so that sizing again gives the same mast.
TEST_F(MastSizingFormTest, OkStoresTheListAndTheSelectionTheNextOpeningShows) {
    form.FormShow(&form);
    form.AddSection(33, 3, 1.5f);
    for (int i = 0; i < form.ListTronchi->Items->Count(); ++i)
        form.ListTronchi->Selected[i] = (*form.ListTronchi->Items)[i] == "d=33mm - s=3mm - l=1,5m" || i == 5;
    form.CheckTelescopici->Checked = true;
    const std::vector<AnsiString> chosen = Selected(form);
    ASSERT_EQ(chosen.size(), 2u);
    form.OkClick(form.ButtonOk);
    EXPECT_EQ(form.ModalResult.Get(), mrOk);
    EXPECT_NE(globals.Settings().String("TronchiSel").find("d=33mm - s=3mm - l=1,5m"), AnsiString::npos);

    TDatiAutSost again;
    again.FormShow(&again);
    EXPECT_EQ(Items(again), Items(form));
    EXPECT_EQ(Selected(again), chosen);
    EXPECT_TRUE(again.CheckTelescopici->Checked);
    EXPECT_EQ(again.SelectedSections().size(), 2u);

    again.AnnullaClick(again.ButtonAnnulla);
    EXPECT_EQ(again.ModalResult.Get(), mrCancel);
    // "Annulla" keeps nothing: the opening after shows the same.
    TDatiAutSost third;
    third.FormShow(&third);
    EXPECT_EQ(Selected(third), chosen);
}

TEST_F(MastSizingFormTest, OkWithNoTubeSelectedIsRefusedAndKeepsNothing) {
    Application->Script().Reset();
    form.FormShow(&form);
    for (int i = 0; i < form.ListTronchi->Items->Count(); ++i) form.ListTronchi->Selected[i] = false;
    form.OkClick(form.ButtonOk);
    EXPECT_EQ(form.ModalResult.Get(), mrNone);
    ASSERT_EQ(Application->Script().MessageBoxes.size(), 1u);
    EXPECT_EQ(Application->Script().MessageBoxes[0].Text, "Selezionare almeno un tronco.");
    EXPECT_EQ(globals.Settings().String("TronchiSel"), "");
    EXPECT_EQ(globals.Settings().String("PreselTronchi0"), "");
}

// "Default" gives the list of the first use back: the default tubes, all
// selected.
TEST_F(MastSizingFormTest, DefaultSelectsEveryDefaultTube) {
    globals.Settings().WriteString("TronchiSel", "d=33mm - s=3mm - l=1,5m\r\nd=28mm - s=2mm - l=2m");
    globals.Settings().WriteString("PreselTronchi0", "d=33mm - s=3mm - l=1,5m");
    form.FormShow(&form);
    EXPECT_EQ(Selected(form), std::vector<AnsiString>{"d=33mm - s=3mm - l=1,5m"});
    form.DefaultClick(form.ButtonDefault);
    ASSERT_EQ(Items(form).size(), 15u);
    EXPECT_EQ(Selected(form), Items(form));
}

// What the settings hold may be old, edited by hand or damaged: lines that
// are not tubes are left out, and a list with no tube, or a last selection
// that names none of the tubes listed, opens as on first use would, every
// tube selected.
TEST_F(MastSizingFormTest, BadStoredValuesOpenWithTubesSelected) {
    const std::vector<AnsiString> two = {"d=28mm - s=2mm - l=3m", "d=50mm - s=2mm - l=3m"};
    struct Case {
        const char* what;
        const char* list;
        const char* selection;
        const char* telescopic;
        std::vector<AnsiString> items;  // empty: the 15 default tubes
        std::vector<AnsiString> selected;
    };
    const Case cases[] = {
        {"lines that are no tubes", "d=28mm - s=2mm - l=3m\r\nd=abc\r\nd=1\r\nd=0mm - s=2mm - l=3m\r\n"
                                    "d=40mm - s=-2mm - l=3m\r\nd=50mm - s=2mm - l=3m\r\n",
         "d=50mm - s=2mm - l=3m", "t", two, {two[1]}},
        {"a selection of tubes no longer listed", "d=28mm - s=2mm - l=3m\r\nd=50mm - s=2mm - l=3m",
         "d=99mm - s=2mm - l=3m\r\n???", "x", two, two},
        {"no selection stored", "d=28mm - s=2mm - l=3m\r\nd=50mm - s=2mm - l=3m", "", "", two, two},
        {"a list with no tube", "garbage\r\n\r\nd=", "garbage", "", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        globals.Settings().WriteString("TronchiSel", c.list);
        globals.Settings().WriteString("PreselTronchi0", c.selection);
        globals.Settings().WriteString("PreselTele0", c.telescopic);
        TDatiAutSost opened;
        opened.FormShow(&opened);
        if (c.items.empty()) {
            EXPECT_EQ(Items(opened).size(), 15u);
            EXPECT_EQ(Selected(opened), Items(opened));
        } else {
            EXPECT_EQ(Items(opened), c.items);
            EXPECT_EQ(Selected(opened), c.selected);
        }
        EXPECT_EQ(opened.CheckTelescopici->Checked.Get(), std::string(c.telescopic) == "t");
    }
}

}  // namespace
