// The glyphs of the palette's tool buttons: small symbols of each family of
// components drawn on 25 x 25 bitmaps, and the pixel turns of "Ruota" and
// "Rifletti".
#include <cstring>
#include <functional>
#include <map>
#include <string>

#include "dialogs/component_palette.h"

namespace {

// The colour the button leaves out (the bottom-left pixel's).
constexpr TColor GlyphBack = RGB(255, 0, 255);
constexpr TColor Ink = clBlack;
constexpr TColor AmplifierFill = RGB(120, 200, 120);
constexpr TColor FilterFill = RGB(170, 200, 255);
constexpr TColor PassiveFill = RGB(230, 230, 230);
constexpr TColor OutletFill = RGB(255, 230, 150);
constexpr TColor SourceInk = RGB(0, 0, 160);

struct TPainter {
    TCanvas* c;
    void Pen(TColor colour = Ink, int width = 1) const {
        c->Pen->Color = colour;
        c->Pen->Width = width;
        c->Pen->Style = psSolid;
    }
    void Line(int x1, int y1, int x2, int y2, TColor colour = Ink, int width = 1) const {
        Pen(colour, width);
        c->MoveTo(x1, y1);
        c->LineTo(x2, y2);
    }
    void Poly(std::initializer_list<TPoint> points, TColor colour = Ink) const {
        Pen(colour);
        c->Polyline(points);
    }
    void Box(int x1, int y1, int x2, int y2, TColor fill = PassiveFill) const {
        Pen();
        c->Brush->Style = bsSolid;
        c->Brush->Color = fill;
        c->Rectangle(x1, y1, x2, y2);
    }
    void Shape(std::initializer_list<TPoint> points, TColor fill) const {
        Pen();
        c->Brush->Style = bsSolid;
        c->Brush->Color = fill;
        c->Polygon(points);
    }
    void Ring(int x1, int y1, int x2, int y2, TColor fill = clWhite) const {
        Pen();
        c->Brush->Style = bsSolid;
        c->Brush->Color = fill;
        c->Ellipse(x1, y1, x2, y2);
    }
    // The amplifier triangle pointing down, between a line in and a line out.
    void Amplifier(TColor fill = AmplifierFill) const {
        Line(12, 0, 12, 5);
        Shape({TPoint(3, 5), TPoint(21, 5), TPoint(12, 19)}, fill);
        Line(12, 19, 12, 25);
    }
    // A filter box on a vertical line, with its response curve inside.
    void Filter(std::initializer_list<TPoint> curve) const {
        Line(12, 0, 12, 4);
        Line(12, 20, 12, 25);
        Box(4, 4, 21, 21, FilterFill);
        Poly(curve);
    }
};

using TGlyphPainter = std::function<void(const TPainter&)>;

const std::map<std::string, TGlyphPainter>& Glyphs() {
    static const std::map<std::string, TGlyphPainter> glyphs = {
        {"BArrow",
         [](const TPainter& p) {
             p.Shape({TPoint(7, 3), TPoint(7, 19), TPoint(11, 15), TPoint(14, 22), TPoint(16, 21),
                      TPoint(13, 14), TPoint(18, 14)},
                     Ink);
         }},
        {"BEraser",
         [](const TPainter& p) {
             p.Shape({TPoint(4, 16), TPoint(13, 7), TPoint(20, 14), TPoint(11, 23)}, RGB(255, 160, 160));
             p.Shape({TPoint(4, 16), TPoint(8, 12), TPoint(15, 19), TPoint(11, 23)}, RGB(90, 90, 200));
         }},
        {"BLineaGrafica", [](const TPainter& p) { p.Line(4, 20, 20, 4, Ink, 2); }},
        {"BRettangoloGrafico",
         [](const TPainter& p) {
             p.Pen(Ink, 2);
             p.c->Brush->Style = bsClear;
             p.c->Rectangle(4, 6, 21, 19);
         }},
        {"BTesto",
         [](const TPainter& p) {
             p.Line(5, 5, 19, 5, Ink, 3);
             p.Line(12, 5, 12, 20, Ink, 3);
             p.Line(9, 20, 16, 20, Ink, 1);
         }},
        {"BSeparatoreCC",
         [](const TPainter& p) {
             p.Line(12, 0, 12, 10);
             p.Line(5, 10, 20, 10, Ink, 2);
             p.Line(5, 14, 20, 14, Ink, 2);
             p.Line(12, 14, 12, 25);
         }},
        {"BTerra",
         [](const TPainter& p) {
             p.Line(12, 2, 12, 12);
             p.Line(4, 12, 21, 12, Ink, 2);
             p.Line(7, 16, 18, 16, Ink, 2);
             p.Line(10, 20, 15, 20, Ink, 2);
         }},
        {"BAlimentatoreSF",
         [](const TPainter& p) {
             p.Box(3, 4, 22, 21, OutletFill);
             p.Poly({TPoint(6, 10), TPoint(8, 8), TPoint(10, 8), TPoint(12, 10), TPoint(14, 12),
                     TPoint(16, 12), TPoint(18, 10)});
             p.Line(6, 15, 19, 15);
             p.Line(6, 17, 19, 17);
         }},
        {"BAlimentatore",
         [](const TPainter& p) {
             p.Line(12, 0, 12, 25);
             p.Box(3, 6, 22, 19, OutletFill);
             p.Line(12, 6, 12, 19);
             p.Line(6, 12, 10, 12);
             p.Line(8, 10, 8, 14);
             p.Line(15, 12, 19, 12);
         }},
        {"BAttenuatore",
         [](const TPainter& p) {
             p.Line(12, 0, 12, 4);
             p.Line(12, 21, 12, 25);
             p.Box(6, 4, 19, 21);
             p.Poly({TPoint(12, 5), TPoint(9, 8), TPoint(15, 11), TPoint(9, 14), TPoint(15, 17),
                     TPoint(12, 20)});
         }},
        {"BAttenuatoreR",
         [](const TPainter& p) {
             p.Line(12, 0, 12, 4);
             p.Line(12, 21, 12, 25);
             p.Box(6, 4, 19, 21);
             p.Poly({TPoint(12, 5), TPoint(9, 8), TPoint(15, 11), TPoint(9, 14), TPoint(15, 17),
                     TPoint(12, 20)});
             p.Line(3, 20, 21, 4, clRed);
             p.Poly({TPoint(16, 4), TPoint(21, 4), TPoint(21, 9)}, clRed);
         }},
        {"BDivisore3",
         [](const TPainter& p) {
             p.Line(12, 0, 12, 6);
             p.Ring(6, 6, 19, 19, PassiveFill);
             p.Line(8, 17, 3, 25);
             p.Line(17, 17, 22, 25);
         }},
        {"BEqualizzatore",
         [](const TPainter& p) {
             p.Line(12, 0, 12, 4);
             p.Line(12, 21, 12, 25);
             p.Box(4, 4, 21, 21, FilterFill);
             p.Line(7, 17, 18, 8, Ink, 2);
         }},
        {"BDerivatore3",
         [](const TPainter& p) {
             p.Line(8, 0, 8, 25);
             p.Box(4, 7, 13, 18);
             p.Line(13, 12, 22, 12);
             p.Poly({TPoint(18, 9), TPoint(21, 12), TPoint(18, 15)});
         }},
        {"BDerivatoreN",
         [](const TPainter& p) {
             p.Line(8, 0, 8, 7);
             p.Box(4, 7, 13, 18);
             p.Line(13, 12, 22, 12);
             p.Poly({TPoint(18, 9), TPoint(21, 12), TPoint(18, 15)});
             p.Line(5, 21, 12, 21, Ink, 2);
         }},
        {"BDerivatoreS",
         [](const TPainter& p) {
             p.Line(8, 0, 8, 25);
             p.Box(4, 7, 13, 18);
             p.Line(13, 12, 17, 12);
             p.Line(17, 12, 22, 6);
             p.Line(17, 12, 22, 18);
         }},
        {"BSwitch4",
         [](const TPainter& p) {
             p.Box(2, 4, 23, 21, PassiveFill);
             for (int x : {7, 12, 17}) p.Line(x, 0, x, 25);
             p.Line(2, 9, 23, 9);
             p.Line(2, 16, 23, 16);
         }},
        {"BSwitchN",
         [](const TPainter& p) {
             for (int x : {7, 12, 17}) p.Line(x, 0, x, 4);
             p.Box(2, 4, 23, 19, PassiveFill);
             p.Line(2, 11, 23, 11);
             for (int x : {5, 10, 15, 20}) p.Line(x, 19, x, 25);
         }},
        {"BPresaT",
         [](const TPainter& p) {
             p.Line(12, 0, 12, 8);
             p.Ring(5, 8, 20, 23, OutletFill);
             p.Line(8, 15, 17, 15, Ink, 2);
         }},
        {"BPresaD",
         [](const TPainter& p) {
             p.Line(12, 0, 12, 8);
             p.Ring(5, 8, 20, 23, OutletFill);
             p.Line(12, 12, 12, 19, Ink, 2);
         }},
        {"BPresaP",
         [](const TPainter& p) {
             p.Line(12, 0, 12, 25);
             p.Ring(5, 6, 20, 21, OutletFill);
             p.Line(12, 6, 12, 21);
             p.Line(8, 13, 16, 13, Ink, 2);
         }},
        {"BMiscelatore",
         [](const TPainter& p) {
             p.Line(4, 0, 8, 7);
             p.Line(20, 0, 16, 7);
             p.Shape({TPoint(4, 7), TPoint(20, 7), TPoint(12, 18)}, PassiveFill);
             p.Line(12, 18, 12, 25);
         }},
        {"BDemiscelatore",
         [](const TPainter& p) {
             p.Line(12, 0, 12, 7);
             p.Shape({TPoint(12, 7), TPoint(20, 18), TPoint(4, 18)}, PassiveFill);
             p.Line(8, 18, 4, 25);
             p.Line(16, 18, 20, 25);
         }},
        {"BLinea", [](const TPainter& p) { p.Line(12, 0, 12, 25, Ink, 3); }},
        {"BInseritore",
         [](const TPainter& p) {
             p.Line(12, 0, 12, 25);
             p.Box(4, 6, 21, 19, OutletFill);
             p.Line(12, 6, 12, 19);
             p.Line(16, 10, 16, 16, clRed);
             p.Line(13, 13, 19, 13, clRed);
         }},
        {"BAngolo",
         [](const TPainter& p) {
             p.Poly({TPoint(12, 0), TPoint(12, 12), TPoint(25, 12)});
             p.Line(12, 0, 12, 12, Ink, 3);
             p.Line(12, 12, 25, 12, Ink, 3);
         }},
        {"BAmplificatore", [](const TPainter& p) { p.Amplifier(); }},
        {"BChiusura",
         [](const TPainter& p) {
             p.Line(12, 0, 12, 8);
             p.Box(8, 8, 17, 19, PassiveFill);
             p.Line(5, 22, 20, 22, Ink, 2);
             p.Line(12, 19, 12, 22);
         }},
        {"BAmplificatoreGR",
         [](const TPainter& p) {
             p.Amplifier();
             p.Line(3, 20, 20, 3, clRed);
             p.Poly({TPoint(15, 3), TPoint(20, 3), TPoint(20, 8)}, clRed);
         }},
        {"BAmplificatoreAt",
         [](const TPainter& p) {
             p.Line(12, 0, 12, 3);
             p.Shape({TPoint(1, 3), TPoint(23, 3), TPoint(12, 22)}, RGB(0, 130, 0));
             p.Line(12, 22, 12, 25, Ink, 2);
         }},
        {"BAmplificatoreA",
         [](const TPainter& p) {
             p.Amplifier();
             p.Poly({TPoint(18, 14), TPoint(22, 14), TPoint(22, 8), TPoint(19, 8)}, clRed);
         }},
        {"BFiltroPA",
         [](const TPainter& p) {
             p.Filter({TPoint(6, 18), TPoint(10, 18), TPoint(13, 8), TPoint(19, 8)});
         }},
        {"BFiltroPB",
         [](const TPainter& p) {
             p.Filter({TPoint(6, 8), TPoint(12, 8), TPoint(15, 18), TPoint(19, 18)});
         }},
        {"BFiltroP",
         [](const TPainter& p) {
             p.Filter({TPoint(6, 18), TPoint(9, 18), TPoint(11, 8), TPoint(14, 8), TPoint(16, 18),
                       TPoint(19, 18)});
         }},
        {"BFiltroS",
         [](const TPainter& p) {
             p.Filter(
                 {TPoint(6, 8), TPoint(9, 8), TPoint(11, 18), TPoint(14, 18), TPoint(16, 8), TPoint(19, 8)});
         }},
        {"BFiltroAT",
         [](const TPainter& p) {
             p.Filter({TPoint(6, 18), TPoint(9, 18), TPoint(11, 8), TPoint(14, 8), TPoint(16, 18),
                       TPoint(19, 18)});
             p.Shape({TPoint(15, 5), TPoint(20, 5), TPoint(17, 10)}, AmplifierFill);
         }},
        {"BFiltroCAG",
         [](const TPainter& p) {
             p.Filter({TPoint(6, 18), TPoint(9, 18), TPoint(11, 8), TPoint(14, 8), TPoint(16, 18),
                       TPoint(19, 18)});
             p.Shape({TPoint(15, 5), TPoint(20, 5), TPoint(17, 10)}, AmplifierFill);
             p.Poly({TPoint(6, 6), TPoint(10, 6)}, clRed);
         }},
        {"BTerrestre",
         [](const TPainter& p) {
             p.Amplifier(RGB(180, 230, 120));
             p.Poly({TPoint(8, 9), TPoint(10, 7), TPoint(12, 9), TPoint(14, 7), TPoint(16, 9)});
         }},
        {"BSat",
         [](const TPainter& p) {
             p.Shape({TPoint(5, 3), TPoint(19, 3), TPoint(15, 10), TPoint(9, 10)}, RGB(200, 200, 255));
             p.Box(8, 10, 17, 20, PassiveFill);
             p.Line(12, 20, 12, 25);
         }},
        {"BModulatore",
         [](const TPainter& p) {
             p.Box(3, 3, 22, 20, RGB(255, 210, 180));
             p.Poly({TPoint(5, 12), TPoint(7, 7), TPoint(9, 16), TPoint(11, 7), TPoint(13, 16), TPoint(15, 7),
                     TPoint(17, 16), TPoint(19, 12)});
             p.Line(12, 20, 12, 25);
         }},
        {"BConvertitore",
         [](const TPainter& p) {
             p.Line(12, 0, 12, 3);
             p.Box(3, 3, 22, 21, RGB(255, 210, 180));
             p.Line(6, 9, 18, 9);
             p.Poly({TPoint(15, 6), TPoint(18, 9), TPoint(15, 12)});
             p.Line(7, 16, 19, 16);
             p.Poly({TPoint(10, 13), TPoint(7, 16), TPoint(10, 19)});
             p.Line(12, 21, 12, 25);
         }},
        {"BRicevitoreSat",
         [](const TPainter& p) {
             p.Box(2, 9, 23, 20, PassiveFill);
             p.Line(5, 14, 12, 14, clGreen, 2);
             p.Pen(SourceInk);
             p.c->Arc(8, 0, 20, 12, 8, 6, 20, 6);
             p.Line(14, 6, 14, 9, SourceInk);
         }},
        {"BCentraleIntegrata",
         [](const TPainter& p) {
             p.Pen();
             p.c->Brush->Style = bsClear;
             p.c->Rectangle(2, 2, 21, 20);
             for (int x : {6, 11, 16}) p.Line(x, 1, x, 2);
             p.Line(11, 21, 11, 20);
             p.c->Font->Name = "Arial";
             p.c->Font->Height = -11;
             p.c->Font->Color = Ink;
             p.c->Brush->Style = bsClear;
             p.c->TextOut(7, 5, "H");
         }},
        {"BAntenna",
         [](const TPainter& p) {
             p.Line(12, 3, 12, 25, SourceInk, 2);
             p.Line(4, 5, 20, 5, SourceInk);
             p.Line(6, 9, 18, 9, SourceInk);
             p.Line(8, 13, 16, 13, SourceInk);
             p.Line(9, 17, 15, 17, SourceInk);
         }},
        {"BParabola",
         [](const TPainter& p) {
             p.Pen(SourceInk, 2);
             p.c->Arc(-8, 2, 14, 24, 2, 24, 2, 2);
             p.Line(3, 13, 17, 13, SourceInk);
             p.Box(16, 11, 21, 15, PassiveFill);
             p.Line(8, 20, 8, 25, SourceInk, 2);
         }},
        {"BCustom",
         [](const TPainter& p) {
             p.Box(3, 3, 22, 22, PassiveFill);
             p.Poly(
                 {TPoint(8, 9), TPoint(10, 6), TPoint(15, 6), TPoint(17, 9), TPoint(12, 13), TPoint(12, 16)});
             p.Line(12, 18, 12, 20, Ink, 2);
         }},
        {"BAncoraI",
         [](const TPainter& p) {
             p.Poly({TPoint(3, 4), TPoint(11, 15), TPoint(19, 4), TPoint(11, 10), TPoint(3, 4)});
             p.Line(11, 19, 11, 15);
         }},
        {"BAncoraO",
         [](const TPainter& p) {
             p.Poly({TPoint(3, 6), TPoint(11, 17), TPoint(19, 6), TPoint(11, 12), TPoint(3, 6)});
             p.Line(11, 3, 11, 12);
         }},
    };
    return glyphs;
}

}  // namespace

