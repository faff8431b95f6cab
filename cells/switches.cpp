// Switches: construction, port model, the layout variants and their port
// names, numbering, mirroring, prototypes and old records.
#include "cells/switches.h"

#include <algorithm>

#include "cells/factory.h"
#include "cells/pass_links.h"
#include "cells/prototypes.h"
#include "cells/record.h"
#include "core/file.h"

namespace {
// Records of this version and later carry the port counts before the record.
constexpr int32_t VersionWithPortCounts = V20000;
// Records before this version describe every line with the first line's data.
constexpr int32_t VersionWithOwnLines = V50100;
// Records before this version carry band vectors that repeat values.
constexpr int32_t VersionWithRepeats = V40000;
// Records before this version write "no value" and "blocked" as small negative codes.
constexpr int32_t VersionWithNewSentinels = V50000;

// Columns of the old level rows of a switch: four losses, then the stage.
constexpr int32_t OldLevelColumns = 9;
constexpr int32_t StageColumns = 7;
}  // namespace

// ---- Construction ----

TSwitch::TSwitch(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                 int32_t code, int32_t inputs, int32_t tapOutputs)
    : TDerivatore(owner, orientation, mirrored, column, row, inputs, tapOutputs) {
    TypeCode = code;
    Kind = KindSwitch;
    UserOutputsShared = true;
    SetPortCounts();
    Attenuation->Alloc3(TableRows, TableColumns, BandSlots);
    Category = "Switch";
    SetSwitchPowerGroups();
}

TSwitch::~TSwitch() = default;

void TSwitch::SetSwitchPowerGroups() {
    for (int group : {PowerSupply, PowerFeeds}) {
        Power[group][PowerFlags] = PowerInputs | PowerThrough;
        Power[group][PowerInputMask] = AllBits;
        Power[group][PowerThroughMask] = AllBits;
        Power[group][PowerTapMask] = 0;
    }
    for (uint32_t& w : Power[PowerRefuses]) w = 0;
}

void TSwitch::ConvertOldFlags(const uint8_t (&f)[5]) {
    if (f[0]) Power[PowerSupply][PowerFlags] |= PowerExternal;
    if (f[1]) {
        Power[PowerSupply][PowerFlags] |= PowerTaps;
        Power[PowerSupply][PowerTapMask] = AllBits;
    }
    if (f[3]) Positions[0] &= ~PositionLine;
}

TSwitchN::TSwitchN(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                   int32_t code, int32_t inputs, int32_t tapOutputs)
    : TSwitch(owner, orientation, mirrored, column, row, code, inputs, tapOutputs) {
    ThroughOutputs = 0;
    SetPortCounts();
}

TSwitchN::~TSwitchN() = default;

// ---- Port model ----

void TSwitch::SetPortCounts() {
    const int32_t n = std::max<int32_t>(0, Inputs);
    const int32_t t = std::max<int32_t>(0, TapOutputs);
    NumInputs = HasMatrixInputs() ? n + t : n;
    NumThroughOutputs = std::clamp<int32_t>(ThroughOutputs, 0, n);
    NumTapOutputs = t;
    NumOutputs = NumThroughOutputs + t;
    TableRows = n;
    TableColumns = 5;
    MatrixColumns = t;
    MatrixDepth = 1;
}

// ---- Layout ----

void TSwitch::OutputSides(int32_t& left, int32_t& right) const {
    const int32_t t = NumTapOutputs;
    switch (Variant) {
    case 2:
    case 4:
        left = t;
        right = 0;
        return;
    case 3:
    case 5:
        left = 0;
        right = t;
        return;
    default: break;
    }
    if (Variant >= 10) {
        right = std::min<int32_t>(Variant - 10, t);
        left = t - right;
        return;
    }
    left = t / 2;
    right = t - left;
}

