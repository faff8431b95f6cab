// Taps and splitters: their records (old versions included), their
// prototypes and their data check with its messages.
#include <gtest/gtest.h>

#include <memory>
#include <typeinfo>

#include "cells/factory.h"
#include "cells/prototypes.h"
#include "cells/record.h"
#include "cells/splitters.h"
#include "cells/taps.h"
#include "core/globals.h"
#include "core/info.h"
#include "core/reporter.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/application.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

constexpr int Bands = 11;  // bands of the cells' band system

std::string Saved(TCella& cell) {
    TMemoryStream s;
    cell.Save(s, 60000);
    return s.Bytes();
}

TRecordResult ReadInto(TCella& cell, const std::string& bytes, int32_t version) {
    TMemoryStream s(bytes);
    s.SetPosition(RecordHeadBytes);
    return ReadCellRecord(cell, s, version);
}

// ---- Records ----

class TapRecords : public GlobalsTest {};

TEST_F(TapRecords, EveryClassRoundTripsWithItsTables) {
    for (int32_t code : {3, 6, 49, 50}) {
        std::unique_ptr<TCella> cell(NewCella(nullptr, code, 4, 7, 2, 0, 3));
        cell->Orientation = 1;
        cell->Code = "DR-23";
        cell->Attenuation->Set3(1, TapLossColumn, 5, 14.5f);
        cell->Attenuation->Set3(0, TapThroughColumn, 2, 1.5f);
        cell->MatrixTableA->Alloc4(cell->TableRows, cell->MatrixColumns, cell->MatrixDepth, BandSlots);
        cell->MatrixTableA->Set4(1, 2, 0, 4, 18.0f);
        cell->LevelTableA->SetSizes(0, cell->TableRows, 7, BandSlots);
        cell->LevelTableA->Set3(1, 4, 6, 20.0f);
        const std::string bytes = Saved(*cell);

        // The reader builds the cell from the record head, as a grid section does.
        std::unique_ptr<TCella> back(NewCella(nullptr, code, 0, 0, 2, cell->ThroughOutputs, 3));
        ASSERT_EQ(ReadInto(*back, bytes, 60000), TRecordResult::Ok) << code;
        const TCella &backCell = *back, &savedCell = *cell;
        EXPECT_EQ(typeid(backCell), typeid(savedCell));
        EXPECT_EQ(back->Orientation, 1);
        EXPECT_EQ(back->Code, "DR-23");
        EXPECT_EQ(back->Attenuation->Get3(1, TapLossColumn, 5), 14.5f);
        EXPECT_EQ(back->MatrixTableA->Get4(1, 2, 0, 4), 18.0f);
        EXPECT_EQ(back->LevelTableA->Get3(1, 4, 6), 20.0f);
        EXPECT_EQ(Saved(*back), bytes) << code;
    }
}

// An old record (below version 20000): grid selector, geometry, 6 band
// vectors of 10 floats, the raw texts; the class appends its output count.
RecordBytes OldRecord(float tapLoss, int32_t outputs) {
    RecordBytes b;
    b.Zeros(RecordHeadBytes);
    b.I32(1).I32(0).I32(0).I32(3).I32(8);
    for (int k = 0; k < 6; ++k)
        for (int i = 0; i < 10; ++i) b.F32(k == 0 ? tapLoss : -1.0f);
    b.Fixed("Derivatore vecchio", 30).Fixed("", 100).Fixed("Marca", 20).Fixed("R4", 20).Fixed("7", 15);
    b.U8(1).I32(5).U8(0);
    b.I32(outputs);
    return b;
}

