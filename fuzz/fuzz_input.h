// Shared harness of the reader fuzz targets: the bytes become a file that
// the reader scans through a buffer whose size the first byte chooses, so
// that the refills fall everywhere in the input.
#ifndef TARNVEL_FUZZ_INPUT_H
#define TARNVEL_FUZZ_INPUT_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "state/state.h"
#include "input/scan_stream.h"

// Runs `read` on a fresh run state over a file holding `data`.
template <typename Reader>
int fuzz_reader(const std::uint8_t* data, std::size_t size, Reader read)
{
    static bool quiet = std::freopen("/dev/null", "w", stdout) != nullptr;
    (void)quiet;
    if (size == 0)
        return 0;
    const std::size_t buffer_size = 16 + data[0] % 48;
    std::FILE* file = std::tmpfile();
    if (file == nullptr)
        return 0;
    std::fwrite(data + 1, 1, size - 1, file);
    std::rewind(file);
    reset_run_state();
    {
        scan_stream stream(file, buffer_size);
        read(stream);
    }
    std::fclose(file);
    return 0;
}

#endif
