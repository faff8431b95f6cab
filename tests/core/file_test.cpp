#include "core/file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/levels.h"
#include "support/temp_dir.h"

namespace {

// A text of n characters in which every position differs from its
// neighbours, so that pieces out of order or shifted are seen.
std::string Pattern(size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += static_cast<char>('A' + i % 23);
    return s;
}

// The expected bytes of a text cut into pieces of the given lengths.
std::string Pieces(const std::string& text, const std::vector<int>& lengths) {
    std::string bytes;
    size_t pos = 0;
    for (int n : lengths) {
        bytes += static_cast<char>(n);
        bytes += text.substr(pos, n);
        pos += n;
    }
    return bytes;
}

std::string Written(const std::string& text, int maximum) {
    TMemoryStream s;
    chunked::WriteAnsiString(s, text, maximum);
    return s.Bytes();
}

TEST(ChunkedString, ExactBytesAtThePieceBoundaries) {
    const struct {
        size_t length;
        std::vector<int> pieces;
    } cases[] = {
        {0, {0}},
        {1, {1}},
        {254, {254}},
        {255, {255, 0}},
        {256, {255, 1}},
        {509, {255, 254}},
        {510, {255, 255, 0}},
        {765, {255, 255, 255, 0}},
        {800, {255, 255, 255, 35}},
    };
    for (const auto& c : cases) {
        const std::string text = Pattern(c.length);
        const std::string bytes = Written(text, -2);
        EXPECT_EQ(bytes, Pieces(text, c.pieces)) << c.length;
        EXPECT_EQ(bytes.size(), c.length + c.length / 255 + 1) << c.length;
        for (int maximum : {-1, 1000}) {
            TMemoryStream in(bytes);
            EXPECT_EQ(chunked::ReadAnsiString(in, maximum), text)
                << c.length << " read with maximum " << maximum;
            EXPECT_EQ(in.Position(), static_cast<int64_t>(bytes.size()));
        }
    }
}

TEST(ChunkedString, AMaximumCutsTheTextOnFile) {
    const std::string thirty = Pattern(30);
    EXPECT_EQ(Written(thirty, 20), Pieces(thirty, {20}));
    EXPECT_EQ(Written(thirty, 30), Pieces(thirty, {30}));
    EXPECT_EQ(Written(thirty, 50), Pieces(thirty, {30}));
    EXPECT_EQ(Written(thirty, 0), std::string(1, '\0'));
    EXPECT_EQ(Written(Pattern(600), 510), Pieces(Pattern(600), {255, 255, 0}));

    // A field of 21 bytes with its terminator holds and writes 20 characters.
    TMemoryStream s;
    chunked::WriteString(s, thirty, 21);
    chunked::WriteString(s, thirty, -1);
    EXPECT_EQ(s.Bytes(), Pieces(thirty, {20}) + Pieces(thirty, {30}));
}

TEST(ChunkedString, TextsAreWindows1252OnFileAndCountCharacters) {
    EXPECT_EQ(Written("è", -2), std::string("\x01\xE8", 2));
    EXPECT_EQ(Written("Perché € Ω", -2), std::string("\x0A"
                                                     "Perch\xE9 \x80 ?",
                                                     11));
    // Twenty characters, though forty bytes in memory.
    const std::string accents = [] {
        std::string s;
        for (int i = 0; i < 30; ++i) s += "è";
        return s;
    }();
    EXPECT_EQ(Written(accents, 20), std::string(1, 20) + std::string(20, '\xE8'));

    TMemoryStream in(
        std::string("\x01\xE8\x03"
                    "d\xE0\xF9",
                    6));
    EXPECT_EQ(chunked::ReadAnsiString(in, 20), "è");
    EXPECT_EQ(chunked::ReadString(in, 3), "dà");  // a field of 3 bytes keeps 2 characters
}

TEST(ChunkedString, AFieldKeepsWhatFitsAndSkipsTheRest) {
    const std::string long600 = Pattern(600);
    const struct {
        int maximum;
        std::string kept;
    } cases[] = {
        {20, long600.substr(0, 20)},   {0, ""},
        {255, long600.substr(0, 255)}, {256, long600.substr(0, 256)},
        {599, long600.substr(0, 599)}, {600, long600},
    };
    for (const auto& c : cases) {
        TMemoryStream in;
        chunked::WriteAnsiString(in, long600, -2);
        chunked::WriteAnsiString(in, "segue", -2);
        in.SetPosition(0);
        EXPECT_EQ(chunked::ReadAnsiString(in, c.maximum), c.kept) << c.maximum;
        EXPECT_EQ(chunked::ReadAnsiString(in, 20), "segue") << "the next field after maximum " << c.maximum;
    }
}

TEST(ChunkedString, AStreamEndingInsideAStringIsAnError) {
    // clang-format off
    const std::string cases[] = {
        "",                                         // no length byte
        std::string("\x05" "abc"),                  // short piece
        std::string("\xFF") + Pattern(255),         // a full piece promises another
        std::string("\xFF") + Pattern(100),         // short full piece
        std::string("\xFF") + Pattern(255) + "\x03" "ab",
    };
    // clang-format on
    for (const auto& bytes : cases) {
        for (int maximum : {-1, 0, 10, 1000}) {
            TMemoryStream in(bytes);
            EXPECT_THROW(chunked::ReadAnsiString(in, maximum), EReadError) << bytes.size() << ' ' << maximum;
        }
    }
}

TEST(ChunkedString, ANulOnFileEndsTheText) {
    TMemoryStream in(
        std::string("\x05"
                    "ab\0cd"
                    "\x02"
                    "ok",
                    9));
    EXPECT_EQ(chunked::ReadAnsiString(in, -1), "ab");
    EXPECT_EQ(chunked::ReadAnsiString(in, -1), "ok");
}

TEST(ChunkedString, OnAFileThroughTFile) {
    TempDir dir;
    const std::string path = dir.File("prova.ant");
    const std::string text = "Derivatore è " + Pattern(700);
    {
        TFile f(path, ModeCreate);
        f.WriteChunkedAnsiString(text, -2);
        f.WriteChunkedString("codice troppo lungo per il campo", 21);
        f.WriteChunkedAnsiString("", 50);
        WriteI32(f, -2);
        WriteF32(f, LevelNone);
    }
    TFile f(path, ModeReadExclusive);
    AnsiString a, b, c;
    f.ReadChunkedAnsiString(a, -1);
    f.ReadChunkedString(b, 21);
    f.ReadChunkedAnsiString(c, 50);
    EXPECT_EQ(a, text);
    EXPECT_EQ(b, "codice troppo lungo ");
    EXPECT_EQ(c, "");
    EXPECT_EQ(ReadI32(f), -2);
    EXPECT_EQ(ReadF32(f), LevelNone);
    EXPECT_THROW(ReadU8(f), EReadError);
}

TEST(LittleEndian, NumbersOnAStream) {
    TMemoryStream s;
    WriteI32(s, -2);
    WriteU32(s, 0x01020304u);
    WriteI16(s, -300);
    WriteU8(s, 0xAB);
    WriteF32(s, LevelNone);
    EXPECT_EQ(s.Bytes(), std::string("\xFE\xFF\xFF\xFF"
                                     "\x04\x03\x02\x01"
                                     "\xD4\xFE"
                                     "\xAB"
                                     "\x20\x24\xF4\xC8",
                                     15));
    s.SetPosition(0);
    EXPECT_EQ(ReadI32(s), -2);
    EXPECT_EQ(ReadU32(s), 0x01020304u);
    EXPECT_EQ(ReadI16(s), -300);
    EXPECT_EQ(ReadI8(s), static_cast<int8_t>(0xAB));
    EXPECT_EQ(ReadF32(s), LevelNone);

    TMemoryStream shortInt(std::string("\x01\x02\x03", 3));
    EXPECT_THROW(ReadI32(shortInt), EReadError);
}

}  // namespace
