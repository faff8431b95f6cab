#pragma once
// References to a band system inside records (cells, filter modules): a
// system with an id character is written as that one byte (ids are characters
// of code 50 or more); one without id as a chunked text(21) of its name, which
// a reader tells apart by its first byte, a length below 50. No system is
// written as the empty text. (Channel plans are referred to the same way, by
// WritePlanReference and ReadPlanReference.)
#include <cstdint>

#include "platform/classes.h"

class TSistemaBande;

void WriteBandSystemRef(const TSistemaBande* system, TStream& stream, int32_t version);
// The band system referred to, or none (unknown id or name, empty name).
TSistemaBande* ReadBandSystemRef(TStream& stream, int32_t version);
