// The page frame: head, navigation list, query summary, counts and footer,
// and the safe replacement of "results.html".
#include "report/page.h"

#include <cstdio>

#include "decimal/format.h"
#include "report/arc_text.h"
#include "report/results_table.h"
#include "report/site_texts.h"
#include "state/state.h"
#include "system/page_file.h"
#include "system/process.h"

namespace tarnvel {

namespace {

const char page_name[] = "results.html";

void write_epoch(page_stream& out)
{
    char* at = out.room(max_number_text);
    out.commit(format_int_padded5(at, epoch));
}

void write_bound(page_stream& out, double value)
{
    char* at = out.room(max_number_text);
    out.commit(format_general(at, value, 4, 6));
}

// A bound arc as hh:mm:ss (or [-]dd:mm:ss) with the seconds truncated.
void write_bound_arc(page_stream& out, const arc& bound, bool is_declination)
{
    out.commit(
        put_arc_text(out.room(max_arc_text), bound, is_declination, seconds_form::truncated));
}

void write_author(page_stream& out, const char* email, const char* name)
{
    out.write("<a href=\"mailto:");
    out.write(email);
    out.write("\">");
    out.write(name);
    out.write("</a>");
}

void write_header(page_stream& out)
{
    out.write("<html>\n"
              "<head>\n"
              "<title>Query Results</title>\n"
              "</head>\n"
              "<body>\n"
              "<font color=\"#008080\">"
              "<h2>ALSC: A catalogue of absorption-line systems in QSO's spectra<br></h2>\n"
              "</font>");
    out.write("<h3>");
    write_author(out, SITE_AUTHOR_1_EMAIL, SITE_AUTHOR_1_NAME);
    out.write(",\n");
    write_author(out, SITE_AUTHOR_2_EMAIL, SITE_AUTHOR_2_NAME);
    out.write(",\n");
    write_author(out, SITE_AUTHOR_3_EMAIL, SITE_AUTHOR_3_NAME);
    out.write("</h3>\n");
    out.write("<font color=\"#008080\">"
              "<h3>" SITE_INSTITUTION "<br></h3>\n"
              "</font>\n"
              "<br>");
}

void write_navigation(page_stream& out)
{
    out.write("<ul>"
              "<li><a href=\"introduction.html\"><b>Introduction</b></a>\n"
              "<li><a href=\"manual.html\"><b>Manual</b></a>\n"
              "<li><b>Query Results</b>\n"
              "<li><a href=\"absorpt_systems.html\"><b>Absorption Systems</b></a>\n"
              "<li><a href=\"references.html\"><b>References</b></a>\n"
              "</ul><br>\n");
}

// "<label>" min "\n<= <symbol><sub>" epoch "</sub> <=" max, for an interval of
// the epoch's coordinates.
void write_arc_interval(page_stream& out, const char* label, const char* symbol, const arc& low,
                        const arc& high, bool is_declination)
{
    out.write(label);
    write_bound_arc(out, low, is_declination);
    out.write("\n<= ");
    out.write(symbol);
    out.write("<sub>");
    write_epoch(out);
    out.write("</sub> <=");
    write_bound_arc(out, high, is_declination);
}

// "<label>" min "<middle>" max, for an interval of numbers.
void write_number_interval(page_stream& out, const char* label, double low, const char* middle,
                           double high)
{
    out.write(label);
    write_bound(out, low);
    out.write(middle);
    write_bound(out, high);
}

void write_query_summary(page_stream& out)
{
    out.write("<font color=\"#008080\">"
              "<h4>Query parameters:<br>"
              "Coordinates at the epoch ");
    write_epoch(out);
    out.write(" <br>\n");
    write_arc_interval(out, "Ascension interval: ", "&#945;", minimal_ascension, maximal_ascension,
                       false);
    out.write("&nbsp;&nbsp;&nbsp;&nbsp;\n");
    write_arc_interval(out, "Declination interval: ", "&#948;", minimal_declination,
                       maximal_declination, true);
    write_number_interval(out, "<br>Redshift interval: ", min_redshift,
                          "<= z<sub>em</sub> <=", max_redshift);
    write_number_interval(out, "<br>Apparent magnitude interval: ", min_apparent_magnitude,
                          "<= V <=", max_apparent_magnitude);
    out.write("&nbsp;&nbsp;&nbsp;&nbsp;\n");
    write_number_interval(out, "Absolute magnitude interval: ", min_absolute_magnitude,
                          "<= M <=", max_absolute_magnitude);
    out.write("</h4></font>\n");
}

void write_result(page_stream& out)
{
    if (number_of_selected == 0) {
        out.write("<h3><br>There is no record corresponding to these parameters</h3>\n");
        return;
    }
    out.write("<font color=\"#008080\"><h4>"
              "<br>There are ");
    char* at = out.room(max_number_text);
    out.commit(format_int_padded5(at, number_of_selected));
    out.write(" records corresponding to these parameters.\n"
              "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;\n"
              "Total number of records is ");
    at = out.room(max_number_text);
    out.commit(format_int_padded5(at, total_number));
    out.write(".</h4></font>\n"
              "<hr>");
    write_results_table(out);
}

void write_footer(page_stream& out)
{
    out.write("<hr><table width=\"100%\">\n"
              "<tr>\n"
              "<td align=\"left\">\n"
              "<font color=\"#008080\">\n"
              "<h3>&#169; " SITE_GROUP " <br>"
              "\n " SITE_CITY ", " SITE_YEAR "</h3>"
              "</font>"
              "</td>"
              "\n <td align=\"right\">"
              "<font color=\"#008080\">\n"
              "<h3><a href=\"" SITE_SPONSOR_LINK "\">Supported by " SITE_SPONSOR_NAME "</a></h3>\n"
              "</font>\n"
              "</td>\n"
              "</tr>\n"
              "</table>"
              "</body>\n"
              "</html>\n");
}

int report_failure()
{
    console_write("error of creation of results.html\n");
    return 1;
}

} // namespace

void write_page(page_stream& out)
{
    write_header(out);
    write_navigation(out);
    write_query_summary(out);
    write_result(out);
    write_footer(out);
}

int Query_Result_generator()
{
    page_file file;
    if (!file.create(page_name))
        return report_failure();
    bool written;
    {
        page_stream out(file.stream());
        if (!out.ok()) {
            file.discard();
            console_write("not enough memory to write results.html\n");
            ran_out_of_memory = true;
            return 1;
        }
        write_page(out);
        written = out.flush();
    }
    if (!file.publish(written))
        return report_failure();
    return 0;
}

} // namespace tarnvel
