// Draw (typed values into the peak table, once, in order) and Delete (later peaks move down).
#include <gtest/gtest.h>

#include "core/Error.h"
#include "fit/LineShapes.h"
#include "peaks/PeakEdit.h"
#include "support/DocumentBuilder.h"

namespace kalvex::peaks {
namespace {

using core::Document;
using core::Options;

// 1000 points from 10 ppm, 0.01 ppm (4 Hz) per point; heights shown doubled (YRange 0.5).
Document OnePeak() {
    Document doc = test::MakeDocument(1000);
    doc.YRange = 0.5;
    test::AddPeak(doc, 101, 0.5, 5.0);
    return doc;
}

// What the dialog holds after showing peak n: the shown texts, no flag set.
PeakEdits Shown(const Document& doc, Options& opts, int n) {
    return EditsAfterShow(ShowPeakInfo(n, doc, opts, {true, true}));
}

TEST(PeakEdit, DrawAppliesAnEditOnceBecauseTheShowClearsTheFlags) {
    Document doc = OnePeak();
    Options opts;
    PeakEdits edits = Shown(doc, opts, 1);
    edits.Edhight = "0.75";
    edits.HeightEdited = true;
    ApplyPeakEdits(doc, opts, 1, edits);
    EXPECT_DOUBLE_EQ(doc.PeakHeight[1], 0.375);

    // The show after Draw refills the boxes; a second Draw finds nothing edited and leaves a
    // value changed meanwhile (by a fit, say) alone, though the box shows it rounded.
    edits = Shown(doc, opts, 1);
    EXPECT_EQ(edits.Edhight, "0.7500");
    doc.PeakHeight[1] = 0.123456789;
    ApplyPeakEdits(doc, opts, 1, edits);
    EXPECT_DOUBLE_EQ(doc.PeakHeight[1], 0.123456789);
    EXPECT_EQ(doc.PeakPos[1], 101);
    EXPECT_DOUBLE_EQ(doc.PeakHalfWidth[1], 5.0);
}

TEST(PeakEdit, BlankEditedFieldsAreSkipped) {
    Document doc = OnePeak();
    Options opts;
    PeakEdits edits;
    edits.PositionEdited = edits.HeightEdited = edits.WidthEdited = true;
    edits.WidthLEdited = edits.FractionEdited = true;
    edits.Edhight = "  ";
    ApplyPeakEdits(doc, opts, 1, edits);
    EXPECT_EQ(doc.PeakPos[1], 101);
    EXPECT_DOUBLE_EQ(doc.PeakHeight[1], 0.5);
    EXPECT_DOUBLE_EQ(doc.PeakHalfWidth[1], 5.0);
    EXPECT_DOUBLE_EQ(doc.PeakFractionL[1], 0.5);
}

TEST(PeakEdit, WidthsAreTypedInTheAxisUnitAndStoredAsHalfWidthsInPoints) {
    Document doc = OnePeak();
    Options opts;
    PeakEdits edits;
    edits.EdWidth = "0.2";  // ppm: 20 points full width
    edits.WidthEdited = true;
    edits.EdWidth2 = "0.06";
    edits.WidthLEdited = true;
    ApplyPeakEdits(doc, opts, 1, edits);
    EXPECT_DOUBLE_EQ(doc.PeakHalfWidth[1], 10.0);
    EXPECT_DOUBLE_EQ(doc.PeakHalfWidthG[1], 10.0);
    EXPECT_DOUBLE_EQ(doc.PeakHalfWidthL[1], 3.0);

    doc.XAxisPpm = false;
    edits.EdWidth = "40";  // Hz: 10 points full width
    edits.EdWidth2 = "8";
    ApplyPeakEdits(doc, opts, 1, edits);
    EXPECT_DOUBLE_EQ(doc.PeakHalfWidth[1], 5.0);
    EXPECT_DOUBLE_EQ(doc.PeakHalfWidthG[1], 5.0);
    EXPECT_DOUBLE_EQ(doc.PeakHalfWidthL[1], 1.0);
}

TEST(PeakEdit, FractionIsClampedToZeroToOne) {
    Document doc = OnePeak();
    Options opts;
    opts.LGselect = 2;
    PeakEdits edits;
    edits.FractionEdited = true;
    for (const auto& [typed, stored] :
         {std::pair{"1.5", 1.0}, {"-0.2", 0.0}, {"0.3", 0.3}, {"2", 1.0}}) {
        edits.fract_L = typed;
        ApplyPeakEdits(doc, opts, 1, edits);
        EXPECT_DOUBLE_EQ(doc.PeakFractionL[1], stored) << typed;
    }
    EXPECT_EQ(Shown(doc, opts, 1).fract_L, "1.000");
}

TEST(PeakEdit, ABadTextStopsDrawThereKeepingTheFieldsBeforeIt) {
    Document doc = OnePeak();
    Options opts;
    PeakEdits edits;
    edits.Edposition = "120";
    edits.Edhight = "0.4x";
    edits.EdWidth = "0.2";
    edits.PositionEdited = edits.HeightEdited = edits.WidthEdited = true;
    try {
        ApplyPeakEdits(doc, opts, 1, edits);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("'0.4x'"), std::string::npos) << e.what();
    }
    EXPECT_EQ(doc.PeakPos[1], 120);
    EXPECT_DOUBLE_EQ(doc.PeakHeight[1], 0.5);
    EXPECT_DOUBLE_EQ(doc.PeakHalfWidth[1], 5.0);
}

TEST(PeakEdit, PositionMustBeAnIntegerFromZeroTo65535) {
    Document doc = OnePeak();
    Options opts;
    PeakEdits edits;
    edits.PositionEdited = true;
    for (const char* bad : {"70000", "65536", "-1", "12.5"}) {
        edits.Edposition = bad;
        try {
            ApplyPeakEdits(doc, opts, 1, edits);
            ADD_FAILURE() << bad << " accepted";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(bad), std::string::npos) << e.what();
        }
        EXPECT_EQ(doc.PeakPos[1], 101);
    }
    for (const auto& [text, pos] : {std::pair{"65535", 65535}, {"0", 0}, {" 7 ", 7}}) {
        edits.Edposition = text;
        ApplyPeakEdits(doc, opts, 1, edits);
        EXPECT_EQ(doc.PeakPos[1], pos);
    }
}

