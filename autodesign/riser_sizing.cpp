// Sizing a staircase's risers: the riser components choose their models, the
// levels they ask for are compared with what the head end (or an amplifier
// at the staircase head) delivers, and a riser that cannot be fed in one
// piece is split into two or three fed separately. Along a multiswitch riser
// the floors that take an amplifier group are chosen instead.
#include <algorithm>
#include <span>
#include <vector>

#include "autodesign/engine.h"
#include "cells/amplifiers.h"
#include "cells/anchors.h"
#include "cells/cables.h"
#include "cells/cell.h"
#include "cells/pass_flags.h"
#include "core/globals.h"
#include "core/levels.h"
#include "core/libraries.h"
#include "core/options.h"
#include "document/grid.h"

namespace {

const char* const SignalTooHigh =
    "Non è possibile dimensionare le scale in quanto è richiesto un segnale troppo elevato dalla centrale di "
    "testa.";
// The outlets below a riser entry ask for windows that do not meet: no level
// there, however high or low, brings every one within its limits.
const char* const LevelsTooFarApart =
    "Non è possibile dimensionare le scale in quanto le prese richiedono livelli troppo diversi tra loro: "
    "nessun "
    "segnale in testa alla scala le porta tutte entro i livelli ammessi.";
const char* const NeedsSplits =
    "L'impianto multiswitch richiesto non può essere realizzato senza spezzature.";
constexpr float NoMargin = -500001.0f;

AnsiString InternalError(int n) {
    return "Errore interno di calcolo " + IntToStr(n) + ". Non riesco a dimensionare l'impianto.";
}

// The least level a cell asks for at its first input, none before a pass.
float Required(const TCella* cell, int32_t band) {
    if (!cell || !cell->InputLevels.Allocated() || cell->InputLevels.Ports() < 1) return LevelNone;
    return cell->InputLevels[0][band].Min;
}

// No level at the cell's input serves every outlet below it.
bool WindowEmpty(const TCella* cell, int32_t band) { return Required(cell, band) == LevelReqEmpty; }

float Margin(float available, const TCella* cell, int32_t band) {
    const float required = Required(cell, band);
    return IsRealLevel(required) ? static_cast<float>(double(available) - required) : NoMargin;
}

// A reach window without value, negative in width or wider than limit.
bool Unbalanced(const TCella* cell, int32_t band, float limit) {
    if (!cell || !cell->ReachLevels.Allocated() || cell->ReachLevels.Ports() < 1) return true;
    const auto& w = cell->ReachLevels[0][band];
    if (!IsRealLevel(w.Min) || !IsRealLevel(w.Max)) return true;
    const double width = double(w.Max) - w.Min;
    return width < 0.0 || width > limit;
}

// A limit of the options the required-level pass is run without.
constexpr float OpenLimit = 1000.0f;

// The window the outlets below an entry ask for at it, each limit taken on
// its own: the least level that brings the farthest one up to its minimum,
// and the most the nearest one bears under its maximum. The pass is run
// again with the options as they are before the figures are given back.
std::pair<float, float> AskedWindow(TGridData& block, const TCella* entry, int32_t band) {
    if (!Opzioni || !entry || band < 0 || band >= BandSlots) return {LevelNone, LevelNone};
    float& least = Opzioni->limits[band][LimitSigMin];
    float& most = Opzioni->limits[band][LimitSigMax];
    const float keptLeast = least, keptMost = most;
    most = OpenLimit;
    block.RunRequiredLevelPass();
    const float asked = Required(entry, band);
    most = keptMost;
    least = -OpenLimit;
    block.RunRequiredLevelPass();
    const float borne = entry->InputLevels.Allocated() && entry->InputLevels.Ports() > 0
                            ? entry->InputLevels[0][band].Max
                            : LevelNone;
    least = keptLeast;
    block.RunRequiredLevelPass();
    return {asked, borne};
}

AnsiString Dbuv(double level) { return FormatFloat("0.0", level) + " dBµV"; }

// Where a riser piece starts: the staircase's head, or the floor it was split at.
AnsiString PieceName(int32_t s, int32_t floor, bool top) {
    return top ? "In testa alla scala " + IntToStr(s + 1)
               : "In testa al tratto della scala " + IntToStr(s + 1) + " che parte dal piano " +
                     IntToStr(floor + 1);
}

}  // namespace

