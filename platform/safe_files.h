#pragma once
// Whole files that must never be lost half-written: the settings file and the
// component libraries. A new content is built in a temporary file beside the
// old one, flushed to the disk and renamed over it, so that after an error, a
// full disk, a crash or a power cut the file holds either all of its old bytes
// or all of its new ones.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/sysutils.h"

// The file a path stands for: the end of its chain of symbolic links (the
// path itself when it is no link). A link to a missing file gives that file.
AnsiString ResolveLinks(const AnsiString& path);

// Replaces the whole content of path's file (through its symbolic links) by
// bytes. The file keeps its mode; a new file gets newMode. On failure the
// temporary file is removed, the old file is untouched, false is returned and
// error holds the system's error number. beforeRename, when given, runs once the
// new content is whole on disk, just before it takes the path: a non-zero
// error number from it fails the replace the same way (the old file stays).
bool ReplaceFileContent(const AnsiString& path, const std::string& bytes, unsigned newMode, int& error,
                        const std::function<int()>& beforeRename = {});

// Reads a whole file. A missing file gives false with error ENOENT.
bool ReadFileContent(const AnsiString& path, std::string& bytes, int& error);

// The system's reason for an error number, in Italian.
AnsiString SystemErrorText(int error);

// Faults for tests: the writes of ReplaceFileContent go through steps (one per
// byte written, then the flush, then the rename), and a test can stop them at
// any step, either as an error of the system (the writer sees it and cleans
// up) or as a crash (the writer stops dead: TSimulatedCrash is thrown and no
// clean-up runs, as if the program had died there). Reads can be made to fail.
namespace file_faults {
struct TSimulatedCrash {};
enum class TStop { Error, Crash };
// Stops the step with this number (counting from 0) of the replaces that
// follow, the way given; error is the error number an Error stop gives.
void StopAt(int64_t step, TStop how, int error);
// Every read of a whole file fails with this error number (0: reads work).
void FailReads(int error);
// Steps taken since the last StopAt or Reset.
int64_t Steps();
// Back to a working file system.
void Reset();
}  // namespace file_faults
