#pragma once
// The cell record: the same bytes form a cell of a project grid and an entry
// of a component library. TCella::Save writes the base record (type code,
// counts, texts, geometry, commercial data, the six tables, power data); each
// class appends its own fields after it. TCella::Load reads the record after
// the type code and the three counts, which the grid or library reader has
// consumed to build the cell (record start + 16).
//
// Readers branch on the file version (10000 to 60000); the writer always
// writes version 60000.
#include <cstdint>

#include "core/record_versions.h"
#include "platform/classes.h"

class TCella;

constexpr int32_t RecordVersion = CurrentVersion;

// Bytes of the record head read before the cell exists: type code and three
// port counts.
constexpr int RecordHeadBytes = 16;

// Writes the whole record of a cell (head, base record and class fields).
void SaveCellRecord(TCella& cell, TStream& stream, int32_t version);

// Reads the rest of a record into a cell built from its head. False when the
// record does not read: the stream ends inside it, or what it holds does not
// fit the cell (table shapes, orientation, band system); the cell is then in
// an unspecified but destructible state.
enum class TRecordResult { Ok, Truncated, Damaged };
TRecordResult ReadCellRecord(TCella& cell, TStream& stream, int32_t version);
bool LoadCellRecord(TCella& cell, TStream& stream, int32_t version);

// True when the cell's six tables have the shapes its port table gives them,
// or hold nothing.
bool TablesFitPortTable(const TCella& cell);

// Per-row level vectors of records older than version 20000, for classes with
// more than one row of Attenuation: rows 1 to TableRows - 1, 6 vectors
// (version 10000) or 10 vectors of 10 floats each, converted from the band
// system "FM-I/V-5" to "CR-FM-I/V-5"; old sentinel codes in those rows become
// the present ones.
void LoadLevelRows(TCella& cell, TStream& stream, int32_t version);

// Values written by files below version 50000 as small negative codes (-1 for
// "no value", -2 for "blocked", ...) become the present sentinels.
float ConvertOldSentinel(float value);

// The supplies of records before 50000 kept their own current in Current1:
// it moves to Current2, Current1 becomes 0.
void MoveOldSupplyCurrent(TCella& cell);
