// The catalogue reader on every core: Read_record_list, and the split of a
// catalogue into parts read at once and joined in file order.
#include "input/catalogue_parts.h"

#include <cstdio>
#include <limits>
#include <thread>

#include "input/catalogue_entries.h"
#include "input/input_file.h"
#include "input/readers.h"
#include "state/state.h"

namespace {

constexpr long long no_stop = std::numeric_limits<long long>::max();

// How far past a split the next line start is looked for; a part whose
// split finds none there is not made.
constexpr long long max_line_search = 1 << 20;

// Moves `file` to `offset`, which may lie beyond what a long holds.
bool seek(std::FILE* file, long long offset, int origin = SEEK_SET)
{
#if defined(_WIN32)
    return _fseeki64(file, offset, origin) == 0;
#else
    return fseeko(file, static_cast<off_t>(offset), origin) == 0;
#endif
}

long long tell(std::FILE* file)
{
#if defined(_WIN32)
    return _ftelli64(file);
#else
    return static_cast<long long>(ftello(file));
#endif
}

// Runs `use(stream)` over a stream of `source` that stands at `offset`, and
// returns true; false when no such stream can be had.
template <typename Use>
bool with_stream_at(const catalogue_source& source, long long offset, Use use)
{
    if (source.data != nullptr) {
        scan_stream stream(source.data + offset, source.size - static_cast<std::size_t>(offset),
                           offset);
        use(stream);
        return true;
    }
    std::FILE* file = std::fopen(source.file_name, "rb");
    if (file == nullptr)
        return false;
    bool used = false;
    if (seek(file, offset)) {
        scan_stream stream(file, scan_stream::default_buffer_size, offset);
        if (stream.ok() && !stream.read_failed()) {
            use(stream);
            used = true;
        }
    }
    std::fclose(file);
    return used;
}

// The size of the source, or -1 where it cannot be told (a pipe).
long long source_size(const catalogue_source& source)
{
    if (source.data != nullptr)
        return static_cast<long long>(source.size);
    std::FILE* file = std::fopen(source.file_name, "rb");
    if (file == nullptr)
        return -1;
    const long long size = seek(file, 0, SEEK_END) ? tell(file) : -1;
    std::fclose(file);
    return size;
}

// A guess at the first entry that begins at or after `from`: the first
// character that is not white space after the next line feed. -1 when
// there is none before `before`.
long long guess_entry_start(const catalogue_source& source, long long from, long long before)
{
    long long found = -1;
    with_stream_at(source, from, [&](scan_stream& stream) {
        if (stream.skip_to('\n', max_line_search) < 0)
            return;
        stream.skip_whitespace();
        if (stream.peek() >= 0 && stream.offset() < before)
            found = stream.offset();
    });
    return found;
}

// One part: where it begins, its records and how its reading ended.
struct part {
    long long start = 0;
    record_pool pool;
    entry_reading reading;
};

// Reads a part other than the first, on a thread of its own.
void read_part(const catalogue_source& source, part& p)
{
    p.reading.pool = &p.pool;
    if (!with_stream_at(source, p.start,
                        [&](scan_stream& stream) { read_entries(stream, p.reading); }))
        p.reading.how = reading_end::not_read;
}

// Reads on in order from `from`, where `reading` stopped, up to its
// stop_at; the end of the list when the source cannot be read there.
void read_on(const catalogue_source& source, entry_reading& reading, long long from)
{
    if (!with_stream_at(source, from, [&](scan_stream& stream) { read_entries(stream, reading); }))
        reading.how = reading_end::input_end;
}

// Puts the records of `p`, read from exactly where `reading` ended, behind
// them: `reading` then ends where `p` did.
void join(entry_reading& reading, part& p)
{
    if (p.reading.first != nullptr) {
        reading.last->next = p.reading.first;
        reading.last = p.reading.last;
    }
    catalogue_records.adopt(p.pool);
    reading.lost_fields += p.reading.lost_fields;
    reading.how = p.reading.how;
    reading.end = p.reading.end;
}

// Chooses where the parts begin: part 0 at 0, part k at a guess past k/n of
// the text. Returns how many parts there are.
int plan_parts(const catalogue_source& source, int wanted, long long part_bytes, part* parts)
{
    if (wanted <= 1)
        return 1;
    const long long size = source_size(source);
    if (size <= 0)
        return 1;
    long long most = size / (part_bytes < 1 ? 1 : part_bytes);
    if (most < wanted)
        wanted = static_cast<int>(most < 1 ? 1 : most);
    if (wanted > max_catalogue_parts)
        wanted = max_catalogue_parts;
    int count = 1;
    for (int k = 1; k < wanted; ++k) {
        const long long from = size / wanted * k;
        const long long next = k + 1 < wanted ? size / wanted * (k + 1) : size;
        const long long start = guess_entry_start(source, from, next);
        if (start > parts[count - 1].start)
            parts[count++].start = start;
    }
    return count;
}

} // namespace

