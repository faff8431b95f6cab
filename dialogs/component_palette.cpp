#include "dialogs/component_palette.h"

#include <algorithm>
#include <cstring>

#include "cells/cell.h"
#include "cells/factory.h"
#include "core/scoped_flag.h"
#include "dialogs/codes_palette.h"
#include "document/grid.h"
#include "document/signs.h"
#include "document/undo.h"
#include "platform/forms.h"

// ---------------------------------------------------------------- tool table

namespace {

using L = TVariantList;

// The palette's own buttons; the classes' buttons fill the other slots. A
// button names only what differs from the defaults of its fields.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
const TToolButtonInfo OwnButtons[] = {
    {.Slot = 0, .Name = "BArrow", .Hint = "", .Tool = ToolArrow},
    {.Slot = 1, .Name = "BEraser", .Hint = "Cancella", .Tool = ToolEraser},
    {.Slot = 2, .Name = "BLineaGrafica", .Hint = "Linea grafica", .Tool = ToolLine},
    {.Slot = 3, .Name = "BRettangoloGrafico", .Hint = "Rettangolo grafico", .Tool = ToolRectangle},
    {.Slot = 4, .Name = "BTesto", .Hint = "Linea di testo", .Tool = ToolText},
    {.Slot = 16, .Name = "BNonAssegnato", .Hint = "", .Tool = -1},
    {.Slot = 20, .Name = "BNotAssigned", .Hint = "", .Tool = -1},
    {.Slot = 50, .Name = "BRiserva", .Hint = "", .Tool = -1, .Placed = false},
};
#pragma GCC diagnostic pop

std::vector<TToolButtonInfo> GatherButtons() {
    std::vector<TToolButtonInfo> buttons(std::begin(OwnButtons), std::end(OwnButtons));
    for (const TCellClassRow& row : CellClassRows())
        buttons.insert(buttons.end(), row.Buttons.begin(), row.Buttons.end());
    std::stable_sort(buttons.begin(), buttons.end(),
                     [](const TToolButtonInfo& a, const TToolButtonInfo& b) { return a.Slot < b.Slot; });
    return buttons;
}

}  // namespace

std::span<const TToolButtonInfo> ToolButtons() {
    static const std::vector<TToolButtonInfo> buttons = GatherButtons();
    return buttons;
}

int ToolButtonIndex(const char* name) {
    const std::span<const TToolButtonInfo> buttons = ToolButtons();
    for (size_t i = 0; i < buttons.size(); ++i)
        if (std::strcmp(buttons[i].Name, name) == 0) return static_cast<int>(i);
    return -1;
}

// ---------------------------------------------------------------- variant lists

namespace {

// first .. last, each number followed by the singular (for 1) or the plural.
void Counted(std::vector<AnsiString>& items, int first, int last, const char* singular, const char* plural,
             int step = 1) {
    for (int n = first; n <= last; n += step)
        items.push_back(std::to_string(n) + (n == 1 ? singular : plural));
}

}  // namespace

