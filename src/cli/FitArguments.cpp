// kalvex-fit's argument parsing and usage text.
#include "cli/FitArguments.h"

#include <algorithm>
#include <cmath>

#include "cli/FitPlot.h"
#include "core/Capacities.h"
#include "core/Error.h"
#include "core/FileSystem.h"
#include "core/TextToNumber.h"
#include "fit/GaussNewton.h"

namespace kalvex::cli {

using core::LineType;

namespace {

// The "Damp Value" and "Convergent" items as the Options dialog lists them.
constexpr double kDampItems[] = {1.0, 0.1, 0.01, 0.001, 0.0001, 0.00001};
constexpr double kConvItems[] = {0.1, 0.01, 0.001, 0.0001, 0.00001, 1E-6, 1E-7, 1E-8};

double NumberArg(const std::string& option, const std::string& text) {
    try {
        return core::TextToFloat(text);
    } catch (const Error&) {
        throw UsageError(option + " needs a number, not '" + text + "'");
    }
}

int IntegerArg(const std::string& option, const std::string& text, int lo, int hi) {
    std::int32_t v = 0;
    try {
        v = core::TextToInt(text);
    } catch (const Error&) {
        throw UsageError(option + " needs a whole number, not '" + text + "'");
    }
    if (v < lo || v > hi) {
        throw UsageError(option + " must be " + std::to_string(lo) + " to " + std::to_string(hi) +
                         ", not " + text);
    }
    return v;
}

// The index of `text` among `names`; a usage error naming them otherwise.
int ChoiceArg(const std::string& option, const std::string& text,
              const std::vector<std::string>& names) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (text == names[i]) return static_cast<int>(i);
    }
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i) {
        list += i == 0 ? "" : i + 1 == names.size() ? " or " : ", ";
        list += names[i];
    }
    throw UsageError(option + " must be " + list + ", not '" + text + "'");
}

// The item whose value equals `v` (to rounding), or -1.
template <std::size_t N>
int ItemOf(const double (&items)[N], double v) {
    for (std::size_t i = 0; i < N; ++i) {
        if (std::fabs(v - items[i]) <= 1e-9 * items[i]) return static_cast<int>(i);
    }
    return -1;
}

void ParseFitKinds(FitArguments& a, const std::string& kinds) {
    if (kinds == "fraction") {
        a.FitSelect = "000";
        a.FractionL = true;
        return;
    }
    if (kinds.empty()) throw UsageError("--fit needs the letters p, w, h (or g), or 'fraction'");
    std::string select = "000";
    for (char c : kinds) {
        int index = -1;
        switch (c) {
            case 'p':
                index = 0;
                break;
            case 'w':
                index = 1;
                break;
            case 'g':
                index = 1;
                a.GaussianWidth = true;
                break;
            case 'h':
                index = 2;
                break;
            default:
                throw UsageError(std::string("--fit: unknown kind '") + c +
                                 "' (use p, w, g, h or 'fraction')");
        }
        if (select[static_cast<std::size_t>(index)] == '1') {
            throw UsageError("--fit names a kind twice: " + kinds);
        }
        select[static_cast<std::size_t>(index)] = '1';
    }
    a.FitSelect = select;
}

}  // namespace

