// Read_record_list: the catalogue file, opened once and read on every core.
#include "input/catalogue_parts.h"
#include "input/readers.h"
#include "state/state.h"
#include "system/input_file.h"
#include "system/process.h"

namespace tarnvel {

int Read_record_list(const char* file_name, const entry_test* test)
{
    input_file file;
    reading_outcome outcome = reading_outcome::cannot_open;
    long long records = 0;
    if (file.open(file_name)) {
        text_source text;
        text.file = &file;
        catalogue_shape shape;
        shape.parts = max_catalogue_parts;
        shape.threads = processor_count();
        outcome = read_catalogue(text, shape, test, &records);
    }
    report_unread(outcome,
                  {"error open file ", file_name, "not enough memory for the catalogue\n"});
    if (outcome != reading_outcome::read)
        return 1;
    if (test != nullptr)
        total_number += static_cast<int>(records);
    return 0;
}

} // namespace tarnvel
