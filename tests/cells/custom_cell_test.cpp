// The custom component: construction, the anchor mapping, the checks of its
// structure, its footprint under turn and mirror, its record with the two grid
// sections, copying, the component-data form, the loss-table adjustment and
// its symbol.
#include "cells/custom_cell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "cells/amplifiers.h"
#include "cells/anchors.h"
#include "cells/factory.h"
#include "cells/filters.h"
#include "cells/mouse_info.h"
#include "cells/outlets.h"
#include "cells/prototypes.h"
#include "cells/record.h"
#include "cells/splitters.h"
#include "cells/taps.h"
#include "cells/terminations.h"
#include "core/file.h"
#include "document/grid.h"
#include "platform/application.h"
#include "platform/comctrls.h"
#include "platform/engines.h"
#include "platform/graphics.h"
#include "platform/stdctrls.h"
#include "support/custom_cells.h"
#include "support/dialog_fixture.h"
#include "support/globals_fixture.h"
#include "support/port_edges.h"
#include "support/record_bytes.h"
#include "support/test_cells.h"

namespace {

const char* const UnknownInput =
    "Un punto di ingresso della struttura è collegato ad un ingresso inesistente.";
const char* const SameInput = "Due punti di ingresso della struttura sono collegati allo stesso ingresso.";
const char* const UnknownOutput = "Un punto di uscita della struttura è collegato ad una uscita inesistente.";
const char* const SameOutput = "Due punti di uscita della struttura sono collegati alla stessa uscita.";
const char* const InputUnhandled = "Un ingresso non è gestito da alcun punto di ingresso della struttura.";
const char* const OutputUnhandled = "Un'uscita non è gestita da alcun punto di uscita della struttura.";
const char* const CircuitFaults = "Ci sono errori nel disegno del circuito della struttura.";
const char* const Undescribed =
    "Alcuni componenti nel disegno del circuito della struttura devono essere descritti.";

std::unique_ptr<TCella> Splitter(bool described = true) {
    auto splitter = std::make_unique<TDivisore>(nullptr, 0, 0, 0, 0, 1, 2);
    splitter->Described = described ? 1 : 0;
    return splitter;
}

std::unique_ptr<TCella> Tap(bool described) {
    auto tap = std::make_unique<TDerivatore>(nullptr, 0, 0, 0, 0, 1, 1);
    tap->Described = described ? 1 : 0;
    return tap;
}

std::unique_ptr<TCella> Termination(int32_t orientation = 0) {
    return std::make_unique<TChiusura>(nullptr, orientation, 0, 0, 0, 1);
}

std::unique_ptr<TCella> EndOutlet() {
    auto outlet = std::make_unique<TPresaD>(nullptr, 1, 0, 0, 0, CodeEndOutlet, 1);
    outlet->Described = 1;
    return outlet;
}

// The splitter structure: entry anchor above a splitter whose outputs leave
// right and left into the two given cells.
std::vector<TPezzoStruttura> SplitterInside(const char* entry, std::unique_ptr<TCella> right,
                                            std::unique_ptr<TCella> left) {
    return Structure(
        {{EntryAnchor(entry), 1, 0}, {Splitter(), 1, 1}, {std::move(right), 2, 1}, {std::move(left), 0, 1}});
}

class CustomCellTest : public GlobalsTest {
protected:
    void SetUp() override { globals.Reporter().SetTarget(&messages); }
    std::vector<std::string> Messages() const {
        std::vector<std::string> out;
        for (int i = 0; i < messages.Items->Count(); ++i) out.push_back(messages.Items->Strings(i));
        return out;
    }
    TListBox messages;
};

TEST_F(CustomCellTest, TheFactoryBuildsAFreshCellThatPlacesBeforeAnyEditing) {
    std::unique_ptr<TCella> made(NewCella(nullptr, CodeCustom, 4, 5, 2, 0, 3));
    auto* cell = dynamic_cast<TCellaCustom*>(made.get());
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->TypeCode, CodeCustom);
    EXPECT_EQ(cell->Kind, KindCustom);
    EXPECT_EQ(cell->NumInputs, 2);
    EXPECT_EQ(cell->NumThroughOutputs, 0);
    EXPECT_EQ(cell->NumTapOutputs, 3);
    EXPECT_EQ(cell->TableRows, 0);
    EXPECT_EQ(cell->TableColumns, 0);
    EXPECT_EQ(cell->FootprintColumns, 3);
    EXPECT_EQ(cell->FootprintRows, 2);
    EXPECT_EQ(cell->Drawing->Columns, 3);
    EXPECT_EQ(cell->Drawing->Rows, 2);
    EXPECT_EQ(cell->Drawing->Kind, GridSymbol);
    EXPECT_EQ(cell->Structure->Columns, 100);
    EXPECT_EQ(cell->Structure->Rows, 100);
    EXPECT_EQ(cell->Structure->Kind, GridCustom);
    EXPECT_EQ(GridOf(cell->Structure).Project, nullptr);
    EXPECT_EQ(cell->InputPoints, (std::vector<TPuntoPorta>{{0, 0, 0}, {1, 0, 0}}));
    EXPECT_EQ(cell->OutputPoints, (std::vector<TPuntoPorta>{{0, 1, 0}, {1, 1, 0}, {2, 1, 0}}));
    EXPECT_EQ(cell->GetGridRect(), (TCellRect{5, 4, 6, 6}));
    EXPECT_EQ(cell->GetTypeName(), "Componente personalizzato ");
    TContatoriCategoria counters{};
    counters[CustomCounter] = 7;
    cell->TakeSequenceNumber(counters);
    EXPECT_EQ(cell->GetShortCode(), "N7");
    EXPECT_EQ(counters[CustomCounter], 8);
    EXPECT_EQ(cell->MinDownstreamValue(50.0f, 1, true, nullptr, 0, 0), 0.0f);

