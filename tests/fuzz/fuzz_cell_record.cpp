// A cell record of any file version, read into the cell its head names. A
// record that reads must write and read back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "cells/cell.h"
#include "cells/factory.h"
#include "cells/record.h"
#include "core/file.h"
#include "fuzz_support.h"

namespace {

std::string Saved(TCella& cell) {
    TMemoryStream s;
    cell.Save(s, RecordVersion);
    return s.Bytes();
}

std::unique_ptr<TCella> ReadBack(const std::string& record) {
    TMemoryStream s(record);
    const int32_t code = ReadI32(s), in = ReadI32(s), through = ReadI32(s), tap = ReadI32(s);
    std::unique_ptr<TCella> cell(NewCella(nullptr, code, 0, 0, in, through, tap));
    if (!cell || ReadCellRecord(*cell, s, RecordVersion) != TRecordResult::Ok) std::abort();
    return cell;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzGlobals();
    if (size < 1 + RecordHeadBytes) return 0;
    const int32_t version = FuzzVersion(data[0]);
    TMemoryStream s(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    const int32_t code = ReadI32(s), in = ReadI32(s), through = ReadI32(s), tap = ReadI32(s);
    std::unique_ptr<TCella> cell(NewCella(nullptr, code, 0, 0, in, through, tap));
    if (!cell) return 0;
    if (ReadCellRecord(*cell, s, version) != TRecordResult::Ok) return 0;
    // What was read is written as the current version, and that reads back
    // to the same bytes.
    const std::string once = Saved(*cell);
    FuzzForgetMessages();
    // Old cables are read and converted, never written.
    if (once.size() < static_cast<size_t>(RecordHeadBytes)) return 0;
    std::unique_ptr<TCella> back = ReadBack(once);
    if (Saved(*back) != once) std::abort();
    FuzzForgetMessages();
    return 0;
}
