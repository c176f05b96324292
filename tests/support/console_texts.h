// The program's fixed console texts that many tests expect, in one place.
#ifndef TARNVEL_TESTS_CONSOLE_TEXTS_H
#define TARNVEL_TESTS_CONSOLE_TEXTS_H

#include <string>

namespace tarnvel {

// The closing lines.
inline constexpr char page_created[] = "\nFile results.html has been created successfully\n";
inline constexpr char page_not_created[] = "\nError: File results.html has not been created\n";
inline constexpr char query_refused[] =
    "Query input error: file results.html has not been created\n";

// The rules text of a refused query.
inline constexpr char query_rules[] =
    "Error: parameters have to be the following:\n"
    "-90:00:00<=declination<=90:00:00,  00:00:00<=ascension<=24:00:00,  redshift>=0,\n"
    "00<=min<=59,  00<=sec<60 \n";

// The report of a skip that gave up, for '=' and for '$'.
inline constexpr char label_stop_lost[] = "file read message: stop_signal '=' lost\n";
inline constexpr char field_stop_lost[] = "file read message: stop_signal '$' lost\n";

// `text` `times` times over, as a reader prints one report per skip.
inline std::string repeated(const char* text, int times)
{
    std::string all;
    for (int i = 0; i < times; ++i)
        all += text;
    return all;
}

// The report of a missing style file.
inline constexpr char no_style_file[] = "error of opening file style.var\n";

} // namespace tarnvel

#endif
