// The mast report ("Relazione sostegno") and the lightning report ("Relazione
// scariche atmosferiche"): the project's mast and lightning-risk data as the
// pages "Sostegno", "Fulmini 81.10-2" and "Fulmini 81.1" evaluate and show
// them, with the norm and the notes of each report. Both run over as many
// pages as they need.
#include <algorithm>
#include <cmath>
#include <vector>

#include "document/lightning.h"
#include "document/lightning_evaluation.h"
#include "document/lightning_texts.h"
#include "document/mast.h"
#include "document/mast_evaluation.h"
#include "document/project.h"
#include "platform/dialogs.h"
#include "platform/sysutils.h"
#include "platform/utf8.h"
#include "printing/documents.h"
#include "printing/paragraph.h"

using namespace lightning_texts;

namespace {

// Positions in points.
constexpr int32_t LeftPt = 36;        // the body's left edge
constexpr int32_t RightInsetPt = 36;  // the body's right edge from the page's
constexpr int32_t ValuePt = 170;      // where the value of a labelled line starts
constexpr int32_t TextPt = 9;         // body text
constexpr int32_t HeadingPt = 10;
constexpr int32_t ColumnTitlePt = 8;

// Header texts of the project the reports open with.
constexpr int HeaderCustomer = 0;
constexpr int HeaderAddress = 7;
constexpr int HeaderNumber = 8;
constexpr int HeaderPostcode = 12;
constexpr int HeaderMunicipality = 13;
constexpr int HeaderProvince = 14;

const char* const NoMastData =
    "Il progetto non descrive il sostegno delle antenne: sulla pagina \"Sostegno\" non ci sono né antenne né "
    "tronchi.";

template <size_t N>
AnsiString Choice(const char* const (&texts)[N], int32_t index) {
    return index >= 0 && index < static_cast<int32_t>(N) ? AnsiString(texts[index]) : AnsiString("-");
}

// The names of the boxes whose bits are set, joined by commas; "-" for none.
// A box is its name with its bit, or its name alone when its bit is its place.
AnsiString Ticked(const std::vector<std::pair<const char*, int>>& boxes, int32_t bits) {
    AnsiString out;
    for (const auto& [name, bit] : boxes)
        if ((bits >> bit) & 1) out += (out.empty() ? "" : ", ") + AnsiString(name);
    return out.empty() ? AnsiString("-") : out;
}
template <size_t N>
AnsiString Ticked(const std::pair<const char*, int> (&boxes)[N], int32_t bits) {
    return Ticked(std::vector<std::pair<const char*, int>>(std::begin(boxes), std::end(boxes)), bits);
}
template <size_t N>
AnsiString Ticked(const char* const (&names)[N], int32_t bits) {
    std::vector<std::pair<const char*, int>> boxes;
    for (size_t i = 0; i < N; ++i) boxes.push_back({names[i], static_cast<int>(i)});
    return Ticked(boxes, bits);
}

bool Given(float v) { return MastValueGiven(v); }

// The lines of a memo's text, without their line ends.
std::vector<AnsiString> TextLines(const AnsiString& text) {
    std::vector<AnsiString> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == AnsiString::npos) end = text.size();
        AnsiString line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    while (!lines.empty() && Trim(lines.back()).empty()) lines.pop_back();
    return lines;
}

}  // namespace

bool MastReportHasData(const TPalo* mast) {
    if (!mast) return false;
    if (mast->Antennas.Count() > 0) return true;
    for (const TTroncoPalo& t : mast->Sections)
        if (Given(t.Diameter) || Given(t.Thickness) || Given(t.Length)) return true;
    return false;
}

// The body of a report: labelled lines, headings, paragraphs and table rows,
// each after the page break its height asks for. Once a page break lies past
// the previewed page, nothing more is drawn.
struct TStampa::TReportWriter {
    // Lays out the report of that kind and begins its first page with the
    // project's heading and the report's norm.
    TReportWriter(TStampa& stampa, int32_t kind, int32_t page, const AnsiString& norm)
        : s(stampa), kind(kind) {
        TPrintPage& pp = PrintPage;
        s.PortraitPages(page);
        s.GetPageLayout(kind, page);
        pp.PageNumber = 1;
        s.PrintTableHeader(kind, 0);
        left = pp.Points(LeftPt);
        right = pp.PageWidth - pp.Points(RightInsetPt);
        value = pp.Points(ValuePt);
        ProjectHeading(s.Project);
        Field("Norma di riferimento:", norm);
    }
    int32_t P(int32_t points) const { return PrintPage.Points(points); }

