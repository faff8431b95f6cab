// Page layout on printer and preview, the page start with its frame, titles
// and column headers, and the page breaks of a job.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/graphics.h"
#include "support/print_fixture.h"

namespace {

using PageLayoutTest = PrintTest;

TEST_F(PageLayoutTest, PrinterLayoutsClampToTheSheet) {
    struct Case {
        const char* target;
        TPrinterDevice device;
        TPrinterOrientation orientation;
        int32_t margin, line12, line14, width, top12, top14, bottom12, bottom14;
    };
    // clang-format off
    const Case cases[] = {
        {"600 dpi A4 portrait", A4Device(600), poPortrait, 120, 100, 116, 4842, 220, 236, 6530, 6498},
        {"600 dpi A4 landscape", A4Device(600), poLandscape, 120, 100, 116, 6850, 220, 236, 4522, 4490},
        {"300 dpi A4 portrait", A4Device(300), poPortrait, 60, 50, 58, 2421, 110, 118, 3265, 3249},
        {"300 dpi A4 landscape", A4Device(300), poLandscape, 60, 50, 58, 3425, 110, 118, 2261, 2245},
        {"300 dpi 19 x 27 cm", A4Device(300, TRect(118, 160, 118 + 2244, 160 + 3189)), poPortrait, 60, 50, 58, 2244,
         110, 118, 3029, 3013},
    };
    // clang-format on
    for (const Case& c : cases) {
        Printer()->SetDevices({c.device});
        Printer()->Orientation = c.orientation;
        stampa.GetPageLayout(DocMaterialList, 0);
        const TPrintPage list = PrintPage;
        stampa.GetPageLayout(DocScheme, 0);
        const TPrintPage scheme = PrintPage;
        SCOPED_TRACE(c.target);
        EXPECT_EQ(list.Dpi, c.device.DpiX);
        EXPECT_EQ(list.Margin, c.margin);
        EXPECT_EQ(list.LineHeight, c.line12);
        EXPECT_EQ(scheme.LineHeight, c.line14);
        EXPECT_EQ(list.PageWidth, c.width);
        EXPECT_EQ(scheme.PageWidth, c.width);
        EXPECT_EQ(list.BodyTop, c.top12);
        EXPECT_EQ(scheme.BodyTop, c.top14);
        EXPECT_EQ(list.BodyBottom, c.bottom12);
        EXPECT_EQ(scheme.BodyBottom, c.bottom14);
        EXPECT_EQ(list.Canvas, Printer()->Canvas);
        EXPECT_EQ(list.PageToRender, 0);
        EXPECT_EQ(list.PageNumber, 1);
        EXPECT_EQ(list.Scale, 1.0f);
    }
}

TEST_F(PageLayoutTest, PreviewLaysThePageOutAsThePrinterAndScalesItIntoTheWindow) {
    Printer()->SetDevices({A4Device(300)});
    TBitmap bitmap;
    bitmap.Canvas->Brush->Color = clRed;
    TPreviewTarget preview(1000, 800, &bitmap);
    // The preview's page record is the printed page's, clamped to the
    // sheet, in the printer's pixels: only the canvas differs.
    for (const TPrinterOrientation orientation : {poPortrait, poLandscape})
        for (const int32_t kind : {DocMaterialList, DocScheme}) {
            SCOPED_TRACE(kind);
            SCOPED_TRACE(orientation);
            Printer()->Orientation = orientation;
            stampa.Preview = nullptr;
            stampa.GetPageLayout(kind, 0);
            const TPrintPage printed = PrintPage;
            stampa.Preview = &preview;
            stampa.GetPageLayout(kind, 2);
            const TPrintPage& previewed = PrintPage;
            EXPECT_EQ(previewed.Dpi, 300);
            EXPECT_EQ(previewed.Margin, printed.Margin);
            EXPECT_EQ(previewed.LineHeight, printed.LineHeight);
            EXPECT_EQ(previewed.BodyTop, printed.BodyTop);
            EXPECT_EQ(previewed.BodyBottom, printed.BodyBottom);
            EXPECT_EQ(previewed.PageWidth, printed.PageWidth);
            EXPECT_EQ(previewed.Scale, 1.0f);
            EXPECT_EQ(previewed.PageToRender, 2);
            EXPECT_EQ(previewed.Canvas, &preview.Canvas);
            EXPECT_EQ(preview.Canvas.ClipRect(),
                      TRect(0, 0, Printer()->PageWidth(), Printer()->PageHeight()));
            EXPECT_EQ(preview.Canvas.Font->PixelsPerInch.Get(), 300);
        }
    Printer()->Orientation = poPortrait;
    stampa.GetPageLayout(DocMaterialList, 2);
    EXPECT_EQ(PrintPage.PageWidth, 2421);  // the sheet's 20.5 cm, not the page's 2480 pixels
    EXPECT_EQ(preview.Image, TRect(245, 40, 245 + 509, 40 + 720));
    EXPECT_EQ(bitmap.Width.Get(), 509);
    EXPECT_EQ(bitmap.Height.Get(), 720);
    for (TPoint p : {TPoint(0, 0), TPoint(508, 719), TPoint(250, 400)})
        EXPECT_EQ(bitmap.Pixel(p.x, p.y), clWhite);
    // What the page draws lands on the bitmap scaled: the body's last line
    // at 3265 of 3508 pixels is 670 of 720.
    TCanvas* canvas = PrintPage.Canvas;
    canvas->Pen->Color = clBlack;
    canvas->MoveTo(0, PrintPage.BodyBottom);
    canvas->LineTo(PrintPage.PageWidth, PrintPage.BodyBottom);
    EXPECT_EQ(bitmap.Pixel(250, 670), clBlack);
    EXPECT_EQ(bitmap.Pixel(250, 669), clWhite);
    EXPECT_EQ(bitmap.Pixel(250, 671), clWhite);

    // A window wider than the page's shape: the height sets the scale; a
    // narrow one: the width does, to the pixel.
    preview.ClientWidth = 420;
    stampa.GetPageLayout(DocMaterialList, 1);
    EXPECT_EQ(bitmap.Width.Get(), 400);
    EXPECT_EQ(bitmap.Height.Get(), 565);  // 3508 x 400 / 2480 = 565.8
    EXPECT_EQ(preview.Image.Left, 10);
    EXPECT_EQ(preview.Image.Top, 117);  // (800 - 565.8) / 2
    EXPECT_EQ(PrintPage.BodyBottom, 3265);
}

TEST_F(PageLayoutTest, ListAndEstimateHeadersStandAboveTheirRule) {
    struct Case {
        int dpi;
        int32_t firstRow;
    };
    for (const Case c : {Case{600, 457}, Case{300, 230}}) {
        Printer()->SetDevices({A4Device(c.dpi)});
        for (int32_t kind : {DocMaterialList, DocEstimate}) {
            stampa.GetPageLayout(kind, 0);
            const TPrintedDocument& doc = Job([&] { stampa.PrintTableHeader(kind, ListNetwork); });
            ASSERT_EQ(doc.Pages.size(), 1u);
            EXPECT_EQ(PrintPage.Y, c.firstRow) << c.dpi << " dpi, kind " << kind;
            // The rule 4 px above the first row, across the page.
            bool rule = false;
            for (const TPaintCall& l : doc.Pages[0]->CallsOf(TPaintOp::Line))
                if (l.Points[0] == TPoint(0, c.firstRow - 4) &&
                    l.Points[1] == TPoint(PrintPage.PageWidth - 2, c.firstRow - 4))
                    rule = l.State.Pen.Width == 2;
            EXPECT_TRUE(rule) << doc.Pages[0]->Dump();
        }
    }
}

TEST_F(PageLayoutTest, TitlesFollowKindAndFlags) {
    struct Case {
        int32_t kind, flags;
        const char* title;
    };
    // clang-format off
    const Case cases[] = {
        {DocMaterialList, ListHeadEnd, "Tipologia del materiale della testata"},
        {DocMaterialList, ListNetwork, "Tipologia del materiale della rete"},
        {DocMaterialList, ListNetwork | ListHeadEnd, "Tipologia del materiale della rete e della testata"},
        {DocSignals, 1, "Segnali minimi e massimi ottenibili alle prese [dB]"},
        {DocSignals, 3,
         "Segnali minimi e massimi ammessi all'uscita del terminale di testa e ottenibili alle prese [dB]"},
        {DocSignals, 2, "Segnali minimi e massimi ammessi all'uscita del terminale di testa [dB]"},
        {DocSeparations, 0, "Separazioni tra le prese [dB]"},
        {DocChannels, 1, "Canali in uscita dalle prese con relativi segnali e rumori"},
        {DocChannels, 3, "Canali in uscita dal terminale di testa e dalle prese con relativi segnali e rumori"},
        {DocChannels, 2, "Canali in uscita dal terminale di testa con relativi segnali e rumori"},
        {DocMastReport, 0, "Relazione sul sostegno delle antenne"},
        {DocLightningReport, 0, "Relazione sull'autoprotezione dalle scariche atmosferiche"},
        {DocLightningRisk, 0, "Valutazione del rischio ai sensi della norma CEI EN 62305-2"},
    };
    // clang-format on
    // The whole sheet, and a printer that leaves 15 mm at each side: a
    // title wider than the room between the page's margins is set smaller,
    // whole between them.
    const int side = 15 * 600 * 10 / 254;
    for (const TRect printable : {TRect(0, 0, 4961, 7016), TRect(side, side, 4961 - side, 7016 - side)}) {
        Printer()->SetDevices({A4Device(600, printable)});
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(printable.Left) + " " + c.title);
            stampa.GetPageLayout(c.kind, 0);
            const TPrintedDocument& doc = Job([&] { stampa.PrintTableHeader(c.kind, c.flags); });
            const TRecordingEngine& page = *doc.Pages[0];
            const TPaintCall* title = FindText(page, c.title);
            ASSERT_NE(title, nullptr) << PageText(page);
            // Centred across the page, and between its margins.
            const int width = TTextMetrics::Extent(title->State.Font, c.title).cx;
            EXPECT_NEAR(title->Points[0].x * 2 + width, PrintPage.PageWidth, 1);
            EXPECT_GE(title->Points[0].x, PrintPage.TextLeft());
            EXPECT_LE(title->Points[0].x + width, PrintPage.TextRight());
            // The whole sheet keeps every title at its size but the longest,
            // a point smaller.
            int points = c.kind >= DocSignals && c.kind <= DocChannels ? 14 : 10;
            if (c.kind == DocSignals && c.flags == 3) points = 13;
            if (printable.Left == 0)
                EXPECT_EQ(std::abs(title->State.Font.Height), (points * 1200 + 72) / 144);
        }
    }
}

