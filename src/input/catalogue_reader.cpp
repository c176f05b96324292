// Read_record_list: the catalogue file, opened once and read on every core.
#include <algorithm>

#include "input/catalogue_parts.h"
#include "input/readers.h"
#include "system/input_file.h"
#include "system/process.h"

namespace tarnvel {

int Read_record_list(const char* file_name)
{
    input_file file;
    reading_outcome outcome = reading_outcome::cannot_open;
    if (file.open(file_name)) {
        text_source text;
        text.file = &file;
        catalogue_shape shape;
        shape.parts = std::min(processor_count(), max_catalogue_parts);
        outcome = read_catalogue(text, shape);
    }
    report_unread(outcome,
                  {"error open file ", file_name, "not enough memory for the catalogue\n"});
    return outcome == reading_outcome::read ? 0 : 1;
}

} // namespace tarnvel
