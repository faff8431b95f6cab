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

constexpr TColor Magenta = RGB(255, 0, 255);

int32_t Bands() {
    const TSistemaBande* s = SistemaBandeCorrente;
    return s ? std::min<int32_t>({s->bandCount, static_cast<int32_t>(s->bands.size()), BandSlots}) : 0;
}

TFinestra WindowAt(const TTabellaFinestre& table, int32_t port, int32_t band) {
    if (!table.Allocated() || port < 0 || port >= table.Ports()) return TFinestra{};
    return table[port][static_cast<size_t>(band)];
}

TListaCanali* ChannelsOf(TCella* cell, int32_t output) {
    if (output < 0 || output >= static_cast<int32_t>(cell->ChannelLists.size())) return nullptr;
    return cell->ChannelLists[static_cast<size_t>(output)].get();
}

}  // namespace

void TStampa::TextIn(TColor colour, int32_t x, int32_t y, const AnsiString& text) {
    Canvas()->Font->Color = colour;
    TextAt(x, y, text);
}

void TStampa::TextRightIn(TColor colour, int32_t right, int32_t y, const AnsiString& text) {
    Canvas()->Font->Color = colour;
    TextRightAt(right, y, text);
}

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
    const bool terminal = cell->TypeCode == CodeHeadEnd;
    // Two rows per output of the terminal; an outlet's block is always two rows.
    const int32_t blocks = terminal ? cell->NumThroughOutputs : 1;
    if (!PageBreak(2 * pp.LineHeight * blocks, DocSignals, flags)) return false;
    const int32_t bands = Bands();
    auto rows = [&](const AnsiString& label, const TTabellaFinestre& table, int32_t port) {
        TextIn(clBlack, pp.NumberLeft, pp.Y, label);
        for (int pass = 0; pass < 2; ++pass) {
            for (int32_t b = 0; b < bands; ++b) {
                const TFinestra w = WindowAt(table, port, b);
                const float value = pass == 0 ? w.Min : w.Max;
                const TColor colour = b == 0     ? Magenta
                                      : terminal ? LimitColour(value)
                                                 : LevelColour(value, b);
                TextRightIn(colour, pp.CodeLeft + b * pp.BandStep, pp.Y,
                            terminal ? FormatLimitCell(value) : FormatLevelCell(value));
            }
            pp.Y += pp.LineHeight;
        }
        ClosingRule();
    };
    if (terminal) {
        for (int32_t k = 0; k < cell->NumThroughOutputs; ++k)
            rows("Uscita " + IntToStr(k + 1), cell->InputLevels, k);
    } else {
        // An outlet's level is that of its socket, its first tap output.
        rows(cell->GetShortCode(), cell->OutputLevels, cell->NumThroughOutputs);
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
        TextIn(clBlack, pp.NumberLeft, pp.Y, outlet->GetShortCode() + " - " + o->GetShortCode());
        for (int32_t b = 0; b < bands; ++b) {
            const float value = o->SeparationOutlet[b];
            const float least = Opzioni ? Opzioni->limits[b][LimitAttMin] : LevelNone;
            const TColor colour = value >= 0.0f && value < least ? clRed : clBlue;
            TextRightIn(colour, pp.CodeLeft + b * pp.BandStep, pp.Y, FormatLimitCell(value));
        }
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
    if (cell->TypeCode == CodeHeadEnd) {
        for (int32_t k = 0; k < cell->NumThroughOutputs; ++k)
            if (!PrintChannelRows(ChannelsOf(cell, k), "Uscita " + IntToStr(k + 1), flags)) return false;
        return true;
    }
    return PrintChannelRows(ChannelsOf(cell, cell->NumThroughOutputs), cell->GetShortCode(), flags);
}

bool TStampa::PrintChannelRows(TListaCanali* list, const AnsiString& name, int32_t flags) {
    TPrintPage& pp = PrintPage;
    if (list) list->Sort();
    const int32_t count = list ? list->Count() : 0;
    if (!BlockBreak(count, DocChannels, flags)) return false;
    TextIn(clBlack, pp.NumberLeft, pp.Y, name);
    if (count == 0) pp.Y += pp.LineHeight;
    for (const TCanale* c = count ? list->head : nullptr; c; c = c->next) {
        if (!PageBreak(pp.LineHeight, DocChannels, flags)) return false;
        Canvas()->Font->Color = clBlue;
        PrintRowTexts(pp.Y,
                      {{pp.CodeLeft, c->name},
                       {pp.DescriptionLeft, c->label},
                       {pp.MinSignalRight, FormatFloat("#0.00", c->levelMin), true},
                       {pp.MaxSignalRight, FormatFloat("#0.00", c->levelMax), true},
                       {pp.MinNoiseRight,
                        FormatFloat("#0.00", ChannelCNMin(c->sourceCNMin, c->noiseMax, c->floorMin)), true},
                       {pp.MaxNoiseRight,
                        FormatFloat("#0.00", ChannelCNMin(c->sourceCNMax, c->noiseMin, c->floorMax)), true},
                       {pp.OriginLeft, c->sources}});
        pp.Y += pp.LineHeight;
    }
    ClosingRule();
    return true;
}
