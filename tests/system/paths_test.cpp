// The program's own path when the system does not tell it: the command name
// looked for on PATH as the shell does.
#include <gtest/gtest.h>

#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "support/e2e.h"
#include "system/paths.h"

namespace tarnvel {

namespace fs = std::filesystem;

// realpath(argv[0]) alone failed for a bare name found on PATH.
TEST(StartedProgramPath, BareNameIsFoundOnPathAsTheShellFindsIt)
{
    e2e_case c;
    const fs::path root = fs::canonical(c.directory());
    // not-executable/prog cannot run, directory/prog is no file, the first
    // runnable one is in bin/ (reached through a link, which is followed),
    // and later/prog comes after it.
    for (const char* directory : {"not-executable", "directory/prog", "bin-real", "later"})
        fs::create_directories(root / directory);
    for (const char* file : {"not-executable/prog", "bin-real/prog", "later/prog", "here"})
        c.write(file, "#!/bin/sh\n");
    for (const char* file : {"bin-real/prog", "later/prog", "here"})
        ASSERT_EQ(chmod((root / file).c_str(), 0755), 0);
    fs::create_directory_symlink("bin-real", root / "bin");
    const std::string dirs = (root / "not-executable").string() + ":" +
                             (root / "directory").string() + ":" + (root / "bin").string() + ":" +
                             (root / "later").string();

    struct {
        std::string argv0;
        std::string search_path;
        std::string expected;
    } const cases[] = {
        {"prog", dirs, (root / "bin-real/prog").string()},
        {"prog", (root / "not-executable").string(), ""},
        {"missing", dirs, ""},
        {"", dirs, ""},
        // A name with a slash is a path, whatever PATH holds.
        {(root / "later/prog").string(), dirs, (root / "later/prog").string()},
        {(root / "bin/../later/prog").string(), "", (root / "later/prog").string()},
    };
    for (const auto& one : cases)
        EXPECT_EQ(started_program_path(one.argv0.c_str(), one.search_path.c_str()), one.expected)
            << one.argv0 << " on " << one.search_path;

    // An empty entry of PATH (here the first) is the current directory.
    const fs::path before = fs::current_path();
    fs::current_path(root);
    EXPECT_EQ(started_program_path("here", (":" + dirs).c_str()), (root / "here").string());
    EXPECT_EQ(started_program_path("here", dirs.c_str()), "");
    EXPECT_EQ(started_program_path("bin/prog", dirs.c_str()), (root / "bin-real/prog").string());
    fs::current_path(before);
}

} // namespace tarnvel