    TStampa& s;
    int32_t kind;
    int32_t left = 0, right = 0, value = 0;
    bool stopped = false;

    TCanvas* Canvas() const { return s.Canvas(); }
    int32_t Line() const { return PrintPage.LineHeight; }

    bool Room(int32_t height) {
        if (!stopped && !s.PageBreak(height, kind, 0)) stopped = true;
        return !stopped;
    }
    // The lines a text takes set from x within [box left, right].
    int32_t LinesOf(const AnsiString& text, int32_t boxLeft, int32_t x) {
        int32_t y = 0;
        return std::max<int32_t>(
            1, LayoutParagraph(Canvas(), text, TRect(boxLeft, 0, right, 0), x, y, 1, false));
    }
    void Space() {
        if (!stopped) PrintPage.Y += Line() / 2;
    }
    // A heading with at least the next two lines under it on its page.
    void Heading(const AnsiString& text) {
        titles.clear();
        Space();
        if (!Room(3 * Line())) return;
        s.SetFont(HeadingPt, TFontStyles{fsBold});
        s.TextAt(left, PrintPage.Y, text);
        PrintPage.Y += Line();
        s.SetFont(TextPt);
    }
    // "label" at the left, the value from the value column (or after a
    // longer label), wrapped there.
    void Field(const AnsiString& label, const AnsiString& text) {
        s.SetFont(TextPt);
        const int32_t from = std::max(value, left + Canvas()->TextWidth(label) + PrintPage.Points(6));
        const bool empty = Trim(text).empty();
        const int32_t lines = empty ? 1 : LinesOf(text, from, from);
        if (!Room(lines * Line())) return;
        s.TextAt(left, PrintPage.Y, label);
        if (empty) {
            PrintPage.Y += Line();
            return;
        }
        int32_t x = from;
        PrintParagraph(Canvas(), text, TRect(from, 0, right, 0), x, PrintPage.Y, Line());
    }
    // A text across the body, justified, kept on one page.
    void Paragraph(const AnsiString& text, TFontStyles style = {}) {
        s.SetFont(TextPt, style);
        if (Trim(text).empty()) {
            if (Room(Line())) PrintPage.Y += Line();
            return;
        }
        if (!Room(LinesOf(text, left, left) * Line())) return;
        int32_t x = left;
        PrintParagraph(Canvas(), text, TRect(left, 0, right, 0), x, PrintPage.Y, Line());
        s.SetFont(TextPt);
    }
    // The column titles of a table, with its first row on their page; the
    // rows after a page break get them again, up to the next heading.
    void ColumnTitles(const std::vector<TRowText>& texts) {
        titles = texts;
        if (Room(2 * Line())) DrawTitles();
    }
    void DrawTitles() {
        s.SetFont(ColumnTitlePt, TFontStyles{fsBold});
        s.PrintRowTexts(PrintPage.Y, titles);
        PrintPage.Y += Line();
        s.SetFont(TextPt);
    }
    void Row(const std::vector<TRowText>& texts) {
        const int32_t page = PrintPage.PageNumber;
        if (!Room(Line())) return;
        if (PrintPage.PageNumber != page && !titles.empty()) DrawTitles();
        s.SetFont(TextPt);
        s.PrintRowTexts(PrintPage.Y, texts);
        PrintPage.Y += Line();
    }
    std::vector<TRowText> titles;
    // The project's customer, building and designer, each when given.
    void ProjectHeading(const TProgetto* project) {
        const AnsiString* t = project ? project->HeaderTexts : nullptr;
        if (!t) return;
        AnsiString building = t[HeaderAddress];
        if (!t[HeaderNumber].empty()) building += ", N. " + t[HeaderNumber];
        AnsiString town = Trim(t[HeaderPostcode] + " " + t[HeaderMunicipality]);
        if (!t[HeaderProvince].empty()) town += " (" + t[HeaderProvince] + ")";
        if (!town.empty()) building += (building.empty() ? "" : " - ") + town;
        const std::pair<const char*, AnsiString> lines[] = {{"Committente:", t[HeaderCustomer]},
                                                            {"Locazione edificio:", building},
                                                            {"Progettista:", t[HeaderDesigner]}};
        for (const auto& [label, text] : lines)
            if (!Trim(text).empty()) Field(label, text);
    }
    void Notes(const AnsiString& notes) {
        const std::vector<AnsiString> lines = TextLines(notes);
        if (lines.empty()) return;
        Heading("Note");
        for (const AnsiString& line : lines) Paragraph(line);
    }
};