// A page 10 cm wide: the longest title, at three quarters of its size still
// wider than the room between the margins, stands in centred lines there,
// and the band header comes down by the lines added.
TEST_F(PageLayoutTest, ATitleTooWideAtThreeQuartersOfItsSizeBreaksIntoLines) {
    const AnsiString title =
        "Segnali minimi e massimi ammessi all'uscita del terminale di testa e ottenibili alle prese [dB]";
    auto bandsAt = [&](int width, std::vector<TPaintCall>& lines) {
        Printer()->SetDevices({A4Device(600, TRect(0, 0, width, 7016))});
        stampa.GetPageLayout(DocSignals, 0);
        stampa.SetTablePositions(DocSignals);
        const TRecordingEngine& page = *Job([&] { stampa.PrintTableHeader(DocSignals, 3); }).Pages[0];
        lines.clear();
        for (const TPaintCall& t : TextCalls(page))
            if (std::abs(t.State.Font.Height) > 67) lines.push_back(t);  // above the 8-pt column texts
        return TextAt(page, "Banda").y;
    };
    std::vector<TPaintCall> lines;
    const int whole = bandsAt(4961, lines);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Text, title);
    const int narrow = bandsAt(2362, lines);
    ASSERT_GE(lines.size(), 2u);
    AnsiString joined;
    for (size_t i = 0; i < lines.size(); ++i) {
        const TPaintCall& l = lines[i];
        joined += (i ? " " : "") + l.Text;
        const int width = TTextMetrics::Extent(l.State.Font, l.Text).cx;
        EXPECT_GE(l.Points[0].x, PrintPage.TextLeft()) << l.Text;
        EXPECT_LE(l.Points[0].x + width, PrintPage.TextRight()) << l.Text;
        EXPECT_NEAR(l.Points[0].x * 2 + width, PrintPage.PageWidth, 1) << l.Text;
        // Three quarters of 14 points, at 600 dpi.
        EXPECT_EQ(std::abs(l.State.Font.Height), (10 * 1200 + 72) / 144);
        if (i)
            EXPECT_EQ(l.Points[0].y - lines[i - 1].Points[0].y, TTextMetrics::Extent(l.State.Font, "Ag").cy);
    }
    EXPECT_EQ(joined, title);
    EXPECT_EQ(narrow - whole, lines.back().Points[0].y - lines.front().Points[0].y);
}

