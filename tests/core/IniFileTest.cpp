// The sectioned settings text: lookups without regard to case, rewrites that keep the rest.
#include <gtest/gtest.h>

#include "core/Error.h"
#include "core/IniFile.h"
#include "support/TempDir.h"

namespace kalvex::core {
namespace {

TEST(IniFile, FindsSectionsAndKeysWithoutRegardToCase) {
    const IniFile ini = IniFile::Parse(
        "; written by hand\r\n"
        "[GLOBAL]\r\n"
        "  position LEFT = 412 \r\n"
        "Path=\"  /data/a b  \"\r\n"
        "[global]\r\n"
        "Position Left=1\r\n"
        "[Other]\r\n"
        "X_Axis=0");
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"Position Left", "412"},   // the first section of a name counts, blanks go
        {"path", "  /data/a b  "},  // quotes keep the blanks inside
        {"X_Axis", std::nullopt},   // a key of another section
        {"Position", std::nullopt},
    };
    for (const auto& [key, expected] : cases) {
        EXPECT_EQ(ini.Get("Global", key), expected) << key;
    }
    EXPECT_EQ(ini.Get("oTHER", "x_axis"), "0");  // last line without a line end
    EXPECT_EQ(ini.Get("Missing", "X_Axis"), std::nullopt);
}

TEST(IniFile, SetReplacesInPlaceAppendsNewKeysToTheirSectionAndKeepsTheRest) {
    IniFile ini = IniFile::Parse(
        "; comment\n"
        "[Global]\n"
        "form=3\n"
        "Unknown Key=keep\n"
        "\n"
        "[Least Sqr Fit]\n"
        "Fitting kind=101\n");
    ini.Set("GLOBAL", "Form", "5");
    ini.Set("Global", "Position Left", "300");
    ini.Set("Directory", "Path", "/home/u/spectra");
    ini.Set("Directory", "Path", "/home/u/other");
    EXPECT_EQ(ini.Text(),
              "; comment\n"
              "[Global]\n"
              "form=5\n"
              "Unknown Key=keep\n"
              "Position Left=300\n"
              "\n"
              "[Least Sqr Fit]\n"
              "Fitting kind=101\n"
              "\n"
              "[Directory]\n"
              "Path=/home/u/other\n");
}

TEST(IniFile, ValuesThatWouldChangeOnReadingAreWrittenSafely) {
    IniFile ini;
    const std::pair<const char*, const char*> cases[] = {
        {" lead", " lead"},
        {"trail ", "trail "},
        {"\"quoted\"", "\"quoted\""},
        {"two\nlines\r\nX_Axis=0", "twolinesX_Axis=0"},  // no key can be slipped in
        {"", ""},
    };
    for (const auto& [value, read_back] : cases) {
        ini.Set("S", "K", value);
        EXPECT_EQ(IniFile::Parse(ini.Text()).Get("S", "K"), read_back) << value;
    }
    EXPECT_EQ(IniFile::Parse(ini.Text()).Get("S", "X_Axis"), std::nullopt);
}

// Found by fuzzing: a line ending in CR CR LF kept one CR, lost it on rewriting, and a key
// that read as no number before ("3\r") read as 3 after a rewrite that never set it.
TEST(IniFile, ARewriteReadsBackLineForLine) {
    for (const char* text : {"[Global]\r\nForm=3\r\r\nExt=1\r\n", "[Global]\nForm=3\r\n",
                             "[Global]\nForm=3\r", "[Global]\nForm=3\r\r\r\n\r"}) {
        SCOPED_TRACE(text);
        IniFile ini = IniFile::Parse(text);
        const auto before = ini.Get("Global", "Form");
        ini.Set("Directory", "Path", "/tmp");
        const IniFile again = IniFile::Parse(ini.Text());
        EXPECT_EQ(again.Get("Global", "Form"), before);
        EXPECT_EQ(again.Text(), ini.Text());
    }
}

TEST(IniFile, ReadsAMissingFileAsEmptyAndReportsAFailedWrite) {
    test::TempDir dir;
    EXPECT_EQ(ReadIniFile(dir.File("none.ini")).Text(), "");

    IniFile ini;
    ini.Set("Global", "Form", "1");
    const std::string nested = dir.File("new/folder/kalvex.ini");
    WriteIniFile(nested, ini);  // the folder is made
    EXPECT_EQ(test::ReadFileBytes(nested), "[Global]\nForm=1\n");

    const std::string blocked = dir.Write("file", "x") + "/kalvex.ini";
    try {
        WriteIniFile(blocked, ini);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + blocked);
    }
}

}  // namespace
}  // namespace kalvex::core
