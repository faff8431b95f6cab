#pragma once
// Colours, geometry, fonts, pens, brushes, bitmaps and the canvas.
//
// A TCanvas keeps the drawing state (pen, brush, font, pen position, clip
// rectangle) and hands every call, with that state, to a paint engine. The
// engines here: a software raster engine that draws into a TBitmap's pixels
// (so pixel reads, XOR drawing and flood fill work without a display), and a
// recording engine that keeps every call for tests. The Qt back end adds an
// engine over its painter.
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/classes.h"
#include "platform/properties.h"

// ---------------------------------------------------------------- colours

// A colour is 0x00BBGGRR; values with the top bit set name a system colour
// (resolved by ColorToRGB).
enum TColor : int32_t {
    clBlack = 0x000000,
    clMaroon = 0x000080,
    clGreen = 0x008000,
    clOlive = 0x008080,
    clNavy = 0x800000,
    clPurple = 0x800080,
    clTeal = 0x808000,
    clGray = 0x808080,
    clSilver = 0xC0C0C0,
    clRed = 0x0000FF,
    clLime = 0x00FF00,
    clYellow = 0x00FFFF,
    clBlue = 0xFF0000,
    clFuchsia = 0xFF00FF,
    clAqua = 0xFFFF00,
    clWhite = 0xFFFFFF,
    clLtGray = 0xC0C0C0,
    clDkGray = 0x808080,
    clMoneyGreen = 0xC0DCC0,
    clSkyBlue = 0xF0CAA6,
    clCream = 0xF0FBFF,
    clMedGray = 0xA4A0A0,
    clScrollBar = static_cast<int32_t>(0x80000000u),
    clBackground = static_cast<int32_t>(0x80000001u),
    clActiveCaption = static_cast<int32_t>(0x80000002u),
    clInactiveCaption = static_cast<int32_t>(0x80000003u),
    clMenu = static_cast<int32_t>(0x80000004u),
    clWindow = static_cast<int32_t>(0x80000005u),
    clWindowFrame = static_cast<int32_t>(0x80000006u),
    clMenuText = static_cast<int32_t>(0x80000007u),
    clWindowText = static_cast<int32_t>(0x80000008u),
    clCaptionText = static_cast<int32_t>(0x80000009u),
    clActiveBorder = static_cast<int32_t>(0x8000000Au),
    clInactiveBorder = static_cast<int32_t>(0x8000000Bu),
    clAppWorkSpace = static_cast<int32_t>(0x8000000Cu),
    clHighlight = static_cast<int32_t>(0x8000000Du),
    clHighlightText = static_cast<int32_t>(0x8000000Eu),
    clBtnFace = static_cast<int32_t>(0x8000000Fu),
    clBtnShadow = static_cast<int32_t>(0x80000010u),
    clGrayText = static_cast<int32_t>(0x80000011u),
    clBtnText = static_cast<int32_t>(0x80000012u),
    clInactiveCaptionText = static_cast<int32_t>(0x80000013u),
    clBtnHighlight = static_cast<int32_t>(0x80000014u),
    cl3DDkShadow = static_cast<int32_t>(0x80000015u),
    cl3DLight = static_cast<int32_t>(0x80000016u),
    clInfoText = static_cast<int32_t>(0x80000017u),
    clInfoBk = static_cast<int32_t>(0x80000018u),
    clNone = 0x1FFFFFFF,
    clDefault = 0x20000000,
};

