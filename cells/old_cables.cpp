// The cable cell of older project files: its record, read only, and its
// conversion into cable segments.
#include <cstring>
#include <memory>
#include <string>

#include "cells/cables.h"
#include "cells/record.h"
#include "core/band_systems.h"
#include "core/file.h"
#include "core/globals.h"
#include "core/info.h"
#include "core/record_refs.h"
#include "core/record_versions.h"
#include "platform/application.h"
#include "platform/codec.h"

namespace {

constexpr int32_t ColumnFirstLoss = 0;
constexpr int32_t ColumnSecondLoss = 1;
constexpr int32_t ColumnFirstLength = 2;
constexpr int32_t ColumnSecondLength = 3;
constexpr int32_t SegmentColumnLoss = 0;
constexpr int32_t SegmentColumnLength = 1;

// Fields of the second cable, with their terminators.
constexpr int SecondDescriptionSize = 30;
constexpr int SecondArticleSize = 30;
constexpr int SecondNotesSize = 100;
constexpr int SecondBrandSize = 20;
constexpr int SecondCodeSize = 20;
constexpr int SecondSeriesSize = 20;
constexpr int SecondCategorySize = 32;
constexpr int SecondInternalNotesSize = 100;
constexpr int SecondExternalNotesSize = 11;
// The old record's category text holds up to 30 characters; both category
// fields have room for them.
constexpr int OldCategoryRead = 31;
static_assert(OldCategoryRead <= SecondCategorySize);

// Raw text fields of records before version 20000.
constexpr int RawDescriptionBytes = 30;
constexpr int RawNotesBytes = 100;
constexpr int RawBrandBytes = 20;
constexpr int RawCodeBytes = 20;
constexpr int RawPriceBytes = 15;

constexpr const char* OldCableSaveCaption = "Errore registrazione cavo";

// A raw field of bytes bytes read into a field of size characters with its
// terminator: the text ends at the first NUL and keeps at most size - 1
// characters.
AnsiString ReadRawField(TStream& s, int bytes, int size) {
    std::string raw(static_cast<size_t>(bytes), '\0');
    s.ReadBuffer(raw.data(), bytes);
    raw.resize(std::min(std::strlen(raw.c_str()), static_cast<size_t>(size - 1)));
    return Win1252ToUtf8(raw);
}

void ReadVector(TStream& s, TInfo& table, int32_t column) {
    for (int32_t b = 0; b < BandSlots; ++b) table.Set3(0, column, b, ReadF32(s));
}

int32_t ConvertOldMinutes(int32_t minutes) {
    return minutes > -100 && minutes < 0 ? minutes - 500000 : minutes;
}

int ShowSaveRefusal() {
    return Application ? Application->MessageBox("", OldCableSaveCaption, MB_OK | MB_ICONWARNING) : IDOK;
}

}  // namespace

TCavo::TCavo(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
             uint8_t bend, int32_t colour)
    : TCella(owner, orientation, mirrored, column, row, 2, 2, 0),
      Bend(bend),
      HasFirst(bend || (orientation % 2) != 0 ? 1 : 0),
      HasSecond(!bend && (orientation % 2) == 0 ? 1 : 0),
      SecondBandSystem(SistemaBande3),
      FirstColour(colour),
      SecondColour(colour),
      SecondCategory("Cavi") {
    TypeCode = bend ? CodeOldCableBend : CodeOldCableStraight;
    Kind = KindOldCable;
    SetPortCounts();
    Attenuation->Alloc3(TableRows, TableColumns, BandSlots);
    Category = "Cavi";
    if (!bend) {
        Mirrored = 0;
        Orientation = 0;
    }
}

TCavo::~TCavo() = default;

void TCavo::SetPortCounts() { TCella::SetPortCounts(); }

void TCavo::SetBandSystem(TSistemaBande* system) {
    if (BandSystem && system && BandSystem != system) {
        for (int32_t column : {ColumnFirstLoss, ColumnSecondLoss}) {
            float loss[BandSlots];
            for (int32_t b = 0; b < BandSlots; ++b) loss[b] = Attenuation->Get3(0, column, b);
            BandSystem->LevelsByBand(*system, loss);
            for (int32_t b = 0; b < BandSlots; ++b) Attenuation->Set3(0, column, b, loss[b]);
        }
    }
    BandSystem = system;
}

