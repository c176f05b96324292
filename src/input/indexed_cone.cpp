// Cones through the position index: windows of zones and right ascension,
// and the entries read again and checked.
#include "input/indexed_cone.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "input/catalogue_entries.h"
#include "input/scan_stream.h"

namespace tarnvel {

namespace {

// What the windows add to the radius, in degrees: far more than any
// rounding of a cone test, so that no entry the test takes falls outside.
constexpr double margin = 1e-4;

// The most entries answered through the index; more are read whole.
constexpr std::size_t most_entries = 50000;

// The buffer an entry is read again through: an entry's usual size, many
// times over.
constexpr std::size_t entry_buffer_size = 2048;

constexpr double degree = 3.14159265358979323846 / 180.0;

// The half-width in right ascension (degrees) of the part of the cone that
// lies within the declinations [low, high], or 180 for all of it. From the
// haversine of the distance: hav(d) >= cos(dec0) cos(dec) hav(ra - ra0), so
// a point within `radius` has hav(ra - ra0) <= hav(radius) / (cos(dec0)
// cos(dec)), and cos(dec) is least at the end farther from the equator.
double half_width(const cone_window& window, double radius, double low, double high)
{
    const double far = std::max(std::fabs(low), std::fabs(high));
    const double half = std::sin(radius * degree / 2);
    const double bound =
        half * half / (std::cos(window.dec * degree) * std::cos(std::min(far, 90.0) * degree));
    if (!(bound < 0.999999))
        return 180.0; // also for NaN and a pole
    const double width = 2 * std::asin(std::sqrt(bound)) / degree;
    return width * (1 + 1e-9) + margin;
}

// Appends to `out` the rows of `rows` (sorted by right ascension) whose
// right ascension lies in [from, to].
void take_range(const std::vector<index_row>& rows, double from, double to,
                std::vector<index_row>& out)
{
    const auto first = std::lower_bound(rows.begin(), rows.end(), from,
                                        [](const index_row& r, double ra) { return r.ra < ra; });
    for (auto row = first; row != rows.end() && row->ra <= to; ++row)
        out.push_back(*row);
}

// The rows of `rows` (one zone's) within `width` of the centre's right
// ascension, across 0 h where the window crosses it.
void take_window(const std::vector<index_row>& rows, double centre, double width,
                 std::vector<index_row>& out)
{
    if (width >= 180.0 || !(std::fabs(centre) <= 720.0)) {
        out.insert(out.end(), rows.begin(), rows.end());
        return;
    }
    double ra = std::fmod(centre, 360.0);
    if (ra < 0)
        ra += 360.0;
    const double from = ra - width;
    const double to = ra + width;
    take_range(rows, std::max(from, 0.0), std::min(to, 360.0), out);
    if (from < 0)
        take_range(rows, from + 360.0, 360.0, out);
    if (to > 360.0)
        take_range(rows, 0.0, to - 360.0, out);
}

// Whether two doubles have the same bits (NaN with itself included).
bool same_bits(double a, double b)
{
    std::uint64_t bits_a;
    std::uint64_t bits_b;
    std::memcpy(&bits_a, &a, sizeof a);
    std::memcpy(&bits_b, &b, sizeof b);
    return bits_a == bits_b;
}

// Reads the entry of `row` again from `catalogue` into `entry`; false when
// the catalogue does not hold it there: no entry begins at its offset (the
// character before is neither white space nor '$'), its reading does not
// end where the row says, or its position is not the row's.
bool read_again(input_file& catalogue, const index_row& row, record& entry)
{
    const long long start = static_cast<long long>(row.offset);
    text_source text;
    text.file = &catalogue;
    entry = record();
    if (row.length == 0) {
        // The head record that no text fills: the catalogue must begin with
        // an empty first name, or with none at all.
        scan_stream stream(text, 0, entry_buffer_size);
        string name;
        return row.ordinal == 0 && start == 0 && stream.ok() && !stream.read_failed() &&
               read_first_name(stream, name) != first_name_read::name;
    }
    if (start > 0) {
        char before = 0;
        if (catalogue.read_at(start - 1, &before, 1) != 1 ||
            !(before == '$' || is_white_space(static_cast<unsigned char>(before))))
            return false;
    }
    scan_stream stream(text, start, entry_buffer_size);
    if (!stream.ok() || stream.read_failed() ||
        read_first_name(stream, entry.name_I) != first_name_read::name)
        return false;
    int lost_fields = 0;
    read_entry_rest(stream, entry, lost_fields);
    double ra = 0;
    double dec = 0;
    position_of(entry, ra, dec);
    return !stream.read_failed() && stream.offset() == start + row.length &&
           same_bits(ra, row.ra) && same_bits(dec, row.dec);
}

// Whether the place in the list of matches[k] (sorted by it) agrees with
// the places of the entries before it: within the list's length, after the
// one before and further on in the text, right behind it in the text when
// it is the next in the list, and not right behind it otherwise. (The
// place itself is the index's word, guarded by its checksums: only a
// reading of the whole catalogue could count it.)
bool places_agree(const std::vector<index_row>& matches, std::size_t k, std::uint64_t rows)
{
    const index_row& row = matches[k];
    if (row.ordinal >= rows)
        return false;
    if (k == 0)
        return true;
    const index_row& before = matches[k - 1];
    const bool next = row.ordinal == before.ordinal + 1;
    const bool adjacent = before.offset + before.length == row.offset;
    return row.ordinal > before.ordinal && row.offset > before.offset &&
           (before.length == 0 || next == adjacent);
}

} // namespace

indexed_answer indexed_cone(const position_index& index, input_file& catalogue,
                            const cone_window& window, const position_test& accepts,
                            std::vector<cone_entry>& entries)
{
    entries.clear();
    const double radius = window.radius + margin;
    const double low = window.dec - radius;
    const double high = window.dec + radius;
    if (!(radius >= 0) || !(window.dec >= -90.0 && window.dec <= 90.0))
        return indexed_answer::too_many; // no window to take: the whole reading answers
    const int first_zone = zone_of(std::max(low, -90.0));
    const int last_zone = zone_of(std::min(high, 90.0));
    // The zones' rows alone tell whether the index is worth it.
    const std::uint64_t crossed =
        index.group_start(last_zone + 2) - index.group_start(first_zone + 1);
    if (crossed > index.row_count() / 4 + 4 * most_entries)
        return indexed_answer::too_many;
    std::vector<index_row> rows;
    std::vector<index_row> candidates;
    if (!index.read_group(0, rows))
        return indexed_answer::failed;
    candidates = rows;
    for (int zone = first_zone; zone <= last_zone; ++zone) {
        if (!index.read_group(zone + 1, rows))
            return indexed_answer::failed;
        const double zone_low = std::max(low, -90.0 + zone * (180.0 / index_zones) - margin);
        const double zone_high =
            std::min(high, -90.0 + (zone + 1) * (180.0 / index_zones) + margin);
        take_window(rows, window.ra, half_width(window, radius, zone_low, zone_high), candidates);
    }
    std::vector<index_row> matches;
    for (const index_row& row : candidates)
        if (accepts(row.ra, row.dec))
            matches.push_back(row);
    if (matches.size() > most_entries)
        return indexed_answer::too_many;
    std::sort(matches.begin(), matches.end(),
              [](const index_row& a, const index_row& b) { return a.ordinal < b.ordinal; });
    entries.resize(matches.size());
    for (std::size_t k = 0; k < matches.size(); ++k) {
        if (!places_agree(matches, k, index.row_count()) ||
            !read_again(catalogue, matches[k], entries[k].entry)) {
            entries.clear();
            return indexed_answer::failed;
        }
        entries[k].ordinal = matches[k].ordinal;
        entries[k].entry.coords_2000.declination.corrector();
        entries[k].entry.coords_1950.declination.corrector();
    }
    return indexed_answer::answered;
}

} // namespace tarnvel
