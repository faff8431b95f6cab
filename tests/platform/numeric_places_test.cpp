// Places that take numbers: the rule a place declares, and how edits, grid
// cells and forms refuse a text that is not such a number.
#include "platform/numeric_places.h"

#include <gtest/gtest.h>

#include "platform/application.h"
#include "platform/comctrls.h"
#include "platform/forms.h"
#include "platform/grids.h"

namespace {

// ---------------------------------------------------------------- the rule

struct RuleCase {
    const char* what;
    TNumberRule rule;
    const char* text;
    bool taken;
};

TEST(NumberRule, TakesOnlyNumbersOfItsKindAndRange) {
    const TNumberRule diameter = TNumberRule::Whole(25, 102, "mm");
    const TNumberRule price = TNumberRule::Decimal(0, 99999999, 2, "€");
    const TNumberRule level = TNumberRule::Decimal(-200, 200, 2, "dB").OrEmpty().OrText("*");
    const RuleCase cases[] = {
        {"no digit", diameter, "abc", false},
        {"digits then letters", diameter, "28abc", false},
        {"beyond the greatest", diameter, "500", false},
        {"below the least", diameter, "24", false},
        {"negative where none is allowed", price, "-5", false},
        {"a point is not the decimal separator", price, "12.5", false},
        {"too many decimals", price, "12,555", false},
        {"a decimal in a whole place", diameter, "30,5", false},
        {"zeros past the decimals lose nothing", price, "12,500", true},
        {"empty where it means nothing", diameter, "", false},
        {"huge figure", TNumberRule::Whole(0, 10000, "mA"), "99999999999999999999999", false},
        {"two separators", price, "1,2,3", false},
        {"least", diameter, "25", true},
        {"greatest", diameter, "102", true},
        {"blanks around", diameter, " 30 ", true},
        {"decimal comma", price, "12,50", true},
        {"thousands grouped", price, "1.234,50", true},
        {"thousands wrongly grouped", price, "1.23,50", false},
        {"negative in range", level, "-5,5", true},
        {"empty means no value", level, "", true},
        {"a code the place takes", level, "*", true},
        {"another code", level, "<", false},
        {"text place takes anything", TNumberRule::Text(), "abc", true},
    };
    for (const RuleCase& c : cases) EXPECT_EQ(c.rule.Accepts(c.text), c.taken) << c.what << ": " << c.text;
}

TEST(NumberRule, RefusalNamesPlaceTextAndWhatIsAllowed) {
    EXPECT_EQ(TNumberRule::Whole(25, 102, "mm").Refusal("Diametro", "500"),
              "Diametro: \"500\" non è ammesso: ammesso un numero intero da 25 a 102 mm.");
    EXPECT_EQ(TNumberRule::Decimal(0, 99999.99, 2, "€").Refusal("Prezzo", "-5"),
              "Prezzo: \"-5\" non è ammesso: ammesso un numero da 0 a 99.999,99 € con al più 2 decimali.");
    EXPECT_EQ(TNumberRule::Decimal(-50, 50, 1).OrEmpty().OrText("*").Refusal("Guadagno", "x"),
              "Guadagno: \"x\" non è ammesso: ammesso un numero da -50 a 50 con al più 1 decimale, oppure "
              "\"*\", oppure nulla (nessun valore).");
    EXPECT_EQ(TNumberRule::Whole(25, 102).Refusal("Diametro", "30"), "");
}

// ---------------------------------------------------------------- edits, grids and forms

class TNumeri : public TForm {
public:
    explicit TNumeri(TComponent* owner) : TForm(owner) {
        Caption = "Numeri";
        Diametro = MakeControl<TEdit>(this, this, 10, 10, 80, 21);
        Diametro->Holds(TNumberRule::Whole(25, 102, "mm"), "Diametro");
        Diametro->Text = "28";
        Nota = MakeControl<TEdit>(this, this, 10, 40, 80, 21);
        Nota->Holds(TNumberRule::Text(), "Nota");
        Tabella = MakeControl<TStringGrid>(this, this, 10, 70, 300, 100);
        Tabella->ColCount = 3;
        Tabella->RowCount = 3;
        Tabella->Options = Tabella->Options.Get() + TGridOptions{goEditing, goTabs, goAlwaysShowEditor};
        Tabella->Cells[1][0] = "Prezzo";
        Tabella->Cells[2][0] = "Descrizione";
        Tabella->Cells[0][1] = "Staffa";
        Tabella->Cells[1][1] = "12,50";
        Tabella->ColumnHolds(1, TNumberRule::Decimal(0, 1000, 2, "€"));
        Tabella->ColumnHolds(2, TNumberRule::Text());
        BOk = MakeControl<TButton>(this, this, 10, 180, 75, 25);
        BOk->Caption = "Ok";
        BOk->Default = true;
        BOk->ModalResult = mrOk;
        BOk->OnClick = [this](TObject*) { ++okClicks; };
        BAnnulla = MakeControl<TButton>(this, this, 100, 180, 75, 25);
        BAnnulla->Caption = "Annulla";
        BAnnulla->Cancel = true;
        BAnnulla->ModalResult = mrCancel;
    }
    TEdit* Diametro;
    TEdit* Nota;
    TStringGrid* Tabella;
    TButton* BOk;
    TButton* BAnnulla;
    int okClicks = 0;
};

class NumericPlaces : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Script().Reset();
        Application->Title = "Prova";
        form = new TNumeri(Application);
        form->Show();
    }
    void TearDown() override {
        delete form;
        Application->Script().Reset();
    }
    const std::vector<TMessageBoxCall>& Boxes() { return Application->Script().MessageBoxes; }
    void TypeInto(TWinControl* control, const AnsiString& text) {
        form->FocusControl(control);
        if (auto e = dynamic_cast<TCustomEdit*>(control)) e->SelectAll();
        form->SendKey(VK_DELETE);
        form->TypeText(text);
    }
    TNumeri* form = nullptr;
};

