// The channel rows of the calculation reports and the report pages the cells ask for.
#include "document/report_pages.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/channel_list.h"
#include "platform/comctrls.h"
#include "platform/utf8.h"
#include "support/globals_fixture.h"

namespace {

class ReportPagesTest : public GlobalsTest {
protected:
    ReportPagesTest() { ReportPages().Clear(); }
    ~ReportPagesTest() override { ReportPages().Clear(); }

    std::unique_ptr<TRichEdit> report = std::make_unique<TRichEdit>(nullptr);
    TListaCanali list;

    TCanale& Add(const char* name, const char* label, float low, float high) {
        TCanale c;
        c.name = name;
        c.label = label;
        c.sources = "Ant1";
        c.freqLow = low;
        c.freqHigh = high;
        c.levelMin = 60.0f;
        c.levelMax = 62.5f;
        c.sourceCNMin = 50.0f;
        c.sourceCNMax = 52.0f;
        c.noiseMin = 0.0f;
        c.noiseMax = 9.0f;  // 10 dB of noise figure
        c.floorMin = 45.0f;
        c.floorMax = 48.0f;
        return *list.Insert(c);
    }
    int Width(const AnsiString& text) {
        TCanvas* canvas = ReportPages().MeasuringCanvas();
        canvas->Font->Name = report->DefAttributes->Name();
        canvas->Font->Height = report->DefAttributes->Height();
        return canvas->TextWidth(text);
    }
    TColor ColourAt(int line, int column) {
        int start = 0;
        for (int l = 0; l < line; ++l) start += utf8::Length(report->Lines->Strings(l)) + 2;
        return report->FormatAt(start + column).Color;
    }
};

TEST_F(ReportPagesTest, FindPageAnswersForThePagesTheMainWindowHas) {
    EXPECT_FALSE(ReportPages().FindPage(PageNetworkCalculations));
    ReportPages().AddPage(PageNetworkCalculations);
    EXPECT_TRUE(ReportPages().FindPage("Calcoli rete"));
    EXPECT_FALSE(ReportPages().FindPage("Calcoli canali"));
    ReportPages().RemovePage("Calcoli rete");
    EXPECT_FALSE(ReportPages().FindPage("Calcoli rete"));
}

TEST_F(ReportPagesTest, TheHeaderEmptiesTheReport) {
    report->Lines->Add("vecchio");
    WriteChannelHeader(report.get());
    ASSERT_EQ(report->Lines->Count(), 1);
    EXPECT_EQ(report->Lines->Strings(0),
              "Componente\tCanale\t\tDescrizione\t\tS Min.\tS Max.\tC/N Min.\tC/N Max.\tProvenienza");
}

TEST_F(ReportPagesTest, AnEmptyListWritesThePrefixAloneAndStillSwitchesTheColour) {
    ASSERT_LT(Width("F3:"), 45);
    AddChannelRowsDefault(report.get(), "F3", list);
    ASSERT_EQ(report->Lines->Count(), 1);
    EXPECT_EQ(report->Lines->Strings(0), "F3: \t \t");
    EXPECT_EQ(ReportPages().ReportColour, clGreen);
    AddChannelRowsDefault(report.get(), "F3", list);
    EXPECT_EQ(ReportPages().ReportColour, clBlue);
}

TEST_F(ReportPagesTest, RowsAreInFrequencyOrderWithTheirColumns) {
    // Widths that decide the padding: a short name and label, a middling
    // label and a wide one.
    ASSERT_LT(Width("21"), 45);
    ASSERT_LT(Width("Rai 1"), 45);
    ASSERT_GE(Width("Regionale"), 45);
    ASSERT_LT(Width("Regionale"), 94);
    ASSERT_GE(Width("Canale tematico nazionale"), 94);
    ASSERT_GE(Width("Uscita di prova lunga:"), 45);
    Add("45", "Canale tematico nazionale", 662.0f, 670.0f);
    Add("21", "Rai 1", 470.0f, 478.0f);
    Add("30", "Regionale", 542.0f, 550.0f);
    AddChannelRowsDefault(report.get(), "Uscita di prova lunga", list);
    ASSERT_EQ(report->Lines->Count(), 3);
    EXPECT_EQ(report->Lines->Strings(0),
              "Uscita di prova lunga: \t21: \t \tRai 1 \t \t \t60,00 \t62,50 \t40,00 \t48,00 \tAnt1");
    EXPECT_EQ(report->Lines->Strings(1), "\t\t30: \t \tRegionale \t \t60,00 \t62,50 \t40,00 \t48,00 \tAnt1");
    EXPECT_EQ(report->Lines->Strings(2),
              "\t\t45: \t \tCanale tematico nazionale \t60,00 \t62,50 \t40,00 \t48,00 \tAnt1");
}

TEST_F(ReportPagesTest, CarrierToNoiseIsBoundedByTheLowestLevelAndNeverNegative) {
    struct Case {
        float sourceCN, noise, floor;
        float expected;
    };
    // clang-format off
    const Case cases[] = {
        {50.0f, 9.0f, 45.0f, 40.0f},    // 10 dB of noise figure
        {50.0f, 0.0f, 45.0f, 45.0f},    // the lowest level met bounds it
        {5.0f, 99.0f, 45.0f, 0.0f},     // never below 0
        {30.0f, -1.0f, 45.0f, 30.0f},   // a noise sum of -1 or below adds nothing
        {30.0f, -7.0f, 45.0f, 30.0f},
        {30.0f, 0.0f, -4.0f, 0.0f},
    };
    // clang-format on
    for (const Case& c : cases) EXPECT_NEAR(ChannelCNMin(c.sourceCN, c.noise, c.floor), c.expected, 1e-4);
}

TEST_F(ReportPagesTest, RowsTakeTheReportColourAndChannelsInsideTheLimitsMagenta) {
    Add("21", "Rai 1", 470.0f, 478.0f);
    Add("22", "Rai 2", 478.0f, 486.0f);
    AddChannelRows(report.get(), "P1", list, 476.0f, 490.0f);
    const int prefix = utf8::Length("P1: \t \t");
    // First row: the prefix keeps the colour it had, the rest the report colour.
    EXPECT_EQ(ColourAt(0, 0), clBlack);
    EXPECT_EQ(ColourAt(0, prefix - 1), clBlack);
    EXPECT_EQ(ColourAt(0, prefix), clBlue);
    EXPECT_EQ(ColourAt(0, utf8::Length(report->Lines->Strings(0)) - 1), clBlue);
    // Second row wholly inside the limits: magenta from its first tab.
    EXPECT_EQ(ColourAt(1, 0), clFuchsia);
    EXPECT_EQ(ColourAt(1, utf8::Length(report->Lines->Strings(1)) - 1), clFuchsia);
    EXPECT_EQ(ReportPages().ReportColour, clGreen);

    // The next block comes in green; text after it in black.
    TListaCanali other;
    TCanale c;
    c.name = "S1";
    c.freqLow = 1000.0f;
    c.freqHigh = 1036.0f;
    other.Insert(c);
    AddChannelRowsDefault(report.get(), "P2", other);
    EXPECT_EQ(ColourAt(2, utf8::Length("P2: \t \t")), clGreen);
    report->Lines->Add("dopo");
    EXPECT_EQ(ColourAt(3, 0), clBlack);
    EXPECT_EQ(ReportPages().ReportColour, clBlue);
}

}  // namespace
