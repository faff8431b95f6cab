#pragma once
// TPannelloComponenti: the tool bar above the drawing grid. It holds the
// current tool (selection arrow, eraser, the three graphic-sign tools or one
// component tool per family of cells), the variant lists that decide the port
// counts and layout of the next cell, a rotation and mirror state per tool that
// is also drawn on the tool's glyph, and the style controls of graphic signs,
// which also restyle the signs selected in the drawing control. The tool
// factory (tool_factory.cpp) turns the current state into a new cell.
#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "cells/class_table.h"
#include "platform/extctrls.h"
#include "platform/stdctrls.h"
#include "view/draw_window.h"

class TCella;
class TGridData;
class TPannelloCodici;
class TSegnoGrafico;

// Tool numbers that are not a cell's type code: ToolArrow, ToolEraser,
// ToolLine, ToolRectangle, ToolText (view/draw_window.h).
// The per-tool memories cover tools 0 to 58.
constexpr int32_t ToolMemories = 59;

// The items of a variant list, in order.
std::vector<AnsiString> VariantItems(TVariantList list);

// The tool buttons in order of placement: the palette's own (the arrow, the
// eraser, the three graphic-sign tools, two place holders and a spare button)
// and those of every class in the class table, each at its slot. The placed
// ones come first, then the custom component, the entry and exit anchors and
// the spare button.
std::span<const TToolButtonInfo> ToolButtons();
// The index of a button by name; -1 when none has it.
int ToolButtonIndex(const char* name);

// The cell class the tool factory makes for a tool; none for a tool that
// makes no cell.
const char* ToolClassName(int32_t tool);

// Draws the glyph of tool button index on a 25 x 25 bitmap (buttons without
// a tool keep an empty bitmap).
void DrawToolGlyph(int index, TBitmap& glyph);
constexpr int ToolGlyphSize = 25;
// Turns a square bitmap a quarter turn clockwise; flips it left to right, or
// top to bottom.
void TurnGlyph(TBitmap& glyph);
void FlipGlyph(TBitmap& glyph, bool topToBottom);

class TPannelloComponenti : public TPanel, public TDrawPalette {
public:
    explicit TPannelloComponenti(TComponent* owner = nullptr);
    ~TPannelloComponenti() override;

    // Places the buttons and the columns of the lists.
    void ArrangeToolButtons();
    // 0 head-end grid, 1 network grid, 2 and 3 the custom-component editor.
    void ShowMode(int32_t mode);
    int32_t Mode() const { return mode_; }
    // The click of every tool button.
    void SelectTool(TObject* Sender);
    // Presses button index and runs its click.
    void PressButton(int index);
    // Presses the tool that makes cells like cell and sets the lists from its
    // port counts; true (and the take-article-data flag set) on a match.
    bool SelectToolForCell(TCella* cell);

    // The tool factory: a new cell of tool at (x, y) on grid (which may be
    // none), or none when the tool makes no cell.
    std::unique_ptr<TCella> CreateToolCell(TGridData* grid, int32_t tool, int32_t x, int32_t y);
    std::unique_ptr<TCella> CreateCurrentToolCell(TGridData* grid, int32_t x, int32_t y) override;

    void RotateClick(TObject* Sender);
    void MirrorClick(TObject* Sender);
    void FirstListChange(TObject* Sender);
    void SecondListChange(TObject* Sender);
    void ThirdListChange(TObject* Sender);
    void GraphicColourChange(TObject* Sender);
    void FontNameChange(TObject* Sender);
    void FontNameEnter(TObject* Sender);
    void FontSizeChange(TObject* Sender);
    void FontSizeExit(TObject* Sender);
    void LineWidthChange(TObject* Sender);
    void LineStyleChange(TObject* Sender);

