// The mast report and the lightning report on the headless printer: the
// figures of the mast evaluation and of the lightning pages as they show
// them, the outcome and the warnings, the notes and norms the print options
// keep in the project, the report of a mast without data, and reports that
// run over pages in print and preview.
#include <gtest/gtest.h>

#include <limits>
#include <memory>

#include "app/lightning_pages.h"
#include "document/lightning.h"
#include "document/mast.h"
#include "document/mast_evaluation.h"
#include "printing/preview.h"
#include "printing/print_options.h"
#include "support/print_fixture.h"

namespace {

AnsiString AllText(const TPrintedDocument& doc) {
    AnsiString all;
    for (const auto& page : doc.Pages) all += PageText(*page) + "\n";
    return all;
}

std::unique_ptr<TDatiAntenna> Antenna(int32_t kind, int32_t spacing, float area, int32_t band = 1) {
    auto item = std::make_unique<TDatiAntenna>();
    item->Kind = kind;
    item->Spacing = spacing;
    item->Area = area;
    item->Band = band;
    return item;
}

class ReportsTest : public PrintTest {
protected:
    TPalo& Mast() { return *project.Mast; }
    void Sections(std::initializer_list<TTroncoPalo> sections) {
        Mast().SectionCount = static_cast<int32_t>(sections.size());
        int k = 0;
        for (const TTroncoPalo& t : sections) Mast().Sections[k++] = t;
    }
    // Two antennas, a dish by its diameter and a double arm, on two sections.
    void DescribeMast() {
        TPalo& m = Mast();
        m.WindClass = 1;
        m.Antennas.InsertAt(0, Antenna(MastYagi, 40, 0.2f));
        auto dish = Antenna(MastDish, 60, LevelNone, -1);
        dish->Diameter = 80;
        m.Antennas.InsertAt(1, std::move(dish));
        auto arm = Antenna(MastDoubleArm, 70, LevelNone, -1);
        arm->FirstChild = Antenna(MastLogPeriodic, 0, 0.15f, 0);
        arm->SecondChild = Antenna(MastCurtain, 0, 0.3f, 2);
        m.Antennas.InsertAt(2, std::move(arm));
        Sections({{102, 5, 2}, {90, 4, 2}});
    }
    AnsiString MastReport(bool errors) {
        const TPrintedDocument& doc = Job([&] { EXPECT_EQ(stampa.PrintMastReport(errors, 0), 0); });
        EXPECT_EQ(doc.Pages.size(), 1u);
        return AllText(doc);
    }
};

TEST_F(ReportsTest, MastReportShowsTheFiguresOfTheMastEvaluation) {
    DescribeMast();
    Mast().Text1 = "Palo zincato a caldo.\r\nControventatura non necessaria.";
    const AnsiString text = MastReport(true);
    const TValutazionePalo v = EvaluateMast(Mast());
    ASSERT_TRUE(v.Sections[0].Drawn && v.Sections[1].Drawn);
    ASSERT_TRUE(v.Warnings.empty());
    const double q = MastWindPressure(1), speed = MastWindSpeed(1);
    std::vector<AnsiString> expected = {
        "Relazione sul sostegno delle antenne",
        "Committente:",
        "Rossi Mario",
        "CEI 12-43 (EN 50083-1)",
        "150 Km/h, pressione " + FormatFloat("0", q) + " N/mq",
        "entro 20 metri dal suolo",
        "Antenna Yagi",
        "Parabola",
        "Braccio doppio",
        "Antenna logaritmica",
        "Antenna con riflettore a cortina",
        "3.2",
        "Area 0,15 mq",
        "Diametro 80 cm",
        "IV°",
        "Palo zincato a caldo.",
        "Controventatura non necessaria.",
        "Il sostegno è verificato: ogni tronco resiste alla spinta del vento e il sostegno raggiunge "
        "l'altezza richiesta dalle antenne.",
        FormatFloat("0", v.RequiredHeight) + " cm"};
    // Every item's wind load and every section's moments as the evaluation gives them.
    for (const auto& item : Mast().Antennas.Items) {
        bool known = true;
        expected.push_back(FormatFloat("0.0", ItemWindForce(*item, q, speed, known)));
        EXPECT_TRUE(known);
    }
    for (int k = 0; k < 2; ++k) {
        expected.push_back(FormatFloat("0.0", v.Sections[k].Resistance));
        expected.push_back(FormatFloat("0.0", v.Sections[k].Load));
    }
    for (const AnsiString& e : expected) EXPECT_NE(text.find(e), AnsiString::npos) << e << "\n" << text;
    // The items stand at their heights above the foot: 40, 100 and 170 cm.
    for (const char* height : {"\n40\n", "\n100\n", "\n170\n"})
        EXPECT_NE(text.find(height), AnsiString::npos) << height;
}

TEST_F(ReportsTest, FailingMastGivesItsWarningsWhenErrorsAreAsked) {
    DescribeMast();
    Mast().Antennas.InsertAt(3, Antenna(MastGrid, 400, LevelNone));  // no wind data, above the mast
    Sections({{25, 1, 2}});                                          // too thin for the wind
    const TValutazionePalo v = EvaluateMast(Mast());
    ASSERT_TRUE(v.Sections[0].Fails());
    ASSERT_EQ(v.Warnings.size(), 3u);
    for (bool errors : {true, false}) {
        SCOPED_TRACE(errors);
        const AnsiString text = MastReport(errors);
        EXPECT_NE(text.find("non resiste"), AnsiString::npos);
        EXPECT_NE(text.find("non indicata"), AnsiString::npos);
        EXPECT_NE(text.find("Il sostegno non è verificato."), AnsiString::npos);
        EXPECT_EQ(text.find("Il sostegno è verificato"), AnsiString::npos);
        for (const AnsiString& warning : v.Warnings)
            EXPECT_EQ(text.find("- " + warning) != AnsiString::npos, errors) << warning;
    }
}

// A measure held in memory as infinite is no measure: the report shows the
// item's next given figure, never "inf".
TEST_F(ReportsTest, InfiniteMeasuresPrintAsNotGiven) {
    DescribeMast();
    TDatiAntenna& yagi = *Mast().Antennas.Items[0];
    yagi.Area = std::numeric_limits<float>::infinity();
    yagi.Force = 120;
    yagi.WindOfForce = std::numeric_limits<float>::infinity();
    const AnsiString text = MastReport(true);
    EXPECT_NE(text.find("Forza 120 N\n"), AnsiString::npos) << text;
    for (const char* bad : {"inf", "INF", "nan", "NAN"}) EXPECT_EQ(text.find(bad), AnsiString::npos) << bad;
}

// Without data the box is not offered; printed anyway, the report says so.
TEST_F(ReportsTest, MastWithoutDataIsNotOfferedAndSaysSo) {
    EXPECT_FALSE(MastReportHasData(&Mast()));
    const AnsiString text = MastReport(true);
    EXPECT_NE(text.find("Il progetto non descrive il sostegno delle antenne"), AnsiString::npos) << text;
    EXPECT_EQ(text.find("Dati sostegno"), AnsiString::npos);

    TDatiStampa options(nullptr);
    options.CRelSostegno->Checked = options.CRelScariche->Checked = true;
    options.ShowReportData(&project);
    EXPECT_FALSE(options.CRelSostegno->Enabled);
    EXPECT_FALSE(options.CRelSostegno->Checked);
    EXPECT_TRUE(options.CRelScariche->Enabled);
    EXPECT_TRUE(options.CRelScariche->Checked);
    // One section measure is data enough.
    Mast().Sections[0].Diameter = 48;
    options.ShowReportData(&project);
    EXPECT_TRUE(options.CRelSostegno->Enabled);
    EXPECT_TRUE(MastReportHasData(&Mast()));
}

TEST_F(ReportsTest, LongReportsRunOverPagesInPrintAndPreview) {
    DescribeMast();
    for (int i = 3; i < MastMaxItems - 1; ++i) {
        auto arm = Antenna(MastDoubleArm, 50, LevelNone, -1);
        arm->FirstChild = Antenna(MastYagi, 0, 0.1f);
        arm->SecondChild = Antenna(MastYagi, 0, 0.1f);
        Mast().Antennas.InsertAt(i, std::move(arm));
    }
    AnsiString notes;
    for (int i = 0; i < 12; ++i) notes += "Nota " + IntToStr(i + 1) + ".\r\n";
    Mast().Text1 = notes;
    const TPrintedDocument& doc = Job([&] { EXPECT_EQ(stampa.PrintMastReport(true, 0), 0); });
    const int pages = static_cast<int>(doc.Pages.size());
    ASSERT_GE(pages, 2);
    // Every page under its title; the items' table goes on under its column titles.
    for (const auto& page : doc.Pages)
        EXPECT_NE(FindText(*page, "Relazione sul sostegno delle antenne"), nullptr);
    const TPaintCall* number = FindText(*doc.Pages[1], "N.");
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(TextAt(*doc.Pages[1], "Spinta [N]").y, number->Points[0].y);
    EXPECT_NE(FindText(*doc.Pages.back(), "Nota 12."), nullptr);
    const AnsiString text = AllText(doc);
    EXPECT_NE(text.find("\n18.2\n"), AnsiString::npos);  // the last arm's second antenna

    TBitmap bitmap;
    TPreviewTarget preview(1000, 800, &bitmap);
    stampa.Preview = &preview;
    for (int page = 1; page < pages; ++page) EXPECT_EQ(stampa.PrintMastReport(true, page), 1) << page;
    EXPECT_EQ(stampa.PrintMastReport(true, pages), 0);
    EXPECT_EQ(Printer()->Documents().size(), 1u);

    // The preview learns the pages while stepping, then goes on to the lightning report.
    TDatiStampa options(nullptr);
    options.ShowReportData(&project);
    options.RCopNessuna->Checked = true;
    options.CRelSostegno->Checked = options.CRelScariche->Checked = true;
    TFAnteprima form(nullptr);
    form.Stampa = &stampa;
    form.Options = &options;
    form.StartPreview(&form);
    for (int page = 1; page <= pages; ++page) {
        EXPECT_EQ(form.Document, pdMastReport);
        EXPECT_EQ(form.Page, page);
        form.NextClick(nullptr);
    }
    EXPECT_EQ(form.Counts[pdMastReport], pages);
    EXPECT_EQ(form.Document, pdLightningReport);
    form.PreviousClick(nullptr);
    EXPECT_EQ(form.Document, pdMastReport);
    EXPECT_EQ(form.Page, pages);
}

class LightningReportTest : public ReportsTest {
protected:
    AnsiString Report(size_t pages) {
        const TPrintedDocument& doc = Job([&] { EXPECT_EQ(stampa.PrintLightningReport(0), 0); });
        EXPECT_EQ(doc.Pages.size(), pages);
        return AllText(doc);
    }
};

TEST_F(LightningReportTest, ShowsTheInputsAndFiguresOfTheLightningPages) {
    TFulmini& f = *project.Lightning;
    f.StructureKinds = (1 << 9) | (1 << 5);  // "Abitazione civile", "Commerciale"
    f.FireProvisions = 1 | 8;                // "Estintori", "Idranti"
    f.PersonsOutside = 1;
    f.L = 24, f.W = 12, f.H = 18;
    f.AerialLinesB = 1;
    f.BuriedLinesA = 2;
    f.Notes = "Verifica eseguita sulla base dei dati forniti dal committente.";
    f.Compute();
    TPaginaFulmini8110 page(nullptr);
    page.SetProject(&project);
    // The direct-flash evaluation of the mast data, complete.
    TPalo& m = Mast();
    m.StructureSelected[4] = 1;
    m.Length = 24, m.Width = 12, m.HeightWithout = 18, m.HeightWith = 22;
    TPaginaFulmini811 page811(nullptr);
    page811.SetProject(&project);
    ASSERT_FALSE(EvaluateLightning811(m).Insufficient);

    const AnsiString text = Report(2);  // the direct-flash part on a second page
    std::vector<AnsiString> expected = {"Relazione sull'autoprotezione dalle scariche atmosferiche",
                                        "Valutazione del rischio ai sensi della norma CEI EN 62305-2",
                                        "CEI 81.10-2 (EN 62305-2)",
                                        "Abitazione civile, Commerciale",
                                        "Estintori, Idranti",
                                        "Lunghezza 24 m, larghezza 12 m, altezza 18 m",
                                        "Linee energia fuori terra",
                                        "Verifica eseguita sulla base dei dati forniti dal committente.",
                                        "CEI 81-1 (Novembre 1995)",
                                        "B: Edificio uso civile",
                                        page.LabelEsitoRischio->Caption,
                                        page.LabelEsitoVerdetto->Caption,
                                        page811.LabelEsitoSenza->Caption,
                                        page811.LabelEsitoCon->Caption};
    for (TLabel* value :
         {page.ValoreLt, page.ValoreLf, page.ValoreRaFattore, page.ValoreRp, page.ValoreHz, page.ValoreRf,
          page.ValoreNg, page.ValoreCa, page.ValoreNd, page.ValoreRa, page.ValoreRb, page.ValoreRu,
          page.ValoreRv, page.ValoreR1, page.ValoreTollerabile, page.ValoreRuFattore,
          page811.ValoreSenzaAntenne, page811.ValoreConAntenne, page811.ValoreTollerabile})
        expected.push_back(value->Caption);
    for (int i = 0; i < 4; ++i)
        for (TLabel* value :
             {page.ValoreAl[i], page.ValoreNl[i], page.ValoreRuLinea[i], page.ValoreRvLinea[i]})
            expected.push_back(value->Caption);
    for (const AnsiString& e : expected) EXPECT_NE(text.find(e), AnsiString::npos) << e << "\n" << text;
}

TEST_F(LightningReportTest, MissingDataAreSaidAndGiveNoVerdict) {
    TFulmini& f = *project.Lightning;
    f.Surroundings = static_cast<int32_t>(LevelNone);
    f.Compute();
    ASSERT_NE(f.Insufficient, 0);
    const AnsiString text = Report(1);
    EXPECT_NE(text.find("Dati insufficienti"), AnsiString::npos);
    EXPECT_EQ(text.find("Protezione"), AnsiString::npos);
    EXPECT_EQ(text.find("Rischio R1 ="), AnsiString::npos);
    // Without complete mast data there is no direct-flash part.
    EXPECT_EQ(text.find("CEI 81-1"), AnsiString::npos);
}

TEST_F(ReportsTest, NotesAndNormsOfThePrintOptionsAreKeptInTheProject) {
    TDatiStampa options(nullptr);
    Mast().Text1 = "Nota del palo";
    options.ShowReportData(&project);
    EXPECT_EQ(options.MNoteSostegno->Text.Get(), "Nota del palo");
    EXPECT_EQ(options.ENormaSostegno->Text.Get(), DefaultMastNorm);
    EXPECT_EQ(options.ENormaFulmini->Text.Get(), DefaultLightningNorm);
    EXPECT_FALSE(options.StoreReportData(&project));
    EXPECT_FALSE(project.Modified);

    options.MNoteFulmini->Text = AnsiString(600, 'x');
    options.ENormaSostegno->Text = "CEI EN 60728-11";
    EXPECT_TRUE(options.StoreReportData(&project));
    EXPECT_TRUE(project.Modified);
    EXPECT_EQ(project.Lightning->Notes, AnsiString(LightningNotesMax, 'x'));
    EXPECT_EQ(Mast().MastNorm, "CEI EN 60728-11");
    EXPECT_FALSE(options.StoreReportData(&project));
    EXPECT_NE(MastReport(true).find("CEI EN 60728-11"), AnsiString::npos);
}

// What is typed on the tab reaches the report printed right after; "Annulla" keeps the project's.
TEST_F(ReportsTest, TheCombinedPrintKeepsTheNotesTypedUnlessCancelled) {
    TDatiStampa options(nullptr);
    TFAnteprima preview(nullptr);
    project.Lightning->Notes = "Nota del progetto";
    for (bool cancel : {true, false}) {
        SCOPED_TRACE(cancel);
        Printer()->ClearDocuments();
        Application->Script().AnswerShowModal<TDatiStampa>([&](TDatiStampa& o) {
            EXPECT_EQ(o.MNoteFulmini->Text.Get(), "Nota del progetto");
            o.MNoteFulmini->Text = "Nota nuova";
            o.RCopNessuna->Checked = true;
            o.CRelScariche->Checked = true;
            (cancel ? o.BAnnulla : o.BStampa)->Click();
        });
        RunCombinedPrint(stampa, options, preview);
        EXPECT_EQ(project.Lightning->Notes, cancel ? "Nota del progetto" : "Nota nuova");
        EXPECT_EQ(project.Modified, !cancel);
        ASSERT_EQ(Printer()->Documents().size(), cancel ? 0u : 1u);
        if (!cancel) EXPECT_NE(PageText(*LastDocument().Pages.back()).find("Nota nuova"), AnsiString::npos);
    }
}

}  // namespace
