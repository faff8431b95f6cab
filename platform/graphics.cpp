#include "platform/graphics.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "platform/engines.h"

// ---------------------------------------------------------------- colours

TColor ColorToRGB(TColor color) {
    uint32_t v = static_cast<uint32_t>(color);
    if ((v & 0x80000000u) == 0) {
        if (color == clNone || color == clDefault) return clBlack;
        return static_cast<TColor>(v & 0xFFFFFF);
    }
    // Fixed values of the classic desktop scheme, so that headless drawing
    // never depends on the machine.
    switch (v & 0xFF) {
    case 0x00: return RGB(212, 208, 200);  // scroll bar
    case 0x01: return RGB(58, 110, 165);   // desktop
    case 0x02: return RGB(10, 36, 106);    // active caption
    case 0x03: return RGB(128, 128, 128);  // inactive caption
    case 0x04: return RGB(212, 208, 200);  // menu
    case 0x05: return clWhite;             // window
    case 0x06: return clBlack;             // window frame
    case 0x07: return clBlack;             // menu text
    case 0x08: return clBlack;             // window text
    case 0x09: return clWhite;             // caption text
    case 0x0A: return RGB(212, 208, 200);  // active border
    case 0x0B: return RGB(212, 208, 200);  // inactive border
    case 0x0C: return RGB(128, 128, 128);  // application work space
    case 0x0D: return RGB(10, 36, 106);    // highlight
    case 0x0E: return clWhite;             // highlight text
    case 0x0F: return RGB(212, 208, 200);  // button face
    case 0x10: return RGB(128, 128, 128);  // button shadow
    case 0x11: return RGB(128, 128, 128);  // grey text
    case 0x12: return clBlack;             // button text
    case 0x13: return RGB(212, 208, 200);  // inactive caption text
    case 0x14: return clWhite;             // button highlight
    case 0x15: return RGB(64, 64, 64);     // 3D dark shadow
    case 0x16: return RGB(212, 208, 200);  // 3D light
    case 0x17: return clBlack;             // tooltip text
    case 0x18: return RGB(255, 255, 225);  // tooltip background
    default: return clBlack;
    }
}

AnsiString ColorToString(TColor color) {
    static const struct {
        TColor c;
        const char* name;
    } names[] = {
        {clBlack, "clBlack"},
        {clMaroon, "clMaroon"},
        {clGreen, "clGreen"},
        {clOlive, "clOlive"},
        {clNavy, "clNavy"},
        {clPurple, "clPurple"},
        {clTeal, "clTeal"},
        {clGray, "clGray"},
        {clSilver, "clSilver"},
        {clRed, "clRed"},
        {clLime, "clLime"},
        {clYellow, "clYellow"},
        {clBlue, "clBlue"},
        {clFuchsia, "clFuchsia"},
        {clAqua, "clAqua"},
        {clWhite, "clWhite"},
        {clBtnFace, "clBtnFace"},
        {clWindow, "clWindow"},
        {clWindowText, "clWindowText"},
        {clInfoBk, "clInfoBk"},
        {clHighlight, "clHighlight"},
        {clNone, "clNone"},
        {clDefault, "clDefault"},
    };
    for (const auto& n : names)
        if (n.c == color) return n.name;
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%08X", static_cast<unsigned>(color));
    return buf;
}

// ---------------------------------------------------------------- geometry

TRect IntersectRect(const TRect& a, const TRect& b) {
    TRect r(std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom));
    if (r.Right <= r.Left || r.Bottom <= r.Top) return TRect();
    return r;
}

TRect UnionRect(const TRect& a, const TRect& b) {
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return TRect(std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                 std::max(a.Bottom, b.Bottom));
}

TRect InflateRect(const TRect& r, int dx, int dy) {
    return TRect(r.Left - dx, r.Top - dy, r.Right + dx, r.Bottom + dy);
}

TRect OffsetRect(const TRect& r, int dx, int dy) {
    return TRect(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy);
}

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    long long p = static_cast<long long>(a) * b;
    long long ap = p < 0 ? -p : p, ac = c < 0 ? -static_cast<long long>(c) : c;
    long long q = (ap + ac / 2) / ac;
    if (q > INT_MAX) return -1;  // as the desktop's MulDiv: a result that does not fit is -1
    return static_cast<int>(((p < 0) != (c < 0)) ? -q : q);
}

