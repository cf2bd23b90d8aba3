// Helpers shared by the GUI tests.
#pragma once

#include <cstdlib>
#include <string>

namespace kalvex::test {

/// Full path of a file of the project's examples folder.
inline std::string ExamplePath(const std::string& name) {
    const char* src = std::getenv("KALVEX_SOURCE_DIR");
    return std::string(src ? src : ".") + "/examples/" + name;
}

}  // namespace kalvex::test
