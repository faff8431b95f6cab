#include "core/file.h"

#include <cstring>

#include "platform/codec.h"

namespace {

constexpr int FullPiece = 255;

// Writes bytes already in the file's code page as pieces.
void WritePieces(TStream& s, const std::string& bytes) {
    size_t pos = 0;
    for (; bytes.size() - pos >= FullPiece; pos += FullPiece) {
        WriteU8(s, FullPiece);
        s.WriteBuffer(bytes.data() + pos, FullPiece);
    }
    const size_t last = bytes.size() - pos;
    WriteU8(s, static_cast<uint8_t>(last));
    if (last) s.WriteBuffer(bytes.data() + pos, static_cast<int>(last));
}

// Reads all pieces of one string; keeps at most 'keep' bytes (keep < 0: all),
// and nothing from a NUL byte on.
std::string ReadPieces(TStream& s, long long keep) {
    std::string bytes;
    bool ended = false;
    char piece[FullPiece];
    int n;
    do {
        n = ReadU8(s);
        s.ReadBuffer(piece, n);
        if (ended) continue;
        size_t take = static_cast<size_t>(n);
        if (const void* nul = std::memchr(piece, 0, take)) {
            take = static_cast<size_t>(static_cast<const char*>(nul) - piece);
            ended = true;
        }
        if (keep >= 0) {
            const size_t room = static_cast<size_t>(keep) - bytes.size();
            if (take >= room) {
                take = room;
                ended = true;
            }
        }
        bytes.append(piece, take);
    } while (n == FullPiece);
    return bytes;
}

}  // namespace

namespace chunked {

void WriteString(TStream& s, const AnsiString& text, int size) {
    std::string bytes = Utf8ToWin1252(text);
    bytes.resize(std::strlen(bytes.c_str()));  // the text ends at a NUL, as in a character field
    if (size >= 0 && static_cast<size_t>(size) <= bytes.size()) bytes.resize(size > 0 ? size - 1 : 0);
    WritePieces(s, bytes);
}

void WriteAnsiString(TStream& s, const AnsiString& text, int maximum) {
    WriteString(s, text, maximum < 0 ? -1 : maximum + 1);
}

AnsiString ReadString(TStream& s, int size) {
    return Win1252ToUtf8(ReadPieces(s, size < 0 ? -1 : size > 0 ? size - 1 : 0));
}

AnsiString ReadAnsiString(TStream& s, int maximum) { return ReadString(s, maximum < 0 ? -1 : maximum + 1); }

}  // namespace chunked

namespace {

template <typename T>
void WriteLE(TStream& s, T v) {
    uint8_t b[sizeof(T)];
    for (size_t i = 0; i < sizeof(T); ++i) b[i] = static_cast<uint8_t>(static_cast<uint64_t>(v) >> (8 * i));
    s.WriteBuffer(b, sizeof(T));
}

template <typename T>
T ReadLE(TStream& s) {
    uint8_t b[sizeof(T)];
    s.ReadBuffer(b, sizeof(T));
    uint64_t v = 0;
    for (size_t i = 0; i < sizeof(T); ++i) v |= static_cast<uint64_t>(b[i]) << (8 * i);
    return static_cast<T>(v);
}

}  // namespace

void WriteI32(TStream& s, int32_t v) { WriteLE<uint32_t>(s, static_cast<uint32_t>(v)); }
void WriteU32(TStream& s, uint32_t v) { WriteLE<uint32_t>(s, v); }
void WriteI16(TStream& s, int16_t v) { WriteLE<uint16_t>(s, static_cast<uint16_t>(v)); }
void WriteU8(TStream& s, uint8_t v) { s.WriteBuffer(&v, 1); }

void WriteF32(TStream& s, float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    WriteLE<uint32_t>(s, bits);
}

int32_t ReadI32(TStream& s) { return static_cast<int32_t>(ReadLE<uint32_t>(s)); }
uint32_t ReadU32(TStream& s) { return ReadLE<uint32_t>(s); }
int16_t ReadI16(TStream& s) { return static_cast<int16_t>(ReadLE<uint16_t>(s)); }

uint8_t ReadU8(TStream& s) {
    uint8_t v;
    s.ReadBuffer(&v, 1);
    return v;
}

int8_t ReadI8(TStream& s) { return static_cast<int8_t>(ReadU8(s)); }

float ReadF32(TStream& s) {
    const uint32_t bits = ReadLE<uint32_t>(s);
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

AnsiString ReadRawText(TStream& s, int width) {
    std::string raw(static_cast<size_t>(width), '\0');
    s.ReadBuffer(raw.data(), width);
    raw.resize(std::strlen(raw.c_str()));
    return Win1252ToUtf8(raw);
}

void SkipBytes(TStream& s, int64_t n) {
    if (n < 0 || n > s.Size() - s.Position()) throw EReadError("the stream ends early");
    s.Seek(n, soFromCurrent);
}

bool TryReadI32(TStream& s, int32_t& value) {
    uint8_t b[4];
    if (s.Read(b, 4) < 4) return false;
    value = static_cast<int32_t>(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 |
                                 uint32_t(b[3]) << 24);
    return true;
}