TEST_F(TapRecords, AnOldTapIsOneLineWithOneThroughOutputAndItsOutputCountAfterTheRecord) {
    TProgetto project(nullptr);
    TProgettoInCaricamento loading(&project);
    // Below version 20000 the reader builds the cell with every count 0.
    std::unique_ptr<TCella> cell(NewCella(nullptr, 6, 0, 0, 0, 0, 0));
    ASSERT_EQ(ReadInto(*cell, OldRecord(12.0f, 5).Bytes(), 10000), TRecordResult::Ok);
    EXPECT_EQ(cell->Owner, project.NetworkGrid);
    EXPECT_EQ(cell->Inputs, 1);
    EXPECT_EQ(cell->ThroughOutputs, 1);
    EXPECT_EQ(cell->TapOutputs, 5);
    EXPECT_EQ(cell->NumThroughOutputs, 1);
    EXPECT_EQ(cell->NumOutputs, 6);
    EXPECT_EQ(cell->MatrixColumns, 5);
    EXPECT_EQ(cell->Column, 3);
    EXPECT_EQ(cell->Description, "Derivatore vecchio");
    // Column 0 came in the old bands and is converted to the cells' bands.
    EXPECT_EQ(cell->Attenuation->Get3(0, TapLossColumn, 5), 12.0f);
    EXPECT_EQ(cell->Attenuation->Get3(0, TapThroughColumn, 5), LevelNone);
    EXPECT_EQ(dynamic_cast<TDerivatore&>(*cell).Layout().Height, 3);
}

TEST_F(TapRecords, AnOldSplitterKeepsNoThroughOutput) {
    TProgetto project(nullptr);
    TProgettoInCaricamento loading(&project);
    std::unique_ptr<TCella> cell(NewCella(nullptr, 3, 0, 0, 0, 0, 0));
    ASSERT_EQ(ReadInto(*cell, OldRecord(4.0f, 3).Bytes(), 10000), TRecordResult::Ok);
    EXPECT_EQ(cell->Inputs, 1);
    EXPECT_EQ(cell->ThroughOutputs, 0);
    EXPECT_EQ(cell->NumThroughOutputs, 0);
    EXPECT_EQ(cell->NumOutputs, 3);
    EXPECT_EQ(cell->Attenuation->Get3(0, TapLossColumn, 7), 4.0f);
}

TEST_F(TapRecords, AnOldRecordWithADamagedOutputCountIsRefused) {
    TProgetto project(nullptr);
    TProgettoInCaricamento loading(&project);
    for (int32_t outputs : {-1, 100000}) {
        std::unique_ptr<TCella> cell(NewCella(nullptr, 6, 0, 0, 0, 0, 0));
        EXPECT_NE(ReadInto(*cell, OldRecord(12.0f, outputs).Bytes(), 10000), TRecordResult::Ok) << outputs;
    }
    // And one that ends before its count is truncated.
    std::string bytes = OldRecord(12.0f, 2).Bytes();
    bytes.resize(bytes.size() - 4);
    std::unique_ptr<TCella> cell(NewCella(nullptr, 6, 0, 0, 0, 0, 0));
    EXPECT_EQ(ReadInto(*cell, bytes, 10000), TRecordResult::Truncated);
}

// ---- Prototypes ----

class TapPrototypes : public GlobalsTest {
protected:
    ScopedPrototypes prototypes;
};

TEST_F(TapPrototypes, EachClassAndPortCountHasItsOwnPrototype) {
    TDerivatore tap34(nullptr, 0, 0, 0, 0, 3, 4);
    TDerivatore tap35(nullptr, 0, 0, 0, 0, 3, 5);
    TDerivatoreS tapS34(nullptr, 0, 0, 0, 0, 3, 4);
    TDerivatoreN tapN34(nullptr, 0, 0, 0, 0, 3, 4);
    TDivisore splitter34(nullptr, 0, 0, 0, 0, 3, 4);
    const TCella* found[] = {tap34.GetPrototype(), tap35.GetPrototype(), tapS34.GetPrototype(),
                             tapN34.GetPrototype(), splitter34.GetPrototype()};
    const std::type_info* types[] = {&typeid(TDerivatore), &typeid(TDerivatore), &typeid(TDerivatoreS),
                                     &typeid(TDerivatoreN), &typeid(TDivisore)};
    for (int k = 0; k < 5; ++k) {
        ASSERT_NE(found[k], nullptr) << k;
        EXPECT_EQ(typeid(*found[k]), *types[k]) << k;
        EXPECT_EQ(found[k]->Inputs, 3);
        for (int m = 0; m < k; ++m) EXPECT_NE(found[k], found[m]) << k << " " << m;
    }
    EXPECT_EQ(found[1]->TapOutputs, 5);
    EXPECT_EQ(tap34.GetPrototype(), found[0]);  // fetched again, the same cell

    // Outside the kept counts there is none.
    EXPECT_EQ(TDerivatore(nullptr, 0, 0, 0, 0, 17, 4).GetPrototype(), nullptr);
    EXPECT_EQ(TDivisore(nullptr, 0, 0, 0, 0, 1, 11).GetPrototype(), nullptr);
}

