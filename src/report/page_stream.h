// page_stream: the buffered output of the page. It collects text in a large
// buffer, hands it to the FILE in big writes, and remembers whether any
// write failed.
#ifndef TARNVEL_REPORT_PAGE_STREAM_H
#define TARNVEL_REPORT_PAGE_STREAM_H

#include <cstddef>
#include <cstdio>
#include <cstring>

class page_stream {
public:
    // Writes to `file`, which the caller opened and closes after flush().
    explicit page_stream(std::FILE* file);
    ~page_stream();
    page_stream(const page_stream&) = delete;
    page_stream& operator=(const page_stream&) = delete;

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

    // Room for `length` characters (at most 4096) at the returned position;
    // what is written there counts once commit() is given its end.
    char* room(std::size_t length)
    {
        if (length > static_cast<std::size_t>(limit_ - end_))
            drain();
        return end_;
    }
    void commit(char* new_end) { end_ = new_end; }

    // Hands everything written so far to the FILE and flushes it. Returns
    // true when every write since construction succeeded.
    bool flush();

private:
    void drain();
    void write_through(const char* text, std::size_t length);

    std::FILE* file_;
    char* buffer_;
    char* end_;
    char* limit_;
    bool failed_;
};

#endif
