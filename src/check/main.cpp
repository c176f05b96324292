// tarnvel-check: the input files of a directory read exactly as tarnvel
// reads them, with every surprise pointed out. Prints one line per finding,
// then one summary line per file, and writes no file. The exit status is 0
// without errors and warnings, 1 with any, 2 when the catalogue or the query
// form cannot be read.
#include <cstdio>
#include <cstring>
#include <string>

#include "check/catalogue_check.h"
#include "check/findings.h"
#include "check/form_check.h"
#include "system/input_file.h"
#include "system/process.h"

namespace tarnvel {

#ifndef TARNVEL_VERSION
#error "TARNVEL_VERSION names the version, from the build"
#endif

namespace {

const char usage[] =
    "Usage: tarnvel-check [DIRECTORY]\n"
    "       tarnvel-check --help | --version\n"
    "\n"
    "Reads quasar_list.dat, query.frm and style.var in DIRECTORY (the current\n"
    "directory by default) exactly as tarnvel reads them, and points out what\n"
    "tarnvel reads otherwise than written, what it refuses, and what is probably\n"
    "not meant, one line per finding:\n"
    "\n"
    "  FILE:LINE:COLUMN: error|warning|note: TEXT\n"
    "\n"
    "  error    tarnvel reads something other than what the text says\n"
    "  warning  read as written, but probably not meant\n"
    "  note     worth knowing\n"
    "\n"
    "then one summary line per file. It writes no file. The exit status is 0\n"
    "without errors and warnings, 1 with any, and 2 when quasar_list.dat or\n"
    "query.frm cannot be read.\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "      --version  print the version and exit\n"
    "\n"
    "The manual: man tarnvel-check; the guide (guide.md), section \"Checking the input files\".\n";

// A text to check: the file `name` of `directory`, opened once. A file that
// is no regular file (a FIFO) is read whole first, since it is read twice.
struct checked_file {
    input_file file;
    std::string held; // the text of a file that is no regular file
    text_source text;
    bool opened = false;

    checked_file(const std::string& directory, const char* name)
    {
        const std::string path = directory.empty() ? name : directory + "/" + name;
        opened = file.open(path.c_str());
        if (!opened)
            return;
        text.file = &file;
        if (file.is_regular())
            return;
        char chunk[1 << 16];
        for (long long got; (got = file.read(chunk, sizeof chunk)) > 0;)
            held.append(chunk, static_cast<std::size_t>(got));
        text.file = nullptr;
        text.data = held.data();
        text.size = held.size();
    }
};

// Checks the file of `findings` in `directory` with `check`, which returns
// whether it could read it; when the file cannot be opened or read, says so
// with `level` and `consequence`. Returns whether it was read.
template <typename Check>
bool check_file(const std::string& directory, file_findings& findings, Check check, severity level,
                const char* consequence)
{
    checked_file file(directory, findings.file_name());
    if (file.opened && check(file.text))
        return true;
    findings.add_for_file(level, consequence);
    return false;
}

} // namespace

} // namespace tarnvel

int main(int argc, char** argv)
{
    using namespace tarnvel;
    settle_standard_streams();
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        console_write(usage);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        console_write("tarnvel-check " TARNVEL_VERSION "\n");
        return 0;
    }
    if (argc > 2 || (argc == 2 && argv[1][0] == '-' && argv[1][1] != '\0')) {
        (void)std::fputs(usage, stderr); // a usage error: nowhere else to say so
        return 2;
    }
    const std::string directory = argc == 2 ? argv[1] : "";
    long long entries = -1;
    file_findings catalogue_findings("quasar_list.dat");
    const bool catalogue_read = check_file(
        directory, catalogue_findings,
        [&](const text_source& text) {
            return (entries = check_catalogue(text, catalogue_findings)) >= 0;
        },
        severity::error,
        "cannot be read: tarnvel prints \"error open file quasar_list.dat\" and writes no page");
    file_findings query_findings("query.frm");
    const bool query_read = check_file(
        directory, query_findings,
        [&](const text_source& text) { return check_query_form(text, query_findings); },
        severity::error,
        "cannot be read: tarnvel prints \"error of opening file query.form\" and writes no page");
    file_findings style_findings("style.var");
    check_file(
        directory, style_findings,
        [&](const text_source& text) { return check_style_file(text, style_findings); },
        severity::note,
        "missing, or it cannot be read: tarnvel prints \"error of opening file style.var\" and "
        "writes the table without style values");
    const bool unreadable = !catalogue_read || !query_read;

    catalogue_findings.print_summary(entries >= 0 ? counted(entries, "entry", "entries") : "");
    query_findings.print_summary("");
    style_findings.print_summary("");
    if (unreadable)
        return 2;
    const int faults = catalogue_findings.errors() + catalogue_findings.warnings() +
                       query_findings.errors() + query_findings.warnings() +
                       style_findings.errors() + style_findings.warnings();
    return faults > 0 ? 1 : 0;
}
