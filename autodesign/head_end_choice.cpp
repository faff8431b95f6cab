// The choices every head-end block rests on: which family of modules each
// kind is built with, the LNB (or two) of a multiswitch head end with its
// dish, and, once the whole installation stands, the output setting of each
// terrestrial channel filter so that the channels leave the head end at the
// levels the network needs.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "autodesign/engine.h"
#include "cells/active_filters.h"
#include "cells/amplifiers.h"
#include "cells/auto_mix.h"
#include "cells/graphic_cells.h"
#include "cells/sources.h"
#include "cells/terminations.h"
#include "core/channel_list.h"
#include "core/globals.h"
#include "core/libraries.h"
#include "core/options.h"
#include "core/reporter.h"
#include "cells/component_data.h"
#include "document/grid.h"
#include "document/project.h"

namespace {

constexpr int32_t LnbMinimumOutputs = 4;
constexpr float TerrestrialLimit = 900.0f;  // MHz: a filter below it is terrestrial
constexpr float StartMargin = 1000.0f;
constexpr float LowestMargin = 70.0f;
constexpr int32_t TerrestrialSlots = 6;
constexpr int32_t FilterOutput = 2;       // the filter's own output
constexpr double LevelTolerance = 0.001;  // dB
constexpr double NoLowestLevel = 1000.0, NoHighestLevel = -1000.0;

// The largest regulation of a band of an input row: a band marked as
// carrying on from the one before takes its group's.
double RegulationOfBand(const TCella& cell, int32_t row, int32_t band) {
    int32_t b = band;
    while (b > 0 && cell.Attenuation->Get3(row, WideMaxRegulation, b) == LevelRepeat) --b;
    return cell.Attenuation->Get3(row, WideMaxRegulation, b);
}

// The family with the smallest value of key among those key accepts; -1 none.
template <class Key, class Accept>
int32_t Smallest(const std::array<TFamiglia, FamiliesMax>& families, int32_t count, Key key, Accept accept) {
    int32_t best = -1;
    for (int32_t i = 0; i < count; ++i)
        if (accept(families[i]) && (best < 0 || key(families[i]) < key(families[best]))) best = i;
    return best;
}

// The substation rule: the smallest substation level that reaches req; else,
// when the best single substation amplifier reaches it, the smallest
// head-end level.
int32_t BySubstation(const std::array<TFamiglia, FamiliesMax>& families, int32_t count, float req, float x) {
    const int32_t s = Smallest(
        families, count, [](const TFamiglia& f) { return f.Smax; },
        [req](const TFamiglia& f) { return f.Smax >= req; });
    if (s >= 0) return s;
    if (x < req) return -1;
    return Smallest(
        families, count, [](const TFamiglia& f) { return f.Hmax; }, [](const TFamiglia&) { return true; });
}

bool IsQuadLnb(const TCella& cell) { return (cell.Characteristics[0] & FeatureQuadLnb) != 0; }

}  // namespace

void TCreaAuto::ChooseHeadEndFamilies() {
    ChosenFamily[0] = ChosenFamily[1] = -1;
    const int32_t terCount = std::clamp(FamilyCount[0], 0, FamiliesMax);
    const int32_t satCount = std::clamp(FamilyCount[1], 0, FamiliesMax);
    if (Settings->Terrestrial) {
        const float req = RequiredLevelTer;
        if (TapNetwork[0] && EntryInputsTer != 1) {
            ChosenFamily[0] = BySubstation(FamilyTer, terCount, req, SubstationLevelTer[1]);
        } else {
            int32_t j = -1;
            for (int32_t i = 0; i < terCount; ++i) {
                const TFamiglia& f = FamilyTer[i];
                if (f.Hmax < req) {
                    // Below the need only a family whose modules reach it alone.
                    if (f.ModuleLevel >= req && (j < 0 || f.ModuleLevel < FamilyTer[j].ModuleLevel)) j = i;
                } else if (j < 0 || FamilyTer[j].Hmax < req ||
                           (f.Hmax < FamilyTer[j].Hmax && (!MixedAntenna || f.H[1][0] <= 0.0f))) {
                    // A family whose finals reach the need wins over one
                    // taken for its modules alone, whatever the list order.
                    j = i;
                }
            }
            ChosenFamily[0] = j;
        }
    }
    if (Settings->Satellite) {
        const float req = RequiredLevelSat;
        if (EntryInputsSat != 1 && (EntryInputsTer != 1 || EntryInputsSat > 0))
            ChosenFamily[1] = BySubstation(FamilySat, satCount, req, SubstationLevelSat[1]);
        else
            ChosenFamily[1] = Smallest(
                FamilySat, satCount, [](const TFamiglia& f) { return f.Hmax; },
                [req](const TFamiglia& f) { return f.Hmax >= req; });
    }
}

