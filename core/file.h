#pragma once
// The file stream of projects, libraries and "Default.sel": a file stream with
// chunked strings, little-endian numbers, and texts converted between UTF-8
// (memory) and Windows-1252 (file).
//
// A chunked string is a text on file: length-byte pieces, full pieces of 255
// characters first, then exactly one shorter piece (possibly empty). So a
// piece of 255 always means another follows, and a text of L characters takes
// L + L / 255 + 1 bytes.
#include <cstdint>

#include "platform/classes.h"

// Open modes the program uses.
constexpr unsigned short ModeCreate = fmCreate;                                        // saving a project
constexpr unsigned short ModeReadExclusive = fmOpenRead | fmShareExclusive;            // loading a project
constexpr unsigned short ModeReadDenyWrite = fmOpenRead | fmShareDenyWrite;            // reading a library
constexpr unsigned short ModeReadWriteExclusive = fmOpenReadWrite | fmShareExclusive;  // editing a library

// Chunked strings on any stream (a TFile, or a memory stream in tests and
// fuzzing). A maximum counts characters, one byte each on file; a character
// that Windows-1252 lacks is written as '?'. Reads raise EReadError when the
// stream ends inside a string; they keep the characters that fit the field
// and skip the rest of its pieces. A NUL byte on file ends the text (the rest
// of its pieces is skipped), as it ends a text in a character field.
namespace chunked {
// Writes at most size - 1 characters of text: size is a field's capacity with
// its terminator. size < 0: no limit (0 writes the empty text).
void WriteString(TStream& s, const AnsiString& text, int size);
// Writes at most maximum characters; maximum < 0: no limit (callers pass -2).
void WriteAnsiString(TStream& s, const AnsiString& text, int maximum);
// Reads a text into a field of size bytes with its terminator: at most
// size - 1 characters are kept. size < 0: no limit.
AnsiString ReadString(TStream& s, int size);
// maximum < 0: no limit (callers pass -1); otherwise at most maximum characters.
AnsiString ReadAnsiString(TStream& s, int maximum);
}  // namespace chunked

class TFile : public TFileStream {
public:
    TFile(const AnsiString& fileName, unsigned short mode) : TFileStream(fileName, mode) {}

    void WriteChunkedString(const AnsiString& text, int size) { chunked::WriteString(*this, text, size); }
    void WriteChunkedAnsiString(const AnsiString& text, int maximum) {
        chunked::WriteAnsiString(*this, text, maximum);
    }
    void ReadChunkedString(AnsiString& text, int size) { text = chunked::ReadString(*this, size); }
    void ReadChunkedAnsiString(AnsiString& text, int maximum) {
        text = chunked::ReadAnsiString(*this, maximum);
    }
};

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
// An int32, or false when fewer than 4 bytes remain (a list that ends with the file).
bool TryReadI32(TStream& s, int32_t& value);

// A raw character array of older files: width bytes, the text ending at the
// first NUL or at the end of the array when it holds none.
AnsiString ReadRawText(TStream& s, int width);
// Skips n bytes; EReadError when fewer remain.
void SkipBytes(TStream& s, int64_t n);
