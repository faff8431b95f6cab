#pragma once
// A custom component ("componente personalizzato"): a component the user
// defines. Its inside is a small circuit of ordinary cells drawn on a grid of
// its own (the structure), its outside a symbol drawn on a second small grid
// (the drawing), and each of its inputs and outputs is a point on the border
// of that symbol. In every calculation the cell stands in for its structure:
// the structure's entry anchors are the component's inputs, its exit anchors
// its outputs, and every pass is handed through the anchors to the inner
// cells.
#include <cstdint>
#include <memory>
#include <vector>

#include "cells/cell.h"
#include "cells/cell_grid.h"
#include "cells/taps.h"

// Category counter of the short code "N".
constexpr int CustomCounter = 26;

// Size of a new structure, and the largest sections a record may hold: the
// structure editor works on 100 x 100 squares, the symbol editor on 50 x 50.
constexpr int32_t CustomStructureSize = 100;
constexpr int32_t CustomDrawingMaxSize = 50;
// The counts the program keeps last-used custom components for.
constexpr int32_t CustomMaxPorts = 20;

// Where an input or output meets the symbol: its square inside the footprint
// and a side. An input's side is the border it stands on (0 top, 1 right,
// 2 bottom, 3 left), the side its link enters by; an output's side is the
// opposite border, the side numbering of an output link (0 leaves downwards).
struct TPuntoPorta {
    int32_t Column = 0;
    int32_t Row = 0;
    uint8_t Side = 0;
    bool operator==(const TPuntoPorta&) const = default;
};

// The port number an anchor stands for (from 1), or 0 when its code is not
// a number.
int32_t AnchorNumber(const TCella& anchor);

class TCellaCustom : public TCella {
public:
    // inputs and outputs (tap outputs); the inputs start along the top edge
    // and the outputs along the bottom edge, one per column, so that a fresh
    // cell places and draws before any editing.
    TCellaCustom(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                 int32_t inputs, int32_t outputs);
    ~TCellaCustom() override;

    // The stubs of every port point, then, while the cell's grid is shown,
    // the drawing grid painted into the footprint.
    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    // "Componente personalizzato ", "N"; the form shows its structure.
    TCellDescription Describe() const override;
    // The footprint, turned and mirrored with the cell.
    // The footprint's squares, the inputs and outputs at their points.
    TCellLayout Layout() const override;
    // After the base record: the port points, the drawing section, the
    // structure section.
    void Load(TStream& stream, int32_t version) override;
    void Save(TStream& stream, int32_t version) override;
    void SetPortCounts() override;
    bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue) override;
    // Filled from the cell itself, never from a prototype; OK copies the
    // edited clone (structure and symbol included) into the cell.
    bool EditData(TDatiComponenti* dialog) override;
    TCella* GetPrototype() const override;
    bool CheckData(const AnsiString& prefix) override;
    // Base data, both grids, footprint and port points; the target maps its anchors.
    void Assign(TCella* target) override;
    void ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) override;
    void ComputeSignalLevels(uint32_t stamp) override;
    float MinDownstreamValue(float value, int32_t band, bool apply, TCella* candidates, uint8_t needsBand5,
                             uint8_t needsBand9) override;
    void ComputeChannels(int32_t flags, int32_t port, uint32_t stamp) override;
    void ClearBandAccumulators(int32_t band) override;
    void PushSeparation(int32_t port, int32_t band, float limit) override;
    void AcceptSeparation(int32_t port, int32_t band, float value, float limit) override;
    void GetPortName(TInfoMousePos& position) override;
    void GetPortLevelText(TRichEdit* report) override;
    void AdjustLossTables() override;

    // Rebuilds the anchor arrays from the structure: an entry anchor whose
    // code reads as the number n stands for input n (from 1), an exit anchor
    // for output n; other codes are ignored.
    void MapAnchors();
    // The checks of the structure, each fault reported after the prefix.
    bool ValidateStructure(const AnsiString& prefix);
    // Gives the footprint a new size; the drawing grid follows it.
    void SetFootprint(int32_t columns, int32_t rows);

    uint8_t Flags = 0;
    int32_t FootprintColumns = 1;
    int32_t FootprintRows = 2;
    // The structure (kind GridCustom) and the drawing (kind GridSymbol),
    // grids of no project that the cell owns for its whole life, made by the
    // document's maker (MakeCellGrid).
    const std::unique_ptr<TCellGrid> Structure;
    const std::unique_ptr<TCellGrid> Drawing;
    std::vector<TPuntoPorta> InputPoints;
    std::vector<TPuntoPorta> OutputPoints;
    // The structure's anchor of each input and output, none when unmapped
    // (cells of the structure, not owned).
    std::vector<TCella*> InputAnchors;
    std::vector<TCella*> OutputAnchors;

private:
    class TLinkScope;
    friend class TLinkScope;

    // The structure's analysis, run again only after the structure changed.
    bool AnalyseStructure();
    // The anchors' links to the cells outside, made on entering a pass and
    // dropped when the outermost call leaves, so that no cell of the
    // structure keeps a link to a cell of the outer grid that may be removed.
    void LinkAnchorsOutside();
    void UnlinkAnchorsOutside();
    // Moves the cell from the squares of one rectangle to those of another.
    void MoveSquares(const TCellRect& from, const TCellRect& to);

    bool structureChanged_ = true;
    bool structureSound_ = false;
    int linkDepth_ = 0;
};
