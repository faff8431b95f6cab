#include "support/design_components.h"

#include <gtest/gtest.h>

#include "autodesign/engine.h"
#include "autodesign/wizard.h"
#include "cells/amplifiers.h"
#include "cells/auto_mix.h"
#include "cells/cables.h"
#include "cells/cell.h"
#include "cells/factory.h"
#include "core/band_systems.h"
#include "core/channel_plans.h"
#include "core/channels.h"
#include "core/file.h"
#include "core/filter_modules.h"
#include "core/libraries.h"
#include "core/reporter.h"
#include "document/design_settings.h"
#include "platform/application.h"
#include "support/globals_fixture.h"

namespace {

constexpr int32_t AmpMaxOutputColumn = 6;

void SetPower(TCella& c, TPowerKind power) {
    switch (power) {
    case TPowerKind::None:
        for (auto& group : c.Power) group[0] = group[1] = group[2] = group[3] = 0;
        break;
    case TPowerKind::PassesDc:
        // Received at every output, fed to the inputs.
        c.Power[PowerSupply][0] = 2 | 4;
        c.Power[PowerSupply][1] = 0;
        c.Power[PowerSupply][2] = c.Power[PowerSupply][3] = AllBits;
        c.Power[PowerFeeds][0] = 1;
        c.Power[PowerFeeds][1] = AllBits;
        c.Power[PowerFeeds][2] = c.Power[PowerFeeds][3] = 0;
        break;
    case TPowerKind::FeedsInputs:
        // An internal supply feeding the inputs.
        c.Power[PowerSupply][0] = 8;
        c.Power[PowerSupply][1] = c.Power[PowerSupply][2] = c.Power[PowerSupply][3] = 0;
        c.Power[PowerFeeds][0] = 1;
        c.Power[PowerFeeds][1] = AllBits;
        c.Power[PowerFeeds][2] = c.Power[PowerFeeds][3] = 0;
        break;
    }
}

std::unique_ptr<TCella> Make(int32_t code, int32_t inputs, int32_t through, int32_t taps) {
    std::unique_ptr<TCella> c = NewCella(nullptr, code, 0, 0, inputs, through, taps);
    EXPECT_NE(c, nullptr) << "code " << code;
    return c;
}

}  // namespace

std::vector<int32_t> DesignComponents::TerSlots() { return {1, 3, 4, 5}; }
std::vector<int32_t> DesignComponents::SatSlots() { return {6, 7, 8, 9}; }

TCella* DesignComponents::Add(std::unique_ptr<TCella> cell) {
    if (cell) cell->Code = "C" + IntToStr(++added_);
    return list_.Append(std::move(cell));
}

TCella* DesignComponents::Splitter(int32_t inputs, int32_t outputs, float lossTer, float lossSat,
                                   TPowerKind power) {
    std::unique_ptr<TCella> c = Make(3, inputs, 0, outputs);
    if (!c) return nullptr;
    c->Attenuation->Set3(0, 0, 5, lossTer);
    c->Attenuation->Set3(0, 0, 9, lossSat);
    SetPower(*c, power);
    return Add(std::move(c));
}

TCella* DesignComponents::Tap(int32_t code, int32_t inputs, int32_t outputs, TPowerKind power) {
    std::unique_ptr<TCella> c = Make(code, inputs, 1, outputs);
    if (!c) return nullptr;
    SetPower(*c, power);
    return Add(std::move(c));
}

TCella* DesignComponents::Switch(int32_t code, int32_t inputs, int32_t outputs, uint32_t positions,
                                 const AnsiString& brand, TPowerKind power, float lossSat) {
    std::unique_ptr<TCella> c = Make(code, inputs, 0, outputs);
    if (!c) return nullptr;
    c->Positions[0] = positions;
    c->Brand = brand;
    c->Attenuation->Set3(0, 0, 9, lossSat);
    SetPower(*c, power);
    return Add(std::move(c));
}

