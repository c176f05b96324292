// What a child process settles before it starts another program, on POSIX
// systems: pipes and the null device opened close-on-exec, no descriptor
// but the standard streams left open, its end tied to its parent's, and a
// limit on the size of the files it writes. For the CGI program; not built
// for Windows.
#ifndef TARNVEL_SYSTEM_CHILD_SETUP_H
#define TARNVEL_SYSTEM_CHILD_SETUP_H

namespace tarnvel {

// Makes a pipe, `ends[0]` to read and `ends[1]` to write, both closed on
// exec (in one step where the system can, pipe2). False on failure.
bool open_private_pipe(int ends[2]);

// The null device opened for reading, closed on exec; -1 on failure.
int open_null_device();

// Closes every descriptor above 2, whatever this process inherited: for a
// child just before it starts another program.
void close_descriptors_above_standard();

// Asks the system to kill this process (SIGKILL) when the process that
// started it ends, however it ends. `parent` is that process's number, read
// before the fork: false when it has ended already (the request came too
// late). Where the system offers no such request, true without one.
bool die_with_parent(long parent);

// This process's number, for die_with_parent.
long own_process_number();

// Limits every file this process (and what it starts) writes to `bytes`;
// a longer write fails as on a full disk, SIGXFSZ ignored. False on
// failure.
bool limit_file_size(long long bytes);

} // namespace tarnvel

#endif
