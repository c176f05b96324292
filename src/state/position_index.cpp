// The position index's file: its bytes written from rows, and read back
// with every part checked.
#include "state/position_index.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#ifndef TARNVEL_VERSION
#error "TARNVEL_VERSION names the program's version, from the build"
#endif

namespace tarnvel {

namespace {

constexpr char magic[8] = {'T', 'V', 'P', 'O', 'S', 'I', 'D', 'X'};
constexpr std::size_t version_bytes = 16;
constexpr std::size_t identity_at = 32 + 8;
constexpr std::size_t word_bytes = 8;
constexpr std::size_t groups = index_groups;
constexpr std::size_t starts_at = identity_at + 7 * word_bytes;
constexpr std::size_t checksums_at = starts_at + (groups + 1) * word_bytes;
constexpr std::size_t header_checksum_at = checksums_at + groups * word_bytes;
constexpr std::size_t header_bytes = header_checksum_at + 8;

void put64(char* at, std::uint64_t value)
{
    for (int k = 0; k < 8; ++k)
        at[k] = static_cast<char>((value >> (8 * k)) & 0xff);
}

void put32(char* at, std::uint32_t value)
{
    for (int k = 0; k < 4; ++k)
        at[k] = static_cast<char>((value >> (8 * k)) & 0xff);
}

std::uint64_t get64(const char* at)
{
    std::uint64_t value = 0;
    for (int k = 7; k >= 0; --k)
        value = value << 8 | static_cast<unsigned char>(at[k]);
    return value;
}

std::uint32_t get32(const char* at)
{
    std::uint32_t value = 0;
    for (int k = 3; k >= 0; --k)
        value = value << 8 | static_cast<unsigned char>(at[k]);
    return value;
}

std::uint64_t bits_of(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

double double_of(std::uint64_t bits)
{
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// A 64-bit checksum of `size` bytes: eight bytes at a time, each word
// multiplied into the sum and its high bits folded down, so that any change
// of a byte, and a swap of two words, changes the sum.
std::uint64_t checksum(const char* bytes, std::size_t size)
{
    std::uint64_t sum = 0x243f6a8885a308d3ull ^ size;
    std::size_t at = 0;
    for (; at + 8 <= size; at += 8) {
        sum = (sum ^ get64(bytes + at)) * 0x9e3779b97f4a7c15ull;
        sum ^= sum >> 29;
    }
    for (; at < size; ++at) {
        sum = (sum ^ static_cast<unsigned char>(bytes[at])) * 0x9e3779b97f4a7c15ull;
        sum ^= sum >> 29;
    }
    return sum;
}

void put_row(char* at, const index_row& row)
{
    put64(at, row.offset);
    put32(at + 8, row.ordinal);
    put32(at + 12, row.length);
    put64(at + 16, bits_of(row.ra));
    put64(at + 24, bits_of(row.dec));
}

index_row get_row(const char* at)
{
    index_row row;
    row.offset = get64(at);
    row.ordinal = get32(at + 8);
    row.length = get32(at + 12);
    row.ra = double_of(get64(at + 16));
    row.dec = double_of(get64(at + 24));
    return row;
}

// The group of a row: 0 off the sky, else its zone + 1.
int group_of(const index_row& row)
{
    return on_the_sky(row.ra, row.dec) ? zone_of(row.dec) + 1 : 0;
}

void put_identity(char* at, const file_identity& identity)
{
    put64(at, identity.device);
    put64(at + 8, identity.inode);
    put64(at + 16, static_cast<std::uint64_t>(identity.size));
    put64(at + 24, static_cast<std::uint64_t>(identity.modified_seconds));
    put64(at + 32, static_cast<std::uint64_t>(identity.modified_nanoseconds));
    put64(at + 40, static_cast<std::uint64_t>(identity.changed_seconds));
    put64(at + 48, static_cast<std::uint64_t>(identity.changed_nanoseconds));
}

// Reads `size` bytes at `offset` of `file` whole; false otherwise.
bool read_whole(const input_file& file, std::uint64_t offset, char* into, std::size_t size)
{
    std::size_t got = 0;
    while (got < size) {
        const std::uint64_t at = offset + got;
        const long long n = file.read_at(static_cast<long long>(at), into + got, size - got);
        if (n <= 0)
            return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

void position_of(const record& entry, double& ra, double& dec)
{
    arc declination = entry.coords_2000.declination;
    declination.corrector();
    ra = entry.coords_2000.ascension.value() / 240.0;
    dec = declination.value() / 3600.0;
}

bool on_the_sky(double ra, double dec)
{
    return ra >= 0.0 && ra <= 360.0 && dec >= -90.0 && dec <= 90.0; // false for NaN
}

int zone_of(double dec)
{
    const double place = (dec + 90.0) * (index_zones / 180.0);
    const int zone = place <= 0.0 ? 0 : static_cast<int>(std::min(place, 1e9));
    return std::min(zone, index_zones - 1);
}

std::vector<char> encode_index(std::vector<index_row>& rows, const file_identity& identity)
{
    // Into their groups by counting, then each zone by right ascension (and
    // place in the list, for equal ones): the group of a row is worked out
    // once, not at every comparison.
    std::vector<std::size_t> firsts(groups + 1, 0);
    for (const index_row& row : rows)
        ++firsts[static_cast<std::size_t>(group_of(row)) + 1];
    for (std::size_t group = 1; group <= groups; ++group)
        firsts[group] += firsts[group - 1];
    std::vector<index_row> sorted(rows.size());
    {
        std::vector<std::size_t> next(firsts.begin(), firsts.end() - 1);
        for (const index_row& row : rows)
            sorted[next[static_cast<std::size_t>(group_of(row))]++] = row;
    }
    for (std::size_t group = 0; group < groups; ++group)
        std::sort(sorted.begin() + static_cast<std::ptrdiff_t>(firsts[group]),
                  sorted.begin() + static_cast<std::ptrdiff_t>(firsts[group + 1]),
                  [group](const index_row& a, const index_row& b) {
                      if (group != 0 && a.ra != b.ra)
                          return a.ra < b.ra;
                      return a.ordinal < b.ordinal;
                  });
    rows.swap(sorted);
    std::vector<char> bytes(header_bytes + rows.size() * index_row_bytes);
    char* const header = bytes.data();
    std::memcpy(header, magic, sizeof magic);
    put32(header + 8, index_format_version);
    put32(header + 12, index_zones);
    const char version[] = TARNVEL_VERSION;
    std::memcpy(header + 16, version, std::min(sizeof version, version_bytes));
    put64(header + 32, rows.size());
    put_identity(header + identity_at, identity);
    std::size_t row = 0;
    for (int group = 0; group <= index_groups; ++group) {
        put64(header + starts_at + 8 * static_cast<std::size_t>(group), row);
        if (group == index_groups)
            break;
        const std::size_t first = row;
        for (; row < rows.size() && group_of(rows[row]) == group; ++row)
            put_row(header + header_bytes + row * index_row_bytes, rows[row]);
        put64(header + checksums_at + 8 * static_cast<std::size_t>(group),
              checksum(header + header_bytes + first * index_row_bytes,
                       (row - first) * index_row_bytes));
    }
    put64(header + header_checksum_at, checksum(header, header_checksum_at));
    return bytes;
}

const char* index_state_name(index_state state)
{
    switch (state) {
    case index_state::usable:
        return "usable";
    case index_state::missing:
        return "missing";
    case index_state::damaged:
        return "damaged";
    case index_state::other_version:
        return "of another version";
    case index_state::other_catalogue:
        return "of another catalogue";
    }
    return "unknown";
}

index_state position_index::open(const std::string& path, const file_identity& catalogue)
{
    if (!own_.open(path.c_str()))
        return index_state::missing;
    return open(own_, catalogue);
}

index_state position_index::open(const input_file& file, const file_identity& catalogue)
{
    file_ = &file;
    rows_ = 0;
    starts_.clear();
    checksums_.clear();
    std::vector<char> header(header_bytes);
    // As much of the header as there is; the checks below tell a short one.
    const std::size_t readable = file.size() < static_cast<long long>(header_bytes)
                                     ? static_cast<std::size_t>(file.size())
                                     : header_bytes;
    if (!file.is_regular() || file.size() < 16 || !read_whole(file, 0, header.data(), readable))
        return index_state::damaged;
    char version[version_bytes] = {};
    const char own_version[] = TARNVEL_VERSION;
    std::memcpy(version, own_version, std::min(sizeof own_version, version_bytes));
    if (std::memcmp(header.data(), magic, sizeof magic) != 0 ||
        get32(header.data() + 8) != index_format_version ||
        get32(header.data() + 12) != index_zones)
        return index_state::other_version;
    // Another program's index is told by its version before its checksums,
    // which another program may compute otherwise.
    if (readable >= 16 + version_bytes &&
        std::memcmp(header.data() + 16, version, version_bytes) != 0)
        return index_state::other_version;
    if (file.size() < static_cast<long long>(header_bytes) ||
        get64(header.data() + header_checksum_at) != checksum(header.data(), header_checksum_at))
        return index_state::damaged;
    const std::uint64_t rows = get64(header.data() + 32);
    const std::uint64_t row_room =
        static_cast<std::uint64_t>(file.size()) - header_bytes; // not negative: checked above
    if (row_room % index_row_bytes != 0 || rows != row_room / index_row_bytes)
        return index_state::damaged;
    std::vector<std::uint64_t> starts(index_groups + 1);
    std::vector<std::uint64_t> checksums(index_groups);
    for (std::size_t group = 0; group <= index_groups; ++group) {
        starts[group] = get64(header.data() + starts_at + 8 * group);
        if ((group == 0 && starts[group] != 0) || (group > 0 && starts[group] < starts[group - 1]))
            return index_state::damaged;
        if (group < index_groups)
            checksums[group] = get64(header.data() + checksums_at + 8 * group);
    }
    if (starts[index_groups] != rows)
        return index_state::damaged;
    char identity[7 * 8];
    put_identity(identity, catalogue);
    if (std::memcmp(header.data() + identity_at, identity, sizeof identity) != 0)
        return index_state::other_catalogue;
    rows_ = rows;
    starts_ = std::move(starts);
    checksums_ = std::move(checksums);
    return index_state::usable;
}

bool position_index::read_group(int group, std::vector<index_row>& rows) const
{
    rows.clear();
    if (file_ == nullptr || group < 0 || group >= index_groups || starts_.empty())
        return false;
    const std::size_t g = static_cast<std::size_t>(group);
    const std::uint64_t count = starts_[g + 1] - starts_[g];
    std::vector<char> bytes(static_cast<std::size_t>(count) * index_row_bytes);
    if (!read_whole(*file_, header_bytes + starts_[g] * index_row_bytes, bytes.data(),
                    bytes.size()) ||
        checksum(bytes.data(), bytes.size()) != checksums_[g])
        return false;
    rows.reserve(static_cast<std::size_t>(count));
    for (std::size_t k = 0; k < count; ++k) {
        const index_row row = get_row(bytes.data() + k * index_row_bytes);
        // A row the checksum passed but that stands in the wrong zone or out
        // of order would hide from the window searches.
        if (group_of(row) != group || (group > 0 && !rows.empty() && row.ra < rows.back().ra))
            return false;
        rows.push_back(row);
    }
    return true;
}

} // namespace tarnvel
