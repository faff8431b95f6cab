// The scheme print on the headless 600-dpi A4 printer: orientation, square
// side and its cap, both grids on one sheet, the earthing note, the
// selected area, labels and clipping.
#include <gtest/gtest.h>

#include "cells/cables.h"
#include "cells/factory.h"
#include "core/options.h"
#include "document/signs.h"
#include "platform/dialogs.h"
#include "support/print_fixture.h"
#include "support/test_cells.h"

namespace {

int P(int points) { return points * 600 / 72; }

// Remembers where the scheme asked it to draw and label itself.
struct TDrawCall {
    const TCella* cell;
    int32_t column, row, x, y, zoom;
    TRect clip;
    int fontHeight;
};
std::vector<TDrawCall> Painted, Labelled;

class TCellaSchema : public TCellaProva {
public:
    using TCellaProva::TCellaProva;
    void PaintIfAt(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                   int32_t zoom) override {
        if (column == Column && row == Row)
            Painted.push_back({this, column, row, x, y, zoom, canvas->ClipRect(), 0});
    }
    void DrawAttenuationValues(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                               int32_t zoom, int32_t) override {
        Labelled.push_back({this, column, row, x, y, zoom, canvas->ClipRect(), canvas->Font->Size});
    }
};

class SchemeTest : public PrintTest {
protected:
    SchemeTest() {
        Painted.clear();
        Labelled.clear();
    }
    // A grid of columns x rows whose used area is all of it: cells in the
    // far corners of the head-end terminal's opposite row.
    TCella* Place(TGridData* grid, int32_t column, int32_t row) {
        auto cOwned = std::make_unique<TCellaSchema>(grid, column, row);
        auto* c = cOwned.get();
        EXPECT_TRUE(grid->InsertCell(std::move(cOwned), false, 0));
        return c;
    }
    void Size(TGridData* grid, int32_t columns, int32_t rows) {
        ASSERT_TRUE(grid->Resize(columns, rows));
        const int32_t far = grid == project.NetworkGrid ? rows - 1 : 0;
        Place(grid, 0, far);
        Place(grid, columns - 1, far);
    }
    const TDrawCall* PaintedAt(int32_t column, int32_t row) const {
        for (const TDrawCall& c : Painted)
            if (c.column == column && c.row == row) return &c;
        return nullptr;
    }
    const TRecordingEngine& Scheme(int32_t flags, float maxSide = 1.5f, int32_t expected = 0) {
        const TPrintedDocument& doc =
            Job([&] { EXPECT_EQ(stampa.PrintScheme(flags, maxSide, 0), expected); });
        return *doc.Pages.back();
    }
};

TEST_F(SchemeTest, OrientationByTheAreasShape) {
    struct Case {
        int32_t columns, rows, flags;
        TPrinterOrientation printer, expected;
    };
    // clang-format off
    const Case cases[] = {
        {6, 10, 0x00D, poLandscape, poPortrait},   // tall and narrow
        {20, 6, 0x00D, poPortrait, poLandscape},   // wide
        {8, 8, 0x00D, poLandscape, poPortrait},    // equal sides
        {6, 10, 0x005, poPortrait, poLandscape},   // landscape asked
        {20, 6, 0x009, poLandscape, poPortrait},   // portrait asked
        {20, 6, 0x001, poLandscape, poLandscape},  // neither: the printer's
        {20, 6, 0x001, poPortrait, poPortrait},
    };
    // clang-format on
    for (const Case& c : cases) {
        project.NetworkGrid->Clear();
        project.InsertAnchor(project.NetworkGrid);
        Size(project.NetworkGrid, c.columns, c.rows);
        Printer()->Orientation = c.printer;
        EXPECT_EQ(stampa.SchemeOrientation(c.flags), c.expected)
            << c.columns << " x " << c.rows << " " << c.flags;
    }
}

TEST_F(SchemeTest, SquareSideFitsThePageUpToItsCap) {
    struct Case {
        int32_t columns, rows;
        TPrinterOrientation orientation;
        float maxSide;
        int32_t side, x0, labelHeight;
    };
    // clang-format off
    const Case cases[] = {
        {6, 10, poPortrait, 1.5f, 360, 1341, 11},     // capped at 600 x 1.5 x 0.4
        {20, 6, poLandscape, 1.5f, 330, 125, 10},     // the width sets it
        {6, 10, poPortrait, -1.0f, 626, 543, 19},     // no cap without a positive option
        {6, 10, poPortrait, 0.0f, 626, 543, 19},
        {6, 10, poPortrait, 1e9f, 626, 543, 19},      // the options form's largest: the page sets it
        {6, 10, poPortrait, 3.4e38f, 626, 543, 19},   // a settings file's largest float
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.columns) + " x " + std::to_string(c.rows));
        project.NetworkGrid->Clear();
        project.InsertAnchor(project.NetworkGrid);
        Size(project.NetworkGrid, c.columns, c.rows);
        Painted.clear();
        Labelled.clear();
        Printer()->Orientation = c.orientation;
        Scheme(SchemeNetwork | SchemeNumbers, c.maxSide);
        const TDrawCall* corner = PaintedAt(c.columns - 1, c.rows - 1);
        ASSERT_NE(corner, nullptr);
        EXPECT_EQ(corner->zoom, c.side);
        EXPECT_EQ(corner->x, c.x0 + (c.columns - 1) * c.side);
        EXPECT_EQ(corner->y, 236 + (c.rows - 1) * c.side);
        // Clipped 5 pt around the area.
        EXPECT_EQ(corner->clip, TRect(c.x0 - P(5), 236 - P(5), c.x0 + c.side * c.columns + P(5),
                                      236 + c.side * c.rows + P(5)));
        ASSERT_FALSE(Labelled.empty());
        EXPECT_EQ(Labelled[0].fontHeight, c.labelHeight);
    }
}