int32_t TStampa::PrintMastReport(bool errors, int32_t page) {
    const TPalo* mast = Project ? Project->Mast.get() : nullptr;
    if (!mast) return -1;
    TReportWriter w(*this, DocMastReport, page, mast->MastNorm);
    auto P = [&w](int32_t points) { return w.P(points); };
    if (!MastReportHasData(mast)) {
        w.Space();
        w.Paragraph(NoMastData, TFontStyles{fsBold});
        return w.stopped ? 1 : 0;
    }

    const TValutazionePalo v = EvaluateMast(*mast);
    const double pressure = MastWindPressure(mast->WindClass);
    const double speed = MastWindSpeed(mast->WindClass);

    w.Heading("Condizioni ambientali");
    w.Field("Ambiente:", Choice(MastEnvironmentTexts, mast->Environment));
    w.Field("Vento:",
            Choice(MastWindTexts, mast->WindClass) + ", pressione " + FormatFloat("0", pressure) + " N/mq");
    w.Field("Sistema antenne:", Choice(MastSystemTexts, mast->AntennaSystem));
    const AnsiString ground = mast->Ground == -2   ? "Suolo ad ancoraggio basso"
                              : mast->Ground == -1 ? "Suolo ad ancoraggio alto"
                                                   : "Suolo libero";
    w.Field("Suolo:", ground);

    // The items from the foot upwards, numbered as the warnings number them;
    // the antennas of an arm under it.
    const int32_t right = w.right;
    const int32_t xNumber = w.left, xKind = P(LeftPt + 28), xBand = right - P(300),
                  xPolarity = right - P(250), xHeight = right - P(150), xGiven = right - P(135),
                  xForce = right;
    if (!mast->Antennas.Items.empty()) {
        w.Heading("Antenne sul sostegno");
        w.ColumnTitles({{xNumber, "N."},
                        {xKind, "Tipo"},
                        {xBand, "Banda"},
                        {xPolarity, "Polarità"},
                        {xHeight, "Quota [cm]", true},
                        {xGiven, "Resistenza vento"},
                        {xForce, "Spinta [N]", true}});
        auto row = [&](const AnsiString& number, const TDatiAntenna& item, const AnsiString& height) {
            bool known = true;
            const double force = ItemWindForce(item, pressure, speed, known);
            // A dish has neither band nor polarity on the mast page.
            const bool antenna = !item.IsArm() && item.Kind != MastDish;
            AnsiString given;
            if (!item.IsArm()) {
                if (Given(item.Area))
                    given = "Area " + FormatFloat("0.00", item.Area) + " mq";
                else if (Given(item.Force))
                    given =
                        "Forza " + FormatFloat("0", item.Force) + " N" +
                        (Given(item.WindOfForce) ? " a " + FormatFloat("0", item.WindOfForce) + " Km/h" : "");
                else if (item.Kind == MastDish && Given(item.Diameter))
                    given = "Diametro " + FormatFloat("0", item.Diameter) + " cm";
            }
            w.Row({{xNumber, number},
                   {xKind, MastItemKindText(item.Kind)},
                   {xBand, antenna && item.Band >= 0 ? Choice(MastBandTexts, item.Band) : AnsiString()},
                   {xPolarity, !antenna || item.Polarisation < 0
                                   ? AnsiString()
                                   : Choice(MastPolarisationTexts, item.Polarisation)},
                   {xHeight, height, true},
                   {xGiven, given},
                   {xForce, known ? FormatFloat("0.0", force) : AnsiString("non indicata"), true}});
        };
        for (size_t i = 0; i + 1 < v.Records.size() && !w.stopped; ++i) {
            const TRecordPalo& record = v.Records[i + 1];
            if (!record.Item) continue;
            const AnsiString number = IntToStr(static_cast<int>(i + 1));
            row(number, *record.Item, IntToStr(v.FootY - record.Y));
            int child = 0;
            for (const TDatiAntenna* c : {record.Item->FirstChild.get(), record.Item->SecondChild.get()})
                if (c && record.Item->IsArm()) row(number + "." + IntToStr(++child), *c, "");
        }
    }

    // The sections, each checked at its lowest exposed point.
    const int32_t count = std::clamp(mast->SectionCount, 1, MastSections);
    const int32_t xSection = w.left, xD = P(LeftPt + 95), xS = P(LeftPt + 140), xL = P(LeftPt + 185),
                  xInsertion = P(LeftPt + 255), xResistance = right - P(190), xLoad = right - P(95),
                  xOutcome = right - P(80);
    w.Heading("Dati sostegno");
    if (mast->Telescopic) w.Field("Tronchi:", "Tronchi telescopici");
    std::vector<TRowText> titles = {{xSection, "Tronco"},
                                    {xD, "d [mm]", true},
                                    {xS, "s [mm]", true},
                                    {xL, "l [m]", true},
                                    {xResistance, "M. resistente [N·m]", true},
                                    {xLoad, "M. flettente [N·m]", true},
                                    {xOutcome, "Esito"}};
    if (mast->Telescopic) titles.insert(titles.begin() + 4, {xInsertion, "Inserimento [cm]", true});
    w.ColumnTitles(titles);
    int32_t drawn = 0;
    for (int32_t k = 0; k < count && !w.stopped; ++k) {
        const TTroncoPalo& t = mast->Sections[k];
        const TTroncoLayout& s = v.Sections[k];
        auto measure = [](float value, const char* mask) {
            return value == LevelNone ? AnsiString("-") : FormatFloat(mask, value);
        };
        std::vector<TRowText> texts = {{xSection, IntToStr(k + 1) + "°"},
                                       {xD, measure(t.Diameter, "0.#"), true},
                                       {xS, measure(t.Thickness, "0.#"), true},
                                       {xL, measure(t.Length, "0.0#"), true}};
        if (mast->Telescopic && k > 0)
            texts.push_back({xInsertion,
                             Given(t.Insertion) ? FormatFloat("0", t.Insertion) : IntToStr(s.MinInsertion),
                             true});
        if (s.Drawn) {
            drawn = k + 1;
            texts.push_back({xResistance, FormatFloat("0.0", s.Resistance), true});
            texts.push_back({xLoad, FormatFloat("0.0", s.Load), true});
            texts.push_back({xOutcome, s.Fails() ? "non resiste" : "verificato"});
        } else {
            texts.push_back({xOutcome, "dati incompleti"});
        }
        w.Row(texts);
    }
    if (drawn > 0)
        w.Field("Altezza del sostegno:", FormatFloat("0", v.FootY - v.Sections[drawn - 1].Top) + " cm");
    if (!mast->Antennas.Items.empty())
        w.Field("Altezza richiesta:", FormatFloat("0", v.RequiredHeight) + " cm");

    w.Heading("Verifica a flessione");
    w.Paragraph(
        "La verifica considera il sostegno come una mensola incastrata al piede: per ogni tronco il momento "
        "flettente prodotto dalla spinta del vento sulle antenne e sui tubi sovrastanti, calcolato nel punto "
        "più basso esposto del tronco, è confrontato con il momento resistente del tubo in acciaio S235, con "
        "tensione ammissibile di " +
        FormatFloat("0.0", MastSteelYield / MastSteelFactor) +
        " N/mmq. La spinta sui tubi è calcolata con coefficiente di forma " +
        FormatFloat("0.0", MastDragCoefficient) + ".");

    w.Heading("Esito della verifica");
    if (drawn == 0)
        w.Paragraph("Il sostegno non è verificabile: mancano i dati dei tronchi.", TFontStyles{fsBold});
    else if (v.Warnings.empty())
        w.Paragraph(
            "Il sostegno è verificato: ogni tronco resiste alla spinta del vento e il sostegno raggiunge "
            "l'altezza richiesta dalle antenne.",
            TFontStyles{fsBold});
    else
        w.Paragraph("Il sostegno non è verificato.", TFontStyles{fsBold});
    if (errors)
        for (const AnsiString& warning : v.Warnings) w.Paragraph("- " + warning);

    w.Notes(mast->Text1);
    return w.stopped ? 1 : 0;
}

