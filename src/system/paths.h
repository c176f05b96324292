// Paths on POSIX systems: the temporary directory, absolute paths, this
// program's own directory, and what a path names. For the CGI program; not
// built for Windows.
#ifndef TARNVEL_SYSTEM_PATHS_H
#define TARNVEL_SYSTEM_PATHS_H

#include <string>

namespace tarnvel {

// The system's directory for temporary files: TMPDIR, or /tmp.
std::string temporary_directory();

// `path` made absolute against the current directory (unchanged when it
// already is).
std::string absolute_path(const std::string& path);

// The directory that holds this program's own file, its links followed.
// The system tells it (Linux: /proc/self/exe; FreeBSD: the kern.proc.pathname
// sysctl, which needs no /proc); where it cannot, `argv0`, the program's
// first argument, is looked for as started_program_path does with PATH.
// Empty when it cannot be found.
std::string own_directory(const char* argv0);
// The file of this program itself, its links followed; empty when it
// cannot be found.
std::string own_program(const char* argv0);

// The file, its links followed, that a shell ran for the command name
// `argv0` with `search_path` as PATH (null: PATH unset, the system's default
// path): `argv0` itself when it holds a slash, else the first regular file
// this process may execute in the directories of `search_path` in order (an
// empty one is the current directory). Empty when there is none.
std::string started_program_path(const char* argv0, const char* search_path);

// True when `path` names a directory this process may write and enter.
bool is_writable_directory(const std::string& path);
// True when `path` names a regular file (through links) this process may read.
bool is_readable_file(const std::string& path);
// True when `path` names a file this process may execute.
bool is_executable(const std::string& path);

} // namespace tarnvel

#endif
