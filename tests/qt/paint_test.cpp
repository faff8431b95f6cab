// Drawing through QPainter on bitmaps: the conventions of the canvas, pen
// modes, fonts and clipping.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <cstdlib>
#include <functional>
#include <vector>

#include "platform/graphics.h"
#include "platform/qt/qt_paint.h"

namespace {

std::vector<uint32_t> Snapshot(const TBitmap& b) {
    std::vector<uint32_t> px;
    for (int y = 0; y < b.Height; ++y)
        for (int x = 0; x < b.Width; ++x) px.push_back(static_cast<uint32_t>(b.Pixel(x, y)));
    return px;
}

void Pattern(TBitmap& b) {
    for (int y = 0; y < b.Height; ++y)
        for (int x = 0; x < b.Width; ++x) b.SetPixel(x, y, RGB(x * 7, y * 5, (x ^ y) * 3));
}

int CountOf(const TBitmap& b, TColor c, TRect area) {
    int n = 0;
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x) n += b.Pixel(x, y) == c;
    return n;
}

int CountNot(const TBitmap& b, TColor c, TRect area) {
    return area.Width() * area.Height() - CountOf(b, c, area);
}

}  // namespace

TEST(QtPaint, BitmapsDrawThroughQPainter) {
    TBitmap b(10, 10);
    EXPECT_NE(dynamic_cast<ovqt::TQtBitmapEngine*>(b.Canvas->Engine()), nullptr);
}

TEST(QtPaint, FiguresLeaveOutRightAndBottomEdgesAndLineEnds) {
    TBitmap b(20, 20);
    TCanvas* c = b.Canvas;
    c->Brush->Style = bsClear;
    c->Rectangle(2, 3, 9, 8);
    EXPECT_EQ(b.Pixel(2, 3), clBlack);
    EXPECT_EQ(b.Pixel(8, 7), clBlack);
    EXPECT_EQ(b.Pixel(9, 7), clWhite);
    EXPECT_EQ(b.Pixel(8, 8), clWhite);
    EXPECT_EQ(b.Pixel(5, 5), clWhite);  // clear brush: inside untouched
    c->MoveTo(2, 15);
    c->LineTo(12, 15);
    EXPECT_EQ(b.Pixel(2, 15), clBlack);
    EXPECT_EQ(b.Pixel(11, 15), clBlack);
    EXPECT_EQ(b.Pixel(12, 15), clWhite);
    EXPECT_EQ(CountOf(b, clBlack, TRect(0, 14, 20, 17)), 10);

    TBitmap f(20, 20);
    f.Canvas->Brush->Color = clRed;
    f.Canvas->FillRect(Rect(4, 4, 10, 9));
    EXPECT_EQ(CountOf(f, clRed, TRect(0, 0, 20, 20)), 6 * 5);
    f.Canvas->Brush->Color = clBlue;
    f.Canvas->Pen->Color = clLime;
    f.Canvas->Ellipse(0, 10, 10, 20);
    EXPECT_EQ(f.Pixel(5, 15), clBlue);    // filled inside
    EXPECT_EQ(f.Pixel(0, 15), clLime);    // outline on the left edge
    EXPECT_EQ(f.Pixel(10, 15), clWhite);  // right edge left out
}

TEST(QtPaint, ThinLinesKeepTheirFirstPointAndLeaveOutTheLastWhicheverWayTheyRun) {
    struct Case {
        TPoint from, to;
    } cases[] = {{{5, 8}, {5, 4}},   {{5, 4}, {5, 8}},   {{12, 3}, {4, 3}}, {{4, 3}, {12, 3}},
                 {{10, 10}, {3, 3}}, {{3, 3}, {10, 10}}, {{2, 12}, {9, 1}}};
    for (const Case& k : cases) {
        TBitmap b(16, 16);
        b.Canvas->MoveTo(k.from.x, k.from.y);
        b.Canvas->LineTo(k.to.x, k.to.y);
        EXPECT_EQ(b.Pixel(k.from.x, k.from.y), clBlack)
            << k.from.x << "," << k.from.y << " to " << k.to.x << "," << k.to.y;
        EXPECT_EQ(b.Pixel(k.to.x, k.to.y), clWhite)
            << k.from.x << "," << k.from.y << " to " << k.to.x << "," << k.to.y;
        const int length = std::max(std::abs(k.to.x - k.from.x), std::abs(k.to.y - k.from.y));
        EXPECT_EQ(CountOf(b, clBlack, TRect(0, 0, 16, 16)), length);
    }
}

