// The QPainter engines.
#include "platform/qt/qt_paint.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHash>
#include <QPaintDevice>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <numbers>
#include <tuple>

namespace ovqt {

QColor ToQColor(TColor color) {
    TColor c = ColorToRGB(color);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

TColor FromQColor(const QColor& color) { return RGB(color.red(), color.green(), color.blue()); }

void InstallFontSubstitutes() {
    QFont::insertSubstitution("Arial", "Liberation Sans");
    QFont::insertSubstitution("Helvetica", "Liberation Sans");
    QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
    QFont::insertSubstitution("Times New Roman", "Liberation Serif");
    QFont::insertSubstitution("Times", "Liberation Serif");
    QFont::insertSubstitution("Courier New", "Liberation Mono");
}

namespace {

// Cell height (ascent plus descent) of a face per pixel of character height.
double CellPerPixel(const QFont& face) {
    static std::map<std::tuple<QString, int, bool>, double> cache;
    auto key = std::make_tuple(face.family(), face.weight(), face.italic());
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    QFont probe(face);
    probe.setPixelSize(1000);
    QFontMetricsF fm(probe);
    double ratio = fm.height() > 0 ? fm.height() / 1000.0 : 1.15;
    cache.emplace(key, ratio);
    return ratio;
}

QFont MakeFont(const AnsiString& name, int height, TFontStyles style) {
    QFont f(ToQString(name));
    f.setBold(style.Contains(fsBold));
    f.setItalic(style.Contains(fsItalic));
    f.setUnderline(style.Contains(fsUnderline));
    f.setStrikeOut(style.Contains(fsStrikeOut));
    int px;
    if (height < 0)
        px = -height;
    else if (height > 0)
        px = static_cast<int>(std::lround(height / CellPerPixel(f)));
    else
        px = 11;
    f.setPixelSize(std::clamp(px, 1, 32767));
    return f;
}

}  // namespace

QFont ToQFont(const TFontState& font) {
    // Forms and documents ask for the same few fonts over and over.
    static QHash<QString, QFont> cache;
    QString key = ToQString(font.Name) + QChar(1) + QString::number(font.Height) + QChar(1) +
                  QString::number(font.Style.Bits());
    auto it = cache.constFind(key);
    if (it != cache.constEnd()) return *it;
    if (cache.size() > 512) cache.clear();
    QFont f = MakeFont(font.Name, font.Height, font.Style);
    cache.insert(key, f);
    return f;
}

QFont ToQFont(const TFont& font) {
    TFontState s;
    s.Name = font.Name;
    s.Height = font.Height;
    s.Style = font.Style;
    return ToQFont(s);
}

QImage WrapBitmap(TBitmap& bitmap) {
    int w = bitmap.Width, h = bitmap.Height;
    if (w <= 0 || h <= 0) return QImage();
    return QImage(reinterpret_cast<uchar*>(bitmap.ScanLine(0)), w, h, w * 4, QImage::Format_RGB32);
}

QImage WrapBitmap(const TBitmap& bitmap) {
    int w = bitmap.Width, h = bitmap.Height;
    if (w <= 0 || h <= 0) return QImage();
    return QImage(reinterpret_cast<const uchar*>(bitmap.ScanLine(0)), w, h, w * 4, QImage::Format_RGB32);
}

void ImageToBitmap(const QImage& image, TBitmap& bitmap) {
    QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    bitmap.SetSize(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(bitmap.ScanLine(y), rgb.constScanLine(y), static_cast<size_t>(rgb.width()) * 4);
}

namespace {

TRect Normalized(const TRect& r) {
    return TRect(std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
                 std::max(r.Top, r.Bottom));
}

bool PenVisible(const TPenState& p) { return p.Style != psClear && p.Mode != pmNop; }
bool BrushVisible(const TBrushState& b) { return b.Style != bsClear; }
int PenWidth(const TPenState& p) { return std::max(1, p.Width); }

QPen MakePen(const TPenState& p) {
    if (p.Style == psClear) return QPen(Qt::NoPen);
    QPen pen(ToQColor(p.Color));
    int w = PenWidth(p);
    if (w <= 1) {
        // A cosmetic pixel pen with flat caps leaves out the end point of a line.
        pen.setWidth(0);
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
    } else {
        pen.setWidth(w);
        pen.setCapStyle(p.Style == psSolid || p.Style == psInsideFrame ? Qt::RoundCap : Qt::FlatCap);
        pen.setJoinStyle(Qt::RoundJoin);
    }
    // Dash patterns in pen widths, as the software engine draws them.
    switch (p.Style) {
    case psDash: pen.setDashPattern({18, 6}); break;
    case psDot: pen.setDashPattern({3, 3}); break;
    case psDashDot: pen.setDashPattern({9, 6, 3, 6}); break;
    case psDashDotDot: pen.setDashPattern({9, 3, 3, 3, 3, 3}); break;
    default: break;
    }
    return pen;
}

QBrush MakeBrush(const TBrushState& b) {
    if (b.Style == bsClear) return QBrush(Qt::NoBrush);
    QColor c = ToQColor(b.Color);
    switch (b.Style) {
    case bsHorizontal: return QBrush(c, Qt::HorPattern);
    case bsVertical: return QBrush(c, Qt::VerPattern);
    case bsFDiagonal: return QBrush(c, Qt::FDiagPattern);
    case bsBDiagonal: return QBrush(c, Qt::BDiagPattern);
    case bsCross: return QBrush(c, Qt::CrossPattern);
    case bsDiagCross: return QBrush(c, Qt::DiagCrossPattern);
    default: return QBrush(c);
    }
}

QRect PointsBox(std::span<const TPoint> pts, int grow) {
    int l = pts[0].x, t = pts[0].y, r = l, b = t;
    for (const TPoint& p : pts) {
        l = std::min(l, p.x);
        t = std::min(t, p.y);
        r = std::max(r, p.x);
        b = std::max(b, p.y);
    }
    return QRect(QPoint(l - grow, t - grow), QPoint(r + grow, b + grow));
}

QPolygon ToQPolygon(std::span<const TPoint> pts) {
    QPolygon poly(static_cast<int>(pts.size()));
    for (size_t i = 0; i < pts.size(); ++i) poly.setPoint(static_cast<int>(i), pts[i].x, pts[i].y);
    return poly;
}

// Angle of the radial through p, in degrees counterclockwise from three o'clock,
// turned into the parameter of the ellipse that QPainter's arcs take.
double ArcParameter(double cx, double cy, double a, double b, TPoint p) {
    double theta = std::atan2(cy - p.y, p.x - cx);
    double t = std::atan2(a * std::sin(theta), b * std::cos(theta));
    return t * 180.0 / std::numbers::pi;
}

}  // namespace

void TQtPaintEngine::Figure(const TPaintState& s, QRect box, const PaintFn& fn) {
    QRect clip = ToQRect(Normalized(s.Clip)) & Reach();
    QRect area = box & clip;
    if (area.isEmpty()) return;
    QImage* pixels = Pixels();
    QPoint origin = Origin();
    TPenMode mode = s.Pen.Mode;
    if (mode == pmCopy || !pixels) {
        WithPainter(clip, fn);
        Touched(area.translated(origin));
        return;
    }
    if (mode == pmNop) return;
    // Draw the figure alone, then combine each of its pixels once.
    QImage mask(area.size(), QImage::Format_ARGB32);
    mask.fill(Qt::transparent);
    {
        QPainter p(&mask);
        p.translate(-area.topLeft());
        fn(p);
    }
    for (int y = 0; y < area.height(); ++y) {
        const uint32_t* m = reinterpret_cast<const uint32_t*>(mask.constScanLine(y));
        uint32_t* d = reinterpret_cast<uint32_t*>(pixels->scanLine(origin.y() + area.top() + y)) +
                      origin.x() + area.left();
        for (int x = 0; x < area.width(); ++x)
            if (qAlpha(m[x]) >= 128) d[x] = RasterOp(mode, m[x], d[x]);
    }
    Touched(area.translated(origin));
}

TSize TQtPaintEngine::TextExtent(const TFontState& font, const AnsiString& text) {
    QFontMetrics fm(ToQFont(font), MetricsDevice());
    return TSize{fm.horizontalAdvance(ToQString(text)), fm.height()};
}

void TQtPaintEngine::Line(const TPaintState& s, TPoint from, TPoint to) {
    TPoint pts[2] = {from, to};
    Polyline(s, pts);
}

void TQtPaintEngine::Polyline(const TPaintState& s, std::span<const TPoint> points) {
    if (points.size() < 2 || !PenVisible(s.Pen)) return;
    QPen pen = MakePen(s.Pen);
    QPolygon poly = ToQPolygon(points);
    if (PenWidth(s.Pen) <= 1 && (s.Pen.Style == psSolid || s.Pen.Style == psInsideFrame)) {
        // Thin lines are stepped here: a line starts on its first point and
        // stops before its last whichever way it runs, which Qt's rasteriser
        // keeps only for lines drawn downwards or to the right.
        Figure(s, PointsBox(points, 1), [&](QPainter& p) {
            p.setPen(QPen(pen.color(), 1));
            for (size_t i = 0; i + 1 < points.size(); ++i) {
                int x = points[i].x, y = points[i].y;
                const int x1 = points[i + 1].x, y1 = points[i + 1].y;
                const int dx = std::abs(x1 - x), dy = -std::abs(y1 - y);
                const int sx = x < x1 ? 1 : -1, sy = y < y1 ? 1 : -1;
                int err = dx + dy;
                while (x != x1 || y != y1) {
                    p.drawPoint(x, y);
                    const int e2 = 2 * err;
                    if (e2 >= dy) {
                        err += dy;
                        x += sx;
                    }
                    if (e2 <= dx) {
                        err += dx;
                        y += sy;
                    }
                }
            }
        });
        return;
    }
    Figure(s, PointsBox(points, PenWidth(s.Pen)), [&](QPainter& p) {
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(poly);
    });
}

void TQtPaintEngine::Polygon(const TPaintState& s, std::span<const TPoint> points) {
    if (points.empty()) return;
    if (!PenVisible(s.Pen) && (!BrushVisible(s.Brush) || s.Pen.Mode == pmNop)) return;
    QPen pen = PenVisible(s.Pen) ? MakePen(s.Pen) : QPen(Qt::NoPen);
    QBrush brush = MakeBrush(s.Brush);
    QPolygon poly = ToQPolygon(points);
    Figure(s, PointsBox(points, PenWidth(s.Pen)), [&](QPainter& p) {
        p.setPen(pen);
        p.setBrush(brush);
        p.drawPolygon(poly, Qt::OddEvenFill);
    });
}

void TQtPaintEngine::Rectangle(const TPaintState& s, const TRect& rect) {
    TRect r = Normalized(rect);
    if (r.IsEmpty()) return;
    QBrush brush = MakeBrush(s.Brush);
    int w = PenWidth(s.Pen);
    if (!PenVisible(s.Pen)) {
        // Without a pen the filled area loses its last column and row.
        if (!BrushVisible(s.Brush) || r.Width() < 2 || r.Height() < 2) return;
        Figure(s, ToQRect(r),
               [&](QPainter& p) { p.fillRect(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1), brush); });
        return;
    }
    QPen pen = MakePen(s.Pen);
    int inset = (s.Pen.Style == psInsideFrame && w > 1) ? w / 2 : 0;
    QRect outline(r.Left + inset, r.Top + inset, r.Width() - 1 - 2 * inset, r.Height() - 1 - 2 * inset);
    QRect box = ToQRect(r).adjusted(-w, -w, w, w);
    Figure(s, box, [&](QPainter& p) {
        if (outline.width() <= 0 || outline.height() <= 0) {
            // As thin as the pen: a line, end point included.
            p.setPen(Qt::NoPen);
            QRect line(outline.topLeft(),
                       QSize(std::max(1, outline.width() + 1), std::max(1, outline.height() + 1)));
            p.fillRect(line.adjusted(-(w - 1) / 2, -(w - 1) / 2, w / 2, w / 2), pen.color());
            return;
        }
        p.setPen(pen);
        p.setBrush(brush);
        p.drawRect(outline);
    });
}

void TQtPaintEngine::FillRect(const TPaintState& s, const TRect& rect) {
    if (!BrushVisible(s.Brush)) return;
    TRect r = Normalized(rect);
    if (r.IsEmpty()) return;
    TPaintState copy = s;
    copy.Pen.Mode = pmCopy;  // filling ignores the pen's mode
    QBrush brush = MakeBrush(s.Brush);
    Figure(copy, ToQRect(r), [&](QPainter& p) { p.fillRect(ToQRect(r), brush); });
}

void TQtPaintEngine::FrameRect(const TPaintState& s, const TRect& rect) {
    if (!BrushVisible(s.Brush)) return;
    TRect r = Normalized(rect);
    if (r.IsEmpty()) return;
    TPaintState copy = s;
    copy.Pen.Mode = pmCopy;
    QColor c = ToQColor(s.Brush.Color);
    Figure(copy, ToQRect(r), [&](QPainter& p) {
        p.fillRect(QRect(r.Left, r.Top, r.Width(), 1), c);
        p.fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), c);
        p.fillRect(QRect(r.Left, r.Top + 1, 1, r.Height() - 2), c);
        p.fillRect(QRect(r.Right - 1, r.Top + 1, 1, r.Height() - 2), c);
    });
}

