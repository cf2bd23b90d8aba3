// A temporary folder for one test, removed with everything in it when the test ends.
#pragma once

#include <string>
#include <vector>

namespace kalvex::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    /// Full path of `name` inside the folder.
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    /// Writes `contents` byte for byte to `name` and returns its full path.
    std::string Write(const std::string& name, const std::string& contents) const;

private:
    std::string path_;
};

/// The whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);

/// True when `path` exists.
bool FileExists(const std::string& path);

/// Names of the entries of a folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder);

/// While it lives, writes beyond `bytes` bytes fail (RLIMIT_FSIZE, SIGXFSZ ignored): a way to
/// make a save fail part-way even for root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(unsigned long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    unsigned long previous_soft_;
    void (*previous_handler_)(int);
};

}  // namespace kalvex::test
