#pragma once
// A compact copy of a grid for the outlet-separation search: per cell its
// links, the losses the search reads there in every band and its
// accumulators, side by side in a few flat arrays, instead of behind the link
// arrays and loss tables of cells a kilobyte apart.
//
// The search over the copy takes the steps of the cells' own AcceptSeparation
// and PushSeparation in the same order and leaves the same values in the same
// accumulators. It keeps them in the copy: only the outlets' own results
// (SeparationOutlet, which the check, the report and the printed tables read)
// go into the cells as they are found; the values on the way (a cell's best
// arrival, a tap's rows) reach the cells when WriteBack is called. It serves a
// grid whose every cell is of a class it knows (head end, cable, outlet, tap,
// splitter, termination); in any other grid the cells search by themselves.
//
// The copy keeps values the cells held when it was made: it serves only
// while no cell's data, link or port count changes (the project keeps one
// for a run of searches and drops it afterwards, and makes it again whenever
// the cells or the grid change meanwhile).
#include <array>
#include <cstdint>
#include <vector>

#include "core/levels.h"

class TCella;
class TCellGrid;

class TSeparationNetwork {
public:
    // Copies every cell of the grid's chain; the outlets are numbered in the
    // grid's outlet chain.
    void Build(const TCellGrid& grid);
    // What ComputeOutletSeparation does after the clearing, for a whole copy:
    // the source's socket starts at 0 and the search spreads from there.
    // False, with nothing done, for a source or band the copy does not serve.
    bool Search(TCella* source, int32_t band, float limit);
    // Clears what the band's last search over the copy wrote, in the copy and
    // in the cells; true when that search was over the copy, false when the
    // band has had no search over the copy since it was made. Every other
    // accumulator of the band is clear already, so the cells are left as
    // ClearBandAccumulators of each cell the search wrote leaves them.
    bool ClearBand(int32_t band);
    // Puts into the cells every value the bands' last searches over the copy
    // keep only in the copy, and hands each cell those searches wrote to
    // `written(band, cell)` (once per search). The cells must be those the
    // copy was made of.
    template <class F>
    void WriteBack(F&& written) {
        for (int32_t band = 0; band < BandSlots; ++band) {
            const auto b = static_cast<size_t>(band);
            if (!held_[b] || inCells_[b]) continue;
            const float* values = values_.data() + b * cellRows_.size();
            for (uint32_t row : written_[b]) {
                cellRows_[row][b] = values[row];
                written(band, nodes_[static_cast<size_t>(rowNode_[row])].Cell);
            }
            inCells_[b] = true;
        }
    }
    // For each outlet of the outlet chain that the band's last search wrote,
    // but the source: the outlet, its place in the chain and its separation.
    // False, with nothing done, when the band's last search was not over the copy.
    template <class F>
    bool ForEachOutletWritten(int32_t band, const TCella* source, F&& f) const {
        if (band < 0 || band >= BandSlots || !held_[static_cast<size_t>(band)]) return false;
        const float* values = values_.data() + static_cast<size_t>(band) * cellRows_.size();
        for (uint32_t index : outlets_[static_cast<size_t>(band)]) {
            const TNode& n = nodes_[static_cast<size_t>(index)];
            if (n.OutletIndex < 0 || n.Cell == source) continue;
            f(n.Cell, n.OutletIndex, values[n.Rows + RowOutlet]);
        }
        return true;
    }

private:
    enum class TKind : uint8_t {
        Sink,  // keeps the best value and hands nothing on (head end, termination)
        Cable,
        Outlet,
        Tap,  // taps and splitters
    };
    // The accumulators of a cell, one row each: SeparationBest,
    // SeparationOutlet, then a tap's InputSeparation rows and its
    // ThroughSeparation rows.
    enum : uint32_t { RowBest = 0, RowOutlet = 1, RowTapInputs = 2 };
    // A neighbour: its node (-1 for none) and the port as the cell's links
    // give it (-1 for none).
    struct TLink {
        int32_t Node;
        int32_t Port;
    };
    // A list of indices that keeps its room from one search to the next, its
    // growth out of the search's way.
    class TLog {
    public:
        void Add(uint32_t index) {
            if (count_ == items_.size()) Grow();
            items_[count_++] = index;
        }
        void Clear() { count_ = 0; }
        const uint32_t* begin() const { return items_.data(); }
        const uint32_t* end() const { return items_.data() + count_; }

