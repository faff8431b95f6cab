// The component palette and its tool factory: what each tool and list state
// builds, the tool chosen for a library cell, the modes, the variant texts,
// the turned glyphs and the restyling of selected signs.
#include "dialogs/component_palette.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "cells/cell.h"
#include "cells/class_table.h"
#include "cells/factory.h"
#include "cells/splitters.h"
#include "cells/taps.h"
#include "document/grid.h"
#include "document/project.h"
#include "document/signs.h"
#include "document/undo.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"
#include "view/draw_window.h"

namespace {

class PaletteTest : public GlobalsTest {
protected:
    ScopedPrototypes prototypes;
    TPannelloComponenti palette;

    void Press(const char* name) {
        const int index = ToolButtonIndex(name);
        ASSERT_GE(index, 0) << name;
        palette.PressButton(index);
    }
    // Presses the button, then sets the lists that are given (-1 leaves one).
    void Choose(const char* name, int first = -1, int second = -1, int third = -1) {
        Press(name);
        if (first >= 0) palette.FirstList->ItemIndex = first;
        if (second >= 0) palette.SecondList->ItemIndex = second;
        if (third >= 0) palette.ThirdList->ItemIndex = third;
    }
    std::unique_ptr<TCella> Make(int32_t x = 3, int32_t y = 4) {
        return palette.CreateCurrentToolCell(nullptr, x, y);
    }
};

std::vector<AnsiString> Items(const TComboBox* list) {
    std::vector<AnsiString> items;
    for (int i = 0; i < list->Items->Count(); ++i) items.push_back((*list->Items)[i]);
    return items;
}

// The glyph's pixels, row by row.
std::vector<TColor> Pixels(const TBitmap& b) {
    std::vector<TColor> p;
    for (int y = 0; y < b.Height; ++y)
        for (int x = 0; x < b.Width; ++x) p.push_back(b.Pixel(x, y));
    return p;
}

}  // namespace

TEST_F(PaletteTest, FactoryBuildsTheClassCountsAndLayoutOfTheLists) {
    struct Case {
        const char* button;
        int first, second, third;
        int32_t type, inputs, taps, layout;
    };
    // clang-format off
    const Case cases[] = {
        {"BSwitch4", 0, 1, 4, 56, 1, 2, 5},    // "Matrice dx."
        {"BSwitch4", 2, 3, 5, 10, 3, 4, 11},   // "1 out dx."
        {"BSwitch4", 0, 0, 0, 10, 1, 1, 0},    // "Out laterali"
        {"BSwitchN", 0, 1, 5, 57, 1, 2, 5},    // "Matrice dx."
        {"BSwitchN", 0, 1, 6, 47, 1, 2, 11},   // "1 out dx."
        {"BDerivatoreS", 0, 2, -1, 50, 1, 6, -1},
        {"BDivisore3", 2, 0, -1, 3, 3, 2, -1},
        {"BDerivatore3", 1, 3, -1, 6, 2, 4, -1},
        {"BPresaP", -1, 2, -1, 15, -1, 3, -1},
        {"BFiltroAT", 1, 0, 1, 35, -1, -1, 2},  // "mix lati"
        {"BConvertitore", 1, 1, 1, 37, 1, -1, 1},  // "da palo": one in, one out
        {"BAlimentatoreSF", -1, -1, 3, 44, -1, -1, 3},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.button) + " " + std::to_string(c.first) + "/" + std::to_string(c.second) +
                     "/" + std::to_string(c.third));
        Choose(c.button, c.first, c.second, c.third);
        std::unique_ptr<TCella> cell = Make();
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->TypeCode, c.type);
        if (c.inputs >= 0) {
            EXPECT_EQ(cell->Inputs, c.inputs);
        }
        if (c.taps >= 0) {
            EXPECT_EQ(cell->TapOutputs, c.taps);
        }
        if (c.layout >= 0) {
            EXPECT_EQ(cell->Variant, c.layout);
        }
        EXPECT_EQ(cell->Column, 3);
        EXPECT_EQ(cell->Row, 4);
    }
}

