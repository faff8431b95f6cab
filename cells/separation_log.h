#pragma once
// The cells an outlet-separation search writes. A search from one outlet in
// one band reaches a few dozen cells whatever the size of the building, so the
// next search of the band clears only those instead of every cell. The list is
// trusted only while no cell has gone and no grid has been analysed or changed
// since it was made: each of those draws a new epoch.
#include <cstdint>
#include <vector>

class TCella;

namespace separation_log {
// The list being filled by the running search, or null between searches.
inline std::vector<TCella*>* Current = nullptr;
inline uint64_t Epoch = 1;

// A cell is about to store a value of the running search.
inline void NoteWrite(TCella* cell) {
    if (Current) Current->push_back(cell);
}

// A cell went, or the links or chains of a grid changed.
inline void CellsChanged() { ++Epoch; }

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
