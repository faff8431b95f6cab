#pragma once
// The two paint engines of the headless platform.
#include <vector>

#include "platform/graphics.h"

// The pen mode applied to one pixel: pen and destination as 0xAARRGGBB, the
// result opaque. Shared by every engine so that the modes agree to the bit.
uint32_t RasterOp(TPenMode mode, uint32_t pen, uint32_t dst);

// Draws into a bitmap's pixels in software. Figures follow the Windows
// conventions (right and bottom edges and a line's end point left out), the
// pen mode applies to outlines and to the brush inside filled figures, and
// every pixel of one figure is touched once, so drawing a figure twice with
// pmXor restores what was there. Pen widths above 1 draw round-ish strokes;
// hatched brushes fill solid; text is drawn as one box per character in the
// deterministic headless metrics (real glyphs come with the Qt back end).
class TRasterEngine : public TPaintEngine {
public:
    explicit TRasterEngine(TBitmap& target) : target_(target) {}
    TRect DeviceRect() const override;
    const TBitmap* TargetBitmap() const override { return &target_; }

    void Line(const TPaintState& s, TPoint from, TPoint to) override;
    void Polyline(const TPaintState& s, std::span<const TPoint> points) override;
    void Polygon(const TPaintState& s, std::span<const TPoint> points) override;
    void Rectangle(const TPaintState& s, const TRect& r) override;
    void FillRect(const TPaintState& s, const TRect& r) override;
    void FrameRect(const TPaintState& s, const TRect& r) override;
    void Ellipse(const TPaintState& s, const TRect& r) override;
    void Arc(const TPaintState& s, const TRect& r, TPoint start, TPoint end) override;
    void Text(const TPaintState& s, int x, int y, const AnsiString& text, const TRect* rect) override;
    TSize TextExtent(const TFontState& font, const AnsiString& text) override;
    void DrawBitmap(const TPaintState& s, const TRect& dest, const TBitmap& bitmap, const TRect& source,
                    bool transparent) override;
    TColor GetPixel(int x, int y) override;
    void SetPixel(const TPaintState& s, int x, int y, TColor color) override;
    void FloodFill(const TPaintState& s, int x, int y, TColor color, TFillStyle style) override;

private:
    TBitmap& target_;
};

enum class TPaintOp {
    Line,
    Polyline,
    Polygon,
    Rectangle,
    FillRect,
    FrameRect,
    Ellipse,
    Arc,
    Text,
    Bitmap,
    SetPixel,
    FloodFill
};

// One call as the recording engine kept it.
struct TPaintCall {
    TPaintOp Op = TPaintOp::Line;
    TPaintState State;
    // Line: from, to; Polyline, Polygon: the points; Arc: start, end;
    // Text, SetPixel, FloodFill: the position.
    std::vector<TPoint> Points;
    // Rectangle, FillRect, FrameRect, Ellipse, Arc: the figure; Text: the
    // TextRect rectangle (HasRect); Bitmap: the destination.
    TRect Rect;
    bool HasRect = false;
    AnsiString Text;
    TColor Color = clNone;  // SetPixel, FloodFill
    TFillStyle FillStyle = fsSurface;
    TSize BitmapSize;          // Bitmap: the picture's size,
    TRect Source;              // the part of it drawn,
    bool Transparent = false;  // and whether its transparent colour is left out

    // One readable line, e.g. "Line (1,2)-(5,2) pen $000000 1 solid xor clip (0,0,100,100)".
    AnsiString Describe() const;
};

// Keeps every call with the state it was made in; measures text with the
// deterministic headless metrics. Pixel reads give back what SetPixel wrote,
// white elsewhere.
class TRecordingEngine : public TPaintEngine {
public:
    explicit TRecordingEngine(TRect device = TRect(0, 0, 32767, 32767)) : device_(device) {}
    TRect DeviceRect() const override { return device_; }
    void SetDeviceRect(const TRect& r) { device_ = r; }

    std::vector<TPaintCall> Calls;
    void Clear() {
        Calls.clear();
        pixels_.clear();
    }
    // The texts drawn, in order.
    std::vector<AnsiString> Texts() const;
    // The calls of one kind.
    std::vector<TPaintCall> CallsOf(TPaintOp op) const;
    // Every call described, one per line.
    AnsiString Dump() const;

