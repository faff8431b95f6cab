// The layout of the component-data form for the switches a component set:
// the sections it asked for stacked in two columns, their rows and check
// boxes shown or hidden, the buttons below, and the form's size and place.
#include <algorithm>
#include <vector>

#include "cells/combo_string_grid.h"
#include "cells/component_data.h"
#include "platform/application.h"

namespace {

constexpr int ColumnLeft = 8;
constexpr int SideLeft = 593;
constexpr int SectionGap = 16;
constexpr int RowStep = 20;
constexpr int LineStep = 24;
constexpr int FormWidth = 800;
constexpr int SmallScreen = 601;
constexpr int TallForm = 581;
constexpr int CappedHeight = 580;
// First row of a right-column section, below the section's caption.
constexpr int SideTop = 18;
// The value rows' caption boxes and their band columns.
constexpr int RowCaptionWidth = 121;
constexpr int ValueLeft = 128;
constexpr int ValueStep = 40;
// Room a caption box keeps beside its text for its frame and margins.
constexpr int CaptionBoxPadding = 8;
// Gap between a caption box and the first value column.
constexpr int CaptionGap = ValueLeft - RowCaptionWidth;
// Where the last value column ends, inside "Dati segnali".
constexpr int ValuesRight = ValueLeft + ValueStep * 10 + ValueStep + 1;
// Room a check box keeps before its caption for its mark.
constexpr int CheckMarkRoom = 22;
// The module and output strips start this far right of the value columns,
// and end this far left of the section's right edge.
constexpr int StripIndent = 8;
constexpr int StripRightMargin = 16;
// Value rows 0 and 1 of a satellite module carry its bands.
constexpr int SatelliteBandRows = 2;
// "Min", "Max", channel and plan of a channel row, from its first column.
constexpr int ChannelOffsets[4] = {0, 44, 88, 140};

void Place(TControl* control, int top, bool visible) {
    control->Visible = visible;
    if (visible) control->Top = top;
}

void PlaceAt(TControl* control, int left, int top) {
    control->Left = left;
    control->Top = top;
    control->Visible = true;
}

int Bottom(const TControl* control) { return control->Top + control->Height; }

}  // namespace

void TDatiComponenti::MoveSignalRows(TWinControl* parent) {
    if (RowCaption[0]->Parent == parent) return;
    std::vector<TControl*> rows;
    for (int r = 0; r < 4; ++r) {
        rows.push_back(BandCaption[r]);
        for (TEdit* cell : BandCell[r]) rows.push_back(cell);
    }
    for (int r = 0; r < DialogRows; ++r) {
        rows.push_back(RowCaption[r]);
        for (TEdit* edit : ValueEdit[r]) rows.push_back(edit);
    }
    for (int i = 0; i < DialogChannelRows; ++i)
        for (TControl* control :
             {static_cast<TControl*>(ChannelCaption[i]), static_cast<TControl*>(ChannelMin[i]),
              static_cast<TControl*>(ChannelMax[i]), static_cast<TControl*>(ChannelCombo[i]),
              static_cast<TControl*>(PlanCombo[i])})
            if (std::find(rows.begin(), rows.end(), control) == rows.end()) rows.push_back(control);
    for (TControl* control :
         {static_cast<TControl*>(CaptionDescrizioneModulo), static_cast<TControl*>(EditDescrizioneModulo),
          static_cast<TControl*>(CaptionConversione), static_cast<TControl*>(ComboConversione)})
        rows.push_back(control);
    for (TControl* control : rows) control->Parent = parent;
}

