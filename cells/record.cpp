// The base cell record: TCella::Save, TCella::Load and the readers of the
// level vectors of older records.
#include "cells/record.h"

#include <algorithm>
#include <cstring>

#include "cells/cell.h"
#include "core/band_systems.h"
#include "core/file.h"
#include "core/globals.h"
#include "core/info.h"
#include "core/levels.h"
#include "core/record_refs.h"
#include "cells/cell_grid.h"
#include "cells/cell_project.h"
#include "platform/codec.h"

namespace {

constexpr int AuxArticles = 2;
constexpr int StageColumns = 7;      // columns of a level table
constexpr int OldVectorValues = 10;  // floats of a band vector before version 20000
constexpr int TInfoHeaderBytes = 28;

// Raw text fields of records before version 20000.
constexpr int OldDescriptionBytes = 30;
constexpr int OldNotesBytes = 100;
constexpr int OldBrandBytes = 20;
constexpr int OldCodeBytes = 20;
constexpr int OldPriceBytes = 15;

// Old files wrote sentinels as small negative codes.
constexpr float OldSentinelLow = -100.0f;
constexpr float OldSentinelShift = 500000.0f;

bool IsOldSentinel(float v) { return v > OldSentinelLow && v < 0.0f; }

void ConvertOldSentinels(float* row, int n) {
    for (int i = 0; i < n; ++i) row[i] = ConvertOldSentinel(row[i]);
}

// Applies f to every allocated row (15 floats) of a rank-3 table, in rows
// [firstBlock, size2).
template <typename F>
void ForEachRow(TInfo& t, int firstBlock, F f) {
    if (t.Rank() != 3 || !t.HasBlocks3()) return;
    for (int i = firstBlock; i < t.Size2(); ++i) {
        TInfo::Block block = t.Block3(i);
        if (!block) continue;
        for (int r = 0; r < t.Size3(); ++r)
            if (block[r]) f(block[r]);
    }
}

// The shape a table must have for the cell's port table.
struct TShape {
    int rank;
    int32_t s1, s2, s3, s4;
};

TShape AttenuationShape(const TCella& c) { return {3, 0, c.TableRows, c.TableColumns, BandSlots}; }
TShape LevelShape(const TCella& c) { return {3, 0, c.TableRows, StageColumns, BandSlots}; }
TShape MatrixAShape(const TCella& c) { return {4, c.TableRows, c.MatrixColumns, c.MatrixDepth, BandSlots}; }
TShape MatrixBShape(const TCella& c) { return {4, c.TableRows, c.MatrixColumns, StageColumns, BandSlots}; }

// A table's stored sizes fit when they are all 0 (a table never sized) or
// exactly the shape the port table gives it.
bool SizesFit(int32_t fixedRank, int32_t s1, int32_t s2, int32_t s3, int32_t s4, const TShape& shape) {
    if (fixedRank != shape.rank) return false;
    if (s1 == 0 && s2 == 0 && s3 == 0 && s4 == 0) return true;
    return s1 == shape.s1 && s2 == shape.s2 && s3 == shape.s3 && s4 == shape.s4;
}

bool TableFits(const TInfo& t, const TShape& shape) {
    return SizesFit(t.FixedRank(), t.Size1(), t.Size2(), t.Size3(), t.Size4(), shape);
}

// Reads one table of a record from version 60000 on, after checking its
// header: sizes that do not fit the port table are refused before anything
// is allocated for them.
void ReadTable(TStream& s, TInfo& t, const TShape& shape, int32_t version) {
    const int64_t start = s.Position();
    int32_t h[7];
    for (int32_t& v : h) v = ReadI32(s);
    if (!SizesFit(h[1], h[2], h[3], h[4], h[5], shape)) throw EReadError("table sizes do not fit the cell");
    s.SetPosition(start);
    static_assert(sizeof h == TInfoHeaderBytes);
    t.Read(s, version);
}

// Before version 60000 the reader gives every table its shape.
void SizeTable(TInfo& t, const TShape& shape) { t.SetSizes(shape.s1, shape.s2, shape.s3, shape.s4); }

void ConvertOldSentinelFields(TCella& c) {
    ForEachRow(*c.Attenuation, 0, [&c](float* row) { ConvertOldSentinels(row, c.Attenuation->Size4()); });
    c.Price = ConvertOldSentinel(c.Price);
    c.ExtraValue = ConvertOldSentinel(c.ExtraValue);
    c.Current1 = ConvertOldSentinel(c.Current1);
    for (float& q : c.AuxQuantity) q = ConvertOldSentinel(q);
    if (c.InstallMinutes > -100 && c.InstallMinutes < 0)
        c.InstallMinutes -= static_cast<int32_t>(OldSentinelShift);
}

// Reads n floats of a band vector: the first 15 into row (when given), the
// rest skipped.
void ReadVector(TStream& s, int32_t n, float* row) {
    const int32_t kept = std::min<int32_t>(n, BandSlots);
    for (int32_t i = 0; i < kept; ++i) {
        const float v = ReadF32(s);
        if (row) row[i] = v;
    }
    SkipBytes(s, int64_t(n - kept) * 4);
}

float* AttenuationRow(TCella& c, int row, int column) {
    if (row < 0 || row >= c.TableRows || column < 0 || column >= c.TableColumns) return nullptr;
    TInfo& t = *c.Attenuation;
    if (t.Size2() != c.TableRows || t.Size3() != c.TableColumns || t.Size4() != BandSlots)
        SizeTable(t, AttenuationShape(c));
    t.AllocateRow(row);
    if (t.Rank() != 3 || !t.Block3(row)) return nullptr;
    return t.Block3(row)[column];
}

void LoadBeforeV20000(TCella& c, TStream& s, int32_t version) {
    const int32_t selector = ReadI32(s);
    if (ProgettoInCaricamento)
        c.Owner = selector == 0 ? ProgettoInCaricamento->HeadEndCellGrid() : ProgettoInCaricamento->NetworkCellGrid();
    c.Orientation = ReadI32(s);
    c.Mirrored = ReadI32(s);
    c.Column = ReadI32(s);
    c.Row = ReadI32(s);
    c.Variant = 0;
    c.SetPortCounts();
    SizeTable(*c.Attenuation, AttenuationShape(c));

    const int vectors = version == V10000 ? 6 : 10;
    bool rowRead = false;
    for (int k = 0; k < vectors; ++k) {
        float values[OldVectorValues];
        for (float& v : values) v = ReadF32(s);
        if (float* row = c.TableRows > 0 ? AttenuationRow(c, 0, k) : nullptr) {
            std::copy(values, values + OldVectorValues, row);
            rowRead = true;
        }
    }
    if (rowRead && SistemaBande2) {
        TSistemaBande* cellsDefault = c.BandSystem;
        c.BandSystem = SistemaBande2;
        c.SetBandSystem(cellsDefault);
    }

    c.Currency = 0;
    c.Description = ReadRawText(s, OldDescriptionBytes);
    c.Notes = ReadRawText(s, OldNotesBytes);
    c.Brand = ReadRawText(s, OldBrandBytes);
    c.Code = ReadRawText(s, OldCodeBytes);
    const AnsiString price = ReadRawText(s, OldPriceBytes);
    try {
        c.Price = TextToFloatLenient(price);
    } catch (const EConvertError&) {
        c.Price = 0.0f;
    }
    c.Described = ReadU8(s);
    c.InstallMinutes = ReadI32(s);
    ReadU8(s);  // not used
    ConvertOldSentinelFields(c);
}

}  // namespace

