// The connectivity analysis of a grid: links, cable runs, chains, numbering
// and the circuit errors with the square where each is found.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "cells/head_end.h"
#include "core/globals.h"
#include "core/reporter.h"
#include "document/circuit_errors.h"
#include "document/grid.h"
#include "document/project.h"
#include "support/globals_fixture.h"
#include "support/pass_cells.h"
#include "support/stand_in.h"

namespace {
// Two inputs on one square: input 0 from above, input 1 from the left.
class TMiscelatoreProva : public TPassanteProva {
public:
    TMiscelatoreProva(TCellGrid* owner, int32_t column, int32_t row) : TPassanteProva(owner, column, row) {
        Inputs = 2;
        SetPortCounts();
    }
    bool PlaceOnGrid(const TNextCell&, TQNextCell& queue) override {
        if (TSquareAnalysis* square = Owner->AnalysisAt(Column, Row)) square->Visited = 1;
        MarkGridCell(Column, Row, TSide::Top, 0, 0);
        MarkGridCell(Column, Row, TSide::Left, 1, 0);
        LinkPortAt(Column, Row, 0, TSide::Bottom, 0, 0, queue);
        return true;
    }
};

class TChiusuraProva : public TCella {
public:
    // Answers the grid's questions as the class of its type code would.
    TCellDescription Describe() const override { return StandInDescription(*this); }
    TChiusuraProva(TCellGrid* owner, int32_t column, int32_t row, int32_t orientation)
        : TCella(owner, orientation, 0, column, row, 1, 0, 0) {
        TypeCode = CodeTermination;
        Kind = CodeTermination;
        SetPortCounts();
    }
};

class TAutomixProva : public TPassanteProva {
public:
    using TPassanteProva::TPassanteProva;
    bool IsAutoMixModule() const override { return true; }
};

template <typename T, typename... Args>
T* Put(TGridData& grid, Args&&... args) {
    auto cellOwned = std::make_unique<T>(&grid, std::forward<Args>(args)...);
    auto* cell = cellOwned.get();
    EXPECT_TRUE(grid.InsertCell(std::move(cellOwned), false, 0));
    return cell;
}

std::vector<TCella*> Chain(const TGridData& grid) {
    std::vector<TCella*> cells;
    for (TCella* c = grid.Anchor; c && cells.size() < 100; c = c->NextCell) cells.push_back(c);
    return cells;
}

std::vector<TCella*> Outlets(const TGridData& grid) {
    std::vector<TCella*> cells;
    for (TCella* c = grid.FirstOutlet; c && cells.size() < 100; c = c->NextOutlet) cells.push_back(c);
    return cells;
}
}  // namespace

TEST(CircuitErrors, OneMessagePerKind) {
    EXPECT_EQ("", CircuitErrorMessage(ErroreNessuno));
    EXPECT_EQ("Esiste una interruzione nella cella marcata con 'Err'.",
              CircuitErrorMessage(ErroreInterruzione));
    EXPECT_EQ("Un ingresso del componente marcato con 'Err' non è raggiungibile dal terminale di testa.",
              CircuitErrorMessage(ErroreIngressoRete));
    EXPECT_EQ("Un ingresso del componente marcato con 'Err' non è raggiungibile dalle antenne.",
              CircuitErrorMessage(ErroreIngressoTesta));
    EXPECT_EQ(
        "La linea terminata in 'Err' esce da un divisore o da un demiscelatore, oppure passa "
        "attraverso un derivatore o switch. E' necessario inserire una resistenza di chiusura.",
        CircuitErrorMessage(ErroreChiusuraMancante));
    EXPECT_EQ("Non è possibile automiscelare uscite di filtri con uscite di amplificatori.",
              CircuitErrorMessage(ErroreAutomixMisto));
    for (int32_t kind = 1; kind <= ErroreCircuitoMassimo; ++kind)
        EXPECT_FALSE(CircuitErrorMessage(kind).empty()) << kind;
    EXPECT_EQ("", CircuitErrorMessage(11));
    EXPECT_EQ("", CircuitErrorMessage(-1));
}

class Analysis : public GlobalsTest {
protected:
    Analysis() : project(nullptr) {
        project.Reset(true);
        net = project.NetworkGrid;
        head = project.HeadEndGrid;
        anchor = dynamic_cast<TTesta*>(net->Anchor);
    }
    TErroreCircuito* Pending() { return globals.Reporter().PendingError(); }

    TProgetto project;
    TGridData* net = nullptr;
    TGridData* head = nullptr;
    TTesta* anchor = nullptr;  // at (36, 0), its line on square 37
};

