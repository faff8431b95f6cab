#include "platform/extctrls.h"

#include <algorithm>

#include "platform/application.h"

TRect Frame3D(TCanvas* canvas, TRect r, TColor topLeft, TColor bottomRight, int width) {
    canvas->Pen->Width = 1;
    canvas->Pen->Style = psSolid;
    canvas->Pen->Mode = pmCopy;
    for (int i = 0; i < width && r.Width() > 0 && r.Height() > 0; ++i) {
        canvas->Pen->Color = topLeft;
        canvas->Polyline({{r.Left, r.Bottom - 1}, {r.Left, r.Top}, {r.Right - 1, r.Top}});
        canvas->Pen->Color = bottomRight;
        canvas->Polyline({{r.Right - 1, r.Top}, {r.Right - 1, r.Bottom - 1}, {r.Left - 1, r.Bottom - 1}});
        r = InflateRect(r, -1, -1);
    }
    return r;
}

// ---------------------------------------------------------------- panels and bevels

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 185, 41); }

TRect TPanel::AlignRect() const {
    int inset = BorderWidth;
    if (BevelOuter != bvNone) inset += BevelWidth;
    if (BevelInner != bvNone) inset += BevelWidth;
    if (BorderStyle == bsSingle) inset += 1;
    return TRect(inset, inset, std::max(inset, ClientWidth - inset), std::max(inset, ClientHeight - inset));
}

void TPanel::DoPropertyChanged(TPropId id) {
    TCustomControl::DoPropertyChanged(id);
    switch (id) {
    case TPropId::BevelInner:
    case TPropId::BevelOuter:
    case TPropId::BevelWidth:
    case TPropId::BorderWidth:
    case TPropId::BorderStyle:
        Realign();
        Invalidate();
        break;
    default: break;
    }
}

void TPanel::Paint() {
    TRect r = ClientRect();
    if (BorderStyle == bsSingle) {
        Canvas->Brush->Color = clWindowFrame;
        Canvas->FrameRect(r);
        r = InflateRect(r, -1, -1);
    }
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone) return;
        if (cut == bvLowered)
            r = Frame3D(Canvas, r, clBtnShadow, clBtnHighlight, BevelWidth);
        else if (cut == bvRaised)
            r = Frame3D(Canvas, r, clBtnHighlight, clBtnShadow, BevelWidth);
        else
            r = InflateRect(r, -BevelWidth, -BevelWidth);
    };
    bevel(BevelOuter);
    r = InflateRect(r, -BorderWidth, -BorderWidth);
    bevel(BevelInner);
    Canvas->Brush->Style = bsSolid;
    Canvas->Brush->Color = Color;
    Canvas->FillRect(r);
    if (!Caption.Get().empty()) {
        Canvas->Font->Assign(*Font);
        Canvas->Brush->Style = bsClear;
        TSize ext = Canvas->TextExtent(Caption);
        int x = Alignment == taLeftJustify ? r.Left
                : Alignment == taCenter    ? (ClientWidth - ext.cx) / 2
                                           : r.Right - ext.cx;
        Canvas->TextRect(r, x, (ClientHeight - ext.cy) / 2, Caption);
    }
}

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 50, 50); }

void TBevel::Paint() {
    TColor a = Style == bsLowered ? clBtnShadow : clBtnHighlight;
    TColor b = Style == bsLowered ? clBtnHighlight : clBtnShadow;
    TRect r = ClientRect();
    Canvas->Pen->Width = 1;
    auto line = [&](TColor c, TPoint p, TPoint q) {
        Canvas->Pen->Color = c;
        Canvas->MoveTo(p.x, p.y);
        Canvas->LineTo(q.x, q.y);
    };
    switch (Shape) {
    case bsBox: Frame3D(Canvas, r, a, b, 1); break;
    case bsFrame:
        Frame3D(Canvas, TRect(r.Left, r.Top, r.Right - 1, r.Bottom - 1), a, a, 1);
        Frame3D(Canvas, TRect(r.Left + 1, r.Top + 1, r.Right, r.Bottom), b, b, 1);
        break;
    case bsTopLine:
        line(a, {0, 0}, {r.Right, 0});
        line(b, {0, 1}, {r.Right, 1});
        break;
    case bsBottomLine:
        line(a, {0, r.Bottom - 2}, {r.Right, r.Bottom - 2});
        line(b, {0, r.Bottom - 1}, {r.Right, r.Bottom - 1});
        break;
    case bsLeftLine:
        line(a, {0, 0}, {0, r.Bottom});
        line(b, {1, 0}, {1, r.Bottom});
        break;
    case bsRightLine:
        line(a, {r.Right - 2, 0}, {r.Right - 2, r.Bottom});
        line(b, {r.Right - 1, 0}, {r.Right - 1, r.Bottom});
        break;
    case bsSpacer: break;
    }
}

