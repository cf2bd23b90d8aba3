// Writing one or several files so that each target keeps its previous contents until all are
// complete: temporary files beside the targets, renamed over them at the end.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kalvex::core {

/// The system calls a file write makes, replaceable by tests that make them fail. Each returns
/// what the system call returns and sets errno on failure.
class FileOps {
public:
    virtual ~FileOps() = default;
    virtual long Write(int fd, const char* data, std::size_t size);
    virtual int Sync(int fd);
    virtual int Rename(const char* from, const char* to);
};

/// The real system calls.
FileOps& SystemFileOps();

/// Files written as one: Stage writes each complete to a temporary file beside its target;
/// Commit renames them all over their targets. No target changes before Commit; a transaction
/// destroyed without Commit removes its temporary files.
///
/// A target that is a symbolic link is written through the link (the file it points to is
/// replaced and the link stays). A target file without write permission (no write bit at all,
/// also for root, who may write anything) is refused with the system's "Permission denied"; a
/// folder with "Is a directory". A character device or a pipe (/dev/null, /dev/stdout) is
/// written directly at Commit, since it cannot be replaced. A new file gets 0666 less the
/// umask, a replaced one keeps its permissions.
///
/// Temporary files are named "." + the target's name (shortened to stay within the file
/// system's name limit) + ".kx" + six random characters, and stay locked while their write
/// runs. Stage first removes the unlocked ones of the same target: those a killed save left.
///
/// Failures throw kalvex::Error naming the target as given and the system's reason
/// ("Unable to write the file: No space left on device").
class FileTransaction {
public:
    explicit FileTransaction(FileOps& ops = SystemFileOps());
    ~FileTransaction();
    FileTransaction(const FileTransaction&) = delete;
    FileTransaction& operator=(const FileTransaction&) = delete;

    /// Writes `contents` completely to a temporary file for `path` and flushes it to disk.
    void Stage(const std::string& path, std::string_view contents);

    /// Renames every staged file over its target in the order staged. A rename that fails
    /// (rare once every file is written: the folder changed meanwhile) throws and removes the
    /// temporary files not yet renamed; the targets renamed before it keep their new contents.
    void Commit();

private:
    struct Staged {
        std::string Shown;   // the target as given, for messages
        std::string Target;  // the file actually replaced (symbolic links followed)
        std::string Temp;    // empty for a target written directly
        int Fd = -1;
        std::string Direct;  // contents of a device or pipe target
    };

    void Abandon();

    FileOps& ops_;
    std::vector<Staged> staged_;
};

/// Writes `contents` to `path`: staged into `into` when given (renamed at its Commit), else
/// at once through WriteFileAtomically.
void WriteOrStage(const std::string& path, std::string_view contents, FileTransaction* into);

}  // namespace kalvex::core
