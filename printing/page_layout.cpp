// Page layout, page start and page frame shared by every producer.
#include <algorithm>
#include <cmath>

#include "core/band_systems.h"
#include "core/globals.h"
#include "core/levels.h"
#include "core/reporter.h"
#include "core/table_texts.h"
#include "document/project.h"
#include "document/report_pages.h"
#include "platform/printers.h"
#include "printing/documents.h"

namespace {

// The largest sheet the layout uses, in centimetres: 20.5 x 29.0 (turned in landscape).
constexpr long double SheetShortCm = 20.5L;
constexpr long double SheetLongCm = 29.0L;
constexpr long double InchPerCm = 1.0L / 2.54L;

// The smallest size a table text or a title is set at to keep it whole.
constexpr int SmallestRowTextPoints = 6;

void SetLineMeasures(TPrintPage& pp, int32_t kind, int32_t dpi) {
    pp.Dpi = dpi;
    pp.Margin = dpi / 5;
    pp.LineHeight = pp.Points(TPrintPage::LineHeightPoints(kind));
    pp.BodyTop = pp.Margin + pp.LineHeight;
}

bool Boxed(int32_t kind) { return kind == DocScheme || kind == DocMastReport || kind == DocLightningReport; }

}  // namespace

void TStampa::GetPageLayout(int32_t kind, int32_t page) {
    TPrintPage& pp = PrintPage;
    TPrinter* printer = Printer();
    SetLineMeasures(pp, kind, printer->PixelsPerInchX());
    const int32_t width = printer->PageWidth();
    const int32_t height = printer->PageHeight();
    pp.BodyBottom = height - 2 * pp.LineHeight - pp.Margin;
    pp.PageWidth = width;

    const bool landscape = printer->Orientation == poLandscape;
    const long double widest = landscape ? SheetLongCm : SheetShortCm;
    const long double tallest = landscape ? SheetShortCm : SheetLongCm;
    if (pp.Dpi > 0) {
        if (width * 2.54L / pp.Dpi > widest) pp.PageWidth = static_cast<int32_t>(pp.Dpi * widest * InchPerCm);
        if (height * 2.54L / pp.Dpi > tallest)
            pp.BodyBottom =
                static_cast<int32_t>(pp.Dpi * tallest * InchPerCm) - 2 * pp.LineHeight - pp.Margin;
    }

    pp.Canvas = printer->Canvas;
    pp.Scale = 1.0f;
    pp.PageNumber = 1;
    pp.PageToRender = page;
    if (page < 1 || !Preview || !Preview->Bitmap || width < 1 || height < 1) return;

    // The preview: laid out as the printed page (the printer's pixels, sheet
    // and measures), drawn scaled into the window. The side that sets the
    // scale takes the window's room exactly.
    pp.NewJob = 0;  // a preview is never part of a printer job
    const int32_t roomW = std::max(1, Preview->ClientWidth - 20);
    const int32_t roomH = std::max(1, Preview->ClientHeight - 80);
    const bool byWidth = static_cast<int64_t>(roomW) * height <= static_cast<int64_t>(roomH) * width;
    const double scale = byWidth ? double(roomW) / width : double(roomH) / height;
    const double imageW = byWidth ? double(roomW) : width * scale;
    const double imageH = byWidth ? height * scale : double(roomH);
    const int32_t w = std::max(1, static_cast<int32_t>(imageW));
    const int32_t h = std::max(1, static_cast<int32_t>(imageH));
    const int32_t top = static_cast<int32_t>((Preview->ClientHeight - imageH) * 0.5);
    const int32_t left = static_cast<int32_t>((Preview->ClientWidth - imageW) * 0.5);
    Preview->Image = TRect(left, top, left + w, top + h);

    TBitmap* bitmap = Preview->Bitmap;
    bitmap->SetSize(w, h);
    TCanvas* clear = bitmap->Canvas;
    clear->Brush->Style = bsSolid;
    clear->Brush->Color = clWhite;
    clear->FillRect(clear->ClipRect());

    Preview->Engine.Attach(bitmap->Canvas->Engine(), TSize{w, h}, TRect(0, 0, width, height),
                           printer->Measurer());
    TCanvas* canvas = &Preview->Canvas;
    canvas->ReleaseClip();
    canvas->PenPos = TPoint(0, 0);
    canvas->Font->PixelsPerInch = printer->PixelsPerInchY();
    pp.Canvas = canvas;
}

void TStampa::SetFont(int32_t points, TFontStyles style) {
    TFont* font = Canvas()->Font;
    font->Size = PrintPage.FontSize(points);
    font->Color = clBlack;
    font->Style = style;
}