constexpr TColor RGB(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(TColor c) { return c & 0xFF; }
constexpr int GetGValue(TColor c) { return (c >> 8) & 0xFF; }
constexpr int GetBValue(TColor c) { return (c >> 16) & 0xFF; }
// A plain 0x00BBGGRR value: system colours become their fixed values here.
TColor ColorToRGB(TColor color);
// The colour's name ("clRed") or its hexadecimal value ("$00AFFFFF").
AnsiString ColorToString(TColor color);

// ---------------------------------------------------------------- geometry

struct TPoint {
    int x = 0;
    int y = 0;
    constexpr TPoint() = default;
    constexpr TPoint(int x_, int y_) : x(x_), y(y_) {}
    constexpr bool operator==(const TPoint&) const = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    constexpr bool operator==(const TSize&) const = default;
};

// Right and bottom lie just outside the rectangle, as everywhere in the class library.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    constexpr TRect() = default;
    constexpr TRect(int l, int t, int r, int b) : Left(l), Top(t), Right(r), Bottom(b) {}
    constexpr TRect(TPoint topLeft, TPoint bottomRight)
        : Left(topLeft.x), Top(topLeft.y), Right(bottomRight.x), Bottom(bottomRight.y) {}
    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr TPoint TopLeft() const { return {Left, Top}; }
    constexpr TPoint BottomRight() const { return {Right, Bottom}; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(TPoint p) const {
        return p.x >= Left && p.x < Right && p.y >= Top && p.y < Bottom;
    }
    constexpr bool operator==(const TRect&) const = default;
};

constexpr TPoint Point(int x, int y) { return {x, y}; }
constexpr TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }
constexpr TRect Bounds(int left, int top, int width, int height) {
    return {left, top, left + width, top + height};
}
constexpr bool PtInRect(const TRect& r, TPoint p) { return r.Contains(p); }
// The common part; an empty rectangle (all zero) when they do not meet.
TRect IntersectRect(const TRect& a, const TRect& b);
TRect UnionRect(const TRect& a, const TRect& b);
TRect InflateRect(const TRect& r, int dx, int dy);
TRect OffsetRect(const TRect& r, int dx, int dy);
// a x b / c rounded half away from zero, as the Windows routine.
int MulDiv(int a, int b, int c);

// ---------------------------------------------------------------- pens, brushes, fonts

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// Raster operations of the pen (and of the brush in filled figures), as the
// binary raster operations of the Windows API.
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};
enum TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFillStyle { fsSurface, fsBorder };

// Fonts, pens and brushes tell their owner (a canvas or a control) of every change.
class TGraphicsObject : public TObject, public TPropertyHost {
public:
    TNotifyEvent OnChange;
    void PropertyChanged(TPropId) override { Changed(); }

protected:
    void Changed() {
        if (OnChange) OnChange(this);
    }
};

// Height below 0 is the character height in pixels, above 0 the cell height;
// Size is in points at PixelsPerInch (Size = -Height x 72 / PixelsPerInch).
class TFont : public TGraphicsObject {
public:
    TFont();
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

    TProperty<AnsiString> Name{this, TPropId::Name, "Arial"};
    TProperty<int> Height{this, TPropId::Height, -11};
    TProperty<int> Size{this, TPropId::Size, 8};
    TProperty<TColor> Color{this, TPropId::Color, clWindowText};
    TProperty<TFontStyles> Style{this, TPropId::Style};
    TProperty<int> PixelsPerInch{this, TPropId::PixelsPerInch, 96};

    void Assign(const TFont& other);
    void PropertyChanged(TPropId id) override;

private:
    bool assigning_ = false;
};

class TPen : public TGraphicsObject {
public:
    TPen() = default;
    TPen(const TPen&) = delete;
    TPen& operator=(const TPen&) = delete;
    TProperty<TColor> Color{this, TPropId::Color, clBlack};
    TProperty<int> Width{this, TPropId::Width, 1};
    TProperty<TPenStyle> Style{this, TPropId::Style, psSolid};
    TProperty<TPenMode> Mode{this, TPropId::Mode, pmCopy};
    void Assign(const TPen& other);
};

// Setting the colour of a clear brush makes it solid, as the class library does.
class TBrush : public TGraphicsObject {
public:
    TBrush() = default;
    TBrush(const TBrush&) = delete;
    TBrush& operator=(const TBrush&) = delete;
    TProperty<TColor> Color{this, TPropId::Color, clWhite};
    TProperty<TBrushStyle> Style{this, TPropId::Style, bsSolid};
    void Assign(const TBrush& other);
    void PropertyChanged(TPropId id) override;
};

