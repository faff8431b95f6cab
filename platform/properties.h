#pragma once
// Properties and sets, so that form code reads like the desktop class library
// (`EditDescrizione->Text = "..."`, `Font->Style = TFontStyles() << fsBold`)
// while the object that holds a property learns of every change.
//
// A TProperty<T> keeps its value. Assigning a different value asks the host
// first (PropertyChanging: the host may read and adjust the pending value, or
// refuse it), then stores it and tells the host (PropertyChanged), which
// updates its back-end peer and fires the control's events. Assigning the
// value the property already holds does nothing. SetQuiet stores a value
// without asking or telling anyone (for the host's own bookkeeping).
#include <compare>
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <type_traits>
#include <utility>

// Names every property that a host or a peer needs to tell apart.
// clang-format off
enum class TPropId : uint16_t {
    None,
    // geometry and look of controls
    Left, Top, Width, Height, ClientWidth, ClientHeight, Align, Anchors, Visible, Enabled,
    Caption, Text, Color, Font, ParentFont, ParentColor, Hint, ShowHint, TabOrder, TabStop,
    Parent, Cursor, PopupMenu, Transparent, AutoSize, Alignment, WordWrap, Layout,
    // edits and lists
    ReadOnly, MaxLength, BorderStyle, PasswordChar, SelStart, SelLength, Lines, Items,
    ItemIndex, ItemHeight, Sorted, Style, MultiSelect, Selected, TopIndex, DropDownCount,
    ScrollBars, Checked, State, AllowGrayed, Default, Cancel, ModalResult, GroupIndex,
    Down, AllowAllUp, Flat, Glyph, NumGlyphs, Margin, Spacing,
    // panels and frames
    BevelInner, BevelOuter, BevelWidth, BorderWidth, Shape, Ctl3D,
    // ranges
    Min, Max, Position, Increment, SmallChange, LargeChange, PageSize, Kind, Orientation,
    Associate, Wrap, Step, Thousands,
    // tabs and pages
    Tabs, TabIndex, TabHeight, TabWidth, MultiLine, ActivePage, TabVisible, PageIndex,
    PageControl, Control, ButtonSize,
    // grids
    ColCount, RowCount, FixedCols, FixedRows, FixedColor, DefaultColWidth,
    DefaultRowHeight, ColWidths, RowHeights, GridLineWidth, Options, Row, Col, TopRow,
    LeftCol, Selection, Cells, EditorMode, DefaultDrawing,
    // trees, images, status
    Images, StateImages, Indent, ShowButtons, ShowLines, ShowRoot, HideSelection,
    RowSelect, SortType, Nodes, NodeText, NodeState, Panels, SimplePanel, SimpleText,
    Picture, Stretch, Center, Proportional, Paragraph, SelAttributes, DefAttributes,
    HorzScrollBar, VertScrollBar,
    // forms
    WindowState, BorderIcons, FormStyle, Menu, KeyPreview, Position_, ActiveControl,
    Icon, Scaled, PixelsPerInch, AutoScroll,
    // menus
    ShortCut, RadioItem, AutoCheck, MenuItems, Bitmap, ImageIndex,
    // timers and dialogs
    Interval, Filter, FilterIndex, DefaultExt, InitialDir, FileName, Title, Copies,
    PrinterIndex,
    // graphics objects
    Name, Size, Mode, Bounds, ZOrder, Focus,
};
// clang-format on

// Whatever holds properties: controls, fonts, pens, menu items...
class TPropertyHost {
public:
    virtual ~TPropertyHost() = default;
    // Before a change; the property's Pending() is the value about to be
    // stored and may be adjusted. Returning false keeps the old value.
    virtual bool PropertyChanging(TPropId) { return true; }
    // After the new value is stored.
    virtual void PropertyChanged(TPropId) {}
};

template <class T>
class TProperty {
public:
    using ValueType = T;

    explicit TProperty(TPropertyHost* host, TPropId id, T initial = T{})
        : value_(std::move(initial)), host_(host), id_(id) {}
    TProperty(const TProperty&) = delete;
    // Copies the value, never the host.
    TProperty& operator=(const TProperty& other) {
        Set(other.value_);
        return *this;
    }
    TProperty& operator=(const T& value) {
        Set(value);
        return *this;
    }
    template <class U>
    requires(std::is_convertible_v<U, T> && !std::is_same_v<std::decay_t<U>, T> &&
             !std::is_same_v<std::decay_t<U>, TProperty>) TProperty&
    operator=(U&& value) {
        Set(T(std::forward<U>(value)));
        return *this;
    }

    operator const T&() const { return value_; }
    const T& Get() const { return value_; }
    const T* operator->() const { return &value_; }

    void Set(const T& value) {
        if (value_ == value) return;
        T pending = value;
        if (host_) {
            struct Reset {
                TProperty* p;
                ~Reset() { p->pending_ = nullptr; }
            } reset{this};
            pending_ = &pending;
            if (!host_->PropertyChanging(id_)) return;
        }
        if (pending == value_) return;
        value_ = std::move(pending);
        if (host_) host_->PropertyChanged(id_);
    }
    // Stores without asking or telling the host.
    void SetQuiet(const T& value) { value_ = value; }
    // Changes the value in place (a long text grows without being copied)
    // and tells the host, as after Set; the host is not asked first.
    template <class F>
    void Edit(F&& edit) {
        edit(value_);
        if (host_) host_->PropertyChanged(id_);
    }

    // The value about to be stored, valid only inside the host's PropertyChanging.
    T& Pending() { return pending_ ? *pending_ : value_; }
    bool Changing() const { return pending_ != nullptr; }
    TPropId Id() const { return id_; }

