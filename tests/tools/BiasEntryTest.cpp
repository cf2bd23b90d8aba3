// The bias dialog: typed values through YOffset and YRange, its edit text, its marks.
#include <gtest/gtest.h>

#include "core/Error.h"
#include "support/DocumentBuilder.h"
#include "support/RecordingCanvas.h"
#include "tools/BiasEntry.h"

namespace kalvex::tools {
namespace {

TEST(BiasEntry, TypedValueFrom0To1IsStoredThroughOffsetAndRange) {
    struct Case {
        const char* Text;
        bool Applied;
        float Bias;
    };
    const Case cases[] = {
        {"0", true, 0.2f},  // 0 is the smallest normalised value, YOffset
        {"1", true, 0.7f},         {" 0.5", true, 0.45f}, {"1.0001", false, 0.05f},
        {"-0.0001", false, 0.05f}, {"  ", false, 0.05f},
    };
    for (const Case& c : cases) {
        core::Document doc = test::MakeDocument(10);
        doc.YOffset = 0.2;
        doc.YRange = 0.5;
        doc.Bias = 0.05f;
        EXPECT_EQ(ApplyTypedBias(doc, c.Text), c.Applied) << c.Text;
        EXPECT_EQ(doc.Bias, c.Bias) << c.Text;
    }
    core::Document doc = test::MakeDocument(10);
    EXPECT_EQ(BiasEditText(doc), "0.0000");
    doc.YOffset = 0.2;
    doc.YRange = 0.5;
    doc.Bias = 0.45f;
    EXPECT_EQ(BiasEditText(doc), " 0.5000");
    EXPECT_THROW(ApplyTypedBias(doc, "0,5"), Error);
    EXPECT_EQ(doc.Bias, 0.45f);
}

TEST(BiasEntry, DottedLineAtTheBiasRowAndTheScaleOnlyAtGainOne) {
    view::PlotGeometry geo;
    geo.PlotLeft = 6;
    geo.PlotRight = 635;
    geo.PlotWidth = 629;
    geo.PlotTop = 10;
    geo.PlotBaseY = 410;
    geo.PlotHeight = 400;
    struct Case {
        float Bias;
        double Offset;
        double Gain;
        int Row;
        bool Scale;
    };
    const Case cases[] = {
        {0.0f, 0.1, 1.0, 410, true},     // B = 0 is the baseline row, whatever the offset
        {0.25f, 0.0, 0.995, 311, true},  // 310.5 rounds away from zero
        {0.25f, 0.0, 1.01, 309, false},  // the scale is for gain 1 only
        {0.75f, 0.0, 2.0, 210, false},   // from 0.5 on the gain is taken about full scale
    };
    for (const Case& c : cases) {
        core::Document doc = test::MakeDocument(10);
        doc.Bias = c.Bias;
        doc.YOffset = c.Offset;
        doc.YExpand = c.Gain;
        test::RecordingCanvas canvas;
        DrawBiasMarks(canvas, doc, geo);
        const auto navy = canvas.StrokesIn(view::kNavy);
        ASSERT_EQ(navy.size(), 1u);
        EXPECT_EQ(navy[0].Points, (std::vector<view::Point>{{6, c.Row}, {635, c.Row}})) << c.Bias;
        EXPECT_TRUE(canvas.Contains("PenStyle Dot"));
        const auto green = canvas.StrokesIn(view::kGreen);
        ASSERT_EQ(green.size(), c.Scale ? 12u : 0u) << c.Gain;
        if (c.Scale) {
            EXPECT_EQ(green[11].Points, (std::vector<view::Point>{{6, 410}, {25, 410}}));
        }
        EXPECT_EQ(canvas.Lines().back(), "PenColor 0,0,0");
    }
}

}  // namespace
}  // namespace kalvex::tools
