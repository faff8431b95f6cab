#include "support/line_cells.h"

#include "cells/pass_links.h"
#include "core/channel_list.h"

void JoinCells(TCella& from, int32_t output, TCella& to, int32_t input) {
    if (from.OutputCell.size() != static_cast<size_t>(from.NumOutputs)) from.AllocLinks();
    if (to.InputCell.size() != static_cast<size_t>(to.NumInputs)) to.AllocLinks();
    from.OutputCell[static_cast<size_t>(output)] = &to;
    from.OutputPort[static_cast<size_t>(output)] = input;
    to.InputCell[static_cast<size_t>(input)] = &from;
    to.InputPort[static_cast<size_t>(input)] = output;
}

TSorgenteLinea::TSorgenteLinea(TCellGrid* owner, int32_t column, int32_t row)
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
    LinkPortAt(Column, Row, 0, TSide::Bottom, 0, 0, queue);
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

void TPozzoProva::ComputeRequiredLevels(TBandLimits, TBandLimits, uint32_t stamp) {
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
