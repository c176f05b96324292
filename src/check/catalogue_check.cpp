// The catalogue's entries, read with the program's own entry reader, and
// the findings about each.
#include "check/catalogue_check.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "check/line_index.h"
#include "check/repeat_table.h"
#include "decimal/format.h"
#include "input/catalogue_entries.h"
#include "input/reading.h"
#include "input/scan_stream.h"
#include "input/stop_scan.h"
#include "model/record.h"

namespace tarnvel {

namespace {

constexpr double pi = 3.14159265358979323846;

// The names of the number fields, for the findings: field 2 is the first.
const char* const field_names[entry_number_fields] = {"right ascension 2000, hours",
                                                      "right ascension 2000, minutes",
                                                      "right ascension 2000, seconds",
                                                      "declination 2000, degrees",
                                                      "declination 2000, minutes",
                                                      "declination 2000, seconds",
                                                      "redshift",
                                                      "apparent magnitude",
                                                      "absolute magnitude",
                                                      "right ascension 1950, hours",
                                                      "right ascension 1950, minutes",
                                                      "right ascension 1950, seconds",
                                                      "declination 1950, degrees",
                                                      "declination 1950, minutes",
                                                      "declination 1950, seconds"};

std::string field_label(int field)
{
    return "field " + std::to_string(field + 2) + " (" + field_names[field] + ")";
}

// A number in "%.10g" form, with the page's own formatter: alike on every
// platform.
std::string shown(double value)
{
    char text[40];
    return std::string(text, format_general(text, value, 10, 0));
}

// What the check carries from entry to entry.
struct catalogue_walk {
    const text_source& text;
    file_findings& findings;
    line_index lines;
    long long entries = 0;           // records tarnvel makes
    long long previous_end_line = 0; // the line of the last entry's last '$'
    repeat_table name_pairs;         // the pairs of names, with 32 bits of their position
    repeat_table positions;          // the positions at 2000, with 32 bits of their names

    catalogue_walk(const text_source& source, file_findings& out)
        : text(source), findings(out), lines(source)
    {
    }

