#pragma once
// Sparse float arrays of rank 2 to 4 whose innermost dimension is the band
// slot: the per-band tables of every component.
#include <cstdint>

#include "platform/classes.h"

class TInfo {
public:
    explicit TInfo(int rank);
    ~TInfo();
    TInfo(const TInfo&) = delete;
    TInfo& operator=(const TInfo&) = delete;

    // A block is size3 row pointers, each row size4 floats; any level may be null.
    using Row = float*;
    using Block = Row*;

    void Init(int size1, int size2, int size3, int size4);
    void SetSizes(int size1, int size2, int size3, int size4);
    void Allocate();
    Block Alloc2(int rows, int columns);
    Block* Alloc3(int n, int rows, int columns);
    Block** Alloc4(int a, int b, int rows, int columns);
    void Free();
    void AllocateTop();
    void AllocateRow(int i);
    void AllocateBlock(int i, int j);
    void FreeBlock(int i, int j);
    void CopyBlock(Block& target, Block source, int rows, int columns);
    void Assign(const TInfo& source);

    // Stream form; a header only from version 60000. Raises EReadError on a
    // stream that ends early or a damaged header.
    void Read(TStream& s, int version);
    void Write(TStream& s, int version) const;

    // Element access; missing levels read as LevelNone. Set allocates.
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

    Block** root4 = nullptr;
    Block* root3 = nullptr;
    Block root2 = nullptr;

private:
    int32_t size1 = 0, size2 = 0, size3 = 0, size4 = 0;
    int32_t rank = 0, fixedRank = 0;
};
