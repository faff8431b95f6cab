// Antennas and satellite converters: construction, port model, layout and
// placement, port names, numbering, prototypes, records with every older
// form, copying, band systems and mirroring.
#include "cells/sources.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "cells/amplifiers.h"
#include "cells/mouse_info.h"
#include "cells/prototypes.h"
#include "cells/record.h"
#include "core/band_systems.h"
#include "core/channel_plans.h"
#include "core/file.h"
#include "core/globals.h"
#include "cells/cell_grid.h"
#include "platform/codec.h"

namespace {

constexpr int32_t VersionWithPortCounts = V20000;
constexpr int32_t LastVersionTerrestrialModulation = V40000;
constexpr int32_t VersionWithNewSentinels = V50000;
constexpr int32_t VersionWithQuadFlag = V60000;

// The first Characteristics bit "LNB Quad".
constexpr uint32_t QuadLnb = 4;

// Older records kept their channel count in column 5 / slot 0 of a row (and a
// converter output its band mode in slot 1).
constexpr int32_t OldCountColumn = 5;
constexpr int32_t OldCountSlot = 0;
constexpr int32_t OldModeSlot = 1;
constexpr int32_t OldVectors10000 = 6;
constexpr int32_t OldVectors = 10;
constexpr int32_t OldVectorValues = 10;

// Old channel records: an antenna's name, label and level; a converter's
// name, edges, band, label, level and floor.
constexpr int OldAntennaNameBytes = 8;
constexpr int OldLabelBytes = 21;
constexpr int OldAntennaChannelBytes = OldAntennaNameBytes + OldLabelBytes + 4;
constexpr int OldSatNameBytes = 20;
constexpr int OldSatChannelBytes = OldSatNameBytes + 4 + 4 + 4 + OldLabelBytes + 4 + 4;

AnsiString ReadOldText(TStream& s, int bytes) {
    std::string raw(static_cast<size_t>(bytes), '\0');
    s.ReadBuffer(raw.data(), bytes);
    raw.resize(std::strlen(raw.c_str()));
    return Win1252ToUtf8(raw);
}

// The count of old channels stored as a float: refused unless it is a whole
// number of records the rest of the stream can hold.
int32_t OldChannelCount(TStream& s, float stored, int recordBytes) {
    const int64_t remaining = s.Size() - s.Position();
    if (!(stored >= 0.0f) || std::floor(stored) != stored ||
        static_cast<double>(stored) * recordBytes > remaining)
        throw EReadError("Numero di canali del componente non valido");
    return static_cast<int32_t>(stored);
}

int32_t BandOfChannel(const TCanale& c) {
    return SistemaBandeCorrente ? SistemaBandeCorrente->BandOf(c.CentreFrequency()) : -1;
}

float OldValue(float v, int32_t version) {
    return version < VersionWithNewSentinels ? ConvertOldSentinel(v) : v;
}

void ReplaceList(const TListaCanali& source, std::unique_ptr<TListaCanali>& target) {
    if (!target) target = std::make_unique<TListaCanali>();
    TListaCanali::AddAll(source, *target);
}

}  // namespace

// ---- The antenna ----

TAntenna::TAntenna(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row)
    : TCella(owner, orientation, mirrored, column, row, 0, 1, 0) {
    TypeCode = CodeAntenna;
    Kind = KindAntenna;
    SetPortCounts();
    Attenuation->Alloc3(TableRows, TableColumns, BandSlots);
    Category = "Antenne";
}

TAntenna::~TAntenna() = default;

void TAntenna::SetPortCounts() {
    NumInputs = 0;
    NumTapOutputs = 0;
    NumThroughOutputs = 1;
    NumOutputs = 1;
    TableRows = 1;
    TableColumns = 6;
    MatrixColumns = 0;
}

TCellLayout TAntenna::Layout() const {
    TCellLayout layout;
    layout.Ports.push_back({TPortKind::Through, 0, 0, 0, TSide::Bottom});
    return layout;
}

