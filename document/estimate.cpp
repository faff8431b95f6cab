#include "document/estimate.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <memory>

#include "cells/cables.h"
#include "cells/cell.h"
#include "cells/library_cells.h"
#include "core/file.h"
#include "core/globals.h"
#include "core/libraries.h"
#include "core/options.h"
#include "core/record_versions.h"
#include "core/reporter.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/application.h"

namespace {

// Bytes of an old row that no reader uses.
constexpr int OldRowSpare = 4;
// Raw field widths of the rows of sections 201 and 204.
constexpr int OldCodeWidth = 20;
constexpr int OldDescriptionWidth = 30;
constexpr int OldBrandWidth = 20;
constexpr int OldUnitWidth = 10;
// Bytes of one entry of the old section 200, which is skipped.
constexpr int OldEntryBytes = 40;
// The fewest bytes a row of section 200 takes: three figures and five empty texts.
constexpr int64_t MinRowBytes = 3 * 4 + 5;
// No estimate comes near this many rows (one per article); a file that
// asks for more is damaged, and would take the memory of the machine.
constexpr int32_t MaxLoadedEstimateRows = 200000;

float NotNegative(float v) { return v < 0.0f ? 0.0f : v; }

int CurrencyOf(const TOpzioni* options) { return options ? options->priceCurrency : CurrencyEuro; }

// A row read from a file: a figure that is no number (damage, since the
// program never writes one) counts as zero, so that totals and hours stay
// numbers.
TRigaPreventivo FiguresOnly(TRigaPreventivo r) {
    for (float* figure : {&r.Quantity, &r.UnitPrice, &r.Minutes})
        if (!std::isfinite(*figure)) *figure = 0.0f;
    return r;
}

// A figure written with the mask and read back; the mask has no grouping.
float AsWritten(const char* mask, double value) {
    double read = 0.0;
    if (!(value > 0.0) || !TryStrToFloat(FormatFloat(mask, value), read) || !(read > 0.0)) return 0.0f;
    return static_cast<float>(std::min(read, static_cast<double>(FLT_MAX)));
}

}  // namespace

float ShownQuantity(double quantity) { return AsWritten("##0.#", quantity); }

float ShownPrice(double price, int currency) {
    return AsWritten(TOpzioni::CurrencyDecimals(currency) == 0 ? "0" : "0.00", price);
}

TDatiPreventivo::TDatiPreventivo(TProgetto* project)
    : Project(project), Currency(static_cast<uint8_t>(CurrencyOf(Opzioni))) {}

void TDatiPreventivo::Clear() {
    rows_.clear();
    index_.clear();
    cursor_ = 0;
    Currency = static_cast<uint8_t>(CurrencyOf(Opzioni));
}

TRigaPreventivo* TDatiPreventivo::Find(const AnsiString& code) {
    const auto at = index_.find(code);
    return at == index_.end() ? nullptr : &rows_[at->second];
}

void TDatiPreventivo::Append(const TRigaPreventivo& row) {
    index_.emplace(row.Code, rows_.size());
    rows_.push_back(row);
}

void TDatiPreventivo::AddQuantity(const TRigaPreventivo& row) {
    if (TRigaPreventivo* r = Find(row.Code))
        r->Quantity = static_cast<float>(double(r->Quantity) + row.Quantity);
    else
        Append(row);
}

void TDatiPreventivo::SetRow(const TRigaPreventivo& row) {
    if (TRigaPreventivo* r = Find(row.Code))
        *r = row;
    else
        Append(row);
}

void TDatiPreventivo::RemoveRow(const AnsiString& code) {
    auto it =
        std::find_if(rows_.begin(), rows_.end(), [&](const TRigaPreventivo& r) { return r.Code == code; });
    if (it == rows_.end()) return;
    const size_t at = static_cast<size_t>(it - rows_.begin());
    rows_.erase(it);
    index_.erase(code);
    for (auto& [key, position] : index_)
        if (position > at) --position;
    // The walk goes on with the row after the one removed.
    if (cursor_ > at) --cursor_;
}

bool TDatiPreventivo::HasRow(const AnsiString& code) const { return index_.count(code) != 0; }

bool TDatiPreventivo::FirstRow(TRigaPreventivo& row) {
    cursor_ = 0;
    return NextRow(row);
}

bool TDatiPreventivo::NextRow(TRigaPreventivo& row) {
    if (cursor_ >= rows_.size()) return false;
    row = rows_[cursor_++];
    return true;
}

