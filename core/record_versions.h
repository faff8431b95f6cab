#pragma once
// The versions of the program's files. A project, a library and every record
// in them (cells, channel lists, filter modules, tables, settings) are read by
// the version of the file they come in; the readers accept every version
// below, and write the current one. A reader that branches on a change names
// the change after one of these (VersionWithPortCounts = V20000, ...).
#include <cstdint>

constexpr int32_t V10000 = 10000;  // the first files: six band vectors of ten values, raw texts
constexpr int32_t V10001 = 10001;  // project files "ant 1.0.1"
constexpr int32_t V10002 = 10002;  // amplifiers keep their output count; first library version
constexpr int32_t V20000 = 20000;  // chunked texts, port counts in the record head, tagged project sections
constexpr int32_t V30000 = 30000;  // last version with the final amplifier's half-step orientation
constexpr int32_t V40000 = 40000;  // series, notes, choices, characteristics; regulation groups; repeats
constexpr int32_t V50000 = 50000;  // power and position words, the new level sentinels
constexpr int32_t V50100 = 50100;  // channel signal types, switches' own lines, settings' signal kinds
constexpr int32_t V60000 = 60000;  // table headers, characteristics as words, module lists

// The version every writer writes.
constexpr int32_t CurrentVersion = V60000;
