// Colours, fonts, the canvas and its two engines, bitmaps and BMP files.
#include "platform/graphics.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/engines.h"

namespace {

std::vector<uint32_t> Snapshot(const TBitmap& b) {
    std::vector<uint32_t> px;
    for (int y = 0; y < b.Height; ++y)
        for (int x = 0; x < b.Width; ++x) px.push_back(static_cast<uint32_t>(b.Pixel(x, y)));
    return px;
}

// A bitmap with a pattern, so that XOR over it is not over a flat colour.
void Pattern(TBitmap& b) {
    for (int y = 0; y < b.Height; ++y)
        for (int x = 0; x < b.Width; ++x) b.SetPixel(x, y, RGB(x * 7, y * 5, (x ^ y) * 3));
}

int CountColour(const TBitmap& b, TColor c) {
    int n = 0;
    for (int y = 0; y < b.Height; ++y)
        for (int x = 0; x < b.Width; ++x) n += b.Pixel(x, y) == c;
    return n;
}

}  // namespace

TEST(Colours, NamedValuesAreBlueGreenRed) {
    EXPECT_EQ(clRed, 0x0000FF);
    EXPECT_EQ(clBlue, 0xFF0000);
    EXPECT_EQ(RGB(255, 255, 175), 0xAFFFFF);
    EXPECT_EQ(GetRValue(RGB(1, 2, 3)), 1);
    EXPECT_EQ(GetBValue(RGB(1, 2, 3)), 3);
    // System colours resolve to fixed values, plain colours to themselves.
    EXPECT_EQ(ColorToRGB(clWindow), clWhite);
    EXPECT_EQ(ColorToRGB(clInfoBk), RGB(255, 255, 225));
    EXPECT_EQ(ColorToRGB(RGB(9, 8, 7)), RGB(9, 8, 7));
    EXPECT_EQ(ColorToString(clRed), "clRed");
    EXPECT_EQ(ColorToString(RGB(255, 255, 175)), "$00AFFFFF");
}

TEST(Geometry, RectanglesAndMulDiv) {
    EXPECT_EQ(IntersectRect(Rect(0, 0, 10, 10), Rect(5, 5, 20, 20)), Rect(5, 5, 10, 10));
    EXPECT_TRUE(IntersectRect(Rect(0, 0, 10, 10), Rect(10, 0, 20, 10)).IsEmpty());
    EXPECT_EQ(Bounds(3, 4, 10, 20), Rect(3, 4, 13, 24));
    EXPECT_FALSE(Rect(0, 0, 10, 10).Contains(Point(10, 5)));  // right edge is outside
    struct {
        int a, b, c, want;
    } cases[] = {{8, 96, 72, 11},
                 {8, 600, 72, 67},
                 {-11, 72, 96, -8},
                 {1, 1, 2, 1},
                 {-1, 1, 2, -1},
                 {5, 5, 0, -1},
                 {2147483647, 72, 1, -1},
                 {-2147483647 - 1, 96, 72, -1},
                 {-2147483647 - 1, 1, 1, -1}};
    for (auto& k : cases) EXPECT_EQ(MulDiv(k.a, k.b, k.c), k.want) << k.a << "*" << k.b << "/" << k.c;
    // A size from a damaged file gives some font, never an overflow.
    TFont f;
    f.Size = -2147483647 - 1;
    EXPECT_EQ(f.Height, 1);
}

TEST(Fonts, SizeAndHeightFollowEachOtherAtTheFontsResolution) {
    TFont f;
    int changes = 0;
    f.OnChange = [&](TObject*) { ++changes; };
    f.Size = 10;
    EXPECT_EQ(f.Height, -13);
    f.Height = -16;
    EXPECT_EQ(f.Size, 12);
    f.PixelsPerInch = 600;
    EXPECT_EQ(f.Height, -16);  // the height stays, the size follows
    EXPECT_EQ(f.Size, 2);
    EXPECT_EQ(changes, 3);
    f.Size = 2;  // unchanged: no event
    EXPECT_EQ(changes, 3);
}

TEST(Fonts, AssignAcrossResolutionsKeepsThePointSize) {
    TFont screen;
    screen.Name = "Times New Roman";
    screen.Size = 8;
    screen.Style = TFontStyles() << fsBold;
    screen.Color = clRed;
    TFont printer;
    printer.PixelsPerInch = 600;
    printer.Assign(screen);
    EXPECT_EQ(printer.Name, "Times New Roman");
    EXPECT_EQ(printer.Size, 8);
    EXPECT_EQ(printer.Height, -67);
    EXPECT_TRUE(printer.Style->Contains(fsBold));
    EXPECT_EQ(printer.Color, clRed);
}