TEST_F(PaletteTest, SwitchKeepsTheMirrorOnlyWithTwoOutputs) {
    Choose("BSwitch4");
    palette.MirrorOf[13] = 1;
    for (int second : {0, 1, 2}) {
        palette.SecondList->ItemIndex = second;
        std::unique_ptr<TCella> cell = Make();
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->Mirrored, second == 1 ? 1 : 0) << second;
    }
}

TEST_F(PaletteTest, TurnsReachTheCellsAndTheFinalAmplifierStandsUpsideDown) {
    Press("BAmplificatoreAt");
    palette.RotateClick(nullptr);
    std::unique_ptr<TCella> once = Make(10, 20);
    ASSERT_NE(once, nullptr);
    EXPECT_EQ(once->Orientation, 2);
    EXPECT_EQ(once->Column, 12);
    EXPECT_EQ(once->Row, 24);
    palette.RotateClick(nullptr);
    std::unique_ptr<TCella> twice = Make(10, 20);
    EXPECT_EQ(twice->Orientation, 0);
    EXPECT_EQ(twice->Column, 10);
    EXPECT_EQ(twice->Row, 20);

    Press("BLinea");
    for (int i = 0; i < 3; ++i) palette.RotateClick(nullptr);
    std::unique_ptr<TCella> cable = Make();
    ASSERT_NE(cable, nullptr);
    EXPECT_EQ(cable->Orientation, 1);
    EXPECT_EQ(palette.Rotation(), 3);
}

TEST_F(PaletteTest, ToolsWithoutACellMakeNone) {
    Choose("BPresaD");
    palette.SecondList->ItemIndex = -1;
    EXPECT_EQ(Make(), nullptr);
    for (int32_t tool : {0, 33, 41, 46, 151, 100, -1})
        EXPECT_EQ(palette.CreateToolCell(nullptr, tool, 0, 0), nullptr) << tool;
}

TEST_F(PaletteTest, CellsTakeThePickedArticleOnlyWhileTheFlagIsSet) {
    Choose("BDivisore3", 0, 0);
    TCella* prototype = Make()->GetPrototype();
    ASSERT_NE(prototype, nullptr);
    prototype->Code = "DIV-12";
    prototype->Price = 9.5f;

    std::unique_ptr<TCella> a = Make(), b = Make();
    for (TCella* cell : {a.get(), b.get()}) {
        EXPECT_EQ(cell->Code, "");
        EXPECT_EQ(cell->Price, 0.0f);
    }
    palette.TakeArticle = 1;
    std::unique_ptr<TCella> picked = Make();
    EXPECT_EQ(picked->Code, "DIV-12");
    EXPECT_EQ(picked->Price, 9.5f);
}

TEST_F(PaletteTest, AToolWhoseClassIsMissingIsDisabledAndMakesNothing) {
    TCellMaker saved = SetCellClassMaker("TDivisore", nullptr);
    {
        TPannelloComponenti other;
        EXPECT_FALSE(other.ButtonNamed("BDivisore3")->Enabled);
        EXPECT_TRUE(other.ButtonNamed("BDerivatore3")->Enabled);
        other.ShowMode(0);
        EXPECT_FALSE(other.ButtonNamed("BDivisore3")->Enabled);
        EXPECT_EQ(other.CreateToolCell(nullptr, 4, 0, 0), nullptr);
        TDivisore splitter(nullptr, 0, 0, 0, 0, 1, 2);
        EXPECT_FALSE(other.SelectToolForCell(&splitter));
        EXPECT_EQ(other.PressedButton(), other.ButtonNamed("BArrow"));
        EXPECT_EQ(other.TakeArticle, 0);
    }
    SetCellClassMaker("TDivisore", saved);
}