AnsiString TCreaAuto::LevelsApartFigures(int32_t s, int32_t floor, int k, const TCella* entry, int32_t band) {
    TGridData* block = floor >= 0 && floor < DesignFloorsMax ? FloorGrid[s][floor][k].get() : nullptr;
    if (!block) return AnsiString();
    const auto [asked, borne] = AskedWindow(*block, entry, band);
    if (!IsRealLevel(asked) || !IsRealLevel(borne)) return AnsiString();
    const int32_t top = std::clamp(Settings->Building->Staircases[s].FloorCount, 0, DesignFloorsMax) - 1;
    return " " + PieceName(s, floor, floor == top) + " la presa più lontana chiede almeno " + Dbuv(asked) +
           ", la più vicina ne sopporta al più " + Dbuv(borne) + " (" +
           (band == BandSlotSat ? "satellite" : "terrestre") + ").";
}

float TCreaAuto::CableLoss(int cable, float metres, int32_t band) const {
    const TNCavo* c = Cables[cable].get();
    return c ? static_cast<float>(0.01 * metres * c->LossPer100(band)) : 0.0f;
}

TCella* TCreaAuto::RiserEntry(int32_t s, int32_t f, int kind, int32_t offset) const {
    const TGridData* block = f >= 0 && f < DesignFloorsMax ? FloorGrid[s][f][kind].get() : nullptr;
    TCella* cell = block ? block->CellAt(RiserColumn[s][f][kind] + offset, 0) : nullptr;
    return cell && cell->TypeCode == CodeEntryAnchor ? cell : nullptr;
}

bool TCreaAuto::ChooseRiserModels(std::initializer_list<std::pair<TCella*, uint32_t>> cells, int32_t band) {
    const uint32_t stamp = NextPassNumber();
    for (auto [cell, mask] : cells)
        if (!cell ||
            !cell->ChooseModel(Components->head, static_cast<int32_t>(mask), stamp, nullptr, band, 0))
            return false;
    return true;
}

bool TCreaAuto::SizeRisersBothKinds(int32_t s) {
    return SizeMultiswitchRiser(s, 0) && SizeMultiswitchRiser(s, 1);
}

void TCreaAuto::SizeRadialRiser(int32_t s) {
    // The farthest apartment's line, from the top of the tallest staircase.
    const TScala& sc = Settings->Building->Staircases[s];
    const int32_t F = std::clamp(sc.FloorCount, 0, DesignFloorsMax);
    int32_t most = 0;
    for (int32_t i = 0; i < std::clamp(Settings->Building->StaircaseCount, 0, DesignStaircasesMax); ++i)
        most = std::max(most, Settings->Building->Staircases[i].FloorCount);
    int32_t D = 0;
    for (int32_t f = 0; f < F; ++f)
        for (int32_t a = 0; a < ApartmentsOfFloor(s, f); ++a)
            D = std::max(D, (most - f - 1) * sc.FloorSpacing + sc.Floors[f].Apartments[a].ApartmentDistance);
    StaircaseRequiredLevel[s][1] = static_cast<float>(
        double(
            CableLoss(CableStaircaseSat, float(sc.TopFloorDistance + D + sc.HeadEndDistance), BandSlotSat)) +
        OptionLimit(BandSlotSat, LimitSigMin));
}

bool TCreaAuto::PassiveSplitFits(int32_t splits, const float* marginTer, const float* marginSat) const {
    // A splitter whose loss the head end's surplus over the staircase
    // amplifier covers, for each kind carried (given its least margin).
    for (TCella* cell = Components->head; cell; cell = cell->NextInList) {
        if (cell->TypeCode != CodeDivisore || cell->TapOutputs != 2 * splits || !cell->Attenuation) continue;
        auto fits = [&](const float* margin, int32_t band, float line, float head) {
            if (!margin) return true;
            const float loss = cell->Attenuation->Get3(0, 0, band);
            return loss >= 0.0f && double(loss) < double(*margin) - line + head;
        };
        if (fits(marginTer, BandSlotTer, LineLevelTer, HeadEndLevelTer) &&
            fits(marginSat, BandSlotSat, LineLevelSat, HeadEndLevelSat))
            return true;
    }
    return false;
}