    template <class U>
    TProperty& operator+=(const U& u) {
        T v = value_;
        v += u;
        Set(v);
        return *this;
    }
    template <class U>
    TProperty& operator-=(const U& u) {
        T v = value_;
        v -= u;
        Set(v);
        return *this;
    }
    template <class U>
    TProperty& operator|=(const U& u) {
        T v = value_;
        v |= u;
        Set(v);
        return *this;
    }
    template <class U>
    TProperty& operator&=(const U& u) {
        T v = value_;
        v &= u;
        Set(v);
        return *this;
    }
    TProperty& operator++() {
        T v = value_;
        ++v;
        Set(v);
        return *this;
    }
    TProperty& operator--() {
        T v = value_;
        --v;
        Set(v);
        return *this;
    }
    T operator++(int) {
        T old = value_;
        ++*this;
        return old;
    }
    T operator--(int) {
        T old = value_;
        --*this;
        return old;
    }

private:
    T value_;
    T* pending_ = nullptr;
    TPropertyHost* host_;
    TPropId id_;
};

template <class T>
struct IsPropertyT : std::false_type {};
template <class T>
struct IsPropertyT<TProperty<T>> : std::true_type {};
template <class T>
concept NotProperty = !IsPropertyT<std::remove_cvref_t<T>>::value;

// Comparisons and concatenation with plain values and with other properties
// (the standard string operators are templates and would not see through the
// conversion on their own).
template <class T, NotProperty U>
auto operator==(const TProperty<T>& a, const U& b) -> decltype(a.Get() == b) {
    return a.Get() == b;
}
template <class T, class U>
auto operator==(const TProperty<T>& a, const TProperty<U>& b) -> decltype(a.Get() == b.Get()) {
    return a.Get() == b.Get();
}
template <class T, NotProperty U>
auto operator<=>(const TProperty<T>& a, const U& b) -> decltype(a.Get() <=> b) {
    return a.Get() <=> b;
}
template <class T, class U>
auto operator<=>(const TProperty<T>& a, const TProperty<U>& b) -> decltype(a.Get() <=> b.Get()) {
    return a.Get() <=> b.Get();
}
template <class T, NotProperty U>
auto operator+(const TProperty<T>& a, const U& b) -> decltype(a.Get() + b) {
    return a.Get() + b;
}
template <class T, NotProperty U>
auto operator+(const U& a, const TProperty<T>& b) -> decltype(a + b.Get()) {
    return a + b.Get();
}
template <class T, class U>
auto operator+(const TProperty<T>& a, const TProperty<U>& b) -> decltype(a.Get() + b.Get()) {
    return a.Get() + b.Get();
}
template <class OS, class T>
auto operator<<(OS& os, const TProperty<T>& p) -> decltype(os << p.Get()) {
    return os << p.Get();
}

// An indexed read-only property: `Node->Item[i]`, `Menu->Items->Items[0]`.
template <class Owner, class T, T (Owner::*Getter)(int) const>
class TIndexed {
public:
    explicit TIndexed(const Owner* owner) : owner_(owner) {}
    TIndexed(const TIndexed&) = delete;
    TIndexed& operator=(const TIndexed&) = delete;
    T operator[](int index) const { return (owner_->*Getter)(index); }

private:
    const Owner* owner_;
};

// A set of enumeration values below 64, as the class library's sets
// (`TShiftState() << ssShift`, `Style.Contains(fsBold)`).
template <class E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> values) {
        for (E e : values) bits_ |= Bit(e);
    }
    // On a variable these add (remove) in place; on a value they give a new set.
    constexpr TSet& operator<<(E e) & {
        bits_ |= Bit(e);
        return *this;
    }
    constexpr TSet operator<<(E e) const& { return FromBits(bits_ | Bit(e)); }
    constexpr TSet operator<<(E e) && { return FromBits(bits_ | Bit(e)); }
    constexpr TSet& operator>>(E e) & {
        bits_ &= ~Bit(e);
        return *this;
    }
    constexpr TSet operator>>(E e) const& { return FromBits(bits_ & ~Bit(e)); }
    constexpr TSet operator>>(E e) && { return FromBits(bits_ & ~Bit(e)); }
    constexpr bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr void Clear() { bits_ = 0; }
    constexpr TSet operator+(const TSet& o) const { return FromBits(bits_ | o.bits_); }
    constexpr TSet operator-(const TSet& o) const { return FromBits(bits_ & ~o.bits_); }
    constexpr TSet operator*(const TSet& o) const { return FromBits(bits_ & o.bits_); }
    constexpr TSet& operator+=(const TSet& o) {
        bits_ |= o.bits_;
        return *this;
    }
    constexpr TSet& operator-=(const TSet& o) {
        bits_ &= ~o.bits_;
        return *this;
    }
    constexpr bool operator==(const TSet&) const = default;
    constexpr uint64_t Bits() const { return bits_; }
    static constexpr TSet FromBits(uint64_t bits) {
        TSet s;
        s.bits_ = bits;
        return s;
    }

private:
    static constexpr uint64_t Bit(E e) { return uint64_t{1} << static_cast<unsigned>(e); }
    uint64_t bits_ = 0;
};

// A set property with one value more or less: `Grid->Options = Grid->Options << goEditing`.
template <class E>
TSet<E> operator<<(const TProperty<TSet<E>>& p, E e) {
    return p.Get() << e;
}
template <class E>
TSet<E> operator>>(const TProperty<TSet<E>>& p, E e) {
    return p.Get() >> e;
}
