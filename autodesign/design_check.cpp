// The last stage of a run: the design drawn is checked as the calculation
// pages check it, and refused with the first thing that would not work.
#include <algorithm>
#include <set>
#include <vector>

#include "autodesign/engine.h"
#include "cells/cell.h"
#include "cells/pass_links.h"
#include "core/channel_list.h"
#include "core/band_systems.h"
#include "core/channels.h"
#include "core/globals.h"
#include "core/options.h"
#include "core/reporter.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/stdctrls.h"

namespace {

constexpr double LevelTolerance = 0.001;  // dB
// The bands the designer designs for: band I to band V and the four
// satellite bands up to 2150 MHz. What else a source brings along (band
// slot 0, the satellite band above 2150 MHz) no level of the design aims at.
constexpr int32_t FirstDesignedBand = 1, LastDesignedBand = BandSlotSat;
bool Designed(int32_t band) { return band >= FirstDesignedBand && band <= LastDesignedBand; }

// Lists what a reporter is told for as long as it lives, and gives the
// reporter back where it was sending, whether it was on, and its once-only
// mode after.
class TCollectedMessages {
public:
    explicit TCollectedMessages(TGestoreErrori* reporter) : reporter_(reporter) {
        if (!reporter_) return;
        target_ = reporter_->target;
        enabled_ = reporter_->enabled;
        once_ = reporter_->reportOnce;
        reporter_->SetTarget(&list_);
    }
    ~TCollectedMessages() {
        if (!reporter_) return;
        reporter_->target = target_;
        reporter_->enabled = enabled_;
        reporter_->reportOnce = once_;
    }
    TCollectedMessages(const TCollectedMessages&) = delete;
    TCollectedMessages& operator=(const TCollectedMessages&) = delete;
    AnsiString First() const { return list_.Items->Count() > 0 ? list_.Items->Strings(0) : AnsiString(); }
    int Count() const { return list_.Items->Count(); }
    AnsiString At(int i) const { return list_.Items->Strings(i); }

private:
    TGestoreErrori* reporter_;
    TListBox list_;
    TListBox* target_ = nullptr;
    bool enabled_ = false, once_ = false;
};

AnsiString Level(double value) { return FormatFloat("0.##", value) + "dB"; }

// The first cell of a grid the calculation pages would find without its component.
TCella* Undescribed(const TGridData* grid) {
    for (TCella* cell = grid ? grid->Anchor : nullptr; cell; cell = cell->NextCell)
        if (!cell->Described && !cell->NeedsNoDescription()) return cell;
    return nullptr;
}

// The terminal lines an outlet hangs from: the network terminal's outputs
// reached going upstream through every input.
std::set<int32_t> LinesOf(TCella* outlet, const TCella* terminal) {
    std::set<int32_t> lines;
    std::set<const TCella*> seen;
    std::vector<TCella*> open{outlet};
    while (!open.empty()) {
        TCella* cell = open.back();
        open.pop_back();
        if (!seen.insert(cell).second) continue;
        for (int32_t i = 0; i < static_cast<int32_t>(cell->InputCell.size()); ++i) {
            TCella* up = InputNeighbour(*cell, i);
            if (!up) continue;
            if (up == terminal)
                lines.insert(InputNeighbourPort(*cell, i));
            else
                open.push_back(up);
        }
    }
    return lines;
}

// The least and greatest signal the options allow at an outlet for a channel.
double Least(const TCanale& c) {
    return Opzioni->limits[c.band][c.signalType == SignalDigital ? LimitSigMinDig : LimitSigMin];
}
double Most(const TCanale& c) {
    return Opzioni->limits[c.band][c.signalType == SignalDigital ? LimitSigMaxDig : LimitSigMax];
}

// What keeps an outlet from working: a channel of its lines, in a band the
// outlet handles, that does not reach it, or one that reaches it outside the
// options' window. Empty when it works.
AnsiString OutletFault(TCella& outlet, const TCella& terminal, const AnsiString& place) {
    const TListaCanali* received = outlet.ChannelLists.empty() ? nullptr : outlet.ChannelLists.back().get();
    const AnsiString name = "La presa " + outlet.GetShortCode() + place;
    outlet.ComputeBandMask();
    for (int32_t line : LinesOf(&outlet, &terminal)) {
        const TListaCanali* carried = OutputList(terminal, line);
        for (const TCanale* c = carried ? carried->head : nullptr; c; c = c->next) {
            if (!Designed(c->band) || !(outlet.BandMask & (1u << c->band))) continue;
            if (!received || !received->FindByFrequency(*c))
                return name + " non riceve il canale " + c->name + " della linea " + IntToStr(line + 1) + ".";
        }
    }
    for (const TCanale* c = received ? received->head : nullptr; c; c = c->next) {
        if (!Designed(c->band) || !Opzioni) continue;
        if (c->levelMin < Least(*c) - LevelTolerance)
            return name + ": il livello del canale " + c->name + " è troppo basso (" + Level(c->levelMin) +
                   ", minimo consentito " + Level(Least(*c)) + ").";
        if (c->levelMax > Most(*c) + LevelTolerance)
            return name + ": il livello del canale " + c->name + " è troppo alto (" + Level(c->levelMax) +
                   ", massimo consentito " + Level(Most(*c)) + ").";
    }
    return AnsiString();
}

// The text between two others in a message, empty when either is missing.
AnsiString Between(const AnsiString& text, const AnsiString& before, const AnsiString& after) {
    const size_t from = text.find(before);
    if (from == AnsiString::npos) return AnsiString();
    const size_t start = from + before.size(), end = text.find(after, start);
    return end == AnsiString::npos ? AnsiString() : text.substr(start, end - start);
}

// The name of a band of the present band system, its slot number without one.
AnsiString BandLabel(int32_t band) {
    const TSistemaBande* system = SistemaBandeCorrente;
    if (system && band >= 0 && band < static_cast<int32_t>(system->bands.size()) &&
        !system->bands[static_cast<size_t>(band)].bandName.empty())
        return system->bands[static_cast<size_t>(band)].bandName;
    return IntToStr(band);
}

}  // namespace

