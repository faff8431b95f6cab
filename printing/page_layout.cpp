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

// The text broken at blanks into lines no wider than room; a word wider
// than room alone is cut and ended by the ellipsis.
std::vector<AnsiString> WrappedLines(TCanvas* canvas, const AnsiString& text, int32_t room) {
    std::vector<AnsiString> lines;
    AnsiString line;
    size_t at = 0;
    while (at < text.size()) {
        const size_t blank = text.find(' ', at);
        const AnsiString word = text.substr(at, blank == AnsiString::npos ? AnsiString::npos : blank - at);
        at = blank == AnsiString::npos ? text.size() : blank + 1;
        if (word.empty()) continue;
        const AnsiString longer = line.empty() ? word : line + " " + word;
        if (line.empty() || canvas->TextWidth(longer) <= room) {
            line = longer;
        } else {
            lines.push_back(line);
            line = word;
        }
    }
    lines.push_back(line);
    for (AnsiString& l : lines)
        if (canvas->TextWidth(l) > room) l = CutToRoom(canvas, l, room);
    return lines;
}

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

int32_t TStampa::Centred(int32_t y, const AnsiString& text) {
    TCanvas* canvas = Canvas();
    TFont* font = canvas->Font;
    const int size = font->Size;
    // Centred on the page as a whole, inside the margins on either side.
    const int32_t room = PrintPage.TextRight() - PrintPage.TextLeft() - 2;
    const int smallest = std::max(SmallestRowTextPoints, size * 3 / 4);
    while (canvas->TextWidth(text) > room && font->Size > smallest) font->Size = font->Size - 1;
    const std::vector<AnsiString> lines = WrappedLines(canvas, text, room);
    const int32_t step = canvas->TextHeight("Ag");
    int32_t at = y;
    for (const AnsiString& line : lines) {
        canvas->TextOut((PrintPage.PageWidth - canvas->TextWidth(line)) / 2, at, line);
        at += step;
    }
    font->Size = size;
    return at - step - y;
}

void TStampa::Rule(int32_t y) {
    Canvas()->Pen->Color = clBlack;
    Canvas()->Pen->Width = 2;
    Canvas()->MoveTo(0, y);
    Canvas()->LineTo(PrintPage.PageWidth - 2, y);
}

AnsiString JoinedParts(std::initializer_list<AnsiString> parts) {
    AnsiString joined;
    for (const AnsiString& part : parts) {
        if (part.empty()) continue;
        if (!joined.empty()) joined += " - ";
        joined += part;
    }
    return joined;
}

