#include "core/HelpPages.h"

namespace kalvex::core {

std::string HelpPageFor(int topic) {
    switch (topic) {
        case kHelpOptions:
            return "options.html";
        case kHelpPrintLayout:
            return "print-layout.html";
        default:
            return "index.html";
    }
}

std::vector<std::string> DataFolderCandidates(const std::string& exe_dir, const std::string& name) {
    std::string dir = exe_dir;
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    std::vector<std::string> out{dir + "/" + name};
    const std::size_t slash = dir.rfind('/');
    if (slash != std::string::npos) {
        out.push_back(dir.substr(0, slash) + "/share/kalvex/" + name);
    }
    return out;
}

std::string BrowserProgram(int kind, const std::string& path) {
    switch (static_cast<BrowserKind>(kind)) {
        case BrowserKind::kDesktop:
            return "xdg-open";
        case BrowserKind::kFirefox:
            return "firefox";
        case BrowserKind::kChromium:
            return "chromium";
        case BrowserKind::kPath:
            return path;
        default:
            return {};
    }
}

}  // namespace kalvex::core
