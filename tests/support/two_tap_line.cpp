#include "support/two_tap_line.h"

#include <gtest/gtest.h>

#include "cells/outlets.h"
#include "cells/taps.h"
#include "cells/terminations.h"
#include "core/channel_list.h"
#include "document/grid.h"
#include "support/line_cells.h"

namespace {

// The terminal of a reset project stands at column 36 of row 0; its one line
// leaves from column 37 into row 1.
constexpr int32_t LineColumn = 37;
// An outlet turned 3 has its input on the left.
constexpr int32_t FedFromLeft = 3;

void SetColumn(TCella& cell, int32_t column, float value) {
    for (int32_t b = 0; b < BandSlots; ++b) cell.Attenuation->Set3(0, column, b, value);
}

template <typename T>
T* Put(TGridData& grid, std::unique_ptr<T> owned) {
    T* cell = owned.get();
    EXPECT_TRUE(grid.InsertCell(std::move(owned), false, 0));
    return cell;
}

TDerivatore* PutTap(TGridData& grid, int32_t row, float tapLoss) {
    auto* tap = Put(grid, std::make_unique<TDerivatore>(&grid, 0, 0, LineColumn, row, 1, 1));
    SetColumn(*tap, TapLossColumn, tapLoss);
    SetColumn(*tap, TapThroughColumn, 1.5f);
    SetColumn(*tap, TapReverseColumn, 25.0f);
    SetColumn(*tap, TapDecouplingColumn, 25.0f);
    tap->Described = 1;
    return tap;
}

TPresaD* PutOutlet(TGridData& grid, int32_t row) {
    auto* outlet =
        Put(grid, std::make_unique<TPresaD>(&grid, FedFromLeft, 0, LineColumn + 1, row, CodeEndOutlet, 1));
    SetColumn(*outlet, OutletSocketLoss, 1.0f);
    outlet->Described = 1;
    return outlet;
}

}  // namespace

TwoTapLine::TwoTapLine(float secondTapLoss) {
    project.Reset(true);
    TGridData& grid = *project.NetworkGrid;
    r1 = PutTap(grid, 1, 14.0f);
    p1 = PutOutlet(grid, 1);
    r2 = PutTap(grid, 2, secondTapLoss);
    p2 = PutOutlet(grid, 2);
    Put(grid, std::make_unique<TChiusura>(&grid, 0, 0, LineColumn, 3, 1));
}

TwoTapLine::~TwoTapLine() = default;

bool TwoTapLine::Analyse() { return project.AnalyseGrids(); }

void TwoTapLine::FeedChannels(int unplaced) {
    constexpr int Channels = 20;
    constexpr int32_t BandIV = 4;
    TGridData& headEnd = *project.HeadEndGrid;
    source = std::make_unique<TSorgenteLinea>(&headEnd, 0, 0);
    for (int i = 0; i < Channels; ++i) {
        TCanale c;
        c.name = "E" + std::to_string(21 + i);
        c.label = "Canale " + std::to_string(i);
        c.freqLow = 470.0f + 8.0f * static_cast<float>(i);
        c.freqHigh = c.freqLow + 8.0f;
        c.band = i < Channels - unplaced ? BandIV : -1;
        c.levelMin = c.levelMax = 80.0f;
        source->SourceChannels->Insert(c);
    }
    JoinCells(*source, 0, *headEnd.Anchor, 0);
}