// ---------------------------------------------------------------- fonts, pens, brushes

TFont::TFont() = default;

void TFont::PropertyChanged(TPropId id) {
    if (assigning_) return;
    if (id == TPropId::Height || id == TPropId::PixelsPerInch) {
        Size.SetQuiet(-MulDiv(Height, 72, std::max(1, PixelsPerInch.Get())));
    } else if (id == TPropId::Size) {
        Height.SetQuiet(-MulDiv(Size, std::max(1, PixelsPerInch.Get()), 72));
    }
    Changed();
}

void TFont::Assign(const TFont& other) {
    if (&other == this) return;
    assigning_ = true;
    Name = other.Name;
    Color = other.Color;
    Style = other.Style;
    // A font taken from another device keeps its point size.
    if (PixelsPerInch == other.PixelsPerInch) {
        Height = other.Height;
        Size.SetQuiet(other.Size);
    } else {
        Size = other.Size.Get();
        Height.SetQuiet(-MulDiv(Size, std::max(1, PixelsPerInch.Get()), 72));
    }
    assigning_ = false;
    Changed();
}

void TPen::Assign(const TPen& other) {
    Color.SetQuiet(other.Color);
    Width.SetQuiet(other.Width);
    Style.SetQuiet(other.Style);
    Mode.SetQuiet(other.Mode);
    Changed();
}

void TBrush::Assign(const TBrush& other) {
    Color.SetQuiet(other.Color);
    Style.SetQuiet(other.Style);
    Changed();
}

void TBrush::PropertyChanged(TPropId id) {
    if (id == TPropId::Color && Style == bsClear) Style.SetQuiet(bsSolid);
    Changed();
}

// ---------------------------------------------------------------- text metrics

namespace {
// Advance widths in thousandths of the character height, code points 32-126.
// clang-format off
const short kAdvance[95] = {
    278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278,  // ' ' - '/'
    556, 556, 556, 556, 556, 556, 556, 556, 556, 556,                                 // digits
    278, 278, 584, 584, 584, 556, 1015,                                               // ':' - '@'
    667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833,                  // A - M
    722, 778, 667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611,                  // N - Z
    278, 278, 278, 469, 556, 333,                                                     // '[' - '`'
    556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833,                  // a - m
    556, 556, 556, 556, 333, 500, 278, 556, 500, 722, 500, 500, 500,                  // n - z
    334, 260, 334, 584,                                                               // '{' - '~'
};
// clang-format on

int AdvanceOf(uint32_t cp) {
    if (cp >= 32 && cp <= 126) return kAdvance[cp - 32];
    if (cp == '\t') return kAdvance[0];
    if (cp < 32) return 0;
    if (cp >= 0xC0 && cp <= 0xDE) return 667;                              // accented capitals
    if (cp == 0xEC || cp == 0xED || cp == 0xEE || cp == 0xEF) return 278;  // accented i
    if (cp >= 0xDF && cp <= 0xFF) return 556;                              // accented small letters
    return 556;
}

// Decodes one UTF-8 sequence at s[i]; a broken one counts as one character.
uint32_t NextCodePoint(const AnsiString& s, size_t& i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    if (extra == 0) {
        ++i;
        return c;
    }
    if (extra < 0 || i + extra >= s.size()) {
        ++i;
        return 0xFFFD;
    }
    uint32_t cp = c & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        unsigned char cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (cc & 0x3F);
    }
    i += extra + 1;
    return cp;
}
}  // namespace

int TTextMetrics::CharHeight(const TFontState& font) {
    if (font.Height < 0) return -font.Height;
    if (font.Height > 0) return std::max(1, (font.Height * 87 + 50) / 100);
    return MulDiv(8, std::max(1, font.PixelsPerInch), 72);
}

std::vector<uint32_t> TTextMetrics::CodePoints(const AnsiString& text) {
    std::vector<uint32_t> cps;
    for (size_t i = 0; i < text.size();) cps.push_back(NextCodePoint(text, i));
    return cps;
}