// ---------------------------------------------------------------- paint engines

struct TPenState {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
    TPenMode Mode = pmCopy;
    bool operator==(const TPenState&) const = default;
};
struct TBrushState {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
    bool operator==(const TBrushState&) const = default;
};
struct TFontState {
    AnsiString Name = "Arial";
    int Height = -11;
    int PixelsPerInch = 96;
    TColor Color = clBlack;
    TFontStyles Style;
    bool operator==(const TFontState&) const = default;
};
// What a canvas hands to its engine with every call. Colours are resolved
// (no system colours); Clip is where drawing may land, in engine pixels.
struct TPaintState {
    TPenState Pen;
    TBrushState Brush;
    TFontState Font;
    TRect Clip;
    bool operator==(const TPaintState&) const = default;
};

class TBitmap;

// The state of a font as engines see it (colour resolved).
TFontState FontStateOf(const TFont& font);

// Deterministic text measures used by the headless engines: advance widths
// of a sans-serif face scaled to the character height (|Height| pixels, or
// 0.87 of a positive cell height), bold 5% wider, line height 1.15 of it.
struct TTextMetrics {
    static int CharHeight(const TFontState& font);
    static int Ascent(const TFontState& font);
    static TSize Extent(const TFontState& font, const AnsiString& text);
    // Width of each code point's advance, summed up to each character
    // boundary (offsets[i] is where character i starts; size = count + 1).
    static std::vector<int> Offsets(const TFontState& font, const AnsiString& text);
    // The text's code points (a broken UTF-8 byte counts as U+FFFD).
    static std::vector<uint32_t> CodePoints(const AnsiString& text);
    // Lines of at most width pixels, broken between words (a longer word
    // stands alone); line breaks in the text are kept.
    static std::vector<AnsiString> Wrap(const TFontState& font, const AnsiString& text, int width);
};

// Receives every drawing call of a canvas with the state it was made in.
// Coordinates follow the class library: right and bottom edges of rectangles
// and the end point of a line are not drawn.
class TPaintEngine {
public:
    virtual ~TPaintEngine() = default;
    // The area the engine can draw on (a bitmap's size, a page, a control's client area).
    virtual TRect DeviceRect() const = 0;
    // The bitmap the engine draws on, when it draws on one (CopyRect reads it).
    virtual const TBitmap* TargetBitmap() const { return nullptr; }

    virtual void Line(const TPaintState& s, TPoint from, TPoint to) = 0;
    virtual void Polyline(const TPaintState& s, std::span<const TPoint> points) = 0;
    virtual void Polygon(const TPaintState& s, std::span<const TPoint> points) = 0;
    virtual void Rectangle(const TPaintState& s, const TRect& r) = 0;
    virtual void FillRect(const TPaintState& s, const TRect& r) = 0;
    virtual void FrameRect(const TPaintState& s, const TRect& r) = 0;
    virtual void Ellipse(const TPaintState& s, const TRect& r) = 0;
    // Counterclockwise from the radial through start to the radial through end.
    virtual void Arc(const TPaintState& s, const TRect& r, TPoint start, TPoint end) = 0;
    // Text with its top-left at (x, y); with a rectangle (TextRect) the text
    // is clipped to it and, unless the brush is clear, the rectangle is filled first.
    virtual void Text(const TPaintState& s, int x, int y, const AnsiString& text, const TRect* rect) = 0;
    virtual TSize TextExtent(const TFontState& font, const AnsiString& text) = 0;
    virtual void DrawBitmap(const TPaintState& s, const TRect& dest, const TBitmap& bitmap,
                            const TRect& source, bool transparent) = 0;
    virtual TColor GetPixel(int x, int y) = 0;
    virtual void SetPixel(const TPaintState& s, int x, int y, TColor color) = 0;
    virtual void FloodFill(const TPaintState& s, int x, int y, TColor color, TFillStyle style) = 0;
};

