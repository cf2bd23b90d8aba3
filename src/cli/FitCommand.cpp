// kalvex-fit: read a spectrum and its peaks, fit them with the program's engine, write results.
#include "cli/FitCommand.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <exception>
#include <mutex>
#include <ostream>
#include <sstream>

#include "cli/FitPlot.h"
#include "cli/FitTable.h"
#include "core/Document.h"
#include "core/Error.h"
#include "core/FileSystem.h"
#include "core/FileTransaction.h"
#include "core/NumberFormat.h"
#include "core/NumberReader.h"
#include "files/OpenCommand.h"
#include "files/PeakLines.h"
#include "files/SpcFile.h"
#include "files/VnmrBinary.h"
#include "files/XyText.h"
#include "fit/GaussNewton.h"
#include "fit/LineShapes.h"
#include "fit/Workers.h"
#include "peaks/FitReport.h"
#include "tools/Bias.h"

namespace kalvex::cli {

using core::Document;
using core::LineType;

namespace {

constexpr const char* kProgram = "kalvex-fit";

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
    bool Numbers = true;  // false: the fit met NaN or infinity, the table shows no numbers
};

// One spectrum of a series as a worker fits it: its lines for the two streams and its rows,
// kept until the spectra before it have been written.
struct SpectrumResult {
    std::string Out, Err, Rows;
    bool Failed = false;
    std::exception_ptr Error;
};

class FitSession {
public:
    FitSession(const FitArguments& a, std::ostream& out, std::ostream& err)
        : a_(a), out_(out), err_(err) {}

    int Run();

private:
    void ApplyBias(Document& doc) const;
    fit::GaussNewtonOptions EngineOptions(const Document& doc);
    FitOutcome FitOne(Document& doc, const fit::GaussNewtonOptions& engine, bool curves,
                      const std::string& prefix, std::ostream& out, std::ostream& err) const;
    // Stages every output file into `outputs`; the caller commits them together.
    void WriteOutputs(const Document& doc, core::FileTransaction& outputs) const;
    std::string TableRows(const Document& doc, int spectrum, const FitOutcome& o) const;
    std::string TableText(const std::string& rows) const;
    int FitSeries(Document& doc);
    int FitSeriesInParallel(Document& doc, int count, int jobs);
    void WriteTable(const std::string& rows) const;

