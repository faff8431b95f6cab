// Cover pages: the installer's letterhead, a title by kind, the work, the
// building's location, the customer and, for documentation covers, notes
// and designer. Positions are in points of the page.
#include "core/globals.h"
#include "core/options.h"
#include "document/project.h"
#include "platform/printers.h"
#include "printing/documents.h"
#include "printing/paragraph.h"

namespace {

// Header texts of the project the cover prints.
enum : int {
    hCustomerName = 0,
    hCustomerStreet = 1,
    hCustomerTown = 2,
    hAddress = 7,
    hNumber = 8,
    hStaircase = 9,
    hFloor = 10,
    hFlat = 11,
    hPostcode = 12,
    hMunicipality = 13,
    hProvince = 14,
    hDesigner = HeaderDesigner,
    hDescription = 22,
    hNotes = HeaderNotes,
};

// The width the letterhead and the titles are centred in, from x = 60 pt.
constexpr int32_t LetterheadLeft = 60;
constexpr int32_t LetterheadWidth = 460;

// The work description and the notes: the room down to the next section,
// and the smallest size they are set at to keep within it.
constexpr int32_t CoverParagraphRoom = 80;
constexpr int32_t CoverSmallestParagraphPoints = 6;

}  // namespace

int32_t TStampa::PrintCoverPage(int32_t kind, int32_t page) {
    PortraitPages(page);
    GetPageLayout(DocCover, page);
    TPrintPage& pp = PrintPage;
    if (pp.NewJob)
        pp.NewJob = 0;
    else if (page == 0)
        Printer()->NewPage();
    TCanvas* canvas = Canvas();
    auto P = [&](int32_t points) { return pp.Points(points); };
    auto text = [&](int32_t x, int32_t y, const AnsiString& t) { canvas->TextOut(P(x), P(y), t); };
    auto centredLeft = [&](const AnsiString& t) {
        return P(LetterheadLeft) + (P(LetterheadWidth) - canvas->TextWidth(t)) / 2;
    };

    const TLetterhead head = Letterhead ? Letterhead() : TLetterhead{};
    const AnsiString contact = JoinedParts({head.Telephone.empty() ? AnsiString() : "Tel. " + head.Telephone,
                                            head.Fax.empty() ? AnsiString() : "Fax " + head.Fax});

    canvas->Brush->Style = bsClear;
    canvas->Font->Name = Opzioni ? Opzioni->coverFont : AnsiString(DefaultDocumentFont);
    SetFont(18);
    canvas->TextOut(centredLeft(head.Firm), P(44), head.Firm);

    canvas->Pen->Color = clBlack;
    canvas->Pen->Width = pp.Dpi / 72;
    canvas->MoveTo(P(60), P(66));
    canvas->LineTo(P(530), P(66));
    canvas->MoveTo(P(60), P(72));
    canvas->LineTo(P(530), P(72));
    canvas->Pen->Width = 2 * pp.Dpi / 72;
    const int32_t w = canvas->Pen->Width;
    canvas->MoveTo(P(60) + w / 2, P(69));
    canvas->LineTo(P(530) - w / 2, P(69));

    // Street and town always with their separator; the contacts only when given.
    AnsiString second = head.Street + " - " + head.Town;
    if (!contact.empty()) second += " - " + contact;
    SetFont(12);
    // Shrunk point by point until it fits, never below one point.
    while (canvas->TextWidth(second) > P(LetterheadWidth) && canvas->Font->Size > 1)
        canvas->Font->Size = canvas->Font->Size - 1;
    canvas->TextOut(centredLeft(second), P(76), second);

    static const char* const titles[4][2] = {{"PREVENTIVO DI SPESA", ""},
                                             {"DOCUMENTAZIONE DI ESECUZIONE PROGETTO", ""},
                                             {"DICHIARAZIONE  DI  CONFORMITA'  DELL'IMPIANTO  D'ANTENNA  TV",
                                              "ART. 7  DM  N.37  DEL  GENNAIO 2008"},
                                             {"", ""}};
    const bool known = kind >= CoverEstimate && kind <= CoverPlain;
    const AnsiString title1 = known ? titles[kind][0] : "";
    const AnsiString title2 = known ? titles[kind][1] : "";
    SetFont(13, TFontStyles{fsBold});
    const int32_t titleLeft = centredLeft(title1);
    if (!title1.empty()) canvas->TextOut(titleLeft, P(200), title1);
    if (!title2.empty()) canvas->TextOut(titleLeft, P(218), title2);

    SetFont(12);
    const AnsiString* t = Project ? Project->HeaderTexts : nullptr;
    auto field = [&](int index) { return t ? t[index] : AnsiString(); };
    // A paragraph keeps above the section that follows it, 80 points below
    // its top: one that needs more lines than that is set a point smaller,
    // its lines closer, until it fits (or reaches 6 points).
    auto paragraph = [&](const AnsiString& body, int32_t top) {
        const TRect box(P(120), P(top), P(530), P(top + 70));
        int32_t size = 12;
        for (; size > CoverSmallestParagraphPoints; --size) {
            SetFont(size);
            int32_t x = box.Left, y = box.Top;
            if (LayoutParagraph(canvas, body, box, x, y, P(size + 2), false) * P(size + 2) <=
                P(CoverParagraphRoom))
                break;
        }
        SetFont(size);
        int32_t x = box.Left, y = box.Top;
        PrintParagraph(canvas, body, box, x, y, P(size + 2));
        SetFont(12);
    };
    text(60, 350, "DESCRIZIONE LAVORO:");
    paragraph(field(hDescription), 370);

    text(60, 450, "LOCAZIONE EDIFICIO:");
    AnsiString place = field(hAddress);
    const std::pair<int, const char*> parts[] = {
        {hNumber, ", N. "}, {hStaircase, ", scala "}, {hFloor, ", piano "}, {hFlat, ", interno "}};
    for (const auto& [index, prefix] : parts)
        if (!field(index).empty()) place += prefix + field(index);
    text(120, 470, place);
    text(120, 484, field(hPostcode) + " " + field(hMunicipality) + " (" + field(hProvince) + ")");

    text(60, 550, "COMMITTENTE:");
    text(120, 570, field(hCustomerName));
    text(120, 584, field(hCustomerStreet));
    text(120, 598, field(hCustomerTown));

    if (kind == CoverDocumentation || kind == CoverPlain) {
        int32_t y = 650;
        if (!field(hNotes).empty()) {
            text(60, y, "NOTE:");
            paragraph(field(hNotes), y + 20);
            y += 100;
        }
        if (!field(hDesigner).empty()) {
            text(60, y, "Progettista:");
            text(120, y + 20, field(hDesigner));
        }
    }
    return 0;
}
