#include "printing/paragraph.h"

#include <algorithm>
#include <vector>

#include "platform/utf8.h"

int32_t LayoutParagraph(TCanvas* canvas, const AnsiString& text, const TRect& box, int32_t& x, int32_t& y,
                        int32_t step, bool draw) {
    // Byte offset of every character, and of the end.
    std::vector<size_t> at;
    for (size_t i = 0; i < text.size(); i += utf8::SequenceLength(static_cast<unsigned char>(text[i])))
        at.push_back(i);
    const int count = static_cast<int>(at.size());
    at.push_back(text.size());
    auto piece = [&](int from, int length) { return text.substr(at[from], at[from + length] - at[from]); };
    auto blank = [&](int c) { return text[at[c]] == ' '; };
    auto skipBlanks = [&](int c) {
        while (c < count && blank(c)) ++c;
        return c;
    };

    int32_t lines = 0;
    int start = 0;  // first character of the text still to set
    while (start < count) {
        const int length = count - start;
        const int available = box.Right - x;
        // Positions count from 1 within the rest; position 1 starts the line,
        // every later one is a blank that ends a word.
        std::vector<int> gaps{1};
        int i = 2;
        for (; i <= length; ++i) {
            if (canvas->TextWidth(piece(start, i)) > available) break;
            if (blank(start + i - 1) && !blank(start + i - 2)) gaps.push_back(i);
        }
        if (i > length) {
            // The rest fits: the last line, flush left.
            const AnsiString rest = piece(start, length);
            if (draw) canvas->TextOut(x, y, rest);
            x += canvas->TextWidth(rest);
            y += step;
            return lines + 1;
        }
        if (gaps.size() > 1) {
            const int n = static_cast<int>(gaps.size()) - 1;
            // The slack left by the pieces as they are drawn, each measured
            // on its own, so that the last ends at the box's edge.
            int slack = available;
            for (int k = 1; k <= n; ++k)
                slack -= canvas->TextWidth(piece(start + gaps[k - 1] - 1, gaps[k] - gaps[k - 1]));
            // The slack goes to the first gaps; a line with more gaps than the
            // table holds keeps single blanks in the others.
            const int stretched = std::min(n - 1, ParagraphMaxGaps);
            const int base = stretched > 0 ? slack / stretched : 0;
            const int extra = stretched > 0 ? slack % stretched : 0;
            for (int k = 1; k <= n; ++k) {
                const AnsiString p = piece(start + gaps[k - 1] - 1, gaps[k] - gaps[k - 1]);
                if (draw) canvas->TextOut(x, y, p);
                x += canvas->TextWidth(p);
                if (k <= stretched) x += base + (k <= extra ? 1 : 0);
            }
            start = skipBlanks(start + gaps[n] - 1);
        } else {
            // One word wider than the line: broken where it stops fitting,
            // at least one character a line.
            const int fit = std::max(1, i - 1);
            if (draw) canvas->TextOut(x, y, piece(start, fit));
            start = skipBlanks(start + fit);
        }
        y += step;
        ++lines;
        x = box.Left;
    }
    return lines;
}

int32_t PrintParagraph(TCanvas* canvas, const AnsiString& text, const TRect& box, int32_t& x, int32_t& y,
                       int32_t step) {
    return LayoutParagraph(canvas, text, box, x, y, step, true);
}
