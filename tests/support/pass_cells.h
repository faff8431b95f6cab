#pragma once
// Small cells for the tests of the passes, the grid analysis and the project
// drivers, and for the passes benchmark: a pass-through cell with any number
// of outputs (the base cell's own behaviour), an outlet stand-in (class code
// 14) with the socket, the limits of the options and the separation search of
// an outlet, and a straight cable-segment stand-in (class code 81) with the
// run-head flag the analysis moves. The signal start is the real head-end
// terminal. Links can be made by hand, without a grid.
#include <cstdint>
#include <initializer_list>

#include "cells/cell.h"
#include "document/grid.h"
#include "support/stand_in.h"

// Sets Attenuation[0][column] in every band slot, or band by band.
void SetRow0(TCella& cell, int32_t column, float value);
void SetRow0(TCella& cell, int32_t column, int32_t band, float value);

// Links output port `output` of from to input port `input` of to, both ways.
void LinkCells(TCella& from, int32_t output, TCella& to, int32_t input);

// The base cell with its own port counts.
class TPassanteProva : public TCella {
public:
    // Answers the grid's questions as the class of its type code would.
    TCellDescription Describe() const override { return StandInDescription(*this); }
    static constexpr int32_t Code = 2;
    TPassanteProva(TCellGrid* owner, int32_t column, int32_t row, int32_t throughOutputs = 1,
                   int32_t tapOutputs = 0, int32_t orientation = 0);

    AnsiString GetShortCode() const override { return ShortCodeWith("X"); }
    void TakeSequenceNumber(TContatoriCategoria& counters) override { TakeFromCounter(counters, 5); }
    bool AllowsAutoChoice() const override { return allowsAutoChoice; }

    bool allowsAutoChoice = true;
};

// An outlet: column 0 of row 0 is the socket loss (input to socket), column 1
// the through loss and column 2 the reverse loss of a pass-through outlet.
// Output 0 is the through output, output 1 the socket.
class TPresaProva : public TCella {
public:
    // Answers the grid's questions as the class of its type code would.
    TCellDescription Describe() const override { return StandInDescription(*this); }
    // An end outlet, a pass-through outlet or one with termination.
    TPresaProva(TCellGrid* owner, int32_t column, int32_t row, int32_t typeCode = CodeEndOutlet);

    bool PassThrough() const { return TypeCode == CodePassThroughOutlet; }
    bool Terminated() const { return TypeCode == CodeTerminatedOutlet; }

    AnsiString GetShortCode() const override { return ShortCodeWith("P"); }
    void TakeSequenceNumber(TContatoriCategoria& counters) override { TakeFromCounter(counters, 7); }
    bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue) override;
    void ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) override;
    void ComputeSignalLevels(uint32_t stamp) override;
    void ComputeChannels(int32_t flags, int32_t port, uint32_t stamp) override;
    float MinDownstreamValue(float, int32_t, bool, TCella*, uint8_t, uint8_t) override { return 0.0f; }
    void PushSeparation(int32_t port, int32_t band, float limit) override;
};

// A cable segment. A straight piece has orientation 0 (vertical) or 1
// (horizontal); a bend joins two sides: orientation 0 left and bottom, 1 left
// and top, 2 right and top, 3 right and bottom. Column 1 of row 0 is its loss
// in every band.
class TTrattoProva : public TCella {
public:
    // Answers the grid's questions as the class of its type code would.
    TCellDescription Describe() const override { return StandInDescription(*this); }
    TTrattoProva(TCellGrid* owner, int32_t column, int32_t row, int32_t orientation = 0, bool bend = false);

    AnsiString GetShortCode() const override { return ShortCodeWith("C"); }
    void TakeSequenceNumber(TContatoriCategoria& counters) override { TakeFromCounter(counters, 2); }
    bool CanOverlapCell() const override { return !bend; }
    void AllocLinks() override;
    bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue) override;
    bool IsRunHead() const override { return runEnd; }
    void SetRunHead(bool head) override { runEnd = head; }
    bool KeepsOffRunHead() const override { return keepOff; }

    bool bend = false;
    bool runEnd = false;
    bool keepOff = false;
};

// A graphic cell: occupies its square but takes no part in the analysis.
class TSegnoProva : public TCella {
public:
    // Answers the grid's questions as the class of its type code would.
    TCellDescription Describe() const override { return StandInDescription(*this); }
    TSegnoProva(TCellGrid* owner, int32_t column, int32_t row);
    bool TakesPartInAnalysis() const override { return false; }
    bool PlaceOnGrid(const TNextCell&, TQNextCell&) override { return true; }
};

// A signal source of its own (not the head-end terminal): no input, one
// through output that carries its SourceChannels.
class TSorgenteProva : public TCella {
public:
    // Answers the grid's questions as the class of its type code would.
    TCellDescription Describe() const override { return StandInDescription(*this); }
    TSorgenteProva(TCellGrid* owner, int32_t column, int32_t row);
    bool IsSignalStart() const override { return true; }
    bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue) override;
    void ComputeChannels(int32_t flags, int32_t port, uint32_t stamp) override;
};
