// The network line in the component-data form and in the reports: what each
// class shows, what comes back on OK, and the names and rows of its ports.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "cells/anchors.h"
#include "cells/cables.h"
#include "cells/head_end.h"
#include "cells/mouse_info.h"
#include "cells/outlets.h"
#include "cells/prototypes.h"
#include "cells/terminations.h"
#include "core/globals.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/application.h"
#include "platform/comctrls.h"
#include "support/dialog_fixture.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

using Person = std::function<void(TDatiComponenti&)>;

void Answer(const Person& person) { Application->Script().AnswerShowModal<TDatiComponenti>(person); }

// The value rows the person sees: none while "Dati segnali" is hidden.
std::vector<int> ShownRows(TDatiComponenti& f) {
    std::vector<int> rows;
    if (!f.GroupSegnali->Visible) return rows;
    for (int r = 0; r < DialogRows; ++r)
        if (f.RowCaption[r]->Visible) rows.push_back(r);
    return rows;
}

class NetworkLineDialogsTest : public GlobalsTest {
protected:
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    ScopedComponentDialog dialog;
    TGridData network{nullptr, 20, 20, GridNetwork};

    template <typename T>
    T* Put(std::unique_ptr<T> owned) {
        T* cell = owned.get();
        EXPECT_TRUE(network.InsertCell(std::move(owned), false, 0));
        return cell;
    }
};

