// kalvex::Error: a failed command, carrying the text the user sees.
#pragma once

#include <stdexcept>
#include <string>

namespace kalvex {

/// A command failed for a reason the user must be told. what() is the whole message:
/// the reason, then the file and, for text files, the line where it happened.
class Error : public std::runtime_error {
public:
    explicit Error(std::string reason, std::string file = {}, int line = 0);

    const std::string& Reason() const { return reason_; }
    const std::string& File() const { return file_; }
    int Line() const { return line_; }

private:
    static std::string Compose(const std::string& reason, const std::string& file, int line);

    std::string reason_;
    std::string file_;
    int line_;
};

/// A file that cannot be opened for reading: "File not found".
class FileNotFound : public Error {
public:
    explicit FileNotFound(std::string file) : Error("File not found", std::move(file)) {}
};

/// A token that is not a number: "Invalid numeric input".
class InvalidNumericInput : public Error {
public:
    InvalidNumericInput(std::string file, int line)
        : Error("Invalid numeric input", std::move(file), line) {}
};

/// A capacity exceeded (65,537th point, 31st peak, 256th spectrum): "Range check error".
class RangeCheckError : public Error {
public:
    explicit RangeCheckError(std::string file = {}, int line = 0)
        : Error("Range check error", std::move(file), line) {}
};

/// The user cancelled a command midway (a dialog it needed was cancelled): nothing to report,
/// and nothing was changed.
class Cancelled : public std::exception {
public:
    const char* what() const noexcept override { return "Cancelled"; }
};

}  // namespace kalvex
