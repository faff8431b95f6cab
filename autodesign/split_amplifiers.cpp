// The split amplifiers of a kind: when the network leaves the head end on
// several riser lines, each line gets an amplifier block fed from a chain of
// taps or splitters. Here: the parts of that chain, the amplifiers a block is
// made of (finals of the chosen families, or line amplifiers) and the jumper
// that joins the finals.
#include <algorithm>
#include <array>
#include <memory>
#include <span>

#include "autodesign/drawing_names.h"
#include "autodesign/engine.h"
#include "cells/amplifiers.h"
#include "cells/auto_mix.h"
#include "cells/cables.h"
#include "cells/prototypes.h"
#include "cells/splitters.h"
#include "core/libraries.h"
#include "core/reporter.h"
#include "document/design_settings.h"
#include "document/grid.h"

namespace {

constexpr int32_t SmallChain = 5;  // below this many splits one splitter feeds them
constexpr int32_t ChainPartsMax = 5;
constexpr int32_t ChainPartOutputsMax = 10;
constexpr float LineLevelStart = 1000.0f;
constexpr const char* NoAmplifier = "Non sono stati trovati amplificatori adatti alle spezzature.";

// The family chosen for a kind's head end, if any.
const TFamiglia* ChosenFamilyOf(const TCreaAuto& engine, int kind) {
    const int32_t chosen = engine.ChosenFamily[kind];
    if (chosen < 0 || chosen >= FamiliesMax) return nullptr;
    return kind == 0 ? &engine.FamilyTer[chosen] : &engine.FamilySat[chosen];
}

// Whether the bypass input of a four-output final amplifies every band of
// bands: the row the bypass takes has each of its figures there.
bool BypassHandles(const TCella& final, uint32_t bands) {
    constexpr int32_t BypassRow = 2;
    if (!final.Attenuation || final.Attenuation->Rank() != 3 || final.Attenuation->Size2() <= BypassRow)
        return false;
    for (int32_t b = 0; b < BandSlots; ++b) {
        if (!(bands & (1u << b))) continue;
        for (int32_t column : {WideRegulation, WideGain, WideNoiseFigure, WideMaxOutput}) {
            const float v = final.Attenuation->Get3(BypassRow, column, b);
            if (v <= LevelNone && v != LevelBlocked) return false;
        }
    }
    return true;
}

using TSplitChoice = TCreaAuto::TSplitChoice;

constexpr const char* MixerMissing =
    "Gli amplificatori individuati per le spezzature necessitano di un miscelatore terrestre/satellite "
    "che non è stato selezionato.";
constexpr const char* NoJumper = "Non sono stati selezionati ponticelli adeguati alle sottostazioni.";

// The parts of the tap chain that feeds the blocks, with the rows they take
// and the outputs they give left and right: one splitter below SmallChain
// splits, else taps of the sizes offered; false when none is.
bool ChooseChainParts(int32_t n, std::span<const uint8_t> taps, TSplitChoice& choice) {
    if (n < SmallChain) {
        choice.Parts = {n + (n & 1)};
        choice.Rows = (n + 1) / 2;
        choice.Left = n / 2;
        choice.Right = (n + 1) / 2;
        return true;
    }
    std::array<int32_t, ChainPartsMax> sizes{};
    TCreaAuto::SplitIntoAvailableSizes(n, sizes, taps, ChainPartsMax, ChainPartOutputsMax);
    for (int32_t p : sizes)
        if (p > 0) choice.Parts.push_back(p);
    if (choice.Parts.empty()) return false;
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
    return true;
}

// The family's final of the last-used prototype's port counts whose maximum
// output at band is the lowest not below level.
TCella* FinalOf(const TCreaAuto& engine, const TFamiglia& family, int32_t inputs, int32_t outputs,
                int32_t band, float level, uint32_t mask, uint32_t value) {
    auto* prototype =
        dynamic_cast<TAmplificatoreAt*>(FindPrototype({CodeAmplificatoreAt, inputs, outputs, 0}));
    return prototype ? prototype->FindForChannel(engine.Components->head, band, level, family.Brand,
                                                 family.Series, mask, value)
                     : nullptr;
}

// The terrestrial finals a block would take: one, or a band I/III final
// beside a band IV/V one where the family's one-input substation final falls
// short of the level asked. True when the pair is needed.
bool ChooseTerrestrialFinals(const TCreaAuto& engine, TSplitChoice& choice) {
    const TFamiglia* ter = ChosenFamilyOf(engine, 0);
    const float needT = engine.RequiredLevelTer, level = needT + engine.BackOffTer;
    bool bandIIINeeded = false;
    if (ter && needT <= ter->Smax) {
        if (ter->S[0][0] < needT) {
            bandIIINeeded = true;
            choice.BandIIIFinal = FinalOf(engine, *ter, 1, 1, BandSlotVhf, needT, BandMaskTer, BandMaskVhf);
            choice.FinalTer = FinalOf(engine, *ter, 3, 4, BandSlotTer, level, BandMaskTer, BandMaskUhf);
        } else {
            choice.FinalTer = FinalOf(engine, *ter, 1, 1, BandSlotTer, level, BandMaskTer, BandMaskTer);
        }
    }
    return bandIIINeeded;
}

// The satellite final a block would take: the last of the shapes whose
// substation figure reaches the level asked, four outputs first, one output
// only where no terrestrial line joins it or a mixer does.
void ChooseSatelliteFinal(const TCreaAuto& engine, bool tC, TSplitChoice& choice) {
    const TFamiglia* sat = ChosenFamilyOf(engine, 1);
    const float needS = engine.RequiredLevelSat, level = needS + engine.BackOffSat;
    if (!sat || !(needS <= sat->Smax)) return;
    int32_t inputs = 0, outputs = 0;
    // With the terrestrial line in the block, a four-output final takes it
    // on its bypass input: one whose bypass does not amplify the received
    // bands would pass them on as channels it does not handle, so it does
    // not serve and the mixer's way is taken.
    const uint32_t terBands = engine.ReceivedTerrestrialBands();
    auto shape = [&](int32_t i, int32_t o) {
        if (sat->S[i - 1][o - 1] < needS) return;
        if (tC && o == AutoMixOutputBypass) {
            const TCella* f = FinalOf(engine, *sat, i, o, BandSlotSat, level, BandMaskSat, BandMaskSat);
            if (f && !BypassHandles(*f, terBands)) return;
        }
        inputs = i, outputs = o;
    };
    shape(3, 4);
    shape(1, 4);
    if (!tC || (engine.MixerSwapped && inputs == 0)) {
        shape(3, 1);
        shape(1, 1);
    }
    if (inputs)
        choice.FinalSat =
            FinalOf(engine, *sat, inputs, outputs, BandSlotSat, level, BandMaskSat, BandMaskSat);
}

// The line amplifier of a band mask whose maximum outputs reach the needs
// it serves, the lowest at its first band slot.
TCella* LineAmplifierOf(const TCreaAuto& engine, uint32_t bands, bool forTer, bool forSat) {
    const float needT = engine.RequiredLevelTer + engine.BackOffTer;
    const float needS = engine.RequiredLevelSat + engine.BackOffSat;
    TCella* best = nullptr;
    float bestLevel = LineLevelStart;
    for (TCella* c = engine.Components->head; c; c = c->NextInList) {
        if ((c->TypeCode != CodeAmplificatore && c->TypeCode != CodeAmplificatoreRegolato) ||
            c->Inputs != 1 || !(c->Positions[0] & PositionSubstation) ||
            (c->BandMask & BandMaskJoint) != bands)
            continue;
        const float t = c->Attenuation->Get3(0, AmpMaxOutput, BandSlotTer);
        const float s = c->Attenuation->Get3(0, AmpMaxOutput, BandSlotSat);
        if ((forTer && t < needT) || (forSat && s < needS)) continue;
        const float level = forTer ? t : s;
        if (level < bestLevel) {
            best = c;
            bestLevel = level;
        }
    }
    return best;
}

// The decision among the candidates: the finals where every kind carried
// has one, else a joint line amplifier alone, else for each kind its final
// or its line amplifier (joined by the mixer). The refusal's words when no
// block can be made of them, else none.
const char* DecideSplitAmplifiers(bool tC, bool sC, bool bandIIINeeded, bool mixer, TSplitChoice& choice) {
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
        if ((!terFinal && !choice.LineTer) || (!satFinal && !choice.LineSat)) return NoAmplifier;
        if (!satFinal && !mixer) return MixerMissing;
    } else if ((tC && !choice.LineTer) || (sC && !choice.LineSat)) {
        return NoAmplifier;
    }
    return nullptr;
}

