#pragma once
// The settings store: every option, switch, directory and preset is one text
// value directly under the program's key. Reads give a default for a value
// that is missing or empty. A settings file that cannot be read or written is
// said once in a message box; the values stay in memory for the run.
#include <cstdint>
#include <memory>

#include "platform/registry.h"

constexpr const char* ProgramKey = "Software\\Varne\\OrdivexVarne";

class TIni {
public:
    explicit TIni(const AnsiString& key = ProgramKey);
    ~TIni();

    void ReadString(const AnsiString& name, AnsiString& value);
    void ReadFloat(const AnsiString& name, float& value);  // default -1
    void ReadFloatDef(const AnsiString& name, float& value, float def);
    void ReadByte(const AnsiString& name, int8_t& value);  // default 0
    void ReadByteDef(const AnsiString& name, int8_t& value, int8_t def);
    void ReadInteger(const AnsiString& name, int32_t& value);  // default -1
    void ReadIntegerDef(const AnsiString& name, int32_t& value, int32_t def);
    void ReadBool(const AnsiString& name, bool& value);  // default false
    void ReadBoolDef(const AnsiString& name, bool& value, bool def);

    void WriteString(const AnsiString& name, const AnsiString& value);
    void WriteFloat(const AnsiString& name, float value);  // "#.######"; 0 as "0"
    void WriteByte(const AnsiString& name, int8_t value);
    void WriteInteger(const AnsiString& name, int32_t value);
    void WriteBool(const AnsiString& name, bool value);
    void WriteCString(const AnsiString& name, const char* value);

    // Convenience forms returning the value.
    AnsiString String(const AnsiString& name);

    TRegIniFile& Store() { return *store_; }

private:
    std::unique_ptr<TRegIniFile> store_;
};

// While it lives, the writes through the store are gathered and the settings
// file is written once, when it goes (each write of the file is flushed to the
// disk, which takes its time).
class TIniUpdate {
public:
    explicit TIniUpdate(TIni& ini) : store_(ini.Store()) { store_.BeginUpdate(); }
    ~TIniUpdate() { store_.EndUpdate(); }
    TIniUpdate(const TIniUpdate&) = delete;
    TIniUpdate& operator=(const TIniUpdate&) = delete;

private:
    TRegIniFile& store_;
};
