#pragma once
// The active channel modules of a head-end row, on the auto-mix base: the
// active channel filter, the one with automatic gain control, the modulator
// (an audio/video source put onto a channel) and the converter (a channel
// moved to another frequency or modulation). Their data live in their one
// filter module, whose Process does the channel work.
#include <cstdint>
#include <span>

#include "cells/auto_mix.h"
#include "cells/component_data.h"

// Category counters of the short codes "Fa" (both active filters), "Mo" and "Cv".
constexpr int ActiveFilterCounter = 22;
constexpr int ModulatorCounter = 27;
constexpr int ConverterCounter = 7;


class TFiltroAttivo : public TCellaAutoMix {
public:
    TFiltroAttivo(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                  int32_t inputArrangement, int32_t outputArrangement);
    ~TFiltroAttivo() override;

    // Older records: the module takes the stage the cell's table held.
    void Load(TStream& stream, int32_t version) override;
    void FillDataDialogDefault(TDatiComponenti* dialog) override;
    void ReadDataDialogDefault(TDatiComponenti* dialog) override;
    TCella* GetPrototype() const override;
    bool CheckData(const AnsiString& prefix) override;
    // The common line is handed on first; the module adds its channels on the second step.
    void ComputeChannels(int32_t flags, int32_t port, uint32_t stamp) override;
    void GetPortLevelText(TRichEdit* report) override;
    void AdjustLossTables() override;

    TModuloFiltro& Module() const { return *Modules->head; }

protected:
    // A module's description under its names: a module of the common line,
    // its form of module tabs without band rows.
    TCellDescription DescribeModule(const char* typeName, const char* letters, int counter) const;
    // Dialog row i shows stage row RowMap()[i].
    virtual std::span<const int32_t> RowMap() const;
    // The stage rows the data check needs.
    virtual int32_t CheckedStageRows() const;
    // The stage row the loss adjustment sets to 0.
    virtual int32_t AdjustedRow() const;
    // True when a value counts as entered: a value, or "*".
    static bool Present(float v);
};

class TFiltroAT : public TFiltroAttivo {
public:
    TFiltroAT(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
              int32_t inputArrangement, int32_t outputArrangement);
    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    TCellDescription Describe() const override;
};

class TFiltroCAG : public TFiltroAttivo {
public:
    TFiltroCAG(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
               int32_t inputArrangement, int32_t outputArrangement);
    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    TCellDescription Describe() const override;

protected:
    std::span<const int32_t> RowMap() const override;
    int32_t CheckedStageRows() const override;
    int32_t AdjustedRow() const override;
};

class TModulatore : public TFiltroAttivo {
public:
    TModulatore(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                int32_t outputArrangement);
    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    TCellDescription Describe() const override;
    // Older records kept the output channel in slot 0.
    void Load(TStream& stream, int32_t version) override;
    // The audio/video feed enters under a cable reaching into the box.
    bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue) override;
    void FillDataDialogDefault(TDatiComponenti* dialog) override;
    void ReadDataDialogDefault(TDatiComponenti* dialog) override;
    TCella* GetPrototype() const override;
    bool CheckData(const AnsiString& prefix) override;
    // A source: its module makes its channel.
    void ComputeChannels(int32_t flags, int32_t port, uint32_t stamp) override;
    void GetPortLevelText(TRichEdit* report) override;
    void AdjustLossTables() override;
    bool IsSignalStart() const override;

protected:
    std::span<const int32_t> RowMap() const override;
};

class TConvertitore : public TFiltroAttivo {
public:
    TConvertitore(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                  int32_t inputArrangement, int32_t outputArrangement);
    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    TCellDescription Describe() const override;
    // Variant 1 stands on one square.
    TCellRect GetGridRect() const override;
    // Older records carry its kind after the module.
    void Load(TStream& stream, int32_t version) override;
    bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue) override;
    void FillDataDialogDefault(TDatiComponenti* dialog) override;
    void ReadDataDialogDefault(TDatiComponenti* dialog) override;
    bool CheckData(const AnsiString& prefix) override;
    bool IsAutoMixModule() const override;

    // The conversion kind, 0 to 7 (the low bits of the module's flags).
    int32_t ConversionKind() const;
};
