#include "core/ini.h"

#include <cfloat>
#include <cmath>

#include "core/reporter.h"
#include "platform/application.h"

namespace {

// The number in a stored text, or false when the text is empty or not a
// number: such a value reads as the caller's default, never as an error.
bool StoredFloat(const AnsiString& text, float& value) {
    double v;
    if (text.empty() || !TryStrToFloat(text, v) || !std::isfinite(v) || std::fabs(v) > FLT_MAX) return false;
    value = static_cast<float>(v);
    return true;
}

bool StoredInteger(const AnsiString& text, int32_t& value) {
    int v;
    if (text.empty() || !TryStrToInt(text, v)) return false;
    value = v;
    return true;
}

}  // namespace

TIni::TIni(const AnsiString& key) : store_(std::make_unique<TRegIniFile>(key)) {
    // A settings file that cannot be read or written costs the user's
    // settings unless said: the store keeps them in memory and this says so.
    store_->OnProblem = [](const AnsiString& text) {
        if (Application) Application->MessageBox(text, ApplicationTitle, MB_OK | MB_ICONEXCLAMATION);
    };
}

TIni::~TIni() = default;

void TIni::ReadString(const AnsiString& name, AnsiString& value) { value = store_->ReadString("", name, ""); }

AnsiString TIni::String(const AnsiString& name) {
    AnsiString value;
    ReadString(name, value);
    return value;
}

void TIni::ReadFloat(const AnsiString& name, float& value) { ReadFloatDef(name, value, -1.0f); }

void TIni::ReadFloatDef(const AnsiString& name, float& value, float def) {
    if (!StoredFloat(String(name), value)) value = def;
}

void TIni::ReadByte(const AnsiString& name, int8_t& value) { ReadByteDef(name, value, 0); }

void TIni::ReadByteDef(const AnsiString& name, int8_t& value, int8_t def) {
    int32_t v;
    // The integer is cut to its low byte, as a byte field takes it.
    value = StoredInteger(String(name), v) ? static_cast<int8_t>(static_cast<uint8_t>(v & 0xFF)) : def;
}

void TIni::ReadInteger(const AnsiString& name, int32_t& value) { ReadIntegerDef(name, value, -1); }

void TIni::ReadIntegerDef(const AnsiString& name, int32_t& value, int32_t def) {
    if (!StoredInteger(String(name), value)) value = def;
}

void TIni::ReadBool(const AnsiString& name, bool& value) { ReadBoolDef(name, value, false); }

void TIni::ReadBoolDef(const AnsiString& name, bool& value, bool def) {
    const AnsiString text = String(name);
    value = text.empty() ? def : text == "1";
}

void TIni::WriteString(const AnsiString& name, const AnsiString& value) {
    store_->WriteString("", name, value);
}

void TIni::WriteFloat(const AnsiString& name, float value) {
    // The mask prints no digit for a value that rounds to zero; such a value
    // is stored as "0" so that it reads back as 0 and not as the default.
    const AnsiString text = FormatFloat("#.######", value);
    WriteString(name, text.empty() || text == "-" ? AnsiString("0") : text);
}

void TIni::WriteByte(const AnsiString& name, int8_t value) { WriteString(name, IntToStr(value)); }

void TIni::WriteInteger(const AnsiString& name, int32_t value) { WriteString(name, IntToStr(value)); }

void TIni::WriteBool(const AnsiString& name, bool value) { WriteString(name, value ? "1" : "0"); }

void TIni::WriteCString(const AnsiString& name, const char* value) { WriteString(name, value ? value : ""); }
