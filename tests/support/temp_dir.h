#pragma once
// A fresh temporary folder for one test, removed with everything in it when
// the object goes.
#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // Path() + "/" + name.
    std::string File(const std::string& name) const;

private:
    std::string path_;
};
