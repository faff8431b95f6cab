// Switches: their records (old versions and old level rows included, damaged
// ones refused) and their data check with its exact messages.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "cells/factory.h"
#include "cells/record.h"
#include "cells/switches.h"
#include "core/file.h"
#include "core/reporter.h"
#include "document/project.h"
#include "platform/application.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

constexpr int Bands = 11;  // bands of the cells' band system

std::unique_ptr<TCella> Make(int32_t code, int32_t inputs, int32_t taps) {
    return std::unique_ptr<TCella>(NewCella(nullptr, code, 0, 0, inputs, 0, taps));
}

std::string Saved(TCella& cell) {
    TMemoryStream s;
    cell.Save(s, RecordVersion);
    return s.Bytes();
}

TRecordResult ReadInto(TCella& cell, const std::string& bytes, int32_t version) {
    TMemoryStream s(bytes);
    s.SetPosition(RecordHeadBytes);
    return ReadCellRecord(cell, s, version);
}

class SwitchRecords : public GlobalsTest {};

TEST_F(SwitchRecords, EveryLayoutVariantRoundTrips) {
    for (auto [code, variant] :
         {std::pair{10, 0}, std::pair{10, 1}, std::pair{10, 2}, std::pair{10, 3}, std::pair{56, 4},
          std::pair{56, 5}, std::pair{10, 12}, std::pair{47, 0}, std::pair{47, 3}, std::pair{57, 5}}) {
        auto cell = Make(code, 2, 3);
        cell->Variant = static_cast<uint8_t>(variant);
        cell->SetPortCounts();
        cell->Orientation = 3;
        cell->Mirrored = 1;
        cell->Code = "SW-23";
        cell->Attenuation->Set3(1, SwitchHorizontalColumn, 5, 3.5f);
        cell->MatrixTableA->Alloc4(cell->TableRows, cell->MatrixColumns, cell->MatrixDepth, BandSlots);
        cell->MatrixTableA->Set4(1, 2, 0, 4, 18.0f);
        cell->MatrixTableB->SetSizes(cell->TableRows, cell->MatrixColumns, 7, BandSlots);
        cell->MatrixTableB->Set4(0, 1, 4, 6, 20.0f);
        const std::string bytes = Saved(*cell);
        // The reader builds the cell from the record head, as a grid section does.
        auto back = Make(code, 2, 3);
        const std::string what = std::to_string(code) + " variant " + std::to_string(variant);
        ASSERT_EQ(ReadInto(*back, bytes, RecordVersion), TRecordResult::Ok) << what;
        EXPECT_EQ(back->Variant, variant) << what;
        EXPECT_EQ(back->NumInputs, cell->NumInputs) << what;
        EXPECT_EQ(back->GetGridRect(), cell->GetGridRect()) << what;
        EXPECT_EQ(back->Attenuation->Get3(1, SwitchHorizontalColumn, 5), 3.5f) << what;
        EXPECT_EQ(back->MatrixTableA->Get4(1, 2, 0, 4), 18.0f) << what;
        EXPECT_EQ(back->MatrixTableB->Get4(0, 1, 4, 6), 20.0f) << what;
        EXPECT_EQ(Saved(*back), bytes) << what;
    }
}

TEST_F(SwitchRecords, MatrixTablesThatDoNotFitThePortModelAreRefused) {
    auto cell = Make(10, 2, 3);
    cell->MatrixTableA->Alloc4(2, 4, 1, BandSlots);  // four user outputs, not three
    cell->MatrixTableA->Set4(0, 0, 0, 0, 1.0f);
    const std::string bytes = Saved(*cell);
    auto back = Make(10, 2, 3);
    EXPECT_EQ(ReadInto(*back, bytes, RecordVersion), TRecordResult::Damaged);
}

// An old record (below version 20000): grid selector, geometry, 6 band
// vectors of 10 floats, the raw texts; then the user-output and line counts.
RecordBytes OldRecord(float tapLoss, int32_t outputs, int32_t inputs) {
    RecordBytes b;
    b.Zeros(RecordHeadBytes);
    b.I32(1).I32(0).I32(0).I32(3).I32(8);
    for (int k = 0; k < 6; ++k)
        for (int i = 0; i < 10; ++i) b.F32(k == 0 ? tapLoss : k == 1 ? 2.0f : -1.0f);
    b.Fixed("Switch vecchio", 30).Fixed("", 100).Fixed("Marca", 20).Fixed("S4", 20).Fixed("7", 15);
    b.U8(1).I32(5).U8(0);
    b.I32(outputs).I32(inputs);
    return b;
}

