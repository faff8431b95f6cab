// The page record: point lengths in pixels of the target, font sizes at the
// record's scale and the line height of each document kind.
#include "printing/print_page.h"

#include <gtest/gtest.h>

namespace {

TEST(PrintPage, PointsBecomePixelsOfTheTargetTruncated) {
    struct Case {
        int32_t dpi;
        int32_t points;
        int32_t pixels;
    };
    // clang-format off
    const Case cases[] = {
        {600, 12, 100},
        {600, 14, 116},   // 116.67
        {600, 18, 150},
        {300, 5, 20},     // 20.83
        {96, 8, 10},      // 10.67
        {72, 13, 13},
        {600, -7, -58},   // toward zero: -58.33
        {1200, 2000000, 33333333},  // no overflow in the product
    };
    // clang-format on
    for (const Case& c : cases) {
        TPrintPage page;
        page.Dpi = c.dpi;
        EXPECT_EQ(page.Points(c.points), c.pixels) << c.points << " pt at " << c.dpi << " dpi";
    }
}

TEST(PrintPage, LineHeightIsFourteenPointsForSchemesAndReports) {
    for (int32_t kind : {DocScheme, DocMastReport, DocLightningReport})
        EXPECT_EQ(TPrintPage::LineHeightPoints(kind), 14) << kind;
    for (int32_t kind : {DocMaterialList, DocEstimate, DocSignals, DocSeparations, DocChannels, DocCover,
                         DocDeclaration, DocLightningRisk, 55})
        EXPECT_EQ(TPrintPage::LineHeightPoints(kind), 12) << kind;
}

TEST(PrintPage, FontSizesFollowTheScaleTruncated) {
    TPrintPage page;
    EXPECT_EQ(page.FontSize(10), 10);
    page.Scale = 0.55f;
    EXPECT_EQ(page.FontSize(10), 5);
    EXPECT_EQ(page.FontSize(14), 7);
}

TEST(PrintPage, FreshRecordHasNoCanvasAndStartsAtPageOne) {
    const TPrintPage page;
    EXPECT_EQ(page.Canvas, nullptr);
    EXPECT_EQ(page.NewJob, 0);
    EXPECT_EQ(page.PageNumber, 1);
    EXPECT_EQ(page.PageToRender, 0);
    EXPECT_FLOAT_EQ(page.Scale, 1.0f);
    for (uint8_t flag : page.Columns) EXPECT_EQ(flag, 0);
}

}  // namespace
