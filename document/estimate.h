#pragma once
// TDatiPreventivo: the price estimate of one project. Rows are keyed by the
// article code (the part before the first '^'), kept in insertion order; the
// row "MANOP" carries the labour, and rows after it are the ones added by
// hand. Every price is in the estimate's currency.
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/classes.h"

class TProgetto;

struct TRigaPreventivo {
    float Quantity = 0.0f;   // pieces, metres or hours
    float UnitPrice = 0.0f;  // in the estimate's currency
    AnsiString Code;         // the key, at most 19 characters
    AnsiString Article;      // at most 29
    AnsiString Description;  // at most 29
    AnsiString Brand;        // at most 19
    AnsiString Unit;         // "pezzi", "metri" or "ore"; at most 9 on file
    float Minutes = 0.0f;    // installation minutes per unit
};

// Field sizes of a row and of a notes line, terminator included.
constexpr int EstimateCodeSize = 20;
constexpr int EstimateArticleSize = 30;
constexpr int EstimateDescriptionSize = 30;
constexpr int EstimateBrandSize = 20;
constexpr int EstimateUnitSize = 10;
constexpr int EstimateNotesSize = 201;
constexpr int EstimateNotesCount = 3;

// A quantity as the estimate shows it (to tenths) and a price as it shows in
// a currency (to cents, to whole lire). Rows are held at these figures, so the
// page, the labour and the printed estimate read the same numbers; anything
// below zero or no number gives 0.
float ShownQuantity(double quantity);
float ShownPrice(double price, int currency);

constexpr const char* LabourCode = "MANOP";
constexpr const char* UnitPieces = "pezzi";
constexpr const char* UnitMetres = "metri";
constexpr const char* UnitHours = "ore";

class TDatiPreventivo {
public:
    explicit TDatiPreventivo(TProgetto* project);

    // No rows; the currency goes back to the options' price currency. Notes
    // and labour position stay.
    void Clear();
    // Adds the row's quantity to the row of the same code, or appends a copy.
    void AddQuantity(const TRigaPreventivo& row);
    // Every field but the code into the row of that code, appended when absent.
    void SetRow(const TRigaPreventivo& row);
    void RemoveRow(const AnsiString& code);
    bool HasRow(const AnsiString& code) const;
    int32_t Count() const { return static_cast<int32_t>(rows_.size()); }
    // The walk over the rows: a copy of the first / next row; false past the last.
    bool FirstRow(TRigaPreventivo& row);
    bool NextRow(TRigaPreventivo& row);
    const std::vector<TRigaPreventivo>& Rows() const { return rows_; }

    // A price of the source currency in the estimate's currency. Without a
    // factor the price stays and a warning shows, once per source currency
    // and build.
    void ConvertToEstimateCurrency(float& price, int sourceCurrency);
    // Rebuilds the rows from the components of both grids, keeping the rows
    // added by hand after "MANOP" whose codes the build does not produce.
    void BuildFromCells();
    // Recomputes the labour hours from every row's minutes; row receives the
    // labour row. Nothing without a "MANOP" row.
    void UpdateLabourRow(TRigaPreventivo& row);

    // Section 200 body (the tag is the project's). Load raises EReadError
    // when the stream ends inside it.
    void Save(TStream& s, int32_t version) const;
    void Load(TStream& s, int32_t version);
    // Rows of sections 201 and 204 of files below version 20000.
    void LoadOldRows(TStream& s, int32_t tag, int32_t version);
    // The three notes of section 202 (121-byte texts) or of 203 (201 bytes).
    void LoadOldNotes(TStream& s, int width);

    TProgetto* Project = nullptr;
    uint8_t Currency = 1;         // index into the options' currency table
    int32_t LabourPosition = -1;  // -1: out of date
    AnsiString Notes[EstimateNotesCount];

private:
    TRigaPreventivo* Find(const AnsiString& code);
    void Append(const TRigaPreventivo& row);
    std::vector<TRigaPreventivo> rows_;
    // Position of each code's row: rows are found without a walk, so a file
    // of many rows loads in linear time.
    std::unordered_map<AnsiString, size_t> index_;
    size_t cursor_ = 0;
    bool newBuild_ = false;
    bool warned_[10] = {};
};

// Tags of the estimate sections.
constexpr int32_t TagEstimate = 200;
constexpr int32_t TagEstimateRows = 201;
constexpr int32_t TagEstimateNotes121 = 202;
constexpr int32_t TagEstimateNotes201 = 203;
constexpr int32_t TagEstimateRowsMinutes = 204;
