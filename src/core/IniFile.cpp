#include "core/IniFile.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include "core/Error.h"
#include "core/FileSystem.h"

namespace kalvex::core {

namespace {

std::string_view Trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// The name of a "[Section]" line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    const std::string_view t = Trim(line);
    if (t.empty() || t.front() != '[') return std::nullopt;
    const auto close = t.find(']');
    return Trim(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
}

// The key of a "Key=Value" line, or nothing for a comment or any other line.
std::optional<std::string_view> KeyName(std::string_view line) {
    const std::string_view t = Trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '[') return std::nullopt;
    const auto eq = t.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return Trim(t.substr(0, eq));
}

}  // namespace

IniFile IniFile::Parse(std::string_view text) {
    IniFile ini;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        ini.lines_.emplace_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return ini;
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
    bool in_section = false;
    bool section_seen = false;
    for (const std::string& line : lines_) {
        if (const auto name = SectionName(line)) {
            // Only the first section of a name counts.
            if (in_section) return std::nullopt;
            in_section = !section_seen && SameName(*name, section);
            section_seen = section_seen || in_section;
            continue;
        }
        if (!in_section) continue;
        const auto k = KeyName(line);
        if (!k || !SameName(*k, key)) continue;
        std::string_view v = Trim(std::string_view(line).substr(line.find('=') + 1));
        if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
            v = v.substr(1, v.size() - 2);
        }
        return std::string(v);
    }
    return std::nullopt;
}

void IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    std::string clean;
    for (char c : value) {
        if (c != '\r' && c != '\n') clean.push_back(c);
    }
    if (!clean.empty() && (clean.front() == ' ' || clean.front() == '\t' || clean.back() == ' ' ||
                           clean.back() == '\t' || clean.front() == '"' || clean.front() == '\'')) {
        clean.insert(clean.begin(), '"');
        clean.push_back('"');
    }

    std::size_t header = lines_.size();
    for (std::size_t i = 0; i < lines_.size() && header == lines_.size(); ++i) {
        const auto name = SectionName(lines_[i]);
        if (name && SameName(*name, section)) header = i;
    }
    if (header == lines_.size()) {
        if (!lines_.empty()) lines_.emplace_back();
        std::string header_line = "[";
        header_line.append(section).append("]");
        lines_.push_back(std::move(header_line));
        lines_.push_back(std::string(key) + "=" + clean);
        return;
    }
    std::size_t insert_at = header + 1;
    for (std::size_t i = header + 1; i < lines_.size() && !SectionName(lines_[i]); ++i) {
        const auto k = KeyName(lines_[i]);
        if (!k) continue;
        if (SameName(*k, key)) {
            lines_[i] = std::string(*k) + "=" + clean;
            return;
        }
        insert_at = i + 1;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insert_at),
                  std::string(key) + "=" + clean);
}

std::string IniFile::Text() const {
    std::string text;
    for (const std::string& line : lines_) {
        text += line;
        // A line that ends in a carriage return of its own (a file with CR CR LF endings) keeps
        // it only when the end says "\r\n": after a bare "\n", Parse would take it for part
        // of the line end, and rewriting would change a key nobody set.
        text += !line.empty() && line.back() == '\r' ? "\r\n" : "\n";
    }
    return text;
}

IniFile ReadIniFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream text;
    text << in.rdbuf();
    return IniFile::Parse(text.str());
}

void WriteIniFile(const std::string& path, const IniFile& ini) {
    try {
        const std::string folder = FolderOf(path);
        if (!folder.empty()) std::filesystem::create_directories(folder);
        WriteFileAtomically(path, ini.Text());
    } catch (const std::exception&) {
        throw Error("Unable to write to " + path);
    }
}

}  // namespace kalvex::core
