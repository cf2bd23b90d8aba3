// Save as (.spc or .dat with its peak file) and the Sequential Save of an arrayed spectrum.
#pragma once

#include <functional>
#include <string>

#include "core/Document.h"
#include "core/Options.h"
#include "files/PeakLines.h"

namespace kalvex::files {

/// The save dialog's filter: type 1 ".spc", type 2 ".dat".
inline constexpr const char* kSaveAsFilter =
    "Data & Parameters File (.spc)|*.spc|Data File (.dat)|*.dat";

/// Shown when Save as is given a name whose extension is neither ".spc" nor ".dat".
inline constexpr const char* kNotSavedMessage =
    "Nothing was saved: choose a name ending in .spc or .dat";

/// What the save dialog starts with.
struct SaveAsProposal {
    int FilterIndex = 0;           ///< 1 ".spc", 2 ".dat"; 0: keep the dialog's last type and name
    std::string DefaultExtension;  ///< "spc" or "dat"; empty with FilterIndex 0
    std::string ProposedPath;      ///< full path of the proposed file; empty with FilterIndex 0
    std::string Folder;            ///< start folder: the folder of SpectrumFileName
};

/// Starts Save as: SaveFileName = SpectrumFileName; then type 1 (".spc") when F_Type is not 2
/// and the spectrum came from a ".spc", ".1rd", ".vdt" or ".vnj" file or a Bruker file named
/// "1r"; for spectrum k of an arrayed ".vnj" file SaveFileName first becomes the name without
/// extension + "-k.vnj". Else type 2 (".dat") when the extension is ".dat" or F_Type is 2.
/// The proposed path is SaveFileName with the type's extension. Cancelling the dialog keeps
/// the SaveFileName set here.
SaveAsProposal ProposeSaveAs(core::Document& doc);

/// The file-name box after the user switches the type: `file_name` without folder, with its
/// extension replaced by ".spc" (filter_index 1) or ".dat" (2).
std::string RenameForSaveType(const std::string& file_name, int filter_index);

/// What a confirmed Save as wrote.
struct SaveAsResult {
    bool SpectrumWritten = false;  ///< false: neither ".spc" nor ".dat"; show kNotSavedMessage
    /// After a ".dat": the peak file; kNoPeakData means show kNoPeakDataMessage.
    PeakWriteStatus PeakFile = PeakWriteStatus::kWritten;
    /// After a ".dat": an existing peak file the user chose to keep (nothing written to it).
    bool PeakFileKept = false;
};

/// Asked before an existing file is replaced (gets its path); true replaces it.
using ReplaceQuestion = std::function<bool(const std::string& path)>;

/// Writes the confirmed path: SaveFileName = `path`; ".spc" runs Save (SaveSpectrum); ".dat"
/// writes the X-Y text of the displayed range and the .sp2 peak file beside it with its name
/// (b.dat, b.sp2), asking `may_replace` first when that exists (no question without it); any
/// other extension writes nothing. Every file is written atomically; a write failure throws
/// kalvex::Error and keeps the previous file.
SaveAsResult SaveAsChosenPath(core::Document& doc, const std::string& path,
                              const ReplaceQuestion& may_replace = nullptr);

/// The name of spectrum `index` in a Sequential Save: `save_file_name` without its extension,
/// "-", the number in decimal, ".spc" ("/d/run.vnj", 12 -> "/d/run-12.spc").
std::string SequentialFileName(const std::string& save_file_name, int index);

/// Sequential Save: for an arrayed ".vnj" spectrum, re-reads every spectrum 1..ArrayCount
/// (ReadArraySpectrum, with SeqSaving set) and saves it as a ".spc" file named by
/// SequentialFileName from the SaveFileName at the start; SaveFileName keeps the last name
/// written. Then the spectrum shown before is read again and SeqSaving is cleared, also when
/// a read or a write fails (the error is rethrown; files written stay). Returns the number
/// of files written: 0 for a file that is not an arrayed ".vnj".
int SequentialSave(core::Document& doc, const core::Options& opts);

}  // namespace kalvex::files