// The jumper of a family among the chosen components.
TCella* JumperOf(const TCreaAuto& engine, const TFamiglia* family) {
    if (!family) return nullptr;
    for (TCella* c = engine.Components->head; c; c = c->NextInList)
        if (c->TypeCode == CodeBridge && c->Brand == family->Brand && c->Series == family->Series) return c;
    return nullptr;
}

// The jumper that joins the finals of a block: the terrestrial family's, else
// (without a band I/III final) a later satellite family's; false without one.
// A copy serves as the plain cable piece: the list keeps the article.
bool ChooseJumper(const TCreaAuto& engine, TSplitChoice& choice) {
    TCella* jumper = JumperOf(engine, ChosenFamilyOf(engine, 0));
    if (!jumper && !choice.BandIIIFinal && engine.ChosenFamily[1] > 0)
        jumper = JumperOf(engine, ChosenFamilyOf(engine, 1));
    if (!jumper) return false;
    choice.Jumper = jumper->Clone();
    choice.Jumper->TypeCode = CodeCable;
    return true;
}

}  // namespace

uint32_t TCreaAuto::ReceivedTerrestrialBands() const {
    uint32_t bands = 0;
    for (int32_t a = 0; a < std::clamp(AntennaCount, 0, static_cast<int32_t>(Antennas.size())); ++a)
        for (int32_t b = 0; b < BandSlots; ++b)
            if (Antennas[a].BandUse[b]) bands |= 1u << b;
    bands &= BandMaskTer;
    return bands ? bands : BandMaskTer;
}