TEST_F(Analysis, AFreshProjectAnalysesWithoutError) {
    EXPECT_TRUE(project.AnalyseGrids());
    EXPECT_EQ(nullptr, Pending());
    EXPECT_EQ(std::vector<TCella*>{anchor}, Chain(*net));
    EXPECT_TRUE(Outlets(*net).empty());
}

// Terminal line (37,0) - cable run (37,1..3) - splitter on (37,4) and (38,4) -
// end outlet (37,5); cable (38,5) - pass-through outlet (38,6) - terminated
// outlet (38,7).
TEST_F(Analysis, LinksEveryPortCollapsesRunsAndBuildsTheChains) {
    auto* c1 = Put<TTrattoProva>(*net, 37, 1);
    auto* c2 = Put<TTrattoProva>(*net, 37, 2);
    auto* c3 = Put<TTrattoProva>(*net, 37, 3);
    auto* splitter = Put<TPassanteProva>(*net, 37, 4, 2);
    auto* p1 = Put<TPresaProva>(*net, 37, 5, 14);
    auto* c4 = Put<TTrattoProva>(*net, 38, 5);
    auto* p2 = Put<TPresaProva>(*net, 38, 6, 15);
    auto* p3 = Put<TPresaProva>(*net, 38, 7, 54);
    c2->Described = 1;
    c2->Description = "RG6";
    c2->Price = 3.5f;
    c2->InstallMinutes = 2;

    ASSERT_TRUE(project.AnalyseGrids());
    EXPECT_EQ(nullptr, Pending());

    // The run enters the graph as its head alone.
    EXPECT_TRUE(c1->IsRunHead());
    EXPECT_FALSE(c2->IsRunHead());
    EXPECT_EQ(c1, anchor->OutputCell[0]);
    EXPECT_EQ(0, anchor->OutputPort[0]);
    EXPECT_EQ(anchor, c1->InputCell[0]);
    EXPECT_EQ(splitter, c1->OutputCell[0]);
    EXPECT_EQ(c1, splitter->InputCell[0]);
    EXPECT_EQ(0, splitter->InputPort[0]);
    EXPECT_EQ(c1, c2->InputCell[0]);
    EXPECT_EQ(c1, c3->InputCell[0]);
    // Each output of the splitter feeds its own line.
    EXPECT_EQ(p1, splitter->OutputCell[0]);
    EXPECT_EQ(c4, splitter->OutputCell[1]);
    EXPECT_EQ(p2, c4->OutputCell[0]);
    EXPECT_EQ(p3, p2->OutputCell[0]);
    EXPECT_EQ(p2, p3->InputCell[0]);
    EXPECT_EQ(0, p3->InputPort[0]);

    EXPECT_EQ((std::vector<TCella*>{anchor, c1, splitter, p1, c4, p2, p3}), Chain(*net));
    EXPECT_EQ((std::vector<TCella*>{p1, p2, p3}), Outlets(*net));

    // Numbered with the counters of each category, network first.
    EXPECT_EQ("C1", c1->GetShortCode());
    EXPECT_EQ("C2", c4->GetShortCode());
    EXPECT_EQ("X1", splitter->GetShortCode());
    EXPECT_EQ("P1", p1->GetShortCode());
    EXPECT_EQ("P3", p3->GetShortCode());

    // The described segment handed its data to the head and forgot them.
    EXPECT_EQ(1, c1->Described);
    EXPECT_EQ("RG6", c1->Description);
    EXPECT_EQ(3.5f, c1->Price);
    EXPECT_EQ(0, c2->Described);
    EXPECT_EQ("", c2->Description);
    EXPECT_EQ(LevelNone, c2->Price);
    EXPECT_EQ(static_cast<int32_t>(LevelNone), c2->InstallMinutes);
    EXPECT_EQ(LevelNone, c2->Attenuation->Get3(0, 0, 3));

    // Analysing again gives the same graph.
    ASSERT_TRUE(project.AnalyseGrids());
    EXPECT_EQ((std::vector<TCella*>{anchor, c1, splitter, p1, c4, p2, p3}), Chain(*net));
    EXPECT_EQ(c1, splitter->InputCell[0]);
}

