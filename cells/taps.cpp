// Taps: construction, port model, the layout over several squares and its
// placement for the grid analysis, port names, numbering and old records.
#include "cells/taps.h"

#include <algorithm>

#include "cells/factory.h"
#include "cells/prototypes.h"
#include "cells/separation_log.h"
#include "cells/splitters.h"
#include "core/file.h"
#include "cells/cell_grid.h"

namespace {
// Records of this version and later carry the port counts before the record.
constexpr int32_t VersionWithPortCounts = V20000;
// Power comes in and goes on through the lines and is refused from the user outputs.
constexpr TPowerGroups TapPowerGroups{PowerInputs | PowerThrough, PowerInputs | PowerThrough, PowerTaps};

}  // namespace

// ---- Construction ----

TDerivatore::TDerivatore(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                         int32_t inputs, int32_t tapOutputs)
    : TCella(owner, orientation, mirrored, column, row, inputs, inputs, tapOutputs) {
    TypeCode = CodeDerivatore;
    Kind = KindTap;
    SetPortCounts();
    Attenuation->Alloc3(TableRows, TableColumns, BandSlots);
    Category = "Derivatori";
    SetPowerGroups(TapPowerGroups);
}

TDerivatore::~TDerivatore() = default;

TDerivatoreS::TDerivatoreS(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column,
                           int32_t row, int32_t inputs, int32_t tapOutputs)
    : TDerivatore(owner, orientation, mirrored, column, row, inputs, tapOutputs) {
    TypeCode = CodeDerivatoreS;
    Kind = KindTap;
    SetPortCounts();
    Attenuation->Alloc3(TableRows, TableColumns, BandSlots);
    SetPowerGroups(TapPowerGroups);
}

TDerivatoreS::~TDerivatoreS() = default;

TDerivatoreN::TDerivatoreN(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column,
                           int32_t row, int32_t inputs, int32_t tapOutputs)
    : TDerivatore(owner, orientation, mirrored, column, row, inputs, tapOutputs) {
    TypeCode = CodeDerivatoreN;
    ThroughOutputs = 0;
    SetPortCounts();
}

TDerivatoreN::~TDerivatoreN() = default;

// ---- Port model ----

void TDerivatore::SetPortCounts() {
    const int32_t n = std::max<int32_t>(0, Inputs);
    const int32_t t = std::max<int32_t>(0, TapOutputs);
    NumInputs = n;
    // Through output i carries line i: never more of them than lines.
    NumThroughOutputs = std::clamp<int32_t>(ThroughOutputs, 0, n);
    NumTapOutputs = t * n;
    NumOutputs = NumThroughOutputs + NumTapOutputs;
    TableRows = n;
    TableColumns = 4;
    MatrixColumns = t;
    MatrixDepth = 1;
}

// ---- Layout ----

TCellLayout TDerivatore::Layout() const {
    TCellLayout layout;
    const int32_t n = NumInputs;
    const int32_t t = OutputsPerLine();
    if (n < 1) return layout;
    // Lines side by side; the user outputs of the lines interleave row by
    // row, an empty row between each group of n rows; with one line its user
    // outputs take two to a row.
    const int32_t pairs = (t + 1) / 2;
    layout.Width = n;
    layout.Height = n == 1 ? (t - 1) / 2 + 1 : (n + 1) * pairs - 1;
    layout.Height = std::max<int32_t>(1, layout.Height);
    for (int32_t i = 0; i < n; ++i) layout.Ports.push_back({TPortKind::Input, i, i, 0, TSide::Top});
    for (int32_t g = 0; g < pairs; ++g)
        for (int32_t i = 0; i < n; ++i)
            for (int32_t j = 2 * g; j < std::min(t, 2 * g + 2); ++j) {
                const int32_t y = n == 1 ? g : g * (n + 1) + i;
                const bool right = j % 2 == 0;
                layout.Ports.push_back(
                    {TPortKind::Tap, i * t + j, right ? n - 1 : 0, y, right ? TSide::Right : TSide::Left});
            }
    if (TypeCode != CodeDerivatoreN)
        for (int32_t k = 0; k < NumThroughOutputs; ++k)
            layout.Ports.push_back({TPortKind::Through, k, k, layout.Height - 1, TSide::Bottom});
    return layout;
}

