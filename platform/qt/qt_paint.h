#pragma once
// Painting through QPainter: the engines that canvases of bitmaps, windows
// and printed pages draw on when the Qt back end is attached.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <functional>

#include "platform/engines.h"
#include "platform/graphics.h"

namespace ovqt {

QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);
inline QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }
inline TRect FromQRect(const QRect& r) {
    return TRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
}
inline QString ToQString(const AnsiString& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
inline AnsiString FromQString(const QString& s) { return s.toUtf8().toStdString(); }

// The Qt font for a font state: a negative height is the character height in
// pixels, a positive one the cell height (ascent plus descent).
QFont ToQFont(const TFontState& font);
// The font of a control (its Height in screen pixels).
QFont ToQFont(const TFont& font);
// Maps the fonts that documents and forms name to the metric-compatible free
// fonts installed with the program, so that layouts keep their measures.
void InstallFontSubstitutes();

// The bitmap's pixels seen as an image, without copying (0xFFRRGGBB rows).
QImage WrapBitmap(TBitmap& bitmap);
QImage WrapBitmap(const TBitmap& bitmap);
// A copy of an image into a bitmap, resizing it.
void ImageToBitmap(const QImage& image, TBitmap& bitmap);

// Draws every canvas call through a QPainter. Figures follow the class
// library's conventions (right and bottom edges and a line's end point left
// out). On pixel targets every pen mode works exactly: figures in a mode other
// than copy are drawn into a mask and combined with the pixels one by one, so
// each pixel of a figure is touched once and an XOR figure drawn twice leaves
// the pixels as they were. On paper the modes draw as copy.
class TQtPaintEngine : public TPaintEngine {
public:
    TSize TextExtent(const TFontState& font, const AnsiString& text) override;

    void Line(const TPaintState& s, TPoint from, TPoint to) override;
    void Polyline(const TPaintState& s, std::span<const TPoint> points) override;
    void Polygon(const TPaintState& s, std::span<const TPoint> points) override;
    void Rectangle(const TPaintState& s, const TRect& r) override;
    void FillRect(const TPaintState& s, const TRect& r) override;
    void FrameRect(const TPaintState& s, const TRect& r) override;
    void Ellipse(const TPaintState& s, const TRect& r) override;
    void Arc(const TPaintState& s, const TRect& r, TPoint start, TPoint end) override;
    void Text(const TPaintState& s, int x, int y, const AnsiString& text, const TRect* rect) override;
    void DrawBitmap(const TPaintState& s, const TRect& dest, const TBitmap& bitmap, const TRect& source,
                    bool transparent) override;
    TColor GetPixel(int x, int y) override;
    void SetPixel(const TPaintState& s, int x, int y, TColor color) override;
    void FloodFill(const TPaintState& s, int x, int y, TColor color, TFillStyle style) override;

protected:
    using PaintFn = std::function<void(QPainter&)>;
    // Runs fn with a painter on the target, clipped to clip (engine pixels).
    virtual void WithPainter(const QRect& clip, const PaintFn& fn) = 0;
    // The pixels of the target, when it has pixels (bitmaps, window buffers).
    virtual QImage* Pixels() { return nullptr; }
    // Where the engine's (0, 0) lies in those pixels.
    virtual QPoint Origin() const { return QPoint(); }
    // The part of the device that drawing may reach now, in engine pixels.
    virtual QRect Reach() const { return ToQRect(DeviceRect()); }
    // The device text is measured for (nullptr: the screen).
    virtual QPaintDevice* MetricsDevice() { return nullptr; }
    // Called after drawing that may have changed the pixels in r.
    virtual void Touched(const QRect&) {}

private:
    // Draws one figure whose pixels lie inside box in the pen mode of s.
    void Figure(const TPaintState& s, QRect box, const PaintFn& fn);
};

// Draws on a bitmap's own pixels (and on the buffer of a window, which is a
// bitmap too). Flood fill uses the software engine over the same pixels.
// A view makes the engine draw on a part of the bitmap only, with its own
// origin (a control without a window draws on its parent's pixels).
class TQtBitmapEngine : public TQtPaintEngine {
public:
    explicit TQtBitmapEngine(TBitmap& target) : target_(target), raster_(target) {}
    void SetView(const QPoint& origin, const QSize& size) {
        origin_ = origin;
        viewSize_ = size;
        hasView_ = true;
    }
    // While set, drawing reaches only these pixels of the bitmap (a repaint of a part).
    void SetLimit(const QRect& pixels) {
        limit_ = pixels;
        hasLimit_ = true;
    }
    void ClearLimit() { hasLimit_ = false; }
    TRect DeviceRect() const override;
    const TBitmap* TargetBitmap() const override { return &target_; }
    TColor GetPixel(int x, int y) override;
    void SetPixel(const TPaintState& s, int x, int y, TColor color) override;
    void FloodFill(const TPaintState& s, int x, int y, TColor color, TFillStyle style) override;
    // Called with the rectangle of pixels each drawing call may have changed.
    std::function<void(const QRect&)> OnTouched;

protected:
    void WithPainter(const QRect& clip, const PaintFn& fn) override;
    QImage* Pixels() override;
    QPoint Origin() const override { return origin_; }
    QRect Reach() const override;
    void Touched(const QRect& r) override;

private:
    TPaintState ToBitmap(const TPaintState& s) const;
    TBitmap& target_;
    TRasterEngine raster_;
    QImage image_;
    QPoint origin_;
    QSize viewSize_;
    bool hasView_ = false;
    QRect limit_;
    bool hasLimit_ = false;
};

// Draws with a painter that someone else has begun (a printed page, an item
// of a list painted by Qt). The device rectangle is in the painter's coordinates.
class TQtPainterEngine : public TQtPaintEngine {
public:
    TQtPainterEngine() = default;
    void Attach(QPainter* painter, const TRect& device) {
        painter_ = painter;
        device_ = device;
    }
    QPainter* Painter() const { return painter_; }
    TRect DeviceRect() const override { return device_; }

protected:
    void WithPainter(const QRect& clip, const PaintFn& fn) override;
    QPaintDevice* MetricsDevice() override;

private:
    QPainter* painter_ = nullptr;
    TRect device_;
};

// Makes TBitmap draw through TQtBitmapEngine from now on (bitmaps made before
// keep their engine).
void UseQtBitmapEngine();

}  // namespace ovqt
