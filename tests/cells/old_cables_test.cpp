// The cable cell of older project files: its records of every version and
// its conversion into cable segments.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "cells/cables.h"
#include "cells/factory.h"
#include "core/band_systems.h"
#include "core/globals.h"
#include "platform/application.h"
#include "support/globals_fixture.h"
#include "support/old_cable_records.h"
#include "support/record_bytes.h"

namespace {

constexpr int32_t Blue = 0xFF0000;
constexpr int32_t Black = 0;

RecordBytes NewerRecord(int32_t version, float firstLength, float secondPrice, const std::string& code) {
    OldCableRecord record;
    record.FirstLength = firstLength;
    record.SecondPrice = secondPrice;
    record.Code = code;
    return record.Body(version);
}

std::unique_ptr<TCavo> Read(int32_t code, const RecordBytes& bytes, int32_t version) {
    std::unique_ptr<TCavo> result = CellAs<TCavo>(NewCella(nullptr, code, 0, 0, 0, 0, 0));
    EXPECT_NE(result, nullptr);
    if (!result) return nullptr;
    TMemoryStream s;
    s.WriteBuffer(bytes.Bytes().data(), static_cast<int>(bytes.Size()));
    s.SetPosition(0);
    result->Load(s, version);
    EXPECT_EQ(s.Position(), s.Size()) << "the whole record is read";
    return result;
}

class OldCablesTest : public GlobalsTest {};

TEST_F(OldCablesTest, Version10000ColoursAndGeometry) {
    struct Case {
        int32_t code;
        uint8_t bend, hasFirst, hasSecond;
        int32_t firstIndex, secondIndex;
        int32_t firstColour, secondColour;
        uint8_t readBend, readFirst, readSecond;
        int32_t orientation, mirrored;
    };
    // clang-format off
    const Case cases[] = {
        // A straight piece ends unturned and unmirrored whatever the file says.
        {17, 0, 0, 1, 3, 12, Blue, Black, 0, 0, 1, 0, 0},
        {17, 0, 1, 1, -4, 1, Black, 0x0000FF, 0, 1, 1, 0, 0},
        // A bend has only its first cable.
        {18, 1, 0, 1, 8, 5, 0x800000, 0x000080, 1, 1, 0, 3, 1},
    };
    // clang-format on
    for (const Case& c : cases) {
        RecordBytes r = OldBaseRecord(10000, 3, 1, 12.5f, 4.0f);
        OldCableFields(r, c.bend, c.hasFirst, c.hasSecond, c.firstIndex, c.secondIndex, "Secondo", 30);
        auto cable = Read(c.code, r, 10000);
        ASSERT_NE(cable, nullptr);
        EXPECT_EQ(cable->FirstColour, c.firstColour) << c.code;
        EXPECT_EQ(cable->SecondColour, c.secondColour) << c.code;
        EXPECT_EQ(cable->Bend, c.readBend);
        EXPECT_EQ(cable->HasFirst, c.readFirst);
        EXPECT_EQ(cable->HasSecond, c.readSecond);
        EXPECT_EQ(cable->Orientation, c.orientation);
        EXPECT_EQ(cable->Mirrored, c.mirrored);
        EXPECT_EQ(cable->SecondDescription, "Secondo");
        EXPECT_EQ(cable->SecondBrand, "Brand2");
        EXPECT_FLOAT_EQ(cable->SecondPrice, 12.5f);
        EXPECT_EQ(cable->SecondInstallMinutes, 30);
        EXPECT_EQ(cable->Description, "Cavo coassiale");
        // The lengths are not band vectors: the band conversion leaves them.
        EXPECT_FLOAT_EQ(cable->Attenuation->Get3(0, 2, 0), 12.5f);
        EXPECT_FLOAT_EQ(cable->Attenuation->Get3(0, 3, 0), 4.0f);
        EXPECT_EQ(cable->BandSystem, SistemaBande3);
    }
}

TEST_F(OldCablesTest, OldTextsKeepToTheirFields) {
    RecordBytes r = OldBaseRecord(10000, 0, 0, 1.0f, 1.0f);
    // A raw field filled to its last byte keeps one character less.
    OldCableFields(r, 0, 1, 1, 0, 0, std::string(30, 'd'), 30);
    auto cable = Read(17, r, 10000);
    ASSERT_NE(cable, nullptr);
    EXPECT_EQ(cable->SecondDescription, std::string(29, 'd'));

    auto newer = Read(17, NewerRecord(40000, 5.0f, 1.0f, std::string(25, 'k')), 40000);
    ASSERT_NE(newer, nullptr);
    EXPECT_EQ(newer->Code, std::string(19, 'k'));
}

// Below version 50000 "no value" was written as a small negative code: both
// cables' prices, minutes, lengths and losses move to the sentinels.
TEST_F(OldCablesTest, OldSentinelsBelow50000) {
    struct Case {
        int32_t version;
        float firstLength, price, secondPrice, loss3;
        int32_t minutes, secondMinutes;
    };
    // clang-format off
    const Case cases[] = {
        {40000, LevelNone, LevelNone, LevelNone, LevelNone, static_cast<int32_t>(LevelNone), -500002},
        {20000, LevelNone, LevelNone, LevelNone, LevelNone, static_cast<int32_t>(LevelNone), -500002},
        {50000, -1.0f, -1.0f, -1.0f, -1.0f, -1, -2},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto cable = Read(17, NewerRecord(c.version, -1.0f, -1.0f, "C1"), c.version);
        ASSERT_NE(cable, nullptr);
        EXPECT_EQ(cable->Attenuation->Get3(0, 2, 0), c.firstLength) << c.version;
        EXPECT_EQ(cable->Price, c.price) << c.version;
        EXPECT_EQ(cable->SecondPrice, c.secondPrice) << c.version;
        EXPECT_EQ(cable->Attenuation->Get3(0, 0, 3), c.loss3) << c.version;
        EXPECT_EQ(cable->InstallMinutes, c.minutes) << c.version;
        EXPECT_EQ(cable->SecondInstallMinutes, c.secondMinutes) << c.version;
        EXPECT_EQ(cable->Attenuation->Get3(0, 3, 0), 7.0f);
    }
}

TEST_F(OldCablesTest, NewerRecordFields) {
    auto cable = Read(17, NewerRecord(40000, 5.0f, 1.0f, "C1"), 40000);
    ASSERT_NE(cable, nullptr);
    EXPECT_EQ(cable->Code, "C1");
    EXPECT_EQ(cable->Series, "S1");
    EXPECT_EQ(cable->Column, 8);
    EXPECT_EQ(cable->Row, 9);
    EXPECT_EQ(cable->Orientation, 0);
    EXPECT_EQ(cable->FirstColour, 0x0000FF);
    EXPECT_EQ(cable->Description, "Primo");
    EXPECT_EQ(cable->SecondDescription, "Secondo");
    EXPECT_EQ(cable->SecondCategory, "Ponti");
    EXPECT_EQ(cable->SecondSeries, "S2");
    EXPECT_EQ(cable->SecondCurrency, 2);
    EXPECT_EQ(cable->SecondInternalNotes, "interne");
    EXPECT_EQ(cable->SecondExternalNotes, "est");
    EXPECT_EQ(cable->SecondChoice1, 1);
    EXPECT_EQ(cable->SecondChoice2, 2);
    EXPECT_EQ(cable->SecondChoice3, 0);
    EXPECT_EQ(cable->SecondBandSystem, SistemaBande3);
    EXPECT_FLOAT_EQ(cable->Attenuation->Get3(0, 1, 4), 30.0f);
}

TEST_F(OldCablesTest, NeverWritten) {
    TCavo cable(nullptr, 0, 0, 0, 0, 0, 0);
    TMemoryStream s;
    cable.Save(s, 60000);
    EXPECT_EQ(s.Size(), 0);
    EXPECT_FALSE(cable.RegisterInLibrary(nullptr));
    const auto& boxes = Application->Script().MessageBoxes;
    ASSERT_EQ(boxes.size(), 2u);
    for (const auto& box : boxes) {
        EXPECT_EQ(box.Text, "");
        EXPECT_EQ(box.Caption, "Errore registrazione cavo");
    }
}

TEST_F(OldCablesTest, ConversionIntoSegments) {
    auto cable = Read(17, NewerRecord(40000, 5.0f, 1.0f, "C1"), 40000);
    ASSERT_NE(cable, nullptr);
    cable->FirstRunEnd = 1;
    cable->SecondBridge = 1;
    TCavo::TSegments segments = cable->ToNCavo();
    TNCavo* first = segments.First.get();
    TNCavo* second = segments.Second.get();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);

