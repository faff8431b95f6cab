#pragma once
// Signal sources of the head-end grid, where the channel pass creates the
// channels: the terrestrial antenna TAntenna, which gives the channels the
// user listed for it with their received levels, and the satellite
// converter TSat (LNB) with up to 16 outputs, each carrying either the five
// satellite bands as five wide channels or a list of channels of its own.
#include <array>
#include <cstdint>
#include <memory>

#include "cells/cell.h"
#include "cells/taps.h"
#include "cells/wind_data.h"

// Category counters of the short codes "An" and "Sa".
constexpr int AntennaCounter = 16;
constexpr int SatCounter = 17;

// A converter has at most this many outputs; prototypes are kept up to
// SatPrototypeOutputs.
constexpr int32_t SatMaxOutputs = 16;
constexpr int32_t SatPrototypeOutputs = 8;

// Column 0 of an antenna: its frequency range (MHz) in band slots 0 and 1.
constexpr int32_t AntennaRangeColumn = 0;
constexpr int32_t AntennaLowestSlot = 0;
constexpr int32_t AntennaHighestSlot = 1;

// Columns of a converter row (one row per output); the satellite bands use
// band slots 6 to 10, the converter gain slot 5.
enum : int32_t {
    SatLevelColumn = 0,
    SatCarrierNoiseColumn = 1,
    SatGainColumn = 2,
};
constexpr int32_t SatGainSlot = 5;
constexpr int32_t SatBands = 5;
constexpr int32_t FirstSatSlot = 6;

// Shapes of an antenna in the data dialog's list; none at construction.
constexpr uint8_t AntennaShapeNone = 255;

class TAntenna : public TCella, public TWindData {
public:
    TAntenna(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row);
    ~TAntenna() override;

    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    // "Antenna ", "An"; the form shows the frequency range and the channel grid.
    TCellDescription Describe() const override;
    // Only the two frequency cells of the range stay shown.
    void FinishDataForm(TDatiComponenti& form) override;
    // The mast values and the channel list after the base record.
    void Load(TStream& stream, int32_t version) override;
    void Save(TStream& stream, int32_t version) override;
    // The frequency range is no per-band value: it is not converted.
    void SetBandSystem(TSistemaBande* system) override;
    void SetPortCounts() override;
    bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue) override;
    // The range, the channel grid and the mast values.
    void FillDataDialogDefault(TDatiComponenti* dialog) override;
    void ReadDataDialogDefault(TDatiComponenti* dialog) override;
    TCella* GetPrototype() const override;
    bool CheckData(const AnsiString& prefix) override;
    void Assign(TCella* target) override;
    void ComputeChannels(int32_t flags, int32_t port, uint32_t stamp) override;
    bool Rotate(int32_t n) override;
    void GetPortName(TInfoMousePos& position) override;
    bool IsSignalStart() const override;

    TCellLayout Layout() const override;

    uint8_t Shape = AntennaShapeNone;
};

class TSat : public TCella, public TWindData {
public:
    TSat(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
         int32_t outputs);
    ~TSat() override;

    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    // "Convertitore Sat. ", "Sa"; a form page per output with its channels,
    // "Cambia canali" and "LNB Quad".
    TCellDescription Describe() const override;
    // The satellite bands, and beside them the converter's gain.
    void FinishDataForm(TDatiComponenti& form) override;
    void Load(TStream& stream, int32_t version) override;
    void Save(TStream& stream, int32_t version) override;
    // Levels and carrier-to-noise ratios follow the bands; the rest stays.
    void SetBandSystem(TSistemaBande* system) override;
    void SetPortCounts() override;
    bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue) override;
    // The values and, per output, its channel list and its band mode.
    void FillDataDialogDefault(TDatiComponenti* dialog) override;
    void ReadDataDialogDefault(TDatiComponenti* dialog) override;
    TCella* GetPrototype() const override;
    // Whatever was entered is accepted: the channel pass reports what is missing.
    bool CheckData(const AnsiString& prefix) override;
    void Assign(TCella* target) override;
    void ComputeChannels(int32_t flags, int32_t port, uint32_t stamp) override;
    // Rows, channel lists and band modes stay with their outputs.
    bool Mirror() override;
    bool Rotate(int32_t n) override;
    void GetPortName(TInfoMousePos& position) override;
    bool IsSignalStart() const override;

    TCellLayout Layout() const override;

    // Beside its wind thrust and area (it has no speed box).
    float SatValue1 = LevelNone;
    float SatValue4 = LevelNone;
    std::array<uint8_t, SatMaxOutputs> UseSatBands;
    std::array<uint8_t, SatMaxOutputs> OutputByte;
    std::array<float, SatMaxOutputs> OutputValue;
    std::array<std::unique_ptr<TListaCanali>, SatMaxOutputs> OutputChannels;

private:
    // The channels of output o, into its list.
    void OwnChannels(int32_t o, bool speak, const AnsiString& code);
    void BandChannels(int32_t o, bool speak, const AnsiString& code);
    void LoadOldChannels(TStream& stream, int32_t version);
};
