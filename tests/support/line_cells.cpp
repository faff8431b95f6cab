#include "support/line_cells.h"

#include "cells/pass_links.h"
#include "core/channel_list.h"

TDerivatoreProva::TDerivatoreProva(TGridData* owner, int32_t column, int32_t row)
    : TCella(owner, 0, 0, column, row, 1, 1, 1) {
    TypeCode = 6;
    Kind = 6;
    SetPortCounts();
    Attenuation->Alloc3(TableRows, TableColumns, BandSlots);
    Described = 1;
}

bool TDerivatoreProva::PlaceOnGrid(const TNextCell&, TQNextCell& queue) {
    if (Owner)
        if (TSquareAnalysis* square = Owner->AnalysisAt(Column, Row)) square->Visited = 1;
    MarkGridCell(Column, Row, 0, 0, 0);
    // The line goes on below and must end in a termination; the user output
    // leaves at the right edge.
    LinkPortAt(Column, Row, ThroughOutput, 0, 1, 0, queue);
    LinkPortAt(Column, Row, UserOutput, 3, 0, 0, queue);
    return true;
}

void TDerivatoreProva::ComputeRequiredLevels(const float* minLevels, const float* maxLevels,
                                             uint32_t stamp) {
    if (stamp <= PassStamp) return;
    PassStamp = stamp;
    ResetInputLevels();
    for (int32_t j = 0; j < NumOutputs; ++j)
        if (TCella* next = OutputNeighbour(*this, j)) next->ComputeRequiredLevels(minLevels, maxLevels, stamp);
    const int32_t bands = CalculationBandCount();
    for (int32_t b = 0; b < bands; ++b) {
        TFinestra& in = InputLevels[0][static_cast<size_t>(b)];
        for (int32_t j : {UserOutput, ThroughOutput}) {
            const TCella* next = OutputNeighbour(*this, j);
            if (!next) continue;
            if (const TFinestra* d = WindowAt(next->InputLevels, OutputNeighbourPort(*this, j), b))
                CombineForward(in, *d, Attenuation->Get3(0, j == UserOutput ? 0 : 1, b), false);
        }
    }
}

void TDerivatoreProva::ComputeSignalLevels(uint32_t stamp) {
    if (stamp <= PassStamp) return;
    PassStamp = stamp;
    ResetOutputLevels();
    TCella* up = InputNeighbour(*this, 0);
    if (!up) return;
    up->ComputeSignalLevels(stamp);
    const int32_t bands = CalculationBandCount();
    for (int32_t b = 0; b < bands; ++b)
        if (const TFinestra* u = WindowAt(up->OutputLevels, InputNeighbourPort(*this, 0), b)) {
            CombineBackward(OutputLevels[ThroughOutput][static_cast<size_t>(b)], *u, Attenuation->Get3(0, 1, b),
                            false);
            CombineBackward(OutputLevels[UserOutput][static_cast<size_t>(b)], *u, Attenuation->Get3(0, 0, b),
                            false);
        }
}

void TDerivatoreProva::ComputeChannels(int32_t flags, int32_t, uint32_t stamp) {
    if (stamp <= PassStamp) return;
    PassStamp = stamp;
    ResetChannelLists();
    TCella* up = InputNeighbour(*this, 0);
    if (!up) return;
    const int32_t port = InputNeighbourPort(*this, 0);
    up->ComputeChannels(flags, port, stamp);
    const TListaCanali* arriving = OutputList(*up, port);
    if (!arriving) return;
    float vector[BandSlots];
    Row0Vector(*this, 1, vector);
    TListaCanali::CheckInputs(*ChannelLists[ThroughOutput], *arriving, vector, false, GetShortCode(), 0, 0);
    Row0Vector(*this, 0, vector);
    TListaCanali::CheckInputs(*ChannelLists[UserOutput], *arriving, vector, false, GetShortCode(), 0, 0);
}

void JoinCells(TCella& from, int32_t output, TCella& to, int32_t input) {
    if (from.OutputCell.size() != static_cast<size_t>(from.NumOutputs)) from.AllocLinks();
    if (to.InputCell.size() != static_cast<size_t>(to.NumInputs)) to.AllocLinks();
    from.OutputCell[static_cast<size_t>(output)] = &to;
    from.OutputPort[static_cast<size_t>(output)] = input;
    to.InputCell[static_cast<size_t>(input)] = &from;
    to.InputPort[static_cast<size_t>(input)] = output;
}

TSorgenteLinea::TSorgenteLinea(TGridData* owner, int32_t column, int32_t row)
    : TCella(owner, 0, 0, column, row, 0, 1, 0) {
    TypeCode = 38;
    Kind = 38;
    SetPortCounts();
    Described = 1;
    AllocLinks();
}

bool TSorgenteLinea::PlaceOnGrid(const TNextCell&, TQNextCell& queue) {
    if (Owner)
        if (TSquareAnalysis* square = Owner->AnalysisAt(Column, Row)) square->Visited = 1;
    LinkPortAt(Column, Row, 0, 0, 0, 0, queue);
    return true;
}

void TSorgenteLinea::ComputeSignalLevels(uint32_t stamp) {
    if (stamp <= PassStamp) return;
    PassStamp = stamp;
    ResetOutputLevels();
    OutputLevels[0].fill(Level);
}

void TSorgenteLinea::ComputeChannels(int32_t, int32_t, uint32_t stamp) {
    if (stamp <= PassStamp) return;
    PassStamp = stamp;
    ResetChannelLists();
    TListaCanali::AddAll(*SourceChannels, *ChannelLists[0]);
}

TPozzoProva::TPozzoProva() : TCella(nullptr, 0, 0, 0, 0, 1, 0, 0) {
    TypeCode = 99;
    Kind = 99;
    SetPortCounts();
    AllocLinks();
    ResetAuxLevels();
}

void TPozzoProva::ComputeRequiredLevels(const float*, const float*, uint32_t stamp) {
    if (stamp <= PassStamp) return;
    PassStamp = stamp;
    ResetInputLevels();
    InputLevels[0].fill(Required);
}

bool TPozzoProva::ChooseModel(TCella*, int32_t mode, uint32_t, TProgressBar*, int32_t, int32_t further) {
    ++Calls;
    LastMode = mode;
    LastTarget = further;
    ReachLevels[0].fill(Reach);
    return Answer;
}

void TPozzoProva::EvaluateModel(TCella*, int32_t mode, float value, uint32_t, int32_t) {
    ++Calls;
    LastMode = mode;
    LastValue = value;
    ReachLevels[0].fill(Reach);
}

void TPozzoProva::AcceptSeparation(int32_t port, int32_t, float value, float) {
    ++Calls;
    LastPort = port;
    LastValue = value;
}