TEST_F(PageLayoutTest, ColumnHeadersByFlags) {
    // Estimate, priced.
    stampa.GetPageLayout(DocEstimate, 0);
    const TPrintedDocument& estimate = Job([&] { stampa.PrintEstimate(true, 0); });
    const TRecordingEngine& e = *estimate.Pages[0];
    for (const char* t : {"Preventivo di spesa", "Codice", "Articolo", "Marca", "Descrizione", "U.M.",
                          "Quantità", "Prezzo U.", "Prezzo T."})
        EXPECT_NE(FindText(e, t), nullptr) << t;
    EXPECT_EQ(TextAt(e, "Codice").x, 150);  // 18 pt at 600 dpi
    EXPECT_EQ(TextAt(e, "U.M.").x, 2858);   // 343 pt
    const TPaintCall* total = FindText(e, "Prezzo T.");
    EXPECT_EQ(total->Points[0].x + TTextMetrics::Extent(total->State.Font, "Prezzo T.").cx, 4533);  // 544 pt
    // The tender specification: no price columns.
    const TPrintedDocument& spec = Job([&] { stampa.PrintEstimate(false, 0); });
    const TRecordingEngine& s = *spec.Pages[0];
    EXPECT_NE(FindText(s, "Capitolato"), nullptr);
    EXPECT_EQ(FindText(s, "Prezzo U."), nullptr);
    EXPECT_EQ(FindText(s, "Prezzo T."), nullptr);
    EXPECT_EQ(FindText(s, "Preventivo di spesa"), nullptr);

    // Calculation tables: the band header, one column per band.
    PrintPage.NumberLeft = 150;
    PrintPage.CodeLeft = 1200;
    PrintPage.BandStep = 400;
    stampa.GetPageLayout(DocSeparations, 0);
    const TPrintedDocument& bands = Job([&] { stampa.PrintTableHeader(DocSeparations, 0); });
    const TRecordingEngine& b = *bands.Pages[0];
    EXPECT_EQ(TextAt(b, "Banda").x, 150);
    EXPECT_NE(FindText(b, "Freq. [MHz]"), nullptr);
    const TSistemaBande& system = *SistemaBandeCorrente;
    ASSERT_GT(system.bandCount, 2);
    const TPaintCall* last = FindText(b, system.bands[system.bandCount - 1].bandName);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->Points[0].x + TTextMetrics::Extent(last->State.Font, last->Text).cx,
              1200 + (system.bandCount - 1) * 400);

    // Channels: the eight column titles, at the table's positions.
    stampa.GetPageLayout(DocChannels, 0);
    stampa.SetTablePositions(DocChannels);
    const TPrintedDocument& channels = Job([&] { stampa.PrintTableHeader(DocChannels, 1); });
    EXPECT_EQ(TextAt(*channels.Pages[0], "Provenienza").x, 3200);  // 384 pt
    for (const char* t :
         {"Componente", "Canale", "Descrizione", "S Min.", "S Max.", "C/N Min.", "C/N Max.", "Provenienza"})
        EXPECT_NE(FindText(*channels.Pages[0], t), nullptr) << t;
}