    // More ports than a record's symbol may be wide share its last column,
    // so that the cell reads back what it writes.
    TCellaCustom wide(nullptr, 0, 0, 0, 0, 60, 1);
    EXPECT_EQ(wide.FootprintColumns, CustomDrawingMaxSize);
    EXPECT_EQ(wide.InputPoints[59], (TPuntoPorta{CustomDrawingMaxSize - 1, 0, 0}));
    TMemoryStream saved;
    wide.Save(saved, RecordVersion);
    TMemoryStream in(saved.Bytes());
    in.Seek(RecordHeadBytes, soFromBeginning);
    TCellaCustom back(nullptr, 0, 0, 0, 0, 60, 1);
    EXPECT_EQ(ReadCellRecord(back, in, RecordVersion), TRecordResult::Ok);
}

TEST_F(CustomCellTest, PrototypesForOneToTwentyInputsAndOutputs) {
    ScopedPrototypes prototypes;
    TCellaCustom small(nullptr, 0, 0, 0, 0, 1, 1), large(nullptr, 0, 0, 0, 0, 20, 20),
        wide(nullptr, 0, 0, 0, 0, 3, 4);
    TCellaCustom none(nullptr, 0, 0, 0, 0, 0, 1), tooMany(nullptr, 0, 0, 0, 0, 21, 1);
    EXPECT_NE(small.GetPrototype(), nullptr);
    EXPECT_NE(large.GetPrototype(), nullptr);
    EXPECT_NE(wide.GetPrototype(), small.GetPrototype());
    EXPECT_EQ(wide.GetPrototype()->NumInputs, 3);
    EXPECT_EQ(wide.GetPrototype()->NumTapOutputs, 4);
    EXPECT_EQ(none.GetPrototype(), nullptr);
    EXPECT_EQ(tooMany.GetPrototype(), nullptr);
}

TEST_F(CustomCellTest, MappingSkipsCodesThatNameNoPort) {
    auto cell = MakeCustomCell(nullptr, 0, 0, 2, 2,
                               Structure({{EntryAnchor("2"), 0, 0},
                                          {EntryAnchor("0"), 1, 0},
                                          {EntryAnchor("abc"), 2, 0},
                                          {EntryAnchor("3"), 3, 0},
                                          {ExitAnchor("1"), 0, 5},
                                          {ExitAnchor("9"), 1, 5},
                                          {ExitAnchor(""), 2, 5}}));
    EXPECT_EQ(cell->InputAnchors[0], nullptr);
    EXPECT_EQ(cell->InputAnchors[1], cell->Structure->CellAt(0, 0));
    EXPECT_EQ(cell->OutputAnchors[0], cell->Structure->CellAt(0, 5));
    EXPECT_EQ(cell->OutputAnchors[1], nullptr);
}

