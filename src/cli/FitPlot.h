// kalvex-fit --plot: the picture of a fitted spectrum, as the program prints it.
#pragma once

#include <optional>
#include <string>

#include "core/Document.h"
#include "core/Options.h"

namespace kalvex::cli {

/// Whether --plot can write `path`: its extension names a picture format (.emf, .wmf, .svg,
/// .pdf, .png) this build writes.
bool PlotFormatSupported(const std::string& path);

/// The file of spectrum `index` of a batch: `path` with "-<index>" before its extension
/// ("/d/fit.svg", 3 -> "/d/fit-3.svg").
std::string NumberedPlotName(const std::string& path, int index);

/// The print layout, pens and styles of the settings file Kalvex itself reads (beside the
/// program, in the user's configuration folder, or $KALVEX_SETTINGS), over `opts`: a missing
/// file or key keeps what `opts` holds.
void ReadPlotSettings(core::Options& opts);

/// Writes the picture of `doc` to `path` in the format of its extension, drawn exactly as the
/// printed page (view::RenderForOutput) with the print layout, pens and styles of `opts`, on
/// the virtual printer's A4 page (portrait when opts.Print.PortraitPaper). `dpi` is the
/// drawing's resolution; by default 300 for PNG and the page's 600 for the others.
/// Throws kalvex::Error naming the file when it cannot be written.
void WriteFitPlot(const std::string& path, core::Document& doc, const core::Options& opts,
                  std::optional<int> dpi);

}  // namespace kalvex::cli
