// File writing that never loses data, and the path helpers of the file commands.
#pragma once

#include <string>
#include <string_view>

namespace kalvex::core {

/// Writes `contents` to a temporary file beside `path`, flushes it to disk and renames it
/// over `path`: a FileTransaction of one file (symbolic links followed, read-only files and
/// folders refused, temporary files of killed saves removed). On any failure the temporary
/// file is removed, `path` keeps its previous contents, and kalvex::Error names the file and
/// the system's reason.
void WriteFileAtomically(const std::string& path, std::string_view contents);

/// `path` with its extension (from the last "." after the last "/") replaced by `ext`
/// (with its dot); a name without extension gets `ext` appended.
std::string ReplaceExtension(const std::string& path, const std::string& ext);

/// The extension of `path` with its dot (".spc"), or empty.
std::string ExtensionOf(const std::string& path);

/// The file name without folders.
std::string FileNameOf(const std::string& path);

/// The folder of `path` without the trailing "/", or empty.
std::string FolderOf(const std::string& path);

/// True when a regular file at `path` can be opened for reading.
bool FileReadable(const std::string& path);

}  // namespace kalvex::core