bool TAntenna::PlaceOnGrid(const TNextCell&, TQNextCell& queue) {
    const TCellLayout layout = Layout();
    OccupyLayout(layout);
    PlacePorts(layout, TLineEnds{}, queue);
    return true;
}

void TAntenna::GetPortName(TInfoMousePos& position) {
    position.Input = position.TapOutput = -1;
    position.ThroughOutput = 0;
    position.PortName = "uscita";
}

TCella* TAntenna::GetPrototype() const { return FindPrototype({TypeCode, 0, 0, 0}); }

bool TAntenna::IsSignalStart() const { return true; }

bool TAntenna::Rotate(int32_t) { return false; }

void TAntenna::SetBandSystem(TSistemaBande* system) { BandSystem = system; }

void TAntenna::Assign(TCella* target) {
    TCella::Assign(target);
    auto* antenna = dynamic_cast<TAntenna*>(target);
    if (!antenna || antenna == this) return;
    antenna->Shape = Shape;
    antenna->AssignWind(*this);
    ReplaceList(*SourceChannels, antenna->SourceChannels);
}

void TAntenna::Save(TStream& stream, int32_t version) {
    TCella::Save(stream, version);
    WriteU8(stream, Shape);
    WriteWind(stream);
    SourceChannels->Write(stream, version);
}

void TAntenna::Load(TStream& stream, int32_t version) {
    TCella::Load(stream, version);
    SourceChannels->Clear();
    if (version < VersionWithPortCounts) {
        // The channels followed the base record, their count in the table.
        const int32_t n = OldChannelCount(stream, Attenuation->Get3(0, OldCountColumn, OldCountSlot),
                                          OldAntennaChannelBytes);
        Attenuation->Set3(0, OldCountColumn, OldCountSlot, LevelNone);
        for (int32_t i = 0; i < n; ++i) {
            TCanale c;
            c.name = ReadOldText(stream, OldAntennaNameBytes);
            c.label = ReadOldText(stream, OldLabelBytes);
            c.levelMin = OldValue(ReadF32(stream), version);
            if (CanalizzazioneItalia) {
                const int row = CanalizzazioneItalia->IndexOf(c.name);
                if (row >= 0) CanalizzazioneItalia->SetChannel(c, row);
            }
            c.polarization = PolarizationHorizontal;
            c.signalType = SignalAnalog;
            c.band = BandOfChannel(c);
            SourceChannels->Insert(c);
        }
    } else {
        Shape = ReadU8(stream);
        ReadWind(stream);
        if (version < VersionWithNewSentinels) ConvertOldWindSentinels();
        SourceChannels->Read(stream, version);
    }
    for (TCanale* c = SourceChannels->head; c; c = c->next) {
        if (version <= LastVersionTerrestrialModulation) c->modulation = ModulationFMAM;
        c->levelMin = OldValue(c->levelMin, version);
    }
}

// ---- The satellite converter ----

TSat::TSat(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
           int32_t outputs)
    : TCella(owner, orientation, mirrored, column, row, 0, outputs, 0) {
    TypeCode = CodeSat;
    Kind = KindSat;
    UseSatBands.fill(1);
    OutputByte.fill(255);
    OutputValue.fill(LevelNone);
    for (auto& list : OutputChannels) list = std::make_unique<TListaCanali>();
    SetPortCounts();
    Attenuation->Alloc3(TableRows, TableColumns, BandSlots);
    Category = "Convertitori LNB";
    Characteristics[0] |= QuadLnb;
}

TSat::~TSat() = default;

void TSat::SetPortCounts() {
    NumInputs = 0;
    NumTapOutputs = 0;
    // The per-output arrays hold SatMaxOutputs outputs.
    NumThroughOutputs = std::clamp<int32_t>(ThroughOutputs, 0, SatMaxOutputs);
    NumOutputs = NumThroughOutputs;
    TableRows = NumThroughOutputs;
    TableColumns = 6;
    MatrixColumns = 0;
}

// A strip of at least three squares; one output stands in the middle, two
// on the first two squares.
TCellLayout TSat::Layout() const {
    TCellLayout layout;
    const int32_t m = NumThroughOutputs;
    layout.Width = std::max<int32_t>(m, 3);
    for (int32_t k = 0; k < m; ++k)
        layout.Ports.push_back({TPortKind::Through, k, m == 1 ? 1 : k, 0, TSide::Bottom});
    return layout;
}

