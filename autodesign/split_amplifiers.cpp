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
#include "cells/splitters.h"
#include "core/libraries.h"
#include "core/reporter.h"
#include "document/design_settings.h"

namespace {

constexpr int32_t BandSlotVhf = 1;
constexpr uint32_t BandMaskVhf = 0x0a;
constexpr uint32_t BandMaskUhf = 0x30;
constexpr int32_t SmallChain = 5;  // below this many splits one splitter feeds them
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
    const TFamiglia* ter =
        ChosenFamily[0] >= 0 && ChosenFamily[0] < FamiliesMax ? &FamilyTer[ChosenFamily[0]] : nullptr;
    const TFamiglia* sat =
        ChosenFamily[1] >= 0 && ChosenFamily[1] < FamiliesMax ? &FamilySat[ChosenFamily[1]] : nullptr;
    auto finalOf = [this](const TFamiglia& family, int32_t inputs, int32_t outputs, int32_t band, float level,
                          uint32_t mask, uint32_t value) -> TCella* {
        auto* prototype =
            dynamic_cast<TAmplificatoreAt*>(FindPrototype({CodeAmplificatoreAt, inputs, outputs, 0}));
        return prototype ? prototype->FindForChannel(Components->head, band, level, family.Brand,
                                                     family.Series, mask, value)
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
            choice.FinalSat =
                finalOf(*sat, inputs, outputs, BandSlotSat, needS + BackOffSat, BandMaskSat, BandMaskSat);
    }
    // The line amplifier of a band mask whose maximum outputs reach the needs
    // it serves, the lowest at its first band slot.
    auto lineOf = [&](uint32_t bands, bool forTer, bool forSat) -> TCella* {
        TCella* best = nullptr;
        float bestLevel = LineLevelStart;
        for (TCella* c = Components->head; c; c = c->NextInList) {
            if ((c->TypeCode != CodeAmplificatore && c->TypeCode != CodeAmplificatoreRegolato) ||
                c->Inputs != 1 || !(c->Positions[0] & PositionSubstation) ||
                (c->BandMask & BandMaskJoint) != bands)
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
            Reporter->Report(
                "Gli amplificatori individuati per le spezzature necessitano di un miscelatore "
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
            for (TCella* c = Components->head; c; c = c->NextInList)
                if (c->TypeCode == CodeBridge && c->Brand == family->Brand && c->Series == family->Series)
                    return c;
            return nullptr;
        };
        TCella* jumper = jumperOf(ter);
        if (!jumper && !choice.BandIIIFinal && ChosenFamily[1] > 0) jumper = jumperOf(sat);
        if (!jumper) {
            Reporter->Report("Non sono stati selezionati ponticelli adeguati alle sottostazioni.");
            return false;
        }
        // A copy serves as the plain cable piece: the list keeps the article.
        choice.Jumper = jumper->Clone();
        choice.Jumper->TypeCode = CodeCable;
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

}  // namespace

bool TCreaAuto::SelectSplitAmplifiers(TGridData* grid, int32_t kind) {
    const int32_t n = kind == 0 ? EntryInputsTer : EntryInputsSat;
    if (!grid || !TapNetwork[kind] || n < 2) return true;
    CableTemplate->Owner = grid;
    TSplitChoice choice;
    if (!ChooseSplitAmplifiers(kind, choice)) return false;
    const bool tC = CarriesTer[kind] != 0, sC = CarriesSat[kind] != 0;
    const int32_t lines = choice.LinesPerSplit;
    SplitLines = lines;
    TNCavo* cable = Cables[kind == 0 ? CableRiserTer : CableRiserSat].get();
    const TFamiglia* ter =
        ChosenFamily[0] >= 0 && ChosenFamily[0] < FamiliesMax ? &FamilyTer[ChosenFamily[0]] : nullptr;
    const TFamiglia* sat =
        ChosenFamily[1] >= 0 && ChosenFamily[1] < FamiliesMax ? &FamilySat[ChosenFamily[1]] : nullptr;
    const float joint = Settings->APLungCavoComp;
    const int32_t a = choice.Rows;
    // A band I/III pair jumpers its finals over the row above them, and its
    // output goes back over one row more.
    const int32_t y0 = lines * a + 3 + (choice.BandIIIFinal ? 1 : 0);
    const int32_t lane = choice.BandIIIFinal ? y0 - 3 : y0 - 2;

    auto hrun = [this](int32_t c1, int32_t c2, int32_t row) {
        if (c1 <= c2) DrawCableRun(c1, row, c2, row, -1, 1);
    };
    auto vrun = [this](int32_t column, int32_t r1, int32_t r2) {
        if (r1 <= r2) DrawCableRun(column, r1, column, r2, -1, 0);
    };
    // The terrestrial output of a block (a turned module's, on its top at
    // column from row top up to y0 - 1) led along row y0 - 1 to column target.
    auto leadTerrestrial = [&](int32_t column, int32_t top, int32_t target, bool corner) {
        vrun(column, y0 - 1 + 1, top);
        PlaceCableSegmentEx(column, y0 - 1, 3);
        hrun(column + 1, target - 1, y0 - 1);
        if (corner) PlaceCableSegmentEx(target, y0 - 1, 0);
    };

    std::vector<int32_t> starts(n);
    std::vector<std::array<TLineInput, 2>> inputs(n);
    SplitOutputColumn[kind].assign(n, 0);
    int32_t x = 1, d = 0;
    for (int32_t split = 0; split < n; ++split) {
        const int32_t s = x;
        starts[split] = s;
        float consumption = 0.0f;
        bool turned = true;
        int32_t outColumn = s, outTop = y0 - 1;   // the output and the square above it
        int32_t terColumn = -1, terTop = y0 - 1;  // the terrestrial output inside a two-line block
        std::array<TLineInput, 2>& in = inputs[split];
        auto place = [&](TCella* prototype, int32_t column, int32_t row, int32_t orientation) {
            return PlaceClone(prototype, column, row, orientation, grid) != nullptr;
        };
        if (choice.BandIIIFinal) {
            if (!place(choice.BandIIIFinal, x + 2, y0 + 4, 2)) return false;
            consumption += FinalDraw(choice.BandIIIFinal);
            x += 3;
        }
        if (choice.FinalTer) {
            if (!place(choice.FinalTer, x + 2, y0 + 4, 2)) return false;
            consumption += FinalDraw(choice.FinalTer);
            in[0] = {TurnedInputColumn(*choice.FinalTer, x), y0 + 5, y0 + 5, true};
            outColumn = terColumn = TurnedOutputColumn(*choice.FinalTer, x);
            if (choice.BandIIIFinal) {
                // The band I/III final hears the line through the UHF final's
                // other corner and feeds the UHF final's bypass.
                SetCableTemplate(choice.Jumper.get(), CableLengthUncounted);
                PlaceCableSegmentEx(s + 1, y0 + 5, 2);
                PlaceCableSegment(s + 2, y0 + 5);
                PlaceCableSegmentEx(s + 3, y0 + 5, 1);
                PlaceCableSegmentV(s + 1, y0 - 1);
                PlaceCableSegmentEx(s + 1, y0 - 2, 3);
                hrun(s + 2, s + 4, y0 - 2);
                PlaceCableSegmentEx(s + 5, y0 - 2, 0);
                PlaceCableSegmentV(s + 5, y0 - 1);
            }
            x += 3;
        }
        if (choice.LineTer) {
            const int32_t row = choice.FinalSat ? y0 + 2 : y0;
            if (!place(choice.LineTer, x + 1, row, sC ? 2 : 0)) return false;
            if (sC) {
                in[0] = {x + 1, row + 1, row + 1, true};
                terColumn = outColumn = x + 1;
                terTop = outTop = row - 1;
            } else {
                in[0] = {x + 1, row - 1, row - 1, false};
                turned = false;
                outColumn = x + 1;
            }
            x += 3;
        }
        const int32_t satLine = tC ? 1 : 0;
        if (choice.FinalSat) {
            if (!place(choice.FinalSat, x + 2, y0 + 4, 2)) return false;
            consumption += FinalDraw(choice.FinalSat);
            in[satLine] = {TurnedInputColumn(*choice.FinalSat, x), y0 + 5, y0 + 5, true};
            if (choice.FinalSat->Inputs != AutoMixOneInput && !PlaceTermination(x, y0 + 5, 0, grid))
                return false;
            const bool bypass = choice.FinalSat->ThroughOutputs == AutoMixOutputBypass;
            outColumn = TurnedOutputColumn(*choice.FinalSat, x);
            outTop = y0 - 1;
            if (!tC) {
                if (bypass && !PlaceTermination(x + 2, y0 - 1, 2, grid)) return false;
            } else if (bypass) {
                if (choice.FinalTer)
                    SetCableTemplate(choice.Jumper.get(), CableLengthUncounted);
                else
                    SetCableTemplate(cable, joint);
                leadTerrestrial(terColumn, terTop, x + 2, true);
            } else {
                if (!place(MixerSwapped, x, y0 - 1, 2)) return false;
                SetCableTemplate(cable, joint);
                leadTerrestrial(terColumn, terTop, x, false);
                PlaceCableSegmentEx(outColumn, y0 - 1, 0);
                outColumn = x;
                outTop = y0 - 2;
            }
            x += 3;
        }
        if (choice.LineSat) {
            const int32_t row = choice.FinalTer ? y0 + 2 : y0;
            if (!place(choice.LineSat, x + 1, row, 2)) return false;
            in[satLine] = {x + 1, row + 1, row + 1, true};
            outColumn = x + 1;
            outTop = row - 1;
            if (tC) {
                if (!place(MixerSwapped, x, y0 - 1, 2)) return false;
                SetCableTemplate(cable, joint);
                leadTerrestrial(terColumn, terTop, x, false);
                vrun(x + 1, y0, outTop);
                PlaceCableSegmentEx(x + 1, y0 - 1, 0);
                outColumn = x;
                outTop = y0 - 2;
            }
            x += 3;
        }
        if (choice.LineJoint) {
            if (!place(choice.LineJoint, x + 1, y0, 0)) return false;
            in[0] = {x + 1, y0 - 1, y0 - 1, false};
            turned = false;
            outColumn = x + 1;
            x += 3;
        }
        if (consumption > 0.0f) {
            const TFamiglia* family = choice.FinalTer ? ter : sat;
            // A block without its supply is not a working design.
            if (!family || !SelectPowerSupplies(x, y0, grid, family->Brand, family->Series, 1, consumption))
                return false;
            x += 3;
        }
        x += 3;
        d = x - s;
        const bool final = choice.FinalTer || choice.FinalSat;
        const int32_t rb = final ? y0 + 5 : y0 + 1;
        // Feeds of a block with a supply come below it; the terrestrial feed of
        // a two-line block comes one row below the satellite one.
        if (final)
            for (TLineInput& line : in) line.Approach = std::max(line.Approach, y0 + 5);
        if (lines == 2) in[0].Approach = std::max(in[0].Approach, in[1].Approach + 1);

        SetCableTemplate(cable, CableLengthUncounted);
        if (turned) {
            vrun(outColumn, lane + 1, outTop);
            PlaceCableSegmentEx(outColumn, lane, 0);
            hrun(s, outColumn - 1, lane);
            PlaceCableSegmentEx(s - 1, lane, 3);
            vrun(s - 1, lane + 1, rb + 1);
            SplitOutputColumn[kind][split] = s - 1;
        } else {
            vrun(outColumn, y0 + 1, rb + 1);
            SplitOutputColumn[kind][split] = outColumn;
        }
        for (TLineInput& line : in) line.Turned = turned;
    }

    // The entry of the chain between the blocks fed from its left and its right.
    int32_t Lc = std::min(n / 2, choice.Left);
    if (choice.Right < n - Lc) Lc = n - choice.Right;
    const int32_t e = Lc * d + 1;
    SplitEntryColumn[kind] = e;
    SplitSpacing[kind] = d;
    if (lines == 2) SplitEntryColumn[1] = e + 2;

    // The chains, one per amplifier line, and their outputs to the blocks.
    const int32_t P = std::clamp(Settings->Building->StaircaseCount, 1, DesignStaircasesMax);
    for (int32_t line = 0; line < lines; ++line) {
        const int32_t column = e + 2 * line;
        const int32_t first = lines == 2 && line == 0 ? a + 1 : 1;
        const int32_t band = (line == 0 && tC) ? BandSlotTer : BandSlotSat;
        SetCableTemplate(cable, joint);
        vrun(column, 0, first - 1);
        std::vector<int32_t> leftRows, rightRows;
        int32_t y = first;
        for (size_t k = 0; k < choice.Parts.size(); ++k) {
            const int32_t p = choice.Parts[k];
            if (k > 0) {
                SetCableTemplate(cable, joint);
                PlaceCableSegmentV(column, y);
                ++y;
            }
            std::unique_ptr<TCella> tap;
            if (n < SmallChain)
                tap = std::make_unique<TDivisore>(nullptr, 0, 0, column, y, 1, p);
            else
                tap = std::make_unique<TDerivatore>(nullptr, 0, 0, column, y, 1, p);
            // A chain part without a model of the list would leave the design unpriced.
            if (!tap->FindModelForAttenuation(Components->head, band, tC && (line == 0 || lines == 1),
                                              sC && (line == 1 || lines == 1))) {
                Reporter->Report("Errore di creazione disegno. Non riesco a progettare l'impianto.");
                return false;
            }
            if (!PlaceNew(std::move(tap), grid)) return false;
            for (int32_t r = 0; r < p / 2; ++r) leftRows.push_back(y + r);
            for (int32_t r = 0; r < (p + 1) / 2; ++r) rightRows.push_back(y + r);
            y += (p + 1) / 2;
        }
        if (n >= SmallChain && !PlaceTermination(column, y, 0, grid)) return false;

        // Each side walks the staircases from its end: the left from the first, the right from the last.
        auto feedSide = [&](const std::vector<int32_t>& rows, bool left) -> bool {
            int32_t staircase = left ? 0 : P - 1, used = 0;
            const int32_t count = left ? Lc : n - Lc;
            for (size_t k = 0; k < rows.size(); ++k) {
                const int32_t row = rows[k];
                if (static_cast<int32_t>(k) >= count) {
                    if (!PlaceTermination(left ? column - 1 : column + 1, row, left ? 1 : 3, grid))
                        return false;
                    continue;
                }
                const int32_t split = left ? static_cast<int32_t>(k) : n - 1 - static_cast<int32_t>(k);
                const TScala& sc = Settings->Building->Staircases[std::clamp(staircase, 0, P - 1)];
                SetCableTemplate(cable, static_cast<float>(sc.HeadEndDistance));
                if (++used > RiserBreakCount[std::clamp(staircase, 0, P - 1)][kind]) {
                    used = 0;
                    staircase += left ? 1 : -1;
                }
                const TLineInput& input = inputs[split][line];
                const int32_t bend = starts[split] + (line == 0 && tC && sC ? d - 2 : d - 3);
                const int32_t target = input.Turned ? bend : input.Column;
                if (left) {
                    hrun(target + 1, column - 1, row);
                    PlaceCableSegmentEx(target, row, 3);
                } else {
                    hrun(column + 1, target - 1, row);
                    PlaceCableSegmentEx(target, row, 0);
                }
                if (!input.Turned) {
                    vrun(target, row + 1, input.Row);
                    continue;
                }
                vrun(bend, row + 1, input.Approach - 1);
                PlaceCableSegmentEx(bend, input.Approach, 1);
                hrun(input.Column + 1, bend - 1, input.Approach);
                PlaceCableSegmentEx(input.Column, input.Approach, 2);
                vrun(input.Column, input.Row, input.Approach - 1);
            }
            return true;
        };
        if (!feedSide(leftRows, true) || !feedSide(rightRows, false)) return false;
    }
    return true;
}
