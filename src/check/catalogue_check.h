// The check of a catalogue: read entry by entry as tarnvel reads it, each
// entry looked at for the slips that make tarnvel read something else than
// what was meant, in memory that does not grow with the catalogue (but for
// one number per entry, to find first names that come twice).
#ifndef TARNVEL_CHECK_CATALOGUE_CHECK_H
#define TARNVEL_CHECK_CATALOGUE_CHECK_H

#include "check/findings.h"
#include "input/scan_stream.h"

namespace tarnvel {

// Reports in `findings` what `text` (the catalogue "quasar_list.dat")
// holds that tarnvel reads otherwise than written, probably not as meant,
// or worth knowing. Returns the number of records tarnvel makes of it (its
// "Total number of records"); -1 when the text cannot be read.
long long check_catalogue(const text_source& text, file_findings& findings);

} // namespace tarnvel

#endif
