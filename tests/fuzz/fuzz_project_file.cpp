// A whole project file, read as the open command reads it into a project,
// with an empty settings file. A file that loads must save, load and save
// again to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

#include "core/globals.h"
#include "core/ini.h"
#include "document/project.h"
#include "document/project_files.h"
#include "fuzz_support.h"
#include "platform/classes.h"

namespace {

// The settings store of the run: a file of its own, empty at the start.
void EmptySettings() {
    static bool made = false;
    if (made) return;
    made = true;
    char path[] = "/tmp/ordivex-fuzz-settings-XXXXXX";
    const int fd = mkstemp(path);
    if (fd >= 0) close(fd);
    setenv("ORDIVEX_VARNE_SETTINGS", path, 1);
    Ini = new TIni;
}

std::string Saved(const TProgetto& project) {
    TMemoryStream s;
    WriteProjectFile(s, project, ProjectVersionCurrent);
    return s.Bytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzGlobals();
    EmptySettings();
    TFileProgetto files(nullptr, nullptr);
    TProgetto project(nullptr);
    project.Reset(true);
    TMemoryStream s(std::string(reinterpret_cast<const char*>(data), size));
    const int loaded = files.LoadProjectFrom(s, "fuzz.ant", project);
    FuzzForgetMessages();
    if (loaded != 0) return 0;

    const std::string once = Saved(project);
    TProgetto again(nullptr);
    TMemoryStream t(once);
    if (files.LoadProjectFrom(t, "fuzz.ant", again) != 0) std::abort();
    if (Saved(again) != once) std::abort();
    return 0;
}
