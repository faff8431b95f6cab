#include "core/libraries.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/stat.h>
#include <vector>

#include "core/cell_codes.h"
#include "core/file.h"
#include "core/levels.h"
#include "platform/application.h"
#include "platform/codec.h"
#include "platform/safe_files.h"

// This file knows library files, entry heads and records as bytes only. What
// turns an entry into a cell and back (the factory and the record readers)
// and the in-memory list of library cells live with the cells, in
// cells/library_cells.cpp.

const char* const LibraryTag = "alb 6.0.0   ";

namespace {

constexpr int TagSize = 12;
constexpr uint8_t HeaderMark = 9;
constexpr int CountOffset = 13;
constexpr int OpenAttempts = 100;

struct TagVersion {
    const char* tag;
    int32_t version;
};
// clang-format off
constexpr TagVersion LibraryTags[] = {
    {"alb 1.0.1   ", V10002}, {"alb 2.0.0   ", V30000}, {"alb 3.0.0   ", V30000}, {"alb 4.0.0   ", V40000},
    {"alb 5.0.0   ", V50000}, {"alb 5.1.0   ", V50100}, {"alb 6.0.0   ", V60000},
};
// clang-format on

void ShowLibraryMessage(const AnsiString& text) {
    Application->MessageBox(text, "", MB_OK | MB_ICONEXCLAMATION);
}

TNestedStringList* NestedList(TStringList& list, int index) {
    return static_cast<TNestedStringList*>(list.Objects(index));
}

// Index of a text in a list, comparing exactly (TStringList::IndexOf ignores case).
int IndexOfExact(const TStringList& list, const AnsiString& text) {
    for (int i = 0; i < list.Count(); ++i)
        if (list[i] == text) return i;
    return -1;
}

}  // namespace

TNestedStringList::~TNestedStringList() = default;

TNestedStringList* TNestedStringList::AddNested(const AnsiString& text) {
    auto nested = std::make_unique<TNestedStringList>();
    nested->SetSorted(true);
    nested->CaseSensitive = true;
    nested->Duplicates = dupAccept;
    AddObject(text, nested.get());
    nested_.push_back(std::move(nested));
    return nested_.back().get();
}

std::unique_ptr<TNestedStringList> TNestedStringList::TakeNested(int index) {
    const TObject* object = Objects(index);
    SetObjects(index, nullptr);
    Delete(index);
    const auto held = std::find_if(nested_.begin(), nested_.end(),
                                   [object](const auto& nested) { return nested.get() == object; });
    if (!object || held == nested_.end()) return nullptr;
    std::unique_ptr<TNestedStringList> taken = std::move(*held);
    nested_.erase(held);
    return taken;
}

void TNestedStringList::ClearAll() {
    Clear();
    nested_.clear();
}

int32_t LibraryVersionOfTag(const std::string& tag12) {
    for (const TagVersion& t : LibraryTags)
        if (tag12.size() == TagSize && std::memcmp(tag12.data(), t.tag, TagSize) == 0) return t.version;
    return 0;
}

// ---------------------------------------------------------------- TLibreria

TLibreria::TLibreria() = default;

TLibreria::~TLibreria() { Close(); }

AnsiString TLibreria::Name() const { return FileBaseName(fileName); }

bool TLibreria::Open(bool forWriting) { return OpenFile(forWriting); }

bool TLibreria::Close() {
    if (!isOpen) return false;
    file.reset();
    isOpen = false;
    forWriting_ = false;
    return true;
}

bool TLibreria::OpenFile(bool forWriting) {
    if (isOpen) return true;
    if (fileName.empty()) return false;
    const unsigned short mode = forWriting ? ModeReadWriteExclusive : ModeReadDenyWrite;
    for (int attempt = 0; attempt < OpenAttempts && !file; ++attempt) {
        try {
            file = std::make_unique<TFile>(fileName, mode);
        } catch (const EStreamError& e) {
            // Only a lock held by another program passes with time; a missing
            // folder, a read-only disk or a refused permission is said at once.
            // A library whose file is missing is passed over without a message.
            if (e.ErrorCode == ENOENT) return false;
            if (e.ErrorCode != EWOULDBLOCK && e.ErrorCode != EAGAIN && e.ErrorCode != EINTR) {
                ShowLibraryMessage("Impossibile aprire la libreria " + fileName +
                                   ". Causa: " + SystemErrorText(e.ErrorCode) + ".");
                return false;
            }
        }
    }
    if (!file) {
        ShowLibraryMessage("La libreria " + fileName +
                           " è utilizzata da un altro utente. Riprovare più tardi.");
        return false;
    }
    forWriting_ = forWriting;
    fromFile_ = true;
    return CheckHeader();
}

