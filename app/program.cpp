#include "app/program.h"

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
#include "dialogs/component_data.h"
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

// The display switches a first run turns on.
constexpr const char* FirstRunSwitches[] = {"HBInformazioni",   "HBAttenuazioni",      "HBSegnaliLimite",
                                            "HBCanaliGenerati", "HBCanaliDistribuiti", "PannelloCodici",
                                            "BarraComponenti"};

// The custom-component editor borrows the main window's palettes.
TLentPanels MainWindowPanels() {
    return Antenne ? TLentPanels{Antenne->Palette, Antenne->CodesPanel} : TLentPanels{};
}
[[maybe_unused]] const bool panelsLent = (SetPanelLender(&MainWindowPanels), true);

template <class T>
void Free(T*& object) {
    delete object;
    object = nullptr;
}

}  // namespace

void CreateGlobals() {
    Application->Title = ApplicationTitle;
    Ini = new TIni();
    GestoreErrori = new TGestoreErrori();
    Canalizzazioni = new TCanalizzazioni();
    CanalizzazioneItalia = Canalizzazioni->FindById(PlanIdItalia);
    CanalizzazioneEuropa = Canalizzazioni->FindById(PlanIdEuropa);
    SistemiBande = new TSistemiBande();
    SistemaBande2 = SistemiBande->FindById(BandSystemOldId);
    SistemaBande3 = SistemaBandeCorrente = SistemiBande->FindById(BandSystemCurrentId);
    Librerie = new TLibrerie();
    UltimiComponenti = new TUltimiComponenti();
    Opzioni = new TOpzioni(Ini, Librerie);
    Opzioni->Load();

    if (Ini->String("Done").empty()) {
        // A fresh installation stores the options of a first run, not the
        // values Load assumes for missing names.
        TIniUpdate update(*Ini);
        Opzioni->ResetToDefaults();
        Opzioni->Save();
        for (const char* name : FirstRunSwitches) Ini->WriteBool(name, true);
        Ini->WriteString("Done", "1");
    }
    CellFlags = DefaultCellFlags;
}

void DestroyGlobals() {
    Free(Opzioni);
    Free(Librerie);
    SistemaBande2 = SistemaBande3 = SistemaBandeCorrente = nullptr;
    Free(SistemiBande);
    CanalizzazioneItalia = CanalizzazioneEuropa = nullptr;
    Free(Canalizzazioni);
    Free(Ini);
    Free(GestoreErrori);
    Free(UltimiComponenti);
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
