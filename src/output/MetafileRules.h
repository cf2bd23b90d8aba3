// The rules of the metafile dialog: the resolution list, its preselection, the proposed file.
#pragma once

#include <string>

#include "output/PictureRules.h"

namespace kalvex::output {

/// The items of dpi_select, in list order.
inline constexpr int kDpiItems[] = {600, 400, 300, 200, 100};
inline constexpr int kDpiItemCount = 5;

/// dpi_select's text of item `item` ("600 dpi"; out of range counts as the first).
std::string DpiItemText(int item);

/// The item preselected for a printer of `printer_dpi`: 600 dpi from 501 on, 300 dpi below
/// 201, else 400 dpi.
int PreselectDpiItem(int printer_dpi);

/// dpi_show: the printer's resolution and " dpi".
std::string DpiShowText(int printer_dpi);

/// The resolution the metafile is drawn at: the chosen item's with " select dpi" ticked
/// (an item outside the list counts as the first), else the printer's own.
int MetafileDpi(bool select_dpi, int item, int printer_dpi);

/// The metafile formats in the order of Radio_EMF ("Enhanced (emf, recommend)", "normal
/// (wmf)") and of the save dialog's filter.
inline constexpr PictureFormat kMetafileFormats[] = {PictureFormat::kEmf, PictureFormat::kWmf};
inline constexpr const char* kMetafileFilter = "Enhanced Meta File|*.emf|Windows Meta File|*.wmf";

/// What the save dialog starts with.
struct MetafileProposal {
    std::string Folder;    ///< the spectrum file's folder
    std::string FileName;  ///< the spectrum's name with ".emf" or ".wmf"
    int FilterIndex = 1;   ///< 1 for EMF, 2 for WMF
};

/// The proposal for the spectrum file `spectrum_file`: EMF, or WMF when `wmf`. (A name typed
/// without an extension gets the chosen type's: PictureTargetFor.)
MetafileProposal ProposeMetafile(const std::string& spectrum_file, bool wmf);

}  // namespace kalvex::output
