#pragma once
// Outlets: the user's wall sockets at the ends of the distribution lines.
// One class covers every outlet; its type code chooses an end outlet, a
// pass-through outlet that feeds the next outlet of a line, or an end outlet
// with a built-in termination. The required levels start at an outlet's
// socket (the level limits of the options apply there), the signal and
// channel passes end there, and the separation search runs between outlets.
#include <cstdint>

#include "cells/cell.h"

// Category counter of the short code "P".
constexpr int OutletCounter = 3;

// Columns of an outlet's Attenuation row 0.
enum : int32_t {
    OutletSocketLoss = 0,   // input to the socket
    OutletThroughLoss = 1,  // input to the through output
    OutletReverseLoss = 2,  // between the socket and the through output
};

// Outputs of an outlet: the through output, then the socket.
constexpr int32_t OutletThroughOutput = 0;
constexpr int32_t OutletSocket = 1;

class TPresaD final : public TCella {
public:
    // typeCode 14, 15 or 54; sockets 1 to 3 (the port model does not depend on it).
    TPresaD(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
            int32_t typeCode, int32_t sockets);
    ~TPresaD() override;

    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    void Paint(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) override;
    // "Presa ", "P" and its number; the form shows the socket, through
    // and reverse losses, the socket connectors and "Passaggio DC".
    TCellDescription Describe() const override;
    // "Conn. out" takes the place of "Note est." for one or two sockets.
    void FinishDataForm(TDatiComponenti& form) override;
    void SetPortCounts() override;
    // One square, the input on its top; a pass-through outlet's through
    // output below it.
    TCellLayout Layout() const override;
    // Refuses an end outlet on a line that needs a termination (circuit
    // error kind 4).
    bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue) override;
    TCella* GetPrototype() const override;
    bool CheckData(const AnsiString& prefix) override;
    // The first electrical box, ticked: the outlet takes supply on its tap
    // outputs.
    std::optional<bool> FirstElectricBox() const override;
    void SetFirstElectricBox(bool ticked) override;
    // Old flag byte 3 of an end outlet: supply on its tap outputs. The other
    // outlets had no flags.
    void ConvertOldFlags(const uint8_t (&flags)[5]) override;
    void GetPortName(TInfoMousePos& position) override;
    void GetPortLevelText(TRichEdit* report) override;
    void ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) override;
    void WalkDownstream(TListaCanali* list, int32_t entryPort, uint32_t stamp) override;
    float MinDownstreamValue(float value, int32_t band, bool apply, TCella* candidates, uint8_t needsBand5,
                             uint8_t needsBand9) override;
    void ComputeChannels(int32_t flags, int32_t port, uint32_t stamp) override;
    void ComputeSignalLevels(uint32_t stamp) override;
    void PushSeparation(int32_t port, int32_t band, float limit) override;
    bool ChooseModel(TCella* candidates, int32_t mode, uint32_t stamp, TProgressBar* progress, int32_t band,
                     int32_t further) override;
    void EvaluateModel(TCella* candidates, int32_t mode, float value, uint32_t stamp, int32_t band) override;
    void ComputeReachWindows() override;

    // True when a library cell may be taken by the model choice under mode;
    // connector is the outlet's own "Conn. out" choice (255: none).
    bool Qualifies(TCella* candidate, int32_t mode, uint8_t connector);

    float SocketLoss(int32_t band) const { return Attenuation->Get3(0, OutletSocketLoss, band); }
    float ThroughLoss(int32_t band) const { return Attenuation->Get3(0, OutletThroughLoss, band); }
    float ReverseLoss(int32_t band) const { return Attenuation->Get3(0, OutletReverseLoss, band); }

    uint8_t Terminated = 0;
    uint8_t PassThrough = 0;
};
