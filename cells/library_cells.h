#pragma once
// The cells of the component libraries: an entry's record read into a cell
// and a cell written as an entry (the files, their heads and queries are
// core's, core/libraries.h), and the in-memory list of library cells.
#include <functional>
#include <memory>
#include <vector>

#include "core/libraries.h"
#include "platform/sysutils.h"

class TCella;

// A new cell of the entry with this code, owned by the caller, or none.
std::unique_ptr<TCella> ReadLibraryCell(TLibreria& library, const AnsiString& code);
// Reads the entry with this code into the cell, which takes only an entry
// of its own type code and port counts (any counts for cables).
bool ReadLibraryCell(TLibreria& library, TCella& cell, const AnsiString& code);
// Iteration over the entries: each call gives a new cell of the next entry
// that reads, owned by the caller; none past the last entry.
std::unique_ptr<TCella> FirstLibraryCell(TLibreria& library);
std::unique_ptr<TCella> NextLibraryCell(TLibreria& library);
// The same into a given cell: the next entry of the cell's kind. False past
// the last entry.
bool FirstLibraryCell(TLibreria& library, TCella& cell);
bool NextLibraryCell(TLibreria& library, TCella& cell);
// Writes the cell's record under its code, in place of an entry with the
// same code (the new entry goes at the end), on a library opened for writing.
bool WriteLibraryCell(TLibreria& library, TCella& cell);

// Reads the entry of the named library into the cell (as ReadLibraryCell),
// opening the library for it when it is closed.
bool ReadLibraryCell(const TLibrerie& libraries, const AnsiString& name, TCella& cell, const AnsiString& code);
// A new cell from the named library (owned by the caller), or none.
std::unique_ptr<TCella> GetLibraryCell(const TLibrerie& libraries, const AnsiString& name,
                                       const AnsiString& code);

// Cells collected from libraries, kept in order by a text key; owns them in
// a vector, and links them in the same order through their NextInList field
// for the walks that follow the list.
class TMemLib {
public:
    TMemLib() = default;
    ~TMemLib();
    TMemLib(const TMemLib&) = delete;
    TMemLib& operator=(const TMemLib&) = delete;

    void Clear();
    // Each takes the cell into the list and answers it (none for none).
    TCella* Append(std::unique_ptr<TCella> cell);
    // Key index: 0 Category, 1 Brand, 2 Series, 3 Code, 4 Article.
    TCella* InsertSorted(std::unique_ptr<TCella> cell, int key);
    TCella* Insert(std::unique_ptr<TCella> cell);
    // Takes every cell that drop answers true for out of the list and hands
    // them back in list order; the cells kept keep their order.
    std::vector<std::unique_ptr<TCella>> RemoveIf(const std::function<bool(const TCella&)>& drop);
    // A clone of the first cell with the code, owned by the caller, or none.
    std::unique_ptr<TCella> Find(const AnsiString& code) const;
    // The first cell with the code of the same kind copies its data into the cell.
    bool Find(TCella& cell, const AnsiString& code) const;

    TCella* head = nullptr;  // the first cell

private:
    // Puts the cell at index at of the store and links it to its neighbours.
    TCella* Place(std::unique_ptr<TCella> cell, size_t at);

    std::vector<std::unique_ptr<TCella>> cells_;  // in list order
};