TEST_F(Analysis, TheRunHeadMovesOffACrossing) {
    // The vertical run from the terminal crosses a horizontal one at (37,1).
    auto* v1 = Put<TTrattoProva>(*net, 37, 1, 0);
    auto* v2 = Put<TTrattoProva>(*net, 37, 2, 0);
    auto* outlet = Put<TPresaProva>(*net, 37, 3, 14);
    auto* source = Put<TSorgenteProva>(*net, 36, 1);
    source->Orientation = 3;  // feeds to the right
    auto* h1 = Put<TTrattoProva>(*net, 37, 1, 1);
    auto* h2 = Put<TTrattoProva>(*net, 38, 1, 1);
    auto* end = Put<TPresaProva>(*net, 39, 1, 14);
    end->Orientation = 3;  // fed from the left
    ASSERT_EQ(h1, net->CellAt(37, 1));
    ASSERT_EQ(v1, h1->Overlay);

    ASSERT_TRUE(project.AnalyseGrids()) << (Pending() ? Pending()->Kind : 0);
    EXPECT_FALSE(v1->IsRunHead());
    EXPECT_TRUE(v2->IsRunHead());
    EXPECT_FALSE(h1->IsRunHead());
    EXPECT_TRUE(h2->IsRunHead());
    EXPECT_EQ(v2, anchor->OutputCell[0]);
    EXPECT_EQ(outlet, v2->OutputCell[0]);
    EXPECT_EQ(v2, outlet->InputCell[0]);
    EXPECT_EQ(h2, source->OutputCell[0]);
    EXPECT_EQ(end, h2->OutputCell[0]);
    const auto chain = Chain(*net);
    EXPECT_EQ(chain.end(), std::find(chain.begin(), chain.end(), v1));
    EXPECT_NE(chain.end(), std::find(chain.begin(), chain.end(), h2));
}

TEST_F(Analysis, ARunBetweenAutoMixModulesIsAJumper) {
    auto* mixA = Put<TAutomixProva>(*net, 37, 1);
    auto* s1 = Put<TTrattoProva>(*net, 37, 2);
    auto* s2 = Put<TTrattoProva>(*net, 37, 3);
    Put<TAutomixProva>(*net, 37, 4);
    auto* s3 = Put<TTrattoProva>(*net, 37, 5);
    Put<TPresaProva>(*net, 37, 6, 14);
    s3->TypeCode = CodeBridge;  // drawn as a jumper where it is not one
    s3->Category = "Ponti";
    ASSERT_TRUE(project.AnalyseGrids());
    EXPECT_EQ(mixA, s1->InputCell[0]);
    EXPECT_EQ(CodeBridge, s1->TypeCode);
    EXPECT_EQ("Ponti", s1->Category);
    EXPECT_EQ(CodeBridge, s2->TypeCode);  // the rest of the run follows its head
    EXPECT_EQ(CodeCable, s3->TypeCode);
    EXPECT_EQ("Cavi", s3->Category);
}

TEST_F(Analysis, AnUnreachedTerminationClosesTheInputItFaces) {
    auto* mixer = Put<TMiscelatoreProva>(*net, 37, 1);
    auto* term = Put<TChiusuraProva>(*net, 36, 1, 1);  // faces the square to its right
    Put<TPresaProva>(*net, 37, 2, 14);
    Put<TSegnoProva>(*net, 10, 10);  // graphic cells are no error
    ASSERT_TRUE(project.AnalyseGrids()) << (Pending() ? Pending()->Kind : 0);
    EXPECT_EQ(term, mixer->InputCell[1]);
    EXPECT_EQ(0, mixer->InputPort[1]);
}

TEST_F(Analysis, ALineIntoAnEmptySquareIsAnInterruption) {
    Put<TPassanteProva>(*net, 37, 1);  // its output runs into (37,2), empty
    EXPECT_FALSE(project.AnalyseGrids());
    ASSERT_NE(nullptr, Pending());
    EXPECT_EQ(ErroreInterruzione, Pending()->Kind);
    EXPECT_EQ(37, Pending()->Column);
    EXPECT_EQ(2, Pending()->Row);
    EXPECT_EQ(0, Pending()->Side);
    EXPECT_EQ(net, Pending()->Grid);
}

TEST_F(Analysis, ALineOffTheGridIsAnInterruptionAtTheNearestSquare) {
    // A cable down the column to a cell in the last row, whose output leaves the grid.
    for (int32_t r = 1; r < 74; ++r) Put<TTrattoProva>(*net, 37, r);
    Put<TPassanteProva>(*net, 37, 74);
    EXPECT_FALSE(project.AnalyseGrids());
    ASSERT_NE(nullptr, Pending());
    EXPECT_EQ(ErroreInterruzione, Pending()->Kind);
    EXPECT_EQ(37, Pending()->Column);
    EXPECT_EQ(74, Pending()->Row);
}

