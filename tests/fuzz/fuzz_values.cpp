// The small readers every file is made of: value arrays, channel lists,
// chunked strings and bitmaps. The first byte picks the reader, the second the
// file version (and, for value arrays, the rank and the sizes the caller sets
// before version 60000). What loads must save, load and save again to the
// same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "core/channel_list.h"
#include "core/file.h"
#include "core/info.h"
#include "fuzz_support.h"
#include "platform/graphics.h"

namespace {

enum Reader : uint8_t { ReadValues, ReadChannels, ReadTexts, ReadBitmap, Readers };

// The field sizes of the program's texts: a reader's size and the writer's
// that matches it (a size with its terminator, or a maximum; -1 / -2 none).
struct TextField {
    bool ansi;  // a maximum of characters, else a field size with terminator
    int size;
};
constexpr TextField TextFields[] = {{false, 5},   {false, 6},   {false, 11}, {false, 21}, {false, 128},
                                    {false, 201}, {false, 512}, {true, 10},  {true, 20},  {true, 30},
                                    {true, 50},   {true, 100},  {true, 500}, {true, -1}};

std::string SaveValues(const TInfo& info) {
    TMemoryStream s;
    info.Write(s, 60000);
    return s.Bytes();
}

void FuzzValues(const uint8_t* data, size_t size, int32_t version) {
    if (size < 4) return;
    const int rank = 2 + data[0] % 3;
    TInfo info(rank);
    if (version < 60000) {
        // Before version 60000 the caller gives the sizes; the program's are small.
        const int a = rank == 4 ? 1 + data[1] % 4 : 0, b = rank >= 3 ? 1 + data[2] % 6 : 0;
        info.SetSizes(a, b, 1 + data[3] % 12, 15);
    }
    TMemoryStream in(std::string(reinterpret_cast<const char*>(data) + 4, size - 4));
    try {
        info.Read(in, version);
    } catch (const EStreamError&) {
        return;
    }
    std::string once;
    try {
        once = SaveValues(info);
    } catch (const EWriteError&) {
        return;  // sizes that only an older record could state
    }
    TInfo again(rank);
    TMemoryStream back(once);
    again.Read(back, 60000);
    if (SaveValues(again) != once) std::abort();
}

std::string SaveChannels(const TListaCanali& list) {
    TMemoryStream s;
    list.Write(s, 60000);
    return s.Bytes();
}

void FuzzChannels(const uint8_t* data, size_t size, int32_t version) {
    TListaCanali list;
    TMemoryStream in(std::string(reinterpret_cast<const char*>(data), size));
    try {
        list.Read(in, version);
    } catch (const EStreamError&) {
        return;
    }
    // What was read is in frequency order, with no edge that is not a number.
    for (const TCanale* c = list.head; c && c->next; c = c->next)
        if (!(c->freqLow <= c->next->freqLow)) std::abort();
    const std::string once = SaveChannels(list);
    TListaCanali again;
    TMemoryStream back(once);
    again.Read(back, 60000);
    if (SaveChannels(again) != once) std::abort();
}

std::string SaveTexts(const std::vector<std::pair<TextField, AnsiString>>& texts) {
    TMemoryStream s;
    for (const auto& [field, text] : texts) {
        if (field.ansi)
            chunked::WriteAnsiString(s, text, field.size < 0 ? -2 : field.size);
        else
            chunked::WriteString(s, text, field.size);
    }
    return s.Bytes();
}

std::vector<std::pair<TextField, AnsiString>> ReadTextsOf(TStream& s, const std::vector<TextField>& fields) {
    std::vector<std::pair<TextField, AnsiString>> texts;
    for (const TextField& f : fields)
        texts.emplace_back(f, f.ansi ? chunked::ReadAnsiString(s, f.size) : chunked::ReadString(s, f.size));
    return texts;
}

void FuzzTexts(const uint8_t* data, size_t size) {
    // The first bytes name the fields, one byte each, up to a byte 0xFF.
    std::vector<TextField> fields;
    size_t at = 0;
    while (at < size && at < 16 && data[at] != 0xFF)
        fields.push_back(TextFields[data[at++] % (sizeof TextFields / sizeof TextFields[0])]);
    if (at < size) ++at;
    TMemoryStream in(std::string(reinterpret_cast<const char*>(data) + at, size - at));
    std::vector<std::pair<TextField, AnsiString>> texts;
    try {
        texts = ReadTextsOf(in, fields);
    } catch (const EStreamError&) {
        return;
    }
    const std::string once = SaveTexts(texts);
    TMemoryStream back(once);
    if (SaveTexts(ReadTextsOf(back, fields)) != once) std::abort();
}

std::string SaveBitmap(const TBitmap& bitmap) {
    TMemoryStream s;
    bitmap.SaveToStream(s);
    return s.Bytes();
}

void FuzzBitmap(const uint8_t* data, size_t size) {
    TBitmap bitmap;
    TMemoryStream in(std::string(reinterpret_cast<const char*>(data), size));
    try {
        bitmap.LoadFromStream(in);
    } catch (const EInvalidGraphic&) {
        return;
    } catch (const EStreamError&) {
        return;
    }
    // Pictures of millions of pixels are valid, but slow the search for nothing.
    if (static_cast<long long>(bitmap.Width) * bitmap.Height > 1 << 20) return;
    const std::string once = SaveBitmap(bitmap);
    TBitmap again;
    TMemoryStream back(once);
    again.LoadFromStream(back);
    if (SaveBitmap(again) != once) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzGlobals();
    if (size < 2) return 0;
    const int32_t version = FuzzVersion(data[1]);
    switch (data[0] % Readers) {
    case ReadValues: FuzzValues(data + 2, size - 2, version); break;
    case ReadChannels: FuzzChannels(data + 2, size - 2, version); break;
    case ReadTexts: FuzzTexts(data + 2, size - 2); break;
    case ReadBitmap: FuzzBitmap(data + 2, size - 2); break;
    default: break;
    }
    FuzzForgetMessages();
    return 0;
}
