// The cell record: the bytes a cell writes, and what it reads back from every
// file version.
#include "cells/record.h"

#include <gtest/gtest.h>

#include <memory>

#include "cells/factory.h"
#include "cells/filters.h"
#include "core/band_systems.h"
#include "core/file.h"
#include "core/info.h"
#include "core/record_refs.h"
#include "document/grid.h"
#include "document/project.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

std::string Saved(TCella& cell, int32_t version = 60000) {
    TMemoryStream s;
    cell.Save(s, version);
    return s.Bytes();
}

// Reads a record into a fresh cell of the kind its head names (as the grid
// and library readers do).
TRecordResult ReadInto(TCella& cell, const std::string& bytes, int32_t version) {
    TMemoryStream s(bytes);
    s.SetPosition(RecordHeadBytes);
    return ReadCellRecord(cell, s, version);
}

// The record of a fresh filter, from its head up to the tables (exclusive),
// for versions below 60000 as the tests build them.
class RecordTest : public GlobalsTest {};

TEST_F(RecordTest, FreshFilterWritesTheGoldenBytes) {
    TFiltroS filter(nullptr, 0, 0, 0, 0);
    const std::string golden = ReadHexFixture("filter_s_60000.hex");
    const std::string bytes = Saved(filter);
    EXPECT_EQ(bytes, golden) << "written:\n" << HexDump(bytes) << "\nexpected:\n" << HexDump(golden);

    TFiltroS back(nullptr, 0, 0, 5, 6);
    ASSERT_EQ(ReadInto(back, golden, 60000), TRecordResult::Ok);
    EXPECT_EQ(back.Column, 0);
    EXPECT_EQ(back.Row, 0);
    EXPECT_EQ(back.Category, "Filtri");
    EXPECT_EQ(back.BandSystem, SistemaBande3);
    EXPECT_EQ(back.InstallMinutes, -500001);
    EXPECT_EQ(back.Currency, 1);
    EXPECT_EQ(Saved(back), golden);
}

TEST_F(RecordTest, EveryFieldSurvivesSaveAndLoad) {
    TFiltroP cell(nullptr, 3, 1, 7, 9);
    cell.Code = "FP-100";
    cell.Article = "Filtro passa banda è bello";
    cell.Category = "Filtri speciali";
    cell.Series = "Serie X";
    cell.Variant = 0;
    cell.Currency = 4;
    cell.Description = "Descrizione";
    cell.Notes = std::string(99, 'n');
    cell.Brand = "Varne";
    cell.Price = 12.5f;
    cell.Described = 1;
    cell.InstallMinutes = 15;
    cell.AuxLibrary[0] = "Varne";
    cell.AuxCode[0] = "AUX1";
    cell.AuxQuantity[0] = 2.0f;
    cell.AuxLibrary[1] = "Altra";
    cell.AuxCode[1] = "AUX2";
    cell.AuxQuantity[1] = 0.5f;
    cell.Attenuation->Set3(0, 1, 0, 1.5f);
    cell.Attenuation->Set3(0, 1, 10, LevelBlocked);
    cell.Attenuation->Set3(0, 0, 3, LevelRepeat);
    cell.LevelTableB->Alloc3(1, 7, BandSlots);
    cell.LevelTableB->Set3(0, 4, 2, 20.0f);
    cell.InternalNotes = "interne";
    cell.ExternalNotes = "esterne";
    cell.Choice1 = 1;
    cell.Choice2 = 2;
    cell.Choice3 = 3;
    cell.Characteristics[0] = 5;
    cell.Characteristics[3] = 0x80000001u;
    cell.ExtraValue = 3.25f;
    cell.Current1 = 120.0f;
    cell.Current2 = 60.0f;
    cell.Power[0][0] = 0x15;
    cell.Power[1][2] = 3;
    cell.Power[2][3] = 9;
    cell.Positions[0] = 0x1F;
    cell.Positions[1] = 7;

    const std::string bytes = Saved(cell);
    TFiltroP back(nullptr, 0, 0, 0, 0);
    ASSERT_EQ(ReadInto(back, bytes, 60000), TRecordResult::Ok);
    EXPECT_EQ(back.Orientation, 3);
    EXPECT_EQ(back.Mirrored, 1);
    EXPECT_EQ(back.Column, 7);
    EXPECT_EQ(back.Row, 9);
    EXPECT_EQ(back.Code, "FP-100");
    EXPECT_EQ(back.Article, "Filtro passa banda è bello");
    EXPECT_EQ(back.Category, "Filtri speciali");
    EXPECT_EQ(back.Series, "Serie X");
    EXPECT_EQ(back.Currency, 4);
    EXPECT_EQ(back.Notes, std::string(99, 'n'));
    EXPECT_EQ(back.Brand, "Varne");
    EXPECT_EQ(back.Price, 12.5f);
    EXPECT_EQ(back.Described, 1);
    EXPECT_EQ(back.InstallMinutes, 15);
    EXPECT_EQ(back.AuxCode[1], "AUX2");
    EXPECT_EQ(back.AuxQuantity[1], 0.5f);
    EXPECT_EQ(back.Attenuation->Get3(0, 1, 0), 1.5f);
    EXPECT_EQ(back.Attenuation->Get3(0, 1, 10), LevelBlocked);
    EXPECT_EQ(back.Attenuation->Get3(0, 0, 3), LevelRepeat);
    EXPECT_EQ(back.LevelTableB->Get3(0, 4, 2), 20.0f);
    EXPECT_EQ(back.ExternalNotes, "esterne");
    EXPECT_EQ(back.Choice3, 3);
    EXPECT_EQ(back.Characteristics[3], 0x80000001u);
    EXPECT_EQ(back.ExtraValue, 3.25f);
    EXPECT_EQ(back.Current1, 120.0f);
    EXPECT_EQ(back.Current2, 60.0f);
    EXPECT_EQ(back.Power[2][3], 9u);
    EXPECT_EQ(back.Positions[1], 7u);
    EXPECT_EQ(Saved(back), bytes);
}