FitArguments ParseFitArguments(const std::vector<std::string>& args) {
    FitArguments a;
    bool bias_given = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        std::string value;
        bool has_value = false;
        if (arg.rfind("--", 0) == 0) {
            const std::size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                value = arg.substr(eq + 1);
                arg = arg.substr(0, eq);
                has_value = true;
            }
        }
        auto next = [&]() -> std::string {
            if (has_value) return value;
            if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
            return args[++i];
        };
        auto flag = [&]() {
            if (has_value) throw UsageError(arg + " takes no value");
        };
        auto set_bias = [&](BiasChoice choice) {
            if (bias_given)
                throw UsageError("give only one of --bias, --auto-bias and --file-bias");
            bias_given = true;
            a.Bias = choice;
        };
        if (arg == "--help" || arg == "-h") {
            a.Help = true;
        } else if (arg == "--peaks") {
            a.PeaksFile = next();
        } else if (arg == "--shape") {
            const std::string v = next();
            if (v == "gauss")
                a.Shape = LineType::kGauss;
            else if (v == "lorentz")
                a.Shape = LineType::kLorentz;
            else if (v == "gl")
                a.Shape = LineType::kGaussLorentz;
            else
                throw UsageError("--shape must be gauss, lorentz or gl, not '" + v + "'");
        } else if (arg == "--fit") {
            ParseFitKinds(a, next());
        } else if (arg == "--fraction") {
            a.Fraction = NumberArg(arg, next());
            if (!(*a.Fraction >= 0.0 && *a.Fraction <= 1.0)) {
                throw UsageError("--fraction must lie in 0..1");
            }
        } else if (arg == "--mode") {
            const std::string v = next();
            if (v == "auto")
                a.Mode = 0;
            else if (v == "semi")
                a.Mode = 1;
            else if (v == "manual")
                a.Mode = 2;
            else
                throw UsageError("--mode must be auto, semi or manual, not '" + v + "'");
        } else if (arg == "--damp") {
            const int item = ItemOf(kDampItems, NumberArg(arg, next()));
            if (item < 0) {
                throw UsageError("--damp must be one of 1.00, 0.10, 0.01, 0.001, 0.0001, 0.00001");
            }
            a.DampItem = item;
        } else if (arg == "--conv") {
            const std::string conv_text = next();
            if (conv_text == "auto") {
                a.ConvItem = fit::kConvAutoSetItem;
            } else {
                const int item = ItemOf(kConvItems, NumberArg(arg, conv_text));
                if (item < 0) {
                    throw UsageError(
                        "--conv must be one of 0.1, 0.01, 0.001, 0.0001, 0.00001, 1E-6, 1E-7, "
                        "1E-8 or auto");
                }
                a.ConvItem = item;
            }
        } else if (arg == "--iterations") {
            a.Iterations = IntegerArg(arg, next(), 1, 65535);
        } else if (arg == "--max-iterations") {
            a.MaxIterations = IntegerArg(arg, next(), 1, 1000000);
        } else if (arg == "--bias") {
            set_bias(BiasChoice::kValue);
            a.BiasValue = NumberArg(arg, next());
        } else if (arg == "--auto-bias") {
            flag();
            set_bias(BiasChoice::kAuto);
        } else if (arg == "--file-bias") {
            flag();
            set_bias(BiasChoice::kFileAuto);
        } else if (arg == "--threads") {
            a.Threads = IntegerArg(arg, next(), 1, 64);
        } else if (arg == "--precision") {
            a.Precision = ChoiceArg(arg, next(), {"extended", "double"});
        } else if (arg == "--jobs") {
            a.Jobs = IntegerArg(arg, next(), 1, 64);
        } else if (arg == "--table-header") {
            a.TableHeader = ChoiceArg(arg, next(), {"yes", "no"}) == 0;
        } else if (arg == "--little-endian") {
            flag();
            a.LittleEndian = true;
        } else if (arg == "--spectrum") {
            a.SpectrumIndex = IntegerArg(arg, next(), 1, core::kMaxSpectra);
        } else if (arg == "--all-spectra") {
            flag();
            a.AllSpectra = true;
        } else if (arg == "--chain") {
            flag();
            a.Chain = true;
        } else if (arg == "--no-fit") {
            flag();
            a.NoFit = true;
        } else if (arg == "--quiet") {
            flag();
            a.Quiet = true;
        } else if (arg == "--out-sp2") {
            a.OutSp2 = next();
        } else if (arg == "--out-spc") {
            a.OutSpc = next();
        } else if (arg == "--out-dat") {
            a.OutDat = next();
        } else if (arg == "--sp3") {
            a.OutSp3 = next();
        } else if (arg == "--report") {
            a.Report = next();
        } else if (arg == "--table") {
            a.Table = next();
        } else if (arg == "--plot") {
            a.Plot = next();
        } else if (arg == "--plot-dpi") {
            a.PlotDpi = IntegerArg(arg, next(), 50, 1200);
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("unknown option " + arg);
        } else {
            if (!a.Spectrum.empty()) throw UsageError("one spectrum at a time: " + arg);
            a.Spectrum = arg;
        }
    }
    if (a.Help) return a;
    if (a.Spectrum.empty()) throw UsageError("no spectrum given");

    const bool gl = a.Shape == LineType::kGaussLorentz;
    if (a.GaussianWidth && !gl) throw UsageError("--fit g (the Gaussian width) needs --shape gl");
    if (a.FractionL && !gl) throw UsageError("--fit fraction needs --shape gl");
    if (a.Fraction && !gl) throw UsageError("--fraction needs --shape gl");
    if (gl && !a.FractionL && std::count(a.FitSelect.begin(), a.FitSelect.end(), '1') != 1) {
        throw UsageError(
            "with --shape gl one kind is fitted at a time: --fit p, w, g, h or fraction");
    }
    // The Options page enables these controls only in the modes that use them.
    if (a.DampItem && a.Mode == 0) throw UsageError("--damp needs --mode semi or manual");
    if (a.ConvItem && a.Mode == 0) throw UsageError("--conv needs --mode semi or manual");
    if (a.Iterations && a.Mode != 2) throw UsageError("--iterations needs --mode manual");
    if (a.Iterations && a.ConvItem) throw UsageError("--conv has no effect with --iterations");
    if (a.SpectrumIndex && a.AllSpectra) {
        throw UsageError("give either --spectrum or --all-spectra");
    }
    if (a.Chain && !a.AllSpectra) throw UsageError("--chain needs --all-spectra");
    if (a.Jobs != 0 && (!a.AllSpectra || a.Chain)) {
        throw UsageError("--jobs needs --all-spectra without --chain");
    }
    if (a.AllSpectra && !(a.OutSp2.empty() && a.OutSpc.empty() && a.OutDat.empty() &&
                          a.OutSp3.empty() && a.Report.empty())) {
        throw UsageError("--all-spectra writes its results with --table only");
    }
    if (!a.Plot.empty() && !PlotFormatSupported(a.Plot)) {
        throw UsageError("--plot needs a file name ending in .emf, .wmf, .svg, .pdf or .png");
    }
    if (a.PlotDpi && a.Plot.empty()) throw UsageError("--plot-dpi needs --plot");
    if (!a.OutSpc.empty() && core::ExtensionOf(a.OutSpc) != ".spc") {
        throw UsageError("--out-spc needs a file name ending in .spc");
    }
    if (!a.OutDat.empty() && core::ExtensionOf(a.OutDat) != ".dat") {
        throw UsageError("--out-dat needs a file name ending in .dat");
    }
    return a;
}