// The labels of the last column reach past the drawing (an article code is
// wider than a square): they are clipped to the page's box only, while the
// symbols keep to the drawing's rectangle.
TEST_F(SchemeTest, LabelsKeepToThePageBoxNotToTheDrawing) {
    Size(project.NetworkGrid, 6, 10);
    Scheme(SchemeNetwork | SchemeCodes);
    ASSERT_FALSE(Labelled.empty());
    for (const TDrawCall& c : Labelled) EXPECT_EQ(c.clip, TRect(0, 236 - 120, 4842 - 2, 6498 + 120));
    const TDrawCall* corner = PaintedAt(5, 9);
    ASSERT_NE(corner, nullptr);
    EXPECT_EQ(corner->clip.Right, 1341 + 6 * 360 + P(5));
}

TEST_F(SchemeTest, LabelsAreEightPointAtFortyTwoPixelsAndNinetySixDpi) {
    TPrinterDevice screen = A4Device(300);
    screen.DpiX = screen.DpiY = 96;
    screen.PaperWidth = screen.PaperHeight = 2000;
    screen.Printable = TRect(0, 0, 2000, 2000);
    Printer()->SetDevices({screen});
    Size(project.NetworkGrid, 6, 10);
    Scheme(SchemeNetwork | SchemeNumbers, 1.09375f);  // 96 x 1.09375 x 0.4 = 42
    ASSERT_FALSE(Labelled.empty());
    EXPECT_EQ(Labelled[0].zoom, 42);
    EXPECT_EQ(Labelled[0].fontHeight, 8);
}

