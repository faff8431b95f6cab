// The installer-data form: its header line, "Ok" and "Annulla".
#include <gtest/gtest.h>

#include "core/globals.h"
#include "core/ini.h"
#include "dialogs/installer_data.h"
#include "platform/application.h"
#include "support/globals_fixture.h"

namespace {

class InstallerDataTest : public GlobalsTest {
protected:
    TDatiIntestazione form{nullptr};
};

TEST_F(InstallerDataTest, TheHeaderLineJoinsTheGivenFields) {
    const struct {
        const char *firm, *street, *town, *country, *phone, *fax, *note, *line;
    } cases[] = {
        {"F", "A", "T", "", "1", "2", "", "F - A - T - Tel. 1 Fax 2"},
        {"F", "A", "T", "", "", "2", "", "F - A - T - Fax 2"},
        {"", "", "", "", "", "", "", " -  - "},
        {"F", "A", "T", "I", "", "", "", "F - A - T, I"},
        {"F", "A", "T", "", "", "", "N", "F - A - T - N"},
        {"F", "A", "T", "I", "1", "", "N", "F - A - T, I - Tel. 1 - N"},
    };
    for (const auto& c : cases) {
        form.EDitta->Text = c.firm;
        form.EVia->Text = c.street;
        form.ECitta->Text = c.town;
        form.EStato->Text = c.country;
        form.ETelefono->Text = c.phone;
        form.EFax->Text = c.fax;
        form.ENote->Text = c.note;
        EXPECT_EQ(form.BuildHeaderLine(), c.line);
        EXPECT_EQ(form.BuildHeaderText(), c.line);
    }
}

TEST_F(InstallerDataTest, OkWritesTheSevenVisibleValuesOnly) {
    EXPECT_EQ(form.Caption.Get(), "Ordivex Varne - Dati di personalizzazione programma");
    EXPECT_EQ(form.GroupDati->Caption.Get(), "Dati personalizzazione ");
    Ini->WriteString("ICap1", "10100");
    Ini->WriteString("INCCIAA1", "TO-1");
    form.LoadStoredValues();
    for (int round = 0; round < 3; ++round) {
        form.EDitta->Text = "Ditta " + IntToStr(round);
        form.ECap->Text = "99999";   // kept for printing, never written
        form.BOkClick(nullptr);
        EXPECT_EQ(form.ModalResult.Get(), mrOk);
    }
    EXPECT_EQ(Ini->String("IDitta1"), "Ditta 2");
    EXPECT_EQ(Ini->String("ICap1"), "10100");
    EXPECT_EQ(Ini->String("INCCIAA1"), "TO-1");
    for (const auto& f : TDatiIntestazione::Fields) EXPECT_EQ(form.EditOf(f.Name), form.*f.Edit) << f.Name;
}

TEST_F(InstallerDataTest, CancelPutsBackWhatIsStoredInEveryEdit) {
    int reloads = 0;
    form.OnReload = [&] { ++reloads; };
    // Nothing stored: what was typed goes, so that printing never reads it.
    form.EDitta->Text = "Digitata";
    form.EComune->Text = "Digitato";
    form.BAnnullaClick(nullptr);
    EXPECT_EQ(form.ModalResult.Get(), mrCancel);
    EXPECT_EQ(form.EDitta->Text.Get(), "");
    EXPECT_EQ(form.EComune->Text.Get(), "");
    // A firm stored: every edit, hidden ones included, comes back.
    Ini->WriteString("IDitta1", "Rossi");
    Ini->WriteString("IComune1", "Torino");
    form.EDitta->Text = "Bianchi";
    form.EComune->Text = "Milano";
    form.BAnnullaClick(nullptr);
    EXPECT_EQ(form.EDitta->Text.Get(), "Rossi");
    EXPECT_EQ(form.EComune->Text.Get(), "Torino");
    EXPECT_EQ(reloads, 2);
}

}  // namespace
