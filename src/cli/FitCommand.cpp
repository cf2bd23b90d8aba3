// kalvex-fit: read a spectrum and its peaks, fit them with the program's engine, write results.
#include "cli/FitCommand.h"

#include "core/Document.h"
#include "core/Error.h"
#include "core/FileSystem.h"
#include "core/NumberFormat.h"
#include "core/NumberReader.h"
#include "core/TextToNumber.h"
#include "files/OpenCommand.h"
#include "files/PeakLines.h"
#include "files/SpcFile.h"
#include "files/VnmrBinary.h"
#include "fit/GaussNewton.h"
#include "fit/LineShapes.h"
#include "peaks/FitReport.h"
#include "peaks/PeakArea.h"
#include "tools/Bias.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ostream>

namespace kalvex::cli {

using core::Document;
using core::LineType;

namespace {

constexpr const char* kProgram = "kalvex-fit";

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

// The peak table of a document, to start every spectrum of a series from the same peaks.
struct PeakTable {
    std::uint8_t Count = 0;
    core::PeakArray<std::uint16_t> Pos;
    core::PeakArray<double> Height, HalfWidth, HalfWidthG, HalfWidthL, FractionL, AreaGL;
    core::PeakArray<double> PosErr, HeightErr, HalfWidthErr, HalfWidthGErr, HalfWidthLErr,
        FractionLErr;

    static PeakTable Of(const Document& d) {
        return {d.PeakCount,         d.PeakPos,         d.PeakHeight,       d.PeakHalfWidth,
                d.PeakHalfWidthG,    d.PeakHalfWidthL,  d.PeakFractionL,    d.PeakAreaGL,
                d.PeakPosErr,        d.PeakHeightErr,   d.PeakHalfWidthErr, d.PeakHalfWidthGErr,
                d.PeakHalfWidthLErr, d.PeakFractionLErr};
    }
    void To(Document& d) const {
        d.PeakCount = Count;
        d.PeakPos = Pos;
        d.PeakHeight = Height;
        d.PeakHalfWidth = HalfWidth;
        d.PeakHalfWidthG = HalfWidthG;
        d.PeakHalfWidthL = HalfWidthL;
        d.PeakFractionL = FractionL;
        d.PeakAreaGL = AreaGL;
        d.PeakPosErr = PosErr;
        d.PeakHeightErr = HeightErr;
        d.PeakHalfWidthErr = HalfWidthErr;
        d.PeakHalfWidthGErr = HalfWidthGErr;
        d.PeakHalfWidthLErr = HalfWidthLErr;
        d.PeakFractionLErr = FractionLErr;
    }
};

// Progress on the error stream; a stop after --max-iterations iterations in all.
class CliObserver : public fit::FitObserver {
public:
    CliObserver(std::ostream& err, bool quiet, int cap) : err_(err), quiet_(quiet), cap_(cap) {}

    bool OnIteration(double z, double z_old, std::uint16_t count) override {
        ++total_;
        if (!quiet_) {
            err_ << kProgram << ": iteration " << count << ": Z=" << core::FormatGeneral(z)
                 << " decrease=" << core::FormatGeneral(z_old - z) << "\n";
        }
        if (total_ >= cap_) capped_ = true;
        return capped_;
    }
    void OnWarning(const std::string& message) override {
        err_ << kProgram << ": " << message << "\n";
    }
    bool Capped() const { return capped_; }

private:
    std::ostream& err_;
    bool quiet_;
    int cap_;
    int total_ = 0;
    bool capped_ = false;
};

struct FitOutcome {
    double Z = 0.0;
    int Iterations = 0;
    double Seconds = 0.0;
    std::string Status;  // table column: converged, unchanged, iterations, stopped, ...
    bool Failed = false;
};

std::string StatusOf(fit::FitEnd reason) {
    switch (reason) {
        case fit::FitEnd::kConverged:
            return "converged";
        case fit::FitEnd::kUnchangedZ:
            return "unchanged";
        case fit::FitEnd::kIterationCount:
            return "iterations";
        case fit::FitEnd::kStopped:
            return "stopped";
        case fit::FitEnd::kDiverged:
            return "diverged";
        case fit::FitEnd::kSingularMatrix:
            return "singular";
        default:
            return "refused";
    }
}

std::string Real(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.12g", v);
    return buf;
}

class FitSession {
public:
    FitSession(const FitArguments& a, std::ostream& out, std::ostream& err)
        : a_(a), out_(out), err_(err) {}

