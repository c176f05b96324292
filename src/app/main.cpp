// The program's entry: answers --help and --version, or runs every phase of
// a query once, in order, and prints the closing line. The exit status is 0
// on every path.
#include <cstdio>

#include "app/command_line.h"
#include "input/catalogue_entries.h"
#include "input/readers.h"
#include "model/string.h"
#include "report/page.h"
#include "select/selection.h"
#include "state/state.h"
#include "system/process.h"

namespace tarnvel {

namespace {

// The closing line of a run that writes no page. Returns the exit status.
int end_without_page()
{
    console_write("\nError: File results.html has not been created\n");
    return 0;
}

} // namespace

} // namespace tarnvel

int main(int argc, char** argv)
{
    using namespace tarnvel;
    settle_standard_streams();
    if (answer_command_line(argc, argv))
        return 0;

    init_style_variables();
    if (ran_out_of_memory)
        return end_without_page();

    if (init_query_parameters() == 0) {
        if (ran_out_of_memory)
            return end_without_page();
        console_write("Query input error: file results.html has not been created\n");
        return 0;
    }

    // Reading, normalisation, count and selection run fused, entry by entry,
    // in one pass over the catalogue: Read_record_list reads each entry into
    // scratch space, applies Correct_record_list's rule and count to it and
    // result_list_generator's test (query_test), and keeps in the list only
    // the entries that pass (DB_First, the head record, is there in any
    // case). Kept apart, the three phases would hold a record of every entry
    // until the process ends, so that memory and time followed the
    // catalogue instead of the answer. result_list_generator then chains the
    // list's records that pass, and reports an epoch it does not know, after
    // the whole catalogue has been read and counted, as it always did.
    //
    // A catalogue that cannot be read ends the run: an answer from no
    // catalogue would replace the last good page with an empty one.
    string catalogue_name("quasar_list.dat");
    const query_test selected;
    const entry_test keep_selected(selected);
    if (Read_record_list(catalogue_name.text, &keep_selected) != 0)
        return end_without_page();

    if (result_list_generator() != 0) {
        console_write("result list error\n");
        return end_without_page();
    }

    if (Query_Result_generator() != 0)
        return end_without_page();
    console_write("\nFile results.html has been created successfully\n");
    return 0;
}
