// The calculation tables: minimum and maximum signals per band, separations
// between outlets per band, and the channels with their signal and C/N
// ranges, for the head-end terminal and all or some outlets.
#include <algorithm>

#include "cells/cell.h"
#include "core/band_systems.h"
#include "core/channel_list.h"
#include "core/channels.h"
#include "core/globals.h"
#include "core/options.h"
#include "core/table_texts.h"
#include "document/grid.h"
#include "document/project.h"
#include "document/report_pages.h"
#include "platform/stdctrls.h"
#include "printing/documents.h"

namespace {

int32_t Bands() {
    const TSistemaBande* s = SistemaBandeCorrente;
    return s ? std::min<int32_t>({s->bandCount, static_cast<int32_t>(s->bands.size()), BandSlots}) : 0;
}

}  // namespace

void TStampa::SetTablePositions(int32_t kind) {
    TPrintPage& pp = PrintPage;
    pp.NumberLeft = pp.Points(18);
    if (kind == DocChannels) {
        pp.CodeLeft = pp.Points(74);
        pp.DescriptionLeft = pp.Points(124);
        pp.MinSignalRight = pp.Points(234);
        pp.MaxSignalRight = pp.Points(274);
        pp.MinNoiseRight = pp.Points(314);
        pp.MaxNoiseRight = pp.Points(354);
        pp.OriginLeft = pp.Points(384);
    } else {
        pp.CodeLeft = pp.Points(94);  // right edge of the first band column
        pp.BandStep = pp.Points(40);
    }
}

std::vector<TCella*> TStampa::ChosenOutlets(bool all, const TListBox* list) const {
    std::vector<TCella*> chosen;
    if (!Project || !Project->NetworkGrid) return chosen;
    int index = 0;
    for (TCella* o = Project->NetworkGrid->FirstOutlet; o; o = o->NextOutlet, ++index)
        if (all || (list && index < list->Items->Count() && list->IsSelected(index))) chosen.push_back(o);
    return chosen;
}

bool TStampa::BlockBreak(int32_t rows, int32_t kind, int32_t flags) {
    TPrintPage& pp = PrintPage;
    const int32_t line = pp.LineHeight;
    const bool fresh = pp.BodyBottom - rows * line - pp.Points(26) - line - pp.BodyTop >= 1;
    const bool breaks = pp.Y + line > pp.BodyBottom || (pp.Y + 2 * line > pp.BodyBottom && rows >= 2) ||
                        (pp.Y + rows * line > pp.BodyBottom && fresh);
    if (!breaks) return true;
    ++pp.PageNumber;
    if (pp.PageToRender > 0 && pp.PageToRender < pp.PageNumber) return false;
    PrintTableHeader(kind, flags);
    return true;
}

void TStampa::ClosingRule() {
    TPrintPage& pp = PrintPage;
    if (pp.Y + pp.LineHeight > pp.BodyBottom) return;
    Rule(pp.Y);
    pp.Y += 4;
}

// ---------------------------------------------------------------- signals

int32_t TStampa::PrintSignalLimits(bool headEnd, bool outlets, bool all, const TListBox* list, int32_t page) {
    if ((!headEnd && !outlets) || !Project || !Project->NetworkGrid) return -1;
    PortraitPages(page);
    GetPageLayout(DocSignals, page);
    SetTablePositions(DocSignals);
    const int32_t flags = (headEnd ? 2 : 0) | (outlets ? 1 : 0);
    PrintPage.PageNumber = 1;
    PrintTableHeader(DocSignals, flags);
    Project->ComputeOutletLevels();
    if (headEnd && Project->NetworkGrid->Anchor && !PrintSignalLimitRows(Project->NetworkGrid->Anchor, flags))
        return 1;
    if (outlets)
        for (TCella* o : ChosenOutlets(all, list))
            if (!PrintSignalLimitRows(o, flags)) return 1;
    return 0;
}

bool TStampa::PrintSignalLimitRows(TCella* cell, int32_t flags) {
    TPrintPage& pp = PrintPage;
    const std::vector<TSignalLimitBlock> blocks = SignalLimitBlocks(cell);
    // Two rows per output of the terminal; an outlet's block is always two rows.
    const int32_t rows = 2 * static_cast<int32_t>(blocks.size());
    if (!PageBreak(rows * pp.LineHeight, DocSignals, flags)) return false;
    for (const TSignalLimitBlock& b : blocks) {
        for (int pass = 0; pass < 2; ++pass) {
            const std::vector<AnsiString>& texts = pass == 0 ? b.Minima : b.Maxima;
            const std::vector<TColor>& colours = pass == 0 ? b.MinimumColours : b.MaximumColours;
            // The label stands on the minima's row.
            std::vector<TRowText> row{
                {pp.NumberLeft, pass == 0 ? b.Label : AnsiString(), false, true, clBlack}};
            for (size_t i = 0; i < texts.size(); ++i)
                row.push_back({pp.CodeLeft + static_cast<int32_t>(i) * pp.BandStep, texts[i], true, true,
                               i < colours.size() ? colours[i] : clBlack});
            PrintRowTexts(pp.Y, row);
            pp.Y += pp.LineHeight;
        }
        ClosingRule();
    }
    return true;
}