    void Line(const TPaintState& s, TPoint from, TPoint to) override;
    void Polyline(const TPaintState& s, std::span<const TPoint> points) override;
    void Polygon(const TPaintState& s, std::span<const TPoint> points) override;
    void Rectangle(const TPaintState& s, const TRect& r) override;
    void FillRect(const TPaintState& s, const TRect& r) override;
    void FrameRect(const TPaintState& s, const TRect& r) override;
    void Ellipse(const TPaintState& s, const TRect& r) override;
    void Arc(const TPaintState& s, const TRect& r, TPoint start, TPoint end) override;
    void Text(const TPaintState& s, int x, int y, const AnsiString& text, const TRect* rect) override;
    TSize TextExtent(const TFontState& font, const AnsiString& text) override;
    void DrawBitmap(const TPaintState& s, const TRect& dest, const TBitmap& bitmap, const TRect& source,
                    bool transparent) override;
    TColor GetPixel(int x, int y) override;
    void SetPixel(const TPaintState& s, int x, int y, TColor color) override;
    void FloodFill(const TPaintState& s, int x, int y, TColor color, TFillStyle style) override;

private:
    TPaintCall& Add(TPaintOp op, const TPaintState& s);
    TRect device_;
    struct Pixel {
        int x, y;
        TColor c;
    };
    std::vector<Pixel> pixels_;
};

// Takes drawing laid out on one device (a printer page) and draws it scaled
// onto another engine (a preview bitmap's): coordinates, clip rectangles, pen
// widths and font heights are multiplied by the ratio of the two areas on
// each axis (places rounded down, lengths to the nearest pixel). Text is measured by a third engine, the
// device's own (the printer's), in device pixels, so that whatever lays out on this engine takes the same
// measures, and so the same line and page breaks, as on the device. Without a target it draws nothing;
// without a measurer it measures with the headless metrics.
class TScalingEngine : public TPaintEngine {
public:
    TScalingEngine() = default;
    // device: this engine's area; target and targetSize: where it lands
    // (the device's whole area onto (0, 0)-targetSize).
    void Attach(TPaintEngine* target, TSize targetSize, const TRect& device, TPaintEngine* measurer);
    TRect DeviceRect() const override { return device_; }

    // A device point, length or rectangle on the target.
    TPoint Map(TPoint p) const { return TPoint(MapX(p.x), MapY(p.y)); }
    TRect Map(const TRect& r) const {
        return TRect(MapX(r.Left), MapY(r.Top), MapX(r.Right), MapY(r.Bottom));
    }

    void Line(const TPaintState& s, TPoint from, TPoint to) override;
    void Polyline(const TPaintState& s, std::span<const TPoint> points) override;
    void Polygon(const TPaintState& s, std::span<const TPoint> points) override;
    void Rectangle(const TPaintState& s, const TRect& r) override;
    void FillRect(const TPaintState& s, const TRect& r) override;
    void FrameRect(const TPaintState& s, const TRect& r) override;
    void Ellipse(const TPaintState& s, const TRect& r) override;
    void Arc(const TPaintState& s, const TRect& r, TPoint start, TPoint end) override;
    void Text(const TPaintState& s, int x, int y, const AnsiString& text, const TRect* rect) override;
    TSize TextExtent(const TFontState& font, const AnsiString& text) override;
    void DrawBitmap(const TPaintState& s, const TRect& dest, const TBitmap& bitmap, const TRect& source,
                    bool transparent) override;
    TColor GetPixel(int x, int y) override;
    void SetPixel(const TPaintState& s, int x, int y, TColor color) override;
    void FloodFill(const TPaintState& s, int x, int y, TColor color, TFillStyle style) override;

private:
    int MapX(int x) const;
    int MapY(int y) const;
    TPaintState Mapped(const TPaintState& s) const;
    std::vector<TPoint> Mapped(std::span<const TPoint> points) const;
    // The points of a line on the target; an open line the target draws
    // without the caps of its pen reaches as far as they do.
    std::vector<TPoint> MappedLine(const TPaintState& s, const TPaintState& mapped,
                                   std::span<const TPoint> points) const;
    TPaintEngine* target_ = nullptr;
    TPaintEngine* measurer_ = nullptr;
    TRect device_;
    TSize size_;
};
