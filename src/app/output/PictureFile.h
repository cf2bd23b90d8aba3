// The plot as a picture file in any of its formats; a plain C++ interface over Qt's writers.
#pragma once

#include <string>

#include "core/Document.h"
#include "core/Options.h"
#include "output/PictureRules.h"
#include "output/PrinterPage.h"
#include "view/PlotGeometry.h"

namespace kalvex::app {

/// Draws the whole plot (view::RenderForOutput) as `format` on `page` and writes it
/// atomically to `path`:
/// - EMF, WMF: the metafile of the printable area at `dpi` (output::WriteMetafile);
/// - SVG: the printable area at `dpi`, its size in physical units;
/// - PDF: the whole sheet, the drawing at the printing offset, as the printer puts it on paper;
/// - PNG: the printable area as an image of `dpi` pixels per inch on white.
/// Works without a window system: without a running application it starts Qt on its
/// offscreen platform. A file that cannot be written throws kalvex::Error naming it and keeps
/// any previous file.
void WritePictureFile(const std::string& path, output::PictureFormat format,
                      const output::PrinterPage& page, int dpi, core::Document& doc,
                      core::Options& opts, view::PlotGeometry& geo);

}  // namespace kalvex::app