// Each case with every message it sends, in order, behind the prefix.
TEST_F(CustomCellTest, ValidationMessages) {
    struct Case {
        const char* what;
        int32_t inputs, outputs;
        std::vector<TPezzoStruttura> parts;
        std::vector<std::string> messages;
    };
    std::vector<Case> cases;
    cases.push_back({"entry anchor 0",
                     1,
                     1,
                     Structure({{EntryAnchor("0"), 0, 0}, {ExitAnchor("1"), 0, 1}}),
                     {UnknownInput, InputUnhandled, OutputUnhandled}});
    cases.push_back({"two entry anchors 1",
                     1,
                     1,
                     Structure({{EntryAnchor("1"), 0, 0},
                                {ExitAnchor("1"), 0, 1},
                                {EntryAnchor("1"), 2, 0},
                                {Termination(), 2, 1}}),
                     {SameInput, InputUnhandled, OutputUnhandled}});
    cases.push_back({"exit anchor 3 of two outputs",
                     1,
                     2,
                     SplitterInside("1", ExitAnchor("1", 3), ExitAnchor("3", 1)),
                     {UnknownOutput, InputUnhandled, OutputUnhandled}});
    cases.push_back({"two exit anchors 2",
                     1,
                     2,
                     SplitterInside("1", ExitAnchor("2", 3), ExitAnchor("2", 1)),
                     {SameOutput, InputUnhandled, OutputUnhandled}});
    cases.push_back({"input 2 without anchor",
                     2,
                     1,
                     Structure({{EntryAnchor("1"), 0, 0}, {ExitAnchor("1"), 0, 1}}),
                     {InputUnhandled, OutputUnhandled}});
    cases.push_back({"output 1 without anchor",
                     1,
                     2,
                     SplitterInside("1", ExitAnchor("2", 3), Termination(1)),
                     {OutputUnhandled}});
    cases.push_back({"end outlet on a splitter",
                     1,
                     1,
                     SplitterInside("1", ExitAnchor("1", 3), EndOutlet()),
                     {CircuitFaults}});
    cases.push_back({"undescribed tap",
                     1,
                     1,
                     Structure({{EntryAnchor("1"), 0, 0},
                                {Tap(false), 0, 1},
                                {Termination(), 0, 2},
                                {ExitAnchor("1", 3), 1, 1}}),
                     {Undescribed}});
    cases.push_back({"sound", 1, 2, SplitterInside("1", ExitAnchor("1", 3), ExitAnchor("2", 1)), {}});
    for (Case& c : cases) {
        messages.Items->Clear();
        auto cell = MakeCustomCell(nullptr, 0, 0, c.inputs, c.outputs, std::move(c.parts));
        std::vector<std::string> expected;
        for (const std::string& m : c.messages) expected.push_back("P: " + m);
        EXPECT_EQ(cell->CheckData("P: "), c.messages.empty()) << c.what;
        EXPECT_EQ(Messages(), expected) << c.what;
    }
}

// A footprint of 2 x 2 squares at (10, 10): input 1 on the top edge of
// square (0, 0), input 2 on the left edge of square (0, 1), the output
// leaving right from square (1, 1).
TEST_F(CustomCellTest, FootprintAndPortsInEveryTurnAndMirror) {
    struct Side {
        int32_t column, row, side;
        bool operator==(const Side&) const = default;
    };
    struct Case {
        int32_t turn, mirrored;
        TCellRect rect;
        Side input1, input2,
            output;  // inputs: square and the side waited on; output: square reached and side entered
    };
    // clang-format off
    const Case cases[] = {
        {0, 0, {10, 10, 11, 11}, {10, 10, 0}, {10, 11, 3}, {12, 11, 3}},
        {1, 0, {10, 9, 11, 10}, {10, 10, 1}, {9, 10, 0}, {9, 12, 0}},
        {2, 0, {9, 9, 10, 10}, {10, 10, 2}, {10, 9, 1}, {8, 9, 1}},
        {3, 0, {9, 10, 10, 11}, {10, 10, 3}, {11, 10, 2}, {11, 8, 2}},
        {0, 1, {10, 9, 11, 10}, {10, 10, 0}, {10, 11, 1}, {8, 11, 1}},
        {1, 1, {9, 9, 10, 10}, {10, 10, 1}, {9, 10, 2}, {9, 8, 2}},
        {2, 1, {9, 10, 10, 11}, {10, 10, 2}, {10, 9, 3}, {12, 9, 3}},
        {3, 1, {10, 10, 11, 11}, {10, 10, 3}, {11, 10, 0}, {11, 12, 0}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "turn " << c.turn << " mirrored " << c.mirrored);
        TGridData grid(nullptr, 30, 30, GridNetwork);
        TCellaCustom cell(&grid, c.turn, c.mirrored, 10, 10, 2, 1);
        cell.SetFootprint(2, 2);
        cell.InputPoints = {{0, 0, 0}, {0, 1, 3}};
        cell.OutputPoints = {{1, 1, 3}};
        cell.AllocLinks();
        EXPECT_EQ(cell.GetGridRect(), c.rect);
        grid.BeginAnalysis();
        TQNextCell queue;
        EXPECT_TRUE(cell.PlaceOnGrid(TNextCell{}, queue));
        std::set<std::pair<int32_t, int32_t>> visited, expected;
        std::vector<Side> waiting;
        for (int32_t col = 0; col < grid.Columns; ++col)
            for (int32_t row = 0; row < grid.Rows; ++row) {
                const TSquareAnalysis* square = grid.AnalysisAt(col, row);
                if (square->Visited) visited.insert({col, row});
                for (int32_t side = 0; side < 4; ++side)
                    if (square->Waiting[side]) waiting.push_back({col, row, side});
            }
        for (int32_t col = c.rect.Left; col <= c.rect.Right; ++col)
            for (int32_t row = c.rect.Top; row <= c.rect.Bottom; ++row) expected.insert({col, row});
        EXPECT_EQ(visited, expected);
        ASSERT_EQ(waiting.size(), 2u);
        EXPECT_NE(std::find(waiting.begin(), waiting.end(), c.input1), waiting.end());
        EXPECT_NE(std::find(waiting.begin(), waiting.end(), c.input2), waiting.end());
        EXPECT_EQ(grid.AnalysisAt(c.input1.column, c.input1.row)->InputIndex[c.input1.side], 0);
        EXPECT_EQ(grid.AnalysisAt(c.input2.column, c.input2.row)->InputIndex[c.input2.side], 1);
        TNextCell record;
        ASSERT_TRUE(queue.Pop(record));
        EXPECT_EQ((Side{record.Column, record.Row, record.Side}), c.output);
        EXPECT_EQ(record.Port, 0);
        EXPECT_TRUE(queue.Empty());
        grid.EndAnalysis();
    }
}