TCellLayout TSwitch::Layout() const {
    TCellLayout layout;
    const int32_t n = Lines();
    const int32_t t = NumTapOutputs;
    if (OnOneRow()) {
        // Inputs above, user outputs below, the shorter group centred.
        const int32_t width = std::max(n, t);
        layout.Width = std::max<int32_t>(1, width);
        layout.Height = 1;
        const int32_t inputsFrom = (width - n + 1) / 2, outputsFrom = (width - t + 1) / 2;
        for (int32_t i = 0; i < n; ++i)
            layout.Ports.push_back({TPortKind::Input, i, inputsFrom + i, 0, TSide::Top});
        for (int32_t k = 0; k < t; ++k)
            layout.Ports.push_back({TPortKind::Tap, k, outputsFrom + k, 0, TSide::Bottom});
        return layout;
    }
    int32_t left = 0, right = 0;
    OutputSides(left, right);
    const int32_t base = t < 3 ? 1 : t <= 4 ? 2 : (t + 1) / 2;
    layout.Width = std::max<int32_t>(1, n);
    layout.Height = std::max({left, right, base});
    const int32_t last = layout.Width - 1;
    for (int32_t i = 0; i < n; ++i) layout.Ports.push_back({TPortKind::Input, i, i, 0, TSide::Top});
    // A matrix input enters opposite the user output of its row.
    if (HasMatrixInputs() && (Variant == 4 || Variant == 5))
        for (int32_t k = 0; k < t; ++k)
            layout.Ports.push_back({TPortKind::MatrixInput, n + k, Variant == 4 ? last : 0, k,
                                    Variant == 4 ? TSide::Right : TSide::Left});
    if (Variant < 2) {
        // Right, left, right, ... downwards.
        for (int32_t k = 0; k < t; ++k)
            layout.Ports.push_back(
                {TPortKind::Tap, k, k % 2 == 0 ? last : 0, k / 2, k % 2 == 0 ? TSide::Right : TSide::Left});
    } else {
        for (int32_t r = 0; r < left; ++r) layout.Ports.push_back({TPortKind::Tap, r, 0, r, TSide::Left});
        for (int32_t r = 0; r < right; ++r)
            layout.Ports.push_back({TPortKind::Tap, left + r, last, r, TSide::Right});
    }
    for (int32_t k = 0; k < NumThroughOutputs; ++k)
        layout.Ports.push_back({TPortKind::Through, k, k, layout.Height - 1, TSide::Bottom});
    return layout;
}

TTapPortName TSwitch::NamePort(const TCellPort& port) const {
    TTapPortName name;
    switch (port.Kind) {
    case TPortKind::Input:
        name.Name = "ingresso " + IntToStr(port.Index + 1);
        name.Input = port.Index;
        break;
    case TPortKind::MatrixInput:
        name.Name = "ingresso matrice " + IntToStr(port.Index - Lines() + 1);
        name.Input = port.Index;
        break;
    case TPortKind::Through:
        name.Name = "passante " + IntToStr(port.Index + 1);
        name.ThroughOutput = port.Index;
        break;
    case TPortKind::Tap:
        // On one row every square below the inputs is a user output alike.
        name.Name = OnOneRow() ? AnsiString("derivate") : "derivata " + IntToStr(port.Index + 1);
        name.TapOutput = port.Index;
        break;
    }
    return name;
}

// ---- Texts and numbering ----

// Plain switches of code 10 keep their own prototypes; every other code
// shares those of the matrix code.
TCella* TSwitch::GetPrototype() const {
    return FindPrototype({TypeCode == CodeSwitch ? CodeSwitch : CodeSwitchMatrix, Inputs, TapOutputs});
}

TCella* TSwitchN::GetPrototype() const {
    return FindPrototype({TypeCode == CodeSwitchN ? CodeSwitchN : CodeSwitchNMatrix, Inputs, TapOutputs});
}

// ---- Turn and mirror ----

bool TSwitch::Mirror() {
    TCella::Mirror();
    if (NumTapOutputs % 2 == 0 || OnOneRow()) return true;
    // The flipped layout runs the other way from its anchor: the anchor goes
    // to the other end of the squares, which the cell keeps.
    const TCellRect r = GetGridRect();
    Mirrored = Mirrored ? 0 : 1;
    if (Orientation % 2 != 0)
        Row = Row == r.Top ? r.Bottom : r.Top;
    else
        Column = Column == r.Left ? r.Right : r.Left;
    return true;
}

// ---- Old records ----

