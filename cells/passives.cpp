// In-line passives: construction, power data, numbering, the power supply's
// layout, and the inductance that carries everything straight through.
#include "cells/passives.h"

#include <algorithm>

#include "cells/mouse_info.h"
#include "cells/pass_links.h"
#include "cells/prototypes.h"
#include "cells/record.h"
#include "cells/cell_grid.h"

namespace {
constexpr TPassiveIdentity SeparatorIdentity{"Sp", SeparatorCounter, "Separatore "};
constexpr TPassiveIdentity InserterIdentity{"I", InserterCounter, "Inseritore "};
constexpr TPassiveIdentity PowerSupplyIdentity{"Al", PowerSupplyCounter, "Alimentatore "};
constexpr TPassiveIdentity AttenuatorIdentity{"Q", AttenuatorCounter, "Attenuatore "};
constexpr TPassiveIdentity EqualizerIdentity{"E", EqualizerCounter, "Equalizzatore "};

// The one line of the form: line 1, the through attenuation.
constexpr int32_t ThroughLineOnly = 0x800002;
// Lines 1 and 3: the through attenuation and the decoupling.
constexpr int32_t ThroughAndDecouplingLines = 0x80000a;
}  // namespace

// ---- The shared part ----

TPassivo::TPassivo(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                   int32_t throughOutputs, int32_t typeCode, const char* category,
                   const TPassiveIdentity& identity)
    : TCella(owner, orientation, mirrored, column, row, 1, throughOutputs, 0), Identity(identity) {
    TypeCode = typeCode;
    Kind = typeCode;
    SetPortCounts();
    Attenuation->Alloc3(TableRows, TableColumns, BandSlots);
    Category = category;
}

TPassivo::~TPassivo() = default;

TCellDescription TPassivo::Describe() const {
    TCellDescription d = NamedWithForm(Identity.TypeName, Identity.Letters, Identity.Counter);
    d.Sheet.RowCaptions[1] = "Atten. di passaggio  [dB]";
    d.Sheet.PortRows = ThroughLineOnly;
    return d;
}

TCella* TPassivo::GetPrototype() const { return FindPrototype({TypeCode}); }

// ---- The classes ----

TSeparatoreCC::TSeparatoreCC(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column,
                             int32_t row)
    : TPassivo(owner, orientation, mirrored, column, row, 1, CodeSeparatoreCC, "Separatori",
               SeparatorIdentity) {
    // It takes no supply and hands none on.
    for (uint32_t& word : Power[PowerSupply]) word = 0;
    Power[PowerFeeds][PowerFlags] = 0;
    Power[PowerFeeds][PowerInputMask] = 0;
    Power[PowerFeeds][PowerTapMask] = 0;
}

TSeparatoreCC::~TSeparatoreCC() = default;

TInseritore::TInseritore(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row)
    : TPassivo(owner, orientation, mirrored, column, row, 1, CodeInseritore, "Inseritori", InserterIdentity) {
    Power[PowerSupply][PowerFlags] |= PowerExternal;
}

TInseritore::~TInseritore() = default;

TAlimentatore::TAlimentatore(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column,
                             int32_t row, int32_t throughOutputs)
    : TPassivo(owner, orientation, mirrored, column, row, throughOutputs, CodeAlimentatore, "Alimentatori",
               PowerSupplyIdentity) {
    Power[PowerSupply][PowerFlags] |= PowerInternal;
}

TAlimentatore::~TAlimentatore() = default;

void TAlimentatore::ConvertOldFlags(const uint8_t (&)[5]) { MoveOldSupplyCurrent(*this); }

TCellDescription TAlimentatore::Describe() const {
    TCellDescription d = TPassivo::Describe();
    d.Sheet.RowCaptions[3] = "Disaccoppiamento  [dB]";
    if (NumThroughOutputs > 1) d.Sheet.PortRows = ThroughAndDecouplingLines;
    return d;
}

