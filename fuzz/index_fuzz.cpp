// Fuzz target: arbitrary bytes as the position index of a small catalogue.
// With a first byte that is even, the bytes are the index file itself,
// which the reader must refuse or read without fault. With an odd one, the
// rest are rows (32 bytes each: offset, ordinal, length, right ascension,
// declination) written into an index whose header and checksums are sound
// for the catalogue: every cone through it must then answer exactly what
// the reading of the whole catalogue answers, or fail and say so.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "input/catalogue_walk.h"
#include "input/indexed_cone.h"
#include "select/cone.h"
#include "state/position_index.h"
#include "support/record_text.h"
#include "support/scratch_file.h"

namespace tarnvel {

namespace {

// The catalogue: entries at 0 h, near a pole, over two lines, and one off
// the sky's ranges.
const char catalogue_text[] = "A$00$00$00$+00$00$00$1$2$3$0$0$0$0$0$0$B$\n"
                              "C$00$00$01$-00$00$05$1$2$3$0$0$0$0$0$0$D$\n"
                              "E$12$00$00$+89$59$00$1$2$3$0$0$0$0$0$0$F$\n"
                              "G$23$59$59$-10$\n30$00$1$2$3$0$0$0$0$0$0$H$\n"
                              "I$26$00$00$+95$00$00$1$2$3$0$0$0$0$0$0$J$\n"
                              "K$06$00$00$+10$00$00$1$2$3$0$0$0$0$0$0$L$\n$\n";

const cone cones[] = {cone({0, 0}, 0.01),  cone({0, 90}, 1),    cone({359.99, -10.5}, 0.5),
                      cone({90, 10}, 180), cone({30, 85}, 0.1), cone({0, 0}, 100)};

std::uint64_t get64(const std::uint8_t* at)
{
    std::uint64_t value = 0;
    for (int k = 7; k >= 0; --k)
        value = value << 8 | at[k];
    return value;
}

// The answer of the whole reading as text.
std::string full_answer(scratch_file& catalogue, const cone& area)
{
    std::string text;
    walk_catalogue(catalogue.text(), [&](long long number, const record& entry) {
        if (area.holds(position_2000(entry)))
            text += record_text(entry) + "\n";
        (void)number;
        return true;
    });
    return text;
}

} // namespace

} // namespace tarnvel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tarnvel;
    if (size < 1)
        return 0;
    static scratch_file catalogue{std::string(catalogue_text)};
    file_identity identity;
    if (!catalogue.ok() || !catalogue.text().file->identify(identity))
        return 0;
    std::string index_bytes;
    if (data[0] % 2 == 0) {
        index_bytes.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
    } else {
        std::vector<index_row> rows;
        for (std::size_t at = 1; at + index_row_bytes <= size; at += index_row_bytes) {
            index_row row;
            row.offset = get64(data + at);
            row.ordinal = static_cast<std::uint32_t>(get64(data + at + 8) & 0xffffffffu);
            row.length = static_cast<std::uint32_t>(get64(data + at + 8) >> 32);
            const std::uint64_t ra = get64(data + at + 16);
            const std::uint64_t dec = get64(data + at + 24);
            std::memcpy(&row.ra, &ra, sizeof ra);
            std::memcpy(&row.dec, &dec, sizeof dec);
            rows.push_back(row);
        }
        const std::vector<char> bytes = encode_index(rows, identity);
        index_bytes.assign(bytes.begin(), bytes.end());
    }
    scratch_file index_file(index_bytes);
    if (!index_file.ok())
        return 0;
    position_index index;
    if (index.open(*index_file.text().file, identity) != index_state::usable)
        return 0;
    for (const cone& area : cones) {
        std::vector<cone_entry> entries;
        const indexed_answer how = indexed_cone(
            index, *catalogue.text().file,
            {area.centre().ascension, area.centre().declination, area.radius()},
            [&](double ra, double dec) { return area.holds({ra, dec}); }, entries);
        if (how != indexed_answer::answered)
            continue;
        std::string text;
        for (const cone_entry& e : entries) {
            if (!area.holds(position_2000(e.entry)))
                std::abort();
            text += record_text(e.entry) + "\n";
        }
        // Rows forged with sound checksums are trusted for their offsets:
        // such an index may leave entries out, give other places in the
        // list, or name text inside an entry that reads as an entry in the
        // cone (which only a reading from the start could tell apart), but
        // never crashes nor answers outside the cone. That is why the spool
        // must be the service's alone. Bytes that are not such an index
        // fail their checksums, or answer exactly what the catalogue holds.
        if (data[0] % 2 != 0)
            continue;
        const std::string full = full_answer(catalogue, area);
        std::size_t from = 0;
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = text.find('\n', at) + 1;
            const std::size_t found = full.find(text.substr(at, end - at), from);
            if (found == std::string::npos)
                std::abort();
            from = found + (end - at);
            at = end;
        }
    }
    return 0;
}
