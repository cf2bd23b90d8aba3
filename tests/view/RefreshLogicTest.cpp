// The full refresh, the redraw keeping the range, the titles and the read-out texts.
#include <gtest/gtest.h>

#include "view/RefreshLogic.h"
#include "view/ViewFixture.h"

namespace kalvex::view {
namespace {

TEST(RefreshLogic, TitlesNameTheFileAndTheShownPoints) {
    core::Document doc;
    doc.PointCount = doc.ViewPointCount = 16384;
    doc.SpectrumFileName = "/home/u/a.spc";
    EXPECT_EQ(ShortTitle(doc), "\\...a.spc : 1-16384<16384points>");
    EXPECT_EQ(LongTitle(doc), "/home/u/a.spc : 1-16384<16384points>");
    doc.SpectrumFileName = "C:\\data\\a.spc";
    doc.ViewFirstPoint = 101;
    doc.ViewPointCount = 100;
    EXPECT_EQ(ShortTitle(doc), "C:\\...a.spc : 101-200<100points>");
    EXPECT_EQ(LongTitle(doc), "C:\\data\\a.spc : 101-200<100points>");
}

TEST(RefreshLogic, ReadoutTexts) {
    core::Document doc;
    core::Options opts;
    doc.YRange = 0.3;  // stored values spanning 0.2..0.5 with auto magnification
    EXPECT_EQ(PGainText(doc, opts), "3.333X");
    opts.magnify_enable = false;
    EXPECT_EQ(PGainText(doc, opts), "");
    EXPECT_EQ(NormGText(2500.0), "NG : 2.5000E+0003");
    EXPECT_EQ(SxxText(0.000123456789), "0.00012");

    // The fit button's hint says why it is disabled, at the limit and above it.
    doc.PeakCount = 1;
    for (const auto& [sum, limit, hint] :
         {std::tuple{1.99, 2.0f, "Go! Least-Square-Fitting"},
          std::tuple{2.6, 2.0f,
                     "| r | = 2.60 is above the fit's upper limit 2.0 (Options > GaussNewton)"},
          std::tuple{2.5, 2.5f,
                     "| r | = 2.50 reaches the fit's upper limit 2.5 (Options > GaussNewton)"}}) {
        doc.ResidualSum = sum;
        doc.LsfUpperLimit = limit;
        EXPECT_EQ(FitButtonHint(doc), hint);
    }
    doc.PeakCount = 0;
    EXPECT_EQ(FitButtonHint(doc), "Go! Least-Square-Fitting");
    EXPECT_EQ(GainText(0.1), "0.10");
}

TEST(RefreshLogic, RefreshDrawsAFreshPictureInTheFrameAndSetsTheShortTitle) {
    ViewFixture f;
    test::AddPeak(f.state.Doc, 30, 0.5, 3.0);
    test::AddPeak(f.state.Doc, 60, 0.5, 3.0);
    f.state.Doc.LsfUpperLimit = 1e6f;
    RefreshClick(f.state, f.shell);
    EXPECT_EQ(f.shell.BevelRect, (PixelRect{26, 28, 641, 481}));
    EXPECT_EQ(f.shell.ImageRect, (PixelRect{27, 29, 639, 479}));
    EXPECT_EQ(f.shell.BitmapsCreated, 2);
    EXPECT_EQ(f.shell.Title, "\\...test.spc : 1-101<101points>");
    EXPECT_EQ(f.shell.Sxx, SxxText(f.state.Doc.ResidualSum));
    EXPECT_TRUE(f.shell.LsfEnabled);
    EXPECT_TRUE(f.shell.SaveGLEnabled);
    EXPECT_EQ(f.shell.Picture()->StrokesIn(kRed).size(), 2u);
    EXPECT_EQ(f.shell.Picture()->StrokesIn(kBlue).size(), 1u);
    EXPECT_EQ(f.shell.EditedFlagsCleared, 2);  // the fixture refreshed once
}

TEST(RefreshLogic, NothingHappensWhileThePpmReadoutIsOpen) {
    ViewFixture f;
    f.shell.PpmShown = true;
    f.shell.Title = "before";
    f.state.View.ViewResetRequest = true;
    RefreshClick(f.state, f.shell);
    RedrawKeepRange(f.state, f.shell);
    EXPECT_TRUE(f.shell.Calls.empty());
    EXPECT_EQ(f.shell.Title, "before");
    EXPECT_TRUE(f.state.View.ViewResetRequest);
}

TEST(RefreshLogic, WithoutASpectrumOnlyTheFrameIsLaidOut) {
    AppState state;
    test::FakeShell shell;
    RefreshClick(state, shell);
    EXPECT_EQ(shell.Calls, (std::vector<std::string>{"PlaceBevel", "ClearRangeEditedFlags"}));
}

TEST(RefreshLogic, ViewResetRestoresTheWholeViewExceptForArrayedFiles) {
    for (const bool arrayed : {false, true}) {
        SCOPED_TRACE(arrayed);
        ViewFixture f;
        core::Document& doc = f.state.Doc;
        doc.IsArrayed = arrayed;
        doc.ViewFirstPoint = 11;
        doc.ViewPointCount = 50;
        doc.XFirstPpm = 9.9;
        doc.XFirstHz = 3960.0;
        doc.YExpand = 3.0;
        f.state.View.ViewResetRequest = true;

        RedrawKeepRange(f.state, f.shell);  // keeps the request pending
        EXPECT_TRUE(f.state.View.ViewResetRequest);
        EXPECT_EQ(doc.ViewFirstPoint, 11);

        RefreshClick(f.state, f.shell);
        EXPECT_FALSE(f.state.View.ViewResetRequest);
        EXPECT_EQ(f.shell.UpDownY, 1);
        EXPECT_EQ(doc.ViewFirstPoint, arrayed ? 11 : 1);
        EXPECT_EQ(doc.ViewPointCount, arrayed ? 50 : 101);
        EXPECT_EQ(doc.XFirstPpm, arrayed ? 9.9 : 10.0);
        EXPECT_EQ(doc.XFirstHz, arrayed ? 3960.0 : 4000.0);
        EXPECT_EQ(doc.YExpand, arrayed ? 3.0 : 1.0);
    }
}

TEST(RefreshLogic, AfterAPeakFileRefreshKeepsTheTitleButTheGainRedrawWritesTheFullPath) {
    ViewFixture f;
    f.shell.Sp2Ticked = true;
    f.shell.Title = "kept";
    RefreshClick(f.state, f.shell);
    EXPECT_EQ(f.shell.Title, "kept");
    RedrawKeepRange(f.state, f.shell);
    EXPECT_EQ(f.shell.Title, "/data/test.spc : 1-101<101points>");
}

TEST(RefreshLogic, OpenedSpectrumListsItsPeaks) {
    ViewFixture f;
    f.shell.PeakOrderItems = {"stale"};
    for (int pos : {20, 50, 80}) test::AddPeak(f.state.Doc, pos, 0.4, 2.0);
    DrawOpenedSpectrum(f.state, f.shell);
    EXPECT_EQ(f.shell.PeakOrderItems, (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_TRUE(f.shell.SaveGLEnabled);
    EXPECT_EQ(f.shell.Picture()->StrokesIn(kRed).size(), 3u);
}

}  // namespace
}  // namespace kalvex::view
