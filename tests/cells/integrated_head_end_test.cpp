// The integrated head-end (code 58): its box and ports, their names, its
// record with the module lists and the values of every input, copies, the
// data form, and what it does in the passes (nothing of its own).
#include "cells/integrated_head_end.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "cells/factory.h"
#include "cells/mouse_info.h"
#include "cells/pass_links.h"
#include "cells/prototypes.h"
#include "cells/record.h"
#include "core/file.h"
#include "core/filter_modules.h"
#include "document/grid.h"
#include "platform/application.h"
#include "support/dialog_fixture.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

using K = TPortKind;
using E = TSide;

std::unique_ptr<TCentraleIntegrata> Make(int32_t inputs, int32_t outputs, TCellGrid* owner = nullptr,
                                         int32_t column = 0, int32_t row = 0) {
    return CellAs<TCentraleIntegrata>(
        NewCella(owner, CodeCentraleIntegrata, column, row, inputs, outputs, 0));
}

class IntegratedHeadEnd : public GlobalsTest {};

TEST_F(IntegratedHeadEnd, TheFactoryBuildsTheUnitWithAModuleListForEveryUsedPair) {
    auto unit = Make(3, 2);
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(unit->TypeCode, 58);
    EXPECT_EQ(unit->NumInputs, 3);
    EXPECT_EQ(unit->NumThroughOutputs, 2);
    EXPECT_EQ(unit->TableRows, 0);
    for (int32_t i = 0; i < IntegratedMaxInputs; ++i)
        for (int32_t j = 0; j < IntegratedMaxOutputs; ++j)
            EXPECT_EQ(unit->Modules(i, j) != nullptr, i < 3 && j < 2) << i << "," << j;
    EXPECT_EQ(unit->InputEnabled[9], 1);
    EXPECT_EQ(unit->InputValues[9][13], static_cast<int32_t>(LevelNone));
    EXPECT_TRUE(unit->CheckData("x"));
    EXPECT_FALSE(unit->Rotate(1));
    EXPECT_FALSE(unit->Mirror());
    EXPECT_EQ(unit->GetTypeName(), "Centrale integrata");
    TContatoriCategoria counters;
    counters.fill(1);
    unit->TakeSequenceNumber(counters);
    EXPECT_EQ(unit->GetShortCode(), "Ci1");
}

TEST_F(IntegratedHeadEnd, InputsAndOutputsStandCentredAlongTheirRows) {
    struct Case {
        int32_t inputs, outputs, width;
        std::vector<int32_t> in, out;
    };
    // clang-format off
    const Case cases[] = {
        {1, 1, 3, {1}, {1}},
        {2, 5, 5, {1, 2}, {0, 1, 2, 3, 4}},
        {10, 2, 10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {4, 5}},
        {2, 2, 3, {0, 1}, {0, 1}},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto unit = Make(c.inputs, c.outputs, nullptr, 10, 20);
        const TCellLayout layout = unit->Layout();
        std::vector<TCellPort> expected;
        for (size_t i = 0; i < c.in.size(); ++i)
            expected.push_back({K::Input, static_cast<int32_t>(i), c.in[i], 0, E::Top});
        for (size_t k = 0; k < c.out.size(); ++k)
            expected.push_back({K::Through, static_cast<int32_t>(k), c.out[k], 2, E::Bottom});
        EXPECT_EQ(layout.Ports, expected) << c.inputs << "x" << c.outputs;
        EXPECT_EQ(unit->GetGridRect(), (TCellRect{20, 10, 22, 10 + c.width - 1}))
            << c.inputs << "x" << c.outputs;
    }
}

TEST_F(IntegratedHeadEnd, PortsAreNamedOnTheSquaresThePlacementRegisters) {
    struct Case {
        int32_t inputs, outputs, column, row;
        const char* name;
        int32_t input, output;
    };
    // clang-format off
    const Case cases[] = {
        {1, 1, 11, 0, "ingresso 1", 0, -1},   // one input: the second top square
        {1, 1, 10, 0, "", -1, -1},
        {1, 1, 12, 2, "uscita", -1, 0},       // one output: every bottom square
        {1, 1, 10, 2, "uscita", -1, 0},
        {3, 2, 12, 0, "ingresso 3", 2, -1},
        {3, 2, 10, 0, "ingresso SAT", 0, -1},
        {3, 2, 11, 2, "uscita TV", -1, 1},
        {3, 2, 10, 2, "uscita 1", -1, 0},
        {3, 2, 12, 2, "", -1, -1},
        {3, 2, 11, 1, "", -1, -1},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto unit = Make(c.inputs, c.outputs, nullptr, 10, 0);
        if (c.inputs == 3) {
            unit->InputLabels[0] = "SAT";
            unit->OutputLabels[1] = "TV";
        }
        TInfoMousePos position;
        position.Column = c.column;
        position.Row = c.row;
        unit->GetPortName(position);
        EXPECT_EQ(position.PortName, c.name)
            << c.inputs << "x" << c.outputs << " at " << c.column << "," << c.row;
        EXPECT_EQ(position.Input, c.input) << c.name;
        EXPECT_EQ(position.ThroughOutput, c.output) << c.name;
    }
}

