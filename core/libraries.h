#pragma once
// Component libraries: ".alb" files of ready-described components, each entry
// the record of one component under its article code, and the program-wide
// list of the registered libraries. What an entry's record holds is the
// cells' to read and write (cells/library_cells.h), with the in-memory list
// of library cells.
//
// Library file (little-endian):
//   0  12 bytes  tag, "alb 6.0.0" padded with blanks to 12 characters
//   12 1 byte    the byte 9
//   13 int32     number of entries
//   17 int32     end offset: the file position just after the last entry
//   21 ...       entries: int32 L, then the L bytes of a cell record
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/record_versions.h"
#include "platform/classes.h"

// A string list that owns the objects it holds (nested lists of the library
// tree). Take an object out with SetObjects(i, nullptr) to keep it.
class TNestedStringList : public TStringList {
public:
    TNestedStringList() = default;
    ~TNestedStringList() override;
    TNestedStringList(const TNestedStringList&) = delete;
    TNestedStringList& operator=(const TNestedStringList&) = delete;
    // Adds the text with a new nested list as its object (sorted,
    // case-sensitive, duplicates accepted); this list owns it.
    TNestedStringList* AddNested(const AnsiString& text);
    // Takes entry index out of the list and hands over its nested list (none
    // when the entry has none).
    std::unique_ptr<TNestedStringList> TakeNested(int index);
    // Frees the nested lists, then empties the list.
    void ClearAll();

private:
    std::vector<std::unique_ptr<TNestedStringList>> nested_;
};

// Query kinds of TLibreria::Query.
enum TLibQuery : int {
    lqAllCodes = 0,         // every entry: its code
    lqCategories = 1,       // distinct categories, in order of first appearance
    lqCodesOfCategory = 2,  // codes of the entries of a category
    lqCodesOfType = 3,      // codes of the entries of a type code
    lqCodesOfKind = 4,      // codes of a type code with three port counts
    lqTree = 5,             // category -> series -> code (nested lists)
    lqSeriesOfType = 6,     // distinct non-empty series of a type code
    lqSeriesOfFamily = 7,   // the same by family (type 47 counts as 10)
};

// Which entries a tree query lists, by their type code; none: every entry.
// The layers above name the filters that know the classes (the palettes'
// offer is the class table's, in the cells).
using TEntryKindFilter = bool (*)(int32_t typeCode);
// Every entry but the price-list items.
bool NotPriceItem(int32_t typeCode);

// The version number a library tag stands for; 0 for a tag not known.
int32_t LibraryVersionOfTag(const std::string& tag12);

constexpr int LibraryHeaderSize = 21;
// The head of an entry's record: type code and three port counts.
constexpr int LibraryRecordHeadSize = 16;
constexpr int32_t LibraryVersion = CurrentVersion;
extern const char* const LibraryTag;  // "alb 6.0.0   "

// The head of a library entry: what queries read of each entry.
struct TLibEntryHead {
    int64_t offset = 0;  // position of the entry's length field
    int32_t length = 0;  // L: bytes of the record
    int32_t typeCode = 0;
    int32_t inputs = 0, throughOutputs = 0, tapOutputs = 0;
    AnsiString code, article, category, series;
};

class TLibreria {
public:
    TLibreria();
    ~TLibreria();
    TLibreria(const TLibreria&) = delete;
    TLibreria& operator=(const TLibreria&) = delete;

    // Opens the file when closed (messages as the refusals need them);
    // true when the library is open afterwards.
    bool Open(bool forWriting = false);
    // Closes the file; returns whether it was open.
    bool Close();
    // Opens the library over a stream it takes (tests, fuzzing, libraries in
    // memory); the header is checked as for a file. The stream counts as
    // writable.
    bool OpenStream(std::unique_ptr<TStream> stream);

    // admits: the entries a tree query lists (none: all).
    void Query(TStringList& list, const AnsiString& text, int typeCode, int key1, int key2, int key3,
               int kind, TEntryKindFilter admits = nullptr);
    void ListCategories(TStringList& list);
    void ListCodesOfCategory(TStringList& list, const AnsiString& category);
    void ListByTypeAndKeys(TStringList& list, int typeCode, int inputs, int throughOutputs, int tapOutputs);
    // Kind 5: list holds each category with a TNestedStringList of its series,
    // each with a sorted TNestedStringList of its codes.
    // admits: the entries listed (none: all).
    void ListTree(TNestedStringList& list, TEntryKindFilter admits = nullptr);

    // Positions the stream at the start of the record of the first entry with
    // this code (exact comparison).
    bool FindEntry(const AnsiString& code);