// One kind's riser of a staircase as it is sized. The levels at the top
// floor's entries come from the head end, or, once the riser has to be cut
// into pieces, from an amplifier at the staircase head, with a floor's loss
// of the riser cable less for each floor a piece starts below the top. While
// it searches it notes the figures of a refusal: the first piece whose
// outlets ask for levels too far apart, and the piece short by the most.
class TCreaAuto::TRiserSearch {
public:
    TRiserSearch(TCreaAuto& engine, int32_t s, int k);
    // The riser fed whole, or else in two or three pieces; false after one
    // message.
    bool Size();

private:
    // The two entries of a floor block with their masks.
    struct TEntries {
        TCella* A;
        TCella* B;
        uint32_t maskA, maskB;
    };
    // The piece short by the most, with the level it has.
    struct TShort {
        double margin = 0.0, available = 0.0;
        int32_t floor = 0;
        bool ter = true, amplified = false;
    };

    TEntries Entries(int32_t floor) const;
    bool Short(float ter, float sat) const {
        return (carriesTer && ter < 0.0f) || (carriesSat && sat < 0.0f);
    }
    // The search: the riser cut at the middle floor, else at two floors,
    // each piece fed from the amplifier at the staircase head.
    bool SizeInPieces();
    // The margins of the riser cut at floors (the least of its pieces, each
    // kind) and whether it is fed; false when a model is missing.
    bool SizePieces(std::span<const int32_t> floors, float& leastT, float& leastS, bool& fed);
    // The split floors, the passive-split flag and the floors above the
    // splits placed again.
    bool RecordPieces(std::span<const int32_t> floors, float leastT, float leastS);
    // The figures of a refusal, noted as the search goes.
    void NoteApart(const TCella* ter, const TCella* sat, int32_t floor);
    void NoteShort(double available, float margin, int32_t floor, bool ter);
    // The wording: a riser no piece of the search feeds, and a multiswitch
    // riser of several lines that would need splits.
    bool RefuseUnfed();
    AnsiString SplitsRefusal(float marginSat) const;

    TCreaAuto& engine;
    const int32_t s;
    const int k;
    const TScala& sc;
    const int32_t F, top;
    const bool carriesTer, carriesSat;
    const int32_t lines;
    float VT = 0.0f, VS = 0.0f;  // the levels at the top floor's entries
    bool amplified = false;      // the pieces fed by amplifiers at their heads
    TEntries t{};                // the top floor's entries
    // A piece whose outlets ask for levels too far apart cannot be fed from
    // any head end: that, not the head end's level, is then the reason given.
    bool apart = false;
    int32_t apartFloor, apartBand = BandSlotTer;
    const TCella* apartEntry = nullptr;
    TShort worst;
};

TCreaAuto::TRiserSearch::TRiserSearch(TCreaAuto& engine, int32_t s, int k)
    : engine(engine),
      s(s),
      k(k),
      sc(engine.Settings->Building->Staircases[s]),
      F(std::clamp(sc.FloorCount, 0, DesignFloorsMax)),
      top(F - 1),
      carriesTer(k == 0 || engine.TerOnMultiswitch),
      carriesSat(k == 1 || (engine.Settings->Satellite && !engine.TapNetwork[1] && !engine.MultiswitchSat)),
      lines(engine.LineCount[k]),
      apartFloor(top) {
    // The head end's levels, less the riser cable down to the top floor.
    auto substation = [&engine](int32_t inputs) {
        return inputs >= 0 && inputs < AvailInputs ? engine.SubstationLevelSat[inputs] : 0.0f;
    };
    const float toTop = float(sc.HeadEndDistance + sc.TopFloorDistance);
    VS = lines == 1 ? engine.HeadEndLevelSat
                    : std::max({substation(lines), substation((lines / 2) * 2 + 1), engine.LnbLevelMax});
    VT = engine.HeadEndLevelTer - engine.CableLoss(CableRiserTer, toTop, BandSlotTer);
    VS -= engine.CableLoss(CableRiserSat, toTop, BandSlotSat);
}