AnsiString TCreaAuto::ActiveOverload(bool headEnd) {
    TGridData* grid = !Project ? nullptr : headEnd ? Project->HeadEndGrid : Project->NetworkGrid;
    if (!grid) return AnsiString();
    Project->NumberCells();
    const AnsiString tooHigh = " è troppo alto";
    TCollectedMessages cells(GestoreErrori);
    {
        const TCollectedMessages engine(Reporter != GestoreErrori ? Reporter : nullptr);
        Project->RunChannelPass(0);
    }
    for (int i = 0; i < cells.Count(); ++i) {
        const AnsiString finding = cells.At(i);
        if (finding.find(tooHigh) == AnsiString::npos) continue;
        const AnsiString code = finding.substr(0, finding.find(':'));
        TCella* cell = grid->Anchor;
        while (cell && cell->GetShortCode() != code) cell = cell->NextCell;
        if (!cell) continue;
        // The level the channel leaves the cell with, on the output named or the first.
        const AnsiString channel = Between(finding, "del canale ", tooHigh);
        const AnsiString output = Between(finding, "sull'uscita ", " (");
        int number = 1;
        const size_t port = TryStrToInt(output, number) && number > 1 ? static_cast<size_t>(number - 1) : 0;
        const TListaCanali* list =
            port < cell->ChannelLists.size() ? cell->ChannelLists[port].get() : nullptr;
        double level = LevelNone;
        for (const TCanale* c = list ? list->head : nullptr; c; c = c->next)
            if (c->name == channel) level = std::max(level, double(c->levelMax));
        // Its rating comes down with the count of the channels it receives.
        const TCella* up = InputNeighbour(*cell, 0);
        const int32_t upPort = InputNeighbourPort(*cell, 0);
        const TListaCanali* received = up && upPort >= 0 && size_t(upPort) < up->ChannelLists.size()
                                           ? up->ChannelLists[size_t(upPort)].get()
                                           : list;
        const AnsiString most = Between(finding, "massimo consentito ", "dB)");
        AnsiString text = "L'amplificatore " + cell->Code + (headEnd ? " della centrale di testa" : " della rete") +
                          " dovrebbe dare il canale " + channel;
        if (level > LevelNone) text += " a " + FormatFloat("0.0", level) + " dBµV";
        text += ", più dei " + most + " dBµV che regge";
        const int32_t count = received ? received->Count() : 0;
        text += count > 0 ? " con i " + IntToStr(count) + " canali che riceve." : AnsiString(".");
        return text;
    }
    return AnsiString();
}

bool TCreaAuto::NetworkActivesWithinRating() {
    if (!Project || !Settings->DesignNetwork || !Settings->DesignHeadEnd) return true;
    const AnsiString more = MultiswitchStaircase && Settings->SatelliteCables < 4
                                ? AnsiString(" Scegliere \"Multiswitch 4 cavi\".")
                                : AnsiString();
    const AnsiString overload = ActiveOverload(false);
    if (overload.empty()) return true;
    // The line amplifiers take what the head end sends and the network
    // asks; two cables along the staircase have no groups between the floors
    // to share the levels with.
    Report("Non è possibile dimensionare le scale in quanto è richiesto un segnale troppo elevato dalla centrale "
           "di testa. " +
           overload + more);
    return false;
}

