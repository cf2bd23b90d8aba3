// The document's buffers and what an open resets or keeps.
#include <gtest/gtest.h>

#include "core/Document.h"
#include "core/FormSize.h"
#include "core/Options.h"

namespace kalvex::core {
namespace {

TEST(Document, BuffersHaveFullCapacityAndPeakRowsDoNotOverlap) {
    Document doc;
    EXPECT_FALSE(doc.Allocated());
    doc.Allocate();
    ASSERT_TRUE(doc.Allocated());
    doc.PeakCurve(30)[65535] = 7.0;
    doc.PeakCurve(2)[0] = 3.0;
    EXPECT_EQ(doc.PeakY.back(), 7.0);
    EXPECT_EQ(doc.PeakY[65536], 3.0);
    doc.Release();
    EXPECT_FALSE(doc.Allocated());
    EXPECT_EQ(doc.PeakY.capacity(), 0u);
}

TEST(Document, FreshForOpenResetsTheSpectrumAndKeepsTheSettings) {
    Document previous;
    previous.Allocate();
    previous.PointCount = 100;
    previous.PeakCount = 3;
    previous.Bias = 0.25f;
    previous.ViewFirstPoint = 20;
    previous.YExpand = 5.0;
    previous.YRange = 0.3;
    previous.BiasFromFile = true;
    previous.PeakFractionL[17] = 0.1;
    previous.PeakHalfWidthLErr[30] = 2.0;
    previous.XAxisPpm = false;
    previous.PeakKindLorentz = true;
    previous.FitSelect = "101";
    previous.LsfUpperLimit = 50.0f;
    previous.ObsFreqSetting = 400.13;
    previous.IsArrayed = true;
    previous.ArrayIndex = 4;

    const Document doc = Document::FreshForOpen(previous);
    EXPECT_TRUE(doc.Allocated());
    EXPECT_EQ(doc.PeakCount, 0);
    EXPECT_EQ(doc.Bias, 0.0f);
    EXPECT_EQ(doc.ViewFirstPoint, 1);
    EXPECT_EQ(doc.YExpand, 1.0);
    EXPECT_EQ(doc.YRange, 1.0);
    EXPECT_FALSE(doc.BiasFromFile);
    EXPECT_FALSE(doc.IsArrayed);
    for (int k = 1; k <= kMaxPeaks; ++k) {
        EXPECT_EQ(doc.PeakFractionL[k], 0.5) << k;
        EXPECT_EQ(doc.PeakHalfWidthLErr[k], 0.0) << k;
    }
    EXPECT_FALSE(doc.XAxisPpm);
    EXPECT_TRUE(doc.PeakKindLorentz);
    EXPECT_EQ(doc.FitSelect, "101");
    EXPECT_EQ(doc.LsfUpperLimit, 50.0f);
    EXPECT_EQ(doc.ObsFreqSetting, 400.13);
    EXPECT_EQ(doc.ArrayIndex, 4);
}

TEST(Options, LineTypeComesFromLGselectOrThePeakKind) {
    Options opts;
    Document doc;
    EXPECT_EQ(CurrentLineType(opts, doc), LineType::kGauss);
    doc.PeakKindLorentz = true;
    EXPECT_EQ(CurrentLineType(opts, doc), LineType::kLorentz);
    opts.LGselect = 2;
    EXPECT_EQ(CurrentLineType(opts, doc), LineType::kGaussLorentz);
}

TEST(FormSize, PresetsGiveTheClientAreaAndOthersTheDesignedSize) {
    EXPECT_EQ(FormClientSize(7).Width, 1052);  // the last preset
    EXPECT_EQ(FormClientSize(8).Width, 639);
    EXPECT_EQ(FormClientSize(-1).Height, 321);
}

}  // namespace
}  // namespace kalvex::core
