// Every save command stopped by a full disk after any byte keeps the previous file, leaves no
// temporary file and names the file it could not write.
#include <gtest/gtest.h>

#include <functional>

#include "core/Error.h"
#include "files/PeakLines.h"
#include "files/SaveCommand.h"
#include "files/SpcFile.h"
#include "files/XyText.h"
#include "peaks/FitReport.h"
#include "support/DocumentBuilder.h"
#include "support/TempDir.h"

namespace kalvex::files {
namespace {

using core::Document;

struct Writer {
    const char* Name;  // the file written
    std::function<std::string(const Document&)> Text;
    std::function<void(const std::string& path, Document&)> Save;
};

TEST(InterruptedSave, EverySaveStoppedAfterAnyByteKeepsThePreviousFile) {
    Document doc = test::MakeDocument(6, 5.0, 0.1, 100.0, [](int p) { return p / 6.0; });
    test::AddPeak(doc, 3, 0.5, 1.5);
    const std::vector<Writer> writers = {
        {"s.spc", SpcFileText, [](const std::string& p, Document& d) { SaveSpectrum(p, d); }},
        {"s.sp2", PeakFileText, [](const std::string& p, Document& d) { WritePeakFile(p, d); }},
        {"s.dat", XyTextFileText,
         [](const std::string& p, Document& d) { SaveAsChosenPath(d, p); }},
        {"s.sp3", CurveTableText, [](const std::string& p, Document& d) { WriteCurveTable(p, d); }},
        {"s.par", [](const Document& d) { return peaks::FitReportText(d, core::Options{}); },
         [](const std::string& p, Document& d) { peaks::WriteFitReport(p, d, core::Options{}); }},
    };
    for (const Writer& w : writers) {
        test::TempDir dir;
        const std::string path = dir.Write(w.Name, "previous");
        const std::size_t size = w.Text(doc).size();
        for (std::size_t k = 0; k < size; ++k) {
            try {
                // Writes past k bytes fail with "File too large", as a full disk fails them.
                test::FileSizeLimit limit(k);
                w.Save(path, doc);
                ADD_FAILURE() << w.Name << " saved with a limit of " << k << " bytes";
            } catch (const kalvex::Error& e) {
                ASSERT_EQ(e.File(), path) << w.Name << " at " << k;
                ASSERT_NE(e.Reason().find("Unable to write the file"), std::string::npos);
            }
            ASSERT_EQ(test::ReadFileBytes(path), "previous") << w.Name << " at " << k;
            ASSERT_EQ(test::FilesIn(dir.Path()), std::vector<std::string>{w.Name})
                << w.Name << " at " << k;
        }
        w.Save(path, doc);
        EXPECT_EQ(test::ReadFileBytes(path), w.Text(doc)) << w.Name;
    }
}

}  // namespace
}  // namespace kalvex::files
