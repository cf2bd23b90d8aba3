#include "app/output/PictureFile.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <cstdio>

#include "app/qt/QtCanvas.h"
#include "core/Error.h"
#include "core/FileSystem.h"
#include "output/MetafileCanvas.h"
#include "view/Plotting.h"

namespace kalvex::app {

namespace {

// Fonts need a running application. kalvex-fit has none: it gets one on the offscreen
// platform, kept to the end of the process.
void EnsureGuiApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    static int argc = 3;
    static char name[] = "kalvex";
    static char option[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    // Without a desktop session Qt warns about it on every start; a batch run's output is
    // its results and its real errors.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        }
    });
    new QGuiApplication(argc, argv);  // NOLINT: lives as long as the process
}

[[noreturn]] void Fail(const std::string& path, const QString& reason) {
    throw Error("Unable to write the picture: " + reason.toStdString(), path);
}

void Render(QPaintDevice* device, int dpi, const output::PrinterPage& page, const std::string& path,
            core::Document& doc, core::Options& opts, view::PlotGeometry& geo) {
    QtCanvas canvas(device, dpi);
    if (!canvas.Active()) Fail(path, QStringLiteral("the picture cannot be started"));
    view::RenderForOutput(canvas, dpi, doc, opts, geo, page.Portrait());
    canvas.End();
}

}  // namespace

void WritePictureFile(const std::string& path, output::PictureFormat format,
                      const output::PrinterPage& page, int dpi, core::Document& doc,
                      core::Options& opts, view::PlotGeometry& geo) {
    using output::PictureFormat;
    if (format == PictureFormat::kEmf || format == PictureFormat::kWmf) {
        output::WriteMetafile(path, format, page, dpi, doc, opts, geo);
        return;
    }
    if (dpi <= 0 || page.Dpi <= 0) throw Error("No resolution to draw the picture at", path);
    EnsureGuiApplication();
    const output::PrinterPage area = output::PageAtDpi(page, dpi);
    // Drawn into memory and then written like every other file: Qt's own file writing lets
    // a write that fails part-way (a full disk) pass as success.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);

    if (format == PictureFormat::kSvg) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setResolution(dpi);
        svg.setSize(QSize(area.PrintableWidth, area.PrintableHeight));
        svg.setViewBox(QRect(0, 0, area.PrintableWidth, area.PrintableHeight));
        svg.setTitle(QStringLiteral("Kalvex"));
        svg.setDescription(QString::fromStdString(core::FileNameOf(doc.SpectrumFileName)));
        Render(&svg, dpi, page, path, doc, opts, geo);
    } else if (format == PictureFormat::kPdf) {
        QPdfWriter pdf(&buffer);
        pdf.setCreator(QStringLiteral("Kalvex"));
        pdf.setTitle(QString::fromStdString(core::FileNameOf(doc.SpectrumFileName)));
        pdf.setResolution(dpi);
        // The sheet in inches with the unprintable edges as margins: the drawing lands where
        // the printer puts it.
        const double in = page.Dpi;
        const QPageSize sheet(QSizeF(page.PhysicalWidth / in, page.PhysicalHeight / in),
                              QPageSize::Inch, QString(), QPageSize::ExactMatch);
        const QMarginsF margins(page.OffsetX / in, page.OffsetY / in,
                                (page.PhysicalWidth - page.OffsetX - page.PrintableWidth) / in,
                                (page.PhysicalHeight - page.OffsetY - page.PrintableHeight) / in);
        pdf.setPageLayout(
            QPageLayout(sheet, QPageLayout::Portrait, margins, QPageLayout::Inch, QMarginsF()));
        Render(&pdf, dpi, page, path, doc, opts, geo);
    } else {
        QImage image(area.PrintableWidth, area.PrintableHeight, QImage::Format_RGB32);
        if (image.isNull()) Fail(path, QStringLiteral("the picture is too large"));
        image.fill(Qt::white);
        const int dots_per_metre = static_cast<int>(dpi / 0.0254 + 0.5);
        image.setDotsPerMeterX(dots_per_metre);
        image.setDotsPerMeterY(dots_per_metre);
        Render(&image, dpi, page, path, doc, opts, geo);
        if (!image.save(&buffer, "PNG")) Fail(path, QStringLiteral("the image cannot be encoded"));
    }
    buffer.close();
    const QByteArray& bytes = buffer.data();
    core::WriteFileAtomically(
        path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace kalvex::app
