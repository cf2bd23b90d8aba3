// The native .spc file: both layouts, the header, auto magnification, peaks and transactions.
#include <gtest/gtest.h>

#include "core/Error.h"
#include "files/OpenCommand.h"
#include "files/SpcFile.h"
#include "support/DocumentBuilder.h"
#include "support/TempDir.h"

namespace kalvex::files {
namespace {

using core::Document;
using test::TempDir;

const std::string kHeader =
    "3\r\n"
    " 1.00000000000000E+0001  1.00000000000000E-0002  4.00000000000000E+0003  "
    "4.00000000000000E+0000\r\n"
    " 2.50000000000000E+0003  0.00000000000000E+0000\r\n";

// Three points 0.25, 1, 0.5 with one peak at point 2 carrying the bias and the Gauss flag.
const std::string kPeakLine =
    "2  1.00000000000000E+0000 2.50000000000000E+0000 0.00000000000000E+0000 "
    "0.00000000000000E+0000 0.00000000000000E+0000 0.00000000000000E+0000 FALSE\r\n";

const std::string kSeqFile =
    kHeader + " 2.50000000000000E-0001 1.00000000000000E+0000 5.00000000000000E-0001\r\n" +
    kPeakLine;

const std::string kColFile = kHeader +
                             " 2.50000000000000E-0001\r\n"
                             " 1.00000000000000E+0000\r\n"
                             " 5.00000000000000E-0001\r\n" +
                             kPeakLine;

core::Options NoMagnify() {
    core::Options o;
    o.magnify_enable = false;
    return o;
}

Document Load(const std::string& path, const core::Options& opts = NoMagnify()) {
    return LoadSpectrum(path, Document{}, opts, nullptr);
}

TEST(SpcFile, SeqAndColFilesReadBackByteForByte) {
    TempDir dir;
    for (const auto& [name, text, type] :
         {std::tuple{"seq.spc", kSeqFile, core::FileType::kSpcSeq},
          std::tuple{"col.spc", kColFile, core::FileType::kSpcCol}}) {
        const std::string path = dir.Write(name, text);
        Document doc = Load(path);
        EXPECT_EQ(doc.F_Type, static_cast<int>(type)) << name;
        EXPECT_EQ(doc.PointCount, 3);
        EXPECT_EQ(doc.ViewPointCount, 3);
        EXPECT_DOUBLE_EQ(doc.XFirstPpm, 10.0);
        EXPECT_DOUBLE_EQ(doc.XStepHz, 4.0);
        EXPECT_DOUBLE_EQ(doc.ObsFreq, 400.0);
        EXPECT_DOUBLE_EQ(doc.YScale, 2500.0);
        EXPECT_DOUBLE_EQ(doc.ObsY[1], 1.0);
        ASSERT_EQ(doc.PeakCount, 1);
        EXPECT_EQ(doc.PeakPos[1], 2);
        EXPECT_DOUBLE_EQ(doc.PeakHalfWidth[1], 2.5);
        EXPECT_DOUBLE_EQ(doc.PeakHalfWidthG[1], 2.5);
        EXPECT_TRUE(doc.BiasFromFile);

        const std::string out = dir.File(std::string("out-") + name);
        ASSERT_EQ(SaveSpectrum(out, doc), PeakWriteStatus::kWritten);
        EXPECT_EQ(test::ReadFileBytes(out), text) << name;
    }
}

TEST(SpcFile, FirstIntensityLineEndingInABlankIsReadAsSeq) {
    TempDir dir;
    const std::string text = kHeader +
                             " 2.50000000000000E-0001 \r\n"
                             " 1.00000000000000E+0000\r\n"
                             " 5.00000000000000E-0001\r\n";
    Document doc = Load(dir.Write("blank.spc", text));
    EXPECT_EQ(doc.F_Type, 0);
    EXPECT_DOUBLE_EQ(doc.ObsY[2], 0.5);
    EXPECT_EQ(doc.PeakCount, 0);
}

TEST(SpcFile, LineThreeWithOnlyYScaleReadsSpcExtraZero) {
    TempDir dir;
    std::string text = kSeqFile;
    text.replace(text.find(" 2.5000"),
                 std::string(" 2.50000000000000E+0003  0.00000000000000E+0000").size(),
                 " 2.50000000000000E+0003 ");
    Document doc = Load(dir.Write("short3.spc", text));
    EXPECT_DOUBLE_EQ(doc.SpcExtra, 0.0);
    EXPECT_DOUBLE_EQ(doc.ObsY[0], 0.25);
    EXPECT_EQ(SpcFileText(doc), kSeqFile);
}

TEST(SpcFile, NarrowedRangeSavesOnlyItsPointsAndRenumbersPeaks) {
    Document doc = test::MakeDocument(10, 5.0, 0.5, 100.0, [](int p) { return p / 10.0; });
    test::AddPeak(doc, 3, 0.5, 1.0);  // before the range: dropped
    test::AddPeak(doc, 6, 0.25, 2.0);
    test::AddPeak(doc, 7, 0.125, 1.0);  // the last point shown: kept
    test::AddPeak(doc, 8, 0.5, 1.0);    // one past it: dropped
    doc.ViewFirstPoint = 5;
    doc.ViewPointCount = 3;
    doc.XFirstPpm = 3.0;
    doc.XFirstHz = 300.0;
    doc.F_Type = 1;
    const std::string text = SpcFileText(doc);
    const std::string expected =
        "3\r\n"
        " 3.00000000000000E+0000  5.00000000000000E-0001  3.00000000000000E+0002  "
        "5.00000000000000E+0001\r\n"
        " 1.00000000000000E+0000  0.00000000000000E+0000\r\n"
        " 5.00000000000000E-0001\r\n"
        " 6.00000000000000E-0001\r\n"
        " 7.00000000000000E-0001\r\n"
        "2  2.50000000000000E-0001 2.00000000000000E+0000 0.00000000000000E+0000 "
        "0.00000000000000E+0000 0.00000000000000E+0000 0.00000000000000E+0000 FALSE\r\n"
        "3  1.25000000000000E-0001 1.00000000000000E+0000 0.00000000000000E+0000 "
        "0.00000000000000E+0000 0.00000000000000E+0000\r\n";
    EXPECT_EQ(text, expected);
}

TEST(SpcFile, AutoMagnificationUpToARangeOfExactlyNineTenths) {
    TempDir dir;
    core::Options opts;  // magnify_enable is on in a new installation
    for (const auto& [lo, hi, offset, range] :
         {std::tuple{0.2, 0.5, 0.2, 0.3}, std::tuple{0.0, 0.9, 0.0, 0.9},
          std::tuple{0.0, 0.9000000001, 0.0, 1.0}, std::tuple{0.0, 0.95, 0.0, 1.0},
          std::tuple{0.5, 0.5, 0.0, 1.0}}) {
        Document doc = test::MakeDocument(3);
        doc.ObsY[0] = lo;
        doc.ObsY[1] = hi;
        doc.ObsY[2] = lo;
        doc.F_Type = 1;
        const Document back = Load(dir.Write("m.spc", SpcFileText(doc)), opts);
        EXPECT_DOUBLE_EQ(back.YOffset, offset) << lo << ".." << hi;
        EXPECT_NEAR(back.YRange, range, 1e-15) << lo << ".." << hi;
    }
}

TEST(SpcFile, AFullSizeSpectrumReopens) {
    TempDir dir;
    Document doc = test::MakeDocument(core::kMaxPoints, 10.0, 0.0001, 400.0,
                                      [](int p) { return (p % 97) / 97.0; });
    doc.F_Type = 1;
    const Document back = Load(dir.Write("full.spc", SpcFileText(doc)));
    EXPECT_EQ(back.PointCount, core::kMaxPoints);  // one more is refused by the size line
    EXPECT_DOUBLE_EQ(back.ObsY[core::kMaxPoints - 1], (core::kMaxPoints % 97) / 97.0);
}

TEST(SpcFile, PeaksComeFromTheSp2FileOnlyWhenNoneAreEmbedded) {
    TempDir dir;
    const std::string sp2 =
        "1  5.00000000000000E-0001 1.00000000000000E+0000\r\n"
        "3  2.50000000000000E-0001 1.50000000000000E+0000\r\n";
    dir.Write("a.sp2", sp2);
    const std::string body =
        kHeader + " 2.50000000000000E-0001 1.00000000000000E+0000 5.00000000000000E-0001\r\n";
    Document bare = Load(dir.Write("a.spc", body));
    ASSERT_EQ(bare.PeakCount, 2);
    EXPECT_EQ(bare.PeakPos[2], 3);
    EXPECT_DOUBLE_EQ(bare.PeakPosErr[2], 0.0);

    dir.Write("b.sp2", sp2);
    Document embedded = Load(dir.Write("b.spc", kSeqFile));
    EXPECT_EQ(embedded.PeakCount, 1);

    // A bad peak file beside it: the spectrum opens without peaks (the bias its first line
    // gave undone) and the error names the peak file and line; or it is not read at all.
    dir.Write("c.sp2", kPeakLine + "3 x\r\n");
    PeakFileNotes notes;
    Document bad = LoadSpectrum(dir.Write("c.spc", body), Document{}, NoMagnify(), nullptr, &notes);
    EXPECT_EQ(bad.PeakCount, 0);
    EXPECT_FALSE(bad.BiasFromFile);
    EXPECT_NE(notes.Error.find(dir.File("c.sp2") + " (line 2)"), std::string::npos) << notes.Error;
    PeakFileNotes skip;
    skip.ReadBeside = false;
    EXPECT_EQ(LoadSpectrum(dir.File("a.spc"), Document{}, NoMagnify(), nullptr, &skip).PeakCount,
              0);
    EXPECT_TRUE(skip.Error.empty());
}

TEST(SpcFile, OpenResetsTheDocumentLifecycle) {
    TempDir dir;
    Document previous = test::MakeDocument(5);
    previous.PeakFractionL[30] = 0.9;
    previous.PeakPosErr[4] = 3.0;
    previous.YExpand = 7.0;
    previous.Bias = 0.3f;
    previous.XAxisPpm = false;
    Document doc = LoadSpectrum(dir.Write("a.spc", kSeqFile), previous, NoMagnify(), nullptr);
    for (int k = 1; k <= core::kMaxPeaks; ++k) {
        EXPECT_DOUBLE_EQ(doc.PeakFractionL[k], 0.5);
        EXPECT_DOUBLE_EQ(doc.PeakPosErr[k], 0.0);
    }
    EXPECT_DOUBLE_EQ(doc.YExpand, 1.0);
    EXPECT_FLOAT_EQ(doc.Bias, 0.0f);  // the file's bias is 0
    EXPECT_FALSE(doc.XAxisPpm);       // a setting, not part of the spectrum
    EXPECT_EQ(doc.SaveFileName, doc.SpectrumFileName);
}

TEST(SpcFile, BadFilesAreRefusedWithTheirReasonAndLine) {
    TempDir dir;
    auto reason_of = [&](const std::string& name, const std::string& text, int* line) {
        try {
            Load(dir.Write(name, text));
        } catch (const kalvex::Error& e) {
            if (line) *line = e.Line();
            EXPECT_NE(std::string(e.what()).find(dir.File(name)), std::string::npos);
            return e.Reason();
        }
        return std::string("no error");
    };
    int line = 0;
    std::string bad = kColFile;
    bad.replace(bad.find(" 1.00000000000000E+0000\r\n"), 3, " x.");
    EXPECT_EQ(reason_of("bad.spc", bad, &line), "Invalid numeric input");
    EXPECT_EQ(line, 5);

    EXPECT_EQ(reason_of("big.spc", "65537\r\n", &line), "Range check error");
    EXPECT_NE(reason_of("empty.spc", "", nullptr).find("0 points"), std::string::npos);
    EXPECT_NE(reason_of("short.spc", kHeader + " 2.50000000000000E-0001\r\n", nullptr), "no error");
    EXPECT_THROW(Load(dir.File("nothing-here.spc")), FileNotFound);
    // The open command takes paths of up to 255 characters.
    EXPECT_FALSE(PathTooLongToOpen(std::string(254, 'a') + "/"));
    EXPECT_TRUE(PathTooLongToOpen(std::string(255, 'a') + "/"));
}

TEST(SpcFile, ValuesGivingNoFiniteNumberAreRefusedWithTheirLineAndValue) {
    using Edits = std::vector<std::pair<std::string, std::string>>;  // in kColFile, old -> new
    struct Case {
        const char* Name;
        Edits Changes;
        const char* Says;
        int Line;
    };
    const std::string yscale = " 2.50000000000000E+0003";
    const std::string step_ppm = " 1.00000000000000E-0002";
    for (const Case& c : {
             Case{"NaN intensity", {{" 1.00000000000000E+0000\r\n", "NAN\r\n"}}, "\"NAN\"", 5},
             Case{"infinite YScale", {{yscale, " INF"}}, "\"INF\"", 3},
             // Found by fuzzing: the automatic bias, a single, became infinite.
             Case{"intensity beyond a single",
                  {{" 1.00000000000000E+0000\r\n", " 3.5E+0038\r\n"}},
                  "The intensity 3.5E38 of point 2 is beyond the range of the bias",
                  5},
             Case{"intensity times YScale",
                  {{yscale, " 1.5E+0308"}, {" 5.00000000000000E-0001\r\n", " 2.0\r\n"}},
                  "The intensity 2 of point 3 times the scale 1.5E308",
                  6},
             Case{"axis past its last point", {{step_ppm, " 1.0E+0308"}}, "X axis (ppm)", 2},
             Case{"steps without a frequency",
                  {{step_ppm, " 1.0E-0300"}, {" 4.00000000000000E+0000\r\n", " 1.0E+0300\r\n"}},
                  "no observe frequency",
                  2},
             Case{"bias beyond a single",
                  {{" 0.00000000000000E+0000 FALSE", " 1.0E+0039 FALSE"}},
                  "The bias 1E39",
                  7},
         }) {
        TempDir dir;
        std::string text = kColFile;
        for (const auto& [old_text, new_text] : c.Changes) {
            text.replace(text.find(old_text), old_text.size(), new_text);
        }
        try {
            Load(dir.Write("v.spc", text));
            ADD_FAILURE() << c.Name << ": read";
        } catch (const kalvex::Error& e) {
            EXPECT_NE(e.Reason().find(c.Says), std::string::npos) << c.Name << ": " << e.what();
            EXPECT_EQ(e.File(), dir.File("v.spc")) << c.Name;
            EXPECT_EQ(e.Line(), c.Line) << c.Name << ": " << e.what();
        }
    }
}

TEST(SpcFile, FailedSaveKeepsThePreviousFileAndLeavesNoTemporaryFile) {
    TempDir dir;
    const std::string path = dir.Write("keep.spc", "previous contents");
    Document doc = test::MakeDocument(100);
    {
        // A file-size limit makes the write fail part-way, whatever the user's permissions.
        test::FileSizeLimit limit(200);
        EXPECT_THROW(SaveSpectrum(path, doc), kalvex::Error);
    }
    EXPECT_EQ(test::ReadFileBytes(path), "previous contents");
    EXPECT_EQ(test::FilesIn(dir.Path()), std::vector<std::string>{"keep.spc"});
}

}  // namespace
}  // namespace kalvex::files
