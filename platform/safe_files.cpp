#include "platform/safe_files.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <dirent.h>
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

namespace {

AnsiString BaseOf(const AnsiString& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Temporary files are named ".<base>~<writer's process number>~<6 letters>"
// beside the file they are for: the prefix up to the process number.
AnsiString TemporaryPrefix(const AnsiString& target) { return "." + BaseOf(target) + "~"; }

// The process number of a temporary file of the target's, or -1 when the
// name is not one of ours.
long WriterOf(const AnsiString& entry, const AnsiString& prefix) {
    if (entry.size() <= prefix.size() || entry.compare(0, prefix.size(), prefix) != 0) return -1;
    size_t at = prefix.size();
    long pid = 0;
    const size_t digits = at;
    while (at < entry.size() && entry[at] >= '0' && entry[at] <= '9' && at - digits < 9)
        pid = pid * 10 + (entry[at++] - '0');
    if (at == digits || pid <= 0 || at >= entry.size() || entry[at] != '~') return -1;
    return entry.size() - at - 1 == 6 ? pid : -1;
}

bool WriterRunning(long pid) {
    if (pid == static_cast<long>(::getpid())) return true;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

// A new temporary name of the target's for this process (not yet made).
AnsiString NewTemporaryName(const AnsiString& target) {
    static unsigned counter = 0;
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    unsigned v = static_cast<unsigned>(::getpid()) * 2654435761u ^ ++counter * 40503u ^
                 static_cast<unsigned>(reinterpret_cast<uintptr_t>(&counter)) ^
                 static_cast<unsigned>(::time(nullptr));
    AnsiString suffix;
    for (int i = 0; i < 6; ++i) {
        suffix += letters[v % 62];
        v = v / 62 + (v % 7919) * 104729u + counter;
    }
    return FolderOf(target) + "/" + TemporaryPrefix(target) + std::to_string(::getpid()) + "~" + suffix;
}

// Makes a new temporary file of the target's, open for writing.
int MakeTemporary(const AnsiString& target, mode_t mode, AnsiString& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = NewTemporaryName(target);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// Gives the file a second name, a temporary one beside the target: a hard
// link, or a copy of its bytes flushed to the disk where the file system
// has no links. 0 or the error number.
int SecondName(const AnsiString& file, const AnsiString& target, AnsiString& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = NewTemporaryName(target);
        if (::link(file.c_str(), name.c_str()) == 0) return 0;
        if (errno == EEXIST) continue;
        if (errno != EPERM && errno != EMLINK && errno != EXDEV && errno != ENOTSUP && errno != EOPNOTSUPP)
            return errno;
        break;
    }
    std::string bytes;
    int error = 0;
    if (!ReadFileContent(file, bytes, error)) return error;
    struct stat st;
    const mode_t mode = ::stat(file.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0600;
    const int fd = MakeTemporary(target, mode, name);
    if (fd < 0) return errno;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = n < 0 ? errno : EIO;
            ::close(fd);
            ::unlink(name.c_str());
            return error;
        }
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        error = errno;
        ::unlink(name.c_str());
        return error;
    }
    return 0;
}

void RemoveLeftovers(const AnsiString& target) {
    for (const AnsiString& name : LeftoverTemporaries(target)) ::unlink(name.c_str());
}

}  // namespace

std::vector<AnsiString> LeftoverTemporaries(const AnsiString& path) {
    std::vector<AnsiString> found;
    const AnsiString target = ResolveLinks(path);
    const AnsiString folder = FolderOf(target);
    const AnsiString prefix = TemporaryPrefix(target);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return found;
    while (const dirent* entry = ::readdir(dir)) {
        const long pid = WriterOf(entry->d_name, prefix);
        if (pid > 0 && !WriterRunning(pid)) found.push_back(folder + "/" + entry->d_name);
    }
    ::closedir(dir);
    return found;
}

bool ReplaceFileContent(const AnsiString& path, const std::string& bytes, unsigned newMode, int& error,
                        const AnsiString& backup) {
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
    const bool keepOld = !backup.empty() && backup != target && existed && S_ISREG(old.st_mode);

    RemoveLeftovers(target);
    AnsiString temp;
    // Made without rights first: nobody else opens it before it is whole.
    const int fd = MakeTemporary(target, 0600, temp);
    if (fd < 0) {
        error = errno;
        return false;
    }
    // Whatever goes wrong from here on, the temporary files go and the
    // previous backup comes back; a crash (thrown past this function) leaves
    // them, as a dead program would.
    bool open = true;
    AnsiString oldCopy, previousBackup;
    bool backupReplaced = false;
    auto fail = [&](int err) {
        if (open) ::close(fd);
        ::unlink(temp.c_str());
        if (!oldCopy.empty()) ::unlink(oldCopy.c_str());
        if (backupReplaced) {
            // A rename between two names of one file does nothing (see
            // below): the temporary name goes by hand.
            if (!previousBackup.empty()) {
                if (::rename(previousBackup.c_str(), backup.c_str()) == 0) ::unlink(previousBackup.c_str());
            } else {
                ::unlink(backup.c_str());
            }
        } else if (!previousBackup.empty()) {
            ::unlink(previousBackup.c_str());
        }
        error = err;
        return false;
    };
    auto step = [&]() -> int {
        bool stopped = false;
        Allow(1, stopped);
        return stopped ? Stop() : 0;
    };
    try {
        if (::fchmod(fd, mode) != 0) return fail(errno);
        if (existed && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()))
            (void)!::fchown(fd, old.st_uid, old.st_gid);  // only the owner's own rights allow it
        int err = 0;
        if (!WriteAll(fd, bytes.data(), bytes.size(), err)) return fail(err);
        if ((err = step()) != 0) return fail(err);
        if (::fsync(fd) != 0) return fail(errno);
        if ((err = step()) != 0) return fail(err);
        open = false;
        if (::close(fd) != 0) return fail(errno);
        // The old file gets a second name, which then becomes the backup: the
        // name keeps the old file until the new one replaces it.
        if ((err = step()) != 0) return fail(err);
        if (keepOld && (err = SecondName(target, target, oldCopy)) != 0) return fail(err);
        if ((err = step()) != 0) return fail(err);
        struct stat was;
        if (keepOld && ::lstat(backup.c_str(), &was) == 0 && S_ISREG(was.st_mode) &&
            (err = SecondName(backup, target, previousBackup)) != 0)
            return fail(err);
        if ((err = step()) != 0) return fail(err);
        if (keepOld) {
            if (::rename(oldCopy.c_str(), backup.c_str()) != 0) return fail(errno);
            // Where the backup is already another name of the old file (a
            // save killed between its two renames leaves that), the rename
            // does nothing and the second name would stay behind.
            ::unlink(oldCopy.c_str());
            oldCopy.clear();
            backupReplaced = true;
        }
        if ((err = step()) != 0) return fail(err);
        if (::rename(temp.c_str(), target.c_str()) != 0) return fail(errno);
    } catch (const file_faults::TSimulatedCrash&) {
        if (open) ::close(fd);
        throw;
    }
    if (!previousBackup.empty()) ::unlink(previousBackup.c_str());
    FlushFolder(folder);
    return true;
}

