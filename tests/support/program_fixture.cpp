#include "support/program_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "app/main_form.h"
#include "app/program.h"
#include "autodesign/wizard.h"
#include "cells/outlets.h"
#include "cells/prototypes.h"
#include "cells/taps.h"
#include "cells/terminations.h"
#include "core/globals.h"
#include "core/ini.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/application.h"

namespace {
constexpr const char* SettingsEnv = "ORDIVEX_VARNE_SETTINGS";
}

struct ScopedProgram::Saved {
    TIni* ini = Ini;
    TGestoreErrori* reporter = GestoreErrori;
    TCanalizzazioni* plans = Canalizzazioni;
    TCanalizzazione* italia = CanalizzazioneItalia;
    TCanalizzazione* europa = CanalizzazioneEuropa;
    TSistemiBande* systems = SistemiBande;
    TSistemaBande* system2 = SistemaBande2;
    TSistemaBande* system3 = SistemaBande3;
    TSistemaBande* current = SistemaBandeCorrente;
    TLibrerie* libraries = Librerie;
    TUltimiComponenti* prototypes = UltimiComponenti;
    TOpzioni* options = Opzioni;
    AnsiString title = Application->Title;
};

ScopedProgram::ScopedProgram(bool defaultLibrary) : settingsPath_(dir_.File("settings")), saved_(new Saved) {
    if (const char* env = std::getenv(SettingsEnv)) {
        hadSettingsEnv_ = true;
        savedSettingsEnv_ = env;
    }
    ::setenv(SettingsEnv, settingsPath_.c_str(), 1);
    Application->DestroyForms();
    Application->Script().Reset();
    // Headless, a run with no form returns at once and clears the ending an
    // earlier program asked for (Esci, the start-up wizard closed).
    if (!Application->Backend()) Application->Run();
    Store("ProgramDir", dir_.Path() + "/");
    if (defaultLibrary) std::ofstream(dir_.File("Varne.alb")) << "";
}

ScopedProgram::~ScopedProgram() {
    Application->DestroyForms();
    Application->Script().Reset();
    Application->SetCommandLine(0, nullptr);
    CommandLineFile.clear();
    Ini = saved_->ini;
    GestoreErrori = saved_->reporter;
    Canalizzazioni = saved_->plans;
    CanalizzazioneItalia = saved_->italia;
    CanalizzazioneEuropa = saved_->europa;
    SistemiBande = saved_->systems;
    SistemaBande2 = saved_->system2;
    SistemaBande3 = saved_->system3;
    SistemaBandeCorrente = saved_->current;
    Librerie = saved_->libraries;
    UltimiComponenti = saved_->prototypes;
    Opzioni = saved_->options;
    Application->Title = saved_->title;
    delete saved_;
    if (hadSettingsEnv_)
        ::setenv(SettingsEnv, savedSettingsEnv_.c_str(), 1);
    else
        ::unsetenv(SettingsEnv);
}

void ScopedProgram::Store(const AnsiString& name, const AnsiString& value) {
    TIni ini;
    ini.WriteString(name, value);
}

AnsiString ScopedProgram::Stored(const AnsiString& name) const {
    TIni ini;
    return ini.String(name);
}

TAntenne& ScopedProgram::Start(const std::vector<std::string>& arguments, bool startWizard) {
    std::vector<const char*> argv{"ordivex-varne"};
    for (const std::string& a : arguments) argv.push_back(a.c_str());
    Application->SetCommandLine(static_cast<int>(argv.size()), argv.data());
    StartProgram();
    started_ = true;
    Antenne->FirstActivation = startWizard;
    Antenne->Show();
    return *Antenne;
}

void DrawTwoTaps(TProgetto& project, bool closed, bool described) {
    constexpr int32_t column = 37;  // the terminal's line leaves here
    TGridData& grid = *project.NetworkGrid;
    for (int32_t row : {1, 2}) {
        auto tapOwned = std::make_unique<TDerivatore>(&grid, 0, 0, column, row, 1, 1);
        auto* tap = tapOwned.get();
        tap->Described = described;
        EXPECT_TRUE(grid.InsertCell(std::move(tapOwned), false, 0));
        auto outletOwned = std::make_unique<TPresaD>(&grid, 3, 0, column + 1, row, CodeEndOutlet, 1);
        auto* outlet = outletOwned.get();
        outlet->Described = described;
        EXPECT_TRUE(grid.InsertCell(std::move(outletOwned), false, 0));
    }
    if (closed) {
        auto terminationOwned = std::make_unique<TChiusura>(&grid, 0, 0, column, 3, 1);
        auto* termination = terminationOwned.get();
        termination->Described = 1;
        EXPECT_TRUE(grid.InsertCell(std::move(terminationOwned), false, 0));
    }
    grid.SetModified(ModAll);
}

void ConfirmNextStep(TAntenne& form) {
    Application->Script().AnswerShowModal<TAutoProgetto>([](TAutoProgetto& w) {
        // Page by page to "Fine", changing nothing (a wizard not yet shown
        // since the project was made opens on its first page).
        for (int page = 0; page < WizardPages && w.ModalResult.Get() == mrNone; ++page) w.BAvanti->Click();
        EXPECT_EQ(w.ModalResult.Get(), WizardDone);
        EXPECT_FALSE(w.Opz().DesignRequested);
    });
    form.NextButton->Click();
}
