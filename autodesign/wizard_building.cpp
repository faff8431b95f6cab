// TAutoProgetto: the building page, its sketch and its fields.
#include <algorithm>
#include <string>

#include "autodesign/wizard.h"

namespace {

constexpr int SketchColumnWidth = 24;
constexpr int SketchRowHeight = 18;
constexpr TColor DistanceColour = clGreen;
constexpr TColor BuildingColour = static_cast<TColor>(0x0000FF);
constexpr TColor StaircaseColour = static_cast<TColor>(0x00FFFF);
constexpr TColor HeaderCellColour = static_cast<TColor>(0xFFFF00);
constexpr TColor SelectedApartmentColour = static_cast<TColor>(0xAFFFFF);
constexpr TColor ApartmentColour = static_cast<TColor>(0xFFFFFF);
constexpr TColor NoApartmentColour = static_cast<TColor>(0xC0C0C0);
// The satellite layout of radial single outlets, offered only with a radial distribution.
constexpr int LayoutSingleOutlets = 7;

// A distance in whole metres; the building's cables stay within 1 km.
constexpr int LongestDistance = 1000;

struct TRowDef {
    const char* Caption;
    int Min, Max;  // Max -1: a distance, up to LongestDistance
    bool Distance;
};
// clang-format off
const TRowDef Rows[BuildingRows] = {
    {"Numero scale", 1, 4, false},
    {"Numero piani", 1, 12, false},
    {"Distanza centrale - testa scala (m.)", 0, -1, true},
    {"Distanza testa scala - ultimo piano (m.)", 0, -1, true},
    {"Distanza tra piani (m.)", 0, -1, true},
    {"Appartamenti per piano", 0, 6, false},
    {"Distanza scala - appartamenti (m.)", 0, -1, true},
    {"Distanza tra prese (m.)", 0, -1, true},
    {"Prese terrestri per appartamento", 1, 15, false},
    {"Disposizione prese terrestri", 0, 0, false},
    {"Prese Sat per appartamento", 1, 15, false},
    {"Disposizione prese Sat", 0, 0, false},
};
// clang-format on
const char* const FeederCaptions[FeederFields] = {"Distanza antenne - centrale (m.)",
                                                  "Distanza LNB - centrale (m.)"};

bool IsLayoutRow(int row) { return row == RowTerrLayout || row == RowSatLayout; }

void BoldLabel(TLabel* label, const AnsiString& caption) {
    label->AutoSize = false;
    label->Transparent = true;
    label->Caption = caption;
    label->Font->Name = "Arial";
    label->Font->Height = -13;
    label->Font->Style = TFontStyles{fsBold};
}

// What a row's field holds: a whole number in the row's range.
TNumberRule RowRule(const TRowDef& row) {
    return TNumberRule::Whole(row.Min, row.Max < 0 ? LongestDistance : row.Max, row.Distance ? "m" : "");
}

AnsiString LayoutText(int32_t layout) { return layout == 0 ? AnsiString("*") : std::to_string(layout) + "l"; }

}  // namespace