// Every cell the tools make selects its own button back, with lists from
// which the factory makes the same type and port counts.
TEST_F(PaletteTest, EachCellSelectsTheToolThatMakesItAgain) {
    for (int index = 0; index < static_cast<int>(ToolButtons().size()); ++index) {
        const TToolButtonInfo& info = ToolButtons()[static_cast<size_t>(index)];
        // The earth, the integrated head-end and the anchors are chosen by hand only.
        if (info.Tool <= 0 || info.Tool == ToolEraser || info.Tool >= ToolLine || info.Tool == 25 ||
            info.Tool == 58 || info.Tool == 52 || info.Tool == 53)
            continue;
        std::vector<int> picks[3];
        for (int k = 0; k < 3; ++k) {
            const int n = static_cast<int>(VariantItems(info.Lists[k]).size());
            if (n == 0)
                picks[k] = {-1};
            else
                picks[k] = n > 2 ? std::vector<int>{0, n / 2, n - 1}
                                 : (n == 2 ? std::vector<int>{0, 1} : std::vector<int>{0});
        }
        for (int a : picks[0])
            for (int b : picks[1])
                for (int c : picks[2]) {
                    SCOPED_TRACE(std::string(info.Name) + " " + std::to_string(a) + "/" + std::to_string(b) +
                                 "/" + std::to_string(c));
                    palette.PressButton(index);
                    if (a >= 0) palette.FirstList->ItemIndex = a;
                    if (b >= 0) palette.SecondList->ItemIndex = b;
                    if (c >= 0) palette.ThirdList->ItemIndex = c;
                    std::unique_ptr<TCella> made = Make();
                    ASSERT_NE(made, nullptr);
                    palette.PressButton(0);
                    ASSERT_TRUE(palette.SelectToolForCell(made.get()));
                    EXPECT_EQ(palette.TakeArticle, 1);
                    const char* expected = info.Tool == 18 ? "BLinea" : info.Name;
                    EXPECT_EQ(palette.PressedButton(), palette.ButtonNamed(expected));
                    palette.TakeArticle = 0;
                    std::unique_ptr<TCella> again = Make();
                    ASSERT_NE(again, nullptr);
                    EXPECT_EQ(again->TypeCode, made->TypeCode);
                    EXPECT_EQ(again->Inputs, made->Inputs);
                    EXPECT_EQ(again->ThroughOutputs, made->ThroughOutputs);
                    EXPECT_EQ(again->TapOutputs, made->TapOutputs);
                }
    }
}

TEST_F(PaletteTest, CountsNoListHoldsSelectTheArrow) {
    TDivisore twelve(nullptr, 0, 0, 0, 0, 1, 12);
    TDerivatoreS odd(nullptr, 0, 0, 0, 0, 1, 3);
    TDerivatore eleven(nullptr, 0, 0, 0, 0, 1, 11);
    for (TCella* cell : std::initializer_list<TCella*>{&twelve, &odd, &eleven}) {
        Press("BDerivatore3");
        palette.TakeArticle = 1;
        EXPECT_FALSE(palette.SelectToolForCell(cell)) << cell->TypeCode;
        EXPECT_EQ(palette.PressedButton(), palette.ButtonNamed("BArrow"));
        EXPECT_EQ(palette.CurrentTool(), ToolArrow);
        EXPECT_EQ(palette.TakeArticle, 0);
    }
}

TEST_F(PaletteTest, NetworkModeDisablesTheHeadEndTools) {
    Press("BSat");
    ASSERT_EQ(palette.CurrentTool(), 39);
    palette.ShowMode(1);
    for (const char* name :
         {"BAntenna", "BSat", "BFiltroP", "BAmplificatoreA", "BFiltroPB", "BCentraleIntegrata"})
        EXPECT_FALSE(palette.ButtonNamed(name)->Enabled) << name;
    EXPECT_TRUE(palette.ButtonNamed("BDerivatore3")->Enabled);
    EXPECT_TRUE(palette.ButtonNamed("BArrow")->Down);
    EXPECT_FALSE(palette.ButtonNamed("BSat")->Down);
    EXPECT_EQ(palette.CurrentTool(), ToolArrow);

    std::unique_ptr<TCella> sat = palette.CreateToolCell(nullptr, 39, 0, 0);
    ASSERT_NE(sat, nullptr);
    EXPECT_FALSE(palette.SelectToolForCell(sat.get()));
    EXPECT_EQ(palette.CurrentTool(), ToolArrow);

    palette.ShowMode(0);
    EXPECT_TRUE(palette.ButtonNamed("BSat")->Enabled);
    EXPECT_TRUE(palette.SelectToolForCell(sat.get()));
    EXPECT_EQ(palette.CurrentTool(), 39);
}