// One row per class: the form's title, its value rows and first check box as
// the class prepares them, then data typed in and read back on OK.
TEST_F(NetworkLineDialogsTest, EveryClassFillsAndReadsTheForm) {
    struct Case {
        const char* what;
        std::function<TCella*()> make;
        AnsiString title;
        std::vector<int> rows;
        std::vector<AnsiString> captions;
        bool signals;
        AnsiString checkBox;                 // caption of the first electrical box, "" hidden
        std::vector<AnsiString> connectors;  // "Conn. out" items, shown when not empty
        Person type;                         // what the person types before OK
        std::function<void(TCella&)> check;  // what the cell then holds
    };
    auto outletValues = [](TDatiComponenti& f) {
        for (int r = 0; r < 3; ++r)
            if (f.RowCaption[r]->Visible) f.ValueEdit[r][1]->Text = r == 0 ? "3,5" : "1";
        f.EditDescrizione->Text = "Presa nuova";
        f.CheckChiusuraDC->Checked = true;
    };
    auto outletCheck = [](TCella& c) {
        EXPECT_FLOAT_EQ(c.Attenuation->Get3(0, OutletSocketLoss, 1), 3.5f);
        EXPECT_EQ(c.Description, "Presa nuova");
        EXPECT_NE(c.Power[PowerSupply][0] & 4u, 0u);  // "Passaggio DC"
    };
    const std::vector<AnsiString> oneSocket = {"IEC mas.", "F", "IEC fem."};
    const std::vector<AnsiString> twoSockets = {"IEC m + F", "IEC m + f", "IEC f + F"};
    const AnsiString socketCaption = "Atten. di deriv.  [dB]";
    const std::vector<Case> cases = {
        {"end outlet",
         [this] { return Put(std::make_unique<TPresaD>(&network, 0, 0, 2, 2, CodeEndOutlet, 1)); },
         "Presa P4",
         {0},
         {socketCaption},
         true,
         "Passaggio DC",
         oneSocket,
         [&](TDatiComponenti& f) {
             outletValues(f);
             f.ComboConnOut->ItemIndex = 1;
         },
         [&](TCella& c) {
             outletCheck(c);
             EXPECT_EQ(c.Choice3, 1);
         }},
        {"pass-through outlet",
         [this] { return Put(std::make_unique<TPresaD>(&network, 0, 0, 3, 2, CodePassThroughOutlet, 2)); },
         "Presa P4",
         {0, 1, 2},
         {socketCaption, "Atten. di passaggio  [dB]", "Atten. inversa  [dB]"},
         true,
         "Passaggio DC",
         twoSockets,
         outletValues,
         outletCheck},
        {"terminated outlet",
         [this] { return Put(std::make_unique<TPresaD>(&network, 0, 0, 4, 2, CodeTerminatedOutlet, 3)); },
         "Presa P4",
         {0},
         {socketCaption},
         true,
         "Passaggio DC",
         {},
         outletValues,
         outletCheck},
        {"cable",
         [this] {
             auto* c = Put(std::make_unique<TNCavo>(&network, 0, 0, 5, 2, 0, 0));
             c->RunEnd = 1;
             return c;
         },
         "Cavo C4",
         {0, 1},
         {"Attenuazione  [dB/100m]", "Lunghezza  [m]"},
         true,
         "",
         {},
         [](TDatiComponenti& f) {
             // The length has one value: its other band cells are hidden.
             EXPECT_TRUE(f.ValueEdit[1][0]->Visible);
             for (int c = 1; c <= 10; ++c) EXPECT_FALSE(f.ValueEdit[1][c]->Visible) << c;
             for (int c = 0; c < 11; ++c) f.ValueEdit[0][c]->Text = "20";
             f.ValueEdit[1][0]->Text = "12";
         },
         [](TCella& c) {
             auto& cable = static_cast<TNCavo&>(c);
             EXPECT_FLOAT_EQ(cable.LossPer100(7), 20.0f);
             EXPECT_FLOAT_EQ(cable.PassAttenuation(), 12.0f);
         }},
        {"bridge",
         [this] {
             auto* c = Put(std::make_unique<TNCavo>(&network, 0, 0, 6, 2, 0, 0));
             c->TypeCode = CodeBridge;
             c->RunEnd = 1;
             return c;
         },
         "Ponte K4",
         {},
         {},
         false,
         "",
         {},
         [](TDatiComponenti& f) { f.EditCodice->Text = "PT1"; },
         [](TCella& c) { EXPECT_EQ(c.Code, "PT1"); }},
        {"termination",
         [this] { return Put(std::make_unique<TChiusura>(&network, 0, 0, 7, 2, 1)); },
         "Chiusura X4",
         {},
         {},
         false,
         "Chiusura isolata DC",
         {},
         [](TDatiComponenti& f) { f.CheckChiusuraDC->Checked = true; },
         [](TCella& c) { EXPECT_TRUE(TChiusura::IsIsolated(c)); }},
        {"entry anchor",
         [this] { return Put(std::make_unique<TAncoraI>(&network, 0, 0, 8, 2)); },
         "Punto ingresso ",
         {},
         {},
         false,
         "",
         {},
         [](TDatiComponenti& f) { f.EditDescrizione->Text = "Scala B"; },
         [](TCella& c) { EXPECT_EQ(c.Description, "Scala B"); }},
        {"exit anchor",
         [this] { return Put(std::make_unique<TAncoraO>(&network, 0, 0, 9, 2)); },
         "Punto uscita ",
         {},
         {},
         false,
         "",
         {},
         [](TDatiComponenti& f) { f.EditDescrizione->Text = "Piano 3"; },
         [](TCella& c) { EXPECT_EQ(c.Description, "Piano 3"); }},
    };
    for (const Case& c : cases) {
        TCella* cell = c.make();
        cell->SequenceNumber = 4;
        bool asked = false;
        Answer([&](TDatiComponenti& f) {
            asked = true;
            EXPECT_EQ(f.Caption.Get(), "Ordivex Varne - Dati componenti: " + c.title) << c.what;
            EXPECT_EQ(ShownRows(f), c.rows) << c.what;
            for (size_t i = 0; i < c.captions.size(); ++i)
                EXPECT_EQ(f.RowCaption[c.rows[i]]->Text.Get(), c.captions[i]) << c.what;
            EXPECT_EQ(f.GroupSegnali->Visible.Get(), c.signals) << c.what;
            EXPECT_EQ(f.CheckChiusuraDC->Visible.Get(), !c.checkBox.empty()) << c.what;
            if (!c.checkBox.empty()) {
                EXPECT_EQ(f.CheckChiusuraDC->Caption.Get(), c.checkBox) << c.what;
            }
            std::vector<AnsiString> items;
            for (int i = 0; i < f.ComboConnOut->Items->Count(); ++i)
                items.push_back(f.ComboConnOut->Items->Strings(i));
            if (!c.connectors.empty()) {
                EXPECT_EQ(items, c.connectors) << c.what;
                EXPECT_TRUE(f.ComboConnOut->Visible) << c.what;
                EXPECT_FALSE(f.EditNoteEst->Visible) << c.what;
                // "Conn. out" stands just left of "Connettore".
                EXPECT_EQ(f.ComboConnOut->Left + f.ComboConnOut->Width, f.CaptionConnettore->Left + 1)
                    << c.what;
            } else {
                EXPECT_FALSE(f.ComboConnOut->Visible) << c.what;
            }
            c.type(f);
            f.ButtonOk->Click();
        });
        EXPECT_TRUE(cell->OpenDataDialog()) << c.what;
        EXPECT_TRUE(asked) << c.what;
        EXPECT_EQ(cell->Described, 1) << c.what;
        c.check(*cell);
    }
}

