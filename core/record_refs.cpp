#include "core/record_refs.h"

#include "core/band_systems.h"
#include "core/file.h"
#include "core/globals.h"

namespace {

// Ids are characters of code 50 or more; a smaller first byte is the length
// of a name.
constexpr int8_t FirstId = 50;
constexpr int NameField = 21;

bool IsIdByte(char c) { return static_cast<int8_t>(c) >= FirstId; }

void WriteRef(char id, const AnsiString& name, bool present, TStream& s) {
    if (present && IsIdByte(id))
        WriteU8(s, static_cast<uint8_t>(id));
    else
        chunked::WriteString(s, present ? name : AnsiString(), NameField);
}

// Reads a reference: true with the id, or false with the name (possibly empty).
bool ReadRef(TStream& s, char& id, AnsiString& name) {
    const int8_t first = ReadI8(s);
    if (first >= FirstId) {
        id = static_cast<char>(first);
        return true;
    }
    s.Seek(-1, soFromCurrent);
    name = chunked::ReadString(s, NameField);
    return false;
}

}  // namespace

void WriteBandSystemRef(const TSistemaBande* system, TStream& stream, int32_t) {
    WriteRef(system ? system->id : 0, system ? system->name : AnsiString(), system != nullptr, stream);
}

TSistemaBande* ReadBandSystemRef(TStream& stream, int32_t) {
    char id = 0;
    AnsiString name;
    const bool byId = ReadRef(stream, id, name);
    if (!SistemiBande) return nullptr;
    if (byId) return SistemiBande->FindById(id);
    return name.empty() ? nullptr : SistemiBande->Find(name);
}
