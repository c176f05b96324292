// The oracle of the catalogue's readings: the catalogue list as text, every
// field of every record bit for bit, so that two readings compare as two
// strings. Tests and fuzz targets share it; it needs no test framework.
#ifndef TARNVEL_TESTS_RECORD_TEXT_H
#define TARNVEL_TESTS_RECORD_TEXT_H

#include <string>

namespace tarnvel {

class record;

// One record as one line: its two names, then its fifteen numbers in
// hexadecimal floating point and the signs of its four arcs.
std::string record_text(const record& entry);

// The list from DB_First along `next`: per record its two names, then its
// fifteen numbers in hexadecimal floating point and the signs of its four
// arcs, one line per record.
std::string catalogue_list_text();

} // namespace tarnvel

#endif