// ---------------------------------------------------------------- LNB

bool TCreaAuto::SelectLnb(int32_t column, int32_t row, TGridData* grid, int32_t outputs) {
    const int32_t n = std::max(outputs, LnbMinimumOutputs);
    auto usable = [n](const TCella& c) {
        return c.TypeCode == CodeSat && !IsQuadLnb(c) && c.ThroughOutputs >= LnbMinimumOutputs &&
               c.ThroughOutputs >= (n + 1) / 2;
    };
    // The output count: the smallest that covers the need, else the largest below it.
    int32_t above = 0, below = 0;
    for (TCella* c = Components->head; c; c = c->NextInList) {
        if (!usable(*c)) continue;
        const int32_t m = c->ThroughOutputs;
        if (m >= n && (above == 0 || m < above)) above = m;
        if (m < n) below = std::max(below, m);
    }
    const int32_t count = above ? above : below;

    auto dishOf = [this](const TCella& lnb) -> TCella* {
        for (TCella* d = Components->head; d; d = d->NextInList)
            if (d->TypeCode == CodeParabola && d->Series == lnb.Series) return d;
        return nullptr;
    };
    TCella* lnb = nullptr;
    TCella* dish = nullptr;
    TCella* lastFit = nullptr;
    for (TCella* c = count ? Components->head : nullptr; c; c = c->NextInList) {
        if (!usable(*c) || c->ThroughOutputs != count ||
            c->Attenuation->Get3(0, SatLevelColumn, BandSlotSat) < RequiredLevelSat)
            continue;
        lastFit = c;
        if (TCella* d = dishOf(*c)) {
            lnb = c;
            dish = d;
            break;
        }
    }
    if (!lnb && lastFit) {
        lnb = lastFit;
        for (TCella* d = Components->head; d && !dish; d = d->NextInList)
            if (d->TypeCode == CodeParabola) dish = d;
    }
    if (!lnb) {
        AnsiString text = "Non sono stati selezionati LNB adeguati alla centrale satellitare.";
        // The most the LNBs of that output count give, against what the lines ask.
        float most = LevelNone;
        for (TCella* c = count ? Components->head : nullptr; c; c = c->NextInList)
            if (usable(*c) && c->ThroughOutputs == count)
                most = std::max(most, c->Attenuation->Get3(0, SatLevelColumn, BandSlotSat));
        if (IsRealLevel(most))
            text += " Le linee multiswitch richiedono in testa " + FormatFloat("0.0", RequiredLevelSat) +
                    " dBµV, gli LNB scelti da " + IntToStr(count) + " uscite ne danno al più " +
                    FormatFloat("0.0", most) + ". Scegliere \"Multiswitch 4 cavi\" e \"Multiswitch lungo scala\".";
        Reporter->Report(text);
        return false;
    }

    // Every output of the LNB carries the whole satellite band.
    if (auto* sat = dynamic_cast<TSat*>(lnb))
        for (int32_t o = 0; o < std::min(count, SatMaxOutputs); ++o) sat->UseSatBands[o] = 1;
    // Outputs beyond the lines needed are closed: with fewer lines than the
    // smallest LNB has outputs, the ones left over too, or they stay open and
    // the head end never analyses.
    const int32_t lines = std::max(outputs, 0);
    int32_t x = column;
    for (int32_t placed = 0; placed < n; placed += count) {
        if (!PlaceClone(lnb, x, row, 0, grid)) return false;
        for (int32_t i = std::max(lines - placed, 0); i < count; ++i)
            if (!PlaceTermination(x + i, row + 1, 0, grid)) return false;
        x += count;
    }
    TCella* placedDish = dish ? PlaceClone(dish, x + 1, row - 1, 0, grid)
                              : PlaceNew(std::make_unique<TParabola>(nullptr, 0, 0, x + 1, row - 1), grid);
    return placedDish != nullptr;
}