void TDatiPreventivo::ConvertToEstimateCurrency(float& price, int source) {
    if (newBuild_) {
        newBuild_ = false;
        std::fill(std::begin(warned_), std::end(warned_), false);
    }
    if (source == Currency) return;
    const float converted = Opzioni ? Opzioni->ConvertPrice(price, source, Currency) : LevelNone;
    if (converted >= 0.0f) {
        price = converted;
        return;
    }
    const bool known = source >= 0 && source < CurrencyCount;
    if (known && warned_[source]) return;
    Application->MessageBox("Manca il fattore di conversione tra la valuta " +
                                TOpzioni::GetCurrencyName(source) + " e la valuta " +
                                TOpzioni::GetCurrencyName(Currency) + ". E' stato applicato il fattore 1.",
                            ApplicationTitle, MB_OK | MB_ICONEXCLAMATION);
    if (known) warned_[source] = true;
}

void TDatiPreventivo::BuildFromCells() {
    // The rows added by hand after the labour row.
    std::vector<TRigaPreventivo> byHand;
    auto labour = std::find_if(rows_.begin(), rows_.end(),
                               [](const TRigaPreventivo& r) { return r.Code == LabourCode; });
    if (labour != rows_.end()) byHand.assign(labour + 1, rows_.end());

    Clear();
    newBuild_ = true;

    std::vector<TGridData*> grids;
    if (Project) grids = {Project->NetworkGrid, Project->HeadEndGrid};
    auto estimateCells = [&](auto&& visit) {
        for (TGridData* grid : grids) {
            if (!grid || !grid->Anchor) continue;
            for (TCella* c = grid->Anchor->NextCell; c; c = c->NextCell)
                if (c->IsEstimateItem()) visit(*c);
        }
    };

    estimateCells([&](TCella& c) {
        TRigaPreventivo row;
        row.Quantity = 1.0f;
        row.Unit = UnitPieces;
        if (c.Kind == KindCableSegment) {
            const float length = static_cast<TNCavo&>(c).PassAttenuation();
            if (length == CableLengthUncounted && c.TypeCode != CodeBridge) return;
            if (c.TypeCode != CodeBridge) {
                row.Quantity = NotNegative(length);
                row.Unit = UnitMetres;
            }
        }
        row.UnitPrice = NotNegative(c.Price);
        ConvertToEstimateCurrency(row.UnitPrice, c.Currency);
        // No time (LevelNone) and a negative one typed in the form count nothing.
        row.Minutes = NotNegative(static_cast<float>(c.InstallMinutes));
        row.Code =
            c.Code.empty() ? c.GetShortCode().substr(0, EstimateCodeSize - 1) : TextBeforeCaret(c.Code);
        row.Article = c.Article;
        row.Description = c.Description;
        row.Brand = c.Brand;
        AddQuantity(row);
    });

    // Accessories, each library entry read once.
    TMemLib cache;
    estimateCells([&](TCella& c) {
        for (int slot = 0; slot < 2; ++slot) {
            if (c.AuxLibrary[slot].empty() || c.AuxCode[slot].empty() || !(c.AuxQuantity[slot] > 0.0f))
                continue;
            std::unique_ptr<TCella> entry = cache.Find(c.AuxCode[slot]);
            if (!entry && Librerie) {
                if (TLibreria* library = Librerie->Find(c.AuxLibrary[slot]); library && library->Open()) {
                    entry = ReadLibraryCell(*library, c.AuxCode[slot]);
                    if (entry) cache.Append(entry->Clone());
                    library->Close();
                }
            }
            if (!entry) continue;
            TRigaPreventivo row;
            row.Quantity = c.AuxQuantity[slot];
            row.UnitPrice = NotNegative(entry->Price);
            ConvertToEstimateCurrency(row.UnitPrice, entry->Currency);
            row.Minutes = NotNegative(static_cast<float>(entry->InstallMinutes));
            row.Code = TextBeforeCaret(entry->Code);
            row.Article = entry->Article;
            row.Description = entry->Description;
            row.Brand = entry->Brand;
            row.Unit = UnitPieces;
            AddQuantity(row);
        }
    });

    TRigaPreventivo labourRow;
    labourRow.Code = LabourCode;
    labourRow.Description = "Manodopera";
    labourRow.Unit = UnitHours;
    labourRow.UnitPrice = NotNegative(Opzioni ? Opzioni->costM : 0.0f);
    ConvertToEstimateCurrency(labourRow.UnitPrice, CurrencyOf(Opzioni));
    AddQuantity(labourRow);
    LabourPosition = Count() - 1;

    // The built rows carry what they show: merged lengths to tenths of a
    // metre, converted prices to the currency's last digit.
    for (TRigaPreventivo& row : rows_) {
        row.Quantity = ShownQuantity(row.Quantity);
        row.UnitPrice = ShownPrice(row.UnitPrice, Currency);
    }
    for (const TRigaPreventivo& row : byHand)
        if (!HasRow(row.Code)) AddQuantity(row);
    UpdateLabourRow(labourRow);
}

