#pragma once
// A two-tap line on a project's network grid, the fixture of the network
// report: the head-end terminal (one line) feeds tap R1 (tap loss 14,
// through loss 1.5, 25 dB between its user and through outputs); R1's user
// output feeds end outlet P1 (socket loss 1), its through output tap R2 (tap
// loss 10 unless asked otherwise, else as R1); R2's user output feeds P2
// (socket loss 1), its through output a termination. Needs the program-wide
// objects (a GlobalsTest) while it lives.
#include <cstdint>
#include <memory>

#include "document/project.h"

class TCella;
class TDerivatore;
class TPresaD;
class TSorgenteLinea;

class TwoTapLine {
public:
    explicit TwoTapLine(float secondTapLoss = 10.0f);
    ~TwoTapLine();
    TwoTapLine(const TwoTapLine&) = delete;
    TwoTapLine& operator=(const TwoTapLine&) = delete;

    // Analyses and numbers the grids; false on a circuit error.
    bool Analyse();
    // After the analysis: a source of 20 channels E21 to E40 feeding the
    // head-end terminal's input, as the analysis would join it; the last
    // `unplaced` lie in no band, which the taps report.
    void FeedChannels(int unplaced);

    TProgetto project{nullptr};
    TDerivatore* r1 = nullptr;
    TDerivatore* r2 = nullptr;
    TPresaD* p1 = nullptr;
    TPresaD* p2 = nullptr;
    std::unique_ptr<TSorgenteLinea> source;
};
