// The exported pictures: formats by extension, the export dialog's choices and proposed file.
#pragma once

#include <optional>
#include <span>
#include <string>

namespace kalvex::output {

/// Every picture format the plot is written in.
enum class PictureFormat { kEmf, kWmf, kSvg, kPdf, kPng };

/// The format of a file name by its extension, in any letter case (".emf", ".wmf", ".svg",
/// ".pdf", ".png"), or nothing.
std::optional<PictureFormat> PictureFormatOf(const std::string& path);

/// The extension of a format, with its dot.
const char* PictureExtension(PictureFormat format);

/// The formats of "Export Picture...", in the order of its radio group and save-dialog filter.
inline constexpr PictureFormat kExportFormats[] = {PictureFormat::kSvg, PictureFormat::kPdf,
                                                   PictureFormat::kPng};
inline constexpr const char* kExportFilter = "SVG Picture|*.svg|PDF Document|*.pdf|PNG Image|*.png";

/// The resolution a PNG is preselected at.
inline constexpr int kPngDefaultDpi = 300;

/// The format of item `item` (0-based) of a list of formats; out of range gives the first.
PictureFormat FormatAt(std::span<const PictureFormat> formats, int item);

/// The spectrum's file name with the format's extension (empty without a spectrum file).
std::string ProposePictureName(const std::string& spectrum_file, PictureFormat format);

/// The file name after the user picks filter `filter_index` (1-based) of a save dialog that
/// lists `formats`: its extension becomes that filter's.
std::string RenameForFilter(const std::string& name, int filter_index,
                            std::span<const PictureFormat> formats);

/// The file and format written for a save dialog's answer: a name ending in the extension of
/// one of `formats` is written in that format, since other programs go by the extension; any
/// other name gets the extension of filter `filter_index` (1-based) appended.
struct PictureTarget {
    std::string Path;
    PictureFormat Format = PictureFormat::kSvg;
};
PictureTarget PictureTargetFor(const std::string& chosen_path, int filter_index,
                               std::span<const PictureFormat> formats);

}  // namespace kalvex::output
