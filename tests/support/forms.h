// The input files that tests write: query forms, style files and catalogue
// entries, built in one place.
#ifndef TARNVEL_TESTS_FORMS_H
#define TARNVEL_TESTS_FORMS_H

#include <string>

namespace tarnvel {

// The eleven values of a query form, in file order; by default those of the
// demo's form (a valid query).
struct query_values {
    std::string epoch = "2000";
    std::string ra_min = "02:30:00";
    std::string ra_max = "14:00:30.5";
    std::string dec_min = "-30:00:00";
    std::string dec_max = "+45:15:00";
    std::string z_min = "1.5";
    std::string z_max = "4";
    std::string v_min = "10";
    std::string v_max = "20";
    std::string m_min = "-30";
    std::string m_max = "-20";
};

// Bounds that every entry passes, at either epoch.
query_values everything();

// Bounds that about one in 120 of generated_catalogue's entries pass: the
// right ascensions of hour 2 and the redshifts from 2 to 3.
query_values one_percent();

// A query form: one value a line, each behind its label ("Epoch=2000\n",
// "Minimal right ascension=...\n", ...).
std::string query_form(const query_values& values = query_values());

// A style file of six lines with these values.
std::string style_file(const std::string& border, const std::string& width,
                       const std::string& height, char colours, char header, char cells);

// The demo's style: border 1, width 80, height 50, alternating colours,
// header centred, cells left.
std::string demo_style();

// One catalogue line: the first name, the fifteen numeric fields as one text
// of '$'-separated numbers, the second name, each field ended by '$'.
std::string catalogue_entry(const std::string& name_1, const std::string& numbers,
                            const std::string& name_2);

// A catalogue of `entries` entries of varied positions, redshifts and
// magnitudes, every one inside everything(), closed by its "$" line.
std::string generated_catalogue(int entries);

} // namespace tarnvel

#endif
