#include "cells/prototypes.h"

#include <memory>
#include <utility>

#include "cells/active_filters.h"
#include "cells/amplifiers.h"
#include "cells/auto_mix.h"
#include "cells/cables.h"
#include "cells/cell.h"
#include "cells/custom_cell.h"
#include "cells/filters.h"
#include "cells/graphic_cells.h"
#include "cells/integrated_head_end.h"
#include "cells/mixers.h"
#include "cells/outlets.h"
#include "cells/passives.h"
#include "cells/sources.h"
#include "cells/splitters.h"
#include "cells/switches.h"
#include "cells/taps.h"
#include "cells/terminations.h"
#include "core/globals.h"

namespace {

using TMade = std::unique_ptr<TCella>;

// The prototypes of each class, one line per class.
// clang-format off
const TPrototypeFamily families[] = {
    {CodeFiltroS, 0, 0, 0, 0, 1, [](const TPrototypeKey&) -> TMade { return std::make_unique<TFiltroS>(nullptr, 0, 0, 0, 0); }},
    {CodeFiltroP, 0, 0, 0, 0, 1, [](const TPrototypeKey&) -> TMade { return std::make_unique<TFiltroP>(nullptr, 0, 0, 0, 0); }},
    {CodeFiltroPA, 0, 0, 0, 0, 1, [](const TPrototypeKey&) -> TMade { return std::make_unique<TFiltroPA>(nullptr, 0, 0, 0, 0); }},
    {CodeFiltroPB, 0, 0, 0, 0, 1, [](const TPrototypeKey&) -> TMade { return std::make_unique<TFiltroPB>(nullptr, 0, 0, 0, 0); }},
    {CodeDivisore, 0, 16, 1, 10, 1, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TDivisore>(nullptr, 0, 0, 0, 0, k.A, k.B); }},
    {CodeDerivatore, 0, 16, 1, 10, 1, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TDerivatore>(nullptr, 0, 0, 0, 0, k.A, k.B); }},
    {CodeDerivatoreS, 0, 16, 1, 10, 1, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TDerivatoreS>(nullptr, 0, 0, 0, 0, k.A, k.B); }},
    {CodeDerivatoreN, 0, 16, 1, 10, 1, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TDerivatoreN>(nullptr, 0, 0, 0, 0, k.A, k.B); }},
    {CodeSwitch, 1, SwitchPrototypeInputs, 1, SwitchPrototypeOutputs, 1, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TSwitch>(nullptr, 0, 0, 0, 0, k.Code, k.A, k.B); }},
    {CodeSwitchMatrix, 1, SwitchPrototypeInputs, 1, SwitchPrototypeOutputs, 1, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TSwitch>(nullptr, 0, 0, 0, 0, k.Code, k.A, k.B); }},
    {CodeSwitchN, 1, SwitchPrototypeInputs, 1, SwitchPrototypeOutputs, 1, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TSwitchN>(nullptr, 0, 0, 0, 0, k.Code, k.A, k.B); }},
    {CodeSwitchNMatrix, 1, SwitchPrototypeInputs, 1, SwitchPrototypeOutputs, 1, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TSwitchN>(nullptr, 0, 0, 0, 0, k.Code, k.A, k.B); }},
    {CodeEndOutlet, 1, 3, 0, 0, 1, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TPresaD>(nullptr, 0, 0, 0, 0, k.Code, k.A); }},
    {CodeTerminatedOutlet, 1, 3, 0, 0, 1, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TPresaD>(nullptr, 0, 0, 0, 0, k.Code, k.A); }},
    {CodePassThroughOutlet, 1, 3, 0, 0, 1, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TPresaD>(nullptr, 0, 0, 0, 0, k.Code, k.A); }},
    {CodeCable, 0, 0, 0, 0, 1, [](const TPrototypeKey&) -> TMade { return std::make_unique<TNCavo>(nullptr, 1, 0, 0, 0, 0, 0); }},
    {CodeBridge, 0, 0, 0, 0, 1, [](const TPrototypeKey&) -> TMade { auto c = std::make_unique<TNCavo>(nullptr, 1, 0, 0, 0, 0, 0); c->TypeCode = CodeBridge; return c; }},
    {CodeTermination, 1, 17, 0, 0, 1, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TChiusura>(nullptr, 0, 0, 0, 0, k.A); }},
    {CodeSeparatoreCC, 0, 0, 0, 0, 1, [](const TPrototypeKey&) -> TMade { return std::make_unique<TSeparatoreCC>(nullptr, 0, 0, 0, 0); }},
    {CodeInseritore, 0, 0, 0, 0, 1, [](const TPrototypeKey&) -> TMade { return std::make_unique<TInseritore>(nullptr, 0, 0, 0, 0); }},
    {CodeAlimentatore, 1, PowerSupplyPrototypeOutputs, 0, 0, 1, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TAlimentatore>(nullptr, 0, 0, 0, 0, k.A); }},
    {CodeAttenuatore, 0, 0, 0, 0, 1, [](const TPrototypeKey&) -> TMade { return std::make_unique<TAttenuatore>(nullptr, 0, 0, 0, 0); }},
    {CodeAttenuatoreR, 0, 0, 0, 0, 1, [](const TPrototypeKey&) -> TMade { return std::make_unique<TAttenuatoreR>(nullptr, 0, 0, 0, 0); }},
    {CodeEqualizzatore, 0, 0, 0, 0, 1, [](const TPrototypeKey&) -> TMade { return std::make_unique<TEqualizzatore>(nullptr, 0, 0, 0, 0); }},
    {CodeMiscelatore, 2, MixerBranchesMax, 0, 0, 1, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TMiscelatore>(nullptr, 0, 0, 0, 0, k.A); }},
    {CodeDemiscelatore, 2, MixerBranchesMax, 0, 0, 1, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TDemiscelatore>(nullptr, 0, 0, 0, 0, k.A); }},
    {CodeAlimentatoreSF, 0, 0, 0, 0, 1, [](const TPrototypeKey&) -> TMade { return std::make_unique<TAlimentatoreSF>(nullptr, 0, 0, 0, 0); }},
    {CodeParabola, 0, 0, 0, 0, 1, [](const TPrototypeKey&) -> TMade { return std::make_unique<TParabola>(nullptr, 0, 0, 0, 0); }},
    {CodeRicevitoreSat, 0, 0, 0, 0, 1, [](const TPrototypeKey&) -> TMade { return std::make_unique<TRicevitoreSat>(nullptr, 0, 0, 0, 0); }},
    {CodeCustom, 1, CustomMaxPorts, 1, CustomMaxPorts, 1, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TCellaCustom>(nullptr, 0, 0, 0, 0, k.A, k.B); }},
    // Amplifiers: n lines through n ways (variant 0), one line to n outputs (variant 1).
    {CodeAmplificatore, 1, AmplifierPrototypeWays, 0, 0, 2, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TAmplificatore>(nullptr, 0, 0, 0, 0, k.Code, k.Variant ? 1 : k.A, k.A); }},
    {CodeAmplificatoreRegolato, 1, AmplifierPrototypeWays, 0, 0, 2, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TAmplificatore>(nullptr, 0, 0, 0, 0, k.Code, k.Variant ? 1 : k.A, k.A); }},
    {CodeAmplificatoreA, 1, AmplifierPrototypeWays, 0, 0, 2, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TAmplificatoreA>(nullptr, 0, 0, 0, 0, k.Variant ? 1 : k.A, k.A); }},
    {CodeAntenna, 0, 0, 0, 0, 1, [](const TPrototypeKey&) -> TMade { return std::make_unique<TAntenna>(nullptr, 0, 0, 0, 0); }},
    {CodeSat, 0, SatPrototypeOutputs, 0, 0, 1, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TSat>(nullptr, 0, 0, 0, 0, k.A); }},
    {CodeCentraleIntegrata, 1, IntegratedMaxInputs, 1, IntegratedMaxOutputs, 1, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TCentraleIntegrata>(nullptr, 0, 0, 0, 0, k.A, k.B); }},
    {CodeAmplificatoreAt, AutoMixOneInput, AutoMixCommonLine, AutoMixOutputCentre, AutoMixOutputBypass, 1, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TAmplificatoreAt>(nullptr, 0, 0, 0, 0, k.A, k.B); }},
    {CodeFiltroAT, AutoMixOneInput, AutoMixCommonLine, 0, AutoMixOutputOuter, 1, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TFiltroAT>(nullptr, 0, 0, 0, 0, k.A, k.B); }},
    {CodeFiltroCAG, AutoMixOneInput, AutoMixCommonLine, 0, AutoMixOutputOuter, 1, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TFiltroCAG>(nullptr, 0, 0, 0, 0, k.A, k.B); }},
    {CodeConvertitore, AutoMixOneInput, AutoMixCommonLine, 0, AutoMixOutputOuter, 1, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TConvertitore>(nullptr, 0, 0, 0, 0, k.A, k.B); }},
    {CodeModulatore, 0, AutoMixOutputOuter, 0, 0, 1, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TModulatore>(nullptr, 0, 0, 0, 0, k.A); }},
    {CodeTerrestre, 0, WideBandPrototypeInputs, 0, WideBandPrototypeOutputs, 1, [](const TPrototypeKey& k) -> TMade { return std::make_unique<TTerrestre>(nullptr, 0, 0, 0, 0, k.A, k.B); }},
};
// clang-format on

const TPrototypeFamily* FamilyOf(const TPrototypeKey& key) {
    for (const TPrototypeFamily& f : families)
        if (f.Code == key.Code && key.A >= f.AMin && key.A <= f.AMax && key.B >= f.BMin && key.B <= f.BMax &&
            key.Variant >= 0 && key.Variant < f.Variants)
            return &f;
    return nullptr;
}

}  // namespace

TUltimiComponenti::TUltimiComponenti() = default;

TUltimiComponenti::~TUltimiComponenti() = default;

bool TUltimiComponenti::HasKind(const TPrototypeKey& key) { return FamilyOf(key) != nullptr; }

TCella* TUltimiComponenti::Get(const TPrototypeKey& key) {
    auto it = made_.find(key);
    if (it != made_.end()) return it->second.get();
    const TPrototypeFamily* family = FamilyOf(key);
    if (!family) return nullptr;
    std::unique_ptr<TCella> cell = family->Make(key);
    if (!cell) return nullptr;
    return made_.emplace(key, std::move(cell)).first->second.get();
}

TCella* FindPrototype(const TPrototypeKey& key) {
    return UltimiComponenti ? UltimiComponenti->Get(key) : nullptr;
}
