// Saves that never lose data: interrupted writes, refused targets, links, stale temporary files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>

#include "core/Error.h"
#include "core/FileSystem.h"
#include "core/FileTransaction.h"
#include "support/TempDir.h"

namespace kalvex::core {
namespace {

using test::FilesIn;
using test::ReadFileBytes;
using test::TempDir;

// System calls that fail as told: the write after `write_budget` bytes, the flush, or the
// rename of the `rename_failing`-th file.
class FailingOps : public FileOps {
public:
    long write_budget = -1;  // bytes written before the failure; -1: never fails
    int write_errno = ENOSPC;
    bool sync_fails = false;
    int rename_failing = 0;  // 1-based; 0: never

    long Write(int fd, const char* data, std::size_t size) override {
        if (write_budget < 0) return FileOps::Write(fd, data, size);
        if (write_budget == 0) {
            errno = write_errno;
            return -1;
        }
        // Partial writes too: at most 7 bytes a call, so the loop around them is exercised.
        const auto n = std::min<std::size_t>({size, static_cast<std::size_t>(write_budget), 7});
        const long done = FileOps::Write(fd, data, n);
        if (done > 0) write_budget -= done;
        return done;
    }
    int Sync(int fd) override {
        if (!sync_fails) return FileOps::Sync(fd);
        errno = EIO;
        return -1;
    }
    int Rename(const char* from, const char* to) override {
        if (++renames_ != rename_failing) return FileOps::Rename(from, to);
        errno = EXDEV;
        return -1;
    }

private:
    int renames_ = 0;
};

// The error text of `body`, or "" when it succeeds.
std::string ErrorOf(const std::function<void()>& body) {
    try {
        body();
    } catch (const kalvex::Error& e) {
        return e.what();
    }
    return "";
}

const std::string kOld = "previous contents\r\n";
const std::string kNew = std::string(60, 'n') + "\r\n" + std::string(40, 'm') + "\r\n";

TEST(FileTransaction, AWriteFailingAfterAnyByteKeepsThePreviousFileAndLeavesNoTemporaryFile) {
    TempDir dir;
    const std::string path = dir.Write("a.spc", kOld);
    for (long k = 0; k < static_cast<long>(kNew.size()); ++k) {
        for (const int err : {ENOSPC, EIO}) {
            FailingOps ops;
            ops.write_budget = k;
            ops.write_errno = err;
            const std::string error = ErrorOf([&] {
                FileTransaction t(ops);
                t.Stage(path, kNew);
                t.Commit();
            });
            EXPECT_EQ(error,
                      "Unable to write the file: " + std::string(std::strerror(err)) + "\n" + path)
                << k;
            ASSERT_EQ(ReadFileBytes(path), kOld) << k;
            ASSERT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"a.spc"}) << k;
        }
    }
    FailingOps sync;
    sync.sync_fails = true;
    EXPECT_NE(ErrorOf([&] {
                  FileTransaction t(sync);
                  t.Stage(path, kNew);
              }),
              "");
    EXPECT_EQ(ReadFileBytes(path), kOld);
    EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"a.spc"});
    // The budget of a whole file writes it.
    FailingOps enough;
    enough.write_budget = static_cast<long>(kNew.size());
    FileTransaction t(enough);
    t.Stage(path, kNew);
    t.Commit();
    EXPECT_EQ(ReadFileBytes(path), kNew);
}