// The port points the custom-component editor stores for anchors standing on
// the border of its symbol grid (the symbol plus a border of one square):
// on the left border (0, row - 1, 3), on the right border (column - 2,
// row - 1, 1), on the top border (column - 1, 0, 0), on the bottom border
// (column - 1, row - 2, 2); an exit stores (border + 2) mod 4 as its side.
TPuntoPorta StoredByEditor(bool exit, int32_t column, int32_t row, int32_t editorColumns) {
    TPuntoPorta p;
    int32_t border = 0;
    if (column == 0) {
        p = {0, row - 1, 0};
        border = 3;
    } else if (column == editorColumns - 1) {
        p = {column - 2, row - 1, 0};
        border = 1;
    } else if (row == 0) {
        p = {column - 1, 0, 0};
        border = 0;
    } else {
        p = {column - 1, row - 2, 0};
        border = 2;
    }
    p.Side = static_cast<uint8_t>(exit ? (border + 2) % 4 : border);
    return p;
}

TEST_F(CustomCellTest, PortsOnEveryBorderOfTheSymbolPlaceAndLinkOnThatBorder) {
    // A symbol of 3 x 2 squares at (10, 10); its editor grid is 5 x 4. One
    // input and one output on each border: left (0, 1) and (0, 2), right
    // (4, 1) and (4, 2), top (1, 0) and (3, 0), bottom (1, 3) and (3, 3).
    struct Port {
        int32_t editorColumn, editorRow;
        int32_t column, row,
            side;  // inputs: square and side waited on; outputs: square reached and side entered
    };
    const Port inputs[] = {{0, 1, 10, 10, 3}, {4, 1, 12, 10, 1}, {1, 0, 10, 10, 0}, {1, 3, 10, 11, 2}};
    const Port outputs[] = {{0, 2, 9, 11, 1}, {4, 2, 13, 11, 3}, {3, 0, 12, 9, 2}, {3, 3, 12, 12, 0}};
    TGridData grid(nullptr, 30, 30, GridNetwork);
    TCellaCustom cell(&grid, 0, 0, 10, 10, 4, 4);
    cell.SetFootprint(3, 2);
    cell.InputPoints.clear();
    cell.OutputPoints.clear();
    for (const Port& p : inputs)
        cell.InputPoints.push_back(StoredByEditor(false, p.editorColumn, p.editorRow, 5));
    for (const Port& p : outputs)
        cell.OutputPoints.push_back(StoredByEditor(true, p.editorColumn, p.editorRow, 5));
    cell.AllocLinks();
    grid.BeginAnalysis();
    TQNextCell queue;
    cell.PlaceOnGrid(TNextCell{}, queue);
    for (int32_t i = 0; i < 4; ++i) {
        const Port& p = inputs[i];
        const TSquareAnalysis* square = grid.AnalysisAt(p.column, p.row);
        EXPECT_TRUE(square->Waiting[p.side]) << "input " << i;
        EXPECT_EQ(square->InputIndex[p.side], i) << "input " << i;
    }
    for (int32_t j = 0; j < 4; ++j) {
        TNextCell record;
        ASSERT_TRUE(queue.Pop(record));
        const Port& p = outputs[j];
        EXPECT_EQ(record.Port, j);
        EXPECT_EQ(record.Column, p.column) << "output " << j;
        EXPECT_EQ(record.Row, p.row) << "output " << j;
        EXPECT_EQ(record.Side, p.side) << "output " << j;
    }
    grid.EndAnalysis();
}

// In every turn and mirror each port's stub ends on the square edge the
// placement puts the port on.
TEST_F(CustomCellTest, EveryStubEndsOnItsPortsEdgeInEveryTurnAndMirror) {
    for (int32_t state = 0; state < 8; ++state) {
        const int32_t turn = state % 4, mirrored = state / 4;
        TGridData grid(nullptr, 20, 20, GridNetwork);
        TCellaCustom cell(&grid, turn, mirrored, 8, 8, 3, 3);
        cell.SetFootprint(3, 2);
        cell.InputPoints = {{0, 0, 0}, {2, 1, 1}, {1, 1, 2}};
        cell.OutputPoints = {{0, 1, 1}, {2, 0, 2}, {1, 0, 0}};
        const std::vector<TPoint> edges = PortEdgePixels(cell);
        const std::vector<TPoint> ends = StrokeEndPixels(cell);
        ASSERT_EQ(edges.size(), 6u);
        for (const TPoint& edge : edges)
            EXPECT_NE(std::find(ends.begin(), ends.end(), edge), ends.end())
                << "turn " << turn << " mirrored " << mirrored << " edge " << edge.x << "," << edge.y;
    }
}

