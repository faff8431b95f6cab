#pragma once
// Small cells for the tests of the network line: a source and a line end
// that record what the cell under test hands them.
#include <cstdint>

#include "cells/cell.h"
#include "document/grid.h"
#include "support/stand_in.h"

// Links output port `output` of from to input port `input` of to, both ways,
// as the grid analysis would.
void JoinCells(TCella& from, int32_t output, TCella& to, int32_t input);

// A source of its own with no input and one through output: it carries its
// SourceChannels in the channel pass and the window `Level` in every band in
// the signal pass.
class TSorgenteLinea : public TCella {
public:
    // Answers the grid's questions as the class of its type code would.
    TCellDescription Describe() const override { return StandInDescription(*this); }
    explicit TSorgenteLinea(TCellGrid* owner = nullptr, int32_t column = 0, int32_t row = 0);

    bool IsSignalStart() const override { return true; }
    bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue) override;
    void ComputeSignalLevels(uint32_t stamp) override;
    void ComputeChannels(int32_t flags, int32_t port, uint32_t stamp) override;

    TFinestra Level{80.0f, 90.0f};
};

// The end of a line for tests of what a cell hands downstream: it asks the
// window `Required` in every band, has the reach window `Reach` and keeps what
// the designer's passes handed it.
class TPozzoProva : public TCella {
public:
    // Answers the grid's questions as the class of its type code would.
    TCellDescription Describe() const override { return StandInDescription(*this); }
    TPozzoProva();

    void ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) override;
    bool ChooseModel(TCella* candidates, int32_t mode, uint32_t stamp, TProgressBar* progress, int32_t band,
                     int32_t further) override;
    void EvaluateModel(TCella* candidates, int32_t mode, float value, uint32_t stamp, int32_t band) override;
    void AcceptSeparation(int32_t port, int32_t band, float value, float limit) override;

    TFinestra Required{60.0f, 80.0f};
    TFinestra Reach{3.0f, 5.0f};
    bool Answer = true;
    int Calls = 0;
    int32_t LastMode = 0;
    int32_t LastTarget = 0;
    float LastValue = LevelNone;
    int32_t LastPort = -1;
};
