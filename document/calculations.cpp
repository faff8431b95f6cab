// The project's calculation drivers: which walk runs over which grid, which
// cell is seeded with which probe before it, and how the windows and
// accumulators the cells leave are condensed into the per-outlet and per-band
// figures of the calculation pages, the printed tables and the designer.
//
// Every walk draws a fresh pass number; a cell takes part once per number.
#include <algorithm>
#include <array>

#include "cells/cell.h"
#include "cells/pass_flags.h"
#include "cells/separation_log.h"
#include "cells/separation_network.h"
#include "core/globals.h"
#include "core/options.h"
#include "document/grid.h"
#include "document/project.h"

namespace {
constexpr float ProbeLevel = 50000.0f;
constexpr float UnboundedSeparation = 10000.0f;
constexpr double SeparationTolerance = 0.001;
constexpr int32_t SeparationFlagNorm = 1;

float Limit(int32_t band, int kind) {
    if (!Opzioni || band < 0 || band >= BandSlots) return LevelNone;
    return Opzioni->limits[band][kind];
}

// The socket of an outlet is its first tap output.
TFinestreBande* SocketRow(TCella* outlet) {
    const int32_t port = outlet->NumThroughOutputs;
    if (!outlet->OutputLevels.Allocated() || port < 0 || port >= outlet->OutputLevels.Ports()) return nullptr;
    return &outlet->OutputLevels[port];
}

TFinestra* Socket(TCella* outlet, int32_t band) {
    TFinestreBande* row = SocketRow(outlet);
    if (!row || band < 0 || band >= BandSlots) return nullptr;
    return &(*row)[static_cast<size_t>(band)];
}

float SocketMin(TCella* outlet, int32_t band) {
    const TFinestra* w = Socket(outlet, band);
    return w ? w->Min : LevelNone;
}

float Difference(float a, float b) {
    return static_cast<float>(static_cast<double>(a) - static_cast<double>(b));
}
}  // namespace

// ---- Grid level ----

void TGridData::RunRequiredLevelPass() {
    if (!Anchor) return;
    const uint32_t stamp = NextPassNumber();
    for (TCella* cell = Anchor; cell; cell = cell->NextCell) cell->ComputeRequiredLevels({}, {}, stamp);
}

// ---- Project level ----

bool TProgetto::AnalyseGrids() {
    if (!NetworkGrid || !HeadEndGrid) return false;
    const bool networkUsed = NetworkGrid->HasComponents();
    const bool headEndUsed = HeadEndGrid->HasComponents();
    if (!networkUsed && headEndUsed) {
        if (NetworkGrid->Anchor) NetworkGrid->Anchor->NextCell = nullptr;
        NetworkGrid->FirstOutlet = nullptr;
    } else if (!NetworkGrid->Analyse(true)) {
        return false;
    }
    if (headEndUsed) {
        if (!HeadEndGrid->Analyse(true)) return false;
    } else {
        if (HeadEndGrid->Anchor) HeadEndGrid->Anchor->NextCell = nullptr;
        HeadEndGrid->FirstOutlet = nullptr;
    }
    NumberCells();
    return true;
}

void TProgetto::NumberCells() {
    TContatoriCategoria counters;
    counters.fill(1);
    if (NetworkGrid) NetworkGrid->NumberCells(counters, true);
    if (HeadEndGrid) HeadEndGrid->NumberCells(counters, false);
}

bool TProgetto::AllowsAutoChoice() {
    if (!NetworkGrid || !NetworkGrid->Anchor) return false;
    for (TCella* cell = NetworkGrid->Anchor->NextCell; cell; cell = cell->NextCell)
        if (!cell->AllowsAutoChoice()) return false;
    return true;
}

void TProgetto::RunRequiredLevelPass() {
    if (NetworkGrid) NetworkGrid->RunRequiredLevelPass();
}

void TProgetto::RunSignalLevelPass() {
    if (!NetworkGrid || !NetworkGrid->Anchor) return;
    const uint32_t stamp = NextPassNumber();
    // The anchor's outputs are seeded by the caller.
    for (TCella* cell = NetworkGrid->Anchor->NextCell; cell; cell = cell->NextCell)
        cell->ComputeSignalLevels(stamp);
}

