// The cells' side of the component libraries: an entry's record read into a
// cell and a cell written as an entry (through the factory and the record
// readers), and the in-memory list of library cells. The files themselves,
// their entry heads and queries are core's (core/libraries.cpp).
#include "cells/library_cells.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "cells/cell.h"
#include "cells/factory.h"
#include "cells/record.h"
#include "platform/codec.h"

namespace {

bool IsCableType(int32_t code) {
    return code == CodeOldCableStraight || code == CodeBridge || code == CodeCable;
}

// Texts of library entries compare byte by byte in the file's code page.
int CompareBytes(const AnsiString& a, const AnsiString& b) {
    const std::string x = Utf8ToWin1252(a), y = Utf8ToWin1252(b);
    const int c = std::memcmp(x.data(), y.data(), std::min(x.size(), y.size()));
    if (c != 0) return c;
    return x.size() < y.size() ? -1 : x.size() > y.size() ? 1 : 0;
}

}  // namespace

// ---------------------------------------------------------------- one library

namespace {

// Loads a record into a cell, without harming the cell when the record does
// not read (it is read into a scratch cell first). number and code name the
// entry when it is damaged. A fresh cell (made for the entry, dropped when it
// does not read) is loaded at once.
bool LoadRecord(TLibreria& library, TCella& cell, const std::string& record, int32_t number,
                const AnsiString& code, bool fresh = false) {
    if (fresh) {
        TMemoryStream s(record);
        s.SetPosition(LibraryRecordHeadSize);
        if (LoadCellRecord(cell, s, LibraryVersion)) return true;
        library.MarkDamaged(number, code, false);
        return false;
    }
    // A record that does not read stops in the middle of the cell's fields:
    // try it on a scratch cell of the same kind first, so that a damaged entry
    // leaves the cell as it was.
    std::unique_ptr<TCella> scratch(
        NewCella(nullptr, cell.TypeCode, 0, 0, cell.Inputs, cell.ThroughOutputs, cell.TapOutputs));
    if (!scratch) return false;
    scratch->TypeCode = cell.TypeCode;
    {
        TMemoryStream s(record);
        s.SetPosition(LibraryRecordHeadSize);
        if (!LoadCellRecord(*scratch, s, LibraryVersion)) {
            library.MarkDamaged(number, code, false);
            return false;
        }
    }
    TMemoryStream s(record);
    s.SetPosition(LibraryRecordHeadSize);
    return LoadCellRecord(cell, s, LibraryVersion);
}

// The entries with this code, in order, until one reads: into the given
// cell, or with none into a new cell of the first entry's kind, handed out
// through made only when it read.
bool ReadEntry(TLibreria& library, const AnsiString& code, TCella* cell, std::unique_ptr<TCella>* made) {
    const bool read = library.VisitEntriesWithCode(code, [&](const TLibEntryHead& h, int32_t number) {
        if (!cell) {
            *made = NewCella(nullptr, h.typeCode, 0, 0, h.inputs, h.throughOutputs, h.tapOutputs);
            cell = made->get();
            if (!cell) return false;
            cell->TypeCode = h.typeCode;
        }
        const bool fits = cell->TypeCode == h.typeCode &&
                          (IsCableType(h.typeCode) ||
                           (cell->Inputs == h.inputs && cell->ThroughOutputs == h.throughOutputs &&
                            cell->TapOutputs == h.tapOutputs));
        if (!fits) return false;
        std::string record;
        if (library.ReadRecord(h, record) && LoadRecord(library, *cell, record, number, h.code, made != nullptr)) {
            cell->Described = 1;
            return true;
        }
        // A cell made here and half loaded is not used for the next entry.
        if (made) {
            made->reset();
            cell = nullptr;
        }
        return false;
    });
    if (read) return true;
    // A cell made here for an entry that did not read is not handed out.
    if (made) made->reset();
    return false;
}

// The next entry that reads: into the given cell, or with none into a new
// cell handed out through made.
bool DeliverNext(TLibreria& library, TCella* cell, std::unique_ptr<TCella>* made) {
    TLibEntryHead h;
    int32_t number = 0;
    while (library.NextEntryHead(h, number)) {
        const int32_t code = h.typeCode == CodeOldCableStraight ? CodeCable : h.typeCode;
        std::string record;
        if (!cell) {
            std::unique_ptr<TCella> fresh =
                NewCella(nullptr, code, 0, 0, h.inputs, h.throughOutputs, h.tapOutputs);
            if (!fresh || !library.ReadRecord(h, record) ||
                !LoadRecord(library, *fresh, record, number, h.code, true))
                continue;
            *made = std::move(fresh);
            return true;
        }
        const bool anyCounts = code == CodeBridge || code == CodeCable;
        if (cell->TypeCode != code) continue;
        if (!anyCounts && (cell->Inputs != h.inputs || cell->ThroughOutputs != h.throughOutputs ||
                           cell->TapOutputs != h.tapOutputs))
            continue;
        if (library.ReadRecord(h, record) && LoadRecord(library, *cell, record, number, h.code)) return true;
    }
    return false;
}

}  // namespace

std::unique_ptr<TCella> ReadLibraryCell(TLibreria& library, const AnsiString& code) {
    std::unique_ptr<TCella> made;
    ReadEntry(library, code, nullptr, &made);
    return made;
}

bool ReadLibraryCell(TLibreria& library, TCella& cell, const AnsiString& code) {
    return ReadEntry(library, code, &cell, nullptr);
}