void TDatiComponenti::PlaceRowColumns(int captionWidth, int valueLeft, int step) {
    // Neighbouring columns share their border pixel.
    for (int r = 0; r < 4; ++r) {
        BandCaption[r]->Width = captionWidth;
        for (int c = 0; c < DialogBandColumns; ++c) {
            BandCell[r][c]->Left = valueLeft + step * c;
            BandCell[r][c]->Width = step + 1;
        }
    }
    for (int r = 0; r < DialogRows; ++r) {
        RowCaption[r]->Width = captionWidth;
        for (int c = 0; c < DialogBandColumns; ++c) {
            ValueEdit[r][c]->Left = valueLeft + step * c;
            ValueEdit[r][c]->Width = step + 1;
        }
    }
    for (int i = 0; i < DialogChannelRows; ++i) {
        ChannelCaption[i]->Width = captionWidth;
        ChannelMin[i]->Left = valueLeft + ChannelOffsets[0];
        ChannelMax[i]->Left = valueLeft + ChannelOffsets[1];
        ChannelCombo[i]->Left = valueLeft + ChannelOffsets[2];
        PlanCombo[i]->Left = valueLeft + ChannelOffsets[3];
    }
    for (auto& headers : ChannelHeaders)
        for (int c = 0; c < 4; ++c) headers[c]->Left = valueLeft + ChannelOffsets[c];
    CaptionDescrizioneModulo->Width = CaptionConversione->Width = captionWidth;
    EditDescrizioneModulo->Left = ComboConversione->Left = valueLeft;
    CaptionModulo->Width = CaptionUscita->Width = captionWidth;
    StripModulo->Left = StripUscita->Left = valueLeft + StripIndent;
}

int TDatiComponenti::SignalCaptionWidth() {
    std::vector<TEdit*> shown;
    if (ShowBandRows)
        for (TEdit* box : BandCaption) shown.push_back(box);
    for (int r = 0; r < DialogRows; ++r)
        if (RowFlags[r]) shown.push_back(RowCaption[r]);
    for (int i = 0; i < DialogChannelRows; ++i)
        if (ChannelRows[i]) shown.push_back(ChannelCaption[i]);
    if (ChannelRows[3]) shown.push_back(CaptionDescrizioneModulo);
    if (ChannelRows[4]) shown.push_back(CaptionConversione);
    if (ModuleCount > 1) shown.push_back(CaptionModulo);
    if (OutputCount > 1) shown.push_back(CaptionUscita);
    int width = RowCaptionWidth;
    for (TEdit* box : shown) {
        Canvas->Font->Assign(*box->Font);
        width = std::max(width, Canvas->TextWidth(box->Text) + CaptionBoxPadding);
    }
    return width;
}

