// The service's own pages, HTML5 in the site's frame.
#include "cgi/pages.h"

#include "report/site_texts.h"

namespace tarnvel {

namespace {

std::string author(const char* email, const char* name)
{
    return std::string("<a href=\"mailto:") + email + "\">" + name + "</a>";
}

// The head, the site's header and the navigation, with this page's entry
// unlinked; the site texts are HTML already.
std::string frame_top(const char* title)
{
    return std::string("<!DOCTYPE html>\n"
                       "<html lang=\"en\">\n"
                       "<head>\n"
                       "<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                       "<title>") +
           title +
           "</title>\n"
           "<style>\n"
           "body { font-family: sans-serif; }\n"
           ".site { color: #008080; }\n"
           "form p { margin: 0.4em 0; }\n"
           "label { display: inline-block; min-width: 16em; }\n"
           "fieldset.formats { border: none; margin: 0.4em 0; padding: 0; }\n"
           "fieldset.formats legend { display: inline-block; float: left; min-width: 16em; "
           "padding: 0; }\n"
           "fieldset.formats label { min-width: 0; margin-right: 1.5em; }\n"
           "input[aria-invalid=\"true\"] { border: 2px solid #b00000; }\n"
           ".fault { color: #b00000; }\n"
           ".hint { color: #555555; }\n"
           "</style>\n"
           "</head>\n"
           "<body>\n"
           "<header>\n"
           "<h2 class=\"site\">ALSC: A catalogue of absorption-line systems in QSO's spectra</h2>\n"
           "<h3>" +
           author(SITE_AUTHOR_1_EMAIL, SITE_AUTHOR_1_NAME) + ",\n" +
           author(SITE_AUTHOR_2_EMAIL, SITE_AUTHOR_2_NAME) + ",\n" +
           author(SITE_AUTHOR_3_EMAIL, SITE_AUTHOR_3_NAME) +
           "</h3>\n"
           "<h3 class=\"site\">" SITE_INSTITUTION "</h3>\n"
           "</header>\n"
           "<nav>\n"
           "<ul>\n"
           "<li><a href=\"introduction.html\"><b>Introduction</b></a></li>\n"
           "<li><a href=\"manual.html\"><b>Manual</b></a></li>\n"
           "<li><b>Query</b></li>\n"
           "<li><a href=\"absorpt_systems.html\"><b>Absorption Systems</b></a></li>\n"
           "<li><a href=\"references.html\"><b>References</b></a></li>\n"
           "</ul>\n"
           "</nav>\n"
           "<main>\n";
}

std::string frame_bottom()
{
    return "</main>\n"
           "<hr>\n"
           "<footer>\n"
           "<h3 class=\"site\">&#169; " SITE_GROUP " <br>\n " SITE_CITY ", " SITE_YEAR "</h3>\n"
           "<h3 class=\"site\"><a href=\"" SITE_SPONSOR_LINK "\">Supported by " SITE_SPONSOR_NAME
           "</a></h3>\n"
           "</footer>\n"
           "</body>\n"
           "</html>\n";
}

} // namespace

std::string html_escaped(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string form_page(const query_request& request, bool mark_faults, const std::string& action,
                      const std::string& notice)
{
    std::string page = frame_top("Query");
    page += "<h3>Query the catalogue</h3>\n";
    page += notice;
    page += "<form method=\"get\" action=\"" + html_escaped(action) + "\">\n";
    for (int f = 0; f < query_field_count; ++f) {
        const field_rule& field = query_fields[f];
        const bool faulty = mark_faults && request.faults[f] != nullptr;
        const std::string id = field.key;
        page += "<p><label for=\"" + id + "\">" + field.label + "</label>\n";
        page += "<input id=\"" + id + "\" name=\"" + id + "\" type=\"text\" value=\"" +
                html_escaped(request.values[f]) + "\" required pattern=\"" +
                html_escaped(grammar_pattern(field.kind)) + "\" maxlength=\"" +
                std::to_string(max_value_length) + "\" aria-describedby=\"" + id + "-hint" +
                (faulty ? " " + id + "-fault\" aria-invalid=\"true\"" : "\"") + ">\n";
        page +=
            "<small class=\"hint\" id=\"" + id + "-hint\">" + html_escaped(field.hint) + "</small>";
        if (faulty)
            page += "\n<strong class=\"fault\" id=\"" + id + "-fault\">" +
                    html_escaped(request.faults[f]) + "</strong>";
        page += "</p>\n";
    }
    page += "<fieldset class=\"formats\">\n<legend>Answer as</legend>\n"
            "<label><input type=\"radio\" id=\"format-html\" name=\"RESPONSEFORMAT\" "
            "value=\"html\" checked> a page</label>\n"
            "<label><input type=\"radio\" id=\"format-votable\" name=\"RESPONSEFORMAT\" "
            "value=\"votable\"> a VOTable (TOPCAT, Aladin, astropy)</label>\n"
            "<label><input type=\"radio\" id=\"format-csv\" name=\"RESPONSEFORMAT\" "
            "value=\"csv\"> CSV</label>\n"
            "</fieldset>\n";
    page += "<p><button type=\"submit\">Ask the catalogue</button></p>\n</form>\n";
    return page + frame_bottom();
}

std::string message_page(const std::string& heading, const std::string& text)
{
    return frame_top("Query") + "<h3>" + html_escaped(heading) + "</h3>\n<p>" + html_escaped(text) +
           "</p>\n" + frame_bottom();
}

std::string console_notice(const std::string& lead, const std::string& console)
{
    return "<div class=\"fault\" role=\"alert\">\n<p>" + html_escaped(lead) + "</p>\n<pre>" +
           html_escaped(console) + "</pre>\n</div>\n";
}

std::string console_page(const std::string& heading, const std::string& lead,
                         const std::string& console)
{
    return frame_top("Query") + "<h3>" + html_escaped(heading) + "</h3>\n" +
           console_notice(lead, console) + frame_bottom();
}

} // namespace tarnvel