TCella* TAlimentatore::GetPrototype() const {
    if (ThroughOutputs < 1 || ThroughOutputs > PowerSupplyPrototypeOutputs) return nullptr;
    return FindPrototype({TypeCode, ThroughOutputs});
}

TCellLayout TAlimentatore::Layout() const {
    TCellLayout layout;
    const int32_t outputs = std::max<int32_t>(1, NumThroughOutputs);
    layout.Width = outputs;
    layout.Ports.push_back({TPortKind::Input, 0, (outputs - 1) / 2, 0, TSide::Top});
    for (int32_t k = 0; k < NumThroughOutputs; ++k)
        layout.Ports.push_back({TPortKind::Through, k, k, 0, TSide::Bottom});
    return layout;
}

bool TAlimentatore::PlaceOnGrid(const TNextCell& record, TQNextCell& queue) {
    const TCellLayout layout = Layout();
    OccupyLayout(layout);
    PlacePorts(layout, TLineEnds{record.NeedsTermination, record.NeedsTermination, 0}, queue);
    return true;
}

void TAlimentatore::GetPortName(TInfoMousePos& position) {
    const TCellLayout layout = Layout();
    const TCellPort* port = PortUnder(layout, position);
    AnsiString name;
    if (port)
        name = port->Kind == TPortKind::Input ? AnsiString("ingresso")
               : NumThroughOutputs == 1       ? AnsiString("uscita")
                                              : "uscita " + IntToStr(port->Index + 1);
    SetPortUnder(position, port, name);
}

TAttenuatore::TAttenuatore(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column,
                           int32_t row)
    : TPassivo(owner, orientation, mirrored, column, row, 1, CodeAttenuatore, "Attenuatori",
               AttenuatorIdentity) {}

TAttenuatore::~TAttenuatore() = default;

TAttenuatoreR::TAttenuatoreR(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column,
                             int32_t row)
    : TPassivo(owner, orientation, mirrored, column, row, 1, CodeAttenuatoreR, "Attenuatori",
               AttenuatorIdentity) {}

TAttenuatoreR::~TAttenuatoreR() = default;

TEqualizzatore::TEqualizzatore(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column,
                               int32_t row)
    : TPassivo(owner, orientation, mirrored, column, row, 1, CodeEqualizzatore, "Equalizzatori",
               EqualizerIdentity) {}

TEqualizzatore::~TEqualizzatore() = default;

// ---- The inductance ----

TInduttanza::TInduttanza(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row)
    : TCella(owner, orientation, mirrored, column, row) {
    TypeCode = CodeInduttanza;
    Kind = CodeInduttanza;
    SetPortCounts();
    Attenuation->Alloc3(TableRows, TableColumns, BandSlots);
}

TInduttanza::~TInduttanza() = default;

void TInduttanza::DrawSymbol(TCanvas*, int32_t, int32_t, int32_t, int32_t, int32_t) {}

void TInduttanza::Paint(TCanvas*, int32_t, int32_t, int32_t, int32_t, int32_t) {}

TCellDescription TInduttanza::Describe() const {
    TCellDescription d;
    d.ShortLetters = "I";
    d.Counter = InserterCounter;
    d.Sheet.Use = TSheetUse::Nothing;
    return d;
}

bool TInduttanza::NeedsNoDescription() const { return true; }

