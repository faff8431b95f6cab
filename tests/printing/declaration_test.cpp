// The declaration of conformity on the headless printer: its fixed text
// word for word, and the parts that the installer's data, the project and
// the norms and attachments chosen put in or leave out.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "support/print_fixture.h"

namespace {

// The page's text as it reads: pieces of one line joined as drawn (a blank
// where one stands apart from the one before), lines joined by a blank,
// runs of blanks as one.
AnsiString Flow(const TRecordingEngine& page) {
    AnsiString all;
    int y = -1, end = 0;
    for (const TPaintCall& t : TextCalls(page)) {
        if ((t.Points[0].y != y || std::abs(t.Points[0].x - end) > 1) && !all.empty()) all += ' ';
        y = t.Points[0].y;
        end = t.Points[0].x + TTextMetrics::Extent(t.State.Font, t.Text).cx;
        all += t.Text;
    }
    AnsiString collapsed;
    for (char c : all)
        if (c != ' ' || collapsed.empty() || collapsed.back() != ' ') collapsed += c;
    return collapsed;
}

class DeclarationTest : public PrintTest {
protected:
    DeclarationTest() {
        stampa.Letterhead = [this] { return installer; };
        installer.Firm = "Impianti Bianchi";
        installer.Street = "Via Po 3";
        installer.Postcode = "14100";
        installer.Locality = "Borgo";
        installer.Municipality = "Asti";
        installer.Province = "AT";
        installer.Telephone = "0141 1";
        installer.VatNumber = "0123";
        installer.ChamberProvince = "Asti";
        installer.ChamberNumber = "77";
        installer.CraftProvince = "Asti";
        installer.CraftNumber = "88";
        project.HeaderTexts[20] = "Mario Bianchi";
        project.HeaderTexts[22] = "Impianto TV centralizzato";
        project.HeaderTexts[23] = "nuovo";
        project.HeaderTexts[13] = "Torino";
        project.HeaderTexts[12] = "10100";
        project.HeaderTexts[14] = "TO";
        project.HeaderTexts[7] = "Via Verdi 2";
        project.HeaderTexts[15] = "Condominio Aurora";
        project.HeaderTexts[16] = "Via Verdi 2";
        project.HeaderTexts[17] = "Torino";
        project.HeaderTexts[24] = "civile abitazione";
        choices.Attachments[daProject] = true;
        choices.Attachments[daScheme] = true;
    }
    AnsiString Declaration() {
        const TPrintedDocument& doc = Job([&] { EXPECT_EQ(stampa.PrintDeclaration(choices, 0), 0); });
        EXPECT_EQ(doc.Pages.size(), 1u);
        return Flow(*doc.Pages[0]);
    }
    TLetterhead installer;
    TDeclarationChoices choices;
};

TEST_F(DeclarationTest, TheWholeTextWordForWord) {
    choices.Norms[dn12_43] = choices.Norms[dn81_1] = true;
    const AnsiString text = Declaration();
    const AnsiString expected =
        "DICHIARAZIONE DI CONFORMITA' DELL'IMPIANTO ALLA REGOLA D'ARTE "
        "Art.7 - DM 22/01/2008, n. 37 (GU n. 61 del 12/03/2008) "
        "Il sottoscritto Mario Bianchi, titolare e responsabile tecnico dell'impresa Impianti Bianchi "
        "operante nel "
        "settore impianti d'antenna con sede in Via Po 3 c.a.p. 14100 loc. Borgo comune Asti prov. AT tel. "
        "0141 1 "
        "partita IVA 0123, iscritta nel Registro delle Ditte (D.P.R. 07.12.1995 n. 581) della C.C.I.A.A. di "
        "Asti n. "
        "77, iscritta all'Albo Provinciale delle Imprese Artigiane (legge 8.8.1985, n. 443) di Asti n. 88, "
        "esecutrice dell'impianto TV centralizzato, inteso come nuovo, commissionato da Rossi Mario, "
        "installato nei "
        "locali siti nel comune di Torino c.a.p. 10100 prov. TO Via Verdi 2, di proprietà di Condominio "
        "Aurora, Via "
        "Verdi 2, Torino, in edificio adibito ad uso civile abitazione, "
        "DICHIARA "
        "sotto la propria responsabilità, che l'impianto è stato realizzato in modo conforme alla regola "
        "d'arte, "
        "secondo quanto previsto dall'art. 6, tenuto conto delle condizioni di esercizio e degli usi a cui è "
        "destinato l'edificio, avendo in particolare "
        "- rispettato il progetto redatto ai sensi dell'art.5; "
        "- seguito la normativa tecnica applicabile all'impiego CEI 12.43 - 81.1; "
        "- installato componenti e materiali costruiti a regola d'arte ed adatti al luogo di installazione "
        "(artt. 5 "
        "e 6); "
        "- controllato l'impianto ai fini della sicurezza e della funzionalità con esito positivo, avendo "
        "eseguito "
        "le verifiche richieste dalle norme e dalle disposizioni di legge. "
        "Allegati: "
        "- progetto ai sensi degli articoli 5 e 7; "
        "- schema di impianto realizzato; "
        "- copia del certificato di riconoscimento dei requisiti tecnico-professionali. "
        "DECLINA "
        "ogni responsabilità per sinistri a persone o a cose derivanti da manomissione dell'impianto da "
        "parte di "
        "terzi ovvero da carenze di manutenzione o riparazione. "
        "Il dichiarante Il responsabile tecnico Data "
        "AVVERTENZE PER IL COMMITTENTE: responsabilità del committente o del proprietario, art. 8 "
        "Il committente: firma per ricevuta Data";
    EXPECT_EQ(text, expected);
}

TEST_F(DeclarationTest, TheWorkDescriptionContinuesTheSentence) {
    struct Case {
        const char* description;
        const char* reads;
    };
    // clang-format off
    const Case cases[] = {
        {"Impianto TV centralizzato", "esecutrice dell'impianto TV centralizzato, inteso come"},
        {"impianto TV centralizzato", "esecutrice dell'impianto TV centralizzato, inteso come"},
        {"Antenna condominiale", "esecutrice dell'impianto: Antenna condominiale, inteso come"},
        {"", "esecutrice dell'impianto: , inteso come"},
        {"Impianto", "esecutrice dell'impianto , inteso come"},
        {"ImpiantoX", "esecutrice dell'impianto , inteso come"},
        {"Impianto è nuovo", "esecutrice dell'impianto è nuovo, inteso come"},
    };
    // clang-format on
    for (const Case& c : cases) {
        project.HeaderTexts[22] = c.description;
        const AnsiString text = Declaration();
        EXPECT_NE(text.find(c.reads), AnsiString::npos) << c.description << "\n" << text;
    }
}

TEST_F(DeclarationTest, NormsAttachmentsAndLocality) {
    struct Case {
        const char* what;
        std::function<void(TDeclarationChoices&, TLetterhead&)> set;
        const char* present;
        const char* absent;
    };
    // clang-format off
    const Case cases[] = {
        {"no norm", [](TDeclarationChoices&, TLetterhead&) {}, "applicabile all'impiego; - installato", "CEI"},
        {"other norms alone", [](TDeclarationChoices& c, TLetterhead&) { c.OtherNorms = "EN 50083"; },
         "applicabile all'impiego, EN 50083; -", "CEI"},
        {"every norm",
         [](TDeclarationChoices& c, TLetterhead&) {
             for (bool& n : c.Norms) n = true;
         },
         "all'impiego CEI 12.43 - 100.6 - 100.7 - 81.1 - 81.3 - 81.4 - 81.10-2;", nullptr},
        {"no locality", [](TDeclarationChoices&, TLetterhead& i) { i.Locality = ""; }, "c.a.p. 14100 comune Asti",
         " loc. "},
        {"no project",
         [](TDeclarationChoices& c, TLetterhead&) { c.Attachments[daProject] = false; },
         "avendo in particolare - seguito la normativa", "progetto"},
        {"no attachment",
         [](TDeclarationChoices& c, TLetterhead&) {
             for (bool& a : c.Attachments) a = false;
         },
         "Allegati: - copia del certificato di riconoscimento dei requisiti tecnico-professionali. DECLINA", nullptr},
        {"every attachment and both edits",
         [](TDeclarationChoices& c, TLetterhead&) {
             for (bool& a : c.Attachments) a = true;
             c.OtherAttachments[0] = "foto";
             c.OtherAttachments[1] = "misure";
         },
         "Allegati: - progetto ai sensi degli articoli 5 e 7; - schema di impianto realizzato; - relazione con "
         "tipologie dei materiali utilizzati - calcolo del dimensionamento del sostegno del sistema di antenne; - "
         "calcolo protezione contro le scariche atmosferiche; - riferimento a dichiarazioni di conformità "
         "precedenti o parziali già esistenti; - foto; - misure; - copia del certificato",
         nullptr},
    };
    // clang-format on
    for (const Case& c : cases) {
        TDeclarationChoices saved = choices;
        TLetterhead savedInstaller = installer;
        c.set(choices, installer);
        const AnsiString text = Declaration();
        EXPECT_NE(text.find(c.present), AnsiString::npos) << c.what << "\n" << text;
        if (c.absent) {
            const AnsiString afterHeading = text.substr(text.find("Il sottoscritto"));
            EXPECT_EQ(afterHeading.find(c.absent), AnsiString::npos) << c.what << "\n" << text;
        }
        choices = saved;
        installer = savedInstaller;
    }
}

TEST_F(DeclarationTest, HeadingsAndSignatureAtTheirPoints) {
    const TPrintedDocument& doc = Job([&] { stampa.PrintDeclaration(choices, 0); });
    const TRecordingEngine& page = *doc.Pages[0];
    auto P = [](int points) { return points * 600 / 72; };
    const TPaintCall* heading =
        FindText(page, "DICHIARAZIONE DI CONFORMITA' DELL'IMPIANTO ALLA REGOLA D'ARTE");
    ASSERT_NE(heading, nullptr);
    const int width = TTextMetrics::Extent(heading->State.Font, heading->Text).cx;
    EXPECT_EQ(heading->Points[0], TPoint(P(60) + (P(470) - width) / 2, P(42)));
    EXPECT_EQ(heading->State.Font.Name, "Times New Roman");
    // Underlined end to end.
    bool underline = false;
    for (const TPaintCall& l : page.CallsOf(TPaintOp::Line))
        underline |= l.Points[0] == TPoint(heading->Points[0].x, P(42) + P(12)) &&
                     l.Points[1] == TPoint(heading->Points[0].x + width, P(42) + P(12));
    EXPECT_TRUE(underline);
    const TPoint data = TextAt(page, "Data");
    const TPaintCall* declarant = FindText(page, "Il dichiarante");
    EXPECT_EQ(data.x, P(80));
    EXPECT_EQ(declarant->Points[0].y, data.y);
    EXPECT_EQ(declarant->Points[0].x + TTextMetrics::Extent(declarant->State.Font, declarant->Text).cx,
              P(510));
    EXPECT_NE(FindText(page, "Il committente: firma per ricevuta" + AnsiString(49, ' ') + "Data"), nullptr);
    EXPECT_EQ(FindText(page, "Pagina 1"), nullptr);
}

}  // namespace