void TAutoProgetto::BuildBuildingPage() {
    TPanel* page = Pages[WizardBuildingPage];
    BuildingGrid = MakeControl<TDrawGrid>(this, page, 8, 40, 369, 393);
    BuildingGrid->FixedCols = 0;
    BuildingGrid->FixedRows = 0;
    BuildingGrid->GridLineWidth = 0;
    BuildingGrid->DefaultColWidth = SketchColumnWidth;
    BuildingGrid->DefaultRowHeight = SketchRowHeight;
    BuildingGrid->Options = TGridOptions{};
    BuildingGrid->OnDrawCell = Handler(this, &TAutoProgetto::PaintBuildingPreview);
    BuildingGrid->OnSelectCell = Handler(this, &TAutoProgetto::BuildingGridSelectCell);

    BuildingGroup = MakeControl<TGroupBox>(this, page, 384, 32, 401, 401);
    for (int k = 0; k < BuildingRows; ++k) {
        BuildingLabel[k] = MakeControl<TLabel>(this, BuildingGroup, 16, 20 + 32 * k, 268, 16);
        BoldLabel(BuildingLabel[k], Rows[k].Caption);
        if (Rows[k].Distance) BuildingLabel[k]->Font->Color = DistanceColour;
        BuildingEdit[k] = nullptr;
        BuildingUpDown[k] = nullptr;
        if (IsLayoutRow(k)) {
            const int side = k == RowTerrLayout ? 0 : 1;
            LayoutPicker[side] = MakeControl<TComboBox>(this, BuildingGroup, 304, 16 + 32 * k, 89, 21);
            FillLayoutPicker(side);
            LayoutPicker[side]->OnChange = Handler(this, &TAutoProgetto::LayoutPickerChange);
            LayoutPicker[side]->OnExit = Handler(this, &TAutoProgetto::LayoutPickerExit);
            continue;
        }
        BuildingEdit[k] = MakeControl<TEdit>(this, BuildingGroup, 304, 16 + 32 * k, 73, 21);
        BuildingUpDown[k] = MakeControl<TUpDown>(this, BuildingGroup, 377, 16 + 32 * k, 15, 21);
        BuildingUpDown[k]->Associate = BuildingEdit[k];
        BuildingEdit[k]->Holds(RowRule(Rows[k]), Rows[k].Caption);
        // The arrows step within the same range.
        BuildingUpDown[k]->Min = static_cast<int>(RowRule(Rows[k]).Least());
        BuildingUpDown[k]->Max = static_cast<int>(RowRule(Rows[k]).Greatest());
        BuildingEdit[k]->OnChange = k == RowStaircases ? Handler(this, &TAutoProgetto::StaircaseCountChange)
                                                       : Handler(this, &TAutoProgetto::BuildingFieldChange);
    }
    for (int k = 0; k < FeederFields; ++k) {
        FeederLabel[k] = MakeControl<TLabel>(this, page, 400, 444 + 32 * k, 268, 16);
        BoldLabel(FeederLabel[k], FeederCaptions[k]);
        FeederLabel[k]->Font->Color = DistanceColour;
        FeederEdit[k] = MakeControl<TEdit>(this, page, 688, 440 + 32 * k, 73, 21);
        FeederUpDown[k] = MakeControl<TUpDown>(this, page, 761, 440 + 32 * k, 15, 21);
        FeederUpDown[k]->Associate = FeederEdit[k];
        FeederEdit[k]->Holds(TNumberRule::Whole(0, LongestDistance, "m"), FeederCaptions[k]);
        FeederUpDown[k]->Max = LongestDistance;
        FeederEdit[k]->OnChange = Handler(this, &TAutoProgetto::FeederDistanceChange);
    }
}

void TAutoProgetto::FillLayoutPicker(int k) {
    TComboBox* picker = LayoutPicker[k];
    const bool wasBusy = Busy;
    Busy = true;
    const AnsiString text = picker->Text;
    picker->Items->Clear();
    picker->Items->Add("Stella");
    for (int n = 1; n <= 6; ++n) picker->Items->Add(std::to_string(n) + (n == 1 ? " linea" : " linee"));
    const TOpzProgetto& o = Opz();
    if (k == 1 && o.Satellite && o.SatelliteCables >= 2 && o.Radial) picker->Items->Add("Prese singole");
    picker->ItemIndex = picker->Items->IndexOf(text);
    Busy = wasBusy;
}

int TAutoProgetto::LayoutOf(int k) const { return LayoutPicker[k]->Items->IndexOf(LayoutPicker[k]->Text); }

TSketchCell TAutoProgetto::SketchCellToBuilding(int column, int row) const {
    TSketchCell cell;
    const TPalazzo& b = *Opz().Building;
    for (int32_t s = 0; s < b.StaircaseCount && s < MaxStaircases; ++s)
        if (b.Staircases[s].LastColumn >= column) {
            cell.Staircase = s;
            break;
        }
    if (cell.Staircase < 0) return cell;
    cell.Floor = row >= 3 ? b.MostFloors + 2 - row : row - 3;
    cell.Apartment = column - b.Staircases[cell.Staircase].FirstColumn - 1;
    return cell;
}