bool TLibreria::OpenStream(std::unique_ptr<TStream> stream) {
    Close();
    ++generation_;
    file = std::move(stream);
    forWriting_ = true;
    fromFile_ = false;
    return CheckHeader();
}

bool TLibreria::CheckHeader() {
    char head[CountOffset];
    file->SetPosition(0);
    const int got = file->Read(head, CountOffset);
    if (got < CountOffset || static_cast<uint8_t>(head[TagSize]) != HeaderMark) {
        file.reset();
        return false;
    }
    version = LibraryVersionOfTag(std::string(head, TagSize));
    if (version == 0) {
        ShowLibraryMessage("Il file " + fileName +
                           " non è una libreria valida per questa versione di Ordivex Varne.");
        file.reset();
        return false;
    }
    if (version == V10002) {
        ShowLibraryMessage("La libreria " + fileName +
                           " è della versione 1 di Ordivex Varne e non è più supportata.");
        file.reset();
        return false;
    }
    if (version < LibraryVersion) {
        file.reset();
        return false;
    }
    isOpen = true;
    return true;
}

void TLibreria::MarkDamaged(int32_t number, const AnsiString& code, bool rest) {
    damaged = true;
    if (damageReported_) return;
    damageReported_ = true;
    AnsiString text = "La libreria " + fileName + " è danneggiata: ";
    if (number < 0) {
        text += "i suoi componenti non sono leggibili.";
    } else {
        text += "il componente n. " + IntToStr(number + 1);
        if (!code.empty()) text += " (" + code + ")";
        text += rest ? " e quelli che lo seguono non sono leggibili." : " non è leggibile.";
    }
    ShowLibraryMessage(text);
}

bool TLibreria::ReadCounts(int32_t& count, int32_t& endOffset) {
    try {
        file->SetPosition(CountOffset);
        count = ReadI32(*file);
        endOffset = ReadI32(*file);
    } catch (const EStreamError&) {
        MarkDamaged();
        return false;
    }
    if (count < 0 || endOffset < LibraryHeaderSize || (count == 0 && endOffset != LibraryHeaderSize)) {
        MarkDamaged();
        return false;
    }
    // A file cut short keeps the entries before the cut: the walk reads them
    // and stops, naming the first that is not whole.
    if (endOffset > file->Size()) endOffset = static_cast<int32_t>(file->Size());
    return true;
}

bool TLibreria::ReadEntryHead(TLibEntryHead& head, int32_t endOffset, int32_t number) {
    head.offset = file->Position();
    head.code.clear();
    try {
        if (head.offset + 4 > endOffset) throw EReadError("entry past the end");
        head.length = ReadI32(*file);
        if (head.length < LibraryRecordHeadSize || head.length > endOffset - head.offset - 4)
            throw EReadError("entry length");
        std::string record(static_cast<size_t>(head.length), '\0');
        file->ReadBuffer(record.data(), head.length);
        TMemoryStream s(std::move(record));
        head.typeCode = ReadI32(s);
        head.inputs = ReadI32(s);
        head.throughOutputs = ReadI32(s);
        head.tapOutputs = ReadI32(s);
        head.code = chunked::ReadString(s, 20);
        head.article = chunked::ReadString(s, 30);
        head.category = chunked::ReadString(s, 30);
        head.series = chunked::ReadString(s, 20);
    } catch (const EStreamError&) {
        MarkDamaged(number, head.code);
        return false;
    }
    file->SetPosition(head.offset + 4 + head.length);
    return true;
}

bool TLibreria::ReadRecord(const TLibEntryHead& head, std::string& record) {
    try {
        record.assign(static_cast<size_t>(head.length), '\0');
        file->SetPosition(head.offset + 4);
        file->ReadBuffer(record.data(), head.length);
        file->SetPosition(head.offset + 4 + head.length);
        return true;
    } catch (const EStreamError&) {
        MarkDamaged();
        return false;
    }
}

