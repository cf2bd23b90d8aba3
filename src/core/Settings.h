// Kalvex's settings file: where it is, and which keys hold which values.
#pragma once

#include <string>
#include <vector>

#include "core/Document.h"
#include "core/IniFile.h"
#include "core/Options.h"
#include "core/OptionsRules.h"

namespace kalvex::core {

/// The main window's place and the open dialog's folder, as the file keeps them.
struct WindowSettings {
    std::string Path;  ///< the open dialog's start folder; empty: the program's own folder
    int Left = 300;    ///< the main window's left edge, screen pixels
    int Top = 100;
};

/// What decides where the settings file is.
struct SettingsLocationInputs {
    std::string ProgramPath;       ///< the running executable
    bool ProgramFolderWritable{};  ///< its folder (and the file, if present) can be written
    std::string Override;          ///< $KALVEX_SETTINGS
    std::string XdgConfigHome;     ///< $XDG_CONFIG_HOME
    std::string Home;              ///< $HOME
};

/// The settings file: `Override` when set; else the program's path with ".ini" in place of
/// its extension when that folder is writable; else "Kalvex.ini" in XdgConfigHome, or in
/// Home + "/.config" (an installed program). Without either, the program's path all the same.
std::string SettingsFilePath(const SettingsLocationInputs& in);

/// The inputs for `program_path` from the environment and the file system.
SettingsLocationInputs SettingsLocationFor(const std::string& program_path);

/// The settings file of the program at `program_path`, as Kalvex itself finds it.
std::string SettingsFilePathFor(const std::string& program_path);

/// The main window's creation: "Path", "Form" (into D_size_combo: an index outside the eight
/// presets keeps the designed size), "Position Left", "Position Top" and "obs freq"
/// (into ObsFreqSetting; a value that is not a finite number gives 1.0).
void ReadMainWindowSettings(const IniFile& ini, WindowSettings& window, Options& opts,
                            Document& doc);

/// The Options dialog's creation: "Ext", "Form", "Param File", "Auto Bias", "X86 CPU ?",
/// "X_Axis" (ppm exactly when 1), "Peak Kind" (Lorentz when not 0), "Int_Type",
/// "Refresh Mode", "Fitting kind", "Upper Limit", "Auto Magnification Enable" and "Precision";
/// then LGselect by PeakKindLorentz, Xaxis by XAxisPpm, and LsfUpperLimit from LSFlimit.
/// Radio-group indices are clamped (ClampItemIndex); a missing key, or an integer or Boolean
/// that is not a number, gives the default. "Fitting kind" takes the first three characters
/// when they are all '0' or '1', else "111". An "Upper Limit" that is not a number gives "2.0";
/// one outside 0..50 gives LsfUpperLimit 2.0 as the dialog's OK would.
void ReadOptionsSettings(const IniFile& ini, Options& opts, Document& doc);

/// Section "Print": the four Prn_ boxes, the pen and style groups, the six lengths (cm),
/// Scale_set and Paper. Under "Auto" scale the axis height and margin follow the spectrum
/// height, whatever the file says; a length that is not a finite number keeps its default.
void ReadPrintSettings(const IniFile& ini, Options& opts);

/// Sets every key in the order the program writes them: the sixteen of "Directory", "Global"
/// and "Least Sqr Fit" ("Path", "Ext", "Form", "Position Left", "Position Top",
/// "Param File", "X_Axis", "Peak Kind", "Refresh Mode", "Auto Bias", "Int_Type",
/// "Auto Magnification Enable", "X86 CPU ?", "Fitting kind", "Upper Limit", "obs freq"), then
/// "Precision", then section "Print". Booleans as "1" or "0", reals in the general form with
/// "." whatever the locale. Other sections and keys of `ini` stay.
void WriteSettings(IniFile& ini, const WindowSettings& window, const Options& opts,
                   const Document& doc);

/// Everything the file at `path` holds (a missing file gives the defaults), as the program
/// has it after its start-up: for kalvex-fit and the like.
void LoadSettingsFile(const std::string& path, Options& opts, Document& doc,
                      WindowSettings* window = nullptr);

/// Rewrites the file at `path` with every key (WriteSettings over its present contents).
/// Throws kalvex::Error "Unable to write to <path>"; the previous file then stays.
void SaveSettingsFile(const std::string& path, const WindowSettings& window, const Options& opts,
                      const Document& doc);

/// A screen's available area, pixels.
struct ScreenArea {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

/// The stored window place when its top-left corner lies on one of `screens` (or when no
/// screen is known), else the first start's (300, 100): a place saved on a screen that is gone
/// would leave the window out of sight.
WindowPoint VisibleWindowPlace(const WindowSettings& stored,
                               const std::vector<ScreenArea>& screens);

}  // namespace kalvex::core
