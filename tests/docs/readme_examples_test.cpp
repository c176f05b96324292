// The documents show the demo's input files and a run of the checker; they
// must be the files in examples/, byte for byte, and what the checker prints.
// The manual pages name the version, and no document keeps a merge's marks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/e2e.h"

namespace tarnvel {

namespace {

// The fenced block that follows `marker` in `text` (its first line, the
// fence, left out).
std::string block_after(const std::string& text, const std::string& marker)
{
    const std::size_t start = text.find(marker + "\n```\n");
    if (start == std::string::npos)
        return "(no block behind " + marker + ")";
    const std::size_t body = start + marker.size() + 5;
    const std::size_t end = text.find("```\n", body);
    return text.substr(body, end - body);
}

std::string document(const char* name)
{
    const auto text = read_file(examples_dir().parent_path() / name);
    return text ? *text : std::string("(no ") + name + ")";
}

// `text` with the first occurrence of `from` replaced by `to`.
std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

// The manual pages of the sources (TARNVEL_MANUAL_PAGES: separated by ';').
std::vector<std::string> manual_pages()
{
    std::vector<std::string> names;
    const std::string pages = TARNVEL_MANUAL_PAGES;
    for (std::size_t start = 0; start < pages.size();) {
        std::size_t end = pages.find(';', start);
        if (end == std::string::npos)
            end = pages.size();
        names.push_back(pages.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

} // namespace

TEST(Readme, ShowsTheDemoFilesAsTheyAre)
{
    const std::string guide = document("docs/guide.md");
    const std::string readme = document("README.md");
    for (const char* name : {"query.frm", "style.var", "quasar_list.dat"}) {
        const auto file = read_file(examples_dir() / name);
        ASSERT_TRUE(file.has_value()) << name;
        EXPECT_EQ(block_after(guide, std::string("<!-- example: ") + name + " -->"), *file)
            << "the guide's " << name << " differs from examples/" << name;
    }
    EXPECT_EQ(
        block_after(readme, "values behind labels (the demo's form, `examples/query.frm`):\n"),
        *read_file(examples_dir() / "query.frm"));
    const std::string entry = block_after(readme, "17 fields each ended by `$`:\n");
    EXPECT_EQ(read_file(examples_dir() / "quasar_list.dat")->rfind(entry, 0), 0U)
        << "the README's entry is not the demo catalogue's first line";
}

// The README's run of the checker: the demo with a unit after a minutes
// field of line 9 and a right-ascension interval that runs backwards.
TEST(Readme, ShowsWhatTheCheckerPrints)
{
    e2e_case c;
    c.copy_demo_inputs();
    const auto catalogue = read_file(c.directory() / "quasar_list.dat");
    const auto query = read_file(c.directory() / "query.frm");
    ASSERT_TRUE(catalogue && query);
    c.write("quasar_list.dat", replaced(*catalogue, "$05$19$51.56$", "$05$19min$51.56$"));
    c.write("query.frm",
            replaced(*query, "right ascension=14:00:30.5", "right ascension=01:00:00"));
    const run_result check = c.check().run();
    EXPECT_EQ("$ tarnvel-check my-query\n" + check.console,
              block_after(document("README.md"), "with its file, line and column:\n"));
    EXPECT_EQ(check.exit_status, 1);
}

TEST(ManualPage, NamesTheProgramsVersion)
{
    for (const std::string& page : manual_pages()) {
        const auto manual = read_file(examples_dir().parent_path() / page);
        ASSERT_TRUE(manual.has_value()) << page;
        EXPECT_NE(manual->find("\"tarnvel " TARNVEL_VERSION "\""), std::string::npos)
            << "the .TH line of " << page << " names another version than " TARNVEL_VERSION;
    }
}

// A merge's conflict left in tarnvel-cgi.8 rendered both sides as text.
TEST(Documents, ConflictOfAMergeLeftInAManualPage)
{
    std::vector<std::string> names = manual_pages();
    for (const char* name : {"README.md", "CONTRIBUTING.md", "CHANGELOG.md", "docs/guide.md",
                             "docs/architecture.md", "docs/performance.md"})
        names.emplace_back(name);
    for (const std::string& name : names) {
        const std::string text = "\n" + document(name.c_str());
        for (const char* mark : {"\n<<<<<<< ", "\n>>>>>>> ", "\n=======\n"})
            EXPECT_EQ(text.find(mark), std::string::npos) << name << " holds" << mark;
    }
}

} // namespace tarnvel