TEST(FileTransaction, SeveralFilesAreReplacedOnlyWhenAllAreWritten) {
    TempDir dir;
    const std::vector<std::string> paths = {dir.Write("r.sp2", "2"), dir.Write("r.spc", "1"),
                                            dir.File("r.par")};
    // The third fails: neither of the first two is replaced.
    EXPECT_NE(ErrorOf([&] {
                  FileTransaction t;
                  t.Stage(paths[0], "new 2");
                  t.Stage(paths[1], "new 1");
                  t.Stage(dir.File("missing-folder/r.par"), "new 3");
                  t.Commit();
              }).find("missing-folder/r.par"),
              std::string::npos);
    // Abandoned without Commit: nothing replaced either.
    {
        FileTransaction t;
        t.Stage(paths[0], "new 2");
    }
    EXPECT_EQ(ReadFileBytes(paths[0]), "2");
    EXPECT_EQ(ReadFileBytes(paths[1]), "1");
    EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"r.sp2", "r.spc"}));

    // A rename failing at the second file: the first is replaced, the rest stays old and the
    // temporary files go.
    FailingOps ops;
    ops.rename_failing = 2;
    EXPECT_NE(ErrorOf([&] {
                  FileTransaction t(ops);
                  for (const std::string& p : paths) t.Stage(p, "new");
                  t.Commit();
              }).find(paths[1]),
              std::string::npos);
    EXPECT_EQ(ReadFileBytes(paths[0]), "new");
    EXPECT_EQ(ReadFileBytes(paths[1]), "1");
    EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"r.sp2", "r.spc"}));

    FileTransaction all;
    for (const std::string& p : paths) all.Stage(p, "all");
    all.Commit();
    for (const std::string& p : paths) EXPECT_EQ(ReadFileBytes(p), "all") << p;
}

TEST(FileTransaction, TargetsThatCannotBeReplacedAreRefusedWithTheSystemsReason) {
    TempDir dir;
    const std::string read_only = dir.Write("ro.spc", kOld);
    ::chmod(read_only.c_str(), 0444);
    ::mkdir(dir.File("folder.spc").c_str(), 0755);
    const std::string long_name(255, 'x');
    struct Case {
        std::string Path;
        const char* Reason;
    };
    for (const Case& c : {
             Case{read_only, "Permission denied"},
             Case{dir.File("folder.spc"), "Is a directory"},
             Case{dir.File(long_name + "y"), "File name too long"},
             Case{dir.File("none/a.spc"), "No such file or directory"},
         }) {
        EXPECT_EQ(ErrorOf([&] { WriteFileAtomically(c.Path, kNew); }),
                  "Unable to write the file: " + std::string(c.Reason) + "\n" + c.Path);
    }
    EXPECT_EQ(ReadFileBytes(read_only), kOld);
    // The longest name the file system allows saves: the temporary name is cut to fit.
    WriteFileAtomically(dir.File(long_name), kNew);
    EXPECT_EQ(ReadFileBytes(dir.File(long_name)), kNew);
    EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"folder.spc", "ro.spc", long_name}));
}

// Runs `body` in a child process without root's right to write anywhere (as "nobody" when
// the tests run as root); returns what it wrote to the pipe.
std::string InUnprivilegedChild(const std::function<std::string()>& body) {
    int fds[2];
    if (::pipe(fds) != 0) return "no pipe";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
        const std::string out = body();
        if (::write(fds[1], out.data(), out.size()) < 0) ::_exit(3);
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string out;
    char buf[256];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
        out.append(buf, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return out;
}

TEST(FileTransaction, AReadOnlyFolderKeepsItsFileAndGetsNoTemporaryFile) {
    TempDir dir;
    ::chmod(dir.Path().c_str(), 0755);
    const std::string folder = dir.File("ro");
    ::mkdir(folder.c_str(), 0777);
    const std::string path = folder + "/a.sp2";
    dir.Write("ro/a.sp2", kOld);
    ::chmod(path.c_str(), 0666);
    ::chmod(folder.c_str(), 0555);
    const std::string error =
        InUnprivilegedChild([&] { return ErrorOf([&] { WriteFileAtomically(path, kNew); }); });
    EXPECT_EQ(error, "Unable to write the file: Permission denied\n" + path);
    EXPECT_EQ(ReadFileBytes(path), kOld);
    EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"a.sp2"});
    ::chmod(folder.c_str(), 0755);
}

