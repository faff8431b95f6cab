#pragma once
// A generated building for the network passes: the head-end terminal feeds
// `Risers` lines; each runs as a cable across to its riser and down it; on
// every floor a tap with two user outputs feeds a row of outlets to its left
// (three pass-through outlets and a terminated one) and, on its right, a
// three-way splitter whose outputs go on along the floor to a like row and up
// and down to a terminated outlet each; a cable goes on down to the next
// floor, and a termination closes every riser. Each head-end line is fed by
// an antenna of 20 "Europa" channels through an amplifier of its own. A
// variant puts each floor's splitter inside a custom component.
// The globals (band systems, channel plans, options) must be set first.
#include <cstdint>
#include <memory>
#include <string>

#include "cells/amplifiers.h"
#include "cells/cables.h"
#include "cells/custom_cell.h"
#include "cells/head_end.h"
#include "cells/outlets.h"
#include "cells/sources.h"
#include "cells/splitters.h"
#include "cells/taps.h"
#include "cells/terminations.h"
#include "core/band_systems.h"
#include "core/channel_list.h"
#include "core/channel_plans.h"
#include "core/globals.h"
#include "document/grid.h"
#include "document/project.h"
#include "support/custom_cells.h"

namespace building {
constexpr int32_t Risers = 4;
constexpr int32_t OutletsPerSide = 4;  // in the row on each side of every floor's tap
constexpr int32_t ChannelsPerLine = 20;
constexpr int32_t RiserSpacing = 2 * OutletsPerSide + 2;
// Rows from one floor to the next: the splitter's outlets above and below a
// floor's row must not meet those of the floors around it.
constexpr int32_t FloorRows = 3;

// Attenuation[0][column] in every band slot.
inline void Fill(TCella& cell, int32_t column, float value) {
    for (int32_t b = 0; b < BandSlots; ++b) cell.Attenuation->Set3(0, column, b, value);
}

// A project being built: its cells put on the network grid and counted.
class BuildingBase {
public:
    BuildingBase() : project(nullptr) { project.Reset(true); }
    TProgetto project;
    int64_t outlets = 0;
    int64_t cells = 0;

protected:
    void Put(std::unique_ptr<TCella> cell) {
        if (project.NetworkGrid->InsertCell(std::move(cell), false, 0)) ++cells;
    }
    // Above each of the first lines of the head-end terminal an amplifier of
    // 30 dB and an antenna of 20 channels at 80 dBuV.
    void FeedHeadEndLines(int32_t lines);
};

class Building : public BuildingBase {
public:
    // With customSplitters each floor's splitter stands inside a custom
    // component of one square (input on the left, outputs up, down and right).
    explicit Building(int32_t floors, bool customSplitters = false) {
        TGridData& net = *project.NetworkGrid;
        net.Resize(2 * (Risers * RiserSpacing + Risers + 12), FloorRows * floors + Risers + 6);
        auto* anchor = dynamic_cast<TTesta*>(net.Anchor);
        anchor->SetLineCount(Risers);
        const int32_t c = anchor->Column;
        const int32_t firstFloor = Risers + 2;
        for (int32_t i = 0; i < Risers; ++i) {
            const int32_t line = c + 1 + i;
            const int32_t riser = c + Risers + OutletsPerSide + 3 + RiserSpacing * i;
            // Down from the terminal to the row of this line, across, and down the riser.
            for (int32_t r = 1; r < 1 + i; ++r) Cable(line, r, 0, 0);
            Cable(line, 1 + i, 2, 1);
            for (int32_t x = line + 1; x < riser; ++x) Cable(x, 1 + i, 1, 0);
            Cable(riser, 1 + i, 0, 1);
            for (int32_t r = 2 + i; r < firstFloor; ++r) Cable(riser, r, 0, 0);
            for (int32_t f = 0; f < floors; ++f) {
                const int32_t row = firstFloor + FloorRows * f;
                auto tap = std::make_unique<TDerivatore>(&net, 0, 0, riser, row, 1, 2);
                Fill(*tap, TapLossColumn, 10.0f);
                Fill(*tap, TapThroughColumn, 0.5f);
                Fill(*tap, TapReverseColumn, 25.0f);
                Fill(*tap, TapDecouplingColumn, 20.0f);
                Put(std::move(tap));
                // The tap's first user output leaves on the right into the
                // splitter (turned so that its input is on the left: its
                // outputs go up, down and on to the right), the second on the left.
                if (customSplitters) {
                    Put(CustomSplitter(riser + 1, row));
                } else {
                    auto splitter = std::make_unique<TDivisore>(&net, 3, 0, riser + 1, row, 1, 3);
                    Fill(*splitter, TapLossColumn, 4.0f);
                    Fill(*splitter, TapDecouplingColumn, 22.0f);
                    Put(std::move(splitter));
                }
                Outlet(riser + 1, row - 1, 2, true);
                Outlet(riser + 1, row + 1, 0, true);
                for (int32_t k = 0; k < OutletsPerSide; ++k) {
                    Outlet(riser + 2 + k, row, 3, k + 1 == OutletsPerSide);
                    Outlet(riser - 1 - k, row, 1, k + 1 == OutletsPerSide);
                }
                if (f + 1 < floors) {
                    for (int32_t r = row + 1; r < row + FloorRows; ++r) Cable(riser, r, 0, 0);
                } else {
                    Put(std::make_unique<TChiusura>(&net, 0, 0, riser, row + 1, 1));
                }
            }
        }
        FeedHeadEndLines(Risers);
    }

private:
    // A segment of 3 m of a cable losing 20 dB per 100 m: 0.6 dB.
    void Cable(int32_t column, int32_t row, int32_t orientation, uint8_t bend) {
        auto cable = std::make_unique<TNCavo>(project.NetworkGrid, orientation, 0, column, row, bend, 0);
        Fill(*cable, 0, 20.0f);
        cable->Attenuation->Set3(0, 1, 0, 3.0f);
        cable->Described = 1;
        Put(std::move(cable));
    }
    // The floor splitter inside a custom component: unturned inside, its
    // outputs leave right, left and down into exit anchors 1, 2 and 3.
    std::unique_ptr<TCellaCustom> CustomSplitter(int32_t column, int32_t row) {
        auto splitter = std::make_unique<TDivisore>(nullptr, 0, 0, 0, 0, 1, 3);
        Fill(*splitter, TapLossColumn, 4.0f);
        Fill(*splitter, TapDecouplingColumn, 22.0f);
        splitter->Described = 1;
        TFormaCustom shape{1, 1, {{0, 0, 3}}, {{0, 0, 2}, {0, 0, 0}, {0, 0, 3}}};
        auto cell = MakeCustomCell(project.NetworkGrid, column, row, 1, 3,
                                   Structure({{EntryAnchor("1"), 1, 0},
                                              {std::move(splitter), 1, 1},
                                              {ExitAnchor("1", 3), 2, 1},
                                              {ExitAnchor("2", 1), 0, 1},
                                              {ExitAnchor("3"), 1, 2}}),
                                   shape);
        cell->Described = 1;
        return cell;
    }
    // Pass-through outlets along a floor, the last with its own termination.
    void Outlet(int32_t column, int32_t row, int32_t orientation, bool last) {
        auto outlet = std::make_unique<TPresaD>(project.NetworkGrid, orientation, 0, column, row,
                                                last ? CodeTerminatedOutlet : CodePassThroughOutlet, 1);
        Fill(*outlet, 0, 4.0f);
        Fill(*outlet, 1, 0.5f);
        Fill(*outlet, 2, 25.0f);
        Put(std::move(outlet));
        ++outlets;
    }
};
inline void BuildingBase::FeedHeadEndLines(int32_t lines) {
    TGridData& head = *project.HeadEndGrid;
    TCella* headAnchor = head.Anchor;
    for (int32_t i = 0; i < lines; ++i) {
        const int32_t column = headAnchor->Column + 1 + i;
        auto amplifierOwned = std::make_unique<TAmplificatore>(&head, 0, 0, column, headAnchor->Row - 1,
                                                               CodeAmplificatoreRegolato, 1, 1);
        auto* amplifier = amplifierOwned.get();
        Fill(*amplifier, AmpRegulation, 0.0f);
        Fill(*amplifier, AmpGain, 30.0f);
        Fill(*amplifier, AmpNoiseFigure, 7.0f);
        Fill(*amplifier, AmpMaxOutput, 130.0f);
        amplifier->Described = 1;
        head.InsertCell(std::move(amplifierOwned), false, 0);
        auto antennaOwned = std::make_unique<TAntenna>(&head, 0, 0, column, headAnchor->Row - 2);
        auto* antenna = antennaOwned.get();
        antenna->Attenuation->Set3(0, AntennaRangeColumn, AntennaLowestSlot, 470.0f);
        antenna->Attenuation->Set3(0, AntennaRangeColumn, AntennaHighestSlot, 862.0f);
        for (int32_t k = 0; k < ChannelsPerLine; ++k) {
            TCanale channel;
            CanalizzazioneEuropa->SetChannel(channel, CanalizzazioneEuropa->IndexOf(std::to_string(21 + k)));
            channel.band = SistemaBandeCorrente->BandOf(channel.CentreFrequency());
            channel.levelMin = 80.0f;
            antenna->SourceChannels->Insert(channel);
        }
        antenna->Described = 1;
        head.InsertCell(std::move(antennaOwned), false, 0);
    }
}
}  // namespace building
