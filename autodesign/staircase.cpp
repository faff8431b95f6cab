// The staircase as one drawing: the rows its floor blocks take from the top
// floor down, the fixed amplifier floors some switch brands ask for along a
// multiswitch riser, and a bank of line amplifiers across the satellite lines.
#include <algorithm>
#include <memory>

#include "app/grid.h"
#include "autodesign/engine.h"
#include "cells/amplifiers.h"
#include "cells/terminations.h"

namespace {

constexpr int32_t LineAmplifierCode = 22;
// Bits 1 and 30 of the second Positions word: a line amplifier of a bank.
constexpr uint32_t BankAmplifierPositions = 0x40000002;
constexpr int32_t FacingDown = 0;  // input on top
constexpr int32_t FromBelow = 2;   // input at the bottom

// The switch brands whose makers fix the amplifier floors of a multiswitch
// riser of F floors: first floor, step (0: one floor at (F - 1) / 2 from
// more than minFloors floors). Texts are compared exactly.
struct TBrandRule {
    const char* Brand;
    const char* Series;  // none: any series
    int32_t First, Step, MinFloors;
};
constexpr TBrandRule BrandRules[] = {
    {"Marca A", nullptr, 0, 0, 7},
    {"Marca B", nullptr, 2, 3, 0},
    {"Marca C", "Serie 4000", 5, 6, 0},
    {"Marca C", "Serie 400", 4, 5, 0},
    {"Marca C", "Serie T", 4, 5, 0},
};

}  // namespace

bool TCreaAuto::BrandAmplifierFloors(const AnsiString& brand, const AnsiString& series, int32_t floors,
                                     std::vector<int32_t>& amplifierFloors) {
    bool fired = false;
    for (const TBrandRule& rule : BrandRules) {
        if (brand != rule.Brand || (rule.Series && series != rule.Series)) continue;
        fired = true;
        if (rule.Step == 0) {
            if (floors > rule.MinFloors) amplifierFloors.push_back((floors - 1) / 2);
            continue;
        }
        for (int32_t f = rule.First; f < floors - 1; f += rule.Step) amplifierFloors.push_back(f);
    }
    return fired;
}

bool TCreaAuto::ComputeFloorRows(int32_t s) {
    const TPalazzo& building = *Settings->Building;
    const int32_t F = std::clamp(building.Staircases[s].FloorCount, 0, DesignFloorsMax);
    int32_t most = 0;
    for (int32_t k = 0; k < std::clamp(building.StaircaseCount, 0, DesignStaircasesMax); ++k)
        most = std::max(most, building.Staircases[k].FloorCount);
    int32_t extra = 0;
    if (F == most && F > 0) {
        const int k = TapNetwork[0] ? 0 : 1;
        if (RiserBreakCount[s][k] > 0 && PassiveSplit[s][k]) extra = RiserBreakCount[s][k] - TapChainOffset[s][F - 1];
    }
    std::fill(std::begin(FloorRow[s]), std::end(FloorRow[s]), 0);
    if (F == 0) return true;
    FloorRow[s][F - 1] = extra;
    for (int32_t f = F - 2; f >= 0; --f)
        FloorRow[s][f] = FloorRow[s][f + 1] + FloorHeight[s][f + 1] + Settings->APDistPiani - 1 - FloorTail[s][f + 1];
    return true;
}

void TCreaAuto::PlaceLineAmplifiers(int32_t column, int32_t row, int32_t n, TGridData* grid) {
    const int32_t S = LineCount[1];
    auto level = [this](int32_t inputs) { return inputs >= 0 && inputs < AvailInputs ? SubstationLevelSat[inputs] : 0.0f; };
    if (level(n) < StaircaseRequiredLevel[0][1] && S % 2 == 0) n = S + 1;
    if (n <= 0) return;
    if (S < n) --column;
    if (!(level(n) > 0.0f)) return;
    // From the first amplifier on, as long as an amplifier's last input meets a line.
    const int32_t lastLine = column + (S < n ? 1 : 0) + S - 1;
    for (int32_t x = column; x == column || x + n - 1 <= lastLine; x += n) {
        auto amplifier = std::make_unique<TAmplificatore>(nullptr, FacingDown, 0, x, row, LineAmplifierCode, n, n);
        amplifier->Positions[1] = BankAmplifierPositions;
        PlaceNew(grid, std::move(amplifier));
    }
    if (S < n) {
        PlaceTermination(grid, column, row - 1, FromBelow);
        PlaceTermination(grid, column, row + 2, FacingDown);
    }
}