// Risers side by side, each labelled with its length, article code and
// number, and a cable of a long code beside a termination: at every square
// size from the cap down to a few pixels, no label meets another label or
// the ink of a symbol, a label with room keeps the scheme's label size, and
// one set smaller keeps to a readable share of it. At small sizes the size
// in whole points used to come out larger than the square's share (or the
// default font below half a point), and a code ran over the next riser.
TEST_F(SchemeTest, LabelsKeepClearOfTheNextSymbolsAndLabels) {
    project.Step = 2;
    Size(project.NetworkGrid, 12, 6);
    auto cable = [&](int32_t column, const char* code) {
        auto c = std::make_unique<TNCavo>(project.NetworkGrid, 0, 0, column, 2, 0, clBlack);
        c->RunEnd = 1;
        c->SetLength(18.0f);
        c->Code = code;
        ASSERT_TRUE(project.NetworkGrid->InsertCell(std::move(c), false, 0));
    };
    for (int32_t column = 1; column <= 5; ++column) cable(column, "GCX-10");
    cable(7, "GFA-TM-11-114");
    std::unique_ptr<TCella> end = NewCella(project.NetworkGrid, CodeTermination, 8, 2, 1, 0, 0);
    end->Code = "GCH-75";
    ASSERT_TRUE(project.NetworkGrid->InsertCell(std::move(end), false, 0));
    struct Case {
        float maxSide;  // the cap of the square side, cm: 600 x side x 0.4 pixels
        int32_t side;
    };
    // 11 points; 3.7 points set as 4; 1.1 as 1; 0.37 as none; 0.12.
    const Case cases[] = {{1.5f, 360}, {0.5f, 120}, {0.15f, 36}, {0.05f, 12}, {0.0167f, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.side);
        const TRecordingEngine& page =
            Scheme(SchemeNetwork | SchemeNumbers | SchemeCodes | SchemeLengths, c.maxSide);
        const double share = 8.0 * (c.side * 16.0 / 600 / 7);  // points
        const int points = static_cast<int>(share + 0.5);
        const int nominal = points >= 1 ? (points * 600 + 36) / 72 : std::max(1, int(share * 600 / 72));
        std::vector<TRect> ink, labels;
        std::vector<AnsiString> texts;
        for (const TPaintCall& call : page.Calls) {
            if (call.Op == TPaintOp::Line) {
                const int half = call.State.Pen.Width / 2;
                const TPoint a = call.Points[0], b = call.Points[1];
                ink.push_back(TRect(std::min(a.x, b.x) - half, std::min(a.y, b.y) - half,
                                    std::max(a.x, b.x) + half + 1, std::max(a.y, b.y) + half + 1));
            } else if (call.Op == TPaintOp::Rectangle) {
                ink.push_back(call.Rect);
            } else if (call.Op == TPaintOp::Text && call.Points[0].y > 236 && call.Points[0].y < 6000) {
                const TSize size = TTextMetrics::Extent(call.State.Font, call.Text);
                const TRect box(call.Points[0].x, call.Points[0].y, call.Points[0].x + size.cx,
                                call.Points[0].y + size.cy);
                labels.push_back(IntersectRect(box, call.State.Clip));
                texts.push_back(call.Text);
                EXPECT_GE(-call.State.Font.Height, nominal * 2 / 5) << call.Text;
                EXPECT_LE(-call.State.Font.Height, nominal) << call.Text;
            }
        }
        ASSERT_EQ(labels.size(), 3u * 6 + 1) << page.Dump();
        auto meets = [](const TRect& a, const TRect& b) {
            return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
        };
        for (size_t i = 0; i < labels.size(); ++i) {
            for (const TRect& b : ink) EXPECT_FALSE(meets(labels[i], b)) << texts[i] << " meets a symbol";
            // The lines of one label stand in one column and may share their leading.
            for (size_t j = i + 1; j < labels.size(); ++j)
                if (labels[i].Left != labels[j].Left)
                    EXPECT_FALSE(meets(labels[i], labels[j])) << texts[i] << " / " << texts[j];
        }
        // The last riser has the free square beside it, the termination the rest of the row.
        const std::vector<TPaintCall> drawn = page.CallsOf(TPaintOp::Text);
        const TPaintCall* last = nullptr;
        for (const TPaintCall& call : drawn)
            if (call.Text == "GCX-10" && (!last || call.Points[0].x > last->Points[0].x)) last = &call;
        const TPaintCall* end = FindText(page, "GCH-75");
        ASSERT_NE(last, nullptr);
        ASSERT_NE(end, nullptr);
        EXPECT_EQ(-last->State.Font.Height, nominal);
        EXPECT_EQ(-end->State.Font.Height, nominal);
    }
}

TEST_F(SchemeTest, BothGridsShareTheSheetWithoutTheTerminalRows) {
    Size(project.NetworkGrid, 10, 5);  // anchor at column 4, row 0; cells on row 4
    Size(project.HeadEndGrid, 6, 4);   // anchor at column 2, row 3; cells on row 0
    TCella* middle = Place(project.HeadEndGrid, 3, 2);
    Scheme(SchemeNetwork | SchemeHeadEnd);
    // 4 + 5 - 2 rows, the head-end shifted by 10 / 2 - 6 / 2 = 2 columns.
    // s = min((6498 - 236) / 7, (4842 - 240) / 10) = 460, capped at 360.
    const int s = 360;
    const int x0 = (4842 - 240 - s * 10) / 2 + 120;
    EXPECT_EQ(PaintedAt(4, 0), nullptr);  // neither anchor drawn
    EXPECT_EQ(PaintedAt(2, 3), nullptr);
    bool middleFound = false;
    for (const TDrawCall& c : Painted)
        if (c.cell == middle) {
            middleFound = true;
            EXPECT_EQ(c.x, x0 + (3 + 2) * s);
            EXPECT_EQ(c.y, 236 + 2 * s);
        }
    EXPECT_TRUE(middleFound);
    // The network's row 1 follows the head-end's row 2; row 4 is the sheet's last.
    const TCella* netCorner = nullptr;
    for (const TDrawCall& c : Painted)
        if (c.cell->Owner == project.NetworkGrid && c.column == 9) netCorner = c.cell;
    ASSERT_NE(netCorner, nullptr);
    for (const TDrawCall& c : Painted)
        if (c.cell == netCorner) {
            EXPECT_EQ(c.x, x0 + 9 * s);
            EXPECT_EQ(c.y, 236 + (4 - 1) * s + (4 - 1) * s);
            EXPECT_EQ(c.clip.Bottom, 236 + 7 * s + P(5));
        }
}