bool TCreaAuto::ChooseSplitAmplifiers(int32_t kind, TSplitChoice& choice) {
    choice = TSplitChoice{};
    const int32_t n = kind == 0 ? EntryInputsTer : EntryInputsSat;
    const bool tC = CarriesTer[kind] != 0, sC = CarriesSat[kind] != 0;
    if (!ChooseChainParts(n, TapAvail[1], choice)) {
        Reporter->Report(NoAmplifier);
        return false;
    }
    // The candidates, and the decision among them.
    const bool bandIIINeeded = tC && ChooseTerrestrialFinals(*this, choice);
    if (sC) ChooseSatelliteFinal(*this, tC, choice);
    if (tC) choice.LineTer = LineAmplifierOf(*this, BandMaskTer, true, false);
    if (sC) choice.LineSat = LineAmplifierOf(*this, BandMaskSat, false, true);
    if (tC && sC) choice.LineJoint = LineAmplifierOf(*this, BandMaskJoint, true, true);
    if (const char* refusal = DecideSplitAmplifiers(tC, sC, bandIIINeeded, MixerSwapped != nullptr, choice)) {
        Reporter->Report(refusal);
        return false;
    }
    if ((choice.BandIIIFinal || (tC && choice.FinalSat)) && !ChooseJumper(*this, choice)) {
        Reporter->Report(NoJumper);
        return false;
    }
    choice.LinesPerSplit = tC && sC && !choice.LineJoint ? 2 : 1;
    return true;
}

