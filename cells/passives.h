#pragma once
// In-line passives: one input and one or more through outputs, whose whole
// part in the calculations is the base cell's through attenuation (row 0,
// column 1 per band) and, for a power supply with several outputs, the
// decoupling between its outputs (row 0, column 3). The DC separator and the
// power inserter concern the remote powering of the installation; the
// inductance continues a line, is not drawn, has no data and is transparent
// in every calculation.
#include <cstdint>

#include "cells/cell.h"
#include "cells/taps.h"

// Category counters of the short codes; classes sharing letters share one.
constexpr int SeparatorCounter = 9;     // "Sp"
constexpr int InserterCounter = 10;     // "I": inserters and inductances
constexpr int AttenuatorCounter = 11;   // "Q": both attenuators
constexpr int EqualizerCounter = 12;    // "E"
constexpr int PowerSupplyCounter = 20;  // "Al": power supplies and power-supply blocks

// Most outputs a power supply keeps a last-used prototype for.
constexpr int32_t PowerSupplyPrototypeOutputs = 4;

// What tells the in-line passives apart: short-code letters, counter, type name.
struct TPassiveIdentity {
    const char* Letters;
    int Counter;
    const char* TypeName;
};

// The shared part: numbering, names, the one-line data form and one
// prototype per class.
class TPassivo : public TCella {
public:
    ~TPassivo() override;
    // The identity's names and counter; the form shows the through
    // attenuation on its own line.
    TCellDescription Describe() const override;
    TCella* GetPrototype() const override;

protected:
    TPassivo(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
             int32_t throughOutputs, int32_t typeCode, const char* category,
             const TPassiveIdentity& identity);

    TPassiveIdentity Identity;
};

// DC separator: passes the signal, blocks the supply voltage.
class TSeparatoreCC : public TPassivo {
public:
    TSeparatoreCC(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row);
    ~TSeparatoreCC() override;
    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
};

// Power inserter: passes the signal and injects the supply.
class TInseritore : public TPassivo {
public:
    TInseritore(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row);
    ~TInseritore() override;
    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
};

// Power supply in the line: one input, one or more through outputs.
class TAlimentatore : public TPassivo {
public:
    TAlimentatore(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                  int32_t throughOutputs);
    ~TAlimentatore() override;
    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue) override;
    // The prototype of its output count (up to four outputs).
    TCella* GetPrototype() const override;
    void GetPortName(TInfoMousePos& position) override;
    // Old records kept the supply's own current where Current2 is now.
    void ConvertOldFlags(const uint8_t (&flags)[5]) override;

    // The outputs side by side along the row, the input above the middle one.
    TCellLayout Layout() const override;
    // With several outputs the form shows the decoupling line too.
    TCellDescription Describe() const override;
};

class TAttenuatore : public TPassivo {
public:
    TAttenuatore(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row);
    ~TAttenuatore() override;
    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
};

// The second kind of attenuator: the same data, its own symbol.
class TAttenuatoreR : public TPassivo {
public:
    TAttenuatoreR(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row);
    ~TAttenuatoreR() override;
    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
};

// Equalizer: a band-dependent through attenuation.
class TEqualizzatore : public TPassivo {
public:
    TEqualizzatore(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row);
    ~TEqualizzatore() override;
    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
};

// Inductance: continues a line in the direction it was entered, without any
// effect on the signals. It is not drawn, has no data form and needs no
// description, so a project keeps its calculations with inductances in it.
class TInduttanza : public TCella {
public:
    TInduttanza(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row);
    ~TInduttanza() override;

    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    void Paint(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) override;
    // "I", numbered with the inserters; no form, and it stays undescribed.
    TCellDescription Describe() const override;
    // Orientation 1 and 3 lie vertical, 0 and 2 horizontal; the line goes on
    // out of the side opposite the one it came in by.
    bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue) override;
    bool NeedsNoDescription() const override;
    // Windows, channels, separation values and the designer's passes go
    // through unchanged.
    void ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) override;
    void ComputeSignalLevels(uint32_t stamp) override;
    void ComputeChannels(int32_t flags, int32_t port, uint32_t stamp) override;
    void PushSeparation(int32_t port, int32_t band, float limit) override;
    void EvaluateModel(TCella* candidates, int32_t mode, float value, uint32_t stamp, int32_t band) override;
    void ComputeReachWindows() override;
};
