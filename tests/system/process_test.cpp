// The processor count under a CPU set narrower than the machine.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace tarnvel {

namespace {

// What the helper program prints when started with `prefix` before it.
std::string printed_count(const std::string& prefix)
{
    const std::string command = prefix + " " TARNVEL_PRINT_PROCESSOR_COUNT " 2>&1";
    std::string out;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[64];
        while (std::fgets(chunk, sizeof chunk, pipe) != nullptr)
            out += chunk;
        pclose(pipe);
    }
    return out;
}

} // namespace

// One reading thread per processor of the machine, however few the process
// might run on, was the fault.
TEST(ProcessorCount, HonoursTheCpuSetOfTaskset)
{
    if (std::system("command -v taskset >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "taskset is not installed (Debian: util-linux)";
    EXPECT_EQ(printed_count("taskset -c 0"), "1\n");
    if (std::system("taskset -c 1 true >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "this process may run on one processor only: two in a set not tried";
    EXPECT_EQ(printed_count("taskset -c 0,1"), "2\n");
}

} // namespace tarnvel