TEST(Brushes, SettingTheColourOfAClearBrushMakesItSolid) {
    TBrush b;
    b.Style = bsClear;
    b.Color = clBlack;
    EXPECT_EQ(b.Style, bsSolid);
    b.Style = bsClear;  // restoring clear after the colour keeps it clear
    EXPECT_EQ(b.Style, bsClear);
    EXPECT_EQ(b.Color, clBlack);
}

TEST(TextMetrics, AreDeterministicAndScaleWithTheHeight) {
    TFontState f;
    f.Height = -11;
    EXPECT_EQ(TTextMetrics::Extent(f, "MM").cx, 18);
    EXPECT_EQ(TTextMetrics::Extent(f, "").cx, 0);
    EXPECT_EQ(TTextMetrics::Extent(f, "Err").cy, 13);
    f.Height = -22;
    EXPECT_EQ(TTextMetrics::Extent(f, "MM").cx, 37);
    // An accented letter is one character, not two bytes' worth.
    f.Height = -11;
    EXPECT_EQ(TTextMetrics::Extent(f, "è").cx, TTextMetrics::Extent(f, "e").cx);
    f.Style = TFontStyles() << fsBold;
    EXPECT_GT(TTextMetrics::Extent(f, "Componente").cx, TTextMetrics::Extent(TFontState{}, "Componente").cx);
    // A broken UTF-8 sequence is measured, never read past.
    EXPECT_GT(TTextMetrics::Extent(f, AnsiString("a\xC3")).cx, 0);
}

// ---------------------------------------------------------------- recording engine

TEST(RecordingEngine, KeepsEveryCallWithPenBrushFontAndClip) {
    TRecordingEngine rec(Rect(0, 0, 200, 100));
    TCanvas c(&rec);
    c.Pen->Color = clRed;
    c.Pen->Width = 2;
    c.Pen->Mode = pmXor;
    c.MoveTo(10, 10);
    c.LineTo(50, 10);
    c.Brush->Style = bsClear;
    c.Pen->Mode = pmCopy;
    c.Pen->Style = psDot;
    c.Rectangle(5, 5, 40, 30);
    c.SetClipRect(Rect(0, 0, 42, 42));
    c.Font->Name = "Arial";
    c.Font->Height = -8;
    c.Font->Color = clRed;
    c.TextOut(25, 0, "Err");
    c.ReleaseClip();
    c.Brush->Color = RGB(255, 255, 175);
    c.FillRect(Rect(0, 0, 42, 42));

    ASSERT_EQ(rec.Calls.size(), 4u);
    const TPaintCall& line = rec.Calls[0];
    EXPECT_EQ(line.Op, TPaintOp::Line);
    EXPECT_EQ(line.Points, (std::vector<TPoint>{{10, 10}, {50, 10}}));
    EXPECT_EQ(line.State.Pen, (TPenState{clRed, 2, psSolid, pmXor}));
    EXPECT_EQ(line.State.Clip, Rect(0, 0, 200, 100));

    const TPaintCall& rect = rec.Calls[1];
    EXPECT_EQ(rect.Rect, Rect(5, 5, 40, 30));
    EXPECT_EQ(rect.State.Pen.Style, psDot);
    EXPECT_EQ(rect.State.Brush.Style, bsClear);

    const TPaintCall& text = rec.Calls[2];
    EXPECT_EQ(text.Text, "Err");
    EXPECT_EQ(text.Points[0], Point(25, 0));
    EXPECT_EQ(text.State.Font.Height, -8);
    EXPECT_EQ(text.State.Font.Color, clRed);
    EXPECT_EQ(text.State.Clip, Rect(0, 0, 42, 42));

    const TPaintCall& fill = rec.Calls[3];
    EXPECT_EQ(fill.State.Brush, (TBrushState{RGB(255, 255, 175), bsSolid}));
    EXPECT_EQ(fill.State.Clip, Rect(0, 0, 200, 100));  // the clip was released

    EXPECT_EQ(line.Describe(), "Line (10,10)-(50,10) pen $0000FF 2 solid xor clip (0,0,200,100)");
    EXPECT_EQ(rec.Texts(), std::vector<AnsiString>{"Err"});
}

