// The site's position index: made by `tarnvel-cgi --index` or in the
// background after a cone found none that describes the catalogue, and
// used by the cone search whenever it describes the very file the request
// opened; otherwise the cone reads the catalogue whole, as without it.
#ifndef TARNVEL_CGI_CATALOGUE_INDEX_H
#define TARNVEL_CGI_CATALOGUE_INDEX_H

#include <string>

#include "cgi/catalogue_answers.h"
#include "cgi/config.h"
#include "system/input_file.h"

namespace tarnvel {

// How a making of the index went.
enum class index_making {
    made,        // a new index is in place
    current,     // the index in place describes the catalogue already
    busy,        // another process is making it (only without waiting)
    not_regular, // the catalogue is no regular file: it is never indexed
    failed,      // the catalogue could not be read, or the index not written
};

// Makes the index of the site's catalogue at config.index unless the one
// there describes the catalogue, holding the lock "<index>.lock" meanwhile;
// with `wait`, waits for another process that holds it, else gives up at
// once. The index is written beside its place and renamed into it: a
// failure (a full disk) leaves no part of it and the old one as it was.
index_making make_site_index(const site_config& config, bool wait);

// The text of `making` for the console.
const char* index_making_text(index_making making);

// Hands `sink` the entries of the open catalogue `file` within `area`, as
// cone_entries does: through the index when it describes `file` (its
// identity now), otherwise, or when the index fails a check (it is then
// removed), by reading the file whole, and then starts a making of the index in the background
// (config.self with "--index-quietly") unless one is under way. Returns how
// the catalogue was read.
reading_outcome site_cone_entries(const site_config& config, input_file& file, const cone& area,
                                  const answer_sink& sink);

} // namespace tarnvel

#endif