TEST_F(SwitchRecords, AnOldSwitchTakesItsCountsFromAfterTheRecordAndCopiesItsLine) {
    TProgetto project(nullptr);
    TProgettoInCaricamento loading(&project);
    struct Case {
        int32_t code, through;
    };
    for (const Case& c : {Case{10, 3}, Case{11, 3}, Case{47, 0}, Case{56, 3}}) {
        // Below version 20000 the reader builds the cell with every count 0.
        auto cell = Make(c.code, 0, 0);
        ASSERT_EQ(ReadInto(*cell, OldRecord(12.0f, 4, 3).Bytes(), 10000), TRecordResult::Ok) << c.code;
        EXPECT_EQ(cell->Inputs, 3) << c.code;
        EXPECT_EQ(cell->TapOutputs, 4) << c.code;
        EXPECT_EQ(cell->NumThroughOutputs, c.through) << c.code;  // a line each, as a saved switch reads back
        EXPECT_EQ(cell->TableRows, 3) << c.code;
        EXPECT_EQ(cell->Description, "Switch vecchio");
        // Every line as the one line on file.
        for (int32_t i = 0; i < 3; ++i) {
            EXPECT_EQ(cell->Attenuation->Get3(i, TapLossColumn, 5), 12.0f) << c.code << " line " << i;
            EXPECT_EQ(cell->Attenuation->Get3(i, TapThroughColumn, 5), 2.0f) << c.code << " line " << i;
        }
    }
}

TEST_F(SwitchRecords, AnOldRecordWithDamagedCountsIsRefused) {
    TProgetto project(nullptr);
    TProgettoInCaricamento loading(&project);
    for (auto [outputs, inputs] :
         {std::pair{-1, 2}, std::pair{4, -3}, std::pair{100000, 2}, std::pair{4, 1 << 30}}) {
        auto cell = Make(10, 0, 0);
        EXPECT_NE(ReadInto(*cell, OldRecord(12.0f, outputs, inputs).Bytes(), 10000), TRecordResult::Ok)
            << outputs << " " << inputs;
        EXPECT_LE(cell->Attenuation->Size2(), 1) << "nothing made for the damaged counts";
    }
    // A switch without lines reads, and copies no line into another.
    auto cell = Make(10, 0, 0);
    EXPECT_EQ(ReadInto(*cell, OldRecord(12.0f, 2, 0).Bytes(), 10000), TRecordResult::Ok);
    EXPECT_EQ(cell->TableRows, 0);
    EXPECT_EQ(cell->NumOutputs, 2);
}

// A record of versions 20000 to 50000 up to its level rows: head, texts,
// variant, band system, geometry, commercial data.
RecordBytes LevelRowRecord(int32_t version, int32_t code, int32_t inputs, int32_t through, int32_t taps) {
    RecordBytes b;
    b.I32(code).I32(inputs).I32(through).I32(taps);
    b.Text("OLD", 20).Text("Articolo", 30).Text("Switch", 30);
    if (version >= 40000) b.Text("S", 20);
    b.U8(0);
    if (version < 50000) b.F32(-1.0f).F32(35.0f);
    b.U8('3');
    b.I32(0).I32(0).I32(2).I32(3);
    b.U8(2).Text("Descr", 30).Text("Note", 100).Text("Marca", 20).F32(10.0f).U8(1).I32(30);
    b.U8(0);
    return b;
}

// Old level rows: n values per vector, then (column, values) pairs ended by -1.
void AddLevelRows(RecordBytes& b, const std::vector<std::pair<int8_t, float>>& columns) {
    b.I32(BandSlots);
    for (const auto& [column, value] : columns) {
        b.U8(static_cast<uint8_t>(column));
        for (int i = 0; i < BandSlots; ++i) b.F32(value);
    }
    b.U8(0xFF);
}