float ConvertOldSentinel(float value) { return IsOldSentinel(value) ? value - OldSentinelShift : value; }

bool TablesFitPortTable(const TCella& c) {
    return TableFits(*c.Attenuation, AttenuationShape(c)) && TableFits(*c.LevelTableA, LevelShape(c)) &&
           TableFits(*c.LevelTableB, LevelShape(c)) && TableFits(*c.LevelTableC, LevelShape(c)) &&
           TableFits(*c.MatrixTableA, MatrixAShape(c)) && TableFits(*c.MatrixTableB, MatrixBShape(c));
}

void SaveCellRecord(TCella& cell, TStream& stream, int32_t version) { cell.Save(stream, version); }

TRecordResult ReadCellRecord(TCella& cell, TStream& stream, int32_t version) {
    try {
        cell.Load(stream, version);
    } catch (const EReadError&) {
        return stream.Position() >= stream.Size() ? TRecordResult::Truncated : TRecordResult::Damaged;
    } catch (const EStreamError&) {
        return TRecordResult::Damaged;
    }
    // No grid comes near this size; a position beyond it is damage, and would
    // overflow when the cell's squares are worked out from it.
    constexpr int32_t MaxGridExtent = 1 << 16;
    const bool placed =
        cell.Column >= 0 && cell.Column < MaxGridExtent && cell.Row >= 0 && cell.Row < MaxGridExtent;
    const bool fits = placed && cell.Orientation >= 0 && cell.Orientation <= 3 &&
                      (cell.Mirrored == 0 || cell.Mirrored == 1) && cell.BandSystem != nullptr &&
                      TablesFitPortTable(cell);
    return fits ? TRecordResult::Ok : TRecordResult::Damaged;
}

