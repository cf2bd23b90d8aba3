#include "core/Settings.h"

#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "core/FileSystem.h"
#include "core/NumberFormat.h"

namespace kalvex::core {

namespace {

const char* const kDirectory = "Directory";
const char* const kGlobal = "Global";
const char* const kFit = "Least Sqr Fit";
const char* const kPrint = "Print";

// The "Print" section's keys, in the order they are written.
struct CheckKey {
    const char* Key;
    bool Options::*Member;
};
struct ItemKey {
    const char* Key;
    int Options::*Member;
    int Items;
};
struct LengthKey {
    const char* Key;
    double PrintLayout::*Member;
};
constexpr CheckKey kPrintChecks[] = {{"Prn_Source", &Options::Prn_Source},
                                     {"Prn_Peaks", &Options::Prn_Peaks},
                                     {"Prn_Sum", &Options::Prn_Sum},
                                     {"Prn_xline", &Options::Prn_xline}};
constexpr ItemKey kPrintGroups[] = {{"S_Line1", &Options::S_Line1, kPenWidthItems},
                                    {"XLine_Style", &Options::XLine_Style, kXLineItems},
                                    {"P_Line1", &Options::P_Line1, kPenWidthItems},
                                    {"Sum_Line1", &Options::Sum_Line1, kPenWidthItems},
                                    {"P_Line2", &Options::P_Line2, kLineStyleItems},
                                    {"Sum_Line2", &Options::Sum_Line2, kLineStyleItems}};
constexpr LengthKey kPrintLengths[] = {
    {"px_zero", &PrintLayout::LeftCm},        {"px_Width", &PrintLayout::WidthCm},
    {"py_zero", &PrintLayout::TopCm},         {"py_Height", &PrintLayout::HeightCm},
    {"U_Height", &PrintLayout::AxisHeightCm}, {"Spc_Margin", &PrintLayout::SpectrumMarginCm}};

std::string_view Trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::optional<int> ParseInt(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// A finite real with "." as the separator; a lone "," is taken as the separator too, as a
// file written under a locale with a decimal comma has it.
std::optional<double> ParseReal(std::string_view text) {
    std::string t(Trim(text));
    if (!t.empty() && t.front() == '+') t.erase(0, 1);
    if (t.find('.') == std::string::npos && t.find(',') == t.rfind(',') &&
        t.find(',') != std::string::npos) {
        t[t.find(',')] = '.';
    }
    double value = 0.0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || r.ec != std::errc() || r.ptr != t.data() + t.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

int ReadInt(const IniFile& ini, const char* section, const char* key, int fallback) {
    const auto text = ini.Get(section, key);
    const auto value = text ? ParseInt(*text) : std::nullopt;
    return value.value_or(fallback);
}

int ReadItem(const IniFile& ini, const char* section, const char* key, int fallback, int items) {
    return ClampItemIndex(ReadInt(ini, section, key, fallback), items);
}

bool ReadBool(const IniFile& ini, const char* section, const char* key, bool fallback) {
    return ReadInt(ini, section, key, fallback ? 1 : 0) != 0;
}

double ReadReal(const IniFile& ini, const char* section, const char* key, double fallback) {
    const auto text = ini.Get(section, key);
    const auto value = text ? ParseReal(*text) : std::nullopt;
    return value.value_or(fallback);
}

std::string FitSelectFrom(const std::string& text) {
    const std::string first = text.substr(0, 3);
    if (first.size() != 3 || first.find_first_not_of("01") != std::string::npos) return "111";
    return first;
}

void SetBool(IniFile& ini, const char* section, const char* key, bool value) {
    ini.Set(section, key, value ? "1" : "0");
}

void SetInt(IniFile& ini, const char* section, const char* key, int value) {
    ini.Set(section, key, std::to_string(value));
}

void SetReal(IniFile& ini, const char* section, const char* key, double value) {
    ini.Set(section, key, FormatGeneral(value));
}

bool Writable(const std::string& path) { return ::access(path.c_str(), W_OK) == 0; }

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

std::string SettingsFilePath(const SettingsLocationInputs& in) {
    if (!in.Override.empty()) return in.Override;
    const std::string beside = ReplaceExtension(in.ProgramPath, ".ini");
    if (in.ProgramFolderWritable) return beside;
    if (!in.XdgConfigHome.empty()) return in.XdgConfigHome + "/Kalvex.ini";
    if (!in.Home.empty()) return in.Home + "/.config/Kalvex.ini";
    return beside;
}

SettingsLocationInputs SettingsLocationFor(const std::string& program_path) {
    SettingsLocationInputs in;
    in.ProgramPath = program_path;
    const std::string folder = FolderOf(program_path);
    const std::string beside = ReplaceExtension(program_path, ".ini");
    in.ProgramFolderWritable = Writable(folder.empty() ? "." : folder) &&
                               (::access(beside.c_str(), F_OK) != 0 || Writable(beside));
    in.Override = Env("KALVEX_SETTINGS");
    in.XdgConfigHome = Env("XDG_CONFIG_HOME");
    in.Home = Env("HOME");
    return in;
}

std::string SettingsFilePathFor(const std::string& program_path) {
    return SettingsFilePath(SettingsLocationFor(program_path));
}

void ReadMainWindowSettings(const IniFile& ini, WindowSettings& window, Options& opts,
                            Document& doc) {
    window.Path = ini.Get(kDirectory, "Path").value_or("");
    opts.D_size_combo = ComboIndex(ReadInt(ini, kGlobal, "Form", 1), kFormSizeItems);
    window.Left = ReadInt(ini, kGlobal, "Position Left", 300);
    window.Top = ReadInt(ini, kGlobal, "Position Top", 100);
    doc.ObsFreqSetting = ReadReal(ini, kGlobal, "obs freq", 1.0);
}

void ReadOptionsSettings(const IniFile& ini, Options& opts, Document& doc) {
    doc.F_Type = ReadItem(ini, kDirectory, "Ext", 0, kFileTypeItems);
    opts.D_size_combo = ComboIndex(ReadInt(ini, kGlobal, "Form", 1), kFormSizeItems);
    opts.ParType = ReadItem(ini, kGlobal, "Param File", 0, kParTypeItems);
    opts.Bias_set = ReadItem(ini, "GLobal", "Auto Bias", 1, kBiasSetItems);
    opts.x86cpu = ReadBool(ini, kGlobal, "X86 CPU ?", false);
    doc.XAxisPpm = ReadInt(ini, kGlobal, "X_Axis", 1) == 1;
    doc.PeakKindLorentz = ReadInt(ini, kGlobal, "Peak Kind", 0) != 0;
    opts.Int_Type = ReadItem(ini, kGlobal, "Int_Type", 0, kIntTypeItems);
    opts.RefMethod = ReadItem(ini, kGlobal, "Refresh Mode", 2, kRefMethodItems);
    doc.FitSelect = FitSelectFrom(ini.Get(kFit, "Fitting kind").value_or("111"));
    const std::string limit_text = ini.Get(kFit, "Upper Limit").value_or("2.0");
    const auto limit = ParseReal(limit_text);
    // The edit shows the file's text; a decimal comma becomes a point, so that OK can read it.
    opts.LSFlimit = !limit                                      ? "2.0"
                    : limit_text.find(',') != std::string::npos ? FormatGeneral(*limit)
                                                                : limit_text;
    opts.magnify_enable = ReadBool(ini, kGlobal, "Auto Magnification Enable", true);
    opts.Precision = ReadItem(ini, kFit, "Precision", 0, kPrecisionItems);

    opts.LGselect = doc.PeakKindLorentz ? 1 : 0;
    opts.Xaxis = doc.XAxisPpm ? 0 : 1;
    doc.LsfUpperLimit = UpperLimitFrom(limit.value_or(2.0));
}

void ReadPrintSettings(const IniFile& ini, Options& opts) {
    const Options defaults;
    for (const auto& [key, member] : kPrintChecks) {
        opts.*member = ReadBool(ini, kPrint, key, defaults.*member);
    }
    for (const auto& [key, member, items] : kPrintGroups) {
        opts.*member = ReadItem(ini, kPrint, key, defaults.*member, items);
    }
    for (const auto& [key, member] : kPrintLengths) {
        opts.Print.*member = ReadReal(ini, kPrint, key, defaults.Print.*member);
    }
    opts.Scale_set = ReadItem(ini, kPrint, "Scale_set", 0, kScaleSetItems);
    PrintLayout& p = opts.Print;
    if (opts.Scale_set != 1) {
        p.AxisHeightCm = AutoAxisHeightCm(p.HeightCm);
        p.SpectrumMarginCm = AutoSpectrumMarginCm(p.HeightCm);
    }
    p.PortraitPaper = ReadItem(ini, kPrint, "Paper", 1, kPaperItems) == 0;
}

void WriteSettings(IniFile& ini, const WindowSettings& window, const Options& opts,
                   const Document& doc) {
    ini.Set(kDirectory, "Path", window.Path);
    SetInt(ini, kDirectory, "Ext", doc.F_Type);
    SetInt(ini, kGlobal, "Form", opts.D_size_combo);
    SetInt(ini, kGlobal, "Position Left", window.Left);
    SetInt(ini, kGlobal, "Position Top", window.Top);
    SetInt(ini, kGlobal, "Param File", opts.ParType);
    SetInt(ini, kGlobal, "X_Axis", doc.XAxisPpm ? 1 : 0);
    SetInt(ini, kGlobal, "Peak Kind", doc.PeakKindLorentz ? 1 : 0);
    SetInt(ini, kGlobal, "Refresh Mode", opts.RefMethod);
    SetInt(ini, kGlobal, "Auto Bias", opts.Bias_set);
    SetInt(ini, kGlobal, "Int_Type", opts.Int_Type);
    SetBool(ini, kGlobal, "Auto Magnification Enable", opts.magnify_enable);
    SetBool(ini, kGlobal, "X86 CPU ?", opts.x86cpu);
    ini.Set(kFit, "Fitting kind", doc.FitSelect);
    ini.Set(kFit, "Upper Limit", opts.LSFlimit);
    SetReal(ini, kGlobal, "obs freq", doc.ObsFreqSetting);
    SetInt(ini, kFit, "Precision", opts.Precision);

    for (const auto& [key, member] : kPrintChecks) SetBool(ini, kPrint, key, opts.*member);
    for (const auto& [key, member, items] : kPrintGroups) SetInt(ini, kPrint, key, opts.*member);
    for (const auto& [key, member] : kPrintLengths) SetReal(ini, kPrint, key, opts.Print.*member);
    SetInt(ini, kPrint, "Scale_set", opts.Scale_set);
    SetInt(ini, kPrint, "Paper", opts.Print.PortraitPaper ? 0 : 1);
}

void LoadSettingsFile(const std::string& path, Options& opts, Document& doc,
                      WindowSettings* window) {
    const IniFile ini = ReadIniFile(path);
    WindowSettings place;
    ReadMainWindowSettings(ini, place, opts, doc);
    ReadOptionsSettings(ini, opts, doc);
    ReadPrintSettings(ini, opts);
    if (window != nullptr) *window = place;
}

void SaveSettingsFile(const std::string& path, const WindowSettings& window, const Options& opts,
                      const Document& doc) {
    IniFile ini = ReadIniFile(path);
    WriteSettings(ini, window, opts, doc);
    WriteIniFile(path, ini);
}

WindowPoint VisibleWindowPlace(const WindowSettings& stored,
                               const std::vector<ScreenArea>& screens) {
    if (screens.empty()) return {stored.Left, stored.Top};
    for (const ScreenArea& s : screens) {
        if (stored.Left >= s.Left && stored.Left < s.Left + s.Width && stored.Top >= s.Top &&
            stored.Top < s.Top + s.Height) {
            return {stored.Left, stored.Top};
        }
    }
    return {300, 100};
}

}  // namespace kalvex::core
