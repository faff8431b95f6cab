#pragma once
// Panels, bevels, images, paint boxes, speed buttons and timers.
#include <memory>

#include "platform/controls.h"

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// Draws a 3D frame of the given width inside r and returns what is left inside.
TRect Frame3D(TCanvas* canvas, TRect r, TColor topLeft, TColor bottomRight, int width);

class TPanel : public TCustomControl {
public:
    explicit TPanel(TComponent* owner = nullptr);
    TProperty<TAlignment> Alignment{this, TPropId::Alignment, taCenter};
    TProperty<TBevelCut> BevelInner{this, TPropId::BevelInner, bvNone};
    TProperty<TBevelCut> BevelOuter{this, TPropId::BevelOuter, bvRaised};
    TProperty<int> BevelWidth{this, TPropId::BevelWidth, 1};
    TProperty<int> BorderWidth{this, TPropId::BorderWidth, 0};
    TProperty<TBorderStyle> BorderStyle{this, TPropId::BorderStyle, bsNone};

protected:
    void Paint() override;
    TRect AlignRect() const override;
    void DoPropertyChanged(TPropId id) override;
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* owner = nullptr);
    TProperty<TBevelShape> Shape{this, TPropId::Shape, bsBox};
    TProperty<TBevelStyle> Style{this, TPropId::Style, bsLowered};

protected:
    void Paint() override;
};

// Shows a picture. Canvas is the picture's bitmap canvas: reaching it gives
// an empty picture a bitmap of the image's size first.
class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner = nullptr);
    ~TImage() override;
    TPicture* const Picture;
    class TCanvasRef {
    public:
        TCanvas* operator->() const { return image_->BitmapCanvas(); }
        operator TCanvas*() const { return image_->BitmapCanvas(); }

    private:
        friend class TImage;
        explicit TCanvasRef(TImage* image) : image_(image) {}
        TImage* image_;
    };
    const TCanvasRef Canvas{this};
    TCanvas* BitmapCanvas();
    TProperty<bool> Stretch{this, TPropId::Stretch, false};
    TProperty<bool> Center{this, TPropId::Center, false};
    TProperty<bool> Proportional{this, TPropId::Proportional, false};
    TProperty<bool> Transparent{this, TPropId::Transparent, false};
    TProperty<bool> AutoSize{this, TPropId::AutoSize, false};
    // Where the picture lands in the client area.
    TRect DestRect() const;

protected:
    void Paint() override;
    void DoPropertyChanged(TPropId id) override;

private:
    void PictureChanged();
};

class TPaintBox : public TGraphicControl {
public:
    explicit TPaintBox(TComponent* owner = nullptr);
    TNotifyEvent OnPaint;

protected:
    void Paint() override;
};

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// A button that can stay down. Buttons beside each other (same parent) with
// the same GroupIndex form a group in which one at most is down; without
// AllowAllUp one stays down.
class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* owner = nullptr);
    ~TSpeedButton() override;
    TProperty<int> GroupIndex{this, TPropId::GroupIndex, 0};
    TProperty<bool> Down{this, TPropId::Down, false};
    TProperty<bool> AllowAllUp{this, TPropId::AllowAllUp, false};
    TProperty<bool> Flat{this, TPropId::Flat, false};
    TBitmap* const Glyph;
    // How many images Glyph holds side by side: up, disabled, pressed, down.
    TProperty<int> NumGlyphs{this, TPropId::NumGlyphs, 1};
    TProperty<TButtonLayout> Layout{this, TPropId::Layout, blGlyphLeft};
    TProperty<int> Margin{this, TPropId::Margin, -1};
    TProperty<int> Spacing{this, TPropId::Spacing, 4};
    // The person's click (the mouse button going up over the button): the
    // group rules move Down, then OnClick. Click() alone only fires OnClick.
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    bool ClickEvents() const override { return false; }
    bool PropertyChanging(TPropId id) override;

protected:
    void DoPropertyChanged(TPropId id) override;
    void Paint() override;
};

// Calls OnTimer every Interval milliseconds while Enabled (and Interval > 0).
// Headless, time moves only when the script advances the clock.
class TTimer : public TComponent, public TPropertyHost {
public:
    explicit TTimer(TComponent* owner = nullptr);
    ~TTimer() override;
    TProperty<bool> Enabled{this, TPropId::Enabled, true};
    TProperty<int> Interval{this, TPropId::Interval, 1000};
    TNotifyEvent OnTimer;

    bool Running() const { return Enabled && Interval > 0; }
    // When the next tick is due, on the application's clock.
    unsigned Due() const { return due_; }
    // One tick: the next one is scheduled, then OnTimer runs.
    void Tick();
    void PropertyChanged(TPropId id) override;

private:
    void Restart();
    std::unique_ptr<TTimerPeer> peer_;
    unsigned due_ = 0;
};