bool NotPriceItem(int32_t typeCode) { return typeCode != CodeElementoListino; }

void TLibreria::Query(TStringList& list, const AnsiString& text, int typeCode, int key1, int key2, int key3,
                      int kind, TEntryKindFilter admits) {
    list.Clear();
    const bool wasOpen = isOpen;
    if (!OpenFile(false)) return;
    int32_t count = 0, endOffset = 0;
    if (ReadCounts(count, endOffset)) {
        file->SetPosition(LibraryHeaderSize);
        TLibEntryHead h;
        for (int32_t i = 0; i < count && ReadEntryHead(h, endOffset, i); ++i) {
            switch (kind) {
            case lqAllCodes: list.Add(h.code); break;
            case lqCategories:
                if (IndexOfExact(list, h.category) < 0) list.Add(h.category);
                break;
            case lqCodesOfCategory:
                if (h.category == text) list.Add(h.code);
                break;
            case lqCodesOfType:
                if (h.typeCode == typeCode) list.Add(h.code);
                break;
            case lqCodesOfKind:
                if (h.typeCode == typeCode && h.inputs == key1 && h.throughOutputs == key2 &&
                    h.tapOutputs == key3)
                    list.Add(h.code);
                break;
            case lqTree: {
                if (admits && !admits(h.typeCode)) break;
                // Only a nested list holds the tree.
                auto* tree = dynamic_cast<TNestedStringList*>(&list);
                if (!tree) break;
                const int ci = IndexOfExact(*tree, h.category);
                TNestedStringList* series = ci < 0 ? tree->AddNested(h.category) : NestedList(*tree, ci);
                const int si = IndexOfExact(*series, h.series);
                TNestedStringList* codes = si < 0 ? series->AddNested(h.series) : NestedList(*series, si);
                codes->Add(h.code);
                break;
            }
            case lqSeriesOfType:
                if (h.typeCode == typeCode && !h.series.empty() && IndexOfExact(list, h.series) < 0)
                    list.Add(h.series);
                break;
            case lqSeriesOfFamily: {
                const int32_t family = h.typeCode == CodeSwitchN ? CodeSwitch : h.typeCode;
                if (family == typeCode && !h.series.empty() && IndexOfExact(list, h.series) < 0)
                    list.Add(h.series);
                break;
            }
            default: break;
            }
        }
    }
    if (!wasOpen) Close();
}

void TLibreria::ListCategories(TStringList& list) { Query(list, "", 0, 0, 0, 0, lqCategories); }

void TLibreria::ListCodesOfCategory(TStringList& list, const AnsiString& category) {
    Query(list, category, 0, 0, 0, 0, category.empty() ? lqAllCodes : lqCodesOfCategory);
}

void TLibreria::ListByTypeAndKeys(TStringList& list, int typeCode, int inputs, int throughOutputs,
                                  int tapOutputs) {
    Query(list, "", typeCode, inputs, throughOutputs, tapOutputs, lqCodesOfKind);
}

void TLibreria::ListTree(TNestedStringList& list, TEntryKindFilter admits) {
    list.ClearAll();
    Query(list, "", 0, 0, 0, 0, lqTree, admits);
}

bool TLibreria::FindEntry(const AnsiString& code) {
    const std::vector<TIndexedEntry>* entries = EntriesWithCode(code);
    if (!entries || entries->empty()) return false;
    const TIndexedEntry& first = entries->front();
    file->SetPosition(first.offset);
    TLibEntryHead h;
    if (!ReadEntryHead(h, IndexedEnd(), first.number) || h.code != code) return false;
    file->SetPosition(h.offset + 4);
    return true;
}

bool TLibreria::VisitEntriesWithCode(const AnsiString& code,
                                     const std::function<bool(const TLibEntryHead&, int32_t)>& visit) {
    const std::vector<TIndexedEntry>* entries = EntriesWithCode(code);
    if (!entries) return false;
    const int32_t endOffset = IndexedEnd();
    TLibEntryHead h;
    for (const TIndexedEntry& entry : *entries) {
        file->SetPosition(entry.offset);
        if (!ReadEntryHead(h, endOffset, entry.number)) break;
        if (h.code != code) continue;
        if (visit(h, entry.number)) return true;
    }
    return false;
}

