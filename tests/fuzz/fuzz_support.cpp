#include "fuzz_support.h"

#include "cells/prototypes.h"
#include "core/band_systems.h"
#include "core/channel_plans.h"
#include "core/globals.h"
#include "core/reporter.h"
#include "document/grid.h"
#include "platform/application.h"

void FuzzGlobals() {
    static bool made = false;
    if (made) return;
    made = true;
    // The readers make custom components, whose grids are the document's.
    NameCellGridMaker();
    // Kept for the whole run, as the program keeps them.
    GestoreErrori = new TGestoreErrori;
    SistemiBande = new TSistemiBande;
    SistemaBande2 = SistemiBande->FindById(BandSystemOldId);
    SistemaBande3 = SistemiBande->FindById(BandSystemCurrentId);
    SistemaBandeCorrente = SistemaBande3;
    Canalizzazioni = new TCanalizzazioni;
    CanalizzazioneItalia = Canalizzazioni->FindById('2');
    CanalizzazioneEuropa = Canalizzazioni->FindById('3');
    UltimiComponenti = new TUltimiComponenti;
}

int32_t FuzzVersion(uint8_t selector) {
    static const int32_t versions[] = {60000, 50100, 50000, 40000, 30000, 20000, 10002, 10001, 10000};
    return versions[selector % (sizeof versions / sizeof versions[0])];
}

void FuzzForgetMessages() { Application->Script().Reset(); }