TCella* DesignComponents::Amplifier(int32_t code, int32_t inputs, uint32_t positions, float maxTer,
                                    float maxSat) {
    std::unique_ptr<TCella> c = Make(code, inputs, inputs, 0);
    if (!c) return nullptr;
    c->Positions[0] = positions;
    for (int32_t i = 0; i < inputs; ++i) {
        c->Attenuation->Set3(i, AmpMaxOutputColumn, 5, maxTer);
        c->Attenuation->Set3(i, AmpMaxOutputColumn, 9, maxSat);
    }
    return Add(std::move(c));
}

TCella* DesignComponents::Mixer(int32_t inputs, const std::vector<int32_t>& input0Slots,
                                const std::vector<int32_t>& input1Slots) {
    std::unique_ptr<TCella> c = Make(29, inputs, 1, 0);
    if (!c) return nullptr;
    for (int32_t slot : input0Slots) c->Attenuation->Set3(0, 0, slot, 0.5f);
    if (inputs > 1)
        for (int32_t slot : input1Slots) c->Attenuation->Set3(0, 1, slot, 0.5f);
    return Add(std::move(c));
}

TCella* DesignComponents::HeadEndModule(int32_t code, const AnsiString& brand, const AnsiString& series,
                                        float moduleLevel, uint32_t moduleFlags, TCanalizzazione* inputPlan) {
    std::unique_ptr<TCella> c = Make(code, 1, 1, 0);
    if (!c) return nullptr;
    c->Brand = brand;
    c->Series = series;
    auto* mix = dynamic_cast<TCellaAutoMix*>(c.get());
    EXPECT_NE(mix, nullptr);
    if (mix && mix->Modules && mix->Modules->head) {
        TModuloFiltro& m = *mix->Modules->head;
        m.stage->Set2(3, 0, moduleLevel);
        m.flags = moduleFlags;
        m.slotPlan[ModuleInputSlot] = inputPlan;
    }
    return Add(std::move(c));
}

TCella* DesignComponents::Final(const AnsiString& brand, const AnsiString& series, int32_t inputs,
                                int32_t outputs, uint32_t positions, float levelTer, float levelSat) {
    std::unique_ptr<TCella> c = Make(43, inputs, outputs, 0);
    if (!c) return nullptr;
    c->Brand = brand;
    c->Series = series;
    c->Positions[0] = positions;
    c->Attenuation->Set3(0, 3, 5, levelTer);
    c->Attenuation->Set3(0, 3, 9, levelSat);
    return Add(std::move(c));
}

TCella* DesignComponents::Wideband(const std::vector<std::vector<int32_t>>& inputs, uint32_t positions,
                                   float maxOutput) {
    std::unique_ptr<TCella> c = Make(40, static_cast<int32_t>(inputs.size()), 1, 0);
    if (!c) return nullptr;
    c->Positions[0] = positions;
    for (size_t i = 0; i < inputs.size(); ++i) {
        const auto input = static_cast<int32_t>(i);
        for (int32_t slot : inputs[i]) c->Attenuation->Set3(input, WideGain, slot, 30.0f);
        c->Attenuation->Set3(input, WideMaxOutput, 5, maxOutput);
    }
    return Add(std::move(c));
}

TCella* DesignComponents::Lnb(int32_t outputs, const AnsiString& series, float level) {
    std::unique_ptr<TCella> c = Make(39, 0, outputs, 0);
    if (!c) return nullptr;
    c->Series = series;
    c->Attenuation->Set3(0, 0, 9, level);
    return Add(std::move(c));
}

TCella* DesignComponents::Dish(const AnsiString& series) {
    std::unique_ptr<TCella> c = Make(45, 0, 0, 0);
    if (!c) return nullptr;
    c->Series = series;
    return Add(std::move(c));
}

TCella* DesignComponents::Custom(const AnsiString& code) {
    std::unique_ptr<TCella> c = Make(55, 1, 0, 1);
    if (!c) return nullptr;
    TCella* added = Add(std::move(c));
    added->Code = code;
    return added;
}

TCella* DesignComponents::Outlet(int32_t code, int32_t outputs, uint8_t connectorKind,
                                 const std::vector<int32_t>& slots, bool poweredSocket) {
    std::unique_ptr<TCella> c = Make(code, 1, 1, outputs);
    if (!c) return nullptr;
    c->Choice3 = connectorKind;
    for (int32_t slot : slots) c->Attenuation->Set3(0, 0, slot, 1.0f);
    if (poweredSocket) {
        c->Power[PowerSupply][0] |= 4;
        c->Power[PowerSupply][3] = AllBits;
    } else {
        c->Power[PowerSupply][0] &= ~4u;
        c->Power[PowerSupply][3] = 0;
    }
    return Add(std::move(c));
}