void TStampa::TextAt(int32_t x, int32_t y, const AnsiString& text) { Canvas()->TextOut(x, y, text); }

void TStampa::TextRightAt(int32_t right, int32_t y, const AnsiString& text) {
    Canvas()->TextOut(right - Canvas()->TextWidth(text), y, text);
}

void TStampa::Centred(int32_t y, const AnsiString& text) {
    // A title wider than the page (a printer that prints less of the sheet)
    // is set a point smaller at a time until it fits.
    TFont* font = Canvas()->Font;
    const int size = font->Size;
    while (Canvas()->TextWidth(text) > PrintPage.PageWidth - 2 && font->Size > SmallestRowTextPoints)
        font->Size = font->Size - 1;
    Canvas()->TextOut((PrintPage.PageWidth - Canvas()->TextWidth(text)) / 2, y, text);
    font->Size = size;
}

void TStampa::Rule(int32_t y) {
    Canvas()->Pen->Color = clBlack;
    Canvas()->Pen->Width = 2;
    Canvas()->MoveTo(0, y);
    Canvas()->LineTo(PrintPage.PageWidth - 2, y);
}

namespace {

// The longest beginning of text, whole characters and trailing blanks
// dropped, that fits into room with the ellipsis after it; the ellipsis
// alone, or nothing, when no character fits.
AnsiString CutToRoom(TCanvas* canvas, const AnsiString& text, int32_t room) {
    static const AnsiString ellipsis = "\u2026";
    auto start = [&](size_t at) {  // back to the first byte of a character
        while (at > 0 && at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) --at;
        return at;
    };
    auto trimmed = [&](size_t n) {
        AnsiString head = text.substr(0, n);
        while (!head.empty() && head.back() == ' ') head.pop_back();
        return head + ellipsis;
    };
    if (canvas->TextWidth(ellipsis) > room) return AnsiString();
    size_t fits = 0, beyond = text.size();
    while (beyond - fits > 1) {
        const size_t mid = start(fits + (beyond - fits) / 2);
        if (mid <= fits) break;
        if (canvas->TextWidth(trimmed(mid)) <= room)
            fits = mid;
        else
            beyond = mid;
    }
    // A last multi-byte character between the two.
    for (size_t next = fits + 1; next < beyond; ++next)
        if (start(next) == next && canvas->TextWidth(trimmed(next)) <= room) fits = next;
    return trimmed(fits);
}

}  // namespace

AnsiString JoinedParts(std::initializer_list<AnsiString> parts) {
    AnsiString joined;
    for (const AnsiString& part : parts) {
        if (part.empty()) continue;
        if (!joined.empty()) joined += " - ";
        joined += part;
    }
    return joined;
}

void TStampa::PrintRowTexts(int32_t y, const std::vector<TRowText>& texts) {
    TCanvas* canvas = Canvas();
    const int32_t gap = PrintPage.Points(2);
    std::vector<int32_t> lefts(texts.size());
    for (size_t i = 0; i < texts.size(); ++i)
        lefts[i] = texts[i].Right ? texts[i].X - canvas->TextWidth(texts[i].Text) : texts[i].X;
    for (size_t i = 0; i < texts.size(); ++i) {
        const TRowText& t = texts[i];
        if (!t.Drawn || t.Text.empty()) continue;
        if (t.Right) {
            canvas->TextOut(lefts[i], y, t.Text);
            continue;
        }
        int32_t end = PrintPage.PageWidth - 2;
        for (size_t j = 0; j < texts.size(); ++j)
            if (j != i && !texts[j].Text.empty() && lefts[j] > t.X) end = std::min(end, lefts[j]);
        const int32_t room = end - gap - t.X;
        if (canvas->TextWidth(t.Text) <= room) {
            canvas->TextOut(t.X, y, t.Text);
            continue;
        }
        // A text that fits whole a few points smaller (a long article code)
        // is set smaller; any other is cut at its size.
        TFont* font = canvas->Font;
        const int size = font->Size;
        bool whole = false;
        for (int smaller = size - 1; smaller >= SmallestRowTextPoints && !whole; --smaller) {
            font->Size = smaller;
            whole = canvas->TextWidth(t.Text) <= room;
        }
        if (whole) canvas->TextOut(t.X, y, t.Text);
        font->Size = size;
        if (!whole) canvas->TextOut(t.X, y, CutToRoom(canvas, t.Text, room));
    }
}

bool TStampa::PageBreak(int32_t height, int32_t kind, int32_t flags) {
    TPrintPage& pp = PrintPage;
    if (pp.Y + height <= pp.BodyBottom) return true;
    ++pp.PageNumber;
    if (pp.PageToRender > 0 && pp.PageToRender < pp.PageNumber) return false;
    PrintTableHeader(kind, flags);
    return true;
}

