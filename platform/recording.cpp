// The recording paint engine.
#include <algorithm>
#include <cstdio>

#include "platform/engines.h"

namespace {
const char* OpName(TPaintOp op) {
    switch (op) {
    case TPaintOp::Line: return "Line";
    case TPaintOp::Polyline: return "Polyline";
    case TPaintOp::Polygon: return "Polygon";
    case TPaintOp::Rectangle: return "Rectangle";
    case TPaintOp::FillRect: return "FillRect";
    case TPaintOp::FrameRect: return "FrameRect";
    case TPaintOp::Ellipse: return "Ellipse";
    case TPaintOp::Arc: return "Arc";
    case TPaintOp::Text: return "Text";
    case TPaintOp::Bitmap: return "Bitmap";
    case TPaintOp::SetPixel: return "SetPixel";
    case TPaintOp::FloodFill: return "FloodFill";
    }
    return "?";
}

const char* PenStyleName(TPenStyle s) {
    static const char* names[] = {"solid", "dash", "dot", "dashdot", "dashdotdot", "clear", "insideframe"};
    return names[s];
}

const char* PenModeName(TPenMode m) {
    static const char* names[] = {
        "black",       "white",      "nop",   "not",      "copy", "notcopy", "mergepennot", "maskpennot",
        "mergenotpen", "masknotpen", "merge", "notmerge", "mask", "notmask", "xor",         "notxor"};
    return names[m];
}

AnsiString Hex(TColor c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%06X", static_cast<unsigned>(c) & 0xFFFFFF);
    return buf;
}

AnsiString Pt(TPoint p) { return "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")"; }
AnsiString Rc(const TRect& r) {
    return "(" + std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
           std::to_string(r.Bottom) + ")";
}
AnsiString PenText(const TPenState& p) {
    return "pen " + Hex(p.Color) + " " + std::to_string(p.Width) + " " + PenStyleName(p.Style) + " " +
           PenModeName(p.Mode);
}
AnsiString BrushText(const TBrushState& b) {
    return b.Style == bsClear ? AnsiString("brush clear") : "brush " + Hex(b.Color);
}
AnsiString FontText(const TFontState& f) {
    AnsiString s = "font " + f.Name + " " + std::to_string(f.Height) + " " + Hex(f.Color);
    if (f.Style.Contains(fsBold)) s += " bold";
    if (f.Style.Contains(fsItalic)) s += " italic";
    if (f.Style.Contains(fsUnderline)) s += " underline";
    if (f.Style.Contains(fsStrikeOut)) s += " strikeout";
    return s;
}
}  // namespace

AnsiString TPaintCall::Describe() const {
    AnsiString s = OpName(Op);
    switch (Op) {
    case TPaintOp::Line: s += " " + Pt(Points[0]) + "-" + Pt(Points[1]) + " " + PenText(State.Pen); break;
    case TPaintOp::Polyline:
    case TPaintOp::Polygon:
        for (const TPoint& p : Points) s += " " + Pt(p);
        s += " " + PenText(State.Pen);
        if (Op == TPaintOp::Polygon) s += " " + BrushText(State.Brush);
        break;
    case TPaintOp::Rectangle:
    case TPaintOp::Ellipse:
        s += " " + Rc(Rect) + " " + PenText(State.Pen) + " " + BrushText(State.Brush);
        break;
    case TPaintOp::FillRect:
    case TPaintOp::FrameRect: s += " " + Rc(Rect) + " " + BrushText(State.Brush); break;
    case TPaintOp::Arc:
        s += " " + Rc(Rect) + " " + Pt(Points[0]) + " " + Pt(Points[1]) + " " + PenText(State.Pen);
        break;
    case TPaintOp::Text:
        s += " " + Pt(Points[0]) + " \"" + Text + "\" " + FontText(State.Font) + " " + BrushText(State.Brush);
        if (HasRect) s += " in " + Rc(Rect);
        break;
    case TPaintOp::Bitmap:
        s += " " + std::to_string(BitmapSize.cx) + "x" + std::to_string(BitmapSize.cy) + " " + Rc(Source) +
             " to " + Rc(Rect) + (Transparent ? " transparent" : "");
        break;
    case TPaintOp::SetPixel: s += " " + Pt(Points[0]) + " " + Hex(Color); break;
    case TPaintOp::FloodFill:
        s += " " + Pt(Points[0]) + " " + Hex(Color) + (FillStyle == fsSurface ? " surface " : " border ") +
             BrushText(State.Brush);
        break;
    }
    return s + " clip " + Rc(State.Clip);
}

