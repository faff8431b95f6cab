#pragma once
// Character positions in UTF-8 texts: edits count characters, not bytes.
#include <cstddef>

#include "platform/sysutils.h"

namespace utf8 {
// Bytes of the sequence that starts with this byte (a broken byte counts as one).
inline size_t SequenceLength(unsigned char c) {
    return c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
}
inline int Length(const AnsiString& s) {
    int n = 0;
    for (size_t i = 0; i < s.size(); ++n) i += SequenceLength(static_cast<unsigned char>(s[i]));
    return n;
}
// Byte offset of character index (clamped to the end).
inline size_t Offset(const AnsiString& s, int index) {
    size_t i = 0;
    for (int n = 0; n < index && i < s.size(); ++n) i += SequenceLength(static_cast<unsigned char>(s[i]));
    return i < s.size() ? i : s.size();
}
// Characters [start, start + count).
inline AnsiString Mid(const AnsiString& s, int start, int count) {
    size_t a = Offset(s, start), b = Offset(s, start + count);
    return s.substr(a, b - a);
}
}  // namespace utf8
