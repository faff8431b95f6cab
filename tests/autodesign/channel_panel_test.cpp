// The terrestrial antenna channel panel: the channel grid's cells and
// colours, clicks that add and remove channels, the channel list's edits,
// "Cancella", the plan combo and the antenna code of the default library.
#include "autodesign/channel_panel.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "cells/sources.h"
#include "core/channel_plans.h"
#include "core/libraries.h"
#include "document/design_settings.h"
#include "platform/engines.h"
#include "support/default_library_folder.h"
#include "support/design_components.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

class ChannelPanel : public GlobalsTest {
protected:
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    TOpzProgetto opz;
    TPannelloCanaliTer panel;

    void SetUp() override {
        RegisterDefaultLibrary(libraries.Get());
        panel.Settings = &opz;
        panel.Index = 0;
        panel.Refresh();
    }
    TAntennaAutoProg& Antenna() { return opz.Antennas[0]; }
    // The colour each of the 100 cells was filled with last.
    std::vector<TColor> CellColours() {
        TDrawGrid& grid = *panel.ChannelGrid;
        grid.Canvas->Recording().Clear();
        grid.Repaint();
        const std::vector<TPaintCall> fills = grid.Canvas->Recording().CallsOf(TPaintOp::FillRect);
        std::vector<TColor> colours;
        for (int i = 0; i < ChannelGridColumns * ChannelGridRows; ++i) {
            const TRect cell = grid.CellRect(i % ChannelGridColumns, i / ChannelGridColumns);
            TColor c = clNone;
            for (const TPaintCall& f : fills)
                if (f.Rect == cell) c = f.State.Brush.Color;
            colours.push_back(c);
        }
        return colours;
    }
    TColor ColourOf(const char* channel) {
        return CellColours().at(static_cast<size_t>(Antenna().Plan->IndexOf(channel)));
    }
    void ClickChannel(const char* channel) {
        const int i = Antenna().Plan->IndexOf(channel);
        const TRect r = panel.ChannelGrid->CellRect(i % ChannelGridColumns, i / ChannelGridColumns);
        panel.ChannelGrid->ClickAt((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
};

TEST_F(ChannelPanel, LayoutAndCaption) {
    EXPECT_EQ(panel.Width.Get(), 777);
    EXPECT_EQ(panel.Height.Get(), 154);
    EXPECT_EQ(panel.Caption.Get(), "Antenna 1 ");
    EXPECT_EQ(panel.ListGrid->Cells[3][0], "Segnale");
    TDrawGrid& grid = *panel.ChannelGrid;
    EXPECT_EQ(grid.ColCount.Get(), 20);
    EXPECT_EQ(grid.RowCount.Get(), 5);
    EXPECT_FALSE(grid.CellRect(19, 4).IsEmpty());
    EXPECT_EQ(panel.Plan->Text.Get(), "Europa");
}

TEST_F(ChannelPanel, GridCellsFollowThePlan) {
    ASSERT_EQ(Antenna().Plan->Count(), 100);
    const std::vector<TColor> europa = CellColours();
    for (int i = 0; i < 100; ++i) EXPECT_EQ(europa[i], ColorToRGB(ChannelCellFree)) << i;
    // The names, centred one pixel below the top.
    const std::vector<AnsiString> texts = panel.ChannelGrid->Canvas->Recording().Texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "21"), texts.end());

    TCanalizzazione small("Prova", 57);
    for (int i = 0; i < 57; ++i)
        small.AddRow(std::to_string(i), 400.0f + 8 * i, 408.0f + 8 * i, 0, 0, 'a', 0, 0, "");
    Antenna().Plan = &small;
    const std::vector<TColor> colours = CellColours();
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(colours[i], ColorToRGB(i < 57 ? ChannelCellFree : ChannelCellNoRow)) << i;
    // A grey cell takes no click.
    panel.ChannelGrid->ClickAt(panel.ChannelGrid->CellRect(18, 2).Left + 3,
                               panel.ChannelGrid->CellRect(18, 2).Top + 3);
    EXPECT_EQ(Antenna().Channels.Count(), 0);
    EXPECT_FALSE(opz.DesignRequested);
    Antenna().Plan = nullptr;
    for (TColor c : CellColours()) EXPECT_EQ(c, ColorToRGB(ChannelCellNoRow));
}

TEST_F(ChannelPanel, ColoursOfTheAntennaRange) {
    Antenna().FMin = 470;
    Antenna().FMax = 862;
    ClickChannel("5");
    ClickChannel("21");
    struct Case {
        const char* channel;
        TColor colour;
    };
    for (const Case& c : std::vector<Case>{{"5", ChannelCellReceivedOutOfRange},
                                           {"6", ChannelCellFreeOutOfRange},
                                           {"21", ChannelCellReceived},
                                           {"22", ChannelCellFree},
                                           {"69", ChannelCellFree}})
        EXPECT_EQ(ColourOf(c.channel), ColorToRGB(c.colour)) << c.channel;
    // Without a range nothing is out of it.
    Antenna().FMin = Antenna().FMax = LevelNone;
    EXPECT_EQ(ColourOf("5"), ColorToRGB(ChannelCellReceived));
}

TEST_F(ChannelPanel, ClicksAddAndRemoveChannels) {
    opz.APDefaultSigCan = 68.0f;
    ClickChannel("21");
    EXPECT_TRUE(opz.DesignRequested);
    TAntennaAutoProg& a = Antenna();
    ASSERT_EQ(a.Channels.Count(), 1);
    EXPECT_EQ(a.Channels.head->name, "21");
    EXPECT_EQ(a.Channels.head->levelMin, 68.0f);
    EXPECT_EQ(a.Channels.head->label, "");
    EXPECT_TRUE(a.Received[a.Plan->IndexOf("21")]);
    EXPECT_EQ(panel.ListGrid->Cells[0][1], "21");
    EXPECT_EQ(panel.ListGrid->Cells[3][1], "68");
    ClickChannel("21");
    EXPECT_EQ(a.Channels.Count(), 0);
    EXPECT_FALSE(a.Received[a.Plan->IndexOf("21")]);
    EXPECT_EQ(panel.ListGrid->Cells[0][1], "");
}

TEST_F(ChannelPanel, ListEdits) {
    ClickChannel("21");
    TStringGrid& list = *panel.ListGrid;
    const TCanale& channel = *Antenna().Channels.head;
    struct Case {
        int col;
        const char* typed;
        const char* cell;
    };
    for (const Case& c : std::vector<Case>{{1, "digitale", "D"},
                                           {1, "x", "A"},
                                           {1, "d", "D"},
                                           {1, "", ""},
                                           {3, "1,2,3", "1,2,3"},
                                           {3, ",", ","},
                                           {3, "-", "-"},
                                           {3, "75,5", "75,5"},
                                           {2, "Rai 1", "Rai 1"}}) {
        EXPECT_NO_THROW(list.SetEditText(c.col, 1, c.typed)) << c.typed;
        EXPECT_EQ(list.Cells[c.col][1], c.cell) << c.typed;
    }
    EXPECT_EQ(channel.signalType, SignalAnalog);  // the cleared kind reads as analog
    EXPECT_EQ(channel.levelMin, 75.5f);
    EXPECT_EQ(channel.label, "Rai 1");
    // A text the level column does not take leaves the level (leaving the
    // cell refuses it); an empty cell is no level.
    list.SetEditText(3, 1, "1,2,3");
    EXPECT_EQ(channel.levelMin, 75.5f);
    list.SetEditText(3, 1, "-3");
    EXPECT_EQ(channel.levelMin, 75.5f);
    list.SetEditText(3, 1, "");
    EXPECT_EQ(channel.levelMin, LevelNone);
    list.SetEditText(1, 1, "D");
    EXPECT_EQ(channel.signalType, SignalDigital);

    struct Select {
        int col, row;
        bool can;
    };
    for (const Select& s : std::vector<Select>{{0, 1, false}, {1, 0, false}, {1, 1, true}, {3, 1, true}}) {
        bool can = !s.can;
        panel.ListSelectCell(nullptr, s.col, s.row, can);
        EXPECT_EQ(can, s.can) << s.col << "," << s.row;
    }
    bool can = true;
    panel.ChannelSelectCell(nullptr, 3, 3, can);
    EXPECT_FALSE(can);
}

TEST_F(ChannelPanel, DeleteMovesTheLaterAntennasDown) {
    for (int i = 0; i < AntennaSlots; ++i)
        opz.Antennas[i].Code = i < 5 || i == 9 ? "A" + std::to_string(i + 1) : "";
    ClickChannel("21");  // antenna 1 has a channel
    opz.Antennas[3].FMin = 174;
    panel.Index = 2;
    panel.DeleteClick(nullptr);
    std::vector<std::string> codes;
    for (const TAntennaAutoProg& a : opz.Antennas) codes.push_back(a.Code);
    EXPECT_EQ(codes, (std::vector<std::string>{"A1", "A2", "A4", "A5", "", "", "", "", "A10", ""}));
    EXPECT_EQ(opz.Antennas[2].FMin, 174.0f);
    EXPECT_EQ(opz.Antennas[0].Channels.Count(), 1);
    EXPECT_EQ(opz.Antennas[9].Plan, CanalizzazioneEuropa);
    EXPECT_EQ(panel.Caption.Get(), "Antenna 3 ");
    EXPECT_EQ(panel.Code->Text.Get(), "A4");
}

TEST_F(ChannelPanel, PlanComboAndRefreshChain) {
    TPannelloCanaliTer next;
    next.Settings = &opz;
    next.Index = 1;
    panel.Next = &next;
    ClickChannel("21");
    panel.PlanEnter(nullptr);
    EXPECT_EQ(panel.Plan->Items->Count(), 3);  // the terrestrial plans
    panel.Plan->UserSet(panel.Plan->Text, "Ital");
    EXPECT_EQ(Antenna().Plan, CanalizzazioneEuropa);
    EXPECT_EQ(panel.Plan->Text.Get(), "Europa");
    EXPECT_EQ(Antenna().Channels.Count(), 1);
    // The plan it has (a combo taking its text back on leaving) keeps the channels.
    panel.Plan->UserSet(panel.Plan->ItemIndex, panel.Plan->Items->IndexOf("Europa"));
    EXPECT_EQ(Antenna().Channels.Count(), 1);
    panel.Plan->UserSet(panel.Plan->Text, "Italia");
    EXPECT_EQ(Antenna().Plan, CanalizzazioneItalia);
    EXPECT_EQ(Antenna().Channels.Count(), 0);

    opz.Antennas[1].Plan = nullptr;
    next.Plan->Text = "x";
    panel.Refresh();
    EXPECT_EQ(next.Caption.Get(), "Antenna 2 ");
    EXPECT_EQ(next.Plan->Text.Get(), "");
}

TEST_F(ChannelPanel, AntennaFromTheLibrary) {
    panel.LibraryEnter(nullptr);
    EXPECT_EQ(panel.Library->Text.Get(), "Varne");  // the one library
    panel.CodeEnter(nullptr);
    ASSERT_GE(panel.Code->Items->IndexOf("GAN-UHF"), 0);
    ClickChannel("21");
    panel.Code->UserSet(panel.Code->Text, "GAN-UHF");
    TAntennaAutoProg& a = Antenna();
    EXPECT_EQ(a.FMin, 470.0f);
    EXPECT_EQ(a.FMax, 862.0f);
    EXPECT_EQ(a.Library, "Varne");
    EXPECT_EQ(a.Code, "GAN-UHF");
    EXPECT_EQ(a.Channels.Count(), 1);  // the article brings no channels: the antenna keeps its own

    panel.Code->UserSet(panel.Code->Text, "NESSUNA");
    EXPECT_EQ(a.FMin, LevelNone);
    EXPECT_EQ(a.FMax, LevelNone);
    EXPECT_EQ(a.Channels.Count(), 1);
    EXPECT_EQ(a.Code, "NESSUNA");

    // A new library empties the code.
    panel.Library->UserSet(panel.Library->Text, "Altra");
    EXPECT_EQ(panel.Code->Text.Get(), "");
    EXPECT_EQ(a.Library, "Varne");  // no such library: only the design is marked
}

TEST_F(ChannelPanel, RowsBeyondTheGridHaveNoMark) {
    TAntennaAutoProg& a = Antenna();
    a.Plan = Canalizzazioni->Find("Australia");
    ASSERT_GT(a.Plan->Count(), 100);
    EXPECT_TRUE(a.AddPlanChannel(105, "", 70.0f, 0));
    EXPECT_FALSE(a.AddPlanChannel(-1, "", 70.0f, 0));
    EXPECT_EQ(a.Channels.Count(), 1);
    for (bool r : a.Received) EXPECT_FALSE(r);
    for (TColor c : CellColours()) EXPECT_EQ(c, ColorToRGB(ChannelCellFree));
}

// An antenna article with a channel list: on the plan "Australia" of 109
// rows, channel "72" is row 105 (no cell), "XX" is in no row.
TEST_F(ChannelPanel, ChannelsOfALibraryAntenna) {
    TCanalizzazione* australia = Canalizzazioni->Find("Australia");
    auto antenna = std::make_unique<TAntenna>(nullptr, 0, 0, 0, 0);
    antenna->Code = "ANT-AU";
    antenna->Category = "Antenne";
    antenna->Attenuation->Set3(0, AntennaRangeColumn, AntennaLowestSlot, 174.0f);
    antenna->Attenuation->Set3(0, AntennaRangeColumn, AntennaHighestSlot, 820.0f);
    struct Source {
        const char* name;
        float level;
    };
    for (const Source& s : std::vector<Source>{{"30", -1.0f}, {"72", 80.0f}, {"XX", 60.0f}}) {
        TCanale c;
        const int row = australia->IndexOf(s.name);
        if (row >= 0) {
            ASSERT_TRUE(australia->SetChannel(c, row));
        } else {
            c.name = s.name;
            c.freqLow = 900;
            c.freqHigh = 907;
        }
        c.levelMin = c.levelMax = s.level;
        antenna->SourceChannels->Insert(c);
    }
    std::vector<std::unique_ptr<TCella>> cells;
    cells.push_back(std::move(antenna));
    AddTestLibrary(libraries.Get(), globals.Dir().Path(), "Antenne", cells);

    TAntennaAutoProg& a = Antenna();
    a.Plan = australia;
    ASSERT_EQ(australia->IndexOf("72"), 105);
    panel.Library->UserSet(panel.Library->Text, "Antenne");
    panel.Code->UserSet(panel.Code->Text, "ANT-AU");
    EXPECT_EQ(a.FMin, 174.0f);
    EXPECT_EQ(a.FMax, 820.0f);
    std::vector<std::string> names;
    std::vector<float> levels;
    for (const TCanale* c = a.Channels.head; c; c = c->next) {
        names.push_back(c->name);
        levels.push_back(c->levelMin);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"30", "72", "XX"}));
    EXPECT_EQ(levels, (std::vector<float>{70.0f, 80.0f, 60.0f}));
    int marked = 0;
    for (bool r : a.Received) marked += r;
    EXPECT_EQ(marked, 1);
    EXPECT_TRUE(a.Received[australia->IndexOf("30")]);
    EXPECT_EQ(panel.ListGrid->Cells[0][3], "XX");
}

}  // namespace