std::vector<AnsiString> TTextMetrics::Wrap(const TFontState& font, const AnsiString& text, int width) {
    std::vector<AnsiString> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        AnsiString para = text.substr(start, end == AnsiString::npos ? AnsiString::npos : end - start);
        AnsiString line;
        size_t i = 0;
        while (i <= para.size()) {
            size_t sp = para.find(' ', i);
            AnsiString word = para.substr(i, sp == AnsiString::npos ? AnsiString::npos : sp - i);
            AnsiString candidate = line.empty() ? word : line + " " + word;
            if (!line.empty() && Extent(font, candidate).cx > width) {
                lines.push_back(line);
                line = word;
            } else {
                line = candidate;
            }
            if (sp == AnsiString::npos) break;
            i = sp + 1;
        }
        lines.push_back(line);
        if (end == AnsiString::npos) break;
        start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    return lines;
}

int TTextMetrics::Ascent(const TFontState& font) { return (CharHeight(font) * 92 + 50) / 100; }

std::vector<int> TTextMetrics::Offsets(const TFontState& font, const AnsiString& text) {
    int em = CharHeight(font);
    long long factor = font.Style.Contains(fsBold) ? 105 : 100;
    std::vector<int> offsets{0};
    long long sum = 0;
    for (size_t i = 0; i < text.size();) {
        sum += AdvanceOf(NextCodePoint(text, i));
        offsets.push_back(static_cast<int>((sum * em * factor + 50000) / 100000));
    }
    return offsets;
}

TSize TTextMetrics::Extent(const TFontState& font, const AnsiString& text) {
    int em = CharHeight(font);
    return TSize{Offsets(font, text).back(), std::max(em > 0 ? 1 : 0, (em * 115 + 50) / 100)};
}

// ---------------------------------------------------------------- canvas

TCanvas::TCanvas(TPaintEngine* engine) : Font(new TFont), Pen(new TPen), Brush(new TBrush), engine_(engine) {
    if (!engine_) {
        ownEngine_ = std::make_unique<TRecordingEngine>();
        engine_ = ownEngine_.get();
    }
}

TCanvas::~TCanvas() {
    delete Font;
    delete Pen;
    delete Brush;
}

void TCanvas::SetEngine(TPaintEngine* engine) {
    if (!engine) {
        if (!ownEngine_) ownEngine_ = std::make_unique<TRecordingEngine>();
        engine = ownEngine_.get();
    }
    engine_ = engine;
}

TFontState FontStateOf(const TFont& f) {
    return TFontState{f.Name, f.Height, f.PixelsPerInch, ColorToRGB(f.Color), f.Style};
}

TPaintState TCanvas::State() const {
    TPaintState s;
    s.Pen = TPenState{ColorToRGB(Pen->Color), std::max(0, Pen->Width.Get()), Pen->Style, Pen->Mode};
    s.Brush = TBrushState{ColorToRGB(Brush->Color), Brush->Style};
    s.Font = FontStateOf(*Font);
    s.Clip = ClipRect();
    return s;
}

TRect TCanvas::ClipRect() const {
    TRect device = engine_->DeviceRect();
    return hasClip_ ? IntersectRect(clip_, device) : device;
}

void TCanvas::SetClipRect(const TRect& r) {
    clip_ = r;
    hasClip_ = true;
}

void TCanvas::ReleaseClip() { hasClip_ = false; }

void TCanvas::Changed() {
    if (OnChange) OnChange(this);
}

void TCanvas::MoveTo(int x, int y) { PenPos = TPoint(x, y); }

void TCanvas::LineTo(int x, int y) {
    engine_->Line(State(), PenPos, TPoint(x, y));
    PenPos = TPoint(x, y);
    Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    engine_->Rectangle(State(), TRect(x1, y1, x2, y2));
    Changed();
}

void TCanvas::FillRect(const TRect& r) {
    engine_->FillRect(State(), r);
    Changed();
}

void TCanvas::FrameRect(const TRect& r) {
    engine_->FrameRect(State(), r);
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& r, TColor color) {
    const TPenStyle penStyle = Pen->Style;
    const TBrushStyle brushStyle = Brush->Style;
    Pen->Color = color;
    Pen->Width = 1;
    Pen->Style = psDot;
    Pen->Mode = pmCopy;
    Brush->Style = bsClear;
    Rectangle(r);
    Pen->Style = penStyle;
    Brush->Style = brushStyle;
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    engine_->Ellipse(State(), TRect(x1, y1, x2, y2));
    Changed();
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    engine_->Arc(State(), TRect(x1, y1, x2, y2), TPoint(x3, y3), TPoint(x4, y4));
    Changed();
}

