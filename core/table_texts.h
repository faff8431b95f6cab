#pragma once
// Texts and colours of the entries of calculation tables: a level, a margin or
// a limit becomes the text of its entry, and its colour says whether it keeps
// within the option limits (blue) or not (red).
#include <cstdint>

#include "core/levels.h"
#include "platform/graphics.h"

class TOpzioni;

// Tolerance of the colour test against the limits, in dB.
constexpr double LimitTolerance = 0.005;

AnsiString FormatLevelCell(float value);       // "##0.##"; "*", "Err" or "???" otherwise
AnsiString FormatMarginCell(float value);      // 50000 minus the value; "*", "n.g." or "???"
AnsiString FormatLimitCell(float value);       // "##0.##"; "*", "Err" or "Illim." otherwise
AnsiString FormatLevelCellShort(float value);  // "###0.#"; "???" for any negative value

// A signal level at an outlet or a head-end output against the band's
// "SigMin" and "SigMax" limits.
TColor LevelColour(const TOpzioni& options, float level, int band);
TColor LevelColour(float level, int band);  // with the program's options
// A bound of a level window.
TColor LimitColour(float value);
// The separation between outlets against the band's "AttMin" limit.
TColor MinimumColour(const TOpzioni& options, float value, int band);
TColor MinimumColour(float value, int band);  // with the program's options
