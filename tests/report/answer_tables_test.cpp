// The writers of the machine-readable answers: the cleaning and escaping of
// catalogue bytes, the cells of a row, whole VOTable and CSV documents
// against golden files, and the checker the fuzz target trusts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "report/clean_text.h"
#include "report/csv_table.h"
#include "report/votable.h"
#include "support/xml_check.h"

namespace tarnvel {

namespace {

// The golden file `name`; with TARNVEL_WRITE_GOLDEN set, `actual` is first
// written over it (for a deliberate change of the documents, to review).
std::string golden(const char* name, const std::string& actual)
{
    const std::string path = std::string(TARNVEL_REPORT_GOLDEN_DIR) + "/" + name;
    if (std::getenv("TARNVEL_WRITE_GOLDEN") != nullptr)
        std::ofstream(path, std::ios::binary) << actual;
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string xml_escaped(const std::string& text)
{
    std::string out;
    append_xml_escaped(out, text);
    return out;
}

std::string csv_field(const std::string& text)
{
    std::string out;
    append_csv_field(out, text);
    return out;
}

// Two entries: one with every column set and names that need escaping, one
// with a lower-limit redshift, no magnitudes and bytes that are not UTF-8.
std::vector<record> sample_entries()
{
    std::vector<record> entries(2);
    record& a = entries[0];
    a.coords_2000.ascension = arc();
    a.coords_2000.ascension.units = 12;
    a.coords_2000.ascension.minutes = 34;
    a.coords_2000.ascension.seconds = 56.7;
    a.coords_2000.declination.units = 5;
    a.coords_2000.declination.minutes = 7;
    a.coords_2000.declination.seconds = 8.9;
    a.coords_2000.declination.sign = -1;
    a.coords_1950.ascension.units = 12;
    a.coords_1950.ascension.minutes = 31;
    a.coords_1950.ascension.seconds = 50.2;
    a.coords_1950.declination.units = 4;
    a.coords_1950.declination.minutes = 50;
    a.coords_1950.declination.seconds = 31;
    a.coords_1950.declination.sign = -1;
    a.redshift = 2.345;
    a.apparent_magnitude = 17.8;
    a.absolute_magnitude = -27.25;
    a.name_I = string("Q <1234>&\"567\"");
    a.name_II = string("B ]]> 1232, 'x'");
    record& b = entries[1];
    b.coords_2000.ascension.units = 24;
    b.coords_2000.declination.units = 90;
    b.redshift = 3.5e12;
    b.apparent_magnitude = b.absolute_magnitude = no_value_magnitude;
    b.name_I = string("caf\xc3\xa9 \xff\x01\tend");
    b.name_II = string(" lead");
    return entries;
}

} // namespace

TEST(CleanText, ReplacesWhatIsNotUtf8OrNotXmlAndEscapesTheRest)
{
    const struct {
        const char* what;
        std::string in, xml, csv;
    } cases[] = {
        {"plain", "Q 1234+567", "Q 1234+567", "Q 1234+567"},
        {"markup", "<&\">'", "&lt;&amp;&quot;&gt;&apos;", "\"<&\"\">'\""},
        {"CDATA end", "a]]>b", "a]]&gt;b", "a]]>b"},
        {"two- and four-byte UTF-8", "\xc3\xa9\xf0\x9f\x98\x80", "\xc3\xa9\xf0\x9f\x98\x80",
         "\xc3\xa9\xf0\x9f\x98\x80"},
        {"Latin-1 byte", "caf\xe9", "caf\xef\xbf\xbd", "caf\xef\xbf\xbd"},
        {"stray continuation", "\x80x", "\xef\xbf\xbdx", "\xef\xbf\xbdx"},
        {"overlong slash", "\xc0\xaf", "\xef\xbf\xbd\xef\xbf\xbd", "\xef\xbf\xbd\xef\xbf\xbd"},
        {"surrogate", "\xed\xa0\x80", "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd",
         "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"},
        {"above U+10FFFF", "\xf4\x90\x80\x80", std::string(4, '?'), ""},
        {"cut sequence", "\xe2\x82", "\xef\xbf\xbd\xef\xbf\xbd", "\xef\xbf\xbd\xef\xbf\xbd"},
        {"U+FFFE", "\xef\xbf\xbe", "\xef\xbf\xbd", "\xef\xbf\xbd"},
        {"controls", "a\x01\x1f\x7f", "a\xef\xbf\xbd\xef\xbf\xbd\x7f",
         "a\xef\xbf\xbd\xef\xbf\xbd\x7f"},
        {"tab and line ends", "a\tb\r\nc", "a&#9;b&#13;&#10;c", "\"a\tb\r\nc\""},
        {"comma", "1,2", "1,2", "\"1,2\""},
        {"blank ends", " x ", " x ", "\" x \""},
        {"empty", "", "", ""},
    };
    for (const auto& c : cases) {
        if (c.xml == std::string(4, '?')) { // four bytes, each replaced
            std::string four;
            for (int i = 0; i < 4; ++i)
                four += "\xef\xbf\xbd";
            EXPECT_EQ(xml_escaped(c.in), four) << c.what;
            EXPECT_EQ(csv_field(c.in), four) << c.what;
            continue;
        }
        EXPECT_EQ(xml_escaped(c.in), c.xml) << c.what;
        EXPECT_EQ(csv_field(c.in), c.csv) << c.what;
    }
}

TEST(AnswerTables, VotableOfEveryDetailMatchesItsGoldenFile)
{
    const std::vector<record> entries = sample_entries();
    const struct {
        table_detail detail;
        bool overflow;
        const char* golden;
    } cases[] = {
        {table_detail::least, false, "answer-verb1.vot"},
        {table_detail::usual, true, "answer-verb2.vot"},
        {table_detail::most, false, "answer-verb3.vot"},
    };
    for (const auto& c : cases) {
        std::string out;
        append_votable_head(out, c.detail, "Entries within 0.5 deg of <12 34 56.7, -05 07 08.9>");
        std::vector<table_cell> cells;
        long long number = 6;
        for (const record& r : entries)
            append_votable_row(out, {number++, &r, 0.25}, c.detail, cells);
        append_votable_foot(out, c.overflow);
        EXPECT_EQ(out, golden(c.golden, out)) << c.golden;
        EXPECT_EQ(xml_fault(out), "") << c.golden;
    }
}

TEST(AnswerTables, CsvMatchesItsGoldenFileAndSplitsIntoItsColumns)
{
    const std::vector<record> entries = sample_entries();
    std::string out;
    append_csv_head(out, table_detail::usual);
    std::vector<table_cell> cells;
    for (const record& r : entries)
        append_csv_row(out, {1, &r, 0}, table_detail::usual, cells);
    EXPECT_EQ(out, golden("answer.csv", out));
    bool ok = false;
    const auto records = csv_records(out, ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(records.size(), 3U);
    EXPECT_EQ(records[1][1], "Q <1234>&\"567\"");
    EXPECT_EQ(records[2][4], ">");
    EXPECT_EQ(records[2][5], "3.5");
    EXPECT_EQ(records[2][6], "");
    for (const auto& fields : records)
        EXPECT_EQ(fields.size(), answer_columns(table_detail::usual).size());
}

TEST(AnswerTables, ErrorDocumentCarriesTheMessageTwice)
{
    const std::string error = votable_error("DEC \"95\" is <out> of range");
    EXPECT_EQ(error, golden("error.vot", error));
    EXPECT_EQ(xml_fault(votable_error("\xff\x01]]>&")), "");
}

TEST(XmlCheck, FindsWhatIsNotWellFormed)
{
    const struct {
        const char* text;
        bool well_formed;
    } cases[] = {
        {"<a b=\"1\"><c/>x &amp; &#65;</a>", true},
        {"<?xml version=\"1.0\"?>\n<a/>\n", true},
        {"<a><b></a></b>", false},
        {"<a>x < y</a>", false},
        {"<a>]]></a>", false},
        {"<a>&nbsp;</a>", false},
        {"<a>&#1;</a>", false},
        {"<a b=1/>", false},
        {"<a b=\"1\" b=\"2\"/>", false},
        {"<a>\x01</a>", false},
        {"<a>\xff</a>", false},
        {"<a/><b/>", false},
        {"<a>", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(xml_fault(c.text).empty(), c.well_formed) << c.text;
}

} // namespace tarnvel