const std::vector<TLibreria::TIndexedEntry>* TLibreria::EntriesWithCode(const AnsiString& code) {
    static const std::vector<TIndexedEntry> none;
    if (!isOpen) return nullptr;
    TFileIdentity identity;
    identity.generation = generation_;
    if (fromFile_) {
        struct stat st;
        if (::stat(fileName.c_str(), &st) == 0) {
            identity.device = st.st_dev;
            identity.inode = st.st_ino;
            identity.size = st.st_size;
            identity.modified = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        }
    }
    if (!indexBuilt_ || !(identity == indexOf_)) {
        // One walk over the entries; a lookup then reads only its own entry.
        // A damaged library keeps the entries before the damage.
        codeIndex_.clear();
        int32_t count = 0, endOffset = 0;
        if (!ReadCounts(count, endOffset)) return nullptr;
        file->SetPosition(LibraryHeaderSize);
        TLibEntryHead h;
        for (int32_t i = 0; i < count && ReadEntryHead(h, endOffset, i); ++i)
            codeIndex_[h.code].push_back(TIndexedEntry{h.offset, i});
        indexBuilt_ = true;
        indexOf_ = identity;
        indexEnd_ = endOffset;
    }
    const auto at = codeIndex_.find(code);
    return at == codeIndex_.end() ? &none : &at->second;
}

bool TLibreria::StartIteration() {
    if (!isOpen) return false;
    iterCount_ = 0;
    iterIndex_ = 0;
    if (!ReadCounts(iterCount_, iterEnd_)) {
        iterCount_ = 0;
        return false;
    }
    iterPos_ = LibraryHeaderSize;
    return true;
}

bool TLibreria::NextEntryHead(TLibEntryHead& head, int32_t& number) {
    if (iterIndex_ >= iterCount_) return false;
    file->SetPosition(iterPos_);
    number = iterIndex_;
    if (!ReadEntryHead(head, iterEnd_, number)) {
        iterIndex_ = iterCount_;
        return false;
    }
    ++iterIndex_;
    iterPos_ = head.offset + 4 + head.length;
    return true;
}

// Every write builds the whole new library and puts it in place of the old
// one at once: a write that stops anywhere (an error, a full disk, a crash)
// leaves the library as it was, never an entry half moved.

bool TLibreria::ReadEntries(std::vector<TLibEntryHead>& entries) {
    entries.clear();
    int32_t count = 0, endOffset = 0;
    if (!ReadCounts(count, endOffset)) return false;
    file->SetPosition(LibraryHeaderSize);
    for (int32_t i = 0; i < count; ++i) {
        TLibEntryHead h;
        if (!ReadEntryHead(h, endOffset, i)) return false;
        entries.push_back(std::move(h));
    }
    return true;
}

bool TLibreria::Rewrite(const std::vector<TLibEntryHead>& kept, const std::string* added) {
    int64_t end = LibraryHeaderSize;
    for (const TLibEntryHead& h : kept) end += 4 + int64_t(h.length);
    if (added) end += 4 + int64_t(added->size());
    if (end > INT32_MAX) {
        ReportWriteFailure(EFBIG);
        return false;
    }
    TMemoryStream out;
    try {
        out.WriteBuffer(LibraryTag, TagSize);
        WriteU8(out, HeaderMark);
        WriteI32(out, static_cast<int32_t>(kept.size() + (added ? 1 : 0)));
        WriteI32(out, static_cast<int32_t>(end));
        std::string record;
        for (const TLibEntryHead& h : kept) {
            if (!ReadRecord(h, record)) return false;
            WriteI32(out, h.length);
            out.WriteBuffer(record.data(), h.length);
        }
        if (added) {
            WriteI32(out, static_cast<int32_t>(added->size()));
            out.WriteBuffer(added->data(), static_cast<int>(added->size()));
        }
    } catch (const EStreamError&) {
        MarkDamaged();
        return false;
    }
    return Commit(out.Bytes());
}

bool TLibreria::Commit(const std::string& bytes) {
    // The entries move: the index of codes is made again at the next lookup.
    indexBuilt_ = false;
    ++generation_;
    if (!fromFile_) {
        // A library over a stream of its own (tests, fuzzing): the stream
        // takes the new bytes.
        try {
            if (auto* memory = dynamic_cast<TMemoryStream*>(file.get())) memory->Clear();
            file->SetPosition(0);
            file->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
            return true;
        } catch (const EStreamError& e) {
            ReportWriteFailure(e.ErrorCode);
            return false;
        }
    }
    int error = 0;
    if (!ReplaceFileContent(fileName, bytes, 0644, error)) {
        ReportWriteFailure(error);
        return false;
    }
    // The stream still reads the old file: it goes over to the new one.
    const bool writing = forWriting_;
    Close();
    OpenFile(writing);
    return true;
}