TEST_F(SchemeTest, EarthSymbolShortensTheDrawingAndAddsTheNote) {
    Size(project.NetworkGrid, 6, 40);
    Place(project.NetworkGrid, 2, 20)->TypeCode = CodeEarth;
    const TRecordingEngine& page = Scheme(SchemeNetwork, -1.0f);
    const int height = 6498 - P(12);
    EXPECT_EQ(
        TextAt(
            page,
            "Nota: I componenti con il simbolo di terra a fianco si intendono collegati a equipotenziale o a "
            "presa di terra."),
        TPoint(P(18), height + 120));
    EXPECT_EQ(Painted[0].zoom, (height - 236) / 40);
}

TEST_F(SchemeTest, SelectedAreaPrintsTheSelectionOfTheShownGrid) {
    Size(project.NetworkGrid, 30, 30);
    Size(project.HeadEndGrid, 20, 20);
    Place(project.HeadEndGrid, 5, 5);
    Place(project.HeadEndGrid, 15, 15);
    stampa.DrawSelection = [] { return TCellRect{4, 4, 8, 9}; };  // rows 4-8, columns 4-9
    AnsiString selected = "Testa";
    stampa.SelectedPage = [&] { return selected; };
    Scheme(0x2CC | SchemeHeadEnd);
    // Only head-end cells; the one inside the selection where the area starts.
    for (const TDrawCall& c : Painted) EXPECT_EQ(c.cell->Owner, project.HeadEndGrid);
    const TDrawCall* inside = PaintedAt(5, 5);
    ASSERT_NE(inside, nullptr);
    const int s = 360;  // min((6498 - 236) / 5, (4842 - 240) / 6), capped
    EXPECT_EQ(inside->x, (4842 - 240 - 6 * s) / 2 + 120 + s);
    EXPECT_EQ(inside->y, 236 + s);
    // Labels only inside the selection.
    for (const TDrawCall& c : Labelled) {
        EXPECT_GE(c.column, 4);
        EXPECT_LE(c.column, 9);
    }
    selected = "Preventivo";
    TSchemeArea area;
    EXPECT_FALSE(stampa.SchemeArea(0x2CC | SchemeHeadEnd, area));
    EXPECT_EQ(stampa.PrintScheme(0x2CC | SchemeHeadEnd, 1.5f, 0), -1);
}

TEST_F(SchemeTest, SignsArePaintedAtTheirGridsOrigin) {
    Size(project.NetworkGrid, 6, 10);
    auto signOwned = std::make_unique<TSegnoGrafico>(project.NetworkGrid);
    TSegnoGrafico* sign = signOwned.get();
    sign->X1 = 42;
    sign->Y1 = 84;
    sign->X2 = 126;
    sign->Y2 = 84;
    ASSERT_TRUE(project.NetworkGrid->AddSign(std::move(signOwned), false, 0));
    const TRecordingEngine& page = Scheme(SchemeNetwork);
    bool found = false;
    // 42 px of the grid are one square of 360 px.
    for (const TPaintCall& c : page.Calls)
        if ((c.Op == TPaintOp::Line || c.Op == TPaintOp::Polyline) && c.Points.size() >= 2 &&
            c.Points.front() == TPoint(1341 + 360, 236 + 720))
            found = c.Points.back() == TPoint(1341 + 1080, 236 + 720);
    EXPECT_TRUE(found) << page.Dump();
}

