#include "platform/safe_files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct TFaults {
    int64_t stopAt = -1;
    file_faults::TStop how = file_faults::TStop::Error;
    int error = 0;
    int readError = 0;
    int64_t steps = 0;
};
TFaults faults;

// Takes up to n steps; answers how many may run before the armed stop. When
// the stop falls inside them, stopped is set.
int64_t Allow(int64_t n, bool& stopped) {
    stopped = false;
    if (faults.stopAt >= 0 && faults.steps + n > faults.stopAt) {
        stopped = true;
        const int64_t allowed = faults.stopAt - faults.steps;
        faults.steps = faults.stopAt;
        return allowed < 0 ? 0 : allowed;
    }
    faults.steps += n;
    return n;
}

// At an armed stop: a crash leaves at once; an error gives its number.
int Stop() {
    if (faults.how == file_faults::TStop::Crash) throw file_faults::TSimulatedCrash{};
    return faults.error;
}

bool WriteAll(int fd, const char* p, size_t count, int& error) {
    bool stopped = false;
    const size_t allowed = static_cast<size_t>(Allow(static_cast<int64_t>(count), stopped));
    size_t done = 0;
    while (done < allowed) {
        const ssize_t n = ::write(fd, p + done, allowed - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = n < 0 ? errno : EIO;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    if (stopped) {
        error = Stop();
        return false;
    }
    return true;
}

AnsiString FolderOf(const AnsiString& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Makes the rename itself last: the folder's entry is flushed too. Some file
// systems cannot flush a folder; the new file is in place all the same.
void FlushFolder(const AnsiString& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

AnsiString ResolveLinks(const AnsiString& path) {
    AnsiString current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::vector<char> target(static_cast<size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size() - 1);
        if (n < 0) return current;
        const AnsiString link(target.data(), static_cast<size_t>(n));
        current = !link.empty() && link[0] == '/' ? link : FolderOf(current) + "/" + link;
    }
    return current;
}

bool ReplaceFileContent(const AnsiString& path, const std::string& bytes, unsigned newMode, int& error,
                        const std::function<int()>& beforeRename) {
    error = 0;
    const AnsiString target = ResolveLinks(path);
    const AnsiString folder = FolderOf(target);

    mode_t mode;
    struct stat old;
    const bool existed = ::stat(target.c_str(), &old) == 0;
    if (existed) {
        if (S_ISDIR(old.st_mode)) {
            error = EISDIR;
            return false;
        }
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = static_cast<mode_t>(newMode) & ~mask;
    }

    const size_t slash = target.find_last_of('/');
    const AnsiString base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temp = folder + "/." + base + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        error = errno;
        return false;
    }
    // Whatever goes wrong from here on, the temporary file goes; a crash
    // (thrown past this function) leaves it, as a dead program would.
    bool open = true;
    auto fail = [&](int err) {
        if (open) ::close(fd);
        ::unlink(temp.c_str());
        error = err;
        return false;
    };
    try {
        if (::fchmod(fd, mode) != 0) return fail(errno);
        if (existed && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()))
            (void)!::fchown(fd, old.st_uid, old.st_gid);  // only the owner's own rights allow it
        int err = 0;
        if (!WriteAll(fd, bytes.data(), bytes.size(), err)) return fail(err);
        bool stopped = false;
        Allow(1, stopped);
        if (stopped) return fail(Stop());
        if (::fsync(fd) != 0) return fail(errno);
        open = false;
        if (::close(fd) != 0) return fail(errno);
        Allow(1, stopped);
        if (stopped) return fail(Stop());
        if (beforeRename)
            if (const int err = beforeRename(); err != 0) return fail(err);
        if (::rename(temp.c_str(), target.c_str()) != 0) return fail(errno);
    } catch (const file_faults::TSimulatedCrash&) {
        if (open) ::close(fd);
        throw;
    }
    FlushFolder(folder);
    return true;
}

bool ReadFileContent(const AnsiString& path, std::string& bytes, int& error) {
    bytes.clear();
    error = 0;
    if (faults.readError != 0 && ::access(path.c_str(), F_OK) == 0) {
        error = faults.readError;
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return false;
    }
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        error = EISDIR;
        return false;
    }
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = errno;
            ::close(fd);
            bytes.clear();
            return false;
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

AnsiString SystemErrorText(int error) {
    switch (error) {
    case ENOSPC: return "spazio esaurito sul disco";
    case EDQUOT: return "quota del disco superata";
    case EACCES:
    case EPERM: return "permesso negato";
    case EROFS: return "il disco è in sola lettura";
    case EIO: return "errore di lettura o scrittura sul disco";
    case ENOENT: return "il file o la cartella non esiste";
    case ENOTDIR: return "un elemento del percorso non è una cartella";
    case EISDIR: return "è una cartella";
    case ELOOP: return "troppi collegamenti simbolici";
    case ENAMETOOLONG: return "nome troppo lungo";
    case EMFILE:
    case ENFILE: return "troppi file aperti";
    case EFBIG: return "file troppo grande";
    case EBUSY:
    case ETXTBSY: return "il file è in uso";
    default: return std::strerror(error);
    }
}

namespace file_faults {

void StopAt(int64_t step, TStop how, int error) {
    faults.stopAt = step;
    faults.how = how;
    faults.error = error;
    faults.steps = 0;
}

void FailReads(int error) { faults.readError = error; }

int64_t Steps() { return faults.steps; }

void Reset() { faults = TFaults{}; }

}  // namespace file_faults
