// Checks of the machine-readable answers that need no library: whether a
// text is a well-formed XML 1.0 document (of the kind the program writes:
// an XML declaration, elements, attributes, character data and references;
// no DOCTYPE, comments or CDATA), and a CSV text split into its records.
// Tests and fuzz targets share them; they need no test framework.
#ifndef TARNVEL_TESTS_XML_CHECK_H
#define TARNVEL_TESTS_XML_CHECK_H

#include <string>
#include <vector>

namespace tarnvel {

// Empty when `text` is well-formed: valid UTF-8 holding only characters
// XML 1.0 allows, one root element, every element closed in order,
// attributes quoted and unique, no '<' or "]]>" in character data, every
// '&' a known entity or a character reference to an allowed character.
// Otherwise what is wrong first, and where.
std::string xml_fault(const std::string& text);

// The records of a CSV text (RFC 4180: fields separated by ',', records
// ended by CR LF, quoted fields with doubled quotes), each a list of its
// fields unquoted; false in `ok` when the text does not follow it.
std::vector<std::vector<std::string>> csv_records(const std::string& text, bool& ok);

} // namespace tarnvel

#endif