TEST_F(RecordTest, TextsAreCutToTheirFieldOnWriting) {
    TFiltroS cell(nullptr, 0, 0, 0, 0);
    cell.Code = std::string(25, 'c');         // text(20): 19 characters
    cell.ExternalNotes = "0123456789ABCDEF";  // text(11): 10 characters
    TFiltroS back(nullptr, 0, 0, 0, 0);
    ASSERT_EQ(ReadInto(back, Saved(cell), 60000), TRecordResult::Ok);
    EXPECT_EQ(back.Code, std::string(19, 'c'));
    EXPECT_EQ(back.ExternalNotes, "0123456789");
}

TEST_F(RecordTest, BandSystemReferenceIsAnIdByteOrAName) {
    TMemoryStream s;
    WriteBandSystemRef(SistemaBande3, s, 60000);
    EXPECT_EQ(s.Bytes(), std::string("\x33", 1));

    TSistemaBande unnamed;  // a system without id is referred to by name
    unnamed.name = "FM-I/V-5";
    TMemoryStream t;
    WriteBandSystemRef(&unnamed, t, 60000);
    EXPECT_EQ(t.Bytes(), RecordBytes().Text("FM-I/V-5", 21).Bytes());
    t.SetPosition(0);
    EXPECT_EQ(ReadBandSystemRef(t, 60000), SistemaBande2);

    TMemoryStream none;
    WriteBandSystemRef(nullptr, none, 60000);
    none.SetPosition(0);
    EXPECT_EQ(ReadBandSystemRef(none, 60000), nullptr);
    TMemoryStream unknown(std::string("\x34", 1));  // id '4' names no system
    EXPECT_EQ(ReadBandSystemRef(unknown, 60000), nullptr);
}