    const FitArguments& a_;
    std::ostream& out_;
    std::ostream& err_;
    // The Options page as the run uses it; --plot draws with its print layout, pens and
    // styles (a new installation's until the settings file is read into it).
    core::Options opts_;
    LineType type_ = LineType::kGauss;
    fit::GaussNewtonOptions engine_;
    PeakTable start_;
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
    opts_.Precision = a_.Precision;
    Document select = Document{};
    select.FitSelect = a_.FitSelect;
    select.PeakKindLorentz = doc.PeakKindLorentz;
    fit::GaussNewtonOptions o =
        fit::MakeGaussNewtonOptions(opts_, select, !a_.GaussianWidth, a_.GaussianWidth);
    o.Threads = a_.Threads;
    return o;
}

// `curves`: synthesise the curves, as the redraw after an open and after the fit; without
// them (a series, which writes only its table) the peak table is what it would be, and the
// document needs no curve buffers.
FitOutcome FitSession::FitOne(Document& doc, const fit::GaussNewtonOptions& engine, bool curves,
                              const std::string& prefix, std::ostream& out,
                              std::ostream& err) const {
    FitOutcome o;
    auto synthesise = [&] {
        if (curves) return fit::SynthesiseModel(doc, type_);
        if (type_ == LineType::kGaussLorentz) fit::DeriveAreasGL(doc);
        return 0.0;
    };
    const double start_z = synthesise();
    if (a_.NoFit) {
        o.Z = start_z;
        o.Status = "not fitted";
    } else {
        fit::FitRunState state;
        state.CopyObserved(doc);
        const int cap = std::max(a_.MaxIterations, a_.Iterations.value_or(0));
        CliObserver observer(err, a_.Quiet, cap);
        const auto t0 = std::chrono::steady_clock::now();
        const fit::GaussNewtonSummary s = fit::RunGaussNewton(doc, engine, state, observer);
        o.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        const bool no_result =
            s.Reason == fit::FitEnd::kSingularMatrix || s.Reason == fit::FitEnd::kNotFinite;
        if (!s.ResultsWritten() && !no_result) {
            throw Error(s.Message,
                        a_.Spectrum);  // refused: no peaks, peaks outside, N <= P, selection
        }
        for (const std::string& w : s.Warnings) err << kProgram << ": " << w << "\n";
        o.Z = s.Z;
        o.Iterations = s.TotalIterations;
        o.Status = StatusOf(s.Reason);
        if (no_result) {
            err << kProgram << ": " << s.Message << "\n";
            o.Failed = true;
            o.Numbers = s.Reason != fit::FitEnd::kNotFinite;
        } else if (s.Reason == fit::FitEnd::kDiverged) {
            o.Failed = true;
        } else if (s.Reason == fit::FitEnd::kStopped && observer.Capped()) {
            err << kProgram << ": no convergence within " << cap << " iterations\n";
            o.Status = "not converged";
            o.Failed = true;
        }
        synthesise();  // the curves of the written values
    }
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.6f", o.Seconds);
    // No NaN or infinity in the line: a fit that met one shows no Z.
    const bool show_z = o.Numbers && std::isfinite(o.Z);
    out << prefix << "Z=" << (show_z ? core::FormatGeneral(o.Z) : std::string())
        << " iterations=" << o.Iterations << " seconds=" << seconds << "\n";
    return o;
}

void FitSession::WriteOutputs(const Document& doc, core::FileTransaction& outputs) const {
    auto check = [](files::PeakWriteStatus status, const std::string& path) {
        if (status == files::PeakWriteStatus::kNoPeakData)
            throw Error(files::kNoPeakDataMessage, path);
    };
    if (!a_.OutSp2.empty()) check(files::WritePeakFile(a_.OutSp2, doc, &outputs), a_.OutSp2);
    if (!a_.OutSpc.empty()) check(files::SaveSpectrum(a_.OutSpc, doc, &outputs), a_.OutSpc);
    if (!a_.OutDat.empty()) files::WriteXyTextFile(a_.OutDat, doc, &outputs);
    if (!a_.OutSp3.empty()) check(files::WriteCurveTable(a_.OutSp3, doc, &outputs), a_.OutSp3);
    if (!a_.Report.empty()) peaks::WriteFitReport(a_.Report, doc, opts_, &outputs);
}

std::string FitSession::TableRows(const Document& doc, int spectrum, const FitOutcome& o) const {
    std::string rows;
    AppendTableRows(rows, doc, type_, opts_, spectrum, o.Status, o.Z, o.Numbers);
    return rows;
}

std::string FitSession::TableText(const std::string& rows) const {
    return (a_.TableHeader ? TableHeader(type_) : std::string()) + rows;
}

void FitSession::WriteTable(const std::string& rows) const {
    if (!a_.Table.empty()) core::WriteFileAtomically(a_.Table, TableText(rows));
}

int FitSession::FitSeries(Document& doc) {
    const int count = doc.IsArrayed ? doc.ArrayCount : 1;
    // The pictures of --plot are drawn one spectrum after another, on this thread.
    const int jobs =
        a_.Chain || !a_.Plot.empty() ? 1 : std::min(count, fit::ResolveThreadCount(a_.Jobs));
    if (jobs > 1) return FitSeriesInParallel(doc, count, jobs);
    PeakTable last_good = start_;
    bool any_failed = false;
    std::string rows;
    for (int i = 1; i <= count; ++i) {
        if (doc.IsArrayed && doc.ArrayIndex != i) files::ReadArraySpectrum(doc, i, opts_);
        (a_.Chain ? last_good : start_).To(doc);
        ApplyBias(doc);
        const FitOutcome o =
            FitOne(doc, engine_, a_.NoFit, "spectrum=" + std::to_string(i) + " ", out_, err_);
        rows += TableRows(doc, i, o);
        if (o.Failed) {
            any_failed = true;
        } else {
            last_good = PeakTable::Of(doc);
            if (!a_.Plot.empty()) {
                WriteFitPlot(NumberedPlotName(a_.Plot, i), doc, opts_, a_.PlotDpi);
            }
        }
    }
    WriteTable(rows);
    return any_failed ? kExitFitFailed : kExitOk;
}

int FitSession::FitSeriesInParallel(Document& doc, int count, int jobs) {
    // Each worker fits whole spectra on a copy of the document, one engine thread each unless
    // told otherwise, and keeps what it would write; the results go out in spectrum order as
    // soon as the spectra before them are done, so the output is that of --jobs 1.
    fit::GaussNewtonOptions engine = engine_;
    if (a_.Threads == 0) engine.Threads = 1;
    std::vector<SpectrumResult> results(static_cast<std::size_t>(count));
    std::vector<char> done(static_cast<std::size_t>(count), 0);
    std::mutex mutex;
    int next_out = 0;  // the first spectrum not yet written
    std::string rows;
    bool any_failed = false;
    std::atomic<int> next{0};
    std::atomic<bool> stop{false};
    auto flush = [&] {  // with the mutex held
        for (; next_out < count && done[static_cast<std::size_t>(next_out)]; ++next_out) {
            SpectrumResult& r = results[static_cast<std::size_t>(next_out)];
            if (r.Error) break;
            out_ << r.Out;
            err_ << r.Err;
            rows += r.Rows;
            any_failed = any_failed || r.Failed;
        }
    };
    // The workers' documents leave out the curve buffers, 16 MiB that only a --no-fit series
    // draws into: fresh memory costs a page fault per 4 KiB.
    Document shell;
    std::swap(shell.PeakY, doc.PeakY);
    std::swap(shell.SumY, doc.SumY);
    const Document without_curves = doc;
    std::swap(shell.PeakY, doc.PeakY);
    std::swap(shell.SumY, doc.SumY);
    fit::RunWorkers(jobs, [&](int) {
        Document mine = without_curves;
        if (a_.NoFit) {
            mine.SumY.assign(core::kMaxPoints, 0.0);
            mine.PeakY.assign(static_cast<std::size_t>(core::kMaxPeaks) * core::kMaxPoints, 0.0);
        }
        for (int i = next++; i < count && !stop; i = next++) {
            SpectrumResult r;
            try {
                const int k = i + 1;
                if (mine.IsArrayed) files::ReadArraySpectrum(mine, k, opts_);
                start_.To(mine);
                ApplyBias(mine);
                std::ostringstream out, err;
                const FitOutcome o =
                    FitOne(mine, engine, a_.NoFit, "spectrum=" + std::to_string(k) + " ", out, err);
                r.Out = out.str();
                r.Err = err.str();
                r.Rows = TableRows(mine, k, o);
                r.Failed = o.Failed;
            } catch (...) {
                r.Error = std::current_exception();
                stop = true;
            }
            std::lock_guard<std::mutex> lock(mutex);
            results[static_cast<std::size_t>(i)] = std::move(r);
            done[static_cast<std::size_t>(i)] = 1;
            flush();
        }
    });
    // A spectrum that could not be read ends the batch as it would end the sequential one.
    if (next_out < count && results[static_cast<std::size_t>(next_out)].Error) {
        std::rethrow_exception(results[static_cast<std::size_t>(next_out)].Error);
    }
    WriteTable(rows);
    return any_failed ? kExitFitFailed : kExitOk;
}

int FitSession::Run() {
    if (!a_.Plot.empty()) ReadPlotSettings(opts_);  // drawn with the program's print layout
    opts_.x86cpu = a_.LittleEndian;
    if (a_.Shape == LineType::kGaussLorentz) opts_.LGselect = 2;
    const int wanted = a_.SpectrumIndex.value_or(1);
    files::PeakFileNotes peak_file;
    peak_file.ReadBeside = a_.PeaksFile.empty();  // --peaks names the peaks instead
    Document doc = files::LoadSpectrum(
        a_.Spectrum, Document{}, opts_, [wanted](int) { return wanted; }, &peak_file);
    if (!peak_file.Error.empty()) {
        if (!a_.NoFit)
            throw Error("The peak file beside the spectrum cannot be read: " + peak_file.Error);
        err_ << kProgram << ": the spectrum has no peaks: " << peak_file.Error << "\n";
    }
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
    if (doc.PeakCount == 0 && !a_.NoFit) {
        throw Error(std::string(files::kNoPeakDataMessage) +
                        " (no peaks in the file or beside it; give them with --peaks)",
                    a_.Spectrum);
    }
    engine_ = EngineOptions(doc);

    if (!a_.AllSpectra) {
        ApplyBias(doc);
        const FitOutcome o = FitOne(doc, engine_, true, "", out_, err_);
        if (o.Failed) return kExitFitFailed;
        // All outputs or none: a failure at the last leaves the earlier ones as they were.
        // The picture is written (whole, in one go) before the others are renamed.
        core::FileTransaction outputs;
        WriteOutputs(doc, outputs);
        if (!a_.Table.empty()) {
            outputs.Stage(a_.Table,
                          TableText(TableRows(doc, doc.IsArrayed ? doc.ArrayIndex : 1, o)));
        }
        if (!a_.Plot.empty()) WriteFitPlot(a_.Plot, doc, opts_, a_.PlotDpi);
        outputs.Commit();
        return kExitOk;
    }
    start_ = PeakTable::Of(doc);
    return FitSeries(doc);
}

}  // namespace

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