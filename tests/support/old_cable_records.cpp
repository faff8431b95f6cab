#include "support/old_cable_records.h"

#include "core/levels.h"

namespace {
// A text as one chunk of its own length (below 255 characters).
void Chunk(RecordBytes& r, const std::string& text) { r.U8(static_cast<uint8_t>(text.size())).Raw(text); }
}  // namespace

RecordBytes OldCableRecord::Body(int32_t version) const {
    RecordBytes r;
    Chunk(r, Code);
    Chunk(r, "Articolo");
    Chunk(r, "Cavi");
    if (version >= 40000) Chunk(r, "S1");
    r.I32(Orientation).I32(Column).I32(Row);
    r.U8(Bend).U8(HasFirst).U8(HasSecond);
    r.I32(0x0000FF).I32(0x008000);  // colours as values
    r.U8(1).U8(1);                  // both cables described
    r.U8('3').U8(1);
    Chunk(r, "Primo");
    Chunk(r, "");
    Chunk(r, "Marca");
    r.F32(-1.0f).I32(-1);
    for (int b = 0; b < BandSlots; ++b) r.F32(b == 3 ? -1.0f : 20.0f);
    r.F32(FirstLength);
    r.U8('3').U8(2);
    Chunk(r, "Secondo");
    Chunk(r, "n2");
    Chunk(r, "Marca2");
    Chunk(r, "C2");
    Chunk(r, "Art2");
    Chunk(r, "Ponti");
    if (version >= 40000) Chunk(r, "S2");
    r.F32(SecondPrice).I32(-2);
    for (int b = 0; b < BandSlots; ++b) r.F32(30.0f);
    r.F32(7.0f);
    if (version >= 40000) {
        Chunk(r, "interne");
        Chunk(r, "est");
        r.U8(1).U8(2).U8(0);
    }
    return r;
}

RecordBytes OldCableRecord::Whole(int32_t typeCode, int32_t version) const {
    RecordBytes r;
    r.I32(typeCode).I32(2).I32(2).I32(0);
    r.Raw(Body(version).Bytes());
    return r;
}

// The base record of files below version 20000: grid selector, geometry,
// six (version 10000) or ten band vectors of ten floats, raw texts.
RecordBytes OldBaseRecord(int32_t version, int32_t orientation, int32_t mirrored, float firstLength,
                          float secondLength, int32_t column, int32_t row) {
    RecordBytes r;
    r.I32(1).I32(orientation).I32(mirrored).I32(column).I32(row);
    const int vectors = version == 10000 ? 6 : 10;
    for (int k = 0; k < vectors; ++k)
        for (int i = 0; i < 10; ++i) {
            float v = 10.0f + static_cast<float>(k);  // loss per 100 m of the two cables
            if (k == 2) v = i == 0 ? firstLength : 0.0f;
            if (k == 3) v = i == 0 ? secondLength : 0.0f;
            r.F32(v);
        }
    r.Fixed("Cavo coassiale", 30).Fixed("", 100).Fixed("Marca", 20).Fixed("CX1", 20).Fixed("3,5", 15);
    r.U8(1).I32(12).U8(0);
    return r;
}

// What a TCavo adds below version 20000.
RecordBytes& OldCableFields(RecordBytes& r, uint8_t bend, uint8_t hasFirst, uint8_t hasSecond,
                            int32_t firstColour, int32_t secondColour, const std::string& secondDescription,
                            int32_t secondMinutes) {
    r.U8(bend).U8(hasFirst).U8(hasSecond).I32(firstColour).I32(secondColour);
    r.Fixed(secondDescription, 30).Fixed("note", 100).Fixed("Brand2", 20).Fixed("CX2", 20).Fixed("12,5", 15);
    r.U8(1).I32(secondMinutes);
    return r;
}
