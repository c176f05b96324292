// Work under a time limit: its answer when it is in time, none after.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "cgi/timed_work.h"

namespace tarnvel {

TEST(TimedWork, AnswersInTimeOrNotAtAll)
{
    http_response response;
    EXPECT_EQ(run_timed(
                  [] {
                      http_response made;
                      made.body = "made";
                      return made;
                  },
                  5, response),
              work_end::done);
    EXPECT_EQ(response.body, "made");

    http_response late;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(run_timed(
                  [] {
                      std::this_thread::sleep_for(std::chrono::seconds(3));
                      return http_response();
                  },
                  1, late),
              work_end::timed_out);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
    EXPECT_EQ(late.body, "");
}

} // namespace tarnvel
