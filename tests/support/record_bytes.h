#pragma once
// Helpers for tests of file records: a builder of little-endian bytes, the
// golden-byte fixtures (annotated hex files), and the program-wide prototypes
// and library list for the time of a test.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes.h"

class TUltimiComponenti;
class TLibrerie;
class TCella;
enum class TRecordResult;

// Builds the bytes of a record field by field.
class RecordBytes {
public:
    RecordBytes& I32(int32_t v);
    RecordBytes& U32(uint32_t v);
    RecordBytes& U8(uint8_t v);
    RecordBytes& F32(float v);
    // A chunked text as the file layer writes it for a field of this size
    // (at most size - 1 characters).
    RecordBytes& Text(const std::string& text, int size);
    // Raw bytes as they are.
    RecordBytes& Raw(const std::string& bytes);
    // A raw fixed-length field: the text, then NUL bytes up to its size.
    RecordBytes& Fixed(const std::string& text, int size);
    RecordBytes& Zeros(int n);

    const std::string& Bytes() const { return bytes_; }
    size_t Size() const { return bytes_.size(); }

private:
    std::string bytes_;
};

// Reads a golden-byte fixture of tests/fixtures: hex byte pairs, blanks and
// line ends between them ignored, '#' starts a comment up to the line end.
std::string ReadHexFixture(const std::string& name);
// The bytes as hex pairs, 16 to a line (for messages of failing tests).
std::string HexDump(const std::string& bytes);

// The program-wide last-used prototypes, fresh, while the object lives.
class ScopedPrototypes {
public:
    ScopedPrototypes();
    ~ScopedPrototypes();
    ScopedPrototypes(const ScopedPrototypes&) = delete;
    ScopedPrototypes& operator=(const ScopedPrototypes&) = delete;
    TUltimiComponenti& Get() { return *prototypes_; }

private:
    TUltimiComponenti* saved_;
    std::unique_ptr<TUltimiComponenti> prototypes_;
};

// The program-wide library list, empty, while the object lives.
class ScopedLibraries {
public:
    ScopedLibraries();
    ~ScopedLibraries();
    ScopedLibraries(const ScopedLibraries&) = delete;
    ScopedLibraries& operator=(const ScopedLibraries&) = delete;
    TLibrerie& Get() { return *libraries_; }

private:
    TLibrerie* saved_;
    std::unique_ptr<TLibrerie> libraries_;
};

// The whole record of a cell as written at version.
std::string SavedRecord(TCella& cell, int32_t version = 60000);
// Reads a whole record (its head skipped) into a cell built from that head,
// as the grid and library readers do.
TRecordResult ReadRecordInto(TCella& cell, const std::string& bytes, int32_t version);

// A cell record of versions 20000 to 50000 as older programs wrote it: the
// head, the base fields, the level vectors of Attenuation (the same columns
// for each of Rows rows, each vector of BandSlots values) and the fields
// after them.
struct TOldRecordSpec {
    int32_t Version = 50000;
    int32_t Code = 0;
    int32_t Inputs = 1;
    int32_t Through = 1;
    int32_t Orientation = 0;
    int32_t Column = 5;
    int32_t Row = 3;
    int32_t Rows = 1;
    uint8_t Characteristics = 0;  // the fourth byte of the old characteristics
    std::vector<std::vector<float>> Columns;
};
RecordBytes OldCellRecord(const TOldRecordSpec& spec);

// A cell record below version 20000 (10000: 6 band vectors; later: 10):
// grid selector, geometry, the band vectors of row 0 (each of 10 values,
// missing ones -1), the fixed-length texts and the last base fields. The
// class's own fields follow.
RecordBytes VeryOldCellRecord(int32_t version, int32_t selector, int32_t orientation,
                              const std::vector<std::vector<float>>& vectors);
