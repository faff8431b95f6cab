#pragma once
// Whole files and folders as the file-safety tests look at them.
#include <set>
#include <string>

// The bytes of a file ("" when it cannot be read).
std::string ReadFileBytes(const std::string& path);
// Makes the file hold exactly these bytes.
void WriteFileBytes(const std::string& path, const std::string& bytes);
// The names in a folder.
std::set<std::string> FolderEntries(const std::string& folder);