TEST(RecordingEngine, TextOutMovesThePenPastTheText) {
    TRecordingEngine rec;
    TCanvas c(&rec);
    c.Font->Height = -11;
    c.TextOut(10, 20, "MM");
    EXPECT_EQ(c.PenPos, Point(28, 20));
    EXPECT_EQ(c.TextWidth("MM"), 18);
}

TEST(RecordingEngine, SystemColoursReachTheEngineResolved) {
    TRecordingEngine rec;
    TCanvas c(&rec);
    c.Brush->Color = clBtnFace;
    c.FillRect(Rect(0, 0, 1, 1));
    EXPECT_EQ(rec.Calls[0].State.Brush.Color, RGB(212, 208, 200));
}

// ---------------------------------------------------------------- scaling engine

// Measures every character 100 pixels wide, whatever the font: nothing like
// the headless metrics, so a measure that came from elsewhere shows.
class WideMeasurer : public TRecordingEngine {
public:
    TSize TextExtent(const TFontState&, const AnsiString& text) override {
        return TSize{static_cast<int>(text.size()) * 100, 7};
    }
};

TEST(ScalingEngine, DrawsTheDeviceScaledOntoItsTargetAndMeasuresOnTheDevice) {
    TRecordingEngine target(Rect(0, 0, 400, 600));
    WideMeasurer measurer;
    TScalingEngine scaling;
    scaling.Attach(&target, TSize{400, 600}, Rect(0, 0, 2400, 3600), &measurer);
    TCanvas c(&scaling);
    EXPECT_EQ(c.ClipRect(), Rect(0, 0, 2400, 3600));
    EXPECT_EQ(c.TextWidth("abc"), 300);  // the device's measure, not scaled
    c.Font->Height = -60;
    c.Pen->Width = 2;  // a third of a pixel stays one pixel
    c.SetClipRect(Rect(600, 0, 1800, 1203));
    c.MoveTo(0, 0);
    c.LineTo(2400, 3597);
    c.TextOut(1200, 600, "Riga");
    c.TextRect(Rect(6, 6, 1200, 1200), 6, 6, "Cella");
    c.Polygon({Point(0, 0), Point(60, 0), Point(60, 64)});
    c.ReleaseClip();
    c.FillRect(c.ClipRect());
    c.Font->Height = -2;  // under a pixel: one pixel
    c.TextOut(3, 3, "x");

    ASSERT_EQ(target.Calls.size(), 6u);
    const TPaintCall& line = target.Calls[0];
    // 599.5 rounds down; the pen's caps, one device pixel, move the ends out
    // and the end, left out by the target, one pixel further.
    EXPECT_EQ(line.Points, (std::vector<TPoint>{{-1, -1}, {400, 600}}));
    EXPECT_EQ(line.State.Pen.Width, 1);
    EXPECT_EQ(line.State.Clip, Rect(100, 0, 300, 200));
    EXPECT_EQ(target.Calls[1].Points[0], Point(200, 100));
    EXPECT_EQ(target.Calls[1].State.Font.Height, -10);
    EXPECT_EQ(target.Calls[1].Text, "Riga");
    EXPECT_TRUE(target.Calls[2].HasRect);
    EXPECT_EQ(target.Calls[2].Rect, Rect(1, 1, 200, 200));
    EXPECT_EQ(target.Calls[3].Points, (std::vector<TPoint>{{0, 0}, {10, 0}, {10, 10}}));
    EXPECT_EQ(target.Calls[4].Rect, Rect(0, 0, 400, 600));  // the whole device is the whole target
    EXPECT_EQ(target.Calls[4].State.Clip, Rect(0, 0, 400, 600));
    EXPECT_EQ(target.Calls[5].State.Font.Height, -1);
}