// ---------------------------------------------------------------- level adjustment

namespace {

const TModuloFiltro* TerrestrialModule(const TCella& cell) {
    if (cell.TypeCode != CodeFiltroAT && cell.TypeCode != CodeFiltroCAG) return nullptr;
    const auto* filter = dynamic_cast<const TFiltroAttivo*>(&cell);
    if (!filter || !filter->Modules || !filter->Modules->head) return nullptr;
    const TModuloFiltro* m = filter->Modules->head;
    return m->slotHigh[ModuleInputSlot] < TerrestrialLimit && m->stage ? m : nullptr;
}

const TListaCanali* FilterChannels(const TCella& cell) {
    return FilterOutput < static_cast<int32_t>(cell.ChannelLists.size())
               ? cell.ChannelLists[FilterOutput].get()
               : nullptr;
}

double DesignLevel(const TCanale& c) { return double(c.LevelFromTable()) + c.levelMin; }

// The channel a filter sets: the one of its output that ends at its module's edge.
const TCanale* OwnChannel(const TCella& cell, const TModuloFiltro& m) {
    const TListaCanali* list = FilterChannels(cell);
    const TCanale* c = list ? list->head : nullptr;
    while (c && c->freqHigh != m.slotHigh[ModuleInputSlot]) c = c->next;
    return c;
}

// The rated output of a final in a band: the least of its rows' maximum
// output levels, none when no row gives one.
float RatedOutput(const TCella& final, int32_t band) {
    float rated = LevelNone;
    for (int32_t r = 0; r < final.Attenuation->Size2(); ++r) {
        const float v = final.Attenuation->Get3(r, WideMaxOutput, band);
        if (v > LevelNone) rated = rated > LevelNone ? std::min(rated, v) : v;
    }
    return rated;
}

// The highest margin at which every channel a filter sets leaves every final
// that carries it within the final's rated output less the derating for the
// channels it carries. A filter's setting moves its channel one for one down
// the chain, so the levels of the pass just run give each final's share.
double FinalsCeiling(TCella* anchor, float best, const float* gain) {
    double ceiling = StartMargin;
    for (TCella* final = anchor; final; final = final->NextCell) {
        if (final->TypeCode != CodeAmplificatoreAt || final->Attenuation->Rank() != 3 ||
            AutoMixOwnOutput >= static_cast<int32_t>(final->ChannelLists.size()))
            continue;
        const TListaCanali* leaving = final->ChannelLists[AutoMixOwnOutput].get();
        if (!leaving) continue;
        const double derating = TListaCanali::OverloadDerating(leaving->Count());
        for (TCella* cell = anchor; cell; cell = cell->NextCell) {
            const TModuloFiltro* m = TerrestrialModule(*cell);
            const TCanale* c = m ? OwnChannel(*cell, *m) : nullptr;
            const TCanale* out = c ? leaving->FindByFrequency(*c) : nullptr;
            if (!out) continue;
            const int32_t band = std::clamp(c->band, 0, BandSlots - 1);
            const float rated = RatedOutput(*final, band);
            if (rated <= LevelNone || gain[band] <= LevelNone) continue;
            const double now = std::max(0.0f, m->stage->Get2(0, 0));
            ceiling = std::min(ceiling, double(rated) - derating - out->levelMax + DesignLevel(*c) - now -
                                            (double(best) - gain[band]));
        }
    }
    return ceiling;
}

// The lowest level at the outlets a channel may come down to: the
// options' least signal of its band and kind.
double OutletMinimum(const TCanale& c) {
    const int32_t band = std::clamp(c.band, 0, BandSlots - 1);
    return Opzioni ? double(Opzioni->limits[band][c.signalType == SignalDigital ? LimitSigMinDig : LimitSigMin])
                   : -double(LimitNoLimit);
}

// What the filters' range could not take off a final's output comes off the
// final's own gain regulation, as far as that reaches; an overdrive beyond
// it stays for the calculation to report. A satellite band, which no filter
// sets, comes down as far as the outlets the final feeds keep their least
// signal: what it cannot take off without leaving an outlet short stays too.
// True when the final's regulation moved.
bool TrimFinal(TCella& final) {
    if (final.TypeCode != CodeAmplificatoreAt || final.Attenuation->Rank() != 3 ||
        AutoMixOwnOutput >= static_cast<int32_t>(final.ChannelLists.size()) ||
        !final.ChannelLists[AutoMixOwnOutput])
        return false;
    const TListaCanali& leaving = *final.ChannelLists[AutoMixOwnOutput];
    const double derating = TListaCanali::OverloadDerating(leaving.Count());
    // What the outlets downstream of the final receive, from the pass just run.
    TListaCanali reached;
    const uint32_t stamp = NextPassNumber();
    for (int32_t o = 0; o < final.NumOutputs && o < static_cast<int32_t>(final.OutputCell.size()); ++o)
        if (TCella* next = final.OutputCell[o]) next->WalkDownstream(&reached, final.OutputPort[o], stamp);
    TRegolazioneBanda bands[BandSlots];
    bool over = false;
    for (TRegolazioneBanda& b : bands) b.Room = StartMargin;
    for (const TCanale* c = leaving.head; c; c = c->next) {
        if (c->band < 0 || c->band >= BandSlots) continue;
        const bool satellite = c->band >= TerrestrialSlots;
        if (satellite)
            if (const TCanale* at = reached.FindByFrequency(*c))
                bands[c->band].Room = std::min(bands[c->band].Room, at->levelMin - OutletMinimum(*at));
        const float rated = RatedOutput(final, c->band);
        if (rated <= LevelNone) continue;
        // In hundredths of a dB, rounded up: the level then stays at or
        // below the rating once stored as a float.
        const double excess = std::ceil((c->levelMax - (double(rated) - derating)) * 100.0) / 100.0;
        if (excess <= bands[c->band].Need) continue;
        bands[c->band].Need = excess;
        over = true;
    }
    if (!over) return false;
    for (TRegolazioneBanda& b : bands) b.Room = std::max(b.Room, 0.0);
    std::vector<float> before(BandSlots * size_t(final.Attenuation->Size2()));
    for (int32_t r = 0; r < final.Attenuation->Size2(); ++r)
        for (int32_t b = 0; b < BandSlots; ++b)
            before[size_t(r) * BandSlots + size_t(b)] = final.Attenuation->Get3(r, WideRegulation, b);
    bool moved = false;
    for (int32_t r = 0; r < final.Attenuation->Size2(); ++r) {
        RegulateRow(final, r, WideRegulation, WideMaxRegulation, bands);
        for (int32_t b = 0; b < BandSlots; ++b)
            moved = moved || before[size_t(r) * BandSlots + size_t(b)] != final.Attenuation->Get3(r, WideRegulation, b);
    }
    return moved;
}

// The final amplifier that feeds a final through the cells between them
// (cables, the splitters and taps of a split chain), none when another
// kind of active stands between or nothing feeds it.
TCella* FeedingFinal(const TCella& final) {
    constexpr int StepsMax = 10000;
    TCella* cell = final.InputCell.empty() ? nullptr : final.InputCell[0];
    for (int step = 0; cell && step < StepsMax; ++step) {
        if (cell->TypeCode == CodeAmplificatoreAt) return cell;
        if (cell->TypeCode == CodeFiltroAT || cell->TypeCode == CodeFiltroCAG || cell->InputCell.empty())
            return nullptr;
        cell = cell->InputCell[0];
    }
    return nullptr;
}

// What a final still gives above its rating less the derating in a
// terrestrial band once its own regulation is at its end comes off the
// final that feeds it (a split final behind the head end's, whose gain
// together is more than the chain can lose): as far as that one's
// regulation goes. True when it moved.
bool PassOnExcess(TCella& final) {
    if (final.TypeCode != CodeAmplificatoreAt || final.Attenuation->Rank() != 3 ||
        AutoMixOwnOutput >= static_cast<int32_t>(final.ChannelLists.size()) ||
        !final.ChannelLists[AutoMixOwnOutput])
        return false;
    TCella* feeding = FeedingFinal(final);
    if (!feeding || feeding->Attenuation->Rank() != 3) return false;
    const TListaCanali& leaving = *final.ChannelLists[AutoMixOwnOutput];
    const double derating = TListaCanali::OverloadDerating(leaving.Count());
    TRegolazioneBanda bands[BandSlots];
    bool over = false;
    for (TRegolazioneBanda& b : bands) b.Room = StartMargin;
    for (const TCanale* c = leaving.head; c; c = c->next) {
        if (c->band < 0 || c->band >= TerrestrialSlots) continue;
        const float rated = RatedOutput(final, c->band);
        if (rated <= LevelNone) continue;
        const double excess = std::ceil((c->levelMax - (double(rated) - derating)) * 100.0) / 100.0;
        if (excess <= LevelTolerance || excess <= bands[c->band].Need) continue;
        bands[c->band].Need = excess;
        over = true;
    }
    if (!over) return false;
    bool moved = false;
    for (int32_t r = 0; r < feeding->Attenuation->Size2(); ++r) {
        std::vector<float> before(BandSlots);
        for (int32_t b = 0; b < BandSlots; ++b) before[size_t(b)] = feeding->Attenuation->Get3(r, WideRegulation, b);
        RegulateRow(*feeding, r, WideRegulation, WideMaxRegulation, bands);
        for (int32_t b = 0; b < BandSlots; ++b)
            moved = moved || before[size_t(b)] != feeding->Attenuation->Get3(r, WideRegulation, b);
    }
    return moved;
}

// What the network's first cell hands on, collected where it reaches the
// outlets, from the channel pass just run.
void CollectNetworkChannels(const TProgetto& project, TListaCanali& needed) {
    TCella* first = project.NetworkGrid ? project.NetworkGrid->Anchor : nullptr;
    if (!first) return;
    const uint32_t stamp = NextPassNumber();
    for (int32_t o = 0; o < first->NumOutputs && o < static_cast<int32_t>(first->OutputCell.size()); ++o)
        if (TCella* next = first->OutputCell[o]) next->WalkDownstream(&needed, first->OutputPort[o], stamp);
}

// How far a channel reaching the outlets stands above the options' highest
// signal of its band (0 when it does not).
double Excess(const TCanale& need, const TOpzioni* options) {
    const int32_t band = std::clamp(need.band, 0, BandSlots - 1);
    const double most = options ? options->limits[band][LimitSigMax] : LimitNoLimit;
    return std::max(0.0, double(need.LevelFromTable()) + need.levelMax - most);
}

}  // namespace