TEST_F(PageLayoutTest, FrameHeaderAndFooter) {
    stampa.GetPageLayout(DocMaterialList, 0);
    const TPrintedDocument& doc = Job([&] {
        stampa.PrintTableHeader(DocMaterialList, ListNetwork);
        ++PrintPage.PageNumber;
        stampa.PrintTableHeader(DocMaterialList, ListNetwork);
    });
    ASSERT_EQ(doc.Pages.size(), 2u);
    const TRecordingEngine& page = *doc.Pages[1];
    EXPECT_EQ(TextAt(page, "Committente: Rossi Mario - Via Roma 1 - Torino"), TPoint(150, 0));
    EXPECT_EQ(TextAt(page, "Impianti Bianchi - Via Po 3 - Asti"), TPoint(150, 6530 + 120 + 1));
    EXPECT_EQ(TextAt(page, "Ordivex Varne - File Condominio Aurora"), TPoint(150, 6530 + 120 + 100 + 1));
    const TPaintCall* number = FindText(page, "Pagina 2");
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->Points[0].x + TTextMetrics::Extent(number->State.Font, "Pagina 2").cx, 4842 - 2);
    EXPECT_EQ(number->Points[0].y, 6530 + 120 + 100 + 1);
    EXPECT_EQ(number->State.Font.Name, "Arial");
    // The two rules of the frame.
    std::vector<std::pair<TPoint, TPoint>> lines;
    for (const TPaintCall& l : page.CallsOf(TPaintOp::Line)) lines.push_back({l.Points[0], l.Points[1]});
    EXPECT_NE(std::find(lines.begin(), lines.end(), std::make_pair(TPoint(0, 100), TPoint(4840, 100))),
              lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), std::make_pair(TPoint(4840, 6650), TPoint(0, 6650))),
              lines.end());
}