std::vector<AnsiString> VariantItems(TVariantList list) {
    std::vector<AnsiString> items;
    switch (list) {
    case L::None: break;
    case L::Lines9: Counted(items, 1, 9, " linea", " linee"); break;
    case L::DividerOutputs:
    case L::DemixerOutputs: Counted(items, 2, 10, " uscita", " uscite"); break;
    case L::Outputs4: Counted(items, 1, 4, " uscita", " uscite"); break;
    case L::Outputs5: Counted(items, 1, 5, " uscita", " uscite"); break;
    case L::Outputs8: Counted(items, 1, 8, " uscita", " uscite"); break;
    case L::Outputs10: Counted(items, 1, 10, " uscita", " uscite"); break;
    case L::Outputs20: Counted(items, 1, 20, " uscita", " uscite"); break;
    case L::Outputs40: Counted(items, 1, 40, " uscita", " uscite"); break;
    case L::Taps10: Counted(items, 1, 10, " derivata", " derivate"); break;
    case L::TapsEven: Counted(items, 2, 10, " derivata", " derivate", 2); break;
    case L::Through17: Counted(items, 1, 17, " passante", " passanti"); break;
    case L::Inputs9: Counted(items, 1, 9, " ingresso", " ingressi"); break;
    case L::Inputs10: Counted(items, 1, 10, " ingresso", " ingressi"); break;
    case L::Inputs17: Counted(items, 1, 17, " ingresso", " ingressi"); break;
    case L::Inputs20: Counted(items, 1, 20, " ingresso", " ingressi"); break;
    case L::MixerInputs: Counted(items, 2, 10, " ingresso", " ingressi"); break;
    case L::Ways9: Counted(items, 1, 9, " via", " vie"); break;
    case L::Ways17: Counted(items, 1, 17, " via", " vie"); break;
    case L::Modules: Counted(items, 1, 4, " modulo", " moduli"); break;
    case L::SwitchLayout:
        items = {"Out laterali", "Out sx.", "Out dx.", "Matrice sx.", "Matrice dx."};
        Counted(items, 1, 39, " out dx.", " out dx.");
        break;
    case L::TerminalLayout:
        items = {"Out sotto", "Out laterali", "Out sx.", "Out dx.", "Matrice sx.", "Matrice dx."};
        Counted(items, 1, 39, " out dx.", " out dx.");
        break;
    case L::OutletKind: items = {"normale", "demix 2 out", "demix 3 out"}; break;
    case L::AmplifierInput: items = {"normale", "1 ingresso"}; break;
    case L::AutomixInputs: items = {"1 ingresso", "2 ingressi", "2 in automix"}; break;
    case L::AutomixOutputsA: items = {"1 uscita", "2 out automix", "1 out + 1 in"}; break;
    case L::AutomixInput: items = {"1 ingresso", "2 in automix"}; break;
    case L::AutomixOutput: items = {"1 uscita", "2 out automix"}; break;
    case L::Mix: items = {"mix alto", "mix lati"}; break;
    case L::ConverterMounting: items = {"modulo", "da palo", "mix lati"}; break;
    }
    return items;
}

// ---------------------------------------------------------------- construction

namespace {

constexpr int ButtonSize = 25;
constexpr int ListWidth = 82;
constexpr int ToolGroup = 50;

const char* const CableColourNames[] = {"Nero",    "Rosso",  "Verde",  "Blu",    "Acqua",
                                        "Marrone", "Fucsia", "Grigio", "Azzurro"};
const char* const FontSizes[] = {"8pt", "10pt", "12pt", "14pt", "16pt", "20pt", "24pt", "28pt", "32pt"};

TComboBox* MakeList(TPannelloComponenti* palette, TComboBoxStyle style) {
    auto* list = MakeControl<TComboBox>(palette, palette, 0, 2, ListWidth, 21);
    list->Style = style;
    list->Visible = false;
    return list;
}

TButton* MakeButton(TPannelloComponenti* palette, const char* caption) {
    auto* button = MakeControl<TButton>(palette, palette, 0, 4, 66, 17);
    button->Caption = caption;
    button->Visible = false;
    return button;
}

}  // namespace

