// Cover pages on the headless printer at 600 dpi: letterhead, titles by
// kind, labels at their points, the location line and notes with designer.
#include <gtest/gtest.h>

#include "support/print_fixture.h"

namespace {

int P(int points) { return points * 600 / 72; }

// The size in points of a font as recorded (its height in pixels at 600 dpi).
int SizeOf(const TFontState& font) { return (-font.Height * 72 + 300) / font.PixelsPerInch; }

class CoverTest : public PrintTest {
protected:
    CoverTest() {
        stampa.Letterhead = [this] { return letterhead; };
        project.HeaderTexts[7] = "Via Verdi 2";
        project.HeaderTexts[12] = "10100";
        project.HeaderTexts[13] = "Torino";
        project.HeaderTexts[14] = "TO";
        project.HeaderTexts[22] = "Impianto centralizzato terrestre e satellitare";
    }
    const TRecordingEngine& Cover(int32_t kind) {
        const TPrintedDocument& doc = Job([&] { EXPECT_EQ(stampa.PrintCoverPage(kind, 0), 0); });
        EXPECT_EQ(doc.Pages.size(), 1u);
        return *doc.Pages.back();
    }
    TLetterhead letterhead = [] {
        TLetterhead l;
        l.Firm = "Impianti Bianchi";
        l.Street = "Via Po 3";
        l.Town = "Asti";
        return l;
    }();
};

TEST_F(CoverTest, TitlesNotesAndDesignerByKind) {
    project.HeaderTexts[HeaderNotes] = "Collaudo a fine lavori";
    project.HeaderTexts[HeaderDesigner] = "Ing. Neri";
    struct Case {
        int32_t kind;
        const char* title1;
        const char* title2;
        bool notes;
    };
    // clang-format off
    const Case cases[] = {
        {0, "PREVENTIVO DI SPESA", nullptr, false},
        {1, "DOCUMENTAZIONE DI ESECUZIONE PROGETTO", nullptr, true},
        {2, "DICHIARAZIONE  DI  CONFORMITA'  DELL'IMPIANTO  D'ANTENNA  TV", "ART. 7  DM  N.37  DEL  GENNAIO 2008", false},
        {3, nullptr, nullptr, true},
    };
    // clang-format on
    for (const Case& c : cases) {
        const TRecordingEngine& page = Cover(c.kind);
        SCOPED_TRACE(c.kind);
        // Titles are 13-pt bold; kind 3 has none.
        int bold = 0;
        for (const TPaintCall& t : TextCalls(page))
            if (t.State.Font.Style.Contains(fsBold)) ++bold;
        EXPECT_EQ(bold, (c.title1 ? 1 : 0) + (c.title2 ? 1 : 0));
        if (c.title1) {
            const TPaintCall* t1 = FindText(page, c.title1);
            ASSERT_NE(t1, nullptr);
            EXPECT_EQ(t1->Points[0].y, P(200));
            EXPECT_EQ(t1->Points[0].x,
                      P(60) + (P(460) - TTextMetrics::Extent(t1->State.Font, c.title1).cx) / 2);
            if (c.title2) {
                EXPECT_EQ(TextAt(page, c.title2), TPoint(t1->Points[0].x, P(218)));
            }
        }
        EXPECT_EQ(TextAt(page, "DESCRIZIONE LAVORO:"), TPoint(P(60), P(350)));
        EXPECT_EQ(TextAt(page, "LOCAZIONE EDIFICIO:"), TPoint(P(60), P(450)));
        EXPECT_EQ(TextAt(page, "COMMITTENTE:"), TPoint(P(60), P(550)));
        EXPECT_EQ(TextAt(page, "Rossi Mario"), TPoint(P(120), P(570)));
        EXPECT_EQ(TextAt(page, "Torino"), TPoint(P(120), P(598)));
        EXPECT_EQ(TextAt(page, "10100 Torino (TO)"), TPoint(P(120), P(484)));
        EXPECT_EQ(FindText(page, "NOTE:") != nullptr, c.notes);
        EXPECT_EQ(FindText(page, "Progettista:") != nullptr, c.notes);
        if (c.notes) {
            EXPECT_EQ(TextAt(page, "NOTE:"), TPoint(P(60), P(650)));
            EXPECT_EQ(TextAt(page, "Collaudo a fine lavori"), TPoint(P(120), P(670)));
            EXPECT_EQ(TextAt(page, "Progettista:"), TPoint(P(60), P(750)));
            EXPECT_EQ(TextAt(page, "Ing. Neri"), TPoint(P(120), P(770)));
        }
        // No frame on a cover.
        EXPECT_EQ(FindText(page, "Pagina 1"), nullptr);
    }
    // Without notes the designer moves up.
    project.HeaderTexts[HeaderNotes] = "";
    const TRecordingEngine& plain = Cover(3);
    EXPECT_EQ(TextAt(plain, "Progettista:"), TPoint(P(60), P(650)));
    EXPECT_EQ(TextAt(plain, "Ing. Neri"), TPoint(P(120), P(670)));
}

TEST_F(CoverTest, LocationLineTakesOnlyFilledParts) {
    struct Case {
        const char *number, *staircase, *floor, *flat;
        const char* line;
    };
    // clang-format off
    const Case cases[] = {
        {"", "", "", "", "Via Verdi 2"},
        {"5", "B", "3", "7", "Via Verdi 2, N. 5, scala B, piano 3, interno 7"},
        {"", "B", "", "7", "Via Verdi 2, scala B, interno 7"},
        {"5", "", "3", "", "Via Verdi 2, N. 5, piano 3"},
    };
    // clang-format on
    for (const Case& c : cases) {
        project.HeaderTexts[8] = c.number;
        project.HeaderTexts[9] = c.staircase;
        project.HeaderTexts[10] = c.floor;
        project.HeaderTexts[11] = c.flat;
        EXPECT_EQ(TextAt(Cover(0), c.line), TPoint(P(120), P(470))) << c.line;
    }
}

TEST_F(CoverTest, LetterheadWithTelephoneAndFax) {
    // Street and town keep their separator when one is empty; telephone and
    // fax come only when given.
    struct Case {
        const char *street, *town, *telephone, *fax, *line;
    };
    // clang-format off
    const Case cases[] = {
        {"Via Po 3", "Asti", "1", "2", "Via Po 3 - Asti - Tel. 1 - Fax 2"},
        {"Via Po 3", "Asti", "", "2", "Via Po 3 - Asti - Fax 2"},
        {"Via Po 3", "Asti", "1", "", "Via Po 3 - Asti - Tel. 1"},
        {"Via Po 3", "Asti", "", "", "Via Po 3 - Asti"},
        {"", "Asti", "1", "", " - Asti - Tel. 1"},
        {"Via Po 3", "", "", "2", "Via Po 3 -  - Fax 2"},
        {"", "", "1", "2", " -  - Tel. 1 - Fax 2"},
        {"", "", "", "", " - "},
    };
    // clang-format on
    for (const Case& c : cases) {
        letterhead.Street = c.street;
        letterhead.Town = c.town;
        letterhead.Telephone = c.telephone;
        letterhead.Fax = c.fax;
        const TRecordingEngine& page = Cover(1);
        const TPaintCall* line = FindText(page, c.line);
        ASSERT_NE(line, nullptr) << c.line << "\n" << PageText(page);
        EXPECT_EQ(line->Points[0].y, P(76));
        EXPECT_EQ(SizeOf(line->State.Font), 12);
        EXPECT_EQ(line->Points[0].x,
                  P(60) + (P(460) - TTextMetrics::Extent(line->State.Font, c.line).cx) / 2);
    }
    const TPaintCall* firm = FindText(Cover(1), "Impianti Bianchi");
    ASSERT_NE(firm, nullptr);
    EXPECT_EQ(firm->Points[0].y, P(44));
    EXPECT_EQ(SizeOf(firm->State.Font), 18);
    EXPECT_EQ(firm->State.Font.Name, "Times New Roman");
}

TEST_F(CoverTest, WideLetterheadShrinksUntilItFits) {
    letterhead.Street = "Via delle Industrie Elettroniche e delle Telecomunicazioni 1234";
    letterhead.Town = "San Giovanni in Persiceto (Bologna)";
    letterhead.Telephone = "051 1234567";
    const AnsiString line = letterhead.Street + " - " + letterhead.Town + " - Tel. 051 1234567";
    const TPaintCall* drawn = FindText(Cover(0), line);
    ASSERT_NE(drawn, nullptr);
    TFontState font = drawn->State.Font;
    const int size = SizeOf(font);
    EXPECT_LT(size, 12);
    EXPECT_LE(TTextMetrics::Extent(font, line).cx, P(460));
    font.Height = -((size + 1) * 600 + 36) / 72;
    EXPECT_GT(TTextMetrics::Extent(font, line).cx, P(460));
    // A text that fits at no size stops at one point.
    letterhead.Street = AnsiString(3000, 'W');
    const TPaintCall* tiny =
        FindText(Cover(0), letterhead.Street + " - " + letterhead.Town + " - Tel. 051 1234567");
    ASSERT_NE(tiny, nullptr);
    EXPECT_EQ(SizeOf(tiny->State.Font), 1);
}

// A description or notes as long as their fields hold are set smaller, their
// lines closer, and end above the section that follows; every word printed.
TEST_F(CoverTest, LongDescriptionAndNotesKeepAboveTheNextSection) {
    AnsiString words;
    while (words.size() + 12 < 512) words += "impianto TV ";
    const struct {
        int field;
        int top, next;  // the paragraph's top and the next section's label, points
        const char* label;
    } cases[] = {{22, 370, 450, "LOCAZIONE EDIFICIO:"}, {HeaderNotes, 670, 750, "Progettista:"}};
    project.HeaderTexts[HeaderDesigner] = "Ing. Neri";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        project.HeaderTexts[22] = project.HeaderTexts[HeaderNotes] = "";
        project.HeaderTexts[c.field] = words;
        const TRecordingEngine& page = Cover(CoverDocumentation);
        EXPECT_EQ(TextAt(page, c.label).y, P(c.next));
        int printed = 0, lines = 0;
        for (const TPaintCall& t : TextCalls(page)) {
            if (t.Points[0].y < P(c.top) || t.Points[0].y >= P(c.next) || t.Points[0].x < P(120)) continue;
            ++lines;
            EXPECT_LE(t.Points[0].y + TTextMetrics::Extent(t.State.Font, t.Text).cy, P(c.next)) << t.Text;
            EXPECT_LT(SizeOf(t.State.Font), 12);
            for (size_t at = t.Text.find("TV"); at != std::string::npos; at = t.Text.find("TV", at + 1))
                ++printed;
        }
        EXPECT_GT(lines, 5);
        EXPECT_EQ(printed, static_cast<int>(words.size() / 12));
        // What follows keeps its 12 points.
        EXPECT_EQ(SizeOf(FindText(page, c.label)->State.Font), 12);
    }
}

TEST_F(CoverTest, CoversOfOneJobStartANewPageEach) {
    const TPrintedDocument& doc = Job([&] {
        for (int32_t kind = 0; kind < 4; ++kind) stampa.PrintCoverPage(kind, 0);
    });
    EXPECT_EQ(doc.Pages.size(), 4u);
    EXPECT_NE(FindText(*doc.Pages[2], "ART. 7  DM  N.37  DEL  GENNAIO 2008"), nullptr);
}

}  // namespace