void TQtPaintEngine::Ellipse(const TPaintState& s, const TRect& rect) {
    TRect r = Normalized(rect);
    if (r.IsEmpty() || r.Width() < 2 || r.Height() < 2) return;
    bool pen = PenVisible(s.Pen);
    if (!pen && (!BrushVisible(s.Brush) || s.Pen.Mode == pmNop)) return;
    int w = pen ? PenWidth(s.Pen) : 1;
    int inset = (pen && s.Pen.Style == psInsideFrame && w > 1) ? w / 2 : 0;
    QRect shape(r.Left + inset, r.Top + inset, r.Width() - 1 - 2 * inset, r.Height() - 1 - 2 * inset);
    QPen qpen = pen ? MakePen(s.Pen) : QPen(Qt::NoPen);
    QBrush brush = MakeBrush(s.Brush);
    Figure(s, ToQRect(r).adjusted(-w, -w, w, w), [&](QPainter& p) {
        p.setPen(qpen);
        p.setBrush(brush);
        p.drawEllipse(shape);
    });
}

void TQtPaintEngine::Arc(const TPaintState& s, const TRect& rect, TPoint start, TPoint end) {
    TRect r = Normalized(rect);
    if (r.IsEmpty() || !PenVisible(s.Pen)) return;
    int w = PenWidth(s.Pen);
    double cx = (r.Left + r.Right - 1) / 2.0, cy = (r.Top + r.Bottom - 1) / 2.0;
    double a = (r.Width() - 1) / 2.0, b = (r.Height() - 1) / 2.0;
    double a0 = ArcParameter(cx, cy, a, b, start);
    double span = 360.0;
    if (start != end) {
        span = std::fmod(ArcParameter(cx, cy, a, b, end) - a0 + 720.0, 360.0);
        if (span == 0) span = 360.0;
    }
    QPen pen = MakePen(s.Pen);
    QRect shape(r.Left, r.Top, r.Width() - 1, r.Height() - 1);
    int startAngle = static_cast<int>(std::lround(a0 * 16)),
        spanAngle = static_cast<int>(std::lround(span * 16));
    Figure(s, ToQRect(r).adjusted(-w, -w, w, w), [&](QPainter& p) {
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawArc(shape, startAngle, spanAngle);
    });
}