TEST_F(PaletteTest, ButtonsStandInPairsAndTheListsFollowThem) {
    EXPECT_EQ(palette.Height, 50);
    struct Place {
        const char* name;
        int left, top;
    };
    for (const Place& p :
         {Place{"BArrow", 0, 0}, Place{"BEraser", 0, 25}, Place{"BLineaGrafica", 30, 0},
          Place{"BRettangoloGrafico", 30, 25}, Place{"BTesto", 55, 0}, Place{"BSeparatoreCC", 85, 0},
          Place{"BTerra", 85, 25}, Place{"BParabola", 585, 25}}) {
        EXPECT_EQ(palette.ButtonNamed(p.name)->Left, p.left) << p.name;
        EXPECT_EQ(palette.ButtonNamed(p.name)->Top, p.top) << p.name;
    }
    for (const char* hidden : {"BCustom", "BAncoraI", "BAncoraO", "BRiserva"})
        EXPECT_FALSE(palette.ButtonNamed(hidden)->Visible) << hidden;
    EXPECT_FALSE(palette.ButtonNamed("BNonAssegnato")->Enabled);
    EXPECT_EQ(palette.FirstList->Left, 615);
    EXPECT_EQ(palette.ThirdList->Left, 704);
    EXPECT_EQ(palette.ButtonNamed("BDerivatore3")->Hint, "Derivatori");
}

TEST_F(PaletteTest, VariantListsHoldTheirTextsWordForWord) {
    struct Case {
        const char* button;
        TComboBox* const TPannelloComponenti::*list;
        std::vector<const char*> items;
    };
    auto first = &TPannelloComponenti::FirstList;
    auto second = &TPannelloComponenti::SecondList;
    auto third = &TPannelloComponenti::ThirdList;
    const std::vector<Case> cases = {
        {"BDivisore3",
         first,
         {"1 linea", "2 linee", "3 linee", "4 linee", "5 linee", "6 linee", "7 linee", "8 linee", "9 linee"}},
        {"BDivisore3",
         second,
         {"2 uscite", "3 uscite", "4 uscite", "5 uscite", "6 uscite", "7 uscite", "8 uscite", "9 uscite",
          "10 uscite"}},
        {"BDerivatore3",
         second,
         {"1 derivata", "2 derivate", "3 derivate", "4 derivate", "5 derivate", "6 derivate", "7 derivate",
          "8 derivate", "9 derivate", "10 derivate"}},
        {"BDerivatoreS", second, {"2 derivate", "4 derivate", "6 derivate", "8 derivate", "10 derivate"}},
        {"BAlimentatore", second, {"1 uscita", "2 uscite", "3 uscite", "4 uscite"}},
        {"BMiscelatore",
         first,
         {"2 ingressi", "3 ingressi", "4 ingressi", "5 ingressi", "6 ingressi", "7 ingressi", "8 ingressi",
          "9 ingressi", "10 ingressi"}},
        {"BPresaD", second, {"normale", "demix 2 out", "demix 3 out"}},
        {"BAmplificatore", second, {"normale", "1 ingresso"}},
        {"BAmplificatoreAt", first, {"1 ingresso", "2 ingressi", "2 in automix"}},
        {"BAmplificatoreAt", second, {"1 uscita", "2 out automix", "1 out + 1 in"}},
        {"BAmplificatoreAt", third, {"mix alto", "mix lati"}},
        {"BConvertitore", third, {"modulo", "da palo", "mix lati"}},
        {"BAlimentatoreSF", third, {"1 modulo", "2 moduli", "3 moduli", "4 moduli"}},
    };
    for (const Case& c : cases) {
        Press(c.button);
        EXPECT_EQ(Items(palette.*c.list), std::vector<AnsiString>(c.items.begin(), c.items.end()))
            << c.button;
        EXPECT_TRUE((palette.*c.list)->Visible) << c.button;
    }
    Press("BSwitch4");
    std::vector<AnsiString> layout = Items(palette.ThirdList);
    ASSERT_EQ(layout.size(), 44u);
    EXPECT_EQ(std::vector<AnsiString>(layout.begin(), layout.begin() + 6),
              (std::vector<AnsiString>{"Out laterali", "Out sx.", "Out dx.", "Matrice sx.", "Matrice dx.",
                                       "1 out dx."}));
    EXPECT_EQ(layout.back(), "39 out dx.");
    EXPECT_EQ(Items(palette.FirstList).at(1), "2 passanti");
    EXPECT_EQ(Items(palette.SecondList).back(), "40 uscite");
    Press("BSwitchN");
    EXPECT_EQ(Items(palette.ThirdList).front(), "Out sotto");
    EXPECT_EQ(palette.ThirdList->ItemIndex, 1);  // starts at "Out laterali"
    Press("BAmplificatoreA");
    EXPECT_EQ(Items(palette.FirstList).back(), "9 vie");

    EXPECT_EQ(Items(palette.CableColourList),
              (std::vector<AnsiString>{"Nero", "Rosso", "Verde", "Blu", "Acqua", "Marrone", "Fucsia",
                                       "Grigio", "Azzurro"}));
    EXPECT_EQ(Items(palette.FontSizeBox), (std::vector<AnsiString>{"8pt", "10pt", "12pt", "14pt", "16pt",
                                                                   "20pt", "24pt", "28pt", "32pt"}));
}

