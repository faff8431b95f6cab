#pragma once
// Graphic cells: elements of a drawing that carry no signal calculation (an
// earth symbol, a power supply drawn as a block, a satellite dish, a
// satellite receiver, a price-list entry). They are placed, drawn, numbered,
// described, priced and saved like components, but take no part in the level
// passes or the connectivity analysis; the satellite receiver alone is a
// signal start that places itself.
#include <cstdint>

#include "cells/cell.h"
#include "cells/taps.h"
#include "cells/wind_data.h"

// Category counters of the short codes "Pa" and "Rs" ("Al" is the power
// supplies' counter, cells/passives.h).
constexpr int DishCounter = 23;
constexpr int SatReceiverCounter = 25;

// The short code of an undescribed graphic cell.
constexpr TColor GraphicUndescribedColour = clBlue;

class TCellaGrafica : public TCella {
public:
    ~TCellaGrafica() override;

    // The symbol and the short code, blue while the cell is undescribed.
    void Paint(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) override;
    void SetPortCounts() override;
    bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue) override;
    bool CheckData(const AnsiString& prefix) override;
    bool NeedsNoDescription() const override;
    void ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) override;
    void SpreadStamp(uint32_t stamp) override;
    void ComputeSignalLevels(uint32_t stamp) override;
    void WalkDownstream(TListaCanali* list, int32_t entryPort, uint32_t stamp) override;
    void ComputeChannels(int32_t flags, int32_t port, uint32_t stamp) override;
    void PushSeparation(int32_t port, int32_t band, float limit) override;
    void WriteAttenuationTable(TRichEdit* report, int32_t input, const AnsiString& title) override;
    void GetPortLevelText(TRichEdit* report) override;
    void GetPortName(TInfoMousePos& position) override;
    bool TakesPartInAnalysis() const override;

protected:
    TCellaGrafica(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                  int32_t typeCode, int32_t kind);
    // A description of a symbol with a name, a short code and its number,
    // and a form of no value lines.
    static TCellDescription Symbol(const char* typeName, const char* letters, int counter);
};

// Earth symbol: one square, described from the start, not priced.
class TTerra : public TCellaGrafica {
public:
    TTerra(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row);
    ~TTerra() override;
    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    // The symbol alone.
    void Paint(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) override;
    bool IsEstimateItem() const override;
    // No name, no number, no form; the earth the estimate looks for.
    TCellDescription Describe() const override;
};

// Power supply drawn as a block: one square on the network grid; on the
// head-end grid (or without a grid) a block of (3 x Variant + 3) x 5 squares.
class TAlimentatoreSF : public TCellaGrafica {
public:
    TAlimentatoreSF(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row);
    ~TAlimentatoreSF() override;
    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    // "Alimentatore ", "Al", numbered with the power supplies.
    TCellDescription Describe() const override;
    TCella* GetPrototype() const override;
    // Old records kept the supply's own current where Current2 is now.
    void ConvertOldFlags(const uint8_t (&flags)[5]) override;

    // True when the cell shows as the block of the head end.
    bool IsBlock() const;
    TCellLayout Layout() const override;
};

// Satellite dish: 2 x 3 squares, with the data that size its mast.
class TParabola : public TCellaGrafica, public TWindData {
public:
    TParabola(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row);
    ~TParabola() override;
    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    // "Parabola ", "Pa"; the form shows the dish's mast data.
    TCellDescription Describe() const override;
    // Always to the right of and below the anchor: a mirror only turns the
    // drawing round.
    TCellRect GetGridRect() const override;
    // The four values follow the base record from version 20000 on.
    void Load(TStream& stream, int32_t version) override;
    void Save(TStream& stream, int32_t version) override;
    void FillDataDialogDefault(TDatiComponenti* dialog) override;
    void ReadDataDialogDefault(TDatiComponenti* dialog) override;
    TCella* GetPrototype() const override;
    void Assign(TCella* target) override;
    bool Mirror() override;
    // A dish is never turned.
    bool Rotate(int32_t n) override;

    float Diameter = LevelNone;  // cm
};

// Satellite receiver: 3 x 5 squares, a signal start. Its squares, its ports
// and its captions stand upright whatever its turn; its input and output are
// attached only to a cable line that meets them straight on.
class TRicevitoreSat : public TCellaGrafica {
public:
    TRicevitoreSat(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row);
    ~TRicevitoreSat() override;
    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    // "Ricevitore Sat ", "Rs".
    TCellDescription Describe() const override;
    // Upright whatever its turn, as its captions are.
    TCellRect GetGridRect() const override;
    // One input, one through output.
    void SetPortCounts() override;
    bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue) override;
    TCella* GetPrototype() const override;
    // Only empties its channel lists.
    void ComputeChannels(int32_t flags, int32_t port, uint32_t stamp) override;
    bool IsSignalStart() const override;

    // Whether a cable at (column, row) takes the output below the receiver,
    // or feeds its input from above.
    bool CableTakesOutput(int32_t column, int32_t row) const;
    bool CableFeedsInput(int32_t column, int32_t row) const;
};

// An entry of the price list kept with the drawing: only its own short record.
class TElementoListino : public TCellaGrafica {
public:
    explicit TElementoListino(TCellGrid* owner);
    ~TElementoListino() override;
    void Load(TStream& stream, int32_t version) override;
    void Save(TStream& stream, int32_t version) override;
};