// A width of 1E308 Hz is 1.25E307 points at 4 Hz a point, and twice the largest double at
// 0.01 ppm a point; a height of 1E308 shown at YRange 0.5 is stored doubled.
TEST(PeakEdit, ValuesThatPassTheLargestNumberOnTheScaleAreRefused) {
    Document doc = OnePeak();
    Options opts;
    PeakEdits edits;
    edits.WidthEdited = true;
    edits.EdWidth = "1E308";
    doc.XAxisPpm = false;
    ApplyPeakEdits(doc, opts, 1, edits);
    EXPECT_DOUBLE_EQ(doc.PeakHalfWidth[1], 1.25e307);
    doc.XAxisPpm = true;
    EXPECT_THROW(ApplyPeakEdits(doc, opts, 1, edits), Error);
    EXPECT_DOUBLE_EQ(doc.PeakHalfWidth[1], 1.25e307);

    edits = PeakEdits{};
    edits.HeightEdited = true;
    edits.Edhight = "1E308";
    doc.YRange = 1.0;
    ApplyPeakEdits(doc, opts, 1, edits);
    EXPECT_DOUBLE_EQ(doc.PeakHeight[1], 1e308);
    doc.YRange = 2.0;
    try {
        ApplyPeakEdits(doc, opts, 1, edits);
        ADD_FAILURE() << "accepted";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("'1E308' is not a valid peak height"),
                  std::string::npos)
            << e.what();
    }
    EXPECT_DOUBLE_EQ(doc.PeakHeight[1], 1e308);
}

TEST(PeakEdit, DrawWithoutASelectedPeakChangesNothing) {
    Document doc = OnePeak();
    Options opts;
    PeakEdits edits;
    edits.Edhight = "0.9";
    edits.HeightEdited = true;
    EXPECT_THROW(ApplyPeakEdits(doc, opts, 0, edits), Error);
    EXPECT_THROW(ApplyPeakEdits(doc, opts, 2, edits), Error);
    EXPECT_DOUBLE_EQ(doc.PeakHeight[1], 0.5);
}

TEST(PeakEdit, GaussLorentzAreaFollowsTheDrawnValues) {
    Document doc = OnePeak();
    Options opts;
    opts.LGselect = 2;
    PeakEdits edits;
    edits.Edhight = "2";
    edits.HeightEdited = true;
    edits.fract_L = "0.25";
    edits.FractionEdited = true;
    ApplyPeakEdits(doc, opts, 1, edits);
    EXPECT_DOUBLE_EQ(doc.PeakAreaGL[1], 1.0 / fit::CentreDensityGL(5.0, 5.0, 0.25));
    // Also when a later field fails after the height got through.
    edits.Edhight = "1";
    edits.fract_L = "x";
    EXPECT_THROW(ApplyPeakEdits(doc, opts, 1, edits), Error);
    EXPECT_DOUBLE_EQ(doc.PeakAreaGL[1], 0.5 / fit::CentreDensityGL(5.0, 5.0, 0.25));
}