bool TSat::PlaceOnGrid(const TNextCell&, TQNextCell& queue) {
    const TCellLayout layout = Layout();
    OccupyLayout(layout);
    PlacePorts(layout, TLineEnds{}, queue);
    return true;
}

void TSat::GetPortName(TInfoMousePos& position) {
    position.Input = position.TapOutput = position.ThroughOutput = -1;
    position.PortName = AnsiString();
    const TCellLayout layout = Layout();
    if (const TCellPort* port = PortUnder(layout, position)) {
        position.ThroughOutput = port->Index;
        position.PortName = "uscita " + IntToStr(port->Index + 1);
    }
}

TCella* TSat::GetPrototype() const { return FindPrototype({TypeCode, NumThroughOutputs, 0, 0}); }

bool TSat::IsSignalStart() const { return true; }

bool TSat::CheckData(const AnsiString&) { return true; }

bool TSat::Rotate(int32_t) { return false; }

void TSat::SetBandSystem(TSistemaBande* system) {
    if (BandSystem && system && BandSystem != system)
        for (int32_t r = 0; r < TableRows; ++r)
            for (int32_t k : {SatLevelColumn, SatCarrierNoiseColumn}) {
                float v[BandSlots];
                for (int32_t b = 0; b < BandSlots; ++b) v[b] = Attenuation->Get3(r, k, b);
                BandSystem->LevelsByBand(*system, v);
                for (int32_t b = 0; b < BandSlots; ++b) Attenuation->Set3(r, k, b, v[b]);
            }
    BandSystem = system;
}

void TSat::Assign(TCella* target) {
    TCella::Assign(target);
    auto* sat = dynamic_cast<TSat*>(target);
    if (!sat || sat == this) return;
    sat->SatValue1 = SatValue1;
    sat->AssignWind(*this);
    sat->SatValue4 = SatValue4;
    sat->UseSatBands = UseSatBands;
    sat->OutputByte = OutputByte;
    sat->OutputValue = OutputValue;
    for (int32_t o = 0; o < SatMaxOutputs; ++o) ReplaceList(*OutputChannels[o], sat->OutputChannels[o]);
}

bool TSat::Mirror() {
    TCella::Mirror();
    const int32_t m = NumThroughOutputs;
    if (Orientation % 2 == 0 && m >= 2) {
        ReverseRows(*Attenuation, m);
        std::reverse(OutputChannels.begin(), OutputChannels.begin() + m);
        std::reverse(UseSatBands.begin(), UseSatBands.begin() + m);
    }
    return true;
}

void TSat::Save(TStream& stream, int32_t version) {
    TCella::Save(stream, version);
    WriteF32(stream, SatValue1);
    WriteF32(stream, WindThrust);
    WriteF32(stream, SatValue4);
    WriteF32(stream, WindArea);
    for (int32_t o = 0; o < NumThroughOutputs; ++o) {
        WriteU8(stream, OutputByte[o]);
        WriteF32(stream, OutputValue[o]);
        WriteU8(stream, UseSatBands[o]);
        OutputChannels[o]->Write(stream, version);
    }
}

void TSat::Load(TStream& stream, int32_t version) {
    const bool old = version < VersionWithPortCounts;
    if (old) {
        ThroughOutputs = 1;
    } else if (ThroughOutputs < 1 || ThroughOutputs > SatMaxOutputs) {
        throw EReadError("Numero di uscite del convertitore non valido");
    }
    TCella::Load(stream, version);
    if (old) {
        LoadOldChannels(stream, version);
    } else {
        SatValue1 = ReadF32(stream);
        WindThrust = ReadF32(stream);
        SatValue4 = ReadF32(stream);
        WindArea = ReadF32(stream);
        for (int32_t o = 0; o < NumThroughOutputs; ++o) {
            OutputByte[o] = ReadU8(stream);
            OutputValue[o] = ReadF32(stream);
            UseSatBands[o] = ReadU8(stream);
            OutputChannels[o]->Read(stream, version);
        }
    }
    if (version < VersionWithNewSentinels) {
        for (float* v : {&SatValue1, &WindThrust, &SatValue4, &WindArea}) *v = ConvertOldSentinel(*v);
        for (int32_t o = 0; o < NumThroughOutputs; ++o) OutputValue[o] = ConvertOldSentinel(OutputValue[o]);
    }
    if (version < VersionWithQuadFlag) {
        bool all = true;
        for (int32_t o = 0; o < NumThroughOutputs; ++o) all = all && UseSatBands[o] != 0;
        if (all)
            Characteristics[0] |= QuadLnb;
        else
            Characteristics[0] &= ~QuadLnb;
    }
}

