// Active filters, modulators and converters: what the factory builds, their
// data checks word for word, the form's row maps, the converter's dialog
// read and single square, the modulator's A/V input, prototypes and records
// old and new.
#include "cells/active_filters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <typeinfo>
#include <vector>

#include "cells/cables.h"
#include "cells/factory.h"
#include "cells/pass_links.h"
#include "cells/prototypes.h"
#include "cells/record.h"
#include "core/channel_plans.h"
#include "core/file.h"
#include "core/globals.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/engines.h"
#include "platform/graphics.h"
#include "platform/stdctrls.h"
#include "support/dialog_fixture.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

const AnsiString Prefix = "Dati componente errati a causa del seguante problema: ";

std::unique_ptr<TFiltroAttivo> Make(int32_t code, int32_t inputs = 1, int32_t outputs = 1,
                                    TCellGrid* owner = nullptr, int32_t column = 0, int32_t row = 0) {
    return CellAs<TFiltroAttivo>(NewCella(owner, code, column, row, inputs, outputs, 0));
}

class ActiveFilters : public GlobalsTest {
protected:
    void SetUp() override { globals.Reporter().SetTarget(&messages); }
    AnsiString Check(TCella& cell) {
        messages.Items->Clear();
        const bool ok = cell.CheckData(Prefix);
        EXPECT_EQ(messages.Items->Count(), ok ? 0 : 1);
        return ok ? AnsiString("ok") : messages.Items->Strings(0).substr(Prefix.size());
    }
    TListBox messages;
};

TEST_F(ActiveFilters, EachCodeBuildsItsClassWithItsModuleKind) {
    struct Case {
        int32_t code;
        const std::type_info& type;
        int32_t kind;
        const char* category;
        uint32_t bit;
        const char* typeName;
    };
    // clang-format off
    const Case cases[] = {
        {35, typeid(TFiltroAT), 35, "Filtri attivi", ModuleChannelFilter, "Filtro attivo "},
        {42, typeid(TFiltroCAG), 35, "Filtri attivi", ModuleAutomaticGain, "Filtro attivo CAG "},
        {36, typeid(TModulatore), 36, "Modulatori", ModuleModulator, "Modulatore "},
        {37, typeid(TConvertitore), 37, "Convertitori", ModuleConverter, "Convertitore "},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto cell = Make(c.code);
        ASSERT_NE(cell, nullptr) << c.code;
        const TCella& made = *cell;
        EXPECT_EQ(typeid(made), c.type);
        EXPECT_EQ(cell->TypeCode, c.code);
        EXPECT_EQ(cell->Kind, c.kind);
        EXPECT_EQ(cell->Category, c.category);
        EXPECT_EQ(cell->Module().flags, c.bit);
        EXPECT_EQ(cell->GetTypeName(), c.typeName);
        EXPECT_TRUE(cell->IsAutoMixModule());
        EXPECT_FALSE(cell->Rotate(2));
    }
    // Both active filters count on; the modulator is a source.
    TContatoriCategoria counters;
    counters.fill(1);
    auto a = Make(35), b = Make(42), m = Make(36), v = Make(37);
    for (TCella* cell : {a.get(), b.get(), m.get(), v.get()}) cell->TakeSequenceNumber(counters);
    EXPECT_EQ(a->GetShortCode(), "Fa1");
    EXPECT_EQ(b->GetShortCode(), "Fa2");
    EXPECT_EQ(m->GetShortCode(), "Mo1");
    EXPECT_EQ(v->GetShortCode(), "Cv1");
    EXPECT_TRUE(m->IsSignalStart());
    EXPECT_FALSE(a->IsSignalStart());
}

