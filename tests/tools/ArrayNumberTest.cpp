// The spectrum-number dialog rules and stepping through the spectra of an arrayed file.
#include <gtest/gtest.h>

#include <cstdio>

#include "core/Error.h"
#include "files/OpenCommand.h"
#include "support/TempDir.h"
#include "tools/ArrayNumber.h"
#include "support/SpectrumFileWriters.h"

namespace kalvex::tools {
namespace {

using core::Document;

TEST(ArrayNumber, OkTurnsAnEntryOfZeroIntoOne) {
    EXPECT_EQ(ArrayEntryAfterOk("0"), "1");
    EXPECT_EQ(ArrayEntryAfterOk(" 0 "), "1");
    EXPECT_EQ(ArrayEntryAfterOk("3"), "3");
    EXPECT_EQ(ArrayEntryAfterOk("x"), "x");
}

TEST(ArrayNumber, AcceptsOnlyWholeNumbersOfExistingSpectra) {
    EXPECT_EQ(AcceptedArrayEntry("3", 5), 3);
    EXPECT_EQ(AcceptedArrayEntry(" 5 ", 5), 5);
    EXPECT_EQ(AcceptedArrayEntry("255", 255), 255);
    for (const char* bad : {"0", "6", "-1", "2.5", "", "two", "256"}) {
        EXPECT_EQ(AcceptedArrayEntry(bad, 5), std::nullopt) << bad;
    }
    EXPECT_EQ(AcceptedArrayEntry("256", 255), std::nullopt);
    EXPECT_EQ(ArrayEntryComplaint("5", 5), "");
    EXPECT_EQ(ArrayEntryComplaint("6", 5), "There is no spectrum 6: type 1 to 5");
    EXPECT_EQ(ArrayEntryComplaint("0", 5), "There is no spectrum 0: type 1 to 5");
    EXPECT_EQ(ArrayEntryComplaint("x", 5), "\"x\" is not a whole number: type 1 to 5");
}

TEST(ArrayNumber, StepsWrapAtBothEnds) {
    EXPECT_EQ(SteppedArrayIndex(5, 5, ArrayStep::kUp, false), 1);
    EXPECT_EQ(SteppedArrayIndex(1, 5, ArrayStep::kDown, false), 5);
    EXPECT_EQ(SteppedArrayIndex(2, 5, ArrayStep::kUp, false), 3);
    EXPECT_EQ(SteppedArrayIndex(3, 5, ArrayStep::kDown, false), 2);
    EXPECT_EQ(SteppedArrayIndex(0, 5, ArrayStep::kUp, false), 1);
    EXPECT_EQ(SteppedArrayIndex(0, 5, ArrayStep::kDown, false), 5);
    EXPECT_EQ(SteppedArrayIndex(255, 255, ArrayStep::kUp, false), 1);
    EXPECT_EQ(SteppedArrayIndex(4, 5, ArrayStep::kUp, true), 4);
}

// An arrayed file of three spectra of 200 points; spectrum k has a line of height 1000 k
// at point 40 k on a baseline of 100.
class ArrayStepping : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<std::vector<float>> spectra;
        for (int k = 1; k <= 3; ++k) {
            spectra.push_back(test::ToFloats(test::GaussLine(200, 40.0 * k, 3.0, 1000.0 * k, 100)));
        }
        test::ProcparFields fields;
        fields.Fn = "400";
        dir_.Write("run.vnp", test::ProcparText(fields));
        path_ = dir_.Write("run.vnj", test::VnmrDataFile(spectra, test::Endian::kBig));
        doc_ = files::LoadSpectrum(path_, Document{}, opts_, [](int) { return 3; });
    }

    int LargestPoint() const {
        for (int p = 1; p <= doc_.PointCount; ++p) {
            if (doc_.ObsY[static_cast<std::size_t>(p - 1)] == 1.0) return p;
        }
        return 0;
    }

    test::TempDir dir_;
    std::string path_;
    core::Options opts_;
    Document doc_;
};

TEST_F(ArrayStepping, UpFromTheLastShowsTheFirstRenormalised) {
    ASSERT_EQ(doc_.ArrayIndex, 3);
    doc_.YOffset = 0.3;
    doc_.YRange = 0.5;
    doc_.SpcExtra = 7.0;
    EXPECT_TRUE(StepArraySpectrum(doc_, ArrayStep::kUp, opts_));
    EXPECT_EQ(doc_.ArrayIndex, 1);
    EXPECT_EQ(LargestPoint(), 40);
    EXPECT_DOUBLE_EQ(doc_.YScale, 1000.0);
    EXPECT_EQ(doc_.YOffset, 0.0);
    EXPECT_EQ(doc_.YRange, 1.0);
    EXPECT_EQ(doc_.SpcExtra, 0.0);
    EXPECT_EQ(doc_.ObsY[0], 0.0);

    EXPECT_TRUE(StepArraySpectrum(doc_, ArrayStep::kDown, opts_));
    EXPECT_EQ(doc_.ArrayIndex, 3);
    EXPECT_EQ(LargestPoint(), 120);
    EXPECT_DOUBLE_EQ(doc_.YScale, 3000.0);
}

TEST_F(ArrayStepping, DuringSequentialSaveRereadsTheChosenSpectrumWithoutRefresh) {
    doc_.SeqSaving = true;
    doc_.ArrayIndex = 2;
    EXPECT_FALSE(StepArraySpectrum(doc_, ArrayStep::kUp, opts_));
    EXPECT_EQ(doc_.ArrayIndex, 2);
    EXPECT_EQ(LargestPoint(), 80);
}

TEST_F(ArrayStepping, AFailedReadKeepsTheSpectrumShown) {
    std::remove(path_.c_str());
    EXPECT_THROW(StepArraySpectrum(doc_, ArrayStep::kUp, opts_), Error);
    EXPECT_EQ(doc_.ArrayIndex, 3);
    EXPECT_EQ(LargestPoint(), 120);
}

TEST(ArrayNumber, StepDoesNothingForASingleSpectrum) {
    Document doc = Document::FreshForOpen(Document{});
    doc.PointCount = 10;
    EXPECT_FALSE(StepArraySpectrum(doc, ArrayStep::kUp, core::Options{}));
    EXPECT_EQ(doc.ArrayIndex, 1);
}

}  // namespace
}  // namespace kalvex::tools
