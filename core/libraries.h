#pragma once
// Component libraries: ".alb" files of ready-described components, each entry
// the record of one cell under its article code; the program-wide list of the
// registered libraries; and an in-memory list of library cells kept in order.
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

class TCella;

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

    void Query(TStringList& list, const AnsiString& text, int typeCode, int key1, int key2, int key3,
               int kind);
    void ListCategories(TStringList& list);
    void ListCodesOfCategory(TStringList& list, const AnsiString& category);
    void ListByTypeAndKeys(TStringList& list, int typeCode, int inputs, int throughOutputs, int tapOutputs);
    // Kind 5: list holds each category with a TNestedStringList of its series,
    // each with a sorted TNestedStringList of its codes.
    void ListTree(TNestedStringList& list, int mode);

    // Positions the stream at the start of the record of the first entry with
    // this code (exact comparison).
    bool FindEntry(const AnsiString& code);
    // A new cell of the entry with this code, owned by the caller, or none.
    std::unique_ptr<TCella> ReadCell(const AnsiString& code);
    // Reads the entry with this code into the cell, which takes only an entry
    // of its own type code and port counts (any counts for cables).
    bool ReadCell(TCella& cell, const AnsiString& code);
    // Iteration over the entries: each call gives a new cell of the next entry
    // that reads, owned by the caller; none past the last entry.
    std::unique_ptr<TCella> FirstCell();
    std::unique_ptr<TCella> NextCell();
    // The same into a given cell: the next entry of the cell's kind. False
    // past the last entry.
    bool FirstCell(TCella& cell);
    bool NextCell(TCella& cell);

    // The writers, on a library opened for writing. Each builds the new
    // library in a temporary file beside the old one and puts it in its
    // place at once: on any failure the library is exactly as it was, the
    // answer is false and a message says what failed.
    // Removes the entry with this code.
    bool DeleteEntry(const AnsiString& code);
    // Appends an entry holding this record.
    bool AppendEntry(const std::string& record);
    // Writes the cell's record under its code, in place of an entry with the
    // same code (the new entry goes at the end).
    bool WriteCell(TCella& cell);
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
    // Reads the record bytes of an entry whose head was read.
    bool ReadRecord(const TLibEntryHead& head, std::string& record);
    // Loads a record into a cell, without harming the cell when the record
    // does not read (it is read into a scratch cell first).
    // number and code name the entry when it is damaged.
    // A fresh cell (made for the entry, dropped when it does not read) is
    // loaded at once.
    bool LoadRecord(TCella& cell, const std::string& record, int32_t number, const AnsiString& code,
                    bool fresh = false);
    // Says once that the library is damaged: at the entry number (from 0;
    // -1 for the header), with the code when it was read; rest when the
    // entries after it cannot be read either.
    void MarkDamaged(int32_t number = -1, const AnsiString& code = {}, bool rest = true);
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
    // The entries with this code, in order, until one reads: into the given
    // cell, or with none into a new cell of the first entry's kind, handed
    // out through made only when it read.
    bool ReadEntry(const AnsiString& code, TCella* into, std::unique_ptr<TCella>* made);
    // Starts the iteration over the entries.
    bool StartIteration();
    // The next entry that reads: into the given cell, or with none into a new
    // cell handed out through made.
    bool DeliverNext(TCella* into, std::unique_ptr<TCella>* made);
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
    // Reads the entry of the named library into the cell (as TLibreria::ReadCell).
    bool ReadCell(const AnsiString& name, TCella& cell, const AnsiString& code) const;
    // A new cell from the named library (owned by the caller), or none.
    std::unique_ptr<TCella> GetCell(const AnsiString& name, const AnsiString& code) const;

    TLibreria* head = nullptr;  // the first library; each one links the next

private:
    std::vector<std::unique_ptr<TLibreria>> libraries_;  // in list order
};

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
