// The declaration of conformity: one page of fixed text into which the
// installer's data, the project's customer, building and work data, and the
// norms and attachments chosen are set. Positions are in points.
#include "core/globals.h"
#include "core/options.h"
#include "document/project.h"
#include "platform/printers.h"
#include "platform/utf8.h"
#include "printing/documents.h"
#include "printing/paragraph.h"

namespace {

// Header texts of the project the declaration prints.
enum : int {
    hCustomerName = 0,
    hAddress = 7,
    hNumber = 8,
    hStaircase = 9,
    hFloor = 10,
    hFlat = 11,
    hPostcode = 12,
    hMunicipality = 13,
    hProvince = 14,
    hOwnerName = 15,
    hOwnerAddress = 16,
    hOwnerTown = 17,
    hDeclarant = 20,
    hDescription = 22,
    hMeantAs = 23,
    hUse = 24,
};

constexpr int32_t Left = 60;
constexpr int32_t Right = 530;
constexpr int32_t Width = Right - Left;
constexpr int32_t Top = 42;
constexpr int32_t Bottom = 720;
constexpr int32_t Step = 14;

const char* const NormNames[DeclarationNormCount] = {"12.43", "100.6", "100.7",  "81.1",
                                                     "81.3",  "81.4",  "81.10-2"};

}  // namespace

