// The separation search over a compact copy of the grid. Every step below
// mirrors a step of the cells' own search (TCella::AcceptSeparation for the
// outlets and sinks, TNCavo, TPresaD and TDerivatore for the rest); what
// differs is where the losses and the links are read from.
#include "cells/separation_network.h"

#include <algorithm>
#include <typeinfo>

#include "cells/cables.h"
#include "cells/cell.h"
#include "cells/head_end.h"
#include "cells/outlets.h"
#include "cells/pass_links.h"
#include "cells/separation_log.h"
#include "cells/splitters.h"
#include "cells/taps.h"
#include "cells/terminations.h"
#include "cells/cell_grid.h"

namespace {
// A stage row of a rank-3 level table, as the tap's search asks for it.
bool HasStageRow(const TInfo& table, int32_t i) { return table.Rank() == 3 && table.Block3(i); }

// The rows of losses of a tap's line after its tap losses (one, or one per
// user output when every user output has its own).
enum : int32_t {
    TapRowThrough,      // down the line to its through output
    TapRowBackUp,       // back through the through output, up the line
    TapRowBackAcross,   // back through the through output, to the user outputs
    TapRowUserUp,       // back through a user output, up the line
    TapRowUserThrough,  // back through a user output, to the through output
    TapRowUserAcross,   // back through a user output, to the others
    TapRowsAfterLosses,
};

// The tap classes that search by TDerivatore's own code.
bool IsTapClass(const std::type_info& type) {
    return type == typeid(TDerivatore) || type == typeid(TDerivatoreS) || type == typeid(TDerivatoreN) ||
           type == typeid(TDivisore);
}
}  // namespace

void TSeparationNetwork::TLog::Grow() { items_.resize(std::max<size_t>(64, items_.size() * 2)); }

int32_t TSeparationNetwork::NodeOf(TCella* cell) {
    if (!cell) return -1;
    if (const TNode* n = Find(cell)) return static_cast<int32_t>(n - nodes_.data());
    // A cell outside the grid's chain: the copy is not whole.
    whole_ = false;
    return -1;
}

const TSeparationNetwork::TNode* TSeparationNetwork::Find(const TCella* cell) const {
    const int32_t known = cell ? cell->SeparationNode : -1;
    if (known < 0 || static_cast<size_t>(known) >= nodes_.size()) return nullptr;
    const TNode& n = nodes_[static_cast<size_t>(known)];
    return n.Cell == cell ? &n : nullptr;
}

void TSeparationNetwork::Build(const TCellGrid& grid) {
    nodes_.clear();
    links_.clear();
    losses_.clear();
    cellRows_.clear();
    values_.clear();
    rowNode_.clear();
    for (auto& written : written_) written.Clear();
    for (auto& outlets : outlets_) outlets.Clear();
    held_.fill(false);
    inCells_.fill(false);
    for (TCella* cell = grid.Anchor; cell; cell = cell->NextCell) {
        cell->SeparationNode = static_cast<int32_t>(nodes_.size());
        TNode n;
        n.Cell = cell;
        nodes_.push_back(n);
    }
    whole_ = true;
    for (TNode& n : nodes_)
        if (!Copy(n) || !whole_) {
            // The cells search by themselves.
            whole_ = false;
            return;
        }
    // Every accumulator of the copy starts clear; each band's are cleared in
    // the cells before its first search over the copy.
    values_.assign(cellRows_.size() * BandSlots, LevelNone);
    // The losses were copied a row at a time, every band of a row side by
    // side; the search wants them a band at a time.
    lossRows_ = losses_.size() / BandSlots;
    std::vector<float> byBand(losses_.size());
    for (size_t row = 0; row < lossRows_; ++row)
        for (size_t b = 0; b < BandSlots; ++b) byBand[b * lossRows_ + row] = losses_[row * BandSlots + b];
    losses_.swap(byBand);
    int32_t place = 0;
    for (TCella* outlet = grid.FirstOutlet; outlet; outlet = outlet->NextOutlet, ++place)
        if (const TNode* n = Find(outlet); n && n->OutletIndex < 0)
            nodes_[static_cast<size_t>(n - nodes_.data())].OutletIndex = place;
}