// ---------------------------------------------------------------- separations

int32_t TStampa::PrintOutletSeparations(bool separations, bool all, const TListBox* list, int32_t page) {
    if (!separations || !Project || !Project->NetworkGrid) return -1;
    PortraitPages(page);
    GetPageLayout(DocSeparations, page);
    SetTablePositions(DocSeparations);
    PrintPage.PageNumber = 1;
    PrintTableHeader(DocSeparations, 0);
    for (TCella* o : ChosenOutlets(all, list))
        if (!PrintSeparationRows(o)) return 1;
    return 0;
}

bool TStampa::PrintSeparationRows(TCella* outlet) {
    TPrintPage& pp = PrintPage;
    int32_t others = -1;
    for (TCella* o = Project->NetworkGrid->FirstOutlet; o; o = o->NextOutlet) ++others;
    if (others <= 0) return true;
    const int32_t bands = Bands();
    for (int32_t b = 0; b < bands; ++b) Project->ComputeOutletSeparation(outlet, b, 0);
    if (!BlockBreak(others, DocSeparations, 0)) return false;
    for (TCella* o = Project->NetworkGrid->FirstOutlet; o; o = o->NextOutlet) {
        if (o->SequenceNumber == outlet->SequenceNumber) continue;
        if (!PageBreak(pp.LineHeight, DocSeparations, 0)) return false;
        std::vector<TRowText> row{
            {pp.NumberLeft, outlet->GetShortCode() + " - " + o->GetShortCode(), false, true, clBlack}};
        for (int32_t b = 0; b < bands; ++b) {
            const float value = o->SeparationOutlet[b];
            const float least = Opzioni ? Opzioni->limits[b][LimitAttMin] : LevelNone;
            const TColor colour = value >= 0.0f && value < least ? clRed : clBlue;
            row.push_back({pp.CodeLeft + b * pp.BandStep, FormatLimitCell(value), true, true, colour});
        }
        PrintRowTexts(pp.Y, row);
        pp.Y += pp.LineHeight;
    }
    ClosingRule();
    return true;
}

// ---------------------------------------------------------------- channels

int32_t TStampa::PrintChannelTable(bool headEnd, bool outlets, bool all, const TListBox* list, int32_t page) {
    if ((!headEnd && !outlets) || !Project || !Project->NetworkGrid || !Project->HeadEndGrid) return -1;
    PortraitPages(page);
    GetPageLayout(DocChannels, page);
    SetTablePositions(DocChannels);
    const int32_t flags = (headEnd ? 2 : 0) | (outlets ? 1 : 0);
    PrintPage.PageNumber = 1;
    PrintTableHeader(DocChannels, flags);
    if (Project->NetworkGrid->ChannelsOutOfDate || Project->HeadEndGrid->ChannelsOutOfDate) {
        if (RunChannelPass)
            RunChannelPass();
        else
            Project->RunChannelPass(0);
    }
    if (headEnd && Project->HeadEndGrid->Anchor && !PrintOutputChannels(Project->HeadEndGrid->Anchor, flags))
        return 1;
    if (outlets)
        for (TCella* o : ChosenOutlets(all, list))
            if (!PrintOutputChannels(o, flags)) return 1;
    return 0;
}

bool TStampa::PrintOutputChannels(TCella* cell, int32_t flags) {
    for (const TChannelBlock& b : ChannelBlocks(cell))
        if (!PrintChannelRows(b.Channels, b.Name, flags)) return false;
    return true;
}

bool TStampa::PrintChannelRows(TListaCanali* list, const AnsiString& name, int32_t flags) {
    TPrintPage& pp = PrintPage;
    if (list) list->Sort();
    const int32_t count = list ? list->Count() : 0;
    if (!BlockBreak(count, DocChannels, flags)) return false;
    // The name stands on the line of the first channel, or alone.
    if (count == 0) {
        PrintRowTexts(pp.Y, {{pp.NumberLeft, name, false, true, clBlack}});
        pp.Y += pp.LineHeight;
    }
    for (const TCanale* c = count ? list->head : nullptr; c; c = c->next) {
        if (!PageBreak(pp.LineHeight, DocChannels, flags)) return false;
        const TChannelRowTexts t = ChannelRowTexts(*c);
        PrintRowTexts(pp.Y, {{pp.NumberLeft, c == list->head ? name : AnsiString(), false, true, clBlack},
                             {pp.CodeLeft, t.Name, false, true, clBlue},
                             {pp.DescriptionLeft, t.Label, false, true, clBlue},
                             {pp.MinSignalRight, t.MinSignal, true, true, clBlue},
                             {pp.MaxSignalRight, t.MaxSignal, true, true, clBlue},
                             {pp.MinNoiseRight, t.MinCN, true, true, clBlue},
                             {pp.MaxNoiseRight, t.MaxCN, true, true, clBlue},
                             {pp.OriginLeft, t.Origin, false, true, clBlue}});
        pp.Y += pp.LineHeight;
    }
    ClosingRule();
    return true;
}
