// The program's entry: runs every phase of a query once, in order, and
// prints the closing line. The exit status is 0 on every path.
#include <cstdio>

#include "app/state.h"
#include "input/readers.h"
#include "model/string.h"
#include "report/page.h"
#include "select/selection.h"

int main()
{
    init_style_variables();

    if (init_query_parameters() == 0) {
        std::fputs("Query input error: file results.html has not been created\n", stdout);
        return 0;
    }

    string catalogue_name("quasar_list.dat");
    Read_record_list(catalogue_name.text);
    Correct_record_list();

    if (result_list_generator() != 0) {
        std::fputs("result list error\n", stdout);
        std::fputs("\nError: File results.html has not been created\n", stdout);
        return 0;
    }

    if (Query_Result_generator() != 0)
        std::fputs("\nError: File results.html has not been created\n", stdout);
    else
        std::fputs("\nFile results.html has been created successfully\n", stdout);
    return 0;
}
