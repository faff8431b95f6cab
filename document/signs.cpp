#include "document/signs.h"

#include <algorithm>
#include <cmath>

#include "core/file.h"
#include "document/grid.h"
#include "platform/printers.h"

namespace {
constexpr int32_t MaxFontSize = 32767;
}  // namespace

// ---------------------------------------------------------------- TSegnoGrafico

TSegnoGrafico::TSegnoGrafico(TGridData* grid)
    : Grid(grid), Font(std::make_unique<TFont>()), Pen(std::make_unique<TPen>()) {}

TSegnoGrafico::~TSegnoGrafico() = default;

std::unique_ptr<TSegnoGrafico> TSegnoGrafico::Clone() const {
    auto copy = std::make_unique<TSegnoGrafico>(Grid);
    Assign(copy.get());
    return copy;
}

void TSegnoGrafico::Assign(TSegnoGrafico* target) const {
    if (!target || target == this) return;
    target->Grid = Grid;
    target->Kind = Kind;
    target->X1 = X1;
    target->Y1 = Y1;
    target->X2 = X2;
    target->Y2 = Y2;
    target->Text = Text;
    target->Font->Color = Font->Color.Get();
    target->Font->Name = Font->Name.Get();
    target->Font->Size = Font->Size.Get();
    target->Font->Style = Font->Style.Get();
    target->Pen->Color = Pen->Color.Get();
    target->Pen->Width = Pen->Width.Get();
    target->Pen->Style = Pen->Style.Get();
}

void TSegnoGrafico::Load(TStream& s, int32_t) {
    Y1 = ReadI32(s);
    Y2 = ReadI32(s);
    X1 = ReadI32(s);
    X2 = ReadI32(s);
    Text = chunked::ReadAnsiString(s, SignTextMax);
    Font->Name = chunked::ReadString(s, SignFontNameSize);
    // Far beyond any size a font is drawn at; a damaged size is held to it, so
    // that the conversion to a character height cannot overflow.
    Font->Size = std::clamp<int32_t>(ReadI32(s), -MaxFontSize, MaxFontSize);
    Font->Color = static_cast<TColor>(ReadI32(s));
    const bool bold = ReadU8(s) != 0;
    const bool italic = ReadU8(s) != 0;
    TFontStyles style;
    if (bold) style << fsBold;
    if (italic) style << fsItalic;
    Font->Style = style;
    Pen->Width = static_cast<int>(ReadI32(s));
    Pen->Color = static_cast<TColor>(ReadI32(s));
    // A style this program does not draw is drawn solid.
    const uint8_t penStyle = ReadU8(s);
    Pen->Style = penStyle <= psInsideFrame ? static_cast<TPenStyle>(penStyle) : psSolid;
}

void TSegnoGrafico::Save(TStream& s, int32_t) const {
    WriteI32(s, Kind);
    WriteI32(s, Y1);
    WriteI32(s, Y2);
    WriteI32(s, X1);
    WriteI32(s, X2);
    chunked::WriteAnsiString(s, Text, SignTextMax);
    chunked::WriteString(s, Font->Name.Get(), SignFontNameSize);
    WriteI32(s, Font->Size.Get());
    WriteI32(s, Font->Color.Get());
    WriteU8(s, Font->Style->Contains(fsBold) ? 1 : 0);
    WriteU8(s, Font->Style->Contains(fsItalic) ? 1 : 0);
    WriteI32(s, Pen->Width.Get());
    WriteI32(s, Pen->Color.Get());
    WriteU8(s, static_cast<uint8_t>(Pen->Style.Get()));
}

bool TSegnoGrafico::HitTest(int32_t top, int32_t left, int32_t bottom, int32_t right) const {
    // Pixels of the rectangle of squares, in 64 bits so that no coordinate
    // read from a file can overflow them.
    const int64_t L = int64_t{SquarePixels} * left;
    const int64_t R = int64_t{SquarePixels} * right + SquarePixels - 1;
    const int64_t T = int64_t{SquarePixels} * top;
    const int64_t B = int64_t{SquarePixels} * bottom + SquarePixels - 1;
    const int64_t boxLeft = std::min(X1, X2), boxRight = std::max(X1, X2);
    const int64_t boxTop = std::min(Y1, Y2), boxBottom = std::max(Y1, Y2);
    const bool overlaps = !(L > boxRight || R < boxLeft || T > boxBottom || B < boxTop);
    switch (Kind) {
    case SignLine: {
        if (T > boxBottom || B < boxTop || L > X2 || R < X1) return false;
        if (X1 == X2) return L <= X1 && X1 <= R;
        if (Y1 == Y2) return T <= Y1 && Y1 <= B;
        const float dx = static_cast<float>(X2) - static_cast<float>(X1);
        const float dy = static_cast<float>(Y2) - static_cast<float>(Y1);
        auto f = [&](int64_t x, int64_t y) {
            return static_cast<float>(x) / dx - static_cast<float>(y) / dy + static_cast<float>(Y1) / dy -
                   static_cast<float>(X1) / dx;
        };
        const float first = f(L, T);
        return !(first * f(R, T) > 0 && first * f(R, B) > 0 && first * f(L, B) > 0);
    }
    case SignRectangle:
        if (!overlaps) return false;
        return !(T > boxTop && B < boxBottom && L > boxLeft && R < boxRight);
    case SignText: return overlaps;
    default: return false;
    }
}

