#pragma once
// The designer on the default library "Varne.alb": an engine whose component
// list holds every article of the library, the cables of "Default.sel", a
// head-end work grid and the helpers the head-end tests share.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "autodesign/engine.h"
#include "cells/amplifiers.h"
#include "cells/auto_mix.h"
#include "cells/cables.h"
#include "cells/cell.h"
#include "cells/factory.h"
#include "cells/graphic_cells.h"
#include "cells/library_cells.h"
#include "cells/mixers.h"
#include "cells/sources.h"
#include "cells/terminations.h"
#include "core/band_systems.h"
#include "core/channel_list.h"
#include "core/channel_plans.h"
#include "core/file.h"
#include "core/filter_modules.h"
#include "core/globals.h"
#include "core/libraries.h"
#include "core/reporter.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/application.h"
#include "platform/stdctrls.h"
#include "support/design_components.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"
#include "tools/default_library/default_library.h"

inline std::string BuildFile(const char* name) { return std::string(OV_PROGRAM_DIR) + "/" + name; }

class HeadEndLibrary : public GlobalsTest {
protected:
    HeadEndLibrary() : engine(&globals.Reporter()) {
        auto* library = new TLibreria;
        library->fileName = BuildFile(DefaultLibraryFile);
        libraries.Get().Append(std::unique_ptr<TLibreria>(library));
        EXPECT_TRUE(library->Open());
        for (std::unique_ptr<TCella> cell = FirstLibraryCell(*library); cell; cell = NextLibraryCell(*library))
            engine.Components->Insert(std::move(cell));
        library->Close();
        TFile sel(BuildFile(DefaultSelectionFile), ModeReadDenyWrite);
        AnsiString text;
        sel.ReadChunkedAnsiString(text, -1);
        for (AnsiString& cable : engine.Settings->CableTexts) sel.ReadChunkedAnsiString(cable, -1);
        grid = std::make_unique<TGridData>(nullptr, WorkGridSize, WorkGridSize, GridWork);
    }
    void SetUp() override { globals.Reporter().SetTarget(&messages); }

    std::vector<std::string> Messages() {
        std::vector<std::string> shown;
        for (int i = 0; i < messages.Items->Count(); ++i) shown.push_back(messages.Items->Strings(i));
        messages.Items->Clear();
        return shown;
    }
    // A building of equal staircases, floors and apartments, 10 m from the head end.
    void UniformBuilding(int32_t staircases, int32_t floors, int32_t apartments, const TAppartamento& flat) {
        TPalazzo& b = *engine.Settings->Building;
        b.StaircaseCount = staircases;
        for (int32_t s = 0; s < staircases; ++s) {
            TScala& st = b.Staircases[s];
            st.FloorCount = floors;
            st.HeadEndDistance = 10;
            for (int32_t f = 0; f < floors; ++f) {
                st.Floors[f].ApartmentCount = apartments;
                for (int32_t a = 0; a < apartments; ++a) st.Floors[f].Apartments[a] = flat;
            }
        }
        b.ComputeMaxima();
    }
    // A whole run of the engine; afterwards the reporter lists into the fixture's messages again.
    bool RunEngine() {
        Application->Script().Reset();
        const bool ok = engine.Run();
        globals.Reporter().enabled = true;
        globals.Reporter().SetTarget(&messages);
        return ok;
    }
    // The messages of the last run: boxes and the reporter's list.
    std::string Shown() {
        std::string text;
        for (const auto& box : Application->Script().MessageBoxes) text += std::string(box.Text) + "\n";
        for (const std::string& m : Messages()) text += m + "\n";
        return text;
    }
    TCella* Article(const char* code) {
        for (TCella* c = engine.Components->head; c; c = c->NextInList)
            if (c->Code == code) return c;
        ADD_FAILURE() << code;
        return nullptr;
    }
    void Antenna(int slot, const char* code, std::vector<const char*> channels) {
        SetAntenna(engine.Settings->Antennas[slot], DefaultLibraryName, code, channels);
    }
    // The input check of a terrestrial (or satellite) single-cable run with a head end.
    void CheckInputs(bool terrestrial, bool satellite, bool wideband) {
        TOpzProgetto& o = *engine.Settings;
        o.Terrestrial = terrestrial;
        o.Satellite = satellite;
        o.SatelliteCables = 1;
        o.SeparateDistributions = terrestrial && satellite;
        o.DesignHeadEnd = true;
        o.Wideband = wideband;
        engine.Reset();
        ASSERT_TRUE(engine.CheckInputs());
        ASSERT_EQ(Messages(), std::vector<std::string>{});
    }
    // The exit closed by a termination facing the line, then the analysis of the work grid.
    bool CloseExitAndAnalyse(int kind) {
        const int32_t column = engine.ExitColumn[kind], row = engine.ExitRow[kind];
        EXPECT_EQ(grid->CellAt(column, row), nullptr) << column << "," << row;
        grid->InsertCell(
            std::make_unique<TChiusura>(nullptr, engine.ExitKind[kind] == 2 ? 2 : 0, 0, column, row, 1),
            false, 0);
        const bool ok = grid->Analyse(true);
        if (!ok && GestoreErrori && GestoreErrori->PendingError()) {
            const TErroreCircuito& e = *GestoreErrori->PendingError();
            ADD_FAILURE() << "analysis stops at " << e.Column << "," << e.Row << " side " << int(e.Side)
                          << " kind " << e.Kind << "\n"
                          << Drawing();
        }
        return ok;
    }
    std::string CodeAt(int32_t column, int32_t row) {
        TCella* cell = grid->CellAt(column, row);
        return cell ? std::string(cell->Code) : std::string();
    }
    int32_t TypeAt(int32_t column, int32_t row) {
        TCella* cell = grid->CellAt(column, row);
        return cell ? cell->TypeCode : -1;
    }
    // What stands on the work grid, for a failing case.
    std::string Drawing() {
        std::string text;
        for (int32_t r = 0; r < grid->Rows; ++r)
            for (int32_t c = 0; c < grid->Columns; ++c)
                if (TCella* cell = grid->CellAt(c, r); cell && cell->Column == c && cell->Row == r)
                    text += std::to_string(c) + "," + std::to_string(r) + " " +
                            std::to_string(cell->TypeCode) + " o" + std::to_string(cell->Orientation) + " " +
                            std::string(cell->Code) + "\n";
        return text;
    }
    std::vector<std::string> CodesOnRow(int32_t row, int32_t type) {
        std::vector<std::string> codes;
        for (int32_t c = 0; c < grid->Columns; ++c)
            if (TCella* cell = grid->CellAt(c, row);
                cell && cell->TypeCode == type && cell->Column == c && cell->Row == row)
                codes.push_back(cell->Code);
        return codes;
    }

    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    TListBox messages;
    TCreaAuto engine;
    std::unique_ptr<TGridData> grid;
};
