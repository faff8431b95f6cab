#pragma once
// Sparse float arrays of rank 2 to 4 whose innermost dimension is the band
// slot: the per-band tables of every component.
//
// Rank 4 is size1 x size2 blocks, rank 3 is size2 blocks, rank 2 one block; a
// block is size3 rows of size4 floats. Every level (outer array, inner array,
// block) is allocated on its own and may be null: a null level, like an entry
// of LevelNone, means "no value". An allocated block always has all its rows.
#include <cstdint>
#include <memory>

#include "core/levels.h"
#include "platform/classes.h"

class TInfo {
public:
    // An empty array of the given fixed rank; sizes of another rank are refused.
    explicit TInfo(int rank);
    ~TInfo();
    TInfo(const TInfo&) = delete;
    TInfo& operator=(const TInfo&) = delete;

    using Row = float*;
    using Block = Row*;

    // Frees the data, takes the sizes, and fixes the rank they give.
    void Init(int size1, int size2, int size3, int size4);
    // Frees the data when a size changes. Sizes of another rank than the
    // fixed one (or a negative size) leave the array empty: all sizes 0.
    void SetSizes(int size1, int size2, int size3, int size4);
    // Allocates every missing level of the rank in force; new rows hold LevelNone.
    void Allocate();
    Block Alloc2(int rows, int columns);
    void Alloc3(int n, int rows, int columns);
    void Alloc4(int a, int b, int rows, int columns);
    // Frees all data; the sizes stay.
    void Free();
    // Allocates the outermost level only (rank 2: the whole block).
    void AllocateTop();
    // Rank 3: block i; rank 4: entry i as size2 null blocks.
    void AllocateRow(int i);
    void AllocateBlock(int i, int j);  // rank 4
    void FreeBlock(int i, int j);      // rank 4
    // Becomes a copy of source: its fixed rank, sizes and every level.
    void Assign(const TInfo& source);

    // Stream form; a header only from version 60000. Raises EReadError on a
    // stream that ends early or a damaged header, EWriteError for an array
    // the stream form cannot hold.
    void Read(TStream& s, int version);
    void Write(TStream& s, int version) const;

    // Element access; missing levels and indexes out of range read as
    // LevelNone. Set allocates what is missing and ignores indexes out of range.
    float Get2(int row, int col) const;
    float Get3(int i, int row, int col) const;
    float Get4(int i, int j, int row, int col) const;
    void Set2(int row, int col, float v);
    void Set3(int i, int row, int col, float v);
    void Set4(int i, int j, int row, int col, float v);

    int Size1() const { return size1; }
    int Size2() const { return size2; }
    int Size3() const { return size3; }
    int Size4() const { return size4; }
    int Rank() const { return rank; }
    int FixedRank() const { return fixedRank; }

    // The stored blocks, for the callers that work on whole rows; null where
    // a level is missing or an index is out of range. Callers look at Rank()
    // first: the blocks of another rank than the one in force are empty.
    Block Block2() const { return root2.rows.get(); }
    bool HasBlocks3() const { return root3 != nullptr; }
    Block Block3(int i) const { return root3 && i >= 0 && i < size2 ? root3[i].rows.get() : nullptr; }
    bool HasBlocks4() const { return root4 != nullptr; }
    bool HasEntry4(int i) const { return root4 && i >= 0 && i < size1 && root4[i]; }
    Block Block4(int i, int j) const {
        return HasEntry4(i) && j >= 0 && j < size2 ? root4[i][j].rows.get() : nullptr;
    }
    // Rank 3: blocks i and j change places (a missing one stays missing);
    // the first n blocks in reverse order; block target becomes a copy of
    // block source (freed when source is missing). Indexes out of range do
    // nothing.
    void SwapBlocks3(int i, int j);
    void ReverseBlocks3(int n);
    void CopyBlock3(int target, int source);

private:
    // A block holds its size3 x size4 floats in one piece; its rows point
    // into them (callers may reorder the rows). Null rows: no block.
    struct TStoredBlock {
        std::unique_ptr<Row[]> rows;
        std::unique_ptr<float[]> values;
    };
    using TInner = std::unique_ptr<TStoredBlock[]>;  // size2 blocks, or null

    TStoredBlock NewBlock() const;
    void ClearBlock(TStoredBlock& block) const;
    // Copies rows x columns floats from source into target, allocating a
    // missing target; a null source frees the target. rows and columns are
    // clamped to size3 and size4.
    void CopyBlock(TStoredBlock& target, Block source, int rows, int columns) const;
    TInner CopyInner(const TInner& source) const;
    void FreeAll();
    void ReadBlock(TStream& s, TStoredBlock* target);
    void ReadPart3(TStream& s, TInner* target);
    void WriteBlock(TStream& s, Block block) const;
    void WritePart3(TStream& s, const TInner& inner) const;

    std::unique_ptr<TInner[]> root4;  // size1 entries, or null
    TInner root3;
    TStoredBlock root2;
    int32_t size1 = 0, size2 = 0, size3 = 0, size4 = 0;
    int32_t rank = 0, fixedRank = 0;
};

// Inline: the level passes read it in their inner loops.
inline float TInfo::Get3(int i, int row, int col) const {
    if (rank != 3 || !root3 || i < 0 || i >= size2) return LevelNone;
    const Block block = root3[i].rows.get();
    if (!block || row < 0 || row >= size3 || col < 0 || col >= size4 || !block[row]) return LevelNone;
    return block[row][col];
}
