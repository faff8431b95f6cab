#pragma once
// Justified paragraphs: a long text set line by line inside a box, each full
// line stretched to the box's right edge by widening its word gaps, the last
// line flush left. Widths are the canvas's text widths in its current font.
#include <cstdint>

#include "platform/graphics.h"

// The most word gaps of one line that take a share of the slack; the gaps
// past them stay single blanks.
constexpr int ParagraphMaxGaps = 199;

// Sets text from (x, y), lines running from the box's left edge to its right
// edge one step apart; x and y are left where the next text would follow.
// The box's top and bottom do not limit the paragraph. With draw false
// nothing is drawn and the lines are only counted. Returns the line count.
int32_t LayoutParagraph(TCanvas* canvas, const AnsiString& text, const TRect& box, int32_t& x, int32_t& y,
                        int32_t step, bool draw);
// LayoutParagraph drawing.
int32_t PrintParagraph(TCanvas* canvas, const AnsiString& text, const TRect& box, int32_t& x, int32_t& y,
                       int32_t step);
