#pragma once
// Chosen components for tests of the automatic designer: library cells made
// by the cell factory with just the data a stage looks at, appended in order
// to a component list (the engine's, or any TMemLib).
#include <cstdint>
#include <initializer_list>

#include "platform/sysutils.h"

class TCella;
class TMemLib;

// Power of a component: none, power that comes from the outputs and goes on
// to the inputs (passing DC), or a supply of its own feeding the inputs.
enum class TPowerKind { None, PassesDc, FeedsInputs };

class DesignComponents {
public:
    explicit DesignComponents(TMemLib& list) : list_(list) {}

    // Splitter (code 3) with band-V and satellite-band-4 row-0 losses.
    TCella* Splitter(int32_t inputs, int32_t outputs, float lossTer, float lossSat, TPowerKind power = TPowerKind::None);
    // Taps of codes 6, 49 and 50.
    TCella* Tap(int32_t code, int32_t inputs, int32_t outputs, TPowerKind power = TPowerKind::None);
    // Switch of code 10 or 47 with positions, brand and power; the satellite
    // band-4 row-0 loss of code 47.
    TCella* Switch(int32_t code, int32_t inputs, int32_t outputs, uint32_t positions = 0,
                   const AnsiString& brand = "", TPowerKind power = TPowerKind::None, float lossSat = 0.0f);
    // Amplifier of code 21 or 22 with positions; every input gets the
    // maximum output levels at band V and satellite band 4.
    TCella* Amplifier(int32_t code, int32_t inputs, uint32_t positions, float maxTer, float maxSat);
    // Mixer (code 29) whose inputs pass the listed band slots.
    TCella* Mixer(int32_t inputs, std::initializer_list<int32_t> input0Slots, std::initializer_list<int32_t> input1Slots);
    // Custom cell (code 55) with an article code.
    TCella* Custom(const AnsiString& code);
    // Outlet of code 14, 15 or 54: tap outputs, connector kind ("Conn. out"),
    // band slots handled, power received at its socket.
    TCella* Outlet(int32_t code, int32_t outputs, uint8_t connectorKind, std::initializer_list<int32_t> slots,
                   bool poweredSocket = false);

    // The band slots of the designer: terrestrial (1, 3, 4, 5) and satellite (6 to 9).
    static std::initializer_list<int32_t> TerSlots();
    static std::initializer_list<int32_t> SatSlots();

private:
    TCella* Add(TCella* cell);
    TMemLib& list_;
    int added_ = 0;
};