// The pieces of a cable run, drawn with a wide pen, meet through their round
// caps on the printed page; drawn one pixel thin in the preview they still
// meet, at any ratio. Dashed pens and closed figures keep their points.
TEST(ScalingEngine, WideLinesThatMeetThroughTheirCapsStillMeetDrawnThin) {
    for (const int size : {130, 131, 157, 200}) {
        SCOPED_TRACE(size);
        TRecordingEngine target(Rect(0, 0, size, size));
        TScalingEngine scaling;
        scaling.Attach(&target, TSize{size, size}, Rect(0, 0, 1000, 1000), nullptr);
        TCanvas c(&scaling);
        c.Pen->Width = 6;                             // under 1.5 target pixels: one pixel, no caps
        for (int square = 0; square < 7; ++square) {  // 140-pixel squares, pieces 133 long
            c.MoveTo(500, square * 140);
            c.LineTo(500, square * 140 + 133);
        }
        c.Polyline({Point(0, 980), Point(133, 980), Point(133, 990)});
        ASSERT_EQ(target.Calls.size(), 8u);
        for (size_t i = 0; i + 1 < 7; ++i) {
            EXPECT_EQ(target.Calls[i].State.Pen.Width, 1);
            // The end point is left out: the next piece starts on it or before.
            EXPECT_LE(target.Calls[i + 1].Points[0].y, target.Calls[i].Points[1].y) << i;
        }
        EXPECT_EQ(target.Calls[7].Points.size(), 3u);
        EXPECT_EQ(target.Calls[7].Points[1], scaling.Map(Point(133, 980)));  // inner corners stay
        target.Clear();
        c.Pen->Style = psDash;
        c.MoveTo(500, 0);
        c.LineTo(500, 133);
        c.Pen->Style = psSolid;
        c.Polyline({Point(0, 0), Point(133, 0), Point(0, 133), Point(0, 0)});
        ASSERT_EQ(target.Calls.size(), 2u);
        EXPECT_EQ(target.Calls[0].Points,
                  (std::vector<TPoint>{scaling.Map(Point(500, 0)), scaling.Map(Point(500, 133))}));
        EXPECT_EQ(target.Calls[1].Points[0], Point(0, 0));
        EXPECT_EQ(target.Calls[1].Points[3], Point(0, 0));
    }
}

TEST(ScalingEngine, NeighbouringRectanglesStayNeighboursAtAnyRatio) {
    // An A4 page at 300 dpi onto a preview bitmap 509 pixels wide.
    TRecordingEngine target(Rect(0, 0, 509, 720));
    TScalingEngine scaling;
    scaling.Attach(&target, TSize{509, 720}, Rect(0, 0, 2480, 3508), nullptr);
    for (int x = 0; x < 2480; x += 37) {
        const TRect left = scaling.Map(Rect(x - 37, 0, x, 10)), right = scaling.Map(Rect(x, 0, x + 37, 10));
        EXPECT_EQ(left.Right, right.Left) << x;
        EXPECT_LE(left.Left, left.Right) << x;
    }
    EXPECT_EQ(scaling.Map(Rect(0, 0, 2480, 3508)), Rect(0, 0, 509, 720));
    EXPECT_EQ(scaling.Map(Point(-10, -10)), Point(-3, -3));
    // The page's last pixels stay on the bitmap.
    EXPECT_EQ(scaling.Map(Point(2479, 3507)), Point(508, 719));
    // Without a measurer the device measures with the headless metrics.
    TFontState font;
    font.Height = -100;
    EXPECT_EQ(scaling.TextExtent(font, "Pagina 2"), TTextMetrics::Extent(font, "Pagina 2"));
    // Without a target nothing is drawn anywhere.
    TScalingEngine idle;
    TCanvas c(&idle);
    c.LineTo(10, 10);
    EXPECT_EQ(c.Pixels[3][3], clWhite);
}

// ---------------------------------------------------------------- raster engine

TEST(RasterEngine, LinesLeaveOutTheirEndPointAndRectanglesTheirRightAndBottomEdges) {
    TBitmap b(20, 20);
    b.Canvas->Pen->Color = clBlack;
    b.Canvas->MoveTo(2, 5);
    b.Canvas->LineTo(8, 5);
    EXPECT_EQ(b.Pixel(2, 5), clBlack);
    EXPECT_EQ(b.Pixel(7, 5), clBlack);
    EXPECT_EQ(b.Pixel(8, 5), clWhite);
    EXPECT_EQ(CountColour(b, clBlack), 6);

    TBitmap r(20, 20);
    r.Canvas->Brush->Color = clRed;
    r.Canvas->Rectangle(2, 2, 6, 6);
    EXPECT_EQ(r.Pixel(2, 2), clBlack);
    EXPECT_EQ(r.Pixel(5, 5), clBlack);
    EXPECT_EQ(r.Pixel(6, 6), clWhite);
    EXPECT_EQ(r.Pixel(3, 3), clRed);
    EXPECT_EQ(CountColour(r, clRed), 4);
    EXPECT_EQ(CountColour(r, clBlack), 12);

    TBitmap f(10, 10);
    f.Canvas->Brush->Color = clBlue;
    f.Canvas->FillRect(Rect(1, 1, 4, 3));
    EXPECT_EQ(CountColour(f, clBlue), 6);
}

