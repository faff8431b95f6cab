#include "support/as_user.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t Nobody = 65534;

bool HandOver(const std::string& folder) {
    std::error_code ec;
    if (::chown(folder.c_str(), Nobody, Nobody) != 0) return false;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        if (::lchown(it->path().c_str(), Nobody, Nobody) != 0) return false;
    return !ec;
}

}  // namespace

TUserRun RunAsUser(const std::string& folder, const std::function<std::string()>& body) {
    TUserRun run;
    const bool root = ::geteuid() == 0;
    if (root && !HandOver(folder)) {
        run.why = "the test's folder cannot be handed to the user nobody";
        return run;
    }
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        run.why = std::string("no pipe: ") + std::strerror(errno);
        return run;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        run.why = std::string("no child process: ") + std::strerror(errno);
        return run;
    }
    if (child == 0) {
        ::close(pipeFds[0]);
        std::string answer;
        if (root && (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0))
            answer =
                "\x01"
                "cannot drop to the user nobody";
        else
            answer = body();
        ssize_t unused = ::write(pipeFds[1], answer.data(), answer.size());
        (void)unused;
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string answer;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        answer.append(buffer, static_cast<size_t>(n));
    }
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        run.ran = true;
        run.failure = "the child process did not end normally";
        return run;
    }
    if (!answer.empty() && answer[0] == '\x01') {
        run.why = answer.substr(1);
        return run;
    }
    run.ran = true;
    run.failure = answer;
    return run;
}
