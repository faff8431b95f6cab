#include "support/record_bytes.h"

#include <cctype>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "cells/cell.h"
#include "cells/prototypes.h"
#include "cells/record.h"
#include "core/file.h"
#include "core/globals.h"
#include "core/libraries.h"

RecordBytes& RecordBytes::I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }

RecordBytes& RecordBytes::U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    return *this;
}

RecordBytes& RecordBytes::U8(uint8_t v) {
    bytes_.push_back(static_cast<char>(v));
    return *this;
}

RecordBytes& RecordBytes::F32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return U32(bits);
}

RecordBytes& RecordBytes::Text(const std::string& text, int size) {
    TMemoryStream s;
    chunked::WriteString(s, text, size);
    bytes_ += s.Bytes();
    return *this;
}

RecordBytes& RecordBytes::Raw(const std::string& bytes) {
    bytes_ += bytes;
    return *this;
}

RecordBytes& RecordBytes::Fixed(const std::string& text, int size) {
    std::string field = text.substr(0, static_cast<size_t>(size));
    field.resize(static_cast<size_t>(size), '\0');
    bytes_ += field;
    return *this;
}

RecordBytes& RecordBytes::Zeros(int n) {
    bytes_.append(static_cast<size_t>(n), '\0');
    return *this;
}

std::string ReadHexFixture(const std::string& name) {
    const std::string path = std::string(OV_FIXTURES_DIR) + "/" + name;
    std::ifstream in(path);
    if (!in) throw std::runtime_error("missing fixture " + path);
    std::string bytes, line;
    while (std::getline(in, line)) {
        if (auto hash = line.find('#'); hash != std::string::npos) line.resize(hash);
        std::string digits;
        for (char c : line)
            if (std::isxdigit(static_cast<unsigned char>(c)))
                digits += c;
            else if (!std::isspace(static_cast<unsigned char>(c)))
                throw std::runtime_error("bad character in fixture " + path);
        if (digits.size() % 2) throw std::runtime_error("odd hex digits in fixture " + path + ": " + line);
        for (size_t i = 0; i < digits.size(); i += 2)
            bytes.push_back(static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

std::string HexDump(const std::string& bytes) {
    std::ostringstream out;
    static const char* digits = "0123456789abcdef";
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out << digits[b >> 4] << digits[b & 15] << ((i % 16 == 15) ? '\n' : ' ');
    }
    return out.str();
}

ScopedPrototypes::ScopedPrototypes()
    : saved_(UltimiComponenti), prototypes_(std::make_unique<TUltimiComponenti>()) {
    UltimiComponenti = prototypes_.get();
}

ScopedPrototypes::~ScopedPrototypes() { UltimiComponenti = saved_; }

ScopedLibraries::ScopedLibraries() : saved_(Librerie), libraries_(std::make_unique<TLibrerie>()) {
    Librerie = libraries_.get();
}

ScopedLibraries::~ScopedLibraries() { Librerie = saved_; }

std::string SavedRecord(TCella& cell, int32_t version) {
    TMemoryStream s;
    cell.Save(s, version);
    return s.Bytes();
}

TRecordResult ReadRecordInto(TCella& cell, const std::string& bytes, int32_t version) {
    TMemoryStream s(bytes);
    s.SetPosition(RecordHeadBytes);
    return ReadCellRecord(cell, s, version);
}

RecordBytes OldCellRecord(const TOldRecordSpec& spec) {
    const int32_t v = spec.Version;
    RecordBytes b;
    b.I32(spec.Code).I32(spec.Inputs).I32(spec.Through).I32(0);
    b.Text("OLD", 20).Text("", 30).Text("", 30);
    if (v >= 40000) b.Text("", 20);
    b.U8(0);
    if (v < 50000) b.F32(-1.0f).F32(35.0f);
    b.U8('3');
    b.I32(spec.Orientation).I32(0).I32(spec.Column).I32(spec.Row);
    b.U8(1).Text("Vecchio", 30).Text("", 100).Text("", 20).F32(0.0f).U8(1).I32(10);
    b.U8(0);
    b.I32(15);
    for (int32_t r = 0; r < spec.Rows; ++r) {
        for (size_t k = 0; k < spec.Columns.size(); ++k) {
            b.U8(static_cast<uint8_t>(k));
            for (float value : spec.Columns[k]) b.F32(value);
        }
        b.U8(0xFF);
    }
    if (v >= 40000) {
        b.Text("", 100).Text("", 11).U8(0).U8(0).U8(0);
        if (v < 50000) b.Zeros(5);
        b.U8(0).U8(0).U8(0).U8(spec.Characteristics);
    }
    if (v >= 50000) {
        b.F32(-500001.0f).F32(0.0f).F32(0.0f);
        for (int i = 0; i < 12; ++i) b.U32(0);
        b.U32(255).U32(255);
    }
    return b;
}

RecordBytes VeryOldCellRecord(int32_t version, int32_t selector, int32_t orientation,
                              const std::vector<std::vector<float>>& vectors) {
    RecordBytes b;
    b.Zeros(16);
    b.I32(selector).I32(orientation).I32(0).I32(5).I32(3);
    const size_t count = version == 10000 ? 6 : 10;
    for (size_t k = 0; k < count; ++k)
        for (size_t i = 0; i < 10; ++i)
            b.F32(k < vectors.size() && i < vectors[k].size() ? vectors[k][i] : -1.0f);
    b.Fixed("Vecchio", 30).Fixed("", 100).Fixed("", 20).Fixed("", 20).Fixed("", 15);
    b.U8(1).I32(5).U8(0);
    return b;
}
