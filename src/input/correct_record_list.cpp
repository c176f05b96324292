// Normalisation and count of the catalogue list.
#include "input/correct_record_list.h"

#include "state/record_pool.h"
#include "state/state.h"

namespace tarnvel {

void correct_record(record& r)
{
    r.coords_2000.declination.corrector();
    r.coords_1950.declination.corrector();
}

int Correct_record_list()
{
    record* current = &DB_First;
    do {
        prefetch_ahead(current);
        correct_record(*current);
        current = current->next;
        ++total_number;
    } while (current != nullptr);
    return 0;
}

} // namespace tarnvel
