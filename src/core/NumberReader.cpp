#include "core/NumberReader.h"

#include <sys/stat.h>

#include <charconv>
#include <cmath>
#include <fstream>

#include "core/Error.h"

namespace kalvex::core {

namespace {

constexpr char kCtrlZ = 0x1A;
constexpr std::size_t kMaxTokenLength = 64;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSeparator(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (x != b[i]) return false;
    }
    return true;
}

}  // namespace

NumberReader::NumberReader(std::string text, std::string file_name, int first_line)
    : text_(std::move(text)), file_name_(std::move(file_name)), line_(first_line) {
    end_ = text_.find(kCtrlZ);
    if (end_ == std::string::npos) end_ = text_.size();
}

NumberReader NumberReader::Open(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) throw FileNotFound(path);
    if (static_cast<std::size_t>(st.st_size) > kMaxTextFileBytes) {
        throw Error("File too large to be a spectrum or peak file", path);
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) throw FileNotFound(path);
    std::string text(static_cast<std::size_t>(st.st_size), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return NumberReader(std::move(text), path);
}

void NumberReader::Advance() {
    const char c = text_[pos_++];
    if (c == '\n' || (c == '\r' && (pos_ >= end_ || text_[pos_] != '\n'))) ++line_;
}

void NumberReader::SkipWhite() {
    while (pos_ < end_ && IsSeparator(text_[pos_])) Advance();
}

std::size_t NumberReader::ScanNumber(bool allow_fraction, bool& ended_in_exponent) const {
    std::size_t i = pos_;
    ended_in_exponent = false;
    if (i < end_ && (text_[i] == '+' || text_[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < end_ && IsDigit(text_[i])) ++i, ++digits;
    if (!allow_fraction) return digits > 0 ? i - pos_ : 0;
    if (i < end_ && text_[i] == '.') {
        ++i;
        while (i < end_ && IsDigit(text_[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < end_ && (text_[i] == 'E' || text_[i] == 'e')) {
        std::size_t j = i + 1;
        if (j < end_ && (text_[j] == '+' || text_[j] == '-')) ++j;
        std::size_t exp_digits = 0;
        while (j < end_ && IsDigit(text_[j])) ++j, ++exp_digits;
        if (exp_digits == 0) return 0;
        i = j;
        ended_in_exponent = true;
    }
    return i - pos_;
}

void NumberReader::FailInvalid(int line) const { throw InvalidNumericInput(file_name_, line); }

void NumberReader::FailRange() const { throw RangeCheckError(file_name_, line_); }

void NumberReader::Fail(const std::string& reason, int line) const {
    throw Error(reason, file_name_, line);
}

std::int32_t NumberReader::ReadInteger() {
    SkipWhite();
    if (pos_ >= end_) return 0;
    const int line = line_;
    bool exponent = false;
    const std::size_t len = ScanNumber(false, exponent);
    if (len == 0 || len > kMaxTokenLength ||
        (pos_ + len < end_ && !IsSeparator(text_[pos_ + len]))) {
        FailInvalid(line);
    }
    std::size_t start = pos_;
    if (text_[start] == '+') ++start;
    std::int32_t value = 0;
    const auto result = std::from_chars(text_.data() + start, text_.data() + pos_ + len, value);
    if (result.ec != std::errc()) FailInvalid(line);
    for (std::size_t i = 0; i < len; ++i) Advance();
    return value;
}

double NumberReader::ReadReal() {
    SkipWhite();
    if (pos_ >= end_) return 0.0;
    const int line = line_;
    bool exponent = false;
    const std::size_t len = ScanNumber(true, exponent);
    const bool touches = pos_ + len < end_ && !IsSeparator(text_[pos_ + len]);
    // Reals written one after another touch when the second is negative: split at its sign.
    const bool split = touches && exponent && text_[pos_ + len] == '-';
    if (len == 0 || (touches && !split)) {
        // Not a number in the usual form: the written forms of NaN and infinity, or an error.
        std::size_t e = pos_;
        while (e < end_ && !IsSeparator(text_[e])) ++e;
        std::string_view token(text_.data() + pos_, e - pos_);
        // A negative real written right after NaN or infinity touches it ("NAN-2.0E+0000"):
        // the special value ends where that sign begins.
        const std::size_t sign = token.find('-', 1);
        if (sign != std::string_view::npos) token = token.substr(0, sign);
        // A document holds finite numbers only: every sum, scale and picture depends on it.
        if (EqualsNoCase(token, "NAN") || EqualsNoCase(token, "INF") ||
            EqualsNoCase(token, "+INF") || EqualsNoCase(token, "-INF")) {
            Fail("The value \"" + std::string(token) + "\" is not a finite number", line);
        }
        FailInvalid(line);
    }
    if (len > kMaxTokenLength) FailInvalid(line);
    std::size_t start = pos_;
    if (text_[start] == '+') ++start;
    const std::string_view token(text_.data() + pos_, len);
    double value = 0.0;
    const auto result = std::from_chars(text_.data() + start, text_.data() + pos_ + len, value);
    if (result.ec == std::errc::result_out_of_range) {
        // Within 64 characters only the exponent can take a number out of range: a negative
        // one below the smallest double, a positive one beyond the largest.
        const std::size_t e = token.find_first_of("Ee");
        const bool tiny = e != std::string_view::npos && e + 1 < len && token[e + 1] == '-';
        Fail("The value \"" + std::string(token) + "\" is " + (tiny ? "too small" : "too large") +
                 " to be held as a number",
             line);
    }
    if (result.ec != std::errc() || result.ptr != text_.data() + pos_ + len) FailInvalid(line);
    for (std::size_t i = 0; i < len; ++i) Advance();
    return value;
}

bool NumberReader::Eoln() const {
    return pos_ >= end_ || text_[pos_] == '\r' || text_[pos_] == '\n';
}

bool NumberReader::Eof() const { return pos_ >= end_; }

bool NumberReader::SeekEof() {
    SkipWhite();
    return pos_ >= end_;
}

bool NumberReader::SeekEoln() {
    while (pos_ < end_ && (text_[pos_] == ' ' || text_[pos_] == '\t')) Advance();
    return Eoln();
}

void NumberReader::SkipLine() {
    while (pos_ < end_) {
        const char c = text_[pos_];
        Advance();
        if (c == '\n') return;
        if (c == '\r') {
            if (pos_ < end_ && text_[pos_] == '\n') Advance();
            return;
        }
    }
}

char NumberReader::ReadChar() {
    if (pos_ >= end_) return kCtrlZ;
    const char c = text_[pos_];
    Advance();
    return c;
}

std::string NumberReader::ReadLine() {
    const std::size_t start = pos_;
    while (pos_ < end_ && text_[pos_] != '\r' && text_[pos_] != '\n') Advance();
    std::string line = text_.substr(start, pos_ - start);
    SkipLine();
    return line;
}

}  // namespace kalvex::core
