// The classic sectioned settings text: "[Section]" lines, then "Key=Value" lines.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalvex::core {

/// A settings text kept line by line, so that a rewrite keeps every section, key, comment and
/// blank line it does not change. Section and key names match without regard to ASCII case;
/// keys may hold blanks ("Position Left") and are written as they are. Where a name occurs
/// twice, the first occurrence counts.
class IniFile {
public:
    /// Splits `text` into lines; "\r\n" and "\n" both end a line.
    static IniFile Parse(std::string_view text);

    /// The value of `key` in `section`: the text after the first "=", blanks around it removed
    /// and one pair of enclosing double or single quotes taken off. Nothing when the section
    /// or the key is missing.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;

    /// Sets `key` in `section`: an existing line is replaced in place (keeping the key's
    /// spelling); a new key goes after the last key of its section; a new section is appended
    /// at the end. Line breaks in `value` are dropped (they would start a new key); a value
    /// with blanks at either end is written in double quotes so that Get returns it whole.
    void Set(std::string_view section, std::string_view key, std::string_view value);

    /// The whole text, every line ended by "\n" (by "\r\n" when the line itself ends in "\r",
    /// so that Parse gives the same lines back).
    std::string Text() const;

private:
    std::vector<std::string> lines_;
};

/// The settings file at `path`; an empty text when it is missing or cannot be read (every
/// key then takes its default).
IniFile ReadIniFile(const std::string& path);

/// Writes `ini` to `path` (creating its folder when needed) through core::WriteFileAtomically,
/// so a failed write keeps the previous file. Throws kalvex::Error "Unable to write to <path>".
void WriteIniFile(const std::string& path, const IniFile& ini);

}  // namespace kalvex::core