void TProgetto::RunChannelPass(int32_t flags) {
    flags &= ~ChannelFlagFirstStep;
    // Two numbers: the head-end modules on a common line take their first
    // step at number - 1, which must lie above every stamp of the last pass.
    NextPassNumber();
    const uint32_t stamp = NextPassNumber();
    if (HeadEndGrid)
        for (TCella* cell = HeadEndGrid->Anchor; cell; cell = cell->NextCell)
            cell->ComputeChannels(flags, 0, stamp);
    if (NetworkGrid && NetworkGrid->Anchor && NetworkGrid->Anchor->NextCell)
        for (TCella* cell = NetworkGrid->Anchor; cell; cell = cell->NextCell)
            cell->ComputeChannels(flags, 0, stamp);
}

void TProgetto::ComputeOutletLevels() {
    if (!NetworkGrid || !NetworkGrid->Anchor) return;
    TCella* headEnd = NetworkGrid->Anchor;
    RunRequiredLevelPass();
    headEnd->InitOutputMaxLevels();
    RunSignalLevelPass();

    // Band 0, the return channel, runs from the outlets to the head end: the
    // admissible window at each socket becomes the window the head end must
    // receive, and the head end must receive every outlet's.
    float lower = 10000.0f;
    float upper = 0.0f;
    bool anyOutlet = false;
    const float sigMin = Limit(0, LimitSigMin);
    const float sigMax = Limit(0, LimitSigMax);
    for (TCella* outlet = NetworkGrid->FirstOutlet; outlet; outlet = outlet->NextOutlet) {
        TFinestra* socket = Socket(outlet, 0);
        if (!socket) continue;
        anyOutlet = true;
        if (socket->Min < 0.0f) {
            *socket = TFinestra{LevelBlocked, LevelBlocked};
        } else {
            const TFinestra reached = *socket;
            socket->Min = static_cast<float>(static_cast<double>(sigMin) + ProbeLevel - reached.Min);
            socket->Max = static_cast<float>(static_cast<double>(sigMax) + ProbeLevel - reached.Max);
        }
        lower = std::min(lower, socket->Min);
        upper = std::max(upper, socket->Max);
    }
    // Without an outlet nothing asks anything of the return channel: band 0
    // keeps what the required-level walk left, like the other bands, rather
    // than the inverted window (10000, 0) the running values start from.
    if (!anyOutlet || !headEnd->InputLevels.Allocated()) return;
    const int32_t lines = std::min(headEnd->NumThroughOutputs, headEnd->InputLevels.Ports());
    for (int32_t i = 0; i < lines; ++i) headEnd->InputLevels[i][0] = TFinestra{lower, upper};
}

bool TProgetto::CheckSignalDifference(TCella*& lowest, TCella*& highest, int32_t& band) {
    if (!NetworkGrid || !NetworkGrid->Anchor || !NetworkGrid->FirstOutlet) return true;
    NetworkGrid->Anchor->InitOutputMinLevels();
    RunSignalLevelPass();
    TCella* first = NetworkGrid->FirstOutlet;
    const int32_t bands = std::min(TCella::CalculationBandCount(), static_cast<int32_t>(BandSlots));
    // One walk over the outlets finds the lowest and the highest of every
    // band at once (a walk per band reads every outlet again from memory);
    // each band keeps its own running pair, so the outlets found are those
    // of a walk per band. Band 0, the return channel, is not compared.
    struct TExtremes {
        TCella* Lowest;
        TCella* Highest;
        float Low;
        float High;
    };
    std::array<TExtremes, BandSlots> extremes{};
    for (int32_t b = 1; b < bands; ++b) {
        const float level = SocketMin(first, b);
        extremes[static_cast<size_t>(b)] = TExtremes{first, first, level, level};
    }
    for (TCella* outlet = first->NextOutlet; outlet; outlet = outlet->NextOutlet) {
        const TFinestreBande* socket = SocketRow(outlet);
        for (int32_t b = 1; b < bands; ++b) {
            const float level = socket ? (*socket)[static_cast<size_t>(b)].Min : LevelNone;
            TExtremes& e = extremes[static_cast<size_t>(b)];
            if (level >= 0.0f && (e.Low < 0.0f || level < e.Low)) {
                e.Lowest = outlet;
                e.Low = level;
            }
            if (level > e.High) {
                e.Highest = outlet;
                e.High = level;
            }
        }
    }
    for (band = 1; band < bands; ++band) {
        const TExtremes& e = extremes[static_cast<size_t>(band)];
        lowest = e.Lowest;
        highest = e.Highest;
        if (e.Low >= 0.0f && Difference(e.High, e.Low) > Limit(band, LimitDiffMax)) return false;
    }
    return true;
}

