// The texts of the Peak Information and Gauss + Lorentz windows, their show decision and placement.
#include "peaks/PeakInfo.h"

#include <gtest/gtest.h>

#include "support/DocumentBuilder.h"

namespace kalvex::peaks {
namespace {

using core::Document;
using core::Options;

// 1000 points from 10 ppm, 0.01 ppm (4 Hz) per point, shown heights doubled by YRange 0.5.
// Peak 1 at point 101 (9 ppm), height 0.5, half width 5; peak 2 three times its area.
Document TwoPeaks() {
    Document doc = test::MakeDocument(1000);
    doc.YRange = 0.5;
    test::AddPeak(doc, 101, 0.5, 5.0);
    doc.PeakPosErr[1] = 0.3;
    doc.PeakHeightErr[1] = 0.002;
    doc.PeakHalfWidthErr[1] = 0.1;
    test::AddPeak(doc, 301, 1.5, 5.0);
    return doc;
}

// Peak 1 as a Gauss+Lorentz peak whose single-shape width (9) must not show.
Document GaussLorentzPeaks() {
    Document doc = test::MakeDocument(1000);
    test::AddPeak(doc, 201, 0.8, 9.0);
    doc.PeakHalfWidthG[1] = 5.0;
    doc.PeakHalfWidthL[1] = 3.0;
    doc.PeakFractionL[1] = 0.25;
    doc.PeakAreaGL[1] = 7.5;
    doc.PeakPosErr[1] = 0.2;
    doc.PeakHeightErr[1] = 0.004;
    doc.PeakHalfWidthErr[1] = 0.3;
    doc.PeakHalfWidthGErr[1] = 0.1;
    doc.PeakHalfWidthLErr[1] = 0.06;
    doc.PeakFractionLErr[1] = 0.01;
    test::AddPeak(doc, 451, 0.4, 9.0);
    doc.PeakAreaGL[2] = 2.5;
    return doc;
}

TEST(PeakInfo, GaussPeakOnThePpmAxis) {
    const Document doc = TwoPeaks();
    Options opts;
    const PeakInfo info = ShowPeakInfo(1, doc, opts, {});
    const SelDlgTexts& s = info.Sel_Dlg;
    EXPECT_EQ(s.Caption, "Peak Order : 1");
    EXPECT_EQ(s.Peak_OrderIndex, 0);
    EXPECT_EQ(s.Edposition, "101");
    EXPECT_EQ(s.posi_Err, "\xB1 0.3");
    EXPECT_EQ(s.Txt_PPM, "9.000");
    EXPECT_EQ(s.x_Err, "\xB1 0.003 ppm");
    EXPECT_EQ(s.Edhight, "1.0000");
    EXPECT_EQ(s.H_Err, "\xB1 0.00200");
    EXPECT_EQ(s.Txt_Width, "10.0 ");
    EXPECT_EQ(s.EdWidth, "0.100");
    EXPECT_EQ(s.W_Err, "\xB1 0.002 ppm");
    EXPECT_EQ(s.EdHz, "40.00");
    EXPECT_EQ(s.EdHz_Err, "\xB1 0.80 Hz");
    EXPECT_EQ(s.ForG, "Gauussian");
    EXPECT_EQ(s.ForGColour, LabelColour::kRed);
    EXPECT_EQ(s.Area_Label, "Area (Intrinsic)");
    EXPECT_EQ(s.Area_LabelFont, "Comic Sans MS");
    EXPECT_FALSE(s.Batsu_LabelVisible);
    ASSERT_TRUE(info.AreaFilled);
    EXPECT_EQ(s.IntegArea, " ( 2.129 \xB1 0.0434 )*10^1");
    EXPECT_EQ(s.TotalArea, "8.516E+01");
    EXPECT_EQ(s.Percnt, "25.00%");
}

TEST(PeakInfo, PeaksBeforeTheFirstOrAfterTheLastPointShowAsOutside) {
    Document doc = TwoPeaks();  // 1000 points
    Options opts;
    for (const auto& [pos, outside] : {std::pair{0, true}, std::pair{1, false},
                                       std::pair{1000, false}, std::pair{1001, true}}) {
        doc.PeakPos[1] = static_cast<std::uint16_t>(pos);
        const SelDlgTexts s = ShowPeakInfo(1, doc, opts, {}).Sel_Dlg;
        EXPECT_EQ(s.Txt_PPM == "outside", outside) << pos;
        EXPECT_EQ(s.Txt_PPMHint.empty(), !outside) << pos;
    }
}

TEST(PeakInfo, LorentzPeakOnTheHzAxisLeavesTheHzFieldsEmpty) {
    Document doc = TwoPeaks();
    doc.PeakKindLorentz = true;
    doc.XAxisPpm = false;
    Options opts;
    const PeakInfo info = ShowPeakInfo(1, doc, opts, {});
    const SelDlgTexts& s = info.Sel_Dlg;
    EXPECT_EQ(s.Txt_PPM, "3600.0");
    EXPECT_EQ(s.x_Err, "\xB1 1.2 Hz");
    EXPECT_EQ(s.EdWidth, "40.00");
    EXPECT_EQ(s.W_Err, "\xB1 0.80 Hz");
    EXPECT_EQ(s.EdHz, "");
    EXPECT_EQ(s.EdHz_Err, "");
    EXPECT_EQ(info.Sel_Dlg2.EdHz2, "");
    EXPECT_EQ(info.Sel_Dlg2.EdHz_Err2, "");
    EXPECT_EQ(s.ForG, "Lorentzian");
    EXPECT_EQ(s.ForGColour, LabelColour::kBlue);
    EXPECT_EQ(s.IntegArea, " ( 3.142 \xB1 0.0641 )*10^1");
    EXPECT_EQ(s.TotalArea, "1.257E+02");
    EXPECT_EQ(s.Percnt, "25.00%");
}

TEST(PeakInfo, CompatibleAreaIsHeightTimesFullWidthWithTheMultiplicationSign) {
    const Document doc = TwoPeaks();
    Options opts;
    opts.Int_Type = 1;
    const SelDlgTexts s = ShowPeakInfo(2, doc, opts, {}).Sel_Dlg;
    EXPECT_EQ(s.Caption, "Peak Order : 2");
    EXPECT_EQ(s.Peak_OrderIndex, 1);
    EXPECT_EQ(s.Area_Label, "Area (width    height)");
    EXPECT_EQ(s.Area_LabelFont, "Times New Roman");
    EXPECT_TRUE(s.Batsu_LabelVisible);
    EXPECT_EQ(s.IntegArea, " ( 6.000 \xB1 0.0000 )*10^1");
    EXPECT_EQ(s.TotalArea, "8.000E+01");
    EXPECT_EQ(s.Percnt, "75.00%");
}

TEST(PeakInfo, ZeroHeightsShowAZeroAreaAndNoShare) {
    Document doc = TwoPeaks();
    doc.PeakHeight[1] = doc.PeakHeight[2] = 0.0;
    Options opts;
    const SelDlgTexts s = ShowPeakInfo(1, doc, opts, {}).Sel_Dlg;
    // The height error alone: 0.002 x 5 points x 4 Hz x sqrt(pi / ln 2).
    EXPECT_EQ(s.IntegArea, " ( 0 \xB1 8.516E-02 )");
    EXPECT_EQ(s.TotalArea, "0.000E+00");
    EXPECT_EQ(s.Percnt, "");
}

TEST(PeakInfo, GaussLorentzSplitsTheWidthsOverBothWindowsAndForcesArea) {
    const Document doc = GaussLorentzPeaks();
    Options opts;
    opts.LGselect = 2;
    opts.Int_Type = 1;
    const PeakInfo info = ShowPeakInfo(1, doc, opts, {});
    EXPECT_EQ(opts.Int_Type, 0);
    const SelDlgTexts& s = info.Sel_Dlg;
    EXPECT_EQ(s.Txt_Width, "10.0 ");
    EXPECT_EQ(s.EdWidth, "0.100");
    EXPECT_EQ(s.W_Err, "\xB1 0.002 ppm");
    EXPECT_EQ(s.EdHz, "40.00");
    EXPECT_EQ(s.EdHz_Err, "\xB1 0.80 Hz");
    EXPECT_EQ(s.ForG, "(For Gauuss)");
    EXPECT_EQ(s.ForGColour, LabelColour::kRed);
    EXPECT_EQ(s.Area_Label, "Area (Intrinsic)");
    EXPECT_EQ(s.Area_LabelFont, "Comic Sans MS");
    EXPECT_FALSE(s.Batsu_LabelVisible);
    EXPECT_EQ(s.IntegArea, " ( 7.500 \xB1 0.2281 )*10^0");
    EXPECT_EQ(s.TotalArea, "1.000E+01");
    EXPECT_EQ(s.Percnt, "75.00%");
    const SelDlg2Texts& s2 = info.Sel_Dlg2;
    EXPECT_EQ(s2.Txt_Width, "6.0 ");
    EXPECT_EQ(s2.EdWidth2, "0.060");
    EXPECT_EQ(s2.W_Err2, "\xB1 0.001 ppm");
    EXPECT_EQ(s2.EdHz2, "24.00");
    EXPECT_EQ(s2.EdHz_Err2, "\xB1 0.48 Hz");
    EXPECT_EQ(s2.fract_L, "0.250");
    EXPECT_EQ(s2.fract_L_error, "\xB1 0.0100");
    EXPECT_EQ(s2.fract_L_errorFont, "Times New Roman");
    EXPECT_EQ(s2.fract_L_errorFontSize, 16);
    EXPECT_EQ(s2.Norm_Area, "7.5");
}

TEST(PeakInfo, GaussLorentzOnTheHzAxis) {
    Document doc = GaussLorentzPeaks();
    doc.XAxisPpm = false;
    Options opts;
    opts.LGselect = 2;
    const PeakInfo info = ShowPeakInfo(1, doc, opts, {});
    EXPECT_EQ(info.Sel_Dlg.EdWidth, "40.00");
    EXPECT_EQ(info.Sel_Dlg.EdHz, "");
    EXPECT_EQ(info.Sel_Dlg2.EdWidth2, "24.00");
    EXPECT_EQ(info.Sel_Dlg2.W_Err2, "\xB1 0.48 Hz");
    EXPECT_EQ(info.Sel_Dlg2.EdHz2, "");
    EXPECT_EQ(info.Sel_Dlg2.EdHz_Err2, "");
}

TEST(PeakInfo, ShowsHiddenWindowsAndClosesTheCompanionOutsideGaussLorentz) {
    const Document doc = TwoPeaks();
    Options single;
    Options gl;
    gl.LGselect = 2;
    const struct {
        Options* Opts;
        WindowVisibility Visible;
        WindowAction Sel, Sel2;
    } cases[] = {
        {&single, {false, false}, WindowAction::kShow, WindowAction::kClose},
        {&single, {true, true}, WindowAction::kLeave, WindowAction::kClose},
        {&gl, {false, false}, WindowAction::kShow, WindowAction::kShow},
        {&gl, {true, false}, WindowAction::kLeave, WindowAction::kShow},
        {&gl, {true, true}, WindowAction::kLeave, WindowAction::kLeave},
    };
    for (const auto& c : cases) {
        const PeakInfo info = ShowPeakInfo(1, doc, *c.Opts, c.Visible);
        EXPECT_EQ(info.Sel_DlgAction, c.Sel) << c.Opts->LGselect << c.Visible.Sel_Dlg;
        EXPECT_EQ(info.Sel_Dlg2Action, c.Sel2) << c.Opts->LGselect << c.Visible.Sel_Dlg2;
    }
}

TEST(PeakInfo, WithoutPeaksBothWindowsCloseAndTheAreasAreLeftAlone) {
    Document doc = TwoPeaks();
    doc.PeakCount = 0;
    for (int lg : {0, 2}) {
        Options opts;
        opts.LGselect = lg;
        const PeakInfo info = ShowPeakInfo(1, doc, opts, {true, lg == 2});
        EXPECT_EQ(info.Sel_DlgAction, WindowAction::kClose);
        EXPECT_EQ(info.Sel_Dlg2Action, WindowAction::kClose);
        EXPECT_FALSE(info.AreaFilled);
        EXPECT_EQ(info.Sel_Dlg.IntegArea, "");
    }
}

TEST(PeakInfo, PlacedBesideTheMainWindowWithTheCompanionBelow) {
    const PeakInfoPlacement p = PlacePeakInfo({100, 50, 640, 480}, 300);
    EXPECT_EQ(p.Sel_DlgLeft, 750);
    EXPECT_EQ(p.Sel_DlgTop, 50);
    EXPECT_EQ(p.Sel_Dlg2Left, 750);
    EXPECT_EQ(p.Sel_Dlg2Top, 360);
}

}  // namespace
}  // namespace kalvex::peaks