std::unique_ptr<TCella> FirstLibraryCell(TLibreria& library) {
    std::unique_ptr<TCella> made;
    if (library.StartIteration()) DeliverNext(library, nullptr, &made);
    return made;
}

std::unique_ptr<TCella> NextLibraryCell(TLibreria& library) {
    std::unique_ptr<TCella> made;
    if (library.isOpen) DeliverNext(library, nullptr, &made);
    return made;
}

bool FirstLibraryCell(TLibreria& library, TCella& cell) {
    return library.StartIteration() && DeliverNext(library, &cell, nullptr);
}

bool NextLibraryCell(TLibreria& library, TCella& cell) {
    return library.isOpen && DeliverNext(library, &cell, nullptr);
}

bool WriteLibraryCell(TLibreria& library, TCella& cell) {
    if (!library.IsWritable()) return false;
    TMemoryStream s;
    SaveCellRecord(cell, s, LibraryVersion);
    // A cell that writes no record (an old cable) makes no entry.
    if (s.Bytes().size() < static_cast<size_t>(LibraryRecordHeadSize)) return false;
    return library.ReplaceEntry(cell.Code, s.Bytes());
}

// ---------------------------------------------------------------- the registered libraries

namespace {

// What read gives of the named library, opened for it when it was closed;
// nothing when no library has the name.
template <class Read>
auto ReadFromLibrary(const TLibrerie& libraries, const AnsiString& name, Read read) {
    using Result = decltype(read(std::declval<TLibreria&>()));
    TLibreria* l = libraries.Find(name);
    if (!l) return Result{};
    const bool wasOpen = l->isOpen;
    l->Open(false);
    Result result = read(*l);
    if (!wasOpen) l->Close();
    return result;
}

}  // namespace

bool ReadLibraryCell(const TLibrerie& libraries, const AnsiString& name, TCella& cell, const AnsiString& code) {
    return ReadFromLibrary(libraries, name, [&](TLibreria& l) { return ReadLibraryCell(l, cell, code); });
}

std::unique_ptr<TCella> GetLibraryCell(const TLibrerie& libraries, const AnsiString& name,
                                       const AnsiString& code) {
    return ReadFromLibrary(libraries, name, [&](TLibreria& l) { return ReadLibraryCell(l, code); });
}

// ---------------------------------------------------------------- TMemLib

TMemLib::~TMemLib() = default;

void TMemLib::Clear() {
    head = nullptr;
    cells_.clear();
}

TCella* TMemLib::Place(std::unique_ptr<TCella> owned, size_t at) {
    TCella* cell = owned.get();
    cells_.insert(cells_.begin() + static_cast<std::ptrdiff_t>(at), std::move(owned));
    cell->NextInList = at + 1 < cells_.size() ? cells_[at + 1].get() : nullptr;
    (at == 0 ? head : cells_[at - 1]->NextInList) = cell;
    return cell;
}

TCella* TMemLib::Append(std::unique_ptr<TCella> owned) {
    if (!owned) return nullptr;
    return Place(std::move(owned), cells_.size());
}

std::vector<std::unique_ptr<TCella>> TMemLib::RemoveIf(const std::function<bool(const TCella&)>& drop) {
    std::vector<std::unique_ptr<TCella>> removed, kept;
    for (auto& cell : cells_) {
        if (drop(*cell)) {
            cell->NextInList = nullptr;
            removed.push_back(std::move(cell));
        } else {
            kept.push_back(std::move(cell));
        }
    }
    cells_ = std::move(kept);
    head = nullptr;
    for (size_t i = cells_.size(); i-- > 0;) {
        cells_[i]->NextInList = head;
        head = cells_[i].get();
    }
    return removed;
}

namespace {

const AnsiString& KeyText(const TCella& c, int key) {
    switch (key) {
    case 1: return c.Brand;
    case 2: return c.Series;
    case 3: return c.Code;
    case 4: return c.Article;
    default: return c.Category;
    }
}

bool Less(const TCella& a, const TCella& b, int key) {
    if (int c = CompareBytes(KeyText(a, key), KeyText(b, key))) return c < 0;
    for (int k : {0, 1, 2, 3, 4})
        if (int c = CompareBytes(KeyText(a, k), KeyText(b, k))) return c < 0;
    return false;
}

}  // namespace

TCella* TMemLib::Insert(std::unique_ptr<TCella> cell) { return InsertSorted(std::move(cell), 0); }

TCella* TMemLib::InsertSorted(std::unique_ptr<TCella> owned, int key) {
    if (!owned) return nullptr;
    // Before the first cell only when it sorts before it; else after every
    // cell that sorts before it.
    size_t at = 0;
    if (!cells_.empty() && !Less(*owned, *cells_[0], key)) {
        at = 1;
        while (at < cells_.size() && Less(*cells_[at], *owned, key)) ++at;
    }
    return Place(std::move(owned), at);
}

std::unique_ptr<TCella> TMemLib::Find(const AnsiString& code) const {
    for (TCella* c = head; c; c = c->NextInList)
        if (c->Code == code) return c->Clone();
    return nullptr;
}

bool TMemLib::Find(TCella& cell, const AnsiString& code) const {
    for (TCella* c = head; c; c = c->NextInList) {
        if (c->Code != code) continue;
        if (c->TypeCode == cell.TypeCode && c->Inputs == cell.Inputs &&
            c->ThroughOutputs == cell.ThroughOutputs && c->TapOutputs == cell.TapOutputs) {
            c->Assign(&cell);
            return true;
        }
    }
    return false;
}
