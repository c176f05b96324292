// What the program settles with its process before it opens any file.
#ifndef TARNVEL_APP_PROCESS_SETUP_H
#define TARNVEL_APP_PROCESS_SETUP_H

// Opens the null device on each standard stream (input, output, error) that
// the program was started without, so that no file the run opens takes a
// standard stream's place and receives the console's text; and ignores a
// broken pipe on the console (SIGPIPE), so that a console nobody reads
// any more does not stop the run: its writes merely fail.
void settle_standard_streams();

#endif
