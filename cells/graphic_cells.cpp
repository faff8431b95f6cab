// Graphic cells: construction, their place on the grid, numbering, the
// dish's data and record, the price-list entry's record, and the satellite
// receiver that starts a line.
#include "cells/graphic_cells.h"

#include "cells/cables.h"
#include "cells/drawing.h"
#include "cells/mouse_info.h"
#include "cells/passives.h"
#include "cells/prototypes.h"
#include "cells/record.h"
#include "core/file.h"
#include "cells/component_data.h"
#include "cells/cell_grid.h"

namespace {
// The dish's four values came with version 20000; before 50000 small
// negative numbers stood for the sentinels.
constexpr int32_t VersionWithDishData = V20000;
constexpr int32_t VersionWithSeries = V40000;
constexpr int32_t VersionWithSentinels = V50000;
// A price-list entry keeps shorter notes than a cell.
constexpr int32_t PriceListNotesSize = 30;
const char* const DishFormat = "#0.##";

int32_t OldInstallMinutes(int32_t minutes) {
    return minutes > -100 && minutes < 0 ? minutes - 500000 : minutes;
}
}  // namespace

// ---- The base of the graphic cells ----

TCellaGrafica::TCellaGrafica(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column,
                             int32_t row, int32_t typeCode, int32_t kind)
    : TCella(owner, orientation, mirrored, column, row, 0, 0, 0) {
    TypeCode = typeCode;
    Kind = kind;
    SetPortCounts();
}

TCellaGrafica::~TCellaGrafica() = default;

void TCellaGrafica::Paint(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    DrawSymbol(canvas, column, row, x, y, zoom);
    if (!canvas || DetailLevel() <= 1) return;
    const TCellRect r = GetGridRect();
    if (column != r.Left || row != r.Top) return;
    canvas->Brush->Style = bsSolid;
    DrawLabel(canvas, x, y, zoom, GetShortCode(), Described ? CellCodeColour : GraphicUndescribedColour);
}

void TCellaGrafica::SetPortCounts() {
    TCella::SetPortCounts();
    TableRows = 0;
    TableColumns = 0;
}

bool TCellaGrafica::PlaceOnGrid(const TNextCell&, TQNextCell&) { return true; }
bool TCellaGrafica::CheckData(const AnsiString&) { return true; }
bool TCellaGrafica::NeedsNoDescription() const { return true; }
void TCellaGrafica::ComputeRequiredLevels(TBandLimits, TBandLimits, uint32_t) {}
void TCellaGrafica::SpreadStamp(uint32_t) {}
void TCellaGrafica::ComputeSignalLevels(uint32_t) {}
void TCellaGrafica::WalkDownstream(TListaCanali*, int32_t, uint32_t) {}
void TCellaGrafica::ComputeChannels(int32_t, int32_t, uint32_t) {}
void TCellaGrafica::PushSeparation(int32_t, int32_t, float) {}
void TCellaGrafica::WriteAttenuationTable(TRichEdit*, int32_t, const AnsiString&) {}
void TCellaGrafica::GetPortLevelText(TRichEdit*) {}
void TCellaGrafica::GetPortName(TInfoMousePos& position) { SetPortUnder(position, nullptr, AnsiString()); }
bool TCellaGrafica::TakesPartInAnalysis() const { return false; }

TCellDescription TCellaGrafica::Symbol(const char* typeName, const char* letters, int counter) {
    TCellDescription d = NamedWithForm(typeName, letters, counter);
    d.Sheet.PortRows = 0;
    return d;
}

// ---- Earth ----

TTerra::TTerra(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row)
    : TCellaGrafica(owner, orientation, mirrored, column, row, CodeEarth, CodeEarth) {
    Described = 1;
}

TTerra::~TTerra() = default;

void TTerra::Paint(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    DrawSymbol(canvas, column, row, x, y, zoom);
}

bool TTerra::IsEstimateItem() const { return false; }

TCellDescription TTerra::Describe() const {
    TCellDescription d;
    d.Roles = RoleEarth;
    return d;
}

// ---- Power-supply block ----

TAlimentatoreSF::TAlimentatoreSF(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column,
                                 int32_t row)
    : TCellaGrafica(owner, orientation, mirrored, column, row, CodeAlimentatoreSF, CodeAlimentatore) {
    Category = "Alimentatori";
}

