// The last stage of a run: the design drawn is checked as the calculation
// pages check it, and refused with the first thing that would not work.
#include <algorithm>
#include <set>
#include <vector>

#include "autodesign/engine.h"
#include "cells/cell.h"
#include "cells/pass_links.h"
#include "core/channel_list.h"
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
AnsiString OutletFault(TCella& outlet, const TCella& terminal) {
    const TListaCanali* received = outlet.ChannelLists.empty() ? nullptr : outlet.ChannelLists.back().get();
    const AnsiString name = "La presa " + outlet.GetShortCode();
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

}  // namespace

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
        Report(refused + "Calcoli canali: " + finding);
        return false;
    }
    TCella* terminal = network ? network->Anchor : nullptr;
    if (!terminal) return true;
    for (TCella* outlet = network->FirstOutlet; outlet; outlet = outlet->NextOutlet)
        if (const AnsiString fault = OutletFault(*outlet, *terminal); !fault.empty()) {
            Report(refused + fault);
            return false;
        }
    return true;
}