TEST(FileTransaction, TheNextSaveRemovesTheTemporaryFileOfAKilledSaveButNotOfARunningOne) {
    TempDir dir;
    const std::string path = dir.Write("k.spc", kOld);
    // A save killed in the middle of its write, as the file-size signal kills a process.
    const pid_t pid = ::fork();
    if (pid == 0) {
        rlimit core_limit{0, 0};
        ::setrlimit(RLIMIT_CORE, &core_limit);
        rlimit size_limit{40, 40};
        ::setrlimit(RLIMIT_FSIZE, &size_limit);
        std::signal(SIGXFSZ, SIG_DFL);
        WriteFileAtomically(path, kNew);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(ReadFileBytes(path), kOld);
    std::vector<std::string> names = FilesIn(dir.Path());
    ASSERT_EQ(names.size(), 2u);
    const std::string killed = names[0];  // "." sorts first
    EXPECT_EQ(killed.substr(0, 9), ".k.spc.kx");
    EXPECT_EQ(killed.size(), 15u);

    // A save still running holds its temporary file locked.
    const std::string running = dir.Write(".k.spc.kxABCDEF", "running");
    const int fd = ::open(running.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    // Files of other targets, and names of another form, are not this target's.
    dir.Write(".k.spc.kxABCDEFG", "longer");
    dir.Write(".other.spc.kxABCDEF", "other");

    WriteFileAtomically(path, kNew);
    EXPECT_EQ(ReadFileBytes(path), kNew);
    EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{".k.spc.kxABCDEF", ".k.spc.kxABCDEFG",
                                                             ".other.spc.kxABCDEF", "k.spc"}));
    ::close(fd);
    WriteFileAtomically(path, kOld);
    EXPECT_FALSE(test::FileExists(running));
}

TEST(FileTransaction, ASymbolicLinkIsSavedThroughAndStaysALink) {
    TempDir dir;
    ::mkdir(dir.File("data").c_str(), 0755);
    const std::string real = dir.Write("data/real.spc", kOld);
    struct Case {
        const char* Link;
        const char* Points;  // relative to the link's folder, or absolute
        std::string Written;
    };
    for (const Case& c : {
             Case{"rel.spc", "data/real.spc", dir.File("data/real.spc")},
             Case{"abs.spc", nullptr, dir.File("data/real.spc")},
             Case{"chain.spc", "rel.spc", dir.File("data/real.spc")},
             Case{"dangling.spc", "data/new.spc", dir.File("data/new.spc")},
         }) {
        const std::string link = dir.File(c.Link);
        ASSERT_EQ(::symlink(c.Points ? c.Points : real.c_str(), link.c_str()), 0);
        WriteFileAtomically(link, std::string("via ") + c.Link);
        struct stat st {};
        ASSERT_EQ(::lstat(link.c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode)) << c.Link;
        EXPECT_EQ(ReadFileBytes(c.Written), std::string("via ") + c.Link);
    }
    EXPECT_EQ(FilesIn(dir.File("data")), (std::vector<std::string>{"new.spc", "real.spc"}));
    // A loop of links has no file to write.
    ::symlink("loop2.spc", dir.File("loop1.spc").c_str());
    ::symlink("loop1.spc", dir.File("loop2.spc").c_str());
    EXPECT_NE(ErrorOf([&] {
                  WriteFileAtomically(dir.File("loop1.spc"), kNew);
              }).find("Too many levels of symbolic links"),
              std::string::npos);
}

TEST(FileTransaction, APipeIsWrittenAndNotReplaced) {
    TempDir dir;
    const std::string fifo = dir.File("out.sp2");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    WriteFileAtomically(fifo, kNew);
    std::string got(kNew.size() + 10, '\0');
    got.resize(
        static_cast<std::size_t>(std::max<ssize_t>(::read(reader, got.data(), got.size()), 0)));
    ::close(reader);
    EXPECT_EQ(got, kNew);
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"out.sp2"});
    // Without a reader the save fails at once instead of waiting for one.
    EXPECT_EQ(ErrorOf([&] { WriteFileAtomically(fifo, kNew); }),
              "Unable to write the file: No such device or address\n" + fifo);
}

}  // namespace
}  // namespace kalvex::core