bool TCreaAuto::OutletSpreadWithinLimit() {
    if (!Project || !Settings->DesignNetwork || !Opzioni) return true;
    TCella* lowest = nullptr;
    TCella* highest = nullptr;
    int32_t band = 0;
    // The network page's own comparison of the outlets' levels, band by band,
    // on the windows its required-level pass leaves.
    Project->ComputeOutletLevels();
    if (Project->CheckSignalDifference(lowest, highest, band) || !lowest || !highest) return true;
    const auto socketMin = [band](const TCella& outlet) {
        const int32_t port = outlet.NumThroughOutputs;
        if (!outlet.OutputLevels.Allocated() || port < 0 || port >= outlet.OutputLevels.Ports()) return 0.0;
        return double(outlet.OutputLevels[port][static_cast<size_t>(band)].Min);
    };
    const double spread = socketMin(*highest) - socketMin(*lowest);
    // Two cables along the staircase have no amplifier group between the
    // floors to bring the nearest outlets down towards the farthest.
    const AnsiString choice = MultiswitchStaircase && Settings->SatelliteCables < 4
                                  ? AnsiString(" Scegliere \"Multiswitch 4 cavi\".")
                                  : ServingChoice();
    Report(AnsiString(
               "Non è possibile dimensionare le scale in quanto le prese richiedono livelli troppo diversi tra loro: "
               "nessun segnale in testa alla scala le porta tutte entro i livelli ammessi. ") +
           "La presa " + highest->GetShortCode() + OutletPlace(*highest) + " riceve " +
           FormatFloat("0.0", socketMin(*highest)) + " dBµV, la presa " + lowest->GetShortCode() +
           OutletPlace(*lowest) + " " + FormatFloat("0.0", socketMin(*lowest)) + " dBµV: " +
           FormatFloat("0.00", spread) + " dB di differenza in banda " + BandLabel(band) + ", più dei " +
           FormatFloat("0.##", Opzioni->limits[band][LimitDiffMax]) + " dB consentiti." + choice);
    return false;
}

bool TCreaAuto::CheckDesign() {
    if (!Project) return true;
    TGridData* network = Settings->DesignNetwork ? Project->NetworkGrid : nullptr;
    TGridData* headEnd = Settings->DesignHeadEnd ? Project->HeadEndGrid : nullptr;
    const AnsiString refused = "Il progetto ottenuto non funzionerebbe e viene scartato. ";
    // The codes the pages will show.
    Project->NumberCells();

    // The calculation pages come only with every component described.
    for (TGridData* grid : {network, headEnd})
        if (TCella* cell = Undescribed(grid)) {
            Report(refused + "Il componente " + cell->GetShortCode() + " " +
                   (grid == network ? "della rete" : "della testa") + " è rimasto senza articolo.");
            return false;
        }
    if (!headEnd) return true;

    // "Calcoli canali": the channel pass with whatever the cells report.
    AnsiString finding;
    {
        TCollectedMessages cells(GestoreErrori);
        TCollectedMessages engine(Reporter != GestoreErrori ? Reporter : nullptr);
        Project->RunChannelPass(0);
        finding = cells.First();
        if (finding.empty()) finding = engine.First();
    }
    if (!finding.empty()) {
        Report(refused + "Calcoli canali: " + finding + ServingChoice());
        return false;
    }
    TCella* terminal = network ? network->Anchor : nullptr;
    if (!terminal) return true;
    for (TCella* outlet = network->FirstOutlet; outlet; outlet = outlet->NextOutlet)
        if (const AnsiString fault = OutletFault(*outlet, *terminal, OutletPlace(*outlet)); !fault.empty()) {
            Report(refused + fault + ServingChoice());
            return false;
        }
    return true;
}

AnsiString TCreaAuto::OutletPlace(const TCella& outlet) const {
    // The staircases stand side by side from the left, their floors from the
    // top one down and a floor's apartments one under the other.
    const int32_t staircases = std::clamp(Settings->Building->StaircaseCount, 0, DesignStaircasesMax);
    int32_t s = -1;
    for (int32_t i = 0; i < staircases; ++i)
        if (StaircaseColumn[i] <= outlet.Column && (s < 0 || StaircaseColumn[i] >= StaircaseColumn[s])) s = i;
    if (s < 0) return AnsiString();
    const int32_t row = outlet.Row - EntryRow;
    const int32_t floors = std::clamp(Settings->Building->Staircases[s].FloorCount, 0, DesignFloorsMax);
    int32_t f = -1;
    for (int32_t i = 0; i < floors; ++i)
        if (FloorRow[s][i] <= row && (f < 0 || FloorRow[s][i] > FloorRow[s][f])) f = i;
    if (f < 0) return " (scala " + IntToStr(s + 1) + ")";
    // Apartments in pairs down the floor: the even one right of the riser,
    // the odd one left.
    const int32_t n = ApartmentsOfFloor(s, f);
    int32_t pair = 0;
    for (int32_t i = 0; 2 * i < n; ++i)
        if (FloorRow[s][f] + ApartmentOffset[s][f][2 * i] <= row) pair = i;
    const int32_t riser = RiserEntryColumn[s][TapNetwork[0] ? 0 : 1];
    const bool left = outlet.Column - StaircaseColumn[s] < riser;
    const int32_t a = std::clamp(2 * pair + (left ? 1 : 0), 0, std::max(n - 1, 0));
    return " (scala " + IntToStr(s + 1) + ", piano " + IntToStr(f + 1) + ", appartamento " + IntToStr(a + 1) +
           ")";
}

AnsiString TCreaAuto::ServingChoice() const {
    // The modular head end sets every channel on its own; the switches along
    // the staircase take amplifier groups between the floors.
    if (Settings->Terrestrial && Settings->Wideband) return " Scegliere \"Modulare\".";
    if (MultiswitchSat && !MultiswitchStaircase) return " Scegliere \"Multiswitch lungo scala\".";
    return AnsiString();
}
