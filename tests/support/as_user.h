#pragma once
// Permission cases run as an ordinary user. The tests may run as root, for
// whom the kernel skips the checks of file modes: then the case runs in a child
// process that drops to the user "nobody" after handing it the test's folder,
// so that an unreadable file or a read-only folder is what it is for a user.
#include <functional>
#include <string>

struct TUserRun {
    bool ran = false;     // false: no child could be made or dropped (skip)
    std::string failure;  // what the body found wrong; empty when all held
    std::string why;      // why it did not run
};

// Runs body in a child process as an ordinary user. body answers "" when
// every check held, otherwise what failed.
TUserRun RunAsUser(const std::string& folder, const std::function<std::string()>& body);
