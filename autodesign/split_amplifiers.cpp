// The split amplifiers of a kind: when the network leaves the head end on
// several riser lines, each line gets an amplifier block fed from a chain of
// taps or splitters. Here: the parts of that chain, the amplifiers a block is
// made of (finals of the chosen families, or line amplifiers) and the jumper
// that joins the finals.
#include <algorithm>
#include <array>
#include <memory>

#include "autodesign/engine.h"
#include "cells/amplifiers.h"
#include "cells/auto_mix.h"
#include "cells/cables.h"
#include "cells/prototypes.h"
#include "core/libraries.h"
#include "core/reporter.h"

namespace {

constexpr uint32_t PositionSubstation = 0x2;
constexpr int32_t BandSlotVhf = 1;
constexpr uint32_t BandMaskVhf = 0x0a;
constexpr uint32_t BandMaskUhf = 0x30;
constexpr int32_t SmallChain = 5;        // below this many splits one splitter feeds them
constexpr int32_t ChainPartsMax = 5;
constexpr int32_t ChainPartOutputsMax = 10;
constexpr float LineLevelStart = 1000.0f;
constexpr const char* NoAmplifier = "Non sono stati trovati amplificatori adatti alle spezzature.";

}  // namespace

bool TCreaAuto::ChooseSplitAmplifiers(int32_t kind, TSplitChoice& choice) {
    choice = TSplitChoice{};
    const int32_t n = kind == 0 ? EntryInputsTer : EntryInputsSat;
    const bool tC = CarriesTer[kind] != 0, sC = CarriesSat[kind] != 0;
    const float needT = RequiredLevelTer, needS = RequiredLevelSat;

    // The parts of the chain and the rows and outputs they take.
    if (n < SmallChain) {
        choice.Parts = {n + (n & 1)};
        choice.Rows = (n + 1) / 2;
        choice.Left = n / 2;
        choice.Right = (n + 1) / 2;
    } else {
        std::array<int32_t, ChainPartsMax> sizes{};
        SplitIntoAvailableSizes(n, sizes, TapAvail[1], ChainPartsMax, ChainPartOutputsMax);
        for (int32_t p : sizes)
            if (p > 0) choice.Parts.push_back(p);
        if (choice.Parts.empty()) {
            Reporter->Report(NoAmplifier);
            return false;
        }
        const int32_t p0 = choice.Parts[0];
        choice.Rows = (p0 + 3) / 2;
        choice.Left = p0 / 2;
        choice.Right = (p0 + 1) / 2;
        for (size_t k = 1; k < choice.Parts.size(); ++k) {
            const int32_t p = choice.Parts[k];
            choice.Rows += (p + 1) / 2 + 1;
            choice.Left += p / 2;
            choice.Right += (p + 1) / 2;
        }
    }

    // The candidates.
    const TFamiglia* ter = ChosenFamily[0] >= 0 && ChosenFamily[0] < FamiliesMax ? &FamilyTer[ChosenFamily[0]] : nullptr;
    const TFamiglia* sat = ChosenFamily[1] >= 0 && ChosenFamily[1] < FamiliesMax ? &FamilySat[ChosenFamily[1]] : nullptr;
    auto finalOf = [this](const TFamiglia& family, int32_t inputs, int32_t outputs, int32_t band, float level,
                          uint32_t mask, uint32_t value) -> TCella* {
        auto* prototype = dynamic_cast<TAmplificatoreAt*>(FindPrototype({CodeAmplificatoreAt, inputs, outputs, 0}));
        return prototype ? prototype->FindForChannel(Components->head, band, level, family.Brand, family.Series, mask,
                                                     value)
                         : nullptr;
    };
    bool bandIIINeeded = false;
    if (tC && ter && needT <= ter->Smax) {
        if (ter->S[0][0] < needT) {
            bandIIINeeded = true;
            choice.BandIIIFinal = finalOf(*ter, 1, 1, BandSlotVhf, needT, BandMaskTer, BandMaskVhf);
            choice.FinalTer = finalOf(*ter, 3, 4, BandSlotTer, needT + BackOffTer, BandMaskTer, BandMaskUhf);
        } else {
            choice.FinalTer = finalOf(*ter, 1, 1, BandSlotTer, needT + BackOffTer, BandMaskTer, BandMaskTer);
        }
    }
    if (sC && sat && needS <= sat->Smax) {
        int32_t inputs = 0, outputs = 0;
        auto shape = [&](int32_t i, int32_t o) {
            if (sat->S[i - 1][o - 1] >= needS) inputs = i, outputs = o;
        };
        shape(3, 4);
        shape(1, 4);
        if (!tC || (MixerSwapped && inputs == 0)) {
            shape(3, 1);
            shape(1, 1);
        }
        if (inputs)
            choice.FinalSat = finalOf(*sat, inputs, outputs, BandSlotSat, needS + BackOffSat, BandMaskSat, BandMaskSat);
    }
    // The line amplifier of a band mask whose maximum outputs reach the needs
    // it serves, the lowest at its first band slot.
    auto lineOf = [&](uint32_t bands, bool forTer, bool forSat) -> TCella* {
        TCella* best = nullptr;
        float bestLevel = LineLevelStart;
        for (TCella* c = Components->head; c; c = c->NextCell) {
            if ((c->TypeCode != CodeAmplificatore && c->TypeCode != CodeAmplificatoreRegolato) || c->Inputs != 1 ||
                !(c->Positions[0] & PositionSubstation) || (c->BandMask & BandMaskJoint) != bands)
                continue;
            const float t = c->Attenuation->Get3(0, AmpMaxOutput, BandSlotTer);
            const float s = c->Attenuation->Get3(0, AmpMaxOutput, BandSlotSat);
            if ((forTer && t < needT + BackOffTer) || (forSat && s < needS + BackOffSat)) continue;
            const float level = forTer ? t : s;
            if (level < bestLevel) {
                best = c;
                bestLevel = level;
            }
        }
        return best;
    };
    if (tC) choice.LineTer = lineOf(BandMaskTer, true, false);
    if (sC) choice.LineSat = lineOf(BandMaskSat, false, true);
    if (tC && sC) choice.LineJoint = lineOf(BandMaskJoint, true, true);

    // The decision.
    const bool terFinal = tC && choice.FinalTer && (!bandIIINeeded || choice.BandIIIFinal);
    const bool satFinal = sC && choice.FinalSat;
    if (!terFinal) choice.FinalTer = choice.BandIIIFinal = nullptr;
    if (!satFinal) choice.FinalSat = nullptr;
    if ((!tC || terFinal) && (!sC || satFinal)) {
        choice.LineTer = choice.LineSat = choice.LineJoint = nullptr;
    } else if (tC && sC && choice.LineJoint) {
        choice.FinalTer = choice.BandIIIFinal = choice.FinalSat = nullptr;
        choice.LineTer = choice.LineSat = nullptr;
    } else if (tC && sC) {
        if (terFinal) choice.LineTer = nullptr;
        if (satFinal) choice.LineSat = nullptr;
        if ((!terFinal && !choice.LineTer) || (!satFinal && !choice.LineSat)) {
            Reporter->Report(NoAmplifier);
            return false;
        }
        if (!satFinal && !MixerSwapped) {
            Reporter->Report("Gli amplificatori individuati per le spezzature necessitano di un miscelatore "
                             "terrestre/satellite che non è stato selezionato.");
            return false;
        }
    } else if ((tC && !choice.LineTer) || (sC && !choice.LineSat)) {
        Reporter->Report(NoAmplifier);
        return false;
    }

    // The jumper that joins the finals of a block.
    if (choice.BandIIIFinal || (tC && choice.FinalSat)) {
        auto jumperOf = [this](const TFamiglia* family) -> TCella* {
            if (!family) return nullptr;
            for (TCella* c = Components->head; c; c = c->NextCell)
                if (c->TypeCode == CodeBridge && c->Brand == family->Brand && c->Series == family->Series) return c;
            return nullptr;
        };
        TCella* jumper = jumperOf(ter);
        if (!jumper && !choice.BandIIIFinal && ChosenFamily[1] > 0) jumper = jumperOf(sat);
        if (!jumper) {
            Reporter->Report("Non sono stati selezionati ponticelli adeguati alle sottostazioni.");
            return false;
        }
        // A copy serves as the plain cable piece: the list keeps the article.
        choice.Jumper.reset(jumper->Clone());
        choice.Jumper->TypeCode = CodeCable;
    }
    choice.LinesPerSplit = tC && sC && !choice.LineJoint ? 2 : 1;
    return true;
}
