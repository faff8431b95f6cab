// The head-end builder: the terrestrial and the satellite head ends and the
// split blocks of both kinds are drawn in work grids, stacked above the
// terminal of the project's head-end grid, and every exit is joined by cable
// runs (through LNBs for multiswitch lines) to the terminal's lines.
#include "cells/head_end.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

#include "autodesign/drawing_names.h"
#include "autodesign/engine.h"
#include "cells/cables.h"
#include "cells/splitters.h"
#include "core/cell_codes.h"
#include "core/info.h"
#include "core/libraries.h"
#include "core/reporter.h"
#include "document/circuit_errors.h"
#include "document/grid.h"
#include "document/project.h"

namespace {

constexpr int32_t SplitGridColumns = 200;
constexpr int32_t SplitGridRows = 50;
constexpr int32_t TerColumn = 3, TerRow = 64;
constexpr int32_t SatColumn = 14, SatRow = 47;
constexpr int32_t ExitFromSide = 2;
constexpr int32_t SplitOfTen = 10;        // ten multiswitch lines: the terrestrial line feeds two outputs
constexpr double LevelTolerance = 0.001;  // dB

// The spacings of the stack: rows (and columns right of a block) kept free
// around a head end, columns between the two split blocks, and the room the
// grid keeps beside the split blocks and beside the terrestrial head end.
constexpr int32_t BlockGap = 5;
constexpr int32_t SplitBlockGap = 4;
constexpr int32_t SplitBlocksMargin = 40;
constexpr int32_t HeadEndMargin = 32;
// The rows above the split blocks' band where the runs into their chains
// turn: the first run on the second row, a second one on the third.
constexpr int32_t FirstFeedBend = 2, SecondFeedBend = 3;
// An LNB stands this many rows above the first row its lines turn on (or,
// with straight lines, above the terminal).
constexpr int32_t LnbRise = 4;

// A block of a work grid: its used rectangle and where it went on the head-end grid.
struct TBlock {
    TCellRect used{};
    int32_t w = 0, h = 0;
    int32_t left = 0, top = 0;  // on the head-end grid
    void Measure(const TGridData& grid) {
        used = grid.GetUsedArea();
        w = std::max(0, used.Right - used.Left + 1);
        h = std::max(0, used.Bottom - used.Top + 1);
    }
    bool Drawn() const { return w > 0; }
    int32_t dx() const { return left - used.Left; }
    int32_t dy() const { return top - used.Top; }
};

bool IsAmplifier(const TCella& cell) {
    switch (cell.TypeCode) {
    case CodeAmplificatore:
    case CodeAmplificatoreRegolato:
    case CodeAmplificatoreA:
    case CodeTerrestre:
    case CodeAmplificatoreAt: return cell.Attenuation != nullptr;
    default: return false;
    }
}

// How the head end's exits reach the terminal.
enum class TJoining {
    Terrestrial,             // the terrestrial network; the satellite on multiswitch lines or none
    Separate,                // terrestrial and satellite on runs of their own
    OneCable,                // one cable for both
    Satellite,               // the satellite network alone
    SwitchLines,             // multiswitch lines only, each from an LNB output
    TerrestrialSwitchLines,  // the terrestrial line (two with ten lines), then the LNB's
};

// Where the blocks went on the head-end grid, and the terminal's lines the
// joins go to.
struct THeadEndLayout {
    TGridData* Grid = nullptr;  // the project's head-end grid
    TTesta* Terminal = nullptr;
    TJoining Joining = TJoining::Terrestrial;
    TBlock Ter, Sat;            // the two head ends
    TBlock Split[SignalKinds];  // the split blocks of each kind
    std::unique_ptr<TGridData> SplitGrid[SignalKinds];
    int32_t Staircases = 1;
    int32_t SwitchLines = 0;  // multiswitch lines
    int32_t Lines = 0;        // the terminal's lines
    int32_t SplitTop = 0;     // the top row of the split blocks' band
    int32_t FreeColumn = 0;   // right of every block
    // Where each kind's run enters a split chain: the satellite's enters
    // the terrestrial chain's second line when only that chain is drawn.
    int32_t SplitEntry[SignalKinds] = {0, 0};
    int32_t OutputRow = 0;   // the row above the terminal
    int32_t NextOutput = 0;  // the column of the terminal's next free line
    // The rows the split blocks' fan-outs have taken for their bends: from
    // the output row up, and from the top of the bend band down.
    int32_t BendsFromBelow = 0, BendsFromAbove = 1;
    // The network grid's column under the terminal's first line.
    int32_t NetworkFirstLine = 0;
};

// Where a cable goes on from after leaving an exit.
struct TTurn {
    int32_t column, row;
};

// The head end on the project's head-end grid: the blocks drawn, stacked
// above the terminal and joined to its lines, one method per way of joining.
class THeadEndBuilder {
public:
    THeadEndBuilder(TCreaAuto& engine, TGridData& grid, TTesta& terminal) : engine(engine) {
        layout.Grid = &grid;
        layout.Terminal = &terminal;
    }
    // The two head ends and the split blocks, each in a work grid of its own.
    bool DrawBlocks();
    // The way of joining, and the terminal's lines when no network is designed.
    void CountLines();
    // The grid's size, and the blocks moved above the terminal.
    void Stack();
    // Every exit joined to the terminal's lines.
    bool Join();

private:
    bool JoinTerrestrial();
    void JoinSeparate();
    bool JoinOneCable();
    void JoinSatellite();
    bool JoinSwitchLines();
    bool JoinTerrestrialSwitchLines();
    // The parts of the joins on one cable: the terrestrial exit led to the
    // mixing column, the satellite exit mixed in by the mixer, or the
    // terrestrial run brought to the satellite head end.
    TTurn LeaveForMixing(bool mixer, bool twoLines);
    bool MixAtMixer(TTurn terrestrial, int32_t mixColumn);
    void BringToSatelliteExit(TTurn terrestrial, bool twoLines);
    // The terrestrial line split in two for ten multiswitch lines.
    bool SplitTerrestrialLine(TTurn from);

