// scratch_file: mkstemp, write, open, and unlink.
#include "support/scratch_file.h"

#include <filesystem>

#include <unistd.h>

namespace tarnvel {

scratch_file::scratch_file(const std::string& bytes)
{
    std::string name = (std::filesystem::temp_directory_path() / "tarnvel-scratch-XXXXXX").string();
    const int descriptor = mkstemp(name.data());
    if (descriptor < 0)
        return;
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(descriptor, bytes.data() + written, bytes.size() - written);
        if (n <= 0)
            break;
        written += static_cast<std::size_t>(n);
    }
    close(descriptor);
    if (written == bytes.size() && file_.open(name.c_str()))
        path_ = name;
    else
        unlink(name.c_str());
}

scratch_file::~scratch_file()
{
    if (!path_.empty())
        unlink(path_.c_str());
}

} // namespace tarnvel
