#pragma once
// A tmpfs of 64 KB mounted over a fresh temporary folder, for the tests of a
// disk that fills up; unmounted when the object goes. Mounting needs root:
// where there is no mount, Why() says why, for the test to skip with.
#include <cerrno>
#include <cstring>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

#include "support/temp_dir.h"

class SmallTmpfs {
public:
    SmallTmpfs() {
        if (::geteuid() != 0)
            why_ = "mounting a small tmpfs needs root";
        else if (::mount("tmpfs", dir_.Path().c_str(), "tmpfs", 0, "size=64k") != 0)
            why_ = std::string("a tmpfs cannot be mounted here: ") + std::strerror(errno);
    }
    ~SmallTmpfs() {
        if (why_.empty()) ::umount2(dir_.Path().c_str(), MNT_DETACH);
    }
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;

    bool Mounted() const { return why_.empty(); }
    const std::string& Why() const { return why_; }
    const TempDir& Dir() const { return dir_; }

private:
    TempDir dir_;
    std::string why_;
};
