// Fuzz target: the settings file. The input is the file's text, read through the file as the
// program starts (every key reader) and written back as it closes; the second read of that
// text must give what the first gave, and setting a value must read back whole.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "core/Document.h"
#include "core/IniFile.h"
#include "core/Settings.h"

namespace {

using namespace kalvex;

struct Read {
    core::WindowSettings window;
    core::Options opts;
    core::Document doc;  // the peak table's mode flags only: no buffers
};

void ReadAll(const core::IniFile& ini, Read& r) {
    core::ReadMainWindowSettings(ini, r.window, r.opts, r.doc);
    core::ReadOptionsSettings(ini, r.opts, r.doc);
    core::ReadPrintSettings(ini, r.opts);
}

std::string Written(const Read& r) {
    core::IniFile ini;
    core::WriteSettings(ini, r.window, r.opts, r.doc);
    return ini.Text();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto [text, value] = fuzz::SplitAtNul(data, size);
    core::IniFile ini = core::IniFile::Parse(text);
    Read first;
    ReadAll(ini, first);
    const std::string once = Written(first);
    Read second;
    ReadAll(core::IniFile::Parse(once), second);
    if (Written(second) != once) fuzz::Fail("the written settings read back differently");

    // A value as the program sets it (the open dialog's folder may hold anything a file name
    // can), over the fuzzed file, must come back whole but for its line breaks.
    std::string expected;
    for (const char c : value) {
        if (c != '\r' && c != '\n') expected += c;
    }
    ini.Set("Directory", "Path", value);
    const core::IniFile again = core::IniFile::Parse(ini.Text());
    if (again.Get("Directory", "Path") != expected) fuzz::Fail("a set value reads back changed");
    // The rewrite keeps the other keys as they were.
    Read third;
    ReadAll(again, third);
    third.window.Path = first.window.Path;
    if (Written(third) != once) fuzz::Fail("setting one key changed another");
    return 0;
}