TEST_F(PaletteTest, ToolsShowTheirControlsAndRememberTheirOwnLists) {
    Press("BLinea");
    EXPECT_TRUE(palette.BRuota->Visible);
    EXPECT_FALSE(palette.BRifletti->Visible);
    EXPECT_TRUE(palette.CableColourList->Visible);
    EXPECT_FALSE(palette.FirstList->Visible);
    Press("BLineaGrafica");
    EXPECT_EQ(palette.CurrentTool(), ToolLine);
    EXPECT_TRUE(palette.LineWidthList->Visible);
    EXPECT_TRUE(palette.LineStyleList->Visible);
    EXPECT_TRUE(palette.GraphicColourList->Visible);
    EXPECT_FALSE(palette.BRuota->Visible);
    Press("BTesto");
    EXPECT_TRUE(palette.FontNameBox->Visible);
    EXPECT_FALSE(palette.LineWidthList->Visible);

    Press("BAmplificatore");
    palette.TakeArticle = 1;
    palette.SecondList->SelectByUser(1);
    EXPECT_EQ(palette.TakeArticle, 0);
    Press("BAmplificatoreGR");
    EXPECT_EQ(palette.SecondList->ItemIndex, 0);
    Press("BAmplificatore");
    EXPECT_EQ(palette.SecondList->ItemIndex, 1);
    // Starting values of the remembered lists.
    Press("BFiltroAT");
    EXPECT_EQ(palette.FirstList->ItemIndex, 1);
    EXPECT_EQ(palette.SecondList->ItemIndex, 1);
}

TEST_F(PaletteTest, MixingAtTheSidesMovesTheOutputListButNoMemory) {
    Press("BFiltroAT");
    palette.SecondList->SelectByUser(0);
    palette.ThirdList->SelectByUser(1);  // "mix lati"
    palette.TakeArticle = 1;
    std::unique_ptr<TCella> cell = Make();
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->Variant, 2);
    EXPECT_EQ(palette.SecondList->ItemIndex, 1);  // "2 out automix"
    EXPECT_EQ(palette.SecondOf[35], 0);
    EXPECT_EQ(palette.ThirdOf[35], 1);
    EXPECT_EQ(palette.TakeArticle, 1);
    EXPECT_EQ(palette.CurrentTool(), 35);
}