void AddTail(RecordBytes& b, int32_t version) {
    if (version >= 40000) {
        b.Text("", 100).Text("", 11).U8(1).U8(2).U8(3);
        if (version < 50000) b.U8(0).U8(0).U8(0).U8(0).U8(0);
        b.U8(0).U8(0).U8(0).U8(0);
    }
    if (version >= 50000) {
        b.F32(-500001.0f).F32(0.0f).F32(0.0f);
        for (int i = 0; i < 14; ++i) b.U32(255);
    }
}

TEST_F(SwitchRecords, OldLevelRowsGiveTheLossesAndTheInputStage) {
    struct Case {
        const char* what;
        int32_t version, code, through;
        std::vector<std::pair<int8_t, float>> columns;  // old columns 0 to 8
        bool stage;
        float stageColumns[5];  // LevelTableA row 0, columns 2 to 6, band 5
    };
    // clang-format off
    const Case cases[] = {
        {"with through outputs: old 4, 8, 5, 6, 7", 50000, 10, 2,
         {{0, 10}, {1, 2}, {4, 1}, {5, 20}, {6, 4}, {7, 110}, {8, 2}}, true, {1, 2, 20, 4, 110}},
        {"without: old 6, 8, 7, 5, 4", 50000, 47, 0,
         {{0, 10}, {4, 1}, {5, 20}, {6, 4}, {7, 110}, {8, 2}}, true, {4, 2, 110, 20, 1}},
        {"no stage values: no stage", 50000, 10, 2, {{0, 10}, {1, 2}, {4, -500002}}, false, {}},
        {"old codes for no value are no stage", 40000, 10, 2, {{0, 10}, {1, 2}, {4, -1}, {8, -2}}, false, {}},
        // Below 40000 columns 4 and 8 repeat their first value as a mark.
        {"below 40000 repeats become marks", 30000, 10, 2, {{0, 10}, {1, 2}, {4, 1}, {5, 20}, {8, 2}}, true,
         {LevelRepeat, LevelRepeat, 20, LevelNone, LevelNone}},
    };
    // clang-format on
    for (const Case& c : cases) {
        RecordBytes b = LevelRowRecord(c.version, c.code, 2, c.through, 2);
        AddLevelRows(b, c.columns);
        AddTail(b, c.version);
        auto cell = Make(c.code, 2, 2);
        ASSERT_EQ(ReadInto(*cell, b.Bytes(), c.version), TRecordResult::Ok) << c.what;
        // Both lines as the one row on file (below version 50100).
        for (int32_t i = 0; i < 2; ++i) {
            EXPECT_EQ(cell->Attenuation->Get3(i, TapLossColumn, 5), 10.0f) << c.what;
            EXPECT_EQ(cell->Attenuation->Get3(i, TapThroughColumn, 5), c.through ? 2.0f : LevelNone)
                << c.what;
        }
        const bool stage = cell->LevelTableA->Rank() == 3 && cell->LevelTableA->HasBlocks3();
        EXPECT_EQ(stage, c.stage) << c.what;
        if (!stage) continue;
        EXPECT_EQ(cell->LevelTableA->Size3(), 7) << c.what;
        for (int32_t i = 0; i < 2; ++i)
            for (int k = 0; k < 5; ++k) {
                // The band-5 value of a repeated vector: its first value is in band 0.
                const float expected = c.stageColumns[k];
                EXPECT_EQ(cell->LevelTableA->Get3(i, 2 + k, 5), expected)
                    << c.what << " line " << i << " column " << 2 + k;
            }
    }
}

// ---- Data check ----

class SwitchCheck : public GlobalsTest {
protected:
    void SetUp() override { globals.Reporter().SetTarget(nullptr); }
    // Every line described in every band with the columns the switch needs.
    static void Describe(TCella& cell) {
        const auto& s = dynamic_cast<TSwitch&>(cell);
        for (int32_t i = 0; i < cell.TableRows; ++i)
            for (int b = 0; b < Bands; ++b) {
                cell.Attenuation->Set3(i, TapLossColumn, b, 10.0f + b);
                if (cell.NumThroughOutputs > 0) {
                    cell.Attenuation->Set3(i, TapThroughColumn, b, 1.0f);
                    cell.Attenuation->Set3(i, TapReverseColumn, b, 30.0f);
                }
                if (cell.NumTapOutputs > 1) cell.Attenuation->Set3(i, TapDecouplingColumn, b, 25.0f);
                if (s.HasMatrixInputs()) cell.Attenuation->Set3(i, SwitchHorizontalColumn, b, 3.0f);
            }
    }
    static void OwnLosses(TCella& cell) {
        cell.MatrixTableA->Alloc4(cell.TableRows, cell.MatrixColumns, 1, BandSlots);
        for (int32_t i = 0; i < cell.TableRows; ++i)
            for (int32_t k = 0; k < cell.MatrixColumns; ++k)
                for (int b = 0; b < Bands; ++b) cell.MatrixTableA->Set4(i, k, 0, b, 12.0f + k);
    }
};