TEST(RasterEngine, DrawingAFigureTwiceWithXorRestoresThePixels) {
    struct Case {
        const char* name;
        std::function<void(TCanvas&)> draw;
    };
    const std::vector<Case> cases = {
        {"thin line",
         [](TCanvas& c) {
             c.MoveTo(1, 1);
             c.LineTo(37, 23);
         }},
        {"thick line",
         [](TCanvas& c) {
             c.Pen->Width = 5;
             c.MoveTo(3, 30);
             c.LineTo(35, 4);
         }},
        {"dashed line",
         [](TCanvas& c) {
             c.Pen->Style = psDash;
             c.MoveTo(0, 10);
             c.LineTo(39, 10);
         }},
        {"polyline through shared corners",
         [](TCanvas& c) {
             c.Polyline({{2, 2}, {30, 2}, {30, 20}, {2, 20}, {2, 3}});
         }},
        {"rectangle with brush",
         [](TCanvas& c) {
             c.Brush->Color = clYellow;
             c.Rectangle(4, 4, 30, 25);
         }},
        {"rectangle without brush",
         [](TCanvas& c) {
             c.Brush->Style = bsClear;
             c.Pen->Width = 3;
             c.Rectangle(4, 4, 30, 25);
         }},
        {"ellipse",
         [](TCanvas& c) {
             c.Brush->Color = clLime;
             c.Ellipse(3, 3, 33, 27);
         }},
        {"arc", [](TCanvas& c) { c.Arc(3, 3, 33, 27, 33, 15, 18, 3); }},
        {"polygon",
         [](TCanvas& c) {
             c.Brush->Color = clAqua;
             c.Polygon({{5, 5}, {35, 8}, {20, 28}});
         }},
    };
    for (const Case& k : cases) {
        TBitmap b(40, 30);
        Pattern(b);
        auto before = Snapshot(b);
        b.Canvas->Pen->Color = RGB(0x5A, 0xA5, 0x3C);
        b.Canvas->Pen->Mode = pmXor;
        k.draw(*b.Canvas);
        EXPECT_NE(Snapshot(b), before) << k.name << " drew nothing";
        // Draw again with the same state (the lambdas set it before drawing).
        k.draw(*b.Canvas);
        EXPECT_EQ(Snapshot(b), before) << k.name;
    }
}

TEST(RasterEngine, TheClipRectangleKeepsDrawingInsideIt) {
    TBitmap b(30, 30);
    b.Canvas->SetClipRect(Rect(10, 10, 20, 20));
    EXPECT_EQ(b.Canvas->ClipRect(), Rect(10, 10, 20, 20));
    b.Canvas->Brush->Color = clRed;
    b.Canvas->FillRect(Rect(0, 0, 30, 30));
    b.Canvas->MoveTo(0, 0);
    b.Canvas->LineTo(29, 29);
    EXPECT_EQ(CountColour(b, clRed) + CountColour(b, clBlack), 100);
    EXPECT_EQ(b.Pixel(9, 9), clWhite);
    b.Canvas->ReleaseClip();
    EXPECT_EQ(b.Canvas->ClipRect(), Rect(0, 0, 30, 30));
    b.Canvas->FillRect(Rect(0, 0, 30, 30));
    EXPECT_EQ(CountColour(b, clRed), 900);
}

TEST(RasterEngine, PixelsAndFloodFill) {
    TBitmap b(12, 12);
    b.Canvas->Brush->Style = bsClear;
    b.Canvas->Rectangle(2, 2, 10, 10);  // a closed black frame
    b.Canvas->Pixels[0][0] = clRed;
    EXPECT_EQ(static_cast<TColor>(b.Canvas->Pixels[0][0]), clRed);
    EXPECT_EQ(b.Canvas->GetPixel(50, 50), clNone);

    // Border fill from inside the frame fills only its inside.
    b.Canvas->Brush->Color = clBlue;
    b.Canvas->FloodFill(5, 5, clBlack, fsBorder);
    EXPECT_EQ(CountColour(b, clBlue), 36);
    // Surface fill replaces the connected white around the frame.
    b.Canvas->Brush->Color = clLime;
    b.Canvas->FloodFill(1, 1, clWhite, fsSurface);
    EXPECT_EQ(CountColour(b, clLime), 144 - 64 - 1);
    EXPECT_EQ(b.Pixel(0, 0), clRed);
    // A seed that does not match does nothing.
    b.Canvas->FloodFill(0, 0, clWhite, fsSurface);
    EXPECT_EQ(b.Pixel(0, 0), clRed);
}