    // ---- The entries as records, for the readers of what a record holds ----
    // Calls visit with the head and number (from 0) of each entry filed under
    // this code, in file order, until it answers true (true then); an entry
    // whose head does not read ends the walk.
    bool VisitEntriesWithCode(const AnsiString& code,
                              const std::function<bool(const TLibEntryHead& head, int32_t number)>& visit);
    // Begins a walk over every entry; false when the library is closed or
    // its counts do not fit.
    bool StartIteration();
    // The head and number of the walk's next entry; false past the last
    // entry or at one whose head does not read (the walk ends there).
    bool NextEntryHead(TLibEntryHead& head, int32_t& number);
    // Reads the record bytes of an entry whose head was read.
    bool ReadRecord(const TLibEntryHead& head, std::string& record);
    // Says once that the library is damaged: at the entry number (from 0;
    // -1 for the header), with the code when it was read; rest when the
    // entries after it cannot be read either.
    void MarkDamaged(int32_t number = -1, const AnsiString& code = {}, bool rest = true);

    // The writers, on a library opened for writing. Each builds the new
    // library in a temporary file beside the old one and puts it in its
    // place at once: on any failure the library is exactly as it was, the
    // answer is false and a message says what failed.
    // Removes the entry with this code.
    bool DeleteEntry(const AnsiString& code);
    // Appends an entry holding this record.
    bool AppendEntry(const std::string& record);
    // Writes the record under the code, in place of an entry with the same
    // code (the new entry goes at the end).
    bool ReplaceEntry(const AnsiString& code, const std::string& record);
    // Open for writing: the writers may run.
    bool IsWritable() const { return isOpen && forWriting_; }
    // Makes a new, empty library file (header, no entries). An existing file
    // is kept (false) unless the caller has asked the user and says overwrite.
    static bool CreateFile(const AnsiString& fileName, bool overwrite = false);

    // The library's name: the base name of its file.
    AnsiString Name() const;
    bool IsOpen() const { return isOpen; }
    // An entry was found that does not fit the file (the walk stopped there).
    bool IsDamaged() const { return damaged; }

    bool isOpen = false;
    int32_t version = 0;
    AnsiString fileName;
    std::unique_ptr<TStream> file;
    TLibreria* next = nullptr;

private:
    bool OpenFile(bool forWriting);
    bool CheckHeader();
    // Reads count and end offset; false (library damaged) when they do not fit.
    bool ReadCounts(int32_t& count, int32_t& endOffset);
    // Reads the head of the entry at the stream position (the entry number
    // number of the file, from 0); false (damaged, the entry named in the
    // message) when it does not fit before the end offset.
    bool ReadEntryHead(TLibEntryHead& head, int32_t endOffset, int32_t number);
    // Where the entries of each code stand, in file order.
    struct TIndexedEntry {
        int64_t offset;  // of the entry's length field
        int32_t number;  // the entry's number in the file, from 0
    };
    // The entries with this code, through the index of codes (made by one
    // walk and kept while the file stays the same); none when closed.
    const std::vector<TIndexedEntry>* EntriesWithCode(const AnsiString& code);
    // The end offset read when the index was made (held to the file's size).
    int32_t IndexedEnd() const { return indexEnd_; }
    struct TFileIdentity {
        uint64_t device = 0, inode = 0;
        int64_t size = -1, modified = 0;
        uint64_t generation = 0;
        bool operator==(const TFileIdentity&) const = default;
    };
    // The heads of every entry; false (damaged) when the walk stops early.
    bool ReadEntries(std::vector<TLibEntryHead>& entries);
    // Puts in place a library of the kept entries and the added record.
    bool Rewrite(const std::vector<TLibEntryHead>& kept, const std::string* added);
    bool Commit(const std::string& bytes);
    void ReportWriteFailure(int error);

    bool forWriting_ = false;
    bool fromFile_ = false;  // opened by name (else over a stream of its own)
    bool damaged = false;
    std::unordered_map<AnsiString, std::vector<TIndexedEntry>> codeIndex_;
    bool indexBuilt_ = false;
    TFileIdentity indexOf_;
    int32_t indexEnd_ = LibraryHeaderSize;
    uint64_t generation_ = 0;  // a new stream, a rewrite
    bool damageReported_ = false;
    // Iteration state.
    int32_t iterCount_ = 0;
    int32_t iterIndex_ = 0;
    int32_t iterEnd_ = 0;
    int64_t iterPos_ = 0;
};

// The registered libraries, in order of registration; owns them.
class TLibrerie {
public:
    TLibrerie() = default;
    ~TLibrerie();
    TLibrerie(const TLibrerie&) = delete;
    TLibrerie& operator=(const TLibrerie&) = delete;

    void Append(std::unique_ptr<TLibreria> library);
    // Takes the library out of the list and hands it over; none when it is
    // not in the list.
    std::unique_ptr<TLibreria> Remove(TLibreria* library);
    // The first library whose base name equals the name, regardless of case.
    TLibreria* Find(const AnsiString& name) const;
    void ListNames(TStringList& list) const;
    void ListByName(const AnsiString& name, TStringList& list) const;
    void QueryByName(const AnsiString& name, TStringList& list, const AnsiString& category) const;

    TLibreria* head = nullptr;  // the first library; each one links the next

private:
    std::vector<std::unique_ptr<TLibreria>> libraries_;  // in list order
};
