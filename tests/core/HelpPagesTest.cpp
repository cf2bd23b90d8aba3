// Help topics to pages, where the data folders are looked for, the browser of each kind.
#include <gtest/gtest.h>

#include "core/HelpPages.h"

namespace kalvex::core {
namespace {

TEST(HelpPages, EveryTopicWithoutAPageOfItsOwnOpensTheContents) {
    const std::pair<int, const char*> cases[] = {
        {0, "index.html"},  {16, "options.html"}, {23, "print-layout.html"}, {15, "index.html"},
        {17, "index.html"}, {22, "index.html"},   {24, "index.html"},        {-1, "index.html"},
    };
    for (const auto& [topic, page] : cases) EXPECT_EQ(HelpPageFor(topic), page) << topic;
}

TEST(HelpPages, DataFoldersAreBesideTheProgramThenInstalledUnderItsPrefix) {
    EXPECT_EQ(DataFolderCandidates("/opt/kalvex/bin", "help"),
              (std::vector<std::string>{"/opt/kalvex/bin/help", "/opt/kalvex/share/kalvex/help"}));
    EXPECT_EQ(DataFolderCandidates("/usr/bin/", "examples"),
              (std::vector<std::string>{"/usr/bin/examples", "/usr/share/kalvex/examples"}));
    EXPECT_EQ(DataFolderCandidates("/bin", "help"),
              (std::vector<std::string>{"/bin/help", "/share/kalvex/help"}));
}

TEST(HelpPages, EachBrowserKindStartsItsProgram) {
    EXPECT_EQ(BrowserProgram(0, "/x"), "xdg-open");
    EXPECT_EQ(BrowserProgram(3, "/opt/b/browser"), "/opt/b/browser");
    EXPECT_EQ(BrowserProgram(3, ""), "");
    EXPECT_EQ(BrowserProgram(4, "/x"), "");
    EXPECT_EQ(BrowserProgram(-1, "/x"), "");
}

}  // namespace
}  // namespace kalvex::core
