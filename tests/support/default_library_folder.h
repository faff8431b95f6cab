#pragma once
// The default library "Varne.alb" and "Default.sel" of the generator, written
// once per test program into a folder in memory (writing them flushes every
// file to the disk, which takes its time); the test that calls first must
// have the program-wide objects in place. Header only: a suite that uses it
// links the generator's library.
#include <gtest/gtest.h>

#include <string>

#include "core/libraries.h"
#include "support/temp_dir.h"
#include "tools/default_library/default_library.h"

inline const std::string& DefaultLibraryFolder() {
    static TempDir dir{TempDir::InMemory{}};
    static bool written = false;
    if (!written) {
        AnsiString failure;
        written = WriteDefaultLibrary(dir.Path(), failure);
        EXPECT_TRUE(written) << failure;
    }
    return dir.Path();
}

// The default library registered as the program registers it.
inline TLibreria* RegisterDefaultLibrary(TLibrerie& libraries) {
    auto* library = new TLibreria;
    library->fileName = DefaultLibraryFolder() + "/" + DefaultLibraryFile;
    libraries.Append(std::unique_ptr<TLibreria>(library));
    return library;
}