TEST_F(CustomCellTest, PortNamesUnderThePointer) {
    auto cell = MakeCustomSplitter(nullptr, 4, 4);
    struct Case {
        int32_t column, row;
        const char* name;
        int32_t input, tap;
    };
    const Case cases[] = {
        {4, 4, "ingresso", 0, -1},
        {4, 5, "uscita 1", -1, 0},
        {5, 5, "uscita 2", -1, 1},
        {5, 4, "", -1, -1},
    };
    for (const Case& c : cases) {
        TInfoMousePos position;
        position.Column = c.column;
        position.Row = c.row;
        position.OffsetX = position.OffsetY = 21;
        cell->GetPortName(position);
        EXPECT_EQ(position.PortName, c.name);
        EXPECT_EQ(position.Input, c.input);
        EXPECT_EQ(position.TapOutput, c.tap);
        EXPECT_EQ(position.ThroughOutput, -1);
    }
    // The channel report: one list per output, then an empty line.
    cell->SequenceNumber = 3;
    cell->ResetChannelLists();
    TRichEdit report;
    cell->GetPortLevelText(&report);
    ASSERT_EQ(report.Lines->Count(), 3);
    EXPECT_EQ(report.Lines->Strings(0).rfind("N3 uscita 1:", 0), 0u);
    EXPECT_EQ(report.Lines->Strings(1).rfind("N3 uscita 2:", 0), 0u);
    EXPECT_EQ(report.Lines->Strings(2), "");
}

// ---- Record ----

std::string Saved(TCella& cell) {
    TMemoryStream s;
    cell.Save(s, RecordVersion);
    return s.Bytes();
}

std::string BaseRecord(TCella& cell) {
    TMemoryStream s;
    cell.TCella::Save(s, RecordVersion);
    return s.Bytes();
}

TRecordResult ReadBack(const std::string& bytes, std::unique_ptr<TCella>& cell) {
    TMemoryStream s(bytes);
    const int32_t code = ReadI32(s), in = ReadI32(s), through = ReadI32(s), tap = ReadI32(s);
    cell = NewCella(nullptr, code, 0, 0, in, through, tap);
    if (!cell) return TRecordResult::Damaged;
    return ReadCellRecord(*cell, s, RecordVersion);
}

TEST_F(CustomCellTest, RecordWithTheTwoGridSections) {
    auto cell = MakeCustomSplitter(nullptr, 3, 4);
    cell->Code = "CUS1";
    cell->Described = 1;
    const std::string bytes = Saved(*cell);
    const std::string base = BaseRecord(*cell);
    ASSERT_EQ(bytes.compare(0, base.size(), base), 0);
    // After the base record: the points, the drawing section and the head of
    // the structure section as worked out in the fixture; then the records of
    // the structure's cells, column by column, and the section's end tag.
    const std::string head = ReadHexFixture("custom_cell_tail_60000.hex");
    std::string rest;
    for (auto [c, r] : {std::pair{0, 1}, std::pair{1, 0}, std::pair{1, 1}, std::pair{2, 1}})
        rest += Saved(*cell->Structure->CellAt(c, r));
    rest += std::string("\xcd\x00\x00\x00", 4);
    EXPECT_EQ(HexDump(bytes.substr(base.size())), HexDump(head + rest));

    std::unique_ptr<TCella> back;
    ASSERT_EQ(ReadBack(bytes, back), TRecordResult::Ok);
    auto* loaded = dynamic_cast<TCellaCustom*>(back.get());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(Saved(*loaded), bytes);
    EXPECT_EQ(loaded->FootprintColumns, 2);
    EXPECT_EQ(loaded->FootprintRows, 2);
    EXPECT_EQ(loaded->OutputPoints, cell->OutputPoints);
    // The anchors are mapped to the loaded structure's cells.
    EXPECT_EQ(loaded->InputAnchors[0], loaded->Structure->CellAt(1, 0));
    EXPECT_EQ(loaded->OutputAnchors[0], loaded->Structure->CellAt(2, 1));
    EXPECT_EQ(loaded->OutputAnchors[1], loaded->Structure->CellAt(0, 1));
    EXPECT_TRUE(loaded->CheckData("P: "));
}

