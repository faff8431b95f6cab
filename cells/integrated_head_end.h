#pragma once
// The integrated head-end TCentraleIntegrata: one cell standing for a whole
// head-end unit of up to 10 inputs and 5 outputs, each with a short label and
// an enable mark, and for every pair of a used input and a used output the
// list of filter modules that says which channels the unit takes from that
// input to that output. It produces no channel and no level of its own.
#include <array>
#include <cstdint>
#include <memory>

#include "cells/cell.h"
#include "cells/taps.h"
#include "core/filter_modules.h"

// Category counter of the short code "Ci".
constexpr int IntegratedHeadEndCounter = 19;

constexpr int32_t IntegratedMaxInputs = 10;
constexpr int32_t IntegratedMaxOutputs = 5;
constexpr int32_t IntegratedInputValues = 14;  // values kept per input
constexpr int IntegratedTextChars = 20;
constexpr int IntegratedLabelChars = 5;

class TCentraleIntegrata : public TCella {
public:
    TCentraleIntegrata(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                       int32_t inputs, int32_t outputs);
    ~TCentraleIntegrata() override;

    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    // "Centrale integrata", "Ci"; the form shows the unit's structure.
    TCellDescription Describe() const override;
    // More than 10 inputs, 5 outputs or 10 rows of values is a damaged record.
    void Load(TStream& stream, int32_t version) override;
    void Save(TStream& stream, int32_t version) override;
    void SetPortCounts() override;
    bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue) override;
    // The unit is edited on its own, without a last-used prototype.
    bool EditData(TDatiComponenti* dialog) override;
    TCella* GetPrototype() const override;
    bool CheckData(const AnsiString& prefix) override;
    void Assign(TCella* target) override;
    void SpreadStamp(uint32_t stamp) override;
    void ComputeChannels(int32_t flags, int32_t port, uint32_t stamp) override;
    bool Mirror() override;
    bool Rotate(int32_t n) override;
    void GetPortName(TInfoMousePos& position) override;
    void AdjustLossTables() override;

    // The box, inputs centred along its top row and outputs along its bottom row.
    TCellLayout Layout() const override;
    // The module list of a used pair, or none.
    TModuliFiltro* Modules(int32_t input, int32_t output) const;

    AnsiString UnitText;
    std::array<AnsiString, IntegratedMaxInputs> InputLabels;
    std::array<AnsiString, IntegratedMaxOutputs> OutputLabels;
    std::array<uint8_t, IntegratedMaxInputs> InputEnabled;
    std::array<uint8_t, IntegratedMaxOutputs> OutputEnabled;
    std::array<std::array<int32_t, IntegratedInputValues>, IntegratedMaxInputs> InputValues;

private:
    // Every used pair has its module list, so that reading, writing and
    // copying never meet a missing one.
    void EnsureModuleLists();
    int32_t UsedInputs() const;
    int32_t UsedOutputs() const;

    std::array<std::array<std::unique_ptr<TModuliFiltro>, IntegratedMaxOutputs>, IntegratedMaxInputs>
        modules_;
};