void TCanvas::Polyline(std::span<const TPoint> points) {
    if (points.empty()) return;
    engine_->Polyline(State(), points);
    Changed();
}

void TCanvas::Polygon(std::span<const TPoint> points) {
    if (points.empty()) return;
    engine_->Polygon(State(), points);
    Changed();
}

void TCanvas::TextOut(int x, int y, const AnsiString& text) {
    TPaintState s = State();
    engine_->Text(s, x, y, text, nullptr);
    PenPos = TPoint(x + engine_->TextExtent(s.Font, text).cx, y);
    Changed();
}

void TCanvas::TextRect(const TRect& r, int x, int y, const AnsiString& text) {
    engine_->Text(State(), x, y, text, &r);
    Changed();
}

TSize TCanvas::TextExtent(const AnsiString& text) { return engine_->TextExtent(State().Font, text); }
int TCanvas::TextWidth(const AnsiString& text) { return TextExtent(text).cx; }
int TCanvas::TextHeight(const AnsiString& text) { return TextExtent(text).cy; }

void TCanvas::Draw(int x, int y, const TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return;
    graphic->DrawOn(*this, Bounds(x, y, graphic->GetWidth(), graphic->GetHeight()));
    Changed();
}

void TCanvas::StretchDraw(const TRect& r, const TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return;
    graphic->DrawOn(*this, r);
    Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect) {
    if (!source) return;
    const TBitmap* bitmap = source->Engine()->TargetBitmap();
    if (!bitmap) return;
    engine_->DrawBitmap(State(), dest, *bitmap, sourceRect, false);
    Changed();
}

void TCanvas::FloodFill(int x, int y, TColor color, TFillStyle style) {
    engine_->FloodFill(State(), x, y, ColorToRGB(color), style);
    Changed();
}

TColor TCanvas::GetPixel(int x, int y) { return engine_->GetPixel(x, y); }

void TCanvas::SetPixel(int x, int y, TColor color) {
    engine_->SetPixel(State(), x, y, ColorToRGB(color));
    Changed();
}

// ---------------------------------------------------------------- bitmaps

namespace {
TPaintEngine* (*bitmapEngineFactory)(TBitmap&) = nullptr;

constexpr long long kMaxBitmapPixels = 1LL << 27;

uint32_t ToPixel(TColor c) {
    uint32_t v = static_cast<uint32_t>(ColorToRGB(c));
    return 0xFF000000u | ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

TColor FromPixel(uint32_t p) {
    return static_cast<TColor>(((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16));
}
}  // namespace

void TBitmap::SetEngineFactory(TPaintEngine* (*factory)(TBitmap&)) { bitmapEngineFactory = factory; }

TBitmap::TBitmap()
    : engine_(bitmapEngineFactory ? bitmapEngineFactory(*this) : new TRasterEngine(*this)),
      Canvas(new TCanvas(engine_.get())) {}

TBitmap::TBitmap(int width, int height) : TBitmap() { SetSize(width, height); }

TBitmap::~TBitmap() { delete Canvas; }

void TBitmap::Resize(int width, int height) {
    if (width == bufW_ && height == bufH_) return;
    std::vector<uint32_t> fresh(static_cast<size_t>(width) * height, 0xFFFFFFFFu);
    int w = std::min(width, bufW_), h = std::min(height, bufH_);
    for (int y = 0; y < h; ++y)
        std::memcpy(&fresh[static_cast<size_t>(y) * width], &pixels_[static_cast<size_t>(y) * bufW_],
                    sizeof(uint32_t) * w);
    pixels_.swap(fresh);
    bufW_ = width;
    bufH_ = height;
}

void TBitmap::SetSize(int width, int height) {
    width = std::max(0, width);
    height = std::max(0, height);
    if (static_cast<long long>(width) * height > kMaxBitmapPixels)
        throw EInvalidGraphic("Immagine troppo grande (" + std::to_string(width) + " x " +
                              std::to_string(height) + ")");
    Width.SetQuiet(width);
    Height.SetQuiet(height);
    Resize(width, height);
    TGraphic::PropertyChanged(TPropId::Width);
}

void TBitmap::PropertyChanged(TPropId id) {
    if (id == TPropId::Width || id == TPropId::Height) {
        int w = std::max(0, Width.Get()), h = std::max(0, Height.Get());
        if (static_cast<long long>(w) * h > kMaxBitmapPixels) {
            Width.SetQuiet(bufW_);
            Height.SetQuiet(bufH_);
            throw EInvalidGraphic("Immagine troppo grande (" + std::to_string(w) + " x " + std::to_string(h) +
                                  ")");
        }
        Width.SetQuiet(w);
        Height.SetQuiet(h);
        Resize(w, h);
    }
    TGraphic::PropertyChanged(id);
}

void TBitmap::Assign(const TBitmap& other) {
    if (&other == this) return;
    pixels_ = other.pixels_;
    bufW_ = other.bufW_;
    bufH_ = other.bufH_;
    Width.SetQuiet(other.Width);
    Height.SetQuiet(other.Height);
    PixelFormat.SetQuiet(other.PixelFormat);
    Transparent.SetQuiet(other.Transparent);
    TransparentColor.SetQuiet(other.TransparentColor);
    TGraphic::PropertyChanged(TPropId::Bitmap);
}

TColor TBitmap::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= bufW_ || y >= bufH_) return clNone;
    return FromPixel(pixels_[static_cast<size_t>(y) * bufW_ + x]);
}

