#pragma once
// A component palette for tests of the drawing control: every answer is a
// field the test sets, the factory makes what the test hands it, and the
// sign controls keep what they were last shown.
#include <functional>
#include <memory>

#include "view/draw_window.h"

class TStandInPalette : public TDrawPalette {
public:
    int32_t CurrentTool() const override { return Tool; }
    int32_t Rotation() const override { return Turn; }
    bool Mirror() const override { return Mirrored; }
    TColor CableColour() const override { return Cable; }
    TColor GraphicColour() const override { return Graphic; }
    int32_t PenWidth() const override { return Width; }
    TPenStyle PenStyle() const override { return Style; }
    AnsiString FontName() const override { return Font; }
    int32_t FontSize() const override { return Size; }
    bool TakeArticleData() const override { return TakeData; }
    std::unique_ptr<TCella> CreateCurrentToolCell(TGridData* grid, int32_t column, int32_t row) override {
        ++Created;
        if (!Make) return nullptr;
        return Make(grid, column, row);
    }
    void ShowSignStyle(bool visible, const TSignStyle& style) override {
        SignControlsShown = visible;
        Shown = style;
        ++StyleUpdates;
    }

    int32_t Tool = 0;
    int32_t Turn = 0;
    bool Mirrored = false;
    TColor Cable = clBlack;
    TColor Graphic = clBlack;
    int32_t Width = 1;
    TPenStyle Style = psSolid;
    AnsiString Font = "Arial";
    int32_t Size = 10;
    bool TakeData = false;
    // The factory: a new cell of the tool at (column, row), or none.
    std::function<std::unique_ptr<TCella>(TGridData*, int32_t, int32_t)> Make;
    int Created = 0;

    bool SignControlsShown = false;
    TSignStyle Shown;
    int StyleUpdates = 0;
};
