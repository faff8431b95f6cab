#pragma once
// Windows-1252 <-> UTF-8. Texts are UTF-8 in memory and Windows-1252 on file.
#include <string>

// Every byte maps to one character; the five bytes Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to U+0081 ... so that every
// byte of a file survives a round trip.
std::string Win1252ToUtf8(const std::string& bytes);
// A character Windows-1252 lacks becomes '?'; broken UTF-8 sequences too.
std::string Utf8ToWin1252(const std::string& text);
// Number of characters of a UTF-8 text (broken bytes count one each).
size_t Utf8Length(const std::string& text);
// The first n characters of a UTF-8 text.
std::string Utf8Left(const std::string& text, size_t n);