TCreaAuto::TRiserSearch::TEntries TCreaAuto::TRiserSearch::Entries(int32_t floor) const {
    TEntries e{engine.RiserEntry(s, floor, k, 0), engine.RiserEntry(s, floor, k, 1), ModeNeedsBand5,
               ModeNeedsBand9};
    if (!e.B) {
        e.B = e.A;
        e.maskA = e.maskB = carriesSat ? ModeNeedsBand5 | ModeNeedsBand9 : 0;
    }
    return e;
}

void TCreaAuto::TRiserSearch::NoteApart(const TCella* ter, const TCella* sat, int32_t floor) {
    if (apart) return;
    if (carriesTer && WindowEmpty(ter, BandSlotTer))
        apart = true, apartEntry = ter, apartBand = BandSlotTer, apartFloor = floor;
    else if (carriesSat && WindowEmpty(sat, BandSlotSat))
        apart = true, apartEntry = sat, apartBand = BandSlotSat, apartFloor = floor;
}

void TCreaAuto::TRiserSearch::NoteShort(double available, float margin, int32_t floor, bool ter) {
    if ((ter ? carriesTer : carriesSat) && margin > NoMargin && margin < worst.margin)
        worst = {margin, available, floor, ter, amplified};
}

bool TCreaAuto::TRiserSearch::Size() {
    t = Entries(top);
    if (!engine.ChooseRiserModels({{t.A, t.maskA}, {t.B, t.maskB}}, BandSlotTer)) {
        engine.Report(InternalError(1));
        return false;
    }
    engine.FloorGrid[s][top][k]->RunRequiredLevelPass();
    const float mT = Margin(VT, t.A, BandSlotTer), mS = Margin(VS, t.B, BandSlotSat);
    NoteApart(t.A, t.B, top);
    if (!Short(mT, mS)) {
        engine.RiserBreakCount[s][k] = 0;
        if (carriesTer) engine.StaircaseMargin[s][0] = mT;
        if (carriesSat) engine.StaircaseMargin[s][1] = mS;
        engine.StaircaseRequiredLevel[s][0] = Required(t.A, BandSlotTer);
        engine.StaircaseRequiredLevel[s][1] = Required(t.B, BandSlotSat);
        return true;
    }
    NoteShort(VT, mT, top, true);
    NoteShort(VS, mS, top, false);
    if (k == 1 && lines > 1) {
        engine.Report(SplitsRefusal(mS));
        return false;
    }
    return SizeInPieces();
}

bool TCreaAuto::TRiserSearch::SizeInPieces() {
    // An amplifier at the staircase head feeds the pieces.
    const float topOnly = float(sc.TopFloorDistance);
    VT = engine.LineLevelTer - engine.CableLoss(CableRiserTer, topOnly, BandSlotTer);
    VS = engine.LineLevelSat - engine.CableLoss(CableRiserSat, topOnly, BandSlotSat);
    amplified = true;
    if (top < 1) return RefuseUnfed();
    std::vector<int32_t> floors{top / 2};
    float MT = 0.0f, MS = 0.0f;
    bool fed = false;
    engine.UnlinkFloorFromAbove(s, floors[0], k);
    if (!SizePieces(floors, MT, MS, fed)) {
        engine.Report(InternalError(2));
        return false;
    }
    if (!fed) {
        engine.LinkFloorToAbove(s, floors[0], k);
        if (top < 2) return RefuseUnfed();
        const int32_t m1 = (F - 3) / 3, m2 = (F - 2) / 3 + m1 + 1;
        floors = {m1, m2};
        engine.UnlinkFloorFromAbove(s, m1, k);
        engine.UnlinkFloorFromAbove(s, m2, k);
        if (!SizePieces(floors, MT, MS, fed)) {
            engine.Report(InternalError(3));
            return false;
        }
        if (!fed) return RefuseUnfed();
    }
    return RecordPieces(floors, MT, MS);
}