void TCavo::Save(TStream&, int32_t) { ShowSaveRefusal(); }

// An old cable cannot go into a library: after the message the registration
// fails, so nothing is added.
bool TCavo::RegisterInLibrary(TLibreria*) {
    ShowSaveRefusal();
    return false;
}

void TCavo::Load(TStream& stream, int32_t version) {
    if (version < V20000)
        LoadBefore20000(stream, version);
    else
        LoadFrom20000(stream, version);

    if (TypeCode == CodeOldCableStraight) {
        Orientation = 0;
        Mirrored = 0;
    }
    if (version >= V40000) {
        SecondInternalNotes = chunked::ReadString(stream, SecondInternalNotesSize);
        SecondExternalNotes = chunked::ReadString(stream, SecondExternalNotesSize);
        SecondChoice1 = ReadU8(stream);
        SecondChoice2 = ReadU8(stream);
        SecondChoice3 = ReadU8(stream);
    }
    if (version < V50000) ConvertOldSentinels();
}

void TCavo::LoadBefore20000(TStream& stream, int32_t version) {
    TCella::Load(stream, version);
    Bend = ReadU8(stream);
    HasFirst = ReadU8(stream);
    HasSecond = ReadU8(stream);
    if (TypeCode == CodeOldCableBend) {
        HasFirst = 1;
        HasSecond = 0;
    }
    FirstColour = OldCableColour(ReadI32(stream));
    SecondColour = OldCableColour(ReadI32(stream));
    SecondDescription = ReadRawField(stream, RawDescriptionBytes, SecondDescriptionSize);
    SecondNotes = ReadRawField(stream, RawNotesBytes, SecondNotesSize);
    SecondBrand = ReadRawField(stream, RawBrandBytes, SecondBrandSize);
    SecondCode = ReadRawField(stream, RawCodeBytes, SecondCodeSize);
    const AnsiString price = ReadRawField(stream, RawPriceBytes, RawPriceBytes + 1);
    try {
        SecondPrice = TextToFloatLenient(price);
    } catch (const EConvertError&) {
        SecondPrice = 0.0f;
    }
    SecondDescribed = ReadU8(stream);
    SecondInstallMinutes = ReadI32(stream);
    SetPortCounts();
}

void TCavo::LoadFrom20000(TStream& stream, int32_t version) {
    Code = chunked::ReadString(stream, CodeSize);
    Article = chunked::ReadString(stream, ArticleSize);
    Category = chunked::ReadString(stream, OldCategoryRead);
    if (version >= V40000) Series = chunked::ReadString(stream, SeriesSize);
    Orientation = ReadI32(stream);
    Column = ReadI32(stream);
    Row = ReadI32(stream);
    Bend = ReadU8(stream);
    HasFirst = ReadU8(stream);
    HasSecond = ReadU8(stream);
    FirstColour = ReadI32(stream);
    SecondColour = ReadI32(stream);
    Described = ReadU8(stream);
    SecondDescribed = ReadU8(stream);
    if (Described) {
        BandSystem = ReadBandSystemRef(stream, version);
        Currency = ReadU8(stream);
        Description = chunked::ReadString(stream, DescriptionSize);
        Notes = chunked::ReadString(stream, NotesSize);
        Brand = chunked::ReadString(stream, BrandSize);
        Price = ReadF32(stream);
        InstallMinutes = ReadI32(stream);
        ReadVector(stream, *Attenuation, ColumnFirstLoss);
        Attenuation->Set3(0, ColumnFirstLength, 0, ReadF32(stream));
    }
    if (SecondDescribed) {
        SecondBandSystem = ReadBandSystemRef(stream, version);
        // A band system no one knows leaves the second cable's losses
        // without meaning: the record is damaged.
        if (!SecondBandSystem) throw EReadError("unknown band system of the second cable");
        SecondCurrency = ReadU8(stream);
        SecondDescription = chunked::ReadString(stream, SecondDescriptionSize);
        SecondNotes = chunked::ReadString(stream, SecondNotesSize);
        SecondBrand = chunked::ReadString(stream, SecondBrandSize);
        SecondCode = chunked::ReadString(stream, SecondCodeSize);
        SecondArticle = chunked::ReadString(stream, SecondArticleSize);
        SecondCategory = chunked::ReadString(stream, OldCategoryRead);
        if (version >= V40000) SecondSeries = chunked::ReadString(stream, SecondSeriesSize);
        SecondPrice = ReadF32(stream);
        SecondInstallMinutes = ReadI32(stream);
        ReadVector(stream, *Attenuation, ColumnSecondLoss);
        Attenuation->Set3(0, ColumnSecondLength, 0, ReadF32(stream));
    }
}