// The form of a cable edits the head of its run, whichever segment is clicked.
TEST_F(NetworkLineDialogsTest, CableFormEditsTheRunHead) {
    auto* head = Put(std::make_unique<TNCavo>(&network, 1, 0, 3, 3, 0, 0));
    auto* tail = Put(std::make_unique<TNCavo>(&network, 1, 0, 4, 3, 0, 0));
    head->RunEnd = 1;
    head->SequenceNumber = 7;
    AnsiString title;
    Answer([&](TDatiComponenti& f) {
        title = f.LabelNome->Caption;  // the form names the run
        for (int c = 0; c < 11; ++c) f.ValueEdit[0][c]->Text = "15";
        f.ValueEdit[1][0]->Text = "30";
        f.ButtonOk->Click();
    });
    EXPECT_TRUE(tail->OpenDataDialog());
    EXPECT_EQ(title, "Cavo C7");
    EXPECT_FLOAT_EQ(head->PassAttenuation(), 30.0f);
    EXPECT_EQ(tail->PassAttenuation(), LevelNone);
    EXPECT_EQ(tail->Described, 0);
    // Without a run head the form does not open.
    head->RunEnd = 0;
    EXPECT_FALSE(tail->OpenDataDialog());
}

// A cable that stops counting (length "*") renumbers the drawing.
TEST_F(NetworkLineDialogsTest, UncountedCableRenumbers) {
    TProgetto project(nullptr);
    project.Reset(true);
    TGridData& grid = *project.NetworkGrid;
    static_cast<TTesta*>(grid.Anchor)->SetLineCount(2);
    TNCavo* cables[2];
    for (int i = 0; i < 2; ++i) {
        auto cable = std::make_unique<TNCavo>(&grid, 0, 0, 37 + i, 1, 0, 0);
        cables[i] = cable.get();
        for (int b = 0; b < BandSlots; ++b) cables[i]->Attenuation->Set3(0, 0, b, 20.0f);
        cables[i]->SetLength(10.0f);
        cables[i]->Described = 1;
        ASSERT_TRUE(grid.InsertCell(std::move(cable), false, 0));
        ASSERT_TRUE(grid.InsertCell(
            std::make_unique<TPresaD>(&grid, 0, 0, 37 + i, 2, CodeTerminatedOutlet, 1), false, 0));
    }
    ASSERT_TRUE(project.AnalyseGrids());
    EXPECT_EQ(cables[0]->GetShortCode(), "C1");
    EXPECT_EQ(cables[1]->GetShortCode(), "C2");
    Answer([](TDatiComponenti& f) {
        f.ValueEdit[1][0]->Text = "*";
        f.ButtonOk->Click();
    });
    EXPECT_TRUE(cables[0]->OpenDataDialog());
    EXPECT_EQ(cables[0]->GetShortCode(), "*");
    EXPECT_EQ(cables[1]->GetShortCode(), "C1");
}

// ---- Port names and reports ----