bool TCreaAuto::TRiserSearch::SizePieces(std::span<const int32_t> floors, float& leastT, float& leastS,
                                         bool& fed) {
    std::vector<std::pair<TCella*, uint32_t>> cells{{t.A, t.maskA}, {t.B, t.maskB}};
    for (int32_t m : floors) {
        const TEntries e = Entries(m);
        cells.push_back({e.A, e.maskA});
        cells.push_back({e.B, e.maskB});
    }
    const uint32_t stamp = NextPassNumber();
    for (auto [cell, mask] : cells)
        if (!cell || !cell->ChooseModel(engine.Components->head, static_cast<int32_t>(mask), stamp, nullptr,
                                        BandSlotTer, 0))
            return false;
    engine.FloorGrid[s][top][k]->RunRequiredLevelPass();
    for (int32_t m : floors) engine.FloorGrid[s][m][k]->RunRequiredLevelPass();
    apart = false;
    worst = TShort{};
    NoteApart(t.A, t.B, top);
    for (int32_t m : floors) NoteApart(Entries(m).A, Entries(m).B, m);
    leastT = Margin(VT, t.A, BandSlotTer);
    leastS = Margin(VS, t.B, BandSlotSat);
    NoteShort(VT, leastT, top, true);
    NoteShort(VS, leastS, top, false);
    // A floor's loss of the riser cable for each floor a piece starts below the top.
    const float fT = engine.CableLoss(CableRiserTer, float(sc.FloorSpacing), BandSlotTer);
    const float fS = engine.CableLoss(CableRiserSat, float(sc.FloorSpacing), BandSlotSat);
    for (int32_t m : floors) {
        const TEntries e = Entries(m);
        const float vT = float(VT - (top - m) * double(fT)), vS = float(VS - (top - m) * double(fS));
        const float pieceT = Margin(vT, e.A, BandSlotTer), pieceS = Margin(vS, e.B, BandSlotSat);
        NoteShort(vT, pieceT, m, true);
        NoteShort(vS, pieceS, m, false);
        leastT = std::min(leastT, pieceT);
        leastS = std::min(leastS, pieceS);
    }
    fed = !Short(leastT, leastS);
    return true;
}

bool TCreaAuto::TRiserSearch::RecordPieces(std::span<const int32_t> floors, float leastT, float leastS) {
    const int32_t p = static_cast<int32_t>(floors.size());
    engine.RiserBreakCount[s][k] = p;
    for (int32_t i = 0; i < p; ++i) engine.RiserBreakFloor[s][k][i] = floors[static_cast<size_t>(i)];
    engine.PassiveSplit[s][k] =
        engine.PassiveSplitFits(p, carriesTer ? &leastT : nullptr, carriesSat ? &leastS : nullptr) ? 1 : 0;
    // The floor above each split ends its chain there now.
    for (int32_t m : floors)
        if (!engine.PlaceFloors(s, m + 1, k)) return false;
    return true;
}

bool TCreaAuto::TRiserSearch::RefuseUnfed() {
    if (apart) {
        engine.Report(LevelsTooFarApart + engine.LevelsApartFigures(s, apartFloor, k, apartEntry, apartBand));
    } else if (worst.margin < 0.0) {
        engine.Report(SignalTooHigh +
                      (" " + PieceName(s, worst.floor, worst.floor == top) + " servono " +
                       Dbuv(worst.available - worst.margin) + (worst.ter ? " (terrestre)" : " (satellite)") +
                       ", " + (worst.amplified ? "l'amplificatore di linea" : "la centrale di testa") +
                       " ne porta al più " + Dbuv(worst.available) + "."));
    } else {
        engine.Report(SignalTooHigh);
    }
    return false;
}

AnsiString TCreaAuto::TRiserSearch::SplitsRefusal(float marginSat) const {
    return NeedsSplits + (" " + PieceName(s, top, true) + " servono " + Dbuv(VS - marginSat) +
                          (VS > 0.0f ? ", le linee multiswitch ne portano al più " + Dbuv(VS) + "."
                                     : AnsiString(", le linee multiswitch non ne portano.")));
}