TEST_F(TapPrototypes, DataStoredFromOneTapReachTheNextOfItsKindOnly) {
    TDerivatore a(nullptr, 0, 0, 0, 0, 1, 4);
    a.Attenuation->Set3(0, TapLossColumn, 5, 16.0f);
    a.Code = "R-416";
    a.StoreAsLastUsed();
    TDerivatore b(nullptr, 0, 0, 0, 0, 1, 4);
    b.TakeLastUsed();
    EXPECT_EQ(b.Code, "R-416");
    EXPECT_EQ(b.Attenuation->Get3(0, TapLossColumn, 5), 16.0f);
    TDerivatore other(nullptr, 0, 0, 0, 0, 1, 2);
    other.TakeLastUsed();
    EXPECT_EQ(other.Code, "");
}

// ---- Data check ----

class TapCheck : public GlobalsTest {
protected:
    void SetUp() override { globals.Reporter().SetTarget(nullptr); }
    AnsiString Shown() const {
        const auto& boxes = Application->Script().MessageBoxes;
        EXPECT_LE(boxes.size(), 1u);
        return boxes.empty() ? AnsiString() : boxes.front().Text;
    }
    // Every line described in every band with the columns the cell needs.
    static void Describe(TCella& cell) {
        const auto& tap = dynamic_cast<TDerivatore&>(cell);
        for (int32_t i = 0; i < cell.TableRows; ++i)
            for (int b = 0; b < Bands; ++b) {
                cell.Attenuation->Set3(i, TapLossColumn, b, 10.0f + b);
                if (cell.NumThroughOutputs > 0) {
                    cell.Attenuation->Set3(i, TapThroughColumn, b, 1.0f);
                    cell.Attenuation->Set3(i, TapReverseColumn, b, 30.0f);
                }
                if (tap.OutputsPerLine() > 1) cell.Attenuation->Set3(i, TapDecouplingColumn, b, 25.0f);
            }
    }
};

const AnsiString P = "Dati componente errati a causa del seguante problema: ";