    int Run();

private:
    void ApplyBias(Document& doc) const;
    fit::GaussNewtonOptions EngineOptions(const Document& doc);
    FitOutcome FitOne(Document& doc, const std::string& prefix);
    void WriteOutputs(const Document& doc) const;
    void AddTableRows(const Document& doc, int spectrum, const FitOutcome& o);

    const FitArguments& a_;
    std::ostream& out_;
    std::ostream& err_;
    core::Options opts_;
    LineType type_ = LineType::kGauss;
    fit::GaussNewtonOptions engine_;
    std::string table_;
};

void FitSession::ApplyBias(Document& doc) const {
    switch (a_.Bias) {
        case BiasChoice::kValue:
            doc.Bias = static_cast<float>(a_.BiasValue);
            break;
        case BiasChoice::kAuto:
            tools::ApplyAutoBiasSetting(doc, 1, tools::ComputeAutoBias(doc));
            break;
        case BiasChoice::kFileAuto:
            tools::ApplyAutoBiasSetting(doc, 2, tools::ComputeAutoBias(doc));
            break;
    }
}

fit::GaussNewtonOptions FitSession::EngineOptions(const Document& doc) {
    // The Options page as the user would set it; the engine options come from there exactly
    // as in the program.
    opts_.AutoOK = a_.Mode == 0;
    opts_.Manu1 = a_.Mode == 1;
    opts_.Manu2 = a_.Mode == 2;
    if (a_.DampItem) opts_.DampVal = *a_.DampItem;
    if (a_.ConvItem) opts_.ConvVal = *a_.ConvItem;
    // "Auto Set" chosen while "Manual" is pressed becomes the item two below the damping.
    if (a_.Mode == 2 && opts_.ConvVal == fit::kConvAutoSetItem) opts_.ConvVal = opts_.DampVal + 2;
    opts_.Set_Ite = a_.Iterations ? 1 : 0;
    if (a_.Iterations) opts_.Manu_ITE = std::to_string(*a_.Iterations);
    opts_.fraction_Check = a_.FractionL;
    Document select = Document{};
    select.FitSelect = a_.FitSelect;
    select.PeakKindLorentz = doc.PeakKindLorentz;
    fit::GaussNewtonOptions o =
        fit::MakeGaussNewtonOptions(opts_, select, !a_.GaussianWidth, a_.GaussianWidth);
    o.Threads = a_.Threads;
    return o;
}

FitOutcome FitSession::FitOne(Document& doc, const std::string& prefix) {
    FitOutcome o;
    const double start_z = fit::SynthesiseModel(doc, type_);  // as the redraw after an open
    if (a_.NoFit) {
        o.Z = start_z;
        o.Status = "not fitted";
    } else {
        fit::FitRunState state;
        state.CopyObserved(doc);
        const int cap = std::max(a_.MaxIterations, a_.Iterations.value_or(0));
        CliObserver observer(err_, a_.Quiet, cap);
        const auto t0 = std::chrono::steady_clock::now();
        const fit::GaussNewtonSummary s = fit::RunGaussNewton(doc, engine_, state, observer);
        o.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (!s.ResultsWritten() && s.Reason != fit::FitEnd::kSingularMatrix) {
            throw Error(s.Message, a_.Spectrum);  // refused: no peaks, N <= P, selection
        }
        o.Z = s.Z;
        o.Iterations = s.TotalIterations;
        o.Status = StatusOf(s.Reason);
        if (s.Reason == fit::FitEnd::kSingularMatrix) {
            err_ << kProgram << ": " << s.Message << "\n";
            o.Failed = true;
        } else if (s.Reason == fit::FitEnd::kDiverged) {
            o.Failed = true;
        } else if (s.Reason == fit::FitEnd::kStopped && observer.Capped()) {
            err_ << kProgram << ": no convergence within " << cap << " iterations\n";
            o.Status = "not converged";
            o.Failed = true;
        }
        fit::SynthesiseModel(doc, type_);  // the curves of the written values
    }
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.6f", o.Seconds);
    out_ << prefix << "Z=" << core::FormatGeneral(o.Z) << " iterations=" << o.Iterations
         << " seconds=" << seconds << "\n";
    return o;
}

void FitSession::WriteOutputs(const Document& doc) const {
    auto check = [](files::PeakWriteStatus status, const std::string& path) {
        if (status == files::PeakWriteStatus::kNoPeakData)
            throw Error(files::kNoPeakDataMessage, path);
    };
    if (!a_.OutSp2.empty()) check(files::WritePeakFile(a_.OutSp2, doc), a_.OutSp2);
    if (!a_.OutSpc.empty()) check(files::SaveSpectrum(a_.OutSpc, doc), a_.OutSpc);
    if (!a_.OutSp3.empty()) check(files::WriteCurveTable(a_.OutSp3, doc), a_.OutSp3);
    if (!a_.Report.empty()) peaks::WriteFitReport(a_.Report, doc, opts_);
}

void FitSession::AddTableRows(const Document& doc, int spectrum, const FitOutcome& o) {
    const bool gl = type_ == LineType::kGaussLorentz;
    if (table_.empty()) {
        table_ =
            "spectrum,peak,status,position_point,position_ppm,position_hz,height,full_width_hz,"
            "area,position_error_point,position_error_ppm,position_error_hz,height_error,"
            "full_width_error_hz,area_error,squared_sum";
        if (gl) {
            table_ +=
                ",fraction_l,fraction_l_error,gauss_full_width_hz,gauss_full_width_error_hz,"
                "lorentz_full_width_hz,lorentz_full_width_error_hz";
        }
        table_ += "\r\n";
    }
    const int int_type = peaks::EffectiveIntType(type_, opts_.Int_Type);
    const double step_hz = std::fabs(doc.XStepHz);
    for (int k = 1; k <= doc.PeakCount; ++k) {
        const int p = doc.PeakPos[k];
        const peaks::AreaWithError area = peaks::AreaOfPeak(doc, type_, int_type, k);
        std::string row = std::to_string(spectrum);
        // Field by field: operator+ on a literal and a string trips a false -Wrestrict.
        auto field = [&row](const std::string& text) {
            row += ',';
            row += text;
        };
        field(std::to_string(k));
        field(o.Status);
        field(std::to_string(p));
        field(Real(doc.XFirstPpm0 - (p - 1) * doc.XStepPpm));
        field(Real(doc.XFirstHz0 - (p - 1) * doc.XStepHz));
        field(Real(doc.PeakHeight[k] * doc.YScale));
        field(gl ? std::string() : Real(2 * doc.PeakHalfWidth[k] * step_hz));
        field(Real(area.A));
        field(Real(doc.PeakPosErr[k]));
        field(Real(doc.PeakPosErr[k] * std::fabs(doc.XStepPpm)));
        field(Real(doc.PeakPosErr[k] * step_hz));
        field(Real(doc.PeakHeightErr[k] * doc.YScale));
        field(gl ? std::string() : Real(2 * doc.PeakHalfWidthErr[k] * step_hz));
        field(Real(area.E));
        field(Real(o.Z));
        if (gl) {
            field(Real(doc.PeakFractionL[k]));
            field(Real(doc.PeakFractionLErr[k]));
            field(Real(2 * doc.PeakHalfWidthG[k] * step_hz));
            field(Real(2 * doc.PeakHalfWidthGErr[k] * step_hz));
            field(Real(2 * doc.PeakHalfWidthL[k] * step_hz));
            field(Real(2 * doc.PeakHalfWidthLErr[k] * step_hz));
        }
        table_ += row;
        table_ += "\r\n";
    }
}

int FitSession::Run() {
    opts_.x86cpu = a_.LittleEndian;
    if (a_.Shape == LineType::kGaussLorentz) opts_.LGselect = 2;
    const int wanted = a_.SpectrumIndex.value_or(1);
    Document doc =
        files::LoadSpectrum(a_.Spectrum, Document{}, opts_, [wanted](int) { return wanted; });
    if (a_.SpectrumIndex && *a_.SpectrumIndex != 1 && !doc.IsArrayed) {
        throw UsageError("--spectrum " + std::to_string(*a_.SpectrumIndex) + ": " + a_.Spectrum +
                         " holds one spectrum, not an array");
    }
    if (!a_.PeaksFile.empty()) {
        doc.Bias = 0.0f;
        doc.BiasFromFile = false;
        core::NumberReader in = core::NumberReader::Open(a_.PeaksFile);
        files::ReadPeakLines(in, doc);
    }
    if (a_.Shape == LineType::kGauss) doc.PeakKindLorentz = false;
    if (a_.Shape == LineType::kLorentz) doc.PeakKindLorentz = true;
    if (a_.Fraction) doc.PeakFractionL.Fill(*a_.Fraction);
    type_ = core::CurrentLineType(opts_, doc);
    if (doc.PeakCount == 0) {
        throw Error(std::string(files::kNoPeakDataMessage) +
                        " (no peaks in the file or beside it; give them with --peaks)",
                    a_.Spectrum);
    }
    engine_ = EngineOptions(doc);

    if (!a_.AllSpectra) {
        ApplyBias(doc);
        const FitOutcome o = FitOne(doc, "");
        if (o.Failed) return kExitFitFailed;
        WriteOutputs(doc);
        if (!a_.Table.empty()) {
            AddTableRows(doc, doc.IsArrayed ? doc.ArrayIndex : 1, o);
            core::WriteFileAtomically(a_.Table, table_);
        }
        return kExitOk;
    }

    const PeakTable start = PeakTable::Of(doc);
    PeakTable last_good = start;
    const int count = doc.IsArrayed ? doc.ArrayCount : 1;
    bool any_failed = false;
    for (int i = 1; i <= count; ++i) {
        if (doc.IsArrayed && doc.ArrayIndex != i) files::ReadArraySpectrum(doc, i, opts_);
        (a_.Chain ? last_good : start).To(doc);
        ApplyBias(doc);
        const FitOutcome o = FitOne(doc, "spectrum=" + std::to_string(i) + " ");
        AddTableRows(doc, i, o);
        if (o.Failed) {
            any_failed = true;
        } else {
            last_good = PeakTable::Of(doc);
        }
    }
    if (!a_.Table.empty()) core::WriteFileAtomically(a_.Table, table_);
    return any_failed ? kExitFitFailed : kExitOk;
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
        } else if (arg == "--sp3") {
            a.OutSp3 = next();
        } else if (arg == "--report") {
            a.Report = next();
        } else if (arg == "--table") {
            a.Table = next();
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
    if (a.AllSpectra &&
        !(a.OutSp2.empty() && a.OutSpc.empty() && a.OutSp3.empty() && a.Report.empty())) {
        throw UsageError("--all-spectra writes its results with --table only");
    }
    if (!a.OutSpc.empty() && core::ExtensionOf(a.OutSpc) != ".spc") {
        throw UsageError("--out-spc needs a file name ending in .spc");
    }
    return a;
}

std::string FitUsage() {
    return R"(Usage: kalvex-fit SPECTRUM [options]

Fits the peaks of a spectrum with Kalvex's Gauss-Newton least-squares engine, the same
engine and choices as the fit dialog of the program, and writes the results.

SPECTRUM is any spectrum Kalvex opens: .spc, .dat, .1rd (or 1r), .vdt, .vnj (with .vnp).
Its peaks come from the .spc file itself or the .sp2 file beside it, or from --peaks.
The fit range is the whole spectrum. The program's fit button is enabled only while the
squared sum is below the Options "Max Limit of | r |"; kalvex-fit fits from any start.

Input:
  --peaks FILE        read the starting peaks from FILE (.sp2 peak lines) instead
  --spectrum K        fit spectrum K of an arrayed .vnj file (default 1)
  --all-spectra       fit every spectrum of an arrayed file in turn, each from the same
                      starting peaks; results go to --table
  --chain             with --all-spectra: start each spectrum from the previous result
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
  --threads N         threads for the normal matrix (default: one per core); the
                      results are the same for every count
  --no-fit            do not fit: read, synthesise the curves and write the outputs
  --quiet             no progress lines

Output:
  --out-sp2 FILE      the fitted peaks as a .sp2 peak file
  --out-spc FILE      the spectrum with the fitted peaks as a .spc file
  --sp3 FILE          the .sp3 curve table: spectrum, every peak curve and their sum
  --report FILE       the .par fit report
  --table FILE        CSV, one row per spectrum and peak: position (point, ppm, Hz),
                      height and area (in the file's intensity units), full width (Hz),
                      their errors, the squared sum and how the fit ended; with gl also
                      the fraction and both full widths
Each fit prints one line on standard output:
  Z=<squared sum> iterations=<n> seconds=<fit time>
(prefixed by spectrum=<k> with --all-spectra). Progress and messages go to standard error.

Exit status:
  0  success
  1  bad usage, a file that cannot be read or written, no peaks, or too few points
  2  the fit failed: a singular matrix ("pause in LUDCMP - singular matrix"), a divergence
     ("Change Initial Conditions !!!", modes semi and manual) or no convergence within
     --max-iterations; no output file is written then (with --all-spectra the table is,
     with the failed spectra marked)
)";
}

int RunFitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    FitArguments a;
    try {
        a = ParseFitArguments(args);
    } catch (const UsageError& e) {
        err << kProgram << ": " << e.what() << "\nTry 'kalvex-fit --help'.\n";
        return kExitBadInput;
    }
    if (a.Help) {
        out << FitUsage();
        return kExitOk;
    }
    try {
        FitSession session(a, out, err);
        return session.Run();
    } catch (const UsageError& e) {
        err << kProgram << ": " << e.what() << "\n";
    } catch (const Error& e) {
        err << kProgram << ": " << e.what() << "\n";
    }
    return kExitBadInput;
}

}  // namespace kalvex::cli
