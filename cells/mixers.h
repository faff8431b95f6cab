#pragma once
// Mixer ("miscelatore", N inputs onto one output) and demixer
// ("demiscelatore", one input onto M outputs). Each branch port has its own
// pass attenuation per band (row 0 of Attenuation, column = branch); a band
// whose pass attenuation is not given is not carried through that port. Both
// carry the outlet-separation search across themselves: a value reaching one
// branch goes on to the common port and back out through the other branches.
//
// Layout: with two branches the cell is one square (mixer: input 0 on the
// left, input 1 on the right, the output at the bottom; demixer: the input at
// the top, output 0 on the left, output 1 on the right). Otherwise a block of
// one column per branch and three rows: the branches on one row, the common
// port on the other under (or over) the middle column.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "cells/cell.h"
#include "cells/taps.h"

// Category counter of the short code "Y", shared by mixers and demixers.
constexpr int MixerCounter = 13;
// Branches a mixer or demixer can have: one column of the table each.
constexpr int32_t MixerBranchesMax = 10;

class TCellaRami : public TCella {
public:
    ~TCellaRami() override;

    // Records older than version 20000 carry the two port counts after the
    // base record. A record with no branch or more than the table holds is
    // damaged.
    void Load(TStream& stream, int32_t version) override;
    void SetPortCounts() override;
    bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue) override;
    // The prototype of its branch count; none for a single branch.
    TCella* GetPrototype() const override;
    // Every branch's pass attenuation, stopping at the first failing one.
    bool CheckData(const AnsiString& prefix) override;
    void ClearBandAccumulators(int32_t band) override;
    void AcceptSeparation(int32_t port, int32_t band, float value, float limit) override;
    // Whatever port the walk came in by, what enters a mixer leaves by its one
    // output and what enters a demixer leaves by every output: the walk
    // follows each through output.
    void WalkDownstream(TListaCanali* list, int32_t entryPort, uint32_t stamp) override;
    // Each column of the table stays with the port it describes.
    bool Mirror() override;
    void GetPortName(TInfoMousePos& position) override;

    // Branch ports: the inputs of a mixer, the outputs of a demixer.
    int32_t Branches() const;
    // A mixer's or demixer's description under its type name: "Y" and its
    // number, a form line per branch ("Atten. passaggio " n " [dB]").
    TCellDescription DescribeBranches(const char* typeName) const;
    TCellLayout Layout() const override;

    // Per branch and band slot, the separation value accumulated at that
    // port; made by the first clearing of a band.
    std::vector<std::array<float, BandSlots>> PortSeparation;

protected:
    TCellaRami(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
               int32_t inputs, int32_t throughOutputs, int32_t typeCode, const char* category);
    // True for the mixer: the branches are its inputs.
    bool BranchesIn() const { return TypeCode == CodeMiscelatore; }
    // The pass attenuation of a branch in a band.
    float BranchLoss(int32_t branch, int32_t band) const;
    // The pass attenuation as the level passes take it: a band the port does
    // not carry is a blocked band there.
    float LevelPassLoss(int32_t branch, int32_t band) const;
    // The stored separation value of a port (an output below PortInputBase,
    // an input from it on), or none.
    float* StoredSeparation(int32_t port, int32_t band);
    float* BranchSeparation(int32_t branch, int32_t band);
};

class TMiscelatore : public TCellaRami {
public:
    TMiscelatore(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                 int32_t inputs);
    ~TMiscelatore() override;

    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    void ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) override;
    void ComputeSignalLevels(uint32_t stamp) override;
    void ComputeChannels(int32_t flags, int32_t port, uint32_t stamp) override;
    void PushSeparation(int32_t port, int32_t band, float limit) override;
    TCellDescription Describe() const override;

    // The designer's choice: every library cell of the same kind that passes
    // each band flagged in inputBands0 on input 0 and each band flagged in
    // inputBands1 on input 1 is taken in list order, so the last one stays.
    // True when one was taken.
    bool SelectFromLibrary(TCella* candidates, std::span<const uint8_t, BandSlots> inputBands0,
                           std::span<const uint8_t, BandSlots> inputBands1);
};

class TDemiscelatore : public TCellaRami {
public:
    TDemiscelatore(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                   int32_t outputs);
    ~TDemiscelatore() override;

    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    void ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) override;
    void ComputeSignalLevels(uint32_t stamp) override;
    void ComputeChannels(int32_t flags, int32_t port, uint32_t stamp) override;
    void PushSeparation(int32_t port, int32_t band, float limit) override;
    TCellDescription Describe() const override;
};