void TBitmap::SetPixel(int x, int y, TColor color) {
    if (x < 0 || y < 0 || x >= bufW_ || y >= bufH_) return;
    pixels_[static_cast<size_t>(y) * bufW_ + x] = ToPixel(color);
}

TColor TBitmap::EffectiveTransparentColor() const {
    if (TransparentColor != clDefault) return ColorToRGB(TransparentColor);
    if (bufH_ == 0 || bufW_ == 0) return clNone;
    return Pixel(0, bufH_ - 1);
}

void TBitmap::DrawOn(TCanvas& canvas, const TRect& dest) const {
    canvas.Engine()->DrawBitmap(canvas.State(), dest, *this, TRect(0, 0, bufW_, bufH_), Transparent);
}

// BMP files ------------------------------------------------------------

namespace {
uint16_t U16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
void Put16(std::string& s, uint16_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>(v >> 8));
}
void Put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

[[noreturn]] void BadBitmap(const char* why) {
    throw EInvalidGraphic(AnsiString("Immagine bitmap non valida: ") + why);
}

// Where a bit-field mask sits and how wide it is, to scale its value to 8 bits.
struct Field {
    int shift = 0;
    int bits = 0;
    explicit Field(uint32_t mask) {
        if (!mask) return;
        while (!(mask & 1)) {
            mask >>= 1;
            ++shift;
        }
        while (mask & 1) {
            mask >>= 1;
            ++bits;
        }
    }
    int Get(uint32_t v) const {
        if (bits == 0) return 0;
        uint32_t x = (v >> shift) & ((bits >= 32) ? 0xFFFFFFFFu : ((1u << bits) - 1));
        if (bits >= 8) return static_cast<int>(x >> (bits - 8));
        return static_cast<int>((x * 255 + ((1u << bits) - 1) / 2) / ((1u << bits) - 1));
    }
};
}  // namespace

