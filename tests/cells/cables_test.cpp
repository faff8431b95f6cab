// Cable segments: data, record, walks along a run, placement, passes and the
// designer's passes.
#include "cells/cables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <typeinfo>

#include "cells/factory.h"
#include "cells/outlets.h"
#include "cells/prototypes.h"
#include "cells/record.h"
#include "core/band_systems.h"
#include "core/channel_list.h"
#include "core/globals.h"
#include "core/reporter.h"
#include "document/grid.h"
#include "platform/controls.h"
#include "support/globals_fixture.h"
#include "support/line_cells.h"
#include "support/record_bytes.h"
#include "support/test_cells.h"

namespace {

const AnsiString Prefix = "Dati componente errati a causa del seguante problema: ";

void SetLoss(TNCavo& cable, float lossPer100) {
    for (int32_t b = 0; b < BandSlots; ++b) cable.Attenuation->Set3(0, 0, b, lossPer100);
}

class CablesTest : public GlobalsTest {
protected:
    void SetUp() override { globals.Reporter().SetTarget(&messages); }

    AnsiString Message(int i) const { return messages.Items->Strings(i); }
    int MessageCount() const { return messages.Items->Count(); }

    ScopedPrototypes prototypes;
    TListBox messages;
};

TEST_F(CablesTest, FactoryBuildsSegmentsAndOldCables) {
    struct Case {
        int32_t code;
        const std::type_info& type;
        int32_t storedCode, kind, orientation, inputs, outputs;
    };
    // clang-format off
    const Case cases[] = {
        {80, typeid(TNCavo), 80, 81, 1, 1, 1},
        {81, typeid(TNCavo), 81, 81, 1, 1, 1},
        {17, typeid(TCavo), 17, 17, 0, 2, 2},
        {18, typeid(TCavo), 18, 17, 0, 2, 2},
    };
    // clang-format on
    for (const Case& c : cases) {
        std::unique_ptr<TCella> cell(NewCella(nullptr, c.code, 4, 5, 3, 3, 3));
        ASSERT_NE(cell, nullptr) << c.code;
        const TCella& made = *cell;
        EXPECT_EQ(typeid(made), c.type) << c.code;
        EXPECT_EQ(cell->TypeCode, c.storedCode) << c.code;
        EXPECT_EQ(cell->Kind, c.kind) << c.code;
        EXPECT_EQ(cell->Orientation, c.orientation) << c.code;
        EXPECT_EQ(cell->NumInputs, c.inputs) << c.code;
        EXPECT_EQ(cell->NumThroughOutputs, c.outputs) << c.code;
        EXPECT_EQ(cell->NumTapOutputs, 0) << c.code;
        EXPECT_EQ(cell->Attenuation->Size3(), 4) << c.code;
        EXPECT_EQ(cell->Attenuation->Get3(0, 0, 0), LevelNone) << c.code;
    }
    std::unique_ptr<TCella> bend(NewCella(nullptr, 18, 0, 0, 0, 0, 0));
    EXPECT_EQ(static_cast<TCavo*>(bend.get())->Bend, 1);
}

TEST_F(CablesTest, LossFollowsLengthAndLossPer100) {
    struct Case {
        float lossPer100, length, loss;
    };
    // clang-format off
    const Case cases[] = {
        {20.0f, 10.0f, 2.0f},
        {20.0f, 0.0f, 0.0f},
        {20.0f, CableLengthUncounted, 0.0f},
        {20.0f, CableLengthNone, LevelNone},
        {LevelNone, CableLengthNone, LevelNone},
        {LevelNone, 10.0f, LevelNone},
        {LevelBlocked, 10.0f, LevelBlocked},
        {LevelBlocked, CableLengthUncounted, LevelBlocked},
        {-20.0f, 10.0f, LevelNone},
    };
    // clang-format on
    for (const Case& c : cases) {
        TNCavo cable(nullptr, 1, 0, 0, 0, 0, 0);
        SetLoss(cable, c.lossPer100);
        cable.SetLength(c.length);
        EXPECT_FLOAT_EQ(cable.SegmentLoss(3), c.loss) << c.lossPer100 << " " << c.length;
        EXPECT_FLOAT_EQ(cable.PassAttenuation(), c.length);
    }
}

// source -> cable -> end: the cable's loss lowers the signal and raises the
// requirement, band by band.
TEST_F(CablesTest, LevelPassesApplyTheRunLoss) {
    struct Case {
        float length;
        TFinestra signal, required;
    };
    // clang-format off
    const Case cases[] = {
        {10.0f, {78, 88}, {62, 82}},
        {CableLengthUncounted, {80, 90}, {60, 80}},
        {CableLengthNone, {LevelError, LevelError}, {LevelReqUndefined, LevelReqUndefined}},
    };
    // clang-format on
    for (const Case& c : cases) {
        TSorgenteLinea source;
        TNCavo cable(nullptr, 1, 0, 0, 0, 0, 0);
        TPozzoProva end;
        SetLoss(cable, 20.0f);
        cable.SetLength(c.length);
        JoinCells(source, 0, cable, 0);
        JoinCells(cable, 0, end, 0);
        cable.ComputeSignalLevels(NextPassNumber());
        cable.ComputeRequiredLevels({}, {}, NextPassNumber());
        for (int32_t b : {1, 5, 8}) {
            EXPECT_FLOAT_EQ(cable.OutputLevels[0][static_cast<size_t>(b)].Min, c.signal.Min) << c.length;
            EXPECT_FLOAT_EQ(cable.OutputLevels[0][static_cast<size_t>(b)].Max, c.signal.Max) << c.length;
            EXPECT_FLOAT_EQ(cable.InputLevels[0][static_cast<size_t>(b)].Min, c.required.Min) << c.length;
            EXPECT_FLOAT_EQ(cable.InputLevels[0][static_cast<size_t>(b)].Max, c.required.Max) << c.length;
        }
    }
}

TEST_F(CablesTest, ShortCodesAndNumbering) {
    TContatoriCategoria counters;
    counters.fill(1);
    counters[CableCounter] = 3;
    counters[BridgeCounter] = 7;
    TNCavo cable(nullptr, 1, 0, 0, 0, 0, 0);
    TNCavo uncounted(nullptr, 1, 0, 0, 0, 0, 0);
    uncounted.SetLength(CableLengthUncounted);
    TNCavo bridge(nullptr, 1, 0, 0, 0, 0, 0);
    bridge.TypeCode = CodeBridge;
    cable.TakeSequenceNumber(counters);
    uncounted.TakeSequenceNumber(counters);
    bridge.TakeSequenceNumber(counters);
    EXPECT_EQ(cable.GetShortCode(), "C3");
    EXPECT_EQ(uncounted.GetShortCode(), "*");
    EXPECT_EQ(uncounted.SequenceNumber, 0);
    EXPECT_EQ(bridge.GetShortCode(), "K7");
    EXPECT_EQ(counters[CableCounter], 4);
    EXPECT_EQ(counters[BridgeCounter], 8);
    EXPECT_EQ(cable.GetTypeName(), "Cavo ");
}

TEST_F(CablesTest, TurnsAndMirrors) {
    TNCavo straight(nullptr, 0, 0, 0, 0, 0, 0);
    int32_t seen[3];
    for (int32_t& o : seen) {
        straight.Rotate(1);
        o = straight.Orientation;
    }
    EXPECT_EQ(seen[0], 1);
    EXPECT_EQ(seen[1], 0);
    EXPECT_EQ(seen[2], 1);
    straight.Mirror();
    EXPECT_EQ(straight.Orientation, 1);
    EXPECT_TRUE(straight.CanOverlapCell());

    const int32_t mirrored[4] = {3, 2, 1, 0};
    for (int32_t o = 0; o < 4; ++o) {
        TNCavo bend(nullptr, o, 0, 0, 0, 1, 0);
        EXPECT_FALSE(bend.CanOverlapCell());
        bend.Mirror();
        EXPECT_EQ(bend.Orientation, mirrored[o]);
        EXPECT_EQ(bend.Mirrored, 0);
        bend.Rotate(3);
        EXPECT_EQ(bend.Orientation, (mirrored[o] + 3) % 4);
    }
}

TEST_F(CablesTest, RecordRoundTripsWithBendAndColour) {
    TNCavo cable(nullptr, 2, 0, 6, 7, 1, 0x00C08040);
    cable.TypeCode = CodeBridge;
    SetLoss(cable, 18.5f);
    cable.SetLength(42.0f);
    cable.Code = "KX12";
    cable.Described = 1;
    TMemoryStream first;
    cable.Save(first, 60000);
    const std::string bytes = first.Bytes();
    // The class fields close the record: the bend byte and the colour.
    ASSERT_GE(bytes.size(), 5u);
    EXPECT_EQ(bytes.substr(bytes.size() - 5), std::string("\x01\x40\x80\xC0\x00", 5));

    TMemoryStream in;
    in.WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
    in.SetPosition(RecordHeadBytes);
    std::unique_ptr<TCella> read(NewCella(nullptr, 80, 0, 0, 1, 1, 0));
    ASSERT_NE(read, nullptr);
    read->Load(in, 60000);
    auto* segment = dynamic_cast<TNCavo*>(read.get());
    ASSERT_NE(segment, nullptr);
    EXPECT_EQ(segment->TypeCode, CodeBridge);
    EXPECT_EQ(segment->Bend, 1);
    EXPECT_EQ(segment->Colour, 0x00C08040);
    EXPECT_EQ(segment->Orientation, 2);
    EXPECT_EQ(segment->Column, 6);
    EXPECT_EQ(segment->Row, 7);
    EXPECT_FLOAT_EQ(segment->PassAttenuation(), 42.0f);
    EXPECT_FLOAT_EQ(segment->LossPer100(4), 18.5f);
    EXPECT_EQ(segment->Code, "KX12");
    TMemoryStream again;
    segment->Save(again, 60000);
    EXPECT_EQ(again.Bytes(), bytes);
}

TEST_F(CablesTest, BandSystemConversionLeavesTheLength) {
    TNCavo cable(nullptr, 1, 0, 0, 0, 0, 0);
    float old[BandSlots];
    for (int32_t b = 0; b < BandSlots; ++b) {
        old[b] = 10.0f + static_cast<float>(b);
        cable.Attenuation->Set3(0, 0, b, old[b]);
        cable.Attenuation->Set3(0, 1, b, 100.0f + static_cast<float>(b));
    }
    cable.BandSystem = SistemaBande2;
    cable.SetBandSystem(SistemaBande3);
    float expected[BandSlots];
    std::copy(std::begin(old), std::end(old), expected);
    SistemaBande2->LevelsByBand(*SistemaBande3, expected);
    for (int32_t b = 0; b < BandSlots; ++b) {
        EXPECT_EQ(cable.LossPer100(b), expected[b]) << b;
        EXPECT_EQ(cable.Attenuation->Get3(0, 1, b), 100.0f + static_cast<float>(b)) << b;
    }
    EXPECT_EQ(cable.BandSystem, SistemaBande3);
}

TEST_F(CablesTest, DataCheck) {
    struct Case {
        int32_t code;
        float length, lossPer100;
        bool accepted;
        const char* message;
    };
    // clang-format off
    const Case cases[] = {
        {CodeBridge, CableLengthNone, LevelNone, true, ""},
        {CodeCable, CableLengthUncounted, LevelNone, true, ""},
        {CodeCable, 10.0f, 20.0f, true, ""},
        {CodeCable, 0.0f, 20.0f, true, ""},
        {CodeCable, 10.0f, LevelNone, false, "nessuna banda gestita."},
        {CodeCable, 10.0f, LevelBlocked, false, "* non ammesso."},
        {CodeCable, 10.0f, LevelRepeat, false, "< non ammesso."},
        {CodeCable, CableLengthNone, 20.0f, false, "La lunghezza del cavo non è stata specificata."},
    };
    // clang-format on
    for (const Case& c : cases) {
        messages.Items->Clear();
        TNCavo cable(nullptr, 1, 0, 0, 0, 0, 0);
        cable.TypeCode = c.code;
        SetLoss(cable, c.lossPer100);
        cable.SetLength(c.length);
        EXPECT_EQ(cable.CheckData(Prefix), c.accepted) << c.message;
        if (c.accepted) {
            EXPECT_EQ(MessageCount(), 0);
        } else {
            ASSERT_EQ(MessageCount(), 1) << c.message;
            EXPECT_EQ(Message(0), Prefix + c.message);
        }
    }
}

TEST_F(CablesTest, NeedsNoDescriptionAndAutoChoice) {
    TNCavo cable(nullptr, 1, 0, 0, 0, 0, 0);
    EXPECT_TRUE(cable.NeedsNoDescription());
    EXPECT_TRUE(cable.AllowsAutoChoice());
    cable.RunEnd = 1;
    EXPECT_FALSE(cable.NeedsNoDescription());
    EXPECT_FALSE(cable.AllowsAutoChoice());
    cable.Described = 1;
    EXPECT_TRUE(cable.AllowsAutoChoice());
    cable.TypeCode = CodeBridge;
    EXPECT_TRUE(cable.NeedsNoDescription());
}

// ---- Channel pass ----

class CableChannelsTest : public CablesTest {
protected:
    TCanale* AddChannel(const AnsiString& name, int32_t band, double centre) {
        TCanale channel;
        channel.name = name;
        channel.band = band;
        channel.freqLow = static_cast<float>(centre - 1.0);
        channel.freqHigh = static_cast<float>(centre + 1.0);
        channel.levelMin = 80.0f;
        channel.levelMax = 90.0f;
        return source.SourceChannels->Insert(channel);
    }
    double Reference(int32_t band) const {
        return SistemaBandeCorrente->bands[static_cast<size_t>(band)].reference;
    }
    const TListaCanali& Out() const { return *cable.ChannelLists[0]; }

