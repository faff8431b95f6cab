#include "support/channel_data_fixture.h"

#include "core/globals.h"

ScopedChannelData::ScopedChannelData()
    : savedPlans_(Canalizzazioni),
      savedItalia_(CanalizzazioneItalia),
      savedEuropa_(CanalizzazioneEuropa),
      savedBandSystems_(SistemiBande),
      savedSystem2_(SistemaBande2),
      savedSystem3_(SistemaBande3),
      savedCurrent_(SistemaBandeCorrente),
      plans_(std::make_unique<TCanalizzazioni>()),
      bandSystems_(std::make_unique<TSistemiBande>()) {
    Canalizzazioni = plans_.get();
    CanalizzazioneItalia = plans_->FindById(PlanIdItalia);
    CanalizzazioneEuropa = plans_->FindById(PlanIdEuropa);
    SistemiBande = bandSystems_.get();
    SistemaBande2 = bandSystems_->FindById(BandSystemOldId);
    SistemaBande3 = bandSystems_->FindById(BandSystemCurrentId);
    SistemaBandeCorrente = SistemaBande3;
}

ScopedChannelData::~ScopedChannelData() {
    Canalizzazioni = savedPlans_;
    CanalizzazioneItalia = savedItalia_;
    CanalizzazioneEuropa = savedEuropa_;
    SistemiBande = savedBandSystems_;
    SistemaBande2 = savedSystem2_;
    SistemaBande3 = savedSystem3_;
    SistemaBandeCorrente = savedCurrent_;
}
