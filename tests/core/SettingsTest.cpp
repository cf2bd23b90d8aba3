// The settings file's keys: defaults, clamping, bad values, the order of writing, its place.
#include <gtest/gtest.h>

#include <functional>

#include "core/Settings.h"
#include "support/TempDir.h"

namespace kalvex::core {
namespace {

struct Loaded {
    Options Opts;
    Document Doc;
    WindowSettings Window;
};

Loaded FromText(const std::string& text) {
    test::TempDir dir;
    Loaded l;
    LoadSettingsFile(dir.Write("k.ini", text), l.Opts, l.Doc, &l.Window);
    return l;
}

TEST(Settings, WithoutAFileTheStoredRefreshModeIsClampedLikeARead) {
    test::TempDir dir;
    Loaded l;
    LoadSettingsFile(dir.File("missing.ini"), l.Opts, l.Doc, &l.Window);
    EXPECT_EQ(l.Opts.RefMethod, 1);  // the stored 2 clamped to "Refresh Btn"
    EXPECT_EQ(l.Doc.LsfUpperLimit, 2.0f);
}

TEST(Settings, IntegerKeysAreReadWithClampingAndDefaults) {
    auto x_axis = [](const Loaded& l) { return l.Doc.XAxisPpm ? 1 : 0; };
    auto lorentz = [](const Loaded& l) { return l.Doc.PeakKindLorentz ? 1 : 0; };
    auto refresh = [](const Loaded& l) { return l.Opts.RefMethod; };
    auto bias = [](const Loaded& l) { return l.Opts.Bias_set; };
    auto ext = [](const Loaded& l) { return l.Doc.F_Type; };
    auto form = [](const Loaded& l) { return l.Opts.D_size_combo; };
    auto magnify = [](const Loaded& l) { return l.Opts.magnify_enable ? 1 : 0; };
    auto left = [](const Loaded& l) { return l.Window.Left; };
    const std::tuple<const char*, std::function<int(const Loaded&)>, int> cases[] = {
        {"[Global]\nX_Axis=2", x_axis, 0},  // ppm only for exactly 1: 2 gives Hz
        {"[Global]\nX_Axis=1", x_axis, 1},
        {"[Global]\nX_Axis=ppm", x_axis, 1},  // not a number: the default
        {"[Global]\nPeak Kind=-3", lorentz, 1},
        {"[Global]\nRefresh Mode=0", refresh, 0},
        {"[Global]\nRefresh Mode=7", refresh, 1},    // above: the last item
        {"[Global]\nRefresh Mode=-1", refresh, -1},  // nothing chosen stays so
        {"[Global]\nRefresh Mode=-9", refresh, -1},  // below -1: nothing chosen
        {"[GLobal]\nAuto Bias=2", bias, 2},
        {"[Global]\nAuto Bias=3", bias, 2},
        {"[Global]\nAuto Bias=1.5", bias, 1},
        {"[Directory]\nExt=5", ext, 5},
        {"[Directory]\nExt=6", ext, 5},
        {"[Global]\nForm=7", form, 7},
        {"[Global]\nForm=8", form, -1},  // the designed size
        {"[Global]\nAuto Magnification Enable=0", magnify, 0},
        {"[Global]\nAuto Magnification Enable=17", magnify, 1},
        {"[Global]\nAuto Magnification Enable=no", magnify, 1},
        {"[Global]\nPosition Left=-40", left, -40},
        {"[Global]\nPosition Left=", left, 300},
    };
    for (const auto& [text, value, expected] : cases) {
        EXPECT_EQ(value(FromText(text)), expected) << text;
    }
}

TEST(Settings, TextAndRealKeysFallBackWhenTheyAreNotUsable) {
    const std::tuple<const char*, const char*, float> limits[] = {
        {"2.5", "2.5", 2.5f}, {"50", "50", 50.0f},
        {"50.01", "50.01", 2.0f},                    // above 50, as OK would have it
        {"-1", "-1", 2.0f},   {"abc", "2.0", 2.0f},  // not a number
        {"nan", "2.0", 2.0f}, {"inf", "2.0", 2.0f},
        {"3,5", "3.5", 3.5f},  // a decimal comma
    };
    for (const auto& [text, shown, limit] : limits) {
        const Loaded l = FromText(std::string("[Least Sqr Fit]\nUpper Limit=") + text);
        EXPECT_EQ(l.Opts.LSFlimit, shown) << text;
        EXPECT_EQ(l.Doc.LsfUpperLimit, limit) << text;
    }
    const std::pair<const char*, const char*> selects[] = {
        {"101", "101"}, {"0101", "010"}, {"10", "111"}, {"1x1", "111"}, {"", "111"}};
    for (const auto& [text, expected] : selects) {
        EXPECT_EQ(FromText(std::string("[least sqr fit]\nfitting KIND=") + text).Doc.FitSelect,
                  expected)
            << text;
    }
    const std::pair<const char*, double> freqs[] = {
        {"400.13", 400.13}, {"400,13", 400.13}, {"fast", 1.0}, {"1e999", 1.0}, {"nan", 1.0}};
    for (const auto& [text, expected] : freqs) {
        EXPECT_EQ(FromText(std::string("[Global]\nobs freq=") + text).Doc.ObsFreqSetting, expected)
            << text;
    }
}

TEST(Settings, MixedCaseNamesAreTheSameKeys) {
    const Loaded l = FromText(
        "[dIRECTORY]\nPATH=/spectra\nEXT=2\n"
        "[GLOBAL]\nposition left=10\nPOSITION TOP=20\nx_axis=0\npeak kind=1\nfOrM=6\n"
        "x86 cpu ?=1\n[LEAST SQR FIT]\nupper limit=4.5\n");
    EXPECT_EQ(l.Window.Path, "/spectra");
    EXPECT_EQ(l.Doc.F_Type, 2);
    EXPECT_EQ(l.Window.Left, 10);
    EXPECT_EQ(l.Window.Top, 20);
    EXPECT_FALSE(l.Doc.XAxisPpm);
    EXPECT_EQ(l.Opts.Xaxis, 1);
    EXPECT_TRUE(l.Doc.PeakKindLorentz);
    EXPECT_EQ(l.Opts.LGselect, 1);
    EXPECT_EQ(l.Opts.D_size_combo, 6);
    EXPECT_TRUE(l.Opts.x86cpu);
    EXPECT_EQ(l.Doc.LsfUpperLimit, 4.5f);
}

TEST(Settings, WritesEveryKeyInTheProgramsOrder) {
    Options opts;
    Document doc;
    opts.D_size_combo = 6;
    opts.RefMethod = 0;
    opts.Int_Type = 1;
    opts.x86cpu = true;
    opts.LSFlimit = "12.5";
    opts.Precision = 1;
    opts.S_Line1 = 3;
    opts.Scale_set = 1;
    opts.Print.AxisHeightCm = 2.25;
    opts.Print.PortraitPaper = true;
    doc.F_Type = 5;
    doc.XAxisPpm = false;
    doc.PeakKindLorentz = true;
    doc.FitSelect = "101";
    doc.ObsFreqSetting = 400.13;
    IniFile ini;
    WriteSettings(ini, {"/home/u/my spectra", 310, 120}, opts, doc);
    EXPECT_EQ(ini.Text(),
              "[Directory]\nPath=/home/u/my spectra\nExt=5\n\n"
              "[Global]\nForm=6\nPosition Left=310\nPosition Top=120\nParam File=0\nX_Axis=0\n"
              "Peak Kind=1\nRefresh Mode=0\nAuto Bias=1\nInt_Type=1\n"
              "Auto Magnification Enable=1\nX86 CPU ?=1\nobs freq=400.13\n\n"
              "[Least Sqr Fit]\nFitting kind=101\nUpper Limit=12.5\nPrecision=1\n\n"
              "[Print]\nPrn_Source=1\nPrn_Peaks=1\nPrn_Sum=1\nPrn_xline=1\nS_Line1=3\n"
              "XLine_Style=0\nP_Line1=0\nSum_Line1=1\nP_Line2=0\nSum_Line2=0\npx_zero=2\n"
              "px_Width=16\npy_zero=1.4\npy_Height=15\nU_Height=2.25\n"
              "Spc_Margin=0.517241379310345\nScale_set=1\nPaper=0\n");

    // What only this file holds comes back ("Manual": the axis height as stored).
    const Loaded l = FromText(ini.Text());
    EXPECT_EQ(l.Window.Path, "/home/u/my spectra");
    EXPECT_EQ(l.Doc.ObsFreqSetting, 400.13);
    EXPECT_EQ(l.Opts.Precision, 1);
    EXPECT_EQ(l.Opts.Print.AxisHeightCm, 2.25);
    EXPECT_TRUE(l.Opts.Print.PortraitPaper);
    EXPECT_EQ(l.Opts.S_Line1, 3);
}

TEST(Settings, AutoScaleDerivesTheAxisFromTheStoredHeight) {
    const Loaded l = FromText("[Print]\npy_Height=11.6\nU_Height=9\nSpc_Margin=x\npx_zero=nan\n");
    EXPECT_DOUBLE_EQ(l.Opts.Print.AxisHeightCm, 2.0);
    EXPECT_DOUBLE_EQ(l.Opts.Print.SpectrumMarginCm, 0.4);
    EXPECT_EQ(l.Opts.Print.LeftCm, 2.0);
}

TEST(Settings, SavingKeepsForeignKeys) {
    test::TempDir dir;
    const std::string path = dir.Write("k.ini", "[Mine]\nColour=red\n[Global]\nForm=3\n");
    Options opts;
    Document doc;
    SaveSettingsFile(path, {}, opts, doc);
    const IniFile saved = ReadIniFile(path);
    EXPECT_EQ(saved.Get("Mine", "Colour"), "red");
    EXPECT_EQ(saved.Get("Global", "Form"), "1");
}

TEST(Settings, TheFileSitsBesideTheProgramUnlessThatFolderCannotBeWritten) {
    const std::tuple<SettingsLocationInputs, const char*> cases[] = {
        {{"/opt/k/bin/kalvex", true, "", "/x", "/home/u"}, "/opt/k/bin/kalvex.ini"},
        {{"/opt/k/bin/kalvex.exe", true, "", "", ""}, "/opt/k/bin/kalvex.ini"},
        {{"/usr/bin/kalvex", false, "", "/home/u/cfg", "/home/u"}, "/home/u/cfg/Kalvex.ini"},
        {{"/usr/bin/kalvex", false, "", "", "/home/u"}, "/home/u/.config/Kalvex.ini"},
        {{"/usr/bin/kalvex", true, "/tmp/t.ini", "", "/home/u"}, "/tmp/t.ini"},
    };
    for (const auto& [in, expected] : cases) {
        EXPECT_EQ(SettingsFilePath(in), expected) << in.ProgramPath;
    }
    test::TempDir dir;
    EXPECT_TRUE(SettingsLocationFor(dir.File("kalvex")).ProgramFolderWritable);
    EXPECT_FALSE(SettingsLocationFor(dir.File("gone/kalvex")).ProgramFolderWritable);
}

TEST(Settings, AWindowPlaceOffEveryScreenReturnsToTheFirstStartsPlace) {
    const std::vector<ScreenArea> screens = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    const std::tuple<int, int, int, int> cases[] = {
        {1919, 1079, 1919, 1079}, {1920, 0, 1920, 0},     {3199, 1023, 3199, 1023},
        {3200, 10, 300, 100},     {3199, 1024, 300, 100}, {-1, 40, 300, 100},
    };
    for (const auto& [left, top, x, y] : cases) {
        const WindowPoint p = VisibleWindowPlace({"", left, top}, screens);
        EXPECT_EQ(p, (WindowPoint{x, y})) << left << "," << top;
    }
    EXPECT_EQ(VisibleWindowPlace({"", 5000, 5000}, {}), (WindowPoint{5000, 5000}));
}

}  // namespace
}  // namespace kalvex::core
