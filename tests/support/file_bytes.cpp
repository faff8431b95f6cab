#include "support/file_bytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    // The old entry goes first; the new file is made where it stood.
    std::error_code ec;
    std::filesystem::remove(path, ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    EXPECT_TRUE(out) << "cannot write " << path;
}

std::set<std::string> FolderEntries(const std::string& folder) {
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec))
        names.insert(e.path().filename().string());
    return names;
}