// ---------------------------------------------------------------- images and paint boxes

TImage::TImage(TComponent* owner) : TGraphicControl(owner), Picture(new TPicture) {
    SetBounds(0, 0, 105, 105);
    Picture->OnChange = [this](TObject*) { PictureChanged(); };
}

TImage::~TImage() {
    DestroyPeers();
    Picture->OnChange = nullptr;
    delete Picture;
}

void TImage::PictureChanged() {
    if (destroying_) return;
    if (AutoSize && !Picture->Bitmap->Empty()) SetBounds(Left, Top, Picture->Width(), Picture->Height());
    NotifyPeer(TPropId::Picture);
    Invalidate();
}

TCanvas* TImage::BitmapCanvas() {
    if (Picture->Bitmap->Empty() && Width > 0 && Height > 0) Picture->Bitmap->SetSize(Width, Height);
    return Picture->Bitmap->Canvas;
}

void TImage::DoPropertyChanged(TPropId id) {
    TGraphicControl::DoPropertyChanged(id);
    if (id == TPropId::AutoSize) PictureChanged();
    if (id == TPropId::Transparent) Picture->Bitmap->Transparent = Transparent.Get();
    if (id == TPropId::Stretch || id == TPropId::Center || id == TPropId::Proportional) Invalidate();
}

TRect TImage::DestRect() const {
    int pw = Picture->Width(), ph = Picture->Height();
    int cw = ClientWidth, ch = ClientHeight;
    if (Stretch || (Proportional && (pw > cw || ph > ch))) {
        if (Proportional && pw > 0 && ph > 0) {
            if (static_cast<long long>(cw) * ph > static_cast<long long>(ch) * pw) {
                int w = static_cast<int>(static_cast<long long>(ch) * pw / ph);
                pw = w;
                ph = ch;
            } else {
                int h = static_cast<int>(static_cast<long long>(cw) * ph / pw);
                pw = cw;
                ph = h;
            }
        } else {
            pw = cw;
            ph = ch;
        }
    }
    int x = Center ? (cw - pw) / 2 : 0, y = Center ? (ch - ph) / 2 : 0;
    return Bounds(x, y, pw, ph);
}

void TImage::Paint() {
    if (Picture->Bitmap->Empty()) return;
    TGraphicControl::Canvas->StretchDraw(DestRect(), Picture->Bitmap);
}

TPaintBox::TPaintBox(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 105, 105); }

void TPaintBox::Paint() {
    if (OnPaint) OnPaint(this);
}

// ---------------------------------------------------------------- speed buttons

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner), Glyph(new TBitmap) {
    SetBounds(0, 0, 23, 22);
    Glyph->OnChange = [this](TObject*) {
        NotifyPeer(TPropId::Glyph);
        Invalidate();
    };
}

TSpeedButton::~TSpeedButton() {
    DestroyPeers();
    Glyph->OnChange = nullptr;
    delete Glyph;
}

bool TSpeedButton::PropertyChanging(TPropId id) {
    if (id == TPropId::Down) {
        bool& down = Down.Pending();
        if (GroupIndex == 0) down = false;
        // A grouped button stays down unless the group may be all up.
        if (!down && Down && !AllowAllUp) return false;
    }
    return TGraphicControl::PropertyChanging(id);
}