// ---------------------------------------------------------------- placement

namespace {

// Where a line of a block takes its feed: the column and row of the square
// under (or above) the module's input, the row its feed comes along, and
// whether the module is turned (fed from below its box).
struct TLineInput {
    int32_t Column = 0, Row = 0, Approach = 0;
    bool Turned = true;
};

float FinalDraw(const TCella* cell) { return cell ? std::max(cell->Current1, 0.0f) : 0.0f; }

// A turned final has its output on its top row: at its left column when the
// output shares the row with the bypass input (on its right), else in the middle.
int32_t TurnedOutputColumn(const TCella& final, int32_t x) {
    return final.ThroughOutputs == AutoMixOutputBypass ? x : x + 1;
}
int32_t TurnedInputColumn(const TCella& final, int32_t x) {
    return final.Inputs == AutoMixOneInput ? x + 1 : x + 2;
}

// The columns an amplifier module takes in a block.
constexpr int32_t ModuleWidth = 3;

// The split blocks of a kind on a work grid: a row of amplifier blocks, one
// per split, and the chains of taps that feed them from their entries.
class TSplitBlocks {
public:
    TSplitBlocks(TCreaAuto& engine, TGridData* grid, int32_t kind, TCreaAuto::TSplitChoice& choice,
                 int32_t n);
    // One amplifier block with its supply, its output led down below the blocks.
    bool PlaceBlock(int32_t split);
    // The entry of the chains between the blocks fed from its left and its right.
    void PlaceEntry();
    // The chain of one amplifier line and its outputs to the blocks.
    bool PlaceChain(int32_t line);

private:
    // What a block being placed has so far: its first column, the next
    // free one, the draw of its finals, whether its modules are turned,
    // its output with the square above it and the terrestrial output
    // inside a two-line block.
    struct TBlockState {
        int32_t Start = 0, Next = 0;
        float Consumption = 0.0f;
        bool Turned = true;
        int32_t OutColumn = 0, OutTop = 0;
        int32_t TerColumn = -1, TerTop = 0;
    };
    bool PlaceTerrestrialModules(TBlockState& block, std::array<TLineInput, 2>& in);
    bool PlaceSatelliteModules(TBlockState& block, std::array<TLineInput, 2>& in);
    bool PlaceJointModule(TBlockState& block, std::array<TLineInput, 2>& in);
    // The block's output led to the column left of it, below the blocks.
    void LeadOutput(int32_t split, const TBlockState& block, std::array<TLineInput, 2>& in);
    // Each side walks the staircases from its end: the left from the
    // first, the right from the last.
    bool FeedSide(const std::vector<int32_t>& rows, bool left, int32_t line, int32_t column);

    bool Place(TCella* prototype, int32_t column, int32_t row, int32_t orientation) {
        return engine.PlaceClone(prototype, column, row, orientation, grid) != nullptr;
    }
    // The mixer over a block's output, turned: its first input then stands
    // on the right, where the satellite line arrives, and its second on the
    // left, where the terrestrial one is led. The input check keeps the
    // shared mixer terrestrial first (as the head end places it, unturned),
    // so the clone placed here takes its inputs back in the other order.
    bool PlaceTurnedMixer(int32_t column, int32_t row) {
        std::unique_ptr<TCella> mixer(engine.MixerSwapped ? engine.MixerSwapped->Clone() : nullptr);
        if (!mixer) return Place(nullptr, column, row, FromBelow);
        mixer->SwapOutputColumns(0, 1);
        mixer->Column = column;
        mixer->Row = row;
        mixer->Orientation = FromBelow;
        return engine.PlaceNew(std::move(mixer), grid) != nullptr;
    }
    void HorizontalRun(int32_t c1, int32_t c2, int32_t row) {
        if (c1 <= c2) engine.DrawCableRun(c1, row, c2, row, NoBend, RunHorizontalFirst);
    }
    void VerticalRun(int32_t column, int32_t r1, int32_t r2) {
        if (r1 <= r2) engine.DrawCableRun(column, r1, column, r2, NoBend, RunVerticalFirst);
    }
    // The terrestrial output of a block (a turned module's, on its top at
    // column from row top up to outputRow) led along outputRow to column target.
    void LeadTerrestrial(int32_t column, int32_t top, int32_t target, bool corner);

