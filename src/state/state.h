// The process-wide state of a run: style settings, counters, query bounds,
// the head of the catalogue list and the head of the selected chain.
// Each phase fills some of these and the later phases read them.
#ifndef TARNVEL_STATE_STATE_H
#define TARNVEL_STATE_STATE_H

#include "model/arc.h"
#include "model/record.h"
#include "state/record_pool.h"

namespace tarnvel {

// Style of the results table (read from "style.var").
extern int border;
extern int width;
extern int height;
extern char color_interchange;
extern char table_align; // no input sets it: 'c' throughout the run
extern char header_align;
extern char cell_align;

// Counters.
extern int total_number;       // records in the catalogue list
extern int number_of_selected; // records in the selected chain

// The query (read from "query.frm").
extern int epoch;
extern arc minimal_declination;
extern arc maximal_declination;
extern arc minimal_ascension;
extern arc maximal_ascension;
extern double min_redshift;
extern double max_redshift;
extern double min_apparent_magnitude;
extern double max_apparent_magnitude;
extern double min_absolute_magnitude;
extern double max_absolute_magnitude;

// The catalogue list starts at the static DB_First and follows `next`; the
// selected chain starts at First_Selected and follows `next_selected`.
extern record DB_First;
extern record* First_Selected;

// Where every record of the catalogue list after DB_First lives.
extern record_pool catalogue_records;

// Set by a phase that ran out of memory, after it printed so: the run ends
// without a page.
extern bool ran_out_of_memory;

// Gives every global above its initial value again and releases the
// catalogue records allocated so far. The program runs once per process and
// never calls it; tests and fuzz harnesses that run phases repeatedly do.
void reset_run_state();

// The part of reset_run_state that concerns the catalogue list, the selected
// chain and the two counters, leaving the style and the query as they are.
void reset_catalogue_state();

} // namespace tarnvel

#endif