namespace {

// Whether anything is drawn on a button's glyph (a button without a glyph
// keeps an empty bitmap: a blank button on the bar).
bool HasGlyph(const char* name) {
    const int index = ToolButtonIndex(name);
    if (index < 0) return false;
    TBitmap glyph;
    DrawToolGlyph(index, glyph);
    if (glyph.Width != ToolGlyphSize || glyph.Height != ToolGlyphSize) return false;
    const TColor back = glyph.Pixel(0, ToolGlyphSize - 1);
    for (const TColor pixel : Pixels(glyph))
        if (pixel != back) return true;
    return false;
}

}  // namespace

// Every button a class's row puts on the palette has its picture: a row added
// without one would give a blank button. The palette's own tools have theirs,
// the place holders none.
TEST(PaletteGlyphs, EveryClassButtonHasAGlyph) {
    size_t buttons = 0;
    for (const TCellClassRow& row : CellClassRows())
        for (const TToolButtonInfo& button : row.Buttons) {
            ++buttons;
            EXPECT_TRUE(HasGlyph(button.Name)) << row.Name << ": " << button.Name;
        }
    EXPECT_GT(buttons, 30u);
    for (const char* own : {"BArrow", "BEraser", "BLineaGrafica", "BRettangoloGrafico", "BTesto"})
        EXPECT_TRUE(HasGlyph(own)) << own;
    for (const char* holder : {"BNonAssegnato", "BNotAssigned", "BRiserva"}) EXPECT_FALSE(HasGlyph(holder)) << holder;
}

TEST_F(PaletteTest, RuotaAndRiflettiTurnTheGlyph) {
    Press("BDivisore3");
    TSpeedButton* button = palette.ButtonNamed("BDivisore3");
    const int w = button->Glyph->Width;
    ASSERT_EQ(w, ToolGlyphSize);
    const std::vector<TColor> original = Pixels(*button->Glyph);
    for (int i = 0; i < 5; ++i) palette.RotateClick(nullptr);
    EXPECT_EQ(palette.RotationOf[4], 1);
    // One quarter turn clockwise: new (x, y) = old (y, w - 1 - x).
    std::vector<TColor> quarter(original.size());
    for (int y = 0; y < w; ++y)
        for (int x = 0; x < w; ++x) quarter[y * w + x] = original[(w - 1 - x) * w + y];
    EXPECT_EQ(Pixels(*button->Glyph), quarter);
    EXPECT_NE(quarter, original);

    // At an odd rotation "Rifletti" flips top to bottom.
    Press("BDerivatore3");
    TSpeedButton* tap = palette.ButtonNamed("BDerivatore3");
    palette.RotateClick(nullptr);
    const std::vector<TColor> turned = Pixels(*tap->Glyph);
    palette.MirrorClick(nullptr);
    EXPECT_EQ(palette.MirrorOf[8], 1);
    std::vector<TColor> flipped(turned.size());
    for (int y = 0; y < w; ++y)
        for (int x = 0; x < w; ++x) flipped[y * w + x] = turned[(w - 1 - y) * w + x];
    EXPECT_EQ(Pixels(*tap->Glyph), flipped);

    // The final amplifier turns by halves: two clicks give the glyph back.
    Press("BAmplificatoreAt");
    TSpeedButton* amplifier = palette.ButtonNamed("BAmplificatoreAt");
    const std::vector<TColor> start = Pixels(*amplifier->Glyph);
    palette.RotateClick(nullptr);
    EXPECT_NE(Pixels(*amplifier->Glyph), start);
    palette.RotateClick(nullptr);
    EXPECT_EQ(Pixels(*amplifier->Glyph), start);
    // Another tool chosen and back: the turned glyph and the rotation stay.
    Press("BDivisore3");
    EXPECT_EQ(Pixels(*button->Glyph), quarter);
}