TEST(QtPaint, PenWidthsAndStyles) {
    TBitmap b(60, 20);
    TCanvas* c = b.Canvas;
    c->Pen->Width = 3;
    c->MoveTo(5, 5);
    c->LineTo(50, 5);
    EXPECT_EQ(CountNot(b, clWhite, TRect(20, 0, 21, 20)), 3);
    c->Pen->Width = 1;
    c->Pen->Style = psDash;
    c->MoveTo(0, 15);
    c->LineTo(60, 15);
    int dark = CountOf(b, clBlack, TRect(0, 15, 60, 16));
    EXPECT_GT(dark, 30);
    EXPECT_LT(dark, 60);
    EXPECT_EQ(b.Pixel(0, 15), clBlack);
    EXPECT_EQ(b.Pixel(20, 15), clWhite);  // the first gap of a dash
    c->Pen->Style = psClear;
    c->MoveTo(0, 18);
    c->LineTo(60, 18);
    EXPECT_EQ(CountOf(b, clBlack, TRect(0, 18, 60, 19)), 0);
}

// Rubber bands: a figure drawn twice in XOR mode leaves what it crossed as it was.
TEST(QtPaint, XorFiguresDrawnTwiceRestoreThePixels) {
    struct Case {
        const char* name;
        std::function<void(TCanvas*)> draw;
    } cases[] = {
        {"line",
         [](TCanvas* c) {
             c->MoveTo(3, 4);
             c->LineTo(57, 33);
         }},
        {"wide line",
         [](TCanvas* c) {
             c->Pen->Width = 4;
             c->MoveTo(3, 30);
             c->LineTo(50, 2);
         }},
        {"rectangle",
         [](TCanvas* c) {
             c->Brush->Style = bsClear;
             c->Rectangle(5, 5, 40, 30);
         }},
        {"filled rectangle",
         [](TCanvas* c) {
             c->Brush->Color = clYellow;
             c->Rectangle(5, 5, 40, 30);
         }},
        {"ellipse",
         [](TCanvas* c) {
             c->Brush->Color = clAqua;
             c->Ellipse(10, 2, 55, 35);
         }},
        {"polyline",
         [](TCanvas* c) {
             c->Polyline({{2, 2}, {40, 2}, {40, 30}, {2, 30}, {2, 2}});
         }},
        {"dotted polygon",
         [](TCanvas* c) {
             c->Pen->Style = psDot;
             c->Polygon({{30, 1}, {58, 35}, {1, 35}});
         }},
        {"arc", [](TCanvas* c) { c->Arc(5, 5, 50, 35, 50, 20, 5, 20); }},
    };
    for (const Case& k : cases) {
        TBitmap b(60, 36);
        Pattern(b);
        std::vector<uint32_t> before = Snapshot(b);
        b.Canvas->Pen->Mode = pmXor;
        b.Canvas->Pen->Color = clWhite;
        k.draw(b.Canvas);
        EXPECT_NE(Snapshot(b), before) << k.name << ": the first drawing shows";
        k.draw(b.Canvas);
        EXPECT_EQ(Snapshot(b), before) << k.name << ": the second drawing restores";
    }
}

TEST(QtPaint, XorTouchesEachPixelOfAFigureOnce) {
    // Outline and filling of one figure do not cancel each other.
    TBitmap b(30, 30);
    b.Canvas->Pen->Mode = pmXor;
    b.Canvas->Pen->Color = clWhite;
    b.Canvas->Brush->Color = clWhite;
    b.Canvas->Rectangle(2, 2, 20, 20);
    EXPECT_EQ(CountOf(b, clBlack, TRect(0, 0, 30, 30)), 18 * 18);
    b.Canvas->Pen->Mode = pmNot;
    b.Canvas->Rectangle(2, 2, 20, 20);
    EXPECT_EQ(CountOf(b, clWhite, TRect(0, 0, 30, 30)), 30 * 30);
}

TEST(QtPaint, ClipRectangleKeepsDrawingInside) {
    TBitmap b(40, 40);
    b.Canvas->SetClipRect(Rect(10, 10, 20, 20));
    b.Canvas->Brush->Color = clRed;
    b.Canvas->FillRect(Rect(0, 0, 40, 40));
    b.Canvas->Font->Height = -30;
    b.Canvas->TextOut(0, 0, "WWW");
    EXPECT_EQ(CountNot(b, clWhite, TRect(0, 0, 40, 40)), 100);
    EXPECT_EQ(CountNot(b, clWhite, TRect(10, 10, 20, 20)), 100);
    b.Canvas->ReleaseClip();
    b.Canvas->FillRect(Rect(0, 0, 40, 40));
    EXPECT_EQ(CountOf(b, clRed, TRect(0, 0, 40, 40)), 40 * 40);
}