void TProgetto::ComputeOutletAttenuations(TAttenuazioniPrese& result) {
    if (!NetworkGrid || !NetworkGrid->Anchor) return;
    TCella* headEnd = NetworkGrid->Anchor;
    const int32_t lines = std::min(headEnd->NumThroughOutputs, HeadEndLinesMax);
    const int32_t bands = TCella::CalculationBandCount();
    for (int32_t line = 0; line < lines; ++line) {
        for (int32_t b = 0; b < BandSlots; ++b) {
            result.LeastAttenuation[line][b] = ProbeLevel;
            result.GreatestAttenuation[line][b] = LevelNone;
        }
        // One line fed alone at a time.
        headEnd->SelectOutputLevel(line);
        RunSignalLevelPass();
        for (TCella* outlet = NetworkGrid->FirstOutlet; outlet; outlet = outlet->NextOutlet) {
            const TFinestreBande* socket = SocketRow(outlet);
            if (!socket) continue;
            for (int32_t b = 0; b < bands; ++b) {
                const TFinestra& w = (*socket)[static_cast<size_t>(b)];
                const float max = w.Max;
                if (max >= 0.0f) {
                    const float least = Difference(ProbeLevel, max);
                    if (least < result.LeastAttenuation[line][b]) {
                        result.LeastAttenuation[line][b] = least;
                        result.LeastAt[line][b] = outlet->SequenceNumber;
                    }
                }
                const float min = w.Min;
                if (min >= 0.0f) {
                    const float greatest = Difference(ProbeLevel, min);
                    if (greatest > result.GreatestAttenuation[line][b]) {
                        result.GreatestAttenuation[line][b] = greatest;
                        result.GreatestAt[line][b] = outlet->SequenceNumber;
                    }
                }
            }
        }
    }
}

// Every accumulator of the band holds "none" before a search but those the
// search writes. After a cell went or came, or on another grid, every cell is
// cleared; otherwise (after an analysis too) only the cells the band's
// previous search wrote.
void TProgetto::ComputeOutletSeparation(TCella* source, int32_t band, int32_t flags) {
    if (!NetworkGrid || !source || band < 0 || band >= BandSlots) return;
    if (separationGrid_ != NetworkGrid) {
        for (auto& writes : separationWrites_) writes.Epoch = 0;
        separationGrid_ = NetworkGrid;
    }
    TSeparationWrites& writes = separationWrites_[static_cast<size_t>(band)];
    TSeparationNetwork* network = SeparationNetwork();
    if (writes.Epoch == 0 || writes.CellEpoch != separation_log::CellEpoch) {
        for (TCella* cell = NetworkGrid->Anchor; cell; cell = cell->NextCell)
            cell->ClearBandAccumulators(band);
        if (network) network->ClearBand(band);
    } else if (!network || !network->ClearBand(band)) {
        // What a copy of the network that is no longer current put into the
        // cells, the list names.
        for (TCella* cell : writes.Cells) cell->ClearBandAccumulators(band);
    }
    writes.Cells.clear();
    // Clearing may analyse a custom component's inside: the epochs move on,
    // though nothing the search reads has changed.
    writes.Epoch = separation_log::Epoch;
    writes.CellEpoch = separation_log::CellEpoch;
    const float limit = (flags & SeparationFlagNorm) ? Limit(band, LimitAttMin) : UnboundedSeparation;
    separation_log::TWriteScope scope(writes.Cells);
    if (separationRuns_ > 0) {
        if (!SeparationNetwork()) {
            // Made after the clearing: every accumulator of the band is clear.
            if (!separationNetwork_) separationNetwork_ = std::make_unique<TSeparationNetwork>();
            separationNetwork_->Build(*NetworkGrid);
            separationNetworkEpoch_ = separation_log::Epoch;
            separationNetworkGrid_ = NetworkGrid;
        }
        if (separationNetwork_->Search(source, band, limit)) return;
    }
    separation_log::NoteWrite(source);
    source->SeparationOutlet[band] = 0.0f;
    source->PushSeparation(source->NumThroughOutputs, band, limit);
}