bool ReadFileHead(const AnsiString& path, size_t count, std::string& bytes, int& error) {
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
    bytes.resize(count);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(fd, bytes.data() + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = errno;
            ::close(fd);
            bytes.clear();
            return false;
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    bytes.resize(done);
    ::close(fd);
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
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        error = EISDIR;
        return false;
    }
    if (S_ISREG(st.st_mode) && st.st_size > 0) bytes.reserve(static_cast<size_t>(st.st_size));
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
    case EROFS: return "file system di sola lettura";
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
    case EXDEV: return "il file e la sua copia stanno su dischi diversi";
    case EEXIST: return "il file esiste già";
    case ENOTEMPTY: return "la cartella non è vuota";
    case EMLINK: return "troppi collegamenti al file";
    case ENOMEM: return "memoria insufficiente";
    case EAGAIN: return "risorsa temporaneamente non disponibile";
    case EINTR: return "operazione interrotta";
    case EINVAL: return "operazione non valida";
    case ENXIO:
    case ENODEV: return "dispositivo non disponibile";
    case ESTALE: return "il file non è più disponibile sul disco di rete";
    case ETIMEDOUT: return "tempo scaduto";
    case ENOTSUP: return "operazione non supportata dal file system";
    case EOVERFLOW: return "valore troppo grande";
    case ENOLCK: return "nessun blocco disponibile sul file";
    case EBADF: return "file non aperto correttamente";
    case EFAULT: return "indirizzo non valido";
    case ESPIPE: return "il file non è posizionabile";
    case ECONNRESET:
    case ECONNREFUSED:
    case ENETDOWN:
    case ENETUNREACH:
    case EHOSTUNREACH: return "la rete non risponde";
    default: return "errore di sistema n. " + std::to_string(error);
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