int32_t TStampa::PrintLightningReport(int32_t page) {
    const TFulmini* f = Project ? Project->Lightning.get() : nullptr;
    if (!f) return -1;
    TReportWriter w(*this, DocLightningRisk, page, f->Norm);
    auto P = [&w](int32_t points) { return w.P(points); };
    const bool missing = f->Insufficient != 0;
    auto factor = [](float v) { return FormatFloat(FactorMask, v); };
    auto risk = [missing](float v) { return missing ? AnsiString(NoResult) : FormatFloat(RiskMask, v); };
    auto size = [](int32_t v, const char* unit) {
        return v == static_cast<int32_t>(LevelNone) ? AnsiString("-") : IntToStr(v) + unit;
    };

    w.Heading("Dati della struttura");
    w.Field("Tipo struttura:", Ticked(StructureKindBoxes, f->StructureKinds));
    w.Field("Previste persone esterno:", f->PersonsOutside ? "sì" : "no");
    w.Field("Tipo suolo, pavimentazione:", Ticked(FloorKindBoxes, f->FloorKinds));
    const AnsiString provisions = Ticked(FireProvisionBoxes, f->FireProvisions);
    w.Field("Prevenzione incendi:", provisions == "-" ? AnsiString("nessuna") : provisions);
    AnsiString hazard = "-";
    for (const auto& [caption, value] : SpecialHazards)
        if (value == f->SpecialHazard) hazard = caption;
    w.Field("Pericolo particolare:", hazard);
    w.Field("Rischio di incendio:", Choice(FireRisks8110, f->FireRisk));
    w.Field("Coeff. amb.:", Choice(Surroundings8110, f->Surroundings));
    if (f->Flag) w.Field("Ipotesi essenziali:", "Danni impianti non arrecano pericolo vita");
    if (f->Parallelepiped) {
        w.Field("Struttura parallelepipeda:", "Lunghezza " + size(f->L, " m") + ", larghezza " +
                                                  size(f->W, " m") + ", altezza " + size(f->H, " m"));
    } else {
        w.Field("Struttura complessa", "");
    }
    w.Field("Area raccolta (Aa) [mq]:", size(f->Ad, ""));

    w.Heading("Servizi entranti");
    const int32_t right = w.right;
    const int32_t xCaption = w.left, xCount = P(LeftPt + 150), xAl = P(LeftPt + 220), xNl = P(LeftPt + 290),
                  xRu = P(LeftPt + 380), xRv = P(LeftPt + 460);
    w.ColumnTitles({{xCaption, ""},
                    {xCount, "N.", true},
                    {xAl, "Al", true},
                    {xNl, "Nl", true},
                    {xRu, "Ru", true},
                    {xRv, "Rv", true}});
    const int32_t lines[4] = {f->AerialLinesA, f->BuriedLinesA, f->AerialLinesB, f->BuriedLinesB};
    const float al[4] = {f->AlAerial, f->AlBuried, f->AlAerial, f->AlBuried};
    const float nl[4] = {f->NlAerial, f->NlBuried, f->NlAerial, f->NlBuried};
    const float ru[4] = {f->RuAerial, f->RuBuried, f->RuAerial, f->RuBuried};
    const float rv[4] = {f->RvAerial, f->RvBuried, f->RvAerial, f->RvBuried};
    for (int i = 0; i < 4; ++i)
        w.Row({{xCaption, LineCaptions[i]},
               {xCount, IntToStr(lines[i]), true},
               {xAl, FormatFloat("0", al[i]), true},
               {xNl, factor(nl[i]), true},
               {xRu, FormatFloat(RiskMask, ru[i]), true},
               {xRv, FormatFloat(RiskMask, rv[i]), true}});
    w.Field("Tipo suolo:", Ticked(LineSoilBoxes, f->LineSoilKinds));

    w.Heading("Fattori");
    const std::pair<const char*, float> factors[] = {
        {CaptionLt, f->Lt}, {CaptionLf, f->Lf}, {CaptionRa, f->ra}, {CaptionRp, f->rp}, {CaptionHz, f->hz},
        {CaptionRf, f->rf}, {"Ng", f->Ng},      {CaptionCa, f->Ca}, {"ru", f->ru}};
    for (const auto& [caption, value] : factors) w.Field(caption, factor(value));

    w.Heading("Calcoli");
    const std::pair<const char*, AnsiString> results[] = {
        {FormulaNd, risk(f->Nd)},
        {FormulaRa, risk(f->Ra)},
        {FormulaRb, risk(f->Rb)},
        {FormulaRu, risk(f->Ru)},
        {FormulaRv, risk(f->Rv)},
        {FormulaR1, risk(f->R1)},
        {TolerableRiskCaption, FormatFloat(RiskMask, TolerableRiskR1)}};
    for (const auto& [caption, value] : results) w.Field(caption, value);

    w.Heading("Esito analisi");
    if (missing) {
        w.Paragraph(InsufficientData, TFontStyles{fsBold});
    } else {
        w.Paragraph(RiskR1Caption + FormatFloat(RiskMask, f->R1));
        w.Paragraph(double(f->R1) > TolerableRiskR1 ? ProtectionNeeded : ProtectionNotNeeded,
                    TFontStyles{fsBold});
    }

    // The evaluation of direct flashes of "Fulmini 81.1", when its data are complete.
    const TPalo* mast = Project->Mast.get();
    const TEsitoFulmini811 e = mast ? EvaluateLightning811(*mast) : TEsitoFulmini811{};
    if (!e.Insufficient) {
        w.Heading("Frequenza di fulminazione diretta secondo la norma " + mast->LightningNorm);
        AnsiString kinds;
        for (int i = 0; i < StructureTypes; ++i)
            if (mast->StructureSelected[i]) kinds += (kinds.empty() ? "" : ", ") + StructureTypeCaption(i);
        w.Field("Tipo di struttura:", kinds);
        w.Field("Densità fulmini:", Choice(FlashDensities811, mast->FlashDensity));
        w.Field("Rischio di incendio:", Choice(FireRisks811, mast->FireRisk));
        w.Field("Coeff. amb.:", Choice(Environments811, mast->EnvironmentFactor));
        w.Field("Coeff. amb. con ant.:", Choice(Environments811, mast->EnvironmentFactorWithAntennas));
        w.Field("Area raccolta senza antenne [mq]:", IntToStr(e.AreaWithout));
        w.Field("Area raccolta con antenne [mq]:", IntToStr(e.AreaWith));
        w.Field("Freq. fulminazione diretta senza ant. [fulmini/anno]:",
                FormatFloat(FrequencyMask, e.FrequencyWithout));
        w.Field("Freq. fulminazione diretta con ant. [fulmini/anno]:",
                FormatFloat(FrequencyMask, e.FrequencyWith));
        w.Field("Freq. fulminazione tollerabile [fulmini/anno]:",
                FormatFloat(FrequencyMask, e.TolerableFrequency));
        w.Paragraph(SelfProtection811[0][e.SelfProtectedWithout], TFontStyles{fsBold});
        w.Paragraph(SelfProtection811[1][e.SelfProtectedWith], TFontStyles{fsBold});
    }

    w.Notes(f->Notes);
    return w.stopped ? 1 : 0;
}

void TStampa::PrintMastReportCommand(TPrintDialog* dialog, bool errors) {
    if (AskPrinter(dialog, "Relazione sostegno")) PrintJob([&] { PrintMastReport(errors, 0); });
}

void TStampa::PrintLightningReportCommand(TPrintDialog* dialog) {
    if (AskPrinter(dialog, "Relazione scariche atmosferiche")) PrintJob([&] { PrintLightningReport(0); });
}
