// The results table: opening tag, header row, one row per selected record.
#include "report/results_table.h"

#include <cstring>
#include <initializer_list>

#include "decimal/format.h"
#include "report/arc_text.h"
#include "report/style_words.h"
#include "state/record_pool.h"
#include "state/state.h"

namespace tarnvel {

namespace {

// The texts that every data row repeats, built once per table.
struct row_texts {
    char cell_open[64]; // "  <td align=\"...\">\n"
    std::size_t cell_open_length;
    char row_open[2][96]; // "<tr" [bgcolor] " align=\"...\">\n", by row parity
    std::size_t row_open_length[2];
};

std::size_t build(char* out, const char* first, const char* second, const char* third)
{
    char* at = out;
    for (const char* piece : {first, second, third}) {
        const std::size_t length = std::strlen(piece);
        // NOLINTNEXTLINE(bugprone-not-null-terminated-result): pieces of one text, ended later
        std::memcpy(at, piece, length);
        at += length;
    }
    return static_cast<std::size_t>(at - out);
}

void build_row_texts(row_texts& texts)
{
    const string cell_word = align_type_convert(cell_align);
    texts.cell_open_length = build(texts.cell_open, "  <td align=\"", cell_word.text, "\">\n");
    for (int parity = 0; parity < 2; ++parity) {
        char* at = texts.row_open[parity];
        std::size_t length = build(at, "<tr", "", "");
        if (color_interchange == 'y') {
            const string colour = color_change(parity);
            length += build(at + length, " bgcolor=\"", colour.text, "\"");
        }
        length += build(at + length, " align=\"", cell_word.text, "\">\n");
        texts.row_open_length[parity] = length;
    }
}

char* put_text(char* at, const char* text, std::size_t length)
{
    std::memcpy(at, text, length);
    return at + length;
}

// Copies the literal `text`, without its terminating NUL.
template <std::size_t size>
char* put_literal(char* at, const char (&text)[size])
{
    return put_text(at, text, size - 1);
}

// The table form of an arc: [-]hh:mm:ss.sss.
char* put_arc(char* at, const arc& a, bool with_sign)
{
    return put_arc_text(at, a, with_sign, seconds_form::general);
}

char* put_magnitude(char* at, double magnitude)
{
    if (magnitude == no_value_magnitude) {
        return put_literal(at, "&nbsp;");
    }
    return format_general(at, magnitude, 6, 9);
}

char* put_redshift(char* at, double redshift)
{
    if (redshift > lower_limit_threshold) {
        *at++ = '>';
        return format_general(at, redshift / lower_limit_scale, 6, 8);
    }
    return format_general(at, redshift, 6, 8);
}

// A cell is its opening line, its text and its closing line.
const char cell_close[] = "\n  </td>\n";

char* open_cell(char* at, const row_texts& texts)
{
    return put_text(at, texts.cell_open, texts.cell_open_length);
}

char* close_cell(char* at)
{
    return put_literal(at, cell_close);
}

char* put_name_cell(char* at, const row_texts& texts, const string& name)
{
    at = open_cell(at, texts);
    at = put_text(at, name.text, std::strlen(name.text));
    return close_cell(at);
}

// The right ascension's cell (no sign) and the declination's (with its sign).
char* put_position_cells(char* at, const row_texts& texts, const sky_coords& position)
{
    at = close_cell(put_arc(open_cell(at, texts), position.ascension, false));
    return close_cell(put_arc(open_cell(at, texts), position.declination, true));
}

// A row is at most 2 names of 99 characters, 7 numbers and some 600
// characters of markup: well within the room asked for.
constexpr std::size_t row_room = 2048;

void write_row(page_stream& out, const row_texts& texts, int parity, const record& r)
{
    char* at = out.room(row_room);
    at = put_text(at, texts.row_open[parity], texts.row_open_length[parity]);
    at = put_name_cell(at, texts, r.name_I);
    at = put_position_cells(at, texts, r.coords_2000);
    at = close_cell(put_redshift(open_cell(at, texts), r.redshift));
    for (const double magnitude : {r.apparent_magnitude, r.absolute_magnitude})
        at = close_cell(put_magnitude(open_cell(at, texts), magnitude));
    at = put_position_cells(at, texts, r.coords_1950);
    at = put_name_cell(at, texts, r.name_II);
    at = put_literal(at, "</tr>\n");
    out.commit(at);
}

void write_opening_tag(page_stream& out)
{
    char* at = out.room(256);
    at = put_literal(at, "<table");
    if (border >= 0) {
        at = put_literal(at, " border=\"");
        at = format_unsigned_two_digits(at, border);
        *at++ = '"';
    }
    at = put_literal(at, " width=\"");
    at = format_unsigned_two_digits(at, width);
    at = put_literal(at, "% \"");
    at = put_literal(at, " height=\"");
    at = format_unsigned_two_digits(at, height);
    at = put_literal(at, "% \"");
    out.commit(at);
    out.write(" align=\"");
    out.write(align_type_convert(table_align).text);
    out.write("\">\n");
}

void write_header_row(page_stream& out)
{
    out.write("<tr align=\"");
    out.write(align_type_convert(header_align).text);
    out.write("\" bgcolor=\"");
    out.write(color_change(2).text);
    out.write("\">\n");
    static const char* const headings[9] = {"QSO's name I",
                                            "&#945;<sub>2000</sub>",
                                            "&#948;<sub>2000</sub>",
                                            "z<sub>em</sub>",
                                            "V",
                                            "M",
                                            "&#945;<sub>1950</sub>",
                                            "&#948;<sub>1950</sub>",
                                            "QSO's name II"};
    for (const char* heading : headings) {
        out.write("  <th>\n");
        out.write(heading);
        out.write("\n  </th>\n");
    }
    out.write("</tr>\n");
}

} // namespace

void write_results_table(page_stream& out)
{
    write_opening_tag(out);
    write_header_row(out);
    row_texts texts;
    build_row_texts(texts);
    int row_counter = 0;
    for (const record* r = First_Selected; r != nullptr; r = r->next_selected) {
        // The next row's record is fetched while this one is written.
        if (r->next_selected != nullptr)
            prefetch_record(r->next_selected);
        write_row(out, texts, row_counter % 2, *r);
        ++row_counter;
    }
    out.write("</table>\n");
}

} // namespace tarnvel