TEST_F(PaletteTest, StyleMapsAndSizeTexts) {
    EXPECT_EQ(TPannelloComponenti::IndexToGraphicColour(1), RGB(0xFF, 0, 0));
    EXPECT_EQ(TPannelloComponenti::IndexToGraphicColour(2), RGB(0, 0x80, 0));
    EXPECT_EQ(TPannelloComponenti::IndexToGraphicColour(7), clBlack);
    EXPECT_EQ(TPannelloComponenti::ColorToIndex(RGB(0, 0, 0xFF)), 3);
    EXPECT_EQ(TPannelloComponenti::ColorToIndex(clAqua), 0);
    EXPECT_EQ(TPannelloComponenti::IndexToColor(4), RGB(0, 0xFF, 0xFF));
    EXPECT_EQ(TPannelloComponenti::IndexToColor(5), RGB(0x80, 0, 0));
    EXPECT_EQ(TPannelloComponenti::IndexToColor(8), RGB(0, 0, 0x80));
    EXPECT_EQ(TPannelloComponenti::IndexToColor(9), clBlack);
    EXPECT_EQ(TPannelloComponenti::IndexToPenStyle(2), psDot);
    EXPECT_EQ(TPannelloComponenti::PenStyleToIndex(psDashDot), -1);
    struct Size {
        const char* text;
        int points;
    };
    for (const Size& s : {Size{"18pt", 18}, Size{"18", 18}, Size{"999", 999}, Size{"0", -1}, Size{"1000", -1},
                          Size{"12,5", -1}, Size{"pt", -1}, Size{"", -1}, Size{"-4pt", -1}, Size{"abc", -1}})
        EXPECT_EQ(TPannelloComponenti::ParseFontSize(s.text), s.points) << s.text;

    Press("BTesto");
    palette.FontSizeBox->UserFocus();
    palette.FontSizeBox->UserSet(palette.FontSizeBox->Text, AnsiString("18"));
    palette.FontSizeBox->DoExit();
    EXPECT_EQ(palette.FontSizeBox->Text, "18pt");
    EXPECT_EQ(palette.FontSize(), 18);
    palette.FontSizeBox->UserSet(palette.FontSizeBox->Text, AnsiString("grande"));
    palette.FontSizeBox->DoExit();
    EXPECT_EQ(palette.FontSizeBox->Text, "18pt");
}

namespace {

// A palette and a drawing control over the network grid of a new project.
class RestyleTest : public PaletteTest {
protected:
    void SetUp() override {
        project.Reset(true);
        grid = project.NetworkGrid;
        window.Width = 400;
        window.Height = 300;
        window.Palette = &palette;
        palette.DrawWindow = &window;
        window.SetGrid(grid);
        project.Modified = false;
    }
    void TearDown() override { window.SetGrid(nullptr); }
    TSegnoGrafico* Add(int32_t kind, int32_t x) {
        auto signOwned = std::make_unique<TSegnoGrafico>(grid);
        TSegnoGrafico* sign = signOwned.get();
        sign->Kind = kind;
        sign->X1 = x;
        sign->Y1 = 10;
        sign->X2 = x + 30;
        sign->Y2 = 40;
        if (kind == SignText) sign->Text = "Scala B";
        EXPECT_TRUE(grid->AddSign(std::move(signOwned), false, 2));
        return sign;
    }
    std::vector<TSegnoGrafico*> Selected() const {
        std::vector<TSegnoGrafico*> signs;
        for (TSegnoGrafico* sign : window.SelectedSigns) signs.push_back(sign);
        return signs;
    }
    TProgetto project{nullptr};
    TGridData* grid = nullptr;
    TDrawWindow window;
};

}  // namespace

