// page_stream: the buffered output of the page. It collects text in a large
// buffer, hands it to the FILE in big writes, and remembers whether any
// write failed.
#ifndef TARNVEL_REPORT_PAGE_STREAM_H
#define TARNVEL_REPORT_PAGE_STREAM_H

#include <cassert>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace tarnvel {

class page_stream {
public:
    // The most room() hands out at once; the buffer is far larger.
    static constexpr std::size_t max_room = 4096;

    // Writes to `file`, which the caller opened and closes after flush(); a
    // null `file` takes the text and throws it away (for fuzzing and
    // measuring). When the buffer cannot be allocated, ok() is false and
    // nothing may be written.
    explicit page_stream(std::FILE* file);
    ~page_stream();
    page_stream(const page_stream&) = delete;
    page_stream& operator=(const page_stream&) = delete;

    // False when the buffer could not be allocated.
    bool ok() const { return buffer_ != nullptr; }

    // Appends `length` characters. Inline, as room() and commit(): every
    // piece of every row of the table comes through them.
    void write(const char* text, std::size_t length)
    {
        if (length > static_cast<std::size_t>(limit_ - end_)) {
            write_through(text, length);
            return;
        }
        std::memcpy(end_, text, length);
        end_ += length;
    }
    void write(const char* text) { write(text, std::strlen(text)); }

    // Room for `length` characters (at most max_room) at the returned
    // position; what is written there counts once commit() is given its end.
    char* room(std::size_t length)
    {
        assert(length <= max_room);
        if (length > static_cast<std::size_t>(limit_ - end_))
            drain();
        return end_;
    }
    void commit(char* new_end)
    {
        assert(new_end >= end_ && new_end <= limit_);
        end_ = new_end;
    }

    // Hands everything written so far to the FILE and flushes it. Returns
    // true when every write since construction succeeded.
    bool flush();

private:
    void drain();
    void write_through(const char* text, std::size_t length);
    bool put(const char* text, std::size_t length); // to the FILE, or nowhere

    std::FILE* file_;
    char* buffer_;
    char* end_;
    char* limit_;
    bool failed_;
};

} // namespace tarnvel

#endif
