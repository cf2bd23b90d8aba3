#include "files/OpenCommand.h"

#include <cstring>

#include "core/Capacities.h"
#include "core/Error.h"
#include "core/FileSystem.h"
#include "files/Bruker1r.h"
#include "files/PeakLines.h"
#include "files/SpcFile.h"
#include "files/VnmrBinary.h"
#include "files/VnmrText.h"
#include "files/XyText.h"

namespace kalvex::files {

namespace {

void ReadSpc(core::Document& doc, const std::string& path, const core::Options& opts,
             const ArrayChooser& /*choose*/) {
    ReadSpcFile(doc, path, opts);
}

}  // namespace

const std::vector<ReaderEntry>& Readers() {
    // One row per format, in the order of the open dialog's filter; F_Type follows the row.
    static const std::vector<ReaderEntry> readers = {
        {".spc", nullptr, &ReadSpc, true, "NMR spectra (*.spc)|*.spc"},
        {".dat", nullptr, &ReadXyText, true, "X-Y Data (*.dat)|*.dat"},
        // Spectrometer software stores the processed spectrum as "1r" beside "procs".
        {".1rd", "1r", &ReadBruker1r, false, "Binary Bruker 1r (*.1rd)|*.1rd;1r"},
        {".vdt", nullptr, &ReadVnmrText, true, "VnmrJ text (*.vdt)|*.vdt"},
        {".vnj", nullptr, &ReadVnmrBinary, false, "VnmrJ Binary (*.vnj)|*.vnj"},
    };
    return readers;
}

const ReaderEntry* FindReader(const std::string& path) {
    const std::string name = core::FileNameOf(path);
    const std::string ext = core::ExtensionOf(path);
    for (const ReaderEntry& r : Readers()) {
        if (r.ExactName != nullptr && name == r.ExactName) return &r;
        if (r.Extension != nullptr && ext == r.Extension) return &r;
    }
    return nullptr;
}

std::string OpenDialogFilter() {
    std::string filter;
    for (const ReaderEntry& r : Readers()) {
        if (!filter.empty()) filter += "|";
        filter += r.FilterEntry;
    }
    return filter;
}

bool PathTooLongToOpen(const std::string& path) { return path.size() > core::kMaxPathLength; }

core::Document LoadSpectrum(const std::string& path, const core::Document& previous,
                            const core::Options& opts, const ArrayChooser& choose,
                            PeakFileNotes* notes) {
    const ReaderEntry* reader = FindReader(path);
    if (reader == nullptr) {
        const std::string ext = core::ExtensionOf(path);
        throw Error(ext.empty()
                        ? std::string("Kalvex cannot tell the type of a file without extension")
                        : "Kalvex has no reader for files of the type \"" + ext + "\"",
                    path);
    }
    core::Document doc = core::Document::FreshForOpen(previous);
    doc.SpectrumFileName = path;
    doc.SaveFileName = path;
    reader->Read(doc, path, opts, choose);
    // Peak lines of the file itself always give at least one peak.
    const bool beside = notes == nullptr || notes->ReadBeside;
    if (reader->ReadsSp2Beside && doc.PeakCount == 0 && beside) {
        const float bias = doc.Bias;
        const bool lorentz = doc.PeakKindLorentz;
        try {
            ReadPeakFileIfPresent(core::ReplaceExtension(path, ".sp2"), doc);
        } catch (const Error& e) {
            doc.PeakCount = 0;
            doc.Bias = bias;
            doc.BiasFromFile = false;
            doc.PeakKindLorentz = lorentz;
            if (notes != nullptr) notes->Error = e.what();
        }
    }
    // Files with one X unit have equal steps, which gives 1; a zero step has no frequency.
    doc.ObsFreq = doc.XStepPpm != 0.0 ? doc.XStepHz / doc.XStepPpm : 1.0;
    return doc;
}

}  // namespace kalvex::files