bool TSeparationNetwork::Copy(TNode& n) {
    TCella* cell = n.Cell;
    const std::type_info& type = typeid(*cell);
    auto* tap = IsTapClass(type) ? static_cast<TDerivatore*>(cell) : nullptr;
    if (type == typeid(TNCavo)) {
        n.Kind = TKind::Cable;
    } else if (type == typeid(TPresaD)) {
        n.Kind = TKind::Outlet;
    } else if (type == typeid(TTesta) || type == typeid(TChiusura)) {
        n.Kind = TKind::Sink;
    } else if (tap && static_cast<int32_t>(tap->InputSeparation.size()) == cell->NumInputs &&
               static_cast<int32_t>(tap->ThroughSeparation.size()) == cell->NumThroughOutputs) {
        // The search writes into the rows the clearing made.
        n.Kind = TKind::Tap;
    } else {
        return false;
    }

    // The accumulators.
    n.Rows = static_cast<uint32_t>(cellRows_.size());
    cellRows_.push_back(cell->SeparationBest);
    cellRows_.push_back(cell->SeparationOutlet);
    if (tap) {
        for (auto& row : tap->InputSeparation) cellRows_.push_back(row.data());
        for (auto& row : tap->ThroughSeparation) cellRows_.push_back(row.data());
    }
    rowNode_.resize(cellRows_.size(), static_cast<int32_t>(&n - nodes_.data()));

    // The links, read as the passes read them (pass_links.h).
    n.Links = static_cast<uint32_t>(links_.size());
    n.InputLinks = static_cast<int32_t>(cell->InputCell.size());
    n.OutputLinks = static_cast<int32_t>(cell->OutputCell.size());
    for (int32_t i = 0; i < n.InputLinks; ++i)
        links_.push_back(TLink{NodeOf(InputNeighbour(*cell, i)), InputNeighbourPort(*cell, i)});
    for (int32_t j = 0; j < n.OutputLinks; ++j)
        links_.push_back(TLink{NodeOf(OutputNeighbour(*cell, j)), OutputNeighbourPort(*cell, j)});

    n.Losses = static_cast<uint32_t>(losses_.size() / BandSlots);
    auto row = [this](auto value) {
        for (int32_t b = 0; b < BandSlots; ++b) losses_.push_back(value(b));
    };
    switch (n.Kind) {
    case TKind::Cable: {
        auto* cable = static_cast<TNCavo*>(cell);
        row([cable](int32_t b) { return cable->SeparationLoss(b); });
        break;
    }
    case TKind::Outlet: {
        auto* outlet = static_cast<TPresaD*>(cell);
        n.PassThrough = outlet->PassThrough != 0;
        row([outlet](int32_t b) { return outlet->SocketLoss(b); });
        row([outlet](int32_t b) { return outlet->ThroughLoss(b); });
        row([outlet](int32_t b) { return outlet->ReverseLoss(b); });
        break;
    }
    case TKind::Tap: {
        n.NumInputs = cell->NumInputs;
        n.NumThroughOutputs = cell->NumThroughOutputs;
        n.NumOutputs = cell->NumOutputs;
        n.Lines = tap->Lines();
        n.PerLine = tap->OutputsPerLine();
        n.OwnOutputLosses = tap->HasOwnOutputLosses();
        const int32_t t = n.PerLine;
        const int32_t tapRows = n.OwnOutputLosses ? std::max(t, 0) : 1;
        n.RowsPerLine = tapRows + TapRowsAfterLosses;
        // A line is reached by its input, its through output or its user
        // outputs; the search asks for no line beyond all three.
        const int32_t userLines =
            t > 0 ? std::max(0, cell->NumOutputs - cell->NumThroughOutputs + t - 1) / t : 0;
        const int32_t lines = std::max({n.Lines, cell->NumThroughOutputs, userLines, 0});
        const TInfo& a = *cell->Attenuation;
        const bool stagesA = HasStageRows(*cell->LevelTableA);
        const bool stagesB = HasStageRows(*cell->LevelTableB);
        const bool stagesC = HasStageRows(*cell->LevelTableC);
        // A way the search does not take gets no loss.
        auto column = [&a](int32_t i, int32_t c, bool taken) {
            return [&a, i, c, taken](int32_t b) { return taken ? a.Get3(i, c, b) : LevelNone; };
        };
        for (int32_t i = 0; i < lines; ++i) {
            for (int32_t j = 0; j < tapRows; ++j)
                row([tap, i, j](int32_t b) { return tap->TDerivatore::TapLoss(i, j, b); });
            const bool through = i < cell->NumThroughOutputs;
            row([tap, i, through](int32_t b) {
                return through ? tap->TDerivatore::GetRow1Attenuation(i, i, b) : LevelNone;
            });
            // An active line (with stages) passes the search only downstream.
            const bool back = !HasStageRow(*cell->LevelTableA, i) && !HasStageRow(*cell->LevelTableB, i);
            row(column(i, TapThroughColumn, back));
            row(column(i, TapReverseColumn, back));
            row(column(i, TapLossColumn, !stagesA && !stagesC));
            row(column(i, TapReverseColumn, !stagesC && !stagesB && through));
            row(column(i, TapDecouplingColumn, !stagesC));
        }
        break;
    }
    default: break;
    }
    return true;
}

