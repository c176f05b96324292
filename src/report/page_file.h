// The page's file while it is written: a temporary file of its own, created
// afresh in the working directory, and, once the page is whole, put in the
// place of the page in one step.
#ifndef TARNVEL_REPORT_PAGE_FILE_H
#define TARNVEL_REPORT_PAGE_FILE_H

#include <cstdio>

class page_file {
public:
    // True when `page_name` is missing or may be written: an existing page
    // that its owner made read-only (or that is no file) is not replaced
    // behind the owner's back.
    static bool may_replace(const char* page_name);

    // Room for the temporary name: the page's name, ".tmp." and a suffix.
    static constexpr int max_name = 128;

    // Creates the temporary file for the page `page_name` (a name in the
    // working directory of at most 64 characters): a name of its own,
    // "<page_name>.tmp.<suffix>", created exclusively (never through a link,
    // nor in place of any file that exists) with the permission bits a new
    // `page_name` would get, or those of `page_name` where it exists, and
    // opened for writing as a text stream (CRLF line ends on Windows). Until
    // publish() or discard(), an interrupt, termination or hang-up signal
    // removes it before the program ends. Returns false when no such file
    // can be created (stream() is then null).
    bool create(const char* page_name);

    // The stream to write the page to, or null.
    std::FILE* stream() const { return stream_; }

    // Closes the stream and, when `written` and the closing succeeded,
    // renames the temporary file over the page (readers see the old page or
    // the new one, never a part; where the system refuses to replace a file
    // that another program holds open, it tries again for a while). Returns
    // true when the page is in place;
    // otherwise the temporary file is removed and the page is as it was.
    bool publish(bool written);

    // Closes the stream and removes the temporary file.
    void discard();

private:
    const char* page_name_ = nullptr;
    char name_[max_name] = {};
    std::FILE* stream_ = nullptr;
};

#endif