TEST_F(ActiveFilters, DataChecksWordForWord) {
    using Edit = std::function<void(TModuloFiltro&)>;
    struct Case {
        const char* what;
        int32_t code;
        Edit edit;
        uint32_t kind;
        const char* message;
    };
    auto filled = [](int rows) {
        return [rows](TModuloFiltro& m) {
            for (int r = 0; r < rows; ++r) m.stage->Set2(r, 0, static_cast<float>(r));
            m.slotLow[1] = 470.0f;
            m.slotHigh[1] = 478.0f;
            m.slotLow[2] = 606.0f;
            m.slotHigh[2] = 614.0f;
        };
    };
    auto converter = [&](float inLow, float inHigh, float outLow, float outHigh) {
        return [=](TModuloFiltro& m) {
            filled(5)(m);
            m.slotLow[1] = inLow;
            m.slotHigh[1] = inHigh;
            m.slotLow[2] = outLow;
            m.slotHigh[2] = outHigh;
        };
    };
    // clang-format off
    const Case cases[] = {
        {"filter described", 35, filled(5), 0, "ok"},
        {"filter without row 4", 35, filled(4), 0, "I dati del componente sono incompleti."},
        {"filter with \"*\" in a row", 35,
         [&](TModuloFiltro& m) {
             filled(5)(m);
             m.stage->Set2(2, 0, LevelBlocked);
         },
         0, "ok"},
        {"AGC filter needs row 5", 42, filled(5), 0, "I dati del componente sono incompleti."},
        {"AGC filter described", 42, filled(6), 0, "ok"},
        {"modulator without output channel", 36, [](TModuloFiltro& m) { m.stage->Set2(3, 0, 80.0f); }, 0,
         "I dati del componente sono incompleti."},
        {"modulator, row 0 above row 4", 36,
         [&](TModuloFiltro& m) {
             filled(5)(m);
             m.stage->Set2(0, 0, 12.0f);
             m.stage->Set2(4, 0, 10.0f);
         },
         0, "dati regolazione errati o incoerenti con i livelli massimi."},
        {"modulator, row 0 equal to row 4", 36,
         [&](TModuloFiltro& m) {
             filled(5)(m);
             m.stage->Set2(0, 0, 10.0f);
             m.stage->Set2(4, 0, 10.0f);
         },
         0, "ok"},
        {"converter without edges", 37, converter(470, 478, -1, 614), 0, "I dati del componente sono incompleti."},
        {"converter with an edge reversed", 37, converter(478, 470, 606, 614), 0,
         "Le frequenze dei canali non sono valide."},
        {"equal edges pass", 37, converter(470, 470, 606, 606), 0, "ok"},
        {"0 in satellite", 37, converter(950, 980, 606, 614), 0, "I convertitori canale/canale lavorano solo in terrestre."},
        {"0 at 950 itself", 37, converter(900, 950, 606, 950), 0, "ok"},
        {"1 in terrestrial", 37, converter(470, 478, 950, 980), 1, "I convertitori IF/IF lavorano solo in satellitare."},
        {"1 at 950 itself", 37, converter(950, 980, 950, 980), 1, "ok"},
        {"2 reaching above 950", 37, converter(1000, 1030, 940, 960), 2,
         "I convertitori 4QPSK/64QAM devono avere ingresso satellitare e uscita terrestre."},
        {"3", 37, converter(470, 478, 606, 614), 3,
         "I convertitori 4QPSK/PAL devono avere ingresso satellitare e uscita terrestre."},
        {"4", 37, converter(1000, 1030, 606, 614), 4, "I convertitori COFDM/PAL lavorano solo in terrestre."},
        {"5", 37, converter(470, 478, 606, 614), 5,
         "I convertitori ANALOG/PAL devono avere ingresso satellitare e uscita terrestre."},
        {"6", 37, converter(470, 478, 606, 614), 6,
         "I convertitori DVBS2/COFDM devono avere ingresso satellitare e uscita terrestre."},
        {"7", 37, converter(470, 478, 606, 614), 7,
         "I convertitori DVBS2/QAM devono avere ingresso satellitare e uscita terrestre."},
        {"7 described", 37, converter(1000, 1030, 606, 614), 7, "ok"},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto cell = Make(c.code);
        c.edit(cell->Module());
        cell->Module().flags |= c.kind;
        EXPECT_EQ(Check(*cell), c.message) << c.what;
    }
}

class ActiveFilterDialog : public ActiveFilters {
protected:
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    ScopedComponentDialog dialog;
};

