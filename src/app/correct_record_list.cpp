// Normalisation and count of the catalogue list.
#include "app/correct_record_list.h"

#include "state/record_pool.h"
#include "state/state.h"

namespace tarnvel {

int Correct_record_list()
{
    record* current = &DB_First;
    do {
        prefetch_ahead(current);
        current->coords_2000.declination.corrector();
        current->coords_1950.declination.corrector();
        current = current->next;
        ++total_number;
    } while (current != nullptr);
    return 0;
}

} // namespace tarnvel