const TSeparationNetwork::TLink* TSeparationNetwork::In(const TNode& n, int32_t input) const {
    return input >= 0 && input < n.InputLinks ? &links_[n.Links + static_cast<uint32_t>(input)] : nullptr;
}

const TSeparationNetwork::TLink* TSeparationNetwork::Out(const TNode& n, int32_t output) const {
    return output >= 0 && output < n.OutputLinks
               ? &links_[n.Links + static_cast<uint32_t>(n.InputLinks + output)]
               : nullptr;
}

void TSeparationNetwork::Hand(const TLink* link, int32_t portBase, float value) {
    // Only a level can be carried on (a value without one opens no path),
    // and only below the bound: the cell would refuse anything else.
    if (!link || link->Node < 0 || !IsRealLevel(value) || value >= limit_) return;
    Accept(link->Node, link->Port + portBase, value);
}

bool TSeparationNetwork::ClearBand(int32_t band) {
    if (band < 0 || band >= BandSlots) return false;
    const auto b = static_cast<size_t>(band);
    auto& written = written_[b];
    const bool inCells = inCells_[b];
    // Indexed, not offset from data(): a network never built has no values.
    const size_t base = b * cellRows_.size();
    for (uint32_t row : written) {
        values_[base + row] = LevelNone;
        if (inCells) cellRows_[row][b] = LevelNone;
    }
    written.Clear();
    // The outlets' own results went into the cells as they were found.
    for (uint32_t index : outlets_[b])
        cellRows_[nodes_[static_cast<size_t>(index)].Rows + RowOutlet][b] = LevelNone;
    outlets_[b].Clear();
    const bool held = held_[b];
    held_[b] = false;
    inCells_[b] = false;
    return held;
}