TEST_F(ActiveFilterDialog, TheFormCarriesTheModuleKindAndTextAndABlockShiftKeepsItsWidth) {
    auto cell = Make(37);
    TModuloFiltro& m = cell->Module();
    m.flags |= 2;
    m.slotLabel[2] = "Testo";
    m.slotLow[1] = 1000.0f;
    m.slotHigh[1] = 1030.0f;
    m.slotLow[2] = 1200.0f;
    m.slotHigh[2] = 1210.0f;
    m.slotPlan[2] = CanalizzazioneEuropa;
    m.slotName[2] = "X";
    TDatiComponenti& form = dialog.Get();
    cell->FillDataDialogDefault(&form);
    EXPECT_EQ(form.ComboConversione->ItemIndex, 2);
    EXPECT_EQ(form.EditDescrizioneModulo->Text, "Testo");
    ASSERT_EQ(form.ModuleList.Count(), 1);

    form.ComboConversione->ItemIndex = 1;
    form.EditDescrizioneModulo->Text = "Un testo di oltre venti caratteri";
    form.CheckDigitale->Checked = true;  // "Componente digitale"
    cell->ReadDataDialogDefault(&form);
    TModuloFiltro& read = cell->Module();
    EXPECT_EQ(dynamic_cast<TConvertitore&>(*cell).ConversionKind(), 1);
    EXPECT_EQ(read.slotHigh[2], 1230.0f);
    EXPECT_EQ(read.slotPlan[2], nullptr);
    EXPECT_EQ(read.slotName[2], "");
    EXPECT_EQ(read.slotLabel[2], "Un testo di oltre ve");
    EXPECT_NE(read.flags & ModuleDigital, 0u);

    // Without the input block's edges the output's upper edge is unknown.
    form.ModuleList.head->slotLow[1] = LevelNone;
    cell->ReadDataDialogDefault(&form);
    EXPECT_EQ(cell->Module().slotHigh[2], LevelNone);
}

// ---- Placement ----

class ActiveFilterPlacement : public ActiveFilters {
protected:
    void SetUp() override {
        ActiveFilters::SetUp();
        grid.BeginAnalysis();
    }
    void TearDown() override { grid.EndAnalysis(); }
    TGridData grid{nullptr, 30, 30, GridHeadEnd};
    TQNextCell queue;
};

TEST_F(ActiveFilterPlacement, AConverterOfVariantOneStandsOnOneSquare) {
    auto cell = Make(37, 1, 1, &grid, 10, 5);
    cell->Variant = 1;
    cell->AllocLinks();
    EXPECT_EQ(cell->GetGridRect(), (TCellRect{5, 10, 5, 10}));
    EXPECT_FALSE(cell->IsAutoMixModule());
    ASSERT_TRUE(cell->PlaceOnGrid(TNextCell{}, queue));
    EXPECT_EQ(grid.AnalysisAt(10, 5)->Visited, 1);
    EXPECT_EQ(grid.AnalysisAt(10, 5)->Waiting[0], 1);
    EXPECT_EQ(grid.AnalysisAt(11, 5)->Visited, 0);
    TNextCell next;
    ASSERT_TRUE(queue.Pop(next));
    EXPECT_EQ(next.Port, AutoMixOwnOutput);
    EXPECT_EQ(next.Row, 6);
}