void TAutoProgetto::EnableBuildingRow(int row, bool on) {
    BuildingLabel[row]->Enabled = on;
    if (BuildingEdit[row]) BuildingEdit[row]->Enabled = on;
    if (BuildingUpDown[row]) BuildingUpDown[row]->Enabled = on;
    if (row == RowTerrLayout) LayoutPicker[0]->Enabled = on;
    if (row == RowSatLayout) LayoutPicker[1]->Enabled = on;
}

void TAutoProgetto::EnableOutletRows() {
    const TOpzProgetto& o = Opz();
    const bool joint = o.Terrestrial && o.Satellite && !o.SeparateDistributions;
    const bool ter = o.Terrestrial && (!o.Satellite || o.SeparateDistributions || o.SatelliteCables < 2);
    const bool sat = o.Satellite && (!o.Terrestrial || o.SeparateDistributions || o.SatelliteCables >= 2);
    EnableBuildingRow(RowTerrOutlets, ter);
    EnableBuildingRow(RowTerrLayout, ter);
    EnableBuildingRow(RowSatOutlets, sat);
    EnableBuildingRow(RowSatLayout, sat);
    BuildingLabel[RowTerrOutlets]->Caption =
        ter && joint ? "Prese per appartamento" : Rows[RowTerrOutlets].Caption;
    BuildingLabel[RowTerrLayout]->Caption = ter && joint ? "Disposizione prese" : Rows[RowTerrLayout].Caption;
    BuildingLabel[RowSatOutlets]->Caption =
        sat && joint ? "Prese per appartamento" : Rows[RowSatOutlets].Caption;
    BuildingLabel[RowSatLayout]->Caption = sat && joint ? "Disposizione prese" : Rows[RowSatLayout].Caption;
    FeederLabel[0]->Enabled = FeederEdit[0]->Enabled = FeederUpDown[0]->Enabled = o.Terrestrial;
    FeederLabel[1]->Enabled = FeederEdit[1]->Enabled = FeederUpDown[1]->Enabled = o.Satellite;
}

void TAutoProgetto::BuildingGridSelectCell(TObject*, int ACol, int ARow, bool& CanSelect) {
    TPalazzo& b = *Opz().Building;
    b.ComputeMaxima();
    const TSketchCell cell = SketchCellToBuilding(ACol, ARow);
    CanSelect = false;
    if (cell.Staircase < 0) return;
    b.AllSelected = cell.Floor == -3;
    b.SelectedStaircase = b.AllSelected ? -1 : cell.Staircase;
    b.SelectedFloor = b.AllSelected ? -1 : cell.Floor;
    b.SelectedApartment = b.AllSelected ? -1 : cell.Apartment;
    const bool floors = b.AllSelected || (cell.Staircase >= 0 && cell.Floor < -1);
    EnableBuildingRow(RowStaircases, b.AllSelected);
    for (int row : {RowFloors, RowTopFloorDistance, RowFloorSpacing}) EnableBuildingRow(row, floors);
    // A staircase's row leaves the apartment count off: its floors may differ.
    EnableBuildingRow(RowApartments, b.AllSelected || (cell.Floor >= 0 && cell.Apartment < 0));
    for (int row : {RowHeadEndDistance, RowApartmentDistance, RowOutletSpacing}) EnableBuildingRow(row, true);
    EnableOutletRows();
    LoadBuildingControls();
    BuildingGrid->Invalidate();
}

void TAutoProgetto::RefreshBuildingGrid() {
    TPalazzo& b = *Opz().Building;
    b.ComputeMaxima();
    const int32_t last =
        b.StaircaseCount > 0 ? b.Staircases[std::min(b.StaircaseCount, MaxStaircases) - 1].LastColumn : 0;
    BuildingGrid->RowCount = b.MostFloors + 3;
    BuildingGrid->ColCount = last + 1;
    BuildingGrid->Invalidate();
}

