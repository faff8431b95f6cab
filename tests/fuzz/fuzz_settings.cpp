// The settings file: any bytes on file are read by the store and the options
// (limits, currencies, fonts, folders, switches) without a fault; once the
// options are saved, a second load and save write the same bytes, so that no
// value drifts from one run of the program to the next.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/ini.h"
#include "core/options.h"
#include "fuzz_support.h"

namespace {

// The folder of the settings file, removed when the fuzzer ends.
struct TFolder {
    std::string path;
    ~TFolder() {
        if (!path.empty()) std::filesystem::remove_all(path);
    }
};

TFolder folder;

std::string SettingsPath() { return folder.path + "/settings"; }

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Loads the options from the file and saves them back; answers the file.
std::string LoadAndSave() {
    {
        TIni ini;
        TOpzioni options(&ini, nullptr);
        options.Load();
        options.Save();
    }
    return ReadAll(SettingsPath());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzGlobals();
    // Every save flushes the file to disk: on a memory file system that costs
    // nothing, on a busy disk it held the fuzzer to one input a second.
    char inMemory[] = "/dev/shm/fuzz_settings_XXXXXX";
    char onDisk[] = "/tmp/fuzz_settings_XXXXXX";
    const char* made = mkdtemp(inMemory);
    if (!made) made = mkdtemp(onDisk);
    if (!made) std::abort();
    folder.path = made;
    ::setenv("ORDIVEX_VARNE_SETTINGS", SettingsPath().c_str(), 1);
    // The default projects and libraries folders, which the options make
    // when missing, in the run's folder rather than the user's home.
    ::setenv("XDG_DOCUMENTS_DIR", (folder.path + "/Documenti").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (folder.path + "/dati").c_str(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::filesystem::remove(SettingsPath() + ".danneggiato");
    {
        std::ofstream out(SettingsPath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const std::string first = LoadAndSave();
    const std::string second = LoadAndSave();
    if (first != second) std::abort();
    FuzzForgetMessages();
    return 0;
}
