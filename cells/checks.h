#pragma once
// Checks of a cell's data before the component-data dialog accepts them
// (TCella::CheckData). Every problem is reported through the message reporter
// as the caller's prefix followed by the message, and the check answers false;
// nothing in the cell changes. Only the first problem found is reported.
#include <cstdint>
#include <span>

#include "core/levels.h"
#include "platform/sysutils.h"

class TCella;

// Mode bits of CheckBands.
enum : int {
    BandsRefuseBlocked = 1,  // a slot of LevelBlocked ("*") is refused
    BandsRefuseRepeat = 2,   // a slot of LevelRepeat ("<") is refused
    BandsNeedOne = 4,        // at least one slot must hold a value
};

// The seven columns of an amplification stage (a row of a level table).
enum : int {
    StageTilt = 0,
    StageMaxTilt,
    StageGainRegulation,
    StageMaxGainRegulation,
    StageGain,
    StageNoiseFigure,
    StageMaxOutput,
    StageColumnCount,
};
extern const char* const StageCaptions[StageColumnCount];

// Band admission of one band vector over the cell's band count.
bool CheckBands(const TCella& cell, std::span<const float, BandSlots> vector, int mode,
                const AnsiString& prefix);
// The stages of input row i ("montante"): input, through and output stages.
// functionFlags holds one byte per band slot, set for the bands of the
// component's main function.
bool CheckAmplifierStages(const TCella& cell, int row, std::span<const uint8_t, BandSlots> functionFlags,
                          const AnsiString& prefix);
// One stage: seven band vectors in the order of StageCaptions.
bool CheckStage(const TCella& cell, const float* const stage[StageColumnCount],
                std::span<const uint8_t, BandSlots> functionFlags, const AnsiString& prefix);
bool CheckTiltData(const TCella& cell, std::span<const float, BandSlots> maximum,
                   std::span<const float, BandSlots> value, const AnsiString& prefix);
bool CheckRegulationData(const TCella& cell, std::span<const float, BandSlots> maximum,
                         std::span<const float, BandSlots> value, const AnsiString& prefix);

// The number of band slots the checks examine: the band count of the cell's
// band system.
int CheckedBands(const TCella& cell);
// The name of a band of the cell's band system; empty outside it.
AnsiString CheckedBandName(const TCella& cell, int band);
// Reports one problem through the message reporter, when there is one.
void ReportProblem(const AnsiString& text);