// Name, street and city keep their separators when a part is empty, as the
// installer line of the footer does.
TEST_F(PageLayoutTest, HeadingKeepsTheSeparatorsOfEmptyCustomerParts) {
    struct Case {
        const char *name, *street, *town, *heading;
    };
    // clang-format off
    const Case cases[] = {
        {"Rossi Mario", "Via Roma 1", "Torino", "Committente: Rossi Mario - Via Roma 1 - Torino"},
        {"Rossi Mario", "", "", "Committente: Rossi Mario -  - "},
        {"Rossi Mario", "", "Torino", "Committente: Rossi Mario -  - Torino"},
        {"", "Via Roma 1", "Torino", "Committente:  - Via Roma 1 - Torino"},
        {"", "", "", "Committente:  -  - "},
    };
    // clang-format on
    for (const Case& c : cases)
        for (const int32_t kind : {DocMaterialList, DocScheme}) {
            project.HeaderTexts[0] = c.name;
            project.HeaderTexts[1] = c.street;
            project.HeaderTexts[2] = c.town;
            stampa.GetPageLayout(kind, 0);
            const TPrintedDocument& doc = Job([&] { stampa.PrintTableHeader(kind, ListNetwork); });
            ASSERT_EQ(doc.Pages.size(), 1u);
            EXPECT_EQ(TextAt(*doc.Pages[0], c.heading), TPoint(150, 0)) << c.heading << " kind " << kind;
        }
}

TEST_F(PageLayoutTest, BoxedKindsHaveNoPageNumberAndCoversNoFrame) {
    struct Case {
        int32_t kind;
        bool box, numbered, framed;
    };
    // clang-format off
    const Case cases[] = {
        {DocScheme, true, false, true},        {DocMastReport, true, false, true},
        {DocLightningReport, true, false, true}, {DocMaterialList, false, true, true},
        {DocLightningRisk, false, true, true}, {DocCover, false, false, false},
        {DocDeclaration, false, false, false}, {55, false, false, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        stampa.GetPageLayout(c.kind, 0);
        const TPrintedDocument& doc = Job([&] { stampa.PrintTableHeader(c.kind, 0); });
        const TRecordingEngine& page = *doc.Pages[0];
        EXPECT_EQ(page.CallsOf(TPaintOp::Polyline).size(), c.box ? 1u : 0u) << c.kind;
        EXPECT_EQ(FindText(page, "Pagina 1") != nullptr, c.numbered) << c.kind;
        EXPECT_EQ(!page.Texts().empty(), c.framed) << c.kind;
        if (c.box) {
            const TPaintCall box = page.CallsOf(TPaintOp::Polyline)[0];
            EXPECT_EQ(box.Points.front(), TPoint(0, PrintPage.BodyTop - PrintPage.Margin));
            EXPECT_EQ(box.Points[2],
                      TPoint(PrintPage.PageWidth - 2, PrintPage.BodyBottom + PrintPage.Margin));
            EXPECT_EQ(box.State.Pen.Width, 2);
        }
    }
}

TEST_F(PageLayoutTest, SecondDocumentOfAJobStartsANewPage) {
    stampa.GetPageLayout(DocMaterialList, 0);
    const TPrintedDocument& doc = Job([&] {
        stampa.PrintTableHeader(DocMaterialList, ListNetwork);  // the job's first page
        stampa.GetPageLayout(DocEstimate, 0);
        stampa.PrintTableHeader(DocEstimate, 0);  // a second document: page 2
    });
    ASSERT_EQ(doc.Pages.size(), 2u);
    EXPECT_NE(FindText(*doc.Pages[0], "Tipologia del materiale della rete"), nullptr);
    EXPECT_NE(FindText(*doc.Pages[1], "Capitolato"), nullptr);
    EXPECT_EQ(PrintPage.NewJob, 0);
}

TEST_F(PageLayoutTest, PreviewPageStartClearsTheBitmap) {
    Printer()->SetDevices({A4Device(300)});
    TBitmap bitmap;
    TPreviewTarget preview(1000, 800, &bitmap);
    stampa.Preview = &preview;
    stampa.GetPageLayout(DocMaterialList, 1);
    bitmap.Canvas->Brush->Color = clRed;
    bitmap.Canvas->FillRect(TRect(100, 100, 200, 200));
    stampa.PrintTableHeader(DocMaterialList, ListNetwork);
    EXPECT_EQ(bitmap.Pixel(150, 150), clWhite);
    EXPECT_EQ(Printer()->Documents().size(), 0u);
    // The rule of the header is drawn on the bitmap, scaled.
    const TPoint rule = preview.Engine.Map(TPoint(1200, PrintPage.Y - 4));
    EXPECT_EQ(bitmap.Pixel(rule.x, rule.y), clBlack);
}

}  // namespace