    TCreaAuto& engine;
    TGridData* grid;
    const int32_t kind;
    TCreaAuto::TSplitChoice& choice;
    const int32_t n;  // the splits
    const bool tC, sC;
    const int32_t lines;
    TNCavo* cable;
    const float joint;
    // The row the modules stand on, the row above it their outputs leave
    // along, and the lane the outputs of turned blocks go left on.
    const int32_t y0, outputRow, lane;
    std::vector<int32_t> starts;
    std::vector<std::array<TLineInput, 2>> inputs;
    int32_t x = 1, d = 0;  // the next block's column, and a block's width
    int32_t leftSplits = 0;
    int32_t entry = 0;
};

TSplitBlocks::TSplitBlocks(TCreaAuto& engine, TGridData* grid, int32_t kind, TCreaAuto::TSplitChoice& choice,
                           int32_t n)
    : engine(engine),
      grid(grid),
      kind(kind),
      choice(choice),
      n(n),
      tC(engine.CarriesTer[kind] != 0),
      sC(engine.CarriesSat[kind] != 0),
      lines(choice.LinesPerSplit),
      cable(engine.Cables[kind == 0 ? CableRiserTer : CableRiserSat].get()),
      joint(engine.Settings->APLungCavoComp),
      // A band I/III pair jumpers its finals over the row above them, and its
      // output goes back over one row more.
      y0(lines * choice.Rows + 3 + (choice.BandIIIFinal ? 1 : 0)),
      outputRow(y0 - 1),
      lane(choice.BandIIIFinal ? y0 - 3 : y0 - 2),
      starts(n),
      inputs(n) {
    engine.SplitOutputColumn[kind].assign(n, 0);
}

void TSplitBlocks::LeadTerrestrial(int32_t column, int32_t top, int32_t target, bool corner) {
    VerticalRun(column, outputRow + 1, top);
    engine.PlaceCableSegmentEx(column, outputRow, BendRightBottom);
    HorizontalRun(column + 1, target - 1, outputRow);
    if (corner) engine.PlaceCableSegmentEx(target, outputRow, BendLeftBottom);
}

bool TSplitBlocks::PlaceBlock(int32_t split) {
    TBlockState block;
    block.Start = block.Next = x;
    block.OutColumn = x;
    block.OutTop = block.TerTop = outputRow;
    starts[split] = x;
    std::array<TLineInput, 2>& in = inputs[split];
    if (!PlaceTerrestrialModules(block, in) || !PlaceSatelliteModules(block, in) ||
        !PlaceJointModule(block, in))
        return false;
    if (block.Consumption > 0.0f) {
        const TFamiglia* family = ChosenFamilyOf(engine, choice.FinalTer ? 0 : 1);
        // A block without its supply is not a working design.
        if (!family || !engine.SelectPowerSupplies(block.Next, y0, grid, family->Brand, family->Series, 1,
                                                   block.Consumption))
            return false;
        block.Next += ModuleWidth;
    }
    block.Next += ModuleWidth;
    x = block.Next;
    d = x - block.Start;
    LeadOutput(split, block, in);
    return true;
}

bool TSplitBlocks::PlaceTerrestrialModules(TBlockState& block, std::array<TLineInput, 2>& in) {
    const int32_t s = block.Start;
    int32_t& x = block.Next;
    if (choice.BandIIIFinal) {
        if (!Place(choice.BandIIIFinal, x + 2, y0 + 4, FromBelow)) return false;
        block.Consumption += FinalDraw(choice.BandIIIFinal);
        x += ModuleWidth;
    }
    if (choice.FinalTer) {
        if (!Place(choice.FinalTer, x + 2, y0 + 4, FromBelow)) return false;
        block.Consumption += FinalDraw(choice.FinalTer);
        in[0] = {TurnedInputColumn(*choice.FinalTer, x), y0 + 5, y0 + 5, true};
        block.OutColumn = block.TerColumn = TurnedOutputColumn(*choice.FinalTer, x);
        if (choice.BandIIIFinal) {
            // The band I/III final hears the line through the UHF final's
            // other corner and feeds the UHF final's bypass.
            engine.SetCableTemplate(choice.Jumper.get(), CableLengthUncounted);
            engine.PlaceCableSegmentEx(s + 1, y0 + 5, BendRightTop);
            engine.PlaceCableSegment(s + 2, y0 + 5);
            engine.PlaceCableSegmentEx(s + 3, y0 + 5, BendLeftTop);
            engine.PlaceCableSegmentV(s + 1, outputRow);
            engine.PlaceCableSegmentEx(s + 1, y0 - 2, BendRightBottom);
            HorizontalRun(s + 2, s + 4, y0 - 2);
            engine.PlaceCableSegmentEx(s + 5, y0 - 2, BendLeftBottom);
            engine.PlaceCableSegmentV(s + 5, outputRow);
        }
        x += ModuleWidth;
    }
    if (choice.LineTer) {
        const int32_t row = choice.FinalSat ? y0 + 2 : y0;
        if (!Place(choice.LineTer, x + 1, row, sC ? FromBelow : FacingDown)) return false;
        if (sC) {
            in[0] = {x + 1, row + 1, row + 1, true};
            block.TerColumn = block.OutColumn = x + 1;
            block.TerTop = block.OutTop = row - 1;
        } else {
            in[0] = {x + 1, row - 1, row - 1, false};
            block.Turned = false;
            block.OutColumn = x + 1;
        }
        x += ModuleWidth;
    }
    return true;
}

bool TSplitBlocks::PlaceSatelliteModules(TBlockState& block, std::array<TLineInput, 2>& in) {
    int32_t& x = block.Next;
    const int32_t satLine = tC ? 1 : 0;
    if (choice.FinalSat) {
        if (!Place(choice.FinalSat, x + 2, y0 + 4, FromBelow)) return false;
        block.Consumption += FinalDraw(choice.FinalSat);
        in[satLine] = {TurnedInputColumn(*choice.FinalSat, x), y0 + 5, y0 + 5, true};
        if (choice.FinalSat->Inputs != AutoMixOneInput &&
            !engine.PlaceTermination(x, y0 + 5, FacingDown, grid))
            return false;
        const bool bypass = choice.FinalSat->ThroughOutputs == AutoMixOutputBypass;
        block.OutColumn = TurnedOutputColumn(*choice.FinalSat, x);
        block.OutTop = outputRow;
        if (!tC) {
            if (bypass && !engine.PlaceTermination(x + 2, outputRow, FromBelow, grid)) return false;
        } else if (bypass) {
            if (choice.FinalTer)
                engine.SetCableTemplate(choice.Jumper.get(), CableLengthUncounted);
            else
                engine.SetCableTemplate(cable, joint);
            LeadTerrestrial(block.TerColumn, block.TerTop, x + 2, true);
        } else {
            if (!PlaceTurnedMixer(x, outputRow)) return false;
            engine.SetCableTemplate(cable, joint);
            LeadTerrestrial(block.TerColumn, block.TerTop, x, false);
            engine.PlaceCableSegmentEx(block.OutColumn, outputRow, BendLeftBottom);
            block.OutColumn = x;
            block.OutTop = y0 - 2;
        }
        x += ModuleWidth;
    }
    if (choice.LineSat) {
        const int32_t row = choice.FinalTer ? y0 + 2 : y0;
        if (!Place(choice.LineSat, x + 1, row, FromBelow)) return false;
        in[satLine] = {x + 1, row + 1, row + 1, true};
        block.OutColumn = x + 1;
        block.OutTop = row - 1;
        if (tC) {
            if (!PlaceTurnedMixer(x, outputRow)) return false;
            engine.SetCableTemplate(cable, joint);
            LeadTerrestrial(block.TerColumn, block.TerTop, x, false);
            VerticalRun(x + 1, y0, block.OutTop);
            engine.PlaceCableSegmentEx(x + 1, outputRow, BendLeftBottom);
            block.OutColumn = x;
            block.OutTop = y0 - 2;
        }
        x += ModuleWidth;
    }
    return true;
}

bool TSplitBlocks::PlaceJointModule(TBlockState& block, std::array<TLineInput, 2>& in) {
    if (!choice.LineJoint) return true;
    int32_t& x = block.Next;
    if (!Place(choice.LineJoint, x + 1, y0, FacingDown)) return false;
    in[0] = {x + 1, outputRow, outputRow, false};
    block.Turned = false;
    block.OutColumn = x + 1;
    x += ModuleWidth;
    return true;
}

void TSplitBlocks::LeadOutput(int32_t split, const TBlockState& block, std::array<TLineInput, 2>& in) {
    const int32_t s = block.Start;
    const bool final = choice.FinalTer || choice.FinalSat;
    const int32_t rb = final ? y0 + 5 : y0 + 1;
    // Feeds of a block with a supply come below it; the terrestrial feed of
    // a two-line block comes one row below the satellite one.
    if (final)
        for (TLineInput& line : in) line.Approach = std::max(line.Approach, y0 + 5);
    if (lines == 2) in[0].Approach = std::max(in[0].Approach, in[1].Approach + 1);

    engine.SetCableTemplate(cable, CableLengthUncounted);
    if (block.Turned) {
        VerticalRun(block.OutColumn, lane + 1, block.OutTop);
        engine.PlaceCableSegmentEx(block.OutColumn, lane, BendLeftBottom);
        HorizontalRun(s, block.OutColumn - 1, lane);
        engine.PlaceCableSegmentEx(s - 1, lane, BendRightBottom);
        VerticalRun(s - 1, lane + 1, rb + 1);
        engine.SplitOutputColumn[kind][split] = s - 1;
    } else {
        VerticalRun(block.OutColumn, y0 + 1, rb + 1);
        engine.SplitOutputColumn[kind][split] = block.OutColumn;
    }
    for (TLineInput& line : in) line.Turned = block.Turned;
}

void TSplitBlocks::PlaceEntry() {
    leftSplits = std::min(n / 2, choice.Left);
    if (choice.Right < n - leftSplits) leftSplits = n - choice.Right;
    entry = leftSplits * d + 1;
    engine.SplitEntryColumn[kind] = entry;
    engine.SplitSpacing[kind] = d;
    if (lines == 2) engine.SplitEntryColumn[1] = entry + 2;
}

bool TSplitBlocks::PlaceChain(int32_t line) {
    const int32_t column = entry + 2 * line;
    const int32_t first = lines == 2 && line == 0 ? choice.Rows + 1 : 1;
    const int32_t band = (line == 0 && tC) ? BandSlotTer : BandSlotSat;
    engine.SetCableTemplate(cable, joint);
    VerticalRun(column, 0, first - 1);
    std::vector<int32_t> leftRows, rightRows;
    int32_t y = first;
    for (size_t k = 0; k < choice.Parts.size(); ++k) {
        const int32_t p = choice.Parts[k];
        if (k > 0) {
            engine.SetCableTemplate(cable, joint);
            engine.PlaceCableSegmentV(column, y);
            ++y;
        }
        std::unique_ptr<TCella> tap;
        if (n < SmallChain)
            tap = std::make_unique<TDivisore>(nullptr, 0, 0, column, y, 1, p);
        else
            tap = std::make_unique<TDerivatore>(nullptr, 0, 0, column, y, 1, p);
        // A chain part without a model of the list would leave the design unpriced.
        if (!tap->FindModelForAttenuation(engine.Components->head, band, tC && (line == 0 || lines == 1),
                                          sC && (line == 1 || lines == 1))) {
            engine.Reporter->Report("Errore di creazione disegno. Non riesco a progettare l'impianto.");
            return false;
        }
        if (!engine.PlaceNew(std::move(tap), grid)) return false;
        for (int32_t r = 0; r < p / 2; ++r) leftRows.push_back(y + r);
        for (int32_t r = 0; r < (p + 1) / 2; ++r) rightRows.push_back(y + r);
        y += (p + 1) / 2;
    }
    if (n >= SmallChain && !engine.PlaceTermination(column, y, FacingDown, grid)) return false;
    return FeedSide(leftRows, true, line, column) && FeedSide(rightRows, false, line, column);
}

bool TSplitBlocks::FeedSide(const std::vector<int32_t>& rows, bool left, int32_t line, int32_t column) {
    const int32_t staircases = std::clamp(engine.Settings->Building->StaircaseCount, 1, DesignStaircasesMax);
    int32_t staircase = left ? 0 : staircases - 1, used = 0;
    const int32_t count = left ? leftSplits : n - leftSplits;
    for (size_t k = 0; k < rows.size(); ++k) {
        const int32_t row = rows[k];
        if (static_cast<int32_t>(k) >= count) {
            if (!engine.PlaceTermination(left ? column - 1 : column + 1, row, left ? FacingLeft : FacingRight,
                                         grid))
                return false;
            continue;
        }
        const int32_t split = left ? static_cast<int32_t>(k) : n - 1 - static_cast<int32_t>(k);
        const int32_t clamped = std::clamp(staircase, 0, staircases - 1);
        const TScala& sc = engine.Settings->Building->Staircases[clamped];
        engine.SetCableTemplate(cable, static_cast<float>(sc.HeadEndDistance));
        if (++used > engine.RiserBreakCount[clamped][kind]) {
            used = 0;
            staircase += left ? 1 : -1;
        }
        const TLineInput& input = inputs[split][line];
        const int32_t bend = starts[split] + (line == 0 && tC && sC ? d - 2 : d - 3);
        const int32_t target = input.Turned ? bend : input.Column;
        if (left) {
            HorizontalRun(target + 1, column - 1, row);
            engine.PlaceCableSegmentEx(target, row, BendRightBottom);
        } else {
            HorizontalRun(column + 1, target - 1, row);
            engine.PlaceCableSegmentEx(target, row, BendLeftBottom);
        }
        if (!input.Turned) {
            VerticalRun(target, row + 1, input.Row);
            continue;
        }
        VerticalRun(bend, row + 1, input.Approach - 1);
        engine.PlaceCableSegmentEx(bend, input.Approach, BendLeftTop);
        HorizontalRun(input.Column + 1, bend - 1, input.Approach);
        engine.PlaceCableSegmentEx(input.Column, input.Approach, BendRightTop);
        VerticalRun(input.Column, input.Row, input.Approach - 1);
    }
    return true;
}

}  // namespace

bool TCreaAuto::SelectSplitAmplifiers(TGridData* grid, int32_t kind) {
    const int32_t n = kind == 0 ? EntryInputsTer : EntryInputsSat;
    if (!grid || !TapNetwork[kind] || n < 2) return true;
    CableTemplate->Owner = grid;
    TSplitChoice choice;
    if (!ChooseSplitAmplifiers(kind, choice)) return false;
    SplitLines = choice.LinesPerSplit;
    TSplitBlocks blocks(*this, grid, kind, choice, n);
    for (int32_t split = 0; split < n; ++split)
        if (!blocks.PlaceBlock(split)) return false;
    blocks.PlaceEntry();
    for (int32_t line = 0; line < choice.LinesPerSplit; ++line)
        if (!blocks.PlaceChain(line)) return false;
    return true;
}
