// The eleven fields of a query as a browser sends them, and the strict
// grammar each must follow before anything is written: no line end, '=',
// NUL or other control byte can reach "query.frm".
#ifndef TARNVEL_CGI_FORM_FIELDS_H
#define TARNVEL_CGI_FORM_FIELDS_H

#include <string>

namespace tarnvel {

// The grammars of the fields (in this order: a table of their texts follows
// it).
enum class field_kind {
    epoch,       // digits
    ascension,   // hh:mm:ss, seconds with an optional fraction
    declination, // a sign, then dd:mm:ss
    number,      // a number in decimal notation
};

// One field of the form.
struct field_rule {
    const char* key;        // its name in the request ("ra_min")
    const char* label;      // its visible label on the form
    const char* form_label; // its label in "query.frm"
    field_kind kind;
    const char* hint; // the accepted notation, for the reader
};

constexpr int query_field_count = 11;
extern const field_rule query_fields[query_field_count];

// The longest value a field takes.
constexpr std::size_t max_value_length = 40;

// A query as sent: each field's decoded text and, where it breaks its
// grammar or is missing or repeated, what is wrong with it.
struct query_request {
    std::string values[query_field_count];
    const char* faults[query_field_count] = {};
    bool valid() const;
};

// The query of a request body or query string in the encoding
// application/x-www-form-urlencoded ('+' for a blank, %HH for any byte,
// pairs joined by '&'): every field of query_fields checked against its
// grammar. Unknown fields are ignored.
query_request decode_query(const std::string& encoded);

// Decodes one encoded key or value into `decoded`; false when a '%' is not
// followed by two hexadecimal digits.
bool decode_component(const std::string& encoded, std::string& decoded);

// True when `text` follows the grammar of `kind`.
bool follows_grammar(field_kind kind, const std::string& text);

// The grammar of `kind` as an HTML pattern attribute's value.
const char* grammar_pattern(field_kind kind);

// "query.frm" for a valid request: a title line, then one value a line,
// each behind its label and '='.
std::string query_form_text(const query_request& request);

// A request with the demo's values, all valid.
query_request demo_request();

} // namespace tarnvel

#endif