TEST_F(IntegratedHeadEnd, ADisabledPortMayStayOpen) {
    TGridData grid(nullptr, 30, 30, GridHeadEnd);
    grid.BeginAnalysis();
    auto unit = Make(2, 2, &grid, 10, 5);
    unit->AllocLinks();
    unit->InputEnabled[1] = 0;
    unit->OutputEnabled[0] = 0;
    TQNextCell queue;
    ASSERT_TRUE(unit->PlaceOnGrid(TNextCell{}, queue));
    for (int32_t c = 10; c <= 12; ++c)
        for (int32_t r = 5; r <= 7; ++r) EXPECT_EQ(grid.AnalysisAt(c, r)->Visited, 1);
    EXPECT_EQ(grid.AnalysisAt(10, 5)->Waiting[0], 1);
    EXPECT_EQ(grid.AnalysisAt(10, 5)->MayStayOpen[0], 0);
    EXPECT_EQ(grid.AnalysisAt(11, 5)->InputIndex[0], 1);
    EXPECT_EQ(grid.AnalysisAt(11, 5)->MayStayOpen[0], 1);
    TNextCell next;
    std::vector<std::pair<int32_t, uint8_t>> links;
    while (queue.Pop(next)) {
        EXPECT_EQ(next.Row, 8);
        links.emplace_back(next.Column, next.MayEndOpen);
    }
    EXPECT_EQ(links, (std::vector<std::pair<int32_t, uint8_t>>{{10, 1}, {11, 0}}));
    grid.EndAnalysis();
}

TEST_F(IntegratedHeadEnd, TheUnitProducesNoChannelAndSpreadsNothing) {
    auto unit = Make(1, 2);
    const uint32_t stamp = NextPassNumber();
    unit->ComputeChannels(0, 0, stamp);
    EXPECT_EQ(unit->PassStamp, stamp);
    ASSERT_NE(OutputList(*unit, 1), nullptr);
    EXPECT_EQ(OutputList(*unit, 1)->Count(), 0);
    unit->SpreadStamp(stamp);
    EXPECT_EQ(unit->SpreadPassStamp, stamp);
    unit->SpreadStamp(stamp - 1);
    EXPECT_EQ(unit->SpreadPassStamp, stamp);
}

// A 2 x 2 unit with one module list filled and every value of every input given.
std::unique_ptr<TCentraleIntegrata> Filled() {
    auto unit = Make(2, 2);
    unit->UnitText = "Centrale di prova";
    unit->InputLabels[0] = "SAT";
    unit->InputEnabled[1] = 0;
    unit->OutputLabels[4] = "AUX";
    unit->OutputEnabled[3] = 0;
    auto module = std::make_unique<TModuloFiltro>();
    module->flags = ModuleChannelFilter;
    module->slotLow[ModuleInputSlot] = 470.0f;
    module->slotHigh[ModuleInputSlot] = 478.0f;
    unit->Modules(1, 0)->kind = 3;
    unit->Modules(1, 0)->Append(std::move(module));
    for (int32_t i = 0; i < IntegratedMaxInputs; ++i)
        for (int32_t v = 0; v < IntegratedInputValues; ++v) unit->InputValues[i][v] = 100 * i + v;
    return unit;
}

std::string ListBytes(const TModuliFiltro& list) {
    TMemoryStream s;
    list.Write(s, 60000);
    return s.Bytes();
}

TEST_F(IntegratedHeadEnd, TheRecordHoldsTextsMarksModuleListsAndEveryInputsValues) {
    auto unit = Filled();
    TMemoryStream base;
    unit->TCella::Save(base, 60000);
    RecordBytes expected;
    expected.Raw(base.Bytes()).Text("Centrale di prova", 21);
    expected.Text("SAT", 6).U8(1).Text("", 6).U8(0);  // the two used inputs
    for (int k = 0; k < IntegratedMaxOutputs; ++k) expected.Text(k == 4 ? "AUX" : "", 6).U8(k == 3 ? 0 : 1);
    for (int32_t i = 0; i < 2; ++i)
        for (int32_t j = 0; j < 2; ++j) expected.Raw(ListBytes(*unit->Modules(i, j)));
    expected.I32(10);
    for (int32_t i = 0; i < IntegratedMaxInputs; ++i)
        for (int32_t v = 0; v < IntegratedInputValues; ++v) expected.I32(100 * i + v);
    const std::string bytes = SavedRecord(*unit);
    EXPECT_EQ(bytes, expected.Bytes()) << HexDump(bytes);
    EXPECT_EQ(bytes, ReadHexFixture("integrated_head_end_60000.hex"));

    auto back = Make(2, 2);
    ASSERT_EQ(ReadRecordInto(*back, bytes, 60000), TRecordResult::Ok);
    EXPECT_EQ(back->UnitText, "Centrale di prova");
    EXPECT_EQ(back->InputLabels[0], "SAT");
    EXPECT_EQ(back->InputEnabled[1], 0);
    EXPECT_EQ(back->OutputLabels[4], "AUX");
    EXPECT_EQ(back->Modules(1, 0)->Count(), 1);
    EXPECT_EQ(back->Modules(1, 0)->kind, 3);
    EXPECT_EQ(back->InputValues[9][13], 913);  // beyond the two inputs too
    EXPECT_EQ(SavedRecord(*back), bytes);
}

