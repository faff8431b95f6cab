#pragma once
// The wind data of a source on the mast (a dish, a terrestrial antenna, an
// LNB): what the mast sizing reads of it and what the component-data form
// shows in "Area [mq]", "Spinta vento [n]" and "Velocità vento [Km/h]". One
// struct for the three classes, which each hold it as their own fields.
//
// On file the antenna and the dish write thrust, speed and area in this
// order (WriteWind); the LNB keeps its own order between its other values
// and has no speed.
#include "core/levels.h"
#include "platform/sysutils.h"

class TDatiComponenti;
class TStream;

struct TWindData {
    float WindThrust = LevelNone;  // N
    float WindArea = LevelNone;    // m²
    float WindSpeed = LevelNone;   // km/h

    // The wind data of another source, all at once.
    void AssignWind(const TWindData& other) { *this = other; }

    // Thrust, speed, area.
    void WriteWind(TStream& stream) const;
    void ReadWind(TStream& stream);
    // Values of files before version 50000 had the old sentinels.
    void ConvertOldWindSentinels();

    // Which of the form's boxes a class shows.
    enum class TBoxes { AreaThrust, AreaThrustSpeed };
    // How a class reads a box: a number, or also the level signs ("*", "<").
    using TParse = float (*)(const AnsiString& text);
    // A number or, for an empty or unreadable text, none.
    static float ParseWindValue(const AnsiString& text);

    void FillWindBoxes(TDatiComponenti* dialog, TBoxes boxes) const;
    void ReadWindBoxes(const TDatiComponenti* dialog, TBoxes boxes, TParse parse = ParseWindValue);
};