// How the place is left: each must refuse the same way.
enum class Leave { Tab, Click, Invio };

TEST_F(NumericPlaces, EditRefusesOnLeaveInvioAndOkKeepingValueAndKeyboard) {
    for (Leave how : {Leave::Tab, Leave::Click, Leave::Invio}) {
        for (const char* typed : {"abc", "-30", "500", "30,5", ""}) {
            Application->Script().MessageBoxes.clear();
            form->okClicks = 0;
            TypeInto(form->Diametro, typed);
            switch (how) {
            case Leave::Tab: form->SendKey(VK_TAB); break;
            case Leave::Click: form->Nota->ClickAt(3, 3); break;
            case Leave::Invio: form->SendKey(VK_RETURN); break;
            }
            ASSERT_EQ(Boxes().size(), 1u) << typed;
            EXPECT_EQ(Boxes()[0].Text, "Diametro: \"" + AnsiString(typed) +
                                           "\" non è ammesso: ammesso un numero intero da 25 a 102 mm.");
            EXPECT_EQ(Boxes()[0].Caption, "Prova");
            EXPECT_EQ(form->Diametro->Text.Get(), "28") << typed;
            EXPECT_EQ(form->FocusedControl(), form->Diametro) << typed;
            EXPECT_EQ(form->okClicks, 0);
            EXPECT_EQ(form->ModalResult.Get(), mrNone);
        }
    }
    // A valid figure is taken, and is what a later refusal goes back to.
    TypeInto(form->Diametro, "30");
    form->SendKey(VK_TAB);
    EXPECT_EQ(form->FocusedControl(), form->Nota);
    TypeInto(form->Diametro, "x");
    form->SendKey(VK_TAB);
    EXPECT_EQ(form->Diametro->Text.Get(), "30");
}

TEST_F(NumericPlaces, OkButtonClickedAfterABadTextIsNotObeyed) {
    TypeInto(form->Diametro, "500");
    // The press moves the keyboard to the button: the edit refuses, and the
    // click that follows the press does nothing.
    form->BOk->ClickAt(3, 3);
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(form->okClicks, 0);
    EXPECT_EQ(form->ModalResult.Get(), mrNone);
    EXPECT_EQ(form->FocusedControl(), form->Diametro);
    // Clicked again, with the value taken back, the button works.
    form->BOk->ClickAt(3, 3);
    EXPECT_EQ(form->okClicks, 1);
}

TEST_F(NumericPlaces, CancelLeavesWithoutAWord) {
    TypeInto(form->Diametro, "500");
    form->SendKey(VK_ESCAPE);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(form->ModalResult.Get(), mrCancel);
}

TEST_F(NumericPlaces, ModalOkStaysOpenUntilTheTextIsANumber) {
    form->Hide();
    int okTries = 0;
    Application->Script().AnswerShowModal<TNumeri>([&](TNumeri& f) {
        f.FocusControl(f.Diametro);
        f.Diametro->SelectAll();
        f.TypeText("abc");
        f.ModalResult = mrOk;  // the form's OK set by the program
        okTries += f.CheckModalEnd() ? 0 : 1;
        EXPECT_TRUE(f.Visible.Get());
        EXPECT_EQ(f.Diametro->Text.Get(), "28");
        f.Diametro->SelectAll();
        f.TypeText("40");
        f.SendKey(VK_RETURN);
    });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_EQ(okTries, 1);
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(form->Diametro->Text.Get(), "40");
}

