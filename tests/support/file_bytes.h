#pragma once
// Whole files and folders as the file-safety tests look at them.
#include <set>
#include <string>

// The bytes of a file ("" when it cannot be read).
std::string ReadFileBytes(const std::string& path);
// A new file of these bytes under the name, in place of whatever stood
// there: as a person's program finds it, never written through the old
// entry, which may be a second name of another file (a save killed between
// its renames leaves the project and its backup as two names of one file)
// or a link. A file that cannot be written fails the test.
void WriteFileBytes(const std::string& path, const std::string& bytes);
// The names in a folder.
std::set<std::string> FolderEntries(const std::string& folder);
