// The page's output buffer.
#include "report/page_stream.h"

#include <new>

namespace tarnvel {

namespace {

constexpr std::size_t buffer_size = std::size_t{256} * 1024;
static_assert(page_stream::max_room < buffer_size, "room() always fits an empty buffer");

} // namespace

page_stream::page_stream(std::FILE* file)
    : file_(file), buffer_(new(std::nothrow) char[buffer_size]), end_(buffer_),
      limit_(buffer_ == nullptr ? nullptr : buffer_ + buffer_size), failed_(buffer_ == nullptr)
{
    if (file_ != nullptr)
        (void)std::setvbuf(file_, nullptr, _IONBF, 0); // where refused, buffered writes do as well
}

page_stream::~page_stream()
{
    delete[] buffer_;
}

bool page_stream::put(const char* text, std::size_t length)
{
    return file_ == nullptr || std::fwrite(text, 1, length, file_) == length;
}

void page_stream::drain()
{
    const std::size_t length = static_cast<std::size_t>(end_ - buffer_);
    if (length != 0 && !failed_ && !put(buffer_, length))
        failed_ = true;
    end_ = buffer_;
}

void page_stream::write_through(const char* text, std::size_t length)
{
    drain();
    if (length <= static_cast<std::size_t>(limit_ - end_)) {
        std::memcpy(end_, text, length);
        end_ += length;
    } else if (!failed_ && !put(text, length)) {
        failed_ = true;
    }
}

bool page_stream::flush()
{
    drain();
    if (file_ == nullptr)
        return !failed_;
    if (!failed_ && std::fflush(file_) != 0)
        failed_ = true;
    return !failed_ && std::ferror(file_) == 0;
}

} // namespace tarnvel
