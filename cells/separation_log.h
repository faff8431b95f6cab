#pragma once
// The cells an outlet-separation search writes. A search from one outlet in
// one band reaches a few dozen cells whatever the size of the building, so the
// next search of the band clears only those instead of every cell. Any cell
// gone or come, grid analysed or changed draws a new epoch; a cell gone or
// come also draws a new cell epoch. While the cell epoch stays, the cells the
// list names are still there and no other cell holds a value of the search,
// so clearing the list's cells is enough, after an analysis too.
#include <cstdint>
#include <vector>

class TCella;

namespace separation_log {
// The list being filled by the running search, or null between searches.
inline std::vector<TCella*>* Current = nullptr;
inline uint64_t Epoch = 1;
inline uint64_t CellEpoch = 1;

// A cell is about to store a value of the running search.
inline void NoteWrite(TCella* cell) {
    if (Current) Current->push_back(cell);
}

// A cell went or came.
inline void CellsChanged() {
    ++Epoch;
    ++CellEpoch;
}

// The links or chains of a grid changed, every cell staying where it is.
inline void LinksChanged() { ++Epoch; }

// Fills a list for as long as it lives.
class TWriteScope {
public:
    explicit TWriteScope(std::vector<TCella*>& written) : before_(Current) { Current = &written; }
    ~TWriteScope() { Current = before_; }
    TWriteScope(const TWriteScope&) = delete;
    TWriteScope& operator=(const TWriteScope&) = delete;

private:
    std::vector<TCella*>* before_;
};
}  // namespace separation_log
