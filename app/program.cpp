#include "app/program.h"

#include <memory>
#include <utility>

#include "app/about_box.h"
#include "app/main_form.h"
#include "cells/prototypes.h"
#include "core/band_systems.h"
#include "core/channel_plans.h"
#include "core/globals.h"
#include "core/ini.h"
#include "core/libraries.h"
#include "core/options.h"
#include "core/program_folder.h"
#include "core/reporter.h"
#include "cells/component_data.h"
#include "dialogs/custom_editor.h"
#include "dialogs/customer_data.h"
#include "dialogs/installer_data.h"
#include "dialogs/library_manager.h"
#include "dialogs/mast_sizing.h"
#include "dialogs/options_form.h"
#include "dialogs/price_list.h"
#include "dialogs/scheme_size.h"
#include "document/copy_data.h"
#include "platform/application.h"

AnsiString CommandLineFile;

TAntenne* Antenne = nullptr;
TAboutBox* AboutBox = nullptr;
TDatiCommittente* DatiCommittente = nullptr;
TDatiListino* DatiListino = nullptr;
TDatiIntestazione* DatiIntestazione = nullptr;
TDatiAutSost* DatiAutSost = nullptr;
TDimensioneSchemi* DimensioneSchemi = nullptr;
TGestioneLibrerie* GestioneLibrerie = nullptr;

namespace {

// The program-wide objects that CreateGlobals makes: the globals point at
// them, these own them until DestroyGlobals.
struct TProgramObjects {
    std::unique_ptr<TIni> ini;
    std::unique_ptr<TGestoreErrori> reporter;
    std::unique_ptr<TCanalizzazioni> plans;
    std::unique_ptr<TSistemiBande> bandSystems;
    std::unique_ptr<TLibrerie> libraries;
    std::unique_ptr<TUltimiComponenti> recentComponents;
    std::unique_ptr<TOpzioni> options;
};
TProgramObjects Owned;

// The custom-component editor borrows the main window's palettes.
TLentPanels MainWindowPanels() {
    return Antenne ? TLentPanels{Antenne->Palette, Antenne->CodesPanel} : TLentPanels{};
}
[[maybe_unused]] const bool panelsLent = (SetPanelLender(&MainWindowPanels), true);
[[maybe_unused]] const bool customEditorNamed = (SetCustomCellEditor(&EditCustomCellStructure), true);

template <class T>
T* Make(std::unique_ptr<T>& owner, std::unique_ptr<T> object) {
    owner = std::move(object);
    return owner.get();
}

// Frees the object, then clears the global that pointed at it.
template <class T>
void Free(T*& global, std::unique_ptr<T>& owner) {
    owner.reset();
    global = nullptr;
}

}  // namespace

void CreateGlobals() {
    Application->Title = ApplicationTitle;
    Ini = Make(Owned.ini, std::make_unique<TIni>());
    GestoreErrori = Make(Owned.reporter, std::make_unique<TGestoreErrori>());
    Canalizzazioni = Make(Owned.plans, std::make_unique<TCanalizzazioni>());
    CanalizzazioneItalia = Canalizzazioni->FindById(PlanIdItalia);
    CanalizzazioneEuropa = Canalizzazioni->FindById(PlanIdEuropa);
    SistemiBande = Make(Owned.bandSystems, std::make_unique<TSistemiBande>());
    SistemaBande2 = SistemiBande->FindById(BandSystemOldId);
    SistemaBande3 = SistemaBandeCorrente = SistemiBande->FindById(BandSystemCurrentId);
    Librerie = Make(Owned.libraries, std::make_unique<TLibrerie>());
    UltimiComponenti = Make(Owned.recentComponents, std::make_unique<TUltimiComponenti>());
    Opzioni = Make(Owned.options, std::make_unique<TOpzioni>(Ini, Librerie));
    Opzioni->Load();

    if (Ini->String("Done").empty()) {
        // A fresh installation stores the options of a first run, not the
        // values Load assumes for missing names.
        TIniUpdate update(*Ini);
        Opzioni->ResetToDefaults();
        Opzioni->Save();
        for (const TDisplaySwitch& s : DisplaySwitches())
            if (s.FirstRun) Ini->WriteBool(s.Key, true);
        Ini->WriteString("Done", "1");
    }
}

void DestroyGlobals() {
    Free(Opzioni, Owned.options);
    Free(Librerie, Owned.libraries);
    SistemaBande2 = SistemaBande3 = SistemaBandeCorrente = nullptr;
    Free(SistemiBande, Owned.bandSystems);
    CanalizzazioneItalia = CanalizzazioneEuropa = nullptr;
    Free(Canalizzazioni, Owned.plans);
    Free(Ini, Owned.ini);
    Free(GestoreErrori, Owned.reporter);
    Free(UltimiComponenti, Owned.recentComponents);
}

AnsiString ProgramDirectory() { return ProgramDirectory(Ini); }

AnsiString CommandLineFileName(const TApplication& application) {
    AnsiString name;
    for (int i = 1; i <= application.ParamCount(); ++i) {
        if (i > 1) name += " ";
        name += application.ParamStr(i);
    }
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
    return name;
}

void StartProgram() {
    CommandLineFile = CommandLineFileName(*Application);
    CreateGlobals();
    Application->Initialize();
    Application->Title = ApplicationTitle;
    Application->CreateForm(Antenne);
    Application->CreateForm(AboutBox);
    Application->CreateForm(DatiCommittente);
    Application->CreateForm(FCopiaDati);
    Application->CreateForm(DatiListino);
    Application->CreateForm(DatiIntestazione);
    DatiOpzioni();
    Application->CreateForm(DatiAutSost);
    Application->CreateForm(DimensioneSchemi);
    Application->CreateForm(GestioneLibrerie);
    ComponentDataForm();
    Antenne->BindForms();
}