void TQtPaintEngine::Text(const TPaintState& s, int x, int y, const AnsiString& text, const TRect* rect) {
    QFont font = ToQFont(s.Font);
    // Text combined pixel by pixel must not blend into its background.
    if (s.Pen.Mode != pmCopy && Pixels()) font.setStyleStrategy(QFont::NoAntialias);
    QString q = ToQString(text);
    QFontMetrics fm(font, MetricsDevice());
    QRect extent(x, y, fm.horizontalAdvance(q), fm.height());
    QRect box = rect ? ToQRect(Normalized(*rect)) : extent;
    bool opaque = BrushVisible(s.Brush);
    QColor back = ToQColor(s.Brush.Color), ink = ToQColor(s.Font.Color);
    TPaintState copy = s;
    copy.Pen.Mode = pmCopy;  // text is drawn in the colours it is given
    Figure(copy, box, [&](QPainter& p) {
        if (rect) {
            p.setClipRect(box, Qt::IntersectClip);
            if (opaque) p.fillRect(box, back);
        } else if (opaque) {
            p.fillRect(extent, back);
        }
        if (q.isEmpty()) return;
        p.setFont(font);
        p.setPen(ink);
        p.drawText(QPoint(x, y + QFontMetrics(font, p.device()).ascent()), q);
    });
}

