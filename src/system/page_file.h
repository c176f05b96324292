// The page's file while it is written: a temporary file of its own, created
// afresh beside the file the page replaces, and, once the page is whole, put
// in that file's place in one step.
#ifndef TARNVEL_SYSTEM_PAGE_FILE_H
#define TARNVEL_SYSTEM_PAGE_FILE_H

#include <cstddef>
#include <cstdio>

#include "system/platform_limits.h"

namespace tarnvel {

class page_file {
public:
    // The longest path of a page, a link's target included, its ending null
    // counted: the system's own limit.
    static constexpr std::size_t max_path = max_path_bytes;
    // The temporary file's name is the page's path, ".tmp." and this many
    // letters and digits.
    static constexpr std::size_t suffix_length = 10;
    static constexpr std::size_t max_temporary_name = max_path + 5 + suffix_length + 1;

    page_file() = default;
    ~page_file(); // discards a page that was neither published nor discarded
    page_file(const page_file&) = delete;
    page_file& operator=(const page_file&) = delete;

    // Finds the file the page `page_name` stands for: the page itself, or,
    // when `page_name` is a symbolic link, the file its links lead to
    // (created there when it does not exist yet), at most
    // max_symbolic_links of them. The program's own rule, the same on every
    // system, decides which links it follows: in a sticky directory that
    // others may write, only a link of this account or of the directory's
    // owner. Then creates the temporary file
    // "<that file>.tmp.<suffix>" beside it, exclusively (never through a
    // link, nor in place of any file that exists), readable and writable by
    // its owner alone, and opens it for writing as a text stream (CRLF line
    // ends on Windows). Until publish() or discard(), an interrupt,
    // termination or hang-up signal removes it before the program ends.
    // Returns false, creating nothing, when a link may not be followed, when
    // more links than that follow one another (a loop among them), when a
    // path is longer than max_path, when the file exists and may not be replaced
    // (its owner made it read-only, or it is a directory), or when the
    // temporary file cannot be created.
    bool create(const char* page_name);

    // The stream to write the page to, or null.
    std::FILE* stream() const { return stream_; }

    // When `written`, gives the temporary file the owner, group and
    // permission bits of the file it replaces (where there is none, those
    // of a new file there: 0666 less the umask, and the group the system
    // gives, the directory's on FreeBSD and in a setgid directory; where the
    // file's group, as the file itself tells afterwards, is not the replaced
    // file's, group bits no wider than those for others), closes it and renames it
    // over that file: readers see the old page or the new one, never a
    // part, and links to the page stay as they are. Returns true when the
    // page is in place; otherwise the temporary file is removed and the old
    // page is as it was.
    bool publish(bool written);

    // Closes the stream and removes the temporary file.
    void discard();

private:
    char target_[max_path] = {};         // the file the page replaces
    char name_[max_temporary_name] = {}; // the temporary file
    std::FILE* stream_ = nullptr;
    bool pending_ = false; // the temporary file exists
};

} // namespace tarnvel

#endif
