// The help pages by topic, where the program finds its data folders, and the browser it starts.
#pragma once

#include <string>
#include <vector>

namespace kalvex::core {

/// Help topics the windows open: the contents, the Options dialog, the print layout.
inline constexpr int kHelpContents = 0;
inline constexpr int kHelpOptions = 16;
inline constexpr int kHelpPrintLayout = 23;

/// The page of help topic `topic`: "index.html" for the contents and any topic without a page
/// of its own, "options.html" for 16, "print-layout.html" for 23.
std::string HelpPageFor(int topic);

/// The folders where the data folder `name` ("help", "examples") may be, in the order they
/// are tried: beside the executable in `exe_dir` (a build), then the installed
/// <prefix>/share/kalvex/<name> for an executable in <prefix>/bin.
std::vector<std::string> DataFolderCandidates(const std::string& exe_dir, const std::string& name);

/// The browsers of the About box's launcher, in its radio group's order.
enum class BrowserKind : int { kDesktop = 0, kFirefox = 1, kChromium = 2, kPath = 3 };

/// The program started for browser kind `kind` (0 the desktop's default through "xdg-open",
/// 1 "firefox", 2 "chromium", 3 the path typed by the user); empty for an unknown kind or an
/// empty path.
std::string BrowserProgram(int kind, const std::string& path);

}  // namespace kalvex::core