    void add(severity level, long long offset, const std::string& message)
    {
        findings.add(level, lines.position(offset), message);
    }
};

// A name's text: too long, or holding a line end or a NUL.
void check_name(catalogue_walk& walk, const value_span& span, const string& name, const char* which)
{
    const long long length = span.end - span.start;
    const long long kept = std::min<long long>(length, string::capacity - 1);
    // The usual name: no NUL before its end, and no line end.
    const bool plain = static_cast<long long>(std::strlen(name.text)) == kept &&
                       std::strpbrk(name.text, "\r\n") == nullptr;
    for (long long i = plain ? kept : 0; i < kept; ++i) {
        const char c = name.text[i];
        if (c == '\n' || c == '\r') {
            walk.add(severity::error, span.start + i,
                     std::string("the ") + which +
                         " name holds a line end: a '$' is missing in front of it, or the "
                         "entry goes on on the next line");
            break;
        }
        if (c == '\0') {
            walk.add(severity::error, span.start + i,
                     std::string("the ") + which +
                         " name holds a NUL character: the page shows it only up to here");
            break;
        }
    }
    if (length > kept)
        walk.add(severity::error, span.start + kept,
                 std::string("the ") + which + " name has " + std::to_string(length) +
                     " characters: tarnvel keeps the first 99 and drops the rest from here");
}

// A number field: no number, text behind the number, a '$' lost.
void check_number_fields(catalogue_walk& walk, const entry_spans& spans)
{
    for (int field = 0; field < entry_number_fields; ++field) {
        const value_span& span = spans.numbers[field];
        if (!span.found) {
            walk.add(severity::error, span.start,
                     field_label(field) + " holds no number: tarnvel reads 0");
        } else if (spans.stops[field] > span.end) {
            const std::string rest = walk.lines.text_between(span.end, spans.stops[field]);
            const bool blank = std::all_of(rest.begin(), rest.end(), [](char c) {
                return is_white_space(static_cast<unsigned char>(c));
            });
            if (!blank)
                walk.add(severity::error, span.end,
                         field_label(field) + ": the text after the number, " + quoted(rest) +
                             ", is ignored");
        }
        if (spans.stops[field] < 0)
            walk.add(severity::error, span.end,
                     field_label(field) + " has no '$' within " +
                         std::to_string(stop_scan_limit - 1) +
                         " characters after its number (or the file ends): tarnvel prints "
                         "\"file read message: stop_signal '$' lost\" and reads every later "
                         "field from the wrong place");
    }
}

// An entry whose fields do not stand on the line its first name ends on
// (`start_line`): the first field read from a later line. `end_line` is the
// line of its last '$'. (A line end inside a name is a finding of its own.)
void check_lines(catalogue_walk& walk, const entry_spans& spans, long long start_line,
                 long long end_line)
{
    if (end_line == start_line)
        return;
    for (int field = 0; field <= entry_number_fields; ++field) {
        // Where the field's own text begins: its number, or the second name.
        const long long at =
            field < entry_number_fields ? spans.numbers[field].start : spans.names[1].start;
        const text_position position = walk.lines.position(at);
        if (position.line == start_line)
            continue;
        walk.findings.add(severity::error, position,
                          "field " + std::to_string(field + 2) + " of the entry of line " +
                              std::to_string(start_line) +
                              " is read from this line: that entry has fewer than 17 fields on "
                              "its line (a '$' lost?), and every later field shifts");
        return;
    }
}

// The values as read: ranges, lower limits, magnitudes, signs, epochs.
void check_values(catalogue_walk& walk, const entry_spans& spans, const record& r)
{
    const int epochs_first_field[2] = {0, 9};
    const sky_coords* positions[2] = {&r.coords_2000, &r.coords_1950};
    const char* epochs[2] = {"2000", "1950"};
    bool in_range = true;
    for (int e = 0; e < 2; ++e) {
        const arc& ra = positions[e]->ascension;
        const arc& dec = positions[e]->declination;
        const int f = epochs_first_field[e];
        if (ra.units < 0 || ra.units >= 24 || ra.minutes < 0 || ra.minutes >= 60 ||
            ra.seconds < 0 || ra.seconds >= 60) {
            walk.add(severity::warning, spans.numbers[f].start,
                     std::string("the right ascension ") + epochs[e] + " is " + shown(ra.units) +
                         " h " + shown(ra.minutes) + " min " + shown(ra.seconds) +
                         " s: hours from 0 to 24, minutes and seconds from 0 to 60");
            in_range = false;
        }
        const double degrees = std::fabs(dec.units);
        if (degrees * 3600 + dec.minutes * 60 + dec.seconds > 90.0 * 3600 || dec.minutes < 0 ||
            dec.minutes >= 60 || dec.seconds < 0 || dec.seconds >= 60) {
            walk.add(severity::warning, spans.numbers[f + 3].start,
                     std::string("the declination ") + epochs[e] + " is " + shown(dec.units) +
                         " deg " + shown(dec.minutes) + "' " + shown(dec.seconds) +
                         "\": beyond 90 degrees, or minutes and seconds not from 0 to 60");
            in_range = false;
        }
        if (dec.units == 0 && std::signbit(dec.units))
            walk.add(severity::warning, spans.numbers[f + 3].start,
                     std::string("the declination ") + epochs[e] +
                         " has the degrees -0, which count as positive: a declination between "
                         "-1 and 0 degrees is written with the degrees -0.000001");
    }
    if (r.redshift < 0)
        walk.add(severity::warning, spans.numbers[6].start,
                 "a negative redshift, " + shown(r.redshift));
    else if (r.redshift > lower_limit_threshold && r.redshift / lower_limit_scale < 0.01)
        walk.add(severity::warning, spans.numbers[6].start,
                 "a lower-limit redshift " + shown(r.redshift) + " stands for z > " +
                     shown(r.redshift / lower_limit_scale) +
                     ": a lower limit is written as z times 1e12 (3.2e12 for z > 3.2)");
    const double magnitudes[2] = {r.apparent_magnitude, r.absolute_magnitude};
    for (int m = 0; m < 2; ++m) {
        const double v = magnitudes[m];
        if (v != no_value_magnitude &&
            std::fabs(v - no_value_magnitude) <= no_value_magnitude / 100)
            walk.add(severity::warning, spans.numbers[7 + m].start,
                     "the magnitude " + shown(v) +
                         " is not exactly 1e8, which marks a magnitude that is not known: it is "
                         "taken as a magnitude");
    }
    if (!in_range)
        return;
    // Fifty years of precession move a position by less than a degree.
    double ra[2];
    double dec[2];
    for (int e = 0; e < 2; ++e) {
        arc d = positions[e]->declination;
        d.corrector();
        dec[e] = d.value() / 3600 * pi / 180;
        ra[e] = positions[e]->ascension.value() / 3600 * 15 * pi / 180;
    }
    // The separation is at most the difference in declination and in right
    // ascension together: within a degree, no more is asked.
    double ra_difference = std::fabs(ra[1] - ra[0]);
    ra_difference = std::min(ra_difference, 2 * pi - ra_difference);
    if ((std::fabs(dec[1] - dec[0]) + ra_difference) * 180 / pi <= 1)
        return;
    const double a = std::sin((dec[1] - dec[0]) / 2);
    const double b = std::sin((ra[1] - ra[0]) / 2);
    const double separation =
        2 *
        std::asin(std::min(1.0, std::sqrt(a * a + std::cos(dec[0]) * std::cos(dec[1]) * b * b)));
    if (separation * 180 / pi > 1)
        walk.add(severity::warning, spans.numbers[9].start,
                 "the positions at 2000 and 1950 lie " + shown(separation * 180 / pi) +
                     " degrees apart, where precession moves a position by less than one: one of "
                     "them holds a slip");
}

// An entry as it was read: its first name, the record, and its fields' spans.
struct entry_read {
    string name;
    std::uint64_t pair_hash;     // repeat_table::hash of both names
    std::uint64_t position_hash; // of the position at 2000 as tarnvel compares it
    record r;
    entry_spans spans;
};

// What of an entry came before: the same pair of names at another position,
// or the same position under other names, is a warning; the same names and
// position again (a second entry of one object: another redshift, or an
// image of a lensed QSO, which the catalogue's names do not tell apart) a
// note. A first name that comes again with another second name is none:
// catalogues that name objects by their coordinates name close pairs alike.
void check_repeats(catalogue_walk& walk, const entry_read& e, long long line)
{
    // Once a few thousand entries tell how long an entry is, the tables are
    // given room for the whole catalogue at once: growing them step by step
    // moves every key again at each step.
    constexpr long long sample = 4096;
    if (walk.entries == sample && walk.text.length() > e.spans.end && e.spans.end > 0) {
        const double expected = static_cast<double>(walk.text.length()) /
                                static_cast<double>(e.spans.end) * sample * 1.05;
        walk.name_pairs.reserve(static_cast<std::size_t>(expected));
        walk.positions.reserve(static_cast<std::size_t>(expected));
    }
    const auto low_bits = [](std::uint64_t hash) { return static_cast<std::uint32_t>(hash); };
    const repeat_table::earlier pair =
        walk.name_pairs.add(e.pair_hash, line, low_bits(e.position_hash));
    const repeat_table::earlier position =
        walk.positions.add(e.position_hash, line, low_bits(e.pair_hash));
    const long long name_at = e.spans.names[0].start;
    if (pair.line != 0 && pair.detail == low_bits(e.position_hash))
        walk.add(severity::note, name_at,
                 "the same names and position as the entry of line " + std::to_string(pair.line));
    else if (pair.line != 0)
        walk.add(severity::warning, name_at,
                 "the same names as the entry of line " + std::to_string(pair.line) +
                     ", at another position: one of the two holds a slip");
    if (position.line != 0 && position.detail != low_bits(e.pair_hash))
        walk.add(severity::warning, e.spans.numbers[0].start,
                 "the same position as the entry of line " + std::to_string(position.line) +
                     ", under other names");
}

// The hash of the position at 2000 as tarnvel compares it: the values of the
// right ascension and of the declination after its normalisation, with -0
// taken as 0.
std::uint64_t position_hash(const record& r)
{
    arc declination = r.coords_2000.declination;
    declination.corrector();
    const double values[2] = {r.coords_2000.ascension.value() + 0.0, declination.value() + 0.0};
    return repeat_table::hash(values, sizeof values);
}

// One entry.
void check_entry(catalogue_walk& walk, const entry_read& e)
{
    const entry_spans& spans = e.spans;
    ++walk.entries;
    const text_position start = walk.lines.position(spans.names[0].start);
    walk.lines.hold();
    if (start.line == walk.previous_end_line)
        walk.findings.add(severity::error, start,
                          "a second entry begins on the line of the entry before it: that one "
                          "has a '$' too many, or a line end is lost");
    check_repeats(walk, e, start.line);
    check_name(walk, spans.names[0], e.name, "first");
    check_number_fields(walk, spans);
    const long long end_line = walk.lines.position(spans.names[1].end).line;
    if (end_line != start.line) {
        // Back to the entry's start, to find where its lines break.
        check_lines(walk, spans, walk.lines.position(spans.names[0].end).line, end_line);
        walk.lines.position(spans.names[1].end);
    }
    check_name(walk, spans.names[1], e.r.name_II, "second");
    check_values(walk, spans, e.r);
    walk.previous_end_line = end_line;
}

// How the reading of the entries ended.
struct reading_summary {
    first_name_read head = first_name_read::cut; // how the head entry's first name was read
    first_name_read last = first_name_read::cut; // how the last first name was read
    value_span last_name;                        // where that one lies
    long long closing = -1;                      // the closing line's '$', when text follows it
};

// Reads the entries of `stream` as tarnvel reads them (an empty first name
// at the very start does not end the catalogue), handing each to
// `take(const entry_read&)`, and says how the reading ended.
template <typename Take>
reading_summary read_all_entries(scan_stream& stream, Take take)
{
    reading_summary summary;
    entry_read e;
    int lost_fields = 0;
    first_name_read got = summary.head = read_first_name(stream, e.name, &e.spans.names[0]);
    for (bool head = true;; head = false) {
        if (got == first_name_read::name) {
            e.r = record();
            e.r.name_I = e.name;
            read_entry_rest(stream, e.r, lost_fields, &e.spans);
            e.pair_hash = repeat_table::hash(e.r.name_II.text, std::strlen(e.r.name_II.text) + 1,
                                             repeat_table::hash(e.name.text));
            e.position_hash = position_hash(e.r);
            take(e);
        } else if (got == first_name_read::cut || !head) {
            if (got == first_name_read::empty) {
                stream.skip_whitespace();
                if (stream.peek() >= 0)
                    summary.closing = e.spans.names[0].end;
            }
            break;
        }
        got = read_first_name(stream, e.name, &e.spans.names[0]);
    }
    summary.last = got;
    summary.last_name = e.spans.names[0];
    return summary;
}

// Entries handed from the reading thread to the checking one in file order,
// a batch at a time, the reading at most a few batches ahead: memory that
// does not grow with the catalogue.
class entry_channel {
public:
    entry_channel() : entries_(batch_count * batch_size) {}

