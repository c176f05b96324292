// Standard-output capture through GoogleTest's stream redirection.
#include "support/console_capture.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace tarnvel {

console_capture::console_capture() : active_(true)
{
    std::fflush(stdout);
    testing::internal::CaptureStdout();
}

console_capture::~console_capture()
{
    if (active_)
        text();
}

std::string console_capture::text()
{
    std::fflush(stdout);
    active_ = false;
    return testing::internal::GetCapturedStdout();
}

} // namespace tarnvel