    // The maps between the style controls and sign attributes.
    static TColor IndexToGraphicColour(int index);
    static int ColorToIndex(TColor colour);
    static TColor IndexToColor(int index);
    static int IndexToWidth(int index) { return index + 1; }
    static int WidthToIndex(int width) { return width - 1; }
    static TPenStyle IndexToPenStyle(int index);
    static int PenStyleToIndex(TPenStyle style);
    // The points of a size text ("12pt" or "12"); -1 for a text that is not a
    // whole number from 1 to 999.
    static int ParseFontSize(const AnsiString& text);

    // TDrawPalette.
    int32_t CurrentTool() const override { return currentTool_; }
    int32_t Rotation() const override;
    bool Mirror() const override;
    TColor CableColour() const override { return IndexToColor(CableColourList->ItemIndex); }
    TColor GraphicColour() const override { return IndexToGraphicColour(GraphicColourList->ItemIndex); }
    int32_t PenWidth() const override { return IndexToWidth(std::max(0, LineWidthList->ItemIndex.Get())); }
    TPenStyle PenStyle() const override { return IndexToPenStyle(LineStyleList->ItemIndex); }
    AnsiString FontName() const override { return FontNameBox->Text; }
    int32_t FontSize() const override { return lastFontSize_; }
    bool TakeArticleData() const override { return TakeArticle != 0; }
    // With visible and the arrow chosen: the sign controls show the style of
    // the selected signs (loaded under the updating flag); without visible
    // they hide, unless a tool is using them.
    void ShowSignStyle(bool visible, const TSignStyle& style) override;

    TSpeedButton* Button(int index) const { return buttons_[static_cast<size_t>(index)]; }
    TSpeedButton* ButtonNamed(const char* name) const;
    TSpeedButton* PressedButton() const { return pressed_; }
    // Whether the cell factory builds the class of button index.
    bool ClassBuilt(int index) const;

    TPannelloCodici* CodesPanel = nullptr;
    TDrawWindow* DrawWindow = nullptr;
    uint8_t TakeArticle = 0;  // the take-article-data flag
    uint8_t Updating = 0;     // while set the style handlers do nothing

    // Per tool 0 to 58: rotation, mirror, and the remembered item of each list.
    std::array<int32_t, ToolMemories> RotationOf{};
    std::array<int32_t, ToolMemories> MirrorOf{};
    std::array<int32_t, ToolMemories> FirstOf{};
    std::array<int32_t, ToolMemories> SecondOf{};
    std::array<int32_t, ToolMemories> ThirdOf{};

    TComboBox* const GraphicColourList;
    TComboBox* const FirstList;
    TComboBox* const CableColourList;
    TComboBox* const FontNameBox;
    TComboBox* const SecondList;
    TComboBox* const ThirdList;
    TComboBox* const FontSizeBox;
    TComboBox* const LineWidthList;
    TComboBox* const LineStyleList;
    TButton* const BRuota;
    TButton* const BRifletti;

private:
    void MakeButtons();
    // Hides every style and variant control and both buttons.
    void HideToolControls();
    // The codes palette forgets the article and lists the codes of the tool.
    void RefreshCodes();
    void VariantListChanged(TComboBox* list, std::array<int32_t, ToolMemories>& memory);
    // Replaces each selected sign by a copy changed by change, as one undo step.
    void RestyleSelection(const std::function<void(TSegnoGrafico& sign)>& change);
    // The sign style controls.
    void HideSignControls();
    void DrawColourItem(TWinControl* control, int index, TRect rect, TOwnerDrawState state);
    void DrawWidthItem(TWinControl* control, int index, TRect rect, TOwnerDrawState state);
    void DrawStyleItem(TWinControl* control, int index, TRect rect, TOwnerDrawState state);
    int ButtonIndexOf(const TSpeedButton* button) const;
    int ToolButtonFor(int32_t tool) const;

    std::vector<TSpeedButton*> buttons_;
    TSpeedButton* pressed_ = nullptr;
    int32_t currentTool_ = ToolArrow;
    int32_t lastFontSize_ = 8;
    int32_t mode_ = 0;
};