void TStampa::PrintTableHeader(int32_t kind, int32_t flags) {
    TPrintPage& pp = PrintPage;
    TCanvas* canvas = Canvas();
    if (pp.NewJob) {
        pp.NewJob = 0;
    } else if (pp.PageToRender != 0) {
        canvas->Brush->Style = bsSolid;
        canvas->Brush->Color = clWhite;
        canvas->FillRect(canvas->ClipRect());
    } else {
        Printer()->NewPage();
    }
    PrintPageBackground();
    canvas->Font->Name = "Arial";
    canvas->Brush->Style = bsClear;

    const bool framed = (kind >= DocScheme && kind <= DocChannels) || kind == DocMastReport ||
                        kind == DocLightningReport || kind == DocLightningRisk;
    if (!framed) return;
    PrintPageFrame(kind, flags);
    const uint8_t* on = pp.Columns;
    switch (kind) {
    case DocMaterialList:
        SetFont(10);
        Centred(pp.Y, !(flags & ListNetwork)  ? "Tipologia del materiale della testata"
                      : (flags & ListHeadEnd) ? "Tipologia del materiale della rete e della testata"
                                              : "Tipologia del materiale della rete");
        pp.Y += pp.Points(16);
        SetFont(8);
        if (on[pcNumber]) TextAt(pp.NumberLeft, pp.Y, "Num.");
        if (on[pcCode]) TextAt(pp.CodeLeft, pp.Y, "Codice");
        if (on[pcArticle]) TextAt(pp.ArticleLeft, pp.Y, "Articolo");
        if (on[pcBrand]) TextAt(pp.BrandLeft, pp.Y, "Marca");
        if (on[pcMetres]) TextRightAt(pp.MinNoiseRight, pp.Y, "mt.");
        if (on[pcDescription]) TextAt(pp.DescriptionLeft, pp.Y, "Descrizione");
        if (on[pcNotes]) TextAt(pp.NotesLeft, pp.Y, (flags & ListCompressed) ? "Componenti" : "Note");
        break;
    case DocEstimate:
        SetFont(10);
        Centred(pp.Y, on[pcTotalPrice] ? "Preventivo di spesa" : "Capitolato");
        pp.Y += pp.Points(16);
        SetFont(8);
        if (on[pcCode]) TextAt(pp.CodeLeft, pp.Y, "Codice");
        if (on[pcArticle]) TextAt(pp.ArticleLeft, pp.Y, "Articolo");
        if (on[pcBrand]) TextAt(pp.BrandLeft, pp.Y, "Marca");
        if (on[pcDescription]) TextAt(pp.DescriptionLeft, pp.Y, "Descrizione");
        if (on[pcUnit]) TextAt(pp.UnitLeft, pp.Y, "U.M.");
        if (on[pcQuantity]) TextRightAt(pp.MaxSignalRight, pp.Y, "Quantità");
        if (on[pcUnitPrice]) TextRightAt(pp.MaxNoiseRight, pp.Y, "Prezzo U.");
        if (on[pcTotalPrice]) TextRightAt(pp.TotalPriceRight, pp.Y, "Prezzo T.");
        break;
    case DocSignals:
    case DocChannels: {
        // Bit 2: the head-end terminal's table; bit 1: the outlets'.
        static const char* const titles[2][3] = {
            {"Segnali minimi e massimi ottenibili alle prese [dB]",
             "Segnali minimi e massimi ammessi all'uscita del terminale di testa e ottenibili alle prese "
             "[dB]",
             HeadEndLimitsTitle},
            {"Canali in uscita dalle prese con relativi segnali e rumori",
             "Canali in uscita dal terminale di testa e dalle prese con relativi segnali e rumori",
             "Canali in uscita dal terminale di testa con relativi segnali e rumori"}};
        const int which = !(flags & 2) ? 0 : (flags & 1) ? 1 : 2;
        SetFont(14);
        Centred(pp.Y, titles[kind == DocChannels ? 1 : 0][which]);
        pp.Y += pp.Points(26);
        if (kind == DocSignals) {
            BandHeader();
            break;
        }
        SetFont(8);
        TextAt(pp.NumberLeft, pp.Y, "Componente");
        TextAt(pp.CodeLeft, pp.Y, "Canale");
        TextAt(pp.DescriptionLeft, pp.Y, "Descrizione");
        TextRightAt(pp.MinSignalRight, pp.Y, "S Min.");
        TextRightAt(pp.MaxSignalRight, pp.Y, "S Max.");
        TextRightAt(pp.MinNoiseRight, pp.Y, "C/N Min.");
        TextRightAt(pp.MaxNoiseRight, pp.Y, "C/N Max.");
        TextAt(pp.OriginLeft, pp.Y, "Provenienza");
        break;
    }
    case DocSeparations:
        SetFont(14);
        Centred(pp.Y, "Separazioni tra le prese [dB]");
        pp.Y += pp.Points(26);
        BandHeader();
        break;
    case DocMastReport:
    case DocLightningReport:
        SetFont(10);
        Centred(pp.Y, kind == DocMastReport ? "Relazione sul sostegno delle antenne"
                                            : "Relazione sull'autoprotezione dalle scariche atmosferiche");
        pp.Y += pp.Points(16);
        break;
    case DocLightningRisk:
        SetFont(12);
        Centred(pp.Y, "Relazione sull'autoprotezione dalle scariche atmosferiche");
        pp.Y += pp.Points(16);
        SetFont(10);
        Centred(pp.Y, "Valutazione del rischio ai sensi della norma CEI EN 62305-2");
        pp.Y += pp.Points(16);
        break;
    default: break;
    }
    if (kind >= DocMaterialList && kind <= DocChannels) {
        pp.Y += pp.LineHeight;
        Rule(pp.Y);
        pp.Y += 4;
    }
}