int TDatiComponenti::LayoutSignals() {
    // A caption longer than the sheet's boxes widens its column; the band
    // columns then stand closer, so that all of them still fit the section.
    const int captionWidth = SignalCaptionWidth();
    const int valueLeft = captionWidth + CaptionGap;
    const int step = std::min(ValueStep, (ValuesRight - 1 - valueLeft) / DialogBandColumns);
    PlaceRowColumns(captionWidth, valueLeft, step);
    int y = 16;
    // Band header.
    if (ShowBandRows) {
        ShowBandHeader();
        for (int r = 0; r < 4; ++r) {
            BandCaption[r]->Top = y;
            for (TEdit* cell : BandCell[r]) cell->Top = y;
            y += RowStep;
        }
        y += 8;
    } else {
        HideBandHeader();
    }
    // Channel rows with their column headers, the description and the converter rows.
    const bool anyChannelRow = ChannelRows[0] || ChannelRows[1] || ChannelRows[2];
    for (int c = 0; c < 4; ++c) Place(ChannelHeaders[0][c], y, anyChannelRow);
    if (anyChannelRow) y += 16;
    for (int i = 0; i < DialogChannelRows; ++i) {
        const bool shown = ChannelRows[i] != 0;
        if (i > 0 || shown) Place(ChannelCaption[i], y, shown);
        for (TControl* control :
             {static_cast<TControl*>(ChannelMin[i]), static_cast<TControl*>(ChannelMax[i]),
              static_cast<TControl*>(ChannelCombo[i]), static_cast<TControl*>(PlanCombo[i])})
            Place(control, y, shown);
        if (shown) y += 24;
    }
    for (TControl* control :
         {static_cast<TControl*>(CaptionDescrizioneModulo), static_cast<TControl*>(EditDescrizioneModulo)})
        Place(control, y, ChannelRows[3] != 0);
    if (ChannelRows[3]) y += 24;
    for (TControl* control :
         {static_cast<TControl*>(CaptionConversione), static_cast<TControl*>(ComboConversione)})
        Place(control, y, ChannelRows[4] != 0);
    if (ChannelRows[4]) y += 24;
    // The channel grids sit at the top right, over the band header.
    int gridsBottom = 0;
    Place(GridCanali5, 16, ChannelGrids[0] != 0);
    if (ChannelGrids[0]) gridsBottom = std::max(gridsBottom, Bottom(GridCanali5));
    Place(GridCanali8, 16, ChannelGrids[1] != 0);
    if (ChannelGrids[1]) gridsBottom = std::max(gridsBottom, Bottom(GridCanali8));
    // Value rows; below the satellite channel grid, but for the two band
    // rows, which show only while the grid is hidden.
    int shownRows = 0;
    for (int r = 0; r < DialogRows; ++r) {
        if (ChannelGrids[1] && r == SatelliteBandRows) y = std::max(y, Bottom(GridCanali8) + 8);
        const bool shown = RowFlags[r] != 0;
        if (shown || !(r == 0 && ChannelRows[0])) Place(RowCaption[r], y, shown);
        for (TEdit* edit : ValueEdit[r]) Place(edit, y, shown);
        if (shown) {
            y += RowStep;
            ++shownRows;
        }
    }
    // The main-function row switches the rows to the amplification stages:
    // room for seven of them.
    if (MainFunction != 0) {
        if (shownRows < DialogStageRows) y += RowStep * (DialogStageRows - shownRows);
        y += 4;
        PlaceAt(PanelFunzione, 8, y);
        // Input amplification first, then the component's own function, then
        // through and output amplification: the order the signal meets them.
        const int order[4] = {1, 0, 2, 3};
        const bool shown[4] = {true, (MainFunction & 1) != 0, (MainFunction & 2) != 0,
                               (MainFunction & 4) != 0};
        int x = 0;
        for (int k : order) {
            TRadioButton* button = RadioFunzione[k];
            button->Visible = shown[k];
            if (!shown[k]) continue;
            button->Left = x;
            button->Width = Canvas->TextWidth(button->Caption) + 25;
            x += button->Width;
        }
        y += 25 + 4;
    } else {
        PanelFunzione->Visible = false;
    }
    // Module and output selectors.
    const bool modules = ModuleCount > 1;
    Place(CaptionModulo, y, modules);
    Place(StripModulo, y, modules);
    for (int m = 0; m < DialogModules; ++m) RadioModulo[m]->Visible = m < ModuleCount;
    if (modules) {
        PanelModulo->Width = 40 * ModuleCount;
        StripModulo->Width = std::min(40 * ModuleCount, 577 - StripRightMargin - StripModulo->Left);
        y += 22;
    }
    const bool outputs = OutputCount > 1 && DistinctOutputs;
    for (TControl* control : {static_cast<TControl*>(CaptionUscita), static_cast<TControl*>(StripUscita)}) {
        control->Top = y;
        control->Visible = outputs;
    }
    for (int o = 0; o < DialogOutputs; ++o) RadioUscita[o]->Visible = o < OutputCount;
    // The row is kept for a component of several outputs: "Uscite distinte"
    // shows the selector in it.
    if (OutputCount > 1) {
        PanelUscita->Width = 40 * OutputCount;
        StripUscita->Width = std::min(40 * OutputCount, 577 - StripRightMargin - StripUscita->Left);
        y += 22;
    }
    // Buttons of the outputs and the swaps, on one line.
    ButtonUsciteDistinte->Caption = DistinctOutputs ? "Uscite uguali" : "Uscite distinte";
    const bool buttons[4] = {OutputCount > 1, ShowSwapButtons[0] != 0, ShowSwapButtons[1] != 0,
                             ShowSwapButtons[2] != 0};
    TButton* const buttonControls[4] = {ButtonUsciteDistinte, ButtonScambia1, ButtonScambia2,
                                        ButtonCambiaCanali};
    int x = 8;
    bool anyButton = false;
    for (int k = 0; k < 4; ++k) {
        buttonControls[k]->Visible = buttons[k];
        if (!buttons[k]) continue;
        buttonControls[k]->Left = x;
        buttonControls[k]->Top = y;
        x += buttonControls[k]->Width + 8;
        anyButton = true;
    }
    if (anyButton) y += 25;
    return std::max(y, gridsBottom) + 10;
}