TLibreria* AddTestLibrary(TLibrerie& libraries, const std::string& folder, const std::string& name,
                          const std::vector<std::unique_ptr<TCella>>& cells) {
    const std::string path = folder + "/" + name + ".alb";
    EXPECT_TRUE(TLibreria::CreateFile(path, true));
    auto* library = new TLibreria;
    library->fileName = path;
    libraries.Append(std::unique_ptr<TLibreria>(library));
    EXPECT_TRUE(library->Open(true));
    for (const auto& cell : cells) {
        TMemoryStream record;
        cell->Save(record, LibraryVersion);
        EXPECT_TRUE(library->AppendEntry(record.Bytes())) << cell->Code;
    }
    library->Close();
    return library;
}

std::unique_ptr<TCella> TestCable(const AnsiString& code, const std::vector<int32_t>& slots) {
    auto cable = std::make_unique<TNCavo>(nullptr, 1, 0, 0, 0, 0, 0);
    cable->Code = code;
    cable->Category = "Cavi";
    for (int32_t slot : slots) cable->Attenuation->Set3(0, 0, slot, 20.0f);
    return cable;
}

AnsiString RunInputCheck(TCreaAuto& engine, bool expected) {
    Application->Script().Reset();
    engine.Reporter->SetTarget(nullptr);
    engine.Reset();
    EXPECT_EQ(engine.CheckInputs(), expected);
    return ShownMessage();
}

void SetAntenna(TAntennaAutoProg& a, const AnsiString& library, const AnsiString& code,
                const std::vector<const char*>& channels) {
    a.Library = library;
    a.Code = code;
    a.Channels.Clear();
    for (const char* name : channels) {
        TCanale c;
        if (!a.Plan->SetChannel(c, a.Plan->IndexOf(name))) {
            ADD_FAILURE() << "no channel " << name;
            continue;
        }
        c.band = SistemaBandeCorrente->BandOf(c.CentreFrequency());
        c.levelMin = c.levelMax = 75.0f;
        a.Channels.Insert(c);
    }
}

void SetBuilding(TAutoProgetto& w, int staircases, int floors, int apartments, const TAppartamento& apartment,
                 int headEndDistance) {
    TPalazzo& b = *w.Opz().Building;
    b.StaircaseCount = staircases;
    for (int s = 0; s < staircases; ++s) {
        TScala& staircase = b.Staircases[s];
        staircase.FloorCount = floors;
        staircase.HeadEndDistance = headEndDistance;
        for (int f = 0; f < floors; ++f) {
            staircase.Floors[f].ApartmentCount = apartments;
            for (int a = 0; a < apartments; ++a) staircase.Floors[f].Apartments[a] = apartment;
        }
    }
    b.ComputeMaxima();
}

void SetBandAntennas(TAutoProgetto& w, const AnsiString& library) {
    SetAntenna(w.Opz().Antennas[0], library, "GAN-B3", {"5", "7"});
    SetAntenna(w.Opz().Antennas[1], library, "GAN-UHF", {"26", "30", "35"});
}

void ChooseAndFinish(TAutoProgetto& w, const std::vector<int>& choices) {
    for (int choice : choices) w.ChoiceClick(w.Choice[choice]);
    for (int page = 0; page < 2 * WizardPages && w.ModalResult.Get() == mrNone; ++page)
        w.PageForward(nullptr);
}

void DesignStaircase(TAutoProgetto& w, const AnsiString& library, int floors, int headEndDistance) {
    SetBuilding(w, 1, floors, 2, TAppartamento{2, 2, 2, 2, 5, 5}, headEndDistance);
    SetBandAntennas(w, library);
    ChooseAndFinish(w, {ChoiceTerSat, ChoiceReteCentrale, ChoiceModulare, ChoiceMs4, ChoiceUnite, ChoiceLungoScala});
}

