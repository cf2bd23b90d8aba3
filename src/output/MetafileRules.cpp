#include "output/MetafileRules.h"

#include "core/FileSystem.h"

namespace kalvex::output {

std::string DpiItemText(int item) {
    if (item < 0 || item >= kDpiItemCount) item = 0;
    return std::to_string(kDpiItems[item]) + " dpi";
}

int PreselectDpiItem(int printer_dpi) {
    if (printer_dpi >= 501) return 0;
    if (printer_dpi < 201) return 2;
    return 1;
}

std::string DpiShowText(int printer_dpi) { return std::to_string(printer_dpi) + " dpi"; }

int MetafileDpi(bool select_dpi, int item, int printer_dpi) {
    if (!select_dpi) return printer_dpi;
    if (item < 0 || item >= kDpiItemCount) item = 0;
    return kDpiItems[item];
}

MetafileProposal ProposeMetafile(const std::string& spectrum_file, bool wmf) {
    MetafileProposal p;
    const PictureFormat format = wmf ? PictureFormat::kWmf : PictureFormat::kEmf;
    p.Folder = core::FolderOf(spectrum_file);
    p.FileName = ProposePictureName(spectrum_file, format);
    p.FilterIndex = wmf ? 2 : 1;
    return p;
}

}  // namespace kalvex::output
