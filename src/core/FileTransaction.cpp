#include "core/FileTransaction.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include "core/Error.h"
#include "core/FileSystem.h"

namespace kalvex::core {

namespace {

constexpr const char* kTempMark = ".kx";
constexpr std::size_t kRandomChars = 6;  // what mkostemp puts for "XXXXXX"
constexpr int kMaxLinkHops = 40;         // as the kernel's own limit for a path

[[noreturn]] void FailWrite(const std::string& shown, int err) {
    throw Error(std::string("Unable to write the file: ") + std::strerror(err), shown);
}

std::string FolderOrDot(const std::string& path) {
    const std::string folder = FolderOf(path);
    if (folder.empty()) return path.rfind('/', 0) == 0 ? "/" : ".";
    return folder;
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// The file a save to `path` replaces: symbolic links of the last component followed, also
// when the file they name does not exist yet.
std::string FollowLinks(const std::string& shown) {
    std::string path = shown;
    for (int hop = 0;; ++hop) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        if (hop == kMaxLinkHops) FailWrite(shown, ELOOP);
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n < 0) FailWrite(shown, errno);
        link.resize(static_cast<std::size_t>(n));
        path = link.rfind('/', 0) == 0 ? link : Join(FolderOrDot(path), link);
    }
}

long NameMax(const std::string& folder) {
    const long max = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    return max > 0 ? max : NAME_MAX;
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Removes the temporary files of a killed save to `target`. A running save holds a lock on its
// temporary file, so only files nobody locks go.
void RemoveStaleTemps(const std::string& folder, const std::string& stem) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() != stem.size() + kRandomChars || name.compare(0, stem.size(), stem) != 0) {
            continue;
        }
        const std::string path = Join(folder, name);
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat held {};
        struct stat named {};
        // The name must still be this file: its owner may have renamed it meanwhile.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 &&
            S_ISREG(held.st_mode) && ::lstat(path.c_str(), &named) == 0 &&
            named.st_ino == held.st_ino && named.st_dev == held.st_dev) {
            ::unlink(path.c_str());
        }
        ::close(fd);
    }
    ::closedir(dir);
}

// The name of a temporary file for a target named `name` before its random characters:
// "." + name + ".kx", the name cut so that the whole stays within `name_max` characters.
std::string TempFileStem(const std::string& name, long name_max) {
    const std::size_t room =
        static_cast<std::size_t>(name_max) - 1 - std::strlen(kTempMark) - kRandomChars;
    std::string stem(1, '.');
    stem.append(name, 0, std::min(name.size(), room));
    return stem.append(kTempMark);
}

}  // namespace

long FileOps::Write(int fd, const char* data, std::size_t size) { return ::write(fd, data, size); }

int FileOps::Sync(int fd) { return ::fsync(fd); }

int FileOps::Rename(const char* from, const char* to) { return ::rename(from, to); }

FileOps& SystemFileOps() {
    static FileOps ops;
    return ops;
}

void WriteOrStage(const std::string& path, std::string_view contents, FileTransaction* into) {
    if (into != nullptr) {
        into->Stage(path, contents);
    } else {
        WriteFileAtomically(path, contents);
    }
}

FileTransaction::FileTransaction(FileOps& ops) : ops_(ops) {}

FileTransaction::~FileTransaction() { Abandon(); }

void FileTransaction::Abandon() {
    for (Staged& s : staged_) {
        if (s.Fd >= 0) ::close(s.Fd);
        if (!s.Temp.empty()) ::unlink(s.Temp.c_str());
    }
    staged_.clear();
}

void FileTransaction::Stage(const std::string& path, std::string_view contents) {
    Staged s;
    s.Shown = path;
    s.Target = FollowLinks(path);

    struct stat st {};
    const bool exists = ::stat(s.Target.c_str(), &st) == 0;
    mode_t mode = 0;
    if (exists) {
        if (S_ISDIR(st.st_mode)) FailWrite(path, EISDIR);
        if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode)) {
            if (::access(s.Target.c_str(), W_OK) != 0) FailWrite(path, errno);
            s.Direct = std::string(contents);
            staged_.push_back(std::move(s));
            return;
        }
        if (!S_ISREG(st.st_mode)) FailWrite(path, EINVAL);
        // A file its owner made read-only is not replaced behind their back, also by root.
        if (::access(s.Target.c_str(), W_OK) != 0) FailWrite(path, errno);
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) FailWrite(path, EACCES);
        mode = st.st_mode & 07777;
    } else {
        mode = NewFileMode();
    }

    const std::string folder = FolderOrDot(s.Target);
    const std::string stem = TempFileStem(FileNameOf(s.Target), NameMax(folder));
    RemoveStaleTemps(folder, stem);

    // The lock tells a later save that this file is in use. A stale-file sweep of another
    // save may catch the file between its creation and the lock: then make another.
    int fd = -1;
    for (;;) {
        std::string pattern = Join(folder, stem) + std::string(kRandomChars, 'X');
        fd = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd < 0) FailWrite(path, errno);
        struct stat own {};
        if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &own) == 0 && own.st_nlink > 0) {
            s.Temp = pattern;
            break;
        }
        ::close(fd);
    }
    s.Fd = fd;
    auto fail = [&](int err) {
        ::close(fd);
        ::unlink(s.Temp.c_str());
        FailWrite(path, err);
    };
    if (::fchmod(fd, mode) != 0) fail(errno);
    const char* p = contents.data();
    std::size_t left = contents.size();
    while (left > 0) {
        const long n = ops_.Write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        if (n == 0) fail(EIO);
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (ops_.Sync(fd) != 0) fail(errno);
    staged_.push_back(std::move(s));
}

void FileTransaction::Commit() {
    for (std::size_t i = 0; i < staged_.size(); ++i) {
        Staged& s = staged_[i];
        int err = 0;
        if (s.Temp.empty()) {
            // A pipe nobody reads would block the open for ever: refuse it at once instead.
            const int fd = ::open(s.Target.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
            if (fd < 0 || ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
                err = errno;
            }
            for (std::size_t done = 0; err == 0 && done < s.Direct.size();) {
                const long n = ops_.Write(fd, s.Direct.data() + done, s.Direct.size() - done);
                if (n < 0 && errno != EINTR) err = errno;
                if (n == 0) err = EIO;
                if (n > 0) done += static_cast<std::size_t>(n);
            }
            if (fd >= 0) ::close(fd);
        } else if (ops_.Rename(s.Temp.c_str(), s.Target.c_str()) != 0) {
            err = errno;
        } else {
            ::close(s.Fd);
            s.Fd = -1;
            s.Temp.clear();
        }
        if (err != 0) {
            const std::string shown = s.Shown;
            staged_.erase(staged_.begin(), staged_.begin() + static_cast<std::ptrdiff_t>(i));
            Abandon();
            FailWrite(shown, err);
        }
    }
    // The renames themselves reach the disk with their folder.
    for (const Staged& s : staged_) {
        const int dir = ::open(FolderOrDot(s.Target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }
    staged_.clear();
}

}  // namespace kalvex::core
