// The estimate: rows built from the components on the grids, the labour row,
// rows added by hand, currency conversion and the section on file.
#include "document/estimate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "app/estimate_page.h"
#include "cells/cables.h"
#include "cells/filters.h"
#include "core/file.h"
#include "core/libraries.h"
#include "core/options.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/application.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"
#include "support/test_cells.h"

namespace {

class EstimateTest : public GlobalsTest {
protected:
    EstimateTest() {
        Application->Script().Reset();
        project.Reset(true);
        last = project.NetworkGrid->Anchor;
    }

    // A component on the network grid, chained after the last one.
    TCellaProva* AddCell(const AnsiString& code, int32_t minutes = 0) {
        auto cOwned = std::make_unique<TCellaProva>(project.NetworkGrid, next++, 5);
        auto* c = cOwned.get();
        c->Code = code;
        c->InstallMinutes = minutes;
        EXPECT_TRUE(project.NetworkGrid->InsertCell(std::move(cOwned), false, 0));
        Chain(c);
        return c;
    }
    void Chain(TCella* c) {
        last->NextCell = c;
        last = c;
    }
    const TRigaPreventivo* Row(const AnsiString& code) const {
        for (const TRigaPreventivo& r : estimate().Rows())
            if (r.Code == code) return &r;
        return nullptr;
    }
    TDatiPreventivo& estimate() const { return *project.Estimate; }