bool LoadCellRecord(TCella& cell, TStream& stream, int32_t version) {
    return ReadCellRecord(cell, stream, version) == TRecordResult::Ok;
}

void LoadLevelRows(TCella& c, TStream& s, int32_t version) {
    const int vectors = version == V10000 ? 6 : 10;
    for (int r = 1; r < c.TableRows; ++r) {
        for (int k = 0; k < vectors; ++k) {
            float values[OldVectorValues];
            for (float& v : values) v = ReadF32(s);
            float* row = AttenuationRow(c, r, k);
            if (!row) continue;
            std::copy(values, values + OldVectorValues, row);
            if (SistemaBande2 && SistemaBande3) SistemaBande2->LevelsByBand(*SistemaBande3, row);
            ConvertOldSentinels(row, BandSlots);
        }
    }
    if (SistemaBande3) c.BandSystem = SistemaBande3;
}

// ---------------------------------------------------------------- TCella

void TCella::Save(TStream& s, int32_t version) {
    WriteI32(s, TypeCode);
    WriteI32(s, Inputs);
    WriteI32(s, ThroughOutputs);
    WriteI32(s, TapOutputs);
    chunked::WriteString(s, Code, CodeSize);
    chunked::WriteString(s, Article, ArticleSize);
    chunked::WriteString(s, Category, CategorySize);
    chunked::WriteString(s, Series, SeriesSize);
    WriteU8(s, Variant);
    WriteBandSystemRef(BandSystem, s, version);
    WriteI32(s, Orientation);
    WriteI32(s, Mirrored);
    WriteI32(s, Column);
    WriteI32(s, Row);
    WriteU8(s, Currency);
    chunked::WriteString(s, Description, DescriptionSize);
    chunked::WriteString(s, Notes, NotesSize);
    chunked::WriteString(s, Brand, BrandSize);
    WriteF32(s, Price);
    WriteU8(s, Described);
    WriteI32(s, InstallMinutes);
    WriteU8(s, AuxArticles);
    for (int i = 0; i < AuxArticles; ++i) {
        chunked::WriteString(s, AuxLibrary[i], AuxLibrarySize);
        chunked::WriteString(s, AuxCode[i], AuxCodeSize);
        WriteF32(s, AuxQuantity[i]);
    }
    for (TInfo* t : {Attenuation.get(), LevelTableA.get(), LevelTableB.get(), LevelTableC.get(),
                     MatrixTableA.get(), MatrixTableB.get()})
        t->Write(s, version);
    chunked::WriteString(s, InternalNotes, InternalNotesSize);
    chunked::WriteString(s, ExternalNotes, ExternalNotesSize);
    WriteU8(s, Choice1);
    WriteU8(s, Choice2);
    WriteU8(s, Choice3);
    if (version < V60000) {
        const uint8_t bytes[4] = {0, 0, 0, static_cast<uint8_t>(Characteristics[0])};
        s.WriteBuffer(bytes, 4);
    } else {
        for (uint32_t w : Characteristics) WriteU32(s, w);
    }
    WriteF32(s, ExtraValue);
    WriteF32(s, Current2);
    WriteF32(s, Current1);
    for (const auto& group : Power)
        for (uint32_t w : group) WriteU32(s, w);
    for (uint32_t w : Positions) WriteU32(s, w);
}

