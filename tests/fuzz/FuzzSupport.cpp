#include "FuzzSupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/Error.h"
#include "core/NumberReader.h"
#include "core/Options.h"
#include "files/OpenCommand.h"
#include "files/PeakLines.h"
#include "files/SpcFile.h"
#include "files/XyText.h"
#include "peaks/FitReport.h"
#include "tools/Bias.h"
#include "view/Canvas.h"
#include "view/Plotting.h"

namespace kalvex::fuzz {

namespace {

const std::string& ScratchFolder() {
    // Never destroyed: the exit handler that removes the folder runs after static destructors.
    static const std::string* folder = [] {
        const std::string base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        auto* f = new std::string(base + "/kalvex-fuzz-" + std::to_string(::getpid()));
        ::mkdir(f->c_str(), 0700);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(ScratchFolder(), ec);
        });
        return f;
    }();
    return *folder;
}

class NullCanvas : public view::Canvas {
public:
    void SetPenColor(view::Rgb) override {}
    void SetPenWidth(int width) override { width_ = width; }
    int PenWidth() const override { return width_; }
    void SetPenStyle(view::PenStyle) override {}
    void SetPenMode(view::PenMode) override {}
    void SetBrushColor(view::Rgb) override {}
    void SetFont(std::string_view, int, view::FontCharset) override {}
    int PixelsPerInch() const override { return 96; }
    void MoveTo(int, int) override {}
    void LineTo(int, int) override {}
    void Ellipse(int, int, int, int) override {}
    void TextOut(int, int, std::string_view) override {}
    int TextWidth(std::string_view text) const override {
        return static_cast<int>(text.size()) * 7;
    }

private:
    int width_ = 1;
};

void Require(bool ok, const std::string& what) {
    if (!ok) Fail(what);
}

bool Finite(double v) { return std::isfinite(v); }

// Equal but for the rounding of the 23-character reals: 15 significant digits.
bool Close(double a, double b) { return std::fabs(a - b) <= 1e-14 * std::fabs(a) + 1e-300; }

void CheckSpcReadsBack(const core::Document& doc) {
    const std::string text = files::SpcFileText(doc);
    const core::Document* opened = nullptr;
    try {
        opened = &Open(Slot::kReadBack, WriteScratch("back.spc", text));
    } catch (const Error& e) {
        Fail(std::string("a written .spc file is refused: ") + e.what());
    }
    const core::Document& back = *opened;
    Require(back.PointCount == doc.ViewPointCount, ".spc point count");
    Require(Close(back.YScale, doc.YScale) && Close(back.SpcExtra, doc.SpcExtra), ".spc scale");
    Require(Close(back.XFirstPpm, doc.XFirstPpm) && Close(back.XStepHz, doc.XStepHz), ".spc axis");
    for (std::int32_t i = 0; i < back.PointCount; ++i) {
        const std::size_t e = static_cast<std::size_t>(i);
        const std::size_t from = static_cast<std::size_t>(doc.ViewFirstPoint - 1) + e;
        Require(Close(back.ObsY[e], doc.ObsY[from]), ".spc intensity " + std::to_string(i + 1));
    }
    int inside = 0;
    for (int k = 1; k <= doc.PeakCount; ++k) {
        inside += doc.PeakPos[k] >= doc.ViewFirstPoint && doc.PeakPos[k] <= doc.ViewLastPoint();
    }
    Require(back.PeakCount == inside, ".spc peak count");
}

void CheckPeaksReadBack(const core::Document& doc) {
    if (doc.PeakCount == 0) return;
    core::Document back;  // the peak table only: no buffers
    core::NumberReader in(files::PeakFileText(doc), "back.sp2");
    try {
        files::ReadPeakLines(in, back);
    } catch (const Error& e) {
        Fail(std::string("a written .sp2 file is refused: ") + e.what());
    }
    Require(back.PeakCount == doc.PeakCount, ".sp2 peak count");
    Require(back.Bias == doc.Bias && back.PeakKindLorentz == doc.PeakKindLorentz, ".sp2 bias");
    for (int k = 1; k <= doc.PeakCount; ++k) {
        const int pos = doc.PeakPos[k] - doc.ViewFirstPoint + 1;
        Require(back.PeakPos[k] == (pos < 0 ? 0 : pos), ".sp2 position");
        Require(Close(back.PeakHeight[k], doc.PeakHeight[k]) &&
                    Close(back.PeakHalfWidth[k], doc.PeakHalfWidth[k]) &&
                    Close(back.PeakPosErr[k], doc.PeakPosErr[k]) &&
                    Close(back.PeakHeightErr[k], doc.PeakHeightErr[k]) &&
                    Close(back.PeakHalfWidthErr[k], doc.PeakHalfWidthErr[k]),
                ".sp2 values of peak " + std::to_string(k));
    }
}

