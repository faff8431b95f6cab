#pragma once
// The file stream of projects, libraries and "Default.sel": a file stream with
// chunked strings, little-endian numbers, and texts converted between UTF-8
// (memory) and Windows-1252 (file).
#include <cstdint>

#include "platform/classes.h"

// Open modes the program uses.
constexpr unsigned short ModeCreate = fmCreate;                                  // saving a project
constexpr unsigned short ModeReadExclusive = fmOpenRead | fmShareExclusive;      // loading a project
constexpr unsigned short ModeReadDenyWrite = fmOpenRead | fmShareDenyWrite;      // reading a library
constexpr unsigned short ModeReadWriteExclusive = fmOpenReadWrite | fmShareExclusive;  // editing a library

class TFile : public TFileStream {
public:
    TFile(const AnsiString& fileName, unsigned short mode) : TFileStream(fileName, mode) {}
};

// Chunked strings and the little-endian fields of records, on any stream (a
// TFile, or a memory stream in tests and fuzzing). A maximum counts characters,
// one byte each on file. Reads raise EReadError when the stream ends inside
// a field; they never write past what the field holds.
namespace chunked {
// Writes at most size - 1 characters of text (size < 0: no limit).
void WriteString(TStream& s, const AnsiString& text, int size);
// Writes at most maximum characters (maximum < 0: no limit; callers pass -2).
void WriteAnsiString(TStream& s, const AnsiString& text, int maximum);
// Reads a text into a field of size bytes with its terminator (at most
// size - 1 characters); characters beyond are skipped.
AnsiString ReadString(TStream& s, int size);
// maximum < 0: no limit; otherwise at most maximum characters.
AnsiString ReadAnsiString(TStream& s, int maximum);
}  // namespace chunked

// Little-endian numbers on a stream; reads raise EReadError at the end.
void WriteI32(TStream& s, int32_t v);
void WriteU32(TStream& s, uint32_t v);
void WriteI16(TStream& s, int16_t v);
void WriteU8(TStream& s, uint8_t v);
void WriteF32(TStream& s, float v);
int32_t ReadI32(TStream& s);
uint32_t ReadU32(TStream& s);
int16_t ReadI16(TStream& s);
uint8_t ReadU8(TStream& s);
int8_t ReadI8(TStream& s);
float ReadF32(TStream& s);