    // The reading side: one entry more; then the end.
    void put(const entry_read& e)
    {
        entries_[(written_ % batch_count) * batch_size + in_batch_++] = e;
        if (in_batch_ == batch_size)
            send();
    }
    void close(const reading_summary& summary)
    {
        summary_ = summary;
        send();
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
        changed_.notify_all();
    }

    // The checking side: `use(const entry_read&)` for each entry, in order,
    // until the reading side closes; returns its summary. `ahead(const
    // entry_read&)` is called for each entry a few entries before use().
    template <typename Use, typename Ahead>
    reading_summary drain(Use use, Ahead ahead)
    {
        for (std::size_t batch = 0;; ++batch) {
            std::size_t count;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                changed_.wait(lock, [&] { return sent_ > batch || closed_; });
                if (sent_ <= batch)
                    return summary_;
                count = counts_[batch % batch_count];
            }
            const entry_read* const entries = &entries_[(batch % batch_count) * batch_size];
            for (std::size_t i = 0; i < count && i < look_ahead; ++i)
                ahead(entries[i]);
            for (std::size_t i = 0; i < count; ++i) {
                if (i + look_ahead < count)
                    ahead(entries[i + look_ahead]);
                use(entries[i]);
            }
            std::lock_guard<std::mutex> lock(mutex_);
            checked_ = batch + 1;
            changed_.notify_all();
        }
    }

private:
    static constexpr std::size_t batch_size = 256;
    static constexpr std::size_t batch_count = 4;
    static constexpr std::size_t look_ahead = 8;