void TQtPaintEngine::DrawBitmap(const TPaintState& s, const TRect& destRect, const TBitmap& bitmap,
                                const TRect& sourceRect, bool transparent) {
    TRect dest = Normalized(destRect), src = Normalized(sourceRect);
    if (dest.IsEmpty() || src.IsEmpty() || bitmap.Empty()) return;
    QImage image = WrapBitmap(bitmap).copy(ToQRect(src));  // a copy: the bitmap may be the target
    if (image.isNull()) return;
    if (transparent) {
        image = image.convertToFormat(QImage::Format_ARGB32);
        uint32_t key = ToQColor(bitmap.EffectiveTransparentColor()).rgb() & 0xFFFFFFu;
        for (int y = 0; y < image.height(); ++y) {
            uint32_t* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if ((row[x] & 0xFFFFFFu) == key) row[x] = 0;
        }
    }
    TPaintState copy = s;
    copy.Pen.Mode = pmCopy;
    QRect target = ToQRect(dest);
    Figure(copy, target, [&](QPainter& p) {
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.drawImage(target, image);
    });
}

TColor TQtPaintEngine::GetPixel(int x, int y) {
    QImage* pixels = Pixels();
    QPoint p = QPoint(x, y) + Origin();
    if (!pixels || !Reach().contains(x, y) || !pixels->rect().contains(p)) return clWhite;
    return FromQColor(QColor::fromRgb(pixels->pixel(p)));
}

