#pragma once
// TProgetto: the one open project, with its two drawing grids, the texts that
// describe customer, building and work, and its modified flags. The main form
// makes it once; new, open and the designer reuse it through Reset.
#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "cells/cell_project.h"
#include "core/levels.h"
#include "platform/sysutils.h"

class TProjectPages;
class TCella;
class TDatiPreventivo;
class TFulmini;
class TGridData;
class TOpzProgetto;
class TPalo;
class TSeparationNetwork;
class TStream;

// Least and greatest attenuation from each output line of the head-end
// terminal to the outlets, per band, with the sequence number of the outlet
// where each occurs.
constexpr int32_t HeadEndLinesMax = 24;
struct TAttenuazioniPrese {
    float LeastAttenuation[HeadEndLinesMax][BandSlots] = {};
    int32_t LeastAt[HeadEndLinesMax][BandSlots] = {};
    float GreatestAttenuation[HeadEndLinesMax][BandSlots] = {};
    int32_t GreatestAt[HeadEndLinesMax][BandSlots] = {};
};

constexpr const char* UntitledProjectName = "senza nome";

// The header texts, in file order, and the characters the file keeps of each.
constexpr int HeaderTextCount = 29;
// clang-format off
constexpr int HeaderTextMax[HeaderTextCount] = {
    50, 50, 50, 20, 20, 20, 11,           // customer: name, street, town, telephone, fax, tax code, VAT
    50, 5, 5, 11, 5, 11, 30, 20,          // building: address, number, staircase, floor, flat, postcode, municipality, province
    50, 50, 30, 20, 20,                   // owner: name, address, town, telephone, fax
    30, 30,                               // declarant, designer
    512, 30, 30, 512,                     // description of the work, "Lavoro inteso come:", use, notes
    128, 128, 128,                        // further texts
};
// clang-format on
// Indexes (from 0) of the two texts a new project keeps.
constexpr int HeaderDesigner = 21;
constexpr int HeaderNotes = 25;

class TProgetto final : public TCellProject {
public:
    explicit TProgetto(TProjectPages* owner);
    ~TProgetto();
    TProgetto(const TProgetto&) = delete;
    TProgetto& operator=(const TProgetto&) = delete;

    // The new-project sequence: empty 75 x 75 grids (with their head-end
    // terminals when withAnchors), empty texts except designer and notes,
    // nothing modified, estimate out of date and design pending.
    void Reset(bool withAnchors);
    // After a load: nothing modified or pending, every calculation out of date.
    void MarkLoaded();

    // ---- The project body of a file (project_file.cpp) ----
    // Header texts, bytes A and B, then the sections: estimate, head-end and
    // network grids, mast, lightning with the design settings.
    void Save(TStream& s, int32_t version) const;
    // Reads a body of any version into this project (reset without anchors
    // first) and the design settings found into design; design pending then
    // tells whether none were found. Raises EReadError when the body does not
    // read whole: the project and design are then only fit to be dropped.
    void Load(TStream& s, int32_t version, TOpzProgetto& design);
    // Takes the content of a project just loaded: grids, texts, bytes, estimate,
    // mast, lightning data and flags; the name and step stay. loaded gets this
    // project's old content.
    void TakeContent(TProgetto& loaded);
    // A head-end terminal where a new project's reset puts it.
    void InsertAnchor(TGridData* grid);
    // Mask bits: 1 drawing, 2 estimate, 4 network calculations, 8 channel calculations.
    void SetModified(int32_t mask);

