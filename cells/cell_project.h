#pragma once
// TCellProject: what a cell asks of the project its grid belongs to. The
// document's project implements it.
#include <cstdint>

class TCellGrid;

class TCellProject {
public:
    // The project's two grids: kind 0, page "Testa", and kind 1, page "Rete".
    virtual TCellGrid* HeadEndCellGrid() const = 0;
    virtual TCellGrid* NetworkCellGrid() const = 0;
    // 1 drawing, 2 or more component data.
    virtual int32_t DetailStep() const = 0;
    // The passes over both grids.
    virtual void RunChannelPass(int32_t flags) = 0;
    virtual void RunSignalLevelPass() = 0;
    virtual void RunRequiredLevelPass() = 0;
    // Sequence numbers of both grids with shared counters, network first.
    virtual void NumberCells() = 0;

protected:
    ~TCellProject() = default;
};

// The project being loaded, while a file is read: older cell records name
// their grid by its kind and find it here.
extern TCellProject* ProgettoInCaricamento;