TEST_F(Analysis, ErrorsAreFoundAtTheirSquares) {
    struct Case {
        const char* what;
        void (*build)(TGridData& net);
        int32_t kind, column, row;
        uint8_t side;
    } cases[] = {
        {"a cell the signal never reaches",
         [](TGridData& g) {
             Put<TPresaProva>(g, 37, 1, 14);
             Put<TPresaProva>(g, 20, 30, 14);
         },
         ErroreIngressoRete, 20, 30, SideStart},
        {"a signal entering where no input waits",
         [](TGridData& g) {
             Put<TPassanteProva>(g, 37, 1);
             auto* outlet = Put<TPresaProva>(g, 37, 2, 14);
             outlet->Orientation = 3;  // its input faces left
         },
         ErroreNonIngresso, 37, 2, 0},
        {"an end outlet on a line that needs a termination",
         [](TGridData& g) {
             Put<TPresaProva>(g, 37, 1, 15);
             Put<TPresaProva>(g, 37, 2, 14);
         },
         ErroreChiusuraMancante, 37, 2, 0},
        {"a termination facing a cable is not attached",
         [](TGridData& g) {
             Put<TTrattoProva>(g, 37, 1);
             Put<TPresaProva>(g, 37, 2, 14);
             Put<TChiusuraProva>(g, 36, 5, 1);
             Put<TTrattoProva>(g, 37, 5);  // never reached
         },
         ErroreIngressoRete, 36, 5, SideStart},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        project.Reset(true);
        c.build(*project.NetworkGrid);
        EXPECT_FALSE(project.AnalyseGrids());
        ASSERT_NE(nullptr, Pending());
        EXPECT_EQ(c.kind, Pending()->Kind);
        EXPECT_EQ(c.column, Pending()->Column);
        EXPECT_EQ(c.row, Pending()->Row);
        EXPECT_EQ(c.side, Pending()->Side);
        EXPECT_EQ(project.NetworkGrid, Pending()->Grid);
    }
}

TEST_F(Analysis, AnUnreachedHeadEndInputIsReportedOnTheHeadEndGrid) {
    Put<TSorgenteProva>(*head, 10, 10);
    Put<TPresaProva>(*head, 10, 11, 54);
    EXPECT_FALSE(project.AnalyseGrids());
    ASSERT_NE(nullptr, Pending());
    EXPECT_EQ(ErroreIngressoTesta, Pending()->Kind);
    EXPECT_EQ(head, Pending()->Grid);
    // The head-end terminal's first square, in reading order.
    EXPECT_EQ(36, Pending()->Column);
    EXPECT_EQ(74, Pending()->Row);
}

TEST_F(Analysis, AnEmptyNetworkIsNotAnalysedWhenTheHeadEndIsUsed) {
    Put<TSorgenteProva>(*head, 37, 73);  // feeds the terminal's line
    TPresaProva stale(nullptr, 0, 0);    // chains left from an earlier drawing
    net->Anchor->NextCell = &stale;
    net->FirstOutlet = &stale;
    ASSERT_TRUE(project.AnalyseGrids()) << (Pending() ? Pending()->Kind : 0);
    EXPECT_EQ(nullptr, net->Anchor->NextCell);
    EXPECT_EQ(nullptr, net->FirstOutlet);
    auto* headAnchor = head->Anchor;
    ASSERT_NE(nullptr, headAnchor);
    EXPECT_EQ(CodeHeadEnd, headAnchor->TypeCode);
    EXPECT_NE(nullptr, headAnchor->InputCell[0]);
}

TEST_F(Analysis, AQuietAnalysisLeavesThePendingErrorAsItWas) {
    globals.Reporter().SetPendingError(std::make_unique<TErroreCircuito>(1, 2, 3, net, ErroreIngressoRete));
    Put<TPresaProva>(*net, 37, 1, 15);
    Put<TPresaProva>(*net, 37, 2, 14);  // refused by the outlet itself
    EXPECT_FALSE(net->Analyse(false));
    ASSERT_NE(nullptr, Pending());
    EXPECT_EQ(ErroreIngressoRete, Pending()->Kind);
    EXPECT_EQ(1, Pending()->Column);
    EXPECT_EQ(2, Pending()->Row);

    globals.Reporter().SetPendingError(nullptr);
    EXPECT_FALSE(net->Analyse(false));
    EXPECT_EQ(nullptr, Pending());
    EXPECT_FALSE(net->Analyse(true));
    ASSERT_NE(nullptr, Pending());
    EXPECT_EQ(ErroreChiusuraMancante, Pending()->Kind);
}
