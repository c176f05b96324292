// Shared harness of the fuzz targets: input bytes become files that the
// readers scan through a buffer whose size the input chooses, so that the
// refills fall everywhere in the input, and a fresh run state for each input.
#ifndef TARNVEL_FUZZ_INPUT_H
#define TARNVEL_FUZZ_INPUT_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <string>

#include "input/catalogue_parts.h"
#include "input/scan_stream.h"
#include "state/state.h"
#include "support/scratch_file.h"

namespace tarnvel {

// A scan buffer size chosen by one byte: 16 to 207 bytes for most values
// (refills everywhere), the larger powers of two up to the default size for
// the rest.
inline std::size_t fuzz_buffer_size(std::uint8_t choice)
{
    if (choice < 192)
        return scan_stream::min_buffer_size + choice;
    const unsigned shift = 8u + (choice - 192u) % 11u; // 256 B to 256 KiB
    return std::size_t(1) << shift;
}

// Silences the console of the code under test, once per process.
inline void fuzz_quiet_console()
{
    static const bool quiet = std::freopen("/dev/null", "w", stdout) != nullptr;
    (void)quiet;
}

// Runs `read(stream)` over a temporary file holding `data[0..size)`, read
// through a buffer of `buffer_size` bytes.
template <typename Reader>
void fuzz_file(const std::uint8_t* data, std::size_t size, std::size_t buffer_size, Reader read)
{
    scratch_file file(std::string(reinterpret_cast<const char*>(data), size));
    if (!file.ok())
        return;
    scan_stream stream(file.text(), 0, buffer_size);
    if (stream.ok())
        read(stream);
}

// Reads a temporary file holding `data[0..size)` as the catalogue, in order,
// through a buffer of `buffer_size` bytes.
inline void fuzz_catalogue_file(const std::uint8_t* data, std::size_t size, std::size_t buffer_size)
{
    scratch_file file(std::string(reinterpret_cast<const char*>(data), size));
    if (!file.ok())
        return;
    catalogue_shape in_order;
    in_order.buffer_size = buffer_size;
    read_catalogue(file.text(), in_order);
}

// Runs `read` on a fresh run state over a file holding `data` without its
// first byte, which chooses the buffer size.
template <typename Reader>
int fuzz_reader(const std::uint8_t* data, std::size_t size, Reader read)
{
    fuzz_quiet_console();
    if (size == 0)
        return 0;
    reset_run_state();
    fuzz_file(data + 1, size - 1, fuzz_buffer_size(data[0]), read);
    return 0;
}

} // namespace tarnvel

#endif
