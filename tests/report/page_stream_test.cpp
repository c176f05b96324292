// The page's output buffer reports a device that refuses the bytes.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "report/page_stream.h"

namespace tarnvel {

TEST(PageStream, WritesEverythingToAWorkingFile)
{
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::string expected;
    {
        page_stream out(file);
        for (int i = 0; i < 100000; ++i) {
            out.write("row ");
            char* at = out.room(16);
            *at++ = static_cast<char>('0' + i % 10);
            *at++ = '\n';
            out.commit(at);
            expected += "row " + std::string(1, static_cast<char>('0' + i % 10)) + "\n";
        }
        const std::string big(700000, 'b'); // larger than the buffer
        out.write(big.data(), big.size());
        expected += big;
        EXPECT_TRUE(out.flush());
    }
    std::rewind(file);
    std::string written;
    char chunk[65536];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        written.append(chunk, n);
    std::fclose(file);
    EXPECT_EQ(written, expected);
}

TEST(PageStream, FullDeviceIsAFailure)
{
    std::FILE* full = std::fopen("/dev/full", "w");
    if (full == nullptr)
        GTEST_SKIP() << "no /dev/full on this system";
    page_stream out(full);
    out.write("<html>\n");
    EXPECT_FALSE(out.flush());
    std::fclose(full);
}

} // namespace tarnvel
