#include "platform/codec.h"

#include <gtest/gtest.h>

TEST(Codec, EveryByteRoundTrips) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToWin1252(Win1252ToUtf8(all)), all);
}

TEST(Codec, KnownCharacters) {
    EXPECT_EQ(Win1252ToUtf8("\xE8"), "è");
    EXPECT_EQ(Utf8ToWin1252("è"), "\xE8");
    EXPECT_EQ(Utf8ToWin1252("€"), "\x80");
    EXPECT_EQ(Win1252ToUtf8("\x80"), "€");
    EXPECT_EQ(Utf8ToWin1252("Ω"), "?");  // not in Windows-1252
    EXPECT_EQ(Utf8ToWin1252("a\xFF"
                            "b"),
              "a?b");  // broken UTF-8
    EXPECT_EQ(Utf8Length("perché"), 6u);
    EXPECT_EQ(Utf8Left("perché sì", 6), "perché");
}
