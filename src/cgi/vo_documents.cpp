// Writing the VOSI documents.
#include "cgi/vo_documents.h"

#include "cgi/config.h"
#include "cgi/vo_parameters.h"
#include "decimal/shortest.h"
#include "report/clean_text.h"

namespace tarnvel {

namespace {

std::string escaped(const std::string& text)
{
    std::string out;
    append_xml_escaped(out, text);
    return out;
}

std::string number_text(double value)
{
    std::string out;
    append_shortest(out, value);
    return out;
}

// A capability whose one interface is at `url`.
std::string plain_capability(const char* standard, const std::string& url)
{
    return std::string("<capability standardID=\"") + standard +
           "\">\n<interface xsi:type=\"vs:ParamHTTP\">\n<accessURL use=\"full\">" + escaped(url) +
           "</accessURL>\n</interface>\n</capability>\n";
}

// A parameter of the cone search's interface.
std::string interface_parameter(const char* name, const char* description, const char* unit,
                                const char* ucd, const char* type, bool required)
{
    std::string out = std::string("<param std=\"true\" use=\"") +
                      (required ? "required" : "optional") + "\">\n<name>" + name +
                      "</name>\n<description>" + description + "</description>\n";
    if (unit[0] != '\0')
        out += std::string("<unit>") + unit + "</unit>\n";
    if (ucd[0] != '\0')
        out += std::string("<ucd>") + ucd + "</ucd>\n";
    return out + "<dataType>" + type + "</dataType>\n</param>\n";
}

} // namespace

request_origin current_origin()
{
    request_origin origin;
    origin.server_name = environment("SERVER_NAME");
    origin.server_port = environment("SERVER_PORT");
    const std::string https = environment("HTTPS");
    origin.https = !https.empty() && https != "off" && https != "OFF";
    origin.script_name = environment("SCRIPT_NAME");
    return origin;
}

std::string program_url(const request_origin& origin)
{
    std::string host = origin.server_name.empty() ? "localhost" : origin.server_name;
    if (host.find(':') != std::string::npos && host[0] != '[')
        host = "[" + host + "]";
    const char* scheme = origin.https ? "https" : "http";
    const std::string own_port = origin.https ? "443" : "80";
    std::string url = std::string(scheme) + "://" + host;
    if (!origin.server_port.empty() && origin.server_port != own_port)
        url += ":" + origin.server_port;
    return url + origin.script_name;
}

std::string capabilities_document(const std::string& base, sky_degrees test_position,
                                  double test_radius)
{
    const std::string ra = number_text(test_position.ascension);
    const std::string dec = number_text(test_position.declination);
    const std::string sr = number_text(test_radius);
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<vosi:capabilities xmlns:vosi=\"http://www.ivoa.net/xml/VOSICapabilities/v1.0\"\n"
        " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"
        " xmlns:vs=\"http://www.ivoa.net/xml/VODataService/v1.1\"\n"
        " xmlns:cs=\"http://www.ivoa.net/xml/ConeSearch/v1.0\">\n";
    out += plain_capability("ivo://ivoa.net/std/VOSI#capabilities", base + "/capabilities");
    out += plain_capability("ivo://ivoa.net/std/VOSI#availability", base + "/availability");
    out += "<capability standardID=\"ivo://ivoa.net/std/ConeSearch\" xsi:type=\"cs:ConeSearch\">\n"
           "<interface xsi:type=\"vs:ParamHTTP\" role=\"std\" version=\"1.03\">\n"
           "<accessURL use=\"base\">" +
           escaped(base + "/scs?") +
           "</accessURL>\n"
           "<testQueryString>" +
           escaped("RA=" + ra + "&DEC=" + dec + "&SR=" + sr) +
           "</testQueryString>\n"
           "<queryType>GET</queryType>\n"
           "<resultType>text/xml</resultType>\n";
    out += interface_parameter("RA", "Right ascension of the centre (ICRS; FK5 J2000 as it stands)",
                               "deg", "POS_EQ_RA_MAIN", "double", true);
    out += interface_parameter("DEC", "Declination of the centre", "deg", "POS_EQ_DEC_MAIN",
                               "double", true);
    out += interface_parameter("SR", "Radius of the cone", "deg", "", "double", true);
    out += interface_parameter("VERB", "1, 2 or 3: fewer or more columns (2 when absent)", "", "",
                               "int", false);
    out += interface_parameter("MAXREC", "The most rows of the answer", "", "", "int", false);
    out += interface_parameter("RESPONSEFORMAT", "votable (the default) or csv", "", "", "string",
                               false);
    out += "</interface>\n"
           "<maxSR>" +
           number_text(max_search_radius) +
           "</maxSR>\n"
           "<maxRecords>" +
           std::to_string(hard_max_records) +
           "</maxRecords>\n"
           "<verbosity>true</verbosity>\n"
           "<testQuery>\n<ra>" +
           ra + "</ra>\n<dec>" + dec + "</dec>\n<sr>" + sr +
           "</sr>\n</testQuery>\n"
           "</capability>\n"
           "</vosi:capabilities>\n";
    return out;
}

std::string availability_document(bool available, const std::string& note)
{
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<vosi:availability "
                       "xmlns:vosi=\"http://www.ivoa.net/xml/VOSIAvailability/v1.0\">\n"
                       "<vosi:available>") +
           (available ? "true" : "false") + "</vosi:available>\n<vosi:note>" + escaped(note) +
           "</vosi:note>\n</vosi:availability>\n";
}

} // namespace tarnvel