bool TCreaAuto::SizeMultiswitchRiser(int32_t s, int k) {
    const TScala& sc = Settings->Building->Staircases[s];
    const int32_t top = std::clamp(sc.FloorCount, 0, DesignFloorsMax) - 1;
    if (k == 0 ? !TapNetwork[0] : !TapNetwork[1] && !MultiswitchSat) return true;
    if (k == 1 && MultiswitchRadial) {
        SizeRadialRiser(s);
        return true;
    }
    if (k == 1 && MultiswitchStaircase) return ChooseStaircaseSwitches(s);
    if (top < 0 || !FloorGrid[s][top][k]) return true;
    return TRiserSearch(*this, s, k).Size();
}

bool TCreaAuto::StaircaseGateOpen(int32_t S, int32_t n) const {
    auto amp = [this](int32_t inputs) { return inputs >= 0 && inputs < AvailInputs && LineAmpAvail[inputs]; };
    if (!OwnBrandSwitch) return amp(n);
    switch (S) {
    case 4:
    case 5: return amp(4) || amp(5);
    case 8: return amp(4) || amp(8) || amp(9) || amp(10);
    case 9: return amp(4) || amp(8) || amp(9);
    case 10: return amp(4) || amp(8) || amp(10);
    default: return false;
    }
}