TEST_F(ActiveFilterPlacement, AModulatorTakesItsAVFeedOnlyUnderACableReachingIntoTheBox) {
    struct Case {
        const char* what;
        int32_t orientation;
        uint8_t bend;
        bool waits;
    };
    // clang-format off
    const Case cases[] = {
        {"straight down", 0, 0, true}, {"straight across", 1, 0, false}, {"bend from the left", 0, 1, true},
        {"bend from the right", 3, 1, true}, {"bend going up", 1, 1, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        grid.EndAnalysis();
        grid.Clear();
        grid.BeginAnalysis();
        ASSERT_TRUE(
            grid.InsertCell(std::make_unique<TNCavo>(&grid, c.orientation, 0, 11, 4, c.bend, 0), false, 0))
            << c.what;
        auto cell = Make(36, 0, 1, &grid, 10, 5);
        cell->AllocLinks();
        cell->PlaceOnGrid(TNextCell{}, queue);
        EXPECT_EQ(grid.AnalysisAt(11, 5)->Waiting[0] == 1, c.waits) << c.what;
    }
}

// ---- Prototypes and records ----

TEST_F(ActiveFilters, PrototypesByArrangementInsideTheirTables) {
    ScopedPrototypes prototypes;
    EXPECT_NE(Make(35, 1, 1)->GetPrototype(), nullptr);
    EXPECT_NE(Make(42, 3, 3)->GetPrototype(), nullptr);
    EXPECT_EQ(Make(35, 1, 4)->GetPrototype(), nullptr);  // no alias of another pair
    EXPECT_NE(Make(35, 1, 3)->GetPrototype(), Make(35, 2, 0)->GetPrototype());
    EXPECT_NE(Make(36, 0, 3)->GetPrototype(), nullptr);
    EXPECT_EQ(Make(36, 0, 4)->GetPrototype(), nullptr);
    EXPECT_NE(Make(36, 0, 1)->GetPrototype(), Make(37, 1, 1)->GetPrototype());
}

TEST_F(ActiveFilters, RecordsCarryTheModuleListAndDamagedArrangementsAreRefused) {
    for (int32_t code : {35, 36, 37, 42}) {
        auto cell = Make(code, code == 36 ? 0 : 3, 3);
        cell->Module().slotLow[1] = 470.0f;
        cell->Module().stage->Set2(3, 0, 80.0f);
        cell->Module().flags |= 5;
        const std::string bytes = SavedRecord(*cell);
        auto back = Make(code, code == 36 ? 0 : 3, 3);
        ASSERT_EQ(ReadRecordInto(*back, bytes, 60000), TRecordResult::Ok) << code;
        EXPECT_EQ(back->Module().slotLow[1], 470.0f);
        EXPECT_EQ(back->Module().stage->Get2(3, 0), 80.0f);
        EXPECT_EQ(back->Module().flags, cell->Module().flags);
        EXPECT_EQ(SavedRecord(*back), bytes) << code;
        // The modulator takes its output arrangement only.
        std::unique_ptr<TCella> damaged(NewCella(nullptr, code, 0, 0, 4, code == 36 ? 5 : 3, 0));
        EXPECT_EQ(ReadRecordInto(*damaged, bytes, 60000), TRecordResult::Damaged) << code;
    }
    // A stored converter variant beyond 1 is read as 0.
    auto converter = Make(37);
    converter->Variant = 2;
    auto back = Make(37);
    ASSERT_EQ(ReadRecordInto(*back, SavedRecord(*converter), 60000), TRecordResult::Ok);
    EXPECT_EQ(back->Variant, 0);
}

// A record of versions 20000 to 50000, "Componente digitale" among its
// characteristics; the module's slots follow.
RecordBytes OldRecord(int32_t version, int32_t code, const std::vector<std::vector<float>>& columns) {
    TOldRecordSpec spec;
    spec.Version = version;
    spec.Code = code;
    spec.Inputs = code == 36 ? 0 : 3;
    spec.Through = 3;
    spec.Characteristics = 1;
    spec.Columns = columns;
    return OldCellRecord(spec);
}

std::vector<float> Flat(float v) { return std::vector<float>(BandSlots, v); }

TEST_F(ActiveFilters, OldRecordsGiveTheModuleItsSlotsStageAndKind) {
    // Row 0 of the old table: the stage, and before 40000 the slot edges in bands 6 and 7.
    std::vector<float> edges = Flat(0.0f);
    edges[6] = 470.0f;
    edges[7] = 478.0f;
    const std::vector<std::vector<float>> columns = {edges, Flat(30.0f), Flat(8.0f), Flat(105.0f),
                                                     Flat(0.0f)};
    struct Case {
        int32_t version;
        float low, high;
    };
    for (const Case& c :
         {Case{30000, 470.0f, 478.0f}, Case{40000, 470.0f, -500002.0f}, Case{50000, 470.0f, 478.0f}}) {
        RecordBytes b = OldRecord(c.version, 35, columns);
        for (int i = 0; i < 3; ++i) b.Text(i == 1 ? "21" : "", 21).Text("", 21);  // names and plans
        if (c.version >= 40000)
            for (int i = 0; i < 3; ++i)
                b.F32(i == 1 ? 470.0f : -1.0f).F32(i == 1 ? (c.version < 50000 ? -2.0f : 478.0f) : -1.0f);
        auto cell = Make(35, 3, 3);
        ASSERT_EQ(ReadRecordInto(*cell, b.Bytes(), c.version), TRecordResult::Ok) << c.version;
        const TModuloFiltro& m = cell->Module();
        EXPECT_EQ(m.flags & ModuleChannelFilter, ModuleChannelFilter) << c.version;
        EXPECT_EQ(m.flags & 1u, 1u) << c.version;
        EXPECT_EQ(m.slotName[1], "21") << c.version;
        EXPECT_EQ(m.slotLow[1], c.low) << c.version;
        EXPECT_EQ(m.slotHigh[1], c.high) << c.version;
        EXPECT_EQ(m.stage->Get2(1, 0), 30.0f) << c.version;
        EXPECT_EQ(m.stage->Get2(3, 0), 105.0f) << c.version;
        EXPECT_EQ(cell->Attenuation->Get3(0, 1, 0), LevelNone) << c.version;
        EXPECT_EQ((m.flags & ModuleDigital) != 0, c.version >= 40000) << c.version;
    }
}

TEST_F(ActiveFilters, AnOldModulatorMovesItsChannelToSlotTwoAndItsLevelToRowThree) {
    std::vector<float> edges = Flat(0.0f);
    edges[0] = 606.0f;
    edges[1] = 614.0f;
    const std::vector<std::vector<float>> columns = {edges, Flat(85.0f)};
    RecordBytes b = OldRecord(30000, 36, columns);
    for (int i = 0; i < 3; ++i) b.Text("", 21).Text("", 21);
    auto cell = Make(36, 0, 3);
    ASSERT_EQ(ReadRecordInto(*cell, b.Bytes(), 30000), TRecordResult::Ok);
    const TModuloFiltro& m = cell->Module();
    EXPECT_EQ(m.slotLow[2], 606.0f);
    EXPECT_EQ(m.slotHigh[2], 614.0f);
    EXPECT_EQ(m.slotLow[0], LevelNone);
    EXPECT_EQ(m.stage->Get2(3, 0), 85.0f);
    EXPECT_EQ(m.stage->Get2(0, 0), 0.0f);
    EXPECT_EQ(m.stage->Get2(2, 0), 2.5f);
    EXPECT_EQ(m.flags & ModuleModulator, ModuleModulator);
}

TEST_F(ActiveFilters, AnOldConverterReadsItsKindAndRefusesAnUnknownOne) {
    const std::vector<std::vector<float>> columns = {Flat(0.0f), Flat(20.0f)};
    for (int32_t kind : {5, 9}) {
        RecordBytes b = OldRecord(50000, 37, columns);
        for (int i = 0; i < 3; ++i) b.Text("", 21).Text("", 21);
        for (int i = 0; i < 3; ++i) b.F32(100.0f).F32(110.0f);
        b.I32(kind);
        auto cell = Make(37, 3, 3);
        const TRecordResult result = ReadRecordInto(*cell, b.Bytes(), 50000);
        if (kind == 5) {
            ASSERT_EQ(result, TRecordResult::Ok);
            EXPECT_EQ(dynamic_cast<TConvertitore&>(*cell).ConversionKind(), 5);
        } else {
            EXPECT_NE(result, TRecordResult::Ok);
        }
    }
}

}  // namespace