void TLibreria::ReportWriteFailure(int error) {
    AnsiString text = "Impossibile scrivere la libreria " + fileName + ".";
    if (error != 0) text += " Causa: " + SystemErrorText(error) + ".";
    ShowLibraryMessage(text);
}

bool TLibreria::DeleteEntry(const AnsiString& code) {
    if (!isOpen || !forWriting_) return false;
    std::vector<TLibEntryHead> entries;
    if (!ReadEntries(entries)) return false;
    auto found =
        std::find_if(entries.begin(), entries.end(), [&](const TLibEntryHead& h) { return h.code == code; });
    if (found == entries.end()) return false;
    entries.erase(found);
    return Rewrite(entries, nullptr);
}

bool TLibreria::AppendEntry(const std::string& record) {
    if (!isOpen || !forWriting_) return false;
    std::vector<TLibEntryHead> entries;
    if (!ReadEntries(entries)) return false;
    return Rewrite(entries, &record);
}

bool TLibreria::ReplaceEntry(const AnsiString& code, const std::string& record) {
    if (!isOpen || !forWriting_) return false;
    std::vector<TLibEntryHead> entries;
    if (!ReadEntries(entries)) return false;
    // The entry of the same code goes out as the new one comes in, in one write.
    auto found =
        std::find_if(entries.begin(), entries.end(), [&](const TLibEntryHead& h) { return h.code == code; });
    if (found != entries.end()) entries.erase(found);
    return Rewrite(entries, &record);
}

bool TLibreria::CreateFile(const AnsiString& fileName, bool overwrite) {
    // Making a library over an existing one empties it: the caller asks first.
    if (!overwrite && FileExists(fileName)) return false;
    TMemoryStream s;
    s.WriteBuffer(LibraryTag, TagSize);
    WriteU8(s, HeaderMark);
    WriteI32(s, 0);
    WriteI32(s, LibraryHeaderSize);
    int error = 0;
    if (ReplaceFileContent(fileName, s.Bytes(), 0644, error)) return true;
    TLibreria named;
    named.fileName = fileName;
    named.ReportWriteFailure(error);
    return false;
}

// ---------------------------------------------------------------- TLibrerie

TLibrerie::~TLibrerie() = default;

void TLibrerie::Append(std::unique_ptr<TLibreria> library) {
    if (!library) return;
    library->next = nullptr;
    (libraries_.empty() ? head : libraries_.back()->next) = library.get();
    libraries_.push_back(std::move(library));
}

std::unique_ptr<TLibreria> TLibrerie::Remove(TLibreria* library) {
    const auto held = std::find_if(libraries_.begin(), libraries_.end(),
                                   [library](const auto& l) { return l.get() == library; });
    if (!library || held == libraries_.end()) return nullptr;
    (held == libraries_.begin() ? head : (*(held - 1))->next) = library->next;
    library->next = nullptr;
    std::unique_ptr<TLibreria> taken = std::move(*held);
    libraries_.erase(held);
    return taken;
}

TLibreria* TLibrerie::Find(const AnsiString& name) const {
    const AnsiString wanted = AnsiUpperCase(name);
    for (TLibreria* l = head; l; l = l->next)
        if (AnsiUpperCase(l->Name()) == wanted) return l;
    return nullptr;
}

void TLibrerie::ListNames(TStringList& list) const {
    list.Clear();
    for (TLibreria* l = head; l; l = l->next)
        if (!l->fileName.empty()) list.Add(l->Name());
}

void TLibrerie::ListByName(const AnsiString& name, TStringList& list) const {
    if (TLibreria* l = Find(name))
        l->ListCategories(list);
    else
        list.Clear();
}

void TLibrerie::QueryByName(const AnsiString& name, TStringList& list, const AnsiString& category) const {
    if (TLibreria* l = Find(name))
        l->ListCodesOfCategory(list, category);
    else
        list.Clear();
}