void CheckDatReadsBack(const core::Document& doc) {
    const std::string path = WriteScratch("back.dat", files::XyTextFileText(doc));
    try {
        const core::Document& back = Open(Slot::kReadBack, path);
        Require(back.PointCount == doc.ViewPointCount, ".dat point count");
    } catch (const Error& e) {
        // What the import adds: two points at least, and a normalisation.
        const std::string why = e.Reason();
        for (const char* allowed : {"needs at least 2", "is flat", "further apart"}) {
            if (why.find(allowed) != std::string::npos) return;
        }
        Fail(std::string("a written .dat file is refused: ") + e.what());
    }
}

}  // namespace

core::Document& Open(Slot slot, const std::string& path, const core::Options& opts,
                     const files::ArrayChooser& choose) {
    static core::Document docs[2];
    static const core::Document fresh = [] {
        core::Document d = core::Document::FreshForOpen(core::Document{});
        d.Release();
        return d;
    }();
    core::Document& doc = docs[slot == Slot::kInput ? 0 : 1];
    if (!doc.Allocated()) doc.Allocate();
    std::vector<double> obs, sum, peaks;
    obs.swap(doc.ObsY);
    sum.swap(doc.SumY);
    peaks.swap(doc.PeakY);
    doc = fresh;
    doc.ObsY.swap(obs);
    doc.SumY.swap(sum);
    doc.PeakY.swap(peaks);
    doc.SpectrumFileName = doc.SaveFileName = path;
    const files::ReaderEntry* reader = files::FindReader(path);
    if (reader == nullptr) Fail("no reader for " + path);
    reader->Read(doc, path, opts, choose);
    doc.ObsFreq = doc.XStepPpm != 0.0 ? doc.XStepHz / doc.XStepPpm : 1.0;
    return doc;
}

core::Document* OpenAndCheck(const std::string& path, const core::Options& opts,
                             const files::ArrayChooser& choose) {
    core::Document* doc = nullptr;
    try {
        doc = &Open(Slot::kInput, path, opts, choose);
    } catch (const Error&) {
        return nullptr;
    }
    CheckOpened(*doc);
    ShowOpened(*doc);
    CheckWritersReadBack(*doc);
    return doc;
}

void Fail(const std::string& what) {
    std::fprintf(stderr, "kalvex fuzz check failed: %s\n", what.c_str());
    std::abort();
}

std::string WriteScratch(const std::string& name, std::string_view bytes) {
    const std::string path = ScratchFolder() + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::pair<std::string_view, std::string_view> SplitAtNul(const std::uint8_t* data,
                                                         std::size_t size) {
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = all.find('\0');
    if (nul == std::string_view::npos) return {all, {}};
    return {all.substr(0, nul), all.substr(nul + 1)};
}

void CheckOpened(const core::Document& doc) {
    const std::int32_t n = doc.PointCount;
    Require(n >= 1 && n <= core::kMaxPoints, "point count " + std::to_string(n));
    Require(doc.ViewFirstPoint == 1 && doc.ViewPointCount == n, "view");
    for (const double v :
         {doc.XFirstPpm, doc.XStepPpm, doc.XFirstHz, doc.XStepHz, doc.ObsFreq, doc.YScale,
          doc.YOffset, doc.YRange, doc.SpcExtra, doc.XFirstPpm - (n - 1) * doc.XStepPpm,
          doc.XFirstHz - (n - 1) * doc.XStepHz, static_cast<double>(doc.Bias)}) {
        Require(Finite(v), "a calibration or scale value is not finite");
    }
    for (std::int32_t i = 0; i < n; ++i) {
        const double v = doc.ObsY[static_cast<std::size_t>(i)];
        Require(Finite(v) && Finite(v * doc.YScale + doc.YOffset),
                "intensity " + std::to_string(i + 1) + " is not finite");
    }
    Require(doc.PeakCount <= core::kMaxPeaks, "peak count");
    for (int k = 1; k <= doc.PeakCount; ++k) {
        for (const double v :
             {doc.PeakHeight[k], doc.PeakHalfWidth[k], doc.PeakHalfWidthG[k], doc.PeakHalfWidthL[k],
              doc.PeakPosErr[k], doc.PeakHeightErr[k], doc.PeakHalfWidthErr[k]}) {
            Require(Finite(v), "peak " + std::to_string(k) + " holds a value that is not finite");
        }
    }
}

void ShowOpened(core::Document& doc) {
    tools::ApplyAutoBiasSetting(doc, 1, tools::ComputeAutoBias(doc));
    Require(Finite(doc.Bias), "automatic bias");
    core::Options opts;
    view::PlotGeometry geo;
    view::LayoutPlotArea(geo, 668, 510);
    NullCanvas canvas;
    view::DrawSpectrum(canvas, doc, opts, geo, view::RenderContext::Screen());
}

void CheckWritersReadBack(const core::Document& doc) {
    CheckSpcReadsBack(doc);
    CheckPeaksReadBack(doc);
    CheckDatReadsBack(doc);
    if (doc.PeakCount > 0) {
        // No reader takes these back; they must only be written without a fault.
        (void)files::CurveTableText(doc);
        (void)peaks::FitReportText(doc, core::Options{});
    }
}

}  // namespace kalvex::fuzz