// Three peaks whose every value tells its number: positions 100, 200, 300, fractions 0.1..0.3.
Document ThreePeaks() {
    Document doc = test::MakeDocument(1000);
    for (int k = 1; k <= 3; ++k) {
        test::AddPeak(doc, 100 * k, 0.1 * k, 2.0 * k);
        doc.PeakHalfWidthG[k] = 3.0 * k;
        doc.PeakHalfWidthL[k] = 4.0 * k;
        doc.PeakFractionL[k] = 0.1 * k;
        doc.PeakAreaGL[k] = 10.0 * k;
        doc.PeakPosErr[k] = 0.01 * k;
        doc.PeakHeightErr[k] = 0.02 * k;
        doc.PeakHalfWidthErr[k] = 0.03 * k;
        doc.PeakHalfWidthGErr[k] = 0.04 * k;
        doc.PeakHalfWidthLErr[k] = 0.05 * k;
        doc.PeakFractionLErr[k] = 0.06 * k;
    }
    return doc;
}

// Slot j holds former peak k with every value, the Gauss+Lorentz ones and the errors too.
void ExpectSlotHolds(const Document& doc, int j, int k) {
    EXPECT_EQ(doc.PeakPos[j], 100 * k) << j;
    const double got[] = {
        doc.PeakHeight[j],        doc.PeakHalfWidth[j],     doc.PeakHalfWidthG[j],
        doc.PeakHalfWidthL[j],    doc.PeakFractionL[j],     doc.PeakAreaGL[j],
        doc.PeakPosErr[j],        doc.PeakHeightErr[j],     doc.PeakHalfWidthErr[j],
        doc.PeakHalfWidthGErr[j], doc.PeakHalfWidthLErr[j], doc.PeakFractionLErr[j]};
    const double per_number[] = {0.1, 2, 3, 4, 0.1, 10, 0.01, 0.02, 0.03, 0.04, 0.05, 0.06};
    for (int i = 0; i < 12; ++i) EXPECT_DOUBLE_EQ(got[i], per_number[i] * k) << j << " " << i;
}

TEST(PeakDelete, LaterPeaksMoveDownAndTheFreedSlotLooksLikeAfterAnOpen) {
    for (const auto& [deleted, shown, first, second] :
         {std::tuple{3, 1, 1, 2}, {2, 2, 1, 3}, {1, 1, 2, 3}}) {
        Document doc = ThreePeaks();
        EXPECT_EQ(DeletePeak(doc, deleted), shown);
        ASSERT_EQ(doc.PeakCount, 2);
        ExpectSlotHolds(doc, 1, first);
        ExpectSlotHolds(doc, 2, second);
        // No errors of a deleted peak may show up at the next new peak.
        for (double v : {doc.PeakPosErr[3], doc.PeakHeightErr[3], doc.PeakHalfWidthErr[3],
                         doc.PeakHalfWidthGErr[3], doc.PeakHalfWidthLErr[3],
                         doc.PeakFractionLErr[3], doc.PeakAreaGL[3]}) {
            EXPECT_EQ(v, 0.0) << deleted;
        }
        EXPECT_DOUBLE_EQ(doc.PeakFractionL[3], 0.5);
    }
}

TEST(PeakDelete, DeletingTheOnlyPeakClosesTheWindows) {
    Document doc = test::MakeDocument(1000);
    test::AddPeak(doc, 100, 0.5, 5.0);
    const int next = DeletePeak(doc, 1);
    EXPECT_EQ(next, 1);
    EXPECT_EQ(doc.PeakCount, 0);
    Options opts;
    const PeakInfo info = ShowPeakInfo(next, doc, opts, {true, false});
    EXPECT_EQ(info.Sel_DlgAction, WindowAction::kClose);
    EXPECT_EQ(info.Sel_Dlg2Action, WindowAction::kClose);
}

TEST(PeakDelete, WithoutASelectedPeakNothingIsDeleted) {
    Document doc = ThreePeaks();
    EXPECT_THROW(DeletePeak(doc, 0), Error);
    EXPECT_THROW(DeletePeak(doc, 4), Error);
    EXPECT_EQ(doc.PeakCount, 3);
    EXPECT_EQ(doc.PeakPos[3], 300);
}

}  // namespace
}  // namespace kalvex::peaks
