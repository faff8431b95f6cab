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

// ---------------------------------------------------------------- TSegniGrafici

TSegniGrafici::TSegniGrafici(TGridData* grid) : Grid(grid), Project(grid ? grid->Project : nullptr) {}

TSegniGrafici::~TSegniGrafici() { Clear(); }

void TSegniGrafici::Clear() {
    while (head) {
        TSegnoGrafico* next = head->Next;
        delete head;
        head = next;
    }
    tail_ = nullptr;
}

void TSegniGrafici::Add(TSegnoGrafico* sign, bool) {
    if (!sign) return;
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

void TSegniGrafici::Remove(TSegnoGrafico* sign, bool) { Unlink(sign); }

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