TPaintCall& TRecordingEngine::Add(TPaintOp op, const TPaintState& s) {
    Calls.emplace_back();
    Calls.back().Op = op;
    Calls.back().State = s;
    return Calls.back();
}

std::vector<AnsiString> TRecordingEngine::Texts() const {
    std::vector<AnsiString> texts;
    for (const TPaintCall& c : Calls)
        if (c.Op == TPaintOp::Text) texts.push_back(c.Text);
    return texts;
}

std::vector<TPaintCall> TRecordingEngine::CallsOf(TPaintOp op) const {
    std::vector<TPaintCall> out;
    std::copy_if(Calls.begin(), Calls.end(), std::back_inserter(out),
                 [op](const TPaintCall& c) { return c.Op == op; });
    return out;
}

AnsiString TRecordingEngine::Dump() const {
    AnsiString s;
    for (const TPaintCall& c : Calls) s += c.Describe() + "\n";
    return s;
}

void TRecordingEngine::Line(const TPaintState& s, TPoint from, TPoint to) {
    Add(TPaintOp::Line, s).Points = {from, to};
}

void TRecordingEngine::Polyline(const TPaintState& s, std::span<const TPoint> points) {
    Add(TPaintOp::Polyline, s).Points.assign(points.begin(), points.end());
}

void TRecordingEngine::Polygon(const TPaintState& s, std::span<const TPoint> points) {
    Add(TPaintOp::Polygon, s).Points.assign(points.begin(), points.end());
}

void TRecordingEngine::Rectangle(const TPaintState& s, const TRect& r) {
    Add(TPaintOp::Rectangle, s).Rect = r;
}
void TRecordingEngine::FillRect(const TPaintState& s, const TRect& r) { Add(TPaintOp::FillRect, s).Rect = r; }
void TRecordingEngine::FrameRect(const TPaintState& s, const TRect& r) {
    Add(TPaintOp::FrameRect, s).Rect = r;
}
void TRecordingEngine::Ellipse(const TPaintState& s, const TRect& r) { Add(TPaintOp::Ellipse, s).Rect = r; }

void TRecordingEngine::Arc(const TPaintState& s, const TRect& r, TPoint start, TPoint end) {
    TPaintCall& c = Add(TPaintOp::Arc, s);
    c.Rect = r;
    c.Points = {start, end};
}

void TRecordingEngine::Text(const TPaintState& s, int x, int y, const AnsiString& text, const TRect* rect) {
    TPaintCall& c = Add(TPaintOp::Text, s);
    c.Points = {TPoint(x, y)};
    c.Text = text;
    if (rect) {
        c.Rect = *rect;
        c.HasRect = true;
    }
}

TSize TRecordingEngine::TextExtent(const TFontState& font, const AnsiString& text) {
    return TTextMetrics::Extent(font, text);
}

void TRecordingEngine::DrawBitmap(const TPaintState& s, const TRect& dest, const TBitmap& bitmap,
                                  const TRect& source, bool transparent) {
    TPaintCall& c = Add(TPaintOp::Bitmap, s);
    c.Rect = dest;
    c.BitmapSize = TSize{bitmap.GetWidth(), bitmap.GetHeight()};
    c.Source = source;
    c.Transparent = transparent;
}

TColor TRecordingEngine::GetPixel(int x, int y) {
    for (auto it = pixels_.rbegin(); it != pixels_.rend(); ++it)
        if (it->x == x && it->y == y) return it->c;
    return device_.Contains(TPoint(x, y)) ? clWhite : clNone;
}

void TRecordingEngine::SetPixel(const TPaintState& s, int x, int y, TColor color) {
    TPaintCall& c = Add(TPaintOp::SetPixel, s);
    c.Points = {TPoint(x, y)};
    c.Color = color;
    if (s.Clip.Contains(TPoint(x, y))) pixels_.push_back(Pixel{x, y, color});
}

void TRecordingEngine::FloodFill(const TPaintState& s, int x, int y, TColor color, TFillStyle style) {
    TPaintCall& c = Add(TPaintOp::FloodFill, s);
    c.Points = {TPoint(x, y)};
    c.Color = color;
    c.FillStyle = style;
}
