// Storage of the catalogue's records: they are carved out of large blocks,
// constructed in place, and live until the process ends.
#ifndef TARNVEL_INPUT_RECORD_POOL_H
#define TARNVEL_INPUT_RECORD_POOL_H

class record;

// A freshly constructed record (record::record()) that stays valid until the
// process ends or release_records() is called. Never null: when memory runs
// out the program prints that the page has not been created and ends,
// since no answer can be given from a catalogue read in part.
record* allocate_record();

// Gives back every block allocate_record has handed out. Only for tests and
// fuzz harnesses that read catalogues repeatedly in one process.
void release_records();

#endif
