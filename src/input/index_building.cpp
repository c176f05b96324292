// The position index made by one reading of the catalogue in order.
#include "input/index_building.h"

#include <cstdint>
#include <limits>

#include "input/catalogue_entries.h"
#include "input/scan_stream.h"
#include "state/position_index.h"

namespace tarnvel {

namespace {

// Appends the row of `entry`, read from `start` to `end`; false when the
// index's numbers cannot hold it.
bool add_row(std::vector<index_row>& rows, const record& entry, long long start, long long end)
{
    constexpr long long most = std::numeric_limits<std::uint32_t>::max();
    if (static_cast<long long>(rows.size()) >= most || end - start > most)
        return false;
    index_row row;
    row.offset = static_cast<std::uint64_t>(start);
    row.ordinal = static_cast<std::uint32_t>(rows.size());
    row.length = static_cast<std::uint32_t>(end - start);
    position_of(entry, row.ra, row.dec);
    rows.push_back(row);
    return true;
}

// Whether two looks at the catalogue found it as it was.
bool unchanged(const file_identity& a, const file_identity& b)
{
    return a.device == b.device && a.inode == b.inode && a.size == b.size &&
           a.modified_seconds == b.modified_seconds &&
           a.modified_nanoseconds == b.modified_nanoseconds &&
           a.changed_seconds == b.changed_seconds && a.changed_nanoseconds == b.changed_nanoseconds;
}

} // namespace

bool build_index(input_file& catalogue, std::vector<char>& bytes)
{
    bytes.clear();
    file_identity before;
    if (!catalogue.is_regular() || !catalogue.identify(before))
        return false;
    text_source text;
    text.file = &catalogue;
    scan_stream stream(text, 0);
    if (!stream.ok() || stream.read_failed())
        return false;
    std::vector<index_row> rows;
    rows.reserve(static_cast<std::size_t>(catalogue.size() / 64 + 1));
    int lost_fields = 0;
    // The head entry, as read_head_entry reads it: an empty or cut first
    // name leaves the head record its initial values, a row of length 0.
    {
        string name;
        record head;
        const first_name_read got = read_first_name(stream, name);
        if (got == first_name_read::name) {
            head.name_I = name;
            read_entry_rest(stream, head, lost_fields);
            if (!add_row(rows, head, 0, stream.offset()))
                return false;
        } else {
            add_row(rows, head, 0, 0);
        }
    }
    // The further entries, as read_entries reads them.
    for (;;) {
        const long long start = stream.offset();
        string name;
        if (read_first_name(stream, name) != first_name_read::name)
            break;
        record entry;
        entry.name_I = name;
        read_entry_rest(stream, entry, lost_fields);
        if (!add_row(rows, entry, start, stream.offset()))
            return false;
    }
    file_identity after;
    if (stream.read_failed() || !catalogue.identify(after) || !unchanged(before, after))
        return false;
    bytes = encode_index(rows, before);
    return true;
}

} // namespace tarnvel