TEST_F(NumericPlaces, GridCellRefusesOnCellChangeInvioLeaveAndOk) {
    TStringGrid* g = form->Tabella;
    const auto typeInCell = [&](const AnsiString& text) {
        form->FocusControl(g);
        g->Col = 1;
        g->Row = 1;
        form->TypeText(text);
    };
    for (int how = 0; how < 4; ++how) {
        Application->Script().MessageBoxes.clear();
        typeInCell("-5");
        EXPECT_EQ(g->Cell(1, 1), AnsiString("-5"));  // shown while typed
        switch (how) {
        case 0: form->SendKey(VK_DOWN); break;
        case 1: form->SendKey(VK_RETURN); break;
        case 2: form->Diametro->ClickAt(3, 3); break;
        case 3: form->BOk->ClickAt(3, 3); break;
        }
        ASSERT_EQ(Boxes().size(), 1u) << how;
        EXPECT_EQ(Boxes()[0].Text,
                  "Prezzo, Staffa: \"-5\" non è ammesso: ammesso un numero da 0 a 1.000 € con al più 2 decimali.");
        EXPECT_EQ(g->Cell(1, 1), AnsiString("12,50")) << how;
        EXPECT_EQ(g->Row.Get(), 1);
        EXPECT_TRUE(form->FocusedControl() == g || form->FocusedControl() == g->InplaceEditor()) << how;
        EXPECT_EQ(form->okClicks, 0);
        EXPECT_EQ(form->ModalResult.Get(), mrNone);
    }
    // Invio with a good figure takes it and stays in the grid (the form's OK
    // is not pressed); the text column takes anything.
    typeInCell("7,25");
    form->SendKey(VK_RETURN);
    EXPECT_EQ(g->Cell(1, 1), AnsiString("7,25"));
    EXPECT_EQ(form->okClicks, 0);
    form->SendKey(VK_TAB);
    form->TypeText("abc");
    form->SendKey(VK_RETURN);
    EXPECT_EQ(g->Cell(2, 1), AnsiString("abc"));
    EXPECT_EQ(Boxes().size(), 1u);  // none since the last refusal
}

TEST_F(NumericPlaces, FormListsItsNumericPlacesAndThoseDeclaringNothing) {
    const std::vector<TNumericPlace> places = form->NumericPlaces();
    ASSERT_EQ(places.size(), 2u);
    EXPECT_EQ(places[0].Edit, form->Diametro);
    EXPECT_EQ(places[0].Name, "Diametro");
    EXPECT_EQ(places[1].Grid, form->Tabella);
    EXPECT_EQ(places[1].Col, 1);
    EXPECT_EQ(places[1].Row, 1);
    EXPECT_EQ(places[1].Name, "Prezzo, Staffa");
    EXPECT_TRUE(form->UndeclaredPlaces().empty());

    // A new edit and a grid column that say nothing are found.
    TEdit* altro = MakeControl<TEdit>(form, form, 200, 10, 60, 21);
    altro->Name = "EditAltro";
    form->Tabella->ColCount = 4;
    const std::vector<TUndeclaredPlace> undeclared = form->UndeclaredPlaces();
    ASSERT_EQ(undeclared.size(), 2u);
    EXPECT_EQ(undeclared[0].Control, form->Tabella);
    EXPECT_EQ(undeclared[0].Col, 3);
    EXPECT_EQ(undeclared[1].Control, altro);

    // An edit of an up-down holds a whole number in the up-down's range.
    TUpDown* arrows = MakeControl<TUpDown>(form, form, 262, 10, 16, 21);
    arrows->Min = 1;
    arrows->Max = 9;
    arrows->Associate = altro;
    EXPECT_EQ(form->UndeclaredPlaces().size(), 1u);
    EXPECT_FALSE(altro->HeldRule().Accepts("10"));
    EXPECT_TRUE(altro->HeldRule().Accepts("9"));
}

}  // namespace

namespace {

// A block declared again holds what the new declaration says (a price's
// decimals follow the currency), while an overlapping block still counts
// where it is the later one.
TEST(NumericPlacesGrid, TheSameBlockDeclaredAgainIsReplaced) {
    TStringGrid grid(nullptr);
    grid.ColCount = 3;
    grid.RowCount = 4;
    grid.ColumnHolds(1, TNumberRule::Decimal(0, 99999.99, 2));
    grid.CellsHold(TGridRect{1, 3, 1, 3}, TNumberRule::Text());
    grid.ColumnHolds(1, TNumberRule::Whole(0, 9999999));
    EXPECT_FALSE(grid.CellRule(1, 1).Accepts("12,5"));
    EXPECT_TRUE(grid.CellRule(1, 1).Accepts("24.203"));
    EXPECT_EQ(grid.CellRule(1, 3).Kind(), TNumberRule::nrWhole);
    grid.CellsHold(TGridRect{1, 3, 1, 3}, TNumberRule::Text());
    EXPECT_EQ(grid.CellRule(1, 3).Kind(), TNumberRule::nrText);
    EXPECT_EQ(grid.CellRules().size(), 2u);
}

}  // namespace
