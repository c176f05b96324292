// The catalogue's pipeline: plan the parts, read them in file order on
// every core, join them in file order, and read in order what no part
// holds.
#include "input/catalogue_parts.h"

#include <atomic>
#include <thread>

#include "input/catalogue_entries.h"
#include "input/correct_record_list.h"
#include "input/stop_scan.h"
#include "state/state.h"

namespace tarnvel {

namespace {

// How far past a split the next line start is looked for; a part whose
// split finds none there is not made.
constexpr long long max_line_search = 1 << 20;

// The buffer of the short reads that guess where a part begins.
constexpr std::size_t guess_buffer_size = 4096;

// One part: where it begins, its records and how its reading went.
struct part {
    long long start = 0;
    record_pool pool;
    entry_reading reading;
};

// The parts of one reading of the catalogue, in file order; part 0 begins
// at the start and holds the head entry.
struct part_plan {
    int count = 1;
    part parts[max_catalogue_parts];
};

// Runs job(k) for each k in [0, count): job(0) on this thread, the others
// on threads of their own, and waits for them all. A job whose thread the
// system refuses is not run; ran[k] tells.
template <typename Job>
void run_at_once(int count, bool* ran, Job job)
{
    std::thread threads[max_catalogue_parts];
    for (int k = 1; k < count; ++k) {
        try {
            threads[k] = std::thread(job, k);
            ran[k] = true;
        } catch (...) {
            ran[k] = false;
        }
    }
    job(0);
    ran[0] = true;
    for (int k = 1; k < count; ++k)
        if (threads[k].joinable())
            threads[k].join();
}

// A guess at the first entry that begins at or after `from`: the first
// character that is not white space after the next line feed. -1 when there
// is none before `before`.
long long guess_entry_start(const text_source& text, long long from, long long before)
{
    scan_stream stream(text, from, guess_buffer_size);
    if (!stream.ok() || stream.skip_to('\n', max_line_search) < 0)
        return -1;
    stream.skip_whitespace();
    if (stream.peek() < 0 || stream.offset() >= before)
        return -1;
    return stream.offset();
}

// Chooses where the parts of the text's first `size` bytes begin: part 0 at
// 0, part k at a guess past k/n of them, for as many parts as the shape
// allows and the bytes fill.
void plan_parts(const text_source& text, const catalogue_shape& shape, long long size,
                part_plan& plan)
{
    plan.count = 1;
    if (shape.parts <= 1 || !text.readable_anywhere() || size <= 0)
        return;
    long long wanted = shape.parts < max_catalogue_parts ? shape.parts : max_catalogue_parts;
    const long long most = size / (shape.part_bytes < 1 ? 1 : shape.part_bytes);
    if (most < wanted)
        wanted = most < 1 ? 1 : most;
    for (long long k = 1; k < wanted; ++k) {
        const long long from = size / wanted * k;
        const long long next = k + 1 < wanted ? size / wanted * (k + 1) : size;
        const long long start = guess_entry_start(text, from, next);
        if (start > plan.parts[plan.count - 1].start)
            plan.parts[plan.count++].start = start;
    }
}

// Reads the parts in file order, each once: `threads` threads (at most one
// per part) each take the next part not yet begun, part 0 from `first`,
// with the head entry, into catalogue_records behind DB_First, the others
// into pools of their own. Once a part has ended otherwise than at its
// boundary (a closing line, the end of input or of memory), no later part
// is begun: those stay not_read, for the reading in order to take up where
// it reaches them.
void read_parts(const text_source& text, const catalogue_shape& shape, part_plan& plan,
                scan_stream& first)
{
    for (int k = 0; k < plan.count; ++k) {
        plan.parts[k].reading.stop_at = k + 1 < plan.count ? plan.parts[k + 1].start : no_stop;
        plan.parts[k].reading.how = reading_end::not_read;
    }
    const int threads =
        shape.threads < 1 || shape.threads > plan.count ? plan.count : shape.threads;
    std::atomic<int> next_part{0};
    std::atomic<int> ending_part{plan.count}; // the first part known to end the reading
    bool ran[max_catalogue_parts];
    run_at_once(threads, ran, [&](int) {
        for (;;) {
            const int k = next_part.fetch_add(1, std::memory_order_relaxed);
            if (k >= plan.count || k > ending_part.load(std::memory_order_relaxed))
                return;
            part& p = plan.parts[k];
            p.reading.how = reading_end::boundary;
            if (k == 0) {
                p.reading.pool = &catalogue_records;
                p.reading.last = &DB_First;
                read_head_entry(first, p.reading.lost_fields);
                if (p.reading.test != nullptr)
                    correct_record(DB_First);
                read_entries(first, p.reading);
            } else {
                p.reading.pool = &p.pool;
                scan_stream stream(text, p.start, shape.buffer_size);
                if (stream.ok())
                    read_entries(stream, p.reading);
                else
                    p.reading.how = reading_end::not_read;
            }
            if (p.reading.how == reading_end::boundary)
                continue;
            int ending = ending_part.load(std::memory_order_relaxed);
            while (k < ending && !ending_part.compare_exchange_weak(ending, k))
                ;
        }
    });
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
    reading.entries += p.reading.entries;
    reading.how = p.reading.how;
    reading.end = p.reading.end;
}

// Reads on in order from where `reading` stopped, up to its stop_at.
void read_on(const text_source& text, const catalogue_shape& shape, entry_reading& reading)
{
    scan_stream stream(text, reading.end, shape.buffer_size);
    if (stream.ok())
        read_entries(stream, reading);
    else
        reading.how = reading_end::no_memory;
}

// Joins the parts to the reading of part 0, each where that reading has
// reached exactly its start, and reads in order what no part holds so.
// Memory that ran out while later parts held some is tried again, in order,
// with those parts given back.
void join_in_order(const text_source& text, const catalogue_shape& shape, part_plan& plan)
{
    entry_reading& in_order = plan.parts[0].reading;
    int k = 1;
    while (in_order.how == reading_end::boundary) {
        while (k < plan.count && plan.parts[k].start < in_order.end)
            plan.parts[k++].pool.release(); // passed by the reading in order
        if (k < plan.count && plan.parts[k].start == in_order.end &&
            plan.parts[k].reading.how != reading_end::not_read) {
            join(in_order, plan.parts[k++]);
            continue;
        }
        if (k < plan.count && plan.parts[k].start == in_order.end)
            ++k; // a part that was never read: its text is read in order
        in_order.stop_at = k < plan.count ? plan.parts[k].start : no_stop;
        read_on(text, shape, in_order);
    }
    const bool later_parts = k < plan.count;
    for (; k < plan.count; ++k)
        plan.parts[k].pool.release();
    if (in_order.how == reading_end::no_memory && later_parts) {
        in_order.stop_at = no_stop;
        read_on(text, shape, in_order);
    }
}

} // namespace

reading_outcome read_catalogue(const text_source& text, const catalogue_shape& shape,
                               const entry_test* test, long long* records)
{
    scan_stream first(text, 0, shape.buffer_size);
    const reading_outcome readable = first_reading(first);
    if (readable != reading_outcome::read)
        return readable;
    part_plan plan;
    plan_parts(text, shape, text.length(), plan);
    for (int k = 0; k < plan.count; ++k)
        plan.parts[k].reading.test = test;
    read_parts(text, shape, plan, first);
    join_in_order(text, shape, plan);
    const entry_reading& whole = plan.parts[0].reading;
    report_stop_lost('$', whole.lost_fields);
    if (records != nullptr)
        *records = 1 + whole.entries; // DB_First is a record even when no entry filled it
    return whole.how == reading_end::no_memory ? reading_outcome::no_memory : reading_outcome::read;
}

} // namespace tarnvel
