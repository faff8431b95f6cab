// Taps: construction, port model, the layout over several squares and its
// placement for the grid analysis, port names, numbering and old records.
#include "cells/taps.h"

#include <algorithm>

#include "app/grid.h"
#include "cells/factory.h"
#include "cells/prototypes.h"
#include "cells/splitters.h"
#include "core/file.h"

namespace {
// Records of this version and later carry the port counts before the record.
constexpr int32_t VersionWithPortCounts = 20000;

// Grid-analysis side of an output edge (LinkPortAt) and of an input edge (MarkGridCell).
int32_t LinkSide(TTapEdge edge) {
    switch (edge) {
    case TTapEdge::Right: return 3;
    case TTapEdge::Left: return 1;
    case TTapEdge::Top: return 2;
    default: return 0;
    }
}

// The side a link arrives across to reach an input at the edge: a link
// entering at the top runs downwards (side 0), at the left edge rightwards.
int32_t InputSide(TTapEdge edge) {
    switch (edge) {
    case TTapEdge::Left: return 3;
    case TTapEdge::Right: return 1;
    case TTapEdge::Bottom: return 2;
    default: return 0;
    }
}
}  // namespace

// ---- Construction ----

TDerivatore::TDerivatore(TGridData* owner, int32_t orientation, int32_t mirrored, int32_t column,
                         int32_t row, int32_t inputs, int32_t tapOutputs)
    : TCella(owner, orientation, mirrored, column, row, inputs, inputs, tapOutputs) {
    TypeCode = CodeDerivatore;
    Kind = KindTap;
    SetPortCounts();
    Attenuation->Alloc3(TableRows, TableColumns, BandSlots);
    Category = "Derivatori";
    SetTapPowerGroups();
}

TDerivatore::~TDerivatore() = default;

void TDerivatore::SetTapPowerGroups() {
    Power[PowerSupply][0] = 3;
    Power[PowerSupply][1] = AllBits;
    Power[PowerSupply][2] = AllBits;
    Power[PowerSupply][3] = 0;
    Power[PowerFeeds][0] = 3;
    Power[PowerFeeds][1] = AllBits;
    Power[PowerFeeds][2] = AllBits;
    Power[PowerFeeds][3] = 0;
    Power[PowerRefuses][0] = 4;
    Power[PowerRefuses][1] = 0;
    Power[PowerRefuses][2] = 0;
    Power[PowerRefuses][3] = AllBits;
}

TDerivatoreS::TDerivatoreS(TGridData* owner, int32_t orientation, int32_t mirrored, int32_t column,
                           int32_t row, int32_t inputs, int32_t tapOutputs)
    : TDerivatore(owner, orientation, mirrored, column, row, inputs, tapOutputs) {
    TypeCode = CodeDerivatoreS;
    Kind = KindTap;
    SetPortCounts();
    Attenuation->Alloc3(TableRows, TableColumns, BandSlots);
    SetTapPowerGroups();
}

TDerivatoreS::~TDerivatoreS() = default;

TDerivatoreN::TDerivatoreN(TGridData* owner, int32_t orientation, int32_t mirrored, int32_t column,
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
    MatrixWord3 = 0;
    MatrixWord4 = -1;
}

// ---- Layout ----

TTapLayout TDerivatore::Layout() const {
    TTapLayout layout;
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
    for (int32_t i = 0; i < n; ++i) layout.Ports.push_back({TTapPortKind::Input, i, i, 0, TTapEdge::Top});
    for (int32_t g = 0; g < pairs; ++g)
        for (int32_t i = 0; i < n; ++i)
            for (int32_t j = 2 * g; j < std::min(t, 2 * g + 2); ++j) {
                const int32_t y = n == 1 ? g : g * (n + 1) + i;
                const bool right = j % 2 == 0;
                layout.Ports.push_back({TTapPortKind::Tap, i * t + j, right ? n - 1 : 0, y,
                                        right ? TTapEdge::Right : TTapEdge::Left});
            }
    if (TypeCode != CodeDerivatoreN)
        for (int32_t k = 0; k < NumThroughOutputs; ++k)
            layout.Ports.push_back({TTapPortKind::Through, k, k, layout.Height - 1, TTapEdge::Bottom});
    return layout;
}

// The layout turns and mirrors as the port links and the symbol do (mirror
// first, then the turn), the mapping the base cell places its squares with,
// so that every port of a turned cell faces out of its own squares.
void TDerivatore::LayoutToGrid(int32_t& column, int32_t& row, int32_t x, int32_t y) const {
    GridToLocal(column, row, Column + x, Row + y);
}

