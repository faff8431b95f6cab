#include "support/globals_fixture.h"

#include <cstdlib>

#include "document/design_settings.h"
#include "platform/application.h"
#include "platform/stdctrls.h"

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

    plans_ = std::make_unique<TCanalizzazioni>();
    savedPlans_ = Canalizzazioni;
    savedItalia_ = CanalizzazioneItalia;
    savedEuropa_ = CanalizzazioneEuropa;
    Canalizzazioni = plans_.get();
    CanalizzazioneItalia = plans_->FindById(PlanIdItalia);
    CanalizzazioneEuropa = plans_->FindById(PlanIdEuropa);

    bandSystems_ = std::make_unique<TSistemiBande>();
    savedBandSystems_ = SistemiBande;
    savedBandSystem2_ = SistemaBande2;
    savedBandSystem3_ = SistemaBande3;
    savedCurrentBandSystem_ = SistemaBandeCorrente;
    SistemiBande = bandSystems_.get();
    SistemaBande2 = bandSystems_->FindById(BandSystemOldId);
    SistemaBande3 = SistemaBandeCorrente = bandSystems_->FindById(BandSystemCurrentId);

    ini_->WriteString("ProgramDir", dir_.Path() + "/");
    options_ = std::make_unique<TOpzioni>(ini_.get(), nullptr);
    savedOptions_ = Opzioni;
    Opzioni = options_.get();
    // The design settings refer to channel plans: made again on the test's own.
    ResetDesignSettings();
    Application->Script().Reset();
}

ScopedGlobals::~ScopedGlobals() {
    ResetDesignSettings();
    Opzioni = savedOptions_;
    options_.reset();
    SistemiBande = savedBandSystems_;
    SistemaBande2 = savedBandSystem2_;
    SistemaBande3 = savedBandSystem3_;
    SistemaBandeCorrente = savedCurrentBandSystem_;
    bandSystems_.reset();
    Canalizzazioni = savedPlans_;
    CanalizzazioneItalia = savedItalia_;
    CanalizzazioneEuropa = savedEuropa_;
    plans_.reset();
    Ini = savedIni_;
    GestoreErrori = savedReporter_;
    reporter_.reset();
    ini_.reset();
    if (hadSettingsEnv_)
        ::setenv(SettingsEnv, savedSettingsEnv_.c_str(), 1);
    else
        ::unsetenv(SettingsEnv);
    Application->Script().Reset();
}

AnsiString ShownMessage() {
    const auto& boxes = Application->Script().MessageBoxes;
    EXPECT_LE(boxes.size(), 1u);
    return boxes.empty() ? AnsiString() : boxes.front().Text;
}

std::vector<AnsiString> MessagesOf(const TListBox& list) {
    std::vector<AnsiString> all;
    for (int i = 0; i < list.Items->Count(); ++i) all.push_back(list.Items->Strings(i));
    return all;
}