void TSegnoGrafico::Paint(TCanvas* canvas, double originX, double originY, double scale,
                          double fontScale) const {
    if (!canvas) return;
    auto at = [](double origin, int32_t v, double s) {
        return static_cast<int>(std::lround(origin + v * s));
    };
    const int x1 = at(originX, X1, scale), y1 = at(originY, Y1, scale);
    const int x2 = at(originX, X2, scale), y2 = at(originY, Y2, scale);
    auto setPen = [&] {
        canvas->Pen->Color = Pen->Color.Get();
        canvas->Pen->Style = Pen->Style.Get();
        canvas->Pen->Width = static_cast<int>(std::lround(Pen->Width.Get() * scale));
        canvas->Brush->Style = bsClear;
    };
    switch (Kind) {
    case SignLine:
        setPen();
        canvas->MoveTo(x1, y1);
        canvas->LineTo(x2, y2);
        break;
    case SignRectangle:
        setPen();
        canvas->Polyline({TPoint(x1, y1), TPoint(x1, y2), TPoint(x2, y2), TPoint(x2, y1), TPoint(x1, y1)});
        break;
    case SignText:
        canvas->Font->Color = Font->Color.Get();
        canvas->Font->Name = Font->Name.Get();
        canvas->Font->Style = Font->Style.Get();
        canvas->Font->Size = static_cast<int>(std::lround(Font->Size.Get() * fontScale));
        canvas->Brush->Style = bsClear;
        canvas->TextOut(x1, y1, Text);
        break;
    default: return;
    }

    if (!Grid || !Grid->Window || !Grid->View()->IsSignSelected(this) || canvas == Printer()->Canvas) return;
    const int half = std::max(2, static_cast<int>(std::lround(2.0 / 3.0 * Pen->Width.Get() * scale)));
    canvas->Brush->Color = clBlack;
    canvas->Brush->Style = bsSolid;
    canvas->Pen->Color = clBlack;
    canvas->Pen->Style = psSolid;
    canvas->Pen->Width = 1;
    auto handle = [&](int x, int y, int h) { canvas->Rectangle(x - h, y - h, x + h, y + h); };
    switch (Kind) {
    case SignLine:
        handle(x1, y1, half);
        handle(x2, y2, half);
        break;
    case SignRectangle:
        handle(x1, y1, half);
        handle(x1, y2, half);
        handle(x2, y2, half);
        handle(x2, y1, half);
        break;
    default:
        handle(x1, y1, 2);
        handle(x1, y2, 2);
        handle(x2, y2, 2);
        handle(x2, y1, 2);
        break;
    }
}

void TSegnoGrafico::PaintScaled(TCanvas* canvas, int32_t column, int32_t row, double originX,
                                double originY) const {
    if (!Grid || !Grid->Window) return;
    const double zoom = Grid->View()->ColumnWidth() / static_cast<double>(SquarePixels);
    Paint(canvas, originX - SquarePixels * column * zoom, originY - SquarePixels * row * zoom, zoom, zoom);
}

void TSegnoGrafico::DrawOutline(TCanvas* canvas) const {
    if (!canvas || !Grid || !Grid->Window) return;
    const TGridWindow& window = *Grid->View();
    const double zoom = window.ColumnWidth() / static_cast<double>(SquarePixels);
    const double originX = -static_cast<double>(window.FirstVisibleColumn()) * window.ColumnWidth();
    const double originY = -static_cast<double>(window.FirstVisibleRow()) * window.RowHeight();
    canvas->Pen->Mode = pmNot;
    if (Kind == SignText) {
        // The box of a text, drawn through a scratch rectangle sign.
        TSegnoGrafico box(nullptr);
        box.Kind = SignRectangle;
        box.X1 = X1;
        box.Y1 = Y1;
        box.X2 = X2;
        box.Y2 = Y2;
        box.Paint(canvas, originX, originY, zoom, zoom);
    } else {
        Paint(canvas, originX, originY, zoom, zoom);
    }
    canvas->Pen->Mode = pmCopy;
}

void TSegnoGrafico::InvalidateSquares() const {
    if (!Grid || !Grid->Window) return;
    for (int32_t c = 0; c < Grid->Columns; ++c)
        for (int32_t r = 0; r < Grid->Rows; ++r) {
            const auto& there = Grid->SignsAt(c, r);
            if (std::find(there.begin(), there.end(), this) != there.end()) Grid->RepaintSquare(c, r);
        }
}

