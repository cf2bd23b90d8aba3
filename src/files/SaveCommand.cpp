// Save as and Sequential Save over SaveFileName.
#include "files/SaveCommand.h"

#include "core/FileSystem.h"
#include "files/SpcFile.h"
#include "files/VnmrBinary.h"
#include "files/XyText.h"

namespace kalvex::files {

namespace {

std::string WithoutExtension(const std::string& path) { return core::ReplaceExtension(path, ""); }

bool SavesAsSpcByDefault(const std::string& path) {
    const std::string ext = core::ExtensionOf(path);
    return ext == ".spc" || ext == ".1rd" || ext == ".vdt" || ext == ".vnj" ||
           core::FileNameOf(path) == "1r";
}

}  // namespace

SaveAsProposal ProposeSaveAs(core::Document& doc) {
    SaveAsProposal proposal;
    doc.SaveFileName = doc.SpectrumFileName;
    proposal.Folder = core::FolderOf(doc.SpectrumFileName);
    const bool dat_type = doc.F_Type == static_cast<int>(core::FileType::kDat);
    if (!dat_type && SavesAsSpcByDefault(doc.SpectrumFileName)) {
        if (core::ExtensionOf(doc.SpectrumFileName) == ".vnj" && doc.IsArrayed) {
            doc.SaveFileName =
                WithoutExtension(doc.SaveFileName) + "-" + std::to_string(doc.ArrayIndex) + ".vnj";
        }
        proposal.FilterIndex = 1;
        proposal.DefaultExtension = "spc";
        proposal.ProposedPath = core::ReplaceExtension(doc.SaveFileName, ".spc");
    } else if (dat_type || core::ExtensionOf(doc.SpectrumFileName) == ".dat") {
        proposal.FilterIndex = 2;
        proposal.DefaultExtension = "dat";
        proposal.ProposedPath = core::ReplaceExtension(doc.SaveFileName, ".dat");
    }
    return proposal;
}

std::string RenameForSaveType(const std::string& file_name, int filter_index) {
    return core::ReplaceExtension(core::FileNameOf(file_name), filter_index == 2 ? ".dat" : ".spc");
}

SaveAsResult SaveAsChosenPath(core::Document& doc, const std::string& path,
                              const ReplaceQuestion& may_replace) {
    SaveAsResult result;
    doc.SaveFileName = path;
    const std::string ext = core::ExtensionOf(path);
    if (ext == ".spc") {
        SaveSpectrum(path, doc);
        result.SpectrumWritten = true;
    } else if (ext == ".dat") {
        // The peaks go beside the .dat, where its reader looks for them; the peak file of
        // the spectrum it came from stays as it is.
        const std::string sp2 = core::ReplaceExtension(path, ".sp2");
        result.PeakFileKept = doc.PeakCount > 0 && may_replace && core::FileReadable(sp2) &&
                              !may_replace(sp2);
        WriteXyTextFile(path, doc);
        result.SpectrumWritten = true;
        if (!result.PeakFileKept) result.PeakFile = WritePeakFile(sp2, doc);
    }
    return result;
}

std::string SequentialFileName(const std::string& save_file_name, int index) {
    return WithoutExtension(save_file_name) + "-" + std::to_string(index) + ".spc";
}

int SequentialSave(core::Document& doc, const core::Options& opts) {
    doc.SeqSaving = false;
    if (core::ExtensionOf(doc.SpectrumFileName) != ".vnj" || !doc.IsArrayed) return 0;

    const int shown = doc.ArrayIndex;
    const std::string base = doc.SaveFileName;
    doc.SeqSaving = true;
    int written = 0;
    try {
        // An int counter: with 255 spectra the 8-bit ArrayIndex could not pass ArrayCount.
        for (int k = 1; k <= doc.ArrayCount; ++k) {
            ReadArraySpectrum(doc, k, opts);
            doc.SaveFileName = SequentialFileName(base, k);
            SaveSpectrum(doc.SaveFileName, doc);
            ++written;
        }
    } catch (...) {
        // Show the spectrum of before again; if even that fails, ObsY and ArrayIndex still
        // agree, since ReadArraySpectrum changes neither on failure.
        try {
            ReadArraySpectrum(doc, shown, opts);
        } catch (...) {
        }
        doc.SeqSaving = false;
        throw;
    }
    ReadArraySpectrum(doc, shown, opts);
    doc.SeqSaving = false;
    return written;
}

}  // namespace kalvex::files
