#include "app/project.h"

#include "app/estimate.h"
#include "app/grid.h"
#include "app/lightning.h"
#include "app/mast.h"
#include "cells/head_end.h"
#include "core/globals.h"

TProgetto::TProgetto(TAntenne* owner) : Owner(owner) {
    HeadEndGrid = new TGridData(this, GridDefaultSize, GridDefaultSize, GridHeadEnd);
    NetworkGrid = new TGridData(this, GridDefaultSize, GridDefaultSize, GridNetwork);
    Estimate = std::make_unique<TDatiPreventivo>(this);
    Mast = std::make_unique<TPalo>();
    Lightning = std::make_unique<TFulmini>();
    Reset(false);
}

TProgetto::~TProgetto() {
    Reset(false);
    delete HeadEndGrid;
    delete NetworkGrid;
}

void TProgetto::Reset(bool withAnchors) {
    Name = UntitledProjectName;
    Step = 1;

    for (TGridData* grid : {NetworkGrid, HeadEndGrid}) {
        grid->Clear();
        grid->Resize(GridDefaultSize, GridDefaultSize);
    }

    if (withAnchors) {
        // The network terminal feeds row 0, the head-end one gathers the last row.
        TGridData* net = NetworkGrid;
        auto* netAnchor = new TTesta(net, 0, 0, net->Columns / 2 - 1, 0, 1);
        if (net->InsertCell(netAnchor, false, 0)) net->Anchor = netAnchor;
        TGridData* head = HeadEndGrid;
        auto* headAnchor = new TTesta(head, 0, 0, head->Columns / 2 - 1, head->Rows - 1, 1);
        if (head->InsertCell(headAnchor, false, 0)) head->Anchor = headAnchor;
    }

    for (int i = 0; i < HeaderTextCount; ++i)
        if (i != HeaderDesigner && i != HeaderNotes) HeaderTexts[i].clear();

    ByteA = 12;
    ByteB = 'C';
    Estimate->Clear();
    Mast->SetDefaults();
    Lightning->SetDefaults();

    Modified = false;
    EstimateOutOfDate = true;
    DesignPending = true;
}

void TProgetto::MarkLoaded() {
    Modified = false;
    EstimateOutOfDate = false;
    DesignPending = false;
    NetworkGrid->MarkAllOutOfDate();
    HeadEndGrid->MarkAllOutOfDate();
}

void TProgetto::SetModified(int32_t mask) {
    Modified = true;
    DesignPending = true;
    if (mask & ModEstimate) EstimateOutOfDate = true;
}

TProgettoInCaricamento::TProgettoInCaricamento(TProgetto* project) : before_(ProgettoInCaricamento) {
    ProgettoInCaricamento = project;
}

TProgettoInCaricamento::~TProgettoInCaricamento() { ProgettoInCaricamento = before_; }