bool TCreaAuto::ChooseStaircaseSwitches(int32_t s) {
    if (!MultiswitchStaircase) return true;
    const TScala& sc = Settings->Building->Staircases[s];
    const int32_t F = std::clamp(sc.FloorCount, 0, DesignFloorsMax), top = F - 1;
    const int32_t S = std::clamp(LineCount[1], 0, AvailInputs - 3);
    auto offered = [this](int32_t n) { return n >= 0 && n < AvailInputs && SwitchAvail[n][0]; };
    int32_t n = S;
    if (!offered(n)) {
        n = S + 1;
        if (!TerOnMultiswitch && !offered(S + 1)) n = S + 2;
    }
    // A staircase whose amplifiers cannot serve the lines skips the rules
    // only: its levels are still taken and checked.
    const bool rules = StaircaseGateOpen(S, n);
    auto substation = [this](int32_t inputs) {
        return inputs >= 0 && inputs < AvailInputs ? SubstationLevelSat[inputs] : 0.0f;
    };
    const float VT = HeadEndLevelTer;
    const float VS = std::max({substation((S / 2) * 2 + 1), substation(LineAmpInputs), LnbLevelMax});
    if (top < 0 || !FloorGrid[s][top][1]) return true;
    TCella* A = RiserEntry(s, top, 1, 0);
    TCella* B = RiserEntry(s, top, 1, 2);
    if (!B) B = A;
    if (!offered(n)) {
        Report("Non sono stati selezionati switch adeguati per le scale.");
        return false;
    }
    auto amplifierFloor = [&](int32_t f) {
        LineAmplifierFloor[s][f] = 1;
        return PlaceFloors(s, f, 1);
    };

    if (rules) {
        TCella* reference = nullptr;
        for (TCella* cell = Components->head; cell && !reference; cell = cell->NextInList)
            if (cell->TypeCode == CodeSwitch && cell->Inputs == n) reference = cell;
        bool fired = false;
        if (Settings->AmpSwcCustom && reference) {
            std::vector<int32_t> floors;
            fired = BrandAmplifierFloors(reference->Brand, reference->Series, F, floors);
            for (int32_t f : floors)
                if (!amplifierFloor(f)) return false;
        }
        if (!fired && TerOnMultiswitch && reference && reference->Brand == "Varne") {
            if (!ChooseRiserModels({{A, 0}, {B, 0}}, BandSlotSat)) {
                Report(InternalError(4));
                return false;
            }
            if (Unbalanced(A, BandSlotTer, Settings->APMaxSbilSwcTer)) {
                TGridData* block = FloorGrid[s][top][1].get();
                for (int32_t r = 0; r < block->Rows; ++r)
                    for (int32_t c = 0; c < block->Columns; ++c)
                        if (TCella* cell = block->CellAt(c, r);
                            cell && cell->TypeCode == CodeSwitch && cell->Column == c && cell->Row == r)
                            cell->Positions[1] |= SecondPositionCascade;
                fired = true;
            }
        }
        if (!fired) {
            // An amplifier group goes one floor below the first floor in trouble.
            //
            // The imbalance of a floor is that of the riser down to the last
            // amplifier group below it: the group's gain is no imbalance of
            // the floors it feeds from, which would otherwise each take a
            // group of their own. Its levels are those of the whole riser.
            int32_t lastGroup = -1;
            for (int32_t j = 1; j <= top; ++j) {
                TCella* first = RiserEntry(s, j, 1, 0);
                TCella* second = RiserEntry(s, j, 1, 2);
                if (!second) second = first;
                auto choose = [&] {
                    if (ChooseRiserModels({{first, 0}, {second, 0}}, BandSlotSat)) return true;
                    Report(InternalError(4));
                    return false;
                };
                if (lastGroup >= 0) UnlinkFloorFromAbove(s, lastGroup, 1);
                if (!choose()) return false;
                bool trouble =
                    (TerOnMultiswitch && Unbalanced(first, BandSlotTer, Settings->APMaxSbilSwcTer)) ||
                    Unbalanced(second, BandSlotSat, Settings->APMaxSbilSwcSat);
                if (lastGroup >= 0) {
                    LinkFloorToAbove(s, lastGroup, 1);
                    if (!choose()) return false;
                }
                FloorGrid[s][top][1]->RunRequiredLevelPass();
                if (TerOnMultiswitch && VT < Required(first, BandSlotTer)) trouble = true;
                if (VS < Required(second, BandSlotSat)) trouble = true;
                if (trouble) lastGroup = j - 1;
                if (trouble && !amplifierFloor(j - 1)) return false;
            }
        }
    }

    if (!ChooseRiserModels({{A, 0}, {B, 0}}, BandSlotSat)) {
        Report(InternalError(4));
        return false;
    }
    FloorGrid[s][top][1]->RunRequiredLevelPass();
    // A terrestrial riser of its own keeps the level its sizing recorded.
    if (TerOnMultiswitch) StaircaseRequiredLevel[s][0] = Required(A, BandSlotTer);
    StaircaseRequiredLevel[s][1] = Required(B, BandSlotSat);
    // A requirement without value cannot be fed either, as a margin without
    // value is short in the riser sizing; an empty window (no level at the
    // staircase head keeps every outlet below within its limits) says so.
    auto unfed = [](float available, float required) {
        return !IsRealLevel(required) || available < required;
    };
    if ((TerOnMultiswitch && unfed(VT, StaircaseRequiredLevel[s][0])) ||
        unfed(VS, StaircaseRequiredLevel[s][1])) {
        const bool apartTer = TerOnMultiswitch && StaircaseRequiredLevel[s][0] == LevelReqEmpty;
        const bool apartSat = StaircaseRequiredLevel[s][1] == LevelReqEmpty;
        if (apartTer || apartSat) {
            // Two cables take no amplifier group between the floors; with
            // four the groups bring the floors' levels together.
            Report(LevelsTooFarApart +
                   LevelsApartFigures(s, top, 1, apartTer ? A : B, apartTer ? BandSlotTer : BandSlotSat) +
                   (Settings->SatelliteCables < 4 ? AnsiString(" Scegliere \"Multiswitch 4 cavi\".")
                                                  : AnsiString()));
            return false;
        }
        const bool ter = TerOnMultiswitch && unfed(VT, StaircaseRequiredLevel[s][0]);
        const float asked = StaircaseRequiredLevel[s][ter ? 0 : 1];
        AnsiString figures;
        if (IsRealLevel(asked))
            figures = " " + PieceName(s, top, true) + " servono " + Dbuv(asked) +
                      (ter ? " (terrestre)" : " (satellite)") + ", " +
                      (ter ? "la centrale di testa ne porta" : "le linee multiswitch ne portano") +
                      " al più " + Dbuv(ter ? VT : VS) + ".";
        Report(SignalTooHigh + figures);
        return false;
    }
    return true;
}
