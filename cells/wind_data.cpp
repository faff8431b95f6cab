#include "cells/wind_data.h"

#include "cells/record.h"
#include "core/file.h"
#include "cells/component_data.h"

namespace {

constexpr const char* WindFormat = "#0.##";

}  // namespace

void TWindData::WriteWind(TStream& stream) const {
    WriteF32(stream, WindThrust);
    WriteF32(stream, WindSpeed);
    WriteF32(stream, WindArea);
}

void TWindData::ReadWind(TStream& stream) {
    WindThrust = ReadF32(stream);
    WindSpeed = ReadF32(stream);
    WindArea = ReadF32(stream);
}

void TWindData::ConvertOldWindSentinels() {
    for (float* v : {&WindThrust, &WindSpeed, &WindArea}) *v = ConvertOldSentinel(*v);
}

float TWindData::ParseWindValue(const AnsiString& text) {
    const float v = TextToFloat(text, LevelNone);
    return text.empty() ? LevelNone : v;
}

void TWindData::FillWindBoxes(TDatiComponenti* dialog, TBoxes boxes) const {
    dialog->EditArea->Text = FormatLevel(WindArea, WindFormat);
    dialog->EditSpinta->Text = FormatLevel(WindThrust, WindFormat);
    if (boxes == TBoxes::AreaThrustSpeed) dialog->ComboVelocita->Text = FormatLevel(WindSpeed, WindFormat);
}

void TWindData::ReadWindBoxes(const TDatiComponenti* dialog, TBoxes boxes, TParse parse) {
    WindArea = parse(dialog->EditArea->Text);
    WindThrust = parse(dialog->EditSpinta->Text);
    if (boxes == TBoxes::AreaThrustSpeed) WindSpeed = parse(dialog->ComboVelocita->Text);
}
