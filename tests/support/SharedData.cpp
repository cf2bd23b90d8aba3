#include "support/SharedData.h"

#include <cstdlib>
#include <filesystem>

namespace kalvex::test {

std::string SharedDataDir() {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (const char* env = std::getenv("KALVEX_SHARED_DATA"); env && *env) {
        return fs::is_directory(env, ec) ? std::string(env) : std::string();
    }
    const char* src = std::getenv("KALVEX_SOURCE_DIR");
    const fs::path root = src && *src ? fs::path(src) : fs::current_path(ec);
    const fs::path dir = root / ".." / "shared" / "data";
    return fs::is_directory(dir, ec) ? fs::weakly_canonical(dir, ec).string() : std::string();
}

std::string SharedDataFile(const std::string& relative) {
    const std::string dir = SharedDataDir();
    if (dir.empty()) return {};
    const std::string path = dir + "/" + relative;
    std::error_code ec;
    return std::filesystem::exists(path, ec) ? path : std::string();
}

}  // namespace kalvex::test
