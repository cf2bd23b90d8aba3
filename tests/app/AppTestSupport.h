// Helpers shared by the GUI tests.
#pragma once

#include <gtest/gtest.h>

#include <QWidget>
#include <cstdlib>
#include <string>

#include "support/TempDir.h"

namespace kalvex::test {

/// The child of `parent` named `name`; a failure when there is none.
template <typename W>
W* In(QWidget* parent, const char* name) {
    W* w = parent->findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

/// Full path of a file of the project's examples folder.
inline std::string ExamplePath(const std::string& name) {
    const char* src = std::getenv("KALVEX_SOURCE_DIR");
    return std::string(src ? src : ".") + "/examples/" + name;
}

/// Copies the ethanol example with its peak file into `dir` as e.spc and e.sp2; returns the
/// spectrum's path.
inline std::string CopyEthanolExample(const TempDir& dir) {
    dir.Write("e.sp2", ReadFileBytes(ExamplePath("ethanol-60MHz.sp2")));
    return dir.Write("e.spc", ReadFileBytes(ExamplePath("ethanol-60MHz.spc")));
}

}  // namespace kalvex::test
