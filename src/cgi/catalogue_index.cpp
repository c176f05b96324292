// The site's position index: made under a lock, and used for cones.
#include "cgi/catalogue_index.h"

#include <vector>

#include "input/index_building.h"
#include "input/indexed_cone.h"
#include "state/position_index.h"
#include "system/child_process.h"
#include "system/replacing_file.h"

namespace tarnvel {

namespace {

// Starts a making of the index in the background unless another process
// holds the lock (which it then makes).
void make_in_background(const site_config& config)
{
    if (config.self.empty())
        return;
    {
        file_lock probe;
        if (!probe.take(config.index + ".lock", false))
            return; // being made
    }
    // A request is answered whether or not the making could start.
    (void)start_detached(config.self, "--index-quietly");
}

} // namespace

index_making make_site_index(const site_config& config, bool wait)
{
    input_file catalogue;
    if (!catalogue.open(config.catalogue.c_str()))
        return index_making::failed;
    file_identity identity;
    if (!catalogue.is_regular() || !catalogue.identify(identity))
        return index_making::not_regular;
    file_lock lock;
    if (!lock.take(config.index + ".lock", wait))
        return wait ? index_making::failed : index_making::busy;
    {
        position_index present;
        if (present.open(config.index, identity) == index_state::usable)
            return index_making::current;
    }
    // Holding the lock, nobody else writes the index: a temporary file of
    // it is what a making that was stopped (killed, the power gone) left.
    remove_left_temporaries(config.index);
    std::vector<char> bytes;
    if (!build_index(catalogue, bytes) || !replace_file(config.index, bytes.data(), bytes.size()))
        return index_making::failed;
    return index_making::made;
}

const char* index_making_text(index_making making)
{
    switch (making) {
    case index_making::made:
        return "The position index of the catalogue is made.";
    case index_making::current:
        return "The position index describes the catalogue already.";
    case index_making::busy:
        return "The position index is being made by another process.";
    case index_making::not_regular:
        return "The catalogue is no regular file; it is not indexed.";
    case index_making::failed:
        return "The position index could not be made (the catalogue could not be read, or "
               "the index not written).";
    }
    return "";
}

reading_outcome site_cone_entries(const site_config& config, input_file& file, const cone& area,
                                  const answer_sink& sink)
{
    file_identity identity;
    if (file.is_regular() && file.identify(identity)) {
        position_index index;
        const index_state state = index.open(config.index, identity);
        if (state == index_state::usable) {
            std::vector<cone_entry> entries;
            const cone_window window{area.centre().ascension, area.centre().declination,
                                     area.radius()};
            const indexed_answer answer = indexed_cone(
                index, file, window, [&](double ra, double dec) { return area.holds({ra, dec}); },
                entries);
            if (answer == indexed_answer::answered) {
                for (const cone_entry& e : entries) {
                    const sky_degrees position = position_2000(e.entry);
                    if (!sink(answer_entry{static_cast<long long>(e.ordinal) + 1, &e.entry,
                                           area.distance_to(position)}))
                        break;
                }
                return reading_outcome::read;
            }
            if (answer == indexed_answer::failed) {
                // Its header passed, but not its rows: it goes, to be made anew.
                (void)remove_file(config.index);
                make_in_background(config);
            }
        } else {
            make_in_background(config);
        }
    }
    text_source text;
    text.file = &file;
    return cone_entries(text, area, sink);
}

} // namespace tarnvel
