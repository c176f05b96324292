// The spool of the CGI program on POSIX systems: directories that must be
// this account's own, the removal of request directories whose run is long
// over, and the room left on the spool's file system. Not built for Windows.
#ifndef TARNVEL_SYSTEM_SPOOL_H
#define TARNVEL_SYSTEM_SPOOL_H

#include <string>

namespace tarnvel {

// What a directory that must be this account's own was found to be.
enum class private_check {
    fine,           // a directory (no link) of this account, writable by it alone
    not_directory,  // something else, or a symbolic link, stands there
    other_owner,    // another account owns it
    open_to_others, // its group or other accounts may write it
    failed,         // it could not be made, or examined
};

// Makes the directory `path` (mode 0700) where it does not exist, then
// checks it without following a link (lstat), and again through the opened
// directory (fstat), so that nothing put in its place meanwhile passes.
private_check make_private_directory(const std::string& path);

// True when accounts other than the owner and its group may write the
// directory `path` and its sticky bit does not keep them from removing or
// renaming others' files.
bool open_to_every_account(const std::string& path);

// The default spool: "<temporary directory>/tarnvel-cgi.<account number>",
// made private to this account by make_private_directory.
std::string default_spool();

// Removes the request directories of `parent` (named `prefix` and six more
// characters, as private_directory makes them) that belong to this account,
// were last changed more than `age` seconds ago, and whose lock no process
// holds any more: those of a run whose CGI program was killed. Links and
// anything else are left alone. Returns how many were removed.
int remove_abandoned_directories(const std::string& parent, const char* prefix, int age);

// The bytes an unprivileged process may still write on the file system of
// `path`; -1 when unknown.
long long free_room(const std::string& path);

} // namespace tarnvel

#endif