    // A cable turned towards column on a row next to an exit at exitColumn:
    // the row above a cable leaving upwards, the row below one leaving down.
    void TurnTowards(int32_t exitColumn, int32_t row, int32_t column, bool below);
    // The exit of a block: a segment on the exit; an exit reached from the
    // side leaves on the row above it towards the nearer edge of the block
    // (the left one when leftOnly).
    TTurn LeaveBlock(int kind, const TBlock& block, bool leftOnly);
    // The exit led to column beside the blocks: on the row above an exit
    // reached from the side, else on the row below.
    TTurn LeaveBeside(int kind, int32_t column);
    // A run to the terminal's next free line, turning on row bend.
    void ToNextOutput(TTurn from, int32_t bend);
    // A run into a split chain entering at column above block, turning
    // bendAbove rows above the split blocks' band.
    void IntoSplitChain(TTurn from, int32_t column, const TBlock& block, int32_t bendAbove);
    // The split blocks' outputs fanned out to the next terminal lines.
    void FanOut(int kind, const TBlock& block);
    // The multiswitch lines from line `from` on, each from an output of an
    // LNB at lnbColumn (outputs asked of it), LnbRise rows above bendRow, to
    // the terminal's lines from the next free one on; turning, line k turns
    // on bendRow + k, else the lines go straight down.
    bool DrawSwitchLines(int32_t lnbColumn, int32_t bendRow, int32_t outputs, int32_t from, bool turning);
    // The cable on the network grid's first row at column, if any.
    TNCavo* NetworkCable(int32_t column) const;
    // The length from the LNB to the top floor, or to the head end alone when
    // the network starts with a short joint beside the first line; taken once
    // for all the lines, before any of them is set.
    float SwitchLineLength(int32_t firstColumn) const;
    // The lines take their whole length, from the LNB on, before the LNB is
    // chosen: it must deliver what these lines need at the terminal over
    // that length, not what the network needed from the head end on.
    void LengthenSwitchLines(int32_t firstColumn, int32_t from, float length);

    TNCavo* TerCable() const { return engine.Cables[CableRiserTer].get(); }
    TNCavo* SatCable() const { return engine.Cables[CableRiserSat].get(); }
    float Joint() const { return engine.Settings->APLungCavoComp; }

    TCreaAuto& engine;
    THeadEndLayout layout;
};

}  // namespace