TEST(RasterEngine, TextFillsItsBackgroundUnlessTheBrushIsClear) {
    TBitmap b(60, 20);
    b.Canvas->Brush->Color = clYellow;
    b.Canvas->Font->Height = -11;
    b.Canvas->Font->Color = clBlack;
    b.Canvas->TextOut(0, 0, "Ok");
    TSize ext = b.Canvas->TextExtent("Ok");
    EXPECT_EQ(CountColour(b, clYellow) + CountColour(b, clBlack), ext.cx * ext.cy);
    EXPECT_GT(CountColour(b, clBlack), 0);

    TBitmap t(60, 20);
    t.Canvas->Brush->Style = bsClear;
    t.Canvas->TextOut(0, 0, "Ok");
    EXPECT_EQ(CountColour(t, clYellow), 0);
    EXPECT_GT(CountColour(t, clBlack), 0);
}

TEST(RasterEngine, DrawAndStretchDrawCopyPixelsAndLeaveOutTheTransparentColour) {
    TBitmap src(2, 2);
    src.SetPixel(0, 0, clRed);
    src.SetPixel(1, 0, clBlue);
    src.SetPixel(0, 1, clLime);  // bottom-left: the transparent colour by default
    src.SetPixel(1, 1, clBlack);
    TBitmap dst(10, 10);
    dst.Canvas->StretchDraw(Rect(0, 0, 4, 4), &src);
    EXPECT_EQ(dst.Pixel(1, 1), clRed);
    EXPECT_EQ(dst.Pixel(3, 0), clBlue);
    EXPECT_EQ(dst.Pixel(0, 3), clLime);
    EXPECT_EQ(dst.Pixel(3, 3), clBlack);
    src.Transparent = true;
    dst.Canvas->Draw(6, 6, &src);
    EXPECT_EQ(dst.Pixel(6, 6), clRed);
    EXPECT_EQ(dst.Pixel(6, 7), clWhite);
    // CopyRect reads another bitmap canvas.
    TBitmap copy(4, 4);
    copy.Canvas->CopyRect(Rect(0, 0, 4, 4), dst.Canvas, Rect(0, 0, 4, 4));
    EXPECT_EQ(copy.Pixel(3, 3), clBlack);
}

TEST(ImageLists, DrawTheirImagesWithTheMaskedColourLeftOut) {
    TBitmap strip(32, 16);
    strip.Canvas->Brush->Color = clFuchsia;
    strip.Canvas->FillRect(Rect(0, 0, 32, 16));
    strip.SetPixel(3, 3, clRed);
    strip.SetPixel(16 + 4, 4, clBlue);
    TImageList list;
    EXPECT_EQ(list.AddMasked(&strip, clFuchsia), 0);
    EXPECT_EQ(list.Count(), 2);
    TBitmap target(20, 20);
    list.Draw(target.Canvas, 2, 2, 1);
    EXPECT_EQ(target.Pixel(6, 6), clBlue);
    EXPECT_EQ(CountColour(target, clFuchsia), 0);
}

// ---------------------------------------------------------------- bitmaps and BMP files

TEST(Bitmaps, ResizingKeepsTheTopLeftAndFillsWhite) {
    TBitmap b(3, 3);
    b.SetPixel(1, 1, clRed);
    b.Width = 5;
    EXPECT_EQ(b.Pixel(1, 1), clRed);
    EXPECT_EQ(b.Pixel(4, 2), clWhite);
    EXPECT_EQ(b.Pixel(5, 0), clNone);
    EXPECT_EQ(b.Canvas->ClipRect(), Rect(0, 0, 5, 3));
    EXPECT_THROW(b.SetSize(100000, 100000), EInvalidGraphic);
    EXPECT_EQ(b.Width, 5);
}