void TSpeedButton::DoPropertyChanged(TPropId id) {
    if (id == TPropId::Down) {
        if (Down && Parent)
            for (int i = 0; i < Parent.Get()->ControlCount(); ++i)
                if (auto b = dynamic_cast<TSpeedButton*>(Parent.Get()->Controls(i));
                    b && b != this && b->GroupIndex == GroupIndex && b->Down) {
                    b->Down.SetQuiet(false);
                    b->NotifyPeer(TPropId::Down);
                    b->Invalidate();
                }
        Invalidate();
        return;
    }
    if (id == TPropId::GroupIndex && GroupIndex == 0 && Down) Down.SetQuiet(false);
    TGraphicControl::DoPropertyChanged(id);
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (button != mbLeft || !Enabled || !ClientRect().Contains(TPoint(x, y))) return;
    if (GroupIndex != 0) UserSet(Down, !Down);
    Click();
}

void TSpeedButton::Paint() {
    TRect r = ClientRect();
    Canvas->Brush->Style = bsSolid;
    Canvas->Brush->Color = Color;
    Canvas->FillRect(r);
    if (!Flat || Down)
        Frame3D(Canvas, r, Down ? clBtnShadow : clBtnHighlight, Down ? clBtnHighlight : clBtnShadow, 1);
    int offset = Down ? 1 : 0;
    int x = offset + 2;
    if (!Glyph->Empty()) {
        int n = std::max(1, NumGlyphs.Get());
        int gw = Glyph->GetWidth() / n, gh = Glyph->GetHeight();
        int index = !Enabled && n > 1 ? 1 : (Down && n > 3 ? 3 : 0);
        int gx = (ClientWidth - gw) / 2 + offset, gy = (ClientHeight - gh) / 2 + offset;
        if (!Caption.Get().empty()) gx = x;
        if (!Enabled && n == 1) {
            // Without an image of its own the disabled glyph keeps the dark
            // strokes of its shape, in grey over a light copy of them one
            // pixel down and right; fills and light parts drop out.
            TBitmap shape(gw, gh);
            const TColor key = Glyph->EffectiveTransparentColor();
            const TColor back = key == clWhite ? clBlack : clWhite;
            auto dark = [&](int px, int py) {
                const TColor c = Glyph->Pixel(px, py);
                return c != key && GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11 < 128 * 100;
            };
            for (TColor ink : {ColorToRGB(clBtnHighlight), ColorToRGB(clBtnShadow)}) {
                for (int y = 0; y < gh; ++y)
                    for (int x0 = 0; x0 < gw; ++x0) shape.SetPixel(x0, y, dark(x0, y) ? ink : back);
                shape.TransparentColor = back;
                const int d = ink == ColorToRGB(clBtnHighlight) ? 1 : 0;
                Canvas->Engine()->DrawBitmap(Canvas->State(), Bounds(gx + d, gy + d, gw, gh), shape,
                                             Bounds(0, 0, gw, gh), true);
            }
        } else {
            Canvas->Engine()->DrawBitmap(Canvas->State(), Bounds(gx, gy, gw, gh), *Glyph,
                                         Bounds(index * gw, 0, gw, gh), true);
        }
        x = gx + gw + Spacing;
    }
    if (!Caption.Get().empty()) {
        Canvas->Font->Assign(*Font);
        Canvas->Brush->Style = bsClear;
        TSize ext = Canvas->TextExtent(Caption);
        if (Glyph->Empty()) x = (ClientWidth - ext.cx) / 2 + offset;
        Canvas->TextOut(x, (ClientHeight - ext.cy) / 2 + offset, Caption);
    }
}

// ---------------------------------------------------------------- timers

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
    Application->RegisterTimer(this);
    if (TBackend* b = Application->Backend()) peer_.reset(b->CreateTimerPeer(this));
    Restart();
}

TTimer::~TTimer() {
    peer_.reset();
    Application->UnregisterTimer(this);
}

void TTimer::Restart() {
    due_ = Application->TickCount() + static_cast<unsigned>(std::max(0, Interval.Get()));
    if (peer_) peer_->Changed();
}

void TTimer::PropertyChanged(TPropId id) {
    if (id == TPropId::Enabled || id == TPropId::Interval) Restart();
}

void TTimer::Tick() {
    due_ = Application->TickCount() + static_cast<unsigned>(std::max(0, Interval.Get()));
    if (OnTimer) OnTimer(this);
}