int32_t TStampa::PrintDeclaration(const TDeclarationChoices& choices, int32_t page) {
    PortraitPages(page);
    GetPageLayout(DocDeclaration, page);
    TPrintPage& pp = PrintPage;
    if (pp.NewJob)
        pp.NewJob = 0;
    else if (page == 0)
        Printer()->NewPage();
    TCanvas* canvas = Canvas();
    auto P = [&](int32_t points) { return pp.Points(points); };
    canvas->Brush->Style = bsClear;
    canvas->Pen->Color = clBlack;
    canvas->Pen->Width = 1;
    canvas->Font->Name = Opzioni ? Opzioni->declarationFont : AnsiString(DefaultDocumentFont);
    SetFont(11);

    const TLetterhead i = Letterhead ? Letterhead() : TLetterhead{};
    const AnsiString* t = Project ? Project->HeaderTexts : nullptr;
    auto field = [&](int index) { return t ? t[index] : AnsiString(); };

    const int32_t step = P(Step);
    int32_t y = P(Top);
    // A centred heading underlined from its left to its right end.
    auto heading = [&](const AnsiString& text) {
        const int32_t width = canvas->TextWidth(text);
        const int32_t x = P(Left) + (P(Width) - width) / 2;
        canvas->TextOut(x, y, text);
        canvas->MoveTo(x, y + P(12));
        canvas->LineTo(x + width, y + P(12));
    };
    int32_t left = P(Left);
    auto paragraph = [&](const AnsiString& text) {
        int32_t x = left;
        PrintParagraph(canvas, text, TRect(left, y, P(Right), P(Bottom)), x, y, step);
    };
    auto item = [&](const AnsiString& text) {
        const AnsiString dash = "- ";
        canvas->TextOut(P(Left), y, dash);
        left = P(Left) + canvas->TextWidth(dash);
        paragraph(text);
        left = P(Left);
    };

    heading("DICHIARAZIONE DI CONFORMITA' DELL'IMPIANTO ALLA REGOLA D'ARTE");
    SetFont(7);
    const AnsiString law = "Art.7 - DM 22/01/2008, n. 37 (GU n. 61 del 12/03/2008)";
    canvas->TextOut(P(Left) + (P(Width) - canvas->TextWidth(law)) / 2, y + P(14), law);
    SetFont(11);
    y = P(Top + 48);

    AnsiString text =
        "Il sottoscritto " + field(hDeclarant) + ", titolare e responsabile tecnico dell'impresa " + i.Firm +
        " operante nel settore impianti d'antenna con sede in " + i.Street + " c.a.p. " + i.Postcode;
    if (!i.Locality.empty()) text += " loc. " + i.Locality;
    text += " comune " + i.Municipality + " prov. " + i.Province + " tel. " + i.Telephone + " partita IVA " +
            i.VatNumber + ", ";
    text += "iscritta nel Registro delle Ditte (D.P.R. 07.12.1995 n. 581) della C.C.I.A.A. di " +
            i.ChamberProvince + " n. " + i.ChamberNumber + ", ";
    text += "iscritta all'Albo Provinciale delle Imprese Artigiane (legge 8.8.1985, n. 443) di " +
            i.CraftProvince + " n. " + i.CraftNumber + ", ";
    // A description that opens with the word "impianto" continues the sentence.
    const AnsiString description = field(hDescription);
    const AnsiString word = utf8::Mid(description, 0, 8);
    text += "esecutrice dell'impianto";
    if (word == "impianto" || word == "Impianto")
        text += " " + utf8::Mid(description, 9, utf8::Length(description));
    else
        text += ": " + description;
    text += ", inteso come " + field(hMeantAs) + ", commissionato da " + field(hCustomerName) +
            ", installato nei locali siti nel comune di " + field(hMunicipality) + " c.a.p. " +
            field(hPostcode) + " prov. " + field(hProvince) + " " + field(hAddress);
    const std::pair<int, const char*> parts[] = {
        {hNumber, " n. "}, {hStaircase, ", scala "}, {hFloor, ", piano "}, {hFlat, ", interno "}};
    for (const auto& [index, prefix] : parts)
        if (!field(index).empty()) text += prefix + field(index);
    text += ", di proprietà di " + field(hOwnerName) + ", " + field(hOwnerAddress) + ", " +
            field(hOwnerTown) + ", in edificio adibito ad uso " + field(hUse) + ",";
    paragraph(text);

    y += step;
    heading("DICHIARA");
    y += step;
    paragraph(
        "sotto la propria responsabilità, che l'impianto è stato realizzato in modo conforme "
        "alla regola d'arte, secondo quanto previsto dall'art. 6, "
        "tenuto conto delle condizioni di esercizio e degli usi a cui è destinato l'edificio, "
        "avendo in particolare");
    y += step;

    const bool* a = choices.Attachments;
    if (a[daProject]) item("rispettato il progetto redatto ai sensi dell'art.5;");
    AnsiString norms;
    for (int n = 0; n < DeclarationNormCount; ++n)
        if (choices.Norms[n]) norms += AnsiString(" - ") + NormNames[n];
    if (!norms.empty()) norms = " CEI " + norms.substr(2);
    if (!choices.OtherNorms.empty()) norms += ", " + choices.OtherNorms;
    item("seguito la normativa tecnica applicabile all'impiego" + norms + ";");
    item(
        "installato componenti e materiali costruiti a regola d'arte ed adatti al luogo di installazione "
        "(artt. 5 e 6);");
    item(
        "controllato l'impianto ai fini della sicurezza e della funzionalità con esito positivo, "
        "avendo eseguito le verifiche richieste dalle norme e dalle disposizioni di legge.");

    y += step;
    canvas->TextOut(P(Left), y, "Allegati:");
    y += step;
    const std::pair<TDeclarationAttachment, const char*> attachments[] = {
        {daProject, "progetto ai sensi degli articoli 5 e 7;"},
        {daScheme, "schema di impianto realizzato;"},
        {daMaterials, "relazione con tipologie dei materiali utilizzati"},
        {daMast, "calcolo del dimensionamento del sostegno del sistema di antenne;"},
        {daLightning, "calcolo protezione contro le scariche atmosferiche;"},
        {daReferences, "riferimento a dichiarazioni di conformità precedenti o parziali già esistenti;"},
    };
    for (const auto& [box, line] : attachments)
        if (a[box]) item(line);
    for (const AnsiString& other : choices.OtherAttachments)
        if (!other.empty()) item(other + ";");
    item("copia del certificato di riconoscimento dei requisiti tecnico-professionali.");

    y += step;
    heading("DECLINA");
    y += step;
    paragraph(
        "ogni responsabilità per sinistri a persone o a cose derivanti da manomissione dell'impianto "
        "da parte di terzi ovvero da carenze di manutenzione o riparazione.");
    y += step;
    const AnsiString declarant = "Il dichiarante", technician = "Il responsabile tecnico";
    canvas->TextOut(P(Right - 20) - canvas->TextWidth(declarant), y, declarant);
    canvas->TextOut(P(Left) + (P(Width) - canvas->TextWidth(technician)) / 2, y, technician);
    canvas->TextOut(P(Left + 20), y, "Data");
    y += 4 * step;
    canvas->TextOut(
        P(Left), y,
        "AVVERTENZE PER IL COMMITTENTE: responsabilità del committente o del proprietario, art. 8");
    y += 2 * step;
    canvas->TextOut(P(Left + 20), y, "Il committente: firma per ricevuta" + AnsiString(49, ' ') + "Data");
    return 0;
}
