#include "support/pass_cells.h"

#include "core/channel_list.h"
#include "core/globals.h"
#include "core/options.h"
#include "core/reporter.h"

namespace {
void SizeTable(TCella& cell) { cell.Attenuation->SetSizes(0, cell.TableRows, cell.TableColumns, BandSlots); }

float Option(int32_t band, int kind) { return Opzioni ? Opzioni->limits[band][kind] : LevelNone; }
}  // namespace

void SetRow0(TCella& cell, int32_t column, float value) {
    for (int32_t b = 0; b < BandSlots; ++b) cell.Attenuation->Set3(0, column, b, value);
}

void SetRow0(TCella& cell, int32_t column, int32_t band, float value) {
    cell.Attenuation->Set3(0, column, band, value);
}

void LinkCells(TCella& from, int32_t output, TCella& to, int32_t input) {
    if (from.OutputCell.empty() && from.NumOutputs > 0) from.AllocLinks();
    if (to.InputCell.empty() && to.NumInputs > 0) to.AllocLinks();
    from.OutputCell[static_cast<size_t>(output)] = &to;
    from.OutputPort[static_cast<size_t>(output)] = input;
    to.InputCell[static_cast<size_t>(input)] = &from;
    to.InputPort[static_cast<size_t>(input)] = output;
}

// ---- Pass-through ----

TPassanteProva::TPassanteProva(TCellGrid* owner, int32_t column, int32_t row, int32_t throughOutputs,
                               int32_t tapOutputs, int32_t orientation)
    : TCella(owner, orientation, 0, column, row, 1, throughOutputs, tapOutputs) {
    TypeCode = Code;
    Kind = Code;
    SetPortCounts();
    SizeTable(*this);
    SetRow0(*this, 1, 0.0f);
    Described = 1;
}

// ---- Outlet ----

TPresaProva::TPresaProva(TCellGrid* owner, int32_t column, int32_t row, int32_t typeCode)
    : TCella(owner, 0, 0, column, row, 1, 1, 1) {
    TypeCode = typeCode;
    Kind = KindOutlet;
    SetPortCounts();
    SizeTable(*this);
    Described = 1;
}

bool TPresaProva::PlaceOnGrid(const TNextCell& record, TQNextCell& queue) {
    if (record.NeedsTermination && !PassThrough() && !Terminated()) {
        if (GestoreErrori)
            GestoreErrori->SetPendingError(
                std::make_unique<TErroreCircuito>(Column, Row, record.Side, Owner, 4));
        return false;
    }
    if (Owner)
        if (TSquareAnalysis* square = Owner->AnalysisAt(Column, Row)) square->Visited = 1;
    MarkGridCell(Column, Row, TSide::Top, 0, 0);
    if (PassThrough()) LinkPortAt(Column, Row, 0, TSide::Bottom, 1, 0, queue);
    return true;
}

void TPresaProva::ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) {
    if (stamp <= PassStamp) return;
    PassStamp = stamp;
    ResetInputLevels();
    TCella* next = PassThrough() && !OutputCell.empty() ? OutputCell[0] : nullptr;
    if (next) next->ComputeRequiredLevels(minLevels, maxLevels, stamp);
    const int32_t bands = CalculationBandCount();
    for (int32_t b = 0; b < bands; ++b) {
        TFinestra& in = InputLevels[0][static_cast<size_t>(b)];
        if (next && next->InputLevels.Allocated())
            CombineForward(in, next->InputLevels[OutputPort[0]][static_cast<size_t>(b)],
                           Attenuation->Get3(0, 1, b), false);
        const auto given = [b](TBandLimits limits) { return static_cast<size_t>(b) < limits.size(); };
        const TFinestra socket{given(minLevels) ? minLevels[b] : Option(b, LimitSigMin),
                               given(maxLevels) ? maxLevels[b] : Option(b, LimitSigMax)};
        CombineForward(in, socket, Attenuation->Get3(0, 0, b), false);
    }
}

void TPresaProva::ComputeSignalLevels(uint32_t stamp) {
    if (stamp <= PassStamp) return;
    PassStamp = stamp;
    ResetOutputLevels();
    TCella* up = InputCell.empty() ? nullptr : InputCell[0];
    if (!up) return;
    up->ComputeSignalLevels(stamp);
    if (!up->OutputLevels.Allocated()) return;
    const int32_t bands = CalculationBandCount();
    for (int32_t b = 0; b < bands; ++b) {
        const TFinestra& u = up->OutputLevels[InputPort[0]][static_cast<size_t>(b)];
        if (PassThrough())
            CombineBackward(OutputLevels[0][static_cast<size_t>(b)], u, Attenuation->Get3(0, 1, b), false);
        CombineBackward(OutputLevels[1][static_cast<size_t>(b)], u, Attenuation->Get3(0, 0, b), false);
    }
}

void TPresaProva::ComputeChannels(int32_t flags, int32_t, uint32_t stamp) {
    if (stamp <= PassStamp) return;
    PassStamp = stamp;
    ResetChannelLists();
    TCella* up = InputCell.empty() ? nullptr : InputCell[0];
    if (!up) return;
    up->ComputeChannels(flags & ~0x100, InputPort[0], stamp);
    if (static_cast<size_t>(InputPort[0]) >= up->ChannelLists.size()) return;
    const TListaCanali& arriving = *up->ChannelLists[static_cast<size_t>(InputPort[0])];
    float loss[BandSlots];
    if (PassThrough()) {
        for (int32_t b = 0; b < BandSlots; ++b) loss[b] = Attenuation->Get3(0, 1, b);
        TListaCanali::CheckInputs(*ChannelLists[0], arriving, loss, false, GetShortCode(), 0, 0);
    }
    for (int32_t b = 0; b < BandSlots; ++b) loss[b] = Attenuation->Get3(0, 0, b);
    TListaCanali::CheckInputs(*ChannelLists[1], arriving, loss, false, GetShortCode(), 0, 0);
}

