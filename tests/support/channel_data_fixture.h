#pragma once
// The program-wide channel plans and band systems for a test, set in the
// globals while the object lives (together with the settings store and the
// reporter of ScopedGlobals); the globals they replace come back when it goes.
#include <memory>

#include "core/band_systems.h"
#include "core/channel_plans.h"
#include "support/globals_fixture.h"

class ScopedChannelData {
public:
    ScopedChannelData();
    ~ScopedChannelData();
    ScopedChannelData(const ScopedChannelData&) = delete;
    ScopedChannelData& operator=(const ScopedChannelData&) = delete;

    TCanalizzazioni& Plans() { return *plans_; }
    TSistemiBande& BandSystems() { return *bandSystems_; }

private:
    TCanalizzazioni* savedPlans_;
    TCanalizzazione* savedItalia_;
    TCanalizzazione* savedEuropa_;
    TSistemiBande* savedBandSystems_;
    TSistemaBande* savedSystem2_;
    TSistemaBande* savedSystem3_;
    TSistemaBande* savedCurrent_;
    std::unique_ptr<TCanalizzazioni> plans_;
    std::unique_ptr<TSistemiBande> bandSystems_;
};

// A test with the settings store, the reporter, the channel plans and the
// band systems in place.
class ChannelDataTest : public GlobalsTest {
protected:
    ScopedChannelData channelData;
};
