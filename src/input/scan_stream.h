// scan_stream: the buffered character source that every input file is read
// through, with the formatted-input conversions the readers use ("%c", "%d",
// "%lg", "\n") implemented here, alike on every platform and in any locale.
#ifndef TARNVEL_INPUT_SCAN_STREAM_H
#define TARNVEL_INPUT_SCAN_STREAM_H

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "decimal/parse.h"

class scan_stream {
public:
    // The size of the buffer a file is read through, unless chosen otherwise.
    static constexpr std::size_t default_buffer_size = 256 * 1024;
    // The smallest buffer; smaller requests get this one.
    static constexpr std::size_t min_buffer_size = 16;
    // The furthest peek() looks ahead; the smallest buffer holds that many
    // characters beyond the next one.
    static constexpr int max_peek = 7;
    static_assert(max_peek < static_cast<int>(min_buffer_size), "a peek fits the buffer");

    // Reads `file` (opened by the caller, who also closes it) from where it
    // stands, through a buffer of its own of `buffer_size` bytes (small ones
    // serve tests of the refills). `offset` is where the file stands, for
    // offset(). The first part of the file is read at once, so that
    // read_failed() tells whether the file can be read at all. When the
    // buffer cannot be allocated, ok() is false and the stream is empty.
    explicit scan_stream(std::FILE* file, std::size_t buffer_size = default_buffer_size,
                         long long offset = 0);
    // Reads the `size` bytes at `data`, which must outlive the stream; `offset`
    // is the place of `data` in a larger text, for offset().
    scan_stream(const char* data, std::size_t size, long long offset = 0);
    ~scan_stream();
    scan_stream(const scan_stream&) = delete;
    scan_stream& operator=(const scan_stream&) = delete;

    // False when the stream's buffer could not be allocated.
    bool ok() const { return file_ == nullptr || buffer_ != nullptr; }

    // True when reading the file failed (not merely ended): a file that opens
    // but cannot be read, such as a directory on some systems.
    bool read_failed() const { return file_ != nullptr && std::ferror(file_) != 0; }

    // The place of the next character: the offset given at construction plus
    // the characters consumed since.
    long long offset() const { return base_offset_ + (pos_ - base_); }

    // "%c": the next character (0..255), consumed; -1 at end of input.
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
    // decimal number (optional sign, digits with an optional point, optional
    // exponent: "12", "-.5", "1.5e-3") into `target`, rounded to the nearest
    // double. "inf", "nan" and hexadecimal forms are not numbers. Without a
    // number, only the white space is consumed, `target` is unchanged and
    // the result is false.
    bool read_double(double& target)
    {
        skip_whitespace();
        if (end_ - pos_ >= short_decimal_window) {
            if (const char* after = parse_short_decimal(pos_, target)) {
                pos_ = after;
                return true;
            }
        }
        return read_double_general(target);
    }

    // Reads numeric fields of the usual form, a number that read_double
    // reads without white space in front of it and `stop` right behind it,
    // into *targets[0], *targets[1], ... as long as they lie whole in the
    // buffer, and consumes them. Returns how many it read (0 to `count`);
    // the caller reads the others itself.
    int read_number_fields(double* const* targets, int count, char stop)
    {
        const char* p = pos_;
        const char* const end = end_;
        int done = 0;
        while (done < count && end - p >= short_decimal_window) {
            // Two digits, signed or not, are the commonest field of all
            // (hours, degrees, minutes): taken without the general parse.
            const char* q = p + (*p == '+' || *p == '-');
            const unsigned tens = static_cast<unsigned>(static_cast<unsigned char>(q[0])) - '0';
            const unsigned ones = static_cast<unsigned>(static_cast<unsigned char>(q[1])) - '0';
            if (tens <= 9u && ones <= 9u && q[2] == stop) {
                const double value = static_cast<double>(tens * 10 + ones);
                *targets[done++] = *p == '-' ? -value : value;
                p = q + 3;
                continue;
            }
            double value;
            const char* after = parse_short_decimal(p, value);
            if (after == nullptr || *after != stop)
                break;
            *targets[done++] = value;
            p = after + 1;
        }
        pos_ = p;
        return done;
    }

    // Consumes characters up to and including the next `stop`, reading at
    // most `limit` characters. Returns the number read when `stop` was among
    // them, or -1 after reading `limit` characters or reaching end of input
    // without it.
    std::ptrdiff_t skip_to(char stop, std::ptrdiff_t limit);

    // Reads characters into `buffer` up to `stop`, consumed and not stored,
    // keeping at most `capacity` of them and dropping the rest; end of input
    // ends the field as `stop` would. Returns the number stored; `stopped`
    // tells whether `stop` ended the field (false: the input ended first).
    int read_field(char* buffer, int capacity, char stop, bool& stopped)
    {
        stopped = true;
        // A short field that lies whole in the buffer, the usual case, is
        // copied without further checks: eight characters at a time where
        // the machine allows, then character by character.
        if (end_ - pos_ > capacity) {
            const char* p = pos_;
            int stored = 0;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ && defined(__GNUC__)
            const std::uint64_t ones = 0x0101010101010101ull;
            const std::uint64_t stops = ones * static_cast<unsigned char>(stop);
            for (; stored + 8 <= capacity; stored += 8) {
                std::uint64_t word;
                std::memcpy(&word, p + stored, 8);
                const std::uint64_t x = word ^ stops; // a zero byte where `stop` is
                const std::uint64_t found = (x - ones) & ~x & (ones << 7);
                std::memcpy(buffer + stored, &word, 8);
                if (found != 0) {
                    stored += __builtin_ctzll(found) / 8; // the first zero byte is exact
                    pos_ = p + stored + 1;
                    return stored;
                }
            }
#endif
            for (; stored < capacity; ++stored) {
                const char c = p[stored];
                if (c == stop) {
                    pos_ = p + stored + 1;
                    return stored;
                }
                buffer[stored] = c;
            }
        }
        return read_field_general(buffer, capacity, stop, stopped);
    }

private:
    void skip_whitespace_run();
    bool read_double_general(double& target); // read_double past the white space
    int read_field_general(char* buffer, int capacity, char stop, bool& stopped);
    template <typename Accumulator>
    void read_digits(Accumulator& number, bool fraction);
    bool refill();                  // more bytes after pos_; false at end of input
    bool fill_at_least(std::ptrdiff_t count); // end_ - pos_ >= count unless input ends first

    std::FILE* file_;          // null for a stream over memory
    char* buffer_;             // null for a stream over memory
    std::size_t buffer_size_;
    const char* base_;         // the buffer, or the memory read
    long long base_offset_;    // the offset of *base_
    const char* pos_;
    const char* end_;
    bool at_end_;
};

#endif