TPannelloComponenti::TPannelloComponenti(TComponent* owner)
    : TPanel(owner),
      GraphicColourList(MakeList(this, csOwnerDrawFixed)),
      FirstList(MakeList(this, csDropDownList)),
      CableColourList(MakeList(this, csDropDownList)),
      FontNameBox(MakeList(this, csDropDown)),
      SecondList(MakeList(this, csDropDownList)),
      ThirdList(MakeList(this, csDropDownList)),
      FontSizeBox(MakeList(this, csDropDown)),
      LineWidthList(MakeList(this, csOwnerDrawFixed)),
      LineStyleList(MakeList(this, csOwnerDrawFixed)),
      BRuota(MakeButton(this, "Ruota")),
      BRifletti(MakeButton(this, "Rifletti")) {
    Align = alTop;
    Caption = "";
    Height = 50;

    // Starting values of the remembered lists.
    for (const TToolButtonInfo& info : ToolButtons()) {
        if (info.Tool < 0 || info.Tool >= ToolMemories) continue;
        const size_t tool = static_cast<size_t>(info.Tool);
        FirstOf[tool] = info.StartItems[0];
        SecondOf[tool] = info.StartItems[1];
        ThirdOf[tool] = info.StartItems[2];
    }

    // The owner-drawn lists hold one (unshown) text per entry.
    for (const char* name : {"Nero", "Rosso", "Verde", "Blu"}) GraphicColourList->Items->Add(name);
    for (int w = 1; w <= 12; ++w) LineWidthList->Items->Add(std::to_string(w));
    for (const char* name : {"Continua", "Tratteggiata", "Punteggiata"}) LineStyleList->Items->Add(name);
    for (const char* name : CableColourNames) CableColourList->Items->Add(name);
    for (const char* size : FontSizes) FontSizeBox->Items->Add(size);
    for (TComboBox* list : {GraphicColourList, CableColourList, FontSizeBox, LineWidthList, LineStyleList})
        list->ItemIndex = 0;
    FontNameBox->Text = "Times New Roman";
    FontSizeBox->Top = 2;
    FontNameBox->Top = 26;
    SecondList->Top = 26;
    ThirdList->Top = 26;
    LineStyleList->Top = 26;
    BRifletti->Top = 28;

    GraphicColourList->OnDrawItem = Handler(this, &TPannelloComponenti::DrawColourItem);
    LineWidthList->OnDrawItem = Handler(this, &TPannelloComponenti::DrawWidthItem);
    LineStyleList->OnDrawItem = Handler(this, &TPannelloComponenti::DrawStyleItem);
    GraphicColourList->OnChange = Handler(this, &TPannelloComponenti::GraphicColourChange);
    FirstList->OnChange = Handler(this, &TPannelloComponenti::FirstListChange);
    SecondList->OnChange = Handler(this, &TPannelloComponenti::SecondListChange);
    ThirdList->OnChange = Handler(this, &TPannelloComponenti::ThirdListChange);
    FontNameBox->OnChange = Handler(this, &TPannelloComponenti::FontNameChange);
    FontNameBox->OnEnter = Handler(this, &TPannelloComponenti::FontNameEnter);
    FontSizeBox->OnChange = Handler(this, &TPannelloComponenti::FontSizeChange);
    FontSizeBox->OnExit = Handler(this, &TPannelloComponenti::FontSizeExit);
    LineWidthList->OnChange = Handler(this, &TPannelloComponenti::LineWidthChange);
    LineStyleList->OnChange = Handler(this, &TPannelloComponenti::LineStyleChange);
    BRuota->OnClick = Handler(this, &TPannelloComponenti::RotateClick);
    BRifletti->OnClick = Handler(this, &TPannelloComponenti::MirrorClick);

    MakeButtons();
    ArrangeToolButtons();
    currentTool_ = ToolArrow;
    pressed_ = buttons_[0];
    pressed_->Down = true;
}

TPannelloComponenti::~TPannelloComponenti() = default;

void TPannelloComponenti::MakeButtons() {
    const std::span<const TToolButtonInfo> infos = ToolButtons();
    buttons_.reserve(infos.size());
    for (size_t i = 0; i < infos.size(); ++i) {
        const TToolButtonInfo& info = infos[i];
        auto* button = MakeControl<TSpeedButton>(this, this, 0, 0, ButtonSize, ButtonSize);
        button->Name = info.Name;
        button->GroupIndex = ToolGroup;
        button->Hint = info.Hint;
        button->ShowHint = info.Hint[0] != '\0';
        button->Visible = info.Placed;
        button->Enabled = ClassBuilt(static_cast<int>(i));
        TBitmap glyph;
        DrawToolGlyph(static_cast<int>(i), glyph);
        if (!glyph.Empty()) button->Glyph->Assign(glyph);
        button->OnClick = Handler(this, &TPannelloComponenti::SelectTool);
        buttons_.push_back(button);
    }
}

bool TPannelloComponenti::ClassBuilt(int index) const {
    const int32_t tool = ToolButtons()[static_cast<size_t>(index)].Tool;
    if (tool < 0) return false;
    if (tool == ToolArrow || tool == ToolEraser || tool >= ToolLine) return true;
    const char* className = ToolClassName(tool);
    return className && CellClassMaker(className) != nullptr;
}

TSpeedButton* TPannelloComponenti::ButtonNamed(const char* name) const {
    const int index = ToolButtonIndex(name);
    return index < 0 ? nullptr : buttons_[static_cast<size_t>(index)];
}

int TPannelloComponenti::ButtonIndexOf(const TSpeedButton* button) const {
    for (size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i] == button) return static_cast<int>(i);
    return -1;
}

int TPannelloComponenti::ToolButtonFor(int32_t tool) const {
    const std::span<const TToolButtonInfo> buttons = ToolButtons();
    for (size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i].Tool == tool) return static_cast<int>(i);
    return -1;
}