bool TCreaAuto::BuildHeadEnd() {
    TerrestrialFinals = true;
    // What a design uses up or moves, for a second one to start from the
    // same place: the antennas go onto the head end as they are placed, the
    // required levels follow the multiswitch lines' full length, and the
    // network's amplifiers regulate to the head end's levels.
    const int32_t antennas = std::clamp(AntennaCount, 0, static_cast<int32_t>(std::size(Antennas)));
    std::vector<std::unique_ptr<TCella>> kept(static_cast<size_t>(antennas));
    for (int32_t a = 0; a < antennas; ++a)
        if (Antennas[a].Cell) kept[a] = std::unique_ptr<TCella>{Antennas[a].Cell->Clone()};
    const float requiredTer = RequiredLevelTer, requiredSat = RequiredLevelSat;
    std::vector<std::pair<TCella*, std::unique_ptr<TInfo>>> regulated;
    for (TCella* cell = Project && Project->NetworkGrid ? Project->NetworkGrid->Anchor : nullptr; cell;
         cell = cell->NextCell)
        if (IsAmplifier(*cell)) {
            auto table = std::make_unique<TInfo>(cell->Attenuation->Rank());
            table->Assign(*cell->Attenuation);
            regulated.emplace_back(cell, std::move(table));
        }
    if (!DesignHeadEnd()) return false;
    // The wideband amplifier regulates itself down to the outlets' maximum
    // as far as its regulation goes, and the designer takes off what a
    // digital channel still stands above its window: a network that takes
    // less still would be overdriven, and none of the chosen amplifiers
    // serves it. The message says what stops it.
    // Coming down to the outlets' maximum may leave the farthest ones under
    // their minimum: no setting of this amplifier serves them both, and the
    // modular head end, which sets each channel on its own, is the way out.
    if (Settings->Wideband && Settings->Terrestrial) {
        // Before any regulation the amplifier gives all it can: an outlet
        // short then is short of what the antennas, the gain and the losses
        // of the head end around the amplifier bring to the network.
        if (const double shortfall = TerrestrialMisfit().under; shortfall > LevelTolerance) {
            Report(
                "Nessun amplificatore a larga banda selezionabile. La rete richiede in testa " +
                FormatFloat("0.00", RequiredLevelTer) +
                " dBµV, le antenne con il guadagno degli amplificatori e le perdite della centrale ne danno "
                "al più " +
                FormatFloat("0.00", RequiredLevelTer - shortfall) + ". Scegliere \"Modulare\".");
            return false;
        }
        const AnsiString reason = RegulateWidebandInputs();
        const TLevelMisfit misfit = TerrestrialMisfit();
        if (misfit.over > LevelTolerance || misfit.under > LevelTolerance) {
            Report("Nessun amplificatore a larga banda selezionabile." +
                   (reason.empty() ? AnsiString() : " " + reason) + " Scegliere \"Modulare\".");
            return false;
        }
        if (const AnsiString overload = ActiveOverload(true); !overload.empty()) {
            Report("Nessun amplificatore a larga banda selezionabile. " + overload +
                   " Scegliere \"Modulare\".");
            return false;
        }
    }
    // A final amplifier has a gain it cannot regulate away: on a network that
    // takes less than the filters at their lowest setting and the final at
    // its full regulation give, the outlets of the design would be
    // overdriven. When the family's filters reach the need on their own, such
    // a head end is built again from the filters alone, which come down
    // further; if that cannot be built, or leaves an outlet short, the first
    // one stands.
    const TFamiglia* family =
        ChosenFamily[0] >= 0 && ChosenFamily[0] < FamiliesMax ? &FamilyTer[ChosenFamily[0]] : nullptr;
    if (Settings->Wideband || !family || family->Variant != 0 || family->ModuleLevel < RequiredLevelTer)
        return true;
    const TLevelMisfit withFinals = TerrestrialMisfit();
    if (!(withFinals.over > LevelTolerance)) return true;
    auto again = [&] {
        TGridData& grid = *Project->HeadEndGrid;
        grid.RemoveCellsIn(TCellRect{0, 0, grid.Rows - 1, grid.Columns - 1}, false, 0);
        for (int32_t a = 0; a < antennas; ++a)
            Antennas[a].Cell =
                kept[a] ? std::unique_ptr<TCella>{kept[a]->Clone()} : std::unique_ptr<TCella>{};
        RequiredLevelTer = requiredTer;
        RequiredLevelSat = requiredSat;
        for (const auto& [cell, table] : regulated) cell->Attenuation->Assign(*table);
        return DesignHeadEnd();
    };
    // The message of a design given up is not the run's.
    TerrestrialFinals = false;
    bool rebuilt = false;
    {
        const TReporterOff quiet(Reporter);
        rebuilt = again();
    }
    TerrestrialFinals = true;
    if (rebuilt) {
        const TLevelMisfit alone = TerrestrialMisfit();
        if (!(alone.under > std::max(withFinals.under, LevelTolerance))) return true;
    }
    return again();
}

bool TCreaAuto::DesignHeadEnd() {
    TGridData* grid = Project ? Project->HeadEndGrid : nullptr;
    auto* terminal = grid ? dynamic_cast<TTesta*>(grid->Anchor) : nullptr;
    if (!terminal) {
        Report(DrawingFailedMessage("la griglia \"Testa\" non ha il terminale di testa"));
        return false;
    }
    THeadEndBuilder builder(*this, *grid, *terminal);
    if (!builder.DrawBlocks()) return false;
    builder.CountLines();
    builder.Stack();
    if (!builder.Join()) return false;

    // Terminations, analysis and the filters' levels.
    grid->ChooseTerminations(Components->head);
    // A drawing that does not analyse is no design: say so, as the network does.
    if (!grid->Analyse(true)) {
        AnsiString step = "la centrale di testa disegnata non supera il controllo dei collegamenti";
        if (const TErroreCircuito* e = Reporter ? Reporter->PendingError() : nullptr) {
            AnsiString why = CircuitErrorMessage(e->Kind);
            if (!why.empty() && why[why.size() - 1] == '.') why.resize(why.size() - 1);
            if (!why.empty()) {
                why[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(why[0])));
                step += " (" + why + ")";
            }
        }
        Report(DrawingFailedMessage(step));
        return false;
    }
    AdjustHeadEndLevels();
    return true;
}

