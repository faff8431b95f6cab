#include "core/info.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/file.h"
#include "core/levels.h"
#include "core/record_versions.h"

namespace {

// Floats stored for every row on file: the bands in use; slots beyond them
// are never stored.
constexpr int StoredColumns = 11;
constexpr int MaxCount = 127;  // counts and row indexes are signed bytes on file
constexpr int8_t EndOfBlock = -1;
constexpr int HeaderVersion = V60000;

// 4, minus one for each leading size that is 0.
int DerivedRank(int s1, int s2, int s3, int s4) {
    if (s1) return 4;
    if (s2) return 3;
    if (s3) return 2;
    if (s4) return 1;
    return 0;
}

bool InCount(int v) { return v >= 0 && v <= MaxCount; }

// A header is sound when both ranks agree, the rank is 2 to 4, the counts fit
// their bytes, the rows have 0 or 15 slots and the sizes the rank does not
// use are 0.
bool HeaderIsSound(int fixedRank, int s1, int s2, int s3, int s4, int rank) {
    return fixedRank == rank && rank >= 2 && rank <= 4 && InCount(s1) && InCount(s2) && InCount(s3) &&
           (s4 == 0 || s4 == BandSlots) && (rank == 4 || s1 == 0) && (rank >= 3 || s2 == 0);
}

float LoadF32(const unsigned char* p) {
    const uint32_t bits = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

void StoreF32(unsigned char* p, float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(bits >> (8 * i));
}

}  // namespace

TInfo::TInfo(int rank) : rank(rank), fixedRank(rank) {}

TInfo::~TInfo() = default;

TInfo::TStoredBlock TInfo::NewBlock() const {
    const size_t count = static_cast<size_t>(size3) * static_cast<size_t>(size4);
    TStoredBlock block;
    block.values = std::make_unique_for_overwrite<float[]>(count);
    std::fill_n(block.values.get(), count, LevelNone);
    block.rows = std::make_unique_for_overwrite<Row[]>(static_cast<size_t>(size3));
    for (int r = 0; r < size3; ++r) block.rows[r] = block.values.get() + static_cast<size_t>(r) * size4;
    return block;
}

void TInfo::ClearBlock(TStoredBlock& block) const {
    std::fill_n(block.values.get(), static_cast<size_t>(size3) * static_cast<size_t>(size4), LevelNone);
}

void TInfo::FreeAll() {
    root4.reset();
    root3.reset();
    root2 = {};
}

void TInfo::Init(int s1, int s2, int s3, int s4) {
    FreeAll();
    if (s1 < 0 || s2 < 0 || s3 < 0 || s4 < 0) s1 = s2 = s3 = s4 = 0;
    size1 = s1;
    size2 = s2;
    size3 = s3;
    size4 = s4;
    rank = fixedRank = DerivedRank(s1, s2, s3, s4);
}

void TInfo::SetSizes(int s1, int s2, int s3, int s4) {
    if (s1 != size1 || s2 != size2 || s3 != size3 || s4 != size4) FreeAll();
    if (s1 < 0 || s2 < 0 || s3 < 0 || s4 < 0) s1 = s2 = s3 = s4 = 0;
    const int derived = DerivedRank(s1, s2, s3, s4);
    if (fixedRank >= 1 && derived >= 1 && derived != fixedRank) s1 = s2 = s3 = s4 = 0;
    // The data were freed above when a size changed; the sizes only change now.
    size1 = s1;
    size2 = s2;
    size3 = s3;
    size4 = s4;
    rank = fixedRank;
}

void TInfo::Allocate() {
    switch (rank) {
    case 2:
        if (!root2.rows) root2 = NewBlock();
        break;
    case 3:
        if (!root3) root3 = std::make_unique<TStoredBlock[]>(size2);
        for (int j = 0; j < size2; ++j)
            if (!root3[j].rows) root3[j] = NewBlock();
        break;
    case 4:
        if (!root4) root4 = std::make_unique<TInner[]>(size1);
        for (int i = 0; i < size1; ++i) {
            if (!root4[i]) root4[i] = std::make_unique<TStoredBlock[]>(size2);
            for (int j = 0; j < size2; ++j)
                if (!root4[i][j].rows) root4[i][j] = NewBlock();
        }
        break;
    default: break;
    }
}

TInfo::Block TInfo::Alloc2(int rows, int columns) {
    SetSizes(0, 0, rows, columns);
    Allocate();
    return root2.rows.get();
}

void TInfo::Alloc3(int n, int rows, int columns) {
    SetSizes(0, n, rows, columns);
    Allocate();
}

void TInfo::Alloc4(int a, int b, int rows, int columns) {
    SetSizes(a, b, rows, columns);
    Allocate();
}

void TInfo::Free() {
    FreeAll();
    rank = fixedRank;
}

void TInfo::AllocateTop() {
    switch (rank) {
    case 2:
        if (!root2.rows) root2 = NewBlock();
        break;
    case 3:
        if (!root3) root3 = std::make_unique<TStoredBlock[]>(size2);
        break;
    case 4:
        if (!root4) root4 = std::make_unique<TInner[]>(size1);
        break;
    default: break;
    }
}

void TInfo::AllocateRow(int i) {
    if (rank == 3) {
        if (!root3) root3 = std::make_unique<TStoredBlock[]>(size2);
        if (i >= 0 && i < size2 && !root3[i].rows) root3[i] = NewBlock();
    } else if (rank == 4) {
        if (!root4) root4 = std::make_unique<TInner[]>(size1);
        if (i >= 0 && i < size1 && !root4[i]) root4[i] = std::make_unique<TStoredBlock[]>(size2);
    }
}

void TInfo::AllocateBlock(int i, int j) {
    if (rank != 4) return;
    AllocateRow(i);
    if (i < 0 || i >= size1 || j < 0 || j >= size2) return;
    if (!root4[i][j].rows) root4[i][j] = NewBlock();
}

void TInfo::FreeBlock(int i, int j) {
    if (rank != 4 || !root4 || i < 0 || i >= size1 || j < 0 || j >= size2 || !root4[i]) return;
    root4[i][j] = {};
}

void TInfo::CopyBlock(TStoredBlock& target, Block source, int rows, int columns) const {
    if (!source) {
        target = {};
        return;
    }
    if (!target.rows) target = NewBlock();
    rows = std::clamp(rows, 0, static_cast<int>(size3));
    columns = std::clamp(columns, 0, static_cast<int>(size4));
    for (int r = 0; r < rows; ++r) {
        if (source[r])
            std::copy_n(source[r], columns, target.rows[r]);
        else
            std::fill_n(target.rows[r], columns, LevelNone);
    }
}

TInfo::TInner TInfo::CopyInner(const TInner& source) const {
    if (!source) return nullptr;
    TInner inner = std::make_unique<TStoredBlock[]>(size2);
    for (int j = 0; j < size2; ++j) CopyBlock(inner[j], source[j].rows.get(), size3, size4);
    return inner;
}

void TInfo::Assign(const TInfo& source) {
    if (&source == this) return;
    FreeAll();
    fixedRank = source.fixedRank;
    size1 = source.size1;
    size2 = source.size2;
    size3 = source.size3;
    size4 = source.size4;
    rank = source.rank;
    switch (rank) {
    case 2: CopyBlock(root2, source.root2.rows.get(), size3, size4); break;
    case 3: root3 = CopyInner(source.root3); break;
    case 4:
        if (source.root4) {
            root4 = std::make_unique<TInner[]>(size1);
            for (int i = 0; i < size1; ++i) root4[i] = CopyInner(source.root4[i]);
        }
        break;
    default: break;
    }
}

float TInfo::Get2(int row, int col) const {
    const Block block = root2.rows.get();
    if (rank != 2 || !block || row < 0 || row >= size3 || col < 0 || col >= size4 || !block[row])
        return LevelNone;
    return block[row][col];
}

float TInfo::Get4(int i, int j, int row, int col) const {
    if (rank != 4 || !root4 || i < 0 || i >= size1 || !root4[i] || j < 0 || j >= size2) return LevelNone;
    const Block block = root4[i][j].rows.get();
    if (!block || row < 0 || row >= size3 || col < 0 || col >= size4 || !block[row]) return LevelNone;
    return block[row][col];
}

void TInfo::Set2(int row, int col, float v) {
    if (rank != 2 || row < 0 || row >= size3 || col < 0 || col >= size4) return;
    AllocateTop();
    root2.rows[row][col] = v;
}

void TInfo::Set3(int i, int row, int col, float v) {
    if (rank != 3 || i < 0 || i >= size2 || row < 0 || row >= size3 || col < 0 || col >= size4) return;
    AllocateRow(i);
    root3[i].rows[row][col] = v;
}

void TInfo::Set4(int i, int j, int row, int col, float v) {
    if (rank != 4 || i < 0 || i >= size1 || j < 0 || j >= size2 || row < 0 || row >= size3 || col < 0 ||
        col >= size4)
        return;
    AllocateBlock(i, j);
    root4[i][j].rows[row][col] = v;
}

// Reading. Every count on file is checked against the sizes in memory: what
// lies beyond them is read and dropped, so that the stream stays in step and
// nothing is stored or allocated from the file's own counts. A null target
// reads and drops a whole part.

void TInfo::ReadBlock(TStream& s, TStoredBlock* target) {
    const int rows = ReadI8(s);
    if (rows <= 0) {
        if (target) *target = {};
        return;
    }
    ReadU8(s);  // floats per row: always StoredColumns
    if (target) {
        if (target->rows)
            ClearBlock(*target);
        else
            *target = NewBlock();
    }
    const int columns = std::min<int>(StoredColumns, size4);
    unsigned char bytes[StoredColumns * 4];
    for (int index = ReadI8(s); index >= 0; index = ReadI8(s)) {
        s.ReadBuffer(bytes, sizeof bytes);
        if (!target || index >= size3) continue;
        float* row = target->rows[index];
        for (int c = 0; c < columns; ++c) row[c] = LoadF32(bytes + 4 * c);
    }
}

void TInfo::ReadPart3(TStream& s, TInner* target) {
    const int n = ReadI8(s);
    if (n <= 0) {
        if (target) target->reset();
        return;
    }
    if (target && !*target && size2 > 0) *target = std::make_unique<TStoredBlock[]>(size2);
    for (int j = 0; j < n; ++j) ReadBlock(s, target && *target && j < size2 ? &(*target)[j] : nullptr);
}

void TInfo::SwapBlocks3(int i, int j) {
    if (!root3 || i < 0 || j < 0 || i >= size2 || j >= size2) return;
    std::swap(root3[i], root3[j]);
}

void TInfo::ReverseBlocks3(int n) {
    if (root3) std::reverse(root3.get(), root3.get() + std::clamp(n, 0, static_cast<int>(size2)));
}

void TInfo::CopyBlock3(int target, int source) {
    if (!root3 || target < 0 || source < 0 || target >= size2 || source >= size2 || target == source) return;
    CopyBlock(root3[target], root3[source].rows.get(), size3, size4);
}

void TInfo::Read(TStream& s, int version) {
    if (version >= HeaderVersion) {
        ReadI32(s);  // reserved
        const int32_t fileFixedRank = ReadI32(s);
        const int32_t s1 = ReadI32(s), s2 = ReadI32(s), s3 = ReadI32(s), s4 = ReadI32(s);
        const int32_t fileRank = ReadI32(s);
        // A table of another rank than this one's cannot be what the record
        // holds here: the file is damaged.
        if (!HeaderIsSound(fileFixedRank, s1, s2, s3, s4, fileRank) ||
            (fixedRank >= 1 && fileRank != fixedRank))
            throw EReadError("Tabella di valori danneggiata");
        FreeAll();
        if (fixedRank < 1) fixedRank = fileRank;
        SetSizes(s1, s2, s3, s4);
        rank = fileRank;
    }
    switch (rank) {
    case 2: ReadBlock(s, &root2); break;
    case 3: ReadPart3(s, &root3); break;
    case 4: {
        const int n = ReadI8(s);
        if (n <= 0) {
            FreeAll();
            break;
        }
        if (!root4 && size1 > 0) root4 = std::make_unique<TInner[]>(size1);
        for (int i = 0; i < n; ++i) ReadPart3(s, root4 && i < size1 ? &root4[i] : nullptr);
        break;
    }
    default: throw EReadError("Tabella di valori senza dimensioni");
    }
}

// Writing.

void TInfo::WriteBlock(TStream& s, Block block) const {
    if (!block || size3 == 0) {
        WriteU8(s, 0);
        return;
    }
    WriteU8(s, static_cast<uint8_t>(size3));
    WriteU8(s, StoredColumns);
    unsigned char record[1 + StoredColumns * 4];
    for (int r = 0; r < size3; ++r) {
        const float* row = block[r];
        if (!row || std::all_of(row, row + size4, [](float v) { return v == LevelNone; })) continue;
        record[0] = static_cast<unsigned char>(r);
        for (int c = 0; c < StoredColumns; ++c) StoreF32(record + 1 + 4 * c, c < size4 ? row[c] : LevelNone);
        s.WriteBuffer(record, sizeof record);
    }
    WriteU8(s, static_cast<uint8_t>(EndOfBlock));
}

void TInfo::WritePart3(TStream& s, const TInner& inner) const {
    if (!inner || size2 == 0) {
        WriteU8(s, 0);
        return;
    }
    WriteU8(s, static_cast<uint8_t>(size2));
    for (int j = 0; j < size2; ++j) WriteBlock(s, inner[j].rows.get());
}

void TInfo::Write(TStream& s, int version) const {
    // Refuse what the reader would refuse, rather than write a file that
    // cannot be opened again.
    const bool countsFit = InCount(size1) && InCount(size2) && InCount(size3);
    if (version >= HeaderVersion) {
        if (!HeaderIsSound(fixedRank, size1, size2, size3, size4, rank))
            throw EWriteError("Tabella di valori non registrabile");
        WriteI32(s, 0);
        WriteI32(s, fixedRank);
        WriteI32(s, size1);
        WriteI32(s, size2);
        WriteI32(s, size3);
        WriteI32(s, size4);
        WriteI32(s, rank);
    } else if (!countsFit || rank < 2 || rank > 4) {
        throw EWriteError("Tabella di valori non registrabile");
    }
    switch (rank) {
    case 2: WriteBlock(s, root2.rows.get()); break;
    case 3: WritePart3(s, root3); break;
    case 4:
        if (!root4 || size1 == 0) {
            WriteU8(s, 0);
            break;
        }
        WriteU8(s, static_cast<uint8_t>(size1));
        for (int i = 0; i < size1; ++i) WritePart3(s, root4[i]);
        break;
    default: break;
    }
}