    void Run() {
        JoinCells(source, 0, cable, 0);
        cable.ComputeChannels(0, 0, NextPassNumber());
    }

    TSorgenteLinea source;
    TNCavo cable{nullptr, 1, 0, 0, 0, 0, 0};
};

TEST_F(CableChannelsTest, LossScaledByTheSquareRootOfTheFrequency) {
    SetLoss(cable, 20.0f);
    cable.SetLength(10.0f);
    AddChannel("ref", 5, Reference(5));
    AddChannel("double", 8, 2.0 * Reference(8));
    Run();
    ASSERT_EQ(Out().Count(), 2);
    EXPECT_EQ(MessageCount(), 0);
    for (const TCanale* ch = Out().head; ch; ch = ch->next) {
        const double factor = ch->name == "ref" ? 1.0 : std::sqrt(2.0);
        EXPECT_NEAR(ch->levelMin, 80.0 - 2.0 * factor, 1e-4) << ch->name;
        EXPECT_NEAR(ch->levelMax, 90.0 - 2.0 * factor, 1e-4) << ch->name;
    }
}

TEST_F(CableChannelsTest, BridgeAndUncountedCablePassChannelsUnchanged) {
    for (int variant = 0; variant < 2; ++variant) {
        TSorgenteLinea src;
        TNCavo c(nullptr, 1, 0, 0, 0, 0, 0);
        SetLoss(c, 20.0f);
        if (variant == 0) {
            c.TypeCode = CodeBridge;
            c.SetLength(10.0f);
        } else {
            c.SetLength(CableLengthUncounted);
        }
        TCanale channel;
        channel.name = "21";
        channel.band = 5;
        channel.freqLow = 470.0f;
        channel.freqHigh = 478.0f;
        channel.levelMin = 70.0f;
        channel.levelMax = 75.0f;
        src.SourceChannels->Insert(channel);
        JoinCells(src, 0, c, 0);
        c.ComputeChannels(0, 0, NextPassNumber());
        ASSERT_EQ(c.ChannelLists[0]->Count(), 1) << variant;
        EXPECT_EQ(c.ChannelLists[0]->head->levelMin, 70.0f);
        EXPECT_EQ(c.ChannelLists[0]->head->levelMax, 75.0f);
    }
}

TEST_F(CableChannelsTest, ChannelsThatCannotPassAreReported) {
    struct Case {
        float length, lossPer100;
        int messages;
        const char* text;
    };
    // clang-format off
    const Case cases[] = {
        {CableLengthNone, 20.0f, 2, ": non è stata specificata la lunghezza del cavo."},
        {10.0f, LevelNone, 2, ": canale A non gestito."},
        {10.0f, LevelBlocked, 0, ""},
    };
    // clang-format on
    for (const Case& c : cases) {
        messages.Items->Clear();
        TSorgenteLinea src;
        TNCavo cab(nullptr, 1, 0, 0, 0, 0, 0);
        cab.SequenceNumber = 4;
        SetLoss(cab, c.lossPer100);
        cab.SetLength(c.length);
        for (const char* name : {"A", "B"}) {
            TCanale channel;
            channel.name = name;
            channel.band = 5;
            channel.freqLow = 470.0f;
            channel.freqHigh = 478.0f;
            src.SourceChannels->Insert(channel);
        }
        JoinCells(src, 0, cab, 0);
        cab.ComputeChannels(0, 0, NextPassNumber());
        EXPECT_EQ(cab.ChannelLists[0]->Count(), 0);
        ASSERT_EQ(MessageCount(), c.messages) << c.text;
        if (c.messages) {
            EXPECT_EQ(Message(0), AnsiString("C4") + c.text);
        }
    }
}

// ---- Separation and the designer's passes ----

TEST_F(CablesTest, SeparationCarriesTheLossBothWays) {
    TPozzoProva up, down;
    // up stands for the upstream component: it only needs an output.
    TNCavo cable(nullptr, 1, 0, 0, 0, 0, 0);
    SetLoss(cable, 20.0f);
    cable.SetLength(10.0f);
    TSorgenteLinea source;
    JoinCells(source, 0, cable, 0);
    JoinCells(cable, 0, down, 0);
    cable.AcceptSeparation(PortInputBase, 5, 30.0f, 100.0f);
    EXPECT_EQ(down.LastPort, PortInputBase);
    EXPECT_FLOAT_EQ(down.LastValue, 32.0f);
    // A value not better than the stored one goes no further.
    down.Calls = 0;
    cable.AcceptSeparation(PortInputBase, 5, 30.0f, 100.0f);
    EXPECT_EQ(down.Calls, 0);
    // At or above the limit nothing is kept.
    cable.AcceptSeparation(PortInputBase, 6, 100.0f, 100.0f);
    EXPECT_EQ(cable.SeparationBest[6], LevelNone);
    // Without a length nothing moves.
    TNCavo open(nullptr, 1, 0, 0, 0, 0, 0);
    SetLoss(open, 20.0f);
    JoinCells(open, 0, up, 0);
    open.AcceptSeparation(PortInputBase, 5, 30.0f, 100.0f);
    EXPECT_EQ(up.Calls, 0);
}

TEST_F(CablesTest, DesignerPassesHandTheTargetLessTheLoss) {
    TNCavo cable(nullptr, 1, 0, 0, 0, 0, 0);
    TPozzoProva end;
    SetLoss(cable, 20.0f);
    cable.SetLength(10.0f);
    JoinCells(cable, 0, end, 0);

    // A segment that is not a run head does nothing but answer.
    EXPECT_TRUE(cable.ChooseModel(nullptr, 0x14, NextPassNumber(), nullptr, 5, 70));
    EXPECT_EQ(end.Calls, 0);

    cable.RunEnd = 1;
    EXPECT_TRUE(cable.ChooseModel(nullptr, 0x14, NextPassNumber(), nullptr, 5, 70));
    EXPECT_EQ(end.LastMode, 0x14);
    EXPECT_EQ(end.LastTarget, 68);
    for (int32_t b = 0; b < BandSlots; ++b) {
        EXPECT_FLOAT_EQ(cable.ReachLevels[0][static_cast<size_t>(b)].Min, 5.0f) << b;
        EXPECT_FLOAT_EQ(cable.ReachLevels[0][static_cast<size_t>(b)].Max, 7.0f) << b;
    }
    end.Answer = false;
    EXPECT_FALSE(cable.ChooseModel(nullptr, 0, NextPassNumber(), nullptr, 5, 70));

    cable.EvaluateModel(nullptr, 0, 80.0f, NextPassNumber(), 5);
    EXPECT_FLOAT_EQ(end.LastValue, 78.0f);
}

// ---- Walks along runs on a grid ----

class CableRunsTest : public CablesTest {
protected:
    TNCavo* Put(int32_t column, int32_t row, int32_t orientation, uint8_t bend, int32_t colour = 0) {
        auto segmentOwned = std::make_unique<TNCavo>(&grid, orientation, 0, column, row, bend, colour);
        auto* segment = segmentOwned.get();
        EXPECT_TRUE(grid.InsertCell(std::move(segmentOwned), false, 0));
        return segment;
    }
    TGridData grid{nullptr, 12, 12, GridNetwork};
};

// A run: (2,2) horizontal, (3,2) horizontal, (4,2) bend down (orientation 0
// joins left and bottom), (4,3) and (4,4) vertical. A vertical run crosses
// (3,2) from (3,1) to (3,3).
TEST_F(CableRunsTest, ColourAndLengthFollowTheRunThroughBendsAndCrossings) {
    TNCavo* a = Put(2, 2, 1, 0);
    TNCavo* b = Put(3, 2, 1, 0);
    TNCavo* c = Put(4, 2, 0, 1);
    TNCavo* d = Put(4, 3, 0, 0);
    TNCavo* e = Put(4, 4, 0, 0);
    TNCavo* v1 = Put(3, 1, 0, 0, 0x11);
    TNCavo* v2 = Put(3, 2, 0, 0, 0x11);
    TNCavo* v3 = Put(3, 3, 0, 0, 0x11);
    ASSERT_EQ(grid.CellAt(3, 2), b);
    ASSERT_EQ(b->Overlay, v2);

    d->MarkCableRun(0x22);
    for (TNCavo* s : {a, b, c, d, e}) EXPECT_EQ(s->Colour, 0x22);
    for (TNCavo* s : {v1, v2, v3}) EXPECT_EQ(s->Colour, 0x11);
    v1->MarkCableRun(0x33);
    for (TNCavo* s : {v1, v2, v3}) EXPECT_EQ(s->Colour, 0x33);
    EXPECT_EQ(b->Colour, 0x22);

    // The length goes to the described segments reached in one direction.
    for (TNCavo* s : {a, b, c, d, e}) s->Described = 1;
    c->Described = 0;
    b->Notify(25.0f, TDirection::Right);
    EXPECT_EQ(a->PassAttenuation(), LevelNone);
    EXPECT_EQ(b->PassAttenuation(), 25.0f);
    EXPECT_EQ(c->PassAttenuation(), LevelNone);
    EXPECT_EQ(d->PassAttenuation(), 25.0f);
    EXPECT_EQ(e->PassAttenuation(), 25.0f);
}

TEST_F(CableRunsTest, RunClosedOnItselfEnds) {
    // A ring of four bends: every walk meets its start again.
    TNCavo* ring[4] = {Put(5, 5, 3, 1), Put(6, 5, 0, 1), Put(6, 6, 1, 1), Put(5, 6, 2, 1)};
    ring[0]->MarkCableRun(0x44);
    for (TNCavo* s : ring) EXPECT_EQ(s->Colour, 0x44);
    EXPECT_EQ(ring[2]->GetRunHead(), nullptr);
}

TEST_F(CableRunsTest, RunHeadAtTheDrawingStepIsTheRunEndSegment) {
    TNCavo* a = Put(2, 2, 1, 0);
    TNCavo* b = Put(3, 2, 1, 0);
    TNCavo* c = Put(4, 2, 0, 1);
    TNCavo* d = Put(4, 3, 0, 0);
    a->RunEnd = 1;
    EXPECT_EQ(d->GetRunHead(), a);
    EXPECT_EQ(b->GetRunHead(), a);
    EXPECT_EQ(a->GetRunHead(), a);
    a->RunEnd = 0;
    EXPECT_EQ(c->GetRunHead(), nullptr);

    // The prototype operations act on the run head.
    a->RunEnd = 1;
    SetLoss(*a, 17.0f);
    a->Described = 1;
    d->StoreAsLastUsed();
    TCella* prototype = FindPrototype({CodeCable, 0, 0, 0});
    ASSERT_NE(prototype, nullptr);
    EXPECT_EQ(prototype->Attenuation->Get3(0, 0, 3), 17.0f);
    SetLoss(*static_cast<TNCavo*>(prototype), 12.0f);
    c->TakeLastUsed();
    EXPECT_EQ(a->LossPer100(3), 12.0f);
    EXPECT_EQ(c->LossPer100(3), LevelNone);
}

// ---- Analysis of drawn runs ----

class CableAnalysisTest : public CableRunsTest {
protected:
    TSorgenteLinea* Source(int32_t column, int32_t row) {
        auto sOwned = std::make_unique<TSorgenteLinea>(&grid, column, row);
        auto* s = sOwned.get();
        EXPECT_TRUE(grid.InsertCell(std::move(sOwned), false, 0));
        return s;
    }
    TPresaD* Outlet(int32_t column, int32_t row, int32_t orientation) {
        auto oOwned = std::make_unique<TPresaD>(&grid, orientation, 0, column, row, CodeEndOutlet, 1);
        auto* o = oOwned.get();
        EXPECT_TRUE(grid.InsertCell(std::move(oOwned), false, 0));
        return o;
    }
};

// Every run ends with exactly one head, taken from its upstream end and moved
// down to the first segment standing alone on its square.
TEST_F(CableAnalysisTest, EveryRunHasOneHeadFromItsUpstreamEnd) {
    // Run 1 from the source at (3,1) down through the crossing at (3,3).
    Source(3, 1);
    TNCavo* v[3] = {Put(3, 2, 0, 0), Put(3, 3, 0, 0), Put(3, 4, 0, 0)};
    TPresaD* first = Outlet(3, 5, 0);
    // Run 2 from the source at (1,3) right across (3,3), then a bend down at (5,3).
    Source(1, 2);
    TNCavo* bendIn = Put(1, 3, 2, 1);  // joins top and right: turns the line to the right
    TNCavo* h[3] = {Put(2, 3, 1, 0), Put(3, 3, 1, 0), Put(4, 3, 1, 0)};
    TNCavo* turn = Put(5, 3, 0, 1);  // left and bottom
    TPresaD* second = Outlet(5, 4, 0);
    ASSERT_EQ(grid.CellAt(3, 3), h[1]);
    ASSERT_EQ(h[1]->Overlay, v[1]);

    ASSERT_TRUE(grid.Analyse(true)) << (GestoreErrori->PendingError() ? GestoreErrori->PendingError()->Kind
                                                                      : 0);
    int heads = 0;
    for (TNCavo* s : {v[0], v[1], v[2]}) heads += s->IsRunHead();
    EXPECT_EQ(heads, 1);
    EXPECT_TRUE(v[0]->IsRunHead());
    heads = 0;
    for (TNCavo* s : {bendIn, h[0], h[1], h[2], turn}) heads += s->IsRunHead();
    EXPECT_EQ(heads, 1);
    EXPECT_TRUE(bendIn->IsRunHead());
    // Each run stands in the graph as its head alone.
    EXPECT_EQ(v[0]->OutputCell[0], first);
    EXPECT_EQ(first->InputCell[0], v[0]);
    EXPECT_EQ(bendIn->OutputCell[0], second);
    EXPECT_EQ(v[2]->InputCell[0], v[0]);
    EXPECT_EQ(turn->InputCell[0], bendIn);
    // The chain holds the heads, not the other segments.
    int inChain = 0;
    for (TCella* cell = grid.Anchor; cell; cell = cell->NextCell)
        if (cell->Kind == KindCableSegment) ++inChain;
    EXPECT_EQ(inChain, 2);
}

// The data of a run live in its head: a described segment further down hands
// them over and forgets its loss and length.
TEST_F(CableAnalysisTest, DescriptionMovesToTheRunHead) {
    Source(3, 1);
    TNCavo* head = Put(3, 2, 0, 0);
    TNCavo* tail = Put(3, 3, 0, 0);
    Outlet(3, 4, 0);
    SetLoss(*tail, 19.0f);
    tail->SetLength(30.0f);
    tail->Code = "CX";
    tail->Described = 1;
    ASSERT_TRUE(grid.Analyse(true));
    ASSERT_TRUE(head->IsRunHead());
    EXPECT_EQ(head->Described, 1);
    EXPECT_EQ(head->LossPer100(6), 19.0f);
    EXPECT_EQ(head->PassAttenuation(), 30.0f);
    EXPECT_EQ(head->Code, "CX");
    EXPECT_EQ(tail->Described, 0);
    EXPECT_EQ(tail->LossPer100(6), LevelNone);
    EXPECT_EQ(tail->PassAttenuation(), LevelNone);
    EXPECT_EQ(tail->Code, "");
}

TEST_F(CableAnalysisTest, RunHeadMovesOffACrossing) {
    // The vertical run starts on the crossing at (3,2); its head goes to the
    // next segment that stands alone on its square.
    TSorgenteLinea* top = Source(3, 1);
    TNCavo* v[3] = {Put(3, 2, 0, 0), Put(3, 3, 0, 0), Put(3, 4, 0, 0)};
    TPresaD* below = Outlet(3, 5, 0);
    Source(1, 1);
    TNCavo* bendIn = Put(1, 2, 2, 1);
    Put(2, 2, 1, 0);
    TNCavo* across = Put(3, 2, 1, 0);
    Put(4, 2, 0, 1);
    Put(4, 3, 0, 0);
    Outlet(4, 4, 0);
    ASSERT_EQ(across->Overlay, v[0]);

    ASSERT_TRUE(grid.Analyse(true));
    EXPECT_FALSE(v[0]->IsRunHead());
    EXPECT_TRUE(v[1]->IsRunHead());
    EXPECT_FALSE(v[2]->IsRunHead());
    EXPECT_TRUE(bendIn->IsRunHead());
    EXPECT_EQ(v[1]->InputCell[0], top);
    EXPECT_EQ(v[1]->OutputCell[0], below);
    EXPECT_EQ(v[0]->InputCell[0], v[1]);
}

}  // namespace
