// One QApplication for all GUI tests, on the offscreen platform unless told otherwise.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The windows read and write their settings in a temporary folder, never beside the
    // test program.
    std::string folder = (std::filesystem::temp_directory_path() / "kalvex-app-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) return 1;
    setenv("KALVEX_SETTINGS", (folder + "/Kalvex.ini").c_str(), 1);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kalvex"));
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return result;
}