TEST(QtPaint, FontsResolveToMetricCompatibleFaces) {
    struct Case {
        const char* name;
        const char* family;
    } cases[] = {{"Arial", "Liberation Sans"}, {"Times New Roman", "Liberation Serif"}};
    for (const Case& k : cases) {
        TFontState f;
        f.Name = k.name;
        f.Height = -20;
        QFont q = ovqt::ToQFont(f);
        EXPECT_EQ(QFontInfo(q).family(), k.family) << k.name;
        EXPECT_EQ(QFontInfo(q).pixelSize(), 20) << k.name;
    }
}

TEST(QtPaint, TextIsMeasuredInItsFont) {
    TBitmap b(400, 100);
    TCanvas* c = b.Canvas;
    c->Font->Name = "Arial";
    c->Font->Height = -20;
    QFont arial("Liberation Sans");
    arial.setPixelSize(20);
    QFontMetrics fm(arial);
    EXPECT_EQ(c->TextWidth("Impianto d'antenna"), fm.horizontalAdvance("Impianto d'antenna"));
    EXPECT_EQ(c->TextHeight("Ag"), fm.height());
    EXPECT_GT(c->TextWidth("WWWW"), c->TextWidth("iiii"));
    int normal = c->TextWidth("Centralino");
    c->Font->Style = TFontStyles() << fsBold;
    EXPECT_GT(c->TextWidth("Centralino"), normal);
    // A positive height is the cell height: ascent and descent together.
    c->Font->Style = TFontStyles();
    c->Font->Height = 40;
    EXPECT_NEAR(c->TextHeight("Ag"), 40, 1);
    c->Font->Height = -40;
    EXPECT_GT(c->TextHeight("Ag"), 40);
}

TEST(QtPaint, TextIsDrawnInsideItsExtentWithTheBrushBehindIt) {
    TBitmap b(200, 60);
    TCanvas* c = b.Canvas;
    c->Font->Height = -24;
    c->Font->Color = clBlue;
    c->Brush->Style = bsClear;
    c->TextOut(10, 10, "Presa");
    TSize ext = c->TextExtent("Presa");
    TRect inside = Bounds(10, 10, ext.cx, ext.cy);
    EXPECT_GT(CountNot(b, clWhite, inside), 40);
    EXPECT_EQ(CountNot(b, clWhite, TRect(0, 0, 200, 60)), CountNot(b, clWhite, inside));
    EXPECT_GT(CountOf(b, clBlue, inside), 10);
    // An opaque brush fills the text's extent first.
    c->Brush->Color = clYellow;
    c->TextOut(10, 10, "Presa");
    EXPECT_GT(CountOf(b, clYellow, inside), ext.cx * ext.cy / 3);
    EXPECT_EQ(CountNot(b, clWhite, TRect(0, 0, 200, 60)), ext.cx * ext.cy);
    // TextRect clips the text to its rectangle.
    TBitmap r(200, 60);
    r.Canvas->Font->Height = -24;
    r.Canvas->Brush->Style = bsClear;
    r.Canvas->TextRect(Rect(10, 10, 30, 40), 10, 10, "Presa");
    EXPECT_GT(CountNot(r, clWhite, TRect(10, 10, 30, 40)), 10);
    EXPECT_EQ(CountNot(r, clWhite, TRect(30, 0, 200, 60)), 0);
}

TEST(QtPaint, BitmapsDrawOnBitmapsWithTheirTransparentColour) {
    TBitmap sign(4, 4);
    sign.Canvas->Brush->Color = clFuchsia;
    sign.Canvas->FillRect(Rect(0, 0, 4, 4));
    sign.SetPixel(1, 1, clGreen);
    sign.TransparentColor = clFuchsia;
    sign.Transparent = true;
    TBitmap b(20, 20);
    b.Canvas->Draw(5, 5, &sign);
    EXPECT_EQ(b.Pixel(6, 6), clGreen);
    EXPECT_EQ(b.Pixel(5, 5), clWhite);
    b.Canvas->StretchDraw(Rect(10, 10, 18, 18), &sign);
    EXPECT_EQ(CountOf(b, clGreen, TRect(10, 10, 18, 18)), 4);
    sign.Transparent = false;
    b.Canvas->Draw(0, 0, &sign);
    EXPECT_EQ(b.Pixel(0, 0), clFuchsia);
}

TEST(QtPaint, FloodFillAndPixels) {
    TBitmap b(20, 20);
    b.Canvas->Brush->Style = bsClear;
    b.Canvas->Rectangle(2, 2, 12, 12);
    b.Canvas->Brush->Color = clLime;
    b.Canvas->FloodFill(5, 5, clBlack, fsBorder);
    EXPECT_EQ(CountOf(b, clLime, TRect(0, 0, 20, 20)), 8 * 8);
    b.Canvas->Pixels[15][15] = clRed;
    EXPECT_EQ(static_cast<TColor>(b.Canvas->Pixels[15][15]), clRed);
}
