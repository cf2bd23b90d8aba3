// The preview's zoom and layout arithmetic, the metafile dialog's rules, the picture files' names.
#include <gtest/gtest.h>

#include "output/MetafileRules.h"
#include "output/PreviewLayout.h"

namespace kalvex::output {
namespace {

TEST(PreviewZoom, RequestsOutsideTheLimitsOrEqualToTheZoomAreIgnored) {
    struct Case {
        int current, request, expected;
    };
    const Case cases[] = {
        {50, 75, 75}, {75, 50, 50},    {175, 200, 200}, {200, 225, 200},
        {50, 25, 50}, {100, 100, 100}, {50, 49, 50},    {200, 201, 200},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RequestZoom(c.current, c.request), c.expected) << c.current << "->" << c.request;
    }
    EXPECT_FALSE(ZoomUpEnabled(200));
    EXPECT_TRUE(ZoomUpEnabled(175));
    EXPECT_FALSE(ZoomDownEnabled(50));
    EXPECT_TRUE(ZoomDownEnabled(75));
}

TEST(PreviewZoom, DrawingResolutionIsTheScreensScaledAndRoundedHalfUp) {
    EXPECT_EQ(PreviewDpi(96, 125), 120);
    EXPECT_EQ(PreviewDpi(97, 50), 49);  // 48.5
    EXPECT_EQ(PreviewDpi(96, 75), 72);
    EXPECT_EQ(PreviewDpi(99, 75), 74);  // 74.25
    EXPECT_EQ(PreviewDpi(120, 200), 240);
}

TEST(PreviewLayout, SheetAndPrintableAreaScaleWithTheZoomAndOnlyFiftyResizesTheWindow) {
    PrinterPage page{600, 5100, 6600, 150, 150, 4800, 6300};  // Letter, quarter-inch margins

    const PreviewRects half = LayoutPreview(page, 96, 50);  // s = 0.08
    EXPECT_EQ(half.Sheet, (view::PixelRect{0, 0, 408, 528}));
    EXPECT_EQ(half.Printable, (view::PixelRect{12, 12, 384, 504}));
    EXPECT_TRUE(half.ResizeWindow);
    EXPECT_EQ(half.ClientWidth, 428);
    EXPECT_EQ(half.ClientHeight, 548);

    const PreviewRects more = LayoutPreview(page, 96, 75);  // s = 0.12
    EXPECT_EQ(more.Sheet, (view::PixelRect{0, 0, 612, 792}));
    EXPECT_EQ(more.Printable, (view::PixelRect{18, 18, 576, 756}));
    EXPECT_FALSE(more.ResizeWindow);

    page.OffsetX = 5;  // 0.4 pixels at 50 % round down, 0.6 at 75 % up
    EXPECT_EQ(LayoutPreview(page, 96, 50).Printable.Left, 0);
    EXPECT_EQ(LayoutPreview(page, 96, 75).Printable.Left, 1);
}

TEST(PrinterPage, TheVirtualPrinterIsA4At600DpiWithoutMarginsAndScalesToOtherResolutions) {
    const PrinterPage land = VirtualPdfPage(false);
    EXPECT_EQ(land.Dpi, 600);
    EXPECT_EQ(land.PhysicalWidth, 7016);
    EXPECT_EQ(land.PhysicalHeight, 4961);
    EXPECT_EQ(land.PrintableWidth, 7016);
    EXPECT_FALSE(land.Portrait());
    EXPECT_TRUE(VirtualPdfPage(true).Portrait());

    const PrinterPage at300 = PageAtDpi(land, 300);
    EXPECT_EQ(at300.PrintableWidth, 3508);
    EXPECT_EQ(at300.PrintableHeight, 2481);  // 2480.5
    EXPECT_EQ(at300.Dpi, 300);
}

TEST(MetafileDialog, PreselectsTheResolutionFromThePrintersAtItsLimits) {
    const std::pair<int, int> cases[] = {
        {600, 0}, {501, 0}, {500, 1}, {300, 1}, {201, 1}, {200, 2}, {100, 2}, {1200, 0},
    };
    for (const auto& [dpi, item] : cases) {
        EXPECT_EQ(PreselectDpiItem(dpi), item) << dpi;
    }
}

TEST(MetafileDialog, TheListCountsOnlyWithSelectDpiTicked) {
    EXPECT_EQ(MetafileDpi(false, 4, 360), 360);
    EXPECT_EQ(MetafileDpi(true, 4, 360), 100);
    EXPECT_EQ(MetafileDpi(true, 0, 360), 600);
    EXPECT_EQ(MetafileDpi(true, 5, 360), 600);  // one past the list
    EXPECT_EQ(MetafileDpi(true, -1, 360), 600);
    EXPECT_EQ(DpiItemText(5), DpiItemText(0));
    EXPECT_EQ(DpiItemText(-1), DpiItemText(0));
}

TEST(MetafileDialog, ProposesTheSpectrumsNameAndFolderWithTheFormatsExtension) {
    const MetafileProposal emf = ProposeMetafile("/data/run 1/ethanol.spc", false);
    EXPECT_EQ(emf.Folder, "/data/run 1");
    EXPECT_EQ(emf.FileName, "ethanol.emf");
    EXPECT_EQ(emf.FilterIndex, 1);
    const MetafileProposal wmf = ProposeMetafile("/data/x.y/1r", true);
    EXPECT_EQ(wmf.FileName, "1r.wmf");
    EXPECT_EQ(wmf.FilterIndex, 2);
    EXPECT_EQ(ProposeMetafile("", false).FileName, "");
}

TEST(PictureFiles, TheWrittenFormatFollowsTheNameElseTheChosenFilter) {
    struct Case {
        const char* chosen;
        int filter;
        const char* path;
        PictureFormat format;
    };
    const Case metafile_cases[] = {
        {"/d/a.emf", 2, "/d/a.emf", PictureFormat::kEmf},
        {"/d/a.WMF", 1, "/d/a.WMF", PictureFormat::kWmf},
        {"/d/a", 2, "/d/a.wmf", PictureFormat::kWmf},
        {"/d/a", 1, "/d/a.emf", PictureFormat::kEmf},
        {"/d/a.svg", 1, "/d/a.svg.emf", PictureFormat::kEmf},  // not a metafile name
        {"/d/a", 3, "/d/a.emf", PictureFormat::kEmf},          // one past the filters
    };
    for (const Case& c : metafile_cases) {
        const PictureTarget t = PictureTargetFor(c.chosen, c.filter, kMetafileFormats);
        EXPECT_EQ(t.Path, c.path) << c.chosen;
        EXPECT_EQ(t.Format, c.format) << c.chosen;
    }
    const PictureTarget png = PictureTargetFor("/d/fig", 3, kExportFormats);
    EXPECT_EQ(png.Path, "/d/fig.png");
    EXPECT_EQ(png.Format, PictureFormat::kPng);
    EXPECT_EQ(PictureTargetFor("/d/fig.Pdf", 1, kExportFormats).Format, PictureFormat::kPdf);

    EXPECT_EQ(RenameForFilter("ethanol.emf", 2, kMetafileFormats), "ethanol.wmf");
    EXPECT_EQ(RenameForFilter("ethanol.svg", 3, kExportFormats), "ethanol.png");
    EXPECT_EQ(RenameForFilter("", 2, kMetafileFormats), "");
    EXPECT_FALSE(PictureFormatOf("plot.jpg").has_value());
    EXPECT_EQ(PictureFormatOf("PLOT.EMF"), PictureFormat::kEmf);
}

}  // namespace
}  // namespace kalvex::output
