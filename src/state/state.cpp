// Definitions and initial values of the process-wide state.
#include "state/state.h"

namespace tarnvel {

int border = 0;
int width = 0;
int height = 0;
char color_interchange = '\0';
char table_align = 'c';
char header_align = '\0';
char cell_align = '\0';
int total_number = 0;
int number_of_selected = 0;
int epoch = 2000;
arc minimal_declination;
arc maximal_declination;
arc minimal_ascension;
arc maximal_ascension;
double min_redshift = 0.0;
double max_redshift = 0.0;
double min_apparent_magnitude = 0.0;
double max_apparent_magnitude = 0.0;
double min_absolute_magnitude = 0.0;
double max_absolute_magnitude = 0.0;
record DB_First;
record* First_Selected = nullptr;
record_pool catalogue_records;
bool ran_out_of_memory = false;

void reset_run_state()
{
    border = 0;
    width = 0;
    height = 0;
    color_interchange = '\0';
    table_align = 'c';
    header_align = '\0';
    cell_align = '\0';
    epoch = 2000;
    minimal_declination = arc();
    maximal_declination = arc();
    minimal_ascension = arc();
    maximal_ascension = arc();
    min_redshift = 0.0;
    max_redshift = 0.0;
    min_apparent_magnitude = 0.0;
    max_apparent_magnitude = 0.0;
    min_absolute_magnitude = 0.0;
    max_absolute_magnitude = 0.0;
    ran_out_of_memory = false;
    reset_catalogue_state();
}

void reset_catalogue_state()
{
    total_number = 0;
    number_of_selected = 0;
    DB_First = record();
    First_Selected = nullptr;
    catalogue_records.release();
}

} // namespace tarnvel