bool TSeparationNetwork::Search(TCella* source, int32_t band, float limit) {
    const TNode* found = Find(source);
    if (!whole_ || !found || found->Kind != TKind::Outlet || band < 0 || band >= BandSlots) return false;
    band_ = static_cast<uint32_t>(band);
    bandLosses_ = losses_.data() + band_ * lossRows_;
    bandValues_ = values_.data() + band_ * cellRows_.size();
    limit_ = limit;
    writing_ = &written_[static_cast<size_t>(band)];
    held_[static_cast<size_t>(band)] = true;
    outlets_[static_cast<size_t>(band)].Add(static_cast<uint32_t>(found - nodes_.data()));
    Store(*found, RowOutlet, 0.0f);
    PushOutlet(*found, source->NumThroughOutputs);
    writing_ = nullptr;
    // The cells that hold a value of the search already.
    for (uint32_t index : outlets_[static_cast<size_t>(band)])
        separation_log::NoteWrite(nodes_[static_cast<size_t>(index)].Cell);
    return true;
}

// Hand has refused a value that is no level or not below the bound.
void TSeparationNetwork::Accept(int32_t index, int32_t port, float value) {
    const TNode& n = nodes_[static_cast<size_t>(index)];
    uint32_t row = RowBest;
    if (n.Kind == TKind::Tap) {
        if (port >= PortInputBase) {
            const int32_t i = port - PortInputBase;
            if (i >= n.NumInputs) return;
            row = RowTapInputs + static_cast<uint32_t>(i);
        } else if (port >= 0 && port < n.NumThroughOutputs) {
            row = RowTapInputs + static_cast<uint32_t>(n.NumInputs + port);
        } else if (port >= n.NumThroughOutputs && port < n.NumOutputs) {
            // One value for every user output of every line.
            row = RowOutlet;
        } else {
            return;
        }
    }
    const float stored = Stored(n, row);
    if (IsRealLevel(stored) && stored <= value) return;
    if (n.Kind == TKind::Outlet) outlets_[band_].Add(static_cast<uint32_t>(index));
    Store(n, row, value);
    switch (n.Kind) {
    case TKind::Cable: PushCable(n, port); break;
    case TKind::Outlet: PushOutlet(n, port); break;
    case TKind::Tap: PushTap(n, port); break;
    case TKind::Sink: break;
    }
}

void TSeparationNetwork::PushCable(const TNode& n, int32_t port) {
    const float value = TCella::LevelSum(Stored(n, RowBest), Loss(n, 0));
    if (!IsRealLevel(value)) return;
    if (port >= PortInputBase)
        Hand(Out(n, 0), PortInputBase, value);
    else
        Hand(In(n, 0), 0, value);
}

void TSeparationNetwork::PushOutlet(const TNode& n, int32_t port) {
    enum : int32_t { Socket, Through, Reverse };
    auto offerDown = [this, &n](float value) {
        if (!n.PassThrough || !IsRealLevel(value)) return;
        Hand(Out(n, OutletThroughOutput), PortInputBase, value);
    };
    auto offerUp = [this, &n](float value) {
        if (!IsRealLevel(value)) return;
        Hand(In(n, 0), 0, value);
    };
    if (port == PortInputBase) {
        // Arrived at the input from upstream: the outlet's own result is the
        // least loss from the starting socket to its socket.
        const float s = Stored(n, RowBest);
        const float through = Loss(n, Through);
        if (IsRealLevel(through)) offerDown(TCella::LevelSum(s, through));
        const float socket = Loss(n, Socket);
        if (IsRealLevel(socket)) Store(n, RowOutlet, TCella::LevelSum(s, socket));
    } else if (port == OutletSocket) {
        // The starting socket.
        const float s = Stored(n, RowOutlet);
        const float socket = Loss(n, Socket);
        if (IsRealLevel(socket)) offerUp(TCella::LevelSum(s, socket));
        const float reverse = Loss(n, Reverse);
        if (IsRealLevel(reverse)) offerDown(TCella::LevelSum(s, reverse));
    } else if (port == OutletThroughOutput) {
        // Arrived at the through output from downstream.
        const float s = Stored(n, RowBest);
        const float through = Loss(n, Through);
        if (IsRealLevel(through)) offerUp(TCella::LevelSum(s, through));
        const float reverse = Loss(n, Reverse);
        if (IsRealLevel(reverse)) Store(n, RowOutlet, TCella::LevelSum(s, reverse));
    }
}

