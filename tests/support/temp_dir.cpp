#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace {
std::string MakeFolder(const std::string& base) {
    std::string pattern = base + "/ordivex-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!::mkdtemp(buf.data())) throw std::runtime_error("cannot make a temporary folder from " + pattern);
    return buf.data();
}

std::string DefaultBase() {
    const char* base = std::getenv("TMPDIR");
    return base && *base ? base : "/tmp";
}
}  // namespace

TempDir::TempDir() : path_(MakeFolder(DefaultBase())) {}

TempDir::TempDir(InMemory) {
    std::error_code ec;
    const bool shm = std::filesystem::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0;
    path_ = MakeFolder(shm ? "/dev/shm" : DefaultBase());
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::File(const std::string& name) const { return path_ + "/" + name; }