void TStampa::PrintRowTexts(int32_t y, const std::vector<TRowText>& texts, int32_t right) {
    TCanvas* canvas = Canvas();
    TFont* font = canvas->Font;
    const int size = font->Size;
    const TColor colour = font->Color;
    const int32_t gap = PrintPage.Points(TPrintPage::ColumnGapPoints);
    const int32_t first = PrintPage.TextLeft();
    const int32_t last = right >= 0 ? right : PrintPage.TextRight();
    const size_t count = texts.size();
    auto shown = [&](size_t i) { return !texts[i].Text.empty(); };
    // The largest size up to the row's at which the text fits into room;
    // 0 when it fits at none down to the smallest.
    auto fitting = [&](const AnsiString& text, int32_t room) {
        for (int points = size; points >= SmallestRowTextPoints; --points) {
            font->Size = points;
            if (canvas->TextWidth(text) <= room) {
                font->Size = size;
                return points;
            }
        }
        font->Size = size;
        return 0;
    };
    auto widthAt = [&](const AnsiString& text, int points) {
        font->Size = points;
        const int32_t width = canvas->TextWidth(text);
        font->Size = size;
        return width;
    };

    // The numbers first: each ends at its place and keeps clear of every
    // text whose place is to its left, set smaller when it must.
    std::vector<int> sizes(count, size);
    std::vector<int32_t> lefts(count);
    for (size_t i = 0; i < count; ++i) {
        const TRowText& t = texts[i];
        lefts[i] = t.X;
        if (!t.Right || !shown(i)) continue;
        int32_t from = first;
        for (size_t j = 0; j < count; ++j)
            if (j != i && shown(j) && texts[j].X < t.X) from = std::max(from, texts[j].X + gap);
        const int points = fitting(t.Text, t.X - from);
        sizes[i] = points > 0 ? points : SmallestRowTextPoints;
        lefts[i] = t.X - widthAt(t.Text, sizes[i]);
    }
    // Then the texts that begin at their place: each ends a gap before the
    // next text that stands to its right.
    std::vector<AnsiString> drawn(count);
    for (size_t i = 0; i < count; ++i) {
        const TRowText& t = texts[i];
        drawn[i] = t.Text;
        if (t.Right || !shown(i)) continue;
        int32_t end = last;
        for (size_t j = 0; j < count; ++j)
            if (j != i && shown(j) && lefts[j] > t.X) end = std::min(end, lefts[j] - gap);
        const int32_t room = end - t.X;
        if (canvas->TextWidth(t.Text) <= room) continue;
        // A text that fits whole a few points smaller (a long article code)
        // is set smaller; any other is cut at its size.
        const int points = fitting(t.Text, room);
        if (points > 0)
            sizes[i] = points;
        else
            drawn[i] = CutToRoom(canvas, t.Text, room);
    }
    for (size_t i = 0; i < count; ++i) {
        if (!texts[i].Drawn || drawn[i].empty()) continue;
        font->Size = sizes[i];
        font->Color = texts[i].Colour == clNone ? colour : texts[i].Colour;
        canvas->TextOut(lefts[i], y, drawn[i]);
    }
    font->Size = size;
    font->Color = colour;
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
        pp.Y += Centred(pp.Y, !(flags & ListNetwork)  ? "Tipologia del materiale della testata"
                              : (flags & ListHeadEnd) ? "Tipologia del materiale della rete e della testata"
                                                      : "Tipologia del materiale della rete");
        pp.Y += pp.Points(16);
        SetFont(8);
        PrintRowTexts(pp.Y, {{pp.NumberLeft, on[pcNumber] ? "Num." : ""},
                             {pp.CodeLeft, on[pcCode] ? "Codice" : ""},
                             {pp.ArticleLeft, on[pcArticle] ? "Articolo" : ""},
                             {pp.BrandLeft, on[pcBrand] ? "Marca" : ""},
                             {pp.MinNoiseRight, on[pcMetres] ? "mt." : "", true},
                             {pp.DescriptionLeft, on[pcDescription] ? "Descrizione" : ""},
                             {pp.NotesLeft, !on[pcNotes]               ? ""
                                            : (flags & ListCompressed) ? "Componenti"
                                                                       : "Note"}});
        break;
    case DocEstimate:
        SetFont(10);
        pp.Y += Centred(pp.Y, on[pcTotalPrice] ? "Preventivo di spesa" : "Capitolato");
        pp.Y += pp.Points(16);
        SetFont(8);
        PrintRowTexts(pp.Y, {{pp.CodeLeft, on[pcCode] ? "Codice" : ""},
                             {pp.ArticleLeft, on[pcArticle] ? "Articolo" : ""},
                             {pp.BrandLeft, on[pcBrand] ? "Marca" : ""},
                             {pp.DescriptionLeft, on[pcDescription] ? "Descrizione" : ""},
                             {pp.UnitLeft, on[pcUnit] ? "U.M." : ""},
                             {pp.MaxSignalRight, on[pcQuantity] ? "Quantità" : "", true},
                             {pp.MaxNoiseRight, on[pcUnitPrice] ? "Prezzo U." : "", true},
                             {pp.TotalPriceRight, on[pcTotalPrice] ? "Prezzo T." : "", true}});
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
        pp.Y += Centred(pp.Y, titles[kind == DocChannels ? 1 : 0][which]);
        pp.Y += pp.Points(26);
        if (kind == DocSignals) {
            BandHeader();
            break;
        }
        SetFont(8);
        PrintRowTexts(pp.Y, {{pp.NumberLeft, "Componente"},
                             {pp.CodeLeft, "Canale"},
                             {pp.DescriptionLeft, "Descrizione"},
                             {pp.MinSignalRight, "S Min.", true},
                             {pp.MaxSignalRight, "S Max.", true},
                             {pp.MinNoiseRight, "C/N Min.", true},
                             {pp.MaxNoiseRight, "C/N Max.", true},
                             {pp.OriginLeft, "Provenienza"}});
        break;
    }
    case DocSeparations:
        SetFont(14);
        pp.Y += Centred(pp.Y, "Separazioni tra le prese [dB]");
        pp.Y += pp.Points(26);
        BandHeader();
        break;
    case DocMastReport:
    case DocLightningReport:
        SetFont(10);
        pp.Y += Centred(pp.Y, kind == DocMastReport
                                  ? "Relazione sul sostegno delle antenne"
                                  : "Relazione sull'autoprotezione dalle scariche atmosferiche");
        pp.Y += pp.Points(16);
        break;
    case DocLightningRisk:
        SetFont(12);
        pp.Y += Centred(pp.Y, "Relazione sull'autoprotezione dalle scariche atmosferiche");
        pp.Y += pp.Points(16);
        SetFont(10);
        pp.Y += Centred(pp.Y, "Valutazione del rischio ai sensi della norma CEI EN 62305-2");
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
    std::vector<TRowText> names{{pp.NumberLeft, "Banda"}}, frequencies{{pp.NumberLeft, "Freq. [MHz]"}};
    for (int32_t i = 0; i < count; ++i) {
        const int32_t right = pp.CodeLeft + i * pp.BandStep;
        names.push_back({right, bands->bands[i].bandName, true});
        frequencies.push_back({right, FormatLevelCellShort(bands->bands[i].reference), true});
    }
    PrintRowTexts(pp.Y, names);
    pp.Y += pp.LineHeight;
    PrintRowTexts(pp.Y, frequencies);
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
    // The frame's lines run up to its right end; the file's name ends
    // before the page number.
    PrintRowTexts(0, {{left, "Committente: " + text(0) + " - " + text(1) + " - " + text(2)}}, right);
    PrintRowTexts(bottom + 1, {{left, InstallerHeader ? InstallerHeader() : AnsiString()}}, right);
    const int32_t fileLine = bottom + pp.Points(12) + 1;
    PrintRowTexts(
        fileLine,
        {{left, AnsiString(ApplicationTitle) + " - File " + FileBaseName(Project ? Project->Name : "")},
         {right, boxed ? AnsiString() : "Pagina " + IntToStr(pp.PageNumber), true}},
        right);
    if (boxed) {
        canvas->Pen->Width = 2;
        canvas->Polyline(
            {TPoint(0, top), TPoint(right, top), TPoint(right, bottom), TPoint(0, bottom), TPoint(0, top)});
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
