// The position index of a catalogue: for every entry of the catalogue list
// its epoch-2000 position as the program reads it and where its text starts,
// in a file whose rows lie in declination zones, sorted by right ascension
// within each zone, so that a cone reads only the rows of the few zones it
// crosses, and of those only the ones in its right-ascension window.
//
// Why zones: a zone's rows are one contiguous run of the file, found from a
// small table in the header, and a right-ascension window within a zone is
// one or two binary searches; a cone of any size and at any place (right
// ascension 0 h, a pole) needs no more than that and the cone test, with no
// pixel geometry to get wrong. Zones of 0.1 degree keep a small cone to a
// few hundred rows of the million and the header to 29 KB.
//
// The file (all numbers little-endian): a header of the magic "TVPOSIDX",
// the format version, the zone count, the program version, the row count,
// the catalogue's identity (device, file number, size, modification and
// change times), the first row of each group (group 0: the rows whose
// position lies off the sky's ranges, which every cone takes; group z + 1:
// zone z), a checksum of each group's rows, and a checksum of the header
// itself; then the rows, 32 bytes each.
#ifndef TARNVEL_SELECT_POSITION_INDEX_H
#define TARNVEL_SELECT_POSITION_INDEX_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/record.h"
#include "system/input_file.h"

namespace tarnvel {

// One entry of the catalogue list as the index holds it.
struct index_row {
    std::uint64_t offset = 0;  // where the entry's text starts in the catalogue
    std::uint32_t ordinal = 0; // its place in the catalogue list, from 0
    std::uint32_t length = 0;  // bytes to where the next entry would begin; 0: the
                               // head record that no text fills (its initial values)
    double ra = 0.0;           // right ascension 2000 in degrees: arc::value / 240
    double dec = 0.0;          // declination 2000 in degrees, normalised: arc::value / 3600
};

constexpr std::size_t index_row_bytes = 32;
constexpr std::uint32_t index_format_version = 1;
constexpr int index_zones = 1800; // declination zones of 0.1 degree
constexpr int index_groups = index_zones + 1;

// The epoch-2000 position of `entry` in degrees, as a cone sees it: the
// right ascension's value / 240 and the declination's value / 3600 after
// arc::corrector (on a copy; `entry` is unchanged).
void position_of(const record& entry, double& ra, double& dec);

// True for a position the zones hold: finite, right ascension in [0, 360]
// and declination in [-90, 90]. Any other lies in group 0.
bool on_the_sky(double ra, double dec);

// The zone (0 to index_zones - 1) of the declination `dec` in [-90, 90];
// never decreasing as `dec` grows.
int zone_of(double dec);

// The bytes of the index of the catalogue `identity` made of `rows` (one
// per entry of the catalogue list, in any order), which it sorts.
std::vector<char> encode_index(std::vector<index_row>& rows, const file_identity& identity);

// How an index file was found.
enum class index_state {
    usable,          // whole, of this program's format and version, of the catalogue
    missing,         // no file there
    damaged,         // truncated, of another size, or its header's checksum is wrong
    other_version,   // another magic, format version or program version
    other_catalogue, // made of another catalogue, or of an earlier state of it
};

// The name of `state` for messages.
const char* index_state_name(index_state state);

// An index file opened for positional reads, its header checked.
class position_index {
public:
    // Opens the index `path` and checks its header against the catalogue
    // `catalogue` (the identity of the open catalogue file).
    index_state open(const std::string& path, const file_identity& catalogue);
    // Checks the header of the open file `file`, which must outlive this
    // object, against `catalogue`.
    index_state open(const input_file& file, const file_identity& catalogue);

    std::uint64_t row_count() const { return rows_; }

    // The first row of group `group` (0 to index_groups; index_groups is
    // the row count).
    std::uint64_t group_start(int group) const { return starts_[static_cast<std::size_t>(group)]; }

    // Reads the rows of group `group` into `rows` and checks them against
    // the group's checksum. False when they cannot be read or do not match.
    bool read_group(int group, std::vector<index_row>& rows) const;

private:
    input_file own_;
    const input_file* file_ = nullptr;
    std::uint64_t rows_ = 0;
    std::vector<std::uint64_t> starts_;    // index_groups + 1 row numbers
    std::vector<std::uint64_t> checksums_; // index_groups checksums
};

} // namespace tarnvel

#endif