TEST_F(TapCheck, MessagesOfTheTapCheck) {
    struct Case {
        const char* what;
        int32_t code, inputs, outputs;
        void (*change)(TCella&);
        const char* message;  // "" when the data pass
    };
    // clang-format off
    const Case cases[] = {
        {"described tap", 6, 1, 4, [](TCella&) {}, ""},
        {"described two-line tap", 6, 2, 2, [](TCella&) {}, ""},
        {"tap loss without through loss", 6, 1, 4,
         [](TCella& c) { c.Attenuation->Set3(0, TapThroughColumn, 5, LevelNone); },
         "Banda b. V descritta parzialmente sul montante 1."},
        {"reverse loss alone on line 2", 6, 2, 2,
         [](TCella& c) {
             for (int col = 0; col < 4; ++col) c.Attenuation->Set3(1, col, 3, LevelNone);
             c.Attenuation->Set3(1, TapReverseColumn, 3, 30.0f);
         },
         "Banda b. III descritta parzialmente sul montante 2."},
        {"decoupling missing", 50, 1, 2, [](TCella& c) { c.Attenuation->Set3(0, TapDecouplingColumn, 0, LevelNone); },
         "Banda C. Rit descritta parzialmente sul montante 1."},
        {"one user output needs no decoupling", 6, 1, 1, [](TCella&) {}, ""},
        {"line 2 handles nothing", 6, 2, 2,
         [](TCella& c) {
             for (int col = 0; col < 4; ++col)
                 for (int b = 0; b < Bands; ++b) c.Attenuation->Set3(1, col, b, LevelNone);
         },
         "Il montante 2 non gestisce alcun segnale."},
        {"a band left out entirely is fine", 6, 1, 2,
         [](TCella& c) {
             for (int col = 0; col < 4; ++col) c.Attenuation->Set3(0, col, 7, LevelNone);
         },
         ""},
        {"repeat mark in the through loss", 6, 1, 2, [](TCella& c) { c.Attenuation->Set3(0, TapThroughColumn, 4, LevelRepeat); },
         "Atten. di passaggio  [dB]: < non ammesso."},
        {"repeat mark in the decoupling", 6, 1, 3, [](TCella& c) { c.Attenuation->Set3(0, TapDecouplingColumn, 4, LevelRepeat); },
         "Disaccoppiamento  [dB]: < non ammesso."},
        // Without through outputs, columns 1 and 2 say nothing about description.
        {"end tap with tap loss only", 49, 1, 1, [](TCella&) {}, ""},
        {"splitter with one output per line", 3, 1, 1, [](TCella&) {}, ""},
        {"splitter without decoupling", 3, 1, 2, [](TCella& c) { c.Attenuation->Set3(0, TapDecouplingColumn, 9, LevelNone); },
         "Banda sat. 4 descritta parzialmente sul montante 1."},
        {"splitter with a stray through loss", 3, 1, 2, [](TCella& c) { c.Attenuation->Set3(0, TapThroughColumn, 2, 3.0f); }, ""},
    };
    // clang-format on
    for (const Case& c : cases) {
        Application->Script().MessageBoxes.clear();
        globals.Reporter().SetTarget(nullptr);
        std::unique_ptr<TCella> cell(NewCella(nullptr, c.code, 0, 0, c.inputs, 0, c.outputs));
        Describe(*cell);
        c.change(*cell);
        const bool pass = *c.message == '\0';
        EXPECT_EQ(cell->CheckData(P), pass) << c.what;
        EXPECT_EQ(Shown(), pass ? AnsiString() : P + c.message) << c.what;
    }
}

TEST_F(TapCheck, OwnLossesPerOutputMustMatchTheDescribedBands) {
    auto make = [] {
        auto cell = std::make_unique<TDerivatore>(nullptr, 0, 0, 0, 0, 1, 2);
        Describe(*cell);
        cell->MatrixTableA->Alloc4(1, 2, 1, BandSlots);
        for (int j = 0; j < 2; ++j)
            for (int b = 0; b < Bands; ++b) cell->MatrixTableA->Set4(0, j, 0, b, 12.0f + j);
        return cell;
    };
    auto good = make();
    EXPECT_TRUE(good->CheckData(P));
    EXPECT_EQ(Shown(), "");

    auto missing = make();
    missing->MatrixTableA->Set4(0, 1, 0, 1, LevelNone);
    EXPECT_FALSE(missing->CheckData(P));
    EXPECT_EQ(Shown(), P + "Banda b. I descritta parzialmente relativamente all'uscita 2.");

    Application->Script().MessageBoxes.clear();
    globals.Reporter().SetTarget(nullptr);
    auto repeat = make();
    repeat->MatrixTableA->Set4(0, 0, 0, 6, LevelRepeat);
    EXPECT_FALSE(repeat->CheckData(P));
    EXPECT_EQ(Shown(), P + "Atten. di deriv.  [dB]montante 1 uscita 1: < non ammesso.");
}

TEST_F(TapCheck, AStageOutsideTheDescribedBandsIsRefused) {
    TDerivatore tap(nullptr, 0, 0, 0, 0, 1, 2);
    Describe(tap);
    for (int col = 0; col < 4; ++col) tap.Attenuation->Set3(0, col, 0, LevelNone);
    // An input stage with gain, noise figure and maximum output in band 0,
    // which the tap does not handle.
    tap.LevelTableA->SetSizes(0, 1, 7, BandSlots);
    for (int col : {4, 5, 6}) tap.LevelTableA->Set3(0, col, 0, 10.0f);
    EXPECT_FALSE(tap.CheckData(P));
    EXPECT_EQ(
        Shown(),
        P + "Amplificazione ingresso: Banda C. Rit gestita parzialmente rispetto la funzione principale.");
}

}  // namespace
