#pragma once
// The program-wide objects a benchmark's model code reads: band systems, the
// message reporter, options (constructed, not loaded) and channel plans, set
// in the globals while the object lives.
#include <memory>

#include "core/band_systems.h"
#include "core/channel_plans.h"
#include "core/globals.h"
#include "core/options.h"
#include "core/reporter.h"

struct BenchGlobals {
    BenchGlobals() {
        SistemiBande = bands.get();
        SistemaBande3 = SistemaBandeCorrente = bands->FindById(BandSystemCurrentId);
        SistemaBande2 = bands->FindById(BandSystemOldId);
        GestoreErrori = reporter.get();
        Opzioni = options.get();
        Canalizzazioni = plans.get();
        CanalizzazioneItalia = plans->FindById(PlanIdItalia);
        CanalizzazioneEuropa = plans->FindById(PlanIdEuropa);
    }
    ~BenchGlobals() {
        Canalizzazioni = nullptr;
        CanalizzazioneItalia = CanalizzazioneEuropa = nullptr;
        Opzioni = nullptr;
        GestoreErrori = nullptr;
        SistemiBande = nullptr;
        SistemaBande2 = SistemaBande3 = SistemaBandeCorrente = nullptr;
    }
    BenchGlobals(const BenchGlobals&) = delete;
    BenchGlobals& operator=(const BenchGlobals&) = delete;

    std::unique_ptr<TSistemiBande> bands = std::make_unique<TSistemiBande>();
    std::unique_ptr<TGestoreErrori> reporter = std::make_unique<TGestoreErrori>();
    std::unique_ptr<TOpzioni> options = std::make_unique<TOpzioni>(nullptr, nullptr);
    std::unique_ptr<TCanalizzazioni> plans = std::make_unique<TCanalizzazioni>();
};
