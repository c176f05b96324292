// The fixture of in-process tests of the phases: every test starts and ends
// with the run state at its initial values, and runs a reader over a text
// with its console output captured.
#ifndef TARNVEL_TESTS_READER_TEST_H
#define TARNVEL_TESTS_READER_TEST_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/catalogue_parts.h"
#include "input/scan_stream.h"
#include "model/record.h"
#include "state/state.h"
#include "support/console_capture.h"

namespace tarnvel {

class reader_test : public testing::Test {
protected:
    void SetUp() override { reset_run_state(); }
    void TearDown() override { reset_run_state(); }

    // Runs `read(stream)` over `text` and returns what it printed.
    template <typename Reader>
    static std::string console_of(Reader read, const std::string& text)
    {
        scan_stream stream(text.data(), text.size());
        console_capture console;
        read(stream);
        return console.text();
    }

    // Reads `text`, in memory, as the catalogue in `shape` (in order, by
    // default) and returns what it printed.
    static std::string catalogue_console(const std::string& text,
                                         const catalogue_shape& shape = catalogue_shape())
    {
        text_source source;
        source.data = text.data();
        source.size = text.size();
        console_capture console;
        read_catalogue(source, shape);
        return console.text();
    }

    // The catalogue list, from DB_First along `next`.
    static std::vector<const record*> catalogue_list()
    {
        std::vector<const record*> records;
        for (const record* r = &DB_First; r != nullptr; r = r->next)
            records.push_back(r);
        return records;
    }
};

} // namespace tarnvel

#endif