// Files below version 50000 wrote "no value" as small negative codes. Both
// cables are converted alike: price, minutes, length and losses.
void TCavo::ConvertOldSentinels() {
    for (int32_t column : {ColumnFirstLoss, ColumnSecondLoss})
        for (int32_t b = 0; b < BandSlots; ++b)
            Attenuation->Set3(0, column, b, ConvertOldSentinel(Attenuation->Get3(0, column, b)));
    for (int32_t column : {ColumnFirstLength, ColumnSecondLength})
        Attenuation->Set3(0, column, 0, ConvertOldSentinel(Attenuation->Get3(0, column, 0)));
    Price = ConvertOldSentinel(Price);
    InstallMinutes = ConvertOldMinutes(InstallMinutes);
    SecondPrice = ConvertOldSentinel(SecondPrice);
    SecondInstallMinutes = ConvertOldMinutes(SecondInstallMinutes);
}

TCavo::TSegments TCavo::ToNCavo() {
    TSegments made;
    if (Bend || HasFirst) {
        made.First =
            std::make_unique<TNCavo>(Owner, Bend ? Orientation : 1, Mirrored, Column, Row, Bend, FirstColour);
        TNCavo* segment = made.First.get();
        if (FirstBridge) segment->TypeCode = CodeBridge;
        segment->RunEnd = FirstRunEnd;
        Assign(segment);
        // The segment's table: loss per 100 m, then the length.
        for (int32_t b = 0; b < BandSlots; ++b) {
            segment->Attenuation->Set3(0, SegmentColumnLength, b, Attenuation->Get3(0, ColumnFirstLength, b));
            segment->Attenuation->Set3(0, 2, b, LevelNone);
            segment->Attenuation->Set3(0, 3, b, LevelNone);
        }
    }
    if (!Bend && HasSecond) {
        made.Second = std::make_unique<TNCavo>(Owner, 0, Mirrored, Column, Row, 0, SecondColour);
        TNCavo* segment = made.Second.get();
        if (SecondBridge) segment->TypeCode = CodeBridge;
        segment->RunEnd = SecondRunEnd;
        segment->Described = SecondDescribed;
        segment->BandSystem = SecondBandSystem;
        for (int32_t b = 0; b < BandSlots; ++b) {
            segment->Attenuation->Set3(0, SegmentColumnLoss, b, Attenuation->Get3(0, ColumnSecondLoss, b));
            segment->Attenuation->Set3(0, SegmentColumnLength, b,
                                       Attenuation->Get3(0, ColumnSecondLength, b));
        }
        segment->Currency = SecondCurrency;
        segment->Description = SecondDescription;
        segment->Article = SecondArticle;
        segment->Notes = SecondNotes;
        segment->Brand = SecondBrand;
        segment->Code = SecondCode;
        segment->Series = SecondSeries;
        segment->Category = SecondCategory;
        segment->Price = SecondPrice;
        segment->InstallMinutes = SecondInstallMinutes;
        segment->InternalNotes = SecondInternalNotes;
        segment->ExternalNotes = SecondExternalNotes;
        segment->Choice1 = SecondChoice1;
        segment->Choice2 = SecondChoice2;
        segment->Choice3 = SecondChoice3;
    }
    return made;
}

int32_t OldCableColour(int32_t index) {
    // Windows colour values: red in the low byte, then green, then blue.
    // clang-format off
    static constexpr int32_t colours[] = {
        0x000000,  // black
        0x0000FF,  // red
        0x008000,  // green
        0xFF0000,  // blue
        0x00FFFF,  // yellow
        0x000080,  // maroon
        0xFF00FF,  // magenta
        0x808080,  // grey
        0x800000,  // navy
    };
    // clang-format on
    constexpr int32_t count = static_cast<int32_t>(sizeof colours / sizeof colours[0]);
    if (index < 0) index = 0;
    if (index >= count) return 0;
    return colours[index];
}

