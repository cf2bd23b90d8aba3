#include "cli/FitPlot.h"

#include "core/Error.h"
#include "core/FileSystem.h"
#include "core/IniFile.h"
#include "core/Settings.h"
#include "output/MetafileCanvas.h"
#include "output/PictureRules.h"
#include "output/PrinterPage.h"
#include "view/PlotGeometry.h"

#ifdef KALVEX_QT_PICTURES
#include "app/output/PictureFile.h"
#endif

#include <filesystem>

namespace kalvex::cli {

namespace {

bool IsMetafile(output::PictureFormat f) {
    return f == output::PictureFormat::kEmf || f == output::PictureFormat::kWmf;
}

}  // namespace

void ReadPlotSettings(core::Options& opts) {
    // The program's own settings: kalvex beside kalvex-fit.
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::string program =
        error ? std::string("kalvex") : (self.parent_path() / "kalvex").string();
    core::ReadPrintSettings(core::ReadIniFile(core::SettingsFilePathFor(program)), opts);
}

bool PlotFormatSupported(const std::string& path) {
    const auto format = output::PictureFormatOf(path);
#ifdef KALVEX_QT_PICTURES
    return format.has_value();
#else
    return format.has_value() && IsMetafile(*format);
#endif
}

std::string NumberedPlotName(const std::string& path, int index) {
    const std::string ext = core::ExtensionOf(path);
    return path.substr(0, path.size() - ext.size()) + "-" + std::to_string(index) + ext;
}

void WriteFitPlot(const std::string& path, core::Document& doc, const core::Options& opts,
                  std::optional<int> dpi) {
    const auto format = output::PictureFormatOf(path);
    if (!format || !PlotFormatSupported(path)) throw Error("No picture format to write", path);
    const output::PrinterPage page = output::VirtualPdfPage(opts.Print.PortraitPaper);
    const int resolution =
        dpi.value_or(*format == output::PictureFormat::kPng ? output::kPngDefaultDpi : page.Dpi);
    // The drawing writes the tick spacing into its options and moves the geometry meanwhile;
    // both are the run's own here.
    core::Options drawing = opts;
    view::PlotGeometry geo;
    if (IsMetafile(*format)) {
        output::WriteMetafile(path, *format, page, resolution, doc, drawing, geo);
        return;
    }
#ifdef KALVEX_QT_PICTURES
    app::WritePictureFile(path, *format, page, resolution, doc, drawing, geo);
#endif
}

}  // namespace kalvex::cli