TEST_F(NetworkLineDialogsTest, PortNames) {
    struct Case {
        int32_t code, orientation, offsetX, offsetY;
        AnsiString name;
        int32_t input, tap, through;
    };
    // clang-format off
    const Case cases[] = {
        {CodeEndOutlet, 0, 21, 5, "ingresso", 0, -1, -1},
        {CodeEndOutlet, 0, 21, 40, "uscita", -1, 0, -1},
        {CodePassThroughOutlet, 0, 21, 20, "uscita", -1, 0, -1},
        {CodePassThroughOutlet, 0, 21, 35, "passante", -1, -1, 0},
        // Turned to the right, the line runs from the left edge.
        {CodePassThroughOutlet, 3, 5, 0, "ingresso", 0, -1, -1},
        {CodePassThroughOutlet, 3, 40, 0, "passante", -1, -1, 0},
        // Turned upwards, the input is at the bottom.
        {CodeEndOutlet, 2, 21, 40, "ingresso", 0, -1, -1},
    };
    // clang-format on
    for (const Case& c : cases) {
        TPresaD outlet(nullptr, c.orientation, 0, 0, 0, c.code, 1);
        TInfoMousePos position;
        position.SquareSize = 42;
        position.OffsetX = c.offsetX;
        position.OffsetY = c.offsetY;
        outlet.GetPortName(position);
        EXPECT_EQ(position.PortName, c.name) << c.code << " " << c.orientation << " " << c.offsetY;
        EXPECT_EQ(position.Input, c.input);
        EXPECT_EQ(position.TapOutput, c.tap);
        EXPECT_EQ(position.ThroughOutput, c.through);
    }

    auto* head = Put(std::make_unique<TNCavo>(&network, 1, 0, 3, 3, 0, 0));
    auto* tail = Put(std::make_unique<TNCavo>(&network, 1, 0, 4, 3, 0, 0));
    head->RunEnd = 1;
    TInfoMousePos onCable;
    tail->GetPortName(onCable);
    EXPECT_EQ(onCable.PortName, "Uscita ");
    EXPECT_EQ(onCable.Cell, head);
    EXPECT_FALSE(onCable.PointsAtPort());

    TInfoMousePos onTermination;
    onTermination.PortName = "x";
    TChiusura(nullptr, 0, 0, 0, 0, 1).GetPortName(onTermination);
    EXPECT_EQ(onTermination.PortName, "");
    EXPECT_FALSE(onTermination.PointsAtPort());

    TInfoMousePos onAnchor;
    TAncoraO(nullptr, 0, 0, 0, 0).GetPortName(onAnchor);
    EXPECT_EQ(onAnchor.PortName, "uscita");
    EXPECT_EQ(onAnchor.ThroughOutput, 0);
}

TEST_F(NetworkLineDialogsTest, ChannelAndAttenuationRows) {
    TRichEdit report;
    TPresaD outlet(nullptr, 0, 0, 0, 0, CodePassThroughOutlet, 1);
    outlet.SequenceNumber = 2;
    outlet.ResetChannelLists();
    outlet.GetPortLevelText(&report);
    ASSERT_EQ(report.Lines->Count(), 2);
    EXPECT_EQ(report.Lines->Strings(0).rfind("P2 passaggio:", 0), 0u);
    EXPECT_EQ(report.Lines->Strings(1).rfind("P2 uscita:", 0), 0u);

    report.Lines->Clear();
    TAncoraI entry(nullptr, 0, 0, 0, 0);
    entry.ResetChannelLists();
    entry.GetPortLevelText(&report);
    ASSERT_EQ(report.Lines->Count(), 2);
    EXPECT_EQ(report.Lines->Strings(0).rfind("Uscita :", 0), 0u);
    EXPECT_EQ(report.Lines->Strings(1), "");

    report.Lines->Clear();
    TChiusura termination(nullptr, 0, 0, 0, 0, 1);
    termination.GetPortLevelText(&report);
    termination.WriteAttenuationTable(&report, 0, "");
    EXPECT_EQ(report.Lines->Count(), 0);

    TNCavo cable(nullptr, 1, 0, 0, 0, 0, 0);
    cable.SequenceNumber = 6;
    cable.ResetInputLevels();
    cable.InputLevels[0][1] = TFinestra{63.0f, 83.0f};
    cable.WriteAttenuationTable(&report, 0, "ignored");
    ASSERT_EQ(report.Lines->Count(), 2);
    EXPECT_EQ(report.Lines->Strings(0).rfind("C6-Ing  Min.\t", 0), 0u);
    EXPECT_EQ(report.Lines->Strings(1).rfind("C6-Ing  Max.\t", 0), 0u);
    EXPECT_NE(report.Lines->Strings(0).find("\t63"), std::string::npos);
    EXPECT_NE(report.Lines->Strings(1).find("\t83"), std::string::npos);
}

}  // namespace