void TStampa::BandHeader() {
    TPrintPage& pp = PrintPage;
    SetFont(8);
    const TSistemaBande* bands = SistemaBandeCorrente;
    const int32_t count =
        bands ? std::min<int32_t>(bands->bandCount, static_cast<int32_t>(bands->bands.size())) : 0;
    TextAt(pp.NumberLeft, pp.Y, "Banda");
    for (int32_t i = 0; i < count; ++i)
        TextRightAt(pp.CodeLeft + i * pp.BandStep, pp.Y, bands->bands[i].bandName);
    pp.Y += pp.LineHeight;
    TextAt(pp.NumberLeft, pp.Y, "Freq. [MHz]");
    for (int32_t i = 0; i < count; ++i)
        TextRightAt(pp.CodeLeft + i * pp.BandStep, pp.Y, FormatLevelCellShort(bands->bands[i].reference));
}

void TStampa::PrintPageFrame(int32_t kind, int32_t /*flags*/) {
    TPrintPage& pp = PrintPage;
    TCanvas* canvas = Canvas();
    pp.Y = pp.BodyTop;
    const int32_t top = pp.BodyTop - pp.Margin;
    const int32_t bottom = pp.BodyBottom + pp.Margin;
    const int32_t right = pp.PageWidth - 2;
    const bool boxed = Boxed(kind);
    if (!boxed) {
        canvas->Pen->Width = 2;
        canvas->Pen->Color = clBlack;
        canvas->MoveTo(0, top);
        canvas->LineTo(right, top);
        canvas->MoveTo(right, bottom);
        canvas->LineTo(0, bottom);
    }
    SetFont(8);
    const AnsiString* texts = Project ? Project->HeaderTexts : nullptr;
    const int32_t left = pp.Points(18);
    // Name, street and city keep their separators when one is not given, as
    // the installer line below does.
    auto text = [texts](int i) { return texts ? texts[i] : AnsiString(); };
    TextAt(left, 0, "Committente: " + text(0) + " - " + text(1) + " - " + text(2));
    TextAt(left, bottom + 1, InstallerHeader ? InstallerHeader() : AnsiString());
    const int32_t fileLine = bottom + pp.Points(12) + 1;
    TextAt(left, fileLine,
           AnsiString(ApplicationTitle) + " - File " + FileBaseName(Project ? Project->Name : ""));
    if (boxed) {
        canvas->Pen->Width = 2;
        canvas->Polyline(
            {TPoint(0, top), TPoint(right, top), TPoint(right, bottom), TPoint(0, bottom), TPoint(0, top)});
    } else {
        TextRightAt(pp.PageWidth - 2, fileLine, "Pagina " + IntToStr(pp.PageNumber));
    }
}

void TStampa::PortraitPages(int32_t page) {
    if (page == 0 && !PrintPage.NewJob) Printer()->Orientation = poPortrait;
}

void TStampa::PrintJob(const std::function<void()>& body, TPrinterOrientation orientation) {
    TPrinter* printer = Printer();
    printer->Orientation = orientation;
    printer->Title = PrintJobTitle;
    printer->BeginDoc();
    if (!printer->Printing()) return;  // the device refused the document and said why
    PrintPage.NewJob = 1;
    body();
    printer->EndDoc();
    PrintPage.NewJob = 0;
}