// A record head and base fields of versions 20000 to 59999, up to the tables.
RecordBytes OldHead(int32_t version, int32_t typeCode) {
    RecordBytes b;
    b.I32(typeCode).I32(1).I32(1).I32(0);
    b.Text("OLD", 20).Text("Articolo", 30).Text("Filtri", 30);
    if (version >= 40000) b.Text("S", 20);
    b.U8(0);                                       // Variant
    if (version < 50000) b.F32(-1.0f).F32(35.0f);  // ExtraValue, Current1
    b.U8('3');
    b.I32(0).I32(0).I32(2).I32(3);
    b.U8(2).Text("Descr", 30).Text("Note", 100).Text("Marca", 20).F32(-1.0f).U8(1).I32(-3);
    b.U8(2).Text("", 20).Text("", 20).F32(-2.0f).Text("", 20).Text("", 20).F32(4.0f);
    return b;
}

// Level vectors of records up to 50000: n values, then per row (column, values) ended by -1.
void AddLevelTables(RecordBytes& b, const std::vector<std::pair<int8_t, std::vector<float>>>& row0,
                    int32_t n) {
    b.I32(n);
    for (const auto& [column, values] : row0) {
        b.U8(static_cast<uint8_t>(column));
        for (float v : values) b.F32(v);
    }
    b.U8(0xFF);
}

TEST_F(RecordTest, Version40000ConvertsOldSentinelCodes) {
    RecordBytes b = OldHead(40000, 1);
    std::vector<float> through(10, 1.0f);
    through[0] = -2.0f;    // "blocked" in the old code
    through[1] = -150.0f;  // a real value
    through[2] = -1.0f;    // "no value"
    AddLevelTables(b, {{1, through}, {9, std::vector<float>(10, 7.0f)}}, 10);
    b.Text("int", 100).Text("est", 11).U8(1).U8(2).U8(3);
    b.U8(0).U8(0).U8(0).U8(0).U8(0);  // flags f1 to f5
    b.U8(0).U8(0).U8(0).U8(0xFE);     // characteristics: fourth byte -2

    TFiltroS cell(nullptr, 0, 0, 0, 0);
    ASSERT_EQ(ReadInto(cell, b.Bytes(), 40000), TRecordResult::Ok);
    EXPECT_EQ(cell.Attenuation->Get3(0, 1, 0), -500002.0f);
    EXPECT_EQ(cell.Attenuation->Get3(0, 1, 1), -150.0f);
    EXPECT_EQ(cell.Attenuation->Get3(0, 1, 2), -500001.0f);
    EXPECT_EQ(cell.Attenuation->Get3(0, 1, 3), 1.0f);
    EXPECT_EQ(cell.Price, -500001.0f);
    EXPECT_EQ(cell.InstallMinutes, -500003);
    EXPECT_EQ(cell.AuxQuantity[0], -500002.0f);
    EXPECT_EQ(cell.AuxQuantity[1], 4.0f);
    EXPECT_EQ(cell.ExtraValue, -500001.0f);
    EXPECT_EQ(cell.Current1, 35.0f);
    EXPECT_EQ(cell.Series, "S");
    EXPECT_EQ(cell.Choice2, 2);
    EXPECT_EQ(cell.Characteristics[0], 0xFFFFFFFEu);  // sign-extended
    EXPECT_EQ(cell.Row, 3);
}

TEST_F(RecordTest, CharacteristicsBelow60000AreFourBytesSignExtended) {
    TFiltroS cell(nullptr, 0, 0, 0, 0);
    cell.Characteristics[0] = 0x1F0;  // low byte 0xF0
    const std::string bytes = Saved(cell, 50100);
    TFiltroS back(nullptr, 0, 0, 0, 0);
    ASSERT_EQ(ReadInto(back, bytes, 50100), TRecordResult::Ok);
    EXPECT_EQ(back.Characteristics[0], 0xFFFFFFF0u);
    // The four bytes are 0, 0, 0 and the low byte, right before ExtraValue.
    const size_t tail = 4 + 4 * 3 + 14 * 4;
    EXPECT_EQ(bytes.substr(bytes.size() - tail, 4), std::string("\0\0\0\xF0", 4));
}