    void send()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        counts_[written_ % batch_count] = in_batch_;
        sent_ = ++written_;
        in_batch_ = 0;
        changed_.notify_all();
        // The next batch's place is free once the checking side is done with it.
        changed_.wait(lock, [&] { return written_ - checked_ < batch_count; });
    }

    std::vector<entry_read> entries_;
    std::size_t counts_[batch_count] = {};
    std::size_t written_ = 0; // batches the reading side has filled (its own count)
    std::size_t in_batch_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t sent_ = 0;    // batches sent
    std::size_t checked_ = 0; // batches checked
    bool closed_ = false;
    reading_summary summary_;
};

// Reads the entries on a thread of its own while this one checks them: the
// reading and the checks take about as long. Where no thread can be had,
// each entry is checked as it is read.
reading_summary read_and_check(scan_stream& stream, catalogue_walk& walk)
{
    const auto check = [&](const entry_read& e) { check_entry(walk, e); };
    entry_channel channel;
    std::thread reader;
    try {
        reader = std::thread([&] {
            channel.close(read_all_entries(stream, [&](const entry_read& e) { channel.put(e); }));
        });
    } catch (...) {
        return read_all_entries(stream, check);
    }
    // The tables are larger than the caches: their slots for an entry are
    // asked for while the entries before it are checked.
    const reading_summary summary = channel.drain(check, [&](const entry_read& e) {
        walk.name_pairs.prefetch(e.pair_hash);
        walk.positions.prefetch(e.position_hash);
    });
    reader.join();
    return summary;
}

} // namespace