namespace {

// A module on a common line shows where a jumper or a cable from the row
// above enters and leaves it: a line from the top edge down to the common
// line at the middle of each corner square. At 21 pixels a square, one unit
// is one pixel.
TEST_F(ActiveFilters, ACommonLineModuleShowsItsCornerPortsFromTheTopEdge) {
    for (const int32_t inputs : {AutoMixCommonLine, AutoMixTwoInputs}) {
        auto cell = Make(35, inputs, 3);
        TRecordingEngine engine;
        TCanvas canvas(&engine);
        cell->DrawSymbol(&canvas, 0, 0, 0, 0, 21);
        const int32_t w = 3 * 21 - 1;
        std::vector<std::vector<TPoint>> lines;
        for (const TPaintCall& c : engine.CallsOf(TPaintOp::Line)) lines.push_back(c.Points);
        auto drawn = [&](std::vector<TPoint> line) {
            return std::find(lines.begin(), lines.end(), line) != lines.end();
        };
        const int32_t bottom = inputs == AutoMixCommonLine ? 10 : 5;  // the line, or the box's top
        EXPECT_TRUE(drawn({{10, 0}, {10, bottom}})) << inputs;
        EXPECT_TRUE(drawn({{w - 10, 0}, {w - 10, bottom}})) << inputs;
        EXPECT_EQ(drawn({{0, 10}, {w, 10}}), inputs == AutoMixCommonLine) << inputs;
    }
}

// The symbols' texts on the recording canvas.
TEST_F(ActiveFilters, TheModulatorWritesAVAndTheConverterItsKindsTwoTexts) {
    struct Case {
        int32_t code;
        uint32_t kind;
        std::vector<AnsiString> texts;
    };
    // clang-format off
    const Case cases[] = {
        {36, 0, {"A / V"}}, {37, 1, {"IF", "IF"}}, {37, 2, {"QPSK", "QAM"}}, {37, 3, {"QPS", "PAL"}},
        {37, 4, {"OFD", "PAL"}}, {37, 5, {"AN", "PAL"}},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto cell = Make(c.code, c.code == 36 ? 0 : 1, 1);
        cell->Module().flags |= c.kind;
        TRecordingEngine engine;
        TCanvas canvas(&engine);
        cell->DrawSymbol(&canvas, 0, 0, 0, 0, 21);
        std::vector<AnsiString> texts;
        for (const AnsiString& t : engine.Texts())
            if (!t.empty()) texts.push_back(t);
        EXPECT_EQ(texts, c.texts) << c.code << " kind " << c.kind;
    }
}

}  // namespace

