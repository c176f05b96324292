// What the program settles with its process before it does anything else,
// and what it asks of the machine.
#ifndef TARNVEL_SYSTEM_PROCESS_H
#define TARNVEL_SYSTEM_PROCESS_H

namespace tarnvel {

// Opens the null device on each standard stream (input, output, error) that
// the program was started without, so that no file the program opens takes
// a standard stream's place and receives the console's text. Ignores a
// broken pipe on the console (SIGPIPE), so that a console nobody reads any
// more does not end the program (its writes merely fail), and a file grown
// beyond the size limit (SIGXFSZ), so that such a write fails as a full
// disk does.
void settle_standard_streams();

// Writes `text` (console_put: the character `c`) to the console, standard
// output. A write that fails (a console closed, or a pipe nobody reads) is
// not reported: the console is where the program reports, and its exit
// status is 0 whatever happens.
void console_write(const char* text);
void console_put(char c);

// The number of processors the program may run threads on: those of the
// process's CPU set (taskset, cpuset, a container's), or where the system
// does not tell, the machine's; 1 when unknown.
int processor_count();

} // namespace tarnvel

#endif
