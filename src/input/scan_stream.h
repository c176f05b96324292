// scan_stream: the buffered character source that every input file is read
// through, with the formatted-input conversions the readers use ("%c", "%d",
// "%lg", "\n") implemented here, alike on every platform and in any locale.
#ifndef TARNVEL_INPUT_SCAN_STREAM_H
#define TARNVEL_INPUT_SCAN_STREAM_H

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "system/compiler.h"
#include "system/input_file.h"

namespace tarnvel {

enum class number_form; // decimal/number_text.h

// The white space that the "\n" conversion skips and that may stand in front
// of a number: blank, tab, line feed, carriage return, vertical tab and form
// feed.
constexpr bool is_white_space(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Where a text comes from: an open file, or `size` bytes in memory that
// outlive every stream of them.
struct text_source {
    input_file* file = nullptr;
    const char* data = nullptr;
    std::size_t size = 0;

    // True when streams may begin anywhere in the text and read it at once:
    // text in memory or a regular file. Any other file is read once, in
    // order, by one stream.
    bool readable_anywhere() const { return file == nullptr || file->is_regular(); }
    // The size of the text, or -1 where it is not known beforehand.
    long long length() const
    {
        return file == nullptr ? static_cast<long long>(size) : file->size();
    }
};

class scan_stream {
public:
    // The size of the buffer a file is read through, unless chosen otherwise.
    static constexpr std::size_t default_buffer_size = std::size_t{256} * 1024;
    // The smallest buffer; smaller requests get this one.
    static constexpr std::size_t min_buffer_size = 16;
    // The furthest peek() looks ahead; the smallest buffer holds that many
    // characters beyond the next one.
    static constexpr int max_peek = 7;
    static_assert(max_peek < static_cast<int>(min_buffer_size), "a peek fits the buffer");

    // Reads `source` from `offset` on. Text in memory is read where it
    // lies; a file through a buffer of its own of `buffer_size` bytes (small
    // ones serve tests of the refills), at offsets when the file is regular,
    // so that the streams of several threads may read one file at once, and
    // otherwise in order from where the file stands (`offset` then only
    // counts for offset()). The first part of a file is read at once, so that
    // read_failed() tells whether it can be read at all. When the buffer
    // cannot be allocated, ok() is false and the stream is empty.
    explicit scan_stream(const text_source& source, long long offset = 0,
                         std::size_t buffer_size = default_buffer_size);
    // Reads the `size` bytes at `data`, which must outlive the stream;
    // `offset` is the place of `data` in a larger text, for offset().
    scan_stream(const char* data, std::size_t size, long long offset = 0);
    ~scan_stream();
    scan_stream(const scan_stream&) = delete;
    scan_stream& operator=(const scan_stream&) = delete;

    // False when the stream's buffer could not be allocated.
    bool ok() const { return file_ == nullptr || buffer_ != nullptr; }

    // True when reading the file failed (not merely ended).
    bool read_failed() const { return failed_; }

    // The place of the next character: the offset given at construction plus
    // the characters consumed since.
    long long offset() const { return base_offset_ + (pos_ - base_); }

    // "%c": the next character (0..255), consumed; -1 at end of input.
    // Inline, as the next three: each reader calls them per character.
    int get()
    {
        if (pos_ == end_ && !refill())
            return -1;
        return static_cast<unsigned char>(*pos_++);
    }

    // The character `ahead` places beyond the next one, not consumed; -1
    // when the input ends before it. `ahead` is at most max_peek.
    int peek(int ahead = 0)
    {
        assert(ahead >= 0 && ahead <= max_peek);
        if (end_ - pos_ <= ahead && !fill_at_least(ahead + 1))
            return -1;
        return static_cast<unsigned char>(pos_[ahead]);
    }

    // "\n": skips blanks, tabs, line feeds, carriage returns, vertical tabs
    // and form feeds, any number of them, none included.
    void skip_whitespace()
    {
        if (pos_ != end_ && static_cast<unsigned char>(*pos_) > ' ')
            return; // nothing to skip, the usual case
        skip_whitespace_run();
    }

    // Consumes the next character when it is `c`; tells whether it did.
    bool skip_if_next(char c)
    {
        if (pos_ != end_ && *pos_ == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    // "%d": skips white space, then reads an optionally signed decimal
    // integer, clamped to the int range. Without digits, only the white
    // space is consumed, `target` is unchanged and the result is false.
    bool read_int(int& target);

    // "%lg": skips white space, then reads the longest text that forms a
    // decimal number (scan_number's decimal form: "12", "-.5", "1.5e-3")
    // into `target`, rounded to the nearest double. "inf", "nan" and
    // hexadecimal forms are not numbers. Without a number, only the white
    // space is consumed, `target` is unchanged and the result is false.
    bool read_double(double& target);

    // Reads numeric fields of the usual form, a number that read_double
    // reads without white space in front of it and `stop` right behind it,
    // into *targets[0], *targets[1], ... as long as they lie whole in the
    // buffer, and consumes them; with `stops`, notes the offset of each
    // field's `stop` in stops[0], stops[1], ... Returns how many it read (0
    // to `count`); the caller reads the others itself.
    int read_number_fields(double* const* targets, int count, char stop,
                           long long* stops = nullptr);

    // Consumes characters up to and including the next `stop`, reading at
    // most `limit` characters. Returns the number read when `stop` was among
    // them, or -1 after reading `limit` characters or reaching end of input
    // without it.
    long long skip_to(char stop, long long limit);

    // Consumes characters up to the first line feed, among the next `limit`
    // characters, behind which a line's first character other than blanks
    // (skip_blanks) is `c`, and the blanks behind it. Returns the offset of
    // that `c`, the stream standing on it; -1 when no line feed among the
    // `limit` characters begins such a line (the stream then stands after
    // them, or at the end of input).
    long long find_line_starting_with(char c, long long limit);

    // Reads characters into `buffer` up to `stop`, consumed and not stored,
    // keeping at most `capacity` of them and dropping the rest; end of input
    // ends the field as `stop` would. Returns the number stored; `stopped`
    // tells whether `stop` ended the field (false: the input ended first).
    // Inline: two names per catalogue entry go through it.
    int read_field(char* buffer, int capacity, char stop, bool& stopped)
    {
        stopped = true;
        if (end_ - pos_ <= capacity)
            return read_field_general(buffer, capacity, stop, stopped);
        // A short field that lies whole in the buffer, the usual case, is
        // copied without further checks: eight characters at a time where
        // words hold their bytes in memory order, then one by one.
        const char* p = pos_;
        int stored = 0;
        if (words_are_little_endian) {
            constexpr std::uint64_t ones = 0x0101010101010101ull;
            const std::uint64_t stops = ones * static_cast<unsigned char>(stop);
            for (; stored + 8 <= capacity; stored += 8) {
                std::uint64_t word;
                std::memcpy(&word, p + stored, 8);
                const std::uint64_t x = word ^ stops; // a zero byte where `stop` is
                const std::uint64_t found = (x - ones) & ~x & (ones << 7);
                std::memcpy(buffer + stored, &word, 8);
                if (found != 0) {
                    stored += lowest_set_bit(found) / 8; // the first zero byte is exact
                    pos_ = p + stored + 1;
                    return stored;
                }
            }
        }
        for (; stored < capacity; ++stored) {
            const char c = p[stored];
            if (c == stop) {
                pos_ = p + stored + 1;
                return stored;
            }
            buffer[stored] = c;
        }
        return read_field_general(buffer, capacity, stop, stopped);
    }

private:
    class number_source; // scan_number's view of the stream, across refills

    void skip_whitespace_run();
    void skip_blanks();                       // skip_whitespace's white space but line feeds
    bool read_double_general(double& target); // read_double past the white space
    // A number of `form` at pos_ into `target` through a `Number` accumulator;
    // false, having consumed nothing but white space, where none stands there.
    template <class Number, class Value>
    bool scan_into(Value& target, number_form form);
    int read_field_general(char* buffer, int capacity, char stop, bool& stopped);
    bool refill();                            // more bytes after pos_; false at end of input
    bool fill_at_least(std::ptrdiff_t count); // end_ - pos_ >= count unless input ends first
    long long read_more(char* into, std::size_t room); // from the file; 0 at its end

    input_file* file_;      // null for a stream over memory
    bool positional_;       // the file is read at offsets
    long long file_offset_; // where the next positional read begins
    char* buffer_;          // null for a stream over memory
    std::size_t buffer_size_;
    const char* base_;      // the buffer, or the memory read
    long long base_offset_; // the offset of *base_
    const char* pos_;
    const char* end_;
    bool at_end_;
    bool failed_;
};

} // namespace tarnvel

#endif
