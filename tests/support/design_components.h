#pragma once
// Chosen components for tests of the automatic designer: library cells made
// by the cell factory with just the data a stage looks at, appended in order
// to a component list (the engine's, or any TMemLib).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "autodesign/engine.h"
#include "document/project.h"
#include "platform/sysutils.h"

class TAutoProgetto;
struct TAppartamento;

class TCella;
class TMemLib;
class TLibrerie;
class TLibreria;
class TCanalizzazione;
class TAntennaAutoProg;

// Power of a component: none, power that comes from the outputs and goes on
// to the inputs (passing DC), or a supply of its own feeding the inputs.
enum class TPowerKind { None, PassesDc, FeedsInputs };

class DesignComponents {
public:
    explicit DesignComponents(TMemLib& list) : list_(list) {}

    // Splitter (code 3) with band-V and satellite-band-4 row-0 losses.
    TCella* Splitter(int32_t inputs, int32_t outputs, float lossTer, float lossSat,
                     TPowerKind power = TPowerKind::None);
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
    TCella* Mixer(int32_t inputs, const std::vector<int32_t>& input0Slots,
                  const std::vector<int32_t>& input1Slots);
    // Custom cell (code 55) with an article code.
    TCella* Custom(const AnsiString& code);
    // Outlet of code 14, 15 or 54: tap outputs, connector kind ("Conn. out"),
    // band slots handled, power received at its socket.
    TCella* Outlet(int32_t code, int32_t outputs, uint8_t connectorKind, const std::vector<int32_t>& slots,
                   bool poweredSocket = false);

    // A head-end module of code 35 (active filter), 42 (filter with gain
    // control) or 37 (converter) of a brand and series; its first filter
    // module gives the level and the flags, and its input slot names a plan.
    TCella* HeadEndModule(int32_t code, const AnsiString& brand, const AnsiString& series, float moduleLevel,
                          uint32_t moduleFlags = 0, TCanalizzazione* inputPlan = nullptr);
    // A final amplifier (code 43) of a brand and series with input and output
    // arrangements, positions and its level at band V and satellite band 4.
    TCella* Final(const AnsiString& brand, const AnsiString& series, int32_t inputs, int32_t outputs,
                  uint32_t positions, float levelTer, float levelSat);
    // A wideband module (code 40) whose inputs pass the listed band slots,
    // with a maximum output level at band V on each input.
    TCella* Wideband(const std::vector<std::vector<int32_t>>& inputs, uint32_t positions, float maxOutput);
    // An LNB (code 39) of a series with its level at satellite band 4, and a dish (code 45).
    TCella* Lnb(int32_t outputs, const AnsiString& series, float level);
    TCella* Dish(const AnsiString& series);

    // The band slots of the designer: terrestrial (1, 3, 4, 5) and satellite (6 to 9).
    static std::vector<int32_t> TerSlots();
    static std::vector<int32_t> SatSlots();

private:
    TCella* Add(std::unique_ptr<TCella> cell);
    TMemLib& list_;
    int added_ = 0;
};

// A library file name.alb in folder holding the records of cells (each with
// its code), registered in libraries; the library is left closed.
TLibreria* AddTestLibrary(TLibrerie& libraries, const std::string& folder, const std::string& name,
                          const std::vector<std::unique_ptr<TCella>>& cells);
// A cable segment whose loss per 100 m is given at the listed band slots.
std::unique_ptr<TCella> TestCable(const AnsiString& code, const std::vector<int32_t>& slots);

// A design slot's antenna: the article code of a library receiving the
// named channels of its plan, each at 75 dBuV.
void SetAntenna(TAntennaAutoProg& antenna, const AnsiString& library, const AnsiString& code,
                const std::vector<const char*>& channels);

// Runs the engine's input check from a reset, its reporter showing one
// message; expects the given result and gives the message shown ("" none).
AnsiString RunInputCheck(TCreaAuto& engine, bool expected);

// The wizard's building: staircases alike, each of floors floors of the
// same apartments and its head end at that distance.
void SetBuilding(TAutoProgetto& w, int staircases, int floors, int apartments, const TAppartamento& apartment,
                 int headEndDistance);
// The band III and UHF antennas of the tests' designed buildings, their
// articles from library, receiving channels 5 and 7, and 26, 30 and 35.
void SetBandAntennas(TAutoProgetto& w, const AnsiString& library);
// The wizard's choices clicked in order, then its pages through to "Fine".
void ChooseAndFinish(TAutoProgetto& w, const std::vector<int>& choices);

// The wizard filled as the tests of a designed building fill it: one
// staircase of the given floors, two apartments a floor of two outlets each,
// band III and UHF antennas and the dish on four multiswitch cables along
// the staircase, the modular head end, the antennas' articles from library;
// then through to "Fine".
void DesignStaircase(TAutoProgetto& w, const AnsiString& library, int floors, int headEndDistance);

// The main window as a design run sees it: a project of its own, and a log of
// what the run asked.
class DesignWindowStandIn : public TDesignWindow {
public:
    DesignWindowStandIn() { project.Reset(true); }
    TProgetto* CurrentProject() override { return &project; }
    void ResetProject(bool withAnchors) override {
        calls.push_back("reset");
        project.Reset(withAnchors);
    }
    void ShowProject(TProgetto* p) override {
        calls.push_back("show");
        shown = p;
    }
    void AfterLoad() override { calls.push_back("after-load"); }
    void ShowProgress(int32_t maximum) override {
        progressVisible = true;
        progressMaximum = maximum;
    }
    void HideProgress() override { progressVisible = false; }
    TProgressBar* ProgressBar() override { return nullptr; }
    void ProcessMessages() override { ++messagesProcessed; }

    TProgetto project{nullptr};
    TProgetto* shown = nullptr;
    std::vector<std::string> calls;
    bool progressVisible = false;
    int32_t progressMaximum = -1;
    int messagesProcessed = 0;
};
