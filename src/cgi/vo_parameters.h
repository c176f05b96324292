// The parameters of the machine-readable requests: a cone search's (RA,
// DEC, SR, VERB, MAXREC, RESPONSEFORMAT; names in any case, unknown ones
// ignored) and the answer format the form's query may ask for.
#ifndef TARNVEL_CGI_VO_PARAMETERS_H
#define TARNVEL_CGI_VO_PARAMETERS_H

#include <string>

#include "report/answer_columns.h"

namespace tarnvel {

// The rows a cone search answers when MAXREC does not say, and the most it
// answers whatever MAXREC says.
constexpr long long default_max_records = 10000;
constexpr long long hard_max_records = 100000;

// The largest search radius, in degrees.
constexpr double max_search_radius = 180.0;

// How an answer is written, and the media type it is sent as.
struct answer_format {
    enum kind_t { page, votable, csv } kind = page;
    const char* media_type = "text/html";
};

// The format named by a RESPONSEFORMAT value: "votable" (text/xml),
// "application/x-votable+xml" (sent as such), "text/xml", "csv" or
// "text/csv" (text/csv), "html" or "text/html" (the page), in any case.
// False for any other value.
bool read_answer_format(const std::string& value, answer_format& format);

// A cone search as asked.
struct cone_request {
    double ascension = 0.0;   // degrees, reduced to 0 <= RA < 360
    double declination = 0.0; // degrees, -90..90
    double radius = 0.0;      // degrees, 0..180
    table_detail detail = table_detail::usual;
    long long max_records = default_max_records; // at most hard_max_records
    answer_format format{answer_format::votable, "text/xml"};
    std::string error; // why the request cannot be answered; empty when it can
};

// The cone search of the query string `encoded`
// (application/x-www-form-urlencoded). An error is a missing, repeated or
// undecodable RA, DEC or SR, a value that is no decimal number or lies out
// of range, a VERB other than 1, 2 or 3, a MAXREC that is no whole number,
// or a RESPONSEFORMAT not offered; the first found is told.
cone_request read_cone_request(const std::string& encoded);

// The RESPONSEFORMAT of a form's query `encoded`, into `format`; false,
// with `error` set, when it is repeated, undecodable or not offered. No
// RESPONSEFORMAT leaves the page.
bool read_form_answer_format(const std::string& encoded, answer_format& format, std::string& error);

// The decimal number that `text` holds whole (blanks around it allowed),
// into `value`; false when it holds anything else or nothing.
bool read_decimal(const std::string& text, double& value);

} // namespace tarnvel

#endif
