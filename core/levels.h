#pragma once
// Level values and their sentinels, text conversions of numbers and file
// names, and the program-wide pass counter.
#include <cstdint>

#include "platform/sysutils.h"

// A level value is a 32-bit float in dB. Sentinels are exact floats far below
// any real value: a value is real when it is greater than LevelNone.
constexpr float LevelNone = -500001.0f;          // no value; typed as ""
constexpr float LevelBlocked = -500002.0f;       // band not passed / channel not handled; typed "*"
constexpr float LevelReqUndefined = -500003.0f;  // required window met an attenuation without value
constexpr float LevelReqUnlimited = -500004.0f;  // required window without limit (band blocked on the way)
constexpr float LevelReqEmpty = -500005.0f;      // empty required window
constexpr float LevelOff = -500006.0f;           // no signal in this band at this port
constexpr float LevelError = -500007.0f;         // signal level cannot be computed
constexpr float LevelRepeat = -500008.0f;        // slot carries on from its left; typed "<"
constexpr float LevelUnlimitedMax = 50000.0f;    // the maximum of an unlimited level window
constexpr int BandSlots = 15;                    // slots of every per-band table

inline bool IsRealLevel(float v) { return v > LevelNone; }

AnsiString IntToText(int n);                                      // "" when n < 0
int TextToInt(const AnsiString& text, int def);                   // def for "" or not an integer
AnsiString FormatNumber(const AnsiString& format, double value);  // "" when value < 0
float TextToFloat(const AnsiString& text, float def);
// Keeps only digits and the decimal separator; "" gives 0. Raises EConvertError
// when what is left is not a number (two separators).
float TextToFloatLenient(const AnsiString& text);
float ParseLevel(const AnsiString& text);
AnsiString FormatLevel(float value, const AnsiString& format);

// Path helpers; both '/' and '\' separate directories.
AnsiString FileBaseName(const AnsiString& path);
AnsiString FileDirectory(const AnsiString& path);
AnsiString TextBeforeCaret(const AnsiString& text);

// Increments the program-wide pass counter and returns it; the first call gives 1.
uint32_t NextPassNumber();