void TCreaAuto::AdjustHeadEndLevels() {
    if (!Project || !Project->HeadEndGrid) return;
    const TReporterOff muted(Reporter);
    Project->RunChannelPass(0);

    TListaCanali needed;
    CollectNetworkChannels(*Project, needed);

    double margin = StartMargin;
    float gain[BandSlots];
    std::fill(std::begin(gain), std::end(gain), LevelNone);
    TCella* anchor = Project->HeadEndGrid->Anchor;
    for (TCella* cell = anchor; cell; cell = cell->NextCell) {
        if (const TModuloFiltro* m = TerrestrialModule(*cell)) {
            if (const TListaCanali* list = FilterChannels(*cell))
                for (const TCanale* c = list->head; c; c = c->next) {
                    if (!(c->freqHigh < TerrestrialLimit)) continue;
                    const TCanale* need = needed.FindByFrequency(*c);
                    const double excess = need ? Excess(*need, Opzioni) : 0.0;
                    margin = std::min(margin, DesignLevel(*c) - excess);
                }
            const float value3 = m->stage->Get2(3, 0);
            if (value3 > 0.0f) margin = std::min(margin, double(value3));
        } else if (cell->TypeCode == CodeAmplificatoreAt && cell->Attenuation->Rank() == 3) {
            for (int32_t r = 0; r < cell->Attenuation->Size2(); ++r)
                for (int32_t b = 0; b < BandSlots; ++b)
                    gain[b] = std::max(gain[b], cell->Attenuation->Get3(r, 1, b));
        }
    }
    float best = LevelNone;
    for (int32_t b = 0; b < TerrestrialSlots; ++b) best = std::max(best, gain[b]);
    // No channel is set to leave a final above the final's rating, however
    // much more the outlets would take.
    margin = std::min(margin, FinalsCeiling(anchor, best, gain));
    margin = std::max(margin, double(LowestMargin));

    for (TCella* cell = anchor; cell; cell = cell->NextCell) {
        const TModuloFiltro* m = TerrestrialModule(*cell);
        const TCanale* c = m ? OwnChannel(*cell, *m) : nullptr;
        if (!c) continue;
        const int32_t band = std::clamp(c->band, 0, BandSlots - 1);
        double setting = DesignLevel(*c) - margin - (double(best) - gain[band]);
        setting = std::max(std::min(setting, double(m->stage->Get2(4, 0))), 0.0);
        m->stage->Set2(0, 0, static_cast<float>(setting));
    }
    Project->RunChannelPass(0);
    // A final fed by another (the split finals behind the satellite head
    // end's) hears what the one before it left: each is trimmed on a pass
    // run after the one upstream moved.
    for (TCella* cell = anchor; cell; cell = cell->NextCell)
        if (TrimFinal(*cell)) Project->RunChannelPass(0);
    for (TCella* cell = anchor; cell; cell = cell->NextCell)
        if (PassOnExcess(*cell)) Project->RunChannelPass(0);
    if (anchor) anchor->SpreadStamp(NextPassNumber());
}