// A record that holds more than the editor can make, or a point the cell
// cannot stand on, is refused as damaged; a grid section holding it reads
// into an empty grid.
TEST_F(CustomCellTest, DamagedRecordsAreRefused) {
    auto cell = MakeCustomSplitter(nullptr, 0, 0);
    const std::string good = Saved(*cell);
    const size_t base = BaseRecord(*cell).size();
    const size_t points = base, drawing = base + 3 * 9, structure = drawing + 28;
    auto patched = [&](size_t at, const std::string& bytes) {
        std::string out = good;
        out.replace(at, bytes.size(), bytes);
        return out;
    };
    struct Case {
        const char* what;
        std::string bytes;
        TRecordResult result;
    };
    // clang-format off
    const Case cases[] = {
        {"drawing 51 columns wide", patched(drawing + 8, std::string("\x33\x00\x00\x00", 4)), TRecordResult::Damaged},
        {"drawing of no rows", patched(drawing + 12, std::string("\x00\x00\x00\x00", 4)), TRecordResult::Damaged},
        {"structure 101 rows high", patched(structure + 12, std::string("\x65\x00\x00\x00", 4)), TRecordResult::Damaged},
        {"drawing section without its tag", patched(drawing, std::string("\xcc", 1)), TRecordResult::Damaged},
        {"output 2 in column 2 of 2", patched(points + 18, std::string("\x02", 1)), TRecordResult::Damaged},
        {"input on row -1", patched(points + 4, std::string("\xff\xff\xff\xff", 4)), TRecordResult::Damaged},
        {"side byte 4", patched(points + 8, std::string("\x04", 1)), TRecordResult::Damaged},
        {"cut inside the structure", good.substr(0, good.size() - 10), TRecordResult::Truncated},
        {"sound", good, TRecordResult::Ok},
    };
    // clang-format on
    for (const Case& c : cases) {
        std::unique_ptr<TCella> back;
        EXPECT_EQ(ReadBack(c.bytes, back), c.result) << c.what;
        if (c.result != TRecordResult::Damaged) continue;
        // In a grid section after a filter: the section is refused whole.
        TGridData grid(nullptr, 20, 20, GridNetwork);
        TFiltroS filter(nullptr, 0, 0, 3, 3);
        TMemoryStream section;
        WriteI32(section, 206);
        WriteI32(section, 206);
        filter.Save(section, RecordVersion);
        section.WriteBuffer(c.bytes.data(), static_cast<int>(c.bytes.size()));
        WriteI32(section, 205);
        section.Seek(0, soFromBeginning);
        AnsiString problem;
        EXPECT_FALSE(grid.Load(section, RecordVersion, &problem)) << c.what;
        EXPECT_EQ(problem, "I dati di un componente dello schema sono danneggiati.") << c.what;
        EXPECT_FALSE(grid.HasComponents()) << c.what;
    }
}

TEST_F(CustomCellTest, NestingDeeperThanTheEditorMakesIsRefused) {
    // A custom component whose structure holds a custom component, and so on.
    std::unique_ptr<TCellaCustom> inner = MakeCustomCell(nullptr, 0, 0, 1, 1, {});
    for (int depth = 2; depth <= 12; ++depth) {
        auto outer = MakeCustomCell(nullptr, 0, 0, 1, 1, {});
        GridOf(outer->Structure).InsertCell(std::move(inner), false, 0);
        inner = std::move(outer);
        std::unique_ptr<TCella> back;
        EXPECT_EQ(ReadBack(Saved(*inner), back), depth <= 8 ? TRecordResult::Ok : TRecordResult::Damaged)
            << depth;
    }
}

// ---- Copying and editing ----

TEST_F(CustomCellTest, CloneCopiesBothGridsFootprintAndPoints) {
    auto cell = MakeCustomSplitter(nullptr, 0, 0);
    cell->SetFootprint(3, 2);
    cell->OutputPoints[1] = {2, 1, 3};
    GridOf(cell->Drawing).InsertCell(std::make_unique<TAncoraI>(cell->Drawing.get(), 0, 0, 1, 0), false, 0);
    cell->Description = "Ripartitore";
    std::unique_ptr<TCella> made(cell->Clone());
    auto* copy = dynamic_cast<TCellaCustom*>(made.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Description, "Ripartitore");
    EXPECT_EQ(copy->FootprintColumns, 3);
    EXPECT_EQ(copy->Drawing->Columns, 3);
    EXPECT_EQ(copy->OutputPoints, cell->OutputPoints);
    EXPECT_EQ(copy->InputPoints, cell->InputPoints);
    EXPECT_NE(copy->Drawing->CellAt(1, 0), nullptr);
    EXPECT_EQ(Saved(*copy), Saved(*cell));
    // The copy's anchors are its own structure's cells.
    EXPECT_EQ(copy->InputAnchors[0], copy->Structure->CellAt(1, 0));
    EXPECT_NE(copy->InputAnchors[0], cell->InputAnchors[0]);
    // Changing the copy's structure leaves the original's alone.
    GridOf(copy->Structure).RemoveCell(copy->Structure->CellAt(1, 1), false, 0);
    copy->MapAnchors();
    EXPECT_NE(cell->Structure->CellAt(1, 1), nullptr);
    EXPECT_TRUE(cell->CheckData("P: "));
    EXPECT_FALSE(copy->CheckData("P: "));
}

class CustomEditTest : public CustomCellTest {
protected:
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    ScopedComponentDialog dialog;
    TGridData network{nullptr, 30, 30, GridNetwork};

    template <typename F>
    void Answer(F person) {
        Application->Script().AnswerShowModal<TDatiComponenti>(person);
    }
};