// ---------------------------------------------------------------- placement and modes

void TPannelloComponenti::ArrangeToolButtons() {
    Height = 50;
    int left = 0;
    bool top = true;
    const std::span<const TToolButtonInfo> infos = ToolButtons();
    for (size_t i = 0; i < infos.size(); ++i) {
        TSpeedButton* button = buttons_[i];
        if (!infos[i].Placed) {
            button->Visible = false;
            continue;
        }
        button->SetBounds(left, top ? 0 : ButtonSize, ButtonSize, ButtonSize);
        if (!top) left += ButtonSize;
        top = !top;
        if (std::strcmp(infos[i].Name, "BEraser") == 0) left += 5;
        if (std::strcmp(infos[i].Name, "BTesto") == 0) {
            left += 30;
            top = true;
        }
    }
    if (!top) left += ButtonSize;
    const int column1 = left + 5;
    const int column2 = column1 + 89;
    for (TComboBox* list : {GraphicColourList, FirstList, CableColourList, FontNameBox, SecondList})
        list->Left = column1;
    for (TControl* control : std::initializer_list<TControl*>{ThirdList, FontSizeBox, LineWidthList,
                                                              LineStyleList, BRuota, BRifletti})
        control->Left = column2;
}

void TPannelloComponenti::ShowMode(int32_t mode) {
    mode_ = mode;
    ArrangeToolButtons();
    const std::span<const TToolButtonInfo> infos = ToolButtons();
    for (size_t i = 0; i < infos.size(); ++i) {
        const TToolButtonInfo& info = infos[i];
        TSpeedButton* button = buttons_[i];
        if (info.Tool >= ToolLine) button->Visible = true;
        if (info.HeadEnd) button->Enabled = ClassBuilt(static_cast<int>(i)) && mode != 1;
    }
    if (!pressed_->Visible || !pressed_->Enabled) PressButton(0);
}

// ---------------------------------------------------------------- tool selection

void TPannelloComponenti::HideToolControls() {
    for (TControl* control : std::initializer_list<TControl*>{
             GraphicColourList, FirstList, CableColourList, FontNameBox, SecondList, ThirdList, FontSizeBox,
             LineWidthList, LineStyleList, BRuota, BRifletti})
        control->Visible = false;
}

void TPannelloComponenti::RefreshCodes() {
    if (CodesPanel) CodesPanel->ToolChanged();
}

void TPannelloComponenti::PressButton(int index) {
    TSpeedButton* button = buttons_[static_cast<size_t>(index)];
    button->Down = true;
    SelectTool(button);
}

void TPannelloComponenti::SelectTool(TObject* Sender) {
    auto* button = dynamic_cast<TSpeedButton*>(Sender);
    const int index = ButtonIndexOf(button);
    if (index < 0) return;
    const TToolButtonInfo& info = ToolButtons()[static_cast<size_t>(index)];
    if (info.Tool < 0) return;  // the place holders and the spare button have no tool
    pressed_ = button;
    if (!button->Down) button->Down = true;

    if (DrawWindow) {
        DrawWindow->HideEditor();
        DrawWindow->ClearSignSelection();
        DrawWindow->Options = DrawWindow->Options.Get() >> goRangeSelect;
    }
    HideToolControls();
    TakeArticle = 0;
    currentTool_ = info.Tool;

    switch (info.Tool) {
    case ToolArrow:
        if (DrawWindow) DrawWindow->Options = DrawWindow->Options.Get() << goRangeSelect;
        break;
    case ToolEraser: break;
    case ToolLine:
    case ToolRectangle:
        LineWidthList->Visible = true;
        LineStyleList->Visible = true;
        GraphicColourList->Visible = true;
        break;
    case ToolText:
        FontNameBox->Visible = true;
        FontSizeBox->Visible = true;
        GraphicColourList->Visible = true;
        break;
    default: {
        BRuota->Visible = info.Rotate;
        BRifletti->Visible = info.Mirror;
        CableColourList->Visible = info.CableColour;
        TComboBox* lists[3] = {FirstList, SecondList, ThirdList};
        const std::array<int32_t, ToolMemories>* memories[3] = {&FirstOf, &SecondOf, &ThirdOf};
        for (int k = 0; k < 3; ++k) {
            if (info.Lists[k] == L::None) continue;
            TComboBox* list = lists[k];
            list->Clear();
            for (const AnsiString& item : VariantItems(info.Lists[k])) list->Items->Add(item);
            list->ItemIndex = (*memories[k])[static_cast<size_t>(info.Tool)];
            list->Visible = true;
        }
        break;
    }
    }
    RefreshCodes();
}

