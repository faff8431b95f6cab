#include "core/table_texts.h"

#include "core/globals.h"
#include "core/options.h"

namespace {

const char* const Unknown = "???";

bool ValidBand(int band) { return band >= 0 && band < BandSlots; }

}  // namespace

AnsiString FormatLevelCell(float value) {
    if (value >= 0) return FormatFloat("##0.##", value);
    if (value == LevelOff || value == LevelBlocked) return "*";
    if (value == LevelError) return "Err";
    return Unknown;
}

AnsiString FormatMarginCell(float value) {
    if (value >= 0) return FormatFloat("##0.##", static_cast<double>(LevelUnlimitedMax) - value);
    if (value == LevelOff || value == LevelBlocked) return "*";
    if (value == LevelError) return "n.g.";
    return Unknown;
}

AnsiString FormatLimitCell(float value) {
    if (value >= 0) return FormatFloat("##0.##", value);
    if (value == LevelError) return "Err";
    if (value == LevelReqUnlimited) return "Illim.";
    return "*";
}

AnsiString FormatLevelCellShort(float value) {
    if (value >= 0) return FormatFloat("###0.#", value);
    return Unknown;
}

TColor LevelColour(const TOpzioni& options, float level, int band) {
    if (level == LevelOff) return clBlue;
    if (!IsRealLevel(level)) return clRed;
    // A band outside the table has no limits to keep within.
    if (!ValidBand(band)) return clRed;
    const double value = level;
    if (value + LimitTolerance < options.limits[band][LimitSigMin]) return clRed;
    if (value - LimitTolerance > options.limits[band][LimitSigMax]) return clRed;
    return clBlue;
}

TColor LevelColour(float level, int band) {
    if (!Opzioni) return IsRealLevel(level) || level == LevelOff ? clBlue : clRed;
    return LevelColour(*Opzioni, level, band);
}

TColor LimitColour(float value) {
    if (value >= 0 || value == LevelReqUndefined || value == LevelReqUnlimited) return clBlue;
    return clRed;
}

TColor MinimumColour(const TOpzioni& options, float value, int band) {
    if (!IsRealLevel(value)) return clBlue;
    if (!ValidBand(band)) return clRed;
    return value < options.limits[band][LimitAttMin] ? clRed : clBlue;
}

TColor MinimumColour(float value, int band) {
    if (!Opzioni) return clBlue;
    return MinimumColour(*Opzioni, value, band);
}