AnsiString TCreaAuto::RegulateWidebandInputs() {
    if (!Project || !Project->HeadEndGrid) return AnsiString();
    TReporterOff muted(Reporter);
    TCella* amplifier = nullptr;
    for (TCella* cell = Project->HeadEndGrid->Anchor; cell && !amplifier; cell = cell->NextCell)
        if (cell->TypeCode == CodeTerrestre && cell->Attenuation && cell->Attenuation->Rank() == 3)
            amplifier = cell;
    if (!amplifier) return AnsiString();
    const int32_t rows = std::min(amplifier->NumInputs, amplifier->Attenuation->Size2());

    // Per input and band: the lowest and highest design level at the
    // outlets of the channels that input brings, and their kinds, from a
    // channel pass just run.
    struct TSpan {
        double lowest[BandSlots], highest[BandSlots];
        bool digital[BandSlots], analogue[BandSlots];
    };
    auto spans = [&] {
        Project->RunChannelPass(0);
        std::vector<TSpan> result(static_cast<size_t>(std::max(rows, 0)));
        TListaCanali reached;
        CollectNetworkChannels(*Project, reached);
        for (int32_t i = 0; i < rows; ++i) {
            TSpan& span = result[static_cast<size_t>(i)];
            std::fill(std::begin(span.lowest), std::end(span.lowest), NoLowestLevel);
            std::fill(std::begin(span.highest), std::end(span.highest), NoHighestLevel);
            std::fill(std::begin(span.digital), std::end(span.digital), false);
            std::fill(std::begin(span.analogue), std::end(span.analogue), false);
            const TCella* up = amplifier->InputCell.size() > size_t(i) ? amplifier->InputCell[i] : nullptr;
            const int32_t port = amplifier->InputPort.size() > size_t(i) ? amplifier->InputPort[i] : -1;
            const TListaCanali* arriving = up && port >= 0 && size_t(port) < up->ChannelLists.size()
                                               ? up->ChannelLists[port].get()
                                               : nullptr;
            if (!arriving) continue;
            for (const TCanale* c = arriving->head; c; c = c->next) {
                if (!(c->freqHigh < TerrestrialLimit)) continue;
                const TCanale* at = reached.FindByFrequency(*c);
                if (!at || at->band < 0 || at->band >= BandSlots) continue;
                const double table = at->LevelFromTable();
                span.lowest[at->band] = std::min(span.lowest[at->band], table + at->levelMin);
                span.highest[at->band] = std::max(span.highest[at->band], table + at->levelMax);
                (at->signalType == SignalDigital ? span.digital : span.analogue)[at->band] = true;
            }
        }
        return result;
    };
    auto limit = [](int32_t band, int kind) {
        return Opzioni ? double(Opzioni->limits[band][kind]) : (kind == LimitSigMax ? 1000.0 : 0.0);
    };

    const std::vector<TSpan> before = spans();
    for (int32_t i = 0; i < rows; ++i) {
        const TSpan& span = before[static_cast<size_t>(i)];
        TRegolazioneBanda bands[BandSlots];
        for (int32_t b = 0; b < BandSlots; ++b) {
            if (span.highest[b] == NoHighestLevel) {
                bands[b].Need = 0.0;
                bands[b].Room = StartMargin;
                continue;
            }
            bands[b].Need = span.highest[b] - limit(b, LimitSigMax);
            bands[b].Room = span.lowest[b] - limit(b, LimitSigMin);
        }
        RegulateRow(*amplifier, i, WideRegulation, WideMaxRegulation, bands);
    }

    // What is left above the outlets' maximum, and what stopped the
    // regulation there: its end, or the channels' spread across the outlets'
    // window (which coming down further would put below the minimum). With
    // nothing above, what the regulation left below the minimum: the spread
    // again, the nearest outlets at their maximum.
    const std::vector<TSpan> after = spans();
    AnsiString reason;
    double worst = LevelTolerance;
    for (int32_t i = 0; i < rows; ++i)
        for (int32_t b = 0; b < BandSlots; ++b) {
            const TSpan& span = after[static_cast<size_t>(i)];
            if (span.highest[b] == NoHighestLevel) continue;
            const double over = span.highest[b] - limit(b, LimitSigMax);
            const double under = limit(b, LimitSigMin) - span.lowest[b];
            if (reason.empty() && !(over > LevelTolerance) && under > LevelTolerance)
                reason = "I canali dell'ingresso " + IntToStr(i + 1) + " di " + amplifier->Code +
                         " arrivano alle prese su " + FormatFloat("0.0", span.highest[b] - span.lowest[b]) +
                         " dB, più dei " + FormatFloat("0.#", limit(b, LimitSigMax) - limit(b, LimitSigMin)) +
                         " dB tra segnale minimo e massimo delle prese: con le più vicine al massimo, le più "
                         "lontane restano " +
                         FormatFloat("0.00", under) + " dB sotto il minimo.";
            if (!(over > worst)) continue;
            worst = over;
            const double regulation = amplifier->Attenuation->Get3(i, WideRegulation, b);
            const double most = RegulationOfBand(*amplifier, i, b);
            const AnsiString input = IntToStr(i + 1) + " di " + amplifier->Code;
            if (!(regulation < most - LevelTolerance))
                reason = "Anche con tutta la regolazione (" + FormatFloat("0.#", most) + " dB) l'ingresso " +
                         input + " porta le prese " + FormatFloat("0.0", over) +
                         " dB sopra il segnale massimo.";
            else
                reason = "I canali dell'ingresso " + input + " arrivano alle prese su " +
                         FormatFloat("0.0", span.highest[b] - span.lowest[b]) + " dB, più dei " +
                         FormatFloat("0.#", limit(b, LimitSigMax) - limit(b, LimitSigMin)) +
                         " dB tra segnale minimo e massimo delle prese" +
                         (span.digital[b] && span.analogue[b]
                              ? " (i canali digitali contano " +
                                    FormatFloat("0.#", limit(b, LimitDiffAnDig)) + " dB in più)."
                              : AnsiString("."));
        }
    return reason;
}

TCreaAuto::TLevelMisfit TCreaAuto::TerrestrialMisfit() {
    TLevelMisfit misfit;
    if (!Project) return misfit;
    {
        const TReporterOff muted(Reporter);
        Project->RunChannelPass(0);
    }
    TListaCanali reached;
    CollectNetworkChannels(*Project, reached);
    for (const TCanale* c = reached.head; c; c = c->next) {
        if (!(c->freqHigh < TerrestrialLimit)) continue;
        misfit.over = std::max(misfit.over, Excess(*c, Opzioni));
        const int32_t band = std::clamp(c->band, 0, BandSlots - 1);
        const double least = Opzioni ? Opzioni->limits[band][LimitSigMin] : -LimitNoLimit;
        misfit.under = std::max(misfit.under, least - (double(c->LevelFromTable()) + c->levelMin));
    }
    return misfit;
}
