// A file of given bytes in the system's temporary directory, opened for
// reading and removed when it goes out of scope: for readers that must read
// a real file. Tests and fuzz targets share it; it needs no test framework.
#ifndef TARNVEL_TESTS_SCRATCH_FILE_H
#define TARNVEL_TESTS_SCRATCH_FILE_H

#include <string>

#include "input/scan_stream.h"
#include "system/input_file.h"

namespace tarnvel {

class scratch_file {
public:
    // Writes `bytes` to a fresh file of its own and opens it; ok() tells
    // whether both worked.
    explicit scratch_file(const std::string& bytes);
    ~scratch_file();
    scratch_file(const scratch_file&) = delete;
    scratch_file& operator=(const scratch_file&) = delete;

    bool ok() const { return !path_.empty() && file_.is_regular(); }
    const std::string& path() const { return path_; }

    // The open file as a reader's text.
    text_source text()
    {
        text_source source;
        source.file = &file_;
        return source;
    }

private:
    std::string path_;
    input_file file_;
};

} // namespace tarnvel

#endif