int read_catalogue_parts(const catalogue_source& source, scan_stream& stream, int wanted,
                         long long part_bytes)
{
    part parts[max_catalogue_parts];
    const int count = plan_parts(source, wanted, part_bytes, parts);
    for (int k = 0; k < count; ++k)
        parts[k].reading.stop_at = k + 1 < count ? parts[k + 1].start : no_stop;

    // Every part but the first on a thread of its own. A thread that cannot
    // be had (the system refuses one) leaves its part unread, to be read in
    // order below.
    std::thread threads[max_catalogue_parts];
    for (int k = 1; k < count; ++k) {
        try {
            threads[k] = std::thread(read_part, std::cref(source), std::ref(parts[k]));
        } catch (...) {
            parts[k].reading.how = reading_end::not_read;
        }
    }

    // The first part, with the head entry, here; it reads in order.
    entry_reading in_order;
    in_order.stop_at = parts[0].reading.stop_at;
    in_order.pool = &catalogue_records;
    in_order.last = &DB_First;
    read_head_entry(stream, in_order.lost_fields);
    read_entries(stream, in_order);
    for (int k = 1; k < count; ++k)
        if (threads[k].joinable())
            threads[k].join();

    // Join the parts in order, each where the reading in order has reached
    // exactly its start; read again in order what no part holds so.
    int k = 1;
    for (; k < count && in_order.how == reading_end::boundary; ++k) {
        const long long next_stop = k + 1 < count ? parts[k + 1].start : no_stop;
        if (in_order.end == parts[k].start && parts[k].reading.how != reading_end::not_read) {
            join(in_order, parts[k]);
        } else {
            parts[k].pool.release();
            in_order.stop_at = next_stop;
            read_on(source, in_order, in_order.end);
        }
    }
    for (int rest = k; rest < count; ++rest)
        parts[rest].pool.release();
    // Memory that ran out while later parts held some is tried again, in
    // order, with those parts given back.
    if (in_order.how == reading_end::no_memory && k < count) {
        in_order.stop_at = no_stop;
        read_on(source, in_order, in_order.end);
    }
    return report_catalogue_reading(in_order);
}

int read_catalogue_text_in_parts(const char* data, std::size_t size, int parts)
{
    catalogue_source source;
    source.data = data;
    source.size = size;
    scan_stream stream(data, size);
    return read_catalogue_parts(source, stream, parts, 1);
}

int Read_record_list(const char* file_name)
{
    catalogue_source source;
    source.file_name = file_name;
    // plan_parts keeps the parts within max_catalogue_parts, and 0 (cores
    // unknown) gives one part.
    const unsigned cores = std::thread::hardware_concurrency();
    const int parts = static_cast<int>(cores < max_catalogue_parts ? cores : max_catalogue_parts);
    int result = 0;
    const input_status status = read_input_file(file_name, [&](scan_stream& stream) {
        result = read_catalogue_parts(source, stream, parts, min_part_bytes);
    });
    return reader_result(status, result, "error open file ", file_name, 1,
                         "not enough memory for the catalogue\n");
}
