// input_file: a file opened once, for reading only, and read either in order
// or, when it is a regular file, at any offset by several threads at once.
// Whatever happens to the file's name meanwhile (a new file renamed over
// it), every read comes from the file that was opened.
#ifndef TARNVEL_SYSTEM_INPUT_FILE_H
#define TARNVEL_SYSTEM_INPUT_FILE_H

#include <cstddef>
#include <cstdint>

#include "system/file_identity.h"

namespace tarnvel {

class input_file {
public:
    input_file() = default;
    ~input_file(); // closes the file
    input_file(const input_file&) = delete;
    input_file& operator=(const input_file&) = delete;

    // Opens `name` for reading only, without line-end translation; a file
    // that is open here may still be renamed over or removed by others.
    // False when it cannot be opened, or names a directory.
    bool open(const char* name);

    // True for a regular file: its size is known and it may be read at any
    // offset. A FIFO, a pipe or a device is read in order only.
    bool is_regular() const { return size_ >= 0; }

    // The size of a regular file when it was opened; -1 for any other file.
    long long size() const { return size_; }

    // Reads up to `count` bytes at `offset` of a regular file into `buffer`,
    // moving no shared position, so that several threads may read at once.
    // Returns the number read (0 at or past the end), or -1 when reading
    // failed.
    long long read_at(long long offset, char* buffer, std::size_t count) const;

    // Reads up to `count` bytes from where the last read() ended (the start
    // of the file at first). Returns the number read (0 at the end), or -1
    // when reading failed.
    long long read(char* buffer, std::size_t count);

    // The identity of the open file as it stands now (not of whatever its
    // name names), into `identity` (found). False when it cannot be had,
    // for a file that is not regular, and on Windows, where no file is
    // identified.
    bool identify(file_identity& identity) const;

private:
    std::intptr_t native_ = -1; // a descriptor, or a Windows HANDLE; -1 when closed
    long long size_ = -1;
};

} // namespace tarnvel

#endif