void TBitmap::LoadFromStream(TStream& stream) {
    int64_t available = stream.Size() - stream.Position();
    if (available < 26) BadBitmap("file troppo corto");
    if (available > (1LL << 30)) BadBitmap("file troppo grande");
    std::vector<unsigned char> data(static_cast<size_t>(available));
    stream.ReadBuffer(data.data(), static_cast<int>(available));
    const size_t size = data.size();
    const unsigned char* d = data.data();

    if (d[0] != 'B' || d[1] != 'M') BadBitmap("manca la firma BM");
    uint32_t offBits = U32(d + 10);
    uint32_t headerSize = U32(d + 14);
    if (headerSize != 12 && headerSize < 40) BadBitmap("intestazione sconosciuta");
    if (14ull + headerSize > size) BadBitmap("intestazione troncata");

    long long width, height;
    int bpp;
    uint32_t compression = 0, colorsUsed = 0;
    uint32_t masks[3] = {0, 0, 0};
    size_t paletteAt = 14 + headerSize;
    int paletteEntrySize = 4;
    if (headerSize == 12) {
        width = U16(d + 18);
        height = U16(d + 20);
        bpp = U16(d + 24);
        paletteEntrySize = 3;
    } else {
        width = static_cast<int32_t>(U32(d + 18));
        height = static_cast<int32_t>(U32(d + 22));
        bpp = U16(d + 28);
        compression = U32(d + 30);
        colorsUsed = U32(d + 46);
        if (compression == 3 || compression == 6) {
            if (headerSize >= 52) {
                masks[0] = U32(d + 54);
                masks[1] = U32(d + 58);
                masks[2] = U32(d + 62);
            } else {
                if (paletteAt + 12 > size) BadBitmap("maschere troncate");
                masks[0] = U32(d + paletteAt);
                masks[1] = U32(d + paletteAt + 4);
                masks[2] = U32(d + paletteAt + 8);
                paletteAt += 12;
            }
        }
    }
    bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0) BadBitmap("dimensioni nulle");
    if (width * height > kMaxBitmapPixels) BadBitmap("dimensioni eccessive");
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        BadBitmap("profondità di colore non supportata");
    if (compression == 3 || compression == 6) {
        if (bpp != 16 && bpp != 32) BadBitmap("maschere su una profondità non ammessa");
    } else if (compression != 0) {
        BadBitmap("compressione non supportata");
    }
    if (compression == 0 && bpp == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    }

    std::vector<uint32_t> palette;
    if (bpp <= 8) {
        uint32_t count = colorsUsed ? colorsUsed : (1u << bpp);
        if (count > 256) BadBitmap("tavolozza troppo grande");
        if (paletteAt + static_cast<size_t>(count) * paletteEntrySize > size) BadBitmap("tavolozza troncata");
        for (uint32_t i = 0; i < count; ++i) {
            const unsigned char* p = d + paletteAt + i * paletteEntrySize;
            palette.push_back(0xFF000000u | (p[2] << 16) | (p[1] << 8) | p[0]);
        }
    }

    long long stride = ((width * bpp + 31) / 32) * 4;
    if (offBits > size || static_cast<long long>(size - offBits) < stride * height)
        BadBitmap("dati dei pixel troncati");

    std::vector<uint32_t> pixels(static_cast<size_t>(width * height));
    Field fr(masks[0]), fg(masks[1]), fb(masks[2]);
    for (long long row = 0; row < height; ++row) {
        const unsigned char* src = d + offBits + row * stride;
        long long y = topDown ? row : height - 1 - row;
        uint32_t* dst = &pixels[static_cast<size_t>(y * width)];
        for (long long x = 0; x < width; ++x) {
            uint32_t px;
            switch (bpp) {
            case 1:
            case 4:
            case 8: {
                long long bit = x * bpp;
                unsigned byte = src[bit / 8];
                unsigned index = (byte >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
                px = index < palette.size() ? palette[index] : 0xFF000000u;
                break;
            }
            case 16: {
                uint32_t v = U16(src + x * 2);
                px = 0xFF000000u | (fr.Get(v) << 16) | (fg.Get(v) << 8) | fb.Get(v);
                break;
            }
            case 24: {
                const unsigned char* p = src + x * 3;
                px = 0xFF000000u | (p[2] << 16) | (p[1] << 8) | p[0];
                break;
            }
            default: {
                uint32_t v = U32(src + x * 4);
                if (compression == 0)
                    px = 0xFF000000u | (v & 0xFFFFFF);
                else
                    px = 0xFF000000u | (fr.Get(v) << 16) | (fg.Get(v) << 8) | fb.Get(v);
                break;
            }
            }
            dst[x] = px;
        }
    }
    pixels_.swap(pixels);
    bufW_ = static_cast<int>(width);
    bufH_ = static_cast<int>(height);
    Width.SetQuiet(bufW_);
    Height.SetQuiet(bufH_);
    PixelFormat.SetQuiet(bpp == 32 ? pf32bit : pf24bit);
    TGraphic::PropertyChanged(TPropId::Bitmap);
}