uint8_t TDerivatore::TapLinesNeedTermination() const { return TypeCode == CodeDerivatoreS ? 1 : 0; }

bool TDerivatore::PlaceOnGrid(const TNextCell&, TQNextCell& queue) {
    const TCellLayout layout = Layout();
    OccupyLayout(layout);
    // A line leaving a tap's through output must end in a termination.
    PlacePorts(layout, TLineEnds{1, TapLinesNeedTermination(), 0}, queue);
    return true;
}

TTapPortName TDerivatore::NamePort(const TCellPort& port) const {
    TTapPortName name;
    const bool numbered = NumInputs > 1;
    switch (port.Kind) {
    case TPortKind::Input:
    case TPortKind::MatrixInput:
        name.Name = numbered ? "ingresso " + IntToStr(port.Index + 1) : AnsiString("ingresso");
        name.Input = port.Index;
        break;
    case TPortKind::Through:
        name.Name = numbered ? "passante " + IntToStr(port.Index + 1) : AnsiString("passante");
        name.ThroughOutput = port.Index;
        break;
    case TPortKind::Tap:
        name.Name = "derivata " + IntToStr(port.Index + 1);
        name.TapOutput = port.Index;
        break;
    }
    return name;
}

// ---- Texts and numbering ----

TCellDescription TDerivatore::Describe() const { return DescribeLines("Derivatore ", "R", TapCounter); }

// Each class keeps its prototypes under its own code, so one lookup serves the
// taps, their variants and the splitters.
TCella* TDerivatore::GetPrototype() const { return FindPrototype({TypeCode, Inputs, TapOutputs}); }

// ---- Old records ----

void TDerivatore::Load(TStream& stream, int32_t version) {
    const bool old = version < VersionWithPortCounts;
    if (old) {
        // An old record is a one-line tap (or splitter) ...
        Inputs = 1;
        // The end-of-line tap has no through output, whatever the file says:
        // one would not survive the next save and load.
        if (TypeCode != CodeDivisore && TypeCode != CodeDerivatoreN) ThroughOutputs = 1;
    }
    TCella::Load(stream, version);
    if (old) {
        // ... followed by its number of user outputs.
        const int32_t outputs = ReadI32(stream);
        if (outputs < 0 || outputs > MaxPortCount)
            throw EReadError(TypeCode == CodeDivisore ? "Numero di uscite del divisore non valido"
                                                      : "Numero di uscite del derivatore non valido");
        TapOutputs = outputs;
        SetPortCounts();
    }
}

// ---- Separation accumulators ----

void TDerivatore::MakeSeparationArrays() {
    auto make = [](std::vector<std::array<float, BandSlots>>& table, int32_t ports) {
        if (static_cast<int32_t>(table.size()) == ports) return;
        std::array<float, BandSlots> none;
        none.fill(LevelNone);
        table.assign(static_cast<size_t>(std::max<int32_t>(0, ports)), none);
        // A copy of the network that points into the rows must be made again.
        separation_log::CellsChanged();
    };
    make(InputSeparation, NumInputs);
    make(ThroughSeparation, NumThroughOutputs);
}

void TDerivatore::ClearBandAccumulators(int32_t band) {
    TCella::ClearBandAccumulators(band);
    if (band < 0 || band >= BandSlots) return;
    EnsureSeparationArrays();
    for (auto& entry : InputSeparation) entry[static_cast<size_t>(band)] = LevelNone;
    for (auto& entry : ThroughSeparation) entry[static_cast<size_t>(band)] = LevelNone;
}

// ---- Turn and mirror ----

bool TDerivatore::Mirror() {
    TCella::Mirror();
    if (TapOutputs % 2 != 0) Mirrored = Mirrored ? 0 : 1;
    return true;
}

// ---- Designer ----

bool TDerivatore::IsModelUsable(bool needsBand5, bool needsBand9) const {
    if (needsBand5 && Attenuation->Get3(0, TapLossColumn, 5) < 0.0f) return false;
    if (needsBand9 && Attenuation->Get3(0, TapLossColumn, 9) < 0.0f) return false;
    return true;
}
