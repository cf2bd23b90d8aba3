// The table of spectrum readers and the reading part of the open command.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/Document.h"
#include "core/Options.h"

namespace kalvex::files {

/// Asks which spectrum of an arrayed file to show: gets ArrayCount (2..255) and returns a
/// number in 1..ArrayCount.
using ArrayChooser = std::function<int(int array_count)>;

/// A spectrum reader: fills `doc` (fresh from Document::FreshForOpen, buffers allocated)
/// from `path`, sets F_Type, and throws kalvex::Error on bad input.
using SpectrumReader = void (*)(core::Document& doc, const std::string& path,
                                const core::Options& opts, const ArrayChooser& choose);

/// One row of the reader table.
struct ReaderEntry {
    const char* Extension;  ///< exact, case-sensitive, with the dot (".spc"); or nullptr
    const char* ExactName;  ///< a file name matched as a whole ("1r"); or nullptr
    SpectrumReader Read;
    /// Afterwards read the .sp2 file of the same name, if present and the file itself
    /// carried no peak lines.
    bool ReadsSp2Beside;
    const char* FilterEntry;  ///< the open dialog's filter entry, "NMR spectra (*.spc)|*.spc"
};

/// Every reader, in the order of the open dialog's filter.
const std::vector<ReaderEntry>& Readers();

/// The reader for `path`, or nullptr when its extension or name matches no row.
const ReaderEntry* FindReader(const std::string& path);

/// The open dialog's filter: the entries of Readers() joined by "|".
std::string OpenDialogFilter();

/// True when `path` is too long to open: more than core::kMaxPathLength (255) characters.
/// The open command refuses it before it clears anything.
bool PathTooLongToOpen(const std::string& path);

/// What an open says about the peak file beside the spectrum besides the spectrum it read.
struct PeakFileNotes {
    /// In: read the .sp2 file beside the spectrum (kalvex-fit --peaks reads another instead).
    bool ReadBeside = true;
    /// Out: the error of a peak file beside the spectrum that could not be read (its file and
    /// line); the spectrum was opened without peaks then. Empty when it read or was absent.
    std::string Error;
};

/// Reads the spectrum at `path` into a new document made by Document::FreshForOpen from
/// `previous`: the reader of its row, then, when the row says so and the file carried no peak
/// lines of its own, the .sp2 file beside it, then ObsFreq = XStepHz / XStepPpm.
/// SpectrumFileName and SaveFileName are `path`. A peak file beside it that cannot be read
/// leaves the spectrum open without peaks (bias and line shape as before it) and its error in
/// `notes` (dropped without notes): the spectrum is not the peak file's fault. `previous` is
/// never changed, so a failure of the spectrum itself (kalvex::Error) leaves the caller's
/// document as it was.
core::Document LoadSpectrum(const std::string& path, const core::Document& previous,
                            const core::Options& opts, const ArrayChooser& choose,
                            PeakFileNotes* notes = nullptr);

}  // namespace kalvex::files
