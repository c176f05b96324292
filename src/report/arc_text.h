// The text of an arc on the page: the query summary's bounds and the
// results table's positions, written by one function.
#ifndef TARNVEL_REPORT_ARC_TEXT_H
#define TARNVEL_REPORT_ARC_TEXT_H

#include "decimal/format.h"
#include "model/arc.h"

namespace tarnvel {

// How the seconds of an arc are written.
enum class seconds_form {
    truncated, // "%-2.2i" of the seconds truncated: the query summary's bounds
    general,   // "0" below 10, then "%-8.6g": the results table's positions
};

// The most characters put_arc_text writes, its slack included.
constexpr int max_arc_text = 4 * max_number_text;

// Writes at `at` the arc's text: "-" when `with_sign` and the arc's sign is
// negative (declinations only; a right ascension never gets a sign), the
// units and the minutes truncated toward zero with "%-2.2i", each followed
// by ':', then the seconds as `form` says. Returns the end of the text.
char* put_arc_text(char* at, const arc& a, bool with_sign, seconds_form form);

} // namespace tarnvel

#endif