bool TInduttanza::PlaceOnGrid(const TNextCell& record, TQNextCell& queue) {
    // Entry sides of the analysis: 0 top, 1 right, 2 bottom, 3 left.
    int32_t column = Column, row = Row;
    uint8_t side = 0;
    switch (Orientation) {
    case 1:
    case 3:
        if (record.Side != 0) {
            row = Row - 1;
            side = 2;
        } else {
            row = Row + 1;
            side = 0;
        }
        break;
    case 0:
    case 2:
        if (record.Side != 3) {
            column = Column - 1;
            side = 1;
        } else {
            column = Column + 1;
            side = 3;
        }
        break;
    default: return true;
    }
    if (Owner)
        if (TSquareAnalysis* square = Owner->AnalysisAt(Column, Row)) {
            square->Visited = 1;
            // The line that brought the analysis here is the input.
            if (record.Side < SideStart) {
                square->Waiting[record.Side] = 1;
                square->InputIndex[record.Side] = 0;
                square->MayStayOpen[record.Side] = 0;
            }
        }
    TCella* next = Owner ? Owner->CellAt(column, row) : nullptr;
    // Vertical lines run on the crossing layer.
    if (next && side % 2 == 0 && next->Overlay) next = next->Overlay;
    if (!OutputCell.empty()) OutputCell[0] = next;
    TNextCell onward;
    onward.Column = column;
    onward.Row = row;
    onward.Side = side;
    onward.Port = 0;
    onward.TypeCode = TypeCode;
    onward.NeedsTermination = record.NeedsTermination;
    onward.MayEndOpen = record.MayEndOpen;
    queue.Push(onward);
    return true;
}

// The windows the output's neighbour asks for, as they are. An open output
// asks nothing and its input keeps the reset window, as at an open cable end:
// the coil adds nothing of its own to the line.
void TInduttanza::ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetInputLevels();
    TCella* next = NumOutputs > 0 ? OutputNeighbour(*this, 0) : nullptr;
    if (!next || NumInputs < 1) return;
    next->ComputeRequiredLevels(minLevels, maxLevels, stamp);
    const int32_t port = OutputNeighbourPort(*this, 0);
    const int32_t bands = CalculationBandCount();
    for (int32_t b = 0; b < bands; ++b)
        if (const TFinestra* d = WindowAt(next->InputLevels, port, b))
            InputLevels[0][static_cast<size_t>(b)] = *d;
}

void TInduttanza::ComputeSignalLevels(uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetOutputLevels();
    TCella* up = InputNeighbour(*this, 0);
    if (!up || NumOutputs < 1) return;
    up->ComputeSignalLevels(stamp);
    const int32_t port = InputNeighbourPort(*this, 0);
    const int32_t bands = CalculationBandCount();
    for (int32_t b = 0; b < bands; ++b)
        if (const TFinestra* u = WindowAt(up->OutputLevels, port, b))
            OutputLevels[0][static_cast<size_t>(b)] = *u;
}

void TInduttanza::ComputeChannels(int32_t flags, int32_t, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetChannelLists();
    ChannelsThrough(flags, stamp);
}

void TInduttanza::PushSeparation(int32_t port, int32_t band, float limit) {
    if (band < 0 || band >= BandSlots) return;
    const float value = SeparationBest[band];
    if (port < PortInputBase) {
        if (TCella* up = InputNeighbour(*this, 0))
            up->AcceptSeparation(InputNeighbourPort(*this, 0), band, value, limit);
        return;
    }
    if (TCella* next = OutputNeighbour(*this, 0))
        next->AcceptSeparation(OutputNeighbourPort(*this, 0) + PortInputBase, band, value, limit);
}

void TInduttanza::EvaluateModel(TCella* candidates, int32_t mode, float value, uint32_t stamp, int32_t band) {
    EvaluateModelThrough(candidates, mode, value, stamp, band);
}

void TInduttanza::ComputeReachWindows() {
    if (NumInputs < 1) return;
    if (!ReachLevels.Allocated() || ReachLevels.Ports() != NumInputs) ResetAuxLevels();
    const TCella* next = OutputNeighbour(*this, 0);
    for (int32_t b = 0; b < BandSlots; ++b) {
        const TFinestra* r = next ? WindowAt(next->ReachLevels, OutputNeighbourPort(*this, 0), b) : nullptr;
        ReachLevels[0][static_cast<size_t>(b)] = r ? *r : TFinestra{};
    }
}
