// The installer-data form: its header line, its two groups, "Ok" and "Annulla".
#include "dialogs/installer_data.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/globals.h"
#include "core/ini.h"
#include "platform/application.h"
#include "support/globals_fixture.h"

namespace {

class InstallerDataTest : public GlobalsTest {
protected:
    TDatiIntestazione form{nullptr};
};

// Firm, address and town stand with their two separators even when empty;
// country, telephone, fax and note come only when given.
TEST_F(InstallerDataTest, TheHeaderLineKeepsFirmAddressAndTownSeparators) {
    const struct {
        const char *firm, *street, *town, *country, *phone, *fax, *note, *line;
    } cases[] = {
        {"F", "A", "T", "", "1", "2", "", "F - A - T - Tel. 1 Fax 2"},
        {"F", "A", "T", "", "", "2", "", "F - A - T - Fax 2"},
        {"", "", "", "", "", "", "", " -  - "},
        {"Antenne Bianchi", "", "", "", "", "", "", "Antenne Bianchi -  - "},
        {"F", "", "T", "", "", "", "", "F -  - T"},
        {"F", "A", "", "I", "", "", "", "F - A - , I"},
        {"F", "", "", "", "1", "2", "", "F -  -  - Tel. 1 Fax 2"},
        {"F", "", "", "", "", "2", "N", "F -  -  - Fax 2 - N"},
        {"", "A", "T", "", "", "", "", " - A - T"},
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

TEST_F(InstallerDataTest, OkWritesTheSixteenValues) {
    EXPECT_EQ(form.Caption.Get(), "Ordivex Varne - Dati di personalizzazione programma");
    EXPECT_EQ(form.GroupDati->Caption.Get(), "Dati personalizzazione ");
    Ini->WriteString("ICap1", "10100");
    Ini->WriteString("INCCIAA1", "TO-1");
    form.LoadStoredValues();
    EXPECT_EQ(form.ECap->Text.Get(), "10100");
    for (int round = 0; round < 2; ++round) {
        for (const auto& f : TDatiIntestazione::Fields)
            (form.*f.Edit)->Text = AnsiString(f.Name) + "-" + IntToStr(round);
        form.BOkClick(nullptr);
        EXPECT_EQ(form.ModalResult.Get(), mrOk);
    }
    for (const auto& f : TDatiIntestazione::Fields) {
        EXPECT_EQ(Ini->String(f.Name), AnsiString(f.Name) + "-1") << f.Name;
        EXPECT_EQ(form.EditOf(f.Name), form.*f.Edit) << f.Name;
    }
    // Emptied edits store empty values.
    form.ENAPIA->Text = "";
    form.BOkClick(nullptr);
    EXPECT_EQ(Ini->String("INAPIA1"), "");
}

// Every control inside its parent's client area, none over a sibling.
void ExpectLaidOut(TWinControl* parent) {
    const int count = parent->ControlCount();
    for (int i = 0; i < count; ++i) {
        TControl* c = parent->Controls(i);
        if (!c->Visible) continue;
        const TRect r = c->BoundsRect();
        EXPECT_TRUE(r.Left >= 0 && r.Top >= 0 && r.Right <= parent->ClientWidth &&
                    r.Bottom <= parent->ClientHeight)
            << i << " at " << c->Left.Get() << "," << c->Top.Get();
        for (int j = i + 1; j < count; ++j) {
            TControl* d = parent->Controls(j);
            if (!d->Visible) continue;
            const TRect q = d->BoundsRect();
            EXPECT_FALSE(r.Left < q.Right && q.Left < r.Right && r.Top < q.Bottom && q.Top < r.Bottom)
                << i << " over " << j << " at " << q.Left << "," << q.Top;
        }
        if (auto* w = dynamic_cast<TWinControl*>(c)) ExpectLaidOut(w);
    }
}

TEST_F(InstallerDataTest, ShowingShowsTheConformityGroupUnderTheFirmsData) {
    form.FormShow(&form);
    ASSERT_TRUE(form.GroupConformita->Visible);
    EXPECT_EQ(form.GroupConformita->Caption.Get(), "Dati integrativi per la dichiarazione di conformità ");
    const char* labels[] = {"Iscrizione Registro delle Ditte C.C.I.A.A. n.",
                            "Provincia di",
                            "Iscrizione Albo Provinciale delle Imprese Artigiane n.",
                            "Provincia di",
                            "Partita IVA:",
                            "C.A.P.:",
                            "Località:",
                            "Comune:",
                            "Provincia:"};
    std::vector<AnsiString> shown;
    for (int i = 0; i < form.GroupConformita->ControlCount(); ++i)
        if (auto* l = dynamic_cast<TLabel*>(form.GroupConformita->Controls(i))) shown.push_back(l->Caption);
    EXPECT_EQ(shown, std::vector<AnsiString>(std::begin(labels), std::end(labels)));
    EXPECT_GE(form.GroupConformita->Top.Get(), form.GroupDati->Top + form.GroupDati->Height);
    EXPECT_GE(form.BOk->Top.Get(), form.GroupConformita->Top + form.GroupConformita->Height);
    EXPECT_EQ(form.BAnnulla->Top.Get(), form.BOk->Top.Get());
    ExpectLaidOut(&form);
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
