#pragma once
// A fresh temporary folder for one test, removed with everything in it when
// the object goes.
#include <string>

class TempDir {
public:
    TempDir();
    // In memory (/dev/shm) when there is such a folder: tests that flush
    // thousands of files to the disk run there at memory speed.
    struct InMemory {};
    explicit TempDir(InMemory);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // Path() + "/" + name.
    std::string File(const std::string& name) const;

private:
    std::string path_;
};
