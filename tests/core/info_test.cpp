#include "core/info.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "core/file.h"
#include "core/levels.h"

namespace {

constexpr int Current = 60000;

// Bytes of a record, built field by field.
struct Bytes {
    TMemoryStream s;
    Bytes& I32(int32_t v) {
        WriteI32(s, v);
        return *this;
    }
    Bytes& U8(int v) {
        WriteU8(s, static_cast<uint8_t>(v));
        return *this;
    }
    Bytes& Row(int index, float first, float second = LevelNone) {
        U8(index);
        WriteF32(s, first);
        WriteF32(s, second);
        for (int c = 2; c < 11; ++c) WriteF32(s, LevelNone);
        return *this;
    }
    Bytes& Header(int rank, int s1, int s2, int s3, int s4) {
        return I32(0).I32(rank).I32(s1).I32(s2).I32(s3).I32(s4).I32(rank);
    }
    std::string str() const { return s.Bytes(); }
};

std::string Written(const TInfo& info, int version = Current) {
    TMemoryStream s;
    info.Write(s, version);
    return s.Bytes();
}

// Every entry of two arrays of the same rank agrees, over the larger sizes.
void ExpectSameValues(const TInfo& a, const TInfo& b) {
    ASSERT_EQ(a.Rank(), b.Rank());
    const int n1 = std::max(a.Size1(), b.Size1()), n2 = std::max(a.Size2(), b.Size2());
    const int n3 = std::max(a.Size3(), b.Size3()), n4 = std::max(a.Size4(), b.Size4());
    for (int i = 0; i < std::max(n1, 1); ++i)
        for (int j = 0; j < std::max(n2, 1); ++j)
            for (int r = 0; r < n3; ++r)
                for (int c = 0; c < n4; ++c) {
                    float x, y;
                    if (a.Rank() == 4)
                        x = a.Get4(i, j, r, c), y = b.Get4(i, j, r, c);
                    else if (a.Rank() == 3)
                        x = a.Get3(j, r, c), y = b.Get3(j, r, c);
                    else
                        x = a.Get2(r, c), y = b.Get2(r, c);
                    ASSERT_EQ(x, y) << i << ' ' << j << ' ' << r << ' ' << c;
                }
}

TEST(TInfoSizes, SizesOfAnotherRankLeaveTheArrayEmpty) {
    const struct {
        int rank;
        int s1, s2, s3, s4;
        int e1, e2, e3, e4;
    } cases[] = {
        {3, 1, 2, 3, 15, 0, 0, 0, 0},                                 // sizes of rank 4
        {3, 0, 2, 3, 15, 0, 2, 3, 15}, {3, 0, 0, 3, 15, 0, 0, 0, 0},  // sizes of rank 2
        {2, 0, 0, 3, 15, 0, 0, 3, 15}, {2, 0, 1, 3, 15, 0, 0, 0, 0},
        {4, 2, 3, 4, 15, 2, 3, 4, 15}, {4, 0, 3, 4, 15, 0, 0, 0, 0},
        {3, 0, 0, 0, 0, 0, 0, 0, 0},   {3, 0, -1, 3, 15, 0, 0, 0, 0},  // a negative size
    };
    for (const auto& c : cases) {
        TInfo info(c.rank);
        info.SetSizes(c.s1, c.s2, c.s3, c.s4);
        EXPECT_EQ(info.Size1(), c.e1);
        EXPECT_EQ(info.Size2(), c.e2);
        EXPECT_EQ(info.Size3(), c.e3);
        EXPECT_EQ(info.Size4(), c.e4);
        EXPECT_EQ(info.Rank(), c.rank);
        info.Allocate();  // must stay within what the sizes allow
    }
}

TEST(TInfoSizes, InitFixesTheRankOfItsSizes) {
    TInfo info(2);
    info.Init(0, 4, 2, 15);
    EXPECT_EQ(info.Rank(), 3);
    EXPECT_EQ(info.FixedRank(), 3);
    info.Init(1, 4, 2, 15);
    EXPECT_EQ(info.FixedRank(), 4);
}

TEST(TInfoAccess, NewRowsHoldNoValueAndLevelsAreSeparate) {
    TInfo info(4);
    info.SetSizes(2, 3, 4, 15);
    EXPECT_FALSE(info.HasBlocks4());
    EXPECT_EQ(info.Get4(1, 2, 3, 14), LevelNone);
    info.Set4(1, 2, 3, 14, 7.5f);
    ASSERT_TRUE(info.HasBlocks4());
    EXPECT_FALSE(info.HasEntry4(0));  // only the path to the entry is made
    EXPECT_EQ(info.Block4(1, 0), nullptr);
    EXPECT_EQ(info.Get4(1, 2, 3, 14), 7.5f);
    EXPECT_EQ(info.Get4(1, 2, 3, 13), LevelNone);
    EXPECT_EQ(info.Get4(1, 2, 0, 0), LevelNone);
    // Out of range: no value, and nothing written.
    EXPECT_EQ(info.Get4(2, 0, 0, 0), LevelNone);
    EXPECT_EQ(info.Get4(0, 0, 4, 0), LevelNone);
    EXPECT_EQ(info.Get4(0, 0, 0, 15), LevelNone);
    info.Set4(2, 0, 0, 0, 1.0f);
    info.Set4(0, 0, 0, -1, 1.0f);

    info.FreeBlock(1, 2);
    EXPECT_EQ(info.Get4(1, 2, 3, 14), LevelNone);
    EXPECT_TRUE(info.HasEntry4(1));

    TInfo other(3);
    EXPECT_EQ(other.Alloc2(3, 15), nullptr);  // rank 2 sizes on a rank 3 array: nothing
    EXPECT_EQ(other.Size3(), 0);
}

TEST(TInfoAccess, AllocateFillsEveryLevel) {
    TInfo info(3);
    info.Alloc3(2, 3, 15);
    ASSERT_TRUE(info.HasBlocks3());
    for (int j = 0; j < 2; ++j) {
        TInfo::Block block = info.Block3(j);
        ASSERT_NE(block, nullptr);
        for (int r = 0; r < 3; ++r) {
            ASSERT_NE(block[r], nullptr);
            for (int c = 0; c < 15; ++c) ASSERT_EQ(block[r][c], LevelNone);
        }
    }
    info.Block3(1)[2][5] = 3.0f;
    EXPECT_EQ(info.Get3(1, 2, 5), 3.0f);
    info.Free();
    EXPECT_FALSE(info.HasBlocks3());
    EXPECT_EQ(info.Size2(), 2);  // sizes stay
    EXPECT_EQ(info.Get3(1, 2, 5), LevelNone);
}

TEST(TInfoStream, AnEmptyBlockIsThreeBytes) {
    TInfo info(2);
    info.Alloc2(3, 15);
    EXPECT_EQ(Written(info), Bytes().Header(2, 0, 0, 3, 15).U8(3).U8(11).U8(0xFF).str());
    EXPECT_EQ(Written(info, 50000), Bytes().U8(3).U8(11).U8(0xFF).str());
    info.Free();
    EXPECT_EQ(Written(info, 50000), Bytes().U8(0).str());
}

TEST(TInfoStream, OnlyRowsWithAValueAreWrittenWithElevenFloats) {
    TInfo info(3);
    info.SetSizes(0, 3, 4, 15);
    info.Set3(0, 1, 0, -2.5f);
    info.Set3(0, 1, 1, LevelBlocked);
    info.Set3(0, 3, 12, 9.0f);  // a value in a slot that is never stored
    info.AllocateRow(2);        // allocated, no value
    const std::string expected = Bytes()
                                     .Header(3, 0, 3, 4, 15)
                                     .U8(3)
                                     .U8(4)
                                     .U8(11)
                                     .Row(1, -2.5f, LevelBlocked)
                                     .Row(3, LevelNone)
                                     .U8(0xFF)
                                     .U8(0)  // null block
                                     .U8(4)
                                     .U8(11)
                                     .U8(0xFF)  // allocated, all empty
                                     .str();
    EXPECT_EQ(Written(info), expected);

    TInfo back(3);
    TMemoryStream in(expected);
    back.Read(in, Current);
    EXPECT_EQ(back.Get3(0, 1, 0), -2.5f);
    EXPECT_EQ(back.Get3(0, 1, 1), LevelBlocked);
    EXPECT_EQ(back.Get3(0, 3, 12), LevelNone);  // slots 11 to 14 read back as no value
    EXPECT_NE(back.Block3(0)[3], nullptr);
    EXPECT_EQ(back.Block3(1), nullptr);
    EXPECT_NE(back.Block3(2), nullptr);
    EXPECT_EQ(in.Position(), static_cast<int64_t>(expected.size()));
}

// Arrays of each rank with values, null levels and empty blocks.
void Fill(TInfo& info) {
    switch (info.FixedRank()) {
    case 2:
        info.SetSizes(0, 0, 5, 15);
        info.Set2(0, 0, 1.0f);
        info.Set2(4, 10, LevelRepeat);
        break;
    case 3:
        info.SetSizes(0, 4, 3, 15);
        for (int j = 0; j < 4; j += 2)
            for (int r = 0; r < 3; ++r) info.Set3(j, r, (j + r) % 11, 0.5f * (j * 3 + r));
        info.AllocateRow(3);
        break;
    case 4:
        info.SetSizes(3, 2, 6, 15);
        info.Set4(0, 1, 5, 10, -3.25f);
        info.Set4(2, 0, 0, 0, 50000.0f);
        info.Set4(2, 1, 3, 7, LevelOff);
        info.AllocateRow(1);  // an entry of null blocks
        break;
    }
}

TEST(TInfoStream, RoundTripsAtTheCurrentVersion) {
    for (int rank : {2, 3, 4}) {
        TInfo original(rank);
        Fill(original);
        const std::string bytes = Written(original);
        TInfo back(rank);
        back.Alloc2(1, 1);  // data held under other sizes goes
        TMemoryStream in(bytes + "X");
        back.Read(in, Current);
        EXPECT_EQ(ReadU8(in), 'X') << rank;
        EXPECT_EQ(back.Size1(), original.Size1());
        EXPECT_EQ(back.Size2(), original.Size2());
        EXPECT_EQ(back.Size3(), original.Size3());
        ExpectSameValues(original, back);
        EXPECT_EQ(Written(back), bytes) << "rank " << rank;
    }
}

TEST(TInfoStream, ReadingReplacesWhatWasThere) {
    TInfo original(3);
    Fill(original);
    TInfo back(3);
    Fill(back);
    back.Set3(0, 0, 14, 4.0f);  // not on file
    back.Set3(1, 2, 2, 4.0f);   // block 1 is null on file
    TMemoryStream in(Written(original));
    back.Read(in, Current);
    ExpectSameValues(original, back);
}

// The cells reorder the rows of a block in place: a copy, a write and a read
// over it follow the rows as they now stand.
TEST(TInfoStream, ReorderedRowsAreCopiedWrittenAndReadAsTheyStand) {
    TInfo info(3);
    info.SetSizes(0, 1, 3, BandSlots);
    info.Set3(0, 0, 1, 5.0f);
    info.Set3(0, 2, 3, 7.0f);
    TInfo::Block block = info.Block3(0);
    std::swap(block[0], block[2]);
    EXPECT_EQ(info.Get3(0, 2, 1), 5.0f);
    EXPECT_EQ(info.Get3(0, 0, 3), 7.0f);

    TInfo copy(3);
    copy.Assign(info);
    ExpectSameValues(info, copy);
    TInfo back(3);
    TMemoryStream in(Written(info));
    back.Read(in, Current);
    ExpectSameValues(info, back);

    // Reading an old record (no header: the block stays) over the reordered
    // block clears every row first.
    TInfo fresh(3);
    fresh.SetSizes(0, 1, 3, BandSlots);
    fresh.Set3(0, 1, 0, 9.0f);
    TMemoryStream again(Written(fresh, 50000));
    info.Read(again, 50000);
    ExpectSameValues(fresh, info);
}

TEST(TInfoStream, OldVersionsReadWithTheCallersSizes) {
    for (int rank : {2, 3, 4}) {
        TInfo original(rank);
        Fill(original);
        const std::string bytes = Written(original, 50000);
        EXPECT_EQ(bytes, Written(original).substr(28)) << "the body alone";
        TInfo back(rank);
        back.SetSizes(original.Size1(), original.Size2(), original.Size3(), original.Size4());
        TMemoryStream in(bytes);
        back.Read(in, 50000);
        EXPECT_EQ(in.Position(), static_cast<int64_t>(bytes.size()));
        ExpectSameValues(original, back);
    }
}

TEST(TInfoStream, CountsBeyondTheCallersSizesAreSkipped) {
    // Three blocks of five rows on file; the caller holds two blocks of two rows.
    const std::string bytes = Bytes()
                                  .U8(3)
                                  .U8(5)
                                  .U8(11)
                                  .Row(0, 1.0f)
                                  .Row(4, 2.0f)
                                  .Row(1, 3.0f)
                                  .U8(0xFF)
                                  .U8(5)
                                  .U8(11)
                                  .Row(1, 4.0f)
                                  .U8(0xFF)
                                  .U8(5)
                                  .U8(11)
                                  .Row(0, 5.0f)
                                  .U8(0xFF)
                                  .U8(0x5A)
                                  .str();
    TInfo info(3);
    info.SetSizes(0, 2, 2, 15);
    TMemoryStream in(bytes);
    info.Read(in, 40000);
    EXPECT_EQ(info.Get3(0, 0, 0), 1.0f);
    EXPECT_EQ(info.Get3(0, 1, 0), 3.0f);  // the row after a skipped one
    EXPECT_EQ(info.Get3(1, 1, 0), 4.0f);
    EXPECT_EQ(ReadU8(in), 0x5A);  // the stream stays in step

    // Fewer floats in memory than on file: only the slots the row has.
    TInfo narrow(2);
    narrow.SetSizes(0, 0, 1, 1);
    TMemoryStream in2(Bytes().U8(1).U8(11).Row(0, 6.0f, 7.0f).U8(0xFF).str());
    narrow.Read(in2, 40000);
    EXPECT_EQ(narrow.Get2(0, 0), 6.0f);
    EXPECT_EQ(narrow.Get2(0, 1), LevelNone);
}

TEST(TInfoStream, DamagedHeadersAreRefused) {
    const struct {
        const char* what;
        int32_t fixedRank, s1, s2, s3, s4, rank;
    } cases[] = {
        {"ranks differ", 3, 0, 2, 3, 15, 4},
        {"rank 1", 1, 0, 0, 0, 15, 1},
        {"rank 5", 5, 0, 2, 3, 15, 5},
        {"negative rank", -3, 0, 2, 3, 15, -3},
        {"size 128", 3, 0, 128, 3, 15, 3},
        {"negative size", 3, 0, -1, 3, 15, 3},
        {"huge size", 3, 0, 2, 0x7FFFFFFF, 15, 3},
        {"size4 11", 3, 0, 2, 3, 11, 3},
        {"size4 16", 3, 0, 2, 3, 16, 3},
        {"size1 on rank 3", 3, 1, 2, 3, 15, 3},
        {"size2 on rank 2", 2, 0, 2, 3, 15, 2},
        {"not this array's rank", 4, 1, 2, 3, 15, 4},
    };
    for (const auto& c : cases) {
        TInfo info(3);
        info.Alloc3(1, 1, 15);
        info.Set3(0, 0, 0, 8.0f);
        const std::string bytes =
            Bytes().I32(0).I32(c.fixedRank).I32(c.s1).I32(c.s2).I32(c.s3).I32(c.s4).I32(c.rank).U8(0).str();
        TMemoryStream in(bytes);
        EXPECT_THROW(info.Read(in, Current), EReadError) << c.what;
        EXPECT_EQ(info.Get3(0, 0, 0), 8.0f) << c.what << ": the array is left as it was";
    }
}

TEST(TInfoStream, EveryCutOfARecordIsAnError) {
    for (int rank : {2, 3, 4}) {
        TInfo original(rank);
        Fill(original);
        for (int version : {Current, 50000}) {
            const std::string bytes = Written(original, version);
            for (size_t cut = 0; cut < bytes.size(); ++cut) {
                TInfo info(rank);
                info.SetSizes(original.Size1(), original.Size2(), original.Size3(), original.Size4());
                TMemoryStream in(bytes.substr(0, cut));
                ASSERT_THROW(info.Read(in, version), EReadError) << "rank " << rank << " cut at " << cut;
            }
        }
    }
}

TEST(TInfoStream, ArraysTheFileCannotHoldAreNotWritten) {
    TInfo wide(3);
    wide.SetSizes(0, 128, 1, 15);
    EXPECT_THROW(Written(wide), EWriteError);
    EXPECT_THROW(Written(wide, 50000), EWriteError);
    TInfo narrow(2);
    narrow.SetSizes(0, 0, 2, 11);
    EXPECT_THROW(Written(narrow), EWriteError);
    TInfo empty(4);  // never sized: an empty record
    EXPECT_EQ(Written(empty), Bytes().Header(4, 0, 0, 0, 0).U8(0).str());
}

TEST(TInfoAssign, CopiesEveryLevelAndFreesWhatTheSourceLacks) {
    for (int rank : {2, 3, 4}) {
        TInfo source(rank);
        Fill(source);
        TInfo target(rank == 2 ? 3 : 2);
        Fill(target);
        target.Assign(source);
        EXPECT_EQ(target.FixedRank(), rank);
        ExpectSameValues(source, target);
        EXPECT_EQ(Written(target), Written(source));
        // The copy is deep.
        source.Free();
        EXPECT_NE(Written(target), Written(source));
    }
    TInfo empty(3);
    empty.SetSizes(0, 4, 3, 15);
    TInfo target(3);
    Fill(target);
    target.Assign(empty);
    EXPECT_FALSE(target.HasBlocks3());
    EXPECT_EQ(target.Get3(0, 0, 0), LevelNone);
}

TEST(TInfoAssign, CopyBlock) {
    TInfo info(3);
    info.SetSizes(0, 3, 3, 15);
    info.Set3(0, 2, 4, 11.0f);  // block 2 stays missing
    info.CopyBlock3(1, 0);      // allocates the missing target
    EXPECT_EQ(info.Get3(1, 2, 4), 11.0f);
    info.Set3(0, 2, 4, 12.0f);
    EXPECT_EQ(info.Get3(1, 2, 4), 11.0f);  // a copy, not a share
    info.CopyBlock3(1, 2);                 // a missing source frees the target
    EXPECT_EQ(info.Block3(1), nullptr);
    info.CopyBlock3(1, 0);
    EXPECT_EQ(info.Get3(1, 2, 4), 12.0f);
    info.CopyBlock3(0, 0);  // onto itself: nothing changes
    EXPECT_EQ(info.Get3(0, 2, 4), 12.0f);
}

}  // namespace
