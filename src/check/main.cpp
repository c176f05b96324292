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
    "The manual: man tarnvel-check; the README's section \"Checking the input files\".\n";

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

} // namespace

int main(int argc, char** argv)
{
    settle_standard_streams();
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::fputs("tarnvel-check " TARNVEL_VERSION "\n", stdout);
        return 0;
    }
    if (argc > 2 || (argc == 2 && argv[1][0] == '-' && argv[1][1] != '\0')) {
        std::fputs(usage, stderr);
        return 2;
    }
    const std::string directory = argc == 2 ? argv[1] : "";
    bool unreadable = false;

    file_findings catalogue_findings("quasar_list.dat");
    checked_file catalogue(directory, "quasar_list.dat");
    const long long entries = catalogue.opened ? check_catalogue(catalogue.text, catalogue_findings) : -1;
    if (entries < 0) {
        catalogue_findings.add_for_file(severity::error,
                                        "cannot be read: tarnvel prints \"error open file "
                                        "quasar_list.dat\" and writes no page");
        unreadable = true;
    }

    file_findings query_findings("query.frm");
    checked_file query(directory, "query.frm");
    if (!query.opened || !check_query_form(query.text, query_findings)) {
        query_findings.add_for_file(severity::error,
                                    "cannot be read: tarnvel prints \"error of opening file "
                                    "query.form\" and writes no page");
        unreadable = true;
    }

    file_findings style_findings("style.var");
    checked_file style(directory, "style.var");
    if (!style.opened || !check_style_file(style.text, style_findings))
        style_findings.add_for_file(severity::note,
                                    "missing, or it cannot be read: tarnvel prints \"error of "
                                    "opening file style.var\" and writes the table without "
                                    "style values");

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