void TPannelloComponenti::VariantListChanged(TComboBox* list, std::array<int32_t, ToolMemories>& memory) {
    if (currentTool_ < 0 || currentTool_ >= ToolMemories) return;
    memory[static_cast<size_t>(currentTool_)] = list->ItemIndex;
    if (list == ThirdList) return;
    TakeArticle = 0;
    RefreshCodes();
}

void TPannelloComponenti::FirstListChange(TObject*) { VariantListChanged(FirstList, FirstOf); }
void TPannelloComponenti::SecondListChange(TObject*) { VariantListChanged(SecondList, SecondOf); }
void TPannelloComponenti::ThirdListChange(TObject*) { VariantListChanged(ThirdList, ThirdOf); }

// ---------------------------------------------------------------- rotation and mirror

int32_t TPannelloComponenti::Rotation() const {
    return currentTool_ >= 0 && currentTool_ < ToolMemories ? RotationOf[static_cast<size_t>(currentTool_)]
                                                            : 0;
}

bool TPannelloComponenti::Mirror() const {
    return currentTool_ >= 0 && currentTool_ < ToolMemories &&
           MirrorOf[static_cast<size_t>(currentTool_)] != 0;
}

void TPannelloComponenti::RotateClick(TObject*) {
    if (currentTool_ < 0 || currentTool_ >= ToolMemories) return;
    int32_t& rotation = RotationOf[static_cast<size_t>(currentTool_)];
    rotation = (rotation + 1) % 4;
    TBitmap glyph;
    glyph.Assign(*pressed_->Glyph);
    TurnGlyph(glyph);
    // A tool that stands only upright or upside down turns half a turn a click.
    const int index = ToolButtonFor(currentTool_);
    if (index >= 0 && ToolButtons()[static_cast<size_t>(index)].HalfTurns) TurnGlyph(glyph);
    pressed_->Glyph->Assign(glyph);
}

void TPannelloComponenti::MirrorClick(TObject*) {
    if (currentTool_ < 0 || currentTool_ >= ToolMemories) return;
    int32_t& mirror = MirrorOf[static_cast<size_t>(currentTool_)];
    mirror = mirror ? 0 : 1;
    TBitmap glyph;
    glyph.Assign(*pressed_->Glyph);
    FlipGlyph(glyph, RotationOf[static_cast<size_t>(currentTool_)] % 2 != 0);
    pressed_->Glyph->Assign(glyph);
}

// ---------------------------------------------------------------- the tool of a cell

namespace {

// The button and list items a cell selects, as its class's row says.
TListChoice ChoiceForCell(const TCella& c) {
    const TCellClassRow* row = ClassRowOfCode(c.TypeCode);
    return row && row->Choice ? row->Choice(c) : TListChoice{};
}

bool IsCableCode(int32_t code) {
    return code == CodeOldCableStraight || code == CodeOldCableBend || code == CodeBridge ||
           code == CodeCable;
}

}  // namespace

bool TPannelloComponenti::SelectToolForCell(TCella* cell) {
    bool matched = false;
    const TListChoice choice = cell ? ChoiceForCell(*cell) : TListChoice{};
    const int index = choice.Button ? ToolButtonIndex(choice.Button) : -1;
    if (index >= 0 && buttons_[static_cast<size_t>(index)]->Enabled) {
        PressButton(index);
        TComboBox* lists[3] = {FirstList, SecondList, ThirdList};
        matched = true;
        for (int k = 0; k < 3; ++k) {
            const int32_t item = choice.Index[k];
            if (item == -1) continue;
            // Counts beyond the list belong to no tool.
            if (item < 0 || item >= lists[k]->Items->Count()) {
                matched = false;
                break;
            }
            lists[k]->ItemIndex = item;
        }
        // The tool must make what the cell is: an entry whose counts the
        // lists cannot give would hand its data to a cell of other counts.
        if (matched && !IsCableCode(cell->TypeCode)) {
            const uint8_t saved = TakeArticle;
            TakeArticle = 0;
            std::unique_ptr<TCella> made = CreateCurrentToolCell(nullptr, 0, 0);
            TakeArticle = saved;
            matched = made && made->TypeCode == cell->TypeCode && made->Inputs == cell->Inputs &&
                      made->ThroughOutputs == cell->ThroughOutputs && made->TapOutputs == cell->TapOutputs;
        }
    }
    if (!matched) PressButton(0);
    TakeArticle = matched ? 1 : 0;
    if (CodesPanel) CodesPanel->Tree->HideSelection = !matched;
    return matched;
}