namespace {

// Below 20000 the module's edges stood in the table (slot 1 in bands 6 and 7
// of column 0, slot 2 in those of column 1) and its names were those of the
// Italian plan's rows of the same edges.
TEST_F(ActiveFilters, VeryOldModulesFindTheirNamesByTheirEdges) {
    TProgetto project(nullptr);
    TProgettoInCaricamento loading(&project);
    const TDatiCanalizzazione& row21 = CanalizzazioneItalia->Row(CanalizzazioneItalia->IndexOf("21"));
    struct Case {
        int32_t code;
        float low, high;
        const char* name;
        int32_t kind;
    };
    // clang-format off
    const Case cases[] = {
        {35, row21.lowEdge, row21.highEdge, "21", -1},
        {35, 471.0f, 477.0f, "", -1},
        {37, row21.lowEdge, row21.highEdge, "21", ConvertChannelToChannel},
        {37, 471.0f, 477.0f, "", ConvertBlockShift},
    };
    // clang-format on
    for (const Case& c : cases) {
        std::vector<float> column0(10, 0.0f), column1(10, 30.0f);
        column0[6] = c.low;
        column0[7] = c.high;
        column0[0] = 2.0f;
        auto cell = Make(c.code, 0, 0);
        ASSERT_EQ(ReadRecordInto(*cell, VeryOldCellRecord(10000, 0, 0, {column0, column1}).Bytes(), 10000),
                  TRecordResult::Ok)
            << c.code;
        EXPECT_EQ(cell->Owner, project.HeadEndGrid);
        EXPECT_EQ(cell->InputArrangement(), AutoMixCommonLine);
        EXPECT_EQ(cell->OutputArrangement(), AutoMixOutputOuter);
        const TModuloFiltro& m = cell->Module();
        EXPECT_EQ(m.slotName[1], c.name) << c.code;
        EXPECT_EQ(m.slotPlan[1], *c.name ? CanalizzazioneItalia : nullptr) << c.code;
        EXPECT_EQ(m.slotLow[1], c.low) << c.code;
        EXPECT_EQ(m.slotHigh[1], c.high) << c.code;
        EXPECT_EQ(m.stage->Get2(4, 0), 2.0f) << c.code;  // the old band 0 of column 0 copied
        EXPECT_EQ(m.stage->Get2(1, 3), 30.0f) << c.code;
        // A converter's low flag bits hold its kind; other modules mark the conversion there.
        if (c.kind >= 0)
            EXPECT_EQ(dynamic_cast<TConvertitore&>(*cell).ConversionKind(), c.kind) << c.code;
        else
            EXPECT_EQ(m.flags & 1u, 1u) << c.code;
    }
}

TEST_F(ActiveFilterPlacement, ACommonLineEntersAtTheCornerItCameFrom) {
    struct Case {
        int32_t side;
        int32_t waitColumn, waitSide, linkColumn;
    };
    for (const Case& c : {Case{3, 10, 3, 13}, Case{1, 12, 1, 9}}) {
        grid.EndAnalysis();
        grid.BeginAnalysis();
        auto cell = Make(35, 3, 1, &grid, 10, 5);
        cell->AllocLinks();
        TNextCell record;
        record.Side = static_cast<uint8_t>(c.side);
        cell->PlaceOnGrid(record, queue);
        EXPECT_EQ(grid.AnalysisAt(c.waitColumn, 5)->Waiting[c.waitSide], 1) << c.side;
        EXPECT_EQ(grid.AnalysisAt(c.waitColumn, 5)->InputIndex[c.waitSide], 0) << c.side;
        TNextCell next;
        ASSERT_TRUE(queue.Pop(next));
        EXPECT_EQ(next.Column, c.linkColumn) << c.side;
        EXPECT_EQ(next.Port, AutoMixCommonOutput);
        EXPECT_EQ(next.MayEndOpen, 1);
        while (queue.Pop(next)) {}
    }
    // Arriving from below, the common line's row is left for the line to come.
    grid.EndAnalysis();
    grid.BeginAnalysis();
    auto below = Make(35, 3, 1, &grid, 10, 5);
    below->AllocLinks();
    TNextCell record;
    record.Side = 2;
    below->PlaceOnGrid(record, queue);
    EXPECT_EQ(grid.AnalysisAt(10, 5)->Visited, 0);
    EXPECT_EQ(grid.AnalysisAt(10, 6)->Visited, 1);
}

}  // namespace

