// The parameters of cone searches and of the form's table answers, case by
// case: what is taken, what is refused and with which message; and the
// URL and documents of the self-description.
#include <gtest/gtest.h>

#include <string>

#include "cgi/vo_documents.h"
#include "cgi/vo_parameters.h"
#include "support/xml_check.h"

namespace tarnvel {

TEST(ConeRequest, TakesOrRefusesEachParameter)
{
    const struct {
        const char* query;
        const char* error; // empty: taken
        double ra = 0, dec = 0, sr = 0;
        table_detail detail = table_detail::usual;
        long long max_records = 0;
        const char* media_type = "";
    } cases[] = {
        {"RA=10&DEC=20&SR=0.5", "", 10, 20, 0.5, table_detail::usual, 10000, "text/xml"},
        {"ra=10&dec=-20.25&sr=1e-3&verb=3", "", 10, -20.25, 0.001, table_detail::most, 10000,
         "text/xml"},
        {"Ra=370&DeC=90&Sr=180&VERB=1", "", 10, 90, 180, table_detail::least, 10000, "text/xml"},
        {"RA=-0.5&DEC=-90&SR=0", "", 359.5, -90, 0, table_detail::usual, 10000, "text/xml"},
        {"RA=-1e-20&DEC=0&SR=1", "", 0, 0, 1, table_detail::usual, 10000, "text/xml"},
        {"RA=+1.5E1&DEC=%2B2&SR=.5", "", 15, 2, 0.5, table_detail::usual, 10000, "text/xml"},
        {"RA=1&DEC=2&SR=3&MAXREC=5", "", 1, 2, 3, table_detail::usual, 5, "text/xml"},
        {"RA=1&DEC=2&SR=3&MAXREC=99999999999999999999", "", 1, 2, 3, table_detail::usual, 100000,
         "text/xml"},
        {"RA=1&DEC=2&SR=3&MAXREC=0", "", 1, 2, 3, table_detail::usual, 0, "text/xml"},
        {"RA=1&DEC=2&SR=3&RESPONSEFORMAT=csv", "", 1, 2, 3, table_detail::usual, 10000, "text/csv"},
        {"RA=1&DEC=2&SR=3&responseformat=application/x-votable%2Bxml", "", 1, 2, 3,
         table_detail::usual, 10000, "application/x-votable+xml"},
        {"RA=1&DEC=2&SR=3&CAT=x&FORMAT=y&&", "", 1, 2, 3, table_detail::usual, 10000, "text/xml"},
        {"RA=%201%20&DEC=2&SR=3", "", 1, 2, 3, table_detail::usual, 10000, "text/xml"},
        {"DEC=2&SR=3", "RA is missing: a cone search needs RA, DEC and SR in degrees"},
        {"RA=1&SR=3", "DEC is missing: a cone search needs RA, DEC and SR in degrees"},
        {"RA=1&DEC=2", "SR is missing: a cone search needs RA, DEC and SR in degrees"},
        {"RA=&DEC=2&SR=3", "RA is not a number in degrees: \"\""},
        {"RA=12h&DEC=2&SR=3", "RA is not a number in degrees: \"12h\""},
        {"RA=1&DEC=nan&SR=3", "DEC is not a number in degrees: \"nan\""},
        {"RA=1e999&DEC=2&SR=3", "RA is not a number in degrees: \"1e999\""},
        {"RA=1&DEC=90.000001&SR=3", "DEC must lie in -90..90 degrees"},
        {"RA=1&DEC=2&SR=-0.1", "SR must lie in 0..180 degrees"},
        {"RA=1&DEC=2&SR=180.5", "SR must lie in 0..180 degrees"},
        {"RA=1&ra=2&DEC=2&SR=3", "RA is given more than once"},
        {"RA=1&DEC=2&SR=3&SR=4", "SR is given more than once"},
        {"RA=%zz&DEC=2&SR=3", "RA is not in the form's encoding (%HH)"},
        {"RA=1&DEC=2&SR=3&VERB=0", "VERB must be 1, 2 or 3"},
        {"RA=1&DEC=2&SR=3&VERB=2.0", "VERB must be 1, 2 or 3"},
        {"RA=1&DEC=2&SR=3&MAXREC=-1", "MAXREC must be a whole number of rows"},
        {"RA=1&DEC=2&SR=3&MAXREC=", "MAXREC must be a whole number of rows"},
        {"RA=1&DEC=2&SR=3&RESPONSEFORMAT=fits",
         "RESPONSEFORMAT \"fits\" is not offered: votable or csv"},
        {"RA=1&DEC=2&SR=3&RESPONSEFORMAT=html",
         "RESPONSEFORMAT \"html\" is not offered: votable or csv"},
    };
    for (const auto& c : cases) {
        const cone_request r = read_cone_request(c.query);
        EXPECT_EQ(r.error, c.error) << c.query;
        if (r.error.empty()) {
            EXPECT_EQ(r.ascension, c.ra) << c.query;
            EXPECT_EQ(r.declination, c.dec) << c.query;
            EXPECT_EQ(r.radius, c.sr) << c.query;
            EXPECT_EQ(r.detail, c.detail) << c.query;
            EXPECT_EQ(r.max_records, c.max_records) << c.query;
            EXPECT_STREQ(r.format.media_type, c.media_type) << c.query;
        }
    }
}

TEST(FormAnswerFormat, PageUnlessATableIsAskedFor)
{
    const struct {
        const char* query;
        bool ok;
        answer_format::kind_t kind;
    } cases[] = {
        {"epoch=2000", true, answer_format::page},
        {"epoch=2000&RESPONSEFORMAT=html", true, answer_format::page},
        {"epoch=2000&RESPONSEFORMAT=votable", true, answer_format::votable},
        {"responseformat=CSV&epoch=2000", true, answer_format::csv},
        {"RESPONSEFORMAT=text%2Fcsv", true, answer_format::csv},
        {"RESPONSEFORMAT=xls", false, answer_format::page},
        {"RESPONSEFORMAT=csv&RESPONSEFORMAT=csv", false, answer_format::page},
    };
    for (const auto& c : cases) {
        answer_format format;
        std::string error;
        EXPECT_EQ(read_form_answer_format(c.query, format, error), c.ok) << c.query;
        if (c.ok)
            EXPECT_EQ(format.kind, c.kind) << c.query;
        else
            EXPECT_FALSE(error.empty()) << c.query;
    }
}

TEST(ServiceUrl, BuiltFromTheRequest)
{
    const struct {
        request_origin origin;
        const char* url;
    } cases[] = {
        {{"example.org", "80", false, "/cgi-bin/query.cgi"},
         "http://example.org/cgi-bin/query.cgi"},
        {{"example.org", "443", true, "/q.cgi"}, "https://example.org/q.cgi"},
        {{"example.org", "8443", true, "/q.cgi"}, "https://example.org:8443/q.cgi"},
        {{"127.0.0.1", "8080", false, "/query.cgi"}, "http://127.0.0.1:8080/query.cgi"},
        {{"::1", "80", false, "/query.cgi"}, "http://[::1]/query.cgi"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(program_url(c.origin), c.url);
}

TEST(ServiceDocuments, AreWellFormedAndNameTheLimits)
{
    const std::string capabilities =
        capabilities_document("http://h/q.cgi?a=<b>&c", {10.5, -20.25}, 0.001);
    EXPECT_EQ(xml_fault(capabilities), "");
    for (const char* part :
         {"<accessURL use=\"base\">http://h/q.cgi?a=&lt;b&gt;&amp;c/scs?</accessURL>",
          "<maxSR>180</maxSR>", "<maxRecords>100000</maxRecords>", "<verbosity>true</verbosity>",
          "<testQuery>\n<ra>10.5</ra>\n<dec>-20.25</dec>\n<sr>0.001</sr>\n</testQuery>",
          "<testQueryString>RA=10.5&amp;DEC=-20.25&amp;SR=0.001</testQueryString>"})
        EXPECT_NE(capabilities.find(part), std::string::npos) << part;
    const std::string availability = availability_document(false, "gone & away");
    EXPECT_EQ(xml_fault(availability), "");
    EXPECT_NE(availability.find("<vosi:available>false</vosi:available>"), std::string::npos);
}

} // namespace tarnvel
