#pragma once
// Whole files that must never be lost half-written: the settings file and the
// component libraries. A new content is built in a temporary file beside the
// old one, flushed to the disk and renamed over it, so that after an error, a
// full disk, a crash or a power cut the file holds either all of its old bytes
// or all of its new ones.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/sysutils.h"

// The file a path stands for: the end of its chain of symbolic links (the
// path itself when it is no link). A link to a missing file gives that file.
AnsiString ResolveLinks(const AnsiString& path);

// Replaces the whole content of path's file (through its symbolic links: the
// link stays and its target, in the target's own folder, takes the bytes).
// The file keeps its mode; a new file gets newMode. On failure the temporary
// files are removed, the old file is untouched, false is returned and error
// holds the system's error number.
//
// backup, when not empty, is the name (in the target's folder) that keeps the
// replaced file. The old file never leaves its name: a copy of it (a hard
// link, or a copy where the file system has none) takes the backup name in
// one rename, then the new file takes the name in another. A failure at any
// step leaves the old file under the name and the previous backup as it was;
// after a success the new file has the name and the old one is the backup.
//
// The temporary files carry the writer's process number; a replace first
// removes those beside the file that writers no longer running left there.
bool ReplaceFileContent(const AnsiString& path, const std::string& bytes, unsigned newMode, int& error,
                        const AnsiString& backup = {});

// The temporary files of interrupted replaces of path (through its links)
// that lie beside it and whose writer is no longer running.
std::vector<AnsiString> LeftoverTemporaries(const AnsiString& path);

// Reads at most count bytes from the start of a file (fewer at its end).
bool ReadFileHead(const AnsiString& path, size_t count, std::string& bytes, int& error);

// Reads a whole file. A missing file gives false with error ENOENT.
bool ReadFileContent(const AnsiString& path, std::string& bytes, int& error);

// The system's reason for an error number, in Italian.
AnsiString SystemErrorText(int error);

// Faults for tests: the writes of ReplaceFileContent go through steps (one per
// byte written, then the flush, the close, the backup copy, the keeping of
// the previous backup, the rename to the backup and the rename to the name:
// see ReplaceSteps), and a test can stop them at
// any step, either as an error of the system (the writer sees it and cleans
// up) or as a crash (the writer stops dead: TSimulatedCrash is thrown and no
// clean-up runs, as if the program had died there). Reads can be made to fail.
namespace file_faults {
// Steps of a replace after the bytes: flush, close, backup copy, previous
// backup kept, backup rename, final rename (the backup steps only when a
// backup is asked for and the old file exists).
constexpr int64_t StepsAfterBytes = 6;
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