TCellRect TDerivatore::GetGridRect() {
    const TTapLayout layout = Layout();
    int32_t c0 = 0, r0 = 0, c1 = 0, r1 = 0;
    LayoutToGrid(c0, r0, 0, 0);
    LayoutToGrid(c1, r1, layout.Width - 1, layout.Height - 1);
    return TCellRect{std::min(r0, r1), std::min(c0, c1), std::max(r0, r1), std::max(c0, c1)};
}

uint8_t TDerivatore::TapLinesNeedTermination() const { return TypeCode == CodeDerivatoreS ? 1 : 0; }

bool TDerivatore::PlaceOnGrid(const TNextCell&, TQNextCell& queue) {
    const TTapLayout layout = Layout();
    for (int32_t x = 0; x < layout.Width; ++x)
        for (int32_t y = 0; y < layout.Height; ++y) {
            int32_t c = 0, r = 0;
            LayoutToGrid(c, r, x, y);
            if (Owner)
                if (TSquareAnalysis* square = Owner->AnalysisAt(c, r)) square->Visited = 1;
        }
    for (const TTapPort& port : layout.Ports) {
        int32_t c = 0, r = 0;
        LayoutToGrid(c, r, port.X, port.Y);
        switch (port.Kind) {
        case TTapPortKind::Input:
        case TTapPortKind::MatrixInput:
            MarkGridCell(c, r, InputSide(port.Edge), port.Index, 0);
            break;
        case TTapPortKind::Through:
            // A line leaving a tap must end in a termination.
            LinkPortAt(c, r, port.Index, LinkSide(port.Edge), 1, 0, queue);
            break;
        case TTapPortKind::Tap:
            LinkPortAt(c, r, NumThroughOutputs + port.Index, LinkSide(port.Edge),
                       TapLinesNeedTermination(), 0, queue);
            break;
        }
    }
    return true;
}

const TTapPort* TDerivatore::PortNear(const TTapLayout& layout, int32_t x, int32_t y, int32_t px,
                                      int32_t py, int32_t size) const {
    const TTapPort* nearest = nullptr;
    int64_t best = 0;
    for (const TTapPort& port : layout.Ports) {
        if (port.X != x || port.Y != y) continue;
        // Distance to the middle of the port's edge.
        int64_t ex = size / 2, ey = size / 2;
        switch (port.Edge) {
        case TTapEdge::Top: ey = 0; break;
        case TTapEdge::Right: ex = size; break;
        case TTapEdge::Bottom: ey = size; break;
        case TTapEdge::Left: ex = 0; break;
        }
        const int64_t d = (px - ex) * (px - ex) + (py - ey) * (py - ey);
        if (!nearest || d < best) {
            nearest = &port;
            best = d;
        }
    }
    return nearest;
}

TTapPortName TDerivatore::NamePort(const TTapPort& port) const {
    TTapPortName name;
    const bool numbered = NumInputs > 1;
    switch (port.Kind) {
    case TTapPortKind::Input:
    case TTapPortKind::MatrixInput:
        name.Name = numbered ? "ingresso " + IntToStr(port.Index + 1) : AnsiString("ingresso");
        name.Input = port.Index;
        break;
    case TTapPortKind::Through:
        name.Name = numbered ? "passante " + IntToStr(port.Index + 1) : AnsiString("passante");
        name.ThroughOutput = port.Index;
        break;
    case TTapPortKind::Tap:
        name.Name = "derivata " + IntToStr(port.Index + 1);
        name.TapOutput = port.Index;
        break;
    }
    return name;
}

// ---- Texts and numbering ----

AnsiString TDerivatore::GetShortCode() { return ShortCodeWith("R"); }

AnsiString TDerivatore::GetTypeName() { return "Derivatore "; }

void TDerivatore::TakeSequenceNumber(int32_t* counters) { TakeFromCounter(counters, TapCounter); }

// Each class keeps its prototypes under its own code, so one lookup serves the
// taps, their variants and the splitters.
TCella* TDerivatore::GetPrototype() { return FindPrototype({TypeCode, Inputs, TapOutputs}); }

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

bool TDerivatore::IsModelUsable(bool needsBand5, bool needsBand9) {
    if (needsBand5 && Attenuation->Get3(0, TapLossColumn, 5) < 0.0f) return false;
    if (needsBand9 && Attenuation->Get3(0, TapLossColumn, 9) < 0.0f) return false;
    return true;
}
