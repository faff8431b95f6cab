// The printed estimate ("Preventivo di spesa") and the tender specification
// ("Capitolato"): the estimate's rows, with prices, row totals, the grand
// total and the notes in the estimate, without them in the specification.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/options.h"
#include "document/estimate.h"
#include "document/estimate_amounts.h"
#include "document/project.h"
#include "printing/documents.h"

int32_t TStampa::PrintEstimate(bool priced, int32_t page) {
    PortraitPages(page);
    GetPageLayout(DocEstimate, page);
    TPrintPage& pp = PrintPage;
    std::fill(std::begin(pp.Columns), std::end(pp.Columns), uint8_t{0});
    for (TPrintColumn c : {pcCode, pcArticle, pcBrand, pcDescription, pcUnit, pcQuantity}) pp.Columns[c] = 1;
    if (priced) pp.Columns[pcUnitPrice] = pp.Columns[pcTotalPrice] = 1;
    pp.CodeLeft = pp.Points(18);
    pp.ArticleLeft = pp.Points(72);
    pp.BrandLeft = pp.Points(126);
    pp.DescriptionLeft = pp.Points(193);
    pp.UnitLeft = pp.Points(343);
    pp.MaxSignalRight = pp.Points(427);  // quantity
    pp.MaxNoiseRight = pp.Points(490);   // unit price
    pp.TotalPriceRight = pp.Points(544);

    pp.PageNumber = 1;
    PrintTableHeader(DocEstimate, 0);

    TDatiPreventivo* estimate = Project ? Project->Estimate.get() : nullptr;
    const AnsiString mask = TOpzioni::GetCurrencyFormat(estimate ? estimate->Currency : 0);
    // Only the rows the estimate page shows below its header are printed.
    const int32_t shown = EstimatePage ? EstimatePage->ShownRowCount() : INT32_MAX;
    double total = 0.0;
    TRigaPreventivo r;
    bool more = estimate && estimate->FirstRow(r);
    for (int32_t row = 1; more && row < shown; ++row, more = estimate->NextRow(r)) {
        if (!PageBreak(pp.LineHeight, DocEstimate, 0)) return 1;
        std::vector<TRowText> texts = {
            {pp.CodeLeft, r.Code},   {pp.ArticleLeft, r.Article},
            {pp.BrandLeft, r.Brand}, {pp.DescriptionLeft, r.Description},
            {pp.UnitLeft, r.Unit},   {pp.MaxSignalRight, FormatFloat("#0.00", r.Quantity), true}};
        if (priced) {
            // The row total as the estimate page computes it, so that page and
            // print show the same amounts.
            const double rowTotal = EstimateRowTotal(r.Quantity, r.UnitPrice, estimate->Currency);
            texts.push_back({pp.MaxNoiseRight, FormatFloat(mask, r.UnitPrice), true});
            texts.push_back({pp.TotalPriceRight, FormatFloat(mask, rowTotal), true});
            total += rowTotal;
        }
        PrintRowTexts(pp.Y, texts);
        pp.Y += pp.LineHeight;
    }
    if (!priced) return 0;

    AnsiString notes[EstimateNotesCount];
    for (int i = 0; i < EstimateNotesCount; ++i)
        notes[i] = EstimatePage ? EstimatePage->NoteText(i) : estimate ? estimate->Notes[i] : AnsiString();
    int32_t lines = 1;
    for (const AnsiString& n : notes)
        if (!n.empty()) ++lines;
    if (pp.Y + lines * pp.LineHeight + 4 > pp.BodyBottom) {
        ++pp.PageNumber;
        if (pp.PageToRender > 0 && pp.PageToRender < pp.PageNumber) return 1;
        PrintTableHeader(DocEstimate, 0);
    } else {
        Rule(pp.Y);
        pp.Y += 4;
    }
    PrintRowTexts(
        pp.Y, {{pp.MaxNoiseRight, "Totale:", true}, {pp.TotalPriceRight, FormatFloat(mask, total), true}});
    // The notes stand at the foot of the body, the last one lowest, in line
    // with the rows.
    int32_t y = pp.BodyBottom;
    for (int i = EstimateNotesCount - 1; i >= 0; --i) {
        if (notes[i].empty()) continue;
        y -= pp.LineHeight;
        PrintRowTexts(y, {{pp.CodeLeft, notes[i]}});
    }
    return 0;
}

void TStampa::PrintEstimateJob(bool priced) {
    PrintJob([&] { PrintEstimate(priced, 0); });
}