void TCella::ConvertOldFlags(const uint8_t (&)[5]) {}

void MoveOldSupplyCurrent(TCella& c) {
    c.Current2 = c.Current1;
    c.Current1 = 0.0f;
}

void TCella::Load(TStream& s, int32_t version) {
    if (version < V20000) {
        LoadBeforeV20000(*this, s, version);
        return;
    }
    Code = chunked::ReadString(s, CodeSize);
    Article = chunked::ReadString(s, ArticleSize);
    Category = chunked::ReadString(s, CategorySize);
    if (version >= V40000) Series = chunked::ReadString(s, SeriesSize);
    Variant = ReadU8(s);
    SetPortCounts();
    if (version < V50000) {
        ExtraValue = ReadF32(s);
        Current1 = ReadF32(s);
    }
    BandSystem = ReadBandSystemRef(s, version);
    Orientation = ReadI32(s);
    Mirrored = ReadI32(s);
    Column = ReadI32(s);
    Row = ReadI32(s);
    Currency = ReadU8(s);
    Description = chunked::ReadString(s, DescriptionSize);
    Notes = chunked::ReadString(s, NotesSize);
    Brand = chunked::ReadString(s, BrandSize);
    Price = ReadF32(s);
    Described = ReadU8(s);
    InstallMinutes = ReadI32(s);
    // The cell keeps two auxiliary articles; further ones on file are read and dropped.
    const int aux = ReadU8(s);
    for (int i = 0; i < aux; ++i) {
        AnsiString library = chunked::ReadString(s, AuxLibrarySize);
        AnsiString code = chunked::ReadString(s, AuxCodeSize);
        const float quantity = ReadF32(s);
        if (i < AuxArticles) {
            AuxLibrary[i] = std::move(library);
            AuxCode[i] = std::move(code);
            AuxQuantity[i] = quantity;
        }
    }

    if (version <= V50000) {
        LevelTableA->Free();
        LevelTableB->Free();
        LevelTableC->Free();
        LoadLevelTables(s, version);
    } else {
        const TShape shapes[6] = {AttenuationShape(*this), LevelShape(*this),   LevelShape(*this),
                                  LevelShape(*this),       MatrixAShape(*this), MatrixBShape(*this)};
        TInfo* tables[6] = {Attenuation.get(), LevelTableA.get(),  LevelTableB.get(),
                            LevelTableC.get(), MatrixTableA.get(), MatrixTableB.get()};
        for (int i = 0; i < 6; ++i) {
            if (version < V60000) {
                SizeTable(*tables[i], shapes[i]);
                tables[i]->Read(s, version);
            } else {
                ReadTable(s, *tables[i], shapes[i], version);
            }
        }
    }

    if (version >= V40000) {
        InternalNotes = chunked::ReadString(s, InternalNotesSize);
        ExternalNotes = chunked::ReadString(s, ExternalNotesSize);
        Choice1 = ReadU8(s);
        Choice2 = ReadU8(s);
        Choice3 = ReadU8(s);
        if (version < V50000) {
            uint8_t f[5];
            s.ReadBuffer(f, 5);
            ConvertOldFlags(f);
        }
        if (version < V60000) {
            uint8_t bytes[4];
            s.ReadBuffer(bytes, 4);
            Characteristics[0] = static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(bytes[3])));
        } else {
            for (uint32_t& w : Characteristics) w = ReadU32(s);
        }
    }
    if (version >= V50000) {
        ExtraValue = ReadF32(s);
        Current2 = ReadF32(s);
        Current1 = ReadF32(s);
        for (auto& group : Power)
            for (uint32_t& w : group) w = ReadU32(s);
        for (uint32_t& w : Positions) w = ReadU32(s);
    } else {
        ConvertOldSentinelFields(*this);
    }
}

void TCella::LoadLevelTables(TStream& s, int32_t) {
    const int32_t n = ReadI32(s);
    if (n < 0) throw EReadError("negative vector length");
    for (int r = 0; r < TableRows; ++r) {
        for (;;) {
            const int8_t k = ReadI8(s);
            if (k < 0) break;
            ReadVector(s, n, AttenuationRow(*this, r, k));
        }
    }
}
