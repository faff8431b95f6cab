// The cell factory's code table: which class each code builds, which counts
// its constructor receives and which code the class stores.
#include "cells/factory.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <typeinfo>

#include "cells/head_end.h"
#include "cells/record.h"
#include "core/file.h"
#include "support/globals_fixture.h"
#include "support/test_cells.h"

namespace {

class CellFactoryRecords : public GlobalsTest {};

using R = TCountRule;

// Every code of the factory builds its class, and the cell writes a record
// that builds the same class again and reads back to the same bytes. The
// old cables are only read: they write nothing.
TEST_F(CellFactoryRecords, EveryCodeBuildsACellWhoseRecordReadsBackToTheSameBytes) {
    EXPECT_EQ(CellTypes().size(), 60u);
    for (const TCellType& type : CellTypes()) {
        std::unique_ptr<TCella> cell(NewCella(nullptr, type.Code, 2, 3, 2, 2, 2));
        ASSERT_NE(cell, nullptr) << type.Code;
        EXPECT_EQ(cell->TypeCode,
                  type.StoredCode == CodeCable && type.Code == CodeBridge ? CodeBridge : type.StoredCode)
            << type.Code;
        TMemoryStream once;
        SaveCellRecord(*cell, once, RecordVersion);
        if (type.Code == 17 || type.Code == 18) {
            EXPECT_EQ(once.Bytes().size(), 0u) << type.Code;
            continue;
        }
        TMemoryStream s(once.Bytes());
        const int32_t code = ReadI32(s), in = ReadI32(s), through = ReadI32(s), tap = ReadI32(s);
        EXPECT_EQ(code, cell->TypeCode) << type.Code;
        std::unique_ptr<TCella> back(NewCella(nullptr, code, 0, 0, in, through, tap));
        ASSERT_NE(back, nullptr) << type.Code;
        const TCella &original = *cell, &read = *back;
        EXPECT_EQ(typeid(read), typeid(original)) << type.Code;
        ASSERT_EQ(ReadCellRecord(*back, s, RecordVersion), TRecordResult::Ok) << type.Code;
        TMemoryStream again;
        SaveCellRecord(*back, again, RecordVersion);
        EXPECT_EQ(again.Bytes(), once.Bytes()) << type.Code;
    }
}

TEST(CellFactory, CodesOutsideTheTableGiveNone) {
    for (int32_t code : {0, 33, 59, 70, 79, 82, 149, 151, 1000, -1, -34}) {
        EXPECT_EQ(FindCellType(code), nullptr) << code;
        EXPECT_EQ(NewCella(nullptr, code, 0, 0, 1, 1, 1), nullptr) << code;
    }
}

TEST(CellFactory, ConstructorArgumentsFollowTheRule) {
    struct Case {
        int32_t code, inputs, through, taps;
        std::vector<int32_t> args;
        int32_t orientation;
        bool flag;
    };
    // clang-format off
    const Case cases[] = {
        {3, 1, 2, 4, {1, 4}, 0, false},        // the larger of through and tap outputs
        {5, 2, 6, 3, {2, 6}, 0, false},
        {7, 2, 2, 4, {2, 4}, 0, false},
        {12, 3, 3, 8, {10, 3, 8}, 0, false},   // a switch gets code 10 whatever was asked
        {56, 3, 3, 8, {56, 3, 8}, 0, false},
        {54, 1, 1, 2, {54, 2}, 0, false},
        {41, 1, 1, 1, {14, 3}, 0, false},      // 3 tap outputs whatever was asked
        {46, 1, 1, 2, {15, 3}, 0, false},
        {16, 4, 0, 0, {4}, 0, false},
        {22, 2, 5, 0, {22, 2, 5}, 0, false},
        {34, 1, 6, 0, {6}, 0, false},
        {40, 4, 7, 0, {4, 7}, 0, false},
        {17, 1, 1, 0, {}, 1, false},
        {18, 1, 1, 0, {}, 0, true},
        {80, 1, 1, 0, {}, 1, false},
        {38, 1, 1, 0, {}, 0, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        const TCellType* type = FindCellType(c.code);
        ASSERT_NE(type, nullptr);
        const TCellArgs a = CellArgsFor(*type, nullptr, 7, 9, c.inputs, c.through, c.taps);
        ASSERT_EQ(a.Count, static_cast<int>(c.args.size())) << c.code;
        for (int i = 0; i < a.Count; ++i) EXPECT_EQ(a.Arg[i], c.args[i]) << c.code << " arg " << i;
        EXPECT_EQ(a.Orientation, c.orientation) << c.code;
        EXPECT_EQ(a.Flag, c.flag) << c.code;
        EXPECT_EQ(a.Column, 7);
        EXPECT_EQ(a.Row, 9);
    }
    // The price-list item has no position.
    const TCellArgs item = CellArgsFor(*FindCellType(150), nullptr, 7, 9, 0, 0, 0);
    EXPECT_EQ(item.Column, 0);
    EXPECT_EQ(item.Row, 0);
    EXPECT_EQ(item.Count, 0);
}

TEST(CellFactory, BuildsTheHeadEndTerminalWithItsLines) {
    std::unique_ptr<TCella> cell(NewCella(nullptr, 34, 12, 3, 2, 5, 0));
    auto* terminal = dynamic_cast<TTesta*>(cell.get());
    ASSERT_NE(terminal, nullptr);
    EXPECT_EQ(terminal->TypeCode, 34);
    EXPECT_EQ(terminal->Lines(), 5);
    EXPECT_EQ(terminal->Column, 12);
    EXPECT_EQ(terminal->Row, 3);
    EXPECT_EQ(terminal->Orientation, 0);
    EXPECT_EQ(terminal->Mirrored, 0);
}

TEST(CellFactory, CountsThatNoClassCanHaveGiveNone) {
    EXPECT_EQ(NewCella(nullptr, 34, 0, 0, -1, 1, 0), nullptr);
    EXPECT_EQ(NewCella(nullptr, 34, 0, 0, 1, 1, 1000000), nullptr);
    EXPECT_NE(std::unique_ptr<TCella>(NewCella(nullptr, 34, 0, 0, 0, 0, 0)), nullptr);
}

TEST(CellFactory, AClassIsBuiltOnlyWhileRegistered) {
    const TCellType* type = FindCellType(TCellaProva::CodiceProva);
    const TCellMaker real = CellClassMaker(type->ClassName);
    {
        ScopedTestCellClass testClass;
        std::unique_ptr<TCella> cell(NewCella(nullptr, TCellaProva::CodiceProva, 4, 5, 1, 1, 0));
        ASSERT_NE(dynamic_cast<TCellaProva*>(cell.get()), nullptr);
        EXPECT_EQ(cell->Column, 4);
    }
    EXPECT_EQ(CellClassMaker(type->ClassName), real);
}

TEST(CellFactory, BridgeCodeIsSetAfterConstruction) {
    const TCellMaker before = SetCellClassMaker("TNCavo", [](const TCellArgs& a) -> std::unique_ptr<TCella> {
        auto cell = std::make_unique<TCellaProva>(a.Owner, a.Column, a.Row, 1, 1, 0, true, a.Orientation);
        cell->TypeCode = CodeCable;
        return cell;
    });
    std::unique_ptr<TCella> bridge(NewCella(nullptr, 80, 1, 2, 1, 1, 0));
    std::unique_ptr<TCella> cable(NewCella(nullptr, 81, 1, 2, 1, 1, 0));
    SetCellClassMaker("TNCavo", before);
    ASSERT_NE(bridge, nullptr);
    ASSERT_NE(cable, nullptr);
    EXPECT_EQ(bridge->TypeCode, 80);
    EXPECT_EQ(cable->TypeCode, 81);
    EXPECT_EQ(bridge->Orientation, 1);
}

}  // namespace
