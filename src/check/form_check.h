// The checks of the two forms, "query.frm" and "style.var", read as tarnvel
// reads them.
#ifndef TARNVEL_CHECK_FORM_CHECK_H
#define TARNVEL_CHECK_FORM_CHECK_H

#include "check/findings.h"
#include "input/scan_stream.h"

namespace tarnvel {

// Reports in `findings` what the query form `text` holds that tarnvel reads
// otherwise than written, refuses, or probably does not read as meant.
// Returns false when the text cannot be read.
bool check_query_form(const text_source& text, file_findings& findings);

// The same for the style file `text`.
bool check_style_file(const text_source& text, file_findings& findings);

} // namespace tarnvel

#endif