void TBitmap::SaveToStream(TStream& stream) const {
    const int w = bufW_, h = bufH_;
    const size_t stride = ((static_cast<size_t>(w) * 24 + 31) / 32) * 4;
    const size_t imageSize = stride * h;
    std::string out;
    out.reserve(54 + imageSize);
    out += "BM";
    Put32(out, static_cast<uint32_t>(54 + imageSize));
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(w));
    Put32(out, static_cast<uint32_t>(h));
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, static_cast<uint32_t>(imageSize));
    Put32(out, 3780);  // 96 pixels per inch
    Put32(out, 3780);
    Put32(out, 0);
    Put32(out, 0);
    for (int row = h - 1; row >= 0; --row) {
        const uint32_t* src = &pixels_[static_cast<size_t>(row) * w];
        for (int x = 0; x < w; ++x) {
            out.push_back(static_cast<char>(src[x] & 0xFF));
            out.push_back(static_cast<char>((src[x] >> 8) & 0xFF));
            out.push_back(static_cast<char>((src[x] >> 16) & 0xFF));
        }
        for (size_t pad = static_cast<size_t>(w) * 3; pad < stride; ++pad) out.push_back(0);
    }
    stream.WriteBuffer(out.data(), static_cast<int>(out.size()));
}

void TBitmap::LoadFromFile(const AnsiString& fileName) {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TBitmap::SaveToFile(const AnsiString& fileName) const {
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
}

// ---------------------------------------------------------------- pictures and image lists

TPicture::TPicture() : Bitmap(new TBitmap) {
    Bitmap->OnChange = [this](TObject*) {
        if (OnChange) OnChange(this);
    };
}

TPicture::~TPicture() { delete Bitmap; }

TImageList::TImageList(TComponent* owner) : TComponent(owner) {}
TImageList::~TImageList() = default;

namespace {
// A colour the picture does not use, to stand for its left-out pixels.
TColor UnusedColor(const TBitmap& b) {
    std::vector<bool> used(4096, false);
    for (int y = 0; y < b.GetHeight(); ++y)
        for (int x = 0; x < b.GetWidth(); ++x) used[static_cast<uint32_t>(b.Pixel(x, y)) & 0xFFF] = true;
    for (uint32_t k = 0; k < 4096; ++k)
        if (!used[k]) return static_cast<TColor>(0xFE0000 | k);
    return clFuchsia;
}
}  // namespace

int TImageList::Add(const TBitmap* image, const TBitmap* mask) {
    if (!image || image->Empty() || Width <= 0 || Height <= 0) return -1;
    int first = Count();
    int pieces = std::max(1, image->GetWidth() / Width);
    for (int k = 0; k < pieces; ++k) {
        auto b = std::make_unique<TBitmap>(Width, Height);
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x) {
                TColor c = image->Pixel(k * Width + x, y);
                b->SetPixel(x, y, c == clNone ? clWhite : c);
            }
        if (mask) {
            TColor key = UnusedColor(*b);
            for (int y = 0; y < Height; ++y)
                for (int x = 0; x < Width; ++x)
                    if (mask->Pixel(k * Width + x, y) == clWhite) b->SetPixel(x, y, key);
            b->TransparentColor = key;
            b->Transparent = true;
        }
        images_.push_back(std::move(b));
    }
    if (OnChange) OnChange(this);
    return first;
}

int TImageList::AddMasked(const TBitmap* image, TColor maskColor) {
    int first = Add(image, nullptr);
    if (first < 0) return first;
    TColor key = maskColor == clDefault ? image->Pixel(0, image->GetHeight() - 1) : ColorToRGB(maskColor);
    for (int i = first; i < Count(); ++i) {
        images_[i]->TransparentColor = key;
        images_[i]->Transparent = true;
    }
    return first;
}

void TImageList::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    images_.erase(images_.begin() + index);
    if (OnChange) OnChange(this);
}

void TImageList::Clear() {
    images_.clear();
    if (OnChange) OnChange(this);
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) const {
    if (!canvas || index < 0 || index >= Count()) return;
    const TBitmap& im = *images_[index];
    if (enabled) {
        canvas->Draw(x, y, &im);
        return;
    }
    // Disabled images are drawn greyed.
    TBitmap grey;
    grey.Assign(im);
    TColor key = im.EffectiveTransparentColor();
    for (int py = 0; py < Height; ++py)
        for (int px = 0; px < Width; ++px) {
            TColor c = im.Pixel(px, py);
            if (im.Transparent && c == key) continue;
            int g = 128 + (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 6;
            grey.SetPixel(px, py, RGB(g, g, g));
        }
    canvas->Draw(x, y, &grey);
}

void TImageList::GetBitmap(int index, TBitmap* image) const {
    if (!image || index < 0 || index >= Count()) return;
    image->Assign(*images_[index]);
}