namespace {

// A line brought down from above onto a corner of the common line (the
// jumpers over a head-end row) enters there and goes on up from the other.
TEST_F(ActiveFilterPlacement, ACommonLineFromAboveLeavesUpwardsFromTheOtherCorner) {
    for (const auto& [arrives, leaves] : {std::pair{12, 10}, std::pair{10, 12}}) {
        grid.EndAnalysis();
        grid.BeginAnalysis();
        auto cell = Make(35, 3, 1, &grid, 10, 5);
        cell->AllocLinks();
        TNextCell record;
        record.Column = arrives;
        record.Row = 5;
        record.Side = 0;
        cell->PlaceOnGrid(record, queue);
        EXPECT_EQ(grid.AnalysisAt(arrives, 5)->Waiting[0], 1) << arrives;
        EXPECT_EQ(grid.AnalysisAt(arrives, 5)->InputIndex[0], 0) << arrives;
        TNextCell next;
        ASSERT_TRUE(queue.Pop(next));
        EXPECT_EQ(next.Column, leaves);
        EXPECT_EQ(next.Row, 4);
        EXPECT_EQ(next.Port, AutoMixCommonOutput);
        EXPECT_EQ(next.MayEndOpen, 1);
        while (queue.Pop(next)) {}
    }
}

}  // namespace

namespace {

// A framed module joins its common line inside its frame: placed from the
// side with nothing below, it takes its bottom row at once (its own output
// stays unused); with a cell under an outer square the row waits for it.
TEST_F(ActiveFilterPlacement, AFramedModuleTakesItsBottomRowUnlessACellStandsBelow) {
    for (const bool cellBelow : {false, true}) {
        grid.EndAnalysis();
        grid.Clear();
        if (cellBelow) {
            ASSERT_TRUE(
                grid.InsertCell(std::unique_ptr<TCella>(NewCella(&grid, 81, 12, 10, 1, 1, 0)), false, 0));
        }
        grid.BeginAnalysis();
        auto cell = Make(35, 3, 3, &grid, 10, 5);
        cell->Variant = AutoMixFramedVariant;
        cell->AllocLinks();
        TNextCell record;
        record.Side = 3;
        cell->PlaceOnGrid(record, queue);
        for (int32_t column = 10; column <= 12; ++column) {
            EXPECT_EQ(grid.AnalysisAt(column, 5)->Visited, 1) << cellBelow;
            EXPECT_EQ(grid.AnalysisAt(column, 9)->Visited, cellBelow ? 0 : 1) << cellBelow;
        }
        TNextCell next;
        ASSERT_TRUE(queue.Pop(next));
        EXPECT_EQ(next.Port, AutoMixCommonOutput);  // only the line inside the frame leaves
        EXPECT_FALSE(queue.Pop(next));
    }
    // Unframed, the bottom row waits for the line from below as before.
    grid.EndAnalysis();
    grid.Clear();
    grid.BeginAnalysis();
    auto plain = Make(35, 3, 3, &grid, 10, 5);
    plain->AllocLinks();
    TNextCell record;
    record.Side = 3;
    plain->PlaceOnGrid(record, queue);
    EXPECT_EQ(grid.AnalysisAt(10, 9)->Visited, 0);
    TNextCell next;
    while (queue.Pop(next)) {}
}

}  // namespace