void TSeparationNetwork::PushTap(const TNode& n, int32_t port) {
    const int32_t t = n.PerLine;
    auto tapOutput = [&n](int32_t line, int32_t j) { return n.NumThroughOutputs + line * n.PerLine + j; };
    auto toOutput = [this, &n](int32_t out, float value) {
        if (IsRealLevel(value)) Hand(Out(n, out), PortInputBase, value);
    };
    auto upLine = [this, &n](int32_t input, float value) {
        if (IsRealLevel(value)) Hand(In(n, input), 0, value);
    };
    // Every user output of a line is offered the same value: what the bound
    // refuses is refused for all of them at once.
    auto toUserOutputs = [this, &n, t, &tapOutput](int32_t line, float value, int32_t except) {
        if (!IsRealLevel(value) || value >= limit_) return;
        for (int32_t j = 0; j < t; ++j)
            if (const int32_t out = tapOutput(line, j); out != except)
                Hand(Out(n, out), PortInputBase, value);
    };
    const int32_t tapRows = n.RowsPerLine - TapRowsAfterLosses;
    auto lineRow = [&n, tapRows](int32_t line, int32_t row) { return line * n.RowsPerLine + tapRows + row; };

    if (port >= PortInputBase) {
        // Arrived down line i: on to its user outputs and its through output.
        const int32_t i = port - PortInputBase;
        if (i >= n.Lines || i >= n.NumInputs) return;
        const float s = Stored(n, RowTapInputs + static_cast<uint32_t>(i));
        if (!IsRealLevel(s)) return;
        if (n.OwnOutputLosses) {
            for (int32_t j = 0; j < t; ++j) {
                const float loss = Loss(n, i * n.RowsPerLine + j);
                if (IsRealLevel(loss)) toOutput(tapOutput(i, j), TCella::LevelSum(s, loss));
            }
        } else if (t > 0) {
            // One tap loss for every user output of the line.
            const float loss = Loss(n, i * n.RowsPerLine);
            if (IsRealLevel(loss)) toUserOutputs(i, TCella::LevelSum(s, loss), -1);
        }
        const float loss = Loss(n, lineRow(i, TapRowThrough));
        if (IsRealLevel(loss)) toOutput(i, TCella::LevelSum(s, loss));
        return;
    }
    if (port >= 0 && port < n.NumThroughOutputs) {
        // Arrived back through through output k.
        const int32_t k = port;
        const float s = Stored(n, RowTapInputs + static_cast<uint32_t>(n.NumInputs + k));
        if (!IsRealLevel(s)) return;
        const float pass = Loss(n, lineRow(k, TapRowBackUp));
        if (IsRealLevel(pass)) upLine(k, TCella::LevelSum(s, pass));
        const float reverse = Loss(n, lineRow(k, TapRowBackAcross));
        if (IsRealLevel(reverse)) toUserOutputs(k, TCella::LevelSum(s, reverse), -1);
        return;
    }
    if (port < n.NumThroughOutputs || port >= n.NumOutputs || t < 1) return;
    // Arrived back through a user output of line i.
    const float s = Stored(n, RowOutlet);
    if (!IsRealLevel(s)) return;
    const int32_t i = (port - n.NumThroughOutputs) / t;
    const float loss = Loss(n, lineRow(i, TapRowUserUp));
    if (IsRealLevel(loss)) upLine(i, TCella::LevelSum(s, loss));
    const float reverse = Loss(n, lineRow(i, TapRowUserThrough));
    if (IsRealLevel(reverse)) toOutput(i, TCella::LevelSum(s, reverse));
    const float decoupling = Loss(n, lineRow(i, TapRowUserAcross));
    if (IsRealLevel(decoupling)) toUserOutputs(i, TCella::LevelSum(s, decoupling), port);
}
