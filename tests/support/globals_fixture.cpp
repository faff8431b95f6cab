#include "support/globals_fixture.h"

#include <cstdlib>

#include "platform/application.h"

namespace {
constexpr const char* SettingsEnv = "ORDIVEX_VARNE_SETTINGS";
}

ScopedGlobals::ScopedGlobals() : settingsPath_(dir_.File("settings")) {
    if (const char* env = std::getenv(SettingsEnv)) {
        hadSettingsEnv_ = true;
        savedSettingsEnv_ = env;
    }
    ::setenv(SettingsEnv, settingsPath_.c_str(), 1);
    ini_ = std::make_unique<TIni>();
    reporter_ = std::make_unique<TGestoreErrori>();
    savedIni_ = Ini;
    savedReporter_ = GestoreErrori;
    Ini = ini_.get();
    GestoreErrori = reporter_.get();
    Application->Script().Reset();
}

ScopedGlobals::~ScopedGlobals() {
    Ini = savedIni_;
    GestoreErrori = savedReporter_;
    reporter_.reset();
    ini_.reset();
    if (hadSettingsEnv_) ::setenv(SettingsEnv, savedSettingsEnv_.c_str(), 1);
    else ::unsetenv(SettingsEnv);
    Application->Script().Reset();
}