TEST_F(RestyleTest, RestylingReplacesEverySelectedSignByAChangedCopy) {
    TSegnoGrafico* line = Add(SignLine, 20);
    TSegnoGrafico* box = Add(SignRectangle, 100);
    window.SelectSign(line);
    window.SelectSign(box);
    ASSERT_TRUE(palette.GraphicColourList->Visible);

    TAnnulla& undo = *grid->UndoList;
    undo.Clear();
    palette.GraphicColourList->SelectByUser(2);
    // One step of a removal and an insertion per sign, captioned as a change of properties.
    ASSERT_EQ(undo.Count(), 4);
    EXPECT_EQ(undo.Record(0).GroupCount, 3);
    EXPECT_EQ(undo.GetMenuCaption(), "&Annulla modifica proprietà");
    std::vector<TSegnoGrafico*> selected = Selected();
    ASSERT_EQ(selected.size(), 2u);
    EXPECT_EQ(grid->Signs->Count(), 2);
    for (TSegnoGrafico* sign : selected) {
        EXPECT_EQ(sign->Pen->Color, clGreen);
        EXPECT_EQ(sign->Font->Color, clGreen);
    }
    EXPECT_TRUE(project.Modified);

    palette.LineWidthList->SelectByUser(4);
    palette.LineStyleList->SelectByUser(1);
    for (TSegnoGrafico* sign : Selected()) {
        EXPECT_EQ(sign->Pen->Width, 5);
        EXPECT_EQ(sign->Pen->Style, psDash);
        EXPECT_EQ(sign->Pen->Color, clGreen);
    }
    EXPECT_EQ(grid->Signs->Count(), 2);
    EXPECT_EQ(Selected().size(), 2u);
    ASSERT_EQ(undo.Count(), 12);

    // Each undo takes one whole restyling back.
    undo.Undo();
    undo.Undo();
    EXPECT_EQ(undo.Count(), 4);
    for (TSegnoGrafico* s = grid->Signs->head; s; s = s->Next) {
        EXPECT_EQ(s->Pen->Color, clGreen);
        EXPECT_EQ(s->Pen->Width, 1);
    }
    undo.Undo();
    EXPECT_TRUE(undo.Empty());
    EXPECT_EQ(grid->Signs->Count(), 2);
    for (TSegnoGrafico* s = grid->Signs->head; s; s = s->Next) EXPECT_EQ(s->Pen->Color, clBlack);
}

TEST_F(RestyleTest, TextSignsTakeFontAndSize) {
    TSegnoGrafico* text = Add(SignText, 20);
    window.SelectSign(text);
    ASSERT_TRUE(palette.FontSizeBox->Visible);
    palette.FontNameBox->UserSet(palette.FontNameBox->Text, AnsiString("Arial"));
    palette.FontSizeBox->UserSet(palette.FontSizeBox->Text, AnsiString("24"));
    ASSERT_EQ(Selected().size(), 1u);
    EXPECT_EQ(Selected()[0]->Font->Name, "Arial");
    EXPECT_EQ(Selected()[0]->Font->Size, 24);
    EXPECT_EQ(Selected()[0]->Text, "Scala B");
}

TEST_F(RestyleTest, WithoutSelectionOrWhileUpdatingNothingChanges) {
    TSegnoGrafico* line = Add(SignLine, 20);
    grid->UndoList->Clear();
    Press("BLineaGrafica");
    palette.GraphicColourList->SelectByUser(1);
    EXPECT_EQ(line->Pen->Color, clBlack);
    EXPECT_FALSE(project.Modified);
    EXPECT_TRUE(grid->UndoList->Empty());

    Press("BArrow");
    window.SelectSign(line);
    palette.Updating = 1;
    palette.GraphicColourList->SelectByUser(3);
    EXPECT_EQ(Selected().at(0), line);
    EXPECT_EQ(line->Pen->Color, clBlack);
    EXPECT_FALSE(project.Modified);
    EXPECT_TRUE(grid->UndoList->Empty());
}

TEST_F(RestyleTest, ChoosingAToolEndsTheSignSelectionAndTheRangeSelection) {
    TSegnoGrafico* line = Add(SignLine, 20);
    window.SelectSign(line);
    Press("BDerivatore3");
    EXPECT_EQ(window.SelectedSigns.Count(), 0);
    EXPECT_FALSE(window.Options.Get().Contains(goRangeSelect));
    Press("BArrow");
    EXPECT_TRUE(window.Options.Get().Contains(goRangeSelect));
}