    private:
        void Grow();
        std::vector<uint32_t> items_;
        size_t count_ = 0;
    };
    struct TNode {
        TCella* Cell = nullptr;
        uint32_t Links = 0;   // first input link in links_; the outputs follow
        uint32_t Losses = 0;  // first row of losses_
        uint32_t Rows = 0;    // first row of cellRows_
        int32_t InputLinks = 0;
        int32_t OutputLinks = 0;
        int32_t OutletIndex = -1;  // place in the outlet chain
        TKind Kind = TKind::Sink;
        bool PassThrough = false;      // outlet
        bool OwnOutputLosses = false;  // tap
        // Taps: port counts, lines, user outputs per line, rows of losses
        // of each line.
        int32_t NumInputs = 0;
        int32_t NumThroughOutputs = 0;
        int32_t NumOutputs = 0;
        int32_t Lines = 0;
        int32_t PerLine = 0;
        int32_t RowsPerLine = 0;
    };

    int32_t NodeOf(TCella* cell);
    const TNode* Find(const TCella* cell) const;
    bool Copy(TNode& n);
    float Loss(const TNode& n, int32_t row) const {
        return bandLosses_[n.Losses + static_cast<uint32_t>(row)];
    }
    float Stored(const TNode& n, uint32_t row) const { return bandValues_[n.Rows + row]; }
    // Stores a value of the running search, noting where; an outlet's own
    // result goes into its cell as well.
    void Store(const TNode& n, uint32_t row, float value) {
        bandValues_[n.Rows + row] = value;
        writing_->Add(n.Rows + row);
        if (n.Kind == TKind::Outlet && row == RowOutlet) cellRows_[n.Rows + row][band_] = value;
    }
    const TLink* Out(const TNode& n, int32_t output) const;
    const TLink* In(const TNode& n, int32_t input) const;
    void Accept(int32_t node, int32_t port, float value);
    void Hand(const TLink* link, int32_t portBase, float value);
    void PushCable(const TNode& n, int32_t port);
    void PushOutlet(const TNode& n, int32_t port);
    void PushTap(const TNode& n, int32_t port);

    std::vector<TNode> nodes_;
    std::vector<TLink> links_;
    // The losses and the copy's accumulators are kept band after band: a
    // search reads and writes one band only, so what it touches lies close
    // together (a band of a building of 4000 outlets fits the core's cache,
    // every band side by side would not).
    std::vector<float> losses_;
    size_t lossRows_ = 0;
    // The accumulators: per row the cell's own (cellRows_), the copy's
    // (values_, one band after the other) and the row's node.
    std::vector<float*> cellRows_;
    std::vector<float> values_;
    std::vector<int32_t> rowNode_;
    bool whole_ = false;
    // Per band, the rows its last search over the copy wrote, the outlets
    // among the cells it wrote, and whether all of those rows are in the
    // cells too (after a WriteBack) or only the outlets' own results.
    std::array<TLog, BandSlots> written_;
    std::array<TLog, BandSlots> outlets_;
    std::array<bool, BandSlots> held_{};
    std::array<bool, BandSlots> inCells_{};
    // The running search, and its band's losses and accumulators.
    uint32_t band_ = 0;
    const float* bandLosses_ = nullptr;
    float* bandValues_ = nullptr;
    float limit_ = 0.0f;
    TLog* writing_ = nullptr;
};