TAlimentatoreSF::~TAlimentatoreSF() = default;

void TAlimentatoreSF::ConvertOldFlags(const uint8_t (&)[5]) { MoveOldSupplyCurrent(*this); }

// A supply is a block of modules wherever head ends are drawn, the designer's
// work grids included: a layout that changed when the cell joined its grid
// would leave squares behind that no longer know their cell.
bool TAlimentatoreSF::IsBlock() const { return !Owner || Owner->Kind != GridNetwork; }

TCellLayout TAlimentatoreSF::Layout() const {
    TCellLayout layout;
    if (IsBlock()) {
        // Variant is a byte: the width stays far below any overflow.
        layout.Width = 3 * static_cast<int32_t>(Variant) + 3;
        layout.Height = 5;
    }
    return layout;
}

TCellDescription TAlimentatoreSF::Describe() const {
    return Symbol("Alimentatore ", "Al", PowerSupplyCounter);
}

TCella* TAlimentatoreSF::GetPrototype() const { return FindPrototype({CodeAlimentatoreSF}); }

// ---- Dish ----

TParabola::TParabola(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row)
    : TCellaGrafica(owner, orientation, mirrored, column, row, CodeParabola, CodeParabola) {
    Category = "Parabole";
}

TParabola::~TParabola() = default;

TCellDescription TParabola::Describe() const {
    TCellDescription d = Symbol("Parabola ", "Pa", DishCounter);
    d.Sheet.AntennaKind[0] = 1;
    return d;
}

TCellRect TParabola::GetGridRect() const { return TCellRect{Row, Column, Row + 2, Column + 1}; }

TCella* TParabola::GetPrototype() const { return FindPrototype({CodeParabola}); }

bool TParabola::Mirror() {
    TCella::Mirror();
    Mirrored = Mirrored ? 0 : 1;
    return true;
}

bool TParabola::Rotate(int32_t) { return false; }

void TParabola::Assign(TCella* target) {
    TCella::Assign(target);
    if (auto* dish = dynamic_cast<TParabola*>(target); dish && dish != this) {
        dish->Diameter = Diameter;
        dish->AssignWind(*this);
    }
}

void TParabola::Save(TStream& stream, int32_t version) {
    TCella::Save(stream, version);
    // On file the speed comes before the area.
    WriteF32(stream, Diameter);
    WriteWind(stream);
}

void TParabola::Load(TStream& stream, int32_t version) {
    TCella::Load(stream, version);
    if (version < VersionWithDishData) return;
    Diameter = ReadF32(stream);
    ReadWind(stream);
    if (version < VersionWithSentinels) {
        Diameter = ConvertOldSentinel(Diameter);
        ConvertOldWindSentinels();
    }
}

void TParabola::FillDataDialogDefault(TDatiComponenti* dialog) {
    TCella::FillDataDialogDefault(dialog);
    dialog->EditDiametro->Text = FormatLevel(Diameter, DishFormat);
    FillWindBoxes(dialog, TBoxes::AreaThrustSpeed);
}

void TParabola::ReadDataDialogDefault(TDatiComponenti* dialog) {
    TCella::ReadDataDialogDefault(dialog);
    Diameter = ParseLevel(dialog->EditDiametro->Text);
    // The dish's boxes take the level signs as well.
    ReadWindBoxes(dialog, TBoxes::AreaThrustSpeed, ParseLevel);
}

// ---- Satellite receiver ----

TRicevitoreSat::TRicevitoreSat(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column,
                               int32_t row)
    : TCellaGrafica(owner, orientation, mirrored, column, row, CodeRicevitoreSat, CodeRicevitoreSat) {
    Inputs = 1;
    ThroughOutputs = 1;
    SetPortCounts();
    Category = "Ricevitori Sat";
}

TRicevitoreSat::~TRicevitoreSat() = default;

void TRicevitoreSat::SetPortCounts() {
    TCellaGrafica::SetPortCounts();
    NumInputs = 1;
    NumThroughOutputs = 1;
    NumTapOutputs = 0;
    NumOutputs = 1;
}

// Its squares and ports stand upright whatever its turn, as its captions do.
TCellRect TRicevitoreSat::GetGridRect() const { return TCellRect{Row, Column, Row + 4, Column + 2}; }

TCellDescription TRicevitoreSat::Describe() const {
    return Symbol("Ricevitore Sat ", "Rs", SatReceiverCounter);
}