TSeparationNetwork* TProgetto::SeparationNetwork() const {
    const bool current = separationRuns_ > 0 && separationNetwork_ &&
                         separationNetworkEpoch_ == separation_log::Epoch &&
                         separationNetworkGrid_ == NetworkGrid;
    return current ? separationNetwork_.get() : nullptr;
}

TProgetto::TSeparationRun::TSeparationRun(TProgetto& project) : project_(project) {
    ++project_.separationRuns_;
}

TProgetto::TSeparationRun::~TSeparationRun() {
    if (project_.separationRuns_ == 1) project_.WriteBackSeparation();
    // The copy is not trusted beyond the run: the next one makes its own.
    if (--project_.separationRuns_ == 0) project_.separationNetworkEpoch_ = 0;
}

void TProgetto::WriteBackSeparation() {
    // A copy made before the cells or the grid changed may point into cells
    // that are gone; what only it kept is lost, and the next search of each
    // band clears every cell.
    TSeparationNetwork* network = SeparationNetwork();
    if (!network) return;
    network->WriteBack([this](int32_t band, TCella* cell) {
        separationWrites_[static_cast<size_t>(band)].Cells.push_back(cell);
    });
}

bool TProgetto::SeparationWritesValid(int32_t bands) const {
    if (separationGrid_ != NetworkGrid) return false;
    for (int32_t b = 0; b < bands; ++b)
        if (separationWrites_[static_cast<size_t>(b)].Epoch != separation_log::Epoch) return false;
    return true;
}

namespace {
bool BelowNorm(const TCella& outlet, int32_t band) {
    const float v = outlet.SeparationOutlet[band];
    return v >= 0.0f && static_cast<double>(Limit(band, LimitAttMin)) - SeparationTolerance > v;
}
}  // namespace

bool TProgetto::CheckOutletSeparation(TCella* source, TCella*& other, int32_t& band) {
    const int32_t bands = TCella::CalculationBandCount();
    TCella* first = NetworkGrid ? NetworkGrid->FirstOutlet : nullptr;
    if (first && SeparationWritesValid(bands)) {
        // Only a cell the searches wrote holds a value: of the outlets among
        // them, the first below the norm in the outlet chain.
        TCella* found = nullptr;
        int32_t foundIndex = 0;
        const TSeparationNetwork* network = SeparationNetwork();
        for (int32_t b = 0; b < bands; ++b) {
            // The copy of the network knows the outlets it wrote and their place.
            const double norm = static_cast<double>(Limit(b, LimitAttMin)) - SeparationTolerance;
            if (network &&
                network->ForEachOutletWritten(b, source, [&](TCella* cell, int32_t index, float v) {
                    if (v >= 0.0f && norm > v && (!found || index < foundIndex)) {
                        found = cell;
                        foundIndex = index;
                    }
                }))
                continue;
            if (outletOrderEpoch_ != separation_log::Epoch) {
                outletOrder_.clear();
                int32_t index = 0;
                for (TCella* o = first; o; o = o->NextOutlet) outletOrder_.emplace(o, index++);
                outletOrderEpoch_ = separation_log::Epoch;
            }
            for (TCella* cell : separationWrites_[static_cast<size_t>(b)].Cells) {
                if (cell == source || !BelowNorm(*cell, b)) continue;
                const auto at = outletOrder_.find(cell);
                if (at == outletOrder_.end() || (found && at->second >= foundIndex)) continue;
                found = cell;
                foundIndex = at->second;
            }
        }
        if (!found) {
            other = nullptr;
            // The band is left where a walk over every outlet would leave it.
            if (first != source || first->NextOutlet) band = bands;
            return true;
        }
        other = found;
        for (band = 0; band < bands; ++band)
            if (BelowNorm(*other, band)) return false;
    }
    for (other = first; other; other = other->NextOutlet) {
        if (other == source) continue;
        for (band = 0; band < bands; ++band)
            if (BelowNorm(*other, band)) return false;
    }
    return true;
}