void TSwitch::Load(TStream& stream, int32_t version) {
    const bool old = version < VersionWithPortCounts;
    if (old) Inputs = 1;
    TCella::Load(stream, version);
    if (old) {
        const int32_t outputs = ReadI32(stream);
        const int32_t inputs = ReadI32(stream);
        // Counts are checked before any table is made for them.
        if (outputs < 0 || outputs > MaxPortCount || inputs < 0 || inputs > MaxPortCount)
            throw EReadError("Numero di ingressi o di uscite dello switch non valido");
        // Row 0 as read, the five columns of the one line of the old record.
        TBandVector row0[5];
        for (int32_t c = 0; c < 5; ++c)
            for (int32_t b = 0; b < BandSlots; ++b) row0[c].v[b] = Attenuation->Get3(0, c, b);
        TapOutputs = outputs;
        Inputs = inputs;
        // Every switch is made with a through output per line, and that is
        // what a saved record reads back as: an old record must agree.
        if (TypeCode == CodeSwitch || TypeCode == CodeSwitchMatrix) ThroughOutputs = inputs;
        SetPortCounts();
        Attenuation->Alloc3(TableRows, TableColumns, BandSlots);
        if (TableRows > 0)
            for (int32_t c = 0; c < 5; ++c)
                for (int32_t b = 0; b < BandSlots; ++b) Attenuation->Set3(0, c, b, row0[c].v[b]);
    }
    if (version < VersionWithOwnLines) {
        // Every line as the first.
        for (TInfo* table : {Attenuation.get(), LevelTableA.get()}) {
            if (table->Rank() != 3 || !table->Block3(0)) continue;
            for (int32_t i = 1; i < table->Size2(); ++i) table->CopyBlock3(i, 0);
        }
    }
    SetPortCounts();
}

void TSwitch::LoadLevelTables(TStream& stream, int32_t version) {
    // The base reader fills a one-row table of nine columns in Attenuation's place.
    auto own = std::move(Attenuation);
    const int32_t rows = TableRows, columns = TableColumns;
    Attenuation = std::make_unique<TInfo>(3);
    TableRows = 1;
    TableColumns = OldLevelColumns;
    Attenuation->Alloc3(1, OldLevelColumns, BandSlots);
    try {
        TCella::LoadLevelTables(stream, version);
    } catch (...) {
        Attenuation = std::move(own);
        TableRows = rows;
        TableColumns = columns;
        throw;
    }
    auto old = std::move(Attenuation);
    Attenuation = std::move(own);
    TableRows = rows;
    TableColumns = columns;
    if (TableRows < 1) return;
    TBandVector columnsOld[OldLevelColumns];
    for (int32_t c = 0; c < OldLevelColumns; ++c)
        for (int32_t b = 0; b < BandSlots; ++b) {
            const float v = old->Get3(0, c, b);
            // Old codes for "no value" and "blocked" in every column, the stage's too.
            columnsOld[c].v[b] = version < VersionWithNewSentinels ? ConvertOldSentinel(v) : v;
        }
    for (int32_t c = 0; c < 4; ++c)
        for (int32_t b = 0; b < BandSlots; ++b) Attenuation->Set3(0, c, b, columnsOld[c].v[b]);
    bool stage = false;
    for (int32_t c = 4; c < OldLevelColumns; ++c)
        for (float x : columnsOld[c].v) stage = stage || (x != LevelNone && x != LevelBlocked);
    if (!stage) return;
    if (version < VersionWithRepeats)
        for (int32_t c : {4, 8}) {
            TBandVector normalised;
            NormaliseBandLevels(columnsOld[c].v, normalised.v);
            columnsOld[c] = normalised;
        }
    // The stage columns 2 to 6 (gain regulation to maximum output level).
    static constexpr int32_t withThrough[5] = {4, 8, 5, 6, 7};
    static constexpr int32_t withoutThrough[5] = {6, 8, 7, 5, 4};
    const int32_t* from = NumThroughOutputs > 0 ? withThrough : withoutThrough;
    LevelTableA->SetSizes(0, TableRows, StageColumns, BandSlots);
    for (int32_t c = 0; c < 5; ++c)
        for (int32_t b = 0; b < BandSlots; ++b) LevelTableA->Set3(0, 2 + c, b, columnsOld[from[c]].v[b]);
}
