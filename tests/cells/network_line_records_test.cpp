// Every class of the network line writes its record and reads it back
// through the cell factory to the same bytes and the same class data.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <typeinfo>
#include <vector>

#include "cells/anchors.h"
#include "cells/cables.h"
#include "cells/factory.h"
#include "cells/outlets.h"
#include "cells/record.h"
#include "cells/terminations.h"
#include "core/file.h"
#include "support/globals_fixture.h"

namespace {

std::string Saved(TCella& cell) {
    TMemoryStream s;
    cell.Save(s, RecordVersion);
    return s.Bytes();
}

// Reads a record as a grid section does: the head first, then the cell from
// the factory reads the rest.
std::unique_ptr<TCella> ReadBack(const std::string& bytes) {
    TMemoryStream s;
    s.WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
    s.SetPosition(0);
    const int32_t code = ReadI32(s);
    const int32_t inputs = ReadI32(s);
    const int32_t through = ReadI32(s);
    const int32_t taps = ReadI32(s);
    std::unique_ptr<TCella> cell(NewCella(nullptr, code, 0, 0, inputs, through, taps));
    if (!cell) return nullptr;
    EXPECT_EQ(ReadCellRecord(*cell, s, RecordVersion), TRecordResult::Ok);
    EXPECT_EQ(s.Position(), s.Size());
    return cell;
}

void Fill(TCella& cell) {
    cell.Orientation = 3;
    cell.Column = 7;
    cell.Row = 9;
    cell.Code = "AB12";
    cell.Description = "Prova";
    cell.Price = 12.5f;
    cell.Choice1 = 1;
    cell.Choice3 = 2;
    cell.Described = 1;
    for (int32_t r = 0; r < cell.TableRows; ++r)
        for (int32_t c = 0; c < cell.TableColumns; ++c)
            for (int32_t b = 0; b < BandSlots; ++b)
                cell.Attenuation->Set3(r, c, b, static_cast<float>(c * 10 + b) / 4.0f);
}

class NetworkLineRecordsTest : public GlobalsTest {};

TEST_F(NetworkLineRecordsTest, EveryClassRoundTrips) {
    struct Case {
        const char* what;
        std::function<std::unique_ptr<TCella>()> make;
    };
    const std::vector<Case> cases = {
        {"end outlet", [] { return std::make_unique<TPresaD>(nullptr, 0, 0, 0, 0, CodeEndOutlet, 1); }},
        {"pass-through outlet",
         [] { return std::make_unique<TPresaD>(nullptr, 0, 0, 0, 0, CodePassThroughOutlet, 2); }},
        {"terminated outlet",
         [] { return std::make_unique<TPresaD>(nullptr, 0, 0, 0, 0, CodeTerminatedOutlet, 3); }},
        {"termination", [] { return std::make_unique<TChiusura>(nullptr, 0, 0, 0, 0, 3); }},
        {"cable",
         [] {
             auto c = std::make_unique<TNCavo>(nullptr, 1, 0, 0, 0, 1, 0x123456);
             c->SetLength(17.0f);
             return c;
         }},
        {"bridge",
         [] {
             auto c = std::make_unique<TNCavo>(nullptr, 1, 0, 0, 0, 0, 0x00FF00);
             c->TypeCode = CodeBridge;
             return c;
         }},
        {"entry anchor", [] { return std::make_unique<TAncoraI>(nullptr, 0, 0, 0, 0); }},
        {"exit anchor", [] { return std::make_unique<TAncoraO>(nullptr, 0, 0, 0, 0); }},
    };
    for (const Case& c : cases) {
        std::unique_ptr<TCella> cell(c.make());
        Fill(*cell);
        const std::string bytes = Saved(*cell);
        std::unique_ptr<TCella> read = ReadBack(bytes);
        ASSERT_NE(read, nullptr) << c.what;
        const TCella &readCell = *read, &savedCell = *cell;
        EXPECT_EQ(typeid(readCell), typeid(savedCell)) << c.what;
        EXPECT_EQ(read->TypeCode, cell->TypeCode) << c.what;
        EXPECT_EQ(read->Inputs, cell->Inputs) << c.what;
        EXPECT_EQ(read->TapOutputs, cell->TapOutputs) << c.what;
        EXPECT_EQ(read->Orientation, 3) << c.what;
        EXPECT_EQ(read->Column, 7) << c.what;
        EXPECT_EQ(read->Code, "AB12") << c.what;
        EXPECT_EQ(Saved(*read), bytes) << c.what;
        if (auto* outlet = dynamic_cast<TPresaD*>(read.get())) {
            EXPECT_EQ(outlet->PassThrough, cell->TypeCode == CodePassThroughOutlet);
            EXPECT_EQ(outlet->Terminated, cell->TypeCode == CodeTerminatedOutlet);
            EXPECT_FLOAT_EQ(outlet->ReverseLoss(4), 6.0f);
        }
        if (auto* cable = dynamic_cast<TNCavo*>(read.get())) {
            auto* original = static_cast<TNCavo*>(cell.get());
            EXPECT_EQ(cable->Bend, original->Bend) << c.what;
            EXPECT_EQ(cable->Colour, original->Colour) << c.what;
            EXPECT_EQ(cable->PassAttenuation(), original->PassAttenuation()) << c.what;
        }
    }
}

}  // namespace