TEST_F(RecordTest, Version50100TablesAreSizedFromThePortTable) {
    TFiltroS cell(nullptr, 0, 0, 0, 0);
    cell.Attenuation->Set3(0, 1, 4, 2.5f);
    const std::string bytes = Saved(cell, 50100);
    TFiltroS back(nullptr, 0, 0, 0, 0);
    back.Attenuation->Free();
    ASSERT_EQ(ReadInto(back, bytes, 50100), TRecordResult::Ok);
    EXPECT_EQ(back.Attenuation->Size2(), 1);
    EXPECT_EQ(back.Attenuation->Size3(), 4);
    EXPECT_EQ(back.Attenuation->Get3(0, 1, 4), 2.5f);
    EXPECT_EQ(back.LevelTableA->Size3(), 7);
}

struct OldFlagCase {
    const char* name;
    int32_t typeCode;  // the class, built through the factory
    uint8_t f[5];
    uint32_t power0, power3, refuses0, positions;
    float current1, current2;
};

void PrintTo(const OldFlagCase& c, std::ostream* os) { *os << c.name; }

class OldFlagTest : public RecordTest, public ::testing::WithParamInterface<OldFlagCase> {};

TEST_P(OldFlagTest, Version40000FlagBytesBecomePowerAndPositionBits) {
    const OldFlagCase& c = GetParam();
    std::unique_ptr<TCella> cell(NewCella(nullptr, c.typeCode, 0, 0, 1, 1, 1));
    ASSERT_NE(cell, nullptr);
    RecordBytes b = OldHead(40000, c.typeCode);
    b.I32(10);  // empty level vectors: the end of each of the class's rows
    for (int32_t r = 0; r < cell->TableRows; ++r) b.U8(0xFF);
    b.Text("", 100).Text("", 11).U8(255).U8(255).U8(255);
    for (uint8_t f : c.f) b.U8(f);
    b.U8(0).U8(0).U8(0).U8(0);
    // The words the record leaves alone, as a fresh cell of the base has them.
    cell->Power[0][0] = 7;
    cell->Power[0][3] = 0x5;
    cell->Power[2][0] = 9;
    cell->Positions[0] = 255;
    cell->Current2 = 0.0f;
    ASSERT_EQ(ReadInto(*cell, b.Bytes(), 40000), TRecordResult::Ok);
    EXPECT_EQ(cell->Power[0][0], c.power0);
    EXPECT_EQ(cell->Power[0][3], c.power3);
    EXPECT_EQ(cell->Power[2][0], c.refuses0);
    EXPECT_EQ(cell->Positions[0], c.positions);
    EXPECT_EQ(cell->Current1, c.current1);
    EXPECT_EQ(cell->Current2, c.current2);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OldFlagTest,
    ::testing::Values(
        //            name                 code f1..f5             power0  power3   refuses0 positions cur1
        //            cur2
        OldFlagCase{"Plain", 1, {1, 1, 1, 1, 1}, 7, 0x5, 9, 255, 35.0f, 0.0f},
        OldFlagCase{"SwitchF1F2F4", 10, {1, 1, 0, 1, 0}, 7 | 16, 0xFFFFFFFF, 9, 255 & ~4u, 35.0f, 0.0f},
        OldFlagCase{"SwitchNF1F2F4", 47, {1, 1, 0, 1, 0}, 7 | 16, 0xFFFFFFFF, 9, 255 & ~4u, 35.0f, 0.0f},
        OldFlagCase{"OutletF3", 14, {0, 0, 1, 0, 0}, 7, 0xFFFFFFFF, 9, 255, 35.0f, 0.0f},
        OldFlagCase{"PassThroughOutletF3", 15, {0, 0, 1, 0, 0}, 7, 0x5, 9, 255, 35.0f, 0.0f},
        OldFlagCase{"TerminationF3", 16, {0, 0, 1, 0, 0}, 7, 0x5, 0, 255, 35.0f, 0.0f},
        OldFlagCase{"AmplifierF5Off", 21, {1, 0, 0, 1, 0}, 7 | 16, 0x5, 9, 255 & ~28u, 35.0f, 0.0f},
        OldFlagCase{"AmplifierF4Off", 22, {0, 0, 0, 0, 1}, 7, 0x5, 9, 255 & ~2u, 35.0f, 0.0f},
        OldFlagCase{"LevellingAmplifier", 23, {1, 0, 0, 0, 0}, 7, 0x5, 9, 255, 35.0f, 0.0f},
        OldFlagCase{"SupplyCurrent", 24, {0, 0, 0, 0, 0}, 7, 0x5, 9, 255, 0.0f, 35.0f},
        OldFlagCase{"SupplySFCurrent", 44, {0, 0, 0, 0, 0}, 7, 0x5, 9, 255, 0.0f, 35.0f}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecordTest, Version10000ReadsTheColumnsItHasAndSkipsTheRest) {
    // Grid selector, geometry, 6 vectors of 10 floats (a filter has 4 columns),
    // then the raw texts.
    RecordBytes b;
    b.Zeros(RecordHeadBytes);
    b.I32(1).I32(2).I32(0).I32(4).I32(5);
    for (int k = 0; k < 6; ++k)
        for (int i = 0; i < 10; ++i) b.F32(k == 1 ? float(i + 1) : (k >= 4 ? 99.0f : -1.0f));
    b.Fixed("Vecchio filtro", 30).Fixed("note", 100).Fixed("Marca", 20).Fixed("COD", 20).Fixed("12,50", 15);
    b.U8(1).I32(-1).U8(0);

    ScopedPrototypes prototypes;
    TProgetto project(nullptr);
    TProgettoInCaricamento loading(&project);
    TFiltroS cell(nullptr, 0, 0, 0, 0);
    ASSERT_EQ(ReadInto(cell, b.Bytes(), 10000), TRecordResult::Ok);
    EXPECT_EQ(cell.Owner, project.NetworkGrid);
    EXPECT_EQ(cell.Orientation, 2);
    EXPECT_EQ(cell.Column, 4);
    EXPECT_EQ(cell.Row, 5);
    EXPECT_EQ(cell.Description, "Vecchio filtro");
    EXPECT_EQ(cell.Code, "COD");
    EXPECT_EQ(cell.Price, 12.5f);
    EXPECT_EQ(cell.Described, 1);
    EXPECT_EQ(cell.InstallMinutes, -500001);
    EXPECT_EQ(cell.Currency, 0);
    EXPECT_EQ(cell.BandSystem, SistemaBande3);
    // Column 1 came in the bands of "FM-I/V-5": FM (old slot 0) is new slots
    // 0, 1 and 2; "b. III" (old slot 2) is new slot 3; "sat. 5" (old 9) new 10.
    EXPECT_EQ(cell.Attenuation->Get3(0, 1, 0), 1.0f);
    EXPECT_EQ(cell.Attenuation->Get3(0, 1, 2), 1.0f);
    EXPECT_EQ(cell.Attenuation->Get3(0, 1, 3), 3.0f);
    EXPECT_EQ(cell.Attenuation->Get3(0, 1, 10), 10.0f);
    EXPECT_EQ(cell.Attenuation->Get3(0, 0, 5), -500001.0f);  // -1 became "no value"
}

TEST_F(RecordTest, HeadEndSelectorOfOldRecordsPicksTheHeadEndGrid) {
    RecordBytes b;
    b.Zeros(RecordHeadBytes).I32(0).I32(0).I32(0).I32(1).I32(1);
    for (int i = 0; i < 100; ++i) b.F32(-1.0f);
    b.Zeros(30 + 100 + 20 + 20 + 15).U8(0).I32(0).U8(0);
    TProgetto project(nullptr);
    TProgettoInCaricamento loading(&project);
    TFiltroS cell(nullptr, 0, 0, 0, 0);
    ASSERT_EQ(ReadInto(cell, b.Bytes(), 10002), TRecordResult::Ok);
    EXPECT_EQ(cell.Owner, project.HeadEndGrid);
    EXPECT_EQ(cell.Price, 0.0f);
}

TEST_F(RecordTest, ExtraAuxiliaryArticlesAreReadAndDropped) {
    TFiltroS cell(nullptr, 0, 0, 0, 0);
    std::string bytes = Saved(cell);
    // Replace the count 2 and the two empty articles by three articles.
    const size_t at =
        ReadHexFixture("filter_s_60000.hex").find(std::string("\x02\x00\x00\x20\x24\xf4\xc8", 7));
    ASSERT_NE(at, std::string::npos);
    RecordBytes three;
    three.U8(3);
    for (int i = 0; i < 3; ++i)
        three.Text("L" + std::to_string(i), 20).Text("C" + std::to_string(i), 20).F32(float(i));
    bytes.replace(at, 1 + 2 * 6, three.Bytes());
    TFiltroS back(nullptr, 0, 0, 0, 0);
    ASSERT_EQ(ReadInto(back, bytes, 60000), TRecordResult::Ok);
    EXPECT_EQ(back.AuxCode[0], "C0");
    EXPECT_EQ(back.AuxCode[1], "C1");
    EXPECT_EQ(back.AuxQuantity[1], 1.0f);
    EXPECT_EQ(back.Positions[0], 255u);  // the fields after them still read right
}

TEST_F(RecordTest, RecordsThatDoNotFitAreRefused) {
    const std::string golden = ReadHexFixture("filter_s_60000.hex");
    struct Case {
        const char* what;
        size_t offset;
        std::string bytes;
        TRecordResult expected;
    };
    const size_t bandRef = 4 * 4 + 1 + 1 + 7 + 1 + 1;
    const size_t orientation = bandRef + 1;
    const size_t attenuationHeader =
        golden.find(std::string("\x00\x00\x00\x00\x03\x00\x00\x00\x00\x00\x00\x00\x01", 13));
    ASSERT_NE(attenuationHeader, std::string::npos);
    // clang-format off
    const Case cases[] = {
        {"orientation 7", orientation, std::string("\x07", 1), TRecordResult::Damaged},
        {"mirror flag 2", orientation + 4, std::string("\x02", 1), TRecordResult::Damaged},
        {"unknown band system", bandRef, "4", TRecordResult::Damaged},
        {"table of 2 rows", attenuationHeader + 12, std::string("\x02", 1), TRecordResult::Damaged},
        {"table of 16 slots", attenuationHeader + 20, std::string("\x10", 1), TRecordResult::Damaged},
        {"table of rank 4", attenuationHeader + 4, std::string("\x04", 1), TRecordResult::Damaged},
        {"column far off any grid", orientation + 8, std::string("\xff\xff\xff\x7f", 4), TRecordResult::Damaged},
        {"negative row", orientation + 12, std::string("\xff\xff\xff\xff", 4), TRecordResult::Damaged},
    };
    // clang-format on
    for (const Case& c : cases) {
        std::string bytes = golden;
        bytes.replace(c.offset, c.bytes.size(), c.bytes);
        TFiltroS cell(nullptr, 0, 0, 0, 0);
        EXPECT_EQ(ReadInto(cell, bytes, 60000), c.expected) << c.what;
    }
    for (size_t cut : {size_t(20), golden.size() / 2, golden.size() - 1}) {
        TFiltroS cell(nullptr, 0, 0, 0, 0);
        EXPECT_EQ(ReadInto(cell, golden.substr(0, cut), 60000), TRecordResult::Truncated) << "cut at " << cut;
    }
}

TEST_F(RecordTest, LevelVectorsOfOldRecordsSkipColumnsBeyondTheTable) {
    RecordBytes b = OldHead(30000, 1);
    std::vector<float> many(20, 3.0f);
    many[14] = 4.0f;
    AddLevelTables(b, {{0, many}, {4, many}, {3, many}}, 20);
    TFiltroS cell(nullptr, 0, 0, 0, 0);
    ASSERT_EQ(ReadInto(cell, b.Bytes(), 30000), TRecordResult::Ok);
    EXPECT_EQ(cell.Attenuation->Get3(0, 0, 14), 4.0f);
    EXPECT_EQ(cell.Attenuation->Get3(0, 3, 0), 3.0f);
    EXPECT_EQ(cell.Attenuation->Get3(0, 1, 0), -500001.0f);
}

}  // namespace