void TAutoProgetto::LoadBuildingControls() {
    const bool wasBusy = Busy;
    Busy = true;
    const TOpzProgetto& o = Opz();
    const TPalazzo& b = *o.Building;
    auto show = [](TEdit* edit, int32_t value) {
        edit->Text = value < 0 ? AnsiString() : std::to_string(value);
    };
    const int32_t values[BuildingRows] = {
        b.GetStaircaseCount(), b.GetFloorCount(),     b.GetHeadEndDistance(),   b.GetTopFloorDistance(),
        b.GetFloorSpacing(),   b.GetApartmentCount(), b.GetApartmentDistance(), b.GetOutletSpacing(),
        b.GetTerrOutlets(),    b.GetTerrLayout(),     b.GetSatOutlets(),        b.GetSatLayout()};
    for (int k = 0; k < BuildingRows; ++k)
        if (BuildingEdit[k]) show(BuildingEdit[k], values[k]);
    for (int side = 0; side < 2; ++side) {
        FillLayoutPicker(side);
        const int32_t layout = values[side == 0 ? RowTerrLayout : RowSatLayout];
        LayoutPicker[side]->ItemIndex = layout < LayoutPicker[side]->Items->Count() ? layout : -1;
        previousLayout_[side] = layout;
    }
    show(FeederEdit[0], o.AntennaHeadEndDistance);
    show(FeederEdit[1], o.LnbHeadEndDistance);
    Busy = wasBusy;
}

void TAutoProgetto::StaircaseCountChange(TObject* Sender) { BuildingFieldChange(Sender); }

void TAutoProgetto::BuildingFieldChange(TObject* Sender) {
    if (Busy) return;
    int row = -1;
    for (int k = 0; k < BuildingRows; ++k)
        if (BuildingEdit[k] == Sender) row = k;
    if (row < 0) return;
    // A text the field does not take changes nothing: leaving the field
    // refuses it and puts back the value before (or nothing, where the
    // selected parts differ).
    double typed = 0;
    const TEdit* edit = BuildingEdit[row];
    if (Trim(edit->Text).empty() || !edit->HeldRule().Accepts(edit->Text, &typed)) return;
    MarkDesign();
    TPalazzo& b = *Opz().Building;
    const int value = static_cast<int>(typed);
    switch (row) {
    case RowStaircases:
        for (int32_t s = b.StaircaseCount; s < value; ++s)
            TPalazzo::CopyStaircase(b.Staircases[s], b.Staircases[s - 1]);
        b.StaircaseCount = value;
        break;
    case RowFloors: b.SetFloorCount(value); break;
    case RowHeadEndDistance: b.SetHeadEndDistance(value); break;
    case RowTopFloorDistance: b.SetTopFloorDistance(value); break;
    case RowFloorSpacing: b.SetFloorSpacing(value); break;
    case RowApartments: b.SetApartmentCount(value); break;
    case RowApartmentDistance: b.SetApartmentDistance(value); break;
    case RowOutletSpacing: b.SetOutletSpacing(value); break;
    case RowTerrOutlets: b.SetTerrOutlets(value); break;
    case RowSatOutlets: b.SetSatOutlets(value); break;
    default: break;
    }
    RefreshBuildingGrid();
}

void TAutoProgetto::FeederDistanceChange(TObject* Sender) {
    if (Busy) return;
    const int k = Sender == FeederEdit[0] ? 0 : Sender == FeederEdit[1] ? 1 : -1;
    if (k < 0) return;
    double typed = 0;
    const TEdit* edit = FeederEdit[k];
    if (Trim(edit->Text).empty() || !edit->HeldRule().Accepts(edit->Text, &typed)) return;
    MarkDesign();
    TOpzProgetto& o = Opz();
    (k == 0 ? o.AntennaHeadEndDistance : o.LnbHeadEndDistance) = static_cast<int32_t>(typed);
}

void TAutoProgetto::LayoutPickerChange(TObject* Sender) {
    if (Busy) return;
    const int k = Sender == LayoutPicker[0] ? 0 : Sender == LayoutPicker[1] ? 1 : -1;
    if (k < 0) return;
    const int layout = LayoutOf(k);
    // Text that names no layout (typing under way, or a wrong one) stores
    // nothing: the designer would take it as a line count.
    if (layout < 0) return;
    MarkDesign();
    TPalazzo& b = *Opz().Building;
    if (k == 0)
        b.SetTerrLayout(layout);
    else
        b.SetSatLayout(layout);
    previousLayout_[k] = layout;
    RefreshBuildingGrid();
}