TEST_F(IntegratedHeadEnd, AFreshUnitSavesLoadsAndCopies) {
    auto unit = Make(4, 3);
    const std::string bytes = SavedRecord(*unit);
    auto back = Make(4, 3);
    ASSERT_EQ(ReadRecordInto(*back, bytes, 60000), TRecordResult::Ok);
    EXPECT_EQ(SavedRecord(*back), bytes);
    std::unique_ptr<TCella> clone(unit->Clone());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(SavedRecord(*clone), bytes);

    auto filled = Filled();
    auto copy = Make(2, 2);
    filled->Assign(copy.get());
    EXPECT_EQ(SavedRecord(*copy), SavedRecord(*filled));
    EXPECT_NE(copy->Modules(1, 0)->head, filled->Modules(1, 0)->head);
}

TEST_F(IntegratedHeadEnd, CountsAndRowsBeyondTheArraysAreRefused) {
    const std::string bytes = SavedRecord(*Filled());
    for (auto [inputs, outputs] : {std::pair{11, 2}, std::pair{2, 6}}) {
        auto damaged = Make(inputs, outputs);
        ASSERT_NE(damaged, nullptr);
        EXPECT_EQ(ReadRecordInto(*damaged, bytes, 60000), TRecordResult::Damaged) << inputs << "x" << outputs;
    }
    // The row count stands before the last 10 x 14 values.
    std::string rows = bytes;
    const size_t at = rows.size() - 4 * IntegratedMaxInputs * IntegratedInputValues - 4;
    ASSERT_EQ(rows.substr(at, 4), std::string("\x0a\x00\x00\x00", 4));
    rows[at] = 11;
    auto refused = Make(2, 2);
    EXPECT_NE(ReadRecordInto(*refused, rows, 60000), TRecordResult::Ok);
    // Fewer rows read fewer values; the rest keep theirs.
    std::string fewer = bytes.substr(0, at) + std::string("\x01\x00\x00\x00", 4) +
                        bytes.substr(at + 4, 4 * IntegratedInputValues);
    auto partial = Make(2, 2);
    ASSERT_EQ(ReadRecordInto(*partial, fewer, 60000), TRecordResult::Ok);
    EXPECT_EQ(partial->InputValues[0][13], 13);
    EXPECT_EQ(partial->InputValues[1][0], static_cast<int32_t>(LevelNone));
}

TEST_F(IntegratedHeadEnd, PrototypesCoverOneToTenInputsAndOneToFiveOutputs) {
    ScopedPrototypes prototypes;
    EXPECT_NE(Make(1, 1)->GetPrototype(), nullptr);
    EXPECT_NE(Make(10, 5)->GetPrototype(), nullptr);
    EXPECT_EQ(Make(10, 6)->GetPrototype(), nullptr);
    EXPECT_NE(Make(2, 3)->GetPrototype(), Make(3, 2)->GetPrototype());
}

class IntegratedHeadEndDialog : public GlobalsTest {
protected:
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    ScopedComponentDialog dialog;
};

TEST_F(IntegratedHeadEndDialog, AConfirmedEditCopiesTheCloneIntoTheUnitWithoutAPrototype) {
    TGridData head(nullptr, 30, 30, GridHeadEnd);
    auto unit = Make(2, 2, &head, 4, 4);
    unit->SequenceNumber = 2;
    AnsiString name;
    Application->Script().AnswerShowModal<TDatiComponenti>([&](TDatiComponenti& f) {
        name = f.LabelNome->Caption;
        f.EditDescrizione->Text = "Centrale nuova";
        f.ButtonOk->Click();
    });
    EXPECT_TRUE(unit->OpenDataDialog());
    EXPECT_EQ(name, "Centrale integrataCi2");
    EXPECT_EQ(unit->Description, "Centrale nuova");
    EXPECT_EQ(unit->Described, 1);
    // The last-used prototype was neither read nor written.
    EXPECT_EQ(unit->GetPrototype()->Description, "");

    Application->Script().AnswerShowModal<TDatiComponenti>([](TDatiComponenti& f) {
        f.EditDescrizione->Text = "Annullata";
        f.ButtonAnnulla->Click();
    });
    EXPECT_FALSE(unit->OpenDataDialog());
    EXPECT_EQ(unit->Description, "Centrale nuova");
}

}  // namespace