// ---------------------------------------------------------------- canvas

class TGraphic;

class TCanvas : public TObject {
public:
    // Without an engine the canvas records its calls (a TRecordingEngine it owns).
    explicit TCanvas(TPaintEngine* engine = nullptr);
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TFont* const Font;
    TPen* const Pen;
    TBrush* const Brush;
    TPoint PenPos;

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    // The system's dotted focus mark around r, in the colour given; the pen
    // and brush styles are left as they were found.
    void DrawFocusRect(const TRect& r, TColor color = clBlack);
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Polyline(std::span<const TPoint> points);
    void Polyline(std::initializer_list<TPoint> points) {
        Polyline(std::span(points.begin(), points.size()));
    }
    void Polygon(std::span<const TPoint> points);
    void Polygon(std::initializer_list<TPoint> points) { Polygon(std::span(points.begin(), points.size())); }
    void TextOut(int x, int y, const AnsiString& text);
    void TextRect(const TRect& r, int x, int y, const AnsiString& text);
    int TextWidth(const AnsiString& text);
    int TextHeight(const AnsiString& text);
    TSize TextExtent(const AnsiString& text);
    void Draw(int x, int y, const TGraphic* graphic);
    void StretchDraw(const TRect& r, const TGraphic* graphic);
    // Copies part of another canvas that draws on a bitmap.
    void CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect);
    void FloodFill(int x, int y, TColor color, TFillStyle style);

    // Canvas->Pixels[x][y] reads and writes single pixels.
    class TPixelRef {
    public:
        operator TColor() const { return c_->GetPixel(x_, y_); }
        TPixelRef& operator=(TColor color) {
            c_->SetPixel(x_, y_, color);
            return *this;
        }

    private:
        friend class TCanvas;
        TPixelRef(TCanvas* c, int x, int y) : c_(c), x_(x), y_(y) {}
        TCanvas* c_;
        int x_, y_;
    };
    class TPixelColumn {
    public:
        TPixelRef operator[](int y) const { return TPixelRef(c_, x_, y); }

    private:
        friend class TCanvas;
        TPixelColumn(TCanvas* c, int x) : c_(c), x_(x) {}
        TCanvas* c_;
        int x_;
    };
    class TPixels {
    public:
        TPixelColumn operator[](int x) const { return TPixelColumn(c_, x); }

    private:
        friend class TCanvas;
        explicit TPixels(TCanvas* c) : c_(c) {}
        TCanvas* c_;
    };
    const TPixels Pixels{this};
    TColor GetPixel(int x, int y);
    void SetPixel(int x, int y, TColor color);

    // The rectangle drawing may reach: the clip rectangle when one is set,
    // else the whole device.
    TRect ClipRect() const;
    // Restricts drawing to a rectangle (replacing an earlier one) until ReleaseClip.
    void SetClipRect(const TRect& r);
    void ReleaseClip();
    bool HasClip() const { return hasClip_; }

    TPaintEngine* Engine() const { return engine_; }
    // Draws on another engine from now on (the canvas does not own it);
    // nullptr returns to the canvas's own recording engine.
    void SetEngine(TPaintEngine* engine);
    // The state the next call will be made in.
    TPaintState State() const;

    // Fired after every drawing call.
    TNotifyEvent OnChange;

private:
    void Changed();
    TPaintEngine* engine_;
    std::unique_ptr<TPaintEngine> ownEngine_;
    TRect clip_;
    bool hasClip_ = false;
};

// ---------------------------------------------------------------- bitmaps and pictures

class EInvalidGraphic : public Exception {
    using Exception::Exception;
};