    TProgetto project{nullptr};
    TCella* last = nullptr;
    int32_t next = 2;
};

TEST_F(EstimateTest, NoComponentsGiveTheLabourRowAlone) {
    estimate().BuildFromCells();
    ASSERT_EQ(estimate().Count(), 1);
    const TRigaPreventivo& r = estimate().Rows()[0];
    EXPECT_EQ(r.Code, "MANOP");
    EXPECT_EQ(r.Description, "Manodopera");
    EXPECT_EQ(r.Unit, "ore");
    EXPECT_EQ(r.Quantity, 0.0f);
    EXPECT_EQ(estimate().LabourPosition, 0);
}

TEST_F(EstimateTest, CodesMergeBeforeTheCaretAndAnEmptyCodeListsTheShortCode) {
    AddCell("AB^1");
    AddCell("AB^2");
    TCellaProva* unnamed = AddCell("");
    unnamed->SequenceNumber = 7;
    estimate().BuildFromCells();
    ASSERT_NE(Row("AB"), nullptr);
    EXPECT_EQ(Row("AB")->Quantity, 2.0f);
    EXPECT_EQ(Row("AB")->Unit, "pezzi");
    EXPECT_NE(Row("T7"), nullptr);
    EXPECT_EQ(estimate().Rows().back().Code, "MANOP");
}

TEST_F(EstimateTest, LabourHoursFromCableMetresAndComponentMinutes) {
    auto cableOwned = std::make_unique<TNCavo>(project.NetworkGrid, 0, 0, 10, 10, 0, 0);
    auto* cable = cableOwned.get();
    cable->SetLength(12.5f);
    cable->Code = "CAVO";
    cable->InstallMinutes = 2;
    ASSERT_TRUE(project.NetworkGrid->InsertCell(std::move(cableOwned), false, 0));
    Chain(cable);
    AddCell("AMP", 5);
    AddCell("NEG", -30);  // a negative time typed in the component's form takes no labour away
    estimate().BuildFromCells();
    ASSERT_NE(Row("NEG"), nullptr);
    EXPECT_EQ(Row("NEG")->Minutes, 0.0f);
    ASSERT_NE(Row("CAVO"), nullptr);
    EXPECT_EQ(Row("CAVO")->Quantity, 12.5f);
    EXPECT_EQ(Row("CAVO")->Unit, "metri");
    EXPECT_FLOAT_EQ(Row("MANOP")->Quantity, 0.5f);
}

// Worked by hand: two runs of one cable, 12,57 m and 3,2 m, merge into
// 15,77 m, held as the 15,8 m the row shows; at 2 minutes a metre that is
// 31,6 minutes, 0,5 hours; the labour cost of 25,555 an hour is held as the
// 25,56 the row shows.
TEST_F(EstimateTest, BuiltRowsHoldTheFiguresTheyShow) {
    globals.Options().costM = 25.555f;
    int32_t column = 10;
    for (float length : {12.57f, 3.2f}) {
        auto cableOwned = std::make_unique<TNCavo>(project.NetworkGrid, 0, 0, column++, 10, 0, 0);
        TNCavo* cable = cableOwned.get();
        cable->SetLength(length);
        cable->Code = "CAVO";
        cable->InstallMinutes = 2;
        cable->Price = 0.8f;
        ASSERT_TRUE(project.NetworkGrid->InsertCell(std::move(cableOwned), false, 0));
        Chain(cable);
    }
    estimate().BuildFromCells();
    ASSERT_NE(Row("CAVO"), nullptr);
    EXPECT_EQ(Row("CAVO")->Quantity, 15.8f);
    EXPECT_EQ(Row("CAVO")->UnitPrice, 0.8f);
    EXPECT_EQ(Row("MANOP")->Quantity, 0.5f);
    EXPECT_EQ(Row("MANOP")->UnitPrice, 25.56f);
}

// Worked by hand. Two sockets "PRESA^1" at 3,10 and 10 minutes, each taking
// two "TAP^9" from the library "Acc" (1.000 lire, 3 minutes); the second
// also names an accessory of a library that is not open, and a third part
// one of no quantity, both left out. Rows: PRESA 2 x 3,10 = 6,20; TAP 4 x 0,52 (1.000
// lire at 1.936,27 to the euro) = 2,08; labour 2 x 10 + 4 x 3 = 32 minutes,
// 0,5 hours x 30,00 = 15,00; total 23,28.
TEST_F(EstimateTest, AccessoriesComeFromTheLibraryPricedInTheEstimateCurrency) {
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    const std::string path = globals.Dir().File("Acc.alb");
    ASSERT_TRUE(TLibreria::CreateFile(path));
    auto* library = new TLibreria;
    library->fileName = path;
    libraries.Get().Append(std::unique_ptr<TLibreria>(library));
    ASSERT_TRUE(library->Open(true));
    TFiltroS tap(nullptr, 0, 0, 0, 0);
    tap.Code = "TAP^9";
    tap.Article = "Tappo";
    tap.Brand = "Ov";
    tap.Description = "Tappo 75 ohm";
    tap.Price = 1000.0f;
    tap.Currency = CurrencyLire;
    tap.InstallMinutes = 3;
    TMemoryStream record;
    tap.Save(record, LibraryVersion);
    ASSERT_TRUE(library->AppendEntry(record.Bytes()));
    library->Close();

    globals.Options().costM = 30.0f;
    globals.Options().currencyFactors[CurrencyLire][CurrencyEuro] = 1.0f / 1936.27f;
    for (int i = 0; i < 2; ++i) {
        TCellaProva* socket = AddCell("PRESA^1", 10);
        socket->Price = 3.1f;
        socket->AuxLibrary[0] = "Acc";
        socket->AuxCode[0] = "TAP^9";
        socket->AuxQuantity[0] = 2.0f;
        if (i == 1) {
            socket->AuxLibrary[1] = "Altra";
            socket->AuxCode[1] = "CAP";
            socket->AuxQuantity[1] = 5.0f;
        }
    }
    TCellaProva* none = AddCell("NONE");
    none->AuxLibrary[0] = "Acc";
    none->AuxCode[0] = "TAP^9";
    none->AuxQuantity[0] = 0.0f;
    estimate().BuildFromCells();

    struct Expected {
        const char* code;
        float quantity, price, minutes;
        const char* unit;
    } rows[] = {{"PRESA", 2.0f, 3.1f, 10.0f, "pezzi"},
                {"NONE", 1.0f, 0.0f, 0.0f, "pezzi"},
                {"TAP", 4.0f, 0.52f, 3.0f, "pezzi"},
                {"MANOP", 0.5f, 30.0f, 0.0f, "ore"}};
    ASSERT_EQ(estimate().Count(), 4);
    for (size_t i = 0; i < std::size(rows); ++i) {
        const TRigaPreventivo& r = estimate().Rows()[i];
        EXPECT_EQ(r.Code, rows[i].code) << i;
        EXPECT_EQ(r.Quantity, rows[i].quantity) << r.Code;
        EXPECT_EQ(r.UnitPrice, rows[i].price) << r.Code;
        EXPECT_EQ(r.Minutes, rows[i].minutes) << r.Code;
        EXPECT_EQ(r.Unit, rows[i].unit) << r.Code;
    }
    EXPECT_EQ(Row("TAP")->Description, "Tappo 75 ohm");
    EXPECT_EQ(Application->Script().MessageBoxes.size(), 0u);

    TPaginaPreventivo page(nullptr);
    page.SetProject(&project);
    page.BuildEstimate();
    EXPECT_EQ(Trim(page.Totale->Text.Get()), "23,28");
}

TEST_F(EstimateTest, HandRowsSurviveARebuildUnlessAComponentYieldsTheirCode) {
    AddCell("AB");
    estimate().BuildFromCells();
    TRigaPreventivo byHand;
    byHand.Code = "EXTRA";
    byHand.Quantity = 3;
    estimate().AddQuantity(byHand);
    byHand.Code = "CD";
    estimate().AddQuantity(byHand);
    AddCell("CD");
    estimate().BuildFromCells();
    ASSERT_NE(Row("EXTRA"), nullptr);
    EXPECT_EQ(Row("EXTRA")->Quantity, 3.0f);
    EXPECT_EQ(Row("CD")->Quantity, 1.0f);  // the component's row, not the hand one
    EXPECT_EQ(estimate().Rows().back().Code, "EXTRA");
}

TEST_F(EstimateTest, AMissingFactorWarnsOncePerBuildAndKeepsThePrice) {
    globals.Options().currencyFactors[CurrencyLire][CurrencyEuro] = LevelNone;
    for (int i = 0; i < 2; ++i) {
        TCellaProva* c = AddCell("L" + IntToStr(i));
        c->Currency = CurrencyLire;
        c->Price = 1000.0f;
    }
    estimate().BuildFromCells();
    estimate().BuildFromCells();
    const auto& boxes = Application->Script().MessageBoxes;
    ASSERT_EQ(boxes.size(), 2u);  // once in each build
    EXPECT_EQ(boxes[0].Text,
              "Manca il fattore di conversione tra la valuta Lire e la valuta Euro. E' stato applicato il "
              "fattore 1.");
    EXPECT_EQ(boxes[0].Caption, "Ordivex Varne");
    EXPECT_EQ(Row("L0")->UnitPrice, 1000.0f);
}

TEST_F(EstimateTest, SectionReadsBackAndAnEmptyOneIsOutOfDate) {
    AddCell("AB^1");
    estimate().BuildFromCells();
    estimate().Notes[1] = "Nota è due";
    project.EstimateOutOfDate = false;
    TMemoryStream out;
    estimate().Save(out, 60000);

    TProgetto other(nullptr);
    TMemoryStream in(out.Bytes());
    other.Estimate->Load(in, 60000);
    EXPECT_FALSE(other.EstimateOutOfDate);
    ASSERT_EQ(other.Estimate->Count(), 2);
    EXPECT_EQ(other.Estimate->LabourPosition, 1);
    EXPECT_EQ(other.Estimate->Notes[1], "Nota è due");
    TMemoryStream again;
    other.Estimate->Save(again, 60000);
    EXPECT_EQ(again.Bytes(), out.Bytes());

    // A position on file that points at a component's row reads as the
    // labour row's own.
    estimate().LabourPosition = 0;
    TMemoryStream wrong;
    estimate().Save(wrong, 60000);
    TProgetto third(nullptr);
    TMemoryStream wrongIn(wrong.Bytes());
    third.Estimate->Load(wrongIn, 60000);
    EXPECT_EQ(third.Estimate->LabourPosition, 1);
    EXPECT_FALSE(third.EstimateOutOfDate);

    // No rows: no labour position on file, and the estimate reads out of date.
    TDatiPreventivo empty(&project);
    TMemoryStream none;
    empty.Save(none, 60000);
    EXPECT_EQ(none.Bytes().size(), 1u + 4u + 3u);
    project.EstimateOutOfDate = false;
    TMemoryStream back(none.Bytes());
    estimate().Clear();
    estimate().Load(back, 60000);
    EXPECT_TRUE(project.EstimateOutOfDate);
}

TEST_F(EstimateTest, OldRowsReadIntoEuroWithTheFlagCleared) {
    for (int32_t tag : {TagEstimateRows, TagEstimateRowsMinutes}) {
        RecordBytes row;
        row.I32(0)
            .F32(2.0f)
            .F32(15.5f)
            .Fixed("X1", 20)
            .Fixed("Presa", 30)
            .Fixed("Marca", 20)
            .Fixed("pezzi", 10)
            .Zeros(4);
        if (tag == TagEstimateRowsMinutes) row.F32(4.0f);
        TProgetto p(nullptr);
        p.Estimate->Currency = CurrencyLire;
        TMemoryStream in(row.Bytes());
        p.Estimate->LoadOldRows(in, tag, 10002);
        EXPECT_EQ(p.Estimate->Currency, CurrencyEuro);
        EXPECT_FALSE(p.EstimateOutOfDate);
        ASSERT_EQ(p.Estimate->Count(), 1);
        const TRigaPreventivo& r = p.Estimate->Rows()[0];
        EXPECT_EQ(r.Description, "Presa");
        EXPECT_EQ(r.Article, "");
        EXPECT_EQ(r.Minutes, tag == TagEstimateRowsMinutes ? 4.0f : 0.0f);
        EXPECT_EQ(in.Position(), in.Size());
    }
}

// The program never writes a figure that is no number: one on file is damage,
// read as zero so that the hours of labour and the totals stay numbers.
TEST_F(EstimateTest, FiguresThatAreNoNumberReadAsZero) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float largest = std::numeric_limits<float>::max();
    struct Case {
        float quantity, price, minutes;
        float keptQuantity, keptPrice, keptMinutes, hours;
    } cases[] = {
        {inf, 2.0f, 3.0f, 0.0f, 2.0f, 3.0f, 0.0f},
        {2.0f, nan, 3.0f, 2.0f, 0.0f, 3.0f, 0.1f},
        {2.0f, 3.0f, -inf, 2.0f, 3.0f, 0.0f, 0.0f},
        {largest, 1.0f, largest, largest, 1.0f, largest, largest},  // hours beyond a float: the largest
    };
    for (const Case& c : cases) {
        const std::string none;
        RecordBytes section;
        section.U8(CurrencyEuro).I32(2).I32(1);
        auto row = [&](float quantity, float price, const std::string& code, const std::string& unit,
                       float minutes) {
            section.F32(quantity).F32(price).Text(code, EstimateCodeSize).Text(none, EstimateArticleSize);
            section.Text(none, EstimateDescriptionSize).Text(none, EstimateBrandSize);
            section.Text(unit, EstimateUnitSize).F32(minutes);
        };
        row(c.quantity, c.price, "X1", "pezzi", c.minutes);
        row(0.0f, 30.0f, LabourCode, "ore", 0.0f);
        for (int i = 0; i < EstimateNotesCount; ++i) section.Text(none, EstimateNotesSize);
        TProgetto p(nullptr);
        TMemoryStream in(section.Bytes());
        p.Estimate->Load(in, 60000);
        EXPECT_EQ(in.Position(), in.Size());
        ASSERT_EQ(p.Estimate->Count(), 2);
        const TRigaPreventivo& r = p.Estimate->Rows()[0];
        EXPECT_EQ(r.Quantity, c.keptQuantity) << c.quantity;
        EXPECT_EQ(r.UnitPrice, c.keptPrice) << c.price;
        EXPECT_EQ(r.Minutes, c.keptMinutes) << c.minutes;
        TRigaPreventivo labour;
        EXPECT_NO_THROW(p.Estimate->UpdateLabourRow(labour)) << c.quantity;
        EXPECT_EQ(labour.Quantity, c.hours) << c.quantity << " " << c.minutes;
    }
}

TEST_F(EstimateTest, TruncatedSectionRaises) {
    estimate().BuildFromCells();
    TMemoryStream out;
    estimate().Save(out, 60000);
    for (size_t cut : {size_t{3}, out.Bytes().size() - 1}) {
        TMemoryStream in(out.Bytes().substr(0, cut));
        TDatiPreventivo e(nullptr);
        EXPECT_THROW(e.Load(in, 60000), EReadError) << cut;
    }
}

}  // namespace
