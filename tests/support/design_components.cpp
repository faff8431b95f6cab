#include "support/design_components.h"

#include <gtest/gtest.h>

#include "cells/amplifiers.h"
#include "cells/cell.h"
#include "cells/factory.h"
#include "core/libraries.h"

namespace {

constexpr int32_t AmpMaxOutputColumn = 6;

void SetPower(TCella& c, TPowerKind power) {
    switch (power) {
        case TPowerKind::None:
            for (auto& group : c.Power) group[0] = group[1] = group[2] = group[3] = 0;
            break;
        case TPowerKind::PassesDc:
            // Received at every output, fed to the inputs.
            c.Power[PowerSupply][0] = 2 | 4;
            c.Power[PowerSupply][1] = 0;
            c.Power[PowerSupply][2] = c.Power[PowerSupply][3] = AllBits;
            c.Power[PowerFeeds][0] = 1;
            c.Power[PowerFeeds][1] = AllBits;
            c.Power[PowerFeeds][2] = c.Power[PowerFeeds][3] = 0;
            break;
        case TPowerKind::FeedsInputs:
            // An internal supply feeding the inputs.
            c.Power[PowerSupply][0] = 8;
            c.Power[PowerSupply][1] = c.Power[PowerSupply][2] = c.Power[PowerSupply][3] = 0;
            c.Power[PowerFeeds][0] = 1;
            c.Power[PowerFeeds][1] = AllBits;
            c.Power[PowerFeeds][2] = c.Power[PowerFeeds][3] = 0;
            break;
    }
}

TCella* Make(int32_t code, int32_t inputs, int32_t through, int32_t taps) {
    TCella* c = NewCella(nullptr, code, 0, 0, inputs, through, taps);
    EXPECT_NE(c, nullptr) << "code " << code;
    return c;
}

}  // namespace

std::initializer_list<int32_t> DesignComponents::TerSlots() { return {1, 3, 4, 5}; }
std::initializer_list<int32_t> DesignComponents::SatSlots() { return {6, 7, 8, 9}; }

TCella* DesignComponents::Add(TCella* cell) {
    if (cell) {
        cell->Code = "C" + IntToStr(++added_);
        list_.Append(cell);
    }
    return cell;
}

TCella* DesignComponents::Splitter(int32_t inputs, int32_t outputs, float lossTer, float lossSat, TPowerKind power) {
    TCella* c = Make(3, inputs, 0, outputs);
    if (!c) return nullptr;
    c->Attenuation->Set3(0, 0, 5, lossTer);
    c->Attenuation->Set3(0, 0, 9, lossSat);
    SetPower(*c, power);
    return Add(c);
}

TCella* DesignComponents::Tap(int32_t code, int32_t inputs, int32_t outputs, TPowerKind power) {
    TCella* c = Make(code, inputs, 1, outputs);
    if (!c) return nullptr;
    SetPower(*c, power);
    return Add(c);
}

TCella* DesignComponents::Switch(int32_t code, int32_t inputs, int32_t outputs, uint32_t positions,
                                 const AnsiString& brand, TPowerKind power, float lossSat) {
    TCella* c = Make(code, inputs, 0, outputs);
    if (!c) return nullptr;
    c->Positions[0] = positions;
    c->Brand = brand;
    c->Attenuation->Set3(0, 0, 9, lossSat);
    SetPower(*c, power);
    return Add(c);
}

TCella* DesignComponents::Amplifier(int32_t code, int32_t inputs, uint32_t positions, float maxTer, float maxSat) {
    TCella* c = Make(code, inputs, inputs, 0);
    if (!c) return nullptr;
    c->Positions[0] = positions;
    for (int32_t i = 0; i < inputs; ++i) {
        c->Attenuation->Set3(i, AmpMaxOutputColumn, 5, maxTer);
        c->Attenuation->Set3(i, AmpMaxOutputColumn, 9, maxSat);
    }
    return Add(c);
}

TCella* DesignComponents::Mixer(int32_t inputs, std::initializer_list<int32_t> input0Slots,
                                std::initializer_list<int32_t> input1Slots) {
    TCella* c = Make(29, inputs, 1, 0);
    if (!c) return nullptr;
    for (int32_t slot : input0Slots) c->Attenuation->Set3(0, 0, slot, 0.5f);
    if (inputs > 1)
        for (int32_t slot : input1Slots) c->Attenuation->Set3(0, 1, slot, 0.5f);
    return Add(c);
}

TCella* DesignComponents::Custom(const AnsiString& code) {
    TCella* c = Make(55, 1, 0, 1);
    if (!c) return nullptr;
    Add(c);
    c->Code = code;
    return c;
}

TCella* DesignComponents::Outlet(int32_t code, int32_t outputs, uint8_t connectorKind,
                                 std::initializer_list<int32_t> slots, bool poweredSocket) {
    TCella* c = Make(code, 1, 1, outputs);
    if (!c) return nullptr;
    c->Choice3 = connectorKind;
    for (int32_t slot : slots) c->Attenuation->Set3(0, 0, slot, 1.0f);
    if (poweredSocket) {
        c->Power[PowerSupply][0] |= 4;
        c->Power[PowerSupply][3] = AllBits;
    } else {
        c->Power[PowerSupply][0] &= ~4u;
        c->Power[PowerSupply][3] = 0;
    }
    return Add(c);
}