class TGraphic : public TObject, public TPropertyHost {
public:
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    bool Empty() const { return GetWidth() == 0 || GetHeight() == 0; }
    virtual void DrawOn(TCanvas& canvas, const TRect& dest) const = 0;
    TProperty<bool> Transparent{this, TPropId::Transparent, false};
    TNotifyEvent OnChange;
    void PropertyChanged(TPropId) override {
        if (OnChange) OnChange(this);
    }
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };

// A picture in memory, 0xFFRRGGBB per pixel, rows top to bottom; new pixels
// are white. Loads and saves Windows BMP files.
class TBitmap : public TGraphic {
    // Made before Canvas, which draws through it.
    std::unique_ptr<TPaintEngine> engine_;

public:
    TBitmap();
    TBitmap(int width, int height);
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    TProperty<int> Width{this, TPropId::Width, 0};
    TProperty<int> Height{this, TPropId::Height, 0};
    TProperty<TPixelFormat> PixelFormat{this, TPropId::Style, pf24bit};
    // The colour that Draw leaves out when Transparent is set; clDefault
    // means the bottom-left pixel.
    TProperty<TColor> TransparentColor{this, TPropId::Color, clDefault};
    TCanvas* const Canvas;

    void SetSize(int width, int height);
    void Assign(const TBitmap& other);
    TColor Pixel(int x, int y) const;  // clNone outside
    void SetPixel(int x, int y, TColor color);
    uint32_t* ScanLine(int y) { return pixels_.data() + static_cast<size_t>(y) * Width.Get(); }
    const uint32_t* ScanLine(int y) const { return pixels_.data() + static_cast<size_t>(y) * Width.Get(); }
    TColor EffectiveTransparentColor() const;

    // BMP files: 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed or bit
    // fields; a damaged or unsupported file raises EInvalidGraphic and leaves
    // the bitmap as it was. Saving writes 24 bits per pixel.
    void LoadFromFile(const AnsiString& fileName);
    void SaveToFile(const AnsiString& fileName) const;
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;

    int GetWidth() const override { return Width; }
    int GetHeight() const override { return Height; }
    void DrawOn(TCanvas& canvas, const TRect& dest) const override;
    void PropertyChanged(TPropId id) override;

    // Some back ends draw bitmaps with their own engine; the default is the raster engine.
    static void SetEngineFactory(TPaintEngine* (*factory)(TBitmap&));

private:
    void Resize(int width, int height);
    std::vector<uint32_t> pixels_;
    int bufW_ = 0, bufH_ = 0;
};

class TPicture : public TObject {
public:
    TPicture();
    ~TPicture() override;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;
    TBitmap* const Bitmap;
    TGraphic* Graphic() const { return Bitmap; }
    int Width() const { return Bitmap->Width; }
    int Height() const { return Bitmap->Height; }
    void LoadFromFile(const AnsiString& fileName) { Bitmap->LoadFromFile(fileName); }
    void SaveToFile(const AnsiString& fileName) const { Bitmap->SaveToFile(fileName); }
    void Assign(const TPicture& other) { Bitmap->Assign(*other.Bitmap); }
    TNotifyEvent OnChange;
};

// A row of equally sized images, drawn by index (tree state icons, glyphs).
class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* owner = nullptr);
    ~TImageList() override;
    int Width = 16;
    int Height = 16;
    int Count() const { return static_cast<int>(images_.size()); }
    // Adds the image (a wider bitmap adds one image per Width pixels); the
    // mask's white pixels, or the masked colour, are left out when drawing.
    int Add(const TBitmap* image, const TBitmap* mask = nullptr);
    int AddMasked(const TBitmap* image, TColor maskColor);
    void Delete(int index);
    void Clear();
    void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true) const;
    void GetBitmap(int index, TBitmap* image) const;
    TNotifyEvent OnChange;

private:
    // Left-out pixels hold a key colour that the image leaves transparent.
    std::vector<std::unique_ptr<TBitmap>> images_;
};
