#pragma once
// The program-wide objects for a test: a settings store on a fresh settings
// file of its own, a message reporter, the channel plans, the band systems and
// the options, set
// in the globals while the object lives. The options are fresh (constructed,
// not loaded); the settings name the test's folder as the program directory,
// so the options' directories default into it. The globals and the settings file they replace come back when
// it goes, and the scripted message boxes start empty.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/band_systems.h"
#include "core/channel_plans.h"
#include "core/globals.h"
#include "core/ini.h"
#include "core/options.h"
#include "core/reporter.h"
#include "support/temp_dir.h"

class TListBox;

// Every line of a message list, in order (the reporter's target in tests).
std::vector<AnsiString> MessagesOf(const TListBox& list);
// The text of the one message box shown so far, empty when none; a second
// one fails the test.
AnsiString ShownMessage();

class ScopedGlobals {
public:
    ScopedGlobals();
    ~ScopedGlobals();
    ScopedGlobals(const ScopedGlobals&) = delete;
    ScopedGlobals& operator=(const ScopedGlobals&) = delete;

    TIni& Settings() { return *ini_; }
    TGestoreErrori& Reporter() { return *reporter_; }
    TCanalizzazioni& Plans() { return *plans_; }
    TSistemiBande& BandSystems() { return *bandSystems_; }
    TOpzioni& Options() { return *options_; }
    // The settings file behind Settings().
    const std::string& SettingsPath() const { return settingsPath_; }
    const TempDir& Dir() const { return dir_; }

private:
    TempDir dir_;
    std::string settingsPath_;
    bool hadSettingsEnv_ = false;
    std::string savedSettingsEnv_;
    TIni* savedIni_ = nullptr;
    TGestoreErrori* savedReporter_ = nullptr;
    std::unique_ptr<TIni> ini_;
    std::unique_ptr<TGestoreErrori> reporter_;
    TCanalizzazioni* savedPlans_ = nullptr;
    TCanalizzazione* savedItalia_ = nullptr;
    TCanalizzazione* savedEuropa_ = nullptr;
    std::unique_ptr<TCanalizzazioni> plans_;
    TSistemiBande* savedBandSystems_ = nullptr;
    TSistemaBande* savedBandSystem2_ = nullptr;
    TSistemaBande* savedBandSystem3_ = nullptr;
    TSistemaBande* savedCurrentBandSystem_ = nullptr;
    TOpzioni* savedOptions_ = nullptr;
    std::unique_ptr<TSistemiBande> bandSystems_;
    std::unique_ptr<TOpzioni> options_;
};

// A test with the program-wide objects in place.
class GlobalsTest : public ::testing::Test {
protected:
    ScopedGlobals globals;
};