int TDatiComponenti::LayoutElectrical() {
    const int w = ElectricalWord;
    int y = SideTop;
    auto row = [&](TControl* control, bool shown, int step) {
        Place(control, y, shown);
        if (shown) y += step;
    };
    for (TCheckBox* box : {CheckChiusuraDC, CheckAlimentaMontanti, CheckTrasferisce}) {
        const bool shown = box->Visible;
        row(box, shown, RowStep);
    }
    const bool current = (w & ElectricCurrent) != 0;
    Place(EditCorrente, y - 2, current);
    Place(LabelCorrenteMa, y, current);
    row(LabelCorrente, current, 22);
    // The three port rows, with the two supply boxes after "Riceve alimentazione da".
    const bool portShown[3] = {(w & ElectricInputs) != 0, (w & ElectricThrough) != 0,
                               (w & ElectricTaps) != 0};
    const bool anyPort = portShown[0] || portShown[1] || portShown[2];
    const int32_t groupBits[3] = {ElectricReceives, ElectricFeeds, ElectricRefuses};
    // The shown port boxes side by side, each as wide as its caption needs
    // (the classes name the ports), in the same columns on every row.
    int x = 8;
    for (int p = 0; p < 3; ++p) {
        if (!portShown[p]) continue;
        Canvas->Font->Assign(*CheckPort[0][p]->Font);
        const int width = Canvas->TextWidth(CheckPort[0][p]->Caption) + CheckMarkRoom;
        for (auto& boxes : CheckPort) boxes[p]->SetBounds(x, boxes[p]->Top, width, boxes[p]->Height);
        x += width;
    }
    for (int g = 0; g < 3; ++g) {
        const bool group = (w & groupBits[g]) != 0;
        row(LabelSupply[g], group, 18);
        if (g == SupplyReceives) {
            const bool internal = group && (w & ElectricInternalSupply) != 0;
            Place(EditCorrenteInterno, y - 2, internal);
            Place(LabelCorrenteInternoMa, y, internal);
            row(CheckAlimInterno, internal, RowStep);
            row(CheckAlimEsterno, group && (w & ElectricExternalSupply) != 0, RowStep);
        }
        for (int p = 0; p < 3; ++p) Place(CheckPort[g][p], y, group && portShown[p]);
        if (group && anyPort) y += 22;
    }
    return y + 4;
}

int TDatiComponenti::LayoutPositions() {
    const int w = PositionsWord;
    int y = SideTop;
    struct Box {
        TCheckBox* box;
        bool shown;
    };
    // clang-format off
    const Box boxes[] = {
        {CheckPalo1, (w & PositionMastFirst) != 0},          {CheckCentrale, (w & PositionHeadEnd) != 0},
        {CheckSottostazione, (w & PositionSubstation) != 0}, {CheckPrimoLinea, (w & PositionFirstOfLine) != 0},
        {CheckLinea, (w & PositionLine) != 0},               {CheckUltimoLinea, (w & PositionLastOfLine) != 0},
        {CheckPresa, (w & PositionOutlet) != 0},             {CheckPalo2, (w & PositionMastLast) != 0},
        {CheckAmpliLinea, CheckAmpliLinea->Visible},         {CheckTestaCalata, CheckTestaCalata->Visible},
    };
    // clang-format on
    for (const Box& b : boxes) {
        Place(b.box, y, b.shown);
        if (b.shown) y += RowStep;
    }
    return y + 4;
}

int TDatiComponenti::LayoutFeatures() {
    const int w = OtherFeatures;
    int y = SideTop;
    const std::pair<TCheckBox*, bool> boxes[] = {{CheckDigitale, (w & FeatureDigital) != 0},
                                                 {CheckOttico, (w & FeatureOptical) != 0},
                                                 {CheckLnbQuad, (w & FeatureQuadLnb) != 0}};
    for (const auto& [box, shown] : boxes) {
        Place(box, y, shown);
        if (shown) y += RowStep;
    }
    return y + 4;
}