void TQtPaintEngine::SetPixel(const TPaintState& s, int x, int y, TColor color) {
    TPaintState copy = s;
    copy.Pen.Mode = pmCopy;
    QColor c = ToQColor(color);
    Figure(copy, QRect(x, y, 1, 1), [&](QPainter& p) { p.fillRect(QRect(x, y, 1, 1), c); });
}

void TQtPaintEngine::FloodFill(const TPaintState&, int, int, TColor, TFillStyle) {
    // Paper has no pixels to read back.
}

// ---------------------------------------------------------------- bitmaps

TRect TQtBitmapEngine::DeviceRect() const {
    if (hasView_) return TRect(0, 0, viewSize_.width(), viewSize_.height());
    return TRect(0, 0, target_.Width, target_.Height);
}

QRect TQtBitmapEngine::Reach() const {
    QRect r = ToQRect(DeviceRect()) & QRect(-origin_, QSize(target_.Width, target_.Height));
    if (hasLimit_) r &= limit_.translated(-origin_);
    return r;
}

TPaintState TQtBitmapEngine::ToBitmap(const TPaintState& s) const {
    TPaintState b = s;
    QRect clip = (ToQRect(Normalized(s.Clip)) & Reach()).translated(origin_);
    b.Clip = clip.isEmpty() ? TRect() : FromQRect(clip);
    return b;
}

void TQtBitmapEngine::WithPainter(const QRect& clip, const PaintFn& fn) {
    image_ = WrapBitmap(target_);
    if (image_.isNull()) return;
    QPainter p(&image_);
    p.translate(origin_);
    p.setClipRect(clip);
    fn(p);
}

QImage* TQtBitmapEngine::Pixels() {
    image_ = WrapBitmap(target_);
    return image_.isNull() ? nullptr : &image_;
}

void TQtBitmapEngine::Touched(const QRect& r) {
    if (OnTouched) OnTouched(r);
}

TColor TQtBitmapEngine::GetPixel(int x, int y) {
    if (!Reach().contains(x, y)) return clNone;
    return raster_.GetPixel(x + origin_.x(), y + origin_.y());
}

void TQtBitmapEngine::SetPixel(const TPaintState& s, int x, int y, TColor color) {
    raster_.SetPixel(ToBitmap(s), x + origin_.x(), y + origin_.y(), color);
    Touched(QRect(x + origin_.x(), y + origin_.y(), 1, 1));
}

void TQtBitmapEngine::FloodFill(const TPaintState& s, int x, int y, TColor color, TFillStyle style) {
    TPaintState b = ToBitmap(s);
    raster_.FloodFill(b, x + origin_.x(), y + origin_.y(), color, style);
    Touched(ToQRect(b.Clip));
}

void UseQtBitmapEngine() {
    TBitmap::SetEngineFactory([](TBitmap& b) -> TPaintEngine* { return new TQtBitmapEngine(b); });
}

// ---------------------------------------------------------------- painters begun elsewhere

void TQtPainterEngine::WithPainter(const QRect& clip, const PaintFn& fn) {
    if (!painter_ || !painter_->isActive()) return;
    painter_->save();
    painter_->setClipRect(clip, Qt::IntersectClip);
    fn(*painter_);
    painter_->restore();
}

QPaintDevice* TQtPainterEngine::MetricsDevice() {
    return painter_ && painter_->isActive() ? painter_->device() : nullptr;
}

}  // namespace ovqt
