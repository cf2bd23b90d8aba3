// kalvex-fit: read a spectrum and its peaks, fit them with the program's engine, write results.
#include "cli/FitCommand.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ostream>

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
};

class FitSession {
public:
    FitSession(const FitArguments& a, std::ostream& out, std::ostream& err)
        : a_(a), out_(out), err_(err) {}

    int Run();

private:
    void ApplyBias(Document& doc) const;
    fit::GaussNewtonOptions EngineOptions(const Document& doc);
    FitOutcome FitOne(Document& doc, const std::string& prefix);
    // Stages every output file into `outputs`; the caller commits them together.
    void WriteOutputs(const Document& doc, core::FileTransaction& outputs) const;
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

void FitSession::AddTableRows(const Document& doc, int spectrum, const FitOutcome& o) {
    if (table_.empty()) table_ = TableHeader(type_);
    AppendTableRows(table_, doc, type_, opts_, spectrum, o.Status, o.Z);
}

int FitSession::Run() {
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
        const FitOutcome o = FitOne(doc, "");
        if (o.Failed) return kExitFitFailed;
        // All outputs or none: a failure at the last leaves the earlier ones as they were.
        core::FileTransaction outputs;
        WriteOutputs(doc, outputs);
        if (!a_.Table.empty()) {
            AddTableRows(doc, doc.IsArrayed ? doc.ArrayIndex : 1, o);
            outputs.Stage(a_.Table, table_);
        }
        outputs.Commit();
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