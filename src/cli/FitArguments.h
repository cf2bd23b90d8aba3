// kalvex-fit's command line: the parsed arguments, their checks and the usage text.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/Options.h"

namespace kalvex::cli {

/// A command line kalvex-fit cannot run; what() says why.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// How the bias is chosen for each fitted spectrum.
enum class BiasChoice {
    kAuto,      ///< "Auto": the automatic estimate (the program's default "Bias Setting")
    kFileAuto,  ///< "Manual+Auto": the peak file's bias when it has one, else the estimate
    kValue,     ///< a given value in normalised units
};

/// The parsed command line.
struct FitArguments {
    std::string Spectrum;
    std::string PeaksFile;                ///< --peaks
    std::optional<core::LineType> Shape;  ///< --shape; default: the peak file's flag
    std::string FitSelect = "111";        ///< from --fit letters p, w, h
    bool FractionL = false;               ///< --fit fraction
    bool GaussianWidth = false;           ///< --fit g (Gauss+Lorentz Gaussian width)
    std::optional<double> Fraction;       ///< --fraction: starting Lorentzian fraction
    int Mode = 0;                         ///< 0 "AUTO", 1 "Semi Auto", 2 "Manual"
    std::optional<int> DampItem;          ///< --damp
    std::optional<int> ConvItem;          ///< --conv
    std::optional<int> Iterations;        ///< --iterations ("Manual Set")
    int MaxIterations = 1000;             ///< --max-iterations
    BiasChoice Bias = BiasChoice::kAuto;
    double BiasValue = 0.0;            ///< --bias
    int Threads = 0;                   ///< --threads
    int Precision = 0;                 ///< --precision: 0 extended, 1 double
    int Jobs = 0;                      ///< --jobs: spectra fitted at once; 0: one per core
    bool TableHeader = true;           ///< --table-header
    bool LittleEndian = false;         ///< --little-endian
    std::optional<int> SpectrumIndex;  ///< --spectrum
    bool AllSpectra = false;           ///< --all-spectra
    bool Chain = false;                ///< --chain
    bool NoFit = false;                ///< --no-fit
    bool Quiet = false;                ///< --quiet
    bool Help = false;                 ///< --help
    std::string OutSp2, OutSpc, OutDat, OutSp3, Report, Table;
    std::string Plot;            ///< --plot: the picture file (format by extension)
    std::optional<int> PlotDpi;  ///< --plot-dpi
};

/// Parses the arguments after the program name. Throws UsageError for an unknown option, a
/// missing or bad value, or a combination that the program's dialogs would not allow.
FitArguments ParseFitArguments(const std::vector<std::string>& args);

/// The --help text.
std::string FitUsage();

}  // namespace kalvex::cli
