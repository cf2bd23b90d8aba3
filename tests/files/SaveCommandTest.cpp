// Save as: the proposed type and name, the written files; Sequential Save of arrayed spectra.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "core/Error.h"
#include "core/FileSystem.h"
#include "files/OpenCommand.h"
#include "files/SaveCommand.h"
#include "files/SpcFile.h"
#include "support/DocumentBuilder.h"
#include "support/SpectrumFileWriters.h"
#include "support/TempDir.h"

namespace kalvex::files {
namespace {

using core::Document;
using test::TempDir;

TEST(SaveAs, ProposesTheTypeAndNameFromTheOpenFile) {
    struct Case {
        const char* Spectrum;
        int FType;
        bool Arrayed;
        int Index;
        int Filter;
        const char* Proposed;
        const char* SaveFileName;
    };
    for (const Case& c : {
             Case{"/d/a.1rd", 3, false, 1, 1, "/d/a.spc", "/d/a.1rd"},
             Case{"/d/a.dat", 2, false, 1, 2, "/d/a.dat", "/d/a.dat"},
             Case{"/d/a.spc", 0, false, 1, 1, "/d/a.spc", "/d/a.spc"},
             Case{"/d/a.spc", 2, false, 1, 2, "/d/a.dat", "/d/a.spc"},  // F_Type set to "dat (XY)"
             Case{"/d/a.vdt", 4, false, 1, 1, "/d/a.spc", "/d/a.vdt"},
             Case{"/d/b.vnj", 5, true, 3, 1, "/d/b-3.spc", "/d/b-3.vnj"},
             Case{"/d/b.vnj", 5, false, 3, 1, "/d/b.spc", "/d/b.vnj"},
             Case{"/d/pdata/1/1r", 3, false, 1, 1, "/d/pdata/1/1r.spc", "/d/pdata/1/1r"},
             Case{"/d/a.SPC", 0, false, 1, 0, "", "/d/a.SPC"},
         }) {
        Document doc = test::MakeDocument(10);
        doc.SpectrumFileName = c.Spectrum;
        doc.SaveFileName = "/elsewhere/old.spc";
        doc.F_Type = c.FType;
        doc.IsArrayed = c.Arrayed;
        doc.ArrayIndex = static_cast<std::uint8_t>(c.Index);
        const SaveAsProposal p = ProposeSaveAs(doc);
        EXPECT_EQ(p.FilterIndex, c.Filter) << c.Spectrum;
        EXPECT_EQ(p.ProposedPath, c.Proposed) << c.Spectrum;
        EXPECT_EQ(p.DefaultExtension, c.Filter == 1 ? "spc" : c.Filter == 2 ? "dat" : "");
        EXPECT_EQ(doc.SaveFileName, c.SaveFileName) << c.Spectrum;
        EXPECT_EQ(p.Folder, core::FolderOf(c.Spectrum));
    }
}

TEST(SaveAs, TypeChangeRenamesTheProposedFile) {
    EXPECT_EQ(RenameForSaveType("/d/b-3.spc", 2), "b-3.dat");
    EXPECT_EQ(RenameForSaveType("b-3.dat", 1), "b-3.spc");
    EXPECT_EQ(RenameForSaveType("name", 2), "name.dat");
    EXPECT_EQ(RenameForSaveType("x.y.dat", 1), "x.y.spc");
}

class SaveAsWriting : public ::testing::Test {
protected:
    void SetUp() override {
        doc_ = test::MakeDocument(200, 10.0, 0.01, 400.0, [](int p) { return p / 200.0; });
        doc_.SpectrumFileName = dir_.File("orig.vnj");
        doc_.F_Type = 5;
    }
    TempDir dir_;
    Document doc_;
};

TEST_F(SaveAsWriting, SpcGoesThroughSave) {
    test::AddPeak(doc_, 50, 0.5, 2.0);
    const SaveAsResult r = SaveAsChosenPath(doc_, dir_.File("x.spc"));
    EXPECT_TRUE(r.SpectrumWritten);
    EXPECT_EQ(doc_.SaveFileName, dir_.File("x.spc"));
    EXPECT_EQ(test::ReadFileBytes(dir_.File("x.spc")), SpcFileText(doc_));
    EXPECT_FALSE(test::FileExists(dir_.File("orig.sp2")));
}

TEST_F(SaveAsWriting, DatWritesTheDisplayedRangeThenThePeakFileBesideIt) {
    test::AddPeak(doc_, 150, 0.5, 2.0);
    doc_.ViewFirstPoint = 101;
    doc_.ViewPointCount = 100;
    doc_.XFirstPpm = 9.0;  // X of point 101
    doc_.YScale = 2.0;
    doc_.YOffset = 0.5;
    const SaveAsResult r = SaveAsChosenPath(doc_, dir_.File("x.dat"));
    EXPECT_TRUE(r.SpectrumWritten);
    EXPECT_EQ(r.PeakFile, PeakWriteStatus::kWritten);
    // X in ppm falling by the step, intensities back in absolute units, CR LF.
    const std::string text = test::ReadFileBytes(dir_.File("x.dat"));
    EXPECT_EQ(text.substr(0, 98),
              " 9.00000000000000E+0000  1.51000000000000E+0000\r\n"
              " 8.99000000000000E+0000  1.52000000000000E+0000\r\n");
    EXPECT_EQ(text.size(), 100u * 49u);
    // The peak file goes beside the .dat, positions relative to the saved range; the
    // spectrum's own peak file is not touched. Plain Save to the .dat does the same.
    EXPECT_FALSE(test::FileExists(dir_.File("orig.sp2")));
    EXPECT_EQ(test::ReadFileBytes(dir_.File("x.sp2")).substr(0, 3), "50 ");
    std::remove(dir_.File("x.sp2").c_str());
    EXPECT_EQ(SaveSpectrum(doc_.SaveFileName, doc_), PeakWriteStatus::kWritten);
    EXPECT_TRUE(test::FileExists(dir_.File("x.sp2")));
    EXPECT_FALSE(test::FileExists(dir_.File("orig.sp2")));
}

TEST_F(SaveAsWriting, DatAsksBeforeReplacingAPeakFileBesideIt) {
    test::AddPeak(doc_, 150, 0.5, 2.0);
    for (const bool replace : {false, true}) {
        const std::string old_peaks = dir_.Write("y.sp2", "1 1 1\r\n");
        std::vector<std::string> asked;
        const SaveAsResult r =
            SaveAsChosenPath(doc_, dir_.File("y.dat"), [&](const std::string& p) {
                asked.push_back(p);
                return replace;
            });
        EXPECT_EQ(asked, std::vector<std::string>{old_peaks});
        EXPECT_TRUE(test::FileExists(dir_.File("y.dat")));
        EXPECT_EQ(r.PeakFileKept, !replace);
        EXPECT_EQ(test::ReadFileBytes(old_peaks) == "1 1 1\r\n", !replace);
    }
}

TEST_F(SaveAsWriting, DatWithoutPeaksAsksForTheNoPeakMessage) {
    const SaveAsResult r = SaveAsChosenPath(doc_, dir_.File("x.dat"));
    EXPECT_TRUE(r.SpectrumWritten);
    EXPECT_EQ(r.PeakFile, PeakWriteStatus::kNoPeakData);
    EXPECT_FALSE(test::FileExists(dir_.File("orig.sp2")));
}

TEST_F(SaveAsWriting, OtherExtensionsWriteNothing) {
    test::AddPeak(doc_, 50, 0.5, 2.0);
    const SaveAsResult r = SaveAsChosenPath(doc_, dir_.File("x.txt"));
    EXPECT_FALSE(r.SpectrumWritten);
    EXPECT_EQ(doc_.SaveFileName, dir_.File("x.txt"));
    EXPECT_TRUE(test::FilesIn(dir_.Path()).empty());
}

TEST(SequentialSave, NumberedNames) {
    EXPECT_EQ(SequentialFileName("/d/run.vnj", 12), "/d/run-12.spc");
    EXPECT_EQ(SequentialFileName("/d/b-3.spc", 1), "/d/b-3-1.spc");
}

// An arrayed file b.vnj: spectrum k of 100 points has its line at point 10 k.
class SequentialSaving : public ::testing::Test {
protected:
    void Open(int count, int shown) {
        std::vector<std::vector<float>> spectra;
        for (int k = 1; k <= count; ++k) {
            std::vector<float> s(100, 0.0f);
            s[static_cast<std::size_t>((10 * k - 1) % 100)] = static_cast<float>(k);
            spectra.push_back(s);
        }
        test::ProcparFields f;
        f.Fn = "200";
        dir_.Write("b.vnp", test::ProcparText(f));
        dir_.Write("b.vnj", test::VnmrDataFile(spectra, test::Endian::kBig));
        doc_ = LoadSpectrum(dir_.File("b.vnj"), Document{}, opts_, [=](int) { return shown; });
        test::AddPeak(doc_, 20, 0.5, 2.0);
    }

