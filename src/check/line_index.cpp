// Counting lines forwards through a text.
#include "check/line_index.h"

#include <cstring>

namespace tarnvel {

void line_index::go_back_to(const counting& state)
{
    state_ = state;
    // The text from there is read again where it is no longer at hand.
    if (state.at < chunk_offset_ || state.at > chunk_offset_ + chunk_length_) {
        chunk_offset_ = state.at;
        chunk_length_ = 0;
    }
}

bool line_index::fill()
{
    chunk_offset_ += chunk_length_;
    chunk_length_ = 0;
    if (text_.file == nullptr) {
        const long long size = static_cast<long long>(text_.size);
        if (chunk_offset_ >= size)
            return false;
        const long long length = size - chunk_offset_ < static_cast<long long>(chunk_size)
                                     ? size - chunk_offset_
                                     : static_cast<long long>(chunk_size);
        std::memcpy(chunk_, text_.data + chunk_offset_, static_cast<std::size_t>(length));
        chunk_length_ = length;
        return true;
    }
    const long long got = text_.file->read_at(chunk_offset_, chunk_, chunk_size);
    chunk_length_ = got > 0 ? got : 0;
    return chunk_length_ > 0;
}

text_position line_index::position(long long offset)
{
    if (offset >= 0 && offset < state_.at)
        go_back_to(offset >= held_.at ? held_ : counting());
    counting& c = state_;
    for (;;) {
        if (c.at == chunk_offset_ + chunk_length_ && !fill())
            break;
        const long long until = offset >= 0 && offset < chunk_offset_ + chunk_length_
                                    ? offset
                                    : chunk_offset_ + chunk_length_;
        if (c.at >= until && offset >= 0)
            break;
        const char* from = chunk_ + (c.at - chunk_offset_);
        const void* found = std::memchr(from, '\n', static_cast<std::size_t>(until - c.at));
        if (found == nullptr) {
            if (until > c.at)
                c.previous_was_cr = chunk_[until - 1 - chunk_offset_] == '\r';
            c.at = until;
            continue;
        }
        const char* line_feed = static_cast<const char*>(found);
        const bool crlf = line_feed > from ? line_feed[-1] == '\r' : c.previous_was_cr;
        if (crlf) {
            if (c.crlf_lines++ == 0)
                c.first_crlf_line = c.line;
        } else if (c.lf_lines++ == 0) {
            c.first_lf_line = c.line;
        }
        c.at = chunk_offset_ + (line_feed - chunk_) + 1;
        c.previous_was_cr = false;
        ++c.line;
        c.line_start = c.at;
    }
    text_position position;
    position.line = c.line;
    position.column = (offset >= 0 ? offset : c.at) - c.line_start + 1;
    return position;
}

std::string line_index::text_between(long long from, long long to, std::size_t limit) const
{
    if (to > from + static_cast<long long>(limit))
        to = from + static_cast<long long>(limit);
    if (to <= from)
        return std::string();
    std::string bytes(static_cast<std::size_t>(to - from), '\0');
    if (text_.file == nullptr) {
        const long long size = static_cast<long long>(text_.size);
        if (from >= size)
            return std::string();
        bytes.assign(text_.data + from, static_cast<std::size_t>((to < size ? to : size) - from));
        return bytes;
    }
    const long long got = text_.file->read_at(from, &bytes[0], bytes.size());
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return bytes;
}

} // namespace tarnvel
