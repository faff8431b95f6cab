#include "app/signs.h"

#include <algorithm>

#include "app/grid.h"
#include "core/file.h"

namespace {
constexpr int32_t MaxFontSize = 32767;
}  // namespace

// ---------------------------------------------------------------- TSegnoGrafico

TSegnoGrafico::TSegnoGrafico(TGridData* grid)
    : Grid(grid), Font(std::make_unique<TFont>()), Pen(std::make_unique<TPen>()) {}

TSegnoGrafico::~TSegnoGrafico() = default;

TSegnoGrafico* TSegnoGrafico::Clone() const {
    auto* copy = new TSegnoGrafico(Grid);
    Assign(copy);
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
    case SignText:
        return overlaps;
    default:
        return false;
    }
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
    while (head) {
        TSegnoGrafico* next = head->Next;
        delete head;
        head = next;
    }
    tail_ = nullptr;
}

void TSegniGrafici::Add(TSegnoGrafico* sign, bool repaint) {
    if (!sign) return;
    if (Grid) Grid->IndexSign(sign, repaint);
    sign->Next = nullptr;
    // The tail is remembered so that loading a block of many signs stays
    // linear; it is found again should the list have been changed by hand.
    if (!head || !tail_ || tail_->Next) {
        tail_ = head;
        while (tail_ && tail_->Next) tail_ = tail_->Next;
    }
    if (tail_) tail_->Next = sign;
    else head = sign;
    tail_ = sign;
}

void TSegniGrafici::Unlink(TSegnoGrafico* sign) {
    TSegnoGrafico* before = nullptr;
    for (TSegnoGrafico** at = &head; *at; before = *at, at = &(*at)->Next) {
        if (*at == sign) {
            *at = sign->Next;
            sign->Next = nullptr;
            if (tail_ == sign) tail_ = before;
            return;
        }
    }
}

void TSegniGrafici::Remove(TSegnoGrafico* sign, bool repaint) {
    if (!sign) return;
    if (Grid) Grid->UnindexSign(sign, repaint);
    Unlink(sign);
}

int TSegniGrafici::Count() const {
    int n = 0;
    for (TSegnoGrafico* s = head; s; s = s->Next) ++n;
    return n;
}

bool TSegniGrafici::Load(TStream& s, int32_t version) {
    try {
        if (ReadI32(s) != SignBlockTag) throw EReadError("sign block tag");
        for (;;) {
            const int32_t kind = ReadI32(s);
            if (kind == SignBlockTag) return true;
            if (kind != SignLine && kind != SignRectangle && kind != SignText) throw EReadError("sign kind");
            auto sign = std::make_unique<TSegnoGrafico>(Grid);
            sign->Kind = kind;
            sign->Load(s, version);
            Add(sign.release(), false);
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

TListaSegniGrafici::~TListaSegniGrafici() { Clear(); }

void TListaSegniGrafici::Clear() {
    while (head) {
        Node* next = head->Next;
        delete head;
        head = next;
    }
}

void TListaSegniGrafici::Add(TSegnoGrafico* sign) { head = new Node{sign, head}; }

void TListaSegniGrafici::Remove(TSegnoGrafico* sign) {
    for (Node** at = &head; *at; at = &(*at)->Next) {
        if ((*at)->Sign == sign) {
            Node* gone = *at;
            *at = gone->Next;
            delete gone;
            return;
        }
    }
}

bool TListaSegniGrafici::Contains(const TSegnoGrafico* sign) const {
    for (Node* n = head; n; n = n->Next)
        if (n->Sign == sign) return true;
    return false;
}

int TListaSegniGrafici::Count() const {
    int n = 0;
    for (Node* node = head; node; node = node->Next) ++n;
    return n;
}
