#pragma once
// Anchors: an exit point TAncoraO ends a branch and an entry point TAncoraI
// starts one. A linked pair passes the signal from the exit point's input to
// the entry point's output, so that one network can be drawn in pieces (the
// automatic designer builds staircases in work grids this way). Neither
// treats the signal: every pass copies windows and channel lists straight
// through.
#include <cstdint>

#include "cells/cell.h"

class TAncora : public TCella {
public:
    ~TAncora() override;

    // The symbol alone, without a code.
    void Paint(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) override;
    void Load(TStream& stream, int32_t version) override;
    void Save(TStream& stream, int32_t version) override;
    // Links already made (to the partner anchor) survive the grid analysis.
    void AllocLinks() override;
    void SetPortCounts() override;
    bool CheckData(const AnsiString& prefix) override;
    // No short code; gives way to a new cell; a form with no data rows (the
    // anchor is always described).
    TCellDescription Describe() const override;
    void GetPortName(TInfoMousePos& position) override;
    void GetPortLevelText(TRichEdit* report) override;
    bool IsEstimateItem() const override;
    void ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) override;
    void ComputeSignalLevels(uint32_t stamp) override;
    void ComputeChannels(int32_t flags, int32_t port, uint32_t stamp) override;
    void PushSeparation(int32_t port, int32_t band, float limit) override;
    bool ChooseModel(TCella* candidates, int32_t mode, uint32_t stamp, TProgressBar* progress, int32_t band,
                     int32_t further) override;
    void EvaluateModel(TCella* candidates, int32_t mode, float value, uint32_t stamp, int32_t band) override;
    void ComputeReachWindows() override;
    bool IsSignalStart() const override;

    // The anchors' own operation after those of TCella: links this anchor
    // with its partner of the other kind; any other cell is ignored.
    virtual void LinkAnchor(TCella* partner) = 0;

protected:
    TAncora(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
            int32_t typeCode);
    // The entry anchor's input 0 becomes the exit anchor's through output 0
    // and the other way round.
    static void Join(TCella* entry, TCella* exit);
};

// The entry point ("Punto ingresso "): its output stands on its square.
class TAncoraI : public TAncora {
public:
    TAncoraI(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row);
    ~TAncoraI() override;

    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    // One square, its output below it.
    TCellLayout Layout() const override;
    bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue) override;
    TCellDescription Describe() const override;
    void LinkAnchor(TCella* partner) override;
    // Links an exit anchor (type code 53) to this entry anchor.
    void LinkExitAnchor(TCella* exit);
};

// The exit point ("Punto uscita "): its input stands on its square.
class TAncoraO : public TAncora {
public:
    TAncoraO(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row);
    ~TAncoraO() override;

    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    // One square, its input on its top.
    TCellLayout Layout() const override;
    bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue) override;
    TCellDescription Describe() const override;
    void LinkAnchor(TCella* partner) override;
    // Links this exit anchor to an entry anchor (type code 52).
    void LinkEntryAnchor(TCella* entry);
};