    EXPECT_EQ(first->TypeCode, CodeCable);
    EXPECT_EQ(first->Bend, 0);
    EXPECT_EQ(first->Orientation, 1);
    EXPECT_EQ(first->Colour, 0x0000FF);
    EXPECT_EQ(first->RunEnd, 1);
    EXPECT_EQ(first->Description, "Primo");
    EXPECT_EQ(first->Code, "C1");
    EXPECT_EQ(first->Described, 1);
    EXPECT_FLOAT_EQ(first->LossPer100(4), 20.0f);
    EXPECT_FLOAT_EQ(first->PassAttenuation(), 5.0f);
    for (int32_t b = 0; b < BandSlots; ++b) {
        EXPECT_EQ(first->Attenuation->Get3(0, 2, b), LevelNone);
        EXPECT_EQ(first->Attenuation->Get3(0, 3, b), LevelNone);
    }

    EXPECT_EQ(second->TypeCode, CodeBridge);
    EXPECT_EQ(second->Orientation, 0);
    EXPECT_EQ(second->Colour, 0x008000);
    EXPECT_EQ(second->RunEnd, 0);
    EXPECT_EQ(second->Described, 1);
    EXPECT_EQ(second->Description, "Secondo");
    EXPECT_EQ(second->Code, "C2");
    EXPECT_EQ(second->Article, "Art2");
    EXPECT_EQ(second->Category, "Ponti");
    EXPECT_EQ(second->Series, "S2");
    EXPECT_EQ(second->Currency, 2);
    EXPECT_EQ(second->InternalNotes, "interne");
    EXPECT_EQ(second->Choice1, 1);
    EXPECT_FLOAT_EQ(second->LossPer100(4), 30.0f);
    EXPECT_FLOAT_EQ(second->PassAttenuation(), 7.0f);
    EXPECT_EQ(second->Column, 8);
    EXPECT_EQ(second->Row, 9);
}

TEST_F(OldCablesTest, ConversionOfOneCable) {
    struct Case {
        uint8_t bend, hasFirst, hasSecond;
        int32_t orientation;
        bool first, second;
        int32_t firstOrientation;
    };
    // clang-format off
    const Case cases[] = {
        {1, 1, 0, 2, true, false, 2},
        {1, 0, 1, 3, true, false, 3},
        {0, 1, 0, 0, true, false, 1},
        {0, 0, 1, 0, false, true, 0},
        {0, 0, 0, 0, false, false, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        TCavo cable(nullptr, 0, 0, 2, 3, c.bend, 0x123);
        cable.HasFirst = c.hasFirst;
        cable.HasSecond = c.hasSecond;
        cable.Orientation = c.orientation;
        TCavo::TSegments segments = cable.ToNCavo();
        TNCavo* first = segments.First.get();
        TNCavo* second = segments.Second.get();
        EXPECT_EQ(first != nullptr, c.first);
        EXPECT_EQ(second != nullptr, c.second);
        if (first) {
            EXPECT_EQ(first->Bend, c.bend);
            EXPECT_EQ(first->Orientation, c.firstOrientation);
            EXPECT_EQ(first->Colour, 0x123);
        }
    }
}

}  // namespace