void DrawToolGlyph(int index, TBitmap& glyph) {
    const auto& glyphs = Glyphs();
    auto it = glyphs.find(ToolButtons()[static_cast<size_t>(index)].Name);
    if (it == glyphs.end()) {
        glyph.SetSize(0, 0);
        return;
    }
    glyph.SetSize(ToolGlyphSize, ToolGlyphSize);
    TCanvas* canvas = glyph.Canvas;
    canvas->Brush->Style = bsSolid;
    canvas->Brush->Color = GlyphBack;
    canvas->FillRect(TRect(0, 0, ToolGlyphSize, ToolGlyphSize));
    it->second(TPainter{canvas});
    glyph.TransparentColor = GlyphBack;
}

void TurnGlyph(TBitmap& glyph) {
    const int w = glyph.Width;
    if (w != glyph.Height || w == 0) return;
    TBitmap turned(w, w);
    turned.TransparentColor = glyph.TransparentColor.Get();
    for (int y = 0; y < w; ++y)
        for (int x = 0; x < w; ++x) turned.SetPixel(x, y, glyph.Pixel(y, w - 1 - x));
    glyph.Assign(turned);
}

void FlipGlyph(TBitmap& glyph, bool topToBottom) {
    const int w = glyph.Width;
    if (w != glyph.Height || w == 0) return;
    TBitmap flipped(w, w);
    flipped.TransparentColor = glyph.TransparentColor.Get();
    for (int y = 0; y < w; ++y)
        for (int x = 0; x < w; ++x)
            flipped.SetPixel(x, y, topToBottom ? glyph.Pixel(x, w - 1 - y) : glyph.Pixel(w - 1 - x, y));
    glyph.Assign(flipped);
}