    // ---- Calculation passes (calculations.cpp) ----
    // Analyses the network grid and, when it holds components, the head-end
    // grid, then numbers the cells; false at the first circuit error.
    bool AnalyseGrids();
    // Sequence numbers of both grids with shared counters, network first.
    void NumberCells() override;
    // True when every cell after the network anchor allows the automatic choice.
    bool AllowsAutoChoice();
    void RunRequiredLevelPass() override;
    void RunSignalLevelPass() override;
    // The channel pass over the head-end grid, then the network grid.
    void RunChannelPass(int32_t flags) override;
    // Required levels, then the signal levels with every head-end output
    // carrying its admissible window; band 0 of every outlet's socket and of
    // the head-end terminal's inputs then holds the admissible return-channel
    // window.
    void ComputeOutletLevels();
    // False with the two outlets and the band whose level difference exceeds
    // the band's "DiffMax" option (band 0 is not compared).
    bool CheckSignalDifference(TCella*& lowest, TCella*& highest, int32_t& band);
    // Least and greatest attenuation from each head-end output line to the
    // outlets, with the outlets' sequence numbers.
    void ComputeOutletAttenuations(TAttenuazioniPrese& result);
    // Spreads from the source outlet's socket the least attenuation to every
    // cell in one band; flags bit 0 bounds the spread by the band's "AttMin".
    void ComputeOutletSeparation(TCella* source, int32_t band, int32_t flags);
    // False with the outlet and band whose separation from the source is
    // below the band's "AttMin" option.
    bool CheckOutletSeparation(TCella* source, TCella*& other, int32_t& band);
    // For as long as one lives, the separation searches of the project run
    // over a compact copy of the network grid's links and losses
    // (cells/separation_network.h), made at the first search and again after
    // any change of the cells or of the grid. The copy does not follow edits
    // of a cell's data: open one around a run of searches and checks (the
    // network report's) in which nothing is edited, and close it after.
    class TSeparationRun {
    public:
        explicit TSeparationRun(TProgetto& project);
        ~TSeparationRun();
        TSeparationRun(const TSeparationRun&) = delete;
        TSeparationRun& operator=(const TSeparationRun&) = delete;

    private:
        TProgetto& project_;
    };
    // While a run is open the searches keep the values on the way (every
    // accumulator but the outlets' SeparationOutlet) in the run's copy;
    // closing the run, or this, puts them into the cells.
    void WriteBackSeparation();

    // What the cells ask of the project.
    TCellGrid* HeadEndCellGrid() const override;
    TCellGrid* NetworkCellGrid() const override;
    int32_t DetailStep() const override { return Step; }

    AnsiString Name;
    TProjectPages* Owner = nullptr;
    // The project's two grids, for the project's whole life (owned through
    // networkGrid_ and headEndGrid_).
    TGridData* NetworkGrid = nullptr;  // kind 1, page "Rete"
    TGridData* HeadEndGrid = nullptr;  // kind 0, page "Testa"
    int32_t Step = 1;                  // 1 drawing, 2 or more component data (detail level)
    AnsiString HeaderTexts[HeaderTextCount];
    // Two bytes the project file keeps after the header texts; nothing in
    // the program reads them, but a file loaded and saved keeps what it held.
    uint8_t ReservedNumber = 12;
    char ReservedLetter = 'C';
    std::unique_ptr<TDatiPreventivo> Estimate;
    std::unique_ptr<TPalo> Mast;
    std::unique_ptr<TFulmini> Lightning;
    bool Modified = false;
    bool EstimateOutOfDate = true;
    bool DesignPending = true;

private:
    std::unique_ptr<TGridData> networkGrid_;
    std::unique_ptr<TGridData> headEndGrid_;
    // Per band, the cells the last separation search of the band wrote and
    // the cell epoch that list belongs to; the outlet chain's order for the
    // check, made once per epoch.
    struct TSeparationWrites {
        std::vector<TCella*> Cells;
        uint64_t Epoch = 0;
        uint64_t CellEpoch = 0;
    };
    std::array<TSeparationWrites, BandSlots> separationWrites_;
    const TGridData* separationGrid_ = nullptr;
    std::unordered_map<const TCella*, int32_t> outletOrder_;
    uint64_t outletOrderEpoch_ = 0;
    bool SeparationWritesValid(int32_t bands) const;
    // The copy of the network for the searches of an open run, and the
    // epoch and grid it was made for (epoch 0: none).
    std::unique_ptr<TSeparationNetwork> separationNetwork_;
    uint64_t separationNetworkEpoch_ = 0;
    const TGridData* separationNetworkGrid_ = nullptr;
    int32_t separationRuns_ = 0;
    // The copy while a run is open and it is the grid's as it stands; null otherwise.
    TSeparationNetwork* SeparationNetwork() const;
};

// Makes a project the program-wide project being loaded for as long as it
// lives (older cell records find their grid through it), and restores the one
// before afterwards.
class TProgettoInCaricamento {
public:
    explicit TProgettoInCaricamento(TProgetto* project);
    ~TProgettoInCaricamento();
    TProgettoInCaricamento(const TProgettoInCaricamento&) = delete;
    TProgettoInCaricamento& operator=(const TProgettoInCaricamento&) = delete;

private:
    TCellProject* before_;
};