// ---------------------------------------------------------------- TSegniGrafici

TSegniGrafici::TSegniGrafici(TGridData* grid) : Grid(grid), Project(grid ? grid->Project : nullptr) {}

TSegniGrafici::~TSegniGrafici() { Clear(); }

void TSegniGrafici::Clear() {
    if (head && Grid) Grid->ClearSignIndex();
    head = tail_ = nullptr;
    owned_.clear();
}

TSegnoGrafico* TSegniGrafici::Add(std::unique_ptr<TSegnoGrafico> owned, bool repaint) {
    if (!owned) return nullptr;
    TSegnoGrafico* sign = owned.get();
    owned_.push_back(std::move(owned));
    if (Grid) Grid->IndexSign(sign, repaint);
    sign->Next = nullptr;
    // The tail is remembered so that loading a block of many signs stays
    // linear; it is found again should the list have been changed by hand.
    if (!head || !tail_ || tail_->Next) {
        tail_ = head;
        while (tail_ && tail_->Next) tail_ = tail_->Next;
    }
    if (tail_)
        tail_->Next = sign;
    else
        head = sign;
    tail_ = sign;
    return sign;
}

std::unique_ptr<TSegnoGrafico> TSegniGrafici::Unlink(TSegnoGrafico* sign) {
    TSegnoGrafico* before = nullptr;
    for (TSegnoGrafico** at = &head; *at; before = *at, at = &(*at)->Next) {
        if (*at != sign) continue;
        *at = sign->Next;
        sign->Next = nullptr;
        if (tail_ == sign) tail_ = before;
        const auto held = std::find_if(owned_.begin(), owned_.end(),
                                       [sign](const auto& owned) { return owned.get() == sign; });
        if (held == owned_.end()) return nullptr;
        std::unique_ptr<TSegnoGrafico> taken = std::move(*held);
        *held = std::move(owned_.back());
        owned_.pop_back();
        return taken;
    }
    return nullptr;
}

std::unique_ptr<TSegnoGrafico> TSegniGrafici::Remove(TSegnoGrafico* sign, bool repaint) {
    if (!sign) return nullptr;
    if (Grid) Grid->UnindexSign(sign, repaint);
    return Unlink(sign);
}

bool TSegniGrafici::Contains(const TSegnoGrafico* sign) const {
    for (const TSegnoGrafico* s = head; s; s = s->Next)
        if (s == sign) return true;
    return false;
}

int TSegniGrafici::Count() const {
    int n = 0;
    for (TSegnoGrafico* s = head; s; s = s->Next) ++n;
    return n;
}

namespace {
// Far beyond the squares the signs of a drawing cross (a frame round a
// 2000 x 2000 grid takes 8000); it keeps a damaged file's memory bounded.
constexpr int64_t MaxLoadedSignSquares = 500000;
// Far beyond the signs of any drawing, for the same reason.
constexpr int MaxLoadedSigns = 200000;
}  // namespace

bool TSegniGrafici::Load(TStream& s, int32_t version) {
    try {
        if (ReadI32(s) != SignBlockTag) throw EReadError("sign block tag");
        for (int read = 0;; ++read) {
            if (read > MaxLoadedSigns) throw EReadError("sign count");
            const int32_t kind = ReadI32(s);
            if (kind == SignBlockTag) return true;
            if (kind != SignLine && kind != SignRectangle && kind != SignText) throw EReadError("sign kind");
            auto sign = std::make_unique<TSegnoGrafico>(Grid);
            sign->Kind = kind;
            sign->Load(s, version);
            // Each sign is entered on the squares it crosses: signs that would
            // fill more squares than any drawing does are damage, not a drawing.
            if (Grid && Grid->SignIndexEntries() + Grid->SignSquareBound(sign.get()) > MaxLoadedSignSquares)
                throw EReadError("sign squares");
            Add(std::move(sign), false);
        }
    } catch (const EStreamError&) {
        Clear();
        return false;
    }
}

void TSegniGrafici::Save(TStream& s, int32_t version) const {
    WriteI32(s, SignBlockTag);
    for (const TSegnoGrafico* sign = head; sign; sign = sign->Next) sign->Save(s, version);
    WriteI32(s, SignBlockTag);
}

// ---------------------------------------------------------------- TListaSegniGrafici

void TListaSegniGrafici::Add(TSegnoGrafico* sign) { signs_.insert(signs_.begin(), sign); }

void TListaSegniGrafici::Remove(TSegnoGrafico* sign) {
    const auto at = std::find(signs_.begin(), signs_.end(), sign);
    if (at != signs_.end()) signs_.erase(at);
}

bool TListaSegniGrafici::Contains(const TSegnoGrafico* sign) const {
    return std::find(signs_.begin(), signs_.end(), sign) != signs_.end();
}
