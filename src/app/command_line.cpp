// The usage text and the version.
#include "app/command_line.h"
#include "system/process.h"

#include <cstdio>
#include <cstring>

namespace tarnvel {

#ifndef TARNVEL_VERSION
#error "TARNVEL_VERSION names the version, from the build"
#endif

namespace {

const char usage[] =
    "Usage: tarnvel [--help | --version]\n"
    "\n"
    "Answers one query against a catalogue of QSOs with absorption-line systems\n"
    "and publishes the answer as an HTML page. Run it in the directory that holds\n"
    "\n"
    "  style.var        the look of the results table (optional)\n"
    "  query.frm        the query: the epoch and the intervals of right ascension,\n"
    "                   declination, redshift and both magnitudes\n"
    "  quasar_list.dat  the catalogue: 17 '$'-ended fields per entry, closed by a\n"
    "                   line that holds only '$'\n"
    "\n"
    "It writes the page to results.html in the same directory and reports on\n"
    "standard output; the exit status is 0, whatever happened.\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "      --version  print the version and exit\n"
    "\n"
    "The manual: man tarnvel (in the sources: man ./tarnvel.1).\n";

} // namespace

bool answer_command_line(int argc, char** argv)
{
    if (argc != 2)
        return false;
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        console_write(usage);
        return true;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        console_write("tarnvel " TARNVEL_VERSION "\n");
        return true;
    }
    return false;
}

} // namespace tarnvel