TCella* TRicevitoreSat::GetPrototype() const { return FindPrototype({CodeRicevitoreSat}); }

bool TRicevitoreSat::IsSignalStart() const { return true; }

void TRicevitoreSat::ComputeChannels(int32_t, int32_t, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetChannelLists();
}

namespace {
// The cable segment standing on a square, with whether it shares the square
// with another cell; none when the square holds no cable.
const TNCavo* CableOn(const TCellGrid* grid, int32_t column, int32_t row, bool& shared) {
    const TCella* cell = grid ? grid->CellAt(column, row) : nullptr;
    if (!cell || cell->TypeCode != CodeCable) return nullptr;
    shared = cell->Overlay != nullptr;
    return dynamic_cast<const TNCavo*>(cell);
}
}  // namespace

// A straight piece (bend flag clear) of orientation 0 runs up and down; the
// bends of orientation 1 and 2 reach up, those of 0 and 3 down.
bool TRicevitoreSat::CableTakesOutput(int32_t column, int32_t row) const {
    bool shared = false;
    const TNCavo* cable = CableOn(Owner, column, row, shared);
    if (!cable) return false;
    if (shared) return true;
    return cable->Bend ? cable->Orientation == 1 || cable->Orientation == 2 : cable->Orientation == 0;
}

bool TRicevitoreSat::CableFeedsInput(int32_t column, int32_t row) const {
    bool shared = false;
    const TNCavo* cable = CableOn(Owner, column, row, shared);
    if (!cable) return false;
    if (shared) return true;
    return cable->Bend ? cable->Orientation == 0 || cable->Orientation == 3 : cable->Orientation == 0;
}

bool TRicevitoreSat::PlaceOnGrid(const TNextCell&, TQNextCell& queue) {
    if (!Owner) return true;
    for (int32_t c = Column; c <= Column + 2; ++c)
        for (int32_t r = Row; r <= Row + 4; ++r)
            if (TSquareAnalysis* square = Owner->AnalysisAt(c, r)) square->Visited = 1;
    const int32_t middle = Column + 1;
    if (Owner->Inside(middle, Row - 1) && CableFeedsInput(middle, Row - 1))
        MarkGridCell(middle, Row, Transform().Undo(TSide::Top), 0, 0);
    if (Owner->Inside(middle, Row + 5) && CableTakesOutput(middle, Row + 5))
        LinkPortAt(middle, Row + 4, 0, Transform().Undo(TSide::Bottom), 0, 0, queue);
    return true;
}

// ---- Price-list entry ----

TElementoListino::TElementoListino(TCellGrid* owner)
    : TCellaGrafica(owner, 0, 0, 0, 0, CodeElementoListino, CodeElementoListino) {}

TElementoListino::~TElementoListino() = default;

void TElementoListino::Save(TStream& stream, int32_t) {
    WriteI32(stream, TypeCode);
    WriteI32(stream, Inputs);
    WriteI32(stream, ThroughOutputs);
    WriteI32(stream, TapOutputs);
    chunked::WriteString(stream, Code, CodeSize);
    chunked::WriteString(stream, Article, ArticleSize);
    chunked::WriteString(stream, Notes, PriceListNotesSize);
    chunked::WriteString(stream, Series, SeriesSize);
    chunked::WriteString(stream, Description, DescriptionSize);
    WriteU8(stream, Currency);
    chunked::WriteString(stream, Brand, BrandSize);
    WriteF32(stream, Price);
    WriteI32(stream, InstallMinutes);
}

void TElementoListino::Load(TStream& stream, int32_t version) {
    Code = chunked::ReadString(stream, CodeSize);
    Article = chunked::ReadString(stream, ArticleSize);
    Notes = chunked::ReadString(stream, PriceListNotesSize);
    if (version >= VersionWithSeries) Series = chunked::ReadString(stream, SeriesSize);
    Description = chunked::ReadString(stream, DescriptionSize);
    Currency = ReadU8(stream);
    Brand = chunked::ReadString(stream, BrandSize);
    Price = ReadF32(stream);
    InstallMinutes = ReadI32(stream);
    if (version < VersionWithSentinels) {
        Price = ConvertOldSentinel(Price);
        InstallMinutes = OldInstallMinutes(InstallMinutes);
    }
}
