// The program's entry: answers --help and --version, or runs every phase of
// a query once, in order, and prints the closing line. The exit status is 0
// on every path.
#include <cstdio>

#include "app/command_line.h"
#include "input/correct_record_list.h"
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

    // A catalogue that cannot be read ends the run: an answer from no
    // catalogue would replace the last good page with an empty one.
    string catalogue_name("quasar_list.dat");
    if (Read_record_list(catalogue_name.text) != 0)
        return end_without_page();
    Correct_record_list();

    if (result_list_generator() != 0) {
        console_write("result list error\n");
        return end_without_page();
    }

    if (Query_Result_generator() != 0)
        return end_without_page();
    console_write("\nFile results.html has been created successfully\n");
    return 0;
}