TEST_F(CustomEditTest, AnUndescribedCellOpensWithItsOwnDataAndOkStoresItsClone) {
    auto owned = MakeCustomSplitter(&network, 4, 4);
    TCellaCustom* cell = owned.get();
    ASSERT_TRUE(network.InsertCell(std::move(owned), false, 0));
    TCella* prototype = cell->GetPrototype();
    ASSERT_NE(prototype, nullptr);
    prototype->Description = "Dal prototipo";
    prototype->Described = 1;
    cell->Description = "Mio";
    Answer([&](TDatiComponenti& f) {
        EXPECT_EQ(f.EditDescrizione->Text.Get(), "Mio");
        EXPECT_TRUE(f.GroupStruttura->Visible);
        EXPECT_FALSE(f.GroupSegnali->Visible);
        auto* edited = dynamic_cast<TCellaCustom*>(f.EditedCell);
        ASSERT_NE(edited, nullptr);
        EXPECT_NE(edited, cell);
        // What the structure editor would change in the clone.
        edited->Structure->CellAt(1, 1)->Attenuation->Set3(0, TapDecouplingColumn, 3, 30.0f);
        f.EditDescrizione->Text = "Nuovo";
        f.ButtonOk->Click();
    });
    EXPECT_TRUE(cell->OpenDataDialog());
    EXPECT_EQ(cell->Described, 1);
    EXPECT_EQ(cell->Description, "Nuovo");
    EXPECT_EQ(prototype->Description, "Dal prototipo");
    // The structure is the clone's, and the anchors name its cells.
    EXPECT_EQ(cell->Structure->CellAt(1, 1)->Attenuation->Get3(0, TapDecouplingColumn, 3), 30.0f);
    EXPECT_EQ(cell->InputAnchors[0], cell->Structure->CellAt(1, 0));
    EXPECT_EQ(cell->OutputAnchors[1], cell->Structure->CellAt(0, 1));
}

TEST_F(CustomEditTest, AStructureThatFailsItsChecksKeepsTheFormOpen) {
    auto owned =
        MakeCustomCell(&network, 4, 4, 1, 1, Structure({{EntryAnchor("1"), 0, 0}, {ExitAnchor("2"), 0, 1}}));
    TCellaCustom* cell = owned.get();
    ASSERT_TRUE(network.InsertCell(std::move(owned), false, 0));
    Answer([&](TDatiComponenti& f) {
        f.EditDescrizione->Text = "Rifiutato";
        f.ButtonOk->Click();
        EXPECT_EQ(f.ModalResult.Get(), mrNone);
        f.ButtonAnnulla->Click();
    });
    EXPECT_FALSE(cell->OpenDataDialog());
    EXPECT_NE(cell->Description, "Rifiutato");
    ASSERT_FALSE(Application->Script().MessageBoxes.empty());
    EXPECT_NE(Application->Script().MessageBoxes[0].Text.find(UnknownOutput), std::string::npos);
}