// ---------------------------------------------------------------- style maps

TColor TPannelloComponenti::IndexToGraphicColour(int index) {
    // Black for the first item and for no item.
    static const TColor colours[] = {clBlack, clRed, clGreen, clBlue};
    return index >= 0 && index < 4 ? colours[index] : clBlack;
}

int TPannelloComponenti::ColorToIndex(TColor colour) {
    for (int i = 1; i < 4; ++i)
        if (IndexToGraphicColour(i) == colour) return i;
    return 0;
}

TColor TPannelloComponenti::IndexToColor(int index) {
    static const TColor colours[] = {clBlack,  clRed,     clGreen, clBlue, clAqua,
                                     clMaroon, clFuchsia, clGray,  clNavy};
    return index >= 0 && index < 9 ? colours[index] : clBlack;
}

TPenStyle TPannelloComponenti::IndexToPenStyle(int index) {
    // Solid for the first item and for no item.
    static const TPenStyle styles[] = {psSolid, psDash, psDot};
    return index >= 0 && index < 3 ? styles[index] : psSolid;
}

int TPannelloComponenti::PenStyleToIndex(TPenStyle style) {
    switch (style) {
    case psSolid: return 0;
    case psDash: return 1;
    case psDot: return 2;
    default: return -1;
    }
}

int TPannelloComponenti::ParseFontSize(const AnsiString& text) {
    std::string s = text;
    if (s.size() >= 2 && s.compare(s.size() - 2, 2, "pt") == 0) s.resize(s.size() - 2);
    if (s.empty() || s.size() > 3) return -1;
    int value = 0;
    for (char ch : s) {
        if (ch < '0' || ch > '9') return -1;
        value = value * 10 + (ch - '0');
    }
    return value >= 1 ? value : -1;
}

// ---------------------------------------------------------------- owner drawing

void TPannelloComponenti::DrawColourItem(TWinControl* control, int index, TRect rect, TOwnerDrawState) {
    TCanvas* canvas = static_cast<TComboBox*>(control)->Canvas;
    const TColor colour = IndexToGraphicColour(index);
    canvas->Pen->Style = psSolid;
    canvas->Pen->Width = 1;
    canvas->Pen->Color = colour;
    canvas->Brush->Style = bsSolid;
    canvas->Brush->Color = colour;
    canvas->Rectangle(rect.Left + 5, rect.Top + 5, rect.Right - 4, rect.Bottom - 4);
}

void TPannelloComponenti::DrawWidthItem(TWinControl* control, int index, TRect rect, TOwnerDrawState) {
    TCanvas* canvas = static_cast<TComboBox*>(control)->Canvas;
    canvas->Pen->Color = clBlack;
    canvas->Pen->Style = psSolid;
    canvas->Pen->Width = IndexToWidth(index);
    const int y = (rect.Top + rect.Bottom) / 2;
    canvas->MoveTo(rect.Left + 10, y);
    canvas->LineTo(rect.Right - 10, y);
    canvas->Pen->Width = 1;
}

void TPannelloComponenti::DrawStyleItem(TWinControl* control, int index, TRect rect, TOwnerDrawState) {
    TCanvas* canvas = static_cast<TComboBox*>(control)->Canvas;
    canvas->Pen->Color = clBlack;
    canvas->Pen->Width = 1;
    canvas->Pen->Style = IndexToPenStyle(index);
    const int y = (rect.Top + rect.Bottom) / 2;
    canvas->MoveTo(rect.Left + 10, y);
    canvas->LineTo(rect.Right - 10, y);
    canvas->Pen->Style = psSolid;
}

// ---------------------------------------------------------------- restyling selected signs

void TPannelloComponenti::GraphicColourChange(TObject*) {
    const TColor colour = GraphicColour();
    RestyleSelection([colour](TSegnoGrafico& sign) {
        sign.Pen->Color = colour;
        sign.Font->Color = colour;
    });
}

