// The options form: norm values coloured against fresh options, the currency
// table's cells, the background switch, the colour and directory choosers,
// and "Ok", "Annulla" and "Default" as the program-wide options and the
// settings file see them.
#include "dialogs/options_form.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/application.h"
#include "support/globals_fixture.h"

namespace {

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void Type(TEdit* edit, const AnsiString& text) { edit->UserSet(edit->Text, text); }

class OptionsFormTest : public ::testing::Test {
protected:
    OptionsFormTest() {
        FormatSettings().DecimalSeparator = ',';
        FormatSettings().ThousandSeparator = '.';
        Application->Script().Reset();
        form = std::make_unique<TDatiOpzioni>(nullptr);
        form->FillFrom(globals.Options());
    }
    TEdit* Norm(int row, int band) { return form->NormEdits[row][band]; }

    ScopedGlobals globals;
    std::unique_ptr<TDatiOpzioni> form;
};

TEST_F(OptionsFormTest, NormValuesAreColouredAgainstFreshOptions) {
    constexpr TColor green = TColor(32768), red = TColor(255);
    EXPECT_EQ(form->BandHeaders[0][1]->Caption.Get(), "b. I");
    EXPECT_EQ(Norm(0, 1)->Text.Get(), "60");
    EXPECT_EQ(Norm(0, 1)->Font->Color, green);
    // Band system '3' has eleven bands: the columns past them are empty and off.
    EXPECT_EQ(form->BandHeaders[0][11]->Caption.Get(), "");
    EXPECT_FALSE(Norm(0, 11)->Enabled);
    EXPECT_TRUE(Norm(0, 10)->Enabled);

    Type(Norm(0, 3), "0");
    EXPECT_EQ(Norm(0, 3)->Font->Color, red);
    for (const char* kept : {"", "*"}) {
        Type(Norm(0, 3), kept);
        EXPECT_EQ(Norm(0, 3)->Font->Color, red) << kept;
    }
    Type(Norm(0, 3), "70");
    EXPECT_EQ(Norm(0, 3)->Font->Color, green);
    Type(Norm(1, 3), "90");  // above the greatest signal
    EXPECT_EQ(Norm(1, 3)->Font->Color, red);
    // Never coloured: row 9, band column 0, rows 5 and 6.
    const std::pair<int, int> uncoloured[] = {{9, 3}, {0, 0}, {5, 3}, {6, 3}};
    for (auto [row, band] : uncoloured) {
        Type(Norm(row, band), "0");
        Type(Norm(row, band), "5000");
        EXPECT_EQ(Norm(row, band)->Font->Color, green) << row << " " << band;
    }
}

TEST_F(OptionsFormTest, CurrencyTableRefusesItsHeadersAndDiagonal) {
    TStringGrid* grid = form->GridValute;
    EXPECT_EQ(grid->Cells[0][1], "Lire");
    EXPECT_EQ(grid->Cells[2][0], "Euro");
    EXPECT_EQ(grid->Cells[1][2], "1936,27");  // from Euro (row) to Lire (column)
    grid->Col = 2;
    grid->Row = 1;
    ASSERT_EQ(grid->Col.Get(), 2);
    for (auto [col, row] : {std::pair{3, 3}, std::pair{0, 2}}) {
        grid->Col = col;
        grid->Row = row;
        EXPECT_FALSE(grid->Col.Get() == col && grid->Row.Get() == row) << col << " " << row;
    }
    grid->Row = 4;  // off the diagonal
    EXPECT_EQ(grid->Row.Get(), 4);
}

TEST_F(OptionsFormTest, BackgroundSwitchColourAndDirectories) {
    EXPECT_FALSE(form->CheckSottofondo->Checked);
    for (TControl* c : form->SottofondoControls) EXPECT_FALSE(c->Enabled);
    form->CheckSottofondo->Click();
    for (TControl* c : form->SottofondoControls) EXPECT_TRUE(c->Enabled);
    form->CheckSottofondo->Click();
    for (TControl* c : form->SottofondoControls) EXPECT_FALSE(c->Enabled);

    globals.Settings().WriteString("ColoriDefault", "ColorA=FF0000\r\nColorB=00FF00\r\n");
    Application->Script().AnswerColorDialog(TColor(0x0000FF));
    form->BSeleziona->Click();
    EXPECT_EQ(form->PanelColore->Color, TColor(0x0000FF));
    EXPECT_EQ(form->ColorDialog->CustomColors->Count(), 2);
    EXPECT_EQ(globals.Settings().String("ColoriDefault"), "ColorA=FF0000\r\nColorB=00FF00\r\n");

    Application->Script().AnswerDirectory("/srv/progetti");
    form->BDirProgetti->Click();
    EXPECT_EQ(form->EditDirProgetti->Text.Get(), "/srv/progetti/");
    const TDialogCall& call = Application->Script().Dialogs.back();
    EXPECT_EQ(call.Kind, TDialogKind::Directory);
    EXPECT_EQ(call.Title, Application->Title + " - Selezione directory progetti");
    Application->Script().CancelDirectory();
    form->BDirLibrerie->Click();
    EXPECT_EQ(form->EditDirLibrerie->Text.Get(), globals.Options().librariesDir);
}

// The program-wide form, through the menu's entry point.
class ProgramOptionsTest : public ::testing::Test {
protected:
    ProgramOptionsTest() {
        FormatSettings().DecimalSeparator = ',';
        Application->Script().Reset();
    }
    void Edit(TDatiOpzioni& f) {
        Type(f.NormEdits[0][1], "62");
        Type(f.EditCostoM, "25");
        f.ComboValutaP->SelectByUser(f.ComboValutaP->Items->IndexOf("Lire"));
    }
    ScopedGlobals globals;
};

TEST_F(ProgramOptionsTest, OkStoresAndSavesAndAnnullaChangesNothing) {
    const TOpzioni before = globals.Options();
    const std::string bytes = FileBytes(globals.SettingsPath());
    Application->Script().AnswerShowModal<TDatiOpzioni>([&](TDatiOpzioni& f) {
        Edit(f);
        f.BAnnulla->Click();
    });
    EXPECT_FALSE(EditProgramOptions());
    EXPECT_TRUE(globals.Options() == before);
    EXPECT_EQ(FileBytes(globals.SettingsPath()), bytes);

    Application->Script().AnswerShowModal<TDatiOpzioni>([&](TDatiOpzioni& f) {
        Edit(f);
        f.BOk->Click();
    });
    EXPECT_TRUE(EditProgramOptions());
    EXPECT_EQ(globals.Options().limits[1][LimitSigMin], 62.0f);
    EXPECT_EQ(globals.Options().costM, 25.0f);
    EXPECT_EQ(globals.Options().priceCurrency, 0);
    EXPECT_EQ(globals.Settings().String("SigMin1"), "62");
    EXPECT_EQ(globals.Settings().String("CostoM"), "25");
    EXPECT_EQ(globals.Settings().String("ValutaP"), "0");
    // Untouched values come back exactly, not as they were shown.
    EXPECT_EQ(globals.Options().currencyFactors[0][1], before.currencyFactors[0][1]);
    EXPECT_EQ(globals.Options().limits[14][LimitSigMin], before.limits[14][LimitSigMin]);
}

TEST_F(ProgramOptionsTest, DefaultThenAnnullaWritesNothing) {
    globals.Settings().WriteString("DirProgetti", "");
    globals.Settings().WriteString("DirLibrerie", "");
    const std::string bytes = FileBytes(globals.SettingsPath());
    AnsiString shown;
    Application->Script().AnswerShowModal<TDatiOpzioni>([&](TDatiOpzioni& f) {
        f.BDefault->Click();
        shown = f.EditDirProgetti->Text;
        f.BAnnulla->Click();
    });
    EXPECT_FALSE(EditProgramOptions());
    EXPECT_FALSE(shown.empty());
    EXPECT_EQ(FileBytes(globals.SettingsPath()), bytes);
}

// Typed as a person does, the keyboard in the field: a text that is not a
// norm level, and a negative labour cost, are refused by "Ok" with the field,
// the text and what is allowed; the value before comes back, the form stays
// open, and then a valid figure is taken.
TEST_F(ProgramOptionsTest, ATextThatIsNoNumberKeepsTheFormOpen) {
    const TOpzioni before = globals.Options();
    const std::string bytes = FileBytes(globals.SettingsPath());
    std::vector<bool> stayed;
    std::vector<AnsiString> kept;
    Application->Script().AnswerShowModal<TDatiOpzioni>([&](TDatiOpzioni& f) {
        auto typeIn = [&](TEdit* edit, const char* text) {
            f.Pagine->ActivePage = dynamic_cast<TTabSheet*>(edit->Parent.Get());
            f.FocusControl(edit);
            edit->SelectAll();
            f.SendKey(VK_DELETE);
            f.TypeText(text);
        };
        for (auto [edit, text] : {std::pair{f.NormEdits[0][1], "abc"}, std::pair{f.EditCostoM, "-5"}}) {
            const AnsiString shown = edit->Text;
            typeIn(edit, text);
            f.BOk->Click();
            stayed.push_back(f.ModalResult == mrNone && edit->Focused());
            kept.push_back(edit->Text.Get() == shown ? "" : edit->Text.Get());
        }
        f.BAnnulla->Click();
    });
    EXPECT_FALSE(EditProgramOptions());
    EXPECT_EQ(stayed, (std::vector<bool>{true, true}));
    EXPECT_EQ(kept, (std::vector<AnsiString>{"", ""}));
    const auto& boxes = Application->Script().MessageBoxes;
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].Text,
              "Segnale minimo analogico alle prese [dB], b. I: \"abc\" non è ammesso: ammesso un numero da -200 a "
              "200 dB con al più 2 decimali, oppure \"*\", oppure nulla (nessun valore).");
    EXPECT_EQ(boxes[1].Text,
              "Costo orario della manodopera: \"-5\" non è ammesso: ammesso un numero da 0 a 9.999.999 con al più 2 "
              "decimali.");
    EXPECT_TRUE(globals.Options() == before);
    EXPECT_EQ(FileBytes(globals.SettingsPath()), bytes);
}

}  // namespace