namespace {

bool THeadEndBuilder::DrawBlocks() {
    if (!engine.Settings->Wideband) {
        engine.WidebandSupply = nullptr;
        engine.WidebandSupplyNeeded = 0;
    }
    engine.ChooseHeadEndFamilies();
    TGridData* ter = engine.WorkGrids[0].get();
    TGridData* sat = engine.WorkGrids[1].get();
    ter->Clear();
    sat->Clear();
    if (!engine.DesignTerrestrialHeadEnd(TerColumn, TerRow, ter) ||
        !engine.DesignSatIfHeadEnd(SatColumn, SatRow, sat))
        return false;
    layout.Ter.Measure(*ter);
    layout.Sat.Measure(*sat);

    engine.SplitLines = 1;
    for (int k = 0; k < SignalKinds; ++k) {
        engine.SplitEntryColumn[k] = engine.SplitSpacing[k] = 0;
        engine.SplitOutputColumn[k].clear();
    }
    for (auto& grid : layout.SplitGrid)
        grid = std::make_unique<TGridData>(nullptr, SplitGridColumns, SplitGridRows, GridWork);
    if (!engine.SelectSplitAmplifiers(layout.SplitGrid[0].get(), 0) ||
        !engine.SelectSplitAmplifiers(layout.SplitGrid[1].get(), 1))
        return false;
    for (int k = 0; k < SignalKinds; ++k) layout.Split[k].Measure(*layout.SplitGrid[k]);
    return true;
}

void THeadEndBuilder::CountLines() {
    // The lines the joining uses; a head end designed without its network
    // gives the terminal that many lines (the network builder sets them otherwise).
    layout.Staircases = std::clamp(engine.Settings->Building->StaircaseCount, 1, DesignStaircasesMax);
    layout.SwitchLines = engine.LineCount[1];
    const int32_t switchLines = layout.SwitchLines;
    auto fanOutCount = [this](int kind) {
        if (!layout.Split[kind].Drawn()) return 1;
        int32_t count = 0;
        for (int32_t g = 0; g < layout.Staircases; ++g) count += engine.RiserBreakCount[g][kind] + 1;
        return count;
    };
    const bool ter = engine.TapNetwork[0] != 0, sat = engine.TapNetwork[1] != 0;
    int32_t needed = 1;
    if (ter && !sat && !engine.CarriesSat[0]) {
        layout.Joining = TJoining::Terrestrial;
        needed = fanOutCount(0) + (engine.MultiswitchSat ? switchLines : 0);
    } else if (ter && engine.Settings->SeparateDistributions) {
        layout.Joining = TJoining::Separate;
        needed = fanOutCount(0) + fanOutCount(1);
    } else if (ter) {
        layout.Joining = TJoining::OneCable;
        needed = layout.Split[0].Drawn() ? fanOutCount(0) : 1;
    } else if (sat) {
        layout.Joining = TJoining::Satellite;
        needed = fanOutCount(1);
    } else {
        layout.Joining = switchLines % 2 == 0 && switchLines != SplitOfTen ? TJoining::SwitchLines
                                                                           : TJoining::TerrestrialSwitchLines;
        needed = switchLines;
    }
    TTesta& terminal = *layout.Terminal;
    if (!engine.Settings->DesignNetwork && terminal.Lines() < needed) terminal.SetLineCount(needed);
    layout.Lines = terminal.Lines();
}

void THeadEndBuilder::Stack() {
    TGridData& grid = *layout.Grid;
    TBlock &ter = layout.Ter, &sat = layout.Sat, &splitTer = layout.Split[0], &splitSat = layout.Split[1];
    const int32_t splitHeight = std::max(splitTer.h, splitSat.h);
    const int32_t needW = std::max(splitTer.w + splitSat.w + SplitBlocksMargin, ter.w + HeadEndMargin);
    int32_t needH = layout.Lines + splitHeight + BlockGap;
    if (sat.h > 0) needH += sat.h + BlockGap;
    if (ter.h > 0) needH += ter.h + BlockGap;
    if (grid.Columns < needW || grid.Rows < needH)
        grid.Resize(std::max(needW, grid.Columns), std::max(needH, grid.Rows));

    // The blocks stacked upwards from the terminal: over the rows the
    // fan-outs and multiswitch lines turn on, the split blocks, then the
    // satellite and the terrestrial head ends.
    const int32_t terminalColumn = layout.Terminal->Column, terminalRow = layout.Terminal->Row;
    const int32_t lines = layout.Lines, switchLines = layout.SwitchLines;
    int32_t y = engine.MultiswitchSat ? terminalRow - 2 * (switchLines / 2) - (2 * (lines - switchLines)) / 3
                                      : terminalRow - (2 * lines) / 3 - 1;
    layout.SplitTop = y;
    if (splitTer.h > 0 || splitSat.h > 0) {
        y -= splitHeight;
        layout.SplitTop = y;
    }
    layout.FreeColumn = terminalColumn;
    auto move = [&grid](TGridData* from, TBlock& block, int32_t left, int32_t top) {
        block.left = left;
        block.top = top;
        TGridData::MoveBlock(from, block.used, &grid, left, top, false);
    };
    TBlock* headEnds[SignalKinds] = {&ter, &sat};
    for (int k : {1, 0}) {
        TBlock& block = *headEnds[k];
        if (!block.Drawn()) continue;
        y -= block.h + BlockGap;
        move(engine.WorkGrids[k].get(), block, (grid.Columns - block.w) / 2, y);
        engine.ExitColumn[k] += block.dx();
        engine.ExitRow[k] += block.dy();
        layout.FreeColumn = std::max(layout.FreeColumn, block.left + block.w + BlockGap);
    }

    // The split blocks side by side, their bottoms aligned on the band's.
    int32_t left[SignalKinds], top[SignalKinds] = {layout.SplitTop, layout.SplitTop};
    if (!splitTer.Drawn() || !splitSat.Drawn()) {
        left[0] = (grid.Columns - splitTer.w) / 2;
        left[1] = (grid.Columns - splitSat.w) / 2;
    } else {
        left[0] = (grid.Columns - splitTer.w - splitSat.w - SplitBlockGap) / 2;
        left[1] = left[0] + splitTer.w + SplitBlockGap;
        top[0] = layout.SplitTop + splitHeight - splitTer.h;
        top[1] = layout.SplitTop + splitHeight - splitSat.h;
    }
    for (int k = 0; k < SignalKinds; ++k) {
        TBlock& block = layout.Split[k];
        if (!block.Drawn()) continue;
        move(layout.SplitGrid[k].get(), block, left[k], top[k]);
        layout.SplitEntry[k] = engine.SplitEntryColumn[k] + block.dx();
        if (k == 0 && !splitSat.Drawn()) layout.SplitEntry[1] = engine.SplitEntryColumn[1] + block.dx();
        layout.FreeColumn = std::max(layout.FreeColumn, left[k] + block.w + SplitBlockGap);
    }
    for (auto& splitGrid : layout.SplitGrid) splitGrid.reset();
}

bool THeadEndBuilder::Join() {
    engine.CableTemplate->Owner = layout.Grid;
    const TTesta& terminal = *layout.Terminal;
    layout.NextOutput = terminal.Column + 1;
    layout.OutputRow = terminal.Row - 1;
    const TGridData* network = engine.Project->NetworkGrid;
    layout.NetworkFirstLine = (network && network->Anchor ? network->Anchor->Column : terminal.Column) + 1;
    switch (layout.Joining) {
    case TJoining::Terrestrial: return JoinTerrestrial();
    case TJoining::Separate: JoinSeparate(); return true;
    case TJoining::OneCable: return JoinOneCable();
    case TJoining::Satellite: JoinSatellite(); return true;
    case TJoining::SwitchLines: return JoinSwitchLines();
    case TJoining::TerrestrialSwitchLines: return JoinTerrestrialSwitchLines();
    }
    return true;
}

// ---- The ways of joining ----

bool THeadEndBuilder::JoinTerrestrial() {
    const TBlock& split = layout.Split[0];
    const int32_t outputRow = layout.OutputRow, switchLines = layout.SwitchLines;
    engine.SetCableTemplate(TerCable(), split.Drawn() ? Joint() : CableLengthUncounted);
    const TTurn exit = LeaveBlock(0, layout.Ter, false);
    if (!split.Drawn()) {
        ToNextOutput(exit, engine.MultiswitchSat ? outputRow - switchLines - 2 : outputRow - 3);
    } else {
        IntoSplitChain(exit, layout.SplitEntry[0], split, FirstFeedBend);
        FanOut(0, split);
    }
    if (!engine.MultiswitchSat) return true;
    return DrawSwitchLines(std::max(layout.FreeColumn, layout.NextOutput), layout.Terminal->Row - switchLines,
                           switchLines, 0, true);
}

void THeadEndBuilder::JoinSeparate() {
    const TBlock &splitTer = layout.Split[0], &splitSat = layout.Split[1];
    const int32_t outputRow = layout.OutputRow;
    int32_t terColumn = std::min(layout.Ter.left - 1, layout.Sat.left - 2);
    if (!splitTer.Drawn() && splitSat.Drawn()) terColumn = std::min(terColumn, splitSat.left - 1);
    engine.SetCableTemplate(TerCable(), splitTer.Drawn() ? Joint() : CableLengthUncounted);
    const TTurn ter = LeaveBeside(0, terColumn);
    if (!splitTer.Drawn()) {
        // The terrestrial run turns on the output row: the satellite's turn
        // above it, or a fan-out coming down left of the terminal would
        // turn into it.
        layout.BendsFromBelow = splitSat.Drawn() ? 1 : 2;
        ToNextOutput(ter, outputRow);
    } else {
        IntoSplitChain(ter, layout.SplitEntry[0], splitTer, FirstFeedBend);
        FanOut(0, splitTer);
    }

    int32_t satColumn = layout.Sat.left - 1;
    if (splitTer.Drawn() && !splitSat.Drawn()) satColumn = std::min(satColumn, splitTer.left - 1);
    engine.SetCableTemplate(SatCable(), splitSat.Drawn() ? Joint() : CableLengthUncounted);
    TTurn sat{};
    if (engine.ExitKind[1] == ExitFromSide || splitTer.Drawn() || splitSat.Drawn()) {
        sat = LeaveBeside(1, satColumn);
    } else {
        const int32_t x = engine.ExitColumn[1], y = engine.ExitRow[1];
        engine.PlaceCableSegmentV(x, y);
        sat = {x, y + 1};
    }
    if (!splitSat.Drawn()) {
        ToNextOutput(sat, outputRow - layout.BendsFromBelow);
    } else {
        IntoSplitChain(sat, layout.SplitEntry[1], splitSat, SecondFeedBend);
        FanOut(1, splitSat);
    }
}

bool THeadEndBuilder::JoinOneCable() {
    // Split blocks with a line of each kind take the two signals apart, so
    // they are not mixed first.
    const TBlock& split = layout.Split[0];
    const bool twoLines = engine.SplitLines == 2;
    const bool mixer = !(split.Drawn() && twoLines) && engine.MixerCell;
    const TTurn ter = LeaveForMixing(mixer, twoLines);
    engine.SetCableTemplate(TerCable(), split.Drawn() || mixer ? Joint() : CableLengthUncounted);
    const int32_t sx = engine.ExitColumn[1], sy = engine.ExitRow[1];
    engine.PlaceCableSegmentV(sx, sy);
    TTurn sat{layout.Sat.left - 1, sy};
    if (mixer) {
        if (!MixAtMixer(ter, ter.column + 1)) return false;
        sat.column = ter.column + 1;
    } else {
        if (engine.ExitKind[1] == ExitFromSide)
            TurnTowards(sx, sy - 1, sat.column, false);
        else
            sat = {sx, sy + 1};
        engine.SetCableTemplate(TerCable(), Joint());
        BringToSatelliteExit(ter, twoLines);
    }
    if (!split.Drawn()) {
        engine.SetCableTemplate(TerCable(), CableLengthUncounted);
        ToNextOutput(sat, layout.OutputRow - 2);
    } else {
        IntoSplitChain(sat, layout.SplitEntry[twoLines ? 1 : 0], split, SecondFeedBend);
        FanOut(0, split);
    }
    return true;
}

TTurn THeadEndBuilder::LeaveForMixing(bool mixer, bool twoLines) {
    const TBlock &ter = layout.Ter, &sat = layout.Sat;
    const bool splitTwoLines = layout.Split[0].Drawn() && twoLines;
    int32_t column = std::min({ter.left - 1, sat.left - 2, engine.ExitColumn[1] - 2});
    if (mixer) column = std::min(column, sat.left - 3);
    engine.SetCableTemplate(TerCable(), Joint());
    const int32_t ex = engine.ExitColumn[0], ey = engine.ExitRow[0];
    engine.PlaceCableSegmentV(ex, ey);
    if (engine.ExitKind[0] != ExitFromSide) {
        if (!splitTwoLines && !mixer) return {ex, ey + 1};
        TurnTowards(ex, ey + 1, column, true);
        return {column, ey + 2};
    }
    if (!(engine.ExitKind[1] == ExitFromSide || splitTwoLines || mixer))
        column = std::max(ter.left + ter.w, sat.left + sat.w) + 1;
    TurnTowards(ex, ey - 1, column, false);
    return {column, ey};
}

bool THeadEndBuilder::MixAtMixer(TTurn ter, int32_t mixColumn) {
    // The satellite reaches the mixer's right side on the row above its exit.
    const int32_t sx = engine.ExitColumn[1], sy = engine.ExitRow[1];
    const int32_t mixRow = sy - 1;
    if (engine.ExitKind[1] == ExitFromSide) {
        engine.PlaceCableSegmentEx(sx, mixRow, BendLeftBottom);
        engine.DrawCableRun(mixColumn + 1, mixRow, sx - 1, mixRow, NoBend, RunHorizontalFirst);
    } else {
        // Below the exit, left round the satellite head end and up.
        const int32_t up = layout.Sat.left - 1;
        engine.PlaceCableSegmentEx(sx, sy + 1, BendLeftTop);
        engine.DrawCableRun(up + 1, sy + 1, sx - 1, sy + 1, NoBend, RunHorizontalFirst);
        engine.PlaceCableSegmentEx(up, sy + 1, BendRightTop);
        engine.PlaceCableSegmentV(up, sy);
        engine.PlaceCableSegmentEx(up, mixRow, BendLeftBottom);
        engine.DrawCableRun(mixColumn + 1, mixRow, up - 1, mixRow, NoBend, RunHorizontalFirst);
    }
    engine.SetCableTemplate(TerCable(), Joint());
    if (!engine.PlaceClone(engine.MixerCell, mixColumn, mixRow, 0, layout.Grid)) return false;
    // The terrestrial run comes down to the mixer's left side.
    engine.DrawCableRun(ter.column, ter.row, ter.column, mixRow - 1, NoBend, RunVerticalFirst);
    engine.PlaceCableSegmentEx(ter.column, mixRow, BendRightTop);
    return true;
}

void THeadEndBuilder::BringToSatelliteExit(TTurn ter, bool twoLines) {
    const int32_t sx = engine.ExitColumn[1], sy = engine.ExitRow[1];
    if (layout.Split[0].Drawn() && twoLines) {
        IntoSplitChain(ter, layout.SplitEntry[0], layout.Split[0], FirstFeedBend);
    } else if (engine.ExitKind[1] != ExitFromSide) {
        // Into the satellite final's terrestrial input, from below.
        engine.DrawCableRun(ter.column, ter.row, sx + 4, sy, ter.row, RunVerticalFirst);
        engine.PlaceCableSegmentEx(sx + 4, sy + 1, BendLeftTop);
        engine.DrawCableRun(sx + 3, sy + 1, sx + 3, sy + 1, NoBend, RunHorizontalFirst);
        engine.PlaceCableSegmentEx(sx + 2, sy + 1, BendRightTop);
        engine.PlaceCableSegmentV(sx + 2, sy);
    } else {
        engine.DrawCableRun(ter.column, ter.row, sx - 2, sy, engine.Settings->Wideband ? ter.row : sy - 2,
                            RunVerticalFirst);
    }
}

void THeadEndBuilder::JoinSatellite() {
    const TBlock& split = layout.Split[1];
    engine.SetCableTemplate(SatCable(), split.Drawn() ? Joint() : CableLengthUncounted);
    const TTurn exit = LeaveBlock(1, layout.Sat, true);
    if (!split.Drawn()) {
        ToNextOutput(exit, layout.OutputRow - 2);
    } else {
        IntoSplitChain(exit, layout.SplitEntry[1], split, FirstFeedBend);
        FanOut(1, split);
    }
}

bool THeadEndBuilder::JoinSwitchLines() {
    return DrawSwitchLines(layout.NextOutput, layout.Terminal->Row, layout.SwitchLines, 0, false);
}

bool THeadEndBuilder::JoinTerrestrialSwitchLines() {
    const int32_t switchLines = layout.SwitchLines, outputRow = layout.OutputRow;
    engine.SetCableTemplate(TerCable(), CableLengthUncounted);
    const TTurn exit = LeaveBlock(0, layout.Ter, false);
    const int32_t terLines = switchLines == SplitOfTen ? 2 : 1;
    if (terLines == 2) {
        if (!SplitTerrestrialLine(exit)) return false;
    } else {
        engine.DrawCableRun(exit.column, exit.row, layout.NextOutput, outputRow, outputRow - switchLines - 2,
                            RunVerticalFirst);
    }
    // The LNB serves the lines after the terrestrial ones, right of them.
    return DrawSwitchLines(std::max(layout.FreeColumn, layout.NextOutput + terLines),
                           layout.Terminal->Row - switchLines, 2 * ((switchLines - 1) / 2), terLines, true);
}

bool THeadEndBuilder::SplitTerrestrialLine(TTurn from) {
    // A splitter two rows above the terminal feeds its next two lines.
    const int32_t column = layout.NextOutput, outputRow = layout.OutputRow;
    const int32_t splitterRow = outputRow - 2;
    engine.DrawCableRun(from.column, from.row, column, splitterRow - 1, outputRow - layout.SwitchLines - 2,
                        RunVerticalFirst);
    if (auto* cable = dynamic_cast<TNCavo*>(layout.Grid->CellAt(column, splitterRow - 1)))
        cable->Notify(Joint(), TDirection::Up);
    auto splitter = std::make_unique<TDivisore>(nullptr, 0, 0, column, splitterRow, 1, 2);
    splitter->FindModelForAttenuation(engine.Components->head, BandSlotTer, true, false);
    if (!engine.PlaceNew(std::move(splitter), layout.Grid)) return false;
    engine.PlaceCableSegmentEx(column + 1, splitterRow, BendLeftBottom);
    engine.PlaceCableSegmentV(column + 1, outputRow - 1);
    engine.PlaceCableSegmentV(column + 1, outputRow);
    engine.PlaceCableSegmentEx(column - 1, splitterRow, BendRightBottom);
    engine.PlaceCableSegmentEx(column - 1, outputRow - 1, BendRightTop);
    engine.PlaceCableSegmentEx(column, outputRow - 1, BendLeftBottom);
    engine.PlaceCableSegmentV(column, outputRow);
    return true;
}

// ---- The pieces of the joins ----

void THeadEndBuilder::TurnTowards(int32_t exitColumn, int32_t row, int32_t column, bool below) {
    if (column == exitColumn) {
        engine.PlaceCableSegmentV(exitColumn, row);
        return;
    }
    const bool right = column > exitColumn;
    engine.PlaceCableSegmentEx(
        exitColumn, row,
        right ? (below ? BendRightTop : BendRightBottom) : (below ? BendLeftTop : BendLeftBottom));
    engine.DrawCableRun(right ? exitColumn + 1 : column + 1, row, right ? column - 1 : exitColumn - 1, row,
                        NoBend, RunHorizontalFirst);
    engine.PlaceCableSegmentEx(column, row, right ? BendLeftBottom : BendRightBottom);
}

TTurn THeadEndBuilder::LeaveBlock(int kind, const TBlock& block, bool leftOnly) {
    const int32_t ex = engine.ExitColumn[kind], ey = engine.ExitRow[kind];
    engine.PlaceCableSegmentV(ex, ey);
    if (engine.ExitKind[kind] != ExitFromSide) return {ex, ey + 1};
    const bool right = !leftOnly && (block.left + block.w) - ex < ex - block.left;
    const int32_t column = right ? block.left + block.w + 1 : block.left - 1;
    TurnTowards(ex, ey - 1, column, false);
    return {column, ey};
}

TTurn THeadEndBuilder::LeaveBeside(int kind, int32_t column) {
    const int32_t ex = engine.ExitColumn[kind], ey = engine.ExitRow[kind];
    engine.PlaceCableSegmentV(ex, ey);
    if (engine.ExitKind[kind] == ExitFromSide) {
        TurnTowards(ex, ey - 1, column, false);
        return {column, ey};
    }
    TurnTowards(ex, ey + 1, column, true);
    return {column, ey + 2};
}

void THeadEndBuilder::ToNextOutput(TTurn from, int32_t bend) {
    engine.DrawCableRun(from.column, from.row, layout.NextOutput, layout.OutputRow, bend, RunVerticalFirst);
    ++layout.NextOutput;
}

void THeadEndBuilder::IntoSplitChain(TTurn from, int32_t column, const TBlock& block, int32_t bendAbove) {
    engine.DrawCableRun(from.column, from.row, column, block.top - 1, layout.SplitTop - bendAbove,
                        RunVerticalFirst);
}

void THeadEndBuilder::FanOut(int kind, const TBlock& block) {
    const std::vector<int32_t>& columns = engine.SplitOutputColumn[kind];
    engine.SetCableTemplate(kind == 0 ? TerCable() : SatCable(), CableLengthUncounted);
    const int32_t outputRow = layout.OutputRow, bottom = block.top + block.h;
    int32_t& output = layout.NextOutput;
    size_t i = 0;
    for (int32_t g = 0; g < layout.Staircases; ++g)
        for (int32_t j = 0; j <= engine.RiserBreakCount[g][kind] && i < columns.size(); ++j, ++i, ++output) {
            const int32_t x = columns[i] + block.dx();
            // A run from the right turns on the next row down from the top
            // of the band, one from the left on the next row up from below.
            if (x > output) {
                engine.DrawCableRun(x, bottom, output, outputRow,
                                    outputRow - layout.Lines + layout.BendsFromBelow + layout.BendsFromAbove,
                                    RunVerticalFirst);
                ++layout.BendsFromAbove;
            } else {
                engine.DrawCableRun(x, bottom, output, outputRow, outputRow - layout.BendsFromBelow,
                                    RunVerticalFirst);
                ++layout.BendsFromBelow;
            }
        }
}

bool THeadEndBuilder::DrawSwitchLines(int32_t lnbColumn, int32_t bendRow, int32_t outputs, int32_t from,
                                      bool turning) {
    const int32_t switchLines = layout.SwitchLines;
    const int32_t first = layout.NetworkFirstLine + layout.NextOutput - (layout.Terminal->Column + 1);
    LengthenSwitchLines(first, from, SwitchLineLength(first));
    const int32_t lnbRow = bendRow - LnbRise;
    if (!engine.SelectLnb(lnbColumn, lnbRow, layout.Grid, outputs)) return false;
    for (int32_t k = from; k < switchLines; ++k) {
        engine.SetCableTemplateEx(SatCable(), CableLengthUncounted,
                                  k < LineTableSize ? engine.LineColour[k] : 0);
        engine.DrawCableRun(lnbColumn + k - from, lnbRow + 1, layout.NextOutput + k, layout.OutputRow,
                            turning ? bendRow + k : NoBend, RunVerticalFirst);
    }
    layout.NextOutput += switchLines;
    return true;
}

TNCavo* THeadEndBuilder::NetworkCable(int32_t column) const {
    TGridData* network = engine.Project->NetworkGrid;
    TCella* cell = network && network->Inside(column, 1) ? network->CellAt(column, 1) : nullptr;
    return cell && cell->TypeCode == CodeCable ? dynamic_cast<TNCavo*>(cell) : nullptr;
}

float THeadEndBuilder::SwitchLineLength(int32_t firstColumn) const {
    const TOpzProgetto& settings = *engine.Settings;
    const TScala& first = settings.Building->Staircases[0];
    if (TNCavo* next = NetworkCable(firstColumn + 1); next && next->PassAttenuation() == Joint())
        return static_cast<float>(settings.LnbHeadEndDistance);
    return static_cast<float>(settings.LnbHeadEndDistance + first.HeadEndDistance + first.TopFloorDistance);
}

void THeadEndBuilder::LengthenSwitchLines(int32_t firstColumn, int32_t from, float length) {
    const int32_t switchLines = layout.SwitchLines;
    for (int32_t k = from; k < switchLines; ++k)
        if (TNCavo* cable = NetworkCable(firstColumn + k)) cable->Notify(length, TDirection::Down);
    TGridData* network = engine.Project->NetworkGrid;
    TCella* entry = network ? network->Anchor : nullptr;
    if (!engine.Settings->DesignNetwork || !entry) return;
    network->RunRequiredLevelPass();
    if (!entry->InputLevels.Allocated()) return;
    float need = LevelNone;
    for (int32_t k = from; k < switchLines; ++k)
        if (const int32_t i = firstColumn + k - entry->Column - 1; i >= 0 && i < entry->InputLevels.Ports())
            need = std::max(need, entry->InputLevels[i][BandSlotSat].Min);
    if (IsRealLevel(need)) engine.RequiredLevelSat = need;
}

}  // namespace
