#pragma once
// Records of the old cable cell as files of version 20000 and later hold
// them, for the tests of the old cable and of the grid sections that carry it.
#include <cstdint>
#include <string>

#include "support/record_bytes.h"

struct OldCableRecord {
    int32_t Orientation = 1;
    int32_t Column = 8;
    int32_t Row = 9;
    uint8_t Bend = 0;
    uint8_t HasFirst = 1;
    uint8_t HasSecond = 1;
    float FirstLength = 5.0f;
    float SecondPrice = 1.0f;
    std::string Code = "C1";

    // The record after its type code and port counts.
    RecordBytes Body(int32_t version) const;
    // The whole record, type code and counts first.
    RecordBytes Whole(int32_t typeCode, int32_t version) const;
};

// The base record of files below version 20000: grid selector (network),
// geometry, six (version 10000) or ten band vectors of ten floats (vectors 2
// and 3 carry the two lengths of an old cable), raw texts.
RecordBytes OldBaseRecord(int32_t version, int32_t orientation, int32_t mirrored, float firstLength,
                          float secondLength, int32_t column = 4, int32_t row = 6);
// What an old cable cell adds to it below version 20000.
RecordBytes& OldCableFields(RecordBytes& r, uint8_t bend, uint8_t hasFirst, uint8_t hasSecond,
                            int32_t firstColour, int32_t secondColour, const std::string& secondDescription,
                            int32_t secondMinutes);