// Records before the port counts: one output read with the base record, then
// the output count, the further rows, and per output its old channels.
void TSat::LoadOldChannels(TStream& stream, int32_t version) {
    const int32_t outputs = ReadI32(stream);
    if (outputs < 1 || outputs > SatMaxOutputs)
        throw EReadError("Numero di uscite del convertitore non valido");
    float first[6][BandSlots];
    for (int32_t k = 0; k < 6; ++k)
        for (int32_t b = 0; b < BandSlots; ++b) first[k][b] = Attenuation->Get3(0, k, b);
    ThroughOutputs = outputs;
    SetPortCounts();
    Attenuation->Init(0, TableRows, TableColumns, BandSlots);
    Attenuation->Allocate();
    for (int32_t k = 0; k < 6; ++k)
        for (int32_t b = 0; b < BandSlots; ++b) Attenuation->Set3(0, k, b, first[k][b]);

    // The further rows as the level rows of old records, but their count
    // and band mode are read as stored, before the rows are converted into
    // the present bands.
    std::array<float, SatMaxOutputs> counts{}, modes{};
    counts[0] = first[OldCountColumn][OldCountSlot];
    modes[0] = first[OldCountColumn][OldModeSlot];
    const int64_t start = stream.Position();
    const int vectors = version == V10000 ? OldVectors10000 : OldVectors;
    for (int32_t r = 1; r < outputs; ++r)
        for (int k = 0; k < vectors; ++k)
            for (int v = 0; v < OldVectorValues; ++v) {
                const float value = ReadF32(stream);
                if (k == OldCountColumn && v == OldCountSlot) counts[r] = value;
                if (k == OldCountColumn && v == OldModeSlot) modes[r] = value;
            }
    stream.Seek(start, soFromBeginning);
    LoadLevelRows(*this, stream, version);
    for (int32_t r = 1; r < outputs; ++r) {
        Attenuation->Set3(r, SatGainColumn, SatGainSlot, Attenuation->Get3(r, SatGainColumn, FirstSatSlot));
        Attenuation->Set3(r, SatGainColumn, FirstSatSlot, LevelNone);
    }

    for (int32_t o = 0; o < outputs; ++o) {
        const int32_t n = OldChannelCount(stream, counts[o], OldSatChannelBytes);
        UseSatBands[o] = modes[o] != 0.0f ? 1 : 0;
        Attenuation->Set3(o, OldCountColumn, OldCountSlot, LevelNone);
        Attenuation->Set3(o, OldCountColumn, OldModeSlot, LevelNone);
        OutputChannels[o]->Clear();
        for (int32_t i = 0; i < n; ++i) {
            TCanale c;
            c.name = ReadOldText(stream, OldSatNameBytes);
            c.freqLow = OldValue(ReadF32(stream), version);
            c.freqHigh = OldValue(ReadF32(stream), version);
            ReadI32(stream);  // the band of an old band system
            c.label = ReadOldText(stream, OldLabelBytes);
            c.levelMin = OldValue(ReadF32(stream), version);
            c.floorMin = OldValue(ReadF32(stream), version);
            c.polarization = PolarizationHorizontal;
            c.signalType = SignalDigital;
            c.modulation = ModulationQPSK;
            c.band = BandOfChannel(c);
            OutputChannels[o]->Insert(c);
        }
    }
}
