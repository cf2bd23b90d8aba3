// Real spectra for the tests live beside the project, never in it; tests skip without them.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace kalvex::test {

/// The folder of the shared real and derived spectra ("<project>/../shared/data", or the
/// KALVEX_SHARED_DATA environment variable), or empty when it is not there.
std::string SharedDataDir();

/// Full path of `relative` under the shared data folder, or empty when it does not exist.
std::string SharedDataFile(const std::string& relative);

}  // namespace kalvex::test

/// Skips the current test when the shared data file is absent; else binds `var` to its path.
#define KALVEX_REQUIRE_SHARED_FILE(var, relative)                     \
    const std::string var = ::kalvex::test::SharedDataFile(relative); \
    if (var.empty()) GTEST_SKIP() << "shared data file not present: " << (relative)