void TDatiPreventivo::UpdateLabourRow(TRigaPreventivo& row) {
    TRigaPreventivo* labour = Find(LabourCode);
    if (!labour) return;
    double minutes = 0.0;
    for (const TRigaPreventivo& r : rows_)
        if (&r != labour) minutes += double(r.Quantity) * r.Minutes;
    // The hours carry one decimal, as the page shows them, and stay within
    // what the row keeps.
    double hours = 0.0;
    if (!TryStrToFloat(FormatFloat("##0.#", minutes * (1.0 / 60.0)), hours) || !(hours >= 0.0)) hours = 0.0;
    labour->Minutes = 0.0f;
    labour->Quantity = static_cast<float>(std::min(hours, static_cast<double>(FLT_MAX)));
    row = *labour;
}

void TDatiPreventivo::Save(TStream& s, int32_t /*version*/) const {
    WriteU8(s, Currency);
    WriteI32(s, Count());
    if (Count() > 0) WriteI32(s, Project && Project->EstimateOutOfDate ? -1 : LabourPosition);
    for (const TRigaPreventivo& r : rows_) {
        WriteF32(s, r.Quantity);
        WriteF32(s, r.UnitPrice);
        chunked::WriteString(s, r.Code, EstimateCodeSize);
        chunked::WriteString(s, r.Article, EstimateArticleSize);
        chunked::WriteString(s, r.Description, EstimateDescriptionSize);
        chunked::WriteString(s, r.Brand, EstimateBrandSize);
        chunked::WriteString(s, r.Unit, EstimateUnitSize);
        WriteF32(s, r.Minutes);
    }
    for (const AnsiString& n : Notes) chunked::WriteString(s, n, EstimateNotesSize);
}

void TDatiPreventivo::Load(TStream& s, int32_t version) {
    if (version < V20000) {
        // The old section 200 holds entries no version reads.
        const int32_t n = ReadI32(s);
        SkipBytes(s, int64_t(std::max(n, 0)) * OldEntryBytes);
        return;
    }
    Currency = ReadU8(s);
    const int32_t n = ReadI32(s);
    // Each row takes at least 14 bytes: a count the stream cannot hold, or
    // one far beyond any estimate, is damage, refused before anything is
    // read for it.
    if (n > MaxLoadedEstimateRows || int64_t{n} * MinRowBytes > s.Size() - s.Position())
        throw EReadError("estimate row count");
    if (n > 0) LabourPosition = ReadI32(s);
    for (int32_t i = 0; i < n; ++i) {
        TRigaPreventivo r;
        r.Quantity = ReadF32(s);
        r.UnitPrice = ReadF32(s);
        r.Code = chunked::ReadString(s, EstimateCodeSize);
        r.Article = chunked::ReadString(s, EstimateArticleSize);
        r.Description = chunked::ReadString(s, EstimateDescriptionSize);
        r.Brand = chunked::ReadString(s, EstimateBrandSize);
        r.Unit = chunked::ReadString(s, EstimateUnitSize);
        r.Minutes = ReadF32(s);
        AddQuantity(FiguresOnly(r));
    }
    // The labour row is where "MANOP" stands: a position on file pointing at
    // another row (damage, or equal codes merged above it) would have the
    // page write the hours into a component's row.
    if (LabourPosition >= 0)
        if (const auto at = index_.find(LabourCode); at != index_.end())
            LabourPosition = static_cast<int32_t>(at->second);
    if (Project) Project->EstimateOutOfDate = n < 1 || LabourPosition < 0;
    for (AnsiString& text : Notes) text = chunked::ReadString(s, EstimateNotesSize);
}

void TDatiPreventivo::LoadOldRows(TStream& s, int32_t tag, int32_t /*version*/) {
    LabourPosition = ReadI32(s);
    TRigaPreventivo r;
    r.Quantity = ReadF32(s);
    r.UnitPrice = ReadF32(s);
    r.Code = ReadRawText(s, OldCodeWidth);
    r.Description = ReadRawText(s, OldDescriptionWidth);
    r.Brand = ReadRawText(s, OldBrandWidth);
    r.Unit = ReadRawText(s, OldUnitWidth);
    SkipBytes(s, OldRowSpare);
    if (tag == TagEstimateRowsMinutes) r.Minutes = ReadF32(s);
    AddQuantity(FiguresOnly(r));
    if (Count() > MaxLoadedEstimateRows) throw EReadError("estimate row count");
    Currency = CurrencyEuro;
    if (Project) Project->EstimateOutOfDate = false;
}

void TDatiPreventivo::LoadOldNotes(TStream& s, int width) {
    for (int i = 0; i < EstimateNotesCount; ++i) {
        if (i > 0) SkipBytes(s, 4);
        Notes[i] = ReadRawText(s, width);
    }
}