std::string FitUsage() {
    return R"usage(Usage: kalvex-fit SPECTRUM [options]

Fits the peaks of a spectrum with Kalvex's Gauss-Newton least-squares engine, the same
engine and choices as the fit dialog of the program, and writes the results.

SPECTRUM is any spectrum Kalvex opens: .spc, .dat, .1rd (or 1r), .vdt, .vnj (with .vnp).
Its peaks come from the .spc file itself or the .sp2 file beside it, or from --peaks.
The fit range is the whole spectrum. The program's fit button is enabled only while the
squared sum is below the Options "Max Limit of | r |"; kalvex-fit fits from any start.

Input:
  --peaks FILE        read the starting peaks from FILE (.sp2 peak lines) instead
  --spectrum K        fit spectrum K of an arrayed .vnj file (default 1)
  --all-spectra       fit every spectrum of an arrayed file, each from the same
                      starting peaks; results go to --table
  --jobs N            with --all-spectra: fit N spectra at once, one per core by
                      default; the output is the same as with --jobs 1
  --chain             with --all-spectra: start each spectrum from the previous result
                      (one at a time)
  --little-endian     binary spectra are little-endian (the Options "x86 CPU" box)

Model:
  --shape gauss|lorentz|gl
                      line shape of all peaks; default: the flag of the peak lines
                      (Gauss or Lorentz). gl is Gauss+Lorentz: every peak has a Gaussian
                      and a Lorentzian half width (both start at the peak's half width)
                      and a Lorentzian fraction
  --fraction F        gl: starting Lorentzian fraction of every peak (default 0.5)
  --bias V            baseline bias V in normalised units (as in peak files)
  --auto-bias         the automatic bias estimate (default, as the program's "Bias
                      Setting" "Auto": it replaces any bias of the peak lines)
  --file-bias         the bias of the peak lines when they carry one, else the estimate
                      ("Manual+Auto")

Fit:
  --fit KINDS         kinds to fit: letters p (position), w (half width), h (height),
                      default pwh; gl fits one kind at a time: p, w (Lorentzian width),
                      g (Gaussian width), h (area, the height follows) or 'fraction'
  --mode auto|semi|manual
                      "AUTO" (default: damping and convergence chosen by the engine),
                      "Semi Auto" or "Manual"
  --damp V            semi, manual: damping 1.00, 0.10, 0.01 (default), 0.001, 0.0001,
                      0.00001
  --conv V            semi, manual: convergence limit 0.1, 0.01, 0.001 (default), 0.0001,
                      0.00001, 1E-6, 1E-7, 1E-8 or auto (0.001 x damping; in manual mode
                      auto picks the limit two items below the damping, as the Options
                      page does)
  --iterations N      manual: run exactly N iterations ("Manual Set"), 1..65535, unless
                      the squared sum stops changing or diverges first
  --max-iterations N  give up after N iterations in all (default 1000, at least the
                      --iterations count); the engine itself would go on until stopped
  --precision extended|double
                      "Extended (exact)" (default): the fit in 80-bit extended precision
                      as in the program; "Double (fast)": curves, derivatives and sums in
                      double, an order of magnitude faster, the same squared sum within
                      1E-9 relative (the program's Options "Precision")
  --threads N         threads for the normal matrix (default: one per core; with
                      --jobs above 1, one per fit); the results are the same for every
                      count
  --no-fit            do not fit: read, synthesise the curves and write the outputs; no
                      peaks are needed then, so a spectrum converts as Save as does
  --quiet             no progress lines

Output:
  --out-sp2 FILE      the fitted peaks as a .sp2 peak file
  --out-spc FILE      the spectrum with the fitted peaks as a .spc file
  --out-dat FILE      the spectrum as X-Y text (.dat: ppm and intensity per line)
  --sp3 FILE          the .sp3 curve table: spectrum, every peak curve and their sum
  --report FILE       the .par fit report
  --table FILE        CSV, one row per spectrum and peak: position (point, ppm, Hz),
                      height and area (in the file's intensity units), full width (Hz),
                      their errors, the squared sum and how the fit ended; with gl also
                      the fraction and both full widths
  --plot FILE         the picture of the fitted spectrum as the program prints it, in the
                      format of FILE's extension: .emf, .wmf, .svg, .pdf or .png; with
                      --all-spectra one file per fitted spectrum, numbered FILE-<k>.<ext>,
                      the spectra then fitted one after another.
                      It uses the print layout (lengths, pens, styles) of the program's
                      settings file on an A4 page
  --plot-dpi N        its resolution, 50..1200 (default: 300 for .png, else 600)
  --table-header yes|no
                      start the table with its header line (default yes); no gives rows
                      that a batch over many files joins by concatenation
Each fit prints one line on standard output:
  Z=<squared sum> iterations=<n> seconds=<fit time>
(prefixed by spectrum=<k> with --all-spectra; Z empty when the fit met a value that is not
finite). Progress, messages and warnings about meaningless results go to standard error.

Exit status:
  0  success
  1  bad usage, a file that cannot be read or written, no peaks, or too few points
  2  the fit failed: a singular matrix ("pause in LUDCMP - singular matrix"), a value that
     is not finite (NaN or infinity), a divergence ("Change Initial Conditions !!!", modes
     semi and manual) or no convergence within --max-iterations; no output file is written
     then (with --all-spectra the table is, with the failed spectra marked; a spectrum whose
     fit met a value that is not finite has no numbers in it)
)usage";
}

}  // namespace kalvex::cli
