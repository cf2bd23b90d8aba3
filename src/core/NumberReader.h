// Reads numbers, characters and lines from a text file the way every Kalvex text format is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kalvex::core {

/// A text file held in memory with a read position. Numbers are separated by any white
/// space, line ends included; "." is always the decimal separator. A Ctrl-Z ends the data.
/// Failures throw kalvex::Error subclasses naming the file and the line.
class NumberReader {
public:
    /// Reads from `text`; `file_name` and `first_line` (the number of the text's first line in
    /// that file) are only used in messages.
    NumberReader(std::string text, std::string file_name, int first_line = 1);

    /// Reads the whole file. Throws FileNotFound when it cannot be opened.
    static NumberReader Open(const std::string& path);

    /// Skips white space and line ends, then reads a decimal integer (optional sign).
    /// Returns 0 at the end of the file. Throws InvalidNumericInput for anything else.
    std::int32_t ReadInteger();

    /// Skips white space and line ends, then reads a decimal real (optional sign, fraction,
    /// exponent). Returns 0 at the end of the file. Two 23-character reals touching at a minus
    /// sign ("...E+0000-1.2...") are read as two numbers. Only finite numbers are read: the
    /// written forms of NaN and infinity ("NAN", "INF", "-INF", also touching a negative real)
    /// and numbers beyond the range of a double throw kalvex::Error naming the file, the line
    /// and the text of the value; any other token throws InvalidNumericInput.
    double ReadReal();

    /// True at a line end (CR or LF), at a Ctrl-Z and at the end of the file; skips nothing.
    bool Eoln() const;
    /// True at the end of the data (the end of the file or a Ctrl-Z).
    bool Eof() const;
    /// Skips white space and line ends; true when nothing else remains.
    bool SeekEof();
    /// Skips blanks and tabs on the current line; true when the line ends there.
    bool SeekEoln();
    /// Moves past the next line end (CR LF, LF or a lone CR), or to the end of the file.
    void SkipLine();
    /// The next character; Ctrl-Z (0x1A) at the end of the data.
    char ReadChar();
    /// The rest of the current line without its line end, and moves past that line end.
    std::string ReadLine();

    /// 1-based line of the read position.
    int LineNumber() const { return line_; }
    const std::string& FileName() const { return file_name_; }

    /// Throws InvalidNumericInput for the current line.
    [[noreturn]] void FailInvalid(int line) const;
    /// Throws RangeCheckError for the current line.
    [[noreturn]] void FailRange() const;
    /// Throws kalvex::Error with `reason` for `line`.
    [[noreturn]] void Fail(const std::string& reason, int line) const;

private:
    void Advance();
    void SkipWhite();
    // Length of the number that starts at pos_, and whether it ended with exponent digits.
    std::size_t ScanNumber(bool allow_fraction, bool& ended_in_exponent) const;

    std::string text_;
    std::string file_name_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    int line_ = 1;
};

/// Largest text file Kalvex reads; larger ones are refused before they fill the memory.
inline constexpr std::size_t kMaxTextFileBytes = 256u * 1024u * 1024u;

}  // namespace kalvex::core
