// Justified paragraphs on a canvas whose characters are all 10 px wide.
#include "printing/paragraph.h"

#include <gtest/gtest.h>

#include "platform/engines.h"
#include "platform/utf8.h"

namespace {

class FixedWidthEngine : public TRecordingEngine {
public:
    TSize TextExtent(const TFontState&, const AnsiString& text) override {
        return TSize{10 * utf8::Length(text), 10};
    }
};

struct Piece {
    int x, y;
    AnsiString text;
    bool operator==(const Piece&) const = default;
};

void PrintTo(const Piece& p, std::ostream* os) {
    *os << "(" << p.x << "," << p.y << " \"" << p.text << "\")";
}

struct Laid {
    int32_t lines, x, y;
    std::vector<Piece> pieces;
};

// Lays text out in a box from x = 0 to right, starting at (0, 0), 12 px a line.
Laid Lay(const AnsiString& text, int right, bool draw = true) {
    FixedWidthEngine engine;
    TCanvas canvas(&engine);
    Laid l;
    l.x = 0;
    l.y = 0;
    l.lines = LayoutParagraph(&canvas, text, TRect(0, 0, right, 100), l.x, l.y, 12, draw);
    for (const TPaintCall& c : engine.CallsOf(TPaintOp::Text))
        l.pieces.push_back({c.Points[0].x, c.Points[0].y, c.Text});
    return l;
}

TEST(Paragraph, LinesAndPieces) {
    struct Case {
        const char* what;
        const char* text;
        int right;
        std::vector<Piece> pieces;
    };
    // clang-format off
    const Case cases[] = {
        {"a text that fits is one flush-left line", "ab cd", 100, {{0, 0, "ab cd"}}},
        {"two blanks are one gap; the next line starts at the word", "aa  bb cc dddddd", 100,
         {{0, 0, "aa"}, {25, 0, "  bb"}, {70, 0, " cc"}, {0, 12, "dddddd"}}},
        {"a word wider than the box breaks where it stops fitting", "abcdefghij", 40,
         {{0, 0, "abcd"}, {0, 12, "efgh"}, {0, 24, "ij"}}},
        {"a one-character box takes a character a line", "abc", 10, {{0, 0, "a"}, {0, 12, "b"}, {0, 24, "c"}}},
        {"a box narrower than a character still advances", "abc", 5, {{0, 0, "a"}, {0, 12, "b"}, {0, 24, "c"}}},
        {"a word before a too-long word stands alone, unstretched", "ab cdefghijkl", 60,
         {{0, 0, "ab"}, {0, 12, "cdefgh"}, {0, 24, "ijkl"}}},
        {"the slack's extra pixels go to the first gaps", "a b c d eeeeeeeee", 93,
         {{0, 0, "a"}, {18, 0, " b"}, {46, 0, " c"}, {73, 0, " d"}, {0, 12, "eeeeeeeee"}}},
        {"blanks at the end of a line are skipped", "aaa bbb     ", 30, {{0, 0, "aaa"}, {0, 12, "bbb"}}},
        {"accented characters count as one", "però così fa", 100, {{0, 0, "però"}, {50, 0, " così"}, {0, 12, "fa"}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        const Laid drawn = Lay(c.text, c.right);
        EXPECT_EQ(drawn.pieces, c.pieces) << c.what;
        const int lines = c.pieces.back().y / 12 + 1;
        EXPECT_EQ(drawn.lines, lines) << c.what;
        EXPECT_EQ(drawn.y, lines * 12) << c.what;
        // Measuring counts the same lines and draws nothing.
        const Laid measured = Lay(c.text, c.right, false);
        EXPECT_EQ(measured.lines, drawn.lines) << c.what;
        EXPECT_TRUE(measured.pieces.empty()) << c.what;
    }
}

TEST(Paragraph, LastLineLeavesTheCursorAfterItsText) {
    const Laid l = Lay("ab cd", 100);
    EXPECT_EQ(l.x, 50);
    EXPECT_EQ(l.y, 12);
    EXPECT_EQ(Lay("", 100).lines, 0);
}

TEST(Paragraph, GapsPastTheTableStaySingleBlanks) {
    AnsiString text;
    for (int i = 0; i < 250; ++i) text += "a ";
    text += AnsiString(100, 'z');
    const Laid l = Lay(text, 5500);
    ASSERT_GE(l.pieces.size(), 251u);
    // 250 words on the first line; the first 199 gaps share the 510 px of slack.
    EXPECT_EQ(l.pieces[0], (Piece{0, 0, "a"}));
    EXPECT_EQ(l.pieces[200].x, 4500);
    EXPECT_EQ(l.pieces[201].x - l.pieces[200].x, 20);
    EXPECT_EQ(l.pieces[249].x + 20, 5500);
    EXPECT_EQ(l.pieces[250], (Piece{0, 12, AnsiString(100, 'z')}));
}

}  // namespace
