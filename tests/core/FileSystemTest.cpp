// Atomic writing and the path helpers of the file commands.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/Error.h"
#include "core/FileSystem.h"
#include "support/TempDir.h"

namespace kalvex::core {
namespace {

TEST(FileSystem, ExtensionsAndNamesFollowTheLastDotOfTheFileName) {
    EXPECT_EQ(ReplaceExtension("/d/a.1rd", ".spc"), "/d/a.spc");
    EXPECT_EQ(ReplaceExtension("/d.x/a", ".sp2"), "/d.x/a.sp2");
    EXPECT_EQ(ReplaceExtension("/d/a.b.vnj", ".spc"), "/d/a.b.spc");
    EXPECT_EQ(ExtensionOf("/d/a.SPC"), ".SPC");
    EXPECT_EQ(ExtensionOf("/d.x/1r"), "");
    EXPECT_EQ(FileNameOf("/d/e/a.spc"), "a.spc");
    EXPECT_EQ(FileNameOf("a.spc"), "a.spc");
    EXPECT_EQ(FolderOf("/d/e/a.spc"), "/d/e");
    EXPECT_EQ(FolderOf("a.spc"), "");
}

TEST(FileSystem, AtomicWriteReplacesTheFileAndKeepsItsPermissions) {
    test::TempDir dir;
    const std::string path = dir.Write("a.sp2", "old");
    ::chmod(path.c_str(), 0640);
    WriteFileAtomically(path, "new contents");
    EXPECT_EQ(test::ReadFileBytes(path), "new contents");
    struct stat st {};
    ::stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(test::FilesIn(dir.Path()), std::vector<std::string>{"a.sp2"});
    EXPECT_TRUE(FileReadable(path));
    EXPECT_FALSE(FileReadable(dir.Path()));
}

TEST(FileSystem, AtomicWriteIntoAMissingFolderFailsWithTheFileName) {
    try {
        WriteFileAtomically("/nonexistent-kalvex-folder/a.spc", "x");
        FAIL() << "no error";
    } catch (const kalvex::Error& e) {
        EXPECT_EQ(e.File(), "/nonexistent-kalvex-folder/a.spc");
        EXPECT_NE(e.Reason().find("Unable to write"), std::string::npos);
    }
}

}  // namespace
}  // namespace kalvex::core