    static int LargestPoint(const Document& doc) {
        for (int p = 1; p <= doc.PointCount; ++p) {
            if (doc.ObsY[static_cast<std::size_t>(p - 1)] == 1.0) return p;
        }
        return 0;
    }

    TempDir dir_;
    core::Options opts_;
    Document doc_;
};

TEST_F(SequentialSaving, WritesEverySpectrumAndReturnsToTheOneShown) {
    Open(3, 2);
    EXPECT_EQ(SequentialSave(doc_, opts_), 3);
    EXPECT_EQ(doc_.ArrayIndex, 2);
    EXPECT_EQ(LargestPoint(doc_), 20);
    EXPECT_DOUBLE_EQ(doc_.YScale, 2.0);
    EXPECT_FALSE(doc_.SeqSaving);
    EXPECT_EQ(doc_.SaveFileName, dir_.File("b-3.spc"));
    for (int k = 1; k <= 3; ++k) {
        const std::string name = dir_.File("b-" + std::to_string(k) + ".spc");
        const Document saved = LoadSpectrum(name, Document{}, opts_, nullptr);
        EXPECT_EQ(LargestPoint(saved), 10 * k) << name;
        EXPECT_DOUBLE_EQ(saved.YScale, k) << name;
        EXPECT_EQ(saved.PeakCount, 1) << name;
    }
}

TEST_F(SequentialSaving, TakesTheNameOfASaveAsAsItsBase) {
    Open(3, 3);
    const SaveAsProposal p = ProposeSaveAs(doc_);
    EXPECT_EQ(p.ProposedPath, dir_.File("b-3.spc"));
    SaveAsChosenPath(doc_, p.ProposedPath);
    EXPECT_EQ(SequentialSave(doc_, opts_), 3);
    EXPECT_TRUE(test::FileExists(dir_.File("b-3-1.spc")));
    EXPECT_TRUE(test::FileExists(dir_.File("b-3-3.spc")));
}

TEST_F(SequentialSaving, StopsAfterTwoHundredFiftyFiveSpectra) {
    Open(255, 7);
    EXPECT_EQ(SequentialSave(doc_, opts_), 255);
    EXPECT_TRUE(test::FileExists(dir_.File("b-255.spc")));
    EXPECT_FALSE(test::FileExists(dir_.File("b-256.spc")));
    EXPECT_FALSE(test::FileExists(dir_.File("b-0.spc")));
    EXPECT_EQ(doc_.ArrayIndex, 7);
}

TEST_F(SequentialSaving, AFailedWriteStillRestoresTheSpectrumShown) {
    Open(3, 3);
    // A folder where the second file should go makes its save fail.
    std::filesystem::create_directory(dir_.File("b-2.spc"));
    EXPECT_THROW(SequentialSave(doc_, opts_), Error);
    EXPECT_TRUE(test::FileExists(dir_.File("b-1.spc")));
    EXPECT_FALSE(test::FileExists(dir_.File("b-3.spc")));
    EXPECT_EQ(doc_.ArrayIndex, 3);
    EXPECT_EQ(LargestPoint(doc_), 30);
    EXPECT_FALSE(doc_.SeqSaving);
}

TEST(SequentialSave, DoesNothingForASingleSpectrum) {
    TempDir dir;
    Document doc = test::MakeDocument(10);
    doc.SpectrumFileName = doc.SaveFileName = dir.File("s.vnj");
    doc.SeqSaving = true;
    EXPECT_EQ(SequentialSave(doc, core::Options{}), 0);
    EXPECT_FALSE(doc.SeqSaving);
    doc.IsArrayed = true;
    doc.SpectrumFileName = dir.File("s.spc");
    EXPECT_EQ(SequentialSave(doc, core::Options{}), 0);
    EXPECT_TRUE(test::FilesIn(dir.Path()).empty());
}

}  // namespace
}  // namespace kalvex::files
