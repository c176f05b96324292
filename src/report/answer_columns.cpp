// The columns of the machine-readable answers and the cells of a row.
#include "report/answer_columns.h"

#include <cstring>

#include "decimal/shortest.h"

namespace tarnvel {

namespace {

constexpr double seconds_of_time_per_degree = 240.0;
constexpr double seconds_of_arc_per_degree = 3600.0;

const table_column recno = {"recno",
                            "int",
                            nullptr,
                            nullptr,
                            "ID_MAIN",
                            nullptr,
                            "The entry's number in the catalogue, counted from 1"};
const table_column name = {"Name",  "unicodeChar",           "*", nullptr, "meta.id",
                           nullptr, "The entry's first name"};
const table_column ra = {"RAJ2000",
                         "double",
                         nullptr,
                         "deg",
                         "POS_EQ_RA_MAIN",
                         "J2000",
                         "Right ascension at epoch and equinox J2000 (FK5)"};
const table_column dec = {"DEJ2000",
                          "double",
                          nullptr,
                          "deg",
                          "POS_EQ_DEC_MAIN",
                          "J2000",
                          "Declination at epoch and equinox J2000 (FK5)"};
const table_column lower_limit = {
    "l_z", "char", "*", nullptr, "meta.code.qual", nullptr, "'>' when z is a lower limit"};
const table_column redshift = {"z",     "double",           nullptr, nullptr, "src.redshift",
                               nullptr, "Emission redshift"};
const table_column magnitude = {
    "Vmag", "double", nullptr, "mag", "phot.mag;em.opt.V", nullptr, "Apparent magnitude V"};
const table_column absolute = {
    "Mabs", "double", nullptr, "mag", "phys.magAbs", nullptr, "Absolute magnitude M"};
const table_column ra_1950 = {"RAB1950",
                              "double",
                              nullptr,
                              "deg",
                              "pos.eq.ra",
                              "B1950",
                              "Right ascension at epoch and equinox B1950 (FK4)"};
const table_column dec_1950 = {"DEB1950",
                               "double",
                               nullptr,
                               "deg",
                               "pos.eq.dec",
                               "B1950",
                               "Declination at epoch and equinox B1950 (FK4)"};
const table_column second_name = {
    "Name2", "unicodeChar", "*", nullptr, "meta.id", nullptr, "The entry's second name"};
const table_column distance = {"_r",
                               "double",
                               nullptr,
                               "deg",
                               "pos.angDistance",
                               nullptr,
                               "Distance from the centre of the cone"};

void set_number(table_cell& cell, double value)
{
    cell.kind = table_cell::number;
    cell.value.clear();
    append_shortest(cell.value, value);
}

void set_text(table_cell& cell, const char* text)
{
    cell.kind = table_cell::text;
    cell.value.assign(text, std::strlen(text));
}

void set_null(table_cell& cell)
{
    cell.kind = table_cell::null;
    cell.value.clear();
}

void set_magnitude(table_cell& cell, double value)
{
    if (value == no_value_magnitude)
        set_null(cell);
    else
        set_number(cell, value);
}

} // namespace

const std::vector<table_column>& answer_columns(table_detail detail)
{
    static const std::vector<table_column> least = {recno, name, ra, dec};
    static const std::vector<table_column> usual = {recno,       name,     ra,         dec,
                                                    lower_limit, redshift, magnitude,  absolute,
                                                    ra_1950,     dec_1950, second_name};
    static const std::vector<table_column> most = {recno,       name,     ra,          dec,
                                                   lower_limit, redshift, magnitude,   absolute,
                                                   ra_1950,     dec_1950, second_name, distance};
    switch (detail) {
    case table_detail::least:
        return least;
    case table_detail::usual:
        break;
    case table_detail::most:
        return most;
    }
    return usual;
}

void answer_cells(const table_row& row, table_detail detail, std::vector<table_cell>& cells)
{
    const record& r = *row.entry;
    cells.resize(answer_columns(detail).size());
    cells[0].kind = table_cell::number;
    cells[0].value.clear();
    append_integer(cells[0].value, row.number);
    set_text(cells[1], r.name_I.text);
    set_number(cells[2], r.coords_2000.ascension.value() / seconds_of_time_per_degree);
    set_number(cells[3], r.coords_2000.declination.value() / seconds_of_arc_per_degree);
    if (detail == table_detail::least)
        return;
    const bool limit = r.redshift > lower_limit_threshold;
    if (limit)
        set_text(cells[4], ">");
    else
        set_null(cells[4]);
    set_number(cells[5], limit ? r.redshift / lower_limit_scale : r.redshift);
    set_magnitude(cells[6], r.apparent_magnitude);
    set_magnitude(cells[7], r.absolute_magnitude);
    set_number(cells[8], r.coords_1950.ascension.value() / seconds_of_time_per_degree);
    set_number(cells[9], r.coords_1950.declination.value() / seconds_of_arc_per_degree);
    set_text(cells[10], r.name_II.text);
    if (detail == table_detail::most)
        set_number(cells[11], row.distance);
}

} // namespace tarnvel
