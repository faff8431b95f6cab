// The scaling paint engine.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/engines.h"

namespace {

// v x to / from rounded down to a whole pixel, exact in 64 bits: a
// rectangle's edge lands where the next one's starts, and every point inside
// the device lands inside the target (a frame drawn at the page's last pixels
// stays in sight).
int Place(int v, int to, int from) {
    if (from <= 0) return v;
    const int64_t n = static_cast<int64_t>(v) * to;
    int64_t q = n / from;
    if (n % from != 0 && n < 0) --q;  // floor for negatives
    return static_cast<int>(q);
}

// A length (pen width, font height) rounded to the nearest pixel, at least
// one pixel when it was at least one.
int ScaleLength(int v, int to, int from) {
    if (v == 0 || from <= 0) return v;
    const int64_t n = 2 * static_cast<int64_t>(std::abs(v)) * to + from;
    const int scaled = std::max<int>(1, static_cast<int>(n / (2 * static_cast<int64_t>(from))));
    return v < 0 ? -scaled : scaled;
}

}  // namespace

void TScalingEngine::Attach(TPaintEngine* target, TSize targetSize, const TRect& device,
                            TPaintEngine* measurer) {
    target_ = target;
    size_ = targetSize;
    device_ = device;
    measurer_ = measurer;
}

int TScalingEngine::MapX(int x) const { return Place(x - device_.Left, size_.cx, device_.Width()); }
int TScalingEngine::MapY(int y) const { return Place(y - device_.Top, size_.cy, device_.Height()); }

TPaintState TScalingEngine::Mapped(const TPaintState& s) const {
    TPaintState t = s;
    t.Pen.Width = ScaleLength(s.Pen.Width, size_.cx, device_.Width());
    t.Font.Height = ScaleLength(s.Font.Height, size_.cy, device_.Height());
    t.Font.PixelsPerInch = ScaleLength(s.Font.PixelsPerInch, size_.cy, device_.Height());
    t.Clip = IntersectRect(Map(s.Clip), target_->DeviceRect());
    return t;
}

std::vector<TPoint> TScalingEngine::Mapped(std::span<const TPoint> points) const {
    std::vector<TPoint> out;
    out.reserve(points.size());
    for (TPoint p : points) out.push_back(Map(p));
    return out;
}

// A solid pen wider than a device pixel ends in round caps reaching half its
// width beyond the line's ends, and the caps of two lines that meet close the
// gap between them. A line the target draws one pixel thin has no caps and
// leaves out its last point: its open ends are moved out by that reach, and
// its mapped end one pixel further, so that it covers the target pixels its
// caps reach and such lines still meet on the target (a cable run stays one line).
std::vector<TPoint> TScalingEngine::MappedLine(const TPaintState& s, const TPaintState& mapped,
                                               std::span<const TPoint> points) const {
    const bool solid = s.Pen.Style == psSolid || s.Pen.Style == psInsideFrame;
    if (!solid || s.Pen.Width < 2 || mapped.Pen.Width != 1 || points.size() < 2 ||
        points.front() == points.back())
        return Mapped(points);
    std::vector<TPoint> out(points.begin(), points.end());
    const double reach = s.Pen.Width / 2.0;
    auto outward = [&](TPoint& end, TPoint before) {
        const double dx = end.x - before.x, dy = end.y - before.y, length = std::hypot(dx, dy);
        if (length == 0) return;
        end.x += static_cast<int>(std::lround(dx / length * reach));
        end.y += static_cast<int>(std::lround(dy / length * reach));
    };
    outward(out.front(), points[1]);
    outward(out.back(), points[points.size() - 2]);
    out = Mapped(out);
    TPoint& last = out.back();
    const TPoint before = out[out.size() - 2];
    const int dx = last.x - before.x, dy = last.y - before.y;
    if (std::abs(dx) >= std::abs(dy) && dx != 0) last.x += dx > 0 ? 1 : -1;
    if (std::abs(dy) >= std::abs(dx) && dy != 0) last.y += dy > 0 ? 1 : -1;
    return out;
}

void TScalingEngine::Line(const TPaintState& s, TPoint from, TPoint to) {
    if (!target_) return;
    const TPaintState mapped = Mapped(s);
    const TPoint ends[2] = {from, to};
    const std::vector<TPoint> line = MappedLine(s, mapped, ends);
    target_->Line(mapped, line[0], line[1]);
}

void TScalingEngine::Polyline(const TPaintState& s, std::span<const TPoint> points) {
    if (!target_) return;
    const TPaintState mapped = Mapped(s);
    target_->Polyline(mapped, MappedLine(s, mapped, points));
}

void TScalingEngine::Polygon(const TPaintState& s, std::span<const TPoint> points) {
    if (target_) target_->Polygon(Mapped(s), Mapped(points));
}

void TScalingEngine::Rectangle(const TPaintState& s, const TRect& r) {
    if (target_) target_->Rectangle(Mapped(s), Map(r));
}

void TScalingEngine::FillRect(const TPaintState& s, const TRect& r) {
    if (target_) target_->FillRect(Mapped(s), Map(r));
}

void TScalingEngine::FrameRect(const TPaintState& s, const TRect& r) {
    if (target_) target_->FrameRect(Mapped(s), Map(r));
}

void TScalingEngine::Ellipse(const TPaintState& s, const TRect& r) {
    if (target_) target_->Ellipse(Mapped(s), Map(r));
}

void TScalingEngine::Arc(const TPaintState& s, const TRect& r, TPoint start, TPoint end) {
    if (target_) target_->Arc(Mapped(s), Map(r), Map(start), Map(end));
}

void TScalingEngine::Text(const TPaintState& s, int x, int y, const AnsiString& text, const TRect* rect) {
    if (!target_) return;
    const TRect mapped = rect ? Map(*rect) : TRect();
    target_->Text(Mapped(s), MapX(x), MapY(y), text, rect ? &mapped : nullptr);
}

TSize TScalingEngine::TextExtent(const TFontState& font, const AnsiString& text) {
    return measurer_ ? measurer_->TextExtent(font, text) : TTextMetrics::Extent(font, text);
}

void TScalingEngine::DrawBitmap(const TPaintState& s, const TRect& dest, const TBitmap& bitmap,
                                const TRect& source, bool transparent) {
    if (target_) target_->DrawBitmap(Mapped(s), Map(dest), bitmap, source, transparent);
}

TColor TScalingEngine::GetPixel(int x, int y) {
    return target_ ? target_->GetPixel(MapX(x), MapY(y)) : clWhite;
}

void TScalingEngine::SetPixel(const TPaintState& s, int x, int y, TColor color) {
    if (target_) target_->SetPixel(Mapped(s), MapX(x), MapY(y), color);
}

void TScalingEngine::FloodFill(const TPaintState& s, int x, int y, TColor color, TFillStyle style) {
    if (target_) target_->FloodFill(Mapped(s), MapX(x), MapY(y), color, style);
}
