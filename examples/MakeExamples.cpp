// Writes the example spectra and their starting peaks: synthetic lines with a little noise.
//
// Usage: kalvex-make-examples FOLDER          writes them into FOLDER
//        kalvex-make-examples --check FOLDER  fails when FOLDER's copies differ from them
// The spectra are made from known Lorentz or Gauss lines, so a fit of the starting peaks
// must come back to the numbers below; the starting peaks are a few points and 10-20 % off.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/Document.h"
#include "core/Error.h"
#include "core/FileSystem.h"
#include "files/PeakLines.h"
#include "files/SpcFile.h"
#include "fit/LineShapes.h"

namespace {

using kalvex::core::Document;

struct Line {
    double Ppm;
    double Height;     // raw units
    double HalfWidth;  // points
};

// A small deterministic generator, so every build writes the same bytes.
class Noise {
public:
    double Next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<double>(state_ >> 11) / 9007199254740992.0 - 0.5;
    }

private:
    std::uint64_t state_ = 20111;
};

struct Example {
    std::string Name;
    std::int32_t Points;
    double FirstPpm;
    double StepPpm;
    double ObsFreq;
    bool Lorentz;
    bool ColLayout;
    double Baseline;
    double NoiseLevel;
    std::vector<Line> Lines;
};

int PointOf(const Example& e, double ppm) {
    return static_cast<int>((e.FirstPpm - ppm) / e.StepPpm + 1.5);
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(const Example& e, const std::string& folder) {
    Document doc = Document::FreshForOpen(Document{});
    doc.PointCount = doc.ViewPointCount = doc.RangeFullCount = e.Points;
    doc.XFirstPpm = doc.XFirstPpm0 = doc.RangeFullPpm = e.FirstPpm;
    doc.XStepPpm = e.StepPpm;
    doc.XFirstHz = doc.XFirstHz0 = doc.RangeFullHz = e.FirstPpm * e.ObsFreq;
    doc.XStepHz = e.StepPpm * e.ObsFreq;
    doc.PeakKindLorentz = e.Lorentz;
    doc.F_Type = e.ColLayout ? 1 : 0;

    std::vector<double> raw(static_cast<std::size_t>(e.Points), e.Baseline);
    std::vector<double> shape(static_cast<std::size_t>(e.Points));
    for (const Line& l : e.Lines) {
        kalvex::fit::FillPeakCurve(shape.data(), static_cast<std::uint16_t>(PointOf(e, l.Ppm)),
                                   e.Points, l.HalfWidth, l.Height, e.Lorentz);
        for (std::size_t i = 0; i < raw.size(); ++i) raw[i] += shape[i];
    }
    Noise noise;
    for (double& v : raw) v += e.NoiseLevel * noise.Next();

    // Stored like an imported spectrum: normalised to 0..1 with the raw range as YScale.
    double lo = raw[0];
    double hi = raw[0];
    for (double v : raw) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    doc.YScale = hi - lo;
    for (std::size_t i = 0; i < raw.size(); ++i) doc.ObsY[i] = (raw[i] - lo) / doc.YScale;

    // Starting peaks for the fit: near the lines, not on them.
    int k = 0;
    for (const Line& l : e.Lines) {
        ++k;
        doc.PeakPos[k] = static_cast<std::uint16_t>(PointOf(e, l.Ppm) + (k % 2 == 0 ? 1 : -1));
        doc.PeakHeight[k] = 0.9 * l.Height / doc.YScale;
        doc.PeakHalfWidth[k] = 1.15 * l.HalfWidth;
    }
    doc.PeakCount = static_cast<std::uint8_t>(k);

    const std::string base = folder + "/" + e.Name;
    kalvex::core::WriteFileAtomically(base + ".sp2", kalvex::files::PeakFileText(doc));
    doc.PeakCount = 0;  // the spectrum file carries no peaks: they come from the .sp2 beside it
    kalvex::core::WriteFileAtomically(base + ".spc", kalvex::files::SpcFileText(doc));
}

}  // namespace

int main(int argc, char** argv) {
    const bool check = argc == 3 && std::string(argv[1]) == "--check";
    if (argc != 2 && !check) {
        std::fprintf(stderr, "usage: kalvex-make-examples [--check] FOLDER\n");
        return 1;
    }
    const std::string folder = argv[argc - 1];
    namespace fs = std::filesystem;
    const std::string target =
        check ? (fs::temp_directory_path() / ("kalvex-examples-" + std::to_string(::getpid())))
                    .string()
              : folder;
    if (check) fs::create_directories(target);
    const std::vector<Example> examples = {
        // Ethanol on a 60 MHz bench-top spectrometer, 0.075 Hz per point: the CH2 quartet, the
        // OH singlet and the CH3 triplet, J = 7 Hz.
        {"ethanol-60MHz",
         4096,
         5.0,
         0.00125,
         60.0,
         true,
         false,
         2.0,
         1.5,
         {{3.8650, 100.0, 7.0},
          {3.7483, 300.0, 7.0},
          {3.6317, 300.0, 7.0},
          {3.5150, 100.0, 7.0},
          {2.6100, 180.0, 10.0},
          {1.3367, 150.0, 7.0},
          {1.2200, 300.0, 7.0},
          {1.1033, 150.0, 7.0}}},
        // Two overlapping Gaussian lines, one value per line in the file.
        {"overlap-gauss",
         2048,
         6.0,
         0.002,
         100.0,
         false,
         true,
         0.0,
         0.4,
         {{3.05, 40.0, 12.0}, {2.95, 25.0, 15.0}}},
        // A broad Lorentzian line on a raised baseline: the automatic bias finds the baseline.
        {"broad-lorentz", 1024, 200.0, 0.2, 150.9, true, false, 30.0, 0.8, {{110.0, 100.0, 25.0}}},
    };
    try {
        for (const Example& e : examples) Write(e, target);
    } catch (const kalvex::Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    if (!check) return 0;
    int differing = 0;
    for (const Example& e : examples) {
        for (const char* ext : {".spc", ".sp2"}) {
            const std::string name = e.Name + ext;
            if (ReadAll(target + "/" + name) != ReadAll(folder + "/" + name)) {
                std::fprintf(stderr, "%s/%s is not what the generator writes\n", folder.c_str(),
                             name.c_str());
                ++differing;
            }
        }
    }
    fs::remove_all(target);
    return differing == 0 ? 0 : 1;
}
