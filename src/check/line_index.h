// The lines of a text, found by reading it once more, forwards: the line and
// column of an offset, and the kinds of line ends met on the way.
#ifndef TARNVEL_CHECK_LINE_INDEX_H
#define TARNVEL_CHECK_LINE_INDEX_H

#include <string>

#include "check/findings.h"
#include "input/scan_stream.h"

namespace tarnvel {

class line_index {
public:
    // Reads `text` (a regular file or memory), which outlives the index.
    explicit line_index(const text_source& text) : text_(text) {}

    // The line and column of `offset`. Offsets are best asked for in
    // increasing order: one before the place of the last hold() reads from
    // the start again, one after it from there.
    text_position position(long long offset);

    // Marks where the index stands as the earliest place later offsets go
    // back to (the start of the entry being looked at).
    void hold() { held_ = state_; }

    // Reads on to the end of the text.
    void finish() { position(-1); }

    // The line ends read so far: in CR LF, and in LF alone, and the line of
    // the first of each kind (0 for none).
    long long crlf_lines() const { return state_.crlf_lines; }
    long long lf_lines() const { return state_.lf_lines; }
    long long first_crlf_line() const { return state_.first_crlf_line; }
    long long first_lf_line() const { return state_.first_lf_line; }

    // The bytes [from, to) of the text, at most `limit` of them.
    std::string text_between(long long from, long long to, std::size_t limit = 200) const;

private:
    // Where the counting stands: everything but the text read.
    struct counting {
        long long at = 0; // offsets below this are counted
        long long line = 1;
        long long line_start = 0;
        bool previous_was_cr = false;
        long long crlf_lines = 0;
        long long lf_lines = 0;
        long long first_crlf_line = 0;
        long long first_lf_line = 0;
    };

    void go_back_to(const counting& state); // and read the text again from there
    bool fill();                            // the next chunk into `chunk_`; false at the end

    text_source text_;
    static constexpr std::size_t chunk_size = 1 << 16;
    char chunk_[chunk_size];
    long long chunk_offset_ = 0; // the offset of chunk_[0]
    long long chunk_length_ = 0;
    counting state_;
    counting held_;
};

} // namespace tarnvel

#endif
