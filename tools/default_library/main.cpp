// Writes the default component library "Varne.alb" and "Default.sel" into
// the folder given as the one argument (the program directory of a build).
// Exits non-zero, saying what failed, when any write fails.
#include <cstdio>
#include <memory>

#include "core/band_systems.h"
#include "core/channel_plans.h"
#include "core/globals.h"
#include "core/reporter.h"
#include "tools/default_library/default_library.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "uso: %s <cartella del programma>\n", argv[0]);
        return 2;
    }
    // The program-wide objects the cells refer to.
    auto bands = std::make_unique<TSistemiBande>();
    auto plans = std::make_unique<TCanalizzazioni>();
    auto reporter = std::make_unique<TGestoreErrori>();
    SistemiBande = bands.get();
    SistemaBande2 = bands->FindById(BandSystemOldId);
    SistemaBande3 = SistemaBandeCorrente = bands->FindById(BandSystemCurrentId);
    Canalizzazioni = plans.get();
    CanalizzazioneItalia = plans->FindById(PlanIdItalia);
    CanalizzazioneEuropa = plans->FindById(PlanIdEuropa);
    GestoreErrori = reporter.get();

    AnsiString failure;
    const bool written = WriteDefaultLibrary(argv[1], failure);
    GestoreErrori = nullptr;
    Canalizzazioni = nullptr;
    CanalizzazioneItalia = CanalizzazioneEuropa = nullptr;
    SistemiBande = nullptr;
    SistemaBande2 = SistemaBande3 = SistemaBandeCorrente = nullptr;
    if (!written) {
        std::fprintf(stderr, "Libreria predefinita non scritta: %s\n", failure.c_str());
        return 1;
    }
    return 0;
}