// A cable run down a column, round a bend and along a row prints as one
// line: on the sheet every piece reaches into its neighbour's piece, where
// the wide pen's round caps alone would only touch and leave a bead between
// two squares. On every sheet size, whatever the square's fraction of units.
TEST_F(SchemeTest, CableRunsPrintAsOneLine) {
    constexpr TColor Colour = static_cast<TColor>(0x00C08040);
    Size(project.NetworkGrid, 8, 8);
    auto lay = [&](int32_t column, int32_t row, int32_t orientation, uint8_t bend) {
        ASSERT_TRUE(project.NetworkGrid->InsertCell(
            std::make_unique<TNCavo>(project.NetworkGrid, orientation, 0, column, row, bend, Colour), false,
            0));
    };
    for (int32_t row = 1; row <= 4; ++row) lay(2, row, 0, 0);
    lay(2, 5, 2, 1);  // from the top to the right
    for (int32_t column = 3; column <= 5; ++column) lay(column, 5, 1, 0);
    for (const float maxSide : {1.5f, 1.23f, -1.0f}) {
        SCOPED_TRACE(maxSide);
        const TRecordingEngine& page = Scheme(SchemeNetwork, maxSide);
        // The pieces as (fixed coordinate, from, to) along each axis.
        std::vector<std::array<int32_t, 3>> down, across;
        int32_t pen = 0;
        for (const TPaintCall& c : page.CallsOf(TPaintOp::Line)) {
            if (c.State.Pen.Color != Colour) continue;
            pen = c.State.Pen.Width;
            const TPoint a = c.Points[0], b = c.Points[1];
            if (a.x == b.x) down.push_back({a.x, std::min(a.y, b.y), std::max(a.y, b.y)});
            if (a.y == b.y) across.push_back({a.y, std::min(a.x, b.x), std::max(a.x, b.x)});
        }
        ASSERT_EQ(down.size(), 5u) << page.Dump();
        ASSERT_EQ(across.size(), 4u) << page.Dump();
        EXPECT_GE(pen, 10);
        for (auto* pieces : {&down, &across}) {
            std::sort(pieces->begin(), pieces->end());
            for (size_t i = 1; i < pieces->size(); ++i) {
                EXPECT_EQ((*pieces)[i][0], (*pieces)[0][0]) << i;      // one line
                EXPECT_LE((*pieces)[i][1], (*pieces)[i - 1][2]) << i;  // no gap, no bead
                EXPECT_GT((*pieces)[i][1], (*pieces)[i - 1][1]) << i;
            }
        }
        // The bend's pieces meet the run's last piece down and first across.
        EXPECT_EQ(down.back()[2], across.front()[0]);
        EXPECT_EQ(across.front()[1], down.back()[0]);
    }
}

TEST_F(SchemeTest, EmptyProjectPrintsNothingAndAsksNothing) {
    EXPECT_EQ(stampa.PrintScheme(SchemeNetwork | SchemeHeadEnd | SchemeLandscape | SchemePortrait, 1.5f, 0),
              -1);
    TPrintDialog dialog;
    Application->Script().AnswerPrintDialog(true);
    stampa.PrintNetworkSchemeCommand(&dialog);
    stampa.PrintHeadEndSchemeCommand(&dialog);
    stampa.PrintSchemesAndListsCommand(&dialog);
    EXPECT_TRUE(Printer()->Documents().empty());
    EXPECT_TRUE(Application->Script().NextPrintAnswer().has_value());  // the dialog was never shown
}

TEST_F(SchemeTest, SchemesAndListsInOneJobEachPageInItsOrientation) {
    pages = {"Rete", "Testa"};
    project.Step = 2;
    Size(project.NetworkGrid, 30, 6);  // wide: landscape
    AddCell(project.NetworkGrid, 14, "PRESA", 1);
    // The head end holds its terminal alone, in its last row: not drawn.
    TPrintDialog dialog;
    Application->Script().AnswerPrintDialog(true);
    stampa.PrintSchemesAndListsCommand(&dialog);
    ASSERT_EQ(Printer()->Documents().size(), 1u);
    const TPrintedDocument& doc = LastDocument();
    ASSERT_EQ(doc.Pages.size(), 2u);
    EXPECT_EQ(doc.Orientation, poLandscape);
    EXPECT_GT(doc.Pages[0]->DeviceRect().Width(), doc.Pages[0]->DeviceRect().Height());
    EXPECT_EQ(doc.Pages[1]->DeviceRect(), TRect(0, 0, 4961, 7016));
    EXPECT_NE(FindText(*doc.Pages[1], "Tipologia del materiale della rete"), nullptr);
    EXPECT_NE(FindText(*doc.Pages[1], "PRESA"), nullptr);
}

}  // namespace