void TAutoProgetto::LayoutPickerExit(TObject* Sender) {
    const int k = Sender == LayoutPicker[0] ? 0 : Sender == LayoutPicker[1] ? 1 : -1;
    if (k < 0 || LayoutOf(k) >= 0) return;
    const bool wasBusy = Busy;
    Busy = true;
    LayoutPicker[k]->ItemIndex =
        previousLayout_[k] < LayoutPicker[k]->Items->Count() ? previousLayout_[k] : -1;
    Busy = wasBusy;
}

void TAutoProgetto::PaintBuildingPreview(TObject*, int ACol, int ARow, TRect Rect, TGridDrawState) {
    const TOpzProgetto& o = Opz();
    const TPalazzo& b = *o.Building;
    const TSketchCell cell = SketchCellToBuilding(ACol, ARow);
    if (cell.Staircase < 0) return;
    const TScala& st = b.Staircases[cell.Staircase];
    TCanvas* c = BuildingGrid->Canvas;
    c->Pen->Color = clBlack;
    c->Pen->Width = 1;
    c->Font->Name = "Arial";
    const int w = BuildingGrid->DefaultColWidth;
    // Fills r, draws its right and bottom edges (and the left one when asked).
    auto box = [&](const TRect& r, TColor colour, bool left) {
        c->Brush->Color = colour;
        c->FillRect(r);
        c->MoveTo(r.Right - 1, r.Top);
        c->LineTo(r.Right - 1, r.Bottom - 1);
        c->LineTo(r.Left - 1, r.Bottom - 1);
        if (left) {
            c->MoveTo(r.Left, r.Bottom - 1);
            c->LineTo(r.Left, r.Top - 1);
        }
    };
    // Bold and centred; a text wider than its box (the building over one
    // staircase of one apartment) takes a smaller size, down to 9 pixels.
    auto header = [&](const TRect& r, const AnsiString& text) {
        c->Font->Style = TFontStyles{fsBold};
        for (int height = 13; height >= 9; --height) {
            c->Font->Height = -height;
            if (c->TextWidth(text) <= r.Right - r.Left - 2) break;
        }
        c->TextOut(r.Left + (r.Right - r.Left - c->TextWidth(text)) / 2, r.Top, text);
    };
    if (cell.Floor == -3) {
        const TRect r{Rect.Left - ACol * w, Rect.Top, Rect.Left - ACol * w + w * BuildingGrid->ColCount,
                      Rect.Bottom};
        box(r, BuildingColour, false);
        header(r, "Edificio");
        return;
    }
    if (cell.Floor == -2) {
        const int left = Rect.Left - (ACol - st.FirstColumn) * w;
        const TRect r{left, Rect.Top, left + (st.MaxApartments + 1) * w, Rect.Bottom};
        box(r, StaircaseColour, cell.Staircase > 0);
        header(r, "Scala " + std::to_string(cell.Staircase + 1));
        return;
    }
    if (cell.Floor == -1 || cell.Apartment < 0) {
        box(Rect, HeaderCellColour, cell.Apartment < 0 && cell.Staircase > 0);
        const int32_t n = cell.Floor == -1 ? cell.Apartment : (cell.Floor < st.FloorCount ? cell.Floor : -1);
        if (n >= 0) header(Rect, std::to_string(n + 1));
        return;
    }
    if (cell.Floor < st.FloorCount && cell.Apartment < st.Floors[cell.Floor].ApartmentCount) {
        const TAppartamento& a = st.Floors[cell.Floor].Apartments[cell.Apartment];
        const bool selected = b.IsApartmentSelected(cell.Staircase, cell.Floor, cell.Apartment);
        box(Rect, selected ? SelectedApartmentColour : ApartmentColour, false);
        AnsiString text;
        if (o.Terrestrial && o.Satellite && o.SeparateDistributions)
            text = std::to_string(a.TerrOutlets) + "-" + std::to_string(a.SatOutlets);
        else if (o.Terrestrial && (!o.Satellite || o.SatelliteCables < 2))
            text = std::to_string(a.TerrOutlets) + "-" + LayoutText(a.TerrLayout);
        else
            text = std::to_string(a.SatOutlets) + "-" + LayoutText(a.SatLayout);
        c->Font->Height = -11;
        c->Font->Style = TFontStyles{};
        c->TextOut(Rect.Left + 2, Rect.Top, text);
        return;
    }
    box(Rect, NoApartmentColour, false);
}
