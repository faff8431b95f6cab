// The cells' side of the component libraries: an entry's record read into a
// cell and a cell written as an entry (through the factory and the record
// readers), and the in-memory list of library cells. The files themselves,
// their entry heads and queries are core's (core/libraries.cpp).
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "cells/cell.h"
#include "cells/factory.h"
#include "cells/record.h"
#include "core/libraries.h"
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

// ---------------------------------------------------------------- TLibreria

bool TLibreria::LoadRecord(TCella& cell, const std::string& record, int32_t number, const AnsiString& code,
                           bool fresh) {
    if (fresh) {
        // A cell made for the entry is thrown away when the record does not read.
        TMemoryStream s(record);
        s.SetPosition(LibraryRecordHeadSize);
        if (LoadCellRecord(cell, s, LibraryVersion)) return true;
        MarkDamaged(number, code, false);
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
            MarkDamaged(number, code, false);
            return false;
        }
    }
    TMemoryStream s(record);
    s.SetPosition(LibraryRecordHeadSize);
    return LoadCellRecord(cell, s, LibraryVersion);
}

std::unique_ptr<TCella> TLibreria::ReadCell(const AnsiString& code) {
    std::unique_ptr<TCella> made;
    ReadEntry(code, nullptr, &made);
    return made;
}

bool TLibreria::ReadCell(TCella& cell, const AnsiString& code) { return ReadEntry(code, &cell, nullptr); }

bool TLibreria::ReadEntry(const AnsiString& code, TCella* cell, std::unique_ptr<TCella>* made) {
    const std::vector<TIndexedEntry>* entries = EntriesWithCode(code);
    if (!entries) return false;
    const int32_t endOffset = IndexedEnd();
    TLibEntryHead h;
    for (const TIndexedEntry& entry : *entries) {
        file->SetPosition(entry.offset);
        if (!ReadEntryHead(h, endOffset, entry.number)) break;
        if (h.code != code) continue;
        if (!cell) {
            *made = NewCella(nullptr, h.typeCode, 0, 0, h.inputs, h.throughOutputs, h.tapOutputs);
            cell = made->get();
            if (!cell) continue;
            cell->TypeCode = h.typeCode;
        }
        const bool fits = cell->TypeCode == h.typeCode &&
                          (IsCableType(h.typeCode) ||
                           (cell->Inputs == h.inputs && cell->ThroughOutputs == h.throughOutputs &&
                            cell->TapOutputs == h.tapOutputs));
        if (!fits) continue;
        std::string record;
        if (ReadRecord(h, record) && LoadRecord(*cell, record, entry.number, h.code, made != nullptr)) {
            cell->Described = 1;
            return true;
        }
        // A cell made here and half loaded is not used for the next entry.
        if (made) {
            made->reset();
            cell = nullptr;
        }
    }
    // A cell made here for an entry that did not read is not handed out.
    if (made) made->reset();
    return false;
}

std::unique_ptr<TCella> TLibreria::FirstCell() {
    std::unique_ptr<TCella> made;
    if (StartIteration()) DeliverNext(nullptr, &made);
    return made;
}

std::unique_ptr<TCella> TLibreria::NextCell() {
    std::unique_ptr<TCella> made;
    if (isOpen) DeliverNext(nullptr, &made);
    return made;
}

bool TLibreria::FirstCell(TCella& cell) { return StartIteration() && DeliverNext(&cell, nullptr); }

bool TLibreria::NextCell(TCella& cell) { return isOpen && DeliverNext(&cell, nullptr); }

bool TLibreria::DeliverNext(TCella* cell, std::unique_ptr<TCella>* made) {
    while (iterIndex_ < iterCount_) {
        file->SetPosition(iterPos_);
        TLibEntryHead h;
        const int32_t number = iterIndex_;
        if (!ReadEntryHead(h, iterEnd_, number)) {
            iterIndex_ = iterCount_;
            return false;
        }
        ++iterIndex_;
        iterPos_ = h.offset + 4 + h.length;
        const int32_t code = h.typeCode == CodeOldCableStraight ? CodeCable : h.typeCode;
        std::string record;
        if (!cell) {
            std::unique_ptr<TCella> fresh =
                NewCella(nullptr, code, 0, 0, h.inputs, h.throughOutputs, h.tapOutputs);
            if (!fresh || !ReadRecord(h, record) || !LoadRecord(*fresh, record, number, h.code, true)) continue;
            *made = std::move(fresh);
            return true;
        }
        const bool anyCounts = code == CodeBridge || code == CodeCable;
        if (cell->TypeCode != code) continue;
        if (!anyCounts && (cell->Inputs != h.inputs || cell->ThroughOutputs != h.throughOutputs ||
                           cell->TapOutputs != h.tapOutputs))
            continue;
        if (ReadRecord(h, record) && LoadRecord(*cell, record, number, h.code)) return true;
    }
    return false;
}

bool TLibreria::WriteCell(TCella& cell) {
    if (!isOpen || !forWriting_) return false;
    TMemoryStream s;
    SaveCellRecord(cell, s, LibraryVersion);
    // A cell that writes no record (an old cable) makes no entry.
    if (s.Bytes().size() < static_cast<size_t>(LibraryRecordHeadSize)) return false;
    std::vector<TLibEntryHead> entries;
    if (!ReadEntries(entries)) return false;
    // The entry of the same code goes out as the new one comes in, in one write.
    auto found = std::find_if(entries.begin(), entries.end(),
                              [&](const TLibEntryHead& h) { return h.code == cell.Code; });
    if (found != entries.end()) entries.erase(found);
    return Rewrite(entries, &s.Bytes());
}

// ---------------------------------------------------------------- TLibrerie

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

bool TLibrerie::ReadCell(const AnsiString& name, TCella& cell, const AnsiString& code) const {
    return ReadFromLibrary(*this, name, [&](TLibreria& l) { return l.ReadCell(cell, code); });
}

std::unique_ptr<TCella> TLibrerie::GetCell(const AnsiString& name, const AnsiString& code) const {
    return ReadFromLibrary(*this, name, [&](TLibreria& l) { return l.ReadCell(code); });
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
