#include "document/project.h"

#include "cells/head_end.h"
#include "cells/separation_network.h"
#include "core/globals.h"
#include "document/estimate.h"
#include "document/grid.h"
#include "document/lightning.h"
#include "document/mast.h"
#include "document/signs.h"

TProgetto::TProgetto(TProjectPages* owner) : Owner(owner) {
    headEndGrid_ = std::make_unique<TGridData>(this, GridDefaultSize, GridDefaultSize, GridHeadEnd);
    networkGrid_ = std::make_unique<TGridData>(this, GridDefaultSize, GridDefaultSize, GridNetwork);
    HeadEndGrid = headEndGrid_.get();
    NetworkGrid = networkGrid_.get();
    HeadEndGrid->Form = NetworkGrid->Form = owner;
    Estimate = std::make_unique<TDatiPreventivo>(this);
    Mast = std::make_unique<TPalo>();
    Lightning = std::make_unique<TFulmini>();
    Reset(false);
}

TProgetto::~TProgetto() {
    Reset(false);
    // The head-end grid goes first, as it always has.
    headEndGrid_.reset();
    networkGrid_.reset();
    HeadEndGrid = NetworkGrid = nullptr;
}

void TProgetto::Reset(bool withAnchors) {
    Name = UntitledProjectName;
    Step = 1;

    for (TGridData* grid : {NetworkGrid, HeadEndGrid}) {
        grid->Clear();
        grid->Resize(GridDefaultSize, GridDefaultSize);
    }

    if (withAnchors) {
        InsertAnchor(NetworkGrid);
        InsertAnchor(HeadEndGrid);
    }

    for (int i = 0; i < HeaderTextCount; ++i)
        if (i != HeaderDesigner && i != HeaderNotes) HeaderTexts[i].clear();

    ReservedNumber = 12;
    ReservedLetter = 'C';
    Estimate->Clear();
    Mast->SetDefaults();
    Lightning->SetDefaults();

    Modified = false;
    EstimateOutOfDate = true;
    DesignPending = true;
}

void TProgetto::InsertAnchor(TGridData* grid) {
    // The network terminal feeds row 0, the head-end one gathers the last row.
    const int32_t row = grid->Kind == GridHeadEnd ? grid->Rows - 1 : 0;
    auto anchor = std::make_unique<TTesta>(grid, 0, 0, grid->Columns / 2 - 1, row, 1);
    TCella* placed = anchor.get();
    if (grid->InsertCell(std::move(anchor), false, 0)) grid->Anchor = placed;
}

void TProgetto::TakeContent(TProgetto& loaded) {
    std::swap(headEndGrid_, loaded.headEndGrid_);
    std::swap(networkGrid_, loaded.networkGrid_);
    std::swap(HeadEndGrid, loaded.HeadEndGrid);
    std::swap(NetworkGrid, loaded.NetworkGrid);
    for (TProgetto* p : {this, &loaded}) {
        for (TGridData* grid : {p->HeadEndGrid, p->NetworkGrid}) {
            grid->Project = p;
            grid->Form = p->Owner;
            grid->Signs->Project = p;
        }
    }
    std::swap(HeaderTexts, loaded.HeaderTexts);
    std::swap(ReservedNumber, loaded.ReservedNumber);
    std::swap(ReservedLetter, loaded.ReservedLetter);
    std::swap(Estimate, loaded.Estimate);
    Estimate->Project = this;
    loaded.Estimate->Project = &loaded;
    std::swap(Mast, loaded.Mast);
    std::swap(Lightning, loaded.Lightning);
    std::swap(Modified, loaded.Modified);
    std::swap(EstimateOutOfDate, loaded.EstimateOutOfDate);
    std::swap(DesignPending, loaded.DesignPending);
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

TCellGrid* TProgetto::HeadEndCellGrid() const { return HeadEndGrid; }

TCellGrid* TProgetto::NetworkCellGrid() const { return NetworkGrid; }

TProgettoInCaricamento::TProgettoInCaricamento(TProgetto* project) : before_(ProgettoInCaricamento) {
    ProgettoInCaricamento = project;
}

TProgettoInCaricamento::~TProgettoInCaricamento() { ProgettoInCaricamento = before_; }