int TDatiComponenti::LayoutCommercial() {
    int y = 16;
    // Line 1: the mast data of an antenna or a dish.
    const bool dish = AntennaKind[0] != 0;
    const bool antenna = AntennaKind[1] != 0;
    const bool mast = dish || antenna;
    Place(CaptionForma, y, antenna);
    Place(ComboForma, y, antenna);
    Place(CaptionDiametro, y, dish && !antenna);
    Place(EditDiametro, y, dish && !antenna);
    for (TControl* control : {static_cast<TControl*>(CaptionArea), static_cast<TControl*>(EditArea),
                              static_cast<TControl*>(CaptionSpinta), static_cast<TControl*>(EditSpinta),
                              static_cast<TControl*>(CaptionVelocita), static_cast<TControl*>(ComboVelocita)})
        Place(control, y, mast);
    if (mast) {
        // A dish's line is narrower before the wider speed combo, so that
        // the combo ends with the line.
        struct TMastBox {
            TControl* control;
            int antennaLeft, dishLeft, antennaWidth, dishWidth;
        };
        // clang-format off
        const TMastBox boxes[] = {
            {EditDiametro, 90, 90, 49, 41},      {CaptionArea, 144, 136, 65, 65},
            {EditArea, 210, 202, 49, 41},        {CaptionSpinta, 264, 248, 93, 93},
            {EditSpinta, 358, 342, 49, 41},      {CaptionVelocita, 412, 388, 113, 113},
            {ComboVelocita, 526, 502, 41, 65},
        };
        // clang-format on
        for (const TMastBox& b : boxes) {
            b.control->Left = antenna ? b.antennaLeft : b.dishLeft;
            b.control->Width = antenna ? b.antennaWidth : b.dishWidth;
        }
        y += LineStep;
    }
    // Line 2: internal and external notes and the connector.
    const bool commercial = ShowCommercial != 0;
    for (TControl* control :
         {static_cast<TControl*>(CaptionNoteInt), static_cast<TControl*>(EditNoteInt),
          static_cast<TControl*>(CaptionNoteEst), static_cast<TControl*>(EditNoteEst),
          static_cast<TControl*>(CaptionConnettore), static_cast<TControl*>(ComboConnettore)})
        Place(control, y, commercial);
    // "Conn. out" stays hidden here; the outlets show it on this line.
    for (TControl* control : {static_cast<TControl*>(CaptionConnOut), static_cast<TControl*>(ComboConnOut)}) {
        control->Top = y;
        control->Visible = false;
    }
    if (commercial) y += LineStep;
    // Lines 3 to 5 always.
    for (TControl* control : {static_cast<TControl*>(CaptionNote), static_cast<TControl*>(EditNote)})
        Place(control, y, true);
    y += LineStep;
    for (TControl* control : {static_cast<TControl*>(CaptionCodice), static_cast<TControl*>(EditCodice),
                              static_cast<TControl*>(CaptionArticolo), static_cast<TControl*>(EditArticolo),
                              static_cast<TControl*>(CaptionSerie), static_cast<TControl*>(EditSerie),
                              static_cast<TControl*>(CaptionMarca), static_cast<TControl*>(EditMarca)})
        Place(control, y, true);
    y += LineStep;
    for (TControl* control :
         {static_cast<TControl*>(CaptionDescrizione), static_cast<TControl*>(EditDescrizione),
          static_cast<TControl*>(CaptionPrezzo), static_cast<TControl*>(EditPrezzo),
          static_cast<TControl*>(ComboValuta), static_cast<TControl*>(CaptionInstallazione),
          static_cast<TControl*>(EditInstallazione)})
        Place(control, y, true);
    return y + 21 + 11;
}

