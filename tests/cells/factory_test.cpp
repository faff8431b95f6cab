// The cell factory's code table: which class each code builds, which counts
// its constructor receives and which code the class stores.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "cells/factory.h"
#include "cells/head_end.h"
#include "support/test_cells.h"

namespace {

using R = TCountRule;

struct Row {
    int32_t code;
    const char* className;
    TCountRule rule;
    int32_t stored;
};

const Row expectedTable[] = {
    {1, "TFiltroS", R::None, 1},
    {2, "TFiltroP", R::None, 2},
    {3, "TDivisore", R::InputsLargerOutput, 3},
    {4, "TDivisore", R::InputsLargerOutput, 3},
    {5, "TDivisore", R::InputsLargerOutput, 3},
    {6, "TDerivatore", R::InputsTaps, 6},
    {7, "TDerivatore", R::InputsTaps, 6},
    {8, "TDerivatore", R::InputsTaps, 6},
    {9, "TDerivatore", R::InputsTaps, 6},
    {10, "TSwitch", R::CodeInputsTaps, 10},
    {11, "TSwitch", R::CodeInputsTaps, 10},
    {12, "TSwitch", R::CodeInputsTaps, 10},
    {13, "TSwitch", R::CodeInputsTaps, 10},
    {14, "TPresaD", R::CodeTaps, 14},
    {15, "TPresaD", R::CodeTaps, 15},
    {16, "TChiusura", R::Inputs, 16},
    {17, "TCavo", R::OldCableAcross, 17},
    {18, "TCavo", R::OldCableAlong, 18},
    {19, "TSeparatoreCC", R::None, 19},
    {20, "TInduttanza", R::None, 20},
    {21, "TAmplificatore", R::CodeInputsThrough, 21},
    {22, "TAmplificatore", R::CodeInputsThrough, 22},
    {23, "TAmplificatoreA", R::InputsThrough, 23},
    {24, "TAlimentatore", R::Through, 24},
    {25, "TTerra", R::None, 25},
    {26, "TAttenuatore", R::None, 26},
    {27, "TAttenuatoreR", R::None, 27},
    {28, "TEqualizzatore", R::None, 28},
    {29, "TMiscelatore", R::Inputs, 29},
    {30, "TDemiscelatore", R::Through, 30},
    {31, "TFiltroPB", R::None, 31},
    {32, "TFiltroPA", R::None, 32},
    {34, "TTesta", R::Through, 34},
    {35, "TFiltroAT", R::InputsThrough, 35},
    {36, "TModulatore", R::Through, 36},
    {37, "TConvertitore", R::InputsThrough, 37},
    {38, "TAntenna", R::None, 38},
    {39, "TSat", R::Through, 39},
    {40, "TTerrestre", R::InputsThrough, 40},
    {41, "TPresaD", R::CodeThreeTaps, 14},
    {42, "TFiltroCAG", R::InputsThrough, 42},
    {43, "TAmplificatoreAt", R::InputsThrough, 43},
    {44, "TAlimentatoreSF", R::None, 44},
    {45, "TParabola", R::None, 45},
    {46, "TPresaD", R::CodeThreeTaps, 15},
    {47, "TSwitchN", R::CodeInputsTaps, 47},
    {48, "TInseritore", R::None, 48},
    {49, "TDerivatoreN", R::InputsTaps, 49},
    {50, "TDerivatoreS", R::InputsTaps, 50},
    {51, "TRicevitoreSat", R::None, 51},
    {52, "TAncoraI", R::None, 52},
    {53, "TAncoraO", R::None, 53},
    {54, "TPresaD", R::CodeTaps, 54},
    {55, "TCellaCustom", R::InputsTaps, 55},
    {56, "TSwitch", R::CodeInputsTaps, 56},
    {57, "TSwitchN", R::CodeInputsTaps, 57},
    {58, "TCentraleIntegrata", R::InputsThrough, 58},
    {80, "TNCavo", R::Segment, 81},
    {81, "TNCavo", R::Segment, 81},
    {150, "TElementoListino", R::OwnerOnly, 150},
};

TEST(CellFactory, EveryCodeHasItsClassCountRuleAndStoredCode) {
    for (const Row& row : expectedTable) {
        const TCellType* type = FindCellType(row.code);
        ASSERT_NE(type, nullptr) << row.code;
        EXPECT_STREQ(type->ClassName, row.className) << row.code;
        EXPECT_EQ(type->Rule, row.rule) << row.code;
        EXPECT_EQ(type->StoredCode, row.stored) << row.code;
    }
    EXPECT_EQ(CellTypes().size(), std::size(expectedTable));
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
    const TCellMaker before = SetCellClassMaker("TNCavo", [](const TCellArgs& a) -> TCella* {
        auto* cell = new TCellaProva(a.Owner, a.Column, a.Row, 1, 1, 0, true, a.Orientation);
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
