// The one file-system operation the standard library lacks in portable form:
// putting a finished file in the place of another.
#ifndef TARNVEL_REPORT_FILE_REPLACE_H
#define TARNVEL_REPORT_FILE_REPLACE_H

// Renames `from` to `to`, replacing an existing `to` in one step (on POSIX
// systems readers see either the old or the new file, never a part); an
// existing `to` passes its permission bits on to the new file. Returns true
// on success; on failure both files are as they were.
bool replace_file(const char* from, const char* to);

#endif
