#pragma once
// Strings, numbers, exceptions and files: the small part of the desktop class
// library's run-time that the program's model code uses.
#include <cstdint>
#include <stdexcept>
#include <string>

// Texts are UTF-8 in memory; the file layer converts them to Windows-1252.
using AnsiString = std::string;

class Exception : public std::runtime_error {
public:
    explicit Exception(const AnsiString& message) : std::runtime_error(message) {}
    AnsiString Message() const { return what(); }
};
class EConvertError : public Exception {
    using Exception::Exception;
};
// A stream error may carry the system's error number (0 when there is none).
class EStreamError : public Exception {
public:
    explicit EStreamError(const AnsiString& message, int errorCode = 0)
        : Exception(message), ErrorCode(errorCode) {}
    int ErrorCode;
};
class EFOpenError : public EStreamError {
    using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError {
    using EStreamError::EStreamError;
};
class EReadError : public EStreamError {
    using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
    using EStreamError::EStreamError;
};

// Program-wide number format: Italian by default, never the machine's locale.
struct TFormatSettings {
    char DecimalSeparator = ',';
    char ThousandSeparator = '.';
};
TFormatSettings& FormatSettings();

// FormatFloat masks: '0' and '#' digit places, the decimal point '.', ',' for
// thousands grouping, quoted literals and up to three ';' sections
// (positive;negative;zero). Rounds the value's 15-digit decimal form half away
// from zero.
AnsiString FormatFloat(const AnsiString& format, double value);
AnsiString FloatToStr(double value);  // shortest form with up to 15 significant digits
AnsiString IntToStr(long long value);

// Strict conversions: raise EConvertError on a text that is not a number.
// Leading and trailing blanks are allowed; the decimal separator is the
// program's one, and '.' is not accepted in its place unless it is the separator.
int StrToInt(const AnsiString& text);
double StrToFloat(const AnsiString& text);
bool TryStrToInt(const AnsiString& text, int& value);
bool TryStrToFloat(const AnsiString& text, double& value);

AnsiString Trim(const AnsiString& text);
AnsiString UpperCase(const AnsiString& text);  // ASCII letters only, as the class library
AnsiString LowerCase(const AnsiString& text);
AnsiString AnsiUpperCase(const AnsiString& text);           // also the accented Latin-1 letters
int CompareText(const AnsiString& a, const AnsiString& b);  // ASCII case-insensitive
bool SameText(const AnsiString& a, const AnsiString& b);

// Files. Paths use '/'.
bool FileExists(const AnsiString& path);
bool DirectoryExists(const AnsiString& path);
bool ForceDirectories(const AnsiString& path);
bool RenameFile(const AnsiString& oldName, const AnsiString& newName);
bool DeleteFile(const AnsiString& path);
AnsiString ExtractFilePath(const AnsiString& path);  // up to and with the last '/' or '\'
AnsiString ExtractFileName(const AnsiString& path);
AnsiString ExtractFileExt(const AnsiString& path);  // with the dot
AnsiString ChangeFileExt(const AnsiString& path, const AnsiString& ext);
AnsiString IncludeTrailingPathDelimiter(const AnsiString& path);
AnsiString ExecutableDirectory();  // the folder of the running program, ending in '/'