// The editor of the structure and the symbol may change the footprint: the
// cell takes it when it fits where the cell stands, and keeps its old data
// and squares, with a message, when it does not.
TEST_F(CustomEditTest, ANewFootprintMustFitWhereTheCellStands) {
    struct Case {
        const char* what;
        int32_t blockerColumn;  // a cell standing below the third column of the footprint, or -1
        int32_t cellColumn, cellRow, turn;
        int32_t columns, rows;  // the new footprint
        bool taken;
    };
    // clang-format off
    const Case cases[] = {
        {"free", -1, 4, 4, 0, 3, 2, true},
        {"covers another cell", 6, 4, 4, 0, 3, 2, false},
        {"leaves the grid", -1, 28, 4, 0, 3, 2, false},
        {"reaches the network grid's row 0", -1, 4, 2, 2, 2, 3, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        network.Clear();
        Application->Script().MessageBoxes.clear();
        auto owned = MakeCustomSplitter(&network, c.cellColumn, c.cellRow, c.turn);
        TCellaCustom* cell = owned.get();
        ASSERT_TRUE(network.InsertCell(std::move(owned), false, 0)) << c.what;
        const TCellRect before = cell->GetGridRect();
        TCella* blocker = nullptr;
        if (c.blockerColumn >= 0) {
            auto blockerOwned = std::make_unique<TFiltroS>(&network, 0, 0, c.blockerColumn, c.cellRow + 1);
            blocker = blockerOwned.get();
            network.InsertCell(std::move(blockerOwned), false, 0);
        }
        Answer([&](TDatiComponenti& f) {
            dynamic_cast<TCellaCustom*>(f.EditedCell)->SetFootprint(c.columns, c.rows);
            f.EditDescrizione->Text = "Largo";
            f.ButtonOk->Click();
        });
        EXPECT_EQ(cell->OpenDataDialog(), c.taken) << c.what;
        EXPECT_EQ(cell->FootprintColumns, c.taken ? c.columns : 2) << c.what;
        EXPECT_EQ(cell->FootprintRows, c.taken ? c.rows : 2) << c.what;
        EXPECT_EQ(cell->Description == "Largo", c.taken) << c.what;
        // The cell stands on the squares of its footprint and on no other.
        const TCellRect now = cell->GetGridRect();
        EXPECT_EQ(now == before, !c.taken) << c.what;
        for (int32_t col = 0; col < network.Columns; ++col)
            for (int32_t row = 0; row < network.Rows; ++row) {
                const bool inside =
                    col >= now.Left && col <= now.Right && row >= now.Top && row <= now.Bottom;
                EXPECT_EQ(network.CellAt(col, row) == cell, inside)
                    << c.what << " square " << col << ", " << row;
            }
        if (blocker) {
            EXPECT_EQ(network.CellAt(c.blockerColumn, c.cellRow + 1), blocker) << c.what;
        }
        EXPECT_EQ(Application->Script().MessageBoxes.size(), c.taken ? 0u : 1u) << c.what;
    }
}

// ---- Loss tables ----

// A cell that counts the adjustments of its loss tables.
class TContaTabelle : public TCellaProva {
public:
    TContaTabelle(int32_t through) : TCellaProva(nullptr, 0, 0, 1, through) {}
    void AdjustLossTables() override { ++adjusted; }
    int adjusted = 0;
};

TEST_F(CustomCellTest, EveryInnerCellAdjustsItsLossTablesOnce) {
    auto ownedWide = std::make_unique<TContaTabelle>(3);  // three squares
    auto ownedNarrow = std::make_unique<TContaTabelle>(1);
    // An amplifier of code 22 drops its positive gain regulation.
    auto ownedAmplifier = std::make_unique<TAmplificatore>(nullptr, 0, 0, 0, 0, 22, 1, 1);
    auto* wide = ownedWide.get();
    auto* narrow = ownedNarrow.get();
    auto* amplifier = ownedAmplifier.get();
    amplifier->Attenuation->Set3(0, AmpRegulation, 4, 3.0f);
    amplifier->Attenuation->Set3(0, AmpRegulation, 5, -2.0f);
    auto cell = MakeCustomCell(nullptr, 0, 0, 1, 1,
                               Structure({{std::move(ownedWide), 2, 2},
                                          {std::move(ownedNarrow), 7, 7},
                                          {std::move(ownedAmplifier), 10, 10}}));
    ASSERT_EQ(cell->Structure->CellAt(4, 2), wide);
    ASSERT_EQ(cell->Structure->CellAt(10, 10), amplifier);
    cell->AdjustLossTables();
    EXPECT_EQ(wide->adjusted, 1);
    EXPECT_EQ(narrow->adjusted, 1);
    EXPECT_EQ(amplifier->Attenuation->Get3(0, AmpRegulation, 4), 0.0f);
    EXPECT_EQ(amplifier->Attenuation->Get3(0, AmpRegulation, 5), -2.0f);
}

// ---- Symbol ----

struct Recorder {
    TRecordingEngine engine;
    TCanvas canvas{&engine};
};

TEST_F(CustomCellTest, SymbolStubsThenTheDrawingGridInTheFootprint) {
    TGridData grid(nullptr, 20, 20, GridNetwork);
    auto cell = MakeCustomSplitter(&grid, 2, 2);  // input on top of (0, 0), outputs below (0, 1) and (1, 1)
    cell->OutputPoints[1] = {1, 1, 3};            // the second output leaves right
    auto signOwned = std::make_unique<TAncoraI>(cell->Drawing.get(), 0, 0, 1, 0);
    auto* sign = signOwned.get();
    GridOf(cell->Drawing).InsertCell(std::move(signOwned), false, 0);

    // Not shown in a window: the stubs alone. Zoom 21: one pixel per unit.
    Recorder alone;
    cell->DrawSymbol(&alone.canvas, 2, 2, 42, 42, 21);
    using Line = std::vector<TPoint>;
    const std::vector<Line> stubs = {{{52, 42}, {52, 47}}, {{52, 83}, {52, 78}}, {{83, 73}, {78, 73}}};
    std::vector<Line> lines;
    for (const TPaintCall& call : alone.engine.CallsOf(TPaintOp::Line)) lines.push_back(call.Points);
    EXPECT_EQ(lines, stubs);
    EXPECT_TRUE(alone.engine.CallsOf(TPaintOp::Polyline).empty());

    // Shown: painting its lower-right square at zoom 42 draws the drawing
    // grid's cell at the footprint's origin plus its column times the zoom.
    RecordingGridWindow window;
    grid.Window = &window;
    Recorder shown, expected;
    cell->DrawSymbol(&shown.canvas, 3, 3, 3 * 42, 3 * 42, 42);
    sign->DrawSymbol(&expected.canvas, 1, 0, 2 * 42 + 42, 2 * 42, 42);
    const std::vector<TPaintCall>& calls = shown.engine.Calls;
    ASSERT_EQ(calls.size(), 3 + expected.engine.Calls.size());
    for (size_t k = 0; k < expected.engine.Calls.size(); ++k)
        EXPECT_EQ(calls[3 + k].Describe(), expected.engine.Calls[k].Describe()) << k;
    EXPECT_EQ(cell->Drawing->Window, nullptr);
    grid.Window = nullptr;
}

}  // namespace
