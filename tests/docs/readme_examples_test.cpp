// The README shows the demo's three input files; they must be the files in
// examples/, byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "support/e2e.h"

namespace tarnvel {

namespace {

// The fenced block that follows the marker "<!-- example: NAME -->".
std::string readme_example(const std::string& readme, const std::string& name)
{
    const std::string marker = "<!-- example: " + name + " -->\n```\n";
    const std::size_t start = readme.find(marker);
    if (start == std::string::npos)
        return "(no example of " + name + " in the README)";
    const std::size_t body = start + marker.size();
    const std::size_t end = readme.find("```\n", body);
    return readme.substr(body, end - body);
}

} // namespace

TEST(Readme, ShowsTheDemoFilesAsTheyAre)
{
    const auto readme = read_file(examples_dir().parent_path() / "README.md");
    ASSERT_TRUE(readme.has_value());
    for (const char* name : {"query.frm", "style.var", "quasar_list.dat"}) {
        const auto file = read_file(examples_dir() / name);
        ASSERT_TRUE(file.has_value()) << name;
        EXPECT_EQ(readme_example(*readme, name), *file)
            << "the README's " << name << " differs from examples/" << name;
    }
}

TEST(ManualPage, NamesTheProgramsVersion)
{
    // TARNVEL_MANUAL_PAGES: the pages of the sources, separated by ';'.
    std::string pages = TARNVEL_MANUAL_PAGES;
    for (std::size_t start = 0; start < pages.size();) {
        std::size_t end = pages.find(';', start);
        if (end == std::string::npos)
            end = pages.size();
        const std::string page = pages.substr(start, end - start);
        start = end + 1;
        const auto manual = read_file(examples_dir().parent_path() / page);
        ASSERT_TRUE(manual.has_value()) << page;
        EXPECT_NE(manual->find("\"tarnvel " TARNVEL_VERSION "\""), std::string::npos)
            << "the .TH line of " << page << " names another version than " TARNVEL_VERSION;
    }
}

} // namespace tarnvel
