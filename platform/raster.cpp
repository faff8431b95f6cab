// The software raster engine of TBitmap.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "platform/engines.h"

namespace {

uint32_t Px(TColor c) {
    uint32_t v = static_cast<uint32_t>(c) & 0xFFFFFF;
    return 0xFF000000u | ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

TColor FromPx(uint32_t p) {
    return static_cast<TColor>(((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16));
}

TRect Normalized(const TRect& r) {
    return TRect(std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
                 std::max(r.Top, r.Bottom));
}

// Which pixels one figure covers, pen over brush, each pixel once.
class Coverage {
public:
    enum : uint8_t { None = 0, Fill = 1, Pen = 2 };
    explicit Coverage(const TRect& box)
        : box_(box), cells_(static_cast<size_t>(box.Width()) * box.Height(), None) {}
    bool Empty() const { return box_.IsEmpty(); }
    const TRect& Box() const { return box_; }
    void Mark(int x, int y, uint8_t kind) {
        if (x < box_.Left || y < box_.Top || x >= box_.Right || y >= box_.Bottom) return;
        uint8_t& c = cells_[static_cast<size_t>(y - box_.Top) * box_.Width() + (x - box_.Left)];
        if (kind > c) c = kind;
    }
    uint8_t At(int x, int y) const {
        if (x < box_.Left || y < box_.Top || x >= box_.Right || y >= box_.Bottom) return None;
        return cells_[static_cast<size_t>(y - box_.Top) * box_.Width() + (x - box_.Left)];
    }
    void Apply(TBitmap& b, const TPaintState& s) const {
        uint32_t pen = Px(s.Pen.Color), brush = Px(s.Brush.Color);
        for (int y = box_.Top; y < box_.Bottom; ++y) {
            uint32_t* row = b.ScanLine(y);
            const uint8_t* c = &cells_[static_cast<size_t>(y - box_.Top) * box_.Width()];
            for (int x = box_.Left; x < box_.Right; ++x, ++c) {
                if (*c == Pen)
                    row[x] = RasterOp(s.Pen.Mode, pen, row[x]);
                else if (*c == Fill)
                    row[x] = RasterOp(s.Pen.Mode, brush, row[x]);
            }
        }
    }

private:
    TRect box_;
    std::vector<uint8_t> cells_;
};

bool PenVisible(const TPenState& p) { return p.Style != psClear; }
bool BrushVisible(const TBrushState& b) { return b.Style != bsClear; }
int PenWidth(const TPenState& p) { return std::max(1, p.Width); }

// The pixels a pen of width w puts around one point of its path.
std::vector<TPoint> Stamp(int w) {
    std::vector<TPoint> pts;
    if (w <= 1) {
        pts.emplace_back(0, 0);
        return pts;
    }
    int lo = -(w - 1) / 2, hi = w / 2;
    double r = w / 2.0;
    for (int dy = lo; dy <= hi; ++dy)
        for (int dx = lo; dx <= hi; ++dx)
            if (w <= 3 || (dx - (hi + lo) / 2.0) * (dx - (hi + lo) / 2.0) +
                                  (dy - (hi + lo) / 2.0) * (dy - (hi + lo) / 2.0) <=
                              r * r + 0.25)
                pts.emplace_back(dx, dy);
    return pts;
}

// Dash patterns of the pen styles, in pixels for a pen one pixel wide.
std::vector<int> Pattern(TPenStyle style) {
    switch (style) {
    case psDash: return {18, 6};
    case psDot: return {3, 3};
    case psDashDot: return {9, 6, 3, 6};
    case psDashDotDot: return {9, 3, 3, 3, 3, 3};
    default: return {};
    }
}

// Walks a path pixel by pixel and marks the pen's pixels, keeping the dash
// pattern running across the segments of one figure.
class PenPath {
public:
    PenPath(Coverage& cov, const TPenState& pen)
        : cov_(cov), stamp_(Stamp(PenWidth(pen))), pattern_(Pattern(pen.Style)) {
        for (int& p : pattern_) p *= PenWidth(pen);
        for (int p : pattern_) period_ += p;
    }
    // The segment from a to b; b itself only when includeEnd.
    void Segment(TPoint a, TPoint b, bool includeEnd) {
        int dx = std::abs(b.x - a.x), sx = a.x < b.x ? 1 : -1;
        int dy = -std::abs(b.y - a.y), sy = a.y < b.y ? 1 : -1;
        int err = dx + dy;
        int x = a.x, y = a.y;
        for (;;) {
            if (x == b.x && y == b.y) {
                if (includeEnd) Plot(x, y);
                break;
            }
            Plot(x, y);
            int e2 = 2 * err;
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

private:
    void Plot(int x, int y) {
        bool on = true;
        if (period_ > 0) {
            int pos = step_ % period_, k = 0;
            while (pos >= pattern_[k]) pos -= pattern_[k++];
            on = (k % 2) == 0;
        }
        ++step_;
        if (!on) return;
        for (const TPoint& d : stamp_) cov_.Mark(x + d.x, y + d.y, Coverage::Pen);
    }
    Coverage& cov_;
    std::vector<TPoint> stamp_;
    std::vector<int> pattern_;
    int period_ = 0;
    long long step_ = 0;
};

TRect PointsBox(std::span<const TPoint> pts) {
    TRect r(pts[0].x, pts[0].y, pts[0].x + 1, pts[0].y + 1);
    for (const TPoint& p : pts) {
        r.Left = std::min(r.Left, p.x);
        r.Top = std::min(r.Top, p.y);
        r.Right = std::max(r.Right, p.x + 1);
        r.Bottom = std::max(r.Bottom, p.y + 1);
    }
    return r;
}

// An ellipse inscribed in the pixels of r (right and bottom edges excluded),
// sampled at pixel centres.
struct EllipseShape {
    double cx, cy, a, b;
    explicit EllipseShape(const TRect& r)
        : cx((r.Left + r.Right) / 2.0),
          cy((r.Top + r.Bottom) / 2.0),
          a((r.Right - r.Left) / 2.0),
          b((r.Bottom - r.Top) / 2.0) {}
    bool Inside(int x, int y, double grow = 0) const {
        double aa = a + grow, bb = b + grow;
        if (aa <= 0 || bb <= 0) return false;
        double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
        return (dx * dx) / (aa * aa) + (dy * dy) / (bb * bb) <= 1.0 + 1e-9;
    }
    // Pen pixels of the outline: for a one-pixel pen those inside whose
    // neighbours are not all inside; else a band as wide as the pen.
    bool OnOutline(int x, int y, int w) const {
        if (w <= 1)
            return Inside(x, y) &&
                   (!Inside(x - 1, y) || !Inside(x + 1, y) || !Inside(x, y - 1) || !Inside(x, y + 1));
        return Inside(x, y, w / 2.0) && !Inside(x, y, -w / 2.0);
    }
    double Angle(double x, double y) const { return std::atan2(cy - y, x - cx); }
};

}  // namespace

uint32_t RasterOp(TPenMode mode, uint32_t pen, uint32_t dst) {
    pen &= 0xFFFFFF;
    dst &= 0xFFFFFF;
    uint32_t r;
    switch (mode) {
    case pmBlack: r = 0; break;
    case pmWhite: r = 0xFFFFFF; break;
    case pmNop: r = dst; break;
    case pmNot: r = ~dst; break;
    case pmCopy: r = pen; break;
    case pmNotCopy: r = ~pen; break;
    case pmMergePenNot: r = pen | ~dst; break;
    case pmMaskPenNot: r = pen & ~dst; break;
    case pmMergeNotPen: r = ~pen | dst; break;
    case pmMaskNotPen: r = ~pen & dst; break;
    case pmMerge: r = pen | dst; break;
    case pmNotMerge: r = ~(pen | dst); break;
    case pmMask: r = pen & dst; break;
    case pmNotMask: r = ~(pen & dst); break;
    case pmXor: r = pen ^ dst; break;
    case pmNotXor: r = ~(pen ^ dst); break;
    default: r = pen; break;
    }
    return 0xFF000000u | (r & 0xFFFFFF);
}

TRect TRasterEngine::DeviceRect() const { return TRect(0, 0, target_.Width, target_.Height); }

void TRasterEngine::Line(const TPaintState& s, TPoint from, TPoint to) {
    TPoint pts[2] = {from, to};
    Polyline(s, pts);
}

void TRasterEngine::Polyline(const TPaintState& s, std::span<const TPoint> points) {
    if (points.size() < 2 || !PenVisible(s.Pen)) return;
    int w = PenWidth(s.Pen);
    Coverage cov(IntersectRect(InflateRect(PointsBox(points), w, w), IntersectRect(s.Clip, DeviceRect())));
    if (cov.Empty()) return;
    PenPath path(cov, s.Pen);
    for (size_t i = 0; i + 1 < points.size(); ++i) path.Segment(points[i], points[i + 1], false);
    cov.Apply(target_, s);
}

void TRasterEngine::Polygon(const TPaintState& s, std::span<const TPoint> points) {
    if (points.empty()) return;
    int w = PenWidth(s.Pen);
    Coverage cov(IntersectRect(InflateRect(PointsBox(points), w, w), IntersectRect(s.Clip, DeviceRect())));
    if (cov.Empty()) return;
    if (PenVisible(s.Pen)) {
        PenPath path(cov, s.Pen);
        for (size_t i = 0; i < points.size(); ++i)
            path.Segment(points[i], points[(i + 1) % points.size()], false);
    }
    if (BrushVisible(s.Brush) && points.size() >= 3) {
        // Even-odd rule, sampled at pixel centres.
        TRect box = IntersectRect(PointsBox(points), cov.Box());
        std::vector<double> xs;
        for (int y = box.Top; y < box.Bottom; ++y) {
            double ys = y + 0.5;
            xs.clear();
            for (size_t i = 0; i < points.size(); ++i) {
                TPoint a = points[i], b = points[(i + 1) % points.size()];
                if ((a.y <= ys && b.y > ys) || (b.y <= ys && a.y > ys))
                    xs.push_back(a.x + (ys - a.y) * (b.x - a.x) / static_cast<double>(b.y - a.y));
            }
            std::sort(xs.begin(), xs.end());
            for (size_t k = 0; k + 1 < xs.size(); k += 2)
                for (int x = static_cast<int>(std::ceil(xs[k] - 0.5)); x + 0.5 < xs[k + 1]; ++x)
                    if (cov.At(x, y) != Coverage::Pen) cov.Mark(x, y, Coverage::Fill);
        }
    }
    cov.Apply(target_, s);
}

void TRasterEngine::Rectangle(const TPaintState& s, const TRect& rect) {
    TRect r = Normalized(rect);
    if (r.IsEmpty()) return;
    int w = PenWidth(s.Pen);
    Coverage cov(IntersectRect(InflateRect(r, w, w), IntersectRect(s.Clip, DeviceRect())));
    if (cov.Empty()) return;
    if (!PenVisible(s.Pen)) {
        // Without a pen the filled area loses its last column and row.
        if (BrushVisible(s.Brush))
            for (int y = r.Top; y < r.Bottom - 1; ++y)
                for (int x = r.Left; x < r.Right - 1; ++x) cov.Mark(x, y, Coverage::Fill);
        cov.Apply(target_, s);
        return;
    }
    int inset = (s.Pen.Style == psInsideFrame && w > 1) ? w / 2 : 0;
    TPoint corners[4] = {{r.Left + inset, r.Top + inset},
                         {r.Right - 1 - inset, r.Top + inset},
                         {r.Right - 1 - inset, r.Bottom - 1 - inset},
                         {r.Left + inset, r.Bottom - 1 - inset}};
    PenPath path(cov, s.Pen);
    for (int i = 0; i < 4; ++i) path.Segment(corners[i], corners[(i + 1) % 4], false);
    if (corners[0] == corners[2]) path.Segment(corners[0], corners[0], true);
    if (BrushVisible(s.Brush))
        for (int y = corners[0].y + 1; y < corners[2].y; ++y)
            for (int x = corners[0].x + 1; x < corners[2].x; ++x)
                if (cov.At(x, y) != Coverage::Pen) cov.Mark(x, y, Coverage::Fill);
    cov.Apply(target_, s);
}

void TRasterEngine::FillRect(const TPaintState& s, const TRect& rect) {
    if (!BrushVisible(s.Brush)) return;
    TRect r = IntersectRect(Normalized(rect), IntersectRect(s.Clip, DeviceRect()));
    uint32_t c = Px(s.Brush.Color);
    for (int y = r.Top; y < r.Bottom; ++y)
        std::fill(target_.ScanLine(y) + r.Left, target_.ScanLine(y) + r.Right, c);
}

void TRasterEngine::FrameRect(const TPaintState& s, const TRect& rect) {
    if (!BrushVisible(s.Brush)) return;
    TRect r = Normalized(rect);
    if (r.IsEmpty()) return;
    TPaintState edge = s;
    FillRect(edge, TRect(r.Left, r.Top, r.Right, r.Top + 1));
    FillRect(edge, TRect(r.Left, r.Bottom - 1, r.Right, r.Bottom));
    FillRect(edge, TRect(r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1));
    FillRect(edge, TRect(r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1));
}

void TRasterEngine::Ellipse(const TPaintState& s, const TRect& rect) {
    TRect r = Normalized(rect);
    if (r.IsEmpty()) return;
    int w = PenVisible(s.Pen) ? PenWidth(s.Pen) : 0;
    Coverage cov(IntersectRect(InflateRect(r, w, w), IntersectRect(s.Clip, DeviceRect())));
    if (cov.Empty()) return;
    EllipseShape e(r);
    TRect box = cov.Box();
    for (int y = box.Top; y < box.Bottom; ++y)
        for (int x = box.Left; x < box.Right; ++x) {
            if (w > 0 && e.OnOutline(x, y, w))
                cov.Mark(x, y, Coverage::Pen);
            else if (BrushVisible(s.Brush) && e.Inside(x, y))
                cov.Mark(x, y, Coverage::Fill);
        }
    cov.Apply(target_, s);
}

void TRasterEngine::Arc(const TPaintState& s, const TRect& rect, TPoint start, TPoint end) {
    TRect r = Normalized(rect);
    if (r.IsEmpty() || !PenVisible(s.Pen)) return;
    int w = PenWidth(s.Pen);
    Coverage cov(IntersectRect(InflateRect(r, w, w), IntersectRect(s.Clip, DeviceRect())));
    if (cov.Empty()) return;
    EllipseShape e(r);
    const double twoPi = 2 * std::numbers::pi;
    double a0 = e.Angle(start.x, start.y);
    double span = start == end ? twoPi : std::fmod(e.Angle(end.x, end.y) - a0 + 2 * twoPi, twoPi);
    TRect box = cov.Box();
    for (int y = box.Top; y < box.Bottom; ++y)
        for (int x = box.Left; x < box.Right; ++x) {
            if (!e.OnOutline(x, y, w)) continue;
            double d = std::fmod(e.Angle(x + 0.5, y + 0.5) - a0 + 2 * twoPi, twoPi);
            if (d <= span + 1e-9) cov.Mark(x, y, Coverage::Pen);
        }
    cov.Apply(target_, s);
}

TSize TRasterEngine::TextExtent(const TFontState& font, const AnsiString& text) {
    return TTextMetrics::Extent(font, text);
}

void TRasterEngine::Text(const TPaintState& s, int x, int y, const AnsiString& text, const TRect* rect) {
    TPaintState st = s;
    st.Clip = IntersectRect(s.Clip, DeviceRect());
    TSize ext = TTextMetrics::Extent(s.Font, text);
    if (rect) {
        st.Clip = IntersectRect(st.Clip, Normalized(*rect));
        if (BrushVisible(s.Brush)) FillRect(st, *rect);
    } else if (BrushVisible(s.Brush)) {
        FillRect(st, Bounds(x, y, ext.cx, ext.cy));
    }
    // One box per visible character, from the top of capitals to the baseline.
    int em = TTextMetrics::CharHeight(s.Font);
    int ascent = TTextMetrics::Ascent(s.Font);
    int cap = (em * 72 + 50) / 100;
    std::vector<int> off = TTextMetrics::Offsets(s.Font, text);
    std::vector<uint32_t> cps = TTextMetrics::CodePoints(text);
    TPaintState glyph = st;
    glyph.Brush = TBrushState{s.Font.Color, bsSolid};
    for (size_t i = 0; i < cps.size(); ++i) {
        if (cps[i] <= ' ') continue;
        TRect box(x + off[i] + 1, y + ascent - cap, x + off[i + 1] - 1, y + ascent);
        if (box.Width() < 3 || box.Height() < 3)
            FillRect(glyph, box);
        else
            FrameRect(glyph, box);
    }
    if (s.Font.Style.Contains(fsUnderline))
        FillRect(glyph, TRect(x, y + ascent + 1, x + ext.cx, y + ascent + 2));
    if (s.Font.Style.Contains(fsStrikeOut))
        FillRect(glyph, TRect(x, y + ascent - cap / 2, x + ext.cx, y + ascent - cap / 2 + 1));
}

void TRasterEngine::DrawBitmap(const TPaintState& s, const TRect& destRect, const TBitmap& bitmap,
                               const TRect& sourceRect, bool transparent) {
    TRect dest = Normalized(destRect), src = Normalized(sourceRect);
    if (dest.IsEmpty() || src.IsEmpty()) return;
    TRect area = IntersectRect(dest, IntersectRect(s.Clip, DeviceRect()));
    if (area.IsEmpty()) return;
    // Drawing a bitmap on itself reads from a copy.
    TBitmap copy;
    const TBitmap* from = &bitmap;
    if (&bitmap == &target_) {
        copy.Assign(bitmap);
        from = &copy;
    }
    TColor key = transparent ? bitmap.EffectiveTransparentColor() : clNone;
    for (int y = area.Top; y < area.Bottom; ++y) {
        long long sy = src.Top + static_cast<long long>(y - dest.Top) * src.Height() / dest.Height();
        if (sy < 0 || sy >= from->GetHeight()) continue;
        uint32_t* row = target_.ScanLine(y);
        const uint32_t* srow = from->ScanLine(static_cast<int>(sy));
        for (int x = area.Left; x < area.Right; ++x) {
            long long sx = src.Left + static_cast<long long>(x - dest.Left) * src.Width() / dest.Width();
            if (sx < 0 || sx >= from->GetWidth()) continue;
            uint32_t p = srow[sx];
            if (transparent && FromPx(p) == key) continue;
            row[x] = p | 0xFF000000u;
        }
    }
}

TColor TRasterEngine::GetPixel(int x, int y) { return target_.Pixel(x, y); }

void TRasterEngine::SetPixel(const TPaintState& s, int x, int y, TColor color) {
    if (!IntersectRect(s.Clip, DeviceRect()).Contains(TPoint(x, y))) return;
    target_.ScanLine(y)[x] = Px(color);
}

void TRasterEngine::FloodFill(const TPaintState& s, int x, int y, TColor color, TFillStyle style) {
    if (!BrushVisible(s.Brush)) return;
    TRect area = IntersectRect(s.Clip, DeviceRect());
    if (!area.Contains(TPoint(x, y))) return;
    uint32_t key = Px(color) & 0xFFFFFF, fill = Px(s.Brush.Color);
    auto fillable = [&](int px, int py) {
        bool same = (target_.ScanLine(py)[px] & 0xFFFFFF) == key;
        return style == fsSurface ? same : !same;
    };
    if (!fillable(x, y)) return;
    std::vector<bool> done(static_cast<size_t>(area.Width()) * area.Height(), false);
    auto seen = [&](int px, int py) -> std::vector<bool>::reference {
        return done[static_cast<size_t>(py - area.Top) * area.Width() + (px - area.Left)];
    };
    std::vector<TPoint> stack{TPoint(x, y)};
    while (!stack.empty()) {
        TPoint p = stack.back();
        stack.pop_back();
        if (seen(p.x, p.y) || !fillable(p.x, p.y)) continue;
        int l = p.x, r = p.x;
        while (l - 1 >= area.Left && !seen(l - 1, p.y) && fillable(l - 1, p.y)) --l;
        while (r + 1 < area.Right && !seen(r + 1, p.y) && fillable(r + 1, p.y)) ++r;
        uint32_t* row = target_.ScanLine(p.y);
        for (int i = l; i <= r; ++i) {
            seen(i, p.y) = true;
            row[i] = fill;
        }
        for (int ny : {p.y - 1, p.y + 1}) {
            if (ny < area.Top || ny >= area.Bottom) continue;
            for (int i = l; i <= r; ++i)
                if (!seen(i, ny) && fillable(i, ny)) {
                    stack.emplace_back(i, ny);
                    while (i + 1 <= r && !seen(i + 1, ny) && fillable(i + 1, ny)) ++i;
                }
        }
    }
}
