// Captures what in-process code prints on standard output, for tests that
// call the readers directly.
#ifndef TARNVEL_TESTS_CONSOLE_CAPTURE_H
#define TARNVEL_TESTS_CONSOLE_CAPTURE_H

#include <string>

namespace tarnvel {

class console_capture {
public:
    console_capture();  // starts capturing standard output
    ~console_capture(); // stops, if text() was not called
    // Stops capturing and returns everything printed meanwhile.
    std::string text();

private:
    bool active_;
};

} // namespace tarnvel

#endif