TEST(Bitmaps, ASavedAndLoadedBitmapHasTheSamePixels) {
    for (int w : {1, 2, 3, 4, 5, 17}) {
        TBitmap b(w, 7);
        Pattern(b);
        TMemoryStream s;
        b.SaveToStream(s);
        EXPECT_EQ(s.Bytes().size(), 54u + ((w * 3 + 3) / 4 * 4) * 7u);
        s.SetPosition(0);
        TBitmap c;
        c.LoadFromStream(s);
        EXPECT_EQ(c.Width, w);
        EXPECT_EQ(c.Height, 7);
        EXPECT_EQ(Snapshot(c), Snapshot(b)) << "width " << w;
    }
}

namespace {
// An 8-bit palette BMP of w x h, top-down when asked, pixel (x, y) = index (x + y) % 2.
std::string PaletteBmp(int w, int h, bool topDown) {
    auto u32 = [](std::string& s, uint32_t v) {
        for (int i = 0; i < 4; ++i) s.push_back(char((v >> (8 * i)) & 0xFF));
    };
    auto u16 = [](std::string& s, uint16_t v) {
        s.push_back(char(v & 0xFF));
        s.push_back(char(v >> 8));
    };
    int stride = (w + 3) / 4 * 4;
    std::string s = "BM";
    u32(s, 14 + 40 + 8 + stride * h);
    u32(s, 0);
    u32(s, 14 + 40 + 8);
    u32(s, 40);
    u32(s, w);
    u32(s, topDown ? uint32_t(-h) : uint32_t(h));
    u16(s, 1);
    u16(s, 8);
    u32(s, 0);
    u32(s, 0);
    u32(s, 0);
    u32(s, 0);
    u32(s, 2);
    u32(s, 0);
    s += std::string("\x00\x00\xFF\x00", 4);  // index 0: red
    s += std::string("\xFF\x00\x00\x00", 4);  // index 1: blue
    for (int row = 0; row < h; ++row) {
        int y = topDown ? row : h - 1 - row;
        for (int x = 0; x < stride; ++x) s.push_back(char(x < w ? (x + y) % 2 : 0));
    }
    return s;
}
}  // namespace

TEST(Bitmaps, PaletteFilesLoadTopDownAndBottomUp) {
    for (bool topDown : {false, true}) {
        TMemoryStream s(PaletteBmp(3, 2, topDown));
        TBitmap b;
        b.LoadFromStream(s);
        ASSERT_EQ(b.Width, 3);
        EXPECT_EQ(b.Pixel(0, 0), clRed) << topDown;
        EXPECT_EQ(b.Pixel(1, 0), clBlue) << topDown;
        EXPECT_EQ(b.Pixel(0, 1), clBlue) << topDown;
    }
}

TEST(Bitmaps, DamagedFilesRaiseAndLeaveTheBitmapAsItWas) {
    const std::string good = PaletteBmp(4, 4, false);
    auto patched = [&](size_t at, std::string bytes) {
        std::string s = good;
        s.replace(at, bytes.size(), bytes);
        return s;
    };
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"no signature", patched(0, "XX")},
        {"truncated pixels", good.substr(0, good.size() - 3)},
        {"truncated header", good.substr(0, 30)},
        {"zero width", patched(18, std::string("\0\0\0\0", 4))},
        {"huge size", patched(18, std::string("\xFF\xFF\x00\x00", 4))},
        {"odd depth", patched(28, std::string("\x07\x00", 2))},
        {"run-length compressed", patched(30, std::string("\x01\x00\x00\x00", 4))},
        {"palette larger than 256", patched(46, std::string("\x00\x10\x00\x00", 4))},
        {"pixel offset past the end", patched(10, std::string("\xFF\xFF\x00\x00", 4))},
    };
    for (const auto& k : cases) {
        TBitmap b(2, 2);
        b.SetPixel(0, 0, clRed);
        TMemoryStream s(k.bytes);
        EXPECT_THROW(b.LoadFromStream(s), EInvalidGraphic) << k.what;
        EXPECT_EQ(b.Width, 2) << k.what;
        EXPECT_EQ(b.Pixel(0, 0), clRed) << k.what;
    }
}

TEST(Bitmaps, FilesOnDisk) {
    std::string path = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/ov-bitmap-" +
                       std::to_string(::getpid()) + ".bmp";
    TBitmap b(9, 4);
    Pattern(b);
    b.SaveToFile(path);
    TBitmap c;
    c.LoadFromFile(path);
    EXPECT_EQ(Snapshot(c), Snapshot(b));
    DeleteFile(path);
    EXPECT_THROW(c.LoadFromFile(path), EFOpenError);
}