void TDatiComponenti::ArrangeLayout() {
    Width = FormWidth;
    LabelNome->Visible = false;
    Caption = (Application ? Application->Title : AnsiString()) + " - Dati componenti" + ": " +
              LabelNome->Caption.Get();

    // Left column.
    int y = 8;
    auto stack = [&](TControl* section, bool shown, int height) {
        section->Visible = shown;
        if (!shown) return;
        section->SetBounds(ColumnLeft, y, section->Width, height);
        y += height + SectionGap;
    };
    // With module tabs the signal rows are the tabs' rows.
    MoveSignalRows(ShowModuleTabs ? static_cast<TWinControl*>(TabModuli) : GroupSegnali);
    const bool signals = ShowSignals != 0 && !ShowModuleTabs;
    stack(GroupSegnali, signals, signals ? LayoutSignals() : 0);
    stack(GroupStruttura, ShowStructure != 0, 52);
    if (ShowModuleTabs) {
        TabModuli->Tabs->Clear();
        TabModuli->Tabs->Add("Ampli Entrata");
        TabModuli->Tabs->Add("Ampli Uscita");
        TabModuli->Tabs->Add("Modulo 1");
    }
    stack(TabModuli, ShowModuleTabs != 0, 416);
    const int commercialTop = y;
    stack(GroupCommerciali, true, LayoutCommercial());
    stack(GroupAusiliari, ShowAuxArticles != 0, 87);
    int leftBottom = y - SectionGap;

    // Right column, below the header.
    int ry = Bottom(EditCategoria) + 8;
    auto side = [&](TControl* section, bool shown, int height) {
        section->Visible = shown;
        if (!shown) return;
        section->SetBounds(SideLeft, ry, section->Width, height);
        ry += height + SectionGap;
    };
    const bool electrical = ElectricalWord != 0 || CheckChiusuraDC->Visible ||
                            CheckAlimentaMontanti->Visible || CheckTrasferisce->Visible;
    const int electricalHeight = LayoutElectrical();
    side(GroupElettrici, electrical, electricalHeight);
    const bool positions = PositionsWord != 0 || CheckAmpliLinea->Visible || CheckTestaCalata->Visible;
    const int positionsHeight = LayoutPositions();
    side(GroupPosizioni, positions, positionsHeight);
    const int featuresHeight = LayoutFeatures();
    side(GroupCaratteristiche, OtherFeatures != 0, featuresHeight);

    // The library group stands beside the commercial data; when the right
    // column reaches lower, the groups from there on move down.
    GroupLibreria->SetBounds(SideLeft, commercialTop, GroupLibreria->Width, 87);
    GroupLibreria->Visible = true;
    const int shift = std::max(0, ry - commercialTop);
    if (shift > 0) {
        for (TControl* group :
             {static_cast<TControl*>(GroupLibreria), static_cast<TControl*>(GroupCommerciali),
              static_cast<TControl*>(GroupAusiliari)})
            group->Top = group->Top + shift;
        leftBottom += shift;
    }
    const int buttonsTop = std::max(leftBottom, Bottom(GroupLibreria)) + 8;
    ButtonAnnulla->SetBounds(607, buttonsTop, ButtonAnnulla->Width, ButtonAnnulla->Height);
    ButtonOk->SetBounds(607 + ButtonAnnulla->Width + 16, buttonsTop, ButtonOk->Width, ButtonOk->Height);

    // Size and place.
    ClientHeight = Bottom(ButtonOk) + 8;
    if (Screen && Screen->Height() < SmallScreen && Height >= TallForm) {
        GroupCommerciali->Top = GroupCommerciali->Top - 10;
        for (TControl* control :
             {static_cast<TControl*>(GroupAusiliari), static_cast<TControl*>(GroupLibreria),
              static_cast<TControl*>(ButtonOk), static_cast<TControl*>(ButtonAnnulla)})
            control->Top = control->Top - 20;
        Height = std::min(Height - 20, CappedHeight);
    }
    const TCustomForm* main = Application ? Application->MainForm() : nullptr;
    if (main && main != this) {
        if (Height > main->Height) {
            Height = main->Height - 5;
            Width = Width + 15;
            Top = main->Top;
        } else {
            Top = main->Top + (main->Height - Height) / 2;
        }
        Left = main->Left + (main->Width - Width) / 2;
    } else if (Screen) {
        Left = std::max(0, (Screen->Width() - Width) / 2);
        Top = std::max(0, (Screen->Height() - Height) / 2);
    }
}
