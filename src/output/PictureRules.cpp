#include "output/PictureRules.h"

#include <algorithm>
#include <cctype>

#include "core/FileSystem.h"

namespace kalvex::output {

std::optional<PictureFormat> PictureFormatOf(const std::string& path) {
    std::string ext = core::ExtensionOf(path);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == ".emf") return PictureFormat::kEmf;
    if (ext == ".wmf") return PictureFormat::kWmf;
    if (ext == ".svg") return PictureFormat::kSvg;
    if (ext == ".pdf") return PictureFormat::kPdf;
    if (ext == ".png") return PictureFormat::kPng;
    return std::nullopt;
}

const char* PictureExtension(PictureFormat format) {
    switch (format) {
        case PictureFormat::kEmf:
            return ".emf";
        case PictureFormat::kWmf:
            return ".wmf";
        case PictureFormat::kPdf:
            return ".pdf";
        case PictureFormat::kPng:
            return ".png";
        case PictureFormat::kSvg:
        default:
            return ".svg";
    }
}

PictureFormat FormatAt(std::span<const PictureFormat> formats, int item) {
    if (formats.empty()) return PictureFormat::kSvg;
    const auto count = static_cast<int>(formats.size());
    return formats[static_cast<std::size_t>((item >= 0 && item < count) ? item : 0)];
}

std::string ProposePictureName(const std::string& spectrum_file, PictureFormat format) {
    const std::string name = core::FileNameOf(spectrum_file);
    return name.empty() ? name : core::ReplaceExtension(name, PictureExtension(format));
}

std::string RenameForFilter(const std::string& name, int filter_index,
                            std::span<const PictureFormat> formats) {
    if (name.empty()) return name;
    return core::ReplaceExtension(name, PictureExtension(FormatAt(formats, filter_index - 1)));
}

PictureTarget PictureTargetFor(const std::string& chosen_path, int filter_index,
                               std::span<const PictureFormat> formats) {
    const std::optional<PictureFormat> by_name = PictureFormatOf(chosen_path);
    if (by_name && std::find(formats.begin(), formats.end(), *by_name) != formats.end()) {
        return {chosen_path, *by_name};
    }
    const PictureFormat format = FormatAt(formats, filter_index - 1);
    return {chosen_path + PictureExtension(format), format};
}

}  // namespace kalvex::output