void TPresaProva::PushSeparation(int32_t port, int32_t band, float limit) {
    const float socketLoss = Attenuation->Get3(0, 0, band);
    const float throughLoss = Attenuation->Get3(0, 1, band);
    const float reverseLoss = Attenuation->Get3(0, 2, band);
    TCella* up = InputCell.empty() ? nullptr : InputCell[0];
    TCella* next = PassThrough() && !OutputCell.empty() ? OutputCell[0] : nullptr;
    if (port == PortInputBase) {
        const float s = SeparationBest[band];
        if (next && IsRealLevel(throughLoss))
            next->AcceptSeparation(OutputPort[0] + PortInputBase, band, LevelSum(s, throughLoss), limit);
        if (IsRealLevel(socketLoss)) SeparationOutlet[band] = LevelSum(s, socketLoss);
    } else if (port == 1) {
        const float s = SeparationOutlet[band];
        if (up && IsRealLevel(socketLoss))
            up->AcceptSeparation(InputPort[0], band, LevelSum(s, socketLoss), limit);
        if (next && IsRealLevel(reverseLoss))
            next->AcceptSeparation(OutputPort[0] + PortInputBase, band, LevelSum(s, reverseLoss), limit);
    } else if (port == 0) {
        const float s = SeparationBest[band];
        if (up && IsRealLevel(throughLoss))
            up->AcceptSeparation(InputPort[0], band, LevelSum(s, throughLoss), limit);
        if (IsRealLevel(reverseLoss)) SeparationOutlet[band] = LevelSum(s, reverseLoss);
    }
}

// ---- Cable segment ----

TTrattoProva::TTrattoProva(TCellGrid* owner, int32_t column, int32_t row, int32_t orientation, bool bend)
    : TCella(owner, orientation, 0, column, row, 1, 1, 0), bend(bend) {
    TypeCode = CodeCable;
    Kind = KindCableSegment;
    SetPortCounts();
    SizeTable(*this);
    SetRow0(*this, 1, 0.0f);
    Category = "Cavi";
}

void TTrattoProva::AllocLinks() {
    TCella::AllocLinks();
    runEnd = false;
}

bool TTrattoProva::PlaceOnGrid(const TNextCell& record, TQNextCell& queue) {
    TSquareAnalysis* square = Owner ? Owner->AnalysisAt(Column, Row) : nullptr;
    if (!square || square->Visited) return true;
    const bool vertical = record.Side % 2 == 0;
    TCella* main = Owner->CellAt(Column, Row);
    if (vertical && main == this && Overlay) return Overlay->PlaceOnGrid(record, queue);
    if (record.TypeCode != CodeCable && record.TypeCode != CodeBridge) runEnd = true;
    const int32_t r = (record.Side - Orientation + 4) % 4;
    if (bend) {
        // In by side 2, out towards side 1; or in by side 3, out towards side 0.
        if (r != 2 && r != 3) return true;
        MarkGridCell(Column, Row, SideOf(r), 0, 0);
        LinkPortAt(Column, Row, 0, r == 2 ? TSide::Left : TSide::Bottom, record.NeedsTermination,
                   record.MayEndOpen, queue);
        square->Visited = 1;
        return true;
    }
    if (r != 0 && r != 2) return true;  // arriving across the piece: not this segment's
    MarkGridCell(Column, Row, SideOf(r), 0, 0);
    LinkPortAt(Column, Row, 0, Opposite(SideOf(r)), record.NeedsTermination, record.MayEndOpen, queue);
    square->Spare[vertical ? 0 : 1] = 1;
    const bool crossing = main && main->Overlay;
    if (!crossing || (square->Spare[0] && square->Spare[1])) square->Visited = 1;
    return true;
}

// ---- Graphic sign and source ----

TSegnoProva::TSegnoProva(TCellGrid* owner, int32_t column, int32_t row)
    : TCella(owner, 0, 0, column, row, 0, 1, 0) {
    TypeCode = 3;
    SetPortCounts();
}

TSorgenteProva::TSorgenteProva(TCellGrid* owner, int32_t column, int32_t row)
    : TCella(owner, 0, 0, column, row, 0, 1, 0) {
    TypeCode = 38;
    Kind = 38;
    SetPortCounts();
    SizeTable(*this);
    Described = 1;
}

bool TSorgenteProva::PlaceOnGrid(const TNextCell&, TQNextCell& queue) {
    if (Owner)
        if (TSquareAnalysis* square = Owner->AnalysisAt(Column, Row)) square->Visited = 1;
    LinkPortAt(Column, Row, 0, TSide::Bottom, 0, 0, queue);
    return true;
}

void TSorgenteProva::ComputeChannels(int32_t, int32_t, uint32_t stamp) {
    if (stamp <= PassStamp) return;
    PassStamp = stamp;
    ResetChannelLists();
    TListaCanali::AddAll(*SourceChannels, *ChannelLists[0]);
}