void TPannelloComponenti::FontNameEnter(TObject*) {
    const AnsiString text = FontNameBox->Text;
    FontNameBox->Items->Assign(*Screen->Fonts);
    FontNameBox->Text = text;
}

void TPannelloComponenti::FontNameChange(TObject*) {
    const AnsiString name = FontName();
    RestyleSelection([name](TSegnoGrafico& sign) { sign.Font->Name = name; });
}

void TPannelloComponenti::FontSizeChange(TObject*) {
    // A text that is no size (yet) changes nothing; leaving the box puts
    // the last size back.
    const int size = ParseFontSize(FontSizeBox->Text);
    if (size < 0) return;
    lastFontSize_ = size;
    RestyleSelection([size](TSegnoGrafico& sign) { sign.Font->Size = size; });
}

void TPannelloComponenti::FontSizeExit(TObject*) {
    const int size = ParseFontSize(FontSizeBox->Text);
    if (size > 0) lastFontSize_ = size;
    FontSizeBox->Text = std::to_string(lastFontSize_) + "pt";
}

void TPannelloComponenti::LineWidthChange(TObject*) {
    const int width = PenWidth();
    RestyleSelection([width](TSegnoGrafico& sign) { sign.Pen->Width = width; });
}

void TPannelloComponenti::LineStyleChange(TObject*) {
    const TPenStyle style = PenStyle();
    RestyleSelection([style](TSegnoGrafico& sign) { sign.Pen->Style = style; });
}

void TPannelloComponenti::RestyleSelection(const std::function<void(TSegnoGrafico& sign)>& change) {
    if (Updating || !DrawWindow || DrawWindow->SelectedSigns.Empty()) return;
    TGridData* grid = DrawWindow->Grid();
    if (!grid) return;
    const std::vector<TSegnoGrafico*> selected(DrawWindow->SelectedSigns.begin(),
                                               DrawWindow->SelectedSigns.end());
    {
        // One undo puts every sign back: the top record heads the others.
        const TUndoStep step(grid->UndoList.get(), TUndoStep::TEnd::UnderTop);
        // The selection reloads the controls as it changes: they must not restyle again.
        const TUpdatingByte updating(Updating);
        for (TSegnoGrafico* sign : selected) {
            auto owned = std::make_unique<TSegnoGrafico>(grid);
            TSegnoGrafico* copy = owned.get();
            sign->Assign(copy);
            change(*copy);
            DrawWindow->UnselectSign(sign);
            grid->RemoveSign(sign, true, CaptionProperties);
            if (grid->AddSign(std::move(owned), true, CaptionProperties)) DrawWindow->SelectSign(copy);
        }
    }
    grid->SetModified(ModDrawing);
}

void TPannelloComponenti::HideSignControls() {
    for (TControl* control : std::initializer_list<TControl*>{GraphicColourList, LineWidthList, LineStyleList,
                                                              FontNameBox, FontSizeBox})
        control->Visible = false;
}

void TPannelloComponenti::ShowSignStyle(bool visible, const TSignStyle& style) {
    if (currentTool_ != ToolArrow) return;  // the tool's own controls stay as the tool set them
    HideSignControls();
    if (!visible) return;
    const TUpdatingByte updating(Updating);
    GraphicColourList->ItemIndex = style.Colour == static_cast<TColor>(-1) ? -1 : ColorToIndex(style.Colour);
    GraphicColourList->Visible = true;
    if (style.ShowPen) {
        LineWidthList->ItemIndex = style.PenWidth < 0 ? -1 : WidthToIndex(style.PenWidth);
        LineStyleList->ItemIndex =
            style.PenStyle < 0 ? -1 : PenStyleToIndex(static_cast<TPenStyle>(style.PenStyle));
        LineWidthList->Visible = true;
        LineStyleList->Visible = true;
    }
    if (style.ShowFont) {
        FontNameBox->Text = style.FontName;
        FontSizeBox->Text =
            style.FontSize < 0 ? AnsiString() : AnsiString(std::to_string(style.FontSize) + "pt");
        if (style.FontSize > 0) lastFontSize_ = style.FontSize;
        FontNameBox->Visible = true;
        FontSizeBox->Visible = true;
    }
}