long long check_catalogue(const text_source& text, file_findings& findings)
{
    scan_stream stream(text);
    if (first_reading(stream) != reading_outcome::read)
        return -1;
    catalogue_walk walk(text, findings);
    const reading_summary read = read_and_check(stream, walk);
    if (read.head != first_name_read::name) {
        ++walk.entries; // DB_First, of zeros, is a record all the same
        if (read.head == first_name_read::empty)
            walk.add(severity::warning, 0,
                     "the catalogue begins with an empty first name: tarnvel makes an entry of "
                     "zeros and empty names of it, which a query may select, and reads on");
        else
            walk.add(severity::warning, 0,
                     "the catalogue holds no entry: tarnvel makes one of zeros and empty names "
                     "all the same, which a query may select");
    }
    const long long closing = read.closing;
    const first_name_read got = read.last;
    if (closing >= 0) {
        const long long line = walk.lines.position(closing).line;
        walk.lines.finish();
        const text_position end = walk.lines.position(-1);
        const long long after = end.line - line - (end.column == 1 ? 1 : 0);
        walk.add(severity::note, closing,
                 "the catalogue closes here: " + counted(after, "line", "lines") + " after it " +
                     (after == 1 ? "is" : "are") + " never read");
    }
    if (got == first_name_read::cut) {
        const value_span& cut = read.last_name;
        if (cut.end > cut.start)
            walk.add(severity::error, cut.start,
                     "the file ends in a first name, " +
                         quoted(walk.lines.text_between(cut.start, cut.end)) +
                         ": tarnvel makes no entry of it");
        walk.add(severity::warning, cut.end,
                 "no closing line: the catalogue ends without a line that holds only '$'");
    }
    walk.lines.finish();
    if (walk.lines.crlf_lines() > 0 && walk.lines.lf_lines() > 0)
        findings.add_for_file(severity::note,
                              "line ends of both kinds: " +
                                  counted(walk.lines.crlf_lines(), "line ends", "lines end") +
                                  " in CR LF (the first on line " +
                                  std::to_string(walk.lines.first_crlf_line()) + "), " +
                                  counted(walk.lines.lf_lines(), "line", "lines") +
                                  " in LF alone (the first on line " +
                                  std::to_string(walk.lines.first_lf_line()) + ")");
    return walk.entries;
}

} // namespace tarnvel