const AnsiString P = "Dati componente errati a causa del seguante problema: ";

TEST_F(SwitchCheck, MessagesOfTheSwitchCheck) {
    struct Case {
        const char* what;
        int32_t code, inputs, outputs;
        void (*change)(TCella&);
        const char* message;  // "" when the data pass
    };
    // clang-format off
    const Case cases[] = {
        {"described switch", 10, 2, 4, [](TCella&) {}, ""},
        {"described matrix switch", 56, 1, 3, [](TCella&) {}, ""},
        {"described TSwitchN", 47, 2, 1, [](TCella&) {}, ""},
        {"tap loss without through loss", 10, 1, 2,
         [](TCella& c) { c.Attenuation->Set3(0, TapThroughColumn, 5, LevelNone); },
         "Banda b. V descritta parzialmente sul montante 1."},
        {"line 2 handles nothing", 10, 2, 2,
         [](TCella& c) {
             for (int col = 0; col < 5; ++col)
                 for (int b = 0; b < Bands; ++b) c.Attenuation->Set3(1, col, b, LevelNone);
         },
         "Il montante 2 non gestisce alcun segnale."},
        {"horizontal loss missing on a matrix switch", 56, 1, 2,
         [](TCella& c) { c.Attenuation->Set3(0, SwitchHorizontalColumn, 3, LevelNone); },
         "Banda b. III descritta parzialmente sul montante 1."},
        {"horizontal loss alone describes part of a band", 56, 1, 2,
         [](TCella& c) {
             for (int col = 0; col < 4; ++col) c.Attenuation->Set3(0, col, 1, LevelNone);
         },
         "Banda b. I descritta parzialmente sul montante 1."},
        {"without matrix inputs the horizontal loss says nothing", 10, 1, 2,
         [](TCella& c) { c.Attenuation->Set3(0, SwitchHorizontalColumn, 3, LevelRepeat); }, ""},
        {"TSwitchN: through columns say nothing", 47, 1, 2,
         [](TCella& c) { c.Attenuation->Set3(0, TapThroughColumn, 2, LevelRepeat); }, ""},
        {"own loss missing in a described band", 10, 1, 3,
         [](TCella& c) {
             OwnLosses(c);
             c.MatrixTableA->Set4(0, 2, 0, 5, LevelNone);
         },
         "Banda b. V descritta parzialmente relativamente all'uscita 3."},
        {"repeat mark in the tap loss", 10, 1, 2, [](TCella& c) { c.Attenuation->Set3(0, TapLossColumn, 4, LevelRepeat); },
         "Atten. di deriv.  [dB]: < non ammesso."},
        {"repeat mark in input 1's own loss to output 2", 10, 1, 3,
         [](TCella& c) {
             OwnLosses(c);
             c.MatrixTableA->Set4(0, 1, 0, 6, LevelRepeat);
         },
         "Atten. di deriv.  [dB]montante 1 uscita 2: < non ammesso."},
        {"repeat mark in the horizontal loss", 56, 1, 2,
         [](TCella& c) { c.Attenuation->Set3(0, SwitchHorizontalColumn, 6, LevelRepeat); },
         "Atten. passaggio orizz. [dB]: < non ammesso."},
    };
    // clang-format on
    for (const Case& c : cases) {
        Application->Script().MessageBoxes.clear();
        globals.Reporter().SetTarget(nullptr);
        auto cell = Make(c.code, c.inputs, c.outputs);
        Describe(*cell);
        c.change(*cell);
        const bool pass = *c.message == '\0';
        EXPECT_EQ(cell->CheckData(P), pass) << c.what;
        EXPECT_EQ(ShownMessage(), pass ? AnsiString() : P + c.message) << c.what;
    }
}

}  // namespace
